// The cursor tool through real mouse events on a shown chart: placing,
// dragging each part, snapping, following the mouse, the cursors shown
// over its parts, and its exclusive-or lines erased byte for byte.
#include "chart/engine/chart_support.h"

#include <vector>

#include "chart/tools/UloCursorTool.h"
#include "platform/forms/Cursors.h"

namespace {

using namespace chart_test;

class CursorTool : public WithChartUnits {
protected:
  static void SetUpTestSuite() {
    WithChartUnits::SetUpTestSuite();
    StartCursorToolUnit();
  }
  static void TearDownTestSuite() {
    StopCursorToolUnit();
    WithChartUnits::TearDownTestSuite();
  }

  // A shown chart with a line of dots (0,0)..(10,10) and a cursor tool on
  // it, painted once.
  void Make(TCursorToolStyle style = TCursorToolStyle::cssBoth) {
    chart = ShownChart();
    chart->SetView3D(false);
    series = AddLineOfDots(*chart);
    tool = chart->Tools().Add(std::make_unique<TCursorTool>());
    tool->SetSeries(series);
    tool->SetStyle(style);
    tool->OnChange = [this](TCursorTool *, int x, int y, double, double, TChartSeries *, int index) {
      changes.push_back({x, y, index});
    };
    chart->Invalidate();
    Settle();
  }
  int PX(double v) const { return chart_test::PX(*chart, v); }
  int PY(double v) const { return chart_test::PY(*chart, v); }
  std::vector<TColor> Surface() const { return chart_test::Surface(*chart); }

  struct Change {
    int x, y, index;
  };
  TChart *chart = nullptr;
  TDotSeries *series = nullptr;
  TCursorTool *tool = nullptr;
  std::vector<Change> changes;
};

TEST_F(CursorTool, AnUnplacedCursorGoesToTheMiddleAtTheFirstPaintOnce) {
  Make();
  TChartAxis *h = chart->BottomAxis();
  TChartAxis *v = chart->LeftAxis();
  EXPECT_EQ(tool->PixelX(), (h->IStartPos + h->IEndPos) / 2);
  EXPECT_EQ(tool->PixelY(), (v->IStartPos + v->IEndPos) / 2);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].x, tool->PixelX());
  EXPECT_EQ(changes[0].index, -1);
  chart->Invalidate();
  Settle();
  EXPECT_EQ(changes.size(), 1u) << "a placed cursor does not fire again when painted";
}

TEST_F(CursorTool, DraggingTheHorizontalLineMovesOnlyYAndErasesByteForByte) {
  Make();
  const std::vector<TColor> before = Surface();
  const double x0 = tool->XValue();
  const int px = tool->PixelX(), py = tool->PixelY();
  // Grab the horizontal line away from the crossing.
  const int gx = px - 40;
  MoveTo(*chart, gx, py + 2, Qt::NoButton);
  EXPECT_EQ(chart->Cursor(), UloCursorVSplit);
  Press(*chart, Qt::LeftButton, gx, py + 2);
  EXPECT_EQ(tool->DragPart(), 1);
  MoveTo(*chart, gx, py - 30, Qt::LeftButton);
  EXPECT_EQ(tool->PixelY(), py - 30);
  EXPECT_EQ(tool->XValue(), x0);
  // Where the line was, the chart shows again; the line was that pixel
  // xor the pen colour xor the chart colour.
  const gdi::Bitmap &shown = chart->WindowSurface();
  const int w = shown.Width();
  const TColor xorColour = ColorToRGB(clBlack) ^ (ColorToRGB(chart->Color()) & 0xFFFFFF);
  EXPECT_EQ(before[static_cast<size_t>(py * w + gx - 20)], shown.Pixel(gx - 20, py) ^ xorColour);
  EXPECT_NE(Surface(), before);
  if (std::getenv("KVEL_SAVE_PNG")) {
    chart->WindowSurface().SaveToFile("/tmp/series/cursor_surface.png");
    W(*chart)->grab().save("/tmp/series/cursor_shown.png");
  }
  MoveTo(*chart, gx, py, Qt::LeftButton);
  Release(*chart, Qt::LeftButton, gx, py);
  EXPECT_EQ(tool->DragPart(), 0);
  EXPECT_EQ(tool->PixelY(), py);
  EXPECT_EQ(Surface(), before) << "drawing twice erases";
  EXPECT_FALSE(chart->Zoom().Active) << "the press went to the tool, not to the zoom";
}

