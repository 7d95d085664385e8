#include "chart/foundation/UloPanel.h"

#include <algorithm>
#include <array>

#include "platform/forms/SurfaceHost.h"

using streaming::TEnumName;
using streaming::TPropertyTable;
using streaming::TReadContext;
using streaming::TValue;

bool UloEraseBackground = false;
bool UloClipWhenPrinting = true;
bool UloClipWhenMetafiling = true;
bool UloDrawBackWhenPrinting = false;

namespace {

constexpr std::array<TEnumName<TBevelCut>, 4> kBevelNames{{{TBevelCut::bvNone, "bvNone"},
                                                           {TBevelCut::bvLowered, "bvLowered"},
                                                           {TBevelCut::bvRaised, "bvRaised"},
                                                           {TBevelCut::bvSpace, "bvSpace"}}};
constexpr std::array<TEnumName<TUloUnits>, 2> kUnitNames{
    {{TUloUnits::muPercent, "muPercent"}, {TUloUnits::muPixels, "muPixels"}}};
constexpr std::array<TEnumName<TPanningMode>, 4> kPanningNames{{{TPanningMode::pmNone, "pmNone"},
                                                                {TPanningMode::pmHorizontal, "pmHorizontal"},
                                                                {TPanningMode::pmVertical, "pmVertical"},
                                                                {TPanningMode::pmBoth, "pmBoth"}}};
constexpr std::array<TEnumName<TUloBackImageMode>, 4> kBackImageModes{{{TUloBackImageMode::pbmStretch, "pbmStretch"},
                                                                       {TUloBackImageMode::pbmTile, "pbmTile"},
                                                                       {TUloBackImageMode::pbmCenter, "pbmCenter"},
                                                                       {TUloBackImageMode::pbmCustom, "pbmCustom"}}};

constexpr int kDefaultPrintMargin = 15;

void Shrink(TRect &r, int by) noexcept {
  r.Left += by;
  r.Top += by;
  r.Right -= by;
  r.Bottom -= by;
}

// Runs Fn when the scope ends, also through an exception.
template <class Fn> class TFinally {
public:
  explicit TFinally(Fn fn) : fn_(std::move(fn)) {}
  ~TFinally() { fn_(); }
  TFinally(const TFinally &) = delete;
  TFinally &operator=(const TFinally &) = delete;

private:
  Fn fn_;
};

} // namespace

std::span<const TEnumName<TBevelCut>> UloBevelCutNames() noexcept { return kBevelNames; }

// ---- listeners ---------------------------------------------------------------

void TUloEventListeners::Add(IUloEventListener *listener) {
  if (listener) items_.push_back(listener);
}

void TUloEventListeners::Remove(IUloEventListener *listener) {
  auto it = std::find(items_.begin(), items_.end(), listener);
  if (it == items_.end() || !listener) return;
  if (delivering_ > 0) {
    // Erasing would shift the entries a delivery is walking by index.
    *it = nullptr;
    holes_ = true;
  } else {
    items_.erase(it);
  }
}

int TUloEventListeners::IndexOf(const IUloEventListener *listener) const {
  if (!listener) return -1;
  int index = 0;
  for (const IUloEventListener *item : items_) {
    if (item == listener) return index;
    if (item) ++index;
  }
  return -1;
}

int TUloEventListeners::Count() const {
  return static_cast<int>(std::count_if(items_.begin(), items_.end(), [](auto *p) { return p != nullptr; }));
}

IUloEventListener *TUloEventListeners::Item(int index) const {
  for (IUloEventListener *item : items_)
    if (item && index-- == 0) return item;
  return nullptr;
}

void TUloEventListeners::Clear() {
  if (delivering_ > 0) {
    std::fill(items_.begin(), items_.end(), nullptr);
    holes_ = !items_.empty();
  } else {
    items_.clear();
  }
}

void TUloEventListeners::Compact() {
  std::erase(items_, nullptr);
  holes_ = false;
}

void TUloEventListeners::Deliver(TUloEvent &event, const std::function<bool()> &proceed) {
  ++delivering_;
  TFinally done([this] {
    if (--delivering_ == 0 && holes_) Compact();
  });
  const size_t count = items_.size();
  for (size_t i = 0; i < count; ++i) {
    IUloEventListener *listener = items_[i];
    if (!listener) continue;
    listener->UloEvent(event);
    if (!proceed()) break;
  }
}

