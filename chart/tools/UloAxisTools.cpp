// The axis tools: arrows, axis scrolling, colour lines, colour bands and
// grid bands.
#include "chart/tools/UloAxisTools.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "chart/engine/Chart.h"
#include "chart/engine/UloAxis.h"
#include "chart/engine/UloGallery.h"
#include "chart/foundation/UloProCo.h"
#include "chart/foundation/UloProcs.h"
#include "platform/forms/Cursors.h"

namespace {

constexpr streaming::TEnumName<TAxisArrowToolPosition> kPositionNames[] = {
    {TAxisArrowToolPosition::aaStart, "aaStart"},
    {TAxisArrowToolPosition::aaEnd, "aaEnd"},
    {TAxisArrowToolPosition::aaBoth, "aaBoth"},
};

constexpr streaming::TEnumName<TColorLineStyle> kLineStyleNames[] = {
    {TColorLineStyle::clCustom, "clCustom"},
    {TColorLineStyle::clMaximum, "clMaximum"},
    {TColorLineStyle::clCenter, "clCenter"},
    {TColorLineStyle::clMinimum, "clMinimum"},
};

// The chart control's scroll permission; a plain panel always allows.
bool AllowScroll(TCustomAxisPanel &chart, TChartAxis &axis, double delta) {
  auto *control = dynamic_cast<TCustomChart *>(&chart);
  if (!control || !control->OnAllowScroll) return true;
  double aMin = axis.Minimum() + delta;
  double aMax = axis.Maximum() + delta;
  bool allow = true;
  control->OnAllowScroll(&axis, aMin, aMax, allow);
  return allow;
}

// Whether some series, active ones only when asked, lies on both axes.
bool SharesSeries(TCustomAxisPanel &chart, TChartAxis *a, TChartAxis *b, bool activeOnly) {
  for (int i = 0; i < chart.SeriesCount(); ++i) {
    TChartSeries *s = chart.GetSeries(i);
    if (activeOnly && !s->Active()) continue;
    if (s->IsOnAxis(a) && s->IsOnAxis(b)) return true;
  }
  return false;
}

TRect Ordered(const TRect &r) { return NormalizeRect(r); }

// A chart brush left at its automatic colour fills white, as a plain
// brush does; the automatic colour never reaches the device.
TColor FillColor(const TBrush &brush) { return brush.Color() == clDefault ? clWhite : brush.Color(); }

} // namespace

// ---- arrows ---------------------------------------------------------------------------

TAxisArrowTool::TAxisArrowTool() = default;

std::string TAxisArrowTool::GetGalleryName() const { return UloProToolAxisArrows; }
std::string TAxisArrowTool::GetGalleryHint() const { return UloProHintAxisArrowTool; }

int TAxisArrowTool::ArrowAtPoint(int x, int y) const {
  const TChartAxis *axis = Axis();
  if (!axis) return -1;
  const int along = axis->Horizontal ? x : y;
  const int across = axis->Horizontal ? y : x;
  if (std::abs(across - axis->PosAxis) >= 3) return -1;
  const bool start = position_ != TAxisArrowToolPosition::aaEnd;
  const bool end = position_ != TAxisArrowToolPosition::aaStart;
  if (start && axis->IStartPos < along && along < axis->IStartPos + length_) return 0;
  if (end && axis->IEndPos - length_ < along && along < axis->IEndPos) return 1;
  return -1;
}

void TAxisArrowTool::ScrollAxis(double delta) {
  TChartAxis *axis = Axis();
  TCustomAxisPanel *chart = ParentChart();
  if (!axis || !chart) return;
  if (!AllowScroll(*chart, *axis, delta)) return;
  axis->Scroll(delta, false);
  TChartAxis *paired = nullptr;
  if (axis == chart->BottomAxis()) paired = chart->TopAxis();
  if (axis == chart->TopAxis()) paired = chart->BottomAxis();
  if (axis == chart->LeftAxis()) paired = chart->RightAxis();
  if (axis == chart->RightAxis()) paired = chart->LeftAxis();
  if (paired && SharesSeries(*chart, axis, paired, true)) paired->Scroll(delta, false);
  if (chart->OnScroll) chart->OnScroll();
}

