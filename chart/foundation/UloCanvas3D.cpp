#include "chart/foundation/UloCanvas3D.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "chart/foundation/UloPicture.h"
#include "chart/foundation/UloShadow.h"

namespace {
// Coordinates beyond the pixel limit are not drawn reliably by the device;
// chart code may hand the canvas any 32-bit value.
inline int C(int v) { return UloClampPixel(v); }
constexpr double kTwoPi = 2 * std::numbers::pi;
// Segments of the rim of an ellipse drawn at depth.
constexpr int kRimSegments = 63;
} // namespace

TUloCanvas3D::TUloCanvas3D() = default;

TUloCanvas3D::~TUloCanvas3D() { FreeBufferBitmap(); }

void TUloCanvas3D::Bind(gdi::DeviceContext *dc) {
  dc_ = dc;
  DeviceChanged();
}

std::span<const gdi::Point> TUloCanvas3D::DevicePoints(std::span<const TPoint> points) {
  devicePoints_.resize(points.size());
  gdi::Point *out = devicePoints_.data();
  for (const TPoint &p : points)
    *out++ = gdi::Point{p.X, p.Y};
  return devicePoints_;
}

std::span<const gdi::Point> TUloCanvas3D::ThinLinePoints(std::span<const TPoint> points) {
  devicePoints_.resize(points.size());
  gdi::Point *const begin = devicePoints_.data();
  gdi::Point *out = begin;
  for (const TPoint &p : points)
    if (out == begin || out[-1].x != p.X || out[-1].y != p.Y) *out++ = gdi::Point{p.X, p.Y};
  return {begin, static_cast<size_t>(out - begin)};
}

std::span<const gdi::Point> TUloCanvas3D::DevicePointsAtDepth(std::span<const TPoint> points, int z) {
  devicePoints_.resize(points.size());
  gdi::Point *out = devicePoints_.data();
  for (const TPoint &p : points) {
    const TPoint q = projection_.Project(p.X, p.Y, z);
    *out++ = gdi::Point{q.X, q.Y};
  }
  return devicePoints_;
}

// ---- device state ----------------------------------------------------------------

TColor TUloCanvas3D::GetBkColor() const { return dc_ ? dc_->BkColor() : clWhite; }

int TUloCanvas3D::GetBkMode() const { return dc_ ? static_cast<int>(dc_->GetBkMode()) : UloTransparentMode; }

TColor TUloCanvas3D::GetPixel(int x, int y) const {
  return dc_ ? dc_->GetPixel(x, y) : static_cast<TColor>(0xFFFFFFFF);
}

int TUloCanvas3D::GetTextAlign() const { return dc_ ? static_cast<int>(dc_->TextAlign()) : 0; }

void TUloCanvas3D::SetBkColor(TColor color) {
  if (dc_) dc_->SetBkColor(ColorToRGB(color));
}

void TUloCanvas3D::SetBkMode(int mode) {
  if (dc_) dc_->SetBkMode(mode == UloOpaqueMode ? gdi::BkMode::Opaque : gdi::BkMode::Transparent);
}

void TUloCanvas3D::SetMonochrome(bool value) {
  if (monochrome_ == value) return;
  monochrome_ = value;
  needsRedraw_ = true;
  // A plain 2D canvas has no view options and nobody to repaint.
  if (view3DOptions_ && view3DOptions_->Owner()) view3DOptions_->Owner()->Invalidate();
}

void TUloCanvas3D::SetPixel(int x, int y, TColor color) {
  if (dc_) dc_->SetPixel(x, y, ColorToRGB(color));
}

void TUloCanvas3D::SetTextAlign(int flags) {
  if (dc_) dc_->SetTextAlign(static_cast<uint32_t>(flags));
}

// ---- buffering -----------------------------------------------------------------------

