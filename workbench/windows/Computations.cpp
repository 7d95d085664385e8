#include "workbench/windows/Computations.h"

#include "platform/forms/Application.h"
#include "platform/forms/Cursors.h"
#include "workbench/Solver.h"
#include "workbench/SolverErrors.h"
#include "workbench/windows/ResultWindows.h"
#include "workbench/windows/Unit1.h"
#include "workbench/windows/Unit3.h"

namespace workbench {

GameInput ReadGameInput(const TForm1 &window) {
  GameRecord game = window.ReadGame();
  GameInput input;
  input.DimX = window.DimX;
  input.DimU = window.DimU;
  input.DimV = window.DimV;
  input.DimL = window.DimL;
  input.T = std::move(game.T);
  input.A = std::move(game.A);
  input.B = std::move(game.B);
  input.C = std::move(game.C);
  input.Pi = std::move(game.Pi);
  input.X0 = std::move(game.X0);
  input.P = std::move(game.P);
  input.Q = std::move(game.Q);
  input.M = std::move(game.M);
  return input;
}

SolverSettings ReadSettings(const TForm3 &settings) {
  SolverSettings result;
  result.Nod = settings.Nod->Text();
  result.b1 = settings.b1->Checked();
  result.timestep = settings.timestep->Text();
  return result;
}

void ComputeIntegral(TForm1 &window) {
  {
    // The computation holds the only thread: the window waits with it,
    // under the busy cursor, and the cursor comes back even on failure.
    forms::TScreenCursorScope busy(forms::kCursorBusy);
    ControlSeries series;
    series.Form5Series1 = &Form5->Sink1;
    series.Form5Series2 = &Form5->Sink2;
    series.Form6Series3 = &Form6->Sink3;
    series.Form6Series4 = &Form6->Sink4;
    CalculateIntegral(window.State, ReadGameInput(window), ReadSettings(*Form3), series);
  }
  forms::Application().MessageBox(kIntegralDoneText, kMessageCaption);
}

void ComputeGuaranteedTime(TForm1 &window) {
  {
    forms::TScreenCursorScope busy(forms::kCursorBusy);
    window.Edit1->SetText(CalculateGuaranteedTime(window.State, ReadGameInput(window), ReadSettings(*Form3)));
  }
  forms::Application().MessageBox(kGuaranteedTimeDoneText, kMessageCaption);
}

} // namespace workbench
