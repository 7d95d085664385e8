#include "chart/engine/UloAxis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloSeries.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProcs.h"
#include "chart/foundation/UloStoredParts.h"

namespace {

// A growth or halving loop that has not ended after this many rounds is
// stalled (a double's exponent range is about 2100 halvings or steps).
constexpr int kMaxLoopRounds = 5000;

int ClampPos(long long value) noexcept {
  const long long m = UloMaxPixel;
  return static_cast<int>(value > m ? m : (value < -m ? -m : value));
}

int ClampRound(double value, double maxPixel) noexcept {
  value = value < maxPixel ? value : maxPixel;
  value = value > -maxPixel ? value : -maxPixel;
  return static_cast<int>(rtl::RoundHalfEvenSmall(value));
}

} // namespace

// ---- free functions --------------------------------------------------------------------

double UloNextStep(double x) noexcept {
  if (!(x > 0) || std::isinf(x)) return 1;
  if (x >= 10) return 10 * UloNextStep(x * 0.1);
  if (x >= 5) return 10;
  if (x >= 2) return 5;
  if (x >= 1) return 2;
  return UloNextStep(x * 10) * 0.1;
}

// ---- pens -----------------------------------------------------------------------------

TChartAxisPen::TChartAxisPen(TUloChangeEvent onChange) : TChartPen(std::move(onChange)) {
  TUloChangeEvent keep = std::move(OnChange);
  SetWidth(2);
  OnChange = std::move(keep);
}

void TChartAxisPen::Assign(const TPen &source) {
  if (auto *p = dynamic_cast<const TChartAxisPen *>(&source)) lineMode_ = p->lineMode_;
  TChartPen::Assign(source);
}

TAxisGridPen::TAxisGridPen(TUloChangeEvent onChange) : TDottedGrayPen(std::move(onChange)) {}

void TAxisGridPen::Assign(const TPen &source) {
  if (auto *p = dynamic_cast<const TAxisGridPen *>(&source)) {
    centered_ = p->centered_;
    drawEvery_ = p->drawEvery_;
    zPosition_ = p->zPosition_;
  }
  TDottedGrayPen::Assign(source);
}

// ---- title ------------------------------------------------------------------------------

TChartAxisTitle::TChartAxisTitle(TCustomUloPanel *chart) : TUloCustomShape(chart) { SetDefaultTransparent(true); }

void TChartAxisTitle::Assign(const TUloCustomShapeBrushPen &source) {
  if (auto *t = dynamic_cast<const TChartAxisTitle *>(&source)) {
    angle_ = t->angle_;
    caption_ = t->caption_;
  }
  TUloCustomShape::Assign(source);
}

void TChartAxisTitle::SetAngle(int value) { SetAndRepaint(angle_, NormalAngle(value)); }

bool TChartAxisTitle::Clicked(int x, int y) const {
  if (!Visible() || caption_.empty()) return false;
  const TPoint p{x, y};
  if (angle_ != 0) {
    TFourPoints corners = DrawRectRotated(ShapeBounds, angle_);
    return PointInPolygon(p, std::span<const TPoint>(corners.data(), corners.size()));
  }
  return x >= ShapeBounds.Left && x <= ShapeBounds.Right && y >= ShapeBounds.Top && y <= ShapeBounds.Bottom;
}

// ---- custom labels -----------------------------------------------------------------------

TAxisItem::TAxisItem(TAxisItems *owner)
    : TUloCustomShape(owner && owner->Axis() ? owner->Axis()->ParentChart() : nullptr), owner_(owner) {
  SetDefaultTransparent(true);
}

TAxisItems::TAxisItems(TChartAxis *axis) : axis_(axis) {
  format_ = std::make_unique<TUloShape>(nullptr);
  format_->SetTransparent(true);
}

TAxisItems::~TAxisItems() = default;

TAxisItem &TAxisItems::NewItem(double value) {
  auto item = std::make_unique<TAxisItem>(this);
  item->SetValue(value);
  item->Font().Assign(format_->Font());
  items_.push_back(std::move(item));
  return *items_.back();
}

TAxisItem &TAxisItems::Add(double value) {
  automatic_ = false;
  TAxisItem &item = NewItem(value);
  if (axis_) axis_->Repaint();
  return item;
}

TAxisItem &TAxisItems::Add(double value, const std::string &text) {
  TAxisItem &item = Add(value);
  item.SetText(text);
  return item;
}

void TAxisItems::Clear() {
  items_.clear();
  if (axis_) axis_->Repaint();
}

void TAxisItems::Assign(const TAxisItems &source) {
  if (&source == this) return;
  format_->Assign(*source.format_);
  Clear();
  for (const auto &item : source.items_)
    Add(item->Value(), item->Text());
}

void TAxisItems::Record(double value, const std::string &text) {
  TAxisItem &item = NewItem(value);
  item.SetText(text);
}

