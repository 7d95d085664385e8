// The series whose points lie on an X by Z grid and the 3D vector series:
// the grid base with its grid index (regular or irregular grids, generated
// values), the surface and water-fall series, the colour grid, the tower
// series, and 3D vectors with arrow heads.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "chart/foundation/UloShadow.h"
#include "chart/foundation/UloStoredParts.h"
#include "chart/series/UloSeries3D.h"

// Supplies the Y value of a generated grid position.
using TChartSurfaceGetY = std::function<double(TChartSeries *sender, int x, int z)>;

// ---- grid base ------------------------------------------------------------------------

class TCustom3DGridSeries : public TCustom3DPaletteSeries {
public:
  TCustom3DGridSeries();
  ~TCustom3DGridSeries() override;

  // ---- properties
  // False: X and Z are grid positions (rounded); true: the distinct X and
  // Z values in ascending order are the columns and rows.
  bool IrregularGrid() const noexcept { return irregularGrid_; }
  void SetIrregularGrid(bool value);
  // Columns and rows; rebuilt from the data by each grid-index build. A
  // change clears the points and generates new ones when there is a
  // source of values (OnGetYValue or sample mode).
  int NumXValues() const noexcept { return numXValues_; }
  void SetNumXValues(int value);
  int NumZValues() const noexcept { return numZValues_; }
  void SetNumZValues(int value);

  TChartSurfaceGetY OnGetYValue;

  // ---- the grid index (1-based; column 0 and row 0 hold -1)
  // The point at a grid position, or -1 (also for any position outside
  // the index).
  int GridIndex(int x, int z) const noexcept {
    if (x < 0 || z < 0 || x >= gridColumns_ || z >= gridRows_) return -1;
    return grid_[static_cast<size_t>(x) * static_cast<size_t>(gridRows_) + static_cast<size_t>(z)];
  }
  int GridColumns() const noexcept { return gridColumns_; }
  int GridRows() const noexcept { return gridRows_; }
  // (NumX + 1) x (NumZ + 1) entries, all -1.
  void ResizeGridIndex(int numX, int numZ);
  // Builds the index from the points FirstIndex on and stores the column
  // and row counts (without a repaint).
  void FillGridIndex(int firstIndex = 0);
  // The corners (X, Z), (X + step X, Z), (X + step X, Z + step Z),
  // (X, Z + step Z) into CornerIndex; false when one is missing.
  bool GetCellIndexes(int x, int z) noexcept;
  int CornerIndex(int corner) const noexcept { return corners_[static_cast<size_t>(corner)]; }
  // Direction from a cell's first corner to its opposite corner (+1 or -1).
  int CellStepX() const noexcept { return cellStepX_; }
  int CellStepZ() const noexcept { return cellStepZ_; }
  void SetCellSteps(int stepX, int stepZ) noexcept {
    cellStepX_ = stepX;
    cellStepZ_ = stepZ;
  }
  // While sample values are generated.
  bool SampleMode() const noexcept { return sampleMode_; }
  void SetSampleMode(bool value) noexcept { sampleMode_ = value; }

  // ---- values
  // A full NumX x NumZ grid of points at the integer positions, X fastest;
  // only with OnGetYValue or in sample mode.
  virtual void CreateValues(int numX, int numZ);
  virtual double GetYValue(int x, int z);

  // ---- the series base's operations
  void ClearPoints() override;
  void PrepareForDraw() override;
  void CopyAllPointsFrom(TChartSeries &source) override;
  // Sample values: a generated N x N grid.
  void AddRandomWalk(int numValues) override;
  int NumSampleValues() const override { return numXValues_; }
  // Only another grid series may feed a grid series.
  bool IsValidSourceOf(streaming::TStoredComponent *component) const override;
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string_view ClassName() const override { return "TCustom3DGridSeries"; }

private:
  void FillRegularGrid();
  void FillIrregularGrid();

  bool irregularGrid_ = false;
  int numXValues_ = 10;
  int numZValues_ = 10;
  int cellStepX_ = 1;
  int cellStepZ_ = 1;
  std::array<int, 4> corners_{-1, -1, -1, -1};
  bool sampleMode_ = false;
  std::vector<int> grid_;
  int gridColumns_ = 0;
  int gridRows_ = 0;
};

