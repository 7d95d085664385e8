#include "chart/series/UloShape.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloGallery.h"
#include "chart/engine/UloWalls.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProcs.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Random.h"

namespace {

constexpr streaming::TEnumName<TChartShapeStyle> kStyleNames[] = {
    {TChartShapeStyle::chasRectangle, "chasRectangle"}, {TChartShapeStyle::chasCircle, "chasCircle"},
    {TChartShapeStyle::chasVertLine, "chasVertLine"},   {TChartShapeStyle::chasHorizLine, "chasHorizLine"},
    {TChartShapeStyle::chasTriangle, "chasTriangle"},   {TChartShapeStyle::chasInvertTriangle, "chasInvertTriangle"},
    {TChartShapeStyle::chasLine, "chasLine"},           {TChartShapeStyle::chasDiamond, "chasDiamond"},
    {TChartShapeStyle::chasCube, "chasCube"},           {TChartShapeStyle::chasCross, "chasCross"},
    {TChartShapeStyle::chasDiagCross, "chasDiagCross"}, {TChartShapeStyle::chasStar, "chasStar"},
    {TChartShapeStyle::chasPyramid, "chasPyramid"},     {TChartShapeStyle::chasInvertPyramid, "chasInvertPyramid"}};
constexpr streaming::TEnumName<TUloVertAlign> kVertAlignNames[] = {
    {TUloVertAlign::vaTop, "vaTop"}, {TUloVertAlign::vaCenter, "vaCenter"}, {TUloVertAlign::vaBottom, "vaBottom"}};
constexpr streaming::TEnumName<TChartShapeXYStyle> kXYStyleNames[] = {
    {TChartShapeXYStyle::xysPixels, "xysPixels"},
    {TChartShapeXYStyle::xysAxis, "xysAxis"},
    {TChartShapeXYStyle::xysAxisOrigin, "xysAxisOrigin"}};

// Entries 1 to 13 of the sub-gallery, in order.
constexpr TChartShapeStyle kSubStyles[] = {
    TChartShapeStyle::chasRectangle,    TChartShapeStyle::chasVertLine,       TChartShapeStyle::chasHorizLine,
    TChartShapeStyle::chasCircle,       TChartShapeStyle::chasInvertTriangle, TChartShapeStyle::chasLine,
    TChartShapeStyle::chasDiamond,      TChartShapeStyle::chasCube,           TChartShapeStyle::chasCross,
    TChartShapeStyle::chasDiagCross,    TChartShapeStyle::chasStar,           TChartShapeStyle::chasPyramid,
    TChartShapeStyle::chasInvertPyramid};

// A value read as a pixel: truncated, held to the drawable range.
int PixelOf(double v) noexcept {
  if (std::isnan(v)) return 0;
  return UloClampPixel(static_cast<long long>(std::clamp(v, -double(UloPixelLimit), double(UloPixelLimit))));
}

bool Meets(const TRect &a, const TRect &b) noexcept {
  return a.Left <= b.Right && b.Left <= a.Right && a.Top <= b.Bottom && b.Top <= a.Bottom;
}

} // namespace

TChartShape::TChartShape()
    : font_(std::make_unique<TUloFont>([this] { Repaint(); })),
      gradient_(std::make_unique<TUloGradient>([this] { Repaint(); })) {
  Brush().SetColor(clWhite);
  AddPointXY(0, 0);
  AddPointXY(100, 100);
}

TChartShape::~TChartShape() = default;

// ---- settings ----------------------------------------------------------------------

void TChartShape::SetText(const std::vector<std::string> &value) {
  text_ = value;
  Repaint();
}

void TChartShape::SetTransparency(int value) { SetAndRepaint(transparency_, std::clamp(value, 0, 100)); }

void TChartShape::SetSeriesColor(TColor value) {
  TChartSeries::SetSeriesColor(value);
  Brush().SetColor(value);
}

