#include "workbench/CalculationUnit.h"

#include "platform/rtl/Conversions.h"
#include "workbench/FiniteCheck.h"

#include <utility>

namespace workbench {

namespace {

using rtl::IntToStr;

void NeedCount(const char *what, int count) {
  if (count < 0) throw ESizeError(std::string(what) + ": negative size " + IntToStr(count));
}

void NeedAtLeast(const char *operation, const char *operand, long long have, long long need) {
  if (have < need)
    throw ESizeError(std::string(operation) + ": " + operand + " has " + IntToStr(have) + " elements, " +
                     IntToStr(need) + " needed");
}

void NeedShape(const char *operation, const char *operand, const Matrix &m, int rows, int cols) {
  if (m.Rows() < rows || m.Cols() < cols)
    throw ESizeError(std::string(operation) + ": " + operand + " is " + IntToStr(m.Rows()) + "x" + IntToStr(m.Cols()) +
                     ", " + IntToStr(rows) + "x" + IntToStr(cols) + " needed");
}

[[noreturn]] void BadIndex(const char *what, int i, int size) {
  throw ESizeError(std::string(what) + " index " + IntToStr(i) + " outside 0.." + IntToStr(size - 1));
}

} // namespace

// ---- Vector ----------------------------------------------------------------

Vector::Vector(int N) {
  NeedCount("Vector", N);
  elements_.assign(static_cast<std::size_t>(N), 0.0);
}

double &Vector::operator[](int i) {
  if (i < 0 || i >= Size()) BadIndex("Vector", i, Size());
  return elements_[static_cast<std::size_t>(i)];
}

double Vector::operator[](int i) const {
  if (i < 0 || i >= Size()) BadIndex("Vector", i, Size());
  return elements_[static_cast<std::size_t>(i)];
}

void Vector::Assign(const Vector &Other) {
  NeedAtLeast("Vector.Assign", "the source", Other.Size(), Size());
  const double *o = Other.Data();
  for (int i = 0; i < Size(); ++i)
    elements_[i] = o[i];
}

void Vector::Add(const Vector &Other) {
  NeedAtLeast("Vector.Add", "the addend", Other.Size(), Size());
  const double *o = Other.Data();
  for (int i = 0; i < Size(); ++i)
    elements_[i] = Finite(elements_[i] + o[i]);
}

void Vector::Scale(double K) {
  for (int i = 0; i < Size(); ++i)
    elements_[i] = Finite(K * elements_[i]);
}

double Vector::Dot(const Vector &Other) const {
  NeedAtLeast("Vector.Dot", "the other vector", Other.Size(), Size());
  const double *o = Other.Data();
  double sum = 0;
  for (int i = 0; i < Size(); ++i)
    sum = Finite(sum + elements_[i] * o[i]);
  return sum;
}

void Vector::SetProduct(const Matrix &M, const Vector &W) {
  if (&W == this) throw ESizeError("Vector.SetProduct: the result cannot be the vector being multiplied");
  NeedShape("Vector.SetProduct", "the matrix", M, Size(), W.Size());
  const double *w = W.Data();
  for (int i = 0; i < Size(); ++i) {
    double sum = 0;
    for (int k = 0; k < W.Size(); ++k)
      sum = Finite(sum + M(i, k) * w[k]);
    elements_[i] = sum;
  }
}

// ---- stringVector ----------------------------------------------------------

stringVector::stringVector(int N) {
  NeedCount("stringVector", N);
  elements_.assign(static_cast<std::size_t>(N), "0");
}

std::string &stringVector::operator[](int i) {
  if (i < 0 || i >= Size()) BadIndex("stringVector", i, Size());
  return elements_[static_cast<std::size_t>(i)];
}

const std::string &stringVector::operator[](int i) const {
  if (i < 0 || i >= Size()) BadIndex("stringVector", i, Size());
  return elements_[static_cast<std::size_t>(i)];
}

// ---- Matrix ----------------------------------------------------------------

Matrix::Matrix(int Rows, int Cols) : rows_(Rows), cols_(Cols) {
  NeedCount("Matrix rows", Rows);
  NeedCount("Matrix columns", Cols);
  elements_.assign(static_cast<std::size_t>(Rows) * static_cast<std::size_t>(Cols), 0.0);
}

double &Matrix::operator()(int row, int col) {
  if (row < 0 || row >= rows_) BadIndex("Matrix row", row, rows_);
  if (col < 0 || col >= cols_) BadIndex("Matrix column", col, cols_);
  return elements_[static_cast<std::size_t>(row) * cols_ + col];
}

double Matrix::operator()(int row, int col) const {
  if (row < 0 || row >= rows_) BadIndex("Matrix row", row, rows_);
  if (col < 0 || col >= cols_) BadIndex("Matrix column", col, cols_);
  return elements_[static_cast<std::size_t>(row) * cols_ + col];
}

void Matrix::Assign(const Matrix &Other) {
  NeedShape("Matrix.Assign", "the source", Other, rows_, cols_);
  for (int i = 0; i < rows_; ++i)
    for (int j = 0; j < cols_; ++j)
      elements_[static_cast<std::size_t>(i) * cols_ + j] = Other(i, j);
}

void Matrix::Transpose() {
  std::vector<double> t(elements_.size());
  for (int i = 0; i < rows_; ++i)
    for (int j = 0; j < cols_; ++j)
      t[static_cast<std::size_t>(j) * rows_ + i] = elements_[static_cast<std::size_t>(i) * cols_ + j];
  elements_ = std::move(t);
  std::swap(rows_, cols_);
}

void Matrix::FillFromVector(const Vector &V, int Rows, int Cols) {
  NeedCount("Matrix.FillFromVector rows", Rows);
  NeedCount("Matrix.FillFromVector columns", Cols);
  NeedShape("Matrix.FillFromVector", "the matrix", *this, Rows, Cols);
  NeedAtLeast("Matrix.FillFromVector", "the vector", V.Size(), static_cast<long long>(Rows) * Cols);
  const double *v = V.Data();
  for (int i = 0; i < Rows; ++i)
    for (int j = 0; j < Cols; ++j)
      elements_[static_cast<std::size_t>(i) * cols_ + j] = v[i * Cols + j];
}

void Matrix::MultiplyToVector(Vector &R, const Matrix &A, const Matrix &B) {
  NeedShape("Matrix.MultiplyToVector", "the right factor", B, A.Cols(), B.Cols());
  NeedAtLeast("Matrix.MultiplyToVector", "the result", R.Size(), static_cast<long long>(A.Rows()) * B.Cols());
  double *r = R.Data();
  for (int i = 0; i < A.Rows(); ++i)
    for (int j = 0; j < B.Cols(); ++j) {
      double sum = 0;
      for (int k = 0; k < A.Cols(); ++k)
        sum = Finite(sum + A(i, k) * B(k, j));
      r[i * B.Cols() + j] = sum;
    }
}

} // namespace workbench
