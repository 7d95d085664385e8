#include "chart/series/UloSpline.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "chart/engine/UloGallery.h"
#include "chart/engine/UloSeries.h"
#include "chart/engine/UloValueList.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProCo.h"
#include "platform/rtl/Numbers.h"

// ---- the spline ---------------------------------------------------------------

void TBSpline::Clear() {
  controls_.clear();
  points_.assign(1, TBSplinePoint{});
  knots_.assign(1, 0);
  numPoints_ = 0;
  numControls_ = 0;
  built_ = false;
  interpolated_ = false;
  fragments_ = 100;
}

void TBSpline::AddPoint(double X, double Y) {
  points_.push_back({X, Y});
  knots_.push_back(0);
  ++numPoints_;
  built_ = false;
}

void TBSpline::SetKnot(int Index, bool Value) {
  // Index 0 is the unused slot before the first point; nothing lies beyond
  // the last point.
  if (Index < 0 || Index > numPoints_) return;
  knots_[static_cast<size_t>(Index)] = Value ? 1 : 0;
  built_ = false;
}

bool TBSpline::IsKnot(int Index) const noexcept {
  if (Index == 1 || Index == numPoints_) return false;
  if (Index < 0 || Index > numPoints_) return false;
  return knots_[static_cast<size_t>(Index)] != 0;
}

void TBSpline::SetInterpolated(bool Value) {
  if (interpolated_ == Value) return;
  interpolated_ = Value;
  built_ = false;
}

void TBSpline::SetFragments(int Value) noexcept { fragments_ = std::min(Value, MaxFragments); }

int TBSpline::NumControls() {
  if (!built_) Build();
  return numControls_;
}

TBSplinePoint TBSpline::Control(int K) {
  if (!built_) Build();
  if (K < 0 || static_cast<size_t>(K) >= controls_.size()) return {};
  return controls_[static_cast<size_t>(K)];
}

void TBSpline::Build() {
  built_ = true;
  if (numPoints_ <= 1) return;
  controls_.clear();
  // The count and the writes below use the same knot test, so a flag on an
  // end point (which is never a knot) cannot make them disagree.
  int n = 0;
  for (int i = 1; i <= numPoints_; ++i)
    n += IsKnot(i) ? 3 : 1;
  numControls_ = n;
  controls_.assign(static_cast<size_t>(n) + 2, TBSplinePoint{});
  size_t j = 0;
  for (int i = 1; i <= numPoints_; ++i) {
    const TBSplinePoint &p = points_[static_cast<size_t>(i)];
    if (IsKnot(i)) {
      controls_[j + 1] = p;
      controls_[j + 2] = p;
      j += 2;
    }
    controls_[j + 1] = p;
    ++j;
  }
  if (interpolated_) Interpolate();
  if (n > 1) {
    const size_t last = static_cast<size_t>(n);
    controls_[0] = {2 * controls_[1].X - controls_[2].X, 2 * controls_[1].Y - controls_[2].Y};
    controls_[last + 1] = {2 * controls_[last].X - controls_[last - 1].X,
                           2 * controls_[last].Y - controls_[last - 1].Y};
  }
}

namespace {

bool Coincide(const TBSplinePoint &a, const TBSplinePoint &b) {
  return std::fabs(b.X - a.X) < 1e-5 && std::fabs(b.Y - a.Y) < 1e-5;
}

} // namespace

// The system is tridiagonal: rows (1/6, 2/3, 1/6) with identity rows at
// both ends and around each knot. Eliminating only the sub-diagonal does
// exactly the arithmetic the full elimination does on the entries that
// matter (every other multiplier is an exact zero), so the result is the
// same to the bit in linear time and memory.
void TBSpline::Interpolate() {
  const int n = numControls_;
  if (n < 3) return;
  const size_t sn = static_cast<size_t>(n);
  std::vector<double> sub(sn + 1, 1.0 / 6), diag(sn + 1, 2.0 / 3), super(sn + 1, 1.0 / 6);
  auto identity = [&](size_t i) {
    sub[i] = 0;
    diag[i] = 1;
    super[i] = 0;
  };
  identity(1);
  identity(sn);
  for (size_t i = 3; i + 1 < sn;) {
    if (Coincide(controls_[i - 1], controls_[i]) && Coincide(controls_[i], controls_[i + 1])) {
      identity(i - 1);
      identity(i);
      identity(i + 1);
      i += 2;
    } else {
      ++i;
    }
  }
  std::vector<TBSplinePoint> &rhs = controls_;
  for (size_t i = 1; i < sn; ++i) {
    const double f = sub[i + 1] / diag[i];
    diag[i + 1] -= f * super[i];
    rhs[i + 1].X -= f * rhs[i].X;
    rhs[i + 1].Y -= f * rhs[i].Y;
  }
  // Back substitution in place: rhs[i + 1] already holds R[i + 1].
  rhs[sn].X = rhs[sn].X / diag[sn];
  rhs[sn].Y = rhs[sn].Y / diag[sn];
  for (size_t i = sn - 1; i >= 1; --i) {
    const double inv = 1 / diag[i];
    rhs[i].X = inv * (rhs[i].X - super[i] * rhs[i + 1].X);
    rhs[i].Y = inv * (rhs[i].Y - super[i] * rhs[i + 1].Y);
  }
}

