// Cells cut into palette bands: the pieces alone, then the series drawing
// straight bands of a plane, a flat grid, flat planes and plain cells.
#include "contour_support.h"

#include <cmath>

namespace {

using contour_test::WithGridSeries;

double Area(std::span<const TIsoVertex> p) {
  double a = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    const TIsoVertex &u = p[i], &v = p[(i + 1) % p.size()];
    a += u.X * v.Y - v.X * u.Y;
  }
  return std::fabs(a) / 2;
}

TUloPalette Palette(std::initializer_list<std::pair<double, TColor>> entries) {
  TUloPalette p;
  for (auto [v, c] : entries)
    p.push_back(TUloPaletteEntry{v, c});
  return p;
}

// A unit square with the given values at its corners, counter-clockwise.
std::vector<TIsoVertex> Square(double a, double b, double c, double d) {
  return {{0, 0, 0, a}, {1, 0, 0, b}, {1, 1, 0, c}, {0, 1, 0, d}};
}

struct BandCase {
  const char *name;
  std::vector<TIsoVertex> cell;
  std::vector<int> bands;
};

TEST(IsoBands, TheBandsOfACellCoverItExactly) {
  const TUloPalette palette = Palette({{1, clRed}, {2, clLime}, {3, clBlue}, {4, clYellow}});
  const std::vector<BandCase> cases{
      {"inside one band", Square(1.2, 1.5, 1.9, 1.1), {1}}, {"three bands", Square(0.5, 2.5, 2.5, 0.5), {0, 1, 2}},
      {"corner on a limit", Square(1, 1.5, 1.5, 1), {1}},   {"below the first limit", Square(-5, -4, -3, -4), {0}},
      {"above the last limit", Square(7, 8, 9, 7), {3}},    {"flat at the top limit", Square(4, 4, 4, 4), {3}},
      {"across all", Square(0, 5, 5, 0), {0, 1, 2, 3}},
  };
  for (const auto &c : cases) {
    std::vector<int> seen;
    double area = 0;
    std::vector<TIsoVertex> scratch;
    UloForEachBand(c.cell, palette, scratch, [&](int band, std::span<const TIsoVertex> polygon) {
      seen.push_back(band);
      area += Area(polygon);
      for (const TIsoVertex &v : polygon) {
        const double low = band == 0 ? -INFINITY : palette[band - 1].UpToValue;
        const double high = band + 1 == static_cast<int>(palette.size()) ? INFINITY : palette[band].UpToValue;
        EXPECT_GE(v.Value, low - 1e-12) << c.name;
        EXPECT_LE(v.Value, high + 1e-12) << c.name;
      }
    });
    EXPECT_EQ(seen, c.bands) << c.name;
    EXPECT_NEAR(area, 1.0, 1e-12) << c.name << ": the pieces make the whole cell";
  }
}

class IsoSurface : public WithGridSeries {
protected:
  void SetUp() override {
    WithGridSeries::SetUp();
    series = chart->AddSeries(std::make_unique<TIsoSurfaceSeries>());
    series->SetName("Series1");
  }
  TPoint Pixel(double x, double z) {
    return TPoint{series->GetHorizAxis()->CalcXPosValue(x), series->GetVertAxis()->CalcYPosValue(z)};
  }
  TIsoSurfaceSeries *series = nullptr;
};

TEST_F(IsoSurface, APlaneGivesStraightBandsAndOwnColoursPlainCells) {
  Grid(*series, 5, [](int x, int) { return x; });
  series->SetPaletteStyle(TUloPaletteStyle::psCustom);
  series->SetPalette(Palette({{2, clRed}, {3, clLime}, {4, clBlue}, {5, clYellow}}));
  Paint();
  const TColor bands[] = {clRed, clLime, clBlue, clYellow};
  for (double z : {1.5, 3.0, 4.5})
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(At(Pixel(1.5 + i, z).X, Pixel(1.5 + i, z).Y), bands[i]) << z << " " << i;
  // Every cell's colour corner holds a colour of its own now.
  for (int i = 0; i < series->PointCount(); ++i)
    series->SetValueColor(i, clFuchsia);
  Paint();
  EXPECT_EQ(At(Pixel(2.5, 1.5).X, Pixel(2.5, 1.5).Y), clFuchsia);
}

