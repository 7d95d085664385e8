// A timer whose ticks arrive on the GUI thread through the event loop.
// Tests replace the real timer with one they tick by hand.
#pragma once

#include <functional>
#include <memory>

namespace forms {

class TTimer {
public:
  virtual ~TTimer() = default;
  int Interval() const noexcept { return interval_; }
  // Milliseconds; below 1 counts as 1. A running timer restarts with it.
  virtual void SetInterval(int milliseconds);
  virtual void Start() = 0;
  virtual void Stop() = 0;
  virtual bool Enabled() const = 0;

  // Fired through Dispatch, so an exception it raises stops at the error box.
  std::function<void()> OnTimer;

protected:
  int interval_ = 1000;
};

// A new stopped timer: the real one, or what the test factory makes.
std::unique_ptr<TTimer> CreateTimer();

using TTimerFactory = std::function<std::unique_ptr<TTimer>()>;
// Replaces the timers CreateTimer makes; an empty factory restores the real
// ones.
void SetTimerFactory(TTimerFactory factory);

// A timer that ticks only when told: for tests.
class TManualTimer : public TTimer {
public:
  void Start() override { enabled_ = true; }
  void Stop() override { enabled_ = false; }
  bool Enabled() const override { return enabled_; }
  // One tick, as the event loop would deliver it; nothing while stopped.
  void Tick();

private:
  bool enabled_ = false;
};

} // namespace forms
