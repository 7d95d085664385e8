#include "chart/engine/UloPointer.h"

#include <algorithm>
#include <array>

#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloSeries.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloStoredParts.h"

namespace {

constexpr streaming::TEnumName<TSeriesPointerStyle> kPointerStyleNames[] = {
    {TSeriesPointerStyle::psRectangle, "psRectangle"},
    {TSeriesPointerStyle::psCircle, "psCircle"},
    {TSeriesPointerStyle::psTriangle, "psTriangle"},
    {TSeriesPointerStyle::psDownTriangle, "psDownTriangle"},
    {TSeriesPointerStyle::psCross, "psCross"},
    {TSeriesPointerStyle::psDiagCross, "psDiagCross"},
    {TSeriesPointerStyle::psStar, "psStar"},
    {TSeriesPointerStyle::psDiamond, "psDiamond"},
    {TSeriesPointerStyle::psSmallDot, "psSmallDot"},
    {TSeriesPointerStyle::psNothing, "psNothing"},
    {TSeriesPointerStyle::psLeftTriangle, "psLeftTriangle"},
    {TSeriesPointerStyle::psRightTriangle, "psRightTriangle"},
    {TSeriesPointerStyle::psHexagon, "psHexagon"}};

constexpr streaming::TEnumName<TArrowHeadStyle> kArrowHeadNames[] = {
    {TArrowHeadStyle::ahNone, "ahNone"}, {TArrowHeadStyle::ahLine, "ahLine"}, {TArrowHeadStyle::ahSolid, "ahSolid"}};

// The outline of a polygon marker in Box (inclusive corners), or none for
// the shapes that are not polygons. Returns the number of corners.
int MarkerPolygon(TSeriesPointerStyle style, const TRect &box, int x, int y, std::array<TPoint, 6> &p) {
  const int l = box.Left, t = box.Top, r = box.Right, b = box.Bottom;
  switch (style) {
  case TSeriesPointerStyle::psTriangle:
    p[0] = {l, b};
    p[1] = {r, b};
    p[2] = {x, t};
    return 3;
  case TSeriesPointerStyle::psDownTriangle:
    p[0] = {l, t};
    p[1] = {r, t};
    p[2] = {x, b};
    return 3;
  case TSeriesPointerStyle::psLeftTriangle:
    p[0] = {l, y};
    p[1] = {r, t};
    p[2] = {r, b};
    return 3;
  case TSeriesPointerStyle::psRightTriangle:
    p[0] = {r, y};
    p[1] = {l, b};
    p[2] = {l, t};
    return 3;
  case TSeriesPointerStyle::psDiamond:
    p[0] = {x, t};
    p[1] = {r, y};
    p[2] = {x, b};
    p[3] = {l, y};
    return 4;
  case TSeriesPointerStyle::psHexagon: {
    const int q = (r - l) / 4;
    p[0] = {l, y};
    p[1] = {l + q, t};
    p[2] = {r - q, t};
    p[3] = {r, y};
    p[4] = {r - q, b};
    p[5] = {l + q, b};
    return 6;
  }
  default:
    return 0;
  }
}

} // namespace

// ---- TSeriesPointer ---------------------------------------------------------------------

TSeriesPointer::TSeriesPointer(TChartSeries *series, TCustomUloPanel *chart)
    : TUloCustomShapeBrushPen(chart ? chart : (series ? series->ParentChart() : nullptr)), series_(series),
      shadow_(std::make_unique<TUloShadow>()) {
  shadow_->InitColorAndSize(clBlack, 3);
  shadow_->SetVisible(false);
  shadow_->OnChange = [this] { Repaint(); };
}

TSeriesPointer::~TSeriesPointer() = default;

void TSeriesPointer::Assign(const TUloCustomShapeBrushPen &source) {
  if (auto *s = dynamic_cast<const TSeriesPointer *>(&source); s && s != this) {
    dark3D_ = s->dark3D_;
    draw3D_ = s->draw3D_;
    SetGradient(s->gradient_.get());
    horizSize_ = s->horizSize_;
    inflateMargins_ = s->inflateMargins_;
    shadow_->Assign(*s->shadow_);
    style_ = s->style_;
    transparency_ = s->transparency_;
    vertSize_ = s->vertSize_;
  }
  TUloCustomShapeBrushPen::Assign(source);
}

