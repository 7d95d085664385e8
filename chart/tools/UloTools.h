// Seven chart tools: free lines the user draws, selects and drags (kept in
// axis values); dragging of series marks; a point's mark text shown as a
// tool tip; a picture stretched between axis limits; a growing animation
// of a series; clipping of a series to its axes; and the chart shown alone
// in a borderless window of screen size.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chart/engine/UloMarks.h"
#include "chart/engine/UloTool.h"
#include "chart/foundation/UloPicture.h"
#include "chart/foundation/UloStoredParts.h"
#include "platform/forms/Controls.h"
#include "platform/streaming/Persistent.h"

namespace forms {
class TFullScreenWindow;
}

class TDrawLineTool;

// A point in axis values.
struct TDrawLinePoint {
  double X = 0;
  double Y = 0;
  bool operator==(const TDrawLinePoint &) const = default;
};

// ---- drawn lines ---------------------------------------------------------------------

enum class TDrawLineStyle { dlLine, dlHorizParallel, dlVertParallel, dlRectangle, dlEllipse };

// One line of a TDrawLineTool, in axis values.
class TDrawLine : public streaming::TPersistent {
public:
  explicit TDrawLine(TDrawLineTool *tool = nullptr) : tool_(tool) {}
  TDrawLine(const TDrawLine &) = delete;
  TDrawLine &operator=(const TDrawLine &) = delete;
  // The tool forgets it as its selected line.
  ~TDrawLine() override;

  // Made on first read as a copy of the tool's pen; stored only when it
  // exists. Null frees it.
  TChartPen &Pen();
  TChartPen *ExistingPen() const noexcept { return pen_.get(); }
  void SetPen(const TChartPen *value);
  TDrawLineStyle Style() const noexcept { return style_; }
  void SetStyle(TDrawLineStyle value);
  double X0() const noexcept { return start_.X; }
  double Y0() const noexcept { return start_.Y; }
  double X1() const noexcept { return end_.X; }
  double Y1() const noexcept { return end_.Y; }
  void SetX0(double value) { SetCoordinate(start_.X, value); }
  void SetY0(double value) { SetCoordinate(start_.Y, value); }
  void SetX1(double value) { SetCoordinate(end_.X, value); }
  void SetY1(double value) { SetCoordinate(end_.Y, value); }
  TDrawLinePoint StartPos() const noexcept { return start_; }
  TDrawLinePoint EndPos() const noexcept { return end_; }
  void SetStartPos(TDrawLinePoint value);
  void SetEndPos(TDrawLinePoint value);

  TDrawLineTool *Tool() const noexcept { return tool_; }

  // The two selection squares, 3 pixels each way around both ends.
  void DrawHandles();

  // Both points, Style and the pen (or none when Source has none).
  void Assign(const TDrawLine &source);
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  friend class TDrawLines;
  friend class TDrawLineTool;
  void SetCoordinate(double &field, double value);
  void Changed();

  TDrawLineTool *tool_;
  std::unique_ptr<TChartPen> pen_;
  std::unique_ptr<TUloStoredPart> penPart_;
  TDrawLineStyle style_ = TDrawLineStyle::dlLine;
  TDrawLinePoint end_;
  TDrawLinePoint start_;
};

// The lines of a tool, owned, in order.
class TDrawLines : public streaming::TStoredCollection {
public:
  explicit TDrawLines(TDrawLineTool *tool) : tool_(tool) {}

  int Count() const noexcept { return static_cast<int>(items_.size()); }
  TDrawLine &Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
  TDrawLine &operator[](int index) const { return Items(index); }
  // A new line at the end.
  TDrawLine &Add();
  // Frees the line (a selected line stops being selected) and repaints.
  void Delete(int index);
  void Clear();
  int IndexOf(const TDrawLine *line) const noexcept;
  void Assign(const TDrawLines &source);

