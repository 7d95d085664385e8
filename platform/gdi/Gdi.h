// The device-context drawing layer: pens, brushes, fonts, regions, bitmaps
// and the drawing calls the chart canvas is built on.
//
// Every surface is a 32-bit image without alpha (bytes blue, green, red,
// unused), so that exclusive-or drawing toggles colours exactly. Coordinates
// are 32-bit pixels; logical and device pixels are the same; the resolution is
// 96 pixels per inch everywhere, so layout and tests do not depend on the
// machine. Shapes are never antialiased and follow the classic pixel rules:
//   - rectangles given as (Left, Top, Right, Bottom) exclude Right and Bottom;
//   - a cosmetic line leaves out its last pixel;
//   - with no pen, Rectangle, Ellipse and RoundRect fill one pixel less in
//     width and height than with a one-pixel pen;
//   - a polygon fill excludes its right and bottom edges;
//   - the raster operation applies to lines and to the outline and interior
//     of shapes, combining each covered pixel exactly once per call, and never
//     to FillRect, pattern fills, blits, text or SetPixel.
// Colours are TColor (0x00BBGGRR); system colours are resolved through
// ColorToRGB before use; clNone and clDefault are never drawn (a pen, brush or
// pixel in one of them draws nothing).
//
// Text needs a QGuiApplication to exist; the layer never creates one.
#pragma once

#include "platform/rtl/Colors.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gdi {

// ---------------------------------------------------------------- constants

constexpr int32_t kPixelsPerInch = 96;
// Coordinates beyond this are not drawn reliably; callers clamp to it.
constexpr int32_t kMaxPixel = 0x3FFFFFF;

// ---------------------------------------------------------------- geometry

// Same layout as two int32 values x, y, so arrays pass without copying.
struct Point {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const Point &, const Point &) = default;
};

struct Size {
  int32_t cx = 0;
  int32_t cy = 0;
  friend bool operator==(const Size &, const Size &) = default;
};

// Right and Bottom are exclusive.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  friend bool operator==(const Rect &, const Rect &) = default;
};

// ---------------------------------------------------------------- pens

enum class PenStyle {
  Solid,
  Dash,        // 18 on, 6 off (scaled by the width for geometric pens)
  Dot,         // 3 on, 3 off
  DashDot,     // 9, 6, 3, 6
  DashDotDot,  // 9, 3, 3, 3, 3, 3
  Clear,       // draws nothing
  InsideFrame, // solid; closed figures shrink so the stroke stays inside the box
  Alternate,   // cosmetic: every other pixel
  UserStyle,   // geometric: Dashes (on, off, on, off...) in pixels
};

enum class PenEndCap { Round, Square, Flat };
enum class PenJoin { Round, Bevel, Miter };

// A pen is cosmetic (one pixel, caps and joins ignored) when its width is at
// most 1 and it is not Geometric; otherwise it is geometric: centred on the
// path with the given caps and joins.
struct Pen {
  PenStyle Style = PenStyle::Solid;
  int32_t Width = 1;
  TColor Color = clBlack;
  bool Geometric = false;
  PenEndCap Cap = PenEndCap::Round;
  PenJoin Join = PenJoin::Round;
  std::vector<uint32_t> Dashes; // UserStyle only; a dash of 0 is a dot one pixel wide
  // Takes its colour from the device context's pen colour (SetDevicePenColor)
  // at each call, so one pen serves per-element colours without reselecting.
  bool UseDeviceColor = false;

  static Pen Solid(TColor color, int32_t width = 1) {
    Pen p;
    p.Color = color;
    p.Width = width;
    return p;
  }
  static Pen Null() {
    Pen p;
    p.Style = PenStyle::Clear;
    return p;
  }
  static Pen DeviceColor() {
    Pen p;
    p.UseDeviceColor = true;
    return p;
  }
  bool IsCosmetic() const { return !Geometric && Width <= 1; }
  friend bool operator==(const Pen &, const Pen &) = default;
};

