// Gradient painting: rows and columns against the band formulas, the
// directions' geometry, and rectangles too small to divide.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "chart/foundation/TestSurface.h"

namespace {

// A flat canvas over a white W x H image.
struct Flat : foundation_test::Surface<> {
  Flat(int w, int h) : Surface(w, h, false) {}
};

// Band I of Count over an extent E covers E - next .. E - prev from the
// top or left edge, next = (I + 1) * E div Count.
int BandAt(int pos, int extent) {
  const int count = std::min(extent, 256);
  for (int i = 0, prev = 0; i < count; ++i) {
    const int next = (i + 1) * extent / count;
    if (pos >= extent - next && pos < extent - prev) return i;
    prev = next;
  }
  return -1;
}

int Channel(int c0, int c1, int i, int n, int balance) {
  if (balance == 50) return c0 + (c1 - c0) * i / n;
  const double f = std::pow((1.0 + i) / (1.0 + n), 0.5 + 0.015 * balance);
  return c0 + static_cast<int>(std::nearbyint((c1 - c0) * f));
}

TColor Expected(TColor first, TColor second, int i, int n, int balance) {
  return RGBColor(Channel(GetRValue(first), GetRValue(second), i, n, balance),
                  Channel(GetGValue(first), GetGValue(second), i, n, balance),
                  Channel(GetBValue(first), GetBValue(second), i, n, balance));
}

struct BandCase {
  const char *name;
  TGradientDirection direction;
  int width, height, balance;
  TColor start, end;
};

class Bands : public ::testing::TestWithParam<BandCase> {};

TEST_P(Bands, RowsFollowTheFormula) {
  const BandCase &c = GetParam();
  Flat f(c.width + 4, c.height + 4);
  f.canvas.FillGradient(TRect{2, 2, 2 + c.width, 2 + c.height}, c.start, c.end, c.direction, c.balance);
  const bool vertical =
      c.direction == TGradientDirection::gdTopBottom || c.direction == TGradientDirection::gdBottomTop;
  const bool exchanged =
      c.direction == TGradientDirection::gdBottomTop || c.direction == TGradientDirection::gdRightLeft;
  const TColor first = exchanged ? c.end : c.start, second = exchanged ? c.start : c.end;
  const int extent = vertical ? c.height : c.width;
  const int n = std::min(extent, 256) - 1;
  for (int pos = 0; pos < extent; ++pos) {
    const TColor want = Expected(first, second, BandAt(pos, extent), n, c.balance);
    const TColor got = vertical ? f.At(2 + c.width / 2, 2 + pos) : f.At(2 + pos, 2 + c.height / 2);
    ASSERT_EQ(got, want) << c.name << " at " << pos;
  }
  // Across the gradient every band is one colour, and nothing spills.
  for (int k = 0; k < (vertical ? c.width : c.height); ++k)
    ASSERT_EQ(vertical ? f.At(2 + k, 2) : f.At(2, 2 + k), f.At(2, 2)) << c.name;
  EXPECT_EQ(f.At(1, 1), clWhite);
  EXPECT_EQ(f.At(2 + c.width, 2 + c.height), clWhite);
}

// A falling channel divides toward zero: 255 - 255 * 1 div 99 is 253, not 252.
INSTANTIATE_TEST_SUITE_P(
    Gradient, Bands,
    ::testing::Values(BandCase{"TopBottomFalling", TGradientDirection::gdTopBottom, 6, 100, 50, clWhite, clBlack},
                      BandCase{"BottomTop600", TGradientDirection::gdBottomTop, 5, 600, 50, 0x2040F0, 0xF04020},
                      BandCase{"LeftRightBalance0", TGradientDirection::gdLeftRight, 300, 4, 0, clRed, clBlue},
                      BandCase{"RightLeftBalance80", TGradientDirection::gdRightLeft, 50, 4, 80, clBlack, clYellow}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Gradient, EmptyAndOnePixelRectanglesPaintNothing) {
  const TRect rects[] = {{5, 5, 5, 5}, {5, 5, 6, 6}, {7, 7, 7, 20}, {3, 9, 30, 9}};
  for (int d = 0; d <= static_cast<int>(TGradientDirection::gdDiagonalDown); ++d)
    for (const TRect &r : rects) {
      Flat f(40, 40);
      f.canvas.FillGradient(r, clRed, clBlue, static_cast<TGradientDirection>(d), 50);
      f.canvas.FillGradient(r, clRed, clBlue, static_cast<TGradientDirection>(d), 10);
      EXPECT_TRUE(f.AllWhite()) << "direction " << d << " rect " << r.Left << "," << r.Top << "," << r.Right << ","
                                << r.Bottom;
    }
  // One row high: a single band has no second colour to run to.
  Flat f(40, 40);
  f.canvas.FillGradient(TRect{5, 5, 35, 6}, clRed, clBlue, TGradientDirection::gdTopBottom);
  EXPECT_TRUE(f.AllWhite());
}

// Below a balance of about -33 the power curve's exponent turns negative:
// every band lies past the second colour, and must stop there rather than
// wrap into other colours.
TEST(Gradient, NegativeBalanceStopsAtTheSecondColour) {
  Flat f(104, 4);
  f.canvas.FillGradient(TRect{2, 0, 102, 4}, 0x204080, 0x10F020, TGradientDirection::gdLeftRight, -100);
  for (int x = 2; x < 102; ++x)
    ASSERT_EQ(f.At(x, 2), 0x10F020) << x;
}

TEST(Gradient, MiddleColourMeetsAtTheMiddle) {
  TCustomUloGradient g;
  g.SetStartColor(clRed);
  g.SetMidColor(clLime);
  g.SetEndColor(clBlue);
  for (auto dir : {TGradientDirection::gdTopBottom, TGradientDirection::gdBottomTop}) {
    Flat f(4, 100);
    g.SetDirection(dir);
    g.PaintRect(f.canvas, TRect{0, 0, 4, 100});
    const bool down = dir == TGradientDirection::gdTopBottom;
    EXPECT_EQ(f.At(0, 0), down ? clBlue : clRed);
    EXPECT_EQ(f.At(0, 99), down ? clRed : clBlue);
    EXPECT_EQ(f.At(0, down ? 49 : 50), clLime);
  }
  Flat f(100, 4);
  g.SetDirection(TGradientDirection::gdLeftRight);
  g.PaintRect(f.canvas, TRect{0, 0, 100, 4});
  EXPECT_EQ(f.At(0, 0), clBlue);
  EXPECT_EQ(f.At(99, 0), clRed);
  EXPECT_EQ(f.At(50, 0), clLime);
  EXPECT_EQ((g.SetMidColor(clNone), g.MidColor()), clNone);
}

TEST(Gradient, RadialCentreIsOnePixelPastTheMiddle) {
  for (int radialX : {0, 5}) {
    Flat f(40, 40);
    f.canvas.FillGradient(TRect{0, 0, 40, 40}, clRed, clBlue, TGradientDirection::gdRadial, 50, radialX, 0);
    EXPECT_EQ(f.At(21 + radialX, 21), clRed);
    EXPECT_EQ(f.At(0, 0), clBlue);
    EXPECT_EQ(f.At(39, 39), clBlue);
    // Colour falls off with the distance from the centre.
    EXPECT_GT(GetBValue(f.At(21 + radialX, 5)), GetBValue(f.At(21 + radialX, 15)));
  }
}

TEST(Gradient, DiagonalLinesTakeTheirColourByIndex) {
  const int w = 30, h = 20, lines = w + h, n = lines - 1;
  for (auto dir : {TGradientDirection::gdDiagonalUp, TGradientDirection::gdDiagonalDown}) {
    Flat f(w, h);
    f.canvas.Pen().SetWidth(3);
    f.canvas.FillGradient(TRect{0, 0, w, h}, clBlack, clWhite, dir, 50);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int k = (dir == TGradientDirection::gdDiagonalUp ? x : w - 1 - x) + y;
        const int v = 255 * (n * k / lines) / n;
        ASSERT_EQ(f.At(x, y), RGBColor(v, v, v)) << x << "," << y;
      }
    // The caller's pen is as it was.
    EXPECT_EQ(f.canvas.Pen().Width(), 3);
  }
}

TEST(Gradient, CornerAndCentreDirectionsStartWhereTheyAreNamed) {
  struct Case {
    TGradientDirection dir;
    TPoint startAt, endAt;
  };
  const Case cases[] = {{TGradientDirection::gdFromTopLeft, {0, 0}, {59, 39}},
                        {TGradientDirection::gdFromBottomLeft, {0, 39}, {59, 0}},
                        {TGradientDirection::gdFromCenter, {30, 20}, {0, 0}}};
  for (const Case &c : cases) {
    Flat f(60, 40);
    f.canvas.FillGradient(TRect{0, 0, 60, 40}, clRed, clBlue, c.dir, 50);
    // The corner bands are slivers: the corner pixel may fall in the next.
    const TColor start = f.At(c.startAt.X, c.startAt.Y), end = f.At(c.endAt.X, c.endAt.Y);
    EXPECT_TRUE(GetRValue(start) >= 248 && GetBValue(start) <= 7) << std::hex << start;
    EXPECT_TRUE(GetBValue(end) >= 248 && GetRValue(end) <= 7) << std::hex << end;
    // No pixel is left unpainted.
    EXPECT_EQ(f.Count(clWhite), 0);
  }
}

TEST(Gradient, MonochromeCanvasPaintsGrey) {
  Flat f(4, 30);
  f.canvas.SetMonochrome(true);
  f.canvas.FillGradient(TRect{0, 0, 4, 30}, clRed, 0x00FF80, TGradientDirection::gdTopBottom);
  EXPECT_EQ(f.At(0, 29), RGBColor(85, 85, 85));
  EXPECT_EQ(f.At(0, 0), RGBColor(127, 127, 127));
  for (int y = 0; y < 30; ++y) {
    const TColor c = f.At(0, y);
    ASSERT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c)) << y;
  }
}

