// The chart legend: a framed box at a side of the chart (or where the user
// put it) listing the chart's series or the values of one series, each row
// with a colour symbol, an optional check box or radio button and up to two
// text columns.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/UloSeries.h"
#include "chart/engine/UloWalls.h"
#include "chart/foundation/UloPanel.h"

class TChartSeries;
class TCustomChartLegend;

enum class TLegendAlignment { laLeft, laRight, laTop, laBottom };
enum class TCheckBoxesStyle { cbsCheck, cbsRadio };
enum class TLegendStyle { lsAuto, lsSeries, lsValues, lsLastValues, lsSeriesGroups };
enum class TLegendSymbolPosition { spLeft, spRight };
enum class TLegendSymbolSize { lcsPercent, lcsPixels };

// TLegendTextStyle is the series' (UloSeries.h): rows are composed there.

// The separator of the two text columns of a legend row.
inline constexpr char UloLegendColumnSeparator = '\x06';

// The gradient of legend symbols: right to left, silver to white.
class TChartLegendGradient : public TUloGradient {
public:
  explicit TChartLegendGradient(TUloChangeEvent onChange = {});
};

// The colour symbol of each legend row.
class TLegendSymbol : public streaming::TPersistent {
public:
  explicit TLegendSymbol(TCustomChartLegend *legend);
  TLegendSymbol(const TLegendSymbol &) = delete;
  TLegendSymbol &operator=(const TLegendSymbol &) = delete;
  ~TLegendSymbol() override;

  void Assign(const TLegendSymbol &source);

  bool Continuous() const noexcept { return continuous_; }
  void SetContinuous(bool value) { Set(continuous_, value); }
  // When false the symbol's own Pen draws the symbol frame.
  bool DefaultPen() const noexcept { return defaultPen_; }
  void SetDefaultPen(bool value) { Set(defaultPen_, value); }
  // Made on first read.
  TChartLegendGradient &Gradient();
  TChartLegendGradient *ExistingGradient() const noexcept { return gradient_.get(); }
  void SetGradient(const TUloGradient *value);
  TChartPen &Pen() noexcept { return *pen_; }
  void SetPen(const TPen &value) { pen_->Assign(value); }
  TLegendSymbolPosition Position() const noexcept { return position_; }
  void SetPosition(TLegendSymbolPosition value) { Set(position_, value); }
  // Made on first read; size 3.
  TUloShadow &Shadow();
  TUloShadow *ExistingShadow() const noexcept { return shadow_.get(); }
  void SetShadow(const TUloShadow *value);
  bool Squared() const noexcept { return squared_; }
  void SetSquared(bool value) { Set(squared_, value); }
  bool Visible() const noexcept { return visible_; }
  void SetVisible(bool value) { Set(visible_, value); }
  int Width() const noexcept { return width_; }
  void SetWidth(int value) { Set(width_, value); }
  TLegendSymbolSize WidthUnits() const noexcept { return widthUnits_; }
  void SetWidthUnits(TLegendSymbolSize value) { Set(widthUnits_, value); }

  // A visible gradient or a visible shadow with a size.
  bool HasGradientOrShadow() const;
  // The symbol in Rect: shadow, pen, gradient or plain fill in Color.
  void Draw(TCanvas3D &canvas, TColor color, const TRect &rect);

  // Replaces the drawing of the symbol.
  std::function<void(TLegendSymbol &sender, int index, const TRect &rect)> OnDraw;

  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  template <class T, class U> void Set(T &field, U &&value) {
    if (UloStoreIfChanged(field, std::forward<U>(value))) Repaint();
  }
  void Repaint();

  TCustomChartLegend *legend_;
  bool continuous_ = false;
  bool defaultPen_ = true;
  std::unique_ptr<TChartLegendGradient> gradient_;
  std::unique_ptr<TChartPen> pen_;
  TLegendSymbolPosition position_ = TLegendSymbolPosition::spLeft;
  std::unique_ptr<TUloShadow> shadow_;
  bool squared_ = false;
  bool visible_ = true;
  int width_ = 20;
  TLegendSymbolSize widthUnits_ = TLegendSymbolSize::lcsPercent;
  TUloStoredParts storedParts_;
};

// One laid-out row.
class TLegendItem {
public:
  explicit TLegendItem(TCustomChartLegend *legend = nullptr) : legend_(legend) {}

  TAlignment Align() const noexcept { return align_; }
  void SetAlign(TAlignment value) { Set(align_, value); }
  int Left() const noexcept { return left_; }
  void SetLeft(int value) { Set(left_, value); }
  int Top() const noexcept { return top_; }
  void SetTop(int value) { Set(top_, value); }
  const std::string &Text() const noexcept { return text_; }
  void SetText(std::string value) { Set(text_, std::move(value)); }
  const std::string &Text2() const noexcept { return text2_; }
  void SetText2(std::string value) { Set(text2_, std::move(value)); }
  // Where the symbol was drawn last.
  TRect SymbolRect;

private:
  template <class T, class U> void Set(T &field, U &&value) {
    if (UloStoreIfChanged(field, std::forward<U>(value))) Changed();
  }
  // The legend's chart repaints.
  void Changed();
  TCustomChartLegend *legend_;
  TAlignment align_ = TAlignment::taLeftJustify;
  int left_ = 0;
  int top_ = 0;
  std::string text_;
  std::string text2_;
};

