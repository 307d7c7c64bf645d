// The real backend over SDL2: one window covering the desktop, input, cursors, the steady clock and SDL audio.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/sdl/sdl_wake.h"  // SdlWakeEventType(): pushed by the sound system to end a Wait

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

namespace plat {

class SdlAudio;

class SdlBackend : public Backend {
 public:
  // Opens the window: borderless over the whole desktop, or a plain 640 × 480 window when the
  // environment has OZZEL_WINDOWED=1. Throws std::runtime_error when no display can be opened.
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

 private:
  // Appends what the event means to the program; true when it should end a wait.
  bool Translate(const SDL_Event& e, std::vector<InputEvent>& out);
  void Blit(const Surface& fb, const Rect& r);

  RealClock clock_;
  SDL_Window* window_ = nullptr;
  Size size_;
  std::unique_ptr<SdlAudio> audio_;
  std::map<const CursorImage*, SDL_Cursor*> cursors_;
  SDL_Cursor* arrow_ = nullptr;
  SDL_Cursor* wait_ = nullptr;
  const Surface* last_fb_ = nullptr;  // repainted whole when the window surface is lost
};

}  // namespace plat
