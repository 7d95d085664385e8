// The computations of the main window's two computing buttons, with no
// window: "Рассчитать АИ" (the alternating integral, and with U = V = L the
// extremal-aiming controls and trajectory) and "Гарантированное время".
// The window hands in the texts as typed and the settings, shows the
// message box on return and the exception's text on failure.
#pragma once

#include "workbench/PointSink.h"
#include "workbench/SolverErrors.h"
#include "workbench/SolverState.h"

#include <string>
#include <vector>

namespace workbench {

struct GameInput {
  int DimX = 1;
  int DimU = 1;
  int DimV = 1;
  int DimL = 1;
  std::string T; // the horizon, the main window's Edit1
  // Data cells [row][column] from 0, headers left out. A, B, C and Pi are
  // X x X, X x U, X x V and L x X; a missing cell counts as empty text.
  std::vector<std::vector<std::string>> A, B, C, Pi;
  std::vector<std::string> X0; // rows 0..X-1 of the grid's first data column
  std::string P, Q, M;         // support formulas in psi1, psi2, ...
};

// The settings window.
struct SolverSettings {
  std::string Nod = "10";       // "узлов в сетке"
  bool b1 = true;               // polar or spherical grid (else the cube grid)
  std::string timestep = "0.1"; // step of the guaranteed-time search
};

// The four series that receive the chosen controls while the integral is
// computed with U = V = L. A null entry receives nothing.
struct ControlSeries {
  IPointSink *Form5Series1 = nullptr; // plane, evader
  IPointSink *Form5Series2 = nullptr; // plane, pursuer
  IPointSink *Form6Series3 = nullptr; // space, evader
  IPointSink *Form6Series4 = nullptr; // space, pursuer
};

// "Рассчитать АИ". On success the state holds the run's sections (and with
// U = V = L its controls and trajectory) and the window shows
// kIntegralDoneText. On any failure the state is as it was before; the
// control series may have been emptied (a cell of X0 that is not a number
// stops the run after that).
void CalculateIntegral(SolverState &state, const GameInput &game, const SolverSettings &settings,
                       const ControlSeries &series);

// "Гарантированное время". Returns the new text of Edit1 (the guaranteed
// time k*dt) and stores k as StepCount; the window then shows
// kGuaranteedTimeDoneText. The sections, grid and controls of the last
// "Рассчитать АИ" are left alone. On failure (including no capture within
// kMaxCaptureSteps steps) StepCount is unchanged and Edit1 keeps its text.
std::string CalculateGuaranteedTime(SolverState &state, const GameInput &game, const SolverSettings &settings);

} // namespace workbench
