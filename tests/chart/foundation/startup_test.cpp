#include "chart/foundation/TestSurface.h"
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

TEST(CheckBox, FourLooksInsideTheirBox) {
  // A 13 x 13 box drawn at (4, 5) on a 24 x 24 white bitmap.
  const TRect box{4, 5, 17, 18};
  std::vector<std::vector<TColor>> looks;
  for (bool isCheckBox : {true, false})
    for (bool checked : {false, true}) {
      gdi::Bitmap bitmap(24, 24);
      UloDrawCheckBox(box.Left, box.Top, bitmap.DC(), isCheckBox, checked);
      EXPECT_EQ(foundation_test::CountOf(bitmap, clWhite, {0, 0, 24, 24}) -
                    foundation_test::CountOf(bitmap, clWhite, box),
                24 * 24 - 13 * 13)
          << "drawn outside its box";
      EXPECT_LT(foundation_test::CountOf(bitmap, clWhite, box), 13 * 13);
      std::vector<TColor> inside;
      for (int y = box.Top; y < box.Bottom; ++y)
        for (int x = box.Left; x < box.Right; ++x)
          inside.push_back(bitmap.Pixel(x, y));
      looks.push_back(inside);
    }
  // Box, checked box, radio, checked radio: all differ.
  EXPECT_NE(looks[0], looks[1]);
  EXPECT_NE(looks[2], looks[3]);
  EXPECT_NE(looks[0], looks[2]);
}

} // namespace
