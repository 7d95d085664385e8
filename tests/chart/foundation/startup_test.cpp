#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloPens.h"
#include "chart/foundation/UloProCo.h"
#include "chart/foundation/UloProcs.h"
#include "chart/foundation/UloStartup.h"
#include "platform/forms/Cursors.h"
#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

namespace {

TEST(ChartFoundationStartUp, EveryUnitIsUpAfterStartAndDownAfterStop) {
  ASSERT_NO_THROW(StartChartFoundation()) << "the font settings read the texts, so those come first";
  EXPECT_EQ(UloMsgSeriesDelete, "Series Delete: ValueIndex %d out of bounds (0 to %d).");
  EXPECT_EQ(UloProToolRotate, "Rotate");
  EXPECT_EQ(UloDefaultFontSize(), 8);
  EXPECT_EQ(UloDefaultFontName(), "Arial");
  EXPECT_TRUE(forms::HasCursor(UloHandCursor));
  EXPECT_EQ(UloGetDefaultColor(0), clRed);
  EXPECT_EQ(UloExtractField("a;b", 2), "b");

  StopChartFoundation();
  EXPECT_TRUE(UloMsgSeriesDelete.empty());
  EXPECT_TRUE(UloProToolRotate.empty());
  EXPECT_FALSE(forms::HasCursor(UloHandCursor));
  EXPECT_TRUE(UloDefaultPalette.empty());

  // The program may start the charts again (a second window set in tests).
  ASSERT_NO_THROW(StartChartFoundation());
  EXPECT_EQ(UloProToolRotate, "Rotate");
  StopChartFoundation();
}

// The pixels of a 13 x 13 box drawn at (4, 5) on a 24 x 24 white bitmap, and
// whether anything outside it changed.
std::vector<TColor> CheckBoxPixels(bool isCheckBox, bool checked, bool &outsideTouched) {
  gdi::Bitmap bitmap(24, 24);
  UloDrawCheckBox(4, 5, bitmap.DC(), isCheckBox, checked);
  std::vector<TColor> inside;
  outsideTouched = false;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      const bool in = x >= 4 && x < 17 && y >= 5 && y < 18;
      if (in)
        inside.push_back(bitmap.Pixel(x, y));
      else if (bitmap.Pixel(x, y) != clWhite)
        outsideTouched = true;
    }
  return inside;
}

TEST(CheckBox, FourLooksInsideTheirBox) {
  bool outside = false;
  const auto box = CheckBoxPixels(true, false, outside);
  EXPECT_FALSE(outside);
  const auto boxChecked = CheckBoxPixels(true, true, outside);
  EXPECT_FALSE(outside);
  const auto radio = CheckBoxPixels(false, false, outside);
  EXPECT_FALSE(outside);
  const auto radioChecked = CheckBoxPixels(false, true, outside);
  EXPECT_FALSE(outside);
  EXPECT_NE(box, std::vector<TColor>(box.size(), clWhite)) << "something is drawn";
  EXPECT_NE(box, boxChecked);
  EXPECT_NE(radio, radioChecked);
  EXPECT_NE(box, radio);
}

} // namespace