// ---------------------------------------------------------------- brushes

enum class BrushStyle { Solid, Clear, Hatched, Pattern };

// Eight-pixel hatches tiled from the surface origin.
enum class HatchStyle {
  Horizontal, // -----
  Vertical,   // |||||
  FDiagonal,  // \\\\\ (top left to bottom right)
  BDiagonal,  // ///// (bottom left to top right)
  Cross,      // +++++
  DiagCross,  // xxxxx
};

class Bitmap;
struct PatternData;

// Hatch lines take Color; the gaps between them take the background colour
// when the background mode is opaque and are left untouched when transparent.
// A pattern brush tiles its bitmap from the surface origin (0, 0); a
// monochrome pattern draws its black pixels in the text colour and its white
// pixels in the background colour.
struct Brush {
  BrushStyle Style = BrushStyle::Solid;
  TColor Color = clWhite;
  HatchStyle Hatch = HatchStyle::Horizontal;
  std::shared_ptr<const PatternData> PatternImage; // Pattern only; immutable copy
  // Takes its colour from SetDeviceBrushColor at each call (solid only).
  bool UseDeviceColor = false;

  static Brush Solid(TColor color) {
    Brush b;
    b.Color = color;
    return b;
  }
  static Brush Null() {
    Brush b;
    b.Style = BrushStyle::Clear;
    return b;
  }
  static Brush Hatched(HatchStyle hatch, TColor color) {
    Brush b;
    b.Style = BrushStyle::Hatched;
    b.Hatch = hatch;
    b.Color = color;
    return b;
  }
  // Copies the bitmap's pixels; the brush stays valid after the bitmap goes.
  static Brush Pattern(const Bitmap &bitmap, bool monochrome);
  static Brush DeviceColor() {
    Brush b;
    b.UseDeviceColor = true;
    return b;
  }
  friend bool operator==(const Brush &, const Brush &) = default;
};

// ---------------------------------------------------------------- fonts

enum class FontQuality { Default, Draft, Proof, NonAntialiased, Antialiased, ClearType };

constexpr int32_t kFontWeightNormal = 400;
constexpr int32_t kFontWeightBold = 700;

// Face names are mapped onto installed metric-compatible faces: Arial and
// MS Sans Serif -> Liberation Sans, Times New Roman -> Liberation Serif,
// Courier New -> Liberation Mono, Tahoma and Verdana -> DejaVu Sans. A face
// that is not installed falls back to DejaVu Sans. Glyphs are drawn without
// antialiasing and fully hinted whatever Quality says, so text comes out the
// same on every machine.
struct Font {
  std::string Face = "Arial";
  // Negative: the em height in pixels; positive: the cell height (ascent plus
  // descent) in pixels; 0: the default of 12 pixels em.
  int32_t Height = -11;
  int32_t Weight = kFontWeightNormal; // 1..1000; 0 means normal
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  int32_t Escapement = 0; // tenths of a degree, counter-clockwise
  FontQuality Quality = FontQuality::Default;
  uint8_t CharSet = 1; // kept for callers that store it; not used
  friend bool operator==(const Font &, const Font &) = default;
};

// The height for a size in points at 96 pixels per inch: -(points * 96 / 72),
// rounded (8 points -> -11).
int32_t FontHeightFromPoints(int32_t points);
// Points from a height (either sign), rounded: -11 -> 8.
int32_t FontPointsFromHeight(int32_t height);

struct TextMetrics {
  int32_t Height = 0; // Ascent + Descent
  int32_t Ascent = 0;
  int32_t Descent = 0;
  int32_t InternalLeading = 0; // Height - em height
  int32_t ExternalLeading = 0;
  int32_t AveCharWidth = 0;
  int32_t MaxCharWidth = 0;
  int32_t Weight = kFontWeightNormal;
  bool Italic = false;
  bool Underlined = false;
  bool StruckOut = false;
};

