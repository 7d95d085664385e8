#include "chart/foundation/UloFilters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "chart/foundation/UloConst.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Numbers.h"

namespace {

using streaming::TEnumName;

constexpr int ChanB(uint32_t p) { return static_cast<int>(p & 0xFF); }
constexpr int ChanG(uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
constexpr int ChanR(uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
constexpr uint32_t Byte(int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); }
// Keeps the unused top byte of the pixel it replaces.
constexpr uint32_t Pixel(uint32_t old, int r, int g, int b) {
  return (old & 0xFF000000u) | Byte(r) << 16 | Byte(g) << 8 | Byte(b);
}

// Calls fn(pixel) for every pixel of the limited rectangle, rows top to
// bottom, columns left to right.
template <class Fn> void ForEachPixel(gdi::Bitmap &bitmap, const TRect &r, Fn fn) {
  for (int y = r.Top; y <= r.Bottom; ++y) {
    uint32_t *row = bitmap.ScanLine(y);
    for (int x = r.Left; x <= r.Right; ++x)
      fn(row[x]);
  }
}

// A per-byte table applied to the three channels.
void ApplyTable(gdi::Bitmap &bitmap, const TRect &r, const std::array<uint8_t, 256> &table) {
  ForEachPixel(bitmap, r, [&table](uint32_t &p) {
    p = Pixel(p, table[static_cast<size_t>(ChanR(p))], table[static_cast<size_t>(ChanG(p))],
              table[static_cast<size_t>(ChanB(p))]);
  });
}

// The rectangle of the bitmap, clipped, copied into a bitmap of the
// rectangle's size; what lies outside the source stays white.
gdi::Bitmap CopyArea(gdi::Bitmap &source, int left, int top, int width, int height) {
  gdi::Bitmap part(width, height);
  if (part.IsEmpty()) return part;
  source.DC().Flush();
  // In 64 bits: stored settings may put the rectangle anywhere.
  const int64_t x0 = std::max<int64_t>(0, left), y0 = std::max<int64_t>(0, top);
  const int64_t x1 = std::min<int64_t>(source.Width(), int64_t{left} + width);
  const int64_t y1 = std::min<int64_t>(source.Height(), int64_t{top} + height);
  if (x0 >= x1) return part;
  for (int64_t y = y0; y < y1; ++y)
    std::copy(source.ScanLine(static_cast<int>(y)) + x0, source.ScanLine(static_cast<int>(y)) + x1,
              part.ScanLine(static_cast<int>(y - top)) + (x0 - left));
  return part;
}

// Replaces the bitmap's pixels (and size) by those of another.
void TakePixels(gdi::Bitmap &bitmap, const gdi::Bitmap &pixels) {
  bitmap.SetSize(pixels.Width(), pixels.Height());
  bitmap.DC().Flush();
  for (int y = 0; y < pixels.Height(); ++y)
    std::copy_n(pixels.ScanLine(y), pixels.Width(), bitmap.ScanLine(y));
}

void AddAmountParameter(std::vector<TFilterParameter> &list, bool percent, bool onlyPositive) {
  const int limit = percent ? 100 : 255;
  list.push_back({"Amount", TFilterParameterKind::fpInteger, onlyPositive ? 0 : -limit, limit});
}

constexpr TEnumName<TGrayMethod> kGrayMethodNames[] = {
    {TGrayMethod::gmSimple, "gmSimple"}, {TGrayMethod::gmEye, "gmEye"}, {TGrayMethod::gmEye2, "gmEye2"}};

constexpr TEnumName<TMirrorDirection> kMirrorNames[] = {{TMirrorDirection::mdDown, "mdDown"},
                                                        {TMirrorDirection::mdUp, "mdUp"},
                                                        {TMirrorDirection::mdRight, "mdRight"},
                                                        {TMirrorDirection::mdLeft, "mdLeft"}};

} // namespace

// ---- amount base --------------------------------------------------------------

void TAmountFilter::Parameters(std::vector<TFilterParameter> &list) const {
  AddAmountParameter(list, percent_, onlyPositive_);
  list.push_back({UloMsgFilterPercent, TFilterParameterKind::fpBoolean, 0, 1});
}

void TAmountFilter::DefineProperties(streaming::TPropertyTable &table) {
  TUloFilter::DefineProperties(table);
  table.Property("Amount", this, &TAmountFilter::Amount, &TAmountFilter::SetAmount, 5);
  table.Property("Percent", this, &TAmountFilter::Percent, &TAmountFilter::SetPercent, true);
}

// ---- invert and grey ------------------------------------------------------------

void TInvertFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) {
  TRect r;
  if (!PrepareRows(bitmap, rect, r)) return;
  ForEachPixel(bitmap, r, [](uint32_t &p) { p ^= 0x00FFFFFFu; });
}

