// The triangulated surface series in a chart: kept triangles, drawing
// far to near, the triangle hit test, sub-styles, degenerate points and
// its stored form.
#include <gtest/gtest.h>

#include <memory>

#include "chart/engine/Chart.h"
#include "chart/engine/UloAxis.h"
#include "chart/engine/UloEngineStartup.h"
#include "chart/engine/UloGallery.h"
#include "chart/foundation/TestPanel.h"
#include "chart/foundation/UloStartup.h"
#include "chart/series/UloTriSurface.h"

namespace {

class TriSurface : public foundation_test::WithApplication {
protected:
  static void SetUpTestSuite() {
    foundation_test::WithApplication::SetUpTestSuite();
    StartChartFoundation();
    StartChartEngine();
    StartChartUnit();
    StartTriSurfaceUnit();
  }
  static void TearDownTestSuite() {
    StopTriSurfaceUnit();
    StopChartUnit();
    StopChartEngine();
    StopChartFoundation();
  }

  void SetUp() override {
    chart = std::make_unique<TChart>();
    chart->SetName("Chart1");
    chart->SetBounds(0, 0, 400, 300);
    chart->WindowSurface().SetSize(400, 300);
    chart->Legend().SetVisible(false);
    chart->SetColor(clWhite);
    chart->SetBevelOuter(TBevelCut::bvNone);
    series = chart->AddSeries(std::make_unique<TTriSurfaceSeries>());
    series->SetName("Series1");
  }
  void TearDown() override {
    chart.reset();
    foundation_test::WithApplication::TearDown();
  }
  void Paint() {
    chart->Invalidate();
    chart->Paint();
  }
  // A 4 x 4 grid of points, Y rising with X + Z.
  void Grid() {
    for (int x = 0; x < 4; ++x)
      for (int z = 0; z < 4; ++z)
        series->AddPointXYZ(x, x + z, z);
  }
  TPoint Projected(int point) {
    return chart->Canvas().ProjectPoint(series->PointPixelX(point), series->PointPixelY(point),
                                        series->CalcZPos(point));
  }

  std::unique_ptr<TChart> chart;
  TTriSurfaceSeries *series = nullptr;
};

TEST_F(TriSurface, TheGalleryOffersItOnThe3DPage) {
  const TUloSeriesType *t = UloSeriesTypes().Find(UloClass<TTriSurfaceSeries>());
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->Description, "Triangle Surf.");
  EXPECT_EQ(t->Page, "3D");
  EXPECT_EQ(t->SampleSeriesCount, 1);
}

TEST_F(TriSurface, TooFewOrCollinearPointsDrawNothingAndStayActive) {
  for (auto fill :
       std::vector<std::function<void(TTriSurfaceSeries &)>>{[](TTriSurfaceSeries &s) { s.AddPointXYZ(0, 1, 0); },
                                                             [](TTriSurfaceSeries &s) {
                                                               s.AddPointXYZ(0, 1, 0);
                                                               s.AddPointXYZ(1, 2, 1);
                                                             },
                                                             [](TTriSurfaceSeries &s) {
                                                               for (int i = 0; i < 5; ++i)
                                                                 s.AddPointXYZ(i, i, 2 * i);
                                                             }}) {
    series->ClearPoints();
    fill(*series);
    EXPECT_NO_THROW(Paint());
    EXPECT_EQ(series->NumTriangles(), 0);
    EXPECT_TRUE(series->Active());
    EXPECT_EQ(series->PointAtPixel(200, 150), -1);
  }
}

TEST_F(TriSurface, TrianglesAreKeptUntilXOrZChange) {
  Grid();
  Paint();
  EXPECT_EQ(series->NumTriangles(), 18);
  EXPECT_EQ(series->Triangulations(), 1);
  for (int rotation : {10, 40, 300}) {
    chart->View3DOptions().SetOrthogonal(false);
    chart->View3DOptions().SetRotation(rotation);
    Paint();
  }
  series->YValues()->SetValue(3, 99); // a height only
  Paint();
  EXPECT_EQ(series->Triangulations(), 1);

  series->XValues()->SetValue(15, 3.5);
  Paint();
  EXPECT_EQ(series->Triangulations(), 2);
  series->AddPointXYZ(9, 0, 9);
  Paint();
  EXPECT_EQ(series->Triangulations(), 3);
  EXPECT_EQ(series->NumTriangles(), 2 * 17 - 2 - series->Triangulation().BorderEdgeCount());
}

TEST_F(TriSurface, TheHitTestGivesTriangleNumbersAndTheirColoursShow) {
  chart->SetView3D(false);
  Grid();
  Paint();
  ASSERT_EQ(series->NumTriangles(), 18);
  for (int t = 0; t < series->NumTriangles(); ++t) {
    const int32_t *v = series->Triangle(t);
    TPoint a = Projected(v[0]), b = Projected(v[1]), c = Projected(v[2]);
    const int x = (a.X + b.X + c.X) / 3, y = (a.Y + b.Y + c.Y) / 3;
    EXPECT_EQ(series->PointAtPixel(x, y), t + 1) << "triangle " << t;
    EXPECT_EQ(chart->WindowSurface().Pixel(x, y), series->PointColor(v[0])) << "triangle " << t;
  }
  EXPECT_EQ(series->PointAtPixel(2, 2), -1);
}

