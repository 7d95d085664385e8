// The axis' range, its mapping of values to pixels and back, and the label
// step search.
#include <cmath>
#include <limits>

#include "axis_support.h"
#include "chart/engine/Chart.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProcs.h"
#include "platform/streaming/Streaming.h"

using namespace axis_test;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(AxisNextStep, MovesToTheNextOneTwoFiveStep) {
  const struct {
    double x, expected;
  } cases[] = {{1, 2},       {1.5, 2},  {2, 5},   {4.99, 5},  {5, 10},      {7.69, 10},
               {10, 20},     {20, 50},  {0.5, 1}, {0.2, 0.5}, {0.01, 0.02}, {1e12, 2e12},
               {3e-9, 5e-9}, {kInf, 1}, {0, 1},   {-3, 1},    {kNaN, 1}};
  for (const auto &c : cases) {
    const double r = UloNextStep(c.x);
    EXPECT_NEAR(r, c.expected, std::fabs(c.expected) * 1e-12) << c.x;
    if (c.x > 0 && std::isfinite(c.x)) {
      EXPECT_GT(r, c.x) << c.x;
    }
  }
}

// ---- increments --------------------------------------------------------------------------

struct IncrementCase {
  const char *name;
  double min, max;
  int axisSize, labelSize, separation;
  double increment;
  double expected;
};

TEST(AxisIncrement, LabelsThatFitDecideTheStep) {
  const IncrementCase cases[] = {
      {"0..100 on 400 px, labels 30 wide: 7.69 grows to 10", 0, 100, 400, 30, 10, 0, 10},
      {"a user step of 5 grows to 10 when 20 labels do not fit", 0, 100, 400, 30, 10, 5, 10},
      {"a user step that fits stays", 0, 100, 400, 10, 10, 25, 25},
      {"zero range gives 1", 5, 5, 400, 30, 10, 0, 1},
      {"no separation: the first estimate stands", 0, 1e6, 400, 30, 0, 0, 1e6 / 14},
      {"tiny span around a large value", 1e9, 1e9 + 1e-3, 400, 30, 10, 0, 1e-4},
      {"negative range", -500, -100, 400, 30, 10, 0, 50},
      {"room for one label: the whole range", 0, 100, 20, 30, 10, 0, 100},
      {"no room at all: the smallest step", 0, 100, 10, 30, 10, 0, UloAxisMinIncrement},
  };
  for (const auto &c : cases) {
    TChartAxis axis;
    axis.SetLabelsSeparation(c.separation);
    axis.SetIncrement(c.increment);
    Span(axis, 0, c.axisSize, c.min, c.max);
    const double inc = axis.CalcXYIncrement(c.labelSize);
    EXPECT_NEAR(inc, c.expected, std::fabs(c.expected) * 1e-9) << c.name;
  }
}

TEST(AxisIncrement, DateTimeStepsThroughTheTable) {
  TChartAxis axis;
  axis.IsDateTime = true;
  Span(axis, 0, 400, 40000, 40010);
  // Ten days on an axis that fits four labels: three days.
  EXPECT_DOUBLE_EQ(axis.CalcIncrement(4), 3.0);
  Span(axis, 0, 400, 40000, 40000 + 3650);
  const double years = axis.CalcIncrement(4);
  EXPECT_LE(std::round(3650 / years), 4);
  EXPECT_GE(years, 365.0);
  EXPECT_EQ(axis.CalcIncrement(0), UloDateTimeSteps[0]) << "no room for a label";
}

TEST(AxisIncrement, NonFiniteAndStallingCasesEnd) {
  // Infinite or NaN ends count as a zero range; a base below 1 would shrink
  // forever in the growth loop; a span past the largest double overflows.
  const struct {
    double min, max, base;
  } cases[] = {{0, kInf, 10}, {kNaN, 5, 10}, {-kInf, kInf, 10}, {1, 1e6, 0.5}, {-1.7e308, 1.7e308, 10}};
  for (const auto &c : cases) {
    TChartAxis axis;
    axis.SetLogarithmicBase(c.base);
    if (c.base < 1) axis.SetLogarithmic(true);
    Span(axis, 0, 400, c.min, c.max);
    const double inc = axis.CalcXYIncrement(30);
    EXPECT_GT(inc, 0) << c.min << ".." << c.max; // not NaN either
  }
}

