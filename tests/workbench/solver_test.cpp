#include "platform/rtl/Exceptions.h"
#include "workbench/ResultPlots.h"
#include "workbench/Solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace workbench;

using Cells = std::vector<std::vector<std::string>>;

Cells Mat(int rows, int cols, std::vector<std::string> v) {
  Cells c(rows, std::vector<std::string>(cols));
  for (int r = 0; r < rows; ++r)
    for (int k = 0; k < cols; ++k)
      c[r][k] = v[r * cols + k];
  return c;
}

Cells Identity(int n) {
  Cells c(n, std::vector<std::string>(n, "0"));
  for (int i = 0; i < n; ++i)
    c[i][i] = "1";
  return c;
}

// x' = u with |u| <= 1 against v = 0, target |x| <= 2: the sections are
// [-(2 + k dt), 2 + k dt].
GameInput LineGame(const std::string &x0) {
  GameInput g;
  g.A = Mat(1, 1, {"0"});
  g.B = Mat(1, 1, {"1"});
  g.C = Mat(1, 1, {"0"});
  g.Pi = Mat(1, 1, {"1"});
  g.X0 = {x0};
  g.P = "abs(psi1)";
  g.Q = "0";
  g.M = "2*abs(psi1)";
  g.T = "1";
  return g;
}

// The double integrator x1' = x2, x2' = u + v, |u| <= 1, |v| <= 0.5, target
// |x1| <= 1. With A nilpotent the Euler flows are exact: F_k = I + k dt A,
// K = [[dt, -0.505 dt^2], [0, dt]], so D_k B = dt^2 (k - 0.505) and
// W_k = 1 + dt^2 (k (k + 1) / 2 - 0.505 k) / 2.
GameInput DoubleIntegrator(const std::string &a01 = "1") {
  GameInput g;
  g.DimX = 2;
  g.A = Mat(2, 2, {"0", a01, "0", "0"});
  g.B = Mat(2, 1, {"0", "1"});
  g.C = Mat(2, 1, {"0", "1"});
  g.Pi = Mat(1, 2, {"1", "0"});
  g.X0 = {"5", "0"};
  g.P = "abs(psi1)";
  g.Q = "0.5*abs(psi1)";
  g.M = "abs(psi1)";
  g.T = "4.1";
  return g;
}

double DoubleIntegratorSection(int k, double dt) { return 1 + dt * dt * (k * (k + 1) / 2.0 - 0.505 * k) / 2; }

// Simple motion in the plane: the unit disc against the disc of radius 0.5,
// target the disc of radius 2. Sections: discs of radius 2 + k dt / 2.
GameInput PlaneGame() {
  GameInput g;
  g.DimX = g.DimU = g.DimV = g.DimL = 2;
  g.A = Mat(2, 2, {"0", "0", "0", "0"});
  g.B = g.C = g.Pi = Identity(2);
  g.X0 = {"4.975", "0"};
  g.P = "sqrt(psi1^2+psi2^2)";
  g.Q = "0.5*sqrt(psi1^2+psi2^2)";
  g.M = "2*sqrt(psi1^2+psi2^2)";
  g.T = "6";
  return g;
}

// The same in space with balls: target radius 1, sections 1 + k dt / 2.
GameInput SpaceGame() {
  GameInput g;
  g.DimX = g.DimU = g.DimV = g.DimL = 3;
  g.A = Mat(3, 3, {"0", "0", "0", "0", "0", "0", "0", "0", "0"});
  g.B = g.C = g.Pi = Identity(3);
  g.X0 = {"0", "0", "2.475"};
  g.P = "sqrt(psi1^2+psi2^2+psi3^2)";
  g.Q = "0.5*sqrt(psi1^2+psi2^2+psi3^2)";
  g.M = "sqrt(psi1^2+psi2^2+psi3^2)";
  g.T = "3";
  return g;
}

SolverSettings Settings(const std::string &nod, bool b1, const std::string &step = "0.1") {
  SolverSettings s;
  s.Nod = nod;
  s.b1 = b1;
  s.timestep = step;
  return s;
}

struct Sinks {
  RecordingPointSink s5a, s5b, s6a, s6b;
  ControlSeries Series() { return {&s5a, &s5b, &s6a, &s6b}; }
};

// ---- Guaranteed time ---------------------------------------------------------

