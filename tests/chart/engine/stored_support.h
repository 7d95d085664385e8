// Scaffolding of the stored-data tests: the engine started once per test
// binary, series kinds with the three shapes of point record, and a byte
// builder for expected blocks.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "chart/ChartTestSupport.h"
#include "chart/engine/Chart.h"
#include "chart/engine/UloSeries.h"

namespace store_test {

// The application, the foundation, the engine and the chart class, started
// once for the binary's tests and stopped after them.
using chart_support::WithChartEngine;

// Plain: X and Y. Horizontal: X is the mandatory list, so records hold Y
// first. WithZ: a third list, stored after the label.
template <bool Horizontal, bool WithZ> class TStoreSeries : public TChartSeries {
public:
  TStoreSeries() {
    if (Horizontal) SetHorizontal();
    if (WithZ) new TChartValueList(this, "Z");
  }
  std::string_view ClassName() const override {
    if (Horizontal) return "THorizStoreSeries";
    return WithZ ? "TZStoreSeries" : "TStoreSeries";
  }
  TChartValueList &Z() { return *ValuesList()[2]; }
  int AddXYZ(double x, double y, double z) {
    if (WithZ) Z().TempValue = z;
    return AddPointXY(x, y);
  }
};
using TPlainSeries = TStoreSeries<false, false>;
using THorizSeries = TStoreSeries<true, false>;
using TZSeries = TStoreSeries<false, true>;

inline void RegisterStoreSeries() {
  streaming::ClassRegistry().RegisterClass<TPlainSeries>("TStoreSeries");
  streaming::ClassRegistry().RegisterClass<THorizSeries>("THorizStoreSeries");
  streaming::ClassRegistry().RegisterClass<TZSeries>("TZStoreSeries");
}
inline void UnregisterStoreSeries() {
  for (const char *n : {"TStoreSeries", "THorizStoreSeries", "TZStoreSeries"})
    streaming::ClassRegistry().UnregisterClass(n);
}

// Expected blocks, written field by field.
class TBytes {
public:
  TBytes &U8(int v) {
    b_.push_back(static_cast<uint8_t>(v));
    return *this;
  }
  TBytes &I32(int32_t v) {
    for (int i = 0; i < 4; ++i)
      b_.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    return *this;
  }
  TBytes &F64(double v) {
    uint64_t bits = std::bit_cast<uint64_t>(v);
    for (int i = 0; i < 8; ++i)
      b_.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    return *this;
  }
  TBytes &Text(std::string_view s) {
    b_.insert(b_.end(), s.begin(), s.end());
    return *this;
  }
  // A 34-byte mark position.
  TBytes &Position(int fromX, int fromY, bool fix, int toX, int toY, bool custom, int height, int leftX, int topY,
                   int width) {
    return I32(fromX).I32(fromY).U8(fix).I32(toX).I32(toY).U8(custom).I32(height).I32(leftX).I32(topY).I32(width);
  }
  TBytes &Append(const TBytes &more) {
    b_.insert(b_.end(), more.b_.begin(), more.b_.end());
    return *this;
  }
  const std::vector<uint8_t> &Get() const { return b_; }
  operator std::vector<uint8_t>() const { return b_; }

private:
  std::vector<uint8_t> b_;
};

} // namespace store_test
