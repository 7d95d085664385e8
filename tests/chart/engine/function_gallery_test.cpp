#include "chart/engine/UloEngineStartup.h"
#include "chart/engine/UloFunci.h"
#include "chart/engine/UloGallery.h"
#include "chart/engine/UloSeries.h"
#include "chart/foundation/UloStartup.h"
#include "platform/streaming/Streaming.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class FunctionGallery : public ::testing::Test {
protected:
  void SetUp() override {
    StartChartFoundation();
    StartChartEngine();
    RegisterUloBasicFunctions();
  }
  void TearDown() override {
    UnregisterUloBasicFunctions();
    StopChartEngine();
    StopChartFoundation();
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
  // Registering twice adds nothing; unregistering removes every entry.
  RegisterUloBasicFunctions();
  int functions = 0;
  for (int i = 0; i < UloSeriesTypes().Count(); ++i)
    functions += UloSeriesTypes().Items(i).FunctionClass.IsNone() ? 0 : 1;
  EXPECT_EQ(functions, 10);
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
  EXPECT_EQ(g->PeriodStyle(), TFunctionPeriodStyle::psRange);
  EXPECT_EQ(g->PeriodAlign(), TFunctionPeriodAlign::paFirst);
  EXPECT_FALSE(g->IncludeNulls());
  EXPECT_EQ(streaming::WriteComponent(back), text);
}

} // namespace
