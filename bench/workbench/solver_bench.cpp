// "Рассчитать АИ" and the guaranteed-time search against the same
// computation written directly in C++, with the support functions and the
// right-hand sides as lambdas: how much the formula texts and the parser
// cost on top of the arithmetic itself. The ratios are printed at the end,
// from the median of the repetitions.
#include "workbench/Solver.h"

#include "bench/MedianReporter.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

using workbench::GameInput;
using workbench::SolverSettings;
using workbench::SolverState;

bool Smoke() { return std::getenv("KVEL_BENCH_SMOKE") != nullptr; }

using Support = std::function<double(const double *psi)>;

struct Case {
  const char *name;
  GameInput input;
  SolverSettings settings;
  int steps; // N of "Рассчитать АИ" (U = V = L)
  // The same game for the direct computation.
  int x, l;
  std::vector<double> a, pi; // row by row; B = C = identity
  Support p, q, m;
  int nodes;
  bool polarOrSpherical;
};

std::vector<std::vector<std::string>> Cells(const std::vector<double> &v, int rows, int cols) {
  std::vector<std::vector<std::string>> cells(rows, std::vector<std::string>(cols));
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%g", v[r * cols + c]);
      cells[r][c] = buf;
    }
  return cells;
}

std::vector<double> Identity(int n) {
  std::vector<double> m(n * n, 0.0);
  for (int i = 0; i < n; ++i)
    m[i * n + i] = 1;
  return m;
}

// A harmonic oscillator in the plane: both players act on the whole state,
// the pursuer with the unit disc, the evader with a disc of radius 0.5.
Case PlaneCase(int nodes) {
  Case c;
  c.name = nodes == 10 ? "plane_polar_10" : "plane_polar_360";
  c.x = c.l = 2;
  c.a = {0, 1, -1, 0};
  c.pi = Identity(2);
  c.input.DimX = c.input.DimU = c.input.DimV = c.input.DimL = 2;
  c.input.A = Cells(c.a, 2, 2);
  c.input.B = c.input.C = c.input.Pi = Cells(c.pi, 2, 2);
  c.input.X0 = {"3", "1"};
  c.input.P = "sqrt(psi1^2+psi2^2)";
  c.input.Q = "0.5*sqrt(psi1^2+psi2^2)";
  c.input.M = "0.5*sqrt(psi1^2+psi2^2)";
  c.p = [](const double *s) { return std::sqrt(s[0] * s[0] + s[1] * s[1]); };
  c.q = [](const double *s) { return 0.5 * std::sqrt(s[0] * s[0] + s[1] * s[1]); };
  c.m = c.q;
  c.nodes = nodes;
  c.polarOrSpherical = true;
  return c;
}

// A rotation about the third axis in space, balls as sets.
Case SpaceCase(bool spherical) {
  Case c;
  c.name = spherical ? "space_spherical_20" : "space_cube_10";
  c.x = c.l = 3;
  c.a = {0, 1, 0, -1, 0, 0, 0, 0, 0};
  c.pi = Identity(3);
  c.input.DimX = c.input.DimU = c.input.DimV = c.input.DimL = 3;
  c.input.A = Cells(c.a, 3, 3);
  c.input.B = c.input.C = c.input.Pi = Cells(c.pi, 3, 3);
  c.input.X0 = {"2", "1", "1"};
  c.input.P = "sqrt(psi1^2+psi2^2+psi3^2)";
  c.input.Q = "0.5*sqrt(psi1^2+psi2^2+psi3^2)";
  c.input.M = "0.5*sqrt(psi1^2+psi2^2+psi3^2)";
  c.p = [](const double *s) { return std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]); };
  c.q = [](const double *s) { return 0.5 * std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]); };
  c.m = c.q;
  c.nodes = spherical ? 20 : 10;
  c.polarOrSpherical = spherical;
  return c;
}

std::vector<Case> Cases() {
  std::vector<Case> cases = {PlaneCase(10), PlaneCase(360), SpaceCase(true), SpaceCase(false)};
  for (Case &c : cases) {
    c.steps = Smoke() ? 3 : 50;
    c.settings.Nod = std::to_string(c.nodes);
    c.settings.b1 = c.polarOrSpherical;
    c.settings.timestep = "0.1";
    c.input.T = Smoke() ? "0.3" : "5";
    // Close enough for the smoke run to be captured in a few steps.
    if (Smoke()) c.input.X0.assign(c.x, "0.5");
  }
  return cases;
}

// ---- The direct computation ------------------------------------------------

