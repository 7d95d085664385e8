// Solids drawn from their projected corners: boxes, cones and cylinders,
// pyramids and frusta, thick pie slices, arrows and images on a plane.
//
// A face is drawn only when it turns toward the viewer. Every face is built
// with its corners in the order that runs clockwise on screen when the face is
// seen from outside the solid (the order of the box's front face: top-left,
// top-right, bottom-right, bottom-left), so one test serves all faces: the
// signed area of the projected corners is positive. A solid given with an odd
// number of reversed extents (Left > Right, Top > Bottom, Z0 > Z1) is a
// mirror image, and every face of it runs the other way.
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "chart/foundation/UloCanvas3D.h"
#include "platform/rtl/Exceptions.h"

namespace {

constexpr double kDegToRad = std::numbers::pi / 180;
constexpr int kConeSides = 16;

// The box's test on its quad buffer, as a double so that no corner overflows.
double QuadCross(const TFourPoints &q) {
  return (static_cast<double>(q[3].X) - q[2].X) * (static_cast<double>(q[1].Y) - q[2].Y) -
         (static_cast<double>(q[1].X) - q[2].X) * (static_cast<double>(q[3].Y) - q[2].Y);
}

bool QuadFacing(const TFourPoints &q, bool mirrored) {
  const double cross = QuadCross(q);
  return mirrored ? cross < 0 : cross > 0;
}

// Twice the signed area of a projected polygon; positive when its corners run
// clockwise on screen. Collapsed corners (the apex of a cone) add nothing.
double SignedArea(std::span<const TPoint> pts) {
  double sum = 0;
  for (std::size_t i = 0, n = pts.size(); i < n; ++i) {
    const TPoint &a = pts[i];
    const TPoint &b = pts[(i + 1) % n];
    sum += static_cast<double>(a.X) * b.Y - static_cast<double>(b.X) * a.Y;
  }
  return sum;
}

struct Vec3 {
  double x, y, z;
};

// How far a point lies from the viewer along the line of sight, for drawing
// the faces of a solid that is not convex from back to front.
double ViewDepth(const TProjection &p, const Vec3 &v) {
  if (p.orthogonal) return -p.xsign * v.x + p.slope * v.y + v.z;
  if (!p.is3D) return v.z;
  const double dx = v.x - p.XC, dy = v.y - p.YC, dz = v.z - p.ZC;
  return p.cosE * (dz * p.cosR - dx * p.sinR) + dy * p.sinE;
}

// One face of a solid: its corners in chart space, a darkening amount
// (negative: the brush as it is) and its distance from the viewer.
struct Face {
  std::vector<Vec3> corners;
  int darken = -1;
  double depth = 0;
};

// Newell's normal of a polygon: robust when corners coincide.
Vec3 Normal(const std::vector<Vec3> &c) {
  Vec3 n{0, 0, 0};
  for (std::size_t i = 0, k = c.size(); i < k; ++i) {
    const Vec3 &a = c[i];
    const Vec3 &b = c[(i + 1) % k];
    n.x += (a.y - b.y) * (a.z + b.z);
    n.y += (a.z - b.z) * (a.x + b.x);
    n.z += (a.x - b.x) * (a.y + b.y);
  }
  return n;
}

Vec3 Centroid(const std::vector<Vec3> &c) {
  Vec3 m{0, 0, 0};
  for (const Vec3 &v : c) {
    m.x += v.x;
    m.y += v.y;
    m.z += v.z;
  }
  const double k = c.empty() ? 1 : static_cast<double>(c.size());
  return Vec3{m.x / k, m.y / k, m.z / k};
}

} // namespace

// Draws faces of a solid that turn toward the viewer, farthest first.
// For a convex solid (Convex), each face's corners are first put in the
// outside-clockwise order by comparing its normal with the direction from the
// solid's centre; other solids build their faces in that order themselves.
class TSolidPainter {
public:
  TSolidPainter(TUloCanvas3D &canvas, const TProjection &projection)
      : canvas_(canvas), projection_(projection), clear_(canvas.Brush().Style() == TBrushStyle::bsClear),
        solid_(canvas.Brush().Style() == TBrushStyle::bsSolid),
        base_(solid_ ? canvas.Brush().Color() : canvas.GetBkColor()) {}

