// Two series tools that follow the mouse over a chart: draggable cursor
// lines held in axis values, optionally snapped to the nearest point of
// the series, and a marker on the series point nearest the mouse. Both
// draw with an exclusive-or pen, so that drawing twice erases.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "chart/engine/UloTool.h"
#include "chart/foundation/UloStoredParts.h"

enum class TCursorToolStyle { cssHorizontal, cssVertical, cssBoth, cssScope, cssScopeOnly };
enum class TScopeCursorStyle { scsRectangle, scsCircle, scsDiamond, scsEmpty, scsCamera };
enum class TSnapStyle { ssDefault, ssHorizontal, ssVertical };
enum class TNearestToolStyle { hsNone, hsCircle, hsRectangle, hsDiamond, hsSeries };

class TCursorTool;
class TNearestTool;

using TCursorToolChangeEvent = std::function<void(TCursorTool *sender, int x, int y, double xValue, double yValue,
                                                  TChartSeries *series, int valueIndex)>;
using TCursorToolGetAxisRect = std::function<void(TCursorTool *sender, TRect &rect)>;
using TNearestToolChangeEvent = std::function<void(TNearestTool *sender)>;

// First := the first visible index (at least 0); last := the last visible
// index, or the last point when that is negative or beyond the points.
// True only when the series has points and both lie within them.
bool SeriesVisibleRange(TChartSeries &series, int &first, int &last);

// The cursor numbers the tools show over their parts.
inline constexpr int UloCursorVSplit = -15;
inline constexpr int UloCursorHSplit = -14;
inline constexpr int UloCursorSizeAll = -22;

class TCursorTool : public TUloCustomToolSeries {
public:
  TCursorTool();

