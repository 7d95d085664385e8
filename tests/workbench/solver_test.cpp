#include "platform/rtl/Conversions.h"
#include "platform/rtl/Exceptions.h"
#include "tests/workbench/Games.h"
#include "workbench/ResultPlots.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

using namespace workbench;
using wbtest::SimpleMotion;

// x' = u with |u| <= 1, target |x| <= 2: the sections are [-(2 + k dt), 2 + k dt].
GameInput LineGame(const std::string &x0) { return SimpleMotion(1, 1, "0", "2", {x0}, "1"); }

// The double integrator x1' = a x2, a = 1 or -1, x2' = u + v, |u| <= 1,
// |v| <= 0.5, target |x1| <= 1. With A nilpotent the Euler flows are exact:
// F_k = I + k dt A, K = [[dt, -0.505 a dt^2], [0, dt]], so D_k B = a dt^2
// (k - 0.505) and W_k = 1 + dt^2 (k (k + 1) / 2 - 0.505 k) / 2.
GameInput DoubleIntegrator(const std::string &a = "1") {
  return {.DimX = 2,
          .T = "4.1",
          .A = {{"0", a}, {"0", "0"}},
          .B = {{"0"}, {"1"}},
          .C = {{"0"}, {"1"}},
          .Pi = {{"1", "0"}},
          .X0 = {"5", "0"},
          .P = "abs(psi1)",
          .Q = "0.5*abs(psi1)",
          .M = "abs(psi1)"};
}

// Simple motion, the unit ball against the ball of radius 0.5: sections of
// radius 2 + k dt / 2 in the plane, 1 + k dt / 2 in space.
GameInput PlaneGame() { return SimpleMotion(2, 2, "0.5", "2", {"4.975", "0"}, "6"); }
GameInput SpaceGame() { return SimpleMotion(3, 3, "0.5", "1", {"0", "0", "2.475"}, "3"); }

struct Sinks {
  RecordingPointSink s5a, s5b, s6a, s6b;
  ControlSeries Series() { return {&s5a, &s5b, &s6a, &s6b}; }
};

// ---- Guaranteed time ---------------------------------------------------------

TEST(GuaranteedTime, LineGameStopsAtTheFirstCoveringSection) {
  // Section 1 is [-(2 + K), 2 + K], K the Euler sum of one step: a point
  // exactly on its end counts as captured, the next double does not. Where
  // the pursuer can only push upwards the sections grow downwards only.
  const double h = static_cast<double>(static_cast<long double>(0.1) / 100);
  double K = 0;
  for (int i = 0; i < 100; ++i)
    K = h * 1 + K;
  const auto text = [](double x) {
    char s[40];
    std::snprintf(s, sizeof s, "%.17g", x);
    return std::string(s);
  };
  const struct {
    std::string x0;
    const char *step;
    int k;
    const char *text, *p = "abs(psi1)";
  } cases[] = {
      {"0", "0.1", 1, "0.1"},
      {"-2.05", "0.1", 1, "0.1"},
      {"2.45", "0.1", 5, "0.5"},
      {"3.55", "0.1", 16, "1.6"},
      {"2.85", "0.3", 3, "0.9"},
      {"6.5", "1", 5, "5"},
      {text(2 + K), "0.1", 1, "0.1"},
      {text(std::nextafter(2 + K, 3.0)), "0.1", 2, "0.2"},
      {"-2.45", "0.1", 5, "0.5", "(psi1+abs(psi1))/2"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.x0);
    SolverState state;
    GameInput g = LineGame(c.x0);
    g.P = c.p;
    EXPECT_EQ(CalculateGuaranteedTime(state, g, {"10", true, c.step}), c.text);
    EXPECT_EQ(state.StepCount, c.k);
  }
}

TEST(GuaranteedTime, DoubleIntegratorPlaneAndSpace) {
  SolverState state;
  EXPECT_EQ(CalculateGuaranteedTime(state, DoubleIntegrator(), {"10", true}), "4.1");
  EXPECT_EQ(state.StepCount, 41);
  EXPECT_EQ(CalculateGuaranteedTime(state, PlaneGame(), {"36", true}), "6");
  EXPECT_EQ(state.StepCount, 60);
  EXPECT_EQ(CalculateGuaranteedTime(state, SpaceGame(), {"8", true}), "3");
  EXPECT_EQ(state.StepCount, 30);
  // On the cube grid too, which holds the direction (0, 0, 1).
  EXPECT_EQ(CalculateGuaranteedTime(state, SpaceGame(), {"3", false}), "3");
}

