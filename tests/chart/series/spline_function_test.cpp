#include "chart/engine/UloEngineStartup.h"
#include "chart/engine/UloGallery.h"
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

TEST_F(Smoothing, Defaults) {
  TSmoothingFunction f;
  EXPECT_TRUE(f.Interpolate());
  EXPECT_EQ(f.Factor(), 4);
  EXPECT_EQ(f.Period(), 1);
  EXPECT_EQ(f.GetEditorClass(), "TSmoothFuncEditor");
  for (int v : {0, -5}) {
    f.SetFactor(v);
    EXPECT_EQ(f.Factor(), 1) << v;
  }
}

TEST_F(Smoothing, PointCountTimesFactorCappedAt600) {
  struct Case {
    int points, factor, want;
  };
  const Case cases[] = {{2, 4, 9},
                        {10, 4, 41},
                        {150, 4, 601},
                        {200, 4, 601},
                        {3, 1, 4},
                        // Large products must not wrap around.
                        {1000, 2147483647, 601}};
  for (const auto &c : cases) {
    TChartSeries source, target;
    for (int i = 0; i < c.points; ++i)
      source.AddPointXY(i, std::sin(i * 0.1));
    auto &f = Attach(target, source);
    f.SetFactor(c.factor);
    target.CopyAllPointsFrom(source);
    EXPECT_EQ(target.PointCount(), c.want) << c.points << " x " << c.factor;
  }
}

TEST_F(Smoothing, TheCurveRunsThroughTheSourceEnds) {
  TChartSeries source, target;
  source.AddPointXY(0, 1);
  source.AddPointXY(1, 3, "label");
  source.AddPointXY(2, 2);
  source.AddPointXY(4, 0);
  Attach(target, source);
  target.CopyAllPointsFrom(source);
  ASSERT_EQ(target.PointCount(), 17);
  EXPECT_NEAR(target.XValueAt(0), 0, 1e-12);
  EXPECT_NEAR(target.YValueAt(0), 1, 1e-12);
  EXPECT_NEAR(target.XValueAt(16), 4, 1e-12);
  EXPECT_NEAR(target.YValueAt(16), 0, 1e-12);
  // Interpolating: the source points are on the curve at t = i / 3.
  TBSpline s;
  s.AddPoint(0, 1);
  s.AddPoint(1, 3);
  s.AddPoint(2, 2);
  s.AddPoint(4, 0);
  s.SetInterpolated(true);
  const TBSplinePoint third = s.Value(1.0 / 3);
  EXPECT_NEAR(third.X, 1, 1e-12);
  EXPECT_NEAR(third.Y, 3, 1e-12);
  // No labels, no colours of their own.
  EXPECT_EQ(target.Labels().Count(), 0);
  EXPECT_EQ(target.ValueColors(), nullptr);
}

TEST_F(Smoothing, ASinglePointIsCopiedThrough) {
  TChartSeries source, target;
  source.AddPointXY(5, 7);
  Attach(target, source);
  target.CopyAllPointsFrom(source);
  ASSERT_EQ(target.PointCount(), 1);
  EXPECT_EQ(target.XValueAt(0), 5);
  EXPECT_EQ(target.YValueAt(0), 7);
  // And an empty source leaves the series empty.
  TChartSeries empty, other;
  Attach(other, empty);
  other.CopyAllPointsFrom(empty);
  EXPECT_EQ(other.PointCount(), 0);
}

TEST_F(Smoothing, OrdersOfTheTargetLists) {
  {
    TChartSeries source, target;
    source.AddPointXY(0, 0);
    source.AddPointXY(1, 1);
    target.NotMandatoryValueList()->SetOrder(TChartListOrder::loNone);
    target.MandatoryValueList()->SetOrder(TChartListOrder::loAscending);
    target.SetCalcVisiblePoints(false);
    Attach(target, source);
    target.CopyAllPointsFrom(source);
    EXPECT_EQ(target.NotMandatoryValueList()->Order(), TChartListOrder::loAscending);
    EXPECT_EQ(target.MandatoryValueList()->Order(), TChartListOrder::loNone);
    EXPECT_TRUE(target.CalcVisiblePoints());
  }
  {
    // A horizontal source into a vertical series: the other way round.
    THorizontalSeries source;
    TChartSeries target;
    source.AddPointXY(0, 0);
    source.AddPointXY(1, 1);
    Attach(target, source);
    target.CopyAllPointsFrom(source);
    EXPECT_EQ(target.NotMandatoryValueList()->Order(), TChartListOrder::loNone);
    EXPECT_EQ(target.MandatoryValueList()->Order(), TChartListOrder::loAscending);
    EXPECT_FALSE(target.CalcVisiblePoints());
  }
  {
    // A series that keeps its own order is left alone.
    TChartSeries source, target;
    source.AddPointXY(0, 0);
    source.AddPointXY(1, 1);
    target.SetKeepOwnOrder(true);
    target.NotMandatoryValueList()->SetOrder(TChartListOrder::loDescending);
    Attach(target, source);
    target.CopyAllPointsFrom(source);
    EXPECT_EQ(target.NotMandatoryValueList()->Order(), TChartListOrder::loDescending);
  }
}

TEST_F(Smoothing, ASourceChangeRecalculates) {
  TChartSeries source, target;
  source.AddPointXY(0, 0);
  source.AddPointXY(1, 1);
  Attach(target, source);
  target.CopyAllPointsFrom(source);
  EXPECT_EQ(target.PointCount(), 9);
  source.BeginUpdate();
  source.AddPointXY(2, 0);
  source.AddPointXY(3, 1);
  source.EndUpdate();
  EXPECT_EQ(target.PointCount(), 17);
  EXPECT_NEAR(target.XValueAt(16), 3, 1e-12);
}

TEST_F(Smoothing, RegisteredOnTheExtendedPageAndStored) {
  StartChartEngine();
  RegisterUloSmoothingFunction();
  bool found = false;
  for (int i = 0; i < UloSeriesTypes().Count(); ++i) {
    const TUloSeriesType &t = UloSeriesTypes().Items(i);
    if (t.FunctionClass.Name() != "TSmoothingFunction") continue;
    found = true;
    EXPECT_EQ(t.Description, "Smoothing");
    EXPECT_EQ(t.Page, "Extended");
    EXPECT_EQ(t.SampleSeriesCount, 1);
  }
  EXPECT_TRUE(found);

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
  for (int i = 0; i < UloSeriesTypes().Count(); ++i)
    EXPECT_NE(UloSeriesTypes().Items(i).FunctionClass.Name(), "TSmoothingFunction");
  StopChartEngine();
}

} // namespace