// ---- back image ----------------------------------------------------------------

void TBackImage::Assign(const TUloPicture &source) {
  if (auto *other = dynamic_cast<const TBackImage *>(&source)) {
    inside_ = other->inside_;
    left_ = other->left_;
    mode_ = other->mode_;
    top_ = other->top_;
  }
  TUloPicture::Assign(source);
}

void TBackImage::SetInside(bool value) {
  UloSetProperty(inside_, value, [this] { Changed(); });
}
void TBackImage::SetLeft(int value) {
  UloSetProperty(left_, value, [this] { Changed(); });
}
void TBackImage::SetMode(TUloBackImageMode value) {
  UloSetProperty(mode_, value, [this] { Changed(); });
}
void TBackImage::SetTop(int value) {
  UloSetProperty(top_, value, [this] { Changed(); });
}

void TBackImage::Draw(TCustomUloPanel &panel, const TRect &r, int z) {
  const gdi::Bitmap *graphic = FilteredCopy();
  if (!graphic) return;
  TUloCanvas3D &canvas = panel.Canvas();
  const bool orthogonal = panel.View3DOptions().Orthogonal();
  auto projected = [&canvas](const TRect &rect, int depth) {
    TPoint topLeft, bottomRight;
    canvas.ProjectRectCorners(rect, depth, topLeft, bottomRight);
    TRect result{topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
    if (!canvas.Is3D()) ++result.Top;
    return result;
  };

  if (mode_ == TUloBackImageMode::pbmStretch) {
    if (z < 1)
      canvas.StretchDraw(r, graphic);
    else if (orthogonal)
      canvas.StretchDraw(projected(r, z), graphic);
    else
      canvas.DrawImageProjected(r, graphic, 0, z);
    return;
  }

  const bool clipped = panel.CanClip();
  if (clipped) {
    if (z == 0)
      canvas.ClipToRect(r);
    else
      canvas.ClipToBox(r, 0, panel.HorizDepth);
  }
  TRect area = (z > 0 && orthogonal) ? projected(r, z) : r;
  const int w = graphic->Width(), h = graphic->Height();
  // Through the projection when the picture stands at a depth of a
  // perspective view; flat otherwise.
  auto place = [&](int x, int y) {
    if (z > 0 && !orthogonal)
      canvas.DrawImageProjected(TRect{x, y, x + w, y + h}, graphic, 0, z);
    else
      canvas.Draw(x, y, graphic);
  };
  if (mode_ == TUloBackImageMode::pbmTile) {
    if (w >= 1 && h >= 1)
      for (int y = area.Top; y < area.Bottom; y += h)
        for (int x = area.Left; x < area.Right; x += w)
          place(x, y);
  } else {
    if (auto *extended = dynamic_cast<TCustomUloPanelExtended *>(&panel)) extended->DrawPanelBackground(area);
    if (mode_ == TUloBackImageMode::pbmCustom) {
      place(area.Left + left_, area.Top + top_);
    } else {
      const int dx = (w - (area.Right - area.Left)) / 2;
      const int dy = (h - (area.Bottom - area.Top)) / 2;
      place(area.Left - dx, area.Top - dy);
    }
  }
  if (clipped) canvas.RemoveClip();
}

void TBackImage::DefineProperties(TPropertyTable &t) {
  TUloPicture::DefineProperties(t);
  t.Property("Inside", this, &TBackImage::Inside, &TBackImage::SetInside, false);
  t.Property("Left", this, &TBackImage::Left, &TBackImage::SetLeft, 0);
  t.Enum(
      "Mode", [this] { return Mode(); }, [this](TUloBackImageMode m) { SetMode(m); }, TUloBackImageMode::pbmStretch,
      std::span<const TEnumName<TUloBackImageMode>>(kBackImageModes));
  t.Property("Top", this, &TBackImage::Top, &TBackImage::SetTop, 0);
}

// ---- the window library's panel ------------------------------------------------

TCustomPanelNoCaption::TCustomPanelNoCaption(forms::TWinControl *parent) : forms::TPaintHost(parent) {}

void TCustomPanelNoCaption::SetColor(TColor value) { SetAndInvalidate(color_, value); }
void TCustomPanelNoCaption::SetBevelInner(TBevelCut value) { SetAndInvalidate(bevelInner_, value); }
void TCustomPanelNoCaption::SetBevelOuter(TBevelCut value) { SetAndInvalidate(bevelOuter_, value); }
void TCustomPanelNoCaption::SetBevelWidth(int value) { SetAndInvalidate(bevelWidth_, value); }
void TCustomPanelNoCaption::SetBorderWidth(int value) { SetAndInvalidate(borderWidth_, value); }

void TCustomPanelNoCaption::Invalidate() { forms::TPaintHost::Invalidate(); }

void TCustomPanelNoCaption::DefineProperties(TPropertyTable &t) {
  forms::TPaintHost::DefineProperties(t);
  t.Color(
      "Color", [this] { return Color(); }, [this](TColor c) { SetColor(c); }, clBtnFace);
  t.Enum(
      "BevelInner", [this] { return BevelInner(); }, [this](TBevelCut b) { SetBevelInner(b); }, TBevelCut::bvNone,
      UloBevelCutNames());
  t.Enum(
      "BevelOuter", [this] { return BevelOuter(); }, [this](TBevelCut b) { SetBevelOuter(b); }, TBevelCut::bvRaised,
      UloBevelCutNames());
  t.Property("BevelWidth", this, &TCustomPanelNoCaption::BevelWidth, &TCustomPanelNoCaption::SetBevelWidth, 1);
  t.Property("BorderWidth", this, &TCustomPanelNoCaption::BorderWidth, &TCustomPanelNoCaption::SetBorderWidth, 0);
}

// ---- the chart panel -----------------------------------------------------------

TCustomUloPanel::TCustomUloPanel(forms::TWinControl *parent)
    : TCustomPanelNoCaption(parent), border_([this] { Invalidate(); }), shadow_([this] { Invalidate(); }),
      view3DOptions_(this), canvas_(std::make_unique<TUloCanvas3D>()) {
  SetBounds(Left(), Top(), 400, 250);
  surface_.SetSize(Width(), Height());
  margins_ = TUloMargins{3, 4, 3, 4};
  printMargins_ = TUloMargins{kDefaultPrintMargin, kDefaultPrintMargin, kDefaultPrintMargin, kDefaultPrintMargin};
  SavedCursor = Cursor();
  border_.SetEndStyleDefault(TPenEndStyle::esFlat);
  autoRepaint_ = true;
  forms::AttachSurface(*this, &surface_);
  SetClient(this);
}

TCustomUloPanel::~TCustomUloPanel() {
  MarkDestroying();
  SetClient(nullptr);
  forms::AttachSurface(*this, nullptr);
  surface_.OnChanged = nullptr;
}

void TCustomUloPanel::SetBorderRound(int value) {
  if (!UloStoreIfChanged(borderRound_, value)) return;
  if (!Loading()) ApplyWindowShape();
  Invalidate();
}

void TCustomUloPanel::SetMonochrome(bool value) {
  if (canvas_->GetMonochrome() == value) return;
  canvas_->SetMonochrome(value);
  Invalidate();
}

void TCustomUloPanel::SetView3D(bool value) {
  if (!UloStoreIfChanged(view3D_, value)) return;
  Invalidate();
  TUloView3DEvent event;
  BroadcastUloEvent(event);
}

void TCustomUloPanel::ApplyWindowShape() {
  if (shaping_) return;
  shaping_ = true;
  TFinally done([this] { shaping_ = false; });
  forms::SetRoundWindowShape(*this, borderRound_);
}

// ---- drawing

void TCustomUloPanel::Draw(gdi::DeviceContext *userCanvas, const TRect &rect) {
  PanelBounds = canvas_->PrepareTarget(userCanvas, &view3DOptions_, rect, view3D_);
  CalcChartRect();
  InternalDraw(PanelBounds);
  canvas_->PresentBuffer(userCanvas, &surface_.DC(), rect);
}

void TCustomUloPanel::CalcChartRect() {
  if (!fixedChartRect_) {
    const int w = PanelBounds.Right - PanelBounds.Left;
    const int h = PanelBounds.Bottom - PanelBounds.Top;
    int inset = BorderWidth();
    if (BevelInner() != TBevelCut::bvNone) inset += BevelWidth();
    if (BevelOuter() != TBevelCut::bvNone) inset += BevelWidth();
    if (border_.Visible()) inset += border_.Width();
    const bool pixels = marginUnits_ == TUloUnits::muPixels;
    auto margin = [pixels](int m, int size) { return pixels ? m : m * size / 100; };
    ChartRect = TRect{
        PanelBounds.Left + inset + margin(margins_.Left, w), PanelBounds.Top + inset + margin(margins_.Top, h),
        PanelBounds.Right - inset - margin(margins_.Right, w), PanelBounds.Bottom - inset - margin(margins_.Bottom, h)};
    if (shadow_.Visible()) {
      const int hs = shadow_.HorizSize(), vs = shadow_.VertSize();
      if (hs > 0)
        ChartRect.Right -= 2 * hs;
      else
        ChartRect.Left += -2 * hs;
      if (vs > 0)
        ChartRect.Bottom -= 2 * vs;
      else
        ChartRect.Top += -2 * vs;
    }

    ChartRect.Left = std::max(ChartRect.Left, PanelBounds.Left);
    ChartRect.Top = std::max(ChartRect.Top, PanelBounds.Top);
    if (ChartRect.Left > ChartRect.Right)
      ChartRect.Right = ChartRect.Left + 1;
    else if (ChartRect.Left == ChartRect.Right)
      ChartRect.Right = ChartRect.Left + Width();
    if (ChartRect.Top > ChartRect.Bottom)
      ChartRect.Bottom = ChartRect.Top + 1;
    else if (ChartRect.Top == ChartRect.Bottom)
      ChartRect.Bottom = ChartRect.Top + Height();
  }
  RecalcChartSize();
}

void TCustomUloPanel::RecalcChartSize() noexcept {
  ChartWidth = ChartRect.Right - ChartRect.Left;
  ChartHeight = ChartRect.Bottom - ChartRect.Top;
  RectMidpoint(ChartRect, ChartXCenter, ChartYCenter);
}

void TCustomUloPanel::DrawToCanvas(gdi::DeviceContext *userCanvas, const TRect &rect) {
  const bool buffered = canvas_->GetBuffered();
  canvas_->SetKeepBitmap(true);
  canvas_->SetBuffered(false);
  TFinally restore([this, buffered] {
    canvas_->SetBuffered(buffered);
    canvas_->SetKeepBitmap(false);
    Invalidate();
  });
  Draw(userCanvas, rect);
}

std::unique_ptr<gdi::Bitmap> TCustomUloPanel::UloCreateBitmap(TColor backColor, const TRect &rect) {
  auto bitmap = std::make_unique<gdi::Bitmap>(std::max(0, rect.Right - rect.Left), std::max(0, rect.Bottom - rect.Top));
  // A new bitmap is white already.
  if (backColor != clNone && backColor != clDefault && ColorToRGB(backColor) != clWhite)
    bitmap->Fill(ColorToRGB(backColor));
  DrawToCanvas(&bitmap->DC(), rect);
  return bitmap;
}

std::unique_ptr<gdi::Bitmap> TCustomUloPanel::UloCreateBitmapDefault() {
  return UloCreateBitmap(Color(), GetRectangle());
}

void TCustomUloPanel::AssignTo(TUloPicture &dest) {
  std::unique_ptr<gdi::Bitmap> bitmap = UloCreateBitmapDefault();
  dest.SetGraphic(bitmap.get());
}

TRect TCustomUloPanel::GetRectangle() { return TRect{0, 0, Width(), Height()}; }

void TCustomUloPanel::GetCursorPos(int &x, int &y) const { forms::ClientCursorPos(*this, x, y); }

bool TCustomUloPanel::CanClip() const {
  if (canvas_->CapabilityFlagA()) return false;
  // Neither printing nor drawing into a metafile ever happens here.
  return true;
}

void TCustomUloPanel::SetBrushCanvas(TColor color, const TBrush &brush, TColor backColor) {
  TColor c = color;
  if (brush.Style() != TBrushStyle::bsSolid && ColorToRGB(color) == ColorToRGB(backColor))
    c = ColorToRGB(backColor) == clBlack ? clWhite : clBlack;
  canvas_->ApplyBrushColors(brush, c, backColor);
}

void TCustomUloPanel::Invalidate() {
  if (!autoRepaint_) return;
  canvas_->MarkForRedraw();
  paintPending_ = true;
  TCustomPanelNoCaption::Invalidate();
}

void TCustomUloPanel::Paint() {
  if (!IsPrinting() && canvas_->RepaintFromBuffer()) return;
  Draw(&surface_.DC(), GetRectangle());
}

void TCustomUloPanel::RestoreCursor() {
  SetCursor(SavedCursor);
  panning_.Active = false;
}

// ---- listeners and mouse

void TCustomUloPanel::BroadcastUloEvent(TUloEvent &event) {
  if (destroying_) return;
  event.Sender = this;
  const bool mouse = dynamic_cast<TUloMouseEvent *>(&event) != nullptr;
  listeners_.Deliver(event, [this, mouse] { return !(mouse && CancelMouse); });
}

void TCustomUloPanel::BroadcastMouseEvent(uint8_t kind, forms::TMouseButton button, forms::TShiftState shift, int x,
                                          int y) {
  if (listeners_.Count() == 0) return;
  TUloMouseEvent event;
  event.Kind = kind;
  event.Button = button;
  event.Shift = shift;
  event.X = x;
  event.Y = y;
  BroadcastUloEvent(event);
}

void TCustomUloPanel::MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  CancelMouse = false;
  if (OnMouseDown) OnMouseDown(button, shift, x, y);
  BroadcastMouseEvent(0, button, shift, x, y);
}

