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

struct DirCase {
  int index;
  std::vector<double> coords;
};

void ExpectDirs(const DirectionGrid &grid, const std::vector<DirCase> &cases) {
  for (const DirCase &c : cases) {
    SCOPED_TRACE(c.index);
    for (size_t j = 0; j < c.coords.size(); ++j)
      EXPECT_EQ(grid.Dir(c.index)[j], c.coords[j]) << "component " << j;
  }
}

TEST(DirectionGrid, PolarCarriesTheParsersRounding) {
  const DirectionGrid grid = BuildPolarGrid(4);
  ASSERT_EQ(grid.Count, 4);
  ASSERT_EQ(grid.Dim, 2);
  ExpectDirs(grid, {{0, {1, 0}},
                    {1, {6.123233995736766e-17, 1}},
                    {2, {-1, 1.2246467991473532e-16}},
                    {3, {-1.8369701987210297e-16, -1}}});
  const DirectionGrid ten = BuildPolarGrid(10);
  ExpectDirs(ten, {{5, {-1, 1.2246467991473532e-16}}});
}

TEST(DirectionGrid, SphericalLatitudesAndLongitudes) {
  const double r = 1 / std::sqrt(2.0);
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
  // Four nodes: -pi/2, -pi/4, pi/4, pi/2.
  const DirectionGrid four = BuildSphericalGrid(4);
  EXPECT_NEAR(four.Dir(4)[2], -r, 1e-15);
  EXPECT_NEAR(four.Dir(8)[2], r, 1e-15);
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
  const DirectionGrid cube = BuildCubeGrid(3, 2);
  ASSERT_EQ(cube.Count, 24);
  const double c = 1 / std::sqrt(3.0);
  for (int j = 0; j < 3; ++j) {
    EXPECT_NEAR(cube.Dir(0)[j], -c, 1e-16);
    EXPECT_NEAR(cube.Dir(7)[j], c, 1e-16);
  }
  // Most significant digit in the lowest free component.
  EXPECT_NEAR(cube.Dir(1)[1], -c, 1e-16);
  EXPECT_NEAR(cube.Dir(1)[2], c, 1e-16);
  const DirectionGrid line = BuildCubeGrid(1, 7);
  ASSERT_EQ(line.Count, 2);
  EXPECT_EQ(line.Dir(0)[0], -1);
  EXPECT_EQ(line.Dir(1)[0], 1);
}

TEST(DirectionGrid, ChoiceFollowsDimensionAndSetting) {
  struct Case {
    bool b1;
    int l;
    TGridKind kind;
    int count, dim;
  } cases[] = {
      {true, 2, TGridKind::gkPolar, 10, 2}, {true, 3, TGridKind::gkSpherical, 100, 3},
      {true, 1, TGridKind::gkCube, 2, 1},   {true, 4, TGridKind::gkCube, 8000, 4},
      {false, 2, TGridKind::gkCube, 40, 2}, {false, 3, TGridKind::gkCube, 600, 3},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.b1 << " L=" << c.l);
    const DirectionGrid grid = ChooseGrid("10", c.b1, c.l);
    EXPECT_EQ(grid.Kind, c.kind);
    EXPECT_EQ(grid.Count, c.count);
    EXPECT_EQ(grid.Dim, c.dim);
  }
}

TEST(DirectionGrid, ChoiceRefusals) {
  struct Case {
    const char *nod;
    bool b1;
    int l;
  } refused[] = {{"1", true, 2},    {"0", false, 1},  {"-3", true, 3},   {"10", true, 5},
                 {"10", false, 10}, {"142", true, 3}, {"5001", false, 2}};
  for (const Case &c : refused) {
    SCOPED_TRACE(testing::Message() << c.nod << " L=" << c.l);
    EXPECT_THROW(ChooseGrid(c.nod, c.b1, c.l), ESolverError);
  }
  EXPECT_EQ(ChooseGrid("5000", false, 2).Count, 20000);
  EXPECT_EQ(ChooseGrid("141", true, 3).Count, 19881);
  EXPECT_THROW(ChooseGrid("ten", true, 2), rtl::EConvertError);
  EXPECT_THROW(ChooseGrid("", true, 2), rtl::EConvertError);
}

// ---- Post-processing --------------------------------------------------------

struct Processed {
  std::vector<double> w, s, r;
  std::vector<int> candidate;
};

