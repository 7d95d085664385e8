#include "chart/foundation/UloPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "chart/foundation/UloConst.h"
#include "platform/gdi/GdiEncode.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Numbers.h"

TUloRotateBitmapProc UloRotateBitmap;

// ---- filter region ---------------------------------------------------------

void TFilterRegion::Assign(const TFilterRegion &source) noexcept {
  left_ = source.left_;
  top_ = source.top_;
  width_ = source.width_;
  height_ = source.height_;
}

void TFilterRegion::DefineProperties(streaming::TPropertyTable &table) {
  table.Property("Height", this, &TFilterRegion::Height, &TFilterRegion::SetHeight, 0);
  table.Property("Left", this, &TFilterRegion::Left, &TFilterRegion::SetLeft, 0);
  table.Property("Top", this, &TFilterRegion::Top, &TFilterRegion::SetTop, 0);
  table.Property("Width", this, &TFilterRegion::Width, &TFilterRegion::SetWidth, 0);
}

// ---- filter base -----------------------------------------------------------

TUloFilter::TUloFilter(const TUloFilter &source) : streaming::TPersistent(source), enabled_(source.enabled_) {
  SetRegion(source.region_.get());
}

TUloFilter::~TUloFilter() = default;

void TUloFilter::Assign(const TUloFilter &source) {
  if (&source == this) return;
  enabled_ = source.enabled_;
  SetRegion(source.region_.get());
}

TFilterRegion &TUloFilter::Region() {
  if (!region_) region_ = std::make_unique<TFilterRegion>();
  return *region_;
}

void TUloFilter::SetRegion(const TFilterRegion *value) {
  if (!value) {
    region_.reset();
    return;
  }
  if (value == region_.get()) return;
  Region().Assign(*value);
}

TRect TUloFilter::RegionRect(const gdi::Bitmap &bitmap) const {
  const int w = bitmap.Width(), h = bitmap.Height();
  if (!region_) return TRect{0, 0, w - 1, h - 1};
  // In 64 bits, so a stored region anywhere cannot overflow.
  auto last = [](int start, int extent, int size) {
    const int64_t end = extent != 0 ? std::min<int64_t>(size - 1, int64_t{start} + extent) : std::max(start, size - 1);
    return static_cast<int>(std::clamp<int64_t>(end, INT32_MIN, INT32_MAX));
  };
  TRect r;
  r.Left = region_->Left();
  r.Top = region_->Top();
  r.Right = last(r.Left, region_->Width(), w);
  r.Bottom = last(r.Top, region_->Height(), h);
  return r;
}

void TUloFilter::ApplyTo(gdi::Bitmap &bitmap) { Apply(bitmap, RegionRect(bitmap)); }

bool TUloFilter::PrepareRows(gdi::Bitmap &bitmap, const TRect &rect, TRect &limited) {
  if (bitmap.IsEmpty()) return false;
  limited.Left = std::max(0, rect.Left);
  limited.Top = std::max(0, rect.Top);
  limited.Right = std::min(bitmap.Width() - 1, rect.Right);
  limited.Bottom = std::min(bitmap.Height() - 1, rect.Bottom);
  if (limited.Left > limited.Right || limited.Top > limited.Bottom) return false;
  bitmap.DC().Flush();
  return true;
}

void TUloFilter::DefineProperties(streaming::TPropertyTable &table) {
  table.Property("Enabled", this, &TUloFilter::Enabled, &TUloFilter::SetEnabled, true);
  table.Object("Region", [this] { return &Region(); }).StoredWhen([this] { return region_ != nullptr; });
}

// ---- filter collection -----------------------------------------------------

TUloFilter &TFilterItems::Add(std::unique_ptr<TUloFilter> filter) {
  items_.push_back(std::move(filter));
  Changed();
  return *items_.back();
}

void TFilterItems::Delete(int index) {
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
  Changed();
}

void TFilterItems::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

void TFilterItems::Assign(const TFilterItems &source) {
  if (&source == this) return;
  std::vector<std::unique_ptr<TUloFilter>> copies;
  copies.reserve(source.items_.size());
  for (const auto &item : source.items_)
    copies.push_back(item->Clone());
  items_ = std::move(copies);
  Changed();
}

void TFilterItems::RunAll(gdi::Bitmap &bitmap) const {
  for (const auto &item : items_)
    if (item->Enabled()) item->ApplyTo(bitmap);
}

