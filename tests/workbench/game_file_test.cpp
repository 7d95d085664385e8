#include "workbench/GameFile.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "workbench/CalculationUnit.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using workbench::GameFromFileBytes;
using workbench::GameRecord;
using workbench::GameToFileBytes;

// ---- Helpers ---------------------------------------------------------------

std::vector<std::string> Lines(const std::string &bytes) {
  // Every line, the last included, ends with CR LF: split on that exactly.
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const auto end = bytes.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "a line without CR LF at " << start;
    if (end == std::string::npos) break;
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string Hex(const std::string &bytes) {
  std::string out;
  char buf[4];
  for (unsigned char c : bytes) {
    std::snprintf(buf, sizeof buf, "%s%02X", out.empty() ? "" : " ", c);
    out += buf;
  }
  return out;
}

class TempDir {
public:
  TempDir() {
    char tmpl[] = "/tmp/kvel-game-XXXXXX";
    path_ = ::mkdtemp(tmpl);
  }
  ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  std::string operator/(const std::string &name) const { return path_ + "/" + name; }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    if (DIR *d = ::opendir(path_.c_str())) {
      while (dirent *e = ::readdir(d))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
      ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

private:
  std::string path_;
};

// A game whose every text differs, with Cyrillic, blanks and punctuation.
GameRecord SampleGame(int n, int u, int v, int l, unsigned seed = 1) {
  static const char *const kPieces[] = {"0", "1.5", "-2", " ", "", "x_1", "ф", "Ж-3", "  7 ", "№", "€", "sqrt(2)"};
  std::mt19937 rng(seed);
  auto text = [&](const std::string &tag) {
    return tag + kPieces[rng() % std::size(kPieces)] + kPieces[rng() % std::size(kPieces)];
  };
  GameRecord g(n, u, v, l);
  auto fill = [&](workbench::TextTable &t, const char *name) {
    for (std::size_t i = 0; i < t.size(); ++i)
      for (std::size_t j = 0; j < t[i].size(); ++j)
        t[i][j] = text(name + std::to_string(i + 1) + std::to_string(j + 1));
  };
  fill(g.A, "a");
  fill(g.B, "b");
  fill(g.C, "c");
  fill(g.Pi, "п");
  for (std::size_t i = 0; i < g.X0.size(); ++i)
    g.X0[i] = text("x0_");
  g.P = "sqrt(psi1^2+psi2^2)";
  g.Q = "0.5*abs(psi1)";
  g.M = "2*Ж";
  g.T = "1,5";
  return g;
}

// ---- Layout ----------------------------------------------------------------

TEST(GameFileLayout, StartupGameIsTwentySixLinesWithTheStatedLabelBytes) {
  const std::string bytes = GameToFileBytes(GameRecord());
  const auto lines = Lines(bytes);
  ASSERT_EQ(lines.size(), 26u);
  const std::string dimension = "D0 E0 E7 EC E5 F0 ED EE F1 F2 FC 20 ";
  const std::string matrix = "CC E0 F2 F0 E8 F6 E0 20 ";
  const std::string support = "CE EF EE F0 ED E0 FF 20 F4 F3 ED EA F6 E8 FF 20 ";
  const std::pair<int, std::string> labels[] = {
      {1, dimension + "D5"},  {3, matrix + "C0"},     {5, "D5 30"},         {7, dimension + "55"},
      {9, matrix + "42"},     {11, dimension + "56"}, {13, matrix + "43"},  {15, dimension + "4C"},
      {17, matrix + "50 69"}, {19, support + "50"},   {21, support + "51"}, {23, support + "4D"},
      {25, "C2 F0 E5 EC FF"},
  };
  for (const auto &[number, hex] : labels)
    EXPECT_EQ(Hex(lines[number - 1]), hex) << "line " << number;
  for (int number : {2, 8, 12, 16})
    EXPECT_EQ(lines[number - 1], "1") << "line " << number;
  for (int number : {4, 6, 10, 14, 18, 20, 22, 24, 26})
    EXPECT_EQ(lines[number - 1], "") << "line " << number;
  // No byte order mark, no extra line at the end.
  EXPECT_EQ(bytes.substr(0, 2), "\xD0\xE0");
  EXPECT_EQ(bytes.substr(bytes.size() - 5), "\xFF\r\n\r\n");
}

TEST(GameFileLayout, LineCountFollowsTheDimensions) {
  const struct {
    int n, u, v, l;
  } cases[] = {{1, 1, 1, 1}, {2, 1, 1, 2}, {3, 2, 5, 1}, {1, 10, 1, 10}, {7, 3, 3, 3}, {10, 10, 10, 10}};
  for (const auto &c : cases) {
    const auto lines = Lines(GameToFileBytes(SampleGame(c.n, c.u, c.v, c.l)));
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(21 + c.n * c.n + c.n + c.n * c.u + c.n * c.v + c.l * c.n))
        << c.n << " " << c.u << " " << c.v << " " << c.l;
  }
  EXPECT_EQ(Lines(GameToFileBytes(SampleGame(2, 1, 1, 2))).size(), 35u);
  EXPECT_EQ(Lines(GameToFileBytes(SampleGame(10, 10, 10, 10))).size(), 431u);
}

TEST(GameFileLayout, CellsGoRowByRowWithTheInitialPointAfterA) {
  GameRecord g(2, 1, 1, 2);
  g.A = {{"a11", "a12"}, {"a21", "a22"}};
  g.X0 = {"x1", "x2"};
  g.B = {{"b1"}, {"b2"}};
  g.C = {{"c1"}, {"c2"}};
  g.Pi = {{"p11", "p12"}, {"p21", "p22"}};
  g.P = "P";
  g.Q = "Q";
  g.M = "M";
  g.T = "T";
  const auto lines = Lines(GameToFileBytes(g));
  const std::vector<std::string> expected = {"2",  "a11", "a12", "a21", "a22", "x1",  "x2",  "1", "b1", "b2", "1",
                                             "c1", "c2",  "2",   "p11", "p12", "p21", "p22", "P", "Q",  "M",  "T"};
  std::vector<std::string> values;
  // Every odd line before a value is a label; the blocks of cells follow
  // one label each.
  const int labelLines[] = {1, 3, 8, 11, 13, 16, 18, 21, 23, 28, 30, 32, 34};
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (std::find(std::begin(labelLines), std::end(labelLines), static_cast<int>(i + 1)) == std::end(labelLines))
      values.push_back(lines[i]);
  EXPECT_EQ(values, expected);
}

TEST(GameFileLayout, NewGameWritesSingleBlanksAndKeepsTheHorizon) {
  const auto lines = Lines(GameToFileBytes(workbench::NewGame("3.5")));
  ASSERT_EQ(lines.size(), 26u);
  for (int number : {4, 6, 10, 14, 18})
    EXPECT_EQ(lines[number - 1], " ") << number;
  for (int number : {20, 22, 24})
    EXPECT_EQ(lines[number - 1], "") << number;
  EXPECT_EQ(lines[25], "3.5");
}

// ---- Round trips -----------------------------------------------------------

TEST(GameFileRoundTrip, WriteReadWriteGivesTheSameGameAndBytes) {
  for (unsigned seed = 1; seed <= 30; ++seed) {
    std::mt19937 rng(seed);
    const int n = 1 + rng() % 10, u = 1 + rng() % 10, v = 1 + rng() % 10, l = 1 + rng() % 10;
    const GameRecord g = SampleGame(n, u, v, l, seed);
    const std::string bytes = GameToFileBytes(g);
    const GameRecord back = GameFromFileBytes(bytes);
    ASSERT_EQ(back, g) << seed;
    ASSERT_EQ(GameToFileBytes(back), bytes) << seed;
  }
}

TEST(GameFileRoundTrip, EveryByteButTheLineEndsSurvivesReadingAndWriting) {
  // A cell holding every byte value other than CR and LF, as a file from
  // elsewhere may have it: nothing is trimmed, converted or replaced.
  std::string all;
  for (int b = 0; b < 256; ++b)
    if (b != '\r' && b != '\n') all.push_back(static_cast<char>(b));
  std::string file = GameToFileBytes(GameRecord());
  const std::string marker = "\r\n\xD5\x30\r\n";
  file.insert(file.find(marker), all); // the cell of A
  const std::string again = GameToFileBytes(GameFromFileBytes(file));
  EXPECT_EQ(Hex(again), Hex(file));
}

TEST(GameFileRoundTrip, FilesThroughTheDiskAreByteForByte) {
  TempDir dir;
  const GameRecord g = SampleGame(3, 2, 4, 3, 99);
  workbench::SaveProblemToFile(dir / "game.txt", g);
  const std::string bytes = rtl::ReadFileBytes(dir / "game.txt");
  EXPECT_EQ(bytes, GameToFileBytes(g));
  EXPECT_EQ(workbench::LoadProblemFromFile(dir / "game.txt"), g);
  // Saving again replaces the file without asking and leaves nothing else.
  workbench::SaveProblemToFile(dir / "game.txt", GameRecord());
  EXPECT_EQ(rtl::ReadFileBytes(dir / "game.txt"), GameToFileBytes(GameRecord()));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"game.txt"});
}

