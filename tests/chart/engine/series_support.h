// Scaffolding of the series, marks and pointer tests: the chart units
// started for the texts, a panel that completes the abstract operations,
// a series that remembers what it was asked to draw, and images to look at.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/ChartTestSupport.h"
#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloEngineStartup.h"
#include "chart/engine/UloSeries.h"
#include "chart/foundation/TestPanel.h"
#include "chart/foundation/TestSurface.h"
#include "chart/foundation/UloStartup.h"

namespace series_test {

class TSeriesPanel : public TCustomAxisPanel {
public:
  using TCustomAxisPanel::TCustomAxisPanel;
  std::string_view ClassName() const override { return "TSeriesPanel"; }
  void CalcWallsRect() override { CalcSize3DWalls(); }
  int GetAxisWallSize(TChartAxis *) override { return 0; }
  void DrawTitlesAndLegend(bool) override {}
  void DrawWalls() override {}
  bool IsFreeSeriesColor(TColor color, bool, TChartSeries *series) override {
    for (TChartSeries *s : SeriesList())
      if (s != series && s->SeriesColor() == color) return false;
    return true;
  }
  int Invalidations = 0;
  void Invalidate() override {
    ++Invalidations;
    TCustomAxisPanel::Invalidate();
  }
};

// Notes the points it is asked to draw.
class TNoteSeries : public TChartSeries {
public:
  std::string_view ClassName() const override { return "TNoteSeries"; }
  std::vector<int> Drawn;
  void DrawPoint(int index) override { Drawn.push_back(index); }
};

// The chart texts and units, started for each test.
using WithUnits = chart_support::WithEngineTexts;

inline std::vector<double> Values(const TChartValueList &list) {
  std::vector<double> v;
  for (int i = 0; i < list.Count(); ++i)
    v.push_back(list.Value(i));
  return v;
}

} // namespace series_test