void TCustomUloPanel::MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(button, shift, x, y);
  BroadcastMouseEvent(1, button, shift, x, y);
}

void TCustomUloPanel::MouseMove(forms::TShiftState shift, int x, int y) {
  CancelMouse = false;
  if (OnMouseMove) OnMouseMove(shift, x, y);
  BroadcastMouseEvent(2, forms::TMouseButton::mbLeft, shift, x, y);
}

bool TCustomUloPanel::Click() {
  CancelMouse = false;
  if (OnClick) OnClick();
  return !CancelMouse;
}

void TCustomUloPanel::DblClick() {
  if (OnDblClick) OnDblClick();
}

void TCustomUloPanel::HostPaint(int, int, int, int) {
  surface_.BeginPaint();
  TFinally done([this] {
    surface_.EndPaint();
    forms::FinishSurface(surface_);
  });
  // Paint events without a request only show the surface as it is, with
  // whatever feedback was drawn on it since the last paint.
  if (!paintPending_) return;
  paintPending_ = false;
  Paint();
}

void TCustomUloPanel::HostResize(int width, int height) {
  if (width == surface_.Width() && height == surface_.Height()) return;
  surface_.SetSize(width, height);
  // The kept image has the old size; showing it would leave the window
  // partly stale.
  canvas_->MarkForRedraw();
  paintPending_ = true;
  if (!Loading()) ApplyWindowShape();
}

