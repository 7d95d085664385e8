#include "chart/series/UloPoin3.h"

#include <algorithm>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloGallery.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProCo.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Random.h"

// ---- TPoint3DSeries -------------------------------------------------------------

TPoint3DSeries::TPoint3DSeries()
    : baseLine_(std::make_unique<TChartHiddenPen>([this] { Repaint(); })),
      pointer_(std::make_unique<TSeriesPointer>(this, nullptr)) {}

TPoint3DSeries::~TPoint3DSeries() {
  // The pointer and base line go before the series base.
  pointer_.reset();
  baseLine_.reset();
}

void TPoint3DSeries::SetBaseLine(const TChartPen &value) { baseLine_->Assign(value); }

void TPoint3DSeries::SetDepthSize(double value) { SetAndRepaint(depthSize_, value); }

void TPoint3DSeries::SetPointer(const TSeriesPointer &value) { pointer_->Assign(value); }

void TPoint3DSeries::CalcZPositions(int valueIndex) {
  MiddleZ = CalcZPos(valueIndex);
  const int h = std::max(1, DepthHalfSize(valueIndex));
  StartZ = MiddleZ - h;
  EndZ = MiddleZ + h;
}

int TPoint3DSeries::DepthHalfSize(int valueIndex) {
  (void)valueIndex;
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return 0;
  return chart->DepthAxis()->CalcSizeValue(depthSize_) / 2;
}

void TPoint3DSeries::MarkerHalfSize(int valueIndex, int &horiz, int &vert) {
  (void)valueIndex;
  horiz = pointer_->HorizSize();
  vert = pointer_->VertSize();
}

void TPoint3DSeries::SetParentChart(TCustomAxisPanel *value) {
  TCustom3DSeries::SetParentChart(value);
  if (value) pointer_->SetParent(value);
}

void TPoint3DSeries::HorizMargins(int &leftMargin, int &rightMargin) {
  TCustom3DSeries::HorizMargins(leftMargin, rightMargin);
  pointer_->WidenHorizMargins(leftMargin, rightMargin);
}

void TPoint3DSeries::VertMargins(int &topMargin, int &bottomMargin) {
  TCustom3DSeries::VertMargins(topMargin, bottomMargin);
  pointer_->WidenVertMargins(topMargin, bottomMargin);
}

void TPoint3DSeries::ListSubStyles(const TUloSubStyleCallback &callback) {
  TCustom3DSeries::ListSubStyles(callback);
  for (const std::string *text : {&UloProSubStyleNoPoint, &UloProSubStyleLines, &UloProSubStyleNoLine,
                                  &UloMsgStyleColors, &UloMsgStyleMarks, &UloMsgStyleHollow, &UloMsgStyleNoBorder})
    callback(*text);
  if (!AllowsPointerStyles()) return;
  for (const std::string *text :
       {&UloMsgStylePoint2D, &UloMsgStyleTriangle, &UloMsgStyleStar, &UloMsgStyleCircle, &UloMsgStyleDownTriangle,
        &UloMsgStyleCross, &UloMsgStyleDiamond, &UloMsgStyleHexagon})
    callback(*text);
}

void TPoint3DSeries::ApplySubStyle(int index) {
  using P = TSeriesPointerStyle;
  switch (index) {
  case 1:
    pointer_->SetVisible(false);
    return;
  case 2:
    baseLine_->SetVisible(true);
    return;
  case 3:
    LinePen().SetVisible(false);
    return;
  case 4:
    SetColorEachPoint(true);
    return;
  case 5:
    Marks().SetVisible(true);
    return;
  case 6:
    pointer_->Brush().SetStyle(TBrushStyle::bsClear);
    return;
  case 7:
    pointer_->Pen().SetVisible(false);
    return;
  case 8:
    pointer_->SetDraw3D(false);
    return;
  case 9:
    pointer_->SetStyle(P::psTriangle);
    return;
  case 10:
    pointer_->SetStyle(P::psStar);
    return;
  case 11:
    pointer_->SetStyle(P::psCircle);
    return;
  case 12:
    pointer_->SetStyle(P::psDownTriangle);
    return;
  case 13:
    pointer_->SetStyle(P::psCross);
    return;
  case 14:
    pointer_->SetStyle(P::psDiamond);
    return;
  case 15:
    pointer_->SetStyle(P::psHexagon);
    return;
  default:
    TCustom3DSeries::ApplySubStyle(index);
  }
}

void TPoint3DSeries::DrawLegendShape(int index, const TRect &rect) {
  if (!pointer_->Visible()) {
    TCustom3DSeries::DrawLegendShape(index, rect);
    return;
  }
  TColor color = index == -1 ? SeriesColor() : PointColor(index);
  TSeriesPointerStyle style = pointer_->Style();
  if (index != -1 && OnGetPointerStyle) {
    style = OnGetPointerStyle(this, index);
    color = pointer_->Brush().Color();
  }
  pointer_->DrawLegendShape(color, rect, style, LinePen().Visible());
}

