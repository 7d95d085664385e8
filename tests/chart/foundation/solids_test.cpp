// Solids on the canvas: in every view only the faces turned toward the
// viewer may paint, and they must cover the solid's outline exactly once.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "chart/foundation/TestSurface.h"

namespace {

struct View {
  const char *name;
  bool orthogonal;
  int orthoAngle;
  int rotation;
  int elevation;
  int perspective;
  int tilt;
};

void PrintTo(const View &v, std::ostream *os) { *os << v.name; }

// The eight octants of the line of sight, and orthogonal views on both
// sides of the vertical.
const View kViews[] = {
    {"ortho45", true, 45, 0, 0, 0, 0},         {"ortho20", true, 20, 0, 0, 0, 0},
    {"ortho110", true, 110, 0, 0, 0, 0},       {"ortho160", true, 160, 0, 0, 0, 0},
    {"r45e30", false, 0, 45, 30, 0, 0},        {"r135e30", false, 0, 135, 30, 0, 0},
    {"r225e30", false, 0, 225, 30, 0, 0},      {"r315e30", false, 0, 315, 30, 0, 0},
    {"r45e330", false, 0, 45, 330, 0, 0},      {"r135e330", false, 0, 135, 330, 0, 0},
    {"r225e330", false, 0, 225, 330, 0, 0},    {"r315e330", false, 0, 315, 330, 0, 0},
    {"r30e340tilt", false, 0, 30, 340, 0, 25},
};

// Records every polygon it fills.
class RecordingCanvas : public TUloCanvas3D {
public:
  std::vector<TPointArray> polygons;
  void Polygon(std::span<const TPoint> points) override {
    polygons.emplace_back(points.begin(), points.end());
    TUloCanvas3D::Polygon(points);
  }
};

struct Scene : foundation_test::Surface<RecordingCanvas> {
  explicit Scene(const View &v, int perspective = -1) {
    options.SetOrthogonal(v.orthogonal);
    options.SetOrthoAngle(v.orthoAngle);
    options.SetRotation(v.rotation);
    options.SetElevation(v.elevation);
    options.SetPerspective(perspective >= 0 ? perspective : v.perspective);
    options.SetTilt(v.tilt);
    Prepare();
    canvas.Pen().SetStyle(TPenStyle::psClear);
  }
};

struct Vec {
  double x, y, z;
};

// The view as the affine map it is without perspective, read back from the
// canvas itself: screen = M * p + o.
struct AffineView {
  double m[2][3];
  double o[2];
  explicit AffineView(TUloCanvas3D &c) {
    constexpr int S = 10000;
    const TPoint p0 = c.ProjectPoint(0, 0, 0);
    const TPoint px = c.ProjectPoint(S, 0, 0), py = c.ProjectPoint(0, S, 0), pz = c.ProjectPoint(0, 0, S);
    o[0] = p0.X;
    o[1] = p0.Y;
    const TPoint axes[3] = {px, py, pz};
    for (int j = 0; j < 3; ++j) {
      m[0][j] = static_cast<double>(axes[j].X - p0.X) / S;
      m[1][j] = static_cast<double>(axes[j].Y - p0.Y) / S;
    }
  }
  // Toward the viewer: the screen's two rows span the image plane, and
  // depth grows away from the viewer.
  Vec TowardViewer() const {
    const Vec a{m[0][0], m[0][1], m[0][2]}, b{m[1][0], m[1][1], m[1][2]};
    return Vec{-(a.y * b.z - a.z * b.y), -(a.z * b.x - a.x * b.z), -(a.x * b.y - a.y * b.x)};
  }
  std::array<double, 2> Project(const Vec &p) const {
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + o[0], m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + o[1]};
  }
};