  void Add(Face face) { faces_.push_back(std::move(face)); }

  void OrientConvex() {
    std::vector<Vec3> all;
    for (const Face &f : faces_)
      all.insert(all.end(), f.corners.begin(), f.corners.end());
    const Vec3 centre = Centroid(all);
    for (Face &f : faces_) {
      const Vec3 n = Normal(f.corners);
      const Vec3 c = Centroid(f.corners);
      // With the screen's Y down and depth away from the viewer, the
      // outside-clockwise order has its normal pointing into the solid.
      if (n.x * (c.x - centre.x) + n.y * (c.y - centre.y) + n.z * (c.z - centre.z) > 0)
        std::reverse(f.corners.begin(), f.corners.end());
    }
  }

  // Draws the facing faces back to front, then restores the base colour so
  // the caller's next solid starts from it.
  void Paint(bool mirrored) {
    for (Face &f : faces_)
      f.depth = ViewDepth(projection_, Centroid(f.corners));
    std::stable_sort(faces_.begin(), faces_.end(), [](const Face &a, const Face &b) { return a.depth > b.depth; });
    bool darkened = false;
    for (const Face &f : faces_) {
      points_.resize(f.corners.size());
      for (std::size_t i = 0; i < f.corners.size(); ++i)
        points_[i] = projection_.ProjectFloat(f.corners[i].x, f.corners[i].y, ClampDepth(f.corners[i].z));
      const double area = SignedArea(points_);
      if (!(mirrored ? area < 0 : area > 0)) continue;
      if (f.darken >= 0) {
        canvas_.ApplyDarkBrushColor(base_, f.darken);
        darkened = true;
      } else if (darkened) {
        RestoreBase();
        darkened = false;
      }
      canvas_.Polygon(points_);
    }
    if (darkened) RestoreBase();
  }

  bool Clear() const noexcept { return clear_; }

private:
  static int ClampDepth(double z) { return UloPixel(z); }
  void RestoreBase() {
    if (solid_)
      canvas_.Brush().SetColor(base_);
    else
      canvas_.SetBkColor(base_);
  }

  TUloCanvas3D &canvas_;
  const TProjection &projection_;
  bool clear_;
  bool solid_;
  TColor base_;
  std::vector<Face> faces_;
  TPointArray points_;
};

// ---- box -------------------------------------------------------------------------

void TUloCanvas3D::DrawBox(int left, int right, int top, int bottom, int z0, int z1, bool darkSides) {
  const bool solid = Brush().Style() == TBrushStyle::bsSolid;
  const bool clear = Brush().Style() == TBrushStyle::bsClear;
  const TColor base = solid ? Brush().Color() : GetBkColor();
  const TProjection &p = projection_;
  const bool mirrored = ((left > right) != (top > bottom)) != (z0 > z1);

  // Front or back: exactly one of the two, in the brush as it is.
  quad_ = {p.Project(left, top, z0), p.Project(right, top, z0), p.Project(right, bottom, z0),
           p.Project(left, bottom, z0)};
  if (!clear && !QuadFacing(quad_, mirrored))
    quad_ = {p.Project(left, top, z1), p.Project(right, top, z1), p.Project(right, bottom, z1),
             p.Project(left, bottom, z1)};
  DrawQuadBuffer();

  // The opposite faces of each pair run opposite ways, so at most one of a
  // pair passes the test.
  auto face = [&](const TFourPoints &q, int darken) {
    if (!clear && !QuadFacing(q, mirrored)) return;
    quad_ = q;
    if (darkSides) ApplyDarkBrushColor(base, darken);
    DrawQuadBuffer();
  };
  face({p.Project(right, top, z0), p.Project(right, top, z1), p.Project(right, bottom, z1),
        p.Project(right, bottom, z0)},
       128);
  face({p.Project(left, top, z1), p.Project(left, top, z0), p.Project(left, bottom, z0), p.Project(left, bottom, z1)},
       128);
  face({p.Project(left, top, z1), p.Project(right, top, z1), p.Project(right, top, z0), p.Project(left, top, z0)}, 64);
  face({p.Project(left, bottom, z0), p.Project(right, bottom, z0), p.Project(right, bottom, z1),
        p.Project(left, bottom, z1)},
       64);
  // Many boxes are drawn in a row (the 3D point markers): each starts from
  // the caller's colour, not from the last darkened face.
  if (darkSides) {
    if (solid)
      Brush().SetColor(base);
    else
      SetBkColor(base);
  }
}

