// One axis of a chart: its value range (automatic from the series or set
// by the user; linear, logarithmic or date-time), the mapping of values to
// pixels and back, the label step, and the drawing of its labels, ticks,
// grid, line and title. Also the pens and shapes an axis owns: the axis
// line pen, the grid pen, the title and the custom labels.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chart/engine/UloEngineTypes.h"
#include "chart/foundation/UloPens.h"
#include "chart/foundation/UloShape.h"
#include "chart/foundation/UloStoredParts.h"
#include "platform/rtl/Numbers.h"
#include "platform/streaming/Persistent.h"

class TChartAxis;
class TAxisItems;

enum class TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };
enum class TAxisLabelAlign { alDefault, alOpposite };
enum class TPenLineMode { lmLine, lmCylinder, lmRectangle };

// The smallest label step and the smallest range an axis works with.
inline constexpr double UloAxisMinIncrement = 1e-12;
inline constexpr double UloAxisMinRange = 1e-10;
// The most labels any label loop draws.
inline constexpr int UloAxisMaxLabels = 10000;

// The next of 1, 2, 5 times a power of ten strictly above X; infinities give
// 1. Callers pass positive finite values; others give 1 as well.
double UloNextStep(double x) noexcept;

// ---- pens -------------------------------------------------------------------------

// The axis line: width 2; a line, or a cylinder or box as thick as the pen.
class TChartAxisPen : public TChartPen {
public:
  explicit TChartAxisPen(TUloChangeEvent onChange = {});
  void Assign(const TPen &source) override;
  TPenLineMode LineMode() const noexcept { return lineMode_; }
  void SetLineMode(TPenLineMode value) {
    UloSetProperty(lineMode_, value, [this] { Changed(); });
  }

private:
  TPenLineMode lineMode_ = TPenLineMode::lmLine;
};

// The grid lines of an axis: dotted gray; at every DrawEvery-th label (at
// least every one), or between labels when Centered.
class TAxisGridPen : public TDottedGrayPen {
public:
  explicit TAxisGridPen(TUloChangeEvent onChange = {});
  // Centered, DrawEvery and ZPosition first, then the pen settings.
  void Assign(const TPen &source) override;
  bool Centered() const noexcept { return centered_; }
  void SetCentered(bool value) {
    UloSetProperty(centered_, value, [this] { Changed(); });
  }
  int DrawEvery() const noexcept { return drawEvery_; }
  void SetDrawEvery(int value) {
    UloSetProperty(drawEvery_, value, [this] { Changed(); });
  }
  // Depth in percent of the chart depth; 0 by default (the front).
  double ZPosition() const noexcept { return zPosition_; }
  void SetZPosition(double value) {
    UloSetProperty(zPosition_, value, [this] { Changed(); });
  }
  bool IsZPositionStored() const noexcept { return zPosition_ != 0; }

private:
  bool centered_ = false;
  int drawEvery_ = 1;
  double zPosition_ = 0;
};

// ---- title ------------------------------------------------------------------------

class TChartAxisTitle : public TUloCustomShape {
public:
  explicit TChartAxisTitle(TCustomUloPanel *chart = nullptr);
  // Angle and Caption, then the shape settings.
  void Assign(const TUloCustomShapeBrushPen &source) override;

  // Degrees, stored modulo 360 (0 to 359).
  int Angle() const noexcept { return angle_; }
  void SetAngle(int value);
  // The angle the chart gave this axis (Angle is stored only when it differs).
  void SetDefaultAngle(int value) noexcept { angle_ = defaultAngle_ = NormalAngle(value); }
  bool IsAngleStored() const noexcept { return angle_ != defaultAngle_; }
  const std::string &Caption() const noexcept { return caption_; }
  void SetCaption(const std::string &value) { SetAndRepaint(caption_, value); }

  // Inside the title as last drawn (ShapeBounds, turned by Angle).
  bool Clicked(int x, int y) const;

  void DefineProperties(streaming::TPropertyTable &table) override;

  static int NormalAngle(int value) noexcept { return ((value % 360) + 360) % 360; }

private:
  int angle_ = 0;
  int defaultAngle_ = 0;
  std::string caption_;
};

// ---- custom labels -----------------------------------------------------------------

