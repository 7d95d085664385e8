#include "chart/series/Series.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <typeinfo>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloGallery.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProcs.h"
#include "chart/foundation/UloStoredParts.h"
#include "chart/series/UloFastLine.h"

namespace {

// How much the top plane of a steep 3D segment is darkened.
constexpr int kSlopeDarkness = 64;

constexpr streaming::TEnumName<TTreatNullsStyle> kTreatNullsNames[] = {{TTreatNullsStyle::tnDontPaint, "tnDontPaint"},
                                                                       {TTreatNullsStyle::tnSkip, "tnSkip"},
                                                                       {TTreatNullsStyle::tnIgnore, "tnIgnore"}};
constexpr streaming::TEnumName<TCustomSeriesStack> kStackNames[] = {{TCustomSeriesStack::cssNone, "cssNone"},
                                                                    {TCustomSeriesStack::cssOverlap, "cssOverlap"},
                                                                    {TCustomSeriesStack::cssStack, "cssStack"},
                                                                    {TCustomSeriesStack::cssStack100, "cssStack100"}};

bool Stacking(TCustomSeriesStack s) noexcept {
  return s == TCustomSeriesStack::cssStack || s == TCustomSeriesStack::cssStack100;
}

// Runs a restore step on every way out of a scope.
template <class F> class TRestore {
public:
  explicit TRestore(F f) : f_(std::move(f)) {}
  TRestore(const TRestore &) = delete;
  TRestore &operator=(const TRestore &) = delete;
  ~TRestore() { f_(); }

private:
  F f_;
};

// The transparent drawing of one face group, ended on every way out.
class TTransparentScope {
public:
  TTransparentScope(TUloCanvas &canvas, const TRect &rect, int transparency) : canvas_(canvas) {
    if (transparency > 0) blend_ = canvas.BeginTransparentDrawing(rect, transparency);
  }
  ~TTransparentScope() {
    if (blend_) canvas_.EndTransparentDrawing(std::move(blend_));
  }
  TTransparentScope(const TTransparentScope &) = delete;
  TTransparentScope &operator=(const TTransparentScope &) = delete;

private:
  TUloCanvas &canvas_;
  std::unique_ptr<TUloBlend> blend_;
};

} // namespace

// ---- TCustomLineSeries --------------------------------------------------------

TCustomLineSeries::TCustomLineSeries() = default;

void TCustomLineSeries::SetTreatNulls(TTreatNullsStyle value) { SetAndRepaint(treatNulls_, value); }

void TCustomLineSeries::Assign(const TCustomChartElement &source) {
  if (auto *s = dynamic_cast<const TCustomLineSeries *>(&source); s && s != this) treatNulls_ = s->treatNulls_;
  TChartSeries::Assign(source);
}

void TCustomLineSeries::DefineProperties(streaming::TPropertyTable &table) {
  TChartSeries::DefineProperties(table);
  table.Enum(
      "TreatNulls", [this] { return treatNulls_; }, [this](TTreatNullsStyle v) { SetTreatNulls(v); },
      TTreatNullsStyle::tnDontPaint, kTreatNullsNames);
}

// ---- TCustomSeries: settings ---------------------------------------------------

TCustomSeries::TCustomSeries()
    : areaBrush_(std::make_unique<TChartBrush>([this] { Changed(); })),
      areaLinesPen_(std::make_unique<TChartHiddenPen>([this] { Changed(); })),
      outLine_(std::make_unique<TChartHiddenPen>([this] { Changed(); })),
      pointer_(std::make_unique<TSeriesPointer>(this)), shadow_(std::make_unique<TUloShadow>([this] { Changed(); })),
      gradient_(std::make_unique<TUloGradient>([this] { Changed(); })) {
  SetDrawBetweenPoints(true);
}

TCustomSeries::~TCustomSeries() = default;

void TCustomSeries::SetAreaColor(TColor value) { SetAndRepaint(areaColor_, value); }
void TCustomSeries::SetBandHeight(int value) { SetAndRepaint(bandHeight_, value); }
void TCustomSeries::SetClickableLine(bool value) { SetAndRepaint(clickableLine_, value); }
void TCustomSeries::SetDarkenSlopes(bool value) { SetAndRepaint(darkenSlopes_, value); }
void TCustomSeries::SetDrawArea(bool value) { SetAndRepaint(drawArea_, value); }
void TCustomSeries::SetDrawLine(bool value) { SetAndRepaint(drawLine_, value); }
void TCustomSeries::SetInvertedStairs(bool value) { SetAndRepaint(invertedStairs_, value); }
void TCustomSeries::SetStairs(bool value) { SetAndRepaint(stairs_, value); }
void TCustomSeries::SetUsePointColor(bool value) { SetAndRepaint(usePointColor_, value); }
void TCustomSeries::SetTransparency(int value) { SetAndRepaint(transparency_, std::clamp(value, 0, 100)); }
void TCustomSeries::SetPointer(const TSeriesPointer &value) { pointer_->Assign(value); }

