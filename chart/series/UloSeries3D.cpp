#include "chart/series/UloSeries3D.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "chart/engine/Chart.h"
#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloLegend.h"
#include "chart/engine/UloPalettes.h"
#include "chart/foundation/UloGradient.h"
#include "chart/foundation/UloProCo.h"
#include "platform/rtl/FormatFloat.h"
#include "platform/rtl/Numbers.h"
#include "platform/streaming/BinaryBlock.h"
#include "platform/streaming/StoredValue.h"

namespace {

constexpr streaming::TEnumName<TUloPaletteStyle> kPaletteStyleNames[] = {
    {TUloPaletteStyle::psPale, "psPale"},           {TUloPaletteStyle::psStrong, "psStrong"},
    {TUloPaletteStyle::psGrayScale, "psGrayScale"}, {TUloPaletteStyle::psInvGray, "psInvGray"},
    {TUloPaletteStyle::psRainbow, "psRainbow"},     {TUloPaletteStyle::psCustom, "psCustom"},
};

// 8 bytes of value and 4 of colour, packed.
constexpr size_t kPaletteEntryBytes = 12;

int Red(TColor c) noexcept { return c & 0xFF; }
int Green(TColor c) noexcept { return (c >> 8) & 0xFF; }
int Blue(TColor c) noexcept { return (c >> 16) & 0xFF; }

// Each component taken as a byte, as the stored colour layout wants.
TColor Compose(int r, int g, int b) noexcept {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

int RoundComponent(double v) noexcept { return rtl::RoundPixel(v); }

} // namespace

// ---- the stored palette ---------------------------------------------------------

std::vector<uint8_t> UloWriteCustomPalette(const TUloPalette &palette) {
  streaming::TBinaryWriter w;
  w.WriteI32(static_cast<int32_t>(palette.size()));
  for (const auto &e : palette) {
    w.WriteF64(e.UpToValue);
    w.WriteU32(static_cast<uint32_t>(e.Color));
  }
  return w.Take();
}

namespace {

TUloPalette ReadPalette(streaming::TBinaryReader &r) {
  const int32_t n = r.ReadI32();
  // A count that the bytes cannot hold would size the palette from garbage.
  if (n < 0 || static_cast<size_t>(n) * kPaletteEntryBytes != r.Remaining())
    throw streaming::EReadError("CustomPalette: " + std::to_string(n) + " entries do not match the " +
                                std::to_string(r.Remaining()) + " bytes that follow");
  TUloPalette palette(static_cast<size_t>(n));
  for (auto &e : palette) {
    e.UpToValue = r.ReadF64();
    e.Color = static_cast<TColor>(r.ReadU32());
  }
  return palette;
}

} // namespace

TUloPalette UloReadCustomPalette(std::span<const uint8_t> bytes) {
  streaming::TBinaryReader r(bytes);
  r.Need(4);
  return ReadPalette(r);
}

// ---- TCustom3DSeries ------------------------------------------------------------

TCustom3DSeries::TCustom3DSeries() {
  // Every point is always in the visible range: the depth decides where it lies.
  SetCalcVisiblePoints(false);
  zValues_ = new TChartValueList(this, "Z");
  // Unordered is this series' own default, so a stored definition need not say it.
  XValues()->InitOrder(TChartListOrder::loNone);
}

TCustom3DSeries::~TCustom3DSeries() = default;

void TCustom3DSeries::SetZValues(const TChartValueList &value) { zValues_->Assign(value); }

void TCustom3DSeries::SetTimesZOrder(int value) { SetAndRepaint(timesZOrder_, value); }

int TCustom3DSeries::AddPointXYZ(double x, double y, double z) {
  zValues_->TempValue = z;
  return AddPointXY(x, y, std::string(), clDefault);
}

int TCustom3DSeries::AddPointXYZLabelColor(double x, double y, double z, const std::string &label, TColor color) {
  zValues_->TempValue = z;
  return AddPointXY(x, y, label, color);
}

double TCustom3DSeries::MaxZ() { return zValues_->MaxValue(); }

double TCustom3DSeries::MinZ() { return zValues_->MinValue(); }

int TCustom3DSeries::CalcZPos(int valueIndex) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return 0;
  return chart->DepthAxis()->CalcPosValue(zValues_->Value(valueIndex));
}