// ---- Reading what others wrote ---------------------------------------------

std::string WithLf(std::string bytes) {
  std::string out;
  for (char c : bytes)
    if (c != '\r') out.push_back(c);
  return out;
}

TEST(GameFileReading, LineFeedsAloneReadTheSame) {
  const GameRecord g = SampleGame(4, 2, 3, 2, 7);
  const std::string crlf = GameToFileBytes(g);
  EXPECT_EQ(GameFromFileBytes(WithLf(crlf)), g);
  // Without the last line end, too, and with a bare CR ending the last line.
  std::string noEnd = WithLf(crlf);
  noEnd.pop_back();
  EXPECT_EQ(GameFromFileBytes(noEnd), g);
  EXPECT_EQ(GameFromFileBytes(noEnd + "\r"), g);
}

TEST(GameFileReading, MissingLinesAtTheEndAreEmptyTexts) {
  const GameRecord g = SampleGame(2, 2, 1, 3, 5);
  const auto lines = Lines(GameToFileBytes(g));
  auto firstLines = [&](std::size_t count) {
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i)
      bytes += lines[i] + "\r\n";
    return bytes;
  };
  const std::size_t total = lines.size();
  // Cut after the formula P: Q, M and T are empty.
  GameRecord cut = GameFromFileBytes(firstLines(total - 6));
  GameRecord expected = g;
  expected.Q = expected.M = expected.T = "";
  EXPECT_EQ(cut, expected);
  // Cut inside Pi: the rest of Pi is empty as well.
  cut = GameFromFileBytes(firstLines(total - 9));
  expected.P = "";
  expected.Pi[2][1] = "";
  EXPECT_EQ(cut, expected);
  // Lines after the game are ignored.
  EXPECT_EQ(GameFromFileBytes(GameToFileBytes(g) + "extra\r\nlines\r\n"), g);
}