// ---- arrow -----------------------------------------------------------------------

void TUloCanvas3D::DrawArrow(bool filled, const TPoint &fromPoint, const TPoint &toPoint, int headWidth, int headHeight,
                             int z, double sizePercent) {
  // In the arrow's own frame U runs from From toward To and V across it; Y
  // is turned upward so that the frame is an ordinary rotation.
  const double dx = static_cast<double>(toPoint.X) - fromPoint.X;
  const double dy = static_cast<double>(fromPoint.Y) - toPoint.Y;
  const double length = std::sqrt(dx * dx + dy * dy);
  if (length == 0) return;
  const double h = std::min<double>(headHeight, UloPixel(length));
  const double cosA = dx / length, sinA = dy / length;
  auto back = [&](double u, double v) {
    const double x = u * cosA - v * sinA;
    const double y = u * sinA + v * cosA;
    return TPoint{UloPixel(fromPoint.X + x), UloPixel(fromPoint.Y - y)};
  };
  const double base = length - h;
  const double half = headWidth * 0.5;
  const TPoint head1 = back(base, half);
  const TPoint head2 = back(base, -half);
  if (filled) {
    const double shaft = headWidth * sizePercent * 0.005;
    const TPoint outline[7] = {back(0, shaft), back(base, shaft),  head1,          toPoint,
                               head2,          back(base, -shaft), back(0, -shaft)};
    PolygonAtDepth(outline, z);
  } else {
    LineAtDepth(fromPoint.X, fromPoint.Y, toPoint.X, toPoint.Y, z);
    LineAtDepth(toPoint.X, toPoint.Y, head1.X, head1.Y, z);
    LineAtDepth(toPoint.X, toPoint.Y, head2.X, head2.Y, z);
  }
}

// ---- cones and cylinders ---------------------------------------------------------

// A vertical cone runs along Y with its base ring at Bottom and its apex end
// at Top; a horizontal one runs along X with its base at Left and its apex
// end at Right. Rings have 16 corners. The sides darken around the axis by
// 8 per side away from the side nearest the viewer's left-front, so the
// shading is the same for a cone and a cylinder of the same box.
void TUloCanvas3D::DrawCone(bool vertical, int left, int top, int right, int bottom, int z0, int z1, bool darkCover,
                            int conePercent) {
  const double cz = (static_cast<double>(z0) + z1) * 0.5, rz = (static_cast<double>(z1) - z0) * 0.5;
  double ca, ra, baseAt, apexAt;
  if (vertical) {
    ca = (static_cast<double>(left) + right) * 0.5;
    ra = (static_cast<double>(right) - left) * 0.5;
    baseAt = bottom;
    apexAt = top;
  } else {
    ca = (static_cast<double>(top) + bottom) * 0.5;
    ra = (static_cast<double>(bottom) - top) * 0.5;
    baseAt = left;
    apexAt = right;
  }
  // The apex radii are rounded to the half pixels the base radii lie on (a
  // box of odd width has a radius of n + 0.5), so that 100 % keeps the
  // radii exactly and a cylinder does not narrow toward its top; 0 % is a
  // sharp point.
  const double apexRa = UloPixel(2 * ra * conePercent * 0.01) * 0.5;
  const double apexRz = UloPixel(2 * rz * conePercent * 0.01) * 0.5;
  auto at = [&](double axial, double across, double depth) {
    return vertical ? Vec3{across, axial, depth} : Vec3{axial, across, depth};
  };
  std::array<Vec3, kConeSides> baseRing{}, apexRing{};
  for (int i = 0; i < kConeSides; ++i) {
    const double a = i * 2 * std::numbers::pi / kConeSides;
    const double c = std::cos(a), s = std::sin(a);
    baseRing[i] = at(baseAt, ca + ra * c, cz + rz * s);
    apexRing[i] = at(apexAt, ca + apexRa * c, cz + apexRz * s);
  }
  TSolidPainter painter(*this, projection_);
  for (int i = 0; i < kConeSides; ++i) {
    const int j = (i + 1) % kConeSides;
    Face side;
    side.corners = {apexRing[i], apexRing[j], baseRing[j], baseRing[i]};
    const int k = (i + 6) % kConeSides;
    side.darken = 8 * std::min(k, kConeSides - k);
    painter.Add(std::move(side));
  }
  Face cover;
  cover.corners.assign(baseRing.begin(), baseRing.end());
  cover.darken = darkCover ? 64 : -1;
  painter.Add(cover);
  if (apexRa != 0 || apexRz != 0) {
    cover.corners.assign(apexRing.begin(), apexRing.end());
    painter.Add(std::move(cover));
  }
  painter.OrientConvex();
  painter.Paint(false);
}

