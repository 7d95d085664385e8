#include "chart/foundation/UloProcs.h"

#include "platform/forms/Cursors.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/DateTime.h"

#include <cmath>
#include <cstdint>
#include <utility>

// ---- start-up and shut-down -------------------------------------------------

namespace {

// Dates on or before this one are never rounded (0 until start-up).
double firstRoundedDate = 0;

// The hand, one character per pixel: '#' outline, 'o' fill, '.' clear.
constexpr int kHandSize = 16;
constexpr int kHandScale = 2;
constexpr const char *kHandRows[kHandSize] = {
    ".......##.......", //
    "......#oo###....", //
    "....###oo#oo#...", //
    "...#oo#oo#oo###.", //
    "...#oo#oo#oo#oo#", //
    "...#oo#oo#oo#oo#", //
    "...#oo#oo#oo#oo#", //
    "##.#ooooooooooo#", //
    "#o##ooooooooooo#", //
    "#oo#ooooooooooo#", //
    ".#oooooooooooo#.", //
    "..#ooooooooooo#.", //
    "...#oooooooooo#.", //
    "....#oooooooo#..", //
    ".....#ooooooo#..", //
    ".....#########..", //
};

} // namespace

forms::CursorImage UloHandCursorImage() {
  forms::CursorImage image;
  image.width = kHandSize * kHandScale;
  image.height = kHandSize * kHandScale;
  image.hotX = image.width / 2;
  image.hotY = image.height / 2;
  image.argb.reserve(static_cast<size_t>(image.width) * static_cast<size_t>(image.height));
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const char c = kHandRows[y / kHandScale][x / kHandScale];
      image.argb.push_back(c == '#' ? 0xFF000000u : c == 'o' ? 0xFFFFFFFFu : 0x00000000u);
    }
  return image;
}

void InitializeUloProcs() {
  UloFieldSeparator = ";";
  UloSetDefaultColorPalette(UloDefaultPaletteColors);
  forms::SetCursorImage(UloHandCursor, UloHandCursorImage());
  firstRoundedDate = rtl::EncodeDate(1900, 1, 1);
}

void FinalizeUloProcs() {
  UloDefaultPalette.clear();
  UloDefaultPalette.shrink_to_fit();
  forms::ClearCursorImage(UloHandCursor);
  UloFieldSeparator.clear();
}

// ---- colours ----------------------------------------------------------------

std::vector<TColor> UloDefaultPalette;

const std::array<TColor, 20> UloDefaultPaletteColors = {
    clRed,  clGreen, clYellow, clBlue,   clWhite, clGray,  clFuchsia,    clTeal,    clNavy,  clMaroon,
    clLime, clOlive, clPurple, clSilver, clAqua,  clBlack, clMoneyGreen, clSkyBlue, clCream, clMedGray};

TColor UloGetDefaultColor(int index) noexcept {
  const auto count = static_cast<int64_t>(UloDefaultPalette.size());
  if (count == 0) return clBlack;
  int64_t i = static_cast<int64_t>(index) % count;
  if (i < 0) i += count;
  return UloDefaultPalette[static_cast<size_t>(i)];
}

void UloSetDefaultColorPalette(std::span<const TColor> colors) {
  UloDefaultPalette.assign(colors.begin(), colors.end());
}

// ---- date-time steps ----------------------------------------------------------

namespace {
constexpr int kFirstMonthStep = 20;
constexpr int kYearStep = 26;
} // namespace

// Each entry is one division, the double nearest the step itself: a step a
// caller makes the same way (5.0 / 1440 for five minutes) is then equal to
// its entry, where 5 * (1.0 / 1440) would lie a unit above it, and the next
// step after five minutes would be five minutes again.
const std::array<double, 27> UloDateTimeSteps = {1.0 / 86400e6,
                                                 1.0 / 86400e3,
                                                 1.0 / 86400,
                                                 5.0 / 86400,
                                                 10.0 / 86400,
                                                 15.0 / 86400,
                                                 30.0 / 86400,
                                                 1.0 / 1440,
                                                 5.0 / 1440,
                                                 10.0 / 1440,
                                                 15.0 / 1440,
                                                 30.0 / 1440,
                                                 1.0 / 24,
                                                 2.0 / 24,
                                                 6.0 / 24,
                                                 12.0 / 24,
                                                 1,
                                                 2,
                                                 3,
                                                 7,
                                                 15,
                                                 30,
                                                 60,
                                                 90,
                                                 120,
                                                 182,
                                                 365};

