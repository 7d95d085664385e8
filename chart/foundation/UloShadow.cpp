#include "chart/foundation/UloShadow.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "chart/foundation/UloCanvas3D.h"
#include "platform/rtl/Numbers.h"

// ---- shadow settings ----------------------------------------------------------

void TUloShadow::Assign(const TUloShadow &source) {
  bool changed = UloStoreIfChanged(clip_, source.clip_);
  changed |= UloStoreIfChanged(color_, source.color_);
  changed |= UloStoreIfChanged(horizSize_, source.horizSize_);
  changed |= UloStoreIfChanged(smooth_, source.smooth_);
  changed |= UloStoreIfChanged(smoothBlur_, source.smoothBlur_);
  changed |= UloStoreIfChanged(transparency_, source.transparency_);
  changed |= UloStoreIfChanged(vertSize_, source.vertSize_);
  changed |= UloStoreIfChanged(visible_, source.visible_);
  if (changed) Changed();
}

void TUloShadow::InitColorAndSize(TColor color, int size) {
  SetColor(color);
  defaultColor_ = color;
  SetBothSizes(size);
  defaultSize_ = size;
}

void TUloShadow::SetBothSizes(int size) {
  SetHorizSize(size);
  SetVertSize(size);
}

int TUloShadow::MaxOffset() const noexcept {
  // In 64 bits: the size of the most negative offset has no 32-bit value.
  const long long most = std::max(std::llabs(horizSize_), std::llabs(vertSize_));
  return static_cast<int>(std::min<long long>(most, INT_MAX));
}

// ---- mixing ------------------------------------------------------------------------

void MixBitmaps(const gdi::Bitmap &source, gdi::Bitmap &dest, TPoint position, double percent) {
  // Beyond 0..100 the byte arithmetic would overshoot and wrap into
  // unrelated colours.
  if (std::isnan(percent)) return;
  const int keep = 100 - rtl::RoundPixel(std::clamp(percent, 0.0, 100.0));
  const int x0 = std::max(0, position.X), y0 = std::max(0, position.Y);
  const int w = std::min(source.Width(), dest.Width() - x0);
  const int h = std::min(source.Height(), dest.Height() - y0);
  if (w < 1 || h < 1) return;
  dest.DC().Flush();
  for (int y = 0; y < h; ++y) {
    const uint32_t *s = source.ScanLine(y);
    uint32_t *d = dest.ScanLine(y0 + y) + x0;
    for (int x = 0; x < w; ++x) {
      uint32_t mixed = d[x] & 0xFF000000u;
      for (int shift = 0; shift <= 16; shift += 8) {
        const int sv = static_cast<int>((s[x] >> shift) & 0xFF);
        const int dv = static_cast<int>((d[x] >> shift) & 0xFF);
        const int v = dv + (sv - dv) * keep / 100;
        mixed |= static_cast<uint32_t>(v & 0xFF) << shift;
      }
      d[x] = mixed;
    }
  }
}

// ---- captured backgrounds ----------------------------------------------------------

namespace {

// The off-screen image of a buffered canvas, else the image under the
// bound device.
gdi::Bitmap *BlendSurface(TUloCanvas &canvas) {
  if (auto *c3 = dynamic_cast<TUloCanvas3D *>(&canvas); c3 && c3->GetBuffered() && c3->BufferBitmap())
    return c3->BufferBitmap();
  gdi::DeviceContext *dc = canvas.GetHandle();
  return dc ? &dc->Target() : nullptr;
}

bool DrawsIntoBuffer(TUloCanvas &canvas) {
  auto *c3 = dynamic_cast<TUloCanvas3D *>(&canvas);
  return c3 && c3->GetBuffered() && c3->BufferBitmap() && c3->GetHandle() == &c3->BufferBitmap()->DC();
}

} // namespace

struct TUloBlend::Capture {
  gdi::Bitmap bitmap;
};

TUloBlend::TUloBlend(TUloCanvas &canvas, const TRect &rect) : canvas_(canvas) {
  gdi::Bitmap *surface = BlendSurface(canvas);
  if (!surface) return;
  TRect r = NormalizeRect(rect);
  r.Left = std::max(0, r.Left);
  r.Top = std::max(0, r.Top);
  r.Right = std::max({0, r.Right, r.Left + 1});
  r.Bottom = std::max({0, r.Bottom, r.Top + 1});
  // Held to the image itself: a rectangle widened to one column at its
  // right edge must not reach past it.
  r.Right = std::min(r.Right, surface->Width());
  r.Bottom = std::min(r.Bottom, surface->Height());
  rect_ = r;
  valid_ = r.Right > r.Left && r.Bottom > r.Top;
  if (!valid_) return;
  if (gdi::DeviceContext *dc = canvas.GetHandle()) dc->Flush();
  surface->DC().Flush();
  capture_ = std::make_unique<Capture>();
  capture_->bitmap.CopyFrom(*surface, gdi::Rect{r.Left, r.Top, r.Right, r.Bottom});
}

