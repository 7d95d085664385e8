#include "chart/series/UloIsoSurface.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/foundation/UloProCo.h"
#include "platform/rtl/Numbers.h"

namespace {

// One limit of Sutherland and Hodgman's clipping: keeps what lies on the
// inner side of Limit (above it when Above).
void ClipAt(std::span<const TIsoVertex> in, double limit, bool above, std::vector<TIsoVertex> &out) {
  out.clear();
  if (in.empty()) return;
  auto inside = [&](const TIsoVertex &v) { return above ? v.Value >= limit : v.Value <= limit; };
  auto cross = [&](const TIsoVertex &p, const TIsoVertex &q) {
    const double t = (limit - p.Value) / (q.Value - p.Value);
    return TIsoVertex{p.X + (q.X - p.X) * t, p.Y + (q.Y - p.Y) * t, p.Z + (q.Z - p.Z) * t, limit};
  };
  const TIsoVertex *p = &in.back();
  for (const TIsoVertex &q : in) {
    const bool pin = inside(*p), qin = inside(q);
    if (qin) {
      if (!pin) out.push_back(cross(*p, q));
      out.push_back(q);
    } else if (pin) {
      out.push_back(cross(*p, q));
    }
    p = &q;
  }
}

} // namespace

void UloClipBand(std::span<const TIsoVertex> polygon, double low, double high, std::vector<TIsoVertex> &out) {
  thread_local std::vector<TIsoVertex> half;
  if (std::isinf(low) && low < 0) {
    half.assign(polygon.begin(), polygon.end());
  } else {
    ClipAt(polygon, low, true, half);
  }
  if (std::isinf(high) && high > 0)
    out = half;
  else
    ClipAt(half, high, false, out);
  if (out.size() < 3) out.clear();
}

void UloForEachBand(std::span<const TIsoVertex> polygon, const TUloPalette &palette, std::vector<TIsoVertex> &scratch,
                    const std::function<void(int band, std::span<const TIsoVertex> polygon)> &band) {
  if (polygon.size() < 3 || palette.empty()) return;
  double lowest = polygon[0].Value, highest = polygon[0].Value;
  for (const TIsoVertex &v : polygon) {
    lowest = std::min(lowest, v.Value);
    highest = std::max(highest, v.Value);
  }
  const size_t n = palette.size();
  // The band of the lowest value; at or above the last limit it is the
  // last band, so that a plateau at the maximum is drawn too.
  size_t first = n - 1;
  for (size_t i = 0; i < n; ++i)
    if (palette[i].UpToValue > lowest) {
      first = i;
      break;
    }
  constexpr double inf = std::numeric_limits<double>::infinity();
  for (size_t i = first; i < n; ++i) {
    const double low = i == first ? -inf : palette[i - 1].UpToValue;
    const double high = i + 1 == n ? inf : palette[i].UpToValue;
    if (low > highest) break;
    UloClipBand(polygon, low, high, scratch);
    if (!scratch.empty()) band(static_cast<int>(i), scratch);
    if (high >= highest) break;
  }
}

// ---- the sides ---------------------------------------------------------------------------------------

TSurfaceSides::TSurfaceSides(TIsoSurfaceSeries &owner)
    : owner_(owner), pen_(std::make_unique<TChartHiddenPen>([this] { owner_.Repaint(); })) {}

TSurfaceSides::~TSurfaceSides() = default;

TChartBrush &TSurfaceSides::Brush() { return owner_.SideBrush(); }

void TSurfaceSides::SetLevels(bool value) {
  if (UloStoreIfChanged(levels_, value)) owner_.Repaint();
}

void TSurfaceSides::Assign(const TSurfaceSides &source) {
  levels_ = source.levels_;
  pen_->Assign(*source.pen_);
}

void TSurfaceSides::DefineProperties(streaming::TPropertyTable &table) {
  // The brush is the surface's SideBrush, stored there.
  table.Property("Levels", this, &TSurfaceSides::Levels, &TSurfaceSides::SetLevels, true);
  table.Object("Pen", storedParts_.Get("Pen", [this](streaming::TPropertyTable &t) { DefineChartPen(t, *pen_); }));
}

// ---- the series -------------------------------------------------------------------------------------

TIsoSurfaceSeries::TIsoSurfaceSeries()
    : bandPen_(std::make_unique<TChartPen>([this] { Repaint(); })), sides_(std::make_unique<TSurfaceSides>(*this)) {
  SetUseColorRange(false);
  SetUsePalette(true);
  // A definition states the pen as it was stored against a hidden one.
  Pen().SetVisible(false);
}

