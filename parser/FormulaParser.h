// The formula component: a formula text is compiled once into a flat list of
// operations whose operands point straight at the variables' storage; each
// read of Value() runs the list for the variables' current values.
#pragma once

#include "parser/FormulaCompiler.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace parser {

class TCustomParser;

using TParserExceptionEvent = std::function<void(TCustomParser *Sender, const rtl::Exception &E)>;

class TCustomParser {
public:
  TCustomParser();
  virtual ~TCustomParser();
  TCustomParser(const TCustomParser &) = delete;
  TCustomParser &operator=(const TCustomParser &) = delete;

  // The formula's value for the variables' current values; 0 when nothing is
  // compiled. Floating-point faults raise rtl::EZeroDivide, EInvalidOp or
  // EOverflow, a zero divisor of MOD or DIV rtl::EDivByZero; the compiled
  // form stays usable afterwards.
  long double Value() const;

  // Whether every read of Value gives the same result (or the same fault)
  // until the next compilation: nothing is compiled, or the formula reads
  // no variable and calls no random function.
  bool Constant() const { return !FCompiled || FConstant; }

  const std::string &Expression() const { return FExpression; }
  // Drops the compiled form, keeps the text (even when it fails to compile)
  // and compiles it unless it is empty.
  void SetExpression(std::string_view text);

  bool PascalNumberformat() const { return FPascalNumberformat; }
  void SetPascalNumberformat(bool value) { FPascalNumberformat = value; }

  // Called instead of raising when compiling fails with an EMathParserError;
  // nothing stays compiled then.
  TParserExceptionEvent OnParserError;

  // Stores the value in the variable (names ignore case), making the
  // variable when the name is new. Returns its storage, which never moves
  // while the variable exists. Raises EBadName for a name that is no
  // identifier or contains DIV or MOD.
  double *SetVariable(std::string_view Name, long double Value);
  // Drops the compiled form, then every variable (the built-in ones too).
  void ClearVariables();

protected:
  bool Compile();
  // Lets the evaluator run the cheapest functions in place.
  void BindOperations();
  // Binds a name to storage the parser does not own (the built-in fields).
  void AddVariable(std::string_view name, double *storage);

  // Constant tables shared by every parser of a kind.
  std::span<const TOneArgEntry> OneArgFunctions;
  std::span<const TTwoArgEntry> TwoArgFunctions;

private:
  double *NewStorage(double value);
  void Insert(std::ptrdiff_t at, TVariableEntry entry);

  std::unique_ptr<TCompiledFormula> FCompiled;
  std::string FExpression;
  bool FPascalNumberformat = true;
  // The variables the compiled form reads, and whether every fault it can
  // meet leaves an infinite or NaN value behind.
  std::vector<const double *> FInputs;
  bool FFaultsShowInResults = false;
  bool FConstant = false;
  // In NameBefore order.
  std::vector<TVariableEntry> FVariables;
  // The storage of the variables SetVariable makes: the first few inside
  // the parser, the rest in blocks that never move.
  static constexpr int kLocalStorage = 8;
  static constexpr int kStorageBlock = 32;
  double FLocalStorage[kLocalStorage] = {};
  std::vector<std::unique_ptr<double[]>> FStorageBlocks;
  int FStorageUsed = 0;
};

// The parser with the thirty built-in functions and the built-in variables
// A, B, C, D, E, X, Y and T.
class TParser : public TCustomParser {
public:
  TParser();

  double A() const { return FA; }
  void SetA(double v) { FA = v; }
  double B() const { return FB; }
  void SetB(double v) { FB = v; }
  double C() const { return FC; }
  void SetC(double v) { FC = v; }
  double D() const { return FD; }
  void SetD(double v) { FD = v; }
  double E() const { return FE; }
  void SetE(double v) { FE = v; }
  double X() const { return FX; }
  void SetX(double v) { FX = v; }
  double Y() const { return FY; }
  void SetY(double v) { FY = v; }
  double T() const { return FT; }
  void SetT(double v) { FT = v; }

protected:
  void RegisterFunctions();

private:
  double FA = 0, FB = 0, FC = 0, FD = 0, FE = 0, FX = 0, FY = 0, FT = 0;
};

} // namespace parser
