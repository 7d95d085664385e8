// An axis turned into pixels: the space it reserves, which labels it shows
// and where, and the line, ticks, grid and title, all through the canvas.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloSeries.h"
#include "chart/foundation/UloProcs.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/FormatFloat.h"

namespace {

constexpr TColor kDefaultGridColor = 0x808080;
constexpr int kMaxEventLabels = 2001;
// 1 January of the year 1 and the end of 31 December 9999, in days.
constexpr double kFirstDate = -693593;
constexpr double kLastDate = 2958466;

bool IsAlong(bool horizontal, int angle) noexcept {
  return horizontal ? (angle == 0 || angle == 180) : (angle == 90 || angle == 270);
}

// Restores a canvas's text alignment when the scope ends.
struct TextAlignGuard {
  TCanvas3D &canvas;
  int saved;
  explicit TextAlignGuard(TCanvas3D &c) : canvas(c), saved(c.GetTextAlign()) {}
  ~TextAlignGuard() { canvas.SetTextAlign(saved); }
};

// The entity hooks around an axis or a title, closed also on a fault.
struct HookGuard {
  TCanvas3D &canvas;
  explicit HookGuard(TCanvas3D &c) : canvas(c) { canvas.ReservedHookA(); }
  ~HookGuard() { canvas.ReservedHookB(); }
};

} // namespace

// ---- sides ---------------------------------------------------------------------------------

int TChartAxis::AxisSideEdge(const TRect &rect) const {
  if (Horizontal) return OtherSide ? rect.Top : rect.Bottom;
  return OtherSide ? rect.Right : rect.Left;
}

int TChartAxis::MoveOutward(int pos, int amount) const {
  // Bottom and right axes grow down and right; top and left axes up and left.
  const bool positive = Horizontal ? !OtherSide : OtherSide;
  return positive ? pos + amount : pos - amount;
}

namespace {
// Takes Amount off Rect on the axis side; returns the new edge.
int Shrink(TRect &rect, bool horizontal, bool otherSide, int amount) {
  if (horizontal) {
    if (otherSide) return rect.Top += amount;
    return rect.Bottom -= amount;
  }
  if (otherSide) return rect.Right -= amount;
  return rect.Left += amount;
}
} // namespace

int TChartAxis::ApplyPosition(int pos, const TRect &rect) const {
  if (positionPercent_ == 0) return pos;
  double d = positionUnits_ == TUloUnits::muPixels
                 ? positionPercent_
                 : 0.01 * positionPercent_ * (Horizontal ? rect.Bottom - rect.Top : rect.Right - rect.Left);
  int offset = rtl::RoundPixel(d);
  if (OtherSide) offset = -offset;
  if (Horizontal) offset = -offset;
  return rtl::ClampToInt(static_cast<double>(pos) + offset);
}

int TChartAxis::SizeTickAxis() const {
  int result = axisPen_->Visible() ? axisPen_->Width() + 1 : 0;
  if (ticks_->Visible()) result += tickLength_;
  if (minorTicks_->Visible()) result = std::max(result, minorTickLength_);
  return result;
}

// ---- label texts and measures -------------------------------------------------------------

std::string TChartAxis::LabelValue(double value) {
  std::string text;
  if (IsDateTime) {
    if (value >= 0)
      text = rtl::FormatDateTime(dateTimeFormat_.empty() ? UloDateTimeDefaultFormat(IRange) : dateTimeFormat_, value);
  } else {
    text = rtl::FormatFloat(axisValuesFormat_, value);
  }
  if (parentChart_ && parentChart_->OnGetAxisLabel) parentChart_->OnGetAxisLabel(this, nullptr, -1, text);
  if (labelsMultiLine_) std::replace(text.begin(), text.end(), ' ', '\r');
  return text;
}

int TChartAxis::TextAlongSize(const std::string &text) {
  int lines = 0;
  const int width = parentChart_->MultiLineTextWidth(text, lines);
  const bool across =
      Horizontal ? (labelsAngle_ == 90 || labelsAngle_ == 270) : (labelsAngle_ == 0 || labelsAngle_ == 180);
  if (across) return parentChart_->Canvas().StandardTextHeight() * lines;
  return width;
}

int TChartAxis::LabelSizeValue(double value) {
  if (!parentChart_) return 0;
  parentChart_->Canvas().ApplyFont(LabelsFont());
  return TextAlongSize(LabelValue(value));
}

