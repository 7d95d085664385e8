#include "chart/engine/UloFunction.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloSeries.h"
#include "chart/engine/UloValueList.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProcs.h"
#include "platform/rtl/Numbers.h"

namespace {

constexpr std::array<streaming::TEnumName<TFunctionPeriodStyle>, 2> kPeriodStyleNames{{
    {TFunctionPeriodStyle::psNumPoints, "psNumPoints"},
    {TFunctionPeriodStyle::psRange, "psRange"},
}};

constexpr std::array<streaming::TEnumName<TFunctionPeriodAlign>, 3> kPeriodAlignNames{{
    {TFunctionPeriodAlign::paFirst, "paFirst"},
    {TFunctionPeriodAlign::paCenter, "paCenter"},
    {TFunctionPeriodAlign::paLast, "paLast"},
}};

} // namespace

TUloFunction::TUloFunction() = default;

TUloFunction::~TUloFunction() = default;

void TUloFunction::SetPeriod(double Value) {
  // NaN is no period either: it would be stored and then walk nowhere.
  if (!(Value >= 0)) throw ChartException(UloMsgFunctionPeriod);
  SetAndRecalculate(period_, Value);
}

void TUloFunction::SetPeriodStyle(TFunctionPeriodStyle Value) { SetAndRecalculate(periodStyle_, Value); }

void TUloFunction::SetPeriodAlign(TFunctionPeriodAlign Value) { SetAndRecalculate(periodAlign_, Value); }

void TUloFunction::EndUpdate() {
  if (updating_ == 0) return;
  if (--updating_ == 0) Recalculate();
}

void TUloFunction::Recalculate() {
  if (updating_ == 0 && parent_) parent_->CheckDataSource();
}

TChartValueList &TUloFunction::ValueListOf(TChartSeries &Source) const {
  if (parent_) {
    const std::string &name = parent_->MandatoryValueList()->ValueSource();
    if (!name.empty()) return *Source.FindValueList(name);
  }
  return *Source.MandatoryValueList();
}

void TUloFunction::AddPoints(TChartSeries *Source) {
  if (updating_ > 0 || !Source || !parent_) return;
  if (parent_->DataSources().size() >= 2)
    CalculateManySources(*Source);
  else if (Source->PointCount() > 0)
    AddPointsFrom(*Source, *Source->NotMandatoryValueList());
}

void TUloFunction::AddFunctionXY(bool SourceYMandatory, double Value, double X) {
  if (!parent_) return;
  if (SourceYMandatory)
    parent_->AddPointXY(X, Value, {}, clDefault);
  else
    parent_->AddPointXY(Value, X, {}, clDefault);
}

void TUloFunction::Assign(const TUloFunction &Source) {
  period_ = Source.period_;
  periodStyle_ = Source.periodStyle_;
  periodAlign_ = Source.periodAlign_;
}

void TUloFunction::CalculatePeriod(TChartSeries &Source, int First, int Last, double X) {
  AddFunctionXY(Source.YMandatory(), Calculate(Source, First, Last), X);
}

void TUloFunction::CalculateAllPoints(TChartSeries &Source, TChartValueList &ValueList) {
  const double value = Calculate(Source, -1, -1);
  if (!parent_ || parent_->SingleFunctionPoint()) {
    AddFunctionXY(Source.YMandatory(), value, ValueList.MinValue() + ValueList.Range() * 0.5);
  } else {
    AddFunctionXY(Source.YMandatory(), value, ValueList.MinValue());
    AddFunctionXY(Source.YMandatory(), value, ValueList.MaxValue());
  }
}

