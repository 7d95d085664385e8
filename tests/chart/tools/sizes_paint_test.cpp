// Every series class of the gallery and every tool class of the registry,
// painted at the degenerate sizes (nothing, one pixel) and at a very large
// one, in 2D and in 3D: a paint must neither throw nor take unbounded time,
// whatever room the chart is given.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/ChartTestSupport.h"
#include "chart/engine/Chart.h"
#include "chart/engine/UloGallery.h"
#include "chart/engine/UloSeries.h"
#include "chart/engine/UloTool.h"

namespace {

class PaintSizes : public chart_support::WithChartComponent {};

struct TSubject {
  std::string Name;
  std::function<void(TChart &)> Fill;
};

TChartSeries *AddSampleSeries(TChart &chart, const TChartSeriesClass &seriesClass) {
  TChartSeries *s = chart.AddSeries(seriesClass.Create());
  s->FillSampleValues(12);
  return s;
}

// Every plain series entry of the gallery, then every tool with the first
// plain series beside it.
std::vector<TSubject> Subjects() {
  std::vector<TSubject> subjects;
  const TChartSeriesClass *plain = nullptr;
  for (int i = 0; i < UloSeriesTypes().Count(); ++i) {
    const TUloSeriesType &type = UloSeriesTypes().Items(i);
    if (!type.SeriesClass || type.FunctionClass) continue;
    if (!plain) plain = &type.SeriesClass;
    subjects.push_back({type.SeriesClass.Name() + " (" + type.Description + ")",
                        [&type](TChart &chart) { AddSampleSeries(chart, type.SeriesClass); }});
  }
  for (int i = 0; i < UloToolTypes().Count(); ++i) {
    const TUloToolClass &toolClass = UloToolTypes().Items(i);
    subjects.push_back({toolClass.Name(), [&toolClass, plain](TChart &chart) {
                          if (plain) AddSampleSeries(chart, *plain);
                          chart.Tools().Add(toolClass.Create());
                        }});
  }
  return subjects;
}

// Some pixel of a coarse grid is not the white the bitmap starts with.
bool Drawn(const gdi::Bitmap &bitmap) {
  for (int y = 0; y < bitmap.Height(); y += 16)
    for (int x = 0; x < bitmap.Width(); x += 16)
      if (bitmap.Pixel(x, y) != clWhite) return true;
  return false;
}

TEST_F(PaintSizes, EverySeriesAndToolAtDegenerateAndHugeSizes) {
  struct TSize {
    int Width, Height;
  };
  static constexpr TSize sizes[] = {{0, 0}, {1, 1}, {4000, 3000}};
  // Far beyond a slow paint under the sanitizers; only a runaway loop gets here.
  constexpr auto bound = std::chrono::seconds(60);
  const std::vector<TSubject> subjects = Subjects();
  ASSERT_GT(subjects.size(), 2u);
  for (const TSubject &subject : subjects) {
    for (const TSize &size : sizes) {
      for (bool view3D : {false, true}) {
        const std::string what = subject.Name + " at " + std::to_string(size.Width) + "x" +
                                 std::to_string(size.Height) + (view3D ? " in 3D" : " in 2D");
        SCOPED_TRACE(what);
        TChart chart;
        try {
          subject.Fill(chart);
          chart.SetView3D(view3D);
          chart.SetBounds(0, 0, size.Width, size.Height);
          const auto start = std::chrono::steady_clock::now();
          auto bitmap = chart.UloCreateBitmap(clWhite, TRect{0, 0, size.Width, size.Height});
          EXPECT_LT(std::chrono::steady_clock::now() - start, bound);
          ASSERT_NE(bitmap, nullptr);
          if (size.Width > 1) {
            EXPECT_TRUE(Drawn(*bitmap)) << "nothing was drawn";
          }
        } catch (const std::exception &e) {
          ADD_FAILURE() << "throws: " << e.what();
        }
      }
    }
  }
}

} // namespace
