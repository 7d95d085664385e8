// Opening and saving games through the answered file dialogs.
#include "WindowsFixture.h"

#include "platform/rtl/Files.h"
#include "platform/rtl/TextEncoding.h"

using namespace workbench;
using windows_test::WindowsTest;

namespace {

// n = 2, u = 1, v = 1, l = 2, every text distinct.
void EnterGame() {
  Form1->X->SetValue(2);
  Form1->L->SetValue(2);
  const char *a[2][2] = {{"a11", "a12"}, {"a21", "a22"}};
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j)
      Form1->A->SetCells(j + 1, i + 1, a[i][j]);
  Form1->X0->SetCells(1, 1, "1.5");
  Form1->X0->SetCells(1, 2, "-2");
  Form1->B->SetCells(1, 1, "b1");
  Form1->B->SetCells(1, 2, "b2");
  Form1->C->SetCells(1, 1, "c1");
  Form1->C->SetCells(1, 2, "");
  Form1->Pi->SetCells(1, 1, "1");
  Form1->P->SetText("sqrt(psi1^2+psi2^2)");
  Form1->Q->SetText("0.5*abs(psi1)");
  Form1->M1->SetText("max(abs(psi1),abs(psi2))");
  Form1->Edit1->SetText("2");
}

TEST_F(WindowsTest, SavedGameOpensIntoAWindowOfOtherDimensions) {
  EnterGame();
  const GameRecord saved = Form1->ReadGame();
  user.Answers = {Path("game")};
  Menu("Файл", "Сохранить как...")->Click();
  ASSERT_TRUE(user.Boxes.empty()) << user.Boxes[0].Text;
  // The extension added, CR LF lines in the Cyrillic code page.
  const std::string bytes = rtl::ReadFileBytes(Path("game.txt"));
  const std::vector<std::string> lines = rtl::SplitLines(bytes);
  ASSERT_EQ(lines.size(), 35u);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  EXPECT_EQ(rtl::Cp1251ToUtf8(lines[0]), "Размерность Х");
  EXPECT_EQ((std::vector<std::string>(lines.begin() + 3, lines.begin() + 7)),
            (std::vector<std::string>{"a11", "a12", "a21", "a22"}));

  Menu("Файл", "Новый")->Click();
  Form1->X->SetValue(3);
  Form1->U->SetValue(3);
  Form1->Edit1->SetText("other");
  user.Answers = {Path("game.txt")};
  Menu("Файл", "Открыть...")->Click();
  ASSERT_TRUE(user.Boxes.empty()) << user.Boxes[0].Text;
  EXPECT_EQ(Form1->A->ColCount(), 3);
  EXPECT_EQ(Form1->ReadGame(), saved);
  EXPECT_EQ(Form1->DimX, 2);

  // Saving again over it asks nothing and replaces it.
  Form1->Edit1->SetText("3");
  user.Answers = {Path("game.txt")};
  Menu("Файл", "Сохранить как...")->Click();
  EXPECT_EQ(rtl::SplitLines(rtl::ReadFileBytes(Path("game.txt"))).back(), "3");
}

TEST_F(WindowsTest, OpeningAMissingFileSaysSoAndChangesNothing) {
  EnterGame();
  const GameRecord before = Form1->ReadGame();
  user.Answers = {Path("nowhere.txt")};
  Menu("Файл", "Открыть...")->Click();
  ASSERT_EQ(user.Boxes.size(), 1u);
  EXPECT_EQ(user.Boxes[0].Text, "Файл не найден");
  EXPECT_EQ(Form1->ReadGame(), before);
  // Cancelled dialogs do nothing at all.
  user.Boxes.clear();
  Menu("Файл", "Открыть...")->Click();
  Menu("Файл", "Сохранить как...")->Click();
  EXPECT_TRUE(user.Boxes.empty());
  EXPECT_EQ(Form1->ReadGame(), before);
  EXPECT_TRUE(std::filesystem::is_empty(dir));
}

TEST_F(WindowsTest, ABadFileShowsTheErrorAndLeavesTheWindowAsItWas) {
  EnterGame();
  const GameRecord before = Form1->ReadGame();
  struct Bad {
    const char *name;
    std::string bytes;
  };
  const std::vector<Bad> cases = {
      {"dimension not a number", "label\r\nzwei\r\n"},
      {"later dimension bad", "l\r\n1\r\nl\r\n7\r\nl\r\n3\r\nl\r\n-1\r\n"},
  };
  for (const Bad &c : cases) {
    SCOPED_TRACE(c.name);
    user.Boxes.clear();
    rtl::WriteFileAtomic(Path("bad.txt"), c.bytes);
    user.Answers = {Path("bad.txt")};
    Menu("Файл", "Открыть...")->Click();
    ASSERT_EQ(user.Boxes.size(), 1u);
    EXPECT_TRUE(user.Boxes[0].Error);
    EXPECT_EQ(Form1->ReadGame(), before);
  }
}

TEST_F(WindowsTest, ASaveThatCannotBeWrittenKeepsTheOldFile) {
  EnterGame();
  user.Answers = {Path("game.txt")};
  Menu("Файл", "Сохранить как...")->Click();
  const std::string old = rtl::ReadFileBytes(Path("game.txt"));
  // A character the file's code page cannot hold refuses the save.
  Form1->P->SetText("psi1 ≤ 1");
  user.Answers = {Path("game.txt")};
  Menu("Файл", "Сохранить как...")->Click();
  ASSERT_EQ(user.Boxes.size(), 1u);
  EXPECT_TRUE(user.Boxes[0].Error);
  EXPECT_EQ(rtl::ReadFileBytes(Path("game.txt")), old);
}

TEST_F(WindowsTest, TheExampleGamesOpenComputeAndPlot) {
  const struct {
    const char *file;
    int l;
    forms::TForm *controls, *sets;
  } examples[] = {{"plane-game.txt", 2, Form5, Form7}, {"space-game.txt", 3, Form6, Form8}};
  for (const auto &e : examples) {
    SCOPED_TRACE(e.file);
    // Each example writes back byte for byte: it is a file the program
    // itself would save.
    const std::string original = rtl::ReadFileBytes(std::string(KVEL_SOURCE_DIR "/docs/") + e.file);
    user.Answers = {std::string(KVEL_SOURCE_DIR "/docs/") + e.file};
    Menu("Файл", "Открыть...")->Click();
    user.Answers = {Path(e.file)};
    Menu("Файл", "Сохранить как...")->Click();
    EXPECT_EQ(rtl::ReadFileBytes(Path(e.file)), original);
    ASSERT_EQ(Form1->DimL, e.l);
    // At the default settings, captured within a few steps.
    Form1->Button5->Click();
    Form1->Button4->Click();
    ASSERT_EQ(user.Boxes.size(), 2u);
    EXPECT_EQ(user.Boxes[0].Text, "Гарантированное время рассчитано");
    EXPECT_EQ(user.Boxes[1].Text, "Альтернированный интеграл рассчитан");
    EXPECT_GE(Form1->State.StepCount, 2);
    EXPECT_LE(Form1->State.StepCount, 10);
    for (forms::TButton *plot : {Form1->Button3, Form1->Button6, Form1->Button7})
      plot->Click();
    ASSERT_EQ(user.Boxes.size(), 2u) << user.Boxes.back().Text;
    EXPECT_TRUE(Form4->Showing());
    EXPECT_TRUE(e.controls->Showing());
    EXPECT_TRUE(e.sets->Showing());
    user.Boxes.clear();
  }
}

} // namespace
