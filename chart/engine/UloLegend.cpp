#include "chart/engine/UloLegend.h"

#include <algorithm>
#include <cstdlib>

#include "chart/engine/Chart.h"
#include "chart/engine/UloSeries.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloGeometry.h"
#include "chart/foundation/UloProcs.h"
#include "platform/rtl/Numbers.h"

using streaming::TPropertyTable;

namespace {

// A check box or radio button is this wide and high.
constexpr int kCheckBoxSize = 13;
// Rows with check boxes are at least this high.
constexpr int kCheckBoxRowHeight = 17;

constexpr streaming::TEnumName<TLegendAlignment> kAlignmentNames[] = {
    {TLegendAlignment::laLeft, "laLeft"},
    {TLegendAlignment::laRight, "laRight"},
    {TLegendAlignment::laTop, "laTop"},
    {TLegendAlignment::laBottom, "laBottom"},
};
constexpr streaming::TEnumName<TCheckBoxesStyle> kCheckBoxesStyleNames[] = {
    {TCheckBoxesStyle::cbsCheck, "cbsCheck"},
    {TCheckBoxesStyle::cbsRadio, "cbsRadio"},
};
constexpr streaming::TEnumName<TLegendStyle> kLegendStyleNames[] = {
    {TLegendStyle::lsAuto, "lsAuto"},
    {TLegendStyle::lsSeries, "lsSeries"},
    {TLegendStyle::lsValues, "lsValues"},
    {TLegendStyle::lsLastValues, "lsLastValues"},
    {TLegendStyle::lsSeriesGroups, "lsSeriesGroups"},
};
constexpr streaming::TEnumName<TLegendTextStyle> kTextStyleNames[] = {
    {TLegendTextStyle::ltsPlain, "ltsPlain"},
    {TLegendTextStyle::ltsLeftValue, "ltsLeftValue"},
    {TLegendTextStyle::ltsRightValue, "ltsRightValue"},
    {TLegendTextStyle::ltsLeftPercent, "ltsLeftPercent"},
    {TLegendTextStyle::ltsRightPercent, "ltsRightPercent"},
    {TLegendTextStyle::ltsXValue, "ltsXValue"},
    {TLegendTextStyle::ltsValue, "ltsValue"},
    {TLegendTextStyle::ltsPercent, "ltsPercent"},
    {TLegendTextStyle::ltsXAndValue, "ltsXAndValue"},
    {TLegendTextStyle::ltsXAndPercent, "ltsXAndPercent"},
};
constexpr streaming::TEnumName<TUloUnits> kUnitsNames[] = {
    {TUloUnits::muPercent, "muPercent"},
    {TUloUnits::muPixels, "muPixels"},
};
constexpr streaming::TEnumName<TLegendSymbolPosition> kSymbolPositionNames[] = {
    {TLegendSymbolPosition::spLeft, "spLeft"},
    {TLegendSymbolPosition::spRight, "spRight"},
};
constexpr streaming::TEnumName<TLegendSymbolSize> kSymbolSizeNames[] = {
    {TLegendSymbolSize::lcsPercent, "lcsPercent"},
    {TLegendSymbolSize::lcsPixels, "lcsPixels"},
};

TRect OffsetRect(const TRect &r, int dx, int dy) { return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

bool Inside(const TRect &r, int x, int y) { return x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom; }

} // namespace

// ---- symbol gradient and symbol --------------------------------------------------

TChartLegendGradient::TChartLegendGradient(TUloChangeEvent onChange) : TUloGradient(std::move(onChange)) {
  SetDirection(TGradientDirection::gdRightLeft);
  SetEndColor(clWhite);
  SetStartColor(0xC0C0C0);
}

TLegendSymbol::TLegendSymbol(TCustomChartLegend *legend)
    : legend_(legend), pen_(std::make_unique<TChartPen>([this] { Repaint(); })) {
  Shadow();
}

TLegendSymbol::~TLegendSymbol() = default;

void TLegendSymbol::Repaint() {
  if (legend_) legend_->Repaint();
}

void TLegendSymbol::Assign(const TLegendSymbol &source) {
  if (&source == this) return;
  SetContinuous(source.continuous_);
  SetDefaultPen(source.defaultPen_);
  SetGradient(source.gradient_.get());
  pen_->Assign(*source.pen_);
  SetPosition(source.position_);
  SetShadow(source.shadow_.get());
  SetSquared(source.squared_);
  SetVisible(source.visible_);
  SetWidth(source.width_);
  SetWidthUnits(source.widthUnits_);
}

TChartLegendGradient &TLegendSymbol::Gradient() {
  if (!gradient_) gradient_ = std::make_unique<TChartLegendGradient>([this] { Repaint(); });
  return *gradient_;
}

void TLegendSymbol::SetGradient(const TUloGradient *value) {
  UloSetLazyPart(
      gradient_, value, [this]() -> auto & { return Gradient(); }, [this] { Repaint(); });
}

TUloShadow &TLegendSymbol::Shadow() {
  if (!shadow_) {
    shadow_ = std::make_unique<TUloShadow>();
    shadow_->InitColorAndSize(shadow_->Color(), 3);
    shadow_->OnChange = [this] { Repaint(); };
  }
  return *shadow_;
}

void TLegendSymbol::SetShadow(const TUloShadow *value) {
  if (!value) {
    if (shadow_) {
      shadow_.reset();
      Repaint();
    }
    return;
  }
  Shadow().Assign(*value);
}

bool TLegendSymbol::HasGradientOrShadow() const {
  return (gradient_ && gradient_->Visible()) ||
         (shadow_ && shadow_->Visible() && (shadow_->HorizSize() != 0 || shadow_->VertSize() != 0));
}

void TLegendSymbol::Draw(TCanvas3D &canvas, TColor color, const TRect &rect) {
  if (shadow_ && shadow_->Visible() && (shadow_->HorizSize() != 0 || shadow_->VertSize() != 0))
    shadow_->PaintRectShadow(canvas, rect, 0);
  if (!defaultPen_) canvas.ApplyPen(*pen_);
  if (gradient_ && gradient_->Visible()) {
    gradient_->SetEndColor(color);
    gradient_->PaintRect(canvas, rect);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
  } else {
    canvas.Brush().SetColor(color);
  }
  if (canvas.Pen().Style() == TPenStyle::psClear && canvas.Brush().Style() != TBrushStyle::bsClear)
    canvas.Rectangle(rect.Left, rect.Top, rect.Right + 1, rect.Bottom + 1);
  else
    canvas.RectangleOfRect(rect);
}

void TLegendSymbol::DefineProperties(TPropertyTable &t) {
  t.Property(
      "Continuous", [this] { return Continuous(); }, [this](bool v) { SetContinuous(v); }, false);
  t.Property(
      "DefaultPen", [this] { return DefaultPen(); }, [this](bool v) { SetDefaultPen(v); }, true);
  t.Object("Gradient", storedParts_.Get("Gradient", [this](TPropertyTable &p) {
     DefineUloGradient(p, Gradient());
   })).StoredWhen([this] { return gradient_ != nullptr; });
  t.Object("Pen", storedParts_.Get("Pen", [this](TPropertyTable &p) { DefineChartPen(p, *pen_); }));
  t.Enum(
      "Position", [this] { return Position(); }, [this](TLegendSymbolPosition v) { SetPosition(v); },
      TLegendSymbolPosition::spLeft, kSymbolPositionNames);
  t.Object("Shadow", storedParts_.Get("Shadow", [this](TPropertyTable &p) {
     DefineUloShadow(p, Shadow());
   })).StoredWhen([this] { return shadow_ != nullptr; });
  t.Property(
      "Squared", [this] { return Squared(); }, [this](bool v) { SetSquared(v); }, false);
  t.Property(
      "Visible", [this] { return Visible(); }, [this](bool v) { SetVisible(v); }, true);
  t.Property(
      "Width", [this] { return Width(); }, [this](int v) { SetWidth(v); }, 20);
  t.Enum(
      "WidthUnits", [this] { return WidthUnits(); }, [this](TLegendSymbolSize v) { SetWidthUnits(v); },
      TLegendSymbolSize::lcsPercent, kSymbolSizeNames);
}

// ---- items -------------------------------------------------------------------------------

void TLegendItem::Changed() {
  if (legend_) legend_->Repaint();
}

TLegendItem &TLegendItems::Item(int index) {
  if (index < 0) throw rtl::Exception("List index out of bounds (" + std::to_string(index) + ")");
  while (static_cast<int>(items_.size()) <= index)
    items_.push_back(std::make_unique<TLegendItem>(legend_));
  return *items_[static_cast<size_t>(index)];
}

// ---- title ----------------------------------------------------------------------------------

TLegendTitle::TLegendTitle(TCustomUloPanel *chart) : TUloShape(chart) {
  SetDefaultTransparent(true);
  Font().SetStyle(TFontStyle::fsBold);
  InitShadow(Shadow());
}

void TLegendTitle::InitShadow(TUloShadow &shadow) { shadow.InitColorAndSize(0xC0C0C0, 2); }

void TLegendTitle::Assign(const TUloCustomShapeBrushPen &source) {
  if (auto *other = dynamic_cast<const TLegendTitle *>(&source); other && other != this) {
    SetText(other->text_);
    SetTextAlignment(other->textAlignment_);
  }
  TUloShape::Assign(source);
}

int TLegendTitle::TotalWidth(TUloCanvas &canvas) {
  canvas.ApplyFont(Font());
  int widest = 0;
  for (const std::string &line : text_)
    widest = std::max(widest, canvas.MeasureTextWidth(line));
  int width = widest + canvas.MeasureTextWidth("W");
  if (!Transparent()) {
    if (Pen().Visible()) width += 2 * Pen().Width();
    if (ExistingShadow() && ExistingShadow()->Visible()) width += ExistingShadow()->HorizSize();
  }
  return width;
}

int TLegendTitle::TotalHeight(TUloCanvas &canvas) {
  canvas.ApplyFont(Font());
  int height = static_cast<int>(text_.size()) * canvas.StandardTextHeight();
  if (!Transparent()) {
    height += 2;
    if (Pen().Visible()) height += 2 * Pen().Width();
  }
  return height;
}

void TLegendTitle::DefineProperties(TPropertyTable &t) {
  TUloShape::DefineProperties(t);
  // The title's font is bold from the start.
  t.Object("Font", StoredParts().Get("TitleFont", [this](TPropertyTable &p) {
    UloDefineFontKeys(p, Font(), StoredParts(), clBlack, TFontStyle::fsBold);
  }));
  t.Property(
       "Text", [this] { return Text(); }, [this](std::vector<std::string> v) { SetText(std::move(v)); })
      .StoredWhen([this] { return !Text().empty(); });
  t.Enum(
      "TextAlignment", [this] { return TextAlignment(); }, [this](TAlignment a) { SetTextAlignment(a); },
      TAlignment::taCenter, UloAlignmentNames());
}

// ---- legend: settings -----------------------------------------------------------------------

TCustomChartLegend::TCustomChartLegend(TCustomUloPanel *chart)
    : TUloCustomShapePosition(chart), dividingLines_(std::make_unique<TChartHiddenPen>([this] { Repaint(); })),
      items_(this), symbol_(std::make_unique<TLegendSymbol>(this)), title_(std::make_unique<TLegendTitle>(chart)) {}

TCustomChartLegend::~TCustomChartLegend() = default;

TCustomChart *TCustomChartLegend::Chart() const { return dynamic_cast<TCustomChart *>(ParentChart()); }

void TCustomChartLegend::Assign(const TUloCustomShapeBrushPen &source) {
  if (auto *other = dynamic_cast<const TCustomChartLegend *>(&source); other && other != this) {
    SetAlignment(other->alignment_);
    SetCheckBoxes(other->checkBoxes_);
    SetCheckBoxesStyle(other->checkBoxesStyle_);
    SetCurrentPage(other->currentPage_);
    dividingLines_->Assign(*other->dividingLines_);
    SetFirstValue(other->firstValue_);
    SetFontSeriesColor(other->fontSeriesColor_);
    SetHorizMargin(other->horizMargin_);
    SetInverted(other->inverted_);
    SetLeftPercent(other->leftPercent_);
    SetLegendStyle(other->legendStyle_);
    SetMaxNumRows(other->maxNumRows_);
    SetPositionUnits(other->positionUnits_);
    SetResizeChart(other->resizeChart_);
    symbol_->Assign(*other->symbol_);
    SetTextStyle(other->textStyle_);
    title_->Assign(*other->title_);
    SetTopPos(other->topPos_);
    SetTopPercent(other->topPercent_);
    SetVertMargin(other->vertMargin_);
    SetVertSpacing(other->vertSpacing_);
  }
  TUloCustomShapePosition::Assign(source);
}

void TCustomChartLegend::SetCheckBoxes(bool value) {
  SetAndRepaint(checkBoxes_, value);
  resolvedStyle_ = CalcLegendStyle();
}

void TCustomChartLegend::SetCheckBoxesStyle(TCheckBoxesStyle value) {
  SetAndRepaint(checkBoxesStyle_, value);
  if (value != TCheckBoxesStyle::cbsRadio) return;
  TCustomChart *chart = Chart();
  if (!chart) return;
  bool first = true;
  for (int i = 0; TChartSeries *s = chart->LegendSeries(i, false); ++i)
    if (s->Active()) {
      if (!first) s->SetActive(false);
      first = false;
    }
}

void TCustomChartLegend::SetFirstValue(int value) {
  if (value < 0) throw LegendException(UloMsgLegendFirstValue);
  SetAndRepaint(firstValue_, value);
}

void TCustomChartLegend::SetLegendStyle(TLegendStyle value) {
  SetAndRepaint(legendStyle_, value);
  resolvedStyle_ = CalcLegendStyle();
}

// ---- legend: derived state --------------------------------------------------------------

TLegendStyle TCustomChartLegend::CalcLegendStyle() const {
  if (legendStyle_ != TLegendStyle::lsAuto) return legendStyle_;
  const TCustomChart *chart = Chart();
  const int active = chart ? chart->CountActiveSeries() : 0;
  return !checkBoxes_ && active < 2 ? TLegendStyle::lsValues : TLegendStyle::lsSeries;
}

bool TCustomChartLegend::HasCheckBoxes() const { return checkBoxes_ && CalcLegendStyle() != TLegendStyle::lsValues; }

bool TCustomChartLegend::ShouldDraw() const {
  const TCustomChart *chart = Chart();
  return Visible() && chart && (HasCheckBoxes() || chart->CountActiveSeries() > 0);
}

int TCustomChartLegend::CalcItemHeight() {
  TCustomChart *chart = Chart();
  if (!chart) return 1;
  TUloCanvas3D &canvas = chart->Canvas();
  canvas.ApplyFont(Font());
  int h = canvas.StandardTextHeight();
  if (HasCheckBoxes()) h = std::max(h, kCheckBoxRowHeight);
  h += vertSpacing_;
  if (Vertical() && dividingLines_->Visible()) h += dividingLines_->Width();
  // An empty or unusable font must not make a zero row height, which the
  // layout and the click test divide by.
  return std::max(1, h);
}

int TCustomChartLegend::CalcSymbolWidth(int textWidth) {
  if (!symbol_->Visible()) return 0;
  if (symbol_->Squared()) return std::max(0, itemHeight_ - 5);
  if (symbol_->WidthUnits() == TLegendSymbolSize::lcsPercent)
    return rtl::RoundPixel(symbol_->Width() * textWidth * 0.01);
  return symbol_->Width();
}

TChartSeries *TCustomChartLegend::GetLegendSeries() const {
  const TCustomChart *chart = Chart();
  return chart ? chart->LegendSeries(0, true) : nullptr;
}

int TCustomChartLegend::TotalLegendItems() const {
  TCustomChart *chart = Chart();
  if (!chart) return 0;
  int total = 0;
  switch (CalcLegendStyle()) {
  case TLegendStyle::lsSeriesGroups:
    return chart->SeriesGroups().Count();
  case TLegendStyle::lsValues:
    if (TChartSeries *s = GetLegendSeries()) total = s->LegendRowCount() - firstValue_;
    break;
  default: {
    const bool all = HasCheckBoxes();
    for (int i = 0; i < chart->SeriesCount(); ++i) {
      TChartSeries *s = chart->GetSeries(i);
      if (s->ShowInLegend() && (all || s->Active())) ++total;
    }
    total -= firstValue_;
    break;
  }
  }
  return std::max(0, total);
}

std::string TCustomChartLegend::FormattedValue(TChartSeries *series, int valueIndex) const {
  return series ? series->LegendRowText(valueIndex, textStyle_) : std::string();
}

std::string TCustomChartLegend::FormattedLegend(int index) const {
  TCustomChart *chart = Chart();
  if (!chart) return {};
  const TLegendStyle style = CalcLegendStyle();
  const bool onlyActive = !HasCheckBoxes();
  std::string text;
  switch (style) {
  case TLegendStyle::lsSeries:
    text = chart->LegendSeriesTitle(index, onlyActive);
    break;
  case TLegendStyle::lsValues:
    if (TChartSeries *s = GetLegendSeries()) text = chart->FormattedValueLegend(s, index);
    break;
  case TLegendStyle::lsLastValues:
    if (TChartSeries *s = chart->LegendSeries(index, onlyActive); s && s->PointCount() > 0)
      text = chart->FormattedValueLegend(s, s->PointCount() - 1);
    break;
  case TLegendStyle::lsSeriesGroups:
    if (index >= 0 && index < chart->SeriesGroups().Count()) text = chart->SeriesGroups().Items(index)->Name();
    break;
  case TLegendStyle::lsAuto:
    break;
  }
  if (chart->OnGetLegendText) chart->OnGetLegendText(chart, style, index, text);
  return text;
}

int TCustomChartLegend::Clicked(int x, int y) {
  const TRect &r = ShapeBounds;
  if (!Inside(r, x, y)) return -1;
  const int rows = rows_;
  if (rows <= 0 || lastValue_ < firstShown_) return -1;
  const int ih = std::max(1, itemHeight_);
  const int top = rowsTop_;
  if (y < top) return -1;
  // Bands share their edge pixel; the upper band takes it.
  int line = (y - top) / ih;
  if (line > 0 && (y - top) % ih == 0) --line;
  if (line >= rows) return -1;
  const int shown = lastValue_ - firstShown_ + 1;
  if (Vertical()) {
    const int slot = inverted_ ? rows - line - 1 : line;
    if (slot >= shown) return -1;
    return firstShown_ + slot;
  }
  const int columns = std::max(1, columns_);
  const int w = std::max(1, (r.Right - r.Left) / columns);
  int column = (x - r.Left - 1) / w;
  if (column > 0 && (x - r.Left - 1) % w == 0) --column;
  column = std::clamp(column, 0, columns - 1);
  const int slot = columns * line + column;
  if (slot >= shown) return -1;
  // With Inverted the slots count back from the last row shown, as drawn.
  return inverted_ ? lastValue_ - slot : firstShown_ + slot;
}

// ---- legend: layout and drawing -------------------------------------------------------------

void TCustomChartLegend::CalcRowTexts(int first, int last, int &width1, int &width2) {
  TUloCanvas3D &canvas = Chart()->Canvas();
  width1 = width2 = 0;
  const int n = std::max(0, last - first + 1);
  if (static_cast<int>(rowText1_.size()) < n) {
    rowText1_.resize(static_cast<size_t>(n));
    rowText2_.resize(static_cast<size_t>(n));
  }
  for (int i = 0; i < n; ++i) {
    std::string text = FormattedLegend(first + i);
    std::string &t1 = rowText1_[static_cast<size_t>(i)];
    std::string &t2 = rowText2_[static_cast<size_t>(i)];
    const size_t sep = text.find(UloLegendColumnSeparator);
    if (sep == std::string::npos) {
      t1 = std::move(text);
      t2.clear();
    } else {
      t1.assign(text, 0, sep);
      t2.assign(text, sep + 1);
      // Only two columns: further separators show as blanks.
      std::replace(t2.begin(), t2.end(), UloLegendColumnSeparator, ' ');
    }
    width1 = std::max(width1, canvas.MeasureTextWidth(t1));
    if (!t2.empty()) width2 = std::max(width2, canvas.MeasureTextWidth(t2));
  }
}

int TCustomChartLegend::ShadowVert() {
  TUloShadow *s = ExistingShadow();
  return s && s->Visible() ? s->VertSize() : 0;
}

int TCustomChartLegend::ShadowHoriz() {
  TUloShadow *s = ExistingShadow();
  return s && s->Visible() ? s->HorizSize() : 0;
}

int TCustomChartLegend::TextWidth() const noexcept {
  return columnWidth1_ + (columnWidth2_ > 0 ? 6 + columnWidth2_ : 0);
}

void TCustomChartLegend::DrawLegend() {
  TCustomChart *chart = Chart();
  if (!chart || !ShouldDraw()) return;
  TUloCanvas3D &canvas = chart->Canvas();
  resolvedStyle_ = CalcLegendStyle();
  const bool custom = CustomPosition();
  const bool checks = HasCheckBoxes();

  int frameWidth = Pen().Visible() ? Pen().Width() : 0;
  if (Bevel() != TBevelCut::bvNone) frameWidth = BevelWidth();
  frameWidth_ = frameWidth;

  if (custom && positionUnits_ == TUloUnits::muPercent) {
    const int w = ShapeBounds.Right - ShapeBounds.Left, h = ShapeBounds.Bottom - ShapeBounds.Top;
    ShapeBounds.Left = rtl::RoundPixel(leftPercent_ * chart->Width() * 0.01);
    ShapeBounds.Top = rtl::RoundPixel(topPercent_ * chart->Height() * 0.01);
    ShapeBounds.Right = ShapeBounds.Left + w;
    ShapeBounds.Bottom = ShapeBounds.Top + h;
  }
  const int shiftX = custom ? chart->PanelBounds.Left : 0, shiftY = custom ? chart->PanelBounds.Top : 0;
  ShapeBounds = OffsetRect(ShapeBounds, shiftX, shiftY);

  // Rows shown start at FirstValue, or at the current page's first value.
  firstShown_ = firstValue_;
  int total = TotalLegendItems();
  const int perPage = chart->Pages().MaxPointsPerPage();
  if (resolvedStyle_ == TLegendStyle::lsValues && currentPage_ && perPage > 0) {
    firstShown_ = chart->Pages().PageFirstIndex();
    TChartSeries *s = GetLegendSeries();
    total = std::clamp((s ? s->LegendRowCount() : 0) - firstShown_, 0, perPage);
  }
  totalRows_ = total;

  titleShown_ = title_->Visible() && !title_->Text().empty();
  const int titleHeight = titleShown_ ? title_->TotalHeight(canvas) : 0;
  const int titleWidth = titleShown_ ? title_->TotalWidth(canvas) : 0;
  canvas.ApplyFont(Font());
  itemHeight_ = CalcItemHeight();

  rows_ = 0;
  columns_ = 1;
  if (!Vertical()) {
    if (!custom) {
      if (alignment_ == TLegendAlignment::laTop) {
        const int h = ShapeBounds.Bottom - ShapeBounds.Top;
        ShapeBounds.Top = chart->ChartRect.Top + frameWidth + 1;
        ShapeBounds.Bottom = ShapeBounds.Top + h;
      } else {
        ShapeBounds.Bottom = chart->ChartRect.Bottom - (frameWidth + 1 + ShadowVert());
      }
    }
    // Only rows that can show are formatted: at most MaxNumRows lines of
    // columns at least 8 pixels wide.
    const int room = chart->ChartWidth - 2 * frameWidth - 8;
    const int maxColumns = std::max(1, room / 8);
    const int candidates = static_cast<int>(std::min<long long>(total, 1LL * std::max(0, maxNumRows_) * maxColumns));
    CalcRowTexts(firstShown_, firstShown_ + candidates - 1, columnWidth1_, columnWidth2_);
    colorWidth_ = CalcSymbolWidth(TextWidth());
    const int p = TextWidth() + colorWidth_ + 8 + (checks ? 27 : 0);
    int columns = 0;
    if (p > 0 && chart->ChartRect.Right > 8) columns = std::min(std::max(0, room / p), total);
    columns_ = std::max(1, columns);
    rows_ = columns > 0 ? std::min((total + columns - 1) / columns, maxNumRows_) : 0;
    rows_ = std::max(0, rows_);
    lastValue_ = firstShown_ + std::min(total, rows_ * columns) - 1;
  } else {
    if (!custom) {
      const TRect &pb = chart->PanelBounds;
      const TUloShadow &panelShadow = chart->Shadow();
      const int d = panelShadow.Visible() && panelShadow.VertSize() < 0 ? 2 * panelShadow.VertSize() : 0;
      const int h = ShapeBounds.Bottom - ShapeBounds.Top;
      ShapeBounds.Top = rtl::RoundPixel(topPos_ * ((pb.Bottom - pb.Top) - d) * 0.01) + d + pb.Top;
      ShapeBounds.Bottom = ShapeBounds.Top + h;
    }
    // The rows start below the title block, whose box ends 2 pixels below
    // the title's text height.
    const int t = titleShown_ ? ShapeBounds.Top + 2 + titleHeight : ShapeBounds.Top;
    if (chart->ChartRect.Bottom > t)
      rows_ = std::clamp((chart->ChartRect.Bottom - t - 2 * frameWidth) / itemHeight_, 0, total);
    lastValue_ = firstShown_ + std::min(total, rows_) - 1;
    CalcRowTexts(firstShown_, lastValue_, columnWidth1_, columnWidth2_);
    colorWidth_ = CalcSymbolWidth(TextWidth());
  }
  canvas.ApplyFont(Font());

  if (rows_ <= 0 || lastValue_ < firstShown_) {
    ShapeBounds = OffsetRect(ShapeBounds, -shiftX, -shiftY);
    return;
  }

  int height = itemHeight_ * rows_ + 2 + 2 * rtl::RoundPixel(itemHeight_ * 0.1);
  if (titleShown_) {
    height += titleHeight + 4;
    if (!title_->Transparent() && title_->ExistingShadow() && title_->ExistingShadow()->Visible())
      height += title_->ExistingShadow()->VertSize();
  }
  if (TUloShadow *ss = symbol_->ExistingShadow(); ss && ss->Visible() && ss->VertSize() > itemHeight_ / 6)
    height += ss->VertSize() - itemHeight_ / 6;
  if (!custom && alignment_ == TLegendAlignment::laBottom)
    ShapeBounds.Top = ShapeBounds.Bottom - height;
  else
    ShapeBounds.Bottom = ShapeBounds.Top + height;

  const int symbolExtra = symbol_->Visible() ? 2 : 0;
  if (!Vertical()) {
    int width = (columns_ - 1) * 6 + 4 + (TextWidth() + colorWidth_) * columns_ + 8 + 2 * columns_;
    // Each column steps 23 pixels further with check boxes; the box grows
    // by as much, or the last columns' texts would run out of it.
    if (checks) width += 23 * columns_ + 4;
    width = std::min(std::max(width, titleWidth), chart->ChartWidth);
    if (!custom) {
      const TRect &pb = chart->PanelBounds;
      ShapeBounds.Left =
          chart->ChartXCenter - width / 2 + rtl::RoundPixel(topPos_ * ((pb.Right - pb.Left) - 2 * (width / 2)) * 0.01);
    }
    ShapeBounds.Right = ShapeBounds.Left + width;
  } else {
    int width = TextWidth() + 12 + colorWidth_ + symbolExtra;
    if (TUloShadow *ss = symbol_->ExistingShadow(); ss && ss->Visible()) width += std::abs(ss->HorizSize());
    width = std::max(width, titleWidth);
    if (checks) width += 15;
    if (!custom) {
      if (alignment_ == TLegendAlignment::laLeft) {
        ShapeBounds.Left = chart->ChartRect.Left + frameWidth + 1;
        ShapeBounds.Right = ShapeBounds.Left + width;
      } else {
        ShapeBounds.Right = chart->ChartRect.Right - ShadowHoriz() - frameWidth - 1;
        ShapeBounds.Left = ShapeBounds.Right - width;
      }
    } else {
      ShapeBounds.Right = ShapeBounds.Left + width;
    }
  }

  if (chart->OnGetLegendRect) chart->OnGetLegendRect(chart, ShapeBounds);

  Draw();
  // The title block and where the rows start.
  titleRect_ = TRect{ShapeBounds.Left, ShapeBounds.Top, ShapeBounds.Right, ShapeBounds.Top};
  if (titleShown_) {
    TRect tr{ShapeBounds.Left + 2, ShapeBounds.Top + 2, ShapeBounds.Right - 2, ShapeBounds.Top + 2 + titleHeight};
    if (TUloShadow *ts = title_->ExistingShadow(); ts && ts->Visible()) {
      if (ts->HorizSize() > 0) tr.Right -= ts->HorizSize();
      if (ts->HorizSize() < 0) tr.Left -= ts->HorizSize();
      if (ts->VertSize() < 0) tr.Top -= ts->VertSize();
    }
    title_->ShapeBounds = tr;
    title_->Draw();
    canvas.ApplyFont(title_->Font());
    canvas.SetBkMode(UloTransparentMode);
    const int lh = canvas.StandardTextHeight();
    const int halfW = canvas.MeasureTextWidth("W") / 2;
    for (size_t i = 0; i < title_->Text().size(); ++i) {
      const std::string &line = title_->Text()[i];
      const int tw = canvas.MeasureTextWidth(line);
      int x;
      switch (title_->TextAlignment()) {
      case TAlignment::taCenter:
        x = (tr.Left + tr.Right) / 2 - tw / 2;
        break;
      case TAlignment::taRightJustify:
        x = tr.Right - tw - halfW;
        break;
      default:
        x = tr.Left + halfW;
        break;
      }
      canvas.TextOut(x, tr.Top + static_cast<int>(i) * lh, line);
    }
    titleRect_.Bottom = tr.Bottom;
  }
  rowsTop_ = titleRect_.Bottom + 1;
  canvas.ApplyFont(Font());
  DrawItems(frameWidth);
  ShapeBounds = OffsetRect(ShapeBounds, -shiftX, -shiftY);
  titleRect_ = OffsetRect(titleRect_, -shiftX, -shiftY);
  rowsTop_ -= shiftY;

  if (!custom && resizeChart_ && !chart->FixedChartRect()) ResizeChartRect();
}

void TCustomChartLegend::DrawItems(int frameWidth) {
  (void)frameWidth;
  TCustomChart *chart = Chart();
  TUloCanvas3D &canvas = chart->Canvas();
  const bool checks = HasCheckBoxes();
  const bool onlyActive = !checks;
  const int shown = lastValue_ - firstShown_ + 1;
  const int columns = std::max(1, columns_);
  const int step = TextWidth() + colorWidth_ + 8 + (checks ? 23 : 0);
  const int textHeight = canvas.StandardTextHeight();
  const TColor fontColor = Font().Color();
  TChartSeries *valuesSeries = resolvedStyle_ == TLegendStyle::lsValues ? GetLegendSeries() : nullptr;
  canvas.SetBkMode(UloTransparentMode);
  canvas.SetTextAlign(0);

  for (int slot = 0; slot < shown; ++slot) {
    const int row = inverted_ ? lastValue_ - slot : firstShown_ + slot;
    const int textIndex = row - firstShown_;
    const int column = slot % columns, line = slot / columns;
    const int rowLeft = ShapeBounds.Left + (Vertical() ? 0 : column * step);
    int y = rowsTop_ + line * itemHeight_;
    int x = rowLeft + 4 + (checks ? 15 : 0);
    int xColor = symbol_->Position() == TLegendSymbolPosition::spLeft ? x : x + TextWidth() + 6;
    if (chart->OnGetLegendPos) {
      const int oldX = x;
      chart->OnGetLegendPos(chart, row, x, y, xColor);
      (void)oldX;
    }

    TChartSeries *series = nullptr;
    int symbolIndex = -1;
    bool checked = true;
    switch (resolvedStyle_) {
    case TLegendStyle::lsValues:
      series = valuesSeries;
      symbolIndex = row;
      break;
    case TLegendStyle::lsSeries:
      series = chart->LegendSeries(row, onlyActive);
      break;
    case TLegendStyle::lsLastValues:
      series = chart->LegendSeries(row, onlyActive);
      if (series) symbolIndex = series->PointCount() - 1;
      break;
    case TLegendStyle::lsSeriesGroups:
      if (row < chart->SeriesGroups().Count())
        checked = chart->SeriesGroups().Items(row)->Active() != TSeriesGroupActive::gaNo;
      break;
    case TLegendStyle::lsAuto:
      break;
    }
    if (series && resolvedStyle_ != TLegendStyle::lsValues) checked = series->Active();

    canvas.Font().SetColor(fontSeriesColor_ && series ? series->SeriesColor() : fontColor);
    const int textY = y + (itemHeight_ - textHeight) / 2;
    int textX = symbol_->Position() == TLegendSymbolPosition::spLeft ? x + (colorWidth_ > 0 ? colorWidth_ + 6 : 0) : x;
    TLegendItem &item = items_.Item(textIndex);
    item.SetLeft(textX);
    item.SetTop(textY);
    item.SetText(rowText1_[static_cast<size_t>(textIndex)]);
    item.SetText2(rowText2_[static_cast<size_t>(textIndex)]);
    canvas.TextOut(textX, textY, item.Text());
    if (!item.Text2().empty()) canvas.TextOut(textX + columnWidth1_ + 6, textY, item.Text2());

    const TRect symbolRect{xColor, y + 2, xColor + colorWidth_, y + std::max(3, itemHeight_ - 3)};
    item.SymbolRect = symbolRect;
    if (checks && canvas.GetHandle()) {
      const int cy = y + (itemHeight_ - kCheckBoxSize) / 2;
      UloDrawCheckBox(rowLeft + 4, cy, *canvas.GetHandle(), checkBoxesStyle_ == TCheckBoxesStyle::cbsCheck, checked);
    }
    if (colorWidth_ > 0) {
      if (symbol_->OnDraw) {
        symbol_->OnDraw(*symbol_, row, symbolRect);
      } else if (series) {
        if (symbolIndex >= 0 || resolvedStyle_ != TLegendStyle::lsValues)
          series->DrawLegendSymbol(symbolIndex, symbolRect);
      }
    }
    if (dividingLines_->Visible() && slot > 0) {
      canvas.ApplyPen(*dividingLines_);
      if (Vertical() || column == 0) canvas.DrawLine(ShapeBounds.Left + 1, y, ShapeBounds.Right - 1, y);
      if (!Vertical() && column > 0) canvas.DrawLine(rowLeft, y, rowLeft, y + itemHeight_);
    }
  }
  canvas.Font().SetColor(fontColor);
}

void TCustomChartLegend::ResizeChartRect() {
  TCustomChart *chart = Chart();
  TRect &r = chart->ChartRect;
  const int width = chart->ChartWidth, height = chart->ChartHeight;
  switch (alignment_) {
  case TLegendAlignment::laLeft:
    r.Left = ShapeBounds.Right + (horizMargin_ != 0 ? horizMargin_ : 3 * width / 100);
    break;
  case TLegendAlignment::laRight:
    r.Right = ShapeBounds.Left - (horizMargin_ != 0 ? horizMargin_ : 3 * width / 100);
    break;
  case TLegendAlignment::laTop: {
    const TUloShadow &ps = chart->Shadow();
    r.Top =
        ShapeBounds.Bottom + (ps.Visible() ? ps.VertSize() : 0) + (vertMargin_ != 0 ? vertMargin_ : 4 * height / 100);
    break;
  }
  case TLegendAlignment::laBottom:
    r.Bottom = ShapeBounds.Top - (vertMargin_ != 0 ? vertMargin_ : 4 * height / 100);
    break;
  }
  chart->RecalcChartSize();
}

// ---- legend: stored keys ------------------------------------------------------------------

void TCustomChartLegend::DefineProperties(TPropertyTable &t) {
  TUloCustomShapePosition::DefineProperties(t);
  t.Enum(
      "Alignment", [this] { return Alignment(); }, [this](TLegendAlignment v) { SetAlignment(v); },
      TLegendAlignment::laRight, kAlignmentNames);
  DefineBrush(t);
  t.Property(
      "CheckBoxes", [this] { return CheckBoxes(); }, [this](bool v) { SetCheckBoxes(v); }, false);
  t.Enum(
      "CheckBoxesStyle", [this] { return CheckBoxesStyle(); }, [this](TCheckBoxesStyle v) { SetCheckBoxesStyle(v); },
      TCheckBoxesStyle::cbsCheck, kCheckBoxesStyleNames);
  // The symbol's width under its old name: stored as Symbol.Width.
  t.Property(
       "ColorWidth", [this] { return ColorWidth(); }, [this](int v) { SetColorWidth(v); }, 20)
      .ReadOnly();
  t.Property(
      "CurrentPage", [this] { return CurrentPage(); }, [this](bool v) { SetCurrentPage(v); }, true);
  t.Object("DividingLines",
           StoredParts().Get("DividingLines", [this](TPropertyTable &p) { DefineChartPen(p, *dividingLines_); }));
  t.Property(
      "FirstValue", [this] { return FirstValue(); }, [this](int v) { SetFirstValue(v); }, 0);
  t.Property(
      "FontSeriesColor", [this] { return FontSeriesColor(); }, [this](bool v) { SetFontSeriesColor(v); }, false);
  DefinePen(t, "Frame");
  t.Property(
      "HorizMargin", [this] { return HorizMargin(); }, [this](int v) { SetHorizMargin(v); }, 0);
  t.Property(
      "Inverted", [this] { return Inverted(); }, [this](bool v) { SetInverted(v); }, false);
  t.Property(
      "LeftPercent", [this] { return LeftPercent(); }, [this](int v) { SetLeftPercent(v); }, 0);
  t.Enum(
      "LegendStyle", [this] { return LegendStyle(); }, [this](TLegendStyle v) { SetLegendStyle(v); },
      TLegendStyle::lsAuto, kLegendStyleNames);
  t.Property(
      "MaxNumRows", [this] { return MaxNumRows(); }, [this](int v) { SetMaxNumRows(v); }, 10);
  t.Enum(
      "PositionUnits", [this] { return PositionUnits(); }, [this](TUloUnits v) { SetPositionUnits(v); },
      TUloUnits::muPixels, kUnitsNames);
  t.Property(
      "ResizeChart", [this] { return ResizeChart(); }, [this](bool v) { SetResizeChart(v); }, true);
  t.Object("Symbol", [this] { return static_cast<streaming::TPersistent *>(symbol_.get()); });
  t.Enum(
      "TextStyle", [this] { return TextStyle(); }, [this](TLegendTextStyle v) { SetTextStyle(v); },
      TLegendTextStyle::ltsLeftValue, kTextStyleNames);
  t.Object("Title", [this] { return static_cast<streaming::TPersistent *>(title_.get()); });
  t.Property(
      "TopPercent", [this] { return TopPercent(); }, [this](int v) { SetTopPercent(v); }, 0);
  t.Property(
      "TopPos", [this] { return TopPos(); }, [this](int v) { SetTopPos(v); }, 10);
  t.Property(
      "VertMargin", [this] { return VertMargin(); }, [this](int v) { SetVertMargin(v); }, 0);
  t.Property(
      "VertSpacing", [this] { return VertSpacing(); }, [this](int v) { SetVertSpacing(v); }, 0);
  UloDefineShapeKeys(t, *this, StoredParts(), TUloShapeDefaults{}, true);
}