void TChartShape::AddedToPanel() {
  TChartSeries::AddedToPanel();
  // The fill follows the automatic colour as it follows an explicit one.
  if (ExplicitSeriesColor() == clDefault && Brush().Color() == clWhite) Brush().SetColor(SeriesColor());
}

void TChartShape::EnsurePoints(int count) {
  while (PointCount() < count)
    AddPointXY(0, 0);
}

double TChartShape::X0() {
  EnsurePoints(1);
  return XValues()->Value(0);
}
double TChartShape::Y0() {
  EnsurePoints(1);
  return YValues()->Value(0);
}
double TChartShape::X1() {
  EnsurePoints(2);
  return XValues()->Value(1);
}
double TChartShape::Y1() {
  EnsurePoints(2);
  return YValues()->Value(1);
}

void TChartShape::SetCoordinate(int index, bool isX, double value) {
  EnsurePoints(index + 1);
  (isX ? XValues() : YValues())->SetValue(index, value);
  HasManualData = true;
  Repaint();
}

void TChartShape::Assign(const TCustomChartElement &source) {
  if (auto *s = dynamic_cast<const TChartShape *>(&source); s && s != this) {
    alignment_ = s->alignment_;
    font_->Assign(*s->font_);
    gradient_->Assign(*s->gradient_);
    roundRectangle_ = s->roundRectangle_;
    style_ = s->style_;
    text_ = s->text_;
    transparency_ = s->transparency_;
    transparent_ = s->transparent_;
    vertAlign_ = s->vertAlign_;
    xyStyle_ = s->xyStyle_;
  }
  TChartSeries::Assign(source);
}

void TChartShape::DefineProperties(streaming::TPropertyTable &table) {
  TChartSeries::DefineProperties(table);
  table.Enum(
      "Alignment", [this] { return alignment_; }, [this](TAlignment v) { SetAlignment(v); }, TAlignment::taCenter,
      UloAlignmentNames());
  table.Object("Brush", storedParts_.Get(
                            "Brush", [this](streaming::TPropertyTable &t) { DefineChartBrush(t, Brush(), clWhite); }));
  table.Object("Font", storedParts_.Get("Font", [this](streaming::TPropertyTable &t) {
    DefineUloFont(t, *font_, storedParts_, "Font");
  }));
  table.Object("Gradient", storedParts_.Get(
                               "Gradient", [this](streaming::TPropertyTable &t) { DefineUloGradient(t, *gradient_); }));
  table.Object("Pen", storedParts_.Get("Pen", [this](streaming::TPropertyTable &t) { DefineChartPen(t, Pen()); }));
  table.Property("RoundRectangle", this, &TChartShape::RoundRectangle, &TChartShape::SetRoundRectangle, false);
  table.Enum(
      "Style", [this] { return style_; }, [this](TChartShapeStyle v) { SetStyle(v); }, TChartShapeStyle::chasCircle,
      kStyleNames);
  table.Property(
      "Text", [this] { return text_; }, [this](std::vector<std::string> v) { SetText(v); }, std::vector<std::string>());
  table.Property("Transparency", this, &TChartShape::Transparency, &TChartShape::SetTransparency, 0);
  table.Property("Transparent", this, &TChartShape::Transparent, &TChartShape::SetTransparent, false);
  table.Enum(
      "VertAlign", [this] { return vertAlign_; }, [this](TUloVertAlign v) { SetVertAlign(v); }, TUloVertAlign::vaCenter,
      kVertAlignNames);
  table.Enum(
      "XYStyle", [this] { return xyStyle_; }, [this](TChartShapeXYStyle v) { SetXYStyle(v); },
      TChartShapeXYStyle::xysAxis, kXYStyleNames);
  // The points themselves are in the stored data; these keys are read only,
  // so that a definition may place the shape by them.
  table
      .Define(
          "X0",
          [this](const streaming::TValue &v, streaming::TReadContext &) {
            SetX0(streaming::TValueTraits<double>::FromValue(v));
          },
          nullptr)
      .ReadOnly();
  table
      .Define(
          "Y0",
          [this](const streaming::TValue &v, streaming::TReadContext &) {
            SetY0(streaming::TValueTraits<double>::FromValue(v));
          },
          nullptr)
      .ReadOnly();
  table
      .Define(
          "X1",
          [this](const streaming::TValue &v, streaming::TReadContext &) {
            SetX1(streaming::TValueTraits<double>::FromValue(v));
          },
          nullptr)
      .ReadOnly();
  table
      .Define(
          "Y1",
          [this](const streaming::TValue &v, streaming::TReadContext &) {
            SetY1(streaming::TValueTraits<double>::FromValue(v));
          },
          nullptr)
      .ReadOnly();
}