void TPoint3DSeries::DrawPointMark(int index, const std::string &text, TSeriesMarkPosition &position) {
  CalcZPositions(index);
  Marks().SetZPosition(pointer_->Visible() ? MiddleZ : StartZ);
  Marks().ApplyCalloutOffset(position);
  TCustom3DSeries::DrawPointMark(index, text, position);
}

void TPoint3DSeries::DrawVisiblePoints() {
  // A pass starts with no previous point: the line never reaches back into
  // an earlier paint.
  havePrevious_ = false;
  TCustom3DSeries::DrawVisiblePoints();
  havePrevious_ = false;
}

void TPoint3DSeries::DrawPoint(int valueIndex) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  const TColor c = PointColor(valueIndex);
  // A null point: nothing drawn, and the chain goes on from the last one.
  if (c >= clNone) return;
  CalcZPositions(valueIndex);
  const int x = PointPixelX(valueIndex);
  const int y = PointPixelY(valueIndex);
  TUloCanvas3D &canvas = chart->Canvas();

  if (pointer_->Visible()) {
    pointer_->PrepareCanvas(canvas, c);
    const TSeriesPointerStyle style = OnGetPointerStyle ? OnGetPointerStyle(this, valueIndex) : pointer_->Style();
    int h = 0;
    int v = 0;
    MarkerHalfSize(valueIndex, h, v);
    pointer_->DrawMarker(canvas, chart->View3D(), x, y, h, v, c, style);
  }

  if (baseLine_->Visible()) {
    const TChartAxis *vertAxis = GetVertAxis();
    const int vertSize = pointer_->VertSize();
    if (vertAxis && y + vertSize < vertAxis->IEndPos) {
      const int z = CalcZPos(valueIndex);
      canvas.ApplyPen(*baseLine_);
      canvas.MoveToAtDepth(x, y + vertSize, z);
      canvas.LineToAtDepth(x, vertAxis->IEndPos, z);
    }
  }

  if (havePrevious_ && LinePen().Visible()) {
    canvas.ApplyPen(LinePen());
    canvas.SetBkMode(UloTransparentMode);
    canvas.MoveToAtDepth(previousX_, previousY_, previousZ_);
    canvas.LineToAtDepth(x, y, MiddleZ);
  }
  havePrevious_ = true;
  previousX_ = x;
  previousY_ = y;
  previousZ_ = MiddleZ;
}

double TPoint3DSeries::MaxZ() { return ZValues().MaxValue() + depthSize_; }

int TPoint3DSeries::PointAtPixel(int x, int y) {
  const int result = TCustom3DSeries::PointAtPixel(x, y);
  if (result != -1 || !pointer_->Visible()) return result;
  TCustomAxisPanel *chart = ParentChart();
  for (int i = 0; i < PointCount(); ++i) {
    const int px = PointPixelX(i);
    const int py = PointPixelY(i);
    int tx = x;
    int ty = y;
    if (chart) chart->Canvas().ScreenTo3D(tx, ty, CalcZPos(i));
    int h = 0;
    int v = 0;
    MarkerHalfSize(i, h, v);
    if (std::abs(px - tx) < h && std::abs(py - ty) < v) {
      if (OnClickPointer) OnClickPointer(this, i, x, y);
      return i;
    }
  }
  return -1;
}

void TPoint3DSeries::AddRandomWalk(int numValues) {
  for (int i = 0; i < numValues; ++i) {
    // Drawn in this order: X, then Y, then Z.
    const double x = static_cast<int>(rtl::RandomInt(100));
    const double y = static_cast<int>(rtl::RandomInt(100));
    const double z = static_cast<int>(rtl::RandomInt(100));
    AddPointXYZ(x, y, z);
  }
}

void TPoint3DSeries::PrepareForGallery(bool enabled) {
  TCustom3DSeries::PrepareForGallery(enabled);
  LinePen().SetColor(clNavy);
  if (TCustomAxisPanel *chart = ParentChart()) chart->View3DOptions().SetZoom(60);
}

void TPoint3DSeries::Assign(const TCustomChartElement &source) {
  if (const auto *s = dynamic_cast<const TPoint3DSeries *>(&source)) {
    pointer_->Assign(*s->pointer_);
    depthSize_ = s->depthSize_;
    baseLine_->Assign(*s->baseLine_);
  }
  TCustom3DSeries::Assign(source);
}

void TPoint3DSeries::DefineProperties(streaming::TPropertyTable &table) {
  TCustom3DSeries::DefineProperties(table);
  table.Object("BaseLine",
               storedParts_.Get("BaseLine", [this](streaming::TPropertyTable &t) { DefineChartPen(t, *baseLine_); }));
  table.Property("DepthSize", this, &TPoint3DSeries::DepthSize, &TPoint3DSeries::SetDepthSize, 0.0);
  table.Object("LinePen",
               storedParts_.Get("LinePen", [this](streaming::TPropertyTable &t) { DefineChartPen(t, LinePen()); }));
  table.Object("Pointer", [this]() -> streaming::TPersistent * { return pointer_.get(); });
}

// ---- TBubble3DSeries ------------------------------------------------------------

TBubble3DSeries::TBubble3DSeries() {
  radiusValues_ = new TChartValueList(this, UloMsgValuesBubbleRadius);
  Pointer().SetStyle(TSeriesPointerStyle::psCircle);
  SetColorEachPoint(true);
  LinePen().SetVisible(false);
}