TEST(GuaranteedTime, RefusalsChangeNothing) {
  // Equal control sets: the sections never grow and the point stays out.
  GameInput same = LineGame("3");
  same.Q = same.P;
  // The A cell would not compile either; the step is reported first.
  GameInput badA = LineGame("1");
  badA.A = {{""}};
  const struct {
    GameInput game;
    const char *step, *message;
  } cases[] = {{same, "0.1", "10000"}, {badA, "0", "Шаг"}, {badA, "-0.1", "Шаг"}, {badA, "-0", "Шаг"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.step);
    SolverState state;
    state.StepCount = 7;
    state.TimeStep = 0.25;
    try {
      CalculateGuaranteedTime(state, c.game, {"2", false, c.step});
      ADD_FAILURE() << "no refusal";
    } catch (const ESolverError &e) {
      EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message();
    }
    EXPECT_EQ(state.StepCount, 7);
    EXPECT_EQ(state.TimeStep, 0.25);
  }
  SolverState state;
  EXPECT_THROW(CalculateGuaranteedTime(state, badA, {"10", true, "abc"}), rtl::EConvertError);
}

TEST(GuaranteedTime, LeavesTheLastIntegralAlone) {
  SolverState state;
  state.StepCount = 60;
  CalculateIntegral(state, PlaneGame(), {"36", true}, {});
  // Another grid and another step: the search must not touch the stored run.
  EXPECT_EQ(CalculateGuaranteedTime(state, PlaneGame(), {"8", false, "0.2"}), "6");
  EXPECT_EQ(state.StepCount, 30);
  EXPECT_EQ(state.GridCount, 36);
  // A plot still draws the 61 sections of that run on its 36 directions,
  // the last at the time 6 - 60 * 0.1.
  RecordingPointSink s4;
  PlotIntegral(state, 2, "6", {.Series4 = &s4});
  ASSERT_EQ(s4.Points.size(), 61u * 37u);
  EXPECT_NEAR(s4.Points.back().Y, 0, 1e-12);
}

// ---- The alternating integral ------------------------------------------------

TEST(AlternatingIntegral, LineGameControlsAndTrajectory) {
  SolverState state;
  Sinks sinks;
  // U = V = L needs the step count of a guaranteed-time search first.
  EXPECT_THROW(CalculateIntegral(state, LineGame("2.45"), {"10", true}, sinks.Series()), ESolverError);
  EXPECT_FALSE(state.HasSections);
  EXPECT_EQ(sinks.s5a.ClearCount, 0);

  GameInput g = LineGame("2.45");
  g.T = CalculateGuaranteedTime(state, g, {"10", true});
  ASSERT_EQ(g.T, "0.5");
  CalculateIntegral(state, g, {"10", true}, sinks.Series());
  // The pursuer pushes the point towards 0 by dt a step.
  ASSERT_EQ(state.TrajectoryPoints.size(), 6u);
  for (int j = 0; j <= 5; ++j)
    EXPECT_NEAR(state.TrajectoryPoints[j][0], 2.45 - 0.1 * j, 1e-13) << j;
  // One-dimensional controls are not plotted, but the series are emptied.
  for (RecordingPointSink *s : {&sinks.s5a, &sinks.s5b, &sinks.s6a, &sinks.s6b})
    EXPECT_EQ(s->ClearCount, 1);
  // From 0 both aiming values tie: the direction (-1) wins, so the pursuer
  // takes +1 and the point moves up.
  g = LineGame("0");
  g.T = "0.3";
  state.StepCount = 3;
  CalculateIntegral(state, g, {"10", true}, {});
  EXPECT_NEAR(state.TrajectoryPoints[1][0], 0.1, 1e-14);
}

