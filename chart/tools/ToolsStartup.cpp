#include "chart/tools/ToolsStartup.h"

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
