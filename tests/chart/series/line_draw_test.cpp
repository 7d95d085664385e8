// The line, area and point series drawn into a chart: the calls each kind
// makes, markers trailing their segments, null points, the first point of
// a zoomed line, stacking, and state put back after the shadow and outline
// passes.
#include "series2d_support.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using s2d_test::TRecordedChart;
using s2d_test::TTestChart;

class Line : public s2d_test::WithChartUnits {
protected:
  TRecordedChart c{200, 200};
  void SetUp() override { c.FixAxes(0, 10); }
  template <class T> T *Add(TColor colour) {
    auto *s = new T;
    c->AddSeries(std::unique_ptr<TChartSeries>(s));
    s->SetSeriesColor(colour);
    return s;
  }
  std::string P(double x, double y) { return std::to_string(c.X(x)) + "," + std::to_string(c.Y(y)); }
  // The line calls of a paint, as "from-to" pairs of a MoveTo and LineTos.
  std::vector<std::string> Segments() {
    std::vector<std::string> r;
    std::string from;
    for (const std::string &l : c.recorder->log) {
      if (l.rfind("MoveTo ", 0) == 0) from = l.substr(7);
      if (l.rfind("LineTo ", 0) == 0) {
        r.push_back(from + "-" + l.substr(7));
        from = l.substr(7);
      }
    }
    return r;
  }
};

TEST_F(Line, PointSeriesDrawsMarkersOnly) {
  auto *s = Add<TPointSeries>(clGreen);
  s->AddPointXY(2, 2);
  s->AddPointXY(5, 8);
  s->AddPointXY(8, 4);
  c.Paint();
  EXPECT_TRUE(Segments().empty());
  // Three markers of the default 9 x 9 pixels, in the order of the points.
  const std::vector<std::string> boxes = c.recorder->Only("Rectangle");
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0], "Rectangle " + std::to_string(c.X(2) - 4) + "," + std::to_string(c.Y(2) - 4) + "," +
                          std::to_string(c.X(2) + 5) + "," + std::to_string(c.Y(2) + 5));
  EXPECT_EQ(c.At(c.X(5), c.Y(8)), clGreen);
}

TEST_F(Line, PointSeriesSettingsHoldAfterAssign) {
  auto *s = Add<TPointSeries>(clGreen);
  TLineSeries line;
  line.SetDrawArea(true);
  line.SetClickableLine(true);
  s->Assign(line);
  EXPECT_TRUE(s->Pointer().Visible());
  EXPECT_FALSE(s->DrawLine());
  EXPECT_FALSE(s->DrawArea());
  EXPECT_FALSE(s->ClickableLine());
  EXPECT_EQ(s->Marks().Callout().Length(), 0);
  s->SetTransparency(40);
  EXPECT_EQ(s->Pointer().Transparency(), 40);
  s->SetColorEachPoint(true);
  EXPECT_EQ(s->Pointer().Brush().Color(), clDefault);
}

TEST_F(Line, LineSegmentsAndStairs) {
  auto *s = Add<TLineSeries>(clRed);
  s->AddPointXY(0, 0);
  s->AddPointXY(4, 6);
  s->AddPointXY(8, 2);
  c.Paint();
  EXPECT_EQ(Segments(), (std::vector<std::string>{P(0, 0) + "-" + P(4, 6), P(4, 6) + "-" + P(8, 2)}));
  s->SetStairs(true);
  c.Paint();
  EXPECT_EQ(Segments(), (std::vector<std::string>{P(0, 0) + "-" + P(4, 0), P(4, 0) + "-" + P(4, 6),
                                                  P(4, 6) + "-" + P(8, 6), P(8, 6) + "-" + P(8, 2)}));
  s->SetInvertedStairs(true);
  c.Paint();
  EXPECT_EQ(Segments(), (std::vector<std::string>{P(0, 0) + "-" + P(0, 6), P(0, 6) + "-" + P(4, 6),
                                                  P(4, 6) + "-" + P(4, 2), P(4, 2) + "-" + P(8, 2)}));
}