TEST_F(CursorTool, EachPartShowsItsCursorAndDragsItsValues) {
  Make();
  const int px = tool->PixelX(), py = tool->PixelY();
  struct Case {
    int x, y, part, cursor;
  };
  const std::vector<Case> cases{
      {px + 1, py + 1, 3, UloCursorSizeAll},
      {px - 50, py - 3, 1, UloCursorVSplit},
      {px + 3, py + 60, 2, UloCursorHSplit},
  };
  for (const auto &c : cases) {
    MoveTo(*chart, c.x, c.y, Qt::NoButton);
    EXPECT_EQ(chart->Cursor(), c.cursor) << c.part;
    EXPECT_EQ(tool->GetDragPart(c.x, c.y), c.part);
  }
  chart->SetCursor(forms::kCursorDefault);
  MoveTo(*chart, px - 50, py - 4, Qt::NoButton);
  EXPECT_EQ(chart->Cursor(), forms::kCursorDefault) << "four pixels away is beyond the tolerance";
  // The vertical line moves X only.
  const double y0 = tool->YValue();
  Press(*chart, Qt::LeftButton, px, py + 60);
  MoveTo(*chart, PX(7), py + 60, Qt::LeftButton);
  Release(*chart, Qt::LeftButton, PX(7), py + 60);
  EXPECT_NEAR(tool->XValue(), 7, 0.05);
  EXPECT_EQ(tool->YValue(), y0);
}

struct PartCase {
  TCursorToolStyle style;
  int dx, dy, part;
};

TEST_F(CursorTool, DragPartsByStyle) {
  Make();
  const int px = tool->PixelX(), py = tool->PixelY();
  using S = TCursorToolStyle;
  const std::vector<PartCase> cases{
      {S::cssBoth, 3, -3, 3},      {S::cssBoth, 4, 0, 1},     {S::cssBoth, 0, 4, 2},     {S::cssHorizontal, 0, 0, 1},
      {S::cssHorizontal, 0, 9, 0}, {S::cssVertical, 0, 0, 2}, {S::cssVertical, 9, 0, 0}, {S::cssScope, 1, 1, 3},
      {S::cssScopeOnly, 2, 2, 3},  {S::cssBoth, 10, 10, 0},
  };
  for (const auto &c : cases) {
    tool->SetStyle(c.style);
    EXPECT_EQ(tool->GetDragPart(px + c.dx, py + c.dy), c.part)
        << static_cast<int>(c.style) << " " << c.dx << "," << c.dy;
  }
}

TEST_F(CursorTool, SnappingToTheSeriesFiresOnSnapChangeWhenTheIndexChanges) {
  Make(TCursorToolStyle::cssVertical);
  tool->SetSnap(true);
  std::vector<int> snaps;
  tool->OnSnapChange = [&](TCursorTool *, int, int, double, double, TChartSeries *, int i) { snaps.push_back(i); };
  const int py = tool->PixelY() + 40;
  Press(*chart, Qt::LeftButton, tool->PixelX(), py);
  MoveTo(*chart, PX(3.3), py, Qt::LeftButton);
  EXPECT_EQ(tool->XValue(), 3);
  EXPECT_EQ(tool->PixelX(), PX(3));
  MoveTo(*chart, PX(3.2), py, Qt::LeftButton);
  MoveTo(*chart, PX(7.8), py, Qt::LeftButton);
  Release(*chart, Qt::LeftButton, PX(7.8), py);
  EXPECT_EQ(tool->XValue(), 8);
  EXPECT_EQ(snaps, (std::vector<int>{3, 8}));
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.back().index, 8);
}

TEST_F(CursorTool, EqualSnapDistancesGoToTheLowerIndex) {
  Make(TCursorToolStyle::cssVertical);
  tool->SetSnap(true);
  tool->SetXValue(4.5);
  double distance = 0;
  EXPECT_EQ(tool->FindSnapPoint(distance), 4);
  EXPECT_DOUBLE_EQ(distance, 0.5);
  tool->SetSnapStyle(TSnapStyle::ssHorizontal);
  tool->SetYValue(6.5);
  EXPECT_EQ(tool->FindSnapPoint(distance), 6);
}

