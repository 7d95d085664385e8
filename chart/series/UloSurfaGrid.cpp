// The colour grid series: grid data as a flat map of coloured cells.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProCo.h"
#include "chart/foundation/UloShadow.h"
#include "chart/series/UloSurfa.h"
#include "platform/rtl/Numbers.h"

TColorGridSeries::TColorGridSeries() {
  frame_ = std::make_unique<TChartHiddenPen>([this] { Repaint(); });
  Marks().Callout().InitLength(0);
}

TColorGridSeries::~TColorGridSeries() = default;

void TColorGridSeries::SetCenteredPoints(bool value) { SetAndRepaint(centeredPoints_, value); }
void TColorGridSeries::SetDrawPlane3D(TCanvas3DPlane value) { SetAndRepaint(drawPlane3D_, value); }
void TColorGridSeries::SetDrawPosition(int value) { SetAndRepaint(drawPosition_, value); }
void TColorGridSeries::SetSmoothBitmap(bool value) { SetAndRepaint(smoothBitmap_, value); }
void TColorGridSeries::SetXGridEvery(int value) { SetAndRepaint(xGridEvery_, value); }
void TColorGridSeries::SetZGridEvery(int value) { SetAndRepaint(zGridEvery_, value); }
void TColorGridSeries::SetTransparency(int value) { SetAndRepaint(transparency_, std::clamp(value, 0, 100)); }

// ---- extents: X along the horizontal axis, Z along the vertical one ----------------------

double TColorGridSeries::MinX() { return XValues()->MinValue() - (centeredPoints_ ? 0.5 : 0); }

double TColorGridSeries::MaxX() {
  const double m = XValues()->MaxValue();
  if (centeredPoints_) return IrregularGrid() ? m - 0.5 : m + 0.5;
  return IrregularGrid() ? m : m + 1;
}

double TColorGridSeries::MinZ() { return ZValues().MinValue() - (centeredPoints_ ? 0.5 : 0); }

double TColorGridSeries::MaxZ() {
  const double m = ZValues().MaxValue();
  if (centeredPoints_) return IrregularGrid() ? m - 0.5 : m + 0.5;
  return IrregularGrid() ? m : m + 1;
}

// ---- drawing --------------------------------------------------------------------------------

namespace {

// One visible cell: its pixel rectangle (X along the horizontal axis, Z
// along the vertical one) and its colour.
struct TCell {
  TRect rect;
  TColor colour;
};

} // namespace

