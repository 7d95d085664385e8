// The main window's computing buttons and the solver state they leave for
// the plotting buttons.
#pragma once

#include "workbench/Solver.h"

namespace workbench {

class TForm1;
class TForm3;

// What the solver reads: the main window's texts and dimensions, and the
// settings window's grid and step.
GameInput ReadGameInput(const TForm1 &window);
SolverSettings ReadSettings(const TForm3 &settings);

// "Рассчитать АИ" and "Гарантированное время" on the game the window shows
// and the settings window's grid and step; each ends with its message box.
void ComputeIntegral(TForm1 &window);
void ComputeGuaranteedTime(TForm1 &window);

} // namespace workbench