// ---- surface and water-fall ------------------------------------------------------------

class TSurfaceSeries : public TCustom3DGridSeries {
public:
  TSurfaceSeries();
  ~TSurfaceSeries() override;

  // ---- properties
  bool DotFrame() const noexcept { return dotFrame_; }
  // True also shows Pen and clears WireFrame.
  void SetDotFrame(bool value);
  bool FastBrush() const noexcept { return fastBrush_; }
  void SetFastBrush(bool value);
  bool HideCells() const noexcept { return hideCells_; }
  void SetHideCells(bool value);
  TChartBrush &SideBrush() noexcept { return *sideBrush_; }
  void SetSideBrush(const TBrush &value) { sideBrush_->Assign(value); }
  TChartHiddenPen &SideLines() noexcept { return *sideLines_; }
  void SetSideLines(const TPen &value) { sideLines_->Assign(value); }
  bool SmoothPalette() const noexcept { return smoothPalette_; }
  void SetSmoothPalette(bool value);
  // Percent, 0..100.
  int Transparency() const noexcept { return transparency_; }
  void SetTransparency(int value);
  bool WaterFall() const noexcept { return waterFall_; }
  void SetWaterFall(bool value);
  TChartPen &WaterLines() noexcept { return *waterLines_; }
  void SetWaterLines(const TPen &value) { waterLines_->Assign(value); }
  bool WireFrame() const noexcept { return wireFrame_; }
  // True also shows Pen and clears DotFrame.
  void SetWireFrame(bool value);

  // ---- drawing
  virtual void DrawCell(int x, int z);
  // The canvas' two-depth quadrilateral: points 0 and 1 at Z0, 2 and 3 at Z1.
  virtual void DrawPlane(std::span<const TPoint> points, int z0, int z1);
  // Whether the canvas draws whole surfaces in one call (ours does not).
  virtual bool CanvasDrawsSurface();
  virtual bool HasSides();

  // ---- the series base's operations
  void DrawVisiblePoints() override;
  void DrawPoint(int index) override;
  int PointAtPixel(int x, int y) override;
  void ListSubStyles(const TUloSubStyleCallback &callback) override;
  void ApplySubStyle(int index) override;
  void PrepareForGallery(bool enabled) override;
  std::string GetEditor() const override { return "TSurfaceSeriesEditor"; }
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string_view ClassName() const override { return "TSurfaceSeries"; }

protected:
  // The painter's order of the cells: steps, ranges and the alternate
  // column order; every walk over the grid uses it.
  // x runs from FirstX to LastX in direction DirX (nothing when LastX
  // lies behind FirstX); z likewise. The cell steps are set on the series.
  struct TCellOrder {
    int firstX = 1, lastX = 0, dirX = 1;
    int firstZ = 1, lastZ = 0, dirZ = 1;
  };
  TCellOrder CalcCellOrder();
  // The columns of Order in walk order (outside-in when alternate).
  std::vector<int> WalkColumns(const TCellOrder &order);
  // Calls Cell(x, z) for every cell in painter's order.
  void WalkCells(const std::function<void(int x, int z)> &cell);
  void DrawCells();
  void DrawSides(bool back);
  // One wall of the sides: through point Index0 (at depth Z0) and point
  // Index1 (at depth Z1) and their feet at pixel Y Bottom, in the brush and
  // pen DrawSides set up.
  virtual void DrawSideWall(int index0, int index1, int bottom, int z0, int z1);
  // Pen, brush and the per-drawing caches.
  void PrepareCanvas();
  // The pixel X and Y of point Index (before projection).
  TPoint CornerPoint(int index) const;
  // Whether the cell (x, z) has the corners it needs (two for water-fall
  // strips, four otherwise).
  bool CellComplete(int x, int z);