void TUloCanvas3D::SetBuffered(bool value) {
  if (buffered_ == value) return;
  buffered_ = value;
  if (!buffer_) return;
  if (!value) {
    if (keepBitmap_) return;
    FreeBufferBitmap();
    needsRedraw_ = true;
  } else {
    Bind(&buffer_->DC());
  }
}

void TUloCanvas3D::FreeBufferBitmap() {
  if (buffer_ && dc_ == &buffer_->DC()) dc_ = nullptr;
  if (buffer_ == ownBuffer_.get()) ownBuffer_.reset();
  buffer_ = nullptr;
}

TRect TUloCanvas3D::PrepareTarget(gdi::DeviceContext *dest, TView3DOptions *options, const TRect &rect, bool is3D,
                                  TColor backColor) {
  bounds_ = rect;
  view3DOptions_ = options;
  if (options) SetFontZoom(options->FontZoom());
  projection_.Prepare(options, is3D);
  // A paint that ended early must not leave the next one suspended.
  suspendCount_ = 0;
  if (!buffered_) {
    Bind(dest);
    return rect;
  }
  int w, h;
  RectExtent(rect, w, h);
  w = std::max(0, w);
  h = std::max(0, h);
  bool fresh = false;
  if (!buffer_) {
    ownBuffer_ = std::make_unique<gdi::Bitmap>(w, h);
    buffer_ = ownBuffer_.get();
    fresh = true;
  } else if (buffer_->Width() != w || buffer_->Height() != h) {
    buffer_->SetSize(w, h);
    fresh = true;
  }
  if (fresh && backColor != clNone && backColor != clDefault) buffer_->Fill(ColorToRGB(backColor));
  Bind(&buffer_->DC());
  return TRect{0, 0, w, h};
}

void TUloCanvas3D::SetupProjection(int maxDepth, const TRect &rect) {
  projection_.Setup(view3DOptions_, maxDepth, rect, zoomText_);
}

void TUloCanvas3D::RecalcProjection(int maxDepth, const TRect &rect) {
  projection_.Prepare(view3DOptions_, projection_.is3D);
  projection_.Setup(view3DOptions_, maxDepth, rect, zoomText_);
}

bool TUloCanvas3D::DirectDraw(const std::function<void()> &draw) {
  if (!dc_) return false;
  if (buffered_ && buffer_ && dc_ != &buffer_->DC()) {
    gdi::DeviceContext *const shown = dc_;
    struct Rebind {
      TUloCanvas3D &canvas;
      gdi::DeviceContext *dc;
      ~Rebind() { canvas.Bind(dc); }
    };
    {
      Bind(&buffer_->DC());
      Rebind back{*this, shown};
      draw();
    }
  }
  draw();
  return true;
}

void TUloCanvas3D::CopyBufferTo(int x, int y, gdi::DeviceContext *canvas) {
  if (!buffer_ || !canvas || canvas == &buffer_->DC()) return;
  buffer_->DC().Flush();
  canvas->BitBlt(x, y, buffer_->Width(), buffer_->Height(), *buffer_, 0, 0, gdi::Rop3::SrcCopy);
}

void TUloCanvas3D::PresentBuffer(gdi::DeviceContext *dest, gdi::DeviceContext *defaultCanvas, const TRect &rect) {
  if (buffered_ && buffer_) {
    CopyBufferTo(rect.Left, rect.Top, dest);
    needsRedraw_ = false;
  }
  Bind(defaultCanvas);
}

bool TUloCanvas3D::RepaintFromBuffer() {
  if (needsRedraw_ || !buffer_ || !dc_) return false;
  CopyBufferTo(0, 0, dc_);
  return true;
}

// ---- direct mappings -------------------------------------------------------------------

void TUloCanvas3D::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  if (!dc_) return;
  SelectDevicePen();
  dc_->Arc(C(x1), C(y1), C(x2), C(y2), C(x3), C(y3), C(x4), C(y4));
}

