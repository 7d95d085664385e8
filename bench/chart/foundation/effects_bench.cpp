// What the canvas effects cost: a 1000 x 1000 gradient in each kind of
// direction, and a smooth shadow under a 400 x 300 box, in time per
// megapixel painted.
#include <benchmark/benchmark.h>

#include "bench/chart/BenchSupport.h"
#include "chart/foundation/UloCanvas3D.h"
#include "chart/foundation/UloShadow.h"

namespace {

constexpr int kSize = 1000;

struct Flat {
  gdi::Bitmap image{kSize, kSize};
  TView3DOptions options;
  TUloCanvas3D canvas;
  explicit Flat(bool buffered) {
    canvas.SetBuffered(buffered);
    canvas.PrepareTarget(&image.DC(), &options, TRect{0, 0, kSize, kSize}, false);
    canvas.ResetDefaults();
    // A buffered canvas paints into its own image, not into this bitmap; the
    // megapixels counted are those of whichever device it bound.
    chart_bench::CheckSize(buffered ? "effects_bench: the canvas's buffer" : "effects_bench: the canvas's bitmap",
                           canvas.GetHandle(), kSize, kSize);
  }
};

// Seconds per megapixel, from the megapixels one iteration paints.
benchmark::Counter PerMegapixel(double megapixels) {
  return benchmark::Counter(megapixels, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Gradient(benchmark::State &state) {
  const auto direction = static_cast<TGradientDirection>(state.range(0));
  Flat f(false);
  for (auto _ : state) {
    f.canvas.FillGradient(TRect{0, 0, kSize, kSize}, 0x2040F0, 0xF08020, direction, 50);
    f.image.DC().Flush();
  }
  state.counters["s_per_MP"] = PerMegapixel(1.0);
}
BENCHMARK(BM_Gradient)
    ->ArgName("direction")
    ->DenseRange(0, static_cast<int>(TGradientDirection::gdDiagonalDown))
    ->Unit(benchmark::kMillisecond);

void BM_GradientTurned(benchmark::State &state) {
  Flat f(false);
  TUloGradient g;
  g.SetStartColor(0x2040F0);
  g.SetEndColor(0xF08020);
  g.SetMidColor(0x20F020);
  g.SetAngle(30);
  for (auto _ : state) {
    g.PaintRect(f.canvas, TRect{0, 0, kSize, kSize});
    f.image.DC().Flush();
  }
  state.counters["s_per_MP"] = PerMegapixel(1.0);
}
BENCHMARK(BM_GradientTurned)->Unit(benchmark::kMillisecond);

// The shadow is blurred over the box and the blur's reach on every side;
// the megapixels counted are the box's.
void BM_SmoothShadow(benchmark::State &state) {
  Flat f(true);
  TUloShadow shadow;
  shadow.SetColor(clBlack);
  shadow.SetBothSizes(static_cast<int>(state.range(0)));
  shadow.SetSmoothBlur(static_cast<int>(state.range(1)));
  for (auto _ : state) {
    shadow.PaintRectShadowFlat(f.canvas, TRect{100, 100, 500, 400});
    benchmark::ClobberMemory();
  }
  state.counters["s_per_MP"] = PerMegapixel(0.12);
}
BENCHMARK(BM_SmoothShadow)->ArgNames({"size", "blur"})->Args({4, 0})->Args({8, 4})->Unit(benchmark::kMillisecond);

void BM_TransparentBox(benchmark::State &state) {
  Flat f(true);
  f.canvas.Brush().SetColor(0x2040F0);
  for (auto _ : state) {
    auto blend = f.canvas.BeginTransparentDrawing(TRect{100, 100, 500, 400}, 50);
    f.canvas.FillRect(TRect{100, 100, 500, 400});
    f.canvas.EndTransparentDrawing(std::move(blend));
  }
  state.counters["s_per_MP"] = PerMegapixel(0.12);
}
BENCHMARK(BM_TransparentBox)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