void TCustomSeries::SetStacked(TCustomSeriesStack value) {
  bool changed = UloStoreIfChanged(stacked_, value);
  // Series of one kind share the setting; the exact class decides, so a
  // point series never restacks the line series of the same chart.
  if (TCustomAxisPanel *chart = ParentChart())
    for (int i = 0; i < chart->SeriesCount(); ++i) {
      TChartSeries *s = chart->GetSeries(i);
      if (s != this && typeid(*s) == typeid(*this))
        changed = UloStoreIfChanged(static_cast<TCustomSeries *>(s)->stacked_, value) || changed;
    }
  if (changed) Repaint();
}

void TCustomSeries::SetParentChart(TCustomAxisPanel *value) {
  TCustomLineSeries::SetParentChart(value);
  pointer_->SetParent(value);
}

std::string TCustomSeries::GetEditor() const { return "TCustomSeriesEditor"; }

void TCustomSeries::Assign(const TCustomChartElement &source) {
  if (auto *s = dynamic_cast<const TCustomSeries *>(&source); s && s != this) {
    clickableLine_ = s->clickableLine_;
    areaBrush_->Assign(*s->areaBrush_);
    areaColor_ = s->areaColor_;
    areaLinesPen_->Assign(*s->areaLinesPen_);
    usePointColor_ = s->usePointColor_;
    darkenSlopes_ = s->darkenSlopes_;
    drawArea_ = s->drawArea_;
    drawLine_ = s->drawLine_;
    invertedStairs_ = s->invertedStairs_;
    bandHeight_ = s->bandHeight_;
    pointer_->Assign(*s->pointer_);
    stacked_ = s->stacked_;
    stairs_ = s->stairs_;
    outLine_->Assign(*s->outLine_);
    shadow_->Assign(*s->shadow_);
    transparency_ = s->transparency_;
    gradient_->Assign(*s->gradient_);
  }
  TCustomLineSeries::Assign(source);
}

void TCustomSeries::DefineProperties(streaming::TPropertyTable &table) {
  TCustomLineSeries::DefineProperties(table);
  table.Object("AreaBrush", storedParts_.Get("AreaBrush", [this](streaming::TPropertyTable &t) {
    DefineChartBrush(t, *areaBrush_);
  }));
  table.Color(
      "AreaColor", [this] { return areaColor_; }, [this](TColor c) { SetAreaColor(c); }, clDefault);
  table.Object("AreaLinesPen", storedParts_.Get("AreaLinesPen", [this](streaming::TPropertyTable &t) {
    DefineChartPen(t, *areaLinesPen_);
  }));
  table.Property("ClickableLine", this, &TCustomSeries::ClickableLine, &TCustomSeries::SetClickableLine,
                 made_.clickableLine);
  table.Property("DarkenSlopes", this, &TCustomSeries::DarkenSlopes, &TCustomSeries::SetDarkenSlopes, true);
  table.Property("DrawArea", this, &TCustomSeries::DrawArea, &TCustomSeries::SetDrawArea, made_.drawArea);
  table.Property("DrawLine", this, &TCustomSeries::DrawLine, &TCustomSeries::SetDrawLine, made_.drawLine);
  table.Property("InvertedStairs", this, &TCustomSeries::InvertedStairs, &TCustomSeries::SetInvertedStairs, false);
  table.Property("BandHeight", this, &TCustomSeries::BandHeight, &TCustomSeries::SetBandHeight, 0);
  table.Object("LinePen",
               storedParts_.Get("LinePen", [this](streaming::TPropertyTable &t) { DefineChartPen(t, Pen()); }));
  table.Object("OutLine",
               storedParts_.Get("OutLine", [this](streaming::TPropertyTable &t) { DefineChartPen(t, *outLine_); }));
  table.Object("Pointer", [this] { return pointer_.get(); });
  table.Object("Shadow",
               storedParts_.Get("Shadow", [this](streaming::TPropertyTable &t) { DefineUloShadow(t, *shadow_); }));
  table.Enum(
      "Stacked", [this] { return stacked_; }, [this](TCustomSeriesStack v) { SetStacked(v); },
      TCustomSeriesStack::cssNone, kStackNames);
  table.Property("Stairs", this, &TCustomSeries::Stairs, &TCustomSeries::SetStairs, false);
  table.Property(
      "Transparency", [this] { return Transparency(); }, [this](int v) { SetTransparency(v); }, 0);
  table.Property("UsePointColor", this, &TCustomSeries::UsePointColor, &TCustomSeries::SetUsePointColor, true);
  table.Object("Gradient", storedParts_.Get(
                               "Gradient", [this](streaming::TPropertyTable &t) { DefineUloGradient(t, *gradient_); }));
}

// ---- stacking and positions ------------------------------------------------------

bool TCustomSeries::StacksWith(const TChartSeries &other) const {
  if (typeid(other) != typeid(*this)) return false;
  const auto &o = static_cast<const TCustomSeries &>(other);
  return Stacking(o.stacked_) && o.stacked_ == stacked_ && o.Active();
}

