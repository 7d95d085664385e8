// The axis tests' scaffolding: a panel that completes the abstract
// operations, a plain series, and a way to lay out one axis on a canvas
// drawing into an image without running the whole paint.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chart/ChartTestSupport.h"
#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloSeries.h"

namespace axis_test {

class TAxisTestPanel : public TCustomAxisPanel {
public:
  using TCustomAxisPanel::TCustomAxisPanel;
  std::string_view ClassName() const override { return "TAxisTestPanel"; }
  int WallSize = 0;
  void CalcWallsRect() override { CalcSize3DWalls(); }
  int GetAxisWallSize(TChartAxis *) override { return WallSize; }
  void DrawTitlesAndLegend(bool) override {}
  void DrawWalls() override {}
  bool IsFreeSeriesColor(TColor, bool, TChartSeries *) override { return true; }
};

class TPlainSeries : public TChartSeries {
public:
  std::string_view ClassName() const override { return "TPlainSeries"; }
};

// A panel of W x H with its canvas bound to an image, ChartRect as given,
// and the library texts loaded.
class AxisFixture : public chart_support::WithEngineTexts {
protected:
  void SetUp() override {
    WithEngineTexts::SetUp();
    panel = std::make_unique<TAxisTestPanel>();
    panel->SetBounds(0, 0, 500, 400);
    image = std::make_unique<gdi::Bitmap>(500, 400);
    Bind({50, 20, 450, 320});
  }
  void TearDown() override {
    panel.reset();
    image.reset();
    WithEngineTexts::TearDown();
  }

  // Binds the canvas and sets the chart rectangle.
  void Bind(const TRect &chartRect) {
    const TRect all{0, 0, image->Width(), image->Height()};
    panel->Canvas().SetBuffered(false);
    panel->Canvas().PrepareTarget(&image->DC(), &panel->View3DOptions(), all, false);
    panel->Canvas().SetupProjection(0, all);
    panel->ChartRect = chartRect;
    panel->ChartWidth = chartRect.Right - chartRect.Left;
    panel->ChartHeight = chartRect.Bottom - chartRect.Top;
  }

  // Positions and range of one axis as the layout computes them.
  void Layout(TChartAxis &axis) {
    axis.InternalCalcPositions();
    axis.AdjustMaxMin();
  }

  // A series of the panel with the given points (X, Y).
  TPlainSeries &AddSeries(const std::vector<std::pair<double, double>> &points) {
    auto s = std::make_unique<TPlainSeries>();
    for (auto [x, y] : points)
      s->AddPointXY(x, y);
    return *panel->AddSeries(std::move(s));
  }

  std::unique_ptr<TAxisTestPanel> panel;
  std::unique_ptr<gdi::Bitmap> image;
};

// An axis without a panel spanning Start..End pixels over Min..Max.
inline void Span(TChartAxis &axis, int start, int end, double min, double max) {
  axis.IStartPos = start;
  axis.IEndPos = end;
  axis.IAxisSize = end - start;
  axis.ICenterPos = (start + end) / 2;
  axis.IMinimum = min;
  axis.IMaximum = max;
  axis.InternalCalcRange();
}

// The values of the labels a drawing recorded, in drawing order.
inline std::vector<double> LabelValues(TChartAxis &axis) {
  std::vector<double> v;
  for (int i = 0; i < axis.Items().Count(); ++i)
    v.push_back(axis.Items()[i].Value());
  return v;
}

inline std::vector<std::string> LabelTexts(TChartAxis &axis) {
  std::vector<std::string> v;
  for (int i = 0; i < axis.Items().Count(); ++i)
    v.push_back(axis.Items()[i].Text());
  return v;
}

} // namespace axis_test
