#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct KnownDate {
  int year, month, day;
  double date;
};

TEST(DateTime, KnownDates) {
  const KnownDate cases[] = {
      {1899, 12, 30, 0},    {1900, 1, 1, 2},    {1900, 3, 1, 61},        {2000, 1, 1, 36526},
      {2004, 2, 29, 38046}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465}, {1899, 12, 29, -1},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(rtl::EncodeDate(c.year, c.month, c.day), c.date) << c.year << "-" << c.month << "-" << c.day;
    int y = 0, m = 0, d = 0;
    rtl::DecodeDate(c.date, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, c.year * 10000 + c.month * 100 + c.day) << c.date;
  }
}

TEST(DateTime, EveryDayRoundTrips) {
  // Four centuries cover every leap-year rule.
  int prevYear = 1799, prevMonth = 12, prevDay = 31;
  for (double date = rtl::EncodeDate(1800, 1, 1); date <= rtl::EncodeDate(2200, 12, 31); date += 1) {
    int y = 0, m = 0, d = 0;
    // 18:00 of the day; before the epoch the fraction is taken off.
    rtl::DecodeDate(date >= 0 ? date + 0.75 : date - 0.75, y, m, d);
    ASSERT_EQ(rtl::EncodeDate(y, m, d), date);
    const bool nextDay = y == prevYear && m == prevMonth && d == prevDay + 1;
    const bool nextMonth = y == prevYear && m == prevMonth + 1 && d == 1 && prevDay == rtl::DaysInMonth(y, prevMonth);
    const bool nextYear = y == prevYear + 1 && m == 1 && d == 1 && prevMonth == 12 && prevDay == 31;
    ASSERT_TRUE(nextDay || nextMonth || nextYear) << y << "-" << m << "-" << d;
    prevYear = y, prevMonth = m, prevDay = d;
  }
}

TEST(DateTime, TimeOfDayBeforeTheEpochCountsFromMidnight) {
  int y = 0, m = 0, d = 0;
  rtl::DecodeDate(-0.25, y, m, d); // 30 Dec 1899, 06:00
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991230);
  rtl::DecodeDate(-1.75, y, m, d); // 29 Dec 1899, 18:00
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
}

TEST(DateTime, AHairBeforeMidnightIsTheNextDay) {
  int y = 0, m = 0, d = 0;
  rtl::DecodeDate(rtl::EncodeDate(2004, 2, 29) - 1e-10, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20040229);
  rtl::DecodeDate(rtl::EncodeDate(2004, 3, 1) - 0.4 / 86400000.0, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20040301);
}

TEST(DateTime, InvalidDatesRaise) {
  const int bad[][3] = {{2005, 2, 29}, {1900, 2, 29}, {2004, 4, 31}, {2004, 0, 1},
                        {2004, 13, 1}, {2004, 1, 0},  {0, 1, 1},     {10000, 1, 1}};
  for (const auto &b : bad) {
    EXPECT_THROW(rtl::EncodeDate(b[0], b[1], b[2]), rtl::EConvertError) << b[0] << "-" << b[1] << "-" << b[2];
    double date = 123;
    EXPECT_FALSE(rtl::TryEncodeDate(b[0], b[1], b[2], date));
    EXPECT_EQ(date, 123);
  }
  EXPECT_NO_THROW(rtl::EncodeDate(2000, 2, 29));
  int y = 0, m = 0, d = 0;
  for (double v : {std::nan(""), std::numeric_limits<double>::infinity(), 1e300, -1e300, 2958466.0, -693594.0})
    EXPECT_THROW(rtl::DecodeDate(v, y, m, d), rtl::EConvertError) << v;
}

} // namespace
