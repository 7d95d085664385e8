#include "chart/foundation/UloCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "chart/foundation/UloPicture.h"
#include "chart/foundation/UloRichText.h"
#include "chart/foundation/UloShadow.h"

namespace {

gdi::PenStyle DevicePenStyle(TPenStyle style) {
  switch (style) {
  case TPenStyle::psSolid:
    return gdi::PenStyle::Solid;
  case TPenStyle::psDash:
    return gdi::PenStyle::Dash;
  case TPenStyle::psDot:
    return gdi::PenStyle::Dot;
  case TPenStyle::psDashDot:
    return gdi::PenStyle::DashDot;
  case TPenStyle::psDashDotDot:
    return gdi::PenStyle::DashDotDot;
  case TPenStyle::psClear:
    return gdi::PenStyle::Clear;
  case TPenStyle::psInsideFrame:
    return gdi::PenStyle::InsideFrame;
  }
  return gdi::PenStyle::Solid;
}

gdi::RasterOp DeviceRasterOp(TPenMode mode) {
  switch (mode) {
  case TPenMode::pmBlack:
    return gdi::RasterOp::Black;
  case TPenMode::pmWhite:
    return gdi::RasterOp::White;
  case TPenMode::pmNop:
    return gdi::RasterOp::Nop;
  case TPenMode::pmNot:
    return gdi::RasterOp::Not;
  case TPenMode::pmCopy:
    return gdi::RasterOp::CopyPen;
  case TPenMode::pmNotCopy:
    return gdi::RasterOp::NotCopyPen;
  case TPenMode::pmMergePenNot:
    return gdi::RasterOp::MergePenNot;
  case TPenMode::pmMaskPenNot:
    return gdi::RasterOp::MaskPenNot;
  case TPenMode::pmMergeNotPen:
    return gdi::RasterOp::MergeNotPen;
  case TPenMode::pmMaskNotPen:
    return gdi::RasterOp::MaskNotPen;
  case TPenMode::pmMerge:
    return gdi::RasterOp::MergePen;
  case TPenMode::pmNotMerge:
    return gdi::RasterOp::NotMergePen;
  case TPenMode::pmMask:
    return gdi::RasterOp::MaskPen;
  case TPenMode::pmNotMask:
    return gdi::RasterOp::NotMaskPen;
  case TPenMode::pmXor:
    return gdi::RasterOp::XorPen;
  case TPenMode::pmNotXor:
    return gdi::RasterOp::NotXorPen;
  }
  return gdi::RasterOp::CopyPen;
}

gdi::PenEndCap DeviceCap(TPenEndStyle style) {
  switch (style) {
  case TPenEndStyle::esRound:
    return gdi::PenEndCap::Round;
  case TPenEndStyle::esSquare:
    return gdi::PenEndCap::Square;
  case TPenEndStyle::esFlat:
    return gdi::PenEndCap::Flat;
  }
  return gdi::PenEndCap::Round;
}

gdi::PenJoin DeviceJoin(TPenEndStyle style) {
  switch (style) {
  case TPenEndStyle::esRound:
    return gdi::PenJoin::Round;
  case TPenEndStyle::esSquare:
    return gdi::PenJoin::Bevel;
  case TPenEndStyle::esFlat:
    return gdi::PenJoin::Miter;
  }
  return gdi::PenJoin::Round;
}

gdi::Brush DeviceBrush(const TBrush &brush) {
  if (brush.Bitmap()) return gdi::Brush::Pattern(*brush.Bitmap(), brush.Bitmap()->Monochrome());
  switch (brush.Style()) {
  case TBrushStyle::bsSolid:
    return gdi::Brush::Solid(brush.Color());
  case TBrushStyle::bsClear:
    return gdi::Brush::Null();
  case TBrushStyle::bsHorizontal:
    return gdi::Brush::Hatched(gdi::HatchStyle::Horizontal, brush.Color());
  case TBrushStyle::bsVertical:
    return gdi::Brush::Hatched(gdi::HatchStyle::Vertical, brush.Color());
  case TBrushStyle::bsFDiagonal:
    return gdi::Brush::Hatched(gdi::HatchStyle::FDiagonal, brush.Color());
  case TBrushStyle::bsBDiagonal:
    return gdi::Brush::Hatched(gdi::HatchStyle::BDiagonal, brush.Color());
  case TBrushStyle::bsCross:
    return gdi::Brush::Hatched(gdi::HatchStyle::Cross, brush.Color());
  case TBrushStyle::bsDiagCross:
    return gdi::Brush::Hatched(gdi::HatchStyle::DiagCross, brush.Color());
  }
  return gdi::Brush::Solid(brush.Color());
}

void AppendUtf8(std::string &out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string ToUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text)
    AppendUtf8(out, c);
  return out;
}

