#include "platform/forms/Grids.h"

#include "platform/rtl/Exceptions.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QTableView>

#include <string>

namespace forms {
namespace {

QString Q(const std::string &text) { return QString::fromStdString(text); }

// The corner cell [0, 0], drawn like the header cells beside it.
class CornerCell : public QWidget {
public:
  using QWidget::QWidget;
  QString text;

protected:
  void paintEvent(QPaintEvent *) override {
    QPainter painter(this);
    QStyleOptionHeader option;
    option.initFrom(this);
    option.rect = rect();
    option.text = text;
    option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.position = QStyleOptionHeader::OnlyOneSection;
    style()->drawControl(QStyle::CE_Header, &option, &painter, this);
  }
};

// Remembers the open cell editor, so reading a cell can take its text.
class Delegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QPointer<QWidget> editor;
  QPersistentModelIndex index;

  QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                        const QModelIndex &modelIndex) const override {
    QWidget *made = QStyledItemDelegate::createEditor(parent, option, modelIndex);
    auto *self = const_cast<Delegate *>(this);
    self->editor = made;
    self->index = modelIndex;
    return made;
  }
  void destroyEditor(QWidget *made, const QModelIndex &modelIndex) const override {
    if (made == editor) {
      auto *self = const_cast<Delegate *>(this);
      self->editor = nullptr;
      self->index = QPersistentModelIndex();
    }
    QStyledItemDelegate::destroyEditor(made, modelIndex);
  }
};

} // namespace

// Data cells are the model's items; the header row and column are the
// view's headers, so they stay in place when the grid scrolls.
class TStringGrid::Model : public QAbstractTableModel {
public:
  explicit Model(TStringGrid *grid) : grid_(grid) {}
  int rowCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : grid_->rowCount_ - 1; }
  int columnCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : grid_->colCount_ - 1; }
  QVariant data(const QModelIndex &index, int role) const override {
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    return Q(grid_->Stored(index.column() + 1, index.row() + 1));
  }
  bool setData(const QModelIndex &index, const QVariant &value, int role) override {
    if (role != Qt::EditRole) return false;
    grid_->cells_[{index.column() + 1, index.row() + 1}] = value.toString().toStdString();
    emit dataChanged(index, index, {role});
    return true;
  }
  Qt::ItemFlags flags(const QModelIndex &index) const override {
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (grid_->editing_) result |= Qt::ItemIsEditable;
    return result;
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    return orientation == Qt::Horizontal ? Q(grid_->Stored(section + 1, 0)) : Q(grid_->Stored(0, section + 1));
  }
  void Reset(const std::function<void()> &change) {
    beginResetModel();
    change();
    endResetModel();
  }
  void CellChanged(int col, int row) {
    if (row == 0 && col > 0) emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
    if (col == 0 && row > 0) emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
    if (col > 0 && row > 0) emit dataChanged(index(row - 1, col - 1), index(row - 1, col - 1));
  }

private:
  TStringGrid *grid_;
};

class TStringGrid::View : public QTableView {
public:
  explicit View(QWidget *parent) : QTableView(parent) {
    delegate_ = new Delegate(this);
    setItemDelegate(delegate_);
    corner_ = new CornerCell(this);
    for (QHeaderView *header : {horizontalHeader(), verticalHeader()}) {
      header->setSectionsClickable(false);
      header->setHighlightSections(false);
      header->setMinimumSectionSize(1);
      header->setSectionResizeMode(QHeaderView::Fixed);
      header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      // Beyond the last cell the grid shows its own background, as the
      // data area does, not a strip of header colour.
      QPalette palette = header->palette();
      palette.setColor(QPalette::Window, palette.color(QPalette::Base));
      header->setPalette(palette);
    }
    setCornerButtonEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    // Tab goes to the next control of the window, not the next cell.
    setTabKeyNavigation(false);
  }
  void CommitOpenEditor() {
    if (delegate_->editor) commitData(delegate_->editor);
  }
  // The open editor's cell, [column, row] of the grid, or (-1, -1).
  std::pair<int, int> EditedCell() const {
    if (!delegate_->editor || !delegate_->index.isValid()) return {-1, -1};
    return {delegate_->index.column() + 1, delegate_->index.row() + 1};
  }
  void SetEditorText(const std::string &text) {
    if (auto *line = qobject_cast<QLineEdit *>(delegate_->editor.data())) line->setText(Q(text));
  }
  void SetCornerText(const std::string &text) {
    corner_->text = Q(text);
    corner_->update();
  }

protected:
  // A grid has no search by typing: a key that does not go into the current
  // cell goes nowhere.
  void keyboardSearch(const QString &) override {}

