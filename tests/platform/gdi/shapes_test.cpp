// Which pixels each shape covers: the classic rules, not Qt's defaults.
#include "GdiTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace gdi {
namespace {

using namespace test;

// ---- the pixels of each figure

struct ShapeCase {
  const char *name;
  Draw draw;
  Rect bounds; // of the ink, right and bottom exclusive
  int count;   // -1: not checked
  Pen pen = Pen::Solid(clBlack);
  Brush brush = Brush::Solid(clWhite);
};

class Shapes : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(Shapes, CoverExactlyTheirPixels) {
  const ShapeCase &c = GetParam();
  Bitmap bmp(64, 48);
  bmp.DC().SelectPen(c.pen);
  bmp.DC().SelectBrush(c.brush);
  c.draw(bmp.DC());
  const test::Ink ink = InkOf(bmp);
  EXPECT_EQ(ink.bounds, c.bounds);
  EXPECT_EQ(c.count < 0 ? -1 : ink.count, c.count);
}

const Pen kPen = Pen::Solid(clBlack), kNoPen = Pen::Null();
const Brush kBlack = Brush::Solid(clBlack);
const std::vector<Point> kSquare = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};

Draw Call(void (*call)(DeviceContext &)) { return call; }

// The figure recorded as a path, widened by the pen and filled.
Draw Widened(Draw draw) {
  return [=](DeviceContext &dc) {
    dc.BeginPath();
    draw(dc);
    dc.EndPath();
    dc.WidenPath();
    dc.FillPath();
  };
}

