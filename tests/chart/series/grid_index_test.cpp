// The grid index of grid series: regular and irregular grids, generated
// values, and grids that cannot be built.
#include <cmath>
#include <stdexcept>

#include "surface_support.h"

using namespace surface_test;

namespace {

class GridIndex : public WithChartUnits {};

TSurfaceSeries &Add(TSurfaceSeries &s, std::initializer_list<std::array<double, 3>> points) {
  for (auto [x, y, z] : points)
    s.AddPointXYZ(x, y, z);
  return s;
}

TEST_F(GridIndex, GeneratedGridFillsEveryPosition) {
  TSurfaceSeries s;
  s.OnGetYValue = [](TChartSeries *, int x, int z) { return x * 10.0 + z; };
  s.CreateValues(10, 10);
  ASSERT_EQ(s.PointCount(), 100);
  EXPECT_EQ(s.XValues()->Value(1), 2) << "X varies fastest";
  EXPECT_EQ(s.ZValues().Value(10), 2);
  s.FillGridIndex(0);
  EXPECT_EQ(s.NumXValues(), 10);
  EXPECT_EQ(s.NumZValues(), 10);
  for (int x = 1; x <= 10; ++x)
    for (int z = 1; z <= 10; ++z) {
      const int i = s.GridIndex(x, z);
      ASSERT_GE(i, 0);
      EXPECT_EQ(s.YValues()->Value(i), x * 10.0 + z);
    }
  for (int k = 0; k <= 10; ++k) {
    EXPECT_EQ(s.GridIndex(0, k), -1);
    EXPECT_EQ(s.GridIndex(k, 0), -1);
  }
}

TEST_F(GridIndex, RegularGridPositions) {
  const struct {
    const char *name;
    std::initializer_list<std::array<double, 3>> points;
    int numX, numZ;
    std::vector<std::array<int, 3>> expected; // column, row, point
  } cases[] = {
      {"offset start", {{5, 0, -1}, {6, 0, -1}, {7, 0, 0}}, 3, 2, {{1, 1, 0}, {2, 1, 1}, {3, 2, 2}, {3, 1, -1}}},
      {"halves round to even", {{1.5, 0, 1}, {2.5, 0, 1}, {3.5, 0, 1}}, 3, 1, {{1, 1, 1}, {2, 1, -1}, {3, 1, 2}}},
      {"near values round apart", {{1.4, 0, 1}, {1.6, 0, 1}}, 2, 1, {{1, 1, 0}, {2, 1, 1}}},
      {"the later point wins", {{1, 0, 1}, {1, 5, 1}}, 1, 1, {{1, 1, 1}}},
  };
  for (const auto &c : cases) {
    TSurfaceSeries s;
    Add(s, c.points);
    s.FillGridIndex(0);
    EXPECT_EQ(s.NumXValues(), c.numX) << c.name;
    EXPECT_EQ(s.NumZValues(), c.numZ) << c.name;
    for (auto [col, row, point] : c.expected)
      EXPECT_EQ(s.GridIndex(col, row), point) << c.name << " " << col << row;
  }
}

TEST_F(GridIndex, IrregularGridOrdersDistinctValues) {
  TSurfaceSeries s;
  s.SetIrregularGrid(true);
  Add(s, {{3, 0, 0.5}, {1, 0, 0.5}, {2, 0, 0.25}, {1.4, 0, 0.25}});
  s.FillGridIndex(0);
  EXPECT_EQ(s.NumXValues(), 4);
  EXPECT_EQ(s.NumZValues(), 2);
  EXPECT_EQ(s.GridIndex(1, 2), 1); // X 1, Z 0.5
  EXPECT_EQ(s.GridIndex(2, 1), 3); // X 1.4, Z 0.25
  EXPECT_EQ(s.GridIndex(3, 1), 2);
  EXPECT_EQ(s.GridIndex(4, 2), 0);
  EXPECT_EQ(s.GridIndex(4, 1), -1);
}

TEST_F(GridIndex, AbsurdAndBrokenGridsDrawNothing) {
  TTestChart chart;
  auto &s = *chart->AddSeries(std::make_unique<TSurfaceSeries>());
  Add(s, {{1, 0, 1}, {2, 0, 1}, {1, 0, 2}, {1e9, 0, 2}});
  s.FillGridIndex(0);
  EXPECT_EQ(s.GridColumns(), 0) << "a stray value does not allocate a huge grid";
  EXPECT_FALSE(s.GetCellIndexes(1, 1));
  chart.Paint();
  s.ClearPoints();
  Add(s, {{std::nan(""), 0, 1}, {1, 0, 1}});
  s.FillGridIndex(0);
  EXPECT_EQ(s.NumXValues(), 0) << "a NaN end makes no grid";
  s.SetIrregularGrid(true);
  s.FillGridIndex(0);
  EXPECT_EQ(s.GridIndex(1, 1), 1) << "an irregular grid leaves the NaN point out";
  EXPECT_EQ(s.GridIndex(-5, 1), -1);
  EXPECT_EQ(s.GridIndex(1, 1 << 30), -1);
  chart.Paint();
}

TEST_F(GridIndex, CellIndexesFollowTheSteps) {
  TSurfaceSeries s;
  s.OnGetYValue = [](TChartSeries *, int, int) { return 0.0; };
  s.CreateValues(3, 3);
  s.FillGridIndex(0);
  s.SetCellSteps(1, 1);
  ASSERT_TRUE(s.GetCellIndexes(1, 1));
  EXPECT_EQ((std::array{s.CornerIndex(0), s.CornerIndex(1), s.CornerIndex(2), s.CornerIndex(3)}),
            (std::array{0, 1, 4, 3}));
  EXPECT_FALSE(s.GetCellIndexes(3, 1)) << "a corner beyond the grid";
  s.SetCellSteps(-1, -1);
  ASSERT_TRUE(s.GetCellIndexes(2, 2));
  EXPECT_EQ((std::array{s.CornerIndex(0), s.CornerIndex(1), s.CornerIndex(2), s.CornerIndex(3)}),
            (std::array{4, 3, 0, 1}));
  EXPECT_FALSE(s.GetCellIndexes(1, 1)) << "column 0 holds no point";
}

TEST_F(GridIndex, OnlyGridSeriesFeedAGrid) {
  TSurfaceSeries a, b;
  TCustom3DSeries other;
  EXPECT_TRUE(a.IsValidSourceOf(&b));
  EXPECT_FALSE(a.IsValidSourceOf(&other));
}

TEST_F(GridIndex, CountSettersClearAndRegenerate) {
  TSurfaceSeries s;
  s.AddPointXYZ(1, 1, 1);
  s.SetNumXValues(4);
  EXPECT_EQ(s.PointCount(), 0) << "no source of values: cleared, none made";
  s.OnGetYValue = [](TChartSeries *, int, int) { return 1.0; };
  s.SetNumZValues(3);
  EXPECT_EQ(s.PointCount(), 12);
  s.FillSampleValues(5);
  EXPECT_EQ(s.PointCount(), 25);
  EXPECT_FALSE(s.SampleMode());
  s.OnGetYValue = [](TChartSeries *, int x, int) -> double {
    if (x == 3) throw std::runtime_error("stop");
    return 0;
  };
  EXPECT_THROW(s.CreateValues(5, 5), std::runtime_error);
  EXPECT_EQ(ValueListGrowStep, 1000) << "the growth step is restored after a fault";
}

} // namespace
