// The real backend over SDL2: one window covering the desktop, input, cursors, the steady clock and SDL audio.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/scale.h"
#include "platform/sdl/sdl_wake.h"  // SdlWakeEventType(): pushed by the sound system to end a Wait

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

namespace plat {

class SdlAudio;

class SdlBackend : public Backend {
 public:
  // Opens the window: borderless over the whole desktop, or a plain 640 k × 480 k window when the
  // environment has OZZEL_WINDOWED=1. The program sees a logical screen of the window's pixels
  // divided by the scale: by default the one that fills the display's height (or width), with
  // OZZEL_SCALE=k whole k × k blocks (a window always uses whole blocks, the largest that fit unless
  // asked). Throws std::runtime_error when no display can be opened or OZZEL_SCALE is not understood.
  SdlBackend();
  ~SdlBackend() override;
  SdlBackend(const SdlBackend&) = delete;
  SdlBackend& operator=(const SdlBackend&) = delete;

  Clock& clock() override { return clock_; }
  AudioSystem& audio() override;
  Size ScreenSize() override { return size_; }
  void Poll(std::vector<InputEvent>& out) override;
  // Sleeps in SDL_WaitEventTimeout (at most a second at a time) until input, a wake event or the deadline.
  void Wait(uint64_t deadline_ms, std::vector<InputEvent>& out) override;
  void Present(const Surface& framebuffer, const Rect& damage) override;
  void ShowCursor(const CursorImage* img, bool busy) override;
  void SetTitle(const std::string& title) override;
  void SetIcon(const CursorImage& icon) override;
  Point PointerPos() override;
  void Wake() override;
  // Pushes an event that the UI loop answers; a no-op until SDL's events are up.
  void Raise() override;
  // Grabbed only while the window has the focus; SDL takes the grab again when it comes back.
  void SetKeyboardGrab(bool on) override;
  ScreenScale Scale() const { return scaler_.scale(); }

 private:
  // Appends what the event means to the program; true when it should end a wait.
  bool Translate(const SDL_Event& e, std::vector<InputEvent>& out);
  void Blit(const Surface& fb, const Rect& r);
  // A position in window points (as SDL reports the pointer) on the logical screen.
  Point Logical(int x, int y) const;

  RealClock clock_;
  SDL_Window* window_ = nullptr;
  Size size_;                     // the logical screen
  Scaler scaler_;                 // logical pixels to physical ones
  Size points_{1, 1}, pixels_{1, 1};  // the window's size in points and in pixels (high-DPI)
  std::vector<uint32_t> scratch_;  // scaled pixels for window surfaces of other formats
  std::unique_ptr<SdlAudio> audio_;
  std::map<const CursorImage*, SDL_Cursor*> cursors_;  // made as large as the scale makes them
  SDL_Cursor* arrow_ = nullptr;
  SDL_Cursor* wait_ = nullptr;
  const Surface* last_fb_ = nullptr;  // repainted whole when the window surface is lost
  static constexpr int64_t kNoFinger = -1;
  int64_t finger_ = kNoFinger;  // the finger that is the pointer
  ParentsGate gate_;
  TouchGate touch_gate_;
};

}  // namespace plat
