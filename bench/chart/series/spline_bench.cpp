// Smoothing long sources (the solve must stay linear) and the average and
// median functions over a million points.
#include "chart/engine/UloFunci.h"
#include "chart/engine/UloSeries.h"
#include "chart/foundation/UloStartup.h"
#include "chart/series/UloSpline.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

bool Smoke() { return std::getenv("KVEL_BENCH_SMOKE") != nullptr; }

void Fill(TChartSeries &s, int n) {
  s.BeginUpdate();
  for (int i = 0; i < n; ++i)
    s.AddPointXY(i, std::sin(i * 0.001) * 100 + (i * 7919 % 101));
  s.EndUpdate();
}

// The whole smoothing function: clear, spline of N points, solve, 601 points out.
void BM_SmoothingFunction(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  TChartSeries source, target;
  Fill(source, n);
  target.AttachFunction(std::make_unique<TSmoothingFunction>());
  target.SetDataSource(&source);
  for (auto _ : state) {
    target.CopyAllPointsFrom(source);
    benchmark::DoNotOptimize(target.PointCount());
  }
  state.SetComplexityN(n);
}
BENCHMARK(BM_SmoothingFunction)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity(benchmark::oN);

// The spline alone: the build with the interpolating solve.
void BM_SplineSolve(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    TBSpline s;
    for (int i = 0; i < n; ++i)
      s.AddPoint(i, std::sin(i * 0.001));
    s.SetInterpolated(true);
    benchmark::DoNotOptimize(s.NumControls());
  }
  state.SetComplexityN(n);
}
BENCHMARK(BM_SplineSolve)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity(benchmark::oN);

int MillionOrLess() { return Smoke() ? 10000 : 1000000; }

// First to Last: every value read, not the cached total.
void BM_AverageMillion(benchmark::State &state) {
  const int n = MillionOrLess();
  TChartSeries source;
  Fill(source, n);
  TAverageUloFunction f;
  f.SetIncludeNulls(false);
  for (auto _ : state)
    benchmark::DoNotOptimize(f.Calculate(source, 0, n - 1));
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_AverageMillion)->Unit(benchmark::kMillisecond);

void BM_MedianMillion(benchmark::State &state) {
  const int n = MillionOrLess();
  TChartSeries source;
  Fill(source, n);
  TMedianUloFunction f;
  for (auto _ : state)
    benchmark::DoNotOptimize(f.Calculate(source, -1, -1));
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_MedianMillion)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  // Smoothing and the functions draw nothing: the foundation's texts are
  // all they need, and no application is started.
  StartChartFoundation();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  StopChartFoundation();
  return 0;
}
