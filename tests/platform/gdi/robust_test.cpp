// Any arguments in the pixel range, however extreme or degenerate, draw what
// shows without faults (the sanitizer build checks) and without drawing for
// ages out of sight (a dashed wide line across the whole range once did).
#include "GdiTestUtil.h"

#include <gtest/gtest.h>

#include <functional>

namespace gdi {
namespace {

TEST(GdiRobust, ExtremeArgumentsToEveryCall) {
  static constexpr int32_t kValues[] = {-kMaxPixel, -70000, -1000, -1, 0, 1, 5, 17, 63, 1000, 70000, kMaxPixel};
  uint32_t s = 2024;
  auto pick = [&] {
    s = s * 1664525u + 1013904223u;
    return kValues[(s >> 16) % std::size(kValues)];
  };
  Bitmap bmp(64, 48), src(5, 4);
  DeviceContext &dc = bmp.DC();
  for (int i = 0; i < 600; ++i) {
    s = s * 1664525u + 1013904223u;
    const unsigned what = (s >> 16) % 16;
    Pen pen = Pen::Solid(clBlack, (s >> 8) % 3 == 0 ? 4 : 1);
    if ((s >> 10) % 4 == 0) pen.Style = PenStyle::Dash;
    dc.SelectPen(pen);
    dc.SelectBrush((s >> 12) % 2 ? Brush::Solid(clRed) : Brush::Hatched(HatchStyle::Cross, clBlue));
    dc.SetRasterOp((s >> 14) % 3 == 0 ? RasterOp::XorPen : RasterOp::CopyPen);
    if ((s >> 20) % 5 == 0) dc.IntersectClipRect({pick(), pick(), pick(), pick()});
    if ((s >> 20) % 7 == 0) dc.RemoveClip();
    const Point pts[] = {{pick(), pick()}, {pick(), pick()}, {pick(), pick()}, {pick(), pick()}};
    const std::function<void()> calls[] = {
        [&] { dc.MoveTo(pick(), pick()), dc.LineTo(pick(), pick()); },
        [&] { dc.Polyline(pts); },
        [&] { dc.Polygon(pts); },
        [&] { dc.Rectangle(pick(), pick(), pick(), pick()); },
        [&] { dc.Ellipse(pick(), pick(), pick(), pick()); },
        [&] { dc.RoundRect(pick(), pick(), pick(), pick(), pick(), pick()); },
        [&] { dc.Arc(pick(), pick(), pick(), pick(), pick(), pick(), pick(), pick()); },
        [&] { dc.Pie(pick(), pick(), pick(), pick(), pick(), pick(), pick(), pick()); },
        [&] {
          dc.FillRect({pick(), pick(), pick(), pick()});
        },
        [&] { dc.PatBlt(pick(), pick(), pick(), pick(), Rop3::PatInvert); },
        [&] { dc.BitBlt(pick(), pick(), pick(), pick(), src, pick(), pick(), Rop3::SrcInvert); },
        [&] {
          dc.StretchBlt({pick(), pick(), pick(), pick()}, src, {pick(), pick(), pick(), pick()});
        },
        [&] {
          dc.AlphaBlend({pick(), pick(), pick(), pick()}, src, {0, 0, 5, 4}, 100);
        },
        [&] { dc.TextOut(pick(), pick(), "Wag"); },
        [&] { dc.SelectClipRegion(Region::FromPolygon(pts)); },
        [&] {
          dc.SelectClipRegion(Region::FromEllipse({pick(), pick(), pick(), pick()}));
        },
    };
    calls[what]();
  }
  // Drawing went on after every call: the surface still takes a plain fill.
  dc.RemoveClip();
  dc.SetRasterOp(RasterOp::CopyPen);
  dc.FillRect({0, 0, 64, 48}, Brush::Solid(clGreen));
  EXPECT_EQ(test::CountColor(bmp, clGreen), 64 * 48);
}

// Lines, blits and regions reaching to the ends of the pixel range draw
// exactly their visible part.
TEST(GdiRobust, ExtremeCoordinatesDrawTheVisiblePart) {
  Bitmap bmp(40, 40), src(2, 1);
  DeviceContext &dc = bmp.DC();
  dc.MoveTo(-kMaxPixel, 20);
  dc.LineTo(kMaxPixel, 20);
  dc.SelectPen(Pen::Solid(clBlack, 3));
  dc.MoveTo(10, -kMaxPixel);
  dc.LineTo(10, kMaxPixel);
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(bmp.Pixel(i, 20), clBlack) << i;
    EXPECT_EQ(bmp.Pixel(10, i), clBlack) << i;
  }
  src.SetPixel(0, 0, clRed);
  src.SetPixel(1, 0, clBlue);
  dc.StretchBlt({-kMaxPixel, 0, kMaxPixel, 10}, src, {0, 0, 2, 1});
  dc.AlphaBlend({-kMaxPixel, 30, kMaxPixel + 1, 40}, src, {0, 0, 2, 1}, 255);
  EXPECT_EQ(bmp.Pixel(0, 0), clBlue);
  EXPECT_EQ(bmp.Pixel(39, 39), clBlue);
  const Point tri[] = {{-kMaxPixel, -kMaxPixel}, {kMaxPixel, -kMaxPixel}, {-kMaxPixel, kMaxPixel}};
  const Region r = Region::FromPolygon(tri);
  EXPECT_TRUE(r.Contains(-1, -1));
  EXPECT_TRUE(r.Contains(-500, 400));
  EXPECT_FALSE(r.Contains(100, 100));
}

} // namespace
} // namespace gdi
