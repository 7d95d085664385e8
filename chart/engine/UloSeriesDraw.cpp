// What the base series does when asked to draw: the point loop, the marks
// with their texts and boxes, and the legend rows with their symbols.
#include <algorithm>
#include <cmath>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloSeries.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProcs.h"
#include "chart/foundation/UloRichText.h"
#include "platform/rtl/FormatFloat.h"
#include "platform/rtl/Numbers.h"

namespace {

constexpr char kLineSeparator = '\r';
constexpr char kColumnSeparator = '\x06';

// Turns AutoRepaint off for a scope and back to what it was, also when
// drawing throws.
class TAutoRepaintOff {
public:
  explicit TAutoRepaintOff(TCustomAxisPanel *panel) : panel_(panel), old_(panel && panel->AutoRepaint()) {
    if (panel_) panel_->SetAutoRepaint(false);
  }
  ~TAutoRepaintOff() {
    if (panel_) panel_->SetAutoRepaint(old_);
  }
  TAutoRepaintOff(const TAutoRepaintOff &) = delete;
  TAutoRepaintOff &operator=(const TAutoRepaintOff &) = delete;

private:
  TCustomAxisPanel *panel_;
  bool old_;
};

std::string FillTwo(const std::string &pattern, const std::string &a, const std::string &b) {
  std::string out;
  int k = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
      out += k++ == 0 ? a : b;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

} // namespace

// ---- point loop -------------------------------------------------------------------------

bool TChartSeries::DrawPointsAscending() {
  if (yMandatory_) {
    const bool inverted = horizAxisObject_ && horizAxisObject_->Inverted();
    if (ParentChart() && ParentChart()->ReversedDepth()) return inverted;
    return !inverted;
  }
  return !(vertAxisObject_ && vertAxisObject_->Inverted());
}

bool TChartSeries::DrawInListOrder() { return !(ParentChart() && ParentChart()->ReversedDepth()); }

void TChartSeries::DrawVisiblePoints() {
  if (firstVisible_ < 0 || lastVisible_ < firstVisible_) return;
  if (DrawPointsAscending()) {
    for (int i = firstVisible_; i <= lastVisible_; ++i)
      DrawPoint(i);
  } else {
    for (int i = lastVisible_; i >= firstVisible_; --i)
      DrawPoint(i);
  }
}

void TChartSeries::DoBeforeDrawValues() {
  if (BeforeDrawValues) BeforeDrawValues(this);
}

void TChartSeries::DoAfterDrawValues() {
  if (AfterDrawValues) AfterDrawValues(this);
}

// ---- marks -----------------------------------------------------------------------------------

namespace {

// The lines of a mark text: character 13 breaks a line, and CR LF breaks it
// once.
template <class F> void ForEachLine(std::string_view text, F &&f) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(kLineSeparator, start);
    if (end == std::string_view::npos) {
      if (start < text.size()) f(text.substr(start));
      return;
    }
    f(text.substr(start, end - start));
    start = end + 1;
    if (start < text.size() && text[start] == '\n') ++start;
  }
}

} // namespace

void TChartSeries::CalcMarkPosition(TUloCustomShape &item, const std::string &text, int x, int y,
                                    TSeriesMarkPosition &position) {
  TCustomAxisPanel *p = ParentChart();
  int w = 0, h = 0, fh = 0;
  if (p) {
    TCanvas3D &canvas = p->Canvas();
    canvas.ApplyFont(item.Font());
    if (p->View3D() && !canvas.CapabilityFlagB() && p->View3DOptions().ZoomText() && p->View3DOptions().Zoom() != 100) {
      const int size = std::max(1, rtl::RoundPixel(item.Font().Size() * p->View3DOptions().Zoom() * 0.01));
      canvas.Font().SetSize(size);
    }
    fh = canvas.StandardTextHeight();
    if (item.TextFormat() == TTextFormat::ttfHtml) {
      gdi::Size size{};
      MeasureRichText(canvas, text, size);
      w = size.cx;
      h = size.cy;
    } else {
      int lines = 0;
      ForEachLine(text, [&](std::string_view line) {
        w = std::max(w, canvas.MeasureTextWidth(line));
        ++lines;
      });
      h = lines * fh;
    }
  }
  TMargins &m = marks_->Margins();
  m.Calculate(w, h, fh);
  w += m.SizeH();
  h += m.SizeV();
  const TSeriesMarksSymbol *symbol = marks_->ExistingSymbol();
  if (symbol && symbol->ShouldDraw()) w += fh - 4;
  if (item.Pen().Visible()) {
    w += item.Pen().Width() - 1;
    h += item.Pen().Width() - 1;
  } else {
    ++w;
    ++h;
  }
  position.Width = w;
  position.Height = h;
  position.ArrowFrom = TPoint{x, y};
  position.ArrowTo = TPoint{x, y};
  position.LeftTop = TPoint{x - w / 2, y - h + 1};
  // The symbol is a font-high square two pixels inside the box.
  if (symbol && symbol->ShouldDraw())
    marks_->Symbol().ShapeBounds =
        TRect{position.LeftTop.X + 2, position.LeftTop.Y + 2, position.LeftTop.X + 2 + fh, position.LeftTop.Y + 2 + fh};
}

