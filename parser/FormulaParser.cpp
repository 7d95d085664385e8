#include "parser/FormulaParser.h"

#include "platform/rtl/FloatFaults.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Random.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>

namespace parser {

namespace {

using Ext = long double;

constexpr double kPi = 3.141592653589793;
constexpr int kFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

// ---- Arithmetic in extended precision, each result stored as a double --------

Ext IntPower(Ext base, int64_t exponent) {
  uint64_t bits = exponent < 0 ? 0 - static_cast<uint64_t>(exponent) : static_cast<uint64_t>(exponent);
  Ext result = 1;
  Ext square = base;
  while (bits != 0) {
    if (bits & 1) result *= square;
    bits >>= 1;
    if (bits != 0) square *= square;
  }
  // An overflow on the way to a negative power would be divided away; it
  // raises the overflow fault in any case, and the infinite value left
  // here lets the evaluator see that it happened.
  if (exponent < 0 && std::isfinite(result)) return 1 / result;
  return result;
}

Ext Power(Ext base, Ext exponent) {
  if (exponent == 0) return 1;
  if (base == 0 && exponent > 0) return 0;
  if (exponent == std::trunc(exponent) && std::fabs(exponent) <= 2147483647.0L)
    return IntPower(base, static_cast<int64_t>(exponent));
  return std::exp(exponent * std::log(base));
}

// Both operands are truncated to 64-bit integers first.
double IntDivision(double x, double y) {
  const int64_t a = rtl::Trunc(x), b = rtl::Trunc(y);
  if (b == 0) throw rtl::EDivByZero();
  if (b == -1) return -static_cast<double>(a); // exact for the one quotient beyond the range
  return static_cast<double>(a / b);
}

double Modulo(double x, double y) {
  const int64_t a = rtl::Trunc(x), b = rtl::Trunc(y);
  if (b == 0) throw rtl::EDivByZero();
  if (b == -1) return 0;
  return static_cast<double>(a % b);
}

// ---- The built-in functions -------------------------------------------------------

double FnTan(double x) { return static_cast<double>(std::tan(Ext(x))); }
double FnSin(double x) { return static_cast<double>(std::sin(Ext(x))); }
double FnCos(double x) { return static_cast<double>(std::cos(Ext(x))); }
double FnSinh(double x) { return static_cast<double>((std::exp(Ext(x)) - std::exp(-Ext(x))) * 0.5L); }
double FnCosh(double x) { return static_cast<double>((std::exp(Ext(x)) + std::exp(-Ext(x))) * 0.5L); }
double FnArcTan(double x) { return static_cast<double>(std::atan(Ext(x))); }
double FnCotan(double x) { return static_cast<double>(1 / std::tan(Ext(x))); }
double FnExp(double x) { return static_cast<double>(std::exp(Ext(x))); }
double FnLn(double x) { return static_cast<double>(std::log(Ext(x))); }
double FnLog10(double x) { return static_cast<double>(std::log10(Ext(x))); }
double FnLog2(double x) { return static_cast<double>(std::log2(Ext(x))); }
double FnSqr(double x) { return static_cast<double>(Ext(x) * x); }
double FnSqrt(double x) { return static_cast<double>(std::sqrt(Ext(x))); }
double FnAbs(double x) { return std::fabs(x); }
double FnTrunc(double x) { return static_cast<double>(rtl::Int(x)); }
double FnCeil(double x) { return static_cast<double>(rtl::Frac(x) > 0 ? rtl::Int(Ext(x) + 1) : rtl::Int(x)); }
double FnFloor(double x) { return static_cast<double>(rtl::Frac(x) < 0 ? rtl::Int(Ext(x) - 1) : rtl::Int(x)); }
double FnHeav(double x) { return x >= 0 ? 1 : 0; }
double FnSign(double x) { return x < 0 ? -1 : x > 0 ? 1 : 0; }
double FnZero(double x) { return x == 0 ? 0 : 1; }
// The divisor is 2/pi; the quotient is rounded to a double before its
// nearest integer (halves to even) is taken.
double FnPh(double x) {
  const double q = static_cast<double>(Ext(x) / 0.6366197723675814);
  return static_cast<double>((Ext(q) - std::nearbyint(Ext(q))) * (2 * Ext(kPi)));
}
double FnRnd(double x) { return static_cast<double>(rtl::Int(x) * Ext(rtl::Random())); }
double FnRandom(double) { return rtl::Random(); }

// The angle of (a, b) in [-pi/2, 3pi/2).
double FnArg(double a, double b) {
  if (a > 0) return static_cast<double>(std::atan(Ext(b) / a));
  if (a < 0) return static_cast<double>(std::atan(Ext(b) / a) + Ext(kPi));
  return b > 0 ? kPi / 2 : -kPi / 2;
}
double FnMax(double a, double b) { return a >= b ? a : b; }
double FnMin(double a, double b) { return a >= b ? b : a; }
double FnPower(double a, double b) { return static_cast<double>(Power(a, b)); }
double FnIntPower(double a, double b) { return static_cast<double>(IntPower(a, rtl::Trunc(b))); }
// A base of 0 raises the division fault in the logarithm; the quotient
// would then be 0, so NaN is left to show that a fault happened.
double FnLogN(double a, double b) {
  const Ext base = std::log(Ext(a));
  if (a == 0) return std::numeric_limits<double>::quiet_NaN();
  return static_cast<double>(std::log(Ext(b)) / base);
}

// Calls of the cheapest functions run in the evaluator's switch.
enum : uint8_t { kAbs = 16, kSqr, kSqrt, kTrunc, kHeav, kSign, kZero, kMax, kMin };

uint8_t KernelOf(const OperationRecord &r) {
  if (r.Opcode == opOneArgCall) {
    if (r.OneArg == FnAbs) return kAbs;
    if (r.OneArg == FnSqr) return kSqr;
    if (r.OneArg == FnSqrt) return kSqrt;
    if (r.OneArg == FnTrunc) return kTrunc;
    if (r.OneArg == FnHeav) return kHeav;
    if (r.OneArg == FnSign) return kSign;
    if (r.OneArg == FnZero) return kZero;
  } else if (r.Opcode == opTwoArgCall) {
    if (r.TwoArg == FnMax) return kMax;
    if (r.TwoArg == FnMin) return kMin;
  }
  return r.Opcode;
}

constexpr TOneArgEntry kOneArgFunctions[] = {
    {"TAN", FnTan},       {"SIN", FnSin},     {"COS", FnCos},     {"SINH", FnSinh},     {"COSH", FnCosh},
    {"ARCTAN", FnArcTan}, {"COTAN", FnCotan}, {"EXP", FnExp},     {"LN", FnLn},         {"LOG10", FnLog10},
    {"LOG2", FnLog2},     {"SQR", FnSqr},     {"SQRT", FnSqrt},   {"ABS", FnAbs},       {"TRUNC", FnTrunc},
    {"INT", FnTrunc},     {"CEIL", FnCeil},   {"FLOOR", FnFloor}, {"HEAV", FnHeav},     {"SIGN", FnSign},
    {"ZERO", FnZero},     {"PH", FnPh},       {"RND", FnRnd},     {"RANDOM", FnRandom},
};
constexpr TTwoArgEntry kTwoArgFunctions[] = {
    {"ARG", FnArg}, {"MAX", FnMax}, {"MIN", FnMin}, {"POWER", FnPower}, {"INTPOWER", FnIntPower}, {"LOGN", FnLogN},
};

bool IsIdentifier(std::string_view name) {
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (name.empty() || !letter(name[0])) return false;
  for (char c : name)
    if (!letter(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

// The fault flags raised so far, read without the library's call: two
// reads of the status registers.
inline int RaisedFaults() noexcept {
#if defined(__x86_64__) || defined(__i386__)
  unsigned short x87;
  unsigned int sse;
  asm volatile("fnstsw %0" : "=am"(x87)::"memory");
  asm volatile("stmxcsr %0" : "=m"(sse)::"memory");
  return (x87 | sse) & kFaults;
#else
  return std::fetestexcept(kFaults);
#endif
}

bool NonFinite(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return (bits & 0x7FF0000000000000ull) == 0x7FF0000000000000ull;
}

// Runs the records in order. Each reads its operands from memory and
// stores its result there, rounded to a double. With Track, tells whether a
// result was infinite or NaN; with Trap, raises the first fault met after
// the record that met it, as a processor trapping faults would, once every
// result is in place.
template <bool Track, bool Trap> bool Run(const OperationRecord *r, const OperationRecord *const end) {
  bool nonFinite = false;
  auto put = [&](double *result, Ext e) {
    *result = static_cast<double>(e);
    if constexpr (Track) nonFinite |= NonFinite(*result);
  };
  auto putDouble = [&](double *result, double d) {
    *result = d;
    if constexpr (Track) nonFinite |= NonFinite(d);
  };
  for (; r != end; ++r) {
    switch (r->Kernel) {
    case opNegate:
      putDouble(r->Result, -*r->Operand1);
      break;
    case opSum:
      put(r->Result, Ext(*r->Operand1) + Ext(*r->Operand2));
      break;
    case opDifference:
      put(r->Result, Ext(*r->Operand1) - Ext(*r->Operand2));
      break;
    case opProduct:
      put(r->Result, Ext(*r->Operand1) * Ext(*r->Operand2));
      break;
    case opQuotient:
      put(r->Result, Ext(*r->Operand1) / Ext(*r->Operand2));
      break;
    case opModulo:
      putDouble(r->Result, Modulo(*r->Operand1, *r->Operand2));
      break;
    case opIntDivision:
      putDouble(r->Result, IntDivision(*r->Operand1, *r->Operand2));
      break;
    case opIntPower:
      put(r->Result, IntPower(*r->Operand1, rtl::Trunc(*r->Operand2)));
      break;
    case opPower:
      put(r->Result, Power(*r->Operand1, *r->Operand2));
      break;
    case opSquare:
    case kSqr: {
      const Ext x = *r->Operand1;
      put(r->Result, x * x);
      break;
    }
    case opCube: {
      const Ext x = *r->Operand1;
      put(r->Result, x * x * x);
      break;
    }
    case opFourth: {
      const Ext x = *r->Operand1;
      const Ext s = x * x;
      put(r->Result, s * s);
      break;
    }
    case opOneArgCall:
      putDouble(r->Result, r->OneArg(*r->Operand1));
      break;
    case opTwoArgCall:
      putDouble(r->Result, r->TwoArg(*r->Operand1, *r->Operand2));
      break;
    case kAbs:
      putDouble(r->Result, std::fabs(*r->Operand1));
      break;
    case kSqrt:
      put(r->Result, std::sqrt(Ext(*r->Operand1)));
      break;
    case kTrunc:
      putDouble(r->Result, FnTrunc(*r->Operand1));
      break;
    case kHeav:
      putDouble(r->Result, FnHeav(*r->Operand1));
      break;
    case kSign:
      putDouble(r->Result, FnSign(*r->Operand1));
      break;
    case kZero:
      putDouble(r->Result, FnZero(*r->Operand1));
      break;
    case kMax:
      putDouble(r->Result, FnMax(*r->Operand1, *r->Operand2));
      break;
    case kMin:
      putDouble(r->Result, FnMin(*r->Operand1, *r->Operand2));
      break;
    default:
      putDouble(r->Result, *r->Operand1);
      break;
    }
    if constexpr (Trap)
      if (RaisedFaults() != 0) rtl::CheckFloatFaults();
  }
  return nonFinite;
}

// Whether a fault of this record always leaves an infinite or NaN result:
// so for every operation and function but the random ones, which must not
// run twice.
bool FaultShowsInResult(const OperationRecord &r) {
  return r.Opcode != opOneArgCall || (r.OneArg != FnRnd && r.OneArg != FnRandom);
}

} // namespace

// ---- TCustomParser ------------------------------------------------------------

TCustomParser::TCustomParser() = default;

TCustomParser::~TCustomParser() {
  // The compiled form points at variable storage: it goes first.
  FCompiled.reset();
}

long double TCustomParser::Value() const {
  if (!FCompiled) return 0;
  const OperationRecord *const begin = FCompiled->Operations.data();
  const OperationRecord *const end = begin + FCompiled->Operations.size();
  // Where every fault leaves an infinite or NaN result, finite inputs and
  // results prove there was none, and the status registers (whose reads
  // wait for all pending arithmetic) are read only when one was not finite.
  if (FFaultsShowInResults) {
    bool nonFinite = false;
    for (const double *v : FInputs)
      nonFinite |= NonFinite(*v);
    if (!(Run<true, false>(begin, end) | nonFinite)) return *FCompiled->ResultCell;
  }
  // Faults left over from elsewhere are not this formula's.
  if (RaisedFaults() != 0) rtl::ClearFloatFaults();
  Run<false, true>(begin, end);
  return *FCompiled->ResultCell;
}

void TCustomParser::SetExpression(std::string_view text) {
  FCompiled.reset();
  FExpression.assign(text);
  if (!FExpression.empty()) Compile();
}

bool TCustomParser::Compile() {
  try {
    FCompiled =
        ParseExpression(FExpression, TNameTables{FVariables, OneArgFunctions, TwoArgFunctions}, FPascalNumberformat);
    BindOperations();
    return true;
  } catch (const EMathParserError &e) {
    FCompiled.reset();
    if (!OnParserError) throw;
    OnParserError(this, e);
    return false;
  }
}

void TCustomParser::BindOperations() {
  FInputs.clear();
  FFaultsShowInResults = true;
  const double *const cells = FCompiled->Cells.get();
  const double *const cellsEnd = cells + FCompiled->CellCount;
  const std::less<const double *> before;
  auto input = [&](const double *p) {
    if (p != nullptr && (before(p, cells) || !before(p, cellsEnd)) &&
        std::find(FInputs.begin(), FInputs.end(), p) == FInputs.end())
      FInputs.push_back(p);
  };
  for (OperationRecord &r : FCompiled->Operations) {
    r.Kernel = KernelOf(r);
    input(r.Operand1);
    input(r.Operand2);
    if (!FaultShowsInResult(r)) FFaultsShowInResults = false;
  }
  // A lone variable is read through the result cell, not a record.
  const double *result = FCompiled->ResultCell;
  const bool resultIsCell = !before(result, cells) && before(result, cellsEnd);
  FConstant = FInputs.empty() && resultIsCell && FFaultsShowInResults;
}

double *TCustomParser::SetVariable(std::string_view Name, long double Value) {
  // Names are kept in upper case: only a-z change, as the compiler reads them.
  std::string upper(Name);
  for (char &c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  const auto at = std::lower_bound(FVariables.begin(), FVariables.end(), upper,
                                   [](const TVariableEntry &e, const std::string &n) { return NameBefore(e.Name, n); });
  if (at != FVariables.end() && at->Name == upper) {
    *at->Storage = static_cast<double>(Value);
    return at->Storage;
  }
  if (!IsIdentifier(Name)) throw EBadName(Name);
  // The words would be read as operators, so such a variable could never be used.
  if (upper.find("DIV") != std::string::npos || upper.find("MOD") != std::string::npos) throw EBadName(upper);
  double *storage = NewStorage(static_cast<double>(Value));
  Insert(at - FVariables.begin(), TVariableEntry{std::move(upper), storage});
  return storage;
}

double *TCustomParser::NewStorage(double value) {
  double *storage;
  if (FStorageUsed < kLocalStorage) {
    storage = &FLocalStorage[FStorageUsed];
  } else {
    const int index = (FStorageUsed - kLocalStorage) % kStorageBlock;
    if (index == 0) FStorageBlocks.push_back(std::make_unique<double[]>(kStorageBlock));
    storage = &FStorageBlocks.back()[index];
  }
  ++FStorageUsed;
  *storage = value;
  return storage;
}

void TCustomParser::AddVariable(std::string_view name, double *storage) {
  const auto at = std::lower_bound(FVariables.begin(), FVariables.end(), name,
                                   [](const TVariableEntry &e, std::string_view n) { return NameBefore(e.Name, n); });
  if (at != FVariables.end() && at->Name == name) return;
  Insert(at - FVariables.begin(), TVariableEntry{std::string(name), storage});
}

void TCustomParser::Insert(std::ptrdiff_t at, TVariableEntry entry) {
  // The built-ins and a formula's few variables fit the first allocation.
  if (FVariables.capacity() == 0) FVariables.reserve(16);
  FVariables.insert(FVariables.begin() + at, std::move(entry));
}

void TCustomParser::ClearVariables() {
  // The compiled form points at the storage about to be released.
  FCompiled.reset();
  FVariables.clear();
  FStorageBlocks.clear();
  FStorageUsed = 0;
  FExpression.clear();
}

// ---- TParser --------------------------------------------------------------------

TParser::TParser() {
  RegisterFunctions();
  for (const auto &[name, field] :
       {std::pair{"A", &FA}, {"B", &FB}, {"C", &FC}, {"D", &FD}, {"E", &FE}, {"T", &FT}, {"X", &FX}, {"Y", &FY}})
    AddVariable(name, field);
}

void TParser::RegisterFunctions() {
  OneArgFunctions = kOneArgFunctions;
  TwoArgFunctions = kTwoArgFunctions;
}

} // namespace parser
