#include "platform/rtl/FloatFaults.h"

#include "platform/rtl/Exceptions.h"

namespace rtl {

void CheckFloatFaults() {
  const int raised = std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW);
  if (raised == 0) return;
  ClearFloatFaults();
  if (raised & FE_INVALID) throw EInvalidOp();
  if (raised & FE_DIVBYZERO) throw EZeroDivide();
  throw EOverflow();
}

} // namespace rtl