TIsoSurfaceSeries::~TIsoSurfaceSeries() = default;

bool TIsoSurfaceSeries::HasSides() { return TSurfaceSeries::HasSides() || sides_->Pen().Visible(); }

double TIsoSurfaceSeries::MaxY() {
  if (ParentChart() && !ParentChart()->View3D()) return MaxZ();
  return TSurfaceSeries::MaxY();
}

double TIsoSurfaceSeries::MinY() {
  if (ParentChart() && !ParentChart()->View3D()) return MinZ();
  return TSurfaceSeries::MinY();
}

void TIsoSurfaceSeries::DrawVisiblePoints() {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart || !GetHorizAxis() || !GetVertAxis()) return;
  is3D_ = chart->View3D();
  if (UseColorRange()) RecolorPaletteFromRange();
  bandTransparency_ = Transparency() > 0 && !chart->Canvas().CapabilityFlagA();
  yPositionPixel_ = GetVertAxis()->CalcYPosValue(yPosition_);
  TSurfaceSeries::DrawVisiblePoints();
}

TIsoVertex TIsoSurfaceSeries::Vertex(int index) {
  TIsoVertex v;
  v.X = GetHorizAxis()->CalcXPosValue(XValues()->Value(index));
  v.Value = YValues()->Value(index);
  if (is3D_) {
    v.Y = useYPosition_ ? yPositionPixel_ : GetVertAxis()->CalcYPosValue(v.Value);
    v.Z = CalcZPos(index);
  } else {
    v.Y = GetVertAxis()->CalcYPosValue(ZValues().Value(index));
  }
  return v;
}

void TIsoSurfaceSeries::FillBand(std::span<const TIsoVertex> polygon, TColor color, const TBrush &brush) {
  TCanvas3D &canvas = ParentChart()->Canvas();
  if (FastBrush())
    canvas.Brush().SetColor(color);
  else
    canvas.ApplyBrushColor(brush, color);
  if (is3D_) {
    points3D_.clear();
    for (const TIsoVertex &v : polygon)
      points3D_.push_back(TPoint3D{rtl::RoundPixel(v.X), rtl::RoundPixel(v.Y), rtl::RoundPixel(v.Z)});
    canvas.Polygon3DPoints(points3D_);
  } else {
    points2D_.clear();
    for (const TIsoVertex &v : polygon)
      points2D_.push_back(TPoint{rtl::RoundPixel(v.X), rtl::RoundPixel(v.Y)});
    canvas.Polygon(points2D_);
  }
}

void TIsoSurfaceSeries::DrawCell(int x, int z) {
  if (!GetCellIndexes(x, z)) return;
  TIsoVertex cell[4];
  for (int k = 0; k < 4; ++k)
    cell[k] = Vertex(CornerIndex(k));
  TCanvas3D &canvas = ParentChart()->Canvas();
  // A colour corner with a colour of its own makes a plain cell, at the
  // same place as the bands would be (flat, or with Z upwards in 2D).
  const int colorCorner = GridIndex(CellStepX() > 0 ? x : x - 1, CellStepZ() > 0 ? z + 1 : z);
  if (colorCorner >= 0 && GetValueColorEntry(colorCorner) != clDefault) {
    const TColor color = PointColor(colorCorner);
    if (color != clNone) FillBand(cell, color, Brush());
    return;
  }
  TPen saved;
  saved.Assign(canvas.Pen());
  if (canvas.Pen().Style() != TPenStyle::psClear) canvas.ApplyPen(*bandPen_);
  std::unique_ptr<TUloBlend> blend;
  if (bandTransparency_) {
    TPoint p[4];
    for (int k = 0; k < 4; ++k)
      p[k] = is3D_ ? canvas.ProjectPoint(rtl::RoundPixel(cell[k].X), rtl::RoundPixel(cell[k].Y),
                                         rtl::RoundPixel(cell[k].Z))
                   : TPoint{rtl::RoundPixel(cell[k].X), rtl::RoundPixel(cell[k].Y)};
    TRect r{std::min({p[0].X, p[1].X, p[2].X, p[3].X}), std::min({p[0].Y, p[1].Y, p[2].Y, p[3].Y}),
            std::max({p[0].X, p[1].X, p[2].X, p[3].X}) + 1, std::max({p[0].Y, p[1].Y, p[2].Y, p[3].Y}) + 1};
    blend = canvas.BeginTransparentDrawing(r, Transparency());
  }
  const TUloPalette &palette = Palette();
  UloForEachBand(cell, palette, band_, [&](int i, std::span<const TIsoVertex> polygon) {
    const TColor color = palette[static_cast<size_t>(i)].Color;
    if (color != clNone) FillBand(polygon, color, Brush());
  });
  if (blend) canvas.EndTransparentDrawing(std::move(blend));
  canvas.Pen().Assign(saved);
}

