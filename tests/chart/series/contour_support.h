// Scaffolding of the contour, iso-surface and triangulated-surface tests:
// the chart units started once per binary, and a plain white chart of a
// fixed size painted into its window surface.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "chart/ChartTestSupport.h"
#include "chart/engine/Chart.h"
#include "chart/engine/UloAxis.h"
#include "chart/series/UloContour.h"
#include "chart/series/UloIsoSurface.h"

namespace contour_test {

class WithGridSeries : public chart_support::WithChartEngine {
protected:
  static void SetUpTestSuite() {
    chart_support::WithChartEngine::SetUpTestSuite();
    StartSurfaceUnit();
  }
  static void TearDownTestSuite() {
    StopSurfaceUnit();
    chart_support::WithChartEngine::TearDownTestSuite();
  }

  void SetUp() override {
    chart = chart_support::UnshownChart(400, 300);
    chart->SetName("Chart1");
    chart->SetView3D(false);
  }
  void TearDown() override {
    chart.reset();
    chart_support::WithChartEngine::TearDown();
  }
  void Paint() { chart_support::PaintSurface(*chart); }
  TColor At(int x, int y) { return chart->WindowSurface().Pixel(x, y); }
  // Fills Series with an N x N grid at X, Z = 1..N and Y = F(X, Z).
  template <class S, class F> static void Grid(S &series, int n, F f) {
    series.BeginUpdate();
    for (int z = 1; z <= n; ++z)
      for (int x = 1; x <= n; ++x)
        series.AddPointXYZ(x, f(x, z), z);
    series.EndUpdate();
  }

  // Writes the chart, reads the text back and checks that the chart read
  // writes the same text and that the text holds every one of Lines.
  std::unique_ptr<TChart> StoredAndBack(std::initializer_list<std::string_view> lines) {
    const std::string text = streaming::WriteComponent(*chart);
    for (std::string_view line : lines)
      EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    auto read = streaming::ReadComponent(text);
    std::unique_ptr<TChart> back(dynamic_cast<TChart *>(read.get()));
    if (back) read.release();
    EXPECT_EQ(back ? streaming::WriteComponent(*back) : std::string(), text);
    return back;
  }

  std::unique_ptr<TChart> chart;
};

} // namespace contour_test
