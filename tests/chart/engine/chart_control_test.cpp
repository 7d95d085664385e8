// The chart control besides the mouse: copying, the palette choice and its
// stored key, free series colours, the animated zoom's repaints, and the
// zoom rectangle shown between paints.
#include "chart_support.h"

#include "chart/engine/UloPalettes.h"
#include "platform/streaming/DefinitionReader.h"
#include "platform/streaming/DefinitionWriter.h"

#include <vector>

namespace {

using namespace chart_test;

class ChartControlTest : public WithChartUnits {};

TEST_F(ChartControlTest, StoredKeysRoundTripAssignCopiesAndDefaultsStoreNothing) {
  TChart c;
  c.SetName("Chart1");
  const std::string plain = streaming::WriteComponent(c);
  for (const char *part : {"Wall", "Title", "Foot", "Legend", "ScrollMouseButton", "ColorPaletteIndex"})
    EXPECT_EQ(plain.find(part), std::string::npos) << part << " in\n" << plain;
  c.Title().SetText({"Line one", "Line two"});
  c.Legend().SetAlignment(TLegendAlignment::laTop);
  c.Legend().SetCheckBoxes(true);
  c.BackWall().SetTransparent(false);
  c.LeftWall().SetColor(clRed);
  c.RightWall().SetVisible(true);
  c.SetColorPaletteIndex(3);
  c.SetScrollMouseButton(forms::TMouseButton::mbMiddle);
  // Assign copies into the owned parts and applies the palette.
  TChart copy;
  TChartTitle *title = &copy.Title();
  copy.Assign(c);
  EXPECT_EQ(&copy.Title(), title);
  EXPECT_EQ(copy.Title().Text(), c.Title().Text());
  const auto three = UloPaletteColors(3);
  EXPECT_EQ(copy.ColorPalette(), std::vector<TColor>(three.begin(), three.end()));
  const std::string text = streaming::WriteComponent(c);
  EXPECT_NE(text.find("ColorPaletteIndex = 3"), std::string::npos) << text;
  EXPECT_EQ(text.find("BottomWall.Color"), std::string::npos) << text;
  TChart back;
  streaming::ReadComponent(text, back);
  EXPECT_EQ(back.LeftWall().Color(), clRed);
  // Reading the index applies its palette.
  EXPECT_EQ(back.ColorPalette(), c.ColorPalette());
  back.SetName("Chart1");
  EXPECT_EQ(streaming::WriteComponent(back), text);
  // The frame's alias is read into the back wall's pen and written under it.
  streaming::ReadComponent("TChart Chart1 { Frame.Color = clRed }", back);
  EXPECT_EQ(back.BackWall().Pen().Color(), clRed);
  EXPECT_EQ(streaming::WriteComponent(back).find("Frame"), std::string::npos);
}

TEST_F(ChartControlTest, FreeSeriesColors) {
  TChart c;
  TDotSeries *a = AddLineOfDots(c, 2, clRed);
  TDotSeries *b = AddLineOfDots(c, 2, clBlue);
  EXPECT_FALSE(c.IsFreeSeriesColor(clRed, false, b));
  EXPECT_TRUE(c.IsFreeSeriesColor(clRed, false, a));
  EXPECT_TRUE(c.IsFreeSeriesColor(clGreen, false, nullptr));
  c.SetColor(clGreen);
  EXPECT_TRUE(c.IsFreeSeriesColor(clGreen, false, nullptr));
  EXPECT_FALSE(c.IsFreeSeriesColor(clGreen, true, nullptr));
  EXPECT_FALSE(c.IsFreeSeriesColor(0xC0C0C0, true, nullptr));
}

TEST_F(ChartControlTest, AnimatedZoomRepaintsAtEveryThirdOfTheWay) {
  TChart *c = ShownChart();
  c->SetView3D(false);
  AddLineOfDots(*c);
  c->Invalidate();
  Settle();
  c->Zoom().SetAnimated(true);
  std::vector<double> mins;
  c->OnAfterDraw = [&] { mins.push_back(c->BottomAxis()->Minimum()); };
  const double start = c->BottomAxis()->Minimum();
  c->ZoomToValues(2, 4, 2, 4, 3, 5, 3, 5);
  ASSERT_EQ(mins.size(), 7u);
  double expected = start;
  for (double m : mins) {
    expected += (3 - expected) / 3.0;
    EXPECT_DOUBLE_EQ(m, expected);
  }
  EXPECT_EQ(c->BottomAxis()->Minimum(), 3);
  c->Zoom().SetAnimatedSteps(0);
  mins.clear();
  c->ZoomToValues(2, 4, 2, 4, 3, 4, 3, 4);
  EXPECT_TRUE(mins.empty());
}

TEST_F(ChartControlTest, ZoomRectangleShowsBetweenPaintsAndGoesAgain) {
  TChart *c = ShownChart();
  c->SetView3D(false);
  c->Legend().SetVisible(false);
  AddLineOfDots(*c);
  c->Invalidate();
  Settle();
  int draws = 0;
  c->OnAfterDraw = [&] { ++draws; };
  const QImage before = W(*c)->grab().toImage();
  const TRect r = c->ChartRect;
  const int x0 = r.Left + 60, y0 = r.Top + 40;
  Press(*c, Qt::LeftButton, x0, y0);
  MoveTo(*c, x0 + 12, y0 + 12, Qt::LeftButton);
  Settle();
  const QImage during = W(*c)->grab().toImage();
  EXPECT_NE(during, before);
  // The left edge of the rectangle shows; its inside is untouched.
  EXPECT_NE(during.pixel(x0, y0 + 6), before.pixel(x0, y0 + 6));
  EXPECT_EQ(during.pixel(x0 + 6, y0 + 6), before.pixel(x0 + 6, y0 + 6));
  // A drag too short to zoom erases the rectangle and draws nothing again.
  Release(*c, Qt::LeftButton, x0 + 12, y0 + 12);
  Settle();
  EXPECT_EQ(W(*c)->grab().toImage(), before);
  EXPECT_EQ(draws, 0);
}

TEST_F(ChartControlTest, AResizedChartPaintsAgainAtItsNewSize) {
  TChart *c = ShownChart(400, 300);
  c->Legend().SetVisible(false);
  AddLineOfDots(*c);
  c->Invalidate();
  Settle();
  const TRect before = c->ChartRect;
  int draws = 0;
  c->OnAfterDraw = [&] { ++draws; };
  c->SetBounds(10, 10, 300, 200);
  Settle();
  EXPECT_EQ(draws, 1);
  EXPECT_EQ(c->PanelBounds, (TRect{0, 0, 300, 200}));
  EXPECT_LT(c->ChartRect.Right, before.Right);
}

} // namespace
