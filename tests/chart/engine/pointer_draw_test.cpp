// Every marker style drawn in 2D and 3D into an image and checked at known
// pixels; sizes, margins, the legend shape and the callout.
#include "series_support.h"

#include <algorithm>
#include <cstdlib>

namespace {

using namespace series_test;
using foundation_test::Surface;

class Pointer : public WithUnits {};

constexpr TColor kPen = clBlack;
constexpr TColor kFill = clRed;

// The bounding box of every pixel that is not white, inclusive; (0,0,-1,-1)
// when there is none.
TRect Inked(const gdi::Bitmap &b) {
  TRect r{b.Width(), b.Height(), -1, -1};
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) != clWhite) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x);
        r.Bottom = std::max(r.Bottom, y);
      }
  if (r.Right < 0) return TRect{0, 0, -1, -1};
  return r;
}

int InkCount(const gdi::Bitmap &b) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      n += b.Pixel(x, y) != clWhite;
  return n;
}

// The pixels of R as text ('.' white, '#' the pen, 'o' anything else),
// shown when a test fails.
std::string Ascii(const gdi::Bitmap &b, const TRect &r) {
  std::string out = "\n";
  for (int y = r.Top; y <= r.Bottom; ++y) {
    for (int x = r.Left; x <= r.Right; ++x) {
      const TColor c = b.Pixel(x, y);
      out += c == clWhite ? '.' : c == kPen ? '#' : 'o';
    }
    out += '\n';
  }
  return out;
}

void Save(const gdi::Bitmap &b, const std::string &name) {
  if (std::getenv("KVEL_SAVE_PNG")) b.SaveToFile("/tmp/series/" + name + ".png");
}

// One marker of half sizes 4 at (20, 20) on a 2D surface.
struct Drawn2D {
  Surface<> surface{40, 40, false};
  explicit Drawn2D(TSeriesPointerStyle style) {
    TSeriesPointer pointer;
    pointer.Brush().SetColor(kFill);
    pointer.Pen().SetColor(kPen);
    pointer.PrepareCanvas(surface.canvas, kFill);
    pointer.DrawMarker(surface.canvas, false, 20, 20, 4, 4, kFill, style);
  }
  TColor At(int x, int y) const { return surface.At(x, y); }
};

struct StyleCase {
  TSeriesPointerStyle style;
  const char *name;
  // Pixels that must be inked and pixels that must stay white.
  std::vector<TPoint> inked, white;
  int count; // the number of inked pixels, or -1 when not fixed
  // The canvas's polygons leave out the pixel of their bottom-right corner.
  int right = 24, bottom = 24;
};

TEST_F(Pointer, EveryStyleCoversItsBoxIn2D) {
  using S = TSeriesPointerStyle;
  const std::vector<StyleCase> cases{
      {S::psRectangle, "rectangle", {{16, 16}, {24, 24}, {20, 20}}, {{15, 20}, {25, 20}}, 81},
      {S::psCircle, "circle", {{16, 20}, {24, 20}, {20, 16}, {20, 24}}, {{16, 16}, {24, 24}}, -1},
      {S::psTriangle, "triangle", {{20, 16}, {16, 24}, {23, 24}}, {{16, 16}, {24, 16}}, -1, 23},
      {S::psDownTriangle, "down triangle", {{20, 24}, {16, 16}, {24, 16}}, {{16, 24}, {24, 24}}, -1},
      {S::psCross, "cross", {{20, 16}, {20, 24}, {16, 20}, {24, 20}}, {{16, 16}, {19, 19}}, 17},
      {S::psDiagCross, "diagonal cross", {{16, 16}, {24, 24}, {16, 24}, {24, 16}}, {{20, 16}, {16, 20}}, 17},
      {S::psStar, "star", {{16, 16}, {24, 24}, {20, 16}, {16, 20}}, {{18, 16}, {16, 18}}, 33},
      {S::psDiamond, "diamond", {{20, 16}, {24, 20}, {20, 24}, {16, 20}}, {{16, 16}, {24, 24}}, -1},
      {S::psLeftTriangle, "left triangle", {{16, 20}, {24, 16}, {24, 23}}, {{16, 16}, {16, 24}}, -1, 24, 23},
      {S::psRightTriangle, "right triangle", {{24, 20}, {16, 16}, {16, 24}}, {{24, 16}, {24, 24}}, -1},
      {S::psHexagon, "hexagon", {{16, 20}, {24, 20}, {20, 16}, {20, 24}}, {{16, 16}, {24, 24}}, -1},
  };
  for (const auto &c : cases) {
    Drawn2D d(c.style);
    Save(d.surface.image, std::string("pointer2d_") + c.name);
    const TRect box = Inked(d.surface.image);
    const std::string picture = Ascii(d.surface.image, TRect{14, 14, 26, 26});
    EXPECT_EQ(box.Left, 16) << c.name << picture;
    EXPECT_EQ(box.Top, 16) << c.name;
    EXPECT_EQ(box.Right, c.right) << c.name << picture;
    EXPECT_EQ(box.Bottom, c.bottom) << c.name << picture;
    for (const TPoint &p : c.inked)
      EXPECT_NE(d.At(p.X, p.Y), clWhite) << c.name << " at " << p.X << "," << p.Y;
    for (const TPoint &p : c.white)
      EXPECT_EQ(d.At(p.X, p.Y), clWhite) << c.name << " at " << p.X << "," << p.Y;
    if (c.count >= 0) {
      EXPECT_EQ(InkCount(d.surface.image), c.count) << c.name;
    }
  }
}