  size_t StoredCount() const override { return items_.size(); }
  streaming::TPersistent &StoredItem(size_t index) override { return *items_[index]; }
  void StoredClear() override { Clear(); }
  streaming::TPersistent &StoredAdd(const std::string &className, streaming::TReadContext &ctx) override;

private:
  TDrawLineTool *tool_;
  std::vector<std::unique_ptr<TDrawLine>> items_;
};

class TDrawLineTool : public TUloCustomToolSeries {
public:
  using TNotify = std::function<void(TDrawLineTool *sender)>;
  using TDrawLineSelecting = std::function<void(TDrawLineTool *sender, TDrawLine *line, bool &allowSelect)>;

  TDrawLineTool();
  ~TDrawLineTool() override;

  std::string_view ClassName() const override { return "TDrawLineTool"; }
  std::string GetEditor() const override { return "TDrawLineEdit"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;

  // ---- properties
  forms::TMouseButton Button() const noexcept { return button_; }
  void SetButton(forms::TMouseButton value) noexcept { button_ = value; }
  int ClickTolerance() const noexcept { return clickTolerance_; }
  void SetClickTolerance(int value) noexcept { clickTolerance_ = value; }
  bool EnableDraw() const noexcept { return enableDraw_; }
  void SetEnableDraw(bool value) noexcept { enableDraw_ = value; }
  bool EnableSelect() const noexcept { return enableSelect_; }
  void SetEnableSelect(bool value) noexcept { enableSelect_ = value; }
  TDrawLines &Lines() noexcept { return lines_; }
  const TDrawLines &Lines() const noexcept { return lines_; }
  void SetLines(const TDrawLines &value) { lines_.Assign(value); }
  bool SelectNewLines() const noexcept { return selectNewLines_; }
  void SetSelectNewLines(bool value) noexcept { selectNewLines_ = value; }
  // The style of new lines.
  TDrawLineStyle Style() const noexcept { return style_; }
  void SetStyle(TDrawLineStyle value) noexcept { style_ = value; }
  TDrawLine *Selected() const noexcept { return selected_; }
  // Selects a line of this tool (null for none) and repaints.
  void SetSelected(TDrawLine *value);

  // ---- events
  TNotify OnDraggedLine;
  TNotify OnDragLine;
  TNotify OnNewLine;
  TNotify OnSelect;
  TDrawLineSelecting OnSelecting;

  // ---- operations
  // Axis values to panel pixels through the tool's axes, and back.
  TPoint ValueToScreen(const TDrawLinePoint &value) const;
  TDrawLinePoint ScreenToValue(const TPoint &pixel) const;
  // The line under the pixel: the selected line first, then every line.
  TDrawLine *LineAtPoint(int x, int y) const;
  // Draws Style between two pixel points (at depth 0 in 3D).
  void DrawLineShape(const TPoint &from, const TPoint &to, TDrawLineStyle style);
  // The rubber line between the drag's two points, in exclusive-or, on
  // the screen between paints (drawing it again erases it).
  void DrawRubberLine();

  void ChartEvent(int stage) override;
  void ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;

  // Button, ClickTolerance, EnableDraw, EnableSelect, Lines, SelectNewLines, Style.
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  friend class TDrawLine;
  // The part of Line under (X, Y): 0 none, 1 start square, 2 end square,
  // 3 the line itself.
  int PartAt(const TDrawLine &line, int x, int y) const;
  void LineGoing(const TDrawLine *line) noexcept;
  TRect ClipRect() const;
  void MouseDown(forms::TMouseButton button, int x, int y);
  void MouseMove(int x, int y);
  void MouseUp(forms::TMouseButton button);

  forms::TMouseButton button_ = forms::TMouseButton::mbLeft;
  int clickTolerance_ = 0;
  bool enableDraw_ = true;
  bool enableSelect_ = true;
  TDrawLines lines_{this};
  bool selectNewLines_ = true;
  TDrawLineStyle style_ = TDrawLineStyle::dlLine;
  bool drawing_ = false;
  bool dragged_ = false;
  TPoint lastPoint_{};
  TDrawLine *selected_ = nullptr;
  // 0 none, 1 start point, 2 end point, 3 whole line.
  int dragPart_ = 0;
  TPoint fromPoint_{};
  TPoint toPoint_{};
  // Whether the rubber line is on the screen now.
  bool rubberShown_ = false;
  // A selection dropped by a press that started a new line: the handles
  // go with the repaint of the release.
  bool repaintOnRelease_ = false;
  TUloStoredParts storedParts_;
};

// ---- dragging marks ---------------------------------------------------------------------

class TDragMarksTool : public TUloCustomToolSeries {
public:
  using TDragMarkEvent = std::function<void(TDragMarksTool *sender, int index, forms::TMouseButton button,
                                            forms::TShiftState shift, int x, int y)>;

