#include "chart/tools/UloTools.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <limits>
#include <utility>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloGallery.h"
#include "chart/engine/UloValueList.h"
#include "chart/foundation/UloProCo.h"
#include "chart/foundation/UloProcs.h"
#include "chart/foundation/UloStoredParts.h"
#include "chart/tools/UloAnnotation.h"
#include "chart/tools/UloAxisTools.h"
#include "chart/tools/UloCursorTool.h"
#include "chart/tools/UloRotateTool.h"
#include "platform/forms/Application.h"
#include "platform/forms/Cursors.h"
#include "platform/forms/FullScreen.h"
#include "platform/forms/ToolTip.h"

namespace {

constexpr streaming::TEnumName<forms::TMouseButton> kButtonNames[] = {
    {forms::TMouseButton::mbLeft, "mbLeft"},
    {forms::TMouseButton::mbRight, "mbRight"},
    {forms::TMouseButton::mbMiddle, "mbMiddle"},
};

constexpr streaming::TEnumName<TDrawLineStyle> kDrawLineStyleNames[] = {
    {TDrawLineStyle::dlLine, "dlLine"},
    {TDrawLineStyle::dlHorizParallel, "dlHorizParallel"},
    {TDrawLineStyle::dlVertParallel, "dlVertParallel"},
    {TDrawLineStyle::dlRectangle, "dlRectangle"},
    {TDrawLineStyle::dlEllipse, "dlEllipse"},
};

constexpr streaming::TEnumName<TMarkToolMouseAction> kMouseActionNames[] = {
    {TMarkToolMouseAction::mtmMove, "mtmMove"},
    {TMarkToolMouseAction::mtmClick, "mtmClick"},
};

constexpr streaming::TEnumName<TSeriesAnimationLoop> kLoopNames[] = {
    {TSeriesAnimationLoop::salNo, "salNo"},
    {TSeriesAnimationLoop::salOneWay, "salOneWay"},
    {TSeriesAnimationLoop::salCircular, "salCircular"},
};

// The handles and the end hits: 3 pixels each way.
constexpr int kHandle = 3;

TRect Around(const TPoint &p, int size) { return TRect{p.X - size, p.Y - size, p.X + size, p.Y + size}; }

// Feedback drawn between paints reaches the screen from the kept image:
// the window repaints from it without a new drawing.
void ShowDirectDrawing(TCustomAxisPanel &chart) { chart.TCustomPanelNoCaption::Invalidate(); }

bool InChart(const TCustomAxisPanel &chart, const TChartSeries *series) {
  for (int i = 0; i < chart.SeriesCount(); ++i)
    if (chart.GetSeries(i) == series) return true;
  return false;
}

} // namespace

// ==== drawn lines =======================================================================

TDrawLine::~TDrawLine() {
  if (tool_) tool_->LineGoing(this);
}

TChartPen &TDrawLine::Pen() {
  if (!pen_) {
    pen_ = std::make_unique<TChartPen>([this] { Changed(); });
    if (tool_) pen_->Assign(tool_->Pen());
  }
  return *pen_;
}

void TDrawLine::SetPen(const TChartPen *value) {
  if (!value) {
    if (!pen_) return;
    pen_.reset();
    Changed();
    return;
  }
  if (value != pen_.get()) Pen().Assign(*value);
}

void TDrawLine::SetStyle(TDrawLineStyle value) {
  if (style_ == value) return;
  style_ = value;
  Changed();
}

void TDrawLine::SetCoordinate(double &field, double value) {
  if (field == value) return;
  field = value;
  Changed();
}

void TDrawLine::SetStartPos(TDrawLinePoint value) {
  if (start_ == value) return;
  start_ = value;
  Changed();
}

void TDrawLine::SetEndPos(TDrawLinePoint value) {
  if (end_ == value) return;
  end_ = value;
  Changed();
}

void TDrawLine::Changed() {
  if (tool_) tool_->Repaint();
}

void TDrawLine::DrawHandles() {
  TCustomAxisPanel *chart = tool_ ? tool_->ParentChart() : nullptr;
  if (!chart) return;
  TUloCanvas3D &canvas = chart->Canvas();
  canvas.Brush().SetStyle(TBrushStyle::bsSolid);
  canvas.Brush().SetColor(chart->Color() != 0 ? clBlack : TColor{0xC0C0C0});
  canvas.Pen().SetStyle(TPenStyle::psClear);
  for (const TDrawLinePoint &p : {start_, end_}) {
    const TPoint pixel = tool_->ValueToScreen(p);
    canvas.RectangleAtDepth(Around(pixel, kHandle), 0);
  }
}

void TDrawLine::Assign(const TDrawLine &source) {
  start_ = source.start_;
  end_ = source.end_;
  style_ = source.style_;
  SetPen(source.pen_.get());
  Changed();
}

