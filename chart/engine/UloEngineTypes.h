// What every part of the chart engine shares: the classes by name, the
// engine's exceptions and the largest pixel coordinate drawing may use.
// Shared small enumerations go here too (append under a banner comment
// naming the header that uses them most); everything else lives in the
// header of the class it belongs to.
#pragma once

#include <string>

#include "platform/rtl/Exceptions.h"

class TChartValueList;
class TChartAxis;
class TChartDepthAxis;
class TChartAxes;
class TCustomChartElement;
class TChartSeries;
class TChartSeriesList;
class TSeriesMarks;
class TSeriesPointer;
class TUloFunction;
class TCustomAxisPanel;
class TCustomChart;
class TChart;
class TUloCustomTool;
class TChartLegend;
class TChartTitle;

// The engine's own failures: texts from the chart message table.
class ChartException : public rtl::Exception {
public:
  using rtl::Exception::Exception;
};

// A refused axis setting; the axis keeps its old value.
class AxisException : public rtl::Exception {
public:
  using rtl::Exception::Exception;
};

// A refused legend setting.
class LegendException : public rtl::Exception {
public:
  using rtl::Exception::Exception;
};

// The largest pixel coordinate drawing may use; set by the engine's
// start-up. Axis positions are clamped to plus or minus this value.
extern int UloMaxPixel;

// ---- text alignment (UloWalls.h: titles; also legend titles and text boxes)
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
