// Explicit Euler integration with a fixed number of equal steps.
#pragma once

#include "workbench/CalculationUnit.h"
#include "workbench/FunctionUnit.h"

namespace workbench {

// Integrates x' = F(t, x) from X0 at T0 to T1 in Steps equal steps; X (of
// X0's size) receives the end point. Returns the accumulated sum over the
// steps of h * x after each step (the start excluded), which the solver
// uses as a quadrature of the trajectory and keeps as its
// IntegralAccumulator. When T0 = T1 nothing is evaluated: X = X0 and the
// sum is zero.
//
// Steps = 0 raises EZeroDivide (the step width would be a division by
// zero); a negative Steps raises ESizeError.
[[nodiscard]] Vector EulerIntegrate(Vector &X, AbstVFunc &F, const Vector &X0, double T0, double T1, int Steps);

} // namespace workbench
