// The shortcuts that make compiling and evaluating cheap must not show:
// short literals read without the general conversion, formulas known to be
// constant, and the compiler's buffers shared by every parser. Faults found
// without reading the status registers are in the errors' table.
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
  // Random digit strings with or without a point and an exponent.
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
}

// Without the fixed notation, numbers follow the locale's separator and an
// exponent or a lone point is no number.
TEST(ParserShortcuts, LocaleNumbers) {
  TParser p;
  EXPECT_TRUE(p.PascalNumberformat());
  p.SetPascalNumberformat(false);
  p.SetExpression("1.5+X");
  EXPECT_EQ(p.Value(), 1.5);
  EXPECT_THROW(p.SetExpression(".+X"), parser::ESyntaxError);
  EXPECT_THROW(p.SetExpression("E5+X"), parser::ESyntaxError);
  rtl::SetDecimalSeparator(',');
  p.SetExpression("2,5+1");
  EXPECT_EQ(p.Value(), 3.5);
  rtl::SetDecimalSeparator('.');
  p.SetPascalNumberformat(true);
  p.SetExpression(".+X");
  EXPECT_EQ(p.Value(), 0);
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
  const std::string deep = std::string(2000, '(') + "K" + std::string(2000, ')');
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
