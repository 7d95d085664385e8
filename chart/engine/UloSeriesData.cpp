#include "chart/engine/UloSeriesData.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloMarks.h"
#include "chart/engine/UloSeries.h"
#include "platform/rtl/TextEncoding.h"

namespace {

using streaming::EReadError;
using streaming::TBinaryReader;
using streaming::TBinaryWriter;
using streaming::TReadContext;
using streaming::TValue;

constexpr size_t kMarkPositionBytes = 34;

std::string Who(const TChartSeries &series) {
  if (!series.Name().empty()) return series.Name();
  return std::string(series.ClassName());
}

int FurtherListCount(const TChartSeries &series) {
  int n = series.ValuesList().Count() - 2;
  return n > 0 ? n : 0;
}

// At most 255 bytes, never ending inside a character.
std::string_view StoredLabel(const std::string &label) {
  if (label.size() <= static_cast<size_t>(UloMaxStoredLabel)) return label;
  size_t cut = static_cast<size_t>(UloMaxStoredLabel);
  while (cut > 0 && (static_cast<uint8_t>(label[cut]) & 0xC0) == 0x80)
    --cut;
  return std::string_view(label).substr(0, cut);
}

// Bytes that are not UTF-8 become replacement characters, so that nothing
// but text reaches the labels.
std::string LabelFromBytes(std::string bytes) {
  std::string text = rtl::Utf32ToUtf8(rtl::Utf8ToUtf32(bytes));
  return text;
}

void WritePosition(TBinaryWriter &w, const TSeriesMarkPosition &p) {
  w.WriteI32(p.ArrowFrom.X);
  w.WriteI32(p.ArrowFrom.Y);
  w.WriteU8(p.ArrowFix ? 1 : 0);
  w.WriteI32(p.ArrowTo.X);
  w.WriteI32(p.ArrowTo.Y);
  w.WriteU8(p.Custom ? 1 : 0);
  w.WriteI32(p.Height);
  w.WriteI32(p.LeftTop.X);
  w.WriteI32(p.LeftTop.Y);
  w.WriteI32(p.Width);
}

TSeriesMarkPosition ReadPosition(TBinaryReader &r) {
  TSeriesMarkPosition p;
  p.ArrowFrom.X = r.ReadI32();
  p.ArrowFrom.Y = r.ReadI32();
  p.ArrowFix = r.ReadU8() != 0;
  p.ArrowTo.X = r.ReadI32();
  p.ArrowTo.Y = r.ReadI32();
  p.Custom = r.ReadU8() != 0;
  p.Height = r.ReadI32();
  p.LeftTop.X = r.ReadI32();
  p.LeftTop.Y = r.ReadI32();
  p.Width = r.ReadI32();
  return p;
}

// A whole block, read and checked before the series is touched.
struct TStoredPoints {
  uint8_t Flags = 0;
  int32_t Count = 0;
  std::vector<double> X, Y;
  std::vector<TColor> Colors;
  std::vector<std::string> Labels;
  std::vector<double> Further; // Count x further lists, point by point
  std::vector<TSeriesMarkPosition> Positions;
};

double ReadValue(TBinaryReader &r, const TChartSeries &series, int index) {
  double v = r.ReadF64();
  if (std::isnan(v))
    throw EReadError(Who(series) + ": stored point " + std::to_string(index) + " holds a value that is not a number");
  return v;
}

TStoredPoints ParseBlock(const TChartSeries &series, TBinaryReader &r) {
  TStoredPoints b;
  b.Flags = r.ReadU8();
  b.Count = r.ReadI32();
  if (b.Count < 0)
    throw EReadError(Who(series) + ": the stored point count " + std::to_string(b.Count) + " is negative");
  const int further = FurtherListCount(series);
  const bool hasX = b.Flags & UloDataXValues, hasColors = b.Flags & UloDataColors, hasLabels = b.Flags & UloDataLabels,
             hasPositions = b.Flags & UloDataMarkPositions;
  // The smallest record the flags allow: no count is believed, and nothing
  // is reserved, beyond what the remaining bytes can hold.
  size_t minRecord = 8 + (hasX ? 8 : 0) + (hasColors ? 4 : 0) + (hasLabels ? 1 : 0) + 8 * static_cast<size_t>(further) +
                     (hasPositions ? kMarkPositionBytes : 0);
  const size_t n = static_cast<size_t>(b.Count);
  if (r.Remaining() / minRecord < n)
    throw EReadError(Who(series) + ": the stored data ends before its " + std::to_string(b.Count) + " points");
  b.X.reserve(n);
  b.Y.reserve(n);
  if (hasColors) b.Colors.reserve(n);
  if (hasLabels) b.Labels.reserve(n);
  b.Further.reserve(n * static_cast<size_t>(further));
  if (hasPositions) b.Positions.reserve(n);
  const bool yMandatory = series.YMandatory();
  for (int32_t i = 0; i < b.Count; ++i) {
    double notMandatory = hasX ? ReadValue(r, series, i) : static_cast<double>(i);
    double mandatory = ReadValue(r, series, i);
    b.X.push_back(yMandatory ? notMandatory : mandatory);
    b.Y.push_back(yMandatory ? mandatory : notMandatory);
    if (hasColors) b.Colors.push_back(static_cast<TColor>(r.ReadI32()));
    if (hasLabels) {
      uint8_t len = r.ReadU8();
      b.Labels.push_back(LabelFromBytes(r.ReadBytes(len)));
    }
    for (int k = 0; k < further; ++k)
      b.Further.push_back(ReadValue(r, series, i));
    if (hasPositions) b.Positions.push_back(ReadPosition(r));
  }
  if (!r.AtEnd())
    throw EReadError(Who(series) + ": " + std::to_string(r.Remaining()) + " bytes follow the last stored point");
  return b;
}

} // namespace