TUloBlend::~TUloBlend() = default;

const gdi::Bitmap *TUloBlend::Captured() const noexcept { return capture_ ? &capture_->bitmap : nullptr; }

void TUloBlend::MixBack(int transparency) {
  if (!valid_ || !capture_) return;
  const double percent = 100.0 - transparency;
  if (auto *c3 = dynamic_cast<TUloCanvas3D *>(&canvas_); c3 && c3->GetBuffered() && c3->BufferBitmap()) {
    if (gdi::DeviceContext *dc = canvas_.GetHandle()) dc->Flush();
    MixBitmaps(capture_->bitmap, *c3->BufferBitmap(), TPoint{rect_.Left, rect_.Top}, percent);
    return;
  }
  // Straight onto the device: mix a copy and draw it back, through the
  // device's clip like any other drawing.
  gdi::DeviceContext *dc = canvas_.GetHandle();
  if (!dc) return;
  dc->Flush();
  gdi::Bitmap current;
  current.CopyFrom(dc->Target(), gdi::Rect{rect_.Left, rect_.Top, rect_.Right, rect_.Bottom});
  MixBitmaps(capture_->bitmap, current, TPoint{0, 0}, percent);
  dc->BitBlt(rect_.Left, rect_.Top, current.Width(), current.Height(), current, 0, 0, gdi::Rop3::SrcCopy);
}

// ---- shadow drawing ------------------------------------------------------------------

int TUloShadow::BlurSize() const noexcept {
  return static_cast<int>(
      std::min<long long>(static_cast<long long>(MaxOffset()) + std::max(0, smoothBlur_), UloPixelLimit));
}

void TUloShadow::PaintRectShadow(TCanvas3D &canvas, const TRect &rect, int z, int roundSize) {
  TRect moved{rect.Left + horizSize_, rect.Top + vertSize_, rect.Right + horizSize_, rect.Bottom + vertSize_};
  TPoint topLeft, bottomRight;
  canvas.ProjectRectCorners(moved, z, topLeft, bottomRight);
  Paint(canvas, roundSize > 0 ? Figure::RoundRectangle : Figure::Rectangle,
        TRect{topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y}, roundSize, {});
}

void TUloShadow::PaintRectShadowFlat(TUloCanvas &canvas, const TRect &rect) {
  Paint(canvas, Figure::Rectangle,
        TRect{rect.Left + horizSize_, rect.Top + vertSize_, rect.Right + horizSize_, rect.Bottom + vertSize_}, 0, {});
}

void TUloShadow::PaintPolygonShadow(TUloCanvas &canvas, std::span<const TPoint> points) {
  if (points.size() < 3) return;
  std::vector<TPoint> moved(points.begin(), points.end());
  for (TPoint &p : moved) {
    p.X += horizSize_;
    p.Y += vertSize_;
  }
  Paint(canvas, Figure::Polygon, PointsBoundingRectInclusive(moved), 0, moved);
}

void TUloShadow::PaintEllipseShadow(TCanvas3D &canvas, const TRect &rect, int z) {
  TRect moved{rect.Left + horizSize_, rect.Top + vertSize_, rect.Right + horizSize_, rect.Bottom + vertSize_};
  TPoint topLeft, bottomRight;
  canvas.ProjectRectCorners(moved, z, topLeft, bottomRight);
  Paint(canvas, Figure::Ellipse, TRect{topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y}, 0, {});
}

