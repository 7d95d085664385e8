// The grid base and its grid index, and the surface and water-fall series.
#include "chart/series/UloSurfa.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProCo.h"
#include "chart/foundation/UloProcs.h"
#include "chart/foundation/UloShadow.h"
#include "chart/foundation/UloStoredParts.h"
#include "platform/rtl/Numbers.h"

namespace {

// A grid index larger than this many entries beyond a generous share per
// point is refused: one stray value far away must not take the process
// down with a huge allocation.
constexpr int64_t kGridEntriesFree = int64_t{1} << 24;
constexpr int64_t kGridEntriesPerPoint = 64;

// Rounded halves to even, or NaN when out of any grid's reach.
double GridRound(double v) noexcept {
  if (!std::isfinite(v) || std::fabs(v) > 1e15) return std::numeric_limits<double>::quiet_NaN();
  return rtl::RoundHalfEven(v);
}

} // namespace

// ---- grid base -------------------------------------------------------------------------

TCustom3DGridSeries::TCustom3DGridSeries() { TCustom3DGridSeries::ClearPoints(); }

TCustom3DGridSeries::~TCustom3DGridSeries() = default;

void TCustom3DGridSeries::SetIrregularGrid(bool value) { SetAndRepaint(irregularGrid_, value); }

void TCustom3DGridSeries::SetNumXValues(int value) {
  if (value == numXValues_) return;
  numXValues_ = value;
  ClearPoints();
  CreateValues(numXValues_, numZValues_);
}

void TCustom3DGridSeries::SetNumZValues(int value) {
  if (value == numZValues_) return;
  numZValues_ = value;
  ClearPoints();
  CreateValues(numXValues_, numZValues_);
}

void TCustom3DGridSeries::ResizeGridIndex(int numX, int numZ) {
  const int64_t cols = std::max(0, numX) + int64_t{1};
  const int64_t rows = std::max(0, numZ) + int64_t{1};
  const int64_t limit = kGridEntriesFree + kGridEntriesPerPoint * PointCount();
  if (cols * rows > limit) {
    // Refused: no cell can be drawn, but nothing else breaks.
    grid_.clear();
    gridColumns_ = gridRows_ = 0;
    return;
  }
  grid_.assign(static_cast<size_t>(cols * rows), -1);
  gridColumns_ = static_cast<int>(cols);
  gridRows_ = static_cast<int>(rows);
}

void TCustom3DGridSeries::FillGridIndex(int firstIndex) {
  (void)firstIndex; // the index always describes every point
  if (irregularGrid_)
    FillIrregularGrid();
  else
    FillRegularGrid();
}

void TCustom3DGridSeries::FillRegularGrid() {
  TChartValueList &xl = *XValues();
  TChartValueList &zl = ZValues();
  const double xMin = GridRound(xl.MinValue()), zMin = GridRound(zl.MinValue());
  const double xMax = GridRound(xl.MaxValue()), zMax = GridRound(zl.MaxValue());
  if (std::isnan(xMin) || std::isnan(zMin) || std::isnan(xMax) || std::isnan(zMax) || xMax - xMin > INT32_MAX - 2 ||
      zMax - zMin > INT32_MAX - 2) {
    ResizeGridIndex(0, 0);
    numXValues_ = numZValues_ = 0;
    return;
  }
  const int numX = static_cast<int>(xMax - xMin) + 1;
  const int numZ = static_cast<int>(zMax - zMin) + 1;
  ResizeGridIndex(numX, numZ);
  if (gridColumns_ == 0) {
    numXValues_ = numZValues_ = 0;
    return;
  }
  const double *x = xl.Values();
  const double *z = zl.Values();
  const int n = PointCount();
  for (int i = 0; i < n; ++i) {
    const double cx = GridRound(x[i]) - xMin + 1, cz = GridRound(z[i]) - zMin + 1;
    // NaN positions fail both tests and are left out.
    if (!(cx >= 1 && cx < gridColumns_ && cz >= 1 && cz < gridRows_)) continue;
    grid_[static_cast<size_t>(cx) * static_cast<size_t>(gridRows_) + static_cast<size_t>(cz)] = i;
  }
  numXValues_ = numX;
  numZValues_ = numZ;
}