TEST(Gradient, TurnedQuarterWayIsTheSidewaysGradient) {
  Flat turned(60, 40), sideways(60, 40);
  TCustomUloGradient g;
  g.SetStartColor(clRed);
  g.SetEndColor(clBlue);
  g.SetAngle(90);
  g.PaintRect(turned.canvas, TRect{0, 0, 60, 40});
  sideways.canvas.FillGradient(TRect{0, 0, 60, 40}, clRed, clBlue, TGradientDirection::gdLeftRight);
  EXPECT_EQ(foundation_test::Pixels(turned.image), foundation_test::Pixels(sideways.image));
}

TEST(Gradient, RoundedCornersStayOutsideAndTheClipIsRemoved) {
  Flat f(120, 120);
  TUloGradient g;
  g.PaintRect(f.canvas, TRect{10, 10, 110, 110}, 30);
  EXPECT_EQ(f.At(10, 10), clWhite);
  EXPECT_EQ(f.At(109, 109), clWhite);
  EXPECT_NE(f.At(60, 60), clWhite);
  f.canvas.Brush().SetColor(clRed);
  f.canvas.FillRect(TRect{0, 0, 5, 5});
  EXPECT_EQ(f.At(0, 0), clRed);
}

TEST(Gradient, SubGradientShowsTheMainOneThroughItsTransparency) {
  for (auto [transparency, want] : {std::pair{50, TColor{0x80007F}}, {0, clBlue}, {100, clRed}, {150, clRed}}) {
    Flat f(20, 20);
    TUloGradient g;
    g.SetStartColor(clRed);
    g.SetEndColor(clRed);
    TSubGradient &sub = g.SubGradient();
    sub.SetStartColor(clBlue);
    sub.SetEndColor(clBlue);
    sub.SetVisible(true);
    sub.SetTransparency(transparency);
    g.PaintRect(f.canvas, TRect{0, 0, 20, 20});
    EXPECT_EQ(f.At(10, 10), want) << transparency;
  }
}

TEST(Gradient, AssignMakesTheSubGradientMatch) {
  int changes = 0;
  TUloGradient a([&] { ++changes; });
  TUloGradient b;
  b.SubGradient().SetTransparency(20);
  b.SubGradient().SetVisible(true);
  a.Assign(b);
  ASSERT_NE(a.ExistingSubGradient(), nullptr);
  EXPECT_EQ(a.SubGradient().Transparency(), 20);
  EXPECT_TRUE(a.SubGradient().Visible());
  const int before = changes;
  a.Assign(b);
  EXPECT_EQ(changes, before);
  TUloGradient plain;
  a.Assign(plain);
  EXPECT_EQ(a.ExistingSubGradient(), nullptr);
}

} // namespace