TEST_F(TriSurface, FartherTrianglesAreFilledFirst) {
  Grid();
  struct Case {
    const char *name;
    bool inverted;
    bool orthogonal;
    int rotation;
    bool deeperFirst;
  };
  for (const Case &c : std::vector<Case>{{"front", false, true, 345, true},
                                         {"inverted depth axis", true, true, 345, false},
                                         {"from behind", false, false, 180, false},
                                         {"from behind, inverted", true, false, 200, true},
                                         {"rotation 90 is not behind", false, false, 90, true}}) {
    chart->DepthAxis()->SetInverted(c.inverted);
    chart->View3DOptions().SetOrthogonal(c.orthogonal);
    chart->View3DOptions().SetRotation(c.rotation);
    Paint();
    std::vector<int> order = series->DepthOrder();
    ASSERT_EQ(order.size(), 18u) << c.name;
    auto key = [&](int number) {
      const int32_t *v = series->Triangle(number - 1);
      return std::max({series->ZValues().Value(v[0]), series->ZValues().Value(v[1]), series->ZValues().Value(v[2])});
    };
    for (size_t i = 1; i < order.size(); ++i) {
      if (c.deeperFirst)
        EXPECT_GE(key(order[i - 1]), key(order[i])) << c.name << " at " << i;
      else
        EXPECT_LE(key(order[i - 1]), key(order[i])) << c.name << " at " << i;
    }
  }
}

TEST_F(TriSurface, WithoutHiddenTrianglesTheTableOrderIsUsed) {
  Grid();
  series->SetHideTriangles(false);
  Paint();
  EXPECT_TRUE(series->DepthOrder().empty());
  series->SetHideTriangles(true);
  series->Brush().SetStyle(TBrushStyle::bsClear);
  Paint();
  EXPECT_TRUE(series->DepthOrder().empty()) << "a hollow surface needs no depth order";
}

TEST_F(TriSurface, SubStylesFollowThePaletteSeriesOnes) {
  std::vector<std::string> names;
  series->ListSubStyles([&](const std::string &n) { names.push_back(n); });
  ASSERT_GE(names.size(), 3u);
  const size_t base = names.size() - 3;
  EXPECT_EQ(names[base], "Wireframe");
  EXPECT_EQ(names[base + 1], "No Line");
  EXPECT_EQ(names[base + 2], "Border");
  series->ApplySubStyle(static_cast<int>(base));
  EXPECT_EQ(series->Brush().Style(), TBrushStyle::bsClear);
  series->ApplySubStyle(static_cast<int>(base + 1));
  EXPECT_FALSE(series->Pen().Visible());
  EXPECT_FALSE(series->Border().Visible());
  series->ApplySubStyle(static_cast<int>(base + 2));
  EXPECT_TRUE(series->Border().Visible());
}

TEST_F(TriSurface, SettingsAndPointsAreStored) {
  Grid();
  series->StoreDataAlways = true;
  series->Border().SetVisible(true);
  series->SetHideTriangles(false);
  series->SetTransparency(140);
  EXPECT_EQ(series->Transparency(), 100);
  series->SetFastBrush(true);
  std::string text = streaming::WriteComponent(*chart);
  auto read = streaming::ReadComponent(text);
  auto *back = dynamic_cast<TChart *>(read.get());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(streaming::WriteComponent(*back), text);
  auto *s = dynamic_cast<TTriSurfaceSeries *>(back->GetSeries(0));
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(s->Border().Visible());
  EXPECT_EQ(s->Border().Color(), clWhite);
  EXPECT_FALSE(s->HideTriangles());
  EXPECT_EQ(s->Transparency(), 100);
  EXPECT_TRUE(s->FastBrush());
  ASSERT_EQ(s->PointCount(), 16);
  EXPECT_EQ(s->ZValues().Value(5), series->ZValues().Value(5));
}

TEST_F(TriSurface, SampleValuesAreAtLeastThreePointsOverTheUnitSquare) {
  series->FillSampleValues(1);
  ASSERT_EQ(series->PointCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_GE(series->XValueAt(i), 0);
    EXPECT_LT(series->XValueAt(i), 1);
    EXPECT_GE(series->ZValues().Value(i), 0);
    EXPECT_LT(series->ZValues().Value(i), 1);
  }
}

TEST_F(TriSurface, TransparentTrianglesLetTheBackgroundThrough) {
  chart->SetView3D(false);
  Grid();
  Paint();
  // The darkest triangle (the lowest points are white).
  int darkest = 0;
  for (int t = 1; t < series->NumTriangles(); ++t)
    if (series->YValueAt(series->Triangle(t)[0]) > series->YValueAt(series->Triangle(darkest)[0])) darkest = t;
  const int32_t *v = series->Triangle(darkest);
  TPoint a = Projected(v[0]), b = Projected(v[1]), c = Projected(v[2]);
  const int x = (a.X + b.X + c.X) / 3, y = (a.Y + b.Y + c.Y) / 3;
  TColor opaque = chart->WindowSurface().Pixel(x, y);
  series->SetTransparency(50);
  Paint();
  TColor half = chart->WindowSurface().Pixel(x, y);
  EXPECT_NE(half, opaque);
  for (int shift : {0, 8, 16}) {
    int o = (opaque >> shift) & 0xFF, h = (half >> shift) & 0xFF;
    EXPECT_NEAR(h, (o + 255) / 2, 2) << "channel at bit " << shift;
  }
}

} // namespace
