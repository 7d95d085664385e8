#include "chart/foundation/UloZoom.h"

#include "chart/foundation/UloCanvas.h"
#include "platform/rtl/Exceptions.h"

#include <string>
#include <utility>

// ---- drag state -------------------------------------------------------------------

void TZoomPanning::Assign(const TZoomPanning &source) {
  throw rtl::EConvertError(std::string("Cannot assign a ") + source.ClassName() + " to a " + ClassName());
}

void TZoomPanning::Activate(int x, int y) noexcept {
  X0 = X1 = x;
  Y0 = Y1 = y;
  Active = true;
}

void TZoomPanning::Check() noexcept {
  if (X0 > X1) std::swap(X0, X1);
  if (Y0 > Y1) std::swap(Y0, Y1);
}

// ---- pen and brush ------------------------------------------------------------------

TUloZoomPen::TUloZoomPen(TColor defaultColor) : defaultColor_(defaultColor) { SetColor(defaultColor); }

TUloZoomBrush::TUloZoomBrush() {
  SetColor(clWhite);
  SetStyle(TBrushStyle::bsClear);
}

// ---- settings --------------------------------------------------------------------------

TUloZoom::TUloZoom() = default;
TUloZoom::~TUloZoom() = default;

void TUloZoom::Assign(const TZoomPanning &source) {
  const auto *zoom = dynamic_cast<const TUloZoom *>(&source);
  if (!zoom) {
    TZoomPanning::Assign(source);
    return;
  }
  allow_ = zoom->allow_;
  animated_ = zoom->animated_;
  animatedSteps_ = zoom->animatedSteps_;
  // A part the source never made holds its defaults.
  const TUloZoomBrush defaultBrush;
  SetBrush(zoom->brush_ ? zoom->brush_.get() : &defaultBrush);
  direction_ = zoom->direction_;
  keyShift_ = zoom->keyShift_;
  minimumPixels_ = zoom->minimumPixels_;
  mouseButton_ = zoom->mouseButton_;
  const TUloZoomPen defaultPen;
  SetPen(zoom->pen_ ? zoom->pen_.get() : &defaultPen);
  upLeftZooms_ = zoom->upLeftZooms_;
}

TUloZoomBrush &TUloZoom::Brush() {
  if (!brush_) brush_ = std::make_unique<TUloZoomBrush>();
  return *brush_;
}

TUloZoomPen &TUloZoom::Pen() {
  if (!pen_) pen_ = std::make_unique<TUloZoomPen>();
  return *pen_;
}

void TUloZoom::SetBrush(const TBrush *value) {
  if (!value) {
    brush_.reset();
    return;
  }
  if (value != brush_.get()) Brush().Assign(*value);
}

void TUloZoom::SetPen(const TPen *value) {
  if (!value) {
    pen_.reset();
    return;
  }
  if (value != pen_.get()) Pen().Assign(*value);
}

// ---- drawing ----------------------------------------------------------------------------

TColor UloZoomXorColor(TColor color, TColor backColor) noexcept {
  const TColor back = ColorToRGB(backColor) & 0xFFFFFF;
  return static_cast<TColor>((ColorToRGB(color) & 0xFFFFFF) ^ (0xFFFFFF - back));
}

void DrawZoomRectangle(TUloCanvas &canvas, TUloZoom &zoom, TColor backColor, const TUloSetBrushCanvas &setBrushCanvas) {
  const TColor back = ColorToRGB(backColor) & 0xFFFFFF;
  const TUloZoomBrush *brush = zoom.ExistingBrush();
  if (brush)
    setBrushCanvas(UloZoomXorColor(brush->Color(), back), *brush, back);
  else
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
  TUloZoomPen &pen = zoom.Pen();
  pen.SetMode(TPenMode::pmNotXor);
  // Not-xor with white leaves every pixel as it was: the default white pen
  // on a white chart would drag an invisible rectangle. Black inverts
  // instead, and drawing twice still restores the image.
  TColor penColor = UloZoomXorColor(pen.Color(), back);
  if (penColor == 0xFFFFFF) penColor = 0;
  canvas.ApplyPenColor(pen, penColor);
  if (!brush || brush->Style() == TBrushStyle::bsClear) canvas.SetBkMode(UloTransparentMode);
  canvas.Rectangle(zoom.X0, zoom.Y0, zoom.X1, zoom.Y1);
}