void TAxisArrowTool::ChartEvent(int stage) {
  TChartAxis *axis = Axis();
  TCustomAxisPanel *chart = ParentChart();
  if (stage != UloToolStageAfterDraw || !axis || !chart) return;
  TCanvas3D &canvas = chart->Canvas();
  canvas.ApplyBrushColor(Brush(), FillColor(Brush()));
  canvas.ApplyPen(Pen());
  const int z = chart->View3D() && axis->OtherSide ? chart->HorizDepth : 0;
  auto at = [axis](int along) {
    return axis->Horizontal ? TPoint{along, axis->PosAxis} : TPoint{axis->PosAxis, along};
  };
  if (position_ != TAxisArrowToolPosition::aaEnd)
    canvas.DrawArrow(true, at(axis->IStartPos + length_), at(axis->IStartPos), headWidth_, headWidth_, z, sizePercent_);
  if (position_ != TAxisArrowToolPosition::aaStart)
    canvas.DrawArrow(true, at(axis->IEndPos - length_), at(axis->IEndPos), headWidth_, headWidth_, z, sizePercent_);
}

void TAxisArrowTool::ChartMouseEvent(int kind, forms::TMouseButton, forms::TShiftState, int x, int y) {
  TChartAxis *axis = Axis();
  TCustomAxisPanel *chart = ParentChart();
  if (!axis || !chart || !axis->Visible()) return;
  if (kind == UloToolMouseDown) {
    if (scrollPercent_ == 0) return;
    const int which = ArrowAtPoint(x, y);
    if (which == -1) return;
    double delta = (axis->Maximum() - axis->Minimum()) * scrollPercent_ / 100.0;
    if (scrollInverted_) delta = -delta;
    ScrollAxis(which == 0 ? delta : -delta);
    chart->CancelMouse = true;
    if (OnClick) OnClick(this, which == 0);
  } else if (kind == UloToolMouseMove) {
    if (ArrowAtPoint(x, y) == -1) return;
    chart->SetCursor(forms::kCursorHandPoint);
    chart->CancelMouse = true;
  }
}

void TAxisArrowTool::Assign(const TCustomChartElement &source) {
  if (auto *other = dynamic_cast<const TAxisArrowTool *>(&source)) {
    headWidth_ = other->headWidth_;
    length_ = other->length_;
    position_ = other->position_;
    scrollPercent_ = other->scrollPercent_;
    scrollInverted_ = other->scrollInverted_;
    sizePercent_ = other->sizePercent_;
  }
  TUloCustomToolAxis::Assign(source);
}

void TAxisArrowTool::DefineProperties(streaming::TPropertyTable &table) {
  TUloCustomToolAxis::DefineProperties(table);
  using T = TAxisArrowTool;
  table.Object("Brush",
               storedParts_.Get("Brush", [this](streaming::TPropertyTable &t) { DefineChartBrush(t, Brush()); }));
  table.Property("HeadWidth", this, &T::HeadWidth, &T::SetHeadWidth, 8);
  table.Property("Length", this, &T::Length, &T::SetLength, 16);
  table.Object("Pen", storedParts_.Get("Pen", [this](streaming::TPropertyTable &t) { DefineChartPen(t, Pen()); }));
  table.Enum(
      "Position", [this] { return position_; }, [this](TAxisArrowToolPosition v) { SetPosition(v); },
      TAxisArrowToolPosition::aaBoth, kPositionNames);
  table.Property("ScrollInverted", this, &T::ScrollInverted, &T::SetScrollInverted, false);
  table.Property("ScrollPercent", this, &T::ScrollPercent, &T::SetScrollPercent, 10);
  table.Property("SizePercent", this, &T::SizePercent, &T::SetSizePercent, 50);
}

// ---- axis scrolling ------------------------------------------------------------------------

std::string TAxisScrollTool::GetGalleryName() const { return UloProToolAxisScroll; }
std::string TAxisScrollTool::GetGalleryHint() const { return UloProHintAxisScrollTool; }

TChartAxis *TAxisScrollTool::AxisUnder(int x, int y) const {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return nullptr;
  if (TChartAxis *axis = Axis()) return axis->Visible() && axis->Clicked(x, y) ? axis : nullptr;
  for (int i = 0; i < chart->Axes().Count(); ++i) {
    TChartAxis *axis = chart->Axes()[i];
    if (axis->Visible() && axis->Clicked(x, y)) return axis;
  }
  return nullptr;
}

void TAxisScrollTool::ScrollBy(TChartAxis &axis, int pixels) {
  if (axis.IAxisSize == 0) return;
  axis.Scroll((axis.Maximum() - axis.Minimum()) * pixels / axis.IAxisSize, false);
}

