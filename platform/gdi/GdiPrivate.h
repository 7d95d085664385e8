// Shared by the layer's own sources only.
#pragma once

#include "platform/gdi/Gdi.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include <cmath>
#include <optional>

namespace gdi {

struct PatternData {
  QImage image; // Format_RGB32
  bool monochrome = false;
};

struct RegionImpl {
  QRegion region;
};

struct BitmapImpl {
  QImage image; // Format_RGB32, 96 dpi
  bool monochrome = false;
  std::unique_ptr<DeviceContext> dc;
  WindowSurface *surface = nullptr;
  bool painting = false;
  bool changed = false;

  // Ends open drawing before the image is resized, replaced or copied.
  void Flush() const {
    if (dc) dc->Flush();
  }
  void Touched() {
    if (surface && !painting && !changed) NotifyChanged();
  }
  void NotifyChanged();
};

// A new white RGB32 image at 96 dpi.
QImage NewSurfaceImage(int32_t width, int32_t height);

// 0x00BBGGRR (system colours resolved) to Qt's 0xFFRRGGBB.
inline QRgb ToQRgb(TColor c) {
  const TColor rgb = ColorToRGB(c);
  return 0xFF000000u | (static_cast<uint32_t>(GetRValue(rgb)) << 16) | (static_cast<uint32_t>(GetGValue(rgb)) << 8) |
         static_cast<uint32_t>(GetBValue(rgb));
}
inline TColor FromQRgb(QRgb c) { return RGBColor(qRed(c), qGreen(c), qBlue(c)); }
// clNone and clDefault are markers, never colours to draw.
inline bool IsDrawable(TColor c) { return c != clNone && c != clDefault; }

// The pixels a drawing paints into a mask, as a region (exact, unlike
// QRegion's own ellipse). `bounds` must cover the drawing.
QRegion RegionFromDrawing(const QRect &bounds, const std::function<void(QPainter &)> &draw);

// The pixels whose centres lie inside the box [l, r) x [t, b) with its
// corners cut by quarter-ellipses rx wide and ry high (an ellipse when they
// are half the box), row by row: row(y, x0, x1) for the rows y in [y0, y1)
// that have any, x1 exclusive. Exact and the same everywhere, unlike Qt's
// two ellipse rasterisers.
template <class Row>
void RoundedSpans(double l, double t, double r, double b, double rx, double ry, int y0, int y1, Row &&row) {
  rx = std::min(rx, (r - l) / 2);
  ry = std::min(ry, (b - t) / 2);
  y0 = static_cast<int>(std::max<double>(y0, std::floor(t)));
  y1 = static_cast<int>(std::min<double>(y1, std::ceil(b)));
  for (int y = y0; y < y1; ++y) {
    const double yc = y + 0.5;
    if (yc < t || yc > b) continue;
    double inset = 0;
    const double dy = yc < t + ry ? (t + ry) - yc : yc > b - ry ? yc - (b - ry) : 0;
    if (dy > 0) {
      const double q = 1 - (dy / ry) * (dy / ry);
      if (q < 0) continue;
      inset = rx - rx * std::sqrt(q);
    }
    const double x0 = std::ceil(l + inset - 0.5), x1 = std::floor(r - inset - 0.5) + 1;
    if (x1 > x0) row(y, static_cast<int>(std::max(x0, -1.0e9)), static_cast<int>(std::min(x1, 1.0e9)));
  }
}

// a op b (Copy: b).
QRegion Combined(const QRegion &a, const QRegion &b, RegionOp op);

// The Qt font for a font description (face mapped, hinting and no antialias).
QFont ToQFont(const Font &font, int32_t charExtra);

// Evaluates an 8-bit ternary code bitwise on three 32-bit words.
inline uint32_t ApplyRop3(uint8_t code, uint32_t p, uint32_t s, uint32_t d) {
  switch (code) {
  case 0xCC:
    return s;
  case 0xF0:
    return p;
  case 0x66:
    return s ^ d;
  case 0x88:
    return s & d;
  case 0xEE:
    return s | d;
  case 0x55:
    return ~d;
  case 0x5A:
    return p ^ d;
  case 0x33:
    return ~s;
  case 0x00:
    return 0;
  case 0xFF:
    return ~0u;
  default:
    break;
  }
  uint32_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if (!(code & (1u << i))) continue;
    const uint32_t pp = (i & 4) ? p : ~p;
    const uint32_t ss = (i & 2) ? s : ~s;
    const uint32_t dd = (i & 1) ? d : ~d;
    r |= pp & ss & dd;
  }
  return r;
}

} // namespace gdi
