// What one step of the rotation tool costs: a drag move turns the view and
// the whole 900 x 700 chart paints again with 10,000 3D points drawn as
// shaded boxes, and again with as many points as a large space plot of the
// workbench holds; against the same boxes projected by hand and drawn with
// QPainter straight into an image of the same size.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <vector>

#include "bench/chart/BenchSupport.h"
#include "chart/ChartComponent.h"
#include "chart/engine/Chart.h"
#include "chart/engine/UloAxis.h"
#include "chart/series/UloPoin3.h"
#include "chart/tools/UloRotateTool.h"
#include "platform/forms/Application.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Numbers.h"

namespace {

using chart_bench::Smoke;
// KVEL_ROTATE_POINTS measures another cloud size.
int PointCount() {
  if (const char *n = std::getenv("KVEL_ROTATE_POINTS")) return std::max(1, std::atoi(n));
  return Smoke() ? 1000 : 10000;
}
// A plot of the workbench holds one point per grid direction in every
// section. The finest spherical grid the settings accept (Nod 141) has
// 141 * 141 = 19,881 directions, so a space plot of 19 sections holds
// 377,739 points; the plane's grids take up to 20,000 directions, 760,000
// points in 38 sections.
int LargePlotPointCount() { return Smoke() ? 2000 : 141 * 141 * 19; }
constexpr int kWidth = 900;
constexpr int kHeight = 700;

struct Units {
  Units() {
    static int argc = 1;
    static char name[] = "rotate_bench";
    static char *argv[] = {name, nullptr};
    forms::Application().Initialize(argc, argv);
    StartChartComponent();
  }
};

void EnsureUnits() { static Units units; }

// The cloud every run draws: reproducible without the run-time's generator.
std::vector<std::array<double, 3>> Cloud(int n) {
  std::vector<std::array<double, 3>> pts(static_cast<size_t>(n));
  uint32_t s = 12345;
  auto next = [&s] {
    s = s * 1664525u + 1013904223u;
    return static_cast<double>((s >> 8) % 10000u) / 100.0;
  };
  for (auto &p : pts)
    p = {next(), next(), next()};
  return pts;
}

// ---- through the chart -------------------------------------------------------------

struct ChartRun {
  bool started = (EnsureUnits(), true);
  std::unique_ptr<TChart> chart = std::make_unique<TChart>();
  TRotateTool *tool = nullptr;
  TPoint3DSeries *series = nullptr;
  int x = 100;

  explicit ChartRun(int points) {
    chart->SetBounds(0, 0, kWidth, kHeight);
    // A chart never shown gets no resize from the window system; its
    // surface would keep the default size and clip the paint.
    chart->WindowSurface().SetSize(kWidth, kHeight);
    chart->Legend().SetVisible(false);
    series = chart->AddSeries(std::make_unique<TPoint3DSeries>());
    series->LinePen().SetVisible(false);
    series->Pointer().SetSize(3);
    series->SetSeriesColor(0x3060C0);
    series->BeginUpdate();
    for (const auto &p : Cloud(points))
      series->AddPointXYZ(p[0], p[1], p[2]);
    series->EndUpdate();
    tool = chart->Tools().Add(std::make_unique<TRotateTool>());
    tool->SetCursor(0);
    chart->View3DOptions().SetPerspective(0);
    chart->Invalidate();
    chart->Paint();
    const gdi::Bitmap &surface = chart->WindowSurface();
    chart_bench::CheckSize("rotate_bench: the chart's surface", surface.Width(), surface.Height(), kWidth, kHeight);
    chart->MouseDown(forms::TMouseButton::mbLeft, 0, x, 300);
  }
  // One drag move (a small turn), then the paint it asked for.
  void Step() {
    x = x >= kWidth - 100 ? 100 : x + 3;
    chart->MouseMove(0, x, 300);
    chart->Paint();
  }
};

// ---- by hand with QPainter ---------------------------------------------------------

struct RawRun {
  QImage image{kWidth, kHeight, QImage::Format_RGB32};
  std::vector<std::array<double, 3>> cloud;
  double rotation = 345;
  double elevation = 345;

  explicit RawRun(int points) : cloud(Cloud(points)) {
    chart_bench::CheckSize("rotate_bench: the raw QPainter image", image.width(), image.height(), kWidth, kHeight);
  }

