#include "workbench/GameFile.h"

#include "platform/rtl/Files.h"
#include "workbench/CalculationUnit.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <random>
#include <sys/resource.h>

namespace {

using workbench::GameFromFileBytes;
using workbench::GameRecord;
using workbench::GameToFileBytes;
namespace fs = std::filesystem;

// Splits at CR LF, which must end every line.
std::vector<std::string> Lines(const std::string &bytes) {
  EXPECT_TRUE(bytes.ends_with("\r\n"));
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(bytes.substr(start, end - start));
  return lines;
}

// Every text differs, with Cyrillic, blanks, empties and signs in it.
GameRecord Sample(int n, int u, int v, int l, unsigned seed = 1) {
  static const char *const kPieces[] = {"0", "1.5", "-2", " ", "", "ф", "Ж-3", " 7 ", "№", "€"};
  std::mt19937 rng(seed);
  int counter = 0;
  auto text = [&] { return std::to_string(counter++) + kPieces[rng() % 10] + kPieces[rng() % 10]; };
  GameRecord g(n, u, v, l);
  for (auto *table : {&g.A, &g.B, &g.C, &g.Pi})
    for (auto &row : *table)
      for (auto &cell : row)
        cell = text();
  for (auto &cell : g.X0)
    cell = text();
  g.P = "sqrt(psi1^2+psi2^2)", g.Q = text(), g.M = "2*Ж", g.T = text();
  return g;
}

// Runs call, which must raise E with a message holding part.
template <class E> void ExpectMessage(const std::function<void()> &call, const std::string &part) {
  try {
    call();
    ADD_FAILURE() << "no error: " << part;
  } catch (const E &e) {
    EXPECT_NE(e.Message().find(part), std::string::npos) << e.Message();
  }
}

TEST(GameFile, StartupGameHasTheStatedLinesAndLabelBytes) {
  const std::string dim = "\xD0\xE0\xE7\xEC\xE5\xF0\xED\xEE\xF1\xF2\xFC\x20", mat = "\xCC\xE0\xF2\xF0\xE8\xF6\xE0\x20",
                    sup = "\xCE\xEF\xEE\xF0\xED\xE0\xFF\x20\xF4\xF3\xED\xEA\xF6\xE8\xFF\x20";
  // clang-format off
  const std::vector<std::string> expected = {
      dim + "\xD5", "1", mat + "\xC0", "", "\xD5\x30", "", dim + "U", "1", mat + "B", "", dim + "V", "1", mat + "C", "",
      dim + "L", "1", mat + "Pi", "", sup + "P", "", sup + "Q", "", sup + "M", "", "\xC2\xF0\xE5\xEC\xFF", ""};
  // clang-format on
  EXPECT_EQ(Lines(GameToFileBytes(GameRecord())), expected);
  // New puts a single blank in each matrix's cell and keeps the horizon.
  const auto fresh = Lines(GameToFileBytes(workbench::NewGame("3.5")));
  for (int i : {3, 5, 9, 13, 17})
    EXPECT_EQ(fresh[i], " ") << i;
  EXPECT_EQ(fresh[25], "3.5");
  // Cells go row by row.
  GameRecord g(2, 1, 1, 2);
  g.A = {{"a11", "a12"}, {"a21", "a22"}}, g.Pi = {{"p11", "p12"}, {"p21", "p22"}};
  const auto lines = Lines(GameToFileBytes(g));
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.begin() + 7),
            (std::vector<std::string>{"a11", "a12", "a21", "a22"}));
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 23, lines.begin() + 27),
            (std::vector<std::string>{"p11", "p12", "p21", "p22"}));
}

