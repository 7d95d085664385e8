// The drawing layer against the same drawing made directly on QPainter:
// a dense polyline, filled rectangles and ellipses, each once, and the
// ratio printed. A wide dense polyline shows why the layer splits strokes.
#include "platform/gdi/Gdi.h"
#include "platform/gdi/QtSurface.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 800;

bool Smoke() { return std::getenv("KVEL_BENCH_SMOKE") != nullptr; }
int Scaled(int n) { return Smoke() ? n / 1000 : n; }

std::map<std::string, double> &Seconds() {
  static std::map<std::string, double> s;
  return s;
}

// A deterministic zig-zag over the whole width: neighbouring points are
// less than a pixel apart horizontally, as in a dense data line.
std::vector<gdi::Point> DensePoints(int n) {
  std::vector<gdi::Point> pts(static_cast<size_t>(n));
  uint32_t state = 12345;
  for (int i = 0; i < n; ++i) {
    state = state * 1664525u + 1013904223u;
    pts[static_cast<size_t>(i)] = {static_cast<int32_t>(static_cast<int64_t>(i) * (kWidth - 1) / n),
                                   static_cast<int32_t>(100 + (state >> 8) % (kHeight - 200))};
  }
  return pts;
}

gdi::Rect ShapeBox(int i) {
  const int x = (i * 37) % (kWidth - 40), y = (i * 53) % (kHeight - 30);
  return {x, y, x + 5 + i % 31, y + 4 + i % 23};
}

template <class Fn> void Once(benchmark::State &state, const std::string &name, Fn &&fn) {
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    fn();
    const auto t1 = std::chrono::steady_clock::now();
    Seconds()[name] = std::chrono::duration<double>(t1 - t0).count();
  }
}

// The layer draws `n` dense points with `pen` once.
void PolylineLayer(benchmark::State &state, const char *name, const gdi::Pen &pen, int n) {
  const auto pts = DensePoints(Scaled(n));
  gdi::Bitmap bmp(kWidth, kHeight);
  auto &dc = bmp.DC();
  dc.SelectPen(pen);
  Once(state, name, [&] {
    dc.Polyline(pts);
    dc.Flush();
  });
}

// QPainter draws `n` dense points with `pen` once.
void PolylineQt(benchmark::State &state, const char *name, const QPen &pen, int n) {
  const auto pts = DensePoints(Scaled(n));
  QImage img(kWidth, kHeight, QImage::Format_RGB32);
  img.fill(Qt::white);
  Once(state, name, [&] {
    QPainter p(&img);
    p.setPen(pen);
    p.drawPolyline(reinterpret_cast<const QPoint *>(pts.data()), static_cast<int>(pts.size()));
  });
}

QPen QtWidePen() { return QPen(QColor(0, 0, 128), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// ---- polyline, one-pixel pen

void BM_PolylineLayer(benchmark::State &state) {
  PolylineLayer(state, "polyline.layer", gdi::Pen::Solid(clNavy), 1000000);
}

void BM_PolylineQt(benchmark::State &state) {
  QPen pen(QColor(0, 0, 128), 0);
  pen.setCapStyle(Qt::FlatCap);
  PolylineQt(state, "polyline.qt", pen, 1000000);
}

// ---- polyline, three-pixel pen

void BM_WidePolylineLayer(benchmark::State &state) {
  PolylineLayer(state, "widepolyline.layer", gdi::Pen::Solid(clNavy, 3), 1000000);
}

// Qt alone on a wide dense polyline takes about a millisecond a point, so
// it is measured on a fiftieth of the points.
void BM_WidePolylineQtFiftieth(benchmark::State &state) {
  PolylineQt(state, "widepolyline.qt.fiftieth", QtWidePen(), 20000);
}

// ---- polyline, three-pixel dashed pen: Qt's dasher costs microseconds per
// dash, so it is measured on a five-hundredth of the points.

void BM_DashedWidePolylineLayer(benchmark::State &state) {
  gdi::Pen pen = gdi::Pen::Solid(clNavy, 3);
  pen.Style = gdi::PenStyle::Dash;
  PolylineLayer(state, "dashedwide.layer", pen, 1000000);
}

void BM_DashedWidePolylineQtFiveHundredth(benchmark::State &state) {
  QPen pen = QtWidePen();
  pen.setDashPattern({3, 1});
  PolylineQt(state, "dashedwide.qt.fivehundredth", pen, 2000);
}

// ---- filled shapes with an outline, each in its own colour

TColor ShapeColor(int i) { return static_cast<TColor>(i * 2654435761u & 0xFFFFFF); }

template <class Draw> void ShapesLayer(benchmark::State &state, const char *name, Draw &&draw) {
  const int n = Scaled(100000);
  gdi::Bitmap bmp(kWidth, kHeight);
  auto &dc = bmp.DC();
  dc.SelectPen(gdi::Pen::Solid(clBlack));
  Once(state, name, [&] {
    for (int i = 0; i < n; ++i) {
      dc.SelectBrush(gdi::Brush::Solid(ShapeColor(i)));
      const gdi::Rect r = ShapeBox(i);
      draw(dc, r.left, r.top, r.right, r.bottom);
    }
    dc.Flush();
  });
}

// `draw` gets the box the layer's shape fills with a one-pixel pen.
template <class Draw> void ShapesQt(benchmark::State &state, const char *name, Draw &&draw) {
  const int n = Scaled(100000);
  QImage img(kWidth, kHeight, QImage::Format_RGB32);
  img.fill(Qt::white);
  Once(state, name, [&] {
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 0));
    for (int i = 0; i < n; ++i) {
      const TColor c = ShapeColor(i);
      p.setBrush(QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
      const gdi::Rect r = ShapeBox(i);
      draw(p, QRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1));
    }
  });
}

