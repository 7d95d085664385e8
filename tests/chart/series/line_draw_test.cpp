// The line, area and point series drawn in 2D: the calls each kind makes,
// markers trailing their segments, null points, the first point of a zoomed
// line, stacking, and state put back after the shadow and outline passes.
#include "series2d_support.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using s2d_test::Pt;
using Strings = std::vector<std::string>;

class Line : public s2d_test::WithChartUnits {
protected:
  s2d_test::TRecordedChart c{200, 200};
  void SetUp() override { c.FixAxes(0, 10); }
  std::string P(double x, double y) { return Pt(c.X(x), c.Y(y)); }
  // The lines of the last paint as "from-to" pairs.
  Strings Segments() {
    Strings r;
    std::string from;
    for (const std::string &l : c.recorder->log) {
      if (l.rfind("MoveTo ", 0) == 0) from = l.substr(7);
      if (l.rfind("LineTo ", 0) != 0) continue;
      r.push_back(from + "-" + l.substr(7));
      from = l.substr(7);
    }
    return r;
  }
};

TEST_F(Line, SegmentsStairsAndNullPoints) {
  auto *s = c.Add<TLineSeries>(clRed);
  s->AddPointXY(0, 2);
  s->AddPointXY(2, 8);
  s->AddNullPointXY(4, 5);
  s->AddPointXY(6, 8);
  c.Paint();
  struct Row {
    bool stairs, inverted;
    TTreatNullsStyle treat;
    Strings segments;
  };
  const std::vector<Row> rows = {
      {false, false, TTreatNullsStyle::tnDontPaint, {P(0, 2) + "-" + P(2, 8)}},
      {false, false, TTreatNullsStyle::tnSkip, {P(0, 2) + "-" + P(2, 8), P(2, 8) + "-" + P(6, 8)}},
      {false,
       false,
       TTreatNullsStyle::tnIgnore,
       {P(0, 2) + "-" + P(2, 8), P(2, 8) + "-" + P(4, 5), P(4, 5) + "-" + P(6, 8)}},
      {true, false, TTreatNullsStyle::tnDontPaint, {P(0, 2) + "-" + P(2, 2), P(2, 2) + "-" + P(2, 8)}},
      {true, true, TTreatNullsStyle::tnDontPaint, {P(0, 2) + "-" + P(0, 8), P(0, 8) + "-" + P(2, 8)}},
  };
  for (const Row &r : rows) {
    s->SetStairs(r.stairs);
    s->SetInvertedStairs(r.inverted);
    s->SetTreatNulls(r.treat);
    c.Paint();
    EXPECT_EQ(Segments(), r.segments) << r.stairs << r.inverted << static_cast<int>(r.treat);
  }
  // A skipped null point gets no marker (it would land on the point before
  // it, in another point's colour); a drawn one does.
  s->Pointer().SetVisible(true);
  for (auto [treat, markers] : {std::pair{TTreatNullsStyle::tnSkip, 3u}, std::pair{TTreatNullsStyle::tnIgnore, 4u}}) {
    s->SetTreatNulls(treat);
    c.Paint();
    EXPECT_EQ(c.recorder->Only({"Rectangle"}).size(), markers);
  }
}

TEST_F(Line, MarkersTrailTheirSegments) {
  auto *s = c.Add<TLineSeries>(clRed);
  auto *points = c.Add<TPointSeries>(clGreen);
  s->Pointer().SetVisible(true);
  for (double x : {1, 5, 9}) {
    s->AddPointXY(x, x == 5 ? 5 : 1);
    points->AddPointXY(x, 8);
  }
  c.Paint();
  // Segment 1, marker 0, segment 2, marker 1, marker 2; then the point
  // series' three markers (9 x 9 pixels) and no line.
  Strings order;
  for (const std::string &l : c.recorder->Only({"LineTo", "Rectangle"}))
    order.push_back(l.substr(0, 4));
  EXPECT_EQ(order, (Strings{"Line", "Rect", "Line", "Rect", "Rect", "Rect", "Rect", "Rect"}));
  EXPECT_EQ(c.recorder->Only({"Rectangle"})[3],
            "Rectangle " + Pt(c.X(1) - 4, c.Y(8) - 4) + "," + Pt(c.X(1) + 5, c.Y(8) + 5));
  EXPECT_EQ(c.At(c.X(5), c.Y(8)), clGreen);
}

