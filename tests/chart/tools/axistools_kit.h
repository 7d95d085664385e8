// Scaffolding of the axis tool tests: the units started once per binary, a
// shown 2D chart of dots (0, 0) .. (10, 10), and the window's pixels.
#pragma once

#include <gtest/gtest.h>

#include <QImage>

#include "chart/engine/chart_support.h"
#include "chart/tools/UloAxisTools.h"
#include "platform/forms/Cursors.h"

namespace axistools_test {

using chart_test::TDotSeries;

class WithAxisTools : public chart_test::WithChartUnits {
protected:
  static void SetUpTestSuite() {
    chart_test::WithChartUnits::SetUpTestSuite();
    StartAxisToolsUnit();
  }
  static void TearDownTestSuite() {
    StopAxisToolsUnit();
    chart_test::WithChartUnits::TearDownTestSuite();
  }

  // A shown 400 x 300 chart in 2D with dots (0, 0) .. (10, 10), painted.
  TChart *DotsChart(TDotSeries **series = nullptr) {
    TChart *chart = ShownChart();
    chart->SetView3D(false);
    TDotSeries *s = chart_test::AddLineOfDots(*chart);
    if (series) *series = s;
    Paint(*chart);
    return chart;
  }
  static void Paint(TChart &chart) {
    chart.Repaint();
    Settle();
  }
  static QImage Screen(TChart &chart) {
    Settle();
    return chart.Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  // The window's pixel as a blue-green-red colour.
  static TColor Pixel(const QImage &image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return RGBColor(qRed(p), qGreen(p), qBlue(p));
  }
};

} // namespace axistools_test
