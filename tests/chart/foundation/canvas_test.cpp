// The canvas drawing into an image: pixels where the drawing rules fix
// them, and a recording canvas where the order of calls is what matters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/foundation/UloCanvas3D.h"
#include "chart/foundation/UloPicture.h"
#include "chart/foundation/UloShadow.h"
#include "platform/rtl/Exceptions.h"

namespace {

// A white 200 x 200 image drawn into without buffering, in the default
// orthogonal view: ProjectPoint(X, Y, Z) = (X + Z, Y - Z).
struct Scene {
  gdi::Bitmap image{200, 200};
  TView3DOptions options;
  TUloCanvas3D canvas;
  explicit Scene(bool buffered = false) {
    canvas.SetBuffered(buffered);
    canvas.PrepareTarget(&image.DC(), &options, TRect{0, 0, 200, 200}, true);
    canvas.SetupProjection(100, TRect{0, 0, 200, 200});
    canvas.ResetDefaults();
  }
  TColor At(int x, int y) { return image.Pixel(x, y); }
  int Count(TColor c, TRect r = {0, 0, 200, 200}) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        n += image.Pixel(x, y) == c;
    return n;
  }
  // The bounding box of the pixels of one colour ((0,0,0,0) when none).
  TRect Box(TColor c) {
    TPointArray pts;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 200; ++x)
        if (image.Pixel(x, y) == c) pts.push_back({x, y});
    return PointsBoundingRect(pts);
  }
};

TEST(Canvas, DepthMovesRightAndUpInTheDefaultView) {
  Scene s;
  s.canvas.SetPixelAt3D(50, 60, 10, clRed);
  EXPECT_EQ(s.At(60, 50), clRed);
  EXPECT_EQ(s.canvas.GetPixelAt3D(50, 60, 10), clRed);
  EXPECT_EQ(s.Count(clRed), 1);
}

TEST(Canvas, CoordinatesFarOutsideStillDrawTheVisiblePart) {
  Scene s;
  s.canvas.Pen().SetColor(clRed);
  s.canvas.DrawLine(10, 10, 2147483647, 10);
  const TPoint pts[] = {{-2147483647 - 1, 20}, {100, 20}, {100, 2147483647}};
  s.canvas.Polyline(pts);
  s.canvas.Brush().SetColor(clBlue);
  s.canvas.Pen().SetStyle(TPenStyle::psClear);
  s.canvas.Rectangle(150, 150, 2147483647, 2147483647);
  EXPECT_EQ(s.Count(clRed, {10, 10, 200, 11}), 190);
  EXPECT_EQ(s.Count(clRed, {0, 20, 100, 21}), 100);
  EXPECT_EQ(s.Count(clRed, {100, 20, 101, 200}), 180);
  EXPECT_EQ(s.Count(clBlue), 50 * 50);
}

TEST(Canvas, BevelFrameCornersAndInset) {
  Scene s;
  TRect r{0, 0, 10, 10};
  s.canvas.BevelFrame(r, clRed, clBlue, 2);
  EXPECT_EQ(r, (TRect{2, 2, 8, 8}));
  EXPECT_EQ(s.At(0, 0), clRed);
  EXPECT_EQ(s.At(9, 0), clBlue);
  EXPECT_EQ(s.At(0, 9), clBlue);
  EXPECT_EQ(s.At(9, 9), clBlue);
  EXPECT_EQ(s.At(1, 1), clRed);
  EXPECT_EQ(s.At(8, 1), clBlue);
  EXPECT_EQ(s.At(2, 2), clWhite);
  TRect untouched{0, 0, 10, 10};
  s.canvas.BevelFrame(untouched, clRed, clBlue, 0);
  EXPECT_EQ(untouched, (TRect{0, 0, 10, 10}));
}

