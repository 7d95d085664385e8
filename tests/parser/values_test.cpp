// Values of every operator and built-in function against the C++ library,
// the decided special values, and variables bound by address: changed
// between reads without compiling again.
#include "parser/FormulaParser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace parser;

constexpr double kPi = 3.141592653589793;

double Eval(const std::string &formula, double x = 0.7, double y = -1.3) {
  TParser p;
  p.SetX(x);
  p.SetY(y);
  p.SetExpression(formula);
  return static_cast<double>(p.Value());
}

TEST(ParserValues, OperatorsAndFunctions) {
  const double x = 0.7, y = -1.3;
  const struct {
    const char *formula;
    double expected;
  } rows[] = {
      {"X+Y", x + y},
      {"X-Y", x - y},
      {"X*Y", x * y},
      {"X/Y", x / y},
      {"-X", -x},
      {"Y^2", y * y},
      {"Y^3", y * y * y},
      {"X^4", x * x * x * x},
      {"X^5", std::pow(x, 5)},
      {"X^-3", std::pow(x, -3)},
      {"X^2.5", std::pow(x, 2.5)},
      {"X^(2)", x * x},
      {"7MOD3", 1},
      {"7DIV3", 2},
      {"TAN(X)", std::tan(x)},
      {"SIN(X)", std::sin(x)},
      {"COS(X)", std::cos(x)},
      {"SINH(X)", std::sinh(x)},
      {"COSH(X)", std::cosh(x)},
      {"ARCTAN(Y)", std::atan(y)},
      {"COTAN(X)", 1 / std::tan(x)},
      {"EXP(Y)", std::exp(y)},
      {"LN(X)", std::log(x)},
      {"LOG10(X)", std::log10(x)},
      {"LOG2(X)", std::log2(x)},
      {"SQR(Y)", y * y},
      {"SQRT(X)", std::sqrt(x)},
      {"ABS(Y)", 1.3},
      {"ARG(X,Y)", std::atan2(y, x)},
      {"ARG(-1,-1)", 5 * kPi / 4},
      {"ARG(0,0)", -kPi / 2},
      {"MAX(X,Y)", x},
      {"MIN(X,Y)", y},
      {"POWER(2,0.5)", std::sqrt(2.0)},
      {"POWER(Y,3)", y * y * y},
      {"INTPOWER(2,10.9)", 1024},
      {"LOGN(2,8)", 3},
      {"SIGN(0)", 0},
      {"SIGN(-2)", -1},
      {"HEAV(0)", 1},
      {"HEAV(-1E-300)", 0},
      {"ZERO(0)", 0},
      {"ZERO(-3)", 1},
      {"CEIL(-1.5)", -1},
      {"FLOOR(-1.5)", -2},
      {"TRUNC(-1.7)", -1},
      {"INT(-1.7)", -1},
      {"7MOD-2", 1},
      {"-7MOD2", -1},
      {"-7DIV2", -3},
      {"7.9DIV2.9", 3},
      {"0^0", 1},
      {"POWER(0,0)", 1},
      {"POWER(0,2.5)", 0},
      {"INTPOWER(5,0)", 1},
      {"SINH(1E-20)", 0},
      {"-PI", -kPi},
      {"2^-1", 0.5},
      {"(-8)^3", -512},
      {"-9223372036854775808DIV-1", 9223372036854775808.0},
      {"-9223372036854775808MOD-1", 0},
      {"-9223372036854775808DIV2", -4611686018427387904.0},
  };
  for (const auto &r : rows)
    EXPECT_NEAR(Eval(r.formula), r.expected, 4e-16 * std::fabs(r.expected) + 1e-300) << r.formula;
}

