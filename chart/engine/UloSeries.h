// The base of chart elements (series and tools) and of every series: the
// points in value lists with their colours and labels, the axes a series
// is plotted against, its colour, depth and z-order, its events, the data
// sources it follows and the series that follow it, the attached
// function, and what the base does when asked to draw: the point loop,
// the marks with their texts and boxes, legend rows and symbols.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chart/engine/UloEngineTypes.h"
#include "chart/engine/UloFunction.h"
#include "chart/engine/UloMarks.h"
#include "chart/engine/UloPointer.h"
#include "chart/engine/UloValueList.h"
#include "chart/foundation/UloPanel.h"
#include "chart/foundation/UloPens.h"
#include "platform/streaming/Persistent.h"

class TUloSeriesSource;

enum class THorizAxis { aTopAxis, aBottomAxis, aBothHorizAxis, aCustomHorizAxis };
enum class TVertAxis { aLeftAxis, aRightAxis, aBothVertAxis, aCustomVertAxis };

enum class TLegendTextStyle {
  ltsPlain,
  ltsLeftValue,
  ltsRightValue,
  ltsLeftPercent,
  ltsRightPercent,
  ltsXValue,
  ltsValue,
  ltsPercent,
  ltsXAndValue,
  ltsXAndPercent
};

// What the panel tells its listeners about a series (there is no 4).
enum class TUloSeriesEventStyle {
  seAdd = 0,
  seRemove = 1,
  seChangeTitle = 2,
  seChangeColor = 3,
  seChangeActive = 5,
  seDataChanged = 6
};

class TUloSeriesEvent : public TUloEvent {
public:
  TUloSeriesEventStyle Event = TUloSeriesEventStyle::seAdd;
  TCustomChartElement *Series = nullptr;
};

// Which changes of a data source a dependent follows.
inline constexpr uint8_t UloPropagateDelete = 1;
inline constexpr uint8_t UloPropagateReorder = 2;
inline constexpr uint8_t UloPropagateAdd = 4;
inline constexpr uint8_t UloPropagateClear = 8;
inline constexpr uint8_t UloPropagateAll = 15;

// The kinds PropagateToDependents sends.
inline constexpr int UloChangeCleared = 0;
inline constexpr int UloChangeAdded = 1;
inline constexpr int UloChangeDeleted = 2;
inline constexpr int UloChangeRefreshed = 3;
inline constexpr int UloChangeReordered = 4;

// Shows Text in the application's error box (stop icon, no caption).
void ShowChartError(const std::string &text);

// A series' sources: other series or source components; not owned.
using TDataSourcesList = std::vector<streaming::TStoredComponent *>;

// ---- element ------------------------------------------------------------------

class TCustomChartElement : public streaming::TStoredComponent {
public:
  TCustomChartElement();
  TCustomChartElement(const TCustomChartElement &) = delete;
  TCustomChartElement &operator=(const TCustomChartElement &) = delete;
  ~TCustomChartElement() override;

  virtual void Assign(const TCustomChartElement &source);

  bool Active() const noexcept { return active_; }
  virtual void SetActive(bool value);
  TChartBrush &Brush() noexcept { return *brush_; }
  void SetBrush(const TBrush &value) { brush_->Assign(value); }
  TCustomAxisPanel *ParentChart() const noexcept { return parentChart_; }
  virtual void SetParentChart(TCustomAxisPanel *value);
  TChartPen &Pen() noexcept { return *pen_; }
  virtual void SetPen(const TChartPen &value) { pen_->Assign(value); }
  bool ShowInEditor() const noexcept { return showInEditor_; }
  void SetShowInEditor(bool value) { showInEditor_ = value; }

  // Invalidates the parent chart, when there is one.
  virtual void Repaint();
  // The editor's name; none here.
  virtual std::string GetEditor() const { return {}; }

