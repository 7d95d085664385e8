// Value lists: ordered insertion, growth in blocks, the cached statistics
// through every kind of change, and the labels list.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "chart/engine/UloValueList.h"

namespace {

std::vector<double> ValuesOf(const TChartValueList &list) {
  return std::vector<double>(list.Values(), list.Values() + list.Count());
}

TEST(ValueList, OrderedInsertion) {
  const struct {
    const char *name;
    TChartListOrder order;
    std::vector<double> start, add, expected;
    std::vector<int> indexes;
  } cases[] = {
      {"ascending: equal values keep their arrival order",
       TChartListOrder::loAscending,
       {},
       {3, 1, 2, 2},
       {1, 2, 2, 3},
       {0, 0, 1, 2}},
      {"descending: a new value goes after its equals",
       TChartListOrder::loDescending,
       {9, 5, 1},
       {5},
       {9, 5, 5, 1},
       {2}},
      {"no order appends", TChartListOrder::loNone, {}, {3, 1, 2}, {3, 1, 2}, {0, 1, 2}},
      {"ascending below everything", TChartListOrder::loAscending, {1, 2}, {-1}, {-1, 1, 2}, {0}},
  };
  for (const auto &c : cases) {
    TChartValueList list(nullptr, "X");
    for (double v : c.start)
      list.AddChartValue(v);
    list.SetOrder(c.order);
    std::vector<int> got;
    for (double v : c.add)
      got.push_back(list.AddChartValue(v));
    EXPECT_EQ(ValuesOf(list), c.expected) << c.name;
    EXPECT_EQ(got, c.indexes) << c.name;
  }
}

TEST(ValueList, GrowsByTheStepNotByDoubling) {
  TChartValueList list(nullptr, "Y");
  EXPECT_EQ(list.Capacity(), 0);
  list.AddChartValue(1);
  EXPECT_EQ(list.Capacity(), 1000);
  for (int i = 1; i < 1000; ++i)
    list.AddChartValue(i);
  EXPECT_EQ(list.Capacity(), 1000);
  list.AddChartValue(0);
  EXPECT_EQ(list.Capacity(), 2000);
  list.ClearValues();
  EXPECT_EQ(list.Capacity(), 0);
  EXPECT_EQ(list.Count(), 0);

  const int saved = ValueListGrowStep;
  ValueListGrowStep = 5000;
  list.AddChartValue(1);
  EXPECT_EQ(list.Capacity(), 5000);
  ValueListGrowStep = 0; // nonsense still makes room
  for (int i = 0; i < 5000; ++i)
    list.InsertChartValue(0, i);
  EXPECT_EQ(list.Count(), 5001);
  ValueListGrowStep = saved;
}

// Statistics recomputed from the values, to compare with the cache.
void ExpectStats(TChartValueList &list, const char *after) {
  double lo = 0, hi = 0, sum = 0, sumAbs = 0;
  for (int i = 0; i < list.Count(); ++i) {
    const double v = list.Value(i);
    if (i == 0 || v < lo) lo = v;
    if (i == 0 || v > hi) hi = v;
    sum += v;
    sumAbs += std::fabs(v);
  }
  EXPECT_EQ(list.MinValue(), lo) << after;
  EXPECT_EQ(list.MaxValue(), hi) << after;
  EXPECT_NEAR(list.Total(), sum, 1e-9 * (1 + sumAbs)) << after;
  EXPECT_NEAR(list.TotalABS(), sumAbs, 1e-9 * (1 + sumAbs)) << after;
}

TEST(ValueList, StatisticsFollowEveryKindOfChange) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> value(-1000, 1000);
  for (TChartListOrder order : {TChartListOrder::loNone, TChartListOrder::loAscending, TChartListOrder::loDescending}) {
    TChartValueList list(nullptr, "Y");
    list.SetOrder(order);
    const struct {
      const char *name;
      std::function<void()> change;
    } changes[] = {
        {"add", [&] { list.AddChartValue(value(random)); }},
        {"insert", [&] { list.InsertChartValue(list.Count() / 2, value(random)); }},
        {"delete", [&] { list.Count() > 0 ? list.Delete(static_cast<int>(random() % list.Count())) : void(); }},
        {"delete range", [&] { list.Count() > 3 ? list.DeleteRange(1, 2) : void(); }},
        {"set value", [&] { list.Count() > 0 ? list.SetValue(0, value(random)) : void(); }},
        {"exchange", [&] { list.Count() > 1 ? list.Exchange(0, list.Count() - 1) : void(); }},
        {"sort", [&] { list.Sort(); }},
        {"fill sequence", [&] { random() % 10 == 0 ? list.FillSequence() : void(); }},
        {"scroll", [&] { list.Scroll(); }},
        {"clear", [&] { random() % 25 == 0 ? list.ClearValues() : void(); }},
    };
    for (int round = 0; round < 400; ++round) {
      const auto &c = changes[random() % std::size(changes)];
      c.change();
      ExpectStats(list, c.name);
    }
  }
}

