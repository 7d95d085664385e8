#include "chart/engine/UloValueList.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "chart/engine/UloSeries.h"
#include "chart/foundation/UloProcs.h"

int ValueListGrowStep = 1000;

namespace {
// Not one of the library's shared texts: only this key ever shows it.
constexpr const char *kMultiplierObsolete =
    "Error: Multiplier property is obsolete.\rModify UloDefs (enable Multiplier) and recompile.";
} // namespace

// ---- TChartValueList ----------------------------------------------------------------

TChartValueList::TChartValueList(TChartSeries *owner, std::string_view name)
    : name_(name), defaultName_(name), owner_(owner) {
  ClearValues();
  // Last, so that nothing after it can fail once the owner's list holds us.
  if (owner_) owner_->ValuesList().Add(this);
}

TChartValueList::~TChartValueList() = default;

void TChartValueList::Assign(const TChartValueList &source) {
  order_ = source.order_;
  dateTime_ = source.dateTime_;
  valueSource_ = source.valueSource_;
}

void TChartValueList::SetCount(int value) {
  if (value < 0) value = 0;
  if (value > capacity_) SetCapacity(value);
  count_ = value;
  modified_ = true;
}

void TChartValueList::TFreeValues::operator()(double *values) const noexcept { std::free(values); }

void TChartValueList::SetCapacity(int value) {
  if (value <= capacity_) return;
  if (value > reserved_) {
    // The array lengthens by the step, but the memory under it at least
    // doubles, so a long fill copies each value a bounded number of times.
    const int reserve = static_cast<int>(
        std::min<long long>(std::max<long long>(value, 2LL * reserved_), std::numeric_limits<int>::max()));
    auto *grown = static_cast<double *>(std::realloc(values_.get(), sizeof(double) * static_cast<size_t>(reserve)));
    if (!grown) throw std::bad_alloc();
    (void)values_.release();
    values_.reset(grown);
    // Room past the values reads as zeros, as a new array would.
    std::memset(grown + count_, 0, sizeof(double) * static_cast<size_t>(reserve - count_));
    reserved_ = reserve;
  }
  capacity_ = value;
}

void TChartValueList::Grow() {
  // A step set to nothing sensible still makes room for the value at hand.
  int step = ValueListGrowStep > 0 ? ValueListGrowStep : 1;
  SetCapacity(capacity_ + step);
}

void TChartValueList::MakeRoom(int index) {
  if (capacity_ <= count_) Grow();
  if (index < count_)
    std::memmove(values_.get() + index + 1, values_.get() + index,
                 sizeof(double) * static_cast<size_t>(count_ - index));
}

int TChartValueList::AddChartValue() {
  const double v = TempValue;
  int index = count_;
  if (order_ != TChartListOrder::loNone && count_ > 0) {
    const double *a = values_.get();
    if (order_ == TChartListOrder::loAscending) {
      if (!(v >= a[count_ - 1])) {
        int i = count_ - 1;
        while (i >= 0 && a[i] > v)
          --i;
        index = i + 1;
      }
    } else if (!(v <= a[count_ - 1])) {
      int i = count_ - 1;
      while (i >= 0 && a[i] < v)
        --i;
      index = i + 1;
    }
  }
  MakeRoom(index);
  values_[index] = v;
  ++count_;
  modified_ = true;
  return index;
}

int TChartValueList::AddChartValue(double value) {
  TempValue = value;
  return AddChartValue();
}

void TChartValueList::InsertChartValue(int index, double value) {
  MakeRoom(index);
  values_[index] = value;
  ++count_;
  modified_ = true;
}

void TChartValueList::Delete(int index) { DeleteRange(index, 1); }

void TChartValueList::DeleteRange(int start, int quantity) {
  if (quantity <= 0) return;
  int tail = count_ - start - quantity;
  if (tail > 0)
    std::memmove(values_.get() + start, values_.get() + start + quantity, sizeof(double) * static_cast<size_t>(tail));
  count_ -= quantity;
  modified_ = true;
}

void TChartValueList::ClearValues() {
  count_ = 0;
  values_.reset();
  capacity_ = 0;
  reserved_ = 0;
  modified_ = true;
}

double TChartValueList::MaxValue() {
  if (modified_) RecalcStats();
  return maxValue_;
}

double TChartValueList::MinValue() {
  if (modified_) RecalcStats();
  return minValue_;
}

double TChartValueList::Total() {
  if (modified_) RecalcStats();
  return total_;
}

double TChartValueList::TotalABS() {
  if (modified_) RecalcStats();
  return totalAbs_;
}

void TChartValueList::RecalcStats() {
  if (count_ > capacity_) count_ = capacity_;
  if (count_ == 0) {
    minValue_ = maxValue_ = total_ = totalAbs_ = 0;
    modified_ = false;
    return;
  }
  const double v0 = values_[0];
  minValue_ = maxValue_ = total_ = v0;
  totalAbs_ = std::fabs(v0);
  RecalcStats(1);
}

void TChartValueList::RecalcStats(int startIndex) {
  if (count_ > capacity_) count_ = capacity_;
  const double *a = values_.get();
  double lo = minValue_, hi = maxValue_, sum = total_, sumAbs = totalAbs_;
  for (int i = startIndex < 0 ? 0 : startIndex; i < count_; ++i) {
    const double v = a[i];
    if (v < lo)
      lo = v;
    else if (v > hi)
      hi = v;
    sum += v;
    sumAbs += std::fabs(v);
  }
  minValue_ = lo;
  maxValue_ = hi;
  total_ = sum;
  totalAbs_ = sumAbs;
  modified_ = false;
}

