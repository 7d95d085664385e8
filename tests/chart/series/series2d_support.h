// Scaffolding of the line, point, fast-line and shape series tests: the
// chart units started once per binary, a bare 2D chart of a fixed size, and
// a canvas that records the series' drawing calls.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "chart/ChartTestSupport.h"
#include "chart/engine/Chart.h"
#include "chart/engine/UloAxis.h"
#include "chart/series/Series.h"
#include "chart/series/UloFastLine.h"
#include "chart/series/UloShape.h"

namespace s2d_test {

class WithChartUnits : public chart_support::WithChartEngine {
protected:
  static void SetUpTestSuite() {
    chart_support::WithChartEngine::SetUpTestSuite();
    StartSeriesUnit();
    StartShapeUnit();
  }
  static void TearDownTestSuite() {
    StopShapeUnit();
    StopSeriesUnit();
    chart_support::WithChartEngine::TearDownTestSuite();
  }
};

// "x,y" of a pixel.
inline std::string Pt(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

// A chart of W x H pixels without legend or bevel, white, in 2D.
struct TTestChart {
  std::unique_ptr<TChart> chart;

  explicit TTestChart(int w = 200, int h = 200) : chart(chart_support::BareChart(w, h)) { chart->SetView3D(false); }
  TChart *operator->() { return chart.get(); }
  template <class T> T *Add(TColor colour = clDefault) {
    auto *s = new T;
    chart->AddSeries(std::unique_ptr<TChartSeries>(s));
    if (colour != clDefault) s->SetSeriesColor(colour);
    return s;
  }
  void FixAxes(double min, double max) {
    for (TChartAxis *axis : {chart->BottomAxis(), chart->LeftAxis()})
      axis->SetMinMax(min, max);
  }
  void Paint() { chart_support::PaintSurface(*chart); }
  const gdi::Bitmap &Image() { return chart->WindowSurface(); }
  TColor At(int x, int y) { return Image().Pixel(x, y); }
  int Count(TColor c) {
    int n = 0;
    for (int y = 0; y < Image().Height(); ++y)
      for (int x = 0; x < Image().Width(); ++x)
        n += Image().Pixel(x, y) == c;
    return n;
  }
  int X(double v) { return chart->BottomAxis()->CalcXPosValue(v); }
  int Y(double v) { return chart->LeftAxis()->CalcYPosValue(v); }
  // " x,y" of value (X, Y), as the recorder writes points.
  std::string P(double x, double y) { return " " + Pt(X(x), Y(y)); }
};

// Records the drawing calls as "Name x,y x,y n,n,n" (points, then numbers).
class TRecordingCanvas : public TUloCanvas3D {
public:
  std::vector<std::string> log;
  bool recording = false;

  void Add(std::string text, std::span<const TPoint> pts, std::initializer_list<int> nums = {}) {
    if (!recording) return;
    for (const TPoint &p : pts)
      text += " " + Pt(p.X, p.Y);
    const char *sep = " ";
    for (int n : nums) {
      text += sep + std::to_string(n);
      sep = ",";
    }
    log.push_back(text);
  }
  void TextOut(int x, int y, std::string_view text) override {
    Add("TextOut " + std::string(text), {}, {x, y});
    TUloCanvas3D::TextOut(x, y, text);
  }
// Each override notes its name, points and numbers, then draws.
#define S2D_RECORD(NAME, PARAMS, ARGS, POINTS, ...)                                                                    \
  void NAME PARAMS override {                                                                                          \
    Add(#NAME, POINTS, {__VA_ARGS__});                                                                                 \
    TUloCanvas3D::NAME ARGS;                                                                                           \
  }
  S2D_RECORD(MoveTo, (int x, int y), (x, y), {}, x, y)
  S2D_RECORD(LineTo, (int x, int y), (x, y), {}, x, y)
  S2D_RECORD(Polyline, (std::span<const TPoint> p), (p), p)
  S2D_RECORD(Polygon, (std::span<const TPoint> p), (p), p)
  S2D_RECORD(Rectangle, (int a, int b, int c, int d), (a, b, c, d), {}, a, b, c, d)
  S2D_RECORD(Ellipse, (int a, int b, int c, int d), (a, b, c, d), {}, a, b, c, d)
  S2D_RECORD(RoundRect, (int a, int b, int c, int d, int w, int h), (a, b, c, d, w, h), {}, a, b, c, d, w, h)
  S2D_RECORD(PolygonAtDepth, (std::span<const TPoint> p, int z), (p, z), p, z)
  S2D_RECORD(PolylineAtDepth, (std::span<const TPoint> p, int z), (p, z), p, z)
  S2D_RECORD(VerticalQuad, (const TPoint &a, const TPoint &b, int z0, int z1), (a, b, z0, z1), (std::array{a, b}), z0,
             z1)
  S2D_RECORD(QuadAtDepth, (const TPoint &a, const TPoint &b, const TPoint &c, const TPoint &d, int z), (a, b, c, d, z),
             (std::array{a, b, c, d}), z)
  S2D_RECORD(SideRectAtX, (int x, int t, int b, int z0, int z1), (x, t, b, z0, z1), {}, x, t, b, z0, z1)
  S2D_RECORD(HorizontalRectAtHeight, (int l, int y, int r, int z0, int z1), (l, y, r, z0, z1), {}, l, y, r, z0, z1)
#undef S2D_RECORD
  // The calls whose text starts with one of Prefixes.
  std::vector<std::string> Only(std::initializer_list<std::string> prefixes) const {
    std::vector<std::string> r;
    for (const auto &l : log)
      for (const std::string &prefix : prefixes)
        if (l.rfind(prefix, 0) == 0) r.push_back(l);
    return r;
  }
};

// A test chart without axes whose canvas records what the series draw.
struct TRecordedChart : TTestChart {
  TRecordingCanvas *recorder;
  explicit TRecordedChart(int w = 200, int h = 200) : TTestChart(w, h), recorder(new TRecordingCanvas) {
    chart->ReplaceCanvas(std::unique_ptr<TUloCanvas3D>(recorder));
    chart->SetAxisVisible(false);
    chart->OnBeforeDrawSeries = [this](TCustomAxisPanel *) { recorder->recording = true; };
  }
  void Paint() {
    recorder->log.clear();
    TTestChart::Paint();
    recorder->recording = false;
  }
  // What Draw records outside a paint.
  template <class F> std::vector<std::string> Record(F draw) {
    recorder->log.clear();
    recorder->recording = true;
    draw();
    recorder->recording = false;
    return recorder->log;
  }
};

} // namespace s2d_test
