// The formula compiler: turns a formula text into a flat list of operation
// records. There is no lexer and no precedence table; a term is recognised by
// trying fixed forms in a fixed order, and each form splits the text at an
// operator and checks the kinds of both sides. Precedence and associativity
// follow from which kinds each side admits (A-B-C is (A-B)-C, A+B+C is
// A+(B+C), -2^2 is -(2^2), E-1 is the number 0).
#pragma once

#include "platform/rtl/Exceptions.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace parser {

// ---- Exceptions -------------------------------------------------------------

class EMathParserError : public rtl::Exception {
public:
  using rtl::Exception::Exception;
};

class EExpressionHasBlanks : public EMathParserError {
public:
  EExpressionHasBlanks() : EMathParserError("Expression has blanks") {}
};

class EMissMatchingBracket : public EMathParserError {
public:
  // `bracket` is the missing one, ')' or '('.
  explicit EMissMatchingBracket(char bracket)
      : EMathParserError(std::string("Missing brackets in expression (\"") + bracket + "\")") {}
};

class ESyntaxError : public EMathParserError {
public:
  explicit ESyntaxError(std::string_view text) : EMathParserError("Error parsing expression:\r" + std::string(text)) {}
  ESyntaxError(std::string_view left, std::string_view right)
      : EMathParserError("Error parsing expression:\r" + std::string(left) + "\r" + std::string(right)) {}
};

class ETooManyNestings : public EMathParserError {
public:
  ETooManyNestings() : EMathParserError("Expression contains too many nestings") {}
};

class EExpressionTooComplex : public EMathParserError {
public:
  EExpressionTooComplex() : EMathParserError("Expression is too complex") {}
};

class EParserInternalError : public EMathParserError {
public:
  EParserInternalError() : EMathParserError("TParser internal error") {}
};

class EBadName : public EMathParserError {
public:
  explicit EBadName(std::string_view name) : EMathParserError(std::string(name)) {}
};

// ---- Names ------------------------------------------------------------------

// Maps 'A'..'Z' to 'a'..'z' and every other character to itself; names and
// the words DIV and MOD are compared through it.
extern const std::array<unsigned char, 256> CaseFoldTable;

struct CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept;
};

using TOneArgFunction = double (*)(double);
using TTwoArgFunction = double (*)(double, double);

// The variable table holds, per upper-case name, the address of the
// variable's storage; the compiled form reads that storage directly.
using TVariableTable = std::map<std::string, double *, CaseInsensitiveLess>;
using TOneArgTable = std::map<std::string, TOneArgFunction, CaseInsensitiveLess>;
using TTwoArgTable = std::map<std::string, TTwoArgFunction, CaseInsensitiveLess>;

// The same tables as the compiler reads them: every name in upper case, so
// that it is compared exactly with the upper-cased text. A parser keeps its
// variables in such a list and shares one constant list of functions with
// every other parser, so making a parser builds no tables.
struct TVariableEntry {
  std::string Name;
  double *Storage = nullptr;
};

struct TOneArgEntry {
  std::string_view Name;
  TOneArgFunction Function = nullptr;
};

struct TTwoArgEntry {
  std::string_view Name;
  TTwoArgFunction Function = nullptr;
};

// The order of a variable list: shorter names first, then byte by byte.
inline bool NameBefore(std::string_view a, std::string_view b) noexcept {
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// The entry named exactly `upper` in a list kept in NameBefore order, or
// null.
const TVariableEntry *FindVariable(std::span<const TVariableEntry> variables, std::string_view upper) noexcept;

struct TNameTables {
  std::span<const TVariableEntry> Variables; // in NameBefore order
  std::span<const TOneArgEntry> OneArg;
  std::span<const TTwoArgEntry> TwoArg;
};

// ---- Compiled form ----------------------------------------------------------

// Opcodes of the operation records.
enum : uint8_t {
  opVariable = 0,
  opNumber = 1,
  opNegate = 2,
  opSum = 3,
  opDifference = 4,
  opProduct = 5,
  opQuotient = 6,
  opModulo = 7,
  opIntDivision = 8,
  opIntPower = 9,
  opPower = 10,
  opSquare = 11,
  opCube = 12,
  opFourth = 13,
  opOneArgCall = 14,
  opTwoArgCall = 15,
};

// One operation. Operands point at variable storage, at a literal or at the
// result of an earlier record, so running the records in order needs no
// look-up and no allocation.
struct OperationRecord {
  const double *Operand1 = nullptr;
  const double *Operand2 = nullptr;
  double *Result = nullptr;
  TOneArgFunction OneArg = nullptr; // opcode 14
  TTwoArgFunction TwoArg = nullptr; // opcode 15
  uint8_t Opcode = 0;
  // The evaluator's own dispatch code: the opcode, or for a call of a
  // function it runs in place, that function's code.
  uint8_t Kernel = 0;
};

// The runnable form: the records in running order (every record after those
// whose results it reads; the last computes the formula) and the storage of
// literals and intermediate results, which the records point into.
struct TCompiledFormula {
  std::vector<OperationRecord> Operations;
  std::unique_ptr<double[]> Cells;
  std::size_t CellCount = 0;
  // The formula's value: the last record's result, or the single leaf.
  const double *ResultCell = nullptr;
};

// Compiles `text`. Raises one of the EMathParserError family (blanks, then
// brackets, then the walk: syntax, nesting, complexity, in the order met
// depth first), or rtl::EOverflow for a literal beyond the double range.
// With `pascalNumberFormat` false, literals are read with the run-time's
// decimal separator.
std::unique_ptr<TCompiledFormula> ParseExpression(std::string_view text, const TNameTables &names,
                                                  bool pascalNumberFormat);
// The same over tables keyed in any case.
std::unique_ptr<TCompiledFormula> ParseExpression(std::string_view text, const TVariableTable &variables,
                                                  const TOneArgTable &oneArgFunctions,
                                                  const TTwoArgTable &twoArgFunctions, bool pascalNumberFormat);

} // namespace parser