// A label at a given axis value with its own text and format.
class TAxisItem : public TUloCustomShape {
public:
  explicit TAxisItem(TAxisItems *owner = nullptr);
  double Value() const noexcept { return value_; }
  void SetValue(double value) { SetAndRepaint(value_, value); }
  const std::string &Text() const noexcept { return text_; }
  void SetText(const std::string &value) { SetAndRepaint(text_, value); }
  TAxisItems *Owner() const noexcept { return owner_; }
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  TAxisItems *owner_;
  double value_ = 0;
  std::string text_;
};

// The custom labels of an axis. While Automatic (until the first Add) the
// axis records here the labels it draws; once the user adds items only
// they are drawn. Format holds the axis' label settings (the published
// Labels visibility and LabelsFont) and is what new items start from.
class TAxisItems : public streaming::TStoredCollection {
public:
  explicit TAxisItems(TChartAxis *axis);
  TAxisItems(const TAxisItems &) = delete;
  TAxisItems &operator=(const TAxisItems &) = delete;
  ~TAxisItems() override;

  // Clears Automatic; the item is transparent, has the axis' panel as its
  // chart and takes the font of Format.
  TAxisItem &Add(double value);
  TAxisItem &Add(double value, const std::string &text);
  // Frees every item and repaints the axis' panel (also when empty).
  // Automatic stays as it is.
  void Clear();
  // Format, then the items' values and texts.
  void Assign(const TAxisItems &source);

  int Count() const noexcept { return static_cast<int>(items_.size()); }
  TAxisItem &Items(int index) const { return *items_[index]; }
  TAxisItem &operator[](int index) const { return *items_[index]; }
  bool Automatic() const noexcept { return automatic_; }
  void SetAutomatic(bool value) noexcept { automatic_ = value; }
  TUloShape &Format() const noexcept { return *format_; }
  TChartAxis *Axis() const noexcept { return axis_; }

  // The axis' own recording of drawn labels: no repaint, Automatic kept.
  void ClearRecorded() noexcept { items_.clear(); }
  void Record(double value, const std::string &text);

  // Stored as a collection of items.
  size_t StoredCount() const override { return items_.size(); }
  streaming::TPersistent &StoredItem(size_t index) override { return *items_[index]; }
  void StoredClear() override;
  streaming::TPersistent &StoredAdd(const std::string &className, streaming::TReadContext &ctx) override;

private:
  TAxisItem &NewItem(double value);

  std::vector<std::unique_ptr<TAxisItem>> items_;
  bool automatic_ = true;
  std::unique_ptr<TUloShape> format_;
  TChartAxis *axis_;
};

// ---- the axis --------------------------------------------------------------------------

// (Sender, X, Y, Z, Text, DrawLabel): may move or change the label, or set
// DrawLabel false to leave it out.
using TAxisOnDrawLabel =
    std::function<void(TChartAxis *sender, int &x, int &y, int &z, std::string &text, bool &drawLabel)>;

class TChartAxis : public streaming::TPersistent {
public:
  // The panel adds the axis to its axes; Horizontal and OtherSide are set
  // by the panel after construction.
  explicit TChartAxis(TCustomAxisPanel *chart = nullptr);
  TChartAxis(const TChartAxis &) = delete;
  TChartAxis &operator=(const TChartAxis &) = delete;
  ~TChartAxis() override;

  virtual void Assign(const TChartAxis &source);

  TCustomAxisPanel *ParentChart() const noexcept { return parentChart_; }
  void SetParentChart(TCustomAxisPanel *chart);
  // The panel's Invalidate, when there is a panel.
  void Repaint() { Invalidate(); }

