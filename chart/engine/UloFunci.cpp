#include "chart/engine/UloFunci.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/engine/UloGallery.h"
#include "chart/engine/UloSeries.h"
#include "chart/engine/UloValueList.h"
#include "chart/foundation/UloConst.h"

namespace {

// First = -1 stands for every point.
void WholeRange(TChartSeries &source, int &first, int &last) {
  if (first == -1) {
    first = 0;
    last = source.PointCount() - 1;
  }
}

// The greatest (Greatest) or least of List's values First..Last.
double Extreme(const TChartValueList &list, int first, int last, bool greatest) {
  if (last < first) return 0;
  double result = list.Value(first);
  for (int i = first + 1; i <= last; ++i)
    result = greatest ? std::max(result, list.Value(i)) : std::min(result, list.Value(i));
  return result;
}

// The same across the sources' values at ValueIndex, skipping sources too
// short to have one.
template <class ListOf>
double ExtremeAcross(TUloFunctionSources sources, int valueIndex, bool greatest, ListOf listOf) {
  double result = 0;
  bool started = false;
  for (TChartSeries *s : sources) {
    const TChartValueList &list = listOf(*s);
    if (list.Count() <= valueIndex) continue;
    const double v = list.Value(valueIndex);
    // Starting from the first value, not from 0, keeps all-negative data right.
    if (!started || (greatest ? v > result : v < result)) result = v;
    started = true;
  }
  return result;
}

} // namespace

// ---- sum -------------------------------------------------------------------------

double TAddUloFunction::Calculate(TChartSeries &Source, int First, int Last) {
  TChartValueList &list = ValueListOf(Source);
  if (First == -1) return list.Total();
  double sum = 0;
  for (int i = First; i <= Last; ++i)
    sum += list.Value(i);
  return sum;
}

double TAddUloFunction::CalculateMany(TUloFunctionSources Sources, int ValueIndex) {
  double sum = 0;
  for (TChartSeries *s : Sources) {
    const TChartValueList &list = ValueListOf(*s);
    if (list.Count() > ValueIndex) sum += list.Value(ValueIndex);
  }
  return sum;
}

// ---- folds -------------------------------------------------------------------------

double TManySeriesUloFunction::CalculateMany(TUloFunctionSources Sources, int ValueIndex) {
  double result = 0;
  bool started = false;
  for (TChartSeries *s : Sources) {
    const TChartValueList &list = ValueListOf(*s);
    if (list.Count() <= ValueIndex) continue;
    const double v = list.Value(ValueIndex);
    if (started) {
      CalculateValue(result, v);
    } else {
      result = v;
      started = true;
    }
  }
  return result;
}

void TManySeriesUloFunction::CalculateValue(double &Result, double Value) {
  (void)Result;
  (void)Value;
}

void TSubtractUloFunction::CalculateValue(double &Result, double Value) { Result -= Value; }

void TMultiplyUloFunction::CalculateValue(double &Result, double Value) { Result *= Value; }

void TDivideUloFunction::CalculateValue(double &Result, double Value) {
  if (Value != 0) Result /= Value;
}

// ---- maximum and minimum -------------------------------------------------------------

double THighUloFunction::Calculate(TChartSeries &Source, int First, int Last) {
  TChartValueList &list = ValueListOf(Source);
  if (First == -1) return list.MaxValue();
  return Extreme(list, First, Last, true);
}

double THighUloFunction::CalculateMany(TUloFunctionSources Sources, int ValueIndex) {
  return ExtremeAcross(
      Sources, ValueIndex, true, [this](TChartSeries & s) -> auto & { return ValueListOf(s); });
}

double TLowUloFunction::Calculate(TChartSeries &Source, int First, int Last) {
  TChartValueList &list = ValueListOf(Source);
  if (First == -1) return list.MinValue();
  return Extreme(list, First, Last, false);
}

double TLowUloFunction::CalculateMany(TUloFunctionSources Sources, int ValueIndex) {
  return ExtremeAcross(
      Sources, ValueIndex, false, [this](TChartSeries & s) -> auto & { return ValueListOf(s); });
}

// ---- mean ------------------------------------------------------------------------------

