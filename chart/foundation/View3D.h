// A chart's 3D view settings and the projection the canvas makes of them
// once per paint.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>

#include "chart/foundation/UloGeometry.h"
#include "chart/foundation/UloProperty.h"

class TView3DOptions {
public:
  explicit TView3DOptions(IUloInvalidate *owner = nullptr) : owner_(owner) {}
  TView3DOptions(const TView3DOptions &) = delete;
  TView3DOptions &operator=(const TView3DOptions &) = delete;
  virtual ~TView3DOptions() = default;

  // Copies the eleven settings, not the notifications.
  virtual void Assign(const TView3DOptions &source);

  // Elevation, Rotation and Zoom are doubles seen as integers (rounded).
  int Elevation() const noexcept;
  int Rotation() const noexcept;
  int Zoom() const noexcept;
  double FloatElevation() const noexcept { return elevation_; }
  double FloatRotation() const noexcept { return rotation_; }
  double FloatZoom() const noexcept { return zoom_; }
  int FontZoom() const noexcept { return fontZoom_; }
  int HorizOffset() const noexcept { return horizOffset_; }
  int VertOffset() const noexcept { return vertOffset_; }
  bool Orthogonal() const noexcept { return orthogonal_; }
  int OrthoAngle() const noexcept { return orthoAngle_; }
  int Perspective() const noexcept { return perspective_; }
  int Tilt() const noexcept { return tilt_; }
  bool ZoomText() const noexcept { return zoomText_; }

  void SetElevation(int value) { ChangeElevation(value); }
  void SetRotation(int value) { ChangeRotation(value); }
  void SetZoom(int value) { ChangeZoom(value); }
  // The rotation tool turns the view by fractions of a degree through these.
  void ChangeElevation(double value);
  void ChangeRotation(double value);
  void ChangeZoom(double value);
  void SetFontZoom(int value);
  void SetHorizOffset(int value);
  void SetVertOffset(int value);
  void SetOrthogonal(bool value);
  void SetOrthoAngle(int value);
  void SetPerspective(int value);
  void SetTilt(int value);
  void SetZoomText(bool value);

  // The depth slope the axis and wall code use; the same guard as the
  // projection, so that both agree at an angle of 90 degrees.
  double OrthoSlope() const noexcept;

  IUloInvalidate *Owner() const noexcept { return owner_; }

  // After HorizOffset (true) or VertOffset (false) changed.
  std::function<void(bool horizontal)> OnScrolled;
  // Before a zoom change, with the previous zoom rounded.
  std::function<void(int previousZoom)> OnZoomed;

private:
  void Changed() const;

  double elevation_ = 345;
  int fontZoom_ = 100;
  int horizOffset_ = 0;
  bool orthogonal_ = true;
  int orthoAngle_ = 45;
  int perspective_ = 100;
  double rotation_ = 345;
  int tilt_ = 0;
  int vertOffset_ = 0;
  double zoom_ = 100;
  bool zoomText_ = true;
  IUloInvalidate *owner_;
};

// The projection of chart points (X, Y in pixels, Z in depth units) to
// screen pixels, with every factor computed once per paint.
struct TProjection {
  // Centre of the chart rectangle and depth range, and the screen origin.
  int XC = 0, YC = 0, ZC = 0;
  int SX = 0, SY = 0;
  double zoom = 1;
  bool is3D = false;
  bool orthogonal = false;
  double xsign = 1, slope = 1;
  double sinE = 0, cosE = 1, sinR = 0, cosR = 1, sinT = 0, cosT = 1;
  bool tilted = false;
  bool perspective = false;
  double factor = 0;

  // The projection part of binding the canvas for one paint.
  void Prepare(const TView3DOptions *options, bool in3D);
  // Fixes centre, origin, zoom and perspective for Rect and depth 0..MaxDepth.
  // Returns the zoom-text setting of the options (ZoomText when given).
  void Setup(const TView3DOptions *options, int maxDepth, const TRect &rect, bool &zoomText);