bool TCustom3DSeries::DrawCellsForward() {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return false;
  const int rotation = chart->View3DOptions().Rotation();
  const bool inverted = chart->DepthAxis()->Inverted();
  return (rotation < 91 || rotation >= 270) ? inverted : !inverted;
}

TChartValueList *TCustom3DSeries::ValueListOfAxis(TChartAxis *axis) {
  if (IsDepthAxis(axis)) return zValues_;
  return TChartSeries::ValueListOfAxis(axis);
}

bool TCustom3DSeries::IsOnAxis(TChartAxis *axis) { return IsDepthAxis(axis) || TChartSeries::IsOnAxis(axis); }

bool TCustom3DSeries::IsDepthAxis(const TChartAxis *axis) const {
  const TCustomAxisPanel *chart = ParentChart();
  return chart && axis && (axis == chart->DepthAxis() || axis == chart->DepthTopAxis());
}

void TCustom3DSeries::TakeZOrder() {
  TChartSeries::TakeZOrder();
  if (ParentChart()) ParentChart()->MaxZOrder = timesZOrder_;
}

void TCustom3DSeries::DrawPointMark(int index, const std::string &text, TSeriesMarkPosition &position) {
  if (index != -1) Marks().SetZPosition(CalcZPos(index));
  TChartSeries::DrawPointMark(index, text, position);
}

void TCustom3DSeries::AdjustLegendSymbolBrush(int index, TColor &backColor, TBrushStyle &brushStyle) {
  TChartSeries::AdjustLegendSymbolBrush(index, backColor, brushStyle);
  auto *chart = dynamic_cast<TCustomChart *>(ParentChart());
  if (chart && chart->Legend().Symbol().Continuous()) {
    TPen &pen = chart->Canvas().Pen();
    pen.SetStyle(TPenStyle::psClear);
  }
}

bool TCustom3DSeries::IsValidSourceOf(streaming::TStoredComponent *component) const {
  return dynamic_cast<TCustom3DSeries *>(component) != nullptr && TChartSeries::IsValidSourceOf(component);
}

void TCustom3DSeries::Assign(const TCustomChartElement &source) {
  if (const auto *s = dynamic_cast<const TCustom3DSeries *>(&source)) {
    zValues_->Assign(*s->zValues_);
    timesZOrder_ = s->timesZOrder_;
  }
  TChartSeries::Assign(source);
}

void TCustom3DSeries::DefineProperties(streaming::TPropertyTable &table) {
  TChartSeries::DefineProperties(table);
  table.Property("TimesZOrder", this, &TCustom3DSeries::TimesZOrder, &TCustom3DSeries::SetTimesZOrder, 3);
  table.Object("ZValues", [this]() -> streaming::TPersistent * { return zValues_; });
}

// ---- TCustom3DPaletteSeries -----------------------------------------------------

TCustom3DPaletteSeries::TCustom3DPaletteSeries() { CalcColorRange(); }

TCustom3DPaletteSeries::~TCustom3DPaletteSeries() = default;

void TCustom3DPaletteSeries::SetEndColor(TColor value) {
  if (!UloStoreIfChanged(endColor_, value)) return;
  Repaint();
  CalcColorRange();
}

void TCustom3DPaletteSeries::SetMidColor(TColor value) {
  if (!UloStoreIfChanged(midColor_, value)) return;
  Repaint();
  CalcColorRange();
}

void TCustom3DPaletteSeries::SetStartColor(TColor value) {
  if (!UloStoreIfChanged(startColor_, value)) return;
  Repaint();
  CalcColorRange();
}

