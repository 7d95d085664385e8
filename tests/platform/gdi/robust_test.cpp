// Any arguments in the pixel range, however extreme or degenerate, draw what
// shows without faults (the sanitizer build checks) and without drawing for
// ages out of sight (a dashed wide line across the whole range once did).
#include "GdiTestUtil.h"

#include <gtest/gtest.h>

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
    switch (what) {
    case 0:
      dc.MoveTo(pick(), pick());
      dc.LineTo(pick(), pick());
      break;
    case 1:
      dc.Polyline(pts);
      break;
    case 2:
      dc.Polygon(pts);
      break;
    case 3:
      dc.Rectangle(pick(), pick(), pick(), pick());
      break;
    case 4:
      dc.Ellipse(pick(), pick(), pick(), pick());
      break;
    case 5:
      dc.RoundRect(pick(), pick(), pick(), pick(), pick(), pick());
      break;
    case 6:
      dc.Arc(pick(), pick(), pick(), pick(), pick(), pick(), pick(), pick());
      break;
    case 7:
      dc.Pie(pick(), pick(), pick(), pick(), pick(), pick(), pick(), pick());
      break;
    case 8:
      dc.FillRect({pick(), pick(), pick(), pick()});
      break;
    case 9:
      dc.PatBlt(pick(), pick(), pick(), pick(), Rop3::PatInvert);
      break;
    case 10:
      dc.BitBlt(pick(), pick(), pick(), pick(), src, pick(), pick(), Rop3::SrcInvert);
      break;
    case 11:
      dc.StretchBlt({pick(), pick(), pick(), pick()}, src, {pick(), pick(), pick(), pick()});
      break;
    case 12:
      dc.AlphaBlend({pick(), pick(), pick(), pick()}, src, {0, 0, 5, 4}, 100);
      break;
    case 13:
      dc.TextOut(pick(), pick(), "Wag");
      break;
    case 14:
      dc.SelectClipRegion(Region::FromPolygon(pts));
      break;
    case 15:
      dc.SelectClipRegion(Region::FromEllipse({pick(), pick(), pick(), pick()}));
      break;
    }
  }
  // Drawing went on after every call: the surface still takes a plain fill.
  dc.RemoveClip();
  dc.SetRasterOp(RasterOp::CopyPen);
  dc.FillRect({0, 0, 64, 48}, Brush::Solid(clGreen));
  EXPECT_EQ(test::CountColor(bmp, clGreen), 64 * 48);
}

} // namespace
} // namespace gdi