  static QColor ToQColor(TColor c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

  void Step() {
    rotation = std::fmod(rotation + 3 * 90.0 / kWidth, 360);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(image.rect(), ToQColor(clWhite));
    const double r = -rotation * std::numbers::pi / 180, e = -elevation * std::numbers::pi / 180;
    const double cosR = std::cos(r), sinR = std::sin(r), cosE = std::cos(e), sinE = std::sin(e);
    // The same plot area and depth as the chart's, in round numbers.
    const double left = 60, top = 30, width = kWidth - 120, height = kHeight - 90, depth = 0.3 * width;
    const double xc = left + width / 2, yc = top + height / 2, zc = depth / 2;
    auto project = [&](double x, double y, double z) {
      const double dx = x - xc, dy = y - yc, dz = z - zc;
      const double t = dz * cosR - dx * sinR;
      return QPoint(static_cast<int>(rtl::RoundHalfEvenSmall(dx * cosR + dz * sinR + xc)),
                    static_cast<int>(rtl::RoundHalfEvenSmall(dy * cosE - sinE * t + yc)));
    };
    auto facing = [](const QPoint(&q)[4]) {
      return (static_cast<double>(q[3].x()) - q[2].x()) * (static_cast<double>(q[1].y()) - q[2].y()) -
                 (static_cast<double>(q[1].x()) - q[2].x()) * (static_cast<double>(q[3].y()) - q[2].y()) >
             0;
    };
    const TColor base = 0x3060C0;
    const QBrush front(ToQColor(base)), side(ToQColor(DarkenColor(base, 128))), flat(ToQColor(DarkenColor(base, 64)));
    painter.setPen(QPen(ToQColor(clBlack), 0));
    for (const auto &p : cloud) {
      const double px = left + p[0] / 100 * width, py = top + height - p[1] / 100 * height, pz = p[2] / 100 * depth;
      const double l = px - 3, rr = px + 3, t = py - 3, b = py + 3, z0 = pz - 1, z1 = pz + 1;
      const QPoint c[8] = {project(l, t, z0), project(rr, t, z0), project(rr, b, z0), project(l, b, z0),
                           project(l, t, z1), project(rr, t, z1), project(rr, b, z1), project(l, b, z1)};
      const QPoint faces[6][4] = {{c[0], c[1], c[2], c[3]}, {c[4], c[5], c[6], c[7]}, {c[1], c[5], c[6], c[2]},
                                  {c[4], c[0], c[3], c[7]}, {c[4], c[5], c[1], c[0]}, {c[3], c[2], c[6], c[7]}};
      painter.setBrush(front);
      painter.drawPolygon(facing(faces[0]) ? faces[0] : faces[1], 4);
      for (int f = 2; f < 6; ++f) {
        if (!facing(faces[f])) continue;
        painter.setBrush(f < 4 ? side : flat);
        painter.drawPolygon(faces[f], 4);
      }
    }
  }
};

// ---- Google Benchmark entries ------------------------------------------------------

void BM_RotateStepChart(benchmark::State &state) {
  ChartRun run(PointCount());
  for (auto _ : state)
    run.Step();
  state.SetItemsProcessed(state.iterations() * PointCount());
}
BENCHMARK(BM_RotateStepChart)->Unit(benchmark::kMillisecond);

void BM_RotateStepRawQPainter(benchmark::State &state) {
  EnsureUnits();
  RawRun run(PointCount());
  for (auto _ : state)
    run.Step();
  state.SetItemsProcessed(state.iterations() * PointCount());
}
BENCHMARK(BM_RotateStepRawQPainter)->Unit(benchmark::kMillisecond);

// The best of a few runs, so that one slow run does not decide the ratio.
void PrintRatio(int points, int runs) {
  ChartRun chart(points);
  RawRun raw(points);
  chart.Step(); // warm both, so first-use costs do not count
  raw.Step();
  const double c = chart_bench::BestSeconds(runs, [&] { chart.Step(); });
  const double r = chart_bench::BestSeconds(runs, [&] { raw.Step(); });
  std::printf("rotation step, %d 3D points as boxes: chart %8.2f ms, raw QPainter %8.2f ms, ratio %.3f\n", points,
              c * 1e3, r * 1e3, c / r);
}

} // namespace

int main(int argc, char **argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  PrintRatio(PointCount(), Smoke() ? 2 : 10);
  // A step of the large plot takes a second or more; a few runs suffice.
  PrintRatio(LargePlotPointCount(), Smoke() ? 1 : 3);
  std::fflush(stdout);
  benchmark::Shutdown();
  StopChartComponent();
  forms::Application().Finalize();
  return 0;
}