// PH uses the divisor 2/pi and rounds its quotient halves to even.
TEST(ParserValues, PhRoundsHalvesToEven) {
  const double c = 0.6366197723675814;
  for (double q : {0.5, 1.5, 2.5, -0.5, -2.5, 3.25}) {
    const double x = q * c, quotient = x / c;
    EXPECT_NEAR(Eval("PH(X)", x), (quotient - std::nearbyint(quotient)) * 2 * kPi, 1e-15) << q;
  }
}

TEST(ParserValues, RandomIsInUnitIntervalAndRndScalesTheIntegerPart) {
  for (int i = 0; i < 200; ++i) {
    const double r = Eval("RANDOM(12345)"), s = Eval("RND(5.9)");
    EXPECT_TRUE(r >= 0 && r < 1) << r;
    EXPECT_TRUE(s >= 0 && s < 5) << s;
  }
}

TEST(ParserVariables, ValuesChangeWithoutCompiling) {
  TParser p;
  EXPECT_EQ(p.Value(), 0);
  double *psi1 = p.SetVariable("psi1", 0.5);
  p.SetExpression("psi1");
  p.SetExpression("psi1+1");
  EXPECT_EQ(p.Value(), 1.5);
  EXPECT_EQ(p.SetVariable("PSI1", 2), psi1);
  EXPECT_EQ(p.Value(), 3);
  *psi1 = 10;
  EXPECT_EQ(p.Value(), 11);
  p.SetExpression("");
  EXPECT_EQ(p.Value(), 0);
}

TEST(ParserVariables, BuiltInsAreTheFields) {
  TParser p;
  p.SetExpression("A+2*B+4*C+8*D+16*E+32*X+64*Y+128*T");
  p.SetVariable("t", 2);
  EXPECT_EQ(p.T(), 2);
  EXPECT_EQ(p.Value(), 256);
  p.SetA(1), p.SetB(1), p.SetC(1), p.SetD(1), p.SetE(1), p.SetX(1), p.SetY(1), p.SetT(1);
  EXPECT_EQ(p.Value(), 255);
  // pi and E2 read as numbers whatever variables carry those names.
  p.SetVariable("pi", 5);
  p.SetVariable("E2", 5);
  p.SetExpression("pi+E2");
  EXPECT_DOUBLE_EQ(static_cast<double>(p.Value()), 3.141592653589793);
}

// Storage never moves, however many variables follow.
TEST(ParserVariables, StorageStaysInPlace) {
  TParser p;
  double *first = p.SetVariable("v0", 1);
  p.SetExpression("v0*2");
  std::string sum = "v0";
  for (int i = 1; i < 1000; ++i) {
    p.SetVariable("v" + std::to_string(i), i);
    if (i <= 20) sum += "+v" + std::to_string(i);
  }
  *first = 4;
  EXPECT_EQ(p.Value(), 8);
  p.SetExpression(sum);
  EXPECT_EQ(p.Value(), 4 + 210);
}

// Dropping the variables drops the compiled form first: nothing reads
// released storage afterwards, and the built-ins are gone too.
TEST(ParserVariables, ClearVariables) {
  TParser p;
  p.SetVariable("q", 2);
  p.SetA(1);
  p.SetExpression("q*A");
  p.ClearVariables();
  EXPECT_EQ(p.Expression(), "");
  EXPECT_EQ(p.Value(), 0);
  EXPECT_THROW(p.SetExpression("A"), ESyntaxError);
  p.SetVariable("A", 3);
  p.SetExpression("A");
  EXPECT_EQ(p.Value(), 3);
  EXPECT_EQ(p.A(), 1);
}

// Without a variable E, E+5 is the number 0 wherever it stands, also after
// an opening bracket.
TEST(ParserVariables, ExponentSignAfterOpeningBracket) {
  TCustomParser p;
  p.SetVariable("A", 1);
  for (const char *text : {"(E+5+A)", "2*(E+5+A)/2", "-(E+5+A)*-1"}) {
    p.SetExpression(text);
    EXPECT_EQ(p.Value(), 1) << text;
  }
}

} // namespace