void TCustomUloPanel::HostMouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  clickArmed_ = button == forms::TMouseButton::mbLeft && !(shift & forms::ssDouble);
  MouseDown(button, shift, x, y);
}

void TCustomUloPanel::HostMouseMove(forms::TShiftState shift, int x, int y) { MouseMove(shift, x, y); }

void TCustomUloPanel::HostMouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  if (button == forms::TMouseButton::mbLeft && clickArmed_) {
    clickArmed_ = false;
    // A click that a handler cancelled ends the handling of this release.
    if (x >= 0 && y >= 0 && x < Width() && y < Height() && !Click()) return;
  }
  MouseUp(button, shift, x, y);
}

// The chart control scrolls and zooms with the wheel; the panel does not.
void TCustomUloPanel::HostMouseWheel(int, forms::TShiftState, int, int) {}

void TCustomUloPanel::HostDoubleClick(forms::TShiftState, int, int) { DblClick(); }

void TCustomUloPanel::HostMouseLeave() {
  RestoreCursor();
  if (OnMouseLeave) OnMouseLeave();
}

// ---- bevels

void TCustomUloPanel::DrawBevel(TUloCanvas &canvas, TBevelCut bevel, TRect &r, int round, int width) {
  if (bevel == TBevelCut::bvNone) return;
  const TColor topLeft = bevel == TBevelCut::bvLowered ? clBtnShadow : clBtnHighlight;
  const TColor bottomRight = bevel == TBevelCut::bvRaised ? clBtnShadow : clBtnHighlight;
  if (round >= 1) {
    canvas.Pen().SetColor(topLeft);
    Shrink(r, 1);
    canvas.RoundRect(r.Left, r.Top, r.Right, r.Bottom, round, round);
    Shrink(r, width);
  } else {
    canvas.BevelFrame(r, topLeft, bottomRight, width);
  }
}

