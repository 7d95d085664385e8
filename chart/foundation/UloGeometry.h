// Pixel records of the drawing canvas and the small routines over them.
// Coordinates are 32-bit pixels; rectangles exclude Right and Bottom.
// Point arrays are passed as spans (their count), never with a highest index.
#pragma once

#include "platform/rtl/Numbers.h"

#include <array>
#include <cmath>
#include <span>
#include <vector>

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint &, const TPoint &) = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  friend bool operator==(const TRect &, const TRect &) = default;
};

// Z is the depth: 0 at the front wall, growing away from the viewer.
struct TPoint3D {
  int X = 0;
  int Y = 0;
  int Z = 0;
  friend bool operator==(const TPoint3D &, const TPoint3D &) = default;
};

using TFourPoints = std::array<TPoint, 4>;
using TPointArray = std::vector<TPoint>;
using TPoint3DArray = std::vector<TPoint3D>;

// The largest pixel coordinate drawing may use. Every projected value is
// clamped to it, so huge or non-finite inputs never reach the device.
constexpr int UloPixelLimit = 0x3FFFFFF;

// A floating value turned into a pixel: halves to even, clamped to the
// pixel limit before converting (so the conversion can neither overflow nor
// raise the invalid-operation flag), NaN as 0.
inline int UloPixel(double value) noexcept {
  if (value >= UloPixelLimit) return UloPixelLimit;
  if (value <= -UloPixelLimit) return -UloPixelLimit;
  if (value != value) return 0;
  return static_cast<int>(rtl::RoundHalfEvenSmall(value));
}
// An integer held to the pixel limit.
constexpr int UloClampPixel(long long value) noexcept {
  return value > UloPixelLimit ? UloPixelLimit : value < -UloPixelLimit ? -UloPixelLimit : static_cast<int>(value);
}

constexpr TPoint MakePoint(int x, int y) noexcept { return TPoint{x, y}; }
constexpr TRect MakeRect(int left, int top, int right, int bottom) noexcept { return TRect{left, top, right, bottom}; }
// A copy with Left <= Right and Top <= Bottom.
TRect NormalizeRect(const TRect &r) noexcept;
void RectExtent(const TRect &r, int &width, int &height) noexcept;
// Integer halves toward zero.
void RectMidpoint(const TRect &r, int &x, int &y) noexcept;
// Every edge, Right and Bottom included, counts as inside.
bool PointInsideRect(int x, int y, const TRect &r) noexcept;
bool PointInsideRectP(const TPoint &p, const TRect &r) noexcept;
// No points give (0, 0, 0, 0).
TRect PointsBoundingRect(std::span<const TPoint> points) noexcept;
// As PointsBoundingRect with Right and Bottom one further, so that the
// rectangle covers the last column and row.
TRect PointsBoundingRectInclusive(std::span<const TPoint> points) noexcept;
TRect TriangleBoundingRect(const TPoint &p0, const TPoint &p1, const TPoint &p2) noexcept;
// Whether A, B, C run the way of a face turned from the viewer.
bool IsBackFacing(const TPoint &a, const TPoint &b, const TPoint &c) noexcept;
bool IsBackFacingTriangle(std::span<const TPoint, 3> points) noexcept;
void ExchangePoints(TPoint &a, TPoint &b) noexcept;
void ExchangeIntegers(int &a, int &b) noexcept;
double Hypotenuse(double dx, double dy) noexcept;
// The point Distance pixels back from To along the segment From-To
// (To itself for a segment of length 0).
TPoint PointBackAlongLine(const TPoint &from, const TPoint &to, double distance) noexcept;
// Replaces Points by their convex hull (pivot last). Three points are kept
// as they are; fewer give false.
bool ConvexHull(TPointArray &points);