// clang-format off
const ShapeCase kShapes[] = {
    {"LineLeavesOutLastPixel", Line(10, 10, 30, 10), {10, 10, 30, 11}, 20},
    {"LineLeftwardLeavesOutLastPixel", Line(30, 10, 10, 10), {11, 10, 31, 11}, 20},
    {"DiagonalLine", Line(10, 10, 20, 20), {10, 10, 20, 20}, 10},
    {"ZeroLengthLineDrawsNothing", Line(10, 10, 10, 10), {}, 0},
    {"PolylineLeavesOutOnlyItsLastPoint", Lines({{10, 10}, {30, 10}, {30, 20}}), {10, 10, 31, 20}, 30},
    {"WidePenLineIsCentredWithRoundCaps", Line(10, 10, 30, 10), {9, 9, 31, 12}, -1, Pen::Solid(clBlack, 3)},
    {"WidenedPathHasTheStrokeCaps", Widened(Line(10, 10, 30, 10)), {9, 9, 31, 12}, -1, Pen::Solid(clBlack, 3), kBlack},
    {"WidePenFlatCapStopsAtTheEnds", Line(10, 10, 30, 10), {10, 9, 30, 12}, 60,
     Styled(PenStyle::Solid, 3, PenEndCap::Flat)},
    {"RectangleOutlineExcludesRightAndBottom", Rectangle(10, 10, 30, 20), {10, 10, 30, 20}, 2 * 20 + 2 * 8},
    {"RectangleWithoutPenIsOnePixelSmaller", Rectangle(10, 10, 30, 20), {10, 10, 29, 19}, 19 * 9, kNoPen, kBlack},
    {"RectangleReversedCornersNormalised", Rectangle(30, 20, 10, 10), {10, 10, 30, 20}, 200, kPen, kBlack},
    {"RectangleOnePixelWide", Rectangle(10, 10, 11, 20), {10, 10, 11, 20}, 10},
    {"RectangleWidePenStraddlesTheEdge", Rectangle(10, 10, 31, 21), {9, 9, 32, 22}, -1, Pen::Solid(clBlack, 3)},
    {"InsideFramePenStaysInsideTheBox", Rectangle(10, 10, 30, 20), {10, 10, 30, 20}, 20 * 10 - 14 * 4,
     Styled(PenStyle::InsideFrame, 3, PenEndCap::Round, PenJoin::Miter)},
    {"InsideFrameEvenWidthEllipse", Ellipse(10, 10, 40, 30), {10, 10, 40, 30}, -1, Styled(PenStyle::InsideFrame, 4)},
    {"EllipseInsideItsBox", Ellipse(10, 10, 30, 20), {10, 10, 30, 20}, -1},
    {"EllipseWithoutPenIsOnePixelSmaller", Ellipse(10, 10, 31, 31), {10, 10, 30, 30}, -1, kNoPen, kBlack},
    {"RoundRectInsideItsBox", Call([](DeviceContext &dc) { dc.RoundRect(10, 10, 40, 30, 8, 8); }),
     {10, 10, 40, 30}, -1, kPen, kBlack},
    {"PolygonFillExcludesRightAndBottom", Polygon(kSquare), {10, 10, 20, 20}, 100, kNoPen, kBlack},
    {"PolygonOutlineIncludesClosingEdge", Polygon(kSquare), {10, 10, 21, 21}, 40},
    {"FillRectExact", Call([](DeviceContext &dc) { dc.FillRect({3, 4, 13, 9}, Brush::Solid(clRed)); }),
     {3, 4, 13, 9}, 50},
    {"FillRectReversedDrawsNothing", Call([](DeviceContext &dc) { dc.FillRect({13, 9, 3, 4}, Brush::Solid(clRed)); }),
     {}, 0},
    {"PatBltNegativeExtentGoesLeftAndUp", Call([](DeviceContext &dc) { dc.PatBlt(20, 20, -10, -5, Rop3::PatCopy); }),
     {10, 15, 20, 20}, 50, kNoPen, kBlack},
    {"ClearPenAndBrushDrawNoEllipse", Ellipse(10, 10, 30, 20), {}, 0, kNoPen, Brush::Null()},
    {"ClearPenAndBrushDrawNoRectangle", Rectangle(10, 10, 30, 20), {}, 0, kNoPen, Brush::Null()},
    {"NoneColourDrawsNoRectangle", Rectangle(10, 10, 30, 20), {}, 0, Pen::Solid(clNone), Brush::Solid(clNone)},
    {"NoneColourSetsNoPixel", Call([](DeviceContext &dc) { dc.SetPixel(3, 3, clNone); }), {}, 0},
    // Counter-clockwise from the ray to the right to the ray upward.
    {"PieOfTheUpperRightQuarter", Call([](DeviceContext &dc) { dc.Pie(10, 10, 51, 41, 60, 25, 30, 0); }),
     {30, 10, 50, 25}, -1, kNoPen, kBlack},
    {"ChordOfTheLowerHalf", Call([](DeviceContext &dc) { dc.Chord(10, 10, 51, 41, 0, 25, 60, 25); }),
     {10, 25, 50, 40}, -1, kNoPen, kBlack},
    {"ArcWithEqualRaysIsTheWholeEllipse", Call([](DeviceContext &dc) { dc.Arc(10, 10, 31, 21, 40, 15, 40, 15); }),
     {10, 10, 31, 21}, -1},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Gdi, Shapes, ::testing::ValuesIn(kShapes), test::ByName);

// ---- pen styles along a polyline of three segments: which columns are
// inked ('#'), take the background ('o') or stay white ('.'). The pattern
// runs on across the vertices, and the end point stays out.

// A geometric one-pixel pen whose dashes are 0 long: dots `space` apart.
Pen SmallDots(uint32_t space) {
  Pen p = Styled(PenStyle::UserStyle);
  p.Geometric = true;
  p.Dashes = {0, space + 1};
  return p;
}

TEST(GdiPenStyles, PatternsRunOnAcrossVertices) {
  const struct {
    Pen pen;
    const char *columns; // x = 10 .. 34 on y = 10
    BkMode mode = BkMode::Transparent;
  } cases[] = {
      {Pen::Solid(clBlack), "########################."},
      {Styled(PenStyle::Alternate), "#.#.#.#.#.#.#.#.#.#.#.#.."},
      {Styled(PenStyle::Dot), "###...###...###...###...."},
      {Styled(PenStyle::Dot), "###ooo###ooo###ooo###ooo.", BkMode::Opaque},
      {Styled(PenStyle::Dash), "##################......."},
      {SmallDots(2), "#...#...#...#...#...#...."},
      {SmallDots(1), "#..#..#..#..#..#..#..#..."},
      {Pen::Null(), "........................."},
  };
  for (const auto &c : cases) {
    Bitmap bmp(64, 20);
    DeviceContext &dc = bmp.DC();
    dc.SelectPen(c.pen);
    dc.SetBkMode(c.mode);
    dc.SetBkColor(clRed);
    Lines({{10, 10}, {13, 10}, {22, 10}, {34, 10}})(dc);
    std::string columns;
    for (int x = 10; x <= 34; ++x)
      columns += bmp.Pixel(x, 10) == clWhite ? '.' : bmp.Pixel(x, 10) == clRed ? 'o' : '#';
    EXPECT_EQ(columns, c.columns);
  }
}

