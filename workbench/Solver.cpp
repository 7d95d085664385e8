#include "workbench/Solver.h"

#include "parser/FormulaParser.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatFaults.h"
#include "workbench/FunctionUnit.h"
#include "workbench/MethodUnit.h"
#include "workbench/Sections.h"
#include "workbench/SupportEval.h"

#include <cmath>
#include <limits>

namespace workbench {

namespace {

// Euler steps per time step, in every integration.
constexpr int kEulerSteps = 100;
// Time steps of "Рассчитать АИ" unless U = V = L.
constexpr int kDefaultStepCount = 100;

const std::string &Cell(const std::vector<std::vector<std::string>> &grid, int row, int col) {
  static const std::string empty;
  if (row < 0 || row >= static_cast<int>(grid.size())) return empty;
  const auto &r = grid[row];
  if (col < 0 || col >= static_cast<int>(r.size())) return empty;
  return r[col];
}

Matrix ReadMatrix(const std::vector<std::vector<std::string>> &cells, int rows, int cols) {
  Matrix m(rows, cols);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      m(r, c) = rtl::StrToFloat(Cell(cells, r, c));
  return m;
}

Vector ReadColumn(const std::vector<std::string> &cells, int rows) {
  static const std::string empty;
  Vector v(rows);
  for (int r = 0; r < rows; ++r)
    v[r] = rtl::StrToFloat(r < static_cast<int>(cells.size()) ? cells[r] : empty);
  return v;
}

Matrix Product(const Matrix &a, const Matrix &b) {
  Vector flat(a.Rows() * b.Cols());
  Matrix::MultiplyToVector(flat, a, b);
  Matrix m(a.Rows(), b.Cols());
  m.FillFromVector(flat, a.Rows(), b.Cols());
  return m;
}

Vector UnitVector(int n, int b) {
  Vector e(n);
  e[b] = 1;
  return e;
}

// The right-hand side as formula texts: "0", then for every column c the
// factor ("-" for the reversed flow x' = -A x, "+k*" for x' = k A x), the
// cell in brackets and "*x_" c. The cells go in as typed, so the parser
// reads them; the brackets keep a cell such as "t+1" one term of the sum
// instead of letting its own sum spill into the flow's.
std::vector<std::string> FlowTexts(const GameInput &game, const std::string &factor) {
  std::vector<std::string> texts(game.DimX);
  for (int r = 0; r < game.DimX; ++r) {
    std::string t = "0";
    for (int c = 1; c <= game.DimX; ++c) {
      t += factor;
      t += '(';
      t += Cell(game.A, r, c - 1);
      t += ")*x_";
      t += rtl::IntToStr(c);
    }
    texts[r] = std::move(t);
  }
  return texts;
}

// Each cell of A must be a formula of t by itself before it goes into the
// flow texts: there its brackets could pair with the text around it, and
// the state variables the texts define would make the game non-linear while
// its flows are still computed as a linear game's. A parser that knows no
// variable but t refuses both.
void CheckFlowCells(const GameInput &input) {
  parser::TParser cell;
  cell.ClearVariables();
  cell.SetVariable("t", 0);
  for (int r = 0; r < input.DimX; ++r)
    for (int c = 0; c < input.DimX; ++c) {
      const std::string &text = Cell(input.A, r, c);
      if (text.find_first_not_of(' ') == std::string::npos)
        throw ESolverError(MsgBadACell(r + 1, c + 1, text, MsgEmptyCell()));
      try {
        // The parser cuts blanks at the ends of its text, but a cell's ends
        // lie inside the flow text: any blank is refused.
        if (text.find(' ') != std::string::npos) throw parser::EExpressionHasBlanks();
        cell.SetExpression(text);
      } catch (const parser::EMathParserError &e) {
        throw ESolverError(MsgBadACell(r + 1, c + 1, text, e.Message()));
      }
    }
}

// Everything one run reads from the input, converted in the order in which
// its errors are reported.
struct Game {
  int X = 0, U = 0, V = 0, L = 0;
  Matrix B, C, Pi;
  Matrix K; // the step integral
};

void ReadMatrices(const GameInput &input, Game &game) {
  game.X = input.DimX;
  game.U = input.DimU;
  game.V = input.DimV;
  game.L = input.DimL;
  game.B = ReadMatrix(input.B, game.X, game.U);
  game.C = ReadMatrix(input.C, game.X, game.V);
  game.Pi = ReadMatrix(input.Pi, game.L, game.X);
}

// Column b: the flow of the texts' right-hand side from e_b over [t0, t1],
// its end point or, for the quadrature, the Euler sum over the steps.
Matrix FlowColumns(const GameInput &input, const std::string &factor, double t0, double t1, bool quadrature) {
  const int x = input.DimX;
  VFunc f(FlowTexts(input, factor), "x", x);
  Matrix m(x, x);
  Vector end(x);
  for (int b = 0; b < x; ++b) {
    const Vector acc = EulerIntegrate(end, f, UnitVector(x, b), t0, t1, kEulerSteps);
    const Vector &column = quadrature ? acc : end;
    for (int r = 0; r < x; ++r)
      m(r, b) = column[r];
  }
  return m;
}

// K: the Euler quadrature of the reversed flow over one step.
Matrix StepIntegral(const GameInput &input, double dt) { return FlowColumns(input, "-", 0, dt, true); }

// F_k, the flow of A over the time-to-go k*dt: k A integrated over the k-th
// step.
Matrix Flow(const GameInput &input, int k, double dt) {
  return FlowColumns(input, "+" + rtl::IntToStr(k) + "*", (k - 1) * dt, k * dt, false);
}

// One backward step: Wp and Wq on the grid for D_k = Pi K F_k.
struct StepTerms {
  Matrix PiF;
  Vector Wp, Wq;
};

void StepTermsFor(const GameInput &input, const Game &game, int k, double dt, const DirectionGrid &grid,
                  SupportFormula &p, SupportFormula &q, StepTerms &out) {
  const Matrix fk = Flow(input, k, dt);
  out.PiF = Product(game.Pi, fk);
  const Matrix d = Product(game.Pi, Product(game.K, fk));
  Matrix ep = Product(d, game.B);
  for (int r = 0; r < ep.Rows(); ++r)
    for (int c = 0; c < ep.Cols(); ++c)
      ep(r, c) = -ep(r, c);
  ep.Transpose();
  Matrix eq = Product(d, game.C);
  eq.Transpose();
  out.Wp = Vector(grid.Count);
  out.Wq = Vector(grid.Count);
  p.EvalOnMappedGrid(grid, ep, out.Wp.Data());
  q.EvalOnMappedGrid(grid, eq, out.Wq.Data());
}

// W_cur[i] := (W_prev[i] + Wp[i]) - Wq[i].
void SumStep(const double *prev, const StepTerms &terms, double *cur, int g) {
  rtl::ClearFloatFaults();
  const double *wp = terms.Wp.Data();
  const double *wq = terms.Wq.Data();
  for (int i = 0; i < g; ++i)
    cur[i] = prev[i] + wp[i] - wq[i];
  rtl::CheckFloatFaults();
}

double ArgDot(const Vector &a, const double *dir, int n) { return DirDot(a.Data(), dir, n); }

// The point whose effect map * point has the lowest product with aim, or
// the highest; the first of equal ones. effect is the scratch for the
// effect.
int Extremal(const Matrix &map, const std::vector<Vector> &points, const Vector &aim, Vector &effect, bool highest) {
  double best = highest ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  int arg = 0;
  for (int i = 0; i < static_cast<int>(points.size()); ++i) {
    effect.SetProduct(map, points[i]);
    const double v = effect.Dot(aim);
    if (highest ? v > best : v < best) {
      best = v;
      arg = i;
    }
  }
  return arg;
}

// The extremal-aiming game played forward on the computed sections.
struct ControlsResult {
  std::vector<Vector> PursuerPoints, EvaderPoints, TrajectoryPoints;
};

ControlsResult PlayControls(const GameInput &input, const Game &game, const DirectionGrid &grid, int n, double dt,
                            double horizon, const std::vector<Vector> &sections, const std::vector<Matrix> &piF,
                            const Vector &pursuerSupport, const Vector &evaderSupport, const ControlSeries &series) {
  const int g = grid.Count;
  const int l = game.L;
  ControlsResult res;
  res.TrajectoryPoints.assign(n + 1, Vector(l));
  res.PursuerPoints.reserve(g);
  res.EvaderPoints.reserve(g);
  for (int i = 0; i < g; ++i) {
    Vector p(l), q(l);
    for (int c = 0; c < l; ++c) {
      p[c] = grid.Dir(i)[c];
      q[c] = grid.Dir(i)[c];
    }
    p.Scale(pursuerSupport[i]);
    q.Scale(evaderSupport[i]);
    res.PursuerPoints.push_back(std::move(p));
    res.EvaderPoints.push_back(std::move(q));
  }
  for (IPointSink *s : {series.Form5Series1, series.Form5Series2, series.Form6Series3, series.Form6Series4})
    if (s) s->ClearPoints();
  IPointSink *pursuerSink = l == 2 ? series.Form5Series2 : l == 3 ? series.Form6Series4 : nullptr;
  IPointSink *evaderSink = l == 2 ? series.Form5Series1 : l == 3 ? series.Form6Series3 : nullptr;
  auto plot = [l](IPointSink *sink, const Vector &v) {
    if (!sink) return;
    if (l == 2)
      sink->AddPointXY(v[0], v[1]);
    else
      sink->AddPointXYZ(v[0], v[1], v[2]);
  };

  constexpr double inf = std::numeric_limits<double>::infinity();
  Vector effect(l), a(l), b(l);
  for (int k = n; k >= 1; --k) {
    const int j = n - k;
    const Matrix &pf = piF[k - 1];
    if (k == n) {
      const Vector x0 = ReadColumn(input.X0, game.X);
      res.TrajectoryPoints[0].SetProduct(pf, x0);
    }
    const Vector &y = res.TrajectoryPoints[j];
    // The direction in which the forecast leaves the section most.
    const double *w = sections[k].Data();
    double best = inf;
    int m = 0;
    rtl::ClearFloatFaults();
    for (int i = 0; i < g; ++i) {
      const double v = w[i] - ArgDot(y, grid.Dir(i), l);
      if (v < best) {
        best = v;
        m = i;
      }
    }
    rtl::CheckFloatFaults();
    Vector aim(l);
    for (int c = 0; c < l; ++c)
      aim[c] = grid.Dir(m)[c];

    const Matrix mu = Product(pf, game.B);
    const int iu = Extremal(mu, res.PursuerPoints, aim, effect, false);
    a.SetProduct(mu, res.PursuerPoints[iu]);
    plot(pursuerSink, res.PursuerPoints[iu]);

    const Matrix mv = Product(pf, game.C);
    const int iv = Extremal(mv, res.EvaderPoints, aim, effect, true);
    b.SetProduct(mv, res.EvaderPoints[iv]);
    plot(evaderSink, res.EvaderPoints[iv]);

    // The step of the forecast, through formula texts of the two effects.
    std::vector<std::string> texts(l);
    for (int r = 0; r < l; ++r) {
      texts[r] = "0+";
      texts[r] += rtl::FloatToStr(a[r]);
      texts[r] += '+';
      texts[r] += rtl::FloatToStr(b[r]);
    }
    VFunc f(texts, "x", l);
    const double t0 = horizon - k * dt;
    const double t1 = horizon - (k - 1) * dt;
    (void)EulerIntegrate(res.TrajectoryPoints[j + 1], f, res.TrajectoryPoints[j], t0, t1, kEulerSteps);
  }
  return res;
}

} // namespace

void CalculateIntegral(SolverState &state, const GameInput &input, const SolverSettings &settings,
                       const ControlSeries &series) {
  // 1. Steps and step length.
  const double horizon = rtl::StrToFloat(input.T);
  // The sections run back from T to the time 0: below 0 they would run the
  // other way.
  if (horizon < 0) throw ESolverError(MsgNegativeHorizon());
  const bool square = input.DimU == input.DimV && input.DimU == input.DimL;
  int n;
  if (square) {
    n = state.StepCount;
    if (n <= 0) throw ESolverError(MsgNoStepCount());
  } else {
    n = kDefaultStepCount;
  }
  const double dt = rtl::Checked([&] { return horizon / n; });

  // 2. and 3. The matrices and the step integral.
  Game game;
  ReadMatrices(input, game);
  CheckFlowCells(input);
  game.K = StepIntegral(input, dt);

  // 4. The grid.
  DirectionGrid grid = ChooseGrid(settings.Nod, settings.b1, game.L);
  const int g = grid.Count;
  RadialTable table(grid);

  // 5. The sets on the grid, M first, then P and Q.
  SupportFormula m(input.M, game.L), p(input.P, game.U), q(input.Q, game.V);
  Vector terminal(g), pursuer, evader;
  m.EvalOnGrid(grid, terminal.Data());
  if (square) {
    pursuer = Vector(g);
    evader = Vector(g);
    p.EvalOnGrid(grid, pursuer.Data());
    q.EvalOnGrid(grid, evader.Data());
  }

  // 6. and 7. The sections.
  std::vector<Vector> support(n + 1, Vector(g)), radius(n + 1, Vector(g)), center(n + 1, Vector(game.L));
  std::vector<int> candidate;
  support[0].Assign(terminal);
  PostProcessSection(table, support[0].Data(), center[0].Data(), radius[0].Data(), candidate, TFillFrom::None, nullptr);
  std::vector<Matrix> piF;
  piF.reserve(n);
  StepTerms terms;
  for (int k = 1; k <= n; ++k) {
    StepTermsFor(input, game, k, dt, grid, p, q, terms);
    piF.push_back(std::move(terms.PiF));
    SumStep(support[k - 1].Data(), terms, support[k].Data(), g);
    PostProcessSection(table, support[k].Data(), center[k].Data(), radius[k].Data(), candidate, TFillFrom::Previous,
                       radius[k - 1].Data());
  }

  // 9. The controls and the trajectory.
  ControlsResult controls;
  if (square) controls = PlayControls(input, game, grid, n, dt, horizon, support, piF, pursuer, evader, series);

  state.DimX = game.X;
  state.DimU = game.U;
  state.DimV = game.V;
  state.DimL = game.L;
  if (!square) state.StepCount = n;
  state.TimeStep = dt;
  state.GridCount = g;
  state.GridDirs = std::move(grid);
  state.SectionSupport = std::move(support);
  state.SectionRadius = std::move(radius);
  state.SectionCenter = std::move(center);
  state.HasSections = true;
  state.SectionSteps = n;
  state.SectionTimeStep = dt;
  state.SectionsHaveTrajectory = square;
  state.TerminalSupport = std::move(terminal);
  if (square) {
    state.PursuerSupport = std::move(pursuer);
    state.EvaderSupport = std::move(evader);
    state.PursuerPoints = std::move(controls.PursuerPoints);
    state.EvaderPoints = std::move(controls.EvaderPoints);
    state.TrajectoryPoints = std::move(controls.TrajectoryPoints);
    state.ControlsDimL = game.L;
  }
}

std::string CalculateGuaranteedTime(SolverState &state, const GameInput &input, const SolverSettings &settings) {
  // 1. The step; anything but a positive number would never reach capture.
  const double dt = rtl::StrToFloat(settings.timestep);
  if (!(dt > 0) || !std::isfinite(dt)) throw ESolverError(MsgBadTimeStep());

  // 2. and 3. The matrices, x0 and the step integral.
  Game game;
  ReadMatrices(input, game);
  const Vector x0 = ReadColumn(input.X0, game.X);
  CheckFlowCells(input);
  game.K = StepIntegral(input, dt);

  // 4. and 5. A grid of this search's own, and M on it.
  const DirectionGrid grid = ChooseGrid(settings.Nod, settings.b1, game.L);
  const int g = grid.Count;
  RadialTable table(grid);
  SupportFormula m(input.M, game.L), p(input.P, game.U), q(input.Q, game.V);
  Vector prev(g), cur(g), s(game.L), r(g), y(game.L);
  m.EvalOnGrid(grid, prev.Data());

  // 6. Backwards until the forecast lies in the section.
  std::vector<int> candidate;
  StepTerms terms;
  for (int k = 1; k <= kMaxCaptureSteps; ++k) {
    StepTermsFor(input, game, k, dt, grid, p, q, terms);
    SumStep(prev.Data(), terms, cur.Data(), g);
    PostProcessSection(table, cur.Data(), s.Data(), r.Data(), candidate, TFillFrom::Current, nullptr);
    y.SetProduct(terms.PiF, x0);
    int misses = 0;
    rtl::ClearFloatFaults();
    for (int i = 0; i < g; ++i)
      if (cur[i] < ArgDot(y, grid.Dir(i), game.L)) ++misses;
    rtl::CheckFloatFaults();
    if (misses == 0) {
      state.StepCount = k;
      state.TimeStep = dt;
      return rtl::FloatToStr(rtl::Checked([&] { return k * dt; }));
    }
    prev.Assign(cur);
  }
  throw ESolverError(MsgNoCapture());
}

} // namespace workbench