// ---- picture ---------------------------------------------------------------

TUloPicture::~TUloPicture() = default;

void TUloPicture::Assign(const TUloPicture &source) {
  if (&source == this) return;
  SetGraphic(source.Graphic());
  encoded_ = source.encoded_;
  transparent_ = source.transparent_;
  Changed();
}

void TUloPicture::SetGraphic(const gdi::Bitmap *bitmap) {
  if (!bitmap) {
    graphic_.reset();
    encoded_.clear();
  } else if (bitmap != graphic_.get()) {
    graphic_ = std::make_unique<gdi::Bitmap>(bitmap->Clone());
    encoded_.clear();
  }
  Changed();
}

void TUloPicture::LoadFromFile(const std::string &path) {
  std::string bytes = rtl::ReadFileBytes(path);
  try {
    LoadFromMemory(std::move(bytes));
  } catch (const rtl::EInOutError &e) {
    throw rtl::EInOutError(std::string(e.Message()) + " (\"" + path + "\")");
  }
}

void TUloPicture::LoadFromMemory(std::string bytes) {
  auto loaded = std::make_unique<gdi::Bitmap>();
  loaded->LoadFromMemory(std::span(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size()));
  graphic_ = std::move(loaded);
  encoded_ = std::move(bytes);
  Changed();
}

const std::string &TUloPicture::GraphicBytes() {
  // Made once, so every later write of the same pixels gives the same text.
  if (graphic_ && !graphic_->IsEmpty() && encoded_.empty()) encoded_ = gdi::SaveBitmapToMemory(*graphic_);
  return encoded_;
}

TFilterItems &TUloPicture::Filters() {
  if (!filters_) filters_ = std::make_unique<TFilterItems>([this] { Changed(); });
  return *filters_;
}

void TUloPicture::SetFilters(const TFilterItems *value) {
  UloSetLazyPart(
      filters_, value, [this]() -> auto & { return Filters(); },
      [this] {
        filtered_.reset();
        Changed();
      });
}

const gdi::Bitmap *TUloPicture::FilteredCopy() const {
  if (!graphic_ || !filters_ || filters_->Count() == 0) return graphic_.get();
  if (!filtered_) filtered_ = std::make_unique<gdi::Bitmap>();
  *filtered_ = graphic_->Clone();
  filters_->RunAll(*filtered_);
  return filtered_.get();
}

void TUloPicture::ReadFilterItems(const streaming::TValue &value, streaming::TReadContext &ctx) {
  const auto &list = value.AsList();
  // Every class is checked before anything changes, so a bad list leaves
  // the picture's filters as they were.
  std::vector<std::unique_ptr<TUloFilter>> made;
  for (const auto &e : list) {
    e.AsRecord();
    if (e.Text.empty()) e.Fail("a filter needs its class name");
    std::unique_ptr<streaming::TPersistent> object = ctx.Registry().Create(e.Text);
    auto *filter = dynamic_cast<TUloFilter *>(object.get());
    if (!filter) e.Fail("unknown filter class " + e.Text);
    object.release();
    made.emplace_back(filter);
  }
  for (size_t i = 0; i < list.size(); ++i)
    ctx.ReadRecord(list[i], *made[i]);
  if (made.empty()) return;
  TFilterItems &items = Filters();
  items.Clear();
  for (auto &f : made)
    items.Add(std::move(f));
}

void TUloPicture::DefineProperties(streaming::TPropertyTable &table) {
  table
      .Binary(
          "Data",
          [this](streaming::TBinaryReader &r, streaming::TReadContext &) {
            LoadFromMemory(r.ReadBytes(r.Remaining()));
          },
          [this](streaming::TBinaryWriter &w) {
            try {
              w.WriteBytes(GraphicBytes());
            } catch (const rtl::EInOutError &e) {
              // Named with the property like every other fault of writing.
              throw streaming::EWriteError(e.Message());
            }
          })
      .StoredWhen([this] { return graphic_ && !graphic_->IsEmpty(); });
  table.Property("Transparent", this, &TUloPicture::Transparent, &TUloPicture::SetTransparent, false);
  table.Define(
      "FilterItems", [this](const streaming::TValue &v, streaming::TReadContext &ctx) { ReadFilterItems(v, ctx); },
      [this]() -> std::optional<streaming::TValue> {
        if (!filters_ || filters_->Count() == 0) return std::nullopt;
        streaming::TValue list = streaming::TValue::MakeList();
        for (int i = 0; i < filters_->Count(); ++i) {
          TUloFilter &f = filters_->Item(i);
          list.Items.push_back(streaming::RecordOf(f, std::string(f.ClassName())));
        }
        return list;
      });
}

