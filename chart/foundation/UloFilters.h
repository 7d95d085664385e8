// The image filters pictures can carry, their registration by class name
// (so stored filter lists read back) and the bitmap-rotation service.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "chart/foundation/UloPicture.h"
#include "platform/rtl/Colors.h"

// Declares a filter's class name, copy and the overrides every filter has.
#define ULO_FILTER_CLASS(Name)                                                                                         \
public:                                                                                                                \
  static constexpr std::string_view kClassName = #Name;                                                                \
  std::string_view ClassName() const override { return kClassName; }                                                   \
  std::unique_ptr<TUloFilter> Clone() const override { return std::make_unique<Name>(*this); }                         \
  void Apply(gdi::Bitmap &bitmap, const TRect &rect) override;                                                         \
  std::string Description() const override;

// An Amount that is a percentage (Percent) or a value in byte units. Filters
// whose amount cannot be negative offer editors a range from 0.
class TAmountFilter : public TUloFilter {
public:
  int Amount() const noexcept { return amount_; }
  bool Percent() const noexcept { return percent_; }
  void SetAmount(int value) noexcept { amount_ = value; }
  void SetPercent(bool value) noexcept { percent_ = value; }
  void Parameters(std::vector<TFilterParameter> &list) const override;
  void DefineProperties(streaming::TPropertyTable &table) override;

protected:
  explicit TAmountFilter(int amount = 5, bool onlyPositive = false) : amount_(amount), onlyPositive_(onlyPositive) {}

private:
  int amount_;
  bool percent_ = true;
  bool onlyPositive_;
};

// ---- pixel filters ----------------------------------------------------------

class TInvertFilter : public TUloFilter {
  ULO_FILTER_CLASS(TInvertFilter)
};

enum class TGrayMethod { gmSimple, gmEye, gmEye2 };

class TGrayScaleFilter : public TUloFilter {
  ULO_FILTER_CLASS(TGrayScaleFilter)
public:
  TGrayMethod Method() const noexcept { return method_; }
  void SetMethod(TGrayMethod value) noexcept { method_ = value; }
  void Parameters(std::vector<TFilterParameter> &list) const override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  TGrayMethod method_ = TGrayMethod::gmSimple;
};

// Amount is the block size.
class TMosaicFilter : public TAmountFilter {
  ULO_FILTER_CLASS(TMosaicFilter)
public:
  TMosaicFilter() : TAmountFilter(8, true) {}
  void DefineProperties(streaming::TPropertyTable &table) override;
};

// Upside down.
class TFlipFilter : public TUloFilter {
  ULO_FILTER_CLASS(TFlipFilter)
};

// Left for right.
class TReverseFilter : public TUloFilter {
  ULO_FILTER_CLASS(TReverseFilter)
};

class TBrightnessFilter : public TAmountFilter {
  ULO_FILTER_CLASS(TBrightnessFilter)
};

class TContrastFilter : public TAmountFilter {
  ULO_FILTER_CLASS(TContrastFilter)
};

// Adds to each channel.
class TColorFilter : public TUloFilter {
  ULO_FILTER_CLASS(TColorFilter)
public:
  int Red() const noexcept { return red_; }
  int Green() const noexcept { return green_; }
  int Blue() const noexcept { return blue_; }
  void SetRed(int value) noexcept { red_ = value; }
  void SetGreen(int value) noexcept { green_ = value; }
  void SetBlue(int value) noexcept { blue_ = value; }
  void Parameters(std::vector<TFilterParameter> &list) const override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  int red_ = 0, green_ = 0, blue_ = 0;
};

// Adds to the hue, luminance and saturation of each pixel (0..240 scale).
class THueLumSatFilter : public TUloFilter {
  ULO_FILTER_CLASS(THueLumSatFilter)
public:
  int Hue() const noexcept { return hue_; }
  int Luminance() const noexcept { return luminance_; }
  int Saturation() const noexcept { return saturation_; }
  void SetHue(int value) noexcept { hue_ = value; }
  void SetLuminance(int value) noexcept { luminance_ = value; }
  void SetSaturation(int value) noexcept { saturation_ = value; }
  void Parameters(std::vector<TFilterParameter> &list) const override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  int hue_ = 0, luminance_ = 0, saturation_ = 0;
};

// Hue, luminance and saturation on the 0..240 scale; grey has hue 160.
void UloRGBToHLS(int r, int g, int b, int &h, int &l, int &s) noexcept;
// Channels may leave 0..255 for components outside 0..240; callers limit.
void UloHLSToRGB(int h, int l, int s, int &r, int &g, int &b) noexcept;

// ---- convolutions -----------------------------------------------------------

class TSharpenFilter : public TConvolveFilter {
  ULO_FILTER_CLASS(TSharpenFilter)
public:
  TSharpenFilter();
};

class TEmbossFilter : public TConvolveFilter {
  ULO_FILTER_CLASS(TEmbossFilter)
public:
  TEmbossFilter();
};

