#include "platform/forms/PaintHost.h"

#include "platform/forms/Application.h"
#include "platform/forms/PaintHostQt.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWidget>

namespace forms {
namespace {

TShiftState ShiftOf(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons) {
  TShiftState shift = 0;
  if (keys & Qt::ShiftModifier) shift |= ssShift;
  if (keys & Qt::AltModifier) shift |= ssAlt;
  if (keys & Qt::ControlModifier) shift |= ssCtrl;
  if (buttons & Qt::LeftButton) shift |= ssLeft;
  if (buttons & Qt::RightButton) shift |= ssRight;
  if (buttons & Qt::MiddleButton) shift |= ssMiddle;
  return shift;
}

bool ButtonOf(Qt::MouseButton button, TMouseButton &result) {
  switch (button) {
  case Qt::LeftButton:
    result = TMouseButton::mbLeft;
    return true;
  case Qt::RightButton:
    result = TMouseButton::mbRight;
    return true;
  case Qt::MiddleButton:
    result = TMouseButton::mbMiddle;
    return true;
  default:
    return false;
  }
}

int X(const QMouseEvent *e) { return static_cast<int>(e->position().x()); }
int Y(const QMouseEvent *e) { return static_cast<int>(e->position().y()); }

} // namespace

class TPaintHost::HostWidget : public QWidget {
public:
  HostWidget(QWidget *parent, TPaintHost *owner) : QWidget(parent), owner_(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
  }

protected:
  void paintEvent(QPaintEvent *event) override {
    const QRect r = event->rect();
    if (IPaintHostClient *client = owner_->client_)
      Dispatch([&] { client->HostPaint(r.left(), r.top(), r.right() + 1, r.bottom() + 1); });
    QPainter painter(this);
    const auto *surface = static_cast<const QImage *>(owner_->surface_);
    if (surface) painter.drawImage(QPoint(0, 0), *surface);
    // Whatever the picture does not cover shows the window colour.
    const QRect covered = surface ? QRect(QPoint(0, 0), surface->size()) : QRect();
    const QRegion rest = QRegion(r).subtracted(QRegion(covered));
    for (const QRect &part : rest)
      painter.fillRect(part, palette().window());
  }
  void resizeEvent(QResizeEvent *event) override {
    QWidget::resizeEvent(event);
    if (IPaintHostClient *client = owner_->client_) Dispatch([&] { client->HostResize(width(), height()); });
  }
  void mousePressEvent(QMouseEvent *e) override {
    TMouseButton button;
    if (!ButtonOf(e->button(), button)) return;
    const TShiftState shift = ShiftOf(e->modifiers(), e->buttons());
    if (IPaintHostClient *client = owner_->client_) Dispatch([&] { client->HostMouseDown(button, shift, X(e), Y(e)); });
  }
  void mouseDoubleClickEvent(QMouseEvent *e) override {
    const TShiftState shift = ShiftOf(e->modifiers(), e->buttons()) | ssDouble;
    if (IPaintHostClient *client = owner_->client_) {
      TMouseButton button;
      // The second press of a double click is a press too, then the double click.
      if (ButtonOf(e->button(), button)) Dispatch([&] { client->HostMouseDown(button, shift, X(e), Y(e)); });
      Dispatch([&] { client->HostDoubleClick(shift, X(e), Y(e)); });
    }
  }
  void mouseMoveEvent(QMouseEvent *e) override {
    const TShiftState shift = ShiftOf(e->modifiers(), e->buttons());
    if (IPaintHostClient *client = owner_->client_) Dispatch([&] { client->HostMouseMove(shift, X(e), Y(e)); });
  }
  void mouseReleaseEvent(QMouseEvent *e) override {
    TMouseButton button;
    if (!ButtonOf(e->button(), button)) return;
    const TShiftState shift = ShiftOf(e->modifiers(), e->buttons());
    if (IPaintHostClient *client = owner_->client_) Dispatch([&] { client->HostMouseUp(button, shift, X(e), Y(e)); });
  }
  void wheelEvent(QWheelEvent *e) override {
    const int delta = e->angleDelta().y();
    if (delta == 0) return;
    const TShiftState shift = ShiftOf(e->modifiers(), e->buttons());
    const int x = static_cast<int>(e->position().x()), y = static_cast<int>(e->position().y());
    if (IPaintHostClient *client = owner_->client_) Dispatch([&] { client->HostMouseWheel(delta, shift, x, y); });
    e->accept();
  }
  void leaveEvent(QEvent *event) override {
    QWidget::leaveEvent(event);
    if (IPaintHostClient *client = owner_->client_) Dispatch([&] { client->HostMouseLeave(); });
  }

private:
  TPaintHost *owner_;
};

TPaintHost::TPaintHost(TWinControl *parent)
    : TControl(parent, new HostWidget(parent ? parent->ClientWidget() : nullptr, this)) {
  Widget()->setGeometry(0, 0, 400, 250);
}

TPaintHost::~TPaintHost() = default;

void TPaintHost::SetClient(IPaintHostClient *client) {
  client_ = client;
  if (client_) Dispatch([&] { client_->HostResize(Width(), Height()); });
  Invalidate();
}

void TPaintHost::Invalidate() { Widget()->update(); }
void TPaintHost::Repaint() { Widget()->repaint(); }

void SetHostSurface(TPaintHost &host, const QImage *surface) {
  host.surface_ = const_cast<QImage *>(surface);
  host.Invalidate();
}

const QImage *HostSurface(const TPaintHost &host) { return static_cast<const QImage *>(host.SurfaceHandle()); }

} // namespace forms
