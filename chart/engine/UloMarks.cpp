#include "chart/engine/UloMarks.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloSeries.h"
#include "chart/engine/UloSeriesData.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProcs.h"
#include "chart/foundation/UloRichText.h"
#include "chart/foundation/UloStoredParts.h"
#include "platform/rtl/Numbers.h"

namespace {

constexpr streaming::TEnumName<TSeriesMarksStyle> kMarksStyleNames[] = {
    {TSeriesMarksStyle::smsValue, "smsValue"},
    {TSeriesMarksStyle::smsPercent, "smsPercent"},
    {TSeriesMarksStyle::smsLabel, "smsLabel"},
    {TSeriesMarksStyle::smsLabelPercent, "smsLabelPercent"},
    {TSeriesMarksStyle::smsLabelValue, "smsLabelValue"},
    {TSeriesMarksStyle::smsLegend, "smsLegend"},
    {TSeriesMarksStyle::smsPercentTotal, "smsPercentTotal"},
    {TSeriesMarksStyle::smsLabelPercentTotal, "smsLabelPercentTotal"},
    {TSeriesMarksStyle::smsXValue, "smsXValue"},
    {TSeriesMarksStyle::smsXY, "smsXY"},
    {TSeriesMarksStyle::smsSeriesTitle, "smsSeriesTitle"},
    {TSeriesMarksStyle::smsPointIndex, "smsPointIndex"},
    {TSeriesMarksStyle::smsPercentRelative, "smsPercentRelative"}};

constexpr streaming::TEnumName<TAlignment> kAlignmentNames[] = {{TAlignment::taLeftJustify, "taLeftJustify"},
                                                                {TAlignment::taRightJustify, "taRightJustify"},
                                                                {TAlignment::taCenter, "taCenter"}};

constexpr streaming::TEnumName<TMarginUnits> kMarginUnitNames[] = {{TMarginUnits::maPercentFont, "maPercentFont"},
                                                                   {TMarginUnits::maPercentSize, "maPercentSize"},
                                                                   {TMarginUnits::maPixels, "maPixels"}};

} // namespace

std::span<const streaming::TEnumName<TSeriesMarksStyle>> UloMarksStyleNames() noexcept { return kMarksStyleNames; }

namespace {

int RoundMargin(double v) { return rtl::RoundPixel(v); }

// The lines of a mark text: character 13 ends a line, CR LF ends it once.
template <class F> void ForEachMarkLine(std::string_view text, F &&f) {
  size_t start = 0;
  int k = 0;
  while (start <= text.size()) {
    size_t end = text.find('\r', start);
    if (end == std::string_view::npos) {
      if (start < text.size()) f(k, text.substr(start));
      return;
    }
    f(k++, text.substr(start, end - start));
    start = end + 1;
    if (start < text.size() && text[start] == '\n') ++start;
  }
}

} // namespace

// ---- TMargins -------------------------------------------------------------------------------

TMargins::TMargins(std::function<void()> changed, int defaultLeftRight, int defaultTopBottom)
    : changed_(std::move(changed)), defaultLeftRight_(defaultLeftRight), defaultTopBottom_(defaultTopBottom),
      left_(defaultLeftRight), top_(defaultTopBottom), right_(defaultLeftRight), bottom_(defaultTopBottom) {}

void TMargins::Assign(const TMargins &source) {
  if (&source == this) return;
  left_ = source.left_;
  top_ = source.top_;
  right_ = source.right_;
  bottom_ = source.bottom_;
  units_ = source.units_;
  if (changed_) changed_();
}

void TMargins::Set(int &field, int value) {
  if (field == value) return;
  field = value;
  if (changed_) changed_();
}

void TMargins::SetUnits(TMarginUnits value) {
  if (units_ == value) return;
  units_ = value;
  if (changed_) changed_();
}

