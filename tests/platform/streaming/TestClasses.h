// Small stored classes shaped like a window with a chart, series and a
// tool, to exercise every kind of stored property.
#pragma once

#include "platform/streaming/Streaming.h"

#include <memory>
#include <string>
#include <vector>

namespace streaming_test {

using namespace streaming;

// What happened while reading, in order, for tests of the loading order.
inline std::vector<std::string> &Log() {
  static std::vector<std::string> log;
  return log;
}

enum class TPenMode { pmCopy, pmXor, pmNotXor };
inline constexpr TEnumName<TPenMode> kPenModes[] = {
    {TPenMode::pmCopy, "pmCopy"}, {TPenMode::pmXor, "pmXor"}, {TPenMode::pmNotXor, "pmNotXor"}};

class TTestPen : public TPersistent {
public:
  TColor Color = clBlack;
  TPenMode Mode = TPenMode::pmCopy;
  int Width = 1;
  void DefineProperties(TPropertyTable &t) override {
    t.Color(
        "Color", [this] { return Color; }, [this](TColor c) { Color = c; }, clBlack);
    t.Enum(
        "Mode", [this] { return Mode; }, [this](TPenMode m) { Mode = m; }, TPenMode::pmCopy, kPenModes);
    t.Property(
        "Width", [this] { return Width; }, [this](int w) { Width = w; }, 1);
  }
};

class TTestTitle : public TPersistent {
public:
  std::vector<std::string> Text;
  bool Visible = true;
  TTestPen Frame;
  void DefineProperties(TPropertyTable &t) override {
    t.Property(
        "Text", [this] { return Text; }, [this](std::vector<std::string> v) { Text = std::move(v); },
        std::vector<std::string>{});
    t.Property(
        "Visible", [this] { return Visible; }, [this](bool v) { Visible = v; }, true);
    t.Object("Frame", [this] { return &Frame; });
  }
};

class TTestAxis : public TPersistent {
public:
  double Minimum = 0, Maximum = 0;
  bool Horizontal = false;
  void DefineProperties(TPropertyTable &t) override {
    t.Property(
        "Minimum", [this] { return Minimum; }, [this](double v) { Minimum = v; }, 0);
    t.Property(
        "Maximum", [this] { return Maximum; }, [this](double v) { Maximum = v; }, 0);
    t.Property(
        "Horizontal", [this] { return Horizontal; }, [this](bool v) { Horizontal = v; }, false);
  }
};

class TTestAxes : public TStoredCollection {
public:
  std::vector<std::unique_ptr<TTestAxis>> Items;
  size_t StoredCount() const override { return Items.size(); }
  TPersistent &StoredItem(size_t i) override { return *Items[i]; }
  void StoredClear() override { Items.clear(); }
  TPersistent &StoredAdd(const std::string &className, TReadContext &) override {
    if (!className.empty()) throw EDefinitionError("axes carry no class");
    Items.push_back(std::make_unique<TTestAxis>());
    return *Items.back();
  }
};

// Picture filters: items of several registered classes in one collection.
class TTestFilter : public TPersistent {
public:
  virtual std::string_view ClassName() const = 0;
};

class TTestBlur : public TTestFilter {
public:
  int Amount = 1;
  std::string_view ClassName() const override { return "TTestBlur"; }
  void DefineProperties(TPropertyTable &t) override {
    t.Property(
        "Amount", [this] { return Amount; }, [this](int v) { Amount = v; }, 1);
  }
};

class TTestInvert : public TTestFilter {
public:
  std::string_view ClassName() const override { return "TTestInvert"; }
};

class TTestFilters : public TStoredCollection {
public:
  std::vector<std::unique_ptr<TTestFilter>> Items;
  size_t StoredCount() const override { return Items.size(); }
  TPersistent &StoredItem(size_t i) override { return *Items[i]; }
  void StoredClear() override { Items.clear(); }
  TPersistent &StoredAdd(const std::string &className, TReadContext &ctx) override {
    auto made = ctx.Registry().Create(className);
    auto *filter = dynamic_cast<TTestFilter *>(made.get());
    if (!filter) throw EDefinitionError(className + " is not a filter");
    made.release();
    Items.emplace_back(filter);
    return *filter;
  }
  std::string StoredItemClass(size_t i) const override { return std::string(Items[i]->ClassName()); }
};

class TTestChart;

// Only the low bits are named, so a test can set one without a name.
inline constexpr TSetBit kSeriesStyle[] = {{1, "tssA"}, {2, "tssB"}, {4, "tssC"}};

class TTestSeries : public TStoredComponent {
public:
  TTestChart *Chart = nullptr;
  bool Active = true;
  TColor SeriesColor = clDefault;
  std::string Identifier;
  uint64_t Style = 0;
  std::vector<double> X, Y;
  bool HasManualData = false;
  int CustomAxisIndex = -1;
  TTestAxis *CustomHorizAxis = nullptr;
  TTestSeries *DataSource = nullptr;
  std::vector<double> MultipliersRead;
  std::vector<std::unique_ptr<TTestPen>> MarkItems; // per point; null where a point has none

