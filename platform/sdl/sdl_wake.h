// The SDL user event that wakes the UI loop from other threads (a sound has finished).
#pragma once
#include <cstdint>

namespace plat {

// Registered once; safe to call from any thread after the first call on the UI thread.
uint32_t SdlWakeEventType();
// Pushes one wake event; callable from the audio thread.
void SdlPushWake();
// Asks the UI loop to bring the window to the front (a second launch of the game); callable from any thread.
void SdlRequestRaise();
// True once after each request.
bool SdlTakeRaise();

}  // namespace plat
