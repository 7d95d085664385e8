#include "chart/foundation/UloGradient.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "chart/foundation/UloCanvas3D.h"
#include "chart/foundation/UloShadow.h"
#include "platform/rtl/Numbers.h"

namespace {

struct Rgb {
  int r, g, b;
};

Rgb Channels(TColor color, bool monochrome) {
  const TColor c = ColorToRGB(color);
  Rgb rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
  if (monochrome) {
    const int grey = (rgb.r + rgb.g + rgb.b) / 3;
    rgb = {grey, grey, grey};
  }
  return rgb;
}

TColor PlainColor(TColor color, bool monochrome) {
  const Rgb c = Channels(color, monochrome);
  return RGBColor(c.r, c.g, c.b);
}

// The colours of one run of bands: band 0 in the first colour, band N in
// the second; Balance 50 steps linearly (integer division toward zero), any
// other balance follows the power curve.
class TBandColors {
public:
  TBandColors(TColor first, TColor second, int balance, int n, bool monochrome)
      : c0_(Channels(first, monochrome)), balance_(balance), n_(n), exponent_(0.5 + 0.015 * balance) {
    const Rgb c1 = Channels(second, monochrome);
    d_ = {c1.r - c0_.r, c1.g - c0_.g, c1.b - c0_.b};
  }
  TColor operator()(int i) const {
    if (balance_ == 50) return RGBColor(c0_.r + d_.r * i / n_, c0_.g + d_.g * i / n_, c0_.b + d_.b * i / n_);
    const double f = std::pow((1.0 + i) / (1.0 + n_), exponent_);
    return RGBColor(Toward(c0_.r, d_.r, f), Toward(c0_.g, d_.g, f), Toward(c0_.b, d_.b, f));
  }

private:
  // A balance below about -33 turns the exponent negative and f beyond 1;
  // the channel then stays at the second colour instead of running past
  // it and wrapping into an unrelated colour.
  static int Toward(int c0, int d, double f) {
    const int v = c0 + rtl::RoundPixel(d * f);
    return d >= 0 ? std::clamp(v, c0, c0 + d) : std::clamp(v, c0 + d, c0);
  }

  Rgb c0_, d_{};
  int balance_;
  int n_;
  double exponent_;
};

bool IsVertical(TGradientDirection d) {
  return d == TGradientDirection::gdTopBottom || d == TGradientDirection::gdBottomTop;
}
bool IsHorizontal(TGradientDirection d) {
  return d == TGradientDirection::gdLeftRight || d == TGradientDirection::gdRightLeft;
}

struct DPoint {
  double x, y;
};

// The part of a convex polygon on the side of the line where
// a * x + b * y >= c.
std::vector<DPoint> ClipHalfPlane(const std::vector<DPoint> &in, double a, double b, double c) {
  std::vector<DPoint> out;
  for (std::size_t i = 0, n = in.size(); i < n; ++i) {
    const DPoint &p = in[i];
    const DPoint &q = in[(i + 1) % n];
    const double fp = a * p.x + b * p.y - c, fq = a * q.x + b * q.y - c;
    if (fp >= 0) out.push_back(p);
    if ((fp >= 0) != (fq >= 0)) {
      const double t = fp / (fp - fq);
      out.push_back(DPoint{p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)});
    }
  }
  return out;
}

} // namespace

// ---- settings -----------------------------------------------------------------------

void TCustomUloGradient::Assign(const TCustomUloGradient &source) {
  bool changed = UloStoreIfChanged(angle_, source.angle_);
  changed |= UloStoreIfChanged(balance_, source.balance_);
  changed |= UloStoreIfChanged(direction_, source.direction_);
  changed |= UloStoreIfChanged(endColor_, source.endColor_);
  changed |= UloStoreIfChanged(midColor_, source.midColor_);
  changed |= UloStoreIfChanged(radialX_, source.radialX_);
  changed |= UloStoreIfChanged(radialY_, source.radialY_);
  changed |= UloStoreIfChanged(startColor_, source.startColor_);
  changed |= UloStoreIfChanged(visible_, source.visible_);
  changed |= UloStoreIfChanged(hasMidColor_, source.hasMidColor_);
  if (changed) Changed();
}

