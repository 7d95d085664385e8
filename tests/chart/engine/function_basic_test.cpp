#include "chart/engine/UloFunci.h"
#include "chart/engine/UloSeries.h"
#include "chart/engine/UloValueList.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloStartup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Pt {
  double X, Y;
};

void ExpectPoints(const TChartSeries &s, const std::vector<Pt> &want, const std::string &what) {
  ASSERT_EQ(s.PointCount(), static_cast<int>(want.size())) << what;
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_NEAR(s.XValueAt(static_cast<int>(i)), want[i].X, 1e-9) << what << " point " << i;
    EXPECT_NEAR(s.YValueAt(static_cast<int>(i)), want[i].Y, 1e-9) << what << " point " << i;
  }
}

using TMake = std::unique_ptr<TUloFunction> (*)();
template <class F> std::unique_ptr<TUloFunction> Make() { return std::make_unique<F>(); }

// A series whose X list is the mandatory one, as horizontal kinds have it.
class THorizontalSeries : public TChartSeries {
public:
  THorizontalSeries() { SetHorizontal(); }
};

class Functions : public ::testing::Test {
protected:
  static void SetUpTestSuite() { StartChartFoundation(); }
  static void TearDownTestSuite() { StopChartFoundation(); }

  // Fills Source with (i, values[i]).
  static void Fill(TChartSeries &source, const std::vector<double> &values) {
    for (size_t i = 0; i < values.size(); ++i)
      source.AddPointXY(static_cast<double>(i), values[i]);
  }

  static TUloFunction &Attach(TChartSeries &target, TMake make, std::vector<TChartSeries *> sources) {
    std::unique_ptr<TUloFunction> owned = make();
    TUloFunction &f = *owned;
    target.AttachFunction(std::move(owned));
    for (size_t i = 0; i < sources.size(); ++i)
      target.AddDataSource(sources[i], i == 0);
    return f;
  }
};

TEST_F(Functions, EachFunctionOverAllPointsAndByCount) {
  struct Case {
    const char *name;
    TMake make;
    double all;        // 3 1 4 1 5 9 2: one point at X 3
    double period3[2]; // 3 1 4 | 1 5 9 | 2: the last period runs past the end
  };
  const Case cases[] = {
      {"add", Make<TAddUloFunction>, 25, {8, 15}},
      {"high", Make<THighUloFunction>, 9, {4, 9}},
      {"low", Make<TLowUloFunction>, 1, {1, 1}},
      {"average", Make<TAverageUloFunction>, 25.0 / 7, {8.0 / 3, 5}},
      {"median", Make<TMedianUloFunction>, 3, {3, 5}},
      {"mode", Make<TModeUloFunction>, 1, {1, 1}},
      // Folds are several-sources functions: one source gives 0.
      {"subtract", Make<TSubtractUloFunction>, 0, {0, 0}},
  };
  for (const auto &c : cases)
    for (double period : {0.0, 3.0}) {
      TChartSeries source, target;
      Fill(source, {3, 1, 4, 1, 5, 9, 2});
      Attach(target, c.make, {&source}).SetPeriod(period);
      target.CopyAllPointsFrom(source);
      if (period == 0)
        ExpectPoints(target, {{3, c.all}}, c.name);
      else
        ExpectPoints(target, {{1, c.period3[0]}, {4, c.period3[1]}}, c.name);
    }
  // A series that wants two points gets them at both ends of the range.
  TChartSeries source, target;
  Fill(source, {1, 2, 3});
  Attach(target, Make<TAddUloFunction>, {&source});
  target.SetSingleFunctionPoint(false);
  target.CopyAllPointsFrom(source);
  ExpectPoints(target, {{0, 6}, {2, 6}}, "add, two points");
}