double TAverageUloFunction::Calculate(TChartSeries &Source, int First, int Last) {
  TChartValueList &list = ValueListOf(Source);
  if (First == -1 && includeNulls_) {
    const int n = Source.PointCount();
    return n == 0 ? 0 : list.Total() / n;
  }
  WholeRange(Source, First, Last);
  double sum = 0;
  int count = 0;
  for (int i = First; i <= Last; ++i) {
    if (!includeNulls_ && Source.IsNullPoint(i)) continue;
    sum += list.Value(i);
    ++count;
  }
  return count == 0 ? 0 : sum / count;
}

double TAverageUloFunction::CalculateMany(TUloFunctionSources Sources, int ValueIndex) {
  double sum = 0;
  int count = 0;
  for (TChartSeries *s : Sources) {
    const TChartValueList &list = ValueListOf(*s);
    if (list.Count() <= ValueIndex) continue;
    if (!includeNulls_ && s->IsNullPoint(ValueIndex)) continue;
    sum += list.Value(ValueIndex);
    ++count;
  }
  return count == 0 ? 0 : sum / count;
}

std::string TAverageUloFunction::GetEditorClass() const { return "TAverageFuncEditor"; }

void TAverageUloFunction::Assign(const TUloFunction &Source) {
  TUloFunction::Assign(Source);
  if (auto *s = dynamic_cast<const TAverageUloFunction *>(&Source)) includeNulls_ = s->includeNulls_;
}

void TAverageUloFunction::DefineProperties(streaming::TPropertyTable &table) {
  TUloFunction::DefineProperties(table);
  table.Property("IncludeNulls", this, &TAverageUloFunction::IncludeNulls, &TAverageUloFunction::SetIncludeNulls, true);
}

// ---- y = f(x) ------------------------------------------------------------------------------

TCustomUloFunction::TCustomUloFunction() {
  SetNoSourceNeeded(true);
  SetDefaultPeriod(1.0);
}

void TCustomUloFunction::AddPoints(TChartSeries *Source) {
  (void)Source;
  TChartSeries *parent = ParentSeries();
  if (!OnCalculate || !parent || Updating()) return;
  parent->ClearPoints();
  const bool horizontal = !parent->YMandatory();
  double x = startX_;
  for (int i = 0; i < numPoints_; ++i) {
    double y = 0;
    OnCalculate(*this, x, y);
    if (horizontal)
      parent->AddPointXY(y, x, {}, clDefault);
    else
      parent->AddPointXY(x, y, {}, clDefault);
    x += Period();
  }
}

std::string TCustomUloFunction::GetEditorClass() const { return "TCustomFunctionEditor"; }

void TCustomUloFunction::Assign(const TUloFunction &Source) {
  TUloFunction::Assign(Source);
  if (auto *s = dynamic_cast<const TCustomUloFunction *>(&Source)) {
    numPoints_ = s->numPoints_;
    startX_ = s->startX_;
  }
}

void TCustomUloFunction::DefineProperties(streaming::TPropertyTable &table) {
  TUloFunction::DefineProperties(table);
  table.Property("NumPoints", this, &TCustomUloFunction::NumPoints, &TCustomUloFunction::SetNumPoints, 100);
  table.Property("StartX", this, &TCustomUloFunction::StartX, &TCustomUloFunction::SetStartX, 0.0);
}

// ---- sorted values ----------------------------------------------------------------------

namespace {

// NaN sorts last, so that the order is total and a NaN can be seen.
bool SortedBefore(double a, double b) { return a < b || (!std::isnan(a) && std::isnan(b)); }

} // namespace

double TCustomSortedFunction::Calculate(TChartSeries &Source, int First, int Last) {
  WholeRange(Source, First, Last);
  const TChartValueList &list = *Source.MandatoryValueList();
  sorted_.clear();
  for (int i = First; i <= Last; ++i) {
    if (!includeNulls_ && Source.IsNullPoint(i)) continue;
    sorted_.push_back(list.Value(i));
  }
  std::sort(sorted_.begin(), sorted_.end(), SortedBefore);
  if (!sorted_.empty() && std::isnan(sorted_.back())) return std::numeric_limits<double>::quiet_NaN();
  return CalculateValue(sorted_);
}

