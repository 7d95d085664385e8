#include "chart/foundation/UloShape.h"

#include <algorithm>
#include <array>
#include <cmath>

using streaming::TEnumName;
using streaming::TPropertyTable;
using streaming::TReadContext;
using streaming::TValue;

namespace {

constexpr std::array<TEnumName<TChartObjectShapeStyle>, 3> kStyleNames{
    {{TChartObjectShapeStyle::fosRectangle, "fosRectangle"},
     {TChartObjectShapeStyle::fosRoundRectangle, "fosRoundRectangle"},
     {TChartObjectShapeStyle::fosEllipse, "fosEllipse"}}};

constexpr double kDegreesToRadians = 0.017453292519943295;

TRect Moved(const TRect &r, int dx, int dy) noexcept {
  return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

} // namespace

// ---- brush and pen -------------------------------------------------------------

TUloCustomShapeBrushPen::TUloCustomShapeBrushPen(TCustomUloPanel *parent)
    : parent_(parent), pen_(std::make_unique<TChartPen>([this] { Repaint(); })) {}

TUloCustomShapeBrushPen::~TUloCustomShapeBrushPen() = default;

std::unique_ptr<TChartBrush> TUloCustomShapeBrushPen::CreateBrush() { return std::make_unique<TChartBrush>(); }

TChartBrush &TUloCustomShapeBrushPen::Brush() {
  if (!brush_) {
    brush_ = CreateBrush();
    brush_->OnChange = [this] { Repaint(); };
  }
  return *brush_;
}

void TUloCustomShapeBrushPen::Assign(const TUloCustomShapeBrushPen &source) {
  if (&source == this) return;
  if (source.brush_)
    Brush().Assign(*source.brush_);
  else
    brush_.reset();
  pen_->Assign(*source.pen_);
  SetVisible(source.visible_);
}

void TUloCustomShapeBrushPen::Repaint() {
  if (parent_) parent_->Invalidate();
}

void TUloCustomShapeBrushPen::DefineBrush(TPropertyTable &t, std::string_view name) {
  t.Object(name, storedParts_.Get(name, [this](TPropertyTable &p) { DefineChartBrush(p, Brush()); }));
}

void TUloCustomShapeBrushPen::DefinePen(TPropertyTable &t, std::string_view name) {
  t.Object(name, storedParts_.Get(name, [this](TPropertyTable &p) { DefineChartPen(p, *pen_); }));
}

// ---- shape ------------------------------------------------------------------------

TUloCustomShape::TUloCustomShape(TCustomUloPanel *chart)
    : TUloCustomShapeBrushPen(chart), font_(std::make_unique<TUloFont>([this] { Repaint(); })) {
  (void)Shadow();
}

TUloCustomShape::~TUloCustomShape() = default;

void TUloCustomShape::InitShadow(TUloShadow &shadow) { shadow.InitColorAndSize(clBlack, 3); }

std::unique_ptr<TUloGradient> TUloCustomShape::CreateGradient() { return std::make_unique<TUloGradient>(); }

TUloShadow &TUloCustomShape::Shadow() {
  if (!shadow_) {
    shadow_ = std::make_unique<TUloShadow>();
    InitShadow(*shadow_);
    shadow_->OnChange = [this] { Repaint(); };
  }
  return *shadow_;
}

void TUloCustomShape::SetShadow(const TUloShadow *value) {
  if (!value) {
    shadow_.reset();
    Repaint();
    return;
  }
  Shadow().Assign(*value);
}

TUloGradient &TUloCustomShape::Gradient() {
  if (!gradient_) {
    gradient_ = CreateGradient();
    gradient_->OnChange = [this] { Repaint(); };
  }
  return *gradient_;
}

void TUloCustomShape::SetGradient(const TUloGradient *value) {
  UloSetLazyPart(
      gradient_, value, [this]() -> auto & { return Gradient(); }, [this] { Repaint(); });
}

TBackImage &TUloCustomShape::Picture() {
  if (!picture_) picture_ = std::make_unique<TBackImage>([this] { Repaint(); });
  return *picture_;
}

void TUloCustomShape::SetPicture(const TBackImage *value) {
  if (!value)
    picture_.reset();
  else
    Picture().Assign(*value);
  Repaint();
}

void TUloCustomShape::SetTransparency(int value) {
  // Beyond 100 percent the mixing has no meaning.
  SetAndRepaint(transparency_, std::clamp(value, 0, 100));
}

void TUloCustomShape::Assign(const TUloCustomShapeBrushPen &source) {
  if (auto *other = dynamic_cast<const TUloCustomShape *>(&source); other && other != this) {
    SetBevel(other->bevel_);
    SetBevelWidth(other->bevelWidth_);
    SetColor(other->color_);
    font_->Assign(*other->font_);
    SetGradient(other->gradient_.get());
    SetShapeStyle(other->shapeStyle_);
    SetPicture(other->picture_.get());
    SetRoundSize(other->roundSize_);
    SetShadow(other->shadow_.get());
    SetTextFormat(other->textFormat_);
    SetTransparent(other->transparent_);
    SetTransparency(other->transparency_);
  }
  TUloCustomShapeBrushPen::Assign(source);
}

// ---- drawing ------------------------------------------------------------------------

void TUloCustomShape::Draw() { DrawRect(ShapeBounds, 0, 0); }

void TUloCustomShape::DrawRect(const TRect &rect, int angle, int z) { DoDraw(ParentChart(), rect, angle, z); }

TFourPoints TUloCustomShape::DrawRectRotated(const TRect &rect, int angle) {
  int cx, cy;
  RectMidpoint(rect, cx, cy);
  const double a = angle * kDegreesToRadians;
  const double s = std::sin(a), c = std::cos(a);
  const TPoint corners[4] = {
      {rect.Left, rect.Top}, {rect.Right, rect.Top}, {rect.Right, rect.Bottom}, {rect.Left, rect.Bottom}};
  TFourPoints result;
  for (int i = 0; i < 4; ++i) {
    const double x = static_cast<double>(corners[i].X) - cx;
    const double y = static_cast<double>(corners[i].Y) - cy;
    result[i] = TPoint{UloClampPixel(static_cast<long long>(UloPixel(x * c + y * s)) + cx),
                       UloClampPixel(static_cast<long long>(UloPixel(-x * s + y * c)) + cy)};
  }
  return result;
}

void TUloCustomShape::DoDraw(TCustomUloPanel *panel, const TRect &r, int angle, int z) {
  if (!panel || transparent_) return;
  TUloCanvas3D &canvas = panel->Canvas();

  std::unique_ptr<TUloBlend> blend;
  if (transparency_ > 0) {
    const TRect area = angle != 0 ? PointsBoundingRectInclusive(DrawRectRotated(r, angle)) : r;
    blend = canvas.BeginTransparentDrawing(area, transparency_);
  }

  if (shadow_ && shadow_->Visible() && shadow_->MaxOffset() != 0 && Brush().Style() != TBrushStyle::bsClear)
    DrawShadow(canvas, r, angle, z);

  if (picture_ && picture_->Graphic()) {
    bool clipped = true;
    if (shapeStyle_ == TChartObjectShapeStyle::fosEllipse)
      canvas.ClipToEllipse(r);
    else if (shapeStyle_ == TChartObjectShapeStyle::fosRoundRectangle)
      canvas.ClipToRoundRect(r, roundSize_);
    else
      clipped = false;
    picture_->Draw(*panel, r, z);
    if (clipped) canvas.RemoveClip();
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
  } else if (gradient_ && gradient_->Visible()) {
    DrawGradient(canvas, r, angle, z);
  } else {
    canvas.ApplyBrushColor(Brush(), color_);
  }

  canvas.ApplyPen(Pen());
  DrawOutline(canvas, r, angle, z);
  if (angle == 0) {
    TRect inner = r;
    TCustomUloPanel::DrawBevel(canvas, bevel_, inner, 0, bevelWidth_);
  }

  if (blend) {
    TBackImage &picture = Picture();
    TFilterItems *filters = picture.ExistingFilters();
    if (filters && filters->Count() > 0 && !picture.Graphic() && blend->Captured())
      // The capture belongs to the blend, which mixes it back below; the
      // filters change what shows through the shape.
      filters->RunAll(const_cast<gdi::Bitmap &>(*blend->Captured()));
    // Mixed with the shape's own transparency: a transparent shadow drawn
    // in between has begun a blend of its own with another one.
    blend->MixBack(transparency_);
  }
}

void TUloCustomShape::DrawOutline(TCanvas3D &canvas, const TRect &r, int angle, int z) {
  if (angle != 0) {
    const TFourPoints corners = DrawRectRotated(r, angle);
    canvas.PolygonAtDepth(corners, z);
  } else if (canvas.CapabilityFlagA()) {
    if (shapeStyle_ == TChartObjectShapeStyle::fosEllipse)
      canvas.EllipseAtDepth(r.Left, r.Top, r.Right, r.Bottom, z);
    else
      canvas.RectangleAtDepth(r, z);
  } else {
    switch (shapeStyle_) {
    case TChartObjectShapeStyle::fosRectangle:
      canvas.RectangleOfRect(r);
      break;
    case TChartObjectShapeStyle::fosEllipse:
      canvas.EllipseOfRect(r);
      break;
    case TChartObjectShapeStyle::fosRoundRectangle:
      canvas.RoundRect(r.Left, r.Top, r.Right, r.Bottom, roundSize_, roundSize_);
      break;
    }
  }
}

void TUloCustomShape::DrawShadow(TCanvas3D &canvas, const TRect &r, int angle, int z) {
  if (!shadow_) return;
  TUloShadow &shadow = *shadow_;
  const TRect area = angle != 0 ? PointsBoundingRect(DrawRectRotated(r, angle)) : r;
  if (angle != 0) {
    // The shadow of the turned outline itself: the shadow of its bounding
    // box would show as a dark box larger than the shape.
    TFourPoints corners = DrawRectRotated(r, angle);
    for (TPoint &p : corners)
      p = canvas.ProjectPoint(p.X, p.Y, z);
    canvas.PushSuspendProjection();
    shadow.PaintPolygonShadow(canvas, corners);
    canvas.PopSuspendProjection();
  } else if (shapeStyle_ != TChartObjectShapeStyle::fosEllipse) {
    const int corner = shapeStyle_ == TChartObjectShapeStyle::fosRoundRectangle ? roundSize_ : 0;
    const bool flat = !canvas.CapabilityFlagA();
    if (flat) canvas.PushSuspendProjection();
    shadow.PaintRectShadow(canvas, area, z, corner);
    if (flat) canvas.PopSuspendProjection();
  } else {
    shadow.PaintEllipseShadow(canvas, area, z);
  }

  if (transparency_ > 0) {
    // The shape itself lets the background through, so its silhouette in
    // the shadow colour keeps the shadow from showing inside it.
    int h = shadow.HorizSize(), v = shadow.VertSize();
    if (std::max(h, v) > 0 && Pen().Visible()) {
      h += Pen().Width();
      v += Pen().Width();
    }
    canvas.Pen().SetStyle(TPenStyle::psClear);
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.Brush().SetColor(shadow.Color());
    std::unique_ptr<TUloBlend> blend;
    if (shadow.Transparency() > 0) blend = canvas.BeginTransparentDrawing(Moved(area, h, v), shadow.Transparency());
    DrawOutline(canvas, Moved(r, h, v), angle, z);
    if (blend) blend->MixBack(shadow.Transparency());
  }
}

void TUloCustomShape::DrawGradient(TCanvas3D &canvas, const TRect &r, int angle, int z) {
  if (!gradient_) return;
  if (angle != 0) {
    const TFourPoints corners = DrawRectRotated(r, angle);
    if (canvas.CapabilityFlagA())
      gradient_->PaintProjectedQuad(canvas, corners, z);
    else
      gradient_->PaintQuad(canvas, corners);
  } else if (canvas.CapabilityFlagA()) {
    gradient_->PaintRect(canvas, canvas.ProjectedRectBounds(r, z), 0);
  } else {
    // An ellipse gets the gradient of its whole box; the outline frames it.
    gradient_->PaintRect(canvas, r, shapeStyle_ == TChartObjectShapeStyle::fosRoundRectangle ? roundSize_ : 0);
  }
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
}

// ---- stored keys -----------------------------------------------------------------------

void TUloCustomShape::DefineProperties(TPropertyTable &t) {
  TUloCustomShapeBrushPen::DefineProperties(t);
  t.Define(
      "ShadowColor", [this](const TValue &v, TReadContext &) { Shadow().SetColor(streaming::ValueToColor(v)); },
      nullptr);
  t.Define(
      "ShadowSize", [this](const TValue &v, TReadContext &) { Shadow().SetBothSizes(v.AsInt32()); }, nullptr);
}

void TUloShape::DefineProperties(TPropertyTable &t) {
  TUloCustomShape::DefineProperties(t);
  t.Enum(
      "Bevel", [this] { return Bevel(); }, [this](TBevelCut b) { SetBevel(b); }, TBevelCut::bvNone, UloBevelCutNames());
  t.Property("BevelWidth", this, &TUloShape::BevelWidth, &TUloShape::SetBevelWidth, 2);
  t.Color(
      "Color", [this] { return Color(); }, [this](TColor c) { SetColor(c); }, clWhite);
  t.Object("Font",
           StoredParts().Get("Font", [this](TPropertyTable &p) { DefineUloFont(p, Font(), StoredParts(), "Font"); }));
  t.Object("Gradient", StoredParts().Get("Gradient", [this](TPropertyTable &p) {
     DefineUloGradient(p, Gradient());
   })).StoredWhen([this] { return ExistingGradient() != nullptr; });
  // A picture that drawing made on the way holds nothing worth storing.
  t.Object("Picture", [this] { return static_cast<streaming::TPersistent *>(&Picture()); }).StoredWhen([this] {
    const TBackImage *p = ExistingPicture();
    return p && (p->Graphic() || (p->ExistingFilters() && p->ExistingFilters()->Count() > 0) || p->Inside() ||
                 p->Left() != 0 || p->Top() != 0 || p->Mode() != TUloBackImageMode::pbmStretch);
  });
  t.Property("RoundSize", this, &TUloShape::RoundSize, &TUloShape::SetRoundSize, 16);
  t.Object("Shadow", StoredParts().Get("Shadow", [this](TPropertyTable &p) {
     DefineUloShadow(p, Shadow());
   })).StoredWhen([this] { return ExistingShadow() != nullptr; });
  t.Enum(
      "ShapeStyle", [this] { return ShapeStyle(); }, [this](TChartObjectShapeStyle s) { SetShapeStyle(s); },
      TChartObjectShapeStyle::fosRectangle, std::span<const TEnumName<TChartObjectShapeStyle>>(kStyleNames));
  t.Define(
       "Transparent", [this](const TValue &v, TReadContext &) { SetTransparent(v.AsBoolean()); },
       [this]() -> std::optional<TValue> { return TValue::MakeBoolean(Transparent()); })
      .StoredWhen([this] { return Transparent() != DefaultTransparent(); });
  t.Property("Visible", this, &TUloShape::Visible, &TUloShape::SetVisible, true);
}