TEST_F(Pointer, TheRectangleIsFilledInsideItsFrame) {
  Drawn2D d(TSeriesPointerStyle::psRectangle);
  EXPECT_EQ(d.At(16, 16), kPen);
  EXPECT_EQ(d.At(24, 20), kPen);
  EXPECT_EQ(d.At(20, 20), kFill);
}

TEST_F(Pointer, SmallDotIsOnePixelInTheBrushColourAndNothingIsNothing) {
  Drawn2D dot(TSeriesPointerStyle::psSmallDot);
  EXPECT_EQ(InkCount(dot.surface.image), 1);
  EXPECT_EQ(dot.At(20, 20), kFill);
  Drawn2D nothing(TSeriesPointerStyle::psNothing);
  EXPECT_EQ(InkCount(nothing.surface.image), 0);
}

// ---- 3D ---------------------------------------------------------------------------------

// A pointer of a series whose depth runs from 10 to 20, on the default
// orthogonal view, where (X, Y, Z) shows at (X + Z, Y - Z).
struct Drawn3D {
  Surface<> surface{80, 80, true};
  TChartSeries series;
  explicit Drawn3D(TSeriesPointerStyle style, bool draw3D = true) {
    series.StartZ = 10;
    series.MiddleZ = 15;
    series.EndZ = 20;
    TSeriesPointer pointer(&series);
    pointer.SetDraw3D(draw3D);
    pointer.Brush().SetColor(kFill);
    pointer.PrepareCanvas(surface.canvas, kFill);
    pointer.DrawMarker(surface.canvas, true, 40, 40, 4, 4, kFill, style);
  }
};

TEST_F(Pointer, FlatShapesIn3DStandAtStartZ) {
  using S = TSeriesPointerStyle;
  for (S style : {S::psCircle, S::psCross, S::psDiagCross, S::psDiamond, S::psRightTriangle, S::psHexagon}) {
    Drawn3D d(style);
    const TRect box = Inked(d.surface.image);
    EXPECT_EQ(box.Left, 46) << static_cast<int>(style) << Ascii(d.surface.image, TRect{44, 24, 56, 36});
    EXPECT_EQ(box.Top, 26) << static_cast<int>(style);
    EXPECT_EQ(box.Right, 54) << static_cast<int>(style);
    EXPECT_EQ(box.Bottom, 34) << static_cast<int>(style);
  }
  Drawn3D flat(S::psRectangle, false);
  EXPECT_EQ(Inked(flat.surface.image).Left, 46);
  EXPECT_EQ(Inked(flat.surface.image).Right, 54);
}

TEST_F(Pointer, RectangleWithDraw3DIsACubeFromStartZToEndZ) {
  Drawn3D d(TSeriesPointerStyle::psRectangle);
  Save(d.surface.image, "pointer3d_cube");
  const TRect box = Inked(d.surface.image);
  // Front face at depth 10, back face at depth 20.
  EXPECT_EQ(box.Left, 46) << Ascii(d.surface.image, TRect{44, 10, 70, 36});
  EXPECT_EQ(box.Bottom, 34);
  EXPECT_GE(box.Right, 64);
  EXPECT_LE(box.Top, 16);
  EXPECT_NE(d.surface.At(50, 30), clWhite);
}