// Whether (x, y) lies inside the convex polygon at least Margin pixels from
// every edge.
bool DeepInside(const std::vector<std::array<double, 2>> &poly, double x, double y, double margin) {
  double area = 0;
  for (std::size_t i = 0; i < poly.size(); ++i) {
    const auto &a = poly[i];
    const auto &b = poly[(i + 1) % poly.size()];
    area += a[0] * b[1] - b[0] * a[1];
  }
  const double sign = area > 0 ? 1 : -1;
  for (std::size_t i = 0; i < poly.size(); ++i) {
    const auto &a = poly[i];
    const auto &b = poly[(i + 1) % poly.size()];
    const double ex = b[0] - a[0], ey = b[1] - a[1];
    const double len = std::hypot(ex, ey);
    if (len == 0) return false;
    const double d = sign * (ex * (y - a[1]) - ey * (x - a[0])) / len;
    if (d < margin) return false;
  }
  return true;
}

constexpr TColor kBase = 0xC8B4A0;

// Checks every pixel well inside a face the box turns toward the viewer
// against that face's colour, judging visibility from the faces' outward
// normals rather than from the drawing.
void ExpectBoxSeenRight(Scene &s, const std::string &name) {
  const AffineView view(s.canvas);
  const Vec eye = view.TowardViewer();
  struct BoxFace {
    Vec normal;
    std::array<Vec, 4> corners;
    TColor color;
  };
  const double l = 70, r = 130, t = 70, b = 130, z0 = 20, z1 = 80;
  const TColor side = DarkenColor(kBase, 128), flat = DarkenColor(kBase, 64);
  const BoxFace faces[6] = {
      {{0, 0, -1}, {{{l, t, z0}, {r, t, z0}, {r, b, z0}, {l, b, z0}}}, kBase},
      {{0, 0, 1}, {{{l, t, z1}, {r, t, z1}, {r, b, z1}, {l, b, z1}}}, kBase},
      {{1, 0, 0}, {{{r, t, z0}, {r, t, z1}, {r, b, z1}, {r, b, z0}}}, side},
      {{-1, 0, 0}, {{{l, t, z0}, {l, t, z1}, {l, b, z1}, {l, b, z0}}}, side},
      {{0, -1, 0}, {{{l, t, z0}, {r, t, z0}, {r, t, z1}, {l, t, z1}}}, flat},
      {{0, 1, 0}, {{{l, b, z0}, {r, b, z0}, {r, b, z1}, {l, b, z1}}}, flat},
  };
  int checked = 0;
  for (const BoxFace &f : faces) {
    if (f.normal.x * eye.x + f.normal.y * eye.y + f.normal.z * eye.z <= 0) continue;
    std::vector<std::array<double, 2>> poly;
    for (const Vec &c : f.corners)
      poly.push_back(view.Project(c));
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 200; ++x) {
        if (!DeepInside(poly, x, y, 2.5)) continue;
        ++checked;
        ASSERT_EQ(s.image.Pixel(x, y), f.color) << name << " at " << x << "," << y;
      }
  }
  EXPECT_GT(checked, 1000) << name;
}

class SolidViews : public ::testing::TestWithParam<View> {};

TEST_P(SolidViews, BoxShowsOnlyItsFacingFaces) {
  const View &v = GetParam();
  // Reversed extents describe the same box and must look the same.
  const std::array<int, 6> orders[] = {
      {70, 130, 70, 130, 20, 80}, {130, 70, 70, 130, 20, 80}, {70, 130, 130, 70, 80, 20}, {130, 70, 130, 70, 80, 20}};
  for (const auto &o : orders) {
    Scene s(v);
    s.canvas.Brush().SetColor(kBase);
    s.canvas.DrawBox(o[0], o[1], o[2], o[3], o[4], o[5], true);
    ExpectBoxSeenRight(s, std::string(v.name) + " box " + std::to_string(o[0]) + "," + std::to_string(o[2]) + "," +
                              std::to_string(o[4]));
    EXPECT_EQ(s.canvas.Brush().Color(), kBase);
  }
}

