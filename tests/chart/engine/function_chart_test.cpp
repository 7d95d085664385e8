#include "chart/engine/UloFunci.h"
#include "chart_support.h"

#include <memory>

namespace {

class FunctionInChart : public chart_test::WithChartUnits {};

// In a chart, a changed setting refills the series through the panel, once.
TEST_F(FunctionInChart, ChangedSettingsRecalculateOnce) {
  TChart chart;
  TChartSeries source, target;
  source.SetParentChart(&chart);
  target.SetParentChart(&chart);
  for (double y : {3, 1, 4, 1, 5, 9, 2})
    source.AddPoint(y);
  auto f = std::make_unique<TAverageUloFunction>();
  TAverageUloFunction &average = *f;
  target.AttachFunction(std::move(f));
  target.SetDataSource(&source);
  ASSERT_EQ(target.PointCount(), 1);
  EXPECT_DOUBLE_EQ(target.YValueAt(0), 25.0 / 7);

  int refills = 0;
  target.OnClearValues = [&](TChartSeries *) { ++refills; };
  average.SetPeriod(3);
  EXPECT_EQ(refills, 1);
  ASSERT_EQ(target.PointCount(), 2);
  EXPECT_DOUBLE_EQ(target.YValueAt(1), 5);
  // The same value again is no change.
  average.SetPeriod(3);
  average.SetIncludeNulls(true);
  EXPECT_EQ(refills, 1);
  // While updating, settings gather into one refill at the end.
  average.BeginUpdate();
  average.SetPeriod(2);
  average.SetPeriodAlign(TFunctionPeriodAlign::paFirst);
  average.SetPeriodStyle(TFunctionPeriodStyle::psRange);
  EXPECT_EQ(refills, 1);
  average.EndUpdate();
  EXPECT_EQ(refills, 2);
  ASSERT_EQ(target.PointCount(), 4);
  EXPECT_DOUBLE_EQ(target.XValueAt(3), 6);
  EXPECT_DOUBLE_EQ(target.YValueAt(3), 2);
}

// A function that needs no source fills its series from the panel.
TEST_F(FunctionInChart, CustomFunctionFillsWithoutASource) {
  TChart chart;
  TChartSeries target;
  target.SetParentChart(&chart);
  auto f = std::make_unique<TCustomUloFunction>();
  TCustomUloFunction &custom = *f;
  custom.OnCalculate = [](TCustomUloFunction &, double x, double &y) { y = 2 * x; };
  target.AttachFunction(std::move(f));
  EXPECT_EQ(target.PointCount(), 100);
  custom.SetNumPoints(5);
  ASSERT_EQ(target.PointCount(), 5);
  EXPECT_EQ(target.YValueAt(4), 8);
}

} // namespace
