#include "workbench/GameFile.h"

#include "platform/rtl/Conversions.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/TextEncoding.h"
#include "workbench/CalculationUnit.h"

#include <cstdio>
#include <utility>

namespace workbench {

namespace {

// ---- Labels ----------------------------------------------------------------
// Written byte for byte as older files have them. Several look alike but
// differ in alphabet: the letter after "Размерность" in the first label, the
// "А" of the first matrix and the first letter of "Х0" are Cyrillic; U, V,
// L, B, C, Pi, P, Q and M are Latin.

constexpr std::string_view kLabelDimX = "\xD0\xE0\xE7\xEC\xE5\xF0\xED\xEE\xF1\xF2\xFC\x20\xD5";
constexpr std::string_view kLabelA = "\xCC\xE0\xF2\xF0\xE8\xF6\xE0\x20\xC0";
constexpr std::string_view kLabelX0 = "\xD5\x30";
constexpr std::string_view kLabelDimU = "\xD0\xE0\xE7\xEC\xE5\xF0\xED\xEE\xF1\xF2\xFC\x20U";
constexpr std::string_view kLabelB = "\xCC\xE0\xF2\xF0\xE8\xF6\xE0\x20"
                                     "B";
constexpr std::string_view kLabelDimV = "\xD0\xE0\xE7\xEC\xE5\xF0\xED\xEE\xF1\xF2\xFC\x20V";
constexpr std::string_view kLabelC = "\xCC\xE0\xF2\xF0\xE8\xF6\xE0\x20"
                                     "C";
constexpr std::string_view kLabelDimL = "\xD0\xE0\xE7\xEC\xE5\xF0\xED\xEE\xF1\xF2\xFC\x20L";
constexpr std::string_view kLabelPi = "\xCC\xE0\xF2\xF0\xE8\xF6\xE0\x20Pi";
constexpr std::string_view kLabelP = "\xCE\xEF\xEE\xF0\xED\xE0\xFF\x20\xF4\xF3\xED\xEA\xF6\xE8\xFF\x20P";
constexpr std::string_view kLabelQ = "\xCE\xEF\xEE\xF0\xED\xE0\xFF\x20\xF4\xF3\xED\xEA\xF6\xE8\xFF\x20Q";
constexpr std::string_view kLabelM = "\xCE\xEF\xEE\xF0\xED\xE0\xFF\x20\xF4\xF3\xED\xEA\xF6\xE8\xFF\x20M";
constexpr std::string_view kLabelT = "\xC2\xF0\xE5\xEC\xFF";

constexpr int kMinDim = 1;
constexpr int kMaxDim = 10;

TextTable EmptyTable(int rows, int cols) {
  return TextTable(static_cast<std::size_t>(rows), std::vector<std::string>(static_cast<std::size_t>(cols)));
}

// ---- Writing ---------------------------------------------------------------

std::string CellName(const char *matrix, int row, int col) {
  return std::string("ячейка матрицы ") + matrix + " (строка " + rtl::IntToStr(row + 1) + ", столбец " +
         rtl::IntToStr(col + 1) + ")";
}

std::string CodePointText(char32_t cp) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(cp));
  return hex;
}

[[noreturn]] void RefuseText(const std::string &field, const std::string &why) {
  throw rtl::EConvertError("Игра не сохранена: " + field + " " + why + ". Файл не изменён.");
}

// The text in the file's encoding; a text the file cannot carry is refused
// rather than changed, so that what is saved is what was typed.
std::string Encode(const std::string &text, const std::string &field) {
  if (text.find_first_of("\r\n") != std::string::npos) RefuseText(field, "содержит перевод строки");
  if (auto bytes = rtl::Utf8ToCp1251(text)) return std::move(*bytes);
  for (char32_t cp : rtl::Utf8ToUtf32(text)) {
    const std::string one = rtl::Utf32ToUtf8(std::u32string_view(&cp, 1));
    if (!rtl::Utf8ToCp1251(one))
      RefuseText(field,
                 "содержит символ «" + one + "» (" + CodePointText(cp) + "), которого нет в кодировке Windows-1251");
  }
  RefuseText(field, "не удалось перевести в кодировку Windows-1251");
}