TEST(Canvas, RemoveClipReturnsOneLevel) {
  Scene s;
  s.canvas.Brush().SetColor(clRed);
  s.canvas.ClipToRect({0, 0, 100, 100});
  s.canvas.ClipToRect({50, 50, 150, 150});
  s.canvas.RemoveClip();
  s.canvas.FillRect({0, 0, 200, 200});
  EXPECT_EQ(s.At(10, 10), clRed);
  EXPECT_EQ(s.At(99, 99), clRed);
  EXPECT_EQ(s.At(120, 120), clWhite);
  s.canvas.RemoveClip();
  s.canvas.Brush().SetColor(clBlue);
  s.canvas.FillRect({0, 0, 200, 200});
  EXPECT_EQ(s.At(120, 120), clBlue);
}

TEST(Canvas, ClipToBoxInTwoDimensions) {
  gdi::Bitmap image(50, 50);
  TUloCanvas3D canvas;
  canvas.SetBuffered(false);
  canvas.PrepareTarget(&image.DC(), nullptr, TRect{0, 0, 50, 50}, false);
  canvas.ResetDefaults();
  canvas.ClipToBox({10, 10, 20, 20}, 0, 5);
  canvas.Brush().SetColor(clRed);
  canvas.FillRect({0, 0, 50, 50});
  // One pixel in on the left, top and bottom, the right edge as it is.
  EXPECT_EQ(image.Pixel(10, 15), clWhite);
  EXPECT_EQ(image.Pixel(11, 11), clRed);
  EXPECT_EQ(image.Pixel(19, 18), clRed);
  EXPECT_EQ(image.Pixel(20, 15), clWhite);
  EXPECT_EQ(image.Pixel(15, 19), clWhite);
}

TEST(Canvas, ClipToBoxInThreeDimensionsCoversTheProjectedBox) {
  Scene s;
  s.canvas.ClipToBox({10, 50, 90, 100}, 0, 20);
  s.canvas.Brush().SetColor(clRed);
  s.canvas.FillRect({0, 0, 200, 200});
  EXPECT_EQ(s.At(50, 70), clRed);    // front face
  EXPECT_EQ(s.At(100, 40), clRed);   // top face, at depth
  EXPECT_EQ(s.At(5, 40), clWhite);   // left of the box
  EXPECT_EQ(s.At(105, 95), clWhite); // below the right side
}

TEST(Canvas, MonochromePensAreBlackAndBrushesWhite) {
  Scene s;
  s.canvas.Brush().SetColor(clBlack);
  s.canvas.FillRect({0, 0, 200, 200});
  s.canvas.SetMonochrome(true);
  TChartBrush brush;
  brush.SetColor(clRed);
  s.canvas.ApplyBrush(brush);
  TChartPen pen;
  pen.SetColor(clBlue);
  s.canvas.ApplyPen(pen);
  s.canvas.Rectangle(10, 10, 30, 30);
  EXPECT_EQ(s.At(20, 20), clWhite);
  EXPECT_EQ(s.At(10, 10), clBlack);
  EXPECT_EQ(s.canvas.Pen().Color(), clBlack);
}

TEST(Canvas, InvisibleChartPenDrawsNoOutline) {
  Scene s;
  TChartPen pen;
  pen.SetColor(clRed);
  pen.SetWidth(5);
  pen.MakeInvisible();
  s.canvas.ApplyPen(pen);
  s.canvas.Brush().SetStyle(TBrushStyle::bsClear);
  s.canvas.Rectangle(10, 10, 50, 50);
  s.canvas.DrawLine(0, 100, 100, 100);
  EXPECT_EQ(s.Count(clRed), 0);
  EXPECT_EQ(s.canvas.Pen().Style(), TPenStyle::psClear);
}