TEST_F(Line, ZoomedLineStartsAtTheChartEdge) {
  auto *s = c.Add<TLineSeries>(clRed);
  for (int i = 0; i <= 10; ++i)
    s->AddPointXY(i, i * i % 7);
  c->BottomAxis()->SetMinMax(2.5, 10);
  c.Paint();
  // From the left edge, on the line from point 2 to point 3.
  const int edge = c->ChartRect.Left, x2 = c.X(2), x3 = c.X(3), y2 = c.Y(4), y3 = c.Y(2);
  const int y = UloPixel(y2 + (static_cast<double>(y3) - y2) * (edge - x2) / (x3 - x2));
  ASSERT_FALSE(Segments().empty());
  EXPECT_EQ(Segments()[0], Pt(edge, y) + "-" + P(3, 2));
}

TEST_F(Line, AreaFillsDownToTheAxisEnd) {
  auto *s = c.Add<TAreaSeries>(clBlue);
  s->AddPointXY(0, 4);
  s->AddPointXY(10, 4);
  c.Paint();
  const int bottom = c->LeftAxis()->IEndPos;
  EXPECT_EQ(c.recorder->Only({"Polygon"}),
            (Strings{"Polygon " + P(0, 4) + " " + P(10, 4) + " " + Pt(c.X(10), bottom) + " " + Pt(c.X(0), bottom)}));
  EXPECT_EQ(c.At(c.X(5), c.Y(2)), clBlue);
  EXPECT_EQ(c.At(c.X(5), c.Y(6)), clWhite);
}

TEST_F(Line, Stacking) {
  auto *a = c.Add<TLineSeries>(clRed);
  auto *b = c.Add<TLineSeries>(clBlue);
  auto *d = c.Add<TLineSeries>(clGreen);
  auto *other = c.Add<TPointSeries>(clGreen);
  const double rows[][4] = {{0, 1, 3, 0}, {1, 2, -3, -1}, {2, 0, 4, 1}};
  for (const auto &r : rows) {
    a->AddPointXY(r[0], r[1]);
    b->AddPointXY(r[0], r[2]);
    d->AddPointXY(r[0], r[3]);
  }
  other->AddPointXY(1, 5);
  a->SetStacked(TCustomSeriesStack::cssStack);
  // Series of exactly the setter's class follow.
  EXPECT_EQ(d->Stacked(), TCustomSeriesStack::cssStack);
  EXPECT_EQ(other->Stacked(), TCustomSeriesStack::cssNone);
  // Only values of the sign of the series' own count; zero is non-negative.
  EXPECT_EQ(d->PointOrigin(1, false), -3);
  EXPECT_EQ(d->PointOrigin(1, true), -4);
  EXPECT_EQ(b->PointOrigin(1, false), 0);
  EXPECT_EQ(d->PointOrigin(2, false), 4);
  EXPECT_EQ(d->MaxY(), 5);
  EXPECT_EQ(d->MinY(), -4);
  // 100%: 1 and 3 end at 25 and 100 (the whole stack is the hundred).
  a->SetStacked(TCustomSeriesStack::cssStack100);
  c->LeftAxis()->SetMinMax(0, 100);
  c.Paint();
  EXPECT_EQ(a->CalcYPosValue(0, 1), c.Y(25));
  EXPECT_EQ(b->CalcYPosValue(0, 3), c.Y(100));
  EXPECT_EQ(a->MinY(), 0);
  EXPECT_EQ(a->MaxY(), 100);
  // Unstacked limits leave null points out, unless they are drawn.
  a->SetStacked(TCustomSeriesStack::cssNone);
  a->AddNullPointXY(3, 50);
  EXPECT_EQ(a->MaxY(), 2);
  a->SetTreatNulls(TTreatNullsStyle::tnIgnore);
  EXPECT_EQ(a->MaxY(), 50);
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

TEST_F(Line, ShadowPassFirstAndEverythingPutBackOnAFailure) {
  auto *s = c.Add<TFailingSeries>(clRed);
  s->AddPointXY(2, 2);
  s->AddPointXY(8, 8);
  s->Shadow().SetColor(clGray);
  s->Shadow().SetHorizSize(5);
  s->Shadow().SetVertSize(5);
  c.Paint();
  const std::string shadow = Pt(c.X(2) + 5, c.Y(2) + 5) + "-" + Pt(c.X(8) + 5, c.Y(8) + 5);
  EXPECT_EQ(Segments(), (Strings{shadow, P(2, 2) + "-" + P(8, 8)}));
  EXPECT_GT(c.Count(clGray), 0);
  s->OutLine().SetVisible(true);
  s->Pointer().SetVisible(true);
  s->fail = true;
  EXPECT_THROW(s->DrawVisiblePoints(), std::runtime_error);
  s->fail = false;
  // Positions (no shadow offset left behind) and markers as before.
  EXPECT_EQ(s->PointAtPixel(c.X(2), c.Y(2)), 0);
  c.Paint();
  EXPECT_EQ(c.recorder->Only({"Rectangle"}).size(), 2u);
}

} // namespace