  void DefineProperties(streaming::TPropertyTable &table) override;

protected:
  virtual std::unique_ptr<TChartPen> CreateChartPen();
  // For constructors of kinds with another pen class.
  void ReplacePen(std::unique_ptr<TChartPen> pen);
  // Store, and repaint on a change.
  template <class T, class U> void SetAndRepaint(T &field, U &&value) {
    if (UloStoreIfChanged(field, std::forward<U>(value))) Repaint();
  }
  void SetParentChartField(TCustomAxisPanel *value) noexcept { parentChart_ = value; }
  // Set while the destructor runs, so that nothing reacts to the parts going.
  bool Destroying() const noexcept { return destroying_; }
  void MarkDestroying() noexcept { destroying_ = true; }

private:
  bool active_ = true;
  std::unique_ptr<TChartBrush> brush_;
  TCustomAxisPanel *parentChart_ = nullptr;
  std::unique_ptr<TChartPen> pen_;
  bool showInEditor_ = true;
  bool destroying_ = false;
};

// ---- series with legend and title -------------------------------------------

class TCustomChartSeries : public TCustomChartElement {
public:
  TCustomChartSeries();

  void Assign(const TCustomChartElement &source) override;

  bool ShowInLegend() const noexcept { return showInLegend_; }
  void SetShowInLegend(bool value) { SetAndRepaint(showInLegend_, value); }
  const std::string &Title() const noexcept { return title_; }
  // Broadcasts series event 2.
  void SetTitle(const std::string &value);
  const std::string &Identifier() const noexcept { return identifier_; }
  void SetIdentifier(const std::string &value) { identifier_ = value; }
  // Six flags in bits 1, 2, 4, 8, 16 and 32; stored and copied only.
  uint8_t Style() const noexcept { return style_; }
  void SetStyle(uint8_t value) { style_ = static_cast<uint8_t>(value & 63); }

  // Extra pixels the series needs on both sides of each axis.
  virtual void HorizMargins(int &left, int &right) {
    left = 0;
    right = 0;
  }
  virtual void VertMargins(int &top, int &bottom) {
    top = 0;
    bottom = 0;
  }
  // Called by the panel before a paint.
  virtual void PrepareForDraw() {}

  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  bool showInLegend_ = true;
  std::string title_;
  std::string identifier_;
  uint8_t style_ = 0;
};

// ---- series -----------------------------------------------------------------------

using TSeriesNotifyEvent = std::function<void(TChartSeries *sender)>;
using TSeriesOnBeforeAdd = std::function<bool(TChartSeries *sender)>;
using TSeriesOnAfterAdd = std::function<void(TChartSeries *sender, int valueIndex)>;
using TSeriesOnGetMarkText = std::function<void(TChartSeries *sender, int valueIndex, std::string &markText)>;
using TSeriesClick = std::function<void(TChartSeries *sender, int valueIndex, forms::TMouseButton button,
                                        forms::TShiftState shift, int x, int y)>;
// Receives the gallery's sub-style names, in order.
using TUloSubStyleCallback = std::function<void(const std::string &name)>;

class TChartSeries : public TCustomChartSeries {
public:
  TChartSeries();
  ~TChartSeries() override;

  std::string_view ClassName() const override { return "TChartSeries"; }

  // ---- points
  virtual int AddPointXY(double x, double y, const std::string &label = {}, TColor color = clDefault);
  virtual int AddPoint(double value, const std::string &label = {}, TColor color = clDefault);
  virtual int AddNullPoint(const std::string &label = {});
  virtual int AddNullPointXY(double x, double y, const std::string &label = {});
  bool IsNullPoint(int index) { return PointColor(index) == clNone; }
  virtual int PointCount() const;
  virtual double XValueAt(int index) const;
  virtual double YValueAt(int index) const;
  virtual double MandatoryValueAt(int index) const;
  virtual double MarkValue(int index) const { return MandatoryValueAt(index); }
  // Out of range raises ChartException.
  virtual void DeletePoint(int index);
  // A Start below 0 raises ChartException; Quantity is held to the points
  // left from Start. With RemoveGap the not-mandatory list is renumbered.
  virtual void DeletePoints(int start, int quantity, bool removeGap = false);
  virtual void ClearPoints();
  // Empties every list, the colours, labels, mark positions and items,
  // firing nothing.
  virtual void ClearPointLists();
  void SwapValueIndex(int a, int b);
  void ReorderPoints();
  virtual double MaxX();
  virtual double MinX();
  virtual double MaxY();
  virtual double MinY();
  virtual double MaxZ();
  virtual double MinZ();

