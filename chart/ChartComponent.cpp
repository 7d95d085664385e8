#include "chart/ChartComponent.h"

#include "chart/engine/Chart.h"
#include "chart/engine/UloEngineStartup.h"
#include "chart/foundation/UloStartup.h"
#include "chart/series/SeriesStartup.h"
#include "chart/tools/ToolsStartup.h"

void StartChartComponent() {
  StartChartFoundation();
  StartChartEngine();
  StartChartUnit();
  StartChartSeries();
  StartChartTools();
}

void StopChartComponent() {
  StopChartTools();
  StopChartSeries();
  StopChartUnit();
  StopChartEngine();
  StopChartFoundation();
}
