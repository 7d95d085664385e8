#include "workbench/ResultPlots.h"

#include "platform/rtl/Conversions.h"
#include "platform/rtl/FloatFaults.h"
#include "workbench/SolverErrors.h"

#include <initializer_list>

namespace workbench {

namespace {

void Clear(std::initializer_list<IPointSink *> sinks) {
  for (IPointSink *s : sinks)
    if (s) s->ClearPoints();
}

void AddXY(IPointSink *sink, double x, double y) {
  if (sink) sink->AddPointXY(x, y);
}

void AddXYZ(IPointSink *sink, double x, double y, double z) {
  if (sink) sink->AddPointXYZ(x, y, z);
}

} // namespace

IntegralLayout PlotIntegral(SolverState &state, int dimL, const std::string &horizonText, const IntegralSeries &series,
                            const IntegralPlotHooks &hooks) {
  if (!state.HasSections) throw ESolverError(MsgNothingComputed());
  if (dimL != state.DimL) throw ESolverError(MsgDimensionsChanged());
  const double horizon = rtl::StrToFloat(horizonText);

  IntegralLayout layout;
  // Copies: the window may process messages while the plot fills, and a
  // computing button pressed meanwhile replaces the state.
  const int l = state.DimL;
  const DirectionGrid grid = state.GridDirs;
  const std::vector<Vector> radius = state.SectionRadius;
  const std::vector<Vector> center = state.SectionCenter;
  const std::vector<Vector> trajectory = state.SectionsHaveTrajectory ? state.TrajectoryPoints : std::vector<Vector>{};
  const int g = grid.Count;
  const int n = state.SectionSteps;
  const double dt = state.SectionTimeStep;
  const bool roundGrid = grid.Kind != TGridKind::gkCube;

  if (l == 2) {
    layout.Plotted = true;
    layout.Caption = "Двумерный случай";
    layout.Chart2Visible = true;
    if (hooks.BeforeFill) hooks.BeforeFill(layout);
    Clear({series.Series4, series.Series5, series.Series6});
    IPointSink *target = roundGrid ? series.Series4 : series.Series5;
    for (int k = 0; k <= n; ++k) {
      const double *r = radius[k].Data();
      const double *s = center[k].Data();
      const double height = rtl::Checked([&] { return horizon - k * dt; });
      for (int i = 0; i < g; ++i) {
        const double *dir = grid.Dir(i);
        AddXYZ(target, r[i] * dir[1] + s[1], height, r[i] * dir[0] + s[0]);
      }
      if (!roundGrid) continue;
      AddXYZ(target, r[0] * grid.Dir(0)[1] + s[1], height, r[0] * grid.Dir(0)[0] + s[0]);
      if (!trajectory.empty()) {
        const Vector &y = trajectory[n - k];
        AddXYZ(series.Series5, y[1], height, y[0]);
      }
    }
  } else if (l == 3) {
    layout.Plotted = true;
    layout.Caption = "Трехмерный случай";
    layout.Chart2Visible = false;
    if (hooks.BeforeFill) hooks.BeforeFill(layout);
    Clear({series.Series1, series.Series2, series.Series3});
    IPointSink *target = roundGrid ? series.Series1 : series.Series2;
    for (int k = 0; k <= n; ++k) {
      const double *r = radius[k].Data();
      const double *s = center[k].Data();
      for (int i = 0; i < g; ++i) {
        const double *dir = grid.Dir(i);
        AddXYZ(target, r[i] * dir[0] + s[0], r[i] * dir[1] + s[1], r[i] * dir[2] + s[2]);
      }
      if (roundGrid && hooks.AfterSection) hooks.AfterSection();
    }
  }
  // Nothing reads the summed values after the computation.
  state.SectionSupport.clear();
  return layout;
}

TControlsWindow ControlsWindowFor(const SolverState &state, int dimL) {
  if (dimL != 2 && dimL != 3) return TControlsWindow::cwNone;
  if (state.ControlsDimL == 0) throw ESolverError(MsgNoControls());
  if (dimL != state.ControlsDimL) throw ESolverError(MsgDimensionsChanged());
  return dimL == 2 ? TControlsWindow::cwForm5 : TControlsWindow::cwForm6;
}

TSetsWindow PlotSets(const SolverState &state, int dimL, const SetSeries &series) {
  if (dimL != 2 && dimL != 3) return TSetsWindow::swNone;
  if (state.ControlsDimL == 0) throw ESolverError(MsgNoControls());
  if (dimL != state.ControlsDimL) throw ESolverError(MsgDimensionsChanged());
  const size_t g = state.PursuerPoints.size();
  if (dimL == 2) {
    Clear({series.Form7Series3, series.Form7Series4});
    for (size_t i = 0; i < g; ++i) {
      const Vector &p = state.PursuerPoints[i];
      const Vector &q = state.EvaderPoints[i];
      AddXY(series.Form7Series3, p[0], p[1]);
      AddXY(series.Form7Series4, q[0], q[1]);
    }
    return TSetsWindow::swForm7;
  }
  Clear({series.Form8Series1, series.Form8Series2});
  for (size_t i = 0; i < g; ++i) {
    const Vector &p = state.PursuerPoints[i];
    const Vector &q = state.EvaderPoints[i];
    AddXYZ(series.Form8Series1, p[0], p[1], p[2]);
    AddXYZ(series.Form8Series2, q[0], q[1], q[2]);
  }
  return TSetsWindow::swForm8;
}

} // namespace workbench
