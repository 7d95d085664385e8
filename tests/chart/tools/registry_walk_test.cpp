// Every series, function and tool class in the gallery and the tool
// registry after the program's start-up: each is made, given sample
// points, painted in 2D and in 3D, stored with its chart and read back.
// A class joins this walk by being registered.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "chart/ChartTestSupport.h"
#include "chart/engine/Chart.h"
#include "chart/engine/UloFunction.h"
#include "chart/engine/UloGallery.h"
#include "chart/engine/UloSeries.h"
#include "chart/engine/UloTool.h"

namespace {

class RegistryWalk : public chart_support::WithChartComponent {
protected:
  // The first registered plain series class: it holds functions and tools.
  static const TUloSeriesType *FirstPlainSeries() {
    for (int i = 0; i < UloSeriesTypes().Count(); ++i)
      if (UloSeriesTypes().Items(i).SeriesClass && !UloSeriesTypes().Items(i).FunctionClass)
        return &UloSeriesTypes().Items(i);
    return nullptr;
  }

  static std::unique_ptr<TChart> MakeChart() {
    auto chart = std::make_unique<TChart>();
    chart->SetName("Chart1");
    chart->SetBounds(0, 0, 320, 240);
    return chart;
  }

  // Paints in 2D and in 3D, then checks that writing, reading and writing
  // again gives the same text; returns the chart read back.
  static std::unique_ptr<TChart> PaintAndRoundTrip(TChart &chart, const std::string &what) {
    for (bool view3D : {false, true}) {
      chart.SetView3D(view3D);
      EXPECT_NO_THROW(chart.UloCreateBitmap(clWhite, TRect{0, 0, 320, 240})) << what << (view3D ? " in 3D" : " in 2D");
    }
    std::string text;
    std::unique_ptr<streaming::TStoredComponent> read;
    try {
      text = streaming::WriteComponent(chart);
      read = streaming::ReadComponent(text);
    } catch (const std::exception &e) {
      ADD_FAILURE() << what << " is not stored and read back: " << e.what() << "\n" << text;
      return nullptr;
    }
    auto *back = dynamic_cast<TChart *>(read.get());
    if (!back) {
      ADD_FAILURE() << what << ": the definition did not make a chart";
      return nullptr;
    }
    read.release();
    std::unique_ptr<TChart> result(back);
    EXPECT_EQ(streaming::WriteComponent(*result), text) << what;
    result->SetBounds(0, 0, 320, 240);
    EXPECT_NO_THROW(result->UloCreateBitmap(clWhite, TRect{0, 0, 320, 240})) << what << " read back";
    return result;
  }
};

TEST_F(RegistryWalk, EverySeriesClass) {
  for (int i = 0; i < UloSeriesTypes().Count(); ++i) {
    const TUloSeriesType &type = UloSeriesTypes().Items(i);
    if (!type.SeriesClass || type.FunctionClass) continue;
    const std::string what = type.SeriesClass.Name() + " (" + type.Description + ")";
    auto chart = MakeChart();
    auto made = type.SeriesClass.Create();
    ASSERT_NE(made, nullptr) << what;
    TChartSeries *s = chart->AddSeries(std::move(made));
    s->SetName("Series1");
    s->FillSampleValues(12);
    const int points = s->PointCount();
    EXPECT_GT(points, 0) << what;
    s->StoreDataAlways = true;
    auto back = PaintAndRoundTrip(*chart, what);
    if (!back) continue;
    ASSERT_EQ(back->SeriesCount(), 1) << what;
    TChartSeries *b = back->GetSeries(0);
    EXPECT_EQ(b->ClassName(), type.SeriesClass.Name()) << what;
    ASSERT_EQ(b->PointCount(), points) << what;
    for (int p = 0; p < points; ++p)
      EXPECT_TRUE(b->XValueAt(p) == s->XValueAt(p) && b->YValueAt(p) == s->YValueAt(p)) << what << " point " << p;
  }
}

// A function needs a series to live in and one to read from.
TEST_F(RegistryWalk, EveryFunctionClass) {
  const TUloSeriesType *host = FirstPlainSeries();
  ASSERT_NE(host, nullptr);
  for (int i = 0; i < UloSeriesTypes().Count(); ++i) {
    const TUloSeriesType &type = UloSeriesTypes().Items(i);
    if (!type.FunctionClass) continue;
    const std::string what = type.FunctionClass.Name() + " (" + type.Description + ")";
    const TChartSeriesClass &seriesClass = type.SeriesClass ? type.SeriesClass : host->SeriesClass;
    auto chart = MakeChart();
    TChartSeries *source = chart->AddSeries(seriesClass.Create());
    source->SetName("Source");
    source->FillSampleValues(12);
    source->StoreDataAlways = true;
    TChartSeries *target = chart->AddSeries(seriesClass.Create());
    target->SetName("Target");
    auto fn = type.FunctionClass.Create();
    ASSERT_NE(fn, nullptr) << what;
    fn->SetName("Function1");
    target->AttachFunction(std::move(fn));
    target->SetDataSource(source);
    auto back = PaintAndRoundTrip(*chart, what);
    if (!back) continue;
    ASSERT_EQ(back->SeriesCount(), 2) << what;
    TChartSeries *b = back->GetSeries(1);
    ASSERT_NE(b->FunctionType(), nullptr) << what;
    EXPECT_EQ(b->FunctionType()->ClassName(), type.FunctionClass.Name()) << what;
    EXPECT_EQ(b->DataSource(), back->GetSeries(0)) << what;
  }
}

TEST_F(RegistryWalk, EveryToolClass) {
  // The walk skips what is not registered: the seventeen tools must be.
  EXPECT_GE(UloToolTypes().Count(), 17);
  const TUloSeriesType *plain = FirstPlainSeries();
  for (int i = 0; i < UloToolTypes().Count(); ++i) {
    const TUloToolClass &toolClass = UloToolTypes().Items(i);
    const std::string what = toolClass.Name();
    auto chart = MakeChart();
    if (plain) {
      TChartSeries *s = chart->AddSeries(plain->SeriesClass.Create());
      s->SetName("Series1");
      s->FillSampleValues(12);
    }
    auto made = toolClass.Create();
    ASSERT_NE(made, nullptr) << what;
    TUloCustomTool *tool = chart->Tools().Add(std::move(made));
    tool->SetName("ChartTool1");
    auto back = PaintAndRoundTrip(*chart, what);
    if (!back) continue;
    ASSERT_EQ(back->Tools().Count(), 1) << what;
    EXPECT_EQ(back->Tools()[0]->ClassName(), toolClass.Name()) << what;
  }
}

} // namespace
