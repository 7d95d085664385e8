#include "chart/foundation/View3D.h"

#include <numbers>

#include "platform/rtl/Numbers.h"

namespace {
constexpr double kDegToRad = std::numbers::pi / 180.0;
constexpr double kInverseGuard = 0.00001;
constexpr double kSlopeGuard = 0.01;

// Depth step per unit of Z in orthogonal views: mirrored beyond 90 degrees.
void OrthoConstants(int angle, double &xsign, double &slope) {
  double a = angle;
  xsign = 1;
  if (a > 90) {
    xsign = -1;
    a = 180 - a;
  }
  const double c = std::cos(a * kDegToRad);
  slope = c >= kSlopeGuard ? std::sin(a * kDegToRad) / c : 1.0;
}
} // namespace

// ---- settings -------------------------------------------------------------

void TView3DOptions::Changed() const {
  if (owner_) owner_->Invalidate();
}

void TView3DOptions::Assign(const TView3DOptions &source) {
  elevation_ = source.elevation_;
  fontZoom_ = source.fontZoom_;
  horizOffset_ = source.horizOffset_;
  orthogonal_ = source.orthogonal_;
  orthoAngle_ = source.orthoAngle_;
  perspective_ = source.perspective_;
  rotation_ = source.rotation_;
  tilt_ = source.tilt_;
  vertOffset_ = source.vertOffset_;
  zoom_ = source.zoom_;
  zoomText_ = source.zoomText_;
  Changed();
}

int TView3DOptions::Elevation() const noexcept { return rtl::RoundPixel(elevation_); }
int TView3DOptions::Rotation() const noexcept { return rtl::RoundPixel(rotation_); }
int TView3DOptions::Zoom() const noexcept { return rtl::RoundPixel(zoom_); }

void TView3DOptions::ChangeElevation(double value) {
  UloSetProperty(elevation_, value, [this] { Changed(); });
}

void TView3DOptions::ChangeRotation(double value) {
  UloSetProperty(rotation_, value, [this] { Changed(); });
}

void TView3DOptions::ChangeZoom(double value) {
  if (zoom_ == value) return;
  if (OnZoomed) OnZoomed(Zoom());
  zoom_ = value;
  Changed();
}

void TView3DOptions::SetFontZoom(int value) {
  UloSetProperty(fontZoom_, value, [this] { Changed(); });
}

void TView3DOptions::SetHorizOffset(int value) {
  UloSetProperty(horizOffset_, value, [this] {
    Changed();
    if (OnScrolled) OnScrolled(true);
  });
}

void TView3DOptions::SetVertOffset(int value) {
  UloSetProperty(vertOffset_, value, [this] {
    Changed();
    if (OnScrolled) OnScrolled(false);
  });
}

void TView3DOptions::SetOrthogonal(bool value) {
  UloSetProperty(orthogonal_, value, [this] { Changed(); });
}

void TView3DOptions::SetOrthoAngle(int value) {
  UloSetProperty(orthoAngle_, value, [this] { Changed(); });
}

void TView3DOptions::SetPerspective(int value) {
  UloSetProperty(perspective_, value, [this] { Changed(); });
}

void TView3DOptions::SetTilt(int value) {
  UloSetProperty(tilt_, value, [this] { Changed(); });
}

void TView3DOptions::SetZoomText(bool value) {
  UloSetProperty(zoomText_, value, [this] { Changed(); });
}

double TView3DOptions::OrthoSlope() const noexcept {
  if (!orthogonal_) return 1;
  double xsign, slope;
  OrthoConstants(orthoAngle_, xsign, slope);
  return slope;
}

// ---- projection -----------------------------------------------------------

void TProjection::Prepare(const TView3DOptions *options, bool in3D) {
  is3D = in3D;
  orthogonal = false;
  zoom = 1;
  if (!in3D) return;
  if (options && options->Orthogonal()) {
    orthogonal = true;
    OrthoConstants(options->OrthoAngle(), xsign, slope);
    return;
  }
  perspective = false;
  factor = 0;
  const double e = options ? options->FloatElevation() : 0;
  const double r = options ? options->FloatRotation() : 0;
  const int tilt = options ? options->Tilt() : 0;
  sinE = std::sin(-e * kDegToRad);
  cosE = std::cos(-e * kDegToRad);
  sinR = std::sin(-r * kDegToRad);
  cosR = std::cos(-r * kDegToRad);
  sinT = std::sin(tilt * kDegToRad);
  cosT = std::cos(tilt * kDegToRad);
  tilted = tilt != 0;
}

void TProjection::Setup(const TView3DOptions *options, int maxDepth, const TRect &rect, bool &zoomText) {
  RectMidpoint(rect, XC, YC);
  ZC = UloPixel(maxDepth * 0.5);
  SX = XC;
  SY = YC;
  if (!options) return;
  SX = UloClampPixel(static_cast<long long>(SX) + options->HorizOffset());
  SY = UloClampPixel(static_cast<long long>(SY) + options->VertOffset());
  if (is3D) {
    zoom = rtl::RoundHalfEven(options->FloatZoom()) * 0.01;
    zoomText = options->ZoomText();
  }
  perspective = options->Perspective() > 0;
  if (perspective) {
    const double width = std::max(1.0, static_cast<double>(rect.Right) - rect.Left);
    factor = options->Perspective() * zoom * (1.0 / 150) / width;
  }
}

TPoint TProjection::ProjectSlow(int x, int y, int z) const noexcept { return ProjectDouble(x, y, z, tilted); }

void TProjection::ScreenTo3D(int &x, int &y, int z) const noexcept {
  if (zoom == 0) return;
  const double inv = 1 / zoom;
  if (orthogonal) {
    // In doubles: a screen coordinate far outside may not fit an int difference.
    x = Place((static_cast<double>(x) - SX) * inv - z * xsign, XC);
    y = Place((static_cast<double>(y) - SY) * inv + z * slope, YC);
    return;
  }
  if (!is3D) return;
  // The exact inverse of the rotation and tilt of Project.
  if (std::abs(cosR) < kInverseGuard || std::abs(cosE) < kInverseGuard) return;
  const double sx = (static_cast<double>(x) - SX) * inv;
  const double sy = (static_cast<double>(y) - SY) * inv;
  const double x1 = cosT * sx + sinT * sy;
  const double y1 = cosT * sy - sinT * sx;
  const double dz = static_cast<double>(z) - ZC;
  const double dx = (x1 - dz * sinR) / cosR;
  const double t = dz * cosR - dx * sinR;
  const double dy = (y1 + sinE * t) / cosE;
  x = Place(dx, XC);
  y = Place(dy, YC);
}