std::string TInvertFilter::Description() const { return UloMsgFilterInvert; }

void TGrayScaleFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) {
  TRect r;
  if (!PrepareRows(bitmap, rect, r)) return;
  // Single-precision weights, as the pictures were always made: in them
  // 0.3 x 255 lies just above 76.5, so pure red gives 77.
  static const double kRed = 0.3f, kGreen = 0.59f, kBlue = 0.11f;
  const TGrayMethod method = method_;
  ForEachPixel(bitmap, r, [method](uint32_t &p) {
    int grey;
    switch (method) {
    case TGrayMethod::gmSimple:
      grey = (ChanB(p) + ChanG(p) + ChanR(p)) / 3;
      break;
    case TGrayMethod::gmEye:
      grey = rtl::RoundPixel(kRed * ChanR(p) + kGreen * ChanG(p) + kBlue * ChanB(p));
      break;
    default:
      grey = (11 * ChanR(p) + 16 * ChanG(p) + 5 * ChanB(p)) >> 5;
      break;
    }
    p = Pixel(p, grey, grey, grey);
  });
}

std::string TGrayScaleFilter::Description() const { return UloMsgFilterGrayScale; }

void TGrayScaleFilter::Parameters(std::vector<TFilterParameter> &list) const {
  list.push_back({"Method", TFilterParameterKind::fpChoice, 0, 2});
}

void TGrayScaleFilter::DefineProperties(streaming::TPropertyTable &table) {
  TUloFilter::DefineProperties(table);
  table.Enum(
      "Method", [this] { return method_; }, [this](TGrayMethod m) { method_ = m; }, TGrayMethod::gmSimple,
      kGrayMethodNames);
}

// ---- mosaic ---------------------------------------------------------------------

void TMosaicFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) {
  const int size = Amount();
  TRect r;
  if (size < 1 || !PrepareRows(bitmap, rect, r)) return;
  // Steps in 64 bits: a block may be far larger than the bitmap.
  for (int64_t top = r.Top; top <= r.Bottom; top += size) {
    const int bottom = static_cast<int>(std::min<int64_t>(r.Bottom, top + size - 1));
    for (int64_t left = r.Left; left <= r.Right; left += size) {
      const int right = static_cast<int>(std::min<int64_t>(r.Right, left + size - 1));
      const TRect block{static_cast<int>(left), static_cast<int>(top), right, bottom};
      int64_t sr = 0, sg = 0, sb = 0;
      ForEachPixel(bitmap, block, [&](uint32_t &p) {
        sr += ChanR(p);
        sg += ChanG(p);
        sb += ChanB(p);
      });
      const float factor = 1.0f / static_cast<float>(int64_t{right - block.Left + 1} * (bottom - block.Top + 1));
      const int ar = rtl::RoundPixel(static_cast<double>(sr) * factor);
      const int ag = rtl::RoundPixel(static_cast<double>(sg) * factor);
      const int ab = rtl::RoundPixel(static_cast<double>(sb) * factor);
      ForEachPixel(bitmap, block, [&](uint32_t &p) { p = Pixel(p, ar, ag, ab); });
    }
  }
}

std::string TMosaicFilter::Description() const { return UloMsgFilterMosaic; }

void TMosaicFilter::DefineProperties(streaming::TPropertyTable &table) {
  TAmountFilter::DefineProperties(table);
  table.Property("Amount", this, &TAmountFilter::Amount, &TAmountFilter::SetAmount, 8);
}

// ---- flip and reverse -------------------------------------------------------------

void TFlipFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) {
  TRect r;
  if (!PrepareRows(bitmap, rect, r)) return;
  const int pairs = (r.Bottom - r.Top + 1) / 2;
  for (int i = 0; i < pairs; ++i) {
    uint32_t *a = bitmap.ScanLine(r.Top + i);
    uint32_t *b = bitmap.ScanLine(r.Bottom - i);
    std::swap_ranges(a + r.Left, a + r.Right + 1, b + r.Left);
  }
}

