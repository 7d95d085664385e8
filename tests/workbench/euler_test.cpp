#include "workbench/MethodUnit.h"

#include "parser/FormulaParser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

namespace {

using workbench::EulerIntegrate;
using workbench::Vector;
using workbench::VFunc;

Vector Of(std::initializer_list<double> values) {
  Vector v(static_cast<int>(values.size()));
  int i = 0;
  for (double x : values)
    v[i++] = x;
  return v;
}

// x' = 1, recording the times it is asked at.
struct Recorder : workbench::AbstVFunc {
  void Evaluate(Vector &Result, const Vector &, double T) override {
    Times.push_back(T);
    Result[0] = 1;
  }
  std::vector<double> Times;
};

TEST(Euler, MatchesTheClosedFormsOfTheScheme) {
  const int n = 100;
  const double h = 1.0 / n;
  // x' = -x, in the solver's text for A = 1, from 1: x = 0.99^100 and the
  // accumulator 0.01 * (0.99 + ... + 0.99^100), near e^-1 and 1 - e^-1.
  VFunc decay({"0-1*x_1"}, "x", 1);
  Vector x(1);
  Vector acc = EulerIntegrate(x, decay, Of({1}), 0, 1, n);
  EXPECT_NEAR(x[0], std::pow(0.99, 100), 1e-14);
  EXPECT_NEAR(acc[0], 0.99 * (1 - std::pow(0.99, 100)), 1e-13);
  EXPECT_NEAR(x[0], std::exp(-1.0), 0.2 * h);
  EXPECT_NEAR(acc[0], 1 - std::exp(-1.0), 0.5 * h);
  // A double integrator from rest, x1' = x2, x2' = 1: x2_i = i h and
  // x1_i = h^2 i(i-1)/2; the accumulator sums h x_i for i = 1..N.
  VFunc push({"x_2", "1"}, "x", 2);
  Vector y(2);
  acc = EulerIntegrate(y, push, Of({0, 0}), 0, 1, n);
  EXPECT_NEAR(y[0], (n - 1) / (2.0 * n), 1e-13);
  EXPECT_NEAR(y[1], 1, 1e-13);
  EXPECT_NEAR(acc[0], h * h * h * (n - 1) * n * (n + 1) / 6, 1e-13);
  EXPECT_NEAR(acc[1], h * h * n * (n + 1) / 2, 1e-13);
}

TEST(Euler, TimesComeFromTheIndexWithTheStepRoundedOnce) {
  // Here the step differs when T1 - T0 is rounded to double first, and a
  // running sum of steps drifts from T0 + i h.
  const double t0 = 0.1, t1 = 0.7, h = static_cast<double>((static_cast<long double>(t1) - t0) / 100);
  ASSERT_NE(h, (t1 - t0) / 100);
  Recorder f, none;
  Vector x(1);
  (void)EulerIntegrate(x, f, Of({0}), t0, t1, 100);
  ASSERT_EQ(f.Times.size(), 100u);
  for (int i = 0; i < 100; ++i)
    ASSERT_EQ(f.Times[i], t0 + i * h) << i;
  // An empty interval evaluates and sums nothing.
  EXPECT_EQ(EulerIntegrate(x, none, Of({3}), 2.5, 2.5, 100).Elements(), std::vector<double>{0});
  EXPECT_EQ(x[0], 3);
  EXPECT_TRUE(none.Times.empty());
  // Bad calls raise instead of handing back the start.
  EXPECT_THROW((void)EulerIntegrate(x, none, Of({1}), 0, 1, 0), rtl::EZeroDivide);
  EXPECT_THROW((void)EulerIntegrate(x, none, Of({1}), 0, 1, -5), workbench::ESizeError);
  EXPECT_THROW((void)EulerIntegrate(x, none, Of({1, 2}), 0, 1, 10), workbench::ESizeError);
  EXPECT_TRUE(none.Times.empty());
  VFunc blowUp({"x_1*x_1"}, "x", 1);
  EXPECT_THROW((void)EulerIntegrate(x, blowUp, Of({1}), 0, 100, 10), rtl::EOverflow);
}

TEST(VFunc, EvaluatesLikeAFreshParserSetByName) {
  VFunc f({"0", "-1*x_1", "t+T"}, "x", 2);
  Vector r(3);
  f.Evaluate(r, Of({3, 4}), 1.5);
  EXPECT_EQ(r.Elements(), (std::vector<double>{0, -3, 3}));
  const std::string text = "sin(x_1)/3+x_2^0.5*t-exp(-x_1*x_2)";
  VFunc g({text}, "x", 2);
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> value(0.1, 5.0);
  for (int trial = 0; trial < 100; ++trial) {
    const Vector x = Of({value(rng), value(rng)});
    const double t = value(rng);
    g.Evaluate(r, x, t);
    parser::TParser fresh;
    fresh.SetVariable("x_1", x[0]);
    fresh.SetVariable("x_2", x[1]);
    fresh.SetVariable("t", t);
    fresh.SetExpression(text);
    const double expected = static_cast<double>(fresh.Value());
    ASSERT_EQ(std::memcmp(&r[0], &expected, sizeof expected), 0);
  }
}

TEST(VFunc, ErrorsSurfaceAndBadSizesRaise) {
  EXPECT_THROW(VFunc({"0", "1+"}, "x", 1), parser::EMathParserError);
  EXPECT_THROW(VFunc({"x_3"}, "x", 2), parser::EMathParserError);
  EXPECT_THROW(VFunc({"0"}, "mode", 1), parser::EBadName);
  VFunc f({"1/x_1", "x_2"}, "x", 2);
  Vector r(2), one(1), same = Of({1, 2});
  EXPECT_THROW(f.Evaluate(r, Of({0, 1}), 0), rtl::EZeroDivide);
  EXPECT_THROW(f.Evaluate(one, Of({1, 2}), 0), workbench::ESizeError);
  EXPECT_THROW(f.Evaluate(r, one, 0), workbench::ESizeError);
  EXPECT_THROW(f.Evaluate(same, same, 0), workbench::ESizeError);
  f.Evaluate(r, Of({4, 5, 6}), 0);
  EXPECT_EQ(r.Elements(), (std::vector<double>{0.25, 5}));
}

} // namespace
