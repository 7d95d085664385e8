// The scattered-point and grid series at size: triangulating 1,000,
// 10,000 and 40,000 random points, a rotation repaint of a 10,000-point
// triangulated surface (the triangles are kept), and the contour lines of a
// 200 x 200 grid at 20 levels.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "bench/chart/BenchSupport.h"
#include "chart/ChartComponent.h"
#include "chart/engine/Chart.h"
#include "chart/series/UloContour.h"
#include "chart/series/UloTriSurface.h"
#include "platform/forms/Application.h"

namespace {

bool Smoke() { return std::getenv("KVEL_BENCH_SMOKE") != nullptr; }
constexpr int kWidth = 800;
constexpr int kHeight = 600;

struct Units {
  Units() {
    static int argc = 1;
    static char name[] = "contour_bench";
    static char *argv[] = {name, nullptr};
    forms::Application().Initialize(argc, argv);
    StartChartComponent();
  }
};

void EnsureUnits() { static Units units; }

// After a paint: the chart draws into its canvas's buffer, sized by its
// bounds, and copies that onto its window surface, which a chart never
// shown keeps at the default size unless it was set.
void CheckPicture(TChart &chart) {
  const gdi::Bitmap &surface = chart.WindowSurface();
  chart_bench::CheckSize("contour_bench: the chart's surface", surface.Width(), surface.Height(), kWidth, kHeight);
  if (const gdi::Bitmap *buffer = chart.Canvas().BufferBitmap())
    chart_bench::CheckSize("contour_bench: the canvas's buffer", buffer->Width(), buffer->Height(), kWidth, kHeight);
}

// Reproducible points without the run-time's generator.
struct TCloud {
  std::vector<double> X, Y, Z;
  explicit TCloud(int n) {
    uint32_t s = 2024;
    auto next = [&s] {
      s = s * 1664525u + 1013904223u;
      return static_cast<double>(s >> 8) / static_cast<double>(1u << 24);
    };
    for (int i = 0; i < n; ++i) {
      X.push_back(next());
      Z.push_back(next());
      Y.push_back(std::cos(X.back() * Z.back() * 6) * 10);
    }
  }
};

void BM_Triangulate(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  TCloud cloud(n);
  TUloTriangulation t;
  for (auto _ : state) {
    UloTriangulate(cloud.X, cloud.Z, t);
    benchmark::DoNotOptimize(t.Triangles.data());
  }
  state.SetComplexityN(n);
  state.counters["triangles"] = t.TriangleCount();
}

// One frame of a rotation drag: the view turns, the surface repaints.
void BM_TriSurfaceRotationRepaint(benchmark::State &state) {
  EnsureUnits();
  const int n = Smoke() ? 1000 : 10000;
  TCloud cloud(n);
  TChart chart;
  chart.SetBounds(0, 0, kWidth, kHeight);
  chart.WindowSurface().SetSize(kWidth, kHeight);
  chart.View3DOptions().SetOrthogonal(false);
  auto *s = chart.AddSeries(std::make_unique<TTriSurfaceSeries>());
  s->BeginUpdate();
  for (int i = 0; i < n; ++i)
    s->AddPointXYZ(cloud.X[i], cloud.Y[i], cloud.Z[i]);
  s->EndUpdate();
  chart.Invalidate();
  chart.Paint();
  CheckPicture(chart);
  int rotation = 0;
  for (auto _ : state) {
    rotation = (rotation + 7) % 360;
    chart.View3DOptions().SetRotation(rotation);
    chart.Invalidate();
    chart.Paint();
  }
  state.counters["triangulations"] = s->Triangulations();
}
BENCHMARK(BM_TriSurfaceRotationRepaint)->Unit(benchmark::kMillisecond);

// A contour chart of a 200 x 200 grid at 20 levels: the first paint traces
// the lines, a rotation repaint draws the kept lines.
struct TContourChart {
  TChart chart;
  TContourSeries *series;
  explicit TContourChart(int n) {
    chart.SetBounds(0, 0, kWidth, kHeight);
    chart.WindowSurface().SetSize(kWidth, kHeight);
    chart.View3DOptions().SetOrthogonal(false);
    series = chart.AddSeries(std::make_unique<TContourSeries>());
    series->SetNumLevels(20);
    series->BeginUpdate();
    for (int z = 1; z <= n; ++z)
      for (int x = 1; x <= n; ++x)
        series->AddPointXYZ(x, std::sin(x * 12.0 / n) * std::cos(z * 9.0 / n), z);
    series->EndUpdate();
  }
  void Paint() {
    chart.Invalidate();
    chart.Paint();
  }
};

void BM_ContourFirstPaint(benchmark::State &state) {
  EnsureUnits();
  const int n = Smoke() ? 50 : 200;
  {
    // The timed paint is each chart's first, so the picture is checked on a
    // chart of the same making painted beforehand.
    TContourChart probe(n);
    probe.Paint();
    CheckPicture(probe.chart);
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto c = std::make_unique<TContourChart>(n);
    state.ResumeTiming();
    c->Paint();
    state.PauseTiming();
    c.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ContourFirstPaint)->Unit(benchmark::kMillisecond);

void BM_ContourRotationRepaint(benchmark::State &state) {
  EnsureUnits();
  TContourChart c(Smoke() ? 50 : 200);
  c.Paint();
  CheckPicture(c.chart);
  int rotation = 0;
  for (auto _ : state) {
    rotation = (rotation + 7) % 360;
    c.chart.View3DOptions().SetRotation(rotation);
    c.Paint();
  }
  state.counters["tracings"] = c.series->Tracings();
}
BENCHMARK(BM_ContourRotationRepaint)->Unit(benchmark::kMillisecond);

// The lines alone: every cell of a 200 x 200 grid at 20 levels.
void BM_ContourLines(benchmark::State &state) {
  const int n = Smoke() ? 50 : 200;
  std::vector<double> levels;
  for (int k = 0; k < 20; ++k)
    levels.push_back(-0.95 + k * 0.1);
  auto y = [n](int i, int k) { return std::sin(i * 12.0 / n) * std::cos(k * 9.0 / n); };
  for (auto _ : state) {
    std::vector<TContourLines> lines(levels.size());
    for (int i = 0; i + 1 < n; ++i)
      for (int k = 0; k + 1 < n; ++k) {
        const double v[4] = {y(i, k), y(i + 1, k), y(i + 1, k + 1), y(i, k + 1)};
        UloContourCell(i, i + 1, k, k + 1, v, levels, [&](int level, const TContourPoint &a, const TContourPoint &b) {
          lines[static_cast<size_t>(level)].AddSegment(a, b);
        });
      }
    benchmark::DoNotOptimize(lines.data());
  }
}
BENCHMARK(BM_ContourLines)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  benchmark::Initialize(&argc, argv);
  // The smoke run only checks that the growth series runs.
  auto *triangulate = benchmark::RegisterBenchmark("BM_Triangulate", BM_Triangulate);
  for (int n : Smoke() ? std::vector<int>{100, 1000} : std::vector<int>{1000, 10000, 40000})
    triangulate->Arg(n);
  triangulate->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNLogN);
  benchmark::RunSpecifiedBenchmarks();
  std::fflush(stdout);
  benchmark::Shutdown();
  StopChartComponent();
  forms::Application().Finalize();
  return 0;
}
