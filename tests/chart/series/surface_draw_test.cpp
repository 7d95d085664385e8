// Surface and water-fall drawing: cells at known pixels, their colours and
// order, hidden cells, frames, strips and clicks.
#include <algorithm>
#include <set>

#include "surface_support.h"

using namespace surface_test;

namespace {

constexpr TColor kColours[9] = {0x000080, 0x008000, 0x800000, 0x008080, 0x800080,
                                0x808000, 0x0000FF, 0x00FF00, 0xFF0000};

class SurfaceDraw : public WithChartUnits {
protected:
  // A 3 x 3 surface whose Y is its Z, so that in 2D every cell is the
  // rectangle of its columns and rows; point i has colour kColours[i].
  TNotingSurface &Grid3x3(TTestChart &chart) {
    auto &s = *chart->AddSeries(std::make_unique<TNotingSurface>());
    for (int z = 1; z <= 3; ++z)
      for (int x = 1; x <= 3; ++x)
        s.AddPointXYZLabelColor(x, z, z, "", kColours[(z - 1) * 3 + (x - 1)]);
    s.Pen().SetVisible(false);
    chart.FixAxes(1, 3, 1, 3, 1, 3);
    return s;
  }
  TPoint CellCentre(TTestChart &chart, double x, double z) {
    return {chart->BottomAxis()->CalcXPosValue(x + 0.5), chart->LeftAxis()->CalcYPosValue(z + 0.5)};
  }
};

TEST_F(SurfaceDraw, CellsTakeTheColourOfTheirLowerColumnHigherRowCorner) {
  for (int rotation : {0, 90, 180, 270}) {
    TTestChart chart;
    chart->SetView3D(false);
    chart->View3DOptions().SetRotation(rotation);
    TNotingSurface &s = Grid3x3(chart);
    chart.Paint();
    EXPECT_EQ(s.Cells.size(), 4u) << rotation;
    for (int x = 1; x <= 2; ++x)
      for (int z = 1; z <= 2; ++z) {
        const TPoint c = CellCentre(chart, x, z);
        EXPECT_EQ(chart.At(c.X, c.Y), kColours[z * 3 + (x - 1)]) << rotation << " cell " << x << "," << z;
      }
  }
}

TEST_F(SurfaceDraw, MissingColourRemovesItsCells) {
  TTestChart chart;
  chart->SetView3D(false);
  TNotingSurface &s = Grid3x3(chart);
  s.SetValueColor(6, clNone); // X 1, Z 3: the colour corner of cell (1..2, 2..3)
  chart.Paint();
  const TPoint gone = CellCentre(chart, 1, 2);
  EXPECT_EQ(chart.At(gone.X, gone.Y), clWhite);
  const TPoint kept = CellCentre(chart, 2, 2);
  EXPECT_EQ(chart.At(kept.X, kept.Y), kColours[7]);
}

TEST_F(SurfaceDraw, RowsFarToNearInEveryRotation) {
  for (int rotation : {0, 45, 135, 180, 225, 315, 345}) {
    TTestChart chart;
    chart->SetView3D(true);
    chart->View3DOptions().SetOrthogonal(false);
    chart->View3DOptions().SetRotation(rotation);
    auto &s = *chart->AddSeries(std::make_unique<TNotingSurface>());
    s.FillSampleValues(5);
    chart.Paint();
    ASSERT_EQ(s.Cells.size(), 16u) << rotation;
    // Seen from the front (rotation below 91 or from 270), the back row
    // (the largest Z, deepest) comes first; seen from behind, the front.
    const bool fromFront = rotation < 91 || rotation >= 270;
    for (size_t i = 1; i < s.Cells.size(); ++i)
      if (s.Cells[i].first == s.Cells[i - 1].first) {
        EXPECT_EQ(s.Cells[i].second - s.Cells[i - 1].second, fromFront ? -1 : 1) << rotation;
      }
    std::set<std::pair<int, int>> distinct(s.Cells.begin(), s.Cells.end());
    EXPECT_EQ(distinct.size(), 16u) << "every cell once, rotation " << rotation;
    const int firstRow = s.Cells.front().second;
    EXPECT_EQ(firstRow, fromFront ? 5 : 1) << rotation;
    EXPECT_EQ(s.CellStepZ(), fromFront ? -1 : 1) << rotation;
  }
}

TEST_F(SurfaceDraw, WalkCountsAndDegenerateGrids) {
  const struct {
    const char *name;
    int numX, numZ;
    bool alternate;
    size_t cells;
  } cases[] = {
      {"10 x 10 sample", 10, 10, false, 81},      {"one column", 1, 5, false, 0},
      {"one column, alternate", 1, 5, true, 0},   {"odd columns, alternate", 5, 3, true, 8},
      {"even columns, alternate", 4, 2, true, 3},
  };
  for (const auto &c : cases) {
    TTestChart chart;
    chart->SetView3D(true);
    if (c.alternate) {
      chart->View3DOptions().SetOrthogonal(false);
      chart->View3DOptions().SetPerspective(50);
      chart->View3DOptions().SetRotation(0);
    }
    auto &s = *chart->AddSeries(std::make_unique<TNotingSurface>());
    s.OnGetYValue = [](TChartSeries *, int x, int z) { return x * z; };
    s.CreateValues(c.numX, c.numZ);
    chart.Paint();
    EXPECT_EQ(s.Cells.size(), c.cells) << c.name;
    std::set<std::pair<int, int>> distinct(s.Cells.begin(), s.Cells.end());
    EXPECT_EQ(distinct.size(), c.cells) << c.name;
    if (c.alternate && c.numX == 5) {
      // Columns from both ends inwards: 4, 1, 3, 2 or 1, 4, 2, 3.
      std::vector<int> cols;
      for (auto [x, z] : s.Cells)
        if (cols.empty() || cols.back() != x) cols.push_back(x);
      ASSERT_EQ(cols.size(), 4u);
      EXPECT_EQ(std::abs(cols[0] - cols[1]), 3) << "the two ends first";
      EXPECT_EQ(std::abs(cols[2] - cols[3]), 1) << "then the inner pair";
    }
  }
}

TEST_F(SurfaceDraw, HiddenCellsSortOnlyInFrontAndBackViews) {
  auto cellsAt = [](int rotation, bool hide) {
    TTestChart chart;
    chart->SetView3D(true);
    chart->View3DOptions().SetOrthogonal(false);
    chart->View3DOptions().SetRotation(rotation);
    auto &s = *chart->AddSeries(std::make_unique<TNotingSurface>());
    s.SetHideCells(hide);
    s.FillSampleValues(4);
    chart.Paint();
    return s.Cells;
  };
  EXPECT_EQ(cellsAt(90, true), cellsAt(90, false));
  const auto sorted = cellsAt(10, true);
  ASSERT_EQ(sorted.size(), 9u);
  for (size_t i = 1; i < sorted.size(); ++i)
    EXPECT_GE(sorted[i - 1].second, sorted[i].second) << "descending Z";
  const auto back = cellsAt(180, true);
  for (size_t i = 1; i < back.size(); ++i)
    EXPECT_LE(back[i - 1].second, back[i].second) << "ascending Z";
}

TEST_F(SurfaceDraw, WireDotAndTransparentCells) {
  // Wire frames and dot frames leave the cells unfilled (the dot frame puts
  // each corner in its own colour); a half-transparent cell mixes with white.
  for (int mode = 0; mode < 3; ++mode) {
    TTestChart chart;
    chart->SetView3D(false);
    TNotingSurface &s = Grid3x3(chart);
    if (mode == 0) s.SetWireFrame(true);
    if (mode == 1) {
      s.SetWireFrame(true);
      s.SetDotFrame(true);
      EXPECT_FALSE(s.WireFrame()) << "the frames exclude each other";
    }
    if (mode == 2) s.SetTransparency(50);
    chart.Paint();
    const TPoint inside = CellCentre(chart, 1, 1);
    const TColor got = chart.At(inside.X, inside.Y);
    if (mode < 2) {
      EXPECT_EQ(got, clWhite) << mode;
    } else {
      for (int shift : {0, 8, 16})
        EXPECT_NEAR((got >> shift) & 0xFF, (((kColours[3] >> shift) & 0xFF) + 0xFF) / 2, 2) << shift;
    }
    if (mode == 1) {
      const int x = chart->BottomAxis()->CalcXPosValue(2), y = chart->LeftAxis()->CalcYPosValue(2);
      EXPECT_EQ(chart.At(x, y), kColours[4]) << "the point at X 2, Z 2 in its own colour";
    }
  }
}

TEST_F(SurfaceDraw, FrontSideWallHangsDownToTheLowestY) {
  TTestChart chart;
  chart->SetView3D(false);
  auto &s = *chart->AddSeries(std::make_unique<TNotingSurface>());
  for (int z = 1; z <= 3; ++z)
    for (int x = 1; x <= 3; ++x)
      s.AddPointXYZLabelColor(x, 4 - z, z, "", kColours[0]);
  s.SideBrush().SetStyle(TBrushStyle::bsSolid);
  s.SideBrush().SetColor(kColours[7]);
  s.Pen().SetVisible(false);
  chart.FixAxes(1, 3, 0, 4, 1, 3);
  chart.Paint();
  const int x = chart->BottomAxis()->CalcXPosValue(1.5);
  EXPECT_EQ(chart.At(x, chart->LeftAxis()->CalcYPosValue(2)), kColours[7]) << "over the cells, in front";
  EXPECT_EQ(chart.At(x, chart->LeftAxis()->CalcYPosValue(0.5)), clWhite) << "not below the lowest Y";
}

TEST_F(SurfaceDraw, ClicksFindTheCellsFirstCorner) {
  TTestChart chart;
  chart->SetView3D(false);
  TNotingSurface &s = Grid3x3(chart);
  chart.Paint();
  const TPoint c = CellCentre(chart, 1, 1);
  const int hit = s.PointAtPixel(c.X, c.Y);
  const int x = s.CellStepX() > 0 ? 1 : 2, z = s.CellStepZ() > 0 ? 1 : 2;
  EXPECT_EQ(hit, s.GridIndex(x, z));
  EXPECT_EQ(s.PointAtPixel(0, 0), -1);
  TSurfaceSeries empty;
  EXPECT_EQ(empty.PointAtPixel(10, 10), -1);
}

TEST_F(SurfaceDraw, WaterFallStripsRunDownToTheAxis) {
  TTestChart chart;
  chart->SetView3D(false);
  auto &s = *chart->AddSeries(std::make_unique<TWaterFallSeries>());
  EXPECT_TRUE(s.WaterFall());
  for (int z = 1; z <= 2; ++z)
    for (int x = 1; x <= 3; ++x)
      s.AddPointXYZLabelColor(x, 2, z, "", 0x00C000);
  s.Pen().SetVisible(false);
  s.WaterLines().SetVisible(false);
  chart.FixAxes(1, 3, 0, 4, 1, 2);
  chart.Paint();
  const int x = chart->BottomAxis()->CalcXPosValue(1.5);
  EXPECT_EQ(chart.At(x, chart->LeftAxis()->CalcYPosValue(1)), 0x00C000) << "below the strip's top";
  EXPECT_EQ(chart.At(x, chart->LeftAxis()->CalcYPosValue(3)), clWhite) << "above it";
}

} // namespace