  void keyPressEvent(QKeyEvent *event) override {
    // Ctrl+Tab leaves the grid as Tab does.
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
      focusNextPrevChild(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
      return;
    }
    QTableView::keyPressEvent(event);
  }

  // A click on the cell that already was the current one opens its editor
  // on release, at once. Qt's own trigger for that waits out the
  // double-click interval, so a key typed meanwhile went to the view's
  // search, and the editor opened later even after the focus had moved on.
  void mousePressEvent(QMouseEvent *event) override {
    const QModelIndex hit = indexAt(event->position().toPoint());
    pressedCurrent_ = event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier && hasFocus() &&
                              hit.isValid() && hit == currentIndex()
                          ? QPersistentModelIndex(hit)
                          : QPersistentModelIndex();
    QTableView::mousePressEvent(event);
  }
  void mouseDoubleClickEvent(QMouseEvent *event) override {
    pressedCurrent_ = QPersistentModelIndex();
    QTableView::mouseDoubleClickEvent(event);
  }
  void mouseReleaseEvent(QMouseEvent *event) override {
    const QModelIndex released = indexAt(event->position().toPoint());
    const bool open = pressedCurrent_.isValid() && released == pressedCurrent_ && released == currentIndex() &&
                      event->button() == Qt::LeftButton && state() != EditingState && editTriggers() != NoEditTriggers;
    pressedCurrent_ = QPersistentModelIndex();
    QTableView::mouseReleaseEvent(event);
    if (open) edit(released, AllEditTriggers, nullptr);
  }

  // Tab in an open cell editor fixes the text and leaves the grid too.
  void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override {
    if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem) {
      QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
      focusNextPrevChild(hint == QAbstractItemDelegate::EditNextItem);
      return;
    }
    QTableView::closeEditor(editor, hint);
  }

  void updateGeometries() override {
    QTableView::updateGeometries();
    const int frame = frameWidth();
    corner_->setGeometry(frame, frame, verticalHeader()->width(), horizontalHeader()->height());
    corner_->raise();
  }

private:
  Delegate *delegate_;
  CornerCell *corner_;
  QPersistentModelIndex pressedCurrent_;
};

TStringGrid::TStringGrid(TWinControl *parent)
    : TControl(parent, new View(parent ? parent->ClientWidget() : nullptr)), view_(static_cast<View *>(Widget())) {
  model_ = new Model(this);
  view_->setModel(model_);
  model_->setParent(view_);
  Widget()->setGeometry(0, 0, 320, 120);
  SetDefaultColWidth(64);
  SetDefaultRowHeight(24);
  SetGridLines(true);
  SetRangeSelect(false);
  SetEditing(false);
}

TStringGrid::~TStringGrid() = default;

std::string TStringGrid::Stored(int col, int row) const {
  auto it = cells_.find({col, row});
  return it == cells_.end() ? std::string() : it->second;
}

void TStringGrid::SetColCount(int count) {
  count = std::max(2, count);
  if (count == colCount_) return;
  CommitEdit();
  model_->Reset([&] { colCount_ = count; });
}

void TStringGrid::SetRowCount(int count) {
  count = std::max(2, count);
  if (count == rowCount_) return;
  CommitEdit();
  model_->Reset([&] { rowCount_ = count; });
}

void TStringGrid::SetDefaultColWidth(int width) {
  colWidth_ = std::max(1, width);
  view_->horizontalHeader()->setDefaultSectionSize(colWidth_);
  view_->verticalHeader()->setFixedWidth(colWidth_);
}

void TStringGrid::SetDefaultRowHeight(int height) {
  rowHeight_ = std::max(1, height);
  view_->verticalHeader()->setDefaultSectionSize(rowHeight_);
  view_->horizontalHeader()->setFixedHeight(rowHeight_);
}