struct Mat {
  int r = 0, c = 0;
  std::vector<double> v;
  Mat(int rows, int cols) : r(rows), c(cols), v(rows * cols, 0.0) {}
  double &operator()(int i, int j) { return v[i * c + j]; }
  double operator()(int i, int j) const { return v[i * c + j]; }
};

Mat Mul(const Mat &a, const Mat &b) {
  Mat m(a.r, b.c);
  for (int i = 0; i < a.r; ++i)
    for (int j = 0; j < b.c; ++j) {
      double s = 0;
      for (int k = 0; k < a.c; ++k)
        s += a(i, k) * b(k, j);
      m(i, j) = s;
    }
  return m;
}

struct Direct {
  const Case &c;
  int g = 0;
  std::vector<double> dirs, gram;
  // The pairs facing each other (positive product), row by row as the
  // solver keeps them: for direction i the entries from start[i] to
  // start[i + 1] hold j, the product and its reciprocal.
  std::vector<int> start, index;
  std::vector<double> product, reciprocal;

  explicit Direct(const Case &cs) : c(cs) {
    const double pi = 3.141592653589793;
    const int k = c.nodes;
    if (c.polarOrSpherical && c.l == 2) {
      for (int j = 0; j < k; ++j) {
        dirs.push_back(std::cos(2 * j * pi / k));
        dirs.push_back(std::sin(2 * j * pi / k));
      }
    } else if (c.polarOrSpherical) {
      std::vector<double> theta(k, 0.0);
      const int h = k / 2;
      for (int m = 0; m < h; ++m)
        theta[m] = -pi * (h - m) / k;
      for (int m = 1; m <= h; ++m)
        theta[h + m - 1] = pi * m / k;
      for (int i = 0; i < k; ++i)
        for (int m = 0; m < k; ++m) {
          const double phi = (m + 1) * 2 * pi / k;
          dirs.push_back(std::cos(theta[i]) * std::cos(phi));
          dirs.push_back(std::cos(theta[i]) * std::sin(phi));
          dirs.push_back(std::sin(theta[i]));
        }
    } else {
      const int d = c.l;
      int p = 1;
      for (int e = 1; e < d; ++e)
        p *= k;
      for (int a = 0; a < d; ++a)
        for (int s = 0; s < 2; ++s)
          for (int cc = 0; cc < p; ++cc) {
            std::vector<double> v(d);
            v[a] = s == 0 ? -1 : 1;
            int rest = cc;
            for (int comp = d - 1; comp >= 0; --comp) {
              if (comp == a) continue;
              v[comp] = (rest % k) * 2.0 / (k - 1) - 1;
              rest /= k;
            }
            double len = 0;
            for (double x : v)
              len += x * x;
            len = std::sqrt(len);
            for (double x : v)
              dirs.push_back(x / len);
          }
    }
    g = static_cast<int>(dirs.size()) / c.l;
    gram.resize(static_cast<size_t>(g) * g);
    start.push_back(0);
    for (int i = 0; i < g; ++i) {
      for (int j = 0; j < g; ++j) {
        const double d = Dot(Dir(i), Dir(j));
        gram[i * g + j] = d;
        if (d > 0) {
          index.push_back(j);
          product.push_back(d);
          reciprocal.push_back(1 / d);
        }
      }
      start.push_back(static_cast<int>(index.size()));
    }
  }

  const double *Dir(int i) const { return &dirs[i * c.l]; }
  double Dot(const double *a, const double *b) const {
    double s = 0;
    for (int j = 0; j < c.l; ++j)
      s += a[j] * b[j];
    return s;
  }

  // Euler in 100 steps of x' = factor * A x from e_b; returns end point or sum.
  Mat Flow(double factor, double t0, double t1, bool quadrature) const {
    const int n = c.x;
    Mat out(n, n);
    const double h = (t1 - t0) / 100;
    auto f = [&](const std::vector<double> &x, std::vector<double> &dx) {
      for (int i = 0; i < n; ++i) {
        double s = 0;
        for (int j = 0; j < n; ++j)
          s += factor * c.a[i * n + j] * x[j];
        dx[i] = s;
      }
    };
    std::vector<double> x(n), dx(n), acc(n);
    for (int b = 0; b < n; ++b) {
      std::fill(x.begin(), x.end(), 0.0);
      std::fill(acc.begin(), acc.end(), 0.0);
      x[b] = 1;
      for (int i = 0; i < 100; ++i) {
        f(x, dx);
        for (int j = 0; j < n; ++j)
          x[j] += h * dx[j];
        for (int j = 0; j < n; ++j)
          acc[j] += h * x[j];
      }
      for (int r = 0; r < n; ++r)
        out(r, b) = quadrature ? acc[r] : x[r];
    }
    return out;
  }

