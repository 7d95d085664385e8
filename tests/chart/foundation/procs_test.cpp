#include "chart/foundation/UloProcs.h"
#include "platform/forms/Cursors.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

namespace {

double Date(int y, int m, int d, double hours = 0) { return rtl::EncodeDate(y, m, d) + hours / 24; }

std::string Ymd(double date) {
  int y = 0, m = 0, d = 0;
  rtl::DecodeDate(date, y, m, d);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
  return text;
}

class Procs : public ::testing::Test {
protected:
  void SetUp() override { InitializeUloProcs(); }
  void TearDown() override { FinalizeUloProcs(); }
};

// ---- start-up, palette ----------------------------------------------------------

TEST(ProcsLifetime, AfterShutDown) {
  InitializeUloProcs();
  FinalizeUloProcs();
  // A lookup after shut-down must not read outside the emptied palette.
  EXPECT_EQ(UloGetDefaultColor(3), clBlack);
  // Nor may field extraction loop on the emptied separator.
  EXPECT_EQ(UloExtractField("a;b", 2), "a;b");
}

TEST(ProcsLifetime, HandCursorHotSpotIsOnTheHand) {
  const forms::CursorImage hand = UloHandCursorImage();
  ASSERT_GT(hand.width, 0);
  ASSERT_EQ(hand.argb.size(), static_cast<size_t>(hand.width) * static_cast<size_t>(hand.height));
  ASSERT_TRUE(hand.hotX >= 0 && hand.hotX < hand.width && hand.hotY >= 0 && hand.hotY < hand.height);
  const uint32_t hot = hand.argb[static_cast<size_t>(hand.hotY * hand.width + hand.hotX)];
  EXPECT_EQ(hot >> 24, 0xFFu);
  // Clear pixels around the hand, so it shows as a hand and not a square.
  EXPECT_EQ(hand.argb.front() >> 24, 0u);
}

TEST_F(Procs, DefaultColorsWrapForAnyIndex) {
  const std::pair<int, TColor> cases[] = {
      {0, 0x0000FF},  {1, 0x008000},   {3, 0xFF0000},       {15, 0x000000},      {16, 0xC0DCC0},
      {17, 0xF0CAA6}, {18, 0xF0FBFF},  {19, 0xA4A0A0},      {20, 0x0000FF},      {39, 0xA4A0A0},
      {-1, 0xA4A0A0}, {-20, 0x0000FF}, {INT_MAX, 0x808000}, {INT_MIN, 0x800080},
  };
  for (const auto &[index, color] : cases)
    EXPECT_EQ(UloGetDefaultColor(index), color) << index;
}

TEST_F(Procs, ReplacedPaletteAndEmptyPalette) {
  const TColor three[] = {clRed, clGreen, clBlue};
  UloSetDefaultColorPalette(three);
  EXPECT_EQ(UloGetDefaultColor(4), clGreen);
  EXPECT_EQ(UloGetDefaultColor(-4), clBlue);
  UloSetDefaultColorPalette({});
  EXPECT_EQ(UloGetDefaultColor(0), clBlack);
  EXPECT_EQ(UloGetDefaultColor(-7), clBlack);
}

// ---- date-time steps ---------------------------------------------------------------

TEST(DateTimeSteps, EveryEntryIsFoundAtItsOwnIndex) {
  for (int i = 0; i < UloNoDateTimeStep; ++i) {
    EXPECT_EQ(UloFindDateTimeStep(UloDateTimeSteps[static_cast<size_t>(i)]), i);
    if (i > 0) {
      EXPECT_GT(UloDateTimeSteps[static_cast<size_t>(i)], UloDateTimeSteps[static_cast<size_t>(i) - 1]);
    }
  }
  EXPECT_EQ(UloFindDateTimeStep(1.0 / 24), 12);
  EXPECT_EQ(UloFindDateTimeStep(1.0 / 24 + 1e-5), UloNoDateTimeStep);
  EXPECT_EQ(UloFindDateTimeStep(0), UloNoDateTimeStep);
  EXPECT_EQ(UloFindDateTimeStep(366), UloNoDateTimeStep);
}

TEST(DateTimeSteps, NextStep) {
  const std::pair<double, double> cases[] = {
      {1.0 / 86400, 5.0 / 86400},
      {1.0 / 86400 * 1.5, 5.0 / 86400},
      // Steps made by one division, as callers make them, move on.
      {15.0 / 86400, 30.0 / 86400},
      {5.0 / 1440, 10.0 / 1440},
      {15.0 / 1440, 30.0 / 1440},
      {30.0 / 1440, 1.0 / 24},
      {1, 2},
      {7, 15},
      {181, 182},
      {182, 365},
      {400, 365},
      {1e-12, 365},
  };
  for (const auto &[value, next] : cases)
    EXPECT_EQ(UloNextDateTimeStep(value), next) << value;
}

TEST(DateTimeSteps, DefaultFormatSwitchesAboveOneDay) {
  EXPECT_EQ(UloDateTimeDefaultFormat(1), rtl::ShortTimeFormat);
  EXPECT_EQ(UloDateTimeDefaultFormat(1.0 / 24), rtl::ShortTimeFormat);
  EXPECT_EQ(UloDateTimeDefaultFormat(1.5), rtl::ShortDateFormat);
}

TEST_F(Procs, RoundDate) {
  struct Case {
    int step;
    double date;
    double rounded;
  };
  const Case cases[] = {
      {20, Date(2004, 3, 20, 18), Date(2004, 3, 15)}, {20, Date(2004, 3, 15, 1), Date(2004, 3, 15)},
      {20, Date(2004, 3, 14, 23), Date(2004, 3, 1)},  {21, Date(2004, 3, 20, 18), Date(2004, 3, 1)},
      {25, Date(2004, 12, 31), Date(2004, 12, 1)},    {26, Date(2004, 3, 20, 18), Date(2004, 1, 1)},
      {16, Date(2004, 3, 20, 18), Date(2004, 3, 20)}, {19, Date(2004, 2, 29, 23.5), Date(2004, 2, 29)},
      {12, Date(1899, 5, 5, 7), Date(1899, 5, 5, 7)}, {26, Date(1900, 1, 1), Date(1900, 1, 1)},
      {26, Date(1900, 1, 1, 12), Date(1900, 1, 1)},   {26, Date(1900, 3, 5), Date(1900, 1, 1)},
  };
  for (const Case &c : cases)
    EXPECT_EQ(UloRoundDate(c.step, c.date), c.rounded) << c.step << " " << Ymd(c.date);
}

TEST(DateTimeSteps, ExactStepsFollowTheCalendar) {
  struct Case {
    bool increment;
    int step;
    double from;
    const char *to;
  };
  // Half months, whole months, and years across 29 February.
  const Case cases[] = {
      {false, 20, Date(2004, 1, 1), "2003-12-15"},     {false, 20, Date(2004, 3, 16), "2004-03-15"},
      {false, 20, Date(2004, 3, 15, 9), "2004-03-01"}, {false, 20, Date(2004, 3, 2), "2004-03-01"},
      {false, 20, Date(2004, 3, 1), "2004-02-15"},     {true, 20, Date(2004, 3, 14), "2004-03-15"},
      {true, 20, Date(2004, 3, 15), "2004-04-01"},     {true, 20, Date(2004, 12, 31), "2005-01-01"},
      {false, 25, Date(2004, 3, 10), "2003-09-01"},    {true, 23, Date(2004, 11, 1), "2005-02-01"},
      {true, 21, Date(2004, 1, 31), "2004-02-01"},     {false, 21, Date(2004, 3, 31), "2004-02-01"},
      {false, 22, Date(2004, 2, 1), "2003-12-01"},     {false, 25, Date(2004, 6, 15), "2003-12-01"},
      {false, 24, Date(2004, 5, 15), "2004-01-01"},    {true, 25, Date(2004, 7, 15), "2005-01-01"},
      {true, 24, Date(2004, 8, 15), "2004-12-01"},     {true, 26, Date(2004, 2, 29), "2005-02-28"},
      {false, 26, Date(2004, 2, 29), "2003-02-28"},    {true, 26, Date(2003, 2, 28), "2004-02-28"},
      {true, 26, Date(2004, 6, 15, 12), "2005-06-15"},
  };
  for (const Case &c : cases) {
    double value = c.from;
    UloIncDecDateTime(true, c.increment, value, c.step, UloDateTimeSteps[static_cast<size_t>(c.step)]);
    EXPECT_EQ(Ymd(value), c.to) << c.step << (c.increment ? " up from " : " down from ") << Ymd(c.from);
    EXPECT_EQ(value, static_cast<double>(static_cast<long long>(value))) << "time of day left over";
  }
}

TEST(DateTimeSteps, PlainStepsKeepTheTime) {
  double value = Date(2004, 3, 10, 6);
  UloIncDecDateTime(false, true, value, 21, 30);
  EXPECT_EQ(value, Date(2004, 4, 9, 6));
  value = Date(2004, 3, 10, 6);
  UloIncDecDateTime(true, false, value, 16, 1);
  EXPECT_EQ(value, Date(2004, 3, 9, 6));
  value = Date(2004, 3, 10, 6);
  UloIncDecDateTime(true, true, value, UloNoDateTimeStep, 0.25);
  EXPECT_EQ(value, Date(2004, 3, 10, 12));
}

TEST(DateTimeSteps, StepBeyondTheCalendarRaisesAConversionError) {
  double value = Date(9999, 6, 1);
  EXPECT_THROW(UloIncDecDateTime(true, true, value, 26, 365), rtl::EConvertError);
  EXPECT_EQ(value, Date(9999, 6, 1));
}

// ---- hit tests ------------------------------------------------------------------

TEST(HitTests, PointInLine) {
  struct Case {
    TPoint p;
    int tolerance;
    bool in;
  };
  // The segment (0,0)-(10,0).
  const Case cases[] = {
      {{5, 1}, 0, true},  {{5, -1}, 0, true},  {{5, 2}, 0, false},  {{5, 2}, 1, true},
      {{11, 0}, 0, true}, {{12, 0}, 0, false}, {{-1, 0}, 0, true},  {{11, 1}, 0, false},
      {{0, 0}, -5, true}, {{10, 0}, -5, true}, {{5, 0}, -5, false}, {{5, 0}, -1, true},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(PointInLine(c.p, 0, 0, c.tolerance, 10, 0), c.in) << c.p.X << "," << c.p.Y << " tol " << c.tolerance;
    EXPECT_EQ(PointInLineP(c.p, {10, 0}, {0, 0}, c.tolerance), c.in);
  }
  EXPECT_TRUE(PointInLineXY({3, 4}, 0, 0, 6, 8));
  EXPECT_TRUE(PointInLinePExact({4, 4}, {0, 0}, {6, 8}));  // distance 0.8
  EXPECT_FALSE(PointInLinePExact({5, 3}, {0, 0}, {6, 8})); // distance 1.4
}

TEST(HitTests, SegmentDistanceClampsToTheEnds) {
  EXPECT_DOUBLE_EQ(PointToSegmentDistance({3, 4}, {0, 0}, {0, 0}), 5);
  EXPECT_DOUBLE_EQ(PointToSegmentDistance({-3, 4}, {0, 0}, {10, 0}), 5);
  EXPECT_DOUBLE_EQ(PointToSegmentDistance({13, 4}, {0, 0}, {10, 0}), 5);
  EXPECT_DOUBLE_EQ(PointToSegmentDistance({7, 4}, {0, 0}, {10, 0}), 4);
  const int big = 0x3FFFFFF;
  EXPECT_DOUBLE_EQ(PointToSegmentDistance({0, 3}, {-big, 0}, {big, 0}), 3);
}

TEST(HitTests, PolygonEdges) {
  const TPoint square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  const std::pair<TPoint, bool> cases[] = {
      {{5, 5}, true}, {{0, 5}, true},    {{10, 5}, false}, {{5, 0}, true}, {{5, 10}, false},
      {{0, 0}, true}, {{10, 10}, false}, {{-1, 5}, false}, {{9, 9}, true}, {{5, 11}, false},
  };
  for (const auto &[p, in] : cases)
    EXPECT_EQ(PointInPolygon(p, square), in) << p.X << "," << p.Y;
  EXPECT_FALSE(PointInPolygon({0, 0}, {}));
}

TEST(HitTests, PolygonAtTheEdgesOfThePixelRange) {
  const int big = 0x3FFFFFF;
  // A slanted edge whose intersection needs a product far beyond 32 bits.
  const TPoint triangle[] = {{-big, -big}, {big, -big}, {-big, big}};
  EXPECT_TRUE(PointInPolygon({-big / 2, 0}, triangle));
  EXPECT_TRUE(PointInPolygon({-2, 0}, triangle));
  EXPECT_FALSE(PointInPolygon({1, 0}, triangle));
  EXPECT_FALSE(PointInPolygon({big / 2, big / 2}, triangle));
  const TPoint wide[] = {
      {INT_MIN / 2, INT_MIN / 2}, {INT_MAX / 2, INT_MIN / 2}, {INT_MAX / 2, INT_MAX / 2}, {INT_MIN / 2, INT_MAX / 2}};
  EXPECT_TRUE(PointInPolygon({0, 0}, wide));
  EXPECT_FALSE(PointInPolygon({INT_MAX / 2 + 1, 0}, wide));
}

TEST(HitTests, TriangleTakesX0X1ThenY0Y1) {
  // Apex (10,0), base (0,10)-(20,10).
  const std::pair<TPoint, bool> cases[] = {
      {{10, 5}, true},   {{15, 8}, true}, {{2, 2}, false},  {{18, 2}, false},
      {{10, 10}, false}, {{10, 1}, true}, {{10, 0}, false},
  };
  for (const auto &[p, in] : cases)
    EXPECT_EQ(PointInTriangle(p, 0, 20, 0, 10), in) << p.X << "," << p.Y;
  // The apex halves toward zero.
  EXPECT_TRUE(PointInTriangle({-2, 1}, -5, 0, 0, 10));
}

TEST(HitTests, EllipseBoundaryIsInside) {
  const TRect r{0, 0, 10, 20}; // centre (5,10), half axes 5 and 10
  const std::pair<TPoint, bool> cases[] = {
      {{5, 10}, true}, {{0, 10}, true},  {{10, 10}, true}, {{11, 10}, false},
      {{5, 0}, true},  {{5, -1}, false}, {{1, 2}, false},  {{4, 3}, true},
  };
  for (const auto &[p, in] : cases)
    EXPECT_EQ(PointInEllipse(p, r), in) << p.X << "," << p.Y;
  EXPECT_FALSE(PointInEllipse({5, 5}, {5, 0, 5, 10}));
  EXPECT_FALSE(PointInEllipse({5, 5}, {0, 5, 10, 5}));
  EXPECT_FALSE(PointInEllipse({5, 5}, {0, 0, 1, 10})); // one pixel wide: centre on the left edge
  const int big = 0x3FFFFFF;
  EXPECT_TRUE(PointInEllipse({0, 0}, {-big, -big, big, big}));
  EXPECT_TRUE(PointInEllipse({big, 0}, {-big, -big, big, big}));
  EXPECT_FALSE(PointInEllipse({big, big}, {-big, -big, big, big}));
}

// ---- sort -----------------------------------------------------------------------------

struct Item {
  int key;
  int id;
};

// Sorts items by key through the callbacks, checking every index handed out.
void SortItems(std::vector<Item> &items, int lo, int hi) {
  UloSort(
      lo, hi,
      [&](int a, int b) {
        EXPECT_TRUE(a >= lo && a <= hi && b >= lo && b <= hi) << a << " " << b;
        return items[static_cast<size_t>(a)].key - items[static_cast<size_t>(b)].key;
      },
      [&](int a, int b) {
        EXPECT_TRUE(a >= lo && a <= hi && b >= lo && b <= hi) << a << " " << b;
        std::swap(items[static_cast<size_t>(a)], items[static_cast<size_t>(b)]);
      });
}

TEST(Sort, EqualKeysAndRandomLists) {
  std::mt19937 random(7);
  for (int size : {0, 1, 2, 3, 5, 16, 100, 1000}) {
    for (int distinct : {1, 2, 3, 50, 100000}) {
      std::vector<Item> items;
      for (int i = 0; i < size; ++i)
        items.push_back({static_cast<int>(random() % static_cast<unsigned>(distinct)), i});
      SortItems(items, 0, size - 1);
      ASSERT_TRUE(std::is_sorted(items.begin(), items.end(), [](Item a, Item b) { return a.key < b.key; }))
          << size << " " << distinct;
      std::vector<int> ids;
      for (const Item &it : items)
        ids.push_back(it.id);
      std::sort(ids.begin(), ids.end());
      for (int i = 0; i < size; ++i)
        ASSERT_EQ(ids[static_cast<size_t>(i)], i) << "items lost or doubled";
    }
  }
}

TEST(Sort, EqualKeysEndWhereRecursionLeavesThem) {
  // The left part is sorted before the right one, and the two may share
  // their border item, so the order of equal keys shows that order.
  const int keys[] = {2, 1, 2, 0, 1, 2, 0, 1, 2, 1, 0, 2, 1, 0};
  std::vector<Item> items;
  for (int i = 0; i < 14; ++i)
    items.push_back({keys[i], i});
  SortItems(items, 0, 13);
  std::vector<int> ids;
  for (const Item &it : items)
    ids.push_back(it.id);
  EXPECT_EQ(ids, (std::vector<int>{10, 13, 6, 3, 9, 1, 7, 4, 12, 11, 0, 2, 8, 5}));
}

TEST(Sort, SubRangeLeavesTheRestAlone) {
  std::vector<Item> items;
  for (int i = 0; i < 12; ++i)
    items.push_back({12 - i, i});
  SortItems(items, 3, 8);
  for (int i : {0, 1, 2, 9, 10, 11})
    EXPECT_EQ(items[static_cast<size_t>(i)].id, i);
  for (int i = 3; i < 8; ++i)
    EXPECT_LE(items[static_cast<size_t>(i)].key, items[static_cast<size_t>(i) + 1].key);
}

// ---- texts ------------------------------------------------------------------------------

TEST_F(Procs, ExtractField) {
  struct Case {
    const char *text;
    int index;
    const char *field;
  };
  const Case cases[] = {
      {"a;b;c", 1, "a"}, {"a;b;c", 2, "b"}, {"a;b;c", 3, "c"}, {"a;b", 5, "b"},   {"", 1, ""},   {"a;b", 0, ""},
      {"a;b", -3, ""},   {"a;;c", 2, ""},   {"abc", 1, "abc"}, {"abc", 3, "abc"}, {"a;", 2, ""}, {";b", 1, ""},
  };
  for (const Case &c : cases)
    EXPECT_EQ(UloExtractField(c.text, c.index), c.field) << c.text << " " << c.index;
  EXPECT_EQ(UloExtractField("a, b, c", 2, ", "), "b");
  EXPECT_EQ(UloExtractField("a;b|c", 2, "|"), "c");
  EXPECT_EQ(UloFieldSeparator, ";") << "the separator of one call stays with that call";
  EXPECT_EQ(UloExtractField("a;b", 2, ""), "a;b");
}

TEST(TextRoutines, ReplaceChar) {
  EXPECT_EQ(ReplaceChar("a b c", ' ', '\0'), "abc");
  EXPECT_EQ(ReplaceChar("a.b.c.", '.', ','), "a,b,c,");
  EXPECT_EQ(ReplaceChar("aaa", 'a', 'a'), "aaa");
  EXPECT_EQ(ReplaceChar("", 'a', 'b'), "");
  EXPECT_EQ(ReplaceChar("xyz", 'a', 'b'), "xyz");
  EXPECT_EQ(ReplaceChar("ab\rcd\r", '\r', ' '), "ab cd ");
}

} // namespace
