// Series marks dragged with the mouse, and mark texts shown in the
// tool-tip window for the point under the mouse.
#include "tools_support.h"

#include "platform/forms/Cursors.h"
#include "platform/forms/Timer.h"
#include "platform/forms/ToolTip.h"

#include <memory>
#include <string>
#include <vector>

namespace {

using tools_test::TDotSeries;

using chart_test::Drag;
using chart_test::MoveTo;
using chart_test::Press;
using chart_test::Release;

class DragMarks : public tools_test::WithTools {};

TEST_F(DragMarks, AMarkFollowsTheMouse) {
  TDotSeries *series = nullptr;
  TChart *chart = DotsChart(&series);
  series->Marks().SetVisible(true);
  Paint(*chart);
  auto *tool = chart->Tools().Add(std::make_unique<TDragMarksTool>());
  TSeriesMarkPosition *pos = series->Marks().Positions().Position(4);
  ASSERT_NE(pos, nullptr);
  const TSeriesMarkPosition before = *pos;
  const TRect r = before.Bounds();
  const int x = (r.Left + r.Right) / 2, y = (r.Top + r.Bottom) / 2;
  std::vector<int> dragging;
  std::vector<TPoint> released;
  tool->OnDraggingMark = [&](TDragMarksTool *, int index, forms::TMouseButton, forms::TShiftState, int, int) {
    dragging.push_back(index);
  };
  tool->OnDraggedMark = [&](TDragMarksTool *, int index, forms::TMouseButton button, forms::TShiftState, int ux,
                            int uy) {
    EXPECT_EQ(index, 4);
    EXPECT_EQ(button, forms::TMouseButton::mbLeft);
    released.push_back({ux, uy});
  };
  const double minX = chart->BottomAxis()->Minimum();
  Drag(*chart, Qt::LeftButton, x, y, x + 20, y - 12);
  EXPECT_EQ(dragging, (std::vector<int>{4, 4, 4, 4}));
  EXPECT_EQ(released, (std::vector<TPoint>{{x + 20, y - 12}}));
  EXPECT_TRUE(pos->Custom);
  EXPECT_EQ(pos->LeftTop, (TPoint{before.LeftTop.X + 20, before.LeftTop.Y - 12}));
  EXPECT_EQ(pos->ArrowTo, (TPoint{before.ArrowTo.X + 20, before.ArrowTo.Y - 12}));
  // The press was the tool's: the chart did not zoom.
  EXPECT_EQ(chart->BottomAxis()->Minimum(), minX);
}

TEST_F(DragMarks, NoMarkUnderThePressStartsNoDrag) {
  TDotSeries *series = nullptr;
  TChart *chart = DotsChart(&series);
  // Hidden marks have no positions: nothing to take hold of.
  auto *tool = chart->Tools().Add(std::make_unique<TDragMarksTool>());
  int events = 0;
  tool->OnDraggingMark = [&](TDragMarksTool *, int, forms::TMouseButton, forms::TShiftState, int, int) { ++events; };
  Press(*chart, Qt::LeftButton, 200, 150);
  EXPECT_EQ(tool->DraggedIndex(), -1);
  MoveTo(*chart, 210, 150, Qt::LeftButton);
  Release(*chart, Qt::LeftButton, 210, 150);
  EXPECT_EQ(events, 0);
}

// ---- tips --------------------------------------------------------------------------------

class MarkTips : public tools_test::WithTools {
protected:
  void SetUp() override {
    forms::SetHintPause(0);
    forms::SetHintHidePause(60000);
  }
  void TearDown() override {
    forms::CancelHint();
    forms::SetTimerFactory({});
    forms::SetHintPause(500);
    forms::SetHintHidePause(2500);
    tools_test::WithTools::TearDown();
  }
  // The pixel of point I.
  static TPoint At(TDotSeries &s, int i) { return TPoint{s.PixelX(i), s.PixelY(i)}; }
};

TEST_F(MarkTips, ThePointUnderTheMouseShowsItsText) {
  TDotSeries *series = nullptr;
  TChart *chart = DotsChart(&series);
  for (int i = 0; i < series->PointCount(); ++i)
    series->SetLabel(i, "point " + std::to_string(i));
  auto *tool = chart->Tools().Add(std::make_unique<TMarksTipTool>());
  int cancels = 0;
  tool->OnCancelHint = [&](TMarksTipTool *) { ++cancels; };
  const TPoint p = At(*series, 3);
  MoveTo(*chart, p.X, p.Y, Qt::NoButton);
  EXPECT_TRUE(forms::HintShowing());
  EXPECT_EQ(forms::ShownHint(), "point 3");
  // Off every point the tip goes.
  MoveTo(*chart, p.X + 15, p.Y + 40, Qt::NoButton);
  EXPECT_FALSE(forms::HintShowing());
  EXPECT_EQ(cancels, 1);
}

TEST_F(MarkTips, ClickModeWaitsForAPress) {
  TDotSeries *series = nullptr;
  TChart *chart = DotsChart(&series);
  auto *tool = chart->Tools().Add(std::make_unique<TMarksTipTool>());
  tool->SetMouseAction(TMarkToolMouseAction::mtmClick);
  tool->SetStyle(TSeriesMarksStyle::smsPointIndex);
  tool->OnGetText = [](TMarksTipTool *, std::string &text) { text = "#" + text; };
  const TPoint p = At(*series, 5);
  MoveTo(*chart, p.X, p.Y, Qt::NoButton);
  EXPECT_FALSE(forms::HintShowing());
  // The tip comes with the click and stays after its release.
  Press(*chart, Qt::LeftButton, p.X, p.Y);
  Release(*chart, Qt::LeftButton, p.X, p.Y);
  Settle();
  EXPECT_EQ(forms::ShownHint(), "#5");
}

TEST_F(MarkTips, TheTipWaitsForTheHintPause) {
  std::vector<forms::TManualTimer *> timers;
  forms::SetTimerFactory([&] {
    auto t = std::make_unique<forms::TManualTimer>();
    timers.push_back(t.get());
    return std::unique_ptr<forms::TTimer>(std::move(t));
  });
  TDotSeries *series = nullptr;
  TChart *chart = DotsChart(&series);
  auto *tool = chart->Tools().Add(std::make_unique<TMarksTipTool>());
  tool->SetStyle(TSeriesMarksStyle::smsPointIndex);
  tool->SetMouseDelay(300);
  const TPoint p = At(*series, 2);
  MoveTo(*chart, p.X, p.Y, Qt::NoButton);
  EXPECT_FALSE(forms::HintShowing());
  ASSERT_FALSE(timers.empty());
  EXPECT_EQ(timers.back()->Interval(), 300);
  timers.back()->Tick();
  EXPECT_EQ(forms::ShownHint(), "2");
  // The same text again neither hides nor restarts it.
  const size_t made = timers.size();
  MoveTo(*chart, p.X + 1, p.Y, Qt::NoButton);
  EXPECT_EQ(timers.size(), made);
  EXPECT_EQ(forms::ShownHint(), "2");
}

} // namespace