void TMargins::Calculate(int width, int height, int fontHeight) {
  switch (units_) {
  case TMarginUnits::maPercentFont: {
    const double f = 0.02 * fontHeight;
    pLeft_ = RoundMargin(left_ * f);
    pTop_ = RoundMargin(top_ * f);
    pRight_ = RoundMargin(right_ * f);
    pBottom_ = RoundMargin(bottom_ * f);
    break;
  }
  case TMarginUnits::maPercentSize:
    pLeft_ = RoundMargin(left_ * 0.01 * width);
    pRight_ = RoundMargin(right_ * 0.01 * width);
    pTop_ = RoundMargin(top_ * 0.01 * height);
    pBottom_ = RoundMargin(bottom_ * 0.01 * height);
    break;
  case TMarginUnits::maPixels:
    pLeft_ = left_;
    pTop_ = top_;
    pRight_ = right_;
    pBottom_ = bottom_;
    break;
  }
}

void TMargins::DefineProperties(streaming::TPropertyTable &table) {
  table.Property("Left", this, &TMargins::Left, &TMargins::SetLeft, defaultLeftRight_);
  table.Property("Top", this, &TMargins::Top, &TMargins::SetTop, defaultTopBottom_);
  table.Property("Right", this, &TMargins::Right, &TMargins::SetRight, defaultLeftRight_);
  table.Property("Bottom", this, &TMargins::Bottom, &TMargins::SetBottom, defaultTopBottom_);
  table.Enum(
      "Units", [this] { return units_; }, [this](TMarginUnits v) { SetUnits(v); }, TMarginUnits::maPercentFont,
      kMarginUnitNames);
}

// ---- positions ------------------------------------------------------------------------------

TSeriesMarkPosition *TSeriesMarksPositions::Position(int index) const noexcept {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<size_t>(index)].get();
}

TSeriesMarkPosition &TSeriesMarksPositions::Ensure(int index) {
  if (index < 0) throw ChartException("Mark position index " + std::to_string(index) + " out of bounds");
  if (index >= Count()) items_.resize(static_cast<size_t>(index) + 1);
  auto &p = items_[static_cast<size_t>(index)];
  if (!p) p = std::make_unique<TSeriesMarkPosition>();
  return *p;
}

void TSeriesMarksPositions::Set(int index, std::unique_ptr<TSeriesMarkPosition> position) {
  if (index < 0) throw ChartException("Mark position index " + std::to_string(index) + " out of bounds");
  if (index >= Count()) items_.resize(static_cast<size_t>(index) + 1);
  items_[static_cast<size_t>(index)] = std::move(position);
}

void TSeriesMarksPositions::Delete(int index) {
  if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

void TSeriesMarksPositions::DeleteRange(int start, int quantity) {
  if (start < 0 || start >= Count() || quantity <= 0) return;
  const int q = std::min(quantity, Count() - start);
  items_.erase(items_.begin() + start, items_.begin() + start + q);
}

bool TSeriesMarksPositions::ExistCustom() const noexcept {
  return std::any_of(items_.begin(), items_.end(), [](const auto &p) { return p && p->Custom; });
}

void TSeriesMarksPositions::MoveCustom(int dx, int dy) {
  for (auto &p : items_)
    if (p && p->Custom) {
      p->LeftTop.X += dx;
      p->LeftTop.Y += dy;
      p->ArrowTo.X += dx;
      p->ArrowTo.Y += dy;
    }
}

// ---- items ---------------------------------------------------------------------------------------

TMarksItem::TMarksItem(TCustomUloPanel *chart) : TUloShape(chart) { SetColor(clInfoBk); }

void TMarksItem::Assign(const TUloCustomShapeBrushPen &source) {
  if (auto *s = dynamic_cast<const TMarksItem *>(&source); s && s != this) SetText(s->text_.get());
  TUloShape::Assign(source);
}

std::vector<std::string> &TMarksItem::Text() {
  if (!text_) text_ = std::make_unique<std::vector<std::string>>();
  return *text_;
}

void TMarksItem::SetText(const std::vector<std::string> *value) {
  if (!value) {
    text_.reset();
  } else if (value != text_.get()) {
    Text() = *value;
  }
  Repaint();
}

void TMarksItem::DefineProperties(streaming::TPropertyTable &table) {
  TUloShape::DefineProperties(table);
  DefineBrush(table);
  DefinePen(table, "Frame");
  table.Color(
      "Color", [this] { return Color(); }, [this](TColor c) { SetColor(c); }, clInfoBk);
  table
      .Property(
          "Text", [this] { return text_ ? *text_ : std::vector<std::string>(); },
          [this](std::vector<std::string> v) { Text() = std::move(v); })
      .StoredWhen([this] { return text_ != nullptr; });
}

TMarksItem &TMarksItems::Item(int index) {
  if (index < 0) throw ChartException("Marks item index " + std::to_string(index) + " out of bounds");
  if (index >= Count()) items_.resize(static_cast<size_t>(index) + 1);
  auto &item = items_[static_cast<size_t>(index)];
  if (!item) item = std::make_unique<TMarksItem>(marks_.ParentChart());
  return *item;
}

TMarksItem *TMarksItems::Existing(int index) const noexcept {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<size_t>(index)].get();
}

