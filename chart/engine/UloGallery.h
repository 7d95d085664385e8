// The series gallery (which series and function classes exist, under which
// description and on which gallery page) and the tool registry (which tool
// classes exist). The series, function and tool units fill both from their
// start functions and empty them from their stop functions; registering a
// class also makes stored definitions able to create it by name.
//
// A class is passed as a class reference made by UloClass<T>():
//
//   RegisterUloSeries(UloClass<TLineSeries>(), UloMsgGalleryLine, UloMsgPageStandard, 1);
//   RegisterUloBasicFunction(UloClass<TAddTeeFunction>(), UloMsgFunctionAdd);
//   RegisterUloTools({UloClass<TCursorTool>(), UloClass<TDragMarksTool>()});
//   UnRegisterUloTools({UloClass<TCursorTool>(), UloClass<TDragMarksTool>()});
//
// The class must be default-constructible and override ClassName(): the
// reference takes its name from one instance made on first use.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "chart/engine/UloEngineTypes.h"
#include "platform/streaming/Persistent.h"

// A class as a value: the name it is stored under and how to make one.
// Two references are the same class when their names are equal. A
// default-made reference is "none".
template <class Base> class TUloClassRef {
public:
  TUloClassRef() = default;

  const std::string &Name() const noexcept { return name_; }
  bool IsNone() const noexcept { return name_.empty(); }
  explicit operator bool() const noexcept { return !name_.empty(); }
  friend bool operator==(const TUloClassRef &a, const TUloClassRef &b) { return a.name_ == b.name_; }

  // A new object of the class; null for none.
  std::unique_ptr<Base> Create() const { return make_ ? make_() : nullptr; }
  // The factory the stored-definition registry keeps.
  const streaming::TClassFactory &Factory() const noexcept { return factory_; }

  template <class T> static TUloClassRef Of() {
    static_assert(std::is_base_of_v<Base, T>, "the class does not derive from the reference's base");
    static_assert(std::is_base_of_v<streaming::TPersistent, T>, "the class cannot be stored");
    TUloClassRef r;
    r.name_ = std::string(T().ClassName());
    r.make_ = [] { return std::unique_ptr<Base>(std::make_unique<T>()); };
    r.factory_ = [] { return std::unique_ptr<streaming::TPersistent>(std::make_unique<T>()); };
    return r;
  }

private:
  std::string name_;
  std::function<std::unique_ptr<Base>()> make_;
  streaming::TClassFactory factory_;
};

using TChartSeriesClass = TUloClassRef<TChartSeries>;
using TUloFunctionClass = TUloClassRef<TUloFunction>;
using TUloToolClass = TUloClassRef<TUloCustomTool>;

namespace ulo_detail {
template <class T, class = void> struct TClassBase;
template <class T> struct TClassBase<T, std::enable_if_t<std::is_base_of_v<TChartSeries, T>>> {
  using Type = TChartSeries;
};
template <class T> struct TClassBase<T, std::enable_if_t<std::is_base_of_v<TUloFunction, T>>> {
  using Type = TUloFunction;
};
template <class T> struct TClassBase<T, std::enable_if_t<std::is_base_of_v<TUloCustomTool, T>>> {
  using Type = TUloCustomTool;
};
} // namespace ulo_detail

// The reference of a series, function or tool class (its kind follows from
// its base). The name is taken from one instance, made the first time the
// reference of that class is asked for.
template <class T> const TUloClassRef<typename ulo_detail::TClassBase<T>::Type> &UloClass() {
  static const auto ref = TUloClassRef<typename ulo_detail::TClassBase<T>::Type>::template Of<T>();
  return ref;
}

// ---- the series gallery ------------------------------------------------------

// One gallery entry. SeriesClass is none for a function entry and
// FunctionClass none for a plain series entry; SubIndex 0 is the plain
// entry, other values mark variants of the same classes.
class TUloSeriesType {
public:
  TChartSeriesClass SeriesClass;
  TUloFunctionClass FunctionClass;
  std::string Description;
  std::string Page;
  int32_t SampleSeriesCount = 0;
  int32_t SubIndex = 0;
};

// The gallery: its entries in registration order. Clearing frees them.
class TUloSeriesTypes {
public:
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  TUloSeriesType &Items(int index) { return *items_.at(static_cast<size_t>(index)); }
  const TUloSeriesType &Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
  // The first entry of the series class with no function (SubIndex any), or null.
  const TUloSeriesType *Find(const TChartSeriesClass &seriesClass) const;
  void Add(std::unique_ptr<TUloSeriesType> entry) { items_.push_back(std::move(entry)); }
  void Delete(int index) { items_.erase(items_.begin() + index); }
  void Clear() { items_.clear(); }

private:
  std::vector<std::unique_ptr<TUloSeriesType>> items_;
};

// The gallery, made (empty) on first use.
TUloSeriesTypes &UloSeriesTypes();

// Registers both classes (each that is not none) for stored definitions,
// then appends an entry unless SubIndex is 0 and an entry with the same
// series and function classes exists already.
void UloRegisterGalleryEntry(const TChartSeriesClass &seriesClass, const TUloFunctionClass &functionClass,
                             const std::string &description, int32_t subIndex, int32_t sampleSeriesCount,
                             const std::string &page);
// A plain series entry.
void RegisterUloSeries(const TChartSeriesClass &seriesClass, const std::string &description, const std::string &page,
                       int32_t sampleSeriesCount);
// A function entry.
void RegisterUloFunction(const TUloFunctionClass &functionClass, const std::string &description,
                         const std::string &page, int32_t sampleSeriesCount);
// A function entry on the page "Standard" with two sample series.
void RegisterUloBasicFunction(const TUloFunctionClass &functionClass, const std::string &description);

// Removes every entry whose series class (bySeries) or function class is
// className, variants included, and makes stored definitions forget the class.
void UloUnregisterGalleryEntries(bool bySeries, const std::string &className);
void UnRegisterUloSeries(const std::vector<TChartSeriesClass> &classes);
void UnRegisterUloFunctions(const std::vector<TUloFunctionClass> &classes);

// ---- the tool registry -------------------------------------------------------

// The tool classes in registration order, each once.
class TUloToolTypes {
public:
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  const TUloToolClass &Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  // The position of the class with that name, -1 when absent.
  int IndexOf(const std::string &className) const;
  void Add(const TUloToolClass &toolClass) { items_.push_back(toolClass); }
  void Delete(int index) { items_.erase(items_.begin() + index); }
  void Clear() { items_.clear(); }

private:
  std::vector<TUloToolClass> items_;
};

// The tool registry, made (empty) on first use.
TUloToolTypes &UloToolTypes();

// Appends (and registers for stored definitions) every class not yet in
// the registry; a class already present is left alone.
void RegisterUloTools(const std::vector<TUloToolClass> &classes);
// Removes every class found in the registry.
void UnRegisterUloTools(const std::vector<TUloToolClass> &classes);

// ---- start and stop ------------------------------------------------------------

// Makes the gallery and the tool registry, both empty (the engine's start-up).
void UloCreateRegistries();
// Frees the gallery with its entries, then the tool registry (the engine's
// shut-down, after the palette names). Stored definitions forget every
// class still registered in either.
void UloFreeRegistries();