  std::string_view ClassName() const override { return "TDragMarksTool"; }
  std::string GetEditor() const override { return "TDragMarksToolEditor"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;

  TDragMarkEvent OnDraggedMark;
  TDragMarkEvent OnDraggingMark;

  // The mark being dragged (-1 for none) and its series.
  int DraggedIndex() const noexcept { return index_; }
  TChartSeries *DraggedSeries() const noexcept { return draggedSeries_; }

  void ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;

private:
  TPoint lastPoint_{};
  int index_ = -1;
  TChartSeries *draggedSeries_ = nullptr;
};

// ---- mark tips ------------------------------------------------------------------------------

enum class TMarkToolMouseAction { mtmMove, mtmClick };

// What a canvas that shows its own point tips offers.
class IUloPointTips {
public:
  virtual void AddPointTip(const std::string &key, const std::string &text) = 0;

protected:
  ~IUloPointTips() = default;
};

class TMarksTipTool : public TUloCustomToolSeries {
public:
  using TNotify = std::function<void(TMarksTipTool *sender)>;
  using TMarksTipGetText = std::function<void(TMarksTipTool *sender, std::string &text)>;

  std::string_view ClassName() const override { return "TMarksTipTool"; }
  std::string GetEditor() const override { return "TMarksTipToolEdit"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;

  TMarkToolMouseAction MouseAction() const noexcept { return mouseAction_; }
  // Hides the tip.
  void SetMouseAction(TMarkToolMouseAction value);
  TSeriesMarksStyle Style() const noexcept { return style_; }
  void SetStyle(TSeriesMarksStyle value) noexcept { style_ = value; }
  // The application's hint pause and hide pause, in milliseconds.
  int MouseDelay() const;
  void SetMouseDelay(int value);
  int HideDelay() const;
  void SetHideDelay(int value);

  TNotify OnCancelHint;
  TMarksTipGetText OnGetText;

  // Deactivating hides the tip.
  void SetActive(bool value) override;
  void ChartEvent(int stage) override;
  void ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;

  // MouseAction and Style.
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  void ShowTipAt(int x, int y);
  void HideTip();
  std::string TipText(TChartSeries &series, int index);

  TMarkToolMouseAction mouseAction_ = TMarkToolMouseAction::mtmMove;
  TSeriesMarksStyle style_ = TSeriesMarksStyle::smsLabel;
};

// ---- image --------------------------------------------------------------------------------

class TChartImageTool : public TUloCustomToolSeries {
public:
  TChartImageTool();

  std::string_view ClassName() const override { return "TChartImageTool"; }
  std::string GetEditor() const override { return "TChartImageToolEditor"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;

  TUloPicture &Picture() noexcept { return picture_; }
  void SetPicture(const TUloPicture &value) { picture_.Assign(value); }

  void ChartEvent(int stage) override;
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  TUloPicture picture_;
  TUloStoredParts storedParts_;
};

// ---- series animation --------------------------------------------------------------------

enum class TSeriesAnimationLoop { salNo, salOneWay, salCircular };

class TSeriesAnimationTool : public TUloCustomToolSeries {
public:
  using TNotify = std::function<void(TSeriesAnimationTool *sender)>;
  using TSeriesAnimationStep = std::function<void(TSeriesAnimationTool *sender, int step)>;

  TSeriesAnimationTool();
  // A run still going ends first.
  ~TSeriesAnimationTool() override;

