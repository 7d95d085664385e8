// The axis panel: the chart panel that owns the axes, the series list with
// its groups, the tool list and the paging settings, and that paints a
// chart in a fixed order (background, titles and legend, walls, axes,
// series in depth order, tools). The chart control completes it with
// titles, legend and walls through the abstract operations below.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "chart/engine/UloEngineTypes.h"
#include "chart/engine/UloSeries.h"
#include "chart/foundation/UloPanel.h"

class TUloCustomTool;
class TChartTools;

// When on, a series without data, source or function is filled with
// sample values when the panel refreshes it. Off unless a program sets it.
extern bool UloFillSampleData;

// ---- events the panel broadcasts to its listeners (besides TUloSeriesEvent)

// The current page or the page size changed.
class TChartChangePage : public TUloEvent {};

// ---- paging -------------------------------------------------------------------

class TChartPage : public streaming::TPersistent {
public:
  explicit TChartPage(TCustomAxisPanel *panel) : panel_(panel) {}

  bool AutoScale() const noexcept { return autoScale_; }
  void SetAutoScale(bool value);
  // 1-based; the setter clamps to 1..PageCount.
  int Current() const noexcept { return current_; }
  void SetCurrent(int value);
  // 0: no paging. Negative values raise ChartException.
  int MaxPointsPerPage() const noexcept { return maxPointsPerPage_; }
  void SetMaxPointsPerPage(int value);
  bool ScaleLastPage() const noexcept { return scaleLastPage_; }
  void SetScaleLastPage(bool value);

  int PageCount() const;
  int PageFirstIndex() const noexcept { return (current_ - 1) * maxPointsPerPage_; }
  TCustomAxisPanel *Panel() const noexcept { return panel_; }

  void Next() { SetCurrent(current_ + 1); }
  void Previous() { SetCurrent(current_ - 1); }

  void Assign(const TChartPage &source);
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  friend class TCustomAxisPanel;
  void Changed();
  void Broadcast();
  // A page read from a definition before the series exist keeps its value
  // until the panel is loaded.
  void ClampCurrent();

  TCustomAxisPanel *panel_;
  bool autoScale_ = false;
  int current_ = 1;
  int maxPointsPerPage_ = 0;
  bool scaleLastPage_ = true;
};

// ---- series list and groups -----------------------------------------------

enum class TSeriesGroupActive { gaYes, gaNo, gaSome };

// An ordered, non-owning list of series.
class TCustomSeriesList {
public:
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  TChartSeries *Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  TChartSeries *operator[](int index) const { return Items(index); }
  int IndexOf(const TChartSeries *series) const noexcept;
  void Add(TChartSeries *series);
  void Remove(TChartSeries *series);
  void Clear() noexcept { items_.clear(); }
  auto begin() const noexcept { return items_.begin(); }
  auto end() const noexcept { return items_.end(); }

protected:
  std::vector<TChartSeries *> items_;
};

class TSeriesGroups;

class TSeriesGroup : public streaming::TPersistent {
public:
  explicit TSeriesGroup(TSeriesGroups *groups);

  const std::string &Name() const noexcept { return name_; }
  void SetName(const std::string &value) { name_ = value; }
  TCustomSeriesList &Series() noexcept { return series_; }
  const TCustomSeriesList &Series() const noexcept { return series_; }
  // gaYes when empty or every series is active, gaNo when none is.
  TSeriesGroupActive Active() const;
  // gaYes activates and gaNo deactivates every series; gaSome does nothing.
  void SetActive(TSeriesGroupActive value);

  void Assign(const TSeriesGroup &source);
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  std::string name_;
  TCustomSeriesList series_;
};

class TSeriesGroups : public streaming::TStoredCollection {
public:
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  TSeriesGroup *Items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
  TSeriesGroup *operator[](int index) const { return Items(index); }
  // A new group named "Group" and the new count.
  TSeriesGroup &Add();
  void Delete(int index);
  void Clear() noexcept { items_.clear(); }
  // Takes Series out of every group.
  void RemoveSeries(const TChartSeries *series);