TEST(AlternatingIntegral, DoubleIntegratorMatchesTheClosedForm) {
  // x1' = -x2 mirrors the game, with the same sections: the cells are read
  // with their signs as typed.
  for (const char *a : {"1", "-1"}) {
    SCOPED_TRACE(a);
    SolverState state;
    state.StepCount = 41;
    CalculateIntegral(state, DoubleIntegrator(a), {"10", true}, {});
    const double dt = 4.1 / 41;
    ASSERT_EQ(state.SectionRadius.size(), 42u);
    for (int k = 0; k <= 41; ++k) {
      const double w = 1 + dt * dt * (k * (k + 1) / 2.0 - 0.505 * k) / 2;
      EXPECT_NEAR(state.SectionRadius[k][0], w, 1e-12) << k;
      EXPECT_NEAR(state.SectionRadius[k][1], w, 1e-12) << k;
    }
    // The pursuer brakes with -1 at effect k dt, the evader pushes with 0.5:
    // each step moves the forecast by -dt^2 k / 2.
    double y = 5;
    for (int j = 0; j <= 41; ++j) {
      EXPECT_NEAR(state.TrajectoryPoints[j][0], y, 1e-12) << j;
      y -= dt * dt * (41 - j) / 2;
    }
  }
}

TEST(AlternatingIntegral, DiscsAndBallsGrowByTheSpeedDifference) {
  const struct {
    const char *name;
    GameInput game;
    const char *nod;
    int n;
    double target, start; // the target's radius, x0 along the axis
    int axis;
  } cases[] = {{"plane", PlaneGame(), "36", 60, 2, 4.975, 0}, {"space", SpaceGame(), "8", 30, 1, 2.475, 2}};
  auto along = [](const RecordingPointSink::Point &p, int axis) { return axis == 0 ? p.X : p.Z; };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    SolverState state;
    state.StepCount = c.n;
    Sinks sinks;
    CalculateIntegral(state, c.game, {c.nod, true}, sinks.Series());
    const int l = state.DimL;
    for (int k = 0; k <= c.n; ++k) {
      for (int j = 0; j < l; ++j)
        EXPECT_NEAR(state.SectionCenter[k][j], 0, 1e-13) << k;
      for (int i = 0; i < state.GridCount; ++i)
        EXPECT_NEAR(state.SectionRadius[k][i], c.target + 0.05 * k, 1e-12);
    }
    // Aiming along the axis of x0: the pursuer takes -1 on it, the evader
    // 0.5, and the point ends just inside the target.
    EXPECT_NEAR(state.TrajectoryPoints[c.n][c.axis], c.start - c.n * 0.05, 1e-12);
    RecordingPointSink &pursuer = l == 2 ? sinks.s5b : sinks.s6b;
    RecordingPointSink &evader = l == 2 ? sinks.s5a : sinks.s6a;
    ASSERT_EQ(pursuer.Points.size(), static_cast<size_t>(c.n));
    ASSERT_EQ(evader.Points.size(), static_cast<size_t>(c.n));
    EXPECT_NEAR(along(pursuer.Points[0], c.axis), -1, 1e-15);
    EXPECT_NEAR(along(evader.Points[0], c.axis), 0.5, 1e-15);
  }
}

TEST(AlternatingIntegral, FailuresLeaveTheStateAsItWas) {
  SolverState state;
  state.StepCount = 60;
  CalculateIntegral(state, PlaneGame(), {"36", true}, {});
  const std::vector<Vector> radius = state.SectionRadius;
  // Each on another grid, so that anything stored before the failure shows.
  const std::pair<const char *, std::function<void(GameInput &, SolverSettings &)>> cases[] = {
      {"T", [](GameInput &g, SolverSettings &) { g.T = "6,5"; }},
      {"B cell", [](GameInput &g, SolverSettings &) { g.B[1][0] = "x"; }},
      {"empty A cell", [](GameInput &g, SolverSettings &) { g.A[0][1] = ""; }},
      {"nodes", [](GameInput &, SolverSettings &s) { s.Nod = "1"; }},
      {"Q formula", [](GameInput &g, SolverSettings &) { g.Q = "sqrt(psi1-2)"; }},
      {"X0 cell", [](GameInput &g, SolverSettings &) { g.X0[1] = ""; }},
  };
  for (const auto &[what, spoil] : cases) {
    SCOPED_TRACE(what);
    GameInput game = PlaneGame();
    SolverSettings settings{"12", true};
    spoil(game, settings);
    EXPECT_THROW(CalculateIntegral(state, game, settings, {}), rtl::Exception);
    EXPECT_EQ(state.StepCount, 60);
    EXPECT_EQ(state.GridCount, 36);
    EXPECT_EQ(state.SectionRadius.back().Elements(), radius.back().Elements());
  }
}

// ---- Formula cells of A ------------------------------------------------------