void TCustomUloPanel::DrawPanelBevels(TRect r) {
  TUloCanvas3D &canvas = *canvas_;
  canvas.PushSuspendProjection();
  TFinally pop([&canvas] { canvas.PopSuspendProjection(); });
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  if (border_.Visible()) {
    const int n = border_.Width() - 1;
    int inset;
    if (border_.SmallDots()) {
      inset = 1;
    } else if (n > 0) {
      r.Left += n / 2 + n % 2;
      r.Top += n / 2 + n % 2;
      r.Right -= n / 2;
      r.Bottom -= n / 2;
      inset = n / 2;
    } else {
      inset = n;
    }
    canvas.ApplyPen(border_);
    if (borderRound_ < 1) {
      canvas.RectangleOfRect(r);
      if (!border_.SmallDots()) ++inset;
    } else {
      --r.Right;
      --r.Bottom;
      canvas.RoundRect(r.Left, r.Top, r.Right, r.Bottom, borderRound_, borderRound_);
    }
    Shrink(r, inset);
  }
  if (IsPrinting() && !UloDrawBackWhenPrinting) return;
  canvas.Pen().SetStyle(TPenStyle::psSolid);
  canvas.Pen().SetWidth(1);
  canvas.Pen().SetMode(TPenMode::pmCopy);
  DrawBevel(canvas, BevelOuter(), r, borderRound_, BevelWidth());
  if (BorderWidth() != 0) canvas.BevelFrame(r, Color(), Color(), BorderWidth());
  DrawBevel(canvas, BevelInner(), r, borderRound_, BevelWidth());
}

