// 3D vectors with arrow heads, towers on grid points, and the unit's start
// and stop.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloGallery.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProCo.h"
#include "chart/foundation/UloProcs.h"
#include "chart/foundation/UloShadow.h"
#include "chart/series/UloContour.h"
#include "chart/series/UloIsoSurface.h"
#include "chart/series/UloSurfa.h"
#include "platform/rtl/Numbers.h"

// ---- vectors ------------------------------------------------------------------------------

TVector3DSeries::TVector3DSeries() {
  auto changed = [this] { Repaint(); };
  startArrow_ = std::make_unique<TChartHiddenPen>(changed);
  startArrow_->SetColor(clDefault);
  endArrow_ = std::make_unique<TChartPen>(changed);
  endArrow_->SetColor(clDefault);
  endXValues_ = new TChartValueList(this, "EndX");
  endYValues_ = new TChartValueList(this, "EndY");
  endZValues_ = new TChartValueList(this, "EndZ");
  SetCalcVisiblePoints(false);
  XValues()->SetOrder(TChartListOrder::loNone);
}

TVector3DSeries::~TVector3DSeries() = default;

void TVector3DSeries::SetArrowHeight(int value) { SetAndRepaint(arrowHeight_, value); }
void TVector3DSeries::SetArrowWidth(int value) { SetAndRepaint(arrowWidth_, value); }

int TVector3DSeries::AddVector(double x0, double y0, double z0, double x1, double y1, double z1,
                               const std::string &label, TColor color) {
  endXValues_->TempValue = x1;
  endYValues_->TempValue = y1;
  endZValues_->TempValue = z1;
  return AddPointXYZLabelColor(x0, y0, z0, label, color);
}

double TVector3DSeries::MaxX() { return std::max(TCustom3DPaletteSeries::MaxX(), endXValues_->MaxValue()); }
double TVector3DSeries::MinX() { return std::min(TCustom3DPaletteSeries::MinX(), endXValues_->MinValue()); }
double TVector3DSeries::MaxY() { return std::max(TCustom3DPaletteSeries::MaxY(), endYValues_->MaxValue()); }
double TVector3DSeries::MinY() { return std::min(TCustom3DPaletteSeries::MinY(), endYValues_->MinValue()); }
double TVector3DSeries::MaxZ() { return std::max(TCustom3DPaletteSeries::MaxZ(), endZValues_->MaxValue()); }
double TVector3DSeries::MinZ() { return std::min(TCustom3DPaletteSeries::MinZ(), endZValues_->MinValue()); }

void TVector3DSeries::DrawPoint(int index) {
  TCustomAxisPanel *chart = ParentChart();
  TChartAxis *h = GetHorizAxis(), *v = GetVertAxis();
  if (!chart || !h || !v || index < 0 || index >= PointCount()) return;
  TCanvas3D &canvas = chart->Canvas();
  const TColor colour = PointColor(index);
  canvas.SetBkMode(UloTransparentMode);
  canvas.ApplyPenColor(Pen(), colour);
  const TPoint3D s{h->CalcXPosValue(XValues()->Value(index)), v->CalcYPosValue(YValues()->Value(index)),
                   CalcZPos(index)};
  const TPoint3D e{h->CalcXPosValue(endXValues_->Value(index)), v->CalcYPosValue(endYValues_->Value(index)),
                   chart->DepthAxis()->CalcPosValue(endZValues_->Value(index))};
  canvas.MoveToAtDepth(s.X, s.Y, s.Z);
  canvas.LineToAtDepth(e.X, e.Y, e.Z);
  if (!startArrow_->Visible() && !endArrow_->Visible()) return;
  const TPoint ps = canvas.ProjectPoint(s.X, s.Y, s.Z), pe = canvas.ProjectPoint(e.X, e.Y, e.Z);
  const double angle = std::atan2(static_cast<double>(ps.Y - pe.Y), static_cast<double>(pe.X - ps.X));
  const double sn = std::sin(angle), cs = std::cos(angle);
  const double w = arrowWidth_, hh = arrowHeight_;
  auto head = [&](TChartPen &pen, const TPoint3D &p) {
    canvas.ApplyPenColor(pen, pen.Color() == clDefault ? colour : pen.Color());
    const int ax = rtl::RoundPixel(-w * cs - hh * sn), ay = rtl::RoundPixel(w * sn - hh * cs);
    const int bx = rtl::RoundPixel(-w * cs + hh * sn), by = rtl::RoundPixel(w * sn + hh * cs);
    // The strokes are offsets on the screen around the head's own point.
    const TPoint q = canvas.ProjectPoint(p.X, p.Y, p.Z);
    canvas.PushSuspendProjection();
    canvas.MoveTo(q.X + ax, q.Y + ay);
    canvas.LineTo(q.X, q.Y);
    canvas.MoveTo(q.X + bx, q.Y + by);
    canvas.LineTo(q.X, q.Y);
    canvas.PopSuspendProjection();
  };
  if (startArrow_->Visible()) head(*startArrow_, s);
  if (endArrow_->Visible()) head(*endArrow_, e);
}