  // ---- value lists
  TChartValueList *XValues() const noexcept { return xValues_; }
  TChartValueList *YValues() const noexcept { return yValues_; }
  TChartValueLists &ValuesList() noexcept { return *valuesList_; }
  const TChartValueLists &ValuesList() const noexcept { return *valuesList_; }
  TChartValueLists &ValueLists() noexcept { return *valuesList_; }
  const TChartValueLists &ValueLists() const noexcept { return *valuesList_; }
  // The list among the third and later whose name matches, ignoring case;
  // else the mandatory list.
  virtual TChartValueList *FindValueList(std::string_view name);
  virtual TChartValueList *ValueListOfAxis(TChartAxis *axis);
  virtual bool IsOnAxis(TChartAxis *axis);
  virtual bool IsAxisBased() const { return true; }
  TChartValueList *MandatoryValueList() const noexcept { return mandatory_; }
  TChartValueList *NotMandatoryValueList() const noexcept { return notMandatory_; }
  bool YMandatory() const noexcept { return yMandatory_; }
  TLabelsList &Labels() noexcept { return *labels_; }
  // The label of Index, or the empty text.
  const std::string &Label(int index) const;
  void SetLabel(int index, const std::string &text);

  // ---- colours
  virtual TColor PointColor(int index);
  TColor SeriesColor() const noexcept { return color_ == clDefault ? autoColor_ : color_; }
  virtual void SetSeriesColor(TColor value);
  // The explicit colour (clDefault when automatic).
  TColor ExplicitSeriesColor() const noexcept { return color_; }
  TColor AutomaticColor() const noexcept { return autoColor_; }
  void SetAutomaticColor(TColor value) noexcept { autoColor_ = value; }
  bool ColorEachPoint() const noexcept { return colorEachPoint_; }
  virtual void SetColorEachPoint(bool value);
  TColor GetValueColorEntry(int index) const;
  void SetValueColor(int index, TColor color);
  // Null until a point has a colour of its own.
  const std::vector<TColor> *ValueColors() const noexcept { return colors_.get(); }
  const std::string &ColorSource() const noexcept { return colorSource_; }
  void SetColorSource(const std::string &value);

  // ---- formats
  const std::string &PercentFormat() const noexcept { return percentFormat_; }
  void SetPercentFormat(const std::string &value) { SetAndRepaint(percentFormat_, value); }
  const std::string &ValueFormat() const noexcept { return valueFormat_; }
  virtual void SetValueFormat(const std::string &value) { SetAndRepaint(valueFormat_, value); }
  const std::string &XLabelsSource() const noexcept { return xLabelsSource_; }
  void SetXLabelsSource(const std::string &value);

  // ---- updates and notification
  void BeginUpdate() noexcept { ++updateCount_; }
  // At 0: the dependents copy all points and the panel broadcasts event 6.
  void EndUpdate();
  int UpdateCount() const noexcept { return updateCount_; }
  // Lowers the update count without telling anyone.
  void AbandonUpdate() noexcept {
    if (updateCount_ > 0) --updateCount_;
  }
  virtual void PropagateToDependents(int kind, int index = -1);
  virtual void AfterPointAdded(int index);
  uint8_t PropagateFlags() const noexcept { return propagateFlags_; }
  void SetPropagateFlags(uint8_t value) noexcept { propagateFlags_ = value; }

  // ---- data sources, dependents and the function
  streaming::TStoredComponent *DataSource() const noexcept;
  // Null removes the sources; a component is validated and replaces them.
  void SetDataSource(streaming::TStoredComponent *value);
  const TDataSourcesList &DataSources() const noexcept { return dataSources_; }
  // Validated and appended; a series source must not lead back here.
  void AddDataSource(streaming::TStoredComponent *source, bool replace = false);
  void RemoveDataSource(streaming::TStoredComponent *source);
  void ClearDataSources();
  const std::vector<TChartSeries *> &Dependents() const noexcept { return dependents_; }
  // Asks the panel to refill the series, unless updating or without panel.
  void CheckDataSource();
  // Whether Component may feed this series (a series other than this one).
  virtual bool IsValidSourceOf(streaming::TStoredComponent *component) const;
  // Whether this series reports itself as a possible source.
  virtual bool IsValidSeriesSource() const { return true; }
  // Raises ChartException when Source leads back to this series.
  void CheckCircularSource(TChartSeries *source) const;
  // Source names read from the stored key "DataSources".
  std::vector<std::string> &PendingSourceNames() noexcept { return sourceNames_; }
  void Loaded() override;
  // The series owns Function and frees the function it had (null detaches
  // and frees it).
  virtual void AttachFunction(std::unique_ptr<TUloFunction> function);
  TUloFunction *FunctionType() const noexcept { return function_.get(); }
  // Called by a source component that goes.
  void SourceFreed(streaming::TStoredComponent *source);
  // A series to which the source's functions add one point only.
  bool SingleFunctionPoint() const noexcept { return singleFunctionPoint_; }
  void SetSingleFunctionPoint(bool value) noexcept { singleFunctionPoint_ = value; }
  // A series whose functions keep the order of its own value lists.
  bool KeepOwnOrder() const noexcept { return keepOwnOrder_; }
  void SetKeepOwnOrder(bool value) noexcept { keepOwnOrder_ = value; }
  // A stored function is a child of its series.
  void InsertStoredChild(std::unique_ptr<streaming::TStoredComponent> child) override;
  std::vector<streaming::TStoredComponent *> StoredChildren() override;