void TUloCanvas3D::DrawCylinder(bool vertical, int left, int top, int right, int bottom, int z0, int z1,
                                bool darkCover) {
  DrawCone(vertical, left, top, right, bottom, z0, z1, darkCover, 100);
}

// ---- pyramids and frusta ---------------------------------------------------------

// A vertical pyramid stands on the rectangle at Bottom (from Left to Right
// and Z0 to Z1) with its apex above the centre at Top; a horizontal one
// stands on the rectangle at Left with its apex at Right. Top above Bottom
// (or Left beyond Right) turns it over.
void TUloCanvas3D::DrawPyramid(bool vertical, int left, int top, int right, int bottom, int z0, int z1,
                               bool darkSides) {
  const double cz = (static_cast<double>(z0) + z1) * 0.5;
  TSolidPainter painter(*this, projection_);
  auto at = [&](double axial, double across, double depth) {
    return vertical ? Vec3{across, axial, depth} : Vec3{axial, across, depth};
  };
  double a0, a1, baseAt, apexAt;
  if (vertical) {
    a0 = left;
    a1 = right;
    baseAt = bottom;
    apexAt = top;
  } else {
    a0 = top;
    a1 = bottom;
    baseAt = left;
    apexAt = right;
  }
  const Vec3 apex = at(apexAt, (a0 + a1) * 0.5, cz);
  const Vec3 b00 = at(baseAt, a0, z0), b10 = at(baseAt, a1, z0), b11 = at(baseAt, a1, z1), b01 = at(baseAt, a0, z1);
  const int across = darkSides ? 128 : -1;
  const int inDepth = darkSides ? 64 : -1;
  painter.Add(Face{{b00, b10, apex}, inDepth});
  painter.Add(Face{{b10, b11, apex}, across});
  painter.Add(Face{{b11, b01, apex}, inDepth});
  painter.Add(Face{{b01, b00, apex}, across});
  painter.Add(Face{{b00, b10, b11, b01}, -1});
  painter.OrientConvex();
  painter.Paint(false);
}

// The narrow end at Rect.Top, inset by TruncX from Left and Right and by
// TruncZ from both depths; the wide end at Rect.Bottom.
void TUloCanvas3D::DrawFrustum(const TRect &rect, int startZ, int endZ, int truncX, int truncZ) {
  const double l = rect.Left, r = rect.Right, t = rect.Top, b = rect.Bottom;
  const double z0 = startZ, z1 = endZ;
  const double nl = l + truncX, nr = r - truncX, n0 = z0 + truncZ, n1 = z1 - truncZ;
  const Vec3 w00{l, b, z0}, w10{r, b, z0}, w11{r, b, z1}, w01{l, b, z1};
  const Vec3 n00{nl, t, n0}, n10{nr, t, n0}, n11{nr, t, n1}, n01{nl, t, n1};
  TSolidPainter painter(*this, projection_);
  painter.Add(Face{{n00, n10, w10, w00}, -1});
  painter.Add(Face{{n10, n11, w11, w10}, -1});
  painter.Add(Face{{n11, n01, w01, w11}, -1});
  painter.Add(Face{{n01, n00, w00, w01}, -1});
  painter.Add(Face{{n00, n10, n11, n01}, -1});
  painter.Add(Face{{w00, w10, w11, w01}, -1});
  painter.OrientConvex();
  painter.Paint(false);
}

