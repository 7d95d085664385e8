#include "platform/rtl/Exceptions.h"
#include "workbench/DirectionGrid.h"
#include "workbench/Sections.h"
#include "workbench/SolverErrors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using namespace workbench;

TEST(DirectionGrid, PolarCarriesTheParsersRounding) {
  // Not the library's cosine and sine of the double angle: cos(pi/2) is not
  // 0, and at 300 degrees the two differ in the last bits.
  const struct {
    int k, j;
    double x, y;
  } cases[] = {{4, 0, 1, 0},
               {4, 1, 6.123233995736766e-17, 1},
               {4, 2, -1, 1.2246467991473532e-16},
               {4, 3, -1.8369701987210297e-16, -1},
               {6, 5, 0.49999999999999933, -0.86602540378443904}};
  for (const auto &c : cases) {
    const DirectionGrid grid = BuildPolarGrid(c.k);
    ASSERT_EQ(grid.Count, c.k);
    EXPECT_EQ(grid.Dir(c.j)[0], c.x) << c.k << " " << c.j;
    EXPECT_EQ(grid.Dir(c.j)[1], c.y) << c.k << " " << c.j;
  }
}

TEST(DirectionGrid, SphericalLatitudesAndLongitudes) {
  // Two nodes: the south pole twice, then the north pole twice.
  const DirectionGrid two = BuildSphericalGrid(2);
  ASSERT_EQ(two.Count, 4);
  for (int i = 0; i < 4; ++i)
    EXPECT_NEAR(two.Dir(i)[2], i < 2 ? -1 : 1, 1e-15) << i;
  // Three nodes: latitudes -pi/3, pi/3 and the equator last; the last
  // longitude is a full turn.
  const DirectionGrid three = BuildSphericalGrid(3);
  ASSERT_EQ(three.Count, 9);
  for (int i = 6; i < 9; ++i)
    EXPECT_EQ(three.Dir(i)[2], 0.0) << i;
  EXPECT_NEAR(three.Dir(0)[2], -std::sqrt(3.0) / 2, 1e-15);
  EXPECT_NEAR(three.Dir(3)[2], std::sqrt(3.0) / 2, 1e-15);
  EXPECT_NEAR(three.Dir(8)[0], 1, 1e-15);
}

TEST(DirectionGrid, CubeOrderAndNormalisation) {
  // Before normalisation: the -1 side of the first axis, its +1 side, then
  // the second axis; the free component counts through -1, 0, 1.
  const double raw[12][2] = {{-1, -1}, {-1, 0}, {-1, 1}, {1, -1}, {1, 0}, {1, 1},
                             {-1, -1}, {0, -1}, {1, -1}, {-1, 1}, {0, 1}, {1, 1}};
  const DirectionGrid grid = BuildCubeGrid(2, 3);
  ASSERT_EQ(grid.Count, 12);
  for (int i = 0; i < 12; ++i) {
    const double len = std::sqrt(raw[i][0] * raw[i][0] + raw[i][1] * raw[i][1]);
    EXPECT_EQ(grid.Dir(i)[0], raw[i][0] / len) << i;
    EXPECT_EQ(grid.Dir(i)[1], raw[i][1] / len) << i;
  }
  // In three dimensions the lowest free component is the most significant
  // digit: direction 1 is (-1, -1, 1) / sqrt(3).
  const DirectionGrid cube = BuildCubeGrid(3, 2);
  ASSERT_EQ(cube.Count, 24);
  const double c = 1 / std::sqrt(3.0);
  for (int j = 0; j < 3; ++j)
    EXPECT_NEAR(cube.Dir(1)[j], j < 2 ? -c : c, 1e-16);
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
      {"1", true, 2, {}, kRefused},
      {"0", false, 1, {}, kRefused},
      {"-3", true, 3, {}, kRefused},
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
