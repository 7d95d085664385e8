// What the image filters cost per megapixel: the blur that pictures and
// smooth text shadows use, on a 1000 x 1000 bitmap, and the Lanczos
// resampling behind resizing, cropping, tiling and zooming.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>

#include "bench/chart/BenchSupport.h"
#include "chart/foundation/UloPicture.h"

namespace {

bool Smoke() { return std::getenv("KVEL_BENCH_SMOKE") != nullptr; }
int Side() { return Smoke() ? 100 : 1000; }

// Noise, so no branch or cache sees a uniform image.
gdi::Bitmap Noise(int side) {
  gdi::Bitmap b(side, side);
  uint32_t s = 12345;
  for (int y = 0; y < side; ++y) {
    uint32_t *row = b.ScanLine(y);
    for (int x = 0; x < side; ++x) {
      s = s * 1664525u + 1013904223u;
      row[x] = (row[x] & 0xFF000000u) | (s >> 8);
    }
  }
  return b;
}

void ReportPerMegapixel(benchmark::State &state, int pixels) {
  state.SetItemsProcessed(state.iterations() * pixels);
  // Seconds per megapixel ("13.8m" is 13.8 ms).
  state.counters["s_per_Mpx"] = benchmark::Counter(static_cast<double>(state.iterations()) * pixels / 1e6,
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Blur(benchmark::State &state) {
  const int side = Side();
  gdi::Bitmap b = Noise(side);
  chart_bench::CheckSize("filters_bench: the blurred bitmap", b.Width(), b.Height(), side, side);
  TBlurFilter blur;
  blur.SetSteps(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    blur.ApplyTo(b);
    benchmark::DoNotOptimize(b.ScanLine(side / 2));
  }
  ReportPerMegapixel(state, side * side * static_cast<int>(state.range(0)));
}
BENCHMARK(BM_Blur)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_ResampleHalf(benchmark::State &state) {
  const int side = Side();
  const gdi::Bitmap source = Noise(side);
  gdi::Bitmap dest(side / 2, side / 2);
  chart_bench::CheckSize("filters_bench: the resampled source", source.Width(), source.Height(), side, side);
  chart_bench::CheckSize("filters_bench: the resampled picture", dest.Width(), dest.Height(), side / 2, side / 2);
  for (auto _ : state) {
    ResampleBitmap(source, dest, state.range(0) != 0);
    benchmark::DoNotOptimize(dest.ScanLine(0));
  }
  ReportPerMegapixel(state, side * side);
}
BENCHMARK(BM_ResampleHalf)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