TEST_F(Functions, PeriodsByCountAndByRange) {
  using A = TFunctionPeriodAlign;
  const std::vector<Pt> seven{{0, 3}, {1, 1}, {2, 4}, {3, 1}, {4, 5}, {5, 9}, {6, 2}};
  const std::vector<Pt> eachPoint = seven;
  struct Case {
    bool range;
    std::vector<Pt> source;
    double period;
    A align;
    std::vector<Pt> want;
  };
  const Case cases[] = {
      {false, seven, 3, A::paFirst, {{0, 8}, {3, 15}}},
      {false, seven, 3, A::paLast, {{2, 8}, {5, 15}}},
      // Periods round halves to even: 2.5 is 2, 3.5 is 4.
      {false, seven, 2.5, A::paFirst, {{0, 4}, {2, 5}, {4, 14}}},
      {false, seven, 3.5, A::paFirst, {{0, 9}}},
      // A count that rounds to 0 counts as 1 instead of never moving on.
      {false, seven, 0.5, A::paCenter, eachPoint},
      {false, seven, 8, A::paCenter, {}},
      // Spans [0,2) [2,4) ...; a span ends at B - 0.001 * Period.
      {true, seven, 2, A::paCenter, {{0.999, 4}, {2.999, 5}, {4.999, 14}, {6.999, 2}}},
      {true, seven, 2, A::paLast, {{1.998, 4}, {3.998, 5}, {5.998, 14}, {7.998, 2}}},
      // A span without points gives 0 and keeps the walk on the same point.
      {true, {{0, 1}, {1, 2}, {5, 3}}, 2, A::paFirst, {{0, 3}, {2, 0}, {4, 3}}},
      // A period too small to move X on stops instead of walking for ever.
      {true, {{1e20, 1}, {2e20, 2}}, 1, A::paFirst, {}},
  };
  for (const auto &c : cases) {
    TChartSeries source, target;
    for (const auto &p : c.source)
      source.AddPointXY(p.X, p.Y);
    TUloFunction &f = Attach(target, Make<TAddUloFunction>, {&source});
    if (c.range) f.SetPeriodStyle(TFunctionPeriodStyle::psRange);
    f.SetPeriod(c.period);
    f.SetPeriodAlign(c.align);
    target.CopyAllPointsFrom(source);
    ExpectPoints(target, c.want, (c.range ? "range " : "count ") + std::to_string(c.period));
  }
}

TEST_F(Functions, DateRangesFollowTheCalendar) {
  TChartSeries source, target;
  source.XValues()->SetDateTime(true);
  // 1 Jan, 15 Jan, 1 Feb, 20 Feb, 5 Mar 2026 (day numbers from 30 Dec 1899).
  const double jan1 = 46023;
  for (auto [day, y] : std::vector<std::pair<double, double>>{{0, 1}, {14, 2}, {31, 10}, {50, 20}, {63, 100}})
    source.AddPointXY(jan1 + day, y);
  TUloFunction &f = Attach(target, Make<TAddUloFunction>, {&source});
  f.SetPeriodStyle(TFunctionPeriodStyle::psRange);
  f.SetPeriodAlign(TFunctionPeriodAlign::paFirst);
  // One month: February's 28 days and January's 31 each make one span.
  f.SetPeriod(30);
  target.CopyAllPointsFrom(source);
  ExpectPoints(target, {{jan1, 3}, {jan1 + 31, 30}, {jan1 + 59, 100}}, "months");
}

TEST_F(Functions, NullsCountOnlyWhenIncluded) {
  struct Case {
    const char *name;
    TMake make;
    double withNulls, withoutNulls; // over 2, null (0), 4, 9
  };
  // Left-out nulls leave no zero behind in the sorted values.
  const Case cases[] = {{"average", Make<TAverageUloFunction>, 15.0 / 4, 5},
                        {"median", Make<TMedianUloFunction>, 3, 4},
                        {"mode", Make<TModeUloFunction>, 0, 2}};
  for (const auto &c : cases)
    for (double period : {0.0, 4.0}) // the cached total, or First to Last
      for (bool include : {true, false}) {
        TChartSeries source, target;
        source.AddPointXY(0, 2);
        source.AddNullPointXY(1, 0);
        source.AddPointXY(2, 4);
        source.AddPointXY(3, 9);
        TUloFunction &f = Attach(target, c.make, {&source});
        if (auto *a = dynamic_cast<TAverageUloFunction *>(&f)) a->SetIncludeNulls(include);
        if (auto *s = dynamic_cast<TCustomSortedFunction *>(&f)) s->SetIncludeNulls(include);
        f.SetPeriod(period);
        target.CopyAllPointsFrom(source);
        ExpectPoints(target, {{1.5, include ? c.withNulls : c.withoutNulls}},
                     std::string(c.name) + (include ? " with nulls" : " without nulls"));
      }
}

