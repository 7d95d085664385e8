// What grid series cost: the cells of one 100 x 100 surface in a 3D view
// (single colour, palette, hidden cells, transparency) and one 300 x 300
// colour grid, each against the same polygons or rectangles filled by a
// bare QPainter; and the grid index of 1,000,000 points. Prints the ratios,
// which should stay within 1.5 without transparency.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "bench/chart/BenchSupport.h"
#include "chart/ChartComponent.h"
#include "chart/engine/Chart.h"
#include "chart/engine/UloAxis.h"
#include "chart/series/UloSurfa.h"
#include "platform/forms/Application.h"

namespace {

bool Smoke() { return std::getenv("KVEL_BENCH_SMOKE") != nullptr; }
int SurfaceSide() { return Smoke() ? 20 : 100; }
int GridSide() { return Smoke() ? 30 : 300; }
int IndexSide() { return Smoke() ? 100 : 1000; }
constexpr int kWidth = 800;
constexpr int kHeight = 600;

QColor ToQt(TColor c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// A surface that can also hand out the projected quads it would fill.
class TBenchSurface : public TSurfaceSeries {
public:
  std::vector<QPolygon> *Quads = nullptr;
  std::vector<QColor> *Colours = nullptr;
  void DrawPlane(std::span<const TPoint> points, int z0, int z1) override {
    if (!Quads) {
      TSurfaceSeries::DrawPlane(points, z0, z1);
      return;
    }
    TCanvas3D &c = ParentChart()->Canvas();
    QPolygon q;
    for (int k = 0; k < 4; ++k) {
      const TPoint p = c.ProjectPoint(points[k].X, points[k].Y, k < 2 ? z0 : z1);
      q << QPoint(p.X, p.Y);
    }
    Quads->push_back(q);
    Colours->push_back(ToQt(c.Brush().Color()));
  }
};

// A chart laid out once by a whole paint, with its canvas then bound to an
// image so that the series alone can be drawn again and again.
struct Scene {
  TChart chart;
  gdi::Bitmap image{kWidth, kHeight};
  explicit Scene(bool view3D) {
    chart.SetBounds(0, 0, kWidth, kHeight);
    chart.SetView3D(view3D);
    chart.Legend().SetVisible(false);
  }
  void Layout() {
    chart.Draw(&image.DC(), TRect{0, 0, kWidth, kHeight});
    const TRect all{0, 0, kWidth, kHeight};
    chart.Canvas().SetBuffered(false);
    chart.Canvas().PrepareTarget(&image.DC(), &chart.View3DOptions(), all, chart.View3D());
    chart.Canvas().SetupProjection(chart.HorizDepth, chart.ChartRect);
    // The series is drawn again and again on the device bound here, against
    // a raw picture of the stated size.
    chart_bench::CheckSize("surface_bench: the canvas's device", chart.Canvas().GetHandle(), kWidth, kHeight);
  }
};

enum class Kind { Plain, Palette, Hidden, Transparent };

struct SurfaceScene : Scene {
  TBenchSurface *surface;
  explicit SurfaceScene(Kind kind) : Scene(true) {
    surface = chart.AddSeries(std::make_unique<TBenchSurface>());
    surface->FillSampleValues(SurfaceSide());
    surface->SetUseColorRange(kind != Kind::Plain);
    surface->SetUsePalette(kind == Kind::Palette);
    surface->SetHideCells(kind == Kind::Hidden);
    surface->SetTransparency(kind == Kind::Transparent ? 50 : 0);
    chart.View3DOptions().SetRotation(kind == Kind::Hidden ? 10 : 345);
    Layout();
  }
  void DrawSeries() {
    surface->PrepareForDraw();
    surface->DrawVisiblePoints();
  }
};

void RawQuads(QImage &target, const std::vector<QPolygon> &quads, const std::vector<QColor> &colours) {
  QPainter p(&target);
  p.setPen(QPen(Qt::black));
  for (size_t i = 0; i < quads.size(); ++i) {
    p.setBrush(colours[i]);
    p.drawPolygon(quads[i]);
  }
}

template <class F> double BestSeconds(F &&run) {
  double best = 1e300;
  for (int i = 0; i < (Smoke() ? 1 : 5); ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

void PrintSurfaceRatio(const char *name, Kind kind) {
  SurfaceScene scene(kind);
  std::vector<QPolygon> quads;
  std::vector<QColor> colours;
  // The polygons the cells fill, collected from an opaque drawing.
  const int transparency = scene.surface->Transparency();
  scene.surface->SetTransparency(0);
  scene.surface->Quads = &quads;
  scene.surface->Colours = &colours;
  scene.DrawSeries();
  scene.surface->Quads = nullptr;
  scene.surface->SetTransparency(transparency);
  scene.DrawSeries(); // warm
  QImage target(kWidth, kHeight, QImage::Format_RGB32);
  chart_bench::CheckSize("surface_bench: the raw QPainter image", target.width(), target.height(), kWidth, kHeight);
  target.fill(Qt::white);
  const double series = BestSeconds([&] { scene.DrawSeries(); });
  const double raw = BestSeconds([&] { RawQuads(target, quads, colours); });
  std::fflush(stdout);
  std::printf("surface %-12s %zu cells: series %8.2f ms, raw QPainter %8.2f ms, ratio %.3f\n", name, quads.size(),
              series * 1e3, raw * 1e3, series / raw);
}

void PrintColourGridRatio() {
  Scene scene(false);
  auto *grid = scene.chart.AddSeries(std::make_unique<TColorGridSeries>());
  grid->FillSampleValues(GridSide());
  grid->Pen().SetVisible(false);
  scene.Layout();
  TChartAxis &h = *scene.chart.BottomAxis(), &v = *scene.chart.LeftAxis();
  std::vector<QRect> rects;
  std::vector<QColor> colours;
  for (int i = 0; i < grid->PointCount(); ++i) {
    const double x = grid->XValues()->Value(i), z = grid->ZValues().Value(i);
    const int l = h.CalcXPosValue(x), r = h.CalcXPosValue(x + 1), t = v.CalcYPosValue(z + 1), b = v.CalcYPosValue(z);
    rects.emplace_back(QPoint(l, t), QPoint(r - 1, b - 1));
    colours.push_back(ToQt(grid->PointColor(i)));
  }
  QImage target(kWidth, kHeight, QImage::Format_RGB32);
  chart_bench::CheckSize("surface_bench: the raw QPainter image", target.width(), target.height(), kWidth, kHeight);
  auto drawSeries = [&] {
    grid->PrepareForDraw();
    grid->DrawVisiblePoints();
  };
  drawSeries();
  const double series = BestSeconds(drawSeries);
  const double raw = BestSeconds([&] {
    QPainter p(&target);
    for (size_t i = 0; i < rects.size(); ++i)
      p.fillRect(rects[i], colours[i]);
  });
  std::printf("colour grid %d x %d: series %8.2f ms, raw QPainter %8.2f ms, ratio %.3f\n", GridSide(), GridSide(),
              series * 1e3, raw * 1e3, series / raw);
}

void BM_SurfacePaint(benchmark::State &state) {
  SurfaceScene scene(static_cast<Kind>(state.range(0)));
  for (auto _ : state)
    scene.DrawSeries();
  state.SetItemsProcessed(state.iterations() * (SurfaceSide() - 1) * (SurfaceSide() - 1));
}
BENCHMARK(BM_SurfacePaint)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_GridIndex(benchmark::State &state) {
  TSurfaceSeries s;
  s.SetSampleMode(true);
  s.CreateValues(IndexSide(), IndexSide());
  s.SetIrregularGrid(state.range(0) != 0);
  for (auto _ : state)
    s.FillGridIndex(0);
  state.SetItemsProcessed(state.iterations() * s.PointCount());
}
BENCHMARK(BM_GridIndex)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  forms::Application().Initialize(argc, argv);
  StartChartComponent();
  benchmark::Initialize(&argc, argv);
  PrintSurfaceRatio("plain", Kind::Plain);
  PrintSurfaceRatio("palette", Kind::Palette);
  PrintSurfaceRatio("hidden cells", Kind::Hidden);
  PrintSurfaceRatio("transparent", Kind::Transparent);
  PrintColourGridRatio();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  StopChartComponent();
  forms::Application().Finalize();
  return 0;
}
