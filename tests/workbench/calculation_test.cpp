#include "workbench/CalculationUnit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

namespace {

using workbench::ESizeError;
using workbench::Matrix;
using workbench::stringVector;
using workbench::Vector;

std::mt19937 &Rng() {
  static std::mt19937 rng(20261207);
  return rng;
}

double RandomValue() { return std::uniform_real_distribution<double>(-10.0, 10.0)(Rng()); }
int RandomSize(int lo = 0, int hi = 7) { return std::uniform_int_distribution<int>(lo, hi)(Rng()); }

Vector RandomVector(int n) {
  Vector v(n);
  for (int i = 0; i < n; ++i)
    v[i] = RandomValue();
  return v;
}

Matrix RandomMatrix(int rows, int cols) {
  Matrix m(rows, cols);
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j)
      m(i, j) = RandomValue();
  return m;
}

// The product through the flat vector, the way the solver multiplies.
Matrix Product(const Matrix &a, const Matrix &b) {
  Vector flat(a.Rows() * b.Cols());
  Matrix::MultiplyToVector(flat, a, b);
  Matrix p(a.Rows(), b.Cols());
  p.FillFromVector(flat, a.Rows(), b.Cols());
  return p;
}

Matrix Transposed(Matrix m) {
  m.Transpose();
  return m;
}

// Equal bit for bit, which is what later comparisons of results need.
void ExpectSameBits(const Matrix &a, const Matrix &b) {
  ASSERT_EQ(a.Rows(), b.Rows());
  ASSERT_EQ(a.Cols(), b.Cols());
  for (int i = 0; i < a.Rows(); ++i)
    for (int j = 0; j < a.Cols(); ++j) {
      const double x = a(i, j), y = b(i, j);
      ASSERT_EQ(0, std::memcmp(&x, &y, sizeof(double))) << i << "," << j;
    }
}

TEST(MatrixIdentities, ProductTransposeIsTransposedProductsReversed) {
  for (int trial = 0; trial < 200; ++trial) {
    const int n = RandomSize(), k = RandomSize(), m = RandomSize();
    const Matrix a = RandomMatrix(n, k), b = RandomMatrix(k, m);
    ExpectSameBits(Transposed(Product(a, b)), Product(Transposed(b), Transposed(a)));
  }
}

TEST(MatrixIdentities, TransposingTwiceRestoresAndSwapsTheShape) {
  for (int trial = 0; trial < 100; ++trial) {
    const Matrix a = RandomMatrix(RandomSize(), RandomSize());
    const Matrix t = Transposed(a);
    ASSERT_EQ(t.Rows(), a.Cols());
    ASSERT_EQ(t.Cols(), a.Rows());
    for (int i = 0; i < a.Rows(); ++i)
      for (int j = 0; j < a.Cols(); ++j)
        ASSERT_EQ(t(j, i), a(i, j));
    ExpectSameBits(Transposed(t), a);
  }
}

TEST(MatrixIdentities, IdentityIsNeutralAndProductIsAssociativeUpToRounding) {
  for (int trial = 0; trial < 100; ++trial) {
    const int n = RandomSize(1), k = RandomSize(1), m = RandomSize(1), p = RandomSize(1);
    const Matrix a = RandomMatrix(n, k), b = RandomMatrix(k, m), c = RandomMatrix(m, p);
    Matrix id(k, k);
    for (int i = 0; i < k; ++i)
      id(i, i) = 1;
    ExpectSameBits(Product(a, id), a);
    const Matrix left = Product(Product(a, b), c), right = Product(a, Product(b, c));
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < p; ++j)
        ASSERT_NEAR(left(i, j), right(i, j), 1e-9 * (1 + std::abs(left(i, j))));
  }
}

