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

TEST_F(StoredChart, IdentifierStyleAndCustomAxesByIndex) {
  TChart chart;
  chart.SetName("Chart1");
  chart.CustomAxes().Add();
  TChartAxis *second = chart.CustomAxes().Add();
  TPlainSeries *s = Add<TPlainSeries>(chart, "Series1");
  s->SetIdentifier("ident");
  s->SetStyle(1 | 8 | 32);
  s->SetCustomVertAxis(second);
  s->SetCustomHorizAxis(chart.CustomAxes().Items(0));

  std::string text;
  auto back = RoundTrip(chart, &text);
  ASSERT_TRUE(back);
  EXPECT_NE(text.find("CustomVertAxis = 1"), std::string::npos) << text;
  EXPECT_NE(text.find("CustomHorizAxis = 0"), std::string::npos) << text;
  TChartSeries &b = *back->GetSeries(0);
  EXPECT_EQ(b.Identifier(), "ident");
  EXPECT_EQ(b.Style(), 1 | 8 | 32);
  EXPECT_EQ(b.CustomVertAxis(), back->CustomAxes().Items(1));
  EXPECT_EQ(b.CustomHorizAxis(), back->CustomAxes().Items(0));
  EXPECT_EQ(b.VertAxis(), TVertAxis::aCustomVertAxis);
}

TEST_F(StoredChart, SeveralSourcesAreStoredByName) {
  TChart chart;
  chart.SetName("Chart1");
  TPlainSeries *a = Add<TPlainSeries>(chart, "SourceA");
  TPlainSeries *b = Add<TPlainSeries>(chart, "SourceB");
  TPlainSeries *single = Add<TPlainSeries>(chart, "Single");
  TPlainSeries *both = Add<TPlainSeries>(chart, "Both");
  single->SetDataSource(a);
  both->AddDataSource(a);
  both->AddDataSource(b);

  std::string text;
  auto back = RoundTrip(chart, &text);
  ASSERT_TRUE(back);
  EXPECT_NE(text.find("DataSources = (\"SourceA\", \"SourceB\")"), std::string::npos) << text;
  // One source is the published DataSource, never the list.
  EXPECT_EQ(text.find("DataSources", text.find("Single")), text.find("DataSources")) << text;
  TChartSeries *backBoth = back->GetSeries(3);
  ASSERT_EQ(backBoth->DataSources().size(), 2u);
  EXPECT_EQ(backBoth->DataSources()[0], back->GetSeries(0));
  EXPECT_EQ(backBoth->DataSources()[1], back->GetSeries(1));
  EXPECT_EQ(back->GetSeries(2)->DataSource(), back->GetSeries(0));
}

TEST_F(StoredChart, MarkItemsKeepTheirIndexes) {
  TChart chart;
  chart.SetName("Chart1");
  TPlainSeries *s = Add<TPlainSeries>(chart, "Series1");
  s->Marks().Items().Item(2).SetColor(clRed);
  s->Marks().Items().Item(4);

  std::string text;
  auto back = RoundTrip(chart, &text);
  ASSERT_TRUE(back);
  TMarksItems &items = back->GetSeries(0)->Marks().Items();
  EXPECT_EQ(items.Existing(0), nullptr);
  EXPECT_EQ(items.Existing(1), nullptr);
  ASSERT_NE(items.Existing(2), nullptr);
  EXPECT_EQ(items.Existing(2)->Color(), clRed);
  EXPECT_NE(items.Existing(4), nullptr) << "an item with nothing changed is still an item";
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