TBSplinePoint TBSpline::Value(double t) {
  TBSplinePoint result;
  if (numPoints_ < 2) return result;
  if (!built_) Build();
  const int n = numControls_;
  const double u = (n - 1) * t + 1;
  const int first = std::max(0, rtl::ClampToInt(std::trunc(u - 1)));
  const int start = std::min(n + 1, first);
  for (int k = start; k <= first + 3; ++k) {
    const double d = std::fabs(k - u);
    // The distance test comes first: at t = 1 the loop reaches k = n + 2,
    // past the last phantom. A t outside 0..1 could reach further still.
    if (!(d < 2) || k > n + 1) continue;
    const double w = d >= 1 ? (2 - d) * (2 - d) * (2 - d) * (1.0 / 6) : 2.0 / 3 - d * d + 0.5 * d * d * d;
    const TBSplinePoint &c = controls_[static_cast<size_t>(k)];
    result.X += w * c.X;
    result.Y += w * c.Y;
  }
  return result;
}

// ---- the smoothing function -----------------------------------------------------

TSmoothingFunction::TSmoothingFunction() { SetDefaultPeriod(1); }

void TSmoothingFunction::SetFactor(int Value) { SetAndRecalculate(factor_, std::max(1, Value)); }

void TSmoothingFunction::AddPoints(TChartSeries *Source) {
  TChartSeries *parent = ParentSeries();
  if (!Source || !parent || Updating()) return;
  parent->ClearPoints();
  if (!parent->KeepOwnOrder()) {
    const bool same = parent->YMandatory() == Source->YMandatory();
    parent->NotMandatoryValueList()->SetOrder(same ? TChartListOrder::loAscending : TChartListOrder::loNone);
    parent->MandatoryValueList()->SetOrder(same ? TChartListOrder::loNone : TChartListOrder::loAscending);
    parent->SetCalcVisiblePoints(same);
  }
  const int count = Source->PointCount();
  if (count == 0) return;
  const TChartValueList &xs = *Source->XValues();
  const TChartValueList &values = ValueListOf(*Source);
  const bool yMandatory = parent->YMandatory();
  // A spline of one point is (0, 0) everywhere; the point itself is the
  // smoothest curve through it.
  if (count == 1) {
    if (yMandatory)
      parent->AddPointXY(xs.Value(0), values.Value(0), {}, clDefault);
    else
      parent->AddPointXY(values.Value(0), xs.Value(0), {}, clDefault);
    return;
  }
  TBSpline spline;
  for (int i = 0; i < count; ++i) {
    if (yMandatory)
      spline.AddPoint(xs.Value(i), values.Value(i));
    else
      spline.AddPoint(values.Value(i), xs.Value(i));
    spline.SetKnot(i, false);
  }
  spline.SetInterpolated(interpolate_);
  // In 64 bits: a large source times a large factor must still cap at 600.
  const int64_t fragments = std::min<int64_t>(TBSpline::MaxFragments, int64_t{count} * factor_);
  spline.SetFragments(static_cast<int>(fragments));
  const int n = spline.Fragments();
  for (int i = 0; i <= n; ++i) {
    const TBSplinePoint q = spline.Value(static_cast<double>(i) / n);
    if (yMandatory)
      parent->AddPointXY(q.X, q.Y, {}, clDefault);
    else
      parent->AddPointXY(q.Y, q.X, {}, clDefault);
  }
}

std::string TSmoothingFunction::GetEditorClass() const { return "TSmoothFuncEditor"; }

void TSmoothingFunction::Assign(const TUloFunction &Source) {
  TUloFunction::Assign(Source);
  if (auto *s = dynamic_cast<const TSmoothingFunction *>(&Source)) {
    interpolate_ = s->interpolate_;
    factor_ = s->factor_;
  }
}

void TSmoothingFunction::DefineProperties(streaming::TPropertyTable &table) {
  TUloFunction::DefineProperties(table);
  table.Property("Factor", this, &TSmoothingFunction::Factor, &TSmoothingFunction::SetFactor, 4);
  table.Property("Interpolate", this, &TSmoothingFunction::Interpolate, &TSmoothingFunction::SetInterpolate, true);
}

void RegisterUloSmoothingFunction() {
  RegisterUloFunction(UloClass<TSmoothingFunction>(), UloProFunctionSmoothing, UloMsgPageExtended, 1);
}

void UnregisterUloSmoothingFunction() { UnRegisterUloFunctions({UloClass<TSmoothingFunction>()}); }