void TCustom3DGridSeries::FillIrregularGrid() {
  const double *x = XValues()->Values();
  const double *z = ZValues().Values();
  const int n = PointCount();
  // The distinct values in ascending order; a value that is not a number
  // has no place on any grid.
  std::vector<double> xs, zs;
  xs.reserve(static_cast<size_t>(n));
  zs.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    if (!std::isnan(x[i])) xs.push_back(x[i]);
    if (!std::isnan(z[i])) zs.push_back(z[i]);
  }
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  std::sort(zs.begin(), zs.end());
  zs.erase(std::unique(zs.begin(), zs.end()), zs.end());
  const int nx = static_cast<int>(xs.size()), nz = static_cast<int>(zs.size());
  ResizeGridIndex(std::max(numXValues_ + 1, nx), std::max(numZValues_ + 1, nz));
  if (gridColumns_ > 0) {
    for (int i = 0; i < n; ++i) {
      auto ix = std::lower_bound(xs.begin(), xs.end(), x[i]);
      auto iz = std::lower_bound(zs.begin(), zs.end(), z[i]);
      if (ix == xs.end() || *ix != x[i] || iz == zs.end() || *iz != z[i]) continue;
      const size_t col = static_cast<size_t>(ix - xs.begin()) + 1, row = static_cast<size_t>(iz - zs.begin()) + 1;
      grid_[col * static_cast<size_t>(gridRows_) + row] = i;
    }
  }
  numXValues_ = nx;
  numZValues_ = nz;
}

bool TCustom3DGridSeries::GetCellIndexes(int x, int z) noexcept {
  corners_[0] = GridIndex(x, z);
  corners_[1] = GridIndex(x + cellStepX_, z);
  corners_[2] = GridIndex(x + cellStepX_, z + cellStepZ_);
  corners_[3] = GridIndex(x, z + cellStepZ_);
  const int n = PointCount();
  for (int c : corners_)
    if (c < 0 || c >= n) return false;
  return true;
}

void TCustom3DGridSeries::CreateValues(int numX, int numZ) {
  if (!OnGetYValue && !sampleMode_) return;
  numXValues_ = numX;
  numZValues_ = numZ;
  struct RestoreStep {
    int saved = ValueListGrowStep;
    ~RestoreStep() { ValueListGrowStep = saved; }
  } restore;
  const int64_t total = int64_t{std::max(0, numX)} * std::max(0, numZ);
  ValueListGrowStep = static_cast<int>(std::clamp<int64_t>(total, 1, INT32_MAX));
  ClearPoints();
  {
    TSeriesUpdateGuard update(*this);
    for (int zz = 1; zz <= numZ; ++zz)
      for (int xx = 1; xx <= numX; ++xx)
        AddPointXYZ(xx, GetYValue(xx, zz), zz);
  }
  ValueListGrowStep = restore.saved;
  CreateDefaultPalette(0);
}

double TCustom3DGridSeries::GetYValue(int x, int z) {
  if (OnGetYValue) return OnGetYValue(this, x, z);
  if (sampleMode_) {
    const double a = std::cos(x / (numXValues_ * 0.2));
    const double b = std::cos(z / (numZValues_ * 0.2));
    return 0.5 * a * a + b * b - std::cos(z / (numZValues_ * 0.5));
  }
  return 0;
}

void TCustom3DGridSeries::ClearPoints() {
  TCustom3DPaletteSeries::ClearPoints();
  XValues()->SetOrder(TChartListOrder::loNone);
  ResizeGridIndex(numXValues_, numZValues_);
}

void TCustom3DGridSeries::PrepareForDraw() {
  TCustom3DPaletteSeries::PrepareForDraw();
  if (PointCount() > 0) FillGridIndex(0);
}