// Marks pen and brush changes as made by the apply routines, which keep
// the extended pen and the pattern brush they are selecting.
class ApplyingScope {
public:
  explicit ApplyingScope(bool &flag) : flag_(flag) { flag_ = true; }
  ~ApplyingScope() { flag_ = false; }

private:
  bool &flag_;
};

} // namespace

void ResizeBitmap(gdi::Bitmap &bitmap, int width, int height) {
  bitmap.SetSize(std::max(0, width), std::max(0, height));
}

// ---- construction and device selection ----------------------------------

TUloCanvas::TUloCanvas() {
  pen_.OnChange = [this] { PenChanged(); };
  brush_.OnChange = [this] { BrushChanged(); };
  font_.OnChange = [this] { fontDirty_ = true; };
}

TUloCanvas::~TUloCanvas() { SetChartFont(nullptr); }

void TUloCanvas::PenChanged() noexcept {
  penDirty_ = true;
  if (!applying_) extendedPen_ = false;
}

void TUloCanvas::BrushChanged() noexcept {
  brushDirty_ = true;
  if (!applying_) patternBrush_ = false;
}

void TUloCanvas::ForgetChartFont(const TUloFont *font) noexcept {
  if (chartFont_ == font) chartFont_ = nullptr;
}

void TUloCanvas::SetChartFont(TUloFont *font) {
  if (font == chartFont_) return;
  if (chartFont_) std::erase(chartFont_->canvases_, this);
  chartFont_ = font;
  if (font) font->canvases_.push_back(this);
}

void TUloCanvas::DeviceChanged() noexcept {
  penDirty_ = brushDirty_ = fontDirty_ = true;
  savedClipSet_ = false;
}

void TUloCanvas::SelectDevicePen() {
  if (!penDirty_ || !dc_) return;
  gdi::Pen p;
  p.Style = DevicePenStyle(pen_.Style());
  p.Width = pen_.Width();
  p.Color = pen_.Color();
  if (extendedPen_) {
    if (smallDots_) {
      p.Width = 1;
      p.Style = gdi::PenStyle::Alternate;
      if (smallSpace_ >= 1) {
        // One round dot every SmallSpace + 2 pixels.
        p.Style = gdi::PenStyle::UserStyle;
        p.Geometric = true;
        p.Dashes = {0u, static_cast<uint32_t>(smallSpace_) + 1u};
        p.Cap = gdi::PenEndCap::Round;
      }
    } else {
      p.Geometric = true;
      p.Cap = DeviceCap(endStyle_);
      p.Join = DeviceJoin(endStyle_);
    }
  }
  dc_->SelectPen(p);
  dc_->SetRasterOp(DeviceRasterOp(pen_.Mode()));
  penDirty_ = false;
}

void TUloCanvas::SelectDeviceBrush() {
  if (!brushDirty_ || !dc_) return;
  dc_->SelectBrush(patternBrush_ ? pattern_ : DeviceBrush(brush_));
  brushDirty_ = false;
}

