// The windows as the program starts them, and the input window's grid
// shapes, New, the menu and the result windows' close buttons.
#include "WindowsFixture.h"

#include "chart/engine/UloGallery.h"
#include "chart/tools/ToolsStartup.h"
#include "platform/forms/Jpeg.h"

#include "workbench/windows/Computations.h"

#include <QApplication>
#include <QTest>

#include <array>

using namespace workbench;
using windows_test::WindowsTest;

namespace {

// Each grid's shape for the dimensions N, U, V, L, with its corner text
// and its numbered headings.
void ExpectShapes(int n, int u, int v, int l) {
  const struct {
    forms::TStringGrid *grid;
    int cols, rows;
    const char *corner;
  } shapes[] = {{Form1->A, n + 1, n + 1, "A "},
                {Form1->B, u + 1, n + 1, "B "},
                {Form1->C, v + 1, n + 1, "C "},
                {Form1->Pi, n + 1, l + 1, "Pi "},
                {Form1->X0, 2, n + 1, "x0 "}};
  for (const auto &s : shapes) {
    SCOPED_TRACE(s.corner);
    EXPECT_EQ(s.grid->ColCount(), s.cols);
    EXPECT_EQ(s.grid->RowCount(), s.rows);
    EXPECT_EQ(s.grid->Cells(0, 0), s.corner);
    EXPECT_EQ(s.grid->Cells(s.cols - 1, 0), std::to_string(s.cols - 1));
    EXPECT_EQ(s.grid->Cells(0, s.rows - 1), std::to_string(s.rows - 1));
  }
  EXPECT_EQ((std::array{Form1->DimX, Form1->DimU, Form1->DimV, Form1->DimL}), (std::array{n, u, v, l}));
}

TEST_F(WindowsTest, AfterStartUpOnlyTheMainWindowShowsAndAllEightExist) {
  const auto &forms = forms::Application().Forms();
  ASSERT_EQ(forms.size(), 8u);
  const std::vector<forms::TForm *> order = {Form1, Form2, Form3, Form4, Form5, Form6, Form7, Form8};
  for (size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(forms[i].get(), order[i]) << i;
    EXPECT_EQ(order[i]->Showing(), i == 0) << i;
  }
  EXPECT_EQ(forms::Application().MainForm(), Form1);
  // Showing the main window checked the settings' polar grid; showing it
  // again keeps the user's choice.
  EXPECT_TRUE(Form3->b1->Checked());
  Form3->b2->SetChecked(true);
  Form1->Show();
  EXPECT_TRUE(Form3->b2->Checked());
  ExpectShapes(1, 1, 1, 1);
}

// The series on the gallery page "3D", in gallery order.
std::vector<std::string> GalleryPage3D() {
  std::vector<std::string> page;
  for (int i = 0; i < UloSeriesTypes().Count(); ++i)
    if (UloSeriesTypes().Items(i).Page == "3D") page.push_back(UloSeriesTypes().Items(i).Description);
  return page;
}

TEST_F(WindowsTest, TheGalleryPage3DListsTheSeriesInTheUnitsOrder) {
  const std::vector<std::string> expected = {"Surface", "Contour",     "Water Fall",     "Color Grid", "Vector 3D",
                                             "Tower",   "Iso-Surface", "Triangle Surf.", "Point 3D",   "Bubble 3D"};
  EXPECT_EQ(GalleryPage3D(), expected);
  // Shut-down takes every one of them away; a new start gives the same order.
  StopChartTools();
  StopChartSeries();
  EXPECT_TRUE(GalleryPage3D().empty());
  StartChartSeries();
  StartChartTools();
  EXPECT_EQ(GalleryPage3D(), expected);
}

TEST_F(WindowsTest, ResultWindowsOnlyHideWhenClosed) {
  const std::vector<TResultForm *> windows = {Form4, Form5, Form6, Form7, Form8};
  for (TResultForm *f : windows) {
    // "закрыть" and the title bar only hide; the window stays for the next plot.
    f->Show();
    f->Button1->Click();
    EXPECT_FALSE(f->Showing());
    f->Show();
    f->Close();
    EXPECT_FALSE(f->Showing());
    EXPECT_FALSE(forms::Application().Terminated());
  }
}

TEST_F(WindowsTest, TheFirstKeyAfterStartUpReplacesTheDimension) {
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form1->Widget()));
  ASSERT_EQ(QApplication::focusWidget(), Form1->X->Widget());
  QTest::keyClicks(QApplication::focusWidget(), "3");
  EXPECT_EQ(Form1->X->Value(), 3);
  ExpectShapes(3, 1, 1, 1);
}

