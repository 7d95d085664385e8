// The application's hint: one tool-tip window for the whole program, shown
// for a control at a point of it with that control's hint text. It appears
// after the hint pause and goes after the hide pause; both are settings of
// the application, in milliseconds.
#pragma once

#include <string>

namespace forms {

class TControl;

// 500 and 2500 at start; a negative value counts as 0.
int HintPause();
void SetHintPause(int milliseconds);
int HintHidePause();
void SetHintHidePause(int milliseconds);

// A control's hint text; empty for none. The text goes with the control.
std::string ControlHint(const TControl &control);
void SetControlHint(TControl &control, const std::string &text);

// Shows the control's hint at its client point (X, Y), replacing whatever
// hint shows or waits; nothing for a control without a hint.
void ActivateHint(TControl &control, int x, int y);
// Hides the window and drops a hint still waiting for its pause.
void CancelHint();

// Whether the tool-tip window is on the screen, and the text it shows
// (empty when hidden).
bool HintShowing();
std::string ShownHint();

} // namespace forms
