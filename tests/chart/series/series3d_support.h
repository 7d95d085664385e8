// Scaffolding of the 3D series and rotation tool tests: the application
// and the chart units started once per binary, and a chart of a fixed size
// painted into its window surface.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "chart/ChartTestSupport.h"
#include "chart/engine/Chart.h"
#include "chart/engine/UloAxis.h"
#include "chart/series/UloPoin3.h"

namespace s3d_test {

class WithChartUnits : public chart_support::WithChartEngine {
protected:
  static void SetUpTestSuite() {
    chart_support::WithChartEngine::SetUpTestSuite();
    StartPoint3DUnit();
  }
  static void TearDownTestSuite() {
    StopPoint3DUnit();
    chart_support::WithChartEngine::TearDownTestSuite();
  }
};

// A bare chart (no legend, no title, no walls' frame colour games) of
// W x H pixels; Paint draws it into its window surface as a window paint
// would.
struct TTestChart {
  std::unique_ptr<TChart> chart;

  explicit TTestChart(int w = 400, int h = 300) : chart(chart_support::UnshownChart(w, h)) {}
  TChart &operator*() { return *chart; }
  TChart *operator->() { return chart.get(); }

  void Paint() { chart_support::PaintSurface(*chart); }
  const gdi::Bitmap &Image() { return chart->WindowSurface(); }
  TColor At(int x, int y) { return Image().Pixel(x, y); }
  TColor At(const TPoint &p) { return Image().Pixel(p.X, p.Y); }
  // Where the canvas of the last paint put (X, Y) at depth Z.
  TPoint Project(int x, int y, int z) { return chart->Canvas().ProjectPoint(x, y, z); }
};

} // namespace s3d_test