void TCustomUloGradient::SetMidColor(TColor value) {
  if (value == clNone) {
    if (!hasMidColor_) return;
    hasMidColor_ = false;
    midColor_ = clNone;
    Changed();
    return;
  }
  if (hasMidColor_ && midColor_ == value) return;
  hasMidColor_ = true;
  midColor_ = value;
  Changed();
}

void TUloFontGradient::Assign(const TCustomUloGradient &source) {
  if (const auto *font = dynamic_cast<const TUloFontGradient *>(&source)) SetOutline(font->outline_);
  TCustomUloGradient::Assign(source);
}

void TSubGradient::Assign(const TCustomUloGradient &source) {
  if (const auto *sub = dynamic_cast<const TSubGradient *>(&source)) SetTransparency(sub->transparency_);
  TCustomUloGradient::Assign(source);
}

TUloGradient::~TUloGradient() = default;

TSubGradient &TUloGradient::SubGradient() {
  if (!subGradient_) subGradient_ = std::make_unique<TSubGradient>([this] { Changed(); });
  return *subGradient_;
}

void TUloGradient::SetSubGradient(const TSubGradient *value) {
  UloSetLazyPart(
      subGradient_, value, [this]() -> auto & { return SubGradient(); }, [this] { Changed(); });
}

void TUloGradient::Assign(const TCustomUloGradient &source) {
  if (const auto *other = dynamic_cast<const TUloGradient *>(&source); other && other != this)
    SetSubGradient(other->subGradient_.get());
  TCustomUloGradient::Assign(source);
}

// ---- painting -----------------------------------------------------------------------

void TCustomUloGradient::PaintRect(TUloCanvas &canvas, const TRect &rect, int roundSize) {
  using enum TGradientDirection;
  if (roundSize > 0) canvas.ClipToRoundRect(rect, roundSize);
  const bool linear = IsVertical(direction_) || IsHorizontal(direction_);
  if (angle_ != 0 && linear) {
    PaintAngled(canvas, rect);
  } else if (direction_ == gdRadial) {
    canvas.FillGradient(rect, startColor_, endColor_, direction_, balance_, radialX_, radialY_);
  } else if (!hasMidColor_ || direction_ == gdDiagonalUp || direction_ == gdDiagonalDown) {
    canvas.FillGradient(rect, startColor_, endColor_, direction_, balance_, radialX_, radialY_);
  } else if (linear) {
    // Start to middle in the half where the start colour lies, middle to
    // end in the other; the halves meet at the integer middle.
    const TRect r = NormalizeRect(rect);
    TRect first = r, second = r;
    if (IsVertical(direction_)) {
      const int mid = r.Top + (r.Bottom - r.Top) / 2;
      first.Bottom = second.Top = mid;
      if (direction_ == gdTopBottom) std::swap(first, second);
    } else {
      const int mid = r.Left + (r.Right - r.Left) / 2;
      first.Right = second.Left = mid;
      if (direction_ == gdLeftRight) std::swap(first, second);
    }
    canvas.FillGradient(first, startColor_, midColor_, direction_, balance_);
    canvas.FillGradient(second, midColor_, endColor_, direction_, balance_);
  } else {
    canvas.FillGradient(rect, startColor_, endColor_, direction_, 50);
  }
  if (roundSize > 0) canvas.RemoveClip();
}

