// Spin edits, radio buttons, forms' show event, alignment and menus, as
// the window's handlers rely on them.
#include "AnsweringServices.h"

#include "platform/forms/Controls.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QSpinBox>
#include <QTest>

namespace {

class ControlsTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    int argc = 0;
    forms::Application().Initialize(argc, nullptr);
  }
  void SetUp() override { form = forms::Application().CreateForm<forms::TForm>(); }
  void TearDown() override { forms::Application().DestroyForms(); }
  forms_test::AnsweringServices user;
  forms::TForm *form = nullptr;
};

TEST_F(ControlsTest, SpinEditKeepsItsRangeAndReportsEveryChangeOnce) {
  auto *spin = form->Make<forms::TSpinEdit>();
  spin->SetMinValue(1);
  spin->SetMaxValue(10);
  spin->SetValue(1);
  std::vector<int> seen;
  spin->OnChange = [&] { seen.push_back(spin->Value()); };
  struct Step {
    int set, value;
    bool fires;
  };
  const std::vector<Step> steps = {{5, 5, true}, {5, 5, false},  {15, 10, true}, {11, 10, false},
                                   {0, 1, true}, {-3, 1, false}, {10, 10, true}};
  for (const Step &s : steps) {
    const size_t before = seen.size();
    spin->SetValue(s.set);
    EXPECT_EQ(spin->Value(), s.value) << s.set;
    EXPECT_EQ(seen.size() - before, s.fires ? 1u : 0u) << s.set;
  }
}

TEST_F(ControlsTest, SpinEditTypedValuesStayInRange) {
  auto *spin = form->Make<forms::TSpinEdit>();
  spin->SetMinValue(1);
  spin->SetMaxValue(10);
  spin->SetValue(2);
  int changes = 0;
  spin->OnChange = [&] { ++changes; };
  form->Show();
  auto *box = static_cast<QSpinBox *>(spin->Widget());
  box->selectAll();
  QTest::keyClicks(box, "7");
  EXPECT_EQ(spin->Value(), 7);
  EXPECT_EQ(changes, 1);
  // A number past the range is taken whole and clamped when editing ends.
  box->selectAll();
  QTest::keyClicks(box, "11");
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(spin->Value(), 10);
  box->selectAll();
  QTest::keyClicks(box, "42");
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(spin->Value(), 10);
  QTest::keyClick(box, Qt::Key_Up);
  QTest::keyClick(box, Qt::Key_Up);
  EXPECT_LE(spin->Value(), 10);
}

TEST_F(ControlsTest, ABoxFocusedOtherThanByTheMouseHasItsTextSelected) {
  auto *spin = form->Make<forms::TSpinEdit>();
  spin->SetMinValue(1);
  spin->SetMaxValue(10);
  spin->SetValue(1);
  spin->SetBounds(0, 0, 100, 22);
  auto *edit = form->Make<forms::TEdit>("0.8");
  edit->SetBounds(0, 40, 100, 22);
  // The first box gets the focus as the window starts.
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form->Widget()));
  ASSERT_EQ(QApplication::focusWidget(), spin->Widget());
  QTest::keyClicks(nullptr, "3");
  EXPECT_EQ(spin->Value(), 3);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QTest::keyClicks(nullptr, "2.5");
  EXPECT_EQ(edit->Text(), "2.5");
  // Back from a dialog: the focus comes back with the window.
  for (forms::TControl *box : {static_cast<forms::TControl *>(spin), static_cast<forms::TControl *>(edit)}) {
    box->Widget()->clearFocus();
    box->Widget()->setFocus(Qt::ActiveWindowFocusReason);
    QTest::keyClicks(nullptr, "4");
  }
  EXPECT_EQ(spin->Value(), 4);
  EXPECT_EQ(edit->Text(), "4");
  // A click puts the caret where it falls and selects nothing.
  QTest::mouseClick(spin->Widget(), Qt::LeftButton, {}, QPoint(5, 11));
  EXPECT_FALSE(spin->Widget()->findChild<QLineEdit *>()->hasSelectedText());
  QTest::mouseClick(edit->Widget(), Qt::LeftButton, {}, QPoint(90, 11));
  QTest::keyClicks(nullptr, "5");
  EXPECT_EQ(edit->Text(), "45");
}

