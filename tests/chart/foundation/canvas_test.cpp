// The canvas drawing into an image: pixels where the drawing rules fix them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/foundation/TestSurface.h"
#include "chart/foundation/UloPicture.h"
#include "chart/foundation/UloShadow.h"

namespace {

using Scene = foundation_test::Surface<>;

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
  const std::pair<TPoint, TColor> pixels[] = {{{0, 0}, clRed}, {{9, 0}, clBlue}, {{0, 9}, clBlue}, {{9, 9}, clBlue},
                                              {{1, 1}, clRed}, {{8, 1}, clBlue}, {{2, 2}, clWhite}};
  for (const auto &[p, c] : pixels)
    EXPECT_EQ(s.At(p.X, p.Y), c) << p.X << "," << p.Y;
  s.canvas.BevelFrame(r, clRed, clBlue, 0);
  EXPECT_EQ(r, (TRect{2, 2, 8, 8}));
}

TEST(Canvas, RemoveClipReturnsOneLevel) {
  Scene s;
  s.canvas.Brush().SetColor(clRed);
  s.canvas.ClipToRect({0, 0, 100, 100});
  s.canvas.ClipToRect({50, 50, 150, 150});
  s.canvas.RemoveClip();
  s.canvas.FillRect({0, 0, 200, 200});
  EXPECT_EQ(s.At(99, 99), clRed);
  EXPECT_EQ(s.At(120, 120), clWhite);
  s.canvas.RemoveClip();
  s.canvas.FillRect({0, 0, 200, 200});
  EXPECT_EQ(s.At(120, 120), clRed);
}

TEST(Canvas, ClipToBoxFlatAndProjected) {
  // Flat: one pixel in on the left, top and bottom, the right edge as it is.
  Scene flat(50, 50, false);
  flat.canvas.ClipToBox({10, 10, 20, 20}, 0, 5);
  // In depth the clip covers the whole projected box.
  Scene deep;
  deep.canvas.ClipToBox({10, 50, 90, 100}, 0, 20);
  for (Scene *s : {&flat, &deep}) {
    s->canvas.Brush().SetColor(clRed);
    s->canvas.FillRect({0, 0, 200, 200});
  }
  const std::pair<TPoint, TColor> flatPixels[] = {
      {{10, 15}, clWhite}, {{11, 11}, clRed}, {{19, 18}, clRed}, {{20, 15}, clWhite}, {{15, 19}, clWhite}};
  for (const auto &[p, c] : flatPixels)
    EXPECT_EQ(flat.At(p.X, p.Y), c) << p.X << "," << p.Y;
  const std::pair<TPoint, TColor> deepPixels[] = {
      {{50, 70}, clRed}, {{100, 40}, clRed}, {{5, 40}, clWhite}, {{105, 95}, clWhite}};
  for (const auto &[p, c] : deepPixels)
    EXPECT_EQ(deep.At(p.X, p.Y), c) << p.X << "," << p.Y;
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
  EXPECT_EQ(s.canvas.Pen().Color(), clBlack);
}

TEST(Canvas, ApplyBrushFillsWithTheBrushColourOverItsBackground) {
  Scene s;
  TChartBrush brush;
  brush.SetColor(clRed);
  s.canvas.ApplyBrush(brush);
  EXPECT_EQ(s.canvas.GetBkMode(), UloTransparentMode);
  s.canvas.FillRect({0, 0, 10, 10});
  EXPECT_EQ(s.At(5, 5), clRed);
  // A pattern left on the canvas's own brush goes with the next brush.
  gdi::Bitmap pattern(8, 8);
  s.canvas.Brush().SetBitmap(&pattern);
  s.canvas.ApplyBrushColor(brush, clBlue);
  s.canvas.FillRect({0, 0, 10, 10});
  EXPECT_EQ(s.Count(clBlue, {0, 0, 10, 10}), 100);
  // A hatch shows its background colour between the lines.
  brush.SetStyle(TBrushStyle::bsHorizontal);
  brush.SetBackColor(clYellow);
  s.canvas.ApplyBrush(brush);
  s.canvas.FillRect({20, 20, 36, 36});
  EXPECT_GT(s.Count(clRed, {20, 20, 36, 36}), 0);
  EXPECT_GT(s.Count(clYellow, {20, 20, 36, 36}), 0);
  EXPECT_EQ(s.Count(clWhite, {20, 20, 36, 36}), 0);
}

