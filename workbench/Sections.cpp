#include "workbench/Sections.h"

#include "platform/rtl/FloatFaults.h"

#include <limits>

namespace workbench {

namespace {

// Beyond this many stored pairs the products are recomputed instead.
constexpr int64_t kMaxStoredPairs = int64_t(1) << 22;

constexpr double kInf = std::numeric_limits<double>::infinity();

} // namespace

RadialTable::RadialTable(const DirectionGrid &grid) : grid_(grid) {
  const int g = grid.Count;
  const int n = grid.Dim;
  // Roughly half of all pairs face each other.
  if (static_cast<int64_t>(g) * g / 2 > kMaxStoredPairs) return;
  start_.reserve(g + 1);
  start_.push_back(0);
  for (int i = 0; i < g; ++i) {
    const double *pi = grid.Dir(i);
    for (int j = 0; j < g; ++j) {
      const double d = DirDot(pi, grid.Dir(j), n);
      if (d > 0) {
        index_.push_back(j);
        product_.push_back(d);
      }
    }
    start_.push_back(static_cast<int64_t>(index_.size()));
  }
  stored_ = true;
}

void RadialTable::Radial(const double *w, double *r, int *candidate) const {
  const int g = grid_.Count;
  if (stored_) {
    for (int i = 0; i < g; ++i) {
      double best = kInf;
      int arg = 0;
      const int64_t end = start_[i + 1];
      for (int64_t p = start_[i]; p < end; ++p) {
        const int j = index_[p];
        const double q = w[j] / product_[p];
        if (q < best) {
          best = q;
          arg = j + 1;
        }
      }
      r[i] = best;
      candidate[i] = arg;
    }
    return;
  }
  const int n = grid_.Dim;
  for (int i = 0; i < g; ++i) {
    const double *pi = grid_.Dir(i);
    double best = kInf;
    int arg = 0;
    for (int j = 0; j < g; ++j) {
      const double d = DirDot(pi, grid_.Dir(j), n);
      if (d > 0) {
        const double q = w[j] / d;
        if (q < best) {
          best = q;
          arg = j + 1;
        }
      }
    }
    r[i] = best;
    candidate[i] = arg;
  }
}

void PostProcessSection(const RadialTable &table, double *w, double *s, double *r, std::vector<int> &candidate,
                        TFillFrom fillFrom, const double *prevR) {
  const DirectionGrid &grid = table.Grid();
  const int g = grid.Count;
  const int n = grid.Dim;
  candidate.resize(g);
  rtl::ClearFloatFaults();
  // S1: the Steiner point, n times the grid mean of W(psi) psi.
  const double weight = static_cast<double>(n) / g;
  for (int c = 0; c < n; ++c)
    s[c] = 0;
  for (int i = 0; i < g; ++i) {
    const double *dir = grid.Dir(i);
    for (int c = 0; c < n; ++c)
      s[c] = s[c] + weight * w[i] * dir[c];
  }
  // S2: support values about the Steiner point.
  for (int i = 0; i < g; ++i) {
    const double *dir = grid.Dir(i);
    for (int c = 0; c < n; ++c)
      w[i] = w[i] - s[c] * dir[c];
  }
  // S3: the radial function, which makes the section convex.
  table.Radial(w, r, candidate.data());
  // S4: a direction that no quotient reached.
  if (fillFrom != TFillFrom::None) {
    const double *fill = fillFrom == TFillFrom::Previous ? prevR : r;
    for (int i = 0; i < g; ++i) {
      if (candidate[i] != 0) continue;
      const double *dir = grid.Dir(i);
      double best = -kInf;
      for (int j = 0; j < g; ++j) {
        const double v = fill[j] * DirDot(dir, grid.Dir(j), n);
        if (v > best) best = v;
      }
      w[i] = best;
    }
  }
  // S5: absolute support values again.
  for (int i = 0; i < g; ++i) {
    const double *dir = grid.Dir(i);
    for (int c = 0; c < n; ++c)
      w[i] = w[i] + s[c] * dir[c];
  }
  rtl::CheckFloatFaults();
}

} // namespace workbench