void TDrawLine::DefineProperties(streaming::TPropertyTable &table) {
  table
      .Object("Pen",
              [this]() -> streaming::TPersistent * {
                if (!penPart_)
                  penPart_ = std::make_unique<TUloStoredPart>([this](streaming::TPropertyTable &t) {
                    DefineChartPen(t, Pen(), tool_ ? tool_->Pen().Color() : clBlack);
                  });
                return penPart_.get();
              })
      .StoredWhen([this] { return pen_ != nullptr; });
  table.Enum(
      "Style", [this] { return style_; }, [this](TDrawLineStyle v) { SetStyle(v); }, TDrawLineStyle::dlLine,
      kDrawLineStyleNames);
  table.Property("X0", this, &TDrawLine::X0, &TDrawLine::SetX0, 0.0);
  table.Property("Y0", this, &TDrawLine::Y0, &TDrawLine::SetY0, 0.0);
  table.Property("X1", this, &TDrawLine::X1, &TDrawLine::SetX1, 0.0);
  table.Property("Y1", this, &TDrawLine::Y1, &TDrawLine::SetY1, 0.0);
}

// ---- the collection

TDrawLine &TDrawLines::Add() {
  items_.push_back(std::make_unique<TDrawLine>(tool_));
  return *items_.back();
}

void TDrawLines::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
  if (tool_) tool_->Repaint();
}

void TDrawLines::Clear() {
  if (items_.empty()) return;
  items_.clear();
  if (tool_) tool_->Repaint();
}

int TDrawLines::IndexOf(const TDrawLine *line) const noexcept {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == line) return static_cast<int>(i);
  return -1;
}

void TDrawLines::Assign(const TDrawLines &source) {
  if (&source == this) return;
  items_.clear();
  for (const auto &line : source.items_)
    Add().Assign(*line);
  if (tool_) tool_->Repaint();
}

streaming::TPersistent &TDrawLines::StoredAdd(const std::string &className, streaming::TReadContext &ctx) {
  (void)className;
  (void)ctx;
  return Add();
}

// ==== the drawing-lines tool ================================================================

TDrawLineTool::TDrawLineTool() = default;

TDrawLineTool::~TDrawLineTool() {
  // The lines go with the tool, and the chart may be going too: none of
  // them calls back.
  selected_ = nullptr;
  for (int i = 0; i < lines_.Count(); ++i)
    lines_[i].tool_ = nullptr;
}

std::string TDrawLineTool::GetGalleryName() const { return UloProToolDrawLine; }
std::string TDrawLineTool::GetGalleryHint() const { return UloProHintDrawLineTool; }

void TDrawLineTool::LineGoing(const TDrawLine *line) noexcept {
  if (selected_ == line) {
    selected_ = nullptr;
    dragPart_ = 0;
  }
}

void TDrawLineTool::SetSelected(TDrawLine *value) {
  if (value && lines_.IndexOf(value) < 0) return;
  if (selected_ == value) return;
  selected_ = value;
  Repaint();
}

TPoint TDrawLineTool::ValueToScreen(const TDrawLinePoint &value) const {
  const TChartAxis *h = GetHorizAxis();
  const TChartAxis *v = GetVertAxis();
  if (!h || !v) return {};
  return TPoint{h->CalcPosValue(value.X), v->CalcPosValue(value.Y)};
}

TDrawLinePoint TDrawLineTool::ScreenToValue(const TPoint &pixel) const {
  const TChartAxis *h = GetHorizAxis();
  const TChartAxis *v = GetVertAxis();
  if (!h || !v) return {};
  return TDrawLinePoint{h->CalcPosPoint(pixel.X), v->CalcPosPoint(pixel.Y)};
}

int TDrawLineTool::PartAt(const TDrawLine &line, int x, int y) const {
  const TPoint p0 = ValueToScreen(line.StartPos());
  const TPoint p1 = ValueToScreen(line.EndPos());
  if (PointInsideRect(x, y, Around(p0, kHandle))) return 1;
  if (PointInsideRect(x, y, Around(p1, kHandle))) return 2;
  const TPoint p{x, y};
  // The library's line test: within ClickTolerance + 1 pixels, so that the
  // default 0 still takes the pixels the line covers.
  switch (line.Style()) {
  case TDrawLineStyle::dlLine:
    return PointInLine(p, p0.X, p0.Y, clickTolerance_, p1.X, p1.Y) ? 3 : 0;
  case TDrawLineStyle::dlHorizParallel:
    return PointInLine(p, p0.X, p0.Y, clickTolerance_, p1.X, p0.Y) ||
                   PointInLine(p, p0.X, p1.Y, clickTolerance_, p1.X, p1.Y)
               ? 3
               : 0;
  case TDrawLineStyle::dlVertParallel:
    return PointInLine(p, p0.X, p0.Y, clickTolerance_, p0.X, p1.Y) ||
                   PointInLine(p, p1.X, p0.Y, clickTolerance_, p1.X, p1.Y)
               ? 3
               : 0;
  case TDrawLineStyle::dlRectangle:
  case TDrawLineStyle::dlEllipse:
    return PointInsideRect(x, y, NormalizeRect(TRect{p0.X, p0.Y, p1.X, p1.Y})) ? 3 : 0;
  }
  return 0;
}

TDrawLine *TDrawLineTool::LineAtPoint(int x, int y) const {
  TCustomAxisPanel *chart = ParentChart();
  if (chart && chart->View3D()) chart->Canvas().ScreenTo3D(x, y, 0);
  if (selected_ && PartAt(*selected_, x, y) != 0) return selected_;
  for (int i = 0; i < lines_.Count(); ++i)
    if (PartAt(lines_[i], x, y) != 0) return &lines_[i];
  return nullptr;
}