  // The per-point path of every drawing at depth. Integer offsets are taken
  // before the one conversion and both coordinates are placed together with
  // one range test; the results equal the general form's bit for bit.
  TPoint Project(int x, int y, int z) const noexcept {
    const double dx = static_cast<double>(static_cast<long long>(x) - XC);
    const double dy = static_cast<double>(static_cast<long long>(y) - YC);
    double px, py;
    if (orthogonal) {
      px = (dx + z * xsign) * zoom;
      py = (dy - z * slope) * zoom;
    } else {
      if (!is3D) return TPoint{UloClampPixel(x), UloClampPixel(y)};
      if (perspective || tilted) [[unlikely]]
        return ProjectSlow(x, y, z);
      const double dz = static_cast<double>(static_cast<long long>(z) - ZC);
      const double t = dz * cosR - dx * sinR;
      px = (dx * cosR + dz * sinR) * zoom;
      py = (dy * cosE - sinE * t) * zoom;
    }
    // Rounded, moved by the origin and clamped in doubles: every step is
    // exact on whole numbers of this size, and the two coordinates go the
    // same way without a branch between them.
    if ((std::fabs(px) < kPlaceFastLimit) & (std::fabs(py) < kPlaceFastLimit)) [[likely]] {
      constexpr double lim = UloPixelLimit;
      const double rx = std::min(std::max(rtl::RoundHalfEvenSmall(px) + SX, -lim), lim);
      const double ry = std::min(std::max(rtl::RoundHalfEvenSmall(py) + SY, -lim), lim);
      return TPoint{static_cast<int>(rx), static_cast<int>(ry)};
    }
    return TPoint{Place(px, SX), Place(py, SY)};
  }
  // Fractional X and Y; always through the tilted form.
  TPoint ProjectFloat(double x, double y, int z) const noexcept { return ProjectDouble(x, y, z, true); }
  // Screen X, Y back to chart X, Y at depth Z (perspective ignored).
  void ScreenTo3D(int &x, int &y, int z) const noexcept;

private:
  // Rounded before the origin is added, as the halves-to-even rule wants;
  // clamped after, so a huge value stays at the limit.
  static int Place(double v, int origin) noexcept {
    if (v >= UloPixelLimit) return UloPixelLimit;
    if (v <= -UloPixelLimit) return -UloPixelLimit;
    if (v != v) return origin;
    return UloClampPixel(static_cast<long long>(rtl::RoundHalfEvenSmall(v)) + origin);
  }
  // Values below this need none of Place's tests but the final clamp.
  static constexpr double kPlaceFastLimit = 33554432.0; // 2^25
  // Perspective and tilt, out of line so that Project stays small.
  TPoint ProjectSlow(int x, int y, int z) const noexcept;
  TPoint ProjectDouble(double x, double y, int z, bool useTilt) const noexcept {
    if (orthogonal) return TPoint{Place(((x - XC) + z * xsign) * zoom, SX), Place(((y - YC) - z * slope) * zoom, SY)};
    if (!is3D) return TPoint{UloPixel(x), UloPixel(y)};
    const double dx = x - XC, dy = y - YC, dz = static_cast<double>(z) - ZC;
    const double t = dz * cosR - dx * sinR;
    double s = zoom;
    if (perspective) {
      // Points behind the viewer would divide by zero or mirror; hold the
      // divisor to a small positive minimum instead.
      double d = (cosE * t + dy * sinE) * factor + 1;
      if (!(d > kMinPerspective)) d = kMinPerspective;
      s = zoom / d;
    }
    const double x1 = dx * cosR + dz * sinR;
    const double y1 = dy * cosE - sinE * t;
    if (!useTilt) return TPoint{Place(x1 * s, SX), Place(y1 * s, SY)};
    return TPoint{Place((cosT * x1 - sinT * y1) * s, SX), Place((cosT * y1 + sinT * x1) * s, SY)};
  }
  static constexpr double kMinPerspective = 1e-4;
};
