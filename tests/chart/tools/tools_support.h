// Scaffolding of the tool tests of chart/tools/UloTools: the units started
// once per binary, shown charts with a series of dots, and the chart
// window's pixels.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QKeyEvent>

#include "chart/engine/chart_support.h"
#include "chart/tools/UloTools.h"

namespace tools_test {

using chart_test::TDotSeries;

class WithTools : public chart_test::WithDotsCharts {
protected:
  static void SetUpTestSuite() {
    chart_test::WithDotsCharts::SetUpTestSuite();
    StartUloToolsUnit();
  }
  static void TearDownTestSuite() {
    StopUloToolsUnit();
    chart_test::WithDotsCharts::TearDownTestSuite();
  }

  static QRgb Pixel(TChart &chart, int x, int y) { return Screen(chart).pixel(x, y) & 0xFFFFFF; }
  // Keeps what the window shows as Name.png in the folder KVEL_TOOLS_PNG
  // names, when it names one, to look at.
  static void Keep(TChart &chart, const char *name) {
    if (const char *dir = std::getenv("KVEL_TOOLS_PNG")) Screen(chart).save(QString(dir) + "/" + name + ".png");
  }
};

inline void Key(QWidget *target, Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

} // namespace tools_test