TEST(AxisIncrement, SecondRunLandsOnOneTwoFiveAndRestoresIncrement) {
  TChartAxis axis;
  Span(axis, 0, 400, 0, 100);
  // Without a panel every label measures 0: one label fits, the first
  // estimate is 50, and the rerun from 1 grows to 100.
  EXPECT_DOUBLE_EQ(axis.CalcLabelsIncrement(), 100);
  EXPECT_EQ(axis.Increment(), 0);
  axis.SetLabelsAlternate(true);
  // No second run with alternating labels: the first result, halved.
  EXPECT_DOUBLE_EQ(axis.CalcLabelsIncrement(), 100 * 0.5);
}

// ---- mapping -----------------------------------------------------------------------------

TEST(AxisMapping, LinearBothOrientationsAndInverted) {
  const struct {
    bool horizontal, inverted;
    double value;
    int expected;
  } cases[] = {
      {true, false, 0, 100},     {true, false, 100, 500},   {true, false, 25, 200},  {true, true, 0, 500},
      {true, true, 25, 400},     {false, false, 0, 500},    {false, false, 25, 400}, {false, true, 0, 100},
      {false, true, 25, 200},    {true, false, 0.125, 100}, // 0.5 px rounds to even
      {true, false, 0.375, 102},                            // 1.5 px rounds to even
  };
  for (const auto &c : cases) {
    TChartAxis axis;
    axis.Horizontal = c.horizontal;
    axis.SetInverted(c.inverted);
    Span(axis, 100, 500, 0, 100);
    EXPECT_EQ(axis.CalcPosValue(c.value), c.expected) << c.horizontal << c.inverted << " " << c.value;
  }
}

TEST(AxisMapping, RoundTripsWithinHalfAPixel) {
  for (bool horizontal : {true, false})
    for (bool inverted : {true, false}) {
      TChartAxis axis;
      axis.Horizontal = horizontal;
      axis.SetInverted(inverted);
      Span(axis, 37, 437, -3.5, 1234.25);
      for (int p = 37; p <= 437; p += 7) {
        const double v = axis.CalcPosPoint(p);
        EXPECT_EQ(axis.CalcPosValue(v), p) << horizontal << inverted << " " << p;
      }
    }
}

TEST(AxisMapping, FarValuesAreClampedNeverBeyondTheLimit) {
  TChartAxis axis;
  axis.Horizontal = true;
  Span(axis, 0, 400, 0, 1);
  EXPECT_EQ(axis.CalcPosValue(1e300), UloMaxPixel);
  EXPECT_EQ(axis.CalcPosValue(-1e300), -UloMaxPixel);
  EXPECT_EQ(axis.CalcPosValue(kInf), UloMaxPixel);
  EXPECT_EQ(axis.CalcPosValue(kNaN), UloMaxPixel);
  axis.Horizontal = false;
  EXPECT_EQ(axis.CalcPosValue(1e300), -UloMaxPixel);
}

TEST(AxisMapping, ZeroRangeMapsEverythingToTheCentre) {
  TChartAxis axis;
  axis.Horizontal = true;
  Span(axis, 100, 301, 7, 7);
  EXPECT_TRUE(axis.IRangeZero);
  for (double v : {-1e9, 7.0, 8.0, kNaN})
    EXPECT_EQ(axis.CalcPosValue(v), 200);
  EXPECT_EQ(axis.CalcSizeValue(5), 0);
  Span(axis, 100, 301, 0, kInf);
  EXPECT_EQ(axis.CalcPosValue(3), 200);
  Span(axis, 10, 10, 0, 5);
  EXPECT_EQ(axis.CalcPosPoint(10), 0) << "no pixels, no value";
}

