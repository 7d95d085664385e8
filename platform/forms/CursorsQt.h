// The Qt side of the cursor table, for platform code that owns widgets
// (the forms layer itself, the drawing surface host).
#pragma once

#include <QCursor>

class QWidget;

namespace forms {

// The Qt cursor for a number; unknown numbers give the arrow.
QCursor CursorFor(int number);
// Shows the numbered cursor over a widget; kCursorDefault unsets it so the
// parent's cursor shows.
void ApplyCursor(QWidget *widget, int number);

} // namespace forms
