#include "chart/foundation/UloPicture.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/Numbers.h"

TUloPicture::~TUloPicture() = default;

void TUloPicture::Assign(const TUloPicture &source) {
  if (&source == this) return;
  SetGraphic(source.Graphic());
  transparent_ = source.transparent_;
  Changed();
}

void TUloPicture::SetGraphic(const gdi::Bitmap *bitmap) {
  if (!bitmap) {
    graphic_.reset();
  } else {
    auto copy = std::make_unique<gdi::Bitmap>(bitmap->Clone());
    graphic_ = std::move(copy);
  }
  Changed();
}

void TUloPicture::LoadFromFile(const std::string &path) {
  auto loaded = std::make_unique<gdi::Bitmap>();
  loaded->LoadFromFile(path);
  graphic_ = std::move(loaded);
  Changed();
}

void TBlurFilter::Apply(gdi::Bitmap &bitmap, const TRect &inclusiveRect) const {
  const int w = bitmap.Width(), h = bitmap.Height();
  if (w <= 0 || h <= 0) return;
  const int left = std::max(0, inclusiveRect.Left), top = std::max(0, inclusiveRect.Top);
  const int right = std::min(w - 1, inclusiveRect.Right), bottom = std::min(h - 1, inclusiveRect.Bottom);
  if (right - left < 2 || bottom - top < 2) return;
  const int weights = 8 + amount_;
  if (weights == 0) return;
  const double factor = 1.0 / weights;
  bitmap.DC().Flush();
  const int cols = right - left + 1;
  std::vector<uint32_t> rows(static_cast<std::size_t>(cols) * 3);
  std::vector<uint32_t> out(static_cast<std::size_t>(cols));
  for (int step = 0; step < steps_; ++step) {
    // Each output row reads the source rows above, at and below it; the row
    // above is kept from before it was overwritten.
    std::copy_n(bitmap.ScanLine(top) + left, cols, rows.begin());
    for (int y = top + 1; y < bottom; ++y) {
      uint32_t *above = rows.data() + ((y - 1 - top) % 3) * cols;
      uint32_t *here = rows.data() + ((y - top) % 3) * cols;
      uint32_t *below = rows.data() + ((y + 1 - top) % 3) * cols;
      if (y == top + 1) std::copy_n(bitmap.ScanLine(y) + left, cols, here);
      std::copy_n(bitmap.ScanLine(y + 1) + left, cols, below);
      for (int x = 1; x < cols - 1; ++x) {
        uint32_t pixel = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
          int sum = 0;
          for (int dx = -1; dx <= 1; ++dx) {
            sum += (above[x + dx] >> shift) & 0xFF;
            sum += (below[x + dx] >> shift) & 0xFF;
            if (dx != 0) sum += (here[x + dx] >> shift) & 0xFF;
          }
          sum += amount_ * ((here[x] >> shift) & 0xFF);
          const int v = std::clamp(rtl::RoundPixel(sum * factor), 0, 255);
          pixel |= static_cast<uint32_t>(v) << shift;
        }
        out[x] = pixel;
      }
      uint32_t *target = bitmap.ScanLine(y) + left;
      for (int x = 1; x < cols - 1; ++x)
        target[x] = out[x];
    }
  }
}