  std::string_view ClassName() const override { return "TTestSeries"; }
  void DefineProperties(TPropertyTable &t) override;
  void Loaded() override { Log().push_back("Loaded " + Name()); }

  void AddXY(double x, double y) {
    X.push_back(x);
    Y.push_back(y);
  }
};

class TTestTool : public TStoredComponent {
public:
  TTestSeries *Series = nullptr;
  TTestPen Pen;
  std::string_view ClassName() const override { return "TTestTool"; }
  void DefineProperties(TPropertyTable &t) override {
    t.Reference(
        "Series", [this] { return Series; },
        [this](TStoredComponent *c) {
          Series = dynamic_cast<TTestSeries *>(c);
          if (c && !Series) throw EDefinitionError(c->Name() + " is not a series");
        });
    t.Object("Pen", [this] { return &Pen; });
  }
  void Loaded() override { Log().push_back("Loaded " + Name() + (Series ? " with " + Series->Name() : "")); }
};

class TTestChart : public TStoredComponent {
public:
  TColor Color = clBtnFace;
  TColor WallColor = clWhite;
  bool View3D = true;
  double Zoom = 1.0;
  int Elevation = 345;
  TTestTitle Title;
  TTestAxes CustomAxes;
  TTestFilters Filters;
  std::vector<std::unique_ptr<TStoredComponent>> Children;

  std::string_view ClassName() const override { return "TTestChart"; }
  void DefineProperties(TPropertyTable &t) override {
    t.Color(
        "Color", [this] { return Color; }, [this](TColor c) { Color = c; }, clBtnFace);
    t.Property(
        "View3D", [this] { return View3D; }, [this](bool v) { View3D = v; }, true);
    t.Property(
        "Zoom", [this] { return Zoom; }, [this](double v) { Zoom = v; }, 1.0);
    t.Property(
        "Elevation", [this] { return Elevation; },
        [this](int v) {
          if (v < 0 || v > 360) throw rtl::EConvertError("Elevation must be between 0 and 360");
          Elevation = v;
        },
        345);
    t.Object("Title", [this] { return &Title; });
    t.Collection("CustomAxes", CustomAxes);
    t.Collection("Filters", Filters);
    // Old key: the wall colour, as a colour name or an integer.
    t.Define(
        "BackColor", [this](const TValue &v, TReadContext &) { WallColor = ValueToColor(v); }, nullptr);
  }
  void InsertStoredChild(std::unique_ptr<TStoredComponent> child) override {
    if (auto *s = dynamic_cast<TTestSeries *>(child.get()))
      s->Chart = this;
    else if (!dynamic_cast<TTestTool *>(child.get()))
      throw EDefinitionError("a chart holds series and tools only");
    Children.push_back(std::move(child));
  }
  std::vector<TStoredComponent *> StoredChildren() override {
    std::vector<TStoredComponent *> r;
    for (auto &c : Children)
      r.push_back(c.get());
    return r;
  }
  void Loaded() override { Log().push_back("Loaded " + Name()); }
};

class TTestForm : public TStoredComponent {
public:
  std::string Caption;
  int Width = 0;
  std::vector<int32_t> PrintMargins{15, 15, 15, 15};
  std::vector<std::unique_ptr<TTestChart>> Charts;
  bool SawLoadingInSetter = false;

