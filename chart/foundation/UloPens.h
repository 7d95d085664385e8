// Pens, brushes and fonts as settings objects, and the chart's own kinds of
// them: the chart pen (visibility, small dots, end caps), the chart brush
// (background colour, image pattern) and the chart font (character
// spacing, outline, shadow, gradient, picture).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chart/foundation/UloProperty.h"
#include "platform/rtl/Colors.h"

class TUloCanvas;
class TUloShadow;
class TUloFontGradient;
class TUloPicture;
namespace gdi {
class Bitmap;
}

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TPenMode {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};
enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum class TPenEndStyle { esRound, esSquare, esFlat };
enum class TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A set of font styles.
class TFontStyles {
public:
  constexpr TFontStyles() = default;
  constexpr TFontStyles(TFontStyle s) : bits_(static_cast<uint8_t>(s)) {}
  constexpr bool Contains(TFontStyle s) const { return bits_ & static_cast<uint8_t>(s); }
  constexpr TFontStyles operator|(TFontStyles o) const { return FromBits(bits_ | o.bits_); }
  constexpr TFontStyles Without(TFontStyle s) const { return FromBits(bits_ & ~static_cast<uint8_t>(s)); }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr uint8_t Bits() const { return bits_; }
  static constexpr TFontStyles FromBits(unsigned bits) {
    TFontStyles s;
    s.bits_ = static_cast<uint8_t>(bits & 0xF);
    return s;
  }
  friend constexpr bool operator==(TFontStyles, TFontStyles) = default;

private:
  uint8_t bits_ = 0;
};

// Colours with every channel moved by Amount (0..255), system colours
// resolved first. Darkening a channel not above Amount gives 0.
TColor DarkenColor(TColor color, int amount) noexcept;
TColor LightenColor(TColor color, int amount) noexcept;

// The default chart font, read at start-up from the library texts (once
// they are loaded; empty texts keep the built-in 8 points of "Arial").
void LoadDefaultFontSettings();
void LoadDefaultFontSettings(std::string_view sizeText, std::string_view nameText);
// At shut-down: no default font name any more.
void ClearDefaultFontSettings();
int UloDefaultFontSize() noexcept;
const std::string &UloDefaultFontName() noexcept;

// ---- base settings objects --------------------------------------------------

class TPen {
public:
  explicit TPen(TUloChangeEvent onChange = {}) : OnChange(std::move(onChange)) {}
  TPen(const TPen &) = delete;
  TPen &operator=(const TPen &) = delete;
  virtual ~TPen() = default;

  // Copies colour, mode, style and width with one change notification.
  virtual void Assign(const TPen &source);

  TColor Color() const noexcept { return color_; }
  TPenMode Mode() const noexcept { return mode_; }
  TPenStyle Style() const noexcept { return style_; }
  int Width() const noexcept { return width_; }
  void SetColor(TColor value) {
    UloSetProperty(color_, value, [this] { Changed(); });
  }
  void SetMode(TPenMode value) {
    UloSetProperty(mode_, value, [this] { Changed(); });
  }
  void SetStyle(TPenStyle value) {
    UloSetProperty(style_, value, [this] { Changed(); });
  }
  void SetWidth(int value) {
    UloSetProperty(width_, value, [this] { Changed(); });
  }

  TUloChangeEvent OnChange;

protected:
  void Changed() const {
    if (OnChange) OnChange();
  }

private:
  TColor color_ = clBlack;
  TPenMode mode_ = TPenMode::pmCopy;
  TPenStyle style_ = TPenStyle::psSolid;
  int width_ = 1;
};

class TBrush {
public:
  explicit TBrush(TUloChangeEvent onChange = {}) : OnChange(std::move(onChange)) {}
  TBrush(const TBrush &) = delete;
  TBrush &operator=(const TBrush &) = delete;
  virtual ~TBrush() = default;

  virtual void Assign(const TBrush &source);

