// Floating-point faults. The arithmetic runs with every exception masked
// (no hardware traps: the drawing code relies on inf and NaN arithmetic);
// code whose faults are errors clears the status flags, computes, and then
// asks CheckFloatFaults() to turn a raised flag into an exception.
// Inexact and underflow are ignored.
#pragma once

#include <cfenv>
#include <type_traits>

namespace rtl {

inline void ClearFloatFaults() noexcept { std::feclearexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW); }

// Throws EInvalidOp, EZeroDivide or EOverflow (checked in that order) when
// the matching flag is set, clearing the flags first.
void CheckFloatFaults();

// Makes the compiler finish computing a value before the flags are read:
// without it the arithmetic may move past the flag test.
template <class T> inline void Settle(T &value) noexcept { asm volatile("" : "+m"(value)); }

// Runs f with clean flags and raises the first fault it left behind.
template <class F> auto Checked(F &&f) {
  ClearFloatFaults();
  if constexpr (std::is_void_v<decltype(f())>) {
    f();
    CheckFloatFaults();
  } else {
    auto result = f();
    Settle(result);
    CheckFloatFaults();
    return result;
  }
}

} // namespace rtl
