#include "platform/forms/Timer.h"

#include "platform/forms/Application.h"

#include <QTimer>

#include <algorithm>

namespace forms {
namespace {

class QtTimer final : public TTimer {
public:
  QtTimer() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(interval_);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (OnTimer) Dispatch(OnTimer);
    });
  }
  void SetInterval(int milliseconds) override {
    TTimer::SetInterval(milliseconds);
    timer_.setInterval(interval_);
  }
  void Start() override { timer_.start(); }
  void Stop() override { timer_.stop(); }
  bool Enabled() const override { return timer_.isActive(); }

private:
  QTimer timer_;
};

TTimerFactory &Factory() {
  static TTimerFactory factory;
  return factory;
}

} // namespace

void TTimer::SetInterval(int milliseconds) { interval_ = std::max(1, milliseconds); }

std::unique_ptr<TTimer> CreateTimer() {
  if (Factory()) return Factory()();
  return std::make_unique<QtTimer>();
}

void SetTimerFactory(TTimerFactory factory) { Factory() = std::move(factory); }

void TManualTimer::Tick() {
  if (enabled_ && OnTimer) Dispatch(OnTimer);
}

} // namespace forms
