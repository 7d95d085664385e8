// The built-in palettes and what installing one does to a chart's series.
#include "stored_support.h"

#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloPalettes.h"
#include "chart/foundation/UloProcs.h"

namespace {

using namespace store_test;

class Palettes : public WithChartEngine {
protected:
  static std::vector<TPlainSeries *> AddSeries(TChart &chart, int count) {
    std::vector<TPlainSeries *> r;
    for (int i = 0; i < count; ++i)
      r.push_back(chart.AddSeries(std::make_unique<TPlainSeries>()));
    return r;
  }
};

TEST_F(Palettes, SixteenNamesInIndexOrder) {
  ASSERT_NE(UloColorPalettes(), nullptr);
  const std::vector<std::string> names{"Ulovenda",   "Excel",  "Victorian", "Pastels", "Solid",  "Classic",
                                       "Web",        "Modern", "Rainbow",   "Win. XP", "Mac OS", "Win. Vista",
                                       "Gray scale", "Opera",  "Warm",      "Cool"};
  std::vector<std::string> got;
  for (int i = 0; i < UloColorPalettes()->Count(); ++i)
    got.push_back(UloColorPalettes()->Strings(i));
  EXPECT_EQ(got, names);
  EXPECT_EQ(UloColorPalettes()->IndexOf("Solid"), 4);
}

TEST_F(Palettes, TablesHoldTheirColoursDuplicatesIncluded) {
  struct Case {
    int index;
    size_t count;
    TColor first, last;
  };
  for (const Case &c : std::vector<Case>{{0, 0, 0, 0},
                                         {1, 22, 0xFF9999, 0xCC99FF},
                                         {2, 11, 0xA1A55D, 0x846401},
                                         {3, 14, 0xFFFFCC, 0xCCFFCC},
                                         {4, 8, 0xFF0000, 0xFFFFFF},
                                         {5, 12, 0xFF0000, 0x008080},
                                         {6, 9, 0x00A5FF, 0x408080},
                                         {7, 14, 0x6699FF, 0xFFCCCC},
                                         {8, 25, 0x000099, 0xFF00CC},
                                         {9, 13, 0xFE9B82, 0x7B715F},
                                         {10, 16, 0xFFFFFF, 0x000000},
                                         {11, 15, 0xD21F00, 0xD99596},
                                         {12, 15, 0xF0F0F0, 0x101010},
                                         {13, 12, 0xA36644, 0xB4B4B4},
                                         {14, 8, 0x8DEAF3, 0x0E08B3},
                                         {15, 8, 0x6B402B, 0x637B1D}}) {
    auto t = UloPaletteColors(c.index);
    ASSERT_EQ(t.size(), c.count) << c.index;
    if (c.count == 0) continue;
    EXPECT_EQ(t.front(), c.first) << c.index;
    EXPECT_EQ(t.back(), c.last) << c.index;
  }
  EXPECT_TRUE(UloPaletteColors(16).empty());
  EXPECT_TRUE(UloPaletteColors(-1).empty());
  auto excel = UloPaletteColors(1);
  EXPECT_EQ(excel[3], excel[17]);
  EXPECT_EQ(excel[10], excel[19]);
  auto gray = UloPaletteColors(12);
  for (size_t i = 1; i < gray.size(); ++i)
    EXPECT_EQ(gray[i - 1] - gray[i], 0x101010);
  EXPECT_EQ(UloRainbowPalette().data(), UloPaletteColors(8).data());
}

TEST_F(Palettes, SolidGivesTheFirstEightSeriesItsColoursInOrder) {
  TChart chart;
  auto series = AddSeries(chart, 10);
  // Before: the default colours, so series 4 holds blue, Solid's first.
  EXPECT_EQ(series[0]->SeriesColor(), UloGetDefaultColor(0));
  chart.SetColorPaletteIndex(4);
  EXPECT_EQ(chart.ColorPaletteIndex(), 4);
  auto solid = UloPaletteColors(4);
  for (size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(series[i]->SeriesColor(), solid[i]) << i;
    EXPECT_EQ(series[i]->ExplicitSeriesColor(), clDefault) << "the colour stays automatic";
  }
  EXPECT_EQ(std::vector<TColor>(chart.ColorPalette()), std::vector<TColor>(solid.begin(), solid.end()));

  // A colour of its own is kept, and not handed to another series.
  TChart other;
  auto three = AddSeries(other, 3);
  three[1]->SetSeriesColor(0x0000FF); // Solid's second colour
  TColorPalettes::ApplyPalette(other, 4);
  EXPECT_EQ(three[0]->SeriesColor(), 0xFF0000);
  EXPECT_EQ(three[1]->SeriesColor(), 0x0000FF);
  EXPECT_EQ(three[2]->SeriesColor(), 0x00FF00);
}

TEST_F(Palettes, IndexesOutsideTheTablesClearThePaletteAndAreKept) {
  for (int index : {0, 16, -1}) {
    TChart chart;
    auto series = AddSeries(chart, 2);
    chart.SetColorPaletteIndex(5);
    chart.SetColorPaletteIndex(index);
    EXPECT_EQ(chart.ColorPaletteIndex(), index);
    EXPECT_TRUE(chart.ColorPalette().empty()) << index;
    EXPECT_EQ(series[0]->SeriesColor(), UloGetDefaultColor(0)) << index;
    EXPECT_EQ(series[1]->SeriesColor(), UloGetDefaultColor(1)) << index;
  }
}

} // namespace