  void Post(std::vector<double> &w, std::vector<double> &s, std::vector<double> &r, const std::vector<double> *prev) {
    const int l = c.l;
    std::fill(s.begin(), s.end(), 0.0);
    for (int i = 0; i < g; ++i)
      for (int j = 0; j < l; ++j)
        s[j] += double(l) / g * w[i] * Dir(i)[j];
    for (int i = 0; i < g; ++i)
      w[i] -= Dot(s.data(), Dir(i));
    // As in the solver, a quotient whose estimate through the stored
    // reciprocal lies above the best one so far (widened by the estimate's
    // rounding) cannot win and is not divided. The values here are far from
    // overflowing, where the estimate would mislead.
    std::vector<int> cand(g);
    for (int i = 0; i < g; ++i) {
      double best = std::numeric_limits<double>::infinity(), threshold = best;
      int arg = 0;
      for (int p = start[i]; p < start[i + 1]; ++p) {
        const int j = index[p];
        if (!(w[j] * reciprocal[p] <= threshold)) continue;
        const double q = w[j] / product[p];
        if (q < best) {
          best = q;
          threshold = best + (std::abs(best) * 1e-15 + 1e-300);
          arg = j + 1;
        }
      }
      r[i] = best;
      cand[i] = arg;
    }
    const std::vector<double> &fill = prev ? *prev : r;
    for (int i = 0; i < g; ++i)
      if (cand[i] == 0) {
        double best = -std::numeric_limits<double>::infinity();
        for (int j = 0; j < g; ++j)
          best = std::max(best, fill[j] * gram[i * g + j]);
        w[i] = best;
      }
    for (int i = 0; i < g; ++i)
      w[i] += Dot(s.data(), Dir(i));
  }

  // One backward step from prev into cur; returns Pi F_k.
  Mat Step(const Mat &k, const Mat &piM, int step, double dt, const std::vector<double> &prev,
           std::vector<double> &cur) const {
    const Mat fk = Flow(step, (step - 1) * dt, step * dt, false);
    const Mat d = Mul(piM, Mul(k, fk));
    const int l = c.l;
    std::vector<double> w(l);
    for (int i = 0; i < g; ++i) {
      // B = C = identity: the maps are -D^T and D^T.
      for (int r = 0; r < c.x; ++r) {
        double s = 0;
        for (int cc = 0; cc < l; ++cc)
          s += -d(cc, r) * Dir(i)[cc];
        w[r] = s;
      }
      const double wp = c.p(w.data());
      for (int r = 0; r < c.x; ++r)
        w[r] = -w[r];
      cur[i] = prev[i] + wp - c.q(w.data());
    }
    return Mul(piM, fk);
  }

  Mat PiMat() const {
    Mat m(c.l, c.x);
    m.v = c.pi;
    return m;
  }

  void Integral(int n, double dt) {
    const Mat k = Flow(-1, 0, dt, true);
    const Mat piM = PiMat();
    std::vector<std::vector<double>> w(n + 1, std::vector<double>(g)), rad(n + 1, std::vector<double>(g)),
        cen(n + 1, std::vector<double>(c.l));
    for (int i = 0; i < g; ++i)
      w[0][i] = c.m(Dir(i));
    Post(w[0], cen[0], rad[0], &rad[0]);
    std::vector<Mat> piF;
    for (int s = 1; s <= n; ++s) {
      piF.push_back(Step(k, piM, s, dt, w[s - 1], w[s]));
      Post(w[s], cen[s], rad[s], &rad[s - 1]);
    }
    // Extremal aiming with the candidate points P(psi) psi and Q(psi) psi.
    std::vector<double> y(c.l, 0.0), x0(c.x);
    for (int i = 0; i < c.x; ++i)
      x0[i] = std::atof(c.input.X0[i].c_str());
    const Mat &pn = piF[n - 1];
    for (int r = 0; r < c.l; ++r)
      for (int j = 0; j < c.x; ++j)
        y[r] += pn(r, j) * x0[j];
    for (int s = n; s >= 1; --s) {
      const Mat &pf = piF[s - 1];
      int m = 0;
      double best = std::numeric_limits<double>::infinity();
      for (int i = 0; i < g; ++i) {
        const double v = w[s][i] - Dot(y.data(), Dir(i));
        if (v < best) best = v, m = i;
      }
      int iu = 0, iv = 0;
      double lo = std::numeric_limits<double>::infinity(), hi = -lo;
      for (int i = 0; i < g; ++i) {
        const double *dir = Dir(i);
        double eu = 0, ev = 0;
        for (int r = 0; r < c.l; ++r) {
          double t = 0;
          for (int j = 0; j < c.l; ++j)
            t += pf(r, j) * dir[j];
          eu += t * Dir(m)[r];
        }
        ev = eu * c.q(dir);
        eu *= c.p(dir);
        if (eu < lo) lo = eu, iu = i;
        if (ev > hi) hi = ev, iv = i;
      }
      for (int r = 0; r < c.l; ++r) {
        double a = 0, b = 0;
        for (int j = 0; j < c.l; ++j) {
          a += pf(r, j) * Dir(iu)[j] * c.p(Dir(iu));
          b += pf(r, j) * Dir(iv)[j] * c.q(Dir(iv));
        }
        for (int e = 0; e < 100; ++e)
          y[r] += dt / 100 * (a + b);
      }
    }
    benchmark::DoNotOptimize(y.data());
  }