int TChartAxis::MaxLabelsWidth() {
  if (labelsSize_ != 0) return labelsSize_;
  if (maxLabelsWidth_ >= 0) return maxLabelsWidth_;
  if (!parentChart_) return 0;
  TCanvas3D &canvas = parentChart_->Canvas();
  canvas.ApplyFont(LabelsFont());
  int width = 0;
  if (IsAlong(Horizontal, labelsAngle_)) {
    width = canvas.StandardTextHeight();
  } else if (!items_->Automatic()) {
    for (int i = 0; i < items_->Count(); ++i) {
      canvas.ApplyFont(items_->Items(i).Font());
      width = std::max(width, parentChart_->MultiLineTextWidth(items_->Items(i).Text()));
    }
  } else {
    const TAxisLabelStyle style = LabelStyleInUse();
    if (style == TAxisLabelStyle::talText && !IsDepthAxis) {
      width = parentChart_->MaxLabelWidth();
    } else if (style == TAxisLabelStyle::talMark) {
      width = parentChart_->MaxMarkWidth();
    } else if (style != TAxisLabelStyle::talNone) {
      // The labels a drawing would show, measured instead of drawn.
      std::vector<int> ticks;
      ticks.swap(tickPos_);
      measuring_ = true;
      measuredWidth_ = 0;
      struct Reset {
        TChartAxis &axis;
        std::vector<int> &saved;
        ~Reset() {
          axis.measuring_ = false;
          axis.tickPos_.swap(saved);
        }
      } reset{*this, ticks};
      DrawLabels(style);
      width = measuredWidth_;
    }
  }
  if (labelsAlternate_) width *= 2;
  maxLabelsWidth_ = width;
  return width;
}

// ---- label styles -------------------------------------------------------------------------------

TAxisLabelStyle TChartAxis::CalcLabelStyle() {
  if (!parentChart_) return TAxisLabelStyle::talNone;
  TAxisLabelStyle result = TAxisLabelStyle::talNone;
  TChartAxis *depth = parentChart_->DepthAxis();
  for (int i = 0; i < parentChart_->SeriesCount(); ++i) {
    TChartSeries *s = parentChart_->GetSeries(i);
    if (!s->Active() || !s->IsOnAxis(this)) continue;
    result = TAxisLabelStyle::talValue;
    const bool is3D = depth && s->ValueListOfAxis(depth) != nullptr;
    const bool along = Horizontal ? s->YMandatory() : !s->YMandatory();
    if (is3D || !along) continue;
    const TLabelsList &labels = s->Labels();
    for (int k = 0; k < labels.Count(); ++k)
      if (!labels.Label(k).empty()) return TAxisLabelStyle::talText;
  }
  return result;
}

TChartDepthAxis::TChartDepthAxis(TCustomAxisPanel *chart) : TChartAxis(chart) {
  IsDepthAxis = true;
  SetCalcPosFunctions();
}

TAxisLabelStyle TChartDepthAxis::CalcLabelStyle() {
  if (!ParentChart()) return TAxisLabelStyle::talText;
  for (int i = 0; i < ParentChart()->SeriesCount(); ++i) {
    TChartSeries *s = ParentChart()->GetSeries(i);
    if (!s->Active()) continue;
    if (s->ValueListOfAxis(this) != nullptr || s->MinZ() != s->MaxZ()) return TAxisLabelStyle::talValue;
  }
  return TAxisLabelStyle::talText;
}

void TChartDepthAxis::SetInverted(bool value) {
  if (value == Inverted()) return;
  TChartAxis::SetInverted(value);
  if (!ParentChart()) return;
  TChartAxis *other = ParentChart()->DepthAxis() == this ? static_cast<TChartAxis *>(ParentChart()->DepthTopAxis())
                                                         : static_cast<TChartAxis *>(ParentChart()->DepthAxis());
  if (other && other != this) other->SetInverted(value);
}

// ---- space ----------------------------------------------------------------------------------------

void TChartAxis::CalcRect(TRect &rect, bool inflate) {
  IsDateTime = CalcIsDateTime();
  if (!parentChart_) return;
  if (inflate) {
    if (IsDepthAxis) {
      PosTitle = OtherSide ? rect.Right : rect.Left;
    } else if (title_->Visible() && !title_->Caption().empty()) {
      int size = titleSize_;
      if (size == 0) {
        TCanvas3D &canvas = parentChart_->Canvas();
        canvas.ApplyFont(title_->Font());
        size = IsAlong(Horizontal, title_->Angle()) ? canvas.StandardTextHeight()
                                                    : parentChart_->MultiLineTextWidth(title_->Caption());
      }
      PosTitle = Shrink(rect, Horizontal, OtherSide, size);
    }
    if (Labels()) PosLabels = Shrink(rect, Horizontal, OtherSide, MaxLabelsWidth());
    const int ticks = parentChart_->GetAxisWallSize(this) + SizeTickAxis();
    if (ticks > 0) Shrink(rect, Horizontal, OtherSide, ticks);
    PosTitle = ApplyPosition(PosTitle, rect);
    PosLabels = ApplyPosition(PosLabels, rect);
  } else {
    PosAxis = ApplyPosition(AxisSideEdge(rect), rect);
    PosLabels = MoveOutward(PosAxis, SizeTickAxis());
    PosTitle = MoveOutward(PosLabels, MaxLabelsWidth());
  }
}

