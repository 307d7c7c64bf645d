// Real clock over std::chrono::steady_clock.
#include "platform/clock.h"

#include <chrono>

namespace plat {

static int64_t SteadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

RealClock::RealClock() : origin_ns_(SteadyNs()) {}

uint64_t RealClock::NowMs() const { return uint64_t(SteadyNs() - origin_ns_) / 1000000u; }

}  // namespace plat