void TDrawLineTool::DrawLineShape(const TPoint &from, const TPoint &to, TDrawLineStyle style) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  TUloCanvas3D &canvas = chart->Canvas();
  switch (style) {
  case TDrawLineStyle::dlLine:
    canvas.LineAtDepth(from.X, from.Y, to.X, to.Y, 0);
    break;
  case TDrawLineStyle::dlHorizParallel:
    canvas.HorizontalLineAtDepth(from.X, to.X, from.Y, 0);
    canvas.HorizontalLineAtDepth(from.X, to.X, to.Y, 0);
    break;
  case TDrawLineStyle::dlVertParallel:
    canvas.VerticalLineAtDepth(from.X, from.Y, to.Y, 0);
    canvas.VerticalLineAtDepth(to.X, from.Y, to.Y, 0);
    break;
  case TDrawLineStyle::dlRectangle:
    canvas.RectangleAtDepth(TRect{from.X, from.Y, to.X, to.Y}, 0);
    break;
  case TDrawLineStyle::dlEllipse:
    canvas.EllipseAtDepth(from.X, from.Y, to.X, to.Y, 0);
    break;
  }
}

void TDrawLineTool::DrawRubberLine() {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  TUloCanvas3D &canvas = chart->Canvas();
  const TDrawLineStyle style = drawing_ || !selected_ ? style_ : selected_->Style();
  const bool drawn = canvas.DirectDraw([&] {
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.SetBkMode(UloTransparentMode);
    TChartPen pen;
    pen.Assign(Pen());
    pen.SetVisible(true);
    pen.SetMode(TPenMode::pmNotXor);
    canvas.ApplyPen(pen);
    DrawLineShape(fromPoint_, toPoint_, style);
  });
  if (!drawn) return;
  rubberShown_ = !rubberShown_;
  ShowDirectDrawing(*chart);
}

TRect TDrawLineTool::ClipRect() const {
  TCustomAxisPanel *chart = ParentChart();
  if (Series()) {
    const TChartAxis *h = GetHorizAxis();
    const TChartAxis *v = GetVertAxis();
    if (h && v) return NormalizeRect(TRect{h->IStartPos, v->IStartPos, h->IEndPos, v->IEndPos});
  }
  return chart ? chart->ChartRect : TRect{};
}

void TDrawLineTool::ChartEvent(int stage) {
  if (stage != UloToolStageAfterDraw) return;
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  if (lines_.Count() > 0) {
    TUloCanvas3D &canvas = chart->Canvas();
    canvas.SetBkMode(UloTransparentMode);
    const bool clip = chart->CanClip();
    if (clip) canvas.ClipToBox(ClipRect(), 0, chart->HorizDepth);
    for (int i = 0; i < lines_.Count(); ++i) {
      TDrawLine &line = lines_[i];
      canvas.ApplyPen(line.ExistingPen() ? *line.ExistingPen() : static_cast<TPen &>(Pen()));
      canvas.Brush().SetStyle(TBrushStyle::bsClear);
      DrawLineShape(ValueToScreen(line.StartPos()), ValueToScreen(line.EndPos()), line.Style());
    }
    if (selected_) selected_->DrawHandles();
    if (clip) canvas.RemoveClip();
  }
  // A paint in the middle of a drag drew over the rubber line: it comes
  // back on the new picture, so that the next erase finds it.
  if (rubberShown_) {
    rubberShown_ = false;
    TUloCanvas3D &canvas = chart->Canvas();
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    TChartPen pen;
    pen.Assign(Pen());
    pen.SetVisible(true);
    pen.SetMode(TPenMode::pmNotXor);
    canvas.ApplyPen(pen);
    DrawLineShape(fromPoint_, toPoint_, drawing_ || !selected_ ? style_ : selected_->Style());
    rubberShown_ = true;
  }
}

void TDrawLineTool::MouseDown(forms::TMouseButton button, int x, int y) {
  TCustomAxisPanel *chart = ParentChart();
  if (button != button_ || !chart) return;
  TDrawLine *line = enableSelect_ ? LineAtPoint(x, y) : nullptr;
  if (!line) {
    if (selected_) {
      selected_ = nullptr;
      // The handles go with the paint after the new line; without drawing
      // there is no such paint.
      if (enableDraw_)
        repaintOnRelease_ = true;
      else
        Repaint();
    }
    if (enableDraw_) {
      drawing_ = true;
      dragged_ = false;
      fromPoint_ = toPoint_ = TPoint{x, y};
      DrawRubberLine();
      chart->CancelMouse = true;
    }
    return;
  }
  chart->CancelMouse = true;
  if (line == selected_) {
    fromPoint_ = ValueToScreen(line->StartPos());
    toPoint_ = ValueToScreen(line->EndPos());
    lastPoint_ = TPoint{x, y};
    int hx = x, hy = y;
    if (chart->View3D()) chart->Canvas().ScreenTo3D(hx, hy, 0);
    const int part = PartAt(*line, hx, hy);
    dragPart_ = part == 1 || part == 2 ? part : 3;
    dragged_ = false;
    return;
  }
  bool allow = true;
  if (OnSelecting) OnSelecting(this, line, allow);
  // A refused line is neither selected nor dragged.
  if (!allow) return;
  const bool hadSelection = selected_ != nullptr;
  selected_ = line;
  fromPoint_ = ValueToScreen(line->StartPos());
  toPoint_ = ValueToScreen(line->EndPos());
  lastPoint_ = TPoint{x, y};
  dragPart_ = 3;
  dragged_ = false;
  if (hadSelection) {
    Repaint();
  } else {
    TUloCanvas3D &canvas = chart->Canvas();
    if (canvas.DirectDraw([&] { line->DrawHandles(); })) ShowDirectDrawing(*chart);
  }
  if (OnSelect) OnSelect(this);
}