// ---- the decisions ----------------------------------------------------------------

bool NeedsXValues(const TChartSeries &series) {
  if (!series.StoreXValues) return false;
  const TChartValueList &x = *series.NotMandatoryValueList();
  const int n = x.Count();
  if (n == 0) return false;
  for (int i = 0; i < n; ++i)
    if (x.Value(i) != static_cast<double>(i)) return true;
  return false;
}

bool HasOwnColors(const TChartSeries &series) {
  const std::vector<TColor> *colors = series.ValueColors();
  if (!colors) return false;
  const TColor own = series.SeriesColor();
  const size_t n = std::min(colors->size(), static_cast<size_t>(series.PointCount()));
  for (size_t i = 0; i < n; ++i) {
    TColor c = (*colors)[i];
    if (c != clDefault && c != own) return true;
  }
  return false;
}

bool HasLabels(const TChartSeries &series) {
  TLabelsList &labels = const_cast<TChartSeries &>(series).Labels();
  if (labels.Count() == 0) return false;
  const int n = std::min(labels.Count(), series.PointCount());
  for (int i = 0; i < n; ++i)
    if (!labels.Label(i).empty()) return true;
  return false;
}

bool HasCustomMarkPositions(const TChartSeries &series) {
  return const_cast<TChartSeries &>(series).Marks().Positions().ExistCustom();
}

uint8_t UloSeriesDataFlags(const TChartSeries &series) {
  uint8_t flags = 0;
  if (NeedsXValues(series)) flags |= UloDataXValues;
  if (HasOwnColors(series)) flags |= UloDataColors;
  if (HasLabels(series)) flags |= UloDataLabels;
  if (HasCustomMarkPositions(series)) flags |= UloDataMarkPositions;
  return flags;
}

bool ShouldStoreData(const TChartSeries &series) {
  return series.StoreDataAlways || (series.HasManualData && !series.NeverStoreData);
}

// ---- writing ------------------------------------------------------------------------

