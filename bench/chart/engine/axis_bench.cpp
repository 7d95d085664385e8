// What one axis costs: the label step and the labels, ticks and grid of
// one axis drawn for 1,000 different ranges; and the value-to-pixel
// mapping of 10,000,000 values through the axis against the same
// multiply, add and round written inline (the limit). Prints the mapping
// ratio, which should stay within 1.5.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "bench/chart/BenchSupport.h"
#include "chart/engine/Chart.h"
#include "chart/engine/UloAxis.h"
#include "chart/engine/UloEngineStartup.h"
#include "chart/foundation/UloStartup.h"
#include "platform/forms/Application.h"

namespace {

bool Smoke() { return std::getenv("KVEL_BENCH_SMOKE") != nullptr; }
int MappedValues() { return Smoke() ? 100000 : 10000000; }
int Ranges() { return Smoke() ? 20 : 1000; }
constexpr int kWidth = 800;
constexpr int kHeight = 600;

// The ranges: many magnitudes, offsets and spans.
std::vector<std::pair<double, double>> MakeRanges(int n) {
  std::vector<std::pair<double, double>> r;
  uint32_t s = 4711;
  auto next = [&s] {
    s = s * 1664525u + 1013904223u;
    return static_cast<double>(s >> 8) / 16777216.0;
  };
  for (int i = 0; i < n; ++i) {
    const double scale = std::pow(10.0, -12 + 24 * next());
    const double lo = (next() - 0.5) * 1000 * scale;
    r.emplace_back(lo, lo + (0.01 + next()) * 100 * scale);
  }
  return r;
}

struct AxisChart {
  TChart chart;
  gdi::Bitmap image{kWidth, kHeight};
  AxisChart() {
    chart.SetBounds(0, 0, kWidth, kHeight);
    chart.SetView3D(false);
    const TRect all{0, 0, kWidth, kHeight};
    chart.Canvas().SetBuffered(false);
    chart.Canvas().PrepareTarget(&image.DC(), &chart.View3DOptions(), all, false);
    chart.Canvas().SetupProjection(0, all);
    // The axis draws on the device the canvas bound; the chart rectangle
    // below is laid out for that picture.
    chart_bench::CheckSize("axis_bench: the canvas's device", chart.Canvas().GetHandle(), kWidth, kHeight);
    chart.ChartRect = TRect{60, 20, 780, 560};
    chart.ChartWidth = 720;
    chart.ChartHeight = 540;
    TChartAxis &axis = *chart.BottomAxis();
    axis.SetLabelStyle(TAxisLabelStyle::talValue);
    axis.Grid().SetVisible(true);
  }
};

void BM_AxisLabelsAndGrid(benchmark::State &state) {
  AxisChart c;
  TChartAxis &axis = *c.chart.BottomAxis();
  const auto ranges = MakeRanges(Ranges());
  int64_t labels = 0;
  for (auto _ : state) {
    for (auto [lo, hi] : ranges) {
      axis.SetMinMax(lo, hi);
      axis.InternalCalcPositions();
      axis.AdjustMaxMin();
      TRect r = c.chart.ChartRect;
      axis.CalcRect(r, false);
      axis.DrawAxis(true);
      labels += static_cast<int64_t>(axis.TickPositions().size());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(ranges.size()));
  state.counters["labels_per_range"] =
      static_cast<double>(labels) / static_cast<double>(state.iterations() * ranges.size());
}
BENCHMARK(BM_AxisLabelsAndGrid)->Unit(benchmark::kMillisecond);

void BM_AxisIncrement(benchmark::State &state) {
  AxisChart c;
  TChartAxis &axis = *c.chart.BottomAxis();
  const auto ranges = MakeRanges(Ranges());
  double sum = 0;
  for (auto _ : state) {
    for (auto [lo, hi] : ranges) {
      axis.SetMinMax(lo, hi);
      axis.InternalCalcPositions();
      axis.AdjustMaxMin();
      sum += axis.CalcLabelsIncrement();
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(ranges.size()));
}
BENCHMARK(BM_AxisIncrement)->Unit(benchmark::kMillisecond);

std::vector<double> Values(int n) {
  std::vector<double> v(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    v[static_cast<size_t>(i)] = std::sin(i * 0.001) * 1000;
  return v;
}

// Through the axis.
int64_t MapAxis(const TChartAxis &axis, const std::vector<double> &values) {
  int64_t sum = 0;
  for (double v : values)
    sum += axis.CalcXPosValue(v);
  return sum;
}

// The limit: start + (v - min) * scale, rounded, with no clamp and no
// choice of mapping.
int64_t MapInline(int start, double min, double scale, const std::vector<double> &values) {
  int64_t sum = 0;
  for (double v : values)
    sum += static_cast<int>(rtl::RoundHalfEvenSmall(start + (v - min) * scale));
  return sum;
}

TChartAxis &MappingAxis(AxisChart &c) {
  TChartAxis &axis = *c.chart.BottomAxis();
  axis.SetMinMax(-1000, 1000);
  axis.InternalCalcPositions();
  axis.AdjustMaxMin();
  return axis;
}

void BM_MapThroughAxis(benchmark::State &state) {
  AxisChart c;
  TChartAxis &axis = MappingAxis(c);
  const auto values = Values(MappedValues());
  for (auto _ : state)
    benchmark::DoNotOptimize(MapAxis(axis, values));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(values.size()));
}
BENCHMARK(BM_MapThroughAxis)->Unit(benchmark::kMillisecond);

void BM_MapInline(benchmark::State &state) {
  AxisChart c;
  TChartAxis &axis = MappingAxis(c);
  const auto values = Values(MappedValues());
  for (auto _ : state)
    benchmark::DoNotOptimize(MapInline(axis.IStartPos, axis.IMinimum, axis.IScale, values));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(values.size()));
}
BENCHMARK(BM_MapInline)->Unit(benchmark::kMillisecond);

template <class F> double BestSeconds(F &&run) {
  double best = 1e300;
  for (int i = 0; i < (Smoke() ? 1 : 7); ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

void PrintRatio() {
  AxisChart c;
  TChartAxis &axis = MappingAxis(c);
  const auto values = Values(MappedValues());
  int64_t a = 0, b = 0;
  const double throughAxis = BestSeconds([&] { a = MapAxis(axis, values); });
  const double inlined = BestSeconds([&] { b = MapInline(axis.IStartPos, axis.IMinimum, axis.IScale, values); });
  const double n = static_cast<double>(values.size());
  std::printf("mapping %d values: axis %.3f ns/value, inline %.3f ns/value, ratio %.3f (%s)\n", MappedValues(),
              throughAxis * 1e9 / n, inlined * 1e9 / n, throughAxis / inlined,
              a == b ? "same pixels" : "PIXELS DIFFER");
}

} // namespace

int main(int argc, char **argv) {
  // The chart is a window control: the application must exist first.
  forms::Application().Initialize(argc, argv);
  // The engine's benchmarks link nothing above the engine: they start
  // its units alone.
  StartChartFoundation();
  StartChartEngine();
  benchmark::Initialize(&argc, argv);
  PrintRatio();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  StopChartEngine();
  StopChartFoundation();
  forms::Application().Finalize();
  return 0;
}