// ---- convolution and blur --------------------------------------------------

TConvolveFilter::TConvolveFilter() { weights_.fill(1.0f); }

void TConvolveFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) {
  TRect limited;
  if (!PrepareRows(bitmap, rect, limited)) return;
  Convolve(bitmap, limited);
}

void TConvolveFilter::Convolve(gdi::Bitmap &bitmap, const TRect &r) {
  float sum = 0;
  for (float w : weights_)
    sum += w;
  factor_ = sum == 0 ? 1.0f : 1.0f / sum;
  // Only pixels with all eight neighbours inside the rectangle change.
  if (r.Right - r.Left < 2 || r.Bottom - r.Top < 2) return;
  const int cols = r.Right - r.Left + 1;
  const int rows = r.Bottom - r.Top + 1;
  // The rectangle's source pixels, so results never feed their neighbours.
  std::vector<uint32_t> source(static_cast<size_t>(cols) * static_cast<size_t>(rows));
  for (int y = 0; y < rows; ++y)
    std::copy_n(bitmap.ScanLine(r.Top + y) + r.Left, cols, source.begin() + static_cast<std::ptrdiff_t>(y) * cols);

  const double factor = factor_;
  auto channel = [factor](double total) {
    return static_cast<uint32_t>(std::clamp(rtl::RoundPixel(rtl::RoundHalfEven(total) * factor), 0, 255));
  };
  // Whole weights (the blur, soften, emboss) sum exactly in integers over a
  // small range, so every sum's result is looked up instead of rounded.
  bool integral = true;
  std::array<int, 9> iw{};
  int lowest = 0, highest = 0;
  for (size_t k = 0; k < 9; ++k) {
    iw[k] = static_cast<int>(std::clamp(weights_[k], -65536.0f, 65536.0f));
    if (static_cast<float>(iw[k]) != weights_[k]) integral = false;
    (iw[k] < 0 ? lowest : highest) += iw[k] * 255;
  }
  std::vector<uint32_t> table;
  if (integral && highest - lowest < (1 << 20)) {
    table.resize(static_cast<size_t>(highest - lowest + 1));
    for (int t = lowest; t <= highest; ++t)
      table[static_cast<size_t>(t - lowest)] = channel(t);
  } else {
    integral = false;
  }
  if (integral && lowest == 0 && highest < 0x10000) {
    // Weights that are whole and not negative (the blur, soften) sum all
    // three channels at once in 16-bit lanes that cannot carry into each
    // other.
    auto spread = [](uint32_t p) {
      return uint64_t{p & 0xFF} | uint64_t{(p >> 8) & 0xFF} << 16 | uint64_t{(p >> 16) & 0xFF} << 32;
    };
    std::vector<uint64_t> lanes(source.size());
    std::transform(source.begin(), source.end(), lanes.begin(), spread);
    const uint64_t w0 = static_cast<uint64_t>(iw[0]), w1 = static_cast<uint64_t>(iw[1]),
                   w2 = static_cast<uint64_t>(iw[2]), w3 = static_cast<uint64_t>(iw[3]),
                   w4 = static_cast<uint64_t>(iw[4]), w5 = static_cast<uint64_t>(iw[5]),
                   w6 = static_cast<uint64_t>(iw[6]), w7 = static_cast<uint64_t>(iw[7]),
                   w8 = static_cast<uint64_t>(iw[8]);
    for (int y = 1; y < rows - 1; ++y) {
      const uint64_t *a = lanes.data() + static_cast<size_t>(y - 1) * cols;
      const uint64_t *h = a + cols;
      const uint64_t *c = h + cols;
      uint32_t *target = bitmap.ScanLine(r.Top + y) + r.Left;
      for (int x = 1; x < cols - 1; ++x) {
        const uint64_t sum = w0 * a[x - 1] + w1 * a[x] + w2 * a[x + 1] + w3 * h[x - 1] + w4 * h[x] + w5 * h[x + 1] +
                             w6 * c[x - 1] + w7 * c[x] + w8 * c[x + 1];
        target[x] = (target[x] & 0xFF000000u) | table[(sum >> 32) & 0xFFFF] << 16 | table[(sum >> 16) & 0xFFFF] << 8 |
                    table[sum & 0xFFFF];
      }
    }
    return;
  }
  for (int y = 1; y < rows - 1; ++y) {
    const uint32_t *rowAbove = source.data() + static_cast<size_t>(y - 1) * cols;
    const uint32_t *rowHere = rowAbove + cols;
    const uint32_t *rowBelow = rowHere + cols;
    const uint32_t *kernelRows[3] = {rowAbove, rowHere, rowBelow};
    uint32_t *target = bitmap.ScanLine(r.Top + y) + r.Left;
    for (int x = 1; x < cols - 1; ++x) {
      uint32_t out = target[x] & 0xFF000000u;
      if (integral) {
        int b = 0, g = 0, red = 0;
        for (int ky = 0; ky < 3; ++ky)
          for (int kx = 0; kx < 3; ++kx) {
            const uint32_t p = kernelRows[ky][x + kx - 1];
            const int w = iw[static_cast<size_t>(ky * 3 + kx)];
            b += w * static_cast<int>(p & 0xFF);
            g += w * static_cast<int>((p >> 8) & 0xFF);
            red += w * static_cast<int>((p >> 16) & 0xFF);
          }
        out |= table[static_cast<size_t>(red - lowest)] << 16 | table[static_cast<size_t>(g - lowest)] << 8 |
               table[static_cast<size_t>(b - lowest)];
      } else {
        double b = 0, g = 0, red = 0;
        for (int ky = 0; ky < 3; ++ky)
          for (int kx = 0; kx < 3; ++kx) {
            const uint32_t p = kernelRows[ky][x + kx - 1];
            const double w = weights_[static_cast<size_t>(ky * 3 + kx)];
            b += w * static_cast<double>(p & 0xFF);
            g += w * static_cast<double>((p >> 8) & 0xFF);
            red += w * static_cast<double>((p >> 16) & 0xFF);
          }
        out |= channel(red) << 16 | channel(g) << 8 | channel(b);
      }
      target[x] = out;
    }
  }
}

