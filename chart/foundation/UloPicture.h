// Chart pictures (backgrounds, brush images, font pictures) and the blur
// that softens text shadows.
#pragma once

#include <memory>
#include <string>

#include "chart/foundation/UloGeometry.h"
#include "chart/foundation/UloProperty.h"
#include "platform/gdi/Gdi.h"

class TUloPicture {
public:
  explicit TUloPicture(TUloChangeEvent onChange = {}) : OnChange(std::move(onChange)) {}
  TUloPicture(const TUloPicture &) = delete;
  TUloPicture &operator=(const TUloPicture &) = delete;
  virtual ~TUloPicture();

  // Copies the graphic and the transparent flag.
  virtual void Assign(const TUloPicture &source);

  // Null when the picture holds no graphic.
  const gdi::Bitmap *Graphic() const noexcept { return graphic_.get(); }
  gdi::Bitmap *Graphic() noexcept { return graphic_.get(); }
  // Takes a copy of Bitmap's pixels; null empties the picture.
  void SetGraphic(const gdi::Bitmap *bitmap);
  // Reads BMP, PNG or JPEG; on failure the picture is unchanged and
  // rtl::EInOutError is raised.
  void LoadFromFile(const std::string &path);
  bool Transparent() const noexcept { return transparent_; }
  void SetTransparent(bool value) {
    UloSetProperty(transparent_, value, [this] { Changed(); });
  }

  // The image to draw: the graphic itself while the picture has no filters.
  const gdi::Bitmap *FilteredCopy() const noexcept { return graphic_.get(); }

  TUloChangeEvent OnChange;

protected:
  void Changed() const {
    if (OnChange) OnChange();
  }

private:
  std::unique_ptr<gdi::Bitmap> graphic_;
  bool transparent_ = false;
};

// A 3x3 mean with the centre weighted by Amount, run Steps times over the
// inclusive rectangle; its border rows and columns stay as they are.
class TBlurFilter {
public:
  int Amount() const noexcept { return amount_; }
  int Steps() const noexcept { return steps_; }
  void SetAmount(int value) noexcept { amount_ = value; }
  void SetSteps(int value) noexcept { steps_ = value; }
  void Apply(gdi::Bitmap &bitmap, const TRect &inclusiveRect) const;

private:
  int amount_ = 1;
  int steps_ = 1;
};