std::string TFlipFilter::Description() const { return UloMsgFilterFlip; }

void TReverseFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) {
  TRect r;
  if (!PrepareRows(bitmap, rect, r)) return;
  for (int y = r.Top; y <= r.Bottom; ++y) {
    uint32_t *row = bitmap.ScanLine(y);
    std::reverse(row + r.Left, row + r.Right + 1);
  }
}

std::string TReverseFilter::Description() const { return UloMsgFilterReverse; }

// ---- brightness, contrast, colour ----------------------------------------------------

void TBrightnessFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) {
  if (Amount() == 0) return;
  TRect r;
  if (!PrepareRows(bitmap, rect, r)) return;
  const int d = Percent() ? rtl::RoundPixel(255.0 * Amount() * 0.01) : Amount();
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i)
    table[static_cast<size_t>(i)] = static_cast<uint8_t>(std::clamp<int64_t>(int64_t{i} + d, 0, 255));
  ApplyTable(bitmap, r, table);
}

std::string TBrightnessFilter::Description() const { return UloMsgFilterBrightness; }

void TContrastFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) {
  TRect r;
  if (!PrepareRows(bitmap, rect, r)) return;
  std::array<uint8_t, 256> table{};
  for (int c = 0; c < 256; ++c) {
    int64_t v;
    if (Percent())
      v = c + static_cast<int64_t>(rtl::RoundPixel(static_cast<double>(c) * Amount() * 0.01)) * (c - 128) / 256;
    else
      v = c + static_cast<int64_t>(Amount()) * (c - 128) / 256;
    table[static_cast<size_t>(c)] = static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
  }
  ApplyTable(bitmap, r, table);
}

std::string TContrastFilter::Description() const { return UloMsgFilterContrast; }

void TColorFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) {
  if (red_ == 0 && green_ == 0 && blue_ == 0) return;
  TRect r;
  if (!PrepareRows(bitmap, rect, r)) return;
  const int dr = red_, dg = green_, db = blue_;
  ForEachPixel(bitmap, r, [=](uint32_t &p) {
    p = Pixel(p, static_cast<int>(std::clamp<int64_t>(int64_t{ChanR(p)} + dr, 0, 255)),
              static_cast<int>(std::clamp<int64_t>(int64_t{ChanG(p)} + dg, 0, 255)),
              static_cast<int>(std::clamp<int64_t>(int64_t{ChanB(p)} + db, 0, 255)));
  });
}

std::string TColorFilter::Description() const { return UloMsgFilterColor; }

void TColorFilter::Parameters(std::vector<TFilterParameter> &list) const {
  for (const char *name : {"Red", "Green", "Blue"})
    list.push_back({name, TFilterParameterKind::fpInteger, -255, 255});
}

void TColorFilter::DefineProperties(streaming::TPropertyTable &table) {
  TUloFilter::DefineProperties(table);
  table.Property("Blue", this, &TColorFilter::Blue, &TColorFilter::SetBlue, 0);
  table.Property("Green", this, &TColorFilter::Green, &TColorFilter::SetGreen, 0);
  table.Property("Red", this, &TColorFilter::Red, &TColorFilter::SetRed, 0);
}

// ---- hue, luminance, saturation --------------------------------------------------------

namespace {
constexpr int kHLSMax = 240;
constexpr int kRGBMax = 255;
constexpr int kUndefinedHue = kHLSMax * 2 / 3;

int HueToRGB(int n1, int n2, int hue) {
  if (hue < 0) hue += kHLSMax;
  if (hue > kHLSMax) hue -= kHLSMax;
  if (hue < kHLSMax / 6) return n1 + ((n2 - n1) * hue + kHLSMax / 12) / (kHLSMax / 6);
  if (hue < kHLSMax / 2) return n2;
  if (hue < kHLSMax * 2 / 3) return n1 + ((n2 - n1) * (kHLSMax * 2 / 3 - hue) + kHLSMax / 12) / (kHLSMax / 6);
  return n1;
}
} // namespace

