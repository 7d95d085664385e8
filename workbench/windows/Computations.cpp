#include "workbench/windows/Computations.h"

#include "platform/rtl/Exceptions.h"

namespace workbench {

void ComputeIntegral(TForm1 &) { throw rtl::ENotImplemented("Computing the alternating integral (the solver)"); }
void ComputeGuaranteedTime(TForm1 &) { throw rtl::ENotImplemented("Computing the guaranteed time (the solver)"); }

} // namespace workbench
