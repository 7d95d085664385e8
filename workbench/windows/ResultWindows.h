// The five result windows, read from their stored definitions: their
// charts with the series the solver and the plots fill, the rotation tools
// of the alternating integral's charts, and a close button that only hides
// the window, so its points stay until the next plot clears them.
#pragma once

#include "chart/engine/Chart.h"
#include "chart/series/Series.h"
#include "chart/series/UloFastLine.h"
#include "chart/series/UloPoin3.h"
#include "chart/tools/UloRotateTool.h"
#include "platform/forms/Controls.h"
#include "workbench/PointSink.h"

namespace workbench {

// A chart series as the solver and the plots see it. Points with Z go only
// to 3D series.
class TSeriesSink final : public IPointSink {
public:
  void Bind(TChartSeries *series) { series_ = series; }
  TChartSeries *Series() const noexcept { return series_; }
  void ClearPoints() override;
  void AddPointXY(double x, double y) override;
  void AddPointXYZ(double x, double y, double z) override;

private:
  TChartSeries *series_ = nullptr;
};

class TResultForm : public forms::TForm {
public:
  forms::TPanel *Panel1;
  forms::TButton *Button1;
  void Button1Click() { Close(); }

protected:
  TResultForm() = default;
  // Reads the window's definition and binds its close button; called by
  // each window's own constructor, once its class name is in force.
  void ReadFrame(const char *definition);
};

// The alternating integral in space (Chart1) and in the plane (Chart2, over Chart1).
class TForm4 : public TResultForm {
public:
  TForm4();
  std::string_view ClassName() const override { return "TForm4"; }
  TChart *Chart1, *Chart2;
  TPoint3DSeries *Series1, *Series2, *Series3, *Series4, *Series5, *Series6;
  TRotateTool *ChartTool1, *ChartTool2;
  // Series1 .. Series6 for the plots.
  TSeriesSink Sink1, Sink2, Sink3, Sink4, Sink5, Sink6;
};

// The controls in the plane: evader right (Chart1), pursuer left (Chart2).
class TForm5 : public TResultForm {
public:
  TForm5();
  std::string_view ClassName() const override { return "TForm5"; }
  TChart *Chart1, *Chart2;
  TFastLineSeries *Series1, *Series2;
  TSeriesSink Sink1, Sink2;
};

// The controls in space: evader right (Chart3), pursuer left (Chart4).
class TForm6 : public TResultForm {
public:
  TForm6();
  std::string_view ClassName() const override { return "TForm6"; }
  TChart *Chart3, *Chart4;
  TPoint3DSeries *Series3, *Series4;
  TSeriesSink Sink3, Sink4;
};

// The candidate control sets in the plane: P(t) and Q(t). The line series
// are inactive and never drawn.
class TForm7 : public TResultForm {
public:
  TForm7();
  std::string_view ClassName() const override { return "TForm7"; }
  TChart *Chart1, *Chart2;
  TFastLineSeries *Series1, *Series2;
  TPointSeries *Series3, *Series4;
  TSeriesSink Sink3, Sink4;
};

// The candidate control sets in space: P(t) and Q(t).
class TForm8 : public TResultForm {
public:
  TForm8();
  std::string_view ClassName() const override { return "TForm8"; }
  TChart *Chart1, *Chart2;
  TPoint3DSeries *Series1, *Series2;
  TSeriesSink Sink1, Sink2;
};

extern TForm4 *Form4;
extern TForm5 *Form5;
extern TForm6 *Form6;
extern TForm7 *Form7;
extern TForm8 *Form8;

} // namespace workbench
