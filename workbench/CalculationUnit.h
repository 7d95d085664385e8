// The solver's small value classes: a row of doubles, a row of texts and a
// matrix of doubles, with just the operations the computations use.
//
// The results are compared bit for bit with earlier runs, so every sum is
// accumulated term by term in ascending index order, each partial sum
// rounded to double; nothing is reordered, fused or kept wider.
//
// Operands that are smaller than an operation needs raise ESizeError
// instead of reading or writing past their ends. A sum or product that
// leaves the double range raises EOverflow, a NaN raises EInvalidOp: the
// faults the arithmetic would have trapped on.
#pragma once

#include "platform/rtl/Exceptions.h"

#include <string>
#include <vector>

namespace workbench {

// Operands whose sizes do not fit the operation, or an output that is also
// an input the operation still reads.
class ESizeError : public rtl::Exception {
public:
  using Exception::Exception;
};

class Matrix;

class Vector {
public:
  // N zeros.
  explicit Vector(int N = 0);

  int Size() const noexcept { return static_cast<int>(elements_.size()); }
  const std::vector<double> &Elements() const noexcept { return elements_; }
  double *Data() noexcept { return elements_.data(); }
  const double *Data() const noexcept { return elements_.data(); }

  // Indexed from 0; an index outside 0..Size-1 raises ESizeError.
  double &operator[](int i);
  double operator[](int i) const;

  // The element-wise operations run over this vector's Size; Other may be
  // longer (its tail is not touched) but not shorter.
  void Assign(const Vector &Other);
  void Add(const Vector &Other);
  void Scale(double K);
  double Dot(const Vector &Other) const;

  // this[i] := sum over k < W.Size of M[i][k] * W[k], for i < Size.
  // M needs at least Size rows and W.Size columns; W must not be this.
  void SetProduct(const Matrix &M, const Vector &W);

private:
  std::vector<double> elements_;
};

class stringVector {
public:
  // N elements, each the text "0".
  explicit stringVector(int N = 0);

  int Size() const noexcept { return static_cast<int>(elements_.size()); }
  const std::vector<std::string> &Elements() const noexcept { return elements_; }

  std::string &operator[](int i);
  const std::string &operator[](int i) const;

private:
  std::vector<std::string> elements_;
};

class Matrix {
public:
  // Rows x Cols zeros, indexed [row][column] from 0.
  Matrix(int Rows = 0, int Cols = 0);

  int Rows() const noexcept { return rows_; }
  int Cols() const noexcept { return cols_; }

  // An index outside the matrix raises ESizeError.
  double &operator()(int row, int col);
  double operator()(int row, int col) const;

  // this[i][j] := Other[i][j] over this matrix's rows and columns.
  void Assign(const Matrix &Other);
  // Rows and Cols swap; element [j][i] becomes the old [i][j].
  void Transpose();
  // this[i][j] := V[i * Cols + j] for i < Rows, j < Cols (the given counts,
  // which this matrix must hold; its own shape does not change).
  void FillFromVector(const Vector &V, int Rows, int Cols);
  // R[i * B.Cols + j] := sum over k < A.Cols of A[i][k] * B[k][j]: the
  // product A*B row by row into the flat vector R.
  static void MultiplyToVector(Vector &R, const Matrix &A, const Matrix &B);

private:
  int rows_ = 0;
  int cols_ = 0;
  std::vector<double> elements_; // row by row
};

} // namespace workbench
