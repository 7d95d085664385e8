// Tools bound to one axis of a chart: clickable arrows at the axis ends
// that scroll it, scrolling an axis by dragging on it, a draggable line at
// an axis value, a band between two axis values with draggable edges, and
// alternating fills between the axis' grid lines.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chart/engine/UloTool.h"
#include "chart/foundation/UloGradient.h"
#include "chart/foundation/UloPens.h"
#include "chart/foundation/UloPicture.h"
#include "chart/foundation/UloStoredParts.h"

// ---- arrows -------------------------------------------------------------------------

enum class TAxisArrowToolPosition { aaStart, aaEnd, aaBoth };

class TAxisArrowTool;
using TAxisArrowClickEvent = std::function<void(TAxisArrowTool *sender, bool atStart)>;

class TAxisArrowTool : public TUloCustomToolAxis {
public:
  TAxisArrowTool();

  int HeadWidth() const noexcept { return headWidth_; }
  void SetHeadWidth(int value) { SetAndRepaint(headWidth_, value); }
  int Length() const noexcept { return length_; }
  void SetLength(int value) { SetAndRepaint(length_, value); }
  TAxisArrowToolPosition Position() const noexcept { return position_; }
  void SetPosition(TAxisArrowToolPosition value) { SetAndRepaint(position_, value); }
  // Percent of the axis range one click scrolls; 0 makes the arrows inert.
  int ScrollPercent() const noexcept { return scrollPercent_; }
  void SetScrollPercent(int value) { SetAndRepaint(scrollPercent_, value); }
  bool ScrollInverted() const noexcept { return scrollInverted_; }
  void SetScrollInverted(bool value) { SetAndRepaint(scrollInverted_, value); }
  // The arrow's body in percent of HeadWidth.
  int SizePercent() const noexcept { return sizePercent_; }
  void SetSizePercent(int value) { SetAndRepaint(sizePercent_, value); }

  TAxisArrowClickEvent OnClick;

  // 0 on the start arrow, 1 on the end arrow, -1 elsewhere.
  int ArrowAtPoint(int x, int y) const;
  // Scrolls the axis (and the paired axis a series shares with it) by
  // Delta axis units, when the chart's OnAllowScroll allows it.
  void ScrollAxis(double delta);

  void ChartEvent(int stage) override;
  void ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string GetEditor() const override { return "TAxisArrowToolEditor"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;
  std::string_view ClassName() const override { return "TAxisArrowTool"; }

private:
  int headWidth_ = 8;
  int length_ = 16;
  TAxisArrowToolPosition position_ = TAxisArrowToolPosition::aaBoth;
  int scrollPercent_ = 10;
  bool scrollInverted_ = false;
  int sizePercent_ = 50;
  TUloStoredParts storedParts_;
};

// ---- axis scrolling --------------------------------------------------------------------

class TAxisScrollTool : public TUloCustomToolAxis {
public:
  TAxisScrollTool() = default;

  bool ScrollInverted() const noexcept { return scrollInverted_; }
  void SetScrollInverted(bool value) { scrollInverted_ = value; }

  // The axis being dragged, or null.
  TChartAxis *DraggedAxis() const noexcept { return dragAxis_; }

  void ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  void SetActive(bool value) override;
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string GetEditor() const override { return "TAxisScrollEditor"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;
  std::string_view ClassName() const override { return "TAxisScrollTool"; }

private:
  TChartAxis *AxisUnder(int x, int y) const;
  void ScrollBy(TChartAxis &axis, int pixels);

  bool scrollInverted_ = false;
  int lastX_ = 0;
  int lastY_ = 0;
  TChartAxis *dragAxis_ = nullptr;
};

// ---- colour line --------------------------------------------------------------------------

enum class TColorLineStyle { clCustom, clMaximum, clCenter, clMinimum };

class TColorLineTool;
using TColorLineToolOnDrag = std::function<void(TColorLineTool *sender)>;

class TColorLineTool : public TUloCustomToolAxis {
public:
  TColorLineTool();

