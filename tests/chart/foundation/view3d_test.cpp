// The projection against values worked out by hand, and its inverse.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "chart/foundation/View3D.h"

namespace {

struct CountingOwner : IUloInvalidate {
  int count = 0;
  void Invalidate() override { ++count; }
};

struct ViewCase {
  const char *name;
  bool orthogonal;
  int orthoAngle;
  double elevation, rotation;
  int tilt, zoom, perspective;
  TRect rect;
  int maxDepth;
  TPoint3D point;
  TPoint expected;
};

const TRect k200{0, 0, 200, 200};
const TRect k300{0, 0, 300, 300};
const TRect k400{0, 0, 400, 300};

TProjection Projected(TView3DOptions &v, int maxDepth = 100, const TRect &rect = k400, bool is3D = true) {
  TProjection p;
  p.Prepare(&v, is3D);
  bool zoomText = false;
  p.Setup(&v, maxDepth, rect, zoomText);
  return p;
}

// A rotated view without perspective, which the inverse leaves out.
void Rotate(TView3DOptions &v, double elevation, double rotation) {
  v.SetOrthogonal(false);
  v.SetPerspective(0);
  v.ChangeElevation(elevation);
  v.ChangeRotation(rotation);
}

TProjection Make(TView3DOptions &v, const ViewCase &c) {
  v.SetOrthogonal(c.orthogonal);
  v.SetOrthoAngle(c.orthoAngle);
  v.ChangeElevation(c.elevation);
  v.ChangeRotation(c.rotation);
  v.SetTilt(c.tilt);
  v.SetZoom(c.zoom);
  v.SetPerspective(c.perspective);
  return Projected(v, c.maxDepth, c.rect);
}

// Orthogonal: (X - XC + Z * xsign) * zoom + SX, (Y - YC - Z * slope) * zoom + SY.
// Rotated: worked out with x = X - XC, y = Y - YC, z = Z - ZC and the
// sines of minus the elevation and rotation.
const ViewCase kCases[] = {
    {"default view moves depth right and up", true, 45, 345, 345, 0, 100, 100, k200, 100, {50, 60, 10}, {60, 50}},
    {"angle 135 mirrors depth to the left", true, 135, 345, 345, 0, 100, 100, k200, 100, {50, 60, 10}, {40, 50}},
    {"angle 90 keeps xsign and uses slope 1", true, 90, 345, 345, 0, 100, 100, k200, 100, {50, 60, 10}, {60, 50}},
    {"angle 60 climbs tan 60 per unit", true, 60, 345, 345, 0, 100, 100, k200, 100, {50, 60, 10}, {60, 43}},
    {"zoom 150 scales about the centre", true, 45, 345, 345, 0, 150, 100, k200, 100, {120, 80, 0}, {130, 70}},
    {"zoom applies to the depth step", true, 45, 345, 345, 0, 150, 100, k200, 100, {100, 100, 10}, {115, 85}},
    {"flat rotated view ignores depth", false, 45, 0, 0, 0, 100, 0, k200, 100, {120, 80, 37}, {120, 80}},
    {"flat rotated view with zoom 200", false, 45, 0, 0, 0, 200, 0, k200, 100, {120, 80, 37}, {140, 60}},
    {"rotation 90 turns depth into -x", false, 45, 0, 90, 0, 100, 0, k200, 100, {150, 70, 80}, {70, 70}},
    {"elevation 90 turns depth into +y", false, 45, 90, 0, 0, 100, 0, k200, 100, {150, 70, 80}, {150, 130}},
    {"tilt 90 turns the screen plane", false, 45, 0, 0, 90, 100, 0, k200, 100, {150, 70, 0}, {130, 150}},
    {"default angles, front point", false, 45, 345, 345, 0, 100, 0, k400, 100, {100, 250, 0}, {90, 252}},
    {"default angles, back point", false, 45, 345, 345, 0, 100, 0, k400, 100, {250, 150, 100}, {261, 141}},
    {"elevation 352 rotation 314", false, 45, 352, 314, 0, 100, 0, k400, 100, {300, 100, 50}, {269, 110}},
    {"the same tilted by 20", false, 45, 352, 314, 20, 100, 0, k400, 100, {300, 100, 50}, {279, 137}},
    // s = 1 / (z / 450 + 1) with z = 90: a depth of 90 shrinks by 1.2.
    {"perspective shrinks far points", false, 45, 0, 0, 0, 100, 100, k300, 90, {240, 60, 135}, {225, 75}},
};

class ProjectionCases : public ::testing::TestWithParam<ViewCase> {};

TEST_P(ProjectionCases, ProjectsToTheWorkedValue) {
  const ViewCase &c = GetParam();
  TView3DOptions v;
  const TProjection p = Make(v, c);
  EXPECT_EQ(p.Project(c.point.X, c.point.Y, c.point.Z), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(View3D, ProjectionCases, ::testing::ValuesIn(kCases));

TEST(Projection, FlatCanvasLeavesPointsAlone) {
  TView3DOptions v;
  EXPECT_EQ(Projected(v, 100, k200, false).Project(17, 23, 99), (TPoint{17, 23}));
  v.SetHorizOffset(40);
  EXPECT_EQ(Projected(v, 100, k200, false).Project(17, 23, 99), (TPoint{17, 23}));
}

TEST(Projection, SetupCentresAndRoundsHalvesToEven) {
  TView3DOptions v;
  v.SetHorizOffset(5);
  v.SetVertOffset(-7);
  struct {
    TRect rect;
    int maxDepth;
    int xc, yc, zc;
  } cases[] = {{{0, 0, 201, 101}, 45, 100, 50, 22}, {{-3, -3, 0, 0}, 47, -1, -1, 24}, {{10, 20, 30, 40}, 0, 20, 30, 0}};
  for (const auto &c : cases) {
    const TProjection p = Projected(v, c.maxDepth, c.rect);
    EXPECT_EQ((std::array{p.XC, p.YC, p.ZC, p.SX, p.SY}), (std::array{c.xc, c.yc, c.zc, c.xc + 5, c.yc - 7}));
  }
}

TEST(Projection, FractionalZoomIsRoundedForProjecting) {
  for (auto [zoom, factor] : {std::pair{150.5, 1.5}, {151.5, 1.52}, {99.4, 0.99}}) {
    TView3DOptions v;
    v.ChangeZoom(zoom);
    EXPECT_DOUBLE_EQ(Projected(v, 0, k200).zoom, factor) << zoom;
  }
}

TEST(Projection, PointsBehindTheViewerStayOnTheirSide) {
  TView3DOptions v;
  Rotate(v, 0, 0);
  v.SetPerspective(100);
  const TProjection p = Projected(v, 0, k300);
  for (int z : {-450, -451, -100000, -2000000000}) {
    const TPoint q = p.Project(240, 60, z);
    EXPECT_GT(q.X, p.SX) << z;
    EXPECT_LT(q.Y, p.SY) << z;
    EXPECT_LE(std::abs(q.X), UloPixelLimit);
    EXPECT_LE(std::abs(q.Y), UloPixelLimit);
  }
}

TEST(Projection, HugeInputsAreClampedToThePixelLimit) {
  TView3DOptions v;
  const TProjection p = Projected(v, 100, k200);
  EXPECT_EQ(p.Project(2147483647, -2147483647 - 1, 2147483647), (TPoint{UloPixelLimit, -UloPixelLimit}));
  EXPECT_EQ(p.ProjectFloat(NAN, INFINITY, 0).Y, UloPixelLimit);
}

// ---- inverse -------------------------------------------------------------------

TEST(ScreenTo3D, OrthogonalRoundTripIsExact) {
  for (int angle : {45, 60, 90, 135}) {
    TView3DOptions v;
    v.SetOrthoAngle(angle);
    v.SetZoom(130);
    const TProjection p = Projected(v);
    for (int z : {0, 37, 100}) {
      TPoint s = p.Project(123, 77, z);
      p.ScreenTo3D(s.X, s.Y, z);
      EXPECT_NEAR(s.X, 123, 1) << angle << " " << z;
      EXPECT_NEAR(s.Y, 77, 1) << angle << " " << z;
    }
  }
}

TEST(ScreenTo3D, RotatedViewsRoundTripWithinRounding) {
  struct Case {
    double e, r;
    int tilt;
    TPoint3D p;
  };
  // Fixed views first, one with a rotation the rotation tool reaches where a
  // cosine turns negative; then random ones.
  std::vector<Case> cases = {{345, 345, 0, {100, 250, 0}},
                             {345, 345, 0, {250, 150, 100}},
                             {352, 314, 0, {300, 100, 50}},
                             {10, 200, 0, {150, 120, 30}}};
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> angle(0, 360);
  std::uniform_int_distribution<int> tilt(-40, 40), coord(0, 400), depth(0, 100);
  while (cases.size() < 300) {
    const double e = angle(rng), r = angle(rng);
    // Screen rounding grows by 1/cos on the way back; keep it below 2.
    if (std::abs(std::cos(e * M_PI / 180)) < 0.75 || std::abs(std::cos(r * M_PI / 180)) < 0.75) continue;
    cases.push_back({e, r, tilt(rng), {coord(rng), coord(rng), depth(rng)}});
  }
  for (const Case &c : cases) {
    TView3DOptions v;
    Rotate(v, c.e, c.r);
    v.SetTilt(c.tilt);
    const TProjection p = Projected(v);
    TPoint s = p.Project(c.p.X, c.p.Y, c.p.Z);
    p.ScreenTo3D(s.X, s.Y, c.p.Z);
    EXPECT_LE(std::abs(s.X - c.p.X), 2) << c.e << " " << c.r;
    EXPECT_LE(std::abs(s.Y - c.p.Y), 2) << c.e << " " << c.r;
  }
}

TEST(ScreenTo3D, EdgeOnViewsLeaveThePointUnchanged) {
  for (auto [e, r] : {std::pair{0.0, 90.0}, {90.0, 0.0}, {0.0, 270.0}}) {
    TView3DOptions v;
    Rotate(v, e, r);
    int x = 123, y = 45;
    Projected(v).ScreenTo3D(x, y, 10);
    EXPECT_EQ((TPoint{x, y}), (TPoint{123, 45})) << e << " " << r;
  }
}

// ---- settings ------------------------------------------------------------------

TEST(View3DOptions, SettersRepaintOnlyOnChange) {
  CountingOwner owner;
  TView3DOptions v(&owner);
  v.SetZoom(100);
  v.SetElevation(345);
  v.SetOrthogonal(true);
  v.SetTilt(0);
  EXPECT_EQ(owner.count, 0);
  v.SetTilt(5);
  v.SetTilt(5);
  v.ChangeRotation(10.25);
  v.ChangeRotation(10.25);
  EXPECT_EQ(owner.count, 2);
}

TEST(View3DOptions, IntegerViewsRoundHalvesToEven) {
  TView3DOptions v;
  v.ChangeElevation(344.5);
  v.ChangeRotation(345.5);
  v.ChangeZoom(100.5);
  EXPECT_EQ(v.Elevation(), 344);
  EXPECT_EQ(v.Rotation(), 346);
  EXPECT_EQ(v.Zoom(), 100);
}

TEST(View3DOptions, ZoomNotificationComesFirstWithThePreviousZoom) {
  TView3DOptions v;
  v.ChangeZoom(120.5);
  std::vector<std::pair<int, int>> seen; // notified value, zoom at that time
  v.OnZoomed = [&](int previous) { seen.emplace_back(previous, v.Zoom()); };
  v.ChangeZoom(150);
  v.ChangeZoom(150);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], (std::pair{120, 120}));
}

TEST(View3DOptions, ScrollNotificationFollowsTheChange) {
  TView3DOptions v;
  std::vector<std::pair<bool, int>> seen;
  v.OnScrolled = [&](bool horizontal) { seen.emplace_back(horizontal, horizontal ? v.HorizOffset() : v.VertOffset()); };
  v.SetHorizOffset(3);
  v.SetVertOffset(-4);
  v.SetVertOffset(-4);
  EXPECT_EQ(seen, (std::vector<std::pair<bool, int>>{{true, 3}, {false, -4}}));
}

TEST(View3DOptions, AssignCopiesSettingsButNotNotifications) {
  TView3DOptions a, b;
  a.ChangeElevation(10.5);
  a.SetFontZoom(80);
  a.SetHorizOffset(1);
  a.SetOrthogonal(false);
  a.SetOrthoAngle(30);
  a.SetPerspective(40);
  a.ChangeRotation(20);
  a.SetTilt(3);
  a.SetVertOffset(2);
  a.ChangeZoom(90);
  a.SetZoomText(false);
  a.OnZoomed = [](int) {};
  b.Assign(a);
  EXPECT_EQ(b.FloatElevation(), 10.5);
  EXPECT_EQ((std::array{b.FontZoom(), b.HorizOffset(), b.OrthoAngle(), b.Perspective(), b.Rotation(), b.Tilt(),
                        b.VertOffset(), b.Zoom()}),
            (std::array{80, 1, 30, 40, 20, 3, 2, 90}));
  EXPECT_FALSE(b.Orthogonal() || b.ZoomText() || b.OnZoomed);
}

TEST(View3DOptions, OrthoSlopeAgreesWithTheProjection) {
  TView3DOptions v;
  for (int angle : {30, 45, 60, 89, 90, 91, 135}) {
    v.SetOrthoAngle(angle);
    EXPECT_DOUBLE_EQ(v.OrthoSlope(), Projected(v).slope) << angle;
  }
  EXPECT_EQ((v.SetOrthoAngle(90), v.OrthoSlope()), 1.0);
  v.SetOrthogonal(false);
  EXPECT_EQ(v.OrthoSlope(), 1.0);
}

} // namespace