TEST_F(Functions, SortedValuesAndEmptyRanges) {
  struct Case {
    std::vector<double> values;
    double median, mode;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {{7}, 7, 7},
      {{3, 1, 2}, 2, 1},
      {{4, 1, 3, 2}, 2.5, 1},
      {{1, 2, 2, 3, 3}, 2, 2},
      {{5, 1}, 3, 1},
      {{-1, -8, -1, 10, 10, 10}, 4.5, 10},
      {{}, 0, 0},
      {{1, nan, 2}, nan, nan}, // a NaN is not sorted away
  };
  for (const auto &c : cases) {
    TChartSeries source;
    Fill(source, c.values);
    const double median = TMedianUloFunction().Calculate(source, -1, -1);
    const double mode = TModeUloFunction().Calculate(source, -1, -1);
    EXPECT_TRUE(median == c.median || (std::isnan(median) && std::isnan(c.median))) << c.values.size();
    EXPECT_TRUE(mode == c.mode || (std::isnan(mode) && std::isnan(c.mode))) << c.values.size();
  }
  TChartSeries source;
  Fill(source, {-5, -6});
  TAddUloFunction add;
  THighUloFunction high;
  TLowUloFunction low;
  TAverageUloFunction average;
  for (TUloFunction *f : std::initializer_list<TUloFunction *>{&add, &high, &low, &average})
    EXPECT_EQ(f->Calculate(source, 1, 0), 0) << f->ClassName();
  TChartSeries empty;
  EXPECT_EQ(average.Calculate(empty, -1, -1), 0);
  // All-negative ranges keep their sign.
  EXPECT_EQ(high.Calculate(source, 0, 1), -5);
  EXPECT_EQ(low.Calculate(source, 0, 1), -6);
}

TEST_F(Functions, SeveralSourcesOfUnequalLengths) {
  struct Case {
    const char *name;
    TMake make;
    std::vector<double> want;
  };
  // Index:   0   1   2   3
  // s1:     10  20  30
  // s2:      3   4
  // s3:      1   0   5   7   (the longest: its X values and labels are used)
  const Case cases[] = {
      {"add", Make<TAddUloFunction>, {14, 24, 35, 7}},
      {"subtract", Make<TSubtractUloFunction>, {6, 16, 25, 7}},
      {"multiply", Make<TMultiplyUloFunction>, {30, 0, 150, 7}},
      // Dividing by 0 leaves the quotient as it was.
      {"divide", Make<TDivideUloFunction>, {10.0 / 3, 5, 6, 7}},
      {"high", Make<THighUloFunction>, {10, 20, 30, 7}},
      {"low", Make<TLowUloFunction>, {1, 0, 5, 7}},
      {"average", Make<TAverageUloFunction>, {14.0 / 3, 8, 17.5, 7}},
      {"median", Make<TMedianUloFunction>, {3, 4, 17.5, 7}},
      {"mode", Make<TModeUloFunction>, {1, 0, 5, 7}},
  };
  for (const auto &c : cases) {
    TChartSeries s1, s2, s3, target;
    Fill(s1, {10, 20, 30});
    Fill(s2, {3, 4});
    for (auto [x, y] : std::vector<std::pair<double, double>>{{100, 1}, {200, 0}, {300, 5}, {400, 7}})
      s3.AddPointXY(x, y, "L" + std::to_string(static_cast<int>(x)));
    Attach(target, c.make, {&s1, &s2, &s3});
    target.CopyAllPointsFrom(s1);
    ExpectPoints(target, {{100, c.want[0]}, {200, c.want[1]}, {300, c.want[2]}, {400, c.want[3]}}, c.name);
    EXPECT_EQ(target.Label(2), "L300") << c.name;
  }
}

