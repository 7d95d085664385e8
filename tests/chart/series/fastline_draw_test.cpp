// The fast line drawn into a chart: the calls it makes, which points it
// skips, how null points break it, stairs, direct drawing of an added point
// without a paint, the hit test, margins and the colour of its pen.
#include "series2d_support.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using s2d_test::TRecordedChart;
using s2d_test::TTestChart;

class FastLine : public s2d_test::WithChartUnits {
protected:
  // A recorded chart over 0..10 on both axes with one fast line.
  TRecordedChart c{200, 200};
  TFastLineSeries *s = new TFastLineSeries;
  void SetUp() override {
    c.FixAxes(0, 10);
    c->AddSeries(std::unique_ptr<TChartSeries>(s));
    s->SetSeriesColor(clRed);
  }
  std::string P(double x, double y) { return " " + std::to_string(c.X(x)) + "," + std::to_string(c.Y(y)); }
  std::vector<std::string> Lines() { return c.recorder->Only("Polyline"); }
};

TEST_F(FastLine, OnePolylineThroughTheVisiblePoints) {
  for (int i = 0; i <= 4; ++i)
    s->AddPointXY(i * 2, i % 2 ? 8 : 2);
  c.Paint();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Polyline" + P(0, 2) + P(2, 8) + P(4, 2) + P(6, 8) + P(8, 2)}));
  // The pixels of a segment are in the series colour.
  EXPECT_EQ(c.At(c.X(1), (c.Y(2) + c.Y(8)) / 2), clRed);
}

TEST_F(FastLine, ZoomedRangeStartsOneBeforeTheFirstVisiblePoint) {
  for (int i = 0; i <= 10; ++i)
    s->AddPointXY(i, 5);
  c->BottomAxis()->SetMinMax(3.5, 6.5);
  c.Paint();
  ASSERT_EQ(Lines().size(), 1u);
  // Points 3 .. 7: one before the range and the one past its end.
  const std::string line = Lines()[0];
  EXPECT_EQ(std::count(line.begin(), line.end(), ','), 5);
}

struct SkipCase {
  const char *name;
  bool drawAll;
  double x1, y1;
  int points; // in the drawn polyline
};

class FastLineSkip : public FastLine, public ::testing::WithParamInterface<SkipCase> {};

TEST_P(FastLineSkip, SameColumn) {
  const SkipCase &k = GetParam();
  s->SetDrawAllPoints(k.drawAll);
  s->AddPointXY(0, 0);
  s->AddPointXY(k.x1, k.y1); // on point 0's pixel column
  s->AddPointXY(5, 5);
  c.Paint();
  ASSERT_EQ(Lines().size(), 1u);
  const std::string line = Lines()[0];
  EXPECT_EQ(std::count(line.begin(), line.end(), ','), k.points) << line;
}