void TUloShadow::Paint(TUloCanvas &canvas, Figure figure, const TRect &rect, int roundSize,
                       std::span<const TPoint> points) {
  if (color_ == clNone || (horizSize_ == 0 && vertSize_ == 0)) return;
  const bool blurred = smooth_ && DrawsIntoBuffer(canvas);
  std::unique_ptr<TUloBlend> blend;
  if (transparency_ > 0) {
    // A blurred shadow reaches beyond its figure; its fringe is mixed too.
    const int grow = blurred ? BlurSize() : 0;
    const TRect r = NormalizeRect(rect);
    blend = canvas.BeginTransparentDrawing(TRect{r.Left - grow, r.Top - grow, r.Right + grow, r.Bottom + grow},
                                           transparency_);
  }
  if (blurred) {
    PaintSmooth(canvas, *static_cast<TUloCanvas3D &>(canvas).BufferBitmap(), figure, rect, roundSize, points);
  } else if (smooth_ && figure == Figure::Ellipse) {
    // Without an image to blur, the ellipse fades from a dark middle to a
    // light rim.
    const TColor color = ColorToRGB(color_);
    canvas.ClipToEllipse(rect);
    canvas.FillGradient(rect, DarkenColor(color, 128), LightenColor(color, 32), TGradientDirection::gdRadial);
    canvas.RemoveClip();
  } else {
    canvas.Pen().SetStyle(TPenStyle::psClear);
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.Brush().SetColor(color_);
    switch (figure) {
    case Figure::Rectangle:
      canvas.Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom);
      break;
    case Figure::RoundRectangle:
      canvas.RoundRect(rect.Left, rect.Top, rect.Right, rect.Bottom, roundSize, roundSize);
      break;
    case Figure::Ellipse:
      canvas.Ellipse(rect.Left, rect.Top, rect.Right, rect.Bottom);
      break;
    case Figure::Polygon:
      canvas.Polygon(points);
      break;
    }
  }
  if (blend) canvas.EndTransparentDrawing(std::move(blend));
}