  size_t StoredCount() const override { return items_.size(); }
  streaming::TPersistent &StoredItem(size_t index) override { return *items_.at(index); }
  void StoredClear() override { Clear(); }
  streaming::TPersistent &StoredAdd(const std::string &className, streaming::TReadContext &ctx) override;

private:
  std::vector<std::unique_ptr<TSeriesGroup>> items_;
};

// The series of one panel in drawing order, with the groups.
class TChartSeriesList : public TCustomSeriesList {
public:
  explicit TChartSeriesList(TCustomAxisPanel *owner) : owner_(owner) {}
  TCustomAxisPanel *Owner() const noexcept { return owner_; }
  TSeriesGroups &Groups() noexcept { return groups_; }

private:
  TCustomAxisPanel *owner_;
  TSeriesGroups groups_;
};

// ---- axes ---------------------------------------------------------------------

// Every axis of a panel: bottom, top, left, right, depth, depth-top, then
// the custom axes in creation order. The list owns them.
class TChartAxes {
public:
  TChartAxes();
  ~TChartAxes();
  TChartAxes(const TChartAxes &) = delete;
  TChartAxes &operator=(const TChartAxes &) = delete;

  int Count() const noexcept { return static_cast<int>(items_.size()); }
  TChartAxis *Items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
  TChartAxis *operator[](int index) const { return Items(index); }
  // -1 when the axis is not in the list.
  int IndexOf(const TChartAxis *axis) const noexcept;

  TChartAxis *BottomAxis() const { return Items(0); }
  TChartAxis *TopAxis() const { return Items(1); }
  TChartAxis *LeftAxis() const { return Items(2); }
  TChartAxis *RightAxis() const { return Items(3); }
  TChartDepthAxis *DepthAxis() const;
  TChartDepthAxis *DepthTopAxis() const;

  // Appends the axis and returns it.
  TChartAxis *Add(std::unique_ptr<TChartAxis> axis);
  // Frees the axis at Index.
  void Delete(int index);
  // Frees every axis.
  void Clear();

private:
  std::vector<std::unique_ptr<TChartAxis>> items_;
};

// The custom axes: the panel's axes after the six standard ones, stored as
// one collection.
class TChartCustomAxes : public streaming::TStoredCollection {
public:
  explicit TChartCustomAxes(TCustomAxisPanel *panel) : panel_(panel) {}

  int Count() const;
  TChartAxis *Items(int index) const;
  TChartAxis *operator[](int index) const { return Items(index); }
  // A new custom axis at the end of the panel's axes.
  TChartAxis *Add();
  // Series that use the axis as their custom axis forget it first.
  void Delete(int index);
  void Clear();
  // Copies the axes of Source, adding or deleting axes to match its count.
  void Assign(const TChartCustomAxes &source);

  size_t StoredCount() const override { return static_cast<size_t>(Count()); }
  streaming::TPersistent &StoredItem(size_t index) override;
  void StoredClear() override { Clear(); }
  streaming::TPersistent &StoredAdd(const std::string &className, streaming::TReadContext &ctx) override;

private:
  TCustomAxisPanel *panel_;
};

// ---- the panel -------------------------------------------------------------------

// Event signatures.
using TChartSeriesEvent = std::function<void(TChartSeries *series)>;
using TAxisPanelNotifyEvent = std::function<void(TCustomAxisPanel *sender)>;
using TAxisOnGetLabel =
    std::function<void(TChartAxis *sender, TChartSeries *series, int valueIndex, std::string &labelText)>;
using TAxisOnGetNextLabel = std::function<void(TChartAxis *sender, int labelIndex, double &labelValue, bool &stop)>;
using TPageChangeEvent = std::function<void(TChartPage &pages)>;

// The tools' drawing stages, in the numbering tools receive; the order of a
// paint is 2, 3, 1, 4, 0 (2, 1, 4, 3, 0 with the axes in front).
inline constexpr int UloToolStageAfterDraw = 0;
inline constexpr int UloToolStageBeforeSeries = 1;
inline constexpr int UloToolStageBeforeDraw = 2;
inline constexpr int UloToolStageBeforeAxes = 3;
inline constexpr int UloToolStageAfterSeries = 4;
// Not a drawing stage: the mouse left the panel.
inline constexpr int UloToolStageMouseLeave = 5;