INSTANTIATE_TEST_SUITE_P(Rows, FastLineSkip,
                         ::testing::Values(SkipCase{"all_points_other_row", true, 0.001, 5, 3},
                                           SkipCase{"all_points_same_pixel", true, 0.001, 0.001, 2},
                                           SkipCase{"column_skip", false, 0.001, 5, 2}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(FastLine, NullPoints) {
  s->AddPointXY(0, 2);
  s->AddPointXY(2, 8);
  s->AddNullPointXY(4, 5);
  s->AddPointXY(6, 8);
  s->AddPointXY(8, 2);
  c.Paint(); // lays the axes out, so that P gives pixels
  struct Row {
    bool ignore;
    TTreatNullsStyle treat;
    std::vector<std::string> lines;
  };
  const std::vector<Row> rows = {
      // Ignored: the null point is joined like any other.
      {true, TTreatNullsStyle::tnDontPaint, {"Polyline" + P(0, 2) + P(2, 8) + P(4, 5) + P(6, 8) + P(8, 2)}},
      // Skipped: straight on from the point before to the point after.
      {false, TTreatNullsStyle::tnSkip, {"Polyline" + P(0, 2) + P(2, 8) + P(6, 8) + P(8, 2)}},
      // Not painted: a gap from the point before to the point after.
      {false, TTreatNullsStyle::tnDontPaint, {"Polyline" + P(0, 2) + P(2, 8), "Polyline" + P(6, 8) + P(8, 2)}},
      {false, TTreatNullsStyle::tnIgnore, {"Polyline" + P(0, 2) + P(2, 8) + P(4, 5) + P(6, 8) + P(8, 2)}},
  };
  for (const Row &r : rows) {
    s->SetIgnoreNulls(r.ignore);
    s->SetTreatNulls(r.treat);
    c.Paint();
    EXPECT_EQ(Lines(), r.lines) << r.ignore << " " << static_cast<int>(r.treat);
  }
}

TEST_F(FastLine, Stairs) {
  s->AddPointXY(0, 0);
  s->AddPointXY(10, 5);
  s->SetStairs(true);
  c.Paint();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Polyline" + P(0, 0) + P(10, 0) + P(10, 5)}));
  s->SetInvertedStairs(true);
  c.Paint();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Polyline" + P(0, 0) + P(0, 5) + P(10, 5)}));
}

TEST_F(FastLine, DirectDrawingAddsOneSegmentAndNoPaint) {
  int paints = 0;
  c->OnAfterDraw = [&] { ++paints; };
  s->SetAutoRepaint(false);
  // Before the first paint there is nothing to draw into: skipped.
  s->AddPointXY(0, 0);
  s->AddPointXY(4, 4);
  EXPECT_EQ(paints, 0);
  c.Paint();
  EXPECT_EQ(paints, 1);
  const int x = c.X(7), y = c.Y(7);
  EXPECT_EQ(c.At(x, y), clWhite);
  c.recorder->log.clear();
  c.recorder->recording = true;
  s->AddPointXY(10, 10);
  c.recorder->recording = false;
  EXPECT_EQ(paints, 1);
  // One segment, drawn into the kept image and then on the window.
  const std::vector<std::string> one = {"MoveTo" + P(4, 4), "LineTo" + P(10, 10)};
  std::vector<std::string> twice = one;
  twice.insert(twice.end(), one.begin(), one.end());
  EXPECT_EQ(c.recorder->log, twice);
  EXPECT_EQ(c.At(x, y), clRed);
  // A later window paint from the kept image keeps it.
  EXPECT_FALSE(c->Canvas().NeedsRedraw());
  c->Paint();
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(c.At(x, y), clRed);
}

TEST_F(FastLine, DirectDrawingKeepsEventsAndDependents) {
  s->SetAutoRepaint(false);
  c.Paint();
  TFastLineSeries follower;
  follower.SetDataSource(s);
  std::vector<int> added;
  s->OnAfterAdd = [&](TChartSeries *, int index) { added.push_back(index); };
  s->AddPointXY(1, 1);
  s->AddPointXY(2, 3);
  EXPECT_EQ(added, (std::vector<int>{0, 1}));
  ASSERT_EQ(follower.PointCount(), 2);
  EXPECT_EQ(follower.YValues()->Value(1), 3);
}

TEST_F(FastLine, FirstPointAddedDirectlyDrawsNothing) {
  s->SetAutoRepaint(false);
  c.Paint();
  c.recorder->log.clear();
  c.recorder->recording = true;
  s->AddPointXY(5, 5);
  c.recorder->recording = false;
  for (const std::string &call : c.recorder->log)
    EXPECT_TRUE(call.rfind("MoveTo", 0) == 0) << call;
}

TEST_F(FastLine, In3DAtTheMiddleDepth) {
  c->SetView3D(true);
  s->AddPointXY(1, 1);
  s->AddPointXY(5, 9);
  c.Paint();
  EXPECT_EQ(c.recorder->Only("PolylineAtDepth"),
            (std::vector<std::string>{"PolylineAtDepth" + P(1, 1) + P(5, 9) + " z" + std::to_string(s->MiddleZ)}));
  EXPECT_GT(s->MiddleZ, 0);
  // The hit test maps the mouse back to that depth.
  const TPoint onScreen = c->Canvas().ProjectPoint(c.X(5), c.Y(9), s->MiddleZ);
  EXPECT_EQ(s->PointAtPixel(onScreen.X, onScreen.Y), 1);
}

TEST_F(FastLine, HitTest) {
  for (int i = 0; i <= 5; ++i)
    s->AddPointXY(i * 2, i % 2 ? 8 : 2);
  c.Paint();
  EXPECT_EQ(s->PointAtPixel(c.X(8), c.Y(2)), 4);
  EXPECT_EQ(s->PointAtPixel((c.X(6) + c.X(8)) / 2, (c.Y(8) + c.Y(2)) / 2), 3);
  EXPECT_EQ(s->PointAtPixel(c.X(1), c.Y(8)), -1);
}

TEST_F(FastLine, MarginsGrowWithThePenWidth) {
  const int rows[][2] = {{1, 1}, {2, 2}, {3, 3}, {4, 3}, {6, 4}};
  for (const auto &r : rows) {
    s->LinePen().SetWidth(r[0]);
    int l = 0, rr = 0, t = 0, b = 0;
    s->HorizMargins(l, rr);
    s->VertMargins(t, b);
    EXPECT_EQ(l, r[1]) << r[0];
    EXPECT_EQ(rr, r[1]);
    EXPECT_EQ(t, r[1]);
    EXPECT_EQ(b, r[1]);
  }
}

TEST_F(FastLine, SeriesColourAndPenColourFollowEachOther) {
  s->SetSeriesColor(clBlue);
  EXPECT_EQ(s->LinePen().Color(), clBlue);
  s->LinePen().SetColor(clGreen);
  EXPECT_EQ(s->SeriesColor(), clGreen);
  // A change of width keeps the colour.
  s->LinePen().SetWidth(3);
  EXPECT_EQ(s->SeriesColor(), clGreen);
}

TEST_F(FastLine, AutomaticColourIsTheLineColour) {
  TTestChart other;
  auto *t = new TFastLineSeries;
  other->AddSeries(std::unique_ptr<TChartSeries>(t));
  EXPECT_EQ(t->ExplicitSeriesColor(), clDefault);
  EXPECT_EQ(t->LinePen().Color(), t->SeriesColor());
  t->LinePen().SetWidth(2);
  EXPECT_EQ(t->ExplicitSeriesColor(), clDefault);
}

TEST_F(FastLine, DefaultsAndSubStyles) {
  EXPECT_TRUE(s->AutoRepaint());
  EXPECT_TRUE(s->DrawAllPoints());
  EXPECT_TRUE(s->IgnoreNulls());
  EXPECT_EQ(s->TreatNulls(), TTreatNullsStyle::tnIgnore);
  EXPECT_EQ(s->GetEditor(), "TFastLineSeriesEditor");
  std::vector<std::string> names;
  s->ListSubStyles([&](const std::string &n) { names.push_back(n); });
  EXPECT_EQ(names, (std::vector<std::string>{"Normal", "Marks", "Dotted", "Stairs"}));
  s->ApplySubStyle(2);
  EXPECT_TRUE(s->LinePen().SmallDots());
  s->ApplySubStyle(3);
  EXPECT_TRUE(s->Stairs());
}

TEST_F(FastLine, AssignCopiesTheSwitches) {
  TFastLineSeries other;
  other.SetAutoRepaint(false);
  other.SetDrawAllPoints(false);
  other.SetIgnoreNulls(false);
  other.SetStairs(true);
  other.SetInvertedStairs(true);
  other.SetFastPen(true);
  s->Assign(other);
  EXPECT_FALSE(s->AutoRepaint());
  EXPECT_FALSE(s->DrawAllPoints());
  EXPECT_FALSE(s->IgnoreNulls());
  EXPECT_TRUE(s->Stairs());
  EXPECT_TRUE(s->InvertedStairs());
  EXPECT_TRUE(s->FastPen());
}

TEST_F(FastLine, LegendSymbolIsAHorizontalLine) {
  c.Paint();
  c.recorder->log.clear();
  c.recorder->recording = true;
  s->DrawLegendShape(-1, TRect{10, 10, 30, 21});
  c.recorder->recording = false;
  EXPECT_EQ(c.recorder->log, (std::vector<std::string>{"MoveTo 10,15", "LineTo 30,15"}));
}

} // namespace