void TColorGridSeries::DrawVisiblePoints() {
  TCustomAxisPanel *chart = ParentChart();
  TChartAxis *h = GetHorizAxis(), *v = GetVertAxis();
  if (!chart || !h || !v || PointCount() == 0 || NumXValues() < 1 || NumZValues() < 1) return;
  TCanvas3D &canvas = chart->Canvas();
  const double *xs = XValues()->Values();
  const double *zs = ZValues().Values();
  const double half = centeredPoints_ ? 0.5 : 0;
  const int nx = NumXValues(), nz = NumZValues();
  const bool regular = !IrregularGrid();

  // The visible columns and rows of a regular grid, from the axes' pixel
  // ends; a column is Round(value) - XMin + 1 as in the grid index.
  int firstCol = 1, lastCol = nx, firstRow = 1, lastRow = nz;
  double xMin = 0, zMin = 0;
  if (regular) {
    xMin = rtl::RoundHalfEven(XValues()->MinValue());
    zMin = rtl::RoundHalfEven(ZValues().MinValue());
    auto limit = [](double value, double origin, int count) {
      const double c = rtl::RoundHalfEven(value) - origin + 1;
      return static_cast<int>(std::clamp(std::isnan(c) ? 1.0 : c, 1.0, static_cast<double>(count)));
    };
    const double a = h->CalcPosPoint(h->IStartPos), b = h->CalcPosPoint(h->IEndPos);
    const double c = v->CalcPosPoint(v->IStartPos), d = v->CalcPosPoint(v->IEndPos);
    firstCol = limit(std::min(a, b) - 1, xMin, nx);
    lastCol = limit(std::max(a, b) + 1, xMin, nx);
    firstRow = limit(std::min(c, d) - 1, zMin, nz);
    lastRow = limit(std::max(c, d) + 1, zMin, nz);
  }

  // The cells, from each point's own X and Z to the next column's and row's
  // (a regular grid's next position is one unit on).
  std::vector<TCell> cells;
  TRect area{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  const bool paint = Brush().Style() != TBrushStyle::bsClear;
  auto widen = [&area](const TRect &r) {
    area = {std::min(area.Left, r.Left), std::min(area.Top, r.Top), std::max(area.Right, r.Right),
            std::max(area.Bottom, r.Bottom)};
  };
  bool complete = false;
  bool ordered = false; // cells come row by row, each row left to right
  if (regular) {
    // Edges once per column and row; the cells then in the order the image
    // shows them, which is also the order runs of one colour merge in.
    const int w = lastCol - firstCol + 1, hgt = lastRow - firstRow + 1;
    std::vector<int> colEdge(static_cast<size_t>(w) + 1), rowEdge(static_cast<size_t>(hgt) + 1);
    for (int k = 0; k <= w; ++k)
      colEdge[static_cast<size_t>(k)] = h->CalcXPosValue(xMin + firstCol + k - 1 - half);
    for (int k = 0; k <= hgt; ++k)
      rowEdge[static_cast<size_t>(k)] = v->CalcYPosValue(zMin + firstRow + k - 1 - half);
    if (!bitmap_ || bitmap_->Width() != w || bitmap_->Height() != hgt) bitmap_ = std::make_unique<gdi::Bitmap>(w, hgt);
    bitmap_->Fill(clWhite);
    const bool up = !v->Inverted(), right = !h->Inverted();
    cells.reserve(static_cast<size_t>(w) * static_cast<size_t>(hgt));
    for (int j = 0; j < hgt; ++j) {
      const int r = up ? hgt - 1 - j : j; // row offset from FirstRow
      const int top = std::min(rowEdge[static_cast<size_t>(r)], rowEdge[static_cast<size_t>(r) + 1]);
      const int bottom = std::max(rowEdge[static_cast<size_t>(r)], rowEdge[static_cast<size_t>(r) + 1]);
      for (int i = 0; i < w; ++i) {
        const int c = right ? i : w - 1 - i; // column offset from FirstCol
        const TRect cell{std::min(colEdge[static_cast<size_t>(c)], colEdge[static_cast<size_t>(c) + 1]), top,
                         std::max(colEdge[static_cast<size_t>(c)], colEdge[static_cast<size_t>(c) + 1]), bottom};
        widen(cell);
        const int index = GridIndex(firstCol + c, firstRow + r);
        if (index < 0 || !paint) continue;
        const TColor colour = PointColor(index);
        if (colour == clNone) continue;
        bitmap_->SetPixel(i, j, colour);
        cells.push_back({cell, colour});
      }
    }
    complete = paint && static_cast<int64_t>(cells.size()) == int64_t{w} * hgt;
    ordered = true;
  } else {
    for (int col = 1; col < nx; ++col)
      for (int row = 1; row < nz; ++row) {
        const int i = GridIndex(col, row);
        const int right = GridIndex(col + 1, row), up = GridIndex(col, row + 1);
        // A cell needs its right and upper neighbours to know its size.
        if (i < 0 || right < 0 || up < 0) continue;
        TRect r{h->CalcXPosValue(xs[i] - half), v->CalcYPosValue(zs[up] - half), h->CalcXPosValue(xs[right] - half),
                v->CalcYPosValue(zs[i] - half)};
        if (r.Left > r.Right) std::swap(r.Left, r.Right);
        if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
        widen(r);
        if (!paint) continue;
        const TColor colour = PointColor(i);
        if (colour == clNone) continue;
        cells.push_back({r, colour});
      }
  }
  if (area.Left > area.Right) return;

  const bool view3D = chart->View3D();
  int position = 0;
  int plane = 0;
  if (view3D) {
    switch (drawPlane3D_) {
    case TCanvas3DPlane::cpX:
      plane = 1;
      position = (h->IStartPos + h->IEndPos) / 2 + drawPosition_;
      break;
    case TCanvas3DPlane::cpY:
      plane = 2;
      position = (v->IStartPos + v->IEndPos) / 2 + drawPosition_;
      break;
    case TCanvas3DPlane::cpZ:
      position = MiddleZ + drawPosition_;
      break;
    }
  }
  // A point of the map (X pixel, Y pixel) on the chosen plane: on the
  // X plane the map's X runs in depth, on the Y plane its Y does.
  // A point of the map (X pixel, Y pixel) on the chosen plane. On the X
  // and Y planes the map's other direction is laid into the chart's depth,
  // its axis span scaled to the depth, so that the map stays in the box.
  const double depth = chart->HorizDepth;
  auto into = [depth](int pixel, int from, int size) {
    return size == 0 ? 0 : rtl::RoundPixel((pixel - from) * depth / size);
  };
  auto onPlane = [&](int x, int y) -> TPoint3D {
    switch (plane) {
    case 1:
      return {position, y, into(x, h->IStartPos, h->IAxisSize)};
    case 2:
      return {x, position, -into(y, v->IEndPos, v->IAxisSize)};
    default:
      return {x, y, position};
    }
  };
  auto quad = [&](const TRect &r) {
    const TPoint3D q[4] = {onPlane(r.Left, r.Top), onPlane(r.Right, r.Top), onPlane(r.Right, r.Bottom),
                           onPlane(r.Left, r.Bottom)};
    canvas.Polygon3DPoints(q);
  };

  std::unique_ptr<TUloBlend> blend;
  if (transparency_ > 0)
    blend = canvas.BeginTransparentDrawing(view3D ? canvas.ProjectedRectBounds(area, position) : area, transparency_);

  canvas.Pen().SetStyle(TPenStyle::psClear);
  canvas.Brush().SetStyle(TBrushStyle::bsSolid);
  if (!view3D && smoothBitmap_ && complete && bitmap_->Width() * bitmap_->Height() > 1 &&
      int64_t{area.Right - area.Left} * (area.Bottom - area.Top) <= (int64_t{1} << 24)) {
    DrawSmoothed(canvas, area);
  } else if (!view3D) {
    // Runs of equal colour along a row fill as one rectangle.
    if (!ordered)
      std::stable_sort(cells.begin(), cells.end(), [](const TCell &a, const TCell &b) {
        return a.rect.Top != b.rect.Top ? a.rect.Top < b.rect.Top : a.rect.Left < b.rect.Left;
      });
    for (size_t k = 0; k < cells.size();) {
      TRect r = cells[k].rect;
      const TColor colour = cells[k].colour;
      size_t j = k + 1;
      while (j < cells.size() && cells[j].colour == colour && cells[j].rect.Top == r.Top &&
             cells[j].rect.Bottom == r.Bottom && cells[j].rect.Left == r.Right) {
        r.Right = cells[j].rect.Right;
        ++j;
      }
      canvas.Brush().SetColor(colour);
      canvas.FillRect(r);
      k = j;
    }
  } else {
    for (const TCell &c : cells) {
      canvas.Brush().SetColor(c.colour);
      quad(c.rect);
    }
  }

  // Grid lines every XGridEvery-th column and ZGridEvery-th row.
  if (Pen().Visible()) {
    canvas.ApplyPen(Pen());
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    auto line = [&](int x0, int y0, int x1, int y1) {
      const TPoint3D a = onPlane(x0, y0), b = onPlane(x1, y1);
      canvas.MoveToAtDepth(a.X, a.Y, a.Z);
      canvas.LineToAtDepth(b.X, b.Y, b.Z);
    };
    const int everyX = std::max(1, xGridEvery_), everyZ = std::max(1, zGridEvery_);
    auto columnValue = [&](int col) {
      if (regular) return xMin + col - 1 - half;
      const int i = GridIndex(col, 1) >= 0 ? GridIndex(col, 1) : -1;
      return i >= 0 ? xs[i] - half : std::nan("");
    };
    auto rowValue = [&](int row) {
      if (regular) return zMin + row - 1 - half;
      const int i = GridIndex(1, row) >= 0 ? GridIndex(1, row) : -1;
      return i >= 0 ? zs[i] - half : std::nan("");
    };
    for (int col = firstCol; col <= (regular ? lastCol + 1 : nx); col += everyX) {
      const double x = columnValue(col);
      if (std::isnan(x)) continue;
      const int px = h->CalcXPosValue(x);
      line(px, area.Top, px, area.Bottom);
    }
    for (int row = firstRow; row <= (regular ? lastRow + 1 : nz); row += everyZ) {
      const double z = rowValue(row);
      if (std::isnan(z)) continue;
      const int py = v->CalcYPosValue(z);
      line(area.Left, py, area.Right, py);
    }
  }
  if (frame_->Visible()) {
    canvas.ApplyPen(*frame_);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    const TPoint3D q[5] = {onPlane(area.Left, area.Top), onPlane(area.Right, area.Top),
                           onPlane(area.Right, area.Bottom), onPlane(area.Left, area.Bottom),
                           onPlane(area.Left, area.Top)};
    canvas.MoveToAtDepth(q[0].X, q[0].Y, q[0].Z);
    for (int k = 1; k < 5; ++k)
      canvas.LineToAtDepth(q[k].X, q[k].Y, q[k].Z);
  }
  if (blend) canvas.EndTransparentDrawing(std::move(blend));
}

// The cell image resampled over Area with bilinear weights between cell
// centres, drawn pixel for pixel.
void TColorGridSeries::DrawSmoothed(TCanvas3D &canvas, const TRect &area) {
  const int w = area.Right - area.Left, hgt = area.Bottom - area.Top;
  if (w <= 0 || hgt <= 0) return;
  const gdi::Bitmap &src = *bitmap_;
  const int bw = src.Width(), bh = src.Height();
  gdi::Bitmap out(w, hgt);
  auto channel = [](TColor c, int shift) { return static_cast<double>((c >> shift) & 0xFF); };
  for (int py = 0; py < hgt; ++py) {
    const double v = std::clamp((py + 0.5) * bh / hgt - 0.5, 0.0, bh - 1.0);
    const int y0 = static_cast<int>(v), y1 = std::min(y0 + 1, bh - 1);
    const double fy = v - y0;
    for (int px = 0; px < w; ++px) {
      const double u = std::clamp((px + 0.5) * bw / w - 0.5, 0.0, bw - 1.0);
      const int x0 = static_cast<int>(u), x1 = std::min(x0 + 1, bw - 1);
      const double fx = u - x0;
      const TColor a = src.Pixel(x0, y0), b = src.Pixel(x1, y0), c = src.Pixel(x0, y1), d = src.Pixel(x1, y1);
      TColor mixed = 0;
      for (int shift : {0, 8, 16}) {
        const double top = channel(a, shift) * (1 - fx) + channel(b, shift) * fx;
        const double bottom = channel(c, shift) * (1 - fx) + channel(d, shift) * fx;
        const int value = static_cast<int>(rtl::RoundHalfEven(top * (1 - fy) + bottom * fy));
        mixed |= static_cast<TColor>(std::clamp(value, 0, 255)) << shift;
      }
      out.SetPixel(px, py, mixed);
    }
  }
  canvas.StretchDraw(area, &out);
}

// ---- settings, gallery, storage ---------------------------------------------------------

void TColorGridSeries::ListSubStyles(const TUloSubStyleCallback &callback) {
  TCustom3DGridSeries::ListSubStyles(callback);
  callback(UloProSubStyleNoGrid);
  callback(UloMsgBottomAxis);
  callback(UloMsgLeftAxis);
}

void TColorGridSeries::ApplySubStyle(int index) {
  switch (index) {
  case 2:
    Pen().SetVisible(false);
    break;
  case 3:
    SetDrawPlane3D(TCanvas3DPlane::cpY);
    break;
  case 4:
    SetDrawPlane3D(TCanvas3DPlane::cpX);
    break;
  default:
    TCustom3DGridSeries::ApplySubStyle(index);
  }
}

void TColorGridSeries::PrepareForGallery(bool enabled) {
  TCustom3DGridSeries::PrepareForGallery(enabled);
  SetSampleMode(true);
  CreateValues(8, 4);
}

void TColorGridSeries::Assign(const TCustomChartElement &source) {
  if (auto *s = dynamic_cast<const TColorGridSeries *>(&source)) {
    centeredPoints_ = s->centeredPoints_;
    smoothBitmap_ = s->smoothBitmap_;
    frame_->Assign(*s->frame_);
    drawPlane3D_ = s->drawPlane3D_;
    drawPosition_ = s->drawPosition_;
    transparency_ = s->transparency_;
  }
  TCustom3DGridSeries::Assign(source);
}

namespace {
constexpr streaming::TEnumName<TCanvas3DPlane> kPlanes[] = {
    {TCanvas3DPlane::cpX, "cpX"}, {TCanvas3DPlane::cpY, "cpY"}, {TCanvas3DPlane::cpZ, "cpZ"}};
} // namespace

void TColorGridSeries::DefineProperties(streaming::TPropertyTable &table) {
  TCustom3DGridSeries::DefineProperties(table);
  table.Property("CenteredPoints", this, &TColorGridSeries::CenteredPoints, &TColorGridSeries::SetCenteredPoints,
                 false);
  table.Enum(
      "DrawPlane3D", [this] { return drawPlane3D_; }, [this](TCanvas3DPlane v) { SetDrawPlane3D(v); },
      TCanvas3DPlane::cpZ, kPlanes);
  table.Property("DrawPosition", this, &TColorGridSeries::DrawPosition, &TColorGridSeries::SetDrawPosition, 0);
  table.Object("Frame",
               storedParts_.Get("Frame", [this](streaming::TPropertyTable &t) { DefineChartPen(t, *frame_); }));
  table.Property("SmoothBitmap", this, &TColorGridSeries::SmoothBitmap, &TColorGridSeries::SetSmoothBitmap, false);
  table.Property("Transparency", this, &TColorGridSeries::Transparency, &TColorGridSeries::SetTransparency, 0);
  table.Property("XGridEvery", this, &TColorGridSeries::XGridEvery, &TColorGridSeries::SetXGridEvery, 1);
  table.Property("ZGridEvery", this, &TColorGridSeries::ZGridEvery, &TColorGridSeries::SetZGridEvery, 1);
}
