// The shape of the compiled form: which operation takes which operands.
// The compiled records are rendered back as a fully bracketed text.
#include "parser/FormulaCompiler.h"
#include "parser/FormulaParser.h"
#include "tests/parser/Shapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

namespace {

using namespace parser;

// The shapes of a formula, or the error it raises.
struct Shapes {
  std::string Of(const std::string &text) { return shapes::Of(text); }
};

struct ShapeRow {
  const char *text;
  const char *shape;
};

TEST(ParserGrammar, PrecedenceAndGrouping) {
  const ShapeRow rows[] = {
      {"A+B*C", "(A+(B*C))"},
      {"A*B+C", "((A*B)+C)"},
      {"A-B*C", "(A-(B*C))"},
      {"A+B+C", "(A+(B+C))"},
      {"A-B-C", "((A-B)-C)"},
      {"A-B+C", "((A-B)+C)"},
      {"A+B-C", "(A+(B-C))"},
      {"A*B*C", "(A*(B*C))"},
      {"A*B/C", "(A*(B/C))"},
      {"A/B*C", "((A/B)*C)"},
      {"A/B/C", "((A/B)/C)"},
      {"2*3DIV2", "(2*(3DIV2))"},
      {"7DIV2*3", "((7DIV2)*3)"},
      {"AMODBDIVC", "((AMODB)DIVC)"},
      {"(ADIVB)DIVC", "((ADIVB)DIVC)"},
      {"-X^2", "neg(sqr(X))"},
      {"-2^2", "neg(sqr(2))"},
      {"(-2)^2", "sqr(-2)"},
      {"2^-1", "ipow(2,-1)"},
      {"X^2", "sqr(X)"},
      {"X^3.0", "cube(X)"},
      {"X^+4", "fourth(X)"},
      {"X^5", "ipow(X,5)"},
      {"X^0.5", "pow(X,0.5)"},
      {"X^(2)", "pow(X,2)"},
      {"X^Y", "pow(X,Y)"},
      {"-A*B", "(neg(A)*B)"},
      {"-A-B", "(neg(A)-B)"},
      {"-A+B", "(neg(A)+B)"},
      {"A*-2", "(A*-2)"},
      {"A+-2", "(A+-2)"},
      {"A-(-B)", "(A-neg(B))"},
      {"-(2)", "neg(2)"},
      {"A--2^2", "(A-neg(sqr(2)))"},
      {"A*-B/C", "(A*(neg(B)/C))"},
      {"A++2", "(A+2)"},
      {"((A))", "A"},
      {"  12  ", "12"},
      {"(E-1)*2", "(0*2)"},
      {"E", "E"},
      {"E2", "0"},
      {"2e3", "2000"},
      {"1E-400", "0"},
      {".", "0"},
      {"1.", "1"},
      {"pi*2", "(3.1415926535897931*2)"},
      {"SIN(X)^2", "sqr(SIN(X))"},
      {"SIN((X))", "SIN(X)"},
      {"MAX(MAX(A,B),C)", "MAX(MAX(A,B),C)"},
      {"MAX((A),(B+C))", "MAX(A,(B+C))"},
      {"sin(e-1)", "SIN(0)"},
      {"1E-1-A", "(0.10000000000000001-A)"},
      {"x-e-1", "(X-0)"},
      // A negated power of a signed number on the left of DIV, right of '-' or '*'.
      {"B---2^2DIV3", "(B-(neg(neg(sqr(2)))DIV3))"},
      {"B--+2^2MOD3", "(B-(neg(sqr(2))MOD3))"},
      {"A*--2^2DIV3", "(A*(neg(neg(sqr(2)))DIV3))"},
      {"A-B*--PI^2/C", "(A-(B*(neg(neg(sqr(3.1415926535897931)))/C)))"},
  };
  Shapes shapes;
  for (const ShapeRow &r : rows) {
    try {
      EXPECT_EQ(shapes.Of(r.text), r.shape) << r.text;
    } catch (const rtl::Exception &e) {
      ADD_FAILURE() << r.text << ": " << e.Message();
    }
  }
}

TEST(ParserGrammar, FormsThatMatchNothing) {
  Shapes shapes;
  for (const char *text : {"A^B^C",   "A*-B",  "A+-B", "A^-B",  "--2",    "+A+B", "SIN(A,B)", "FOO(X)", "()",
                           "+",       "-",     "2*-",  "A+",    "*A",     "A**B", "ADIV",     "DIVA",   "MAX(A)",
                           "MAX(,A)", "SIN()", "A(B)", "1\t+2", "(A)(B)", "1E",   "1..2",     "E+",     "A B"}) {
    EXPECT_THROW(shapes.Of(text), EMathParserError) << text;
  }
}

// Without a variable E, E+5 is the number 0 wherever it stands.
TEST(ParserGrammar, ExponentSignAfterOpeningBracket) {
  TCustomParser p;
  p.SetVariable("A", 1);
  for (const char *text : {"(E+5+A)", "2*(E+5+A)/2", "-(E+5+A)*-1"}) {
    p.SetExpression(text);
    EXPECT_EQ(p.Value(), 1) << text;
  }
}

// The longest chains the walk admits have 21 terms: each operator adds a level.
TEST(ParserGrammar, ChainLimits) {
  Shapes shapes;
  const char *ops[] = {"-", "+", "*", "/", "DIV", "MOD"};
  for (const char *op : ops) {
    auto chain = [&](int n) {
      std::string s = "A";
      for (int i = 1; i < n; ++i)
        s += std::string(op) + (i % 2 ? "B" : "C");
      return s;
    };
    EXPECT_NO_THROW(shapes.Of(chain(21))) << op;
    EXPECT_THROW(shapes.Of(chain(22)), ETooManyNestings) << op;
    EXPECT_THROW(shapes.Of(chain(400)), ETooManyNestings) << op;
  }
  std::string calls = "X";
  for (int i = 0; i < 20; ++i)
    calls = "SIN(" + calls + ")";
  EXPECT_NO_THROW(shapes.Of(calls));
  EXPECT_THROW(shapes.Of("SIN(" + calls + ")"), ETooManyNestings);
}

// A complete sum tree of depth 6 whose first `ops` leaves are products: the
// products' operands need `ops` places on level 7.
std::string PlacesTree(int depth, int &opsLeft) {
  if (depth == 0) return opsLeft-- > 0 ? "X*X" : "X";
  const std::string l = PlacesTree(depth - 1, opsLeft);
  const std::string r = PlacesTree(depth - 1, opsLeft);
  return "(" + l + "+" + r + ")";
}

TEST(ParserGrammar, PlacesPerLevel) {
  Shapes shapes;
  int ops = 50;
  EXPECT_NO_THROW(shapes.Of(PlacesTree(6, ops)));
  ops = 51;
  EXPECT_THROW(shapes.Of(PlacesTree(6, ops)), EExpressionTooComplex);
}

// Texts of any shape end in a parser error or a value; deep or long ones
// included, and quickly: recognition is linear for chains.
TEST(ParserGrammar, LongAndDeepTexts) {
  Shapes shapes;
  std::string deep(100000, '(');
  deep += "A";
  deep += std::string(100000, ')');
  EXPECT_EQ(shapes.Of(deep), "A");
  std::string calls;
  for (int i = 0; i < 20000; ++i)
    calls += "SIN(";
  calls += "A" + std::string(20000, ')');
  EXPECT_THROW(shapes.Of(calls), ETooManyNestings);
  EXPECT_THROW(shapes.Of(calls + "+"), ESyntaxError);
  std::string negs;
  for (int i = 0; i < 20000; ++i)
    negs += "-(";
  negs += "A" + std::string(20000, ')');
  EXPECT_THROW(shapes.Of(negs), ETooManyNestings);
  std::string chain = "A";
  for (int i = 0; i < 30000; ++i)
    chain += "-B*C/D";
  EXPECT_THROW(shapes.Of(chain), ETooManyNestings);
  EXPECT_THROW(shapes.Of(chain + "-"), ESyntaxError);
  EXPECT_THROW(shapes.Of(std::string(2u << 20, 'A')), EExpressionTooComplex);
}

} // namespace