TUloGradient &TSeriesPointer::Gradient() {
  if (!gradient_) gradient_ = std::make_unique<TUloGradient>([this] { Repaint(); });
  return *gradient_;
}

void TSeriesPointer::SetGradient(const TUloGradient *value) {
  UloSetLazyPart(
      gradient_, value, [this]() -> TUloGradient & { return Gradient(); }, [this] { Repaint(); });
}

void TSeriesPointer::SetHorizSize(int value) {
  if (value < 1) throw ChartException(UloMsgPointerSize);
  SetAndRepaint(horizSize_, value);
}

void TSeriesPointer::SetVertSize(int value) {
  if (value < 1) throw ChartException(UloMsgPointerSize);
  SetAndRepaint(vertSize_, value);
}

void TSeriesPointer::SetShadow(const TUloShadow &value) { shadow_->Assign(value); }

void TSeriesPointer::SetTransparency(int value) { SetAndRepaint(transparency_, std::clamp(value, 0, 100)); }

void TSeriesPointer::Depths(int &startZ, int &middleZ, int &endZ) const {
  if (series_) {
    startZ = series_->StartZ;
    middleZ = series_->MiddleZ;
    endZ = series_->EndZ;
  } else {
    startZ = middleZ = endZ = 0;
  }
}

void TSeriesPointer::PrepareCanvas(TUloCanvas &canvas, TColor colour) {
  TChartPen &pen = Pen();
  if (!pen.Visible())
    canvas.Pen().SetStyle(TPenStyle::psClear);
  else
    canvas.ApplyPenColor(pen, pen.Color() == clDefault ? colour : pen.Color());
  TChartBrush &brush = Brush();
  TColor c = brush.Color();
  if (c == clDefault) c = brush.Style() == TBrushStyle::bsSolid ? colour : brush.BackColor();
  canvas.ApplyBrushColor(brush, c);
}

void TSeriesPointer::WidenHorizMargins(int &left, int &right) const {
  if (!Visible() || !inflateMargins_) return;
  left = std::max(left, horizSize_ + 1);
  right = std::max(right, horizSize_ + 1);
}

void TSeriesPointer::WidenVertMargins(int &top, int &bottom) const {
  if (!Visible() || !inflateMargins_) return;
  top = std::max(top, vertSize_ + 1);
  bottom = std::max(bottom, vertSize_ + 1);
}

void TSeriesPointer::DrawShape(TCanvas3D &canvas, bool is3D, const TRect &box, int x, int y, TColor colour,
                               TSeriesPointerStyle style, int startZ, int middleZ, int endZ) {
  (void)colour;
  const int l = box.Left, t = box.Top, r = box.Right, b = box.Bottom;
  auto cross = [&] {
    if (is3D) {
      canvas.LineAtDepth(x, t, x, b + 1, startZ);
      canvas.LineAtDepth(l, y, r + 1, y, startZ);
    } else {
      canvas.DrawLine(x, t, x, b + 1);
      canvas.DrawLine(l, y, r + 1, y);
    }
  };
  auto diagCross = [&] {
    if (is3D) {
      canvas.LineAtDepth(l, t, r + 1, b + 1, startZ);
      canvas.LineAtDepth(l, b, r + 1, t - 1, startZ);
    } else {
      canvas.DrawLine(l, t, r + 1, b + 1);
      canvas.DrawLine(l, b, r + 1, t - 1);
    }
  };
  switch (style) {
  case TSeriesPointerStyle::psRectangle:
    if (!is3D)
      canvas.Rectangle(l, t, r + 1, b + 1);
    else if (draw3D_)
      // The solids take corner points: the box itself.
      canvas.DrawBox(l, r, t, b, startZ, endZ, dark3D_);
    else
      canvas.RectangleAtDepth(TRect{l, t, r, b}, startZ);
    return;
  case TSeriesPointerStyle::psCircle:
    if (!is3D)
      canvas.Ellipse(l, t, r + 1, b + 1);
    else if (draw3D_ && canvas.CapabilityFlagA())
      // No canvas here reports the flag that draws spheres.
      throw rtl::ENotImplemented("Sphere pointer");
    else
      canvas.EllipseAtDepth(l, t, r + 1, b + 1, startZ);
    return;
  case TSeriesPointerStyle::psTriangle:
  case TSeriesPointerStyle::psDownTriangle:
    if (is3D && draw3D_) {
      if (style == TSeriesPointerStyle::psTriangle)
        canvas.DrawPyramid(true, l, t, r, b, startZ, endZ, dark3D_);
      else
        canvas.DrawPyramid(true, l, b, r, t, startZ, endZ, dark3D_);
      return;
    }
    break;
  case TSeriesPointerStyle::psCross:
    cross();
    return;
  case TSeriesPointerStyle::psDiagCross:
    diagCross();
    return;
  case TSeriesPointerStyle::psStar:
    cross();
    diagCross();
    return;
  case TSeriesPointerStyle::psSmallDot:
    if (is3D)
      canvas.SetPixelAt3D(x, y, middleZ, canvas.Brush().Color());
    else
      canvas.SetPixel(x, y, canvas.Brush().Color());
    return;
  case TSeriesPointerStyle::psNothing:
    return;
  default:
    break;
  }
  std::array<TPoint, 6> points;
  const int n = MarkerPolygon(style, box, x, y, points);
  if (n == 0) return;
  const std::span<const TPoint> span(points.data(), static_cast<size_t>(n));
  if (is3D)
    canvas.PolygonAtDepth(span, startZ);
  else
    canvas.Polygon(span);
}