void TUloCanvas3D::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  if (!dc_) return;
  Shape();
  dc_->Pie(C(x1), C(y1), C(x2), C(y2), C(x3), C(y3), C(x4), C(y4));
}

void TUloCanvas3D::Ellipse(int x1, int y1, int x2, int y2) {
  if (!dc_) return;
  Shape();
  dc_->Ellipse(C(x1), C(y1), C(x2), C(y2));
}

void TUloCanvas3D::Rectangle(int x0, int y0, int x1, int y1) {
  if (!dc_) return;
  Shape();
  dc_->Rectangle(C(x0), C(y0), C(x1), C(y1));
}

void TUloCanvas3D::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  if (!dc_) return;
  Shape();
  dc_->RoundRect(C(x1), C(y1), C(x2), C(y2), C(x3), C(y3));
}

void TUloCanvas3D::FillRect(const TRect &rect) {
  if (!dc_) return;
  SelectDeviceBrush();
  dc_->FillRect(gdi::Rect{C(rect.Left), C(rect.Top), C(rect.Right), C(rect.Bottom)});
}

void TUloCanvas3D::LineTo(int x, int y) {
  if (!dc_) return;
  SelectDevicePen();
  dc_->LineTo(C(x), C(y));
}

void TUloCanvas3D::MoveTo(int x, int y) {
  if (dc_) dc_->MoveTo(C(x), C(y));
}

void TUloCanvas3D::Polyline(std::span<const TPoint> points) {
  if (!dc_) return;
  SelectDevicePen();
  // A one-pixel line draws nothing for a segment of no length and carries
  // its dash phase by length only, so repeated points can go: dense
  // polylines repeat most of their points once projected to pixels.
  dc_->Polyline(Pen().Width() <= 1 ? ThinLinePoints(points) : DevicePoints(points));
}

void TUloCanvas3D::Polygon(std::span<const TPoint> points) {
  if (!dc_) return;
  Shape();
  dc_->Polygon(DevicePoints(points));
}

void TUloCanvas3D::Draw(int x, int y, const gdi::Bitmap *graphic) {
  if (!dc_ || !graphic || graphic->IsEmpty()) return;
  dc_->BitBlt(x, y, graphic->Width(), graphic->Height(), *graphic, 0, 0, gdi::Rop3::SrcCopy);
}

void TUloCanvas3D::StretchDraw(const TRect &rect, const gdi::Bitmap *graphic) {
  if (!dc_ || !graphic || graphic->IsEmpty()) return;
  dc_->StretchBlt(gdi::Rect{rect.Left, rect.Top, rect.Right, rect.Bottom}, *graphic,
                  gdi::Rect{0, 0, graphic->Width(), graphic->Height()});
}

void TUloCanvas3D::ClipToRect(const TRect &rect) {
  CombineClip(gdi::Region::FromRect(gdi::Rect{rect.Left, rect.Top, rect.Right, rect.Bottom}), gdi::RegionOp::And, true);
}

void TUloCanvas3D::RingSegment(int xCenter, int yCenter, int outerXRadius, int outerYRadius, int innerXRadius,
                               int innerYRadius, double startAngle, double endAngle) {
  if (!dc_) return;
  // The outer arc forward and the inner arc back, as one closed outline,
  // with about one point every two pixels of the outer arc.
  const double sweep = endAngle - startAngle;
  if (!std::isfinite(sweep)) return;
  const double radius = std::max(std::abs(outerXRadius), std::abs(outerYRadius));
  const double length = std::abs(sweep) * std::numbers::pi / 180 * radius;
  const int steps = static_cast<int>(std::clamp(std::ceil(length / 2), 4.0, 720.0));
  TPointArray &pts = scratch_;
  pts.clear();
  pts.reserve(2 * static_cast<std::size_t>(steps) + 2);
  auto rim = [&](double rx, double ry, double degrees) {
    const double a = degrees * std::numbers::pi / 180;
    pts.push_back(TPoint{UloPixel(xCenter + rx * std::cos(a)), UloPixel(yCenter - ry * std::sin(a))});
  };
  for (int i = 0; i <= steps; ++i)
    rim(outerXRadius, outerYRadius, startAngle + sweep * i / steps);
  for (int i = steps; i >= 0; --i)
    rim(innerXRadius, innerYRadius, startAngle + sweep * i / steps);
  Polygon(pts);
}

