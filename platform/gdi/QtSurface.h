// The Qt side of bitmaps and window surfaces, for the window layer only
// (platform/). Chart code never includes this.
#pragma once

#include "platform/gdi/Gdi.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRegion>

namespace gdi {

// The image behind a bitmap (Format_RGB32). Open drawing is ended first, so
// the image may be copied or drawn; drawing resumes by itself afterwards.
// The reference names the same QImage object for the bitmap's whole life,
// through resizes and loads, so a window may keep it.
const QImage &QtImage(const Bitmap &bitmap);

// For a window's paint event: copies `area` of the surface to the same place
// through the widget's painter. Typical use:
//   surface.BeginPaint(); panel.Paint(); surface.EndPaint();
//   QPainter p(widget); gdi::PaintSurface(p, surface, event->rect());
void PaintSurface(QPainter &painter, WindowSurface &surface, const QRect &area);

// The pixels of a region, for a window's shape (rounded panel borders).
const QRegion &QtRegion(const Region &region);

} // namespace gdi