void TAxisItems::StoredClear() { items_.clear(); }

streaming::TPersistent &TAxisItems::StoredAdd(const std::string &, streaming::TReadContext &) {
  automatic_ = false;
  return NewItem(0);
}

// ---- the axis: construction and settings -----------------------------------------------

TChartAxis::TChartAxis(TCustomAxisPanel *chart) : parentChart_(chart) {
  auto changed = [this] { Invalidate(); };
  axisPen_ = std::make_unique<TChartAxisPen>(changed);
  title_ = std::make_unique<TChartAxisTitle>(chart);
  grid_ = std::make_unique<TAxisGridPen>(changed);
  items_ = std::make_unique<TAxisItems>(this);
  minorGrid_ = std::make_unique<TChartHiddenPen>(changed);
  minorTicks_ = std::make_unique<TDarkGrayPen>(changed);
  ticks_ = std::make_unique<TDarkGrayPen>(changed);
  ticksInner_ = std::make_unique<TDarkGrayPen>(changed);
  axisValuesFormat_ = UloMsgDefValueFormat;
  SetCalcPosFunctions();
}

TChartAxis::~TChartAxis() = default;

void TChartAxis::SetParentChart(TCustomAxisPanel *chart) {
  parentChart_ = chart;
  title_->SetParent(chart);
  for (int i = 0; i < items_->Count(); ++i)
    items_->Items(i).SetParent(chart);
}

void TChartAxis::Invalidate() {
  if (parentChart_) parentChart_->Invalidate();
}

bool TChartAxis::IsLoading() const { return parentChart_ && parentChart_->Loading(); }

void TChartAxis::Assign(const TChartAxis &source) {
  if (&source == this) return;
  automatic_ = source.automatic_;
  automaticMaximum_ = source.automaticMaximum_;
  automaticMinimum_ = source.automaticMinimum_;
  increment_ = source.increment_;
  maximum_ = source.maximum_;
  minimum_ = source.minimum_;
  logarithmic_ = source.logarithmic_;
  logarithmicBase_ = source.logarithmicBase_;
  maximumOffset_ = source.maximumOffset_;
  minimumOffset_ = source.minimumOffset_;
  maximumRound_ = source.maximumRound_;
  minimumRound_ = source.minimumRound_;
  axisPen_->Assign(*source.axisPen_);
  zPosition_ = source.zPosition_;
  title_->Assign(*source.title_);
  titleSize_ = source.titleSize_;
  grid_->Assign(*source.grid_);
  labelsAlign_ = source.labelsAlign_;
  labelsAlternate_ = source.labelsAlternate_;
  labelsAngle_ = source.labelsAngle_;
  if (!source.items_->Automatic())
    items_->Assign(*source.items_);
  else
    items_->Format().Assign(source.items_->Format());
  labelsOnAxis_ = source.labelsOnAxis_;
  labelsSeparation_ = source.labelsSeparation_;
  labelsSize_ = source.labelsSize_;
  labelStyle_ = source.labelStyle_;
  labelsExponent_ = source.labelsExponent_;
  labelsMultiLine_ = source.labelsMultiLine_;
  roundFirstLabel_ = source.roundFirstLabel_;
  axisValuesFormat_ = source.axisValuesFormat_;
  dateTimeFormat_ = source.dateTimeFormat_;
  exactDateTime_ = source.exactDateTime_;
  minorGrid_->Assign(*source.minorGrid_);
  minorTickCount_ = source.minorTickCount_;
  minorTickLength_ = source.minorTickLength_;
  minorTicks_->Assign(*source.minorTicks_);
  ticks_->Assign(*source.ticks_);
  ticksInner_->Assign(*source.ticksInner_);
  tickInnerLength_ = source.tickInnerLength_;
  tickLength_ = source.tickLength_;
  tickOnLabelsOnly_ = source.tickOnLabelsOnly_;
  inverted_ = source.inverted_;
  visible_ = source.visible_;
  startPosition_ = source.startPosition_;
  endPosition_ = source.endPosition_;
  positionPercent_ = source.positionPercent_;
  positionUnits_ = source.positionUnits_;
  OnDrawLabel = source.OnDrawLabel;
  SetCalcPosFunctions();
  Invalidate();
}

void TChartAxis::SetAutomatic(bool value) {
  bool changed = automatic_ != value;
  automatic_ = value;
  if (!IsLoading()) {
    changed = changed || automaticMinimum_ != value || automaticMaximum_ != value;
    automaticMinimum_ = value;
    automaticMaximum_ = value;
  }
  if (changed) Invalidate();
}

void TChartAxis::SetAutomaticMaximum(bool value) {
  if (!UloStoreIfChanged(automaticMaximum_, value)) return;
  if (!value)
    automatic_ = false;
  else if (automaticMinimum_)
    automatic_ = true;
  Invalidate();
}

