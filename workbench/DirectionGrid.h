// The grids of unit directions on which every set is held by its support
// values, and the evaluation of a support formula over such a grid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace workbench {

enum class TGridKind { gkPolar, gkSpherical, gkCube };

// Refusals of the grid choice.
inline constexpr int kMinGridNodes = 2;
inline constexpr int64_t kMaxGridDirections = 20000;

// G directions of Dim components each, stored one after the other.
class DirectionGrid {
public:
  TGridKind Kind = TGridKind::gkCube;
  int Dim = 0;
  int Count = 0;
  std::vector<double> Coords;

  const double *Dir(int i) const { return Coords.data() + static_cast<size_t>(i) * Dim; }
  double *Dir(int i) { return Coords.data() + static_cast<size_t>(i) * Dim; }
  bool Empty() const { return Count == 0; }
};

DirectionGrid BuildPolarGrid(int k);
DirectionGrid BuildSphericalGrid(int k);
DirectionGrid BuildCubeGrid(int d, int k);

// Number of directions the cube grid would have, without building it.
int64_t CubeGridCount(int d, int k);

// The settings window's choice: polar for L = 2 and spherical for L = 3 when
// b1 is checked, the cube grid otherwise (the only grid with L components
// for every L). Nod is converted as an integer; fewer than two nodes (when
// L is 2 or more) or more than kMaxGridDirections directions are refused.
DirectionGrid ChooseGrid(const std::string &nodText, bool b1, int dimL);

// The scalar product of two directions, summed from 0 in component order.
inline double DirDot(const double *a, const double *b, int n) {
  double s = 0;
  for (int c = 0; c < n; ++c)
    s += a[c] * b[c];
  return s;
}

} // namespace workbench