TEST(AxisMapping, Logarithmic) {
  TChartAxis axis;
  axis.Horizontal = true;
  axis.SetLogarithmic(true);
  Span(axis, 0, 300, 1, 1000);
  EXPECT_EQ(axis.CalcPosValue(1), 0);
  EXPECT_EQ(axis.CalcPosValue(10), 100);
  EXPECT_EQ(axis.CalcPosValue(1000), 300);
  EXPECT_EQ(axis.CalcPosValue(0), 0);
  EXPECT_EQ(axis.CalcPosValue(-5), 0);
  EXPECT_NEAR(axis.CalcPosPoint(200), 100, 1e-9);
  EXPECT_EQ(axis.CalcPosPoint(0), 1);
  EXPECT_EQ(axis.CalcPosPoint(300), 1000);
  EXPECT_EQ(axis.CalcSizeValue(10), 100);
  axis.SetInverted(true);
  EXPECT_EQ(axis.CalcPosValue(-5), 300);
  EXPECT_EQ(axis.CalcPosValue(10), 200);
  EXPECT_EQ(axis.CalcPosPoint(0), 1000);
}

TEST(AxisMapping, FastPairRoundsTheOffsetFirst) {
  TChartAxis axis;
  axis.Horizontal = true;
  Span(axis, 0, 400, 0, 400);
  axis.SetFastCalc(true);
  EXPECT_EQ(axis.CalcPosValue(2.5), 2);
  EXPECT_EQ(axis.CalcPosValue(1e12), std::numeric_limits<int>::max());
}

TEST(AxisMapping, DepthAxisIsAnOffsetFromZero) {
  TChartDepthAxis axis;
  Span(axis, 0, 60, -0.5, 2.5);
  EXPECT_EQ(axis.CalcPosValue(-0.5), 0);
  EXPECT_EQ(axis.CalcPosValue(0.5), 20);
  axis.SetInverted(true);
  EXPECT_EQ(axis.CalcPosValue(0.5), 40);
}

// ---- settings ----------------------------------------------------------------------------

class AxisSettings : public AxisFixture {};

TEST_F(AxisSettings, RefusedValuesRaiseAndKeepTheOldValue) {
  TChartAxis &axis = *panel->LeftAxis();
  axis.SetMinMax(0, 10);
  const struct {
    const char *name;
    std::function<void()> set;
    const std::string &message;
  } cases[] = {
      {"base 1", [&] { axis.SetLogarithmicBase(1); }, UloMsgAxisLogBase},
      {"base 0", [&] { axis.SetLogarithmicBase(0); }, UloMsgAxisLogBase},
      {"base NaN", [&] { axis.SetLogarithmicBase(kNaN); }, UloMsgAxisLogBase},
      {"separation -1", [&] { axis.SetLabelsSeparation(-1); }, UloMsgAxisLabelSep},
      {"increment -1", [&] { axis.SetIncrement(-1); }, UloMsgAxisIncrementNeg},
      {"increment NaN", [&] { axis.SetIncrement(kNaN); }, UloMsgAxisIncrementNeg},
      {"minimum above maximum", [&] { axis.SetMinimum(11); }, UloMsgAxisMinMax},
      {"maximum below minimum", [&] { axis.SetMaximum(-1); }, UloMsgAxisMaxMin},
  };
  for (const auto &c : cases) {
    try {
      c.set();
      ADD_FAILURE() << c.name << " was accepted";
    } catch (const AxisException &e) {
      EXPECT_EQ(e.Message(), c.message) << c.name;
    }
  }
  EXPECT_EQ(axis.LogarithmicBase(), 10);
  EXPECT_EQ(axis.LabelsSeparation(), 10);
  EXPECT_EQ(axis.Increment(), 0);
  EXPECT_EQ(axis.Minimum(), 0);
  EXPECT_EQ(axis.Maximum(), 10);
  axis.SetLabelsSeparation(0);
  EXPECT_EQ(axis.LabelsSeparation(), 0);
}

