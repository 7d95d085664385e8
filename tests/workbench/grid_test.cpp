#include "platform/rtl/Exceptions.h"
#include "workbench/DirectionGrid.h"
#include "workbench/Sections.h"
#include "workbench/SolverErrors.h"
#include "workbench/SupportEval.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using namespace workbench;

TEST(DirectionGrid, DirectionsInTheirOrder) {
  const double h = std::sqrt(3.0) / 2, r3 = 1 / std::sqrt(3.0), r2 = 1 / std::sqrt(2.0);
  const struct {
    DirectionGrid grid;
    int i;
    std::vector<double> dir;
    double tolerance;
  } cases[] = {
      // The parser's values, not the library's cosine and sine of the double
      // angle: cos(pi/2) is not 0, and at 300 degrees the two differ.
      {BuildPolarGrid(4), 1, {6.123233995736766e-17, 1}, 0},
      {BuildPolarGrid(4), 2, {-1, 1.2246467991473532e-16}, 0},
      {BuildPolarGrid(6), 5, {0.49999999999999933, -0.86602540378443904}, 0},
      // Latitudes from the south pole up, the equator last for an odd count;
      // longitudes from one step to the full turn.
      {BuildSphericalGrid(2), 1, {0, 0, -1}, 1e-15},
      {BuildSphericalGrid(2), 2, {0, 0, 1}, 1e-15},
      {BuildSphericalGrid(3), 0, {-0.25, h / 2, -h}, 1e-15},
      {BuildSphericalGrid(3), 5, {0.5, 0, h}, 1e-15},
      {BuildSphericalGrid(3), 8, {1, 0, 0}, 1e-15},
      // The -1 side of the first axis, its +1 side, then the next axis; the
      // other components count through the nodes, the lowest one slowest.
      {BuildCubeGrid(2, 3), 1, {-1, 0}, 0},
      {BuildCubeGrid(2, 3), 3, {r2, -r2}, 0},
      {BuildCubeGrid(2, 3), 7, {0, -1}, 0},
      {BuildCubeGrid(2, 3), 11, {r2, r2}, 0},
      {BuildCubeGrid(3, 2), 1, {-r3, -r3, r3}, 0},
      {BuildCubeGrid(3, 2), 4, {r3, -r3, -r3}, 0},
  };
  for (const auto &c : cases) {
    ASSERT_EQ(c.grid.Dim, static_cast<int>(c.dir.size()));
    for (int j = 0; j < c.grid.Dim; ++j)
      EXPECT_NEAR(c.grid.Dir(c.i)[j], c.dir[j], c.tolerance) << &c - cases << ", component " << j;
  }
}

TEST(DirectionGrid, ChoiceFollowsDimensionAndSettingWithinItsLimits) {
  constexpr int kRefused = 0;
  const struct {
    const char *nod;
    bool b1;
    int l;
    TGridKind kind;
    int count;
  } cases[] = {
      {"10", true, 2, TGridKind::gkPolar, 10},
      {"10", true, 3, TGridKind::gkSpherical, 100},
      {"10", true, 1, TGridKind::gkCube, 2},
      {"10", true, 4, TGridKind::gkCube, 8000},
      {"10", false, 2, TGridKind::gkCube, 40},
      {"10", false, 3, TGridKind::gkCube, 600},
      {"5000", false, 2, TGridKind::gkCube, 20000},
      {"141", true, 3, TGridKind::gkSpherical, 19881},
      {"1", false, 1, TGridKind::gkCube, 2},
      {"0", true, 1, TGridKind::gkCube, 2},
      {"1", true, 2, {}, kRefused},
      {"1", true, 3, {}, kRefused},
      {"1", false, 2, {}, kRefused},
      {"10", true, 5, {}, kRefused},
      {"10", false, 10, {}, kRefused},
      {"142", true, 3, {}, kRefused},
      {"5001", false, 2, {}, kRefused},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << c.nod << " " << c.b1 << " L=" << c.l);
    if (c.count == kRefused) {
      EXPECT_THROW(ChooseGrid(c.nod, c.b1, c.l), ESolverError);
      continue;
    }
    const DirectionGrid grid = ChooseGrid(c.nod, c.b1, c.l);
    EXPECT_EQ(grid.Kind, c.kind);
    EXPECT_EQ(grid.Count, c.count);
    EXPECT_EQ(grid.Dim, c.l);
  }
  EXPECT_THROW(ChooseGrid("ten", true, 2), rtl::EConvertError);
}

