#include "chart/tools/ToolsStartup.h"

#include "chart/engine/Chart.h"
#include "chart/engine/UloEngineStartup.h"
#include "chart/foundation/UloStartup.h"
#include "chart/series/SeriesStartup.h"

#include "chart/tools/UloAnnotation.h"
#include "chart/tools/UloRotateTool.h"
#include "chart/tools/UloTools.h"

// The tools unit registers all seventeen tools in the registry's order;
// the units after it find their classes present already.
void StartChartTools() {
  StartUloToolsUnit();
  StartRotateToolUnit();
  StartAnnotationUnit();
}

void StopChartTools() {
  StopAnnotationUnit();
  StopRotateToolUnit();
  StopUloToolsUnit();
}

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