// ---- copying and storing

void TCustomUloPanel::Assign(const TCustomUloPanel &source) {
  if (&source == this) return;
  border_.Assign(source.border_);
  SetBorderRound(source.borderRound_);
  canvas_->SetBuffered(source.canvas_->GetBuffered());
  printMargins_ = source.printMargins_;
  SetPrintProportional(source.printProportional_);
  SetAndInvalidate(margins_, source.margins_);
  SetMarginUnits(source.marginUnits_);
  SetMonochrome(source.Monochrome());
  shadow_.Assign(source.shadow_);
  // Copied without telling the listeners.
  SetAndInvalidate(view3D_, source.view3D_);
  view3DOptions_.Assign(source.view3DOptions_);
  SetColor(source.Color());
}

void TCustomUloPanel::DefineProperties(TPropertyTable &t) {
  TCustomPanelNoCaption::DefineProperties(t);
  t.Object("Border", storedParts_.Get("Border", [this](TPropertyTable &p) { DefineChartPen(p, border_); }));
  t.Property("BorderRound", this, &TCustomUloPanel::BorderRound, &TCustomUloPanel::SetBorderRound, 0);
  t.Property("MarginBottom", this, &TCustomUloPanel::MarginBottom, &TCustomUloPanel::SetMarginBottom, 4);
  t.Property("MarginLeft", this, &TCustomUloPanel::MarginLeft, &TCustomUloPanel::SetMarginLeft, 3);
  t.Property("MarginRight", this, &TCustomUloPanel::MarginRight, &TCustomUloPanel::SetMarginRight, 3);
  t.Property("MarginTop", this, &TCustomUloPanel::MarginTop, &TCustomUloPanel::SetMarginTop, 4);
  t.Enum(
      "MarginUnits", [this] { return MarginUnits(); }, [this](TUloUnits u) { SetMarginUnits(u); }, TUloUnits::muPercent,
      std::span<const TEnumName<TUloUnits>>(kUnitNames));
  t.Property("Monochrome", this, &TCustomUloPanel::Monochrome, &TCustomUloPanel::SetMonochrome, false);
  t.Property("PrintProportional", this, &TCustomUloPanel::PrintProportional, &TCustomUloPanel::SetPrintProportional,
             true);
  t.Object("Shadow", storedParts_.Get("Shadow", [this](TPropertyTable &p) { DefineUloShadow(p, shadow_); }));
  t.Property("View3D", this, &TCustomUloPanel::View3D, &TCustomUloPanel::SetView3D, true);
  t.Object("View3DOptions",
           storedParts_.Get("View3DOptions", [this](TPropertyTable &p) { DefineView3DOptions(p, view3DOptions_); }));

  t.Define(
      "BorderStyle", [this](const TValue &v, TReadContext &) { border_.SetVisible(v.AsIdent() == "bsSingle"); },
      nullptr);
  t.Define(
      "PrintMargins",
      [this](const TValue &v, TReadContext &) {
        const std::vector<int32_t> m = v.AsInt32List();
        if (m.size() != 4) v.Fail("four margins expected");
        printMargins_ = TUloMargins{m[0], m[1], m[2], m[3]};
      },
      [this]() -> std::optional<TValue> {
        const TUloMargins &m = printMargins_;
        if (m.Left == kDefaultPrintMargin && m.Top == kDefaultPrintMargin && m.Right == kDefaultPrintMargin &&
            m.Bottom == kDefaultPrintMargin)
          return std::nullopt;
        return TValue::MakeIntegers({m.Left, m.Top, m.Right, m.Bottom});
      });
}

