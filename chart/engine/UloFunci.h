// The ten ready series functions: sum, difference, product, quotient,
// maximum, minimum, mean, a user formula through an event, median and mode.
// RegisterUloBasicFunctions puts them on the gallery's "Standard" page.
#pragma once

#include <functional>
#include <vector>

#include "chart/engine/UloFunction.h"

// Sum: over one source's values, or of value k across the sources.
class TAddUloFunction : public TUloFunction {
public:
  std::string_view ClassName() const override { return "TAddUloFunction"; }
  double Calculate(TChartSeries &Source, int First, int Last) override;
  double CalculateMany(TUloFunctionSources Sources, int ValueIndex) override;
};

// A fold over the sources holding index k, in their order: the first value
// starts the result, every next one is combined by CalculateValue.
class TManySeriesUloFunction : public TUloFunction {
public:
  std::string_view ClassName() const override { return "TManySeriesUloFunction"; }
  double CalculateMany(TUloFunctionSources Sources, int ValueIndex) override;

protected:
  virtual void CalculateValue(double &Result, double Value);
};

class TSubtractUloFunction : public TManySeriesUloFunction {
public:
  std::string_view ClassName() const override { return "TSubtractUloFunction"; }

protected:
  void CalculateValue(double &Result, double Value) override;
};

class TMultiplyUloFunction : public TManySeriesUloFunction {
public:
  std::string_view ClassName() const override { return "TMultiplyUloFunction"; }

protected:
  void CalculateValue(double &Result, double Value) override;
};

// A value of 0 leaves the quotient unchanged.
class TDivideUloFunction : public TManySeriesUloFunction {
public:
  std::string_view ClassName() const override { return "TDivideUloFunction"; }

protected:
  void CalculateValue(double &Result, double Value) override;
};

class THighUloFunction : public TUloFunction {
public:
  std::string_view ClassName() const override { return "THighUloFunction"; }
  double Calculate(TChartSeries &Source, int First, int Last) override;
  double CalculateMany(TUloFunctionSources Sources, int ValueIndex) override;
};

class TLowUloFunction : public TUloFunction {
public:
  std::string_view ClassName() const override { return "TLowUloFunction"; }
  double Calculate(TChartSeries &Source, int First, int Last) override;
  double CalculateMany(TUloFunctionSources Sources, int ValueIndex) override;
};

class TAverageUloFunction : public TUloFunction {
public:
  std::string_view ClassName() const override { return "TAverageUloFunction"; }
  // Null points (colour clNone) count unless this is false.
  bool IncludeNulls() const noexcept { return includeNulls_; }
  void SetIncludeNulls(bool Value) { SetAndRecalculate(includeNulls_, Value); }

  double Calculate(TChartSeries &Source, int First, int Last) override;
  double CalculateMany(TUloFunctionSources Sources, int ValueIndex) override;
  std::string GetEditorClass() const override;
  void Assign(const TUloFunction &Source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  bool includeNulls_ = true;
};

// Y = f(X) through OnCalculate, for NumPoints values of X from StartX in
// steps of Period. Needs no source.
class TCustomUloFunction : public TUloFunction {
public:
  using TCalculateEvent = std::function<void(TCustomUloFunction &Sender, double X, double &Y)>;

  TCustomUloFunction();
  std::string_view ClassName() const override { return "TCustomUloFunction"; }

  int NumPoints() const noexcept { return numPoints_; }
  void SetNumPoints(int Value) { SetAndRecalculate(numPoints_, Value); }
  double StartX() const noexcept { return startX_; }
  void SetStartX(double Value) { SetAndRecalculate(startX_, Value); }

  TCalculateEvent OnCalculate;

  void AddPoints(TChartSeries *Source) override;
  std::string GetEditorClass() const override;
  void Assign(const TUloFunction &Source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  int numPoints_ = 100;
  double startX_ = 0;
};

// Collects the values into an ascending array and answers CalculateValue
// of it. Only real values are collected: a left-out null or a source
// without the index adds nothing.
class TCustomSortedFunction : public TUloFunction {
public:
  std::string_view ClassName() const override { return "TCustomSortedFunction"; }
  bool IncludeNulls() const noexcept { return includeNulls_; }
  void SetIncludeNulls(bool Value) { SetAndRecalculate(includeNulls_, Value); }

  double Calculate(TChartSeries &Source, int First, int Last) override;
  double CalculateMany(TUloFunctionSources Sources, int ValueIndex) override;
  void Assign(const TUloFunction &Source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;

protected:
  // The answer for the sorted values (0 for none in the base).
  virtual double CalculateValue(std::span<const double> Sorted) const;

private:
  bool includeNulls_ = true;
  // Kept between calls so that a periodic calculation allocates once.
  std::vector<double> sorted_;
};

// The textbook median; 0 for no values.
class TMedianUloFunction : public TCustomSortedFunction {
public:
  std::string_view ClassName() const override { return "TMedianUloFunction"; }

protected:
  double CalculateValue(std::span<const double> Sorted) const override;
};

// The value with the longest run of equal values; a tie goes to the
// smaller value; 0 for no values.
class TModeUloFunction : public TCustomSortedFunction {
public:
  std::string_view ClassName() const override { return "TModeUloFunction"; }

protected:
  double CalculateValue(std::span<const double> Sorted) const override;
};

// Registers the ten functions in the gallery (page "Standard") and with the
// class registry, in their gallery order; the unregistering removes them.
void RegisterUloBasicFunctions();
void UnregisterUloBasicFunctions();