  // ---- range settings
  bool Automatic() const noexcept { return automatic_; }
  void SetAutomatic(bool value);
  bool AutomaticMaximum() const noexcept { return automaticMaximum_; }
  void SetAutomaticMaximum(bool value);
  bool AutomaticMinimum() const noexcept { return automaticMinimum_; }
  void SetAutomaticMinimum(bool value);
  double Increment() const noexcept { return increment_; }
  void SetIncrement(double value);
  double Maximum() const noexcept { return maximum_; }
  void SetMaximum(double value);
  double Minimum() const noexcept { return minimum_; }
  void SetMinimum(double value);
  bool Logarithmic() const noexcept { return logarithmic_; }
  void SetLogarithmic(bool value);
  double LogarithmicBase() const noexcept { return logarithmicBase_; }
  void SetLogarithmicBase(double value);
  int MaximumOffset() const noexcept { return maximumOffset_; }
  void SetMaximumOffset(int value) { SetAndInvalidate(maximumOffset_, value); }
  int MinimumOffset() const noexcept { return minimumOffset_; }
  void SetMinimumOffset(int value) { SetAndInvalidate(minimumOffset_, value); }
  bool MaximumRound() const noexcept { return maximumRound_; }
  void SetMaximumRound(bool value) { SetAndInvalidate(maximumRound_, value); }
  bool MinimumRound() const noexcept { return minimumRound_; }
  void SetMinimumRound(bool value) { SetAndInvalidate(minimumRound_, value); }
  bool Inverted() const noexcept { return inverted_; }
  virtual void SetInverted(bool value);
  bool ExactDateTime() const noexcept { return exactDateTime_; }
  void SetExactDateTime(bool value) { SetAndInvalidate(exactDateTime_, value); }
  // A custom axis follows the range of its master axis.
  TChartAxis *MasterAxis() const noexcept { return masterAxis_; }
  void SetMasterAxis(TChartAxis *value) noexcept { masterAxis_ = value; }

  // ---- placement
  bool Visible() const noexcept { return visible_; }
  void SetVisible(bool value) { SetAndInvalidate(visible_, value); }
  double StartPosition() const noexcept { return startPosition_; }
  void SetStartPosition(double value) { SetAndInvalidate(startPosition_, value); }
  double EndPosition() const noexcept { return endPosition_; }
  void SetEndPosition(double value) { SetAndInvalidate(endPosition_, value); }
  double PositionPercent() const noexcept { return positionPercent_; }
  void SetPositionPercent(double value) { SetAndInvalidate(positionPercent_, value); }
  TUloUnits PositionUnits() const noexcept { return positionUnits_; }
  void SetPositionUnits(TUloUnits value) { SetAndInvalidate(positionUnits_, value); }
  // Depth in percent of the chart depth.
  double ZPosition() const noexcept { return zPosition_; }
  void SetZPosition(double value) { SetAndInvalidate(zPosition_, value); }

  // ---- parts
  TChartAxisPen &Axis() noexcept { return *axisPen_; }
  void SetAxis(const TPen &value) { axisPen_->Assign(value); }
  TAxisGridPen &Grid() noexcept { return *grid_; }
  void SetGrid(const TPen &value) { grid_->Assign(value); }
  TChartHiddenPen &MinorGrid() noexcept { return *minorGrid_; }
  void SetMinorGrid(const TPen &value) { minorGrid_->Assign(value); }
  TDarkGrayPen &MinorTicks() noexcept { return *minorTicks_; }
  void SetMinorTicks(const TPen &value) { minorTicks_->Assign(value); }
  TDarkGrayPen &Ticks() noexcept { return *ticks_; }
  void SetTicks(const TPen &value) { ticks_->Assign(value); }
  TDarkGrayPen &TicksInner() noexcept { return *ticksInner_; }
  void SetTicksInner(const TPen &value) { ticksInner_->Assign(value); }
  TChartAxisTitle &Title() noexcept { return *title_; }
  void SetTitle(const TChartAxisTitle &value) { title_->Assign(value); }
  // The custom labels.
  TAxisItems &Items() noexcept { return *items_; }

  // ---- ticks and title sizes
  int MinorTickCount() const noexcept { return minorTickCount_; }
  void SetMinorTickCount(int value) { SetAndInvalidate(minorTickCount_, value); }
  int MinorTickLength() const noexcept { return minorTickLength_; }
  void SetMinorTickLength(int value) { SetAndInvalidate(minorTickLength_, value); }
  int TickInnerLength() const noexcept { return tickInnerLength_; }
  void SetTickInnerLength(int value) { SetAndInvalidate(tickInnerLength_, value); }
  int TickLength() const noexcept { return tickLength_; }
  void SetTickLength(int value) { SetAndInvalidate(tickLength_, value); }
  bool TickOnLabelsOnly() const noexcept { return tickOnLabelsOnly_; }
  void SetTickOnLabelsOnly(bool value) { SetAndInvalidate(tickOnLabelsOnly_, value); }
  int TitleSize() const noexcept { return titleSize_; }
  void SetTitleSize(int value) { SetAndInvalidate(titleSize_, value); }