// ---------------------------------------------------------------- device state values

enum class BkMode { Transparent = 1, Opaque = 2 };

// Binary raster operations between the pen or brush colour P and the
// destination D. The numbering is the 1-based truth-table code.
enum class RasterOp {
  Black = 1,   // 0
  NotMergePen, // ~(D | P)
  MaskNotPen,  // D & ~P
  NotCopyPen,  // ~P
  MaskPenNot,  // P & ~D
  Not,         // ~D
  XorPen,      // D ^ P
  NotMaskPen,  // ~(D & P)
  MaskPen,     // D & P
  NotXorPen,   // ~(D ^ P)
  Nop,         // D
  MergeNotPen, // D | ~P
  CopyPen,     // P (the default)
  MergePenNot, // P | ~D
  MergePen,    // D | P
  White,       // 1
};

// Applies a raster operation to one 0x00RRGGBB or 0x00BBGGRR pixel (the
// formula works bitwise, so either layout); the top byte of the result is 0.
uint32_t ApplyRasterOp(RasterOp op, uint32_t dest, uint32_t pen);

enum class PolyFillMode { Alternate = 1, Winding = 2 };

// Text alignment flags (combine one horizontal and one vertical). Centre
// contains the Right bit: test (flags & kAlignCenter) == kAlignCenter first.
constexpr uint32_t kAlignLeft = 0;
constexpr uint32_t kAlignRight = 2;
constexpr uint32_t kAlignCenter = 6;
constexpr uint32_t kAlignTop = 0;
constexpr uint32_t kAlignBottom = 8;
constexpr uint32_t kAlignBaseline = 24;
constexpr uint32_t kAlignUpdatePosition = 1; // kept, not used

// Options of ExtTextOut.
constexpr uint32_t kTextOpaque = 2;  // fill the given rectangle with the background colour first
constexpr uint32_t kTextClipped = 4; // clip the text to the given rectangle

// Ternary raster operations for blits: the truth table over pattern P
// (bit 2), source S (bit 1) and destination D (bit 0) of the index, in the
// usual 8-bit form. Any code works; these are the named ones.
enum class Rop3 : uint8_t {
  Blackness = 0x00,
  NotSrcErase = 0x11, // ~(S | D)
  NotSrcCopy = 0x33,  // ~S
  SrcErase = 0x44,    // S & ~D
  DstInvert = 0x55,   // ~D
  PatInvert = 0x5A,   // P ^ D
  SrcInvert = 0x66,   // S ^ D
  SrcAnd = 0x88,      // S & D
  MergePaint = 0xBB,  // ~S | D
  MergeCopy = 0xC0,   // P & S
  SrcCopy = 0xCC,     // S
  SrcPaint = 0xEE,    // S | D
  PatCopy = 0xF0,     // P
  PatPaint = 0xFB,    // P | ~S | D
  Whiteness = 0xFF,
};

// Combining a region with the clip (or another region).
enum class RegionOp { And, Or, Xor, Diff, Copy };

// ---------------------------------------------------------------- regions

struct RegionImpl;

// A set of pixels. Rectangle arguments exclude Right and Bottom. An ellipse
// or rounded region of (l, t, r, b) covers exactly what Ellipse or RoundRect
// of (l, t, r + 1, b + 1) fills with no pen, and a polygon region what
// Polygon fills, so clipping to a shape and filling it agree.
class Region {
public:
  Region(); // empty
  ~Region();
  Region(const Region &);
  Region &operator=(const Region &);
  Region(Region &&) noexcept;
  Region &operator=(Region &&) noexcept;

  static Region FromRect(const Rect &r);
  static Region FromRoundRect(const Rect &r, int32_t cornerWidth, int32_t cornerHeight);
  static Region FromEllipse(const Rect &r);
  static Region FromPolygon(std::span<const Point> points, PolyFillMode mode = PolyFillMode::Alternate);

