#include "chart/series/UloFastLine.h"

#include <algorithm>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProcs.h"
#include "chart/foundation/UloStoredParts.h"

namespace {
constexpr streaming::TEnumName<TTreatNullsStyle> kTreatNullsNames[] = {{TTreatNullsStyle::tnDontPaint, "tnDontPaint"},
                                                                       {TTreatNullsStyle::tnSkip, "tnSkip"},
                                                                       {TTreatNullsStyle::tnIgnore, "tnIgnore"}};
} // namespace

TFastLineSeries::TFastLineSeries() {
  SetTreatNulls(TTreatNullsStyle::tnIgnore);
  SetDrawBetweenPoints(true);
  Pen().OnChange = [this] { PenChanged(); };
}

// ---- settings ------------------------------------------------------------------------

void TFastLineSeries::SetAutoRepaint(bool value) { SetAndRepaint(autoRepaint_, value); }
void TFastLineSeries::SetDrawAllPoints(bool value) { SetAndRepaint(drawAllPoints_, value); }
void TFastLineSeries::SetIgnoreNulls(bool value) { SetAndRepaint(ignoreNulls_, value); }
void TFastLineSeries::SetInvertedStairs(bool value) { SetAndRepaint(invertedStairs_, value); }
void TFastLineSeries::SetStairs(bool value) { SetAndRepaint(stairs_, value); }

std::string TFastLineSeries::GetEditor() const { return "TFastLineSeriesEditor"; }

void TFastLineSeries::SetSeriesColor(TColor value) {
  TCustomLineSeries::SetSeriesColor(value);
  if (syncingColor_) return;
  syncingColor_ = true;
  Pen().SetColor(SeriesColor());
  syncingColor_ = false;
}

void TFastLineSeries::PenChanged() {
  if (!syncingColor_ && Pen().Color() != SeriesColor()) {
    syncingColor_ = true;
    TCustomLineSeries::SetSeriesColor(Pen().Color());
    syncingColor_ = false;
  }
  Repaint();
}

void TFastLineSeries::AddedToPanel() {
  TCustomLineSeries::AddedToPanel();
  // The automatic colour is the line's colour too, so that a later change
  // of the pen's width keeps it.
  if (ExplicitSeriesColor() != clDefault || syncingColor_) return;
  syncingColor_ = true;
  Pen().SetColor(SeriesColor());
  syncingColor_ = false;
}

void TFastLineSeries::Assign(const TCustomChartElement &source) {
  if (auto *s = dynamic_cast<const TFastLineSeries *>(&source); s && s != this) {
    autoRepaint_ = s->autoRepaint_;
    drawAllPoints_ = s->drawAllPoints_;
    fastPen_ = s->fastPen_;
    ignoreNulls_ = s->ignoreNulls_;
    invertedStairs_ = s->invertedStairs_;
    stairs_ = s->stairs_;
  }
  TCustomLineSeries::Assign(source);
}

void TFastLineSeries::DefineProperties(streaming::TPropertyTable &table) {
  TCustomLineSeries::DefineProperties(table);
  table.Property("AutoRepaint", this, &TFastLineSeries::AutoRepaint, &TFastLineSeries::SetAutoRepaint, true);
  table.Property("DrawAllPoints", this, &TFastLineSeries::DrawAllPoints, &TFastLineSeries::SetDrawAllPoints, true);
  table.Property("IgnoreNulls", this, &TFastLineSeries::IgnoreNulls, &TFastLineSeries::SetIgnoreNulls, true);
  table.Property("InvertedStairs", this, &TFastLineSeries::InvertedStairs, &TFastLineSeries::SetInvertedStairs, false);
  table.Object("LinePen",
               storedParts_.Get("LinePen", [this](streaming::TPropertyTable &t) { DefineChartPen(t, Pen()); }));
  table.Property("Stairs", this, &TFastLineSeries::Stairs, &TFastLineSeries::SetStairs, false);
  // TreatNulls is stored against the value the constructor gives.
  table.Enum(
      "TreatNulls", [this] { return TreatNulls(); }, [this](TTreatNullsStyle v) { SetTreatNulls(v); },
      TTreatNullsStyle::tnIgnore, kTreatNullsNames);
}

// ---- drawing -------------------------------------------------------------------------

void TFastLineSeries::PrepareCanvas(TCanvas3D &canvas, TColor color) {
  canvas.ApplyPenColor(Pen(), color);
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  canvas.SetBkMode(UloTransparentMode);
}