// The rows; an index read for the first time makes the row (and any
// missing ones before it).
class TLegendItems {
public:
  explicit TLegendItems(TCustomChartLegend *legend = nullptr) : legend_(legend) {}
  TLegendItem &Item(int index);
  TLegendItem &operator[](int index) { return Item(index); }
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  void Clear() { items_.clear(); }

private:
  TCustomChartLegend *legend_;
  std::vector<std::unique_ptr<TLegendItem>> items_;
};

// The block at the legend's top.
class TLegendTitle : public TUloShape {
public:
  explicit TLegendTitle(TCustomUloPanel *chart = nullptr);

  void Assign(const TUloCustomShapeBrushPen &source) override;

  const std::vector<std::string> &Text() const noexcept { return text_; }
  void SetText(std::vector<std::string> value) { SetAndRepaint(text_, std::move(value)); }
  TAlignment TextAlignment() const noexcept { return textAlignment_; }
  void SetTextAlignment(TAlignment value) { SetAndRepaint(textAlignment_, value); }

  // Widest line + "W" (with frame and shadow when not transparent).
  int TotalWidth(TUloCanvas &canvas);
  // Lines * text height (with frame when not transparent).
  int TotalHeight(TUloCanvas &canvas);

  void DefineProperties(streaming::TPropertyTable &table) override;

protected:
  void InitShadow(TUloShadow &shadow) override;

private:
  std::vector<std::string> text_;
  TAlignment textAlignment_ = TAlignment::taCenter;
};

class TCustomChartLegend : public TUloCustomShapePosition {
public:
  explicit TCustomChartLegend(TCustomUloPanel *chart = nullptr);
  ~TCustomChartLegend() override;

  // Every setting (pen, symbol and title by Assign), then the position.
  void Assign(const TUloCustomShapeBrushPen &source) override;

  // ---- settings
  TLegendAlignment Alignment() const noexcept { return alignment_; }
  void SetAlignment(TLegendAlignment value) { SetAndRepaint(alignment_, value); }
  bool CheckBoxes() const noexcept { return checkBoxes_; }
  void SetCheckBoxes(bool value);
  TCheckBoxesStyle CheckBoxesStyle() const noexcept { return checkBoxesStyle_; }
  // Radio leaves only the first active legend series active.
  void SetCheckBoxesStyle(TCheckBoxesStyle value);
  // Symbol.Width under its published alias.
  int ColorWidth() const noexcept { return symbol_->Width(); }
  void SetColorWidth(int value) { symbol_->SetWidth(value); }
  bool CurrentPage() const noexcept { return currentPage_; }
  void SetCurrentPage(bool value) { SetAndRepaint(currentPage_, value); }
  TChartHiddenPen &DividingLines() noexcept { return *dividingLines_; }
  void SetDividingLines(const TPen &value) { dividingLines_->Assign(value); }
  int FirstValue() const noexcept { return firstValue_; }
  // LegendException for a negative value, which is not stored.
  void SetFirstValue(int value);
  bool FontSeriesColor() const noexcept { return fontSeriesColor_; }
  void SetFontSeriesColor(bool value) { SetAndRepaint(fontSeriesColor_, value); }
  int HorizMargin() const noexcept { return horizMargin_; }
  void SetHorizMargin(int value) { SetAndRepaint(horizMargin_, value); }
  bool Inverted() const noexcept { return inverted_; }
  void SetInverted(bool value) { SetAndRepaint(inverted_, value); }
  int LeftPercent() const noexcept { return leftPercent_; }
  void SetLeftPercent(int value) { SetAndRepaint(leftPercent_, value); }
  TLegendStyle LegendStyle() const noexcept { return legendStyle_; }
  void SetLegendStyle(TLegendStyle value);
  int MaxNumRows() const noexcept { return maxNumRows_; }
  void SetMaxNumRows(int value) { SetAndRepaint(maxNumRows_, value); }
  TUloUnits PositionUnits() const noexcept { return positionUnits_; }
  void SetPositionUnits(TUloUnits value) { SetAndRepaint(positionUnits_, value); }
  bool ResizeChart() const noexcept { return resizeChart_; }
  void SetResizeChart(bool value) { SetAndRepaint(resizeChart_, value); }
  TLegendSymbol &Symbol() noexcept { return *symbol_; }
  void SetSymbol(const TLegendSymbol &value) { symbol_->Assign(value); }
  TLegendTextStyle TextStyle() const noexcept { return textStyle_; }
  void SetTextStyle(TLegendTextStyle value) { SetAndRepaint(textStyle_, value); }
  TLegendTitle &Title() noexcept { return *title_; }
  void SetTitle(const TLegendTitle &value) { title_->Assign(value); }
  int TopPercent() const noexcept { return topPercent_; }
  void SetTopPercent(int value) { SetAndRepaint(topPercent_, value); }
  int TopPos() const noexcept { return topPos_; }
  void SetTopPos(int value) { SetAndRepaint(topPos_, value); }
  int VertMargin() const noexcept { return vertMargin_; }
  void SetVertMargin(int value) { SetAndRepaint(vertMargin_, value); }
  int VertSpacing() const noexcept { return vertSpacing_; }
  void SetVertSpacing(int value) { SetAndRepaint(vertSpacing_, value); }