  std::string_view ClassName() const override { return "TSeriesAnimationTool"; }
  std::string GetEditor() const override { return "TSeriesAnimToolEditor"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;

  // Milliseconds to wait after each step's repaint.
  int Delay() const noexcept { return delay_; }
  void SetDelay(int value) noexcept { delay_ = value; }
  // Points per group, animated one group after another; 0: all at once.
  int DrawEvery() const noexcept { return drawEvery_; }
  void SetDrawEvery(int value) noexcept { drawEvery_ = value; }
  TSeriesAnimationLoop Loop() const noexcept { return loop_; }
  void SetLoop(TSeriesAnimationLoop value) noexcept { loop_ = value; }
  double StartValue() const noexcept { return startValue_; }
  void SetStartValue(double value) noexcept { startValue_ = value; }
  // Steps below 1 run as one step.
  int Steps() const noexcept { return steps_; }
  void SetSteps(int value) noexcept { steps_ = value; }
  bool StartAtMin() const noexcept { return startAtMin_; }
  void SetStartAtMin(bool value) noexcept { startAtMin_ = value; }
  // True when no run is going.
  bool Stopped() const noexcept { return stopped_; }

  TNotify OnStart;
  TNotify OnStop;
  TSeriesAnimationStep OnStep;

  // The clock (milliseconds) and the message pump of the waits; tests
  // replace them.
  std::function<uint64_t()> TickCount;
  std::function<void()> ProcessMessages;

  // Runs the animation of Series (nothing without one or while running).
  virtual void RunAnimation();
  void StopAnimation();

  void SetSeries(TChartSeries *value) override;
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  struct TRun;
  // One pass; false when the run ended during it.
  bool Pass(TRun &run, bool backward);
  // Repaints and waits; false when the run ended meanwhile.
  bool RepaintAndWait(TRun &run);
  // The run's series gets its saved values back.
  void Restore(TRun &run);

  int delay_ = 0;
  int drawEvery_ = 0;
  TSeriesAnimationLoop loop_ = TSeriesAnimationLoop::salNo;
  double startValue_ = 0;
  int steps_ = 100;
  bool startAtMin_ = true;
  bool stopped_ = true;
  // The run going on, for the destructor and a series that goes.
  TRun *run_ = nullptr;
};

// ---- clipping -------------------------------------------------------------------------------

class TClipSeriesTool : public TUloCustomToolSeries {
public:
  std::string_view ClassName() const override { return "TClipSeriesTool"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;

  void SeriesDrawEvent(int stage) override;

private:
  bool clipped_ = false;
};

// ---- full screen ----------------------------------------------------------------------------

class TFullScreenTool : public TUloCustomTool {
public:
  TFullScreenTool();
  // Leaves full screen first.
  ~TFullScreenTool() override;

  std::string_view ClassName() const override { return "TFullScreenTool"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;

  // The virtual-key code that leaves full screen; 27, Escape.
  uint16_t ReleaseKey() const noexcept { return releaseKey_; }
  void SetReleaseKey(uint16_t value) noexcept { releaseKey_ = value; }
  // Enters or leaves full screen.
  void SetActive(bool value) override;

  // The window the chart is shown in while active; null otherwise.
  forms::TFullScreenWindow *Window() const noexcept { return window_; }

  // A tool read active enters full screen once its definition is read.
  void Loaded() override;
  // Leaves full screen when the chart changes.
  void SetParentChart(TCustomAxisPanel *value) override;
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  void Enter();
  void Leave(bool freeWindow);

  struct TBounds {
    int Left = 0, Top = 0, Width = 0, Height = 0;
  };
  uint16_t releaseKey_ = 27;
  forms::TAlign savedAlign_ = forms::TAlign::alNone;
  TBounds savedBounds_;
  forms::TFullScreenWindow *window_ = nullptr;
  bool destroying_ = false;
};

// Registers the seventeen chart tools (these and those of the other tool
// units) in the tool registry, in their gallery order, and removes them.
// Runs before the other tool units start, which then find theirs there.
void StartUloToolsUnit();
void StopUloToolsUnit();
