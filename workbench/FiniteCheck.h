// The workbench's arithmetic runs with floating-point faults masked; a
// stored result that is infinite or NaN is the trap that did not happen.
// With finite inputs the first non-finite result tells which fault it was.
#pragma once

#include "platform/rtl/Exceptions.h"

#include <cmath>

namespace workbench {

inline double Finite(double v) {
  if (!std::isfinite(v)) {
    if (std::isnan(v)) throw rtl::EInvalidOp();
    throw rtl::EOverflow();
  }
  return v;
}

} // namespace workbench