void TCustom3DPaletteSeries::SetLegendEvery(int value) { SetAndRepaint(legendEvery_, std::max(1, value)); }

void TCustom3DPaletteSeries::SetPaletteMin(double value) {
  if (UloStoreIfChanged(paletteMin_, value)) CreateDefaultPalette(0);
}

void TCustom3DPaletteSeries::SetPaletteStep(double value) {
  if (UloStoreIfChanged(paletteStep_, value)) CreateDefaultPalette(0);
}

void TCustom3DPaletteSeries::SetPaletteSteps(int value) {
  if (UloStoreIfChanged(paletteSteps_, std::max(0, value))) CreateDefaultPalette(0);
}

void TCustom3DPaletteSeries::SetUsePaletteMin(bool value) {
  if (UloStoreIfChanged(usePaletteMin_, value)) CreateDefaultPalette(0);
}

void TCustom3DPaletteSeries::SetPaletteStyle(TUloPaletteStyle value) {
  if (!UloStoreIfChanged(paletteStyle_, value)) return;
  // The next paint builds the palette of the new style.
  if (value != TUloPaletteStyle::psCustom) ClearPalette();
  Repaint();
}

void TCustom3DPaletteSeries::SetUseColorRange(bool value) {
  if (!UloStoreIfChanged(useColorRange_, value)) return;
  Repaint();
  if (value) SetColorEachPoint(false);
}

void TCustom3DPaletteSeries::SetUsePalette(bool value) {
  if (!UloStoreIfChanged(usePalette_, value)) return;
  Repaint();
  if (!value) return;
  SetColorEachPoint(false);
  if (PointCount() > 0 && palette_.empty()) CreateDefaultPalette(0);
}

// ---- palette

int TCustom3DPaletteSeries::AddPalette(double value, TColor color) {
  auto it = std::find_if(palette_.begin(), palette_.end(), [value](const auto &e) { return e.UpToValue > value; });
  const auto index = it - palette_.begin();
  palette_.insert(it, TUloPaletteEntry{value, color});
  return static_cast<int>(index);
}

void TCustom3DPaletteSeries::ClearPalette() { palette_.clear(); }

void TCustom3DPaletteSeries::CreateDefaultPalette(int steps) {
  const int n = std::max(0, steps == 0 ? paletteSteps_ : steps);
  const double step =
      paletteStep_ != 0 ? paletteStep_ : (YValues()->MaxValue() - YValues()->MinValue()) / std::max(1, n - 1);
  const double min = usePaletteMin_ ? paletteMin_ : YValues()->MinValue();

  if (paletteStyle_ == TUloPaletteStyle::psCustom) {
    const size_t oldLength = palette_.size();
    palette_.resize(static_cast<size_t>(n));
    for (size_t i = 0; i < palette_.size(); ++i) {
      palette_[i].UpToValue = min + static_cast<double>(i) * step;
      if (i >= oldLength) palette_[i].Color = oldLength == 0 ? clBlack : palette_[i % oldLength].Color;
    }
  } else {
    palette_.clear();
    palette_.reserve(static_cast<size_t>(n));
    const auto rainbow = UloRainbowPalette();
    for (int i = 0; i < n; ++i) {
      TColor color = clBlack;
      switch (paletteStyle_) {
      case TUloPaletteStyle::psPale:
      case TUloPaletteStyle::psStrong: {
        const double turn = paletteStyle_ == TUloPaletteStyle::psPale ? std::numbers::pi : 2 * std::numbers::pi;
        const double f = i * turn / n;
        color = Compose(static_cast<int>((std::sin(f / kStyleDivisors[0]) + 1) * 127),
                        static_cast<int>((std::sin(f / kStyleDivisors[1]) + 1) * 127),
                        static_cast<int>((std::cos(f / kStyleDivisors[2]) + 1) * 127));
        break;
      }
      case TUloPaletteStyle::psGrayScale:
      case TUloPaletteStyle::psInvGray: {
        int g = RoundComponent(i * 255.0 / n);
        if (paletteStyle_ == TUloPaletteStyle::psInvGray) g = 255 - g;
        color = Compose(g, g, g);
        break;
      }
      case TUloPaletteStyle::psRainbow:
        // Straight from the table: the chart's own palette is not touched.
        color = rainbow[static_cast<size_t>(i) % rainbow.size()];
        break;
      case TUloPaletteStyle::psCustom:
        break;
      }
      AddPalette(min + i * step, color);
    }
  }
  Repaint();
}

