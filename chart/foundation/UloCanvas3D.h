// The drawing canvas over the device-context layer: off-screen buffering,
// the chart's 3D projection and the text effects of chart fonts.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "chart/foundation/UloCanvas.h"

class TUloCanvas3D : public TCanvas3D {
public:
  TUloCanvas3D();
  ~TUloCanvas3D() override;

  // ---- device state
  TColor GetBkColor() const override;
  int GetBkMode() const override;
  gdi::DeviceContext *GetHandle() const override { return dc_; }
  bool GetMonochrome() const override { return monochrome_; }
  TColor GetPixel(int x, int y) const override;
  bool CapabilityFlagA() const override { return false; }
  int GetTextAlign() const override;
  bool GetBuffered() const override { return buffered_; }
  void SetBkColor(TColor color) override;
  void SetBkMode(int mode) override;
  void SetMonochrome(bool value) override;
  void SetPixel(int x, int y, TColor color) override;
  void SetTextAlign(int flags) override;
  void SetBuffered(bool value) override;

  // ---- drawing
  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
  void RingSegment(int xCenter, int yCenter, int outerXRadius, int outerYRadius, int innerXRadius, int innerYRadius,
                   double startAngle, double endAngle) override;
  void Draw(int x, int y, const gdi::Bitmap *graphic) override;
  void Ellipse(int x1, int y1, int x2, int y2) override;
  void FillRect(const TRect &rect) override;
  void LineTo(int x, int y) override;
  void MoveTo(int x, int y) override;
  void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
  void Rectangle(int x0, int y0, int x1, int y1) override;
  void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) override;
  void StretchDraw(const TRect &rect, const gdi::Bitmap *graphic) override;
  void TextOut(int x, int y, std::string_view text) override;
  void ClipToRect(const TRect &rect) override;
  void FillBackground(const TRect &rect) override { FillRect(rect); }
  void FillGradient(const TRect &rect, TColor startColor, TColor endColor, TGradientDirection direction,
                    int balance = 50, int radialX = 0, int radialY = 0) override;
  void MarkForRedraw() override { needsRedraw_ = true; }
  void Polyline(std::span<const TPoint> points) override;
  void Polygon(std::span<const TPoint> points) override;
  void RotatedTextOut(int x, int y, std::string_view text, double angle) override;
  void RemoveClip() override { RestoreSavedClip(); }

  // ---- 3D and buffering
  TColor GetPixelAt3D(int x, int y, int z) override;
  bool CapabilityFlagB() const override { return false; }
  void SetPixelAt3D(int x, int y, int z, TColor color) override;
  void ScreenTo3D(int &x, int &y, int z) override { projection_.ScreenTo3D(x, y, z); }
  TPoint ProjectPoint(int x, int y, int z) final { return projection_.Project(x, y, z); }
  TRect PrepareTarget(gdi::DeviceContext *dest, TView3DOptions *options, const TRect &rect, bool is3D,
                      TColor backColor = clNone) override;
  void SetupProjection(int maxDepth, const TRect &rect) override;
  // The projection again from the view options as they are now, for a tool
  // that turned the view between paints; the 2D or 3D kind of the last
  // paint stays.
  void RecalcProjection(int maxDepth, const TRect &rect);
  // Drawing between paints: Draw runs into the kept image (when buffered)
  // and then on the bound device, so that what it adds is on screen now and
  // survives the next paint from the kept image. False, with nothing run,
  // before the first paint bound a device.
  bool DirectDraw(const std::function<void()> &draw);
  void PresentBuffer(gdi::DeviceContext *dest, gdi::DeviceContext *defaultCanvas, const TRect &rect) override;
  bool RepaintFromBuffer() override;
  void DrawArrow(bool filled, const TPoint &fromPoint, const TPoint &toPoint, int headWidth, int headHeight, int z,
                 double sizePercent) override;
  void ClipToBox(const TRect &rect, int minZ, int maxZ) override;
  void DrawCone(bool vertical, int left, int top, int right, int bottom, int z0, int z1, bool darkCover,
                int conePercent) override;
  void DrawBox(int left, int right, int top, int bottom, int z0, int z1, bool darkSides) override;
  void DrawCylinder(bool vertical, int left, int top, int right, int bottom, int z0, int z1, bool darkCover) override;
  void SuspendProjection() override;
  void EllipseAtDepth(int x1, int y1, int x2, int y2, int z) override;
  void ResumeProjection() override;
  void MoveToAtDepth(int x, int y, int z) override;
  void LineToAtDepth(int x, int y, int z) override;
  void DrawPieSlice3D(int xCenter, int yCenter, int xRadius, int yRadius, int z0, int z1, double startAngle,
                      double endAngle, bool darkSides, bool drawSides, int holePercent) override;
  void VerticalQuad(const TPoint &p1, const TPoint &p2, int z0, int z1) override;
  void QuadAtDepth(const TPoint &p1, const TPoint &p2, const TPoint &p3, const TPoint &p4, int z) override;
  void QuadTwoDepths(const TPoint &p1, const TPoint &p2, const TPoint &p3, const TPoint &p4, int z0, int z1) override;
  void Polygon3DPoints(std::span<const TPoint3D> points) override;
  void PolygonAtDepth(std::span<const TPoint> points, int z) override;
  void PolylineAtDepth(std::span<const TPoint> points, int z) override;
  void DrawPyramid(bool vertical, int left, int top, int right, int bottom, int z0, int z1, bool darkSides) override;
  void DrawFrustum(const TRect &rect, int startZ, int endZ, int truncX, int truncZ) override;
  void RectangleAtDepth(const TRect &rect, int z) override;
  void HorizontalRectAtHeight(int left, int y, int right, int z0, int z1) override;
  void SideRectAtX(int x, int top, int bottom, int z0, int z1) override;
  void RotatedTextOutAtDepth(int x, int y, int z, std::string_view text, double angle) override;
  void TextOutAtDepth(int x, int y, int z, std::string_view text) override;
  void Triangle3DPoints(const TPoint3D &p0, const TPoint3D &p1, const TPoint3D &p2, TColor color) override;
  void TriangleAtDepth(const TPoint &p1, const TPoint &p2, const TPoint &p3, int z) override;
  void DrawQuadBuffer() override;
  void SetBufferBitmap(gdi::Bitmap *bitmap) override { buffer_ = bitmap; }
  void FreeBufferBitmap() override;
  void CopyBufferTo(int x, int y, gdi::DeviceContext *canvas) override;

  // ---- own settings
  // The off-screen image, null until the first buffered paint.
  gdi::Bitmap *BufferBitmap() const noexcept { return buffer_; }
  bool NeedsRedraw() const noexcept { return needsRedraw_; }
  // While set, switching buffering off keeps the off-screen image.
  bool KeepBitmap() const noexcept { return keepBitmap_; }
  void SetKeepBitmap(bool value) noexcept { keepBitmap_ = value; }
  // Whether text at depth grows with the 3D zoom.
  bool ZoomText() const noexcept { return zoomText_; }
  void SetZoomText(bool value) noexcept { zoomText_ = value; }
  // The four points DrawQuadBuffer draws.
  const TFourPoints &QuadBuffer() const noexcept { return quad_; }