TEST(GameFile, RoundTripsAreByteForByte) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 rng(seed);
    const GameRecord g = Sample(1 + rng() % 10, 1 + rng() % 10, 1 + rng() % 10, 1 + rng() % 10, seed);
    const std::string bytes = GameToFileBytes(g);
    ASSERT_EQ(GameFromFileBytes(bytes), g) << seed;
    ASSERT_EQ(GameToFileBytes(GameFromFileBytes(bytes)), bytes) << seed;
    // Line feeds alone, and a last line ended by a bare CR, read the same.
    std::string lf;
    for (char c : bytes)
      if (c != '\r') lf.push_back(c);
    ASSERT_EQ(GameFromFileBytes(lf), g) << seed;
    lf.back() = '\r';
    ASSERT_EQ(GameFromFileBytes(lf), g) << seed;
  }
  // Every byte but CR and LF in a cell survives: nothing is trimmed or
  // replaced, 0x98 (no character) included.
  std::string all, file = GameToFileBytes(GameRecord());
  for (int b = 0; b < 256; ++b)
    if (b != '\r' && b != '\n') all.push_back(static_cast<char>(b));
  file.insert(file.find("\r\n\xD5\x30\r\n"), all);
  EXPECT_EQ(GameToFileBytes(GameFromFileBytes(file)), file);
  // Cut inside Pi: the rest of Pi, the formulas and T are empty.
  const GameRecord g = Sample(2, 2, 1, 3, 5);
  const auto lines = Lines(GameToFileBytes(g));
  GameRecord expected = g;
  expected.Pi[2][1] = expected.P = expected.Q = expected.M = expected.T = "";
  EXPECT_EQ(GameFromFileBytes(rtl::JoinLinesCrLf({lines.begin(), lines.end() - 9})), expected);
}

TEST(GameFile, BadDimensionsNameTheLineAndNothingLoads) {
  // n = 2, u = v = l = 1: the dimensions stand on lines 2, 12, 17 and 22.
  const auto good = Lines(GameToFileBytes(Sample(2, 1, 1, 1)));
  const std::pair<int, std::string> cases[] = {{2, "abc"},  {2, "0"}, {12, "11"}, {17, "-1"},
                                               {22, "2.0"}, {12, ""}, {2, "2 "},  {22, "99999999999"}};
  for (const auto &[number, text] : cases) {
    auto lines = good;
    lines[number - 1] = text;
    ExpectMessage<rtl::EConvertError>([&] { (void)GameFromFileBytes(rtl::JoinLinesCrLf(lines)); },
                                      "строка " + std::to_string(number) + ": «" + text + "»");
  }
  // A file that ends before a dimension says so.
  EXPECT_THROW((void)GameFromFileBytes(rtl::JoinLinesCrLf({good.begin(), good.begin() + 9})), rtl::EConvertError);
}

TEST(GameFile, FailedSavesLeaveTheOldFile) {
  const fs::path dir = fs::temp_directory_path() / ("kvel-save-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string path = dir / "game.txt";
  workbench::SaveProblemToFile(path, Sample(2, 2, 2, 2));
  const std::string before = rtl::ReadFileBytes(path);
  EXPECT_EQ(workbench::LoadProblemFromFile(path), Sample(2, 2, 2, 2));
  auto unchanged = [&] {
    EXPECT_EQ(rtl::ReadFileBytes(path), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  };
  // Texts the file cannot carry and tables of the wrong shape are refused,
  // naming the field.
  const std::pair<std::function<void(GameRecord &)>, std::string> refused[] = {
      {[](GameRecord &g) { g.B[1][0] = "3ü"; }, "ячейка матрицы B (строка 2, столбец 1) содержит символ «ü» (U+00FC)"},
      {[](GameRecord &g) { g.P = "\xF0\x9F\x98\x80"; }, "поле P содержит символ"},
      {[](GameRecord &g) { g.T = "1\n2"; }, "поле T содержит перевод строки"},
      {[](GameRecord &g) { g.X0[1] = "1\r"; }, "ячейка X0 (строка 2) содержит перевод строки"},
      {[](GameRecord &g) { g.C[2].pop_back(); }, "table C"},
      {[](GameRecord &g) { g.X0.emplace_back(); }, "X0"},
  };
  for (const auto &[spoil, message] : refused) {
    GameRecord g = Sample(3, 1, 2, 3);
    spoil(g);
    ExpectMessage<rtl::Exception>([&] { workbench::SaveProblemToFile(path, g); }, message);
    unchanged();
  }
  // A write that fails half-way (root ignores permissions, not this limit).
  struct rlimit old {};
  ::getrlimit(RLIMIT_FSIZE, &old);
  const auto handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 64;
  ::setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_THROW(workbench::SaveProblemToFile(path, Sample(5, 5, 5, 5)), rtl::EInOutError);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, handler);
  unchanged();
  // A load that fails names the file and the line.
  rtl::WriteFileAtomic(path, "\r\n\xEC\xED\xEE\xE3\xEE\r\n"); // "много" in the file's encoding
  ExpectMessage<rtl::EConvertError>([&] { (void)workbench::LoadProblemFromFile(path); }, path + "», строка 2: «много»");
  fs::remove_all(dir);
}

} // namespace
