// What the chart benchmarks share: the short smoke run, the best of a few
// timed runs and the check of a picture's size.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
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

// Stops a run whose picture has another size than its peers': it would time
// a clipped or stretched picture against a whole one.
inline void CheckSize(const char *what, int width, int height, int wantedWidth, int wantedHeight) {
  if (width == wantedWidth && height == wantedHeight) return;
  std::fprintf(stderr, "%s is %d x %d pixels, not %d x %d\n", what, width, height, wantedWidth, wantedHeight);
  std::abort();
}

// The same for the device a canvas drew on; no device at all is a picture
// of no size.
template <class Device> void CheckSize(const char *what, const Device *device, int wantedWidth, int wantedHeight) {
  CheckSize(what, device ? device->Width() : 0, device ? device->Height() : 0, wantedWidth, wantedHeight);
}

} // namespace chart_bench