TEST(Canvas, PatternBrushKeepsItsPatternWhileTextIsMeasuredOrItsSideDarkens) {
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
  // A dark side shows the darkened colour between the dots of the pattern.
  s.canvas.ApplyDarkBrushColor(0xC0C0C0, 128);
  s.canvas.FillRect({8, 0, 16, 8});
  EXPECT_EQ(s.Count(clRed, {8, 0, 16, 8}), 32);
  EXPECT_EQ(s.Count(0x404040, {8, 0, 16, 8}), 32);
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
  // A bevel drawn next in the same colour is whole.
  Scene s;
  TChartPen pen;
  pen.SetColor(clRed);
  pen.SetSmallDots(true);
  s.canvas.ApplyPen(pen);
  TRect r{0, 0, 10, 10};
  s.canvas.BevelFrame(r, clRed, clBlue, 1);
  EXPECT_EQ(s.Count(clRed, {0, 0, 9, 1}), 9);
}

TEST(Canvas, WideChartPensTakeTheirEndCaps) {
  const std::pair<TPenEndStyle, bool> cases[] = {
      {TPenEndStyle::esFlat, false}, {TPenEndStyle::esSquare, true}, {TPenEndStyle::esRound, true}};
  for (const auto &[style, beyondEnds] : cases) {
    Scene s;
    TChartPen pen;
    pen.SetColor(clRed);
    pen.SetWidth(7);
    pen.SetEndStyle(style);
    s.canvas.ApplyPen(pen);
    s.canvas.DrawLine(40, 50, 100, 50);
    const int k = static_cast<int>(style);
    EXPECT_EQ(s.At(70, 50), clRed);
    EXPECT_EQ(s.At(38, 50) == clRed, beyondEnds) << k;
    EXPECT_EQ(s.At(102, 50) == clRed, beyondEnds) << k;
    // The square cap reaches its corners; the round one does not.
    EXPECT_EQ(s.At(37, 47) == clRed, style == TPenEndStyle::esSquare) << k;
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
  Scene plain, s;
  TUloFont font;
  font.SetSize(14);
  plain.canvas.ApplyFont(font);
  plain.canvas.TextOut(10, 10, "HW");
  const TRect glyphs = plain.Box(clBlack);
  ASSERT_GT(glyphs.Right, glyphs.Left);
  font.Shadow().SetColor(clRed);
  font.Shadow().SetHorizSize(-2);
  font.Shadow().SetVertSize(3);
  s.canvas.ApplyFont(font);
  s.canvas.TextOut(10, 10, "HW");
  const TRect text = s.Box(clBlack), shadow = s.Box(clRed);
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
  const TRect box = b.Box(clBlack);
  EXPECT_GT(box.Bottom - box.Top, box.Right - box.Left);
  EXPECT_EQ(a.Box(clBlack), box);
  EXPECT_EQ(a.Count(clBlack), b.Count(clBlack));
}

TEST(Canvas, TransparencyKeepsSevenBitsAndItsRectangleStaysOnTheImage) {
  Scene s;
  auto blend = s.canvas.BeginTransparentDrawing({0, 0, 1, 1}, 200);
  EXPECT_EQ(s.canvas.PendingTransparency(), 72);
  // Entirely left of the image: one column at X 0 is captured.
  TUloBlend left(s.canvas, {-20, 5, -10, 9});
  EXPECT_TRUE(left.Valid());
  EXPECT_EQ(left.Rect(), (TRect{0, 5, 1, 9}));
  TUloBlend beyond(s.canvas, {195, 195, 260, 260});
  EXPECT_EQ(beyond.Rect(), (TRect{195, 195, 200, 200}));
}

TEST(Canvas, EllipseAtDepthFlatMatchesTheInclusiveEllipse) {
  Scene a(60, 60, false), b(60, 60, false);
  a.canvas.Brush().SetColor(clRed);
  b.canvas.Brush().SetColor(clRed);
  a.canvas.EllipseAtDepth(10, 10, 40, 30, 7);
  b.canvas.Ellipse(10, 10, 41, 31);
  EXPECT_EQ(foundation_test::Pixels(a.image), foundation_test::Pixels(b.image));
}

TEST(Canvas, TextAtDepthGrowsWithTheZoom) {
  Scene plain, zoomed;
  zoomed.options.SetZoom(200);
  zoomed.Prepare();
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
  // A resized image starts in the back colour.
  canvas.PrepareTarget(&window.DC(), nullptr, TRect{0, 0, 60, 30}, false, clYellow);
  EXPECT_EQ(canvas.BufferBitmap()->Width(), 60);
  EXPECT_EQ(canvas.BufferBitmap()->Pixel(5, 5), clYellow);
}

TEST(CanvasBuffer, SwitchingBufferingOffFreesUnlessKept) {
  gdi::Bitmap window(50, 50);
  TUloCanvas3D canvas;
  canvas.PrepareTarget(&window.DC(), nullptr, TRect{0, 0, 50, 50}, false);
  canvas.PresentBuffer(&window.DC(), &window.DC(), TRect{0, 0, 50, 50});
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
  TUloCanvas3D other;
  other.CopySettings(static_cast<TCanvas3D &>(canvas));
  EXPECT_TRUE(other.GetMonochrome());
}

} // namespace