TEST_F(CursorTool, FollowMouseMovesWithoutAButtonInsideTheLimits) {
  Make();
  tool->SetFollowMouse(true);
  MoveTo(*chart, PX(2), PY(6), Qt::NoButton);
  EXPECT_NEAR(tool->XValue(), 2, 0.05);
  EXPECT_NEAR(tool->YValue(), 6, 0.05);
  const double x = tool->XValue();
  MoveTo(*chart, chart->BottomAxis()->IEndPos + 5, PY(6), Qt::NoButton);
  EXPECT_EQ(tool->XValue(), x) << "outside the axis rectangle the cursor stays";
  Press(*chart, Qt::LeftButton, PX(5), PY(5));
  EXPECT_EQ(tool->DragPart(), 0) << "with FollowMouse a press grabs nothing";
  Release(*chart, Qt::LeftButton, PX(5), PY(5));
}

TEST_F(CursorTool, ADraggedPartStopsAtTheCursorLimits) {
  Make(TCursorToolStyle::cssVertical);
  const int py = tool->PixelY() + 20;
  Press(*chart, Qt::LeftButton, tool->PixelX(), py);
  MoveTo(*chart, PX(9), py, Qt::LeftButton);
  const int x = tool->PixelX();
  MoveTo(*chart, chart->BottomAxis()->IEndPos + 8, py, Qt::LeftButton);
  Release(*chart, Qt::LeftButton, chart->BottomAxis()->IEndPos + 8, py);
  EXPECT_EQ(tool->PixelX(), x);
}

TEST_F(CursorTool, StoredAndReadBack) {
  Make(TCursorToolStyle::cssScope);
  tool->SetScopeStyle(TScopeCursorStyle::scsCamera);
  tool->SetHorizSize(12);
  tool->SetSnap(true);
  TCursorTool copy;
  copy.Assign(*tool);
  EXPECT_EQ(copy.Style(), TCursorToolStyle::cssScope);
  EXPECT_EQ(copy.ScopeStyle(), TScopeCursorStyle::scsCamera);
  EXPECT_EQ(copy.HorizSize(), 12);
  EXPECT_TRUE(copy.Snap());
  EXPECT_EQ(copy.XValue(), tool->XValue());
  EXPECT_EQ(copy.GetEditor(), "TCursorToolEditor");
  EXPECT_EQ(copy.GetGalleryName(), "Cursor");
}

TEST_F(CursorTool, ScopeFiguresAreErasedByteForByte) {
  Make(TCursorToolStyle::cssScope);
  using SS = TScopeCursorStyle;
  for (SS s : {SS::scsRectangle, SS::scsCircle, SS::scsDiamond, SS::scsEmpty, SS::scsCamera}) {
    tool->SetScopeStyle(s);
    tool->SetHorizSize(s == SS::scsCamera ? 10 : 0);
    chart->Invalidate();
    Settle();
    const std::vector<TColor> before = Surface();
    const int px = tool->PixelX(), py = tool->PixelY();
    Press(*chart, Qt::LeftButton, px, py);
    MoveTo(*chart, px + 25, py + 15, Qt::LeftButton);
    MoveTo(*chart, px, py, Qt::LeftButton);
    Release(*chart, Qt::LeftButton, px, py);
    EXPECT_EQ(Surface(), before) << static_cast<int>(s);
  }
}

} // namespace

