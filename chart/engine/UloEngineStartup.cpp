#include "chart/engine/UloEngineStartup.h"

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloGallery.h"
#include "chart/engine/UloMarks.h"
#include "chart/engine/UloPalettes.h"
#include "platform/streaming/Persistent.h"

namespace {

// The engine's own parts that definitions name by class.
constexpr const char *kAxisTitle = "TChartAxisTitle";
constexpr const char *kAxis = "TChartAxis";
constexpr const char *kDepthAxis = "TChartDepthAxis";
constexpr const char *kMarks = "TSeriesMarks";

} // namespace

void StartChartEngine() {
  // Every system this runs on takes the large coordinate range; the small
  // one belonged to systems with 16-bit drawing.
  UloMaxPixel = 0x3FFFFFF;
  streaming::TClassRegistry &registry = streaming::ClassRegistry();
  registry.RegisterClass<TChartAxisTitle>(kAxisTitle);
  registry.RegisterClass<TChartAxis>(kAxis);
  registry.RegisterClass<TChartDepthAxis>(kDepthAxis);
  registry.RegisterClass<TSeriesMarks>(kMarks);
  UloCreateRegistries();
  UloCreateColorPalettes();
}

void StopChartEngine() {
  UloFreeColorPalettes();
  UloFreeRegistries();
  streaming::TClassRegistry &registry = streaming::ClassRegistry();
  registry.UnregisterClass(kMarks);
  registry.UnregisterClass(kDepthAxis);
  registry.UnregisterClass(kAxis);
  registry.UnregisterClass(kAxisTitle);
}