  int GuaranteedTime(double dt) {
    const Mat k = Flow(-1, 0, dt, true);
    const Mat piM = PiMat();
    std::vector<double> prev(g), cur(g), s(c.l), r(g), x0(c.x);
    for (int i = 0; i < c.x; ++i)
      x0[i] = std::atof(c.input.X0[i].c_str());
    for (int i = 0; i < g; ++i)
      prev[i] = c.m(Dir(i));
    for (int step = 1; step <= 10000; ++step) {
      const Mat pf = Step(k, piM, step, dt, prev, cur);
      Post(cur, s, r, nullptr);
      std::vector<double> y(c.l, 0.0);
      for (int i = 0; i < c.l; ++i)
        for (int j = 0; j < c.x; ++j)
          y[i] += pf(i, j) * x0[j];
      int misses = 0;
      for (int i = 0; i < g; ++i)
        if (cur[i] < Dot(y.data(), Dir(i))) ++misses;
      if (misses == 0) return step;
      prev = cur;
    }
    return 0;
  }
};

// ---- Benchmarks ------------------------------------------------------------

void SolverIntegral(benchmark::State &st, Case c) {
  for (auto _ : st) {
    SolverState state;
    state.StepCount = c.steps;
    workbench::CalculateIntegral(state, c.input, c.settings, {});
    benchmark::DoNotOptimize(state.SectionRadius.data());
  }
}

void DirectIntegral(benchmark::State &st, Case c) {
  const double dt = std::atof(c.input.T.c_str()) / c.steps;
  for (auto _ : st) {
    Direct d(c);
    d.Integral(c.steps, dt);
  }
}

void SolverCapture(benchmark::State &st, Case c) {
  std::string text;
  for (auto _ : st) {
    SolverState state;
    text = workbench::CalculateGuaranteedTime(state, c.input, c.settings);
    benchmark::DoNotOptimize(text.data());
  }
  st.SetLabel("T = " + text);
}

void DirectCapture(benchmark::State &st, Case c) {
  int steps = 0;
  for (auto _ : st) {
    Direct d(c);
    steps = d.GuaranteedTime(0.1);
    benchmark::DoNotOptimize(steps);
  }
  st.SetLabel(std::to_string(steps) + " steps");
}

// solver / direct for every benchmark pair, from the median of each one's
// repetitions.
void PrintRatios(const bench_support::MedianReporter &reporter) {
  const std::map<std::string, double> ns = reporter.MedianNs();
  std::printf("\nsolver / direct (target: at most 2)\n");
  for (const auto &[name, t] : ns) {
    if (name.rfind("solver/", 0) != 0) continue;
    const auto it = ns.find("direct/" + name.substr(7));
    if (it == ns.end() || it->second <= 0) continue;
    std::printf("  %-32s %6.2f\n", name.substr(7).c_str(), t / it->second);
  }
}

} // namespace

int main(int argc, char **argv) {
  for (const Case &c : Cases()) {
    const std::string n = c.name;
    for (benchmark::internal::Benchmark *b :
         {benchmark::RegisterBenchmark(("solver/integral/" + n).c_str(), SolverIntegral, c),
          benchmark::RegisterBenchmark(("direct/integral/" + n).c_str(), DirectIntegral, c),
          benchmark::RegisterBenchmark(("solver/capture/" + n).c_str(), SolverCapture, c),
          benchmark::RegisterBenchmark(("direct/capture/" + n).c_str(), DirectCapture, c)}) {
      b->Unit(benchmark::kMillisecond);
      if (Smoke()) b->Iterations(1);
    }
  }
  benchmark::Initialize(&argc, argv);
  bench_support::MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatios(reporter);
  benchmark::Shutdown();
  return 0;
}
