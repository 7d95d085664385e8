// The colour grid, the vector and the tower series, and the grid kinds
// stored and read back.
#include <cmath>

#include "platform/streaming/Streaming.h"
#include "surface_support.h"

using namespace surface_test;

namespace {

class SurfaceKinds : public WithChartUnits {};

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

// ---- colour grid ----------------------------------------------------------------------

TEST_F(SurfaceKinds, ColourGridCellsAtKnownPixels) {
  TTestChart chart;
  chart->SetView3D(false);
  auto &s = *chart->AddSeries(std::make_unique<TColorGridSeries>());
  s.SetSampleMode(true);
  s.CreateValues(8, 4);
  s.SetSampleMode(false);
  s.SetValueColor(0, kRed);    // X 1, Z 1
  s.SetValueColor(9, kGreen);  // X 2, Z 2
  s.SetValueColor(10, clNone); // X 3, Z 2: not painted
  s.Pen().SetVisible(false);
  chart.FixAxes(1, 9, 1, 5, 1, 5);
  chart->Walls().Back().SetVisible(false);
  chart.Paint();
  auto centre = [&](double x, double z) {
    return chart.At(chart->BottomAxis()->CalcXPosValue(x + 0.5), chart->LeftAxis()->CalcYPosValue(z + 0.5));
  };
  EXPECT_EQ(centre(1, 1), kRed);
  EXPECT_EQ(centre(2, 2), kGreen);
  const TColor background = chart.At(2, 2);
  EXPECT_EQ(centre(3, 2), background) << "the missing cell shows what is behind";
}

TEST_F(SurfaceKinds, ColourGridExtentsAndClearBrush) {
  TColorGridSeries s;
  for (int z = 1; z <= 2; ++z)
    for (int x = 1; x <= 3; ++x)
      s.AddPointXYZ(x, 0, z);
  EXPECT_EQ(s.MinX(), 1);
  EXPECT_EQ(s.MaxX(), 4);
  EXPECT_EQ(s.MaxY(), 3);
  s.SetCenteredPoints(true);
  EXPECT_EQ(s.MinX(), 0.5);
  EXPECT_EQ(s.MaxX(), 3.5);
  s.SetIrregularGrid(true);
  EXPECT_EQ(s.MaxX(), 2.5);
  s.SetCenteredPoints(false);
  EXPECT_EQ(s.MaxX(), 3);

  TTestChart chart;
  chart->SetView3D(false);
  auto &g = *chart->AddSeries(std::make_unique<TColorGridSeries>());
  for (int z = 1; z <= 2; ++z)
    for (int x = 1; x <= 3; ++x)
      g.AddPointXYZLabelColor(x, 0, z, "", kRed);
  g.Brush().SetStyle(TBrushStyle::bsClear);
  g.Pen().SetColor(kBlue);
  chart.FixAxes(1, 4, 1, 3, 1, 3);
  chart.Paint();
  const int x = chart->BottomAxis()->CalcXPosValue(1.5), y = chart->LeftAxis()->CalcYPosValue(1.5);
  EXPECT_NE(chart.At(x, y), kRed) << "no cell is painted";
  EXPECT_EQ(chart.At(chart->BottomAxis()->CalcXPosValue(2), y), kBlue) << "grid lines still are";
}

// ---- vectors ----------------------------------------------------------------------------

TEST_F(SurfaceKinds, VectorExtentsSpanBothEnds) {
  TVector3DSeries s;
  s.AddVector(0, 0, 0, 5, -2, 7);
  s.AddVector(1, 3, -1, 2, 2, 2);
  EXPECT_EQ(s.MaxX(), 5);
  EXPECT_EQ(s.MinY(), -2);
  EXPECT_EQ(s.MaxY(), 3);
  EXPECT_EQ(s.MinZ(), -1);
  EXPECT_EQ(s.MaxZ(), 7);
}

TEST_F(SurfaceKinds, ArrowHeadsOpenTowardsTheStart) {
  TTestChart chart;
  chart->SetView3D(false);
  auto &s = *chart->AddSeries(std::make_unique<TVector3DSeries>());
  s.SetArrowWidth(8);
  s.SetArrowHeight(6);
  s.AddVector(1, 5, 1, 9, 5, 1, "", kRed);
  chart.FixAxes(0, 10, 0, 10, 0, 10);
  chart.Paint();
  const int ex = chart->BottomAxis()->CalcXPosValue(9), ey = chart->LeftAxis()->CalcYPosValue(5);
  // Angle 0: strokes from (E.x - 8, E.y - 6) and (E.x - 8, E.y + 6) to E.
  EXPECT_EQ(chart.At(ex - 4, ey - 3), kRed);
  EXPECT_EQ(chart.At(ex - 4, ey + 3), kRed);
  EXPECT_NE(chart.At(ex + 4, ey - 3), kRed);
  const int sx = chart->BottomAxis()->CalcXPosValue(1);
  EXPECT_NE(chart.At(sx - 4, ey - 3), kRed) << "no start head by default";
}

// ---- towers ------------------------------------------------------------------------------

TEST_F(SurfaceKinds, TowerBounds) {
  TTestChart chart;
  chart->SetView3D(false);
  auto &s = *chart->AddSeries(std::make_unique<TTowerSeries>());
  s.AddPointXYZ(1, 4, 1);
  s.AddPointXYZ(2, 8, 1);
  s.AddPointXYZ(3, -2, 1);
  chart.FixAxes(0, 4, -5, 10, 0, 2);
  chart.Paint();
  TRect a, b, c;
  int f, k;
  s.CalcTowerBounds(0, a, f, k);
  s.CalcTowerBounds(1, b, f, k);
  EXPECT_EQ(a.Right, b.Left) << "100 percent: neighbours touch";
  EXPECT_EQ(a.Bottom, chart->LeftAxis()->CalcYPosValue(-2)) << "from the Y minimum";
  s.SetPercentWidth(50);
  chart.Paint();
  s.CalcTowerBounds(1, b, f, k);
  EXPECT_EQ(b.Left, chart->BottomAxis()->CalcXPosValue(1.75));
  s.SetUseOrigin(true);
  s.SetOrigin(1);
  chart.Paint();
  s.CalcTowerBounds(2, c, f, k);
  EXPECT_EQ(c.Top, chart->LeftAxis()->CalcYPosValue(1)) << "below the origin it grows down";
  EXPECT_EQ(c.Bottom, chart->LeftAxis()->CalcYPosValue(-2));
  const int hit = s.PointAtPixel((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
  EXPECT_EQ(hit, 1);
  EXPECT_EQ(s.PointAtPixel(1, 1), -1);
}

// ---- stored and read back -----------------------------------------------------------------

TEST_F(SurfaceKinds, StoredAndReadBack) {
  TTestChart chart;
  auto &surface = *chart->AddSeries(std::make_unique<TSurfaceSeries>());
  surface.SetName("Surface1");
  surface.FillSampleValues(3);
  surface.StoreDataAlways = true;
  surface.SetWireFrame(true);
  surface.SetHideCells(true);
  surface.SetTransparency(30);
  surface.SideBrush().SetStyle(TBrushStyle::bsSolid);
  auto &grid = *chart->AddSeries(std::make_unique<TColorGridSeries>());
  grid.SetName("Grid1");
  grid.SetCenteredPoints(true);
  grid.SetDrawPlane3D(TCanvas3DPlane::cpY);
  grid.SetXGridEvery(2);
  auto &tower = *chart->AddSeries(std::make_unique<TTowerSeries>());
  tower.SetName("Tower1");
  tower.SetTowerStyle(TTowerStyle::tsCone);
  tower.SetPercentWidth(40);
  auto &vector = *chart->AddSeries(std::make_unique<TVector3DSeries>());
  vector.SetName("Vector1");
  vector.AddVector(1, 2, 3, 4, 5, 6);
  vector.StoreDataAlways = true;
  vector.SetArrowWidth(9);
  auto &fall = *chart->AddSeries(std::make_unique<TWaterFallSeries>());
  fall.SetName("Fall1");
  fall.WaterLines().SetColor(kGreen);

  const std::string text = streaming::WriteComponent(*chart.chart);
  auto read = streaming::ReadComponent(text);
  auto *back = dynamic_cast<TChart *>(read.get());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(streaming::WriteComponent(*back), text);
  // The text written back equals the text read; each kind comes back as
  // itself with its points.
  ASSERT_EQ(back->SeriesCount(), 5);
  EXPECT_EQ(back->GetSeries(0)->PointCount(), 9);
  auto *v = dynamic_cast<TVector3DSeries *>(back->GetSeries(3));
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->EndZValues().Value(0), 6);
  auto *w = dynamic_cast<TWaterFallSeries *>(back->GetSeries(4));
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->WaterFall());
}

TEST_F(SurfaceKinds, DefaultsWriteNothingAndWhiteSidesSurvive) {
  // Each key is stored against what the series is made with: a default
  // series writes none, and a white side brush (not the made clDefault)
  // is written and read back.
  TTestChart chart;
  chart->AddSeries(std::make_unique<TSurfaceSeries>())->SetName("S1");
  chart->AddSeries(std::make_unique<TVector3DSeries>())->SetName("S2");
  chart->AddSeries(std::make_unique<TTowerSeries>())->SetName("S3");
  const std::string text = streaming::WriteComponent(*chart.chart);
  for (const char *name : {"S1 {\n  }", "S2 {\n  }", "S3 {\n  }"})
    EXPECT_NE(text.find(name), std::string::npos) << name << " in\n" << text;
  dynamic_cast<TSurfaceSeries *>(chart->GetSeries(0))->SideBrush().SetColor(clWhite);
  auto read = streaming::ReadComponent(streaming::WriteComponent(*chart.chart));
  auto *back = dynamic_cast<TChart *>(read.get());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(dynamic_cast<TSurfaceSeries *>(back->GetSeries(0))->SideBrush().Color(), clWhite);
}

} // namespace