TEST_F(ControlsTest, RadioButtonsOfOneParentExcludeEachOtherAndMayAllBeOff) {
  auto *panel = form->Make<forms::TPanel>();
  auto *a = panel->Make<forms::TRadioButton>("a");
  auto *b = panel->Make<forms::TRadioButton>("b");
  auto *elsewhere = form->Make<forms::TRadioButton>("c");
  EXPECT_FALSE(a->Checked());
  EXPECT_FALSE(b->Checked());
  a->SetChecked(true);
  elsewhere->SetChecked(true);
  EXPECT_TRUE(a->Checked());
  b->SetChecked(true);
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(b->Checked());
  EXPECT_TRUE(elsewhere->Checked());
  // The program may clear the checked one, which Qt alone refuses.
  b->SetChecked(false);
  EXPECT_FALSE(b->Checked());
  EXPECT_FALSE(a->Checked());
  // And exclusion still works afterwards.
  a->SetChecked(true);
  b->SetChecked(true);
  EXPECT_FALSE(a->Checked());
}

TEST_F(ControlsTest, ShowFiresOnShowOnceAndBringsAnOpenFormForward) {
  int shows = 0;
  form->OnShow = [&] { ++shows; };
  form->Show();
  EXPECT_EQ(shows, 1);
  form->Show();
  EXPECT_EQ(shows, 1);
  EXPECT_TRUE(form->Showing());
  form->Hide();
  form->Show();
  EXPECT_EQ(shows, 2);
}

TEST_F(ControlsTest, ClientSizeIsFixedAndOuterSizeLeavesTheFrame) {
  form->SetClientSize(640, 545);
  EXPECT_EQ(form->ClientWidth(), 640);
  EXPECT_EQ(form->ClientHeight(), 545);
  form->CreateMainMenu()->Add("Файл");
  // The menu bar does not eat into the client area.
  EXPECT_EQ(form->ClientHeight(), 545);
  form->SetOuterSize(305, 200);
  EXPECT_EQ(form->ClientWidth(), 305 - forms::TForm::kFrameWidth);
  EXPECT_EQ(form->ClientHeight(), 200 - forms::TForm::kFrameHeight);
  EXPECT_EQ(form->Widget()->minimumSize(), form->Widget()->maximumSize());
}

TEST_F(ControlsTest, AlignedControlsShareTheClientArea) {
  form->SetClientSize(300, 200);
  auto *panel = form->Make<forms::TPanel>();
  panel->SetAlign(forms::TAlign::alClient);
  auto *bar = form->Make<forms::TToolBar>();
  bar->SetBounds(0, 0, 10, 29);
  bar->SetAlign(forms::TAlign::alTop);
  form->Show();
  EXPECT_EQ(bar->Top(), 0);
  EXPECT_EQ(bar->Width(), 300);
  EXPECT_EQ(panel->Top(), 29);
  EXPECT_EQ(panel->Width(), 300);
  EXPECT_EQ(panel->Height(), 200 - 29);
  // A hidden control gives its place back.
  bar->SetVisible(false);
  EXPECT_EQ(panel->Top(), 0);
  EXPECT_EQ(panel->Height(), 200);
}

TEST_F(ControlsTest, MenuEntriesSeparatorsAndSubmenus) {
  forms::TMainMenu *menu = form->CreateMainMenu();
  forms::TMenuItem *file = menu->Add("Файл");
  int opened = 0;
  file->Add("Открыть...")->OnClick = [&] { ++opened; };
  forms::TMenuItem *separator = file->Add("-");
  forms::TMenuItem *recent = file->Add("Недавние");
  int chosen = 0;
  recent->Add("game.txt")->OnClick = [&] { ++chosen; };
  EXPECT_TRUE(separator->IsSeparator());
  EXPECT_EQ(menu->Find("Файл"), file);
  EXPECT_EQ(file->Count(), 3);

  // Choosing through Qt's own actions reaches the handlers.
  auto *bar = form->Widget()->findChild<QMenuBar *>();
  ASSERT_NE(bar, nullptr);
  QList<QAction *> top = bar->actions();
  ASSERT_EQ(top.size(), 1);
  QList<QAction *> entries = top[0]->menu()->actions();
  ASSERT_EQ(entries.size(), 3);
  EXPECT_TRUE(entries[1]->isSeparator());
  // Qt would draw a separator's text over its line.
  EXPECT_TRUE(entries[1]->text().isEmpty());
  entries[0]->trigger();
  EXPECT_EQ(opened, 1);
  // An entry that got entries below became a submenu in its place.
  ASSERT_NE(entries[2]->menu(), nullptr);
  entries[2]->menu()->actions()[0]->trigger();
  EXPECT_EQ(chosen, 1);

  // A throwing entry shows the error box.
  file->Items(0)->OnClick = [] { throw rtl::Exception("no"); };
  entries[0]->trigger();
  ASSERT_EQ(user.Boxes.size(), 1u);
  EXPECT_EQ(user.Boxes[0].Text, "no");
}

} // namespace
