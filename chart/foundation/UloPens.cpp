#include "chart/foundation/UloPens.h"

#include "chart/foundation/UloCanvas.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloGradient.h"
#include "chart/foundation/UloPicture.h"
#include "chart/foundation/UloShadow.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/Numbers.h"

#include <utility>

// ---- colours and the default font --------------------------------------------

TColor DarkenColor(TColor color, int amount) noexcept {
  const TColor c = ColorToRGB(color);
  auto down = [amount](int v) { return amount < v ? v - amount : 0; };
  return RGBColor(down(GetRValue(c)), down(GetGValue(c)), down(GetBValue(c)));
}

TColor LightenColor(TColor color, int amount) noexcept {
  const TColor c = ColorToRGB(color);
  auto up = [amount](int v) { return v + amount < 256 ? v + amount : 255; };
  return RGBColor(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
}

namespace {
struct DefaultFont {
  int size = 8;
  std::string name = "Arial";
};
DefaultFont &Defaults() {
  static DefaultFont defaults;
  return defaults;
}
} // namespace

void LoadDefaultFontSettings(std::string_view sizeText, std::string_view nameText) {
  if (!sizeText.empty()) Defaults().size = rtl::StrToInt(sizeText);
  if (!nameText.empty()) Defaults().name = std::string(nameText);
}

void LoadDefaultFontSettings() { LoadDefaultFontSettings(UloMsgDefaultFontSize, UloMsgDefaultFontName); }

void ClearDefaultFontSettings() { Defaults().name.clear(); }

int UloDefaultFontSize() noexcept { return Defaults().size; }
const std::string &UloDefaultFontName() noexcept { return Defaults().name; }

// ---- base pen, brush and font ----------------------------------------------------

void TPen::Assign(const TPen &source) {
  bool changed = UloStoreIfChanged(color_, source.color_);
  changed |= UloStoreIfChanged(mode_, source.mode_);
  changed |= UloStoreIfChanged(style_, source.style_);
  changed |= UloStoreIfChanged(width_, source.width_);
  if (changed) Changed();
}

void TBrush::Assign(const TBrush &source) {
  bool changed = UloStoreIfChanged(color_, source.color_);
  changed |= UloStoreIfChanged(style_, source.style_);
  if (bitmap_ != source.bitmap_) {
    bitmap_ = source.bitmap_;
    changed = true;
  }
  if (changed) Changed();
}

void TBrush::SetBitmap(const gdi::Bitmap *value) {
  UloSetProperty(bitmap_, value, [this] { Changed(); });
}

namespace {
// Points and pixels convert by multiplying first and rounding once.
int MulDivRound(int a, int b, int c) { return c == 0 ? 0 : UloPixel(static_cast<double>(a) * b / c); }
} // namespace

int TFont::Height() const noexcept { return -MulDivRound(size_, pixelsPerInch_, 72); }

void TFont::SetHeight(int value) {
  SetSize(value < 0 ? MulDivRound(-value, 72, pixelsPerInch_) : MulDivRound(value, 72, pixelsPerInch_));
}

void TFont::SetPixelsPerInch(int value) {
  // The size in points stays; only its conversion to pixels changes.
  UloSetProperty(pixelsPerInch_, value, [this] { Changed(); });
}

void TFont::Assign(const TFont &source) {
  bool changed = UloStoreIfChanged(name_, source.name_);
  changed |= UloStoreIfChanged(size_, source.size_);
  changed |= UloStoreIfChanged(color_, source.color_);
  changed |= UloStoreIfChanged(style_, source.style_);
  changed |= UloStoreIfChanged(charset_, source.charset_);
  if (changed) Changed();
}

// ---- chart pens -----------------------------------------------------------------------

void TChartPen::Assign(const TPen &source) {
  if (const auto *pen = dynamic_cast<const TChartPen *>(&source)) {
    bool changed = UloStoreIfChanged(visible_, pen->visible_);
    changed |= UloStoreIfChanged(smallDots_, pen->smallDots_);
    changed |= UloStoreIfChanged(smallSpace_, pen->smallSpace_);
    changed |= UloStoreIfChanged(endStyle_, pen->endStyle_);
    if (changed) Changed();
  }
  TPen::Assign(source);
}

namespace {
// A kind's own defaults are set before the owner's event runs, so making a
// pen asks no half-built owner to repaint.
template <class Settings> void SetQuietly(TPen &pen, Settings &&settings) {
  TUloChangeEvent event = std::move(pen.OnChange);
  pen.OnChange = nullptr;
  settings();
  pen.OnChange = std::move(event);
}
} // namespace

TChartHiddenPen::TChartHiddenPen(TUloChangeEvent onChange) : TChartPen(std::move(onChange)) {
  SetDefaultVisible(false);
}

TDottedGrayPen::TDottedGrayPen(TUloChangeEvent onChange) : TChartPen(std::move(onChange)) {
  SetQuietly(*this, [this] {
    SetColor(0x808080);
    SetStyle(TPenStyle::psDot);
  });
}

TDarkGrayPen::TDarkGrayPen(TUloChangeEvent onChange) : TChartPen(std::move(onChange)) {
  SetQuietly(*this, [this] { SetColor(0x808080); });
}

TWhitePen::TWhitePen(TUloChangeEvent onChange) : TChartPen(std::move(onChange)) {
  SetQuietly(*this, [this] { SetColor(0xFFFFFF); });
}

// ---- chart brush -------------------------------------------------------------------------

TChartBrush::TChartBrush(TUloChangeEvent onChange) : TBrush(std::move(onChange)) {
  // Set before the owner's event runs, so creation repaints nothing.
  TUloChangeEvent event = std::move(OnChange);
  OnChange = nullptr;
  SetColor(clDefault);
  OnChange = std::move(event);
}

TChartBrush::~TChartBrush() = default;

void TChartBrush::Assign(const TBrush &source) {
  if (const auto *brush = dynamic_cast<const TChartBrush *>(&source)) {
    SetImage(brush->image_.get());
    SetBackColor(brush->backColor_);
  }
  TBrush::Assign(source);
}

TUloPicture &TChartBrush::Image() {
  if (!image_) image_ = std::make_unique<TUloPicture>([this] { Changed(); });
  return *image_;
}

void TChartBrush::SetImage(const TUloPicture *value) {
  if (!value) {
    if (!image_) return;
    image_.reset();
  } else {
    Image().Assign(*value);
  }
  Changed();
}

// ---- chart font ------------------------------------------------------------------------------

TUloFont::TUloFont(TUloChangeEvent onChange) : TFont(std::move(onChange)) {
  TUloChangeEvent event = std::move(OnChange);
  OnChange = nullptr;
  SetColor(clBlack);
  SetCharset(1);
  SetName(UloDefaultFontName());
  SetSize(UloDefaultFontSize());
  OnChange = std::move(event);
}

TUloFont::~TUloFont() {
  // The canvas that selected this font last must not keep measuring with it.
  for (TUloCanvas *canvas : canvases_)
    canvas->ForgetChartFont(this);
}

void TUloFont::Assign(const TFont &source) {
  if (const auto *font = dynamic_cast<const TUloFont *>(&source)) {
    SetGradient(font->gradient_.get());
    SetInterCharSize(font->interCharSize_);
    SetOutLine(font->outLine_.get());
    SetShadow(font->shadow_.get());
    SetPicture(font->picture_.get());
  }
  TFont::Assign(source);
}

TUloFontGradient &TUloFont::Gradient() {
  if (!gradient_) gradient_ = std::make_unique<TUloFontGradient>([this] { Changed(); });
  return *gradient_;
}

TChartHiddenPen &TUloFont::OutLine() {
  if (!outLine_) outLine_ = std::make_unique<TChartHiddenPen>([this] { Changed(); });
  return *outLine_;
}

TUloPicture &TUloFont::Picture() {
  if (!picture_) picture_ = std::make_unique<TUloPicture>([this] { Changed(); });
  return *picture_;
}

TUloShadow &TUloFont::Shadow() {
  if (!shadow_) shadow_ = std::make_unique<TUloShadow>([this] { Changed(); });
  return *shadow_;
}

void TUloFont::SetGradient(const TUloFontGradient *value) {
  UloSetLazyPart(
      gradient_, value, [this]() -> auto & { return Gradient(); }, [this] { Changed(); });
}

void TUloFont::SetOutLine(const TChartHiddenPen *value) {
  UloSetLazyPart(
      outLine_, value, [this]() -> auto & { return OutLine(); }, [this] { Changed(); });
}

void TUloFont::SetPicture(const TUloPicture *value) {
  UloSetLazyPart(
      picture_, value, [this]() -> auto & { return Picture(); }, [this] { Changed(); });
}

void TUloFont::SetShadow(const TUloShadow *value) {
  UloSetLazyPart(
      shadow_, value, [this]() -> auto & { return Shadow(); }, [this] { Changed(); });
}

void TUloFont::SetInterCharSize(int value) {
  UloSetProperty(interCharSize_, value, [this] { Changed(); });
}
