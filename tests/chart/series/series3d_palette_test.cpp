// Points with Z, colours from the continuous range and from the stepped
// palettes, the palette's legend rows and the stored "CustomPalette" block.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "chart/engine/UloPalettes.h"
#include "chart/series/UloSeries3D.h"
#include "chart/series/series3d_support.h"
#include "platform/streaming/Streaming.h"

namespace {

using s3d_test::TTestChart;
using s3d_test::WithChartUnits;

class TPaletteSeries : public TCustom3DPaletteSeries {
public:
  std::string_view ClassName() const override { return "TTestPaletteSeries"; }
};

class Series3D : public WithChartUnits {};

// Y 0 .. 10 in steps of 1, ready to colour (the inverse range is taken in
// PrepareForDraw, as a paint would).
void FillZeroToTen(TCustom3DPaletteSeries &s) {
  for (int i = 0; i <= 10; ++i)
    s.AddPointXYZ(i, i, 0);
  s.PrepareForDraw();
}

TEST_F(Series3D, PointsKeepTheirAddOrderAndZStaysAligned) {
  TPaletteSeries s;
  s.OnBeforeAdd = [](TChartSeries *) { return false; };
  EXPECT_EQ(s.AddPointXYZ(1, 2, 3), -1);
  EXPECT_EQ(s.ZValues().Count(), 0);
  s.OnBeforeAdd = nullptr;
  EXPECT_EQ(s.AddPointXYZLabelColor(-5, 7, 9, "c", clRed), 0);
  EXPECT_EQ(s.ZValues().Value(0), 9);
}

struct RangeCase {
  const char *name;
  TColor endColor, midColor, startColor;
  double value;
  TColor expected;
};

TEST_F(Series3D, ColourRangeAtGivenValues) {
  const RangeCase cases[] = {
      {"lowest is EndColor", clWhite, clNone, clNavy, 0, clWhite},
      {"highest is StartColor", clWhite, clNone, clNavy, 10, clNavy},
      {"below the range", clWhite, clNone, clNavy, -1, clWhite},
      {"above the range", clWhite, clNone, clNavy, 11, clNavy},
      {"middle colour exactly at the middle", clWhite, clRed, clNavy, 5, clRed},
      {"a quarter towards the middle colour", clBlack, 0x000064, clWhite, 2.5, 0x000032},
      // Red 255 + Round(0.5 * -125): -62.5 rounds to -62, giving 193.
      {"halves round to even", 0x0000FF, clNone, 0x000082, 5, 0x0000C1},
      // Each channel on its own: blue rises while red falls.
      {"channels apart", 0x0000FF, clNone, 0xFF0000, 5, 0x80007F},
  };
  for (const auto &c : cases) {
    TPaletteSeries s;
    s.SetEndColor(c.endColor);
    s.SetMidColor(c.midColor);
    s.SetStartColor(c.startColor);
    FillZeroToTen(s);
    EXPECT_EQ(s.GetValueColorValue(c.value), c.expected) << c.name;
  }
}

TEST_F(Series3D, StoredColourWinsAndTheEventHasTheLastWord) {
  TPaletteSeries s;
  s.AddPointXYZLabelColor(0, 0, 0, "", clLime);
  s.AddPointXYZ(1, 10, 0);
  s.AddPointXYZLabelColor(2, 5, 0, "", clNone);
  s.PrepareForDraw();
  EXPECT_EQ(s.PointColor(0), clLime);
  EXPECT_EQ(s.PointColor(1), clNavy);
  EXPECT_TRUE(s.IsNullPoint(2));
  std::vector<TColor> seen;
  s.OnGetColor = [&seen](TChartSeries *, int index, TColor &c) {
    seen.push_back(c);
    if (index == 0) c = clFuchsia;
  };
  EXPECT_EQ(s.PointColor(0), clFuchsia);
  EXPECT_EQ(s.PointColor(1), clNavy);
  EXPECT_EQ(seen, (std::vector<TColor>{clLime, clNavy}));
  // A zero Y range gives the end colour; neither range nor palette, the series colour.
  TPaletteSeries flat;
  flat.AddPointXYZ(0, 3, 0);
  flat.AddPointXYZ(1, 3, 0);
  flat.PrepareForDraw();
  EXPECT_EQ(flat.PointColor(1), clWhite);
  flat.SetSeriesColor(clTeal);
  flat.SetUseColorRange(false);
  EXPECT_EQ(flat.PointColor(1), clTeal);
}

TEST_F(Series3D, PaletteLookupTakesTheFirstStrictlyGreaterEntry) {
  TPaletteSeries s;
  EXPECT_EQ(s.AddPalette(10, clRed), 0);
  EXPECT_EQ(s.AddPalette(0, clBlue), 0);
  EXPECT_EQ(s.AddPalette(20, clLime), 2);
  // Equal values keep their insertion order.
  EXPECT_EQ(s.AddPalette(10, clYellow), 2);
  EXPECT_EQ(s.Palette()[1].Color, clRed);
  const struct {
    double value;
    TColor expected;
  } cases[] = {{-1, clBlue}, {0, clRed}, {5, clRed}, {10, clLime}, {19.99, clLime}, {20, clLime}, {1e9, clLime}};
  for (const auto &c : cases)
    EXPECT_EQ(s.GetPaletteColor(c.value), c.expected) << c.value;
}

TEST_F(Series3D, PaletteStylesBuildTheirColours) {
  struct Case {
    TUloPaletteStyle style;
    int steps;
    int index;
    TColor expected;
  };
  const auto rainbow = UloRainbowPalette();
  const Case cases[] = {
      {TUloPaletteStyle::psGrayScale, 32, 0, 0x000000},
      // Round(31 * 255 / 32) = 247: never pure white.
      {TUloPaletteStyle::psGrayScale, 32, 31, 0xF7F7F7},
      // 3 * 255 / 10 = 76.5 rounds to the even 76.
      {TUloPaletteStyle::psGrayScale, 10, 3, 0x4C4C4C},
      {TUloPaletteStyle::psInvGray, 10, 3, 0xB3B3B3},
      // f = 0: red and green Trunc(127), blue Trunc(2 * 127).
      {TUloPaletteStyle::psPale, 8, 0, 0xFE7F7F},
      // Pale, f = pi / 2: sin(pi/4)+1 = 1.7071 -> 216; sin(pi/2)+1 = 2 -> 254; cos(pi/2)+1 = 1 -> 127.
      {TUloPaletteStyle::psPale, 8, 4, 0x7FFED8},
      // Strong, f = pi: sin(pi/2)+1 -> 254; sin(pi)+1 -> 127; cos(pi)+1 = 0 -> 0.
      {TUloPaletteStyle::psStrong, 8, 4, 0x007FFE},
      {TUloPaletteStyle::psRainbow, 30, 0, rainbow[0]},
      {TUloPaletteStyle::psRainbow, 30, 27, rainbow[2]},
  };
  for (const auto &c : cases) {
    TPaletteSeries s;
    s.SetPaletteStyle(c.style);
    s.CreateDefaultPalette(c.steps);
    ASSERT_EQ(static_cast<int>(s.Palette().size()), c.steps);
    EXPECT_EQ(s.Palette()[static_cast<size_t>(c.index)].Color, c.expected)
        << static_cast<int>(c.style) << " entry " << c.index;
  }
}

TEST_F(Series3D, PaletteValuesStartAtTheMinimumInEqualSteps) {
  TPaletteSeries s;
  FillZeroToTen(s);
  s.CreateDefaultPalette(11);
  ASSERT_EQ(s.Palette().size(), 11u);
  for (size_t i = 0; i < 11; ++i)
    EXPECT_DOUBLE_EQ(s.Palette()[i].UpToValue, static_cast<double>(i));
  s.SetPaletteStep(2.5);
  s.SetUsePaletteMin(true);
  s.SetPaletteMin(-1);
  ASSERT_EQ(s.Palette().size(), 32u);
  EXPECT_DOUBLE_EQ(s.Palette()[0].UpToValue, -1);
  EXPECT_DOUBLE_EQ(s.Palette()[4].UpToValue, 9);
}

TEST_F(Series3D, CustomPaletteSurvivesClearingAndGrowsByRepeating) {
  TPaletteSeries s;
  s.SetUsePalette(true);
  s.SetPaletteStyle(TUloPaletteStyle::psCustom);
  s.SetPalette({{1, clRed}, {2, clLime}, {3, clBlue}});
  s.AddPointXYZ(0, 0, 0);
  s.ClearPoints();
  ASSERT_EQ(s.Palette().size(), 3u);
  s.SetPaletteSteps(5);
  ASSERT_EQ(s.Palette().size(), 5u);
  EXPECT_EQ(s.Palette()[3].Color, clRed);
  EXPECT_EQ(s.Palette()[4].Color, clLime);
  const TColor colours[] = {clBlue, clYellow};
  s.ApplyCustomPalette(colours);
  EXPECT_EQ(s.Palette()[4].Color, clBlue);
  // A generated style empties it; the next paint builds it from the data,
  // and clearing the points empties it again.
  s.SetPaletteStyle(TUloPaletteStyle::psStrong);
  EXPECT_TRUE(s.Palette().empty());
  s.AddPointXYZ(0, 0, 0);
  s.PrepareForDraw();
  EXPECT_EQ(s.Palette().size(), 5u);
  s.ClearPoints();
  EXPECT_TRUE(s.Palette().empty());
  // A negative step count is none at all, even for a custom palette.
  s.SetPaletteStyle(TUloPaletteStyle::psCustom);
  s.SetPaletteSteps(-5);
  EXPECT_EQ(s.PaletteSteps(), 0);
  EXPECT_TRUE(s.Palette().empty());
}

TEST_F(Series3D, LegendShowsEveryNthEntryFromTheTop) {
  struct Case {
    int every;
    int rows;
    std::vector<int> shownEntries; // the first and the last row
  };
  const Case cases[] = {{1, 32, {31, 0}}, {2, 16, {31, 1}}, {3, 11, {31, 1}}, {40, 1, {31, 31}}};
  for (const auto &c : cases) {
    TPaletteSeries s;
    s.SetValueFormat("0");
    s.SetUseColorRange(false);
    s.SetUsePalette(true);
    for (int i = 0; i < 32; ++i)
      s.AddPointXYZ(i, i, 0);
    s.PrepareForDraw();
    s.SetLegendEvery(c.every);
    ASSERT_EQ(s.Palette().size(), 32u);
    EXPECT_EQ(s.LegendRowCount(), c.rows) << c.every;
    EXPECT_EQ(s.LegendRowText(0, TLegendTextStyle::ltsPlain), std::to_string(c.shownEntries[0]));
    EXPECT_EQ(s.LegendRowText(c.rows - 1, TLegendTextStyle::ltsPlain), std::to_string(c.shownEntries[1]));
    EXPECT_EQ(s.LegendRowText(c.rows, TLegendTextStyle::ltsPlain), "");
    EXPECT_EQ(s.LegendRowColor(0), s.Palette()[31].Color);
  }
}

// ---- the stored palette

std::vector<uint8_t> Block(int32_t count, std::vector<std::pair<double, uint32_t>> entries) {
  streaming::TBinaryWriter w;
  w.WriteI32(count);
  for (auto [v, c] : entries) {
    w.WriteF64(v);
    w.WriteU32(c);
  }
  return w.Take();
}

TEST_F(Series3D, CustomPaletteBlockLayout) {
  const TUloPalette p{{1.5, 0x0000FF}, {-2, 0x123456}};
  const auto bytes = UloWriteCustomPalette(p);
  EXPECT_EQ(bytes, Block(2, {{1.5, 0x0000FF}, {-2, 0x123456}}));
  EXPECT_EQ(bytes[12], 0xFF); // the first colour's low byte is red
  EXPECT_EQ(UloReadCustomPalette(bytes), p);
  EXPECT_TRUE(UloReadCustomPalette(Block(0, {})).empty());
  const std::vector<std::vector<uint8_t>> impossible = {
      Block(-1, {}), Block(3, {{1, 1}}), Block(1, {{1, 1}, {2, 2}}), Block(0x7FFFFFFF, {{1, 1}}), {1, 0},
  };
  for (const auto &b : impossible)
    EXPECT_THROW(UloReadCustomPalette(b), streaming::EReadError);
}

TEST_F(Series3D, CustomPaletteIsStoredOnlyForTheCustomStyle) {
  streaming::ClassRegistry().RegisterClass<TPaletteSeries>("TTestPaletteSeries");
  TPaletteSeries s;
  s.SetPaletteStyle(TUloPaletteStyle::psCustom);
  s.SetPalette({{1, clRed}, {2.5, clBlue}});
  const std::string text = streaming::WriteComponent(s);
  EXPECT_NE(text.find("CustomPalette"), std::string::npos) << text;

  auto copy = streaming::ReadComponent(text);
  auto *read = dynamic_cast<TPaletteSeries *>(copy.get());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->PaletteStyle(), TUloPaletteStyle::psCustom);
  EXPECT_EQ(read->Palette(), s.Palette());

  s.SetPaletteStyle(TUloPaletteStyle::psPale);
  EXPECT_EQ(streaming::WriteComponent(s).find("CustomPalette"), std::string::npos);
  streaming::ClassRegistry().UnregisterClass("TTestPaletteSeries");
}

// ---- the chart around it

TEST_F(Series3D, CellsRunForwardByRotationAndDepthInversion) {
  struct Case {
    int rotation;
    bool inverted;
    bool forward;
  };
  const Case cases[] = {{0, false, false},   {90, false, false},  {91, false, true}, {269, false, true},
                        {270, false, false}, {345, false, false}, {90, true, true},  {180, true, false}};
  TTestChart c;
  auto *s = c->AddSeries(std::make_unique<TPaletteSeries>());
  for (const auto &k : cases) {
    c->View3DOptions().SetRotation(k.rotation);
    c->DepthAxis()->SetInverted(k.inverted);
    EXPECT_EQ(s->DrawCellsForward(), k.forward) << k.rotation << " " << k.inverted;
  }
}

} // namespace