  bool singleColor_ = false;
  // The series-wide blend of a canvas that mixes a whole drawing back at
  // once; always null here, where every transparent cell mixes its own.
  TUloBlend *blend_ = nullptr;
  // Per drawing: the axes and the X and Y values.
  TChartAxis *hAxis_ = nullptr;
  TChartAxis *vAxis_ = nullptr;
  const double *xs_ = nullptr;
  const double *ys_ = nullptr;

private:
  bool dotFrame_ = false;
  bool fastBrush_ = false;
  bool hideCells_ = false;
  std::unique_ptr<TChartBrush> sideBrush_;
  std::unique_ptr<TChartHiddenPen> sideLines_;
  bool smoothPalette_ = false;
  int transparency_ = 0;
  bool waterFall_ = false;
  std::unique_ptr<TChartPen> waterLines_;
  bool wireFrame_ = false;
  TUloStoredParts storedParts_;
};

class TWaterFallSeries : public TSurfaceSeries {
public:
  TWaterFallSeries();
  void ListSubStyles(const TUloSubStyleCallback &callback) override;
  void ApplySubStyle(int index) override;
  std::string GetEditor() const override { return "TWaterFallEditor"; }
  void Assign(const TCustomChartElement &source) override;
  std::string_view ClassName() const override { return "TWaterFallSeries"; }
};

// ---- colour grid ------------------------------------------------------------------------

// The plane of a colour grid in 3D.
enum class TCanvas3DPlane { cpX, cpY, cpZ };

class TColorGridSeries : public TCustom3DGridSeries {
public:
  TColorGridSeries();
  ~TColorGridSeries() override;

  bool CenteredPoints() const noexcept { return centeredPoints_; }
  void SetCenteredPoints(bool value);
  TCanvas3DPlane DrawPlane3D() const noexcept { return drawPlane3D_; }
  void SetDrawPlane3D(TCanvas3DPlane value);
  TChartHiddenPen &Frame() noexcept { return *frame_; }
  void SetFrame(const TPen &value) { frame_->Assign(value); }
  int DrawPosition() const noexcept { return drawPosition_; }
  void SetDrawPosition(int value);
  bool SmoothBitmap() const noexcept { return smoothBitmap_; }
  void SetSmoothBitmap(bool value);
  int XGridEvery() const noexcept { return xGridEvery_; }
  void SetXGridEvery(int value);
  int ZGridEvery() const noexcept { return zGridEvery_; }
  void SetZGridEvery(int value);
  int Transparency() const noexcept { return transparency_; }
  void SetTransparency(int value);

  // The cell image of the last drawing of a regular grid: one pixel per
  // visible cell as the axes show them (row 0 at the top), white where no
  // cell is painted. Missing cells are never drawn, whatever their pixel
  // here: white cells stay white cells.
  const gdi::Bitmap *CellBitmap() const noexcept { return bitmap_.get(); }

  double MinX() override;
  double MaxX() override;
  double MinZ() override;
  double MaxZ() override;
  double MinY() override { return MinZ(); }
  double MaxY() override { return MaxZ(); }
  void DrawVisiblePoints() override;
  void ListSubStyles(const TUloSubStyleCallback &callback) override;
  void ApplySubStyle(int index) override;
  void PrepareForGallery(bool enabled) override;
  std::string GetEditor() const override { return "TColorGridEditor"; }
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string_view ClassName() const override { return "TColorGridSeries"; }

private:
  void DrawSmoothed(TCanvas3D &canvas, const TRect &area);

  bool centeredPoints_ = false;
  TCanvas3DPlane drawPlane3D_ = TCanvas3DPlane::cpZ;
  std::unique_ptr<TChartHiddenPen> frame_;
  int drawPosition_ = 0;
  bool smoothBitmap_ = false;
  int xGridEvery_ = 1;
  int zGridEvery_ = 1;
  int transparency_ = 0;
  std::unique_ptr<gdi::Bitmap> bitmap_;
  TUloStoredParts storedParts_;
};

// ---- vectors ------------------------------------------------------------------------------

class TVector3DSeries : public TCustom3DPaletteSeries {
public:
  TVector3DSeries();
  ~TVector3DSeries() override;

