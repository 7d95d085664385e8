#include "platform/rtl/FormatFloat.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Numbers.h"

namespace rtl {

namespace {

char thousandSeparator = ',';

// ---- number pictures ---------------------------------------------------------------

// One section of a picture, read once before formatting.
struct Section {
  std::string_view text;
  int intPlaces = 0; // digit placeholders before the point
  int minInt = 0;    // from the first '0' before the point on
  int decPlaces = 0; // placeholders after the point
  int minDec = 0;    // up to the last '0' after the point
  bool grouping = false;
  bool hasPoint = false;
  bool scientific = false;
  int expDigits = 0;
};

// Length of a quoted literal starting at I (the quote included), or 0.
size_t QuotedLength(std::string_view s, size_t i) {
  char q = s[i];
  if (q != '"' && q != '\'') return 0;
  size_t j = s.find(q, i + 1);
  return (j == std::string_view::npos ? s.size() : j + 1) - i;
}

bool IsExponentAt(std::string_view s, size_t i) {
  return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

Section ReadSection(std::string_view text) {
  Section sec;
  sec.text = text;
  int firstZeroInt = -1;
  int lastZeroDec = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (size_t q = QuotedLength(text, i)) {
      i += q - 1;
      continue;
    }
    char c = text[i];
    if (IsExponentAt(text, i) && !sec.scientific) {
      sec.scientific = true;
      size_t j = i + 2;
      while (j < text.size() && text[j] == '0')
        ++j;
      sec.expDigits = static_cast<int>(j - i - 2);
      i = j - 1;
      continue;
    }
    if (sec.scientific) continue; // after the exponent only literals count
    if (c == '0' || c == '#') {
      if (sec.hasPoint) {
        ++sec.decPlaces;
        if (c == '0') lastZeroDec = sec.decPlaces;
      } else {
        if (c == '0' && firstZeroInt < 0) firstZeroInt = sec.intPlaces;
        ++sec.intPlaces;
      }
    } else if (c == '.') {
      sec.hasPoint = true;
    } else if (c == ',') {
      if (!sec.hasPoint) sec.grouping = true;
    }
  }
  sec.minInt = firstZeroInt < 0 ? 0 : sec.intPlaces - firstZeroInt;
  sec.minDec = lastZeroDec;
  if (sec.expDigits > 4) sec.expDigits = 4;
  return sec;
}

// The digits of |value| before and after the point as the section wants
// them, and the exponent for a scientific section.
struct Digits {
  std::string intPart;
  std::string decPart;
  int exponent = 0;
};

Digits FixedDigits(const Section &sec, double value) {
  Digits d;
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", sec.decPlaces, std::fabs(value));
  std::string_view s(buf);
  size_t point = s.find('.');
  std::string_view ip = s.substr(0, point);
  std::string_view dp = point == std::string_view::npos ? std::string_view{} : s.substr(point + 1);
  size_t nz = ip.find_first_not_of('0');
  d.intPart = nz == std::string_view::npos ? std::string{} : std::string(ip.substr(nz));
  while (static_cast<int>(d.intPart.size()) < sec.minInt)
    d.intPart.insert(d.intPart.begin(), '0');
  d.decPart = std::string(dp);
  while (static_cast<int>(d.decPart.size()) > sec.minDec && d.decPart.back() == '0')
    d.decPart.pop_back();
  return d;
}

Digits ScientificDigits(const Section &sec, double value) {
  Digits d;
  int intDigits = sec.intPlaces < 1 ? 1 : sec.intPlaces;
  int precision = intDigits - 1 + sec.decPlaces;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", precision, std::fabs(value));
  std::string_view s(buf);
  size_t e = s.find('e');
  std::string mantissa;
  for (char c : s.substr(0, e))
    if (c != '.') mantissa += c;
  int exp10 = std::atoi(buf + e + 1);
  if (value == 0) exp10 = intDigits - 1;
  d.exponent = exp10 - (intDigits - 1);
  d.intPart = mantissa.substr(0, intDigits);
  d.decPart = mantissa.substr(intDigits);
  size_t nz = d.intPart.find_first_not_of('0');
  d.intPart = nz == std::string::npos ? std::string{} : d.intPart.substr(nz);
  while (static_cast<int>(d.intPart.size()) < sec.minInt)
    d.intPart.insert(d.intPart.begin(), '0');
  while (static_cast<int>(d.decPart.size()) > sec.minDec && d.decPart.back() == '0')
    d.decPart.pop_back();
  return d;
}

std::string Render(const Section &sec, const Digits &d, bool negative) {
  std::string out;
  const std::string_view t = sec.text;
  const int lenInt = static_cast<int>(d.intPart.size());
  int intSeen = 0; // integer placeholders passed
  int decSeen = 0;
  bool pointDone = false;
  bool signDone = !negative;
  bool exponentDone = false;

  auto putSign = [&] {
    if (!signDone) {
      out += '-';
      signDone = true;
    }
  };
  // Digit k of the integer part (0 = leftmost) followed by its group mark.
  auto putIntDigit = [&](int k) {
    putSign();
    out += d.intPart[k];
    int left = lenInt - 1 - k;
    if (sec.grouping && left > 0 && left % 3 == 0) out += thousandSeparator;
  };
  // Every integer digit not yet shown (all when there are no placeholders).
  auto flushInt = [&] {
    int owed = sec.intPlaces - intSeen;
    int from = intSeen == 0 ? 0 : (lenInt - owed > 0 ? lenInt - owed : 0);
    for (int k = from; k < lenInt; ++k)
      putIntDigit(k);
    intSeen = sec.intPlaces;
  };
  auto putPoint = [&] {
    if (pointDone) return;
    pointDone = true;
    if (intSeen < sec.intPlaces || sec.intPlaces == 0) flushInt();
    if (!d.decPart.empty()) {
      putSign();
      out += DecimalSeparator();
    }
  };

  for (size_t i = 0; i < t.size(); ++i) {
    if (size_t q = QuotedLength(t, i)) {
      out.append(t.substr(i + 1, q >= 2 && (t[i + q - 1] == t[i]) ? q - 2 : q - 1));
      i += q - 1;
      continue;
    }
    char c = t[i];
    if (!exponentDone && sec.scientific && IsExponentAt(t, i)) {
      if (!pointDone) putPoint();
      exponentDone = true;
      out += c;
      int e = d.exponent;
      if (e < 0)
        out += '-';
      else if (t[i + 1] == '+')
        out += '+';
      std::string digits = std::to_string(std::abs(e));
      while (static_cast<int>(digits.size()) < sec.expDigits)
        digits.insert(digits.begin(), '0');
      out += digits;
      size_t j = i + 2;
      while (j < t.size() && t[j] == '0')
        ++j;
      i = j - 1;
      continue;
    }
    if (exponentDone) {
      out += c;
      continue;
    }
    if ((c == '0' || c == '#') && !pointDone) {
      int remaining = sec.intPlaces - intSeen; // this placeholder included
      if (intSeen == 0) {
        // Digits beyond the placeholders all come out at the first one.
        for (int k = 0; k < lenInt - remaining; ++k)
          putIntDigit(k);
      }
      int k = lenInt - remaining;
      if (k >= 0) putIntDigit(k);
      ++intSeen;
      continue;
    }
    if ((c == '0' || c == '#') && pointDone) {
      if (decSeen < static_cast<int>(d.decPart.size())) {
        putSign();
        out += d.decPart[decSeen];
      }
      ++decSeen;
      continue;
    }
    if (c == '.') {
      putPoint();
      continue;
    }
    if (c == ',') continue;
    out += c;
  }
  if (!pointDone) {
    // No point in the picture: integer digits still owed go at the end.
    if (intSeen < sec.intPlaces || sec.intPlaces == 0) flushInt();
  }
  if (!signDone) out.insert(out.begin(), '-');
  return out;
}

std::string FormatSection(const Section &sec, double value, bool negative) {
  if (!sec.scientific && std::fabs(value) >= 1e18) {
    std::string s = FloatToStr(std::fabs(value));
    return negative ? "-" + s : s;
  }
  Digits d = sec.scientific ? ScientificDigits(sec, value) : FixedDigits(sec, value);
  if (d.intPart.find_first_not_of('0') == std::string::npos && d.decPart.find_first_not_of('0') == std::string::npos)
    negative = false; // nothing left of the value to be negative
  return Render(sec, d, negative);
}

// ---- date pictures ---------------------------------------------------------------------

constexpr std::array<const char *, 7> kShortDays{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char *, 7> kLongDays{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                "Thursday", "Friday", "Saturday"};
constexpr std::array<const char *, 12> kShortMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<const char *, 12> kLongMonths{"January",   "February", "March",    "April",
                                                   "May",       "June",     "July",     "August",
                                                   "September", "October",  "November", "December"};
constexpr std::string_view kLongTimeFormat = "hh:nn:ss";
constexpr std::string_view kLongDateFormat = "dddd, d mmmm yyyy";

struct DateParts {
  int year = 0, month = 0, day = 0, dayOfWeek = 0;
  int hour = 0, minute = 0, second = 0, msec = 0;
  bool midnight = true;
};

std::string Pad(int value, int width) {
  std::string s = std::to_string(value);
  while (static_cast<int>(s.size()) < width)
    s.insert(s.begin(), '0');
  return s;
}

bool StartsWithNoCase(std::string_view s, size_t i, std::string_view what) {
  if (s.size() - i < what.size()) return false;
  for (size_t k = 0; k < what.size(); ++k)
    if (std::tolower(static_cast<unsigned char>(s[i + k])) != what[k]) return false;
  return true;
}

// Whether an am/pm marker follows position I, making hours twelve-hour.
bool HasAmPmAfter(std::string_view f, size_t i) {
  for (; i < f.size(); ++i) {
    if (size_t q = QuotedLength(f, i)) {
      i += q - 1;
      continue;
    }
    if (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "a/p") || StartsWithNoCase(f, i, "ampm")) return true;
  }
  return false;
}

void AppendDate(std::string &out, std::string_view f, const DateParts &p, int depth);

void AppendDate(std::string &out, std::string_view f, const DateParts &p, int depth) {
  if (depth > 2) return; // a named format never names itself; stay bounded
  char last = 0;         // the last date-time letter, for m after h
  for (size_t i = 0; i < f.size();) {
    if (size_t q = QuotedLength(f, i)) {
      out.append(f.substr(i + 1, q >= 2 && f[i + q - 1] == f[i] ? q - 2 : q - 1));
      i += q;
      continue;
    }
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(f[i])));
    size_t run = 1;
    while (i + run < f.size() && std::tolower(static_cast<unsigned char>(f[i + run])) == c)
      ++run;
    switch (c) {
    case 'c':
      AppendDate(out, ShortDateFormat, p, depth + 1);
      if (!p.midnight) {
        out += ' ';
        AppendDate(out, kLongTimeFormat, p, depth + 1);
      }
      i += 1;
      last = 0;
      continue;
    case 'd':
      if (run == 1 || run == 2)
        out += Pad(p.day, static_cast<int>(run));
      else if (run == 3)
        out += kShortDays[p.dayOfWeek];
      else if (run == 4)
        out += kLongDays[p.dayOfWeek];
      else if (run == 5)
        AppendDate(out, ShortDateFormat, p, depth + 1);
      else
        AppendDate(out, kLongDateFormat, p, depth + 1);
      i += run > 6 ? 6 : run;
      last = 'd';
      continue;
    case 'm':
      if (last == 'h' && run <= 2) {
        out += Pad(p.minute, static_cast<int>(run));
      } else if (run <= 2) {
        out += Pad(p.month, static_cast<int>(run));
      } else if (run == 3) {
        out += kShortMonths[p.month - 1];
      } else {
        out += kLongMonths[p.month - 1];
      }
      i += run > 4 ? 4 : run;
      last = 'm';
      continue;
    case 'y':
      if (run <= 2)
        out += Pad(p.year % 100, 2);
      else
        out += Pad(p.year, 4);
      i += run;
      last = 'y';
      continue;
    case 'h': {
      int h = p.hour;
      if (HasAmPmAfter(f, i + run)) {
        h %= 12;
        if (h == 0) h = 12;
      }
      size_t n = run > 2 ? 2 : run;
      out += Pad(h, static_cast<int>(n));
      i += n;
      last = 'h';
      continue;
    }
    case 'n': {
      size_t n = run > 2 ? 2 : run;
      out += Pad(p.minute, static_cast<int>(n));
      i += n;
      last = 'n';
      continue;
    }
    case 's': {
      size_t n = run > 2 ? 2 : run;
      out += Pad(p.second, static_cast<int>(n));
      i += n;
      last = 's';
      continue;
    }
    case 'z': {
      size_t n = run >= 3 ? 3 : 1;
      out += Pad(p.msec, n == 3 ? 3 : 1);
      i += n;
      last = 'z';
      continue;
    }
    case 't':
      AppendDate(out, run >= 2 ? kLongTimeFormat : ShortTimeFormat, p, depth + 1);
      i += run >= 2 ? 2 : 1;
      last = 0;
      continue;
    case 'a':
      if (StartsWithNoCase(f, i, "am/pm")) {
        bool upper = f[i] == 'A';
        out += p.hour < 12 ? (upper ? "AM" : "am") : (upper ? "PM" : "pm");
        i += 5;
      } else if (StartsWithNoCase(f, i, "a/p")) {
        bool upper = f[i] == 'A';
        out += p.hour < 12 ? (upper ? 'A' : 'a') : (upper ? 'P' : 'p');
        i += 3;
      } else if (StartsWithNoCase(f, i, "ampm")) {
        out += p.hour < 12 ? "AM" : "PM";
        i += 4;
      } else {
        out += f[i];
        i += 1;
      }
      continue;
    case '/':
      out += '.';
      i += 1;
      continue;
    default:
      out += f[i];
      i += 1;
      continue;
    }
  }
}

} // namespace