void TCustom3DGridSeries::CopyAllPointsFrom(TChartSeries &source) {
  if (auto *grid = dynamic_cast<TCustom3DGridSeries *>(&source)) {
    numXValues_ = grid->numXValues_;
    numZValues_ = grid->numZValues_;
  }
  TCustom3DPaletteSeries::CopyAllPointsFrom(source);
  FillGridIndex(0);
  Repaint();
}

void TCustom3DGridSeries::AddRandomWalk(int numValues) {
  if (numValues <= 0) return;
  const bool saved = sampleMode_;
  sampleMode_ = true;
  struct Restore {
    bool &field;
    bool value;
    ~Restore() { field = value; }
  } restore{sampleMode_, saved};
  CreateValues(numValues, numValues);
}

bool TCustom3DGridSeries::IsValidSourceOf(streaming::TStoredComponent *component) const {
  return dynamic_cast<TCustom3DGridSeries *>(component) != nullptr &&
         TCustom3DPaletteSeries::IsValidSourceOf(component);
}

void TCustom3DGridSeries::Assign(const TCustomChartElement &source) {
  if (auto *grid = dynamic_cast<const TCustom3DGridSeries *>(&source)) {
    numXValues_ = grid->numXValues_;
    numZValues_ = grid->numZValues_;
    irregularGrid_ = grid->irregularGrid_;
  }
  TCustom3DPaletteSeries::Assign(source);
}

void TCustom3DGridSeries::DefineProperties(streaming::TPropertyTable &table) {
  TCustom3DPaletteSeries::DefineProperties(table);
  table.Property("IrregularGrid", this, &TCustom3DGridSeries::IrregularGrid, &TCustom3DGridSeries::SetIrregularGrid,
                 false);
  // Read into the fields: the setters would clear the points read before.
  table.Property(
      "NumXValues", [this] { return numXValues_; }, [this](int v) { numXValues_ = v; }, 10);
  table.Property(
      "NumZValues", [this] { return numZValues_; }, [this](int v) { numZValues_ = v; }, 10);
}

// ---- surface: settings -------------------------------------------------------------------

TSurfaceSeries::TSurfaceSeries() {
  SetCellSteps(-1, -1);
  auto changed = [this] { Repaint(); };
  sideBrush_ = std::make_unique<TChartBrush>(changed);
  sideBrush_->SetStyle(TBrushStyle::bsClear);
  sideLines_ = std::make_unique<TChartHiddenPen>(changed);
  waterLines_ = std::make_unique<TChartPen>(changed);
}

TSurfaceSeries::~TSurfaceSeries() = default;

void TSurfaceSeries::SetDotFrame(bool value) {
  if (value) {
    Pen().SetVisible(true);
    wireFrame_ = false;
  }
  SetAndRepaint(dotFrame_, value);
}

void TSurfaceSeries::SetWireFrame(bool value) {
  if (value) {
    Pen().SetVisible(true);
    dotFrame_ = false;
  }
  SetAndRepaint(wireFrame_, value);
}

// Our canvas sets a brush colour without making a new brush whatever this
// says: the switch is kept and stored, with the same pixels either way.
void TSurfaceSeries::SetFastBrush(bool value) { SetAndRepaint(fastBrush_, value); }
void TSurfaceSeries::SetHideCells(bool value) { SetAndRepaint(hideCells_, value); }
void TSurfaceSeries::SetSmoothPalette(bool value) { SetAndRepaint(smoothPalette_, value); }
void TSurfaceSeries::SetTransparency(int value) { SetAndRepaint(transparency_, std::clamp(value, 0, 100)); }
void TSurfaceSeries::SetWaterFall(bool value) { SetAndRepaint(waterFall_, value); }

bool TSurfaceSeries::HasSides() { return sideBrush_->Style() != TBrushStyle::bsClear || sideLines_->Visible(); }

