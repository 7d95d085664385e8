// Rounding and conversion of floating values to integers.
// "Round" is always to nearest with halves to even. Every conversion to an
// integer goes through one of these: a float outside the target range is
// undefined behaviour in C++.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace rtl {

// Nearest integral value, halves to even, as a double. Below 2^51, adding
// and taking away 1.5 * 2^52 leaves no fraction bits and the default rounding
// mode rounds halves to even; it is inline, where the library call is not,
// and per-pixel loops call it. Larger values are integral already or take
// the library path; NaN stays NaN.
inline double RoundHalfEvenSmall(double x) noexcept {
  // For callers that have already held |x| below 2^51 (pixels).
  constexpr double kShift = 6755399441055744.0;
  return (x + kShift) - kShift;
}
inline double RoundHalfEven(double x) noexcept {
  if (std::fabs(x) < 2251799813685248.0) return RoundHalfEvenSmall(x);
  return std::nearbyint(x);
}

// Saturating conversion: NaN gives 0, values beyond the range give the
// range's ends. For pixel coordinates and other places where an
// out-of-range value must not be an error.
inline int ClampToInt(double x) noexcept {
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<int>::max();
  if (x <= -2147483648.0) return std::numeric_limits<int>::min();
  return static_cast<int>(x);
}

inline int64_t ClampToInt64(long double x) noexcept {
  if (std::isnan(x)) return 0;
  if (x >= 9223372036854775807.0L) return std::numeric_limits<int64_t>::max();
  if (x <= -9223372036854775808.0L) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(x);
}

// A floating value turned into a pixel: rounded halves to even, clamped.
inline int RoundPixel(double x) noexcept { return ClampToInt(RoundHalfEven(x)); }

// Integer halving toward zero, as the drawing rules want it.
inline int Half(int x) noexcept { return x / 2; }

// Truncation toward zero to 64 bits; NaN, infinities and values outside
// the 64-bit range raise EInvalidOp.
int64_t Trunc(long double x);

// Rounding halves to even to 64 bits; out of range raises EInvalidOp.
int64_t Round(long double x);

// Checked conversion to int; out of range raises EInvalidOp.
int TruncToInt(long double x);
int RoundToInt(long double x);

// The fractional and integral parts with the sign of x.
inline long double Frac(long double x) noexcept { return x - std::trunc(x); }
inline long double Int(long double x) noexcept { return std::trunc(x); }

} // namespace rtl
