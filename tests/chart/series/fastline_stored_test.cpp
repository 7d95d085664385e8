// The fast line and point series as the result windows' stored definitions
// hold them: read, the settings in place, written back unchanged.
#include "series2d_support.h"

#include "platform/streaming/DefinitionReader.h"
#include "platform/streaming/DefinitionWriter.h"

namespace {

class Stored2D : public s2d_test::WithChartUnits {};

constexpr const char *kChart = R"(TChart Chart1 {
  Width = 281
  Height = 241
  View3D = false
  TFastLineSeries Series1 {
    LinePen.Color = clRed
    LinePen.Width = 2
    DrawAllPoints = false
    TreatNulls = tnSkip
  }
  TPointSeries Series3 {
    ClickableLine = false
    Pointer.HorizSize = 2
    Pointer.Style = psCircle
    Pointer.VertSize = 2
    Stacked = cssOverlap
  }
}
)";

TEST_F(Stored2D, ReadAndWrittenBack) {
  auto root = streaming::ReadComponent(kChart);
  auto *chart = dynamic_cast<TChart *>(root.get());
  ASSERT_NE(chart, nullptr);
  ASSERT_EQ(chart->SeriesCount(), 2);
  auto *line = dynamic_cast<TFastLineSeries *>(chart->GetSeries(0));
  auto *points = dynamic_cast<TPointSeries *>(chart->GetSeries(1));
  ASSERT_NE(line, nullptr);
  ASSERT_NE(points, nullptr);
  EXPECT_EQ(line->LinePen().Color(), clRed);
  EXPECT_EQ(line->SeriesColor(), clRed);
  EXPECT_EQ(line->LinePen().Width(), 2);
  EXPECT_FALSE(line->DrawAllPoints());
  EXPECT_EQ(line->TreatNulls(), TTreatNullsStyle::tnSkip);
  EXPECT_EQ(points->Pointer().Style(), TSeriesPointerStyle::psCircle);
  EXPECT_EQ(points->Pointer().HorizSize(), 2);
  EXPECT_EQ(points->Stacked(), TCustomSeriesStack::cssOverlap);
  const std::string text = streaming::WriteComponent(*chart);
  auto again = streaming::ReadComponent(text);
  EXPECT_EQ(streaming::WriteComponent(*again), text);
}

TEST_F(Stored2D, DefaultsAreNotWritten) {
  TChart chart;
  chart.SetName("Chart1");
  auto *line = new TFastLineSeries;
  line->SetName("Series1");
  chart.AddSeries(std::unique_ptr<TChartSeries>(line));
  const std::string text = streaming::WriteComponent(chart);
  for (const char *key : {"TreatNulls", "AutoRepaint", "DrawAllPoints", "IgnoreNulls", "Stairs"})
    EXPECT_EQ(text.find(key), std::string::npos) << key << "\n" << text;
}

} // namespace