void UloRGBToHLS(int r, int g, int b, int &h, int &l, int &s) noexcept {
  const int cMax = std::max({r, g, b}), cMin = std::min({r, g, b});
  l = ((cMax + cMin) * kHLSMax + kRGBMax) / (2 * kRGBMax);
  if (cMax == cMin) {
    s = 0;
    h = kUndefinedHue;
    return;
  }
  const int spread = cMax - cMin;
  if (l <= kHLSMax / 2)
    s = (spread * kHLSMax + (cMax + cMin) / 2) / (cMax + cMin);
  else
    s = (spread * kHLSMax + (2 * kRGBMax - cMax - cMin) / 2) / (2 * kRGBMax - cMax - cMin);
  const int dr = ((cMax - r) * (kHLSMax / 6) + spread / 2) / spread;
  const int dg = ((cMax - g) * (kHLSMax / 6) + spread / 2) / spread;
  const int db = ((cMax - b) * (kHLSMax / 6) + spread / 2) / spread;
  if (r == cMax)
    h = db - dg;
  else if (g == cMax)
    h = kHLSMax / 3 + dr - db;
  else
    h = 2 * kHLSMax / 3 + dg - dr;
  if (h < 0) h += kHLSMax;
  if (h > kHLSMax) h -= kHLSMax;
}

void UloHLSToRGB(int h, int l, int s, int &r, int &g, int &b) noexcept {
  if (s == 0) {
    r = g = b = l * kRGBMax / kHLSMax;
    return;
  }
  const int m2 =
      l <= kHLSMax / 2 ? (l * (kHLSMax + s) + kHLSMax / 2) / kHLSMax : l + s - (l * s + kHLSMax / 2) / kHLSMax;
  const int m1 = 2 * l - m2;
  r = (HueToRGB(m1, m2, h + kHLSMax / 3) * kRGBMax + kHLSMax / 2) / kHLSMax;
  g = (HueToRGB(m1, m2, h) * kRGBMax + kHLSMax / 2) / kHLSMax;
  b = (HueToRGB(m1, m2, h - kHLSMax / 3) * kRGBMax + kHLSMax / 2) / kHLSMax;
}

void THueLumSatFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) {
  if (hue_ == 0 && luminance_ == 0 && saturation_ == 0) return;
  TRect r;
  if (!PrepareRows(bitmap, rect, r)) return;
  const int dh = std::clamp(hue_, -1000, 1000), dl = std::clamp(luminance_, -1000, 1000),
            ds = std::clamp(saturation_, -1000, 1000);
  ForEachPixel(bitmap, r, [=](uint32_t &p) {
    int h, l, s;
    UloRGBToHLS(ChanR(p), ChanG(p), ChanB(p), h, l, s);
    if (dh != 0) h = std::clamp(h + dh, 0, 255);
    if (dl != 0) l = std::clamp(l + dl, 0, 255);
    if (ds != 0) s = std::clamp(s + ds, 0, 255);
    int nr, ng, nb;
    UloHLSToRGB(h, l, s, nr, ng, nb);
    p = Pixel(p, nr, ng, nb);
  });
}

std::string THueLumSatFilter::Description() const { return UloMsgFilterHueLumSat; }

void THueLumSatFilter::Parameters(std::vector<TFilterParameter> &list) const {
  for (const char *name : {"Hue", "Luminance", "Saturation"})
    list.push_back({name, TFilterParameterKind::fpInteger, -240, 240});
}

void THueLumSatFilter::DefineProperties(streaming::TPropertyTable &table) {
  TUloFilter::DefineProperties(table);
  table.Property("Hue", this, &THueLumSatFilter::Hue, &THueLumSatFilter::SetHue, 0);
  table.Property("Luminance", this, &THueLumSatFilter::Luminance, &THueLumSatFilter::SetLuminance, 0);
  table.Property("Saturation", this, &THueLumSatFilter::Saturation, &THueLumSatFilter::SetSaturation, 0);
}

// ---- convolutions ----------------------------------------------------------------------

TSharpenFilter::TSharpenFilter() {
  weights_.fill(-0.125f);
  weights_[4] = 2.0f;
}

void TSharpenFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) { TConvolveFilter::Apply(bitmap, rect); }

std::string TSharpenFilter::Description() const { return UloMsgFilterSharpen; }

TEmbossFilter::TEmbossFilter() { weights_ = {0, -1, 0, -1, 1, 1, 0, -1, 0}; }

void TEmbossFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) { TConvolveFilter::Apply(bitmap, rect); }

std::string TEmbossFilter::Description() const { return UloMsgFilterEmboss; }

TSoftenFilter::TSoftenFilter() { weights_ = {0, 0, 0, 0, 1, 1, 0, 1, 1}; }

void TSoftenFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) { TConvolveFilter::Apply(bitmap, rect); }

std::string TSoftenFilter::Description() const { return UloMsgAntialias; }

// ---- gamma -------------------------------------------------------------------------------

void TGammaCorrectionFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) {
  TRect r;
  if (!PrepareRows(bitmap, rect, r)) return;
  const double g = std::max(std::fabs(static_cast<double>(Amount())) * 0.01, 0.001);
  std::array<uint8_t, 256> table{};
  for (int i = 1; i < 256; ++i)
    table[static_cast<size_t>(i)] =
        static_cast<uint8_t>(std::clamp(rtl::RoundPixel(255.0 * std::exp(std::log(i / 255.0) / g)), 0, 255));
  ApplyTable(bitmap, r, table);
}

std::string TGammaCorrectionFilter::Description() const { return UloMsgFilterGammaCorrection; }

void TGammaCorrectionFilter::DefineProperties(streaming::TPropertyTable &table) {
  TAmountFilter::DefineProperties(table);
  table.Property("Amount", this, &TAmountFilter::Amount, &TAmountFilter::SetAmount, 70);
}

// ---- resize and crop ---------------------------------------------------------------------

void TResizeFilter::Apply(gdi::Bitmap &bitmap, const TRect &) {
  if (width_ < 1 || height_ < 1 || bitmap.IsEmpty()) return;
  gdi::Bitmap resized(width_, height_);
  ResampleBitmap(bitmap, resized, false);
  TakePixels(bitmap, resized);
}

std::string TResizeFilter::Description() const { return UloMsgFilterResize; }

void TResizeFilter::Parameters(std::vector<TFilterParameter> &list) const {
  list.push_back({UloMsgFilterWidth, TFilterParameterKind::fpInteger, 0, 10000});
  list.push_back({"Height", TFilterParameterKind::fpInteger, 0, 10000});
}

void TResizeFilter::DefineProperties(streaming::TPropertyTable &table) {
  TUloFilter::DefineProperties(table);
  table.Property("Height", this, &TResizeFilter::Height, &TResizeFilter::SetHeight, 0);
  table.Property("Width", this, &TResizeFilter::Width, &TResizeFilter::SetWidth, 0);
}

void TCropFilter::Apply(gdi::Bitmap &bitmap, const TRect &) {
  if (Width() < 1 || Height() < 1 || bitmap.IsEmpty()) return;
  gdi::Bitmap part = CopyArea(bitmap, left_, top_, Width(), Height());
  if (smooth_) {
    ResampleBitmap(part, bitmap, false);
  } else {
    bitmap.DC().StretchBlt(gdi::Rect{0, 0, bitmap.Width(), bitmap.Height()}, part,
                           gdi::Rect{0, 0, part.Width(), part.Height()});
    bitmap.DC().Flush();
  }
}

std::string TCropFilter::Description() const { return UloMsgFilterCrop; }

void TCropFilter::Parameters(std::vector<TFilterParameter> &list) const {
  TResizeFilter::Parameters(list);
  list.push_back({UloMsgFilterLeft, TFilterParameterKind::fpInteger, 0, 10000});
  list.push_back({UloMsgFilterTop, TFilterParameterKind::fpInteger, 0, 10000});
  list.push_back({UloMsgFilterSmooth, TFilterParameterKind::fpBoolean, 0, 1});
}

void TCropFilter::DefineProperties(streaming::TPropertyTable &table) {
  TResizeFilter::DefineProperties(table);
  table.Property("Left", this, &TCropFilter::Left, &TCropFilter::SetLeft, 0);
  table.Property("Smooth", this, &TCropFilter::Smooth, &TCropFilter::SetSmooth, false);
  table.Property("Top", this, &TCropFilter::Top, &TCropFilter::SetTop, 0);
}

// ---- rotate ------------------------------------------------------------------------------

void TRotateFilter::SetAngle(double value) {
  if (value == angle_) return;
  if (!std::isfinite(value)) throw rtl::EInvalidOp();
  value = std::fmod(value, 360.0);
  if (value < 0) value += 360.0;
  angle_ = value;
}