  bool AllowDrag() const noexcept { return allowDrag_; }
  void SetAllowDrag(bool value) { SetAndRepaint(allowDrag_, value); }
  // Each drag step repaints the chart instead of moving a not-xor line.
  bool DragRepaint() const noexcept { return dragRepaint_; }
  void SetDragRepaint(bool value) { SetAndRepaint(dragRepaint_, value); }
  bool Draw3D() const noexcept { return draw3D_; }
  void SetDraw3D(bool value) { SetAndRepaint(draw3D_, value); }
  bool DrawBehind() const noexcept { return drawBehind_; }
  void SetDrawBehind(bool value) { SetAndRepaint(drawBehind_, value); }
  // Dragging may leave the axis range.
  bool NoLimitDrag() const noexcept { return noLimitDrag_; }
  void SetNoLimitDrag(bool value) { SetAndRepaint(noLimitDrag_, value); }
  TColorLineStyle Style() const noexcept { return style_; }
  void SetStyle(TColorLineStyle value) { SetAndRepaint(style_, value); }
  double Value() const noexcept { return value_; }
  // Makes the style clCustom (not while loading).
  void SetValue(double value);

  TColorLineToolOnDrag OnBeginDragLine;
  TColorLineToolOnDrag OnDragLine;
  TColorLineToolOnDrag OnEndDragLine;

  // The value the line stands at: Value, or the axis maximum, centre or
  // minimum by Style.
  double EffectiveValue() const;
  // V held within the axis values at its start and end pixels.
  double ClampToAxis(double v) const;
  // The part behind the series (depth line and the line at the back), and
  // the part in front.
  void PaintLine();
  void PaintLineFront();
  // Within 3 pixels of the line, inside the chart rectangle.
  bool NearLine(int x, int y) const;
  virtual void DoEndDragLine();
  bool Dragging() const noexcept { return dragging_; }

  // The chart whose canvas and rectangle the line uses instead of its own
  // (a colour band's edges are drawn by the band's chart).
  TCustomAxisPanel *DrawingChart() const noexcept { return drawingChart_; }
  void SetDrawingChart(TCustomAxisPanel *chart) noexcept { drawingChart_ = chart; }
  // Told when a drag ends, before OnEndDragLine (the colour band uses it).
  std::function<void(TColorLineTool &)> EndDragNotify;

  void ChartEvent(int stage) override;
  void ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string GetEditor() const override { return "TColorLineToolEditor"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;
  std::string_view ClassName() const override { return "TColorLineTool"; }

private:
  TCustomAxisPanel *Drawer() const noexcept { return drawingChart_ ? drawingChart_ : ParentChart(); }
  // The pixel of the effective value along the axis; painting clamps only
  // the drawn position, never the stored value.
  int LinePixel() const;
  void DrawPart(bool back);
  void DrawDragFeedback();

  bool allowDrag_ = true;
  bool dragRepaint_ = false;
  bool draw3D_ = true;
  bool drawBehind_ = false;
  bool noLimitDrag_ = false;
  TColorLineStyle style_ = TColorLineStyle::clCustom;
  double value_ = 0;
  bool dragging_ = false;
  TCustomAxisPanel *drawingChart_ = nullptr;
  TUloStoredParts storedParts_;
};

// ---- colour band ------------------------------------------------------------------------------

class TColorBandTool;
using TColorBandMouseEvent =
    std::function<void(TColorBandTool *sender, forms::TMouseButton button, forms::TShiftState shift, int x, int y)>;
using TColorBandNotifyEvent = std::function<void(TColorBandTool *sender)>;

class TColorBandTool : public TUloCustomToolAxis {
public:
  TColorBandTool();
  ~TColorBandTool() override;

  TColor Color() const noexcept { return color_; }
  void SetColor(TColor value) { SetAndRepaint(color_, value); }
  int Cursor() const noexcept { return cursor_; }
  void SetCursor(int value) { cursor_ = value; }
  bool DrawBehind() const noexcept { return drawBehind_; }
  void SetDrawBehind(bool value) { SetAndRepaint(drawBehind_, value); }
  bool DrawBehindAxes() const noexcept { return drawBehindAxes_; }
  void SetDrawBehindAxes(bool value) { SetAndRepaint(drawBehindAxes_, value); }
  double EndValue() const noexcept { return endValue_; }
  void SetEndValue(double value) { SetAndRepaint(endValue_, value); }
  double StartValue() const noexcept { return startValue_; }
  void SetStartValue(double value) { SetAndRepaint(startValue_, value); }
  TUloGradient &Gradient() noexcept { return *gradient_; }
  void SetGradient(const TUloGradient &value) { gradient_->Assign(value); }
  // Created on first read; null frees it.
  TUloPicture &Picture();
  TUloPicture *ExistingPicture() const noexcept { return picture_.get(); }
  void SetPicture(const TUloPicture *value);
  int Transparency() const noexcept { return transparency_; }
  void SetTransparency(int value) { SetAndRepaint(transparency_, value); }
  TChartPen &StartLinePen() noexcept { return startLine_->Pen(); }
  void SetStartLinePen(const TChartPen &value) { startLine_->Pen().Assign(value); }
  TChartPen &EndLinePen() noexcept { return endLine_->Pen(); }
  void SetEndLinePen(const TChartPen &value) { endLine_->Pen().Assign(value); }
  // The edge lines can be dragged.
  bool ResizeStart() const noexcept { return startLine_->Active(); }
  void SetResizeStart(bool value) { startLine_->SetActive(value); }
  bool ResizeEnd() const noexcept { return endLine_->Active(); }
  void SetResizeEnd(bool value) { endLine_->SetActive(value); }
  TColorLineTool &StartLine() noexcept { return *startLine_; }
  TColorLineTool &EndLine() noexcept { return *endLine_; }

