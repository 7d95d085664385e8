// The point data of a series: one list of doubles per coordinate (X, Y, Z
// and further ones), all of the same length, so that index i of every list
// is point i. A list keeps an optional sort order while points arrive,
// caches its minimum, maximum, total and absolute total, and says whether
// its values are dates. The point labels of a series live beside them in a
// labels list.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chart/engine/UloEngineTypes.h"
#include "platform/streaming/Persistent.h"

enum class TChartListOrder { loNone, loAscending, loDescending };

// How many values a full list grows by (not doubled: a series filled once
// with a known size sets this first and grows in one step). 1000 at start.
extern int ValueListGrowStep;

class TChartValueList : public streaming::TPersistent {
public:
  // Joins Owner's value lists (which then own it) when there is an owner.
  TChartValueList(TChartSeries *owner, std::string_view name);
  TChartValueList(const TChartValueList &) = delete;
  TChartValueList &operator=(const TChartValueList &) = delete;
  ~TChartValueList() override;

  // Order, DateTime and ValueSource; never the values.
  virtual void Assign(const TChartValueList &source);

  // ---- values ------------------------------------------------------------------
  int Count() const noexcept { return count_; }
  // Cuts or extends the count within the capacity (readers of stored data
  // fill Values() and then set the count); beyond it the array grows.
  void SetCount(int value);
  // The array's length: values that fit before the next growth.
  int Capacity() const noexcept { return capacity_; }
  // Makes room for at least Value entries in one step.
  void SetCapacity(int value);

  // Unchecked, like the stored array they stand for.
  double Value(int index) const noexcept { return values_[index]; }
  void SetValue(int index, double value) noexcept {
    values_[index] = value;
    modified_ = true;
  }
  double operator[](int index) const noexcept { return values_[index]; }
  // The whole array for loops over many points; writing through it must be
  // followed by SetModified(true).
  double *Values() noexcept { return values_.get(); }
  const double *Values() const noexcept { return values_.get(); }
  double First() const noexcept { return values_[0]; }
  double Last() const noexcept { return values_[count_ - 1]; }

  // The value the next AddChartValue inserts; series set it on every list
  // and insert into the X list only, the other lists at the returned index.
  double TempValue = 0;

  // Inserts TempValue where the order wants it; returns its index.
  virtual int AddChartValue();
  // The same with TempValue := Value first.
  int AddChartValue(double value);
  virtual void InsertChartValue(int index, double value);
  virtual void Delete(int index);
  void DeleteRange(int start, int quantity);
  // Count 0 and the array released.
  virtual void ClearValues();

  // ---- statistics ----------------------------------------------------------------
  // Each recomputes first when Modified.
  double MaxValue();
  double MinValue();
  double Total();
  double TotalABS();
  double Range() { return MaxValue() - MinValue(); }
  // From scratch, or continued from StartIndex over values appended since
  // the last recomputation.
  void RecalcStats();
  void RecalcStats(int startIndex);
  bool Modified() const noexcept { return modified_; }
  void SetModified(bool value) noexcept { modified_ = value; }

  // ---- reordering ------------------------------------------------------------------
  void Exchange(int a, int b);
  // Value i := i for every point.
  void FillSequence();
  // Whole points move (through the owner's SwapValueIndex); nothing for loNone.
  void Sort();
  // -1, 0 or 1; the other way round for loDescending.
  int CompareValueIndex(int a, int b) const noexcept;
  // The first value goes to the end; Modified is left as it is.
  void Scroll();

