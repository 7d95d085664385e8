#include "platform/rtl/Conversions.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct FloatCase {
  double value;
  const char *text;
};

TEST(FloatToStr, GeneralFormat) {
  const FloatCase cases[] = {
      {0.0, "0"},
      {-0.0, "0"},
      {1.0, "1"},
      {-2.5, "-2.5"},
      {0.3, "0.3"},
      {3 * 0.1, "0.3"},
      {1.6, "1.6"},
      {0.0001, "0.0001"},
      {0.00015, "0.00015"},
      {0.000015, "1.5E-5"},
      {0.00009999, "9.999E-5"},
      {1e14, "100000000000000"},
      {999999999999999.0, "999999999999999"},
      {1e15, "1E15"},
      {1.5e300, "1.5E300"},
      {2.44929359829471e-16, "2.44929359829471E-16"},
      {std::sin(2 * M_PI), "-2.44929359829471E-16"},
      {1.0 / 3.0, "0.333333333333333"},
      {2.0 / 3.0, "0.666666666666667"},
      {123456.789, "123456.789"},
      {0.1 + 0.2, "0.3"},
      {-1e-300, "-1E-300"},
      {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
      {std::numeric_limits<double>::max(), "1.79769313486232E308"},
  };
  for (const auto &c : cases) EXPECT_EQ(rtl::FloatToStr(c.value), c.text) << c.value;
}

TEST(FloatToStr, NonFiniteAndSeparator) {
  EXPECT_EQ(rtl::FloatToStr(std::numeric_limits<double>::quiet_NaN()), "NAN");
  EXPECT_EQ(rtl::FloatToStr(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(rtl::FloatToStr(-std::numeric_limits<double>::infinity()), "-INF");
  rtl::SetDecimalSeparator(',');
  EXPECT_EQ(rtl::FloatToStr(1.5e-5), "1,5E-5");
  EXPECT_EQ(rtl::FloatToStr(0.25), "0,25");
  EXPECT_DOUBLE_EQ(rtl::StrToFloat("0,25"), 0.25);
  EXPECT_THROW(rtl::StrToFloat("0.25"), rtl::EConvertError);
  rtl::SetDecimalSeparator('.');
}

TEST(FloatToStr, RoundTripsFifteenDigits) {
  // Any double printed and read back agrees to 15 significant digits.
  for (double x : {1.2345678901234567, 9.87654321e-7, 3.14159265358979e12, -0.000123456789012345}) {
    const double back = rtl::StrToFloat(rtl::FloatToStr(x));
    EXPECT_NEAR(back, x, std::fabs(x) * 1e-14);
  }
}

TEST(StrToFloat, AcceptsAndRefuses) {
  const std::pair<const char *, double> good[] = {
      {"1", 1}, {" 2.5 ", 2.5}, {"-3", -3}, {"+4", 4}, {"1.", 1}, {".5", 0.5}, {"1e3", 1000},
      {"1E-3", 0.001}, {"1e+2", 100}, {"1e-400", 0}, {"007", 7},
  };
  for (const auto &[text, value] : good) EXPECT_DOUBLE_EQ(rtl::StrToFloat(text), value) << text;
  for (const char *bad : {"", " ", ".", "-", "e5", "1e", "1e+", "1.2.3", "1,5", "abc", "1 2", "1e400", "0x10", "inf",
                          "nan"}) {
    EXPECT_THROW(rtl::StrToFloat(bad), rtl::EConvertError) << bad;
  }
  try {
    rtl::StrToFloat("x1");
    FAIL();
  } catch (const rtl::EConvertError &e) {
    EXPECT_EQ(e.Message(), "'x1' is not a valid floating point value");
  }
}

TEST(StrToInt, AcceptsAndRefuses) {
  EXPECT_EQ(rtl::StrToInt("42"), 42);
  EXPECT_EQ(rtl::StrToInt(" -7"), -7);
  EXPECT_EQ(rtl::StrToInt("$FF"), 255);
  EXPECT_EQ(rtl::StrToInt("0x10"), 16);
  EXPECT_EQ(rtl::StrToInt("-2147483648"), std::numeric_limits<int>::min());
  EXPECT_EQ(rtl::StrToInt64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
  for (const char *bad : {"", "-", "1.0", "2147483648", "12a", "1 ", "9223372036854775808"})
    EXPECT_THROW(rtl::StrToInt(bad), rtl::EConvertError) << bad;
  try {
    rtl::StrToInt("abc");
    FAIL();
  } catch (const rtl::EConvertError &e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
  }
  EXPECT_EQ(rtl::IntToStr(-12), "-12");
}

TEST(DecimalTextToDouble, EmptyMantissaIsZeroAndOverflowIsReported) {
  double v = 1;
  EXPECT_TRUE(rtl::DecimalTextToDouble(".", v));
  EXPECT_EQ(v, 0);
  EXPECT_TRUE(rtl::DecimalTextToDouble("E5", v));
  EXPECT_EQ(v, 0);
  EXPECT_TRUE(rtl::DecimalTextToDouble("-1.5E-2", v));
  EXPECT_EQ(v, -0.015);
  EXPECT_FALSE(rtl::DecimalTextToDouble("1E400", v));
  EXPECT_TRUE(rtl::DecimalTextToDouble("1E-400", v));
  EXPECT_EQ(v, 0);
}

} // namespace
