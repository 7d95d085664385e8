// The tool base classes and the panel's tool list.
#include "chart/engine/UloTool.h"

#include <algorithm>
#include <utility>

#include "chart/engine/UloAxis.h"
#include "platform/streaming/Streaming.h"

namespace {

// The series tools that follow a series, so that a series that goes can
// tell them. Made on first use.
std::vector<TUloCustomToolSeries *> &FollowingTools() {
  static std::vector<TUloCustomToolSeries *> tools;
  return tools;
}

void Unfollow(TUloCustomToolSeries *tool) {
  auto &all = FollowingTools();
  all.erase(std::remove(all.begin(), all.end(), tool), all.end());
}

} // namespace

// ---- TUloCustomTool -------------------------------------------------------------

TUloCustomTool::~TUloCustomTool() {
  MarkDestroying();
  if (TCustomAxisPanel *chart = ParentChart()) chart->Tools().Remove(this);
}

void TUloCustomTool::SetParentChart(TCustomAxisPanel *value) {
  TCustomAxisPanel *old = ParentChart();
  if (old == value) {
    // Joined a list without going through here: make sure it is listed.
    if (value && value->Tools().IndexOf(this) < 0) value->Tools().Append(this);
    return;
  }
  if (old) {
    old->Tools().Remove(this);
    if (!value) old->Invalidate();
  }
  SetParentChartField(value);
  if (value) value->Tools().Append(this);
}

// ---- TUloCustomToolSeries ---------------------------------------------------------

TUloCustomToolSeries::TUloCustomToolSeries() = default;

TUloCustomToolSeries::~TUloCustomToolSeries() { Unfollow(this); }

void TUloCustomToolSeries::SetSeries(TChartSeries *value) {
  if (series_ == value) return;
  if (series_) Unfollow(this);
  series_ = value;
  if (series_) FollowingTools().push_back(this);
}

void TUloCustomToolSeries::SeriesFreed(const TChartSeries *series) noexcept {
  if (!series) return;
  // SetSeries may be overridden; a series that goes is only forgotten.
  auto &all = FollowingTools();
  for (size_t i = 0; i < all.size();) {
    if (all[i]->series_ == series) {
      all[i]->series_ = nullptr;
      all.erase(all.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

TChartAxis *TUloCustomToolSeries::GetHorizAxis() const {
  if (series_) return series_->GetHorizAxis();
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return nullptr;
  if (chart->AxisInUse(chart->BottomAxis(), false)) return chart->BottomAxis();
  if (chart->AxisInUse(chart->TopAxis(), false)) return chart->TopAxis();
  return chart->BottomAxis();
}

TChartAxis *TUloCustomToolSeries::GetVertAxis() const {
  if (series_) return series_->GetVertAxis();
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return nullptr;
  if (chart->AxisInUse(chart->LeftAxis(), false)) return chart->LeftAxis();
  if (chart->AxisInUse(chart->RightAxis(), false)) return chart->RightAxis();
  return chart->LeftAxis();
}

void TUloCustomToolSeries::Assign(const TCustomChartElement &source) {
  if (auto *other = dynamic_cast<const TUloCustomToolSeries *>(&source)) SetSeries(other->series_);
  TUloCustomTool::Assign(source);
}

// ---- TUloCustomToolAxis -----------------------------------------------------------

void TUloCustomToolAxis::SetAxis(TChartAxis *value) {
  if (axis_ == value) return;
  axis_ = value;
  pendingAxisID_ = -1;
  SetParentChart(value ? value->ParentChart() : nullptr);
  Repaint();
}

void TUloCustomToolAxis::SetParentChart(TCustomAxisPanel *value) {
  // An axis belongs to one chart; a tool moved elsewhere cannot keep it.
  if (axis_ && value && axis_->ParentChart() != value) axis_ = nullptr;
  if (!value) axis_ = nullptr;
  TUloCustomTool::SetParentChart(value);
  ResolvePendingAxis();
}

void TUloCustomToolAxis::ResolvePendingAxis() {
  TCustomAxisPanel *chart = ParentChart();
  if (pendingAxisID_ < 0 || !chart) return;
  const int id = pendingAxisID_;
  pendingAxisID_ = -1;
  // A stale or damaged index leaves the tool without an axis.
  TChartAxis *axis = id < chart->Axes().Count() ? chart->Axes()[id] : nullptr;
  if (axis)
    SetAxis(axis);
  else
    axis_ = nullptr;
}

void TUloCustomToolAxis::Loaded() {
  TUloCustomTool::Loaded();
  ResolvePendingAxis();
}

void TUloCustomToolAxis::Assign(const TCustomChartElement &source) {
  if (auto *other = dynamic_cast<const TUloCustomToolAxis *>(&source)) SetAxis(other->axis_);
  TUloCustomTool::Assign(source);
}

void TUloCustomToolAxis::DefineProperties(streaming::TPropertyTable &table) {
  TUloCustomTool::DefineProperties(table);
  table.Define(
      "AxisID",
      [this](const streaming::TValue &v, streaming::TReadContext &) {
        const int64_t id = v.AsInteger();
        pendingAxisID_ = id < 0 || id > 1000000 ? 1000000 : static_cast<int>(id);
        axis_ = nullptr;
        ResolvePendingAxis();
      },
      [this]() -> std::optional<streaming::TValue> {
        TCustomAxisPanel *chart = ParentChart();
        if (!axis_ || !chart) return std::nullopt;
        const int index = chart->Axes().IndexOf(axis_);
        if (index < 0) return std::nullopt;
        return streaming::TValue::MakeInteger(index);
      });
}

// ---- TChartTools ----------------------------------------------------------------------

TChartTools::~TChartTools() = default;

int TChartTools::IndexOf(const TUloCustomTool *tool) const noexcept {
  auto it = std::find(items_.begin(), items_.end(), tool);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TChartTools::Append(TUloCustomTool *tool) {
  if (tool && IndexOf(tool) < 0) items_.push_back(tool);
}

void TChartTools::Add(TUloCustomTool *tool) {
  if (!tool) return;
  if (tool->ParentChart() != owner_)
    tool->SetParentChart(owner_);
  else
    Append(tool);
}

void TChartTools::Adopt(std::unique_ptr<TUloCustomTool> tool) { owner_->AdoptTool(std::move(tool)); }

void TChartTools::Remove(TUloCustomTool *tool) {
  auto it = std::find(items_.begin(), items_.end(), tool);
  if (it != items_.end()) items_.erase(it);
}

void TChartTools::Clear() {
  while (!items_.empty()) {
    TUloCustomTool *tool = items_.back();
    std::unique_ptr<TCustomChartElement> kept = owner_->ReleaseElement(tool);
    if (tool->ParentChart() == owner_) tool->SetParentChart(nullptr);
    // A tool that did not leave by itself is taken out here.
    Remove(tool);
    kept.reset();
  }
}
