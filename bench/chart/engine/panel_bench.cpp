// Whole paints of a chart: an empty chart, and ten line series of 10,000
// points each, in 2D and in 3D. Prints paints per second and the share of
// a paint spent outside the series' own point drawing (the pipeline, axes,
// walls, titles and legend), which should stay under a tenth for the
// ten-series chart.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "bench/chart/BenchSupport.h"
#include "chart/engine/Chart.h"
#include "chart/engine/UloAxis.h"
#include "chart/engine/UloEngineStartup.h"
#include "chart/foundation/UloStartup.h"
#include "platform/forms/Application.h"

namespace {

bool Smoke() { return std::getenv("KVEL_BENCH_SMOKE") != nullptr; }
int PointsPerSeries() { return Smoke() ? 1000 : 10000; }
constexpr int kSeries = 10;
constexpr int kWidth = 800;
constexpr int kHeight = 600;

using Clock = std::chrono::steady_clock;
Clock::duration seriesTime{};

// A plain polyline through the visible points at the series' depth; it
// times itself so that the rest of the paint can be told apart.
class TBenchLineSeries : public TChartSeries {
public:
  std::string_view ClassName() const override { return "TBenchLineSeries"; }
  void DrawVisiblePoints() override {
    const Clock::time_point start = Clock::now();
    const int first = FirstValueIndex(), last = LastValueIndex();
    TCanvas3D &canvas = ParentChart()->Canvas();
    canvas.ApplyPenColor(Pen(), SeriesColor());
    const TChartAxis &h = *GetHorizAxis();
    const TChartAxis &v = *GetVertAxis();
    const double *xs = XValues()->Values();
    const double *ys = YValues()->Values();
    canvas.MoveToAtDepth(h.CalcXPosValue(xs[first]), v.CalcYPosValue(ys[first]), MiddleZ);
    for (int i = first + 1; i <= last; ++i)
      canvas.LineToAtDepth(h.CalcXPosValue(xs[i]), v.CalcYPosValue(ys[i]), MiddleZ);
    // The device batches thin lines; their pixels are the series' work,
    // not the work of whatever happens to flush the batch later.
    if (gdi::DeviceContext *dc = canvas.GetHandle()) dc->Flush();
    seriesTime += Clock::now() - start;
  }
};

struct Units {
  Units() {
    // The engine's benchmarks link nothing above the engine: they start
    // its units alone.
    StartChartFoundation();
    StartChartEngine();
  }
  ~Units() {
    StopChartEngine();
    StopChartFoundation();
  }
};

void Fill(TChart &chart, int seriesCount) {
  const int n = PointsPerSeries();
  for (int s = 0; s < seriesCount; ++s) {
    auto *series = chart.AddSeries(std::make_unique<TBenchLineSeries>());
    TSeriesUpdateGuard update(*series);
    for (int i = 0; i < n; ++i)
      series->AddPointXY(i, std::sin(i * 0.01 + s) * 100 + s * 50);
  }
}

void Paint(benchmark::State &state, bool view3D, int seriesCount) {
  Units units;
  TChart chart;
  chart.SetBounds(0, 0, kWidth, kHeight);
  chart.SetView3D(view3D);
  Fill(chart, seriesCount);
  gdi::Bitmap target(kWidth, kHeight);
  const TRect rect{0, 0, kWidth, kHeight};
  chart.Draw(&target.DC(), rect);
  // A buffered canvas paints into its own image and copies that onto the
  // target: both are the picture the paint is timed on.
  if (chart.Canvas().GetBuffered()) {
    const gdi::Bitmap *buffer = chart.Canvas().BufferBitmap();
    chart_bench::CheckSize("panel_bench: the canvas's buffer", buffer ? buffer->Width() : 0,
                           buffer ? buffer->Height() : 0, kWidth, kHeight);
  }
  chart_bench::CheckSize("panel_bench: the target bitmap", target.Width(), target.Height(), kWidth, kHeight);
  seriesTime = {};
  Clock::duration total{};
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    chart.Draw(&target.DC(), rect);
    total += Clock::now() - start;
  }
  state.counters["paints_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  const double all = std::chrono::duration<double>(total).count();
  const double own = std::chrono::duration<double>(seriesTime).count();
  state.counters["outside_series_pct"] = all > 0 ? 100.0 * (all - own) / all : 0;
}

} // namespace

int main(int argc, char **argv) {
  // The chart is a window control: the application must exist first.
  forms::Application().Initialize(argc, argv);
  struct Case {
    const char *name;
    bool view3D;
    int series;
  };
  const Case cases[] = {{"EmptyChart2D", false, 0},
                        {"EmptyChart3D", true, 0},
                        {"TenSeries2D", false, kSeries},
                        {"TenSeries3D", true, kSeries}};
  for (const Case &c : cases) {
    auto *b = benchmark::RegisterBenchmark(c.name, [c](benchmark::State &state) { Paint(state, c.view3D, c.series); });
    b->Unit(benchmark::kMillisecond);
    if (Smoke()) b->Iterations(2);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  forms::Application().Finalize();
  return 0;
}
