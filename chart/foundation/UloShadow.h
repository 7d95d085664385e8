// Shadow settings of texts and framed shapes, and the capture of a
// background for semi-transparent drawing.
#pragma once

#include <vector>

#include <memory>
#include <span>

#include "chart/foundation/UloGeometry.h"
#include "chart/foundation/UloProperty.h"
#include "platform/rtl/Colors.h"

class TUloCanvas;
class TCanvas3D;
namespace gdi {
class Bitmap;
}

class TUloShadow {
public:
  explicit TUloShadow(TUloChangeEvent onChange = {}) : OnChange(std::move(onChange)) {}
  TUloShadow(const TUloShadow &) = delete;
  TUloShadow &operator=(const TUloShadow &) = delete;
  virtual ~TUloShadow() = default;

  // Copies the eight published settings.
  virtual void Assign(const TUloShadow &source);

  bool Clip() const noexcept { return clip_; }
  TColor Color() const noexcept { return color_; }
  int HorizSize() const noexcept { return horizSize_; }
  bool Smooth() const noexcept { return smooth_; }
  int SmoothBlur() const noexcept { return smoothBlur_; }
  int Transparency() const noexcept { return transparency_; }
  int VertSize() const noexcept { return vertSize_; }
  bool Visible() const noexcept { return visible_; }
  void SetClip(bool value) {
    UloSetProperty(clip_, value, [this] { Changed(); });
  }
  void SetColor(TColor value) {
    UloSetProperty(color_, value, [this] { Changed(); });
  }
  void SetHorizSize(int value) {
    UloSetProperty(horizSize_, value, [this] { Changed(); });
  }
  void SetSmooth(bool value) {
    UloSetProperty(smooth_, value, [this] { Changed(); });
  }
  void SetSmoothBlur(int value) {
    UloSetProperty(smoothBlur_, value, [this] { Changed(); });
  }
  void SetTransparency(int value) {
    UloSetProperty(transparency_, value, [this] { Changed(); });
  }
  void SetVertSize(int value) {
    UloSetProperty(vertSize_, value, [this] { Changed(); });
  }
  void SetVisible(bool value) {
    UloSetProperty(visible_, value, [this] { Changed(); });
  }

  // Colour and both sizes, together with the defaults they are stored against.
  void InitColorAndSize(TColor color, int size);
  void SetBothSizes(int size);
  int MaxOffset() const noexcept;

  // ---- drawing. Nothing is drawn (and no transparent drawing begun) when
  // the colour is clNone or both sizes are 0. A smooth shadow needs a
  // buffered canvas drawing into its off-screen image; elsewhere it is
  // drawn hard, except that an ellipse becomes a radial gradient.
  // The shadow of a rectangle at depth Z, with rounded corners of RoundSize
  // when that is above 0.
  void PaintRectShadow(TCanvas3D &canvas, const TRect &rect, int z, int roundSize = 0);
  void PaintRectShadowFlat(TUloCanvas &canvas, const TRect &rect);
  void PaintPolygonShadow(TUloCanvas &canvas, std::span<const TPoint> points);
  void PaintEllipseShadow(TCanvas3D &canvas, const TRect &rect, int z);

  bool IsColorStored() const noexcept { return color_ != defaultColor_; }
  bool IsSizeStored() const noexcept { return horizSize_ != defaultSize_ || vertSize_ != defaultSize_; }
  bool IsVisibleStored() const noexcept { return visible_ != defaultVisible_; }

  TUloChangeEvent OnChange;

protected:
  void Changed() const {
    if (OnChange) OnChange();
  }

private:
  enum class Figure { Rectangle, RoundRectangle, Ellipse, Polygon };
  // Rect is the shadow's own place on screen (offset and projected);
  // Points, for a polygon, likewise.
  void Paint(TUloCanvas &canvas, Figure figure, const TRect &rect, int roundSize, std::span<const TPoint> points);
  void PaintSmooth(TUloCanvas &canvas, gdi::Bitmap &target, Figure figure, const TRect &rect, int roundSize,
                   std::span<const TPoint> points) const;
  static void BlurCover(Figure figure, const TRect &r, int dx, int dy, int w, int h, int roundSize,
                        std::span<const TPoint> points, const std::vector<int64_t> &falloff, int size,
                        std::vector<int> &cover);
  // The distance the blur reaches on each side.
  int BlurSize() const noexcept;

  // The last blurred cover, kept because a chart draws the same shadow in
  // every paint: everything the cover depends on, relative to its mask.
  struct TCoverKey {
    Figure figure = Figure::Rectangle;
    int left = 0, top = 0, right = 0, bottom = 0, width = 0, height = 0, roundSize = 0, blur = 0, smoothBlur = 0;
    std::vector<TPoint> points;
    friend bool operator==(const TCoverKey &, const TCoverKey &) = default;
  };
  mutable TCoverKey coverKey_;
  mutable std::vector<int> cover_;

  bool clip_ = false;
  TColor color_ = 0xC0C0C0;
  int horizSize_ = 0;
  bool smooth_ = true;
  int smoothBlur_ = 0;
  int transparency_ = 0;
  int vertSize_ = 0;
  bool visible_ = true;
  TColor defaultColor_ = 0xC0C0C0;
  int defaultSize_ = 0;
  bool defaultVisible_ = true;
};

// The background of a rectangle, captured before an element is drawn and
// mixed back over it afterwards.
class TUloBlend {
public:
  TUloBlend(TUloCanvas &canvas, const TRect &rect);
  ~TUloBlend();
  TUloBlend(const TUloBlend &) = delete;
  TUloBlend &operator=(const TUloBlend &) = delete;

  // Keeps Transparency percent of the captured background.
  void MixBack(int transparency);
  // The captured background, null when the blend is not valid.
  const gdi::Bitmap *Captured() const noexcept;
  bool Valid() const noexcept { return valid_; }
  const TRect &Rect() const noexcept { return rect_; }

private:
  struct Capture;
  TUloCanvas &canvas_;
  TRect rect_;
  bool valid_ = false;
  std::unique_ptr<Capture> capture_;
};

// Mixes Source into Dest at Position: every blue, green and red byte of Dest
// moves toward Source's by (100 - Percent) percent, truncated toward zero.
// Percent is held to 0..100; negative position coordinates count as 0.
void MixBitmaps(const gdi::Bitmap &source, gdi::Bitmap &dest, TPoint position, double percent);