void TIsoSurfaceSeries::DrawSideWall(int index0, int index1, int bottom, int z0, int z1) {
  if (!sides_->Levels() || Palette().empty()) {
    TSurfaceSeries::DrawSideWall(index0, index1, bottom, z0, z1);
    return;
  }
  TCanvas3D &canvas = ParentChart()->Canvas();
  const TPoint pa = CornerPoint(index0), pb = CornerPoint(index1);
  // The feet stand at the value the bottom of the walls shows.
  const double foot = GetVertAxis()->Inverted() ? YValues()->MaxValue() : YValues()->MinValue();
  const TIsoVertex wall[4] = {{double(pa.X), double(pa.Y), double(z0), YValues()->Value(index0)},
                              {double(pb.X), double(pb.Y), double(z1), YValues()->Value(index1)},
                              {double(pb.X), double(bottom), double(z1), foot},
                              {double(pa.X), double(bottom), double(z0), foot}};
  TPen saved;
  saved.Assign(canvas.Pen());
  canvas.Pen().SetStyle(TPenStyle::psClear);
  const bool was3D = is3D_;
  is3D_ = true;
  const TUloPalette &palette = Palette();
  UloForEachBand(wall, palette, band_, [&](int i, std::span<const TIsoVertex> polygon) {
    const TColor color = palette[static_cast<size_t>(i)].Color;
    if (color != clNone) FillBand(polygon, color, SideBrush());
  });
  is3D_ = was3D;
  // Outlined along the wall's own edges only, not between its bands.
  const TChartPen *outline = sides_->Pen().Visible() ? &sides_->Pen() : nullptr;
  if (outline || saved.Style() != TPenStyle::psClear) {
    if (outline)
      canvas.ApplyPen(*outline);
    else
      canvas.Pen().Assign(saved);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    const TPoint3D q[4] = {{pa.X, pa.Y, z0}, {pb.X, pb.Y, z1}, {pb.X, bottom, z1}, {pa.X, bottom, z0}};
    canvas.Polygon3DPoints(q);
  }
  canvas.Pen().Assign(saved);
}

void TIsoSurfaceSeries::PrepareForGallery(bool enabled) {
  TSurfaceSeries::PrepareForGallery(enabled);
  SetFastBrush(true);
  bandPen_->SetVisible(false);
}

void TIsoSurfaceSeries::Assign(const TCustomChartElement &source) {
  if (const auto *s = dynamic_cast<const TIsoSurfaceSeries *>(&source); s && s != this) {
    bandPen_->Assign(*s->bandPen_);
    sides_->Assign(*s->sides_);
    useYPosition_ = s->useYPosition_;
    yPosition_ = s->yPosition_;
  }
  TSurfaceSeries::Assign(source);
}

void TIsoSurfaceSeries::DefineProperties(streaming::TPropertyTable &table) {
  TSurfaceSeries::DefineProperties(table);
  // Stored against this kind's own defaults.
  table.Property("UseColorRange", this, &TIsoSurfaceSeries::UseColorRange, &TIsoSurfaceSeries::SetUseColorRange, false);
  table.Property("UsePalette", this, &TIsoSurfaceSeries::UsePalette, &TIsoSurfaceSeries::SetUsePalette, true);
  table.Object("Pen", storedParts_.Get("Pen", [this](streaming::TPropertyTable &t) {
    DefineChartPen(t, Pen());
    t.Property(
        "Visible", [this] { return Pen().Visible(); }, [this](bool v) { Pen().SetVisible(v); }, false);
  }));
  table.Object("BandPen",
               storedParts_.Get("BandPen", [this](streaming::TPropertyTable &t) { DefineChartPen(t, *bandPen_); }));
  table.Object("Sides", [this] { return sides_.get(); });
  table.Property("UseYPosition", this, &TIsoSurfaceSeries::UseYPosition, &TIsoSurfaceSeries::SetUseYPosition, false);
  table.Property("YPosition", this, &TIsoSurfaceSeries::YPosition, &TIsoSurfaceSeries::SetYPosition, 0.0);
}
