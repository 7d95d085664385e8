// Contour lines without a chart: the segments of single cells, and
// segments joined into polylines.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "chart/series/UloContour.h"

namespace {

struct TSeg {
  int Level;
  TContourPoint A, B;
};

std::vector<TSeg> Cell(const double y[4], std::vector<double> levels, double x0 = 0, double x1 = 1, double z0 = 0,
                       double z1 = 1) {
  std::vector<TSeg> r;
  UloContourCell(x0, x1, z0, z1, y, levels, [&](int level, const TContourPoint &a, const TContourPoint &b) {
    r.push_back({level, a, b});
  });
  return r;
}

// Y over the cell as the four triangles around the centre interpolate it.
double CellValue(const double y[4], double x, double z) {
  const double cx = 0.5, cz = 0.5, cy = 0.25 * (y[0] + y[1] + y[2] + y[3]);
  const double vx[4] = {0, 1, 1, 0}, vz[4] = {0, 0, 1, 1};
  for (int m = 0; m < 4; ++m) {
    const int n = (m + 1) % 4;
    // Barycentric coordinates in the triangle (corner m, centre, corner n).
    double d = (cz - vz[n]) * (vx[m] - vx[n]) + (vx[n] - cx) * (vz[m] - vz[n]);
    double a = ((cz - vz[n]) * (x - vx[n]) + (vx[n] - cx) * (z - vz[n])) / d;
    double b = ((vz[n] - vz[m]) * (x - vx[n]) + (vx[m] - vx[n]) * (z - vz[n])) / d;
    double c = 1 - a - b;
    if (a >= -1e-12 && b >= -1e-12 && c >= -1e-12) return a * y[m] + b * cy + c * y[n];
  }
  ADD_FAILURE() << "(" << x << ", " << z << ") is outside the cell";
  return 0;
}

TEST(ContourCell, EveryCornerPatternCutsAtTheLevel) {
  // Each corner above (1) or below (0) the level 0.5, in all 16 patterns.
  for (int pattern = 0; pattern < 16; ++pattern) {
    double y[4];
    int above = 0;
    for (int k = 0; k < 4; ++k) {
      y[k] = (pattern >> k) & 1 ? 1.0 : 0.0;
      above += (pattern >> k) & 1;
    }
    std::vector<TSeg> segs = Cell(y, {0.5});
    if (above == 0 || above == 4) {
      EXPECT_TRUE(segs.empty()) << "pattern " << pattern;
      continue;
    }
    EXPECT_FALSE(segs.empty()) << "pattern " << pattern;
    for (const TSeg &s : segs)
      for (const TContourPoint &p : {s.A, s.B}) {
        EXPECT_NEAR(CellValue(y, p.X, p.Z), 0.5, 1e-12) << "pattern " << pattern;
        EXPECT_TRUE(p.X >= 0 && p.X <= 1 && p.Z >= 0 && p.Z <= 1) << "pattern " << pattern;
      }
    // The pieces join into lines that separate the corners above from those below.
    TContourLines lines;
    for (const TSeg &s : segs)
      lines.AddSegment(s.A, s.B);
    if (pattern == 5 || pattern == 10) // a saddle: two lines through the centre
      EXPECT_LE(lines.Count(), 2) << "pattern " << pattern;
    else
      EXPECT_EQ(lines.Count(), 1) << "pattern " << pattern;
  }
}

TEST(ContourCell, LevelsOutsideOrUnorderedAndFlatCells) {
  const double ramp[4] = {0, 1, 1, 0};
  EXPECT_TRUE(Cell(ramp, {2, 3}).empty());
  EXPECT_TRUE(Cell(ramp, {}).empty());
  // Unordered levels still cut the cell they cross.
  std::vector<TSeg> segs = Cell(ramp, {0.75, 5, 0.25});
  ASSERT_FALSE(segs.empty());
  for (const TSeg &s : segs) {
    EXPECT_NE(s.Level, 1);
    const double level = s.Level == 0 ? 0.75 : 0.25;
    EXPECT_NEAR(s.A.X, level, 1e-12);
    EXPECT_NEAR(s.B.X, level, 1e-12);
  }
  // A flat cell at another value gives nothing; at the level itself only
  // the pieces the zero cases make, never a crash.
  const double flat[4] = {2, 2, 2, 2};
  EXPECT_TRUE(Cell(flat, {1, 3}).empty());
  EXPECT_NO_FATAL_FAILURE(Cell(flat, {2}));
}

TEST(ContourLines, EndsMeetWithinHalfAUnitAtTheFourthDecimal) {
  struct Case {
    const char *name;
    TContourPoint a, b;
    bool meet;
  };
  for (const Case &c : std::vector<Case>{
           {"same point", {1, 2}, {1, 2}, true},
           {"0.00004 and 0.00001 apart", {0, 0}, {0.00004, 0.00001}, true},
           {"0.00003 and 0.00002 apart", {0, 0}, {0.00003, 0.00002}, true},
           {"0.0001 apart", {0, 0}, {0.0001, 0}, false},
           {"just over half", {1.0, 2.0}, {1.00004, 2.00001}, false},
       })
    EXPECT_EQ(TContourLines::Meet(c.a, c.b), c.meet) << c.name;

  TContourLines joined;
  joined.AddSegment({0, 0}, {1, 0});
  joined.AddSegment({1.00004, 0.00001}, {2, 0});
  EXPECT_EQ(joined.Count(), 2) << "the sum rounds up at these coordinates";
  TContourLines near;
  near.AddSegment({0, 0}, {1, 0});
  near.AddSegment({1.0, 0.00004}, {2, 0});
  EXPECT_EQ(near.Count(), 1);
}

TEST(ContourLines, SegmentsExtendEitherEndAndLinesMerge) {
  TContourLines lines;
  lines.AddSegment({1, 0}, {2, 0});
  lines.AddSegment({0, 0}, {1, 0}); // B meets the front: A goes before it
  lines.AddSegment({2, 0}, {3, 0}); // A meets the back
  ASSERT_EQ(lines.Count(), 1);
  EXPECT_EQ(lines.Polylines()[0], (TContourPolyline{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
  lines.AddSegment({5, 0}, {6, 0});
  ASSERT_EQ(lines.Count(), 2);
  // Bridging the gap merges the two lines, keeping the meeting point once.
  lines.AddSegment({4, 0}, {3, 0});
  ASSERT_EQ(lines.Count(), 2);
  lines.AddSegment({4, 0}, {5, 0});
  ASSERT_EQ(lines.Count(), 1);
  EXPECT_EQ(lines.Polylines()[0], (TContourPolyline{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}}));
}

} // namespace
