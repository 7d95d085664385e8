#include "platform/forms/SurfaceHost.h"

#include "platform/forms/PaintHostQt.h"
#include "platform/gdi/QtSurface.h"

#include <QCursor>
#include <QPainterPath>
#include <QRegion>
#include <QWidget>

namespace forms {

void AttachSurface(TPaintHost &host, gdi::WindowSurface *surface) {
  if (!surface) {
    SetHostSurface(host, nullptr);
    return;
  }
  // The image object behind a surface stays the same one when the surface
  // is resized, so the host may keep pointing at it.
  SetHostSurface(host, &gdi::QtImage(*surface));
  surface->OnChanged = [&host] { host.Invalidate(); };
}

void FinishSurface(gdi::WindowSurface &surface) { (void)gdi::QtImage(surface); }

void SetRoundWindowShape(TControl &control, int round) {
  QWidget *w = control.Widget();
  if (round < 1) {
    w->clearMask();
    return;
  }
  // A region from a rounded path, in whole pixels as a window shape must be.
  QPainterPath path;
  path.addRoundedRect(QRectF(0, 0, w->width(), w->height()), round / 2.0, round / 2.0);
  w->setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void ClientCursorPos(const TControl &control, int &x, int &y) {
  const QPoint p = control.Widget()->mapFromGlobal(QCursor::pos());
  x = p.x();
  y = p.y();
}

} // namespace forms