// Bands at right angles to the gradient's axis turned Angle degrees
// counter-clockwise, band 0 at the end of the axis where an unturned
// gradient has it (the bottom or the right), with the middle colour halfway
// when there is one. Each band is cut to the rectangle before it is drawn.
void TCustomUloGradient::PaintAngled(TUloCanvas &canvas, const TRect &rect) const {
  using enum TGradientDirection;
  const TRect r = NormalizeRect(rect);
  const double w = static_cast<double>(r.Right) - r.Left, h = static_cast<double>(r.Bottom) - r.Top;
  if (w < 2 || h < 2) return;
  const double a = angle_ * std::numbers::pi / 180;
  const double c = std::cos(a), s = std::sin(a);
  // The unit vector toward band 0, turned counter-clockwise on screen.
  const double ux = IsVertical(direction_) ? s : c;
  const double uy = IsVertical(direction_) ? c : -s;
  const double extent = std::abs(w * ux) + std::abs(h * uy);
  const int e = std::max(1, rtl::RoundPixel(extent));
  const int count = std::min(e, 256);
  const int n = count - 1;
  if (n < 1) return;
  TColor first = startColor_, last = endColor_;
  if (direction_ == gdBottomTop || direction_ == gdRightLeft) std::swap(first, last);
  const bool monochrome = canvas.GetMonochrome();
  const double cx = (r.Left + static_cast<double>(r.Right)) * 0.5, cy = (r.Top + static_cast<double>(r.Bottom)) * 0.5;
  auto bandColor = [&](int i) -> TColor {
    if (!hasMidColor_) return TBandColors(first, last, balance_, n, monochrome)(i);
    // The first half of the bands runs to the middle colour.
    const int half = std::max(1, n / 2);
    if (i <= half) return TBandColors(first, midColor_, balance_, half, monochrome)(i);
    return TBandColors(midColor_, last, balance_, std::max(1, n - half), monochrome)(i - half);
  };
  const std::vector<DPoint> box{{static_cast<double>(r.Left), static_cast<double>(r.Top)},
                                {static_cast<double>(r.Right), static_cast<double>(r.Top)},
                                {static_cast<double>(r.Right), static_cast<double>(r.Bottom)},
                                {static_cast<double>(r.Left), static_cast<double>(r.Bottom)}};
  TPen &pen = canvas.Pen();
  TBrush &brush = canvas.Brush();
  const TPenStyle penStyle = pen.Style();
  const TBrushStyle brushStyle = brush.Style();
  const TColor brushColor = brush.Color();
  pen.SetStyle(TPenStyle::psClear);
  brush.SetStyle(TBrushStyle::bsSolid);
  std::vector<TPoint> pts;
  int prev = 0;
  for (int i = 0; i < count; ++i) {
    const int next = static_cast<int>(static_cast<long long>(i + 1) * e / count);
    // Distances along the axis, from the far end back toward band 0.
    const double hiT = extent * 0.5 - static_cast<double>(prev) * extent / e;
    const double loT = extent * 0.5 - static_cast<double>(next) * extent / e;
    std::vector<DPoint> band = ClipHalfPlane(box, -ux, -uy, -(ux * cx + uy * cy + hiT));
    band = ClipHalfPlane(band, ux, uy, ux * cx + uy * cy + loT);
    prev = next;
    if (band.size() < 3) continue;
    pts.resize(band.size());
    for (std::size_t k = 0; k < band.size(); ++k)
      pts[k] = TPoint{UloPixel(band[k].x), UloPixel(band[k].y)};
    brush.SetColor(bandColor(i));
    canvas.Polygon(pts);
  }
  pen.SetStyle(penStyle);
  brush.SetStyle(brushStyle);
  brush.SetColor(brushColor);
}

void TCustomUloGradient::PaintQuad(TUloCanvas &canvas, const TFourPoints &points) {
  canvas.ClipToPolygon(points, false);
  PaintRect(canvas, PointsBoundingRectInclusive(points));
  canvas.RemoveClip();
}

void TCustomUloGradient::PaintProjectedQuad(TCanvas3D &canvas, const TFourPoints &points, int z) {
  const TFourPoints projected{canvas.ProjectPointAtDepth(points[0], z), canvas.ProjectPointAtDepth(points[1], z),
                              canvas.ProjectPointAtDepth(points[2], z), canvas.ProjectPointAtDepth(points[3], z)};
  PaintQuad(canvas, projected);
}

// The sub-gradient lies over the main one with Transparency percent of it
// showing through.
void TSubGradient::PaintRect(TUloCanvas &canvas, const TRect &rect, int roundSize) {
  const int transparency = std::clamp(transparency_, 0, 100);
  if (transparency >= 100) return;
  std::unique_ptr<TUloBlend> blend;
  if (transparency > 0) blend = canvas.BeginTransparentDrawing(rect, transparency);
  TCustomUloGradient::PaintRect(canvas, rect, roundSize);
  if (blend) canvas.EndTransparentDrawing(std::move(blend));
}

void TUloGradient::PaintRect(TUloCanvas &canvas, const TRect &rect, int roundSize) {
  TCustomUloGradient::PaintRect(canvas, rect, roundSize);
  if (subGradient_ && subGradient_->Visible()) subGradient_->PaintRect(canvas, rect, roundSize);
}

