#include "workbench/CalculationUnit.h"
#include "workbench/MethodUnit.h"

#include "parser/FormulaParser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>

namespace {

using namespace workbench;

std::mt19937 rng(20261207);

Vector Of(std::initializer_list<double> values) {
  Vector v(static_cast<int>(values.size()));
  int i = 0;
  for (double x : values)
    v[i++] = x;
  return v;
}

Matrix Random(int rows, int cols) {
  Matrix m(rows, cols);
  for (int i = 0; i < rows * cols; ++i)
    m(i / cols, i % cols) = std::uniform_real_distribution<double>(-10, 10)(rng);
  return m;
}

// The product the way the solver forms it: a flat vector, then a matrix.
Matrix Product(const Matrix &a, const Matrix &b) {
  Vector flat(a.Rows() * b.Cols());
  Matrix::MultiplyToVector(flat, a, b);
  Matrix p(a.Rows(), b.Cols());
  p.FillFromVector(flat, a.Rows(), b.Cols());
  return p;
}

Matrix T(Matrix m) {
  m.Transpose();
  return m;
}

// With every sum in ascending order these identities hold bit for bit.
TEST(MatrixIdentities, HoldExactlyOnRandomSizes) {
  for (int trial = 0; trial < 200; ++trial) {
    const int n = rng() % 8, k = rng() % 8, m = rng() % 8;
    const Matrix a = Random(n, k), b = Random(k, m);
    const Matrix left = T(Product(a, b)), right = Product(T(b), T(a));
    ASSERT_EQ(left.Rows(), m);
    ASSERT_EQ(left.Cols(), n);
    for (int i = 0; i < m * n; ++i)
      ASSERT_EQ(left(i / n, i % n), right(i / n, i % n));
  }
}

// Term by term from the first: the first 1 is lost against 1e16 and the
// second too, so the sum is 0. Another order keeps one of them, a wider or
// compensated accumulator both.
TEST(SumOrder, EveryPartialSumIsRoundedToDouble) {
  Vector a = Of({1, 1e16, 1, -1e16}), ones = Of({1, 1, 1, 1}), r(1);
  Matrix row(1, 4), col(4, 1);
  for (int k = 0; k < 4; ++k) {
    row(0, k) = a[k];
    col(k, 0) = 1;
  }
  EXPECT_EQ(a.Dot(ones), 0.0);
  r.SetProduct(row, ones);
  EXPECT_EQ(r[0], 0.0);
  Matrix::MultiplyToVector(r, row, col);
  EXPECT_EQ(r[0], 0.0);
}

TEST(Refusals, SizesThatDoNotFitAndResultsOutsideTheDoubleRange) {
  EXPECT_EQ(stringVector(2).Elements(), (std::vector<std::string>{"0", "0"}));
  Vector three = Of({5, 0, 0}), two(2), longer(5), nan = Of({std::nan("")});
  longer[1] = 4;
  two.Assign(longer); // a longer source is fine
  EXPECT_EQ(two.Elements(), (std::vector<double>{0, 4}));
  Matrix m23(2, 3);
  const std::function<void()> tooSmall[] = {
      [] { Vector v(-1); },
      [&] { three[3] = 1; },
      [&] { (void)m23(0, 3); },
      [&] { three.Add(two); },
      [&] { (void)three.Dot(two); },
      [&] { three.SetProduct(m23, Vector(3)); },
      [&] { three.SetProduct(Matrix(3, 3), three); }, // reads what it writes
      [&] { m23.FillFromVector(Vector(9), 3, 3); },
      [&] { Matrix::MultiplyToVector(three, m23, Matrix(3, 2)); },
  };
  for (const auto &call : tooSmall) {
    EXPECT_THROW(call(), ESizeError);
    ASSERT_EQ(three.Elements(), (std::vector<double>{5, 0, 0}));
  }
  // The first partial sum overflows; the second must not turn that into an
  // invalid operation.
  const Vector big = Of({1e300, -1e300}), other = Of({1e300, 1e300});
  Matrix row(1, 2);
  row(0, 0) = row(0, 1) = 1e300;
  EXPECT_THROW((void)big.Dot(other), rtl::EOverflow);
  EXPECT_THROW(Vector(1).SetProduct(row, other), rtl::EOverflow);
  EXPECT_THROW(three.Scale(1e308), rtl::EOverflow);
  EXPECT_THROW(nan.Scale(1), rtl::EInvalidOp);
}

// ---- Euler steps and formula functions --------------------------------------

// x' = 1, recording the times it is asked at.
struct Recorder : AbstVFunc {
  void Evaluate(Vector &Result, const Vector &, double T) override {
    Times.push_back(T);
    Result[0] = 1;
  }
  std::vector<double> Times;
};

TEST(Euler, MatchesTheClosedFormOfTheScheme) {
  // A double integrator from rest, x1' = x2, x2' = 1: x2_i = i h and
  // x1_i = h^2 i(i-1)/2; the accumulator sums h x_i for i = 1..N.
  const int n = 100;
  const double h = 1.0 / n;
  VFunc push({"x_2", "1"}, "x", 2);
  Vector y(2);
  const Vector acc = EulerIntegrate(y, push, Of({0, 0}), 0, 1, n);
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
  // Bad calls raise instead of handing back the start.
  EXPECT_THROW((void)EulerIntegrate(x, none, Of({1}), 0, 1, 0), rtl::EZeroDivide);
  EXPECT_THROW((void)EulerIntegrate(x, none, Of({1}), 0, 1, -5), ESizeError);
  EXPECT_THROW((void)EulerIntegrate(x, none, Of({1, 2}), 0, 1, 10), ESizeError);
  EXPECT_TRUE(none.Times.empty());
  VFunc blowUp({"x_1*x_1"}, "x", 1);
  EXPECT_THROW((void)EulerIntegrate(x, blowUp, Of({1}), 0, 100, 10), rtl::EOverflow);
}

TEST(VFunc, EvaluatesLikeAFreshParserSetByName) {
  const std::string text = "sin(x_1)/3+x_2^0.5*t-exp(-x_1*x_2)";
  VFunc f({text}, "x", 2);
  Vector r(1);
  std::uniform_real_distribution<double> value(0.1, 5.0);
  for (int trial = 0; trial < 100; ++trial) {
    const Vector x = Of({value(rng), value(rng)});
    const double t = value(rng);
    f.Evaluate(r, x, t);
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
  VFunc f({"1/x_1", "x_2*1e308"}, "x", 2);
  Vector r(2), one(1), same = Of({1, 2});
  EXPECT_THROW(f.Evaluate(r, Of({0, 1}), 0), rtl::EZeroDivide);
  // A value beyond the double range is an overflow.
  EXPECT_THROW(f.Evaluate(r, Of({1, 10}), 0), rtl::EOverflow);
  EXPECT_THROW(f.Evaluate(one, Of({1, 2}), 0), ESizeError);
  EXPECT_THROW(f.Evaluate(r, one, 0), ESizeError);
  EXPECT_THROW(f.Evaluate(same, same, 0), ESizeError);
  f.Evaluate(r, Of({4, 0, 6}), 0);
  EXPECT_EQ(r.Elements(), (std::vector<double>{0.25, 0}));
}

} // namespace
