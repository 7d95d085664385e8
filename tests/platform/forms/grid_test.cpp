// The string grid: cells addressed [column, row] with the header, texts
// kept across shrinking, the text being typed visible to a reader, keys
// and clicks reaching only the cell the user chose, Tab leaving the grid.
#include "AnsweringServices.h"

#include "platform/forms/Grids.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyleHints>
#include <QTableView>
#include <QTest>

namespace {

class GridTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    int argc = 0;
    forms::Application().Initialize(argc, nullptr);
  }
  void SetUp() override {
    form = forms::Application().CreateForm<forms::TForm>();
    form->SetClientSize(400, 300);
    grid = form->Make<forms::TStringGrid>();
    grid->SetBounds(0, 0, 400, 300);
    grid->SetDefaultColWidth(50);
    grid->SetDefaultRowHeight(20);
    grid->SetEditing(true);
    grid->SetRangeSelect(true);
  }
  void TearDown() override { forms::Application().DestroyForms(); }
  QTableView *View() const { return static_cast<QTableView *>(grid->Widget()); }
  forms_test::AnsweringServices user;
  forms::TForm *form = nullptr;
  forms::TStringGrid *grid = nullptr;
};

TEST_F(GridTest, TheHeaderCellsAreTheViewsHeadersAndDataCellsItsItems) {
  grid->SetColCount(3);
  grid->SetRowCount(4);
  grid->SetCells(0, 0, "A ");
  grid->SetCells(2, 0, "2");
  grid->SetCells(0, 3, "3");
  grid->SetCells(2, 1, "a12");
  QAbstractItemModel *model = View()->model();
  EXPECT_EQ(model->columnCount(), 2);
  EXPECT_EQ(model->rowCount(), 3);
  EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "2");
  EXPECT_EQ(model->headerData(2, Qt::Vertical).toString(), "3");
  EXPECT_EQ(model->data(model->index(0, 1)).toString(), "a12");
  EXPECT_EQ(View()->horizontalHeader()->sectionSize(0), 50);
  EXPECT_EQ(View()->verticalHeader()->sectionSize(0), 20);
  EXPECT_EQ(View()->verticalHeader()->width(), 50);
  EXPECT_EQ(grid->Cells(0, 0), "A ");
}

TEST_F(GridTest, CellsOutsideTheGridKeepTheirTextThroughShrinkingAndGrowing) {
  grid->SetColCount(4);
  grid->SetRowCount(4);
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r)
      grid->SetCells(c, r, std::to_string(c) + "," + std::to_string(r));
  grid->SetColCount(2);
  grid->SetRowCount(2);
  EXPECT_EQ(View()->model()->columnCount(), 1);
  grid->SetColCount(4);
  grid->SetRowCount(4);
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r)
      EXPECT_EQ(grid->Cells(c, r), std::to_string(c) + "," + std::to_string(r));
  // Never fewer than the header and one data cell.
  grid->SetColCount(0);
  EXPECT_EQ(grid->ColCount(), 2);
  EXPECT_THROW(grid->SetCells(-1, 0, "x"), rtl::Exception);
}

TEST_F(GridTest, ReadingACellSeesTheTextStillBeingTyped) {
  grid->SetColCount(3);
  grid->SetRowCount(3);
  grid->SetCells(1, 1, "old");
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form->Widget()));
  const QModelIndex cell = View()->model()->index(0, 0);
  View()->setCurrentIndex(cell);
  View()->edit(cell);
  auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "2.5");
  // The editor is still open: a menu command reading the cell sees it.
  EXPECT_EQ(grid->Cells(1, 1), "2.5");
  // The program writing that cell meanwhile is not undone when the editor closes.
  grid->SetCells(1, 1, " ");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(grid->Cells(1, 1), " ");
  // Shrinking while typing keeps what was typed.
  const QModelIndex far = View()->model()->index(1, 1);
  View()->setCurrentIndex(far);
  View()->edit(far);
  editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, "7");
  grid->SetRowCount(2);
  grid->SetRowCount(3);
  EXPECT_EQ(grid->Cells(2, 2), "7");
}