void TAxisScrollTool::ChartMouseEvent(int kind, forms::TMouseButton, forms::TShiftState, int x, int y) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  switch (kind) {
  case UloToolMouseDown:
    dragAxis_ = AxisUnder(x, y);
    lastX_ = x;
    lastY_ = y;
    // The press belongs to the scroll: the chart must not start a zoom
    // drag from it as well.
    if (dragAxis_) chart->CancelMouse = true;
    break;
  case UloToolMouseMove: {
    if (!dragAxis_) {
      if (AxisUnder(x, y)) {
        chart->SetCursor(forms::kCursorHandPoint);
        chart->CancelMouse = true;
      }
      break;
    }
    TChartAxis &axis = *dragAxis_;
    int d = axis.Horizontal ? lastX_ - x : lastY_ - y;
    if (axis.Inverted()) d = -d;
    if (axis.Horizontal ? scrollInverted_ : !scrollInverted_) d = -d;
    // The other axes of this orientation that show a series with it move
    // by the same pixels; take them before this one's range changes.
    std::vector<TChartAxis *> others;
    for (int i = 0; i < chart->Axes().Count(); ++i) {
      TChartAxis *other = chart->Axes()[i];
      if (other != &axis && !other->IsDepthAxis && other->Horizontal == axis.Horizontal &&
          SharesSeries(*chart, &axis, other, false))
        others.push_back(other);
    }
    ScrollBy(axis, d);
    for (TChartAxis *other : others)
      ScrollBy(*other, d);
    lastX_ = x;
    lastY_ = y;
    chart->CancelMouse = true;
    break;
  }
  case UloToolMouseUp:
    dragAxis_ = nullptr;
    break;
  default:
    break;
  }
}

void TAxisScrollTool::SetActive(bool value) {
  TUloCustomToolAxis::SetActive(value);
  if (!value) dragAxis_ = nullptr;
}

void TAxisScrollTool::Assign(const TCustomChartElement &source) {
  if (auto *other = dynamic_cast<const TAxisScrollTool *>(&source)) scrollInverted_ = other->scrollInverted_;
  TUloCustomToolAxis::Assign(source);
}

void TAxisScrollTool::DefineProperties(streaming::TPropertyTable &table) {
  TUloCustomToolAxis::DefineProperties(table);
  table.Property("ScrollInverted", this, &TAxisScrollTool::ScrollInverted, &TAxisScrollTool::SetScrollInverted, false);
}

// ---- colour line -----------------------------------------------------------------------------

TColorLineTool::TColorLineTool() = default;

std::string TColorLineTool::GetGalleryName() const { return UloProToolColorLine; }
std::string TColorLineTool::GetGalleryHint() const { return UloProHintColorLineTool; }

void TColorLineTool::SetValue(double value) {
  if (Loading()) {
    value_ = value;
    return;
  }
  const bool changed = style_ != TColorLineStyle::clCustom || value_ != value;
  style_ = TColorLineStyle::clCustom;
  value_ = value;
  // A drag that moves a not-xor line repaints once, when it ends.
  if (changed && !(dragging_ && !dragRepaint_)) Repaint();
}

double TColorLineTool::EffectiveValue() const {
  const TChartAxis *axis = Axis();
  if (!axis) return value_;
  switch (style_) {
  case TColorLineStyle::clMaximum:
    return axis->Maximum();
  case TColorLineStyle::clCenter:
    return (axis->Maximum() + axis->Minimum()) * 0.5;
  case TColorLineStyle::clMinimum:
    return axis->Minimum();
  default:
    return value_;
  }
}

double TColorLineTool::ClampToAxis(double v) const {
  const TChartAxis *axis = Axis();
  if (!axis) return v;
  const double a = axis->CalcPosPoint(axis->IStartPos);
  const double b = axis->CalcPosPoint(axis->IEndPos);
  const double lo = std::min(a, b), hi = std::max(a, b);
  if (v < lo) return lo;
  if (v > hi) return hi;
  return v;
}

int TColorLineTool::LinePixel() const {
  double v = EffectiveValue();
  if (allowDrag_ && !noLimitDrag_) v = ClampToAxis(v);
  return Axis()->CalcPosValue(v);
}

void TColorLineTool::DrawPart(bool back) {
  TCustomAxisPanel *chart = Drawer();
  TChartAxis *axis = Axis();
  if (!chart || !axis) return;
  TCanvas3D &canvas = chart->Canvas();
  const TRect &r = chart->ChartRect;
  const int depth = chart->HorizDepth;
  const bool is3D = chart->View3D();
  const int p = LinePixel();
  if (back) {
    if (axis->Horizontal) {
      if (draw3D_ && is3D) canvas.DepthLine(p, r.Bottom, 0, depth);
      if (drawBehind_ || draw3D_) canvas.VerticalLineAtDepth(p, r.Top, r.Bottom, depth);
    } else {
      if (draw3D_ && is3D) canvas.DepthLine(r.Left, p, 0, depth);
      if (drawBehind_ || draw3D_) canvas.HorizontalLineAtDepth(r.Left, r.Right, p, depth);
    }
    return;
  }
  // In 2D the moving not-xor line is the back part alone.
  if (!is3D && dragging_ && !dragRepaint_) return;
  if (axis->Horizontal) {
    if (draw3D_ && is3D) canvas.DepthLine(p, r.Bottom, 0, depth);
    if (!drawBehind_) canvas.VerticalLineAtDepth(p, r.Top, r.Bottom, 0);
  } else {
    if (draw3D_ && is3D) canvas.DepthLine(r.Right, p, 0, depth);
    if (!drawBehind_) canvas.HorizontalLineAtDepth(r.Left, r.Right, p, 0);
  }
}