double TCustomSeries::PointOrigin(int valueIndex, bool withSelf) const { return StackSum(valueIndex, withSelf, false); }

double TCustomSeries::StackSum(int valueIndex, bool withSelf, bool whole) const {
  TCustomAxisPanel *chart = ParentChart();
  if (valueIndex < 0 || valueIndex >= PointCount()) return 0;
  if (!chart) return withSelf ? YValues()->Value(valueIndex) : 0;
  const bool positive = YValues()->Value(valueIndex) >= 0;
  double sum = 0;
  for (int i = 0; i < chart->SeriesCount(); ++i) {
    TChartSeries *s = chart->GetSeries(i);
    if (s == this) {
      if (withSelf) sum += YValues()->Value(valueIndex);
      if (!whole) break;
      continue;
    }
    if (!StacksWith(*s) || s->PointCount() <= valueIndex) continue;
    const double v = s->YValues()->Value(valueIndex);
    if ((v >= 0) == positive) sum += v;
  }
  return sum;
}

int TCustomSeries::CalcYPosValue(int valueIndex, double value) const {
  TChartAxis *axis = GetVertAxis();
  if (!axis) return 0;
  // The axis end: the bottom of the plot, or its top when inverted.
  const int end = axis->Inverted() ? axis->IStartPos : axis->IEndPos;
  switch (stacked_) {
  case TCustomSeriesStack::cssStack: {
    const int pos = axis->CalcYPosValue(PointOrigin(valueIndex, false) + value);
    return axis->Inverted() ? std::max(pos, end) : std::min(pos, end);
  }
  case TCustomSeriesStack::cssStack100: {
    // The whole stack at this index is 100, so the last series ends at the
    // top (the sum up to this series alone would put every one there).
    const double total = StackSum(valueIndex, true, true);
    if (total == 0) return end;
    return axis->CalcYPosValue((PointOrigin(valueIndex, false) + value) * 100.0 / total);
  }
  default:
    return axis->CalcYPosValue(value);
  }
}

int TCustomSeries::GetOriginPos(int valueIndex) const {
  if (Stacking(stacked_)) return CalcYPosValue(valueIndex, 0) + offsetY_;
  TChartAxis *axis = GetVertAxis();
  if (!axis) return 0;
  return (axis->Inverted() ? axis->IStartPos : axis->IEndPos) + offsetY_;
}

int TCustomSeries::XPos(int valueIndex) const {
  TChartAxis *axis = GetHorizAxis();
  return (axis ? axis->CalcXPosValue(XValues()->Value(valueIndex)) : 0) + offsetX_;
}

int TCustomSeries::YPos(int valueIndex) const {
  return CalcYPosValue(valueIndex, YValues()->Value(valueIndex)) + offsetY_;
}

double TCustomSeries::MaxY() {
  if (stacked_ == TCustomSeriesStack::cssStack100) return 100;
  return ExtremeY(true);
}

double TCustomSeries::MinY() {
  if (stacked_ == TCustomSeriesStack::cssStack100) return 0;
  return ExtremeY(false);
}

double TCustomSeries::ExtremeY(bool greatest) {
  const int n = PointCount();
  double result = 0;
  bool any = false;
  for (int i = 0; i < n; ++i) {
    double v;
    if (stacked_ == TCustomSeriesStack::cssStack)
      v = PointOrigin(i, false) + YValues()->Value(i);
    else if (TreatNulls() != TTreatNullsStyle::tnIgnore && IsNullPoint(i))
      continue;
    else
      v = YValues()->Value(i);
    if (!any || (greatest ? v > result : v < result)) result = v;
    any = true;
  }
  return result;
}

void TCustomSeries::TakeZOrder() {
  TCustomAxisPanel *chart = ParentChart();
  // Stacked series stand in one depth row: the first takes a new slot, the
  // others the one last taken.
  if (chart && stacked_ != TCustomSeriesStack::cssNone && ZOrder() == -1 && chart->View3D() && chart->MaxZOrder >= 0) {
    for (int i = 0; i < chart->SeriesCount(); ++i) {
      TChartSeries *s = chart->GetSeries(i);
      if (s == this) break;
      if (s->Active() && typeid(*s) == typeid(*this)) {
        SetComputedZOrder(chart->MaxZOrder);
        return;
      }
    }
  }
  TCustomLineSeries::TakeZOrder();
}

TSeriesPointerStyle TCustomSeries::GetPointerStyle(int valueIndex) {
  return OnGetPointerStyle ? OnGetPointerStyle(this, valueIndex) : pointer_->Style();
}

// ---- drawing ------------------------------------------------------------------------

TColor TCustomSeries::DrawColor(TColor pointColor) const {
  return passColor_ != clNone && pointColor != clNone ? passColor_ : pointColor;
}

