#include "workbench/Sections.h"

#include "platform/rtl/FloatFaults.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

namespace workbench {

namespace {

// Beyond this many stored pairs the products are recomputed instead.
constexpr int64_t kMaxStoredPairs = int64_t(1) << 21;

constexpr double kInf = std::numeric_limits<double>::infinity();

// Quotients below this bound in size are far from overflowing, and so are
// their estimates through the reciprocals.
constexpr double kQuotientBound = 1e300;

// An estimate w * (1/d) lies within a few units in the last place of the
// quotient w / d; any quotient that can beat the best so far passes a test
// against the best widened by this much.
constexpr double kEstimateSlack = 1e-15;
constexpr double kEstimateFloor = 1e-300;

double Threshold(double best) { return best + (std::abs(best) * kEstimateSlack + kEstimateFloor); }

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
        reciprocal_.push_back(1 / d);
        maxReciprocal_ = std::max(maxReciprocal_, reciprocal_.back());
      }
    }
    start_.push_back(static_cast<int64_t>(index_.size()));
  }
  stored_ = true;
  // A product too small to invert would make the estimates meaningless.
  if (!std::isfinite(maxReciprocal_)) maxReciprocal_ = kInf;
  // Flags raised here are no fault of any section.
  rtl::ClearFloatFaults();
}

void RadialTable::Radial(const double *w, double *r, int *candidate) const {
  const int g = grid_.Count;
  if (stored_) {
    // Over the stored pairs. Where the values allow, most quotients, being
    // far above the best one found so far, are ruled out by a product with
    // the stored reciprocal, and only the rest are divided. The divided
    // quotients and the order of the comparisons are those of the plain
    // loop below, so the result is the same to the bit either way.
    const auto scan = [&](auto estimate) {
      for (int i = 0; i < g; ++i) {
        double best = kInf;
        [[maybe_unused]] double threshold = kInf;
        int arg = 0;
        const int64_t end = start_[i + 1];
        for (int64_t p = start_[i]; p < end; ++p) {
          const int j = index_[p];
          if constexpr (decltype(estimate)::value)
            if (!(w[j] * reciprocal_[p] <= threshold)) continue;
          const double q = w[j] / product_[p];
          if (q < best) {
            best = q;
            if constexpr (decltype(estimate)::value) threshold = Threshold(best);
            arg = j + 1;
          }
        }
        r[i] = best;
        candidate[i] = arg;
      }
    };
    if (Estimable(w))
      scan(std::true_type{});
    else
      scan(std::false_type{});
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

bool RadialTable::Estimable(const double *w) const {
  if (!std::isfinite(maxReciprocal_)) return false;
  double largest = 0;
  for (int j = 0; j < grid_.Count; ++j)
    largest = std::max(largest, std::abs(w[j]));
  return largest <= kQuotientBound / maxReciprocal_;
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