  // ---- copying
  virtual void CopyPointFrom(TChartSeries &source, int index);
  virtual void CopyPointWithExtras(TChartSeries &source, int index);
  virtual void CopyAllPointsFrom(TChartSeries &source);
  virtual void SourcePointDeleted(TChartSeries &source, int index);
  void Assign(const TCustomChartElement &source) override;

  // ---- mouse
  virtual bool HasClickEvents() const { return static_cast<bool>(OnClick) || static_cast<bool>(OnDblClick); }
  bool CheckMouse(int x, int y);
  // The point under the pixel, or -1.
  virtual int PointAtPixel(int x, int y) {
    (void)x;
    (void)y;
    return -1;
  }
  // The point hit by a mouse press; kinds that fire a click of their own
  // there override it (hover tests call PointAtPixel).
  virtual int ClickedPointAtPixel(int x, int y) { return PointAtPixel(x, y); }
  int16_t Cursor() const noexcept { return cursor_; }
  void SetCursor(int16_t value) noexcept { cursor_ = value; }

  // ---- titles
  std::string DefaultTitle() const;
  std::string TitleOrName() const;

  // ---- panel
  void SetParentChart(TCustomAxisPanel *value) override;
  void SetActive(bool value) override;
  virtual void AddedToPanel();
  virtual void RemovedFromPanel();

  // ---- axes
  void RecalcAxes();
  THorizAxis HorizAxis() const noexcept { return horizAxis_; }
  void SetHorizAxis(THorizAxis value);
  TVertAxis VertAxis() const noexcept { return vertAxis_; }
  void SetVertAxis(TVertAxis value);
  TChartAxis *CustomHorizAxis() const noexcept { return customHorizAxis_; }
  TChartAxis *CustomVertAxis() const noexcept { return customVertAxis_; }
  void SetCustomHorizAxis(TChartAxis *axis);
  void SetCustomVertAxis(TChartAxis *axis);
  // The resolved axis objects; null without a panel.
  TChartAxis *GetHorizAxis() const noexcept { return horizAxisObject_; }
  TChartAxis *GetVertAxis() const noexcept { return vertAxisObject_; }
  TChartAxis *MandatoryAxis() const noexcept { return yMandatory_ ? vertAxisObject_ : horizAxisObject_; }
  int ValueToPixelX(double value) const;
  int ValueToPixelY(double value) const;
  virtual int PointPixelX(int index);
  virtual int PointPixelY(int index);
  virtual TPoint PointPixel(int index) { return TPoint{PointPixelX(index), PointPixelY(index)}; }