void TFastLineSeries::Position(int valueIndex, int &x, int &y) const {
  x = horizAxis_ ? horizAxis_->CalcXPosValue(XValues()->Value(valueIndex)) : 0;
  y = vertAxis_ ? vertAxis_->CalcYPosValue(YValues()->Value(valueIndex)) : 0;
}

void TFastLineSeries::BeginPass(TCanvas3D &canvas) {
  canvas_ = &canvas;
  is3D_ = ParentChart()->View3D();
  horizAxis_ = GetHorizAxis();
  vertAxis_ = GetVertAxis();
  xs_ = XValues()->Values();
  ys_ = YValues()->Values();
}

void TFastLineSeries::FlushRun() {
  if (run_.size() >= 2) {
    if (is3D_)
      canvas_->PolylineAtDepth(run_, MiddleZ);
    else
      canvas_->Polyline(run_);
  }
  if (!run_.empty()) {
    const TPoint lastPoint = run_.back();
    run_.clear();
    run_.push_back(lastPoint);
  }
}

void TFastLineSeries::MoveToPos(int x, int y) {
  if (batching_) {
    if (!run_.empty() && run_.back() == TPoint{x, y}) return;
    FlushRun();
    run_.clear();
    run_.push_back(TPoint{x, y});
    return;
  }
  if (is3D_)
    canvas_->MoveToAtDepth(x, y, MiddleZ);
  else
    canvas_->MoveTo(x, y);
}

void TFastLineSeries::LineToPos(int x, int y) {
  if (batching_) {
    run_.push_back(TPoint{x, y});
    return;
  }
  if (is3D_)
    canvas_->LineToAtDepth(x, y, MiddleZ);
  else
    canvas_->LineTo(x, y);
}

void TFastLineSeries::DrawOne(int valueIndex) {
  const int x = horizAxis_ ? horizAxis_->CalcXPosValue(xs_[valueIndex]) : 0;
  if (x == lastX_ && !drawAllPoints_) return;
  DrawAt(valueIndex, x);
}

void TFastLineSeries::DrawAt(int valueIndex, int x) {
  int y = vertAxis_ ? vertAxis_->CalcYPosValue(ys_[valueIndex]) : 0;
  if (x == lastX_ && y == lastY_) return;
  if (!ignoreNulls_) {
    bool draw = true;
    switch (TreatNulls()) {
    case TTreatNullsStyle::tnIgnore:
      break;
    case TTreatNullsStyle::tnSkip:
      if (IsNullPoint(valueIndex)) {
        // The next drawn segment starts at the last real point.
        x = lastX_;
        y = lastY_;
        draw = false;
      }
      break;
    case TTreatNullsStyle::tnDontPaint:
      draw = !IsNullPoint(valueIndex) && !(valueIndex > 0 && IsNullPoint(valueIndex - 1));
      break;
    }
    if (!draw) {
      MoveToPos(x, y);
      lastX_ = x;
      lastY_ = y;
      return;
    }
  }
  if (stairs_) {
    if (invertedStairs_)
      LineToPos(lastX_, y);
    else
      LineToPos(x, lastY_);
  }
  LineToPos(x, y);
  lastX_ = x;
  lastY_ = y;
}

void TFastLineSeries::DrawRange(TCanvas3D &canvas) {
  BeginPass(canvas);
  PrepareCanvas(canvas, SeriesColor());
  const int first = FirstValueIndex(), last = LastValueIndex();
  const int start = first >= 1 ? first - 1 : first;
  Position(start, lastX_, lastY_);
  batching_ = true;
  struct EndRun {
    TFastLineSeries &s;
    ~EndRun() {
      s.batching_ = false;
      s.run_.clear();
    }
  } endRun{*this};
  // Room for every point of the range at once, so the loop never grows it.
  const size_t room = static_cast<size_t>(last - start + 2) * (stairs_ ? 2 : 1);
  if (run_.capacity() < room) run_.reserve(room);
  run_.clear();
  run_.push_back(TPoint{lastX_, lastY_});
  if (first >= 1) DrawOne(first);
  if (drawAllPoints_ || !horizAxis_) {
    for (int i = first + 1; i <= last; ++i)
      DrawOne(i);
  } else {
    // The column skip in the loop itself: most points of a dense line end
    // here, after one multiplication.
    const TChartAxis &axis = *horizAxis_;
    for (int i = first + 1; i <= last; ++i) {
      const int x = axis.CalcXPosValue(xs_[i]);
      if (x != lastX_) DrawAt(i, x);
    }
  }
  FlushRun();
}

void TFastLineSeries::DrawVisiblePoints() {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart || FirstValueIndex() < 0 || LastValueIndex() < FirstValueIndex()) return;
  DrawRange(chart->Canvas());
}

