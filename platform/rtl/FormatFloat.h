// Numbers and dates as texts through picture formats, the way labels, marks
// and legends show them. Separators and the short date and time formats are
// the run-time's fixed settings (DecimalSeparator(), ThousandSeparator(),
// ShortDateFormat, ShortTimeFormat), never the machine's locale, so a chart
// reads the same everywhere.
#pragma once

#include <string>
#include <string_view>

namespace rtl {

// The grouping character that ',' in a picture stands for (',' unless
// changed; the workbench never changes it).
char ThousandSeparator() noexcept;
void SetThousandSeparator(char separator) noexcept;

// A number through a picture:
//   0        a digit, shown even when it is a leading or trailing zero
//   #        a digit, left out when it is an insignificant zero
//   .        the decimal separator (the first one; later ones are ignored)
//   ,        grouping by thousands when anywhere left of the point
//   E+0 E-0 e+0 e-0   scientific notation; the zeros after the sign give
//            the least number of exponent digits; '+' shows the sign
//            always, '-' only for negative exponents
//   "x" 'x'  literal text
//   ;        sections: positive;negative;zero. A negative value formatted
//            by the negative section loses its minus sign
// Every other character, '%' too, is copied as it stands: the value is
// never scaled. An empty picture gives the general conversion (FloatToStr).
// Pictures with more than 18 digit placeholders, and values of 1E18 or
// more without an exponent, fall back to the general conversion as well.
// Infinities and NaN give "INF", "-INF" and "NAN" whatever the picture.
std::string FormatFloat(std::string_view format, double value);

// A date-time (days since 30 December 1899, see DateTime.h) through a
// picture of the window library's letters:
//   d dd ddd dddd   day, with leading zero, short and long day name
//   m mm mmm mmmm   month (minutes right after h or hh), names likewise
//   yy yyyy         year in two or four digits
//   h hh n nn s ss z zzz   hours, minutes, seconds, milliseconds
//   am/pm a/p ampm  twelve-hour clock with that marker
//   c               short date, then the time when it is not midnight
//   ddddd dddddd    the short date;   t tt   short time, long time
//   /  :            the date and time separators ('.' and ':')
//   "x" 'x'         literal text
// An empty picture is "c". Names are English. Infinities and NaN give
// "INF", "-INF" and "NAN"; dates outside the years 1 to 9999 give "".
std::string FormatDateTime(std::string_view format, double dateTime);

} // namespace rtl
