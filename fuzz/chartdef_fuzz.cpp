// Any text given to the stored-definition reader with every chart class
// registered: whatever reads as a chart paints in 2D and in 3D, writes, and
// reads back, without a crash, a sanitizer report or a hang. Refusals of bad
// input (the reader's errors, a setter refusing a value) are expected.
#include "chart/ChartComponent.h"
#include "chart/engine/Chart.h"
#include "platform/forms/Application.h"
#include "platform/rtl/Exceptions.h"
#include "platform/streaming/Streaming.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

void StopUnits() {
  StopChartComponent();
  forms::Application().Finalize();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  static int argc = 0;
  forms::Application().Initialize(argc, nullptr);
  StartChartComponent();
  std::atexit(StopUnits);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::unique_ptr<streaming::TStoredComponent> root;
  try {
    root = streaming::ReadComponent(std::string_view(reinterpret_cast<const char *>(data), size));
  } catch (const rtl::Exception &) {
    return 0;
  }
  auto *chart = dynamic_cast<TChart *>(root.get());
  if (!chart) return 0;
  const int w = std::clamp(chart->Width(), 0, 400), h = std::clamp(chart->Height(), 0, 300);
  chart->SetBounds(0, 0, w, h);
  for (int view = 0; view < 2; ++view) {
    try {
      chart->UloCreateBitmap(clWhite, TRect{0, 0, w, h});
    } catch (const rtl::Exception &) {
    }
    chart->SetView3D(!chart->View3D());
  }
  try {
    const std::string text = streaming::WriteComponent(*chart);
    streaming::ReadComponent(text);
  } catch (const rtl::Exception &) {
  }
  return 0;
}