// ---- drawing ----------------------------------------------------------------------------------------

int TChartAxis::DepthLabelY() const {
  const TRect &r = parentChart_->ChartRect;
  return OtherSide ? r.Bottom - IZPos : IZPos + r.Top;
}

void TChartAxis::DrawAxis(bool calcPosAxis) {
  if (!parentChart_) return;
  TCanvas3D &canvas = parentChart_->Canvas();
  HookGuard hooks(canvas);
  IsDateTime = CalcIsDateTime();
  axisWallSize_ = parentChart_->GetAxisWallSize(this);
  if (calcPosAxis) PosAxis = ApplyPosition(AxisSideEdge(parentChart_->ChartRect), parentChart_->ChartRect);

  if (title_->Visible() && !title_->Caption().empty()) {
    if (IsDepthAxis)
      DrawTitle(PosTitle, DepthLabelY());
    else if (Horizontal)
      DrawTitle(ICenterPos, PosTitle);
    else
      DrawTitle(PosTitle, ICenterPos);
  }

  tickPos_.clear();
  tickValues_.clear();
  labelIndex_ = 0;
  if (!items_->Automatic()) {
    DrawCustomLabels();
  } else {
    items_->ClearRecorded();
    const TAxisLabelStyle style = LabelStyleInUse();
    if (style != TAxisLabelStyle::talNone) DrawLabels(style);
  }
  DrawTicksAndGrid();
}

void TChartAxis::DrawLabels(TAxisLabelStyle style) {
  parentChart_->Canvas().ApplyFont(LabelsFont());
  const double inc = CalcLabelsIncrement();
  int step = UloNoDateTimeStep;
  if (IsDateTime && exactDateTime_ && increment_ != 0) {
    step = UloFindDateTimeStep(increment_);
    while (step < 26 && UloDateTimeSteps[static_cast<size_t>(step)] < inc)
      ++step;
  }
  if (!((inc > 0 || (step >= 20 && step <= 26)) && IMinimum <= IMaximum)) return;
  switch (style) {
  case TAxisLabelStyle::talValue:
  case TAxisLabelStyle::talAuto:
    if (parentChart_->OnGetNextAxisLabel)
      DrawEventLabels(inc, step);
    else if (logarithmic_ && increment_ == 0)
      DrawLogLabels(inc);
    else
      DrawValueLabels(inc, step);
    break;
  case TAxisLabelStyle::talMark:
    DrawTextLabels(true);
    break;
  case TAxisLabelStyle::talText:
    if (IsDepthAxis)
      DrawDepthTextLabels();
    else
      DrawTextLabels(false);
    break;
  case TAxisLabelStyle::talNone:
    break;
  }
}

bool TChartAxis::DrawValueLabel(double value) {
  const int p = CalcPosValue(value);
  if (!(labelsOnAxis_ || (p > IStartPos && p < IEndPos))) return false;
  if (!tickOnLabelsOnly_) RecordTick(p, value);
  if (Labels()) DrawThisLabel(p, value, LabelValue(value), nullptr);
  return true;
}

double TChartAxis::StepDown(double value, double inc, int step) const {
  if (IsDateTime) {
    UloIncDecDateTime(exactDateTime_, false, value, step, inc);
    return value;
  }
  return value - inc;
}

void TChartAxis::DrawValueLabels(double inc, int step) {
  // Nothing sensible to label on an axis whose ends are not numbers, nor
  // dates on one that runs off the calendar (years 1 to 9999).
  if (!std::isfinite(IMinimum) || !std::isfinite(IMaximum)) return;
  if (IsDateTime && (IMinimum < kFirstDate || IMaximum > kLastDate)) return;
  if (!(std::fabs(IRange / inc) < UloAxisMaxLabels)) return;
  double v;
  if (IsDateTime && exactDateTime_ && step >= 16 && step <= 26)
    v = UloRoundDate(step, IMaximum);
  else if (roundFirstLabel_ && LabelValue(IMinimum) != LabelValue(IMaximum))
    v = std::trunc(IMaximum / inc) * inc;
  else
    v = IMaximum;
  // Each loop stops when the value stops moving down.
  for (int k = 0; v > IMaximum && k < UloAxisMaxLabels; ++k) {
    const double next = StepDown(v, inc, step);
    if (!(next < v)) return;
    v = next;
  }
  double limit = IMinimum >= 0 ? (IMinimum - UloAxisMinIncrement) / (1 + UloAxisMinIncrement) : IMinimum;
  // Far from zero that allowance spans whole label steps (a span of 1e-3
  // at 1e9); no label may start more than half a pixel before the axis.
  if (IAxisSize > 0) limit = std::max(limit, IMinimum - 0.5 * IRange / IAxisSize);
  const double below = StepDown(v, inc, step);
  if (IRange == 0 || std::fabs(IMaximum - IMinimum) < UloAxisMinRange || !(below < v) ||
      LabelValue(v) == LabelValue(below)) {
    // The one label, unless the step took it before the axis (a day's
    // midnight on an axis of some hours of that day).
    if (IRange == 0 || v >= limit) DrawValueLabel(v);
    return;
  }
  for (int count = 0; v >= limit && count < UloAxisMaxLabels; ++count) {
    DrawValueLabel(v);
    const double next = StepDown(v, inc, step);
    if (!(next < v)) break;
    v = next;
  }
}

