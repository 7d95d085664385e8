// Scaffolding the chart tests share: the application with the chart
// foundation, the engine and the chart class started once per test binary,
// and bare charts of a fixed size for pixel checks.
#pragma once

#include <gtest/gtest.h>

#include <QTest>

#include <memory>
#include <vector>

#include "chart/ChartComponent.h"
#include "chart/engine/Chart.h"
#include "chart/engine/UloEngineStartup.h"
#include "chart/foundation/TestPanel.h"
#include "chart/foundation/UloStartup.h"
#include "platform/forms/Controls.h"

namespace chart_support {

// The units every chart needs, in their start-up order; further units start
// after these and stop before. Smaller than the whole component on purpose:
// the foundation and engine tests link nothing above the engine, and each
// series or tool test adds only the unit it tests, so the gallery and the
// tool registry hold just that unit's classes.
inline void StartChartCore() {
  StartChartFoundation();
  StartChartEngine();
  StartChartUnit();
}
inline void StopChartCore() {
  StopChartUnit();
  StopChartEngine();
  StopChartFoundation();
}

// The application and the chart core, started once per test binary.
class WithChartEngine : public foundation_test::WithApplication {
protected:
  static void SetUpTestSuite() {
    foundation_test::WithApplication::SetUpTestSuite();
    StartChartCore();
  }
  static void TearDownTestSuite() { StopChartCore(); }
};

// The application and the whole chart component as the program starts it,
// once per test binary; for binaries that link the component.
class WithChartComponent : public foundation_test::WithApplication {
protected:
  static void SetUpTestSuite() {
    foundation_test::WithApplication::SetUpTestSuite();
    StartChartComponent();
  }
  static void TearDownTestSuite() { StopChartComponent(); }
};

// The foundation and the engine (their texts, registries and palettes),
// started afresh for each test.
class WithEngineTexts : public foundation_test::WithApplication {
protected:
  void SetUp() override {
    StartChartFoundation();
    StartChartEngine();
  }
  void TearDown() override {
    StopChartEngine();
    StopChartFoundation();
    foundation_test::WithApplication::TearDown();
  }
};

// Lets the event loop deliver what is pending (paints, resizes).
inline void Settle() {
  for (int i = 0; i < 3; ++i)
    forms::Application().ProcessMessages();
}

// A control of W x H pixels in a shown form, 10 pixels in from each side,
// painted once.
template <class C> C *ShownInForm(int w, int h) {
  auto *form = forms::Application().CreateForm<forms::TForm>();
  form->SetClientSize(w + 20, h + 20);
  auto *control = form->Make<C>();
  control->SetBounds(10, 10, w, h);
  form->Show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(form->Widget()));
  Settle();
  return control;
}

// A white chart of W x H pixels without legend or bevel.
inline std::unique_ptr<TChart> BareChart(int w, int h) {
  auto chart = std::make_unique<TChart>();
  chart->SetBounds(0, 0, w, h);
  chart->Legend().SetVisible(false);
  chart->SetColor(clWhite);
  chart->SetBevelOuter(TBevelCut::bvNone);
  return chart;
}

// The same with a window surface of its size: no window system resizes the
// kept surface of a chart never shown.
inline std::unique_ptr<TChart> UnshownChart(int w, int h) {
  auto chart = BareChart(w, h);
  chart->WindowSurface().SetSize(w, h);
  return chart;
}

// Every pixel of a bitmap, row by row: two pictures that must agree are
// compared with each other.
inline std::vector<TColor> Pixels(const gdi::Bitmap &b) {
  std::vector<TColor> all;
  all.reserve(static_cast<size_t>(b.Width()) * static_cast<size_t>(b.Height()));
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      all.push_back(b.Pixel(x, y));
  return all;
}

// Draws a chart into its window surface as a window paint would.
inline void PaintSurface(TChart &chart) {
  chart.Invalidate();
  chart.Paint();
}

} // namespace chart_support
