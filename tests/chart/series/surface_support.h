// Scaffolding of the grid series tests: the chart units started once per
// binary, and a bare chart of a fixed size painted into its window surface
// with fixed axis ranges, so that grid positions land on known pixels.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "chart/ChartTestSupport.h"
#include "chart/engine/UloAxis.h"
#include "chart/series/UloSurfa.h"

namespace surface_test {

class WithChartUnits : public chart_support::WithChartEngine {
protected:
  static void SetUpTestSuite() {
    chart_support::WithChartEngine::SetUpTestSuite();
    StartSurfaceUnit();
  }
  static void TearDownTestSuite() {
    StopSurfaceUnit();
    chart_support::WithChartEngine::TearDownTestSuite();
  }
};

struct TTestChart {
  std::unique_ptr<TChart> chart;

  explicit TTestChart(int w = 400, int h = 300) : chart(chart_support::UnshownChart(w, h)) {}
  TChart *operator->() { return chart.get(); }

  // The axes over fixed ranges, without labels, ticks or titles in the way.
  void FixAxes(double xMin, double xMax, double yMin, double yMax, double zMin, double zMax) {
    const std::pair<TChartAxis *, std::pair<double, double>> axes[] = {
        {chart->BottomAxis(), {xMin, xMax}}, {chart->LeftAxis(), {yMin, yMax}}, {chart->DepthAxis(), {zMin, zMax}}};
    for (auto [axis, range] : axes) {
      axis->SetMinMax(range.first, range.second);
      axis->SetLabels(false);
      axis->Ticks().SetVisible(false);
      axis->MinorTicks().SetVisible(false);
      axis->Grid().SetVisible(false);
    }
  }
  void Paint() { chart_support::PaintSurface(*chart); }
  const gdi::Bitmap &Image() { return chart->WindowSurface(); }
  TColor At(int x, int y) { return Image().Pixel(x, y); }
};

// A surface that notes the cells it is asked to draw.
class TNotingSurface : public TSurfaceSeries {
public:
  std::vector<std::pair<int, int>> Cells;
  void DrawCell(int x, int z) override {
    Cells.emplace_back(x, z);
    TSurfaceSeries::DrawCell(x, z);
  }
};

} // namespace surface_test