void CheckDim(const char *name, int value) {
  if (value < kMinDim || value > kMaxDim)
    throw ESizeError(std::string("Game record: dimension ") + name + " is " + rtl::IntToStr(value) +
                     ", it must be from 1 to 10");
}

void CheckDims(int n, int u, int v, int l) {
  CheckDim("X", n);
  CheckDim("U", u);
  CheckDim("V", v);
  CheckDim("L", l);
}

void CheckTable(const char *name, const TextTable &table, int rows, int cols) {
  bool ok = table.size() == static_cast<std::size_t>(rows);
  for (const auto &row : table)
    ok = ok && row.size() == static_cast<std::size_t>(cols);
  if (!ok)
    throw ESizeError(std::string("Game record: table ") + name + " is not " + rtl::IntToStr(rows) + "x" +
                     rtl::IntToStr(cols) + " as its dimensions say");
}

void PutTable(std::vector<std::string> &lines, const TextTable &table, const char *name) {
  for (std::size_t i = 0; i < table.size(); ++i)
    for (std::size_t j = 0; j < table[i].size(); ++j)
      lines.push_back(Encode(table[i][j], CellName(name, static_cast<int>(i), static_cast<int>(j))));
}

// ---- Reading ---------------------------------------------------------------

// A line quoted in a message, cut short so that a file that is not a game
// at all does not flood the error box.
std::string Quoted(const std::string &text) {
  constexpr std::size_t kMaxShown = 60;
  std::u32string chars = rtl::Utf8ToUtf32(text);
  if (chars.size() <= kMaxShown) return "«" + text + "»";
  chars.resize(kMaxShown);
  return "«" + rtl::Utf32ToUtf8(chars) + "…»";
}

class LineReader {
public:
  explicit LineReader(std::string_view bytes) {
    // A last line ended by a bare CR would otherwise keep it.
    if (!bytes.empty() && bytes.back() == '\r') bytes.remove_suffix(1);
    lines_ = rtl::SplitLines(bytes);
  }

  // The next line as UTF-8 text; past the end, the empty text.
  std::string Next() {
    const std::size_t i = next_++;
    return i < lines_.size() ? rtl::Cp1251ToUtf8(lines_[i]) : std::string();
  }

  void Skip() { ++next_; }

  int Dimension(const char *name) {
    const std::size_t number = next_ + 1;
    const bool present = next_ < lines_.size();
    const std::string text = Next();
    int value = 0;
    if (rtl::TryStrToInt(text, value) && value >= kMinDim && value <= kMaxDim) return value;
    std::string where = "строка " + rtl::IntToStr(static_cast<int64_t>(number)) + ": ";
    if (present)
      where += Quoted(text) + " — это не размерность " + name + ": нужно целое число от 1 до 10";
    else
      where +=
          "файл кончается раньше, а здесь должна стоять размерность " + std::string(name) + " (целое число от 1 до 10)";
    throw rtl::EConvertError(where);
  }

  TextTable Table(int rows, int cols) {
    TextTable table = EmptyTable(rows, cols);
    for (auto &row : table)
      for (auto &cell : row)
        cell = Next();
    return table;
  }

private:
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
};

