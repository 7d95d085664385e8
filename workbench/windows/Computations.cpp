#include "workbench/windows/Computations.h"

#include "platform/rtl/Exceptions.h"
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

// The solver's computations are not in the tree yet.
void ComputeIntegral(TForm1 &) { throw rtl::ENotImplemented("Computing the alternating integral (the solver)"); }
void ComputeGuaranteedTime(TForm1 &) { throw rtl::ENotImplemented("Computing the guaranteed time (the solver)"); }

} // namespace workbench
