// The growing animation of a series: the values of each step, groups,
// loops, waiting, and runs ended by freeing what they use.
#include "tools_support.h"

#include <cmath>
#include <memory>
#include <vector>

namespace {

using tools_test::TDotSeries;

class Animation : public tools_test::WithTools {
protected:
  // A chart (never shown) with the values 2, 4, 6, 8 at X 0..3 and the tool.
  void Make(int steps) {
    chart = std::make_unique<TChart>();
    series = chart->AddSeries(std::make_unique<TDotSeries>());
    for (double v : {2, 4, 6, 8})
      series->AddPoint(v);
    tool = chart->Tools().Add(std::make_unique<TSeriesAnimationTool>());
    tool->SetSeries(series);
    tool->SetSteps(steps);
    tool->ProcessMessages = [this] {
      ++pumps;
      if (onPump) onPump();
    };
    tool->OnStep = [this](TSeriesAnimationTool *, int step) {
      steps_.push_back(step);
      values.push_back(Values());
    };
    tool->OnStart = [this](TSeriesAnimationTool *) { ++starts; };
    tool->OnStop = [this](TSeriesAnimationTool *t) {
      ++stops;
      EXPECT_TRUE(t->Stopped());
    };
  }
  std::vector<double> Values() const {
    std::vector<double> v;
    for (int i = 0; i < series->PointCount(); ++i)
      v.push_back(series->YValueAt(i));
    return v;
  }

  std::unique_ptr<TChart> chart;
  TDotSeries *series = nullptr;
  TSeriesAnimationTool *tool = nullptr;
  std::vector<int> steps_;
  std::vector<std::vector<double>> values;
  std::function<void()> onPump;
  int pumps = 0, starts = 0, stops = 0;
};

TEST_F(Animation, StepsGrowFromTheMinimumToTheValues) {
  Make(4);
  EXPECT_TRUE(tool->Stopped());
  tool->RunAnimation();
  // Steps 0..4: value = f * saved + (start - start * f), start the minimum 2.
  EXPECT_EQ(steps_, (std::vector<int>{0, 1, 2, 3, 4}));
  ASSERT_EQ(values.size(), 5u);
  EXPECT_EQ(values[0], (std::vector<double>{2, 2, 2, 2}));
  EXPECT_EQ(values[2], (std::vector<double>{2, 3, 4, 5}));
  EXPECT_EQ(values[4], (std::vector<double>{2, 4, 6, 8}));
  EXPECT_EQ(Values(), (std::vector<double>{2, 4, 6, 8}));
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(stops, 1);
  // One wait per step and one at the end of the pass.
  EXPECT_EQ(pumps, 6);
  // No steps divide nothing by zero: one step, the values whole.
  steps_.clear();
  values.clear();
  Make(0);
  tool->RunAnimation();
  EXPECT_EQ(steps_, (std::vector<int>{0, 1}));
  for (const auto &v : values)
    EXPECT_TRUE(std::isfinite(v[1]));
  EXPECT_EQ(Values(), (std::vector<double>{2, 4, 6, 8}));
}

TEST_F(Animation, AFixedStartValueAndGroups) {
  Make(2);
  tool->SetStartAtMin(false);
  tool->SetStartValue(10);
  tool->SetDrawEvery(3);
  tool->RunAnimation();
  // Two groups: the first three points, then the last one; 3 steps each.
  EXPECT_EQ(steps_, (std::vector<int>{0, 1, 2, 0, 1, 2}));
  EXPECT_EQ(values[1], (std::vector<double>{6, 7, 8, 10}));
  EXPECT_EQ(values[4], (std::vector<double>{2, 4, 6, 9}));
}

TEST_F(Animation, CircularLoopsRunBackwardUntilStopped) {
  Make(2);
  tool->SetLoop(TSeriesAnimationLoop::salCircular);
  tool->OnStep = [this](TSeriesAnimationTool *t, int step) {
    steps_.push_back(step);
    values.push_back(Values());
    if (steps_.size() == 5) t->StopAnimation();
  };
  tool->RunAnimation();
  // Forward 0, 1, 2; then backward, towards 0: f = (2 - s) / 2, no offset.
  ASSERT_EQ(values.size(), 5u);
  EXPECT_EQ(values[3], (std::vector<double>{2, 4, 6, 8}));
  EXPECT_EQ(values[4], (std::vector<double>{1, 2, 3, 4}));
  // Stopped in the middle: the values are put back, OnStop once.
  EXPECT_EQ(Values(), (std::vector<double>{2, 4, 6, 8}));
  EXPECT_EQ(stops, 1);
}

TEST_F(Animation, ADelayWaitsOnTheClock) {
  Make(1);
  uint64_t now = 1000;
  tool->TickCount = [&] { return now; };
  onPump = [&] { now += 10; };
  tool->SetDelay(35);
  tool->RunAnimation();
  // Each wait pumps until 35 ms passed: 4 pumps of 10 ms; 3 waits.
  EXPECT_EQ(pumps, 12);
}

TEST_F(Animation, NoRunWithoutASeriesOrWhileRunning) {
  Make(3);
  int nested = 0;
  tool->OnStep = [&](TSeriesAnimationTool *t, int) {
    ++nested;
    t->RunAnimation();
  };
  tool->RunAnimation();
  EXPECT_EQ(nested, 4);
  EXPECT_EQ(starts, 1);
  tool->SetSeries(nullptr);
  tool->RunAnimation();
  EXPECT_EQ(starts, 1);
}

TEST_F(Animation, FreeingTheSeriesOrTheToolOrChangingTheSeriesEndsTheRun) {
  enum What { FreeSeries, OtherSeries, FreeTool };
  for (What what : {FreeSeries, OtherSeries, FreeTool}) {
    steps_.clear();
    values.clear();
    pumps = stops = 0;
    Make(10);
    TDotSeries other;
    onPump = [&] {
      if (pumps != 3) return;
      if (what == FreeSeries) chart->FreeSeriesOfClass<TDotSeries>();
      if (what == OtherSeries) tool->SetSeries(&other);
      if (what == FreeTool) chart->Tools().Clear();
    };
    tool->RunAnimation();
    EXPECT_EQ(steps_.size(), 3u) << what;
    EXPECT_EQ(stops, 1) << what;
    // Values go back where their series still exists.
    if (what == FreeSeries) {
      EXPECT_EQ(tool->Series(), nullptr);
      EXPECT_TRUE(tool->Stopped());
    } else {
      EXPECT_EQ(Values(), (std::vector<double>{2, 4, 6, 8})) << what;
    }
    if (what == OtherSeries) tool->SetSeries(nullptr);
  }
}

TEST_F(Animation, FreeingTheChartEndsTheRun) {
  Make(10);
  // The series outlives the chart here: it keeps its values.
  auto own = std::make_unique<TDotSeries>();
  for (double v : {1, 3})
    own->AddPoint(v);
  auto free = std::make_unique<TSeriesAnimationTool>();
  TSeriesAnimationTool *loose = free.get();
  loose->SetSeries(own.get());
  loose->SetParentChart(chart.get());
  loose->OnStop = [&](TSeriesAnimationTool *) { ++stops; };
  loose->ProcessMessages = [&] {
    if (++pumps == 2) chart.reset();
  };
  loose->RunAnimation();
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(own->YValueAt(0), 1);
  EXPECT_EQ(own->YValueAt(1), 3);
  loose->SetSeries(nullptr);
}

} // namespace
