// Chart pens, brushes and fonts: defaults, change events, copying and the
// parts made on first read.
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
}

TEST(ChartPen, KindsAndStoredDefaults) {
  TChartHiddenPen hidden;
  EXPECT_FALSE(hidden.Visible());
  EXPECT_FALSE(hidden.IsVisibleStored());
  hidden.MakeVisible();
  EXPECT_TRUE(hidden.IsVisibleStored());
  TChartPen plain;
  EXPECT_FALSE(plain.IsVisibleStored());
  plain.SetEndStyle(TPenEndStyle::esFlat);
  EXPECT_TRUE(plain.IsEndStyleStored());
  TDottedGrayPen dotted;
  EXPECT_EQ(dotted.Color(), 0x808080);
  EXPECT_EQ(dotted.Style(), TPenStyle::psDot);
  EXPECT_EQ(TDarkGrayPen().Color(), 0x808080);
  EXPECT_EQ(TWhitePen().Color(), 0xFFFFFF);
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
  EXPECT_FALSE(b.Visible());
  EXPECT_TRUE(b.SmallDots());
  EXPECT_EQ(b.SmallSpace(), 3);
  EXPECT_EQ(b.EndStyle(), TPenEndStyle::esSquare);
  EXPECT_EQ(b.Color(), clRed);
  EXPECT_EQ(b.Width(), 4);
  EXPECT_EQ(b.Mode(), TPenMode::pmXor);
  EXPECT_EQ(b.Style(), TPenStyle::psDash);
  EXPECT_GT(changes, 0);
  changes = 0;
  b.Assign(a);
  EXPECT_EQ(changes, 0);
  // A plain pen gives only its pen settings.
  TPen plain;
  b.Assign(plain);
  EXPECT_FALSE(b.Visible());
  EXPECT_EQ(b.Color(), clBlack);
}

TEST(ChartBrush, DefaultsAndImageOnFirstRead) {
  int changes = 0;
  TChartBrush brush([&] { ++changes; });
  EXPECT_EQ(brush.Color(), clDefault);
  EXPECT_EQ(brush.BackColor(), clNone);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(brush.ExistingImage(), nullptr);
  brush.Image();
  EXPECT_NE(brush.ExistingImage(), nullptr);
  brush.SetImage(nullptr);
  EXPECT_EQ(brush.ExistingImage(), nullptr);
  EXPECT_GT(changes, 0);
}

TEST(ChartBrush, AssignCopiesImageAndBackColor) {
  TChartBrush a, b;
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
  TChartBrush empty;
  b.Assign(empty);
  EXPECT_EQ(b.ExistingImage(), nullptr);
}

TEST(UloFont, DefaultsAndStoredRules) {
  TUloFont font;
  EXPECT_EQ(font.Color(), clBlack);
  EXPECT_EQ(font.Charset(), 1);
  EXPECT_EQ(font.Name(), UloDefaultFontName());
  EXPECT_EQ(font.Size(), UloDefaultFontSize());
  EXPECT_FALSE(font.IsColorStored());
  EXPECT_FALSE(font.IsHeightStored());
  EXPECT_FALSE(font.IsNameStored());
  font.SetHeight(-16);
  EXPECT_EQ(font.Size(), 12);
  EXPECT_TRUE(font.IsHeightStored());
  EXPECT_EQ(TFont().Height(), -11);
}

TEST(UloFont, LazyPartsAreMadeOnlyWhenRead) {
  int changes = 0;
  TUloFont font([&] { ++changes; });
  EXPECT_EQ(font.ExistingShadow(), nullptr);
  EXPECT_EQ(font.ExistingGradient(), nullptr);
  EXPECT_EQ(font.ExistingOutLine(), nullptr);
  EXPECT_EQ(font.ExistingPicture(), nullptr);
  // Copying from a font that never read its parts creates none here.
  TUloFont other;
  font.Assign(other);
  EXPECT_EQ(font.ExistingShadow(), nullptr);
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
  ASSERT_NE(b.ExistingShadow(), nullptr);
  EXPECT_EQ(b.ExistingShadow()->VertSize(), -4);
  ASSERT_NE(b.ExistingGradient(), nullptr);
  EXPECT_TRUE(b.ExistingGradient()->Outline());
  ASSERT_NE(b.ExistingOutLine(), nullptr);
  EXPECT_TRUE(b.ExistingOutLine()->Visible());
  EXPECT_EQ(b.InterCharSize(), 3);
  EXPECT_TRUE(b.Style().Contains(TFontStyle::fsBold));
  EXPECT_EQ(b.ExistingPicture(), nullptr);
}

TEST(Gradient, MiddleColourReadsNoneWhenRemoved) {
  TCustomUloGradient g;
  EXPECT_EQ(g.MidColor(), clNone);
  g.SetMidColor(clRed);
  EXPECT_EQ(g.MidColor(), clRed);
  g.SetMidColor(clNone);
  EXPECT_EQ(g.MidColor(), clNone);
}

TEST(Shadow, SizesAndStoredDefaults) {
  TUloShadow s;
  s.InitColorAndSize(clGray, 3);
  EXPECT_FALSE(s.IsColorStored());
  EXPECT_FALSE(s.IsSizeStored());
  s.SetHorizSize(-5);
  EXPECT_EQ(s.MaxOffset(), 5);
  EXPECT_TRUE(s.IsSizeStored());
}

} // namespace

namespace {

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
