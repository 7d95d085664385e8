// Transparency mixing byte by byte, and hard and smooth shadows.
#include <gtest/gtest.h>

#include <vector>

#include "chart/foundation/TestSurface.h"
#include "chart/foundation/UloShadow.h"

namespace {

struct MixCase {
  int source, dest;
  double percent;
  int want;
};

TEST(Blend, MixBitmapsMovesEachByteTowardTheSource) {
  const MixCase cases[] = {
      {255, 0, 50, 127},     // white background under black at 50 %
      {0, 255, 50, 128},     // a falling byte divides toward zero: 255 - 127
      {200, 100, 0, 200},    // 0 % of the drawing: the background
      {200, 100, 100, 100},  // all of the drawing
      {200, 100, 33.5, 166}, // the percent rounds half to even: 34
      {200, 100, 130, 100},  // beyond 100: held to 100
      {200, 100, -30, 200},  // below 0: held to 0
  };
  for (const MixCase &c : cases) {
    gdi::Bitmap source(1, 1), dest(1, 1);
    source.SetPixel(0, 0, RGBColor(c.source, c.source, c.source));
    dest.SetPixel(0, 0, RGBColor(c.dest, c.dest, c.dest));
    MixBitmaps(source, dest, TPoint{0, 0}, c.percent);
    EXPECT_EQ(dest.Pixel(0, 0), RGBColor(c.want, c.want, c.want)) << c.source << " " << c.dest << " " << c.percent;
  }
}

TEST(Blend, MixBitmapsStaysInsideTheDestination) {
  gdi::Bitmap source(10, 10), dest(6, 6);
  source.Fill(clBlack);
  dest.Fill(clWhite);
  MixBitmaps(source, dest, TPoint{-3, 4}, 0);
  // A negative X counts as 0; the area is cut to what Dest holds.
  EXPECT_EQ(dest.Pixel(0, 4), clBlack);
  EXPECT_EQ(dest.Pixel(5, 5), clBlack);
  EXPECT_EQ(dest.Pixel(5, 3), clWhite);
}

// A flat canvas over a white 100 x 100 image.
struct Canvas2D : foundation_test::Surface<> {
  explicit Canvas2D(bool buffered) : Surface(100, 100, false, buffered) {}
};

TEST(Blend, TransparencyBeyondOneHundredRestoresTheBackground) {
  // 110 survives "and 127"; mixed literally it would overshoot and wrap.
  for (bool buffered : {false, true}) {
    Canvas2D s(buffered);
    auto blend = s.canvas.BeginTransparentDrawing(TRect{10, 10, 30, 30}, 110);
    EXPECT_EQ(s.canvas.PendingTransparency(), 110);
    s.canvas.Brush().SetColor(0x102030);
    s.canvas.FillRect(TRect{0, 0, 40, 40});
    s.canvas.EndTransparentDrawing(std::move(blend));
    EXPECT_EQ(s.At(20, 20), clWhite);
    EXPECT_EQ(s.At(35, 35), 0x102030);
  }
}

TEST(Blend, BufferedCanvasMixesInItsOwnImage) {
  Canvas2D s(true);
  auto blend = s.canvas.BeginTransparentDrawing(TRect{10, 10, 30, 30}, 25);
  s.canvas.Brush().SetColor(clBlack);
  s.canvas.FillRect(TRect{10, 10, 30, 30});
  s.canvas.EndTransparentDrawing(std::move(blend));
  // 25 % of the white background: 255 * 25 div 100.
  EXPECT_EQ(s.At(20, 20), RGBColor(63, 63, 63));
  EXPECT_EQ(s.image.Pixel(20, 20), clWhite);
}

TEST(Shadow, NoColourOrNoSizeDrawsNothingAndBlendsNothing) {
  for (int variant = 0; variant < 2; ++variant) {
    Canvas2D s(false);
    TUloShadow shadow;
    shadow.SetTransparency(30);
    if (variant == 0) {
      shadow.SetColor(clNone);
      shadow.SetBothSizes(4);
    }
    shadow.PaintRectShadow(s.canvas, TRect{10, 10, 50, 50}, 0);
    shadow.PaintEllipseShadow(s.canvas, TRect{10, 10, 50, 50}, 0);
    const TPoint tri[3] = {{10, 10}, {50, 10}, {30, 40}};
    shadow.PaintPolygonShadow(s.canvas, tri);
    EXPECT_EQ(s.canvas.PendingTransparency(), 0);
    EXPECT_TRUE(s.AllWhite());
  }
}

TEST(Shadow, HardShadowIsTheFigureMoved) {
  // Unbuffered, a smooth rectangle shadow is drawn hard.
  Canvas2D s(false);
  TUloShadow shadow;
  shadow.SetColor(clRed);
  shadow.SetHorizSize(5);
  shadow.SetVertSize(-3);
  shadow.PaintRectShadowFlat(s.canvas, TRect{20, 20, 60, 50});
  EXPECT_EQ(s.At(25, 17), clRed);
  EXPECT_EQ(s.At(63, 45), clRed);
  EXPECT_EQ(s.At(24, 30), clWhite);
  EXPECT_EQ(s.At(30, 16), clWhite);
  const TPoint tri[3] = {{60, 60}, {90, 60}, {60, 90}};
  shadow.PaintPolygonShadow(s.canvas, tri);
  EXPECT_EQ(s.At(67, 59), clRed);
  EXPECT_EQ(s.At(62, 59), clWhite);
}

TEST(Shadow, TransparentHardShadowMixesWithTheBackground) {
  Canvas2D s(false);
  TUloShadow shadow;
  shadow.SetColor(clBlack);
  shadow.SetSmooth(false);
  shadow.SetBothSizes(4);
  shadow.SetTransparency(50);
  shadow.PaintRectShadowFlat(s.canvas, TRect{20, 20, 60, 50});
  EXPECT_EQ(s.At(40, 40), RGBColor(127, 127, 127));
  EXPECT_EQ(s.canvas.PendingTransparency(), 50);
}

TEST(Shadow, SmoothShadowKeepsFullColourInsideAndFadesOutside) {
  Canvas2D s(true);
  TUloShadow shadow;
  shadow.SetColor(clBlack);
  shadow.SetBothSizes(4);
  shadow.PaintRectShadowFlat(s.canvas, TRect{20, 20, 60, 50});
  EXPECT_EQ(s.At(40, 40), clBlack);
  // Along a row from inside the shadow outward the grey only lightens,
  // passes through greys, and reaches white within the blur's reach.
  int previous = 0, greys = 0;
  for (int x = 50; x < 80; ++x) {
    const int v = GetRValue(s.At(x, 40));
    ASSERT_GE(v, previous) << x;
    greys += v > 0 && v < 255;
    previous = v;
  }
  EXPECT_GE(greys, 4);
  EXPECT_EQ(s.At(74, 40), clWhite);
  EXPECT_EQ(s.At(10, 10), clWhite);
}

// A shadow keeps its last blur for the next paint: the kept blur must never
// stand in for another figure, size, place or blur.
TEST(Shadow, AKeptBlurServesOnlyTheSameFigure) {
  struct Draw {
    TRect rect;
    int blur;
  };
  const Draw draws[] = {{{20, 20, 60, 50}, 0},  {{20, 20, 60, 50}, 0}, {{22, 20, 60, 50}, 0},
                        {{10, 12, 50, 42}, 0},  {{10, 12, 50, 42}, 40}, {{20, 20, 60, 50}, 0}};
  TUloShadow kept;
  kept.SetColor(clBlack);
  kept.SetBothSizes(4);
  for (const Draw &d : draws) {
    Canvas2D a(true), b(true);
    kept.SetSmoothBlur(d.blur);
    kept.PaintRectShadowFlat(a.canvas, d.rect);
    TUloShadow fresh;
    fresh.SetColor(clBlack);
    fresh.SetBothSizes(4);
    fresh.SetSmoothBlur(d.blur);
    fresh.PaintRectShadowFlat(b.canvas, d.rect);
    for (int y = 0; y < 100; y += 3)
      for (int x = 0; x < 100; x += 3)
        ASSERT_EQ(a.At(x, y), b.At(x, y)) << d.rect.Left << " " << d.blur << " at " << x << "," << y;
  }
}

// A negative SmoothBlur blurs as 0 does: taken literally its base falls
// below 1 and the weights grow past any integer.
TEST(Shadow, NegativeSmoothBlurBlursAsNone) {
  std::vector<TColor> images[2];
  for (int k = 0; k < 2; ++k) {
    Canvas2D s(true);
    TUloShadow shadow;
    shadow.SetColor(clBlack);
    shadow.SetBothSizes(40);
    shadow.SetSmoothBlur(k == 0 ? 0 : -170);
    shadow.PaintRectShadowFlat(s.canvas, TRect{5, 5, 45, 35});
    images[k] = foundation_test::Pixels(s.Shown());
  }
  EXPECT_EQ(images[1], images[0]);
}

TEST(Shadow, ClipHoldsTheSmoothShadowToTheClip) {
  for (bool clip : {false, true}) {
    Canvas2D s(true);
    TUloShadow shadow;
    shadow.SetColor(clBlack);
    shadow.SetBothSizes(4);
    shadow.SetClip(clip);
    s.canvas.ClipToRect(TRect{0, 0, 40, 100});
    shadow.PaintRectShadowFlat(s.canvas, TRect{20, 20, 60, 50});
    EXPECT_EQ(s.At(30, 40), clBlack);
    EXPECT_EQ(s.At(50, 40), clip ? clWhite : clBlack);
  }
}

TEST(Shadow, EllipseWithoutAnImageToBlurIsARadialFade) {
  Canvas2D s(false);
  TUloShadow shadow;
  shadow.SetColor(0xC0C0C0);
  shadow.SetBothSizes(10);
  shadow.PaintEllipseShadow(s.canvas, TRect{10, 10, 70, 70}, 0);
  // Centre of (20, 20, 80, 80), one pixel past the middle: darkened by 128.
  EXPECT_EQ(s.At(51, 51), 0x404040);
  // Near the rim: close to the colour lightened by 32.
  EXPECT_GE(GetRValue(s.At(51, 22)), 0xD0);
  EXPECT_LE(GetRValue(s.At(51, 22)), 0xE0);
  EXPECT_EQ(s.At(21, 21), clWhite);
  EXPECT_EQ(s.At(90, 50), clWhite);
}

TEST(Shadow, AssignCopiesClipWithTheOtherSettings) {
  TUloShadow a, b;
  b.SetClip(true);
  b.SetSmoothBlur(3);
  b.SetVisible(false);
  int changes = 0;
  a.OnChange = [&] { ++changes; };
  a.Assign(b);
  a.Assign(b);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(a.Clip());
  EXPECT_EQ(a.SmoothBlur(), 3);
  EXPECT_FALSE(a.Visible());
}

} // namespace