void TDrawLineTool::MouseMove(int x, int y) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  if (!drawing_ && dragPart_ == 0) {
    if (enableSelect_ && LineAtPoint(x, y)) chart->CancelMouse = true;
    return;
  }
  if (rubberShown_) DrawRubberLine();
  if (drawing_) {
    toPoint_ = TPoint{x, y};
  } else if (dragPart_ == 1) {
    fromPoint_ = TPoint{x, y};
  } else if (dragPart_ == 2) {
    toPoint_ = TPoint{x, y};
  } else {
    const int dx = x - lastPoint_.X, dy = y - lastPoint_.Y;
    fromPoint_ = TPoint{fromPoint_.X + dx, fromPoint_.Y + dy};
    toPoint_ = TPoint{toPoint_.X + dx, toPoint_.Y + dy};
    lastPoint_ = TPoint{x, y};
  }
  DrawRubberLine();
  chart->CancelMouse = true;
  dragged_ = true;
  if (OnDragLine) OnDragLine(this);
}

void TDrawLineTool::MouseUp(forms::TMouseButton button) {
  if (button != button_) return;
  const bool repaint = std::exchange(repaintOnRelease_, false);
  if (drawing_) {
    // A click without movement leaves nothing behind.
    if (rubberShown_) DrawRubberLine();
    drawing_ = false;
    if (fromPoint_ != toPoint_) {
      TDrawLine &line = lines_.Add();
      line.start_ = ScreenToValue(fromPoint_);
      line.end_ = ScreenToValue(toPoint_);
      line.style_ = style_;
      if (selectNewLines_) selected_ = &line;
      Repaint();
      if (OnNewLine) OnNewLine(this);
    } else if (repaint) {
      Repaint();
    }
    dragged_ = false;
    return;
  }
  if (dragPart_ == 0) return;
  if (rubberShown_) DrawRubberLine();
  const int part = std::exchange(dragPart_, 0);
  const bool moved = std::exchange(dragged_, false);
  // Converting the line's own pixels back would round its values: a click
  // on it without a drag changes nothing.
  if (selected_ && moved) {
    if (part == 1 || part == 3) selected_->start_ = ScreenToValue(fromPoint_);
    if (part == 2 || part == 3) selected_->end_ = ScreenToValue(toPoint_);
  }
  Repaint();
  if (moved && OnDraggedLine) OnDraggedLine(this);
}

void TDrawLineTool::ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  (void)shift;
  switch (kind) {
  case UloToolMouseDown:
    MouseDown(button, x, y);
    break;
  case UloToolMouseMove:
    MouseMove(x, y);
    break;
  case UloToolMouseUp:
    MouseUp(button);
    break;
  default:
    break;
  }
}

void TDrawLineTool::Assign(const TCustomChartElement &source) {
  if (auto *s = dynamic_cast<const TDrawLineTool *>(&source); s && s != this) {
    button_ = s->button_;
    clickTolerance_ = s->clickTolerance_;
    enableDraw_ = s->enableDraw_;
    enableSelect_ = s->enableSelect_;
    selected_ = nullptr;
    lines_.Assign(s->lines_);
    selectNewLines_ = s->selectNewLines_;
    style_ = s->style_;
  }
  TUloCustomToolSeries::Assign(source);
}

void TDrawLineTool::DefineProperties(streaming::TPropertyTable &table) {
  TUloCustomToolSeries::DefineProperties(table);
  using T = TDrawLineTool;
  table.Enum(
      "Button", [this] { return button_; }, [this](forms::TMouseButton v) { SetButton(v); },
      forms::TMouseButton::mbLeft, kButtonNames);
  table.Property("ClickTolerance", this, &T::ClickTolerance, &T::SetClickTolerance, 0);
  table.Property("EnableDraw", this, &T::EnableDraw, &T::SetEnableDraw, true);
  table.Property("EnableSelect", this, &T::EnableSelect, &T::SetEnableSelect, true);
  table.Collection("Lines", lines_);
  table.Object("Pen", storedParts_.Get("Pen", [this](streaming::TPropertyTable &t) { DefineChartPen(t, Pen()); }));
  table.Property("SelectNewLines", this, &T::SelectNewLines, &T::SetSelectNewLines, true);
  table.Enum(
      "Style", [this] { return style_; }, [this](TDrawLineStyle v) { SetStyle(v); }, TDrawLineStyle::dlLine,
      kDrawLineStyleNames);
}

// ==== dragging marks ========================================================================

std::string TDragMarksTool::GetGalleryName() const { return UloProToolDragMarks; }
std::string TDragMarksTool::GetGalleryHint() const { return UloProHintDragMarksTool; }

namespace {

// The active series a mark search asks: the tool's own, or the chart's from
// the last to the first.
template <class F> bool ForEachMarkSeries(TCustomAxisPanel &chart, TChartSeries *own, F &&visit) {
  if (own) return own->Active() && visit(*own);
  for (int i = chart.SeriesCount() - 1; i >= 0; --i) {
    TChartSeries *s = chart.GetSeries(i);
    if (s->Active() && visit(*s)) return true;
  }
  return false;
}

} // namespace

