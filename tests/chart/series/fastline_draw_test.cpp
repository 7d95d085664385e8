// The fast line drawn into a chart: its polyline, the points it skips, null
// points, stairs, direct drawing of an added point without a paint, 3D, the
// hit test, margins, the legend and the colour shared with its pen.
#include "series2d_support.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

class FastLine : public s2d_test::WithChartUnits {
protected:
  s2d_test::TRecordedChart c{200, 200};
  TFastLineSeries *s = nullptr;
  void SetUp() override {
    c.FixAxes(0, 10);
    s = c.Add<TFastLineSeries>(clRed);
  }
  std::string P(double x, double y) { return c.P(x, y); }
  Strings Lines() { return c.recorder->Only({"Polyline"}); }
};

TEST_F(FastLine, OnePolylineFromOneBeforeTheVisibleRange) {
  for (int i = 0; i <= 4; ++i)
    s->AddPointXY(i * 2, i % 2 ? 8 : 2);
  c.Paint();
  EXPECT_EQ(Lines(), (Strings{"Polyline" + P(0, 2) + P(2, 8) + P(4, 2) + P(6, 8) + P(8, 2)}));
  EXPECT_EQ(c.At(c.X(1), (c.Y(2) + c.Y(8)) / 2), clRed);
  c->BottomAxis()->SetMinMax(3.5, 5.5);
  c.Paint();
  // Points 1 .. 3: one before the range and the one past its end.
  EXPECT_EQ(Lines(), (Strings{"Polyline" + P(2, 8) + P(4, 2) + P(6, 8)}));
}

TEST_F(FastLine, PointsOnTheLastDrawnColumn) {
  struct Row {
    bool drawAll;
    double y1;
    int points;
  };
  for (const Row &r : {Row{true, 5, 3}, Row{true, 0.001, 2}, Row{false, 5, 2}}) {
    s->ClearPoints();
    s->SetDrawAllPoints(r.drawAll);
    s->AddPointXY(0, 0);
    s->AddPointXY(0.001, r.y1); // on point 0's pixel column
    s->AddPointXY(5, 5);
    c.Paint();
    const Strings lines = Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), ','), r.points) << r.drawAll << " " << r.y1;
  }
}

TEST_F(FastLine, NullPointsAndStairs) {
  s->AddPointXY(0, 2);
  s->AddPointXY(2, 8);
  s->AddNullPointXY(4, 5);
  s->AddPointXY(6, 8);
  s->AddPointXY(8, 2);
  c.Paint();
  const std::string all = "Polyline" + P(0, 2) + P(2, 8) + P(4, 5) + P(6, 8) + P(8, 2);
  struct Row {
    bool ignore;
    TTreatNullsStyle treat;
    Strings lines;
  };
  const std::vector<Row> rows = {
      {true, TTreatNullsStyle::tnDontPaint, {all}},
      {false, TTreatNullsStyle::tnSkip, {"Polyline" + P(0, 2) + P(2, 8) + P(6, 8) + P(8, 2)}},
      {false, TTreatNullsStyle::tnDontPaint, {"Polyline" + P(0, 2) + P(2, 8), "Polyline" + P(6, 8) + P(8, 2)}},
      {false, TTreatNullsStyle::tnIgnore, {all}},
  };
  for (const Row &r : rows) {
    s->SetIgnoreNulls(r.ignore);
    s->SetTreatNulls(r.treat);
    c.Paint();
    EXPECT_EQ(Lines(), r.lines) << r.ignore << " " << static_cast<int>(r.treat);
  }
  s->ClearPoints();
  s->AddPointXY(0, 0);
  s->AddPointXY(10, 5);
  s->SetStairs(true);
  c.Paint();
  EXPECT_EQ(Lines(), (Strings{"Polyline" + P(0, 0) + P(10, 0) + P(10, 5)}));
  s->SetInvertedStairs(true);
  c.Paint();
  EXPECT_EQ(Lines(), (Strings{"Polyline" + P(0, 0) + P(0, 5) + P(10, 5)}));
}