TEST_F(Line, NullPoints) {
  auto *s = Add<TLineSeries>(clRed);
  s->AddPointXY(0, 2);
  s->AddPointXY(2, 8);
  s->AddNullPointXY(4, 5);
  s->AddPointXY(6, 8);
  s->AddPointXY(8, 2);
  c.Paint();
  struct Row {
    TTreatNullsStyle treat;
    std::vector<std::string> segments;
  };
  const std::vector<Row> rows = {
      {TTreatNullsStyle::tnDontPaint, {P(0, 2) + "-" + P(2, 8), P(6, 8) + "-" + P(8, 2)}},
      {TTreatNullsStyle::tnSkip, {P(0, 2) + "-" + P(2, 8), P(2, 8) + "-" + P(6, 8), P(6, 8) + "-" + P(8, 2)}},
      {TTreatNullsStyle::tnIgnore,
       {P(0, 2) + "-" + P(2, 8), P(2, 8) + "-" + P(4, 5), P(4, 5) + "-" + P(6, 8), P(6, 8) + "-" + P(8, 2)}},
  };
  for (const Row &r : rows) {
    s->SetTreatNulls(r.treat);
    c.Paint();
    EXPECT_EQ(Segments(), r.segments) << static_cast<int>(r.treat);
  }
}

TEST_F(Line, MarkersTrailTheirSegments) {
  auto *s = Add<TLineSeries>(clRed);
  s->Pointer().SetVisible(true);
  s->AddPointXY(1, 1);
  s->AddPointXY(5, 5);
  s->AddPointXY(9, 1);
  c.Paint();
  std::vector<std::string> order;
  for (const std::string &l : c.recorder->log)
    if (l.rfind("LineTo", 0) == 0 || l.rfind("Rectangle", 0) == 0) order.push_back(l.substr(0, 4));
  // Segment 1, marker 0, segment 2, marker 1, marker 2.
  EXPECT_EQ(order, (std::vector<std::string>{"Line", "Rect", "Line", "Rect", "Rect"}));
}

TEST_F(Line, ZoomedLineStartsAtTheChartEdge) {
  auto *s = Add<TLineSeries>(clRed);
  for (int i = 0; i <= 10; ++i)
    s->AddPointXY(i, i);
  c->BottomAxis()->SetMinMax(2.5, 10);
  c.Paint();
  const std::vector<std::string> segments = Segments();
  ASSERT_FALSE(segments.empty());
  // From the left edge, on the line from point 2 to point 3.
  const int edge = c->ChartRect.Left;
  const int x2 = c.X(2), x3 = c.X(3), y2 = c.Y(2), y3 = c.Y(3);
  const int y = UloPixel(y2 + (static_cast<double>(y3) - y2) * (edge - x2) / (x3 - x2));
  EXPECT_EQ(segments[0], std::to_string(edge) + "," + std::to_string(y) + "-" + P(3, 3));
}

TEST_F(Line, AreaFillsDownToTheAxisEnd) {
  auto *s = Add<TAreaSeries>(clBlue);
  s->AddPointXY(0, 4);
  s->AddPointXY(10, 4);
  c.Paint();
  const std::vector<std::string> polygons = c.recorder->Only("Polygon");
  ASSERT_EQ(polygons.size(), 1u);
  const int bottom = c->LeftAxis()->IEndPos;
  EXPECT_EQ(polygons[0], "Polygon " + P(0, 4) + " " + P(10, 4) + " " + std::to_string(c.X(10)) + "," +
                             std::to_string(bottom) + " " + std::to_string(c.X(0)) + "," + std::to_string(bottom));
  EXPECT_EQ(c.At(c.X(5), c.Y(2)), clBlue);
  EXPECT_EQ(c.At(c.X(5), c.Y(6)), clWhite);
}

TEST_F(Line, Stack100) {
  auto *a = Add<TLineSeries>(clRed);
  auto *b = Add<TLineSeries>(clBlue);
  auto *other = Add<TPointSeries>(clGreen);
  a->AddPointXY(1, 1);
  b->AddPointXY(1, 3);
  other->AddPointXY(1, 5);
  a->SetStacked(TCustomSeriesStack::cssStack100);
  // Every line series of the chart follows; the point series does not.
  EXPECT_EQ(b->Stacked(), TCustomSeriesStack::cssStack100);
  EXPECT_EQ(other->Stacked(), TCustomSeriesStack::cssNone);
  c->LeftAxis()->SetMinMax(0, 100);
  c.Paint();
  EXPECT_EQ(a->CalcYPosValue(0, 1), c.Y(25));
  EXPECT_EQ(b->CalcYPosValue(0, 3), c.Y(100));
  EXPECT_EQ(a->MinY(), 0);
  EXPECT_EQ(a->MaxY(), 100);
}