// The figure drawn black on white into a W by H mask (moved by DX, DY),
// blurred along rows and then columns; Cover is left empty when the weights
// sum to nothing.
void TUloShadow::BlurCover(Figure figure, const TRect &r, int dx, int dy, int w, int h, int roundSize,
                           std::span<const TPoint> points, const std::vector<int64_t> &falloff, int size,
                           std::vector<int> &cover) {
  gdi::Bitmap mask(w, h);
  gdi::DeviceContext &m = mask.DC();
  m.SelectPen(gdi::Pen::Null());
  m.SelectBrush(gdi::Brush::Solid(clBlack));
  switch (figure) {
  case Figure::Rectangle:
    m.Rectangle(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
    break;
  case Figure::RoundRectangle:
    m.RoundRect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy, roundSize, roundSize);
    break;
  case Figure::Ellipse:
    m.Ellipse(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
    break;
  case Figure::Polygon: {
    std::vector<gdi::Point> device(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
      device[i] = gdi::Point{points[i].X + dx, points[i].Y + dy};
    m.Polygon(device);
    break;
  }
  }
  m.Flush();

  std::vector<int64_t> weights(2 * static_cast<std::size_t>(size) + 1);
  int64_t total = 0;
  for (int d = -size; d <= size; ++d) {
    weights[d + size] = falloff[static_cast<std::size_t>(std::abs(d))];
    total += weights[d + size];
  }
  if (total <= 0) return;

  cover.assign(static_cast<std::size_t>(w) * h, 0);
  std::vector<int> pass(cover.size());
  for (int y = 0; y < h; ++y) {
    const uint32_t *row = mask.ScanLine(y);
    for (int x = 0; x < w; ++x)
      cover[static_cast<std::size_t>(y) * w + x] = 255 - static_cast<int>(row[x] & 0xFF);
  }
  // Sums never exceed 255 times the total, so a double holds them exactly.
  const double scale = 1.0 / static_cast<double>(total);
  // Rows: each row padded with its edge pixels, so the inner loop never
  // tests a bound.
  std::vector<int64_t> padded(static_cast<std::size_t>(w) + 2 * size);
  for (int y = 0; y < h; ++y) {
    const int *in = &cover[static_cast<std::size_t>(y) * w];
    for (int i = -size; i < w + size; ++i)
      padded[i + size] = in[std::clamp(i, 0, w - 1)];
    int *out = &pass[static_cast<std::size_t>(y) * w];
    for (int x = 0; x < w; ++x) {
      int64_t sum = 0;
      for (int k = 0; k <= 2 * size; ++k)
        sum += weights[k] * padded[x + k];
      out[x] = static_cast<int>(static_cast<double>(sum) * scale + 0.5);
    }
  }
  // Columns, a whole row of sums at a time so the image is read row by row.
  std::vector<int64_t> sums(w);
  for (int y = 0; y < h; ++y) {
    std::fill(sums.begin(), sums.end(), 0);
    for (int k = -size; k <= size; ++k) {
      const int64_t weight = weights[k + size];
      const int *in = &pass[static_cast<std::size_t>(std::clamp(y + k, 0, h - 1)) * w];
      for (int x = 0; x < w; ++x)
        sums[x] += weight * in[x];
    }
    int *out = &cover[static_cast<std::size_t>(y) * w];
    for (int x = 0; x < w; ++x)
      out[x] = static_cast<int>(static_cast<double>(sums[x]) * scale + 0.5);
  }
}

// The figure is drawn black on white into a mask with room for the blur on
// every side, blurred along rows and then columns with the weights
// round(B ^ (-d * d / size) * 100000), B = (SmoothBlur + 180) / 100, divided
// by their sum (so a wide area of shadow keeps its full colour), reading the
// mask's edge pixels again beyond its edges. The blurred cover then moves the
// image's pixels toward the shadow colour. With Clip, only pixels inside the
// device's clip region change.
void TUloShadow::PaintSmooth(TUloCanvas &canvas, gdi::Bitmap &target, Figure figure, const TRect &rect, int roundSize,
                             std::span<const TPoint> points) const {
  const TRect r = NormalizeRect(rect);
  // The weights fall off fast and those that round to 0 are left out: the
  // blur reaches only as far as the last one that does not, so a large
  // SmoothBlur costs no more than the pixels it can change. A negative blur
  // counts as none here as in the reach: a base below 1 would make the
  // weights grow away from the centre past any integer.
  const int blur = BlurSize();
  const double base = (std::max(0, smoothBlur_) + 180) * 0.01;
  std::vector<int64_t> falloff{100000};
  for (int d = 1; d <= blur; ++d) {
    const int64_t weight = std::llround(std::nearbyint(std::pow(base, -static_cast<double>(d) * d / blur) * 100000));
    if (weight <= 0) break;
    falloff.push_back(weight);
  }
  const int size = static_cast<int>(falloff.size()) - 1;
  const long long maskW = static_cast<long long>(r.Right) - r.Left + 2LL * size;
  const long long maskH = static_cast<long long>(r.Bottom) - r.Top + 2LL * size;
  // A shadow far larger than the image it falls on is cut to the image's
  // neighbourhood before any memory is taken for it.
  const int ox = r.Left - size, oy = r.Top - size;
  const int fromX = std::max(0, ox), fromY = std::max(0, oy);
  const long long toX = std::min<long long>(target.Width(), ox + maskW);
  const long long toY = std::min<long long>(target.Height(), oy + maskH);
  if (maskW < 1 || maskH < 1 || toX <= fromX || toY <= fromY) return;
  // The mask covers what reaches the image, plus the blur's reach.
  const int mx0 = std::max(ox, fromX - size), my0 = std::max(oy, fromY - size);
  const int mx1 = static_cast<int>(std::min<long long>(ox + maskW, toX + size));
  const int my1 = static_cast<int>(std::min<long long>(oy + maskH, toY + size));
  const int w = mx1 - mx0, h = my1 - my0;
  if (w < 1 || h < 1) return;

  const int dx = -mx0, dy = -my0;
  TCoverKey key{figure, r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy, w, h, roundSize, blur, smoothBlur_, {}};
  if (figure == Figure::Polygon) {
    key.points.reserve(points.size());
    for (const TPoint &p : points)
      key.points.push_back(TPoint{p.X + dx, p.Y + dy});
  }
  if (cover_.empty() || !(key == coverKey_)) {
    cover_.clear();
    coverKey_ = std::move(key);
    BlurCover(figure, r, dx, dy, w, h, roundSize, points, falloff, size, cover_);
  }
  if (cover_.empty()) return;
  const std::vector<int> &cover = cover_;

  gdi::DeviceContext *dc = canvas.GetHandle();
  gdi::Region clipRegion;
  const bool clipped = clip_ && dc && dc->GetClipRegion(clipRegion);
  if (dc) dc->Flush();
  const TColor c = ColorToRGB(color_);
  const int cr = GetRValue(c), cg = GetGValue(c), cb = GetBValue(c);
  for (int y = fromY; y < toY; ++y) {
    uint32_t *row = target.ScanLine(y);
    for (int x = fromX; x < toX; ++x) {
      const int a = cover[static_cast<std::size_t>(y - my0) * w + (x - mx0)];
      if (a <= 0) continue;
      if (clipped && !clipRegion.Contains(x, y)) continue;
      const uint32_t p = row[x];
      const int pr = static_cast<int>((p >> 16) & 0xFF), pg = static_cast<int>((p >> 8) & 0xFF),
                pb = static_cast<int>(p & 0xFF);
      const int nr = pr + (cr - pr) * a / 255, ng = pg + (cg - pg) * a / 255, nb = pb + (cb - pb) * a / 255;
      row[x] = (p & 0xFF000000u) | (static_cast<uint32_t>(nr) << 16) | (static_cast<uint32_t>(ng) << 8) |
               static_cast<uint32_t>(nb);
    }
  }
}
