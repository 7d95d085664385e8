#include "platform/rtl/Numbers.h"

#include "platform/rtl/Exceptions.h"

namespace rtl {

namespace {
// 2^63 is exactly representable; the valid range is [-2^63, 2^63).
constexpr long double kTwo63 = 9223372036854775808.0L;

bool FitsInt64(long double x) { return !std::isnan(x) && x > -kTwo63 - 1.0L && x < kTwo63; }
} // namespace

int64_t Trunc(long double x) {
  const long double t = std::trunc(x);
  if (!FitsInt64(t) || t < -kTwo63) throw EInvalidOp();
  return static_cast<int64_t>(t);
}

int64_t Round(long double x) {
  const long double r = std::nearbyint(x);
  if (!FitsInt64(r) || r < -kTwo63) throw EInvalidOp();
  return static_cast<int64_t>(r);
}

int TruncToInt(long double x) {
  const long double t = std::trunc(x);
  if (std::isnan(t) || t < -2147483648.0L || t > 2147483647.0L) throw EInvalidOp();
  return static_cast<int>(t);
}

int RoundToInt(long double x) {
  const long double r = std::nearbyint(x);
  if (std::isnan(r) || r < -2147483648.0L || r > 2147483647.0L) throw EInvalidOp();
  return static_cast<int>(r);
}

} // namespace rtl