void TChartAxis::SetAutomaticMinimum(bool value) {
  if (!UloStoreIfChanged(automaticMinimum_, value)) return;
  if (!value)
    automatic_ = false;
  else if (automaticMaximum_)
    automatic_ = true;
  Invalidate();
}

void TChartAxis::SetIncrement(double value) {
  // NaN is no increment either: it would stall every label loop.
  if (!(value >= 0)) throw AxisException(UloMsgAxisIncrementNeg);
  SetAndInvalidate(increment_, value);
}

void TChartAxis::SetMaximum(double value) {
  if (!IsLoading() && value < minimum_) throw AxisException(UloMsgAxisMaxMin);
  SetAndInvalidate(maximum_, value);
}

void TChartAxis::SetMinimum(double value) {
  if (!IsLoading() && value > maximum_) throw AxisException(UloMsgAxisMinMax);
  SetAndInvalidate(minimum_, value);
}

void TChartAxis::SetLogarithmic(bool value) {
  if (value == logarithmic_) return;
  if (value) {
    if (CalcIsDateTime()) throw AxisException(UloMsgAxisLogDateTime);
    AdjustMaxMin();
    if (IMinimum < 0 || IMaximum < 0) throw AxisException(UloMsgAxisLogNotPositive);
  }
  logarithmic_ = value;
  SetCalcPosFunctions();
  Invalidate();
}

void TChartAxis::SetLogarithmicBase(double value) {
  if (!(value > 0) || value == 1) throw AxisException(UloMsgAxisLogBase);
  SetAndInvalidate(logarithmicBase_, value);
}

void TChartAxis::SetInverted(bool value) {
  if (!UloStoreIfChanged(inverted_, value)) return;
  SetCalcPosFunctions();
  Invalidate();
}

void TChartAxis::SetLabelsAngle(int value) { SetAndInvalidate(labelsAngle_, TChartAxisTitle::NormalAngle(value)); }

void TChartAxis::SetLabelsSeparation(int value) {
  if (value < 0) throw AxisException(UloMsgAxisLabelSep);
  SetAndInvalidate(labelsSeparation_, value);
}

bool TChartAxis::Labels() const noexcept { return items_->Format().Visible(); }

void TChartAxis::SetLabels(bool value) {
  if (items_->Format().Visible() == value) return;
  items_->Format().SetVisible(value);
  Invalidate();
}

TUloFont &TChartAxis::LabelsFont() noexcept { return items_->Format().Font(); }

void TChartAxis::SetLabelsFont(const TFont &value) {
  LabelsFont().Assign(value);
  Invalidate();
}

void TChartAxis::SetFastCalc(bool value) {
  fastCalc_ = value;
  SetCalcPosFunctions();
}

// ---- range --------------------------------------------------------------------------------

void TChartAxis::SetMinMax(double aMin, double aMax) {
  automatic_ = automaticMaximum_ = automaticMinimum_ = false;
  if (aMin > aMax) std::swap(aMin, aMax);
  minimum_ = aMin;
  maximum_ = aMax;
  if (maximum_ - minimum_ < UloAxisMinRange) maximum_ = minimum_ + UloAxisMinRange;
  Invalidate();
  if (!parentChart_) return;
  TChartAxes &axes = parentChart_->Axes();
  for (int i = 6; i < axes.Count(); ++i) {
    TChartAxis *a = axes[i];
    if (a != this && a->masterAxis_ == this) a->SetMinMax(minimum_, maximum_);
  }
}

void TChartAxis::Scroll(double offset, bool checkLimits) {
  if (checkLimits) {
    if (offset == 0 || !parentChart_) return;
    if (offset > 0 && !(parentChart_->AxisSeriesMinMax(this, false) > maximum_)) return;
    if (offset < 0 && !(parentChart_->AxisSeriesMinMax(this, true) < minimum_)) return;
  }
  automatic_ = automaticMaximum_ = automaticMinimum_ = false;
  maximum_ += offset;
  minimum_ += offset;
  Invalidate();
}

bool TChartAxis::CalcIsDateTime() {
  if (!parentChart_) return false;
  for (int i = 0; i < parentChart_->SeriesCount(); ++i) {
    TChartSeries *s = parentChart_->GetSeries(i);
    if (!s->Active()) continue;
    if (TChartValueList *list = s->ValueListOfAxis(this)) return list->DateTime();
  }
  return false;
}

bool TChartAxis::IsCustom() const { return parentChart_ && parentChart_->Axes().IndexOf(this) >= 6; }

void TChartAxis::AdjustMaxMin() {
  if (parentChart_) {
    if (automatic_ || automaticMaximum_) maximum_ = parentChart_->AxisSeriesMinMax(this, false);
    if (automatic_ || automaticMinimum_) minimum_ = parentChart_->AxisSeriesMinMax(this, true);
  }
  IMaximum = maximum_;
  IMinimum = minimum_;
  InternalCalcRange();
  RoundMinMax();
}