TEST_F(WindowsTest, GridsFollowTheDimensionsAndKeepTheirCells) {
  Form1->A->SetCells(1, 1, "a11");
  Form1->X->SetValue(3);
  Form1->A->SetCells(3, 3, "a33");
  Form1->B->SetCells(1, 3, "b31");
  Form1->U->SetValue(2);
  Form1->V->SetValue(4);
  Form1->L->SetValue(2);
  ExpectShapes(3, 2, 4, 2);
  Form1->X->SetValue(1);
  ExpectShapes(1, 2, 4, 2);
  Form1->X->SetValue(3);
  EXPECT_EQ(Form1->A->Cells(1, 1), "a11");
  EXPECT_EQ(Form1->A->Cells(3, 3), "a33");
  EXPECT_EQ(Form1->B->Cells(1, 3), "b31");
  // The spin boxes keep the dimensions within 1 to 10.
  Form1->X->SetValue(12);
  ExpectShapes(10, 2, 4, 2);
}

TEST_F(WindowsTest, NewResetsTheGameButKeepsTheHorizonAndSettings) {
  Form1->X->SetValue(3);
  Form1->U->SetValue(3);
  Form1->L->SetValue(3);
  Form1->A->SetCells(1, 1, "1");
  Form1->A->SetCells(2, 2, "2");
  Form1->P->SetText("abs(psi1)");
  Form1->Edit1->SetText("4.5");
  Form3->b2->SetChecked(true);
  Menu("Файл", "Новый")->Click();
  EXPECT_TRUE(user.Boxes.empty());
  ExpectShapes(1, 1, 1, 1);
  for (forms::TStringGrid *grid : {Form1->A, Form1->B, Form1->C, Form1->Pi, Form1->X0})
    EXPECT_EQ(grid->Cells(1, 1), " ");
  EXPECT_EQ(Form1->P->Text(), "");
  EXPECT_EQ(Form1->Edit1->Text(), "4.5");
  EXPECT_TRUE(Form3->b2->Checked());
  // Cells beyond the new shape were not cleared.
  EXPECT_EQ(Form1->A->Cells(2, 2), "2");
}

TEST_F(WindowsTest, MenuAndButtonsOpenTheirWindows) {
  Menu("Справка", "Об авторе")->Click();
  EXPECT_TRUE(Form2->Showing());
  Form1->Button2->Click();
  EXPECT_TRUE(Form3->Showing());
  Menu("Справка", "О програме")->Click();
  EXPECT_EQ(user.HelpFiles, std::vector<std::string>{"myhelp.html"});
  EXPECT_TRUE(user.Boxes.empty());
  // The About picture decoded from the built-in JPEG.
  EXPECT_EQ(Form2->Image1->Picture().Width, 201);
  EXPECT_EQ(Form2->Image1->Picture().Height, 265);
}

TEST_F(WindowsTest, ClosingTheMainWindowEndsTheProgram) {
  for (const char *how : {"Закрыть", "Выйти"}) {
    SCOPED_TRACE(how);
    Form4->Show();
    if (std::string(how) == "Закрыть")
      Form1->Button1->Click();
    else
      Menu("Файл", "Выйти")->Click();
    EXPECT_TRUE(forms::Application().Terminated());
    EXPECT_FALSE(Form1->Showing());
    workbench::DestroyWindows();
    workbench::CreateWindows();
    int argc = 0;
    forms::Application().Initialize(argc, nullptr);
    Form1->Show();
  }
}

TEST_F(WindowsTest, TheSolverReadsTheGridsInTheirShapesAndTheSettings) {
  Form1->X->SetValue(2);
  Form1->U->SetValue(3);
  Form1->L->SetValue(3);
  // Each cell names its own row and column.
  for (forms::TStringGrid *grid : {Form1->A, Form1->B, Form1->Pi})
    for (int i = 1; i < grid->RowCount(); ++i)
      for (int j = 1; j < grid->ColCount(); ++j)
        grid->SetCells(j, i, grid->Name() + std::to_string(i) + std::to_string(j));
  Form1->X0->SetCells(1, 2, "x2");
  Form3->Nod->SetText("24");
  const GameInput input = ReadGameInput(*Form1);
  EXPECT_EQ(input.B, (TextTable{{"B11", "B12", "B13"}, {"B21", "B22", "B23"}}));
  EXPECT_EQ(input.Pi, (TextTable{{"Pi11", "Pi12"}, {"Pi21", "Pi22"}, {"Pi31", "Pi32"}}));
  EXPECT_EQ(input.X0[1], "x2");
  EXPECT_EQ(ReadSettings(*Form3).Nod, "24");
}

} // namespace