TEST(Canvas, ApplyBrushFillsWithTheBrushColourOverItsBackground) {
  Scene s;
  TChartBrush brush;
  brush.SetColor(clRed);
  s.canvas.ApplyBrush(brush);
  EXPECT_EQ(s.canvas.GetBkMode(), UloTransparentMode);
  s.canvas.FillRect({0, 0, 10, 10});
  EXPECT_EQ(s.At(5, 5), clRed);
  s.canvas.ApplyBrushColor(brush, clBlue);
  s.canvas.FillRect({0, 0, 10, 10});
  EXPECT_EQ(s.At(5, 5), clBlue);
  // A hatch shows its background colour between the lines.
  brush.SetStyle(TBrushStyle::bsHorizontal);
  brush.SetBackColor(clYellow);
  s.canvas.ApplyBrush(brush);
  EXPECT_EQ(s.canvas.GetBkMode(), UloOpaqueMode);
  EXPECT_EQ(s.canvas.GetBkColor(), clYellow);
  s.canvas.FillRect({20, 20, 36, 36});
  EXPECT_GT(s.Count(clRed, {20, 20, 36, 36}), 0);
  EXPECT_GT(s.Count(clYellow, {20, 20, 36, 36}), 0);
  EXPECT_EQ(s.Count(clWhite, {20, 20, 36, 36}), 0);
}

TEST(Canvas, PatternBrushKeepsItsColoursWhileTextIsMeasured) {
  Scene s;
  gdi::Bitmap pattern(8, 8);
  pattern.SetMonochrome(true);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      pattern.SetPixel(x, y, (x + y) % 2 ? clWhite : clBlack);
  TChartBrush brush;
  brush.Image().SetGraphic(&pattern);
  s.canvas.ApplyBrushColors(brush, clRed, clBlue);
  TUloFont font;
  s.canvas.ApplyFont(font);
  s.canvas.MeasureTextWidth("measured between");
  s.canvas.FillRect({0, 0, 8, 8});
  EXPECT_EQ(s.Count(clRed, {0, 0, 8, 8}), 32);
  EXPECT_EQ(s.Count(clBlue, {0, 0, 8, 8}), 32);
}

TEST(Canvas, DarkSidesOfAHatchedBoxDarkenTheBackground) {
  Scene s;
  s.canvas.Brush().SetColor(clRed);
  s.canvas.Brush().SetStyle(TBrushStyle::bsDiagCross);
  s.canvas.SetBkMode(UloOpaqueMode);
  s.canvas.SetBkColor(0xC0C0C0);
  s.canvas.DrawBox(40, 100, 100, 160, 0, 30, true);
  // The right side (X 100..130) shows the background darkened by 128.
  EXPECT_GT(s.Count(0x404040, {102, 80, 128, 150}), 0);
  EXPECT_GT(s.Count(clRed, {102, 80, 128, 150}), 0);
  EXPECT_EQ(s.Count(0x404040, {45, 105, 95, 155}), 0);
  EXPECT_EQ(s.canvas.GetBkColor(), 0xC0C0C0);
}

TEST(Canvas, SmallDotsEveryOtherPixelOrEverySpacePlusTwo) {
  for (auto [space, step] : {std::pair{0, 2}, {2, 4}, {3, 5}}) {
    Scene s;
    TChartPen pen;
    pen.SetColor(clRed);
    pen.SetSmallDots(true);
    pen.SetSmallSpace(space);
    s.canvas.ApplyPen(pen);
    s.canvas.DrawLine(10, 50, 60, 50);
    std::vector<int> xs;
    for (int x = 0; x < 80; ++x)
      if (s.At(x, 50) == clRed) xs.push_back(x);
    ASSERT_GE(xs.size(), 5u) << space;
    for (std::size_t i = 1; i < xs.size(); ++i)
      EXPECT_EQ(xs[i] - xs[i - 1], step) << space;
  }
}