void TCustom3DPaletteSeries::ApplyCustomPalette(std::span<const TColor> colors) {
  if (colors.empty()) return;
  CreateDefaultPalette(0);
  const size_t n = std::min(palette_.size(), static_cast<size_t>(std::max(0, paletteSteps_)));
  for (size_t i = 0; i < n; ++i)
    palette_[i].Color = colors[i % colors.size()];
  Repaint();
}

void TCustom3DPaletteSeries::SetPalette(TUloPalette value) {
  palette_ = std::move(value);
  Repaint();
}

TColor TCustom3DPaletteSeries::GetPaletteColor(double value) const {
  for (const auto &e : palette_)
    if (e.UpToValue > value) return e.Color;
  return palette_.empty() ? SeriesColor() : palette_.back().Color;
}

TColor TCustom3DPaletteSeries::RangePercentColor(double percent) const {
  if (midColor_ == clNone)
    return Compose(endR_ + RoundComponent(percent * d1R_), endG_ + RoundComponent(percent * d1G_),
                   endB_ + RoundComponent(percent * d1B_));
  if (percent < 0.5) {
    const double s = percent * 2;
    return Compose(endR_ + RoundComponent(s * d1R_), endG_ + RoundComponent(s * d1G_),
                   endB_ + RoundComponent(s * d1B_));
  }
  const double s = (percent - 0.5) * 2;
  return Compose(midR_ + RoundComponent(s * d2R_), midG_ + RoundComponent(s * d2G_), midB_ + RoundComponent(s * d2B_));
}

TColor TCustom3DPaletteSeries::GetValueColorValue(double value) {
  if (useColorRange_) {
    const double d = value - YValues()->MinValue();
    if (invRange_ != 0 && d >= 0) {
      if (YValues()->MaxValue() >= value) return RangePercentColor(std::min(d * invRange_, 1.0));
      return startColor_;
    }
    return endColor_;
  }
  if (usePalette_ && !palette_.empty()) return GetPaletteColor(value);
  return SeriesColor();
}

void TCustom3DPaletteSeries::CalcColorRange() {
  endR_ = Red(endColor_);
  endG_ = Green(endColor_);
  endB_ = Blue(endColor_);
  if (midColor_ == clNone) {
    d1R_ = Red(startColor_) - endR_;
    d1G_ = Green(startColor_) - endG_;
    d1B_ = Blue(startColor_) - endB_;
  } else {
    midR_ = Red(midColor_);
    midG_ = Green(midColor_);
    midB_ = Blue(midColor_);
    d1R_ = midR_ - endR_;
    d1G_ = midG_ - endG_;
    d1B_ = midB_ - endB_;
    d2R_ = Red(startColor_) - midR_;
    d2G_ = Green(startColor_) - midG_;
    d2B_ = Blue(startColor_) - midB_;
  }
  CalcInvRange();
}

void TCustom3DPaletteSeries::CalcInvRange() {
  const double r = YValues()->MaxValue() - YValues()->MinValue();
  invRange_ = r == 0 ? 0 : 1 / r;
}

void TCustom3DPaletteSeries::RecolorPaletteFromRange() {
  for (auto &e : palette_)
    e.Color = GetValueColorValue(e.UpToValue);
}

// ---- gallery