TEST_F(Pointer, TrianglesWithDraw3DArePyramids) {
  Drawn3D pyramid(TSeriesPointerStyle::psTriangle);
  Drawn3D flat(TSeriesPointerStyle::psTriangle, false);
  Save(pyramid.surface.image, "pointer3d_pyramid");
  EXPECT_GT(InkCount(pyramid.surface.image), InkCount(flat.surface.image));
  EXPECT_EQ(Inked(flat.surface.image).Left, 46);
}

TEST_F(Pointer, SmallDotIn3DIsAtMiddleZ) {
  Drawn3D d(TSeriesPointerStyle::psSmallDot);
  EXPECT_EQ(InkCount(d.surface.image), 1);
  EXPECT_EQ(d.surface.At(55, 25), kFill);
}

// ---- settings ------------------------------------------------------------------------------

TEST_F(Pointer, SizesBelowOneAreRefusedAndKept) {
  TSeriesPointer p;
  for (int bad : {0, -3}) {
    try {
      p.SetHorizSize(bad);
      ADD_FAILURE();
    } catch (const ChartException &e) {
      EXPECT_STREQ(e.what(), "Pointer size must be greater than zero");
    }
    EXPECT_THROW(p.SetVertSize(bad), ChartException);
  }
  EXPECT_EQ(p.HorizSize(), 4);
  EXPECT_EQ(p.VertSize(), 4);
  p.SetSize(2);
  EXPECT_EQ(p.HorizSize(), 2);
  EXPECT_EQ(p.VertSize(), 2);
}

TEST_F(Pointer, DefaultsAndTransparencyHeldToPercent) {
  TSeriesPointer p;
  EXPECT_TRUE(p.Dark3D());
  EXPECT_TRUE(p.Draw3D());
  EXPECT_TRUE(p.InflateMargins());
  EXPECT_EQ(p.Style(), TSeriesPointerStyle::psRectangle);
  EXPECT_FALSE(p.Shadow().Visible());
  EXPECT_EQ(p.Shadow().HorizSize(), 3);
  p.SetTransparency(150);
  EXPECT_EQ(p.Transparency(), 100);
  p.SetTransparency(-5);
  EXPECT_EQ(p.Transparency(), 0);
}

TEST_F(Pointer, MarginsWidenOnlyWhenVisibleAndInflating) {
  struct Case {
    bool visible, inflate;
    int left, right, expectLeft, expectRight;
  };
  const std::vector<Case> cases{
      {true, true, 0, 9, 5, 9}, {false, true, 0, 0, 0, 0}, {true, false, 0, 0, 0, 0}, {true, true, 7, 2, 7, 5}};
  for (const auto &c : cases) {
    TSeriesPointer p;
    p.SetVisible(c.visible);
    p.SetInflateMargins(c.inflate);
    int l = c.left, r = c.right;
    p.WidenHorizMargins(l, r);
    EXPECT_EQ(l, c.expectLeft);
    EXPECT_EQ(r, c.expectRight);
    int t = c.left, b = c.right;
    p.WidenVertMargins(t, b);
    EXPECT_EQ(t, c.expectLeft);
  }
}

TEST_F(Pointer, PrepareCanvasTakesThePointColourForDefaults) {
  Surface<> s{10, 10, false};
  TSeriesPointer p;
  p.Brush().SetColor(clDefault);
  p.PrepareCanvas(s.canvas, clLime);
  EXPECT_EQ(s.canvas.Brush().Color(), clLime);
  p.Brush().SetStyle(TBrushStyle::bsCross);
  p.Brush().SetBackColor(clYellow);
  p.PrepareCanvas(s.canvas, clLime);
  EXPECT_EQ(s.canvas.Brush().Color(), clYellow);
  p.Brush().SetColor(clBlue);
  p.PrepareCanvas(s.canvas, clLime);
  EXPECT_EQ(s.canvas.Brush().Color(), clBlue);
}

