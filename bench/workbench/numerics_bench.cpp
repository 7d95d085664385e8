// The inner costs of the computing buttons: one Euler integration of the
// linear system as the solver writes it (ten state variables, 100 steps),
// and the scalar products of the radial function.
#include "workbench/MethodUnit.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using workbench::Vector;

void BM_EulerOfTenFormulas(benchmark::State &state) {
  const int n = 10;
  std::vector<std::string> texts;
  for (int r = 1; r <= n; ++r) {
    std::string text = "0";
    for (int c = 1; c <= n; ++c)
      text += "+3*" + std::to_string((r * c) % 7 - 3) + ".25*x_" + std::to_string(c);
    texts.push_back(text);
  }
  workbench::VFunc f(texts, "x", n);
  Vector x(n), start(n);
  start[0] = 1;
  for (auto _ : state) {
    Vector acc = workbench::EulerIntegrate(x, f, start, 0, 0.01, 100);
    benchmark::DoNotOptimize(acc.Data());
  }
}
BENCHMARK(BM_EulerOfTenFormulas);

void BM_Dot(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  Vector a(n), b(n);
  for (int i = 0; i < n; ++i)
    a[i] = b[n - 1 - i] = 1.0 / (i + 1);
  for (auto _ : state)
    benchmark::DoNotOptimize(a.Dot(b));
}
BENCHMARK(BM_Dot)->Arg(3)->Arg(600);

} // namespace

BENCHMARK_MAIN();
