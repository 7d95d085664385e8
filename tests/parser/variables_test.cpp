// Variables bound by address: changed between reads without compiling again.
#include "parser/FormulaParser.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using namespace parser;

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
  p.SetExpression("q*A");
  p.ClearVariables();
  EXPECT_EQ(p.Expression(), "");
  EXPECT_EQ(p.Value(), 0);
  EXPECT_THROW(p.SetExpression("A"), ESyntaxError);
  p.SetVariable("A", 3);
  p.SetExpression("A");
  EXPECT_EQ(p.Value(), 3);
  EXPECT_EQ(p.A(), 0);
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

// The parser is safe to destroy whatever it compiled.
TEST(ParserVariables, DestroyAfterUse) {
  for (const char *text : {"A", "q*A+1", "1/0", ""}) {
    auto p = std::make_unique<TParser>();
    p->SetVariable("q", 1);
    p->SetExpression(text);
  }
}

} // namespace