void TMarksItems::Delete(int index) {
  if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

void TMarksItems::DeleteRange(int start, int quantity) {
  if (start < 0 || start >= Count() || quantity <= 0) return;
  const int q = std::min(quantity, Count() - start);
  items_.erase(items_.begin() + start, items_.begin() + start + q);
}

void TMarksItems::Clear() {
  items_.clear();
  marks_.Repaint();
}

void TMarksItems::SetParent(TCustomUloPanel *chart) {
  for (auto &item : items_)
    if (item) item->SetParent(chart);
}

// ---- gradient and symbol ---------------------------------------------------------------------------

TSeriesMarksGradient::TSeriesMarksGradient(TUloChangeEvent onChange) : TUloGradient(std::move(onChange)) {
  SetDirection(static_cast<TGradientDirection>(3));
  SetEndColor(clWhite);
  SetStartColor(clSilver);
}

TSeriesMarksSymbol::TSeriesMarksSymbol(TCustomUloPanel *chart) : TUloShape(chart) {
  SetVisible(false);
  Shadow().SetBothSizes(1);
}

// ---- TSeriesMarks --------------------------------------------------------------------------------

TSeriesMarks::TSeriesMarks(TChartSeries *series)
    : TUloShape(series ? series->ParentChart() : nullptr), items_(*this), margins_([this] { Repaint(); }, 20, 5),
      series_(series) {
  SetVisible(false);
  SetColor(clInfoBk);
}

TSeriesMarks::~TSeriesMarks() = default;

std::unique_ptr<TUloGradient> TSeriesMarks::CreateGradient() {
  return std::make_unique<TSeriesMarksGradient>([this] { Repaint(); });
}

void TSeriesMarks::Assign(const TUloCustomShapeBrushPen &source) {
  if (auto *s = dynamic_cast<const TSeriesMarks *>(&source); s && s != this) {
    angle_ = s->angle_;
    SetCallout(s->callout_.get());
    clip_ = s->clip_;
    drawEvery_ = s->drawEvery_;
    style_ = s->style_;
    margins_.Assign(s->margins_);
    multiLine_ = s->multiLine_;
    SetSymbol(s->symbol_.get());
    textAlign_ = s->textAlign_;
    items_.ClearSilently();
    for (int i = 0; i < s->items_.Count(); ++i)
      if (const TMarksItem *item = s->items_.Existing(i)) items_.Item(i).Assign(*item);
  }
  TUloShape::Assign(source);
}

TMarksCallout &TSeriesMarks::Callout() {
  if (!callout_) callout_ = std::make_unique<TMarksCallout>(series_, ParentChart());
  return *callout_;
}

void TSeriesMarks::SetCallout(const TMarksCallout *value) {
  UloSetLazyPart(
      callout_, value, [this]() -> TMarksCallout & { return Callout(); }, [this] { Repaint(); });
}

TSeriesMarksSymbol &TSeriesMarks::Symbol() {
  if (!symbol_) symbol_ = std::make_unique<TSeriesMarksSymbol>(ParentChart());
  return *symbol_;
}

void TSeriesMarks::SetSymbol(const TSeriesMarksSymbol *value) {
  UloSetLazyPart(
      symbol_, value, [this]() -> TSeriesMarksSymbol & { return Symbol(); }, [this] { Repaint(); });
}

void TSeriesMarks::SetParent(TCustomUloPanel *chart) {
  TUloShape::SetParent(chart);
  if (callout_) callout_->SetParent(chart);
  if (symbol_) symbol_->SetParent(chart);
  items_.SetParent(chart);
}

void TSeriesMarks::Clear() {
  positions_.Clear();
  items_.Clear();
}

TUloCustomShape &TSeriesMarks::MarkItem(int index) {
  if (TMarksItem *item = items_.Existing(index)) return *item;
  return *this;
}

void TSeriesMarks::SetPosition(int index, TSeriesMarkPosition &position) {
  TSeriesMarkPosition &stored = positions_.Ensure(index);
  if (stored.Custom) {
    const TPoint computedFrom = position.ArrowFrom;
    position = stored;
    if (stored.ArrowFix) position.ArrowFrom = computedFrom;
  } else {
    stored = position;
  }
}

void TSeriesMarks::ApplyCalloutOffset(TSeriesMarkPosition &position) {
  if (!callout_) return;
  const int distance = callout_->Distance();
  const int t = callout_->Length() + distance;
  position.LeftTop.Y -= t;
  position.ArrowTo.Y -= t;
  position.ArrowFrom.Y -= distance;
}

int TSeriesMarks::Clicked(int x, int y) {
  const int every = EffectiveDrawEvery();
  const TPoint p{x, y};
  for (int i = positions_.Count() - 1; i >= 0; --i) {
    if (i % every != 0) continue;
    const TSeriesMarkPosition *pos = positions_.Position(i);
    if (!pos) continue;
    const TRect r = pos->Bounds();
    if (angle_ > 0) {
      const TFourPoints corners = DrawRectRotated(r, angle_ % 360);
      if (PointInPolygon(p, corners)) return i;
    } else if (x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom) {
      return i;
    }
  }
  return -1;
}

void TSeriesMarks::DrawText(int index, TColor colour, const std::string &text, TSeriesMarkPosition &position) {
  SetPosition(index, position);
  DrawItem(MarkItem(index), colour, position, text);
}

int TSeriesMarks::MarkWidth(int index) {
  TCustomUloPanel *panel = ParentChart();
  if (!panel || !series_) return 0;
  TCanvas3D &canvas = panel->Canvas();
  int w = 0;
  ForEachMarkLine(series_->BuildMarkText(index),
                  [&](int, std::string_view line) { w = std::max(w, canvas.MeasureTextWidth(line)); });
  return w;
}

void TSeriesMarks::DrawItem(TUloCustomShape &item, TColor colour, TSeriesMarkPosition &position,
                            const std::string &text) {
  TCustomUloPanel *panel = ParentChart();
  if (!panel) return;
  TCanvas3D &canvas = panel->Canvas();
  const bool is3D = panel->View3D();
  if (callout_ && (callout_->Visible() || callout_->Arrow().Visible()))
    callout_->Draw(colour, position.ArrowFrom, false, zPosition_, position.ArrowTo, position.ArrowTo);

  if (item.Transparent()) {
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.SetBkMode(UloTransparentMode);
  }

  TPoint leftTop = position.LeftTop;
  if (is3D && !canvas.CapabilityFlagB()) {
    const TPoint projected = canvas.ProjectPoint(position.ArrowTo.X, position.ArrowTo.Y, zPosition_);
    leftTop.X += projected.X - position.ArrowTo.X;
    leftTop.Y += projected.Y - position.ArrowTo.Y;
  }
  if (position.Custom) {
    leftTop.X += panel->PanelBounds.Left;
    leftTop.Y += panel->PanelBounds.Top;
  }
  const TRect box{leftTop.X, leftTop.Y, leftTop.X + position.Width, leftTop.Y + position.Height};
  const int angle = angle_ % 360;
  item.DrawRect(box, angle, zPosition_ + 1);

  canvas.ApplyFont(item.Font());
  const int fh = canvas.StandardTextHeight();
  int areaLeft = box.Left + 2;
  if (symbol_ && symbol_->ShouldDraw()) {
    symbol_->SetTransparent(false);
    symbol_->SetColor(colour);
    const TRect s{box.Left + 4, box.Top + 3, box.Left + fh - 1, box.Top + fh - 2};
    symbol_->DrawRect(s, angle, zPosition_ + 1);
    areaLeft += s.Right - s.Left + 4;
    canvas.ApplyFont(item.Font());
  }
  margins_.Calculate(position.Width, position.Height, fh);
  int anchor;
  switch (textAlign_) {
  case TAlignment::taLeftJustify:
    anchor = areaLeft + margins_.PixelLeft();
    canvas.SetTextAlign(0);
    break;
  case TAlignment::taRightJustify:
    anchor = box.Right - margins_.PixelRight();
    canvas.SetTextAlign(2);
    break;
  default:
    anchor = (areaLeft + margins_.PixelLeft() + box.Right - margins_.PixelRight()) / 2;
    canvas.SetTextAlign(6);
    break;
  }
  canvas.SetBkMode(UloTransparentMode);
  if (item.TextFormat() == TTextFormat::ttfHtml) {
    canvas.SetTextAlign(0);
    DrawRichText(canvas, areaLeft + margins_.PixelLeft(), box.Top + margins_.PixelTop(), text);
    return;
  }
  const int frameExtra = item.Pen().Visible() && item.Pen().Width() > 1 ? (item.Pen().Width() - 1) / 2 : 0;
  const int top = box.Top + margins_.PixelTop() + frameExtra;
  if (angle == 0) {
    ForEachMarkLine(text, [&](int k, std::string_view line) {
      if (is3D)
        canvas.TextOutAtDepth(anchor, top + k * fh, zPosition_, line);
      else
        canvas.TextOut(anchor, top + k * fh, line);
    });
  } else {
    // Each line's anchor turns about the box's middle with the box.
    const double a = angle * 3.14159265358979323846 / 180.0;
    const double s = std::sin(a), c = std::cos(a);
    const int cx = (box.Left + box.Right) / 2, cy = (box.Top + box.Bottom) / 2;
    const int extra = angle == 90 ? 1 : 0;
    ForEachMarkLine(text, [&](int k, std::string_view line) {
      const double dx = anchor - cx, dy = top + k * fh - cy;
      const int x = cx + rtl::RoundPixel(dx * c + dy * s) + extra;
      const int y = cy + rtl::RoundPixel(-dx * s + dy * c);
      if (is3D)
        canvas.RotatedTextOutAtDepth(x, y, zPosition_, line, angle);
      else
        canvas.RotatedTextOut(x, y, line, angle);
    });
  }
  canvas.SetTextAlign(0);
}

void TSeriesMarks::DefineProperties(streaming::TPropertyTable &table) {
  TUloShape::DefineProperties(table);
  DefineBrush(table);
  DefinePen(table, "Frame");
  table.Property("Angle", this, &TSeriesMarks::Angle, &TSeriesMarks::SetAngle, 0);
  table.Object("Callout", [this] { return static_cast<streaming::TPersistent *>(&Callout()); }).StoredWhen([this] {
    return callout_ != nullptr;
  });
  table.Property("Clip", this, &TSeriesMarks::Clip, &TSeriesMarks::SetClip, false);
  table.Color(
      "Color", [this] { return Color(); }, [this](TColor c) { SetColor(c); }, clInfoBk);
  table.Property("DrawEvery", this, &TSeriesMarks::DrawEvery, &TSeriesMarks::SetDrawEvery, 1);
  table.Object("Margins", [this] { return &margins_; });
  table.Enum(
      "Style", [this] { return style_; }, [this](TSeriesMarksStyle v) { SetStyle(v); }, TSeriesMarksStyle::smsLabel,
      kMarksStyleNames);
  table.Property("MultiLine", this, &TSeriesMarks::MultiLine, &TSeriesMarks::SetMultiLine, false);
  table.Object("Symbol", [this] { return static_cast<streaming::TPersistent *>(&Symbol()); }).StoredWhen([this] {
    return symbol_ != nullptr;
  });
  table.Enum(
      "TextAlign", [this] { return textAlign_; }, [this](TAlignment v) { SetTextAlign(v); }, TAlignment::taCenter,
      kAlignmentNames);
  table.Property("Visible", this, &TSeriesMarks::Visible, &TSeriesMarks::SetVisible, false);
  UloDefineMarksItems(table, *this);
}