void TCustomUloPanel::Loaded() {
  TCustomPanelNoCaption::Loaded();
  SavedCursor = Cursor();
  if (borderRound_ > 0) ApplyWindowShape();
}

// ---- the extended panel -----------------------------------------------------------

TCustomUloPanelExtended::TCustomUloPanelExtended(forms::TWinControl *parent)
    : TCustomUloPanel(parent), zoom_(std::make_unique<TUloZoom>()) {}

TCustomUloPanelExtended::~TCustomUloPanelExtended() { MarkDestroying(); }

TBackImage &TCustomUloPanelExtended::BackImage() {
  if (!backImage_) backImage_ = std::make_unique<TBackImage>([this] { Invalidate(); });
  return *backImage_;
}

void TCustomUloPanelExtended::SetBackImage(const TBackImage *value) {
  UloSetLazyPart(
      backImage_, value, [this]() -> auto & { return BackImage(); }, [this] { Invalidate(); });
}

bool TCustomUloPanelExtended::BackImageInside() const noexcept {
  return backImage_ && backImage_->Graphic() && backImage_->Inside();
}

bool TCustomUloPanelExtended::BackImageTransp() const noexcept {
  return backImage_ && backImage_->Graphic() && backImage_->Transparent();
}

void TCustomUloPanelExtended::SetBackImageTransp(bool value) {
  if (backImage_ && backImage_->Graphic()) backImage_->SetTransparent(value);
}

TUloGradient &TCustomUloPanelExtended::Gradient() {
  if (!gradient_) gradient_ = std::make_unique<TUloGradient>([this] { Invalidate(); });
  return *gradient_;
}

void TCustomUloPanelExtended::SetGradient(const TUloGradient *value) {
  UloSetLazyPart(
      gradient_, value, [this]() -> auto & { return Gradient(); }, [this] { Invalidate(); });
}

void TCustomUloPanelExtended::PanelPaint(const TRect &rect) {
  TUloCanvas3D &canvas = Canvas();
  canvas.PushSuspendProjection();
  TFinally pop([&canvas] { canvas.PopSuspendProjection(); });
  TRect r = rect;
  TUloShadow &shadow = Shadow();
  const int h = shadow.HorizSize(), v = shadow.VertSize();
  if (shadow.Visible() && (h != 0 || v != 0)) {
    // The forms and containers a panel sits on have the button-face colour.
    const TColor parentColor = Parent() ? clBtnFace : Color();
    FillPanelRect(r, ColorToRGB(parentColor), 0);
    if (h < 1)
      r.Left += 1 - 2 * h;
    else
      r.Right -= 2 * h + 1;
    if (v < 1)
      r.Top += 1 - 2 * v;
    else
      r.Bottom -= 2 * v + 1;
    shadow.PaintRectShadow(canvas, r, 0, BorderRound());
    if (h < 1)
      --r.Left;
    else
      ++r.Right;
    if (v < 1)
      --r.Top;
    else
      ++r.Bottom;
  }
  DrawPanelBackground(r);
  if (backImage_ && backImage_->Graphic() && !backImage_->Inside()) DrawBackImageRect(r, 0);
  DrawPanelBevels(r);
}

