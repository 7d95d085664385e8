// Text: where it stands for each alignment, what it measures, and that it
// renders the same everywhere (named faces, no antialiasing).
#include "GdiTestUtil.h"

#include <gtest/gtest.h>

namespace gdi {
namespace {

using test::InkOf;

Font Face(const char *face, int32_t height = -13) {
  Font f;
  f.Face = face;
  f.Height = height;
  return f;
}

// Extents add up per character (no kerning), plus the extra spacing. A
// negative height is the em height, a positive one the cell height.
TEST(GdiText, Metrics) {
  EXPECT_EQ(FontHeightFromPoints(8), -11);
  EXPECT_EQ(FontHeightFromPoints(10), -13);
  EXPECT_EQ(FontHeightFromPoints(12), -16);
  EXPECT_EQ(FontPointsFromHeight(-11), 8);
  EXPECT_EQ(FontPointsFromHeight(16), 12);
  Bitmap bmp(10, 10);
  DeviceContext &dc = bmp.DC();
  dc.SelectFont(Face("Arial", -20));
  const Size av = dc.TextExtent("AV"), a = dc.TextExtent("A"), v = dc.TextExtent("V");
  EXPECT_EQ(av.cx, a.cx + v.cx);
  const TextMetrics tm = dc.GetTextMetrics();
  EXPECT_EQ(av.cy, tm.Height);
  EXPECT_EQ(tm.Height, tm.Ascent + tm.Descent);
  EXPECT_GT(tm.Height, 20);
  EXPECT_EQ(tm.InternalLeading, tm.Height - 20);
  dc.SetTextCharacterExtra(3);
  EXPECT_EQ(dc.TextExtent("AV").cx, av.cx + 6);
  EXPECT_EQ(dc.TextExtent("").cx, 0);
  // Widths are kept per font: none of them may answer for another.
  dc.SetTextCharacterExtra(0);
  EXPECT_EQ(dc.TextExtent("AV").cx, av.cx);
  Font bold = Face("Arial", -20);
  bold.Weight = 700;
  dc.SelectFont(bold);
  const int boldWidth = dc.TextExtent("rtrt").cx;
  dc.SelectFont(Face("Arial", -20));
  EXPECT_GT(boldWidth, dc.TextExtent("rtrt").cx);
  for (int h : {10, 13, 16, 24, 40}) {
    dc.SelectFont(Face("Arial", h));
    EXPECT_NEAR(dc.GetTextMetrics().Height, h, 1) << h;
  }
}

// The Windows faces map onto metric-compatible installed ones.
TEST(GdiText, FacesMapOntoInstalledMetricCompatibleOnes) {
  Bitmap bmp(10, 10);
  DeviceContext &dc = bmp.DC();
  const std::pair<const char *, const char *> same[] = {
      {"Arial", "Liberation Sans"},       {"Times New Roman", "Liberation Serif"},
      {"Courier New", "Liberation Mono"}, {"MS Sans Serif", "Liberation Sans"},
      {"Verdana", "DejaVu Sans"},         {"No Such Face At All", "DejaVu Sans"}};
  for (const auto &[asked, installed] : same) {
    dc.SelectFont(Face(asked));
    const Size a = dc.TextExtent("The quick brown fox 0123456789");
    dc.SelectFont(Face(installed));
    const Size b = dc.TextExtent("The quick brown fox 0123456789");
    EXPECT_EQ(a, b) << asked;
  }
  dc.SelectFont(Face("Courier New"));
  EXPECT_EQ(dc.TextExtent("iiii").cx, dc.TextExtent("WWWW").cx); // really the monospaced face
}

// Glyphs take the text colour alone: no antialiasing, and in transparent
// mode no background.
TEST(GdiText, TransparentGlyphsHaveOnlyTheTextColour) {
  Bitmap bmp(200, 40);
  bmp.Fill(clAqua);
  DeviceContext &dc = bmp.DC();
  dc.SelectFont(Face("Arial", -15));
  dc.SetBkMode(BkMode::Transparent);
  dc.SetTextColor(clRed);
  dc.TextOut(2, 2, "управление догоняющего");
  EXPECT_GT(test::CountColor(bmp, clRed), 100);
  EXPECT_EQ(test::CountColor(bmp, clRed) + test::CountColor(bmp, clAqua), 200 * 40);
}

struct AlignCase {
  const char *name;
  uint32_t align;
  // Where the cell starts relative to the reference point, before any turn,
  // in units of the text width w, ascent a and descent d.
  int left; // 0: x, -1: x - w, -2: x - w / 2
  int top;  // 0: y, -1: y - a, -2: y - a - d
  int32_t escapement = 0;
};

class Alignment : public ::testing::TestWithParam<AlignCase> {};

// The opaque cell is exactly the extent, turned counter-clockwise about the
// reference point by the escapement; the glyphs lie within it.
TEST_P(Alignment, PlacesTheCellAroundTheReferencePoint) {
  const AlignCase &c = GetParam();
  Bitmap bmp(200, 100);
  DeviceContext &dc = bmp.DC();
  Font f = Face("Arial", -16);
  f.Escapement = c.escapement;
  dc.SelectFont(f);
  dc.SetBkColor(clYellow);
  dc.SetTextAlign(c.align);
  const Size ext = dc.TextExtent("Wag");
  const TextMetrics tm = dc.GetTextMetrics();
  dc.TextOut(100, 50, "Wag");
  const int w = ext.cx, h = ext.cy;
  const int l = c.left == 0 ? 0 : c.left == -1 ? -w : -(w / 2);
  const int t = c.top == 0 ? 0 : c.top == -1 ? -tm.Ascent : -h;
  const Rect cell = c.escapement == 0 ? Rect{100 + l, 50 + t, 100 + l + w, 50 + t + h}
                                      : Rect{100 + t, 50 - l - w, 100 + t + h, 50 - l};
  EXPECT_EQ(InkOf(bmp).bounds, cell);
  EXPECT_EQ(InkOf(bmp).count, w * h);
  EXPECT_GT(test::CountColor(bmp, clBlack), 30);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Gdi, Alignment, ::testing::ValuesIn(std::vector<AlignCase>{
    {"LeftTop", kAlignLeft | kAlignTop, 0, 0}, {"RightTop", kAlignRight | kAlignTop, -1, 0},
    {"CenterTop", kAlignCenter | kAlignTop, -2, 0}, {"LeftBaseline", kAlignLeft | kAlignBaseline, 0, -1},
    {"CenterBaseline", kAlignCenter | kAlignBaseline, -2, -1}, {"RightBottom", kAlignRight | kAlignBottom, -1, -2},
    {"CenterBottom", kAlignCenter | kAlignBottom, -2, -2},
    {"LeftTopTurned", kAlignLeft | kAlignTop, 0, 0, 900},
    {"CenterBaselineTurned", kAlignCenter | kAlignBaseline, -2, -1, 900}}), test::ByName);
// clang-format on

TEST(GdiText, ExtTextOutFillsAndClipsToItsRectangle) {
  Bitmap bmp(100, 40);
  DeviceContext &dc = bmp.DC();
  dc.SetBkMode(BkMode::Transparent);
  dc.SetBkColor(clYellow);
  const Rect r{10, 5, 30, 25};
  dc.ExtTextOut(12, 8, kTextOpaque | kTextClipped, &r, "WWWWWWWWWW");
  EXPECT_EQ(InkOf(bmp).bounds, r);
  EXPECT_GT(test::CountColor(bmp, clBlack), 10);
  EXPECT_EQ(test::CountColor(bmp, clBlack) + test::CountColor(bmp, clYellow), 20 * 20);
}

// Text recorded into a path and filled covers about what drawing it covers.
TEST(GdiText, TextIntoAPath) {
  Bitmap drawn(120, 40), filled(120, 40);
  for (Bitmap *b : {&drawn, &filled})
    b->DC().SelectFont(Face("Arial", -24));
  drawn.DC().SetBkMode(BkMode::Transparent);
  drawn.DC().TextOut(5, 5, "Path");
  DeviceContext &dc = filled.DC();
  dc.BeginPath();
  dc.TextOut(5, 5, "Path");
  dc.EndPath();
  EXPECT_FALSE(dc.InPath());
  dc.SelectBrush(Brush::Solid(clBlack));
  dc.FillPath();
  const test::Ink a = InkOf(drawn), b = InkOf(filled);
  for (auto side : {&Rect::left, &Rect::top, &Rect::right, &Rect::bottom})
    EXPECT_NEAR(b.bounds.*side, a.bounds.*side, 2);
  EXPECT_NEAR(b.count, a.count, a.count / 4);
}

} // namespace
} // namespace gdi
