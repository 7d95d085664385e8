// What the computing buttons leave behind for the plotting buttons.
#pragma once

#include "workbench/CalculationUnit.h"
#include "workbench/DirectionGrid.h"

#include <vector>

namespace workbench {

struct SolverState {
  // The dimensions, grid and step of the last "Рассчитать АИ" run: the
  // section arrays and the trajectory belong to them. The guaranteed-time
  // search works on a grid of its own and leaves all of this alone.
  int DimX = 0;
  int DimU = 0;
  int DimV = 0;
  int DimL = 0;
  int GridCount = 0;
  DirectionGrid GridDirs;
  // Number of steps N: the capture step of the last guaranteed-time search
  // or 100. "Рассчитать АИ" with U = V = L takes its N from here.
  int StepCount = 0;
  // The step of the last computing button.
  double TimeStep = 0;

  // Sections k = 0..N of the last run: summed support values W_k (released
  // by the first plot), radial values r_k about the Steiner points s_k.
  std::vector<Vector> SectionSupport;
  std::vector<Vector> SectionRadius;
  std::vector<Vector> SectionCenter;
  bool HasSections = false;
  int SectionSteps = 0;       // N of the run that made the sections
  double SectionTimeStep = 0; // dt of that run
  bool SectionsHaveTrajectory = false;

  Vector TerminalSupport;
  Vector PursuerSupport;
  Vector EvaderSupport;

  // The extremal-aiming results of the last run with U = V = L; a run with
  // other dimensions leaves them as they were.
  std::vector<Vector> PursuerPoints;
  std::vector<Vector> EvaderPoints;
  std::vector<Vector> TrajectoryPoints;
  int ControlsDimL = 0; // 0 until a run with U = V = L has finished
};

} // namespace workbench
