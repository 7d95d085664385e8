// Number and date pictures: the chart's own pictures, every placeholder
// kind, sections, and values no picture can show.
#include <gtest/gtest.h>

#include <limits>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatFloat.h"

namespace {

TEST(FormatFloat, Pictures) {
  const struct {
    const char *format;
    double value;
    const char *expected;
  } cases[] = {
      {"#,##0.###", 0, "0"},
      {"#,##0.###", 1234567.891, "1,234,567.891"},
      {"#,##0.###", -1234.5, "-1,234.5"},
      {"#,##0.###", 0.00049, "0"},
      {"#,##0.###", -0.0004, "0"},
      {"#,##0.###", 999.9996, "1,000"},
      {"#,##0.###", 12, "12"},
      {"#,##0.###", 1e17, "100,000,000,000,000,000"},
      {"##0.## %", 25, "25 %"},
      {"##0.## %", 33.333, "33.33 %"},
      {"##0.## %", -5, "-5 %"},
      {"#.0 \"x10\" E+0", 1234, "1.2 x10 E+3"},
      {"#.0 \"x10\" E+0", 0.000512, "5.1 x10 E-4"},
      {"#.0 \"x10\" E+0", -98765, "-9.9 x10 E+4"},
      {"0.00E+00", 0.5, "5.00E-01"},
      {"0.00E-00", 123, "1.23E02"},
      {"0.0e+0", 9.96, "1.0e+1"},
      {"000", 7, "007"},
      {"0.000", 1.5, "1.500"},
      {"#", 0, ""},
      {"#.##", 0.5, ".5"},
      {"#.##", -0.5, "-.5"},
      {".00", 12.5, "12.50"},
      {"'Value: '0", 3, "Value: 3"},
      {"0 'days'", 2, "2 days"},
      {"0;(0);zero", -3, "(3)"},
      {"0;(0);zero", 0, "zero"},
      {"0;(0);zero", 4, "4"},
      {"0;;zero", -3, "-3"},
      {"0.0", 0.25, "0.2"}, // halves to even on the exact value
      {"0.0", 0.35, "0.3"}, // 0.35 is a hair below in binary
      {"", 0.1, "0.1"},
      {"", 1e20, "1E20"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(rtl::FormatFloat(c.format, c.value), c.expected) << c.format << " " << c.value;
}

TEST(FormatFloat, ValuesNoPictureShows) {
  const double inf = std::numeric_limits<double>::infinity();
  for (const char *format : {"#,##0.###", "0.00E+00", "", "0;(0)"}) {
    EXPECT_EQ(rtl::FormatFloat(format, inf), "INF");
    EXPECT_EQ(rtl::FormatFloat(format, -inf), "-INF");
    EXPECT_EQ(rtl::FormatFloat(format, std::numeric_limits<double>::quiet_NaN()), "NAN");
  }
  // Beyond 18 digits, or placeholders beyond 18: the general conversion.
  EXPECT_EQ(rtl::FormatFloat("0", 1e19), "1E19");
  EXPECT_EQ(rtl::FormatFloat("0.0000000000000000000", 1.5), "1.5");
  EXPECT_EQ(rtl::FormatFloat("0.00E+00", 1e300), "1.00E+300");
  EXPECT_EQ(rtl::FormatFloat("0.00E+00", 4.9e-324), "4.94E-324");
}

TEST(FormatFloat, SeparatorsAreTheRunTimesNotTheLocale) {
  EXPECT_EQ(rtl::ThousandSeparator(), ',');
  rtl::SetThousandSeparator(' ');
  EXPECT_EQ(rtl::FormatFloat("#,##0.###", 1234.5), "1 234.5");
  rtl::SetThousandSeparator(',');
}

TEST(FormatDateTime, Pictures) {
  const double date = rtl::EncodeDate(2021, 3, 7) + (13 * 3600 + 5 * 60 + 9.25) / 86400.0;
  const struct {
    const char *format;
    const char *expected;
  } cases[] = {
      {"dd.mm.yyyy", "07.03.2021"},
      {"d/m/yy", "7.3.21"},
      {"hh:nn", "13:05"},
      {"hh:nn:ss.zzz", "13:05:09.250"},
      {"h:mm", "13:05"},
      {"hh:mm am/pm", "01:05 pm"},
      {"h AMPM", "1 PM"},
      {"ddd dddd", "Sun Sunday"},
      {"mmm mmmm", "Mar March"},
      {"c", "07.03.2021 13:05:09"},
      {"ddddd", "07.03.2021"},
      {"t", "13:05"},
      {"'at' hh\"h\"", "at 13h"},
      {"", "07.03.2021 13:05:09"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(rtl::FormatDateTime(c.format, date), c.expected) << c.format;
}

TEST(FormatDateTime, EdgesOfTheCalendar) {
  EXPECT_EQ(rtl::FormatDateTime("c", rtl::EncodeDate(2000, 1, 1)), "01.01.2000");
  EXPECT_EQ(rtl::FormatDateTime("dd.mm.yyyy ddd", 0), "30.12.1899 Sat");
  // A hair below midnight belongs to the next day at midnight.
  EXPECT_EQ(rtl::FormatDateTime("dd hh:nn", rtl::EncodeDate(2020, 1, 1) - 1e-10), "01 00:00");
  EXPECT_EQ(rtl::FormatDateTime("yyyy", 1e9), "");
  EXPECT_EQ(rtl::FormatDateTime("yyyy", std::numeric_limits<double>::quiet_NaN()), "NAN");
  EXPECT_EQ(rtl::FormatDateTime("yyyy", -std::numeric_limits<double>::infinity()), "-INF");
}

} // namespace
