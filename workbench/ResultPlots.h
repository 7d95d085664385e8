// The three plotting buttons: they read what "Рассчитать АИ" stored and
// push points into the result windows' series. Each refuses with an
// ESolverError when there is nothing of the current dimensions to draw.
#pragma once

#include "workbench/PointSink.h"
#include "workbench/SolverState.h"

#include <functional>
#include <string>

namespace workbench {

// Form4's series.
struct IntegralSeries {
  IPointSink *Series1 = nullptr; // Chart1, polar/spherical sections in space
  IPointSink *Series2 = nullptr; // Chart1, cube-grid sections in space
  IPointSink *Series3 = nullptr; // Chart1
  IPointSink *Series4 = nullptr; // Chart2, polar sections of the plane
  IPointSink *Series5 = nullptr; // Chart2, trajectory or cube-grid sections of the plane
  IPointSink *Series6 = nullptr; // Chart2
};

// How Form4 is to look after the plot.
struct IntegralLayout {
  bool Plotted = false;       // false: L is neither 2 nor 3, nothing to draw
  std::string Caption;        // Form4's caption
  bool Chart2Visible = false; // Chart2 lies over Chart1 in the plane case
};

// What the window does while "Построить АИ" fills its series.
struct IntegralPlotHooks {
  // Once the horizon is read and before any series is emptied: the window
  // takes its caption and shows or hides Chart2, so that a chart repainting
  // during the fill is the one in front.
  std::function<void(const IntegralLayout &)> BeforeFill = {};
  // After every section of a space plot on the spherical grid: the window
  // processes its pending messages, so that the chart repaints section by
  // section while it fills.
  std::function<void()> AfterSection = {};
};

// "Построить АИ", called after Form4 is shown. horizonText is Edit1 as it
// reads now; dimL the current L. Draws the sections of the last run with
// that run's grid, step count and step, then releases their support values.
IntegralLayout PlotIntegral(SolverState &state, int dimL, const std::string &horizonText, const IntegralSeries &series,
                            const IntegralPlotHooks &hooks = {});

enum class TControlsWindow { cwNone, cwForm5, cwForm6 };

// "Построить управления": which control window to show (the series were
// filled by the computation); cwNone when L is neither 2 nor 3.
TControlsWindow ControlsWindowFor(const SolverState &state, int dimL);

// Form7's (plane) and Form8's (space) series.
struct SetSeries {
  IPointSink *Form7Series3 = nullptr; // P(t)
  IPointSink *Form7Series4 = nullptr; // Q(t)
  IPointSink *Form8Series1 = nullptr; // P(t)
  IPointSink *Form8Series2 = nullptr; // Q(t)
};

enum class TSetsWindow { swNone, swForm7, swForm8 };

// "Построить множества": fills the candidate control sets and says which
// window to show; swNone when L is neither 2 nor 3.
TSetsWindow PlotSets(const SolverState &state, int dimL, const SetSeries &series);

} // namespace workbench