bool TSurfaceSeries::CanvasDrawsSurface() {
  TCustomAxisPanel *chart = ParentChart();
  return chart && chart->Canvas().CapabilityFlagA();
}

void TSurfaceSeries::Assign(const TCustomChartElement &source) {
  if (auto *s = dynamic_cast<const TSurfaceSeries *>(&source)) {
    dotFrame_ = s->dotFrame_;
    hideCells_ = s->hideCells_;
    sideBrush_->Assign(*s->sideBrush_);
    sideLines_->Assign(*s->sideLines_);
    smoothPalette_ = s->smoothPalette_;
    transparency_ = s->transparency_;
    waterLines_->Assign(*s->waterLines_);
    wireFrame_ = s->wireFrame_;
  }
  TCustom3DGridSeries::Assign(source);
}

void TSurfaceSeries::ListSubStyles(const TUloSubStyleCallback &callback) {
  TCustom3DGridSeries::ListSubStyles(callback);
  callback(UloProSubStyleWireframe);
  callback(UloProSubStyleDotFrame);
  callback(UloMsgStyleSides);
  callback(UloMsgStyleNoBorder);
}

void TSurfaceSeries::ApplySubStyle(int index) {
  switch (index) {
  case 2:
    SetWireFrame(true);
    break;
  case 3:
    SetDotFrame(true);
    break;
  case 4:
    sideBrush_->SetStyle(TBrushStyle::bsSolid);
    break;
  case 5:
    Pen().SetVisible(false);
    break;
  default:
    TCustom3DGridSeries::ApplySubStyle(index);
  }
}

void TSurfaceSeries::PrepareForGallery(bool enabled) {
  TCustom3DGridSeries::PrepareForGallery(enabled);
  SetSampleMode(true);
  CreateValues(10, 10);
}

void TSurfaceSeries::DefineProperties(streaming::TPropertyTable &table) {
  TCustom3DGridSeries::DefineProperties(table);
  table.Property("DotFrame", this, &TSurfaceSeries::DotFrame, &TSurfaceSeries::SetDotFrame, false);
  table.Property("FastBrush", this, &TSurfaceSeries::FastBrush, &TSurfaceSeries::SetFastBrush, false);
  table.Property("HideCells", this, &TSurfaceSeries::HideCells, &TSurfaceSeries::SetHideCells, false);
  table.Object("SideBrush", storedParts_.Get("SideBrush", [this](streaming::TPropertyTable &t) {
    DefineChartBrush(t, *sideBrush_, clDefault, TBrushStyle::bsClear);
  }));
  table.Object("SideLines",
               storedParts_.Get("SideLines", [this](streaming::TPropertyTable &t) { DefineChartPen(t, *sideLines_); }));
  table.Property("SmoothPalette", this, &TSurfaceSeries::SmoothPalette, &TSurfaceSeries::SetSmoothPalette, false);
  table.Property("Transparency", this, &TSurfaceSeries::Transparency, &TSurfaceSeries::SetTransparency, 0);
  table.Object("WaterLines", storedParts_.Get("WaterLines", [this](streaming::TPropertyTable &t) {
    DefineChartPen(t, *waterLines_);
  }));
  table.Property("WireFrame", this, &TSurfaceSeries::WireFrame, &TSurfaceSeries::SetWireFrame, false);
}

// ---- surface: the cell walk ---------------------------------------------------------------

TSurfaceSeries::TCellOrder TSurfaceSeries::CalcCellOrder() {
  TCellOrder o;
  const int nx = NumXValues(), nz = NumZValues();
  int stepZ;
  if (DrawCellsForward()) {
    stepZ = 1;
    o.firstZ = 1;
    o.lastZ = WaterFall() ? nz : nz - 1;
  } else {
    stepZ = -1;
    o.firstZ = nz;
    o.lastZ = WaterFall() ? 1 : 2;
  }
  o.dirZ = stepZ;
  int stepX;
  if (DrawPointsAscending()) {
    stepX = -1;
    o.firstX = 2;
    o.lastX = nx;
    o.dirX = 1;
  } else {
    stepX = 1;
    o.firstX = nx - 1;
    o.lastX = 1;
    o.dirX = -1;
  }
  SetCellSteps(stepX, stepZ);
  return o;
}

