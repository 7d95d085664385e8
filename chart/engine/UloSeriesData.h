// What a chart adds by hand to its stored definition beyond the published
// properties each class declares itself: the points of a series as the
// binary "Data" block, the other series keys ("Identifier", "Style",
// "DataSources", "CustomHorizAxis", "CustomVertAxis"), the per-point mark
// items ("Items"). The chart holds its series and tools, and a series its
// function, as child components of the definition.
//
// The "Data" block, little-endian, doubles in the 8-byte IEEE format:
//
//   byte 0   flags: 1 X values, 2 colours, 4 labels, 8 mark positions
//   bytes 1-4  N, the number of points (signed)
//   N records, each field only under its condition:
//     not-mandatory value  f64   flag 1 (absent: the index)
//     mandatory value      f64   always
//     colour               i32   flag 2 (clDefault when the point has none)
//     label length, bytes  u8, L flag 4 (UTF-8, at most 255 bytes)
//     further values       f64   one per value list after the first two
//     mark position        34    flag 8: arrow-from X,Y i32; arrow-fix u8;
//                                arrow-to X,Y i32; custom u8; height i32;
//                                left-top X,Y i32; width i32
//
// A series whose YMandatory is false holds Y first and X second.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/UloEngineTypes.h"
#include "platform/streaming/Streaming.h"

class TCustomChartSeries;

// ---- the "Data" block ----------------------------------------------------------

inline constexpr uint8_t UloDataXValues = 1;
inline constexpr uint8_t UloDataColors = 2;
inline constexpr uint8_t UloDataLabels = 4;
inline constexpr uint8_t UloDataMarkPositions = 8;
// The longest label a record holds, in bytes.
inline constexpr int UloMaxStoredLabel = 255;

// Whether X must be stored: StoreXValues is set, the series has points and
// its not-mandatory values are not simply 0, 1, 2 ... (every point is
// compared, so no X value is lost however long the series).
bool NeedsXValues(const TChartSeries &series);
// Whether some point has a stored colour other than clDefault and the
// series colour (every point is looked at).
bool HasOwnColors(const TChartSeries &series);
// Whether some point has a non-empty label (every point is looked at).
bool HasLabels(const TChartSeries &series);
// Whether some mark position was placed by hand.
bool HasCustomMarkPositions(const TChartSeries &series);
// The flags byte a block of the series starts with.
uint8_t UloSeriesDataFlags(const TChartSeries &series);

// Whether the series writes its "Data" block: StoreDataAlways, or
// HasManualData without NeverStoreData.
bool ShouldStoreData(const TChartSeries &series);

// Writes the block; a value that is not a number raises
// streaming::EWriteError naming the series. With mark positions, a point without one gets an empty
// position first (the marks' position list is padded up to it).
void WriteData(TChartSeries &series, streaming::TBinaryWriter &writer);
std::vector<uint8_t> WriteData(TChartSeries &series);

// Reads a block: the points replace those of the series (added through
// AddPointXY between BeginUpdate and EndUpdate, so OnBeforeAdd may veto
// one), then HasManualData is set. The whole block is checked before the
// series is touched: a short, overlong or impossible block raises
// streaming::EReadError naming the series and leaves it as it was.
void ReadData(TChartSeries &series, streaming::TBinaryReader &reader);
void ReadData(TChartSeries &series, const std::vector<uint8_t> &bytes);

// ---- the keys ---------------------------------------------------------------------

// "Identifier" (when not empty) and "Style" (when not empty, the six flags
// as bits 1 to 32). A series class's DefineProperties calls it after its
// published properties.
void UloDefineCustomSeriesKeys(streaming::TPropertyTable &table, TCustomChartSeries &series);
// The above, then "DataSources" (the names of the sources when there is
// more than one; one source is the published DataSource),
// "CustomHorizAxis" and "CustomVertAxis" (the index of the custom axis in
// the chart's CustomAxes, resolved once the whole definition is read), and
// "Data" (when ShouldStoreData).
void UloDefineSeriesKeys(streaming::TPropertyTable &table, TChartSeries &series);
// "Items": the per-point mark items, a list with one record per index up
// to the last item and nil where a point has none; written when there is
// at least one item. The marks' DefineProperties calls it.
void UloDefineMarksItems(streaming::TPropertyTable &table, TSeriesMarks &marks);