  // ---- drawing range and depth
  virtual void CalcVisibleRange();
  int FirstValueIndex() const noexcept { return firstVisible_; }
  int LastValueIndex() const noexcept { return lastVisible_; }
  void SetVisibleRange(int first, int last) noexcept {
    firstVisible_ = first;
    lastVisible_ = last;
  }
  bool CalcVisiblePoints() const noexcept { return calcVisiblePoints_; }
  void SetCalcVisiblePoints(bool value) noexcept { calcVisiblePoints_ = value; }
  bool DrawBetweenPoints() const noexcept { return drawBetweenPoints_; }
  void SetDrawBetweenPoints(bool value) noexcept { drawBetweenPoints_ = value; }
  virtual void TakeZOrder();
  int ZOrder() const noexcept { return zOrder_; }
  void SetZOrder(int value) { SetAndRepaint(zOrder_, value); }
  int GetZOrder() const noexcept { return zOrder_ == -1 ? computedZOrder_ : zOrder_; }
  // The z-order taken in the last paint (the panel sets the depth slot).
  int ComputedZOrder() const noexcept { return computedZOrder_; }
  void SetComputedZOrder(int value) noexcept { computedZOrder_ = value; }
  virtual void CalcDepthRange();
  virtual bool SharesZOrder();
  // False for kinds that never draw interleaved with others.
  virtual bool CanShareZOrder() const { return true; }
  bool IsFirstOfZOrder();
  int StartZ = 0;
  int MiddleZ = 0;
  int EndZ = 0;
  int Depth() const noexcept { return depth_; }
  void SetDepth(int value) { SetAndRepaint(depth_, value); }
  void CalcFirstLastPage(int &first, int &last);

  // ---- samples and gallery
  void FillSampleValues(int numValues = 0);
  virtual void AddRandomWalk(int numValues);
  // The type's sample count; 0 or less means 25.
  virtual int NumSampleValues() const { return 25; }
  virtual void PrepareForGallery(bool enabled);
  virtual void ListSubStyles(const TUloSubStyleCallback &callback);
  virtual void ApplySubStyle(int index) { (void)index; }

  // ---- drawing
  virtual void DrawPoint(int index) { (void)index; }
  virtual void DrawVisiblePoints();
  virtual bool DrawPointsAscending();
  virtual bool DrawInListOrder();
  int FirstDrawIndex() { return DrawPointsAscending() ? firstVisible_ : lastVisible_; }
  virtual void DrawPointMarks();
  virtual void DrawPointMark(int index, const std::string &text, TSeriesMarkPosition &position);
  virtual void DoBeforeDrawValues();
  virtual void DoAfterDrawValues();
  // Sizes and places the mark box of Text on (X, Y) for the item's font.
  void CalcMarkPosition(TUloCustomShape &item, const std::string &text, int x, int y, TSeriesMarkPosition &position);

  // ---- texts and legend
  virtual std::string BuildMarkText(int index);
  std::string PercentText(int index, bool signedValue);
  std::string ValueText(int index, bool dateTimeDefault);
  std::string XText(int index);
  int MaxMarkWidth();
  // The legend's rows of values (the points, unless a kind shows others).
  virtual int LegendRowCount() { return PointCount(); }
  virtual int LegendRowToPoint(int row) { return row; }
  virtual TColor LegendRowColor(int row) { return PointColor(row); }
  virtual std::string LegendRowText(int row, TLegendTextStyle textStyle);
  virtual void DrawLegendSymbol(int index, const TRect &rect);
  virtual void DrawLegendShape(int index, const TRect &rect);
  virtual void AdjustLegendSymbolBrush(int index, TColor &backColor, TBrushStyle &brushStyle) {
    (void)index;
    (void)backColor;
    (void)brushStyle;
  }

  // ---- parts
  TSeriesMarks &Marks() noexcept { return *marks_; }
  void SetMarks(const TSeriesMarks &value) { marks_->Assign(value); }

  // ---- stored data flags
  bool NeverStoreData = false;
  bool StoreDataAlways = false;
  bool HasManualData = false;
  bool StoreXValues = true;

  // ---- events
  TSeriesNotifyEvent AfterDrawValues;
  TSeriesNotifyEvent BeforeDrawValues;
  TSeriesOnAfterAdd OnAfterAdd;
  TSeriesOnBeforeAdd OnBeforeAdd;
  TSeriesNotifyEvent OnClearValues;
  TSeriesClick OnClick;
  TSeriesClick OnDblClick;
  TSeriesOnGetMarkText OnGetMarkText;
  TSeriesNotifyEvent OnMouseEnter;
  TSeriesNotifyEvent OnMouseLeave;