TEST(Canvas, WideChartPensTakeTheirEndCaps) {
  const struct {
    TPenEndStyle style;
    bool beyondEnds;
  } cases[] = {{TPenEndStyle::esFlat, false}, {TPenEndStyle::esSquare, true}, {TPenEndStyle::esRound, true}};
  for (const auto &c : cases) {
    Scene s;
    TChartPen pen;
    pen.SetColor(clRed);
    pen.SetWidth(7);
    pen.SetEndStyle(c.style);
    s.canvas.ApplyPen(pen);
    s.canvas.DrawLine(40, 50, 100, 50);
    EXPECT_EQ(s.At(70, 50), clRed);
    EXPECT_EQ(s.At(38, 50) == clRed, c.beyondEnds) << static_cast<int>(c.style);
    EXPECT_EQ(s.At(102, 50) == clRed, c.beyondEnds) << static_cast<int>(c.style);
    // The square cap reaches its corners; the round one does not.
    EXPECT_EQ(s.At(37, 47) == clRed, c.style == TPenEndStyle::esSquare) << static_cast<int>(c.style);
  }
}

TEST(Canvas, FontZoomScalesAppliedSizes) {
  Scene s;
  s.canvas.SetFontZoom(150);
  for (auto [size, zoomed] : {std::pair{7, 10}, {5, 8}, {10, 15}, {9, 14}}) {
    TUloFont font;
    font.SetSize(size);
    s.canvas.ApplyFont(font);
    EXPECT_EQ(s.canvas.Font().Size(), zoomed) << size;
  }
}

TEST(Canvas, ShadowWidensMeasuredText) {
  Scene s;
  TUloFont font;
  s.canvas.ApplyFont(font);
  const int w = s.canvas.MeasureTextWidth("Chart");
  const int h = s.canvas.MeasureTextHeight("Chart");
  ASSERT_GT(w, 0);
  font.Shadow().SetHorizSize(-3);
  font.Shadow().SetVertSize(2);
  EXPECT_EQ(s.canvas.MeasureTextWidth("Chart"), w + 3);
  EXPECT_EQ(s.canvas.MeasureTextHeight("Chart"), h + 2);
  EXPECT_EQ(s.canvas.MeasureWideTextWidth(U"Chart"), w + 3);
  font.Shadow().SetVisible(false);
  EXPECT_EQ(s.canvas.MeasureTextWidth("Chart"), w);
}

TEST(Canvas, FreedChartFontIsForgotten) {
  Scene s;
  {
    TUloFont font;
    font.Shadow().SetHorizSize(4);
    s.canvas.ApplyFont(font);
    EXPECT_EQ(s.canvas.CurrentChartFont(), &font);
  }
  EXPECT_EQ(s.canvas.CurrentChartFont(), nullptr);
  EXPECT_GT(s.canvas.MeasureTextWidth("x"), 0);
}

TEST(Canvas, TextShadowStandsBesideTheText) {
  // Shadow -2, 3 at (10, 10): the text at (12, 10), its shadow at (10, 13).
  Scene plain;
  TUloFont font;
  font.SetSize(14);
  plain.canvas.ApplyFont(font);
  plain.canvas.TextOut(10, 10, "HW");
  const TRect glyphs = plain.Box(clBlack);
  ASSERT_GT(glyphs.Right, glyphs.Left);

  Scene s;
  font.Shadow().SetColor(clRed);
  font.Shadow().SetHorizSize(-2);
  font.Shadow().SetVertSize(3);
  s.canvas.ApplyFont(font);
  s.canvas.TextOut(10, 10, "HW");
  const TRect text = s.Box(clBlack);
  const TRect shadow = s.Box(clRed);
  EXPECT_EQ(text.Left, glyphs.Left + 2);
  EXPECT_EQ(text.Top, glyphs.Top);
  EXPECT_EQ(shadow.Left, glyphs.Left);
  EXPECT_EQ(shadow.Bottom, glyphs.Bottom + 3);
}