void TChartShape::TakeZOrder() {
  if (IsAxisBased()) TChartSeries::TakeZOrder();
}

bool TChartShape::IsValidSourceOf(streaming::TStoredComponent *component) const {
  return component != this && dynamic_cast<TChartShape *>(component) != nullptr;
}

void TChartShape::CalcVisibleRange() {
  const int n = PointCount();
  SetVisibleRange(n > 0 ? 0 : -1, n - 1);
}

// ---- geometry ----------------------------------------------------------------------

TRect TChartShape::GetShapeRect() {
  EnsurePoints(2);
  switch (xyStyle_) {
  case TChartShapeXYStyle::xysPixels:
    return TRect{PixelOf(X0()), PixelOf(Y0()), PixelOf(X1()), PixelOf(Y1())};
  case TChartShapeXYStyle::xysAxisOrigin: {
    const int left = PointPixelX(0), top = PointPixelY(0);
    return TRect{left, top, UloClampPixel(static_cast<long long>(left) + PixelOf(X1())),
                 UloClampPixel(static_cast<long long>(top) + PixelOf(Y1()))};
  }
  case TChartShapeXYStyle::xysAxis:
  default:
    return TRect{PointPixelX(0), PointPixelY(0), PointPixelX(1), PointPixelY(1)};
  }
}

TRect TChartShape::OrderedShapeRect() {
  TRect r = NormalizeRect(GetShapeRect());
  if (r.Left == r.Right) ++r.Right;
  if (r.Top == r.Bottom) ++r.Bottom;
  return r;
}

// ---- drawing -----------------------------------------------------------------------

void TChartShape::DrawPoint(int valueIndex) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart || PointCount() != 2 || valueIndex != 0) return;
  const TRect r = OrderedShapeRect();
  if (!Meets(r, chart->ChartRect)) return;
  const bool is3D = IsAxisBased() && chart->View3D();
  TCanvas3D &canvas = chart->Canvas();
  std::unique_ptr<TUloBlend> blend;
  if (transparency_ > 0) {
    const TRect area = is3D ? canvas.ProjectedRectBounds(r, MiddleZ) : r;
    blend = canvas.BeginTransparentDrawing(TRect{area.Left, area.Top, area.Right + 1, area.Bottom + 1}, transparency_);
  }
  struct EndBlend {
    TCanvas3D &canvas;
    std::unique_ptr<TUloBlend> &blend;
    ~EndBlend() {
      if (blend) canvas.EndTransparentDrawing(std::move(blend));
    }
  } endBlend{canvas, blend};
  DrawShape(is3D, style_ == TChartShapeStyle::chasLine ? GetShapeRect() : r);
  DrawText(r);
}

void TChartShape::DrawShape(bool is3D, const TRect &rect) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  TCanvas3D &canvas = chart->Canvas();
  canvas.ApplyPen(Pen());
  const TColor brushColor = Brush().Color();
  if (!transparent_)
    canvas.ApplyBrushColor(Brush(), brushColor == clDefault ? SeriesColor() : brushColor);
  else
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
  canvas.SetBkMode(brushColor == clNone ? UloTransparentMode : UloOpaqueMode);
  const bool gradientShape = style_ == TChartShapeStyle::chasRectangle || style_ == TChartShapeStyle::chasCircle;
  if (gradientShape && !transparent_ && gradient_->Visible()) {
    const TRect area = is3D ? canvas.ProjectedRectBounds(rect, MiddleZ) : rect;
    if (style_ == TChartShapeStyle::chasCircle) canvas.ClipToEllipse(area);
    gradient_->PaintRect(canvas, area);
    if (style_ == TChartShapeStyle::chasCircle) canvas.RemoveClip();
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
  }
  DrawFigure(canvas, is3D, rect);
}

