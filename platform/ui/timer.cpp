// Window timers: scheduling state only; the application decides when a due tick is delivered.
#include "platform/ui/timer.h"

#include "platform/trace.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"

namespace plat {

namespace {
uint64_t g_next_serial = 1;
}

Timer::Timer(Application& app, std::string name, uint32_t interval_ms, bool enabled,
             std::function<void(Timer&)> on_timer)
    : OnTimer(std::move(on_timer)), app_(app), name_(std::move(name)), interval_(interval_ms),
      enabled_(enabled), serial_(g_next_serial++) {
  if (enabled_) due_ = app_.Now() + interval_;
  app_.RegisterTimer(this);
}

Timer::~Timer() {
  // A form that outlives the application must not reach back into it.
  if (HasApp() && &App() == &app_) app_.UnregisterTimer(this);
}

void Timer::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  if (on) due_ = app_.Now() + interval_;
  // Unnamed timers belong to controls (hover tracking, clip playback) and stay out of the trace.
  if (!name_.empty() && !(owner_ && owner_->Loading())) trace::Emit("timer", name_ + (on ? " on" : " off"));
}

void Timer::SetInterval(uint32_t ms) {
  interval_ = ms;
  due_ = app_.Now() + interval_;
}

void Timer::PassTicks(uint64_t until, bool at_too) {
  if (!enabled_ || interval_ == 0) return;
  const uint64_t end = at_too ? until + 1 : until;
  if (due_ < end) due_ += (end - due_ + interval_ - 1) / interval_ * interval_;
}

void Timer::Fire() {
  due_ = app_.Now() + interval_;
  if (OnTimer) OnTimer(*this);
}

}  // namespace plat