// The faces drawn tile the solid's outline: their areas add up to the area
// of the convex hull of all their corners. A face from the far side would
// add its own area again.
double Area(const TPointArray &p) {
  double a = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const TPoint &u = p[i];
    const TPoint &w = p[(i + 1) % p.size()];
    a += static_cast<double>(u.X) * w.Y - static_cast<double>(w.X) * u.Y;
  }
  return std::abs(a) / 2;
}

void ExpectFacesTile(Scene &s, const std::string &name) {
  TPointArray all;
  double sum = 0;
  for (const TPointArray &p : s.canvas.polygons) {
    sum += Area(p);
    all.insert(all.end(), p.begin(), p.end());
  }
  ASSERT_FALSE(s.canvas.polygons.empty()) << name;
  ASSERT_TRUE(ConvexHull(all)) << name;
  const double hull = Area(all);
  EXPECT_NEAR(sum, hull, 0.02 * hull + 30) << name;
}

TEST_P(SolidViews, ConvexSolidsPaintEachPixelOnce) {
  const View &v = GetParam();
  // With perspective as well: the line of sight differs across the solid.
  for (int perspective : {0, 100}) {
    const std::string at = std::string(v.name) + " perspective " + std::to_string(perspective);
    auto run = [&](const char *what, auto draw) {
      Scene s(v, perspective);
      s.canvas.Brush().SetColor(kBase);
      draw(s.canvas);
      ExpectFacesTile(s, at + " " + what);
    };
    run("box", [](TUloCanvas3D &c) { c.DrawBox(70, 130, 70, 130, 20, 80, true); });
    run("mirrored box", [](TUloCanvas3D &c) { c.DrawBox(130, 70, 70, 130, 20, 80, true); });
    run("cone", [](TUloCanvas3D &c) { c.DrawCone(true, 70, 60, 130, 140, 20, 80, true, 0); });
    run("truncated cone", [](TUloCanvas3D &c) { c.DrawCone(false, 60, 70, 140, 130, 20, 80, true, 40); });
    run("cylinder", [](TUloCanvas3D &c) { c.DrawCylinder(true, 70, 60, 130, 140, 20, 80, false); });
    run("pyramid", [](TUloCanvas3D &c) { c.DrawPyramid(true, 70, 60, 130, 140, 20, 80, true); });
    run("pyramid upside down", [](TUloCanvas3D &c) { c.DrawPyramid(true, 70, 140, 130, 60, 20, 80, true); });
    run("sideways pyramid", [](TUloCanvas3D &c) { c.DrawPyramid(false, 60, 70, 140, 130, 20, 80, false); });
    run("frustum", [](TUloCanvas3D &c) { c.DrawFrustum(TRect{70, 60, 130, 140}, 20, 80, 12, 10); });
    run("slice", [](TUloCanvas3D &c) { c.DrawPieSlice3D(100, 100, 50, 40, 35, 65, 20, 140, true, true, 0); });
  }
}

INSTANTIATE_TEST_SUITE_P(Solids, SolidViews, ::testing::ValuesIn(kViews),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Solids, WholeRingFaceHasNoSeam) {
  Scene s(kViews[0]);
  s.canvas.Pen().SetStyle(TPenStyle::psSolid);
  s.canvas.Brush().SetColor(kBase);
  s.canvas.DrawPieSlice3D(100, 100, 60, 60, 0, 20, 0, 360, false, true, 50);
  // Where the face's polygon is joined, at angle 0 between the two rims.
  for (int x = 134; x < 157; ++x)
    ASSERT_EQ(s.image.Pixel(x, 100), kBase) << x;
  EXPECT_EQ(s.image.Pixel(100, 100), clWhite);
  EXPECT_EQ(s.image.Pixel(160, 100), clBlack);
}