std::vector<int> TSurfaceSeries::WalkColumns(const TCellOrder &order) {
  std::vector<int> cols;
  for (int x = order.firstX; order.dirX > 0 ? x <= order.lastX : x >= order.lastX; x += order.dirX)
    cols.push_back(x);
  TCustomAxisPanel *chart = ParentChart();
  if (!chart || chart->Canvas().CapabilityFlagA()) return cols;
  const TView3DOptions &view = chart->View3DOptions();
  const int rotation = ((view.Rotation() % 360) + 360) % 360;
  if (!(view.Perspective() > 0 && (rotation == 0 || rotation == 180))) return cols;
  // From both ends inwards, each column once.
  std::vector<int> alternate;
  alternate.reserve(cols.size());
  for (size_t i = 0, j = cols.size(); i < j;) {
    alternate.push_back(cols[i++]);
    if (i < j) alternate.push_back(cols[--j]);
  }
  return alternate;
}

void TSurfaceSeries::WalkCells(const std::function<void(int x, int z)> &cell) {
  const TCellOrder order = CalcCellOrder();
  const std::vector<int> cols = WalkColumns(order);
  for (int x : cols)
    for (int z = order.firstZ; order.dirZ > 0 ? z <= order.lastZ : z >= order.lastZ; z += order.dirZ)
      cell(x, z);
}

bool TSurfaceSeries::CellComplete(int x, int z) {
  if (!WaterFall()) return GetCellIndexes(x, z);
  const int a = GridIndex(x, z), b = GridIndex(x + CellStepX(), z), n = PointCount();
  return a >= 0 && b >= 0 && a < n && b < n;
}

void TSurfaceSeries::DrawCells() {
  TCustomAxisPanel *chart = ParentChart();
  const int rotation = ((chart->View3DOptions().Rotation() % 360) + 360) % 360;
  const bool band = rotation > 150 && rotation < 210;
  if (!(hideCells_ && (rotation < 30 || rotation > 330 || band))) {
    WalkCells([this](int x, int z) { DrawCell(x, z); });
    return;
  }
  // Only complete cells take part; their order is by the first corner's Z.
  struct Entry {
    int x, z;
    double key;
  };
  std::vector<Entry> cells;
  const double *zs = ZValues().Values();
  WalkCells([&](int x, int z) {
    if (CellComplete(x, z)) cells.push_back({x, z, zs[GridIndex(x, z)]});
  });
  bool descending = !band;
  if (chart->DepthAxis()->Inverted()) descending = !descending;
  std::stable_sort(cells.begin(), cells.end(),
                   [descending](const Entry &a, const Entry &b) { return descending ? a.key > b.key : a.key < b.key; });
  for (const Entry &e : cells)
    DrawCell(e.x, e.z);
}

// ---- surface: drawing -------------------------------------------------------------------

TPoint TSurfaceSeries::CornerPoint(int index) const {
  return TPoint{hAxis_->CalcXPosValue(xs_[index]), vAxis_->CalcYPosValue(ys_[index])};
}

void TSurfaceSeries::PrepareCanvas() {
  TCanvas3D &canvas = ParentChart()->Canvas();
  canvas.ApplyPen(Pen());
  if (!Pen().Visible() && !wireFrame_ && !dotFrame_) canvas.Pen().SetStyle(TPenStyle::psClear);
  canvas.ApplyBrushColor(Brush(), SeriesColor());
  singleColor_ = (!UseColorRange() && !UsePalette()) || Brush().ExistingImage() != nullptr;
  if (wireFrame_ || dotFrame_) canvas.Brush().SetStyle(TBrushStyle::bsClear);
  canvas.SetBkMode(UloTransparentMode);
  hAxis_ = GetHorizAxis();
  vAxis_ = GetVertAxis();
  xs_ = XValues()->Values();
  ys_ = YValues()->Values();
}