TEST(VectorIdentities, MatrixTimesVectorAgreesWithTheFlatProductOfAColumn) {
  for (int trial = 0; trial < 200; ++trial) {
    const int rows = RandomSize(), cols = RandomSize();
    const Matrix m = RandomMatrix(rows, cols);
    const Vector w = RandomVector(cols);
    Matrix column(cols, 1);
    for (int k = 0; k < cols; ++k)
      column(k, 0) = w[k];
    Vector flat(rows);
    Matrix::MultiplyToVector(flat, m, column);
    Vector r(rows);
    r.SetProduct(m, w);
    for (int i = 0; i < rows; ++i)
      ASSERT_EQ(r[i], flat[i]);
    // Each element is the dot product of its row with w.
    for (int i = 0; i < rows; ++i) {
      Vector row(cols);
      for (int k = 0; k < cols; ++k)
        row[k] = m(i, k);
      ASSERT_EQ(r[i], row.Dot(w));
    }
  }
}

TEST(VectorIdentities, DotIsSymmetricAndScaleByTwoIsAddingToItself) {
  for (int trial = 0; trial < 200; ++trial) {
    const int n = RandomSize(0, 12);
    const Vector a = RandomVector(n), b = RandomVector(n);
    ASSERT_EQ(a.Dot(b), b.Dot(a));
    Vector twice = a, sum = a;
    twice.Scale(2);
    sum.Add(a);
    for (int i = 0; i < n; ++i)
      ASSERT_EQ(twice[i], sum[i]);
    // |a|^2 is never negative and 0 only for the zero vector.
    ASSERT_GE(a.Dot(a), 0.0);
  }
}

// Each partial sum is rounded to double in ascending order: the 1 is lost
// against 1e16 before the -1e16 arrives. A wider accumulator, a
// compensated sum or a reordering would give 1.
TEST(SumOrder, PartialSumsAreRoundedToDoubleLeftToRight) {
  Vector a(3), ones(3);
  a[0] = 1e16;
  a[1] = 1;
  a[2] = -1e16;
  for (int i = 0; i < 3; ++i)
    ones[i] = 1;
  EXPECT_EQ(a.Dot(ones), 0.0);

  Matrix row(1, 3);
  for (int k = 0; k < 3; ++k)
    row(0, k) = a[k];
  Vector r(1);
  r.SetProduct(row, ones);
  EXPECT_EQ(r[0], 0.0);
  Matrix col(3, 1);
  for (int k = 0; k < 3; ++k)
    col(k, 0) = 1;
  Matrix::MultiplyToVector(r, row, col);
  EXPECT_EQ(r[0], 0.0);

  // Cancelling first keeps the 1.
  a[1] = -1e16;
  a[2] = 1;
  EXPECT_EQ(a.Dot(ones), 1.0);
}