TEST_F(Functions, SeveralSourcesEdgeCases) {
  // The first source too short for index 5; the others hold -3 and -7.
  TChartSeries s1, s2, s3, target;
  Fill(s1, {1, 2});
  Fill(s2, {0, 0, 0, 0, 0, -3});
  Fill(s3, {0, 0, 0, 0, 0, -7});
  Attach(target, Make<THighUloFunction>, {&s1, &s2, &s3});
  target.CopyAllPointsFrom(s1);
  EXPECT_EQ(target.YValueAt(5), -3);
  // Left-out nulls and missing indexes add no phantom zeros.
  TChartSeries n1, n2, n3, median;
  n1.AddPointXY(0, 6);
  n2.AddNullPointXY(0, 100);
  n3.AddPointXY(0, 2);
  n3.AddPointXY(1, 5);
  static_cast<TMedianUloFunction &>(Attach(median, Make<TMedianUloFunction>, {&n1, &n2, &n3})).SetIncludeNulls(false);
  median.CopyAllPointsFrom(n1);
  ExpectPoints(median, {{0, 4}, {1, 5}}, "median of several sources");
  // A horizontal reference exchanges X and the value.
  THorizontalSeries h1, h2;
  TChartSeries sum;
  h1.AddPointXY(10, 0);
  h1.AddPointXY(20, 1);
  h2.AddPointXY(1, 0);
  h2.AddPointXY(2, 1);
  Attach(sum, Make<TAddUloFunction>, {&h1, &h2});
  sum.CopyAllPointsFrom(h1);
  ExpectPoints(sum, {{11, 0}, {22, 1}}, "horizontal sum");
}

TEST_F(Functions, TheTargetsValueSourceNamesTheListRead) {
  struct TExtraSeries : TChartSeries {
    TChartValueList *extra = new TChartValueList(this, "Extra");
  } source;
  TChartSeries target;
  for (int i = 0; i < 3; ++i) {
    source.extra->TempValue = 100.0 * (i + 1);
    source.AddPointXY(i, i + 1);
  }
  Attach(target, Make<TAddUloFunction>, {&source});
  target.MandatoryValueList()->SetValueSource("extra");
  target.CopyAllPointsFrom(source);
  ExpectPoints(target, {{1, 600}}, "sum of Extra");
}

TEST_F(Functions, CustomFunctionNeedsOnlyItsEvent) {
  TChartSeries target;
  auto &f = static_cast<TCustomUloFunction &>(Attach(target, Make<TCustomUloFunction>, {}));
  f.AddPoints(nullptr);
  EXPECT_EQ(target.PointCount(), 0) << "no event, no points";
  f.OnCalculate = [](TCustomUloFunction &, double x, double &y) { y = x * x; };
  f.AddPoints(nullptr);
  ASSERT_EQ(target.PointCount(), 100);
  EXPECT_EQ(target.XValueAt(99), 99);
  EXPECT_EQ(target.YValueAt(7), 49);
  // Refilling clears first.
  f.SetStartX(-1);
  f.SetNumPoints(3);
  f.SetPeriod(0.5);
  f.AddPoints(nullptr);
  ExpectPoints(target, {{-1, 1}, {-0.5, 0.25}, {0, 0}}, "custom");
  THorizontalSeries horizontal;
  auto &g = static_cast<TCustomUloFunction &>(Attach(horizontal, Make<TCustomUloFunction>, {}));
  g.SetNumPoints(2);
  g.OnCalculate = [](TCustomUloFunction &, double x, double &y) { y = 10 + x; };
  g.AddPoints(nullptr);
  ExpectPoints(horizontal, {{10, 0}, {11, 1}}, "custom, horizontal");
}

TEST_F(Functions, PeriodMustNotBeNegative) {
  TAverageUloFunction a;
  a.SetPeriod(2);
  for (double bad : {-1.0, -1e-300, std::numeric_limits<double>::quiet_NaN()}) {
    try {
      a.SetPeriod(bad);
      ADD_FAILURE() << bad << " was taken";
    } catch (const ChartException &e) {
      EXPECT_EQ(e.Message(), "Function Period should be >= 0");
    }
    EXPECT_EQ(a.Period(), 2);
  }
}

} // namespace
