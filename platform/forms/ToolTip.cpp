#include "platform/forms/ToolTip.h"

#include "platform/forms/Application.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Timer.h"

#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QToolTip>
#include <QWidget>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace forms {
namespace {

struct THintState {
  int pause = 500;
  int hidePause = 2500;
  // Hint texts by control widget; an entry leaves with its widget.
  std::vector<std::pair<QPointer<QWidget>, std::string>> texts;
  // The hint waiting for its pause.
  std::unique_ptr<TTimer> timer;
  QPointer<QWidget> pendingWidget;
  QPoint pendingPoint;
  std::string pendingText;
  std::string shown;
  // A hint asked for while a mouse button is down waits for its release:
  // the tool-tip window hides on every press and release.
  bool waitingForRelease = false;
  std::unique_ptr<QObject> releaseFilter;
};

THintState &State() {
  static THintState state;
  return state;
}

void DropDeadEntries(THintState &s) {
  std::erase_if(s.texts, [](const auto &e) { return e.first.isNull(); });
}

void ShowNow(QWidget *widget, const QPoint &point, const std::string &text) {
  THintState &s = State();
  if (!widget) return;
  s.shown = text;
  QToolTip::showText(widget->mapToGlobal(point), QString::fromStdString(text), widget, QRect(), s.hidePause);
}

} // namespace

int HintPause() { return State().pause; }
void SetHintPause(int milliseconds) { State().pause = std::max(0, milliseconds); }
int HintHidePause() { return State().hidePause; }
void SetHintHidePause(int milliseconds) { State().hidePause = std::max(0, milliseconds); }

std::string ControlHint(const TControl &control) {
  THintState &s = State();
  for (const auto &[widget, text] : s.texts)
    if (widget.data() == control.Widget()) return text;
  return {};
}

void SetControlHint(TControl &control, const std::string &text) {
  THintState &s = State();
  DropDeadEntries(s);
  auto it = std::find_if(s.texts.begin(), s.texts.end(), [&](const auto &e) { return e.first == control.Widget(); });
  if (it != s.texts.end()) {
    if (text.empty())
      s.texts.erase(it);
    else
      it->second = text;
  } else if (!text.empty()) {
    s.texts.emplace_back(control.Widget(), text);
  }
}

namespace {

void StartPause();

class TReleaseFilter : public QObject {
protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    (void)watched;
    THintState &s = State();
    if (event->type() == QEvent::MouseButtonRelease && s.waitingForRelease) {
      s.waitingForRelease = false;
      // After the release has been delivered everywhere.
      QTimer::singleShot(0, qApp, [] { Dispatch(StartPause); });
    }
    return false;
  }
};

void StartPause() {
  THintState &s = State();
  if (!s.pendingWidget) return;
  if (s.pause == 0) {
    ShowNow(s.pendingWidget.data(), s.pendingPoint, s.pendingText);
    s.pendingWidget.clear();
    return;
  }
  // A new timer each time, so that a test's timer factory takes effect.
  s.timer = CreateTimer();
  s.timer->OnTimer = [] {
    THintState &st = State();
    st.timer->Stop();
    ShowNow(st.pendingWidget.data(), st.pendingPoint, st.pendingText);
    st.pendingWidget.clear();
  };
  s.timer->SetInterval(s.pause);
  s.timer->Start();
}

} // namespace

void ActivateHint(TControl &control, int x, int y) {
  CancelHint();
  const std::string text = ControlHint(control);
  if (text.empty()) return;
  THintState &s = State();
  s.pendingWidget = control.Widget();
  s.pendingPoint = QPoint(x, y);
  s.pendingText = text;
  if (QGuiApplication::mouseButtons() != Qt::NoButton) {
    if (!s.releaseFilter) {
      s.releaseFilter = std::make_unique<TReleaseFilter>();
      qApp->installEventFilter(s.releaseFilter.get());
    }
    s.waitingForRelease = true;
    return;
  }
  StartPause();
}

void CancelHint() {
  THintState &s = State();
  s.waitingForRelease = false;
  if (s.timer) s.timer->Stop();
  s.pendingWidget.clear();
  s.pendingText.clear();
  s.shown.clear();
  QToolTip::hideText();
}

bool HintShowing() { return QToolTip::isVisible() && !State().shown.empty(); }

std::string ShownHint() { return HintShowing() ? State().shown : std::string(); }

} // namespace forms
