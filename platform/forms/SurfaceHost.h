// Showing a window surface of the drawing layer in a paint host, for
// controls that draw into a kept picture (the chart panels) and never see
// Qt themselves.
#pragma once

#include "platform/forms/PaintHost.h"

namespace gdi {
class WindowSurface;
}

namespace forms {

// Every paint event of Host copies Surface, and drawing on Surface between
// paints (exclusive-or feedback) asks Host for a paint so that it shows.
// Surface must outlive the attachment; null detaches.
void AttachSurface(TPaintHost &host, gdi::WindowSurface *surface);

// Ends open drawing on Surface so that the host copies finished pixels.
void FinishSurface(gdi::WindowSurface &surface);

// Gives the control's window a rounded-rectangle shape with corners of
// Round pixels; Round below 1 gives back the plain rectangle.
void SetRoundWindowShape(TControl &control, int round);

// The mouse position in the control's client coordinates.
void ClientCursorPos(const TControl &control, int &x, int &y);

} // namespace forms
