// Grid series of every kind (towers of every style) over random and hostile
// points (NaN, infinities, huge and stray values, repeated positions):
// painting, clicks and single points end without faults.
#include <cmath>
#include <limits>
#include <random>

#include "surface_support.h"

using namespace surface_test;

namespace {

class GridRandom : public WithChartUnits {};

std::unique_ptr<TCustom3DGridSeries> MakeKind(int kind) {
  switch (kind) {
  case 0:
    return std::make_unique<TSurfaceSeries>();
  case 1:
    return std::make_unique<TWaterFallSeries>();
  case 2:
    return std::make_unique<TColorGridSeries>();
  default:
    return std::make_unique<TTowerSeries>();
  }
}

TEST_F(GridRandom, HostilePointsOfEveryKind) {
  std::mt19937 random(3);
  std::uniform_real_distribution<double> u(-1, 1);
  const double specials[] = {0, std::nan(""), std::numeric_limits<double>::infinity(), -1e300, 1e300, 2.5, 1e9};
  for (int k = 0; k < 80; ++k) {
    TTestChart chart;
    chart->SetView3D(k % 2 == 0);
    auto &s = *chart->AddSeries(MakeKind(k % 4));
    s.SetIrregularGrid(k % 3 == 0);
    auto pick = [&](double usual) { return random() % 9 == 0 ? specials[random() % std::size(specials)] : usual; };
    const int n = 1 + static_cast<int>(random() % 40);
    for (int i = 0; i < n; ++i)
      s.AddPointXYZ(pick(std::floor(u(random) * 5)), pick(u(random) * 10), pick(std::floor(u(random) * 5)));
    if (auto *tower = dynamic_cast<TTowerSeries *>(&s)) tower->SetTowerStyle(static_cast<TTowerStyle>(k / 4 % 8));
    if (auto *surface = dynamic_cast<TSurfaceSeries *>(&s)) {
      surface->SetHideCells(k % 5 == 0);
      surface->SideLines().SetVisible(k % 3 == 0);
      surface->SetTransparency(k % 7 == 0 ? 40 : 0);
    }
    chart.Paint();
    const int hit = s.PointAtPixel(200, 150);
    EXPECT_LT(hit, s.PointCount());
    EXPECT_GE(hit, -1);
    s.DrawPoint(0);
  }
}

} // namespace
