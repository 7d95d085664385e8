// The general 2D series: points joined by plain or stepped lines, an
// optional filled area down to an origin, optional markers, stacking of
// series of one class, in 2D and projected at depth. The point series
// (markers only), the line series and the area series are its members.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "chart/engine/UloPointer.h"
#include "chart/engine/UloSeries.h"
#include "chart/foundation/UloGradient.h"
#include "chart/foundation/UloPens.h"
#include "chart/foundation/UloShadow.h"
#include "chart/foundation/UloStoredParts.h"

enum class TTreatNullsStyle { tnDontPaint, tnSkip, tnIgnore };
enum class TCustomSeriesStack { cssNone, cssOverlap, cssStack, cssStack100 };

// ---- common base of the line and the fast line ------------------------------

class TCustomLineSeries : public TChartSeries {
public:
  TCustomLineSeries();

  TTreatNullsStyle TreatNulls() const noexcept { return treatNulls_; }
  void SetTreatNulls(TTreatNullsStyle value);

  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  TTreatNullsStyle treatNulls_ = TTreatNullsStyle::tnDontPaint;
};

// ---- the general 2D series ---------------------------------------------------

class TCustomSeries : public TCustomLineSeries {
public:
  // Sender, value index, and the mouse position.
  using TOnClickPointerEvent = std::function<void(TCustomSeries *sender, int valueIndex, int x, int y)>;
  using TOnGetPointerStyleEvent = std::function<TSeriesPointerStyle(TChartSeries *sender, int valueIndex)>;

  TCustomSeries();
  ~TCustomSeries() override;

  // ---- properties
  TChartBrush &AreaBrush() noexcept { return *areaBrush_; }
  TColor AreaColor() const noexcept { return areaColor_; }
  TChartHiddenPen &AreaLinesPen() noexcept { return *areaLinesPen_; }
  int BandHeight() const noexcept { return bandHeight_; }
  bool ClickableLine() const noexcept { return clickableLine_; }
  bool DarkenSlopes() const noexcept { return darkenSlopes_; }
  bool DrawArea() const noexcept { return drawArea_; }
  bool DrawLine() const noexcept { return drawLine_; }
  TUloGradient &Gradient() noexcept { return *gradient_; }
  bool InvertedStairs() const noexcept { return invertedStairs_; }
  // The line's pen is the series pen.
  TChartPen &LinePen() noexcept { return Pen(); }
  TChartHiddenPen &OutLine() noexcept { return *outLine_; }
  TSeriesPointer &Pointer() noexcept { return *pointer_; }
  const TSeriesPointer &Pointer() const noexcept { return *pointer_; }
  TUloShadow &Shadow() noexcept { return *shadow_; }
  TCustomSeriesStack Stacked() const noexcept { return stacked_; }
  bool Stairs() const noexcept { return stairs_; }
  virtual int Transparency() const noexcept { return transparency_; }
  bool UsePointColor() const noexcept { return usePointColor_; }

  void SetAreaBrush(const TChartBrush &value) { areaBrush_->Assign(value); }
  void SetAreaColor(TColor value);
  void SetAreaLinesPen(const TChartHiddenPen &value) { areaLinesPen_->Assign(value); }
  void SetBandHeight(int value);
  void SetClickableLine(bool value);
  void SetDarkenSlopes(bool value);
  void SetDrawArea(bool value);
  void SetDrawLine(bool value);
  void SetGradient(const TUloGradient &value) { gradient_->Assign(value); }
  void SetInvertedStairs(bool value);
  void SetLinePen(const TChartPen &value) { Pen().Assign(value); }
  void SetOutLine(const TChartHiddenPen &value) { outLine_->Assign(value); }
  void SetPointer(const TSeriesPointer &value);
  void SetShadow(const TUloShadow &value) { shadow_->Assign(value); }
  // Sets the same on every series of the chart of this series' class.
  void SetStacked(TCustomSeriesStack value);
  void SetStairs(bool value);
  virtual void SetTransparency(int value);
  void SetUsePointColor(bool value);

  // ---- events
  TOnClickPointerEvent OnClickPointer;
  TOnGetPointerStyleEvent OnGetPointerStyle;

  // ---- stacking and positions
  // The marker style of point ValueIndex.
  TSeriesPointerStyle GetPointerStyle(int valueIndex);
  // Sum of the values at ValueIndex of the series stacked below this one
  // (with this one's own when WithSelf), counting only values of the sign of
  // this series' own value there.
  double PointOrigin(int valueIndex, bool withSelf) const;
  // Value-axis pixel of Value at ValueIndex, stacking included.
  int CalcYPosValue(int valueIndex, double value) const;
  // The origin of the area under point ValueIndex.
  int GetOriginPos(int valueIndex) const;
  // Whether Other stacks with this series.
  bool StacksWith(const TChartSeries &other) const;