  // this = this op other (Copy: this = other).
  void Combine(const Region &other, RegionOp op);
  void Offset(int32_t dx, int32_t dy);
  bool IsEmpty() const;
  Rect Bounds() const; // empty rect of zeros when empty
  bool Contains(int32_t x, int32_t y) const;
  bool operator==(const Region &other) const;
  // The region as disjoint rectangles, top to bottom.
  std::vector<Rect> Rects() const;

  RegionImpl &Impl() { return *impl_; }
  const RegionImpl &Impl() const { return *impl_; }

private:
  std::unique_ptr<RegionImpl> impl_;
};

// ---------------------------------------------------------------- bitmaps

class DeviceContext;
struct BitmapImpl;

// An off-screen 32-bit surface. A new or resized bitmap is all white. Each
// bitmap owns the one device context that draws on it.
//
// Pixel rows: ScanLine(y) gives Width() values 0x00RRGGBB (bytes in memory:
// blue, green, red, unused); Pixel and SetPixel speak TColor.
class Bitmap {
public:
  Bitmap();
  Bitmap(int32_t width, int32_t height);
  virtual ~Bitmap();
  Bitmap(const Bitmap &) = delete;
  Bitmap &operator=(const Bitmap &) = delete;
  Bitmap(Bitmap &&) noexcept;
  Bitmap &operator=(Bitmap &&) noexcept;

  int32_t Width() const;
  int32_t Height() const;
  bool IsEmpty() const { return Width() <= 0 || Height() <= 0; }
  // New size, all white; the device context keeps its state (pen, brush,
  // font, colours) but loses its clip region.
  void SetSize(int32_t width, int32_t height);
  // A copy of the pixels and the monochrome mark, without the drawing state.
  Bitmap Clone() const;
  // Makes this bitmap a copy of a rectangle of another (clamped to it).
  void CopyFrom(const Bitmap &source, const Rect &area);

  uint32_t *ScanLine(int32_t y);
  const uint32_t *ScanLine(int32_t y) const;
  // The colour at (x, y), or 0xFFFFFFFF outside the bitmap.
  TColor Pixel(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, TColor color);
  void Fill(TColor color);

  // A monochrome bitmap has only black and white pixels; as a pattern brush
  // its black pixels take the text colour and its white the background.
  bool Monochrome() const;
  void SetMonochrome(bool value);

  // Reads BMP, PNG or JPEG (by content). On failure leaves the bitmap
  // unchanged and raises rtl::EInOutError with a readable message.
  void LoadFromFile(const std::string &path);
  void LoadFromMemory(std::span<const uint8_t> bytes);
  // Writes PNG or BMP by the file's extension, through a temporary file so
  // that no half-written file remains; raises rtl::EInOutError.
  void SaveToFile(const std::string &path) const;

  DeviceContext &DC();

  BitmapImpl &Impl() { return *impl_; }
  const BitmapImpl &Impl() const { return *impl_; }

protected:
  std::unique_ptr<BitmapImpl> impl_;
};

// A window's kept surface. Drawing reaches the screen when the window's paint
// event copies the surface there (platform/gdi/QtSurface.h). Drawing outside a
// paint event (feedback such as a zoom rectangle or cursor lines) calls
// OnChanged once, so the window can schedule its repaint; during a paint event
// (between BeginPaint and EndPaint) it does not.
class WindowSurface : public Bitmap {
public:
  WindowSurface();
  WindowSurface(int32_t width, int32_t height);
  ~WindowSurface() override;

  std::function<void()> OnChanged;

  void BeginPaint();
  void EndPaint();
  bool Painting() const;
};

// ---------------------------------------------------------------- device context

// The drawing state and calls on one bitmap or window surface. Obtained from
// Bitmap::DC(); lives as long as its bitmap.
class DeviceContext {
public:
  explicit DeviceContext(Bitmap &target);
  ~DeviceContext();
  DeviceContext(const DeviceContext &) = delete;
  DeviceContext &operator=(const DeviceContext &) = delete;