int UloFindDateTimeStep(double value) noexcept {
  for (int i = UloNoDateTimeStep - 1; i >= 0; --i)
    if (std::fabs(UloDateTimeSteps[static_cast<size_t>(i)] - value) < UloDateTimeSteps[0]) return i;
  return UloNoDateTimeStep;
}

double UloNextDateTimeStep(double value) noexcept {
  for (int i = kYearStep - 1; i >= 0; --i)
    if (value >= UloDateTimeSteps[static_cast<size_t>(i)]) return UloDateTimeSteps[static_cast<size_t>(i) + 1];
  return UloDateTimeSteps[kYearStep];
}

const std::string &UloDateTimeDefaultFormat(double step) noexcept {
  return step > 1 ? rtl::ShortDateFormat : rtl::ShortTimeFormat;
}

double UloRoundDate(int stepIndex, double date) {
  if (date <= firstRoundedDate) return date;
  int year = 0, month = 0, day = 0;
  rtl::DecodeDate(date, year, month, day);
  if (stepIndex == kFirstMonthStep) {
    day = day >= 15 ? 15 : 1;
  } else if (stepIndex > kFirstMonthStep && stepIndex < kYearStep) {
    day = 1;
  } else if (stepIndex == kYearStep) {
    day = 1;
    month = 1;
  }
  return rtl::EncodeDate(year, month, day);
}

namespace {

// Months moved by the steps 21 to 25.
int StepMonths(int stepIndex) noexcept {
  static constexpr int kMonths[] = {1, 2, 3, 4, 6};
  return kMonths[stepIndex - kFirstMonthStep - 1];
}

} // namespace

void UloIncDecDateTime(bool exact, bool increment, double &value, int stepIndex, double step) {
  if (!exact || stepIndex < kFirstMonthStep || stepIndex > kYearStep) {
    value = increment ? value + step : value - step;
    return;
  }
  int year = 0, month = 0, day = 0;
  rtl::DecodeDate(value, year, month, day);
  if (stepIndex == kFirstMonthStep) {
    if (increment) {
      if (day < 15) {
        day = 15;
      } else {
        day = 1;
        if (++month > 12) {
          month = 1;
          ++year;
        }
      }
    } else if (day > 15) {
      day = 15;
    } else if (day > 1) {
      day = 1;
    } else {
      day = 15;
      if (--month < 1) {
        month = 12;
        --year;
      }
    }
  } else if (stepIndex < kYearStep) {
    const int months = StepMonths(stepIndex);
    day = 1;
    if (increment) {
      month += months;
      if (month > 12) {
        month -= 12;
        ++year;
      }
    } else if (months < month) {
      month -= months;
    } else {
      --year;
      month = 12 - (months - month);
    }
  } else {
    year += increment ? 1 : -1;
    // 29 February of a leap year has no counterpart a year away.
    if (day > rtl::DaysInMonth(year, month)) day = rtl::DaysInMonth(year, month);
  }
  value = rtl::EncodeDate(year, month, day);
}

// ---- hit tests ----------------------------------------------------------------