  TColor Color() const noexcept { return color_; }
  TBrushStyle Style() const noexcept { return style_; }
  // The brush's own pattern bitmap, when it has one; the brush does not own it.
  const gdi::Bitmap *Bitmap() const noexcept { return bitmap_; }
  void SetColor(TColor value) {
    UloSetProperty(color_, value, [this] { Changed(); });
  }
  void SetStyle(TBrushStyle value) {
    UloSetProperty(style_, value, [this] { Changed(); });
  }
  void SetBitmap(const gdi::Bitmap *value);

  TUloChangeEvent OnChange;

protected:
  void Changed() const {
    if (OnChange) OnChange();
  }

private:
  TColor color_ = clWhite;
  TBrushStyle style_ = TBrushStyle::bsSolid;
  const gdi::Bitmap *bitmap_ = nullptr;
};

class TFont {
public:
  explicit TFont(TUloChangeEvent onChange = {}) : OnChange(std::move(onChange)) {}
  TFont(const TFont &) = delete;
  TFont &operator=(const TFont &) = delete;
  virtual ~TFont() = default;

  // Copies name, size, colour, style and character set (the size converted
  // at this font's resolution).
  virtual void Assign(const TFont &source);

  const std::string &Name() const noexcept { return name_; }
  // Points.
  int Size() const noexcept { return size_; }
  // Pixels; negative for the em height, as sizes convert.
  int Height() const noexcept;
  int PixelsPerInch() const noexcept { return pixelsPerInch_; }
  TColor Color() const noexcept { return color_; }
  TFontStyles Style() const noexcept { return style_; }
  int Charset() const noexcept { return charset_; }
  void SetName(const std::string &value) {
    UloSetProperty(name_, value, [this] { Changed(); });
  }
  void SetSize(int value) {
    UloSetProperty(size_, value, [this] { Changed(); });
  }
  void SetHeight(int value);
  void SetPixelsPerInch(int value);
  void SetColor(TColor value) {
    UloSetProperty(color_, value, [this] { Changed(); });
  }
  void SetStyle(TFontStyles value) {
    UloSetProperty(style_, value, [this] { Changed(); });
  }
  void SetCharset(int value) {
    UloSetProperty(charset_, value, [this] { Changed(); });
  }

  TUloChangeEvent OnChange;

protected:
  void Changed() const {
    if (OnChange) OnChange();
  }

private:
  std::string name_ = "Arial";
  int size_ = 8;
  int pixelsPerInch_ = 96;
  TColor color_ = clWindowText;
  TFontStyles style_;
  int charset_ = 1;
};

// ---- chart pens ---------------------------------------------------------------

class TChartPen : public TPen {
public:
  explicit TChartPen(TUloChangeEvent onChange = {}) : TPen(std::move(onChange)) {}

  // Visibility, small dots and end style first, then the pen settings.
  void Assign(const TPen &source) override;

  TPenEndStyle EndStyle() const noexcept { return endStyle_; }
  bool SmallDots() const noexcept { return smallDots_; }
  int SmallSpace() const noexcept { return smallSpace_; }
  bool Visible() const noexcept { return visible_; }
  void SetEndStyle(TPenEndStyle value) {
    UloSetProperty(endStyle_, value, [this] { Changed(); });
  }
  void SetSmallDots(bool value) {
    UloSetProperty(smallDots_, value, [this] { Changed(); });
  }
  void SetSmallSpace(int value) {
    UloSetProperty(smallSpace_, value, [this] { Changed(); });
  }
  void SetVisible(bool value) {
    UloSetProperty(visible_, value, [this] { Changed(); });
  }
  void MakeVisible() { SetVisible(true); }
  void MakeInvisible() { SetVisible(false); }

  // Stored only when different from what the constructor set.
  bool IsVisibleStored() const noexcept { return visible_ != defaultVisible_; }
  bool IsEndStyleStored() const noexcept { return endStyle_ != defaultEndStyle_; }

protected:
  // For kinds whose published defaults differ.
  void SetDefaultVisible(bool value) {
    visible_ = value;
    defaultVisible_ = value;
  }
  void SetDefaultEndStyle(TPenEndStyle value) {
    endStyle_ = value;
    defaultEndStyle_ = value;
  }

private:
  TPenEndStyle endStyle_ = TPenEndStyle::esRound;
  bool smallDots_ = false;
  int smallSpace_ = 0;
  bool visible_ = true;
  bool defaultVisible_ = true;
  TPenEndStyle defaultEndStyle_ = TPenEndStyle::esRound;
};

