// The main road through the windows: a game typed in, the two computing
// buttons, then the three plotting buttons, read back from the real chart
// series.
#include "WindowsFixture.h"

#include "chart/engine/UloAxis.h"
#include "platform/forms/Cursors.h"
#include "platform/rtl/Conversions.h"

#include <QApplication>
#include <QWheelEvent>

#include <cmath>

using namespace workbench;
using windows_test::WindowsTest;

namespace {

// Simple motion x' = u + v in L dimensions: the pursuer's unit ball against
// the evader's ball of radius 0.5, the target the ball of radius 0.1, from
// (1, 0, ...). Its sections are balls about the origin of radius
// 0.1 + 0.5 (T - t).
void EnterSimpleMotion(int l, const char *horizon) {
  for (forms::TSpinEdit *spin : {Form1->X, Form1->U, Form1->V, Form1->L})
    spin->SetValue(l);
  for (int i = 1; i <= l; ++i) {
    for (int j = 1; j <= l; ++j) {
      const char *unit = i == j ? "1" : "0";
      Form1->A->SetCells(j, i, "0");
      Form1->B->SetCells(j, i, unit);
      Form1->C->SetCells(j, i, unit);
      Form1->Pi->SetCells(j, i, unit);
    }
    Form1->X0->SetCells(1, i, i == 1 ? "1" : "0");
  }
  const std::string norm = l == 2 ? "sqrt(psi1^2+psi2^2)" : "sqrt(psi1^2+psi2^2+psi3^2)";
  Form1->P->SetText(norm);
  Form1->Q->SetText("0.5*" + norm);
  Form1->M1->SetText("0.1*" + norm);
  Form1->Edit1->SetText(horizon);
  Form3->b1->SetChecked(true);
  Form3->Nod->SetText("8");
  Form3->timestep->SetText("0.25");
}

class PlotWindows : public WindowsTest {
protected:
  // With U = V = L the step count comes from the guaranteed time, which
  // also replaces the horizon.
  void Compute() {
    user.Boxes.clear();
    Form1->Button5->Click();
    Form1->Button4->Click();
    ASSERT_EQ(user.Boxes.size(), 2u);
    for (int i = 0; i < 2; ++i)
      ASSERT_FALSE(user.Boxes[i].Error) << user.Boxes[i].Text;
    // The computation's busy cursor is gone.
    EXPECT_EQ(forms::ScreenCursor(), forms::kCursorDefault);
    user.Boxes.clear();
  }
  void Press(forms::TButton *button) {
    button->Click();
    ASSERT_TRUE(user.Boxes.empty()) << user.Boxes[0].Text;
  }
};

TEST_F(PlotWindows, PlaneIntegralStacksTheSectionsUpTheTimeAxis) {
  EnterSimpleMotion(2, "1");
  Compute();
  const int n = Form1->State.SectionSteps;
  const int g = Form1->State.GridDirs.Count;
  const double dt = Form1->State.SectionTimeStep;
  const double horizon = rtl::StrToFloat(Form1->Edit1->Text());
  ASSERT_GT(n, 2);
  Press(Form1->Button3);
  EXPECT_TRUE(Form4->Showing());
  EXPECT_TRUE(Form4->Chart2->Visible());
  // Every section closed by its first point again.
  ASSERT_EQ(Form4->Series4->PointCount(), (n + 1) * (g + 1));
  for (int i = 0; i < Form4->Series4->PointCount(); ++i) {
    const double x = Form4->Series4->XValues()->Value(i);
    const double height = Form4->Series4->YValues()->Value(i);
    const double z = Form4->Series4->ZValues().Value(i);
    const double k = (horizon - height) / dt;
    EXPECT_NEAR(k, std::round(k), 1e-9) << i;
    EXPECT_NEAR(std::hypot(x, z), 0.1 + 0.5 * std::round(k) * dt, 1e-6) << i;
  }
  // The points stay in their order: the first and the closing point agree.
  EXPECT_EQ(Form4->Series4->XValues()->Value(0), Form4->Series4->XValues()->Value(g));
  // The trajectory, one point per section, starts at x0 = (1, 0) at the
  // bottom of the tube: X is the second coordinate, Z the first.
  ASSERT_EQ(Form4->Series5->PointCount(), n + 1);
  EXPECT_NEAR(Form4->Series5->XValues()->Value(n), 0, 1e-9);
  EXPECT_NEAR(Form4->Series5->ZValues().Value(n), 1, 1e-9);
  EXPECT_NEAR(Form4->Series5->YValues()->Value(n), horizon - n * dt, 1e-9);
  EXPECT_EQ(Form4->Series1->PointCount(), 0);
  // The buttons are back once the plot is done.
  EXPECT_TRUE(Form1->Button4->Enabled());
}

TEST_F(PlotWindows, TheWheelOverTheEmptyIntegralWindowLeavesItsAxesToThePlot) {
  // Asked for before anything is computed, the window shows empty.
  Form1->Button3->Click();
  ASSERT_EQ(user.Boxes.size(), 1u);
  user.Boxes.clear();
  for (TChart *chart : {Form4->Chart1, Form4->Chart2}) {
    QWheelEvent wheel(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart->Widget(), &wheel);
  }
  EnterSimpleMotion(2, "1");
  Compute();
  Press(Form1->Button3);
  chart_support::PaintSurface(*Form4->Chart2);
  TChartAxis *height = Form4->Chart2->LeftAxis();
  EXPECT_TRUE(height->Automatic());
  EXPECT_EQ(height->Minimum(), Form4->Series4->YValues()->MinValue());
  EXPECT_EQ(height->Maximum(), Form4->Series4->YValues()->MaxValue());
}

TEST_F(PlotWindows, SpaceIntegralFillsTheCloudAndHidesThePlaneChart) {
  EnterSimpleMotion(3, "0.5");
  Compute();
  const int n = Form1->State.SectionSteps;
  const int g = Form1->State.GridDirs.Count;
  Press(Form1->Button3);
  EXPECT_FALSE(Form4->Chart2->Visible());
  ASSERT_EQ(Form4->Series1->PointCount(), (n + 1) * g);
  const double r0 =
      std::sqrt(std::pow(Form4->Series1->XValues()->Value(0), 2) + std::pow(Form4->Series1->YValues()->Value(0), 2) +
                std::pow(Form4->Series1->ZValues().Value(0), 2));
  EXPECT_NEAR(r0, 0.1, 1e-6);
  EXPECT_EQ(Form4->Series4->PointCount(), 0);
  // A drag across a ninth of the chart turns it by ten degrees.
  TChart &chart = *Form4->Chart1;
  const double rotation = chart.View3DOptions().FloatRotation();
  chart.MouseDown(forms::TMouseButton::mbLeft, 0, 100, 100);
  chart.MouseMove(0, 100 + chart.Width() / 9, 100);
  chart.MouseUp(forms::TMouseButton::mbLeft, 0, 100 + chart.Width() / 9, 100);
  EXPECT_NEAR(chart.View3DOptions().FloatRotation(), rotation + 10, 0.5);
  // The sets go to Form8 in space, the controls are shown in Form6.
  Press(Form1->Button7);
  EXPECT_TRUE(Form8->Showing());
  EXPECT_EQ(Form8->Series1->PointCount(), g);
  EXPECT_EQ(Form8->Series2->PointCount(), g);
  Press(Form1->Button6);
  EXPECT_TRUE(Form6->Showing());
  EXPECT_GT(Form6->Series3->PointCount(), 0);
}

TEST_F(PlotWindows, SpaceIntegralOnTheSphereRepaintsSectionBySection) {
  EnterSimpleMotion(3, "0.5");
  Compute();
  const int n = Form1->State.SectionSteps;
  const int g = Form1->State.GridDirs.Count;
  ASSERT_GT(n, 2);
  TChart &chart = *Form4->Chart1;
  const std::vector<forms::TButton *> buttons = {Form1->Button1, Form1->Button2, Form1->Button3, Form1->Button4,
                                                 Form1->Button5, Form1->Button6, Form1->Button7};
  const auto enabled = [&] {
    std::vector<bool> on;
    for (forms::TButton *b : buttons)
      on.push_back(b->Enabled());
    return on;
  };
  // One button off beforehand: the plot must give back what it found.
  Form1->Button2->SetEnabled(false);
  const std::vector<bool> before = enabled();
  std::vector<int> shown;                // the points each paint showed
  std::vector<std::vector<bool>> usable; // and the buttons then
  chart.OnAfterDraw = [&] {
    shown.push_back(Form4->Series1->PointCount());
    usable.push_back(enabled());
  };
  Press(Form1->Button3);
  ASSERT_EQ(shown.size(), static_cast<size_t>(n + 1));
  for (int k = 0; k <= n; ++k) {
    EXPECT_EQ(shown[k], (k + 1) * g) << k;
    // While the plot lets messages through, no button may start another
    // run over the state it is reading.
    EXPECT_EQ(usable[k], std::vector<bool>(buttons.size(), false)) << k;
  }
  EXPECT_EQ(enabled(), before);
  Form1->Button2->SetEnabled(true);
  // The last section's paint shows the whole cloud, as a fresh paint does,
  // and none follows it.
  chart_support::Settle();
  EXPECT_EQ(shown.size(), static_cast<size_t>(n + 1));
  const std::vector<TColor> last = chart_support::Pixels(chart.WindowSurface());
  chart.Invalidate();
  chart_support::Settle();
  EXPECT_EQ(chart_support::Pixels(chart.WindowSurface()), last);
  // The chart repaints itself again after the plot: a turn of the view
  // shows at once.
  shown.clear();
  chart.View3DOptions().SetRotation(chart.View3DOptions().Rotation() + 30);
  chart_support::Settle();
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_TRUE(chart_support::Pixels(chart.WindowSurface()) != last) << "the turned view is not shown";

  // The cube grid fills without painting until the plot is done.
  Form3->b2->SetChecked(true);
  Form3->Nod->SetText("3");
  Compute();
  shown.clear();
  Press(Form1->Button3);
  EXPECT_TRUE(shown.empty());
  EXPECT_GT(Form4->Series2->PointCount(), 0);
}

TEST_F(PlotWindows, ControlsAndSetsOfThePlane) {
  EnterSimpleMotion(2, "1");
  Compute();
  // Closing at speed 0.5 from distance 1 to within 0.1: about 1.8.
  const double T = rtl::StrToFloat(Form1->Edit1->Text());
  EXPECT_GT(T, 1.5);
  EXPECT_LT(T, 2.2);
  EXPECT_EQ(Form6->Series3->PointCount(), 0);
  const int g = Form1->State.GridDirs.Count;
  Press(Form1->Button6);
  EXPECT_TRUE(Form5->Showing());
  EXPECT_FALSE(Form6->Showing());
  // One point per step for each player, sorted by X as the lists want.
  const int steps = Form5->Series1->PointCount();
  EXPECT_EQ(steps, Form1->State.SectionSteps);
  for (int i = 1; i < steps; ++i)
    EXPECT_LE(Form5->Series2->XValues()->Value(i - 1), Form5->Series2->XValues()->Value(i));
  Press(Form1->Button7);
  EXPECT_TRUE(Form7->Showing());
  ASSERT_EQ(Form7->Series3->PointCount(), g);
  ASSERT_EQ(Form7->Series4->PointCount(), g);
  // The candidate controls lie on their discs: radius 1 and 0.5.
  for (int i = 0; i < g; ++i) {
    EXPECT_NEAR(std::hypot(Form7->Series3->XValues()->Value(i), Form7->Series3->YValues()->Value(i)), 1, 1e-9);
    EXPECT_NEAR(std::hypot(Form7->Series4->XValues()->Value(i), Form7->Series4->YValues()->Value(i)), 0.5, 1e-9);
  }
}

TEST_F(PlotWindows, ALineGameOnTheCubeGridTakesOneNode) {
  // x' = u from 0.5, the pursuer's segment [-1, 1] against no evader, the
  // target [-2, 2]: captured at once, in the first step.
  Form1->A->SetCells(1, 1, "0");
  Form1->B->SetCells(1, 1, "1");
  Form1->C->SetCells(1, 1, "0");
  Form1->Pi->SetCells(1, 1, "1");
  Form1->X0->SetCells(1, 1, "0.5");
  Form1->P->SetText("abs(psi1)");
  Form1->Q->SetText("0");
  Form1->M1->SetText("2*abs(psi1)");
  Form3->b2->SetChecked(true);
  Form3->Nod->SetText("1");
  Form1->Button5->Click();
  ASSERT_EQ(user.Boxes.size(), 1u);
  EXPECT_EQ(user.Boxes[0].Text, "Гарантированное время рассчитано");
  EXPECT_DOUBLE_EQ(rtl::StrToFloat(Form1->Edit1->Text()), 0.1);
  user.Boxes.clear();
  Form1->Button4->Click();
  ASSERT_EQ(user.Boxes.size(), 1u);
  EXPECT_EQ(user.Boxes[0].Text, "Альтернированный интеграл рассчитан");
}

TEST_F(PlotWindows, ClosingKeepsThePointsAndANewRunReplacesThem) {
  EnterSimpleMotion(2, "1");
  Compute();
  Press(Form1->Button3);
  const int before = Form4->Series4->PointCount();
  Form4->Button1->Click();
  Form4->Show();
  EXPECT_EQ(Form4->Series4->PointCount(), before);

  // A finer grid: the next plot clears what the last one drew.
  Form3->Nod->SetText("12");
  Compute();
  Press(Form1->Button3);
  EXPECT_EQ(Form4->Series4->PointCount(), (Form1->State.SectionSteps + 1) * (Form1->State.GridDirs.Count + 1));
  EXPECT_NE(Form4->Series4->PointCount(), before);
}

TEST_F(PlotWindows, PlotsRefuseWithAMessageWhenNothingMatches) {
  EnterSimpleMotion(2, "1");
  for (forms::TButton *button : {Form1->Button3, Form1->Button6, Form1->Button7}) {
    user.Boxes.clear();
    button->Click();
    ASSERT_EQ(user.Boxes.size(), 1u) << button->Caption();
    EXPECT_EQ(user.Boxes[0].Text.find("not implemented"), std::string::npos) << user.Boxes[0].Text;
    EXPECT_TRUE(Form1->Button4->Enabled());
  }
  // Results of the plane, asked for after switching to space.
  Compute();
  Form1->L->SetValue(3);
  user.Boxes.clear();
  Form1->Button3->Click();
  ASSERT_EQ(user.Boxes.size(), 1u);
  EXPECT_EQ(Form4->Series1->PointCount(), 0);
  EXPECT_EQ(Form4->Series4->PointCount(), 0);
}

TEST_F(PlotWindows, AMalformedFormulaStopsTheButtonInTheErrorBox) {
  EnterSimpleMotion(2, "1");
  Form1->P->SetText("sqrt(psi1^2+");
  for (forms::TButton *button : {Form1->Button5, Form1->Button4}) {
    SCOPED_TRACE(button->Caption());
    user.Boxes.clear();
    button->Click();
    ASSERT_EQ(user.Boxes.size(), 1u);
    EXPECT_TRUE(user.Boxes[0].Error);
    EXPECT_EQ(forms::ScreenCursor(), forms::kCursorDefault);
  }
  EXPECT_EQ(Form1->Edit1->Text(), "1");
  EXPECT_FALSE(Form1->State.HasSections);
}

// Which chart holds which series, and where: evader and pursuer, left and
// right, are easy to swap.
TEST_F(WindowsTest, ResultChartsHoldTheirSeriesUnderTheirTitles) {
  const struct {
    TChart *chart;
    const char *title;
    std::vector<TChartSeries *> series;
  } rows[] = {
      {Form4->Chart1, "TChart", {Form4->Series1, Form4->Series2, Form4->Series3}},
      {Form4->Chart2, "альтернированный интеграл", {Form4->Series4, Form4->Series5, Form4->Series6}},
      {Form5->Chart1, "управление убегающего", {Form5->Series1}},
      {Form5->Chart2, "управление догоняющего", {Form5->Series2}},
      {Form6->Chart3, "управление убегающего", {Form6->Series3}},
      {Form6->Chart4, "управление догоняющего", {Form6->Series4}},
      {Form7->Chart1, "P(t)", {Form7->Series1, Form7->Series3}},
      {Form7->Chart2, "Q(t)", {Form7->Series2, Form7->Series4}},
      {Form8->Chart1, "P(t)", {Form8->Series1}},
      {Form8->Chart2, "Q(t)", {Form8->Series2}},
  };
  for (const auto &r : rows) {
    SCOPED_TRACE(r.title);
    EXPECT_EQ(r.chart->Title().Text(), std::vector<std::string>{r.title});
    ASSERT_EQ(r.chart->SeriesCount(), static_cast<int>(r.series.size()));
    for (size_t i = 0; i < r.series.size(); ++i) {
      EXPECT_EQ(r.chart->GetSeries(static_cast<int>(i)), r.series[i]);
      // The 2D lines are sorted by X; the 3D clouds keep their order.
      const bool is3D = dynamic_cast<TCustom3DSeries *>(r.series[i]) != nullptr;
      EXPECT_EQ(r.series[i]->XValues()->Order(), is3D ? TChartListOrder::loNone : TChartListOrder::loAscending);
    }
  }
  // Only the line of the integral's contours shows; both charts turn.
  EXPECT_EQ(Form4->Series4->Pointer().Style(), TSeriesPointerStyle::psNothing);
  EXPECT_EQ(Form4->ChartTool1->ParentChart(), Form4->Chart1);
  EXPECT_EQ(Form4->ChartTool2->ParentChart(), Form4->Chart2);
}

} // namespace
