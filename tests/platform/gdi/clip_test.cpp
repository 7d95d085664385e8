// Regions and clipping: what each clip lets through, for every kind of call.
#include "GdiTestUtil.h"

#include <gtest/gtest.h>

namespace gdi {
namespace {

using test::InkOf;

void FillAll(DeviceContext &dc) { dc.FillRect({0, 0, dc.Width(), dc.Height()}, Brush::Solid(clBlack)); }

TEST(GdiClip, RectangleLetsThroughExactlyItsPixels) {
  Bitmap bmp(40, 30);
  DeviceContext &dc = bmp.DC();
  dc.IntersectClipRect({5, 6, 15, 26});
  FillAll(dc);
  EXPECT_EQ(InkOf(bmp).bounds, (Rect{5, 6, 15, 26}));
  EXPECT_EQ(InkOf(bmp).count, 200);
}

TEST(GdiClip, UnionOfTwoRectangles) {
  Bitmap bmp(40, 40);
  DeviceContext &dc = bmp.DC();
  dc.SelectClipRegion(Region::FromRect({0, 0, 20, 20}));
  dc.CombineClip(Region::FromRect({0, 0, 10, 30}), RegionOp::Or);
  FillAll(dc);
  EXPECT_EQ(InkOf(bmp).count, 20 * 20 + 10 * 10);
}

// With no clip, combining works against the whole surface.
TEST(GdiClip, DiffAndXorWithoutClipMeanEverythingExcept) {
  for (RegionOp op : {RegionOp::Diff, RegionOp::Xor}) {
    Bitmap bmp(20, 20);
    DeviceContext &dc = bmp.DC();
    dc.CombineClip(Region::FromRect({5, 5, 10, 10}), op);
    FillAll(dc);
    EXPECT_EQ(InkOf(bmp).count, 400 - 25);
    EXPECT_EQ(bmp.Pixel(7, 7), clWhite);
  }
}

TEST(GdiClip, ExcludeThenRemove) {
  Bitmap bmp(20, 20);
  DeviceContext &dc = bmp.DC();
  dc.ExcludeClipRect({0, 0, 10, 20});
  EXPECT_TRUE(dc.HasClip());
  EXPECT_EQ(dc.ClipBox(), (Rect{10, 0, 20, 20}));
  Region saved;
  EXPECT_TRUE(dc.GetClipRegion(saved));
  dc.RemoveClip();
  EXPECT_FALSE(dc.HasClip());
  EXPECT_EQ(dc.ClipBox(), (Rect{0, 0, 20, 20}));
  Region none;
  EXPECT_FALSE(dc.GetClipRegion(none));
  EXPECT_TRUE(none.IsEmpty());
  dc.SelectClipRegion(saved);
  FillAll(dc);
  EXPECT_EQ(InkOf(bmp).bounds, (Rect{10, 0, 20, 20}));
}

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
  EXPECT_TRUE(test::SamePixels(clipped, filled))
      << test::Picture(clipped, {0, 0, 64, 48}) << test::Picture(filled, {0, 0, 64, 48});
}

const Point kStar[] = {{32, 2}, {44, 44}, {4, 16}, {60, 16}, {20, 44}};

INSTANTIATE_TEST_SUITE_P(
    Gdi, ShapeRegions,
    ::testing::Values(ShapeRegionCase{"Ellipse",
                                      [] {
                                        return Region::FromEllipse({5, 4, 50, 37});
                                      },
                                      [](DeviceContext &dc) { dc.Ellipse(5, 4, 51, 38); }},
                      ShapeRegionCase{"SmallEllipse",
                                      [] {
                                        return Region::FromEllipse({5, 5, 8, 7});
                                      },
                                      [](DeviceContext &dc) { dc.Ellipse(5, 5, 9, 8); }},
                      ShapeRegionCase{"RoundRect",
                                      [] {
                                        return Region::FromRoundRect({3, 3, 60, 40}, 20, 14);
                                      },
                                      [](DeviceContext &dc) { dc.RoundRect(3, 3, 61, 41, 20, 14); }},
                      ShapeRegionCase{"PolygonAlternate", [] { return Region::FromPolygon(kStar); },
                                      [](DeviceContext &dc) { dc.Polygon(kStar); }},
                      ShapeRegionCase{"PolygonWinding",
                                      [] { return Region::FromPolygon(kStar, PolyFillMode::Winding); },
                                      [](DeviceContext &dc) {
                                        dc.SetPolyFillMode(PolyFillMode::Winding);
                                        dc.Polygon(kStar);
                                      }}),
    [](const auto &info) { return std::string(info.param.name); });

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
      if (!ellipse.Contains(x, y)) {
        ASSERT_EQ(bmp.Pixel(x, y), clWhite) << x << "," << y;
      }
  EXPECT_GT(InkOf(bmp).count, 400);
}

TEST(GdiClip, SelectClipPathClipsToWhatFillPathPaints) {
  Bitmap clipped(64, 48), filled(64, 48);
  for (Bitmap *b : {&clipped, &filled}) {
    DeviceContext &dc = b->DC();
    dc.BeginPath();
    dc.Polygon(kStar);
    dc.Ellipse(40, 20, 62, 46);
    dc.EndPath();
    if (b == &clipped) {
      dc.SelectClipPath(RegionOp::And);
      FillAll(dc);
    } else {
      dc.SelectBrush(Brush::Solid(clBlack));
      dc.FillPath();
    }
  }
  EXPECT_GT(InkOf(filled).count, 0);
  EXPECT_TRUE(test::SamePixels(clipped, filled));
}

TEST(GdiClip, ResizingTheBitmapDropsTheClip) {
  Bitmap bmp(10, 10);
  bmp.DC().IntersectClipRect({0, 0, 2, 2});
  bmp.SetSize(20, 20);
  EXPECT_FALSE(bmp.DC().HasClip());
  FillAll(bmp.DC());
  EXPECT_EQ(InkOf(bmp).count, 400);
}

TEST(GdiRegions, CombineAndQuery) {
  Region a = Region::FromRect({0, 0, 10, 10});
  a.Combine(Region::FromRect({5, 5, 15, 15}), RegionOp::Xor);
  EXPECT_TRUE(a.Contains(0, 0));
  EXPECT_FALSE(a.Contains(7, 7));
  EXPECT_TRUE(a.Contains(14, 14));
  EXPECT_FALSE(a.Contains(15, 15));
  EXPECT_EQ(a.Bounds(), (Rect{0, 0, 15, 15}));
  a.Offset(100, 0);
  EXPECT_TRUE(a.Contains(100, 0));
  Region b = a;
  b.Combine(a, RegionOp::Diff);
  EXPECT_TRUE(b.IsEmpty());
  EXPECT_EQ(b.Bounds(), Rect{});
  EXPECT_TRUE(Region::FromRect({5, 5, 5, 9}).IsEmpty());
  EXPECT_TRUE(Region::FromEllipse({5, 5, 5, 9}).IsEmpty());
  EXPECT_TRUE(Region::FromPolygon(std::span<const Point>(kStar, 2)).IsEmpty());
}

// A polygon far beyond any surface still gives its visible part, quickly.
TEST(GdiRegions, HugePolygonIsBounded) {
  const Point tri[] = {{-kMaxPixel, -kMaxPixel}, {kMaxPixel, -kMaxPixel}, {-kMaxPixel, kMaxPixel}};
  const Region r = Region::FromPolygon(tri);
  EXPECT_TRUE(r.Contains(-1, -1));
  EXPECT_TRUE(r.Contains(-500, 400));
  EXPECT_FALSE(r.Contains(100, 100));
}

} // namespace
} // namespace gdi
