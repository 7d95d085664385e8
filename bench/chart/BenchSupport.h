// What the chart benchmarks share: the short smoke run and the best of a
// few timed runs.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace chart_bench {

// Whether this is the smoke run, which only checks that the benchmarks run.
inline bool Smoke() { return std::getenv("KVEL_BENCH_SMOKE") != nullptr; }

// The best of Runs timed runs, so that one slow run does not decide a ratio.
template <class F> double BestSeconds(int runs, F &&run) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

} // namespace chart_bench