// ---- pie slices ------------------------------------------------------------------

// Angles in degrees, counter-clockwise from the positive X direction, as the
// canvas's other arcs. The slice lies at depths Z0 (its face) to Z1. A slice
// wider than half the ellipse, or one with a hole, is not convex: its side
// faces are built in the outside-clockwise order and drawn back to front.
void TUloCanvas3D::DrawPieSlice3D(int xCenter, int yCenter, int xRadius, int yRadius, int z0, int z1, double startAngle,
                                  double endAngle, bool darkSides, bool drawSides, int holePercent) {
  if (!std::isfinite(startAngle) || !std::isfinite(endAngle)) return;
  if (endAngle < startAngle) std::swap(startAngle, endAngle);
  const double sweep = std::min(endAngle - startAngle, 360.0);
  const double radius = std::max(std::abs(xRadius), std::abs(yRadius));
  const int steps = static_cast<int>(std::clamp(std::ceil(sweep * kDegToRad * radius / 4), 2.0, 360.0));
  const double hole = std::clamp(holePercent, 0, 100) * 0.01;
  const bool hasHole = hole > 0;
  auto rim = [&](double k, int i) {
    const double a = (startAngle + sweep * i / steps) * kDegToRad;
    return std::pair{xCenter + k * xRadius * std::cos(a), yCenter - k * yRadius * std::sin(a)};
  };
  std::vector<std::pair<double, double>> outer(steps + 1), inner(hasHole ? steps + 1 : 1);
  for (int i = 0; i <= steps; ++i)
    outer[i] = rim(1, i);
  if (hasHole)
    for (int i = 0; i <= steps; ++i)
      inner[i] = rim(hole, i);
  else
    inner[0] = {static_cast<double>(xCenter), static_cast<double>(yCenter)};
  auto innerAt = [&](int i) { return hasHole ? inner[i] : inner[0]; };
  auto v = [](const std::pair<double, double> &p, double z) { return Vec3{p.first, p.second, z}; };
  const bool mirrored = ((xRadius < 0) != (yRadius < 0)) != (z0 > z1);

  TSolidPainter painter(*this, projection_);
  const int sideDark = darkSides ? 32 : -1;
  if (drawSides) {
    for (int i = 0; i < steps; ++i) {
      painter.Add(Face{{v(outer[i + 1], z0), v(outer[i + 1], z1), v(outer[i], z1), v(outer[i], z0)}, sideDark});
      if (hasHole)
        painter.Add(Face{{v(inner[i], z0), v(inner[i], z1), v(inner[i + 1], z1), v(inner[i + 1], z0)}, sideDark});
    }
    if (sweep < 360) {
      painter.Add(Face{{v(innerAt(0), z0), v(outer[0], z0), v(outer[0], z1), v(innerAt(0), z1)}, sideDark});
      painter.Add(
          Face{{v(innerAt(steps), z1), v(outer[steps], z1), v(outer[steps], z0), v(innerAt(steps), z0)}, sideDark});
    }
    painter.Paint(mirrored);
  }
  // The face itself last: no side of the slice lies in front of it.
  std::vector<Vec3> front;
  for (int i = steps; i >= 0; --i)
    front.push_back(v(outer[i], z0));
  if (hasHole)
    for (int i = 0; i <= steps; ++i)
      front.push_back(v(inner[i], z0));
  else
    front.push_back(v(inner[0], z0));
  std::vector<Vec3> backFace(front.rbegin(), front.rend());
  for (Vec3 &p : backFace)
    p.z = z1;
  if (sweep < 360 || !hasHole) {
    TSolidPainter caps(*this, projection_);
    caps.Add(Face{std::move(front), -1});
    caps.Add(Face{std::move(backFace), -1});
    caps.Paint(mirrored);
    return;
  }
  // A whole ring: its face is filled as one polygon, but outlined along the
  // two rims only, so no seam shows where the polygon is joined.
  TPointArray face(front.size());
  for (std::size_t i = 0; i < front.size(); ++i)
    face[i] = projection_.ProjectFloat(front[i].x, front[i].y, z0);
  double area = SignedArea(face);
  int z = z0;
  if (!(mirrored ? area < 0 : area > 0)) {
    for (std::size_t i = 0; i < backFace.size(); ++i)
      face[i] = projection_.ProjectFloat(backFace[i].x, backFace[i].y, z1);
    area = SignedArea(face);
    if (!(mirrored ? area < 0 : area > 0)) return;
    z = z1;
  }
  const TPenStyle penStyle = Pen().Style();
  Pen().SetStyle(TPenStyle::psClear);
  Polygon(face);
  Pen().SetStyle(penStyle);
  if (penStyle == TPenStyle::psClear) return;
  TPointArray edge(steps + 1);
  for (const auto *ring : {&outer, &inner}) {
    for (int i = 0; i <= steps; ++i)
      edge[i] = projection_.ProjectFloat((*ring)[i].first, (*ring)[i].second, z);
    Polyline(edge);
  }
}