void TSurfaceSeries::DrawVisiblePoints() {
  if (PointCount() == 0 || !ParentChart() || !GetHorizAxis() || !GetVertAxis()) return;
  // Our canvas never draws whole surfaces; the cell walk below is the one way.
  if (HasSides()) DrawSides(true);
  PrepareCanvas();
  DrawCells();
  if (HasSides()) DrawSides(false);
}

void TSurfaceSeries::DrawPoint(int index) {
  if (index < 0 || index >= PointCount() || !ParentChart()) return;
  PrepareCanvas();
  const double x = rtl::RoundHalfEven(XValues()->Value(index)), z = rtl::RoundHalfEven(ZValues().Value(index));
  if (!(std::fabs(x) < INT32_MAX && std::fabs(z) < INT32_MAX)) return;
  DrawCell(static_cast<int>(x), static_cast<int>(z));
}

void TSurfaceSeries::DrawCell(int x, int z) {
  if (!hAxis_ || !vAxis_) return;
  const int sx = CellStepX(), sz = CellStepZ();
  if (!CellComplete(x, z)) return;
  TCanvas3D &canvas = ParentChart()->Canvas();
  const bool strip = WaterFall();
  int idx[4];
  int corners;
  if (strip) {
    idx[0] = GridIndex(x, z);
    idx[1] = GridIndex(x + sx, z);
    corners = 2;
  } else {
    for (int k = 0; k < 4; ++k)
      idx[k] = CornerIndex(k);
    corners = 4;
  }
  // The colour corner: the lower column and, on a surface, the higher row,
  // so that a cell's colour does not depend on the view.
  const int colourIndex =
      strip ? GridIndex(std::min(x, x + sx), z) : GridIndex(std::min(x, x + sx), std::max(z, z + sz));
  if (colourIndex < 0) return;
  TColor colour = PointColor(colourIndex);
  if (colour == clNone) return;
  const int z0 = CalcZPos(idx[0]);
  const int z1 = strip ? z0 : CalcZPos(idx[3]);
  if (!singleColor_) {
    if (smoothPalette_) {
      double sum = 0;
      for (int k = 0; k < corners; ++k)
        sum += ys_[idx[k]];
      colour = GetValueColorValue(sum / corners);
    }
    if (wireFrame_)
      canvas.Pen().SetColor(colour);
    else if (canvas.Brush().Style() != TBrushStyle::bsClear)
      canvas.Brush().SetColor(colour);
  }
  TPoint p[4];
  for (int k = 0; k < corners; ++k)
    p[k] = CornerPoint(idx[k]);

  if (dotFrame_) {
    for (int k = 0; k < corners; ++k) {
      const int depth = k < 2 ? z0 : z1;
      canvas.SetPixelAt3D(p[k].X, p[k].Y, depth, PointColor(idx[k]));
    }
    return;
  }
  if (!strip) {
    if (transparency_ == 0) {
      DrawPlane(std::span<const TPoint>(p, 4), z0, z1);
      return;
    }
    const TPoint q[4] = {canvas.ProjectPoint(p[0].X, p[0].Y, z0), canvas.ProjectPoint(p[1].X, p[1].Y, z0),
                         canvas.ProjectPoint(p[2].X, p[2].Y, z1), canvas.ProjectPoint(p[3].X, p[3].Y, z1)};
    TUloBlend blend(canvas, PointsBoundingRect(std::span<const TPoint>(q, 4)));
    canvas.Polygon(q);
    blend.MixBack(transparency_);
    return;
  }
  const int bottom = vAxis_->IEndPos;
  if (!wireFrame_) {
    const TPoint s[4] = {p[0], p[1], {p[1].X, bottom}, {p[0].X, bottom}};
    if (transparency_ == 0) {
      canvas.PolygonAtDepth(s, z0);
    } else {
      TPoint q[4];
      for (int k = 0; k < 4; ++k)
        q[k] = canvas.ProjectPoint(s[k].X, s[k].Y, z0);
      TUloBlend blend(canvas, PointsBoundingRect(std::span<const TPoint>(q, 4)));
      canvas.Polygon(q);
      blend.MixBack(transparency_);
    }
  }
  canvas.LineAtDepth(p[0].X, p[0].Y, p[1].X, p[1].Y, z0);
  if (waterLines_->Visible()) {
    const TColor penColour = canvas.Pen().Color();
    canvas.ApplyPen(*waterLines_);
    canvas.LineAtDepth(p[0].X, p[0].Y, p[0].X, bottom, z0);
    canvas.LineAtDepth(p[1].X, p[1].Y, p[1].X, bottom, z0);
    canvas.ApplyPenColor(Pen(), wireFrame_ ? penColour : Pen().Color());
    if (!Pen().Visible() && !wireFrame_ && !dotFrame_) canvas.Pen().SetStyle(TPenStyle::psClear);
  }
}

