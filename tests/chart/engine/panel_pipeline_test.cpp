// The paint pipeline: the order of its steps and of the tools' stages, the
// chart rectangle the axes leave, the depth slots, interleaved drawing of
// series sharing a z-order, one paint per change, and a paint that fails.
#include "chart/ChartTestSupport.h"
#include "chart/engine/panel_kit.h"

#include <QTest>

#include <stdexcept>

namespace {

using namespace panel_test;

class PanelPipeline : public WithTexts {
protected:
  // A shown form holding one panel, painted once.
  TTestAxisPanel *ShownPanel() { return chart_support::ShownInForm<TTestAxisPanel>(400, 250); }
  static void Settle() { chart_support::Settle(); }
};

void AddPoints(TChartSeries &s, int n) {
  for (int i = 0; i < n; ++i)
    s.AddPointXY(i, i * 2.0);
}

void Observe(TTestAxisPanel &panel, TLog &log) {
  panel.Log = &log;
  panel.OnBeforeDrawChart = [&log](TCustomAxisPanel *) { log.push_back("before-chart"); };
  panel.OnBeforeDrawAxes = [&log](TCustomAxisPanel *) { log.push_back("before-axes"); };
  panel.OnBeforeDrawSeries = [&log](TCustomAxisPanel *) { log.push_back("before-series"); };
  panel.OnAfterDraw = [&log] { log.push_back("after-draw"); };
}

TEST_F(PanelPipeline, StepsRunInTheirOrderWithTheAxesBehindOrInFront) {
  struct Case {
    bool axisBehind, axisVisible;
    const char *expected;
  };
  const Case cases[] = {
      {true, true,
       "background t:2 before-chart prepare:a titles-before walls-rect walls t:3 before-axes t:1 before-series "
       "before:a points:a after:a t:4 titles-after t:0 after-draw"},
      {false, true,
       "background t:2 before-chart prepare:a titles-before walls-rect walls t:1 before-series before:a points:a "
       "after:a t:4 t:3 before-axes titles-after t:0 after-draw"},
      // Without visible axes the axes' event does not fire; the stage does.
      {true, false,
       "background t:2 before-chart prepare:a titles-before walls-rect walls t:3 t:1 before-series before:a "
       "points:a after:a t:4 titles-after t:0 after-draw"},
  };
  for (const Case &c : cases) {
    TLog log;
    TTestAxisPanel panel;
    panel.SetView3D(false);
    panel.SetAxisBehind(c.axisBehind);
    panel.SetAxisVisible(c.axisVisible);
    auto *s = panel.AddSeries(std::make_unique<TTestSeries>("a", &log));
    AddPoints(*s, 5);
    // Inactive series and tools take no part.
    auto *off = panel.AddSeries(std::make_unique<TTestSeries>("off", &log));
    AddPoints(*off, 5);
    off->SetActive(false);
    panel.Tools().Add(std::make_unique<TTestTool>("off", &log))->SetActive(false);
    panel.Tools().Add(std::make_unique<TTestTool>("t", &log));
    Observe(panel, log);
    DrawOnce(panel);
    EXPECT_EQ(Join(log), c.expected) << c.axisBehind << c.axisVisible;
    EXPECT_TRUE(panel.AutoRepaint());
  }
}

TEST_F(PanelPipeline, SeriesToolsHearTheirOwnSeriesAroundItsValuesAndMarks) {
  struct TSeriesTool : TUloCustomToolSeries {
    TLog *Log = nullptr;
    std::string_view ClassName() const override { return "TSeriesTool"; }
    void SeriesDrawEvent(int stage) override { Log->push_back("tool:" + std::to_string(stage)); }
  };
  TLog log;
  TTestAxisPanel panel;
  panel.SetView3D(false);
  auto *a = panel.AddSeries(std::make_unique<TTestSeries>("a", &log));
  auto *b = panel.AddSeries(std::make_unique<TTestSeries>("b", &log));
  AddPoints(*a, 3);
  AddPoints(*b, 3);
  auto *tool = panel.Tools().Add(std::make_unique<TSeriesTool>());
  tool->Log = &log;
  tool->SetSeries(b);
  DrawOnce(panel);
  EXPECT_EQ(Join(log), "prepare:a prepare:b before:a points:a after:a tool:1 before:b points:b tool:4 after:b");
}

TEST_F(PanelPipeline, UnusedAxesReserveNoSpace) {
  // With every series on the bottom and left axes, only those two take
  // space; an empty chart shows all four.
  struct Case {
    const char *name;
    bool withSeries;
    bool left, bottom, right, top; // edges moved in from the panel's margins
  };
  const Case cases[] = {
      {"bottom and left series", true, true, true, false, false},
      {"no series", false, true, true, true, true},
  };
  for (const Case &c : cases) {
    TTestAxisPanel panel;
    panel.SetView3D(false);
    panel.SetBevelOuter(TBevelCut::bvNone);
    if (c.withSeries) AddPoints(*panel.AddSeries(std::make_unique<TTestSeries>()), 10);
    DrawOnce(panel);
    // The panel's margins alone: 3% and 4% of 400 x 250.
    const TRect margins{12, 10, 388, 240};
    EXPECT_EQ(panel.ChartRect.Left > margins.Left, c.left) << c.name;
    EXPECT_EQ(panel.ChartRect.Bottom < margins.Bottom, c.bottom) << c.name;
    EXPECT_EQ(panel.ChartRect.Right < margins.Right, c.right) << c.name;
    EXPECT_EQ(panel.ChartRect.Top > margins.Top, c.top) << c.name;
    EXPECT_EQ(panel.ChartWidth, panel.ChartRect.Right - panel.ChartRect.Left) << c.name;
    EXPECT_EQ(panel.ChartHeight, panel.ChartRect.Bottom - panel.ChartRect.Top) << c.name;
    EXPECT_EQ(panel.BottomAxis()->Shown, true) << c.name;
    EXPECT_EQ(panel.TopAxis()->Shown, !c.withSeries) << c.name;
    EXPECT_FALSE(panel.DepthAxis()->Shown) << c.name;
  }
}

TEST_F(PanelPipeline, TitlesShrinkTheRectangleBeforeTheAxesDo) {
  TTestAxisPanel panel;
  panel.SetView3D(false);
  panel.SetBevelOuter(TBevelCut::bvNone);
  AddPoints(*panel.AddSeries(std::make_unique<TTestSeries>()), 10);
  DrawOnce(panel);
  const TRect plain = panel.ChartRect;
  panel.Titles = [&panel](bool before) {
    if (before) panel.ChartRect.Top += 30;
  };
  DrawOnce(panel);
  EXPECT_EQ(panel.ChartRect.Top, plain.Top + 30);
  EXPECT_EQ(panel.ChartRect.Left, plain.Left);
  EXPECT_EQ(panel.ChartRect.Bottom, plain.Bottom);
  // The vertical axis spans the smaller rectangle.
  EXPECT_EQ(panel.LeftAxis()->IStartPos, plain.Top + 30);
  EXPECT_EQ(panel.LeftAxis()->IEndPos, plain.Bottom);
}

TEST_F(PanelPipeline, SeriesMarginsWidenTheAutomaticSidesOnly) {
  TTestAxisPanel panel;
  panel.SetView3D(false);
  auto *s = panel.AddSeries(std::make_unique<TTestSeries>());
  AddPoints(*s, 11); // X 0..10
  s->MarginLow = 20;
  s->MarginHigh = 20;
  DrawOnce(panel);
  TChartAxis *bottom = panel.BottomAxis();
  // The values 0 and 10 sit 20 pixels inside the axis ends.
  EXPECT_NEAR(bottom->CalcXPosValue(0), bottom->IStartPos + 20, 1);
  EXPECT_NEAR(bottom->CalcXPosValue(10), bottom->IEndPos - 20, 1);
  bottom->SetAutomaticMaximum(false);
  bottom->SetMaximum(10);
  DrawOnce(panel);
  EXPECT_NEAR(bottom->CalcXPosValue(0), bottom->IStartPos + 20, 1);
  EXPECT_EQ(bottom->CalcXPosValue(10), bottom->IEndPos);
}

// ---- depth

TEST_F(PanelPipeline, DepthSlotsAndSizes) {
  struct Case {
    const char *name;
    bool view3D, orthogonal, invertedDepth;
    std::vector<int> zOrders; // -1 automatic
    std::vector<int> depthSlots;
    int seriesDepth, horizDepth;
  };
  const Case cases[] = {
      {"three automatic, orthogonal", true, true, false, {-1, -1, -1}, {2, 1, 0}, 6, 18},
      {"three automatic, perspective", true, false, false, {-1, -1, -1}, {2, 1, 0}, 12, 36},
      {"depth axis inverted", true, true, true, {-1, -1, -1}, {0, 1, 2}, 6, 18},
      {"explicit z-orders", true, true, false, {3, -1, 0}, {1, 0, 4}, 6, 30},
      {"2D", false, true, false, {-1, 2, -1}, {0, 0, 0}, 0, 0},
      // A huge explicit z-order must not overflow the depth.
      {"huge z-order", true, true, false, {2147483647}, {0}, 6, UloMaxPixel},
  };
  for (const Case &c : cases) {
    TTestAxisPanel panel;
    panel.SetView3D(c.view3D);
    panel.View3DOptions().SetOrthogonal(c.orthogonal);
    panel.DepthAxis()->SetInverted(c.invertedDepth);
    std::vector<TTestSeries *> series;
    for (int z : c.zOrders) {
      auto *s = panel.AddSeries(std::make_unique<TTestSeries>());
      if (z >= 0) s->SetZOrder(z);
      series.push_back(s);
    }
    panel.ChartWidth = 400;
    panel.CalcZOrders();
    panel.CalcSize3DWalls();
    for (size_t i = 0; i < series.size(); ++i)
      EXPECT_EQ(series[i]->ComputedZOrder(), c.depthSlots[i]) << c.name << " series " << i;
    EXPECT_EQ(panel.SeriesDepth(), c.seriesDepth) << c.name;
    EXPECT_EQ(panel.HorizDepth, c.horizDepth) << c.name;
  }
}

TEST_F(PanelPipeline, ReversedDepthFollowsTheView) {
  struct Case {
    bool view3D, orthogonal;
    int rotation, orthoAngle;
    bool reversed;
  };
  const Case cases[] = {
      {true, false, 170, 45, true}, {true, false, 200, 45, false}, {true, true, 345, 45, false},
      {true, true, 345, 91, true},  {true, true, 345, 90, false},  {false, false, 170, 45, false},
  };
  for (const Case &c : cases) {
    TTestAxisPanel panel;
    panel.SetView3D(c.view3D);
    panel.View3DOptions().SetOrthogonal(c.orthogonal);
    panel.View3DOptions().SetRotation(c.rotation);
    panel.View3DOptions().SetOrthoAngle(c.orthoAngle);
    DrawOnce(panel);
    EXPECT_EQ(panel.ReversedDepth(), c.reversed) << c.rotation << " " << c.orthoAngle;
    // The default view sees the chart from the front: not flipped.
    if (c.orthoAngle == 45 && c.orthogonal == c.view3D) {
      EXPECT_FALSE(panel.ChartRectFlipped(0) || panel.ChartRectFlipped(panel.HorizDepth));
    }
  }
}

TEST_F(PanelPipeline, SeriesSharingAZOrderDrawPointByPoint) {
  // A kind that never draws interleaved, on the same z-order as a and b.
  struct TAlone : TTestSeries {
    using TTestSeries::TTestSeries;
    bool CanShareZOrder() const override { return false; }
  };
  TLog log;
  TTestAxisPanel panel;
  panel.SetView3D(true);
  TTestSeries *x = panel.AddSeries(std::make_unique<TAlone>("x", &log));
  auto *a = panel.AddSeries(std::make_unique<TTestSeries>("a", &log));
  auto *b = panel.AddSeries(std::make_unique<TTestSeries>("b", &log));
  auto *c = panel.AddSeries(std::make_unique<TTestSeries>("c", &log));
  for (TTestSeries *s : {x, a, b, c})
    s->NotePoints = true;
  AddPoints(*x, 2);
  AddPoints(*a, 3);
  AddPoints(*b, 2);
  AddPoints(*c, 2);
  for (TTestSeries *s : {x, a, b})
    s->SetZOrder(0);
  c->SetZOrder(1);
  DrawOnce(panel);
  // Seen from the front the list order holds: x alone, once; a and b (the
  // deeper slot) interleaved over the common range 0..2; then c alone.
  EXPECT_EQ(Join(log), "prepare:x prepare:a prepare:b prepare:c before:x points:x x0 x1 after:x before:a before:b a0 "
                       "b0 a1 b1 a2 after:a after:b before:c points:c c0 c1 after:c");
}

// ---- paints in a window

TEST_F(PanelPipeline, OneChangeOnePaint) {
  TTestAxisPanel *panel = ShownPanel();
  const int start = panel->Draws;
  EXPECT_GE(start, 1);
  panel->SetChart3DPercent(30);
  Settle();
  EXPECT_EQ(panel->Draws, start + 1);
  panel->SetChart3DPercent(30);
  Settle();
  EXPECT_EQ(panel->Draws, start + 1);
  // A series filled inside one update: one paint for all of it.
  auto *s = panel->AddSeries(std::make_unique<TTestSeries>());
  {
    TSeriesUpdateGuard update(*s);
    AddPoints(*s, 100);
  }
  Settle();
  EXPECT_EQ(panel->Draws, start + 2);
  // Setters used by events during the paint ask for nothing more.
  panel->OnBeforeDrawSeries = [](TCustomAxisPanel *p) { p->SetClipPoints(!p->ClipPoints()); };
  panel->Invalidate();
  Settle();
  EXPECT_EQ(panel->Draws, start + 3);
}

TEST_F(PanelPipeline, AFailingPaintShowsOneErrorAndLeavesTheChartUsable) {
  struct TThrowingSeries : TTestSeries {
    bool Throw = true;
    void DrawVisiblePoints() override {
      if (Throw) throw rtl::Exception("broken series");
    }
  };
  TTestAxisPanel *panel = ShownPanel();
  panel->SetBevelOuter(TBevelCut::bvNone);
  panel->SetColor(clRed);
  auto *s = panel->AddSeries(std::make_unique<TThrowingSeries>());
  AddPoints(*s, 5);
  Settle();
  ASSERT_EQ(user.Boxes.size(), 1u);
  EXPECT_EQ(user.Boxes[0].Text, "broken series");
  user.Boxes.clear();
  EXPECT_TRUE(panel->AutoRepaint());
  // Nothing repeats the failed paint on its own.
  Settle();
  EXPECT_TRUE(user.Boxes.empty());
  s->Throw = false;
  const int draws = panel->Draws;
  panel->Invalidate();
  Settle();
  EXPECT_EQ(panel->Draws, draws + 1);
  EXPECT_TRUE(user.Boxes.empty());
  // No clip was left behind: the whole background is painted again.
  gdi::Bitmap target(400, 250);
  panel->Draw(&target.DC(), TRect{0, 0, 400, 250});
  EXPECT_EQ(target.Pixel(1, 1), clRed);
  EXPECT_EQ(target.Pixel(398, 248), clRed);
}

TEST_F(PanelPipeline, AFailureOutsideTheWindowReachesTheCallerWithTheStateRestored) {
  TTestAxisPanel panel;
  panel.OnBeforeDrawChart = [](TCustomAxisPanel *) { throw rtl::Exception("event failed"); };
  EXPECT_THROW(DrawOnce(panel), rtl::Exception);
  EXPECT_TRUE(panel.AutoRepaint());
  panel.OnBeforeDrawChart = nullptr;
  EXPECT_NO_THROW(DrawOnce(panel));
}

} // namespace
