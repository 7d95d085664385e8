#include "chart/engine/UloSeries.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloSeriesData.h"
#include "chart/engine/UloTool.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProcs.h"
#include "platform/forms/Application.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/Random.h"

namespace {

// The message texts hold %d and %s places, filled in order.
std::string FormatMessage(const std::string &pattern, std::initializer_list<std::string> args) {
  std::string out;
  auto arg = args.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && (pattern[i + 1] == 'd' || pattern[i + 1] == 's')) {
      if (arg != args.end()) out += *arg++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// Restores a flag when the scope ends, also by an exception.
class TFlagScope {
public:
  explicit TFlagScope(bool &flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = old_; }
  TFlagScope(const TFlagScope &) = delete;
  TFlagScope &operator=(const TFlagScope &) = delete;

private:
  bool &flag_;
  bool old_;
};

} // namespace

void ShowChartError(const std::string &text) { forms::Application().Messages().ShowErrorBox(text, ""); }

// ---- TCustomChartElement ---------------------------------------------------------

TCustomChartElement::TCustomChartElement()
    : brush_(std::make_unique<TChartBrush>([this] { Repaint(); })),
      pen_(std::make_unique<TChartPen>([this] { Repaint(); })) {}

TCustomChartElement::~TCustomChartElement() = default;

std::unique_ptr<TChartPen> TCustomChartElement::CreateChartPen() {
  return std::make_unique<TChartPen>([this] { Repaint(); });
}

void TCustomChartElement::ReplacePen(std::unique_ptr<TChartPen> pen) {
  pen_ = std::move(pen);
  pen_->OnChange = [this] { Repaint(); };
}

void TCustomChartElement::Assign(const TCustomChartElement &source) {
  if (&source == this) return;
  active_ = source.active_;
  brush_->Assign(*source.brush_);
  pen_->Assign(*source.pen_);
  showInEditor_ = source.showInEditor_;
}

void TCustomChartElement::SetActive(bool value) { SetAndRepaint(active_, value); }

void TCustomChartElement::SetParentChart(TCustomAxisPanel *value) { parentChart_ = value; }

void TCustomChartElement::Repaint() {
  if (parentChart_ && !destroying_) parentChart_->Invalidate();
}

void TCustomChartElement::DefineProperties(streaming::TPropertyTable &table) {
  table.Property("Active", this, &TCustomChartElement::Active, &TCustomChartElement::SetActive, true);
  table.Property("ShowInEditor", this, &TCustomChartElement::ShowInEditor, &TCustomChartElement::SetShowInEditor, true);
}

// ---- TCustomChartSeries -------------------------------------------------------------

TCustomChartSeries::TCustomChartSeries() = default;

void TCustomChartSeries::Assign(const TCustomChartElement &source) {
  TCustomChartElement::Assign(source);
  if (auto *s = dynamic_cast<const TCustomChartSeries *>(&source); s && s != this) {
    showInLegend_ = s->showInLegend_;
    title_ = s->title_;
    identifier_ = s->identifier_;
    style_ = s->style_;
  }
}

void TCustomChartSeries::SetTitle(const std::string &value) {
  if (title_ == value) return;
  title_ = value;
  if (ParentChart()) ParentChart()->BroadcastSeriesEvent(this, TUloSeriesEventStyle::seChangeTitle);
  Repaint();
}

void TCustomChartSeries::DefineProperties(streaming::TPropertyTable &table) {
  TCustomChartElement::DefineProperties(table);
  table.Property("ShowInLegend", this, &TCustomChartSeries::ShowInLegend, &TCustomChartSeries::SetShowInLegend, true);
  table.Property("Title", this, &TCustomChartSeries::Title, &TCustomChartSeries::SetTitle, std::string());
}

// ---- TChartSeries: life -------------------------------------------------------------

TChartSeries::TChartSeries()
    : marks_(std::make_unique<TSeriesMarks>(this)), percentFormat_(UloMsgDefPercentFormat),
      valueFormat_(UloMsgDefValueFormat), valuesList_(std::make_unique<TChartValueLists>()),
      labels_(std::make_unique<TLabelsList>()) {
  xValues_ = new TChartValueList(this, "X");
  xValues_->InitOrder(TChartListOrder::loAscending);
  yValues_ = new TChartValueList(this, "Y");
  mandatory_ = yValues_;
  notMandatory_ = xValues_;
}

TChartSeries::~TChartSeries() {
  MarkDestroying();
  TUloCustomToolSeries::SeriesFreed(this);
  function_.reset();
  if (ParentChart()) SetParentChart(nullptr);
  DropSourceLinks();
  // The dependents stop following this series.
  auto dependents = dependents_;
  for (TChartSeries *d : dependents)
    d->RemoveDataSource(this);
  dependents_.clear();
  ClearPointLists();
}

void TChartSeries::DropSourceLinks() {
  auto sources = dataSources_;
  dataSources_.clear();
  for (auto *c : sources) {
    if (auto *s = dynamic_cast<TChartSeries *>(c))
      s->RemoveDependent(this);
    else if (auto *src = dynamic_cast<TUloSeriesSource *>(c); src && src->series_ == this)
      src->series_ = nullptr;
  }
}

// ---- points -----------------------------------------------------------------------------

int TChartSeries::AddPointXY(double x, double y, const std::string &label, TColor color) {
  xValues_->TempValue = x;
  yValues_->TempValue = y;
  if (OnBeforeAdd && !OnBeforeAdd(this)) return -1;
  const int index = xValues_->AddChartValue();
  const int lists = valuesList_->Count();
  for (int k = 1; k < lists; ++k) {
    TChartValueList *list = (*valuesList_)[k];
    list->InsertChartValue(index, list->TempValue);
  }
  if (colors_ || color != clDefault) InsertColor(index, color);
  if (!label.empty() || labels_->Count() > 0) labels_->InsertLabel(index, label);
  if (updateCount_ == 0) AfterPointAdded(index);
  return index;
}

void TChartSeries::InsertColor(int index, TColor color) {
  if (!colors_) colors_ = std::make_unique<std::vector<TColor>>(static_cast<size_t>(PointCount() - 1), clDefault);
  auto &c = *colors_;
  if (static_cast<int>(c.size()) < index) c.resize(static_cast<size_t>(index), clDefault);
  c.insert(c.begin() + index, color);
}

int TChartSeries::AddPoint(double value, const std::string &label, TColor color) {
  const double count = PointCount();
  return yMandatory_ ? AddPointXY(count, value, label, color) : AddPointXY(value, count, label, color);
}

int TChartSeries::AddNullPoint(const std::string &label) { return AddPoint(0, label, clNone); }

int TChartSeries::AddNullPointXY(double x, double y, const std::string &label) {
  return AddPointXY(x, y, label, clNone);
}

void TChartSeries::AfterPointAdded(int index) {
  if (OnAfterAdd) OnAfterAdd(this, index);
  PropagateToDependents(UloChangeAdded, index);
  if (Active()) Repaint();
}

int TChartSeries::PointCount() const { return xValues_->Count(); }
double TChartSeries::XValueAt(int index) const { return xValues_->Value(index); }
double TChartSeries::YValueAt(int index) const { return yValues_->Value(index); }
double TChartSeries::MandatoryValueAt(int index) const { return mandatory_->Value(index); }

const std::string &TChartSeries::Label(int index) const { return labels_->Label(index); }
void TChartSeries::SetLabel(int index, const std::string &text) {
  labels_->SetLabel(index, text);
  Repaint();
}

void TChartSeries::DeletePoint(int index) {
  const int count = PointCount();
  if (index < 0 || index >= count)
    throw ChartException(FormatMessage(UloMsgSeriesDelete, {rtl::IntToStr(index), rtl::IntToStr(count - 1)}));
  for (const auto &list : *valuesList_)
    if (index < list->Count()) list->Delete(index);
  if (colors_ && index < static_cast<int>(colors_->size())) colors_->erase(colors_->begin() + index);
  labels_->Delete(index);
  marks_->Positions().Delete(index);
  marks_->Items().Delete(index);
  PropagateToDependents(UloChangeDeleted, index);
  if (Active()) Repaint();
}

void TChartSeries::DeletePoints(int start, int quantity, bool removeGap) {
  const int count = PointCount();
  if (start >= count) return;
  if (start < 0)
    throw ChartException(FormatMessage(UloMsgSeriesDelete, {rtl::IntToStr(start), rtl::IntToStr(count - 1)}));
  quantity = std::min(quantity, count - start);
  if (quantity <= 0) return;
  for (const auto &list : *valuesList_) {
    const int q = std::min(quantity, list->Count() - start);
    if (q > 0) list->DeleteRange(start, q);
  }
  if (colors_ && start < static_cast<int>(colors_->size())) {
    auto first = colors_->begin() + start;
    colors_->erase(first, first + std::min<ptrdiff_t>(quantity, colors_->end() - first));
    if (colors_->empty()) colors_.reset();
  }
  for (int k = 0; k < quantity; ++k)
    labels_->Delete(start);
  marks_->Positions().DeleteRange(start, quantity);
  marks_->Items().DeleteRange(start, quantity);
  PropagateToDependents(UloChangeDeleted, -1);
  if (Active()) Repaint();
  if (removeGap) notMandatory_->FillSequence();
}

void TChartSeries::ClearPointLists() {
  for (const auto &list : *valuesList_)
    list->ClearValues();
  colors_.reset();
  labels_->Clear();
  marks_->Positions().Clear();
  marks_->Items().ClearSilently();
}

void TChartSeries::ClearPoints() {
  firstVisible_ = -1;
  lastVisible_ = -1;
  ClearPointLists();
  if (OnClearValues) OnClearValues(this);
  PropagateToDependents(UloChangeCleared);
  if (function_) function_->Clear();
  if (Active() && ParentChart() && !Destroying() && !ParentChart()->IsDestroying()) Repaint();
}

void TChartSeries::SwapValueIndex(int a, int b) {
  for (const auto &list : *valuesList_)
    list->Exchange(a, b);
  if (colors_) {
    const int n = static_cast<int>(colors_->size());
    if (a < n && b < n) std::swap((*colors_)[a], (*colors_)[b]);
  }
  if (labels_->Count() > 0) {
    std::string la = labels_->Label(a), lb = labels_->Label(b);
    labels_->SetLabel(a, lb);
    labels_->SetLabel(b, la);
  }
}

void TChartSeries::ReorderPoints() {
  if (mandatory_->Order() != TChartListOrder::loNone) {
    mandatory_->Sort();
    if (notMandatory_->ValueSource().empty()) notMandatory_->FillSequence();
  }
  Repaint();
}

double TChartSeries::MaxX() { return xValues_->MaxValue(); }
double TChartSeries::MinX() { return xValues_->MinValue(); }
double TChartSeries::MaxY() { return yValues_->MaxValue(); }
double TChartSeries::MinY() { return yValues_->MinValue(); }
double TChartSeries::MaxZ() { return GetZOrder(); }
double TChartSeries::MinZ() { return GetZOrder(); }

// ---- value lists ------------------------------------------------------------------------

TChartValueList *TChartSeries::FindValueList(std::string_view name) {
  for (int k = 2; k < valuesList_->Count(); ++k)
    if (SameTextIgnoringCase((*valuesList_)[k]->Name(), name)) return (*valuesList_)[k];
  return mandatory_;
}

TChartValueList *TChartSeries::ValueListOfAxis(TChartAxis *axis) {
  if (!IsOnAxis(axis)) return nullptr;
  return axis->Horizontal ? xValues_ : yValues_;
}

bool TChartSeries::IsOnAxis(TChartAxis *axis) {
  if (!IsAxisBased() || !axis) return false;
  if (axis->Horizontal) return horizAxis_ == THorizAxis::aBothHorizAxis || axis == horizAxisObject_;
  return vertAxis_ == TVertAxis::aBothVertAxis || axis == vertAxisObject_;
}

void TChartSeries::SetHorizontal() {
  yMandatory_ = false;
  mandatory_ = xValues_;
  notMandatory_ = yValues_;
}

// ---- colours ------------------------------------------------------------------------------

TColor TChartSeries::PointColor(int index) {
  if (colors_ && index >= 0 && index < static_cast<int>(colors_->size())) {
    const TColor c = (*colors_)[index];
    if (c != clDefault) return c;
  }
  if (colorEachPoint_) return ParentChart() ? ParentChart()->PaletteColor(index) : UloGetDefaultColor(index);
  return SeriesColor();
}

TColor TChartSeries::GetValueColorEntry(int index) const {
  if (!colors_ || index < 0 || index >= static_cast<int>(colors_->size())) return clDefault;
  return (*colors_)[index];
}

void TChartSeries::SetValueColor(int index, TColor color) {
  if (index < 0 || index >= PointCount()) return;
  if (!colors_) {
    if (color == clDefault) return;
    colors_ = std::make_unique<std::vector<TColor>>(static_cast<size_t>(PointCount()), clDefault);
  }
  if (static_cast<int>(colors_->size()) <= index) colors_->resize(static_cast<size_t>(index) + 1, clDefault);
  (*colors_)[index] = color;
  Repaint();
}

void TChartSeries::SetSeriesColor(TColor value) {
  if (color_ == clDefault && value == autoColor_) return;
  SetAndRepaint(color_, value);
  autoColor_ = value;
  BroadcastSeriesEvent(TUloSeriesEventStyle::seChangeColor);
}

void TChartSeries::SetColorEachPoint(bool value) { SetAndRepaint(colorEachPoint_, value); }

void TChartSeries::SetColorSource(const std::string &value) {
  if (colorSource_ == value) return;
  colorSource_ = value;
  CheckDataSource();
}

void TChartSeries::SetXLabelsSource(const std::string &value) {
  if (xLabelsSource_ == value) return;
  xLabelsSource_ = value;
  CheckDataSource();
}

void TChartSeries::BroadcastSeriesEvent(TUloSeriesEventStyle kind) {
  if (ParentChart()) ParentChart()->BroadcastSeriesEvent(this, kind);
}

// ---- updates -------------------------------------------------------------------------------

void TChartSeries::EndUpdate() {
  if (updateCount_ <= 0) return;
  if (--updateCount_ > 0) return;
  PropagateToDependents(UloChangeRefreshed);
  BroadcastSeriesEvent(TUloSeriesEventStyle::seDataChanged);
}

void TChartSeries::PropagateToDependents(int kind, int index) {
  if (updateCount_ > 0 || dependents_.empty()) return;
  // A dependent may leave the list while it follows; walk a copy.
  const auto dependents = dependents_;
  for (TChartSeries *d : dependents) {
    const uint8_t flags = d->propagateFlags_;
    switch (kind) {
    case UloChangeCleared:
      if (flags & UloPropagateClear) d->ClearPoints();
      break;
    case UloChangeAdded:
      if ((flags & UloPropagateAdd) && !d->function_) d->CopyPointWithExtras(*this, index);
      break;
    case UloChangeDeleted:
      if ((flags & UloPropagateDelete) && !d->function_) d->SourcePointDeleted(*this, index);
      break;
    case UloChangeRefreshed:
      d->CopyAllPointsFrom(*this);
      break;
    case UloChangeReordered:
      if (flags & UloPropagateReorder) d->CopyAllPointsFrom(*this);
      break;
    default:
      break;
    }
  }
}

void TChartSeries::SourcePointDeleted(TChartSeries &source, int index) {
  (void)source;
  // The source deleted a run (-1): the dependent refills from it.
  if (index < 0) {
    CopyAllPointsFrom(source);
    return;
  }
  if (index < PointCount()) DeletePoint(index);
}

// ---- data sources --------------------------------------------------------------------------

streaming::TStoredComponent *TChartSeries::DataSource() const noexcept {
  return dataSources_.empty() ? nullptr : dataSources_.front();
}

void TChartSeries::SetDataSource(streaming::TStoredComponent *value) {
  if (!value) {
    if (auto *old = DataSource()) RemoveDataSource(old);
    return;
  }
  AddDataSource(value, true);
}

bool TChartSeries::IsValidSourceOf(streaming::TStoredComponent *component) const {
  auto *s = dynamic_cast<TChartSeries *>(component);
  if (s) return s != this && s->IsValidSeriesSource();
  return dynamic_cast<TUloSeriesSource *>(component) != nullptr;
}

bool TChartSeries::LeadsTo(const TChartSeries *target, std::vector<const TChartSeries *> &visited) const {
  if (std::find(visited.begin(), visited.end(), this) != visited.end()) return false;
  visited.push_back(this);
  for (auto *c : dataSources_) {
    auto *s = dynamic_cast<const TChartSeries *>(c);
    if (!s) continue;
    if (s == target || s->LeadsTo(target, visited)) return true;
  }
  return false;
}

void TChartSeries::CheckCircularSource(TChartSeries *source) const {
  if (!source) return;
  std::vector<const TChartSeries *> visited;
  if (source == this || source->LeadsTo(this, visited)) throw ChartException(UloMsgCircularSeries);
}

void TChartSeries::AddDataSource(streaming::TStoredComponent *source, bool replace) {
  if (!source) return;
  if (ParentChart()) {
    if (!ParentChart()->AcceptsDataSource(this, source) || !IsValidSourceOf(source)) {
      const std::string name = source->Name().empty() ? std::string(source->ClassName()) : source->Name();
      throw ChartException(FormatMessage(UloMsgSeriesInvDataSource, {name}));
    }
  } else if (!IsValidSourceOf(source) || !dynamic_cast<TChartSeries *>(source)) {
    throw ChartException(UloMsgSeriesSetDataSource);
  }
  if (std::find(dataSources_.begin(), dataSources_.end(), source) != dataSources_.end()) return;
  auto *series = dynamic_cast<TChartSeries *>(source);
  if (series) CheckCircularSource(series);
  if (replace && !Loading()) {
    DropSourceLinks();
    if (!HasManualData) ClearPoints();
  }
  dataSources_.push_back(source);
  HasManualData = false;
  if (series) {
    series->AddDependent(this);
  } else if (auto *src = dynamic_cast<TUloSeriesSource *>(source); src && src->series_ != this) {
    const bool wasOpen = src->Active();
    if (wasOpen) src->active_ = false;
    if (src->series_) src->series_->RemoveDataSource(src);
    src->series_ = this;
    if (wasOpen) src->SetActive(true);
  }
  CheckDataSource();
}

void TChartSeries::RemoveDataSource(streaming::TStoredComponent *source) {
  if (Destroying()) return;
  auto it = std::find(dataSources_.begin(), dataSources_.end(), source);
  if (it == dataSources_.end()) return;
  if (it == dataSources_.begin()) {
    // Losing the current source empties the list: every source lets go.
    DropSourceLinks();
  } else {
    dataSources_.erase(it);
    if (auto *s = dynamic_cast<TChartSeries *>(source)) s->RemoveDependent(this);
    if (auto *src = dynamic_cast<TUloSeriesSource *>(source); src && src->series_ == this) src->series_ = nullptr;
  }
  CheckDataSource();
}

void TChartSeries::ClearDataSources() {
  DropSourceLinks();
  if (!Loading() && !HasManualData) ClearPoints();
}

void TChartSeries::SourceFreed(streaming::TStoredComponent *source) { RemoveDataSource(source); }

void TChartSeries::AddDependent(TChartSeries *series) {
  if (std::find(dependents_.begin(), dependents_.end(), series) == dependents_.end()) dependents_.push_back(series);
}

void TChartSeries::RemoveDependent(TChartSeries *series) {
  dependents_.erase(std::remove(dependents_.begin(), dependents_.end(), series), dependents_.end());
}

void TChartSeries::CheckDataSource() {
  if (updateCount_ == 0 && ParentChart() && !Destroying()) ParentChart()->RefreshSeriesData(this);
}

void TChartSeries::Loaded() {
  TCustomChartSeries::Loaded();
  if (!sourceNames_.empty()) {
    auto names = std::move(sourceNames_);
    sourceNames_.clear();
    streaming::TStoredComponent *root = ParentChart();
    for (const auto &name : names) {
      streaming::TStoredComponent *c = root ? streaming::FindComponent(*root, name) : nullptr;
      if (c) AddDataSource(c);
    }
  }
  CheckDataSource();
}

void TChartSeries::AttachFunction(std::unique_ptr<TUloFunction> function) {
  if (function.get() == function_.get()) return;
  function_ = std::move(function);
  if (function_) function_->SetParentSeries(this);
  HasManualData = false;
  CheckDataSource();
}

void TChartSeries::InsertStoredChild(std::unique_ptr<streaming::TStoredComponent> child) {
  if (!dynamic_cast<TUloFunction *>(child.get())) {
    streaming::TStoredComponent::InsertStoredChild(std::move(child));
    return;
  }
  AttachFunction(std::unique_ptr<TUloFunction>(static_cast<TUloFunction *>(child.release())));
}

std::vector<streaming::TStoredComponent *> TChartSeries::StoredChildren() {
  if (function_) return {function_.get()};
  return {};
}

// ---- copying --------------------------------------------------------------------------------

void TChartSeries::CopyPointFrom(TChartSeries &source, int index) {
  const int lists = valuesList_->Count();
  const int sourceLists = source.valuesList_->Count();
  for (int k = 2; k < lists; ++k)
    (*valuesList_)[k]->TempValue = k < sourceLists ? (*source.valuesList_)[k]->Value(index) : 0;
  const double x = source.XValueAt(index), y = source.YValueAt(index);
  if (yMandatory_ == source.yMandatory_)
    AddPointXY(x, y);
  else
    AddPointXY(y, x);
}

void TChartSeries::CopyPointWithExtras(TChartSeries &source, int index) {
  const int lists = valuesList_->Count();
  const int sourceLists = source.valuesList_->Count();
  for (int k = 2; k < lists; ++k)
    (*valuesList_)[k]->TempValue = k < sourceLists ? (*source.valuesList_)[k]->Value(index) : 0;
  const double x = source.XValueAt(index), y = source.YValueAt(index);
  const TColor c = source.GetValueColorEntry(index);
  const std::string &label = source.Label(index);
  if (yMandatory_ == source.yMandatory_)
    AddPointXY(x, y, label, c);
  else
    AddPointXY(y, x, label, c);
}

void TChartSeries::CopyAllPointsFrom(TChartSeries &source) {
  TSeriesUpdateGuard guard(*this);
  ClearPoints();
  if (function_) {
    xValues_->SetDateTime(source.xValues_->DateTime());
    yValues_->SetDateTime(source.yValues_->DateTime());
    function_->AddPoints(&source);
  } else if (&source != this) {
    const int n = source.PointCount();
    for (int i = 0; i < n; ++i)
      CopyPointWithExtras(source, i);
  }
}

void TChartSeries::Assign(const TCustomChartElement &source) {
  auto *s = dynamic_cast<const TChartSeries *>(&source);
  TCustomChartSeries::Assign(source);
  if (!s || s == this) return;
  SetDataSource(nullptr);
  if (yMandatory_ == s->yMandatory_) {
    xValues_->Assign(*s->xValues_);
    yValues_->Assign(*s->yValues_);
  } else {
    xValues_->Assign(*s->yValues_);
    yValues_->Assign(*s->xValues_);
  }
  for (int k = 2; k < std::min(valuesList_->Count(), s->valuesList_->Count()); ++k)
    (*valuesList_)[k]->Assign(*(*s->valuesList_)[k]);
  xLabelsSource_ = s->xLabelsSource_;
  colorSource_ = s->colorSource_;
  marks_->Assign(*s->marks_);
  color_ = s->color_;
  autoColor_ = s->autoColor_;
  colorEachPoint_ = s->colorEachPoint_;
  valueFormat_ = s->valueFormat_;
  percentFormat_ = s->percentFormat_;
  customHorizAxis_ = s->customHorizAxis_;
  customVertAxis_ = s->customVertAxis_;
  horizAxis_ = s->horizAxis_;
  vertAxis_ = s->vertAxis_;
  propagateFlags_ = s->propagateFlags_;
  cursor_ = s->cursor_;
  depth_ = s->depth_;
  RecalcAxes();
  if (s->function_ && !function_) {
    std::unique_ptr<streaming::TPersistent> made = streaming::ClassRegistry().Create(s->function_->ClassName());
    if (auto *f = dynamic_cast<TUloFunction *>(made.get())) {
      made.release();
      std::unique_ptr<TUloFunction> copy(f);
      copy->Assign(*s->function_);
      function_ = std::move(copy);
      function_->SetParentSeries(this);
    }
  }
  HasManualData = s->HasManualData;
  if (s->DataSource() && !s->HasManualData) {
    for (auto *c : s->dataSources_)
      AddDataSource(c);
    CheckDataSource();
  } else {
    CopyAllPointsFrom(const_cast<TChartSeries &>(*s));
    if (s->colors_) colors_ = std::make_unique<std::vector<TColor>>(*s->colors_);
    labels_->Assign(*s->labels_);
    CheckDataSource();
  }
}

// ---- mouse ---------------------------------------------------------------------------------------

bool TChartSeries::CheckMouse(int x, int y) {
  if (cursor_ == 0 && !OnMouseEnter && !OnMouseLeave) return false;
  const bool over = PointAtPixel(x, y) != -1;
  if (over) {
    if (cursor_ != 0 && ParentChart()) ParentChart()->SetCursor(cursor_);
    if (!mouseInside_) {
      mouseInside_ = true;
      if (OnMouseEnter) OnMouseEnter(this);
    }
  } else if (mouseInside_) {
    mouseInside_ = false;
    if (OnMouseLeave) OnMouseLeave(this);
  }
  return over;
}

// ---- titles ---------------------------------------------------------------------------------------

std::string TChartSeries::DefaultTitle() const {
  if (!Name().empty()) return Name();
  if (!ParentChart()) return {};
  const int position = ParentChart()->SeriesList().IndexOf(this);
  return UloMsgSeries + rtl::IntToStr(position + 1);
}

std::string TChartSeries::TitleOrName() const {
  if (Title().empty()) return DefaultTitle();
  return ReplaceChar(Title(), '\x06', ' ');
}

// ---- panel ---------------------------------------------------------------------------------------

void TChartSeries::SetParentChart(TCustomAxisPanel *value) {
  if (ParentChart() == value || changingParent_) return;
  TFlagScope scope(changingParent_);
  if (TCustomAxisPanel *old = ParentChart()) old->RemoveSeries(this);
  SetParentChartField(value);
  marks_->SetParent(value);
  if (value) value->AddSeries(this);
}

void TChartSeries::SetActive(bool value) {
  if (Active() == value) return;
  TCustomChartSeries::SetActive(value);
  BroadcastSeriesEvent(TUloSeriesEventStyle::seChangeActive);
}

void TChartSeries::AddedToPanel() {
  if (color_ == clDefault && ParentChart()) {
    autoColor_ = ParentChart()->FreePaletteColor(true, this);
    BroadcastSeriesEvent(TUloSeriesEventStyle::seChangeColor);
  }
  RecalcAxes();
  CheckDataSource();
}

void TChartSeries::RemovedFromPanel() {
  if (TCustomAxisPanel *p = ParentChart()) {
    if (cursor_ != 0 && p->Cursor() == cursor_) p->SetCursor(p->OriginalCursor());
  }
  DropSourceLinks();
  SetParentChartField(nullptr);
  horizAxisObject_ = nullptr;
  vertAxisObject_ = nullptr;
}

// ---- axes --------------------------------------------------------------------------------------------

void TChartSeries::RecalcAxes() {
  TCustomAxisPanel *p = ParentChart();
  if (!p) {
    horizAxisObject_ = nullptr;
    vertAxisObject_ = nullptr;
    return;
  }
  if (horizAxis_ == THorizAxis::aTopAxis)
    horizAxisObject_ = p->TopAxis();
  else if (horizAxis_ == THorizAxis::aCustomHorizAxis && customHorizAxis_)
    horizAxisObject_ = customHorizAxis_;
  else
    horizAxisObject_ = p->BottomAxis();
  if (vertAxis_ == TVertAxis::aRightAxis)
    vertAxisObject_ = p->RightAxis();
  else if (vertAxis_ == TVertAxis::aCustomVertAxis && customVertAxis_)
    vertAxisObject_ = customVertAxis_;
  else
    vertAxisObject_ = p->LeftAxis();
}

void TChartSeries::SetHorizAxis(THorizAxis value) {
  if (horizAxis_ == value) return;
  horizAxis_ = value;
  if (value != THorizAxis::aCustomHorizAxis && !Loading()) customHorizAxis_ = nullptr;
  RecalcAxes();
  Repaint();
}

void TChartSeries::SetVertAxis(TVertAxis value) {
  if (vertAxis_ == value) return;
  vertAxis_ = value;
  if (value != TVertAxis::aCustomVertAxis && !Loading()) customVertAxis_ = nullptr;
  RecalcAxes();
  Repaint();
}

void TChartSeries::SetCustomHorizAxis(TChartAxis *axis) {
  customHorizAxis_ = axis;
  if (axis) {
    horizAxis_ = THorizAxis::aCustomHorizAxis;
    RecalcAxes();
    Repaint();
  } else {
    SetHorizAxis(THorizAxis::aBottomAxis);
    RecalcAxes();
  }
}

void TChartSeries::SetCustomVertAxis(TChartAxis *axis) {
  customVertAxis_ = axis;
  if (axis) {
    vertAxis_ = TVertAxis::aCustomVertAxis;
    RecalcAxes();
    Repaint();
  } else {
    SetVertAxis(TVertAxis::aLeftAxis);
    RecalcAxes();
  }
}

int TChartSeries::ValueToPixelX(double value) const {
  return horizAxisObject_ ? horizAxisObject_->CalcPosValue(value) : 0;
}

int TChartSeries::ValueToPixelY(double value) const {
  return vertAxisObject_ ? vertAxisObject_->CalcPosValue(value) : 0;
}

int TChartSeries::PointPixelX(int index) { return ValueToPixelX(xValues_->Value(index)); }
int TChartSeries::PointPixelY(int index) { return ValueToPixelY(yValues_->Value(index)); }

// ---- visible range and depth ----------------------------------------------------------------------

void TChartSeries::CalcVisibleRange() {
  firstVisible_ = -1;
  lastVisible_ = -1;
  const int n = PointCount();
  if (n == 0) return;
  if (!calcVisiblePoints_ || notMandatory_->Order() == TChartListOrder::loNone || !ParentChart()) {
    firstVisible_ = 0;
    lastVisible_ = n - 1;
    return;
  }
  const TRect &r = ParentChart()->ChartRect;
  double low, high;
  if (yMandatory_) {
    TChartAxis *a = horizAxisObject_;
    if (!a) {
      firstVisible_ = 0;
      lastVisible_ = n - 1;
      return;
    }
    low = a->CalcPosPoint(a->Inverted() ? r.Right : r.Left);
    high = a->CalcPosPoint(a->Inverted() ? r.Left : r.Right);
  } else {
    TChartAxis *a = vertAxisObject_;
    if (!a) {
      firstVisible_ = 0;
      lastVisible_ = n - 1;
      return;
    }
    low = a->CalcPosPoint(a->Inverted() ? r.Top : r.Bottom);
    high = a->CalcPosPoint(a->Inverted() ? r.Bottom : r.Top);
  }
  const TChartValueList &list = *notMandatory_;
  int first = -1;
  for (int i = 0; i < n; ++i)
    if (!(list.Value(i) < low)) {
      first = i;
      break;
    }
  if (first < 0) return;
  firstVisible_ = first;
  if (!(list.Value(n - 1) > high)) {
    lastVisible_ = n - 1;
    return;
  }
  int last = n - 1;
  for (int i = first; i < n; ++i)
    if (!(list.Value(i) < high)) {
      last = i;
      break;
    }
  if (!drawBetweenPoints_ && list.Value(last) > high) --last;
  lastVisible_ = last;
}

void TChartSeries::TakeZOrder() {
  TCustomAxisPanel *p = ParentChart();
  if (!p) return;
  if (zOrder_ != -1) {
    p->MaxZOrder = std::max(p->MaxZOrder, zOrder_);
    return;
  }
  if (!p->View3D()) {
    computedZOrder_ = 0;
    return;
  }
  computedZOrder_ = ++p->MaxZOrder;
}

void TChartSeries::CalcDepthRange() {
  const int seriesDepth = ParentChart() ? ParentChart()->SeriesDepth() : 0;
  StartZ = seriesDepth * computedZOrder_;
  EndZ = StartZ + (depth_ == -1 ? seriesDepth : depth_);
  MiddleZ = (StartZ + EndZ) / 2;
  marks_->SetZPosition(MiddleZ);
}

bool TChartSeries::SharesZOrder() {
  TCustomAxisPanel *p = ParentChart();
  if (!p || !p->ZOrderDepths() || !CanShareZOrder()) return false;
  const int z = computedZOrder_;
  for (int i = 0; i < p->SeriesCount(); ++i) {
    TChartSeries *s = p->GetSeries(i);
    if (s != this && s->Active() && s->CanShareZOrder() && s->computedZOrder_ == z) return true;
  }
  return false;
}

bool TChartSeries::IsFirstOfZOrder() {
  if (!Active()) return false;
  TCustomAxisPanel *p = ParentChart();
  if (!p) return true;
  const int z = computedZOrder_;
  for (int i = 0; i < p->SeriesCount(); ++i) {
    TChartSeries *s = p->GetSeries(i);
    if (s == this) return true;
    // A series that never shares its z-order draws on its own, not first of
    // a group.
    if (s->Active() && s->CanShareZOrder() && s->computedZOrder_ == z) return false;
  }
  return true;
}

void TChartSeries::CalcFirstLastPage(int &first, int &last) {
  const int n = PointCount();
  if (n == 0) {
    first = last = -1;
    return;
  }
  const int m = ParentChart() ? ParentChart()->Pages().MaxPointsPerPage() : 0;
  if (m < 1) {
    first = 0;
    last = n - 1;
    return;
  }
  const int c = ParentChart()->Pages().Current();
  first = m * (c - 1);
  if (n <= first) first = m * std::max(0, n / m - 1);
  last = first + m - 1;
  if (n <= last) last = (n % m) + first - 1;
}

// ---- samples and gallery -----------------------------------------------------------------------------

void TChartSeries::FillSampleValues(int numValues) {
  if (numValues < 0) throw ChartException(UloMsgFillSample);
  if (numValues == 0) {
    numValues = NumSampleValues();
    if (numValues <= 0) numValues = 25;
  }
  ClearPoints();
  rtl::RandSeed(static_cast<uint64_t>(rtl::RandomInt(7774444)));
  {
    TSeriesUpdateGuard guard(*this);
    AddRandomWalk(numValues);
    ReorderPoints();
  }
  HasManualData = false;
}

void TChartSeries::RandomRanges(double &xMin, double &xSpan, double &yMin, double &ySpan) const {
  xMin = 0;
  xSpan = 1000;
  yMin = 0;
  ySpan = 1000;
  if (TChartAxis *a = GetHorizAxis(); a && a->Maximum() > a->Minimum()) {
    xMin = a->Minimum();
    xSpan = a->Maximum() - a->Minimum();
  }
  if (TChartAxis *a = GetVertAxis(); a && a->Maximum() > a->Minimum()) {
    yMin = a->Minimum();
    ySpan = a->Maximum() - a->Minimum();
  }
}

void TChartSeries::AddRandomWalk(int numValues) {
  double xMin, xSpan, yMin, ySpan;
  RandomRanges(xMin, xSpan, yMin, ySpan);
  double value = (yMandatory_ ? yMin + ySpan * 0.5 : xMin + xSpan * 0.5);
  const double span = yMandatory_ ? ySpan : xSpan;
  const double low = yMandatory_ ? yMin : xMin;
  const double step = numValues > 1 ? (yMandatory_ ? xSpan : ySpan) / (numValues - 1) : 0;
  const double start = yMandatory_ ? xMin : yMin;
  for (int i = 0; i < numValues; ++i) {
    value += (rtl::Random() - 0.5) * span * 0.1;
    value = std::clamp(value, low, low + span);
    const double position = start + step * i;
    if (yMandatory_)
      AddPointXY(position, value);
    else
      AddPointXY(value, position);
  }
}

void TChartSeries::PrepareForGallery(bool enabled) {
  FillSampleValues(4);
  marks_->SetVisible(false);
  marks_->Font().SetSize(7);
  marks_->Callout().SetLength(4);
  marks_->SetDrawEvery(2);
  colorEachPoint_ = true;
  if (!enabled)
    SetSeriesColor(clSilver);
  else if (ParentChart())
    SetSeriesColor(ParentChart()->PaletteColor(ParentChart()->SeriesList().IndexOf(this) == 0 ? 0 : 3));
}

void TChartSeries::ListSubStyles(const TUloSubStyleCallback &callback) {
  if (callback) callback(UloMsgStyleNormal);
}

// ---- stored properties --------------------------------------------------------------------------

namespace {
constexpr streaming::TEnumName<THorizAxis> kHorizAxisNames[] = {{THorizAxis::aTopAxis, "aTopAxis"},
                                                                {THorizAxis::aBottomAxis, "aBottomAxis"},
                                                                {THorizAxis::aBothHorizAxis, "aBothHorizAxis"},
                                                                {THorizAxis::aCustomHorizAxis, "aCustomHorizAxis"}};
constexpr streaming::TEnumName<TVertAxis> kVertAxisNames[] = {{TVertAxis::aLeftAxis, "aLeftAxis"},
                                                              {TVertAxis::aRightAxis, "aRightAxis"},
                                                              {TVertAxis::aBothVertAxis, "aBothVertAxis"},
                                                              {TVertAxis::aCustomVertAxis, "aCustomVertAxis"}};
} // namespace

void TChartSeries::DefineProperties(streaming::TPropertyTable &table) {
  TCustomChartSeries::DefineProperties(table);
  // A stored colour is explicit even when it equals the automatic one, so
  // that a definition reads back as it was written.
  table.Color(
      "SeriesColor", [this] { return color_; },
      [this](TColor c) {
        if (color_ == clDefault && c == autoColor_ && c != clDefault) {
          color_ = c;
          BroadcastSeriesEvent(TUloSeriesEventStyle::seChangeColor);
        } else {
          SetSeriesColor(c);
        }
      },
      clDefault);
  table.Property("ColorEachPoint", this, &TChartSeries::ColorEachPoint, &TChartSeries::SetColorEachPoint, false);
  table.Property("ColorSource", this, &TChartSeries::ColorSource, &TChartSeries::SetColorSource, std::string());
  table.Property(
      "Cursor", [this] { return static_cast<int>(cursor_); },
      [this](int v) { cursor_ = static_cast<int16_t>(std::clamp(v, -32768, 32767)); }, 0);
  table.Property("Depth", this, &TChartSeries::Depth, &TChartSeries::SetDepth, -1);
  table.Property("XLabelsSource", this, &TChartSeries::XLabelsSource, &TChartSeries::SetXLabelsSource, std::string());
  table.Object("Marks", [this] { return marks_.get(); });
  table.Property("PercentFormat", this, &TChartSeries::PercentFormat, &TChartSeries::SetPercentFormat,
                 UloMsgDefPercentFormat);
  table.Property("ValueFormat", this, &TChartSeries::ValueFormat, &TChartSeries::SetValueFormat, UloMsgDefValueFormat);
  table.Object("XValues", [this] { return xValues_; });
  table.Object("YValues", [this] { return yValues_; });
  table.Enum(
      "HorizAxis", [this] { return horizAxis_; }, [this](THorizAxis v) { SetHorizAxis(v); }, THorizAxis::aBottomAxis,
      kHorizAxisNames);
  table.Enum(
      "VertAxis", [this] { return vertAxis_; }, [this](TVertAxis v) { SetVertAxis(v); }, TVertAxis::aLeftAxis,
      kVertAxisNames);
  table.Reference(
      "DataSource",
      [this]() -> streaming::TStoredComponent * { return dataSources_.size() == 1 ? DataSource() : nullptr; },
      [this](streaming::TStoredComponent *c) { SetDataSource(c); });
  UloDefineSeriesKeys(table, *this);
}

// ---- source components ----------------------------------------------------------------------------

TUloSeriesSource::~TUloSeriesSource() {
  destroying_ = true;
  Close();
  if (series_) series_->SourceFreed(this);
}

void TUloSeriesSource::SetActive(bool value) {
  if (active_ == value) return;
  active_ = value;
  if (value) {
    if (!Loading()) Load();
  } else if (series_ && !destroying_ && !keepPoints_) {
    series_->ClearPoints();
  }
}

void TUloSeriesSource::Close() {
  if (Loading()) return;
  if (destroying_) {
    active_ = false;
    return;
  }
  SetActive(false);
}

void TUloSeriesSource::Refresh() {
  if (active_ && !Loading()) Load();
}

void TUloSeriesSource::Loaded() { Refresh(); }

void TUloSeriesSource::SetSeries(TChartSeries *value) {
  if (series_ == value) return;
  Close();
  if (series_) {
    TChartSeries *old = series_;
    series_ = nullptr;
    if (old->DataSource() == this) old->SetDataSource(nullptr);
  }
  if (value) value->SetDataSource(this);
}

bool TUloSeriesSource::HasSeries(TChartSeries *series) const {
  if (!series) return false;
  for (auto *c : series->DataSources())
    if (c != this && c->ClassName() == ClassName()) return true;
  return false;
}
