// Zooming with a dragged rectangle and panning with a dragged mouse: the
// drag state, the zoom settings, and the drawing of the zoom rectangle
// that the chart moves while the user drags.
#pragma once

#include <functional>
#include <memory>

#include "chart/foundation/UloPens.h"
#include "platform/forms/PaintHost.h"
#include "platform/rtl/Colors.h"

class TUloCanvas;

// The state of one mouse drag.
class TZoomPanning {
public:
  TZoomPanning() = default;
  TZoomPanning(const TZoomPanning &) = delete;
  TZoomPanning &operator=(const TZoomPanning &) = delete;
  virtual ~TZoomPanning() = default;

  // Copies settings from another object of a kind that has them; a drag
  // state alone has none and cannot be copied.
  virtual void Assign(const TZoomPanning &source);
  virtual const char *ClassName() const noexcept { return "TZoomPanning"; }

  // Both corners at (X, Y); the drag is in progress.
  void Activate(int x, int y) noexcept;
  // Orders the corners so that X0 <= X1 and Y0 <= Y1.
  void Check() noexcept;

  bool Active = false;
  // The corner where the drag started and the current one.
  int X0 = 0;
  int Y0 = 0;
  int X1 = 0;
  int Y1 = 0;
};

enum class TUloZoomDirection { tzdHorizontal, tzdVertical, tzdBoth };

// The frame of the zoom rectangle. Its colour is stored only when it
// differs from the default the zoom gives it.
class TUloZoomPen : public TChartPen {
public:
  explicit TUloZoomPen(TColor defaultColor = clWhite);
  TColor DefaultColor() const noexcept { return defaultColor_; }
  bool IsColorStored() const noexcept { return Color() != defaultColor_; }

private:
  TColor defaultColor_;
};

// The fill of the zoom rectangle: white and clear until set otherwise.
class TUloZoomBrush : public TChartBrush {
public:
  TUloZoomBrush();
};

class TUloZoom : public TZoomPanning {
public:
  TUloZoom();
  ~TUloZoom() override;

  // From another zoom: every setting, not the drag state.
  void Assign(const TZoomPanning &source) override;
  const char *ClassName() const noexcept override { return "TUloZoom"; }

  bool Allow() const noexcept { return allow_; }
  bool Animated() const noexcept { return animated_; }
  int AnimatedSteps() const noexcept { return animatedSteps_; }
  // Made with its defaults on first read.
  TUloZoomBrush &Brush();
  TUloZoomBrush *ExistingBrush() const noexcept { return brush_.get(); }
  TUloZoomDirection Direction() const noexcept { return direction_; }
  // Keys that must be held for a drag to zoom.
  forms::TShiftState KeyShift() const noexcept { return keyShift_; }
  // The smallest drag, in pixels, that zooms.
  int MinimumPixels() const noexcept { return minimumPixels_; }
  forms::TMouseButton MouseButton() const noexcept { return mouseButton_; }
  // Made with its defaults on first read.
  TUloZoomPen &Pen();
  TUloZoomPen *ExistingPen() const noexcept { return pen_.get(); }
  // Dragging up or left zooms too, instead of undoing the zoom.
  bool UpLeftZooms() const noexcept { return upLeftZooms_; }

  void SetAllow(bool value) noexcept { allow_ = value; }
  void SetAnimated(bool value) noexcept { animated_ = value; }
  void SetAnimatedSteps(int value) noexcept { animatedSteps_ = value; }
  // Null frees the brush (the next read makes a default one); otherwise it
  // is copied.
  void SetBrush(const TBrush *value);
  void SetDirection(TUloZoomDirection value) noexcept { direction_ = value; }
  void SetKeyShift(forms::TShiftState value) noexcept { keyShift_ = value; }
  void SetMinimumPixels(int value) noexcept { minimumPixels_ = value; }
  void SetMouseButton(forms::TMouseButton value) noexcept { mouseButton_ = value; }
  // Null frees the pen (the next read makes a default one); otherwise it is
  // copied.
  void SetPen(const TPen *value);
  void SetUpLeftZooms(bool value) noexcept { upLeftZooms_ = value; }

private:
  bool allow_ = true;
  bool animated_ = false;
  int animatedSteps_ = 8;
  std::unique_ptr<TUloZoomBrush> brush_;
  TUloZoomDirection direction_ = TUloZoomDirection::tzdBoth;
  forms::TShiftState keyShift_ = 0;
  int minimumPixels_ = 16;
  forms::TMouseButton mouseButton_ = forms::TMouseButton::mbLeft;
  std::unique_ptr<TUloZoomPen> pen_;
  bool upLeftZooms_ = false;
};

// How the panel puts a brush on its canvas in a colour over a background.
using TUloSetBrushCanvas = std::function<void(TColor color, const TBrush &brush, TColor backColor)>;

// The colour that, drawn not-xor over BackColor, shows as Color.
TColor UloZoomXorColor(TColor color, TColor backColor) noexcept;

// Draws the zoom rectangle between the drag corners, not-xor over the
// panel's background BackColor, so that drawing it again erases it.
void DrawZoomRectangle(TUloCanvas &canvas, TUloZoom &zoom, TColor backColor, const TUloSetBrushCanvas &setBrushCanvas);
