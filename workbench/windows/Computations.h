// The main window's computing buttons and the solver state they leave for
// the plotting buttons.
#pragma once

namespace workbench {

class TForm1;

// "Рассчитать АИ" and "Гарантированное время" on the game the window shows
// and the settings window's grid and step; each ends with its message box.
void ComputeIntegral(TForm1 &window);
void ComputeGuaranteedTime(TForm1 &window);

} // namespace workbench