// A box of odd width has a radius of a whole pixel and a half: the top ring
// of a cylinder keeps it, so the sides stand straight.
TEST(Solids, CylinderOfOddWidthHasStraightSides) {
  for (const int width : {21, 33}) {
    Scene s(kViews[0]);
    s.canvas.Brush().SetColor(kBase);
    s.canvas.DrawCylinder(true, 40, 40, 40 + width, 160, 0, 20, false);
    // Between the rings (Y 20..40 and 140..160 on screen) only the sides show.
    auto edges = [&](int y) {
      int lo = 200, hi = -1;
      for (int x = 0; x < 200; ++x)
        if (s.image.Pixel(x, y) != clWhite) {
          lo = std::min(lo, x);
          hi = std::max(hi, x);
        }
      return std::pair{lo, hi};
    };
    const auto first = edges(45);
    for (int y = 46; y < 136; ++y)
      ASSERT_EQ(edges(y), first) << width << " at " << y;
  }
}

TEST(Solids, ArrowsHaveTheirHeadAtTo) {
  struct Case {
    TPoint from, to;
    TPoint inHead, inShaft, beside;
  };
  const Case cases[] = {
      {{20, 100}, {120, 100}, {110, 102}, {50, 101}, {50, 106}},  // right
      {{100, 180}, {100, 60}, {102, 70}, {101, 150}, {106, 150}}, // up (screen Y grows down)
      {{150, 150}, {60, 60}, {70, 66}, {120, 121}, {112, 126}},   // up and left
  };
  for (const Case &c : cases) {
    Scene s(kViews[0]);
    s.canvas.Brush().SetColor(clRed);
    s.canvas.DrawArrow(true, c.from, c.to, 16, 20, 0, 50);
    EXPECT_EQ(s.image.Pixel(c.inHead.X, c.inHead.Y), clRed);
    EXPECT_EQ(s.image.Pixel(c.inShaft.X, c.inShaft.Y), clRed);
    EXPECT_EQ(s.image.Pixel(c.beside.X, c.beside.Y), clWhite);
  }
  Scene s(kViews[0]);
  s.canvas.Pen().SetStyle(TPenStyle::psSolid);
  s.canvas.DrawArrow(true, {50, 50}, {50, 50}, 16, 20, 0, 50);
  s.canvas.DrawArrow(false, {50, 50}, {50, 50}, 16, 20, 0, 50);
  EXPECT_TRUE(s.AllWhite());
}

TEST(Solids, ProjectedImageCellsTileWithoutGaps) {
  gdi::Bitmap picture(3, 2);
  const TColor colors[2][3] = {{clRed, clLime, clBlue}, {clYellow, clAqua, clFuchsia}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      picture.SetPixel(x, y, colors[y][x]);
  Scene s(kViews[0]);
  s.canvas.Pen().SetStyle(TPenStyle::psDot);
  // 100 / 3 pixels per cell: the cells' edges fall between whole pixels.
  s.canvas.DrawImageProjected(TRect{20, 20, 120, 80}, &picture, 0, 0);
  for (int y = 20; y < 80; ++y)
    for (int x = 20; x < 120; ++x) {
      const int col = std::min(2, (x - 20) * 3 / 100), row = (y - 20) / 30;
      if ((x - 20) * 3 % 100 == 99 || (x - 20) * 3 % 100 == 0) continue;
      ASSERT_EQ(s.image.Pixel(x, y), colors[row][col]) << x << "," << y;
    }
  EXPECT_EQ(s.image.Pixel(120, 50), clWhite);
  EXPECT_EQ(s.image.Pixel(50, 80), clWhite);
  EXPECT_EQ(s.canvas.Pen().Style(), TPenStyle::psDot);
  // At depth 30 the image moves right and up by 30.
  Scene d(kViews[0]);
  d.canvas.DrawImageProjected(TRect{20, 20, 120, 80}, &picture, 0, 30);
  EXPECT_EQ(d.image.Pixel(55, 0), clRed);
  EXPECT_EQ(d.image.Pixel(140, 40), clFuchsia);
}

} // namespace
