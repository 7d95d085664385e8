// Scaffolding of the axis tool tests: the units started once per binary, a
// shown 2D chart of dots (0, 0) .. (10, 10), and the window's pixels.
#pragma once

#include <gtest/gtest.h>

#include <QImage>

#include "chart/engine/chart_support.h"
#include "chart/tools/UloAxisTools.h"
#include "platform/forms/Cursors.h"

namespace axistools_test {

using chart_test::Drag;
using chart_test::MoveTo;
using chart_test::Press;
using chart_test::Release;
using chart_test::TDotSeries;

class WithAxisTools : public chart_test::WithDotsCharts {
protected:
  static void SetUpTestSuite() {
    chart_test::WithDotsCharts::SetUpTestSuite();
    StartAxisToolsUnit();
  }
  static void TearDownTestSuite() {
    StopAxisToolsUnit();
    chart_test::WithDotsCharts::TearDownTestSuite();
  }

  // The window's pixel as a blue-green-red colour.
  static TColor Pixel(const QImage &image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return RGBColor(qRed(p), qGreen(p), qBlue(p));
  }
};

} // namespace axistools_test