void TUloCanvas::SelectDeviceFont() {
  if (!dc_) return;
  if (fontDirty_) {
    gdi::Font f;
    f.Face = font_.Name();
    f.Height = font_.Height();
    const TFontStyles style = font_.Style();
    f.Weight = style.Contains(TFontStyle::fsBold) ? gdi::kFontWeightBold : gdi::kFontWeightNormal;
    f.Italic = style.Contains(TFontStyle::fsItalic);
    f.Underline = style.Contains(TFontStyle::fsUnderline);
    f.StrikeOut = style.Contains(TFontStyle::fsStrikeOut);
    f.CharSet = static_cast<uint8_t>(font_.Charset());
    dc_->SelectFont(f);
    fontDirty_ = false;
  }
}

// ---- pens, brushes and fonts ------------------------------------------------

void TUloCanvas::ApplyPenColor(const TPen &pen, TColor color) {
  if (GetMonochrome()) color = clBlack;
  if (const auto *chartPen = dynamic_cast<const TChartPen *>(&pen)) {
    if (!chartPen->Visible()) {
      pen_.SetStyle(TPenStyle::psClear);
      return;
    }
    if (!CapabilityFlagA()) {
      ApplyingScope scope(applying_);
      bool dots = chartPen->SmallDots();
      bool extended = dots || chartPen->Width() >= 2;
      if (dots) {
        pen_.SetColor(color);
        pen_.SetWidth(1);
        pen_.SetStyle(TPenStyle::psSolid);
        pen_.SetMode(chartPen->Mode());
      } else {
        pen_.Assign(pen);
        pen_.SetColor(color);
      }
      if (extended != extendedPen_ || dots != smallDots_ || (dots && chartPen->SmallSpace() != smallSpace_) ||
          (!dots && extended && chartPen->EndStyle() != endStyle_)) {
        penDirty_ = true;
      }
      extendedPen_ = extended;
      smallDots_ = dots;
      smallSpace_ = chartPen->SmallSpace();
      endStyle_ = chartPen->EndStyle();
      return;
    }
  }
  if (extendedPen_) {
    extendedPen_ = false;
    penDirty_ = true;
  }
  pen_.Assign(pen);
  pen_.SetColor(color);
}

void TUloCanvas::ApplyBrush(const TBrush &brush) {
  const auto *chartBrush = dynamic_cast<const TChartBrush *>(&brush);
  ApplyBrushColors(brush, brush.Color(), chartBrush ? chartBrush->BackColor() : clNone);
}

void TUloCanvas::ApplyBrushColor(const TBrush &brush, TColor color) {
  const auto *chartBrush = dynamic_cast<const TChartBrush *>(&brush);
  ApplyBrushColors(brush, color, chartBrush ? chartBrush->BackColor() : clNone);
}

void TUloCanvas::ApplyBrushColors(const TBrush &brush, TColor color, TColor backColor) {
  if (GetMonochrome()) color = clWhite;
  const auto *chartBrush = dynamic_cast<const TChartBrush *>(&brush);
  // An image without a picture in it leaves the brush's own pattern to show.
  const gdi::Bitmap *pattern =
      chartBrush && chartBrush->ExistingImage() ? chartBrush->ExistingImage()->Graphic() : nullptr;
  if (!pattern || pattern->IsEmpty()) pattern = brush.Bitmap();
  if (pattern && !pattern->IsEmpty()) {
    {
      ApplyingScope scope(applying_);
      brush_.SetStyle(TBrushStyle::bsSolid);
      pattern_ = gdi::Brush::Pattern(*pattern, pattern->Monochrome());
      patternBrush_ = true;
      brushDirty_ = true;
    }
    if (dc_) dc_->SetTextColor(color);
    // A missing background colour leaves the background as it is.
    if (backColor == clNone) {
      SetBkMode(UloTransparentMode);
    } else {
      SetBkMode(UloOpaqueMode);
      SetBkColor(backColor);
    }
    return;
  }
  if (patternBrush_) {
    patternBrush_ = false;
    brushDirty_ = true;
  }
  // A pattern given to the canvas's own brush would otherwise outlast the fill.
  brush_.SetBitmap(nullptr);
  brush_.SetColor(color);
  brush_.SetStyle(brush.Style());
  if (backColor == clNone) {
    SetBkMode(UloTransparentMode);
  } else {
    SetBkMode(UloOpaqueMode);
    SetBkColor(backColor);
  }
}