TColor TCustomSeries::SegmentColor(TColor pointColor) const {
  if (passColor_ != clNone) return passColor_;
  TColor c;
  if (!usePointColor_ && !drawArea_)
    c = SeriesColor();
  else if (!ColorEachPoint() && areaColor_ != clDefault)
    c = areaColor_;
  else
    c = pointColor;
  const TUloPicture *image = areaBrush_->ExistingImage();
  if (image && image->Graphic()) c = clWhite;
  return c;
}

bool TCustomSeries::Steep(int x0, int y0, int x1, int y1) const {
  const double dx = std::abs(static_cast<double>(x1) - x0);
  const double dy = std::abs(static_cast<double>(y1) - y0);
  return dy > slopeRatio_ * dx;
}

void TCustomSeries::ApplyLinePen(TCanvas3D &canvas, TColor color) {
  const TChartPen &pen = Pen();
  if (passPenWidth_ > 0) {
    // The outline pass: a wider pen in the outline colour, put back after.
    TChartPen wide;
    wide.Assign(pen);
    wide.SetWidth(passPenWidth_);
    canvas.ApplyPenColor(wide, passPenColor_);
    return;
  }
  canvas.ApplyPenColor(pen, color);
}

int TCustomSeries::LastDrawIndex() { return DrawPointsAscending() ? LastValueIndex() : FirstValueIndex(); }

void TCustomSeries::DrawVisiblePoints() {
  if (FirstValueIndex() < 0) return;
  if (shadow_->Visible() && (shadow_->HorizSize() != 0 || shadow_->VertSize() != 0) && shadow_->Color() != clNone) {
    // The series once more, offset and in the shadow colour, without markers.
    offsetX_ = shadow_->HorizSize();
    offsetY_ = shadow_->VertSize();
    passColor_ = shadow_->Color();
    hidePointer_ = true;
    TRestore back([this] {
      offsetX_ = offsetY_ = 0;
      passColor_ = clNone;
      hidePointer_ = false;
    });
    TCustomLineSeries::DrawVisiblePoints();
  }
  if (outLine_->Visible()) {
    passPenWidth_ = 2 * outLine_->Width() + Pen().Width() + 1;
    passPenColor_ = outLine_->Color();
    hidePointer_ = true;
    TRestore back([this] {
      passPenWidth_ = 0;
      passPenColor_ = clNone;
      hidePointer_ = false;
    });
    TCustomLineSeries::DrawVisiblePoints();
  }
  TCustomLineSeries::DrawVisiblePoints();
}

void TCustomSeries::DrawPoint(int valueIndex) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  int x = XPos(valueIndex), y = YPos(valueIndex);
  const TColor color = DrawColor(PointColor(valueIndex));
  const TTreatNullsStyle nulls = TreatNulls();
  const bool isNull = color == clNone;
  const bool first = valueIndex == FirstDrawIndex();
  const bool last = valueIndex == LastDrawIndex();
  if (first) {
    oldIndex_ = -1;
    oldColor_ = clDefault;
  }
  if (isNull && nulls == TTreatNullsStyle::tnSkip && !first) {
    x = oldX_;
    y = oldY_;
  }
  if (oldColor_ == clNone && nulls == TTreatNullsStyle::tnDontPaint) {
    oldX_ = x;
    oldY_ = y;
  }
  originPos_ = GetOriginPos(valueIndex);
  if (first) {
    if (darkenSlopes_) {
      const int depth = chart->SeriesDepth();
      slopeRatio_ = depth == 0 ? 1.0 : std::abs(static_cast<double>(chart->SeriesHeight()) / depth);
    }
    oldX_ = x;
    oldY_ = y;
    oldOriginPos_ = originPos_;
    if (valueIndex == FirstValueIndex() && valueIndex > 0 && !drawArea_) {
      // A zoomed line starts at the chart's edge, on its way from the point
      // outside.
      TChartAxis *h = GetHorizAxis();
      const int edge = h && h->Inverted() ? chart->ChartRect.Right : chart->ChartRect.Left;
      const int px = XPos(valueIndex - 1), py = YPos(valueIndex - 1);
      oldX_ = edge + offsetX_;
      if (stairs_ || px == x)
        oldY_ = y;
      else
        oldY_ = UloPixel(py + (static_cast<double>(y) - py) * (static_cast<double>(oldX_) - px) / (x - px));
      if (!isNull) DrawSegment(valueIndex, x, y, color, last);
    } else if (last && !isNull) {
      DrawMarker(valueIndex, x, y, color);
    }
  } else {
    DrawSegment(valueIndex, x, y, color, last);
  }
  oldX_ = x;
  oldY_ = y;
  oldOriginPos_ = originPos_;
  oldColor_ = color;
  oldIndex_ = valueIndex;
}

