// What a series costs per point: adding points against pushing the same
// doubles into two vectors, and drawing pointer markers against the same
// shapes called on the canvas directly.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <initializer_list>
#include <span>
#include <vector>

#include "bench/chart/BenchSupport.h"
#include "chart/engine/UloEngineStartup.h"
#include "chart/engine/UloSeries.h"
#include "chart/foundation/UloCanvas3D.h"
#include "chart/foundation/UloStartup.h"
#include "platform/forms/Application.h"

namespace {

bool Smoke() { return std::getenv("KVEL_BENCH_SMOKE") != nullptr; }

int PointsToAdd() { return Smoke() ? 10000 : 1000000; }
int MarkersToDraw() { return Smoke() ? 1000 : 100000; }

// ---- adding points ----------------------------------------------------------------------

void BM_SeriesAddPointXY(benchmark::State &state) {
  const int n = PointsToAdd();
  for (auto _ : state) {
    TChartSeries series;
    for (int i = 0; i < n; ++i)
      series.AddPointXY(i, i * 0.5);
    benchmark::DoNotOptimize(series.PointCount());
  }
  state.counters["ns_per_point"] = benchmark::Counter(static_cast<double>(n) * static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SeriesAddPointXY)->Unit(benchmark::kMillisecond);

// The lists lengthen by ValueListGrowStep values at a time while the memory
// under them doubles; a fill of known size sets the step to that size first
// and grows once.
void BM_SeriesAddPointXYKnownSize(benchmark::State &state) {
  const int n = PointsToAdd();
  const int savedStep = ValueListGrowStep;
  for (auto _ : state) {
    ValueListGrowStep = n;
    TChartSeries series;
    for (int i = 0; i < n; ++i)
      series.AddPointXY(i, i * 0.5);
    benchmark::DoNotOptimize(series.PointCount());
  }
  ValueListGrowStep = savedStep;
  state.counters["ns_per_point"] = benchmark::Counter(static_cast<double>(n) * static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SeriesAddPointXYKnownSize)->Unit(benchmark::kMillisecond);

void BM_VectorPushBack(benchmark::State &state) {
  const int n = PointsToAdd();
  for (auto _ : state) {
    std::vector<double> x, y;
    for (int i = 0; i < n; ++i) {
      x.push_back(i);
      y.push_back(i * 0.5);
    }
    benchmark::DoNotOptimize(x.data());
    benchmark::DoNotOptimize(y.data());
  }
  state.counters["ns_per_point"] = benchmark::Counter(static_cast<double>(n) * static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_VectorPushBack)->Unit(benchmark::kMillisecond);

// ---- drawing markers ------------------------------------------------------------------------

constexpr int kSide = 400;

struct Target {
  gdi::Bitmap image{kSide, kSide};
  TView3DOptions options;
  TUloCanvas3D canvas;
  Target() {
    canvas.SetBuffered(false);
    const TRect all{0, 0, kSide, kSide};
    canvas.PrepareTarget(&image.DC(), &options, all, false);
    canvas.SetupProjection(100, all);
    canvas.ResetDefaults();
    // The markers are laid out to fall inside this picture; on a smaller
    // one the device would clip some of them away and time less work.
    chart_bench::CheckSize("series_bench: the canvas's device", canvas.GetHandle(), kSide, kSide);
  }
};

// The same shape as the pointer draws, called on the canvas itself.
void DirectShape(TUloCanvas3D &c, TSeriesPointerStyle style, int x, int y) {
  const int l = x - 4, t = y - 4, r = x + 4, b = y + 4;
  using S = TSeriesPointerStyle;
  auto polygon = [&c](std::initializer_list<TPoint> p) { c.Polygon(std::span<const TPoint>(p.begin(), p.size())); };
  auto cross = [&] {
    c.DrawLine(x, t, x, b + 1);
    c.DrawLine(l, y, r + 1, y);
  };
  auto diagonals = [&] {
    c.DrawLine(l, t, r + 1, b + 1);
    c.DrawLine(l, b, r + 1, t - 1);
  };
  switch (style) {
  case S::psRectangle:
    c.Rectangle(l, t, r + 1, b + 1);
    break;
  case S::psCircle:
    c.Ellipse(l, t, r + 1, b + 1);
    break;
  case S::psTriangle:
    polygon({{l, b}, {r, b}, {x, t}});
    break;
  case S::psDownTriangle:
    polygon({{l, t}, {r, t}, {x, b}});
    break;
  case S::psCross:
    cross();
    break;
  case S::psDiagCross:
    diagonals();
    break;
  case S::psStar:
    cross();
    diagonals();
    break;
  case S::psDiamond:
    polygon({{x, t}, {r, y}, {x, b}, {l, y}});
    break;
  case S::psSmallDot:
    c.SetPixel(x, y, c.Brush().Color());
    break;
  case S::psNothing:
    break;
  case S::psLeftTriangle:
    polygon({{l, y}, {r, t}, {r, b}});
    break;
  case S::psRightTriangle:
    polygon({{r, y}, {l, b}, {l, t}});
    break;
  case S::psHexagon:
    polygon({{l, y}, {l + 2, t}, {r - 2, t}, {r, y}, {r - 2, b}, {l + 2, b}});
    break;
  }
}

void BM_PointerDrawMarker(benchmark::State &state) {
  const auto style = static_cast<TSeriesPointerStyle>(state.range(0));
  Target t;
  TSeriesPointer pointer;
  pointer.Brush().SetColor(clRed);
  pointer.PrepareCanvas(t.canvas, clRed);
  const int n = MarkersToDraw();
  for (auto _ : state)
    for (int i = 0; i < n; ++i)
      pointer.DrawMarker(t.canvas, false, 10 + i % 380, 10 + (i / 380) % 380, 4, 4, clRed, style);
  state.counters["ns_per_marker"] = benchmark::Counter(static_cast<double>(n) * static_cast<double>(state.iterations()),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PointerDrawMarker)->DenseRange(0, 12)->Unit(benchmark::kMillisecond);

void BM_CanvasDirectShape(benchmark::State &state) {
  const auto style = static_cast<TSeriesPointerStyle>(state.range(0));
  Target t;
  TSeriesPointer pointer;
  pointer.Brush().SetColor(clRed);
  pointer.PrepareCanvas(t.canvas, clRed);
  const int n = MarkersToDraw();
  for (auto _ : state)
    for (int i = 0; i < n; ++i)
      DirectShape(t.canvas, style, 10 + i % 380, 10 + (i / 380) % 380);
  state.counters["ns_per_marker"] = benchmark::Counter(static_cast<double>(n) * static_cast<double>(state.iterations()),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CanvasDirectShape)->DenseRange(0, 12)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  int qtArgc = 0;
  forms::Application().Initialize(qtArgc, nullptr);
  // The engine's benchmarks link nothing above the engine: they start
  // its units alone.
  StartChartFoundation();
  StartChartEngine();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  StopChartEngine();
  StopChartFoundation();
  forms::Application().Finalize();
  return 0;
}
