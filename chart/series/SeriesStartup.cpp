#include "chart/series/SeriesStartup.h"

#include "chart/engine/UloFunci.h"
#include "chart/series/Series.h"
#include "chart/series/UloContour.h"
#include "chart/series/UloIsoSurface.h"
#include "chart/series/UloPoin3.h"
#include "chart/series/UloShape.h"
#include "chart/series/UloSpline.h"
#include "chart/series/UloSurfa.h"
#include "chart/series/UloTriSurface.h"

// The units in the order they stand on each other: the basic functions of
// the engine, the 2D series, smoothing, the grid series with the contour
// and iso-surface series, the triangulated surface, the 3D points, the shapes.
void StartChartSeries() {
  RegisterUloBasicFunctions();
  StartSeriesUnit();
  RegisterUloSmoothingFunction();
  StartSurfaceUnit();
  StartTriSurfaceUnit();
  StartPoint3DUnit();
  StartShapeUnit();
}

void StopChartSeries() {
  StopShapeUnit();
  StopPoint3DUnit();
  StopTriSurfaceUnit();
  StopSurfaceUnit();
  UnregisterUloSmoothingFunction();
  StopSeriesUnit();
  UnregisterUloBasicFunctions();
}
