// Nanoseconds per Value() read and per compilation for formulas of the
// workbench's kind, measured against muparser and against the formula
// written as C++. A summary of the ratios follows the usual table, from the
// median of the repetitions.
#include "parser/FormulaParser.h"

#include "bench/MedianReporter.h"

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

struct Case {
  const char *name;
  std::string formula;
  std::vector<std::pair<std::string, double>> variables;
  // The same formula as C++, reading the variables in the order listed.
  std::function<double(const double *const *)> native;
};

std::string LinearForm() {
  std::string s;
  for (int i = 1; i <= 10; ++i)
    s += (i > 1 ? "+a_" : "a_") + std::to_string(i) + "*x_" + std::to_string(i);
  return s;
}

std::vector<std::pair<std::string, double>> LinearVariables() {
  std::vector<std::pair<std::string, double>> v;
  for (int i = 1; i <= 10; ++i) {
    v.emplace_back("a_" + std::to_string(i), 0.1 * i);
    v.emplace_back("x_" + std::to_string(i), 1.0 / i);
  }
  return v;
}

const std::vector<Case> &Cases() {
  static const std::vector<Case> cases = {
      {"spherical",
       "cos(Theta)*cos(Phi)",
       {{"Theta", 0.3}, {"Phi", 0.7}},
       [](const double *const *v) { return std::cos(*v[0]) * std::cos(*v[1]); }},
      {"norm",
       "2*sqrt(psi1^2+psi2^2)",
       {{"psi1", 0.6}, {"psi2", 0.8}},
       [](const double *const *v) { return 2 * std::sqrt(*v[0] * *v[0] + *v[1] * *v[1]); }},
      {"abs",
       "abs(psi1)+abs(psi2)+0.5*psi3",
       {{"psi1", 0.6}, {"psi2", -0.8}, {"psi3", 0.1}},
       [](const double *const *v) { return std::fabs(*v[0]) + (std::fabs(*v[1]) + 0.5 * *v[2]); }},
      {"linear10", LinearForm(), LinearVariables(),
       [](const double *const *v) {
         double s = *v[18] * *v[19];
         for (int i = 8; i >= 0; --i)
           s = *v[2 * i] * *v[2 * i + 1] + s;
         return s;
       }},
      {"powers",
       "exp(-(x_1^2+x_2^2)/2)*x_3^3+x_4^2.5",
       {{"x_1", 0.3}, {"x_2", 0.4}, {"x_3", 1.5}, {"x_4", 2.0}},
       [](const double *const *v) {
         return std::exp(-(*v[0] * *v[0] + *v[1] * *v[1]) / 2) * (*v[2] * *v[2] * *v[2]) + std::pow(*v[3], 2.5);
       }},
  };
  return cases;
}

// The three contenders read the same storage: the parser's variables.
struct Fixture {
  parser::TParser kvel;
  mu::Parser mu;
  std::vector<double *> vars;
  double base0 = 0;

  explicit Fixture(const Case &c) {
    for (const auto &[name, value] : c.variables) {
      double *p = kvel.SetVariable(name, value);
      vars.push_back(p);
      mu.DefineVar(name, p);
    }
    kvel.SetExpression(c.formula);
    mu.SetExpr(c.formula);
    base0 = *vars[0];
    const double a = static_cast<double>(kvel.Value()), b = mu.Eval(), n = c.native(vars.data());
    if (std::fabs(a - b) > 1e-12 * std::fabs(b) || std::fabs(a - n) > 1e-12 * std::fabs(n)) {
      std::fprintf(stderr, "%s: values differ: %.17g %.17g %.17g\n", c.name, a, b, n);
      std::abort();
    }
  }
  // A changing variable keeps the work inside the loop.
  void Step(std::size_t i) { *vars[0] = base0 + static_cast<double>(i & 1023) * 1e-6; }
};

void EvalKvel(benchmark::State &state, const Case &c) {
  Fixture f(c);
  std::size_t i = 0;
  for (auto _ : state) {
    f.Step(++i);
    benchmark::DoNotOptimize(f.kvel.Value());
  }
}

void EvalMuparser(benchmark::State &state, const Case &c) {
  Fixture f(c);
  std::size_t i = 0;
  for (auto _ : state) {
    f.Step(++i);
    benchmark::DoNotOptimize(f.mu.Eval());
  }
}

