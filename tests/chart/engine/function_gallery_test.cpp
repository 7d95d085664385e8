#include "chart/ChartTestSupport.h"
#include "chart/engine/UloFunci.h"
#include "chart/engine/UloGallery.h"
#include "platform/streaming/Streaming.h"

#include <string>
#include <vector>

namespace {

class FunctionGallery : public chart_support::WithEngineTexts {
protected:
  void SetUp() override {
    WithEngineTexts::SetUp();
    RegisterUloBasicFunctions();
  }
  void TearDown() override {
    UnregisterUloBasicFunctions();
    WithEngineTexts::TearDown();
  }
};

TEST_F(FunctionGallery, TenFunctionsOnTheStandardPageInOrder) {
  const std::vector<std::pair<std::string, std::string>> want{
      {"TAddUloFunction", "Add"},         {"TSubtractUloFunction", "Subtract"}, {"TMultiplyUloFunction", "Multiply"},
      {"TDivideUloFunction", "Divide"},   {"THighUloFunction", "High"},         {"TLowUloFunction", "Low"},
      {"TAverageUloFunction", "Average"}, {"TCustomUloFunction", "y = f(x)"},   {"TMedianUloFunction", "Median"},
      {"TModeUloFunction", "Mode"}};
  std::vector<std::pair<std::string, std::string>> got;
  for (int i = 0; i < UloSeriesTypes().Count(); ++i) {
    const TUloSeriesType &t = UloSeriesTypes().Items(i);
    if (t.FunctionClass.IsNone()) continue;
    EXPECT_TRUE(t.SeriesClass.IsNone());
    EXPECT_EQ(t.Page, "Standard");
    EXPECT_EQ(t.SampleSeriesCount, 2);
    got.emplace_back(t.FunctionClass.Name(), t.Description);
  }
  EXPECT_EQ(got, want);
  // Unregistering removes every entry.
  UnregisterUloBasicFunctions();
  for (int i = 0; i < UloSeriesTypes().Count(); ++i)
    EXPECT_TRUE(UloSeriesTypes().Items(i).FunctionClass.IsNone());
  EXPECT_FALSE(streaming::ClassRegistry().IsRegistered("TMedianUloFunction"));
}

// A function is stored as a child of its series and read back with its
// settings.
TEST_F(FunctionGallery, StoredWithItsSeries) {
  TChartSeries series;
  series.SetName("Series1");
  auto f = std::make_unique<TAverageUloFunction>();
  f->SetName("Average1");
  f->SetPeriod(3);
  f->SetPeriodStyle(TFunctionPeriodStyle::psRange);
  f->SetPeriodAlign(TFunctionPeriodAlign::paFirst);
  f->SetIncludeNulls(false);
  series.AttachFunction(std::move(f));
  const std::string text = streaming::WriteComponent(series);

  TChartSeries back;
  streaming::ReadComponent(text, back);
  auto *g = dynamic_cast<TAverageUloFunction *>(back.FunctionType());
  ASSERT_NE(g, nullptr) << text;
  EXPECT_EQ(g->ParentSeries(), &back);
  EXPECT_EQ(g->Period(), 3);
  EXPECT_EQ(streaming::WriteComponent(back), text);
}

} // namespace