void TCustom3DPaletteSeries::ChooseGalleryPalette() {
  auto *chart = dynamic_cast<TCustomChart *>(ParentChart());
  if (!chart || chart->ColorPaletteIndex() == 0) {
    SetPaletteStyle(TUloPaletteStyle::psRainbow);
    return;
  }
  SetPaletteStyle(TUloPaletteStyle::psCustom);
  const std::vector<TColor> colors = chart->ColorPalette();
  ApplyCustomPalette(colors);
}

void TCustom3DPaletteSeries::SetGalleryView(bool flag) {
  if (TCustomAxisPanel *chart = ParentChart()) {
    chart->SetView3D(true);
    TView3DOptions &view = chart->View3DOptions();
    view.SetZoom(60);
    view.SetVertOffset(-2);
    view.SetRotation(flag ? 335 : 0);
    view.SetElevation(flag ? 340 : 270);
    view.SetPerspective(flag ? 160 : 0);
  }
  ChooseGalleryPalette();
}

void TCustom3DPaletteSeries::PrepareForGallery(bool enabled) {
  TCustom3DSeries::PrepareForGallery(enabled);
  SetUseColorRange(false);
  Pen().SetColor(enabled ? clBlack : clGray);
  SetUsePalette(enabled);
  ChooseGalleryPalette();
}

void TCustom3DPaletteSeries::ListSubStyles(const TUloSubStyleCallback &callback) {
  TCustom3DSeries::ListSubStyles(callback);
  callback(UloProSubStyleColorRange);
}

void TCustom3DPaletteSeries::ApplySubStyle(int index) {
  if (index != 1) {
    TCustom3DSeries::ApplySubStyle(index);
    return;
  }
  SetUseColorRange(true);
  SetUsePalette(false);
}

// ---- the series base's operations

TColor TCustom3DPaletteSeries::PointColor(int index) {
  TColor c = GetValueColorEntry(index);
  if (c == clDefault) {
    if (!ColorEachPoint() && (useColorRange_ || usePalette_))
      c = GetValueColorValue(YValues()->Value(index));
    else
      c = TCustom3DSeries::PointColor(index);
  }
  if (OnGetColor) OnGetColor(this, index, c);
  return c;
}

void TCustom3DPaletteSeries::PrepareForDraw() {
  TCustom3DSeries::PrepareForDraw();
  if (PointCount() > 0 && palette_.empty()) CreateDefaultPalette(0);
  CalcInvRange();
}

void TCustom3DPaletteSeries::ClearPoints() {
  TCustom3DSeries::ClearPoints();
  // The palette follows the data and is built again at the next paint.
  if (usePalette_ && paletteStyle_ != TUloPaletteStyle::psCustom) ClearPalette();
}

void TCustom3DPaletteSeries::CopyAllPointsFrom(TChartSeries &source) {
  TCustom3DSeries::CopyAllPointsFrom(source);
  CreateDefaultPalette(0);
}

bool TCustom3DPaletteSeries::LegendShowsPalette() const { return PointCount() > 0 && (useColorRange_ || usePalette_); }

int TCustom3DPaletteSeries::LegendRowCount() {
  if (!LegendShowsPalette()) return PointCount();
  const int l = static_cast<int>(palette_.size());
  if (legendEvery_ < 2) return l;
  return (l + legendEvery_ - 1) / legendEvery_;
}

int TCustom3DPaletteSeries::LegendPaletteIndex(int row) const {
  return static_cast<int>(palette_.size()) - legendEvery_ * row - 1;
}

TColor TCustom3DPaletteSeries::LegendRowColor(int row) {
  if (!LegendShowsPalette()) return TCustom3DSeries::LegendRowColor(row);
  const int i = LegendPaletteIndex(row);
  const bool valid = i >= 0 && i < static_cast<int>(palette_.size());
  if (useColorRange_) return valid ? GetValueColorValue(palette_[static_cast<size_t>(i)].UpToValue) : endColor_;
  if (usePalette_ && valid) return palette_[static_cast<size_t>(i)].Color;
  return TCustom3DSeries::LegendRowColor(row);
}

