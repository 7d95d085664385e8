// The nearest-point tool through real mouse events: the point found among
// 2D and 3D series, null points and points outside the chart skipped, the
// exclusive-or marker erased byte for byte, and leaving the chart.
#include "chart/engine/chart_support.h"

#include <QEvent>

#include <vector>

#include "chart/series/UloPoin3.h"
#include "chart/tools/UloCursorTool.h"

namespace {

using namespace chart_test;

class NearestTool : public WithChartUnits {
protected:
  static void SetUpTestSuite() {
    WithChartUnits::SetUpTestSuite();
    StartCursorToolUnit();
  }
  static void TearDownTestSuite() {
    StopCursorToolUnit();
    WithChartUnits::TearDownTestSuite();
  }

  void Make() {
    chart = ShownChart();
    chart->SetView3D(false);
    series = AddLineOfDots(*chart);
    tool = chart->Tools().Add(std::make_unique<TNearestTool>());
    tool->SetSeries(series);
    tool->OnChange = [this](TNearestTool *t) { found.push_back(t->Point); };
    chart->Invalidate();
    Settle();
  }
  int PX(double v) const { return chart_test::PX(*chart, v); }
  int PY(double v) const { return chart_test::PY(*chart, v); }
  std::vector<TColor> Surface() const { return chart_test::Surface(*chart); }
  void Leave() {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(W(*chart), &e);
  }

  TChart *chart = nullptr;
  TDotSeries *series = nullptr;
  TNearestTool *tool = nullptr;
  std::vector<int> found;
};

TEST_F(NearestTool, Defaults) {
  TNearestTool t;
  EXPECT_EQ(t.Brush().Style(), TBrushStyle::bsClear);
  EXPECT_EQ(t.Pen().Style(), TPenStyle::psDot);
  EXPECT_EQ(t.Pen().Color(), clWhite);
  EXPECT_TRUE(t.DrawLine());
  EXPECT_TRUE(t.FullRepaint());
  EXPECT_EQ(t.Size(), 20);
  EXPECT_EQ(t.Style(), TNearestToolStyle::hsCircle);
  EXPECT_EQ(t.Point, -1);
  EXPECT_EQ(t.GetEditor(), "TNearestToolEdit");
  EXPECT_EQ(t.GetGalleryName(), "Nearest Point");
}

TEST_F(NearestTool, MovingTheMouseFindsTheNearestPoint) {
  Make();
  struct Case {
    double x, y;
    int dx, dy, expected;
  };
  const std::vector<Case> cases{{4, 4, 9, -6, 4}, {0, 0, -12, 12, 0}, {7, 7, 0, 0, 7}, {10, 10, 30, 30, 10}};
  for (const auto &c : cases) {
    MoveTo(*chart, PX(c.x) + c.dx, PY(c.y) + c.dy, Qt::NoButton);
    EXPECT_EQ(tool->Point, c.expected) << c.x;
    EXPECT_EQ(tool->MousePoint().X, PX(c.x) + c.dx);
  }
  EXPECT_EQ(found.size(), cases.size()) << "OnChange after each search";
}

TEST_F(NearestTool, NullPointsAndPointsOutsideTheChartAreSkipped) {
  Make();
  series->SetValueColor(4, clNone);
  chart->Invalidate();
  Settle();
  EXPECT_NE(TNearestTool::FindNearestPoint(*series, PX(4) + 10, PY(4) - 1), 4);
  chart->BottomAxis()->SetMinMax(0, 6);
  chart->Invalidate();
  Settle();
  EXPECT_EQ(TNearestTool::FindNearestPoint(*series, chart->ChartRect.Right - 1, PY(9)), 6)
      << "points beyond the axis range lie outside the chart rectangle";
  TDotSeries empty;
  EXPECT_EQ(TNearestTool::FindNearestPoint(empty, 10, 10), -1);
}

TEST_F(NearestTool, ThreeDimensionalPointsAreFoundWhereTheyShow) {
  chart = ShownChart();
  chart->SetView3D(true);
  auto *s3 = chart->AddSeries(std::make_unique<TPoint3DSeries>());
  for (int i = 0; i < 5; ++i)
    s3->AddPointXYZ(i, i, 4 - i);
  chart->Invalidate();
  Settle();
  for (int i = 0; i < 5; ++i) {
    const TPoint p = chart->Canvas().ProjectPoint(s3->PointPixelX(i), s3->PointPixelY(i), s3->CalcZPos(i));
    EXPECT_EQ(TNearestTool::FindNearestPoint(*s3, p.X + 5, p.Y + 4), i);
  }
}

TEST_F(NearestTool, TheExclusiveOrMarkerIsErasedWhenTheMouseLeaves) {
  Make();
  tool->SetFullRepaint(false);
  tool->SetStyle(TNearestToolStyle::hsDiamond);
  chart->Invalidate();
  Settle();
  const std::vector<TColor> before = Surface();
  MoveTo(*chart, PX(3) + 15, PY(3) + 10, Qt::NoButton);
  EXPECT_EQ(tool->Point, 3);
  EXPECT_NE(Surface(), before);
  MoveTo(*chart, PX(6) + 15, PY(6) + 10, Qt::NoButton);
  EXPECT_EQ(tool->Point, 6);
  Leave();
  EXPECT_EQ(tool->Point, -1);
  EXPECT_EQ(Surface(), before) << "every marker drawn was drawn again to erase it";
}

TEST_F(NearestTool, EachStyleDrawsItsMarkerAndErasesIt) {
  Make();
  tool->SetFullRepaint(false);
  using S = TNearestToolStyle;
  for (S style : {S::hsNone, S::hsCircle, S::hsRectangle, S::hsDiamond, S::hsSeries}) {
    tool->SetStyle(style);
    chart->Invalidate();
    Settle();
    const std::vector<TColor> before = Surface();
    MoveTo(*chart, PX(5) + 12, PY(5) - 9, Qt::NoButton);
    EXPECT_NE(Surface(), before) << static_cast<int>(style) << " (the line at least)";
    Leave();
    EXPECT_EQ(Surface(), before) << static_cast<int>(style);
  }
}

TEST_F(NearestTool, WithFullRepaintTheChartRepaintsAndLeavingClearsThePoint) {
  Make();
  MoveTo(*chart, PX(2) + 8, PY(2) + 8, Qt::NoButton);
  EXPECT_EQ(tool->Point, 2);
  Settle();
  Leave();
  EXPECT_EQ(tool->Point, -1);
}

TEST_F(NearestTool, SeriesVisibleRangeKeepsWithinThePoints) {
  TDotSeries s;
  int first = 0, last = 0;
  EXPECT_FALSE(SeriesVisibleRange(s, first, last));
  for (int i = 0; i < 4; ++i)
    s.AddPoint(i);
  s.SetVisibleRange(-1, 9);
  EXPECT_TRUE(SeriesVisibleRange(s, first, last));
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 3);
  s.SetVisibleRange(1, 2);
  EXPECT_TRUE(SeriesVisibleRange(s, first, last));
  EXPECT_EQ(first, 1);
  EXPECT_EQ(last, 2);
}

} // namespace