TEST(GuaranteedTime, LineGameStopsAtTheFirstCoveringSection) {
  struct Case {
    const char *x0;
    const char *step;
    int k;
    const char *text;
  } cases[] = {
      {"0", "0.1", 1, "0.1"},     {"2.05", "0.1", 1, "0.1"},   {"-2.05", "0.1", 1, "0.1"}, {"2.45", "0.1", 5, "0.5"},
      {"3.55", "0.1", 16, "1.6"}, {"-3.55", "0.1", 16, "1.6"}, {"2.85", "0.3", 3, "0.9"},  {"6.5", "1", 5, "5"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.x0);
    SolverState state;
    const std::string text = CalculateGuaranteedTime(state, LineGame(c.x0), Settings("10", true, c.step));
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(state.StepCount, c.k);
  }
}

TEST(GuaranteedTime, APointOnTheBoundaryIsInside) {
  // Section 1 of the line game is [-(2 + K), 2 + K], K the Euler sum of
  // one step; a point exactly on its end counts as captured.
  const double h = static_cast<double>(static_cast<long double>(0.1) / 100);
  double k = 0;
  for (int i = 0; i < 100; ++i)
    k = h * 1 + k;
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", 2 + k);
  SolverState state;
  EXPECT_EQ(CalculateGuaranteedTime(state, LineGame(text), Settings("10", true)), "0.1");
  std::snprintf(text, sizeof text, "%.17g", std::nextafter(2 + k, 3.0));
  EXPECT_EQ(CalculateGuaranteedTime(state, LineGame(text), Settings("10", true)), "0.2");
}

TEST(GuaranteedTime, DoubleIntegratorPlaneAndSpace) {
  SolverState state;
  EXPECT_EQ(CalculateGuaranteedTime(state, DoubleIntegrator(), Settings("10", true)), "4.1");
  EXPECT_EQ(state.StepCount, 41);
  EXPECT_EQ(CalculateGuaranteedTime(state, PlaneGame(), Settings("36", true)), "6");
  EXPECT_EQ(state.StepCount, 60);
  EXPECT_EQ(CalculateGuaranteedTime(state, SpaceGame(), Settings("8", true)), "3");
  EXPECT_EQ(state.StepCount, 30);
  // On the cube grid too, which holds the direction (0, 0, 1).
  EXPECT_EQ(CalculateGuaranteedTime(state, SpaceGame(), Settings("3", false)), "3");
}

TEST(GuaranteedTime, NoCaptureStopsAndChangesNothing) {
  // Equal control sets: the sections never grow and the point stays out.
  GameInput g = LineGame("3");
  g.Q = "abs(psi1)";
  g.C = Mat(1, 1, {"1"});
  SolverState state;
  state.StepCount = 7;
  state.TimeStep = 0.25;
  try {
    CalculateGuaranteedTime(state, g, Settings("2", false));
    FAIL() << "no refusal";
  } catch (const ESolverError &e) {
    EXPECT_NE(e.Message().find("10000"), std::string::npos) << e.Message();
  }
  EXPECT_EQ(state.StepCount, 7);
  EXPECT_EQ(state.TimeStep, 0.25);
}

TEST(GuaranteedTime, RefusesABadStepBeforeAnythingElse) {
  // The A cell would not compile either; the step is reported first.
  GameInput g = LineGame("1");
  g.A = Mat(1, 1, {""});
  for (const char *step : {"0", "-0.1", "-0"}) {
    SCOPED_TRACE(step);
    SolverState state;
    state.StepCount = 3;
    EXPECT_THROW(CalculateGuaranteedTime(state, g, Settings("10", true, step)), ESolverError);
    EXPECT_EQ(state.StepCount, 3);
  }
  SolverState state;
  EXPECT_THROW(CalculateGuaranteedTime(state, g, Settings("10", true, "abc")), rtl::EConvertError);
  EXPECT_THROW(CalculateGuaranteedTime(state, g, Settings("10", true, "")), rtl::EConvertError);
}

TEST(GuaranteedTime, LeavesTheLastIntegralAlone) {
  SolverState state;
  state.StepCount = 60;
  CalculateIntegral(state, PlaneGame(), Settings("36", true), {});
  const std::vector<Vector> radius = state.SectionRadius;
  const std::vector<double> dirs = state.GridDirs.Coords;
  // Another grid and another step: the search must not touch the stored run.
  EXPECT_EQ(CalculateGuaranteedTime(state, PlaneGame(), Settings("8", false, "0.2")), "6");
  EXPECT_EQ(state.StepCount, 30);
  EXPECT_EQ(state.GridCount, 36);
  EXPECT_EQ(state.GridDirs.Coords, dirs);
  ASSERT_EQ(state.SectionRadius.size(), radius.size());
  for (size_t k = 0; k < radius.size(); ++k)
    EXPECT_EQ(state.SectionRadius[k].Elements(), radius[k].Elements());
  // A plot still draws the 61 sections of that run on its 36 directions.
  RecordingPointSink s4, s5;
  IntegralSeries series;
  series.Series4 = &s4;
  series.Series5 = &s5;
  PlotIntegral(state, 2, "6", series);
  EXPECT_EQ(s4.Points.size(), 61u * 37u);
  EXPECT_EQ(s5.Points.size(), 61u);
}