TEST_F(FastLine, DirectDrawingAddsOneSegmentAndNoPaint) {
  int paints = 0;
  c->OnAfterDraw = [&] { ++paints; };
  s->SetAutoRepaint(false);
  TFastLineSeries follower;
  follower.SetDataSource(s);
  std::vector<int> added;
  s->OnAfterAdd = [&](TChartSeries *, int index) { added.push_back(index); };
  // Before the first paint there is nothing to draw into: skipped.
  s->AddPointXY(4, 4);
  EXPECT_EQ(paints, 0);
  c.Paint();
  const int x = c.X(7), y = c.Y(7);
  EXPECT_EQ(c.At(x, y), clWhite);
  // One segment, into the kept image and then on the window.
  const Strings one = {"MoveTo" + P(4, 4), "LineTo" + P(10, 10)};
  EXPECT_EQ(c.Record([&] { s->AddPointXY(10, 10); }), (Strings{one[0], one[1], one[0], one[1]}));
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(c.At(x, y), clRed);
  // A later window paint from the kept image keeps it.
  EXPECT_FALSE(c->Canvas().NeedsRedraw());
  c->Paint();
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(c.At(x, y), clRed);
  // The point's event and the series fed by this one still hear of it.
  EXPECT_EQ(added, (std::vector<int>{0, 1}));
  ASSERT_EQ(follower.PointCount(), 2);
  EXPECT_EQ(follower.YValues()->Value(1), 10);
  // The first point of a series is only moved to.
  auto *t = c.Add<TFastLineSeries>(clBlue);
  t->SetAutoRepaint(false);
  for (const std::string &call : c.Record([&] { t->AddPointXY(5, 5); }))
    EXPECT_EQ(call.rfind("MoveTo", 0), 0u) << call;
}

TEST_F(FastLine, FastPenIsSolidAndOnePixelWide) {
  s->SetAutoRepaint(false);
  s->SetFastPen(true);
  s->LinePen().SetWidth(5);
  s->LinePen().SetStyle(TPenStyle::psDot);
  s->AddPointXY(0, 5);
  c.Paint();
  const int before = c.Count(clRed);
  c->Canvas().ApplyPen(s->LinePen()); // what a paint may leave selected
  s->AddPointXY(10, 5);
  // The new segment in one unbroken row of pixels.
  EXPECT_GE(c.Count(clRed) - before, c.X(10) - c.X(0));
  EXPECT_EQ(c.At(c.X(5), c.Y(5) - 1), clWhite);
  EXPECT_EQ(c.At(c.X(5), c.Y(5) + 1), clWhite);
}

TEST_F(FastLine, In3DAtTheMiddleDepthAndHitTests) {
  for (int i = 0; i <= 5; ++i)
    s->AddPointXY(i * 2, i % 2 ? 8 : 2);
  c.Paint();
  EXPECT_EQ(s->PointAtPixel(c.X(8), c.Y(2)), 4);
  EXPECT_EQ(s->PointAtPixel((c.X(6) + c.X(8)) / 2, (c.Y(8) + c.Y(2)) / 2), 3);
  EXPECT_EQ(s->PointAtPixel(c.X(1), c.Y(8)), -1);
  c->SetView3D(true);
  c.Paint();
  EXPECT_GT(s->MiddleZ, 0);
  EXPECT_EQ(c.recorder->Only({"PolylineAtDepth"}), (Strings{"PolylineAtDepth" + P(0, 2) + P(2, 8) + P(4, 2) + P(6, 8) +
                                                            P(8, 2) + P(10, 8) + " " + std::to_string(s->MiddleZ)}));
  // The hit test maps the mouse back to that depth.
  const TPoint onScreen = c->Canvas().ProjectPoint(c.X(2), c.Y(8), s->MiddleZ);
  EXPECT_EQ(s->PointAtPixel(onScreen.X, onScreen.Y), 1);
}

TEST_F(FastLine, MarginsLegendAndColour) {
  const int rows[][2] = {{1, 1}, {2, 2}, {3, 3}, {4, 3}, {6, 4}};
  for (auto [width, grow] : rows) {
    s->LinePen().SetWidth(width);
    int l = 0, r = 0, t = 0, b = 0;
    s->HorizMargins(l, r);
    s->VertMargins(t, b);
    EXPECT_EQ((std::vector<int>{l, r, t, b}), (std::vector<int>(4, grow))) << width;
  }
  c.Paint();
  const Strings legend = c.Record([&] { s->DrawLegendShape(-1, TRect{10, 10, 30, 21}); });
  EXPECT_EQ(legend, (Strings{"MoveTo 10,15", "LineTo 30,15"}));
  // The pen's colour is the series colour (the legend shows it); the
  // automatic colour is the pen's too, and stays automatic.
  s->LinePen().SetColor(clGreen);
  EXPECT_EQ(s->SeriesColor(), clGreen);
  auto *t = c.Add<TFastLineSeries>();
  EXPECT_EQ(t->LinePen().Color(), t->SeriesColor());
  t->LinePen().SetWidth(2);
  EXPECT_EQ(t->ExplicitSeriesColor(), clDefault);
}

} // namespace
