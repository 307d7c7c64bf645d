// Window timers with WM_TIMER semantics: at most one pending tick, delivered only while the queue is pumped.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace plat {

class Application;
class Form;

class Timer {
 public:
  Timer(Application& app, std::string name, uint32_t interval_ms, bool enabled,
        std::function<void(Timer&)> on_timer = {});
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  const std::string& Name() const { return name_; }
  bool Enabled() const { return enabled_; }
  // Enabling starts a full interval from now; disabling drops a pending tick. Traces "timer NAME on|off"
  // (unnamed timers are not traced).
  void SetEnabled(bool on);
  uint32_t Interval() const { return interval_; }
  void SetInterval(uint32_t ms);  // restarts the interval
  int Tag = 0;
  std::function<void(Timer&)> OnTimer;
  // True when a tick now would change nothing at all (the handler's own counters included). Such a
  // timer does not wake the loop: its ticks pass unseen, in phase, until something else runs.
  std::function<bool(const Timer&)> Idle;

  // For the application's scheduler.
  uint64_t due() const { return due_; }
  uint64_t serial() const { return serial_; }
  void Fire();  // called by the application: reschedules, then runs OnTimer
  // Lets the ticks due before `until` (or at it, when `at_too`) pass as if each had fired on time.
  void PassTicks(uint64_t until, bool at_too);
  // The form the timer belongs to (its switches are not traced while that form is loading).
  void SetOwner(Form* f) { owner_ = f; }

 private:
  Application& app_;
  std::string name_;
  uint32_t interval_;
  bool enabled_ = false;
  uint64_t due_ = 0;
  uint64_t serial_;
  Form* owner_ = nullptr;
};

}  // namespace plat
