// The fast line: one polyline in one pen, no brush, marker or area. Points
// that fall on the last drawn pixel column can be skipped, and a newly added
// point can be drawn straight into the kept image without a repaint.
#pragma once

#include <string>
#include <vector>

#include "chart/series/Series.h"

class TFastLineSeries : public TCustomLineSeries {
public:
  TFastLineSeries();

  std::string_view ClassName() const override { return "TFastLineSeries"; }

  // ---- properties
  bool AutoRepaint() const noexcept { return autoRepaint_; }
  bool DrawAllPoints() const noexcept { return drawAllPoints_; }
  // Newly added segments take the line colour on the selected pen instead
  // of selecting the whole line pen.
  bool FastPen() const noexcept { return fastPen_; }
  bool IgnoreNulls() const noexcept { return ignoreNulls_; }
  bool InvertedStairs() const noexcept { return invertedStairs_; }
  TChartPen &LinePen() noexcept { return Pen(); }
  bool Stairs() const noexcept { return stairs_; }
  void SetAutoRepaint(bool value);
  void SetDrawAllPoints(bool value);
  void SetFastPen(bool value) noexcept { fastPen_ = value; }
  void SetIgnoreNulls(bool value);
  void SetInvertedStairs(bool value);
  void SetLinePen(const TChartPen &value) { Pen().Assign(value); }
  void SetStairs(bool value);

  // ---- overrides of the series base
  std::string GetEditor() const override;
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  void DrawVisiblePoints() override;
  void DrawPoint(int valueIndex) override;
  void AfterPointAdded(int valueIndex) override;
  int PointAtPixel(int x, int y) override;
  void DrawLegendShape(int valueIndex, const TRect &rect) override;
  void HorizMargins(int &leftMargin, int &rightMargin) override;
  void VertMargins(int &topMargin, int &bottomMargin) override;
  void SetSeriesColor(TColor value) override;
  void AddedToPanel() override;
  void ListSubStyles(const TUloSubStyleCallback &callback) override;
  void ApplySubStyle(int index) override;

private:
  void PenChanged();
  void PrepareCanvas(TCanvas3D &canvas, TColor color);
  void Position(int valueIndex, int &x, int &y) const;
  // Pen moves and lines of one drawing pass: collected into polyline runs
  // during a paint, straight to the canvas for one added point.
  void MoveToPos(int x, int y);
  void LineToPos(int x, int y);
  void FlushRun();
  void DrawOne(int valueIndex);
  // The steps of DrawOne after the column test, X already known.
  void DrawAt(int valueIndex, int x);
  // The canvas, axes and value arrays of one drawing pass.
  void BeginPass(TCanvas3D &canvas);
  // Draws the visible range through Canvas (a paint or the kept image).
  void DrawRange(TCanvas3D &canvas);

  bool autoRepaint_ = true;
  bool drawAllPoints_ = true;
  bool fastPen_ = false;
  bool ignoreNulls_ = true;
  bool invertedStairs_ = false;
  bool stairs_ = false;
  int lastX_ = 0, lastY_ = 0;

  // The running pass.
  TCanvas3D *canvas_ = nullptr;
  const TChartAxis *horizAxis_ = nullptr;
  const TChartAxis *vertAxis_ = nullptr;
  const double *xs_ = nullptr;
  const double *ys_ = nullptr;
  bool is3D_ = false;
  bool batching_ = false;
  std::vector<TPoint> run_;
  bool syncingColor_ = false;
  TUloStoredParts storedParts_;
};
