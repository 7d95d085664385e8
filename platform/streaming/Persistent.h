// Objects that can be stored in a definition: the property table each class
// fills, the component base, collections, and the class registry. See
// Streaming.h for the whole picture.
#pragma once

#include "platform/rtl/Colors.h"
#include "platform/streaming/BinaryBlock.h"
#include "platform/streaming/StoredValue.h"

#include <cmath>
#include <cstring>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace streaming {

class TPropertyTable;
class TReadContext;
class TStoredComponent;

// Anything with stored properties: components, and the parts they own
// (pens, fonts, axes, collection items).
class TPersistent {
public:
  virtual ~TPersistent() = default;
  // Declares the stored properties in the order they are written. An
  // override calls its base class first; declaring a name again replaces
  // the base's declaration in place (a different default, say).
  virtual void DefineProperties(TPropertyTable &table) { (void)table; }
};

using TReadFn = std::function<void(const TValue &, TReadContext &)>;
// Returns the value to store, or nullopt when the property is not stored.
using TWriteFn = std::function<std::optional<TValue>()>;
using TStoredFn = std::function<bool()>;

// One declared property.
struct TPropertyDef {
  std::string Name;
  TReadFn Read;                          // applies a value read from a definition
  TWriteFn Write;                        // empty: an old key, read but never written
  std::function<TPersistent *()> Object; // set for a nested object reached by "Name.Sub" paths
  TStoredFn Stored;                      // empty, or written only while it says true

  TPropertyDef &StoredWhen(TStoredFn pred) {
    Stored = std::move(pred);
    return *this;
  }
  // Makes the key an old one: still read, never written.
  TPropertyDef &ReadOnly() {
    Write = nullptr;
    return *this;
  }
};

// Name tables for enumerations and sets. Keep them in static storage: the
// table refers to them while it lives.
template <class E> struct TEnumName {
  E Value;
  std::string_view Name;
};
struct TSetBit {
  uint64_t Bit;
  std::string_view Name;
};

// An owned, ordered collection of items (custom axes, drawn lines, image
// filters), stored as a list of records, one per item, in order.
class TStoredCollection {
public:
  virtual ~TStoredCollection() = default;
  virtual size_t StoredCount() const = 0;
  virtual TPersistent &StoredItem(size_t index) = 0;
  virtual void StoredClear() = 0;
  // Appends a new item. className is the class written before the item's
  // record ("TBlurFilter { Amount = 3 }"), empty when the record has none;
  // a class name is known to be registered, so a collection of mixed
  // classes makes its items with ctx.Registry().Create(className).
  virtual TPersistent &StoredAdd(const std::string &className, TReadContext &ctx) = 0;
  // The class to write before item index's record; empty writes none.
  virtual std::string StoredItemClass(size_t index) const {
    (void)index;
    return {};
  }
};

// How plain C++ values map to stored values.
template <class T, class = void> struct TValueTraits;

template <> struct TValueTraits<bool> {
  static TValue ToValue(bool v) { return TValue::MakeBoolean(v); }
  static bool FromValue(const TValue &v) { return v.AsBoolean(); }
};

template <class T> struct TValueTraits<T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>> {
  static_assert(sizeof(T) < 8 || std::is_signed_v<T>, "64-bit unsigned values are not stored");
  static TValue ToValue(T v) { return TValue::MakeInteger(static_cast<int64_t>(v)); }
  static T FromValue(const TValue &v) {
    int64_t i = v.AsInteger();
    bool fits;
    if constexpr (std::is_signed_v<T>)
      fits = i >= std::numeric_limits<T>::min() && i <= std::numeric_limits<T>::max();
    else
      fits = i >= 0 && static_cast<uint64_t>(i) <= std::numeric_limits<T>::max();
    if (!fits) v.Fail("integer " + std::to_string(i) + " is out of range for this property");
    return static_cast<T>(i);
  }
};

template <> struct TValueTraits<double> {
  static TValue ToValue(double v) { return TValue::MakeFloat(v); }
  static double FromValue(const TValue &v) { return v.AsFloat(); }
};

template <> struct TValueTraits<std::string> {
  static TValue ToValue(const std::string &v) { return TValue::MakeString(v); }
  static std::string FromValue(const TValue &v) { return v.AsString(); }
};

template <> struct TValueTraits<std::vector<std::string>> {
  static TValue ToValue(const std::vector<std::string> &v) { return TValue::MakeStrings(v); }
  static std::vector<std::string> FromValue(const TValue &v) { return v.AsStrings(); }
};

