// Games with answers in closed form, as the main window hands them in.
#pragma once

#include "workbench/Solver.h"

#include <string>
#include <utility>
#include <vector>

namespace wbtest {

// The norm of (psi1, ..., psi_l) as a support formula.
inline std::string Norm(int l) {
  if (l == 1) return "abs(psi1)";
  std::string sum = "psi1^2";
  for (int i = 2; i <= l; ++i)
    sum += "+psi" + std::to_string(i) + "^2";
  return "sqrt(" + sum + ")";
}

// Simple motion x' = u + v in L dimensions (X = U = L): the pursuer's unit
// ball against the evader's ball of radius q in V dimensions, the target
// the ball of radius m. With V = L the sections are balls of radius
// m + k dt (1 - q).
inline workbench::GameInput SimpleMotion(int l, int v, const std::string &q, const std::string &m,
                                         std::vector<std::string> x0, std::string T) {
  workbench::GameInput g;
  g.DimX = g.DimU = g.DimL = l;
  g.DimV = v;
  g.A = g.B = g.Pi = std::vector<std::vector<std::string>>(l, std::vector<std::string>(l, "0"));
  g.C = std::vector<std::vector<std::string>>(l, std::vector<std::string>(v, "0"));
  for (int i = 0; i < l; ++i) {
    g.B[i][i] = g.Pi[i][i] = "1";
    if (i < v) g.C[i][i] = "1";
  }
  g.X0 = std::move(x0);
  g.P = Norm(l);
  g.Q = q + "*" + Norm(v);
  g.M = m + "*" + Norm(l);
  g.T = std::move(T);
  return g;
}

} // namespace wbtest
