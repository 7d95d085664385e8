// Axes laid out and drawn over random and hostile ranges and settings: every
// drawing ends, raises nothing and labels only inside the range.
#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "axis_support.h"
#include "chart/foundation/UloProcs.h"

using namespace axis_test;

namespace {

class AxisRandom : public AxisFixture {
protected:
  void LayOutAndDraw(TChartAxis &axis) {
    axis.InternalCalcPositions();
    axis.AdjustMaxMin();
    TRect r = panel->ChartRect;
    axis.CalcRect(r, true);
    axis.ResetLabelMeasures();
    axis.CalcRect(r, false);
    axis.DrawAxis(true);
    EXPECT_LE(axis.Items().Count(), UloAxisMaxLabels);
    // Value labels stay within the range, from the top down.
    if (axis.Logarithmic()) return;
    const double min = axis.IMinimum, max = axis.IMaximum;
    const double slack = std::max((max - min) * 1e-9, 0.5 * (max - min) / std::max(1, axis.IAxisSize));
    const std::vector<double> got = LabelValues(axis);
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_TRUE(got[i] >= min - slack && got[i] <= max + slack) << got[i] << " of " << min << ".." << max;
      if (i > 0) {
        EXPECT_LT(got[i], got[i - 1]);
      }
    }
  }
};

TEST_F(AxisRandom, NumbersOfEveryMagnitudeAndKind) {
  std::mt19937 random(1);
  std::uniform_real_distribution<double> u(-1, 1);
  const double inf = std::numeric_limits<double>::infinity();
  const double specials[] = {0, 1e-320, -1e-320, 1e308, -1e308, inf, -inf, std::nan(""), 1e-12, 5e-13};
  for (int k = 0; k < 1500; ++k) {
    TChartAxis &axis = (k % 2) ? *panel->BottomAxis() : *panel->LeftAxis();
    axis.SetLabelStyle(TAxisLabelStyle::talValue);
    double a, b;
    if (k % 7 == 0) {
      a = specials[random() % std::size(specials)];
      b = specials[random() % std::size(specials)];
    } else {
      const double scale = std::pow(10.0, u(random) * 300);
      a = u(random) * scale;
      b = a + std::fabs(u(random)) * scale * std::pow(10.0, u(random) * 10);
    }
    axis.SetAutomatic(false);
    axis.SetLogarithmic(false);
    axis.SetLogarithmicBase(k % 11 == 0 ? 0.5 : (k % 13 == 0 ? 2 : 10));
    axis.SetMinMax(-1e308, 1e308);
    try {
      axis.SetMinimum(a);
      axis.SetMaximum(b);
      if (k % 5 == 0) axis.SetLogarithmic(true);
    } catch (const AxisException &) {
    }
    const double step = std::fabs(u(random)) * std::fabs(b - a);
    axis.SetIncrement(k % 3 == 0 && step >= 0 ? step : 0);
    axis.SetLabelsSeparation(k % 4 == 0 ? 0 : 10);
    axis.SetLabelsAngle(static_cast<int>(random() % 360));
    axis.SetLabelsAlternate(k % 6 == 0);
    axis.MinorGrid().SetVisible(k % 2 == 0);
    LayOutAndDraw(axis);
  }
}

TEST_F(AxisRandom, DatesOnAndOffTheCalendar) {
  std::mt19937 random(2);
  std::uniform_real_distribution<double> u(-1, 1);
  TPlainSeries &s = AddSeries({{0, 0}});
  s.XValues()->SetDateTime(true);
  TChartAxis &axis = *panel->BottomAxis();
  axis.SetLabelStyle(TAxisLabelStyle::talValue);
  for (int k = 0; k < 1000; ++k) {
    double a = u(random) * std::pow(10.0, 1 + std::fabs(u(random)) * 8);
    double b = a + std::fabs(u(random)) * std::pow(10.0, u(random) * 8);
    if (k % 50 == 0) {
      a = 1e300;
      b = 1e301;
    }
    axis.SetMinMax(a, b);
    axis.SetExactDateTime(k % 2 == 0);
    axis.SetIncrement(k % 3 == 0 ? UloDateTimeSteps[random() % UloDateTimeSteps.size()] : 0);
    LayOutAndDraw(axis);
    if (a > 3e6) {
      EXPECT_EQ(axis.Items().Count(), 0) << "no dates beyond the year 9999";
    }
  }
}

} // namespace