// The oscillator x1' = a x2, x2' = -x1 of the plane example, a typed into
// the cell A(1, 2).
GameInput PlaneExample(const std::string &a) {
  GameInput g = SimpleMotion(2, 2, "0.5", "0.2", {"0.5", "0.3"}, "1");
  g.A = {{"0", a}, {"-1", "0"}};
  return g;
}

// Each cell its own test, so that one that fails or throws hides no other.
class ASumInACell : public ::testing::TestWithParam<const char *> {};

TEST_P(ASumInACell, IsOneTermOfTheFlow) {
  SolverState plain;
  const SolverSettings settings{"10", true, "0.1"};
  ASSERT_EQ(CalculateGuaranteedTime(plain, PlaneExample("1"), settings), "0.8");
  CalculateIntegral(plain, PlaneExample("1"), settings, {});
  SolverState state;
  EXPECT_EQ(CalculateGuaranteedTime(state, PlaneExample(GetParam()), settings), "0.8");
  EXPECT_EQ(state.StepCount, 8);
  CalculateIntegral(state, PlaneExample(GetParam()), settings, {});
  ASSERT_EQ(state.SectionRadius.size(), plain.SectionRadius.size());
  ASSERT_EQ(state.TrajectoryPoints.size(), plain.TrajectoryPoints.size());
  for (size_t k = 0; k < plain.SectionRadius.size(); ++k)
    for (int i = 0; i < state.GridCount; ++i) {
      EXPECT_NEAR(state.SectionRadius[k][i], plain.SectionRadius[k][i], 1e-12) << k;
      EXPECT_NEAR(state.SectionSupport[k][i], plain.SectionSupport[k][i], 1e-12) << k;
    }
  for (size_t j = 0; j < plain.TrajectoryPoints.size(); ++j)
    for (int c = 0; c < 2; ++c)
      EXPECT_NEAR(state.TrajectoryPoints[j][c], plain.TrajectoryPoints[j][c], 1e-12) << j;
}

INSTANTIATE_TEST_SUITE_P(FormulaCells, ASumInACell,
                         ::testing::Values("2-1", "0.5+0.5", "t+1-t", "(1)", "1+t-t", "0.1*10"));

TEST(FormulaCells, ATimeVaryingCellGivesTheFlowOfItsMatrix) {
  // x' = -a(t) x over one step for K, x' = k a(t) x over the k-th step for
  // F_k, with a(t) = 1 + t. With P = |psi|, Q = 0 and B = Pi = 1 each
  // section grows on both sides by K F_k.
  const int n = 5;
  const double dt = 0.1;
  const auto a = [](double t) { return 1 + t; };
  const auto euler = [](double factor, const auto &coef, double t0, double t1, double &sum) {
    const double h = (t1 - t0) / 100;
    double x = 1;
    sum = 0;
    for (int i = 0; i < 100; ++i) {
      x += h * factor * coef(t0 + i * h) * x;
      sum += h * x;
    }
    return x;
  };
  GameInput g = SimpleMotion(1, 1, "0", "2", {"3"}, "0.5");
  g.A = {{"1+t"}};
  SolverState state;
  state.StepCount = n;
  CalculateIntegral(state, g, {"2", false}, {});
  double K = 0, unused = 0;
  euler(-1, a, 0, dt, K);
  double w = 2;
  for (int k = 1; k <= n; ++k) {
    w += K * euler(k, a, (k - 1) * dt, k * dt, unused);
    for (int i = 0; i < 2; ++i)
      EXPECT_NEAR(state.SectionSupport[k][i], w, 1e-12) << k;
  }
}