void TChartAxis::DrawLogLabels(double inc) {
  if (IMinimum == IMaximum) return;
  if (!std::isfinite(IMinimum) || !std::isfinite(IMaximum)) return;
  const double base = logarithmicBase_;
  double lo = IMinimum;
  if (lo == 0)
    lo = 0.1;
  else if (lo < 0)
    lo = LogBaseRound(1e-10);
  double v = IMinimum > 0 ? LogBaseRound(IMinimum) : lo;
  const bool minorGrid = minorGrid_->Visible();
  if (minorGrid && base > 1 && v / base < IMinimum) RecordTick(CalcPosValue(v / base), v / base);
  int drawn = 0;
  if (base > 1) {
    for (int count = 0; v <= IMaximum && count < UloAxisMaxLabels; ++count) {
      if (v >= lo && DrawValueLabel(v)) ++drawn;
      const double next = v * base;
      if (!(next > v)) break;
      v = next;
    }
  }
  if (drawn == 0) {
    // The range lies within one power: step by the power of the base
    // below the range's width, raised by the base up to the label step so
    // that the labels do not run into each other.
    double step = base > 1 ? LogBaseRound(IMaximum - lo) / base : 0;
    if (!(step > 0) || !std::isfinite(step)) return;
    for (int k = 0; k < UloAxisMaxLabels && step < inc * (1 - 1e-9) && step * base <= IMaximum - lo; ++k)
      step *= base;
    double w = std::ceil(lo / step) * step;
    for (int count = 0; w <= IMaximum && count < UloAxisMaxLabels; ++count) {
      DrawValueLabel(w);
      const double next = w + step;
      if (!(next > w)) break;
      w = next;
    }
    return;
  }
  if (minorGrid && v > IMaximum) RecordTick(CalcPosValue(v), v);
}

void TChartAxis::DrawEventLabels(double inc, int step) {
  for (int i = 0; i < kMaxEventLabels; ++i) {
    bool stop = true;
    double value = IMinimum;
    parentChart_->OnGetNextAxisLabel(this, i, value, stop);
    if (stop) {
      if (i == 0) {
        if (logarithmic_ && increment_ == 0)
          DrawLogLabels(inc);
        else
          DrawValueLabels(inc, step);
      }
      return;
    }
    if (!(value >= IMinimum - 1e-7 && value <= IMaximum + 1e-7)) return;
    DrawValueLabel(value);
  }
}

void TChartAxis::DrawTextLabels(bool marks) {
  int first = std::numeric_limits<int>::max(), last = -1;
  std::vector<TChartSeries *> series;
  for (int i = 0; i < parentChart_->SeriesCount(); ++i) {
    TChartSeries *s = parentChart_->GetSeries(i);
    if (!s->Active() || !s->IsOnAxis(this)) continue;
    series.push_back(s);
    if (s->FirstValueIndex() < 0 || s->LastValueIndex() < 0) continue;
    first = std::min(first, s->FirstValueIndex());
    last = std::max(last, s->LastValueIndex());
  }
  if (last < 0 || first > last) return;
  int lastPos = 0, half = 0;
  bool any = false;
  for (int i = first; i <= last; ++i) {
    std::string text;
    TChartSeries *owner = nullptr;
    for (TChartSeries *s : series) {
      if (i < s->FirstValueIndex() || i > s->LastValueIndex()) continue;
      std::string t = marks ? s->BuildMarkText(i) : s->Labels().Label(i);
      if (parentChart_->OnGetAxisLabel) parentChart_->OnGetAxisLabel(this, s, i, t);
      if (!owner) owner = s;
      if (!t.empty()) {
        owner = s;
        text = std::move(t);
        break;
      }
    }
    if (!owner) continue;
    const double value = Horizontal ? owner->XValueAt(i) : owner->YValueAt(i);
    if (!(value >= IMinimum && value <= IMaximum)) continue;
    const int p = CalcPosValue(value);
    if (!tickOnLabelsOnly_) RecordTick(p, value);
    if (!Labels() || text.empty()) continue;
    parentChart_->Canvas().ApplyFont(LabelsFont());
    const int size = TextAlongSize(text);
    if (!any || labelsSeparation_ == 0) {
      DrawThisLabel(p, value, text, nullptr);
      lastPos = p;
      half = size / 2;
      any = true;
      continue;
    }
    const int s2 = (size + static_cast<int>(std::trunc(size * 0.02 * labelsSeparation_))) / 2;
    if ((p >= lastPos && p - s2 >= lastPos + half) || (p < lastPos && p + s2 <= lastPos - half)) {
      DrawThisLabel(p, value, text, nullptr);
      lastPos = p;
      half = s2;
    }
  }
}

