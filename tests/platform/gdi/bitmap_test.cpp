// Bitmaps, blits, blending, pattern brushes and window surfaces.
#include "GdiTestUtil.h"

#include "platform/gdi/QtSurface.h"
#include "platform/rtl/Exceptions.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace gdi {
namespace {

using test::InkOf;

TEST(GdiBitmaps, NewAndResizedAreWhite) {
  Bitmap bmp(5, 4);
  EXPECT_EQ(test::CountColor(bmp, clWhite), 20);
  bmp.Fill(clRed);
  bmp.SetSize(7, 3);
  EXPECT_EQ(bmp.Width(), 7);
  EXPECT_EQ(bmp.Height(), 3);
  EXPECT_EQ(test::CountColor(bmp, clWhite), 21);
  bmp.SetSize(-3, 2);
  EXPECT_TRUE(bmp.IsEmpty());
  bmp.DC().Rectangle(0, 0, 5, 5); // nothing to draw on: no effect, no crash
  EXPECT_EQ(static_cast<uint32_t>(bmp.Pixel(0, 0)), 0xFFFFFFFFu);
}

// Rows hold 0x00RRGGBB: bytes blue, green, red, unused in memory.
TEST(GdiBitmaps, ScanLineLayout) {
  Bitmap bmp(3, 2);
  bmp.SetPixel(1, 1, RGBColor(0x12, 0x34, 0x56));
  EXPECT_EQ(bmp.ScanLine(1)[1] & 0xFFFFFF, 0x123456u);
  const uint8_t *bytes = reinterpret_cast<const uint8_t *>(bmp.ScanLine(1) + 1);
  EXPECT_EQ(bytes[0], 0x56);
  EXPECT_EQ(bytes[1], 0x34);
  EXPECT_EQ(bytes[2], 0x12);
  bmp.ScanLine(0)[2] = 0xFF00FF00u;
  EXPECT_EQ(bmp.Pixel(2, 0), clLime);
  EXPECT_EQ(bmp.ScanLine(2), nullptr);
}

TEST(GdiBitmaps, DrawingAndRowAccessInterleave) {
  Bitmap bmp(10, 10);
  DeviceContext &dc = bmp.DC();
  dc.FillRect({0, 0, 10, 10}, Brush::Solid(clBlue));
  bmp.ScanLine(5)[5] = 0xFFFF0000u; // red, written while the context is open
  dc.FillRect({0, 0, 3, 3}, Brush::Solid(clGreen));
  EXPECT_EQ(bmp.Pixel(5, 5), clRed);
  EXPECT_EQ(bmp.Pixel(1, 1), clGreen);
  const Bitmap copy = bmp.Clone();
  dc.FillRect({0, 0, 10, 10}, Brush::Solid(clBlack));
  EXPECT_EQ(copy.Pixel(5, 5), clRed); // the clone is not drawn on
}

TEST(GdiBlits, SourceCopyTakesOnlyWhatTheSourceHas) {
  Bitmap src(4, 4);
  src.Fill(clRed);
  Bitmap bmp(20, 20);
  bmp.DC().BitBlt(2, 3, 10, 10, src, -2, 0);
  EXPECT_EQ(InkOf(bmp).bounds, (Rect{4, 3, 8, 7}));
  EXPECT_EQ(test::CountColor(bmp, clRed), 16);
}

TEST(GdiBlits, InvertingSourceTwiceRestores) {
  Bitmap src(8, 8), bmp(16, 16);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      src.SetPixel(x, y, RGBColor(x * 30, y * 30, 77));
  bmp.Fill(RGBColor(10, 200, 90));
  const Bitmap before = bmp.Clone();
  bmp.DC().BitBlt(3, 3, 8, 8, src, 0, 0, Rop3::SrcInvert);
  EXPECT_FALSE(test::SamePixels(bmp, before));
  bmp.DC().BitBlt(3, 3, 8, 8, src, 0, 0, Rop3::SrcInvert);
  EXPECT_TRUE(test::SamePixels(bmp, before));
}

struct Rop3Case {
  Rop3 op;
  uint32_t expected; // source 0xF0F0F0 (as TColor), destination 0x3C3C3C, solid brush 0xAAAAAA
};

class Rop3Blits : public ::testing::TestWithParam<Rop3Case> {};

TEST_P(Rop3Blits, CombineSourceDestinationAndBrush) {
  Bitmap src(2, 2), bmp(4, 4);
  src.Fill(static_cast<TColor>(0xF0F0F0));
  bmp.Fill(static_cast<TColor>(0x3C3C3C));
  DeviceContext &dc = bmp.DC();
  dc.SelectBrush(Brush::Solid(static_cast<TColor>(0xAAAAAA)));
  dc.BitBlt(1, 1, 2, 2, src, 0, 0, GetParam().op);
  EXPECT_EQ(static_cast<uint32_t>(bmp.Pixel(1, 1)), GetParam().expected);
  EXPECT_EQ(static_cast<uint32_t>(bmp.Pixel(0, 0)), 0x3C3C3Cu);
}

INSTANTIATE_TEST_SUITE_P(Gdi, Rop3Blits,
                         ::testing::Values(Rop3Case{Rop3::SrcCopy, 0xF0F0F0}, Rop3Case{Rop3::SrcPaint, 0xFCFCFC},
                                           Rop3Case{Rop3::SrcAnd, 0x303030}, Rop3Case{Rop3::SrcInvert, 0xCCCCCC},
                                           Rop3Case{Rop3::SrcErase, 0xC0C0C0}, Rop3Case{Rop3::NotSrcCopy, 0x0F0F0F},
                                           Rop3Case{Rop3::NotSrcErase, 0x030303}, Rop3Case{Rop3::MergeCopy, 0xA0A0A0},
                                           Rop3Case{Rop3::MergePaint, 0x3F3F3F}, Rop3Case{Rop3::PatCopy, 0xAAAAAA},
                                           Rop3Case{Rop3::PatInvert, 0x969696}, Rop3Case{Rop3::DstInvert, 0xC3C3C3},
                                           Rop3Case{Rop3::PatPaint, 0xBFBFBF}, Rop3Case{Rop3::Blackness, 0},
                                           Rop3Case{Rop3::Whiteness, 0xFFFFFF}));

TEST(GdiBlits, OverlappingCopyWithinOneBitmap) {
  Bitmap bmp(10, 1);
  for (int x = 0; x < 10; ++x)
    bmp.SetPixel(x, 0, RGBColor(x, 0, 0));
  bmp.DC().BitBlt(2, 0, 8, 1, bmp, 0, 0);
  for (int x = 2; x < 10; ++x)
    EXPECT_EQ(GetRValue(bmp.Pixel(x, 0)), x - 2) << x;
}

TEST(GdiBlits, StretchIsNearestNeighbour) {
  Bitmap src(2, 2), bmp(8, 8);
  src.SetPixel(0, 0, clRed);
  src.SetPixel(1, 0, clGreen);
  src.SetPixel(0, 1, clBlue);
  src.SetPixel(1, 1, clBlack);
  bmp.DC().StretchBlt({0, 0, 4, 4}, src, {0, 0, 2, 2});
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(bmp.Pixel(x, y), src.Pixel(x / 2, y / 2)) << x << "," << y;
  // A negative destination width mirrors.
  bmp.DC().StretchBlt({8, 4, 4, 8}, src, {0, 0, 2, 2});
  EXPECT_EQ(bmp.Pixel(4, 4), clGreen);
  EXPECT_EQ(bmp.Pixel(7, 4), clRed);
  // Shrinking picks the pixel under each destination centre.
  Bitmap wide(9, 1), one(3, 1);
  for (int x = 0; x < 9; ++x)
    wide.SetPixel(x, 0, RGBColor(x, 0, 0));
  one.DC().StretchBlt({0, 0, 3, 1}, wide, {0, 0, 9, 1});
  EXPECT_EQ(GetRValue(one.Pixel(0, 0)), 1);
  EXPECT_EQ(GetRValue(one.Pixel(1, 0)), 4);
  EXPECT_EQ(GetRValue(one.Pixel(2, 0)), 7);
}

// Only the visible part of a destination costs anything.
TEST(GdiBlits, HugeStretchDrawsTheVisiblePart) {
  Bitmap src(2, 1), bmp(10, 10);
  src.SetPixel(0, 0, clRed);
  src.SetPixel(1, 0, clBlue);
  bmp.DC().StretchBlt({-kMaxPixel, 0, kMaxPixel, 10}, src, {0, 0, 2, 1});
  bmp.DC().AlphaBlend({-kMaxPixel, 5, kMaxPixel + 1, 10}, src, {0, 0, 2, 1}, 255);
  EXPECT_EQ(bmp.Pixel(0, 0), clBlue);
  EXPECT_EQ(bmp.Pixel(9, 9), clBlue);
}

TEST(GdiBlits, TransparentColourIsLeftOut) {
  Bitmap src(3, 1), bmp(3, 1);
  src.SetPixel(0, 0, clFuchsia);
  src.SetPixel(1, 0, clRed);
  src.SetPixel(2, 0, clFuchsia);
  bmp.Fill(clAqua);
  bmp.DC().TransparentBlt({0, 0, 3, 1}, src, {0, 0, 3, 1}, clFuchsia);
  EXPECT_EQ(bmp.Pixel(0, 0), clAqua);
  EXPECT_EQ(bmp.Pixel(1, 0), clRed);
  EXPECT_EQ(bmp.Pixel(2, 0), clAqua);
}

struct BlendCase {
  uint8_t alpha;
  TColor source, dest, expected;
};

class AlphaBlends : public ::testing::TestWithParam<BlendCase> {};

// (S a + D (255 - a) + 127) div 255 per channel.
TEST_P(AlphaBlends, ConstantAlpha) {
  Bitmap src(2, 2), bmp(2, 2);
  src.Fill(GetParam().source);
  bmp.Fill(GetParam().dest);
  bmp.DC().AlphaBlend({0, 0, 2, 2}, src, {0, 0, 2, 2}, GetParam().alpha);
  EXPECT_EQ(bmp.Pixel(1, 1), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Gdi, AlphaBlends,
    ::testing::Values(BlendCase{128, clBlack, clWhite, RGBColor(127, 127, 127)},
                      BlendCase{127, clBlack, clWhite, RGBColor(128, 128, 128)},
                      BlendCase{0, clBlack, clWhite, clWhite}, BlendCase{255, clBlack, clWhite, clBlack},
                      BlendCase{128, clRed, RGBColor(0, 160, 0), RGBColor(128, 80, 0)},
                      BlendCase{64, RGBColor(200, 100, 50), RGBColor(10, 20, 30), RGBColor(58, 40, 35)}));

TEST(GdiPatterns, PatternInvertTwiceRestores) {
  Bitmap bmp(20, 20);
  bmp.Fill(RGBColor(1, 2, 3));
  DeviceContext &dc = bmp.DC();
  dc.SelectBrush(Brush::Hatched(HatchStyle::Cross, clRed));
  dc.PatBlt(2, 2, 15, 15, Rop3::PatInvert);
  EXPECT_GT(InkOf(bmp, RGBColor(1, 2, 3)).count, 0);
  dc.PatBlt(2, 2, 15, 15, Rop3::PatInvert);
  EXPECT_EQ(InkOf(bmp, RGBColor(1, 2, 3)).count, 0);
}

// A monochrome pattern draws black in the text colour and white in the
// background colour, tiled from the surface origin.
TEST(GdiPatterns, MonochromePatternTakesTextAndBackgroundColours) {
  Bitmap pattern(8, 8);
  pattern.SetMonochrome(true);
  pattern.SetPixel(0, 0, clBlack);
  const Brush brush = Brush::Pattern(pattern, true);
  Bitmap bmp(24, 24);
  DeviceContext &dc = bmp.DC();
  dc.SetTextColor(clRed);
  dc.SetBkColor(clYellow);
  dc.SelectBrush(brush);
  dc.SelectPen(Pen::Null());
  dc.Rectangle(3, 3, 24, 24);
  EXPECT_EQ(bmp.Pixel(8, 8), clRed);
  EXPECT_EQ(bmp.Pixel(16, 16), clRed);
  EXPECT_EQ(bmp.Pixel(9, 8), clYellow);
  EXPECT_EQ(bmp.Pixel(3, 3), clYellow);
  EXPECT_EQ(test::CountColor(bmp, clRed), 4);
  // The brush keeps its own copy of the pixels.
  pattern.SetPixel(1, 0, clBlack);
  dc.SetTextColor(clBlue);
  dc.FillRect({0, 0, 8, 8});
  EXPECT_EQ(bmp.Pixel(1, 0), clYellow);
  EXPECT_EQ(bmp.Pixel(0, 0), clBlue);
}

TEST(GdiPatterns, HatchGapsTakeTheBackgroundOnlyWhenOpaque) {
  for (BkMode mode : {BkMode::Transparent, BkMode::Opaque}) {
    Bitmap bmp(16, 16);
    bmp.Fill(clAqua);
    DeviceContext &dc = bmp.DC();
    dc.SetBkMode(mode);
    dc.SetBkColor(clYellow);
    dc.FillRect({0, 0, 16, 16}, Brush::Hatched(HatchStyle::Horizontal, clBlack));
    EXPECT_EQ(test::CountColor(bmp, clBlack), 32);
    EXPECT_EQ(test::CountColor(bmp, mode == BkMode::Opaque ? clYellow : clAqua), 256 - 32);
  }
}

TEST(GdiPatterns, DeviceBrushColourChangesPerCall) {
  Bitmap bmp(10, 1);
  DeviceContext &dc = bmp.DC();
  dc.SelectBrush(Brush::DeviceColor());
  for (int x = 0; x < 10; ++x) {
    dc.SetDeviceBrushColor(RGBColor(x * 20, 0, 0));
    dc.PatBlt(x, 0, 1, 1, Rop3::PatCopy);
  }
  for (int x = 0; x < 10; ++x)
    EXPECT_EQ(bmp.Pixel(x, 0), RGBColor(x * 20, 0, 0));
}

// ---- files

std::string TempPath(const char *name) {
  return (std::filesystem::temp_directory_path() / (std::string("kvel_gdi_") + name)).string();
}

TEST(GdiFiles, PngAndBmpRoundTrip) {
  Bitmap bmp(7, 5);
  bmp.SetPixel(3, 2, RGBColor(9, 180, 250));
  for (const char *name : {"round.png", "round.bmp"}) {
    const std::string path = TempPath(name);
    bmp.SaveToFile(path);
    Bitmap back;
    back.LoadFromFile(path);
    EXPECT_TRUE(test::SamePixels(bmp, back)) << name;
    std::filesystem::remove(path);
  }
}

TEST(GdiFiles, JpegDecodes) {
  QImage img(16, 8, QImage::Format_RGB32);
  img.fill(QColor(200, 40, 10));
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(img.save(&buffer, "JPG", 95));
  Bitmap bmp;
  bmp.LoadFromMemory(std::span(reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size())));
  ASSERT_EQ(bmp.Width(), 16);
  EXPECT_NEAR(GetRValue(bmp.Pixel(8, 4)), 200, 4);
  EXPECT_NEAR(GetGValue(bmp.Pixel(8, 4)), 40, 4);
  EXPECT_NEAR(GetBValue(bmp.Pixel(8, 4)), 10, 4);
}

TEST(GdiFiles, UnreadableFileRaisesAndChangesNothing) {
  const std::string path = TempPath("broken.png");
  std::ofstream(path) << "not a picture";
  Bitmap bmp(3, 3);
  bmp.Fill(clRed);
  EXPECT_THROW(bmp.LoadFromFile(path), rtl::EInOutError);
  EXPECT_THROW(bmp.LoadFromFile(TempPath("missing.png")), rtl::EInOutError);
  const uint8_t junk[] = {1, 2, 3};
  EXPECT_THROW(bmp.LoadFromMemory(junk), rtl::EInOutError);
  EXPECT_EQ(bmp.Width(), 3);
  EXPECT_EQ(test::CountColor(bmp, clRed), 9);
  std::filesystem::remove(path);
}

// ---- window surfaces

TEST(GdiSurfaces, DrawingOutsidePaintAsksForOneRepaint) {
  WindowSurface surface(40, 30);
  int asked = 0;
  surface.OnChanged = [&] { ++asked; };
  DeviceContext &dc = surface.DC();
  dc.SetRasterOp(RasterOp::Not);
  dc.Rectangle(5, 5, 20, 20); // feedback between paints
  dc.Rectangle(6, 6, 21, 21);
  EXPECT_EQ(asked, 1);
  // The paint copies the surface and so answers the request.
  QImage screen(40, 30, QImage::Format_RGB32);
  {
    QPainter p(&screen);
    PaintSurface(p, surface, QRect(0, 0, 40, 30));
  }
  EXPECT_EQ(screen.pixel(5, 5) & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(screen.pixel(30, 25) & 0xFFFFFF, 0xFFFFFFu);
  dc.SetPixel(1, 1, clRed);
  EXPECT_EQ(asked, 2);
  // Drawing during a paint event asks nothing.
  surface.BeginPaint();
  EXPECT_TRUE(surface.Painting());
  dc.FillRect({0, 0, 40, 30}, Brush::Solid(clBlue));
  surface.EndPaint();
  EXPECT_EQ(asked, 2);
  dc.LineTo(10, 10);
  EXPECT_EQ(asked, 3);
}

TEST(GdiSurfaces, CheckFrameStaysInItsThirteenPixels) {
  Bitmap plain(40, 40), checked(40, 40), radio(40, 40);
  for (Bitmap *b : {&plain, &checked, &radio})
    b->Fill(clMaroon);
  plain.DC().DrawCheckFrame(10, 10, true, false);
  checked.DC().DrawCheckFrame(10, 10, true, true);
  radio.DC().DrawCheckFrame(10, 10, false, true);
  EXPECT_EQ(InkOf(plain, clMaroon).bounds, (Rect{10, 10, 23, 23}));
  EXPECT_EQ(InkOf(checked, clMaroon).bounds, (Rect{10, 10, 23, 23}));
  EXPECT_GT(test::CountColor(checked, clBlack), test::CountColor(plain, clBlack) + 10);
  const Rect r = InkOf(radio, clMaroon).bounds;
  EXPECT_GE(r.left, 10);
  EXPECT_GE(r.top, 10);
  EXPECT_LE(r.right, 23);
  EXPECT_LE(r.bottom, 23);
  EXPECT_GT(test::CountColor(radio, clBlack), 8);
}

} // namespace
} // namespace gdi
