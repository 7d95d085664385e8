// A cloud of points in the chart's 3D space: a marker at each point, an
// optional base line down to the bottom of the vertical axis and a line
// joining the drawn points in drawing order; and the bubble series, whose
// markers take their size from a radius per point.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/UloPointer.h"
#include "chart/foundation/UloPens.h"
#include "chart/foundation/UloStoredParts.h"
#include "chart/series/UloSeries3D.h"

class TPoint3DSeries;

using TSeriesClickPointer3DEvent = std::function<void(TPoint3DSeries *sender, int valueIndex, int x, int y)>;
using TOnGetPointerStyle = std::function<TSeriesPointerStyle(TChartSeries *sender, int valueIndex)>;

class TPoint3DSeries : public TCustom3DSeries {
public:
  TPoint3DSeries();
  ~TPoint3DSeries() override;

  // ---- properties
  TChartHiddenPen &BaseLine() noexcept { return *baseLine_; }
  void SetBaseLine(const TChartPen &value);
  double DepthSize() const noexcept { return depthSize_; }
  void SetDepthSize(double value);
  // The series pen: the connecting line is drawn with it.
  TChartPen &LinePen() { return Pen(); }
  void SetLinePen(const TChartPen &value) { Pen().Assign(value); }
  TSeriesPointer &Pointer() noexcept { return *pointer_; }
  void SetPointer(const TSeriesPointer &value);

  TSeriesClickPointer3DEvent OnClickPointer;
  TOnGetPointerStyle OnGetPointerStyle;

  // ---- depths of one point (written to StartZ, MiddleZ and EndZ)
  virtual void CalcZPositions(int valueIndex);
  virtual int DepthHalfSize(int valueIndex);
  virtual bool AllowsPointerStyles() const { return true; }
  // Marker half sizes of point ValueIndex, for drawing and the hit test.
  virtual void MarkerHalfSize(int valueIndex, int &horiz, int &vert);

  // ---- the series base's operations
  void SetParentChart(TCustomAxisPanel *value) override;
  void HorizMargins(int &leftMargin, int &rightMargin) override;
  void VertMargins(int &topMargin, int &bottomMargin) override;
  void ListSubStyles(const TUloSubStyleCallback &callback) override;
  void ApplySubStyle(int index) override;
  void DrawLegendShape(int index, const TRect &rect) override;
  void DrawPointMark(int index, const std::string &text, TSeriesMarkPosition &position) override;
  void DrawPoint(int valueIndex) override;
  void DrawVisiblePoints() override;
  double MaxZ() override;
  int PointAtPixel(int x, int y) override;
  // Sample points: X, Y and Z random integers below 100.
  void AddRandomWalk(int numValues) override;
  void PrepareForGallery(bool enabled) override;
  std::string GetEditor() const override { return "TPoint3DSeriesEditor"; }
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string_view ClassName() const override { return "TPoint3DSeries"; }

private:
  std::unique_ptr<TChartHiddenPen> baseLine_;
  double depthSize_ = 0;
  std::unique_ptr<TSeriesPointer> pointer_;
  // The last point drawn in the current pass; a pass starts without one.
  bool havePrevious_ = false;
  int previousX_ = 0;
  int previousY_ = 0;
  int previousZ_ = 0;
  TUloStoredParts storedParts_;
};

class TBubble3DSeries : public TPoint3DSeries {
public:
  TBubble3DSeries();
  ~TBubble3DSeries() override;

  TChartValueList &RadiusValues() noexcept { return *radiusValues_; }
  void SetRadiusValues(const TChartValueList &value);

  // Radius as the pending radius, then AddPointXYZLabelColor.
  int AddBubble(double x, double y, double z, double radius, const std::string &label = {}, TColor color = clDefault);

  void CalcZPositions(int valueIndex) override;
  int DepthHalfSize(int valueIndex) override;
  bool AllowsPointerStyles() const override { return false; }
  void MarkerHalfSize(int valueIndex, int &horiz, int &vert) override;
  double MaxY() override;
  double MinY() override;
  double MaxZ() override;
  double MinZ() override;
  // Points are copied only from another bubble series.
  bool IsValidSourceOf(streaming::TStoredComponent *component) const override;
  void AddRandomWalk(int numValues) override;
  void PrepareForGallery(bool enabled) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string_view ClassName() const override { return "TBubble3DSeries"; }

private:
  TChartValueList *radiusValues_ = nullptr; // owned by the series' value lists
};

// Registers "Point 3D" and "Bubble 3D" on the gallery page "3D"; the stop
// removes both.
void StartPoint3DUnit();
void StopPoint3DUnit();