TEST_F(AxisSettings, LogarithmicRefusesDatesAndNegativeRanges) {
  AddSeries({{1, -5}, {2, 5}});
  auto refused = [](TChartAxis &axis, const std::string &message) {
    try {
      axis.SetLogarithmic(true);
      ADD_FAILURE() << message;
    } catch (const AxisException &e) {
      EXPECT_EQ(e.Message(), message);
    }
    EXPECT_FALSE(axis.Logarithmic());
  };
  refused(*panel->LeftAxis(), UloMsgAxisLogNotPositive);
  panel->GetSeries(0)->XValues()->SetDateTime(true);
  refused(*panel->BottomAxis(), UloMsgAxisLogDateTime);
}

TEST_F(AxisSettings, AutomaticFollowsBothEndsFlags) {
  TChartAxis &axis = *panel->LeftAxis();
  axis.SetAutomaticMaximum(false);
  EXPECT_FALSE(axis.Automatic());
  axis.SetAutomaticMaximum(true);
  EXPECT_TRUE(axis.Automatic());
  axis.SetAutomatic(false);
  axis.SetAutomaticMinimum(true);
  EXPECT_FALSE(axis.Automatic()) << "the maximum is still fixed";
  axis.SetAutomaticMaximum(true);
  EXPECT_TRUE(axis.Automatic());
}

TEST_F(AxisSettings, AnglesAreKeptIn0To359) {
  TChartAxis &axis = *panel->LeftAxis();
  for (auto [set, expected] : {std::pair{-90, 270}, {360, 0}, {725, 5}, {-360, 0}, {45, 45}}) {
    axis.SetLabelsAngle(set);
    EXPECT_EQ(axis.LabelsAngle(), expected) << set;
    axis.Title().SetAngle(set);
    EXPECT_EQ(axis.Title().Angle(), expected) << set;
  }
}

TEST_F(AxisSettings, SetMinMaxSwapsWidensAndCarriesCustomAxes) {
  TChartAxis &axis = *panel->LeftAxis();
  TChartAxis *custom = panel->CustomAxes().Add();
  custom->SetMasterAxis(&axis);
  axis.SetMinMax(5, 5);
  EXPECT_EQ(axis.Minimum(), 5);
  EXPECT_EQ(axis.Maximum(), 5 + 1e-10);
  EXPECT_FALSE(axis.Automatic() || axis.AutomaticMaximum() || axis.AutomaticMinimum());
  axis.SetMinMax(9, 3);
  EXPECT_EQ(axis.Minimum(), 3);
  EXPECT_EQ(axis.Maximum(), 9);
  EXPECT_EQ(custom->Minimum(), 3);
  EXPECT_EQ(custom->Maximum(), 9);
  EXPECT_TRUE(custom->IsCustom());
  EXPECT_FALSE(axis.IsCustom());
}

TEST_F(AxisSettings, ScrollWithLimitsOnlyTowardsData) {
  TChartAxis &axis = *panel->LeftAxis();
  AddSeries({{0, 0}, {1, 100}});
  axis.SetMinMax(0, 50);
  axis.Scroll(-10, true); // nothing below 0
  EXPECT_EQ(axis.Minimum(), 0);
  axis.Scroll(10, true);
  EXPECT_EQ(axis.Minimum(), 10);
  EXPECT_EQ(axis.Maximum(), 60);
  axis.Scroll(0, true);
  EXPECT_EQ(axis.Minimum(), 10);
  axis.Scroll(-100, false);
  EXPECT_EQ(axis.Minimum(), -90);
}

TEST_F(AxisSettings, AutomaticRangeComesFromTheSeriesAndRounds) {
  TChartAxis &axis = *panel->LeftAxis();
  AddSeries({{0, 3}, {1, 97}});
  Layout(axis);
  EXPECT_EQ(axis.Minimum(), 3);
  EXPECT_EQ(axis.Maximum(), 97);
  EXPECT_EQ(axis.IStartPos, 20);
  EXPECT_EQ(axis.IEndPos, 320);
  const double inc = axis.CalcLabelsIncrement();
  ASSERT_GT(inc, 0);
  axis.SetMaximumRound(true);
  axis.SetMinimumRound(true);
  Layout(axis);
  EXPECT_EQ(axis.IMinimum, std::floor(3 / inc) * inc);
  EXPECT_EQ(axis.IMaximum, std::ceil(97 / inc) * inc);
}

