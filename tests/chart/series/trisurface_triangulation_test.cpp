// The triangulation of scattered points: counts on grids, the empty
// circle of every triangle, the hull covered exactly, duplicates and
// degenerate sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "chart/series/UloTriSurface.h"

namespace {

struct TPts {
  std::vector<double> X, Z;
  void Add(double x, double z) {
    X.push_back(x);
    Z.push_back(z);
  }
};

TUloTriangulation Triangulate(const TPts &p) {
  TUloTriangulation t;
  UloTriangulate(p.X, p.Z, t);
  return t;
}

double Cross(const TPts &p, int a, int b, int c) {
  return (p.X[b] - p.X[a]) * (p.Z[c] - p.Z[a]) - (p.Z[b] - p.Z[a]) * (p.X[c] - p.X[a]);
}

// The convex hull's area by the monotone chain.
double HullArea(const TPts &p) {
  std::vector<int> idx(p.X.size());
  for (size_t i = 0; i < idx.size(); ++i)
    idx[i] = static_cast<int>(i);
  std::sort(idx.begin(), idx.end(),
            [&](int a, int b) { return p.X[a] < p.X[b] || (p.X[a] == p.X[b] && p.Z[a] < p.Z[b]); });
  std::vector<int> h(2 * idx.size());
  size_t k = 0;
  for (size_t i = 0; i < idx.size(); ++i) {
    while (k >= 2 && Cross(p, h[k - 2], h[k - 1], idx[i]) <= 0)
      --k;
    h[k++] = idx[i];
  }
  for (size_t i = idx.size() - 1, t = k + 1; i > 0; --i) {
    while (k >= t && Cross(p, h[k - 2], h[k - 1], idx[i - 1]) <= 0)
      --k;
    h[k++] = idx[i - 1];
  }
  double area = 0;
  for (size_t i = 0; i + 1 < k; ++i)
    area += p.X[h[i]] * p.Z[h[i + 1]] - p.X[h[i + 1]] * p.Z[h[i]];
  return area / 2;
}

double TrianglesArea(const TPts &p, const TUloTriangulation &t) {
  double area = 0;
  for (int i = 0; i < t.TriangleCount(); ++i)
    area += Cross(p, t.Triangles[3 * i], t.Triangles[3 * i + 1], t.Triangles[3 * i + 2]) / 2;
  return area;
}

// Whether D lies strictly inside the circle through A, B, C (counter-clockwise),
// beyond a tolerance relative to the coordinates' size.
bool InsideCircle(const TPts &p, int a, int b, int c, int d, double scale) {
  double ax = p.X[a] - p.X[d], az = p.Z[a] - p.Z[d];
  double bx = p.X[b] - p.X[d], bz = p.Z[b] - p.Z[d];
  double cx = p.X[c] - p.X[d], cz = p.Z[c] - p.Z[d];
  double det = (ax * ax + az * az) * (bx * cz - cx * bz) - (bx * bx + bz * bz) * (ax * cz - cx * az) +
               (cx * cx + cz * cz) * (ax * bz - bx * az);
  return det > 1e-9 * scale * scale * scale * scale;
}

TEST(Triangulation, GridsGiveTwoNMinusTwoMinusHullTriangles) {
  for (int cols : {2, 3, 5, 8})
    for (int rows : {2, 4, 7}) {
      TPts p;
      for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
          p.Add(c, r);
      TUloTriangulation t = Triangulate(p);
      const int n = rows * cols, h = 2 * (rows - 1) + 2 * (cols - 1);
      EXPECT_EQ(t.TriangleCount(), 2 * n - 2 - h) << cols << "x" << rows;
      EXPECT_EQ(t.BorderEdgeCount(), h) << cols << "x" << rows << ": collinear border points count";
      EXPECT_DOUBLE_EQ(TrianglesArea(p, t), (cols - 1) * (rows - 1)) << cols << "x" << rows;
    }
}

TEST(Triangulation, RandomPointsHaveEmptyCirclesAndCoverTheHull) {
  for (unsigned seed : {1u, 2u, 3u, 4u}) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-50, 50);
    TPts p;
    const int n = 50 + static_cast<int>(seed) * 60;
    for (int i = 0; i < n; ++i)
      p.Add(u(gen), u(gen));
    TUloTriangulation t = Triangulate(p);
    int hull = t.BorderEdgeCount();
    EXPECT_EQ(t.TriangleCount(), 2 * n - 2 - hull) << seed;
    EXPECT_NEAR(TrianglesArea(p, t), HullArea(p), 1e-9 * HullArea(p)) << seed;
    for (int e = 0; e < hull; ++e) // the border is one closed loop
      ASSERT_EQ(t.BorderEdges[2 * e + 1], t.BorderEdges[(2 * e + 2) % t.BorderEdges.size()]) << seed;
    for (int i = 0; i < t.TriangleCount(); ++i) {
      const int a = t.Triangles[3 * i], b = t.Triangles[3 * i + 1], c = t.Triangles[3 * i + 2];
      ASSERT_GT(Cross(p, a, b, c), 0) << "triangle " << i << " is not counter-clockwise";
      for (int d = 0; d < n; ++d) {
        if (d == a || d == b || d == c) continue;
        ASSERT_FALSE(InsideCircle(p, a, b, c, d, 100)) << seed << " triangle " << i;
      }
    }
  }
}

struct SmallCase {
  const char *name;
  TPts points;
  int triangles;
};

TEST(Triangulation, SmallAndDegenerateSets) {
  auto pts = [](std::initializer_list<std::pair<double, double>> l) {
    TPts p;
    for (auto [x, z] : l)
      p.Add(x, z);
    return p;
  };
  const std::vector<SmallCase> cases{
      {"nothing", pts({}), 0},
      {"two points", pts({{0, 0}, {1, 1}}), 0},
      {"three on a line", pts({{0, 0}, {1, 1}, {2, 2}}), 0},
      {"many on a line", pts({{0, 0}, {3, 0}, {1, 0}, {7, 0}, {-2, 0}}), 0},
      {"three with one twice", pts({{0, 0}, {1, 0}, {0, 0}}), 0},
      {"a triangle", pts({{0, 0}, {1, 0}, {0, 1}}), 1},
      {"a square", pts({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), 2},
      {"a square with a corner twice", pts({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {1, 1}}), 2},
      {"a line and one point off it", pts({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {1.5, 1}}), 3},
      {"a square and its centre", pts({{0, 0}, {2, 0}, {2, 2}, {0, 2}, {1, 1}}), 4},
  };
  for (const auto &c : cases)
    EXPECT_EQ(Triangulate(c.points).TriangleCount(), c.triangles) << c.name;
  // Of points at one place, the first is the corner.
  const TUloTriangulation twice = Triangulate(cases[7].points);
  EXPECT_GT(std::ranges::count(twice.Triangles, 2), 0);
  EXPECT_EQ(std::ranges::count(twice.Triangles, 4), 0);
}

} // namespace