// Device colours are taken at each call; system colours are resolved.
TEST(GdiColours, DeviceAndSystemColoursResolveAtEachCall) {
  Bitmap bmp(10, 4);
  DeviceContext &dc = bmp.DC();
  dc.SelectPen(Pen::DeviceColor());
  dc.SelectBrush(Brush::DeviceColor());
  for (int x = 0; x < 10; ++x) {
    dc.SetDevicePenColor(RGBColor(x * 20, 0, 0));
    Line(x, 0, x, 1)(dc);
    dc.SetDeviceBrushColor(RGBColor(0, x * 20, 0));
    dc.PatBlt(x, 1, 1, 1, Rop3::PatCopy);
  }
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(bmp.Pixel(x, 0), RGBColor(x * 20, 0, 0)) << x;
    EXPECT_EQ(bmp.Pixel(x, 1), RGBColor(0, x * 20, 0)) << x;
  }
  dc.FillRect({0, 2, 5, 4}, Brush::Solid(clBtnFace));
  EXPECT_EQ(bmp.Pixel(2, 3), ColorToRGB(clBtnFace));
}

// ---- arcs

TEST(GdiArcs, EndWhereTheRaysMeetTheEllipse) {
  // Box 200 x 100 around (100, 50); the ray at 45 degrees up-right meets the
  // ellipse at parameter atan(2): (144.7, 5.3); the one at 135 degrees at (55.3, 5.3).
  Bitmap bmp(210, 110);
  bmp.DC().Arc(0, 0, 201, 101, 200, -50, 0, -50);
  const Rect r = InkOf(bmp).bounds;
  EXPECT_NEAR(r.left, 55, 1);
  EXPECT_NEAR(r.right - 1, 145, 1);
  EXPECT_EQ(r.top, 0);
  EXPECT_NEAR(r.bottom - 1, 5, 1);
}

TEST(GdiArcs, ChordCutsOffThePieCentre) {
  Bitmap pie(64, 48), chord(64, 48);
  for (Bitmap *b : {&pie, &chord})
    b->DC().SelectBrush(Brush::Solid(clBlack));
  pie.DC().Pie(10, 10, 51, 41, 60, 25, 30, 0);
  chord.DC().Chord(10, 10, 51, 41, 60, 25, 30, 0);
  EXPECT_EQ(pie.Pixel(32, 23), clBlack);
  EXPECT_EQ(chord.Pixel(32, 23), clWhite);
}

TEST(GdiArcs, ArcToMovesThePositionToTheArcEnd) {
  Bitmap bmp(60, 60);
  DeviceContext &dc = bmp.DC();
  dc.ArcTo(10, 10, 51, 51, 60, 30, 30, 0);
  EXPECT_NEAR(dc.CurrentPosition().x, 30, 1);
  EXPECT_NEAR(dc.CurrentPosition().y, 10, 1);
  EXPECT_NE(bmp.Pixel(10, 6), clWhite); // the joining line from (0, 0) to (50, 30)
}

// ---- state and pixels

// A restored state draws as it did: pen, raster operation and clip.
TEST(GdiState, SaveAndRestoreBringBackEverything) {
  Bitmap bmp(20, 20);
  DeviceContext &dc = bmp.DC();
  dc.SelectPen(Pen::Solid(clRed, 3));
  dc.IntersectClipRect({0, 0, 5, 5});
  EXPECT_EQ(dc.Save(), 1);
  dc.SelectPen(Pen::Solid(clBlue, 3));
  dc.RemoveClip();
  Line(0, 15, 20, 15)(dc);
  dc.SetRasterOp(RasterOp::XorPen);
  EXPECT_EQ(dc.Save(), 2);
  EXPECT_TRUE(dc.Restore(1)); // past the second save, which goes
  Line(0, 2, 20, 2)(dc);
  EXPECT_EQ(bmp.Pixel(2, 2), clRed);
  EXPECT_EQ(bmp.Pixel(7, 2), clWhite);
  EXPECT_FALSE(dc.Restore(-1)); // nothing saved any more
  EXPECT_FALSE(dc.Restore(3));
}