void TRotateFilter::Apply(gdi::Bitmap &bitmap, const TRect &) {
  if (bitmap.IsEmpty()) return;
  const int w = bitmap.Width(), h = bitmap.Height();
  bitmap.DC().Flush();
  if (std::fmod(angle_, 90.0) == 0) {
    const int quarter = static_cast<int>(angle_ / 90.0) % 4;
    if (quarter == 0) return;
    const bool turned = quarter != 2;
    gdi::Bitmap result(turned ? h : w, turned ? w : h);
    for (int y = 0; y < result.Height(); ++y) {
      uint32_t *out = result.ScanLine(y);
      for (int x = 0; x < result.Width(); ++x) {
        // Counter-clockwise on screen: a quarter turn brings the source's
        // top-right corner to the top-left.
        int sx, sy;
        if (quarter == 1) {
          sx = w - 1 - y;
          sy = x;
        } else if (quarter == 2) {
          sx = w - 1 - x;
          sy = h - 1 - y;
        } else {
          sx = y;
          sy = h - 1 - x;
        }
        out[x] = bitmap.ScanLine(sy)[sx];
      }
    }
    TakePixels(bitmap, result);
    return;
  }
  const double radians = angle_ * std::numbers::pi / 180.0;
  const double c = std::cos(radians), s = std::sin(radians);
  int nw = w, nh = h;
  if (autoSize_) {
    nw = std::max(2, rtl::RoundPixel(std::fabs(w * c) + std::fabs(h * s)));
    nh = std::max(2, rtl::RoundPixel(std::fabs(w * s) + std::fabs(h * c)));
  }
  gdi::Bitmap result(nw, nh);
  // A new bitmap is white, but an unresolved or other back colour is not.
  const TColor back = ColorToRGB(backColor_);
  if (back != clWhite) result.Fill(back);
  result.DC().Flush();
  const double scx = (w - 1) * 0.5, scy = (h - 1) * 0.5;
  const double dcx = (nw - 1) * 0.5, dcy = (nh - 1) * 0.5;
  for (int y = 0; y < nh; ++y) {
    uint32_t *out = result.ScanLine(y);
    const double dy = y - dcy;
    for (int x = 0; x < nw; ++x) {
      const double dx = x - dcx;
      // Back through the opposite turn to the source pixel nearest.
      const int sx = rtl::RoundPixel(scx + dx * c - dy * s);
      const int sy = rtl::RoundPixel(scy + dx * s + dy * c);
      if (sx >= 0 && sx < w && sy >= 0 && sy < h) out[x] = bitmap.ScanLine(sy)[sx];
    }
  }
  TakePixels(bitmap, result);
}

std::string TRotateFilter::Description() const { return UloMsgFilterRotate; }

void TRotateFilter::Parameters(std::vector<TFilterParameter> &list) const {
  list.push_back({"Angle", TFilterParameterKind::fpFloat, 0, 360});
  list.push_back({"BackColor", TFilterParameterKind::fpColor, 0, 0});
  list.push_back({"AutoSize", TFilterParameterKind::fpBoolean, 0, 1});
}

void TRotateFilter::DefineProperties(streaming::TPropertyTable &table) {
  TUloFilter::DefineProperties(table);
  table.Property("Angle", this, &TRotateFilter::Angle, &TRotateFilter::SetAngle, 0.0);
  table.Property("AutoSize", this, &TRotateFilter::AutoSize, &TRotateFilter::SetAutoSize, true);
  table.Color(
      "BackColor", [this] { return backColor_; }, [this](TColor c) { backColor_ = c; }, clWhite);
}

// ---- mirror and tile -------------------------------------------------------------------