TEST(Canvas, HollowLettersWithAVisibleOutline) {
  Scene filled, hollow;
  for (Scene *s : {&filled, &hollow}) {
    TUloFont font;
    font.SetSize(28);
    font.SetStyle(TFontStyle::fsBold);
    font.OutLine().MakeVisible();
    font.OutLine().SetColor(clRed);
    if (s == &hollow) font.SetColor(clNone);
    s->canvas.ApplyFont(font);
    s->canvas.TextOut(10, 10, "H");
  }
  // Both are outlined in red; only the filled one has a black interior.
  EXPECT_GT(hollow.Count(clRed), 0);
  EXPECT_EQ(hollow.Count(clBlack), 0);
  EXPECT_GT(filled.Count(clBlack), 0);
}

TEST(Canvas, RotatedTextBeyondAFullTurn) {
  Scene a, b;
  a.canvas.RotatedTextOut(100, 100, "Axis", 450);
  b.canvas.RotatedTextOut(100, 100, "Axis", 90);
  EXPECT_GT(b.Count(clBlack), 0);
  const TRect box = b.Box(clBlack);
  EXPECT_GT(box.Bottom - box.Top, box.Right - box.Left);
  EXPECT_EQ(a.Box(clBlack), box);
  EXPECT_EQ(a.Count(clBlack), b.Count(clBlack));
}

TEST(Canvas, TransparencyKeepsPartOfTheBackground) {
  Scene s;
  auto blend = s.canvas.BeginTransparentDrawing({10, 10, 20, 20}, 50);
  s.canvas.Brush().SetColor(clBlack);
  s.canvas.FillRect({0, 0, 30, 30});
  s.canvas.EndTransparentDrawing(std::move(blend));
  const TColor grey = s.At(15, 15);
  EXPECT_TRUE(grey == 0x7F7F7F || grey == 0x808080) << std::hex << grey;
  EXPECT_EQ(s.At(5, 5), clBlack);
  auto other = s.canvas.BeginTransparentDrawing({0, 0, 1, 1}, 200);
  EXPECT_EQ(s.canvas.PendingTransparency(), 72);
  // Entirely left of the image: one column at X 0 is captured.
  TUloBlend left(s.canvas, {-20, 5, -10, 9});
  EXPECT_TRUE(left.Valid());
  EXPECT_EQ(left.Rect(), (TRect{0, 5, 1, 9}));
  TUloBlend beyond(s.canvas, {195, 195, 260, 260});
  EXPECT_EQ(beyond.Rect(), (TRect{195, 195, 200, 200}));
}

TEST(Canvas, EllipseAtDepthFlatMatchesTheInclusiveEllipse) {
  gdi::Bitmap a(60, 60), b(60, 60);
  TUloCanvas3D ca, cb;
  for (auto [c, img] : {std::pair{&ca, &a}, {&cb, &b}}) {
    c->SetBuffered(false);
    c->PrepareTarget(&img->DC(), nullptr, TRect{0, 0, 60, 60}, false);
    c->ResetDefaults();
    c->Brush().SetColor(clRed);
  }
  ca.EllipseAtDepth(10, 10, 40, 30, 7);
  cb.Ellipse(10, 10, 41, 31);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x)
      ASSERT_EQ(a.Pixel(x, y), b.Pixel(x, y)) << x << "," << y;
}

TEST(Canvas, EllipseAtDepthInARotatedViewFillsItsRim) {
  Scene s;
  s.options.SetOrthogonal(false);
  s.canvas.PrepareTarget(&s.image.DC(), &s.options, TRect{0, 0, 200, 200}, true);
  s.canvas.SetupProjection(100, TRect{0, 0, 200, 200});
  s.canvas.Brush().SetColor(clRed);
  s.canvas.Pen().SetColor(clBlue);
  s.canvas.EllipseAtDepth(60, 60, 140, 140, 50);
  const TPoint centre = s.canvas.ProjectPoint(100, 100, 50);
  EXPECT_EQ(s.At(centre.X, centre.Y), clRed);
  EXPECT_GT(s.Count(clBlue), 100);
}