private:
  void Bind(gdi::DeviceContext *dc);
  // The device points of Points, in a buffer reused between calls.
  std::span<const gdi::Point> DevicePoints(std::span<const TPoint> points);
  // The same without points that repeat the one before (for thin lines).
  std::span<const gdi::Point> ThinLinePoints(std::span<const TPoint> points);
  // The same for Points projected at depth Z.
  std::span<const gdi::Point> DevicePointsAtDepth(std::span<const TPoint> points, int z);
  void Shape() {
    SelectDevicePen();
    SelectDeviceBrush();
  }
  TRect TextRect(int x, int y, std::string_view text);
  void DrawTextShadow(int &x, int &y, std::string_view text, const TUloShadow &shadow);
  void DrawTextEffects(int x, int y, std::string_view text, TUloFont &font);
  void RecordText(int x, int y, std::string_view text);
  // The font of the bound device with its height for a size in points.
  static int HeightOfSize(int size);

  gdi::Bitmap *buffer_ = nullptr;
  std::unique_ptr<gdi::Bitmap> ownBuffer_;
  bool needsRedraw_ = true;
  bool monochrome_ = false;
  bool zoomText_ = true;
  bool buffered_ = true;
  bool keepBitmap_ = false;
  bool saved3D_ = false;
  bool savedOrthogonal_ = false;
  TFourPoints quad_{};
  std::vector<gdi::Point> devicePoints_;
  std::array<TPoint, 64> rim_{};
};