void TBlurFilter::Apply(gdi::Bitmap &bitmap, const TRect &rect) {
  weights_.fill(1.0f);
  weights_[4] = static_cast<float>(amount_);
  TRect limited;
  if (!PrepareRows(bitmap, rect, limited)) return;
  // A stored definition may carry any count; beyond the editor's 20 passes
  // the picture no longer changes visibly, while a huge count would stall
  // every paint.
  const int passes = std::clamp(steps_, 0, 20);
  for (int step = 0; step < passes; ++step)
    Convolve(bitmap, limited);
}

void TBlurFilter::Parameters(std::vector<TFilterParameter> &list) const {
  list.push_back({"Steps", TFilterParameterKind::fpInteger, 0, 20});
  list.push_back({"Amount", TFilterParameterKind::fpInteger, 0, 50});
}

std::string TBlurFilter::Description() const { return UloMsgFilterBlur; }

void TBlurFilter::DefineProperties(streaming::TPropertyTable &table) {
  TConvolveFilter::DefineProperties(table);
  table.Property("Amount", this, &TBlurFilter::Amount, &TBlurFilter::SetAmount, 1);
  table.Property("Steps", this, &TBlurFilter::Steps, &TBlurFilter::SetSteps, 1);
}

// ---- resampling ------------------------------------------------------------

