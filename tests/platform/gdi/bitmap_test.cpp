// Bitmaps, blits, blending, pattern brushes and window surfaces.
#include "GdiTestUtil.h"

#include "platform/gdi/QtSurface.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace gdi {
namespace {

using test::InkOf;

// New and resized bitmaps are white; rows hold 0x00RRGGBB and may be written
// while the context draws.
TEST(GdiBitmaps, SizesAndRows) {
  Bitmap bmp(10, 10);
  DeviceContext &dc = bmp.DC();
  dc.FillRect({0, 0, 10, 10}, Brush::Solid(clBlue));
  bmp.ScanLine(5)[5] = 0xFFFF0000u;
  dc.FillRect({0, 0, 3, 3}, Brush::Solid(clGreen));
  EXPECT_EQ(bmp.Pixel(5, 5), clRed);
  EXPECT_EQ(bmp.Pixel(1, 1), clGreen);
  const Bitmap copy = bmp.Clone();
  dc.FillRect({0, 0, 10, 10}, Brush::Solid(clBlack));
  EXPECT_EQ(copy.Pixel(5, 5), clRed); // the clone is not drawn on
  bmp.SetPixel(9, 9, RGBColor(0x12, 0x34, 0x56));
  EXPECT_EQ(bmp.ScanLine(9)[9] & 0xFFFFFF, 0x123456u);
  EXPECT_EQ(bmp.ScanLine(10), nullptr);
  bmp.SetSize(7, 3);
  EXPECT_EQ(test::InkOf(bmp).count, 0);
  EXPECT_EQ((Size{bmp.Width(), bmp.Height()}), (Size{7, 3}));
  bmp.SetSize(-3, 2);
  EXPECT_TRUE(bmp.IsEmpty());
  dc.Rectangle(0, 0, 5, 5); // nothing to draw on: no effect, no crash
  EXPECT_EQ(static_cast<uint32_t>(bmp.Pixel(0, 0)), 0xFFFFFFFFu);
}

TEST(GdiBlits, SourceCopyTakesOnlyWhatTheSourceHas) {
  Bitmap src(4, 4);
  src.Fill(clRed);
  Bitmap bmp(20, 20);
  bmp.DC().BitBlt(2, 3, 10, 10, src, -2, 0);
  EXPECT_EQ(InkOf(bmp).bounds, (Rect{4, 3, 8, 7}));
  EXPECT_EQ(test::CountColor(bmp, clRed), 16);
}

// Each named ternary operation, one to a row.
TEST(GdiBlits, CombineSourceDestinationAndBrush) {
  const std::pair<Rop3, uint32_t> cases[] = {
      // source F0, destination 3C, brush AA in every byte
      {Rop3::SrcCopy, 0xF0F0F0},     {Rop3::SrcPaint, 0xFCFCFC},  {Rop3::SrcAnd, 0x303030},
      {Rop3::SrcInvert, 0xCCCCCC},   {Rop3::SrcErase, 0xC0C0C0},  {Rop3::NotSrcCopy, 0x0F0F0F},
      {Rop3::NotSrcErase, 0x030303}, {Rop3::MergeCopy, 0xA0A0A0}, {Rop3::MergePaint, 0x3F3F3F},
      {Rop3::PatCopy, 0xAAAAAA},     {Rop3::PatInvert, 0x969696}, {Rop3::DstInvert, 0xC3C3C3},
      {Rop3::PatPaint, 0xBFBFBF},    {Rop3::Blackness, 0},        {Rop3::Whiteness, 0xFFFFFF}};
  Bitmap src(2, 1), bmp(3, 15);
  src.Fill(static_cast<TColor>(0xF0F0F0));
  bmp.Fill(static_cast<TColor>(0x3C3C3C));
  bmp.DC().SelectBrush(Brush::Solid(static_cast<TColor>(0xAAAAAA)));
  for (int i = 0; i < 15; ++i) {
    bmp.DC().BitBlt(0, i, 2, 1, src, 0, 0, cases[i].first);
    EXPECT_EQ(static_cast<uint32_t>(bmp.Pixel(1, i)), cases[i].second) << i;
    EXPECT_EQ(static_cast<uint32_t>(bmp.Pixel(2, i)), 0x3C3C3Cu);
  }
}

// A row whose pixel x has red x, so each copied pixel tells where it came from.
Bitmap Ramp(int n) {
  Bitmap b(n, 1);
  for (int x = 0; x < n; ++x)
    b.SetPixel(x, 0, RGBColor(x, 0, 0));
  return b;
}

std::string Reds(const Bitmap &b) {
  std::string s;
  for (int x = 0; x < b.Width(); ++x)
    s += char('0' + GetRValue(b.Pixel(x, 0)));
  return s;
}

// Each destination pixel takes the source pixel under its centre; a
// negative width of either rectangle mirrors; a bitmap copies onto itself as
// from a copy; the transparent colour is left out.
TEST(GdiBlits, TakeTheSourcePixelUnderEachCentre) {
  using Blit = void (*)(Bitmap &, const Bitmap &);
  // clang-format off
  const std::pair<Blit, const char *> cases[] = {
      {[](Bitmap &d, const Bitmap &s) { d.DC().StretchBlt({0, 0, 6, 1}, s, {0, 0, 3, 1}); }, "0011226789"},
      {[](Bitmap &d, const Bitmap &s) { d.DC().StretchBlt({4, 0, 0, 1}, s, {0, 0, 2, 1}); }, "1100456789"},
      {[](Bitmap &d, const Bitmap &s) { d.DC().StretchBlt({0, 0, 4, 1}, s, {2, 0, 0, 1}); }, "1100456789"},
      {[](Bitmap &d, const Bitmap &s) { d.DC().StretchBlt({0, 0, 3, 1}, s, {0, 0, 9, 1}); }, "1473456789"},
      {[](Bitmap &d, const Bitmap &) { d.DC().BitBlt(2, 0, 8, 1, d, 0, 0); }, "0101234567"},
      {[](Bitmap &d, const Bitmap &) { d.DC().StretchBlt({2, 0, 10, 1}, d, {0, 0, 4, 1}); }, "0100112233"},
      {[](Bitmap &d, const Bitmap &s) { d.DC().TransparentBlt({0, 0, 4, 1}, s, {4, 0, 8, 1}, RGBColor(6, 0, 0)); },
       "4527456789"},
  };
  // clang-format on
  const Bitmap src = Ramp(10);
  for (const auto &[blit, reds] : cases) {
    Bitmap dest = Ramp(10);
    blit(dest, src);
    EXPECT_EQ(Reds(dest), reds);
  }
  // Rows map as columns do.
  Bitmap square(2, 2), bmp(4, 4);
  square.SetPixel(1, 1, clRed);
  bmp.DC().StretchBlt({0, 4, 4, 0}, square, {0, 0, 2, 2});
  EXPECT_EQ(InkOf(bmp).bounds, (Rect{2, 0, 4, 2}));
  EXPECT_EQ(InkOf(bmp).count, 4);
}

// (S a + D (255 - a) + 127) div 255 per channel.
TEST(GdiBlits, AlphaBlendIsConstantPerChannel) {
  const struct {
    uint8_t alpha;
    TColor source, dest, expected;
  } cases[] = {{128, clBlack, clWhite, RGBColor(127, 127, 127)},
               {127, clBlack, clWhite, RGBColor(128, 128, 128)},
               {0, clBlack, clWhite, clWhite},
               {255, clBlack, clWhite, clBlack},
               {128, clRed, clGreen, RGBColor(128, 64, 0)},
               {64, RGBColor(200, 100, 50), RGBColor(10, 20, 30), RGBColor(58, 40, 35)}};
  for (const auto &c : cases) {
    Bitmap src(2, 2), bmp(2, 2);
    src.Fill(c.source);
    bmp.Fill(c.dest);
    bmp.DC().AlphaBlend({0, 0, 2, 2}, src, {0, 0, 2, 2}, c.alpha);
    EXPECT_EQ(bmp.Pixel(1, 1), c.expected) << int(c.alpha);
  }
}

// A monochrome pattern draws black in the text colour and white in the
// background colour, tiled from the surface origin.
TEST(GdiPatterns, MonochromePatternTakesTextAndBackgroundColours) {
  Bitmap pattern(8, 8);
  pattern.SetMonochrome(true);
  pattern.SetPixel(0, 0, clBlack);
  Bitmap bmp(24, 24);
  DeviceContext &dc = bmp.DC();
  dc.SetTextColor(clRed);
  dc.SetBkColor(clYellow);
  dc.SelectBrush(Brush::Pattern(pattern, true));
  dc.SelectPen(Pen::Null());
  dc.Rectangle(3, 3, 24, 24);
  EXPECT_EQ(bmp.Pixel(8, 8), clRed);
  EXPECT_EQ(bmp.Pixel(16, 16), clRed);
  EXPECT_EQ(test::CountColor(bmp, clRed), 4);
  EXPECT_EQ(test::CountColor(bmp, clYellow), 20 * 20 - 4);
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
  // The paint copies the surface and so answers the request.
  QImage screen(40, 30, QImage::Format_RGB32);
  auto paint = [&] {
    QPainter p(&screen);
    PaintSurface(p, surface, QRect(0, 0, 40, 30));
  };
  DeviceContext &dc = surface.DC();
  dc.SetRasterOp(RasterOp::Not);
  dc.Rectangle(5, 5, 20, 20); // feedback between paints
  dc.Rectangle(6, 6, 21, 21);
  EXPECT_EQ(asked, 1);
  paint();
  EXPECT_EQ(screen.pixel(5, 5) & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(screen.pixel(30, 25) & 0xFFFFFF, 0xFFFFFFu);
  dc.SetPixel(1, 1, clRed);
  EXPECT_EQ(asked, 2);
  paint();
  // Drawing during a paint event asks nothing; after it, drawing asks again.
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
  EXPECT_TRUE(r.left >= 10 && r.top >= 10 && r.right <= 23 && r.bottom <= 23);
  EXPECT_GT(test::CountColor(radio, clBlack), 8);
}

} // namespace
} // namespace gdi