void TSeriesPointer::DrawMarker(TCanvas3D &canvas, bool is3D, int x, int y, int h, int v, TColor colour,
                                TSeriesPointerStyle style) {
  if (style == TSeriesPointerStyle::psNothing) return;
  // A dot has no room for a shadow or a blend: one pixel, the cheapest way.
  if (style == TSeriesPointerStyle::psSmallDot && !is3D && transparency_ == 0 && !shadow_->Visible()) {
    canvas.SetPixel(x, y, canvas.Brush().Color());
    return;
  }
  int startZ, middleZ, endZ;
  Depths(startZ, middleZ, endZ);
  const TRect box{x - h, y - v, x + h, y + v};
  TUloShadow &shadow = *shadow_;
  if (shadow.Visible() && (shadow.HorizSize() != 0 || shadow.VertSize() != 0) && shadow.Color() != clNone) {
    const int dx = shadow.HorizSize(), dy = shadow.VertSize();
    const TColor penColor = canvas.Pen().Color(), brushColor = canvas.Brush().Color();
    const TBrushStyle brushStyle = canvas.Brush().Style();
    canvas.Pen().SetColor(shadow.Color());
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.Brush().SetColor(shadow.Color());
    DrawShape(canvas, is3D, TRect{box.Left + dx, box.Top + dy, box.Right + dx, box.Bottom + dy}, x + dx, y + dy,
              shadow.Color(), style, startZ, middleZ, endZ);
    canvas.Pen().SetColor(penColor);
    canvas.Brush().SetStyle(brushStyle);
    canvas.Brush().SetColor(brushColor);
  }
  std::unique_ptr<TUloBlend> blend;
  if (transparency_ != 0) {
    TRect r{box.Left, box.Top, box.Right + 1, box.Bottom + 1};
    if (is3D && style == TSeriesPointerStyle::psRectangle && draw3D_ && canvas.IsOrthogonal()) {
      const TPoint front = canvas.ProjectPoint(0, 0, startZ), back = canvas.ProjectPoint(0, 0, endZ);
      r.Right += std::abs(back.X - front.X);
      r.Top -= std::abs(back.Y - front.Y);
    }
    if (is3D) r = canvas.ProjectedRectBounds(r, startZ);
    blend = canvas.BeginTransparentDrawing(r, transparency_);
  }
  DrawShape(canvas, is3D, box, x, y, colour, style, startZ, middleZ, endZ);
  // Lines and dots have no inside to fill.
  const bool hasInside = style != TSeriesPointerStyle::psCross && style != TSeriesPointerStyle::psDiagCross &&
                         style != TSeriesPointerStyle::psStar && style != TSeriesPointerStyle::psSmallDot;
  if (hasInside && gradient_ && gradient_->Visible()) {
    std::array<TPoint, 6> points;
    const int n = MarkerPolygon(style, box, x, y, points);
    if (n > 0) {
      if (is3D)
        for (int k = 0; k < n; ++k)
          points[k] = canvas.ProjectPoint(points[k].X, points[k].Y, startZ);
      canvas.GradientPolygon(std::span<const TPoint>(points.data(), static_cast<size_t>(n)), *gradient_);
    } else {
      TRect r{box.Left, box.Top, box.Right + 1, box.Bottom + 1};
      if (is3D) r = canvas.ProjectedRectBounds(r, startZ);
      if (style == TSeriesPointerStyle::psCircle) {
        canvas.ClipToEllipse(r);
        gradient_->PaintRect(canvas, r);
        canvas.RemoveClip();
      } else {
        gradient_->PaintRect(canvas, r);
      }
    }
  }
  if (blend) canvas.EndTransparentDrawing(std::move(blend));
}