TEST(GdiPixels, ReadAndWrittenOnlyInsideSurfaceAndClip) {
  Bitmap bmp(10, 10);
  DeviceContext &dc = bmp.DC();
  dc.IntersectClipRect({5, 5, 10, 10});
  dc.SetPixel(1, 1, clBlue);
  dc.SetPixel(6, 6, clRed);
  EXPECT_EQ(dc.GetPixel(6, 6), clRed);
  EXPECT_EQ(bmp.Pixel(1, 1), clWhite);
  for (Point p : {Point{1, 1}, Point{-1, 6}, Point{10, 6}})
    EXPECT_EQ(static_cast<uint32_t>(dc.GetPixel(p.x, p.y)), 0xFFFFFFFFu) << p.x;
}

// ---- long wide outlines are drawn in overlapping runs; they must give the
// stroke Qt draws in one piece through a path (joins, caps and dash phase
// included), up to the odd pixel where the pieces meet. A widened path,
// filled, is that stroke too.

void ExpectSameAsOnePath(const Pen &pen, const Draw &draw, const Draw &finish) {
  Bitmap runs(240, 220), whole(240, 220);
  for (Bitmap *b : {&runs, &whole}) {
    b->DC().SelectPen(pen);
    b->DC().SelectBrush(Brush::Solid(clRed));
  }
  draw(runs.DC());
  DeviceContext &dc = whole.DC();
  dc.BeginPath();
  draw(dc);
  dc.EndPath();
  finish(dc);
  const int ink = CountColor(whole, clBlack);
  EXPECT_GT(ink, 5000);
  EXPECT_LT(Differ(runs, whole), ink / 200);
  EXPECT_EQ(CountColor(runs, clRed), CountColor(whole, clRed));
}

TEST(GdiWideOutlines, PolylineRunsMatchOneStroke) {
  std::vector<Point> pts;
  uint32_t s = 99;
  for (int i = 0; i < 400; ++i) {
    s = s * 1664525u + 1013904223u;
    pts.push_back({10 + i % 200 + int(s >> 28), 10 + int((s >> 8) % 180)});
  }
  const Draw stroke = [](DeviceContext &dc) { dc.StrokePath(); };
  const Draw widenAndFill = [](DeviceContext &dc) {
    dc.WidenPath();
    dc.SelectBrush(Brush::Solid(clBlack));
    dc.FillPath();
  };
  for (PenStyle style : {PenStyle::Solid, PenStyle::Dash})
    for (PenEndCap cap : {PenEndCap::Round, PenEndCap::Square, PenEndCap::Flat}) {
      SCOPED_TRACE(static_cast<int>(style) * 10 + static_cast<int>(cap));
      const Pen pen = Styled(style, 4, cap, cap == PenEndCap::Round ? PenJoin::Round : PenJoin::Miter);
      ExpectSameAsOnePath(pen, Lines(pts), stroke);
      if (style == PenStyle::Solid) ExpectSameAsOnePath(pen, Lines(pts), widenAndFill);
    }
}

TEST(GdiWideOutlines, PolygonRunsMatchOneStroke) {
  std::vector<Point> pts;
  for (int i = 0; i < 120; ++i) {
    const double a = i * 2 * 3.14159265358979 / 120;
    const int r = i % 2 ? 60 : 90;
    pts.push_back({110 + int(r * std::cos(a)), 110 + int(r * std::sin(a))});
  }
  ExpectSameAsOnePath(
      Styled(PenStyle::Solid, 5, PenEndCap::Round, PenJoin::Miter), [&](DeviceContext &dc) { dc.Polygon(pts); },
      [](DeviceContext &dc) { dc.StrokeAndFillPath(); });
}

} // namespace
} // namespace gdi
