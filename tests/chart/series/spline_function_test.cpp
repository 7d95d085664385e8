#include "chart/engine/UloEngineStartup.h"
#include "chart/engine/UloSeries.h"
#include "chart/engine/UloValueList.h"
#include "chart/foundation/UloStartup.h"
#include "chart/series/UloSpline.h"
#include "platform/streaming/Streaming.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

class THorizontalSeries : public TChartSeries {
public:
  THorizontalSeries() { SetHorizontal(); }
};

class Smoothing : public ::testing::Test {
protected:
  static void SetUpTestSuite() { StartChartFoundation(); }
  static void TearDownTestSuite() { StopChartFoundation(); }

  static TSmoothingFunction &Attach(TChartSeries &target, TChartSeries &source) {
    auto f = std::make_unique<TSmoothingFunction>();
    TSmoothingFunction &ref = *f;
    target.AttachFunction(std::move(f));
    target.SetDataSource(&source);
    return ref;
  }
};

TEST_F(Smoothing, PointCountTimesFactorCappedAt600) {
  struct Case {
    int points, factor, want;
  };
  const Case cases[] = {{2, 4, 9},
                        {200, 4, 601},
                        {3, 0, 4}, // a factor below 1 counts as 1
                        // Large products must not wrap around.
                        {1000, 2147483647, 601},
                        // One point is copied through; none gives none.
                        {1, 4, 1},
                        {0, 4, 0}};
  for (const auto &c : cases) {
    TChartSeries source, target;
    for (int i = 0; i < c.points; ++i)
      source.AddPointXY(i + 5, 7 + std::sin(i * 0.1));
    auto &f = Attach(target, source);
    f.SetFactor(c.factor);
    target.CopyAllPointsFrom(source);
    ASSERT_EQ(target.PointCount(), c.want) << c.points << " x " << c.factor;
    if (c.want == 0) continue;
    // The curve runs from the first source point to the last.
    EXPECT_NEAR(target.XValueAt(0), 5, 1e-9);
    EXPECT_NEAR(target.YValueAt(0), 7, 1e-9);
    EXPECT_NEAR(target.XValueAt(c.want - 1), source.XValueAt(c.points - 1), 1e-9);
  }
}

TEST_F(Smoothing, OrdersOfTheTargetLists) {
  struct Case {
    bool horizontalSource, keepOwnOrder;
    TChartListOrder notMandatory, mandatory;
    bool calcVisible;
  };
  using O = TChartListOrder;
  const Case cases[] = {
      {false, false, O::loAscending, O::loNone, true},
      // A horizontal source into a vertical series: the other way round.
      {true, false, O::loNone, O::loAscending, false},
      // A series that keeps its own order is left alone.
      {false, true, O::loDescending, O::loAscending, false},
  };
  for (const auto &c : cases) {
    THorizontalSeries horizontal;
    TChartSeries vertical, target;
    TChartSeries &source = c.horizontalSource ? static_cast<TChartSeries &>(horizontal) : vertical;
    source.AddPointXY(0, 0);
    source.AddPointXY(1, 1);
    target.SetKeepOwnOrder(c.keepOwnOrder);
    target.NotMandatoryValueList()->SetOrder(O::loDescending);
    target.MandatoryValueList()->SetOrder(O::loAscending);
    target.SetCalcVisiblePoints(false);
    Attach(target, source);
    target.CopyAllPointsFrom(source);
    EXPECT_EQ(target.NotMandatoryValueList()->Order(), c.notMandatory) << c.horizontalSource << c.keepOwnOrder;
    EXPECT_EQ(target.MandatoryValueList()->Order(), c.mandatory) << c.horizontalSource << c.keepOwnOrder;
    EXPECT_EQ(target.CalcVisiblePoints(), c.calcVisible) << c.horizontalSource << c.keepOwnOrder;
    // No labels, no colours of their own.
    EXPECT_EQ(target.Labels().Count(), 0);
  }
}

TEST_F(Smoothing, Stored) {
  StartChartEngine();
  RegisterUloSmoothingFunction();
  TChartSeries series;
  series.SetName("Series1");
  auto f = std::make_unique<TSmoothingFunction>();
  f->SetName("Smooth1");
  f->SetFactor(7);
  f->SetInterpolate(false);
  series.AttachFunction(std::move(f));
  const std::string text = streaming::WriteComponent(series);
  TChartSeries back;
  streaming::ReadComponent(text, back);
  auto *g = dynamic_cast<TSmoothingFunction *>(back.FunctionType());
  ASSERT_NE(g, nullptr) << text;
  EXPECT_EQ(g->Factor(), 7);
  EXPECT_FALSE(g->Interpolate());
  EXPECT_EQ(text.find("Period"), std::string::npos) << text;

  UnregisterUloSmoothingFunction();
  StopChartEngine();
}

} // namespace
