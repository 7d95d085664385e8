#include "parser/FormulaCompiler.h"

#include "platform/rtl/Conversions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace parser {

namespace {

constexpr std::array<unsigned char, 256> MakeCaseFold() {
  std::array<unsigned char, 256> t{};
  for (int c = 0; c < 256; ++c)
    t[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return t;
}

} // namespace

constinit const std::array<unsigned char, 256> CaseFoldTable = MakeCaseFold();

const TVariableEntry *FindVariable(std::span<const TVariableEntry> variables, std::string_view upper) noexcept {
  std::size_t lo = 0, hi = variables.size();
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (NameBefore(variables[mid].Name, upper))
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo < variables.size() && variables[lo].Name == upper ? &variables[lo] : nullptr;
}

bool CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const noexcept {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = CaseFoldTable[static_cast<unsigned char>(a[i])];
    const unsigned char y = CaseFoldTable[static_cast<unsigned char>(b[i])];
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

namespace {

constexpr int32_t kNone = std::numeric_limits<int32_t>::max();
constexpr int32_t kFail = -1;
constexpr int kLevels = 21; // levels 0..20
constexpr int kPlaces = 50; // places 1..50
// Recognition recurses once per nested term; deeper questions are answered
// first from the top (see Resolve), so any text fits on the stack.
constexpr int kMaxRecursion = 400;
constexpr std::size_t kMaxText = 1 << 20;
constexpr std::size_t kWorkPerChar = 16;
constexpr std::size_t kWorkBase = 1 << 18;
// Buffers beyond these sizes are released after the compilation.
constexpr std::size_t kKeptText = 4096;
constexpr std::size_t kKeptMemo = 1 << 14;

// Term kinds and the side classes of the two-operand forms. Every side
// admits a number, a variable and a bracketed term besides its class.
enum Kind : uint8_t {
  kNegation,   // G
  kSum,        // S
  kDifference, // D
  kProduct,    // P
  kIntDiv,     // I
  kModulo,     // M
  kQuotient,   // Q
  kPower,      // W
  kCall1,      // F1
  kCall2,      // F2
  kValid,      // any term
  kLeftOfSum,  // N V B G D P I M Q W F1 F2: left of S and D
  kRightOfSum, // N V B S D P I M Q W F1 F2
  kRightOfDif, // N V B P I M Q W F1 F2: right of D and P
  kLeftOfProd, // N V B G I M Q W F1 F2: left of P, I, M and Q
  kUnit,       // N V B W F1 F2: right of I, M and Q
  kAtom,       // N V B F1 F2: both sides of W
  kKindCount
};

// A recogniser question: is text [a, b) of this kind.
struct Question {
  int32_t a, b;
  Kind kind;
};

struct ValueRef {
  const double *variable = nullptr;
  int32_t cell = -1;
};

struct PendingRecord {
  ValueRef operand1, operand2;
  int32_t result = -1;
  TOneArgFunction oneArg = nullptr;
  TTwoArgFunction twoArg = nullptr;
  uint8_t opcode = 0;
};

template <class Entry> const Entry *FindFunction(std::span<const Entry> table, std::string_view upper) {
  for (const Entry &e : table)
    if (e.Name == upper) return &e;
  return nullptr;
}

// One compiler serves every compilation of its thread: its indexes and
// tables keep their memory from one formula to the next, so compiling a
// short formula allocates little beyond the compiled form.
class Compiler {
public:
  std::unique_ptr<TCompiledFormula> Run(std::string_view text, const TNameTables &names, bool pascal);
  bool Oversized() const { return text_.capacity() > kKeptText || memo_.size() > kKeptMemo; }

private:
  // ---- Preparation ----------------------------------------------------------
  void Index();
  bool Proper(int32_t a, int32_t b) const { return depth_[b] == depth_[a] && drop_[a] > b; }
  bool Wrapped(int32_t a, int32_t b) const { return b - a >= 2 && text_[a] == '(' && match_[a] == b - 1; }
  void Unwrap(int32_t &a, int32_t &b) const {
    while (Wrapped(a, b))
      ++a, --b;
  }
  bool IsDivAt(int32_t i) const { return Word(i, "div"); }
  bool IsModAt(int32_t i) const { return Word(i, "mod"); }
  bool Word(int32_t i, const char *w) const {
    if (i + 3 > n_) return false;
    for (int k = 0; k < 3; ++k)
      if (CaseFoldTable[static_cast<unsigned char>(text_[i + k])] != static_cast<unsigned char>(w[k])) return false;
    return true;
  }

  // ---- Recognisers ----------------------------------------------------------
  bool NumberSyntax(int32_t a, int32_t b) const;
  double NumberValue(int32_t a, int32_t b) const;
  bool IsNumber(int32_t a, int32_t b) const { return NumberSyntax(a, b); }
  const TVariableEntry *Variable(int32_t a, int32_t b) const {
    return b > a ? FindVariable(names_.Variables, std::string_view(text_.data() + a, b - a)) : nullptr;
  }
  bool IsVariable(int32_t a, int32_t b) const { return Variable(a, b) != nullptr; }
  const TOneArgEntry *OneArg(int32_t a, int32_t b) const {
    return FindFunction(names_.OneArg, std::string_view(text_.data() + a, b - a));
  }
  const TTwoArgEntry *TwoArg(int32_t a, int32_t b) const {
    return FindFunction(names_.TwoArg, std::string_view(text_.data() + a, b - a));
  }
  int32_t Query(int32_t a, int32_t b, Kind kind);
  int32_t Resolve(int32_t a, int32_t b, Kind kind);
  int32_t Compute(int32_t a, int32_t b, Kind kind);
  bool Is(int32_t a, int32_t b, Kind kind) { return Query(a, b, kind) != kFail; }
  bool Side(int32_t a, int32_t b, Kind cls);
  bool ValidTerm(int32_t a, int32_t b);
  int32_t Negation(int32_t a, int32_t b);
  int32_t Sum(int32_t a, int32_t b);
  int32_t Difference(int32_t a, int32_t b);
  int32_t Product(int32_t a, int32_t b);
  int32_t Quotient(int32_t a, int32_t b);
  int32_t WordForm(int32_t a, int32_t b, const std::vector<int32_t> &prev);
  int32_t Power(int32_t a, int32_t b);
  int32_t Call1(int32_t a, int32_t b);
  int32_t Call2(int32_t a, int32_t b);

  // ---- Term walk ------------------------------------------------------------
  void Visit(int32_t a, int32_t b, int level, int place, int side);
  [[noreturn]] void SyntaxError(int32_t a, int32_t b);
  ValueRef &OperandSlot(int level, int place, int side);
  int32_t NewCell(double value) {
    cells_.push_back(value);
    return static_cast<int32_t>(cells_.size() - 1);
  }

  // ---- Memo -----------------------------------------------------------------
  struct MemoSlot {
    uint64_t key = 0;
    int32_t value = 0;
  };
  static uint64_t Key(int32_t a, int32_t b, Kind kind) {
    return ((static_cast<uint64_t>(a) << 32) | (static_cast<uint64_t>(b) << 5) | kind) + 1;
  }
  const int32_t *MemoFind(uint64_t key) const;
  void MemoStore(uint64_t key, int32_t value);

  TNameTables names_;
  bool pascal_ = true;

  std::string text_;
  int32_t n_ = 0;
  std::vector<int32_t> depth_; // bracket balance of text_[0, i)
  std::vector<int32_t> drop_;  // first j > i with depth_[j] < depth_[i]
  std::vector<int32_t> match_; // partner of a bracket, or -1
  std::vector<int32_t> nextOpen_;
  // Next (or previous) occurrence at the depth of the position, within its
  // bracket group: the candidates of a split are found without scanning.
  std::vector<int32_t> nextPlus_, nextMinus_, nextStar_, nextSlash_, nextCaret_, nextComma_;
  std::vector<int32_t> prevSlash_, prevDiv_, prevMod_;
  // A sign that cannot start a number where it stands: it can only be an
  // operator. Left sides of sums and right sides of differences and
  // products never hold one, which rules out all but a few splits.
  std::vector<int32_t> nextHardPlus_; // '+' not after - * / ^ V D E
  std::vector<int32_t> prevHardSign_; // '+' or '-' not after * / ^ V D E
  std::vector<int32_t> scratch_, scratchLast_;

  std::vector<MemoSlot> memo_;
  std::size_t memoCount_ = 0;
  int recursion_ = 0;
  // Recognition is linear in the text for formulas; some sign patterns no
  // formula uses make it quadratic, and these are cut off.
  std::size_t work_ = 0, workLimit_ = 0;
  bool deferring_ = false;
  Question deferred_{};

  // Walk state
  std::array<std::array<int32_t, kPlaces + 1>, kLevels> slots_{};
  std::array<int, kLevels> counter_{};
  int maxLevel_ = 0;
  ValueRef head_;
  std::vector<PendingRecord> records_;
  std::vector<double> cells_;
};

// ---- Preparation ------------------------------------------------------------

void Compiler::Index() {
  const int32_t n = n_;
  depth_.assign(n + 1, 0);
  for (int32_t i = 0; i < n; ++i)
    depth_[i + 1] = depth_[i] + (text_[i] == '(') - (text_[i] == ')');

  drop_.assign(n + 1, kNone);
  {
    std::vector<int32_t> &stack = scratch_;
    stack.clear();
    for (int32_t i = n; i >= 0; --i) {
      while (!stack.empty() && depth_[stack.back()] >= depth_[i])
        stack.pop_back();
      drop_[i] = stack.empty() ? kNone : stack.back();
      stack.push_back(i);
    }
  }

  match_.assign(n + 1, -1);
  {
    std::vector<int32_t> &open = scratch_;
    open.clear();
    for (int32_t i = 0; i < n; ++i) {
      if (text_[i] == '(')
        open.push_back(i);
      else if (text_[i] == ')' && !open.empty()) {
        match_[i] = open.back();
        match_[open.back()] = i;
        open.pop_back();
      }
    }
  }

  nextOpen_.assign(n + 2, kNone);
  for (int32_t i = n - 1; i >= 0; --i)
    nextOpen_[i] = text_[i] == '(' ? i : nextOpen_[i + 1];

  // Depths lie in [-n, n]; `last` is indexed by depth + n.
  std::vector<int32_t> &last = scratchLast_;
  last.resize(2 * static_cast<std::size_t>(n) + 2);
  // A character the text lacks has no occurrences to find.
  auto scanNext = [&](std::vector<int32_t> &out, auto &&is, char present) {
    out.assign(n + 2, kNone);
    if (text_.find(present) == std::string::npos) return;
    std::fill(last.begin(), last.end(), kNone);
    for (int32_t i = n - 1; i >= 0; --i) {
      const int32_t d = depth_[i] + n;
      // Leaving a group to the left: its entries belong to no earlier position.
      if (text_[i] == ')') last[d] = kNone;
      if (is(i)) last[d] = i;
      out[i] = last[d];
    }
    out[n] = kNone;
  };
  auto scanPrev = [&](std::vector<int32_t> &out, auto &&is, char present) {
    out.assign(n + 2, kNone);
    if (text_.find(present) == std::string::npos) return;
    std::fill(last.begin(), last.end(), kNone);
    for (int32_t i = 0; i <= n; ++i) {
      const int32_t d = depth_[i] + n;
      out[i] = last[d];
      if (i < n) {
        if (is(i)) last[d] = i;
        if (text_[i] == '(') last[d + 1] = kNone;
      }
    }
  };
  auto isChar = [&](char c) { return [this, c](int32_t i) { return text_[i] == c; }; };
  scanNext(nextPlus_, isChar('+'), '+');
  scanNext(nextMinus_, isChar('-'), '-');
  scanNext(nextStar_, isChar('*'), '*');
  scanNext(nextSlash_, isChar('/'), '/');
  scanNext(nextCaret_, isChar('^'), '^');
  scanNext(nextComma_, isChar(','), ',');
  scanPrev(prevSlash_, isChar('/'), '/');
  scanPrev(
      prevDiv_, [this](int32_t i) { return IsDivAt(i); }, 'V');
  scanPrev(
      prevMod_, [this](int32_t i) { return IsModAt(i); }, 'M');
  // Whether a sign at i may belong to a number: at a number's start (after
  // * / ^ or a DIV or MOD word; after - only for '+', as in A-+2) or as
  // its exponent's sign (after an E that follows a mantissa or starts one,
  // also at the start of a bracketed term or an argument: (E+5+A) where no
  // variable E exists).
  const char sep = pascal_ ? '.' : rtl::DecimalSeparator();
  auto wordEndsAt = [this](int32_t last) { return last >= 2 && (IsDivAt(last - 2) || IsModAt(last - 2)); };
  auto startsNumber = [&](int32_t i, bool afterMinus) {
    if (i == 0) return true;
    const char p = text_[i - 1];
    if (p == '*' || p == '/' || p == '^' || (afterMinus && p == '-') || wordEndsAt(i - 1)) return true;
    // A negation right of a '*' may hold a power of a signed number: A*--2^2DIV3.
    if (p == '-' && i >= 2 && text_[i - 2] == '*') return true;
    if (p != 'E') return false;
    if (i == 1) return true;
    const char m = text_[i - 2];
    return (m >= '0' && m <= '9') || m == '.' || m == sep || m == '+' || m == '-' || m == '*' || m == '/' || m == '^' ||
           m == '(' || m == ',' || wordEndsAt(i - 2);
  };
  scanNext(
      nextHardPlus_, [&](int32_t i) { return text_[i] == '+' && !startsNumber(i, true); }, '+');
  scanPrev(
      prevHardSign_, [&](int32_t i) { return (text_[i] == '+' || text_[i] == '-') && !startsNumber(i, false); },
      text_.find('+') != std::string::npos ? '+' : '-');

  std::size_t cap = 64;
  while (cap < static_cast<std::size_t>(n) * 2)
    cap <<= 1;
  memo_.assign(cap, MemoSlot{});
  memoCount_ = 0;
  workLimit_ = kWorkPerChar * static_cast<std::size_t>(n) + kWorkBase;
}

// ---- Memo ---------------------------------------------------------------------

const int32_t *Compiler::MemoFind(uint64_t key) const {
  const std::size_t mask = memo_.size() - 1;
  for (std::size_t i = (key * 0x9E3779B97F4A7C15ull) >> 20 & mask;; i = (i + 1) & mask) {
    if (memo_[i].key == key) return &memo_[i].value;
    if (memo_[i].key == 0) return nullptr;
  }
}

void Compiler::MemoStore(uint64_t key, int32_t value) {
  if ((memoCount_ + 1) * 2 > memo_.size()) {
    std::vector<MemoSlot> old(memo_.size() * 2);
    old.swap(memo_);
    memoCount_ = 0;
    for (const MemoSlot &s : old)
      if (s.key != 0) MemoStore(s.key, s.value);
  }
  const std::size_t mask = memo_.size() - 1;
  std::size_t i = (key * 0x9E3779B97F4A7C15ull) >> 20 & mask;
  while (memo_[i].key != 0 && memo_[i].key != key)
    i = (i + 1) & mask;
  if (memo_[i].key == 0) ++memoCount_;
  memo_[i] = MemoSlot{key, value};
}

int32_t Compiler::Query(int32_t a, int32_t b, Kind kind) {
  if (deferring_) return kFail;
  const uint64_t key = Key(a, b, kind);
  if (const int32_t *hit = MemoFind(key)) return *hit;
  if (recursion_ >= kMaxRecursion) {
    // Too deep for the stack: unwind (answers met on the way are not
    // stored) and let Resolve ask this question first.
    deferring_ = true;
    deferred_ = Question{a, b, kind};
    return kFail;
  }
  if (++work_ > workLimit_) throw EExpressionTooComplex();
  ++recursion_;
  const int32_t result = Compute(a, b, kind);
  --recursion_;
  if (deferring_) return kFail;
  MemoStore(key, result);
  return result;
}

// Answers a question from the top of the stack: a question that would nest
// too deep is set aside, the deeper one it met is answered first, and the
// first is asked again (finding the deeper answer stored).
int32_t Compiler::Resolve(int32_t a, int32_t b, Kind kind) {
  int32_t r = Query(a, b, kind);
  if (!deferring_) return r;
  std::vector<Question> pending{Question{a, b, kind}};
  while (true) {
    if (deferring_) {
      deferring_ = false;
      pending.push_back(deferred_);
    } else {
      pending.pop_back();
      if (pending.empty()) return r;
    }
    const Question q = pending.back();
    r = Query(q.a, q.b, q.kind);
  }
}

// ---- Recognisers ------------------------------------------------------------

bool Compiler::NumberSyntax(int32_t a, int32_t b) const {
  if (b <= a) return false;
  const char *s = text_.data();
  if (b - a == 2 && s[a] == 'P' && s[a + 1] == 'I') return true;
  if (b - a == 3 && s[a] == '-' && s[a + 1] == 'P' && s[a + 2] == 'I') return true;
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  int32_t i = a;
  if (s[i] == '+' || s[i] == '-') ++i;
  if (i == b) return false; // a sign alone is an operator, not the number 0
  if (pascal_) {
    while (i < b && digit(s[i]))
      ++i;
    if (i < b && s[i] == '.') {
      ++i;
      while (i < b && digit(s[i]))
        ++i;
    }
  } else {
    const char sep = rtl::DecimalSeparator();
    int digits = 0;
    bool seenSep = false;
    for (; i < b; ++i) {
      if (digit(s[i]))
        ++digits;
      else if (s[i] == sep && !seenSep)
        seenSep = true;
      else
        break;
    }
    if (digits == 0) return false;
  }
  if (i < b && s[i] == 'E') {
    ++i;
    if (i < b && (s[i] == '+' || s[i] == '-')) ++i;
    const int32_t first = i;
    while (i < b && digit(s[i]))
      ++i;
    if (i == first) return false;
  }
  return i == b;
}

double Compiler::NumberValue(int32_t a, int32_t b) const {
  constexpr double kPi = 3.141592653589793;
  const std::string_view t(text_.data() + a, b - a);
  if (t == "PI") return kPi;
  if (t == "-PI") return -kPi;
  // Most literals have few digits and no exponent: their digits make an
  // integer below 2^53 and their fraction a power of ten up to 10^22, both
  // exact, so one division rounds the value correctly, as the full
  // conversion does.
  static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                            1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  {
    const char sep = pascal_ ? '.' : rtl::DecimalSeparator();
    std::size_t i = t[0] == '+' || t[0] == '-' ? 1 : 0;
    uint64_t mantissa = 0;
    int digits = 0, fraction = -1;
    for (; i < t.size(); ++i) {
      const char c = t[i];
      if (c >= '0' && c <= '9') {
        mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
        if (mantissa >= (uint64_t(1) << 53)) break;
        ++digits;
        if (fraction >= 0) ++fraction;
      } else if (c == sep && fraction < 0) {
        fraction = 0;
      } else {
        break;
      }
    }
    if (i == t.size() && digits > 0 && fraction <= 22) {
      const double v = static_cast<double>(mantissa) / kPowersOfTen[fraction < 0 ? 0 : fraction];
      return t[0] == '-' ? -v : v;
    }
  }
  std::string norm(t);
  if (!pascal_)
    for (char &c : norm)
      if (c == rtl::DecimalSeparator()) c = '.';
  double value = 0;
  if (!rtl::DecimalTextToDouble(norm, value)) throw rtl::EOverflow();
  return value;
}

int32_t Compiler::Compute(int32_t a, int32_t b, Kind kind) {
  switch (kind) {
  case kNegation:
    return Negation(a, b);
  case kSum:
    return Sum(a, b);
  case kDifference:
    return Difference(a, b);
  case kProduct:
    return Product(a, b);
  case kIntDiv:
    return WordForm(a, b, prevDiv_);
  case kModulo:
    return WordForm(a, b, prevMod_);
  case kQuotient:
    return Quotient(a, b);
  case kPower:
    return Power(a, b);
  case kCall1:
    return Call1(a, b);
  case kCall2:
    return Call2(a, b);
  case kValid:
    return ValidTerm(a, b) ? 1 : kFail;
  default:
    break;
  }
  // A side: a number, a variable, a bracketed term, or one of its class.
  if (Wrapped(a, b)) return Is(a + 1, b - 1, kValid) ? 1 : kFail;
  if (IsNumber(a, b) || IsVariable(a, b)) return 1;
  static constexpr Kind kLeftOfSumKinds[] = {kNegation, kDifference, kProduct, kIntDiv, kModulo,
                                             kQuotient, kPower,      kCall1,   kCall2};
  static constexpr Kind kRightOfSumKinds[] = {kSum,      kDifference, kProduct, kIntDiv, kModulo,
                                              kQuotient, kPower,      kCall1,   kCall2};
  static constexpr Kind kRightOfDifKinds[] = {kProduct, kIntDiv, kModulo, kQuotient, kPower, kCall1, kCall2};
  static constexpr Kind kLeftOfProdKinds[] = {kNegation, kIntDiv, kModulo, kQuotient, kPower, kCall1, kCall2};
  static constexpr Kind kUnitKinds[] = {kPower, kCall1, kCall2};
  static constexpr Kind kAtomKinds[] = {kCall1, kCall2};
  auto any = [&](const auto &kinds) {
    for (Kind k : kinds)
      if (Is(a, b, k)) return 1;
    return kFail;
  };
  switch (kind) {
  case kLeftOfSum:
    return any(kLeftOfSumKinds);
  case kRightOfSum:
    return any(kRightOfSumKinds);
  case kRightOfDif:
    return any(kRightOfDifKinds);
  case kLeftOfProd:
    return any(kLeftOfProdKinds);
  case kUnit:
    return any(kUnitKinds);
  case kAtom:
    return any(kAtomKinds);
  default:
    return kFail;
  }
}

bool Compiler::Side(int32_t a, int32_t b, Kind cls) { return b > a && Is(a, b, cls); }

// N V G S D P I M Q W F2 F1 B. A text wrapped whole in a bracket pair can
// only be B, so the brackets are dropped first.
bool Compiler::ValidTerm(int32_t a, int32_t b) {
  Unwrap(a, b);
  if (b <= a) return false;
  if (IsNumber(a, b) || IsVariable(a, b)) return true;
  static constexpr Kind kOrder[] = {kNegation, kSum,      kDifference, kProduct, kIntDiv,
                                    kModulo,   kQuotient, kPower,      kCall2,   kCall1};
  for (Kind k : kOrder)
    if (Is(a, b, k)) return true;
  return false;
}

// '-' followed by B, V, W, F1 or F2.
int32_t Compiler::Negation(int32_t a, int32_t b) {
  if (b - a < 2 || text_[a] != '-') return kFail;
  const int32_t o = a + 1;
  if (Wrapped(o, b)) return Is(o + 1, b - 1, kValid) ? 1 : kFail;
  if (IsVariable(o, b) || Is(o, b, kPower) || Is(o, b, kCall1) || Is(o, b, kCall2)) return 1;
  return kFail;
}

int32_t Compiler::Sum(int32_t a, int32_t b) {
  if (!Proper(a, b)) return kFail;
  const int32_t hard = nextHardPlus_[a];
  for (int32_t q = nextPlus_[a]; q < b; q = nextPlus_[q + 1]) {
    if (q == a || q == b - 1) return kFail;
    if (q > hard) return kFail; // the left side would hold an operator '+'
    if (Side(a, q, kLeftOfSum) && Side(q + 1, b, kRightOfSum)) return q;
  }
  return kFail;
}

int32_t Compiler::Difference(int32_t a, int32_t b) {
  if (!Proper(a, b)) return kFail;
  int32_t q = nextMinus_[a];
  if (q == a) q = nextMinus_[a + 1];
  // The right side holds no operator sign past its first two characters (a
  // negation of a power of a signed number, as in A---2^2DIV3, starts with
  // two), so splits further left fail.
  const int32_t hard = prevHardSign_[b];
  if (hard != kNone && hard > a + 1) {
    int32_t from = nextMinus_[hard];
    if (text_[hard - 1] == '-') from = (hard - 2 > a && text_[hard - 2] == '-') ? hard - 2 : hard - 1;
    if (from > q) q = from;
  }
  const char sep = pascal_ ? '.' : rtl::DecimalSeparator();
  for (; q < b; q = nextMinus_[q + 1]) {
    if (q == b - 1) return kFail;
    // No term ends in an operator character.
    const char before = text_[q - 1];
    if ((before == '*' || before == '/' || before == '^' || before == '+' || before == '-') && before != sep) continue;
    if (Side(q + 1, b, kRightOfDif) && Side(a, q, kLeftOfSum)) return q;
  }
  return kFail;
}

// A left side of P never holds a '*', so only the first one can split.
int32_t Compiler::Product(int32_t a, int32_t b) {
  if (!Proper(a, b)) return kFail;
  const int32_t q = nextStar_[a];
  if (q >= b || q == a || q == b - 1) return kFail;
  return Side(a, q, kLeftOfProd) && Side(q + 1, b, kRightOfDif) ? q : kFail;
}

// A right side of Q never holds a '/', so only the last one can split.
int32_t Compiler::Quotient(int32_t a, int32_t b) {
  if (!Proper(a, b)) return kFail;
  const int32_t first = nextSlash_[a];
  if (first >= b || first == a) return kFail;
  const int32_t q = prevSlash_[b];
  if (q == b - 1) return kFail;
  return Side(a, q, kLeftOfProd) && Side(q + 1, b, kUnit) ? q : kFail;
}

// DIV and MOD: occurrences past the first character; a rejected one passes
// to the next. No name holds either word, so a right side never does, and
// only the last occurrence can split.
int32_t Compiler::WordForm(int32_t a, int32_t b, const std::vector<int32_t> &prev) {
  if (!Proper(a, b)) return kFail;
  int32_t q = prev[b];
  while (q != kNone && q >= a && q + 3 > b)
    q = prev[q];
  if (q == kNone || q <= a) return kFail;
  return Side(a, q, kLeftOfProd) && Side(q + 3, b, kUnit) ? q : kFail;
}

// An atom never holds a '^', so only the first one can split.
int32_t Compiler::Power(int32_t a, int32_t b) {
  if (!Proper(a, b)) return kFail;
  const int32_t q = nextCaret_[a];
  if (q >= b || q == a || q == b - 1) return kFail;
  return Side(a, q, kAtom) && Side(q + 1, b, kAtom) ? q : kFail;
}

// Name, then a bracketed argument; the name ends at the first '('.
int32_t Compiler::Call1(int32_t a, int32_t b) {
  const int32_t p = nextOpen_[a];
  if (p >= b || p == a || text_[b - 1] != ')' || match_[p] != b - 1) return kFail;
  if (OneArg(a, p) == nullptr) return kFail;
  return Is(p + 1, b - 1, kValid) ? p : kFail;
}

// Name(first,second): the first ',' with valid terms on both sides.
int32_t Compiler::Call2(int32_t a, int32_t b) {
  const int32_t p = nextOpen_[a];
  if (p >= b || p == a || text_[b - 1] != ')' || match_[p] != b - 1) return kFail;
  if (TwoArg(a, p) == nullptr) return kFail;
  const int32_t lo = p + 1, hi = b - 1; // the text between the brackets
  for (int32_t c = nextComma_[lo]; c < hi - 1; c = nextComma_[c + 1]) {
    if (c == lo) continue;
    if (Is(lo, c, kValid) && Is(c + 1, hi, kValid)) return c;
  }
  return kFail;
}

// ---- Term walk ----------------------------------------------------------------

ValueRef &Compiler::OperandSlot(int level, int place, int side) {
  if (level == 0) return head_;
  PendingRecord &r = records_[slots_[level][place]];
  return side == 1 ? r.operand1 : r.operand2;
}

// The walk meets its errors depth first, the first operand before the second.
void Compiler::Visit(int32_t a, int32_t b, int level, int place, int side) {
  static constexpr Kind kOrder[] = {kNegation, kSum,      kDifference, kProduct, kIntDiv,
                                    kModulo,   kQuotient, kPower,      kCall1,   kCall2};
  if (IsNumber(a, b)) {
    const int32_t cell = NewCell(NumberValue(a, b));
    OperandSlot(level, place, side) = ValueRef{nullptr, cell};
    return;
  }
  if (const TVariableEntry *v = Variable(a, b)) {
    OperandSlot(level, place, side) = ValueRef{v->Storage, -1};
    return;
  }
  Kind kind = kKindCount;
  int32_t split = kFail;
  for (Kind k : kOrder) {
    split = b > a ? Resolve(a, b, k) : kFail;
    if (split != kFail) {
      kind = k;
      break;
    }
  }
  if (kind == kKindCount) SyntaxError(a, b);

  // The operand texts, their brackets removed.
  int32_t la = a, lb = b, ra = 0, rb = 0;
  uint8_t opcode = 0;
  TOneArgFunction oneArg = nullptr;
  TTwoArgFunction twoArg = nullptr;
  switch (kind) {
  case kNegation:
    opcode = opNegate;
    la = a + 1;
    break;
  case kCall1:
    opcode = opOneArgCall;
    oneArg = OneArg(a, split)->Function;
    la = split;
    break;
  case kCall2: {
    const int32_t p = nextOpen_[a];
    opcode = opTwoArgCall;
    twoArg = TwoArg(a, p)->Function;
    la = p + 1, lb = split, ra = split + 1, rb = b - 1;
    break;
  }
  default: {
    static constexpr uint8_t kOpcodes[] = {opNegate,      opSum,    opDifference, opProduct,
                                           opIntDivision, opModulo, opQuotient,   opIntPower};
    opcode = kOpcodes[kind];
    const int32_t width = (kind == kIntDiv || kind == kModulo) ? 3 : 1;
    lb = split, ra = split + width, rb = b;
    if (kind == kPower) {
      if (IsNumber(ra, rb)) {
        const double e = NumberValue(ra, rb);
        if (e == std::nearbyint(e))
          opcode = e == 2 ? opSquare : e == 3 ? opCube : e == 4 ? opFourth : opIntPower;
        else
          opcode = opPower;
      } else {
        opcode = opPower;
      }
    }
    break;
  }
  }
  Unwrap(la, lb);
  const bool twoOperands = (opcode >= opSum && opcode <= opPower) || opcode == opTwoArgCall;
  if (twoOperands) Unwrap(ra, rb);

  const int childLevel = level + 1;
  if (childLevel >= kLevels) throw ETooManyNestings();
  const int childPlace = counter_[childLevel] + 1;
  if (childPlace > kPlaces) throw EExpressionTooComplex();
  if (childLevel > maxLevel_) maxLevel_ = childLevel;
  PendingRecord record;
  record.opcode = opcode;
  record.oneArg = oneArg;
  record.twoArg = twoArg;
  record.result = NewCell(0);
  OperandSlot(level, place, side) = ValueRef{nullptr, record.result};
  slots_[childLevel][childPlace] = static_cast<int32_t>(records_.size());
  records_.push_back(record);
  if (!twoOperands) ++counter_[childLevel];
  Visit(la, lb, childLevel, childPlace, 1);
  if (twoOperands) {
    // The first operand's subtree lies deeper, so the place is still free.
    if (counter_[childLevel] + 1 != childPlace) throw EParserInternalError();
    ++counter_[childLevel];
    Visit(ra, rb, childLevel, childPlace, 2);
  }
}

// The message names the last split the forms tried on the term, in the
// walk's order of forms, or the term itself when none was tried.
void Compiler::SyntaxError(int32_t a, int32_t b) {
  const std::string_view t(text_);
  std::string_view left = " ", right = " ";
  auto balanced = [&](int32_t x, int32_t y) { return depth_[y] == depth_[x]; };
  auto split = [&](int32_t q, int32_t width) {
    if (balanced(a, q) && balanced(q + width, b)) {
      left = t.substr(a, q - a);
      right = t.substr(q + width, b - q - width);
    }
  };
  auto operatorChar = [&](char op, bool fromSecond, bool stopAtFirst) {
    for (int32_t q = a + (fromSecond ? 1 : 0); q < b; ++q) {
      if (text_[q] != op) continue;
      if ((stopAtFirst && q == a) || q == b - 1) return;
      split(q, 1);
    }
  };
  auto word = [&](const char *w) {
    for (int32_t q = a + 1; q + 3 <= b && q < b - 1; ++q)
      if (q + 3 <= n_ && Word(q, w)) split(q, 3);
  };
  if (b > a && text_[a] == '-') left = t.substr(a + 1, b - a - 1);
  operatorChar('+', false, true);
  operatorChar('-', true, false);
  operatorChar('*', false, true);
  word("div");
  word("mod");
  operatorChar('/', false, true);
  operatorChar('^', false, true);
  const int32_t p = nextOpen_[a];
  if (p < b && p > a) {
    const std::string_view name = t.substr(a, p - a);
    if (FindFunction(names_.OneArg, name)) left = t.substr(p, b - p);
    if (FindFunction(names_.TwoArg, name) && text_[b - 1] == ')')
      for (int32_t c = p + 2; c < b - 2; ++c)
        if (text_[c] == ',') {
          left = t.substr(p + 1, c - p - 1);
          right = t.substr(c + 1, b - 2 - c);
        }
  }
  if (left == " " && right == " ") throw ESyntaxError(t.substr(a, b - a));
  throw ESyntaxError(left, right);
}

std::unique_ptr<TCompiledFormula> Compiler::Run(std::string_view text, const TNameTables &names, bool pascal) {
  names_ = names;
  pascal_ = pascal;
  recursion_ = 0;
  work_ = 0;
  deferring_ = false;
  maxLevel_ = 0;
  head_ = ValueRef{};
  records_.clear();
  cells_.clear();
  // Blanks (character 32 only) are cut at both ends; any left is an error.
  std::size_t lo = text.find_first_not_of(' ');
  if (lo == std::string_view::npos) lo = text.size();
  std::size_t hi = text.size();
  while (hi > lo && text[hi - 1] == ' ')
    --hi;
  text_.assign(text.substr(lo, hi - lo));
  for (char &c : text_)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (text_.find(' ') != std::string::npos) throw EExpressionHasBlanks();

  int64_t balance = 0;
  for (char c : text_)
    balance += (c == '(') - (c == ')');
  if (balance > 0) throw EMissMatchingBracket(')');
  if (balance < 0) throw EMissMatchingBracket('(');
  // Far beyond any formula the limits of the walk admit; bounds the memory
  // the recognisers' indexes take.
  if (text_.size() > kMaxText) throw EExpressionTooComplex();
  n_ = static_cast<int32_t>(text_.size());

  Index();
  // Outer brackets go when the whole text is a bracketed term; the inner
  // text of every layer is then valid, so they all go.
  int32_t a = 0, b = n_;
  if (Wrapped(a, b)) {
    int32_t ia = a, ib = b;
    Unwrap(ia, ib);
    if (ib > ia && Resolve(ia, ib, kValid) != kFail) a = ia, b = ib;
  }

  // Only the slots of records made by this compilation are ever read.
  counter_.fill(0);
  counter_[0] = 1;
  Visit(a, b, 0, 1, 1);

  // Running order: deepest level first, places in order; the record in slot
  // (1, 1) comes last and computes the whole formula.
  auto formula = std::make_unique<TCompiledFormula>();
  formula->Cells = std::make_unique<double[]>(cells_.size() > 0 ? cells_.size() : 1);
  for (std::size_t i = 0; i < cells_.size(); ++i)
    formula->Cells[i] = cells_[i];
  formula->CellCount = cells_.size();
  auto resolve = [&](const ValueRef &r) -> const double * {
    return r.variable != nullptr ? r.variable : r.cell >= 0 ? &formula->Cells[r.cell] : nullptr;
  };
  formula->Operations.reserve(records_.size());
  for (int level = maxLevel_; level >= 1; --level)
    for (int place = 1; place <= counter_[level]; ++place) {
      const PendingRecord &p = records_[slots_[level][place]];
      OperationRecord &r = formula->Operations.emplace_back();
      r.Opcode = p.opcode;
      r.Kernel = p.opcode;
      r.Operand1 = resolve(p.operand1);
      r.Operand2 = resolve(p.operand2);
      r.Result = &formula->Cells[p.result];
      r.OneArg = p.oneArg;
      r.TwoArg = p.twoArg;
    }
  formula->ResultCell = resolve(head_);
  return formula;
}

} // namespace

std::unique_ptr<TCompiledFormula> ParseExpression(std::string_view text, const TNameTables &names,
                                                  bool pascalNumberFormat) {
  thread_local Compiler shared;
  thread_local bool busy = false;
  if (busy) return Compiler().Run(text, names, pascalNumberFormat);
  busy = true;
  // A huge or pathological formula leaves no huge buffers behind.
  struct Release {
    ~Release() {
      if (shared.Oversized()) shared = Compiler();
      busy = false;
    }
  } release;
  return shared.Run(text, names, pascalNumberFormat);
}

std::unique_ptr<TCompiledFormula> ParseExpression(std::string_view text, const TVariableTable &variables,
                                                  const TOneArgTable &oneArgFunctions,
                                                  const TTwoArgTable &twoArgFunctions, bool pascalNumberFormat) {
  auto upper = [](std::string name) {
    for (char &c : name)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name;
  };
  std::vector<TVariableEntry> vars;
  for (const auto &[name, storage] : variables)
    vars.push_back(TVariableEntry{upper(name), storage});
  std::sort(vars.begin(), vars.end(),
            [](const TVariableEntry &a, const TVariableEntry &b) { return NameBefore(a.Name, b.Name); });
  std::vector<std::string> names;
  names.reserve(oneArgFunctions.size() + twoArgFunctions.size());
  std::vector<TOneArgEntry> one;
  for (const auto &[name, f] : oneArgFunctions)
    one.push_back(TOneArgEntry{names.emplace_back(upper(name)), f});
  std::vector<TTwoArgEntry> two;
  for (const auto &[name, f] : twoArgFunctions)
    two.push_back(TTwoArgEntry{names.emplace_back(upper(name)), f});
  return ParseExpression(text, TNameTables{vars, one, two}, pascalNumberFormat);
}

} // namespace parser