void TVector3DSeries::AddRandomWalk(int numValues) {
  if (numValues <= 0) return;
  const double step = 8 * std::numbers::pi / numValues, scale = 0.6 * numValues;
  for (int i = 0; i < numValues; ++i) {
    const double a = i * step, r = scale * (i + 1) / numValues;
    AddVector(r * std::cos(a), i, r * std::sin(a), r * std::cos(a + step), i + 1, r * std::sin(a + step));
  }
}

bool TVector3DSeries::IsValidSourceOf(streaming::TStoredComponent *component) const {
  return dynamic_cast<TVector3DSeries *>(component) != nullptr && TCustom3DPaletteSeries::IsValidSourceOf(component);
}

void TVector3DSeries::Assign(const TCustomChartElement &source) {
  if (auto *s = dynamic_cast<const TVector3DSeries *>(&source)) {
    arrowHeight_ = s->arrowHeight_;
    arrowWidth_ = s->arrowWidth_;
    endArrow_->Assign(*s->endArrow_);
    startArrow_->Assign(*s->startArrow_);
  }
  TCustom3DPaletteSeries::Assign(source);
}

void TVector3DSeries::DefineProperties(streaming::TPropertyTable &table) {
  TCustom3DPaletteSeries::DefineProperties(table);
  table.Property("ArrowHeight", this, &TVector3DSeries::ArrowHeight, &TVector3DSeries::SetArrowHeight, 4);
  table.Property("ArrowWidth", this, &TVector3DSeries::ArrowWidth, &TVector3DSeries::SetArrowWidth, 4);
  table.Object("EndArrow", storedParts_.Get("EndArrow", [this](streaming::TPropertyTable &t) {
    DefineChartPen(t, *endArrow_, clDefault);
  }));
  table.Object("StartArrow", storedParts_.Get("StartArrow", [this](streaming::TPropertyTable &t) {
    DefineChartPen(t, *startArrow_, clDefault);
  }));
  table.Object("EndXValues", [this]() -> streaming::TPersistent * { return endXValues_; });
  table.Object("EndYValues", [this]() -> streaming::TPersistent * { return endYValues_; });
  table.Object("EndZValues", [this]() -> streaming::TPersistent * { return endZValues_; });
}

// ---- towers ----------------------------------------------------------------------------------

TTowerSeries::TTowerSeries() = default;

void TTowerSeries::SetDark3D(bool value) { SetAndRepaint(dark3D_, value); }
void TTowerSeries::SetOrigin(double value) { SetAndRepaint(origin_, value); }
void TTowerSeries::SetPercentDepth(int value) { SetAndRepaint(percentDepth_, value); }
void TTowerSeries::SetPercentWidth(int value) { SetAndRepaint(percentWidth_, value); }
void TTowerSeries::SetTowerStyle(TTowerStyle value) { SetAndRepaint(towerStyle_, value); }
void TTowerSeries::SetTransparency(int value) { SetAndRepaint(transparency_, std::clamp(value, 0, 100)); }
void TTowerSeries::SetUseOrigin(bool value) { SetAndRepaint(useOrigin_, value); }

