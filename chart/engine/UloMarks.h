// The framed labels a series draws next to its points: text style, frame
// and font, margins, symbol, callout with its arrow, per-point overrides
// and per-point positions (some moved by hand).
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "chart/engine/UloEngineTypes.h"
#include "chart/engine/UloPointer.h"
#include "chart/foundation/UloShape.h"

enum class TSeriesMarksStyle {
  smsValue,
  smsPercent,
  smsLabel,
  smsLabelPercent,
  smsLabelValue,
  smsLegend,
  smsPercentTotal,
  smsLabelPercentTotal,
  smsXValue,
  smsXY,
  smsSeriesTitle,
  smsPointIndex,
  smsPercentRelative
};

enum class TMarginUnits { maPercentFont, maPercentSize, maPixels };

// The stored names of the marks styles.
std::span<const streaming::TEnumName<TSeriesMarksStyle>> UloMarksStyleNames() noexcept;

// Margins inside a frame, in percent of the font height or of the box, or
// in pixels.
class TMargins : public streaming::TPersistent {
public:
  // Changed runs after every stored change; DefaultLeftRight is the value
  // Left and Right are stored against.
  explicit TMargins(std::function<void()> changed = {}, int defaultLeftRight = 0, int defaultTopBottom = 0);

  void Assign(const TMargins &source);

  int Left() const noexcept { return left_; }
  int Top() const noexcept { return top_; }
  int Right() const noexcept { return right_; }
  int Bottom() const noexcept { return bottom_; }
  TMarginUnits Units() const noexcept { return units_; }
  void SetLeft(int value) { Set(left_, value); }
  void SetTop(int value) { Set(top_, value); }
  void SetRight(int value) { Set(right_, value); }
  void SetBottom(int value) { Set(bottom_, value); }
  void SetUnits(TMarginUnits value);

  // The pixel margins for a box of Width x Height and a font of FontHeight.
  void Calculate(int width, int height, int fontHeight);
  // Of the last Calculate.
  int PixelLeft() const noexcept { return pLeft_; }
  int PixelTop() const noexcept { return pTop_; }
  int PixelRight() const noexcept { return pRight_; }
  int PixelBottom() const noexcept { return pBottom_; }
  int SizeH() const noexcept { return pLeft_ + pRight_; }
  int SizeV() const noexcept { return pTop_ + pBottom_; }

  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  void Set(int &field, int value);
  std::function<void()> changed_;
  int defaultLeftRight_;
  int defaultTopBottom_;
  int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
  TMarginUnits units_ = TMarginUnits::maPercentFont;
  int pLeft_ = 0, pTop_ = 0, pRight_ = 0, pBottom_ = 0;
};

// Where one mark is: its box, the arrow from the point, and whether the
// user placed it.
class TSeriesMarkPosition {
public:
  TPoint ArrowFrom{};
  bool ArrowFix = false;
  TPoint ArrowTo{};
  bool Custom = false;
  int Height = 0;
  TPoint LeftTop{};
  int Width = 0;

  void Assign(const TSeriesMarkPosition &source) { *this = source; }
  TRect Bounds() const noexcept { return TRect{LeftTop.X, LeftTop.Y, LeftTop.X + Width, LeftTop.Y + Height}; }
};

// One entry per point index, or none.
class TSeriesMarksPositions {
public:
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  // Null for an index without a position or beyond the list.
  TSeriesMarkPosition *Position(int index) const noexcept;
  // Pads with empty entries up to Index and makes the entry when missing.
  TSeriesMarkPosition &Ensure(int index);
  void Set(int index, std::unique_ptr<TSeriesMarkPosition> position);
  void Delete(int index);
  void DeleteRange(int start, int quantity);
  void Clear() { items_.clear(); }
  bool ExistCustom() const noexcept;
  // Moves every custom position by (DX, DY).
  void MoveCustom(int dx, int dy);

private:
  std::vector<std::unique_ptr<TSeriesMarkPosition>> items_;
};

// The overrides of one point's mark.
class TMarksItem : public TUloShape {
public:
  explicit TMarksItem(TCustomUloPanel *chart = nullptr);
  void Assign(const TUloCustomShapeBrushPen &source) override;

  // The lines, made on first use; null frees them.
  std::vector<std::string> &Text();
  const std::vector<std::string> *ExistingText() const noexcept { return text_.get(); }
  void SetText(const std::vector<std::string> *value);

  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  std::unique_ptr<std::vector<std::string>> text_;
};

class TSeriesMarks;

// The per-point overrides: entries are null until first used.
class TMarksItems {
public:
  explicit TMarksItems(TSeriesMarks &marks) : marks_(marks) {}
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  // Made on first use (pads with null entries). A negative index raises
  // ChartException.
  TMarksItem &Item(int index);
  // Null when there is no item at Index.
  TMarksItem *Existing(int index) const noexcept;
  void Delete(int index);
  void DeleteRange(int start, int quantity);
  // Frees the items and repaints.
  void Clear();
  // Frees the items without a repaint.
  void ClearSilently() noexcept { items_.clear(); }
  void SetParent(TCustomUloPanel *chart);

private:
  TSeriesMarks &marks_;
  std::vector<std::unique_ptr<TMarksItem>> items_;
};

