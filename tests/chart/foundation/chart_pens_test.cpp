// Chart pens, brushes and fonts: change events, copying and the parts made
// on first read.
#include <gtest/gtest.h>

#include "chart/foundation/UloGradient.h"
#include "chart/foundation/UloPens.h"
#include "chart/foundation/UloPicture.h"
#include "chart/foundation/UloShadow.h"
#include "platform/rtl/Exceptions.h"

namespace {

TEST(ColorShading, DarkenAndLightenPerChannel) {
  const struct {
    TColor color;
    int amount;
    TColor dark, light;
  } cases[] = {
      {0x808080, 128, 0x000000, 0xFFFFFF}, {0xF0F0F0, 32, 0xD0D0D0, 0xFFFFFF}, {0x817F80, 128, 0x010000, 0xFFFFFF},
      {0x102030, 16, 0x001020, 0x203040},  {0x0000FF, 0, 0x0000FF, 0x0000FF},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(DarkenColor(c.color, c.amount), c.dark) << std::hex << c.color;
    EXPECT_EQ(LightenColor(c.color, c.amount), c.light) << std::hex << c.color;
  }
  // System colours are resolved before any arithmetic.
  EXPECT_EQ(DarkenColor(clBtnFace, 0), ColorToRGB(clBtnFace));
  EXPECT_EQ(LightenColor(clBtnShadow, 1), LightenColor(ColorToRGB(clBtnShadow), 1));
}

TEST(ChartPen, SettersSignalOnlyRealChanges) {
  int changes = 0;
  TChartPen pen([&] { ++changes; });
  pen.SetWidth(1);
  pen.SetVisible(true);
  pen.SetEndStyle(TPenEndStyle::esRound);
  pen.SetSmallDots(false);
  EXPECT_EQ(changes, 0);
  pen.SetWidth(3);
  pen.SetSmallSpace(2);
  pen.MakeInvisible();
  pen.MakeInvisible();
  EXPECT_EQ(changes, 3);
  // Making a pen of a kind with its own defaults asks its owner for nothing.
  changes = 0;
  TDottedGrayPen dotted([&] { ++changes; });
  TDarkGrayPen dark([&] { ++changes; });
  TWhitePen white([&] { ++changes; });
  EXPECT_EQ(changes, 0);
  EXPECT_TRUE(dotted.Color() == 0x808080 && dotted.Style() == TPenStyle::psDot && white.Color() == 0xFFFFFF);
}

TEST(ChartPen, AssignCopiesChartAndPenSettings) {
  TChartPen a, b;
  a.SetVisible(false);
  a.SetSmallDots(true);
  a.SetSmallSpace(3);
  a.SetEndStyle(TPenEndStyle::esSquare);
  a.SetColor(clRed);
  a.SetWidth(4);
  a.SetMode(TPenMode::pmXor);
  a.SetStyle(TPenStyle::psDash);
  int changes = 0;
  b.OnChange = [&] { ++changes; };
  b.Assign(a);
  EXPECT_TRUE(!b.Visible() && b.SmallDots() && b.SmallSpace() == 3 && b.EndStyle() == TPenEndStyle::esSquare);
  EXPECT_TRUE(b.Color() == clRed && b.Width() == 4 && b.Mode() == TPenMode::pmXor && b.Style() == TPenStyle::psDash);
  EXPECT_GT(changes, 0);
  changes = 0;
  b.Assign(a);
  EXPECT_EQ(changes, 0);
  // A plain pen gives only its pen settings.
  b.Assign(TPen());
  EXPECT_FALSE(b.Visible());
  EXPECT_EQ(b.Color(), clBlack);
}

TEST(ChartBrush, ImageMadeOnFirstReadAndCopiedDeep) {
  int changes = 0;
  TChartBrush a([&] { ++changes; }), b;
  EXPECT_EQ(a.ExistingImage(), nullptr);
  gdi::Bitmap bitmap(2, 2);
  a.Image().SetGraphic(&bitmap);
  a.SetBackColor(clYellow);
  a.SetStyle(TBrushStyle::bsCross);
  b.Assign(a);
  ASSERT_NE(b.ExistingImage(), nullptr);
  ASSERT_NE(b.ExistingImage()->Graphic(), nullptr);
  EXPECT_NE(b.ExistingImage()->Graphic(), a.ExistingImage()->Graphic());
  EXPECT_EQ(b.BackColor(), clYellow);
  EXPECT_EQ(b.Style(), TBrushStyle::bsCross);
  b.Assign(TChartBrush());
  EXPECT_EQ(b.ExistingImage(), nullptr);
  changes = 0;
  a.SetImage(nullptr);
  EXPECT_EQ(a.ExistingImage(), nullptr);
  EXPECT_GT(changes, 0);
}

TEST(UloFont, HeightGivesTheSize) {
  TUloFont font;
  EXPECT_FALSE(font.IsHeightStored());
  font.SetHeight(-16);
  EXPECT_EQ(font.Size(), 12);
  EXPECT_TRUE(font.IsHeightStored());
  EXPECT_EQ(TFont().Height(), -11);
}

TEST(UloFont, LazyPartsAreMadeOnlyWhenRead) {
  int changes = 0;
  TUloFont font([&] { ++changes; });
  // Copying from a font that never read its parts creates none here.
  font.Assign(TUloFont());
  EXPECT_EQ(font.ExistingShadow(), nullptr);
  EXPECT_EQ(font.ExistingGradient(), nullptr);
  EXPECT_EQ(font.ExistingOutLine(), nullptr);
  EXPECT_EQ(font.ExistingPicture(), nullptr);
  font.Shadow().SetHorizSize(3);
  EXPECT_NE(font.ExistingShadow(), nullptr);
  EXPECT_FALSE(font.OutLine().Visible());
  EXPECT_EQ(changes, 1);
  font.SetInterCharSize(2);
  EXPECT_EQ(changes, 2);
  font.SetShadow(nullptr);
  EXPECT_EQ(font.ExistingShadow(), nullptr);
  EXPECT_EQ(changes, 3);
}

TEST(UloFont, AssignCopiesTheParts) {
  TUloFont a, b;
  a.Shadow().SetVertSize(-4);
  a.Gradient().SetOutline(true);
  a.OutLine().MakeVisible();
  a.SetInterCharSize(3);
  a.SetStyle(TFontStyle::fsBold);
  b.Assign(a);
  ASSERT_TRUE(b.ExistingShadow() && b.ExistingGradient() && b.ExistingOutLine());
  EXPECT_EQ(b.ExistingShadow()->VertSize(), -4);
  EXPECT_TRUE(b.ExistingGradient()->Outline());
  EXPECT_TRUE(b.ExistingOutLine()->Visible());
  EXPECT_EQ(b.InterCharSize(), 3);
  EXPECT_TRUE(b.Style().Contains(TFontStyle::fsBold));
  EXPECT_EQ(b.ExistingPicture(), nullptr);
}

TEST(DefaultFont, ComesFromTheLibraryTexts) {
  LoadDefaultFontSettings("10", "Tahoma");
  EXPECT_EQ(UloDefaultFontSize(), 10);
  EXPECT_EQ(TUloFont().Name(), "Tahoma");
  LoadDefaultFontSettings("", "");
  EXPECT_EQ(UloDefaultFontSize(), 10);
  EXPECT_THROW(LoadDefaultFontSettings("eight", "Arial"), rtl::EConvertError);
  LoadDefaultFontSettings("8", "Arial");
  EXPECT_EQ(TUloFont().Size(), 8);
}

} // namespace