void TChartShape::DrawFigure(TCanvas3D &canvas, bool is3D, const TRect &r) {
  const int cx = static_cast<int>((static_cast<long long>(r.Left) + r.Right) / 2);
  const int cy = static_cast<int>((static_cast<long long>(r.Top) + r.Bottom) / 2);
  const int z = MiddleZ;
  auto line = [&](int x0, int y0, int x1, int y1) {
    if (is3D)
      canvas.LineAtDepth(x0, y0, x1, y1, z);
    else {
      canvas.MoveTo(x0, y0);
      canvas.LineTo(x1, y1);
    }
  };
  auto polygon = [&](std::initializer_list<TPoint> points) {
    const std::span<const TPoint> p(points.begin(), points.size());
    if (is3D)
      canvas.PolygonAtDepth(p, z);
    else
      canvas.Polygon(p);
  };
  const TPoint top{cx, r.Top}, bottom{cx, r.Bottom};
  const TPoint leftTop{r.Left, r.Top}, rightTop{r.Right, r.Top};
  const TPoint leftBottom{r.Left, r.Bottom}, rightBottom{r.Right, r.Bottom};
  switch (style_) {
  case TChartShapeStyle::chasRectangle:
    if (is3D)
      canvas.RectangleAtDepth(r, z);
    else if (roundRectangle_)
      canvas.RoundRect(r.Left, r.Top, r.Right, r.Bottom, 12, 12);
    else
      canvas.Rectangle(r.Left, r.Top, r.Right, r.Bottom + 1);
    break;
  case TChartShapeStyle::chasCircle:
    if (is3D)
      canvas.EllipseAtDepth(r.Left, r.Top, r.Right, r.Bottom, z);
    else
      canvas.Ellipse(r.Left, r.Top, r.Right, r.Bottom);
    break;
  case TChartShapeStyle::chasVertLine:
    line(cx, r.Top, cx, r.Bottom);
    break;
  case TChartShapeStyle::chasHorizLine:
    line(r.Left, cy, r.Right, cy);
    break;
  case TChartShapeStyle::chasLine:
    line(r.Left, r.Top, r.Right, r.Bottom);
    break;
  case TChartShapeStyle::chasTriangle:
    polygon({top, rightBottom, leftBottom});
    break;
  case TChartShapeStyle::chasInvertTriangle:
    polygon({bottom, leftTop, rightTop});
    break;
  case TChartShapeStyle::chasPyramid:
    if (is3D)
      canvas.DrawPyramid(true, r.Left, r.Top, r.Right, r.Bottom, StartZ, EndZ, !transparent_);
    else
      polygon({top, rightBottom, leftBottom});
    break;
  case TChartShapeStyle::chasInvertPyramid:
    if (is3D)
      canvas.DrawPyramid(true, r.Left, r.Bottom, r.Right, r.Top, StartZ, EndZ, !transparent_);
    else
      polygon({bottom, leftTop, rightTop});
    break;
  case TChartShapeStyle::chasDiamond:
    polygon({top, TPoint{r.Right, cy}, bottom, TPoint{r.Left, cy}});
    break;
  case TChartShapeStyle::chasCube:
    if (is3D)
      canvas.DrawBox(r.Left, r.Right, r.Top, r.Bottom, StartZ, EndZ, !transparent_);
    else
      canvas.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
    break;
  case TChartShapeStyle::chasCross:
    line(cx, r.Top, cx, r.Bottom);
    line(r.Left, cy, r.Right, cy);
    break;
  case TChartShapeStyle::chasDiagCross:
    line(r.Left, r.Top, r.Right, r.Bottom);
    line(r.Left, r.Bottom, r.Right, r.Top);
    break;
  case TChartShapeStyle::chasStar:
    line(cx, r.Top, cx, r.Bottom);
    line(r.Left, cy, r.Right, cy);
    line(r.Left, r.Top, r.Right, r.Bottom);
    line(r.Left, r.Bottom, r.Right, r.Top);
    break;
  }
}