void TSurfaceSeries::DrawPlane(std::span<const TPoint> points, int z0, int z1) {
  ParentChart()->Canvas().QuadTwoDepths(points[0], points[1], points[2], points[3], z0, z1);
}

int TSurfaceSeries::PointAtPixel(int x, int y) {
  if (PointCount() == 0 || !ParentChart() || !GetHorizAxis() || !GetVertAxis()) return -1;
  TCanvas3D &canvas = ParentChart()->Canvas();
  hAxis_ = GetHorizAxis();
  vAxis_ = GetVertAxis();
  xs_ = XValues()->Values();
  ys_ = YValues()->Values();
  FillGridIndex(0);
  // Front to back: the reverse of the painting order along Z.
  std::vector<std::pair<int, int>> cells;
  WalkCells([&](int cx, int cz) { cells.emplace_back(cx, cz); });
  std::stable_sort(cells.begin(), cells.end(), [this](const auto &a, const auto &b) {
    return CellStepZ() > 0 ? a.second > b.second : a.second < b.second;
  });
  const TPoint target{x, y};
  for (auto [cx, cz] : cells) {
    if (!GetCellIndexes(cx, cz)) continue;
    const int z0 = CalcZPos(CornerIndex(0)), z1 = CalcZPos(CornerIndex(3));
    TPoint q[4];
    for (int k = 0; k < 4; ++k) {
      const TPoint p = CornerPoint(CornerIndex(k));
      q[k] = canvas.ProjectPoint(p.X, p.Y, k < 2 ? z0 : z1);
    }
    if (PointInPolygon(target, q)) return CornerIndex(0);
  }
  return -1;
}

// ---- surface: sides ---------------------------------------------------------------------

