// The one source of time: a real steady clock, or a virtual clock that tests and the simulator move by hand.
#pragma once
#include <cstdint>

namespace plat {

constexpr uint64_t kNever = UINT64_MAX;

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since the clock was created.
  virtual uint64_t NowMs() const = 0;
};

class RealClock : public Clock {
 public:
  RealClock();
  uint64_t NowMs() const override;

 private:
  int64_t origin_ns_;
};

class VirtualClock : public Clock {
 public:
  uint64_t NowMs() const override { return now_; }
  void AdvanceTo(uint64_t t) {
    if (t > now_) now_ = t;
  }
  void Advance(uint64_t ms) { now_ += ms; }

 private:
  uint64_t now_ = 0;
};

}  // namespace plat