void BM_RectanglesLayer(benchmark::State &state) {
  ShapesLayer(state, "rectangles.layer",
              [](gdi::DeviceContext &dc, int l, int t, int r, int b) { dc.Rectangle(l, t, r, b); });
}

void BM_RectanglesQt(benchmark::State &state) {
  ShapesQt(state, "rectangles.qt", [](QPainter &p, const QRect &r) { p.drawRect(r); });
}

void BM_EllipsesLayer(benchmark::State &state) {
  ShapesLayer(state, "ellipses.layer",
              [](gdi::DeviceContext &dc, int l, int t, int r, int b) { dc.Ellipse(l, t, r, b); });
}

void BM_EllipsesQt(benchmark::State &state) {
  ShapesQt(state, "ellipses.qt", [](QPainter &p, const QRect &r) { p.drawEllipse(r); });
}

BENCHMARK(BM_PolylineLayer)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PolylineQt)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RectanglesLayer)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RectanglesQt)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EllipsesLayer)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EllipsesQt)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WidePolylineLayer)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WidePolylineQtFiftieth)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DashedWidePolylineLayer)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DashedWidePolylineQtFiveHundredth)->Iterations(1)->Unit(benchmark::kMillisecond);

void PrintRatio(const char *what, const std::string &layer, const std::string &qt) {
  const auto &s = Seconds();
  if (!s.count(layer) || !s.count(qt) || s.at(qt) <= 0) return;
  std::printf("%-34s layer %9.1f ms   QPainter %9.1f ms   ratio %.2fx\n", what, s.at(layer) * 1e3, s.at(qt) * 1e3,
              s.at(layer) / s.at(qt));
}

} // namespace

int main(int argc, char **argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintRatio("polyline 1,000,000 points", "polyline.layer", "polyline.qt");
  PrintRatio("rectangles 100,000 filled", "rectangles.layer", "rectangles.qt");
  PrintRatio("ellipses 100,000 filled", "ellipses.layer", "ellipses.qt");
  const auto &s = Seconds();
  if (s.count("widepolyline.layer") && s.count("widepolyline.qt.fiftieth"))
    std::printf("wide polyline, 3 px: layer %.1f ms for 1,000,000 points; QPainter %.1f ms for 20,000 points\n",
                s.at("widepolyline.layer") * 1e3, s.at("widepolyline.qt.fiftieth") * 1e3);
  if (s.count("dashedwide.layer") && s.count("dashedwide.qt.fivehundredth"))
    std::printf("dashed wide polyline, 3 px: layer %.1f ms for 1,000,000 points; QPainter %.1f ms for 2,000 points\n",
                s.at("dashedwide.layer") * 1e3, s.at("dashedwide.qt.fivehundredth") * 1e3);
  return 0;
}
