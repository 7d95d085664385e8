#include "chart/series/UloSpline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The interpolation system as a dense matrix, eliminated over every row and
// column as the plain algorithm does, for the controls (1..n) of a spline
// built without interpolation.
std::vector<TBSplinePoint> DenseSolve(std::vector<TBSplinePoint> c, int n) {
  std::vector<std::vector<double>> m(static_cast<size_t>(n) + 1, std::vector<double>(static_cast<size_t>(n) + 2, 0));
  for (int i = 2; i <= n - 1; ++i) {
    m[i][i - 1] = 1.0 / 6;
    m[i][i] = 2.0 / 3;
    m[i][i + 1] = 1.0 / 6;
  }
  m[1][1] = 1;
  m[n][n] = 1;
  auto same = [&](int a, int b) { return std::fabs(c[b].X - c[a].X) < 1e-5 && std::fabs(c[b].Y - c[a].Y) < 1e-5; };
  for (int i = 3; i < n - 1;) {
    if (same(i - 1, i) && same(i, i + 1)) {
      for (int r = i - 1; r <= i + 1; ++r) {
        m[r][r - 1] = 0;
        m[r][r] = 1;
        m[r][r + 1] = 0;
      }
      i += 2;
    } else {
      ++i;
    }
  }
  for (int i = 1; i <= n; ++i)
    for (int k = i + 1; k <= n; ++k) {
      const double f = m[k][i] / m[i][i];
      for (int j = 1; j <= n; ++j)
        m[k][j] -= f * m[i][j];
      c[k].X -= f * c[k - 1].X;
      c[k].Y -= f * c[k - 1].Y;
    }
  std::vector<TBSplinePoint> r(static_cast<size_t>(n) + 2);
  r[n] = {c[n].X / m[n][n], c[n].Y / m[n][n]};
  for (int i = n - 1; i >= 1; --i) {
    const double inv = 1 / m[i][i];
    r[i] = {inv * (c[i].X - m[i][i + 1] * r[i + 1].X), inv * (c[i].Y - m[i][i + 1] * r[i + 1].Y)};
  }
  return r;
}

TBSpline Make(const std::vector<TBSplinePoint> &points, bool interpolated) {
  TBSpline s;
  for (const auto &p : points)
    s.AddPoint(p.X, p.Y);
  s.SetInterpolated(interpolated);
  return s;
}

} // namespace

TEST(SplineBasics, TwoApproximatedPointsAndTheirPhantoms) {
  TBSpline s = Make({{1, 2}, {5, -2}}, false);
  ASSERT_EQ(s.NumControls(), 2);
  const TBSplinePoint controls[] = {{-3, 6}, {1, 2}, {5, -2}, {9, -6}};
  for (int k = 0; k < 4; ++k)
    EXPECT_EQ(s.Control(k), controls[k]) << k;
  const TBSplinePoint want[] = {{1, 2}, {3, 0}, {5, -2}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(s.Value(i * 0.5).X, want[i].X, 1e-12) << i;
    EXPECT_NEAR(s.Value(i * 0.5).Y, want[i].Y, 1e-12) << i;
  }
}

TEST(SplineBasics, InterpolationPassesThroughEveryPoint) {
  const std::vector<std::vector<TBSplinePoint>> cases = {
      {{0, 0}, {1, 3}, {2, 0}},
      {{-5, 0.5}, {-1, 0.25}, {0, 8}, {10, 9}, {11, -1}, {12, 0}, {13, 7}, {20, 1}},
  };
  for (const auto &points : cases) {
    TBSpline s = Make(points, true);
    const int n = static_cast<int>(points.size());
    for (int i = 0; i < n; ++i) {
      const TBSplinePoint v = s.Value(static_cast<double>(i) / (n - 1));
      EXPECT_NEAR(v.X, points[i].X, 1e-9) << "point " << i << " of " << n;
      EXPECT_NEAR(v.Y, points[i].Y, 1e-9) << "point " << i << " of " << n;
    }
  }
}

TEST(SplineKnots, AKnotIsTripledAndMakesACorner) {
  TBSpline s = Make({{0, 0}, {1, 0}, {2, 4}, {3, 0}, {4, 0}}, true);
  s.SetKnot(3, true);
  ASSERT_EQ(s.NumControls(), 7);
  // The tripled knot gets identity rows: its three controls stay on it, so
  // the curve reaches it exactly.
  for (int k = 3; k <= 5; ++k)
    EXPECT_EQ(s.Control(k), (TBSplinePoint{2, 4})) << k;
  const TBSplinePoint at = s.Value(0.5);
  EXPECT_NEAR(at.X, 2, 1e-12);
  EXPECT_NEAR(at.Y, 4, 1e-12);
  // A corner: the slopes on both sides of the knot differ in sign.
  const TBSplinePoint before = s.Value(0.5 - 1e-3), after = s.Value(0.5 + 1e-3);
  EXPECT_GT((at.Y - before.Y) / (at.X - before.X), 1);
  EXPECT_LT((after.Y - at.Y) / (after.X - at.X), -1);
}

