#include "platform/rtl/Conversions.h"

#include "platform/rtl/Exceptions.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include <locale.h>

namespace rtl {

namespace {

char g_separator = '.';

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool ParseInt64(std::string_view text, int64_t &out) {
  std::string_view s = text;
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s.front() == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return false;
  // Accumulate as a negative number so that the minimum fits.
  const int64_t min = std::numeric_limits<int64_t>::min();
  int64_t acc = 0;
  for (char c : s) {
    const int d = base == 10 ? (IsDigit(c) ? c - '0' : -1) : HexDigit(c);
    if (d < 0) return false;
    if (acc < (min + d) / base) return false;
    acc = acc * base - d;
  }
  if (!negative) {
    if (acc == min) return false;
    acc = -acc;
  }
  out = acc;
  return true;
}

locale_t CLocale() {
  static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return loc;
}

} // namespace

char DecimalSeparator() noexcept { return g_separator; }
void SetDecimalSeparator(char separator) noexcept { g_separator = separator; }

bool TryStrToInt(std::string_view text, int &value) noexcept {
  int64_t v = 0;
  if (!ParseInt64(text, v) || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
    return false;
  value = static_cast<int>(v);
  return true;
}

int StrToInt(std::string_view text) {
  int v = 0;
  if (!TryStrToInt(text, v)) throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return v;
}

int64_t StrToInt64(std::string_view text) {
  int64_t v = 0;
  if (!ParseInt64(text, v)) throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return v;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

bool DecimalTextToDouble(std::string_view text, double &value) noexcept {
  // strtod with the C locale; it needs a terminated copy. Empty mantissa
  // parts ("." or "E5") are zero by the grammars that call this.
  std::string buf;
  buf.reserve(text.size() + 2);
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) buf.push_back(text[i++]);
  bool any_digit = false;
  for (std::size_t j = i; j < text.size() && text[j] != 'E' && text[j] != 'e'; ++j)
    if (IsDigit(text[j])) any_digit = true;
  if (!any_digit) {
    value = buf == "-" ? -0.0 : 0.0;
    return true;
  }
  buf.append(text.substr(i));
  errno = 0;
  char *end = nullptr;
  const double v = strtod_l(buf.c_str(), &end, CLocale());
  if (errno == ERANGE && std::isinf(v)) return false;
  value = v;
  return true;
}

bool TryStrToFloat(std::string_view text, double &value) noexcept {
  const std::string_view s = TrimBlanks(text);
  std::string norm;
  norm.reserve(s.size());
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) norm.push_back(s[i++]);
  int digits = 0;
  bool separator = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (IsDigit(c)) {
      ++digits;
      norm.push_back(c);
    } else if (c == g_separator && !separator) {
      separator = true;
      norm.push_back('.');
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    norm.push_back('E');
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) norm.push_back(s[i++]);
    int exp_digits = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i, ++exp_digits) norm.push_back(s[i]);
    if (exp_digits == 0) return false;
  }
  if (i != s.size()) return false;
  return DecimalTextToDouble(norm, value);
}

double StrToFloat(std::string_view text) {
  double v = 0;
  if (!TryStrToFloat(text, v))
    throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
  return v;
}

std::string FloatToStr(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";

  // 15 significant digits: d.dddddddddddddde±x
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
  std::string digits;
  const char *p = buf;
  for (; *p != 'e'; ++p)
    if (IsDigit(*p)) digits.push_back(*p);
  const int exponent = std::atoi(p + 1);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out;
  if (value < 0) out.push_back('-');
  if (exponent >= -4 && exponent < 15) {
    if (exponent < 0) {
      out += '0';
      out += g_separator;
      out.append(static_cast<std::size_t>(-exponent - 1), '0');
      out += digits;
    } else {
      const std::size_t int_digits = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() <= int_digits) {
        out += digits;
        out.append(int_digits - digits.size(), '0');
      } else {
        out.append(digits, 0, int_digits);
        out += g_separator;
        out.append(digits, int_digits, std::string::npos);
      }
    }
  } else {
    out += digits[0];
    if (digits.size() > 1) {
      out += g_separator;
      out.append(digits, 1, std::string::npos);
    }
    out += 'E';
    out += std::to_string(exponent);
  }
  return out;
}

} // namespace rtl