void WriteData(TChartSeries &series, TBinaryWriter &w) {
  const uint8_t flags = UloSeriesDataFlags(series);
  const int n = series.PointCount();
  // The reader refuses a value that is not a number, so such a block is
  // never written: the definition would not load again.
  const TChartValueLists &all = series.ValuesList();
  for (int k = 0; k < all.Count(); ++k)
    for (int i = 0; i < n; ++i)
      if (std::isnan(all[k]->Value(i)))
        throw streaming::EWriteError(Who(series) + ": point " + std::to_string(i) +
                                     " holds a value that is not a number and cannot be stored");
  w.WriteU8(flags);
  w.WriteI32(n);
  const TChartValueList &notMandatory = *series.NotMandatoryValueList();
  const TChartValueList &mandatory = *series.MandatoryValueList();
  const TChartValueLists &lists = series.ValuesList();
  TSeriesMarksPositions &positions = series.Marks().Positions();
  for (int i = 0; i < n; ++i) {
    if (flags & UloDataXValues) w.WriteF64(notMandatory.Value(i));
    w.WriteF64(mandatory.Value(i));
    if (flags & UloDataColors) w.WriteI32(series.GetValueColorEntry(i));
    if (flags & UloDataLabels) {
      std::string_view label = StoredLabel(series.Label(i));
      w.WriteU8(static_cast<uint8_t>(label.size()));
      w.WriteBytes(label);
    }
    for (int k = 2; k < lists.Count(); ++k)
      w.WriteF64(lists[k]->Value(i));
    if (flags & UloDataMarkPositions) WritePosition(w, positions.Ensure(i));
  }
}

std::vector<uint8_t> WriteData(TChartSeries &series) {
  TBinaryWriter w;
  WriteData(series, w);
  return w.Take();
}

// ---- reading ------------------------------------------------------------------------

void ReadData(TChartSeries &series, TBinaryReader &r) {
  TStoredPoints b;
  try {
    b = ParseBlock(series, r);
  } catch (const EReadError &e) {
    const std::string prefix = Who(series) + ": ";
    if (e.Detail().starts_with(prefix)) throw;
    throw EReadError(prefix + e.Detail());
  }
  const int further = FurtherListCount(series);
  series.ClearPoints();
  {
    TSeriesUpdateGuard update(series);
    TChartValueLists &lists = series.ValuesList();
    TSeriesMarksPositions &positions = series.Marks().Positions();
    static const std::string kNoLabel;
    for (int32_t i = 0; i < b.Count; ++i) {
      const auto at = static_cast<size_t>(i);
      for (int k = 0; k < further; ++k)
        lists[k + 2]->TempValue = b.Further[at * static_cast<size_t>(further) + static_cast<size_t>(k)];
      series.AddPointXY(b.X[at], b.Y[at], b.Labels.empty() ? kNoLabel : b.Labels[at],
                        b.Colors.empty() ? clDefault : b.Colors[at]);
      // A point OnBeforeAdd refused still takes its position along.
      if (!b.Positions.empty())
        positions.Set(positions.Count(), std::make_unique<TSeriesMarkPosition>(b.Positions[at]));
    }
  }
  series.HasManualData = true;
}

void ReadData(TChartSeries &series, const std::vector<uint8_t> &bytes) {
  TBinaryReader r(bytes);
  ReadData(series, r);
}

// ---- the keys -------------------------------------------------------------------------

void UloDefineCustomSeriesKeys(streaming::TPropertyTable &table, TCustomChartSeries &series) {
  TCustomChartSeries *s = &series;
  table.Define(
      "Identifier", [s](const TValue &v, TReadContext &) { s->SetIdentifier(v.AsString()); },
      [s]() -> std::optional<TValue> {
        if (s->Identifier().empty()) return std::nullopt;
        return TValue::MakeString(s->Identifier());
      });
  table.Define(
      "Style",
      [s](const TValue &v, TReadContext &) {
        int32_t bits = v.AsInt32();
        if (bits < 0 || bits > 63) v.Fail("Style " + std::to_string(bits) + " has bits beyond the six flags");
        s->SetStyle(static_cast<uint8_t>(bits));
      },
      [s]() -> std::optional<TValue> {
        if (s->Style() == 0) return std::nullopt;
        return TValue::MakeInteger(s->Style());
      });
}

