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
  bool operator==(const Pt &) const = default;
};

std::vector<Pt> Points(const TChartSeries &s) {
  std::vector<Pt> r;
  for (int i = 0; i < s.PointCount(); ++i)
    r.push_back({s.XValueAt(i), s.YValueAt(i)});
  return r;
}

void ExpectPoints(const TChartSeries &s, const std::vector<Pt> &want, const std::string &what) {
  const std::vector<Pt> got = Points(s);
  ASSERT_EQ(got.size(), want.size()) << what;
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_NEAR(got[i].X, want[i].X, 1e-9) << what << " point " << i;
    EXPECT_NEAR(got[i].Y, want[i].Y, 1e-9) << what << " point " << i;
  }
}

// A series whose X list is the mandatory one, as horizontal kinds have it.
class THorizontalSeries : public TChartSeries {
public:
  THorizontalSeries() { SetHorizontal(); }
};

// A series with a third list, "Extra".
class TExtraSeries : public TChartSeries {
public:
  TExtraSeries() { extra = new TChartValueList(this, "Extra"); }
  TChartValueList *extra;
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

  template <class F> F &Attach(TChartSeries &target, std::vector<TChartSeries *> sources) {
    auto f = std::make_unique<F>();
    F &ref = *f;
    target.AttachFunction(std::move(f));
    for (size_t i = 0; i < sources.size(); ++i)
      target.AddDataSource(sources[i], i == 0);
    return ref;
  }
};

// ---- one source, one value over all points --------------------------------------

TEST_F(Functions, EachFunctionOverAllPoints) {
  struct Case {
    const char *name;
    std::unique_ptr<TUloFunction> (*make)();
    double want;
  };
  const std::vector<double> values{3, 1, 4, 1, 5, 9, 2, 6};
  const Case cases[] = {
      {"add", [] { return std::unique_ptr<TUloFunction>(new TAddUloFunction); }, 31},
      {"high", [] { return std::unique_ptr<TUloFunction>(new THighUloFunction); }, 9},
      {"low", [] { return std::unique_ptr<TUloFunction>(new TLowUloFunction); }, 1},
      {"average", [] { return std::unique_ptr<TUloFunction>(new TAverageUloFunction); }, 31.0 / 8},
      {"median", [] { return std::unique_ptr<TUloFunction>(new TMedianUloFunction); }, 3.5},
      {"mode", [] { return std::unique_ptr<TUloFunction>(new TModeUloFunction); }, 1},
      // Folds are several-sources functions: one source gives 0.
      {"subtract", [] { return std::unique_ptr<TUloFunction>(new TSubtractUloFunction); }, 0},
  };
  for (const auto &c : cases) {
    TChartSeries source, target;
    Fill(source, values);
    target.AttachFunction(c.make());
    target.SetDataSource(&source);
    target.CopyAllPointsFrom(source);
    // One point, in the middle of the X range.
    ExpectPoints(target, {{3.5, c.want}}, c.name);
  }
}

TEST_F(Functions, TwoPointsWhenTheSeriesWantsThem) {
  TChartSeries source, target;
  Fill(source, {1, 2, 3});
  Attach<TAddUloFunction>(target, {&source});
  target.SetSingleFunctionPoint(false);
  target.CopyAllPointsFrom(source);
  ExpectPoints(target, {{0, 6}, {2, 6}}, "add, two points");
}

// ---- one source, by number of points --------------------------------------------------

TEST_F(Functions, PeriodsByCountInEveryAlignment) {
  struct Case {
    double period;
    TFunctionPeriodAlign align;
    std::vector<Pt> want;
  };
  // Y = 3 1 4 1 5 9 2 at X = 0..6; Add sums each period.
  const Case cases[] = {
      // The seventh point starts a period that runs past the end: no point.
      {3, TFunctionPeriodAlign::paCenter, {{1, 8}, {4, 15}}},
      {3, TFunctionPeriodAlign::paFirst, {{0, 8}, {3, 15}}},
      {3, TFunctionPeriodAlign::paLast, {{2, 8}, {5, 15}}},
      // Periods round halves to even: 2.5 is 2, 3.5 is 4.
      {2.5, TFunctionPeriodAlign::paFirst, {{0, 4}, {2, 5}, {4, 14}}},
      {3.5, TFunctionPeriodAlign::paFirst, {{0, 9}}},
      // A count that rounds to 0 counts as 1 instead of never moving on.
      {0.5, TFunctionPeriodAlign::paCenter, {{0, 3}, {1, 1}, {2, 4}, {3, 1}, {4, 5}, {5, 9}, {6, 2}}},
      {0.25, TFunctionPeriodAlign::paLast, {{0, 3}, {1, 1}, {2, 4}, {3, 1}, {4, 5}, {5, 9}, {6, 2}}},
      // A period longer than the source adds nothing.
      {8, TFunctionPeriodAlign::paCenter, {}},
  };
  for (const auto &c : cases) {
    TChartSeries source, target;
    Fill(source, {3, 1, 4, 1, 5, 9, 2});
    auto &f = Attach<TAddUloFunction>(target, {&source});
    f.SetPeriod(c.period);
    f.SetPeriodAlign(c.align);
    target.CopyAllPointsFrom(source);
    ExpectPoints(target, c.want, "period " + std::to_string(c.period));
  }
}