  Bitmap &Target() { return *target_; }
  int32_t Width() const;
  int32_t Height() const;

  // ---- state. Each setter returns the previous value.
  Pen SelectPen(const Pen &pen);
  const Pen &CurrentPen() const;
  Brush SelectBrush(const Brush &brush);
  const Brush &CurrentBrush() const;
  Font SelectFont(const Font &font);
  const Font &CurrentFont() const;

  TColor SetTextColor(TColor color);
  TColor TextColor() const;
  TColor SetBkColor(TColor color);
  TColor BkColor() const;
  BkMode SetBkMode(BkMode mode);
  BkMode GetBkMode() const;
  uint32_t SetTextAlign(uint32_t flags);
  uint32_t TextAlign() const;
  // Extra pixels after every character, counted in the text extent.
  int32_t SetTextCharacterExtra(int32_t extra);
  int32_t TextCharacterExtra() const;
  RasterOp SetRasterOp(RasterOp op);
  RasterOp GetRasterOp() const;
  PolyFillMode SetPolyFillMode(PolyFillMode mode);
  PolyFillMode GetPolyFillMode() const;
  // The colours of Brush::DeviceColor() and Pen::DeviceColor().
  TColor SetDeviceBrushColor(TColor color);
  TColor DeviceBrushColor() const;
  TColor SetDevicePenColor(TColor color);
  TColor DevicePenColor() const;

  // Pushes the whole state (objects, colours, modes, clip, position, path
  // excluded) and returns the new depth (1 for the first save).
  int32_t Save();
  // level > 0: back to the state saved at that depth; level < 0: that many
  // saves back. False (nothing changed) when there is no such state.
  bool Restore(int32_t level = -1);
  // Back to the defaults of a new context: black cosmetic pen, white solid
  // brush, the default font, black text on a white background in opaque
  // mode, copy raster operation, left/top alignment, alternate fill, no clip,
  // position (0, 0), device pen black and device brush white.
  void ResetState();

