// The chart foundation's start-up and shut-down work, in the system's order.
// The program body calls StartChartFoundation once before any chart unit
// starts (the engine's pixel limit, the series and tool registrations) and
// StopChartFoundation once after they have stopped.
#pragma once

// The library texts, the series and tool texts, the default chart font read
// from the texts, then the shared routines (palette, hand cursor, dates),
// then the image filter classes and the bitmap-rotation service.
void StartChartFoundation();
// The same units in reverse order.
void StopChartFoundation();