void TColorLineTool::PaintLine() {
  TCustomAxisPanel *chart = Drawer();
  if (!chart || !Axis()) return;
  TCanvas3D &canvas = chart->Canvas();
  canvas.ApplyPen(Pen());
  canvas.SetBkMode(UloTransparentMode);
  DrawPart(true);
}

void TColorLineTool::PaintLineFront() {
  TCustomAxisPanel *chart = Drawer();
  if (!chart || !Axis()) return;
  TCanvas3D &canvas = chart->Canvas();
  canvas.ApplyPen(Pen());
  canvas.SetBkMode(UloTransparentMode);
  DrawPart(false);
}

void TColorLineTool::DrawDragFeedback() {
  TCustomAxisPanel *chart = Drawer();
  if (!chart) return;
  TCanvas3D &canvas = chart->Canvas();
  canvas.ApplyPen(Pen());
  canvas.Pen().SetMode(TPenMode::pmNotXor);
  canvas.SetBkMode(UloTransparentMode);
  DrawPart(true);
  DrawPart(false);
  canvas.Pen().SetMode(TPenMode::pmCopy);
}

bool TColorLineTool::NearLine(int x, int y) const {
  TCustomAxisPanel *chart = Drawer();
  const TChartAxis *axis = Axis();
  if (!chart || !axis) return false;
  const TRect &r = chart->ChartRect;
  const int p = LinePixel();
  if (axis->Horizontal) return std::abs(x - p) < 3 && y >= r.Top && y <= r.Bottom;
  return std::abs(y - p) < 3 && x >= r.Left && x <= r.Right;
}

void TColorLineTool::DoEndDragLine() {
  if (OnEndDragLine) OnEndDragLine(this);
}

void TColorLineTool::ChartEvent(int stage) {
  if (!Axis()) return;
  if (stage == UloToolStageBeforeSeries) PaintLine();
  if (stage == UloToolStageAfterDraw) PaintLineFront();
}

void TColorLineTool::ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState, int x, int y) {
  TCustomAxisPanel *chart = Drawer();
  TChartAxis *axis = Axis();
  if (!allowDrag_ || !axis || !chart) return;
  switch (kind) {
  case UloToolMouseDown:
    if (button != forms::TMouseButton::mbLeft) return;
    dragging_ = NearLine(x, y);
    chart->CancelMouse = dragging_;
    if (dragging_ && OnBeginDragLine) OnBeginDragLine(this);
    break;
  case UloToolMouseMove:
    if (dragging_) {
      double v = axis->CalcPosPoint(axis->Horizontal ? x : y);
      if (!noLimitDrag_) v = ClampToAxis(v);
      if (dragRepaint_) {
        SetValue(v);
      } else if (v != EffectiveValue()) {
        // Erase the line where it is and draw it where it goes, both in
        // not-xor, so the chart needs no repaint until the drop.
        DrawDragFeedback();
        style_ = TColorLineStyle::clCustom;
        value_ = v;
        DrawDragFeedback();
      }
      chart->CancelMouse = true;
      if (OnDragLine) OnDragLine(this);
    } else if (NearLine(x, y)) {
      chart->SetCursor(axis->Horizontal ? forms::kCursorHSplit : forms::kCursorVSplit);
      chart->CancelMouse = true;
    }
    break;
  case UloToolMouseUp:
    if (!dragging_) return;
    if (!dragRepaint_) {
      if (TCustomAxisPanel *target = Drawer()) target->Invalidate();
    }
    if (EndDragNotify) EndDragNotify(*this);
    DoEndDragLine();
    dragging_ = false;
    break;
  default:
    break;
  }
}

void TColorLineTool::Assign(const TCustomChartElement &source) {
  if (auto *other = dynamic_cast<const TColorLineTool *>(&source)) {
    allowDrag_ = other->allowDrag_;
    dragRepaint_ = other->dragRepaint_;
    draw3D_ = other->draw3D_;
    drawBehind_ = other->drawBehind_;
    noLimitDrag_ = other->noLimitDrag_;
    style_ = other->style_;
    value_ = other->value_;
  }
  TUloCustomToolAxis::Assign(source);
}

