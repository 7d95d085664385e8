// Colour lines, colour bands and grid bands: where they are drawn, lines
// dragged within and beyond the axis range by real mouse events, band
// edges resized, and the stored form of the five axis tools.
#include "chart/tools/axistools_kit.h"

#include "platform/streaming/Streaming.h"

namespace {

using namespace axistools_test;

class ColorLine : public WithAxisTools {
protected:
  TColorLineTool *LineOn(TChart &chart, TChartAxis *axis, double value) {
    auto *tool = chart.Tools().Add(std::make_unique<TColorLineTool>());
    tool->SetAxis(axis);
    tool->SetValue(value);
    tool->Pen().SetColor(clRed);
    Paint(chart);
    return tool;
  }
};

TEST_F(ColorLine, IsDrawnAcrossTheChartAtItsValue) {
  TChart *chart = DotsChart();
  TColorLineTool *line = LineOn(*chart, chart->BottomAxis(), 3);
  const int x = chart->BottomAxis()->CalcXPosValue(3);
  const int mid = (chart->ChartRect.Top + chart->ChartRect.Bottom) / 2;
  const QImage shown = Screen(*chart);
  EXPECT_EQ(Pixel(shown, x, chart->ChartRect.Top + 1), clRed);
  EXPECT_EQ(Pixel(shown, x, mid), clRed);
  EXPECT_NE(Pixel(shown, x + 2, mid), clRed);
  // Painting a zoomed chart draws the line at the nearest end of the range
  // and keeps the stored value.
  line->SetAxis(chart->LeftAxis());
  line->SetValue(19);
  chart->LeftAxis()->SetMinMax(0, 5);
  Paint(*chart);
  EXPECT_EQ(line->Value(), 19);
  EXPECT_EQ(Pixel(Screen(*chart), (chart->ChartRect.Left + chart->ChartRect.Right) / 2, chart->LeftAxis()->IStartPos),
            clRed);
}

TEST_F(ColorLine, DraggingMovesTheLineWithinTheRangeOrBeyondIt) {
  struct Case {
    const char *name;
    bool noLimit, dragRepaint;
    int targetX; // relative to the right end of the axis
    bool beyond;
  };
  const Case cases[] = {
      {"within the range", false, false, -100, false},
      {"beyond the range stops at its end", false, false, 30, true},
      {"beyond without a limit", true, false, 30, true},
      {"repainting each step", false, true, -100, false},
  };
  for (const Case &c : cases) {
    TChart *chart = DotsChart();
    TChartAxis *bottom = chart->BottomAxis();
    TColorLineTool *line = LineOn(*chart, bottom, 3);
    line->SetStyle(TColorLineStyle::clMaximum);
    line->SetNoLimitDrag(c.noLimit);
    line->SetDragRepaint(c.dragRepaint);
    Paint(*chart);
    std::string events;
    line->OnBeginDragLine = [&events](TColorLineTool *) { events += "b"; };
    line->OnDragLine = [&events](TColorLineTool *) { events += "d"; };
    line->OnEndDragLine = [&events](TColorLineTool *) { events += "e"; };
    const int x0 = bottom->CalcXPosValue(bottom->Maximum());
    const int y = (chart->ChartRect.Top + chart->ChartRect.Bottom) / 2;
    const int x1 = bottom->IEndPos + c.targetX;
    const double at = bottom->CalcPosPoint(x1);
    Press(*chart, Qt::LeftButton, x0 - 2, y);
    EXPECT_TRUE(line->Dragging()) << c.name;
    EXPECT_FALSE(chart->Zoom().Active) << c.name;
    MoveTo(*chart, x1, y, Qt::LeftButton);
    if (!c.beyond) {
      // Mid-drag the window already shows the line in its new place (in
      // not-xor over the background unless the chart repaints each step),
      // and no more in its old one.
      const QImage during = Screen(*chart);
      const TColor back = Pixel(during, x1 + 6, y - 20);
      EXPECT_EQ(Pixel(during, x1, y - 20), c.dragRepaint ? clRed : TColor(~(clRed ^ back) & 0xFFFFFF)) << c.name;
      EXPECT_NE(Pixel(during, x0, y - 20), clRed) << c.name;
    }
    Release(*chart, Qt::LeftButton, x1, y);
    EXPECT_FALSE(line->Dragging()) << c.name;
    const double expected = c.beyond && !c.noLimit ? bottom->CalcPosPoint(bottom->IEndPos) : at;
    EXPECT_NEAR(line->EffectiveValue(), expected, 1e-9) << c.name;
    // Held at the maximum it stood at, the line never moved: it keeps its
    // style; any move makes it a custom value.
    if (!(c.beyond && !c.noLimit)) {
      EXPECT_EQ(line->Style(), TColorLineStyle::clCustom) << c.name;
      EXPECT_NEAR(line->Value(), expected, 1e-9) << c.name;
    }
    EXPECT_EQ(events, "bde") << c.name;
    // After the drop the chart shows the line in its place, once.
    Paint(*chart);
    if (!c.beyond) {
      const QImage shown = Screen(*chart);
      EXPECT_EQ(Pixel(shown, x1, y), clRed) << c.name;
      EXPECT_NE(Pixel(shown, x0, y), clRed) << c.name;
    }
  }
}

TEST_F(ColorLine, HoverShowsTheSplitCursorAndOnlyTheLeftButtonDrags) {
  TChart *chart = DotsChart();
  TColorLineTool *line = LineOn(*chart, chart->BottomAxis(), 5);
  const int x = chart->BottomAxis()->CalcXPosValue(5);
  const int y = (chart->ChartRect.Top + chart->ChartRect.Bottom) / 2;
  MoveTo(*chart, x + 2, y, Qt::NoButton);
  EXPECT_EQ(chart->Cursor(), forms::kCursorHSplit);
  EXPECT_FALSE(line->NearLine(x + 3, y));
  Press(*chart, Qt::RightButton, x, y);
  EXPECT_FALSE(line->Dragging());
  Release(*chart, Qt::RightButton, x, y);
}

// ---- colour band

class ColorBand : public WithAxisTools {};

TEST_F(ColorBand, FillsTheSpanBetweenItsValues) {
  struct Case {
    const char *name;
    double start, end;
    bool drawn;
  };
  const Case cases[] = {
      {"inside the range", 2, 4, true},
      {"values reversed", 4, 2, true},
      {"equal values", 3, 3, false},
      {"wholly beyond the range", 20, 30, false},
  };
  for (const Case &c : cases) {
    TChart *chart = DotsChart();
    auto *band = chart->Tools().Add(std::make_unique<TColorBandTool>());
    band->SetAxis(chart->BottomAxis());
    band->SetColor(clBlue);
    band->Pen().SetVisible(false);
    band->SetStartValue(c.start);
    band->SetEndValue(c.end);
    Paint(*chart);
    TChartAxis *bottom = chart->BottomAxis();
    const int y = chart->ChartRect.Top + 20; // away from the dots
    const QImage shown = Screen(*chart);
    EXPECT_EQ(Pixel(shown, bottom->CalcXPosValue(3), y) == clBlue, c.drawn) << c.name;
    EXPECT_NE(Pixel(shown, bottom->CalcXPosValue(5), y), clBlue) << c.name;
    // Drawing never makes a picture.
    EXPECT_EQ(band->ExistingPicture(), nullptr) << c.name;
  }
}

TEST_F(ColorBand, TheStageFollowsDrawBehind) {
  TChart *chart = DotsChart();
  auto *band = chart->Tools().Add(std::make_unique<TColorBandTool>());
  band->SetAxis(chart->BottomAxis());
  // The band is drawn at one stage only; which one is seen in the pixels
  // it leaves when the dots are drawn over it or not.
  band->SetStartValue(4.5);
  band->SetEndValue(5.5);
  band->SetColor(clBlue);
  TChartAxis *bottom = chart->BottomAxis();
  struct Case {
    bool behind, behindAxes;
    bool dotOnTop;
  };
  const Case cases[] = {{true, false, true}, {false, false, false}};
  for (const Case &c : cases) {
    band->SetDrawBehind(c.behind);
    band->SetDrawBehindAxes(c.behindAxes);
    Paint(*chart);
    const QImage shown = Screen(*chart);
    const TColor dot = Pixel(shown, bottom->CalcXPosValue(5), chart->LeftAxis()->CalcYPosValue(5));
    EXPECT_EQ(dot != clBlue, c.dotOnTop) << c.behind << c.behindAxes;
  }
}

TEST_F(ColorBand, DraggingAnEdgeResizesTheBand) {
  TChart *chart = DotsChart();
  auto *band = chart->Tools().Add(std::make_unique<TColorBandTool>());
  band->SetAxis(chart->BottomAxis());
  band->SetStartValue(2);
  band->SetEndValue(6);
  band->SetResizeStart(true);
  int resized = 0;
  band->OnResized = [&resized](TColorBandTool *) { ++resized; };
  Paint(*chart);
  TChartAxis *bottom = chart->BottomAxis();
  const int y = chart->ChartRect.Top + 20;
  const int x0 = bottom->CalcXPosValue(2);
  const int x1 = bottom->CalcXPosValue(4);
  Press(*chart, Qt::LeftButton, x0, y);
  EXPECT_FALSE(chart->Zoom().Active);
  MoveTo(*chart, x1, y, Qt::LeftButton);
  // Each step takes the value at once.
  EXPECT_NEAR(band->StartValue(), bottom->CalcPosPoint(x1), 1e-9);
  Release(*chart, Qt::LeftButton, x1, y);
  EXPECT_EQ(resized, 1);
  // The end edge is not resizable.
  const int x2 = bottom->CalcXPosValue(6);
  Drag(*chart, Qt::LeftButton, x2, y, x2 + 20, y);
  EXPECT_EQ(band->EndValue(), 6);
}

TEST_F(ColorBand, AClickInsideTheBandIsReported) {
  TChart *chart = DotsChart();
  auto *band = chart->Tools().Add(std::make_unique<TColorBandTool>());
  band->SetAxis(chart->LeftAxis());
  band->SetStartValue(7);
  band->SetEndValue(9);
  band->SetCursor(forms::kCursorCross);
  int clicks = 0;
  band->OnClick = [&clicks](TColorBandTool *, forms::TMouseButton, forms::TShiftState, int, int) { ++clicks; };
  Paint(*chart);
  const int y = chart->LeftAxis()->CalcYPosValue(8);
  const int x = chart->ChartRect.Right - 20;
  Press(*chart, Qt::LeftButton, x, y);
  Release(*chart, Qt::LeftButton, x, y);
  EXPECT_EQ(clicks, 1);
  const int outside = chart->LeftAxis()->CalcYPosValue(3);
  Press(*chart, Qt::LeftButton, x, outside);
  Release(*chart, Qt::LeftButton, x, outside);
  EXPECT_EQ(clicks, 1);
  // With neither zoom nor panning the chart's hover test leaves the band's
  // cursor.
  chart->Zoom().SetAllow(false);
  chart->SetAllowPanning(TPanningMode::pmNone);
  MoveTo(*chart, x, y, Qt::NoButton);
  EXPECT_EQ(chart->Cursor(), forms::kCursorCross);
}

// ---- grid bands

class GridBand : public WithAxisTools {};

TEST_F(GridBand, FillsAlternateSpacesBetweenGridLines) {
  TChart *chart = DotsChart();
  auto *tool = chart->Tools().Add(std::make_unique<TGridBandTool>());
  tool->Band1().SetColor(clRed);
  tool->Band2().SetColor(clBlue);
  tool->SetAxis(chart->BottomAxis());
  Paint(*chart);
  TChartAxis *bottom = chart->BottomAxis();
  std::vector<int> grid(bottom->TickPositions().begin(), bottom->TickPositions().end());
  std::sort(grid.begin(), grid.end());
  grid.erase(std::remove_if(grid.begin(), grid.end(),
                            [bottom](int p) { return p <= bottom->IStartPos || p >= bottom->IEndPos; }),
             grid.end());
  ASSERT_GE(grid.size(), 3u);
  const QImage shown = Screen(*chart);
  const int y = chart->ChartRect.Top + 10;
  // Band1 from the axis start to the first line, then alternating.
  EXPECT_EQ(Pixel(shown, (bottom->IStartPos + grid[0]) / 2, y), clRed);
  EXPECT_EQ(Pixel(shown, (grid[0] + grid[1]) / 2, y), clBlue);
  EXPECT_EQ(Pixel(shown, (grid[1] + grid[2]) / 2, y), clRed);
  // A clear brush leaves its spaces alone but still takes its turn.
  tool->Band2().SetStyle(TBrushStyle::bsClear);
  Paint(*chart);
  const QImage again = Screen(*chart);
  EXPECT_NE(Pixel(again, (grid[0] + grid[1]) / 2, y), clBlue);
  EXPECT_EQ(Pixel(again, (grid[1] + grid[2]) / 2, y), clRed);
}

TEST_F(GridBand, NoGridNoBandsAndTheCallbackFollowsTheTool) {
  TChart *chart = DotsChart();
  TChartAxis *bottom = chart->BottomAxis();
  TChartAxis *left = chart->LeftAxis();
  {
    auto tool = std::make_unique<TGridBandTool>();
    tool->Band1().SetColor(clRed);
    tool->SetAxis(bottom);
    tool->SetAxis(left);
    EXPECT_FALSE(static_cast<bool>(bottom->GridBandCallback));
    left->Grid().SetVisible(false);
    Paint(*chart);
    EXPECT_NE(Pixel(Screen(*chart), chart->ChartRect.Left + 10, chart->ChartRect.Top + 10), clRed);
    tool->SetParentChart(nullptr);
  }
  EXPECT_FALSE(static_cast<bool>(left->GridBandCallback));
  // A custom axis that goes takes the tool's hold on it along.
  TChartAxis *custom = chart->CustomAxes().Add();
  auto *kept = chart->Tools().Add(std::make_unique<TGridBandTool>());
  kept->SetAxis(custom);
  chart->CustomAxes().Delete(0);
  EXPECT_EQ(kept->Axis(), nullptr);
}

// ---- stored form

class StoredAxisTools : public WithAxisTools {};

TEST_F(StoredAxisTools, EachToolReadsBackWhatItWrote) {
  TChart *chart = DotsChart();
  auto *arrows = chart->Tools().Add(std::make_unique<TAxisArrowTool>());
  arrows->SetName("Arrows");
  arrows->SetAxis(chart->LeftAxis());
  auto *scroll = chart->Tools().Add(std::make_unique<TAxisScrollTool>());
  scroll->SetName("Scroll");
  scroll->SetScrollInverted(true);
  auto *line = chart->Tools().Add(std::make_unique<TColorLineTool>());
  line->SetName("Line");
  line->SetAxis(chart->BottomAxis());
  line->SetValue(2.5);
  auto *band = chart->Tools().Add(std::make_unique<TColorBandTool>());
  band->SetName("Band");
  band->SetAxis(chart->TopAxis());
  band->Gradient().SetVisible(true);
  auto *grid = chart->Tools().Add(std::make_unique<TGridBandTool>());
  grid->SetName("Grid");
  grid->SetAxis(chart->RightAxis());
  chart->SeriesList()[0]->SetName("Dots");
  streaming::ClassRegistry().RegisterClass<TDotSeries>("TDotSeries");
  const std::string text = streaming::WriteComponent(*chart);
  TChart back;
  streaming::ReadComponent(text, back);
  streaming::ClassRegistry().UnregisterClass("TDotSeries");
  ASSERT_EQ(back.Tools().Count(), 5) << text;
  auto *a = dynamic_cast<TAxisArrowTool *>(back.Tools()[0]);
  auto *s = dynamic_cast<TAxisScrollTool *>(back.Tools()[1]);
  auto *l = dynamic_cast<TColorLineTool *>(back.Tools()[2]);
  auto *b = dynamic_cast<TColorBandTool *>(back.Tools()[3]);
  auto *g = dynamic_cast<TGridBandTool *>(back.Tools()[4]);
  ASSERT_TRUE(a && s && l && b && g);
  // Axes are stored by reference and bound again on reading.
  EXPECT_EQ(a->Axis(), back.LeftAxis());
  EXPECT_EQ(b->Axis(), back.TopAxis());
  EXPECT_TRUE(static_cast<bool>(back.RightAxis()->GridBandCallback));
  EXPECT_TRUE(s->ScrollInverted() && l->Value() == 2.5 && b->Gradient().Visible());
  EXPECT_EQ(b->ExistingPicture(), nullptr);
  // The tools write the same again (the window's own keys differ: the
  // copy was never shown).
  const std::string again = streaming::WriteComponent(back);
  EXPECT_EQ(again.substr(again.find("TAxisArrowTool")), text.substr(text.find("TAxisArrowTool")));
}

} // namespace