TEST(SupportFormula, ReadsTheMapTimesEachDirection) {
  // A linear formula gives the map's rows applied to the direction back;
  // a mapped component beyond the double range is an overflow.
  const DirectionGrid grid = BuildCubeGrid(3, 3);
  Matrix map(2, 3);
  for (int c = 0; c < 6; ++c)
    map(c / 3, c % 3) = c + 1;
  SupportFormula f("psi1+10*psi2", 2);
  std::vector<double> out(grid.Count);
  f.EvalOnMappedGrid(grid, map, out.data());
  for (int i = 0; i < grid.Count; ++i) {
    const double *d = grid.Dir(i);
    EXPECT_NEAR(out[i], d[0] + 2 * d[1] + 3 * d[2] + 10 * (4 * d[0] + 5 * d[1] + 6 * d[2]), 1e-12) << i;
  }
  map(0, 0) = map(0, 1) = 1.5e308;
  EXPECT_THROW(f.EvalOnMappedGrid(grid, map, out.data()), rtl::EOverflow);
}

// ---- Post-processing --------------------------------------------------------

struct Processed {
  std::vector<double> w, s, r;
  std::vector<int> candidate;
};

Processed Process(const DirectionGrid &grid, std::vector<double> w) {
  RadialTable table(grid);
  Processed p{std::move(w), std::vector<double>(grid.Dim), std::vector<double>(grid.Count), {}};
  PostProcessSection(table, p.w.data(), p.s.data(), p.r.data(), p.candidate, TFillFrom::None, nullptr);
  return p;
}

TEST(Sections, SteinerPointAndRadiusOfDiscsAndOverflow) {
  const struct {
    int nodes;
    double cx, cy, radius;
  } cases[] = {{36, 1.5, -0.5, 1}, {7, 0.1, 0.2, 3}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.nodes);
    const DirectionGrid grid = BuildPolarGrid(c.nodes);
    std::vector<double> w(grid.Count);
    for (int i = 0; i < grid.Count; ++i)
      w[i] = c.cx * grid.Dir(i)[0] + c.cy * grid.Dir(i)[1] + c.radius;
    const Processed p = Process(grid, w);
    EXPECT_NEAR(p.s[0], c.cx, 1e-13);
    EXPECT_NEAR(p.s[1], c.cy, 1e-13);
    for (int i = 0; i < grid.Count; ++i) {
      EXPECT_NEAR(p.r[i], c.radius, 1e-12) << i;
      EXPECT_EQ(p.candidate[i], i + 1) << i;
      // The summed values come back up to rounding.
      EXPECT_NEAR(p.w[i], w[i], 1e-13) << i;
    }
  }
  std::vector<double> w(6, 1e308);
  w[0] = -1e308;
  EXPECT_THROW(Process(BuildPolarGrid(6), w), rtl::EMathError);
}

// The radial function as plainly written: every facing pair divided, in
// order, the first of equal quotients kept.
void PlainRadial(const DirectionGrid &grid, const std::vector<double> &w, std::vector<double> &r,
                 std::vector<int> &candidate) {
  r.assign(grid.Count, std::numeric_limits<double>::infinity());
  candidate.assign(grid.Count, 0);
  for (int i = 0; i < grid.Count; ++i)
    for (int j = 0; j < grid.Count; ++j) {
      const double d = DirDot(grid.Dir(i), grid.Dir(j), grid.Dim);
      if (d > 0 && w[j] / d < r[i]) {
        r[i] = w[j] / d;
        candidate[i] = j + 1;
      }
    }
}

TEST(Sections, RadialValuesEqualThePlainLoopToTheBit) {
  const struct {
    const char *name;
    DirectionGrid grid;
    double scale;
  } cases[] = {
      {"polar", BuildPolarGrid(90), 1},           {"spherical", BuildSphericalGrid(9), 3},
      {"cube", BuildCubeGrid(3, 5), 0.01},        {"tiny values", BuildPolarGrid(16), 1e-310},
      {"huge values", BuildPolarGrid(16), 1e299}, {"too many pairs to store", BuildCubeGrid(3, 20), 1},
  };
  unsigned seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<double>(seed >> 8) / (1u << 24);
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    const RadialTable table(c.grid);
    EXPECT_EQ(table.Stored(), c.grid.Count < 2000);
    // Random values, some negative, with repeated values to make ties; then
    // equal values, where every repeated direction ties with its first copy.
    for (bool equal : {false, true}) {
      std::vector<double> w(c.grid.Count), r(c.grid.Count), expectedR;
      for (double &v : w)
        v = (equal || next() < 0.2 ? 1.0 : next() * 4 - 1) * c.scale;
      std::vector<int> candidate(c.grid.Count), expectedCandidate;
      table.Radial(w.data(), r.data(), candidate.data());
      PlainRadial(c.grid, w, expectedR, expectedCandidate);
      for (int i = 0; i < c.grid.Count; ++i) {
        ASSERT_EQ(std::signbit(r[i]), std::signbit(expectedR[i])) << i;
        ASSERT_EQ(r[i], expectedR[i]) << i;
        ASSERT_EQ(candidate[i], expectedCandidate[i]) << i;
      }
    }
  }
}

} // namespace