TEST_F(IsoSurface, AFlatGridDrawsOneBand) {
  Grid(*series, 4, [](int, int) { return 7.0; });
  Paint();
  ASSERT_FALSE(series->Palette().empty());
  const TColor expected = series->Palette().back().Color;
  for (double x : {1.5, 2.5, 3.5})
    EXPECT_EQ(At(Pixel(x, 2.5).X, Pixel(x, 2.5).Y), expected) << x;
}

TEST_F(IsoSurface, AFlatPlaneIgnoresTheHeights) {
  chart->SetView3D(true);
  series->SetUseYPosition(true);
  series->SetYPosition(0.5);
  series->SetPaletteStyle(TUloPaletteStyle::psCustom);
  series->SetPalette(Palette({{100, clTeal}}));
  chart->LeftAxis()->SetMinMax(0, 10);
  Grid(*series, 4, [](int x, int z) { return (x + z) % 3; });
  Paint();
  gdi::Bitmap first = chart->WindowSurface().Clone();
  series->ClearPoints();
  Grid(*series, 4, [](int x, int z) { return (x * z) % 5; });
  Paint();
  int differ = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x)
      differ += first.Pixel(x, y) != At(x, y);
  EXPECT_EQ(differ, 0);
}

// Records the colour of every 3D polygon it fills.
class TPolygonColours : public TUloCanvas3D {
public:
  std::vector<TColor> colours;
  void Polygon3DPoints(std::span<const TPoint3D> points) override {
    colours.push_back(Brush().Style() == TBrushStyle::bsClear ? clNone : Brush().Color());
    TUloCanvas3D::Polygon3DPoints(points);
  }
};

TEST_F(IsoSurface, SideWallsAreCutIntoBands) {
  auto canvas = std::make_unique<TPolygonColours>();
  TPolygonColours *rec = canvas.get();
  chart->ReplaceCanvas(std::move(canvas));
  chart->SetView3D(true);
  Grid(*series, 3, [](int x, int) { return x; });
  series->SetPaletteStyle(TUloPaletteStyle::psCustom);
  series->SetPalette(Palette({{1.5, clRed}, {2.5, clLime}, {9, clBlue}}));
  series->SideBrush().SetStyle(TBrushStyle::bsSolid);
  Paint();
  // The wall from the point at X 3 (value 3) to the one at X 2 (value 2),
  // down to the value 1: three bands, the top one blue.
  const int bottom = series->GetVertAxis()->CalcYPosValue(1);
  const int a = series->GridIndex(3, 1), b = series->GridIndex(2, 1);
  rec->colours.clear();
  series->DrawSideWall(a, b, bottom, series->CalcZPos(a), series->CalcZPos(b));
  std::erase(rec->colours, clNone); // the outline around them
  EXPECT_EQ(rec->colours, (std::vector<TColor>{clRed, clLime, clBlue}));
  series->Sides().SetLevels(false);
  rec->colours.clear();
  series->DrawSideWall(a, b, bottom, series->CalcZPos(a), series->CalcZPos(b));
  EXPECT_EQ(rec->colours.size(), 1u) << "one plain wall";
}

TEST_F(IsoSurface, SettingsAreStored) {
  Grid(*series, 3, [](int x, int z) { return x + z; });
  series->StoreDataAlways = true;
  series->BandPen().SetColor(clRed);
  series->Sides().SetLevels(false);
  series->Sides().Pen().SetVisible(true);
  series->SetUseYPosition(true);
  series->SetYPosition(2.5);
  series->Pen().SetVisible(true); // stored against the hidden default
  auto back = StoredAndBack({"Pen.Visible = true", "BandPen.Color = clRed", "Sides.Levels = false",
                             "Sides.Pen.Visible = true", "UseYPosition = true", "YPosition = 2.5"});
  ASSERT_TRUE(back);
  EXPECT_EQ(back->GetSeries(0)->PointCount(), 9);
}

} // namespace