TEST_F(Pointer, CalloutDefaults) {
  TCallout c;
  EXPECT_TRUE(c.Visible());
  EXPECT_FALSE(c.Draw3D());
  EXPECT_EQ(c.Brush().Color(), clBlack);
  EXPECT_EQ(c.Arrow().Color(), clWhite);
  EXPECT_EQ(c.ArrowHeadSize(), 8);
  EXPECT_EQ(c.ArrowHead(), TArrowHeadStyle::ahNone);
  TMarksCallout m;
  EXPECT_FALSE(m.Visible());
  EXPECT_EQ(m.Length(), 8);
}

TEST_F(Pointer, AssignCopiesEverySetting) {
  TCallout a, b;
  a.SetStyle(TSeriesPointerStyle::psStar);
  a.SetHorizSize(7);
  a.SetTransparency(30);
  a.SetDistance(3);
  a.SetArrowHead(TArrowHeadStyle::ahSolid);
  a.SetDraw3D(true);
  b.Assign(a);
  EXPECT_EQ(b.Style(), TSeriesPointerStyle::psStar);
  EXPECT_EQ(b.HorizSize(), 7);
  EXPECT_EQ(b.Transparency(), 30);
  EXPECT_EQ(b.Distance(), 3);
  EXPECT_EQ(b.ArrowHead(), TArrowHeadStyle::ahSolid);
  EXPECT_TRUE(b.Draw3D());
}

} // namespace

namespace {

using namespace series_test;

class Callout : public WithUnits {};

// The callout of a panel drawing into a white 60 x 60 image.
struct CalloutScene {
  TSeriesPanel panel;
  gdi::Bitmap image{60, 60};
  TCallout callout{nullptr, &panel};
  CalloutScene() {
    panel.SetView3D(false);
    TCanvas3D &canvas = panel.Canvas();
    canvas.SetBuffered(false);
    canvas.PrepareTarget(&image.DC(), &panel.View3DOptions(), TRect{0, 0, 60, 60}, false);
    canvas.ResetDefaults();
    callout.Arrow().SetColor(clBlue);
    callout.Brush().SetColor(clRed);
  }
};

TEST_F(Callout, ALineFromThePointAndTheMarkerOnIt) {
  CalloutScene s;
  s.callout.Draw(clGreen, TPoint{10, 40}, false, 0, TPoint{40, 10}, TPoint{});
  EXPECT_EQ(s.image.Pixel(25, 25), clBlue) << "the arrow line";
  EXPECT_EQ(s.image.Pixel(10, 40), clRed) << "the marker in the callout's brush at the point";
  EXPECT_EQ(s.image.Pixel(6, 36), clBlack) << "the marker's frame";
  EXPECT_EQ(s.image.Pixel(5, 35), clWhite);
}

TEST_F(Callout, ABentLinePassesTheMiddle) {
  CalloutScene s;
  s.callout.SetVisible(false);
  s.callout.Draw(clGreen, TPoint{10, 50}, true, 0, TPoint{50, 10}, TPoint{10, 10});
  EXPECT_EQ(s.image.Pixel(10, 30), clBlue);
  EXPECT_EQ(s.image.Pixel(30, 10), clBlue);
  EXPECT_EQ(s.image.Pixel(30, 30), clWhite);
  EXPECT_NE(s.image.Pixel(10, 50), clRed) << "a hidden callout draws no marker";
}

TEST_F(Callout, ArrowHeadsAndNoMarker) {
  CalloutScene hollow, solid;
  hollow.callout.SetArrowHead(TArrowHeadStyle::ahLine);
  solid.callout.SetArrowHead(TArrowHeadStyle::ahSolid);
  hollow.callout.Draw(clGreen, TPoint{10, 30}, false, 0, TPoint{50, 30}, TPoint{});
  solid.callout.Draw(clGreen, TPoint{10, 30}, false, 0, TPoint{50, 30}, TPoint{});
  int hollowInk = 0, solidInk = 0;
  for (int y = 20; y < 40; ++y)
    for (int x = 40; x < 52; ++x) {
      hollowInk += hollow.image.Pixel(x, y) != clWhite;
      solidInk += solid.image.Pixel(x, y) != clWhite;
    }
  EXPECT_GT(solidInk, hollowInk);
  EXPECT_NE(hollow.image.Pixel(10, 30), clRed) << "with a head there is no marker";
}

} // namespace