void TChartShape::DrawText(const TRect &rect) {
  if (text_.empty()) return;
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  TCanvas3D &canvas = chart->Canvas();
  canvas.ApplyFont(*font_);
  if (canvas.Brush().Color() == canvas.Font().Color())
    canvas.Font().SetColor(canvas.Font().Color() == clBlack ? clWhite : clBlack);
  const int h = canvas.StandardTextHeight();
  const int n = static_cast<int>(text_.size());
  const int cx = static_cast<int>((static_cast<long long>(rect.Left) + rect.Right) / 2);
  const int cy = static_cast<int>((static_cast<long long>(rect.Top) + rect.Bottom) / 2);
  int y;
  switch (vertAlign_) {
  case TUloVertAlign::vaTop:
    y = rect.Top;
    break;
  case TUloVertAlign::vaBottom:
    y = UloClampPixel(static_cast<long long>(rect.Bottom) - static_cast<long long>(n) * h);
    break;
  case TUloVertAlign::vaCenter:
  default:
    y = UloClampPixel(cy - static_cast<long long>(rtl::RoundHalfEven(static_cast<double>(n) * h / 2)));
    break;
  }
  canvas.SetBkMode(UloTransparentMode);
  canvas.SetTextAlign(0);
  const int penWidth = canvas.Pen().Width();
  const bool flat = xyStyle_ == TChartShapeXYStyle::xysPixels;
  for (const std::string &text : text_) {
    const int w = canvas.MeasureTextWidth(text);
    int x;
    switch (alignment_) {
    case TAlignment::taLeftJustify:
      x = rect.Left + penWidth + 4;
      break;
    case TAlignment::taRightJustify:
      x = rect.Right - penWidth - w - 4;
      break;
    case TAlignment::taCenter:
    default:
      x = cx - w / 2;
      break;
    }
    if (flat)
      canvas.TextOut(x, y, text);
    else
      canvas.TextOutAtDepth(x, y, StartZ, text);
    y += h;
  }
}

// ---- hit test, legend ----------------------------------------------------------------

int TChartShape::PointAtPixel(int x, int y) {
  // A shape short of its two points draws nothing, so nothing is hit; and a
  // hover test must not add the missing points as reading them would.
  if (PointCount() != 2) return -1;
  if (TCustomAxisPanel *chart = ParentChart()) chart->Canvas().ScreenTo3D(x, y, StartZ);
  const TRect r = OrderedShapeRect();
  const TPoint p{x, y};
  const int cx = static_cast<int>((static_cast<long long>(r.Left) + r.Right) / 2);
  const int cy = static_cast<int>((static_cast<long long>(r.Top) + r.Bottom) / 2);
  bool hit;
  switch (style_) {
  case TChartShapeStyle::chasCircle:
    hit = PointInEllipse(p, r);
    break;
  case TChartShapeStyle::chasVertLine:
    hit = PointInLine(p, cx, r.Top, 0, cx, r.Bottom);
    break;
  case TChartShapeStyle::chasHorizLine:
    hit = PointInLine(p, r.Left, cy, 0, r.Right, cy);
    break;
  case TChartShapeStyle::chasTriangle:
  case TChartShapeStyle::chasPyramid:
    hit = PointInTriangle(p, r.Left, r.Right, r.Top, r.Bottom);
    break;
  case TChartShapeStyle::chasInvertTriangle:
  case TChartShapeStyle::chasInvertPyramid:
    hit = PointInTriangle(p, r.Left, r.Right, r.Bottom, r.Top);
    break;
  case TChartShapeStyle::chasLine: {
    const TRect u = GetShapeRect();
    hit = PointInLine(p, u.Left, u.Top, 0, u.Right, u.Bottom);
    break;
  }
  case TChartShapeStyle::chasDiamond: {
    const TPoint diamond[4] = {{cx, r.Top}, {r.Right, cy}, {cx, r.Bottom}, {r.Left, cy}};
    hit = PointInPolygon(p, diamond);
    break;
  }
  default:
    hit = PointInsideRect(x, y, r);
    break;
  }
  return hit ? 0 : -1;
}