void TCustomUloPanelExtended::DrawPanelBackground(const TRect &rect) {
  TUloCanvas3D &canvas = Canvas();
  canvas.PushSuspendProjection();
  TFinally pop([&canvas] { canvas.PopSuspendProjection(); });
  if (gradient_ && gradient_->Visible())
    gradient_->PaintRect(canvas, rect, BorderRound());
  else
    FillPanelRect(rect, Color(), BorderRound());
}

void TCustomUloPanelExtended::FillPanelRect(const TRect &rect, TColor color, int round) {
  if (IsPrinting() && !UloDrawBackWhenPrinting) return;
  if (color == clNone) return;
  TUloCanvas3D &canvas = Canvas();
  canvas.Brush().SetStyle(TBrushStyle::bsSolid);
  canvas.Brush().SetColor(color);
  canvas.Pen().SetStyle(TPenStyle::psClear);
  if (round == 0)
    canvas.FillBackground(rect);
  else
    canvas.RoundRect(rect.Left, rect.Top, rect.Right, rect.Bottom, round, round);
}

void TCustomUloPanelExtended::DrawBackImageRect(const TRect &rect, int z) {
  if (backImage_ && backImage_->Graphic()) backImage_->Draw(*this, rect, z);
}

void TCustomUloPanelExtended::DrawZoomRectangle() {
  ::DrawZoomRectangle(Canvas(), *zoom_, GetBackColor(),
                      [this](TColor color, const TBrush &brush, TColor back) { SetBrushCanvas(color, brush, back); });
}

void TCustomUloPanelExtended::UndoZoomDone() {
  if (OnUndoZoom) OnUndoZoom();
  Invalidate();
  Zoomed = false;
}

void TCustomUloPanelExtended::Assign(const TCustomUloPanel &source) {
  if (auto *other = dynamic_cast<const TCustomUloPanelExtended *>(&source); other && other != this) {
    SetBackImage(other->backImage_.get());
    SetGradient(other->gradient_.get());
    SetAllowPanning(other->allowPanning_);
    zoom_->Assign(*other->zoom_);
  }
  TCustomUloPanel::Assign(source);
}

void TCustomUloPanelExtended::DefineProperties(TPropertyTable &t) {
  TCustomUloPanel::DefineProperties(t);
  t.Enum(
      "AllowPanning", [this] { return AllowPanning(); }, [this](TPanningMode m) { SetAllowPanning(m); },
      TPanningMode::pmBoth, std::span<const TEnumName<TPanningMode>>(kPanningNames));
  t.Object("BackImage", [this] { return static_cast<streaming::TPersistent *>(&BackImage()); }).StoredWhen([this] {
    return backImage_ != nullptr;
  });
  t.Object("Gradient", StoredParts().Get("Gradient", [this](TPropertyTable &p) {
     DefineUloGradient(p, Gradient());
   })).StoredWhen([this] { return gradient_ != nullptr; });
  t.Object("Zoom", StoredParts().Get("Zoom", [this](TPropertyTable &p) { DefineUloZoom(p, *zoom_, StoredParts()); }));

  // Keys of older definitions, read only.
  t.Define(
      "BackImageInside", [this](const TValue &v, TReadContext &) { SetBackImageInside(v.AsBoolean()); }, nullptr);
  t.Define(
      "BackImageMode",
      [this](const TValue &v, TReadContext &) {
        for (const auto &n : kBackImageModes)
          if (n.Name == v.AsIdent()) return SetBackImageMode(n.Value);
        v.Fail("unknown value " + v.AsIdent());
      },
      nullptr);
  t.Define(
      "BackImageTransp", [this](const TValue &v, TReadContext &) { SetBackImageTransp(v.AsBoolean()); }, nullptr);
  t.Define(
      "AllowZoom", [this](const TValue &v, TReadContext &) { zoom_->SetAllow(v.AsBoolean()); }, nullptr);
  t.Define(
      "AnimatedZoom", [this](const TValue &v, TReadContext &) { zoom_->SetAnimated(v.AsBoolean()); }, nullptr);
  t.Define(
      "AnimatedZoomSteps", [this](const TValue &v, TReadContext &) { zoom_->SetAnimatedSteps(v.AsInt32()); }, nullptr);
}