  void DefineProperties(streaming::TPropertyTable &table) override;

protected:
  // For horizontal kinds: X becomes the mandatory list.
  void SetHorizontal();
  // The lists of the third and later value lists, for kinds that add them.
  void SetYMandatoryField(bool value) noexcept { yMandatory_ = value; }
  // Panel events through the panel, when there is one.
  void BroadcastSeriesEvent(TUloSeriesEventStyle kind);
  // The ranges random sample values wander in: the axes' ranges, or 0 to
  // 1000 where an axis gives no span.
  void RandomRanges(double &xMin, double &xSpan, double &yMin, double &ySpan) const;

private:
  friend class TChartValueList;
  friend class TUloSeriesSource;
  void InsertColor(int index, TColor color);
  void AddDependent(TChartSeries *series);
  void RemoveDependent(TChartSeries *series);
  void DropSourceLinks();
  bool LeadsTo(const TChartSeries *target, std::vector<const TChartSeries *> &visited) const;

  TColor color_ = clDefault;
  bool colorEachPoint_ = false;
  std::unique_ptr<std::vector<TColor>> colors_;
  std::string colorSource_;
  int16_t cursor_ = 0;
  TDataSourcesList dataSources_;
  int depth_ = -1;
  TChartAxis *horizAxisObject_ = nullptr;
  TChartAxis *vertAxisObject_ = nullptr;
  std::string xLabelsSource_;
  std::vector<TChartSeries *> dependents_;
  std::unique_ptr<TSeriesMarks> marks_;
  std::string percentFormat_;
  std::string valueFormat_;
  std::unique_ptr<TChartValueLists> valuesList_;
  TChartValueList *xValues_ = nullptr;
  std::unique_ptr<TLabelsList> labels_;
  TChartValueList *yValues_ = nullptr;
  THorizAxis horizAxis_ = THorizAxis::aBottomAxis;
  TChartAxis *customHorizAxis_ = nullptr;
  TChartAxis *customVertAxis_ = nullptr;
  int zOrder_ = -1;
  TVertAxis vertAxis_ = TVertAxis::aLeftAxis;
  uint8_t propagateFlags_ = UloPropagateAll;
  std::unique_ptr<TUloFunction> function_;
  bool mouseInside_ = false;
  TColor autoColor_ = clDefault;
  int firstVisible_ = -1;
  int lastVisible_ = -1;
  int updateCount_ = 0;
  int computedZOrder_ = 0;
  bool calcVisiblePoints_ = true;
  bool drawBetweenPoints_ = false;
  bool singleFunctionPoint_ = true;
  bool keepOwnOrder_ = false;
  TChartValueList *mandatory_ = nullptr;
  TChartValueList *notMandatory_ = nullptr;
  bool yMandatory_ = true;
  std::vector<std::string> sourceNames_;
  bool changingParent_ = false;
};

// ---- source components --------------------------------------------------------

// Fills one series from elsewhere; descendants implement Load.
class TUloSeriesSource : public streaming::TStoredComponent {
public:
  TUloSeriesSource() = default;
  ~TUloSeriesSource() override;

  std::string_view ClassName() const override { return "TUloSeriesSource"; }

  bool Active() const noexcept { return active_; }
  void SetActive(bool value);
  bool KeepPoints() const noexcept { return keepPoints_; }
  void SetKeepPoints(bool value) noexcept { keepPoints_ = value; }
  TChartSeries *Series() const noexcept { return series_; }
  void SetSeries(TChartSeries *value);

  void Open() { SetActive(true); }
  void Close();
  void Refresh();
  virtual void Load() {}
  void Loaded() override;
  // Whether Series is already fed by a source of this class.
  bool HasSeries(TChartSeries *series) const;

private:
  friend class TChartSeries;
  bool active_ = false;
  bool keepPoints_ = false;
  bool destroying_ = false;
  TChartSeries *series_ = nullptr;
};

// A scope that keeps a series inside BeginUpdate / EndUpdate, ending the
// update even when the work throws.
// Leaving by an exception only lowers the count: announcing a half-done
// change to the dependents would raise again while unwinding.
class TSeriesUpdateGuard {
public:
  explicit TSeriesUpdateGuard(TChartSeries &series) : series_(series), exceptions_(std::uncaught_exceptions()) {
    series_.BeginUpdate();
  }
  TSeriesUpdateGuard(const TSeriesUpdateGuard &) = delete;
  TSeriesUpdateGuard &operator=(const TSeriesUpdateGuard &) = delete;
  ~TSeriesUpdateGuard() noexcept(false) {
    if (std::uncaught_exceptions() > exceptions_)
      series_.AbandonUpdate();
    else
      series_.EndUpdate();
  }

private:
  TChartSeries &series_;
  int exceptions_;
};