TEST(Shapes, CreationAndTheStatedLoopBounds) {
  const stringVector s(3);
  ASSERT_EQ(s.Size(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(s[i], "0");

  Vector empty(0);
  EXPECT_EQ(empty.Dot(empty), 0.0);
  empty.Add(RandomVector(3)); // nothing to do, and nothing read past its end
  empty.Scale(5);

  // Assign copies only this vector's size from a longer one.
  Vector shorter(2);
  const Vector longer = RandomVector(5);
  shorter.Assign(longer);
  EXPECT_EQ(shorter.Size(), 2);
  EXPECT_EQ(shorter[0], longer[0]);
  EXPECT_EQ(shorter[1], longer[1]);

  // FillFromVector uses the given counts, not the matrix's own, and leaves
  // the rest of the matrix alone.
  Matrix m(3, 4);
  m(2, 3) = 7;
  Vector v(6);
  for (int i = 0; i < 6; ++i)
    v[i] = i + 1;
  m.FillFromVector(v, 2, 3);
  EXPECT_EQ(m.Rows(), 3);
  EXPECT_EQ(m.Cols(), 4);
  EXPECT_EQ(m(0, 0), 1);
  EXPECT_EQ(m(0, 2), 3);
  EXPECT_EQ(m(1, 0), 4);
  EXPECT_EQ(m(1, 2), 6);
  EXPECT_EQ(m(0, 3), 0);
  EXPECT_EQ(m(2, 3), 7);

  // A 2x3 times a 3x2 fills four elements, row 0 first.
  Matrix a(2, 3), b(3, 2);
  for (int i = 0; i < 2; ++i)
    for (int k = 0; k < 3; ++k)
      a(i, k) = 10 * i + k;
  for (int k = 0; k < 3; ++k)
    for (int j = 0; j < 2; ++j)
      b(k, j) = k == j ? 1 : 0;
  Vector flat(4);
  Matrix::MultiplyToVector(flat, a, b);
  EXPECT_EQ(flat[0], 0);
  EXPECT_EQ(flat[1], 1);
  EXPECT_EQ(flat[2], 10);
  EXPECT_EQ(flat[3], 11);
}

TEST(Shapes, OperandsTooSmallAreRefusedBeforeAnythingIsWritten) {
  struct Case {
    const char *what;
    std::function<void()> call;
  };
  Vector three = RandomVector(3), two = RandomVector(2);
  Matrix m23 = RandomMatrix(2, 3), m32 = RandomMatrix(3, 2);
  const Vector threeBefore = three;
  const Case cases[] = {
      {"negative vector size", [] { Vector v(-1); }},
      {"negative string vector size", [] { stringVector v(-2); }},
      {"negative matrix shape", [] { Matrix m(2, -1); }},
      {"index past the end", [&] { three[3] = 1; }},
      {"negative index", [&] { (void)three[-1]; }},
      {"matrix row past the end", [&] { m23(2, 0) = 1; }},
      {"matrix column past the end", [&] { (void)m23(0, 3); }},
      {"assign from shorter", [&] { three.Assign(two); }},
      {"add shorter", [&] { three.Add(two); }},
      {"dot with shorter", [&] { (void)three.Dot(two); }},
      {"product with too few matrix rows", [&] { three.SetProduct(m23, RandomVector(3)); }},
      {"product with too few matrix columns", [&] { two.SetProduct(m23, RandomVector(4)); }},
      {"product into its own operand", [&] { three.SetProduct(RandomMatrix(3, 3), three); }},
      {"matrix assign from smaller",
       [&] {
         Matrix big(3, 3);
         big.Assign(m23);
       }},
      {"fill past the matrix", [&] { m23.FillFromVector(RandomVector(9), 3, 3); }},
      {"fill from short vector", [&] { m23.FillFromVector(two, 2, 3); }},
      {"inner sizes differ",
       [&] {
         Vector r(9);
         Matrix::MultiplyToVector(r, m23, m23);
       }},
      {"result too short",
       [&] {
         Vector r(3);
         Matrix::MultiplyToVector(r, m23, m32);
       }},
  };
  for (const auto &c : cases) {
    EXPECT_THROW(c.call(), ESizeError) << c.what;
    for (int i = 0; i < 3; ++i)
      ASSERT_EQ(three[i], threeBefore[i]) << c.what;
  }
  try {
    three.Add(two);
  } catch (const ESizeError &e) {
    EXPECT_NE(e.Message().find("Vector.Add"), std::string::npos) << e.Message();
    EXPECT_NE(e.Message().find("2 elements, 3 needed"), std::string::npos) << e.Message();
  }
}

TEST(Faults, ResultsBeyondTheDoubleRangeRaiseOverflow) {
  Vector big(2), other(2);
  big[0] = 1e300;
  big[1] = -1e300;
  other[0] = 1e300;
  other[1] = 1e300;
  // The first partial sum overflows; it must not turn into an invalid
  // operation when the second term cancels the infinity.
  EXPECT_THROW((void)big.Dot(other), rtl::EOverflow);
  EXPECT_THROW(big.Scale(1e10), rtl::EOverflow);
  Vector huge(1);
  huge[0] = 1.7e308;
  EXPECT_THROW(huge.Add(huge), rtl::EOverflow);
  Matrix m(1, 1);
  m(0, 0) = 1e200;
  Vector w(1), r(1);
  w[0] = 1e200;
  EXPECT_THROW(r.SetProduct(m, w), rtl::EOverflow);
  EXPECT_THROW(Matrix::MultiplyToVector(r, m, m), rtl::EOverflow);
  // A NaN that reaches the arithmetic is not passed on.
  Vector nan(1);
  nan[0] = std::nan("");
  EXPECT_THROW(nan.Scale(1), rtl::EInvalidOp);
}

} // namespace
