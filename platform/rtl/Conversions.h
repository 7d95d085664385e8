// Text and number conversions of the run-time. The decimal separator is one
// process-wide setting ('.' unless changed; the workbench never changes it).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rtl {

char DecimalSeparator() noexcept;
void SetDecimalSeparator(char separator) noexcept;

// Integers: optional blanks before, an optional sign, decimal digits (or
// '$'/"0x" and hexadecimal digits). Anything else, or a value outside the
// range, raises EConvertError "'<text>' is not a valid integer value".
int StrToInt(std::string_view text);
int64_t StrToInt64(std::string_view text);
bool TryStrToInt(std::string_view text, int &value) noexcept;

std::string IntToStr(int64_t value);

// Floats with the locale's separator: blanks around, an optional sign,
// digits with at most one separator (at least one digit), an optional
// exponent "E[+|-]digits". A value beyond the double range, or any other
// text, raises EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(std::string_view text);
bool TryStrToFloat(std::string_view text, double &value) noexcept;

// Converts a text already checked to be a decimal number in the C form
// ([sign] digits [. digits] [E [sign] digits], '.' as separator, digits may
// be empty on either side of the point). Returns false when the value is
// beyond the double range; values below it become zero.
bool DecimalTextToDouble(std::string_view text, double &value) noexcept;

// The general float-to-text conversion: 15 significant digits, trailing
// zeros dropped; fixed notation when 0.0001 <= |x| < 1E15, otherwise
// "d.dddE-x" with no plus sign and no leading zeros in the exponent.
// Uses the locale's separator. NaN and infinities give "NAN", "INF", "-INF".
std::string FloatToStr(double value);

} // namespace rtl
