#include "chart/foundation/UloGeometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/rtl/Numbers.h"

TRect NormalizeRect(const TRect &r) noexcept {
  TRect n = r;
  if (n.Left > n.Right) std::swap(n.Left, n.Right);
  if (n.Top > n.Bottom) std::swap(n.Top, n.Bottom);
  return n;
}

void RectExtent(const TRect &r, int &width, int &height) noexcept {
  width = r.Right - r.Left;
  height = r.Bottom - r.Top;
}

void RectMidpoint(const TRect &r, int &x, int &y) noexcept {
  // Summed in 64 bits: two pixel coordinates near the int limits must not overflow.
  x = static_cast<int>((static_cast<long long>(r.Left) + r.Right) / 2);
  y = static_cast<int>((static_cast<long long>(r.Top) + r.Bottom) / 2);
}

bool PointInsideRect(int x, int y, const TRect &r) noexcept {
  return x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom;
}

bool PointInsideRectP(const TPoint &p, const TRect &r) noexcept { return PointInsideRect(p.X, p.Y, r); }

TRect PointsBoundingRect(std::span<const TPoint> points) noexcept {
  if (points.empty()) return TRect{};
  TRect r{points[0].X, points[0].Y, points[0].X, points[0].Y};
  for (const TPoint &p : points.subspan(1)) {
    r.Left = std::min(r.Left, p.X);
    r.Right = std::max(r.Right, p.X);
    r.Top = std::min(r.Top, p.Y);
    r.Bottom = std::max(r.Bottom, p.Y);
  }
  return r;
}

TRect PointsBoundingRectInclusive(std::span<const TPoint> points) noexcept {
  TRect r = PointsBoundingRect(points);
  ++r.Right;
  ++r.Bottom;
  return r;
}

TRect TriangleBoundingRect(const TPoint &p0, const TPoint &p1, const TPoint &p2) noexcept {
  const TPoint pts[3] = {p0, p1, p2};
  return PointsBoundingRect(pts);
}

bool IsBackFacing(const TPoint &a, const TPoint &b, const TPoint &c) noexcept {
  // Wide enough for any corners: differences of 32-bit coordinates take 33
  // bits and their products 66, so projected corners far outside the image
  // still give the right sign.
  const __int128 ax = static_cast<__int128>(a.X) - b.X, ay = static_cast<__int128>(a.Y) - b.Y;
  const __int128 cx = static_cast<__int128>(c.X) - b.X, cy = static_cast<__int128>(c.Y) - b.Y;
  const __int128 cross = ax * cy - cx * ay;
  return cross < 0;
}

bool IsBackFacingTriangle(std::span<const TPoint, 3> points) noexcept {
  return IsBackFacing(points[0], points[1], points[2]);
}

void ExchangePoints(TPoint &a, TPoint &b) noexcept { std::swap(a, b); }
void ExchangeIntegers(int &a, int &b) noexcept { std::swap(a, b); }

double Hypotenuse(double dx, double dy) noexcept { return std::sqrt(dx * dx + dy * dy); }

TPoint PointBackAlongLine(const TPoint &from, const TPoint &to, double distance) noexcept {
  const double dx = static_cast<double>(to.X) - from.X;
  const double dy = static_cast<double>(to.Y) - from.Y;
  const double length = Hypotenuse(dx, dy);
  if (length == 0) return to;
  const double f = distance / length;
  return TPoint{UloPixel(to.X - dx * f), UloPixel(to.Y - dy * f)};
}

bool ConvexHull(TPointArray &points) {
  if (points.size() == 3) return true;
  if (points.size() < 3) return false;

  // The topmost point, the rightmost among equals, anchors the angular sort.
  std::size_t pivotIndex = 0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    const TPoint &p = points[i];
    const TPoint &best = points[pivotIndex];
    if (p.Y < best.Y || (p.Y == best.Y && p.X > best.X)) pivotIndex = i;
  }
  const TPoint pivot = points[pivotIndex];
  points[pivotIndex] = points.back();
  points.pop_back();

  // Single precision keys, so that nearly equal angles tie as they always did.
  struct Keyed {
    float key;
    TPoint p;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(points.size());
  for (const TPoint &p : points) {
    const double dx = static_cast<double>(pivot.X) - p.X;
    const double dy = static_cast<double>(pivot.Y) - p.Y;
    const double d = std::sqrt(dx * dx + dy * dy);
    keyed.push_back({d == 0 ? 0.0f : static_cast<float>(dx / d), p});
  }
  // Partition sort about the middle key: points of equal key (on one ray
  // from the pivot) come out in the order the outline has always used.
  auto sort = [&keyed](auto &self, std::ptrdiff_t lo, std::ptrdiff_t hi) -> void {
    std::ptrdiff_t i = lo;
    do {
      i = lo;
      std::ptrdiff_t j = hi;
      const float middle = keyed[static_cast<std::size_t>(lo + (hi - lo) / 2)].key;
      do {
        while (keyed[static_cast<std::size_t>(i)].key < middle)
          ++i;
        while (keyed[static_cast<std::size_t>(j)].key > middle)
          --j;
        if (i <= j) {
          std::swap(keyed[static_cast<std::size_t>(i)], keyed[static_cast<std::size_t>(j)]);
          ++i;
          --j;
        }
      } while (i <= j);
      if (lo < j) self(self, lo, j);
      lo = i;
    } while (i < hi);
  };
  if (keyed.size() > 1) sort(sort, 0, static_cast<std::ptrdiff_t>(keyed.size()) - 1);
  for (std::size_t i = 0; i < keyed.size(); ++i)
    points[i] = keyed[i].p;

  // Graham scan: a point stays only where the outline turns the convex way;
  // the last point is tested against the pivot that closes the outline.
  std::size_t i = 1;
  while (i < points.size()) {
    if (i == 0) {
      ++i;
      continue;
    }
    const TPoint prev = points[i - 1];
    const TPoint p = points[i];
    const TPoint next = i + 1 < points.size() ? points[i + 1] : pivot;
    const long long cross =
        static_cast<long long>(prev.X - p.X) * (next.Y - p.Y) - static_cast<long long>(next.X - p.X) * (prev.Y - p.Y);
    if (cross < 0) {
      ++i;
    } else {
      points.erase(points.begin() + static_cast<std::ptrdiff_t>(i));
      --i;
    }
  }
  points.push_back(pivot);
  return true;
}