TEST_F(Functions, PeriodsByCountForEachFunction) {
  struct Case {
    const char *name;
    std::unique_ptr<TUloFunction> (*make)();
    std::vector<double> want;
  };
  // Periods of 3 over 3 1 4 | 1 5 9 | 2.
  const Case cases[] = {
      {"high", [] { return std::unique_ptr<TUloFunction>(new THighUloFunction); }, {4, 9}},
      {"low", [] { return std::unique_ptr<TUloFunction>(new TLowUloFunction); }, {1, 1}},
      {"average", [] { return std::unique_ptr<TUloFunction>(new TAverageUloFunction); }, {8.0 / 3, 5}},
      {"median", [] { return std::unique_ptr<TUloFunction>(new TMedianUloFunction); }, {3, 5}},
      {"mode", [] { return std::unique_ptr<TUloFunction>(new TModeUloFunction); }, {1, 1}},
  };
  for (const auto &c : cases) {
    TChartSeries source, target;
    Fill(source, {3, 1, 4, 1, 5, 9, 2});
    target.AttachFunction(c.make());
    target.SetDataSource(&source);
    target.FunctionType()->SetPeriod(3);
    target.CopyAllPointsFrom(source);
    ExpectPoints(target, {{1, c.want[0]}, {4, c.want[1]}}, c.name);
  }
}

// ---- one source, by range of X ------------------------------------------------------------

TEST_F(Functions, PeriodsByRange) {
  struct Case {
    std::vector<Pt> source;
    double period;
    TFunctionPeriodAlign align;
    std::vector<Pt> want;
  };
  const Case cases[] = {
      // Spans [0,2) [2,4) [4,6) [6,8); the end of a span is B - 0.001 * Period.
      {{{0, 3}, {1, 1}, {2, 4}, {3, 1}, {4, 5}, {5, 9}, {6, 2}},
       2,
       TFunctionPeriodAlign::paCenter,
       {{0.999, 4}, {2.999, 5}, {4.999, 14}, {6.999, 2}}},
      {{{0, 3}, {1, 1}, {2, 4}, {3, 1}, {4, 5}, {5, 9}, {6, 2}},
       2,
       TFunctionPeriodAlign::paLast,
       {{1.998, 4}, {3.998, 5}, {5.998, 14}, {7.998, 2}}},
      // A span without points gives 0 and keeps the walk on the same point.
      {{{0, 1}, {1, 2}, {5, 3}}, 2, TFunctionPeriodAlign::paFirst, {{0, 3}, {2, 0}, {4, 3}}},
      {{{0, 1}, {7, 2}}, 3, TFunctionPeriodAlign::paFirst, {{0, 1}, {3, 0}, {6, 2}}},
      // A period too small to move X on stops instead of walking for ever.
      {{{1e20, 1}, {2e20, 2}}, 1, TFunctionPeriodAlign::paFirst, {}},
  };
  for (const auto &c : cases) {
    TChartSeries source, target;
    for (const auto &p : c.source)
      source.AddPointXY(p.X, p.Y);
    auto &f = Attach<TAddUloFunction>(target, {&source});
    f.SetPeriodStyle(TFunctionPeriodStyle::psRange);
    f.SetPeriod(c.period);
    f.SetPeriodAlign(c.align);
    target.CopyAllPointsFrom(source);
    ExpectPoints(target, c.want, "range " + std::to_string(c.period));
  }
}