void TUloCanvas::ApplyDarkBrushColor(TColor color, int amount) {
  const TColor dark = DarkenColor(color, amount);
  // A pattern brush keeps its pattern; only a plain solid brush takes the colour.
  if (brush_.Style() == TBrushStyle::bsSolid && !patternBrush_)
    brush_.SetColor(dark);
  else
    SetBkColor(dark);
}

void TUloCanvas::ApplyFont(TFont &font) {
  font.SetPixelsPerInch(gdi::kPixelsPerInch);
  font_.Assign(font);
  if (fontZoom_ != 100) font_.SetSize(UloPixel(font_.Size() * fontZoom_ * 0.01));
  if (GetMonochrome()) font_.SetColor(clBlack);
  auto *chartFont = dynamic_cast<TUloFont *>(&font);
  const int extra = chartFont ? chartFont->InterCharSize() : 0;
  if (dc_ && dc_->TextCharacterExtra() != extra) dc_->SetTextCharacterExtra(extra);
  SetChartFont(chartFont);
}

void TUloCanvas::ResetDefaults() {
  pen_.SetColor(clBlack);
  pen_.SetWidth(1);
  pen_.SetStyle(TPenStyle::psSolid);
  extendedPen_ = false;
  penDirty_ = true;
  brush_.SetBitmap(nullptr);
  brush_.SetColor(clWhite);
  brush_.SetStyle(TBrushStyle::bsSolid);
  patternBrush_ = false;
  brushDirty_ = true;
  font_.SetColor(clBlack);
  font_.SetStyle(TFontStyles());
  font_.SetCharset(1);
  font_.SetName(UloDefaultFontName());
  font_.SetSize(UloDefaultFontSize());
  pendingTransparency_ = 0;
  SetChartFont(nullptr);
  SetBkColor(clWhite);
  SetBkMode(UloTransparentMode);
  SetTextAlign(0);
}

// ---- transparency -----------------------------------------------------------------

std::unique_ptr<TUloBlend> TUloCanvas::BeginTransparentDrawing(const TRect &rect, int transparency) {
  pendingTransparency_ = transparency & 127;
  return std::make_unique<TUloBlend>(*this, rect);
}

void TUloCanvas::EndTransparentDrawing(std::unique_ptr<TUloBlend> blend) {
  if (blend) blend->MixBack(pendingTransparency_);
}

// ---- shapes made of other operations ----------------------------------------

void TUloCanvas::ArcByAngles(int left, int top, int right, int bottom, double startAngle, double endAngle) {
  const int halfW = (right - left) / 2;
  const int halfH = (bottom - top) / 2;
  const int cx = left + halfW;
  const int cy = top + halfH;
  constexpr double kDeg = std::numbers::pi / 180;
  const int x3 = UloPixel(halfW * std::cos(startAngle * kDeg)) + cx;
  const int y3 = cy - UloPixel(halfH * std::sin(startAngle * kDeg));
  const int x4 = UloPixel(halfW * std::cos(endAngle * kDeg)) + cx;
  const int y4 = cy - UloPixel(halfH * std::sin(endAngle * kDeg));
  Arc(left, top, right, bottom, x3, y3, x4, y4);
}

void TUloCanvas::BevelFrame(TRect &rect, TColor topColor, TColor bottomColor, int width) {
  if (width <= 0) return;
  pen_.SetWidth(1);
  pen_.SetStyle(TPenStyle::psSolid);
  // A pen of small dots is solid and one pixel wide as well: the frame
  // must not keep its dots when its colour happens to be the same.
  if (extendedPen_) {
    extendedPen_ = false;
    penDirty_ = true;
  }
  --rect.Right;
  --rect.Bottom;
  for (int i = 0; i < width; ++i) {
    const TPoint top[3] = {{rect.Left, rect.Bottom}, {rect.Left, rect.Top}, {rect.Right, rect.Top}};
    pen_.SetColor(topColor);
    Polyline(top);
    const TPoint bottom[3] = {{rect.Right, rect.Top}, {rect.Right, rect.Bottom}, {rect.Left - 1, rect.Bottom}};
    pen_.SetColor(bottomColor);
    Polyline(bottom);
    ++rect.Left;
    ++rect.Top;
    --rect.Right;
    --rect.Bottom;
  }
  ++rect.Right;
  ++rect.Bottom;
}

