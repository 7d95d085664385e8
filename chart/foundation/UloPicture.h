// Chart pictures (backgrounds, brush images, font pictures) with their
// ordered, stored list of image filters, the filter base with its region
// rules, the 3x3 convolution and blur, and bitmap resampling.
//
// Filters work on the 32-bit rows of gdi::Bitmap (0x00RRGGBB per pixel); the
// top byte is left as it was.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chart/foundation/UloGeometry.h"
#include "chart/foundation/UloProperty.h"
#include "platform/gdi/Gdi.h"
#include "platform/streaming/Streaming.h"

// ---- filter region ---------------------------------------------------------

// The part of a bitmap a filter works on. A zero Width or Height reaches the
// bitmap's last column or row.
class TFilterRegion : public streaming::TPersistent {
public:
  int Left() const noexcept { return left_; }
  int Top() const noexcept { return top_; }
  int Width() const noexcept { return width_; }
  int Height() const noexcept { return height_; }
  void SetLeft(int value) noexcept { left_ = value; }
  void SetTop(int value) noexcept { top_ = value; }
  void SetWidth(int value) noexcept { width_ = value; }
  void SetHeight(int value) noexcept { height_ = value; }
  void Assign(const TFilterRegion &source) noexcept;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

// ---- filter base -----------------------------------------------------------

enum class TFilterParameterKind { fpInteger, fpFloat, fpBoolean, fpColor, fpChoice };

// One entry of a filter's parameter list for an editor. The name is also
// the filter's stored property, through which an editor reads and writes it.
struct TFilterParameter {
  std::string Name;
  TFilterParameterKind Kind = TFilterParameterKind::fpInteger;
  int Min = 0;
  int Max = 0;
  friend bool operator==(const TFilterParameter &, const TFilterParameter &) = default;
};

class TUloFilter : public streaming::TPersistent {
public:
  TUloFilter() = default;
  // Copies the settings and the region, not the collection it belongs to.
  TUloFilter(const TUloFilter &source);
  TUloFilter &operator=(const TUloFilter &) = delete;
  ~TUloFilter() override;

  // The registered class name, by which a stored list creates the filter.
  virtual std::string_view ClassName() const = 0;
  // A new filter of the same class with the same settings.
  virtual std::unique_ptr<TUloFilter> Clone() const = 0;
  // Works on the inclusive rectangle, limited to the bitmap by each filter.
  virtual void Apply(gdi::Bitmap &bitmap, const TRect &rect) = 0;
  virtual void Parameters(std::vector<TFilterParameter> &list) const { (void)list; }
  // The class name unless a filter has a text of its own.
  virtual std::string Description() const { return std::string(ClassName()); }

  // Copies Enabled and the region.
  void Assign(const TUloFilter &source);

  bool Enabled() const noexcept { return enabled_; }
  void SetEnabled(bool value) noexcept { enabled_ = value; }
  // Created on first read.
  TFilterRegion &Region();
  TFilterRegion *ExistingRegion() const noexcept { return region_.get(); }
  // Null frees the region; otherwise its settings are copied.
  void SetRegion(const TFilterRegion *value);

  // Applies the filter to its region of the bitmap: without a region the
  // whole bitmap; with one, Width or Height 0 reach the last column or row,
  // else the inclusive rectangle spans Width + 1 columns and Height + 1 rows.
  void ApplyTo(gdi::Bitmap &bitmap);
  TRect RegionRect(const gdi::Bitmap &bitmap) const;

  // A filter of class F with its defaults over the whole bitmap.
  template <class F> static void ApplyToBitmap(gdi::Bitmap &bitmap) {
    F filter;
    filter.ApplyTo(bitmap);
  }

  void DefineProperties(streaming::TPropertyTable &table) override;

protected:
  // Ends any drawing on the bitmap so its rows may be read and written, and
  // limits Rect to it. False when nothing of the rectangle lies inside.
  static bool PrepareRows(gdi::Bitmap &bitmap, const TRect &rect, TRect &limited);

private:
  bool enabled_ = true;
  std::unique_ptr<TFilterRegion> region_;
};

// The ordered filters of a picture.
class TFilterItems {
public:
  explicit TFilterItems(TUloChangeEvent onChange = {}) : OnChange(std::move(onChange)) {}
  TFilterItems(const TFilterItems &) = delete;
  TFilterItems &operator=(const TFilterItems &) = delete;

  int Count() const noexcept { return static_cast<int>(items_.size()); }
  TUloFilter &Item(int index) const { return *items_.at(static_cast<size_t>(index)); }
  TUloFilter &Add(std::unique_ptr<TUloFilter> filter);
  template <class F> F &Add() { return static_cast<F &>(Add(std::make_unique<F>())); }
  void Delete(int index);
  void Clear();
  // Copies of the other collection's filters in place of these.
  void Assign(const TFilterItems &source);
  // Applies every enabled filter, in order.
  void RunAll(gdi::Bitmap &bitmap) const;

  TUloChangeEvent OnChange;

private:
  void Changed() const {
    if (OnChange) OnChange();
  }
  std::vector<std::unique_ptr<TUloFilter>> items_;
};

// ---- picture ---------------------------------------------------------------

class TUloPicture : public streaming::TPersistent {
public:
  explicit TUloPicture(TUloChangeEvent onChange = {}) : OnChange(std::move(onChange)) {}
  TUloPicture(const TUloPicture &) = delete;
  TUloPicture &operator=(const TUloPicture &) = delete;
  ~TUloPicture() override;