void TChartAxis::InternalCalcRange() {
  IRange = IMaximum - IMinimum;
  // A range with an end that is not a number, or too wide for a double,
  // maps everything to the centre and labels nothing sensible: treat it as
  // no range at all.
  if (!std::isfinite(IRange)) IRange = 0;
  IRangeZero = IRange == 0;
  IScale = IRangeZero ? 0 : IAxisSize / IRange;
  if (logarithmic_) {
    ILogMin = IMinimum > 0 && std::isfinite(IMinimum) ? std::log(IMinimum) : 0;
    ILogMax = IMaximum > 0 && std::isfinite(IMaximum) ? std::log(IMaximum) : 0;
    IRangeLog = ILogMax - ILogMin;
    ILogScale = IRangeLog == 0 ? 0 : IAxisSize / IRangeLog;
  }
  if (parentChart_) {
    double depth = IsDepthAxis ? parentChart_->ChartHeight : parentChart_->HorizDepth;
    IZPos = rtl::RoundPixel(zPosition_ * 0.01 * depth);
  }
  SetCalcPosFunctions();
}

void TChartAxis::RoundMinMax() {
  if (IAxisSize == 0 || IRangeZero) return;
  bool changed = false;
  double inc = 0;
  bool incDone = false;
  if (maximumRound_ && (automatic_ || automaticMaximum_)) {
    inc = CalcLabelsIncrement();
    incDone = true;
    if (inc != 0) {
      double v = std::ceil(IMaximum / inc) * inc;
      changed = changed || v != IMaximum;
      IMaximum = v;
    }
  }
  if (minimumRound_ && (automatic_ || automaticMinimum_)) {
    if (!incDone) inc = CalcLabelsIncrement();
    if (inc != 0) {
      double v = std::floor(IMinimum / inc) * inc;
      changed = changed || v != IMinimum;
      IMinimum = v;
    }
  }
  if (changed) InternalCalcRange();
}

void TChartAxis::AdjustMaxMinRect(const TRect &rect) {
  const int a = Horizontal ? rect.Left : rect.Top;
  const int b = Horizontal ? rect.Right : rect.Bottom;
  const int s = IStartPos, e = IEndPos;
  IStartPos = ClampPos(static_cast<long long>(IStartPos) + a);
  IEndPos = ClampPos(static_cast<long long>(IEndPos) - b);
  IAxisSize = IEndPos - IStartPos;
  const double newMin = CalcPosPoint(s);
  const double newMax = CalcPosPoint(e);
  InternalCalcPositions();
  IMinimum = newMin;
  IMaximum = newMax;
  if (IMinimum > IMaximum) std::swap(IMinimum, IMaximum);
  InternalCalcRange();
}

void TChartAxis::InternalCalcPositions() {
  int size = 0, origin = 0;
  if (parentChart_) {
    if (IsDepthAxis) {
      size = parentChart_->HorizDepth;
    } else if (Horizontal) {
      size = parentChart_->ChartWidth;
      origin = parentChart_->ChartRect.Left;
    } else {
      size = parentChart_->ChartHeight;
      origin = parentChart_->ChartRect.Top;
    }
  }
  auto at = [&](double percent) {
    double offset = rtl::RoundHalfEven(size * 0.01 * percent);
    double m = UloMaxPixel;
    offset = offset < m ? offset : m;
    offset = offset > -m ? offset : -m;
    return ClampPos(origin + static_cast<long long>(offset));
  };
  IStartPos = at(startPosition_);
  IEndPos = at(endPosition_);
  IAxisSize = IEndPos - IStartPos;
  ICenterPos = (IStartPos + IEndPos) / 2;
  InternalCalcRange();
}

// ---- mapping --------------------------------------------------------------------------------

void TChartAxis::SetCalcPosFunctions() {
  maxPixel_ = UloMaxPixel;
  xOrigin_ = inverted_ ? IEndPos : IStartPos;
  xScale_ = inverted_ ? -IScale : IScale;
  yOrigin_ = inverted_ ? IStartPos : IEndPos;
  yScale_ = inverted_ ? IScale : -IScale;
  if (IsDepthAxis)
    calcKind_ = IRangeZero ? TCalcKind::Center : TCalcKind::Depth;
  else if (logarithmic_)
    calcKind_ = IRangeLog == 0 ? TCalcKind::Center : TCalcKind::Logarithmic;
  else if (IRangeZero)
    calcKind_ = TCalcKind::Center;
  else
    calcKind_ = fastCalc_ ? TCalcKind::LinearFast : TCalcKind::Linear;
}