  // ---- labels
  // Visibility of the labels (kept in the custom labels' Format).
  bool Labels() const noexcept;
  void SetLabels(bool value);
  TUloFont &LabelsFont() noexcept;
  void SetLabelsFont(const TFont &value);
  TAxisLabelAlign LabelsAlign() const noexcept { return labelsAlign_; }
  void SetLabelsAlign(TAxisLabelAlign value) { SetAndInvalidate(labelsAlign_, value); }
  bool LabelsAlternate() const noexcept { return labelsAlternate_; }
  void SetLabelsAlternate(bool value) { SetAndInvalidate(labelsAlternate_, value); }
  // 0 to 359; other values are taken modulo 360 (-90 is 270).
  int LabelsAngle() const noexcept { return labelsAngle_; }
  void SetLabelsAngle(int value);
  bool LabelsOnAxis() const noexcept { return labelsOnAxis_; }
  void SetLabelsOnAxis(bool value) { SetAndInvalidate(labelsOnAxis_, value); }
  // Percent of a label's size kept free between labels; 0 packs them.
  int LabelsSeparation() const noexcept { return labelsSeparation_; }
  void SetLabelsSeparation(int value);
  int LabelsSize() const noexcept { return labelsSize_; }
  void SetLabelsSize(int value) { SetAndInvalidate(labelsSize_, value); }
  TAxisLabelStyle LabelStyle() const noexcept { return labelStyle_; }
  void SetLabelStyle(TAxisLabelStyle value) { SetAndInvalidate(labelStyle_, value); }
  bool LabelsExponent() const noexcept { return labelsExponent_; }
  void SetLabelsExponent(bool value) { SetAndInvalidate(labelsExponent_, value); }
  bool LabelsMultiLine() const noexcept { return labelsMultiLine_; }
  void SetLabelsMultiLine(bool value) { SetAndInvalidate(labelsMultiLine_, value); }
  bool RoundFirstLabel() const noexcept { return roundFirstLabel_; }
  void SetRoundFirstLabel(bool value) { SetAndInvalidate(roundFirstLabel_, value); }
  const std::string &AxisValuesFormat() const noexcept { return axisValuesFormat_; }
  void SetAxisValuesFormat(const std::string &value) { SetAndInvalidate(axisValuesFormat_, value); }
  const std::string &DateTimeFormat() const noexcept { return dateTimeFormat_; }
  void SetDateTimeFormat(const std::string &value) { SetAndInvalidate(dateTimeFormat_, value); }

  TAxisOnDrawLabel OnDrawLabel;
  // Told the grid-line positions along the axis, in drawing order, before
  // the grid lines are drawn (a grid-band tool fills between them).
  std::function<void(TChartAxis &axis, std::span<const int> gridPositions)> GridBandCallback;

  // ---- operations on the range
  // Clears the three automatic flags; keeps Maximum >= Minimum + 1e-10; the
  // custom axes that follow this one get the same range.
  void SetMinMax(double aMin, double aMax);
  void Scroll(double offset, bool checkLimits);
  // The date flag of the value list the first active series on this axis
  // uses for it.
  bool CalcIsDateTime();
  // One of the chart's axes after the six standard ones.
  bool IsCustom() const;
  // The range from the series (automatic sides), then rounded.
  void AdjustMaxMin();
  // Widens the range so that Rect's pixel margins (Left/Right for a
  // horizontal axis, Top/Bottom for a vertical one) fit inside the span.
  void AdjustMaxMinRect(const TRect &rect);
  void InternalCalcPositions();
  void InternalCalcRange();
  void RoundMinMax();
  // Picks the value-to-pixel mapping (after Logarithmic, Inverted,
  // Horizontal or the fast switch changed).
  void SetCalcPosFunctions();
  // The fast mapping rounds the offset first and does not clamp; the panel
  // switches it for all its axes.
  bool FastCalc() const noexcept { return fastCalc_; }
  void SetFastCalc(bool value);

