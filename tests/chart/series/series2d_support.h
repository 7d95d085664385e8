// Scaffolding of the line, point and fast-line series tests: the chart
// units started once per binary, a bare 2D chart of a fixed size with fixed
// axis ranges, and a canvas that records the series' drawing calls.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "chart/engine/Chart.h"
#include "chart/engine/UloAxis.h"
#include "chart/engine/UloEngineStartup.h"
#include "chart/foundation/TestPanel.h"
#include "chart/foundation/UloStartup.h"
#include "chart/series/Series.h"
#include "chart/series/UloFastLine.h"
#include "chart/series/UloShape.h"

namespace s2d_test {

class WithChartUnits : public foundation_test::WithApplication {
protected:
  static void SetUpTestSuite() {
    foundation_test::WithApplication::SetUpTestSuite();
    StartChartFoundation();
    StartChartEngine();
    StartChartUnit();
    StartSeriesUnit();
    StartShapeUnit();
  }
  static void TearDownTestSuite() {
    StopShapeUnit();
    StopSeriesUnit();
    StopChartUnit();
    StopChartEngine();
    StopChartFoundation();
  }
};

// A chart without legend, title, walls or axes of W x H pixels, whose
// axes run over fixed ranges, so that value (X, Y) lands on a known pixel.
struct TTestChart {
  std::unique_ptr<TChart> chart;

  explicit TTestChart(int w = 200, int h = 200) : chart(std::make_unique<TChart>()) {
    chart->SetBounds(0, 0, w, h);
    chart->Legend().SetVisible(false);
    chart->SetColor(clWhite);
    chart->SetBevelOuter(TBevelCut::bvNone);
    chart->SetView3D(false);
  }
  TChart &operator*() { return *chart; }
  TChart *operator->() { return chart.get(); }

  // Both axes from Min to Max, no labels or margins in the way.
  void FixAxes(double min, double max) {
    for (TChartAxis *axis : {chart->BottomAxis(), chart->LeftAxis()})
      axis->SetMinMax(min, max);
  }
  void Paint() {
    chart->Invalidate();
    chart->Paint();
  }
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
};

// Records the drawing calls the series make, then draws them.
class TRecordingCanvas : public TUloCanvas3D {
public:
  std::vector<std::string> log;
  bool recording = false;

  static std::string Pts(std::span<const TPoint> pts) {
    std::ostringstream s;
    for (const TPoint &p : pts)
      s << " " << p.X << "," << p.Y;
    return s.str();
  }
  void Add(const std::string &text) {
    if (recording) log.push_back(text);
  }
  void MoveTo(int x, int y) override {
    Add("MoveTo " + std::to_string(x) + "," + std::to_string(y));
    TUloCanvas3D::MoveTo(x, y);
  }
  void LineTo(int x, int y) override {
    Add("LineTo " + std::to_string(x) + "," + std::to_string(y));
    TUloCanvas3D::LineTo(x, y);
  }
  void Polyline(std::span<const TPoint> p) override {
    Add("Polyline" + Pts(p));
    TUloCanvas3D::Polyline(p);
  }
  void Polygon(std::span<const TPoint> p) override {
    Add("Polygon" + Pts(p));
    TUloCanvas3D::Polygon(p);
  }
  void Rectangle(int x0, int y0, int x1, int y1) override {
    std::ostringstream s;
    s << "Rectangle " << x0 << "," << y0 << "," << x1 << "," << y1;
    Add(s.str());
    TUloCanvas3D::Rectangle(x0, y0, x1, y1);
  }
  void Ellipse(int x0, int y0, int x1, int y1) override {
    std::ostringstream s;
    s << "Ellipse " << x0 << "," << y0 << "," << x1 << "," << y1;
    Add(s.str());
    TUloCanvas3D::Ellipse(x0, y0, x1, y1);
  }
  void RoundRect(int x0, int y0, int x1, int y1, int w, int h) override {
    std::ostringstream s;
    s << "RoundRect " << x0 << "," << y0 << "," << x1 << "," << y1 << " " << w << "," << h;
    Add(s.str());
    TUloCanvas3D::RoundRect(x0, y0, x1, y1, w, h);
  }
  void TextOut(int x, int y, std::string_view text) override {
    Add("TextOut " + std::to_string(x) + "," + std::to_string(y) + " " + std::string(text));
    TUloCanvas3D::TextOut(x, y, text);
  }
  void PolygonAtDepth(std::span<const TPoint> p, int z) override {
    Add("PolygonAtDepth" + Pts(p) + " z" + std::to_string(z));
    TUloCanvas3D::PolygonAtDepth(p, z);
  }
  void PolylineAtDepth(std::span<const TPoint> p, int z) override {
    Add("PolylineAtDepth" + Pts(p) + " z" + std::to_string(z));
    TUloCanvas3D::PolylineAtDepth(p, z);
  }
  void VerticalQuad(const TPoint &p1, const TPoint &p2, int z0, int z1) override {
    const TPoint p[2] = {p1, p2};
    Add("VerticalQuad" + Pts(p) + " z" + std::to_string(z0) + "-" + std::to_string(z1));
    TUloCanvas3D::VerticalQuad(p1, p2, z0, z1);
  }
  void QuadAtDepth(const TPoint &p1, const TPoint &p2, const TPoint &p3, const TPoint &p4, int z) override {
    const TPoint p[4] = {p1, p2, p3, p4};
    Add("QuadAtDepth" + Pts(p) + " z" + std::to_string(z));
    TUloCanvas3D::QuadAtDepth(p1, p2, p3, p4, z);
  }
  void SideRectAtX(int x, int top, int bottom, int z0, int z1) override {
    std::ostringstream s;
    s << "SideRectAtX " << x << " " << top << "-" << bottom << " z" << z0 << "-" << z1;
    Add(s.str());
    TUloCanvas3D::SideRectAtX(x, top, bottom, z0, z1);
  }
  void HorizontalRectAtHeight(int left, int y, int right, int z0, int z1) override {
    std::ostringstream s;
    s << "HorizontalRectAtHeight " << left << "-" << right << " " << y << " z" << z0 << "-" << z1;
    Add(s.str());
    TUloCanvas3D::HorizontalRectAtHeight(left, y, right, z0, z1);
  }
  // Only what lies between these two marks (the series' part of a paint).
  std::vector<std::string> Only(const std::string &prefix) const {
    std::vector<std::string> r;
    for (const auto &l : log)
      if (l.rfind(prefix, 0) == 0) r.push_back(l);
    return r;
  }
};

// A test chart whose canvas records; Recorder() is that canvas.
struct TRecordedChart : TTestChart {
  TRecordingCanvas *recorder;
  explicit TRecordedChart(int w = 200, int h = 200) : TTestChart(w, h), recorder(new TRecordingCanvas) {
    chart->ReplaceCanvas(std::unique_ptr<TUloCanvas3D>(recorder));
    // Only the series draw between the tool stages before and after them.
    chart->SetAxisVisible(false);
    chart->OnBeforeDrawSeries = [this](TCustomAxisPanel *) { recorder->recording = true; };
  }
  void Paint() {
    recorder->log.clear();
    TTestChart::Paint();
    recorder->recording = false;
  }
};

} // namespace s2d_test
