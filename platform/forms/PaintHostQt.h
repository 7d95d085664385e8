// The Qt side of the paint host, for the drawing layer.
#pragma once

#include "platform/forms/PaintHost.h"

#include <QImage>

namespace forms {

// The picture the host copies to the screen in each paint, at the client's
// top-left corner; not owned, and must outlive the host or be unset with
// nullptr. Areas the picture does not cover are filled with the window colour.
void SetHostSurface(TPaintHost &host, const QImage *surface);
const QImage *HostSurface(const TPaintHost &host);

} // namespace forms
