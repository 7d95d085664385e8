// The chart engine's start-up and shut-down work, in the system's order.
// The program body calls StartChartEngine once after StartChartFoundation
// and before any series, function or tool unit starts (they register into
// the registries made here), and StopChartEngine once after those units
// have stopped and before StopChartFoundation.
#pragma once

// The largest pixel coordinate drawing may use, the classes the engine
// itself stores by name (axis titles, axes, depth axes, marks), the
// series gallery, the tool registry and the palette names.
void StartChartEngine();
// Frees the palette names, the gallery and the tool registry (in this
// order), then unregisters the engine's own classes.
void StopChartEngine();