double TTowerSeries::MinX() { return XValues()->MinValue() - 0.5; }
double TTowerSeries::MaxX() { return XValues()->MaxValue() + 0.5; }
double TTowerSeries::MinZ() { return ZValues().MinValue() - 0.5; }
double TTowerSeries::MaxZ() { return ZValues().MaxValue() + 0.5; }

void TTowerSeries::CalcTowerBounds(int index, TRect &rect, int &front, int &back) {
  TChartAxis *h = GetHorizAxis(), *v = GetVertAxis();
  TChartAxis *d = ParentChart()->DepthAxis();
  const double x = XValues()->Value(index), z = ZValues().Value(index);
  rect.Left = h->CalcXPosValue(x - halfWidth_);
  rect.Right = h->CalcXPosValue(x + halfWidth_);
  rect.Top = v->CalcYPosValue(YValues()->Value(index));
  rect.Bottom = v->CalcYPosValue(useOrigin_ ? origin_ : YValues()->MinValue());
  if (rect.Bottom < rect.Top) std::swap(rect.Top, rect.Bottom);
  if (rect.Right < rect.Left) std::swap(rect.Left, rect.Right);
  front = d->CalcPosValue(z - halfDepth_);
  back = d->CalcPosValue(z + halfDepth_);
  if (back < front) std::swap(front, back);
}

void TTowerSeries::WalkTowers(const std::function<void(int index)> &tower) {
  const int nx = NumXValues(), nz = NumZValues();
  const bool forward = DrawCellsForward(), ascending = DrawPointsAscending();
  const int n = PointCount();
  for (int i = 0; i < nx; ++i) {
    const int x = ascending ? 1 + i : nx - i;
    for (int k = 0; k < nz; ++k) {
      const int z = forward ? 1 + k : nz - k;
      const int index = GridIndex(x, z);
      if (index < 0 || index >= n || PointColor(index) == clNone) continue;
      tower(index);
    }
  }
}

void TTowerSeries::DrawVisiblePoints() {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart || !GetHorizAxis() || !GetVertAxis() || PointCount() == 0) return;
  TCanvas3D &canvas = chart->Canvas();
  canvas.ApplyBrushColor(Brush(), SeriesColor());
  canvas.ApplyPen(Pen());
  halfWidth_ = percentWidth_ * 0.005;
  halfDepth_ = percentDepth_ * 0.005;
  WalkTowers([this](int index) { DrawTower(index); });
}

namespace {

// A cylinder of four sides in the box: its corners at the middles of the
// box's edges, the back sides first, then the front ones and the top.
void DrawSlantCube(TCanvas3D &canvas, const TRect &r, int front, int back) {
  const int cx = (r.Left + r.Right) / 2, cz = (front + back) / 2;
  const TPoint3D ring[4] = {{r.Left, 0, cz}, {cx, 0, back}, {r.Right, 0, cz}, {cx, 0, front}};
  auto side = [&](int a, int b) {
    const TPoint3D q[4] = {{ring[a].X, r.Top, ring[a].Z},
                           {ring[b].X, r.Top, ring[b].Z},
                           {ring[b].X, r.Bottom, ring[b].Z},
                           {ring[a].X, r.Bottom, ring[a].Z}};
    canvas.Polygon3DPoints(q);
  };
  side(0, 1);
  side(1, 2);
  side(2, 3);
  side(3, 0);
  const TPoint3D top[4] = {{ring[0].X, r.Top, ring[0].Z},
                           {ring[1].X, r.Top, ring[1].Z},
                           {ring[2].X, r.Top, ring[2].Z},
                           {ring[3].X, r.Top, ring[3].Z}};
  canvas.Polygon3DPoints(top);
}

} // namespace

