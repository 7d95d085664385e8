// The marker drawn at a series point: thirteen shapes, flat in 2D or as
// solids in 3D, with pen, brush, gradient, shadow and transparency; and the
// callout, a marker with an arrow line from a point to a place.
#pragma once

#include <memory>

#include "chart/engine/UloEngineTypes.h"
#include "chart/foundation/UloShape.h"

enum class TSeriesPointerStyle {
  psRectangle,
  psCircle,
  psTriangle,
  psDownTriangle,
  psCross,
  psDiagCross,
  psStar,
  psDiamond,
  psSmallDot,
  psNothing,
  psLeftTriangle,
  psRightTriangle,
  psHexagon
};

enum class TArrowHeadStyle { ahNone, ahLine, ahSolid };

class TSeriesPointer : public TUloCustomShapeBrushPen {
public:
  // Sets Visible and the value it is stored against (series kinds whose
  // pointer starts hidden or shown).
  void InitVisible(bool value) {
    SetVisible(value);
    defaultVisible_ = value;
  }

  // Series may be null (a pointer of its own, as callouts of annotations
  // have); the depths are then 0 and Chart gives the parent panel.
  explicit TSeriesPointer(TChartSeries *series = nullptr, TCustomUloPanel *chart = nullptr);
  ~TSeriesPointer() override;

  void Assign(const TUloCustomShapeBrushPen &source) override;

  // ---- settings
  bool Dark3D() const noexcept { return dark3D_; }
  void SetDark3D(bool value) { SetAndRepaint(dark3D_, value); }
  bool Draw3D() const noexcept { return draw3D_; }
  void SetDraw3D(bool value) { SetAndRepaint(draw3D_, value); }
  // Made on first read.
  TUloGradient &Gradient();
  TUloGradient *ExistingGradient() const noexcept { return gradient_.get(); }
  void SetGradient(const TUloGradient *value);
  int HorizSize() const noexcept { return horizSize_; }
  // Below 1 raises ChartException; the old size stays.
  void SetHorizSize(int value);
  int VertSize() const noexcept { return vertSize_; }
  void SetVertSize(int value);
  void SetSize(int value) {
    SetHorizSize(value);
    SetVertSize(value);
  }
  bool InflateMargins() const noexcept { return inflateMargins_; }
  void SetInflateMargins(bool value) { SetAndRepaint(inflateMargins_, value); }
  TUloShadow &Shadow() noexcept { return *shadow_; }
  void SetShadow(const TUloShadow &value);
  TSeriesPointerStyle Style() const noexcept { return style_; }
  void SetStyle(TSeriesPointerStyle value) { SetAndRepaint(style_, value); }
  // Percent, held to 0..100.
  int Transparency() const noexcept { return transparency_; }
  void SetTransparency(int value);
  TChartSeries *Series() const noexcept { return series_; }

  // ---- drawing
  // The marker of half sizes H and V centred on (X, Y) in Colour and
  // Style, through the canvas's current pen and brush (see PrepareCanvas).
  void DrawMarker(TCanvas3D &canvas, bool is3D, int x, int y, int h, int v, TColor colour, TSeriesPointerStyle style);
  // With the pointer's own style, sizes and brush colour, on the parent's
  // canvas (3D when the parent views in 3D).
  void Draw(int x, int y);
  void DrawAt(const TPoint &p) { Draw(p.X, p.Y); }
  void DrawColored(int x, int y, TColor colour) { DrawStyled(x, y, colour, style_); }
  void DrawStyled(int x, int y, TColor colour, TSeriesPointerStyle style);
  // A legend symbol centred in Rect: a third of its size with a line
  // through it, else half plus one, at most the pointer's half sizes.
  void DrawLegendShape(TColor colour, const TRect &rect, TSeriesPointerStyle style, bool withLine);
  // The pointer's pen and brush on the canvas for points of Colour.
  void PrepareCanvas(TUloCanvas &canvas, TColor colour);
  // Each margin at least HorizSize + 1 (VertSize + 1) when visible and
  // InflateMargins.
  void WidenHorizMargins(int &left, int &right) const;
  void WidenVertMargins(int &top, int &bottom) const;

  void DefineProperties(streaming::TPropertyTable &table) override;

protected:
  void SetSeries(TChartSeries *series) noexcept { series_ = series; }

private:
  // The pointer's depths: the owner series' StartZ, MiddleZ, EndZ or 0.
  void Depths(int &startZ, int &middleZ, int &endZ) const;
  void DrawShape(TCanvas3D &canvas, bool is3D, const TRect &box, int x, int y, TColor colour, TSeriesPointerStyle style,
                 int startZ, int middleZ, int endZ);

  TChartSeries *series_;
  bool dark3D_ = true;
  bool draw3D_ = true;
  std::unique_ptr<TUloGradient> gradient_;
  int horizSize_ = 4;
  bool inflateMargins_ = true;
  std::unique_ptr<TUloShadow> shadow_;
  TSeriesPointerStyle style_ = TSeriesPointerStyle::psRectangle;
  int transparency_ = 0;
  int vertSize_ = 4;
  bool defaultVisible_ = true;
};

// A pointer with an arrow from a point to a place.
class TCallout : public TSeriesPointer {
public:
  explicit TCallout(TChartSeries *series = nullptr, TCustomUloPanel *chart = nullptr);
  ~TCallout() override;

  void Assign(const TUloCustomShapeBrushPen &source) override;

  // White by default.
  TChartPen &Arrow() noexcept { return *arrow_; }
  void SetArrow(const TChartPen &value) { arrow_->Assign(value); }
  TArrowHeadStyle ArrowHead() const noexcept { return arrowHead_; }
  void SetArrowHead(TArrowHeadStyle value) { SetAndRepaint(arrowHead_, value); }
  int ArrowHeadSize() const noexcept { return arrowHeadSize_; }
  void SetArrowHeadSize(int value) { SetAndRepaint(arrowHeadSize_, value); }
  int Distance() const noexcept { return distance_; }
  void SetDistance(int value) { SetAndRepaint(distance_, value); }

  // The arrow from From to To (through Middle when Bent) at depth Z, and
  // with no arrow head the marker at From, all moved by the panel's
  // drawing offset.
  void Draw(TColor colour, TPoint from, bool bent, int z, TPoint to, TPoint middle);

  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  std::unique_ptr<TChartPen> arrow_;
  TArrowHeadStyle arrowHead_ = TArrowHeadStyle::ahNone;
  int arrowHeadSize_ = 8;
  int distance_ = 0;
};

// The callout of series marks: hidden by default, with a white arrow.
class TMarksCallout : public TCallout {
public:
  explicit TMarksCallout(TChartSeries *series = nullptr, TCustomUloPanel *chart = nullptr);

  void Assign(const TUloCustomShapeBrushPen &source) override;

  int Length() const noexcept { return length_; }
  void SetLength(int value) { SetAndRepaint(length_, value); }
  // Sets Length and the value it is stored against (kinds whose marks
  // start with another length).
  void InitLength(int value) noexcept { length_ = defaultLength_ = value; }

  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  int length_ = 8;
  int defaultLength_ = 8;
};