TEST(Canvas, TextAtDepthGrowsWithTheZoom) {
  Scene plain, zoomed;
  zoomed.options.SetZoom(200);
  zoomed.canvas.PrepareTarget(&zoomed.image.DC(), &zoomed.options, TRect{0, 0, 200, 200}, true);
  zoomed.canvas.SetupProjection(100, TRect{0, 0, 200, 200});
  plain.canvas.TextOutAtDepth(100, 100, 0, "W");
  zoomed.canvas.TextOutAtDepth(100, 100, 0, "W");
  const TRect small = plain.Box(clBlack), large = zoomed.Box(clBlack);
  EXPECT_GT(large.Bottom - large.Top, (small.Bottom - small.Top) * 3 / 2);
  // Without zoom text the size stays.
  zoomed.image.Fill(clWhite);
  zoomed.canvas.SetZoomText(false);
  zoomed.canvas.TextOutAtDepth(100, 100, 0, "W");
  const TRect same = zoomed.Box(clBlack);
  EXPECT_EQ(same.Bottom - same.Top, small.Bottom - small.Top);
}

TEST(CanvasGradient, BandsFromTheEndColourDownToTheStart) {
  gdi::Bitmap tall(10, 600);
  TUloCanvas3D canvas;
  canvas.SetBuffered(false);
  canvas.PrepareTarget(&tall.DC(), nullptr, TRect{0, 0, 10, 600}, false);
  canvas.FillGradient({0, 0, 10, 600}, RGBColor(0, 0, 0), RGBColor(255, 255, 255), TGradientDirection::gdTopBottom);
  EXPECT_EQ(tall.Pixel(5, 0), clWhite);
  EXPECT_EQ(tall.Pixel(5, 599), clBlack);
  int bands = 1;
  for (int y = 1; y < 600; ++y)
    bands += tall.Pixel(5, y) != tall.Pixel(5, y - 1);
  EXPECT_EQ(bands, 256);
  // Balance 50 steps linearly: band i (from the bottom) is i of 255.
  EXPECT_EQ(tall.Pixel(5, 599 - 3), RGBColor(1, 1, 1));
  canvas.FillGradient({0, 0, 10, 600}, clRed, clBlue, TGradientDirection::gdBottomTop);
  EXPECT_EQ(tall.Pixel(5, 0), clRed);
  EXPECT_EQ(tall.Pixel(5, 599), clBlue);
}

TEST(CanvasGradient, NothingForOnePixelAndGreyWhenMonochrome) {
  Scene s;
  s.canvas.FillGradient({0, 0, 50, 1}, clRed, clBlue, TGradientDirection::gdTopBottom);
  EXPECT_EQ(s.Count(clWhite), 200 * 200);
  s.canvas.SetMonochrome(true);
  s.canvas.FillGradient({0, 0, 50, 50}, clRed, clRed, TGradientDirection::gdLeftRight);
  EXPECT_EQ(s.At(10, 10), RGBColor(85, 85, 85));
}

// ---- buffering -------------------------------------------------------------------

TEST(CanvasBuffer, PaintsOffScreenAndPresents) {
  gdi::Bitmap window(120, 80);
  TUloCanvas3D canvas;
  const TRect drawn = canvas.PrepareTarget(&window.DC(), nullptr, TRect{10, 20, 110, 70}, false);
  EXPECT_EQ(drawn, (TRect{0, 0, 100, 50}));
  ASSERT_NE(canvas.BufferBitmap(), nullptr);
  EXPECT_EQ(canvas.BufferBitmap()->Pixel(50, 25), clWhite);
  canvas.ResetDefaults();
  canvas.Brush().SetColor(clRed);
  canvas.FillRect({0, 0, 5, 5});
  EXPECT_EQ(window.Pixel(10, 20), clWhite);
  EXPECT_TRUE(canvas.NeedsRedraw());
  canvas.PresentBuffer(&window.DC(), &window.DC(), TRect{10, 20, 110, 70});
  EXPECT_EQ(window.Pixel(10, 20), clRed);
  EXPECT_EQ(window.Pixel(15, 25), clWhite);
  EXPECT_FALSE(canvas.NeedsRedraw());
  EXPECT_EQ(canvas.GetHandle(), &window.DC());
  // A second paint with nothing changed is served from the kept image.
  window.Fill(clBlue);
  EXPECT_TRUE(canvas.RepaintFromBuffer());
  EXPECT_EQ(window.Pixel(0, 0), clRed);
  canvas.MarkForRedraw();
  EXPECT_FALSE(canvas.RepaintFromBuffer());
}