void TSurfaceSeries::DrawSides(bool back) {
  TCustomAxisPanel *chart = ParentChart();
  TChartAxis *h = GetHorizAxis(), *v = GetVertAxis();
  if (!chart || !h || !v) return;
  TCanvas3D &canvas = chart->Canvas();
  hAxis_ = h;
  vAxis_ = v;
  xs_ = XValues()->Values();
  ys_ = YValues()->Values();

  const int nx = NumXValues(), nz = NumZValues();
  if (nx < 1 || nz < 1) return;
  canvas.ApplyBrush(*sideBrush_);
  canvas.ApplyPen(*sideLines_);
  if (!sideLines_->Visible()) canvas.Pen().SetStyle(TPenStyle::psClear);
  const int bottom = v->CalcYPosValue(v->Inverted() ? YValues()->MaxValue() : YValues()->MinValue());

  // Which sides of the chart box face the viewer: each triangle runs the
  // same way round its side's outward normal, and the canvas' back-facing
  // test answers true for a triangle whose outside is turned to us.
  const TRect &r = chart->ChartRect;
  const int depth = chart->HorizDepth;
  auto faces = [&](TPoint a3, int za, TPoint b3, int zb, TPoint c3, int zc) {
    const TPoint tri[3] = {canvas.ProjectPoint(a3.X, a3.Y, za), canvas.ProjectPoint(b3.X, b3.Y, zb),
                           canvas.ProjectPoint(c3.X, c3.Y, zc)};
    return IsBackFacingTriangle(std::span<const TPoint, 3>(tri));
  };
  const bool leftFaces = faces({r.Left, r.Top}, depth, {r.Left, r.Top}, 0, {r.Left, r.Bottom}, 0);
  const bool rightFaces = faces({r.Right, r.Top}, 0, {r.Right, r.Top}, depth, {r.Right, r.Bottom}, depth);
  const bool backFaces = faces({r.Right, r.Top}, EndZ, {r.Left, r.Top}, EndZ, {r.Left, r.Bottom}, EndZ);
  const bool frontFaces = faces({r.Left, r.Top}, 0, {r.Right, r.Top}, 0, {r.Right, r.Bottom}, 0);

  // A wall between two edge points and their feet; skipped when an edge
  // point is missing.
  auto wall = [&](int a, int b) {
    const int n = PointCount();
    if (a < 0 || b < 0 || a >= n || b >= n) return;
    DrawSideWall(a, b, bottom, CalcZPos(a), CalcZPos(b));
  };
  const int firstCol = h->Inverted() ? nx : 1, lastCol = h->Inverted() ? 1 : nx;
  if (leftFaces != back)
    for (int zz = nz; zz >= 2; --zz)
      wall(GridIndex(firstCol, zz), GridIndex(firstCol, zz - 1));
  if (rightFaces != back)
    for (int zz = nz; zz >= 2; --zz)
      wall(GridIndex(lastCol, zz), GridIndex(lastCol, zz - 1));
  const bool depthInverted = chart->DepthAxis()->Inverted();
  const int backRow = depthInverted ? 1 : nz, frontRow = depthInverted ? nz : 1;
  if (backFaces != back)
    for (int xx = 2; xx <= nx; ++xx)
      wall(GridIndex(xx, backRow), GridIndex(xx - 1, backRow));
  if (frontFaces != back) {
    for (int xx = 2; xx <= nx; ++xx)
      wall(GridIndex(xx, frontRow), GridIndex(xx - 1, frontRow));
    const int corner = GridIndex(nx, frontRow);
    if (corner >= 0 && corner < PointCount()) {
      const TPoint p = CornerPoint(corner);
      canvas.Pen().SetStyle(TPenStyle::psSolid);
      canvas.Pen().SetColor(clBlack);
      canvas.LineAtDepth(p.X, p.Y, p.X, bottom, CalcZPos(corner));
    }
  }
}

void TSurfaceSeries::DrawSideWall(int index0, int index1, int bottom, int z0, int z1) {
  const TPoint pa = CornerPoint(index0), pb = CornerPoint(index1);
  const TPoint3D q[4] = {{pa.X, pa.Y, z0}, {pb.X, pb.Y, z1}, {pb.X, bottom, z1}, {pa.X, bottom, z0}};
  ParentChart()->Canvas().Polygon3DPoints(q);
}

// ---- water-fall -----------------------------------------------------------------------------

TWaterFallSeries::TWaterFallSeries() { SetWaterFall(true); }

void TWaterFallSeries::ListSubStyles(const TUloSubStyleCallback &callback) {
  TSurfaceSeries::ListSubStyles(callback);
  callback(UloMsgStyleNoLines);
}

void TWaterFallSeries::ApplySubStyle(int index) {
  if (index == 6)
    WaterLines().SetVisible(false);
  else
    TSurfaceSeries::ApplySubStyle(index);
}

void TWaterFallSeries::Assign(const TCustomChartElement &source) {
  TSurfaceSeries::Assign(source);
  SetWaterFall(true);
}