// ---- text ---------------------------------------------------------------------------------

TRect TUloCanvas3D::TextRect(int x, int y, std::string_view text) {
  const int w = MeasureTextWidth(text);
  const int h = MeasureTextHeight(text);
  const int align = GetTextAlign() & ~static_cast<int>(gdi::kAlignBottom);
  if (align == static_cast<int>(gdi::kAlignRight)) return TRect{x - w, y, x, y + h};
  if (align == static_cast<int>(gdi::kAlignCenter)) return TRect{x - w / 2, y, x + w / 2, y + h};
  return TRect{x, y, x + w, y + h};
}

void TUloCanvas3D::DrawTextShadow(int &x, int &y, std::string_view text, const TUloShadow &shadow) {
  // Text and shadow together start at (X, Y): a shadow to the left or above
  // pushes the text right or down.
  if (shadow.HorizSize() < 0) x -= shadow.HorizSize();
  if (shadow.VertSize() < 0) y -= shadow.VertSize();
  const int sx = x + shadow.HorizSize();
  const int sy = y + shadow.VertSize();
  std::unique_ptr<TUloBlend> blend;
  if (shadow.Transparency() > 0) blend = BeginTransparentDrawing(TextRect(sx, sy, text), shadow.Transparency());
  SelectDeviceFont();
  dc_->SetTextColor(ColorToRGB(shadow.Color()));
  dc_->TextOut(sx, sy, text);
  if (shadow.Smooth() && shadow.SmoothBlur() > 0 && buffer_ && dc_ == &buffer_->DC()) {
    const gdi::Size extent = dc_->TextExtent(text);
    int left = sx;
    const int align = GetTextAlign() & ~static_cast<int>(gdi::kAlignBottom);
    if (align == static_cast<int>(gdi::kAlignRight))
      left -= extent.cx;
    else if (align == static_cast<int>(gdi::kAlignCenter))
      left -= extent.cx / 2;
    // A shadow right of or below the image leaves nothing to blur.
    const TRect area{std::max(0, left - 1), std::max(0, sy), std::min(buffer_->Width() - 1, left + extent.cx),
                     std::min(buffer_->Height() - 1, sy + extent.cy - 1)};
    if (area.Left < area.Right && area.Top < area.Bottom) {
      dc_->Flush();
      TBlurFilter blur;
      blur.SetSteps(shadow.SmoothBlur());
      blur.Apply(*buffer_, area);
    }
    SetBkMode(UloTransparentMode);
  }
  if (blend) EndTransparentDrawing(std::move(blend));
}

void TUloCanvas3D::RecordText(int x, int y, std::string_view text) {
  dc_->BeginPath();
  dc_->TextOut(x, y, text);
  dc_->EndPath();
}

