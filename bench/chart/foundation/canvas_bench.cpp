// What the canvas costs on top of the device-context layer: 100,000 points
// as small shaded boxes and 1,000,000 as one polyline, projected in a
// rotated 3D view, once through the canvas and once with the projection
// written out here and the device called directly.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/chart/BenchSupport.h"
#include "chart/foundation/UloCanvas3D.h"

namespace {

using chart_bench::Smoke;
int BoxCount() { return Smoke() ? 1000 : 100000; }
int LineCount() { return Smoke() ? 10000 : 1000000; }
constexpr int kSize = 1000;
constexpr int kDepth = 100;

std::vector<TPoint3D> Cloud(int n) {
  std::vector<TPoint3D> pts(n);
  uint32_t s = 12345;
  auto next = [&s](int range) {
    s = s * 1664525u + 1013904223u;
    return static_cast<int>((s >> 8) % static_cast<uint32_t>(range));
  };
  for (auto &p : pts)
    p = {100 + next(800), 100 + next(800), next(kDepth)};
  return pts;
}

std::vector<TPoint3D> Curve(int n) {
  std::vector<TPoint3D> pts(n);
  for (int i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / n;
    pts[i] = {static_cast<int>(100 + 800 * t), static_cast<int>(500 + 300 * std::sin(t * 40)),
              static_cast<int>(50 + 45 * std::cos(t * 17))};
  }
  return pts;
}

struct View {
  gdi::Bitmap image{kSize, kSize};
  TView3DOptions options;
  TUloCanvas3D canvas;
  View() {
    options.SetOrthogonal(false);
    options.SetPerspective(0);
    canvas.SetBuffered(false);
    canvas.PrepareTarget(&image.DC(), &options, TRect{0, 0, kSize, kSize}, true);
    canvas.SetupProjection(kDepth, TRect{0, 0, kSize, kSize});
    canvas.ResetDefaults();
    // The canvas path draws on the device the canvas bound, the direct path
    // on the bitmap: both must be the picture the ratio compares.
    chart_bench::CheckSize("canvas_bench: the canvas's device", canvas.GetHandle(), kSize, kSize);
    chart_bench::CheckSize("canvas_bench: the direct path's bitmap", image.Width(), image.Height(), kSize, kSize);
  }
};

// The rotated projection, its factors taken once, as a caller of the device
// would write it by hand.
struct HandProjection {
  double xc, yc, zc;
  int sx, sy;
  double cosR, sinR, cosE, sinE;
  explicit HandProjection(const TProjection &p)
      : xc(p.XC), yc(p.YC), zc(p.ZC), sx(p.SX), sy(p.SY), cosR(p.cosR), sinR(p.sinR), cosE(p.cosE), sinE(p.sinE) {}
  gdi::Point operator()(int X, int Y, int Z) const {
    const double x = X - xc, y = Y - yc, z = Z - zc;
    const double t = z * cosR - x * sinR;
    return gdi::Point{static_cast<int>(rtl::RoundHalfEvenSmall(x * cosR + z * sinR)) + sx,
                      static_cast<int>(rtl::RoundHalfEvenSmall(y * cosE - sinE * t)) + sy};
  }
};

// ---- boxes -----------------------------------------------------------------------

void BoxesCanvas(View &v, const std::vector<TPoint3D> &pts) {
  v.canvas.Brush().SetColor(0x3060C0);
  for (const TPoint3D &p : pts)
    v.canvas.DrawBox(p.X - 3, p.X + 3, p.Y - 3, p.Y + 3, p.Z, p.Z + 6, true);
}

bool Facing(const gdi::Point (&q)[4]) {
  return (static_cast<double>(q[3].x) - q[2].x) * (static_cast<double>(q[1].y) - q[2].y) -
             (static_cast<double>(q[1].x) - q[2].x) * (static_cast<double>(q[3].y) - q[2].y) >
         0;
}

void BoxesDirect(View &v, const std::vector<TPoint3D> &pts) {
  gdi::DeviceContext &dc = v.image.DC();
  const HandProjection proj(v.canvas.Projection());
  const TColor base = 0x3060C0;
  const gdi::Brush front = gdi::Brush::Solid(base), side = gdi::Brush::Solid(DarkenColor(base, 128)),
                   flat = gdi::Brush::Solid(DarkenColor(base, 64));
  dc.SelectPen(gdi::Pen::Solid(clBlack));
  for (const TPoint3D &p : pts) {
    const int l = p.X - 3, r = p.X + 3, t = p.Y - 3, b = p.Y + 3, z0 = p.Z, z1 = p.Z + 6;
    const gdi::Point c[8] = {proj(l, t, z0), proj(r, t, z0), proj(r, b, z0), proj(l, b, z0),
                             proj(l, t, z1), proj(r, t, z1), proj(r, b, z1), proj(l, b, z1)};
    const gdi::Point faces[6][4] = {{c[0], c[1], c[2], c[3]}, {c[4], c[5], c[6], c[7]}, {c[1], c[5], c[6], c[2]},
                                    {c[4], c[0], c[3], c[7]}, {c[4], c[5], c[1], c[0]}, {c[3], c[2], c[6], c[7]}};
    dc.SelectBrush(front);
    dc.Polygon(Facing(faces[0]) ? faces[0] : faces[1]);
    for (int f = 2; f < 6; ++f) {
      if (!Facing(faces[f])) continue;
      dc.SelectBrush(f < 4 ? side : flat);
      dc.Polygon(faces[f]);
    }
  }
}

// ---- polyline --------------------------------------------------------------------

void LineCanvas(View &v, const std::vector<TPoint3D> &pts, TPointArray &projected) {
  projected.resize(pts.size());
  for (std::size_t i = 0; i < pts.size(); ++i)
    projected[i] = v.canvas.ProjectPoint3D(pts[i]);
  v.canvas.Pen().SetColor(clBlue);
  v.canvas.Polyline(projected);
}

void LineDirect(View &v, const std::vector<TPoint3D> &pts, std::vector<gdi::Point> &projected) {
  const HandProjection proj(v.canvas.Projection());
  projected.resize(pts.size());
  for (std::size_t i = 0; i < pts.size(); ++i)
    projected[i] = proj(pts[i].X, pts[i].Y, pts[i].Z);
  gdi::DeviceContext &dc = v.image.DC();
  dc.SelectPen(gdi::Pen::Solid(clBlue));
  dc.Polyline(projected);
}

// ---- Google Benchmark entries ------------------------------------------------------

void BM_BoxesThroughCanvas(benchmark::State &state) {
  View v;
  const auto pts = Cloud(BoxCount());
  for (auto _ : state)
    BoxesCanvas(v, pts);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(pts.size()));
}
BENCHMARK(BM_BoxesThroughCanvas)->Unit(benchmark::kMillisecond);