void TMirrorFilter::Apply(gdi::Bitmap &bitmap, const TRect &) {
  if (bitmap.IsEmpty()) return;
  bitmap.DC().Flush();
  const int w = bitmap.Width(), h = bitmap.Height();
  const bool vertical = direction_ == TMirrorDirection::mdDown || direction_ == TMirrorDirection::mdUp;
  gdi::Bitmap result(vertical ? w : 2 * w, vertical ? 2 * h : h);
  // Where the unchanged image goes; the mirrored copy takes the other half.
  const bool originalFirst = direction_ == TMirrorDirection::mdDown || direction_ == TMirrorDirection::mdRight;
  for (int y = 0; y < h; ++y) {
    const uint32_t *src = bitmap.ScanLine(y);
    if (vertical) {
      const int plain = originalFirst ? y : h + y;
      const int mirrored = originalFirst ? 2 * h - 1 - y : h - 1 - y;
      std::copy_n(src, w, result.ScanLine(plain));
      std::copy_n(src, w, result.ScanLine(mirrored));
    } else {
      uint32_t *out = result.ScanLine(y);
      uint32_t *plain = out + (originalFirst ? 0 : w);
      uint32_t *mirrored = out + (originalFirst ? w : 0);
      std::copy_n(src, w, plain);
      std::reverse_copy(src, src + w, mirrored);
    }
  }
  TakePixels(bitmap, result);
}

std::string TMirrorFilter::Description() const { return UloMsgFilterMirror; }

void TMirrorFilter::Parameters(std::vector<TFilterParameter> &list) const {
  list.push_back({"Direction", TFilterParameterKind::fpChoice, 0, 3});
}

void TMirrorFilter::DefineProperties(streaming::TPropertyTable &table) {
  TUloFilter::DefineProperties(table);
  table.Enum(
      "Direction", [this] { return direction_; }, [this](TMirrorDirection d) { direction_ = d; },
      TMirrorDirection::mdDown, kMirrorNames);
}

void TTileFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) {
  if (numCols_ < 1) numCols_ = 1;
  if (numRows_ < 1) numRows_ = 1;
  TRect r;
  if (!PrepareRows(bitmap, rect, r)) return;
  const int w = (r.Right - r.Left + 1) / numCols_;
  const int h = (r.Bottom - r.Top + 1) / numRows_;
  if (w < 1 || h < 1) return;
  gdi::Bitmap tile(w, h);
  ResampleBitmap(bitmap, tile, false);
  for (int j = 0; j < numRows_; ++j)
    for (int i = 0; i < numCols_; ++i)
      bitmap.DC().BitBlt(i * w, j * h, w, h, tile, 0, 0);
  bitmap.DC().Flush();
}

std::string TTileFilter::Description() const { return UloMsgFilterTile; }

void TTileFilter::Parameters(std::vector<TFilterParameter> &list) const {
  list.push_back({"NumCols", TFilterParameterKind::fpInteger, 1, 1000});
  list.push_back({"NumRows", TFilterParameterKind::fpInteger, 1, 1000});
}

void TTileFilter::DefineProperties(streaming::TPropertyTable &table) {
  TUloFilter::DefineProperties(table);
  table.Property("NumCols", this, &TTileFilter::NumCols, &TTileFilter::SetNumCols, 3);
  table.Property("NumRows", this, &TTileFilter::NumRows, &TTileFilter::SetNumRows, 3);
}

// ---- bevel and zoom --------------------------------------------------------------------

void TBevelFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) {
  TRect r;
  if (!PrepareRows(bitmap, rect, r)) return;
  const int d = bright_;
  auto lighten = [d](uint32_t &p) { p = Pixel(p, ChanR(p) + d, ChanG(p) + d, ChanB(p) + d); };
  auto darken = [d](uint32_t &p) { p = Pixel(p, ChanR(p) - d, ChanG(p) - d, ChanB(p) - d); };
  for (int k = 0; k < size_; ++k) {
    const int left = r.Left + k, top = r.Top + k, right = r.Right - k, bottom = r.Bottom - k;
    if (left > right || top > bottom) break;
    ForEachPixel(bitmap, TRect{left, top, right, top}, lighten);
    ForEachPixel(bitmap, TRect{left, top, left, bottom}, lighten);
    ForEachPixel(bitmap, TRect{left, bottom, right, bottom}, darken);
    ForEachPixel(bitmap, TRect{right, top, right, bottom}, darken);
  }
}

std::string TBevelFilter::Description() const { return UloMsgFilterBevel; }

void TBevelFilter::Parameters(std::vector<TFilterParameter> &list) const {
  list.push_back({"Bright", TFilterParameterKind::fpInteger, 0, 255});
  list.push_back({"Size", TFilterParameterKind::fpInteger, 0, 1000});
}