void TDragMarksTool::ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  // A series freed in the middle of a drag drops the drag.
  if (index_ != -1 && !InChart(*chart, draggedSeries_) && draggedSeries_ != Series()) {
    index_ = -1;
    draggedSeries_ = nullptr;
  }
  switch (kind) {
  case UloToolMouseDown:
    ForEachMarkSeries(*chart, Series(), [&](TChartSeries &s) {
      const int index = s.Marks().Clicked(x, y);
      if (index == -1) return false;
      index_ = index;
      draggedSeries_ = &s;
      return true;
    });
    if (index_ != -1) {
      lastPoint_ = TPoint{x, y};
      chart->CancelMouse = true;
    }
    break;
  case UloToolMouseMove:
    if (index_ != -1) {
      if (TSeriesMarkPosition *pos = draggedSeries_->Marks().Positions().Position(index_)) {
        const int dx = x - lastPoint_.X, dy = y - lastPoint_.Y;
        pos->Custom = true;
        pos->ArrowTo = TPoint{pos->ArrowTo.X + dx, pos->ArrowTo.Y + dy};
        pos->LeftTop = TPoint{pos->LeftTop.X + dx, pos->LeftTop.Y + dy};
      }
      lastPoint_ = TPoint{x, y};
      chart->CancelMouse = true;
      chart->Invalidate();
      if (OnDraggingMark) OnDraggingMark(this, index_, button, shift, x, y);
    } else if (ForEachMarkSeries(*chart, Series(), [&](TChartSeries &s) {
                 return s.Marks().Visible() && s.Marks().Clicked(x, y) != -1;
               })) {
      chart->SetCursor(forms::kCursorHandPoint);
      chart->CancelMouse = true;
    }
    break;
  case UloToolMouseUp:
    if (index_ != -1 && OnDraggedMark) OnDraggedMark(this, index_, button, shift, x, y);
    index_ = -1;
    draggedSeries_ = nullptr;
    break;
  default:
    break;
  }
}

// ==== mark tips ==================================================================================

std::string TMarksTipTool::GetGalleryName() const { return UloProToolMarksTip; }
std::string TMarksTipTool::GetGalleryHint() const { return UloProHintMarksTipTool; }

int TMarksTipTool::MouseDelay() const { return forms::HintPause(); }
void TMarksTipTool::SetMouseDelay(int value) { forms::SetHintPause(value); }
int TMarksTipTool::HideDelay() const { return forms::HintHidePause(); }
void TMarksTipTool::SetHideDelay(int value) { forms::SetHintHidePause(value); }

void TMarksTipTool::SetMouseAction(TMarkToolMouseAction value) {
  mouseAction_ = value;
  HideTip();
}

void TMarksTipTool::SetActive(bool value) {
  TUloCustomToolSeries::SetActive(value);
  if (!value) HideTip();
}

std::string TMarksTipTool::TipText(TChartSeries &series, int index) {
  TCustomAxisPanel *chart = ParentChart();
  const bool autoRepaint = chart ? chart->AutoRepaint() : true;
  if (chart) chart->SetAutoRepaint(false);
  const TSeriesMarksStyle old = series.Marks().Style();
  std::string text;
  try {
    series.Marks().SetStyle(style_);
    text = series.BuildMarkText(index);
  } catch (...) {
    series.Marks().SetStyle(old);
    if (chart) chart->SetAutoRepaint(autoRepaint);
    throw;
  }
  series.Marks().SetStyle(old);
  if (chart) chart->SetAutoRepaint(autoRepaint);
  if (OnGetText) OnGetText(this, text);
  return text;
}

void TMarksTipTool::HideTip() {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  if (OnCancelHint) OnCancelHint(this);
  const std::string old = forms::ControlHint(*chart);
  forms::SetControlHint(*chart, {});
  if (!old.empty()) forms::CancelHint();
}

void TMarksTipTool::ShowTipAt(int x, int y) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  TChartSeries *found = nullptr;
  int index = -1;
  ForEachMarkSeries(*chart, Series(), [&](TChartSeries &s) {
    index = s.PointAtPixel(x, y);
    if (index == -1) return false;
    found = &s;
    return true;
  });
  if (found) {
    const std::string text = TipText(*found, index);
    if (text == forms::ControlHint(*chart)) return;
    forms::CancelHint();
    forms::SetControlHint(*chart, text);
    forms::ActivateHint(*chart, x, y);
    return;
  }
  // Another tips tool of the chart may be showing its own tip.
  for (TUloCustomTool *t : chart->Tools())
    if (t != this && dynamic_cast<TMarksTipTool *>(t)) return;
  HideTip();
}

void TMarksTipTool::ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  (void)button;
  (void)shift;
  TCustomAxisPanel *chart = ParentChart();
  if (!chart || dynamic_cast<IUloPointTips *>(&chart->Canvas())) return;
  if ((kind == UloToolMouseMove && mouseAction_ == TMarkToolMouseAction::mtmMove) ||
      (kind == UloToolMouseDown && mouseAction_ == TMarkToolMouseAction::mtmClick))
    ShowTipAt(x, y);
}