// ---- The alternating integral ------------------------------------------------

TEST(AlternatingIntegral, LineGameSectionsControlsAndTrajectory) {
  SolverState state;
  Sinks sinks;
  // U = V = L needs the step count of a guaranteed-time search first.
  EXPECT_THROW(CalculateIntegral(state, LineGame("2.45"), Settings("10", true), sinks.Series()), ESolverError);
  EXPECT_FALSE(state.HasSections);
  EXPECT_EQ(sinks.s5a.ClearCount, 0);

  GameInput g = LineGame("2.45");
  g.T = CalculateGuaranteedTime(state, g, Settings("10", true));
  ASSERT_EQ(g.T, "0.5");
  CalculateIntegral(state, g, Settings("10", true), sinks.Series());
  ASSERT_TRUE(state.HasSections);
  EXPECT_EQ(state.SectionSteps, 5);
  EXPECT_DOUBLE_EQ(state.SectionTimeStep, 0.1);
  ASSERT_EQ(state.GridCount, 2);
  ASSERT_EQ(state.SectionRadius.size(), 6u);
  for (int k = 0; k <= 5; ++k) {
    SCOPED_TRACE(k);
    EXPECT_NEAR(state.SectionCenter[k][0], 0, 1e-15);
    EXPECT_NEAR(state.SectionRadius[k][0], 2 + 0.1 * k, 1e-13);
    EXPECT_NEAR(state.SectionRadius[k][1], 2 + 0.1 * k, 1e-13);
  }
  EXPECT_EQ(state.PursuerPoints[0][0], -1);
  EXPECT_EQ(state.PursuerPoints[1][0], 1);
  EXPECT_EQ(state.EvaderPoints[0][0], 0);
  // The pursuer pushes the point towards 0 by dt a step.
  ASSERT_EQ(state.TrajectoryPoints.size(), 6u);
  for (int j = 0; j <= 5; ++j)
    EXPECT_NEAR(state.TrajectoryPoints[j][0], 2.45 - 0.1 * j, 1e-13) << j;
  // One-dimensional controls are not plotted, but the series are emptied.
  for (RecordingPointSink *s : {&sinks.s5a, &sinks.s5b, &sinks.s6a, &sinks.s6b}) {
    EXPECT_EQ(s->ClearCount, 1);
    EXPECT_TRUE(s->Points.empty());
  }
}

TEST(AlternatingIntegral, LineGameTieAtZeroTakesTheFirstDirection) {
  // From 0 both aiming values tie: the direction (-1) wins, so the pursuer
  // takes +1 and the point moves up.
  SolverState state;
  state.StepCount = 3;
  GameInput g = LineGame("0");
  g.T = "0.3";
  CalculateIntegral(state, g, Settings("10", true), {});
  EXPECT_NEAR(state.TrajectoryPoints[1][0], 0.1, 1e-14);
}

TEST(AlternatingIntegral, DoubleIntegratorMatchesTheClosedForm) {
  SolverState state;
  state.StepCount = 41;
  CalculateIntegral(state, DoubleIntegrator(), Settings("10", true), {});
  const double dt = 4.1 / 41;
  ASSERT_EQ(state.SectionRadius.size(), 42u);
  for (int k = 0; k <= 41; ++k) {
    SCOPED_TRACE(k);
    EXPECT_NEAR(state.SectionRadius[k][0], DoubleIntegratorSection(k, dt), 1e-12);
    EXPECT_NEAR(state.SectionRadius[k][1], DoubleIntegratorSection(k, dt), 1e-12);
  }
  // The pursuer brakes with -1 at effect k dt, the evader pushes with 0.5:
  // each step moves the forecast by -dt^2 k / 2.
  double y = 5;
  for (int j = 0; j <= 41; ++j) {
    EXPECT_NEAR(state.TrajectoryPoints[j][0], y, 1e-12) << j;
    y -= dt * dt * (41 - j) / 2;
  }
}

