// What most foundation tests draw on: a canvas drawing into a white image,
// and ways to read the image back.
#pragma once

#include <vector>

#include "chart/foundation/UloCanvas3D.h"
#include "chart/foundation/UloGeometry.h"

namespace foundation_test {

inline std::vector<TColor> Pixels(const gdi::Bitmap &b) {
  std::vector<TColor> all;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      all.push_back(b.Pixel(x, y));
  return all;
}

inline int CountOf(const gdi::Bitmap &b, TColor c, const TRect &r) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      n += b.Pixel(x, y) == c;
  return n;
}

// The bounding box of the pixels of one colour ((0,0,0,0) when none).
inline TRect BoxOf(const gdi::Bitmap &b, TColor c) {
  TPointArray pts;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) == c) pts.push_back({x, y});
  return PointsBoundingRect(pts);
}

// A canvas of type C over a white W x H image. In 3D the view is the
// default orthogonal one, where ProjectPoint(X, Y, Z) = (X + Z, Y - Z).
template <class C = TUloCanvas3D> struct Surface {
  gdi::Bitmap image;
  TView3DOptions options;
  C canvas;
  bool is3D;

  explicit Surface(int w = 200, int h = 200, bool is3D = true, bool buffered = false) : image(w, h), is3D(is3D) {
    canvas.SetBuffered(buffered);
    Prepare();
    canvas.ResetDefaults();
  }
  // Starts a paint, taking in any change of the view options.
  void Prepare() {
    const TRect all{0, 0, image.Width(), image.Height()};
    canvas.PrepareTarget(&image.DC(), &options, all, is3D);
    canvas.SetupProjection(100, all);
  }
  // What the user sees: the off-screen image when buffered.
  const gdi::Bitmap &Shown() const { return canvas.BufferBitmap() ? *canvas.BufferBitmap() : image; }
  TColor At(int x, int y) const { return Shown().Pixel(x, y); }
  int Count(TColor c) const { return CountOf(Shown(), c, {0, 0, image.Width(), image.Height()}); }
  int Count(TColor c, const TRect &r) const { return CountOf(Shown(), c, r); }
  TRect Box(TColor c) const { return BoxOf(Shown(), c); }
  bool AllWhite() const { return Count(clWhite) == image.Width() * image.Height(); }
};

} // namespace foundation_test
