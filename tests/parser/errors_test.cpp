// Every exception of the parser with its text, and the evaluation faults.
#include "parser/FormulaParser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <typeinfo>

namespace {

using namespace parser;

std::string CompileError(const std::string &text, const std::type_info *&type) {
  TParser p;
  try {
    p.SetExpression(text);
  } catch (const rtl::Exception &e) {
    type = &typeid(e);
    return e.Message();
  }
  type = nullptr;
  return "";
}

struct ErrorRow {
  const char *text;
  const std::type_info &type;
  const char *message;
  bool prefixOnly;
};

TEST(ParserErrors, CompileErrorsAndTheirTexts) {
  std::string nest = "A";
  for (int i = 0; i < 21; ++i)
    nest += "-B";
  const std::string tooComplex = [] {
    std::function<std::string(int)> tree = [&](int d) -> std::string {
      return d == 0 ? "X*X" : "(" + tree(d - 1) + "+" + tree(d - 1) + ")";
    };
    return tree(6);
  }();
  const ErrorRow rows[] = {
      {"1 + 2", typeid(EExpressionHasBlanks), "Expression has blanks", false},
      {"(A", typeid(EMissMatchingBracket), "Missing brackets in expression (\")\")", false},
      {"A)", typeid(EMissMatchingBracket), "Missing brackets in expression (\"(\")", false},
      {"(A B", typeid(EExpressionHasBlanks), "Expression has blanks", false},
      {"()", typeid(ESyntaxError), "Error parsing expression:\r()", false},
      {"   ", typeid(ESyntaxError), "Error parsing expression:\r", false},
      {"FOO(X)", typeid(ESyntaxError), "Error parsing expression:\rFOO(X)", false},
      {"a$b", typeid(ESyntaxError), "Error parsing expression:\rA$B", false},
      {"A+$", typeid(ESyntaxError), "Error parsing expression:\r", true},
      {"1\t+2", typeid(ESyntaxError), "Error parsing expression:\r", true},
      {nest.c_str(), typeid(ETooManyNestings), "Expression contains too many nestings", false},
      {tooComplex.c_str(), typeid(EExpressionTooComplex), "Expression is too complex", false},
      {"1E400", typeid(rtl::EOverflow), "Floating point overflow", false},
      {"X+1E400*0", typeid(rtl::EOverflow), "Floating point overflow", false},
  };
  for (const ErrorRow &r : rows) {
    const std::type_info *type = nullptr;
    const std::string message = CompileError(r.text, type);
    ASSERT_NE(type, nullptr) << r.text;
    EXPECT_EQ(*type, r.type) << r.text << ": " << message;
    if (r.prefixOnly)
      EXPECT_EQ(message.rfind(r.message, 0), 0u) << r.text << ": " << message;
    else
      EXPECT_EQ(message, r.message) << r.text;
  }
}

TEST(ParserErrors, TwoTextFormNamesASplit) {
  const std::type_info *type = nullptr;
  const std::string message = CompileError("A+$", type);
  EXPECT_EQ(message, "Error parsing expression:\rA\r$");
}

TEST(ParserErrors, BadNames) {
  struct Row {
    const char *name;
    const char *message;
  };
  const Row rows[] = {{"mode", "MODE"}, {"Model", "MODEL"}, {"divisor", "DIVISOR"}, {"xmod1", "XMOD1"},
                      {"1x", "1x"},     {"", ""},           {"a-b", "a-b"},         {"psi 1", "psi 1"}};
  for (const Row &r : rows) {
    TParser p;
    try {
      p.SetVariable(r.name, 1);
      ADD_FAILURE() << r.name;
    } catch (const EBadName &e) {
      EXPECT_EQ(e.Message(), r.message);
    }
  }
}

struct FaultRow {
  const char *text;
  const std::type_info &type;
  double fine; // an X for which the formula has a value; NaN for none
};

// Faults surface when Value is read; the compiled form stays usable.
TEST(ParserErrors, EvaluationFaults) {
  const double none = std::nan("");
  const FaultRow rows[] = {
      {"1/X", typeid(rtl::EZeroDivide), 2},
      {"COTAN(X)", typeid(rtl::EZeroDivide), 2},
      {"LN(X)", typeid(rtl::EZeroDivide), 2},
      {"X^-0.5", typeid(rtl::EZeroDivide), 2},
      {"INTPOWER(X,-1)", typeid(rtl::EZeroDivide), 2},
      {"X^-3", typeid(rtl::EZeroDivide), 2},
      {"X/X", typeid(rtl::EInvalidOp), 2},
      {"SQRT(X-1)", typeid(rtl::EInvalidOp), 2},
      {"LN(X-1)", typeid(rtl::EInvalidOp), 2},
      {"LOGN(X,2)", typeid(rtl::EZeroDivide), 2},
      {"(X-8)^(1/3)", typeid(rtl::EInvalidOp), 9},
      {"EXP(1000*(X+1))", typeid(rtl::EOverflow), -1},
      {"1E300*(X+1E300)", typeid(rtl::EOverflow), -1e300},
      {"(X+1E200)^2", typeid(rtl::EOverflow), -1e200},
      {"(X+1E200)^2.5", typeid(rtl::EOverflow), -1e200},
      {"5MODX", typeid(rtl::EDivByZero), 2},
      {"5DIVX", typeid(rtl::EDivByZero), 2},
      {"5DIV(X+0.5)", typeid(rtl::EDivByZero), 2},
      {"(X+1E19)DIV2", typeid(rtl::EInvalidOp), -1e19},
      {"9223372036854775807DIV1", typeid(rtl::EInvalidOp), none},
      {"X^1E19", typeid(rtl::EInvalidOp), none},
      {"INTPOWER(2,1E30+X)", typeid(rtl::EInvalidOp), -1e30},
      // Faults whose infinite result is divided away or compared later.
      {"1/(1/X)", typeid(rtl::EZeroDivide), 2},
      {"HEAV(1/X-1/X)", typeid(rtl::EZeroDivide), 2}, // the first fault met, as a trap would report
      {"MAX(EXP(X*1000+1000),1)*0", typeid(rtl::EOverflow), -1},
      {"(X+10)^-5000", typeid(rtl::EOverflow), -9},
      {"(X+10)^(-5000)", typeid(rtl::EOverflow), -9},
      {"POWER(X+10,-5000)", typeid(rtl::EOverflow), -9},
      {"INTPOWER(X+10,-5000)", typeid(rtl::EOverflow), -9},
  };
  for (const FaultRow &r : rows) {
    TParser p;
    ASSERT_NO_THROW(p.SetExpression(r.text)) << r.text;
    for (int round = 0; round < 2; ++round) {
      try {
        (void)p.Value();
        ADD_FAILURE() << r.text << " raised nothing";
      } catch (const rtl::Exception &e) {
        EXPECT_EQ(typeid(e), r.type) << r.text << ": " << e.Message();
      }
    }
    if (std::isnan(r.fine)) continue;
    p.SetX(r.fine);
    EXPECT_NO_THROW((void)p.Value()) << r.text;
  }
}

// Infinite or NaN inputs are arithmetic like any other: a fault only where
// the operation itself raises one.
TEST(ParserErrors, NonFiniteVariables) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  struct Row {
    const char *text;
    double x;
    const std::type_info *type; // nullptr: a value
  };
  const Row rows[] = {
      {"X+1", inf, nullptr}, {"X*0", inf, &typeid(rtl::EInvalidOp)},     {"X-X", inf, &typeid(rtl::EInvalidOp)},
      {"1/X", inf, nullptr}, {"HEAV(X)", nan, &typeid(rtl::EInvalidOp)}, {"-X", nan, nullptr},
  };
  for (const Row &r : rows) {
    TParser p;
    p.SetX(r.x);
    p.SetExpression(r.text);
    if (r.type == nullptr) {
      EXPECT_NO_THROW((void)p.Value()) << r.text;
      continue;
    }
    try {
      (void)p.Value();
      ADD_FAILURE() << r.text << " raised nothing";
    } catch (const rtl::Exception &e) {
      EXPECT_EQ(typeid(e), *r.type) << r.text << ": " << e.Message();
    }
  }
}

// A fault left by other code is not blamed on the formula.
TEST(ParserErrors, StaleFlagsAreNotThisFormulasFault) {
  TParser p;
  p.SetExpression("X+1");
  volatile double zero = 0;
  volatile double junk = 1 / zero;
  (void)junk;
  EXPECT_EQ(p.Value(), 1);
}

TEST(ParserErrors, HandlerSwallowsOnlyParserErrors) {
  TParser p;
  int calls = 0;
  std::string seen;
  p.OnParserError = [&](TCustomParser *sender, const rtl::Exception &e) {
    ++calls;
    EXPECT_EQ(sender, &p);
    seen = e.Message();
  };
  p.SetExpression("X");
  p.SetExpression("1 + 2");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seen, "Expression has blanks");
  EXPECT_EQ(p.Expression(), "1 + 2");
  EXPECT_EQ(p.Value(), 0);
  EXPECT_THROW(p.SetExpression("1E999"), rtl::EOverflow);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(p.Value(), 0);
  EXPECT_THROW(p.SetVariable("1x", 0), EBadName);
  EXPECT_EQ(calls, 1);
}

} // namespace