TEST_F(Functions, DateRangesFollowTheCalendar) {
  TChartSeries source, target;
  source.XValues()->SetDateTime(true);
  // 1 Jan, 15 Jan, 1 Feb, 20 Feb, 5 Mar 2026 (day numbers from 30 Dec 1899).
  const double jan1 = 46023;
  for (auto [day, y] : std::vector<std::pair<double, double>>{{0, 1}, {14, 2}, {31, 10}, {50, 20}, {63, 100}})
    source.AddPointXY(jan1 + day, y);
  auto &f = Attach<TAddUloFunction>(target, {&source});
  f.SetPeriodStyle(TFunctionPeriodStyle::psRange);
  f.SetPeriodAlign(TFunctionPeriodAlign::paFirst);
  // One month: February's 28 days and January's 31 each make one span.
  f.SetPeriod(30);
  target.CopyAllPointsFrom(source);
  EXPECT_TRUE(target.XValues()->DateTime());
  ExpectPoints(target, {{jan1, 3}, {jan1 + 31, 30}, {jan1 + 59, 100}}, "months");
}

// ---- nulls ------------------------------------------------------------------------------

TEST_F(Functions, NullsCountOnlyWhenIncluded) {
  struct Case {
    const char *name;
    std::unique_ptr<TUloFunction> (*make)(bool includeNulls);
    double withNulls, withoutNulls;
  };
  // 2, null (0), 4, 9.
  const Case cases[] = {
      {"average",
       [](bool n) {
         auto f = std::make_unique<TAverageUloFunction>();
         f->SetIncludeNulls(n);
         return std::unique_ptr<TUloFunction>(std::move(f));
       },
       15.0 / 4, 5},
      // Left-out nulls leave no zero behind in the sorted values.
      {"median",
       [](bool n) {
         auto f = std::make_unique<TMedianUloFunction>();
         f->SetIncludeNulls(n);
         return std::unique_ptr<TUloFunction>(std::move(f));
       },
       3, 4},
      {"mode",
       [](bool n) {
         auto f = std::make_unique<TModeUloFunction>();
         f->SetIncludeNulls(n);
         return std::unique_ptr<TUloFunction>(std::move(f));
       },
       0, 2},
  };
  for (const auto &c : cases)
    for (bool include : {true, false}) {
      TChartSeries source, target;
      source.AddPointXY(0, 2);
      source.AddNullPointXY(1, 0);
      source.AddPointXY(2, 4);
      source.AddPointXY(3, 9);
      target.AttachFunction(c.make(include));
      target.SetDataSource(&source);
      // First to Last, not the cached total: period 4 covers all points.
      target.FunctionType()->SetPeriod(4);
      target.CopyAllPointsFrom(source);
      ExpectPoints(target, {{1.5, include ? c.withNulls : c.withoutNulls}},
                   std::string(c.name) + (include ? " with nulls" : " without nulls"));
    }
}

TEST_F(Functions, AverageLeavesOutNullsOverAllPoints) {
  TChartSeries source, target;
  source.AddPointXY(0, 2);
  source.AddNullPointXY(1, 7);
  source.AddPointXY(2, 4);
  auto &f = Attach<TAverageUloFunction>(target, {&source});
  f.SetIncludeNulls(false);
  target.CopyAllPointsFrom(source);
  ExpectPoints(target, {{1, 3}}, "average without nulls");
}

// ---- sorted values ------------------------------------------------------------------------

TEST_F(Functions, MedianAndModeOfSortedValues) {
  struct Case {
    std::vector<double> values;
    double median, mode;
  };
  const Case cases[] = {
      {{7}, 7, 7},
      {{3, 1, 2}, 2, 1},
      {{4, 1, 3, 2}, 2.5, 1},
      {{1, 2, 2, 3, 3}, 2, 2},
      {{5, 1}, 3, 1},
      {{-1, -8, -1, 10, 10, 10}, 4.5, 10},
      {{}, 0, 0},
  };
  for (const auto &c : cases) {
    TChartSeries source;
    Fill(source, c.values);
    TMedianUloFunction median;
    TModeUloFunction mode;
    EXPECT_EQ(median.Calculate(source, -1, -1), c.median) << c.values.size() << " values";
    EXPECT_EQ(mode.Calculate(source, -1, -1), c.mode) << c.values.size() << " values";
  }
}

TEST_F(Functions, NaNIsNotSortedAway) {
  TChartSeries source;
  Fill(source, {1, std::numeric_limits<double>::quiet_NaN(), 2, 3});
  TMedianUloFunction median;
  TModeUloFunction mode;
  EXPECT_TRUE(std::isnan(median.Calculate(source, -1, -1)));
  EXPECT_TRUE(std::isnan(mode.Calculate(source, -1, -1)));
}

