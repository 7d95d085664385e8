// One game as the input window holds it, and its text file.
//
// The file has one label or one value per line, Windows-1251 bytes, every
// line ended by CR LF: the labels and the dimensions interleaved with the
// texts of the cells, the formulas and the horizon, in a fixed order. Texts
// are written and read exactly as typed; only the four dimensions are
// numbers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace workbench {

// Cell texts of one matrix, indexed [row][column] from 0 (the input
// window's grid cell [column + 1, row + 1]).
using TextTable = std::vector<std::vector<std::string>>;

struct GameRecord {
  // The dimensions n, u, v, l of the state, the pursuer's control, the
  // evader's control and the terminal space, each from 1 to 10.
  int X = 1;
  int U = 1;
  int V = 1;
  int L = 1;
  TextTable A{{""}};               // n x n
  TextTable B{{""}};               // n x u
  TextTable C{{""}};               // n x v
  TextTable Pi{{""}};              // l x n
  std::vector<std::string> X0{""}; // n
  std::string P;                   // support function of the pursuer's control set
  std::string Q;                   // support function of the evader's control set
  std::string M;                   // support function of the terminal set
  std::string T;                   // the horizon

  // The game the window starts with: every dimension 1, every text empty.
  GameRecord() = default;
  // Tables shaped for the dimensions, every text empty.
  GameRecord(int n, int u, int v, int l);

  bool operator==(const GameRecord &) const = default;
};

// The game of "New": every dimension 1, a single blank in each matrix's
// one cell, the formulas empty, the horizon kept as given.
GameRecord NewGame(std::string T);

// The file's bytes for a game. Raises rtl::EConvertError, with a message
// naming the field, for a text that holds a line break or a character that
// Windows-1251 cannot hold; ESizeError when a table does not have the shape
// its dimensions give or a dimension is outside 1..10.
std::string GameToFileBytes(const GameRecord &Game);

// Reads a game from the file's bytes (LF or CR LF line ends). Lines past
// the end read as empty texts. A dimension line that is not an integer
// from 1 to 10 raises rtl::EConvertError naming the line's number and its
// text. Labels are not checked.
GameRecord GameFromFileBytes(std::string_view Bytes);

// Writes the file in one piece: on any error the file that was there stays
// as it was. Errors: those of GameToFileBytes (nothing is written), and
// rtl::EInOutError naming the file.
void SaveProblemToFile(const std::string &FileName, const GameRecord &Game);

// Reads the whole file and returns the game, or raises without a partial
// result: rtl::EInOutError when the file cannot be read, rtl::EConvertError
// (naming the file, the line and its text) for a bad dimension.
GameRecord LoadProblemFromFile(const std::string &FileName);

} // namespace workbench