void TTowerSeries::DrawTower(int index) {
  TCanvas3D &canvas = ParentChart()->Canvas();
  TRect r;
  int front, back;
  CalcTowerBounds(index, r, front, back);
  const bool single = (!UseColorRange() && !UsePalette()) || Brush().ExistingImage() != nullptr;
  if (!single && canvas.Brush().Style() != TBrushStyle::bsClear) canvas.Brush().SetColor(PointColor(index));
  std::unique_ptr<TUloBlend> blend;
  if (transparency_ > 0) {
    const TRect a = canvas.ProjectedRectBounds(r, front), b = canvas.ProjectedRectBounds(r, back);
    blend = std::make_unique<TUloBlend>(canvas, TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top),
                                                      std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)});
  }
  switch (towerStyle_) {
  case TTowerStyle::tsCube:
    canvas.DrawBox(r.Left, r.Right, r.Top, r.Bottom, front, back, dark3D_);
    break;
  case TTowerStyle::tsRectangle:
    canvas.RectangleAtDepth(r, (front + back) / 2);
    break;
  case TTowerStyle::tsCover:
    canvas.HorizontalRectAtHeight(r.Left, r.Top, r.Right, front, back);
    break;
  case TTowerStyle::tsCylinder:
    canvas.DrawCylinder(true, r.Left, r.Top, r.Right, r.Bottom, front, back, dark3D_);
    break;
  case TTowerStyle::tsArrow: {
    const int cx = (r.Left + r.Right) / 2, z = (front + back) / 2;
    canvas.DrawArrow(true, TPoint{cx, r.Bottom}, TPoint{cx, r.Top}, r.Right - r.Left, (r.Right - r.Left) / 2, z, 100);
    break;
  }
  case TTowerStyle::tsCone:
    canvas.DrawCone(true, r.Left, r.Top, r.Right, r.Bottom, front, back, dark3D_, 0);
    break;
  case TTowerStyle::tsPyramid:
    canvas.DrawPyramid(true, r.Left, r.Top, r.Right, r.Bottom, front, back, dark3D_);
    break;
  case TTowerStyle::tsSlantCube:
    DrawSlantCube(canvas, r, front, back);
    break;
  }
  if (blend) blend->MixBack(transparency_);
}

int TTowerSeries::PointAtPixel(int x, int y) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart || !GetHorizAxis() || !GetVertAxis() || PointCount() == 0) return -1;
  TCanvas3D &canvas = chart->Canvas();
  halfWidth_ = percentWidth_ * 0.005;
  halfDepth_ = percentDepth_ * 0.005;
  FillGridIndex(0);
  const TPoint p{x, y};
  int hit = -1;
  // The last tower drawn over a pixel is the one seen there.
  WalkTowers([&](int index) {
    TRect r;
    int front, back;
    CalcTowerBounds(index, r, front, back);
    const TPoint top[4] = {canvas.ProjectPoint(r.Left, r.Top, front), canvas.ProjectPoint(r.Right, r.Top, front),
                           canvas.ProjectPoint(r.Right, r.Top, back), canvas.ProjectPoint(r.Left, r.Top, back)};
    bool inside = PointInPolygon(p, top);
    if (!inside && towerStyle_ != TTowerStyle::tsCover) {
      const TFourPoints face = canvas.ProjectRectQuad(r, front);
      inside = PointInPolygon(p, std::span<const TPoint>(face.data(), face.size()));
    }
    if (inside) hit = index;
  });
  return hit;
}

void TTowerSeries::DrawPointMark(int index, const std::string &text, TSeriesMarkPosition &position) {
  TCustom3DGridSeries::DrawPointMark(index, text, position);
}

void TTowerSeries::ListSubStyles(const TUloSubStyleCallback &callback) {
  TCustom3DGridSeries::ListSubStyles(callback);
  for (const std::string *name :
       {&UloMsgStyleNoBorder, &UloProSubStyleSingleColor, &UloMsgStyleMarks, &UloMsgStyleHollow, &UloMsgStyleRectangle,
        &UloProSubStyleCover, &UloMsgStyleCircle, &UloMsgGalleryArrow, &UloProSubStyleCone, &UloMsgStylePyramid})
    callback(*name);
}

void TTowerSeries::ApplySubStyle(int index) {
  switch (index) {
  case 2:
    Pen().SetVisible(false);
    break;
  case 3:
    SetUsePalette(false);
    break;
  case 4:
    Marks().SetVisible(true);
    break;
  case 5:
    Brush().SetStyle(TBrushStyle::bsClear);
    break;
  case 6:
  case 7:
  case 8:
  case 9:
  case 10:
  case 11:
    SetTowerStyle(static_cast<TTowerStyle>(index - 5));
    break;
  default:
    TCustom3DGridSeries::ApplySubStyle(index);
  }
}