void TUloCanvas3D::DrawTextEffects(int x, int y, std::string_view text, TUloFont &font) {
  TChartHiddenPen *outline = font.ExistingOutLine();
  const bool outlineVisible = outline && outline->Visible();
  if (outlineVisible)
    ApplyPen(*outline);
  else
    Pen().SetStyle(TPenStyle::psClear);
  Brush().SetStyle(TBrushStyle::bsSolid);
  Brush().SetColor(Font().Color());
  SetBkMode(UloTransparentMode);
  Shape();
  SelectDeviceFont();
  RecordText(x, y, text);

  TUloFontGradient *gradient = font.ExistingGradient();
  TUloPicture *picture = font.ExistingPicture();
  if (gradient && gradient->Visible()) {
    if (gradient->Outline()) dc_->WidenPath();
    SaveClip();
    dc_->SelectClipPath(gdi::RegionOp::And);
    gradient->PaintRect(*this, TextRect(x, y, text));
    RemoveClip();
    if (gradient->Outline() || !outlineVisible) return;
    Shape();
    RecordText(x, y, text);
    Brush().SetStyle(TBrushStyle::bsClear);
  } else if (picture && picture->Graphic()) {
    SaveClip();
    dc_->SelectClipPath(gdi::RegionOp::And);
    StretchDraw(TextRect(x, y, text), picture->FilteredCopy());
    RemoveClip();
    if (!outlineVisible) return;
    Shape();
    RecordText(x, y, text);
    Brush().SetStyle(TBrushStyle::bsClear);
  }
  if (!outlineVisible) return;
  Shape();
  if (Font().Color() == clNone)
    dc_->StrokePath();
  else
    dc_->StrokeAndFillPath();
}

void TUloCanvas3D::TextOut(int x, int y, std::string_view text) {
  if (!dc_) return;
  TUloFont *font = CurrentChartFont();
  const TUloShadow *shadow = font ? font->ExistingShadow() : nullptr;
  if (shadow && shadow->Visible() && (shadow->HorizSize() != 0 || shadow->VertSize() != 0))
    DrawTextShadow(x, y, text, *shadow);
  SelectDeviceFont();
  dc_->SetTextColor(ColorToRGB(Font().Color()));
  if (font) {
    const TChartHiddenPen *outline = font->ExistingOutLine();
    const TUloFontGradient *gradient = font->ExistingGradient();
    const TUloPicture *picture = font->ExistingPicture();
    if ((outline && outline->Visible()) || (gradient && gradient->Visible()) || (picture && picture->Graphic())) {
      DrawTextEffects(x, y, text, *font);
      return;
    }
  }
  dc_->TextOut(x, y, text);
}

int TUloCanvas3D::HeightOfSize(int size) { return -UloPixel(static_cast<double>(size) * gdi::kPixelsPerInch / 72); }

void TUloCanvas3D::RotatedTextOut(int x, int y, std::string_view text, double angle) {
  if (!dc_) return;
  if (angle >= 360) angle = std::fmod(angle, 360.0);
  Brush().SetStyle(TBrushStyle::bsClear);
  SelectDeviceFont();
  gdi::Font rotated = dc_->CurrentFont();
  rotated.Escapement = UloPixel(angle * 10);
  rotated.Quality = gdi::FontQuality::Antialiased;
  if (zoomText_ && projection_.zoom != 1)
    rotated.Height = HeightOfSize(std::max(UloPixel(Font().Size() * projection_.zoom), 1));
  const gdi::Font previous = dc_->SelectFont(rotated);
  TextOut(x, y, text);
  dc_->SelectFont(previous);
}

void TUloCanvas3D::TextOutAtDepth(int x, int y, int z, std::string_view text) {
  if (!dc_) return;
  const TPoint p = projection_.Project(x, y, z);
  const int size = Font().Size();
  const int zoomed = std::max(UloPixel(size * projection_.zoom), 1);
  if (zoomText_ && projection_.zoom != 1 && zoomed != size) {
    SelectDeviceFont();
    gdi::Font scaled = dc_->CurrentFont();
    scaled.Height = HeightOfSize(zoomed);
    const gdi::Font previous = dc_->SelectFont(scaled);
    TextOut(p.X, p.Y, text);
    dc_->SelectFont(previous);
    return;
  }
  TextOut(p.X, p.Y, text);
}

void TUloCanvas3D::RotatedTextOutAtDepth(int x, int y, int z, std::string_view text, double angle) {
  const TPoint p = projection_.Project(x, y, z);
  RotatedTextOut(p.X, p.Y, text, angle);
}

// ---- 3D ------------------------------------------------------------------------------------