// ---- the band painter of the canvas ----------------------------------------------

namespace {

// Draws on the device with its own brush, pen, raster operation and clip,
// and gives the device back exactly as it found it, so the canvas's record
// of what is selected stays true.
class DeviceScope {
public:
  explicit DeviceScope(gdi::DeviceContext &dc) : dc_(dc) { dc_.Save(); }
  ~DeviceScope() { dc_.Restore(); }
  DeviceScope(const DeviceScope &) = delete;
  DeviceScope &operator=(const DeviceScope &) = delete;

private:
  gdi::DeviceContext &dc_;
};

} // namespace

void TUloCanvas3D::FillGradient(const TRect &rect, TColor startColor, TColor endColor, TGradientDirection direction,
                                int balance, int radialX, int radialY) {
  using enum TGradientDirection;
  if (!dc_) return;
  const TRect r = NormalizeRect(rect);
  const int width = r.Right - r.Left, height = r.Bottom - r.Top;
  // An empty or one-pixel rectangle paints nothing (and divides by nothing).
  if (width <= 0 || height <= 0 || (width == 1 && height == 1)) return;
  const bool keepOrder = direction == gdTopBottom || direction == gdLeftRight || direction == gdRadial ||
                         direction == gdDiagonalUp || direction == gdDiagonalDown;
  if (!keepOrder) std::swap(startColor, endColor);

  if (IsVertical(direction) || IsHorizontal(direction)) {
    const bool vertical = IsVertical(direction);
    const int extent = vertical ? height : width;
    const int count = std::min(extent, 256);
    const int n = count - 1;
    if (n < 1) return;
    const TBandColors color(startColor, endColor, balance, n, monochrome_);
    int prev = 0;
    for (int i = 0; i < count; ++i) {
      const int next = static_cast<int>(static_cast<long long>(i + 1) * extent / count);
      // Band 0 lies at the bottom (or right) edge.
      const gdi::Rect band = vertical ? gdi::Rect{r.Left, r.Top + extent - next, r.Right, r.Top + extent - prev}
                                      : gdi::Rect{r.Left + extent - next, r.Top, r.Left + extent - prev, r.Bottom};
      dc_->FillRect(band, gdi::Brush::Solid(color(i)));
      prev = next;
    }
    return;
  }

  if (direction == gdFromCenter) {
    // Frames from the outside (band 0) inward, each inset in proportion to
    // the rectangle's sides; the last band fills the middle.
    const int count = std::min(std::max(width, height) / 2, 256);
    const int n = count - 1;
    if (n < 1) return;
    const TBandColors color(startColor, endColor, balance, n, monochrome_);
    auto inset = [&](int b) {
      const int ex = static_cast<int>(static_cast<long long>(b) * width / (2 * count));
      const int ey = static_cast<int>(static_cast<long long>(b) * height / (2 * count));
      return gdi::Rect{r.Left + ex, r.Top + ey, r.Right - ex, r.Bottom - ey};
    };
    for (int b = 0; b < count; ++b) {
      const gdi::Brush brush = gdi::Brush::Solid(color(b));
      const gdi::Rect outer = inset(b);
      if (b == n) {
        dc_->FillRect(outer, brush);
        break;
      }
      const gdi::Rect inner = inset(b + 1);
      dc_->FillRect({outer.left, outer.top, outer.right, inner.top}, brush);
      dc_->FillRect({outer.left, inner.bottom, outer.right, outer.bottom}, brush);
      dc_->FillRect({outer.left, inner.top, inner.left, inner.bottom}, brush);
      dc_->FillRect({inner.right, inner.top, outer.right, inner.bottom}, brush);
    }
    return;
  }

  if (direction == gdFromTopLeft || direction == gdFromBottomLeft) {
    // Bands between lines of equal x / width + y / height from the corner,
    // each a parallelogram over the rectangle's rows cut by a clip to it;
    // neighbours share their edges exactly. The corner band takes the start
    // colour (the second after the exchange).
    const int count = std::min(width + height, 256);
    const int n = count - 1;
    if (n < 1) return;
    const TBandColors color(startColor, endColor, balance, n, monochrome_);
    const bool fromTop = direction == gdFromTopLeft;
    DeviceScope scope(*dc_);
    dc_->IntersectClipRect({r.Left, r.Top, r.Right, r.Bottom});
    dc_->SelectPen(gdi::Pen::Null());
    dc_->SetRasterOp(gdi::RasterOp::CopyPen);
    dc_->SetPolyFillMode(gdi::PolyFillMode::Alternate);
    dc_->SelectBrush(gdi::Brush::DeviceColor());
    auto edge = [&](int b) { return r.Left + static_cast<int>(2LL * b * width / count); };
    for (int b = 0; b < count; ++b) {
      const int x0 = edge(b), x1 = edge(b + 1);
      // At the corner's row the band starts at x0; a full height away it
      // has moved one width to the left.
      const int nearY = fromTop ? r.Top : r.Bottom, farY = fromTop ? r.Bottom : r.Top;
      const gdi::Point band[4] = {{x0, nearY}, {x1, nearY}, {x1 - width, farY}, {x0 - width, farY}};
      dc_->SetDeviceBrushColor(color(n - b));
      dc_->Polygon(band);
    }
    return;
  }

  if (direction == gdDiagonalUp || direction == gdDiagonalDown) {
    // One-pixel lines: DiagonalUp along "/" from the top-left corner,
    // DiagonalDown along "\\" from the top-right corner.
    const int lines = width + height;
    const int n = std::max(1, std::min(255, lines - 1));
    const TBandColors color(startColor, endColor, balance, n, monochrome_);
    DeviceScope scope(*dc_);
    gdi::Pen pen = gdi::Pen::DeviceColor();
    pen.Width = 1;
    dc_->SelectPen(pen);
    dc_->SetRasterOp(gdi::RasterOp::CopyPen);
    const bool up = direction == gdDiagonalUp;
    for (int k = 0; k < lines; ++k) {
      // The pixels of line k: x + y (or x - y) constant, inside the rectangle.
      const int y0 = std::max(0, k - (width - 1)), y1 = std::min(height - 1, k);
      if (y0 > y1) continue;
      dc_->SetDevicePenColor(color(static_cast<int>(static_cast<long long>(n) * k / lines)));
      const int xa = k - y0, xb = k - y1;
      if (up) {
        dc_->MoveTo(r.Left + xa, r.Top + y0);
        dc_->LineTo(r.Left + xb - 1, r.Top + y1 + 1);
      } else {
        dc_->MoveTo(r.Right - 1 - xa, r.Top + y0);
        dc_->LineTo(r.Right - xb, r.Top + y1 + 1);
      }
    }
    return;
  }

  // gdRadial: ellipses from the rim inward, over the end colour.
  int steps = std::min(255, std::max(width, height));
  const double stepX = width * 0.5 / steps, stepY = height * 0.5 / steps;
  DeviceScope scope(*dc_);
  dc_->IntersectClipRect({r.Left, r.Top, r.Right, r.Bottom});
  dc_->FillRect({r.Left, r.Top, r.Right, r.Bottom}, gdi::Brush::Solid(PlainColor(endColor, monochrome_)));
  if (width % 2 != 0 || height % 2 != 0) --steps;
  const double cx = (r.Left + static_cast<double>(r.Right)) * 0.5 + radialX + 1;
  const double cy = (r.Top + static_cast<double>(r.Bottom)) * 0.5 + radialY + 1;
  const int px = UloPixel(cx), py = UloPixel(cy);
  // Steps is at least 1 here: only a one-pixel rectangle would reduce it to 0.
  const TBandColors color(startColor, endColor, balance, steps, monochrome_);
  dc_->SelectPen(gdi::Pen::Null());
  dc_->SetRasterOp(gdi::RasterOp::CopyPen);
  dc_->SelectBrush(gdi::Brush::DeviceColor());
  for (int i = steps; i >= 1; --i) {
    dc_->SetDeviceBrushColor(color(i));
    const double rx = i * stepX, ry = i * stepY;
    dc_->Ellipse(UloPixel(cx - rx), UloPixel(cy - ry), UloPixel(cx + rx), UloPixel(cy + ry));
  }
  // The innermost ellipse has no size: the centre pixel ends in colour 0.
  dc_->FillRect({px, py, px + 1, py + 1}, gdi::Brush::Solid(color(0)));
}
