// The fast line and point series as the result windows' stored definitions
// hold them: read, the settings in place, written back unchanged, and the
// fast line's own defaults (TreatNulls tnIgnore among them) not written.
#include "series2d_support.h"

#include "platform/streaming/DefinitionReader.h"
#include "platform/streaming/DefinitionWriter.h"

namespace {

class Stored2D : public s2d_test::WithChartUnits {};

constexpr const char *kChart = R"(TChart Chart1 {
  TFastLineSeries Series1 {
    LinePen.Color = clRed
    LinePen.Width = 2
    DrawAllPoints = false
    TreatNulls = tnSkip
  }
  TPointSeries Series3 {
    Pointer.HorizSize = 2
    Pointer.Style = psCircle
    Stacked = cssOverlap
  }
  TFastLineSeries Series4 {
  }
}
)";

TEST_F(Stored2D, ReadAndWrittenBack) {
  auto root = streaming::ReadComponent(kChart);
  auto *chart = dynamic_cast<TChart *>(root.get());
  ASSERT_NE(chart, nullptr);
  ASSERT_EQ(chart->SeriesCount(), 3);
  auto *line = dynamic_cast<TFastLineSeries *>(chart->GetSeries(0));
  auto *points = dynamic_cast<TPointSeries *>(chart->GetSeries(1));
  ASSERT_TRUE(line && points);
  EXPECT_EQ(line->SeriesColor(), clRed);
  EXPECT_EQ(line->LinePen().Width(), 2);
  EXPECT_FALSE(line->DrawAllPoints());
  EXPECT_EQ(line->TreatNulls(), TTreatNullsStyle::tnSkip);
  EXPECT_EQ(points->Pointer().Style(), TSeriesPointerStyle::psCircle);
  EXPECT_EQ(points->Pointer().HorizSize(), 2);
  EXPECT_EQ(points->Stacked(), TCustomSeriesStack::cssOverlap);
  const std::string text = streaming::WriteComponent(*chart);
  EXPECT_EQ(streaming::WriteComponent(*streaming::ReadComponent(text)), text);
  const std::string plain = text.substr(text.find("Series4"));
  for (const char *key : {"TreatNulls", "AutoRepaint", "DrawAllPoints", "IgnoreNulls", "Stairs"})
    EXPECT_EQ(plain.find(key), std::string::npos) << key << "\n" << plain;
}

} // namespace