Processed Process(const DirectionGrid &grid, std::vector<double> w) {
  RadialTable table(grid);
  Processed p;
  p.w = std::move(w);
  p.s.assign(grid.Dim, 0);
  p.r.assign(grid.Count, 0);
  PostProcessSection(table, p.w.data(), p.s.data(), p.r.data(), p.candidate, TFillFrom::None, nullptr);
  return p;
}

// The support function of the disc of radius R about c.
std::vector<double> Disc(const DirectionGrid &grid, double cx, double cy, double radius) {
  std::vector<double> w(grid.Count);
  for (int i = 0; i < grid.Count; ++i)
    w[i] = cx * grid.Dir(i)[0] + cy * grid.Dir(i)[1] + radius;
  return w;
}

TEST(Sections, SteinerPointAndRadiusOfDiscs) {
  struct Case {
    int nodes;
    double cx, cy, radius;
  } cases[] = {{8, 0, 0, 2}, {36, 1.5, -0.5, 1}, {360, -3, 2, 0.25}, {7, 0.1, 0.2, 3}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.nodes);
    const DirectionGrid grid = BuildPolarGrid(c.nodes);
    const std::vector<double> w = Disc(grid, c.cx, c.cy, c.radius);
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
}

TEST(Sections, TiesKeepTheFirstDirection) {
  // Corner directions repeat on the cube grid (4, 5, 6, 7 are 0, 2, 1, 3):
  // equal quotients, and the first one is recorded for either.
  const DirectionGrid grid = BuildCubeGrid(2, 2);
  ASSERT_EQ(grid.Count, 8);
  const Processed p = Process(grid, std::vector<double>(8, 1.0));
  const int first[8] = {1, 2, 3, 4, 1, 3, 2, 4};
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(p.candidate[i], first[i]) << i;
}

TEST(Sections, OverflowIsRaised) {
  const DirectionGrid grid = BuildPolarGrid(6);
  std::vector<double> w(6, 1e308);
  w[0] = -1e308;
  RadialTable table(grid);
  std::vector<double> s(2), r(6);
  std::vector<int> candidate;
  EXPECT_THROW(PostProcessSection(table, w.data(), s.data(), r.data(), candidate, TFillFrom::None, nullptr),
               rtl::EMathError);
}

} // namespace

namespace {

// The radial function as plainly written: every facing pair divided, in
// order, the first of equal quotients kept.
void PlainRadial(const workbench::DirectionGrid &grid, const std::vector<double> &w, std::vector<double> &r,
                 std::vector<int> &candidate) {
  const int g = grid.Count;
  r.assign(g, 0);
  candidate.assign(g, 0);
  for (int i = 0; i < g; ++i) {
    double best = std::numeric_limits<double>::infinity();
    for (int j = 0; j < g; ++j) {
      const double d = workbench::DirDot(grid.Dir(i), grid.Dir(j), grid.Dim);
      if (d > 0 && w[j] / d < best) {
        best = w[j] / d;
        candidate[i] = j + 1;
      }
    }
    r[i] = best;
  }
}

TEST(Sections, RadialValuesEqualThePlainLoopToTheBit) {
  struct Case {
    const char *name;
    workbench::DirectionGrid grid;
    double scale;
  } cases[] = {
      {"polar", workbench::BuildPolarGrid(90), 1},           {"spherical", workbench::BuildSphericalGrid(9), 3},
      {"cube", workbench::BuildCubeGrid(3, 5), 0.01},        {"tiny values", workbench::BuildPolarGrid(16), 1e-310},
      {"huge values", workbench::BuildPolarGrid(16), 1e299},
  };
  unsigned seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<double>(seed >> 8) / (1u << 24);
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const workbench::RadialTable table(c.grid);
    // Random values, some negative, with repeated values to make ties.
    std::vector<double> w(c.grid.Count);
    for (double &v : w)
      v = (next() < 0.2 ? 1.0 : next() * 4 - 1) * c.scale;
    std::vector<double> r(c.grid.Count), expectedR;
    std::vector<int> candidate(c.grid.Count), expectedCandidate;
    table.Radial(w.data(), r.data(), candidate.data());
    PlainRadial(c.grid, w, expectedR, expectedCandidate);
    for (int i = 0; i < c.grid.Count; ++i) {
      EXPECT_EQ(std::signbit(r[i]), std::signbit(expectedR[i])) << i;
      EXPECT_EQ(r[i], expectedR[i]) << i;
      EXPECT_EQ(candidate[i], expectedCandidate[i]) << i;
    }
  }
}

} // namespace
