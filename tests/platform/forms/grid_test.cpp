// The string grid: cells addressed [column, row] with the header, texts
// kept across shrinking, the text being typed visible to a reader.
#include "AnsweringServices.h"

#include "platform/forms/Grids.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
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
