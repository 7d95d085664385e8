// Which pixels each shape covers: the classic rules, not Qt's defaults.
#include "GdiTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace gdi {
namespace {

using test::InkOf;
using test::Picture;

struct ShapeCase {
  const char *name;
  std::function<void(DeviceContext &)> draw;
  Rect bounds; // of the ink, right and bottom exclusive
  int count;   // -1: not checked
};

class Shapes : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(Shapes, CoverExactlyTheirPixels) {
  const ShapeCase &c = GetParam();
  Bitmap bmp(64, 48);
  c.draw(bmp.DC());
  const test::Ink ink = InkOf(bmp);
  EXPECT_EQ(ink.bounds, c.bounds) << Picture(bmp, {0, 0, 64, 48});
  if (c.count >= 0) {
    EXPECT_EQ(ink.count, c.count) << Picture(bmp, {0, 0, 64, 48});
  }
}

void Black(DeviceContext &dc) {
  dc.SelectBrush(Brush::Solid(clBlack));
  dc.SelectPen(Pen::Solid(clBlack));
}
void NoPen(DeviceContext &dc) {
  dc.SelectBrush(Brush::Solid(clBlack));
  dc.SelectPen(Pen::Null());
}

INSTANTIATE_TEST_SUITE_P(
    Gdi, Shapes,
    ::testing::Values(
        ShapeCase{"LineLeavesOutLastPixel",
                  [](DeviceContext &dc) {
                    dc.MoveTo(10, 10);
                    dc.LineTo(30, 10);
                  },
                  {10, 10, 30, 11}, 20},
        ShapeCase{"LineLeftwardLeavesOutLastPixel",
                  [](DeviceContext &dc) {
                    dc.MoveTo(30, 10);
                    dc.LineTo(10, 10);
                  },
                  {11, 10, 31, 11}, 20},
                ShapeCase{"DiagonalLine",
                  [](DeviceContext &dc) {
                    dc.MoveTo(10, 10);
                    dc.LineTo(20, 20);
                  },
                  {10, 10, 20, 20}, 10},
        ShapeCase{"ZeroLengthLineDrawsNothing",
                  [](DeviceContext &dc) {
                    dc.MoveTo(10, 10);
                    dc.LineTo(10, 10);
                  },
                  {}, 0},
        ShapeCase{"PolylineLeavesOutOnlyItsLastPoint",
                  [](DeviceContext &dc) {
                    const Point p[] = {{10, 10}, {30, 10}, {30, 20}};
                    dc.Polyline(p);
                  },
                  {10, 10, 31, 20}, 30},
        ShapeCase{"WidePenLineIsCentredWithRoundCaps",
                  [](DeviceContext &dc) {
                    dc.SelectPen(Pen::Solid(clBlack, 3));
                    dc.MoveTo(10, 10);
                    dc.LineTo(30, 10);
                  },
                  {9, 9, 31, 12}, -1},
        ShapeCase{"WidePenFlatCapStopsAtTheEnds",
                  [](DeviceContext &dc) {
                    Pen p = Pen::Solid(clBlack, 3);
                    p.Cap = PenEndCap::Flat;
                    dc.SelectPen(p);
                    dc.MoveTo(10, 10);
                    dc.LineTo(30, 10);
                  },
                  {10, 9, 30, 12}, 60},
        ShapeCase{"RectangleOutlineExcludesRightAndBottom",
                  [](DeviceContext &dc) { dc.Rectangle(10, 10, 30, 20); }, {10, 10, 30, 20}, 2 * 20 + 2 * 8},
                ShapeCase{"RectangleWithoutPenIsOnePixelSmaller",
                  [](DeviceContext &dc) {
                    NoPen(dc);
                    dc.Rectangle(10, 10, 30, 20);
                  },
                  {10, 10, 29, 19}, 19 * 9},
        ShapeCase{"RectangleReversedCornersNormalised",
                  [](DeviceContext &dc) {
                    Black(dc);
                    dc.Rectangle(30, 20, 10, 10);
                  },
                  {10, 10, 30, 20}, 200},
        ShapeCase{"RectangleOnePixelWide",
                  [](DeviceContext &dc) { dc.Rectangle(10, 10, 11, 20); }, {10, 10, 11, 20}, 10},
        ShapeCase{"RectangleWidePenStraddlesTheEdge",
                  [](DeviceContext &dc) {
                    dc.SelectPen(Pen::Solid(clBlack, 3));
                    dc.Rectangle(10, 10, 31, 21);
                  },
                  {9, 9, 32, 22}, -1},
        ShapeCase{"InsideFramePenStaysInsideTheBox",
                  [](DeviceContext &dc) {
                    Pen p = Pen::Solid(clBlack, 3);
                    p.Style = PenStyle::InsideFrame;
                    p.Join = PenJoin::Miter;
                    dc.SelectPen(p);
                    dc.Rectangle(10, 10, 30, 20);
                  },
                  {10, 10, 30, 20}, 20 * 10 - 14 * 4},
        ShapeCase{"InsideFrameEvenWidthEllipse",
                  [](DeviceContext &dc) {
                    Pen p = Pen::Solid(clBlack, 4);
                    p.Style = PenStyle::InsideFrame;
                    dc.SelectPen(p);
                    dc.Ellipse(10, 10, 40, 30);
                  },
                  {10, 10, 40, 30}, -1},
        ShapeCase{"EllipseInsideItsBox", [](DeviceContext &dc) { dc.Ellipse(10, 10, 30, 20); }, {10, 10, 30, 20}, -1},
        ShapeCase{"EllipseWithoutPenIsOnePixelSmaller",
                  [](DeviceContext &dc) {
                    NoPen(dc);
                    dc.Ellipse(10, 10, 31, 31);
                  },
                  {10, 10, 30, 30}, -1},
        ShapeCase{"RoundRectInsideItsBox",
                  [](DeviceContext &dc) {
                    Black(dc);
                    dc.RoundRect(10, 10, 40, 30, 8, 8);
                  },
                  {10, 10, 40, 30}, -1},
        ShapeCase{"PolygonFillExcludesRightAndBottom",
                  [](DeviceContext &dc) {
                    NoPen(dc);
                    const Point p[] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
                    dc.Polygon(p);
                  },
                  {10, 10, 20, 20}, 100},
        ShapeCase{"PolygonOutlineIncludesClosingEdge",
                  [](DeviceContext &dc) {
                    const Point p[] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
                    dc.Polygon(p);
                  },
                  {10, 10, 21, 21}, 40},
        ShapeCase{"FillRectExact",
                  [](DeviceContext &dc) { dc.FillRect({3, 4, 13, 9}, Brush::Solid(clRed)); }, {3, 4, 13, 9}, 50},
        ShapeCase{"FillRectReversedDrawsNothing",
                  [](DeviceContext &dc) { dc.FillRect({13, 9, 3, 4}, Brush::Solid(clRed)); }, {}, 0},
                ShapeCase{"PatBltNegativeExtentGoesLeftAndUp",
                  [](DeviceContext &dc) {
                    dc.SelectBrush(Brush::Solid(clBlue));
                    dc.PatBlt(20, 20, -10, -5, Rop3::PatCopy);
                  },
                  {10, 15, 20, 20}, 50},
        ShapeCase{"ClearBrushAndPenDrawNothing",
                  [](DeviceContext &dc) {
                    dc.SelectBrush(Brush::Null());
                    dc.SelectPen(Pen::Null());
                    dc.Rectangle(10, 10, 30, 20);
                    dc.Ellipse(10, 10, 30, 20);
                  },
                  {}, 0},
        ShapeCase{"NoneColourDrawsNothing",
                  [](DeviceContext &dc) {
                    dc.SelectBrush(Brush::Solid(clNone));
                    dc.SelectPen(Pen::Solid(clNone));
                    dc.Rectangle(10, 10, 30, 20);
                    dc.SetPixel(3, 3, clNone);
                  },
                  {}, 0},
        ShapeCase{"PieOfTheUpperRightQuarter",
                  [](DeviceContext &dc) {
                    NoPen(dc);
                    // Counter-clockwise from the ray to the right to the ray upward.
                    dc.Pie(10, 10, 51, 41, 60, 25, 30, 0);
                  },
                  {30, 10, 50, 25}, -1},
        ShapeCase{"ChordOfTheLowerHalf",
                  [](DeviceContext &dc) {
                    NoPen(dc);
                    dc.Chord(10, 10, 51, 41, 0, 25, 60, 25);
                  },
                  {10, 25, 50, 40}, -1},
        ShapeCase{"ArcWithEqualRaysIsTheWholeEllipse",
                  [](DeviceContext &dc) { dc.Arc(10, 10, 31, 21, 40, 15, 40, 15); }, {10, 10, 31, 21}, -1}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- pen styles along a horizontal line: which columns are inked

std::string Columns(const Bitmap &bmp, int y, int from, int to) {
  std::string s;
  for (int x = from; x < to; ++x)
    s += bmp.Pixel(x, y) == clWhite ? '.' : '#';
  return s;
}

struct StyleCase {
  const char *name;
  Pen pen;
  const char *columns; // x = 10 .. 33 on y = 10
};

class PenStyles : public ::testing::TestWithParam<StyleCase> {};

TEST_P(PenStyles, Pattern) {
  Bitmap bmp(64, 20);
  DeviceContext &dc = bmp.DC();
  dc.SelectPen(GetParam().pen);
  dc.SetBkMode(BkMode::Transparent);
  dc.MoveTo(10, 10);
  dc.LineTo(34, 10);
  EXPECT_EQ(Columns(bmp, 10, 10, 34), GetParam().columns);
}

Pen Styled(PenStyle s) {
  Pen p;
  p.Style = s;
  return p;
}
Pen SmallDots(uint32_t space) {
  Pen p;
  p.Style = PenStyle::UserStyle;
  p.Geometric = true;
  p.Dashes = {0, space + 1};
  return p;
}

INSTANTIATE_TEST_SUITE_P(Gdi, PenStyles,
                         ::testing::Values(StyleCase{"Solid", Pen::Solid(clBlack), "########################"},
                                           StyleCase{"Alternate", Styled(PenStyle::Alternate),
                                                     "#.#.#.#.#.#.#.#.#.#.#.#."},
                                           StyleCase{"Dot", Styled(PenStyle::Dot), "###...###...###...###..."},
                                           StyleCase{"Dash", Styled(PenStyle::Dash), "##################......"},
                                           StyleCase{"SmallDotsEveryFour", SmallDots(2), "#...#...#...#...#...#..."},
                                           StyleCase{"SmallDotsEveryThird", SmallDots(1), "#..#..#..#..#..#..#..#.."},
                                           StyleCase{"Clear", Pen::Null(), "........................"}),
                         [](const auto &info) { return std::string(info.param.name); });

// The pattern runs on across the vertices of a polyline.
TEST(GdiPenStyles, SmallDotsRunOnAlongAPolyline) {
  Bitmap bmp(64, 20);
  DeviceContext &dc = bmp.DC();
  dc.SelectPen(SmallDots(2));
  const Point p[] = {{10, 10}, {13, 10}, {22, 10}, {34, 10}};
  dc.Polyline(p);
  EXPECT_EQ(Columns(bmp, 10, 10, 34), "#...#...#...#...#...#...");
}

TEST(GdiPenStyles, OpaqueModeFillsDashGapsWithTheBackground) {
  Bitmap bmp(64, 20);
  DeviceContext &dc = bmp.DC();
  dc.SelectPen(Styled(PenStyle::Dot));
  dc.SetBkMode(BkMode::Opaque);
  dc.SetBkColor(clRed);
  dc.MoveTo(10, 10);
  dc.LineTo(22, 10);
  for (int x = 10; x < 22; ++x)
    EXPECT_EQ(bmp.Pixel(x, 10), (x - 10) % 6 < 3 ? clBlack : clRed) << x;
  EXPECT_EQ(bmp.Pixel(22, 10), clWhite);
}

TEST(GdiPenStyles, DevicePenColourFollowsTheContext) {
  Bitmap bmp(20, 20);
  DeviceContext &dc = bmp.DC();
  dc.SelectPen(Pen::DeviceColor());
  dc.SetDevicePenColor(clRed);
  dc.MoveTo(0, 1);
  dc.LineTo(5, 1);
  dc.SetDevicePenColor(clBlue);
  dc.MoveTo(0, 2);
  dc.LineTo(5, 2);
  EXPECT_EQ(bmp.Pixel(2, 1), clRed);
  EXPECT_EQ(bmp.Pixel(2, 2), clBlue);
}

TEST(GdiPenStyles, SystemColoursResolveBeforeDrawing) {
  Bitmap bmp(20, 20);
  bmp.DC().FillRect({0, 0, 5, 5}, Brush::Solid(clBtnFace));
  EXPECT_EQ(bmp.Pixel(2, 2), ColorToRGB(clBtnFace));
}

// ---- arcs

TEST(GdiArcs, EndWhereTheRaysMeetTheEllipse) {
  // Box 200 x 100 around (100, 50); the ray at 45 degrees up-right meets the
  // ellipse at parameter atan(2): (144.7, 5.3); the one at 135 degrees at (55.3, 5.3).
  Bitmap bmp(210, 110);
  DeviceContext &dc = bmp.DC();
  dc.Arc(0, 0, 201, 101, 200, -50, 0, -50);
  const test::Ink ink = InkOf(bmp);
  EXPECT_NEAR(ink.bounds.left, 55, 1);
  EXPECT_NEAR(ink.bounds.right - 1, 145, 1);
  EXPECT_EQ(ink.bounds.top, 0);
  EXPECT_NEAR(ink.bounds.bottom - 1, 5, 1);
}

TEST(GdiArcs, RunCounterClockwise) {
  // From the ray to the left to the ray to the right, counter-clockwise on
  // screen, passes through the bottom.
  Bitmap bmp(60, 60);
  DeviceContext &dc = bmp.DC();
  dc.Arc(10, 10, 51, 51, 0, 30, 60, 30);
  EXPECT_NE(bmp.Pixel(30, 50), clWhite);
  EXPECT_EQ(bmp.Pixel(30, 10), clWhite);
}

TEST(GdiArcs, ArcToMovesThePositionToTheArcEnd) {
  Bitmap bmp(60, 60);
  DeviceContext &dc = bmp.DC();
  dc.MoveTo(0, 0);
  dc.ArcTo(10, 10, 51, 51, 60, 30, 30, 0);
  const Point p = dc.CurrentPosition();
  EXPECT_NEAR(p.x, 30, 1);
  EXPECT_NEAR(p.y, 10, 1);
  EXPECT_NE(bmp.Pixel(10, 6), clWhite); // the joining line from (0, 0) to (50, 30)
}

// ---- state

TEST(GdiState, SaveAndRestoreBringBackEverything) {
  Bitmap bmp(20, 20);
  DeviceContext &dc = bmp.DC();
  dc.SelectPen(Pen::Solid(clRed, 3));
  dc.SetTextColor(clBlue);
  dc.SetRasterOp(RasterOp::XorPen);
  dc.IntersectClipRect({0, 0, 5, 5});
  EXPECT_EQ(dc.Save(), 1);
  dc.SelectPen(Pen::Null());
  dc.SetTextColor(clGreen);
  dc.SetRasterOp(RasterOp::CopyPen);
  dc.RemoveClip();
  EXPECT_EQ(dc.Save(), 2);
  dc.SetTextColor(clYellow);
  EXPECT_TRUE(dc.Restore(1));
  EXPECT_EQ(dc.CurrentPen(), Pen::Solid(clRed, 3));
  EXPECT_EQ(dc.TextColor(), clBlue);
  EXPECT_EQ(dc.GetRasterOp(), RasterOp::XorPen);
  EXPECT_TRUE(dc.HasClip());
  EXPECT_FALSE(dc.Restore(-1)); // nothing saved any more
  EXPECT_FALSE(dc.Restore(3));
}

// ---- pixels

TEST(GdiPixels, GetPixelOutsideSurfaceOrClipIsInvalid) {
  Bitmap bmp(10, 10);
  DeviceContext &dc = bmp.DC();
  dc.SetPixel(2, 3, clRed);
  EXPECT_EQ(dc.GetPixel(2, 3), clRed);
  EXPECT_EQ(static_cast<uint32_t>(dc.GetPixel(-1, 3)), 0xFFFFFFFFu);
  EXPECT_EQ(static_cast<uint32_t>(dc.GetPixel(10, 3)), 0xFFFFFFFFu);
  dc.IntersectClipRect({5, 5, 10, 10});
  EXPECT_EQ(static_cast<uint32_t>(dc.GetPixel(2, 3)), 0xFFFFFFFFu);
  dc.SetPixel(1, 1, clBlue); // outside the clip: nothing
  dc.RemoveClip();
  EXPECT_EQ(dc.GetPixel(1, 1), clWhite);
}

TEST(GdiPixels, SetPixelIgnoresTheRasterOperation) {
  Bitmap bmp(10, 10);
  DeviceContext &dc = bmp.DC();
  dc.SetRasterOp(RasterOp::XorPen);
  dc.SetPixel(2, 2, clRed);
  EXPECT_EQ(dc.GetPixel(2, 2), clRed);
}

TEST(GdiPixels, HugeCoordinatesDrawTheVisiblePart) {
  Bitmap bmp(40, 40);
  DeviceContext &dc = bmp.DC();
  dc.MoveTo(-kMaxPixel, 20);
  dc.LineTo(kMaxPixel, 20);
  dc.SelectPen(Pen::Solid(clBlack, 3));
  dc.MoveTo(10, -kMaxPixel);
  dc.LineTo(10, kMaxPixel);
  for (int x = 0; x < 40; ++x)
    EXPECT_EQ(bmp.Pixel(x, 20), clBlack) << x;
  for (int y = 0; y < 40; ++y)
    EXPECT_EQ(bmp.Pixel(10, y), clBlack) << y;
}

} // namespace
} // namespace gdi

namespace gdi {
namespace {

// A long wide polyline is drawn in overlapping runs; the result must be the
// stroke Qt would draw in one piece (joins, caps and dash phase included),
// up to the odd pixel where the pieces' edges meet.
TEST(GdiWidePolylines, RunsMatchOneStroke) {
  std::vector<Point> pts;
  uint32_t s = 99;
  for (int i = 0; i < 400; ++i) {
    s = s * 1664525u + 1013904223u;
    pts.push_back({10 + i % 200 + int(s >> 28), 10 + int((s >> 8) % 180)});
  }
  for (PenStyle style : {PenStyle::Solid, PenStyle::Dash}) {
    for (PenEndCap cap : {PenEndCap::Round, PenEndCap::Square, PenEndCap::Flat}) {
      Pen pen = Pen::Solid(clBlack, 4);
      pen.Style = style;
      pen.Cap = cap;
      pen.Join = cap == PenEndCap::Round ? PenJoin::Round : PenJoin::Miter;
      Bitmap layer(240, 220);
      layer.DC().SelectPen(pen);
      layer.DC().Polyline(pts);
      // The same stroke in one piece, through a path, which is not split.
      Bitmap whole(240, 220);
      DeviceContext &dc = whole.DC();
      dc.SelectPen(pen);
      dc.BeginPath();
      dc.Polyline(pts);
      dc.EndPath();
      dc.StrokePath();
      int differ = 0;
      for (int y = 0; y < 220; ++y)
        for (int x = 0; x < 240; ++x)
          differ += layer.Pixel(x, y) != whole.Pixel(x, y);
      const int ink = test::InkOf(whole).count;
      EXPECT_GT(ink, 5000);
      EXPECT_LT(differ, ink / 200) << static_cast<int>(style) << " " << static_cast<int>(cap);
    }
  }
}

TEST(GdiWidePolylines, LongWidePolygonOutlineMatchesOneStroke) {
  std::vector<Point> pts;
  for (int i = 0; i < 120; ++i) {
    const double a = i * 2 * 3.14159265358979 / 120;
    const int r = i % 2 ? 60 : 90;
    pts.push_back({110 + int(r * std::cos(a)), 110 + int(r * std::sin(a))});
  }
  Pen pen = Pen::Solid(clBlack, 5);
  pen.Join = PenJoin::Miter;
  Bitmap layer(220, 220), whole(220, 220);
  for (Bitmap *b : {&layer, &whole}) {
    DeviceContext &dc = b->DC();
    dc.SelectPen(pen);
    dc.SelectBrush(Brush::Solid(clRed));
    if (b == &layer) {
      dc.Polygon(pts);
      continue;
    }
    dc.BeginPath();
    dc.Polygon(pts);
    dc.EndPath();
    dc.StrokeAndFillPath();
  }
  int differ = 0;
  for (int y = 0; y < 220; ++y)
    for (int x = 0; x < 220; ++x)
      differ += layer.Pixel(x, y) != whole.Pixel(x, y);
  EXPECT_LT(differ, test::CountColor(whole, clBlack) / 200);
  EXPECT_EQ(test::CountColor(layer, clRed), test::CountColor(whole, clRed));
}

} // namespace
} // namespace gdi