namespace {

using namespace chart_test;

class CursorStored : public WithChartUnits {
protected:
  static void SetUpTestSuite() {
    WithChartUnits::SetUpTestSuite();
    StartCursorToolUnit();
    streaming::ClassRegistry().RegisterClass<TDotSeries>("TDotSeries");
  }
  static void TearDownTestSuite() {
    streaming::ClassRegistry().UnregisterClass("TDotSeries");
    StopCursorToolUnit();
    WithChartUnits::TearDownTestSuite();
  }
};

TEST_F(CursorStored, BothToolsAreWrittenAndReadBack) {
  TChart chart;
  chart.SetName("Chart1");
  auto *series = chart.AddSeries(std::make_unique<TDotSeries>());
  series->SetName("Series1");
  auto *cursor = chart.Tools().Add(std::make_unique<TCursorTool>());
  cursor->SetName("Cursor1");
  cursor->SetStyle(TCursorToolStyle::cssScope);
  cursor->SetScopeStyle(TScopeCursorStyle::scsDiamond);
  cursor->SetSnap(true);
  cursor->SetClickTolerance(6);
  cursor->Pen().SetColor(clRed);
  auto *nearest = chart.Tools().Add(std::make_unique<TNearestTool>());
  nearest->SetName("Nearest1");
  nearest->SetStyle(TNearestToolStyle::hsRectangle);
  nearest->SetFullRepaint(false);
  nearest->SetSize(7);
  nearest->LinePen().SetColor(clBlue);
  const std::string text = streaming::WriteComponent(chart);
  auto read = streaming::ReadComponent(text);
  auto *back = dynamic_cast<TChart *>(read.get());
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->Tools().Count(), 2);
  auto *c = dynamic_cast<TCursorTool *>(back->Tools()[0]);
  auto *n = dynamic_cast<TNearestTool *>(back->Tools()[1]);
  ASSERT_NE(c, nullptr);
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(c->Style(), TCursorToolStyle::cssScope);
  EXPECT_EQ(c->ScopeStyle(), TScopeCursorStyle::scsDiamond);
  EXPECT_TRUE(c->Snap());
  EXPECT_EQ(c->ClickTolerance(), 6);
  EXPECT_EQ(c->Pen().Color(), clRed);
  EXPECT_EQ(n->Style(), TNearestToolStyle::hsRectangle);
  EXPECT_FALSE(n->FullRepaint());
  EXPECT_EQ(n->Size(), 7);
  EXPECT_EQ(n->LinePen().Color(), clBlue);
  EXPECT_EQ(n->Pen().Color(), clWhite);
  EXPECT_EQ(n->Pen().Style(), TPenStyle::psDot);
  EXPECT_EQ(streaming::WriteComponent(*back), text);
  TNearestTool plain;
  plain.SetName("Plain");
  const std::string plainText = streaming::WriteComponent(plain);
  EXPECT_EQ(plainText.find("Pen."), std::string::npos) << plainText;
  EXPECT_EQ(plainText.find("Brush."), std::string::npos) << plainText;
}

} // namespace

namespace {

using namespace chart_test;

class CursorDepth : public WithChartUnits {
protected:
  static void SetUpTestSuite() {
    WithChartUnits::SetUpTestSuite();
    StartCursorToolUnit();
  }
  static void TearDownTestSuite() {
    StopCursorToolUnit();
    WithChartUnits::TearDownTestSuite();
  }
};

// With UseSeriesZ the mouse is taken back through the 3D projection at the
// series' middle depth, so the cursor lands on the point shown there.
TEST_F(CursorDepth, UseSeriesZMapsTheMouseAtTheSeriesDepth) {
  TChart *chart = ShownChart();
  chart->SetView3D(true);
  TDotSeries *series = AddLineOfDots(*chart);
  auto *tool = chart->Tools().Add(std::make_unique<TCursorTool>());
  tool->SetSeries(series);
  tool->SetFollowMouse(true);
  tool->SetUseSeriesZ(true);
  chart->Invalidate();
  Settle();
  ASSERT_GT(series->MiddleZ, 0);
  const int x = chart->BottomAxis()->CalcXPosValue(3), y = chart->LeftAxis()->CalcYPosValue(6);
  const TPoint shown = chart->Canvas().ProjectPoint(x, y, series->MiddleZ);
  ASSERT_NE(shown.X, x);
  MoveTo(*chart, shown.X, shown.Y, Qt::NoButton);
  EXPECT_NEAR(tool->XValue(), 3, 0.1);
  EXPECT_NEAR(tool->YValue(), 6, 0.1);
  EXPECT_NEAR(tool->PixelX(), x, 1);
  tool->SetUseSeriesZ(false);
  MoveTo(*chart, shown.X, shown.Y, Qt::NoButton);
  EXPECT_EQ(tool->PixelX(), shown.X) << "without it the mouse is read at depth 0";
}

} // namespace
