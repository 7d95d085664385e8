// The drawing interface every chart element draws through: TUloCanvas for
// two-dimensional drawing and TCanvas3D for drawing at a depth through the
// chart's 3D projection. TUloCanvas3D is the implementation over the
// device-context layer.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chart/foundation/UloGeometry.h"
#include "chart/foundation/UloGradient.h"
#include "chart/foundation/UloPens.h"
#include "chart/foundation/UloShadow.h"
#include "chart/foundation/View3D.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Colors.h"

class TUloBlend;

// New size for an off-screen image (all white again).
void ResizeBitmap(gdi::Bitmap &bitmap, int width, int height);

// Background modes.
constexpr int UloTransparentMode = 1;
constexpr int UloOpaqueMode = 2;

class TUloCanvas {
public:
  TUloCanvas();
  TUloCanvas(const TUloCanvas &) = delete;
  TUloCanvas &operator=(const TUloCanvas &) = delete;
  virtual ~TUloCanvas();

  // ---- device state
  virtual TColor GetBkColor() const = 0;
  // UloTransparentMode or UloOpaqueMode.
  virtual int GetBkMode() const = 0;
  // The bound device; null before the first binding.
  virtual gdi::DeviceContext *GetHandle() const = 0;
  virtual bool GetMonochrome() const = 0;
  virtual TColor GetPixel(int x, int y) const = 0;
  // When true, ApplyPenColor never builds the extended pens.
  virtual bool CapabilityFlagA() const = 0;
  virtual int GetTextAlign() const = 0;
  virtual bool GetBuffered() const = 0;
  virtual void SetBkColor(TColor color) = 0;
  virtual void SetBkMode(int mode) = 0;
  virtual void SetMonochrome(bool value) = 0;
  virtual void SetPixel(int x, int y, TColor color) = 0;
  virtual void SetTextAlign(int flags) = 0;
  virtual void SetBuffered(bool value) = 0;

  // ---- pens and transparency
  // Selects Pen in Color: chart pens with their visibility, small dots and
  // end caps; black on a monochrome canvas.
  virtual void ApplyPenColor(const TPen &pen, TColor color);
  // Stores Transparency and 127 for EndTransparentDrawing and returns the
  // captured background of Rect.
  virtual std::unique_ptr<TUloBlend> BeginTransparentDrawing(const TRect &rect, int transparency);
  // Mixes the captured background back with the stored transparency.
  virtual void EndTransparentDrawing(std::unique_ptr<TUloBlend> blend);