int TChartAxis::CalcPosSlow(double value, bool horizontal) const noexcept {
  switch (calcKind_) {
  case TCalcKind::Center:
    return ICenterPos;
  case TCalcKind::Depth:
    return ClampRound((inverted_ ? IMaximum - value : value - IMinimum) * IScale, maxPixel_);
  case TCalcKind::LinearFast: {
    // Offset rounded first and no clamp to the pixel limit; only held to
    // what an integer can carry.
    long long p = rtl::RoundPixel((value - IMinimum) * IScale);
    long long r = horizontal ? (inverted_ ? IEndPos - p : IStartPos + p) : (inverted_ ? IStartPos + p : IEndPos - p);
    return static_cast<int>(std::clamp<long long>(r, INT32_MIN, INT32_MAX));
  }
  case TCalcKind::Logarithmic: {
    if (!(value > 0)) return horizontal ? (inverted_ ? IEndPos : IStartPos) : (inverted_ ? IStartPos : IEndPos);
    double l = inverted_ ? ILogMax - std::log(value) : std::log(value) - ILogMin;
    double p = rtl::RoundHalfEven(l * ILogScale);
    return ClampRound(horizontal ? IStartPos + p : IEndPos - p, maxPixel_);
  }
  case TCalcKind::Linear:
    break;
  }
  return LinearPos(value, horizontal ? xOrigin_ : yOrigin_, horizontal ? xScale_ : yScale_);
}

double TChartAxis::CalcPosPoint(int value) const noexcept {
  const bool alongX = Horizontal || IsDepthAxis;
  if (logarithmic_ && !IsDepthAxis) {
    const bool maxAtStart = (Horizontal && inverted_) || (!Horizontal && !inverted_);
    if (value == IStartPos) return maxAtStart ? IMaximum : IMinimum;
    if (value == IEndPos) return maxAtStart ? IMinimum : IMaximum;
    if (IRangeLog == 0 || IAxisSize == 0) return IMinimum;
    const double d = inverted_ ? IEndPos - value : value - IStartPos;
    const double t = d * IRangeLog / IAxisSize;
    return Horizontal ? std::exp(ILogMin + t) : std::exp(ILogMax - t);
  }
  if (IAxisSize < 1) return 0;
  const double d = inverted_ ? static_cast<double>(IEndPos) - value : static_cast<double>(value) - IStartPos;
  const double t = d * IRange / IAxisSize;
  return alongX ? IMinimum + t : IMaximum - t;
}

int TChartAxis::CalcSizeValue(double value) const noexcept {
  if (!(value > 0)) return 0;
  if (logarithmic_) return IRangeLog == 0 ? 0 : ClampRound(rtl::RoundHalfEven(std::log(value) * ILogScale), maxPixel_);
  return IRange == 0 ? 0 : ClampRound(value * IScale, maxPixel_);
}

// ---- label step ------------------------------------------------------------------------------

double TChartAxis::LogBaseRound(double x) const noexcept {
  if (!(x > 0) || std::isinf(x)) return x;
  return std::pow(logarithmicBase_, rtl::RoundHalfEven(std::log(x) / std::log(logarithmicBase_)));
}

double TChartAxis::CalcLabelsIncrement() {
  double result = CalcIncrementOnce();
  // A second run from a step of 1 lands on the 1-2-5 steps. With no
  // separation between labels the first estimate stands: a rerun would
  // skip the growth and give 1 whatever the range.
  if (!labelsAlternate_ && increment_ == 0 && result >= 2 && labelsSeparation_ > 0) {
    struct Restore {
      double &field;
      ~Restore() { field = 0; }
    } restore{increment_};
    increment_ = 1;
    result = CalcIncrementOnce();
  }
  if (labelsAlternate_) result = logarithmic_ ? result / logarithmicBase_ : result * 0.5;
  return result;
}

double TChartAxis::CalcIncrementOnce() {
  double lo = IMinimum, hi = IMaximum;
  if (roundFirstLabel_ && increment_ != 0) {
    lo = rtl::RoundHalfEven(IMinimum / increment_) * increment_;
    hi = std::trunc(IMaximum / increment_) * increment_;
  }
  double mid = (lo + hi) * 0.5;
  for (int k = 0; k < kMaxLoopRounds && std::isfinite(mid) && mid != 0 && mid == std::trunc(mid); ++k)
    mid *= 0.5;
  int size = std::max({LabelSizeValue(lo), LabelSizeValue(mid), LabelSizeValue(hi)});
  if (increment_ != 0) size = std::max({size, LabelSizeValue(hi - increment_), LabelSizeValue(lo + increment_)});
  return CalcXYIncrement(size);
}

double TChartAxis::CalcXYIncrement(int maxLabelSize) {
  int n = 1;
  if (maxLabelSize > 0) {
    long long size = maxLabelSize;
    if (labelsSeparation_ > 0) size += rtl::RoundPixel(labelsSeparation_ * 0.01 * maxLabelSize);
    n = rtl::RoundPixel(static_cast<double>(IAxisSize) / static_cast<double>(size));
  }
  return CalcIncrement(n);
}