  // ---- derived state
  TLegendItems &Items() noexcept { return items_; }
  // lsAuto made concrete by the chart's active series.
  TLegendStyle CalcLegendStyle() const;
  bool Vertical() const noexcept {
    return alignment_ == TLegendAlignment::laLeft || alignment_ == TLegendAlignment::laRight;
  }
  bool HasCheckBoxes() const;
  // Visible with check boxes or an active series.
  bool ShouldDraw() const;
  // Text height (at least 17 with check boxes) + VertSpacing (+ dividing
  // lines when vertical); at least 1.
  int CalcItemHeight();
  int CalcSymbolWidth(int textWidth);
  int TotalLegendItems() const;
  // The series the values of lsValues come from: the first active series
  // shown in the legend, or null.
  TChartSeries *GetLegendSeries() const;
  // The text of row Index (from 0, FirstValue not added), after the chart's
  // OnGetLegendText.
  std::string FormattedLegend(int index) const;
  // The text of one value of a series in TextStyle.
  std::string FormattedValue(TChartSeries *series, int valueIndex) const;
  // The row under the point (FirstValue counted in), -1 outside. With
  // Inverted, rows count back from the last one shown, slot by slot, in
  // every layout: the last row sits top left.
  int Clicked(int x, int y);

  // Lays the legend out, draws it and (unless custom-positioned) takes its
  // space from the chart rectangle.
  void DrawLegend();
  // A paint that shows no legend leaves no rows to click.
  void ClearLayout() noexcept {
    rows_ = 0;
    lastValue_ = -1;
  }

  // Layout of the last drawing.
  int ColorWidthPixels() const noexcept { return colorWidth_; }
  int LastValue() const noexcept { return lastValue_; }
  int TotalRows() const noexcept { return totalRows_; }
  int Columns() const noexcept { return columns_; }
  int Rows() const noexcept { return rows_; }
  int ItemHeight() const noexcept { return itemHeight_; }
  int TitleBottom() const noexcept { return titleRect_.Bottom; }

  void DefineProperties(streaming::TPropertyTable &table) override;

protected:
  TCustomChart *Chart() const;

private:
  friend class TLegendItem;
  // Texts of the rows the legend will show; the two column widths.
  void CalcRowTexts(int first, int last, int &width1, int &width2);
  void DrawItems(int frameWidth);
  void ResizeChartRect();
  // The legend's own shadow offsets, 0 when it shows none.
  int ShadowVert();
  int ShadowHoriz();
  // Both text columns with the gap between them.
  int TextWidth() const noexcept;

  TLegendAlignment alignment_ = TLegendAlignment::laRight;
  bool checkBoxes_ = false;
  TCheckBoxesStyle checkBoxesStyle_ = TCheckBoxesStyle::cbsCheck;
  bool currentPage_ = true;
  std::unique_ptr<TChartHiddenPen> dividingLines_;
  int firstValue_ = 0;
  bool fontSeriesColor_ = false;
  int horizMargin_ = 0;
  bool inverted_ = false;
  TLegendItems items_;
  int leftPercent_ = 0;
  TLegendStyle legendStyle_ = TLegendStyle::lsAuto;
  int maxNumRows_ = 10;
  TUloUnits positionUnits_ = TUloUnits::muPixels;
  bool resizeChart_ = true;
  std::unique_ptr<TLegendSymbol> symbol_;
  TLegendTextStyle textStyle_ = TLegendTextStyle::ltsLeftValue;
  std::unique_ptr<TLegendTitle> title_;
  int topPos_ = 10;
  int topPercent_ = 0;
  int vertMargin_ = 0;
  int vertSpacing_ = 0;

  // Layout state of the last drawing.
  int colorWidth_ = 0;
  int lastValue_ = -1;
  int totalRows_ = 0;
  bool titleShown_ = false;
  TLegendStyle resolvedStyle_ = TLegendStyle::lsAuto;
  int columns_ = 1;
  int rows_ = 0;
  int columnWidth1_ = 0;
  int columnWidth2_ = 0;
  int itemHeight_ = 0;
  int frameWidth_ = 0;
  // The first row shown (FirstValue, or the page's first value).
  int firstShown_ = 0;
  // The top of the first row band.
  int rowsTop_ = 0;
  TRect titleRect_;
  // The row texts of the last layout, per shown row, kept to reuse storage.
  std::vector<std::string> rowText1_;
  std::vector<std::string> rowText2_;
};

class TChartLegend : public TCustomChartLegend {
public:
  using TCustomChartLegend::TCustomChartLegend;
};