void TUloCanvas::HorizontalLine(int left, int right, int y) {
  MoveTo(left, y);
  LineTo(right, y);
}

void TUloCanvas::VerticalLine(int x, int top, int bottom) {
  MoveTo(x, top);
  LineTo(x, bottom);
}

void TUloCanvas::DrawLine(int x0, int y0, int x1, int y1) {
  MoveTo(x0, y0);
  LineTo(x1, y1);
}

void TUloCanvas::GradientPolygon(std::span<const TPoint> points, TCustomUloGradient &gradient) {
  ClipToPolygon(points, false);
  gradient.PaintRect(*this, PointsBoundingRectInclusive(points));
  RemoveClip();
  if (pen_.Style() != TPenStyle::psClear) {
    const TBrushStyle old = brush_.Style();
    brush_.SetStyle(TBrushStyle::bsClear);
    Polygon(points);
    brush_.SetStyle(old);
  }
}

void TUloCanvas::TextOutMaybeRich(int x, int y, const std::string &text, bool allowHtml) {
  if (allowHtml)
    DrawRichText(*this, x, y, text);
  else
    TextOut(x, y, text);
}

// ---- text measuring -----------------------------------------------------------------

void TUloCanvas::TextExtent(std::string_view text, int &width, int &height) {
  width = height = 0;
  if (!dc_) return;
  SelectDeviceFont();
  const gdi::Size size = dc_->TextExtent(text);
  width = size.cx;
  height = size.cy;
}

int TUloCanvas::MeasureTextWidth(std::string_view text) {
  int w, h;
  TextExtent(text, w, h);
  if (chartFont_ && chartFont_->ExistingShadow() && chartFont_->ExistingShadow()->Visible())
    w += std::abs(chartFont_->ExistingShadow()->HorizSize());
  return w;
}

int TUloCanvas::MeasureTextHeight(std::string_view text) {
  int w, h;
  TextExtent(text, w, h);
  if (chartFont_ && chartFont_->ExistingShadow() && chartFont_->ExistingShadow()->Visible())
    h += std::abs(chartFont_->ExistingShadow()->VertSize());
  return h;
}

int TUloCanvas::MeasureWideTextWidth(std::u32string_view text) { return MeasureTextWidth(ToUtf8(text)); }
int TUloCanvas::MeasureWideTextHeight(std::u32string_view text) { return MeasureTextHeight(ToUtf8(text)); }

int TUloCanvas::StandardTextHeight() { return MeasureTextHeight("W"); }

// ---- clipping -----------------------------------------------------------------------

void TUloCanvas::CombineClip(const gdi::Region &region, gdi::RegionOp op, bool saveFirst) {
  if (!dc_) return;
  if (saveFirst) SaveClip();
  dc_->CombineClip(region, op);
}

void TUloCanvas::SaveClip() {
  if (dc_) savedClipSet_ = dc_->GetClipRegion(savedClip_);
}

void TUloCanvas::RestoreSavedClip() {
  if (!dc_) return;
  if (savedClipSet_)
    dc_->SelectClipRegion(savedClip_);
  else
    dc_->RemoveClip();
  savedClipSet_ = false;
}

void TUloCanvas::ClipToRoundRect(const TRect &rect, int size) {
  CombineClip(gdi::Region::FromRoundRect({rect.Left, rect.Top, rect.Right, rect.Bottom}, size, size),
              gdi::RegionOp::And, true);
}