void TChartSeries::DrawPointMarks() {
  if (firstVisible_ < 0) return;
  const int every = marks_->EffectiveDrawEvery();
  TSeriesMarkPosition position;
  const int last = std::min(lastVisible_, PointCount() - 1);
  for (int i = firstVisible_; i <= last; ++i) {
    if (i % every != 0 || IsNullPoint(i)) continue;
    const std::string text = BuildMarkText(i);
    if (text.empty()) continue;
    TUloCustomShape &item = marks_->MarkItem(i);
    if (!item.Visible()) continue;
    CalcMarkPosition(item, text, PointPixelX(i), PointPixelY(i), position);
    DrawPointMark(i, text, position);
  }
}

void TChartSeries::DrawPointMark(int index, const std::string &text, TSeriesMarkPosition &position) {
  marks_->DrawText(index, PointColor(index), text, position);
}

// ---- texts ---------------------------------------------------------------------------------------

std::string TChartSeries::ValueText(int index, bool dateTimeDefault) {
  const double v = MandatoryValueAt(index);
  if (dateTimeDefault && mandatory_->DateTime()) return rtl::FormatDateTime(UloDateTimeDefaultFormat(v), v);
  return rtl::FormatFloat(valueFormat_, v);
}

std::string TChartSeries::PercentText(int index, bool signedValue) {
  const double total = mandatory_->TotalABS();
  const double v = MandatoryValueAt(index);
  const double percent = total == 0 ? 100.0 : 100.0 * (signedValue ? v : std::fabs(v)) / total;
  return rtl::FormatFloat(percentFormat_, percent);
}

std::string TChartSeries::XText(int index) {
  const double v = notMandatory_->Value(index);
  TChartAxis *axis = yMandatory_ ? horizAxisObject_ : vertAxisObject_;
  if (axis) return axis->LabelValue(v);
  return rtl::FormatFloat(valueFormat_, v);
}

std::string TChartSeries::BuildMarkText(int index) {
  std::string text;
  const TMarksItem *item = marks_->Items().Existing(index);
  if (item && item->ExistingText()) {
    for (const auto &line : *item->ExistingText()) {
      text += line;
      text += "\r\n";
    }
    if (!text.empty()) text.resize(text.size() - 2);
  } else {
    const std::string sep = marks_->MultiLine() ? std::string(1, kLineSeparator) : std::string(" ");
    auto labelOrValue = [&] {
      const std::string &label = Label(index);
      return label.empty() ? ValueText(index, false) : label;
    };
    auto percentTotal = [&] {
      return FillTwo(marks_->MultiLine() ? UloMsgOfFormatTwoLines : UloMsgOfFormat, PercentText(index, false),
                     rtl::FormatFloat(valueFormat_, mandatory_->TotalABS()));
    };
    switch (marks_->Style()) {
    case TSeriesMarksStyle::smsValue:
      text = ValueText(index, false);
      break;
    case TSeriesMarksStyle::smsPercent:
      text = PercentText(index, false);
      break;
    case TSeriesMarksStyle::smsLabel:
      text = labelOrValue();
      break;
    case TSeriesMarksStyle::smsLabelPercent:
      text = labelOrValue() + sep + PercentText(index, false);
      break;
    case TSeriesMarksStyle::smsLabelValue:
      text = labelOrValue() + sep + ValueText(index, false);
      break;
    case TSeriesMarksStyle::smsLegend:
      text = ParentChart() ? ParentChart()->FormattedValueLegend(this, index) : std::string();
      if (!marks_->MultiLine()) text = ReplaceChar(text, kColumnSeparator, ' ');
      break;
    case TSeriesMarksStyle::smsPercentTotal:
      text = percentTotal();
      break;
    case TSeriesMarksStyle::smsLabelPercentTotal:
      text = labelOrValue() + sep + percentTotal();
      break;
    case TSeriesMarksStyle::smsXValue:
      text = XText(index);
      break;
    case TSeriesMarksStyle::smsXY:
      text = XText(index) + sep + ValueText(index, false);
      break;
    case TSeriesMarksStyle::smsSeriesTitle:
      text = TitleOrName();
      break;
    case TSeriesMarksStyle::smsPointIndex:
      text = std::to_string(index);
      break;
    case TSeriesMarksStyle::smsPercentRelative:
      // A first value of 0 gives an infinite or undefined ratio, which the
      // formatter shows as its fixed texts.
      text =
          rtl::FormatFloat(percentFormat_, index == 0 ? 100.0 : MandatoryValueAt(index) * 100.0 / MandatoryValueAt(0));
      break;
    }
  }
  if (OnGetMarkText) OnGetMarkText(this, index, text);
  return text;
}