namespace {

double Lanczos3(double x) {
  x = std::fabs(x);
  if (x >= 3.0) return 0.0;
  if (x < 1e-12) return 1.0;
  const double px = std::numbers::pi * x;
  return std::sin(px) / px * (std::sin(px / 3.0) / (px / 3.0));
}

double Triangle(double x) {
  x = std::fabs(x);
  return x < 1.0 ? 1.0 - x : 0.0;
}

struct TContribution {
  int Source;
  int Weight; // 1/1024ths
};

// For each of the dest positions, the source positions it takes and their
// weights. Positions map centre to centre.
std::vector<std::vector<TContribution>> Contributions(int sourceSize, int destSize, bool triangle) {
  const double support = triangle ? 1.0 : 3.0;
  const double scale = static_cast<double>(destSize) / sourceSize;
  const double kernelScale = std::min(1.0, scale);
  const double width = support / kernelScale;
  std::vector<std::vector<TContribution>> table(static_cast<size_t>(destSize));
  for (int i = 0; i < destSize; ++i) {
    const double centre = (i + 0.5) / scale - 0.5;
    const int first = static_cast<int>(std::floor(centre - width));
    const int last = static_cast<int>(std::ceil(centre + width));
    auto &list = table[static_cast<size_t>(i)];
    // The kernel in doubles first, normalised to a sum of 1, then handed
    // out in 1024ths by running totals: each weight keeps its share even
    // when a strong reduction spreads one pixel over thousands of sources,
    // and the weights still sum to exactly 1024.
    std::vector<std::pair<int, double>> kernel;
    double sum = 0.0;
    for (int j = first; j <= last; ++j) {
      const double k = triangle ? Triangle((centre - j) * kernelScale) : Lanczos3((centre - j) * kernelScale);
      if (k == 0.0) continue;
      // Mirror at both edges as often as the support needs: a strong
      // reduction reaches several image widths beyond either edge.
      const long long period = 2LL * sourceSize;
      long long m = ((j % period) + period) % period;
      if (m >= sourceSize) m = period - 1 - m;
      kernel.emplace_back(static_cast<int>(m), k);
      sum += k;
    }
    if (kernel.empty() || !(std::fabs(sum) > 1e-12)) {
      list.push_back({std::clamp(rtl::RoundPixel(centre), 0, sourceSize - 1), 1024});
      continue;
    }
    double running = 0.0;
    int given = 0;
    for (const auto &[source, k] : kernel) {
      running += k / sum;
      const int upTo = rtl::RoundPixel(running * 1024.0);
      if (upTo != given) list.push_back({source, upTo - given});
      given = upTo;
    }
    if (given != 1024) list.push_back({kernel.back().first, 1024 - given});
  }
  return table;
}

inline uint32_t Limit(int sum) { return static_cast<uint32_t>(std::clamp(sum >> 10, 0, 255)); }

} // namespace

void ResampleBitmap(const gdi::Bitmap &source, gdi::Bitmap &dest, bool triangle) {
  const int sw = source.Width(), sh = source.Height();
  const int dw = dest.Width(), dh = dest.Height();
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  const_cast<gdi::Bitmap &>(source).DC().Flush();
  dest.DC().Flush();
  // Rows first into a buffer as wide as the destination and as high as
  // the source, then its columns into the destination.
  const auto across = Contributions(sw, dw, triangle);
  std::vector<uint32_t> middle(static_cast<size_t>(dw) * static_cast<size_t>(sh));
  for (int y = 0; y < sh; ++y) {
    const uint32_t *row = source.ScanLine(y);
    uint32_t *out = middle.data() + static_cast<size_t>(y) * dw;
    for (int x = 0; x < dw; ++x) {
      int r = 0, g = 0, b = 0;
      for (const auto &c : across[static_cast<size_t>(x)]) {
        const uint32_t p = row[c.Source];
        r += c.Weight * static_cast<int>((p >> 16) & 0xFF);
        g += c.Weight * static_cast<int>((p >> 8) & 0xFF);
        b += c.Weight * static_cast<int>(p & 0xFF);
      }
      out[x] = Limit(r) << 16 | Limit(g) << 8 | Limit(b);
    }
  }
  const auto down = Contributions(sh, dh, triangle);
  for (int y = 0; y < dh; ++y) {
    uint32_t *out = dest.ScanLine(y);
    const auto &list = down[static_cast<size_t>(y)];
    for (int x = 0; x < dw; ++x) {
      int r = 0, g = 0, b = 0;
      for (const auto &c : list) {
        const uint32_t p = middle[static_cast<size_t>(c.Source) * dw + x];
        r += c.Weight * static_cast<int>((p >> 16) & 0xFF);
        g += c.Weight * static_cast<int>((p >> 8) & 0xFF);
        b += c.Weight * static_cast<int>(p & 0xFF);
      }
      out[x] = (out[x] & 0xFF000000u) | Limit(r) << 16 | Limit(g) << 8 | Limit(b);
    }
  }
}
