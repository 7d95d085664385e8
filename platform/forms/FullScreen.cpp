#include "platform/forms/FullScreen.h"

#include "platform/forms/Application.h"
#include "platform/forms/Controls.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace forms {

int VirtualKeyOfQtKey(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 0x70 + (qtKey - Qt::Key_F1);
  switch (qtKey) {
  case Qt::Key_Backspace:
    return 8;
  case Qt::Key_Tab:
  case Qt::Key_Backtab:
    return 9;
  case Qt::Key_Clear:
    return 12;
  case Qt::Key_Return:
  case Qt::Key_Enter:
    return 13;
  case Qt::Key_Shift:
    return 16;
  case Qt::Key_Control:
    return 17;
  case Qt::Key_Alt:
    return 18;
  case Qt::Key_Pause:
    return 19;
  case Qt::Key_CapsLock:
    return 20;
  case Qt::Key_Escape:
    return 27;
  case Qt::Key_Space:
    return 32;
  case Qt::Key_PageUp:
    return 33;
  case Qt::Key_PageDown:
    return 34;
  case Qt::Key_End:
    return 35;
  case Qt::Key_Home:
    return 36;
  case Qt::Key_Left:
    return 37;
  case Qt::Key_Up:
    return 38;
  case Qt::Key_Right:
    return 39;
  case Qt::Key_Down:
    return 40;
  case Qt::Key_Print:
    return 44;
  case Qt::Key_Insert:
    return 45;
  case Qt::Key_Delete:
    return 46;
  case Qt::Key_Help:
    return 47;
  case Qt::Key_NumLock:
    return 144;
  case Qt::Key_ScrollLock:
    return 145;
  default:
    return 0;
  }
}

// ---- the window --------------------------------------------------------------------

class TFullScreenWindow::Widget : public QWidget {
public:
  explicit Widget(TFullScreenWindow *owner) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), owner_(owner) {
    int left, top, width, height;
    ScreenBounds(left, top, width, height);
    setGeometry(left, top, width, height);
  }

protected:
  void closeEvent(QCloseEvent *event) override {
    event->accept();
    owner_->Closing();
  }

private:
  TFullScreenWindow *owner_;
};

// Key preview: every key event aimed at a widget of the window passes here
// before that widget sees it.
class TFullScreenWindow::KeyFilter : public QObject {
public:
  explicit KeyFilter(TFullScreenWindow *owner) : owner_(owner) {}

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto *target = qobject_cast<QWidget *>(watched);
    if (!target || target->window() != owner_->widget_.get() || !owner_->OnKeyDown) return false;
    const int key = VirtualKeyOfQtKey(static_cast<QKeyEvent *>(event)->key());
    if (key == 0) return false;
    bool swallow = false;
    Dispatch([&] { swallow = owner_->OnKeyDown(key); });
    return swallow;
  }

private:
  TFullScreenWindow *owner_;
};

// Where a hosted control came from.
struct TFullScreenWindow::TPlace {
  // The control's widget: a control freed while hosted is no longer there.
  QPointer<QWidget> widget;
  QPointer<QWidget> parent;
  QRect geometry;
  bool visible = false;
};

TFullScreenWindow::TFullScreenWindow()
    : widget_(std::make_unique<Widget>(this)), filter_(std::make_unique<KeyFilter>(this)) {
  qApp->installEventFilter(filter_.get());
}

TFullScreenWindow::~TFullScreenWindow() {
  // The window's widget deletes its children: the control must be out first.
  GiveBack();
  qApp->removeEventFilter(filter_.get());
}

void TFullScreenWindow::ScreenBounds(int &left, int &top, int &width, int &height) {
  const QRect r = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
  left = r.left();
  top = r.top();
  width = r.width();
  height = r.height();
}

void TFullScreenWindow::Host(TControl &control) {
  GiveBack();
  QWidget *w = control.Widget();
  place_ = std::make_unique<TPlace>();
  place_->widget = w;
  place_->parent = w->parentWidget();
  place_->geometry = w->geometry();
  place_->visible = !w->isHidden();
  hosted_ = &control;
  w->setParent(widget_.get());
  w->show();
}

TControl *TFullScreenWindow::Hosted() const noexcept { return place_ && place_->widget ? hosted_ : nullptr; }

void TFullScreenWindow::GiveBack() {
  if (!Hosted()) {
    hosted_ = nullptr;
    place_.reset();
    return;
  }
  QWidget *w = hosted_->Widget();
  w->setParent(place_->parent.data());
  w->setGeometry(place_->geometry);
  if (place_->visible && place_->parent) w->show();
  hosted_ = nullptr;
  place_.reset();
}

void TFullScreenWindow::Show() {
  widget_->show();
  widget_->raise();
  widget_->activateWindow();
}

bool TFullScreenWindow::Showing() const { return widget_->isVisible(); }

void TFullScreenWindow::Close() { widget_->close(); }

void TFullScreenWindow::Closing() {
  if (freeing_) return;
  freeing_ = true;
  if (OnClose) Dispatch(OnClose);
  // Whatever the handler left in the window goes back before the window goes.
  GiveBack();
  // Freed from the event loop, never inside the widget's own close event;
  // nothing happens when the window was freed before then.
  QPointer<QWidget> alive = widget_.get();
  QTimer::singleShot(0, qApp, [this, alive] {
    if (alive) delete this;
  });
}

} // namespace forms