double PointToSegmentDistance(const TPoint &p, const TPoint &a, const TPoint &b) noexcept {
  const double px = p.X, py = p.Y, ax = a.X, ay = a.Y;
  if (a == b) return std::hypot(px - ax, py - ay);
  const double dx = static_cast<double>(b.X) - ax;
  const double dy = static_cast<double>(b.Y) - ay;
  const double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
  if (t < 0) return std::hypot(px - ax, py - ay);
  if (t > 1) return std::hypot(px - b.X, py - b.Y);
  return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

bool PointInLine(const TPoint &p, int x0, int y0, int tolerance, int x1, int y1) noexcept {
  const TPoint a{x0, y0}, b{x1, y1};
  if (p == a || p == b) return true;
  return PointToSegmentDistance(p, a, b) <= static_cast<double>(tolerance) + 1;
}

bool PointInLineP(const TPoint &p, const TPoint &a, const TPoint &b, int tolerance) noexcept {
  return PointInLine(p, a.X, a.Y, tolerance, b.X, b.Y);
}

bool PointInLineXY(const TPoint &p, int x0, int y0, int x1, int y1) noexcept {
  return PointInLine(p, x0, y0, 0, x1, y1);
}

bool PointInLinePExact(const TPoint &p, const TPoint &a, const TPoint &b) noexcept {
  return PointInLine(p, a.X, a.Y, 0, b.X, b.Y);
}

bool PointInPolygon(const TPoint &p, std::span<const TPoint> points) noexcept {
  bool inside = false;
  if (points.empty()) return inside;
  size_t j = points.size() - 1;
  for (size_t i = 0; i < points.size(); j = i++) {
    const TPoint &pi = points[i];
    const TPoint &pj = points[j];
    if ((pi.Y <= p.Y && p.Y < pj.Y) || (pj.Y <= p.Y && p.Y < pi.Y)) {
      // 64 bits: the product of two pixel differences overflows 32.
      const int64_t product = (static_cast<int64_t>(pj.X) - pi.X) * (static_cast<int64_t>(p.Y) - pi.Y);
      const double crossing =
          static_cast<double>(product) / (static_cast<double>(pj.Y) - static_cast<double>(pi.Y)) + pi.X;
      if (p.X < crossing) inside = !inside;
    }
  }
  return inside;
}

bool PointInTriangle(const TPoint &p, int x0, int x1, int y0, int y1) noexcept {
  const auto apex = static_cast<int>((static_cast<int64_t>(x0) + x1) / 2);
  const TPoint corners[3] = {{x0, y1}, {apex, y0}, {x1, y1}};
  return PointInPolygon(p, corners);
}

bool PointInEllipse(const TPoint &p, const TRect &rect) noexcept {
  const int64_t cx = (static_cast<int64_t>(rect.Left) + rect.Right) / 2;
  const int64_t cy = (static_cast<int64_t>(rect.Top) + rect.Bottom) / 2;
  const auto a2 = static_cast<double>((cx - rect.Left) * (cx - rect.Left));
  const auto b2 = static_cast<double>((cy - rect.Top) * (cy - rect.Top));
  if (a2 == 0 || b2 == 0) return false;
  const auto dx = static_cast<double>(p.X - cx);
  const auto dy = static_cast<double>(p.Y - cy);
  return dx * dx / a2 + dy * dy / b2 <= 1;
}

// ---- other ----------------------------------------------------------------------

void UloSort(int lo, int hi, const TUloCompareProc &compare, const TUloSwapProc &swap) {
  // The ranges wait on a stack of our own rather than the call stack, so
  // unlucky pivots on long lists cannot run it out. The left part is always
  // finished before the right one, as plain recursion would do it: the two
  // may share their border item, so the order shows in the result.
  std::vector<std::pair<int, int>> pending{{lo, hi}};
  while (!pending.empty()) {
    const auto [l, h] = pending.back();
    pending.pop_back();
    if (h <= l) continue;
    int i = l, j = h;
    int m = static_cast<int>((static_cast<uint32_t>(l) + static_cast<uint32_t>(h)) >> 1);
    do {
      while (compare(i, m) < 0)
        ++i;
      while (compare(m, j) < 0)
        --j;
      if (j > i) {
        swap(i, j);
        if (i == m)
          m = j;
        else if (j == m)
          m = i;
      }
      if (j >= i) {
        ++i;
        --j;
      }
    } while (j > i);
    if (i < h) pending.emplace_back(i, h);
    if (j > l) pending.emplace_back(l, j);
  }
}

std::string UloFieldSeparator;

std::string UloExtractField(std::string_view text, int index) {
  return UloExtractField(text, index, UloFieldSeparator);
}

std::string UloExtractField(std::string_view text, int index, std::string_view separator) {
  if (text.empty() || index < 1) return {};
  // An empty separator is found nowhere: the whole text is the only field.
  if (!separator.empty()) {
    for (size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator)) {
      if (--index == 0) return std::string(text.substr(0, at));
      text.remove_prefix(at + separator.size());
    }
  }
  return std::string(text);
}

std::string ReplaceChar(std::string_view text, char oldChar, char newChar) {
  std::string result;
  if (oldChar == newChar) return std::string(text);
  result.reserve(text.size());
  for (const char c : text) {
    if (c != oldChar)
      result += c;
    else if (newChar != '\0')
      result += newChar;
  }
  return result;
}

std::string UloStr(int value) { return rtl::IntToStr(value); }