TEST(ValueList, StatisticsOfSmallListsAndContinued) {
  TChartValueList list(nullptr, "Y");
  EXPECT_EQ(list.Range(), 0);
  EXPECT_EQ(list.MinValue(), 0);
  list.AddChartValue(-4);
  EXPECT_EQ(list.MaxValue(), -4);
  EXPECT_EQ(list.TotalABS(), 4);
  EXPECT_FALSE(list.Modified());
  // Continued from a start index over appended values, without a reset.
  const int before = list.Count();
  list.AddChartValue(20);
  list.AddChartValue(-30);
  list.RecalcStats(before);
  EXPECT_EQ(list.MaxValue(), 20);
  EXPECT_EQ(list.MinValue(), -30);
  EXPECT_EQ(list.Total(), -14);
}

TEST(ValueList, SortCompareScroll) {
  TChartValueList list(nullptr, "X");
  for (double v : {3.0, 1.0, 2.0, 1.0})
    list.AddChartValue(v);
  EXPECT_EQ(list.CompareValueIndex(1, 3), 0);
  EXPECT_EQ(list.CompareValueIndex(0, 1), 1);
  list.Sort();
  EXPECT_EQ(ValuesOf(list), (std::vector<double>{3, 1, 2, 1})) << "loNone leaves the order";
  list.SetOrder(TChartListOrder::loDescending);
  EXPECT_EQ(list.CompareValueIndex(0, 1), -1);
  EXPECT_EQ(list.CompareValueIndex(1, 3), 0);
  list.Sort();
  EXPECT_EQ(ValuesOf(list), (std::vector<double>{3, 2, 1, 1}));
  list.RecalcStats();
  list.Scroll();
  EXPECT_EQ(ValuesOf(list), (std::vector<double>{2, 1, 1, 3}));
  EXPECT_FALSE(list.Modified()) << "scrolling leaves the statistics";
  TChartValueList other(nullptr, "Y");
  other.AddChartValue(42);
  list.Assign(other);
  EXPECT_EQ(list.Count(), 4) << "values are not copied";
  // Date-time is stored against the value the list was made with.
  list.SetDateTime(true);
  EXPECT_TRUE(list.IsDateTimeStored());
  list.InitDateTime(true);
  EXPECT_FALSE(list.IsDateTimeStored());
}

TEST(LabelsList, PaddingAndReading) {
  TLabelsList labels;
  labels.InsertLabel(5, "");
  EXPECT_EQ(labels.Count(), 0) << "an empty label on an empty list does nothing";
  labels.InsertLabel(5, "five");
  EXPECT_EQ(labels.Count(), 6);
  for (int i = 0; i < 5; ++i)
    EXPECT_FALSE(labels.HasLabel(i));
  EXPECT_EQ(labels[5], "five");
  EXPECT_EQ(labels[6], "");
  EXPECT_EQ(labels[-1], "");
  labels.InsertLabel(0, "");
  EXPECT_EQ(labels.Count(), 7);
  EXPECT_EQ(labels[6], "five");
  labels.Delete(0);
  labels.Delete(99);
  EXPECT_EQ(labels[5], "five");
  labels.Clear();
  EXPECT_EQ(labels.Count(), 0);
}

} // namespace