void TColorLineTool::DefineProperties(streaming::TPropertyTable &table) {
  TUloCustomToolAxis::DefineProperties(table);
  using T = TColorLineTool;
  table.Property("AllowDrag", this, &T::AllowDrag, &T::SetAllowDrag, true);
  table.Property("DragRepaint", this, &T::DragRepaint, &T::SetDragRepaint, false);
  table.Property("Draw3D", this, &T::Draw3D, &T::SetDraw3D, true);
  table.Property("DrawBehind", this, &T::DrawBehind, &T::SetDrawBehind, false);
  table.Property("NoLimitDrag", this, &T::NoLimitDrag, &T::SetNoLimitDrag, false);
  table.Object("Pen", storedParts_.Get("Pen", [this](streaming::TPropertyTable &t) { DefineChartPen(t, Pen()); }));
  table.Enum(
      "Style", [this] { return style_; }, [this](TColorLineStyle v) { SetStyle(v); }, TColorLineStyle::clCustom,
      kLineStyleNames);
  table.Property("Value", this, &T::Value, &T::SetValue, 0.0);
}

// ---- colour band ---------------------------------------------------------------------------------

TColorBandTool::TColorBandTool()
    : gradient_(std::make_unique<TUloGradient>([this] { Repaint(); })), endLine_(std::make_unique<TColorLineTool>()),
      startLine_(std::make_unique<TColorLineTool>()) {
  for (TColorLineTool *line : {startLine_.get(), endLine_.get()}) {
    line->SetActive(false);
    line->SetDragRepaint(true);
    line->OnDragLine = [this](TColorLineTool *l) { LineMoved(*l); };
    line->EndDragNotify = [this](TColorLineTool &l) { LineDropped(l); };
    line->Pen().OnChange = [this] { Repaint(); };
  }
}

TColorBandTool::~TColorBandTool() = default;

std::string TColorBandTool::GetGalleryName() const { return UloProToolColorBand; }
std::string TColorBandTool::GetGalleryHint() const { return UloProHintColorBandTool; }

TUloPicture &TColorBandTool::Picture() {
  if (!picture_) picture_ = std::make_unique<TUloPicture>([this] { Repaint(); });
  return *picture_;
}

void TColorBandTool::SetPicture(const TUloPicture *value) {
  UloSetLazyPart(
      picture_, value, [this]() -> TUloPicture & { return Picture(); }, [this] { Repaint(); });
}

void TColorBandTool::SetAxis(TChartAxis *value) {
  TUloCustomToolAxis::SetAxis(value);
  startLine_->BindAxis(Axis());
  endLine_->BindAxis(Axis());
}

void TColorBandTool::SetParentChart(TCustomAxisPanel *value) {
  TUloCustomToolAxis::SetParentChart(value);
  startLine_->SetDrawingChart(value);
  endLine_->SetDrawingChart(value);
  startLine_->BindAxis(Axis());
  endLine_->BindAxis(Axis());
}

void TColorBandTool::Loaded() {
  TUloCustomToolAxis::Loaded();
  startLine_->SetValue(startValue_);
  endLine_->SetValue(endValue_);
}

int TColorBandTool::BandDepth() const {
  TCustomAxisPanel *chart = ParentChart();
  return chart && drawBehind_ ? chart->HorizDepth : 0;
}

TRect TColorBandTool::BandBounds() const {
  const TChartAxis *axis = Axis();
  TCustomAxisPanel *chart = ParentChart();
  if (!axis || !chart) return {};
  const double lo = std::min(startValue_, endValue_);
  const double hi = std::max(startValue_, endValue_);
  if (lo > axis->Maximum() || hi < axis->Minimum()) return {};
  const int first = std::min(axis->IStartPos, axis->IEndPos);
  const int last = std::max(axis->IStartPos, axis->IEndPos);
  int a = std::clamp(axis->CalcPosValue(lo), first, last);
  int b = std::clamp(axis->CalcPosValue(hi), first, last);
  if (a > b) std::swap(a, b);
  const TRect &r = chart->ChartRect;
  return axis->Horizontal ? TRect{a, r.Top, b, r.Bottom} : TRect{r.Left, a, r.Right, b};
}

bool TColorBandTool::InsideBand(int x, int y) const {
  TCustomAxisPanel *chart = ParentChart();
  const TRect r = BandBounds();
  if (!chart || r.Right <= r.Left || r.Bottom <= r.Top) return false;
  if (!chart->View3D()) return PointInsideRect(x, y, r);
  const TFourPoints quad = chart->Canvas().ProjectRectQuad(r, BandDepth());
  return PointInPolygon(TPoint{x, y}, quad);
}

