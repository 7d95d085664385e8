// Scaffolding of the 3D series and rotation tool tests: the application
// and the chart units started once per binary, and a chart of a fixed size
// painted into its window surface.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "chart/engine/Chart.h"
#include "chart/engine/UloAxis.h"
#include "chart/engine/UloEngineStartup.h"
#include "chart/foundation/TestPanel.h"
#include "chart/foundation/UloStartup.h"
#include "chart/series/UloPoin3.h"

namespace s3d_test {

class WithChartUnits : public foundation_test::WithApplication {
protected:
  static void SetUpTestSuite() {
    foundation_test::WithApplication::SetUpTestSuite();
    StartChartFoundation();
    StartChartEngine();
    StartChartUnit();
    StartPoint3DUnit();
  }
  static void TearDownTestSuite() {
    StopPoint3DUnit();
    StopChartUnit();
    StopChartEngine();
    StopChartFoundation();
  }
};

// A bare chart (no legend, no title, no walls' frame colour games) of
// W x H pixels; Paint draws it into its window surface as a window paint
// would.
struct TTestChart {
  std::unique_ptr<TChart> chart;

  explicit TTestChart(int w = 400, int h = 300) : chart(std::make_unique<TChart>()) {
    chart->SetBounds(0, 0, w, h);
    // No window system resizes the kept surface of a chart never shown.
    chart->WindowSurface().SetSize(w, h);
    chart->Legend().SetVisible(false);
    chart->SetColor(clWhite);
    chart->SetBevelOuter(TBevelCut::bvNone);
  }
  TChart &operator*() { return *chart; }
  TChart *operator->() { return chart.get(); }

  void Paint() {
    chart->Invalidate();
    chart->Paint();
  }
  const gdi::Bitmap &Image() { return chart->WindowSurface(); }
  TColor At(int x, int y) { return Image().Pixel(x, y); }
  TColor At(const TPoint &p) { return Image().Pixel(p.X, p.Y); }
  // Where the canvas of the last paint put (X, Y) at depth Z.
  TPoint Project(int x, int y, int z) { return chart->Canvas().ProjectPoint(x, y, z); }
};

} // namespace s3d_test
