#include "platform/streaming/Persistent.h"

#include "platform/streaming/DefinitionReader.h"
#include "platform/streaming/DefinitionWriter.h"

#include <array>

namespace streaming {

// ---- Property table ---------------------------------------------------

TPropertyDef &TPropertyTable::Define(std::string_view name, TReadFn read, TWriteFn write) {
  TPropertyDef def;
  def.Name = std::string(name);
  def.Read = std::move(read);
  def.Write = std::move(write);
  for (auto &existing : defs_)
    if (existing.Name == name) {
      existing = std::move(def);
      return existing;
    }
  defs_.push_back(std::move(def));
  return defs_.back();
}

TPropertyDef &TPropertyTable::Object(std::string_view name, std::function<TPersistent *()> get) {
  TPropertyDef &def = Define(name, nullptr, nullptr);
  def.Object = std::move(get);
  return def;
}

TPropertyDef &TPropertyTable::Binary(std::string_view name, std::function<void(TBinaryReader &, TReadContext &)> read,
                                     std::function<void(TBinaryWriter &)> write) {
  TWriteFn writeFn;
  if (write)
    writeFn = [write]() -> std::optional<TValue> {
      TBinaryWriter w;
      write(w);
      return TValue::MakeBinary(w.Take());
    };
  return Define(
      name,
      [read](const TValue &v, TReadContext &ctx) {
        TBinaryReader r(v.AsBinary());
        read(r, ctx);
        r.ExpectEnd();
      },
      writeFn);
}

TPropertyDef &TPropertyTable::Reference(std::string_view name, std::function<TStoredComponent *()> get,
                                        std::function<void(TStoredComponent *)> set) {
  return Define(
      name,
      [set](const TValue &v, TReadContext &ctx) {
        if (v.IsNil()) {
          set(nullptr);
          return;
        }
        ctx.ResolveLater(v.AsReference(), set);
      },
      [get]() -> std::optional<TValue> {
        TStoredComponent *c = get();
        if (!c) return std::nullopt;
        if (c->Name().empty()) throw EWriteError("refers to a component without a name");
        return TValue::MakeReference(c->Name());
      });
}

TPropertyDef &TPropertyTable::Collection(std::string_view name, TStoredCollection &items) {
  TStoredCollection *coll = &items;
  return Define(
      name,
      [coll](const TValue &v, TReadContext &ctx) {
        const auto &list = v.AsList();
        for (const auto &e : list) {
          e.AsRecord();
          if (!e.Text.empty() && !ctx.Registry().IsRegistered(e.Text)) e.Fail("unknown class " + e.Text);
        }
        coll->StoredClear();
        for (const auto &e : list) {
          TPersistent *item;
          try {
            item = &coll->StoredAdd(e.Text, ctx);
          } catch (EDefinitionError &x) {
            x.AttachLine(e.Line);
            throw;
          }
          ctx.ReadRecord(e, *item);
        }
      },
      [coll]() -> std::optional<TValue> {
        size_t n = coll->StoredCount();
        if (n == 0) return std::nullopt;
        TValue list = TValue::MakeList();
        for (size_t i = 0; i < n; ++i)
          list.Items.push_back(RecordOf(coll->StoredItem(i), coll->StoredItemClass(i)));
        return list;
      });
}

TPropertyDef &TPropertyTable::Color(std::string_view name, std::function<TColor()> get, std::function<void(TColor)> set,
                                    TColor def) {
  return Define(
      name, [set](const TValue &v, TReadContext &) { set(ValueToColor(v)); },
      [get, def]() -> std::optional<TValue> {
        TColor c = get();
        if (c == def) return std::nullopt;
        return ColorToValue(c);
      });
}

TPropertyDef &TPropertyTable::SetOf(std::string_view name, std::function<uint64_t()> get,
                                    std::function<void(uint64_t)> set, uint64_t def, std::span<const TSetBit> bits) {
  return Define(
      name,
      [set, bits](const TValue &v, TReadContext &) {
        uint64_t mask = 0;
        if (v.Kind != TValueKind::vkSet) v.FailKind("a set");
        for (const auto &item : v.Items) {
          bool known = false;
          for (const auto &b : bits)
            if (b.Name == item.Text) {
              mask |= b.Bit;
              known = true;
            }
          if (!known) item.Fail("unknown set element " + item.Text);
        }
        set(mask);
      },
      [get, def, bits]() -> std::optional<TValue> {
        uint64_t mask = get();
        if (mask == def) return std::nullopt;
        std::vector<std::string> names;
        uint64_t named = 0;
        for (const auto &b : bits)
          if (mask & b.Bit) {
            names.emplace_back(b.Name);
            named |= b.Bit;
          }
        if (mask & ~named) throw EWriteError("the set holds elements without names");
        return TValue::MakeSet(names);
      });
}

const TPropertyDef *TPropertyTable::Find(std::string_view name) const {
  for (const auto &d : defs_)
    if (d.Name == name) return &d;
  return nullptr;
}

// ---- Components -------------------------------------------------------

void TStoredComponent::InsertStoredChild(std::unique_ptr<TStoredComponent> child) {
  throw EDefinitionError(std::string(ClassName()) + " cannot hold a " + std::string(child->ClassName()));
}

TStoredComponent *FindComponent(TStoredComponent &root, std::string_view name) {
  if (root.Name() == name) return &root;
  for (TStoredComponent *c : root.StoredChildren())
    if (TStoredComponent *found = FindComponent(*c, name)) return found;
  return nullptr;
}

// ---- Registry ---------------------------------------------------------

bool TClassRegistry::RegisterClass(const std::string &name, TClassFactory factory) {
  return factories_.emplace(name, std::move(factory)).second;
}

void TClassRegistry::UnregisterClass(std::string_view name) { factories_.erase(std::string(name)); }

bool TClassRegistry::IsRegistered(std::string_view name) const {
  return factories_.find(std::string(name)) != factories_.end();
}

std::unique_ptr<TPersistent> TClassRegistry::Create(std::string_view name) const {
  auto it = factories_.find(std::string(name));
  if (it == factories_.end()) return nullptr;
  return it->second();
}

TClassRegistry &ClassRegistry() {
  static TClassRegistry registry;
  return registry;
}

// ---- Colours ----------------------------------------------------------

namespace {

struct TColorName {
  TColor Color;
  std::string_view Name;
};

// The first entry of a colour is the name it is written with; clDkGray and
// clLtGray are only read.
constexpr std::array<TColorName, 49> kColorNames{{
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clDkGray, "clDkGray"},
    {clLtGray, "clLtGray"},
}};

} // namespace

std::optional<std::string_view> ColorToIdent(TColor color) {
  for (const auto &c : kColorNames)
    if (c.Color == color) return c.Name;
  return std::nullopt;
}

std::optional<TColor> IdentToColor(std::string_view ident) {
  for (const auto &c : kColorNames)
    if (c.Name == ident) return c.Color;
  return std::nullopt;
}

TValue ColorToValue(TColor color) {
  if (auto name = ColorToIdent(color)) return TValue::MakeIdent(std::string(*name));
  // The bit pattern, so system colours read back as themselves.
  return TValue::MakeInteger(static_cast<int64_t>(static_cast<uint32_t>(color)), true);
}

TColor ValueToColor(const TValue &value) {
  if (value.Kind == TValueKind::vkIdent) {
    if (auto c = IdentToColor(value.Text)) return *c;
    value.Fail("unknown colour " + value.Text);
  }
  if (value.Kind != TValueKind::vkInteger) value.FailKind("a colour name or an integer");
  if (value.Int < std::numeric_limits<int32_t>::min() || value.Int > 0xFFFFFFFFLL)
    value.Fail("colour " + std::to_string(value.Int) + " is out of range");
  return static_cast<TColor>(static_cast<uint32_t>(value.Int));
}

} // namespace streaming
