// One-pixel lines, rasterised here rather than by Qt: Qt leaves out the
// pixel at whichever end comes last in its own drawing order, so a line drawn
// right to left lost its first pixel instead of its last. Here every segment
// leaves out exactly its end point, and a dash pattern runs on across the
// segments of a polyline.
#include "platform/gdi/ContextPrivate.h"

#include <cstdlib>

namespace gdi {

namespace {

int64_t FloorDiv(int64_t a, int64_t b) { // b > 0
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}
int64_t CeilDiv(int64_t a, int64_t b) { // b > 0
  return -FloorDiv(-a, b);
}

// The pixels of the segment from (x0, y0) to (x1, y1), end excluded, that lie
// in `clip`. plot(x, y, k) gets each with its index k along the segment.
template <class Plot> void WalkSegment(int64_t x0, int64_t y0, int64_t x1, int64_t y1, const QRect &clip, Plot &&plot) {
  const bool xMajor = std::llabs(x1 - x0) >= std::llabs(y1 - y0);
  // Work in (major, minor) coordinates.
  const int64_t a0 = xMajor ? x0 : y0, b0 = xMajor ? y0 : x0;
  const int64_t a1 = xMajor ? x1 : y1, b1 = xMajor ? y1 : x1;
  const int64_t da = std::llabs(a1 - a0), db = std::llabs(b1 - b0);
  if (da == 0) return;
  const int64_t sa = a1 > a0 ? 1 : -1, sb = b1 > b0 ? 1 : -1;
  const int64_t cMajLo = xMajor ? clip.left() : clip.top(), cMajHi = xMajor ? clip.right() : clip.bottom();
  const int64_t cMinLo = xMajor ? clip.top() : clip.left(), cMinHi = xMajor ? clip.bottom() : clip.right();
  // Steps k = 0 .. da - 1; major = a0 + sa k; minor = b0 + sb m(k) with
  // m(k) = floor((2 k db + da) / (2 da)), the nearest row to the true line.
  int64_t kLo = 0, kHi = da - 1;
  auto clampK = [&](int64_t lo, int64_t hi) {
    kLo = std::max(kLo, lo);
    kHi = std::min(kHi, hi);
  };
  if (sa > 0)
    clampK(cMajLo - a0, cMajHi - a0);
  else
    clampK(a0 - cMajHi, a0 - cMajLo);
  // m must lie in [mLo, mHi].
  const int64_t mLo = sb > 0 ? cMinLo - b0 : b0 - cMinHi;
  const int64_t mHi = sb > 0 ? cMinHi - b0 : b0 - cMinLo;
  if (db == 0) {
    if (0 < mLo || 0 > mHi) return;
  } else {
    // m(k) >= mLo  <=>  2 k db + da >= 2 da mLo
    clampK(CeilDiv(2 * da * mLo - da, 2 * db), FloorDiv(2 * da * (mHi + 1) - da - 1, 2 * db));
  }
  if (kLo > kHi) return;
  const int64_t twoDa = 2 * da, twoDb = 2 * db;
  const int64_t num = 2 * kLo * db + da;
  int64_t m = num / twoDa;
  int64_t e = num % twoDa;
  int64_t a = a0 + sa * kLo;
  for (int64_t k = kLo; k <= kHi; ++k) {
    const int64_t b = b0 + sb * m;
    if (xMajor)
      plot(static_cast<int>(a), static_cast<int>(b), k);
    else
      plot(static_cast<int>(b), static_cast<int>(a), k);
    a += sa;
    e += twoDb;
    if (e >= twoDa) {
      e -= twoDa;
      ++m;
    }
  }
}

// Pixels on and off along the line: (on, off, on, off...) lengths in pixels.
struct Dashes {
  int lengths[8] = {};
  int count = 0;
  int period = 0;
  bool On(int64_t index) const {
    if (count == 0) return true;
    int64_t pos = index % period;
    for (int i = 0; i < count; ++i) {
      if (pos < lengths[i]) return i % 2 == 0;
      pos -= lengths[i];
    }
    return false;
  }
};

Dashes DashesOf(const Pen &pen) {
  Dashes d;
  auto set = [&](std::initializer_list<int> l) {
    for (int v : l)
      d.lengths[d.count++] = v;
  };
  switch (pen.Style) {
  case PenStyle::Dash:
    set({18, 6});
    break;
  case PenStyle::Dot:
    set({3, 3});
    break;
  case PenStyle::DashDot:
    set({9, 6, 3, 6});
    break;
  case PenStyle::DashDotDot:
    set({9, 3, 3, 3, 3, 3});
    break;
  case PenStyle::Alternate:
    set({1, 1});
    break;
  case PenStyle::UserStyle:
    for (size_t i = 0; i < pen.Dashes.size() && d.count < 8; ++i) {
      // A dash of 0 is a one-pixel dot on a thin pen.
      const int64_t v = pen.Dashes[i];
      d.lengths[d.count++] =
          static_cast<int>(std::clamp<int64_t>(i % 2 == 0 ? std::max<int64_t>(v, 1) : v, 0, 1 << 20));
    }
    if (d.count % 2 == 1) d.lengths[d.count++] = 0;
    break;
  default:
    break;
  }
  for (int i = 0; i < d.count; ++i)
    d.period += d.lengths[i];
  if (d.period == 0) d.count = 0;
  return d;
}

} // namespace

void DeviceContext::Impl::ThinLines(std::span<const Point> points) {
  if (points.size() < 2 || s.rop == RasterOp::Nop) return;
  BuildPen();
  if (!penVisible || !Begin()) return;
  const TColor penColor = s.pen.UseDeviceColor ? s.devicePenColor : s.pen.Color;
  const QRgb fore = ToQRgb(penColor);
  const bool gaps = s.bkMode == BkMode::Opaque && IsDrawable(s.bkColor);
  const QRgb back = gaps ? ToQRgb(s.bkColor) : 0;
  const Dashes dashes = DashesOf(s.pen);
  const bool dashed = dashes.count > 0;

  // The area to visit: the surface, narrowed by the clip.
  const std::vector<QRect> areas = Visible(PointsBounds(points, 0));
  if (areas.empty()) return;
  Touched();

  QImage &image = Image();
  uchar *const bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  const bool copy = s.rop == RasterOp::CopyPen;

  // With a raster operation the line is first gathered into a cover image,
  // so a pixel the polyline crosses twice is still combined once.
  QRect coverArea;
  QImage cover;
  if (!copy) {
    for (const QRect &a : areas)
      coverArea = coverArea.united(a);
    cover = QImage(coverArea.size(), QImage::Format_ARGB32_Premultiplied);
    cover.fill(0);
  }
  uchar *const cbits = copy ? nullptr : cover.bits();
  const qsizetype cstride = copy ? 0 : cover.bytesPerLine();

  int64_t phase = 0;
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    const Point p0 = points[i], p1 = points[i + 1];
    const int64_t steps = std::max(std::llabs(int64_t(p1.x) - p0.x), std::llabs(int64_t(p1.y) - p0.y));
    // Segment bounds, for skipping clip rectangles it cannot touch.
    const int sl = std::min(p0.x, p1.x), sr = std::max(p0.x, p1.x);
    const int st = std::min(p0.y, p1.y), sbm = std::max(p0.y, p1.y);
    for (const QRect &area : areas) {
      if (area.right() < sl || area.left() > sr || area.bottom() < st || area.top() > sbm) continue;
      WalkSegment(p0.x, p0.y, p1.x, p1.y, area, [&](int x, int y, int64_t k) {
        QRgb c = fore;
        if (dashed && !dashes.On(phase + k)) {
          if (!gaps) return;
          c = back;
        }
        if (copy)
          reinterpret_cast<QRgb *>(bits + y * stride)[x] = c;
        else
          reinterpret_cast<QRgb *>(cbits + (y - coverArea.top()) * cstride)[x - coverArea.left()] = c;
      });
    }
    phase += steps;
  }
  if (copy) return;
  for (int y = 0; y < coverArea.height(); ++y) {
    const QRgb *src = reinterpret_cast<const QRgb *>(cover.constScanLine(y));
    QRgb *dst = reinterpret_cast<QRgb *>(bits + (coverArea.top() + y) * stride) + coverArea.left();
    for (int x = 0; x < coverArea.width(); ++x)
      if (qAlpha(src[x]) != 0) dst[x] = 0xFF000000u | ApplyRasterOp(s.rop, dst[x], src[x]);
  }
}

} // namespace gdi
