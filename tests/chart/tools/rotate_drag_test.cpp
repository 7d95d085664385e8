// Turning the 3D view by dragging through the chart's own mouse handling:
// step sizes, angle limits and wrapping, the exclusive-or outline, the
// inertia timer and the screen cursor.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "chart/engine/UloGallery.h"
#include "chart/series/series3d_support.h"
#include "chart/tools/UloRotateTool.h"
#include "platform/forms/Cursors.h"
#include "platform/forms/Timer.h"

namespace {

using forms::TMouseButton;
using s3d_test::TTestChart;

class Rotate : public s3d_test::WithChartUnits {
protected:
  static void SetUpTestSuite() {
    s3d_test::WithChartUnits::SetUpTestSuite();
    StartRotateToolUnit();
  }
  static void TearDownTestSuite() {
    StopRotateToolUnit();
    s3d_test::WithChartUnits::TearDownTestSuite();
  }
  void SetUp() override {
    // Timers that tick only when the test says so.
    forms::SetTimerFactory([this] {
      auto t = std::make_unique<forms::TManualTimer>();
      timers.push_back(t.get());
      return std::unique_ptr<forms::TTimer>(std::move(t));
    });
  }
  void TearDown() override {
    forms::SetTimerFactory({});
    forms::SetScreenCursor(forms::kCursorDefault);
    s3d_test::WithChartUnits::TearDown();
  }