void TColorBandTool::DrawBand() {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart || !Axis()) return;
  const TRect r = BandBounds();
  if (r.Right - r.Left <= 0 || r.Bottom - r.Top <= 0) return;
  TCanvas3D &canvas = chart->Canvas();
  const bool is3D = chart->View3D();
  const int z = BandDepth();
  canvas.ApplyBrushColor(Brush(), color_);
  canvas.ApplyPen(Pen());
  std::unique_ptr<TUloBlend> blend;
  if (transparency_ > 0)
    blend = canvas.BeginTransparentDrawing(is3D ? canvas.ProjectedRectBounds(r, z) : r, transparency_);
  bool filled = false;
  if (gradient_->Visible()) {
    if (is3D)
      gradient_->PaintProjectedQuad(canvas,
                                    TFourPoints{TPoint{r.Left, r.Top}, TPoint{r.Right, r.Top},
                                                TPoint{r.Right, r.Bottom}, TPoint{r.Left, r.Bottom}},
                                    z);
    else
      gradient_->PaintRect(canvas, r);
    filled = true;
  }
  // A picture is drawn only when one was made: drawing must not make it.
  if (picture_ && picture_->Graphic()) {
    canvas.StretchDraw(is3D ? canvas.ProjectedRectBounds(r, z) : r, picture_->FilteredCopy());
    filled = true;
  }
  if (!filled) {
    if (is3D)
      canvas.RectangleAtDepth(r, z);
    else
      canvas.RectangleOfRect(r);
  }
  if (blend) canvas.EndTransparentDrawing(std::move(blend));
  for (auto [line, value] : {std::pair{startLine_.get(), startValue_}, std::pair{endLine_.get(), endValue_}}) {
    if (!line->Active()) continue;
    line->BindAxis(Axis());
    line->SetDrawingChart(chart);
    if (!line->Dragging()) line->SetValue(value);
    if (drawBehind_)
      line->PaintLine();
    else
      line->PaintLineFront();
  }
}

void TColorBandTool::ChartEvent(int stage) {
  if (!Axis()) return;
  const int mine = drawBehindAxes_ ? UloToolStageBeforeAxes
                   : drawBehind_   ? UloToolStageBeforeSeries
                                   : UloToolStageAfterDraw;
  if (stage == mine) DrawBand();
}

void TColorBandTool::ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart || !Axis()) return;
  for (TColorLineTool *line : {startLine_.get(), endLine_.get()}) {
    line->BindAxis(Axis());
    line->SetDrawingChart(chart);
  }
  if (startLine_->Active()) startLine_->ChartMouseEvent(kind, button, shift, x, y);
  if (endLine_->Active() && !chart->CancelMouse) endLine_->ChartMouseEvent(kind, button, shift, x, y);
  if (kind == UloToolMouseDown) {
    if (OnClick && InsideBand(x, y)) OnClick(this, button, shift, x, y);
  } else if (kind == UloToolMouseMove) {
    if (!InsideBand(x, y)) return;
    chart->SetCursor(cursor_);
    if (!chart->Zoom().Allow() && chart->AllowPanning() == TPanningMode::pmNone) chart->CancelMouse = true;
  }
}

void TColorBandTool::LineMoved(TColorLineTool &line) {
  if (!line.DragRepaint()) return;
  if (&line == startLine_.get())
    SetStartValue(line.Value());
  else
    SetEndValue(line.Value());
}

void TColorBandTool::LineDropped(TColorLineTool &line) {
  if (!line.DragRepaint()) {
    if (&line == startLine_.get())
      SetStartValue(line.Value());
    else
      SetEndValue(line.Value());
  }
  if (OnResized) OnResized(this);
}

void TColorBandTool::Assign(const TCustomChartElement &source) {
  if (auto *other = dynamic_cast<const TColorBandTool *>(&source)) {
    color_ = other->color_;
    cursor_ = other->cursor_;
    drawBehind_ = other->drawBehind_;
    drawBehindAxes_ = other->drawBehindAxes_;
    endValue_ = other->endValue_;
    gradient_->Assign(*other->gradient_);
    SetPicture(other->picture_.get());
    startValue_ = other->startValue_;
    transparency_ = other->transparency_;
    endLine_->Pen().Assign(other->endLine_->Pen());
    startLine_->Pen().Assign(other->startLine_->Pen());
    endLine_->SetActive(other->endLine_->Active());
    startLine_->SetActive(other->startLine_->Active());
  }
  TUloCustomToolAxis::Assign(source);
}

