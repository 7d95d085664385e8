// A grid of text cells with one fixed header row and column. Cells are
// addressed [column, row], the header included, and keep their text when
// the grid shrinks past them and grows back. Reading a cell sees text the
// user is still typing into it.
#pragma once

#include "platform/forms/Controls.h"

#include <map>
#include <utility>

namespace forms {

struct TGridRect {
  int Left = 1, Top = 1, Right = 1, Bottom = 1;
  bool operator==(const TGridRect &) const = default;
};

class TStringGrid : public TControl {
public:
  explicit TStringGrid(TWinControl *parent = nullptr);
  ~TStringGrid() override;
  std::string_view ClassName() const override { return "TStringGrid"; }
  void DefineProperties(streaming::TPropertyTable &table) override;

  int ColCount() const { return colCount_; }
  int RowCount() const { return rowCount_; }
  // At least 2: the header and one data column or row.
  void SetColCount(int count);
  void SetRowCount(int count);
  int FixedCols() const { return 1; }
  int FixedRows() const { return 1; }

  int DefaultColWidth() const { return colWidth_; }
  int DefaultRowHeight() const { return rowHeight_; }
  void SetDefaultColWidth(int width);
  void SetDefaultRowHeight(int height);

  // Any column and row at or above 0, inside the grid or not.
  std::string Cells(int col, int row) const;
  void SetCells(int col, int row, const std::string &text);

  bool GridLines() const;
  void SetGridLines(bool on);
  bool RangeSelect() const;
  void SetRangeSelect(bool on);
  void SetEditing(bool on);
  bool Editing() const { return editing_; }

  // The selected data cells.
  TGridRect Selection() const;
  void SetSelection(const TGridRect &rect);

  // Fixes the text of an open cell editor into its cell.
  void CommitEdit() const;

private:
  class View;
  class Model;
  friend class Model;
  std::string Stored(int col, int row) const;

  std::map<std::pair<int, int>, std::string> cells_;
  int colCount_ = 5, rowCount_ = 5;
  int colWidth_ = 64, rowHeight_ = 24;
  bool editing_ = false;
  View *view_;
  Model *model_;
};

} // namespace forms