void TChartShape::DrawLegendShape(int valueIndex, const TRect &rect) {
  (void)valueIndex;
  if (!ParentChart()) return;
  DrawShape(false, rect);
}

// ---- gallery ---------------------------------------------------------------------------

void TChartShape::ListSubStyles(const TUloSubStyleCallback &callback) {
  TChartSeries::ListSubStyles(callback);
  if (!callback) return;
  for (const std::string *text :
       {&UloMsgStyleRectangle, &UloMsgStyleVertLine, &UloMsgStyleHorizLine, &UloMsgStyleEllipse,
        &UloMsgStyleDownTriangle, &UloMsgStyleLine, &UloMsgStyleDiamond, &UloMsgStyleCube, &UloMsgStyleCross,
        &UloMsgStyleDiagCross, &UloMsgStyleStar, &UloMsgStylePyramid, &UloMsgStyleInvPyramid, &UloMsgStyleHollow})
    callback(*text);
}

void TChartShape::ApplySubStyle(int index) {
  if (index >= 1 && index <= 13)
    SetStyle(kSubStyles[index - 1]);
  else if (index == 14)
    SetTransparent(!transparent_);
  else
    TChartSeries::ApplySubStyle(index);
}

void TChartShape::PrepareForGallery(bool enabled) {
  TChartSeries::PrepareForGallery(enabled);
  font_->SetColor(enabled ? static_cast<TColor>(0x00FFFF) : static_cast<TColor>(0x808080));
  font_->SetStyle(TFontStyle::fsBold);
  font_->SetSize(12);
  text_.clear();
  TCustomAxisPanel *chart = ParentChart();
  if (chart && chart->SeriesCount() > 1 && chart->GetSeries(1) == this) {
    style_ = TChartShapeStyle::chasCircle;
    text_.push_back("abc");
  } else {
    style_ = TChartShapeStyle::chasTriangle;
    text_.push_back("123");
  }
  Brush().SetColor(enabled ? clDefault : clSilver);
  Repaint();
}

void TChartShape::AddRandomWalk(int numValues) {
  double xMin = 0, xSpan = 1000, yMin = 0, ySpan = 1000;
  if (TChartAxis *a = GetHorizAxis(); a && a->Maximum() > a->Minimum()) {
    xMin = a->Minimum();
    xSpan = a->Maximum() - a->Minimum();
  }
  if (TChartAxis *a = GetVertAxis(); a && a->Maximum() > a->Minimum()) {
    yMin = a->Minimum();
    ySpan = a->Maximum() - a->Minimum();
  }
  const double step = numValues > 1 ? xSpan / (numValues - 1) : 0;
  if (step == 0) {
    AddPointXY(0, 0);
    AddPointXY(100, 100);
    return;
  }
  const long long range =
      std::clamp<long long>(static_cast<long long>(rtl::RoundHalfEven(ySpan)), 1, std::numeric_limits<int>::max());
  AddPointXY(xMin + step / 8, yMin / 2);
  AddPointXY(xMin + step - step / 8, yMin + static_cast<double>(rtl::RandomInt(range)));
}

// ---- unit start and stop -----------------------------------------------------------------

void StartShapeUnit() { RegisterUloSeries(UloClass<TChartShape>(), UloMsgGalleryShape, UloMsgPageStandard, 2); }

void StopShapeUnit() { UnRegisterUloSeries({UloClass<TChartShape>()}); }