// The tools' mouse kinds (the panel listeners number up and move the other
// way round).
inline constexpr int UloToolMouseDown = 0;
inline constexpr int UloToolMouseMove = 1;
inline constexpr int UloToolMouseUp = 2;

class TCustomAxisPanel : public TCustomUloPanelExtended {
public:
  explicit TCustomAxisPanel(forms::TWinControl *parent = nullptr);
  ~TCustomAxisPanel() override;

  // ---- settings
  // 1..100; other values raise rtl::Exception and keep the old value.
  int Chart3DPercent() const noexcept { return chart3DPercent_; }
  void SetChart3DPercent(int value);
  bool AxisBehind() const noexcept { return axisBehind_; }
  void SetAxisBehind(bool value) { SetAndInvalidate(axisBehind_, value); }
  bool AxisVisible() const noexcept { return axisVisible_; }
  void SetAxisVisible(bool value) { SetAndInvalidate(axisVisible_, value); }
  bool ClipPoints() const noexcept { return clipPoints_; }
  void SetClipPoints(bool value) { SetAndInvalidate(clipPoints_, value); }
  bool View3DWalls() const noexcept { return view3DWalls_; }
  void SetView3DWalls(bool value) { SetAndInvalidate(view3DWalls_, value); }
  bool SeriesEventsOff() const noexcept { return seriesEventsOff_; }
  void SetSeriesEventsOff(bool value) noexcept { seriesEventsOff_ = value; }

  // ---- axes (never null)
  TChartAxes &Axes() noexcept { return axes_; }
  const TChartAxes &Axes() const noexcept { return axes_; }
  TChartCustomAxes &CustomAxes() noexcept { return customAxes_; }
  TChartAxis *BottomAxis() const { return axes_.BottomAxis(); }
  TChartAxis *TopAxis() const { return axes_.TopAxis(); }
  TChartAxis *LeftAxis() const { return axes_.LeftAxis(); }
  TChartAxis *RightAxis() const { return axes_.RightAxis(); }
  TChartDepthAxis *DepthAxis() const { return axes_.DepthAxis(); }
  TChartDepthAxis *DepthTopAxis() const { return axes_.DepthTopAxis(); }
  // The setters copy the settings of Value into the panel's own axis.
  void SetBottomAxis(const TChartAxis &value);
  void SetTopAxis(const TChartAxis &value);
  void SetLeftAxis(const TChartAxis &value);
  void SetRightAxis(const TChartAxis &value);
  void SetDepthAxis(const TChartAxis &value);
  void SetDepthTopAxis(const TChartAxis &value);

  // ---- series
  TChartSeriesList &SeriesList() noexcept { return seriesList_; }
  const TChartSeriesList &SeriesList() const noexcept { return seriesList_; }
  int SeriesCount() const noexcept { return seriesList_.Count(); }
  TChartSeries *GetSeries(int index) const { return seriesList_.Items(index); }
  TChartSeries *operator[](int index) const { return GetSeries(index); }
  // Joins the series (its owner keeps it); nothing when it is in the list.
  void AddSeries(TChartSeries *series);
  // Joins the series and keeps it: the panel frees it.
  template <class T> T *AddSeries(std::unique_ptr<T> series) {
    T *p = series.get();
    AdoptSeries(std::unique_ptr<TChartSeries>(std::move(series)));
    return p;
  }
  void RemoveSeries(TChartSeries *series);
  void RemoveSeriesAt(int index);
  // Detaches every series (only those for which Match says true when it is
  // given) and frees those the panel keeps.
  void FreeSeries(const std::function<bool(const TChartSeries &)> &match = {});
  template <class C> void FreeSeriesOfClass() {
    FreeSeries([](const TChartSeries &s) { return dynamic_cast<const C *>(&s) != nullptr; });
  }
  // Hands a kept series (or tool) back to the caller; null when the panel
  // does not keep it.
  std::unique_ptr<TCustomChartElement> ReleaseElement(TCustomChartElement *element);
  int CountActiveSeries() const;
  // Some active series on the axis has a point.
  bool AxisHasPoints(const TChartAxis *axis) const;
  // The first active series on the axis, else the first series on it at all.
  TChartSeries *FirstSeriesOnAxis(const TChartAxis *axis) const;
  // Over the active series in order: false at the first that is not
  // axis-based, true at the first on the axis; Default when neither.
  bool AxisInUse(const TChartAxis *axis, bool defaultValue) const;
  // The axis reserves space and draws in this paint.
  bool AxisShown(const TChartAxis *axis) const;
  // The n-th series shown in the legend (active ones only when OnlyActive).
  TChartSeries *LegendSeries(int n, bool onlyActive) const;
  std::string LegendSeriesTitle(int n, bool onlyActive) const;
  int MaxLabelWidth();
  int MaxMarkWidth();
  // The widest line of Text (lines end at character 13) in the canvas font
  // and the number of lines; a final empty line does not count.
  int MultiLineTextWidth(std::string_view text, int &lines);
  int MultiLineTextWidth(std::string_view text) {
    int lines = 0;
    return MultiLineTextWidth(text, lines);
  }
  // A TUloSeriesEvent to every listener, unless SeriesEventsOff.
  void BroadcastSeriesEvent(TCustomChartElement *series, TUloSeriesEventStyle kind);
  // True when some active series has a point under the mouse.
  bool CheckMouseOverSeries(int x, int y);
  // Raises ChartException when Source feeds Series, directly or through
  // its own sources.
  void CheckCircularSource(TChartSeries *series, TChartSeries *source);
  bool AcceptsDataSource(TChartSeries *series, streaming::TStoredComponent *component);

