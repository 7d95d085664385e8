// Dates and times as the system counts them: a double holding days since
// 30 December 1899 at midnight, the time of day as the fraction (for dates
// before that day the fraction still counts forward from midnight).
#pragma once

#include <string>

namespace rtl {

bool IsLeapYear(int year) noexcept;
// 28 to 31; 0 for a month outside 1..12.
int DaysInMonth(int year, int month) noexcept;

// The date (at midnight) of a year 1..9999, month 1..12 and a day of that
// month. Anything else raises EConvertError "Invalid argument to date encode".
double EncodeDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, double &date) noexcept;

// The year, month and day of a date. The value is first rounded to the
// millisecond, so a value a hair below midnight belongs to the next day.
// NaN, infinities and dates outside the years 1..9999 raise EConvertError.
void DecodeDate(double date, int &year, int &month, int &day);

// The fixed short formats of our build, in the window library's picture
// letters (d, m, y for the date; h, n for hours and minutes). The machine's
// locale is not consulted, so that labels are the same everywhere.
inline const std::string ShortDateFormat = "dd.mm.yyyy";
inline const std::string ShortTimeFormat = "hh:nn";

} // namespace rtl