  // ---- drawing
  // The elliptic arc in the box from the ray through (X3, Y3) to the ray
  // through (X4, Y4), counter-clockwise.
  virtual void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
  // The arc between two angles in degrees, counter-clockwise from the
  // positive X direction.
  virtual void ArcByAngles(int left, int top, int right, int bottom, double startAngle, double endAngle);
  // The filled segment of a ring about (XCenter, YCenter) between the inner
  // and outer radii, from StartAngle to EndAngle (degrees, counter-clockwise).
  virtual void RingSegment(int xCenter, int yCenter, int outerXRadius, int outerYRadius, int innerXRadius,
                           int innerYRadius, double startAngle, double endAngle) = 0;
  // Nothing for a null or empty graphic.
  virtual void Draw(int x, int y, const gdi::Bitmap *graphic) = 0;
  virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
  virtual void FillRect(const TRect &rect) = 0;
  // A raised or sunken frame Width pixels wide; Rect comes back inset by it.
  virtual void BevelFrame(TRect &rect, TColor topColor, TColor bottomColor, int width);
  virtual void LineTo(int x, int y) = 0;
  virtual void MoveTo(int x, int y) = 0;
  virtual void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
  virtual void Rectangle(int x0, int y0, int x1, int y1) = 0;
  virtual void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) = 0;
  // Nothing for a null graphic.
  virtual void StretchDraw(const TRect &rect, const gdi::Bitmap *graphic) = 0;
  virtual void TextOut(int x, int y, std::string_view text) = 0;
  // The extent in the bound font, widened by a visible shadow of the
  // current chart font; never scaled by the 3D zoom.
  virtual int MeasureTextWidth(std::string_view text);
  virtual int MeasureTextHeight(std::string_view text);
  virtual int MeasureWideTextWidth(std::u32string_view text);
  virtual int MeasureWideTextHeight(std::u32string_view text);

  // ---- clipping. One level is saved: RemoveClip returns to the clip
  // before the last clipping call.
  virtual void ClipToRect(const TRect &rect) = 0;
  virtual void ClipToRoundRect(const TRect &rect, int size);
  // Invert combines by exclusive-or and saves nothing.
  virtual void ClipToEllipse(const TRect &rect, bool invert = false);
  // Exclude removes the polygon from the clip instead of intersecting.
  virtual void ClipToPolygon(std::span<const TPoint> points, bool exclude = false);

  virtual void HorizontalLine(int left, int right, int y);
  virtual void VerticalLine(int x, int top, int bottom);
  virtual void FillBackground(const TRect &rect) = 0;
  virtual void FillGradient(const TRect &rect, TColor startColor, TColor endColor, TGradientDirection direction,
                            int balance = 50, int radialX = 0, int radialY = 0) = 0;
  // The kept image no longer shows the chart.
  virtual void MarkForRedraw() = 0;
  virtual void DrawLine(int x0, int y0, int x1, int y1);
  virtual void Polyline(std::span<const TPoint> points) = 0;
  virtual void Polygon(std::span<const TPoint> points) = 0;
  virtual void GradientPolygon(std::span<const TPoint> points, TCustomUloGradient &gradient);
  // Turned by Angle degrees counter-clockwise.
  virtual void RotatedTextOut(int x, int y, std::string_view text, double angle) = 0;
  virtual void RemoveClip() = 0;

  // ---- helpers over the operations above
  // The height of "W".
  int StandardTextHeight();
  // Black solid pen of width 1, white solid brush, the default font, no
  // pending transparency and no chart font; white transparent background,
  // alignment 0.
  void ResetDefaults();
  // The brush in its own colour over its background colour.
  void ApplyBrush(const TBrush &brush);
  // The brush in Color over its background colour.
  void ApplyBrushColor(const TBrush &brush, TColor color);
  void ApplyBrushColors(const TBrush &brush, TColor color, TColor backColor);
  void ApplyPen(const TPen &pen) { ApplyPenColor(pen, pen.Color()); }
  // Color darkened by Amount as the brush colour (solid brushes) or the
  // background colour (hatches show it between their lines).
  void ApplyDarkBrushColor(TColor color, int amount);
  void ApplyFont(TFont &font);
  void RectangleOfRect(const TRect &r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void EllipseOfRect(const TRect &r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  void MoveToPoint(const TPoint &p) { MoveTo(p.X, p.Y); }
  void LineToPoint(const TPoint &p) { LineTo(p.X, p.Y); }
  void DrawLineP(const TPoint &p0, const TPoint &p1) { DrawLine(p0.X, p0.Y, p1.X, p1.Y); }
  // Through the rich-text formatter when AllowHtml.
  void TextOutMaybeRich(int x, int y, const std::string &text, bool allowHtml);

  // The canvas's own pen, brush and font; what they hold is what draws.
  TPen &Pen() noexcept { return pen_; }
  TBrush &Brush() noexcept { return brush_; }
  TFont &Font() noexcept { return font_; }
  double FontZoom() const noexcept { return fontZoom_; }
  void SetFontZoom(double value) noexcept { fontZoom_ = value; }
  // The chart font applied last (its shadow widens measured text).
  TUloFont *CurrentChartFont() const noexcept { return chartFont_; }
  // The rectangle given to the last binding.
  const TRect &Bounds() const noexcept { return bounds_; }
  int PendingTransparency() const noexcept { return pendingTransparency_; }

protected:
  // The pen, brush and font reach the device only when they changed since
  // they were last selected; every drawing call asks for them first.
  void SelectDevicePen();
  void SelectDeviceBrush();
  void SelectDeviceFont();
  // After binding another device nothing is known to be selected on it.
  void DeviceChanged() noexcept;
  // The device region operations behind the clipping calls.
  void CombineClip(const gdi::Region &region, gdi::RegionOp op, bool saveFirst);
  // Keeps the device clip for RestoreSavedClip.
  void SaveClip();
  void RestoreSavedClip();

  gdi::DeviceContext *dc_ = nullptr;
  TRect bounds_;

private:
  friend class TUloFont;
  void PenChanged() noexcept;
  void BrushChanged() noexcept;
  void ForgetChartFont(const TUloFont *font) noexcept;
  // Makes Font the current chart font (null: none), keeping the font's
  // list of canvases in step.
  void SetChartFont(TUloFont *font);
  void TextExtent(std::string_view text, int &width, int &height);

  TFont font_;
  TPen pen_;
  TBrush brush_;
  int pendingTransparency_ = 0;
  TUloFont *chartFont_ = nullptr;
  double fontZoom_ = 100.0;

  // What ApplyPenColor and ApplyBrushColors gave the device beyond the pen
  // and brush settings; dropped when the pen or brush is changed otherwise.
  bool extendedPen_ = false;
  bool smallDots_ = false;
  int smallSpace_ = 0;
  TPenEndStyle endStyle_ = TPenEndStyle::esRound;
  bool applying_ = false;
  bool patternBrush_ = false;
  gdi::Brush pattern_;
  bool penDirty_ = true, brushDirty_ = true, fontDirty_ = true;

  // The clip before the last clipping call.
  gdi::Region savedClip_;
  bool savedClipSet_ = false;
};

class TCanvas3D : public TUloCanvas {
public:
  TCanvas3D() = default;

  TView3DOptions *View3DOptions() const noexcept { return view3DOptions_; }
  void SetView3DOptions(TView3DOptions *options) noexcept { view3DOptions_ = options; }
  // The projection of the current paint.
  const TProjection &Projection() const noexcept { return projection_; }
  bool IsOrthogonal() const noexcept { return projection_.orthogonal; }
  bool Is3D() const noexcept { return projection_.is3D; }
  int XCenter() const noexcept { return projection_.XC; }
  int YCenter() const noexcept { return projection_.YC; }
  int ZCenter() const noexcept { return projection_.ZC; }

  virtual void ReservedHookA() {}
  virtual void ReservedHookB() {}
  virtual TColor GetPixelAt3D(int x, int y, int z) = 0;
  virtual bool CapabilityFlagB() const = 0;
  virtual void SetPixelAt3D(int x, int y, int z, TColor color) = 0;
  // Screen X, Y back to chart X, Y at depth Z.
  virtual void ScreenTo3D(int &x, int &y, int z) = 0;
  virtual TPoint ProjectPoint(int x, int y, int z) = 0;
  // Binds the canvas to Dest for one paint and returns the rectangle to
  // draw in: (0, 0, width, height) of the off-screen image when buffered,
  // else Rect. BackColor, when a real colour, is what a new or resized
  // off-screen image starts as instead of white.
  virtual TRect PrepareTarget(gdi::DeviceContext *dest, TView3DOptions *options, const TRect &rect, bool is3D,
                              TColor backColor = clNone) = 0;
  // The other canvas's monochrome flag and view options.
  virtual void CopySettings(TCanvas3D &other);
  virtual void SetupProjection(int maxDepth, const TRect &rect) = 0;
  // Copies the finished image to Dest at Rect's top-left and binds Default.
  virtual void PresentBuffer(gdi::DeviceContext *dest, gdi::DeviceContext *defaultCanvas, const TRect &rect) = 0;
  // When nothing needs redrawing, copies the kept image to the bound device
  // and returns true.
  virtual bool RepaintFromBuffer() = 0;
  virtual void DrawArrow(bool filled, const TPoint &fromPoint, const TPoint &toPoint, int headWidth, int headHeight,
                         int z, double sizePercent) = 0;
  virtual void ClipToBox(const TRect &rect, int minZ, int maxZ) = 0;
  virtual void DrawCone(bool vertical, int left, int top, int right, int bottom, int z0, int z1, bool darkCover,
                        int conePercent) = 0;
  // Note the order Left, Right, Top, Bottom.
  virtual void DrawBox(int left, int right, int top, int bottom, int z0, int z1, bool darkSides) = 0;
  virtual void DrawCylinder(bool vertical, int left, int top, int right, int bottom, int z0, int z1,
                            bool darkCover) = 0;
  virtual void SuspendProjection() {}
  virtual void EllipseAtDepth(int x1, int y1, int x2, int y2, int z) = 0;
  virtual void ResumeProjection() {}
  virtual void HorizontalLineAtDepth(int left, int right, int y, int z);
  virtual void VerticalLineAtDepth(int x, int top, int bottom, int z);
  virtual void DepthLine(int x, int y, int z0, int z1);
  // Nested pairs: only the outermost suspends and resumes.
  virtual void PushSuspendProjection();
  virtual void PopSuspendProjection();
  virtual void LineAtDepth(int x0, int y0, int x1, int y1, int z);
  virtual void MoveToAtDepth(int x, int y, int z);
  virtual void LineToAtDepth(int x, int y, int z);
  virtual void DrawPieSlice3D(int xCenter, int yCenter, int xRadius, int yRadius, int z0, int z1, double startAngle,
                              double endAngle, bool darkSides, bool drawSides, int holePercent) = 0;
  // P1 at Z0, P2 at Z0, P2 at Z1, P1 at Z1.
  virtual void VerticalQuad(const TPoint &p1, const TPoint &p2, int z0, int z1) = 0;
  virtual void QuadAtDepth(const TPoint &p1, const TPoint &p2, const TPoint &p3, const TPoint &p4, int z) = 0;
  // The first two points at Z0, the last two at Z1.
  virtual void QuadTwoDepths(const TPoint &p1, const TPoint &p2, const TPoint &p3, const TPoint &p4, int z0,
                             int z1) = 0;
  virtual void Polygon3DPoints(std::span<const TPoint3D> points) = 0;
  virtual void PolygonAtDepth(std::span<const TPoint> points, int z);
  virtual void PolylineAtDepth(std::span<const TPoint> points, int z);
  virtual void DrawPyramid(bool vertical, int left, int top, int right, int bottom, int z0, int z1, bool darkSides) = 0;
  virtual void DrawFrustum(const TRect &rect, int startZ, int endZ, int truncX, int truncZ) = 0;
  virtual void RectangleAtDepth(const TRect &rect, int z) = 0;
  // Corners (Left, Z0), (Right, Z0), (Right, Z1), (Left, Z1) at height Y.
  virtual void HorizontalRectAtHeight(int left, int y, int right, int z0, int z1) = 0;
  // Corners (Top, Z0), (Top, Z1), (Bottom, Z1), (Bottom, Z0) at X.
  virtual void SideRectAtX(int x, int top, int bottom, int z0, int z1) = 0;
  virtual void RotatedTextOutAtDepth(int x, int y, int z, std::string_view text, double angle) = 0;
  virtual void CircleAtDepth(int x, int y, int z, double radius);
  virtual void EmptyOperation(int, int, int, int, int) {}
  virtual void TextOutAtDepth(int x, int y, int z, std::string_view text) = 0;
  // Color becomes the brush colour unless the brush is clear.
  virtual void Triangle3DPoints(const TPoint3D &p0, const TPoint3D &p1, const TPoint3D &p2, TColor color) = 0;
  virtual void TriangleAtDepth(const TPoint &p1, const TPoint &p2, const TPoint &p3, int z) = 0;
  virtual void DrawQuadBuffer() = 0;
  // Replaces the off-screen image reference; the canvas does not own it.
  virtual void SetBufferBitmap(gdi::Bitmap *bitmap) = 0;
  virtual void FreeBufferBitmap() = 0;
  virtual void CopyBufferTo(int x, int y, gdi::DeviceContext *canvas) = 0;

  // ---- record forms and helpers
  TPoint ProjectPoint3D(const TPoint3D &p) { return ProjectPoint(p.X, p.Y, p.Z); }
  TPoint ProjectPointAtDepth(const TPoint &p, int z) { return ProjectPoint(p.X, p.Y, z); }
  // Fractional X and Y, for rims and curves that must not step by whole pixels.
  TPoint ProjectFloat(double x, double y, int z) const noexcept { return projection_.ProjectFloat(x, y, z); }
  // The two projected corners of a rectangle at depth Z.
  void ProjectRectCorners(const TRect &r, int z, TPoint &topLeft, TPoint &bottomRight);
  // Top-left, top-right, bottom-right, bottom-left.
  TFourPoints ProjectRectQuad(const TRect &r, int z);
  TRect ProjectedRectBounds(const TRect &r, int z);
  void DrawBoxRect(const TRect &r, int z0, int z1, bool darkSides) {
    DrawBox(r.Left, r.Right, r.Top, r.Bottom, z0, z1, darkSides);
  }
  void MoveToPoint3D(const TPoint3D &p) { MoveToAtDepth(p.X, p.Y, p.Z); }
  void LineToPoint3D(const TPoint3D &p) { LineToAtDepth(p.X, p.Y, p.Z); }
  void QuadAtDepthP(const TFourPoints &p, int z) { QuadAtDepth(p[0], p[1], p[2], p[3], z); }
  void RectangleAtDepth4(int left, int top, int right, int bottom, int z) {
    RectangleAtDepth(TRect{left, top, right, bottom}, z);
  }
  void LineAtDepthP(const TPoint &p0, const TPoint &p1, int z) { LineAtDepth(p0.X, p0.Y, p1.X, p1.Y, z); }
  void DrawArrowHalf(bool filled, const TPoint &fromPoint, const TPoint &toPoint, int headWidth, int headHeight,
                     int z) {
    DrawArrow(filled, fromPoint, toPoint, headWidth, headHeight, z, 50);
  }
  // An image on a plane of the 3D box: 0 the plane of depth Position, 1
  // and 2 the two others.
  void DrawImageProjected(const TRect &rect, const gdi::Bitmap *graphic, int plane, int position);

protected:
  TView3DOptions *view3DOptions_ = nullptr;
  int suspendCount_ = 0;
  TProjection projection_;
  // Reused between calls so that drawing many figures allocates nothing.
  TPointArray scratch_;
};