void TMarksTipTool::ChartEvent(int stage) {
  if (stage != UloToolStageAfterDraw) return;
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  auto *tips = dynamic_cast<IUloPointTips *>(&chart->Canvas());
  if (!tips) return;
  auto addTips = [&](TChartSeries &s) {
    const std::string prefix = s.DefaultTitle() + "_";
    for (int i = std::max(0, s.FirstValueIndex()); i <= s.LastValueIndex() && i < s.PointCount(); ++i)
      tips->AddPointTip(prefix + std::to_string(i), TipText(s, i));
  };
  if (Series()) {
    addTips(*Series());
  } else {
    for (int i = 0; i < chart->SeriesCount(); ++i)
      addTips(*chart->GetSeries(i));
  }
}

void TMarksTipTool::Assign(const TCustomChartElement &source) {
  if (auto *s = dynamic_cast<const TMarksTipTool *>(&source); s && s != this) {
    mouseAction_ = s->mouseAction_;
    style_ = s->style_;
  }
  TUloCustomToolSeries::Assign(source);
}

void TMarksTipTool::DefineProperties(streaming::TPropertyTable &table) {
  TUloCustomToolSeries::DefineProperties(table);
  table.Enum(
      "MouseAction", [this] { return mouseAction_; }, [this](TMarkToolMouseAction v) { SetMouseAction(v); },
      TMarkToolMouseAction::mtmMove, kMouseActionNames);
  table.Enum(
      "Style", [this] { return style_; }, [this](TSeriesMarksStyle v) { SetStyle(v); }, TSeriesMarksStyle::smsLabel,
      UloMarksStyleNames());
}

// ==== image ========================================================================================

TChartImageTool::TChartImageTool() : picture_([this] { Repaint(); }) { Pen().SetVisible(false); }

std::string TChartImageTool::GetGalleryName() const { return UloProToolImage; }
std::string TChartImageTool::GetGalleryHint() const { return UloProHintChartImageTool; }

void TChartImageTool::ChartEvent(int stage) {
  if (stage != UloToolStageBeforeSeries) return;
  TCustomAxisPanel *chart = ParentChart();
  const gdi::Bitmap *graphic = picture_.Graphic() ? picture_.FilteredCopy() : nullptr;
  if (!chart || !graphic) return;
  const TChartAxis *h = GetHorizAxis();
  const TChartAxis *v = GetVertAxis();
  if (!h || !v) return;
  TRect r;
  if (TChartSeries *s = Series()) {
    r = TRect{h->CalcPosValue(s->MinX()), v->CalcPosValue(s->MaxY()), h->CalcPosValue(s->MaxX()),
              v->CalcPosValue(s->MinY())};
  } else {
    r = TRect{h->CalcPosValue(h->Minimum()), v->CalcPosValue(v->Maximum()), h->CalcPosValue(h->Maximum()),
              v->CalcPosValue(v->Minimum())};
  }
  TUloCanvas3D &canvas = chart->Canvas();
  const bool clip = chart->CanClip();
  if (clip) canvas.ClipToBox(chart->ChartRect, 0, chart->HorizDepth);
  TRect target = r;
  if (chart->View3D()) {
    const TPoint a = canvas.ProjectPoint(r.Left, r.Top, 0);
    const TPoint b = canvas.ProjectPoint(r.Right, r.Bottom, 0);
    target = TRect{a.X, a.Y, b.X, b.Y};
  }
  canvas.StretchDraw(target, graphic);
  if (Pen().Visible()) {
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.ApplyPen(Pen());
    canvas.RectangleAtDepth(r, 0);
  }
  if (clip) canvas.RemoveClip();
}

void TChartImageTool::Assign(const TCustomChartElement &source) {
  if (auto *s = dynamic_cast<const TChartImageTool *>(&source); s && s != this) picture_.Assign(s->picture_);
  TUloCustomToolSeries::Assign(source);
}

void TChartImageTool::DefineProperties(streaming::TPropertyTable &table) {
  TUloCustomToolSeries::DefineProperties(table);
  table.Object("Pen", storedParts_.Get("Pen", [this](streaming::TPropertyTable &t) { DefineChartPen(t, Pen()); }));
  table.Object("Picture", [this] { return static_cast<streaming::TPersistent *>(&picture_); }).StoredWhen([this] {
    return picture_.Graphic() != nullptr;
  });
}

// ==== series animation =============================================================================

// One run of the animation, on RunAnimation's stack: whoever ends it while
// it waits (the tool going, its series going) marks it here.
struct TSeriesAnimationTool::TRun {
  TChartSeries *series = nullptr;
  std::vector<double> saved;
  bool toolGone = false;
};

TSeriesAnimationTool::TSeriesAnimationTool()
    : TickCount([] {
        return static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
                .count());
      }),
      ProcessMessages([] { forms::Application().ProcessMessages(); }) {}

TSeriesAnimationTool::~TSeriesAnimationTool() {
  if (!run_) return;
  // The run waits in a message loop below us: it must not touch the tool
  // again. The values go back while their series is still there.
  TRun &run = *run_;
  run.toolGone = true;
  run_ = nullptr;
  if (Series() == run.series) Restore(run);
  StopAnimation();
}

