// Making and freeing the program's eight windows, in their fixed order.
#pragma once

namespace workbench {

// Form1 (the main window) first, then About, settings and the five result
// windows. The main window is shown by the message loop, once all exist,
// because showing it checks a setting of the settings window.
void CreateWindows();
// Frees them in the reverse order and clears the globals.
void DestroyWindows();

} // namespace workbench