struct BadDimension {
  const char *what;
  int lineIndex; // zero-based line of the file to replace
  std::string text;
  int lineNumber;
};

TEST(GameFileReading, BadDimensionsNameTheLineAndItsText) {
  // n = 2, u = 1, v = 1, l = 1: the dimension lines are 2, 12, 17 and 22.
  const std::string good = GameToFileBytes(SampleGame(2, 1, 1, 1));
  const BadDimension cases[] = {
      {"not a number", 1, "abc", 2},  {"zero", 1, "0", 2},
      {"above ten", 11, "11", 12},    {"negative", 16, "-1", 17},
      {"a fraction", 21, "2.0", 22},  {"empty", 11, "", 12},
      {"trailing blank", 1, "2 ", 2}, {"far too large", 21, "99999999999", 22},
  };
  for (const auto &c : cases) {
    auto lines = Lines(good);
    lines[c.lineIndex] = c.text;
    const std::string bytes = rtl::JoinLinesCrLf(lines);
    try {
      GameFromFileBytes(bytes);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const rtl::EConvertError &e) {
      EXPECT_NE(e.Message().find("строка " + std::to_string(c.lineNumber) + ":"), std::string::npos)
          << c.what << ": " << e.Message();
      EXPECT_NE(e.Message().find("«" + c.text + "»"), std::string::npos) << c.what << ": " << e.Message();
      EXPECT_NE(e.Message().find("от 1 до 10"), std::string::npos) << c.what << ": " << e.Message();
    }
  }
  // The values the standard integer conversion takes are dimensions.
  auto lines = Lines(GameToFileBytes(SampleGame(2, 3, 1, 1)));
  lines[11] = " +3";
  EXPECT_EQ(GameFromFileBytes(rtl::JoinLinesCrLf(lines)), SampleGame(2, 3, 1, 1));
}

TEST(GameFileReading, AFileThatEndsBeforeADimensionSaysSo) {
  const auto lines = Lines(GameToFileBytes(SampleGame(2, 1, 1, 1)));
  std::string bytes;
  for (int i = 0; i < 9; ++i)
    bytes += lines[i] + "\r\n"; // up to the cells of X0
  try {
    GameFromFileBytes(bytes);
    ADD_FAILURE() << "no error";
  } catch (const rtl::EConvertError &e) {
    EXPECT_NE(e.Message().find("строка 12:"), std::string::npos) << e.Message();
    EXPECT_NE(e.Message().find("размерность U"), std::string::npos) << e.Message();
  }
  EXPECT_THROW(GameFromFileBytes(""), rtl::EConvertError);
}

