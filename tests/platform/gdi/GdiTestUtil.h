// Helpers for exact-pixel tests of the drawing layer.
#pragma once

#include "platform/gdi/Gdi.h"

#include <functional>
#include <string>
#include <vector>

namespace gdi::test {

// ---- figures to draw, for tables of cases

using Draw = std::function<void(DeviceContext &)>;

inline Draw Line(int x0, int y0, int x1, int y1) {
  return [=](DeviceContext &dc) {
    dc.MoveTo(x0, y0);
    dc.LineTo(x1, y1);
  };
}

inline Draw Lines(std::vector<Point> points) {
  return [=](DeviceContext &dc) { dc.Polyline(points); };
}

inline Draw Polygon(std::vector<Point> points) {
  return [=](DeviceContext &dc) { dc.Polygon(points); };
}

// A call on a box, such as Rectangle or Ellipse.
inline Draw Boxed(void (DeviceContext::*call)(int32_t, int32_t, int32_t, int32_t), int l, int t, int r, int b) {
  return [=](DeviceContext &dc) { (dc.*call)(l, t, r, b); };
}
inline Draw Rectangle(int l, int t, int r, int b) { return Boxed(&DeviceContext::Rectangle, l, t, r, b); }
inline Draw Ellipse(int l, int t, int r, int b) { return Boxed(&DeviceContext::Ellipse, l, t, r, b); }

inline Pen Styled(PenStyle style, int width = 1, PenEndCap cap = PenEndCap::Round, PenJoin join = PenJoin::Round,
                  TColor color = clBlack) {
  Pen p = Pen::Solid(color, width);
  p.Style = style;
  p.Cap = cap;
  p.Join = join;
  return p;
}

// Names parameterised cases by their `name` field.
inline constexpr auto ByName = [](const auto &info) { return std::string(info.param.name); };

// ---- what was drawn

// The pixels that differ from the background, as their bounding rectangle
// (right and bottom exclusive) and their count.
struct Ink {
  Rect bounds;
  int count = 0;
};

inline Ink InkOf(const Bitmap &b, TColor background = clWhite) {
  Ink ink;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      if (b.Pixel(x, y) == background) continue;
      ink.bounds = ink.count++ == 0 ? Rect{x, y, x + 1, y + 1}
                                    : Rect{std::min(ink.bounds.left, x), std::min(ink.bounds.top, y),
                                           std::max(ink.bounds.right, x + 1), std::max(ink.bounds.bottom, y + 1)};
    }
  return ink;
}

inline int CountColor(const Bitmap &b, TColor c) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      n += b.Pixel(x, y) == c;
  return n;
}

// How many pixels two bitmaps of one size differ in.
inline int Differ(const Bitmap &a, const Bitmap &b) {
  int n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      n += a.Pixel(x, y) != b.Pixel(x, y);
  return n;
}

inline bool SamePixels(const Bitmap &a, const Bitmap &b) {
  return a.Width() == b.Width() && a.Height() == b.Height() && Differ(a, b) == 0;
}

// A surface of varied colours, so that a wrong combination shows.
inline void Noise(Bitmap &bmp, uint32_t seed = 7) {
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) {
      seed = seed * 1664525u + 1013904223u;
      bmp.SetPixel(x, y, static_cast<TColor>(seed >> 8));
    }
}

} // namespace gdi::test