void TSeriesPointer::Draw(int x, int y) { DrawStyled(x, y, Brush().Color(), style_); }

void TSeriesPointer::DrawStyled(int x, int y, TColor colour, TSeriesPointerStyle style) {
  TCustomUloPanel *panel = ParentChart();
  if (!panel) return;
  TCanvas3D &canvas = panel->Canvas();
  PrepareCanvas(canvas, colour);
  DrawMarker(canvas, panel->View3D(), x, y, horizSize_, vertSize_, colour, style);
}

void TSeriesPointer::DrawLegendShape(TColor colour, const TRect &rect, TSeriesPointerStyle style, bool withLine) {
  TCustomUloPanel *panel = ParentChart();
  if (!panel) return;
  const int w = rect.Right - rect.Left, h = rect.Bottom - rect.Top;
  int hs = withLine ? w / 3 : w / 2 + 1;
  int vs = withLine ? h / 3 : h / 2 + 1;
  hs = std::min(hs, horizSize_);
  vs = std::min(vs, vertSize_);
  TCanvas3D &canvas = panel->Canvas();
  PrepareCanvas(canvas, colour);
  DrawMarker(canvas, false, (rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2, hs, vs, colour, style);
}

void TSeriesPointer::DefineProperties(streaming::TPropertyTable &table) {
  DefineBrush(table);
  table.Property("Dark3D", this, &TSeriesPointer::Dark3D, &TSeriesPointer::SetDark3D, true);
  table.Property("Draw3D", this, &TSeriesPointer::Draw3D, &TSeriesPointer::SetDraw3D, true);
  table
      .Object("Gradient",
              StoredParts().Get("Gradient", [this](streaming::TPropertyTable &t) { DefineUloGradient(t, Gradient()); }))
      .StoredWhen([this] { return gradient_ != nullptr; });
  table.Property("HorizSize", this, &TSeriesPointer::HorizSize, &TSeriesPointer::SetHorizSize, 4);
  table.Property("InflateMargins", this, &TSeriesPointer::InflateMargins, &TSeriesPointer::SetInflateMargins, true);
  DefinePen(table);
  table.Object("Shadow", StoredParts().Get("Shadow", [this](streaming::TPropertyTable &t) {
    DefineUloShadow(t, *shadow_);
    // A pointer's shadow starts hidden.
    t.Property(
        "Visible", [this] { return shadow_->Visible(); }, [this](bool v) { shadow_->SetVisible(v); }, false);
  }));
  table.Enum(
      "Style", [this] { return style_; }, [this](TSeriesPointerStyle v) { SetStyle(v); },
      TSeriesPointerStyle::psRectangle, kPointerStyleNames);
  table.Property("Transparency", this, &TSeriesPointer::Transparency, &TSeriesPointer::SetTransparency, 0);
  table.Property("VertSize", this, &TSeriesPointer::VertSize, &TSeriesPointer::SetVertSize, 4);
  table.Property("Visible", this, &TSeriesPointer::Visible, &TSeriesPointer::SetVisible, defaultVisible_);
}

// ---- TCallout ---------------------------------------------------------------------------------

TCallout::TCallout(TChartSeries *series, TCustomUloPanel *chart)
    : TSeriesPointer(series, chart), arrow_(std::make_unique<TWhitePen>([this] { Repaint(); })) {
  SetVisible(true);
  SetStyle(TSeriesPointerStyle::psRectangle);
  SetInflateMargins(true);
  SetDraw3D(false);
  Brush().SetColor(clBlack);
}

TCallout::~TCallout() = default;

void TCallout::Assign(const TUloCustomShapeBrushPen &source) {
  if (auto *s = dynamic_cast<const TCallout *>(&source); s && s != this) {
    distance_ = s->distance_;
    arrow_->Assign(*s->arrow_);
    arrowHead_ = s->arrowHead_;
    arrowHeadSize_ = s->arrowHeadSize_;
  }
  TSeriesPointer::Assign(source);
}

void TCallout::Draw(TColor colour, TPoint from, bool bent, int z, TPoint to, TPoint middle) {
  TCustomUloPanel *panel = ParentChart();
  if (!panel) return;
  const int ox = panel->PanelBounds.Left, oy = panel->PanelBounds.Top;
  from = TPoint{from.X + ox, from.Y + oy};
  to = TPoint{to.X + ox, to.Y + oy};
  middle = TPoint{middle.X + ox, middle.Y + oy};
  TCanvas3D &canvas = panel->Canvas();
  const bool is3D = panel->View3D();
  if (arrow_->Visible()) {
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    TColor penColor = arrow_->Color();
    const TColor panelColor = ColorToRGB(panel->Color());
    if (canvas.Pen().Mode() == TPenMode::pmXor && (penColor == colour || penColor == panel->Color()))
      penColor = (~panelColor) & 0xFFFFFF;
    canvas.ApplyPenColor(*arrow_, penColor);
    if (arrowHead_ == TArrowHeadStyle::ahSolid) {
      // A filled head takes the arrow's colour.
      canvas.Brush().SetStyle(TBrushStyle::bsSolid);
      canvas.Brush().SetColor(penColor);
    }
    if (arrowHead_ != TArrowHeadStyle::ahNone) {
      canvas.DrawArrowHalf(arrowHead_ == TArrowHeadStyle::ahSolid, from, to, arrowHeadSize_, arrowHeadSize_, z);
    } else if (is3D) {
      canvas.MoveToAtDepth(from.X, from.Y, z);
      if (bent) canvas.LineToAtDepth(middle.X, middle.Y, z);
      canvas.LineToAtDepth(to.X, to.Y, z);
    } else {
      canvas.MoveTo(from.X, from.Y);
      if (bent) canvas.LineTo(middle.X, middle.Y);
      canvas.LineTo(to.X, to.Y);
    }
  }
  if (arrowHead_ == TArrowHeadStyle::ahNone && Visible()) {
    const TPoint p = is3D ? canvas.ProjectPoint(from.X, from.Y, z) : from;
    PrepareCanvas(canvas, Brush().Color());
    DrawMarker(canvas, false, p.X, p.Y, HorizSize(), VertSize(), Brush().Color(), Style());
  }
}

void TCallout::DefineProperties(streaming::TPropertyTable &table) {
  TSeriesPointer::DefineProperties(table);
  // A callout's brush starts black.
  table.Object("Brush", StoredParts().Get("CalloutBrush", [this](streaming::TPropertyTable &t) {
    DefineChartBrush(t, Brush(), clBlack);
  }));
  table.Object("Arrow", StoredParts().Get(
                            "Arrow", [this](streaming::TPropertyTable &t) { DefineChartPen(t, *arrow_, clWhite); }));
  table.Enum(
      "ArrowHead", [this] { return arrowHead_; }, [this](TArrowHeadStyle v) { SetArrowHead(v); },
      TArrowHeadStyle::ahNone, kArrowHeadNames);
  table.Property("ArrowHeadSize", this, &TCallout::ArrowHeadSize, &TCallout::SetArrowHeadSize, 8);
  table.Property("Distance", this, &TCallout::Distance, &TCallout::SetDistance, 0);
  table.Property("Draw3D", this, &TSeriesPointer::Draw3D, &TSeriesPointer::SetDraw3D, false);
}

// ---- TMarksCallout -------------------------------------------------------------------------------

TMarksCallout::TMarksCallout(TChartSeries *series, TCustomUloPanel *chart) : TCallout(series, chart) {
  SetVisible(false);
}

void TMarksCallout::Assign(const TUloCustomShapeBrushPen &source) {
  if (auto *s = dynamic_cast<const TMarksCallout *>(&source); s && s != this) length_ = s->length_;
  TCallout::Assign(source);
}

void TMarksCallout::DefineProperties(streaming::TPropertyTable &table) {
  TCallout::DefineProperties(table);
  table.Property("Length", this, &TMarksCallout::Length, &TMarksCallout::SetLength, defaultLength_);
  table.Property("Visible", this, &TSeriesPointer::Visible, &TSeriesPointer::SetVisible, false);
}
