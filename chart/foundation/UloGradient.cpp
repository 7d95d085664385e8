#include "chart/foundation/UloGradient.h"

#include "chart/foundation/UloCanvas.h"
#include "platform/rtl/Exceptions.h"

void TCustomUloGradient::Assign(const TCustomUloGradient &source) {
  bool changed = UloStoreIfChanged(angle_, source.angle_);
  changed |= UloStoreIfChanged(balance_, source.balance_);
  changed |= UloStoreIfChanged(direction_, source.direction_);
  changed |= UloStoreIfChanged(endColor_, source.endColor_);
  changed |= UloStoreIfChanged(midColor_, source.midColor_);
  changed |= UloStoreIfChanged(radialX_, source.radialX_);
  changed |= UloStoreIfChanged(radialY_, source.radialY_);
  changed |= UloStoreIfChanged(startColor_, source.startColor_);
  changed |= UloStoreIfChanged(visible_, source.visible_);
  changed |= UloStoreIfChanged(hasMidColor_, source.hasMidColor_);
  if (changed) Changed();
}

void TCustomUloGradient::SetMidColor(TColor value) {
  if (value == clNone) {
    if (!hasMidColor_) return;
    hasMidColor_ = false;
    midColor_ = clNone;
    Changed();
    return;
  }
  if (hasMidColor_ && midColor_ == value) return;
  hasMidColor_ = true;
  midColor_ = value;
  Changed();
}

void TCustomUloGradient::PaintRect(TUloCanvas &canvas, const TRect &rect, int roundSize) {
  // The two-colour painting without angle; the angled, middle-colour and
  // sub-gradient painting come with the full gradient support.
  if (angle_ != 0 || hasMidColor_) throw rtl::ENotImplemented("Angled and three-colour gradient painting");
  if (roundSize > 0) canvas.ClipToRoundRect(rect, roundSize);
  canvas.FillGradient(rect, startColor_, endColor_, direction_, balance_, radialX_, radialY_);
  if (roundSize > 0) canvas.RemoveClip();
}

void TUloFontGradient::Assign(const TCustomUloGradient &source) {
  if (const auto *font = dynamic_cast<const TUloFontGradient *>(&source)) SetOutline(font->outline_);
  TCustomUloGradient::Assign(source);
}

// ---- the band painter of the canvas ----------------------------------------------

#include <algorithm>
#include <cmath>

#include "chart/foundation/UloCanvas3D.h"
#include "platform/rtl/Numbers.h"

namespace {
struct Rgb {
  int r, g, b;
};

Rgb Channels(TColor color, bool monochrome) {
  const TColor c = ColorToRGB(color);
  Rgb rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
  if (monochrome) {
    const int grey = (rgb.r + rgb.g + rgb.b) / 3;
    rgb = {grey, grey, grey};
  }
  return rgb;
}
} // namespace

void TUloCanvas3D::FillGradient(const TRect &rect, TColor startColor, TColor endColor, TGradientDirection direction,
                                int balance, int, int) {
  using enum TGradientDirection;
  const bool vertical = direction == gdTopBottom || direction == gdBottomTop;
  const bool horizontal = direction == gdLeftRight || direction == gdRightLeft;
  if (!vertical && !horizontal) throw rtl::ENotImplemented("Centred, corner, diagonal and radial gradients");
  if (!dc_) return;
  const TRect r = NormalizeRect(rect);
  if (direction != gdTopBottom && direction != gdLeftRight) std::swap(startColor, endColor);
  const int extent = vertical ? r.Bottom - r.Top : r.Right - r.Left;
  const int count = std::min(extent, 256);
  const int n = count - 1;
  if (n < 1) return;
  const Rgb c0 = Channels(startColor, monochrome_);
  const Rgb c1 = Channels(endColor, monochrome_);
  const Rgb d{c1.r - c0.r, c1.g - c0.g, c1.b - c0.b};
  const double exponent = 0.5 + 0.015 * balance;
  int prev = 0;
  for (int i = 0; i < count; ++i) {
    Rgb c;
    if (balance == 50) {
      c = {c0.r + d.r * i / n, c0.g + d.g * i / n, c0.b + d.b * i / n};
    } else {
      const double f = std::pow((1.0 + i) / (1.0 + n), exponent);
      c = {c0.r + rtl::RoundPixel(d.r * f), c0.g + rtl::RoundPixel(d.g * f), c0.b + rtl::RoundPixel(d.b * f)};
    }
    const int next = static_cast<int>(static_cast<long long>(i + 1) * extent / count);
    // Band 0 lies at the bottom (or right) edge.
    const gdi::Rect band = vertical ? gdi::Rect{r.Left, r.Top + extent - next, r.Right, r.Top + extent - prev}
                                    : gdi::Rect{r.Left + extent - next, r.Top, r.Left + extent - prev, r.Bottom};
    dc_->FillRect(band, gdi::Brush::Solid(RGBColor(c.r, c.g, c.b)));
    prev = next;
  }
}