TEST(GameFileReading, LoadingNamesTheFileAndLeavesNothingHalfDone) {
  TempDir dir;
  auto lines = Lines(GameToFileBytes(SampleGame(3, 1, 1, 1)));
  lines[1] = "\xEC\xED\xEE\xE3\xEE"; // "много" in the file's encoding
  rtl::WriteFileAtomic(dir / "bad.txt", rtl::JoinLinesCrLf(lines));
  try {
    (void)workbench::LoadProblemFromFile(dir / "bad.txt");
    ADD_FAILURE() << "no error";
  } catch (const rtl::EConvertError &e) {
    EXPECT_NE(e.Message().find(dir / "bad.txt"), std::string::npos) << e.Message();
    EXPECT_NE(e.Message().find("«много»"), std::string::npos) << e.Message();
  }
  // A long line is shown cut short.
  lines[1] = std::string(500, 'z');
  rtl::WriteFileAtomic(dir / "long.txt", rtl::JoinLinesCrLf(lines));
  try {
    (void)workbench::LoadProblemFromFile(dir / "long.txt");
    ADD_FAILURE() << "no error";
  } catch (const rtl::EConvertError &e) {
    EXPECT_LT(e.Message().size(), 300u) << e.Message();
  }
  EXPECT_THROW((void)workbench::LoadProblemFromFile(dir / "missing.txt"), rtl::EInOutError);
}

// ---- Saving that fails -----------------------------------------------------

TEST(GameFileSaving, TextsTheFileCannotHoldAreRefusedAndNothingIsWritten) {
  TempDir dir;
  const std::string path = dir / "game.txt";
  workbench::SaveProblemToFile(path, SampleGame(2, 2, 2, 2));
  const std::string before = rtl::ReadFileBytes(path);

  struct Case {
    const char *what;
    std::function<void(GameRecord &)> spoil;
    std::string field;
  };
  const Case cases[] = {
      {"a character outside the code page", [](GameRecord &g) { g.B[1][0] = "3ü"; },
       "ячейка матрицы B (строка 2, столбец 1)"},
      {"an emoji", [](GameRecord &g) { g.P = "psi1 \xF0\x9F\x98\x80"; }, "поле P"},
      {"a line feed", [](GameRecord &g) { g.T = "1\n2"; }, "поле T"},
      {"a carriage return", [](GameRecord &g) { g.X0[1] = "1\r"; }, "ячейка X0 (строка 2)"},
      {"Chinese", [](GameRecord &g) { g.Pi[0][1] = "中"; }, "ячейка матрицы Pi (строка 1, столбец 2)"},
  };
  for (const auto &c : cases) {
    GameRecord g = SampleGame(3, 1, 2, 3);
    c.spoil(g);
    try {
      workbench::SaveProblemToFile(path, g);
      ADD_FAILURE() << c.what << ": saved";
    } catch (const rtl::EConvertError &e) {
      EXPECT_NE(e.Message().find(c.field), std::string::npos) << c.what << ": " << e.Message();
    }
    EXPECT_EQ(rtl::ReadFileBytes(path), before) << c.what;
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"game.txt"}) << c.what;
  }
  try {
    GameRecord g;
    g.M = "ü";
    (void)GameToFileBytes(g);
  } catch (const rtl::EConvertError &e) {
    EXPECT_NE(e.Message().find("«ü» (U+00FC)"), std::string::npos) << e.Message();
  }
}

TEST(GameFileSaving, ARecordOfTheWrongShapeIsRefused) {
  const std::function<void(GameRecord &)> spoils[] = {
      [](GameRecord &g) { g.X = 2; },      [](GameRecord &g) { g.A[0].push_back(""); },
      [](GameRecord &g) { g.X0.clear(); }, [](GameRecord &g) { g.Pi.push_back({""}); },
      [](GameRecord &g) { g.U = 0; },      [](GameRecord &g) { g.L = 11; },
  };
  for (const auto &spoil : spoils) {
    GameRecord g;
    spoil(g);
    EXPECT_THROW((void)GameToFileBytes(g), workbench::ESizeError);
  }
  EXPECT_THROW(GameRecord(0, 1, 1, 1), workbench::ESizeError);
}

TEST(GameFileSaving, AFailedWriteLeavesTheOldFile) {
  TempDir dir;
  const std::string path = dir / "game.txt";
  workbench::SaveProblemToFile(path, GameRecord());
  const std::string before = rtl::ReadFileBytes(path);

  // A write that fails half-way: the file size limit stops it after a few
  // bytes (root is not stopped by permissions, but by this).
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 64;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  bool raised = false;
  try {
    workbench::SaveProblemToFile(path, SampleGame(5, 5, 5, 5));
  } catch (const rtl::EInOutError &) {
    raised = true;
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(raised);
  EXPECT_EQ(rtl::ReadFileBytes(path), before);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"game.txt"});

  // A target that is a folder, and a folder that does not exist.
  ASSERT_EQ(::mkdir((dir / "folder").c_str(), 0755), 0);
  EXPECT_THROW(workbench::SaveProblemToFile(dir / "folder", GameRecord()), rtl::EInOutError);
  struct stat st {};
  EXPECT_EQ(::stat((dir / "folder").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_THROW(workbench::SaveProblemToFile(dir / "none/game.txt", GameRecord()), rtl::EInOutError);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"folder", "game.txt"}));
}

} // namespace