void TUloCanvas3D::SuspendProjection() {
  saved3D_ = projection_.is3D;
  savedOrthogonal_ = projection_.orthogonal;
  projection_.is3D = false;
  projection_.orthogonal = false;
}

void TUloCanvas3D::ResumeProjection() {
  projection_.is3D = saved3D_;
  projection_.orthogonal = savedOrthogonal_;
}

TColor TUloCanvas3D::GetPixelAt3D(int x, int y, int z) {
  const TPoint p = projection_.Project(x, y, z);
  return GetPixel(p.X, p.Y);
}

void TUloCanvas3D::SetPixelAt3D(int x, int y, int z, TColor color) {
  const TPoint p = projection_.Project(x, y, z);
  if (Pen().Width() != 1) {
    // A line to its own start draws a dot as wide as the pen.
    MoveTo(p.X, p.Y);
    LineTo(p.X, p.Y);
  } else {
    SetPixel(p.X, p.Y, color);
  }
}

void TUloCanvas3D::MoveToAtDepth(int x, int y, int z) {
  const TPoint p = projection_.Project(x, y, z);
  MoveTo(p.X, p.Y);
}

void TUloCanvas3D::LineToAtDepth(int x, int y, int z) {
  const TPoint p = projection_.Project(x, y, z);
  LineTo(p.X, p.Y);
}

void TUloCanvas3D::PolygonAtDepth(std::span<const TPoint> points, int z) {
  if (!dc_) return;
  const auto device = DevicePointsAtDepth(points, z);
  Shape();
  dc_->Polygon(device);
}

void TUloCanvas3D::PolylineAtDepth(std::span<const TPoint> points, int z) {
  if (!dc_) return;
  const bool thin = Pen().Width() <= 1;
  devicePoints_.resize(points.size());
  gdi::Point *const begin = devicePoints_.data();
  gdi::Point *out = begin;
  for (const TPoint &p : points) {
    const TPoint q = projection_.Project(p.X, p.Y, z);
    // As in Polyline: a thin line loses nothing by a repeated point.
    if (!thin || out == begin || out[-1].x != q.X || out[-1].y != q.Y) *out++ = gdi::Point{q.X, q.Y};
  }
  SelectDevicePen();
  dc_->Polyline({begin, static_cast<size_t>(out - begin)});
}

void TUloCanvas3D::Polygon3DPoints(std::span<const TPoint3D> points) {
  if (!dc_) return;
  devicePoints_.resize(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    const TPoint p = projection_.Project(points[i].X, points[i].Y, points[i].Z);
    devicePoints_[i] = gdi::Point{p.X, p.Y};
  }
  Shape();
  dc_->Polygon(devicePoints_);
}

void TUloCanvas3D::EllipseAtDepth(int x1, int y1, int x2, int y2, int z) {
  if (!dc_) return;
  if (projection_.orthogonal) {
    const TPoint a = projection_.Project(x1, y1, z);
    const TPoint b = projection_.Project(x2, y2, z);
    Ellipse(a.X, a.Y, b.X, b.Y);
    return;
  }
  if (!projection_.is3D) {
    Ellipse(x1, y1, x2 + 1, y2 + 1);
    return;
  }
  const int cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
  const int rx = (x2 - x1) / 2, ry = (y2 - y1) / 2;
  rim_[0] = projection_.Project(cx, cy + ry, z);
  for (int i = 1; i <= kRimSegments; ++i) {
    const double a = i * kTwoPi / kRimSegments;
    rim_[i] = projection_.ProjectFloat(cx + rx * std::sin(a), cy + ry * std::cos(a), z);
  }
  if (Brush().Style() != TBrushStyle::bsClear) {
    const TPenStyle style = Pen().Style();
    Pen().SetStyle(TPenStyle::psClear);
    const TPoint centre = projection_.Project(cx, cy, z);
    for (int i = 0; i < kRimSegments; ++i) {
      const TPoint triangle[3] = {centre, rim_[i], rim_[i + 1]};
      Polygon(triangle);
    }
    Pen().SetStyle(style);
  }
  if (Pen().Style() != TPenStyle::psClear) Polyline(rim_);
}