  std::string_view ClassName() const override { return "TCursorTool"; }
  std::string GetEditor() const override { return "TCursorToolEditor"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;

  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;

  // ---- settings
  int ClickTolerance() const noexcept { return clickTolerance_; }
  void SetClickTolerance(int value) { clickTolerance_ = value; }
  bool FollowMouse() const noexcept { return followMouse_; }
  void SetFollowMouse(bool value) { followMouse_ = value; }
  // Half lengths of the drawn lines about the cursor; 0 is the whole axis.
  int HorizSize() const noexcept { return horizSize_; }
  void SetHorizSize(int value) { SetAndRepaint(horizSize_, value); }
  int VertSize() const noexcept { return vertSize_; }
  void SetVertSize(int value) { SetAndRepaint(vertSize_, value); }
  int ScopeSize() const noexcept { return scopeSize_; }
  void SetScopeSize(int value) { SetAndRepaint(scopeSize_, value); }
  TScopeCursorStyle ScopeStyle() const noexcept { return scopeStyle_; }
  void SetScopeStyle(TScopeCursorStyle value) { SetAndRepaint(scopeStyle_, value); }
  bool Snap() const noexcept { return snap_; }
  void SetSnap(bool value) { snap_ = value; }
  TSnapStyle SnapStyle() const noexcept { return snapStyle_; }
  void SetSnapStyle(TSnapStyle value) { snapStyle_ = value; }
  TCursorToolStyle Style() const noexcept { return style_; }
  // Snaps again, then repaints.
  void SetStyle(TCursorToolStyle value);
  bool UseSeriesZ() const noexcept { return useSeriesZ_; }
  void SetUseSeriesZ(bool value) { SetAndRepaint(useSeriesZ_, value); }
  // Limit the cursor by the chart rectangle instead of the axes.
  bool WholeChart() const noexcept { return wholeChart_; }
  void SetWholeChart(bool value) { wholeChart_ = value; }
  // Resets the last snap; with a series (and not loading) snaps and repaints.
  void SetSeries(TChartSeries *value) override;
  void SetParentChart(TCustomAxisPanel *value) override;

  // ---- position
  double XValue() const noexcept { return xValue_; }
  double YValue() const noexcept { return yValue_; }
  void SetXValue(double value);
  void SetYValue(double value);
  // In pixels; -1 until the cursor is first placed.
  int PixelX() const noexcept { return pixelX_; }
  int PixelY() const noexcept { return pixelY_; }
  // 0 none, 1 the horizontal line, 2 the vertical line, 3 the crossing.
  int DragPart() const noexcept { return dragPart_; }

  // ---- operations
  // The nearest point of the series by the snap distance, or -1.
  int FindSnapPoint(double &distance);
  // With a series and Snap: moves the values onto the snap point.
  int ApplySnap();
  void SetValuesFromPixels(int x, int y);
  void UpdatePixelPositions();
  // The part under (X, Y). The narrowed rectangle is taken about the mouse,
  // not about the cursor, so a short line can be grabbed a little beyond
  // its drawn ends.
  int GetDragPart(int x, int y);
  void DoChange(int valueIndex);
  void DrawCursorXor();
  // The rectangle limiting the cursor, narrowed about (X, Y) by the half
  // sizes when Narrow.
  TRect CursorRect(int x, int y, bool narrow);

  void ChartEvent(int stage) override;
  void ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;

  TCursorToolChangeEvent OnChange;
  TCursorToolChangeEvent OnSnapChange;
  TCursorToolGetAxisRect OnGetAxisRect;

private:
  int SeriesDepth() const;
  void MapMouse(int &x, int &y) const;

  int clickTolerance_ = 3;
  bool followMouse_ = false;
  int horizSize_ = 0;
  int scopeSize_ = 4;
  TScopeCursorStyle scopeStyle_ = TScopeCursorStyle::scsRectangle;
  bool snap_ = false;
  TSnapStyle snapStyle_ = TSnapStyle::ssDefault;
  TCursorToolStyle style_ = TCursorToolStyle::cssBoth;
  bool wholeChart_ = false;
  bool useSeriesZ_ = false;
  int vertSize_ = 0;
  int dragPart_ = 0;
  int lastSnap_ = -1;
  double xValue_ = 0;
  double yValue_ = 0;
  int pixelX_ = -1;
  int pixelY_ = -1;
  TUloStoredParts storedParts_;
};

class TNearestTool : public TUloCustomToolSeries {
public:
  TNearestTool();
  ~TNearestTool() override;

  std::string_view ClassName() const override { return "TNearestTool"; }
  std::string GetEditor() const override { return "TNearestToolEdit"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;

  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;

  bool DrawLine() const noexcept { return linePen_->Visible(); }
  void SetDrawLine(bool value) { linePen_->SetVisible(value); }
  bool FullRepaint() const noexcept { return fullRepaint_; }
  void SetFullRepaint(bool value) { fullRepaint_ = value; }
  TChartPen &LinePen() noexcept { return *linePen_; }
  void SetLinePen(const TChartPen &value) { linePen_->Assign(value); }
  int Size() const noexcept { return size_; }
  void SetSize(int value) { SetAndRepaint(size_, value); }
  TNearestToolStyle Style() const noexcept { return style_; }
  void SetStyle(TNearestToolStyle value) { SetAndRepaint(style_, value); }

  // The index of the nearest point, -1 when none.
  int Point = -1;
  TPoint MousePoint() const noexcept { return mouse_; }

  // The point of Series nearest the pixel, or -1; usable without a tool.
  static int FindNearestPoint(TChartSeries &series, int x, int y);
  void PaintMarker();

  void ChartEvent(int stage) override;
  void ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;

  TNearestToolChangeEvent OnChange;

private:
  bool fullRepaint_ = true;
  std::unique_ptr<TChartPen> linePen_;
  int size_ = 20;
  TNearestToolStyle style_ = TNearestToolStyle::hsCircle;
  TPoint mouse_{};
  TUloStoredParts storedParts_;
};

// Registers the two tools in the tool registry, and removes them.
void StartCursorToolUnit();
void StopCursorToolUnit();