// The user's keys and clicks, with a box beside the grid to click into.
class GridKeysTest : public GridTest {
protected:
  void SetUp() override {
    GridTest::SetUp();
    grid->SetBounds(0, 0, 400, 200);
    edit = form->Make<forms::TEdit>();
    edit->SetBounds(0, 220, 100, 22);
    grid->SetColCount(4);
    grid->SetRowCount(4);
    for (int c = 1; c < 4; ++c)
      for (int r = 1; r < 4; ++r)
        grid->SetCells(c, r, Text(c, r));
    form->Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form->Widget()));
  }
  // Every cell's own text; one begins with "-", where a search by the
  // typed "-" would land.
  static std::string Text(int c, int r) { return c == 1 && r == 2 ? "-5" : std::to_string(c * 10 + r); }
  void ClickCell(int c, int r) {
    const QRect rect = View()->visualRect(View()->model()->index(r - 1, c - 1));
    QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, rect.center());
  }
  // Waits out the double-click interval, after which Qt's delayed editor
  // would open.
  static void WaitPastDoubleClick() { QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100); }
  void ExpectCellsAsSetBut(int col, int row, const std::string &text) {
    for (int c = 1; c < 4; ++c)
      for (int r = 1; r < 4; ++r)
        EXPECT_EQ(grid->Cells(c, r), c == col && r == row ? text : Text(c, r)) << c << "," << r;
  }
  QWidget *Focused() const { return QApplication::focusWidget(); }
  forms::TEdit *edit = nullptr;
};

TEST_F(GridKeysTest, TypingAfterAClickOnTheCurrentCellGoesIntoThatCellWhateverTheDelay) {
  for (int delay : {0, 50, 150, 1000}) {
    SCOPED_TRACE(delay);
    ClickCell(3, 3);
    ClickCell(1, 1);
    ClickCell(1, 1);
    if (delay) QTest::qWait(delay);
    QTest::keyClicks(nullptr, "-2");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    WaitPastDoubleClick();
    ExpectCellsAsSetBut(1, 1, "-2");
    grid->SetCells(1, 1, Text(1, 1));
  }
  // A key typed into the grid without a click opens the current cell's
  // editor with it.
  ClickCell(2, 1);
  QTest::keyClicks(nullptr, "7");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  ExpectCellsAsSetBut(2, 1, "7");
}

TEST_F(GridKeysTest, AClickIntoABoxRightAfterTheSecondClickKeepsTheKeysThere) {
  ClickCell(3, 3);
  ClickCell(2, 2);
  ClickCell(2, 2);
  QTest::mouseClick(edit->Widget(), Qt::LeftButton);
  QTest::keyClicks(nullptr, "*3");
  WaitPastDoubleClick();
  QTest::keyClicks(nullptr, "4");
  EXPECT_EQ(Focused(), edit->Widget());
  EXPECT_EQ(edit->Text(), "*34");
  ExpectCellsAsSetBut(0, 0, "");
}

TEST_F(GridKeysTest, TabLeavesTheGridArrowsMoveBetweenCells) {
  ClickCell(2, 3);
  ClickCell(1, 1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(View()->currentIndex(), View()->model()->index(1, 1));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(Focused(), edit->Widget());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(Focused(), grid->Widget());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(Focused(), edit->Widget());
  // Tab from an open editor fixes what was typed, and no editor opens in
  // the next cell.
  ClickCell(3, 1);
  QTest::keyClicks(nullptr, "8");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(Focused(), edit->Widget());
  WaitPastDoubleClick();
  EXPECT_EQ(Focused(), edit->Widget());
  ExpectCellsAsSetBut(3, 1, "8");
}

TEST_F(GridTest, RangeSelection) {
  grid->SetColCount(5);
  grid->SetRowCount(5);
  const forms::TGridRect rect{2, 1, 4, 3};
  grid->SetSelection(rect);
  EXPECT_EQ(grid->Selection(), rect);
  EXPECT_THROW(grid->SetSelection({0, 0, 1, 1}), rtl::Exception);
  EXPECT_THROW(grid->SetSelection({1, 1, 5, 1}), rtl::Exception);
}

} // namespace