double TChartAxis::CalcIncrement(int labelCount) {
  if (labelCount <= 0) return IsDateTime ? UloDateTimeSteps[0] : UloAxisMinIncrement;
  return IsDateTime ? DateTimeIncrement(labelCount) : NumericIncrement(labelCount);
}

double TChartAxis::NumericIncrement(int n) {
  double r;
  if (increment_ > 0) {
    r = increment_;
  } else if (IRange == 0) {
    r = 1;
  } else {
    r = std::fabs(IRange) / (static_cast<double>(n) + 1);
    if (logarithmic_) r = LogBaseRound(r);
    if (IRange >= 1.1 && parentChart_) {
      for (int i = 0; i < parentChart_->SeriesCount(); ++i) {
        TChartSeries *s = parentChart_->GetSeries(i);
        bool along = Horizontal ? s->YMandatory() : !s->YMandatory();
        if (s->Active() && along && s->IsOnAxis(this) && s->PointCount() <= n) {
          r = std::max(r, 1.0);
          break;
        }
      }
    }
  }
  if (labelsSeparation_ > 0) {
    int k = n + 1;
    for (int round = 0; round < kMaxLoopRounds; ++round) {
      const double q = IRange / r;
      bool grow = true;
      if (std::fabs(q) < 2147483647.0) {
        k = static_cast<int>(rtl::RoundHalfEven(q));
        grow = k > n;
      }
      if (grow) {
        const double next = logarithmic_ ? r * logarithmicBase_ : UloNextStep(r);
        // A base below 1 or a step that does not move would never end.
        if (!(next > r)) break;
        r = next;
      }
      if (!(k > n && r <= IRange && std::isfinite(r))) break;
    }
  }
  if (std::isinf(r)) return IRange;
  return std::max(r, UloAxisMinIncrement);
}

double TChartAxis::DateTimeIncrement(int n) {
  const double minStep = UloDateTimeSteps[0];
  const double oneSecond = UloDateTimeSteps[2];
  double r = std::max(minStep, increment_);
  if (IRange / r > 1000000) r = IRange / 1000000;
  for (int round = 0; round < kMaxLoopRounds; ++round) {
    const double q = IRange / r;
    if (!(std::fabs(q) > n)) break; // covers NaN
    if (rtl::RoundHalfEven(q) <= n) break;
    const double next = r >= 365 ? r * 2 : (r >= oneSecond ? UloNextDateTimeStep(r) : UloNextStep(r));
    if (!(next > r)) break;
    r = next;
  }
  return std::max(minStep, r);
}

// ---- stored settings ------------------------------------------------------------------------

namespace {

using streaming::TEnumName;
using streaming::TPropertyTable;

constexpr TEnumName<TAxisLabelStyle> kLabelStyles[] = {{TAxisLabelStyle::talAuto, "talAuto"},
                                                       {TAxisLabelStyle::talNone, "talNone"},
                                                       {TAxisLabelStyle::talValue, "talValue"},
                                                       {TAxisLabelStyle::talMark, "talMark"},
                                                       {TAxisLabelStyle::talText, "talText"}};
constexpr TEnumName<TAxisLabelAlign> kLabelAligns[] = {{TAxisLabelAlign::alDefault, "alDefault"},
                                                       {TAxisLabelAlign::alOpposite, "alOpposite"}};
constexpr TEnumName<TUloUnits> kUnits[] = {{TUloUnits::muPercent, "muPercent"}, {TUloUnits::muPixels, "muPixels"}};
constexpr TEnumName<TPenStyle> kPenStyles[] = {{TPenStyle::psSolid, "psSolid"},
                                               {TPenStyle::psDash, "psDash"},
                                               {TPenStyle::psDot, "psDot"},
                                               {TPenStyle::psDashDot, "psDashDot"},
                                               {TPenStyle::psDashDotDot, "psDashDotDot"},
                                               {TPenStyle::psClear, "psClear"},
                                               {TPenStyle::psInsideFrame, "psInsideFrame"}};
constexpr TEnumName<TPenLineMode> kLineModes[] = {{TPenLineMode::lmLine, "lmLine"},
                                                  {TPenLineMode::lmCylinder, "lmCylinder"},
                                                  {TPenLineMode::lmRectangle, "lmRectangle"}};

// The keys a framed text shares with every shape: frame, fill, font,
// transparency and visibility.
template <class Shape> void DefineTextShape(TPropertyTable &t, Shape &shape, TUloStoredParts &parts) {
  t.Color(
      "Color", [&shape] { return shape.Color(); }, [&shape](TColor c) { shape.SetColor(c); }, clWhite);
  t.Object("Font",
           parts.Get("Font", [&shape, &parts](TPropertyTable &p) { DefineUloFont(p, shape.Font(), parts, "Font"); }));
  t.Define(
       "Transparent",
       [&shape](const streaming::TValue &v, streaming::TReadContext &) { shape.SetTransparent(v.AsBoolean()); },
       [&shape]() -> std::optional<streaming::TValue> { return streaming::TValue::MakeBoolean(shape.Transparent()); })
      .StoredWhen([&shape] { return shape.Transparent() != shape.DefaultTransparent(); });
  t.Property(
      "Visible", [&shape] { return shape.Visible(); }, [&shape](bool v) { shape.SetVisible(v); }, true);
}

} // namespace