TEST_F(AxisSettings, MarginsWidenTheRangeNotThePixelSpan) {
  TChartAxis &axis = *panel->BottomAxis();
  axis.SetMinMax(0, 100);
  Layout(axis);
  ASSERT_EQ(axis.IAxisSize, 400);
  axis.AdjustMaxMinRect(TRect{40, 0, 40, 0});
  EXPECT_EQ(axis.IStartPos, 50);
  EXPECT_EQ(axis.IEndPos, 450);
  EXPECT_NEAR(axis.IMinimum, -12.5, 1e-9);
  EXPECT_NEAR(axis.IMaximum, 112.5, 1e-9);
  EXPECT_EQ(axis.CalcPosValue(0), 90);
}

TEST_F(AxisSettings, PositionsFollowStartAndEndPercent) {
  TChartAxis &axis = *panel->LeftAxis();
  axis.SetStartPosition(25);
  axis.SetEndPosition(75);
  axis.InternalCalcPositions();
  EXPECT_EQ(axis.IStartPos, 95);
  EXPECT_EQ(axis.IEndPos, 245);
  EXPECT_EQ(axis.ICenterPos, 170);
  axis.SetEndPosition(1e300);
  axis.InternalCalcPositions();
  EXPECT_EQ(axis.IEndPos, UloMaxPixel);
}

} // namespace

// ---- stored settings ------------------------------------------------------------------------

namespace {

class AxisStored : public AxisFixture {
protected:
  void SetUp() override {
    AxisFixture::SetUp();
    StartChartUnit();
  }
  void TearDown() override {
    StopChartUnit();
    AxisFixture::TearDown();
  }
};

TEST_F(AxisStored, DefaultsAreTheOnesTheAxesAreMadeWith) {
  // A default chart writes none of its axes' keys, and an axis line of
  // width 1 (not the default 2) comes back as written.
  TChart fresh;
  const std::string plain = streaming::WriteComponent(fresh);
  for (const char *axis : {"BottomAxis", "TopAxis", "LeftAxis", "RightAxis", "DepthAxis", "DepthTopAxis"})
    EXPECT_EQ(plain.find(std::string(axis) + "."), std::string::npos) << axis << " in\n" << plain;
  auto read = streaming::ReadComponent("TChart Chart1 {\n  LeftAxis.Axis.Width = 1\n}\n");
  auto *chart = dynamic_cast<TChart *>(read.get());
  ASSERT_NE(chart, nullptr);
  EXPECT_EQ(chart->LeftAxis()->Axis().Width(), 1);
  EXPECT_NE(streaming::WriteComponent(*chart).find("LeftAxis.Axis.Width = 1"), std::string::npos);
}

TEST_F(AxisStored, SettingsReadBackAsWritten) {
  TChart chart;
  TChartAxis &left = *chart.LeftAxis();
  left.SetMinMax(-3, 7);
  left.SetIncrement(2.5);
  left.SetLabelsSeparation(0);
  left.SetAxisValuesFormat("0.00");
  left.SetInverted(true);
  left.Grid().SetDrawEvery(3);
  left.Axis().SetLineMode(TPenLineMode::lmCylinder);
  left.Title().SetCaption("volts");
  left.Items().Add(4, "four");
  chart.BottomAxis()->SetLabels(false);
  chart.BottomAxis()->SetLogarithmic(true);

  const std::string text = streaming::WriteComponent(chart);
  auto read = streaming::ReadComponent(text);
  auto *back = dynamic_cast<TChart *>(read.get());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(streaming::WriteComponent(*back), text);
  // The same text again, and values that prove it was not read into defaults.
  TChartAxis &l = *back->LeftAxis();
  EXPECT_EQ(l.Minimum(), -3);
  EXPECT_EQ(l.Axis().LineMode(), TPenLineMode::lmCylinder);
  ASSERT_EQ(l.Items().Count(), 1);
  EXPECT_EQ(l.Items()[0].Text(), "four");
}

} // namespace
