// The chart panel: a window control that owns the drawing canvas, the 3D
// view settings, margins, border, bevels and drop shadow, computes the
// chart rectangle, draws the whole chart into any canvas and rectangle,
// and tells registered listeners about mouse and view events. The chart
// engine derives from the extended panel, which adds the background
// (colour, gradient, picture), the zoom settings and panning.
//
// The panel draws into a kept window surface; the paint host copies that
// surface to the screen in its paint events. A real paint (Draw) happens
// only when something asked for one (Invalidate, a resize); other paint
// events show the surface as it is, so that exclusive-or feedback drawn
// between paints stays visible.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "chart/foundation/UloCanvas3D.h"
#include "chart/foundation/UloPicture.h"
#include "chart/foundation/UloStoredParts.h"
#include "chart/foundation/UloZoom.h"
#include "platform/forms/PaintHost.h"
#include "platform/gdi/Gdi.h"

class TCustomUloPanel;
class TCustomUloPanelExtended;

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
// The stored names of the bevel cuts, for panels and the shapes on them.
std::span<const streaming::TEnumName<TBevelCut>> UloBevelCutNames() noexcept;
enum class TUloUnits { muPercent, muPixels };
enum class TPanningMode { pmNone, pmHorizontal, pmVertical, pmBoth };
enum class TUloBackImageMode { pbmStretch, pbmTile, pbmCenter, pbmCustom };

// Options read when drawing.
// Whether the panel lets the window erase its background.
extern bool UloEraseBackground;
// Whether clipping is allowed while printing or drawing into a metafile.
extern bool UloClipWhenPrinting;
extern bool UloClipWhenMetafiling;
// Whether the panel background and frames are drawn while printing.
extern bool UloDrawBackWhenPrinting;

// ---- events and listeners --------------------------------------------------

class TUloEvent {
public:
  virtual ~TUloEvent() = default;
  // The panel that broadcasts the event.
  TCustomUloPanel *Sender = nullptr;
};

class TUloMouseEvent : public TUloEvent {
public:
  // 0 down, 1 up, 2 move.
  uint8_t Kind = 0;
  // The left button for moves.
  forms::TMouseButton Button = forms::TMouseButton::mbLeft;
  forms::TShiftState Shift = 0;
  // Client coordinates.
  int X = 0;
  int Y = 0;
};

// Sent when View3D changes; reaches every listener.
class TUloView3DEvent : public TUloEvent {};

class IUloEventListener {
public:
  virtual void UloEvent(TUloEvent &event) = 0;

protected:
  ~IUloEventListener() = default;
};

// The ordered listeners of a panel (not owned). A listener may remove
// itself or others while an event is being delivered: the removed ones
// receive nothing more, and no remaining one is skipped. Listeners added
// during a delivery receive the next event, not the current one.
class TUloEventListeners {
public:
  void Add(IUloEventListener *listener);
  // Removes the first entry of Listener; nothing when it is not listed.
  void Remove(IUloEventListener *listener);
  int IndexOf(const IUloEventListener *listener) const;
  int Count() const;
  IUloEventListener *Item(int index) const;
  void Clear();

  // Delivers Event in list order while Continue (after each listener)
  // says true.
  void Deliver(TUloEvent &event, const std::function<bool()> &proceed);

private:
  void Compact();
  // Removed entries stay as null while a delivery walks the list.
  std::vector<IUloEventListener *> items_;
  int delivering_ = 0;
  bool holes_ = false;
};

// The picture behind a chart or inside a framed shape.
class TBackImage : public TUloPicture {
public:
  using TUloPicture::TUloPicture;

  // The four settings first (from another back image), then the picture.
  void Assign(const TUloPicture &source) override;

  // Drawn inside the chart walls instead of over the whole panel.
  bool Inside() const noexcept { return inside_; }
  int Left() const noexcept { return left_; }
  TUloBackImageMode Mode() const noexcept { return mode_; }
  int Top() const noexcept { return top_; }
  void SetInside(bool value);
  void SetLeft(int value);
  void SetMode(TUloBackImageMode value);
  void SetTop(int value);

  // Draws the filtered graphic into R of Panel's canvas at depth Z.
  void Draw(TCustomUloPanel &panel, const TRect &r, int z);

  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  bool inside_ = false;
  int left_ = 0;
  TUloBackImageMode mode_ = TUloBackImageMode::pbmStretch;
  int top_ = 0;
};

// ---- the window library's panel ------------------------------------------