std::string TCustom3DPaletteSeries::LegendRowText(int row, TLegendTextStyle textStyle) {
  if (!LegendShowsPalette()) return TCustom3DSeries::LegendRowText(row, textStyle);
  if (row < 0 || row >= LegendRowCount()) return {};
  const int i = LegendPaletteIndex(row);
  if (i < 0) return {};
  return rtl::FormatFloat(ValueFormat(), palette_[static_cast<size_t>(i)].UpToValue);
}

void TCustom3DPaletteSeries::DrawLegendShape(int index, const TRect &rect) {
  TCustomAxisPanel *chart = ParentChart();
  if (index != -1 || !useColorRange_ || !chart) {
    TCustom3DSeries::DrawLegendShape(index, rect);
    return;
  }
  TUloCanvas3D &canvas = chart->Canvas();
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  canvas.RectangleOfRect(rect);
  TUloGradient gradient;
  gradient.SetStartColor(endColor_);
  gradient.SetMidColor(midColor_);
  gradient.SetEndColor(startColor_);
  gradient.SetVisible(true);
  const TRect inner{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
  gradient.PaintRect(canvas, inner);
}

void TCustom3DPaletteSeries::Assign(const TCustomChartElement &source) {
  if (const auto *s = dynamic_cast<const TCustom3DPaletteSeries *>(&source)) {
    usePalette_ = s->usePalette_;
    useColorRange_ = s->useColorRange_;
    startColor_ = s->startColor_;
    endColor_ = s->endColor_;
    midColor_ = s->midColor_;
    legendEvery_ = s->legendEvery_;
    paletteSteps_ = s->paletteSteps_;
    palette_ = s->palette_;
    usePaletteMin_ = s->usePaletteMin_;
    paletteStep_ = s->paletteStep_;
    paletteMin_ = s->paletteMin_;
    paletteStyle_ = s->paletteStyle_;
    CalcColorRange();
  }
  TCustom3DSeries::Assign(source);
}

void TCustom3DPaletteSeries::DefineProperties(streaming::TPropertyTable &table) {
  TCustom3DSeries::DefineProperties(table);
  using S = TCustom3DPaletteSeries;
  table.Color(
      "EndColor", [this] { return endColor_; }, [this](TColor c) { SetEndColor(c); }, clWhite);
  table.Property("LegendEvery", this, &S::LegendEvery, &S::SetLegendEvery, 1);
  table.Color(
      "MidColor", [this] { return midColor_; }, [this](TColor c) { SetMidColor(c); }, clNone);
  table.Property("PaletteMin", this, &S::PaletteMin, &S::SetPaletteMin, 0.0);
  table.Property("PaletteStep", this, &S::PaletteStep, &S::SetPaletteStep, 0.0);
  table.Property("PaletteSteps", this, &S::PaletteSteps, &S::SetPaletteSteps, 32);
  table.Enum(
      "PaletteStyle", [this] { return paletteStyle_; }, [this](TUloPaletteStyle v) { SetPaletteStyle(v); },
      TUloPaletteStyle::psPale, kPaletteStyleNames);
  table.Color(
      "StartColor", [this] { return startColor_; }, [this](TColor c) { SetStartColor(c); }, clNavy);
  table.Property("UseColorRange", this, &S::UseColorRange, &S::SetUseColorRange, true);
  table.Property("UsePalette", this, &S::UsePalette, &S::SetUsePalette, false);
  table.Property("UsePaletteMin", this, &S::UsePaletteMin, &S::SetUsePaletteMin, false);
  table
      .Binary(
          "CustomPalette",
          [this](streaming::TBinaryReader &r, streaming::TReadContext &) { palette_ = ReadPalette(r); },
          [this](streaming::TBinaryWriter &w) {
            const auto bytes = UloWriteCustomPalette(palette_);
            w.WriteBytes(std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()));
          })
      .StoredWhen([this] { return paletteStyle_ == TUloPaletteStyle::psCustom; });
}
