// Repainting an 800 x 500 chart with one fast line of 1,000,000 points,
// "draw all points" on and off, beside the same data plotted by QCustomPlot
// at the same image size and a raw QPainter polyline of the same pixels.
// The ratios printed first are what the fast line is held to: with every
// point drawn, within 1.3 times the raw polyline; with the column skip, no
// slower than QCustomPlot.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QVector>
#include <qcustomplot.h>

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
#include "chart/series/UloFastLine.h"
#include "platform/forms/Application.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 500;

using chart_bench::Smoke;
int PointCount() { return Smoke() ? 20000 : 1000000; }

// A noisy wave: every pixel column holds many points spread over a band.
struct Data {
  std::vector<double> x, y;
  explicit Data(int n) : x(n), y(n) {
    uint32_t s = 2463534242u;
    for (int i = 0; i < n; ++i) {
      s ^= s << 13;
      s ^= s >> 17;
      s ^= s << 5;
      x[i] = i;
      y[i] = 100 * std::sin(i * 6.0e-5) + static_cast<double>(s % 2000) / 100.0;
    }
  }
};

struct FastLineChart {
  TChart chart;
  TFastLineSeries *series;
  FastLineChart(const Data &d, bool drawAll) : series(new TFastLineSeries) {
    chart.SetBounds(0, 0, kWidth, kHeight);
    chart.SetView3D(false);
    chart.Legend().SetVisible(false);
    chart.AddSeries(std::unique_ptr<TChartSeries>(series));
    series->SetDrawAllPoints(drawAll);
    series->SetSeriesColor(clBlue);
    series->BeginUpdate();
    for (size_t i = 0; i < d.x.size(); ++i)
      series->AddPointXY(d.x[i], d.y[i]);
    series->EndUpdate();
    Repaint();
  }
  void Repaint() {
    chart.Invalidate();
    chart.Paint();
  }
};

struct CustomPlot {
  QCustomPlot plot;
  explicit CustomPlot(const Data &d) {
    plot.resize(kWidth, kHeight);
    // Our lines are not antialiased; neither are these.
    plot.setNotAntialiasedElements(QCP::aeAll);
    QCPGraph *g = plot.addGraph();
    g->setPen(QPen(Qt::blue));
    g->setData(QVector<double>(d.x.begin(), d.x.end()), QVector<double>(d.y.begin(), d.y.end()), true);
    plot.rescaleAxes();
    Repaint();
  }
  void Repaint() { plot.replot(QCustomPlot::rpImmediateRefresh); }
};

// The same points mapped to pixels and drawn as one polyline, nothing else.
struct RawPolyline {
  QImage image{kWidth, kHeight, QImage::Format_ARGB32_Premultiplied};
  const Data &data;
  QVector<QPoint> points;
  explicit RawPolyline(const Data &d) : data(d), points(static_cast<qsizetype>(d.x.size())) {}
  void Repaint() {
    const auto [lo, hi] = std::minmax_element(data.y.begin(), data.y.end());
    const double sx = (kWidth - 1) / (data.x.back() - data.x.front());
    const double sy = (kHeight - 1) / (*hi - *lo);
    for (size_t i = 0; i < data.x.size(); ++i)
      points[static_cast<qsizetype>(i)] = QPoint(static_cast<int>(std::lrint((data.x[i] - data.x.front()) * sx)),
                                                 static_cast<int>(std::lrint((kHeight - 1) - (data.y[i] - *lo) * sy)));
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(Qt::blue, 0));
    p.drawPolyline(points.constData(), static_cast<int>(points.size()));
  }
};

const Data &SharedData() {
  static const Data d(PointCount());
  return d;
}

// The best of a few runs, so that one slow run does not decide the ratio.
template <class F> double BestSeconds(F &&run) { return chart_bench::BestSeconds(Smoke() ? 1 : 7, run); }

void PrintRatios() {
  const Data &d = SharedData();
  FastLineChart all(d, true), skip(d, false);
  CustomPlot qcp(d);
  RawPolyline raw(d);
  raw.Repaint();
  const double tAll = BestSeconds([&] { all.Repaint(); });
  const double tSkip = BestSeconds([&] { skip.Repaint(); });
  const double tQcp = BestSeconds([&] { qcp.Repaint(); });
  const double tRaw = BestSeconds([&] { raw.Repaint(); });
  std::printf("%d points, %d x %d\n", PointCount(), kWidth, kHeight);
  std::printf("fast line, all points   %8.2f ms\n", tAll * 1e3);
  std::printf("fast line, column skip  %8.2f ms\n", tSkip * 1e3);
  std::printf("QCustomPlot replot      %8.2f ms\n", tQcp * 1e3);
  std::printf("raw QPainter polyline   %8.2f ms\n", tRaw * 1e3);
  std::printf("all points / raw polyline    %.3f (target <= 1.3)\n", tAll / tRaw);
  std::printf("column skip / QCustomPlot    %.3f (target <= 1.0)\n", tSkip / tQcp);
}

void BM_FastLineAllPoints(benchmark::State &state) {
  FastLineChart c(SharedData(), true);
  for (auto _ : state)
    c.Repaint();
}
BENCHMARK(BM_FastLineAllPoints)->Unit(benchmark::kMillisecond);

void BM_FastLineColumnSkip(benchmark::State &state) {
  FastLineChart c(SharedData(), false);
  for (auto _ : state)
    c.Repaint();
}
BENCHMARK(BM_FastLineColumnSkip)->Unit(benchmark::kMillisecond);

void BM_QCustomPlot(benchmark::State &state) {
  CustomPlot c(SharedData());
  for (auto _ : state)
    c.Repaint();
}
BENCHMARK(BM_QCustomPlot)->Unit(benchmark::kMillisecond);

void BM_RawPolyline(benchmark::State &state) {
  RawPolyline c(SharedData());
  for (auto _ : state)
    c.Repaint();
}
BENCHMARK(BM_RawPolyline)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  forms::Application().Initialize(argc, argv);
  StartChartFoundation();
  StartChartEngine();
  StartChartUnit();
  StartSeriesUnit();
  benchmark::Initialize(&argc, argv);
  PrintRatios();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  StopSeriesUnit();
  StopChartUnit();
  StopChartEngine();
  StopChartFoundation();
  return 0;
}
