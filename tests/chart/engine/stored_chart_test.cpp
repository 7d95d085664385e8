// Whole charts through a stored definition: writing, reading and writing
// again gives the same text, and the series come back with their points,
// axes, sources, styles and per-point mark items.
#include "stored_support.h"

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloSeriesData.h"

namespace {

using namespace store_test;

class StoredChart : public WithChartEngine {
protected:
  void SetUp() override {
    WithChartEngine::SetUp();
    RegisterStoreSeries();
  }
  void TearDown() override {
    UnregisterStoreSeries();
    WithChartEngine::TearDown();
  }

  // Writes the chart, reads the text into a new chart and checks that the
  // new chart writes the same text.
  std::unique_ptr<TChart> RoundTrip(TChart &chart, std::string *textOut = nullptr) {
    std::string text = streaming::WriteComponent(chart);
    auto read = streaming::ReadComponent(text);
    auto *back = dynamic_cast<TChart *>(read.get());
    EXPECT_NE(back, nullptr);
    if (!back) return nullptr;
    read.release();
    EXPECT_EQ(streaming::WriteComponent(*back), text);
    if (textOut) *textOut = text;
    return std::unique_ptr<TChart>(back);
  }

  template <class S> S *Add(TChart &chart, const std::string &name) {
    S *s = chart.AddSeries(std::make_unique<S>());
    s->SetName(name);
    return s;
  }
};

TEST_F(StoredChart, PointsComeBackAndAreStoredAgain) {
  TChart chart;
  chart.SetName("Chart1");
  TPlainSeries *manual = Add<TPlainSeries>(chart, "Series1");
  ReadData(*manual, TBytes().U8(UloDataLabels).I32(2).F64(5).U8(1).Text("a").F64(6).U8(0).Get());
  THorizSeries *horiz = Add<THorizSeries>(chart, "Series2");
  horiz->StoreDataAlways = true;
  horiz->AddPointXY(3, 0);
  horiz->AddPointXY(1, 1);
  TZSeries *runTime = Add<TZSeries>(chart, "Series3");
  runTime->AddXYZ(1, 2, 3);

  std::string text;
  auto back = RoundTrip(chart, &text);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->SeriesCount(), 3);
  TChartSeries &b1 = *back->GetSeries(0);
  ASSERT_EQ(b1.PointCount(), 2);
  EXPECT_EQ(b1.YValueAt(1), 6);
  EXPECT_EQ(b1.Label(0), "a");
  EXPECT_TRUE(b1.HasManualData) << "points read from a block are stored again";
  TChartSeries &b2 = *back->GetSeries(1);
  ASSERT_EQ(b2.PointCount(), 2);
  EXPECT_EQ(b2.XValueAt(0), 1);
  EXPECT_EQ(b2.YValueAt(0), 1);
  EXPECT_EQ(b2.XValueAt(1), 3);
  // Points the program added at run time are not part of the definition.
  EXPECT_EQ(back->GetSeries(2)->PointCount(), 0);
  size_t third = text.find("Series3");
  ASSERT_NE(third, std::string::npos);
  EXPECT_EQ(text.find("Data", third), std::string::npos) << text;
}

// Identifier, style, custom axes by index, several sources by name, one
// source as the published DataSource, and mark items at their indexes.
TEST_F(StoredChart, TheOtherKeysOfSeriesAndMarks) {
  TChart chart;
  chart.SetName("Chart1");
  chart.CustomAxes().Add();
  chart.CustomAxes().Add();
  TPlainSeries *a = Add<TPlainSeries>(chart, "SourceA");
  TPlainSeries *b = Add<TPlainSeries>(chart, "SourceB");
  TPlainSeries *single = Add<TPlainSeries>(chart, "Single");
  TPlainSeries *both = Add<TPlainSeries>(chart, "Both");
  a->SetIdentifier("ident");
  a->SetStyle(1 | 8 | 32);
  a->SetCustomVertAxis(chart.CustomAxes().Items(1));
  a->SetCustomHorizAxis(chart.CustomAxes().Items(0));
  a->Marks().Items().Item(2).SetColor(clRed);
  a->Marks().Items().Item(4);
  single->SetDataSource(a);
  both->AddDataSource(a);
  both->AddDataSource(b);

  std::string text;
  auto back = RoundTrip(chart, &text);
  ASSERT_TRUE(back);
  for (const char *line : {"CustomVertAxis = 1", "CustomHorizAxis = 0", "DataSources = (\"SourceA\", \"SourceB\")"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
  EXPECT_EQ(text.find("DataSources", text.find("Single")), text.find("DataSources")) << "one source is no list";
  TChartSeries &ba = *back->GetSeries(0);
  EXPECT_EQ(ba.Identifier(), "ident");
  EXPECT_EQ(ba.Style(), 1 | 8 | 32);
  EXPECT_EQ(ba.CustomVertAxis(), back->CustomAxes().Items(1));
  EXPECT_EQ(ba.CustomHorizAxis(), back->CustomAxes().Items(0));
  EXPECT_EQ(ba.VertAxis(), TVertAxis::aCustomVertAxis);
  TMarksItems &items = ba.Marks().Items();
  EXPECT_TRUE(!items.Existing(0) && !items.Existing(1) && items.Existing(4)) << "an unchanged item is still an item";
  ASSERT_NE(items.Existing(2), nullptr);
  EXPECT_EQ(items.Existing(2)->Color(), clRed);
  EXPECT_EQ(back->GetSeries(2)->DataSource(), &ba);
  EXPECT_EQ(back->GetSeries(3)->DataSources(), (TDataSourcesList{&ba, back->GetSeries(1)}));
}

struct BadKey {
  const char *name;
  const char *members;
};

TEST_F(StoredChart, BadKeysAreRefusedWithTheirLine) {
  const std::vector<BadKey> cases{
      {"custom axis that does not exist", "CustomVertAxis = 3"},
      {"negative custom axis", "CustomHorizAxis = -1"},
      {"style beyond six flags", "Style = 64"},
      {"short data block", "Data = <00 02000000 0000000000000000>"},
      {"items that are not records", "Marks.Items = (1)"},
  };
  for (const auto &c : cases) {
    std::string text = std::string("TChart Chart1 {\n  TStoreSeries Series1 {\n    ") + c.members + "\n  }\n}\n";
    try {
      streaming::ReadComponent(text);
      ADD_FAILURE() << c.name << " was read";
    } catch (const streaming::EDefinitionError &e) {
      EXPECT_EQ(e.Line(), 3) << c.name << ": " << e.what();
    }
  }
}

} // namespace