void TChartValueList::Exchange(int a, int b) {
  std::swap(values_[a], values_[b]);
  modified_ = true;
  if (owner_) owner_->PropagateToDependents(UloChangeReordered, a);
}

void TChartValueList::FillSequence() {
  for (int i = 0; i < count_; ++i)
    values_[i] = i;
  modified_ = true;
  if (owner_) owner_->PropagateToDependents(UloChangeReordered);
}

void TChartValueList::Sort() {
  if (order_ == TChartListOrder::loNone || count_ < 2) return;
  TUloSwapProc swap;
  if (owner_)
    swap = [this](int a, int b) { owner_->SwapValueIndex(a, b); };
  else
    swap = [this](int a, int b) { std::swap(values_[a], values_[b]); };
  UloSort(
      0, count_ - 1, [this](int a, int b) { return CompareValueIndex(a, b); }, swap);
  modified_ = true;
}

int TChartValueList::CompareValueIndex(int a, int b) const noexcept {
  const double va = values_[a], vb = values_[b];
  int result = va < vb ? -1 : (va > vb ? 1 : 0);
  return order_ == TChartListOrder::loDescending ? -result : result;
}

void TChartValueList::Scroll() {
  if (count_ < 1) return;
  const double first = values_[0];
  std::memmove(values_.get(), values_.get() + 1, sizeof(double) * static_cast<size_t>(count_ - 1));
  values_[count_ - 1] = first;
}

void TChartValueList::SetDateTime(bool value) {
  if (dateTime_ == value) return;
  dateTime_ = value;
  if (owner_) owner_->Repaint();
}

void TChartValueList::SetValueSource(std::string_view value) {
  if (valueSource_ == value) return;
  valueSource_ = value;
  if (owner_) owner_->CheckDataSource();
}

void TChartValueList::ReadMultiplier(double value) {
  if (value != 1) ShowChartError(kMultiplierObsolete);
}

namespace {
constexpr streaming::TEnumName<TChartListOrder> kOrderNames[] = {
    {TChartListOrder::loNone, "loNone"},
    {TChartListOrder::loAscending, "loAscending"},
    {TChartListOrder::loDescending, "loDescending"},
};
} // namespace

void TChartValueList::DefineProperties(streaming::TPropertyTable &table) {
  table
      .Property(
          "DateTime", [this] { return dateTime_; }, [this](bool v) { SetDateTime(v); })
      .StoredWhen([this] { return IsDateTimeStored(); });
  table
      .Property(
          "Name", [this] { return name_; }, [this](const std::string &v) { SetName(v); })
      .StoredWhen([this] { return name_ != defaultName_; });
  table
      .Define(
          "Order",
          [this](const streaming::TValue &v, streaming::TReadContext &) {
            for (const auto &n : kOrderNames)
              if (n.Name == v.AsIdent()) {
                SetOrder(n.Value);
                return;
              }
            v.Fail("unknown value " + v.AsIdent());
          },
          [this]() -> std::optional<streaming::TValue> {
            for (const auto &n : kOrderNames)
              if (n.Value == order_) return streaming::TValue::MakeIdent(std::string(n.Name));
            return std::nullopt;
          })
      .StoredWhen([this] { return order_ != defaultOrder_; });
  table.Property(
      "ValueSource", [this] { return valueSource_; }, [this](const std::string &v) { SetValueSource(v); },
      std::string{});
  table.Define(
      "Multiplier", [this](const streaming::TValue &v, streaming::TReadContext &) { ReadMultiplier(v.AsFloat()); },
      nullptr);
}

// ---- TChartValueLists ----------------------------------------------------------------

TChartValueLists::~TChartValueLists() = default;

void TChartValueLists::Add(TChartValueList *list) { lists_.emplace_back(list); }

void TChartValueLists::Clear() { lists_.clear(); }

TChartValueList *TChartValueLists::Find(std::string_view name) const noexcept {
  for (const auto &l : lists_)
    if (l->Name() == name) return l.get();
  return nullptr;
}

int TChartValueLists::IndexOf(const TChartValueList *list) const noexcept {
  for (size_t i = 0; i < lists_.size(); ++i)
    if (lists_[i].get() == list) return static_cast<int>(i);
  return -1;
}

// ---- TLabelsList ----------------------------------------------------------------------

const std::string &TLabelsList::Label(int index) const noexcept {
  static const std::string empty;
  if (index < 0 || index >= Count() || !labels_[index]) return empty;
  return *labels_[index];
}

bool TLabelsList::HasLabel(int index) const noexcept { return index >= 0 && index < Count() && labels_[index]; }

void TLabelsList::SetLabel(int index, std::string_view text) {
  if (index < 0) return;
  if (index >= Count()) {
    if (text.empty()) return;
    labels_.resize(static_cast<size_t>(index) + 1);
  }
  if (text.empty())
    labels_[index].reset();
  else
    labels_[index] = std::make_unique<std::string>(text);
}

void TLabelsList::InsertLabel(int index, std::string_view text) {
  if (index < 0) return;
  if (text.empty() && labels_.empty()) return;
  if (index > Count()) labels_.resize(static_cast<size_t>(index));
  labels_.insert(labels_.begin() + index, text.empty() ? nullptr : std::make_unique<std::string>(text));
}

void TLabelsList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  labels_.erase(labels_.begin() + index);
}

void TLabelsList::Assign(const TLabelsList &source) {
  if (&source == this) return;
  Clear();
  for (int i = 0; i < source.Count(); ++i)
    if (source.HasLabel(i)) InsertLabel(i, source.Label(i));
}