void TColorBandTool::DefineProperties(streaming::TPropertyTable &table) {
  TUloCustomToolAxis::DefineProperties(table);
  using T = TColorBandTool;
  table.Object("Brush",
               storedParts_.Get("Brush", [this](streaming::TPropertyTable &t) { DefineChartBrush(t, Brush()); }));
  table.Color(
      "Color", [this] { return color_; }, [this](TColor v) { SetColor(v); }, clWhite);
  table.Property("Cursor", this, &T::Cursor, &T::SetCursor, 0);
  table.Property("DrawBehind", this, &T::DrawBehind, &T::SetDrawBehind, true);
  table.Property("DrawBehindAxes", this, &T::DrawBehindAxes, &T::SetDrawBehindAxes, false);
  table.Object("EndLinePen", storedParts_.Get("EndLinePen", [this](streaming::TPropertyTable &t) {
    DefineChartPen(t, endLine_->Pen());
  }));
  table.Property("EndValue", this, &T::EndValue, &T::SetEndValue, 0.0);
  table.Object("Gradient", storedParts_.Get(
                               "Gradient", [this](streaming::TPropertyTable &t) { DefineUloGradient(t, *gradient_); }));
  table.Object("Pen", storedParts_.Get("Pen", [this](streaming::TPropertyTable &t) { DefineChartPen(t, Pen()); }));
  table.Object("Picture", [this] { return static_cast<streaming::TPersistent *>(&Picture()); }).StoredWhen([this] {
    return picture_ != nullptr;
  });
  table.Property("ResizeEnd", this, &T::ResizeEnd, &T::SetResizeEnd, false);
  table.Property("ResizeStart", this, &T::ResizeStart, &T::SetResizeStart, false);
  table.Object("StartLinePen", storedParts_.Get("StartLinePen", [this](streaming::TPropertyTable &t) {
    DefineChartPen(t, startLine_->Pen());
  }));
  table.Property("StartValue", this, &T::StartValue, &T::SetStartValue, 0.0);
  table.Property("Transparency", this, &T::Transparency, &T::SetTransparency, 0);
}

// ---- grid bands ------------------------------------------------------------------------------------

TGridBandBrush::TGridBandBrush(TUloChangeEvent onChange)
    : TChartBrush(std::move(onChange)), gradient_(std::make_unique<TUloGradient>([this] { Changed(); })) {
  SetBackColor(clNone);
}

void TGridBandBrush::Assign(const TBrush &source) {
  if (auto *other = dynamic_cast<const TGridBandBrush *>(&source)) {
    gradient_->Assign(*other->gradient_);
    transparency_ = other->transparency_;
  }
  TChartBrush::Assign(source);
}

TGridBandTool::TGridBandTool()
    : band1_(std::make_unique<TGridBandBrush>([this] { Repaint(); })),
      band2_(std::make_unique<TGridBandBrush>([this] { Repaint(); })) {
  band2_->SetColor(clWhite);
}

TGridBandTool::~TGridBandTool() { Uninstall(installed_); }

std::string TGridBandTool::GetGalleryName() const { return UloProToolGridBand; }
std::string TGridBandTool::GetGalleryHint() const { return UloProHintGridBandTool; }

void TGridBandTool::Install(TChartAxis *axis) {
  if (!axis) return;
  axis->GridBandCallback = [this](TChartAxis &a, std::span<const int> positions) { DrawGridBands(a, positions); };
  installed_ = axis;
}

void TGridBandTool::Uninstall(TChartAxis *axis) {
  if (!axis || axis != installed_) return;
  axis->GridBandCallback = nullptr;
  installed_ = nullptr;
}

void TGridBandTool::ForgetAxis() noexcept {
  // The axis is going and takes its callback with it.
  installed_ = nullptr;
  TUloCustomToolAxis::ForgetAxis();
}

void TGridBandTool::SetAxis(TChartAxis *value) {
  if (value == Axis()) return;
  Uninstall(installed_);
  TUloCustomToolAxis::SetAxis(value);
  Install(Axis());
}

void TGridBandTool::SetParentChart(TCustomAxisPanel *value) {
  TChartAxis *before = Axis();
  TUloCustomToolAxis::SetParentChart(value);
  if (Axis() != before) {
    Uninstall(installed_);
    Install(Axis());
  }
}

void TGridBandTool::DrawGridBands(TChartAxis &axis, std::span<const int> positions) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart || positions.empty() || !Active()) return;
  if (band1_->Style() == TBrushStyle::bsClear && band2_->Style() == TBrushStyle::bsClear) return;
  // The grid comes in drawing order; the bands run along the axis.
  sorted_.assign(positions.begin(), positions.end());
  std::sort(sorted_.begin(), sorted_.end());
  TCanvas3D &canvas = chart->Canvas();
  canvas.Pen().SetStyle(TPenStyle::psClear);
  TGridBandBrush *brush = band1_.get();
  auto next = [&brush, this] { brush = brush == band1_.get() ? band2_.get() : band1_.get(); };
  const int start = std::min(axis.IStartPos, axis.IEndPos);
  const int end = std::max(axis.IStartPos, axis.IEndPos);
  if (start < sorted_.front()) {
    DrawOneBand(axis, *brush, start, sorted_.front());
    next();
  }
  for (size_t i = 1; i < sorted_.size(); ++i) {
    DrawOneBand(axis, *brush, sorted_[i - 1], sorted_[i]);
    next();
  }
  if (sorted_.back() < end) {
    DrawOneBand(axis, *brush, sorted_.back(), end);
    next();
  }
}