void TCustomSeries::DrawSegment(int valueIndex, int x, int y, TColor color, bool isLast) {
  TCanvas3D &canvas = ParentChart()->Canvas();
  const TTreatNullsStyle nulls = TreatNulls();
  const bool same = x == oldX_ && y == oldY_;
  const bool skip = same || (nulls != TTreatNullsStyle::tnIgnore && color == clNone);
  if (!skip) {
    const bool is3D = ParentChart()->View3D();
    if (is3D && (drawArea_ || drawLine_))
      DrawPlanes(canvas, x, y, color, isLast);
    else if (!is3D && !drawArea_ && drawLine_) {
      ApplyLinePen(canvas, SegmentColor(color));
      canvas.Brush().SetStyle(TBrushStyle::bsClear);
      canvas.MoveTo(oldX_, oldY_);
      if (stairs_) {
        if (invertedStairs_)
          canvas.LineTo(oldX_, y);
        else
          canvas.LineTo(x, oldY_);
      }
      canvas.LineTo(x, y);
    }
    if (drawArea_) DrawAreaFill(canvas, valueIndex, x, y, color, isLast);
  }
  if (!pointer_->Visible() || hidePointer_) return;
  if (oldIndex_ >= 0 && !(oldColor_ == clNone && nulls != TTreatNullsStyle::tnIgnore))
    DrawMarker(oldIndex_, oldX_, oldY_, oldColor_ == clNone ? color : oldColor_);
  if (isLast && color != clNone) DrawMarker(valueIndex, x, y, color);
}

void TCustomSeries::DrawPlanes(TCanvas3D &canvas, int x, int y, TColor color, bool isLast) {
  const TColor c = SegmentColor(color);
  canvas.ApplyBrushColor(drawArea_ ? *areaBrush_ : Brush(), c);
  ApplyLinePen(canvas, c);
  const TPoint p{oldX_, oldY_}, q{x, y};
  const TRect bounds = NormalizeRect(TRect{std::min(p.X, q.X), std::min(p.Y, q.Y) - ParentChart()->VertDepth,
                                           std::max(p.X, q.X) + ParentChart()->HorizDepth + 1,
                                           std::max(p.Y, q.Y) + std::max(bandHeight_, 0) + 1});
  TTransparentScope blend(canvas, bounds, Transparency());
  const bool dark = darkenSlopes_ && !canvas.CapabilityFlagA();
  if (!stairs_) {
    if (bandHeight_ != 0 && !drawArea_) {
      canvas.QuadAtDepth(p, q, TPoint{q.X, q.Y + bandHeight_}, TPoint{p.X, p.Y + bandHeight_}, StartZ);
      if (isLast) canvas.SideRectAtX(q.X, q.Y, q.Y + bandHeight_, StartZ, EndZ);
    }
    if (dark && Steep(p.X, p.Y, q.X, q.Y))
      canvas.ApplyDarkBrushColor(c, kSlopeDarkness);
    else
      canvas.ApplyBrushColor(drawArea_ ? *areaBrush_ : Brush(), c);
    if (gradient_->Visible()) {
      const TFourPoints quad{canvas.ProjectPoint(p.X, p.Y, StartZ), canvas.ProjectPoint(q.X, q.Y, StartZ),
                             canvas.ProjectPoint(q.X, q.Y, EndZ), canvas.ProjectPoint(p.X, p.Y, EndZ)};
      canvas.GradientPolygon(quad, *gradient_);
    } else {
      canvas.VerticalQuad(p, q, StartZ, EndZ);
    }
    return;
  }
  auto vertical = [&](int at, int from, int to) {
    if (dark) canvas.ApplyDarkBrushColor(c, kSlopeDarkness);
    canvas.SideRectAtX(at, std::min(from, to), std::max(from, to), StartZ, EndZ);
  };
  auto horizontal = [&](int from, int to, int at) {
    canvas.ApplyBrushColor(drawArea_ ? *areaBrush_ : Brush(), c);
    canvas.HorizontalRectAtHeight(std::min(from, to), at, std::max(from, to), StartZ, EndZ);
  };
  if (invertedStairs_) {
    vertical(p.X, p.Y, q.Y);
    horizontal(p.X, q.X, q.Y);
  } else {
    horizontal(p.X, q.X, p.Y);
    vertical(q.X, p.Y, q.Y);
  }
}

