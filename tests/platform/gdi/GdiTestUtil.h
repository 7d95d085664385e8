// Helpers for exact-pixel tests of the drawing layer.
#pragma once

#include "platform/gdi/Gdi.h"

#include <string>

namespace gdi::test {

// The pixels that differ from white, as their bounding rectangle (right and
// bottom exclusive) and their count.
struct Ink {
  Rect bounds;
  int count = 0;
};

inline Ink InkOf(const Bitmap &b, TColor background = clWhite) {
  Ink ink;
  bool any = false;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      if (b.Pixel(x, y) == background) continue;
      ++ink.count;
      if (!any) {
        ink.bounds = {x, y, x + 1, y + 1};
        any = true;
      }
      ink.bounds.left = std::min(ink.bounds.left, x);
      ink.bounds.top = std::min(ink.bounds.top, y);
      ink.bounds.right = std::max(ink.bounds.right, x + 1);
      ink.bounds.bottom = std::max(ink.bounds.bottom, y + 1);
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

// Rows of '#' (ink) and '.' (background), for messages.
inline std::string Picture(const Bitmap &b, Rect r, TColor background = clWhite) {
  std::string s;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x)
      s += b.Pixel(x, y) == background ? '.' : '#';
    s += '\n';
  }
  return s;
}

inline bool SamePixels(const Bitmap &a, const Bitmap &b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if ((a.ScanLine(y)[x] & 0xFFFFFF) != (b.ScanLine(y)[x] & 0xFFFFFF)) return false;
  return true;
}

} // namespace gdi::test