class TSoftenFilter : public TConvolveFilter {
  ULO_FILTER_CLASS(TSoftenFilter)
public:
  TSoftenFilter();
};

class TGammaCorrectionFilter : public TAmountFilter {
  ULO_FILTER_CLASS(TGammaCorrectionFilter)
public:
  TGammaCorrectionFilter() : TAmountFilter(70, true) {}
  void DefineProperties(streaming::TPropertyTable &table) override;
};

// ---- bitmap operations ------------------------------------------------------

// Resamples the whole bitmap to Width x Height (both at least 1).
class TResizeFilter : public TUloFilter {
  ULO_FILTER_CLASS(TResizeFilter)
public:
  int Width() const noexcept { return width_; }
  int Height() const noexcept { return height_; }
  void SetWidth(int value) noexcept { width_ = value; }
  void SetHeight(int value) noexcept { height_ = value; }
  void Parameters(std::vector<TFilterParameter> &list) const override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  int width_ = 0, height_ = 0;
};

// Stretches the rectangle (Left, Top, Width, Height) over the whole bitmap,
// resampled when Smooth. Parts of the rectangle outside the bitmap are white.
class TCropFilter : public TResizeFilter {
  ULO_FILTER_CLASS(TCropFilter)
public:
  int Left() const noexcept { return left_; }
  int Top() const noexcept { return top_; }
  bool Smooth() const noexcept { return smooth_; }
  void SetLeft(int value) noexcept { left_ = value; }
  void SetTop(int value) noexcept { top_ = value; }
  void SetSmooth(bool value) noexcept { smooth_ = value; }
  void Parameters(std::vector<TFilterParameter> &list) const override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  int left_ = 0, top_ = 0;
  bool smooth_ = false;
};

// Turns the whole bitmap counter-clockwise by Angle degrees.
class TRotateFilter : public TUloFilter {
  ULO_FILTER_CLASS(TRotateFilter)
public:
  double Angle() const noexcept { return angle_; }
  // Brought into 0..360.
  void SetAngle(double value);
  TColor BackColor() const noexcept { return backColor_; }
  void SetBackColor(TColor value) noexcept { backColor_ = value; }
  bool AutoSize() const noexcept { return autoSize_; }
  void SetAutoSize(bool value) noexcept { autoSize_ = value; }
  void Parameters(std::vector<TFilterParameter> &list) const override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  double angle_ = 0;
  TColor backColor_ = clWhite;
  bool autoSize_ = true;
};

enum class TMirrorDirection { mdDown, mdUp, mdRight, mdLeft };

// Doubles the bitmap with a mirrored copy beside or below it.
class TMirrorFilter : public TUloFilter {
  ULO_FILTER_CLASS(TMirrorFilter)
public:
  TMirrorDirection Direction() const noexcept { return direction_; }
  void SetDirection(TMirrorDirection value) noexcept { direction_ = value; }
  void Parameters(std::vector<TFilterParameter> &list) const override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  TMirrorDirection direction_ = TMirrorDirection::mdDown;
};

class TTileFilter : public TUloFilter {
  ULO_FILTER_CLASS(TTileFilter)
public:
  int NumCols() const noexcept { return numCols_; }
  int NumRows() const noexcept { return numRows_; }
  void SetNumCols(int value) noexcept { numCols_ = value; }
  void SetNumRows(int value) noexcept { numRows_ = value; }
  void Parameters(std::vector<TFilterParameter> &list) const override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  int numCols_ = 3, numRows_ = 3;
};

// A raised frame Size pixels wide: the top and left edges brightened by
// Bright, then the bottom and right edges darkened by it (so the two
// corners shared by both take both, brightening first).
class TBevelFilter : public TUloFilter {
  ULO_FILTER_CLASS(TBevelFilter)
public:
  int Bright() const noexcept { return bright_; }
  int Size() const noexcept { return size_; }
  void SetBright(int value) noexcept { bright_ = value; }
  void SetSize(int value) noexcept { size_ = value; }
  void Parameters(std::vector<TFilterParameter> &list) const override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  int bright_ = 64, size_ = 15;
};

// Stretches the middle of the region over it, leaving Percent/2 % of its
// size at each side out.
class TZoomFilter : public TUloFilter {
  ULO_FILTER_CLASS(TZoomFilter)
public:
  double Percent() const noexcept { return percent_; }
  bool Smooth() const noexcept { return smooth_; }
  void SetPercent(double value) noexcept { percent_ = value; }
  void SetSmooth(bool value) noexcept { smooth_ = value; }
  void Parameters(std::vector<TFilterParameter> &list) const override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  double percent_ = 10;
  bool smooth_ = false;
};

#undef ULO_FILTER_CLASS

// ---- registration -----------------------------------------------------------

// Registers the filter classes with the stored definitions, in their order,
// each once, and installs UloRotateBitmap.
void StartUloFilters();
// Removes the service and the registrations.
void StopUloFilters();
// The registered filter classes in registration order.
const std::vector<std::string> &UloFilterClasses();