char ThousandSeparator() noexcept { return thousandSeparator; }
void SetThousandSeparator(char separator) noexcept { thousandSeparator = separator; }

std::string FormatFloat(std::string_view format, double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (format.empty()) return FloatToStr(value);

  // Split into at most three sections at ';' outside quotes.
  std::array<std::string_view, 3> parts{};
  int count = 0;
  size_t start = 0;
  for (size_t i = 0; i <= format.size() && count < 3; ++i) {
    if (i < format.size()) {
      if (size_t q = QuotedLength(format, i)) {
        i += q - 1;
        continue;
      }
      if (format[i] != ';') continue;
    }
    parts[count++] = format.substr(start, i - start);
    start = i + 1;
  }
  for (int k = 0; k < 3; ++k) {
    int places = 0;
    for (char c : parts[k])
      if (c == '0' || c == '#') ++places;
    if (places > 18) return FloatToStr(value);
  }

  if (value == 0 && count >= 3 && !parts[2].empty()) return FormatSection(ReadSection(parts[2]), 0.0, false);
  if (value < 0 && count >= 2 && !parts[1].empty()) return FormatSection(ReadSection(parts[1]), value, false);
  return FormatSection(ReadSection(parts[0]), value, value < 0);
}

std::string FormatDateTime(std::string_view format, double dateTime) {
  if (std::isnan(dateTime)) return "NAN";
  if (std::isinf(dateTime)) return dateTime > 0 ? "INF" : "-INF";
  DateParts p;
  try {
    DecodeDate(dateTime, p.year, p.month, p.day);
  } catch (const EConvertError &) {
    return {};
  }
  double day = EncodeDate(p.year, p.month, p.day);
  long long days = static_cast<long long>(day);
  p.dayOfWeek = static_cast<int>(((days % 7) + 7 + 6) % 7);
  double frac = std::fabs(dateTime - std::trunc(dateTime));
  long long ms = static_cast<long long>(RoundHalfEven(frac * 86400000.0));
  if (ms >= 86400000) ms = 0; // a hair below midnight is the next day's midnight
  p.hour = static_cast<int>(ms / 3600000);
  p.minute = static_cast<int>(ms / 60000 % 60);
  p.second = static_cast<int>(ms / 1000 % 60);
  p.msec = static_cast<int>(ms % 1000);
  p.midnight = ms == 0;
  std::string out;
  AppendDate(out, format.empty() ? std::string_view("c") : format, p, 0);
  return out;
}

} // namespace rtl