void TChartAxisTitle::DefineProperties(TPropertyTable &table) {
  TUloCustomShape::DefineProperties(table);
  DefineBrush(table);
  DefinePen(table, "Frame");
  table
      .Property(
          "Angle", [this] { return angle_; }, [this](int v) { SetAngle(v); })
      .StoredWhen([this] { return IsAngleStored(); });
  table.Property("Caption", this, &TChartAxisTitle::Caption, &TChartAxisTitle::SetCaption, std::string{});
  DefineTextShape(table, *this, StoredParts());
}

void TAxisItem::DefineProperties(TPropertyTable &table) {
  TUloCustomShape::DefineProperties(table);
  table.Property("Text", this, &TAxisItem::Text, &TAxisItem::SetText, std::string{});
  table.Property(
      "Value", [this] { return value_; }, [this](double v) { SetValue(v); });
  DefineTextShape(table, *this, StoredParts());
}

void TChartAxis::DefineProperties(TPropertyTable &t) {
  auto pen = [this, &t](std::string_view name, TChartPen &p, TColor color) {
    t.Object(name, storedParts_.Get(name, [&p, color](TPropertyTable &table) { DefineChartPen(table, p, color); }));
  };
  t.Property("Automatic", this, &TChartAxis::Automatic, &TChartAxis::SetAutomatic, true);
  t.Property("AutomaticMaximum", this, &TChartAxis::AutomaticMaximum, &TChartAxis::SetAutomaticMaximum, true);
  t.Property("AutomaticMinimum", this, &TChartAxis::AutomaticMinimum, &TChartAxis::SetAutomaticMinimum, true);
  t.Object("Axis", storedParts_.Get("Axis", [this](TPropertyTable &table) {
    DefineChartPen(table, *axisPen_, clBlack);
    // Against the width the axis line is made with, or a width of 1 would
    // not be written and read back as 2.
    table.Property(
        "Width", [this] { return axisPen_->Width(); }, [this](int w) { axisPen_->SetWidth(w); }, 2);
    table.Enum(
        "LineMode", [this] { return axisPen_->LineMode(); }, [this](TPenLineMode m) { axisPen_->SetLineMode(m); },
        TPenLineMode::lmLine, kLineModes);
  }));
  t.Property(
      "AxisValuesFormat", [this] { return axisValuesFormat_; },
      [this](const std::string &v) { SetAxisValuesFormat(v); }, std::string(UloMsgDefValueFormat));
  t.Property("DateTimeFormat", this, &TChartAxis::DateTimeFormat, &TChartAxis::SetDateTimeFormat, std::string{});
  t.Property("ExactDateTime", this, &TChartAxis::ExactDateTime, &TChartAxis::SetExactDateTime, true);
  t.Object("Grid", storedParts_.Get("Grid", [this](TPropertyTable &table) {
    DefineChartPen(table, *grid_, 0x808080);
    table.Enum(
        "Style", [this] { return grid_->Style(); }, [this](TPenStyle v) { grid_->SetStyle(v); }, TPenStyle::psDot,
        kPenStyles);
    table.Property(
        "Centered", [this] { return grid_->Centered(); }, [this](bool v) { grid_->SetCentered(v); }, false);
    table.Property(
        "DrawEvery", [this] { return grid_->DrawEvery(); }, [this](int v) { grid_->SetDrawEvery(v); }, 1);
    table.Property(
        "ZPosition", [this] { return grid_->ZPosition(); }, [this](double v) { grid_->SetZPosition(v); }, 0.0);
  }));
  t.Property("Increment", this, &TChartAxis::Increment, &TChartAxis::SetIncrement, 0.0);
  t.Property(
      "Inverted", [this] { return inverted_; }, [this](bool v) { SetInverted(v); }, false);
  t.Collection("Items", *items_).StoredWhen([this] { return !items_->Automatic(); });
  t.Property(
      "Labels", [this] { return Labels(); }, [this](bool v) { SetLabels(v); }, true);
  t.Enum(
      "LabelsAlign", [this] { return labelsAlign_; }, [this](TAxisLabelAlign v) { SetLabelsAlign(v); },
      TAxisLabelAlign::alDefault, kLabelAligns);
  t.Property("LabelsAlternate", this, &TChartAxis::LabelsAlternate, &TChartAxis::SetLabelsAlternate, false);
  t.Property("LabelsAngle", this, &TChartAxis::LabelsAngle, &TChartAxis::SetLabelsAngle, 0);
  t.Property("LabelsExponent", this, &TChartAxis::LabelsExponent, &TChartAxis::SetLabelsExponent, false);
  t.Object("LabelsFont", storedParts_.Get("LabelsFont", [this](TPropertyTable &table) {
    DefineUloFont(table, LabelsFont(), storedParts_, "LabelsFont");
  }));
  t.Property("LabelsMultiLine", this, &TChartAxis::LabelsMultiLine, &TChartAxis::SetLabelsMultiLine, false);
  t.Property("LabelsOnAxis", this, &TChartAxis::LabelsOnAxis, &TChartAxis::SetLabelsOnAxis, true);
  t.Property("LabelsSeparation", this, &TChartAxis::LabelsSeparation, &TChartAxis::SetLabelsSeparation, 10);
  t.Property("LabelsSize", this, &TChartAxis::LabelsSize, &TChartAxis::SetLabelsSize, 0);
  t.Enum(
      "LabelStyle", [this] { return labelStyle_; }, [this](TAxisLabelStyle v) { SetLabelStyle(v); },
      TAxisLabelStyle::talAuto, kLabelStyles);
  t.Property("Logarithmic", this, &TChartAxis::Logarithmic, &TChartAxis::SetLogarithmic, false);
  t.Property("LogarithmicBase", this, &TChartAxis::LogarithmicBase, &TChartAxis::SetLogarithmicBase, 10.0);
  t.Property("Maximum", this, &TChartAxis::Maximum, &TChartAxis::SetMaximum, 0.0);
  t.Property("MaximumOffset", this, &TChartAxis::MaximumOffset, &TChartAxis::SetMaximumOffset, 0);
  t.Property("MaximumRound", this, &TChartAxis::MaximumRound, &TChartAxis::SetMaximumRound, false);
  t.Property("Minimum", this, &TChartAxis::Minimum, &TChartAxis::SetMinimum, 0.0);
  t.Property("MinimumOffset", this, &TChartAxis::MinimumOffset, &TChartAxis::SetMinimumOffset, 0);
  t.Property("MinimumRound", this, &TChartAxis::MinimumRound, &TChartAxis::SetMinimumRound, false);
  pen("MinorGrid", *minorGrid_, clBlack);
  t.Property("MinorTickCount", this, &TChartAxis::MinorTickCount, &TChartAxis::SetMinorTickCount, 3);
  t.Property("MinorTickLength", this, &TChartAxis::MinorTickLength, &TChartAxis::SetMinorTickLength, 2);
  pen("MinorTicks", *minorTicks_, 0x808080);
  t.Property("PositionPercent", this, &TChartAxis::PositionPercent, &TChartAxis::SetPositionPercent, 0.0);
  t.Enum(
      "PositionUnits", [this] { return positionUnits_; }, [this](TUloUnits v) { SetPositionUnits(v); },
      TUloUnits::muPercent, kUnits);
  t.Property("RoundFirstLabel", this, &TChartAxis::RoundFirstLabel, &TChartAxis::SetRoundFirstLabel, true);
  t.Property("StartPosition", this, &TChartAxis::StartPosition, &TChartAxis::SetStartPosition, 0.0);
  t.Property("EndPosition", this, &TChartAxis::EndPosition, &TChartAxis::SetEndPosition, 100.0);
  t.Property("TickInnerLength", this, &TChartAxis::TickInnerLength, &TChartAxis::SetTickInnerLength, 0);
  t.Property("TickLength", this, &TChartAxis::TickLength, &TChartAxis::SetTickLength, 4);
  t.Property("TickOnLabelsOnly", this, &TChartAxis::TickOnLabelsOnly, &TChartAxis::SetTickOnLabelsOnly, true);
  pen("Ticks", *ticks_, 0x808080);
  pen("TicksInner", *ticksInner_, 0x808080);
  t.Object("Title", [this] { return static_cast<streaming::TPersistent *>(title_.get()); });
  t.Property("TitleSize", this, &TChartAxis::TitleSize, &TChartAxis::SetTitleSize, 0);
  // Against what the chart makes its standard axes with: the depth axes
  // hidden, the top axis at the back.
  t.Property("Visible", this, &TChartAxis::Visible, &TChartAxis::SetVisible, !IsDepthAxis);
  const bool top = parentChart_ && parentChart_->TopAxis() == this;
  t.Property("ZPosition", this, &TChartAxis::ZPosition, &TChartAxis::SetZPosition, top ? 100.0 : 0.0);
}
