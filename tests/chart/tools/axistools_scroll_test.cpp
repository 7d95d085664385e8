// The axis arrows and the axis scroll tool through real mouse events: the
// arrows' hit boundaries, scrolling by a click, the paired axis, a refused
// scroll, and scrolling an axis by dragging it without zooming.
#include "chart/tools/axistools_kit.h"

namespace {

using namespace axistools_test;

class AxisArrows : public WithAxisTools {};

TAxisArrowTool *ArrowsOn(TChart &chart, TChartAxis *axis) {
  auto *tool = chart.Tools().Add(std::make_unique<TAxisArrowTool>());
  tool->SetAxis(axis);
  return tool;
}

TEST_F(AxisArrows, ArrowAtPointHasExclusiveBounds) {
  TChart *chart = DotsChart();
  TChartAxis *bottom = chart->BottomAxis();
  TAxisArrowTool *tool = ArrowsOn(*chart, bottom);
  const int start = bottom->IStartPos, end = bottom->IEndPos, line = bottom->PosAxis;
  struct Case {
    const char *name;
    TAxisArrowToolPosition position;
    int x, y, expected;
  };
  const Case cases[] = {
      {"at the start itself", TAxisArrowToolPosition::aaBoth, start, line, -1},
      {"Length pixels in", TAxisArrowToolPosition::aaBoth, start + 16, line, -1},
      {"one pixel less", TAxisArrowToolPosition::aaBoth, start + 15, line, 0},
      {"3 pixels off the line", TAxisArrowToolPosition::aaBoth, start + 8, line - 3, -1},
      {"at the end itself", TAxisArrowToolPosition::aaBoth, end, line, -1},
      {"start arrow only", TAxisArrowToolPosition::aaStart, end - 8, line, -1},
      {"end arrow only", TAxisArrowToolPosition::aaEnd, start + 8, line, -1},
  };
  for (const Case &c : cases) {
    tool->SetPosition(c.position);
    EXPECT_EQ(tool->ArrowAtPoint(c.x, c.y), c.expected) << c.name;
  }
  // A vertical axis reads Y along it.
  TChartAxis *l = chart->LeftAxis();
  EXPECT_EQ(ArrowsOn(*chart, l)->ArrowAtPoint(l->PosAxis + 1, l->IEndPos - 8), 1);
}

TEST_F(AxisArrows, AClickOnAnArrowScrollsTheAxisAndStartsNoZoom) {
  struct Case {
    const char *name;
    int scrollPercent;
    bool inverted;
    bool atStart;
    double shift; // of minimum and maximum
    const char *clicks;
  };
  const Case cases[] = {
      {"start arrow", 10, false, true, 1.0, "start"},
      {"end arrow", 10, false, false, -1.0, "end"},
      {"inert arrows", 0, false, true, 0.0, ""},
  };
  for (const Case &c : cases) {
    TChart *chart = DotsChart();
    TChartAxis *bottom = chart->BottomAxis();
    TAxisArrowTool *tool = ArrowsOn(*chart, bottom);
    tool->SetScrollPercent(c.scrollPercent);
    tool->SetScrollInverted(c.inverted);
    std::string clicks;
    tool->OnClick = [&clicks](TAxisArrowTool *, bool atStart) { clicks += atStart ? "start" : "end"; };
    int scrolls = 0;
    chart->OnScroll = [&scrolls] { ++scrolls; };
    Paint(*chart);
    const double min = bottom->Minimum(), max = bottom->Maximum();
    const int x = c.atStart ? bottom->IStartPos + 8 : bottom->IEndPos - 8;
    Press(*chart, Qt::LeftButton, x, bottom->PosAxis);
    EXPECT_FALSE(chart->Zoom().Active && c.scrollPercent != 0) << c.name;
    Release(*chart, Qt::LeftButton, x, bottom->PosAxis);
    EXPECT_DOUBLE_EQ(bottom->Minimum(), min + c.shift) << c.name;
    EXPECT_DOUBLE_EQ(bottom->Maximum(), max + c.shift) << c.name;
    EXPECT_EQ(clicks, c.clicks) << c.name;
    EXPECT_EQ(scrolls, c.scrollPercent != 0 ? 1 : 0) << c.name;
  }
}

TEST_F(AxisArrows, ThePairedAxisFollowsAndARefusedScrollChangesNothing) {
  for (bool both : {false, true}) {
    TDotSeries *series = nullptr;
    TChart *chart = DotsChart(&series);
    if (both) series->SetHorizAxis(THorizAxis::aBothHorizAxis);
    TChartAxis *top = chart->TopAxis();
    top->SetMinMax(0, 10);
    TAxisArrowTool *tool = ArrowsOn(*chart, chart->BottomAxis());
    Paint(*chart);
    tool->ScrollAxis(2);
    EXPECT_DOUBLE_EQ(top->Minimum(), both ? 2 : 0) << both;
  }
  TChart *chart = DotsChart();
  TChartAxis *bottom = chart->BottomAxis();
  TAxisArrowTool *tool = ArrowsOn(*chart, bottom);
  double proposedMin = 0;
  chart->OnAllowScroll = [&proposedMin](TChartAxis *, double &aMin, double &, bool &allow) {
    proposedMin = aMin;
    allow = false;
  };
  const double min = bottom->Minimum();
  tool->ScrollAxis(3);
  EXPECT_DOUBLE_EQ(proposedMin, min + 3);
  EXPECT_DOUBLE_EQ(bottom->Minimum(), min);
}

TEST_F(AxisArrows, TheArrowsAreDrawnAtTheEnds) {
  TChart *chart = DotsChart();
  TChartAxis *bottom = chart->BottomAxis();
  TAxisArrowTool *tool = ArrowsOn(*chart, bottom);
  tool->Brush().SetColor(clRed);
  tool->Pen().SetColor(clRed);
  Paint(*chart);
  const QImage shown = Screen(*chart);
  // The filled head lies on the axis line, a few pixels in from each end.
  EXPECT_EQ(Pixel(shown, bottom->IStartPos + 3, bottom->PosAxis), clRed);
  EXPECT_EQ(Pixel(shown, bottom->IEndPos - 3, bottom->PosAxis), clRed);
  EXPECT_NE(Pixel(shown, (bottom->IStartPos + bottom->IEndPos) / 2, bottom->PosAxis), clRed);
}

// ---- axis scrolling

class AxisScroll : public WithAxisTools {};

TEST_F(AxisScroll, DraggingAnAxisScrollsItAndNeverZooms) {
  struct Case {
    const char *name;
    bool vertical, inverted, scrollInverted, boundToAxis;
    int pixels;      // mouse movement along the axis
    double expected; // the shift of the range, in axis units per pixel moved
  };
  // Horizontal: d = lastX - X; vertical: d = lastY - Y, negated unless
  // ScrollInverted.
  const Case cases[] = {
      {"bottom axis dragged right", false, false, false, true, 40, -1},
      {"bottom axis, scroll inverted", false, false, true, true, 40, 1},
      {"bottom axis inverted", false, true, false, true, 40, 1},
      {"left axis dragged down", true, false, false, true, 40, 1},
      {"any axis under the mouse", false, false, false, false, 40, -1},
  };
  for (const Case &c : cases) {
    TChart *chart = DotsChart();
    TChartAxis *axis = c.vertical ? chart->LeftAxis() : chart->BottomAxis();
    axis->SetInverted(c.inverted);
    auto *tool = chart->Tools().Add(std::make_unique<TAxisScrollTool>());
    if (c.boundToAxis) tool->SetAxis(axis);
    tool->SetScrollInverted(c.scrollInverted);
    Paint(*chart);
    const double min = axis->Minimum(), max = axis->Maximum();
    const double perPixel = (max - min) / axis->IAxisSize;
    // On the labels, halfway along the axis.
    const int mid = (axis->IStartPos + axis->IEndPos) / 2;
    const int across = (axis->PosAxis + axis->PosLabels) / 2;
    const int x0 = c.vertical ? across : mid, y0 = c.vertical ? mid : across;
    Press(*chart, Qt::LeftButton, x0, y0);
    EXPECT_EQ(tool->DraggedAxis(), axis) << c.name;
    EXPECT_FALSE(chart->Zoom().Active) << c.name;
    const int x1 = c.vertical ? x0 : x0 + c.pixels, y1 = c.vertical ? y0 + c.pixels : y0;
    MoveTo(*chart, x1, y1, Qt::LeftButton);
    Release(*chart, Qt::LeftButton, x1, y1);
    EXPECT_NEAR(axis->Minimum(), min + c.expected * c.pixels * perPixel, 1e-9) << c.name;
    EXPECT_NEAR(axis->Maximum(), max + c.expected * c.pixels * perPixel, 1e-9) << c.name;
    // No zoom came of the drag.
    EXPECT_FALSE(chart->Zoomed) << c.name;
  }
}

TEST_F(AxisScroll, APressOffTheAxisIsTheChartsAndHoverShowsTheHand) {
  TChart *chart = DotsChart();
  auto *tool = chart->Tools().Add(std::make_unique<TAxisScrollTool>());
  tool->SetAxis(chart->BottomAxis());
  Paint(*chart);
  TChartAxis *bottom = chart->BottomAxis();
  MoveTo(*chart, 200, (bottom->PosAxis + bottom->PosLabels) / 2, Qt::NoButton);
  EXPECT_EQ(chart->Cursor(), forms::kCursorHandPoint);
  Press(*chart, Qt::LeftButton, 200, 100);
  EXPECT_EQ(tool->DraggedAxis(), nullptr);
  EXPECT_TRUE(chart->Zoom().Active);
  Release(*chart, Qt::LeftButton, 200, 100);
}

TEST_F(AxisScroll, AxesSharingASeriesMoveByTheSamePixels) {
  TDotSeries *series = nullptr;
  TChart *chart = DotsChart(&series);
  series->SetHorizAxis(THorizAxis::aBothHorizAxis);
  TChartAxis *top = chart->TopAxis();
  auto *tool = chart->Tools().Add(std::make_unique<TAxisScrollTool>());
  tool->SetAxis(chart->BottomAxis());
  Paint(*chart);
  top->SetMinMax(0, 100);
  Paint(*chart);
  TChartAxis *bottom = chart->BottomAxis();
  const double topPerPixel = 100.0 / top->IAxisSize;
  const int y = (bottom->PosAxis + bottom->PosLabels) / 2;
  Drag(*chart, Qt::LeftButton, 200, y, 180, y);
  EXPECT_NEAR(top->Minimum(), 20 * topPerPixel, 1e-9);
}

} // namespace
