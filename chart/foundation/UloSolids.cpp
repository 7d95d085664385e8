// Solids drawn from their projected corners: boxes and arrows, and the
// solids still to come.
#include <cmath>

#include "chart/foundation/UloCanvas3D.h"
#include "platform/rtl/Exceptions.h"

namespace {
// The quadrilateral turns toward the viewer (its corners run clockwise on
// screen, seen from the front).
bool QuadFacing(const TFourPoints &q) {
  const double cross = (static_cast<double>(q[3].X) - q[2].X) * (static_cast<double>(q[1].Y) - q[2].Y) -
                       (static_cast<double>(q[1].X) - q[2].X) * (static_cast<double>(q[3].Y) - q[2].Y);
  return cross > 0;
}
} // namespace

void TUloCanvas3D::DrawBox(int left, int right, int top, int bottom, int z0, int z1, bool darkSides) {
  const bool solid = Brush().Style() == TBrushStyle::bsSolid;
  const bool clear = Brush().Style() == TBrushStyle::bsClear;
  const TColor base = solid ? Brush().Color() : GetBkColor();
  const TProjection &p = projection_;

  quad_ = {p.Project(left, top, z0), p.Project(right, top, z0), p.Project(right, bottom, z0),
           p.Project(left, bottom, z0)};
  if (!clear && !QuadFacing(quad_))
    quad_ = {p.Project(left, top, z1), p.Project(right, top, z1), p.Project(right, bottom, z1),
             p.Project(left, bottom, z1)};
  DrawQuadBuffer();

  auto face = [&](const TFourPoints &q, int darken) {
    if (!clear && !QuadFacing(q)) return;
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
  // The next box starts from the caller's colour, not from a darkened one.
  if (darkSides) {
    if (solid)
      Brush().SetColor(base);
    else
      SetBkColor(base);
  }
}

void TUloCanvas3D::DrawArrow(bool filled, const TPoint &fromPoint, const TPoint &toPoint, int headWidth, int headHeight,
                             int z, double sizePercent) {
  const double dx = static_cast<double>(toPoint.X) - fromPoint.X;
  const double dy = static_cast<double>(toPoint.Y) - fromPoint.Y;
  const double length = std::sqrt(dx * dx + dy * dy);
  if (length == 0) return;
  const double h = std::min<double>(headHeight, UloPixel(length));
  // Along the arrow and across it, in screen pixels.
  const double ax = dx / length, ay = dy / length;
  const double px = -ay, py = ax;
  const double baseX = toPoint.X - h * ax, baseY = toPoint.Y - h * ay;
  const double half = headWidth * 0.5;
  auto at = [](double x, double y) { return TPoint{UloPixel(x), UloPixel(y)}; };
  const TPoint head1 = at(baseX + half * px, baseY + half * py);
  const TPoint head2 = at(baseX - half * px, baseY - half * py);
  if (filled) {
    const double shaft = headWidth * sizePercent * 0.005;
    const TPoint outline[7] = {at(fromPoint.X + shaft * px, fromPoint.Y + shaft * py),
                               at(baseX + shaft * px, baseY + shaft * py),
                               head1,
                               toPoint,
                               head2,
                               at(baseX - shaft * px, baseY - shaft * py),
                               at(fromPoint.X - shaft * px, fromPoint.Y - shaft * py)};
    PolygonAtDepth(outline, z);
  } else {
    LineAtDepth(fromPoint.X, fromPoint.Y, toPoint.X, toPoint.Y, z);
    LineAtDepth(toPoint.X, toPoint.Y, head1.X, head1.Y, z);
    LineAtDepth(toPoint.X, toPoint.Y, head2.X, head2.Y, z);
  }
}

void TUloCanvas3D::DrawCone(bool, int, int, int, int, int, int, bool, int) {
  throw rtl::ENotImplemented("Drawing of cones");
}

void TUloCanvas3D::DrawCylinder(bool vertical, int left, int top, int right, int bottom, int z0, int z1,
                                bool darkCover) {
  DrawCone(vertical, left, top, right, bottom, z0, z1, darkCover, 100);
}

void TUloCanvas3D::DrawPyramid(bool, int, int, int, int, int, int, bool) {
  throw rtl::ENotImplemented("Drawing of pyramids");
}

void TUloCanvas3D::DrawFrustum(const TRect &, int, int, int, int) {
  throw rtl::ENotImplemented("Drawing of truncated pyramids");
}

void TUloCanvas3D::DrawPieSlice3D(int, int, int, int, int, int, double, double, bool, bool, int) {
  throw rtl::ENotImplemented("Drawing of 3D pie slices");
}

void TCanvas3D::DrawImageProjected(const TRect &, const gdi::Bitmap *, int, int) {
  throw rtl::ENotImplemented("Drawing of images on a 3D plane");
}