template <> struct TValueTraits<std::vector<int32_t>> {
  static TValue ToValue(const std::vector<int32_t> &v) { return TValue::MakeIntegers(v); }
  static std::vector<int32_t> FromValue(const TValue &v) { return v.AsInt32List(); }
};

template <> struct TValueTraits<std::vector<double>> {
  static TValue ToValue(const std::vector<double> &v) {
    TValue r = TValue::MakeList();
    for (double d : v)
      r.Items.push_back(TValue::MakeFloat(d));
    return r;
  }
  static std::vector<double> FromValue(const TValue &v) {
    std::vector<double> r;
    for (const auto &e : v.AsList())
      r.push_back(e.AsFloat());
    return r;
  }
};

// Equal for the purpose of "differs from its default": doubles by their
// bits, so -0.0 is stored when the default is 0.0.
template <class T> bool SameStoredValue(const T &a, const T &b) {
  if constexpr (std::is_floating_point_v<T>)
    return std::memcmp(&a, &b, sizeof(T)) == 0;
  else
    return a == b;
}

// Wraps a getter or setter member function as a callable.
template <class Self, class C, class R> auto Getter(Self *self, R (C::*get)() const) {
  return [self, get]() -> std::decay_t<R> { return (self->*get)(); };
}
template <class Self, class C, class A> auto Setter(Self *self, void (C::*set)(A)) {
  return [self, set](std::decay_t<A> v) { (self->*set)(std::move(v)); };
}

// Filled by TPersistent::DefineProperties; read and written by the reader
// and writer. Every helper returns the declaration, so a stored-when
// predicate can follow: table.Property(...).StoredWhen(...).
class TPropertyTable {
public:
  // A custom key: its own reader and writer. A null write makes it an old,
  // read-only key.
  TPropertyDef &Define(std::string_view name, TReadFn read, TWriteFn write);

  // A nested object whose properties are stored as "Name.Sub = ...". get
  // may return nullptr (nothing stored). An object made on first use should
  // say StoredWhen(it exists), or the writer will make it.
  TPropertyDef &Object(std::string_view name, std::function<TPersistent *()> get);

  // A binary block. The reader sees exactly the block's bytes and must use
  // all of them; write is null for an old key. Give the condition with
  // StoredWhen; without one the block is always written.
  TPropertyDef &Binary(std::string_view name, std::function<void(TBinaryReader &, TReadContext &)> read,
                       std::function<void(TBinaryWriter &)> write);

  // A reference to another component of the same definition, by name
  // ("@Series1"); assigned after the whole definition is read. Stored
  // when get gives a component.
  TPropertyDef &Reference(std::string_view name, std::function<TStoredComponent *()> get,
                          std::function<void(TStoredComponent *)> set);

  // A collection: reading clears it and adds one item per record; written
  // when it has items.
  TPropertyDef &Collection(std::string_view name, TStoredCollection &items);

  // A colour: written as its name when it has one (clWhite, clInfoBk,
  // clDefault), else as a hexadecimal integer; read from either.
  TPropertyDef &Color(std::string_view name, std::function<TColor()> get, std::function<void(TColor)> set, TColor def);

  // A set of named bits: written as [name, ...] in table order. A set bit
  // without a name cannot be written.
  TPropertyDef &SetOf(std::string_view name, std::function<uint64_t()> get, std::function<void(uint64_t)> set,
                      uint64_t def, std::span<const TSetBit> bits);

  // An enumeration, written as the value's name.
  template <class E, class G, class S>
  TPropertyDef &Enum(std::string_view name, G get, S set, E def,
                     std::type_identity_t<std::span<const TEnumName<E>>> names) {
    auto read = [set, names](const TValue &v, TReadContext &) {
      const std::string &id = v.AsIdent();
      for (const auto &n : names)
        if (n.Name == id) {
          set(n.Value);
          return;
        }
      v.Fail("unknown value " + id);
    };
    auto write = [get, def, names]() -> std::optional<TValue> {
      E cur = get();
      if (cur == def) return std::nullopt;
      for (const auto &n : names)
        if (n.Value == cur) return TValue::MakeIdent(std::string(n.Name));
      throw EWriteError("value " + std::to_string(static_cast<int64_t>(cur)) + " has no name");
    };
    return Define(name, read, write);
  }

