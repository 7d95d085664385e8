// The image tool's picture between axis limits, series clipping, and the
// stored settings that need care.
#include "tools_support.h"

#include "chart/engine/UloAxis.h"
#include "platform/gdi/Gdi.h"
#include "platform/streaming/Streaming.h"

#include <memory>
#include <string>
#include <vector>

namespace {

using tools_test::TDotSeries;

class Drawing : public tools_test::WithTools {};

gdi::Bitmap Solid(int w, int h, TColor color) {
  gdi::Bitmap b(w, h);
  b.Fill(color);
  return b;
}

TEST_F(Drawing, TheImageFillsTheAxisRange) {
  TChart *chart = DotsChart();
  auto *tool = chart->Tools().Add(std::make_unique<TChartImageTool>());
  const gdi::Bitmap red = Solid(4, 4, 0x0000FF);
  tool->Picture().SetGraphic(&red);
  Settle();
  TChartAxis *h = chart->BottomAxis(), *v = chart->LeftAxis();
  const int left = h->CalcPosValue(h->Minimum()), right = h->CalcPosValue(h->Maximum());
  const int top = v->CalcPosValue(v->Maximum()), bottom = v->CalcPosValue(v->Minimum());
  // Red (0xFF0000 on the screen) between the dots, behind them.
  const QRgb inside = Pixel(*chart, (left + right) / 2 + 20, (top + bottom) / 2 - 30);
  EXPECT_EQ(inside, 0xFF0000u);
  EXPECT_NE(Pixel(*chart, left - 5, top - 5), 0xFF0000u);
}

TEST_F(Drawing, WithASeriesTheImageSpansItsValues) {
  TDotSeries *series = nullptr;
  TChart *chart = DotsChart(&series);
  TChartAxis *h = chart->BottomAxis(), *v = chart->LeftAxis();
  h->SetMinMax(-10, 20);
  v->SetMinMax(-10, 20);
  auto *other = chart->AddSeries(std::make_unique<TDotSeries>());
  other->AddPointXY(2, 6);
  other->AddPointXY(4, 8);
  auto *tool = chart->Tools().Add(std::make_unique<TChartImageTool>());
  tool->SetSeries(other);
  const gdi::Bitmap blue = Solid(2, 2, 0xFF0000);
  tool->Picture().SetGraphic(&blue);
  Settle();
  const int x2 = h->CalcPosValue(2), x4 = h->CalcPosValue(4), y6 = v->CalcPosValue(6), y8 = v->CalcPosValue(8);
  EXPECT_EQ(Pixel(*chart, (x2 + x4) / 2, (y6 + y8) / 2 + 1), 0x0000FFu);
  EXPECT_NE(Pixel(*chart, x4 + 6, (y6 + y8) / 2), 0x0000FFu);
  EXPECT_NE(Pixel(*chart, (x2 + x4) / 2, y6 + 6), 0x0000FFu);
}

TEST_F(Drawing, ClippingKeepsASeriesInsideItsAxes) {
  TDotSeries *series = nullptr;
  TChart *chart = DotsChart(&series);
  series->SetSeriesColor(0x00FF00);
  // The last dot sits on the right edge of the range: half of it is outside.
  TChartAxis *h = chart->BottomAxis(), *v = chart->LeftAxis();
  h->SetMinMax(0, 10);
  v->SetMinMax(-5, 15);
  chart->SetClipPoints(false);
  Paint(*chart);
  const int x = h->CalcPosValue(10), y = v->CalcPosValue(10);
  const int outside = h->IEndPos + 2;
  EXPECT_EQ(Pixel(*chart, outside, y), 0x00FF00u);
  auto *tool = chart->Tools().Add(std::make_unique<TClipSeriesTool>());
  tool->SetSeries(series);
  Paint(*chart);
  EXPECT_NE(Pixel(*chart, outside, y), 0x00FF00u);
  EXPECT_EQ(Pixel(*chart, x - 1, y), 0x00FF00u);
}

TEST_F(Drawing, StoredSettingsThatNeedCare) {
  // A full-screen tool read back active would take the window at once.
  TFullScreenTool full;
  full.SetName("F");
  full.SetReleaseKey(13);
  const std::string text = streaming::WriteComponent(full);
  EXPECT_EQ(text.find("Active"), std::string::npos) << text;
  TFullScreenTool f2;
  streaming::ReadComponent(text, f2);
  EXPECT_EQ(f2.ReleaseKey(), 13);
  EXPECT_FALSE(f2.Active());

  TChartImageTool image;
  image.SetName("I");
  const gdi::Bitmap px = Solid(3, 2, 0x123456);
  image.Picture().SetGraphic(&px);
  TChartImageTool i2;
  streaming::ReadComponent(streaming::WriteComponent(image), i2);
  ASSERT_NE(i2.Picture().Graphic(), nullptr);
  EXPECT_EQ(i2.Picture().Graphic()->Width(), 3);
}

} // namespace