TEST_F(Functions, EmptyRangesGiveZero) {
  TChartSeries source;
  Fill(source, {-5, -6});
  TAddUloFunction add;
  THighUloFunction high;
  TLowUloFunction low;
  TAverageUloFunction average;
  TMedianUloFunction median;
  for (TUloFunction *f : std::initializer_list<TUloFunction *>{&add, &high, &low, &average, &median})
    EXPECT_EQ(f->Calculate(source, 1, 0), 0) << f->ClassName();
  TChartSeries empty;
  EXPECT_EQ(average.Calculate(empty, -1, -1), 0);
  EXPECT_EQ(median.Calculate(empty, -1, -1), 0);
  // All-negative ranges keep their sign.
  EXPECT_EQ(high.Calculate(source, 0, 1), -5);
  EXPECT_EQ(low.Calculate(source, 0, 1), -6);
}

// ---- several sources ----------------------------------------------------------------------

TEST_F(Functions, SeveralSourcesOfUnequalLengths) {
  struct Case {
    const char *name;
    std::unique_ptr<TUloFunction> (*make)();
    std::vector<double> want;
  };
  // Index:   0   1   2   3
  // s1:     10  20  30
  // s2:      3   4
  // s3:      1   0   5   7   (the longest: its X values are used)
  const Case cases[] = {
      {"add", [] { return std::unique_ptr<TUloFunction>(new TAddUloFunction); }, {14, 24, 35, 7}},
      {"subtract", [] { return std::unique_ptr<TUloFunction>(new TSubtractUloFunction); }, {6, 16, 25, 7}},
      {"multiply", [] { return std::unique_ptr<TUloFunction>(new TMultiplyUloFunction); }, {30, 0, 150, 7}},
      // Dividing by 0 leaves the quotient as it was.
      {"divide", [] { return std::unique_ptr<TUloFunction>(new TDivideUloFunction); }, {10.0 / 3, 5, 6, 7}},
      {"high", [] { return std::unique_ptr<TUloFunction>(new THighUloFunction); }, {10, 20, 30, 7}},
      {"low", [] { return std::unique_ptr<TUloFunction>(new TLowUloFunction); }, {1, 0, 5, 7}},
      {"average", [] { return std::unique_ptr<TUloFunction>(new TAverageUloFunction); }, {14.0 / 3, 8, 17.5, 7}},
      {"median", [] { return std::unique_ptr<TUloFunction>(new TMedianUloFunction); }, {3, 4, 17.5, 7}},
      {"mode", [] { return std::unique_ptr<TUloFunction>(new TModeUloFunction); }, {1, 0, 5, 7}},
  };
  for (const auto &c : cases) {
    TChartSeries s1, s2, s3, target;
    Fill(s1, {10, 20, 30});
    Fill(s2, {3, 4});
    for (auto [x, y] : std::vector<std::pair<double, double>>{{100, 1}, {200, 0}, {300, 5}, {400, 7}})
      s3.AddPointXY(x, y, "L" + std::to_string(static_cast<int>(x)));
    target.AttachFunction(c.make());
    target.AddDataSource(&s1, true);
    target.AddDataSource(&s2);
    target.AddDataSource(&s3);
    target.CopyAllPointsFrom(s1);
    ExpectPoints(target, {{100, c.want[0]}, {200, c.want[1]}, {300, c.want[2]}, {400, c.want[3]}}, c.name);
    ASSERT_EQ(target.PointCount(), 4);
    EXPECT_EQ(target.Label(2), "L300") << c.name;
  }
}

TEST_F(Functions, HighOfNegativeValuesWhereTheFirstSourceIsShort) {
  TChartSeries s1, s2, s3, target;
  Fill(s1, {1, 2});
  Fill(s2, {0, 0, 0, 0, 0, -3});
  Fill(s3, {0, 0, 0, 0, 0, -7});
  Attach<THighUloFunction>(target, {&s1, &s2, &s3});
  target.CopyAllPointsFrom(s1);
  ASSERT_EQ(target.PointCount(), 6);
  EXPECT_EQ(target.YValueAt(5), -3);
  Attach<TLowUloFunction>(target, {&s1, &s2, &s3});
  target.CopyAllPointsFrom(s1);
  EXPECT_EQ(target.YValueAt(5), -7);
}

TEST_F(Functions, SeveralSourcesLeaveOutNullsAndMissingIndexes) {
  TChartSeries s1, s2, s3, target;
  s1.AddPointXY(0, 6);
  s2.AddNullPointXY(0, 100);
  s3.AddPointXY(0, 2);
  s3.AddPointXY(1, 5);
  auto &f = Attach<TMedianUloFunction>(target, {&s1, &s2, &s3});
  f.SetIncludeNulls(false);
  target.CopyAllPointsFrom(s1);
  // Index 0: 6 and 2 (the null left out); index 1: 5 alone, no phantom zeros.
  ExpectPoints(target, {{0, 4}, {1, 5}}, "median of several sources");
}

