// Pixel records, the routines over them and the convex hull.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "chart/foundation/UloGeometry.h"

namespace {

TEST(CanvasGeometry, MidpointHalvesTowardZero) {
  const struct {
    TRect r;
    int x, y;
  } cases[] = {{{-3, -3, 0, 0}, -1, -1},
               {{0, 0, 3, 5}, 1, 2},
               {{-5, 2, -2, 7}, -3, 4},
               {{2147483600, 0, 2147483646, 0}, 2147483623, 0}};
  for (const auto &c : cases) {
    int x, y;
    RectMidpoint(c.r, x, y);
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(y, c.y);
  }
}

TEST(CanvasGeometry, InsideCountsEveryEdge) {
  const TRect r{10, 20, 30, 40};
  const struct {
    int x, y;
    bool inside;
  } cases[] = {{10, 20, true}, {30, 40, true}, {30, 20, true}, {9, 20, false}, {31, 40, false}, {20, 41, false}};
  for (const auto &c : cases) {
    EXPECT_EQ(PointInsideRect(c.x, c.y, r), c.inside) << c.x << "," << c.y;
    EXPECT_EQ(PointInsideRectP(TPoint{c.x, c.y}, r), c.inside);
  }
}

TEST(CanvasGeometry, BoundingRects) {
  EXPECT_EQ(PointsBoundingRect({}), (TRect{0, 0, 0, 0}));
  const TPoint pts[] = {{5, 7}, {-2, 9}, {3, -4}};
  EXPECT_EQ(PointsBoundingRect(pts), (TRect{-2, -4, 5, 9}));
  EXPECT_EQ(PointsBoundingRectInclusive(pts), (TRect{-2, -4, 6, 10}));
  EXPECT_EQ(TriangleBoundingRect(pts[0], pts[1], pts[2]), (TRect{-2, -4, 5, 9}));
  EXPECT_EQ(NormalizeRect(TRect{5, 9, -2, -4}), (TRect{-2, -4, 5, 9}));
  int w, h;
  RectExtent(TRect{-2, -4, 5, 9}, w, h);
  EXPECT_EQ(w, 7);
  EXPECT_EQ(h, 13);
}

TEST(CanvasGeometry, BackFacingFollowsTheTurnOnScreen) {
  // (A - B) x (C - B) below zero: A, B, C turn clockwise on screen.
  EXPECT_TRUE(IsBackFacing({0, 0}, {10, 0}, {10, 10}));
  EXPECT_FALSE(IsBackFacing({10, 10}, {10, 0}, {0, 0}));
  EXPECT_FALSE(IsBackFacing({0, 0}, {5, 5}, {10, 10}));
  // Far outside the 32-bit product range the sign must still be right.
  EXPECT_TRUE(IsBackFacing({-60000000, 0}, {60000000, 0}, {60000000, 60000000}));
  constexpr int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
  EXPECT_FALSE(IsBackFacing({hi, lo}, {lo, lo}, {lo, hi}));
  EXPECT_TRUE(IsBackFacing({lo, hi}, {lo, lo}, {hi, lo}));
  const TPoint tri[3] = {{10, 10}, {10, 0}, {0, 0}};
  EXPECT_FALSE(IsBackFacingTriangle(tri));
}

TEST(CanvasGeometry, PointBackAlongLine) {
  EXPECT_EQ(PointBackAlongLine({0, 0}, {10, 0}, 4), (TPoint{6, 0}));
  EXPECT_EQ(PointBackAlongLine({0, 0}, {30, 40}, 10), (TPoint{24, 32}));
  EXPECT_EQ(PointBackAlongLine({5, 5}, {5, 5}, 10), (TPoint{5, 5}));
  EXPECT_DOUBLE_EQ(Hypotenuse(3, 4), 5);
}

TEST(CanvasGeometry, PixelsRoundHalvesToEvenAndClamp) {
  EXPECT_EQ(UloPixel(2.5), 2);
  EXPECT_EQ(UloPixel(3.5), 4);
  EXPECT_EQ(UloPixel(-2.5), -2);
  EXPECT_EQ(UloPixel(1e300), UloPixelLimit);
  EXPECT_EQ(UloPixel(-INFINITY), -UloPixelLimit);
  EXPECT_EQ(UloPixel(NAN), 0);
}

// ---- convex hull ---------------------------------------------------------------

bool Contains(const TPointArray &pts, TPoint p) { return std::find(pts.begin(), pts.end(), p) != pts.end(); }

// Every point lies on or inside every edge of the hull.
bool Encloses(const TPointArray &hull, const TPointArray &points) {
  const std::size_t n = hull.size();
  for (std::size_t i = 0; i < n; ++i) {
    const TPoint a = hull[i], b = hull[(i + 1) % n];
    for (const TPoint &p : points) {
      const long long cross =
          static_cast<long long>(b.X - a.X) * (p.Y - a.Y) - static_cast<long long>(b.Y - a.Y) * (p.X - a.X);
      if (cross < 0) return false;
    }
  }
  return true;
}

TEST(ConvexHull, KeepsTheOutlineAndEndsWithThePivot) {
  TPointArray two{{0, 0}, {1, 1}};
  EXPECT_FALSE(ConvexHull(two));
  TPointArray three{{0, 0}, {5, 9}, {1, 1}};
  const TPointArray copy = three;
  EXPECT_TRUE(ConvexHull(three));
  EXPECT_EQ(three, copy);

  // The eight corners of a box in the default orthogonal view.
  TPointArray box;
  for (int z : {0, 20})
    for (int y : {10, 50})
      for (int x : {10, 90})
        box.push_back({x + z, y - z});
  const struct {
    TPointArray points;
    std::size_t size;
    std::vector<TPoint> inner;
    TPoint pivot; // topmost, rightmost among equals
  } cases[] = {
      {{{0, 10}, {5, 5}, {10, 10}, {10, 0}, {0, 0}, {4, 6}}, 4, {{5, 5}, {4, 6}}, {10, 0}},
      {box, 6, {{30, 30}, {90, 10}}, {110, -10}},
  };
  for (const auto &c : cases) {
    TPointArray hull = c.points;
    ASSERT_TRUE(ConvexHull(hull));
    EXPECT_EQ(hull.size(), c.size);
    for (const TPoint &p : c.inner)
      EXPECT_FALSE(Contains(hull, p)) << p.X << "," << p.Y;
    EXPECT_EQ(hull.back(), c.pivot);
    EXPECT_TRUE(Encloses(hull, c.points));
  }
}

} // namespace