  TColorBandMouseEvent OnClick;
  TColorBandNotifyEvent OnResized;

  // The band between the two values across the chart rectangle; empty
  // without an axis or outside the axis range.
  TRect BandBounds() const;
  void DrawBand();

  void SetAxis(TChartAxis *value) override;
  void SetParentChart(TCustomAxisPanel *value) override;
  void ChartEvent(int stage) override;
  void ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  void Loaded() override;
  std::string GetEditor() const override { return "TColorBandToolEditor"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;
  std::string_view ClassName() const override { return "TColorBandTool"; }

private:
  int BandDepth() const;
  bool InsideBand(int x, int y) const;
  void LineMoved(TColorLineTool &line);
  void LineDropped(TColorLineTool &line);

  TColor color_ = clWhite;
  int cursor_ = 0;
  bool drawBehind_ = true;
  bool drawBehindAxes_ = false;
  double endValue_ = 0;
  std::unique_ptr<TUloGradient> gradient_;
  std::unique_ptr<TUloPicture> picture_;
  double startValue_ = 0;
  int transparency_ = 0;
  std::unique_ptr<TColorLineTool> endLine_;
  std::unique_ptr<TColorLineTool> startLine_;
  TUloStoredParts storedParts_;
};

// ---- grid bands ------------------------------------------------------------------------------

// A band brush: BackColor clNone means the chart's back-wall colour.
class TGridBandBrush : public TChartBrush {
public:
  explicit TGridBandBrush(TUloChangeEvent onChange = {});
  void Assign(const TBrush &source) override;

  TUloGradient &Gradient() noexcept { return *gradient_; }
  void SetGradient(const TUloGradient &value) { gradient_->Assign(value); }
  int Transparency() const noexcept { return transparency_; }
  void SetTransparency(int value) {
    UloSetProperty(transparency_, value, [this] { Changed(); });
  }

private:
  std::unique_ptr<TUloGradient> gradient_;
  int transparency_ = 0;
};

class TGridBandTool : public TUloCustomToolAxis {
public:
  TGridBandTool();
  ~TGridBandTool() override;

  TGridBandBrush &Band1() noexcept { return *band1_; }
  void SetBand1(const TBrush &value) { band1_->Assign(value); }
  TGridBandBrush &Band2() noexcept { return *band2_; }
  void SetBand2(const TBrush &value) { band2_->Assign(value); }

  // The bands between the grid lines at Positions (pixels along the axis).
  void DrawGridBands(TChartAxis &axis, std::span<const int> positions);
  // The span across the axis; 0 and 0 mean the chart rectangle.
  void SetBandExtent(int from, int to) noexcept {
    extentFrom_ = from;
    extentTo_ = to;
  }

  void SetAxis(TChartAxis *value) override;
  void SetParentChart(TCustomAxisPanel *value) override;
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string GetEditor() const override { return "TGridBandToolEdit"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;
  std::string_view ClassName() const override { return "TGridBandTool"; }

  void ForgetAxis() noexcept override;

private:
  void Install(TChartAxis *axis);
  void Uninstall(TChartAxis *axis);
  void DrawOneBand(TChartAxis &axis, TGridBandBrush &brush, int from, int to);

  std::unique_ptr<TGridBandBrush> band1_;
  std::unique_ptr<TGridBandBrush> band2_;
  TChartAxis *installed_ = nullptr;
  std::vector<int> sorted_;
  TUloStoredParts storedParts_;
  int extentFrom_ = 0;
  int extentTo_ = 0;
};

// Registers the five tools in the tool registry (and for stored
// definitions); the stop removes them.
void StartAxisToolsUnit();
void StopAxisToolsUnit();