void TUloFunction::CalculateByPeriod(TChartSeries &Source, TChartValueList &ValueList) {
  const int64_t n = Source.PointCount();
  if (n == 0) return;
  const bool byRange = periodStyle_ == TFunctionPeriodStyle::psRange;
  // A count that rounds to 0 would never move the walk on.
  const int64_t count = std::max<int64_t>(1, rtl::ClampToInt(rtl::RoundHalfEven(period_)));
  // Date steps follow the calendar; the X list carries the source's date
  // flag once the series has copied it.
  const bool dates = parent_ && parent_->XValues()->DateTime();
  const int dateStep = dates ? UloFindDateTimeStep(period_) : UloNoDateTimeStep;
  int64_t i = 0;
  double spanStart = ValueList.Value(0);
  while (i <= n - 1) {
    int64_t j;
    double start;
    double end = 0;
    double boundary = 0;
    if (byRange) {
      boundary = spanStart;
      if (dates)
        UloIncDecDateTime(true, true, boundary, dateStep, period_);
      else
        boundary = spanStart + period_;
      // A period too small to move a large X (or a date step that lands on
      // the same day) would repeat the same span for ever.
      if (!(boundary > spanStart)) break;
      end = boundary - 0.001 * period_;
      j = i;
      while (j < n - 1 && ValueList.Value(static_cast<int>(j + 1)) < boundary)
        ++j;
      start = spanStart;
      spanStart = boundary;
    } else {
      j = i + count - 1;
      start = ValueList.Value(static_cast<int>(i));
      if (j < n) end = ValueList.Value(static_cast<int>(j));
    }
    const bool holdsPoints = !byRange || ValueList.Value(static_cast<int>(i)) < boundary;
    if (j < n) {
      double position = start;
      if (periodAlign_ == TFunctionPeriodAlign::paLast)
        position = end;
      else if (periodAlign_ == TFunctionPeriodAlign::paCenter)
        position = (start + end) * 0.5;
      if (holdsPoints)
        CalculatePeriod(Source, static_cast<int>(i), static_cast<int>(j), position);
      else
        AddFunctionXY(Source.YMandatory(), 0, position);
    }
    if (holdsPoints) i = j + 1;
  }
}

void TUloFunction::AddPointsFrom(TChartSeries &Source, TChartValueList &ValueList) {
  if (period_ != 0)
    CalculateByPeriod(Source, ValueList);
  else
    CalculateAllPoints(Source, ValueList);
}

std::string TUloFunction::GetEditorClass() const { return "TUloFunctionEditor"; }

void TUloFunction::RecalculateSeries(TCustomAxisPanel *Panel) {
  if (!Panel) return;
  for (int i = 0; i < Panel->SeriesCount(); ++i)
    Panel->GetSeries(i)->PrepareForGallery(true);
}

double TUloFunction::Calculate(TChartSeries &Source, int First, int Last) {
  (void)Source;
  (void)First;
  (void)Last;
  return 0;
}

double TUloFunction::CalculateMany(TUloFunctionSources Sources, int ValueIndex) {
  (void)Sources;
  (void)ValueIndex;
  return 0;
}

void TUloFunction::CalculateManySources(TChartSeries &Source) {
  std::vector<TChartSeries *> sources;
  TChartSeries *reference = &Source;
  for (streaming::TStoredComponent *c : parent_->DataSources())
    if (auto *s = dynamic_cast<TChartSeries *>(c)) {
      sources.push_back(s);
      if (s->PointCount() > reference->PointCount()) reference = s;
    }
  const TChartValueList &xs = *reference->NotMandatoryValueList();
  const int count = reference->PointCount();
  for (int k = 0; k < count; ++k) {
    double x = xs.Value(k);
    double v = CalculateMany(sources, k);
    if (!reference->YMandatory()) std::swap(x, v);
    parent_->AddPointXY(x, v, reference->Label(k), clDefault);
  }
}

void TUloFunction::DefineProperties(streaming::TPropertyTable &table) {
  streaming::TStoredComponent::DefineProperties(table);
  table.Property("Period", this, &TUloFunction::Period, &TUloFunction::SetPeriod, defaultPeriod_);
  table.Enum(
      "PeriodAlign", [this] { return periodAlign_; }, [this](TFunctionPeriodAlign v) { SetPeriodAlign(v); },
      TFunctionPeriodAlign::paCenter, kPeriodAlignNames);
  table.Enum(
      "PeriodStyle", [this] { return periodStyle_; }, [this](TFunctionPeriodStyle v) { SetPeriodStyle(v); },
      TFunctionPeriodStyle::psNumPoints, kPeriodStyleNames);
}
