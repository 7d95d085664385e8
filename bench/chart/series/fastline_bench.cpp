// Repainting an 800 x 500 chart with one fast line of 1,000,000 points,
// "draw all points" on and off, beside the same data plotted by QCustomPlot
// at the same image size, a raw QPainter polyline of the same pixels and the
// same polyline drawn by our device layer. The ratios printed first are what
// the fast line is held to: with every point drawn, within 1.3 times the raw
// polyline; with the column skip, no slower than QCustomPlot. Qt's one-pixel
// polyline is several times slower than the device layer's, so the ratio to
// the layer's polyline shows what drawing every point costs on top of the
// pixels themselves. The column skip keeps one point per pixel column where
// QCustomPlot keeps each column's band, so the two draw different pictures;
// the pixels each draws are printed beside their ratio.
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
#include "chart/ChartComponent.h"
#include "chart/engine/Chart.h"
#include "chart/engine/UloAxis.h"
#include "chart/series/UloFastLine.h"
#include "platform/forms/Application.h"
#include "platform/gdi/Gdi.h"

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
    // A chart never shown gets no resize from the window system; its
    // surface would keep the default size and clip the paint.
    chart.WindowSurface().SetSize(kWidth, kHeight);
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
    const gdi::Bitmap &surface = chart.WindowSurface();
    chart_bench::CheckSize("fastline_bench: the chart's surface", surface.Width(), surface.Height(), kWidth, kHeight);
  }
  void Repaint() {
    chart.Invalidate();
    chart.Paint();
  }
  // The pixels in the line's colour, which nothing else in the chart has.
  int LinePixels() {
    const gdi::Bitmap &image = chart.WindowSurface();
    int n = 0;
    for (int y = 0; y < image.Height(); ++y)
      for (int x = 0; x < image.Width(); ++x)
        n += image.Pixel(x, y) == clBlue;
    return n;
  }
};

struct CustomPlot {
  QCustomPlot plot;
  explicit CustomPlot(const Data &d) {
    plot.resize(kWidth, kHeight);
    // A widget never shown gets its resize event only when shown, and it is
    // that event that sizes the plot's drawing; without it the plot draws at
    // the widget's initial size.
    plot.setViewport(plot.rect());
    // Our lines are not antialiased; neither are these.
    plot.setNotAntialiasedElements(QCP::aeAll);
    QCPGraph *g = plot.addGraph();
    g->setPen(QPen(Qt::blue));
    g->setData(QVector<double>(d.x.begin(), d.x.end()), QVector<double>(d.y.begin(), d.y.end()), true);
    plot.rescaleAxes();
    Repaint();
    chart_bench::CheckSize("fastline_bench: QCustomPlot's viewport", plot.viewport().width(), plot.viewport().height(),
                           kWidth, kHeight);
  }
  void Repaint() { plot.replot(QCustomPlot::rpImmediateRefresh); }
  // The pixels in the line's colour, drawn again into an image of the same
  // size: the plot keeps its own drawing to itself.
  int LinePixels() {
    const QImage image = plot.toPixmap().toImage();
    chart_bench::CheckSize("fastline_bench: QCustomPlot's picture", image.width(), image.height(), kWidth, kHeight);
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        n += (image.pixel(x, y) & 0xFFFFFF) == 0x0000FF;
    return n;
  }
};

// The points mapped onto the whole image, for the two bare polylines.
template <class Point> void MapToPixels(const Data &d, Point *out) {
  const auto [lo, hi] = std::minmax_element(d.y.begin(), d.y.end());
  const double sx = (kWidth - 1) / (d.x.back() - d.x.front());
  const double sy = (kHeight - 1) / (*hi - *lo);
  for (size_t i = 0; i < d.x.size(); ++i)
    out[i] = Point{static_cast<int>(std::lrint((d.x[i] - d.x.front()) * sx)),
                   static_cast<int>(std::lrint((kHeight - 1) - (d.y[i] - *lo) * sy))};
}

// The same points drawn as one QPainter polyline, nothing else.
struct RawPolyline {
  QImage image{kWidth, kHeight, QImage::Format_ARGB32_Premultiplied};
  const Data &data;
  QVector<QPoint> points;
  explicit RawPolyline(const Data &d) : data(d), points(static_cast<qsizetype>(d.x.size())) {
    chart_bench::CheckSize("fastline_bench: the raw polyline's image", image.width(), image.height(), kWidth, kHeight);
  }
  void Repaint() {
    MapToPixels(data, points.data());
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(Qt::blue, 0));
    p.drawPolyline(points.constData(), static_cast<int>(points.size()));
  }
};

// The same points drawn as one polyline by the device layer the chart
// paints through.
struct LayerPolyline {
  gdi::Bitmap bitmap{kWidth, kHeight};
  const Data &data;
  std::vector<gdi::Point> points;
  explicit LayerPolyline(const Data &d) : data(d), points(d.x.size()) {
    bitmap.DC().SelectPen(gdi::Pen::Solid(clBlue));
    chart_bench::CheckSize("fastline_bench: the layer polyline's bitmap", bitmap.Width(), bitmap.Height(), kWidth,
                           kHeight);
  }
  void Repaint() {
    MapToPixels(data, points.data());
    bitmap.Fill(clWhite);
    bitmap.DC().Polyline(points);
    // The layer batches thin lines; the polyline is done once its pixels are.
    bitmap.DC().Flush();
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
  LayerPolyline layer(d);
  raw.Repaint();
  layer.Repaint();
  const double tAll = BestSeconds([&] { all.Repaint(); });
  const double tSkip = BestSeconds([&] { skip.Repaint(); });
  const double tQcp = BestSeconds([&] { qcp.Repaint(); });
  const double tRaw = BestSeconds([&] { raw.Repaint(); });
  const double tLayer = BestSeconds([&] { layer.Repaint(); });
  std::printf("%d points, %d x %d\n", PointCount(), kWidth, kHeight);
  std::printf("fast line, all points   %8.2f ms\n", tAll * 1e3);
  std::printf("fast line, column skip  %8.2f ms\n", tSkip * 1e3);
  std::printf("QCustomPlot replot      %8.2f ms\n", tQcp * 1e3);
  std::printf("raw QPainter polyline   %8.2f ms\n", tRaw * 1e3);
  std::printf("device layer polyline   %8.2f ms\n", tLayer * 1e3);
  std::printf("all points / raw polyline    %.3f (target <= 1.3)\n", tAll / tRaw);
  std::printf("all points / layer polyline  %.3f\n", tAll / tLayer);
  std::printf("column skip / QCustomPlot    %.3f (target <= 1.0); line pixels drawn: %d against %d\n", tSkip / tQcp,
              skip.LinePixels(), qcp.LinePixels());
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

void BM_LayerPolyline(benchmark::State &state) {
  LayerPolyline c(SharedData());
  for (auto _ : state)
    c.Repaint();
}
BENCHMARK(BM_LayerPolyline)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  forms::Application().Initialize(argc, argv);
  StartChartComponent();
  benchmark::Initialize(&argc, argv);
  PrintRatios();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  StopChartComponent();
  return 0;
}
