// The event wrapper, the error box text, the main form ending the program
// and the file dialogs' name handling.
#include "AnsweringServices.h"

#include "platform/forms/Controls.h"
#include "platform/forms/Dialogs.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using forms_test::AnsweringServices;

namespace {

class ApplicationTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    int argc = 0;
    forms::Application().Initialize(argc, nullptr);
  }
  void TearDown() override { forms::Application().DestroyForms(); }
  AnsweringServices user;
};

struct ThrowCase {
  const char *name;
  std::function<void()> handler;
  std::string shown;
};

TEST_F(ApplicationTest, AnExceptionFromAHandlerShowsTheErrorBoxAndGoesNoFurther) {
  const std::vector<ThrowCase> cases = {
      {"run-time error", [] { throw rtl::EConvertError("'x' is not a valid integer value"); },
       "'x' is not a valid integer value"},
      {"floating-point fault", [] { throw rtl::EZeroDivide(); }, "Floating point division by zero"},
      {"standard library error", [] { throw std::out_of_range("vector index"); }, "vector index"},
      {"anything else", [] { throw 42; }, "Unknown error"},
  };
  auto *form = forms::Application().CreateForm<forms::TForm>();
  auto *button = form->Make<forms::TButton>("go");
  form->Show();
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    user.Boxes.clear();
    button->OnClick = c.handler;
    // A real click, through Qt's signal, must not let the exception out.
    QTest::mouseClick(static_cast<QPushButton *>(button->Widget()), Qt::LeftButton);
    ASSERT_EQ(user.Boxes.size(), 1u);
    EXPECT_TRUE(user.Boxes[0].Error);
    EXPECT_EQ(user.Boxes[0].Text, c.shown);
    EXPECT_EQ(user.Boxes[0].Caption, forms::Application().Title());
  }
  // The program goes on: the next click runs its handler normally.
  int clicks = 0;
  button->OnClick = [&] { ++clicks; };
  button->Click();
  EXPECT_EQ(clicks, 1);
}

TEST(MessageText, CarriageReturnsBreakLines) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"one line", "one line"},
      {"first\rsecond", "first\nsecond"},
      {"first\r\nsecond", "first\nsecond"},
      {"end\r", "end\n"},
      {"\r\r", "\n\n"},
      {"kept\nas is", "kept\nas is"},
      {"Файл\rне найден", "Файл\nне найден"},
  };
  for (const auto &[in, out] : cases)
    EXPECT_EQ(forms::MessageDisplayText(in), out) << in;
}

TEST_F(ApplicationTest, ClosingTheMainFormEndsTheProgramAndAnotherOnlyHides) {
  auto *main = forms::Application().CreateForm<forms::TForm>();
  auto *other = forms::Application().CreateForm<forms::TForm>();
  ASSERT_EQ(forms::Application().MainForm(), main);
  main->Show();
  other->Show();
  other->Close();
  EXPECT_FALSE(other->Showing());
  EXPECT_FALSE(forms::Application().Terminated());
  main->Close();
  EXPECT_TRUE(forms::Application().Terminated());
}

TEST_F(ApplicationTest, TheMessageLoopEndsWhenTheMainFormClosesThoughOthersAreOpen) {
  auto *main = forms::Application().CreateForm<forms::TForm>();
  auto *other = forms::Application().CreateForm<forms::TForm>();
  int mainShows = 0;
  main->OnShow = [&] { ++mainShows; };
  QTimer::singleShot(0, [&] {
    other->Show();
    main->Close();
  });
  // Run shows the main form itself, then loops until it closes.
  forms::Application().Run();
  EXPECT_EQ(mainShows, 1);
  EXPECT_TRUE(forms::Application().Terminated());
  EXPECT_TRUE(other->Showing());
  EXPECT_FALSE(main->Showing());
}

TEST_F(ApplicationTest, HelpGoesToTheHelpService) {
  forms::Application().SetHelpFile("guide.html");
  forms::Application().HelpContents();
  EXPECT_EQ(user.HelpFiles, std::vector<std::string>{"guide.html"});
  forms::Application().SetHelpFile("");
  EXPECT_THROW(forms::Application().HelpContents(), rtl::Exception);
}

TEST(DefaultExt, AddedOnlyWhenTheNameHasNoExtension) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"game", "game.txt"},
      {"game.txt", "game.txt"},
      {"game.dat", "game.dat"},
      {"/home/user.name/game", "/home/user.name/game.txt"},
      {"/home/user/game.", "/home/user/game."},
      {"", ""},
  };
  for (const auto &[in, out] : cases)
    EXPECT_EQ(forms::WithDefaultExt(in, "txt"), out) << in;
  EXPECT_EQ(forms::WithDefaultExt("game", ""), "game");
}

TEST_F(ApplicationTest, DialogsTakeTheAnswerAndKeepTheNameOnCancel) {
  forms::TSaveDialog save;
  save.SetFilter("Text File (*.txt)|*.txt");
  save.SetDefaultExt("txt");
  user.Answers = {"/tmp/a/game"};
  ASSERT_TRUE(save.Execute());
  EXPECT_EQ(save.FileName(), "/tmp/a/game.txt");
  ASSERT_EQ(user.Requests.size(), 1u);
  EXPECT_TRUE(user.Requests[0].Save);
  EXPECT_EQ(user.Requests[0].Filter, "Text File (*.txt)|*.txt");
  EXPECT_FALSE(save.Execute());
  EXPECT_EQ(save.FileName(), "/tmp/a/game.txt");

  // Opening never adds an extension: the name is the user's.
  forms::TOpenDialog open;
  open.SetDefaultExt("txt");
  user.Answers = {"/tmp/a/missing"};
  ASSERT_TRUE(open.Execute());
  EXPECT_EQ(open.FileName(), "/tmp/a/missing");
  EXPECT_FALSE(user.Requests.back().Save);
}

} // namespace