TEST(CanvasBuffer, ResizedImageStartsWhiteOrInTheBackColour) {
  gdi::Bitmap window(100, 100);
  TUloCanvas3D canvas;
  canvas.PrepareTarget(&window.DC(), nullptr, TRect{0, 0, 40, 40}, false);
  canvas.ResetDefaults();
  canvas.Brush().SetColor(clRed);
  canvas.FillRect({0, 0, 40, 40});
  canvas.PrepareTarget(&window.DC(), nullptr, TRect{0, 0, 60, 30}, false, clYellow);
  EXPECT_EQ(canvas.BufferBitmap()->Width(), 60);
  EXPECT_EQ(canvas.BufferBitmap()->Pixel(5, 5), clYellow);
}

TEST(CanvasBuffer, SwitchingBufferingOffFreesUnlessKept) {
  gdi::Bitmap window(50, 50);
  TUloCanvas3D canvas;
  canvas.PrepareTarget(&window.DC(), nullptr, TRect{0, 0, 50, 50}, false);
  canvas.PresentBuffer(&window.DC(), &window.DC(), TRect{0, 0, 50, 50});
  EXPECT_FALSE(canvas.NeedsRedraw());
  canvas.SetKeepBitmap(true);
  canvas.SetBuffered(false);
  EXPECT_NE(canvas.BufferBitmap(), nullptr);
  EXPECT_FALSE(canvas.NeedsRedraw());
  EXPECT_EQ(canvas.PrepareTarget(&window.DC(), nullptr, TRect{5, 5, 50, 50}, false), (TRect{5, 5, 50, 50}));
  canvas.SetBuffered(true);
  EXPECT_EQ(canvas.GetHandle(), &canvas.BufferBitmap()->DC());
  canvas.SetKeepBitmap(false);
  canvas.SetBuffered(false);
  EXPECT_EQ(canvas.BufferBitmap(), nullptr);
  EXPECT_TRUE(canvas.NeedsRedraw());
  canvas.SetBuffered(true);
  EXPECT_FALSE(canvas.RepaintFromBuffer());
}

struct CountingOwner : IUloInvalidate {
  int count = 0;
  void Invalidate() override { ++count; }
};

TEST(CanvasBuffer, MonochromeChangeRepaintsThroughTheViewOwner) {
  CountingOwner owner;
  TView3DOptions options(&owner);
  gdi::Bitmap window(20, 20);
  TUloCanvas3D canvas;
  canvas.PrepareTarget(&window.DC(), &options, TRect{0, 0, 20, 20}, true);
  canvas.PresentBuffer(&window.DC(), &window.DC(), TRect{0, 0, 20, 20});
  canvas.SetMonochrome(true);
  canvas.SetMonochrome(true);
  EXPECT_EQ(owner.count, 1);
  EXPECT_TRUE(canvas.NeedsRedraw());
  TUloCanvas3D plain;
  plain.SetMonochrome(true);
  TCanvas3D &copy = plain;
  TUloCanvas3D other;
  other.CopySettings(copy);
  EXPECT_TRUE(other.GetMonochrome());
}

} // namespace