  // A 3D chart of 400 x 300 with one point series and a rotation tool.
  TRotateTool *Setup(TTestChart &c) {
    auto *s = c->AddSeries(std::make_unique<TPoint3DSeries>());
    s->AddPointXYZ(0, 0, 0);
    s->AddPointXYZ(10, 10, 10);
    auto *tool = c->Tools().Add(std::make_unique<TRotateTool>());
    c->View3DOptions().SetRotation(100);
    c->View3DOptions().SetElevation(300);
    c.Paint();
    return tool;
  }
  // A drag from (X0, Y0) to (X1, Y1) in Steps moves, then the release.
  static void Drag(TTestChart &c, int x0, int y0, int x1, int y1, int steps = 1,
                   TMouseButton button = TMouseButton::mbLeft) {
    c->MouseDown(button, 0, x0, y0);
    for (int i = 1; i <= steps; ++i)
      c->MouseMove(0, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    c->MouseUp(button, 0, x1, y1);
  }
  static double Rotation(TTestChart &c) { return c->View3DOptions().FloatRotation(); }
  static double Elevation(TTestChart &c) { return c->View3DOptions().FloatElevation(); }

  std::vector<forms::TManualTimer *> timers;
};

TEST_F(Rotate, FullWidthDragTurnsByTheSpeedsAmount) {
  using S = TRotateToolStyles;
  const struct {
    int speed;
    bool inverted;
    TRotateToolStyles style;
    double rotation, elevation;
  } cases[] = {{50, false, S::rsAll, 190, 291},
               {0, false, S::rsAll, 145, 295.5},
               {50, true, S::rsAll, 10, 309},
               {50, false, S::rsElevation, 100, 291}};
  for (const auto &k : cases) {
    TTestChart c;
    auto *tool = Setup(c);
    tool->SetSpeed(k.speed);
    tool->SetInverted(k.inverted);
    tool->SetStyle(k.style);
    // Across the whole width and down by a tenth of the height.
    Drag(c, 0, 150, 400, 180, 4);
    EXPECT_DOUBLE_EQ(Rotation(c), k.rotation) << k.speed << " " << static_cast<int>(k.style);
    EXPECT_DOUBLE_EQ(Elevation(c), k.elevation) << k.speed << " " << static_cast<int>(k.style);
  }
}

TEST_F(Rotate, SlowDragsTurnAndTheElevationKeepsItsLimits) {
  TTestChart c;
  auto *tool = Setup(c);
  // 200 moves of one pixel: 0.225 degrees each, all of them kept.
  Drag(c, 100, 150, 300, 150, 200);
  EXPECT_NEAR(Rotation(c), 145, 1e-9);
  Drag(c, 200, 0, 200, 300, 3);
  EXPECT_DOUBLE_EQ(Elevation(c), 270);
  Drag(c, 200, 300, 200, 0, 1);
  EXPECT_DOUBLE_EQ(Elevation(c), 360);
  tool->SetInverted(true);
  Drag(c, 200, 100, 200, 130);
  EXPECT_DOUBLE_EQ(Elevation(c), 360);
}

TEST_F(Rotate, RotationWrapsIntoZeroToThreeSixty) {
  const struct {
    double start, step, expected;
  } cases[] = {{350, 20, 10}, {350, 10, 360}, {0, -0.5, 359.5}, {10, -1010, 80}};
  TTestChart c;
  auto *tool = Setup(c);
  for (const auto &k : cases) {
    c->View3DOptions().ChangeRotation(k.start);
    tool->RotateBy(k.step, 0);
    EXPECT_DOUBLE_EQ(Rotation(c), k.expected) << k.start << " + " << k.step;
  }
}

// A canvas that draws true 3D itself: both angles wrap round.
class TTrue3DCanvas : public TUloCanvas3D {
public:
  bool CapabilityFlagA() const override { return true; }
};

TEST_F(Rotate, OnATrue3DCanvasTheElevationWrapsToo) {
  TTestChart c;
  auto *tool = Setup(c);
  c->ReplaceCanvas(std::make_unique<TTrue3DCanvas>());
  c->View3DOptions().ChangeElevation(10);
  tool->RotateBy(0, -730);
  EXPECT_DOUBLE_EQ(Elevation(c), 0);
}

TEST_F(Rotate, OnlyARealStepLeavesTheOrthogonalViewAndShowsThreeD) {
  TTestChart c;
  auto *tool = Setup(c);
  tool->Pen().SetVisible(true);
  c->SetView3D(false);
  c->MouseDown(TMouseButton::mbLeft, 0, 50, 50);
  c->MouseUp(TMouseButton::mbLeft, 0, 50, 50);
  EXPECT_TRUE(c->View3DOptions().Orthogonal());
  EXPECT_TRUE(c->AutoRepaint());
  EXPECT_FALSE(c->View3D());
  Drag(c, 10, 10, 11, 10);
  EXPECT_FALSE(c->View3DOptions().Orthogonal());
  EXPECT_TRUE(c->View3D());
  EXPECT_TRUE(c->AutoRepaint());
}

TEST_F(Rotate, OnlyItsButtonStartsADragAndTheDragIsItsAlone) {
  TTestChart c;
  auto *tool = Setup(c);
  int laterTool = 0;
  struct TCounter : TUloCustomTool {
    int *n;
    explicit TCounter(int *count) : n(count) {}
    void ChartMouseEvent(int, forms::TMouseButton, forms::TShiftState, int, int) override { ++*n; }
  };
  c->Tools().Add(std::make_unique<TCounter>(&laterTool));
  int rotations = 0;
  tool->OnRotate = [&rotations](TRotateTool *) { ++rotations; };

  Drag(c, 0, 0, 100, 0, 2, TMouseButton::mbRight);
  EXPECT_DOUBLE_EQ(Rotation(c), 100);
  EXPECT_EQ(rotations, 0);
  const int heardWhileIgnored = laterTool;
  EXPECT_GT(heardWhileIgnored, 0);

  // The hand cursor shows on the screen while the drag lasts.
  forms::SetScreenCursor(forms::kCursorCross);
  c->MouseDown(TMouseButton::mbLeft, 0, 0, 0);
  EXPECT_EQ(forms::ScreenCursor(), 2020);
  c->MouseMove(0, 50, 0);
  c->MouseMove(0, 100, 0);
  c->MouseUp(TMouseButton::mbLeft, 0, 100, 0);
  EXPECT_EQ(forms::ScreenCursor(), forms::kCursorCross);
  EXPECT_EQ(rotations, 2);
  // Down and moves were cancelled for the tools after it.
  EXPECT_LE(laterTool - heardWhileIgnored, 1);
  EXPECT_FALSE(c->Zoom().Active);
}

TEST_F(Rotate, OutlineIsErasedByteForByte) {
  TTestChart c;
  auto *tool = Setup(c);
  tool->Pen().SetVisible(true);
  const gdi::Bitmap &img = c.Image();
  auto pixels = [&img] { return chart_support::Pixels(img); };
  const auto before = pixels();
  c->MouseDown(TMouseButton::mbLeft, 0, 100, 100);
  c->MouseMove(0, 140, 110);
  EXPECT_FALSE(c->AutoRepaint());
  const auto withBox = pixels();
  EXPECT_NE(withBox, before);
  // The next move takes the first box off before drawing its own: the view
  // turned, yet the kept image is the old paint plus one box.
  c->MouseMove(0, 180, 120);
  EXPECT_NE(pixels(), withBox);
  tool->DrawOutlineBox();
  EXPECT_EQ(pixels(), before);
  tool->DrawOutlineBox();
  c->MouseUp(TMouseButton::mbLeft, 0, 180, 120);
  EXPECT_TRUE(c->AutoRepaint());
}

TEST_F(Rotate, InertiaKeepsTurningAndDecaysWithEachPaintStage) {
  TTestChart c;
  auto *tool = Setup(c);
  tool->SetInertia(50);
  Drag(c, 100, 100, 140, 100);
  ASSERT_EQ(timers.size(), 1u);
  EXPECT_TRUE(tool->Spinning());
  const double step = 40 * 90.0 / 400;
  EXPECT_DOUBLE_EQ(tool->RotationStep(), step);

  const double before = Rotation(c);
  timers[0]->Tick();
  EXPECT_DOUBLE_EQ(Rotation(c), before + step);
  // Every stage notification takes (100 - 50) per mille off.
  tool->ChartEvent(UloToolStageAfterDraw);
  EXPECT_DOUBLE_EQ(tool->RotationStep(), step * 0.95);
  c.Paint();
  EXPECT_NEAR(tool->RotationStep(), step * std::pow(0.95, 6), 1e-12);

  for (int i = 0; i < 1000 && tool->Spinning(); ++i)
    tool->ChartEvent(UloToolStageAfterDraw);
  EXPECT_FALSE(tool->Spinning());
  EXPECT_LE(std::fabs(tool->RotationStep()), 0.01);
}

TEST_F(Rotate, SpinStopsWhenTheToolCannotHearPaints) {
  TTestChart c;
  Setup(c)->SetActive(false);
  TRotateTool tool;
  tool.SetParentChart(c.chart.get());
  tool.SetInertia(100);
  Drag(c, 100, 100, 140, 100);
  ASSERT_TRUE(tool.Spinning());
  tool.SetActive(false);
  EXPECT_FALSE(tool.Spinning());

  tool.SetActive(true);
  Drag(c, 100, 100, 140, 100);
  ASSERT_TRUE(tool.Spinning());
  tool.SetParentChart(nullptr);
  EXPECT_FALSE(tool.Spinning());
  // A tick without a chart turns nothing and does not start again.
  const double before = Rotation(c);
  timers.back()->Start();
  timers.back()->Tick();
  EXPECT_DOUBLE_EQ(Rotation(c), before);
  EXPECT_FALSE(tool.Spinning());
}

} // namespace
