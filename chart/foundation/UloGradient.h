// Gradient settings of backgrounds, shapes and texts.
#pragma once

#include <memory>

#include "chart/foundation/UloGeometry.h"
#include "chart/foundation/UloProperty.h"
#include "platform/rtl/Colors.h"

class TUloCanvas;
class TCanvas3D;

enum class TGradientDirection {
  gdTopBottom,
  gdBottomTop,
  gdLeftRight,
  gdRightLeft,
  gdFromCenter,
  gdFromTopLeft,
  gdFromBottomLeft,
  gdRadial,
  gdDiagonalUp,
  gdDiagonalDown
};

class TCustomUloGradient {
public:
  explicit TCustomUloGradient(TUloChangeEvent onChange = {}) : OnChange(std::move(onChange)) {}
  TCustomUloGradient(const TCustomUloGradient &) = delete;
  TCustomUloGradient &operator=(const TCustomUloGradient &) = delete;
  virtual ~TCustomUloGradient() = default;

  virtual void Assign(const TCustomUloGradient &source);

  int Angle() const noexcept { return angle_; }
  int Balance() const noexcept { return balance_; }
  TGradientDirection Direction() const noexcept { return direction_; }
  TColor EndColor() const noexcept { return endColor_; }
  // clNone when no middle colour is set.
  TColor MidColor() const noexcept { return hasMidColor_ ? midColor_ : clNone; }
  int RadialX() const noexcept { return radialX_; }
  int RadialY() const noexcept { return radialY_; }
  TColor StartColor() const noexcept { return startColor_; }
  bool Visible() const noexcept { return visible_; }
  void SetAngle(int value) {
    UloSetProperty(angle_, value, [this] { Changed(); });
  }
  void SetBalance(int value) {
    UloSetProperty(balance_, value, [this] { Changed(); });
  }
  void SetDirection(TGradientDirection value) {
    UloSetProperty(direction_, value, [this] { Changed(); });
  }
  void SetEndColor(TColor value) {
    UloSetProperty(endColor_, value, [this] { Changed(); });
  }
  // clNone removes the middle colour.
  void SetMidColor(TColor value);
  void SetRadialX(int value) {
    UloSetProperty(radialX_, value, [this] { Changed(); });
  }
  void SetRadialY(int value) {
    UloSetProperty(radialY_, value, [this] { Changed(); });
  }
  void SetStartColor(TColor value) {
    UloSetProperty(startColor_, value, [this] { Changed(); });
  }
  void SetVisible(bool value) {
    UloSetProperty(visible_, value, [this] { Changed(); });
  }

  // Paints the gradient into Rect, clipped to a rounded rectangle when
  // RoundSize > 0.
  virtual void PaintRect(TUloCanvas &canvas, const TRect &rect, int roundSize = 0);
  // Paints the bounding rectangle of the four points, clipped to them.
  void PaintQuad(TUloCanvas &canvas, const TFourPoints &points);
  // The same for four points projected at depth Z.
  void PaintProjectedQuad(TCanvas3D &canvas, const TFourPoints &points, int z);

  TUloChangeEvent OnChange;

protected:
  void Changed() const {
    if (OnChange) OnChange();
  }

private:
  int angle_ = 0;
  int balance_ = 50;
  TGradientDirection direction_ = TGradientDirection::gdTopBottom;
  TColor endColor_ = 0x00FFFF;
  TColor midColor_ = clNone;
  int radialX_ = 0;
  int radialY_ = 0;
  TColor startColor_ = 0xFFFFFF;
  bool visible_ = false;
  bool hasMidColor_ = false;

  void PaintAngled(TUloCanvas &canvas, const TRect &rect) const;
};

// A gradient painted over another one, Transparency percent see-through.
class TSubGradient : public TCustomUloGradient {
public:
  using TCustomUloGradient::TCustomUloGradient;
  void Assign(const TCustomUloGradient &source) override;
  int Transparency() const noexcept { return transparency_; }
  void SetTransparency(int value) {
    UloSetProperty(transparency_, value, [this] { Changed(); });
  }
  void PaintRect(TUloCanvas &canvas, const TRect &rect, int roundSize = 0) override;

private:
  int transparency_ = 50;
};

// The gradient of backgrounds, walls and framed shapes, with an optional
// second gradient over it.
class TUloGradient : public TCustomUloGradient {
public:
  using TCustomUloGradient::TCustomUloGradient;
  ~TUloGradient() override;
  // Also the sub-gradient, created or freed to match the source.
  void Assign(const TCustomUloGradient &source) override;
  // Created on first read.
  TSubGradient &SubGradient();
  TSubGradient *ExistingSubGradient() const noexcept { return subGradient_.get(); }
  // Null frees the sub-gradient; otherwise it is created when missing and
  // copies Value.
  void SetSubGradient(const TSubGradient *value);
  // The visible sub-gradient is painted after this one.
  void PaintRect(TUloCanvas &canvas, const TRect &rect, int roundSize = 0) override;

private:
  std::unique_ptr<TSubGradient> subGradient_;
};

// The gradient of a chart font: Outline paints the widened glyph outlines
// instead of their interior.
class TUloFontGradient : public TCustomUloGradient {
public:
  using TCustomUloGradient::TCustomUloGradient;
  void Assign(const TCustomUloGradient &source) override;
  bool Outline() const noexcept { return outline_; }
  void SetOutline(bool value) {
    UloSetProperty(outline_, value, [this] { Changed(); });
  }

private:
  bool outline_ = false;
};