// ---- images on a plane -----------------------------------------------------------

// Plane 0 lies at depth Position with Rect across X and Y; plane 1 is the
// side plane at X = Position with Rect's horizontal extent running in depth
// and its vertical extent along Y; plane 2 is the floor plane at
// Y = Position with Rect's horizontal extent along X and its vertical extent
// in depth. Cell edges are rounded one by one so the cells tile.
void TCanvas3D::DrawImageProjected(const TRect &rect, const gdi::Bitmap *graphic, int plane, int position) {
  if (!graphic || graphic->IsEmpty()) return;
  const int w = graphic->Width(), h = graphic->Height();
  const double cellW = (static_cast<double>(rect.Right) - rect.Left) / w;
  const double cellH = (static_cast<double>(rect.Bottom) - rect.Top) / h;
  std::vector<int> xs(w + 1), ys(h + 1);
  for (int i = 0; i <= w; ++i)
    xs[i] = UloPixel(rect.Left + i * cellW);
  for (int j = 0; j <= h; ++j)
    ys[j] = UloPixel(rect.Top + j * cellH);
  auto corner = [&](int u, int v) {
    switch (plane) {
    case 1:
      return ProjectPoint(position, v, u);
    case 2:
      return ProjectPoint(u, position, v);
    default:
      return ProjectPoint(u, v, position);
    }
  };
  const TPenStyle penStyle = Pen().Style();
  const TBrushStyle brushStyle = Brush().Style();
  const TColor brushColor = Brush().Color();
  Pen().SetStyle(TPenStyle::psClear);
  Brush().SetStyle(TBrushStyle::bsSolid);
  std::vector<TPoint> rowTop(w + 1), rowBottom(w + 1);
  for (int i = 0; i <= w; ++i)
    rowTop[i] = corner(xs[i], ys[0]);
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i <= w; ++i)
      rowBottom[i] = corner(xs[i], ys[j + 1]);
    const uint32_t *row = graphic->ScanLine(j);
    for (int i = 0; i < w; ++i) {
      const uint32_t rgb = row[i] & 0xFFFFFF;
      Brush().SetColor(static_cast<TColor>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16)));
      const TPoint cell[4] = {rowTop[i], rowTop[i + 1], rowBottom[i + 1], rowBottom[i]};
      Polygon(cell);
    }
    std::swap(rowTop, rowBottom);
  }
  Pen().SetStyle(penStyle);
  Brush().SetStyle(brushStyle);
  Brush().SetColor(brushColor);
}