void TBevelFilter::DefineProperties(streaming::TPropertyTable &table) {
  TUloFilter::DefineProperties(table);
  table.Property("Bright", this, &TBevelFilter::Bright, &TBevelFilter::SetBright, 64);
  table.Property("Size", this, &TBevelFilter::Size, &TBevelFilter::SetSize, 15);
}

void TZoomFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) {
  TRect r;
  if (!PrepareRows(bitmap, rect, r)) return;
  if (!std::isfinite(percent_)) return;
  const int w = r.Right - r.Left + 1, h = r.Bottom - r.Top + 1;
  const int mx = rtl::RoundPixel(w * percent_ * 0.005);
  const int my = rtl::RoundPixel(h * percent_ * 0.005);
  TCropFilter crop;
  crop.SetWidth(static_cast<int>(std::max<int64_t>(1, int64_t{w} - 2 * int64_t{mx})));
  crop.SetHeight(static_cast<int>(std::max<int64_t>(1, int64_t{h} - 2 * int64_t{my})));
  crop.SetSmooth(smooth_);
  if (r.Left == 0 && r.Top == 0 && w == bitmap.Width() && h == bitmap.Height()) {
    crop.SetLeft(mx);
    crop.SetTop(my);
    crop.ApplyTo(bitmap);
    return;
  }
  gdi::Bitmap part = CopyArea(bitmap, r.Left, r.Top, w, h);
  crop.SetLeft(mx);
  crop.SetTop(my);
  crop.ApplyTo(part);
  bitmap.DC().BitBlt(r.Left, r.Top, w, h, part, 0, 0);
  bitmap.DC().Flush();
}

std::string TZoomFilter::Description() const { return UloMsgFilterZoom; }

void TZoomFilter::Parameters(std::vector<TFilterParameter> &list) const {
  list.push_back({UloMsgFilterPercent, TFilterParameterKind::fpFloat, 0, 100});
  list.push_back({UloMsgFilterSmooth, TFilterParameterKind::fpBoolean, 0, 1});
}

void TZoomFilter::DefineProperties(streaming::TPropertyTable &table) {
  TUloFilter::DefineProperties(table);
  table.Property("Percent", this, &TZoomFilter::Percent, &TZoomFilter::SetPercent, 10.0);
  table.Property("Smooth", this, &TZoomFilter::Smooth, &TZoomFilter::SetSmooth, false);
}

// ---- registration ----------------------------------------------------------------------

namespace {

std::vector<std::string> &FilterClassList() {
  static std::vector<std::string> list;
  return list;
}

template <class F> void RegisterFilter() {
  auto &list = FilterClassList();
  const std::string name(F::kClassName);
  if (std::find(list.begin(), list.end(), name) != list.end()) return;
  list.push_back(name);
  streaming::ClassRegistry().RegisterClass<F>(name);
}

} // namespace

void StartUloFilters() {
  RegisterFilter<TInvertFilter>();
  RegisterFilter<TGrayScaleFilter>();
  RegisterFilter<TMosaicFilter>();
  RegisterFilter<TFlipFilter>();
  RegisterFilter<TReverseFilter>();
  RegisterFilter<TBrightnessFilter>();
  RegisterFilter<TContrastFilter>();
  RegisterFilter<TColorFilter>();
  RegisterFilter<THueLumSatFilter>();
  RegisterFilter<TBlurFilter>();
  RegisterFilter<TSharpenFilter>();
  RegisterFilter<TGammaCorrectionFilter>();
  RegisterFilter<TEmbossFilter>();
  RegisterFilter<TSoftenFilter>();
  RegisterFilter<TCropFilter>();
  RegisterFilter<TResizeFilter>();
  RegisterFilter<TRotateFilter>();
  RegisterFilter<TMirrorFilter>();
  RegisterFilter<TTileFilter>();
  RegisterFilter<TBevelFilter>();
  RegisterFilter<TZoomFilter>();
  UloRotateBitmap = [](gdi::Bitmap &bitmap, int angle) {
    TRotateFilter rotate;
    rotate.SetAngle(angle);
    rotate.ApplyTo(bitmap);
  };
}

void StopUloFilters() {
  UloRotateBitmap = nullptr;
  for (const auto &name : FilterClassList())
    streaming::ClassRegistry().UnregisterClass(name);
  FilterClassList().clear();
}

const std::vector<std::string> &UloFilterClasses() { return FilterClassList(); }