TBubble3DSeries::~TBubble3DSeries() = default;

void TBubble3DSeries::SetRadiusValues(const TChartValueList &value) { radiusValues_->Assign(value); }

int TBubble3DSeries::AddBubble(double x, double y, double z, double radius, const std::string &label, TColor color) {
  radiusValues_->TempValue = radius;
  return AddPointXYZLabelColor(x, y, z, label, color);
}

void TBubble3DSeries::CalcZPositions(int valueIndex) {
  TCustomAxisPanel *chart = ParentChart();
  if (Pointer().Draw3D() && chart && chart->Canvas().CapabilityFlagA()) {
    TPoint3DSeries::CalcZPositions(valueIndex);
    return;
  }
  // The bubble lies behind its Z position.
  StartZ = CalcZPos(valueIndex);
  const int h = std::max(1, DepthHalfSize(valueIndex));
  MiddleZ = StartZ + h;
  EndZ = MiddleZ + h;
}

int TBubble3DSeries::DepthHalfSize(int valueIndex) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return 0;
  return chart->DepthAxis()->CalcSizeValue(radiusValues_->Value(valueIndex));
}

void TBubble3DSeries::MarkerHalfSize(int valueIndex, int &horiz, int &vert) {
  const TChartAxis *axis = GetVertAxis();
  const int s = axis ? axis->CalcSizeValue(radiusValues_->Value(valueIndex)) : 0;
  horiz = s;
  vert = s;
}

double TBubble3DSeries::MaxY() {
  double result = TPoint3DSeries::MaxY();
  for (int i = 0; i < PointCount(); ++i)
    result = std::max(result, YValues()->Value(i) + radiusValues_->Value(i));
  return result;
}

double TBubble3DSeries::MinY() {
  double result = TPoint3DSeries::MinY();
  for (int i = 0; i < PointCount(); ++i)
    result = std::min(result, YValues()->Value(i) - radiusValues_->Value(i));
  return result;
}

double TBubble3DSeries::MaxZ() {
  double result = TPoint3DSeries::MaxZ();
  for (int i = 0; i < PointCount(); ++i)
    result = std::max(result, ZValues().Value(i) + radiusValues_->Value(i));
  return result;
}

double TBubble3DSeries::MinZ() {
  double result = TPoint3DSeries::MinZ();
  for (int i = 0; i < PointCount(); ++i)
    result = std::min(result, ZValues().Value(i) - radiusValues_->Value(i));
  return result;
}

bool TBubble3DSeries::IsValidSourceOf(streaming::TStoredComponent *component) const {
  return dynamic_cast<TBubble3DSeries *>(component) != nullptr && TPoint3DSeries::IsValidSourceOf(component);
}

void TBubble3DSeries::AddRandomWalk(int numValues) {
  // The series base's sample range: the axes' spans, or 0 .. 1000.
  double x = 0, xSpan = 1000, yRange = 1000;
  if (const TChartAxis *a = GetHorizAxis(); a && a->Maximum() > a->Minimum()) {
    x = a->Minimum();
    xSpan = a->Maximum() - a->Minimum();
  }
  if (const TChartAxis *a = GetVertAxis(); a && a->Maximum() > a->Minimum()) yRange = a->Maximum() - a->Minimum();
  const double step = numValues > 1 ? xSpan / (numValues - 1) : 0;
  const auto yLimit = static_cast<int64_t>(std::max(1.0, rtl::RoundHalfEven(yRange)));
  for (int i = 0; i < numValues; ++i) {
    const double y = static_cast<double>(rtl::RandomInt(yLimit));
    const double z = static_cast<double>(rtl::RandomInt(200));
    const auto r = static_cast<double>(rtl::RandomInt(15));
    const double radius = rtl::RoundHalfEven(yRange / (r + 10)) + yRange / 15;
    AddBubble(x, y, z, radius, std::string(), clDefault);
    x += step;
  }
}

void TBubble3DSeries::PrepareForGallery(bool enabled) {
  TPoint3DSeries::PrepareForGallery(enabled);
  Pointer().Gradient().SetVisible(true);
}

void TBubble3DSeries::DefineProperties(streaming::TPropertyTable &table) {
  TPoint3DSeries::DefineProperties(table);
  table.Property(
      "ColorEachPoint", [this] { return ColorEachPoint(); }, [this](bool v) { SetColorEachPoint(v); }, true);
  table.Object("RadiusValues", [this]() -> streaming::TPersistent * { return radiusValues_; });
}

// ---- unit start and stop --------------------------------------------------------

void StartPoint3DUnit() {
  RegisterUloSeries(UloClass<TPoint3DSeries>(), UloProGalleryPoint3D, UloProGalleryPage3D, 1);
  RegisterUloSeries(UloClass<TBubble3DSeries>(), UloProGalleryBubble3D, UloProGalleryPage3D, 1);
}

void StopPoint3DUnit() { UnRegisterUloSeries({UloClass<TPoint3DSeries>(), UloClass<TBubble3DSeries>()}); }
