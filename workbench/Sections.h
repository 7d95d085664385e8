// Turning summed support values into a drawable section: its Steiner point
// and its radial function about that point.
#pragma once

#include "workbench/DirectionGrid.h"

#include <cstdint>
#include <vector>

namespace workbench {

// For every direction i, the directions j (in increasing order) with
// <psi_i, psi_j> > 0 together with that product. The products never change
// between steps, so they are taken once per grid; on grids too large to
// hold them they are taken again at every use.
class RadialTable {
public:
  explicit RadialTable(const DirectionGrid &grid);

  bool Stored() const { return stored_; }
  const DirectionGrid &Grid() const { return grid_; }

  // r[i] := min over j with d_ij > 0 of W[j] / d_ij, first j on ties;
  // candidate[i] := 1 + that j, or 0 when no j qualified (r[i] is then +inf).
  void Radial(const double *w, double *r, int *candidate) const;

private:
  // Whether no quotient of these values can come near overflowing, so that
  // they may be estimated through the reciprocals of the products.
  bool Estimable(const double *w) const;

  const DirectionGrid &grid_;
  bool stored_ = false;
  std::vector<int64_t> start_;
  std::vector<int> index_;
  std::vector<double> product_;
  std::vector<double> reciprocal_;
  double maxReciprocal_ = 0;
};

// Which radial values fill a direction that found no candidate.
enum class TFillFrom { None, Previous, Current };

// Post-processes one section in place: w holds the summed support values
// on entry and on exit (made relative to the Steiner point and back), s
// receives the Steiner point (Dim entries), r the radial values. A
// direction without a candidate gets the largest of fill[j] * d_ij, where
// fill is prevR (TFillFrom::Previous) or r itself (TFillFrom::Current).
// Raises the floating-point fault of any overflow or invalid operation.
void PostProcessSection(const RadialTable &table, double *w, double *s, double *r, std::vector<int> &candidate,
                        TFillFrom fillFrom, const double *prevR);

} // namespace workbench