  // ---- mapping
  // Value to pixel along the axis; see SetCalcPosFunctions. Per-axis
  // factors are computed by InternalCalcRange, never per value.
  int CalcXPosValue(double value) const noexcept {
    if (calcKind_ == TCalcKind::Linear) [[likely]]
      return LinearPos(value, xOrigin_, xScale_);
    return CalcPosSlow(value, true);
  }
  int CalcYPosValue(double value) const noexcept {
    if (calcKind_ == TCalcKind::Linear) [[likely]]
      return LinearPos(value, yOrigin_, yScale_);
    return CalcPosSlow(value, false);
  }
  int CalcPosValue(double value) const noexcept { return Horizontal ? CalcXPosValue(value) : CalcYPosValue(value); }
  // Pixel to value.
  double CalcPosPoint(int value) const noexcept;
  // Pixels of a value span.
  int CalcSizeValue(double value) const noexcept;

  // ---- label step
  double CalcLabelsIncrement();
  double CalcXYIncrement(int maxLabelSize);
  double CalcIncrement(int labelCount);
  // LogarithmicBase to the rounded logarithm of X in that base.
  double LogBaseRound(double x) const noexcept;
  // Extent along the axis of the label of Value.
  int LabelSizeValue(double value);

  // ---- labels and drawing
  virtual std::string LabelValue(double value);
  virtual TAxisLabelStyle CalcLabelStyle();
  // LabelStyle, or CalcLabelStyle when talAuto.
  TAxisLabelStyle LabelStyleInUse() { return labelStyle_ == TAxisLabelStyle::talAuto ? CalcLabelStyle() : labelStyle_; }
  // Takes the title, labels and tick space out of Rect (Inflate), or sets
  // the positions from Rect's edge.
  void CalcRect(TRect &rect, bool inflate);
  void DrawAxis(bool calcPosAxis);
  void DrawTitle(int x, int y);
  bool Clicked(int x, int y);
  // The label extent across the axis (cached until ResetLabelMeasures).
  int MaxLabelsWidth();
  void ResetLabelMeasures() noexcept { maxLabelsWidth_ = -1; }
  int SizeTickAxis() const;
  int ApplyPosition(int pos, const TRect &rect) const;
  // Draws Text at X, Y (depth Z) with Format's box and the alignment of this
  // axis' side.
  void DrawAxisLabel(int x, int y, int z, TUloCustomShape *format, const std::string &text, int angle);
  // The tick positions of the last drawing, from the highest value down.
  const std::vector<int> &TickPositions() const noexcept { return tickPos_; }

  void DefineProperties(streaming::TPropertyTable &table) override;

  // The panel places its axes with these (the fields below say the same).
  void SetHorizontal(bool value) noexcept { Horizontal = value; }
  void SetOtherSide(bool value) noexcept { OtherSide = value; }
  void SetShown(bool value) noexcept { Shown = value; }

  // ---- working values (valid after the panel's layout of this paint)
  bool Horizontal = false;
  bool OtherSide = false;
  // The panel shows the axis in this paint.
  bool Shown = true;
  bool IsDateTime = false;
  bool IsDepthAxis = false;
  double ILogScale = 0;
  double IScale = 0;
  int ICenterPos = 0;
  double ILogMax = 0;
  double ILogMin = 0;
  double IMaximum = 0;
  double IMinimum = 0;
  double IRange = 0;
  double IRangeLog = 0;
  bool IRangeZero = true;
  int IZPos = 0;
  int IStartPos = 0;
  int IEndPos = 0;
  int IAxisSize = 0;
  // Across the axis: its line, its labels and its title.
  int PosAxis = 0;
  int PosLabels = 0;
  int PosTitle = 0;

protected:
  enum class TCalcKind : uint8_t { Linear, LinearFast, Logarithmic, Depth, Center };

  template <class T, class U> void SetAndInvalidate(T &field, U &&value) {
    if (UloStoreIfChanged(field, std::forward<U>(value))) Invalidate();
  }
  void Invalidate();
  bool IsLoading() const;

