#include "platform/rtl/DateTime.h"

#include "platform/rtl/Exceptions.h"

#include <cmath>
#include <cstdint>

namespace rtl {
namespace {

// 1 January of year 1 and 31 December 9999 as dates of the system.
constexpr int64_t kFirstDay = -693593;
constexpr int64_t kLastDay = 2958465;
constexpr int64_t kMSecsPerDay = 86400000;

int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) noexcept {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468; // days since 1 January 1970
}

void CivilFromDays(int64_t z, int &year, int &month, int &day) noexcept {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp + (mp < 10 ? 3 : -9);
  year = static_cast<int>(yoe + era * 400 + (m <= 2));
  month = static_cast<int>(m);
  day = static_cast<int>(d);
}

// 30 December 1899 counted from 1 January 1970.
const int64_t kEpochShift = DaysFromCivil(1899, 12, 30);

} // namespace

bool IsLeapYear(int year) noexcept { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) noexcept {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, double &date) noexcept {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
  date = static_cast<double>(DaysFromCivil(year, month, day) - kEpochShift);
  return true;
}

double EncodeDate(int year, int month, int day) {
  double date = 0;
  if (!TryEncodeDate(year, month, day, date)) throw EConvertError("Invalid argument to date encode");
  return date;
}

void DecodeDate(double date, int &year, int &month, int &day) {
  // The bounds keep the product below within 64 bits; the exact range is
  // checked on the whole days.
  if (!std::isfinite(date) || date < static_cast<double>(kFirstDay - 1) || date > static_cast<double>(kLastDay + 1))
    throw EConvertError("Invalid argument to date decode");
  const auto msecs = static_cast<int64_t>(std::nearbyint(date * static_cast<double>(kMSecsPerDay)));
  // Truncation toward zero: the fraction of a date before the epoch is a
  // time after midnight of the day named by the integral part.
  const int64_t days = msecs / kMSecsPerDay;
  if (days < kFirstDay || days > kLastDay) throw EConvertError("Invalid argument to date decode");
  CivilFromDays(days + kEpochShift, year, month, day);
}

} // namespace rtl