// A panel control that never shows a caption: colour, bevels, border width
// and the mouse events of the window library's panel, over a paint host.
// Its defaults: the button-face colour and a raised outer bevel one pixel
// wide, as a plain panel of the window library has.
class TCustomPanelNoCaption : public forms::TPaintHost {
public:
  explicit TCustomPanelNoCaption(forms::TWinControl *parent = nullptr);

  TColor Color() const noexcept { return color_; }
  TBevelCut BevelInner() const noexcept { return bevelInner_; }
  TBevelCut BevelOuter() const noexcept { return bevelOuter_; }
  int BevelWidth() const noexcept { return bevelWidth_; }
  int BorderWidth() const noexcept { return borderWidth_; }
  void SetColor(TColor value);
  void SetBevelInner(TBevelCut value);
  void SetBevelOuter(TBevelCut value);
  void SetBevelWidth(int value);
  void SetBorderWidth(int value);

  // Repaints the panel (the chart panel only when AutoRepaint allows).
  virtual void Invalidate();

  void DefineProperties(streaming::TPropertyTable &table) override;

  // The window library's mouse events, fired by the inherited handlers.
  std::function<void(forms::TMouseButton, forms::TShiftState, int, int)> OnMouseDown;
  std::function<void(forms::TMouseButton, forms::TShiftState, int, int)> OnMouseUp;
  std::function<void(forms::TShiftState, int, int)> OnMouseMove;
  std::function<void()> OnClick;
  std::function<void()> OnDblClick;
  std::function<void()> OnMouseLeave;

protected:
  template <class T, class U> void SetAndInvalidate(T &field, U &&value) {
    if (UloStoreIfChanged(field, std::forward<U>(value))) Invalidate();
  }

private:
  TColor color_ = clBtnFace;
  TBevelCut bevelInner_ = TBevelCut::bvNone;
  TBevelCut bevelOuter_ = TBevelCut::bvRaised;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
};

// ---- the chart panel ---------------------------------------------------------

using TUloPrintEvent = std::function<void(TCustomUloPanel *sender, TUloCanvas &canvas)>;

struct TUloMargins {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  friend bool operator==(const TUloMargins &, const TUloMargins &) = default;
};

class TCustomUloPanel : public TCustomPanelNoCaption, public IUloInvalidate, protected forms::IPaintHostClient {
public:
  explicit TCustomUloPanel(forms::TWinControl *parent = nullptr);
  ~TCustomUloPanel() override;

  // ---- settings (setters compare, store and repaint on a change)
  TChartHiddenPen &Border() noexcept { return border_; }
  void SetBorder(const TChartPen &value) { border_.Assign(value); }
  int BorderRound() const noexcept { return borderRound_; }
  void SetBorderRound(int value);
  int MarginLeft() const noexcept { return margins_.Left; }
  int MarginTop() const noexcept { return margins_.Top; }
  int MarginRight() const noexcept { return margins_.Right; }
  int MarginBottom() const noexcept { return margins_.Bottom; }
  void SetMarginLeft(int value) { SetAndInvalidate(margins_.Left, value); }
  void SetMarginTop(int value) { SetAndInvalidate(margins_.Top, value); }
  void SetMarginRight(int value) { SetAndInvalidate(margins_.Right, value); }
  void SetMarginBottom(int value) { SetAndInvalidate(margins_.Bottom, value); }
  TUloUnits MarginUnits() const noexcept { return marginUnits_; }
  void SetMarginUnits(TUloUnits value) { SetAndInvalidate(marginUnits_, value); }
  bool Monochrome() const { return canvas_->GetMonochrome(); }
  void SetMonochrome(bool value);
  TUloShadow &Shadow() noexcept { return shadow_; }
  void SetShadow(const TUloShadow &value) { shadow_.Assign(value); }
  bool View3D() const noexcept { return view3D_; }
  // On a change: repaint, then a TUloView3DEvent to every listener.
  void SetView3D(bool value);
  TView3DOptions &View3DOptions() noexcept { return view3DOptions_; }
  void SetView3DOptions(const TView3DOptions &value) { view3DOptions_.Assign(value); }
  bool ZOrderDepths() const noexcept { return zOrderDepths_; }
  void SetZOrderDepths(bool value) { SetAndInvalidate(zOrderDepths_, value); }
  // While false, Invalidate does nothing (the paint pipeline draws).
  bool AutoRepaint() const noexcept { return autoRepaint_; }
  void SetAutoRepaint(bool value) noexcept { autoRepaint_ = value; }
  // When true, ChartRect is the user's and is never recomputed.
  bool FixedChartRect() const noexcept { return fixedChartRect_; }
  void SetFixedChartRect(bool value) noexcept { fixedChartRect_ = value; }

