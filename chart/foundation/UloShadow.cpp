#include "chart/foundation/UloShadow.h"

#include <algorithm>
#include <cstdlib>

#include "chart/foundation/UloCanvas.h"

// ---- shadow settings ----------------------------------------------------------

void TUloShadow::Assign(const TUloShadow &source) {
  bool changed = UloStoreIfChanged(clip_, source.clip_);
  changed |= UloStoreIfChanged(color_, source.color_);
  changed |= UloStoreIfChanged(horizSize_, source.horizSize_);
  changed |= UloStoreIfChanged(smooth_, source.smooth_);
  changed |= UloStoreIfChanged(smoothBlur_, source.smoothBlur_);
  changed |= UloStoreIfChanged(transparency_, source.transparency_);
  changed |= UloStoreIfChanged(vertSize_, source.vertSize_);
  changed |= UloStoreIfChanged(visible_, source.visible_);
  if (changed) Changed();
}

void TUloShadow::InitColorAndSize(TColor color, int size) {
  SetColor(color);
  defaultColor_ = color;
  SetBothSizes(size);
  defaultSize_ = size;
}

void TUloShadow::SetBothSizes(int size) {
  SetHorizSize(size);
  SetVertSize(size);
}

int TUloShadow::MaxOffset() const noexcept { return std::max(std::abs(horizSize_), std::abs(vertSize_)); }

// ---- captured backgrounds ----------------------------------------------------------

struct TUloBlend::Capture {
  gdi::Bitmap bitmap;
};

TUloBlend::TUloBlend(TUloCanvas &canvas, const TRect &rect) : canvas_(canvas) {
  gdi::DeviceContext *dc = canvas.GetHandle();
  if (!dc) return;
  TRect r = NormalizeRect(rect);
  r.Left = std::max(0, r.Left);
  r.Top = std::max(0, r.Top);
  r.Right = std::max(r.Right, r.Left + 1);
  r.Bottom = std::max(r.Bottom, r.Top + 1);
  // Held to the image itself: a rectangle widened to one column at its
  // right edge must not reach past it.
  r.Right = std::min(r.Right, dc->Width());
  r.Bottom = std::min(r.Bottom, dc->Height());
  rect_ = r;
  valid_ = r.Right > r.Left && r.Bottom > r.Top;
  if (!valid_) return;
  dc->Flush();
  capture_ = std::make_unique<Capture>();
  capture_->bitmap.CopyFrom(dc->Target(), gdi::Rect{r.Left, r.Top, r.Right, r.Bottom});
}

TUloBlend::~TUloBlend() = default;

void TUloBlend::MixBack(int transparency) {
  if (!valid_ || !capture_) return;
  gdi::DeviceContext *dc = canvas_.GetHandle();
  if (!dc) return;
  dc->Flush();
  gdi::Bitmap &target = dc->Target();
  const gdi::Bitmap &source = capture_->bitmap;
  const int w = std::min(source.Width(), target.Width() - rect_.Left);
  const int h = std::min(source.Height(), target.Height() - rect_.Top);
  if (w < 1 || h < 1) return;
  // Each byte keeps Transparency percent of the background; the division
  // truncates toward zero.
  for (int y = 0; y < h; ++y) {
    const uint32_t *s = source.ScanLine(y);
    uint32_t *d = target.ScanLine(rect_.Top + y) + rect_.Left;
    for (int x = 0; x < w; ++x) {
      uint32_t mixed = 0;
      for (int shift = 0; shift <= 16; shift += 8) {
        const int sv = static_cast<int>((s[x] >> shift) & 0xFF);
        const int dv = static_cast<int>((d[x] >> shift) & 0xFF);
        const int v = std::clamp(dv + (sv - dv) * transparency / 100, 0, 255);
        mixed |= static_cast<uint32_t>(v) << shift;
      }
      d[x] = mixed;
    }
  }
}