  // ---- overrides of the series base
  std::string GetEditor() const override;
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  void SetParentChart(TCustomAxisPanel *value) override;
  void DrawVisiblePoints() override;
  void DrawPoint(int valueIndex) override;
  void DrawLegendShape(int valueIndex, const TRect &rect) override;
  void HorizMargins(int &leftMargin, int &rightMargin) override;
  void VertMargins(int &topMargin, int &bottomMargin) override;
  double MaxY() override;
  double MinY() override;
  void TakeZOrder() override;
  // Hover tests and tools: never fires OnClickPointer.
  int PointAtPixel(int x, int y) override;
  // The click test of a mouse-down: the same answer as PointAtPixel, and the
  // only place OnClickPointer fires.
  int ClickedPointAtPixel(int x, int y) override;
  // A series with a pointer click handler asks for mouse-down clicks too.
  bool HasClickEvents() const override { return TCustomLineSeries::HasClickEvents() || OnClickPointer; }
  // Whether the gallery may offer the marker styles that have 3D solids.
  virtual bool Allows3DPointerStyles() const { return false; }

protected:
  // Takes the settings as they stand as the ones the kind is made with.
  void KeepMadeSettings() noexcept { made_ = {clickableLine_, drawArea_, drawLine_}; }

private:
  int ClickTest(int x, int y, bool fireEvents);
  // The greatest (Greatest) or least value MaxY and MinY report: stacked
  // sums when stacked, null points skipped unless nulls are ignored.
  double ExtremeY(bool greatest);
  // Widens a pair of margins for the stairs' line and the outline.
  void WidenForLines(int &low, int &high);
  // The stacked sum at ValueIndex up to this series, or over the whole
  // stack when Whole.
  double StackSum(int valueIndex, bool withSelf, bool whole) const;
  // Pixel positions of point ValueIndex in the running pass.
  int XPos(int valueIndex) const;
  int YPos(int valueIndex) const;
  int LastDrawIndex();
  void DrawSegment(int valueIndex, int x, int y, TColor color, bool isLast);
  void DrawPlanes(TCanvas3D &canvas, int x, int y, TColor color, bool isLast);
  void DrawAreaFill(TCanvas3D &canvas, int valueIndex, int x, int y, TColor color, bool isLast);
  void DrawMarker(int valueIndex, int x, int y, TColor color);
  TColor SegmentColor(TColor pointColor) const;
  TColor DrawColor(TColor pointColor) const;
  bool Steep(int x0, int y0, int x1, int y1) const;
  void ApplyLinePen(TCanvas3D &canvas, TColor color);
  void Changed() { Repaint(); }

  std::unique_ptr<TChartBrush> areaBrush_;
  TColor areaColor_ = clDefault;
  std::unique_ptr<TChartHiddenPen> areaLinesPen_;
  bool clickableLine_ = true;
  bool usePointColor_ = true;
  bool darkenSlopes_ = true;
  bool drawArea_ = false;
  bool drawLine_ = false;
  // The settings as the series kind makes them, which storing compares with.
  struct {
    bool clickableLine = true, drawArea = false, drawLine = false;
  } made_;
  bool invertedStairs_ = false;
  int bandHeight_ = 0;
  std::unique_ptr<TChartHiddenPen> outLine_;
  std::unique_ptr<TSeriesPointer> pointer_;
  std::unique_ptr<TUloShadow> shadow_;
  TCustomSeriesStack stacked_ = TCustomSeriesStack::cssNone;
  bool stairs_ = false;
  int transparency_ = 0;
  std::unique_ptr<TUloGradient> gradient_;
  TUloStoredParts storedParts_;

  // Drawing state of the running pass.
  int oldX_ = 0, oldY_ = 0;
  TColor oldColor_ = clNone;
  int oldIndex_ = -1;
  int originPos_ = 0, oldOriginPos_ = 0;
  double slopeRatio_ = 1;
  // The shadow pass: offsets of every position, one colour, no markers.
  int offsetX_ = 0, offsetY_ = 0;
  TColor passColor_ = clNone;
  // The outline pass: the line pen's width and colour for this pass.
  int passPenWidth_ = 0;
  TColor passPenColor_ = clNone;
  bool hidePointer_ = false;
};

// ---- the members -------------------------------------------------------------

// Markers only.
class TPointSeries : public TCustomSeries {
public:
  TPointSeries();

  std::string_view ClassName() const override { return "TPointSeries"; }
  std::string GetEditor() const override;
  void Assign(const TCustomChartElement &source) override;
  // The pointer's transparency.
  int Transparency() const noexcept override;
  void SetTransparency(int value) override;
  void SetColorEachPoint(bool value) override;
  bool Allows3DPointerStyles() const override { return true; }
  void ListSubStyles(const TUloSubStyleCallback &callback) override;
  void ApplySubStyle(int index) override;
  void PrepareForGallery(bool enabled) override;

private:
  void FixSettings();
};

// Points joined by lines, without markers.
class TLineSeries : public TCustomSeries {
public:
  TLineSeries();
  std::string_view ClassName() const override { return "TLineSeries"; }
};

// The band under the line filled.
class TAreaSeries : public TCustomSeries {
public:
  TAreaSeries();
  std::string_view ClassName() const override { return "TAreaSeries"; }
};

// Registers the line, area, point and fast-line series in the gallery and
// with the class registry; the stop function removes them.
void StartSeriesUnit();
void StopSeriesUnit();