  // ---- print settings: stored with the chart. There is no printer here,
  // so nothing ever prints and IsPrinting stays false.
  const TUloMargins &PrintMargins() const noexcept { return printMargins_; }
  void SetPrintMargins(const TUloMargins &value) { printMargins_ = value; }
  bool PrintProportional() const noexcept { return printProportional_; }
  void SetPrintProportional(bool value) { SetAndInvalidate(printProportional_, value); }
  bool IsPrinting() const noexcept { return false; }
  TUloPrintEvent OnBeforePrint;

  // ---- the chart area of the last drawing
  TRect ChartRect;
  int ChartWidth = 0;
  int ChartHeight = 0;
  int ChartXCenter = 0;
  int ChartYCenter = 0;
  // Sets ChartWidth, ChartHeight and the centre from ChartRect, after it moved.
  void RecalcChartSize() noexcept;
  // The rectangle of the last drawing, as the canvas's binding gave it.
  TRect PanelBounds;
  // Pixel extents of the 3D depth, set by the chart engine (0 in 2D).
  int HorizDepth = 0;
  int VertDepth = 0;
  // Set by a listener to stop further handling of the current mouse event.
  bool CancelMouse = false;
  // The cursor restored after a mouse drag.
  int SavedCursor = 0;

  // ---- canvas and drawing
  TUloCanvas3D &Canvas() noexcept { return *canvas_; }
  // Another canvas of the same kind (one that records its calls, say).
  void ReplaceCanvas(std::unique_ptr<TUloCanvas3D> canvas) { canvas_ = std::move(canvas); }
  // The window surface the panel's paints draw into.
  gdi::WindowSurface &WindowSurface() noexcept { return surface_; }
  // The state of a mouse drag.
  TZoomPanning &Panning() noexcept { return panning_; }

  // Draws the whole chart into Rect of UserCanvas.
  virtual void Draw(gdi::DeviceContext *userCanvas, const TRect &rect);
  // The same without the canvas's off-screen image.
  void DrawToCanvas(gdi::DeviceContext *userCanvas, const TRect &rect);
  // A new bitmap of Rect's size with the chart drawn in it; filled with
  // BackColor first unless that is white.
  std::unique_ptr<gdi::Bitmap> UloCreateBitmap(TColor backColor, const TRect &rect);
  std::unique_ptr<gdi::Bitmap> UloCreateBitmapDefault();
  // The chart as the picture's graphic.
  void AssignTo(TUloPicture &dest);
  virtual TRect GetRectangle();
  void GetCursorPos(int &x, int &y) const;
  bool CanClip() const;
  // The canvas brush from Brush in Color over BackColor; a pattern in the
  // background's own colour would not show, so it turns black (white over
  // black).
  void SetBrushCanvas(TColor color, const TBrush &brush, TColor backColor);
  // The panel colour, or what descendants use as the background.
  virtual TColor GetBackColor() { return Color(); }

  // Marks the kept image stale and asks the window for a paint, only while
  // AutoRepaint is true.
  void Invalidate() override;
  virtual void Repaint() { Invalidate(); }
  // A window paint: the kept image when it is still good, else Draw.
  virtual void Paint();

  // The cursor back to SavedCursor, and the drag ends.
  void RestoreCursor();

  // ---- listeners
  TUloEventListeners &Listeners() noexcept { return listeners_; }
  // Nothing while the panel is being destroyed. A mouse event stops after
  // the listener that sets CancelMouse.
  void BroadcastUloEvent(TUloEvent &event);
  void BroadcastMouseEvent(uint8_t kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y);

  // ---- mouse handling (from the window; also for tests and tools)
  virtual void MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y);
  virtual void MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y);
  virtual void MouseMove(forms::TShiftState shift, int x, int y);
  // False when a handler set CancelMouse, which ends the click there.
  virtual bool Click();
  virtual void DblClick();

  // ---- bevels and frames
  // A bevel Width pixels wide inside R (R comes back inside it); with Round
  // at least 1 a rounded frame instead.
  static void DrawBevel(TUloCanvas &canvas, TBevelCut bevel, TRect &r, int round, int width);
  // The border pen, the outer bevel, the border and the inner bevel.
  void DrawPanelBevels(TRect r);

  virtual void Assign(const TCustomUloPanel &source);
  void DefineProperties(streaming::TPropertyTable &table) override;
  void Loaded() override;
  std::string_view ClassName() const override { return "TCustomUloPanel"; }

