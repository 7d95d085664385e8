// A support formula in psi1 .. psi_m, evaluated over a direction grid.
#pragma once

#include "workbench/CalculationUnit.h"
#include "workbench/DirectionGrid.h"

#include <memory>
#include <string>
#include <vector>

namespace parser {
class TParser;
}

namespace workbench {

// The formula is compiled on first use and then only its variables change
// before every read: the values are those of a fresh parser per value, at
// the cost of one compilation per run.
class SupportFormula {
public:
  SupportFormula(std::string text, int m);
  ~SupportFormula();
  SupportFormula(const SupportFormula &) = delete;
  SupportFormula &operator=(const SupportFormula &) = delete;

  // Out[i] := value with psi1 .. psi_m the first m components of psi_i.
  void EvalOnGrid(const DirectionGrid &grid, double *out);
  // Out[i] := value with psi1 .. psi_m the components of Map * psi_i,
  // Map having m rows and the grid's dimension as columns.
  void EvalOnMappedGrid(const DirectionGrid &grid, const Matrix &map, double *out);

private:
  void Compile();

  std::string text_;
  int m_;
  std::unique_ptr<parser::TParser> parser_;
  std::vector<double *> psi_;
  std::vector<double> w_;
};

} // namespace workbench