  // ---- tools
  TChartTools &Tools() noexcept { return *tools_; }
  const TChartTools &Tools() const noexcept { return *tools_; }
  // Sends Stage to every active tool in list order.
  void BroadcastToolEvent(int stage);
  // Sends a mouse event to every active tool in list order and stops after
  // the first that sets CancelMouse; returns whether one did. Kind is the
  // tools' numbering (UloToolMouseDown, UloToolMouseMove, UloToolMouseUp).
  bool BroadcastToolMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y);
  void BroadcastToolWheelEvent(int kind, int x, int y);
  // Stage 1 (before its values) or 4 (after its values and marks) to the
  // active series tools that follow Series; the pipeline sends them.
  void BroadcastSeriesToolEvent(TChartSeries &series, int stage);

  // ---- pages and groups
  TChartPage &Pages() noexcept { return pages_; }
  const TChartPage &Pages() const noexcept { return pages_; }
  void SetPages(const TChartPage &value) { pages_.Assign(value); }
  TSeriesGroups &SeriesGroups() noexcept { return seriesList_.Groups(); }

  // ---- palette
  // Empty: the default palette.
  const std::vector<TColor> &ColorPalette() const noexcept { return colorPalette_; }
  void SetColorPalette(std::span<const TColor> colors) { colorPalette_.assign(colors.begin(), colors.end()); }
  TColor PaletteColor(int index) const;
  TColor FreePaletteColor(bool checkBackground, TChartSeries *series);
  // Every series with an automatic colour takes a free palette colour.
  void AssignAutomaticColors();
  // The back colour PanelRectangle compares the brush with (the legend's
  // colour while the legend draws its symbols).
  TColor RectangleBackColor = clWhite;
  TColor BackColorOfRectangles() const noexcept { return RectangleBackColor; }
  // The pen of legend symbols when the chart's legend has one of its own.
  virtual TChartPen *LegendSymbolPen() { return nullptr; }
  // The panel's own cursor, which it shows when no series asks for one.
  int OriginalCursor() const noexcept { return SavedCursor; }
  bool IsDestroying() const noexcept { return Destroying(); }

  // ---- the state of the last paint (series read it between paints)
  // The largest z-order taken in this paint; series raise it in TakeZOrder.
  int MaxZOrder = 0;
  int SeriesDepth() const noexcept { return seriesDepth_; }
  int SeriesHeight() const noexcept { return seriesHeight_; }
  bool ReversedDepth() const noexcept { return reversedDepth_; }
  // The depth of one z-order slot and the total depth: SeriesDepth,
  // SeriesHeight, HorizDepth and VertDepth (all 0 in 2D). The chart's
  // CalcWallsRect calls it.
  void CalcSize3DWalls();

  // ---- abstract and virtual operations
  virtual void CalcWallsRect() = 0;
  virtual int GetAxisWallSize(TChartAxis *axis) = 0;
  virtual void DoAfterDraw();
  virtual void DoBeforeDrawAxes();
  virtual void DoBeforeDrawChart();
  virtual void DoBeforeDrawSeries();
  virtual void DrawTitlesAndLegend(bool beforeSeries) = 0;
  // True when the chart rectangle at depth Z is seen from behind.
  virtual bool ChartRectFlipped(int z);
  // A rectangle in the canvas's pen and brush; see RectangleBackColor.
  virtual void PanelRectangle(const TRect &rect);
  virtual void DrawWalls() = 0;
  // A legend symbol: the plain colour box.
  virtual void DrawLegendSymbol(const TRect &rect) { PanelRectangle(rect); }
  virtual void RefreshSeriesData(TChartSeries *series);
  virtual std::string FormattedValueLegend(TChartSeries *series, int valueIndex);
  virtual bool IsFreeSeriesColor(TColor color, bool checkBackground, TChartSeries *series) = 0;

  void Assign(const TCustomUloPanel &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  void Loaded() override;
  void InsertStoredChild(std::unique_ptr<streaming::TStoredComponent> child) override;
  std::vector<streaming::TStoredComponent *> StoredChildren() override;
  std::string_view ClassName() const override { return "TCustomAxisPanel"; }

  // The series' extreme value on the axis, for its automatic range.
  double AxisSeriesMinMax(const TChartAxis *axis, bool isMin);
  // Draws the axes, when AxisVisible, between the "axes" entity hooks.
  void DrawAxes();

  // ---- events
  TChartSeriesEvent OnAddSeries;
  TAxisPanelNotifyEvent OnBeforeDrawChart;
  TAxisPanelNotifyEvent OnBeforeDrawAxes;
  TAxisPanelNotifyEvent OnBeforeDrawSeries;
  TAxisOnGetLabel OnGetAxisLabel;
  TAxisOnGetNextLabel OnGetNextAxisLabel;
  TPageChangeEvent OnPageChange;
  TChartSeriesEvent OnRemoveSeries;

protected:
  void InternalDraw(const TRect &bounds) override;
  void HostMouseLeave() override;

  // ---- pipeline steps (descendants may call them)
  void CalcZOrders();
  void CalcAxisLayout();
  void DrawAllSeries();
  void DrawOneSeries(TChartSeries &series);
  void DrawSeriesSharingZOrder(TChartSeries &first);
  // B draws interleaved with A: active, able to share, on A's depth slot.
  static bool SharesWith(const TChartSeries &a, const TChartSeries &b);
  // No series before this one draws interleaved with it.
  bool IsFirstSharing(const TChartSeries &series) const;
  void ClipSeriesCube();
  void UnclipSeriesCube();
  void DrawSeriesMarks(TChartSeries &series);

private:
  friend class TChartTools;
  friend class TChartCustomAxes;
  friend class TChartPage;
  void AdoptSeries(std::unique_ptr<TChartSeries> series);
  void AdoptTool(std::unique_ptr<TUloCustomTool> tool);
  void ApplySeriesMargins(TChartAxis &axis);
  void ForgetCustomAxis(TChartAxis *axis);
  TChartAxis *MakeStandardAxis(bool depth, bool horizontal, bool otherSide);
  int AxisPageCount(const TChartAxis *axis) const;

  int chart3DPercent_ = 15;
  bool axisBehind_ = true;
  bool axisVisible_ = true;
  bool clipPoints_ = true;
  TChartAxes axes_;
  TChartCustomAxes customAxes_{this};
  TChartSeriesList seriesList_{this};
  bool view3DWalls_ = true;
  TChartPage pages_{this};
  int seriesDepth_ = 0;
  int seriesHeight_ = 0;
  std::unique_ptr<TChartTools> tools_;
  bool reversedDepth_ = false;
  bool seriesEventsOff_ = false;
  std::vector<TColor> colorPalette_;
  bool clipped_ = false;
  // Series and tools the panel frees.
  std::vector<std::unique_ptr<TCustomChartElement>> kept_;
  // A page read from a definition, applied once the series are loaded.
  int loadedPage_ = 0;
};