protected:
  // The chart engine draws here.
  virtual void InternalDraw(const TRect &bounds) { (void)bounds; }
  // The window shape for BorderRound.
  void ApplyWindowShape();
  void CalcChartRect();
  bool Destroying() const noexcept { return destroying_; }
  // The most derived destructor calls this first, so that nothing its
  // members do while they go reaches the listeners.
  void MarkDestroying() noexcept { destroying_ = true; }
  TUloStoredParts &StoredParts() noexcept { return storedParts_; }

  // ---- the paint host's requests
  void HostPaint(int left, int top, int right, int bottom) override;
  void HostResize(int width, int height) override;
  void HostMouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  void HostMouseMove(forms::TShiftState shift, int x, int y) override;
  void HostMouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  void HostMouseWheel(int delta, forms::TShiftState shift, int x, int y) override;
  void HostDoubleClick(forms::TShiftState shift, int x, int y) override;
  void HostMouseLeave() override;

private:
  bool zOrderDepths_ = true;
  bool autoRepaint_ = false;
  TChartHiddenPen border_;
  int borderRound_ = 0;
  gdi::WindowSurface surface_;
  TUloMargins margins_;
  TUloUnits marginUnits_ = TUloUnits::muPercent;
  TUloMargins printMargins_;
  bool printProportional_ = true;
  TZoomPanning panning_;
  TUloShadow shadow_;
  bool view3D_ = true;
  TView3DOptions view3DOptions_;
  TUloEventListeners listeners_;
  bool shaping_ = false;
  bool fixedChartRect_ = false;
  std::unique_ptr<TUloCanvas3D> canvas_;
  bool destroying_ = false;
  // A window paint must draw, not only show the surface.
  bool paintPending_ = true;
  // A left press inside the panel makes the release a click.
  bool clickArmed_ = false;
  TUloStoredParts storedParts_;
};

// ---- the extended panel ------------------------------------------------------

class TCustomUloPanelExtended : public TCustomUloPanel {
public:
  explicit TCustomUloPanelExtended(forms::TWinControl *parent = nullptr);
  ~TCustomUloPanelExtended() override;

  TPanningMode AllowPanning() const noexcept { return allowPanning_; }
  void SetAllowPanning(TPanningMode value) { SetAndInvalidate(allowPanning_, value); }
  // Created on first read.
  TBackImage &BackImage();
  TBackImage *ExistingBackImage() const noexcept { return backImage_.get(); }
  // Null frees the back image; otherwise it is copied.
  void SetBackImage(const TBackImage *value);
  // False without a back image that holds a graphic, creating nothing.
  bool BackImageInside() const noexcept;
  void SetBackImageInside(bool value) { BackImage().SetInside(value); }
  TUloBackImageMode BackImageMode() { return BackImage().Mode(); }
  void SetBackImageMode(TUloBackImageMode value) { BackImage().SetMode(value); }
  // The graphic's transparent flag; false without one, creating nothing.
  bool BackImageTransp() const noexcept;
  void SetBackImageTransp(bool value);
  // Created on first read.
  TUloGradient &Gradient();
  TUloGradient *ExistingGradient() const noexcept { return gradient_.get(); }
  // Null frees the gradient; otherwise it is copied.
  void SetGradient(const TUloGradient *value);
  TUloZoom &Zoom() noexcept { return *zoom_; }
  void SetZoom(const TUloZoom &value) { zoom_->Assign(value); }
  bool Zoomed = false;

  // Background, back image and frames of the whole panel in Rect.
  virtual void PanelPaint(const TRect &rect);
  virtual void DrawPanelBackground(const TRect &rect);
  // Nothing for clNone; else a solid fill, rounded with Round.
  void FillPanelRect(const TRect &rect, TColor color, int round);
  void DrawBackImageRect(const TRect &rect, int z);
  void DrawZoomRectangle();
  // After a zoom is undone.
  void UndoZoomDone();

  void Assign(const TCustomUloPanel &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string_view ClassName() const override { return "TCustomUloPanelExtended"; }

  std::function<void()> OnAfterDraw;
  std::function<void()> OnScroll;
  std::function<void()> OnUndoZoom;
  std::function<void()> OnZoom;

private:
  TPanningMode allowPanning_ = TPanningMode::pmBoth;
  std::unique_ptr<TUloGradient> gradient_;
  std::unique_ptr<TUloZoom> zoom_;
  std::unique_ptr<TBackImage> backImage_;
};