void TChartAxis::DrawDepthTextLabels() {
  const int count = parentChart_->SeriesCount();
  if (count == 0) return;
  const double lo = std::trunc(IMinimum), hi = std::trunc(IMaximum);
  if (!std::isfinite(lo) || !std::isfinite(hi)) return;
  for (double d = std::max(lo, 0.0); d <= hi && d < count; d += 1) {
    const int i = static_cast<int>(d);
    const double value = IMaximum - i - 0.5;
    const int p = CalcPosValue(value);
    if (!tickOnLabelsOnly_) RecordTick(p, value);
    if (!Labels()) continue;
    TChartSeries *s = parentChart_->GetSeries(i);
    std::string text = s->Title();
    if (parentChart_->OnGetAxisLabel) parentChart_->OnGetAxisLabel(this, s, -1, text);
    DrawThisLabel(p, value, text, nullptr);
  }
}

void TChartAxis::DrawCustomLabels() {
  for (int i = 0; i < items_->Count(); ++i) {
    TAxisItem &item = items_->Items(i);
    const double v = item.Value();
    if (!(v >= minimum_ && v <= maximum_)) continue;
    const int p = CalcPosValue(v);
    if (!tickOnLabelsOnly_) RecordTick(p, v);
    if (item.Visible()) DrawThisLabel(p, v, item.Text(), &item);
  }
}

void TChartAxis::DrawThisLabel(int pos, double value, const std::string &text, TAxisItem *item) {
  if (tickOnLabelsOnly_) RecordTick(pos, value);
  TCanvas3D &canvas = parentChart_->Canvas();
  TUloCustomShape *format = item ? static_cast<TUloCustomShape *>(item) : &items_->Format();
  canvas.ApplyFont(format->Font());
  if (measuring_) {
    measuredWidth_ = std::max(measuredWidth_, parentChart_->MultiLineTextWidth(text));
    return;
  }
  if (!item && items_->Automatic()) items_->Record(value, text);
  canvas.SetBkMode(UloTransparentMode);
  if (IsDepthAxis) {
    TextAlignGuard align(canvas);
    canvas.SetTextAlign(static_cast<int>(OtherSide ? gdi::kAlignLeft : gdi::kAlignRight));
    int y = DepthLabelY();
    const TView3DOptions &view = parentChart_->View3DOptions();
    if (view.Rotation() == 360 || view.Orthogonal()) y += canvas.StandardTextHeight() / 2;
    const int x = OtherSide ? PosLabels : PosLabels - 2 - canvas.MeasureTextWidth("W") / 2;
    canvas.TextOutAtDepth(x, y, pos, text);
    return;
  }
  int across = PosLabels;
  if (labelsAlternate_ && (labelIndex_++ % 2 == 1)) {
    const int row = Horizontal ? canvas.StandardTextHeight() : parentChart_->MultiLineTextWidth(text);
    across = MoveOutward(across, row);
  }
  if (Horizontal)
    DrawAxisLabel(pos, across, IZPos, format, text, labelsAngle_);
  else
    DrawAxisLabel(across, pos, IZPos, format, text, labelsAngle_);
}

