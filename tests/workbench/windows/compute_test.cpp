// The two computing buttons on a small game: their completion messages,
// the guaranteed time in the horizon field, the control series filled, and
// a bad formula stopping the button in the error box.
#include "WindowsFixture.h"

#include "platform/forms/Cursors.h"
#include "platform/rtl/Conversions.h"

using namespace workbench;
using windows_test::WindowsTest;

namespace {

// Simple motion in the plane: the pursuer's disc of radius 1 against the
// evader's of radius 0.5, capture within 0.1 of the origin, from (1, 0).
void EnterPlaneGame() {
  for (forms::TSpinEdit *spin : {Form1->X, Form1->U, Form1->V, Form1->L})
    spin->SetValue(2);
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= 2; ++j) {
      const char *unit = i == j ? "1" : "0";
      Form1->A->SetCells(j, i, "0");
      Form1->B->SetCells(j, i, unit);
      Form1->C->SetCells(j, i, unit);
      Form1->Pi->SetCells(j, i, unit);
    }
  Form1->X0->SetCells(1, 1, "1");
  Form1->X0->SetCells(1, 2, "0");
  Form1->P->SetText("sqrt(psi1^2+psi2^2)");
  Form1->Q->SetText("0.5*sqrt(psi1^2+psi2^2)");
  Form1->M1->SetText("0.1*sqrt(psi1^2+psi2^2)");
  Form1->Edit1->SetText("1");
}

TEST_F(WindowsTest, GuaranteedTimeThenTheIntegralEndWithTheirMessages) {
  EnterPlaneGame();
  Form1->Button5->Click();
  ASSERT_EQ(user.Boxes.size(), 1u) << user.Boxes[0].Text;
  EXPECT_FALSE(user.Boxes[0].Error);
  EXPECT_EQ(user.Boxes[0].Text, "Гарантированное время рассчитано");
  EXPECT_EQ(user.Boxes[0].Caption, "kvelvatum");
  // Closing at speed 0.5 from distance 1 to within 0.1: about 1.8.
  const double T = rtl::StrToFloat(Form1->Edit1->Text());
  EXPECT_GT(T, 1.5);
  EXPECT_LT(T, 2.2);
  EXPECT_GT(Form1->State.StepCount, 0);

  Form1->Button4->Click();
  ASSERT_EQ(user.Boxes.size(), 2u) << user.Boxes[1].Text;
  EXPECT_FALSE(user.Boxes[1].Error);
  EXPECT_EQ(user.Boxes[1].Text, "Альтернированный интеграл рассчитан");
  EXPECT_EQ(user.Boxes[1].Caption, "kvelvatum");
  EXPECT_TRUE(Form1->State.HasSections);
  // U = V = L = 2: the plane control windows' series received the controls.
  EXPECT_GT(Form5->Series1->PointCount(), 0);
  EXPECT_GT(Form5->Series2->PointCount(), 0);
  EXPECT_EQ(Form6->Series3->PointCount(), 0);
  EXPECT_EQ(forms::ScreenCursor(), forms::kCursorDefault);
}

TEST_F(WindowsTest, AMalformedFormulaStopsTheButtonInTheErrorBox) {
  EnterPlaneGame();
  Form1->P->SetText("sqrt(psi1^2+");
  for (forms::TButton *button : {Form1->Button5, Form1->Button4}) {
    SCOPED_TRACE(button->Caption());
    user.Boxes.clear();
    button->Click();
    ASSERT_EQ(user.Boxes.size(), 1u);
    EXPECT_TRUE(user.Boxes[0].Error);
    EXPECT_EQ(user.Boxes[0].Caption, forms::Application().Title());
    EXPECT_EQ(forms::ScreenCursor(), forms::kCursorDefault);
  }
  EXPECT_EQ(Form1->Edit1->Text(), "1");
  EXPECT_FALSE(Form1->State.HasSections);
}

} // namespace