class TSeriesMarksGradient : public TUloGradient {
public:
  explicit TSeriesMarksGradient(TUloChangeEvent onChange = {});
};

class TSeriesMarksSymbol : public TUloShape {
public:
  explicit TSeriesMarksSymbol(TCustomUloPanel *chart = nullptr);
  bool ShouldDraw() const noexcept { return Visible() && !Transparent(); }
};

class TSeriesMarks : public TUloShape {
public:
  explicit TSeriesMarks(TChartSeries *series = nullptr);
  ~TSeriesMarks() override;

  void Assign(const TUloCustomShapeBrushPen &source) override;

  // ---- settings
  int Angle() const noexcept { return angle_; }
  void SetAngle(int value) { SetAndRepaint(angle_, value); }
  // Made on first use.
  TMarksCallout &Callout();
  TMarksCallout *ExistingCallout() const noexcept { return callout_.get(); }
  // Null frees the callout.
  void SetCallout(const TMarksCallout *value);
  TChartPen &Arrow() { return Callout().Arrow(); }
  int ArrowLength() const noexcept { return callout_ ? callout_->Length() : 8; }
  // Makes the callout.
  void SetArrowLength(int value) { Callout().SetLength(value); }
  TColor BackColor() const noexcept { return Color(); }
  void SetBackColor(TColor value) { SetColor(value); }
  bool Clip() const noexcept { return clip_; }
  void SetClip(bool value) { SetAndRepaint(clip_, value); }
  // Values of 0 or less count as 1.
  int DrawEvery() const noexcept { return drawEvery_; }
  void SetDrawEvery(int value) { SetAndRepaint(drawEvery_, value); }
  int EffectiveDrawEvery() const noexcept { return drawEvery_ < 1 ? 1 : drawEvery_; }
  TMarksItems &Items() noexcept { return items_; }
  TMargins &Margins() noexcept { return margins_; }
  void SetMargins(const TMargins &value) { margins_.Assign(value); }
  bool MultiLine() const noexcept { return multiLine_; }
  void SetMultiLine(bool value) { SetAndRepaint(multiLine_, value); }
  TSeriesMarksPositions &Positions() noexcept { return positions_; }
  TSeriesMarksStyle Style() const noexcept { return style_; }
  void SetStyle(TSeriesMarksStyle value) { SetAndRepaint(style_, value); }
  // Made on first use.
  TSeriesMarksSymbol &Symbol();
  TSeriesMarksSymbol *ExistingSymbol() const noexcept { return symbol_.get(); }
  void SetSymbol(const TSeriesMarksSymbol *value);
  TAlignment TextAlign() const noexcept { return textAlign_; }
  void SetTextAlign(TAlignment value) { SetAndRepaint(textAlign_, value); }
  int ZPosition() const noexcept { return zPosition_; }
  void SetZPosition(int value) noexcept { zPosition_ = value; }
  TChartSeries *Series() const noexcept { return series_; }

  // ---- operations
  // The marks, callout, symbol and items take Chart as their parent.
  void SetParent(TCustomUloPanel *chart) override;
  // Positions and items.
  void Clear();
  // The stored position replaces a computed one when custom (the arrow's
  // start stays at the point with ArrowFix); else the computed one is kept.
  void SetPosition(int index, TSeriesMarkPosition &position);
  // With a callout: the box and arrow's far end up by ArrowLength +
  // Distance, the near end up by Distance.
  void ApplyCalloutOffset(TSeriesMarkPosition &position);
  // The highest index whose mark box holds the pixel, or -1.
  int Clicked(int x, int y);
  void DrawText(int index, TColor colour, const std::string &text, TSeriesMarkPosition &position);
  void DrawItem(TUloCustomShape &item, TColor colour, TSeriesMarkPosition &position, const std::string &text);
  // The widest line of the mark text of Index, in the canvas's font.
  int MarkWidth(int index);
  // The per-point item at Index when it has one, else the marks.
  TUloCustomShape &MarkItem(int index);

  void DefineProperties(streaming::TPropertyTable &table) override;

protected:
  std::unique_ptr<TUloGradient> CreateGradient() override;

private:
  int angle_ = 0;
  std::unique_ptr<TMarksCallout> callout_;
  bool clip_ = false;
  int drawEvery_ = 1;
  TMarksItems items_;
  TMargins margins_;
  TSeriesMarksStyle style_ = TSeriesMarksStyle::smsLabel;
  bool multiLine_ = false;
  TChartSeries *series_;
  TSeriesMarksPositions positions_;
  std::unique_ptr<TSeriesMarksSymbol> symbol_;
  TAlignment textAlign_ = TAlignment::taCenter;
  int zPosition_ = 0;
};