void TChartAxis::DrawAxisLabel(int x, int y, int z, TUloCustomShape *format, const std::string &text, int angle) {
  if (!parentChart_) return;
  TCanvas3D &canvas = parentChart_->Canvas();
  TextAlignGuard alignGuard(canvas);
  angle = TChartAxisTitle::NormalAngle(angle);
  std::string label = text;
  int lines = 0;
  int width = parentChart_->MultiLineTextWidth(label, lines);
  const int fh = canvas.StandardTextHeight();
  if (lines < 1) lines = 1;
  const int block = fh * lines;

  // Alignment by side and angle; see the comments of each case.
  uint32_t hAlign = gdi::kAlignLeft;
  uint32_t vAlign = gdi::kAlignTop;
  if (Horizontal) {
    const bool bottom = !OtherSide;
    if (angle == 0) {
      hAlign = gdi::kAlignCenter;
      if (bottom) {
        vAlign = gdi::kAlignTop;
      } else {
        vAlign = gdi::kAlignTop;
        y -= block;
      }
    } else if (angle == 180) {
      hAlign = gdi::kAlignCenter;
      if (bottom) y += block;
    } else {
      // Text rising to the right ends at the tick below a bottom axis and
      // starts there above a top axis; falling text the other way round.
      const bool rising = angle < 180;
      hAlign = (rising == bottom) ? gdi::kAlignRight : gdi::kAlignLeft;
      if (angle == 90) x -= block / 2;
      if (angle == 270) x += block / 2;
    }
  } else {
    bool left = !OtherSide;
    if (labelsAlign_ == TAxisLabelAlign::alOpposite) {
      x += left ? -MaxLabelsWidth() : MaxLabelsWidth();
      left = !left;
    }
    if (angle == 0) {
      hAlign = left ? gdi::kAlignRight : gdi::kAlignLeft;
      y -= block / 2;
    } else if (angle == 180) {
      hAlign = left ? gdi::kAlignLeft : gdi::kAlignRight;
      y += block / 2;
    } else if (angle == 90) {
      hAlign = gdi::kAlignCenter;
      if (left) x -= block;
    } else if (angle == 270) {
      hAlign = gdi::kAlignCenter;
      if (!left) x += block;
    } else {
      const bool rightward = angle < 90 || angle > 270;
      hAlign = (rightward == left) ? gdi::kAlignRight : gdi::kAlignLeft;
    }
  }
  canvas.SetTextAlign(static_cast<int>(hAlign | vAlign));

  // The box under the text, upright where the text is.
  if (!format->Transparent()) {
    int left = x;
    if ((hAlign & gdi::kAlignCenter) == gdi::kAlignCenter)
      left = x - width / 2;
    else if (hAlign & gdi::kAlignRight)
      left = x - width;
    TRect r{left, y, left + width, y + block};
    format->ShapeBounds = r;
    format->DrawRect(r, angle, z);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
  }

  if (OnDrawLabel) {
    bool draw = true;
    OnDrawLabel(this, x, y, z, label, draw);
    if (!draw) return;
    width = parentChart_->MultiLineTextWidth(label, lines);
    if (lines < 1) lines = 1;
  }

  const double rad = angle * (3.14159265358979323846 / 180.0);
  const double downX = std::sin(rad), downY = std::cos(rad);
  size_t start = 0;
  for (int line = 0; start <= label.size(); ++line) {
    size_t end = label.find('\r', start);
    std::string_view piece(label.data() + start, (end == std::string::npos ? label.size() : end) - start);
    if (end == std::string::npos && piece.empty() && line > 0) break;
    const int lx = x + rtl::RoundPixel(line * fh * downX);
    const int ly = y + rtl::RoundPixel(line * fh * downY);
    if (angle == 0) {
      if (labelsExponent_)
        DrawExponentText(lx, ly, z, piece, hAlign);
      else
        canvas.TextOutAtDepth(lx, ly, z, piece);
    } else {
      canvas.RotatedTextOutAtDepth(lx, ly, z, piece, angle);
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
}

void TChartAxis::DrawExponentText(int x, int y, int z, std::string_view text, uint32_t hAlign) {
  TCanvas3D &canvas = parentChart_->Canvas();
  size_t e = text.find_last_of("Ee");
  if (e == std::string_view::npos || e + 1 >= text.size()) {
    canvas.TextOutAtDepth(x, y, z, text);
    return;
  }
  std::string_view mantissa = text.substr(0, e);
  std::string exponent(text.substr(e + 1));
  if (!exponent.empty() && exponent[0] == '+') exponent.erase(0, 1);
  const int w0 = canvas.MeasureTextWidth(mantissa);
  TUloFont *font = canvas.CurrentChartFont();
  TUloFont smaller;
  if (font) smaller.Assign(*font);
  smaller.SetSize(std::max(1, smaller.Size() * 2 / 3));
  int left = x;
  {
    // The exponent's width in its own smaller font decides where the whole
    // number starts.
    canvas.ApplyFont(smaller);
    const int w1 = canvas.MeasureTextWidth(exponent);
    if (font) canvas.ApplyFont(*font);
    if ((hAlign & gdi::kAlignCenter) == gdi::kAlignCenter)
      left = x - (w0 + w1) / 2;
    else if (hAlign & gdi::kAlignRight)
      left = x - (w0 + w1);
  }
  const int saved = canvas.GetTextAlign();
  canvas.SetTextAlign(static_cast<int>(gdi::kAlignLeft | (static_cast<uint32_t>(saved) & gdi::kAlignBaseline)));
  canvas.TextOutAtDepth(left, y, z, mantissa);
  canvas.ApplyFont(smaller);
  canvas.TextOutAtDepth(left + w0, y - canvas.StandardTextHeight() / 3, z, exponent);
  if (font) canvas.ApplyFont(*font);
  canvas.SetTextAlign(saved);
}

void TChartAxis::DrawTitle(int x, int y) {
  if (!parentChart_) return;
  TCanvas3D &canvas = parentChart_->Canvas();
  HookGuard hooks(canvas);
  canvas.ApplyFont(title_->Font());
  canvas.SetBkMode(UloTransparentMode);
  if (IsDepthAxis) {
    TextAlignGuard align(canvas);
    canvas.SetTextAlign(static_cast<int>(OtherSide ? gdi::kAlignLeft : gdi::kAlignRight));
    canvas.RotatedTextOutAtDepth(x, y, parentChart_->HorizDepth / 2, title_->Caption(), title_->Angle());
    return;
  }
  struct Restore {
    bool &field;
    bool saved;
    ~Restore() { field = saved; }
  } restore{labelsExponent_, labelsExponent_};
  labelsExponent_ = false;
  DrawAxisLabel(x, y, 0, title_.get(), title_->Caption(), title_->Angle());
}

// ---- ticks, line and grid ----------------------------------------------------------------------

void TChartAxis::DrawTickLine(int pos, int from, int to) {
  TCanvas3D &canvas = parentChart_->Canvas();
  if (IsDepthAxis) {
    canvas.HorizontalLineAtDepth(from, to, DepthLabelY(), pos);
  } else if (Horizontal) {
    canvas.VerticalLineAtDepth(pos, from, to, IZPos);
  } else {
    canvas.HorizontalLineAtDepth(from, to, pos, IZPos);
  }
}

void TChartAxis::DrawGridLine(int pos) {
  if (!(pos > IStartPos && pos < IEndPos)) return;
  TCanvas3D &canvas = parentChart_->Canvas();
  const TRect &r = parentChart_->ChartRect;
  if (IsDepthAxis) {
    canvas.VerticalLineAtDepth(r.Left, r.Top, r.Bottom, pos);
    canvas.HorizontalLineAtDepth(r.Left, r.Right, r.Bottom, pos);
    return;
  }
  if (!parentChart_->View3D()) {
    if (Horizontal)
      canvas.VerticalLine(pos, r.Top, r.Bottom);
    else
      canvas.HorizontalLine(r.Left, r.Right, pos);
    return;
  }
  const int depth = parentChart_->HorizDepth;
  if (parentChart_->AxisBehind()) {
    if (Horizontal) {
      canvas.VerticalLineAtDepth(pos, r.Top, r.Bottom, depth);
      canvas.DepthLine(pos, r.Bottom, 0, depth);
    } else {
      canvas.HorizontalLineAtDepth(r.Left, r.Right, pos, depth);
      canvas.DepthLine(r.Left, pos, 0, depth);
    }
    return;
  }
  const int z = rtl::RoundPixel(grid_->ZPosition() * 0.01 * depth);
  if (Horizontal)
    canvas.VerticalLineAtDepth(pos, r.Top, r.Bottom, z);
  else
    canvas.HorizontalLineAtDepth(r.Left, r.Right, pos, z);
}

void TChartAxis::DrawAxisLine() {
  TCanvas3D &canvas = parentChart_->Canvas();
  const int line = MoveOutward(PosAxis, axisWallSize_);
  if (IsDepthAxis) {
    canvas.DepthLine(line, DepthLabelY(), IStartPos, IEndPos);
    return;
  }
  const TPenLineMode mode = axisPen_->LineMode();
  if (mode == TPenLineMode::lmLine) {
    if (Horizontal)
      canvas.HorizontalLineAtDepth(IStartPos, IEndPos, line, IZPos);
    else
      canvas.VerticalLineAtDepth(line, IStartPos, IEndPos, IZPos);
    return;
  }
  canvas.Brush().SetStyle(TBrushStyle::bsSolid);
  canvas.Brush().SetColor(axisPen_->Color());
  const int w = axisPen_->Width();
  const int a = line - w / 2, b = a + w;
  const int z0 = IZPos - w / 2, z1 = z0 + w;
  if (mode == TPenLineMode::lmCylinder) {
    if (Horizontal)
      canvas.DrawCylinder(false, IStartPos, a, IEndPos, b, z0, z1, true);
    else
      canvas.DrawCylinder(true, a, IStartPos, b, IEndPos, z0, z1, true);
  } else if (Horizontal) {
    canvas.DrawBox(IStartPos, IEndPos, a, b, z0, z1, true);
  } else {
    canvas.DrawBox(a, b, IStartPos, IEndPos, z0, z1, true);
  }
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
}

void TChartAxis::DrawTicksAndGrid() {
  TCanvas3D &canvas = parentChart_->Canvas();
  canvas.SetBkMode(UloTransparentMode);
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  struct Opaque {
    TCanvas3D &c;
    ~Opaque() { c.SetBkMode(UloOpaqueMode); }
  } opaque{canvas};

  if (axisPen_->Visible()) {
    canvas.ApplyPen(*axisPen_);
    DrawAxisLine();
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
  }
  const int outside = MoveOutward(PosAxis, axisWallSize_ + 1);
  if (ticks_->Visible() && !tickPos_.empty()) {
    canvas.ApplyPen(*ticks_);
    const int end = MoveOutward(outside, tickLength_);
    for (int p : tickPos_)
      DrawTickLine(p, outside, end);
  }
  if (grid_->Visible() && !tickPos_.empty()) {
    std::vector<int> lines;
    const size_t every = static_cast<size_t>(std::max(1, grid_->DrawEvery()));
    if (!grid_->Centered()) {
      for (size_t i = 0; i < tickPos_.size(); i += every)
        lines.push_back(tickPos_[i]);
    } else {
      for (size_t i = 1; i < tickPos_.size(); ++i)
        if (i % every == 0) lines.push_back((tickPos_[i - 1] + tickPos_[i]) / 2);
    }
    lines.erase(std::remove_if(lines.begin(), lines.end(), [this](int p) { return !(p > IStartPos && p < IEndPos); }),
                lines.end());
    if (GridBandCallback) GridBandCallback(*this, lines);
    canvas.ApplyPenColor(*grid_, grid_->Color() == clDefault ? kDefaultGridColor : grid_->Color());
    for (int p : lines)
      DrawGridLine(p);
  }
  if (ticksInner_->Visible() && !tickPos_.empty()) {
    canvas.ApplyPen(*ticksInner_);
    const int end = MoveOutward(PosAxis, -tickInnerLength_);
    for (int p : tickPos_)
      DrawTickLine(p, PosAxis, end);
  }
  if (minorTicks_->Visible() && !tickPos_.empty()) {
    canvas.ApplyPen(*minorTicks_);
    DrawMinor(false, outside);
  }
  if (minorGrid_->Visible() && !tickPos_.empty()) {
    canvas.ApplyPen(*minorGrid_);
    DrawMinor(true, outside);
  }
}

void TChartAxis::DrawMinor(bool grid, int outside) {
  const int count = minorTickCount_;
  if (count <= 0) return;
  const int end = MoveOutward(outside, minorTickLength_);
  auto mark = [&](int p) {
    if (!(p > IStartPos && p < IEndPos)) return;
    if (grid)
      DrawGridLine(p);
    else
      DrawTickLine(p, outside, end);
  };
  if (logarithmic_ && increment_ == 0 && logarithmicBase_ > 1) {
    // Between a label value V and V times the base, each start once.
    std::vector<double> starts(tickValues_);
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    for (double v : starts) {
      const double gap = (v * logarithmicBase_ - v) / (count + 1);
      for (int k = 1; k <= count; ++k) {
        const double m = v + k * gap;
        if (m >= IMinimum && m <= IMaximum) mark(CalcPosValue(m));
      }
    }
    return;
  }
  for (size_t i = 0; i + 1 < tickPos_.size(); ++i) {
    const double a = tickPos_[i], b = tickPos_[i + 1];
    for (int k = 1; k <= count; ++k)
      mark(rtl::RoundPixel(a + k * (b - a) / (count + 1)));
  }
}

// ---- hit test ------------------------------------------------------------------------------------------

bool TChartAxis::Clicked(int x, int y) {
  if (!parentChart_ || !parentChart_->AxisShown(this)) return false;
  int a = std::min(PosAxis, PosLabels), b = std::max(PosAxis, PosLabels);
  if (b - a < 3) {
    if (MoveOutward(0, 1) > 0)
      b = a + 3;
    else
      a = b - 3;
  }
  const TRect r = Horizontal ? TRect{IStartPos, a, IEndPos, b} : TRect{a, IStartPos, b, IEndPos};
  const TPoint p{x, y};
  if (!parentChart_->View3D()) return x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom;
  TCanvas3D &canvas = parentChart_->Canvas();
  const int z = OtherSide ? parentChart_->HorizDepth : 0;
  const TPoint corners[4] = {canvas.ProjectPoint(r.Left, r.Top, z), canvas.ProjectPoint(r.Right, r.Top, z),
                             canvas.ProjectPoint(r.Right, r.Bottom, z), canvas.ProjectPoint(r.Left, r.Bottom, z)};
  return PointInPolygon(p, corners);
}