// Hidden until made visible; a visible one is therefore stored.
class TChartHiddenPen : public TChartPen {
public:
  explicit TChartHiddenPen(TUloChangeEvent onChange = {});
  // The panel border draws with flat ends.
  void SetEndStyleDefault(TPenEndStyle value) { SetDefaultEndStyle(value); }
};

class TDottedGrayPen : public TChartPen {
public:
  explicit TDottedGrayPen(TUloChangeEvent onChange = {});
};

class TDarkGrayPen : public TChartPen {
public:
  explicit TDarkGrayPen(TUloChangeEvent onChange = {});
};

class TWhitePen : public TChartPen {
public:
  explicit TWhitePen(TUloChangeEvent onChange = {});
};

// ---- chart brush ----------------------------------------------------------------

class TChartBrush : public TBrush {
public:
  explicit TChartBrush(TUloChangeEvent onChange = {});
  ~TChartBrush() override;

  // Image and background colour first, then the brush settings.
  void Assign(const TBrush &source) override;

  TColor BackColor() const noexcept { return backColor_; }
  void SetBackColor(TColor value) {
    UloSetProperty(backColor_, value, [this] { Changed(); });
  }
  // Created on first read.
  TUloPicture &Image();
  // The image when it was ever read or written; never creates it.
  TUloPicture *ExistingImage() const noexcept { return image_.get(); }
  // Null frees the image; a picture is copied into it.
  void SetImage(const TUloPicture *value);

private:
  TColor backColor_ = clNone;
  std::unique_ptr<TUloPicture> image_;
};

// ---- chart font -----------------------------------------------------------------

class TUloFont : public TFont {
public:
  explicit TUloFont(TUloChangeEvent onChange = {});
  ~TUloFont() override;

  // Gradient, spacing, outline, shadow and picture first, then the font.
  void Assign(const TFont &source) override;

  // The lazy parts are created on first read; Existing… never creates.
  TUloFontGradient &Gradient();
  TChartHiddenPen &OutLine();
  TUloPicture &Picture();
  TUloShadow &Shadow();
  TUloFontGradient *ExistingGradient() const noexcept { return gradient_.get(); }
  TChartHiddenPen *ExistingOutLine() const noexcept { return outLine_.get(); }
  TUloPicture *ExistingPicture() const noexcept { return picture_.get(); }
  TUloShadow *ExistingShadow() const noexcept { return shadow_.get(); }
  // Null frees the part; an object is copied into it.
  void SetGradient(const TUloFontGradient *value);
  void SetOutLine(const TChartHiddenPen *value);
  void SetPicture(const TUloPicture *value);
  void SetShadow(const TUloShadow *value);

  int InterCharSize() const noexcept { return interCharSize_; }
  void SetInterCharSize(int value);

  // The canvas that applied this font last and still uses it.
  TUloCanvas *Canvas() const noexcept { return canvases_.empty() ? nullptr : canvases_.back(); }

  bool IsColorStored() const noexcept { return Color() != defaultColor_; }
  bool IsStyleStored() const noexcept { return Style() != defaultStyle_; }
  bool IsHeightStored() const noexcept { return Size() != UloDefaultFontSize(); }
  bool IsNameStored() const noexcept { return Name() != UloDefaultFontName(); }

private:
  std::unique_ptr<TUloFontGradient> gradient_;
  int interCharSize_ = 0;
  std::unique_ptr<TChartHiddenPen> outLine_;
  std::unique_ptr<TUloPicture> picture_;
  std::unique_ptr<TUloShadow> shadow_;
  friend class TUloCanvas;
  // Every canvas whose current chart font this is; each forgets the font
  // when it goes.
  std::vector<TUloCanvas *> canvases_;
  TColor defaultColor_ = clBlack;
  TFontStyles defaultStyle_;
};
