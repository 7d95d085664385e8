#include "workbench/FunctionUnit.h"

#include "parser/FormulaParser.h"
#include "platform/rtl/Conversions.h"
#include "workbench/FiniteCheck.h"

#include <memory>

namespace workbench {

struct VFunc::Component {
  std::unique_ptr<parser::TParser> Parser;
  // Where the parser keeps t and Prefix_1 .. Prefix_N: storing there is what
  // setting the variable by name does, without looking the name up.
  double *T = nullptr;
  std::vector<double *> X;
  // A formula that reads no variable has one value: it is read once.
  bool Constant = false;
  bool Known = false;
  double Value = 0;
};

VFunc::VFunc(const std::vector<std::string> &Formulas, const std::string &Prefix, int N)
    : count_(static_cast<int>(Formulas.size())), n_(N), prefix_(Prefix) {
  if (N < 0) throw ESizeError("VFunc: negative number of state variables " + rtl::IntToStr(N));
  std::vector<std::string> names(static_cast<std::size_t>(N));
  for (int j = 1; j <= N; ++j)
    names[static_cast<std::size_t>(j - 1)] = Prefix + "_" + rtl::IntToStr(j);
  components_.reserve(Formulas.size());
  for (const std::string &formula : Formulas) {
    Component c;
    c.Parser = std::make_unique<parser::TParser>();
    // Every variable exists before the text is compiled: a name the
    // parser does not know yet does not compile.
    c.T = c.Parser->SetVariable("t", 0);
    c.X.reserve(static_cast<std::size_t>(N));
    for (const std::string &name : names)
      c.X.push_back(c.Parser->SetVariable(name, 0));
    c.Parser->SetExpression(formula);
    c.Constant = c.Parser->Constant();
    components_.push_back(std::move(c));
  }
}

VFunc::~VFunc() = default;

void VFunc::Evaluate(Vector &Result, const Vector &X, double T) {
  if (&Result == &X) throw ESizeError("VFunc.Evaluate: the result cannot be the state it is computed from");
  if (Result.Size() < count_)
    throw ESizeError("VFunc.Evaluate: the result has " + rtl::IntToStr(Result.Size()) + " elements, " +
                     rtl::IntToStr(count_) + " needed");
  if (X.Size() < n_)
    throw ESizeError("VFunc.Evaluate: the state has " + rtl::IntToStr(X.Size()) + " elements, " + rtl::IntToStr(n_) +
                     " needed");
  const double *x = X.Data();
  double *result = Result.Data();
  for (int i = 0; i < count_; ++i) {
    Component &c = components_[static_cast<std::size_t>(i)];
    if (c.Known) {
      result[i] = Finite(c.Value);
      continue;
    }
    *c.T = T;
    for (int j = 0; j < n_; ++j)
      *c.X[static_cast<std::size_t>(j)] = x[j];
    // The parser works in extended precision; the component is stored as a
    // double, and a value beyond the double range is an overflow.
    const double v = static_cast<double>(c.Parser->Value());
    if (c.Constant) {
      c.Value = v;
      c.Known = true;
    }
    result[i] = Finite(v);
  }
}

} // namespace workbench
