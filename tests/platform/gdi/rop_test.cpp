// Raster operations: drawing twice in exclusive-or restores the surface byte
// for byte, and one call combines each pixel once.
#include "GdiTestUtil.h"

#include <gtest/gtest.h>

#include <functional>

namespace gdi {
namespace {

// A surface of varied colours, so that a wrong combination shows.
void Noise(Bitmap &bmp) {
  uint32_t s = 7;
  for (int y = 0; y < bmp.Height(); ++y) {
    uint32_t *row = bmp.ScanLine(y);
    for (int x = 0; x < bmp.Width(); ++x) {
      s = s * 1664525u + 1013904223u;
      row[x] = 0xFF000000u | (s >> 8);
    }
  }
}

struct RopCase {
  const char *name;
  std::function<void(DeviceContext &)> draw;
};

const RopCase kFigures[] = {
    {"ClosedPolyline",
     [](DeviceContext &dc) {
       const Point p[] = {{10, 10}, {50, 10}, {50, 40}, {10, 40}, {10, 10}};
       dc.Polyline(p);
     }},
    {"SelfCrossingPolyline",
     [](DeviceContext &dc) {
       const Point p[] = {{5, 5}, {60, 45}, {60, 5}, {5, 45}};
       dc.Polyline(p);
     }},
    {"LineLeftward",
     [](DeviceContext &dc) {
       dc.MoveTo(60, 20);
       dc.LineTo(3, 25);
     }},
    {"DashedOpaqueLine",
     [](DeviceContext &dc) {
       Pen p;
       p.Style = PenStyle::DashDot;
       p.Color = clYellow;
       dc.SelectPen(p);
       dc.SetBkMode(BkMode::Opaque);
       dc.SetBkColor(clAqua);
       dc.MoveTo(2, 30);
       dc.LineTo(62, 33);
     }},
    {"WideLine",
     [](DeviceContext &dc) {
       dc.SelectPen(Pen::Solid(clRed, 5));
       const Point p[] = {{5, 5}, {60, 45}, {60, 5}};
       dc.Polyline(p);
     }},
    {"RectangleWithBrush",
     [](DeviceContext &dc) {
       dc.SelectBrush(Brush::Solid(clLime));
       dc.Rectangle(8, 8, 40, 30);
     }},
    {"EllipseWithBrush",
     [](DeviceContext &dc) {
       dc.SelectBrush(Brush::Solid(clBlue));
       dc.Ellipse(8, 8, 50, 40);
     }},
    {"RoundRect",
     [](DeviceContext &dc) {
       dc.SelectBrush(Brush::Solid(clFuchsia));
       dc.RoundRect(4, 4, 44, 44, 12, 10);
     }},
    {"WindingStar",
     [](DeviceContext &dc) {
       dc.SelectBrush(Brush::Solid(clTeal));
       dc.SetPolyFillMode(PolyFillMode::Winding);
       const Point p[] = {{32, 2}, {44, 44}, {4, 16}, {60, 16}, {20, 44}};
       dc.Polygon(p);
     }},
    {"HatchedPie",
     [](DeviceContext &dc) {
       dc.SelectBrush(Brush::Hatched(HatchStyle::DiagCross, clMaroon));
       dc.Pie(4, 4, 56, 46, 60, 0, 0, 30);
     }},
    {"ChordAndArc",
     [](DeviceContext &dc) {
       dc.SelectBrush(Brush::Solid(clOlive));
       dc.Chord(4, 4, 56, 46, 60, 0, 0, 30);
       dc.Arc(0, 0, 64, 48, 0, 0, 64, 48);
     }},
};

class XorTwice : public ::testing::TestWithParam<RopCase> {};

TEST_P(XorTwice, RestoresTheSurfaceExactly) {
  for (RasterOp op : {RasterOp::XorPen, RasterOp::NotXorPen, RasterOp::Not}) {
    Bitmap bmp(64, 48);
    Noise(bmp);
    const Bitmap before = bmp.Clone();
    DeviceContext &dc = bmp.DC();
    dc.SetRasterOp(op);
    dc.SelectPen(Pen::Solid(clSilver)); // black would leave exclusive-or unchanged
    GetParam().draw(dc);
    EXPECT_FALSE(test::SamePixels(bmp, before)) << "drew nothing";
    GetParam().draw(dc);
    EXPECT_TRUE(test::SamePixels(bmp, before)) << static_cast<int>(op);
  }
}

// One call combines a pixel once: the exclusive-or of white over white marks
// exactly the pixels the copy-mode drawing covers, crossings and corners
// included (a pixel combined twice would have turned back to white).
TEST_P(XorTwice, CombinesEachCoveredPixelOnce) {
  Bitmap copied(64, 48), xored(64, 48);
  copied.DC().SetBkColor(clBlack); // so that opaque gaps show as covered
  GetParam().draw(copied.DC());
  DeviceContext &dc = xored.DC();
  dc.SetRasterOp(RasterOp::Not);
  GetParam().draw(dc);
  EXPECT_EQ(test::InkOf(xored).count, test::InkOf(copied).count) << test::Picture(xored, {0, 0, 64, 48});
  EXPECT_EQ(test::InkOf(xored).count, test::CountColor(xored, clBlack));
}

INSTANTIATE_TEST_SUITE_P(Gdi, XorTwice, ::testing::ValuesIn(kFigures),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- every binary raster operation on one pixel of a line

struct Rop2Case {
  RasterOp op;
  uint32_t expected; // for destination 0x3C5AF0 and pen 0x0FF00F (blue-green-red as TColor)
};

constexpr uint32_t kD = 0x3C5AF0, kP = 0x0FF00F;

class Rop2 : public ::testing::TestWithParam<Rop2Case> {};

TEST_P(Rop2, CombinesPenAndDestination) {
  Bitmap bmp(8, 8);
  bmp.Fill(static_cast<TColor>(kD));
  DeviceContext &dc = bmp.DC();
  dc.SelectPen(Pen::Solid(static_cast<TColor>(kP)));
  dc.SetRasterOp(GetParam().op);
  dc.MoveTo(0, 3);
  dc.LineTo(8, 3);
  EXPECT_EQ(static_cast<uint32_t>(bmp.Pixel(4, 3)), GetParam().expected);
  EXPECT_EQ(static_cast<uint32_t>(bmp.Pixel(4, 4)), kD);
}

INSTANTIATE_TEST_SUITE_P(
    Gdi, Rop2,
    ::testing::Values(Rop2Case{RasterOp::Black, 0}, Rop2Case{RasterOp::NotMergePen, ~(kD | kP) & 0xFFFFFF},
                      Rop2Case{RasterOp::MaskNotPen, kD & ~kP}, Rop2Case{RasterOp::NotCopyPen, ~kP & 0xFFFFFF},
                      Rop2Case{RasterOp::MaskPenNot, kP & ~kD}, Rop2Case{RasterOp::Not, ~kD & 0xFFFFFF},
                      Rop2Case{RasterOp::XorPen, kD ^ kP}, Rop2Case{RasterOp::NotMaskPen, ~(kD &kP) & 0xFFFFFF},
                      Rop2Case{RasterOp::MaskPen, kD &kP}, Rop2Case{RasterOp::NotXorPen, ~(kD ^ kP) & 0xFFFFFF},
                      Rop2Case{RasterOp::Nop, kD}, Rop2Case{RasterOp::MergeNotPen, (kD | ~kP) & 0xFFFFFF},
                      Rop2Case{RasterOp::CopyPen, kP}, Rop2Case{RasterOp::MergePenNot, (kP | ~kD) & 0xFFFFFF},
                      Rop2Case{RasterOp::MergePen, kD | kP}, Rop2Case{RasterOp::White, 0xFFFFFF}));

// Fills, text, pixels and blits ignore the raster operation.
TEST(GdiRop2, LeavesFillsTextPixelsAndBlitsAlone) {
  Bitmap src(4, 4);
  src.Fill(clRed);
  Bitmap bmp(40, 20);
  DeviceContext &dc = bmp.DC();
  dc.SetRasterOp(RasterOp::XorPen);
  dc.FillRect({0, 0, 4, 4}, Brush::Solid(clBlue));
  dc.SetPixel(5, 5, clGreen);
  dc.BitBlt(10, 0, 4, 4, src, 0, 0);
  dc.SelectBrush(Brush::Solid(clYellow));
  dc.PatBlt(20, 0, 4, 4, Rop3::PatCopy);
  EXPECT_EQ(bmp.Pixel(1, 1), clBlue);
  EXPECT_EQ(bmp.Pixel(5, 5), clGreen);
  EXPECT_EQ(bmp.Pixel(11, 1), clRed);
  EXPECT_EQ(bmp.Pixel(21, 1), clYellow);
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
  EXPECT_TRUE(test::SamePixels(direct, combined))
      << test::Picture(direct, {0, 0, 40, 40}) << test::Picture(combined, {0, 0, 40, 40});
}

} // namespace
} // namespace gdi