void TCustomSeries::DrawAreaFill(TCanvas3D &canvas, int valueIndex, int x, int y, TColor color, bool isLast) {
  TColor c = SegmentColor(color);
  if (c == clDefault) c = SeriesColor();
  const TUloPicture *image = areaBrush_->ExistingImage();
  if (image && image->Graphic() && c == SeriesColor()) c = clWhite;
  canvas.ApplyBrushColor(*areaBrush_, c);
  const bool linesPen = areaLinesPen_->Visible() && areaLinesPen_->Color() != clDefault;
  if (linesPen)
    canvas.ApplyPen(*areaLinesPen_);
  else
    canvas.Pen().SetStyle(TPenStyle::psClear);
  const bool is3D = ParentChart()->View3D();
  const TPoint p{oldX_, oldY_}, q{x, y};
  const TPoint p0{oldX_, oldOriginPos_}, q0{x, originPos_};
  const TRect bounds = TRect{std::min(p.X, q.X), std::min({p.Y, q.Y, p0.Y, q0.Y}) - ParentChart()->VertDepth,
                             std::max(p.X, q.X) + ParentChart()->HorizDepth + 1, std::max({p.Y, q.Y, p0.Y, q0.Y}) + 1};
  TTransparentScope blend(canvas, bounds, Transparency());
  if (is3D) {
    // End faces where the area starts or stops.
    const TTreatNullsStyle nulls = TreatNulls();
    const bool nextNull =
        nulls == TTreatNullsStyle::tnDontPaint && valueIndex + 1 < PointCount() && IsNullPoint(valueIndex + 1);
    const bool afterNull = nulls == TTreatNullsStyle::tnDontPaint && oldColor_ == clNone;
    auto endFace = [&](int at, int top, int bottom) {
      if (darkenSlopes_) canvas.ApplyDarkBrushColor(c, kSlopeDarkness);
      canvas.SideRectAtX(at, std::min(top, bottom), std::max(top, bottom), StartZ, EndZ);
      canvas.ApplyBrushColor(*areaBrush_, c);
    };
    if (isLast || nextNull) endFace(q.X, q.Y, q0.Y);
    if (afterNull) endFace(p.X, p.Y, p0.Y);
  }
  if (!stairs_) {
    const TPoint quad[4] = {p, q, q0, p0};
    if (!is3D) {
      if (gradient_->Visible()) {
        // The gradient spans the value axis, so that neighbouring
        // segments join into one fill.
        TChartAxis *axis = GetVertAxis();
        const int top = axis ? std::min(axis->IStartPos, axis->IEndPos) : std::min(p.Y, q.Y);
        const int bottom = axis ? std::max(axis->IStartPos, axis->IEndPos) : std::max(p0.Y, q0.Y);
        canvas.ClipToPolygon(quad);
        gradient_->PaintRect(canvas, TRect{std::min(p.X, q.X), top, std::max(p.X, q.X) + 1, bottom + 1});
        canvas.RemoveClip();
        if (canvas.Pen().Style() != TPenStyle::psClear) {
          canvas.Brush().SetStyle(TBrushStyle::bsClear);
          canvas.Polygon(quad);
        }
      } else {
        canvas.Polygon(quad);
      }
    } else {
      const int rotation = ParentChart()->View3DOptions().Rotation();
      const int z = rotation < 91 || rotation > 269 ? StartZ : EndZ;
      if (gradient_->Visible()) {
        TPoint projected[4];
        for (int k = 0; k < 4; ++k)
          projected[k] = canvas.ProjectPoint(quad[k].X, quad[k].Y, z);
        canvas.GradientPolygon(projected, *gradient_);
      } else {
        canvas.PolygonAtDepth(quad, z);
      }
    }
  } else {
    const int stepY = invertedStairs_ ? q.Y : p.Y;
    const int left = std::min(p.X, q.X), right = std::max(p.X, q.X);
    const int bottom = invertedStairs_ ? q0.Y : p0.Y;
    if (!is3D)
      canvas.Rectangle(left, std::min(stepY, bottom), right + 1, std::max(stepY, bottom) + 1);
    else {
      const int rotation = ParentChart()->View3DOptions().Rotation();
      const int z = rotation < 91 || rotation > 269 ? StartZ : EndZ;
      canvas.RectangleAtDepth(TRect{left, std::min(stepY, bottom), right + 1, std::max(stepY, bottom) + 1}, z);
    }
  }
  if (areaLinesPen_->Visible()) {
    canvas.ApplyPen(*areaLinesPen_);
    if (!stairs_)
      canvas.LineAtDepth(q.X, q0.Y, q.X, q.Y, StartZ);
    else {
      canvas.LineAtDepth(p.X, p0.Y, p.X, p.Y, StartZ);
      canvas.LineAtDepth(q.X, q0.Y, q.X, invertedStairs_ ? q.Y : p.Y, StartZ);
    }
  }
}

void TCustomSeries::DrawMarker(int valueIndex, int x, int y, TColor color) {
  if (!pointer_->Visible() || hidePointer_ || color == clNone) return;
  TCustomAxisPanel *chart = ParentChart();
  const TSeriesPointerStyle style = GetPointerStyle(valueIndex);
  if (style == TSeriesPointerStyle::psNothing) return;
  TCanvas3D &canvas = chart->Canvas();
  pointer_->PrepareCanvas(canvas, color);
  pointer_->DrawMarker(canvas, chart->View3D(), x, y, pointer_->HorizSize(), pointer_->VertSize(), color, style);
}

// ---- legend, margins -----------------------------------------------------------------

