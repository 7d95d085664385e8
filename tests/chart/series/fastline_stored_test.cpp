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

// Each kind stores its settings against the values it is made with, so a
// setting turned back to the base's value is not lost on reading.
TEST_F(Stored2D, SettingsAgainstTheKindsOwnStartSurvive) {
  constexpr const char *kKinds = R"(TChart Chart1 {
  TLineSeries Series1 {
    DrawLine = false
    Pointer.Visible = true
  }
  TAreaSeries Series2 {
    DrawArea = false
  }
  TPointSeries Series3 {
    ClickableLine = true
    Marks.Callout.Length = 8
  }
}
)";
  auto root = streaming::ReadComponent(kKinds);
  const std::string text = streaming::WriteComponent(*root);
  auto again = streaming::ReadComponent(text);
  auto *chart = dynamic_cast<TChart *>(again.get());
  ASSERT_NE(chart, nullptr);
  auto *line = dynamic_cast<TLineSeries *>(chart->GetSeries(0));
  auto *area = dynamic_cast<TAreaSeries *>(chart->GetSeries(1));
  auto *points = dynamic_cast<TPointSeries *>(chart->GetSeries(2));
  ASSERT_TRUE(line && area && points);
  EXPECT_FALSE(line->DrawLine());
  EXPECT_TRUE(line->Pointer().Visible());
  EXPECT_FALSE(area->DrawArea());
  EXPECT_TRUE(points->ClickableLine());
  EXPECT_EQ(points->Marks().Callout().Length(), 8);
  EXPECT_EQ(streaming::WriteComponent(*again), text);
}

} // namespace