TEST_F(Line, StackCountsOnlyValuesOfTheSameSign) {
  auto *a = Add<TLineSeries>(clRed);
  auto *b = Add<TLineSeries>(clBlue);
  auto *d = Add<TLineSeries>(clGreen);
  a->AddPointXY(0, 2);
  b->AddPointXY(0, -3);
  d->AddPointXY(0, -1);
  a->AddPointXY(1, 0);
  b->AddPointXY(1, 4);
  d->AddPointXY(1, 1);
  a->SetStacked(TCustomSeriesStack::cssStack);
  EXPECT_EQ(d->PointOrigin(0, false), -3);
  EXPECT_EQ(d->PointOrigin(0, true), -4);
  EXPECT_EQ(b->PointOrigin(0, false), 0);
  // Zero counts as non-negative.
  EXPECT_EQ(d->PointOrigin(1, false), 4);
  EXPECT_EQ(d->MaxY(), 5);
  EXPECT_EQ(d->MinY(), -4);
}

TEST_F(Line, LimitsLeaveNullPointsOut) {
  auto *s = Add<TLineSeries>(clRed);
  s->AddPointXY(0, 2);
  s->AddNullPointXY(1, 50);
  s->AddPointXY(2, 4);
  EXPECT_EQ(s->MaxY(), 4);
  s->SetTreatNulls(TTreatNullsStyle::tnIgnore);
  EXPECT_EQ(s->MaxY(), 50);
}

// A series whose point colours can fail in the middle of a paint.
class TFailingSeries : public TLineSeries {
public:
  bool fail = false;
  TColor PointColor(int index) override {
    if (fail) throw std::runtime_error("colour");
    return TLineSeries::PointColor(index);
  }
};

TEST_F(Line, PassesPutEverythingBackOnAFailure) {
  auto *s = Add<TFailingSeries>(clRed);
  s->AddPointXY(2, 2);
  s->AddPointXY(8, 8);
  s->Shadow().SetHorizSize(5);
  s->Shadow().SetVertSize(5);
  s->OutLine().SetVisible(true);
  s->Pointer().SetVisible(true);
  c.Paint();
  const int before = s->PointAtPixel(c.X(8), c.Y(8));
  s->fail = true;
  EXPECT_THROW(s->DrawVisiblePoints(), std::runtime_error);
  s->fail = false;
  // Positions, pen and markers as before the failed pass.
  EXPECT_EQ(s->PointAtPixel(c.X(8), c.Y(8)), before);
  EXPECT_EQ(before, 1);
  EXPECT_EQ(s->LinePen().Width(), 1);
  EXPECT_EQ(s->SeriesColor(), clRed);
  c.Paint();
  EXPECT_EQ(c.recorder->Only("Rectangle").size(), 2u);
}

TEST_F(Line, ShadowAndOutlinePassesComeFirst) {
  auto *s = Add<TLineSeries>(clRed);
  s->AddPointXY(2, 2);
  s->AddPointXY(8, 8);
  s->Shadow().SetColor(clGray);
  s->Shadow().SetHorizSize(3);
  s->Shadow().SetVertSize(4);
  c.Paint();
  const std::vector<std::string> segments = Segments();
  ASSERT_EQ(segments.size(), 2u);
  EXPECT_EQ(segments[0], std::to_string(c.X(2) + 3) + "," + std::to_string(c.Y(2) + 4) + "-" +
                             std::to_string(c.X(8) + 3) + "," + std::to_string(c.Y(8) + 4));
  EXPECT_EQ(segments[1], P(2, 2) + "-" + P(8, 8));
  EXPECT_EQ(c.At((c.X(2) + c.X(8)) / 2 + 3, (c.Y(2) + c.Y(8)) / 2 + 4), clGray);
}

} // namespace
