// Raster operations: drawing twice in exclusive-or restores the surface byte
// for byte, and one call combines each pixel once.
#include "GdiTestUtil.h"

#include <gtest/gtest.h>

namespace gdi {
namespace {

using namespace test;

// Figures by every drawing path; the pen is silver where not said, as
// black would leave exclusive-or unchanged.
struct RopCase {
  const char *name;
  Draw draw;
  Pen pen = Pen::Solid(clSilver);
  Brush brush = Brush::Solid(clTeal);
};

const std::vector<Point> kStar = {{32, 2}, {44, 44}, {4, 16}, {60, 16}, {20, 44}};

// clang-format off
const RopCase kFigures[] = {
    {"SelfCrossingPolyline", Lines({{5, 5}, {60, 45}, {60, 5}, {5, 45}})},
    {"DashedOpaqueLine", Line(2, 30, 62, 33), Styled(PenStyle::DashDot, 1, PenEndCap::Round, PenJoin::Round, clYellow)},
    {"WideLine", Lines({{5, 5}, {60, 45}, {60, 5}}), Pen::Solid(clRed, 5)},
    {"RectangleWithBrush", Rectangle(8, 8, 40, 30)},
    {"EllipseWithBrush", Ellipse(8, 8, 50, 40)},
    {"WindingStar", [](DeviceContext &dc) { dc.SetPolyFillMode(PolyFillMode::Winding); dc.Polygon(kStar); }},
    {"HatchedPie", [](DeviceContext &dc) { dc.Pie(4, 4, 56, 46, 60, 0, 0, 30); }, Pen::Solid(clSilver),
     Brush::Hatched(HatchStyle::DiagCross, clMaroon)},
    {"ChordAndArc", [](DeviceContext &dc) {
       dc.Chord(4, 4, 56, 46, 60, 0, 0, 30);
       dc.Arc(0, 0, 64, 48, 0, 0, 64, 48);
     }},
};
// clang-format on

void DrawFigure(DeviceContext &dc, const RopCase &c) {
  dc.SelectPen(c.pen);
  dc.SelectBrush(c.brush);
  c.draw(dc);
}

class XorTwice : public ::testing::TestWithParam<RopCase> {};
class CoveredOnce : public XorTwice {};

TEST_P(XorTwice, RestoresTheSurfaceExactly) {
  for (RasterOp op : {RasterOp::XorPen, RasterOp::NotXorPen, RasterOp::Not}) {
    Bitmap bmp(64, 48);
    Noise(bmp);
    const Bitmap before = bmp.Clone();
    bmp.DC().SetRasterOp(op);
    DrawFigure(bmp.DC(), GetParam());
    EXPECT_FALSE(SamePixels(bmp, before)) << "drew nothing";
    DrawFigure(bmp.DC(), GetParam());
    EXPECT_TRUE(SamePixels(bmp, before)) << static_cast<int>(op);
  }
}

// One call combines a pixel once: the inversion of white marks exactly the
// pixels the copy-mode drawing covers, crossings and corners included (a
// pixel combined twice would have turned back to white).
TEST_P(CoveredOnce, CombinesEachCoveredPixelOnce) {
  Bitmap copied(64, 48), inverted(64, 48);
  copied.DC().SetBkColor(clBlack); // so that opaque gaps show as covered
  DrawFigure(copied.DC(), GetParam());
  inverted.DC().SetRasterOp(RasterOp::Not);
  DrawFigure(inverted.DC(), GetParam());
  EXPECT_EQ(InkOf(inverted).count, InkOf(copied).count);
  EXPECT_EQ(InkOf(inverted).count, CountColor(inverted, clBlack));
}

INSTANTIATE_TEST_SUITE_P(Gdi, XorTwice, ::testing::ValuesIn(kFigures), test::ByName);
INSTANTIATE_TEST_SUITE_P(Gdi, CoveredOnce, ::testing::ValuesIn(kFigures), test::ByName);

// Blits and pattern fills ignore the raster operation; those that invert
// give the surface back as well when repeated.
Bitmap Source() {
  Bitmap b(8, 8);
  Noise(b, 3);
  return b;
}

// clang-format off
const RopCase kInvertingBlits[] = {
    {"SrcInvertBlit", [](DeviceContext &dc) { dc.BitBlt(3, 3, 8, 8, Source(), 0, 0, Rop3::SrcInvert); }},
    {"SrcInvertStretch",
     [](DeviceContext &dc) { dc.StretchBlt({30, 2, 12, 20}, Source(), {0, 0, 8, 8}, Rop3::SrcInvert); }},
    {"PatInvert", [](DeviceContext &dc) { dc.PatBlt(2, 2, 15, 15, Rop3::PatInvert); }, Pen::Solid(clSilver),
     Brush::Hatched(HatchStyle::Cross, clRed)},
    {"DstInvert", [](DeviceContext &dc) { dc.PatBlt(20, 20, -9, -9, Rop3::DstInvert); }},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Blits, XorTwice, ::testing::ValuesIn(kInvertingBlits), test::ByName);

// Every binary raster operation, one to a row, in the order of their codes.
TEST(GdiRop2, CombinesPenAndDestination) {
  constexpr uint32_t D = 0x3C5AF0, P = 0x0FF00F;
  const uint32_t expected[] = {0,     ~(D | P), D & ~P, ~P,     P & ~D, ~D,     D ^ P, ~(D & P),
                               D & P, ~(D ^ P), D,      D | ~P, P,      P | ~D, D | P, ~0u};
  Bitmap bmp(9, 16);
  bmp.Fill(static_cast<TColor>(D));
  DeviceContext &dc = bmp.DC();
  dc.SelectPen(Pen::Solid(static_cast<TColor>(P)));
  for (int i = 0; i < 16; ++i) {
    dc.SetRasterOp(static_cast<RasterOp>(i + 1));
    Line(0, i, 8, i)(dc);
    EXPECT_EQ(static_cast<uint32_t>(bmp.Pixel(4, i)), expected[i] & 0xFFFFFF) << i + 1;
    EXPECT_EQ(static_cast<uint32_t>(bmp.Pixel(8, i)), D); // the end point
  }
}

// Fills, text, pixels and blits ignore the raster operation.
TEST(GdiRop2, LeavesFillsTextPixelsAndBlitsAlone) {
  Bitmap src(4, 4);
  src.Fill(clRed);
  Bitmap bmp(60, 20);
  DeviceContext &dc = bmp.DC();
  dc.SetRasterOp(RasterOp::XorPen);
  dc.FillRect({0, 0, 4, 4}, Brush::Solid(clBlue));
  dc.SetPixel(5, 5, clGreen);
  dc.BitBlt(10, 0, 4, 4, src, 0, 0);
  dc.SelectBrush(Brush::Solid(clYellow));
  dc.PatBlt(20, 0, 4, 4, Rop3::PatCopy);
  dc.SetBkColor(clAqua);
  dc.TextOut(30, 0, "W");
  EXPECT_EQ(bmp.Pixel(1, 1), clBlue);
  EXPECT_EQ(bmp.Pixel(5, 5), clGreen);
  EXPECT_EQ(bmp.Pixel(11, 1), clRed);
  EXPECT_EQ(bmp.Pixel(21, 1), clYellow);
  EXPECT_GT(CountColor(bmp, clBlack), 10);
  EXPECT_GT(CountColor(bmp, clAqua), 10);
}

// The hatch of a figure drawn through the coverage image lies where the
// directly drawn one lies: both are tiled from the surface origin.
TEST(GdiRop2, HatchPhaseIsTheSameInEveryMode) {
  Bitmap direct(40, 40), combined(40, 40);
  for (Bitmap *b : {&direct, &combined}) {
    DeviceContext &dc = b->DC();
    dc.SetBkMode(BkMode::Transparent);
    dc.SelectPen(Pen::Null());
    dc.SelectBrush(Brush::Hatched(HatchStyle::Cross, b == &direct ? clBlack : clWhite));
    if (b == &combined) dc.SetRasterOp(RasterOp::XorPen);
    dc.Rectangle(3, 5, 37, 31);
  }
  EXPECT_TRUE(SamePixels(direct, combined));
}

} // namespace
} // namespace gdi