int TChartSeries::MaxMarkWidth() {
  int result = 0;
  for (int i = 0; i < PointCount(); ++i)
    if (marks_->MarkItem(i).Visible()) result = std::max(result, marks_->MarkWidth(i));
  return result;
}

// ---- legend ----------------------------------------------------------------------------------------

std::string TChartSeries::LegendRowText(int row, TLegendTextStyle textStyle) {
  const int i = LegendRowToPoint(row);
  const std::string &label = Label(i);
  const std::string sep(1, kColumnSeparator);
  auto withLabelAfter = [&](const std::string &v) { return label.empty() ? v : v + sep + label; };
  auto withLabelBefore = [&](const std::string &v) { return label.empty() ? v : label + sep + v; };
  switch (textStyle) {
  case TLegendTextStyle::ltsPlain:
    return label;
  case TLegendTextStyle::ltsLeftValue:
    return withLabelAfter(ValueText(i, true));
  case TLegendTextStyle::ltsRightValue:
    return withLabelBefore(ValueText(i, true));
  case TLegendTextStyle::ltsLeftPercent:
    return withLabelAfter(PercentText(i, true));
  case TLegendTextStyle::ltsRightPercent:
    return withLabelBefore(PercentText(i, true));
  case TLegendTextStyle::ltsXValue:
    return XText(i);
  case TLegendTextStyle::ltsValue:
    return ValueText(i, true);
  case TLegendTextStyle::ltsPercent:
    return PercentText(i, true);
  case TLegendTextStyle::ltsXAndValue:
    return XText(i) + sep + ValueText(i, true);
  case TLegendTextStyle::ltsXAndPercent:
    return XText(i) + sep + PercentText(i, true);
  }
  return label;
}

void TChartSeries::DrawLegendSymbol(int index, const TRect &rect) {
  if (index == -1 && colorEachPoint_) return;
  TCustomAxisPanel *p = ParentChart();
  if (!p) return;
  TAutoRepaintOff autoRepaintOff(p);
  const TColor colour = index == -1 ? SeriesColor() : LegendRowColor(index);
  TCanvas3D &canvas = p->Canvas();
  canvas.Brush().SetColor(colour);
  if (colour == clNone) return;
  canvas.ApplyPen(Pen());
  TColor back = p->BackColorOfRectangles();
  if (back == clNone || back == clDefault) back = p->Color();
  TBrushStyle style = Brush().Style();
  AdjustLegendSymbolBrush(index, back, style);
  if (TChartPen *symbolPen = p->LegendSymbolPen()) canvas.ApplyPen(*symbolPen);
  const TUloPicture *image = Brush().ExistingImage();
  const bool hasImage = image && image->Graphic();
  if (style != Brush().Style() && !hasImage) {
    TChartBrush brush;
    brush.Assign(Brush());
    brush.SetStyle(style);
    p->SetBrushCanvas(colour, brush, back);
  } else {
    p->SetBrushCanvas(colour, Brush(), back);
  }
  DrawLegendShape(index, rect);
}

void TChartSeries::DrawLegendShape(int index, const TRect &rect) {
  (void)index;
  if (ParentChart()) ParentChart()->DrawLegendSymbol(rect);
}
