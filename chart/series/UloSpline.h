// A uniform cubic B-spline through (interpolating) or near (approximating)
// a sequence of 2D points, where a knot point gives the curve a corner; and
// the smoothing function that fills a series with such a curve through its
// source's points. The contour series smooths its lines with the same
// spline.
#pragma once

#include <vector>

#include "chart/engine/UloFunction.h"

struct TBSplinePoint {
  double X = 0;
  double Y = 0;
  bool operator==(const TBSplinePoint &) const = default;
};

class TBSpline {
public:
  // The most pieces a caller may ask for.
  static constexpr int MaxFragments = 600;

  TBSpline() { Clear(); }

  void Clear();
  void AddPoint(double X, double Y);
  // Index counts data points from 1.
  void SetKnot(int Index, bool Value);
  // False for the first and the last data point.
  bool IsKnot(int Index) const noexcept;

  int NumPoints() const noexcept { return numPoints_; }
  // The control points without the two end phantoms; builds when needed.
  int NumControls();
  bool Interpolated() const noexcept { return interpolated_; }
  void SetInterpolated(bool Value);
  int Fragments() const noexcept { return fragments_; }
  // At most MaxFragments.
  void SetFragments(int Value) noexcept;

  // The curve point at t, 0 to 1; (0, 0) with fewer than 2 data points.
  TBSplinePoint Value(double t);

  // Control K, 0 to NumControls + 1 (the ends are the phantoms); builds
  // when needed.
  TBSplinePoint Control(int K);

private:
  void Build();
  // Solves the interpolation system for controls 1..n in place.
  void Interpolate();

  int numPoints_ = 0;
  int numControls_ = 0;
  bool built_ = false;
  bool interpolated_ = false;
  int fragments_ = 100;
  // Data points from index 1 (index 0 unused) and their knot flags.
  std::vector<TBSplinePoint> points_;
  std::vector<unsigned char> knots_;
  std::vector<TBSplinePoint> controls_;
};

class TSmoothingFunction : public TUloFunction {
public:
  TSmoothingFunction();
  std::string_view ClassName() const override { return "TSmoothingFunction"; }

  bool Interpolate() const noexcept { return interpolate_; }
  void SetInterpolate(bool Value) { SetAndRecalculate(interpolate_, Value); }
  int Factor() const noexcept { return factor_; }
  // Stores at least 1.
  void SetFactor(int Value);

  void AddPoints(TChartSeries *Source) override;
  std::string GetEditorClass() const override;
  void Assign(const TUloFunction &Source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  bool interpolate_ = true;
  int factor_ = 4;
};

// Registers the smoothing function on the gallery page "Extended"; the
// unregistering removes it.
void RegisterUloSmoothingFunction();
void UnregisterUloSmoothingFunction();
