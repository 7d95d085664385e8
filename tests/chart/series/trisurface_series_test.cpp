// The triangulated surface series in a chart: kept triangles, drawing
// far to near, the triangle hit test, degenerate points and
// its stored form.
#include "contour_support.h"

#include "chart/series/UloTriSurface.h"

namespace {

class TriSurface : public contour_test::WithGridSeries {
protected:
  static void SetUpTestSuite() {
    WithGridSeries::SetUpTestSuite();
    StartTriSurfaceUnit();
  }
  static void TearDownTestSuite() {
    StopTriSurfaceUnit();
    WithGridSeries::TearDownTestSuite();
  }
  void SetUp() override {
    WithGridSeries::SetUp();
    chart->SetView3D(true);
    series = chart->AddSeries(std::make_unique<TTriSurfaceSeries>());
    series->SetName("Series1");
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

  TTriSurfaceSeries *series = nullptr;
};

TEST_F(TriSurface, TooFewOrCollinearPointsDrawNothingAndStayActive) {
  for (int count : {1, 2, 5}) { // one, two, and five on one line
    series->ClearPoints();
    for (int i = 0; i < count; ++i)
      series->AddPointXYZ(i, i, 2 * i);
    EXPECT_NO_THROW(Paint());
    EXPECT_EQ(series->NumTriangles(), 0);
    EXPECT_TRUE(series->Active());
    EXPECT_EQ(series->PointAtPixel(200, 150), -1);
    // A program that asks for the triangles itself is told.
    if (series->PointCount() >= 3) {
      EXPECT_THROW(series->CreateTriangles(), ETriSurfaceException);
    }
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

  // The cache switch trusts the triangles while the number of points
  // stays; Assign carries it.
  TTriSurfaceSeries copy;
  series->SetCacheTriangles(true);
  copy.Assign(*series);
  EXPECT_TRUE(copy.CacheTriangles());
  series->XValues()->SetValue(16, 8.5);
  Paint();
  EXPECT_EQ(series->Triangulations(), 3);
  series->AddPointXYZ(-1, 0, 9);
  Paint();
  EXPECT_EQ(series->Triangulations(), 4);
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
    EXPECT_EQ(At(x, y), series->PointColor(v[0])) << "triangle " << t;
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
  // Without hidden triangles, or hollow, the table order is used.
  series->SetHideTriangles(false);
  Paint();
  EXPECT_TRUE(series->DepthOrder().empty());
  series->SetHideTriangles(true);
  series->Brush().SetStyle(TBrushStyle::bsClear);
  Paint();
  EXPECT_TRUE(series->DepthOrder().empty());
}

TEST_F(TriSurface, SettingsAndPointsAreStored) {
  Grid();
  series->StoreDataAlways = true;
  series->Border().SetVisible(true);
  series->SetHideTriangles(false);
  series->SetTransparency(140); // held to 100
  series->SetFastBrush(true);
  auto back =
      StoredAndBack({"Border.Visible = true", "FastBrush = true", "HideTriangles = false", "Transparency = 100"});
  ASSERT_TRUE(back);
  EXPECT_EQ(back->GetSeries(0)->PointCount(), 16);
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
  TColor opaque = At(x, y);
  series->SetTransparency(50);
  Paint();
  TColor half = At(x, y);
  EXPECT_NE(half, opaque);
  for (int shift : {0, 8, 16}) {
    int o = (opaque >> shift) & 0xFF, h = (half >> shift) & 0xFF;
    EXPECT_NEAR(h, (o + 255) / 2, 2) << "channel at bit " << shift;
  }
}

} // namespace