void TCustomSeries::DrawLegendShape(int valueIndex, const TRect &rect) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  TCanvas3D &canvas = chart->Canvas();
  const TColor color = valueIndex == -1 ? SeriesColor() : LegendRowColor(valueIndex);
  if (pointer_->Visible()) {
    if (drawLine_) {
      canvas.ApplyPenColor(Pen(), color);
      canvas.HorizontalLine(rect.Left, rect.Right, (rect.Top + rect.Bottom) / 2);
    }
    const TSeriesPointerStyle style =
        valueIndex >= 0 && OnGetPointerStyle ? OnGetPointerStyle(this, valueIndex) : pointer_->Style();
    pointer_->PrepareCanvas(canvas, color);
    pointer_->DrawLegendShape(color, rect, style, drawLine_);
    return;
  }
  if (drawLine_ && !drawArea_) {
    if (chart->View3D()) {
      canvas.ApplyBrushColor(*areaBrush_, SegmentColor(color) == clDefault ? color : SegmentColor(color));
      chart->PanelRectangle(rect);
    } else {
      canvas.ApplyPenColor(Pen(), color);
      canvas.HorizontalLine(rect.Left, rect.Right, (rect.Top + rect.Bottom) / 2);
    }
    return;
  }
  TCustomLineSeries::DrawLegendShape(valueIndex, rect);
}

void TCustomSeries::WidenForLines(int &low, int &high) {
  if (drawLine_ && stairs_) {
    low = std::max(low, Pen().Width());
    high = std::max(high, Pen().Width());
  }
  if (outLine_->Visible()) {
    low = std::max(low, outLine_->Width());
    high = std::max(high, outLine_->Width());
  }
}

void TCustomSeries::HorizMargins(int &leftMargin, int &rightMargin) {
  TCustomLineSeries::HorizMargins(leftMargin, rightMargin);
  pointer_->WidenHorizMargins(leftMargin, rightMargin);
  WidenForLines(leftMargin, rightMargin);
}

void TCustomSeries::VertMargins(int &topMargin, int &bottomMargin) {
  TCustomLineSeries::VertMargins(topMargin, bottomMargin);
  pointer_->WidenVertMargins(topMargin, bottomMargin);
  WidenForLines(topMargin, bottomMargin);
  if (Marks().Visible()) {
    const TMarksCallout *callout = Marks().ExistingCallout();
    topMargin += Marks().ArrowLength() + (callout ? callout->Distance() : 0);
  }
  TCustomAxisPanel *chart = ParentChart();
  if (chart && chart->View3D() && !drawArea_ && bandHeight_ >= 1 && bandHeight_ > bottomMargin)
    bottomMargin = bandHeight_;
}

// ---- click test ------------------------------------------------------------------------

int TCustomSeries::PointAtPixel(int x, int y) { return ClickTest(x, y, false); }

int TCustomSeries::ClickedPointAtPixel(int x, int y) { return ClickTest(x, y, true); }

int TCustomSeries::ClickTest(int x, int y, bool fireEvents) {
  TCustomAxisPanel *chart = ParentChart();
  const int mouseX = x, mouseY = y;
  if (chart && chart->View3D()) chart->Canvas().ScreenTo3D(x, y, StartZ);
  if (const int base = TCustomLineSeries::PointAtPixel(x, y); base != -1) return base;
  const int first = FirstValueIndex(), last = LastValueIndex();
  if (first < 0 || last < first || !chart) return -1;
  const TPoint mouse{x, y};
  const bool is3D = chart->View3D();
  TCanvas3D &canvas = chart->Canvas();
  const int start = clickableLine_ ? std::max(0, first - 1) : first;
  const int count = PointCount();
  int prevX = 0, prevY = 0, prevOrigin = 0;
  for (int i = start; i <= last && i < count; ++i) {
    const int px = XPos(i), py = YPos(i);
    const int origin = drawArea_ ? GetOriginPos(i) : 0;
    if (pointer_->Visible()) {
      const TSeriesPointerStyle style = GetPointerStyle(i);
      if (style != TSeriesPointerStyle::psNothing && std::abs(x - px) < pointer_->HorizSize() &&
          std::abs(y - py) < pointer_->VertSize()) {
        if (fireEvents && OnClickPointer) OnClickPointer(this, i, mouseX, mouseY);
        return i;
      }
    }
    if (px == x && py == y) return i;
    if (i > start && clickableLine_) {
      bool hit = false;
      if (is3D) {
        const TPoint quad[4] = {canvas.ProjectPoint(prevX, prevY, StartZ), canvas.ProjectPoint(px, py, StartZ),
                                canvas.ProjectPoint(px, py, EndZ), canvas.ProjectPoint(prevX, prevY, EndZ)};
        TPoint screen{mouseX, mouseY};
        hit = PointInPolygon(screen, quad);
      } else if (stairs_) {
        const TPoint corner = invertedStairs_ ? TPoint{prevX, py} : TPoint{px, prevY};
        hit = PointInLineP(mouse, TPoint{prevX, prevY}, corner, 0) || PointInLineP(mouse, corner, TPoint{px, py}, 0);
      } else {
        hit = PointInLine(mouse, prevX, prevY, 0, px, py);
      }
      if (!hit && drawArea_) {
        const TPoint area[4] = {{prevX, prevY}, {px, py}, {px, origin}, {prevX, prevOrigin}};
        hit = PointInPolygon(mouse, area);
      }
      if (hit) return i - 1;
    }
    prevX = px;
    prevY = py;
    prevOrigin = origin;
  }
  return -1;
}

