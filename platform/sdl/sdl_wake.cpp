// One registered SDL event type for waking the UI loop.
#include "platform/sdl/sdl_wake.h"

#include <SDL.h>

#include <atomic>

namespace plat {

uint32_t SdlWakeEventType() {
  static const uint32_t type = [] {
    const Uint32 t = SDL_RegisterEvents(1);
    return t == Uint32(-1) ? uint32_t(SDL_USEREVENT) : uint32_t(t);
  }();
  return type;
}

void SdlPushWake() {
  SDL_Event e{};
  e.type = SdlWakeEventType();
  SDL_PushEvent(&e);
}

namespace {
std::atomic<bool> g_raise{false};
}

void SdlRequestRaise() {
  g_raise = true;
  SdlPushWake();
}

bool SdlTakeRaise() { return g_raise.exchange(false); }

}  // namespace plat