void TTowerSeries::PrepareForGallery(bool enabled) {
  TCustom3DGridSeries::PrepareForGallery(enabled);
  SetSampleMode(true);
  CreateValues(5, 5);
}

void TTowerSeries::Assign(const TCustomChartElement &source) {
  if (auto *s = dynamic_cast<const TTowerSeries *>(&source)) {
    dark3D_ = s->dark3D_;
    origin_ = s->origin_;
    percentDepth_ = s->percentDepth_;
    percentWidth_ = s->percentWidth_;
    towerStyle_ = s->towerStyle_;
    transparency_ = s->transparency_;
    useOrigin_ = s->useOrigin_;
  }
  TCustom3DGridSeries::Assign(source);
}

namespace {
constexpr streaming::TEnumName<TTowerStyle> kTowerStyles[] = {
    {TTowerStyle::tsCube, "tsCube"},       {TTowerStyle::tsRectangle, "tsRectangle"},
    {TTowerStyle::tsCover, "tsCover"},     {TTowerStyle::tsCylinder, "tsCylinder"},
    {TTowerStyle::tsArrow, "tsArrow"},     {TTowerStyle::tsCone, "tsCone"},
    {TTowerStyle::tsPyramid, "tsPyramid"}, {TTowerStyle::tsSlantCube, "tsSlantCube"}};
} // namespace

void TTowerSeries::DefineProperties(streaming::TPropertyTable &table) {
  TCustom3DGridSeries::DefineProperties(table);
  table.Property("Dark3D", this, &TTowerSeries::Dark3D, &TTowerSeries::SetDark3D, true);
  table.Property("Origin", this, &TTowerSeries::Origin, &TTowerSeries::SetOrigin, 0.0);
  table.Property("PercentDepth", this, &TTowerSeries::PercentDepth, &TTowerSeries::SetPercentDepth, 100);
  table.Property("PercentWidth", this, &TTowerSeries::PercentWidth, &TTowerSeries::SetPercentWidth, 100);
  table.Enum(
      "TowerStyle", [this] { return towerStyle_; }, [this](TTowerStyle v) { SetTowerStyle(v); }, TTowerStyle::tsCube,
      kTowerStyles);
  table.Property("Transparency", this, &TTowerSeries::Transparency, &TTowerSeries::SetTransparency, 0);
  table.Property("UseOrigin", this, &TTowerSeries::UseOrigin, &TTowerSeries::SetUseOrigin, false);
}

// ---- unit start and stop -------------------------------------------------------------------

void StartSurfaceUnit() {
  RegisterUloSeries(UloClass<TSurfaceSeries>(), UloProGallerySurface, UloProGalleryPage3D, 1);
  RegisterUloSeries(UloClass<TContourSeries>(), UloProGalleryContour, UloProGalleryPage3D, 1);
  RegisterUloSeries(UloClass<TWaterFallSeries>(), UloProGalleryWaterFall, UloProGalleryPage3D, 1);
  RegisterUloSeries(UloClass<TColorGridSeries>(), UloProGalleryColorGrid, UloProGalleryPage3D, 1);
  RegisterUloSeries(UloClass<TVector3DSeries>(), UloProGalleryVector3D, UloProGalleryPage3D, 1);
  RegisterUloSeries(UloClass<TTowerSeries>(), UloProGalleryTower, UloProGalleryPage3D, 1);
  RegisterUloSeries(UloClass<TIsoSurfaceSeries>(), UloProGalleryIsoSurface, UloProGalleryPage3D, 1);
}

void StopSurfaceUnit() {
  UnRegisterUloSeries({UloClass<TSurfaceSeries>(), UloClass<TContourSeries>(), UloClass<TWaterFallSeries>(),
                       UloClass<TColorGridSeries>(), UloClass<TVector3DSeries>(), UloClass<TTowerSeries>(),
                       UloClass<TIsoSurfaceSeries>()});
}