std::string TStringGrid::Cells(int col, int row) const {
  CommitEdit();
  return Stored(col, row);
}

void TStringGrid::SetCells(int col, int row, const std::string &text) {
  if (col < 0 || row < 0) throw rtl::Exception("Grid index out of range");
  cells_[{col, row}] = text;
  if (col == 0 && row == 0) view_->SetCornerText(text);
  if (view_->EditedCell() == std::pair(col, row)) view_->SetEditorText(text);
  model_->CellChanged(col, row);
}

namespace {
constexpr uint64_t kGridLines = 1, kRangeSelect = 2, kEditing = 4;
constexpr streaming::TSetBit kOptionNames[] = {
    {kGridLines, "goGridLines"}, {kRangeSelect, "goRangeSelect"}, {kEditing, "goEditing"}};
} // namespace

void TStringGrid::DefineProperties(streaming::TPropertyTable &t) {
  TControl::DefineProperties(t);
  t.Property("ColCount", this, &TStringGrid::ColCount, &TStringGrid::SetColCount, 5);
  t.Property("RowCount", this, &TStringGrid::RowCount, &TStringGrid::SetRowCount, 5);
  t.Property("DefaultColWidth", this, &TStringGrid::DefaultColWidth, &TStringGrid::SetDefaultColWidth, 64);
  t.Property("DefaultRowHeight", this, &TStringGrid::DefaultRowHeight, &TStringGrid::SetDefaultRowHeight, 24);
  t.SetOf(
      "Options",
      [this] {
        return (GridLines() ? kGridLines : 0) | (RangeSelect() ? kRangeSelect : 0) | (Editing() ? kEditing : 0);
      },
      [this](uint64_t bits) {
        SetGridLines(bits & kGridLines);
        SetRangeSelect(bits & kRangeSelect);
        SetEditing(bits & kEditing);
      },
      kGridLines, std::span<const streaming::TSetBit>(kOptionNames));
}

bool TStringGrid::GridLines() const { return view_->showGrid(); }
bool TStringGrid::RangeSelect() const { return view_->selectionMode() == QAbstractItemView::ContiguousSelection; }

void TStringGrid::SetGridLines(bool on) { view_->setShowGrid(on); }

void TStringGrid::SetRangeSelect(bool on) {
  view_->setSelectionMode(on ? QAbstractItemView::ContiguousSelection : QAbstractItemView::SingleSelection);
}

void TStringGrid::SetEditing(bool on) {
  editing_ = on;
  // A click on the current cell is the view's own (see View).
  view_->setEditTriggers(on ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::AnyKeyPressed
                            : QAbstractItemView::NoEditTriggers);
}

TGridRect TStringGrid::Selection() const {
  const QModelIndexList selected = view_->selectionModel()->selectedIndexes();
  QModelIndex current = view_->currentIndex();
  if (selected.isEmpty()) {
    if (!current.isValid()) return {};
    return {current.column() + 1, current.row() + 1, current.column() + 1, current.row() + 1};
  }
  TGridRect rect{colCount_, rowCount_, 0, 0};
  for (const QModelIndex &index : selected) {
    rect.Left = std::min(rect.Left, index.column() + 1);
    rect.Top = std::min(rect.Top, index.row() + 1);
    rect.Right = std::max(rect.Right, index.column() + 1);
    rect.Bottom = std::max(rect.Bottom, index.row() + 1);
  }
  return rect;
}

void TStringGrid::SetSelection(const TGridRect &rect) {
  if (rect.Left < 1 || rect.Top < 1 || rect.Right >= colCount_ || rect.Bottom >= rowCount_ || rect.Left > rect.Right ||
      rect.Top > rect.Bottom)
    throw rtl::Exception("Grid selection out of range");
  QItemSelection selection(model_->index(rect.Top - 1, rect.Left - 1), model_->index(rect.Bottom - 1, rect.Right - 1));
  view_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  view_->selectionModel()->setCurrentIndex(model_->index(rect.Top - 1, rect.Left - 1), QItemSelectionModel::NoUpdate);
}

void TStringGrid::CommitEdit() const { view_->CommitOpenEditor(); }

} // namespace forms
