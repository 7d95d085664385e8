// Lines drawn, selected, dragged and deleted with real mouse input on a
// shown chart.
#include "tools_support.h"

#include "chart/engine/UloAxis.h"
#include "platform/streaming/Streaming.h"

#include <memory>
#include <string>
#include <vector>

namespace {

using chart_test::Drag;
using chart_test::MoveTo;
using chart_test::Press;
using chart_test::Release;

class DrawLines : public tools_test::WithTools {
protected:
  TDrawLineTool *AddTool(TChart &chart) {
    auto *tool = chart.Tools().Add(std::make_unique<TDrawLineTool>());
    tool->OnNewLine = [this](TDrawLineTool *) { log.push_back("new"); };
    tool->OnSelect = [this](TDrawLineTool *) { log.push_back("select"); };
    tool->OnDraggedLine = [this](TDrawLineTool *) { log.push_back("dragged"); };
    tool->OnDragLine = [this](TDrawLineTool *) { ++drags; };
    return tool;
  }
  // A line of the tool from (X0, Y0) to (X1, Y1) in axis values.
  static TDrawLine &AddLine(TDrawLineTool &tool, double x0, double y0, double x1, double y1,
                            TDrawLineStyle style = TDrawLineStyle::dlLine) {
    TDrawLine &line = tool.Lines().Add();
    line.SetStartPos({x0, y0});
    line.SetEndPos({x1, y1});
    line.SetStyle(style);
    return line;
  }
  std::vector<std::string> log;
  int drags = 0;
};

TEST_F(DrawLines, ADragDrawsASelectedLineAndDoesNotZoom) {
  TChart *chart = DotsChart();
  TDrawLineTool *tool = AddTool(*chart);
  const double minX = chart->BottomAxis()->Minimum(), maxX = chart->BottomAxis()->Maximum();
  Drag(*chart, Qt::LeftButton, 100, 80, 220, 160);
  ASSERT_EQ(tool->Lines().Count(), 1);
  const TDrawLine &line = tool->Lines()[0];
  EXPECT_EQ(tool->Selected(), &line);
  EXPECT_EQ(tool->ValueToScreen(line.StartPos()), (TPoint{100, 80}));
  EXPECT_EQ(tool->ValueToScreen(line.EndPos()), (TPoint{220, 160}));
  EXPECT_EQ(log, (std::vector<std::string>{"new"}));
  EXPECT_EQ(drags, 4);
  // The press went to the tool: no zoom rectangle, no zoom.
  EXPECT_EQ(chart->BottomAxis()->Minimum(), minX);
  EXPECT_EQ(chart->BottomAxis()->Maximum(), maxX);
  Keep(*chart, "drawline");
  // The drawn line and its handles are on the screen: the handle square
  // around the start is black (the chart colour is not 0).
  EXPECT_EQ(Pixel(*chart, 100 - 2, 80 - 2), 0u);
  EXPECT_EQ(Pixel(*chart, 100 + 2, 80 + 2), 0u);
  // Another button draws nothing.
  Drag(*chart, Qt::RightButton, 100, 200, 220, 250);
  EXPECT_EQ(tool->Lines().Count(), 1);
}

TEST_F(DrawLines, TheRubberLineIsDrawnAndErasedByExclusiveOr) {
  TChart *chart = DotsChart();
  TDrawLineTool *tool = AddTool(*chart);
  const QImage before = Screen(*chart);
  // A click without movement leaves no line and no pixel.
  Press(*chart, Qt::LeftButton, 150, 120);
  Release(*chart, Qt::LeftButton, 150, 120);
  EXPECT_EQ(tool->Lines().Count(), 0);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(Screen(*chart), before);
  Press(*chart, Qt::LeftButton, 60, 60);
  MoveTo(*chart, 300, 200, Qt::LeftButton);
  const QImage during = Screen(*chart);
  Keep(*chart, "rubber");
  EXPECT_NE(during, before);
  // The rubber line inverts what it covers.
  const int x = 180, y = 130;
  EXPECT_EQ(during.pixel(x, y) & 0xFFFFFF, ~before.pixel(x, y) & 0xFFFFFF);
  // Drawing it again takes it off, to the pixel.
  tool->DrawRubberLine();
  EXPECT_EQ(Screen(*chart), before);
  tool->DrawRubberLine();
  Release(*chart, Qt::LeftButton, 300, 200);
  EXPECT_EQ(tool->Lines().Count(), 1);
}

TEST_F(DrawLines, DraggingMovesTheWholeLineOrOneEnd) {
  TChart *chart = DotsChart();
  TDrawLineTool *tool = AddTool(*chart);
  TDrawLine &line = AddLine(*tool, 2, 2, 8, 6);
  Paint(*chart);
  const TPoint p0 = tool->ValueToScreen(line.StartPos());
  const TPoint p1 = tool->ValueToScreen(line.EndPos());
  const TPoint mid{(p0.X + p1.X) / 2, (p0.Y + p1.Y) / 2};
  // The first press selects it; the drag moves both ends by the mouse.
  Drag(*chart, Qt::LeftButton, mid.X, mid.Y, mid.X + 40, mid.Y - 20);
  EXPECT_EQ(tool->Selected(), &line);
  EXPECT_EQ(log, (std::vector<std::string>{"select", "dragged"}));
  EXPECT_EQ(line.StartPos(), tool->ScreenToValue({p0.X + 40, p0.Y - 20}));
  EXPECT_EQ(line.EndPos(), tool->ScreenToValue({p1.X + 40, p1.Y - 20}));
  Paint(*chart);
  // On the selected line, the end handle puts the end where the mouse is.
  const TDrawLinePoint start = line.StartPos();
  const TPoint e = tool->ValueToScreen(line.EndPos());
  Drag(*chart, Qt::LeftButton, e.X + 2, e.Y - 2, e.X + 32, e.Y + 28);
  EXPECT_EQ(line.StartPos(), start);
  EXPECT_EQ(line.EndPos(), tool->ScreenToValue({e.X + 32, e.Y + 28}));
  // A click on it without moving changes nothing, not even by rounding.
  const TDrawLinePoint end = line.EndPos();
  const TPoint m = tool->ValueToScreen({(start.X + end.X) / 2, (start.Y + end.Y) / 2});
  Press(*chart, Qt::LeftButton, m.X, m.Y);
  Release(*chart, Qt::LeftButton, m.X, m.Y);
  EXPECT_EQ(line.StartPos(), start);
  EXPECT_EQ(line.EndPos(), end);
}

TEST_F(DrawLines, ARefusedSelectionKeepsTheOldOneAndMovesNothing) {
  TChart *chart = DotsChart();
  TDrawLineTool *tool = AddTool(*chart);
  TDrawLine &first = AddLine(*tool, 1, 1, 3, 3);
  TDrawLine &second = AddLine(*tool, 6, 2, 9, 2);
  tool->SetSelected(&first);
  Paint(*chart);
  int asked = 0;
  tool->OnSelecting = [&](TDrawLineTool *, TDrawLine *line, bool &allow) {
    ++asked;
    EXPECT_EQ(line, &second);
    allow = false;
  };
  const TPoint a = tool->ValueToScreen({7.5, 2});
  Drag(*chart, Qt::LeftButton, a.X, a.Y, a.X + 30, a.Y - 30);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(tool->Selected(), &first);
  EXPECT_EQ(first.EndPos(), (TDrawLinePoint{3, 3}));
  EXPECT_EQ(second.StartPos(), (TDrawLinePoint{6, 2}));
  EXPECT_TRUE(log.empty());
  // No new line came from the refused press either.
  EXPECT_EQ(tool->Lines().Count(), 2);
}

TEST_F(DrawLines, HitTestsByStyle) {
  TChart *chart = DotsChart();
  TDrawLineTool *tool = AddTool(*chart);
  struct Case {
    TDrawLineStyle style;
    TDrawLinePoint on, off;
  };
  const Case cases[] = {
      {TDrawLineStyle::dlLine, {5, 5}, {5, 7}},         {TDrawLineStyle::dlHorizParallel, {5, 8}, {5, 5}},
      {TDrawLineStyle::dlVertParallel, {8, 5}, {5, 5}}, {TDrawLineStyle::dlRectangle, {5, 5}, {9, 9}},
      {TDrawLineStyle::dlEllipse, {3, 3}, {1, 9}},
  };
  for (const auto &c : cases) {
    tool->Lines().Clear();
    TDrawLine &line = AddLine(*tool, 2, 2, 8, 8, c.style);
    const TPoint on = tool->ValueToScreen(c.on), off = tool->ValueToScreen(c.off);
    EXPECT_EQ(tool->LineAtPoint(on.X, on.Y), &line) << static_cast<int>(c.style);
    EXPECT_EQ(tool->LineAtPoint(off.X, off.Y), nullptr) << static_cast<int>(c.style);
  }
  // The default tolerance takes one pixel beside a line, not two.
  tool->Lines().Clear();
  AddLine(*tool, 0, 5, 10, 5);
  const TPoint p = tool->ValueToScreen({5, 5});
  EXPECT_NE(tool->LineAtPoint(p.X, p.Y + 1), nullptr);
  EXPECT_EQ(tool->LineAtPoint(p.X, p.Y + 2), nullptr);
}

TEST_F(DrawLines, DeletingTheSelectedLineClearsTheSelection) {
  TChart *chart = DotsChart();
  TDrawLineTool *tool = AddTool(*chart);
  AddLine(*tool, 1, 1, 3, 3);
  TDrawLine &second = AddLine(*tool, 6, 2, 9, 2);
  tool->SetSelected(&second);
  Paint(*chart);
  const QImage with = Screen(*chart);
  tool->Lines().Delete(1);
  EXPECT_EQ(tool->Selected(), nullptr);
  EXPECT_NE(Screen(*chart), with);
  // The press on the empty place starts a line, not a drag of a freed one.
  const TPoint p = tool->ValueToScreen({7.5, 2});
  Drag(*chart, Qt::LeftButton, p.X, p.Y, p.X + 20, p.Y + 20);
  EXPECT_EQ(tool->Lines().Count(), 2);
}

TEST_F(DrawLines, StoredAndReadBack) {
  TDrawLineTool tool;
  tool.SetName("DrawLine1");
  TDrawLine &a = tool.Lines().Add();
  a.SetStartPos({1.5, 2});
  a.SetEndPos({3, -4.25});
  TDrawLine &b = tool.Lines().Add();
  b.Pen().SetColor(0x0000FF);
  const std::string text = streaming::WriteComponent(tool);
  TDrawLineTool back;
  streaming::ReadComponent(text, back);
  ASSERT_EQ(back.Lines().Count(), 2);
  EXPECT_EQ(back.Lines()[0].EndPos(), (TDrawLinePoint{3, -4.25}));
  // A line's own pen is made only where it was stored.
  EXPECT_EQ(back.Lines()[0].ExistingPen(), nullptr);
  EXPECT_NE(back.Lines()[1].ExistingPen(), nullptr);
  EXPECT_EQ(streaming::WriteComponent(back), text);
}

} // namespace
