#include "workbench/CalculationUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

namespace {

using workbench::Matrix;
using workbench::Vector;

std::mt19937 rng(20261207);

double Value() { return std::uniform_real_distribution<double>(-10, 10)(rng); }

Matrix Random(int rows, int cols) {
  Matrix m(rows, cols);
  for (int i = 0; i < rows * cols; ++i)
    m(i / cols, i % cols) = Value();
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
    const Matrix a = Random(n, k), b = Random(k, m), w = Random(k, 1);
    const Matrix left = T(Product(a, b)), right = Product(T(b), T(a)), aw = Product(a, w);
    ASSERT_EQ(left.Rows(), m);
    ASSERT_EQ(left.Cols(), n);
    for (int i = 0; i < m * n; ++i)
      ASSERT_EQ(left(i / n, i % n), right(i / n, i % n));
    // Matrix times vector is the product with a column.
    Vector wv(k), r(n);
    for (int j = 0; j < k; ++j)
      wv[j] = w(j, 0);
    r.SetProduct(a, wv);
    for (int i = 0; i < n; ++i)
      ASSERT_EQ(r[i], aw(i, 0));
  }
}

// The 1 is lost against 1e16 before -1e16 arrives; a wider or compensated
// accumulator, or another order, would keep it.
TEST(SumOrder, EveryPartialSumIsRoundedToDouble) {
  Vector a(3), ones(3), r(1);
  Matrix row(1, 3), col(3, 1);
  const double terms[] = {1e16, 1, -1e16};
  for (int k = 0; k < 3; ++k) {
    a[k] = row(0, k) = terms[k];
    ones[k] = col(k, 0) = 1;
  }
  EXPECT_EQ(a.Dot(ones), 0.0);
  r.SetProduct(row, ones);
  EXPECT_EQ(r[0], 0.0);
  Matrix::MultiplyToVector(r, row, col);
  EXPECT_EQ(r[0], 0.0);
}

TEST(Shapes, OnlyWhatTheOperandsHoldIsTouched) {
  EXPECT_EQ(workbench::stringVector(2).Elements(), (std::vector<std::string>{"0", "0"}));
  Vector three(3), two(2), longer(5);
  longer[1] = 4;
  two.Assign(longer); // a longer source is fine
  EXPECT_EQ(two.Elements(), (std::vector<double>{0, 4}));
  three[0] = 5;
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
      [&] { Matrix::MultiplyToVector(three, m23, m23); },
      [&] { Matrix::MultiplyToVector(three, m23, Matrix(3, 2)); },
  };
  for (const auto &call : tooSmall) {
    EXPECT_THROW(call(), workbench::ESizeError);
    ASSERT_EQ(three.Elements(), (std::vector<double>{5, 0, 0}));
  }
}

TEST(Faults, ResultsOutsideTheDoubleRangeRaise) {
  Vector big(2), other(2), nan(1);
  big[0] = other[0] = other[1] = 1e300;
  big[1] = -1e300;
  nan[0] = std::nan("");
  // The first partial sum overflows; the second must not turn that into an
  // invalid operation.
  EXPECT_THROW((void)big.Dot(other), rtl::EOverflow);
  EXPECT_THROW(big.Scale(1e10), rtl::EOverflow);
  EXPECT_THROW(nan.Scale(1), rtl::EInvalidOp);
}

} // namespace