void TGridBandTool::DrawOneBand(TChartAxis &axis, TGridBandBrush &brush, int from, int to) {
  if (brush.Style() == TBrushStyle::bsClear) return;
  TCustomAxisPanel *chart = ParentChart();
  TCanvas3D &canvas = chart->Canvas();
  const TRect &cr = chart->ChartRect;
  const bool custom = extentFrom_ != 0 || extentTo_ != 0;
  const bool is3D = chart->View3D();
  TRect r;
  if (axis.Horizontal) {
    r = custom ? TRect{from, extentFrom_, to, extentTo_} : TRect{from, cr.Top + 1, to, cr.Bottom};
    if (!is3D) ++r.Right;
  } else {
    r = custom ? TRect{extentFrom_, from, extentTo_, to} : TRect{cr.Left + 1, from, cr.Right, to};
    if (!is3D) ++r.Bottom;
  }
  r = Ordered(r);
  const int z = chart->HorizDepth;
  std::unique_ptr<TUloBlend> blend;
  if (brush.Transparency() > 0)
    blend = canvas.BeginTransparentDrawing(is3D ? canvas.ProjectedRectBounds(r, z) : r, brush.Transparency());
  if (brush.Gradient().Visible()) {
    if (is3D)
      brush.Gradient().PaintProjectedQuad(canvas,
                                          TFourPoints{TPoint{r.Left, r.Top}, TPoint{r.Right, r.Top},
                                                      TPoint{r.Right, r.Bottom}, TPoint{r.Left, r.Bottom}},
                                          z);
    else
      brush.Gradient().PaintRect(canvas, r);
  } else {
    TColor back = brush.BackColor();
    if (back == clNone) {
      auto *control = dynamic_cast<TCustomChart *>(chart);
      back = control ? control->BackWall().Color() : chart->GetBackColor();
    }
    canvas.ApplyBrushColors(brush, FillColor(brush), back);
    canvas.Pen().SetStyle(TPenStyle::psClear);
    if (is3D)
      canvas.RectangleAtDepth(r, z);
    else
      canvas.RectangleOfRect(r);
  }
  if (blend) canvas.EndTransparentDrawing(std::move(blend));
}

void TGridBandTool::Assign(const TCustomChartElement &source) {
  if (auto *other = dynamic_cast<const TGridBandTool *>(&source)) {
    band1_->Assign(*other->band1_);
    band2_->Assign(*other->band2_);
  }
  TUloCustomToolAxis::Assign(source);
}

namespace {

void DefineGridBandBrush(streaming::TPropertyTable &t, TGridBandBrush &brush, TColor defaultColor,
                         TUloStoredParts &parts, const std::string &prefix) {
  DefineChartBrush(t, brush, defaultColor);
  t.Color(
      "BackColor", [&brush] { return brush.BackColor(); }, [&brush](TColor v) { brush.SetBackColor(v); }, clNone);
  t.Object("Gradient", parts.Get(prefix + ".Gradient",
                                 [&brush](streaming::TPropertyTable &g) { DefineUloGradient(g, brush.Gradient()); }));
  t.Property(
      "Transparency", [&brush] { return brush.Transparency(); }, [&brush](int v) { brush.SetTransparency(v); }, 0);
}

} // namespace

void TGridBandTool::DefineProperties(streaming::TPropertyTable &table) {
  TUloCustomToolAxis::DefineProperties(table);
  table.Object("Band1", storedParts_.Get("Band1", [this](streaming::TPropertyTable &t) {
    DefineGridBandBrush(t, *band1_, clDefault, storedParts_, "Band1");
  }));
  table.Object("Band2", storedParts_.Get("Band2", [this](streaming::TPropertyTable &t) {
    DefineGridBandBrush(t, *band2_, clWhite, storedParts_, "Band2");
  }));
}

// ---- unit ------------------------------------------------------------------------------------------

void StartAxisToolsUnit() {
  RegisterUloTools({UloClass<TAxisArrowTool>(), UloClass<TAxisScrollTool>(), UloClass<TColorLineTool>(),
                    UloClass<TColorBandTool>(), UloClass<TGridBandTool>()});
}

void StopAxisToolsUnit() {
  UnRegisterUloTools({UloClass<TAxisArrowTool>(), UloClass<TAxisScrollTool>(), UloClass<TColorLineTool>(),
                      UloClass<TColorBandTool>(), UloClass<TGridBandTool>()});
}
