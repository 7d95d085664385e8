// Starting the program's units and making and freeing its eight windows,
// in their fixed order.
#pragma once

namespace workbench {

// The units in dependency order: the window classes the definitions name,
// the chart texts, palette and hand cursor, then the chart series and tool
// classes the result windows' definitions name (each unit registering its
// classes in the gallery and the tool registry in its own order).
void StartUnits();
// Shuts them down in the reverse order.
void StopUnits();

// Form1 (the main window) first, then About, settings and the five result
// windows. The main window is shown by the message loop, once all exist,
// because showing it checks a setting of the settings window.
void CreateWindows();
// Frees them in the reverse order and clears the globals.
void DestroyWindows();

} // namespace workbench
