// Regions and clipping: what each clip lets through, for every kind of call.
#include "GdiTestUtil.h"

#include <gtest/gtest.h>

namespace gdi {
namespace {

using test::Draw;
using test::InkOf;

void FillAll(DeviceContext &dc) { dc.FillRect({0, 0, dc.Width(), dc.Height()}, Brush::Solid(clBlack)); }

struct ClipCase {
  const char *name;
  Draw clip;
  Rect bounds; // of what a fill of the whole 40 x 30 surface paints
  int count;
};

class Clips : public ::testing::TestWithParam<ClipCase> {};

TEST_P(Clips, LetThroughExactlyTheirPixels) {
  Bitmap bmp(40, 30);
  GetParam().clip(bmp.DC());
  FillAll(bmp.DC());
  EXPECT_EQ(InkOf(bmp).bounds, GetParam().bounds);
  EXPECT_EQ(InkOf(bmp).count, GetParam().count);
}

// clang-format off
const ClipCase kClips[] = {
    {"Rectangle", [](DeviceContext &dc) { dc.IntersectClipRect({5, 6, 15, 26}); }, {5, 6, 15, 26}, 200},
    {"UnionOfTwoRectangles", [](DeviceContext &dc) {
       dc.SelectClipRegion(Region::FromRect({0, 0, 20, 20}));
       dc.CombineClip(Region::FromRect({0, 0, 10, 30}), RegionOp::Or);
     }, {0, 0, 20, 30}, 20 * 20 + 10 * 10},
    // With no clip, combining works against the whole surface.
    {"DiffWithoutClipIsEverythingExcept", [](DeviceContext &dc) {
       dc.CombineClip(Region::FromRect({5, 5, 10, 10}), RegionOp::Diff); }, {0, 0, 40, 30}, 1200 - 25},
    {"XorWithoutClipIsEverythingExcept", [](DeviceContext &dc) {
       dc.CombineClip(Region::FromRect({5, 5, 10, 10}), RegionOp::Xor); }, {0, 0, 40, 30}, 1200 - 25},
    {"ExcludedThenKeptAndSelectedAgain", [](DeviceContext &dc) {
       dc.ExcludeClipRect({0, 0, 10, 20});
       Region kept;
       EXPECT_TRUE(dc.GetClipRegion(kept));
       dc.RemoveClip();
       dc.SelectClipRegion(kept);
     }, {0, 0, 40, 30}, 1200 - 200},
    {"RemovedByResizing", [](DeviceContext &dc) { dc.IntersectClipRect({0, 0, 2, 2}); dc.Target().SetSize(40, 30); },
     {0, 0, 40, 30}, 1200},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Gdi, Clips, ::testing::ValuesIn(kClips), test::ByName);

// Regions of curved shapes cover what the filled shape with no pen covers on
// the box one pixel larger, so clipping to a shape and filling it agree.
struct ShapeRegionCase {
  const char *name;
  Region (*region)();
  void (*fill)(DeviceContext &);
};

class ShapeRegions : public ::testing::TestWithParam<ShapeRegionCase> {};

TEST_P(ShapeRegions, MatchTheFilledShape) {
  Bitmap clipped(64, 48), filled(64, 48);
  clipped.DC().SelectClipRegion(GetParam().region());
  FillAll(clipped.DC());
  DeviceContext &dc = filled.DC();
  dc.SelectPen(Pen::Null());
  dc.SelectBrush(Brush::Solid(clBlack));
  GetParam().fill(dc);
  EXPECT_GT(InkOf(filled).count, 0);
  EXPECT_TRUE(test::SamePixels(clipped, filled));
}

const Point kStar[] = {{32, 2}, {44, 44}, {4, 16}, {60, 16}, {20, 44}};

void StarAndEllipse(DeviceContext &dc) {
  dc.BeginPath();
  dc.Polygon(kStar);
  dc.Ellipse(40, 20, 62, 46);
  dc.EndPath();
}

Region ClipPathRegion() {
  Bitmap b(64, 48);
  StarAndEllipse(b.DC());
  b.DC().SelectClipPath(RegionOp::And);
  Region r;
  b.DC().GetClipRegion(r);
  return r;
}

// clang-format off
const ShapeRegionCase kShapeRegions[] = {
    {"Ellipse", [] { return Region::FromEllipse({5, 4, 50, 37}); },
     [](DeviceContext &dc) { dc.Ellipse(5, 4, 51, 38); }},
    {"SmallEllipse", [] { return Region::FromEllipse({5, 5, 8, 7}); },
     [](DeviceContext &dc) { dc.Ellipse(5, 5, 9, 8); }},
    {"RoundRect", [] { return Region::FromRoundRect({3, 3, 60, 40}, 20, 14); },
     [](DeviceContext &dc) { dc.RoundRect(3, 3, 61, 41, 20, 14); }},
    {"PolygonAlternate", [] { return Region::FromPolygon(kStar); }, [](DeviceContext &dc) { dc.Polygon(kStar); }},
    {"PolygonWinding", [] { return Region::FromPolygon(kStar, PolyFillMode::Winding); },
     [](DeviceContext &dc) { dc.SetPolyFillMode(PolyFillMode::Winding); dc.Polygon(kStar); }},
    // A clip path is exactly what filling the path paints.
    {"ClipPath", ClipPathRegion, [](DeviceContext &dc) { StarAndEllipse(dc); dc.FillPath(); }},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Gdi, ShapeRegions, ::testing::ValuesIn(kShapeRegions), test::ByName);

// Every kind of call honours a clip made of many rectangles.
TEST(GdiClip, EveryCallHonoursAnEllipticClip) {
  const Region ellipse = Region::FromEllipse({10, 10, 54, 38});
  Bitmap src(64, 48);
  src.Fill(clRed);
  Bitmap bmp(64, 48);
  DeviceContext &dc = bmp.DC();
  dc.SelectClipRegion(ellipse);
  for (int y = 0; y < 48; y += 3) {
    dc.MoveTo(0, y);
    dc.LineTo(64, y + 5);
  }
  dc.SelectPen(Pen::Solid(clBlue, 4));
  dc.MoveTo(0, 47);
  dc.LineTo(63, 0);
  dc.SelectBrush(Brush::Hatched(HatchStyle::Cross, clGreen));
  dc.Rectangle(0, 0, 30, 48);
  dc.Ellipse(20, 0, 64, 48);
  dc.BitBlt(40, 0, 24, 48, src, 0, 0);
  dc.StretchBlt({0, 30, 64, 48}, src, {0, 0, 2, 2});
  dc.AlphaBlend({0, 0, 20, 20}, src, {0, 0, 20, 20}, 128);
  dc.TextOut(0, 20, "WWWWWWWWWW");
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x)
      ASSERT_TRUE(ellipse.Contains(x, y) || bmp.Pixel(x, y) == clWhite) << x << "," << y;
  EXPECT_GT(InkOf(bmp).count, 400);
}

TEST(GdiRegions, CombineAndQuery) {
  Region a = Region::FromRect({0, 0, 10, 10});
  a.Combine(Region::FromRect({5, 5, 15, 15}), RegionOp::Xor);
  a.Offset(100, 10);
  EXPECT_EQ(a.Bounds(), (Rect{100, 10, 115, 25}));
  EXPECT_TRUE(a.Contains(100, 10) && a.Contains(114, 24));
  EXPECT_FALSE(a.Contains(107, 17) || a.Contains(115, 25));
  a.Combine(a, RegionOp::Diff);
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(a.Bounds(), Rect{});
  EXPECT_TRUE(Region::FromRect({5, 5, 5, 9}).IsEmpty());
  EXPECT_TRUE(Region::FromEllipse({5, 5, 5, 9}).IsEmpty());
  EXPECT_TRUE(Region::FromPolygon(std::span<const Point>(kStar, 2)).IsEmpty());
}

} // namespace
} // namespace gdi
