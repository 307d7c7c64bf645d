// The SDL user event that wakes the UI loop from other threads (a sound has finished).
#pragma once
#include <cstdint>

namespace plat {

// Registered once; safe to call from any thread after the first call on the UI thread.
uint32_t SdlWakeEventType();
// Pushes one wake event; callable from the audio thread.
void SdlPushWake();

}  // namespace plat
