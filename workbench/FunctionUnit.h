// Vector functions of the time and a state vector: the right-hand sides of
// the differential equations the solver integrates.
#pragma once

#include "workbench/CalculationUnit.h"

#include <string>
#include <vector>

namespace workbench {

class AbstVFunc {
public:
  virtual ~AbstVFunc() = default;
  // Result[i] := f_i(T, X). Result must not be X.
  virtual void Evaluate(Vector &Result, const Vector &X, double T) = 0;
};

// A vector function given by formula texts, one per component, in the time
// t (the parser's built-in T, so t and T are the same variable) and the
// state variables Prefix_1 .. Prefix_N. Each formula is compiled once, by
// its own parser, when the function is made; Evaluate only stores the
// variables through the addresses the parsers handed out and reads the
// values, which gives the same bits as setting them by name. A formula that
// reads no variable (and draws no random number) is read once and its value
// kept.
class VFunc : public AbstVFunc {
public:
  // A formula that does not compile raises the parser's error; a prefix
  // that makes no valid variable name raises the parser's EBadName.
  VFunc(const std::vector<std::string> &Formulas, const std::string &Prefix, int N);
  ~VFunc() override;
  VFunc(const VFunc &) = delete;
  VFunc &operator=(const VFunc &) = delete;

  // Result needs Count elements and X at least N; evaluation faults of a
  // formula raise the parser's errors.
  void Evaluate(Vector &Result, const Vector &X, double T) override;

  int Count() const noexcept { return count_; }
  int N() const noexcept { return n_; }
  const std::string &Prefix() const noexcept { return prefix_; }

private:
  struct Component;
  std::vector<Component> components_;
  int count_ = 0;
  int n_ = 0;
  std::string prefix_;
};

} // namespace workbench