void TSeriesAnimationTool::Restore(TRun &run) {
  if (!run.series) return;
  TChartValueList &list = *run.series->MandatoryValueList();
  const int n = std::min<int>(list.Count(), static_cast<int>(run.saved.size()));
  for (int i = 0; i < n; ++i)
    list.SetValue(i, run.saved[static_cast<size_t>(i)]);
  if (TCustomAxisPanel *chart = ParentChart(); chart && !chart->IsDestroying()) chart->Invalidate();
}

std::string TSeriesAnimationTool::GetGalleryName() const { return UloProToolSeriesAnimation; }
std::string TSeriesAnimationTool::GetGalleryHint() const { return UloProHintSeriesAnimationTool; }

void TSeriesAnimationTool::SetSeries(TChartSeries *value) {
  // Changing the series ends a run: the values go back to the old one now,
  // since the run only restores the series the tool still has.
  if (run_ && value != Series()) {
    if (Series() == run_->series) Restore(*run_);
    StopAnimation();
  }
  TUloCustomToolSeries::SetSeries(value);
}

void TSeriesAnimationTool::StopAnimation() {
  if (stopped_) return;
  stopped_ = true;
  if (OnStop) OnStop(this);
}

bool TSeriesAnimationTool::RepaintAndWait(TRun &run) {
  auto ended = [&] { return run.toolGone || stopped_ || Series() != run.series || !ParentChart(); };
  if (TCustomAxisPanel *chart = ParentChart()) chart->Invalidate();
  const uint64_t start = TickCount();
  // The pump may run anything, freeing this tool (and its members) included:
  // it runs from a copy, and the run is looked at first, the tool only while
  // it is there.
  const std::function<void()> pump = ProcessMessages;
  if (delay_ <= 0) {
    pump();
    return !run.toolGone && !ended();
  }
  while (true) {
    pump();
    if (run.toolGone || ended()) return false;
    if (TickCount() - start >= static_cast<uint64_t>(delay_)) return true;
  }
}

bool TSeriesAnimationTool::Pass(TRun &run, bool backward) {
  TChartSeries &series = *run.series;
  TChartValueList &list = *series.MandatoryValueList();
  auto count = [&] { return std::min<int>(list.Count(), static_cast<int>(run.saved.size())); };
  auto restore = [&] {
    if (!run.toolGone && Series() == run.series) Restore(run);
  };
  double start = startValue_;
  if (startAtMin_ && !run.saved.empty()) start = *std::min_element(run.saved.begin(), run.saved.end());
  for (int i = 0; i < count(); ++i)
    list.SetValue(i, start);
  if (TCustomAxisPanel *chart = ParentChart()) chart->Invalidate();
  const int steps = std::max(1, steps_);
  const int total = static_cast<int>(run.saved.size());
  const int group = drawEvery_ > 0 ? drawEvery_ : std::max(1, total);
  for (int first = 0; first < total; first += group) {
    for (int s = 0; s <= steps; ++s) {
      double f = static_cast<double>(s) / steps;
      double offset = start - start * f;
      if (backward) {
        offset = 0;
        f = static_cast<double>(steps - s) / steps;
      }
      const int last = std::min(first + group, count());
      for (int i = first; i < last; ++i)
        list.SetValue(i, f * run.saved[static_cast<size_t>(i)] + offset);
      if (OnStep) OnStep(this, s);
      if (!RepaintAndWait(run)) {
        restore();
        return false;
      }
    }
  }
  restore();
  return RepaintAndWait(run);
}

void TSeriesAnimationTool::RunAnimation() {
  TChartSeries *series = Series();
  if (!series || !stopped_) return;
  TRun run;
  run.series = series;
  const TChartValueList &list = *series->MandatoryValueList();
  run.saved.assign(list.Values(), list.Values() + list.Count());
  run_ = &run;
  stopped_ = false;
  if (OnStart) OnStart(this);
  bool backward = false;
  while (!run.toolGone && !stopped_) {
    if (!Pass(run, backward)) break;
    if (run.toolGone || loop_ == TSeriesAnimationLoop::salNo) break;
    if (loop_ == TSeriesAnimationLoop::salCircular) backward = !backward;
  }
  if (run.toolGone) return;
  run_ = nullptr;
  // A series that changed or went meanwhile keeps what it has; the saved
  // values went back in the pass where it was still there.
  StopAnimation();
}

void TSeriesAnimationTool::Assign(const TCustomChartElement &source) {
  if (auto *s = dynamic_cast<const TSeriesAnimationTool *>(&source); s && s != this) {
    delay_ = s->delay_;
    drawEvery_ = s->drawEvery_;
    loop_ = s->loop_;
    startValue_ = s->startValue_;
    steps_ = s->steps_;
    startAtMin_ = s->startAtMin_;
  }
  TUloCustomToolSeries::Assign(source);
}

void TSeriesAnimationTool::DefineProperties(streaming::TPropertyTable &table) {
  TUloCustomToolSeries::DefineProperties(table);
  using T = TSeriesAnimationTool;
  table.Property("Delay", this, &T::Delay, &T::SetDelay, 0);
  table.Property("DrawEvery", this, &T::DrawEvery, &T::SetDrawEvery, 0);
  table.Enum(
      "Loop", [this] { return loop_; }, [this](TSeriesAnimationLoop v) { SetLoop(v); }, TSeriesAnimationLoop::salNo,
      kLoopNames);
  table.Property("StartAtMin", this, &T::StartAtMin, &T::SetStartAtMin, true);
  table.Property("StartValue", this, &T::StartValue, &T::SetStartValue, 0.0);
  table.Property("Steps", this, &T::Steps, &T::SetSteps, 100);
}

