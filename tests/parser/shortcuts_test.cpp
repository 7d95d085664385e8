// The shortcuts that make compiling and evaluating cheap must not show:
// short literals read without the general conversion, faults found without
// reading the status registers, formulas known to be constant, and the
// compiler's buffers shared by every parser.
#include "parser/FormulaParser.h"
#include "platform/rtl/Conversions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

using parser::TParser;

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(ParserShortcuts, LiteralsReadAsTheGeneralConversionReadsThem) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> digit(0, 9), length(1, 24), coin(0, 3);
  TParser p;
  for (int trial = 0; trial < 4000; ++trial) {
    std::string text;
    const int n = length(rng);
    const int point = coin(rng) == 0 ? -1 : std::uniform_int_distribution<int>(0, n)(rng);
    for (int i = 0; i < n; ++i) {
      if (i == point) text += '.';
      text += static_cast<char>('0' + digit(rng));
    }
    if (point == n) text += '.';
    if (coin(rng) == 0) text += "E" + std::to_string(digit(rng) - 4);
    for (const std::string &literal : {text, "-" + text}) {
      double expected = 0;
      ASSERT_TRUE(rtl::DecimalTextToDouble(literal, expected)) << literal;
      p.SetExpression(literal);
      ASSERT_TRUE(SameBits(static_cast<double>(p.Value()), expected)) << literal;
    }
  }
  // Around 2^53 and 10^22, where the quick reading stops.
  for (const char *literal : {"9007199254740991", "9007199254740992", "9007199254740993", "0.9007199254740993",
                              "1.0000000000000000000001", "123456789.0123456789012", "-0", "-0.000", "+7.5"}) {
    double expected = 0;
    ASSERT_TRUE(rtl::DecimalTextToDouble(literal, expected));
    p.SetExpression(std::string("0+") + literal);
    EXPECT_TRUE(SameBits(static_cast<double>(p.Value()), 0 + expected)) << literal;
  }
  p.SetPascalNumberformat(false);
  rtl::SetDecimalSeparator(',');
  p.SetExpression("2,5+1");
  EXPECT_EQ(p.Value(), 3.5);
  rtl::SetDecimalSeparator('.');
}

// Faults in the middle of a formula raise even where the formula's value
// comes out finite, and the first fault met is the one raised.
TEST(ParserShortcuts, HiddenMiddleFaultsStillRaise) {
  enum Fault { kZero, kInvalid, kOverflow, kNone };
  struct Row {
    const char *formula;
    Fault fault;
  } const rows[] = {
      {"(1/0)*0+1", kZero},         {"min(1/0,2)", kZero},
      {"1/(1/0)", kZero},           {"2/(X*X*X)", kOverflow},
      {"-(X*X)*0", kOverflow},      {"heav(0-X*X)", kOverflow},
      {"sqrt(0-1)*0+2", kInvalid},  {"abs(sqrt(0-1))", kInvalid},
      {"sign(X*X-X*X)", kOverflow}, {"(X*1E-200)*(X*1E-200)", kNone},
  };
  for (const Row &r : rows) {
    TParser p;
    p.SetX(1e200);
    p.SetExpression(r.formula);
    for (int read = 0; read < 2; ++read) {
      switch (r.fault) {
      case kZero:
        EXPECT_THROW(p.Value(), rtl::EZeroDivide) << r.formula;
        break;
      case kInvalid:
        EXPECT_THROW(p.Value(), rtl::EInvalidOp) << r.formula;
        break;
      case kOverflow:
        EXPECT_THROW(p.Value(), rtl::EOverflow) << r.formula;
        break;
      case kNone:
        EXPECT_NEAR(static_cast<double>(p.Value()), 1, 1e-12);
        break;
      }
    }
  }
}

TEST(ParserShortcuts, ConstantFormulas) {
  struct Row {
    const char *formula;
    bool constant;
  } const rows[] = {
      {"", true},        {"1+2*3", true},      {"2*pi", true},    {"sin(1)^2", true}, {"X", false},
      {"psi1*0", false}, {"random(1)", false}, {"rnd(5)", false}, {"t-t", false},
  };
  for (const Row &r : rows) {
    TParser p;
    p.SetVariable("psi1", 1);
    p.SetExpression(r.formula);
    EXPECT_EQ(p.Constant(), r.constant) << r.formula;
  }
}

// Every parser compiles with its own names, whatever the parser before it
// compiled, failed to compile or held.
TEST(ParserShortcuts, CompilationsShareNothingVisible) {
  TParser withK, without;
  double *k = withK.SetVariable("K", 2);
  std::string deep;
  for (int i = 0; i < 2000; ++i)
    deep += "(";
  deep += "K";
  for (int i = 0; i < 2000; ++i)
    deep += ")";
  for (int round = 0; round < 3; ++round) {
    withK.SetExpression("K*k+1");
    EXPECT_THROW(without.SetExpression("K*k+1"), parser::ESyntaxError);
    EXPECT_THROW(without.SetExpression("(((1"), parser::EMissMatchingBracket);
    withK.SetExpression(deep);
    *k = 3;
    EXPECT_EQ(withK.Value(), 3);
    withK.SetExpression("K*k+1");
    EXPECT_EQ(withK.Value(), 10);
    without.SetExpression("X-1");
    EXPECT_EQ(without.Value(), -1);
  }
}

} // namespace
