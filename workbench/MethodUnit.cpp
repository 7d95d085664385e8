#include "workbench/MethodUnit.h"

#include "platform/rtl/Conversions.h"
#include "workbench/FiniteCheck.h"

#include <cmath>

namespace workbench {

Vector EulerIntegrate(Vector &X, AbstVFunc &F, const Vector &X0, double T0, double T1, int Steps) {
  // Without this check a zero count gives an infinite step, the loop never
  // runs and the start point comes back as if it were the end point.
  if (Steps == 0) throw rtl::EZeroDivide();
  if (Steps < 0) throw ESizeError("EulerIntegrate needs at least one step, not " + rtl::IntToStr(Steps));
  if (X.Size() != X0.Size())
    throw ESizeError("EulerIntegrate: the end point has " + rtl::IntToStr(X.Size()) + " elements, the start " +
                     rtl::IntToStr(X0.Size()));

  Vector K(X0.Size());
  Vector accumulator(X0.Size());
  // The step width is worked out in extended precision and only then
  // rounded, so that it is the same whatever T1 - T0 rounds to in double.
  const double h = Finite(static_cast<double>((static_cast<long double>(T1) - T0) / Steps));
  X.Assign(X0);
  if (T0 != T1) {
    double *acc = accumulator.Data();
    double *x = X.Data();
    double *k = K.Data();
    const int n = X.Size();
    for (int i = 0; i < Steps; ++i) {
      // Each step's time from its index, not a running sum, so that the
      // rounding does not drift over the steps.
      const double t = Finite(T0 + i * h);
      F.Evaluate(K, X, t);
      bool finite = true;
      for (int j = 0; j < n; ++j)
        finite &= std::isfinite(k[j]) && std::isfinite(x[j]);
      if (finite) {
        // With finite operands a fault can only be an overflow, whichever
        // element meets it first: one pass does the slope, the step and
        // the sum.
        for (int j = 0; j < n; ++j) {
          k[j] = Finite(h * k[j]);
          x[j] = Finite(x[j] + k[j]);
          acc[j] = Finite(h * x[j] + acc[j]);
        }
        continue;
      }
      K.Scale(h);
      X.Add(K);
      for (int j = 0; j < n; ++j)
        acc[j] = Finite(h * x[j] + acc[j]);
    }
  }
  return accumulator;
}

} // namespace workbench