void BM_BoxesDirect(benchmark::State &state) {
  View v;
  const auto pts = Cloud(BoxCount());
  for (auto _ : state)
    BoxesDirect(v, pts);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(pts.size()));
}
BENCHMARK(BM_BoxesDirect)->Unit(benchmark::kMillisecond);

void BM_PolylineThroughCanvas(benchmark::State &state) {
  View v;
  const auto pts = Curve(LineCount());
  TPointArray projected;
  for (auto _ : state)
    LineCanvas(v, pts, projected);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(pts.size()));
}
BENCHMARK(BM_PolylineThroughCanvas)->Unit(benchmark::kMillisecond);

void BM_PolylineDirect(benchmark::State &state) {
  View v;
  const auto pts = Curve(LineCount());
  std::vector<gdi::Point> projected;
  for (auto _ : state)
    LineDirect(v, pts, projected);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(pts.size()));
}
BENCHMARK(BM_PolylineDirect)->Unit(benchmark::kMillisecond);

// The best of a few runs, so that one slow run does not decide the ratio.
template <class F> double BestSeconds(F &&run) { return chart_bench::BestSeconds(Smoke() ? 1 : 5, run); }

void PrintRatios() {
  View canvasView, directView;
  const auto cloud = Cloud(BoxCount());
  const auto curve = Curve(LineCount());
  TPointArray tp;
  std::vector<gdi::Point> gp;
  BoxesCanvas(canvasView, cloud); // warm both, so first-use costs do not count
  BoxesDirect(directView, cloud);
  const double boxCanvas = BestSeconds([&] { BoxesCanvas(canvasView, cloud); });
  const double boxDirect = BestSeconds([&] { BoxesDirect(directView, cloud); });
  const double lineCanvas = BestSeconds([&] { LineCanvas(canvasView, curve, tp); });
  const double lineDirect = BestSeconds([&] { LineDirect(directView, curve, gp); });
  std::printf("boxes    %7d: canvas %8.2f ms, device %8.2f ms, ratio %.3f\n", BoxCount(), boxCanvas * 1e3,
              boxDirect * 1e3, boxCanvas / boxDirect);
  std::printf("polyline %7d: canvas %8.2f ms, device %8.2f ms, ratio %.3f\n", LineCount(), lineCanvas * 1e3,
              lineDirect * 1e3, lineCanvas / lineDirect);
  // Both paths must have drawn the same picture.
  int differing = 0;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x)
      differing += canvasView.image.Pixel(x, y) != directView.image.Pixel(x, y);
  std::printf("pixels differing between the two pictures: %d\n", differing);
}

} // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  PrintRatios();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