// ---- TPointSeries -----------------------------------------------------------------------

TPointSeries::TPointSeries() {
  FixSettings();
  Pointer().InitVisible(true);
  Marks().Callout().InitLength(0);
  KeepMadeSettings();
}

void TPointSeries::FixSettings() {
  Pointer().SetVisible(true);
  SetDrawArea(false);
  SetDrawLine(false);
  SetClickableLine(false);
  Marks().Callout().SetLength(0);
}

std::string TPointSeries::GetEditor() const { return "TSeriesPointerEditor"; }

void TPointSeries::Assign(const TCustomChartElement &source) {
  TCustomSeries::Assign(source);
  FixSettings();
}

int TPointSeries::Transparency() const noexcept { return Pointer().Transparency(); }

void TPointSeries::SetTransparency(int value) { Pointer().SetTransparency(value); }

void TPointSeries::SetColorEachPoint(bool value) {
  TCustomSeries::SetColorEachPoint(value);
  if (value) Pointer().Brush().SetColor(clDefault);
}

void TPointSeries::ListSubStyles(const TUloSubStyleCallback &callback) {
  TCustomSeries::ListSubStyles(callback);
  if (!callback) return;
  for (const std::string *text :
       {&UloMsgStyleColors, &UloMsgStyleMarks, &UloMsgStyleHollow, &UloMsgStyleNoBorder, &UloMsgGradient})
    callback(*text);
  if (!Allows3DPointerStyles()) return;
  for (const std::string *text :
       {&UloMsgStylePoint2D, &UloMsgStyleTriangle, &UloMsgStyleStar, &UloMsgStyleCircle, &UloMsgStyleDownTriangle,
        &UloMsgStyleCross, &UloMsgStyleDiamond, &UloMsgStyleHexagon})
    callback(*text);
}

void TPointSeries::ApplySubStyle(int index) {
  TSeriesPointer &p = Pointer();
  switch (index) {
  case 1:
    SetColorEachPoint(true);
    break;
  case 2:
    Marks().SetVisible(true);
    break;
  case 3:
    p.Brush().SetStyle(TBrushStyle::bsClear);
    break;
  case 4:
    p.Pen().SetVisible(false);
    break;
  case 5:
    p.Gradient().SetVisible(true);
    break;
  case 6:
    p.SetDraw3D(false);
    break;
  case 7:
    p.SetStyle(TSeriesPointerStyle::psTriangle);
    break;
  case 8:
    p.SetStyle(TSeriesPointerStyle::psStar);
    break;
  case 9:
    p.SetStyle(TSeriesPointerStyle::psCircle);
    p.SetSize(8);
    break;
  case 10:
    p.SetStyle(TSeriesPointerStyle::psDownTriangle);
    break;
  case 11:
    p.SetStyle(TSeriesPointerStyle::psCross);
    break;
  case 12:
    p.SetStyle(TSeriesPointerStyle::psDiamond);
    break;
  case 13:
    p.SetStyle(TSeriesPointerStyle::psHexagon);
    break;
  default:
    TCustomSeries::ApplySubStyle(index);
    break;
  }
}

void TPointSeries::PrepareForGallery(bool enabled) {
  TCustomSeries::PrepareForGallery(enabled);
  TCustomAxisPanel *chart = ParentChart();
  Pointer().SetSize(chart && chart->Width() >= 50 ? 6 : 4);
  if (chart && chart->SeriesCount() > 1 && chart->GetSeries(1) == this)
    Pointer().SetStyle(TSeriesPointerStyle::psTriangle);
}

// ---- TLineSeries, TAreaSeries --------------------------------------------------------------

TLineSeries::TLineSeries() {
  SetDrawLine(true);
  Pointer().InitVisible(false);
  KeepMadeSettings();
}

TAreaSeries::TAreaSeries() {
  SetDrawArea(true);
  SetDrawLine(true);
  Pointer().InitVisible(false);
  KeepMadeSettings();
}

// ---- unit start and stop ----------------------------------------------------------------

void StartSeriesUnit() {
  RegisterUloSeries(UloClass<TLineSeries>(), UloMsgGalleryLine, UloMsgPageStandard, 2);
  RegisterUloSeries(UloClass<TAreaSeries>(), UloMsgGalleryArea, UloMsgPageStandard, 2);
  RegisterUloSeries(UloClass<TPointSeries>(), UloMsgGalleryPoint, UloMsgPageStandard, 2);
  RegisterUloSeries(UloClass<TFastLineSeries>(), UloMsgGalleryFastLine, UloMsgPageStandard, 2);
}

void StopSeriesUnit() {
  UnRegisterUloSeries(
      {UloClass<TLineSeries>(), UloClass<TAreaSeries>(), UloClass<TPointSeries>(), UloClass<TFastLineSeries>()});
}