namespace {

// The key of a custom axis: its index among the chart's custom axes,
// resolved once every custom axis of the definition exists.
void DefineCustomAxisKey(streaming::TPropertyTable &table, std::string_view name, TChartSeries *s, bool horizontal) {
  table.Define(
      name,
      [s, horizontal](const TValue &v, TReadContext &ctx) {
        int32_t index = v.AsInt32();
        ctx.AddFixup([s, horizontal, index] {
          TCustomAxisPanel *chart = s->ParentChart();
          if (!chart) throw streaming::EDefinitionError(Who(*s) + ": a custom axis needs the series to be in a chart");
          TChartCustomAxes &axes = chart->CustomAxes();
          if (index < 0 || index >= axes.Count())
            throw streaming::EDefinitionError(Who(*s) + ": custom axis " + std::to_string(index) +
                                              " does not exist (the chart has " + std::to_string(axes.Count()) + ")");
          if (horizontal)
            s->SetCustomHorizAxis(axes.Items(index));
          else
            s->SetCustomVertAxis(axes.Items(index));
        });
      },
      [s, horizontal]() -> std::optional<TValue> {
        TChartAxis *axis = horizontal ? s->CustomHorizAxis() : s->CustomVertAxis();
        TCustomAxisPanel *chart = s->ParentChart();
        if (!axis || !chart) return std::nullopt;
        TChartCustomAxes &axes = chart->CustomAxes();
        for (int i = 0; i < axes.Count(); ++i)
          if (axes.Items(i) == axis) return TValue::MakeInteger(i);
        return std::nullopt;
      });
}

} // namespace

void UloDefineSeriesKeys(streaming::TPropertyTable &table, TChartSeries &series) {
  TChartSeries *s = &series;
  UloDefineCustomSeriesKeys(table, series);
  table.Define(
      "DataSources", [s](const TValue &v, TReadContext &) { s->PendingSourceNames() = v.AsStrings(); },
      [s]() -> std::optional<TValue> {
        const TDataSourcesList &sources = s->DataSources();
        if (sources.size() < 2) return std::nullopt;
        std::vector<std::string> names;
        for (const auto *c : sources) {
          if (c->Name().empty()) throw streaming::EWriteError(Who(*s) + ": a data source has no name");
          names.push_back(c->Name());
        }
        return TValue::MakeStrings(names);
      });
  DefineCustomAxisKey(table, "CustomHorizAxis", s, true);
  DefineCustomAxisKey(table, "CustomVertAxis", s, false);
  table
      .Binary(
          "Data", [s](TBinaryReader &r, TReadContext &) { ReadData(*s, r); },
          [s](TBinaryWriter &w) { WriteData(*s, w); })
      .StoredWhen([s] { return ShouldStoreData(*s); });
}

void UloDefineMarksItems(streaming::TPropertyTable &table, TSeriesMarks &marks) {
  TSeriesMarks *m = &marks;
  table.Define(
      "Items",
      [m](const TValue &v, TReadContext &ctx) {
        const auto &list = v.AsList();
        for (const auto &e : list)
          if (!e.IsNil()) e.AsRecord();
        m->Items().Clear();
        for (size_t i = 0; i < list.size(); ++i)
          if (!list[i].IsNil()) ctx.ReadRecord(list[i], m->Items().Item(static_cast<int>(i)));
      },
      [m]() -> std::optional<TValue> {
        TMarksItems &items = m->Items();
        int last = -1;
        for (int i = 0; i < items.Count(); ++i)
          if (items.Existing(i)) last = i;
        if (last < 0) return std::nullopt;
        TValue list = TValue::MakeList();
        for (int i = 0; i <= last; ++i) {
          TMarksItem *item = items.Existing(i);
          list.Items.push_back(item ? streaming::RecordOf(*item) : TValue::MakeNil());
        }
        return list;
      });
}
