// The shape of the compiled form, rendered back as a fully bracketed text:
// "(A-(B*C))", "neg(sqr(X))", "ipow(X,5)", "MAX(A,B)"; numbers as values.
// Beside the decided cases, the compiler is held against a literal model of
// the recognisers on random formulas.
#include "parser/FormulaCompiler.h"
#include "platform/rtl/Conversions.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

using namespace parser;

const std::set<std::string> kVariables = {"A", "B", "C", "D", "E", "X", "Y", "T", "PI"};

std::string Num(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

double Sin(double x) { return std::sin(x); }
double Max(double a, double b) { return a >= b ? a : b; }

// Raises what the compiler raises.
std::string ShapeOf(const std::string &text) {
  static std::map<std::string, double> storage;
  TVariableTable variables;
  for (const std::string &v : kVariables)
    variables[v] = &storage[v];
  const TOneArgTable one = {{"SIN", Sin}};
  const TTwoArgTable two = {{"MAX", Max}};
  const auto compiled = ParseExpression(text, variables, one, two, true);
  std::map<const double *, std::string> shown;
  for (const auto &[name, p] : variables)
    shown[p] = name;
  auto show = [&](const double *p) {
    const auto it = shown.find(p);
    return it != shown.end() ? it->second : Num(*p);
  };
  static const char *const kNames[] = {"",    "",     "neg", "+",   "-",    "*",      "/",   "MOD",
                                       "DIV", "ipow", "pow", "sqr", "cube", "fourth", "SIN", "MAX"};
  for (const OperationRecord &r : compiled->Operations) {
    const std::string a = show(r.Operand1), b = r.Operand2 ? show(r.Operand2) : "", name = kNames[r.Opcode];
    if (r.Opcode >= opSum && r.Opcode <= opIntDivision)
      shown[r.Result] = "(" + a + name + b + ")";
    else
      shown[r.Result] = name + "(" + a + (r.Operand2 ? "," + b : "") + ")";
  }
  return show(compiled->ResultCell);
}

TEST(ParserGrammar, PrecedenceAndGrouping) {
  const struct {
    const char *text, *shape;
  } rows[] = {
      {"A+B*C", "(A+(B*C))"},
      {"A+B+C", "(A+(B+C))"},
      {"A-B-C", "((A-B)-C)"},
      {"A-B+C", "((A-B)+C)"},
      {"A+B-C", "(A+(B-C))"},
      {"A*B/C", "(A*(B/C))"},
      {"A/B*C", "((A/B)*C)"},
      {"A/B/C", "((A/B)/C)"},
      {"2*3DIV2", "(2*(3DIV2))"},
      {"7DIV2*3", "((7DIV2)*3)"},
      {"AMODBDIVC", "((AMODB)DIVC)"},
      {"-X^2", "neg(sqr(X))"},
      {"-2^2", "neg(sqr(2))"},
      {"(-2)^2", "sqr(-2)"},
      {"2^-1", "ipow(2,-1)"},
      {"X^3.0", "cube(X)"},
      {"X^+4", "fourth(X)"},
      {"X^5", "ipow(X,5)"},
      {"X^0.5", "pow(X,0.5)"},
      {"X^(2)", "pow(X,2)"},
      {"X^Y", "pow(X,Y)"},
      {"-A*B", "(neg(A)*B)"},
      {"A*-2", "(A*-2)"},
      {"A-(-B)", "(A-neg(B))"},
      {"A--2^2", "(A-neg(sqr(2)))"},
      {"A*-B/C", "(A*(neg(B)/C))"},
      {"A++2", "(A+2)"},
      {"  12  ", "12"},
      {"(E-1)*2", "(0*2)"},
      {"E2", "0"},
      {"1E-400", "0"},
      {".", "0"},
      {"pi*2", "(3.1415926535897931*2)"},
      {"MAX((A),(B+C))", "MAX(A,(B+C))"},
      {"B---2^2DIV3", "(B-(neg(neg(sqr(2)))DIV3))"},
      {"B--+2^2MOD3", "(B-(neg(sqr(2))MOD3))"},
      {"A*--2^2DIV3", "(A*(neg(neg(sqr(2)))DIV3))"},
      {"A-B*--PI^2/C", "(A-(B*(neg(neg(sqr(3.1415926535897931)))/C)))"},
  };
  for (const auto &r : rows) {
    try {
      EXPECT_EQ(ShapeOf(r.text), r.shape) << r.text;
    } catch (const rtl::Exception &e) {
      ADD_FAILURE() << r.text << ": " << e.Message();
    }
  }
}

TEST(ParserGrammar, FormsThatMatchNothing) {
  for (const char *text : {"A^B^C", "A*-B", "A^-B", "--2", "+A+B", "SIN(A,B)", "2*-", "ADIV", "DIVA", "MAX(A)",
                           "MAX(,A)", "SIN()", "A(B)", "(A)(B)", "1E", "1..2", "E+", "1\t+2"})
    EXPECT_THROW(ShapeOf(text), EMathParserError) << text;
}

// A sum tree whose first `ops` leaves are products: at depth 6 they need
// `ops` places on level 7, which holds 50.
std::string Products(int depth, int &ops) {
  if (depth == 0) return ops-- > 0 ? "X*X" : "X";
  const std::string l = Products(depth - 1, ops);
  return "(" + l + "+" + Products(depth - 1, ops) + ")";
}

// The longest chains the walk admits have 21 terms: each operator adds a level.
TEST(ParserGrammar, NestingAndPlaceLimits) {
  for (const char *op : {"-", "+", "*", "/", "DIV", "MOD"}) {
    auto chain = [&](int n) {
      std::string s = "A";
      for (int i = 1; i < n; ++i)
        s += std::string(op) + (i % 2 ? "B" : "C");
      return s;
    };
    EXPECT_NO_THROW(ShapeOf(chain(21))) << op;
    EXPECT_THROW(ShapeOf(chain(22)), ETooManyNestings) << op;
  }
  std::string calls = "X";
  for (int i = 0; i < 20; ++i)
    calls = "SIN(" + calls + ")";
  EXPECT_NO_THROW(ShapeOf(calls));
  EXPECT_THROW(ShapeOf("SIN(" + calls + ")"), ETooManyNestings);
  int ops = 50;
  EXPECT_NO_THROW(ShapeOf(Products(6, ops)));
  ops = 51;
  EXPECT_THROW(ShapeOf(Products(6, ops)), EExpressionTooComplex);
}

// Deep or long texts end in an error or a value, and quickly.
TEST(ParserGrammar, LongAndDeepTexts) {
  const std::string deep = std::string(100000, '(') + "A" + std::string(100000, ')');
  EXPECT_EQ(ShapeOf(deep), "A");
  std::string calls, negs, chain = "A";
  for (int i = 0; i < 20000; ++i)
    calls += "SIN(", negs += "-(";
  calls += "A" + std::string(20000, ')');
  negs += "A" + std::string(20000, ')');
  for (int i = 0; i < 30000; ++i)
    chain += "-B*C/D";
  EXPECT_THROW(ShapeOf(calls), ETooManyNestings);
  EXPECT_THROW(ShapeOf(calls + "+"), ESyntaxError);
  EXPECT_THROW(ShapeOf(negs), ETooManyNestings);
  EXPECT_THROW(ShapeOf(chain), ETooManyNestings);
  EXPECT_THROW(ShapeOf(chain + "-"), ESyntaxError);
  EXPECT_THROW(ShapeOf(std::string(2u << 20, 'A')), EExpressionTooComplex);
}

// The model: every form tries its operator positions left to right and checks
// both sides by calling the other forms, with no memo and no shortcut.
struct Model {
  enum K { N, V, G, S, Dk, P, I, M, Q, W, F1, F2 };
  struct Split {
    K kind;
    std::string left, right, rawRight;
  };

  static int Balance(const std::string &s) {
    int b = 0;
    for (char c : s)
      b += (c == '(') - (c == ')');
    return b;
  }

  static bool Number(const std::string &s, double *value) {
    if (s == "PI" || s == "-PI") {
      if (value) *value = s == "PI" ? 3.141592653589793 : -3.141592653589793;
      return true;
    }
    std::size_t i = 0;
    auto digits = [&] {
      const std::size_t from = i;
      while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;
      return i > from;
    };
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (i == s.size()) return false;
    digits();
    if (i < s.size() && s[i] == '.') ++i, digits();
    if (i < s.size() && s[i] == 'E') {
      ++i;
      if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
      if (!digits()) return false;
    }
    if (i != s.size()) return false;
    if (value) rtl::DecimalTextToDouble(s, *value);
    return true;
  }

  bool Bracketed(const std::string &s, std::string *inner) {
    return s.size() >= 2 && s.front() == '(' && s.back() == ')' && Valid(s.substr(1, s.size() - 2), inner);
  }

  bool Valid(const std::string &s, std::string *stripped) {
    if (s.empty()) return false;
    *stripped = s;
    Split sp;
    for (K k : {N, V, G, S, Dk, P, I, M, Q, W, F2, F1})
      if (Form(s, k, &sp)) return true;
    return Bracketed(s, stripped);
  }

  bool Side(const std::string &s, const std::vector<K> &kinds, std::string *out) {
    *out = s;
    if (s.empty()) return false;
    if (Number(s, nullptr) || kVariables.count(s)) return true;
    if (Bracketed(s, out)) return true;
    *out = s;
    Split sp;
    for (K k : kinds)
      if (Form(s, k, &sp)) return true;
    return false;
  }

  bool Form(const std::string &s, K k, Split *sp) {
    sp->kind = k;
    const std::size_t n = s.size();
    Split other;
    if (k == N) return Number(s, nullptr);
    if (k == V) return kVariables.count(s) > 0;
    if (k == G) {
      if (n < 2 || s[0] != '-') return false;
      const std::string o = s.substr(1);
      if (Bracketed(o, &sp->left)) return true;
      sp->left = o;
      return kVariables.count(o) || Form(o, W, &other) || Form(o, F1, &other) || Form(o, F2, &other);
    }
    if (k == F1 || k == F2) {
      const std::size_t p = s.find('(');
      if (p == std::string::npos || p == 0) return false;
      const std::string name = s.substr(0, p);
      if (k == F1) return name == "SIN" && Bracketed(s.substr(p), &sp->left);
      if (name != "MAX" || s.back() != ')') return false;
      const std::string inner = s.substr(p + 1, n - p - 2);
      for (std::size_t c = 1; c + 1 < inner.size(); ++c)
        if (inner[c] == ',' && Valid(inner.substr(0, c), &sp->left) && Valid(inner.substr(c + 1), &sp->right))
          return true;
      return false;
    }
    static const std::vector<K> leftSD = {G, Dk, P, I, M, Q, W, F1, F2}, rightS = {S, Dk, P, I, M, Q, W, F1, F2},
                                rightDP = {P, I, M, Q, W, F1, F2}, leftPIMQ = {G, I, M, Q, W, F1, F2},
                                unit = {W, F1, F2}, atom = {F1, F2};
    struct Rule {
      const char *op;
      const std::vector<K> *l, *r;
    };
    const Rule rule = k == S    ? Rule{"+", &leftSD, &rightS}
                      : k == Dk ? Rule{"-", &leftSD, &rightDP}
                      : k == P  ? Rule{"*", &leftPIMQ, &rightDP}
                      : k == Q  ? Rule{"/", &leftPIMQ, &unit}
                      : k == I  ? Rule{"DIV", &leftPIMQ, &unit}
                      : k == M  ? Rule{"MOD", &leftPIMQ, &unit}
                                : Rule{"^", &atom, &atom};
    const std::size_t width = std::char_traits<char>::length(rule.op);
    for (std::size_t q = 0; q < n; ++q) {
      if (s.compare(q, width, rule.op) != 0) continue;
      if (width == 3) {
        if (q == 0 || q >= n - 1) continue;
      } else if (k == Dk && q == 0) {
        continue;
      } else if (q == 0 || q == n - 1) {
        return false;
      }
      const std::string left = s.substr(0, q), right = s.substr(q + width);
      if (Balance(left) != 0 || Balance(right) != 0) continue;
      sp->rawRight = right;
      if (Side(left, *rule.l, &sp->left) && Side(right, *rule.r, &sp->right)) return true;
    }
    return false;
  }

  // The walk, rendering each operation as ShapeOf does.
  std::array<int, 22> counter{};

  std::string Walk(const std::string &t, int level) {
    double value = 0;
    if (Number(t, &value)) return Num(value);
    if (kVariables.count(t)) return t;
    Split sp;
    bool found = false;
    for (K k : {G, S, Dk, P, I, M, Q, W, F1, F2})
      if ((found = Form(t, k, &sp))) break;
    if (!found) throw std::string("syntax");
    if (level + 1 > 20) throw std::string("nesting");
    if (counter[level + 1] + 1 > 50) throw std::string("complex");
    std::string name = sp.kind == G ? "neg" : sp.kind == F1 ? "SIN" : sp.kind == F2 ? "MAX" : "";
    bool two = sp.kind != G && sp.kind != F1;
    if (sp.kind == W) {
      double e = 0;
      const bool number = Number(sp.rawRight, &e), whole = number && e == std::nearbyint(e);
      two = !(whole && e >= 2 && e <= 4);
      name = !two ? (e == 2 ? "sqr" : e == 3 ? "cube" : "fourth") : whole ? "ipow" : "pow";
    }
    if (!two) {
      ++counter[level + 1];
      return name + "(" + Walk(sp.left, level + 1) + ")";
    }
    const std::string a = Walk(sp.left, level + 1);
    ++counter[level + 1];
    const std::string b = Walk(sp.right, level + 1);
    static const char *const kInfix[] = {"", "", "", "+", "-", "*", "DIV", "MOD", "/"};
    if (!name.empty()) return name + "(" + a + "," + b + ")";
    return "(" + a + kInfix[sp.kind] + b + ")";
  }

  std::string Compile(std::string text) {
    for (char &c : text)
      if (c >= 'a' && c <= 'z') c -= 32;
    if (Balance(text) != 0) return "brackets";
    std::string root = text, inner;
    while (Bracketed(root, &inner))
      root = inner;
    try {
      return Walk(root, 0);
    } catch (const std::string &e) {
      return e;
    }
  }
};

std::string Compiled(const std::string &text) {
  try {
    return ShapeOf(text);
  } catch (const EMathParserError &e) {
    const std::type_info &t = typeid(e);
    return t == typeid(ESyntaxError)            ? "syntax"
           : t == typeid(ETooManyNestings)      ? "nesting"
           : t == typeid(EExpressionTooComplex) ? "complex"
           : t == typeid(EMissMatchingBracket)  ? "brackets"
                                                : e.Message();
  }
}

// Half token soup, half grown from a small grammar with signs, brackets and
// calls in odd places.
std::string Soup(std::mt19937 &rng) {
  static const char *const tokens[] = {"A", "B",   "E",   "X", "2", "1.5",  "E2",   "2E-1", "PI", "+",   "-",  "*", "/",
                                       "^", "DIV", "MOD", "(", ")", "SIN(", "MAX(", ",",    "-(", "E-1", "-2", "."};
  std::uniform_int_distribution<int> count(1, 10), pick(0, std::size(tokens) - 1);
  std::string s;
  for (int i = count(rng); i > 0; --i)
    s += tokens[pick(rng)];
  return s;
}

std::string Grown(std::mt19937 &rng, int depth) {
  static const char *const leaves[] = {"A", "B", "E", "X", "2", "-2", "1.5", "E-1", "PI", "-PI", "3E+1", "."};
  static const char *const ops[] = {"+", "-", "*", "/", "^", "DIV", "MOD"};
  auto any = [&](const auto &list) { return list[std::uniform_int_distribution<int>(0, std::size(list) - 1)(rng)]; };
  const int c = depth <= 0 ? 0 : std::uniform_int_distribution<int>(0, 9)(rng);
  if (c <= 2) return any(leaves);
  if (c == 3) return "(" + Grown(rng, depth - 1) + ")";
  if (c == 4) return "-" + Grown(rng, depth - 1);
  if (c == 5) return "SIN(" + Grown(rng, depth - 1) + ")";
  if (c == 6) return "MAX(" + Grown(rng, depth - 1) + "," + Grown(rng, depth - 1) + ")";
  const std::string l = Grown(rng, depth - 1);
  const std::string op = any(ops);
  return l + op + Grown(rng, depth - 1);
}

TEST(ParserGrammar, CompilerAgreesWithTheLiteralRecognisers) {
  std::mt19937 rng(20261207);
  int compiled = 0;
  for (int i = 0; i < 12000; ++i) {
    const std::string text = i % 2 ? Soup(rng) : Grown(rng, 4);
    const std::string expected = Model().Compile(text);
    EXPECT_EQ(Compiled(text), expected) << text;
    compiled += expected != "syntax" && expected != "brackets";
  }
  EXPECT_GT(compiled, 3000); // the grammar half mostly compiles
}

} // namespace