double TCustomSortedFunction::CalculateMany(TUloFunctionSources Sources, int ValueIndex) {
  sorted_.clear();
  for (TChartSeries *s : Sources) {
    const TChartValueList &list = *s->MandatoryValueList();
    if (list.Count() <= ValueIndex) continue;
    if (!includeNulls_ && s->IsNullPoint(ValueIndex)) continue;
    sorted_.push_back(list.Value(ValueIndex));
  }
  std::sort(sorted_.begin(), sorted_.end(), SortedBefore);
  if (!sorted_.empty() && std::isnan(sorted_.back())) return std::numeric_limits<double>::quiet_NaN();
  return CalculateValue(sorted_);
}

double TCustomSortedFunction::CalculateValue(std::span<const double> Sorted) const {
  (void)Sorted;
  return 0;
}

void TCustomSortedFunction::Assign(const TUloFunction &Source) {
  TUloFunction::Assign(Source);
  if (auto *s = dynamic_cast<const TCustomSortedFunction *>(&Source)) includeNulls_ = s->includeNulls_;
}

void TCustomSortedFunction::DefineProperties(streaming::TPropertyTable &table) {
  TUloFunction::DefineProperties(table);
  table.Property("IncludeNulls", this, &TCustomSortedFunction::IncludeNulls, &TCustomSortedFunction::SetIncludeNulls,
                 true);
}

double TMedianUloFunction::CalculateValue(std::span<const double> Sorted) const {
  const size_t n = Sorted.size();
  if (n == 0) return 0;
  if (n % 2 == 1) return Sorted[(n - 1) / 2];
  return (Sorted[n / 2 - 1] + Sorted[n / 2]) * 0.5;
}

double TModeUloFunction::CalculateValue(std::span<const double> Sorted) const {
  if (Sorted.empty()) return 0;
  double best = Sorted[0];
  size_t bestRun = 0;
  for (size_t i = 0; i < Sorted.size();) {
    size_t j = i + 1;
    while (j < Sorted.size() && Sorted[j] == Sorted[i])
      ++j;
    // Strictly longer: between runs of one length the first (smallest) wins.
    if (j - i > bestRun) {
      bestRun = j - i;
      best = Sorted[i];
    }
    i = j;
  }
  return best;
}

// ---- registration -------------------------------------------------------------------------

void RegisterUloBasicFunctions() {
  RegisterUloBasicFunction(UloClass<TAddUloFunction>(), UloMsgFunctionAdd);
  RegisterUloBasicFunction(UloClass<TSubtractUloFunction>(), UloMsgFunctionSubtract);
  RegisterUloBasicFunction(UloClass<TMultiplyUloFunction>(), UloMsgFunctionMultiply);
  RegisterUloBasicFunction(UloClass<TDivideUloFunction>(), UloMsgFunctionDivide);
  RegisterUloBasicFunction(UloClass<THighUloFunction>(), UloMsgFunctionHigh);
  RegisterUloBasicFunction(UloClass<TLowUloFunction>(), UloMsgFunctionLow);
  RegisterUloBasicFunction(UloClass<TAverageUloFunction>(), UloMsgFunctionAverage);
  RegisterUloBasicFunction(UloClass<TCustomUloFunction>(), UloMsgYEqualsFunctionOfX);
  RegisterUloBasicFunction(UloClass<TMedianUloFunction>(), UloMsgFunctionMedian);
  RegisterUloBasicFunction(UloClass<TModeUloFunction>(), UloMsgFunctionMode);
}

void UnregisterUloBasicFunctions() {
  UnRegisterUloFunctions({UloClass<TAddUloFunction>(), UloClass<TSubtractUloFunction>(),
                          UloClass<TMultiplyUloFunction>(), UloClass<TDivideUloFunction>(),
                          UloClass<THighUloFunction>(), UloClass<TLowUloFunction>(), UloClass<TAverageUloFunction>(),
                          UloClass<TCustomUloFunction>(), UloClass<TMedianUloFunction>(),
                          UloClass<TModeUloFunction>()});
}
