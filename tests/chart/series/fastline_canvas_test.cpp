// The canvas drops repeated points of thin polylines (the fast line's
// dense runs are mostly repeats once in pixels): the picture must be the
// device's own for the full point list, whatever the pen's style and mode.
#include <gtest/gtest.h>

#include <vector>

#include "chart/foundation/TestSurface.h"

namespace {

using foundation_test::Surface;

// A dense run with long stretches of repeated pixels and a few steps.
std::vector<TPoint> DenseRun() {
  std::vector<TPoint> pts;
  for (int i = 0; i < 3000; ++i)
    pts.push_back(TPoint{10 + i / 20, 50 + ((i / 37) % 9) * 7});
  return pts;
}

struct PenCase {
  TPenStyle style;
  TPenMode mode;
  int bkMode;
};

class ThinPolyline : public ::testing::TestWithParam<PenCase> {};

TEST_P(ThinPolyline, SamePixelsAsTheDeviceWithEveryPoint) {
  const PenCase &k = GetParam();
  const std::vector<TPoint> pts = DenseRun();
  Surface<> canvas(200, 200, false), device(200, 200, false);
  for (Surface<> *s : {&canvas, &device}) {
    s->canvas.FillRect(TRect{0, 0, 200, 200}); // a background for the raster operations
    s->canvas.Pen().SetColor(0x3080C0);
    s->canvas.Pen().SetStyle(k.style);
    s->canvas.Pen().SetMode(k.mode);
    s->canvas.SetBkMode(k.bkMode);
    s->canvas.SetBkColor(clYellow);
  }
  canvas.canvas.Polyline(pts);
  // The same pen selected on the device, then every point given to it.
  device.canvas.Polyline(std::span<const TPoint>(pts.data(), 1));
  std::vector<gdi::Point> all;
  for (const TPoint &p : pts)
    all.push_back(gdi::Point{p.X, p.Y});
  device.image.DC().Polyline(all);
  EXPECT_EQ(foundation_test::Pixels(canvas.image), foundation_test::Pixels(device.image));
  EXPECT_GT(canvas.Count(clWhite), 0);
  EXPECT_LT(canvas.Count(clWhite), 200 * 200);
}

INSTANTIATE_TEST_SUITE_P(Pens, ThinPolyline,
                         ::testing::Values(PenCase{TPenStyle::psSolid, TPenMode::pmCopy, UloTransparentMode},
                                           PenCase{TPenStyle::psDashDot, TPenMode::pmCopy, UloOpaqueMode},
                                           PenCase{TPenStyle::psDot, TPenMode::pmNotXor, UloTransparentMode}));

TEST(ThinPolylineAtDepth, SamePixelsAsPointByPointProjection) {
  const std::vector<TPoint> pts = DenseRun();
  Surface<> a(200, 200, true), b(200, 200, true);
  for (Surface<> *s : {&a, &b}) {
    s->canvas.Pen().SetColor(clBlue);
    s->canvas.Pen().SetStyle(TPenStyle::psDash);
  }
  a.canvas.PolylineAtDepth(pts, 20);
  std::vector<TPoint> projected;
  for (const TPoint &p : pts)
    projected.push_back(b.canvas.ProjectPoint(p.X, p.Y, 20));
  b.canvas.Polyline(std::span<const TPoint>(projected.data(), 1));
  std::vector<gdi::Point> all;
  for (const TPoint &p : projected)
    all.push_back(gdi::Point{p.X, p.Y});
  b.image.DC().Polyline(all);
  EXPECT_EQ(foundation_test::Pixels(a.image), foundation_test::Pixels(b.image));
}

} // namespace

namespace {

// The per-point projection against the general form (the fractional one,
// which for whole numbers is the same computation without the shortcuts),
// for every kind of view and for coordinates from ordinary to extreme.
struct ViewCase {
  const char *name;
  bool is3D, orthogonal;
  int rotation, elevation, perspective, tilt, zoom, orthoAngle;
};

class ProjectionShortcut : public ::testing::TestWithParam<ViewCase> {};

TEST_P(ProjectionShortcut, SameAsTheGeneralForm) {
  const ViewCase &k = GetParam();
  Surface<> s(300, 200, k.is3D);
  s.options.SetOrthogonal(k.orthogonal);
  s.options.SetOrthoAngle(k.orthoAngle);
  s.options.SetRotation(k.rotation);
  s.options.SetElevation(k.elevation);
  s.options.SetPerspective(k.perspective);
  s.options.SetTilt(k.tilt);
  s.options.SetZoom(k.zoom);
  s.Prepare();
  const TProjection &p = s.canvas.Projection();
  uint32_t seed = 17;
  auto next = [&seed](int range) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(2 * range + 1)) - range;
  };
  std::vector<TPoint3D> pts;
  for (int i = 0; i < 20000; ++i)
    pts.push_back({next(2000), next(2000), next(300)});
  const int big = 2147483647;
  for (int a : {-big - 1, -big, -100000000, -33554433, 33554432, 67108863, 67108864, big})
    for (int b : {0, 7, a})
      pts.push_back({a, b, b % 1000});
  for (const TPoint3D &q : pts) {
    const TPoint fast = p.Project(q.X, q.Y, q.Z);
    const TPoint general = k.is3D ? p.ProjectFloat(q.X, q.Y, q.Z) : TPoint{UloPixel(q.X), UloPixel(q.Y)};
    ASSERT_EQ(fast, general) << q.X << "," << q.Y << "," << q.Z;
  }
}

INSTANTIATE_TEST_SUITE_P(Views, ProjectionShortcut,
                         ::testing::Values(ViewCase{"flat", false, false, 0, 0, 0, 0, 100, 45},
                                           ViewCase{"orthogonal", true, true, 345, 345, 0, 0, 100, 45},
                                           ViewCase{"orthogonal_zoomed", true, true, 345, 345, 0, 0, 137, 60},
                                           ViewCase{"rotated_zoomed", true, false, 20, 300, 0, 0, 75, 45},
                                           ViewCase{"perspective", true, false, 330, 340, 40, 0, 100, 45},
                                           ViewCase{"tilted", true, false, 330, 340, 0, 30, 120, 45}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