// ==== clipping =====================================================================================

std::string TClipSeriesTool::GetGalleryName() const { return UloProToolClipSeries; }
std::string TClipSeriesTool::GetGalleryHint() const { return UloProHintClipSeriesTool; }

void TClipSeriesTool::SeriesDrawEvent(int stage) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  if (stage == UloToolStageBeforeSeries) {
    const TChartAxis *h = GetHorizAxis();
    const TChartAxis *v = GetVertAxis();
    if (!h || !v || !chart->CanClip()) return;
    chart->Canvas().ClipToRect(NormalizeRect(TRect{h->IStartPos, v->IStartPos, h->IEndPos, v->IEndPos}));
    clipped_ = true;
  } else if (stage == UloToolStageAfterSeries && clipped_) {
    chart->Canvas().RemoveClip();
    clipped_ = false;
  }
}

// ==== full screen ==================================================================================

TFullScreenTool::TFullScreenTool() { TUloCustomTool::SetActive(false); }

TFullScreenTool::~TFullScreenTool() {
  destroying_ = true;
  Leave(true);
}

std::string TFullScreenTool::GetGalleryName() const { return UloProToolFullScreen; }
std::string TFullScreenTool::GetGalleryHint() const { return UloProHintFullScreenTool; }

void TFullScreenTool::SetActive(bool value) {
  if (value == Active()) return;
  TUloCustomTool::SetActive(value);
  if (Loading()) return;
  if (value)
    Enter();
  else
    Leave(true);
}

void TFullScreenTool::Loaded() {
  TUloCustomTool::Loaded();
  if (Active()) Enter();
}

void TFullScreenTool::SetParentChart(TCustomAxisPanel *value) {
  // The window holds the old chart: it goes back first.
  if (value != ParentChart()) Leave(true);
  TUloCustomTool::SetParentChart(value);
}

void TFullScreenTool::Enter() {
  TCustomAxisPanel *chart = ParentChart();
  if (destroying_ || !chart || window_) return;
  auto window = std::make_unique<forms::TFullScreenWindow>();
  window->Tag = this;
  savedAlign_ = chart->Align();
  chart->SetAlign(forms::TAlign::alNone);
  window->Host(*chart);
  savedBounds_ = TBounds{chart->Left(), chart->Top(), chart->Width(), chart->Height()};
  int left, top, width, height;
  forms::TFullScreenWindow::ScreenBounds(left, top, width, height);
  chart->SetBounds(0, 0, width, height);
  window->OnKeyDown = [this](int key) {
    if (key != releaseKey_) return false;
    SetActive(false);
    return true;
  };
  // The window frees itself after closing.
  window->OnClose = [this] {
    Leave(false);
    TUloCustomTool::SetActive(false);
  };
  window_ = window.release();
  window_->Show();
}

void TFullScreenTool::Leave(bool freeWindow) {
  forms::TFullScreenWindow *window = std::exchange(window_, nullptr);
  if (!window) return;
  if (window->Tag == this) {
    window->Tag = nullptr;
    if (auto *chart = dynamic_cast<TCustomAxisPanel *>(window->Hosted())) {
      window->GiveBack();
      chart->SetBounds(savedBounds_.Left, savedBounds_.Top, savedBounds_.Width, savedBounds_.Height);
      chart->SetAlign(savedAlign_);
    }
  }
  if (freeWindow) delete window;
}

void TFullScreenTool::Assign(const TCustomChartElement &source) {
  if (auto *s = dynamic_cast<const TFullScreenTool *>(&source); s && s != this) releaseKey_ = s->releaseKey_;
  TUloCustomTool::Assign(source);
}

void TFullScreenTool::DefineProperties(streaming::TPropertyTable &table) {
  TUloCustomTool::DefineProperties(table);
  table.Property("Active", this, &TFullScreenTool::Active, &TFullScreenTool::SetActive, false);
  table.Property("ReleaseKey", this, &TFullScreenTool::ReleaseKey, &TFullScreenTool::SetReleaseKey, uint16_t{27});
}

// ==== unit start and stop ==========================================================================

namespace {

// The seventeen tools of the tool gallery, in its order.
std::vector<TUloToolClass> GalleryTools() {
  return {UloClass<TCursorTool>(),     UloClass<TDragMarksTool>(),  UloClass<TAxisArrowTool>(),
          UloClass<TDrawLineTool>(),   UloClass<TNearestTool>(),    UloClass<TColorBandTool>(),
          UloClass<TColorLineTool>(),  UloClass<TRotateTool>(),     UloClass<TChartImageTool>(),
          UloClass<TMarksTipTool>(),   UloClass<TAnnotationTool>(), UloClass<TSeriesAnimationTool>(),
          UloClass<TGridBandTool>(),   UloClass<TAxisScrollTool>(), UloClass<TRectangleTool>(),
          UloClass<TClipSeriesTool>(), UloClass<TFullScreenTool>()};
}

} // namespace

void StartUloToolsUnit() { RegisterUloTools(GalleryTools()); }

void StopUloToolsUnit() { UnRegisterUloTools(GalleryTools()); }