void TFastLineSeries::DrawPoint(int valueIndex) {
  // Reached point by point only when series of one depth row are drawn
  // together; the first visible point starts the line.
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  BeginPass(chart->Canvas());
  if (valueIndex == FirstValueIndex()) {
    batching_ = false;
    const int start = valueIndex >= 1 ? valueIndex - 1 : valueIndex;
    Position(start, lastX_, lastY_);
    PrepareCanvas(*canvas_, SeriesColor());
    MoveToPos(lastX_, lastY_);
    if (valueIndex >= 1) DrawOne(valueIndex);
    return;
  }
  PrepareCanvas(*canvas_, SeriesColor());
  MoveToPos(lastX_, lastY_);
  DrawOne(valueIndex);
}

void TFastLineSeries::AfterPointAdded(int valueIndex) {
  if (autoRepaint_) {
    TCustomLineSeries::AfterPointAdded(valueIndex);
    return;
  }
  // The point's event and the series that follow this one still hear of
  // it; only the repaint is replaced by drawing the one new segment.
  if (OnAfterAdd) OnAfterAdd(this, valueIndex);
  PropagateToDependents(UloChangeAdded, valueIndex);
  TCustomAxisPanel *chart = ParentChart();
  if (!chart || !Active()) return;
  TUloCanvas3D &canvas = chart->Canvas();
  // Before the first paint there is no kept image and no projection: the
  // next paint shows the point.
  canvas.DirectDraw([&] {
    BeginPass(canvas);
    batching_ = false;
    const int from = valueIndex > 0 ? valueIndex - 1 : 0;
    Position(from, lastX_, lastY_);
    if (fastPen_) {
      // The device's own pen: solid, one pixel, only its colour set, so
      // nothing of the pen the last paint left selected carries over.
      const TPen devicePen;
      canvas.ApplyPenColor(devicePen, Pen().Color());
    } else
      PrepareCanvas(canvas, SeriesColor());
    MoveToPos(lastX_, lastY_);
    DrawOne(valueIndex);
  });
}

// ---- hit test, legend, margins ---------------------------------------------------------

int TFastLineSeries::PointAtPixel(int x, int y) {
  const int first = FirstValueIndex(), last = LastValueIndex();
  if (first < 0 || last < 0) return -1;
  TCustomAxisPanel *chart = ParentChart();
  if (chart && chart->View3D()) chart->Canvas().ScreenTo3D(x, y, MiddleZ);
  horizAxis_ = GetHorizAxis();
  vertAxis_ = GetVertAxis();
  const TPoint p{x, y};
  int prevX = 0, prevY = 0;
  for (int i = first; i <= last && i < PointCount(); ++i) {
    int px, py;
    Position(i, px, py);
    if (px == x && py == y) return i;
    if (i > first && PointInLine(p, prevX, prevY, 0, px, py)) return i - 1;
    prevX = px;
    prevY = py;
  }
  return -1;
}

void TFastLineSeries::DrawLegendShape(int valueIndex, const TRect &rect) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  TCanvas3D &canvas = chart->Canvas();
  PrepareCanvas(canvas, valueIndex == -1 ? SeriesColor() : LegendRowColor(valueIndex));
  canvas.HorizontalLine(rect.Left, rect.Right, (rect.Top + rect.Bottom) / 2);
}

void TFastLineSeries::HorizMargins(int &leftMargin, int &rightMargin) {
  TCustomLineSeries::HorizMargins(leftMargin, rightMargin);
  const int w = Pen().Width();
  leftMargin += w - (w - 2) / 2;
  rightMargin += w - (w - 2) / 2;
}

void TFastLineSeries::VertMargins(int &topMargin, int &bottomMargin) {
  TCustomLineSeries::VertMargins(topMargin, bottomMargin);
  const int w = Pen().Width();
  topMargin += w - (w - 2) / 2;
  bottomMargin += w - (w - 2) / 2;
}

// ---- gallery sub-styles ------------------------------------------------------------------

void TFastLineSeries::ListSubStyles(const TUloSubStyleCallback &callback) {
  TCustomLineSeries::ListSubStyles(callback);
  if (!callback) return;
  callback(UloMsgStyleMarks);
  callback(UloMsgStyleDotted);
  callback(UloMsgStyleStairs);
}

void TFastLineSeries::ApplySubStyle(int index) {
  switch (index) {
  case 1:
    Marks().SetVisible(true);
    break;
  case 2:
    Pen().SetSmallDots(true);
    break;
  case 3:
    SetStairs(true);
    break;
  default:
    TCustomLineSeries::ApplySubStyle(index);
    break;
  }
}
