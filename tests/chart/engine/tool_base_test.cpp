// The tool base: the stages each tool hears, the mouse chain with its
// cancel flag, the mouse leaving, membership in the tool list, series and
// axis tools, and the stored "AxisID".
#include "chart/engine/panel_kit.h"

#include <QApplication>

#include "platform/streaming/Streaming.h"

namespace {

using namespace panel_test;

class ToolBase : public WithTexts {};

struct TAxisTestTool : TUloCustomToolAxis {
  std::string_view ClassName() const override { return "TAxisTestTool"; }
};

struct TSeriesTestTool : TUloCustomToolSeries {
  std::string_view ClassName() const override { return "TSeriesTestTool"; }
};

TEST_F(ToolBase, EachActiveToolHearsTheStagesInPaintOrder) {
  struct Case {
    bool axisBehind;
    const char *expected;
  };
  const Case cases[] = {
      {true, "a:2 b:2 a:3 b:3 a:1 b:1 a:4 b:4 a:0 b:0"},
      {false, "a:2 b:2 a:1 b:1 a:4 b:4 a:3 b:3 a:0 b:0"},
  };
  for (const Case &c : cases) {
    TLog log;
    TTestAxisPanel panel;
    panel.SetAxisBehind(c.axisBehind);
    panel.Tools().Add(std::make_unique<TTestTool>("a", &log));
    panel.Tools().Add(std::make_unique<TTestTool>("off", &log))->SetActive(false);
    panel.Tools().Add(std::make_unique<TTestTool>("b", &log));
    DrawOnce(panel);
    EXPECT_EQ(Join(log), c.expected);
  }
}

TEST_F(ToolBase, TheMouseChainStopsAtTheToolThatCancels) {
  struct Case {
    const char *name;
    int kind;
    int cancelOn;
    bool cancelBefore;
    const char *expected;
    bool cancelled;
  };
  const Case cases[] = {
      {"down, nobody cancels", UloToolMouseDown, -1, false, "a:m0@5,6 b:m0@5,6 c:m0@5,6", false},
      {"down, b cancels", UloToolMouseDown, UloToolMouseDown, false, "a:m0@5,6 b:m0@5,6", true},
      {"a stale flag is cleared before a down", UloToolMouseDown, -1, true, "a:m0@5,6 b:m0@5,6 c:m0@5,6", false},
      {"move, b cancels", UloToolMouseMove, UloToolMouseMove, false, "a:m1@5,6 b:m1@5,6", true},
      {"up, b cancels only downs", UloToolMouseUp, UloToolMouseDown, false, "a:m2@5,6 b:m2@5,6 c:m2@5,6", false},
  };
  for (const Case &c : cases) {
    TLog log;
    TTestAxisPanel panel;
    panel.Tools().Add(std::make_unique<TTestTool>("a", &log));
    panel.Tools().Add(std::make_unique<TTestTool>("b", &log))->CancelOn = c.cancelOn;
    panel.Tools().Add(std::make_unique<TTestTool>("off", &log))->SetActive(false);
    panel.Tools().Add(std::make_unique<TTestTool>("c", &log));
    panel.CancelMouse = c.cancelBefore;
    const bool cancelled = panel.BroadcastToolMouseEvent(c.kind, forms::TMouseButton::mbLeft, 0, 5, 6);
    EXPECT_EQ(Join(log), c.expected) << c.name;
    EXPECT_EQ(cancelled, c.cancelled) << c.name;
    log.clear();
    panel.BroadcastToolWheelEvent(2, 1, 1);
    EXPECT_EQ(Join(log), "a:w2 b:w2 c:w2") << c.name;
  }
}

TEST_F(ToolBase, LeavingTheWindowIsStageFive) {
  TLog log;
  auto *panel = chart_support::ShownInForm<TTestAxisPanel>(300, 200);
  panel->Tools().Add(std::make_unique<TTestTool>("a", &log));
  panel->Tools().Add(std::make_unique<TTestTool>("off", &log))->SetActive(false);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(panel->Widget(), &leave);
  EXPECT_EQ(Join(log), "a:5");
}

TEST_F(ToolBase, MembershipInTheToolList) {
  TTestAxisPanel one, two;
  TTestTool a("a"), b("b"), c("c");
  a.SetParentChart(&one);
  b.SetParentChart(&one);
  c.SetParentChart(&two);
  // A tool moves to the end of its new chart's list; adding through the
  // list is the same as setting the chart.
  a.SetParentChart(&two);
  one.Tools().Add(&c);
  ASSERT_EQ(one.Tools().Count(), 2);
  EXPECT_EQ(one.Tools()[0], &b);
  EXPECT_EQ(one.Tools()[1], &c);
  ASSERT_EQ(two.Tools().Count(), 1);
  EXPECT_EQ(two.Tools()[0], &a);
  // A tool that goes leaves the list.
  {
    TTestTool d("d");
    d.SetParentChart(&one);
    EXPECT_EQ(one.Tools().Count(), 3);
  }
  EXPECT_EQ(one.Tools().Count(), 2);
  // Clear frees the kept tools and detaches the others.
  bool freed = false;
  struct TWatched : TTestTool {
    bool *Freed = nullptr;
    ~TWatched() override { *Freed = true; }
  };
  one.Tools().Add(std::make_unique<TWatched>())->Freed = &freed;
  one.Tools().Clear();
  EXPECT_EQ(one.Tools().Count(), 0);
  EXPECT_TRUE(freed);
  EXPECT_EQ(b.ParentChart(), nullptr);
  a.SetParentChart(nullptr);
  // Tools outlive their chart safely.
  TAxisTestTool axisTool;
  TSeriesTestTool seriesTool;
  {
    TTestAxisPanel panel;
    axisTool.SetAxis(panel.LeftAxis());
    seriesTool.SetParentChart(&panel);
    EXPECT_EQ(panel.Tools().Count(), 2);
  }
  EXPECT_EQ(axisTool.ParentChart(), nullptr);
  EXPECT_EQ(axisTool.Axis(), nullptr);
  EXPECT_EQ(seriesTool.GetHorizAxis(), nullptr);
}

// ---- series tools

TEST_F(ToolBase, ASeriesToolFollowsItsSeriesUntilItGoes) {
  TTestAxisPanel panel;
  auto *tool = panel.Tools().Add(std::make_unique<TSeriesTestTool>());
  auto series = std::make_unique<TTestSeries>();
  series->SetParentChart(&panel);
  series->SetHorizAxis(THorizAxis::aTopAxis);
  series->SetVertAxis(TVertAxis::aRightAxis);
  tool->SetSeries(series.get());
  EXPECT_EQ(tool->GetHorizAxis(), panel.TopAxis());
  EXPECT_EQ(tool->GetVertAxis(), panel.RightAxis());
  // Without its own series the tool takes the axes the chart's series use.
  tool->SetSeries(nullptr);
  EXPECT_EQ(tool->GetHorizAxis(), panel.TopAxis());
  EXPECT_EQ(tool->GetVertAxis(), panel.RightAxis());
  tool->SetSeries(series.get());
  series.reset();
  EXPECT_EQ(tool->Series(), nullptr);
  EXPECT_EQ(tool->GetHorizAxis(), panel.BottomAxis());
  EXPECT_EQ(tool->GetVertAxis(), panel.LeftAxis());
}

// ---- axis tools

TEST_F(ToolBase, AnAxisToolJoinsItsAxisChartAndANullAxisTakesItOut) {
  TTestAxisPanel panel;
  TAxisTestTool tool;
  tool.SetAxis(panel.LeftAxis());
  EXPECT_EQ(tool.ParentChart(), &panel);
  EXPECT_EQ(panel.Tools().IndexOf(&tool), 0);
  tool.SetAxis(nullptr);
  EXPECT_EQ(tool.ParentChart(), nullptr);
  EXPECT_EQ(panel.Tools().Count(), 0);
  // A custom axis that goes takes itself out of the tool.
  TChartAxis *custom = panel.CustomAxes().Add();
  tool.SetAxis(custom);
  panel.CustomAxes().Delete(0);
  EXPECT_EQ(tool.Axis(), nullptr);
  EXPECT_EQ(tool.ParentChart(), &panel);
  tool.SetParentChart(nullptr);
}

class StoredAxisTool : public ToolBase {
protected:
  void SetUp() override {
    ToolBase::SetUp();
    streaming::ClassRegistry().RegisterClass<TAxisTestTool>("TAxisTestTool");
    streaming::ClassRegistry().RegisterClass<TTestAxisPanel>("TTestAxisPanel");
  }
  void TearDown() override {
    streaming::ClassRegistry().UnregisterClass("TAxisTestTool");
    streaming::ClassRegistry().UnregisterClass("TTestAxisPanel");
    ToolBase::TearDown();
  }
};

TEST_F(StoredAxisTool, AxisIDIsTheIndexInTheChartsAxes) {
  struct Case {
    const char *name;
    int axisIndex; // -1: no axis
    const char *stored;
  };
  const Case cases[] = {
      {"left axis", 2, "AxisID = 2"},
      {"depth-top axis", 5, "AxisID = 5"},
      {"first custom axis", 6, "AxisID = 6"},
      {"no axis", -1, nullptr},
  };
  for (const Case &c : cases) {
    TTestAxisPanel panel;
    panel.CustomAxes().Add();
    auto *tool = panel.Tools().Add(std::make_unique<TAxisTestTool>());
    tool->SetName("Tool1");
    if (c.axisIndex >= 0) tool->SetAxis(panel.Axes()[c.axisIndex]);
    const std::string text = streaming::WriteComponent(panel);
    if (c.stored) {
      EXPECT_NE(text.find(c.stored), std::string::npos) << c.name << "\n" << text;
    } else {
      EXPECT_EQ(text.find("AxisID"), std::string::npos) << c.name;
    }
    TTestAxisPanel back;
    streaming::ReadComponent(text, back);
    ASSERT_EQ(back.Tools().Count(), 1) << c.name;
    auto *read = dynamic_cast<TAxisTestTool *>(back.Tools()[0]);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Axis(), c.axisIndex >= 0 ? back.Axes()[c.axisIndex] : nullptr) << c.name;
  }
}

TEST_F(StoredAxisTool, AnAxisIDThatNamesNoAxisLeavesTheToolWithoutOne) {
  for (const char *id : {"6", "99", "-1", "2147483647"}) {
    TTestAxisPanel panel;
    streaming::ReadComponent(std::string("TTestAxisPanel { TAxisTestTool T1 { AxisID = ") + id + " } }", panel);
    ASSERT_EQ(panel.Tools().Count(), 1) << id;
    auto *tool = dynamic_cast<TAxisTestTool *>(panel.Tools()[0]);
    EXPECT_EQ(tool->Axis(), nullptr) << id;
    EXPECT_EQ(tool->ParentChart(), &panel) << id;
  }
}

} // namespace