void EvalNative(benchmark::State &state, const Case &c) {
  Fixture f(c);
  const double *const *v = f.vars.data();
  benchmark::DoNotOptimize(v);
  std::size_t i = 0;
  for (auto _ : state) {
    f.Step(++i);
    benchmark::DoNotOptimize(c.native(v));
  }
}

// Compilation, each followed by one evaluation: muparser parses on first use.
void CompileKvel(benchmark::State &state, const Case &c) {
  Fixture f(c);
  for (auto _ : state) {
    f.kvel.SetExpression(c.formula);
    benchmark::DoNotOptimize(f.kvel.Value());
  }
}

void CompileMuparser(benchmark::State &state, const Case &c) {
  Fixture f(c);
  for (auto _ : state) {
    f.mu.SetExpr(c.formula);
    benchmark::DoNotOptimize(f.mu.Eval());
  }
}

// The longest chain the limits admit, one term too many (refused with the
// nesting error), and the largest bracketed formula: 50 chains of 15 terms
// in a sum tree of depth 6, filling 50 places on levels 7 to 20.
std::string Chain(int terms) {
  std::string s = "A";
  for (int i = 1; i < terms; ++i)
    s += i % 2 ? "-B" : "-C";
  return s;
}

std::string Largest(int depth, int &chains) {
  if (depth == 0) return chains-- > 0 ? "(" + Chain(15) + ")" : "A";
  const std::string l = Largest(depth - 1, chains);
  return "(" + l + "+" + Largest(depth - 1, chains) + ")";
}

void CompileLimit(benchmark::State &state, const std::string &text, bool fails) {
  parser::TParser p;
  for (auto _ : state) {
    try {
      p.SetExpression(text);
      if (fails) state.SkipWithError("compiled a formula beyond the limits");
    } catch (const parser::ETooManyNestings &) {
      if (!fails) state.SkipWithError("refused a formula within the limits");
    }
  }
  state.counters["chars"] = static_cast<double>(text.size());
}

} // namespace

int main(int argc, char **argv) {
  for (const Case &c : Cases()) {
    const std::string n = c.name;
    benchmark::RegisterBenchmark(("eval/kvel/" + n).c_str(), EvalKvel, c);
    benchmark::RegisterBenchmark(("eval/muparser/" + n).c_str(), EvalMuparser, c);
    benchmark::RegisterBenchmark(("eval/cpp/" + n).c_str(), EvalNative, c);
    benchmark::RegisterBenchmark(("compile/kvel/" + n).c_str(), CompileKvel, c);
    benchmark::RegisterBenchmark(("compile/muparser/" + n).c_str(), CompileMuparser, c);
  }
  int chains = 50;
  const std::string largest = Largest(6, chains);
  benchmark::RegisterBenchmark("compile/kvel/chain21", CompileLimit, Chain(21), false);
  benchmark::RegisterBenchmark("compile/kvel/chain22", CompileLimit, Chain(22), true);
  benchmark::RegisterBenchmark("compile/kvel/largest", CompileLimit, largest, false);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  bench_support::MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const std::map<std::string, double> ns = reporter.MedianNs();
  auto get = [&](const std::string &k) {
    const auto it = ns.find(k);
    return it == ns.end() ? 0.0 : it->second;
  };
  std::printf("\n%-10s %10s %10s %10s %9s %9s | %10s %10s %9s\n", "formula", "kvel ns", "mup ns", "c++ ns", "kvel/mup",
              "kvel/c++", "kvel cmp", "mup cmp", "kvel/mup");
  for (const Case &c : Cases()) {
    const std::string n = c.name;
    const double k = get("eval/kvel/" + n), m = get("eval/muparser/" + n), x = get("eval/cpp/" + n);
    const double kc = get("compile/kvel/" + n), mc = get("compile/muparser/" + n);
    if (k == 0 || m == 0 || x == 0 || kc == 0 || mc == 0) continue;
    std::printf("%-10s %10.1f %10.1f %10.1f %9.2f %9.2f | %10.0f %10.0f %9.2f\n", c.name, k, m, x, k / m, k / x, kc, mc,
                kc / mc);
  }
  return 0;
}
