#include "workbench/MethodUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

using workbench::AbstVFunc;
using workbench::EulerIntegrate;
using workbench::Vector;

// A right-hand side written in C++, recording the times it is asked at.
class Rhs : public AbstVFunc {
public:
  explicit Rhs(std::function<void(Vector &, const Vector &, double)> f) : f_(std::move(f)) {}
  void Evaluate(Vector &Result, const Vector &X, double T) override {
    Times.push_back(T);
    f_(Result, X, T);
  }
  std::vector<double> Times;

private:
  std::function<void(Vector &, const Vector &, double)> f_;
};

Vector Of(std::initializer_list<double> values) {
  Vector v(static_cast<int>(values.size()));
  int i = 0;
  for (double x : values)
    v[i++] = x;
  return v;
}

TEST(Euler, DecayMatchesTheClosedFormOfTheScheme) {
  // x' = -x from 1 over [0, 1] in 100 steps: x_i = 0.99^i, and the
  // accumulator is 0.01 * (0.99 + ... + 0.99^100).
  Rhs f([](Vector &r, const Vector &x, double) { r[0] = -x[0]; });
  Vector x(1);
  const Vector acc = EulerIntegrate(x, f, Of({1}), 0, 1, 100);
  EXPECT_NEAR(x[0], std::pow(0.99, 100), 1e-14);
  EXPECT_NEAR(x[0], 0.36603, 1e-5);
  const double sum = 0.99 * (1 - std::pow(0.99, 100)) / (1 - 0.99);
  EXPECT_NEAR(acc[0], 0.01 * sum, 1e-13);
  EXPECT_EQ(f.Times.size(), 100u);
}

TEST(Euler, ConvergesToTheExactSolutionAsTheStepShrinks) {
  Rhs f([](Vector &r, const Vector &x, double) { r[0] = -x[0]; });
  double previousError = 1;
  for (int steps : {10, 100, 1000, 10000}) {
    Vector x(1);
    const Vector acc = EulerIntegrate(x, f, Of({1}), 0, 1, steps);
    const double error = std::abs(x[0] - std::exp(-1.0));
    EXPECT_LT(error, 0.6 / steps) << steps;
    EXPECT_LT(error, previousError / 5) << steps;
    previousError = error;
    // The accumulator is a quadrature of the solution: integral of e^-t.
    EXPECT_NEAR(acc[0], 1 - std::exp(-1.0), 1.0 / steps) << steps;
  }
}

TEST(Euler, DoubleIntegratorFromRest) {
  // x1' = x2, x2' = 1 from (0, 0): the scheme gives x2_i = i*h and
  // x1_i = h^2 * i(i-1)/2, so after N steps of h = 1/N:
  // x1 = (N-1)/(2N), x2 = 1; the accumulator holds h * sum of x_i for
  // i = 1..N: h^3 (N-1)N(N+1)/6 and h^2 N(N+1)/2.
  Rhs f([](Vector &r, const Vector &x, double) {
    r[0] = x[1];
    r[1] = 1;
  });
  const int n = 100;
  const double h = 1.0 / n;
  Vector x(2);
  const Vector acc = EulerIntegrate(x, f, Of({0, 0}), 0, 1, n);
  EXPECT_NEAR(x[0], (n - 1) / (2.0 * n), 1e-13);
  EXPECT_NEAR(x[1], 1.0, 1e-13);
  EXPECT_NEAR(acc[0], h * h * h * (n - 1) * n * (n + 1) / 6.0, 1e-13);
  EXPECT_NEAR(acc[1], h * h * n * (n + 1) / 2.0, 1e-13);
  // Against the exact motion t^2/2: Euler lags by h/2.
  EXPECT_NEAR(x[0], 0.5, h / 2 + 1e-12);
}

TEST(Euler, TimesComeFromTheIndexAndTheStepIsRoundedOnce) {
  // With T0 = 0.1, T1 = 0.7 the step rounds differently when T1 - T0 is
  // rounded to double first, and a running sum of steps drifts from
  // T0 + i*h: both faults show in the recorded times.
  const double t0 = 0.1, t1 = 0.7;
  const int steps = 100;
  const double h = static_cast<double>((static_cast<long double>(t1) - t0) / steps);
  ASSERT_NE(h, (t1 - t0) / steps) << "the case no longer tells the two roundings apart";
  Rhs f([](Vector &r, const Vector &, double) { r[0] = 1; });
  Vector x(1);
  const Vector acc = EulerIntegrate(x, f, Of({0}), t0, t1, steps);
  ASSERT_EQ(f.Times.size(), static_cast<std::size_t>(steps));
  int drifted = 0;
  double running = t0;
  for (int i = 0; i < steps; ++i) {
    ASSERT_EQ(f.Times[i], t0 + i * h) << i;
    drifted += f.Times[i] != running;
    running += h;
  }
  EXPECT_GT(drifted, 0);
  EXPECT_NEAR(x[0], 0.6, 1e-14);
}

TEST(Euler, EmptyIntervalEvaluatesNothing) {
  Rhs f([](Vector &r, const Vector &, double) { r[0] = r[1] = 5; });
  Vector x(2);
  const Vector acc = EulerIntegrate(x, f, Of({3, -4}), 2.5, 2.5, 100);
  EXPECT_TRUE(f.Times.empty());
  EXPECT_EQ(x[0], 3);
  EXPECT_EQ(x[1], -4);
  ASSERT_EQ(acc.Size(), 2);
  EXPECT_EQ(acc[0], 0);
  EXPECT_EQ(acc[1], 0);
}

TEST(Euler, BackwardIntervalStepsBackward) {
  // x' = 1 integrated from t = 1 back to t = 0 subtracts 1.
  Rhs f([](Vector &r, const Vector &, double) { r[0] = 1; });
  Vector x(1);
  const Vector acc = EulerIntegrate(x, f, Of({2}), 1, 0, 100);
  EXPECT_NEAR(x[0], 1, 1e-14);
  EXPECT_NEAR(f.Times.back(), 0.01, 1e-15);
}

TEST(Euler, BadCallsRaiseInsteadOfReturningTheStart) {
  Rhs f([](Vector &r, const Vector &x, double) { r[0] = -x[0]; });
  Vector x(1), wide(2);
  EXPECT_THROW((void)EulerIntegrate(x, f, Of({1}), 0, 1, 0), rtl::EZeroDivide);
  EXPECT_THROW((void)EulerIntegrate(x, f, Of({1}), 0, 0, 0), rtl::EZeroDivide);
  EXPECT_THROW((void)EulerIntegrate(x, f, Of({1}), 0, 1, -5), workbench::ESizeError);
  EXPECT_THROW((void)EulerIntegrate(wide, f, Of({1}), 0, 1, 10), workbench::ESizeError);
  EXPECT_THROW((void)EulerIntegrate(x, f, Of({1, 2}), 0, 1, 10), workbench::ESizeError);
  EXPECT_TRUE(f.Times.empty());
}

TEST(Euler, BlowUpRaisesOverflow) {
  Rhs f([](Vector &r, const Vector &x, double) { r[0] = x[0] * x[0]; });
  Vector x(1);
  EXPECT_THROW((void)EulerIntegrate(x, f, Of({1}), 0, 100, 10), rtl::EOverflow);
}

} // namespace