TEST(SplineKnots, EndPointsAreNeverKnotsAndEveryChangeRebuilds) {
  TBSpline s = Make({{0, 0}, {1, 1}, {2, 0}}, false);
  // The count and the written controls agree: no tripling at the ends, and
  // indexes beyond the points are ignored, not written.
  for (int i : {1, 3, 4, -1})
    s.SetKnot(i, true);
  EXPECT_FALSE(s.IsKnot(1) || s.IsKnot(3) || s.IsKnot(4));
  EXPECT_EQ(s.NumControls(), 3);
  EXPECT_EQ(s.Control(2), (TBSplinePoint{1, 1}));
  s.SetInterpolated(true);
  // Interpolating pulls the middle control beyond the data point.
  EXPECT_GT(s.Control(2).Y, 1);
  // The flag kept on the old last point counts once a point follows it.
  s.AddPoint(3, 1);
  EXPECT_EQ(s.NumControls(), 6);
  s.SetKnot(2, true);
  EXPECT_EQ(s.NumControls(), 8);
}

TEST(SplineBasics, ParametersOutsideTheCurveAndTooFewPoints) {
  TBSpline s = Make({{0, 0}, {1, 1}, {2, 0}, {3, 1}}, true);
  // Beyond the ends the loop would reach past the last phantom; NaN finds
  // no control at all.
  for (double t : {1.25, 3.0, -0.5}) {
    const TBSplinePoint v = s.Value(t);
    EXPECT_TRUE(std::isfinite(v.X) && std::isfinite(v.Y)) << t;
  }
  EXPECT_EQ(s.Value(std::numeric_limits<double>::quiet_NaN()), (TBSplinePoint{0, 0}));
  // Fewer than two points give the origin.
  TBSpline one;
  one.AddPoint(3, 4);
  EXPECT_EQ(one.Value(0.5), (TBSplinePoint{0, 0}));
}

// The linear-time solve must give the dense elimination's numbers to the bit.
TEST(SplineSolve, TridiagonalMatchesDenseEliminationBitForBit) {
  std::mt19937 rng(20261207);
  std::uniform_real_distribution<double> value(-1000, 1000);
  std::bernoulli_distribution knot(0.25);
  for (int trial = 0; trial < 300; ++trial) {
    const int points = 2 + trial % 14;
    TBSpline plain, interpolated;
    for (int i = 1; i <= points; ++i) {
      const TBSplinePoint p{value(rng), value(rng)};
      plain.AddPoint(p.X, p.Y);
      interpolated.AddPoint(p.X, p.Y);
    }
    for (int i = 2; i < points; ++i)
      if (knot(rng)) {
        plain.SetKnot(i, true);
        interpolated.SetKnot(i, true);
      }
    interpolated.SetInterpolated(true);
    const int n = plain.NumControls();
    ASSERT_EQ(interpolated.NumControls(), n);
    std::vector<TBSplinePoint> c(static_cast<size_t>(n) + 2);
    for (int k = 1; k <= n; ++k)
      c[k] = plain.Control(k);
    const std::vector<TBSplinePoint> want = n >= 3 ? DenseSolve(c, n) : c;
    for (int k = 1; k <= n; ++k) {
      const TBSplinePoint got = interpolated.Control(k);
      EXPECT_TRUE(SameBits(got.X, want[k].X) && SameBits(got.Y, want[k].Y))
          << "trial " << trial << " control " << k << ": " << got.X << "," << got.Y << " vs " << want[k].X << ","
          << want[k].Y;
    }
  }
}

// A dense system of this size would not fit in memory.
TEST(SplineSolve, LongSourcesSolveAndStayOnTheirPoints) {
  TBSpline s;
  const int n = 100000;
  for (int i = 0; i < n; ++i)
    s.AddPoint(i, std::sin(i * 0.01));
  s.SetInterpolated(true);
  for (int i : {0, 777, n - 1}) {
    const TBSplinePoint v = s.Value(static_cast<double>(i) / (n - 1));
    EXPECT_NEAR(v.X, i, 1e-6) << i;
    EXPECT_NEAR(v.Y, std::sin(i * 0.01), 1e-9) << i;
  }
}
