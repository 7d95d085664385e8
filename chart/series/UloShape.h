// The shape series: two points span a rectangle in which one figure is
// drawn (rectangle, ellipse, lines, triangles, diamond, cube, crosses,
// star, pyramids) with optional text. The points are axis values, pixels,
// or an axis-placed corner with a size in pixels.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "chart/engine/UloSeries.h"
#include "chart/foundation/UloGradient.h"
#include "chart/foundation/UloPens.h"
#include "chart/foundation/UloStoredParts.h"

enum class TChartShapeStyle {
  chasRectangle,
  chasCircle,
  chasVertLine,
  chasHorizLine,
  chasTriangle,
  chasInvertTriangle,
  chasLine,
  chasDiamond,
  chasCube,
  chasCross,
  chasDiagCross,
  chasStar,
  chasPyramid,
  chasInvertPyramid
};

enum class TChartShapeXYStyle { xysPixels, xysAxis, xysAxisOrigin };

enum class TUloVertAlign { vaTop, vaCenter, vaBottom };

class TChartShape : public TChartSeries {
public:
  TChartShape();
  ~TChartShape() override;

  std::string_view ClassName() const override { return "TChartShape"; }

  // ---- properties
  TAlignment Alignment() const noexcept { return alignment_; }
  TUloFont &Font() noexcept { return *font_; }
  TUloGradient &Gradient() noexcept { return *gradient_; }
  bool RoundRectangle() const noexcept { return roundRectangle_; }
  TChartShapeStyle Style() const noexcept { return style_; }
  const std::vector<std::string> &Text() const noexcept { return text_; }
  int Transparency() const noexcept { return transparency_; }
  bool Transparent() const noexcept { return transparent_; }
  TUloVertAlign VertAlign() const noexcept { return vertAlign_; }
  TChartShapeXYStyle XYStyle() const noexcept { return xyStyle_; }
  void SetAlignment(TAlignment value) { SetAndRepaint(alignment_, value); }
  void SetFont(const TUloFont &value) { font_->Assign(value); }
  void SetGradient(const TUloGradient &value) { gradient_->Assign(value); }
  void SetRoundRectangle(bool value) { SetAndRepaint(roundRectangle_, value); }
  void SetStyle(TChartShapeStyle value) { SetAndRepaint(style_, value); }
  // Assigns the lines and repaints.
  virtual void SetText(const std::vector<std::string> &value);
  // Percent, held to 0..100.
  void SetTransparency(int value);
  void SetTransparent(bool value) { SetAndRepaint(transparent_, value); }
  void SetVertAlign(TUloVertAlign value) { SetAndRepaint(vertAlign_, value); }
  void SetXYStyle(TChartShapeXYStyle value) { SetAndRepaint(xyStyle_, value); }

  // The two points. Reading or writing the first pair adds (0, 0) points
  // until there is one, the second pair until there are two; a write
  // stores the value in place, marks the points as stored data and
  // repaints.
  double X0();
  double Y0();
  double X1();
  double Y1();
  void SetX0(double value) { SetCoordinate(0, true, value); }
  void SetY0(double value) { SetCoordinate(0, false, value); }
  void SetX1(double value) { SetCoordinate(1, true, value); }
  void SetY1(double value) { SetCoordinate(1, false, value); }

  // ---- drawing
  // The pixel rectangle of the two points as XYStyle reads them, in the
  // points' order (not put in order).
  virtual TRect GetShapeRect();
  // GetShapeRect put in order and at least one pixel wide and high.
  TRect OrderedShapeRect();
  void DrawShape(bool is3D, const TRect &rect);
  void DrawText(const TRect &rect);

  // ---- overrides of the series base
  std::string GetEditor() const override { return "TChartShapeEditor"; }
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  void SetSeriesColor(TColor value) override;
  void AddedToPanel() override;
  bool IsAxisBased() const override { return xyStyle_ != TChartShapeXYStyle::xysPixels; }
  void TakeZOrder() override;
  bool CanShareZOrder() const override { return false; }
  bool IsValidSourceOf(streaming::TStoredComponent *component) const override;
  // Both points are always drawn as one figure, wherever the axes are.
  void CalcVisibleRange() override;
  void DrawPoint(int valueIndex) override;
  // 0 when the figure is hit, else -1.
  int PointAtPixel(int x, int y) override;
  void DrawLegendShape(int valueIndex, const TRect &rect) override;
  void ListSubStyles(const TUloSubStyleCallback &callback) override;
  void ApplySubStyle(int index) override;
  void PrepareForGallery(bool enabled) override;
  int NumSampleValues() const override { return 2; }
  void AddRandomWalk(int numValues) override;

private:
  void EnsurePoints(int count);
  void SetCoordinate(int index, bool isX, double value);
  void DrawFigure(TCanvas3D &canvas, bool is3D, const TRect &r);

  TAlignment alignment_ = TAlignment::taCenter;
  std::unique_ptr<TUloFont> font_;
  std::unique_ptr<TUloGradient> gradient_;
  bool roundRectangle_ = false;
  TChartShapeStyle style_ = TChartShapeStyle::chasCircle;
  std::vector<std::string> text_;
  int transparency_ = 0;
  bool transparent_ = false;
  TUloVertAlign vertAlign_ = TUloVertAlign::vaCenter;
  TChartShapeXYStyle xyStyle_ = TChartShapeXYStyle::xysAxis;
  TUloStoredParts storedParts_;
};

// Registers the shape series in the gallery ("Shape", page "Standard", two
// sample series) and with the class registry; the stop function removes it.
void StartShapeUnit();
void StopShapeUnit();