void TUloCanvas3D::ClipToBox(const TRect &rect, int minZ, int maxZ) {
  if (!projection_.is3D) {
    ClipToRect(TRect{rect.Left + 1, rect.Top + 1, rect.Right, rect.Bottom - 1});
    return;
  }
  TPointArray corners;
  corners.reserve(8);
  for (int z : {minZ, maxZ})
    for (int y : {rect.Top, rect.Bottom})
      for (int x : {rect.Left, rect.Right})
        corners.push_back(projection_.Project(x, y, z));
  ConvexHull(corners);
  ClipToPolygon(corners, false);
}

// ---- quadrilaterals and triangles -------------------------------------------------------

void TUloCanvas3D::DrawQuadBuffer() { Polygon(quad_); }

void TUloCanvas3D::QuadAtDepth(const TPoint &p1, const TPoint &p2, const TPoint &p3, const TPoint &p4, int z) {
  quad_ = {projection_.Project(p1.X, p1.Y, z), projection_.Project(p2.X, p2.Y, z), projection_.Project(p3.X, p3.Y, z),
           projection_.Project(p4.X, p4.Y, z)};
  DrawQuadBuffer();
}

void TUloCanvas3D::VerticalQuad(const TPoint &p1, const TPoint &p2, int z0, int z1) {
  quad_ = {projection_.Project(p1.X, p1.Y, z0), projection_.Project(p2.X, p2.Y, z0),
           projection_.Project(p2.X, p2.Y, z1), projection_.Project(p1.X, p1.Y, z1)};
  DrawQuadBuffer();
}

void TUloCanvas3D::QuadTwoDepths(const TPoint &p1, const TPoint &p2, const TPoint &p3, const TPoint &p4, int z0,
                                 int z1) {
  quad_ = {projection_.Project(p1.X, p1.Y, z0), projection_.Project(p2.X, p2.Y, z0),
           projection_.Project(p3.X, p3.Y, z1), projection_.Project(p4.X, p4.Y, z1)};
  DrawQuadBuffer();
}

void TUloCanvas3D::RectangleAtDepth(const TRect &rect, int z) {
  quad_ = ProjectRectQuad(rect, z);
  DrawQuadBuffer();
}

void TUloCanvas3D::HorizontalRectAtHeight(int left, int y, int right, int z0, int z1) {
  quad_ = {projection_.Project(left, y, z0), projection_.Project(right, y, z0), projection_.Project(right, y, z1),
           projection_.Project(left, y, z1)};
  DrawQuadBuffer();
}

void TUloCanvas3D::SideRectAtX(int x, int top, int bottom, int z0, int z1) {
  quad_ = {projection_.Project(x, top, z0), projection_.Project(x, top, z1), projection_.Project(x, bottom, z1),
           projection_.Project(x, bottom, z0)};
  DrawQuadBuffer();
}

void TUloCanvas3D::Triangle3DPoints(const TPoint3D &p0, const TPoint3D &p1, const TPoint3D &p2, TColor color) {
  if (Brush().Style() != TBrushStyle::bsClear) Brush().SetColor(color);
  const TPoint pts[3] = {projection_.Project(p0.X, p0.Y, p0.Z), projection_.Project(p1.X, p1.Y, p1.Z),
                         projection_.Project(p2.X, p2.Y, p2.Z)};
  Polygon(pts);
}

void TUloCanvas3D::TriangleAtDepth(const TPoint &p1, const TPoint &p2, const TPoint &p3, int z) {
  const TPoint pts[3] = {projection_.Project(p1.X, p1.Y, z), projection_.Project(p2.X, p2.Y, z),
                         projection_.Project(p3.X, p3.Y, z)};
  Polygon(pts);
}