TEST(FormulaCells, ATenByTenGameOfSumsComputesAsItsValues) {
  // Every cell a sum or difference of two exact parts: the flows are those
  // of the plain values, bit for bit.
  const int x = 10;
  const auto game = [&](bool sums) {
    GameInput g = SimpleMotion(1, 1, "0.5", "1", {"1"}, "0.3");
    g.DimX = x;
    g.A.assign(x, std::vector<std::string>(x));
    g.B.assign(x, {"0"});
    g.C.assign(x, {"0"});
    g.Pi = {std::vector<std::string>(x, "0")};
    g.X0.assign(x, "0");
    for (int r = 0; r < x; ++r)
      for (int c = 0; c < x; ++c) {
        const int q = (r * 7 + c * 3) % 9 - 4; // the cell is q / 4
        g.A[r][c] = sums ? rtl::FloatToStr(q * 0.5) + (q < 0 ? "+" : "-") + rtl::FloatToStr(std::abs(q) * 0.25)
                         : rtl::FloatToStr(q * 0.25);
      }
    g.B[x - 1][0] = g.C[x - 2][0] = g.Pi[0][0] = g.X0[0] = "1";
    return g;
  };
  SolverState plain, summed;
  plain.StepCount = summed.StepCount = 3;
  CalculateIntegral(plain, game(false), {"2", false}, {});
  CalculateIntegral(summed, game(true), {"2", false}, {});
  ASSERT_EQ(summed.SectionSupport.size(), 4u);
  for (int k = 0; k <= 3; ++k)
    EXPECT_EQ(summed.SectionSupport[k].Elements(), plain.SectionSupport[k].Elements()) << k;
  EXPECT_EQ(summed.TrajectoryPoints.back().Elements(), plain.TrajectoryPoints.back().Elements());
  EXPECT_NE(plain.SectionSupport[3][0], plain.SectionSupport[0][0]);
}

TEST(FormulaCells, ACellThatIsNoFormulaOfTimeAloneIsRefusedByBothButtons) {
  // Brackets that balance only with the flow text around the cell, the
  // state read from a cell, blanks and cells with nothing in them. The
  // message names the cell, quotes it and gives the parser's reason.
  const struct {
    const char *reason;
    std::vector<std::string> cells;
  } cases[] = {
      {"Error parsing expression", {"1)*X_1-(0", "1)+(1", "X_1", "t*x_1", "x", "2-", "()"}},
      {"Expression has blanks", {" 1", "1 ", "1+ t"}},
      {"пуста", {"", " "}},
  };
  for (const auto &c : cases)
    for (const std::string &cell : c.cells) {
      SCOPED_TRACE(cell);
      const auto expectRefusal = [&](const std::function<void()> &press) {
        try {
          press();
          ADD_FAILURE() << "no refusal";
        } catch (const ESolverError &e) {
          const std::string &m = e.Message();
          EXPECT_NE(m.find("матрицы A (строка 1, столбец 2) «" + cell + "»"), std::string::npos) << m;
          EXPECT_NE(m.find(c.reason), std::string::npos) << m;
        } catch (const std::exception &e) {
          ADD_FAILURE() << "another failure: " << e.what();
        }
      };
      SolverState state;
      state.StepCount = 8;
      expectRefusal([&] { CalculateIntegral(state, PlaneExample(cell), {"10", true}, {}); });
      EXPECT_FALSE(state.HasSections);
      expectRefusal([&] { CalculateGuaranteedTime(state, PlaneExample(cell), {"10", true}); });
      EXPECT_EQ(state.StepCount, 8);
    }
}

// ---- The horizon ---------------------------------------------------------------

TEST(Horizon, BelowZeroIsRefusedAndZeroComputes) {
  // After a guaranteed-time search of 8 steps; with V = 1 the step count is
  // 100 whatever the search found.
  GameInput oneEvader = SimpleMotion(2, 1, "0.5", "0.2", {"0.5", "0.3"}, "1");
  const struct {
    const char *T;
    GameInput game;
    bool refused;
    double dt = 0;
  } cases[] = {
      {"-1", PlaneExample("1"), true},    {"-0.8", PlaneExample("1"), true},      {"-1", oneEvader, true},
      {"0", PlaneExample("1"), false, 0}, {"0.8", PlaneExample("1"), false, 0.1}, {"0.8", oneEvader, false, 0.008},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::string(c.T) + (c.game.DimV == 1 ? " V = 1" : ""));
    SolverState state;
    ASSERT_EQ(CalculateGuaranteedTime(state, PlaneExample("1"), {"10", true}), "0.8");
    GameInput g = c.game;
    g.T = c.T;
    if (c.refused) {
      try {
        CalculateIntegral(state, g, {"10", true}, {});
        ADD_FAILURE() << "no refusal";
      } catch (const ESolverError &e) {
        EXPECT_NE(e.Message().find("отрицательн"), std::string::npos) << e.Message();
      }
      EXPECT_FALSE(state.HasSections);
      EXPECT_EQ(state.StepCount, 8);
      EXPECT_EQ(state.TimeStep, 0.1);
    } else {
      CalculateIntegral(state, g, {"10", true}, {});
      EXPECT_TRUE(state.HasSections);
      EXPECT_DOUBLE_EQ(state.TimeStep, c.dt);
    }
  }
}

} // namespace
