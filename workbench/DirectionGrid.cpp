#include "workbench/DirectionGrid.h"

#include "parser/FormulaParser.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/FloatFaults.h"
#include "workbench/SolverErrors.h"

#include <cmath>

namespace workbench {

namespace {

using parser::TParser;

constexpr double kPi = 3.141592653589793;

} // namespace

DirectionGrid BuildPolarGrid(int k) {
  DirectionGrid grid;
  grid.Kind = TGridKind::gkPolar;
  grid.Dim = 2;
  grid.Coords.assign(static_cast<size_t>(k) * 2, 0.0);
  // Every component is the parser's value of its formula, so that the
  // directions carry the parser's rounding (cos(pi/2) is not 0).
  TParser cosine, sine;
  const auto compile = [k](TParser &p, const char *text) {
    double *j = p.SetVariable("j", 0);
    p.SetVariable("n", k);
    p.SetVariable("pi", kPi);
    p.SetExpression(text);
    return j;
  };
  double *cj = compile(cosine, "cos(2*j*pi/n)");
  double *sj = compile(sine, "sin(2*j*pi/n)");
  for (int j = 0; j < k; ++j) {
    *cj = j;
    *sj = j;
    grid.Coords[2 * j] = static_cast<double>(cosine.Value());
    grid.Coords[2 * j + 1] = static_cast<double>(sine.Value());
  }
  grid.Count = k;
  return grid;
}

DirectionGrid BuildSphericalGrid(int k) {
  DirectionGrid grid;
  grid.Kind = TGridKind::gkSpherical;
  grid.Dim = 3;
  grid.Coords.assign(static_cast<size_t>(k) * k * 3, 0.0);
  std::vector<double> phi(k), theta(k, 0.0);
  rtl::Checked([&] {
    for (int m = 0; m < k; ++m)
      phi[m] = (m + 1) * 2 * kPi / k;
    const int h = k / 2;
    for (int m = 0; m < h; ++m)
      theta[m] = -kPi * (h - m) / k;
    for (int m = 1; m <= h; ++m)
      theta[h + m - 1] = kPi * m / k;
  });
  TParser px, py, pz;
  double *xTheta = px.SetVariable("Theta", 0);
  double *xPhi = px.SetVariable("Phi", 0);
  px.SetExpression("cos(Theta)*cos(Phi)");
  double *yTheta = py.SetVariable("Theta", 0);
  double *yPhi = py.SetVariable("Phi", 0);
  py.SetExpression("cos(Theta)*sin(Phi)");
  double *zTheta = pz.SetVariable("Theta", 0);
  pz.SetExpression("sin(Theta)");
  for (int i = 0; i < k; ++i) {
    for (int m = 0; m < k; ++m) {
      double *dir = grid.Dir(i * k + m);
      *xTheta = theta[i];
      *xPhi = phi[m];
      dir[0] = static_cast<double>(px.Value());
      *yTheta = theta[i];
      *yPhi = phi[m];
      dir[1] = static_cast<double>(py.Value());
      *zTheta = theta[i];
      dir[2] = static_cast<double>(pz.Value());
    }
  }
  grid.Count = k * k;
  return grid;
}

int64_t CubeGridCount(int d, int k) {
  int64_t p = 1;
  for (int e = 1; e < d; ++e) {
    p *= k;
    // Anything past the limit is refused anyway; stop before overflowing.
    if (p > kMaxGridDirections) return 2 * static_cast<int64_t>(d) * p;
  }
  return 2 * static_cast<int64_t>(d) * p;
}

DirectionGrid BuildCubeGrid(int d, int k) {
  const int64_t total = CubeGridCount(d, k);
  const int p = static_cast<int>(total / (2 * d));
  DirectionGrid grid;
  grid.Kind = TGridKind::gkCube;
  grid.Dim = d;
  grid.Coords.assign(static_cast<size_t>(total) * d, 0.0);
  rtl::Checked([&] {
    for (int a = 0; a < d; ++a) {
      for (int s = 0; s < 2; ++s) {
        const double sigma = s == 0 ? -1.0 : 1.0;
        for (int c = 0; c < p; ++c) {
          double *dir = grid.Dir((2 * a + s) * p + c);
          dir[a] = sigma;
          // The other components, highest digit first, are the base-k
          // digits of c spread evenly over [-1, 1].
          int rest = c;
          for (int comp = d - 1; comp >= 0; --comp) {
            if (comp == a) continue;
            const int q = rest % k;
            rest /= k;
            dir[comp] = q * 2.0 / (k - 1) - 1;
          }
        }
      }
    }
    for (int i = 0; i < total; ++i) {
      double *dir = grid.Dir(i);
      const double len = std::sqrt(DirDot(dir, dir, d));
      for (int c = 0; c < d; ++c)
        dir[c] = dir[c] / len;
    }
  });
  grid.Count = static_cast<int>(total);
  return grid;
}

DirectionGrid ChooseGrid(const std::string &nodText, bool b1, int dimL) {
  const int k = rtl::StrToInt(nodText);
  // A line's grid is the cube grid, its two directions whatever the node
  // count; every other grid degenerates (or divides by k - 1) below two.
  if (k < kMinGridNodes && dimL >= 2) throw ESolverError(MsgTooFewNodes());
  int64_t count;
  TGridKind kind;
  if (b1 && dimL == 2) {
    kind = TGridKind::gkPolar;
    count = k;
  } else if (b1 && dimL == 3) {
    kind = TGridKind::gkSpherical;
    count = static_cast<int64_t>(k) * k;
  } else {
    kind = TGridKind::gkCube;
    count = CubeGridCount(dimL, k);
  }
  if (count > kMaxGridDirections) throw ESolverError(MsgGridTooLarge(count));
  switch (kind) {
  case TGridKind::gkPolar:
    return BuildPolarGrid(k);
  case TGridKind::gkSpherical:
    return BuildSphericalGrid(k);
  case TGridKind::gkCube:
    break;
  }
  return BuildCubeGrid(dimL, k);
}

} // namespace workbench