  // ---- lines and shapes
  Point MoveTo(int32_t x, int32_t y);
  Point CurrentPosition() const;
  // From the current position up to (x, y), which a cosmetic pen leaves out;
  // a geometric pen draws the whole stroke with its caps. (x, y) becomes the
  // current position.
  void LineTo(int32_t x, int32_t y);
  // Each segment as LineTo; the current position is neither used nor changed.
  void Polyline(std::span<const Point> points);
  // Closed; filled with the brush by the poly-fill mode and outlined with the pen.
  void Polygon(std::span<const Point> points);
  void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // Corners are quarter-ellipses cornerWidth wide and cornerHeight high.
  void RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t cornerWidth, int32_t cornerHeight);
  void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // The ellipse of the box, counter-clockwise on screen from where the ray from
  // the centre through (xStart, yStart) meets it to where the ray through
  // (xEnd, yEnd) meets it; equal rays give the whole ellipse. Pie adds the two
  // radii and fills; Chord joins the ends with a straight line and fills.
  void Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart, int32_t yStart, int32_t xEnd,
           int32_t yEnd);
  void Pie(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart, int32_t yStart, int32_t xEnd,
           int32_t yEnd);
  void Chord(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart, int32_t yStart, int32_t xEnd,
             int32_t yEnd);
  // As Arc, but first a line from the current position to the arc's start;
  // the arc's end becomes the current position.
  void ArcTo(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart, int32_t yStart, int32_t xEnd,
             int32_t yEnd);

  // Fills exactly left..right-1 x top..bottom-1 with the brush; no pen and no
  // raster operation. An empty or reversed rectangle draws nothing.
  void FillRect(const Rect &r, const Brush &brush);
  void FillRect(const Rect &r); // the current brush
  // A rectangle combined with the current brush by a pattern operation
  // (PatCopy, PatInvert, DstInvert, Blackness, Whiteness or any code that does
  // not use a source). Negative width or height extend left or up.
  void PatBlt(int32_t x, int32_t y, int32_t width, int32_t height, Rop3 op);

  // The colour at (x, y), or 0xFFFFFFFF outside the surface or the clip.
  TColor GetPixel(int32_t x, int32_t y) const;
  // Exactly one pixel, clipped; no raster operation.
  void SetPixel(int32_t x, int32_t y, TColor color);

  // ---- text (UTF-8). Text colour; background by the mode; no raster operation.
  // (x, y) is the reference point chosen by the alignment flags; with an
  // escapement the text turns counter-clockwise about it.
  void TextOut(int32_t x, int32_t y, std::string_view text);
  // With kTextOpaque the rectangle is filled with the background colour first;
  // with kTextClipped the text is clipped to it. rect may be null otherwise.
  void ExtTextOut(int32_t x, int32_t y, uint32_t options, const Rect *rect, std::string_view text);
  // Sum of advances plus the character extra per character; ascent + descent.
  Size TextExtent(std::string_view text) const;
  TextMetrics GetTextMetrics() const;

  // ---- paths. Between BeginPath and EndPath, MoveTo, LineTo, ArcTo,
  // Polyline, Polygon, Rectangle, Ellipse and TextOut record instead of
  // drawing. The recorded path is consumed by the calls below.
  void BeginPath();
  void EndPath();
  void AbortPath();
  void CloseFigure();
  // Replaces the path by the area the current pen would paint along it.
  void WidenPath();
  void StrokePath();
  void FillPath();
  void StrokeAndFillPath();
  // Combines the clip with the filled path (exactly the pixels FillPath paints).
  void SelectClipPath(RegionOp op);
  Region PathToRegion();
  bool InPath() const;

  // ---- clipping. Combining with no clip combines with the whole surface,
  // so Diff and Xor on an unclipped surface mean "everything except".
  void SelectClipRegion(const Region &region); // a copy becomes the clip
  void RemoveClip();
  void CombineClip(const Region &region, RegionOp op);
  void IntersectClipRect(const Rect &r);
  void ExcludeClipRect(const Rect &r);
  // False and out emptied when there is no clip.
  bool GetClipRegion(Region &out) const;
  bool HasClip() const;
  // The bounds of the clip, or of the surface when there is none.
  Rect ClipBox() const;

  // ---- blits (clipped; the source may be this context's own bitmap).
  void BitBlt(int32_t x, int32_t y, int32_t width, int32_t height, const Bitmap &source, int32_t sourceX,
              int32_t sourceY, Rop3 op = Rop3::SrcCopy);
  // Nearest-neighbour scaling of sourceRect onto destRect; a negative width
  // or height of either mirrors.
  void StretchBlt(const Rect &destRect, const Bitmap &source, const Rect &sourceRect, Rop3 op = Rop3::SrcCopy);
  // As StretchBlt with SrcCopy, leaving out source pixels of the transparent colour.
  void TransparentBlt(const Rect &destRect, const Bitmap &source, const Rect &sourceRect, TColor transparent);
  // Constant-alpha blend, per channel (S * alpha + D * (255 - alpha) + 127) / 255,
  // with nearest-neighbour scaling when the sizes differ.
  void AlphaBlend(const Rect &destRect, const Bitmap &source, const Rect &sourceRect, uint8_t alpha);

  // A 13 x 13 check box (or radio button) frame with its top-left at (x, y).
  void DrawCheckFrame(int32_t x, int32_t y, bool checkBox, bool checked);

  // Ends any open drawing so the bitmap's pixels may be read or copied by
  // other means; drawing resumes by itself on the next call.
  void Flush();

  // The layer's own internals.
  struct State;
  struct Impl;

private:
  Bitmap *target_;
  std::unique_ptr<Impl> impl_;
};

} // namespace gdi
