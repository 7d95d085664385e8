// A series function: a calculation attached to a series (its parent series)
// that fills that series from the points of its data sources. One source
// gives one value per period of points (a count of points or a span of X)
// or one value over all points; several sources give one value per point
// index across them. The ready functions derive from it (UloFunci.h, the
// smoothing function in chart/series/UloSpline.h).
//
// How the series and the function meet:
// - The series owns its function. TChartSeries::AttachFunction takes it
//   (std::unique_ptr), frees the one it had, and calls SetParentSeries(this)
//   on the new one; a series being destroyed frees its function.
// - When the series is refilled from its sources (CopyAllPointsFrom) it
//   calls AddPoints(source). A series whose function needs no source
//   (NoSourceNeeded) is refilled by AddPoints(nullptr).
// - ClearPoints on the series calls Clear.
// - A stored function is a child component of its series.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chart/engine/UloEngineTypes.h"
#include "platform/streaming/Persistent.h"

enum class TFunctionPeriodStyle { psNumPoints, psRange };
enum class TFunctionPeriodAlign { paFirst, paCenter, paLast };

// The data sources a several-sources calculation reads, in the parent
// series' order.
using TUloFunctionSources = std::span<TChartSeries *const>;

class TUloFunction : public streaming::TStoredComponent {
public:
  TUloFunction();
  ~TUloFunction() override;
  TUloFunction(const TUloFunction &) = delete;
  TUloFunction &operator=(const TUloFunction &) = delete;

  std::string_view ClassName() const override { return "TUloFunction"; }

  // ---- properties ----
  // 0: one value over all source points; above 0: the size of a period.
  double Period() const noexcept { return period_; }
  // A negative value raises ChartException and keeps the old period.
  void SetPeriod(double Value);
  TFunctionPeriodStyle PeriodStyle() const noexcept { return periodStyle_; }
  void SetPeriodStyle(TFunctionPeriodStyle Value);
  TFunctionPeriodAlign PeriodAlign() const noexcept { return periodAlign_; }
  void SetPeriodAlign(TFunctionPeriodAlign Value);
  // The function makes its points without any source.
  bool NoSourceNeeded() const noexcept { return noSourceNeeded_; }
  // The function reads one source at a time (true in the base).
  bool SingleSource() const noexcept { return singleSource_; }

  // ---- the parent link ----
  TChartSeries *ParentSeries() const noexcept { return parent_; }
  // Called by TChartSeries::AttachFunction (and with nullptr when the series
  // lets the function go); it only records the link.
  void SetParentSeries(TChartSeries *Value) noexcept { parent_ = Value; }

  // While updating, changes of the settings do not recalculate; EndUpdate
  // recalculates once when the last update ends.
  void BeginUpdate() noexcept { ++updating_; }
  void EndUpdate();
  bool Updating() const noexcept { return updating_ > 0; }

  // ---- operations ----
  // Asks the parent series to re-check its data source (which refills it),
  // unless updating.
  void Recalculate();
  // The source's list named by the parent's MandatoryValueList.ValueSource,
  // else the source's mandatory list.
  TChartValueList &ValueListOf(TChartSeries &Source) const;
  // Fills the parent series from Source (nullptr for a function that needs
  // no source).
  virtual void AddPoints(TChartSeries *Source);
  // Adds (X, Value) to the parent series, exchanged for a horizontal source.
  void AddFunctionXY(bool SourceYMandatory, double Value, double X);
  // The parent series was cleared (nothing in the base).
  virtual void Clear() {}
  // Copies Period, PeriodStyle and PeriodAlign.
  virtual void Assign(const TUloFunction &Source);

  // ---- virtual calculation steps ----
  virtual void CalculatePeriod(TChartSeries &Source, int First, int Last, double X);
  virtual void CalculateAllPoints(TChartSeries &Source, TChartValueList &ValueList);
  virtual void CalculateByPeriod(TChartSeries &Source, TChartValueList &ValueList);
  virtual void AddPointsFrom(TChartSeries &Source, TChartValueList &ValueList);
  virtual std::string GetEditorClass() const;
  // Prepares every series of Panel for a gallery preview.
  virtual void RecalculateSeries(TCustomAxisPanel *Panel);
  // The value over source points First to Last; First = -1: every point.
  virtual double Calculate(TChartSeries &Source, int First, int Last);
  // The value at ValueIndex across several sources.
  virtual double CalculateMany(TUloFunctionSources Sources, int ValueIndex);

  void DefineProperties(streaming::TPropertyTable &table) override;

protected:
  void SetNoSourceNeeded(bool Value) noexcept { noSourceNeeded_ = Value; }
  void SetSingleSource(bool Value) noexcept { singleSource_ = Value; }
  // A descendant that starts with another Period says so here, so that
  // the stored definition leaves that value out.
  void SetDefaultPeriod(double Value) noexcept { period_ = defaultPeriod_ = Value; }
  // Stores a changed value and recalculates.
  template <class T, class U> void SetAndRecalculate(T &field, U &&value) {
    if (field == value) return;
    field = std::forward<U>(value);
    Recalculate();
  }

private:
  // One value per index of the longest source, across every data source.
  void CalculateManySources(TChartSeries &Source);

  TChartSeries *parent_ = nullptr;
  double period_ = 0;
  double defaultPeriod_ = 0;
  TFunctionPeriodStyle periodStyle_ = TFunctionPeriodStyle::psNumPoints;
  TFunctionPeriodAlign periodAlign_ = TFunctionPeriodAlign::paCenter;
  int updating_ = 0;
  bool singleSource_ = true;
  bool noSourceNeeded_ = false;
};