TEST(AlternatingIntegral, NegativeCellsAreReadAsTyped) {
  // x1' = -x2 mirrors the game: the same sections, bit for bit.
  SolverState plus, minus;
  plus.StepCount = minus.StepCount = 20;
  CalculateIntegral(plus, DoubleIntegrator("1"), Settings("10", true), {});
  CalculateIntegral(minus, DoubleIntegrator("-1"), Settings("10", true), {});
  for (int k = 0; k <= 20; ++k)
    EXPECT_EQ(plus.SectionRadius[k].Elements(), minus.SectionRadius[k].Elements()) << k;
}

TEST(AlternatingIntegral, DiscsAndBallsGrowByTheSpeedDifference) {
  struct Case {
    const char *name;
    GameInput game;
    const char *nod;
    int n;
    double target, start; // the target's radius, x0 along the axis
    int axis;
  } cases[] = {{"plane", PlaneGame(), "36", 60, 2, 4.975, 0}, {"space", SpaceGame(), "8", 30, 1, 2.475, 2}};
  auto along = [](const RecordingPointSink::Point &p, int axis) { return axis == 0 ? p.X : p.Z; };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    SolverState state;
    state.StepCount = c.n;
    Sinks sinks;
    CalculateIntegral(state, c.game, Settings(c.nod, true), sinks.Series());
    const int l = state.DimL;
    for (int k = 0; k <= c.n; ++k) {
      for (int j = 0; j < l; ++j)
        EXPECT_NEAR(state.SectionCenter[k][j], 0, 1e-13) << k;
      for (int i = 0; i < state.GridCount; ++i)
        EXPECT_NEAR(state.SectionRadius[k][i], c.target + 0.05 * k, 1e-12);
    }
    // The unit ball's candidates are the grid directions themselves.
    for (int i = 0; i < state.GridCount; ++i)
      for (int j = 0; j < l; ++j)
        EXPECT_NEAR(state.PursuerPoints[i][j], state.GridDirs.Dir(i)[j], 1e-15);
    // Aiming along the axis of x0: the pursuer takes -1 on it, the evader
    // 0.5, and the point ends just inside the target.
    EXPECT_NEAR(state.TrajectoryPoints[c.n][c.axis], c.start - c.n * 0.05, 1e-12);
    RecordingPointSink &pursuer = l == 2 ? sinks.s5b : sinks.s6b;
    RecordingPointSink &evader = l == 2 ? sinks.s5a : sinks.s6a;
    ASSERT_EQ(pursuer.Points.size(), static_cast<size_t>(c.n));
    ASSERT_EQ(evader.Points.size(), static_cast<size_t>(c.n));
    EXPECT_NEAR(along(pursuer.Points[0], c.axis), -1, 1e-15);
    EXPECT_NEAR(along(evader.Points[0], c.axis), 0.5, 1e-15);
    EXPECT_TRUE((l == 2 ? sinks.s6a : sinks.s5a).Points.empty());
  }
}

TEST(AlternatingIntegral, FailuresLeaveTheStateAsItWas) {
  SolverState state;
  state.StepCount = 60;
  CalculateIntegral(state, PlaneGame(), Settings("36", true), {});
  const std::vector<Vector> radius = state.SectionRadius;

  struct Case {
    const char *what;
    GameInput game;
    SolverSettings settings;
  };
  std::vector<Case> cases;
  cases.push_back({"T", PlaneGame(), Settings("36", true)});
  cases.back().game.T = "6,5";
  cases.push_back({"B cell", PlaneGame(), Settings("36", true)});
  cases.back().game.B[1][0] = "x";
  cases.push_back({"empty A cell", PlaneGame(), Settings("36", true)});
  cases.back().game.A[0][1] = "";
  cases.push_back({"nodes", PlaneGame(), Settings("1", true)});
  cases.push_back({"Q formula", PlaneGame(), Settings("36", true)});
  cases.back().game.Q = "sqrt(psi1-2)";
  cases.push_back({"X0 cell", PlaneGame(), Settings("36", true)});
  cases.back().game.X0[1] = "";
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_THROW(CalculateIntegral(state, c.game, c.settings, {}), rtl::Exception);
    EXPECT_EQ(state.StepCount, 60);
    EXPECT_EQ(state.GridCount, 36);
    ASSERT_EQ(state.SectionRadius.size(), radius.size());
    EXPECT_EQ(state.SectionRadius[60].Elements(), radius[60].Elements());
  }
}

} // namespace