  // ---- settings --------------------------------------------------------------------
  const std::string &Name() const noexcept { return name_; }
  void SetName(std::string_view value) { name_ = value; }
  TChartListOrder Order() const noexcept { return order_; }
  void SetOrder(TChartListOrder value) { order_ = value; }
  // Sets Order and the value it is stored against (the order a series
  // kind gives its list from the start).
  void InitOrder(TChartListOrder value) noexcept { order_ = defaultOrder_ = value; }
  bool DateTime() const noexcept { return dateTime_; }
  // Stores and repaints the owner on a change.
  void SetDateTime(bool value);
  // Sets both DateTime and the value it is stored against (series kinds
  // whose lists are dates from the start).
  void InitDateTime(bool value) noexcept { dateTime_ = defaultDateTime_ = value; }
  bool IsDateTimeStored() const noexcept { return dateTime_ != defaultDateTime_; }
  const std::string &ValueSource() const noexcept { return valueSource_; }
  // On a change the owner re-checks its data source.
  void SetValueSource(std::string_view value);
  TChartSeries *Owner() const noexcept { return owner_; }

  // DateTime, Name, Order and ValueSource (each only when it differs from
  // what the list was made with), and the old "Multiplier" key.
  void DefineProperties(streaming::TPropertyTable &table) override;
  // What the old "Multiplier" key does with a stored value: anything but 1
  // shows the obsolete-property error; the value is dropped either way.
  void ReadMultiplier(double value);

private:
  void Grow();
  void MakeRoom(int index);

  int count_ = 0;
  bool dateTime_ = false;
  bool defaultDateTime_ = false;
  double maxValue_ = 0;
  double minValue_ = 0;
  std::string name_;
  TChartListOrder order_ = TChartListOrder::loNone;
  TChartListOrder defaultOrder_ = TChartListOrder::loNone;
  std::string defaultName_;
  TChartSeries *owner_;
  double total_ = 0;
  double totalAbs_ = 0;
  std::string valueSource_;
  bool modified_ = true;
  // Held by malloc so that growing can use realloc.
  struct TFreeValues {
    void operator()(double *values) const noexcept;
  };
  std::unique_ptr<double[], TFreeValues> values_;
  int capacity_ = 0;
  // The values the memory under the array holds (at least the capacity).
  int reserved_ = 0;
};

// The value lists of one series in creation order: 0 is X, 1 is Y. It owns
// them.
class TChartValueLists {
public:
  TChartValueLists() = default;
  TChartValueLists(const TChartValueLists &) = delete;
  TChartValueLists &operator=(const TChartValueLists &) = delete;
  ~TChartValueLists();

  int Count() const noexcept { return static_cast<int>(lists_.size()); }
  TChartValueList *operator[](int index) const noexcept { return lists_[index].get(); }
  TChartValueList *ValueList(int index) const noexcept { return lists_[index].get(); }
  // Takes ownership.
  void Add(TChartValueList *list);
  // Frees every list, then empties itself.
  void Clear();
  // The list named Name, or null.
  TChartValueList *Find(std::string_view name) const noexcept;
  int IndexOf(const TChartValueList *list) const noexcept;

  auto begin() const noexcept { return lists_.begin(); }
  auto end() const noexcept { return lists_.end(); }

private:
  std::vector<std::unique_ptr<TChartValueList>> lists_;
};

// The point labels of a series, parallel to the value lists. Empty as long
// as no point has a label; entries without a label hold nothing.
class TLabelsList {
public:
  int Count() const noexcept { return static_cast<int>(labels_.size()); }
  // The text, or "" at or beyond Count or for a point without a label.
  const std::string &Label(int index) const noexcept;
  const std::string &operator[](int index) const noexcept { return Label(index); }
  // Whether the entry holds a text (even an empty list answers false).
  bool HasLabel(int index) const noexcept;
  // Sets the label of an existing entry (padding when beyond).
  void SetLabel(int index, std::string_view text);
  // An empty text on an empty list does nothing; else pads with empty
  // entries up to Index and inserts the text there.
  void InsertLabel(int index, std::string_view text);
  // Nothing when Index is outside the list.
  void Delete(int index);
  void Clear() noexcept { labels_.clear(); }
  void Assign(const TLabelsList &source);

private:
  std::vector<std::unique_ptr<std::string>> labels_;
};