  int ArrowHeight() const noexcept { return arrowHeight_; }
  void SetArrowHeight(int value);
  int ArrowWidth() const noexcept { return arrowWidth_; }
  void SetArrowWidth(int value);
  TChartHiddenPen &StartArrow() noexcept { return *startArrow_; }
  void SetStartArrow(const TPen &value) { startArrow_->Assign(value); }
  TChartPen &EndArrow() noexcept { return *endArrow_; }
  void SetEndArrow(const TPen &value) { endArrow_->Assign(value); }
  TChartValueList &EndXValues() noexcept { return *endXValues_; }
  TChartValueList &EndYValues() noexcept { return *endYValues_; }
  TChartValueList &EndZValues() noexcept { return *endZValues_; }

  int AddVector(double x0, double y0, double z0, double x1, double y1, double z1, const std::string &label = {},
                TColor color = clDefault);

  double MaxX() override;
  double MinX() override;
  double MaxY() override;
  double MinY() override;
  double MaxZ() override;
  double MinZ() override;
  void DrawPoint(int index) override;
  void AddRandomWalk(int numValues) override;
  int NumSampleValues() const override { return 250; }
  bool IsValidSourceOf(streaming::TStoredComponent *component) const override;
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string_view ClassName() const override { return "TVector3DSeries"; }

private:
  int arrowHeight_ = 4;
  int arrowWidth_ = 4;
  std::unique_ptr<TChartHiddenPen> startArrow_;
  std::unique_ptr<TChartPen> endArrow_;
  TChartValueList *endXValues_ = nullptr; // owned by the series' value lists
  TChartValueList *endYValues_ = nullptr;
  TChartValueList *endZValues_ = nullptr;
  TUloStoredParts storedParts_;
};

// ---- towers -------------------------------------------------------------------------------

enum class TTowerStyle { tsCube, tsRectangle, tsCover, tsCylinder, tsArrow, tsCone, tsPyramid, tsSlantCube };

class TTowerSeries : public TCustom3DGridSeries {
public:
  TTowerSeries();

  bool Dark3D() const noexcept { return dark3D_; }
  void SetDark3D(bool value);
  double Origin() const noexcept { return origin_; }
  void SetOrigin(double value);
  int PercentDepth() const noexcept { return percentDepth_; }
  void SetPercentDepth(int value);
  int PercentWidth() const noexcept { return percentWidth_; }
  void SetPercentWidth(int value);
  TTowerStyle TowerStyle() const noexcept { return towerStyle_; }
  void SetTowerStyle(TTowerStyle value);
  int Transparency() const noexcept { return transparency_; }
  void SetTransparency(int value);
  bool UseOrigin() const noexcept { return useOrigin_; }
  void SetUseOrigin(bool value);

  // The pixel box of the tower of point Index: Left, Top, Right, Bottom
  // and the front and back depths.
  void CalcTowerBounds(int index, TRect &rect, int &front, int &back);

  double MinX() override;
  double MaxX() override;
  double MinZ() override;
  double MaxZ() override;
  void DrawVisiblePoints() override;
  int PointAtPixel(int x, int y) override;
  void DrawPointMark(int index, const std::string &text, TSeriesMarkPosition &position) override;
  void ListSubStyles(const TUloSubStyleCallback &callback) override;
  void ApplySubStyle(int index) override;
  void PrepareForGallery(bool enabled) override;
  std::string GetEditor() const override { return "TTowerSeriesEditor"; }
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string_view ClassName() const override { return "TTowerSeries"; }

private:
  // Calls Tower(index) for every present point in painter's order.
  void WalkTowers(const std::function<void(int index)> &tower);
  void DrawTower(int index);

  bool dark3D_ = true;
  double origin_ = 0;
  int percentDepth_ = 100;
  int percentWidth_ = 100;
  TTowerStyle towerStyle_ = TTowerStyle::tsCube;
  int transparency_ = 0;
  bool useOrigin_ = false;
  double halfWidth_ = 0.5;
  double halfDepth_ = 0.5;
};

// Registers the seven grid series on the gallery page "3D" in the gallery's
// order: "Surface", "Contour", "Water Fall", "Color Grid", "Vector 3D",
// "Tower", "Iso-Surface"; the stop function removes all seven.
void StartSurfaceUnit();
void StopSurfaceUnit();