  // Copies the graphic (with the file bytes it came from) and the
  // transparent flag.
  virtual void Assign(const TUloPicture &source);

  // Null when the picture holds no graphic. Read-only, so that the file
  // bytes kept beside it always describe these pixels.
  const gdi::Bitmap *Graphic() const noexcept { return graphic_.get(); }
  // Takes a copy of Bitmap's pixels; null empties the picture.
  void SetGraphic(const gdi::Bitmap *bitmap);
  // Reads BMP, PNG or JPEG and keeps the file's bytes to store them as they
  // were; on failure the picture is unchanged and rtl::EInOutError is raised.
  void LoadFromFile(const std::string &path);
  // The same from the bytes of an image file.
  void LoadFromMemory(std::string bytes);
  // The graphic as the bytes of an image file: those it was loaded from,
  // else PNG made once from its pixels. Empty without a graphic.
  const std::string &GraphicBytes();
  bool Transparent() const noexcept { return transparent_; }
  void SetTransparent(bool value) {
    UloSetProperty(transparent_, value, [this] { Changed(); });
  }

  // Created on first read.
  TFilterItems &Filters();
  TFilterItems *ExistingFilters() const noexcept { return filters_.get(); }
  // Null frees the filters; otherwise copies of them replace the picture's.
  void SetFilters(const TFilterItems *value);

  // The image to draw: the graphic itself while the picture has no filter;
  // otherwise a kept copy of the graphic, copied and filtered again at
  // every call (so a disabled filter still gives a copy).
  const gdi::Bitmap *FilteredCopy() const;

  // "Data": the graphic as a binary block of its image file bytes, stored
  // when there is a graphic; "Transparent"; "FilterItems": the filters as
  // records with their class names, stored when there is at least one.
  void DefineProperties(streaming::TPropertyTable &table) override;

  TUloChangeEvent OnChange;

protected:
  void Changed() const {
    if (OnChange) OnChange();
  }

private:
  void ReadFilterItems(const streaming::TValue &value, streaming::TReadContext &ctx);

  std::unique_ptr<gdi::Bitmap> graphic_;
  // The image file bytes of graphic_, or empty until first asked for.
  std::string encoded_;
  bool transparent_ = false;
  std::unique_ptr<TFilterItems> filters_;
  mutable std::unique_ptr<gdi::Bitmap> filtered_;
};

// ---- convolution and blur --------------------------------------------------

// A 3x3 convolution over the pixels strictly inside the rectangle; its
// border rows and columns stay. Each channel becomes
// round(sum of weight x neighbour) / (sum of the weights), limited to
// 0..255, so every kernel keeps a uniform image as it is. A kernel whose
// weights sum to 0 is applied unscaled.
class TConvolveFilter : public TUloFilter {
public:
  TConvolveFilter();
  void Apply(gdi::Bitmap &bitmap, const TRect &rect) override;
  // Row by row.
  float Weight(int index) const noexcept { return weights_[static_cast<size_t>(index)]; }
  void SetWeight(int index, float value) noexcept { weights_[static_cast<size_t>(index)] = value; }
  float Factor() const noexcept { return factor_; }

protected:
  // Applies the kernel once; the rows are already prepared and limited.
  void Convolve(gdi::Bitmap &bitmap, const TRect &limited);

  std::array<float, 9> weights_{};
  float factor_ = 1.0f / 9.0f;
};

// The 3x3 mean with the centre weighted by Amount, run Steps times; it also
// softens smooth text shadows.
class TBlurFilter : public TConvolveFilter {
public:
  static constexpr std::string_view kClassName = "TBlurFilter";
  std::string_view ClassName() const override { return kClassName; }
  std::unique_ptr<TUloFilter> Clone() const override { return std::make_unique<TBlurFilter>(*this); }
  void Apply(gdi::Bitmap &bitmap, const TRect &rect) override;
  void Parameters(std::vector<TFilterParameter> &list) const override;
  std::string Description() const override;
  void DefineProperties(streaming::TPropertyTable &table) override;

  int Amount() const noexcept { return amount_; }
  int Steps() const noexcept { return steps_; }
  void SetAmount(int value) noexcept { amount_ = value; }
  void SetSteps(int value) noexcept { steps_ = value; }

private:
  int amount_ = 1;
  int steps_ = 1;
};

// ---- resampling ------------------------------------------------------------

// Resizes Source into Dest's present size, rows first, then columns:
// Lanczos3 (support 3), or the triangle kernel (support 1) when Triangle.
// Shrinking widens the support by the ratio. Weights are 1/1024ths that sum
// to exactly 1024 for every position, so a uniform image stays uniform.
void ResampleBitmap(const gdi::Bitmap &source, gdi::Bitmap &dest, bool triangle);

// ---- bitmap rotation -------------------------------------------------------

// Turns a bitmap by whole degrees (counter-clockwise on screen). Installed
// by the filters' start-up; empty before it and after shut-down.
using TUloRotateBitmapProc = std::function<void(gdi::Bitmap &bitmap, int angle)>;
extern TUloRotateBitmapProc UloRotateBitmap;
