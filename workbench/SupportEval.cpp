#include "workbench/SupportEval.h"

#include "parser/FormulaParser.h"
#include "platform/rtl/Conversions.h"
#include "workbench/FiniteCheck.h"

namespace workbench {

SupportFormula::SupportFormula(std::string text, int m) : text_(std::move(text)), m_(m) {}

SupportFormula::~SupportFormula() = default;

void SupportFormula::Compile() {
  if (parser_) return;
  auto parser = std::make_unique<parser::TParser>();
  // The variables exist before the text is compiled: a name the formula
  // uses but the table lacks does not compile.
  psi_.resize(m_);
  for (int j = 1; j <= m_; ++j)
    psi_[j - 1] = parser->SetVariable("psi" + rtl::IntToStr(j), 0);
  parser->SetExpression(text_);
  parser_ = std::move(parser);
}

void SupportFormula::EvalOnGrid(const DirectionGrid &grid, double *out) {
  Compile();
  for (int i = 0; i < grid.Count; ++i) {
    const double *dir = grid.Dir(i);
    for (int j = 0; j < m_; ++j)
      *psi_[j] = dir[j];
    out[i] = static_cast<double>(parser_->Value());
  }
}

void SupportFormula::EvalOnMappedGrid(const DirectionGrid &grid, const Matrix &map, double *out) {
  Compile();
  const int n = grid.Dim;
  // The map's rows, copied out once so that the loop over the grid reads
  // plain memory.
  std::vector<double> rows(static_cast<size_t>(m_) * n);
  for (int r = 0; r < m_; ++r)
    for (int c = 0; c < n; ++c)
      rows[static_cast<size_t>(r) * n + c] = map(r, c);
  w_.resize(m_);
  for (int i = 0; i < grid.Count; ++i) {
    const double *dir = grid.Dir(i);
    for (int r = 0; r < m_; ++r) {
      w_[r] = Finite(DirDot(&rows[static_cast<size_t>(r) * n], dir, n));
    }
    for (int j = 0; j < m_; ++j)
      *psi_[j] = w_[j];
    out[i] = static_cast<double>(parser_->Value());
  }
}

} // namespace workbench