  std::string_view ClassName() const override { return "TTestForm"; }
  void DefineProperties(TPropertyTable &t) override {
    t.Property(
        "Caption", [this] { return Caption; },
        [this](std::string v) {
          Caption = std::move(v);
          SawLoadingInSetter = Loading();
        },
        std::string());
    t.Property("Width", this, &TTestForm::GetWidth, &TTestForm::SetWidth, 0);
    t.Define(
        "PrintMargins",
        [this](const TValue &v, TReadContext &) {
          auto m = v.AsInt32List();
          if (m.size() != 4) v.Fail("PrintMargins holds four integers");
          PrintMargins = m;
        },
        [this]() -> std::optional<TValue> {
          for (int32_t m : PrintMargins)
            if (m != 15) return TValue::MakeIntegers(PrintMargins);
          return std::nullopt;
        });
  }
  int GetWidth() const { return Width; }
  void SetWidth(int w) { Width = w; }
  void InsertStoredChild(std::unique_ptr<TStoredComponent> child) override {
    auto *chart = dynamic_cast<TTestChart *>(child.get());
    if (!chart) throw EDefinitionError("a form holds charts only");
    child.release();
    Charts.emplace_back(chart);
  }
  std::vector<TStoredComponent *> StoredChildren() override {
    std::vector<TStoredComponent *> r;
    for (auto &c : Charts)
      r.push_back(c.get());
    return r;
  }
  void Loaded() override { Log().push_back("Loaded " + Name()); }
};

// The points block: a flags byte (bit 0: X values present), a 32-bit count,
// then per point the X value when present and the Y value.
inline void TTestSeries::DefineProperties(TPropertyTable &t) {
  t.Property(
      "Active", [this] { return Active; }, [this](bool v) { Active = v; }, true);
  t.Color(
      "SeriesColor", [this] { return SeriesColor; }, [this](TColor c) { SeriesColor = c; }, clDefault);
  t.Define(
      "Identifier", [this](const TValue &v, TReadContext &) { Identifier = v.AsString(); },
      [this]() -> std::optional<TValue> {
        if (Identifier.empty()) return std::nullopt;
        return TValue::MakeString(Identifier);
      });
  t.SetOf(
      "Style", [this] { return Style; }, [this](uint64_t s) { Style = s; }, 0, kSeriesStyle);
  t.Reference(
      "DataSource", [this] { return DataSource; },
      [this](TStoredComponent *c) { DataSource = dynamic_cast<TTestSeries *>(c); });
  t.Define(
      "CustomHorizAxis",
      [this](const TValue &v, TReadContext &ctx) {
        int index = v.AsInt32();
        ctx.AddFixup([this, index] {
          if (!Chart || index < 0 || static_cast<size_t>(index) >= Chart->CustomAxes.Items.size())
            throw EDefinitionError("custom axis " + std::to_string(index) + " does not exist");
          CustomAxisIndex = index;
          CustomHorizAxis = Chart->CustomAxes.Items[static_cast<size_t>(index)].get();
        });
      },
      [this]() -> std::optional<TValue> {
        if (CustomAxisIndex < 0) return std::nullopt;
        return TValue::MakeInteger(CustomAxisIndex);
      });
  // Per-point items: a list with a record where a point has an item and
  // nil where it has none.
  t.Define(
      "Items",
      [this](const TValue &v, TReadContext &ctx) {
        MarkItems.clear();
        for (const auto &e : v.AsList()) {
          MarkItems.push_back(nullptr);
          if (e.IsNil()) continue;
          MarkItems.back() = std::make_unique<TTestPen>();
          ctx.ReadRecord(e, *MarkItems.back());
        }
      },
      [this]() -> std::optional<TValue> {
        if (MarkItems.empty()) return std::nullopt;
        TValue list = TValue::MakeList();
        for (auto &item : MarkItems)
          list.Items.push_back(item ? RecordOf(*item) : TValue::MakeNil());
        return list;
      });
  t.Define(
      "Multiplier", [this](const TValue &v, TReadContext &) { MultipliersRead.push_back(v.AsFloat()); }, nullptr);
  t.Binary(
       "Data",
       [this](TBinaryReader &r, TReadContext &) {
         X.clear();
         Y.clear();
         uint8_t flags = r.ReadU8();
         int32_t n = r.ReadI32();
         if (n < 0) throw EReadError("negative point count");
         size_t record = (flags & 1) ? 16 : 8;
         r.Need(static_cast<size_t>(n) * record);
         for (int32_t i = 0; i < n; ++i) {
           double x = (flags & 1) ? r.ReadF64() : i;
           AddXY(x, r.ReadF64());
         }
         HasManualData = true;
       },
       [this](TBinaryWriter &w) {
         bool needX = false;
         for (size_t i = 0; i < X.size(); ++i)
           needX = needX || X[i] != static_cast<double>(i);
         w.WriteU8(needX ? 1 : 0);
         w.WriteI32(static_cast<int32_t>(X.size()));
         for (size_t i = 0; i < X.size(); ++i) {
           if (needX) w.WriteF64(X[i]);
           w.WriteF64(Y[i]);
         }
       })
      .StoredWhen([this] { return HasManualData; });
}

inline void RegisterTestClasses(TClassRegistry &r) {
  r.RegisterClass<TTestForm>("TTestForm");
  r.RegisterClass<TTestChart>("TTestChart");
  r.RegisterClass<TTestSeries>("TTestSeries");
  r.RegisterClass<TTestTool>("TTestTool");
  r.RegisterClass<TTestBlur>("TTestBlur");
  r.RegisterClass<TTestInvert>("TTestInvert");
}

} // namespace streaming_test
