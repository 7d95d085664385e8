// Scaffolding of the chart control's tests: the units started once per
// binary, a small series that draws a square at each point and finds it
// again under the mouse, charts in shown windows, and real mouse input.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "chart/ChartTestSupport.h"
#include "chart/engine/Chart.h"
#include "chart/engine/UloAxis.h"
#include "chart/engine/UloSeries.h"
#include "platform/forms/Controls.h"

namespace chart_test {

class WithChartUnits : public chart_support::WithChartEngine {
protected:
  // A chart in a shown form, painted once.
  TChart *ShownChart(int width = 400, int height = 300) { return chart_support::ShownInForm<TChart>(width, height); }
  static void Settle() { chart_support::Settle(); }
};

// A square of 2 * Half + 1 pixels at each point, in the series colour; the
// point under a pixel is the one whose square holds it.
class TDotSeries : public TChartSeries {
public:
  static constexpr int Half = 3;
  std::string_view ClassName() const override { return "TDotSeries"; }
  int PixelX(int i) const { return GetHorizAxis()->CalcXPosValue(XValueAt(i)); }
  int PixelY(int i) const { return GetVertAxis()->CalcYPosValue(YValueAt(i)); }
  void DrawPoint(int index) override {
    TUloCanvas3D &canvas = ParentChart()->Canvas();
    canvas.Pen().SetStyle(TPenStyle::psClear);
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.Brush().SetColor(PointColor(index));
    const int x = PixelX(index), y = PixelY(index);
    canvas.Rectangle(x - Half, y - Half, x + Half + 2, y + Half + 2);
  }
  int PointAtPixel(int x, int y) override {
    for (int i = PointCount() - 1; i >= 0; --i)
      if (std::abs(PixelX(i) - x) <= Half && std::abs(PixelY(i) - y) <= Half) return i;
    return -1;
  }
};

// A series of the chart with points (0, 0) .. (10, 10) on a line.
inline TDotSeries *AddLineOfDots(TCustomChart &chart, int count = 11, TColor color = clDefault) {
  auto *s = chart.AddSeries(std::make_unique<TDotSeries>());
  for (int i = 0; i < count; ++i)
    s->AddPointXY(i, i);
  if (color != clDefault) s->SetSeriesColor(color);
  return s;
}

// Shown 400 x 300 charts in 2D with dots (0, 0) .. (10, 10), and what their
// windows show.
class WithDotsCharts : public WithChartUnits {
protected:
  TChart *DotsChart(TDotSeries **series = nullptr) {
    TChart *chart = ShownChart();
    chart->SetView3D(false);
    TDotSeries *s = AddLineOfDots(*chart);
    if (series) *series = s;
    Paint(*chart);
    return chart;
  }
  // Lets the window paint whatever is pending.
  static void Paint(TChart &chart) {
    chart.Repaint();
    Settle();
  }
  // What the window shows now.
  static QImage Screen(TChart &chart) {
    Settle();
    return chart.Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
};

// Draws the chart into a bitmap of its size (the layout of the last paint
// is what hit tests read).
inline void DrawInto(TCustomChart &chart, gdi::Bitmap &target) {
  chart.Draw(&target.DC(), TRect{0, 0, target.Width(), target.Height()});
}

// ---- real mouse input on the chart's window ---------------------------------------

inline QWidget *W(TCustomChart &chart) { return chart.Widget(); }

inline void Press(TCustomChart &chart, Qt::MouseButton b, int x, int y, Qt::KeyboardModifiers mods = {}) {
  QTest::mousePress(W(chart), b, mods, QPoint(x, y));
}
inline void Release(TCustomChart &chart, Qt::MouseButton b, int x, int y, Qt::KeyboardModifiers mods = {}) {
  QTest::mouseRelease(W(chart), b, mods, QPoint(x, y));
}
inline void MoveTo(TCustomChart &chart, int x, int y, Qt::MouseButtons held) {
  QMouseEvent e(QEvent::MouseMove, QPointF(x, y), W(chart)->mapToGlobal(QPointF(x, y)), Qt::NoButton, held,
                Qt::NoModifier);
  QApplication::sendEvent(W(chart), &e);
}
// Press, move in steps, release.
inline void Drag(TCustomChart &chart, Qt::MouseButton b, int x0, int y0, int x1, int y1) {
  Press(chart, b, x0, y0);
  for (int k = 1; k <= 4; ++k)
    MoveTo(chart, x0 + (x1 - x0) * k / 4, y0 + (y1 - y0) * k / 4, b);
  Release(chart, b, x1, y1);
}
// One wheel event of Delta units (120 a notch; positive away from the user).
inline void Wheel(TCustomChart &chart, int x, int y, int delta) {
  QWheelEvent e(QPointF(x, y), W(chart)->mapToGlobal(QPointF(x, y)), QPoint(), QPoint(0, delta), Qt::NoButton,
                Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(W(chart), &e);
}

// ---- reading a shown chart ---------------------------------------------------------

// Pixels of a value on the bottom and left axes.
inline int PX(TCustomChart &chart, double v) { return chart.BottomAxis()->CalcXPosValue(v); }
inline int PY(TCustomChart &chart, double v) { return chart.LeftAxis()->CalcYPosValue(v); }
// Every pixel of the window's kept image, row by row.
inline std::vector<TColor> Surface(TCustomChart &chart) { return chart_support::Pixels(chart.WindowSurface()); }

} // namespace chart_test
