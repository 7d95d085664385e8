// Pictures of every 2D series kind, in 2D and 3D, written to /tmp for a
// look (the test checks only that something of each colour was drawn).
#include "series2d_support.h"

#include <cstdlib>
#include <string>

namespace {

using s2d_test::TTestChart;

class LineLook : public s2d_test::WithChartUnits {};

TEST_F(LineLook, AllKinds) {
  for (bool view3D : {false, true}) {
    TTestChart c(400, 300);
    c->SetView3D(view3D);
    auto *line = new TLineSeries;
    auto *area = new TAreaSeries;
    auto *stairs = new TLineSeries;
    auto *points = new TPointSeries;
    c->AddSeries(std::unique_ptr<TChartSeries>(area));
    c->AddSeries(std::unique_ptr<TChartSeries>(line));
    c->AddSeries(std::unique_ptr<TChartSeries>(stairs));
    c->AddSeries(std::unique_ptr<TChartSeries>(points));
    stairs->SetStairs(true);
    const TColor colours[] = {clSilver, clRed, clBlue, clGreen};
    int k = 0;
    for (TCustomSeries *s : {static_cast<TCustomSeries *>(area), static_cast<TCustomSeries *>(line),
                             static_cast<TCustomSeries *>(stairs), static_cast<TCustomSeries *>(points)}) {
      s->SetSeriesColor(colours[k]);
      for (int i = 0; i < 12; ++i)
        s->AddPointXY(i, 2 + k * 3 + (i * (7 + k)) % 5);
      ++k;
    }
    c.Paint();
    if (const char *dir = std::getenv("KVEL_LOOK_DIR"))
      c.Image().SaveToFile(std::string(dir) + (view3D ? "/series3d.png" : "/series2d.png"));
    for (TColor colour : colours)
      EXPECT_GT(c.Count(colour), 0) << std::hex << colour << " 3D " << view3D;
  }
}

} // namespace
