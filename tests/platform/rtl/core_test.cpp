#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/FloatFaults.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Random.h"
#include "platform/rtl/TextEncoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

volatile double g_zero = 0.0;

TEST(FloatFaults, FlagsBecomeExceptions) {
  EXPECT_THROW(rtl::Checked([] { return 1.0 / g_zero; }), rtl::EZeroDivide);
  EXPECT_THROW(rtl::Checked([] { return g_zero / g_zero; }), rtl::EInvalidOp);
  EXPECT_THROW(rtl::Checked([] { return std::sqrt(g_zero - 1); }), rtl::EInvalidOp);
  EXPECT_THROW(rtl::Checked([] { return 1e308 * (10 + g_zero); }), rtl::EOverflow);
  // Inexact and underflow are not faults.
  EXPECT_NO_THROW(rtl::Checked([] { return 1e-308 / (1e10 + g_zero); }));
  EXPECT_EQ(rtl::Checked([] { return 0.5 + g_zero; }), 0.5);
  // A fault before the guarded code does not leak into it.
  volatile double junk = 1.0 / g_zero;
  (void)junk;
  EXPECT_NO_THROW(rtl::Checked([] { return 1.0 + g_zero; }));
}

TEST(Numbers, RoundingIsHalfToEvenAndConversionsAreChecked) {
  EXPECT_EQ(rtl::RoundHalfEven(0.5), 0);
  EXPECT_EQ(rtl::RoundHalfEven(1.5), 2);
  EXPECT_EQ(rtl::RoundHalfEven(2.5), 2);
  EXPECT_EQ(rtl::RoundHalfEven(-2.5), -2);
  // Both sides of the fast path's limit, and values already integral.
  EXPECT_EQ(rtl::RoundHalfEven(2251799813685247.5), 2251799813685248.0);
  EXPECT_EQ(rtl::RoundHalfEven(-2251799813685246.5), -2251799813685246.0);
  EXPECT_EQ(rtl::RoundHalfEven(3000000000000000.5), 3000000000000000.0);
  EXPECT_EQ(rtl::RoundHalfEven(1e300), 1e300);
  EXPECT_TRUE(std::isnan(rtl::RoundHalfEven(std::nan(""))));
  EXPECT_EQ(rtl::RoundPixel(3.5), 4);
  EXPECT_EQ(rtl::RoundPixel(1e300), std::numeric_limits<int>::max());
  EXPECT_EQ(rtl::RoundPixel(-1e300), std::numeric_limits<int>::min());
  EXPECT_EQ(rtl::RoundPixel(std::nan("")), 0);
  EXPECT_EQ(rtl::Trunc(-7.9L), -7);
  EXPECT_EQ(rtl::Round(2.5L), 2);
  EXPECT_EQ(rtl::Trunc(-9223372036854775808.0L), std::numeric_limits<int64_t>::min());
  EXPECT_THROW(rtl::Trunc(9223372036854775808.0L), rtl::EInvalidOp);
  EXPECT_THROW(rtl::Trunc(std::numeric_limits<long double>::infinity()), rtl::EInvalidOp);
  EXPECT_THROW(rtl::Trunc(std::nanl("")), rtl::EInvalidOp);
  EXPECT_THROW(rtl::TruncToInt(2147483648.0L), rtl::EInvalidOp);
  EXPECT_EQ(rtl::TruncToInt(-2147483648.9L), std::numeric_limits<int>::min());
  EXPECT_EQ(rtl::Half(-3), -1);
}

TEST(Random, UniformOnHalfOpenIntervalAndRepeatable) {
  rtl::RandSeed(1);
  double sum = 0;
  for (int i = 0; i < 100000; ++i) {
    const double r = rtl::Random();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
    sum += r;
  }
  EXPECT_NEAR(sum / 100000, 0.5, 0.01);
  rtl::RandSeed(7);
  const double a = rtl::Random();
  rtl::RandSeed(7);
  EXPECT_EQ(rtl::Random(), a);
}

TEST(TextEncoding, Cp1251RoundTripsEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b)
    all.push_back(static_cast<char>(b));
  const std::string utf8 = rtl::Cp1251ToUtf8(all);
  const auto back = rtl::Utf8ToCp1251(utf8);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, all);
  EXPECT_EQ(rtl::Cp1251ToUtf8("\xC0\xFF\xA8\xB8\xB9"), "АяЁё№");
  EXPECT_EQ(*rtl::Utf8ToCp1251("Рассчитать АИ"), "\xD0\xE0\xF1\xF1\xF7\xE8\xF2\xE0\xF2\xFC \xC0\xC8");
  EXPECT_FALSE(rtl::Utf8ToCp1251("\xE4\xB8\xAD").has_value()); // a CJK character
  EXPECT_FALSE(rtl::Utf8ToCp1251("\xFF").has_value());         // not UTF-8
  EXPECT_EQ(rtl::Utf32ToUtf8(rtl::Utf8ToUtf32("psi₁ ψ")), "psi₁ ψ");
}

class TempFolder : public ::testing::Test {
protected:
  void SetUp() override {
    char tmpl[] = "/tmp/kvel-rtl-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    ::chmod(dir_.c_str(), 0700);
    std::system(("rm -rf " + dir_).c_str());
  }
  std::string dir_;
};

TEST_F(TempFolder, AtomicWriteReplacesOrLeavesTheOldFile) {
  const std::string path = dir_ + "/game.txt";
  rtl::WriteFileAtomic(path, "first\r\n");
  EXPECT_EQ(rtl::ReadFileBytes(path), "first\r\n");
  rtl::WriteFileAtomic(path, "second");
  EXPECT_EQ(rtl::ReadFileBytes(path), "second");
  if (::geteuid() != 0) {
    ::chmod(dir_.c_str(), 0500);
    EXPECT_THROW(rtl::WriteFileAtomic(path, "third"), rtl::EInOutError);
    EXPECT_EQ(rtl::ReadFileBytes(path), "second");
  }
  EXPECT_THROW(rtl::WriteFileAtomic(dir_ + "/missing/x.txt", "x"), rtl::EInOutError);
  EXPECT_THROW(rtl::ReadFileBytes(dir_ + "/none.txt"), rtl::EInOutError);
  EXPECT_TRUE(rtl::FileExists(path));
  EXPECT_FALSE(rtl::FileExists(dir_));
}

TEST(Files, LinesSplitOnLfAndCrLf) {
  using V = std::vector<std::string>;
  EXPECT_EQ(rtl::SplitLines("a\r\nb\nc"), (V{"a", "b", "c"}));
  EXPECT_EQ(rtl::SplitLines("a\n\n"), (V{"a", ""}));
  EXPECT_EQ(rtl::SplitLines(""), V{});
  EXPECT_EQ(rtl::SplitLines("x\r"), V{"x\r"});
  EXPECT_EQ(rtl::JoinLinesCrLf({"a", ""}), "a\r\n\r\n");
}

} // namespace
