// Grid data cut into colour bands at the palette levels: every part of a
// cell whose Y lies between two consecutive palette values is filled with
// that band's colour, and the band borders can be outlined. In 2D it is a
// filled contour map of the X-Z plane; in 3D a banded surface, or a flat
// banded plane at a chosen height.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "chart/series/UloSurfa.h"

// A corner of a cell or of a band polygon: pixel position, depth and the
// value the bands are cut by.
struct TIsoVertex {
  double X = 0;
  double Y = 0;
  double Z = 0;
  double Value = 0;
};

// The part of the polygon whose value lies from Low to High, with the
// points where its edges cross a limit placed by linear interpolation.
// Out receives the polygon (fewer than three points: nothing of it).
void UloClipBand(std::span<const TIsoVertex> polygon, double low, double high, std::vector<TIsoVertex> &out);

// Calls Band(i, polygon) for every palette band that a polygon with these
// values reaches, from the band of its lowest value up: band i holds the
// values from the previous entry's UpToValue to its own, the first band
// everything below and the last everything above, so no value falls
// outside the palette.
void UloForEachBand(std::span<const TIsoVertex> polygon, const TUloPalette &palette, std::vector<TIsoVertex> &scratch,
                    const std::function<void(int band, std::span<const TIsoVertex> polygon)> &band);

class TIsoSurfaceSeries;

// The side walls of an iso-surface: the surface's side brush, whether the
// walls are cut into the palette bands too, and their outline.
class TSurfaceSides : public streaming::TPersistent {
public:
  explicit TSurfaceSides(TIsoSurfaceSeries &owner);
  ~TSurfaceSides() override;

  TChartBrush &Brush();
  bool Levels() const noexcept { return levels_; }
  void SetLevels(bool value);
  TChartHiddenPen &Pen() noexcept { return *pen_; }
  void SetPen(const TPen &value) { pen_->Assign(value); }

  void Assign(const TSurfaceSides &source);
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  TIsoSurfaceSeries &owner_;
  bool levels_ = true;
  std::unique_ptr<TChartHiddenPen> pen_;
  TUloStoredParts storedParts_;
};

class TIsoSurfaceSeries : public TSurfaceSeries {
public:
  TIsoSurfaceSeries();
  ~TIsoSurfaceSeries() override;

  // ---- properties
  TChartPen &BandPen() noexcept { return *bandPen_; }
  void SetBandPen(const TPen &value) { bandPen_->Assign(value); }
  TSurfaceSides &Sides() noexcept { return *sides_; }
  void SetSides(const TSurfaceSides &value) { sides_->Assign(value); }
  bool UseYPosition() const noexcept { return useYPosition_; }
  void SetUseYPosition(bool value) { SetAndRepaint(useYPosition_, value); }
  double YPosition() const noexcept { return yPosition_; }
  void SetYPosition(double value) { SetAndRepaint(yPosition_, value); }

  // ---- the surface's operations
  void DrawVisiblePoints() override;
  void DrawCell(int x, int z) override;
  bool CanvasDrawsSurface() override { return false; }
  bool HasSides() override;
  // With Sides.Levels the wall is cut into the palette bands too.
  void DrawSideWall(int index0, int index1, int bottom, int z0, int z1) override;
  // In 2D the vertical axis shows Z.
  double MaxY() override;
  double MinY() override;
  void PrepareForGallery(bool enabled) override;
  std::string GetEditor() const override { return "TIsoSurfaceEditor"; }
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string_view ClassName() const override { return "TIsoSurfaceSeries"; }

private:
  // The pixel position of point Index: in 3D at its depth (and at the flat
  // height with UseYPosition), in 2D with Z on the vertical axis.
  TIsoVertex Vertex(int index);
  void FillBand(std::span<const TIsoVertex> polygon, TColor color, const TBrush &brush);

  std::unique_ptr<TChartPen> bandPen_;
  std::unique_ptr<TSurfaceSides> sides_;
  bool useYPosition_ = false;
  double yPosition_ = 0;
  // Per drawing.
  bool is3D_ = false;
  int yPositionPixel_ = 0;
  bool bandTransparency_ = false;
  std::vector<TIsoVertex> scratch_, band_;
  std::vector<TPoint> points2D_;
  std::vector<TPoint3D> points3D_;
  TUloStoredParts storedParts_;
};
