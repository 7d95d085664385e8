// Any bytes given to the series' "Data" reader either read or raise
// EReadError with the series untouched; whatever reads writes back to a
// block that reads again to the same points and writes the same bytes.
#include "chart/engine/UloSeries.h"
#include "chart/engine/UloSeriesData.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProCo.h"

#include <cstdlib>
#include <vector>

namespace {

// The three shapes of record: plain, horizontal (Y stored first) and with
// a third value list.
class TFuzzSeries : public TChartSeries {
public:
  TFuzzSeries(bool horizontal, bool withZ) {
    if (horizontal) SetHorizontal();
    if (withZ) new TChartValueList(this, "Z");
  }
  std::string_view ClassName() const override { return "TFuzzSeries"; }
};

// Labels may come back cut to the stored length, and -0.0 as an X that
// is its index comes back as 0.0; the bytes written again must not differ.
bool SamePoints(TChartSeries &a, TChartSeries &b) {
  if (a.PointCount() != b.PointCount()) return false;
  for (int i = 0; i < a.PointCount(); ++i) {
    if (a.XValues()->Value(i) != b.XValues()->Value(i) || a.YValues()->Value(i) != b.YValues()->Value(i)) return false;
    if (a.GetValueColorEntry(i) != b.GetValueColorEntry(i)) return false;
  }
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static bool started = [] {
    LoadLibraryMessages();
    UloSetProConstants();
    return true;
  }();
  (void)started;
  if (size < 1) return 0;
  const bool horizontal = data[0] & 1, withZ = data[0] & 2;
  std::vector<uint8_t> block(data + 1, data + size);

  TFuzzSeries series(horizontal, withZ);
  series.AddPointXY(7, 8, "kept");
  try {
    ReadData(series, block);
  } catch (const streaming::EReadError &) {
    // A refused block leaves the series as it was.
    if (series.PointCount() != 1 || series.Label(0) != "kept" || series.UpdateCount() != 0) std::abort();
    return 0;
  }
  if (series.UpdateCount() != 0 || !series.HasManualData) std::abort();

  std::vector<uint8_t> first = WriteData(series);
  TFuzzSeries again(horizontal, withZ);
  ReadData(again, first);
  if (!SamePoints(series, again)) std::abort();
  if (WriteData(again) != first) std::abort();
  return 0;
}