  // Scale is IScale or its negative, so Origin + (V - IMinimum) * Scale is
  // exactly Start + P or End - P. NaN lands on the clamp's upper end.
  int LinearPos(double value, double origin, double scale) const noexcept {
    double p = origin + (value - IMinimum) * scale;
    p = p < maxPixel_ ? p : maxPixel_;
    p = p > -maxPixel_ ? p : -maxPixel_;
    return static_cast<int>(rtl::RoundHalfEvenSmall(p));
  }
  int CalcPosSlow(double value, bool horizontal) const noexcept;

private:
  void RecordTick(int pos, double value) {
    tickPos_.push_back(pos);
    tickValues_.push_back(value);
  }
  // Label choice and drawing (UloAxisDraw.cpp).
  double CalcIncrementOnce();
  double NumericIncrement(int n);
  double DateTimeIncrement(int n);
  void DrawLabels(TAxisLabelStyle style);
  void DrawValueLabels(double inc, int dateStep);
  void DrawLogLabels(double inc);
  void DrawEventLabels(double inc, int dateStep);
  void DrawTextLabels(bool marks);
  void DrawDepthTextLabels();
  void DrawCustomLabels();
  // Whether the value's position lies where labels may go.
  bool DrawValueLabel(double value);
  void DrawThisLabel(int pos, double value, const std::string &text, TAxisItem *item);
  void DrawExponentText(int x, int y, int z, std::string_view text, uint32_t hAlign);
  double StepDown(double value, double inc, int dateStep) const;
  void DrawTicksAndGrid();
  void DrawAxisLine();
  void DrawGridLine(int pos);
  void DrawTickLine(int pos, int from, int to);
  void DrawMinor(bool grid, int outside);
  int TextAlongSize(const std::string &text);
  int AxisSideEdge(const TRect &rect) const;
  int MoveOutward(int pos, int amount) const;
  // Where the depth axis runs across the chart.
  int DepthLabelY() const;

  TCustomAxisPanel *parentChart_;
  bool automatic_ = true;
  bool automaticMaximum_ = true;
  bool automaticMinimum_ = true;
  double increment_ = 0;
  double maximum_ = 0;
  double minimum_ = 0;
  bool logarithmic_ = false;
  double logarithmicBase_ = 10;
  int maximumOffset_ = 0;
  int minimumOffset_ = 0;
  bool maximumRound_ = false;
  bool minimumRound_ = false;
  std::unique_ptr<TChartAxisPen> axisPen_;
  double zPosition_ = 0;
  std::unique_ptr<TChartAxisTitle> title_;
  int titleSize_ = 0;
  std::unique_ptr<TAxisGridPen> grid_;
  TAxisLabelAlign labelsAlign_ = TAxisLabelAlign::alDefault;
  bool labelsAlternate_ = false;
  int labelsAngle_ = 0;
  std::unique_ptr<TAxisItems> items_;
  bool labelsOnAxis_ = true;
  int labelsSeparation_ = 10;
  int labelsSize_ = 0;
  TAxisLabelStyle labelStyle_ = TAxisLabelStyle::talAuto;
  bool labelsExponent_ = false;
  bool labelsMultiLine_ = false;
  bool roundFirstLabel_ = true;
  std::string axisValuesFormat_;
  std::string dateTimeFormat_;
  bool exactDateTime_ = true;
  std::unique_ptr<TChartHiddenPen> minorGrid_;
  int minorTickCount_ = 3;
  int minorTickLength_ = 2;
  std::unique_ptr<TDarkGrayPen> minorTicks_;
  std::unique_ptr<TDarkGrayPen> ticks_;
  std::unique_ptr<TDarkGrayPen> ticksInner_;
  int tickInnerLength_ = 0;
  int tickLength_ = 4;
  bool tickOnLabelsOnly_ = true;
  bool inverted_ = false;
  bool visible_ = true;
  double startPosition_ = 0;
  double endPosition_ = 100;
  double positionPercent_ = 0;
  TUloUnits positionUnits_ = TUloUnits::muPercent;
  TChartAxis *masterAxis_ = nullptr;
  bool fastCalc_ = false;

  TCalcKind calcKind_ = TCalcKind::Center;
  double xOrigin_ = 0, xScale_ = 0;
  double yOrigin_ = 0, yScale_ = 0;
  double maxPixel_ = 0x3FFFFFF;
  std::vector<int> tickPos_;
  std::vector<double> tickValues_;
  int maxLabelsWidth_ = -1;
  bool measuring_ = false;
  int measuredWidth_ = 0;
  int axisWallSize_ = 0;
  int labelIndex_ = 0;
  TUloStoredParts storedParts_;
};

// The depth axis: labels are the series' titles unless some series has
// depth values; inverting it inverts the other depth axis too.
class TChartDepthAxis : public TChartAxis {
public:
  explicit TChartDepthAxis(TCustomAxisPanel *chart = nullptr);
  TAxisLabelStyle CalcLabelStyle() override;
  void SetInverted(bool value) override;
};
