// Clicks on line and point series: markers hit strictly inside their half
// sizes, segments answer the point before them, and OnClickPointer fires
// for a mouse-down click only, never from a hover test.
#include "series2d_support.h"

#include <string>
#include <vector>

namespace {

using s2d_test::TTestChart;

class LineClick : public s2d_test::WithChartUnits {
protected:
  TTestChart c{200, 200};
  void SetUp() override { c.FixAxes(0, 10); }
};

TEST_F(LineClick, MarkerHitsAreStrict) {
  auto *s = new TPointSeries;
  c->AddSeries(std::unique_ptr<TChartSeries>(s));
  s->AddPointXY(2, 2);
  s->AddPointXY(5, 8);
  s->AddPointXY(8, 4);
  c.Paint();
  const int x = c.X(5), y = c.Y(8);
  const int h = s->Pointer().HorizSize(), v = s->Pointer().VertSize();
  struct Row {
    int dx, dy, answer;
  };
  const Row rows[] = {{0, 0, 1}, {h - 1, 0, 1}, {0, 1 - v, 1}, {h - 1, v - 1, 1}, {h, 0, -1}, {0, v, -1}};
  for (const Row &r : rows)
    EXPECT_EQ(s->ClickedPointAtPixel(x + r.dx, y + r.dy), r.answer) << r.dx << "," << r.dy;
}

TEST_F(LineClick, OnClickPointerFiresOnMouseDownOnly) {
  auto *s = new TPointSeries;
  c->AddSeries(std::unique_ptr<TChartSeries>(s));
  s->AddPointXY(5, 5);
  std::vector<int> fired;
  s->OnClickPointer = [&](TCustomSeries *sender, int index, int x, int y) {
    EXPECT_EQ(sender, s);
    fired.push_back(index);
    EXPECT_EQ(x, c.X(5) + 1);
    EXPECT_EQ(y, c.Y(5));
  };
  // Hovering (with a cursor, the chart tests the series on every move).
  s->SetCursor(-21);
  c.Paint();
  EXPECT_EQ(s->PointAtPixel(c.X(5) + 1, c.Y(5)), 0);
  c->MouseMove(forms::TShiftState{}, c.X(5) + 1, c.Y(5));
  EXPECT_TRUE(fired.empty());
  c->MouseDown(forms::TMouseButton::mbLeft, forms::TShiftState{}, c.X(5) + 1, c.Y(5));
  c->MouseUp(forms::TMouseButton::mbLeft, forms::TShiftState{}, c.X(5) + 1, c.Y(5));
  EXPECT_EQ(fired, (std::vector<int>{0}));
}

TEST_F(LineClick, SegmentsAnswerThePointBefore) {
  auto *s = new TLineSeries;
  c->AddSeries(std::unique_ptr<TChartSeries>(s));
  for (int i = 0; i <= 5; ++i)
    s->AddPointXY(i * 2, i % 2 ? 8 : 2);
  c.Paint();
  EXPECT_EQ(s->PointAtPixel(c.X(8), c.Y(2)), 4);
  EXPECT_EQ(s->PointAtPixel((c.X(6) + c.X(8)) / 2, (c.Y(8) + c.Y(2)) / 2), 3);
  s->SetClickableLine(false);
  EXPECT_EQ(s->PointAtPixel((c.X(6) + c.X(8)) / 2, (c.Y(8) + c.Y(2)) / 2), -1);
  s->SetClickableLine(true);
  // Stairs: the corner of the step from point 1 to point 2 belongs to 1.
  s->SetStairs(true);
  EXPECT_EQ(s->PointAtPixel(c.X(4), c.Y(8)), 1);
  // With an area, below the line down to the origin.
  s->SetStairs(false);
  s->SetDrawArea(true);
  EXPECT_EQ(s->PointAtPixel(c.X(7), c.Y(1)), 3);
}

TEST_F(LineClick, OneBeforeTheVisibleRangeCounts) {
  auto *s = new TLineSeries;
  c->AddSeries(std::unique_ptr<TChartSeries>(s));
  for (int i = 0; i <= 10; ++i)
    s->AddPointXY(i, 5);
  c->BottomAxis()->SetMinMax(3.5, 10);
  c.Paint();
  ASSERT_EQ(s->FirstValueIndex(), 4);
  // On the segment from point 3 (outside) to point 4.
  EXPECT_EQ(s->PointAtPixel(c.X(3.75), c.Y(5)), 3);
}

TEST_F(LineClick, GalleryEntriesAndPointSubStyles) {
  auto *s = new TPointSeries;
  c->AddSeries(std::unique_ptr<TChartSeries>(s));
  std::vector<std::string> names;
  s->ListSubStyles([&](const std::string &n) { names.push_back(n); });
  EXPECT_EQ(names,
            (std::vector<std::string>{"Normal", "Colors", "Marks", "Hollow", "No Border", "Gradient", "Point 2D",
                                      "Triangle", "Star", "Circle", "Down Tri.", "Cross", "Diamond", "Hexagon"}));
  s->ApplySubStyle(9);
  EXPECT_EQ(s->Pointer().Style(), TSeriesPointerStyle::psCircle);
  EXPECT_EQ(s->Pointer().HorizSize(), 8);
  s->ApplySubStyle(3);
  EXPECT_EQ(s->Pointer().Brush().Style(), TBrushStyle::bsClear);
  EXPECT_EQ(s->GetEditor(), "TSeriesPointerEditor");
  TLineSeries line;
  EXPECT_EQ(line.GetEditor(), "TCustomSeriesEditor");
  // The classes are registered for stored definitions by the unit's start.
  for (const char *name : {"TLineSeries", "TAreaSeries", "TPointSeries", "TFastLineSeries"})
    EXPECT_TRUE(streaming::ClassRegistry().IsRegistered(name)) << name;
}

} // namespace
