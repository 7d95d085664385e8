// Clicks on line and point series (markers hit strictly inside their half
// sizes, segments answer the point before them, OnClickPointer fires for a
// mouse-down only), and the point series' fixed settings.
#include "series2d_support.h"

#include <string>
#include <vector>

namespace {

class LineClick : public s2d_test::WithChartUnits {
protected:
  s2d_test::TTestChart c{200, 200};
  void SetUp() override { c.FixAxes(0, 10); }
};

TEST_F(LineClick, MarkerHitsAreStrict) {
  auto *s = c.Add<TPointSeries>();
  s->AddPointXY(2, 2);
  s->AddPointXY(5, 8);
  c.Paint();
  const int x = c.X(5), y = c.Y(8), h = s->Pointer().HorizSize(), v = s->Pointer().VertSize();
  const int rows[][3] = {{0, 0, 1}, {h - 1, 0, 1}, {0, 1 - v, 1}, {h - 1, v - 1, 1}, {h, 0, -1}, {0, v, -1}};
  for (const auto &r : rows)
    EXPECT_EQ(s->ClickedPointAtPixel(x + r[0], y + r[1]), r[2]) << r[0] << "," << r[1];
}

TEST_F(LineClick, OnClickPointerFiresOnMouseDownOnly) {
  auto *s = c.Add<TPointSeries>();
  s->AddPointXY(5, 5);
  std::vector<int> fired;
  s->OnClickPointer = [&](TCustomSeries *sender, int index, int x, int y) {
    EXPECT_EQ(sender, s);
    EXPECT_EQ(x, c.X(5) + 1);
    EXPECT_EQ(y, c.Y(5));
    fired.push_back(index);
  };
  // With a cursor the chart tests the series on every move.
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
  auto *s = c.Add<TLineSeries>();
  for (int i = 0; i <= 5; ++i)
    s->AddPointXY(i * 2, i % 2 ? 8 : 2);
  c.Paint();
  const int midX = (c.X(6) + c.X(8)) / 2, midY = (c.Y(8) + c.Y(2)) / 2;
  EXPECT_EQ(s->PointAtPixel(c.X(8), c.Y(2)), 4);
  EXPECT_EQ(s->PointAtPixel(midX, midY), 3);
  s->SetClickableLine(false);
  EXPECT_EQ(s->PointAtPixel(midX, midY), -1);
  s->SetClickableLine(true);
  // Stairs: the corner of the step from point 1 to point 2 belongs to 1.
  s->SetStairs(true);
  EXPECT_EQ(s->PointAtPixel(c.X(4), c.Y(8)), 1);
  // With an area, below the line down to the origin.
  s->SetStairs(false);
  s->SetDrawArea(true);
  EXPECT_EQ(s->PointAtPixel(c.X(7), c.Y(1)), 3);
  // Zoomed: the segment from the point before the visible range counts.
  c->BottomAxis()->SetMinMax(3.5, 10);
  c.Paint();
  ASSERT_EQ(s->FirstValueIndex(), 2);
  EXPECT_EQ(s->PointAtPixel(c.X(3), (c.Y(8) + c.Y(2)) / 2), 1);
}

TEST_F(LineClick, PointSeriesSettingsAreForcedAfterAssign) {
  auto *s = c.Add<TPointSeries>();
  TLineSeries line;
  line.SetDrawArea(true);
  s->Assign(line);
  // Forced again after every Assign.
  EXPECT_TRUE(s->Pointer().Visible());
  EXPECT_FALSE(s->DrawLine() || s->DrawArea() || s->ClickableLine());
  EXPECT_EQ(s->Marks().Callout().Length(), 0);
}

} // namespace