void TUloCanvas::ClipToEllipse(const TRect &rect, bool invert) {
  const gdi::Region region = gdi::Region::FromEllipse({rect.Left, rect.Top, rect.Right, rect.Bottom});
  if (invert)
    CombineClip(region, gdi::RegionOp::Xor, false);
  else
    CombineClip(region, gdi::RegionOp::And, true);
}

void TUloCanvas::ClipToPolygon(std::span<const TPoint> points, bool exclude) {
  std::vector<gdi::Point> device(points.size());
  for (std::size_t i = 0; i < points.size(); ++i)
    device[i] = {points[i].X, points[i].Y};
  CombineClip(gdi::Region::FromPolygon(device, gdi::PolyFillMode::Alternate),
              exclude ? gdi::RegionOp::Diff : gdi::RegionOp::And, true);
}

// ---- the 3D layer -------------------------------------------------------------------

void TCanvas3D::CopySettings(TCanvas3D &other) {
  SetMonochrome(other.GetMonochrome());
  view3DOptions_ = other.view3DOptions_;
}

void TCanvas3D::HorizontalLineAtDepth(int left, int right, int y, int z) {
  MoveToAtDepth(left, y, z);
  LineToAtDepth(right, y, z);
}

void TCanvas3D::VerticalLineAtDepth(int x, int top, int bottom, int z) {
  MoveToAtDepth(x, top, z);
  LineToAtDepth(x, bottom, z);
}

void TCanvas3D::DepthLine(int x, int y, int z0, int z1) {
  MoveToAtDepth(x, y, z0);
  LineToAtDepth(x, y, z1);
}

void TCanvas3D::PushSuspendProjection() {
  if (suspendCount_ == 0) SuspendProjection();
  ++suspendCount_;
}

void TCanvas3D::PopSuspendProjection() {
  // An unmatched pop must not push the counter below zero and leave the
  // next push unable to suspend.
  if (suspendCount_ == 0) return;
  if (--suspendCount_ == 0) ResumeProjection();
}

void TCanvas3D::LineAtDepth(int x0, int y0, int x1, int y1, int z) {
  MoveToAtDepth(x0, y0, z);
  LineToAtDepth(x1, y1, z);
}

void TCanvas3D::MoveToAtDepth(int x, int y, int z) {
  const TPoint p = ProjectPoint(x, y, z);
  MoveTo(p.X, p.Y);
}

void TCanvas3D::LineToAtDepth(int x, int y, int z) {
  const TPoint p = ProjectPoint(x, y, z);
  LineTo(p.X, p.Y);
}

void TCanvas3D::PolygonAtDepth(std::span<const TPoint> points, int z) {
  scratch_.resize(points.size());
  for (std::size_t i = 0; i < points.size(); ++i)
    scratch_[i] = ProjectPoint(points[i].X, points[i].Y, z);
  Polygon(scratch_);
}

void TCanvas3D::PolylineAtDepth(std::span<const TPoint> points, int z) {
  scratch_.resize(points.size());
  for (std::size_t i = 0; i < points.size(); ++i)
    scratch_[i] = ProjectPoint(points[i].X, points[i].Y, z);
  Polyline(scratch_);
}

void TCanvas3D::CircleAtDepth(int x, int y, int z, double radius) {
  const int r = UloPixel(radius);
  EllipseAtDepth(x - r, y - r, x + r, y + r, z);
}

void TCanvas3D::ProjectRectCorners(const TRect &r, int z, TPoint &topLeft, TPoint &bottomRight) {
  topLeft = ProjectPoint(r.Left, r.Top, z);
  bottomRight = ProjectPoint(r.Right, r.Bottom, z);
}

TFourPoints TCanvas3D::ProjectRectQuad(const TRect &r, int z) {
  return TFourPoints{ProjectPoint(r.Left, r.Top, z), ProjectPoint(r.Right, r.Top, z),
                     ProjectPoint(r.Right, r.Bottom, z), ProjectPoint(r.Left, r.Bottom, z)};
}

TRect TCanvas3D::ProjectedRectBounds(const TRect &r, int z) {
  const TFourPoints q = ProjectRectQuad(r, z);
  return PointsBoundingRect(q);
}