  // A plain value (bool, integers, double, std::string, lists of strings,
  // integers or doubles), stored when it differs from def. The value type
  // is the getter's return type, so a literal 0 as the default of a double
  // property stays a double.
  template <class G, class S>
  TPropertyDef &Property(std::string_view name, G get, S set,
                         std::type_identity_t<std::decay_t<std::invoke_result_t<G>>> def) {
    using T = std::decay_t<std::invoke_result_t<G>>;
    return Define(
        name, [set](const TValue &v, TReadContext &) { set(TValueTraits<T>::FromValue(v)); },
        [get, def]() -> std::optional<TValue> {
          T cur = get();
          if (SameStoredValue(cur, def)) return std::nullopt;
          return TValueTraits<T>::ToValue(cur);
        });
  }

  // A plain value that is always stored.
  template <class G, class S> TPropertyDef &Property(std::string_view name, G get, S set) {
    using T = std::decay_t<std::invoke_result_t<G>>;
    return Define(
        name, [set](const TValue &v, TReadContext &) { set(TValueTraits<T>::FromValue(v)); },
        [get]() -> std::optional<TValue> { return TValueTraits<T>::ToValue(get()); });
  }

  // The same with member functions: Property("Width", this, &TFoo::Width, &TFoo::SetWidth, 400).
  template <class Self, class C1, class R, class C2, class A>
  TPropertyDef &Property(std::string_view name, Self *self, R (C1::*get)() const, void (C2::*set)(A),
                         std::type_identity_t<std::decay_t<R>> def) {
    return Property(name, Getter(self, get), Setter(self, set), def);
  }

  const TPropertyDef *Find(std::string_view name) const;
  const std::deque<TPropertyDef> &Defs() const noexcept { return defs_; }

private:
  std::deque<TPropertyDef> defs_;
};

// A named object of a definition, with children of its own. Its class
// name must be registered for a definition to create it.
class TStoredComponent : public TPersistent {
public:
  // The registered class name written before the component ("TChart").
  virtual std::string_view ClassName() const = 0;

  const std::string &Name() const noexcept { return name_; }
  virtual void SetName(const std::string &name) { name_ = name; }

  // True while a definition is being read into this component: from its
  // creation by the reader (or the start of reading into it) until just
  // before its Loaded(). Setters consult it to defer checks and cascades.
  bool Loading() const noexcept { return loading_; }

  // Called once the whole definition is read and every reference and
  // fix-up resolved, in reading order (parents before children).
  virtual void Loaded() {}

  // Takes a child read from a definition, before its properties are read.
  // The component must keep it for as long as it lives (or raise: a class
  // that cannot hold such a child raises EDefinitionError); the default
  // holds no children.
  virtual void InsertStoredChild(std::unique_ptr<TStoredComponent> child);

  // The children to write, in order. Children made by code, which a
  // definition should not hold, are left out.
  virtual std::vector<TStoredComponent *> StoredChildren() { return {}; }

private:
  friend class TReadContext;
  std::string name_;
  bool loading_ = false;
};

// Finds a component by name among root and its stored children, depth first.
TStoredComponent *FindComponent(TStoredComponent &root, std::string_view name);
template <class T> T *FindComponentAs(TStoredComponent &root, std::string_view name) {
  return dynamic_cast<T *>(FindComponent(root, name));
}

// Which class name creates which object.
using TClassFactory = std::function<std::unique_ptr<TPersistent>()>;

class TClassRegistry {
public:
  // Registers name unless it is registered already; returns whether it was added.
  bool RegisterClass(const std::string &name, TClassFactory factory);
  template <class T> bool RegisterClass(const std::string &name) {
    return RegisterClass(name, [] { return std::unique_ptr<TPersistent>(std::make_unique<T>()); });
  }
  void UnregisterClass(std::string_view name);
  bool IsRegistered(std::string_view name) const;
  // A new object of the class, nullptr for an unknown name.
  std::unique_ptr<TPersistent> Create(std::string_view name) const;

private:
  std::unordered_map<std::string, TClassFactory> factories_;
};

// The program's registry, filled by the units' start-up functions and
// emptied by their shut-down functions (created on first use, empty).
TClassRegistry &ClassRegistry();

// Colour names as definitions spell them: the named colours, the system
// colours, clNone and clDefault.
std::optional<std::string_view> ColorToIdent(TColor color);
std::optional<TColor> IdentToColor(std::string_view ident);
// The stored form of a colour: its name, else a hexadecimal integer.
TValue ColorToValue(TColor color);
// A colour from a name or an integer (any 32-bit pattern, so system colours
// may be written as 0x80000018).
TColor ValueToColor(const TValue &value);

} // namespace streaming