TEST_F(Functions, AHorizontalReferenceExchangesXAndValue) {
  THorizontalSeries s1, s2;
  TChartSeries target;
  // Horizontal: the values are in X, the positions in Y.
  s1.AddPointXY(10, 0);
  s1.AddPointXY(20, 1);
  s2.AddPointXY(1, 0);
  s2.AddPointXY(2, 1);
  Attach<TAddUloFunction>(target, {&s1, &s2});
  target.CopyAllPointsFrom(s1);
  ExpectPoints(target, {{11, 0}, {22, 1}}, "horizontal sum");
}

// ---- the list a function reads -------------------------------------------------------------

TEST_F(Functions, TheTargetsValueSourceNamesTheListRead) {
  TExtraSeries source;
  TChartSeries target;
  for (int i = 0; i < 3; ++i) {
    source.extra->TempValue = 100.0 * (i + 1);
    source.AddPointXY(i, i + 1);
  }
  Attach<TAddUloFunction>(target, {&source});
  target.MandatoryValueList()->SetValueSource("extra");
  target.CopyAllPointsFrom(source);
  ExpectPoints(target, {{1, 600}}, "sum of Extra");
}

// ---- y = f(x) ----------------------------------------------------------------------------

TEST_F(Functions, CustomFunctionNeedsOnlyItsEvent) {
  TChartSeries target;
  auto &f = Attach<TCustomUloFunction>(target, {});
  EXPECT_TRUE(f.NoSourceNeeded());
  EXPECT_EQ(f.Period(), 1.0);
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
}

TEST_F(Functions, CustomFunctionOnAHorizontalSeries) {
  THorizontalSeries target;
  auto &f = Attach<TCustomUloFunction>(target, {});
  f.SetNumPoints(2);
  f.OnCalculate = [](TCustomUloFunction &, double x, double &y) { y = 10 + x; };
  f.AddPoints(nullptr);
  ExpectPoints(target, {{10, 0}, {11, 1}}, "custom, horizontal");
}

// ---- settings -----------------------------------------------------------------------------

TEST_F(Functions, PeriodMustNotBeNegative) {
  TAddUloFunction f;
  f.SetPeriod(2);
  for (double bad : {-1.0, -1e-300, std::numeric_limits<double>::quiet_NaN()}) {
    try {
      f.SetPeriod(bad);
      ADD_FAILURE() << bad << " was taken";
    } catch (const ChartException &e) {
      EXPECT_EQ(e.Message(), "Function Period should be >= 0");
    }
    EXPECT_EQ(f.Period(), 2);
  }
}

TEST_F(Functions, DefaultsAndCopies) {
  TAverageUloFunction a, b;
  EXPECT_EQ(a.Period(), 0);
  EXPECT_EQ(a.PeriodStyle(), TFunctionPeriodStyle::psNumPoints);
  EXPECT_EQ(a.PeriodAlign(), TFunctionPeriodAlign::paCenter);
  EXPECT_TRUE(a.IncludeNulls());
  EXPECT_FALSE(a.NoSourceNeeded());
  EXPECT_EQ(a.GetEditorClass(), "TAverageFuncEditor");
  EXPECT_EQ(TAddUloFunction().GetEditorClass(), "TUloFunctionEditor");
  EXPECT_EQ(TCustomUloFunction().GetEditorClass(), "TCustomFunctionEditor");
  a.SetPeriod(5);
  a.SetPeriodStyle(TFunctionPeriodStyle::psRange);
  a.SetPeriodAlign(TFunctionPeriodAlign::paLast);
  a.SetIncludeNulls(false);
  b.Assign(a);
  EXPECT_EQ(b.Period(), 5);
  EXPECT_EQ(b.PeriodStyle(), TFunctionPeriodStyle::psRange);
  EXPECT_EQ(b.PeriodAlign(), TFunctionPeriodAlign::paLast);
  EXPECT_FALSE(b.IncludeNulls());
}

// ---- recalculation ---------------------------------------------------------------------------

TEST_F(Functions, ASourceChangeRecalculatesOnce) {
  TChartSeries source, target;
  Fill(source, {1, 2, 3});
  Attach<TAddUloFunction>(target, {&source});
  int clears = 0;
  target.OnClearValues = [&](TChartSeries *) { ++clears; };
  source.BeginUpdate();
  for (int i = 0; i < 10; ++i)
    source.AddPointXY(3 + i, 1);
  source.EndUpdate();
  EXPECT_EQ(clears, 1);
  ExpectPoints(target, {{6, 16}}, "after the update");
}

} // namespace