GameRecord Parse(std::string_view bytes, const std::string &source) {
  try {
    LineReader in(bytes);
    GameRecord g;
    in.Skip();
    const int n = in.Dimension("X");
    in.Skip();
    TextTable A = in.Table(n, n);
    in.Skip();
    std::vector<std::string> X0(static_cast<std::size_t>(n));
    for (auto &cell : X0)
      cell = in.Next();
    in.Skip();
    const int u = in.Dimension("U");
    in.Skip();
    TextTable B = in.Table(n, u);
    in.Skip();
    const int v = in.Dimension("V");
    in.Skip();
    TextTable C = in.Table(n, v);
    in.Skip();
    const int l = in.Dimension("L");
    in.Skip();
    TextTable Pi = in.Table(l, n);
    in.Skip();
    g.P = in.Next();
    in.Skip();
    g.Q = in.Next();
    in.Skip();
    g.M = in.Next();
    in.Skip();
    g.T = in.Next();
    g.X = n;
    g.U = u;
    g.V = v;
    g.L = l;
    g.A = std::move(A);
    g.B = std::move(B);
    g.C = std::move(C);
    g.Pi = std::move(Pi);
    g.X0 = std::move(X0);
    return g;
  } catch (rtl::EConvertError &e) {
    e.SetMessage("Игра не загружена" + source + ", " + e.Message() + ".");
    throw;
  }
}

} // namespace

GameRecord::GameRecord(int n, int u, int v, int l)
    : X(n), U(u), V(v), L(l), A(EmptyTable(n, n)), B(EmptyTable(n, u)), C(EmptyTable(n, v)), Pi(EmptyTable(l, n)),
      X0(static_cast<std::size_t>(n)) {
  CheckDims(n, u, v, l);
}

GameRecord NewGame(std::string T) {
  GameRecord g;
  g.A[0][0] = g.B[0][0] = g.C[0][0] = g.Pi[0][0] = g.X0[0] = " ";
  g.T = std::move(T);
  return g;
}

std::string GameToFileBytes(const GameRecord &Game) {
  const int n = Game.X, u = Game.U, v = Game.V, l = Game.L;
  CheckDims(n, u, v, l);
  CheckTable("A", Game.A, n, n);
  CheckTable("B", Game.B, n, u);
  CheckTable("C", Game.C, n, v);
  CheckTable("Pi", Game.Pi, l, n);
  if (Game.X0.size() != static_cast<std::size_t>(n))
    throw ESizeError("Game record: X0 does not have " + rtl::IntToStr(n) + " cells as the dimension X says");

  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(21 + n * n + n + n * u + n * v + l * n));
  lines.emplace_back(kLabelDimX);
  lines.push_back(rtl::IntToStr(n));
  lines.emplace_back(kLabelA);
  PutTable(lines, Game.A, "A");
  lines.emplace_back(kLabelX0);
  for (int i = 0; i < n; ++i)
    lines.push_back(Encode(Game.X0[static_cast<std::size_t>(i)], "ячейка X0 (строка " + rtl::IntToStr(i + 1) + ")"));
  lines.emplace_back(kLabelDimU);
  lines.push_back(rtl::IntToStr(u));
  lines.emplace_back(kLabelB);
  PutTable(lines, Game.B, "B");
  lines.emplace_back(kLabelDimV);
  lines.push_back(rtl::IntToStr(v));
  lines.emplace_back(kLabelC);
  PutTable(lines, Game.C, "C");
  lines.emplace_back(kLabelDimL);
  lines.push_back(rtl::IntToStr(l));
  lines.emplace_back(kLabelPi);
  PutTable(lines, Game.Pi, "Pi");
  lines.emplace_back(kLabelP);
  lines.push_back(Encode(Game.P, "поле P"));
  lines.emplace_back(kLabelQ);
  lines.push_back(Encode(Game.Q, "поле Q"));
  lines.emplace_back(kLabelM);
  lines.push_back(Encode(Game.M, "поле M"));
  lines.emplace_back(kLabelT);
  lines.push_back(Encode(Game.T, "поле T"));
  return rtl::JoinLinesCrLf(lines);
}

GameRecord GameFromFileBytes(std::string_view Bytes) { return Parse(Bytes, ""); }

void SaveProblemToFile(const std::string &FileName, const GameRecord &Game) {
  // Every text is encoded before the file is touched.
  rtl::WriteFileAtomic(FileName, GameToFileBytes(Game));
}

GameRecord LoadProblemFromFile(const std::string &FileName) {
  return Parse(rtl::ReadFileBytes(FileName), " из файла «" + FileName + "»");
}

} // namespace workbench
