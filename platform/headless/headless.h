// The headless backend: virtual clock, injected input, an in-memory framebuffer, and recording fakes.
#pragma once
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/gdi/canvas.h"

namespace plat {

class HeadlessAudio;

class HeadlessBackend : public Backend {
 public:
  explicit HeadlessBackend(Size screen = {1024, 768}, bool sound_device = true);
  ~HeadlessBackend() override;

  Clock& clock() override { return clock_; }
  VirtualClock& vclock() { return clock_; }
  AudioSystem& audio() override;
  Size ScreenSize() override { return screen_; }
  void Poll(std::vector<InputEvent>& out) override;
  // Hands out injected input; otherwise asks OnIdle (the simulator's script) for more, and without
  // OnIdle moves the virtual clock to the deadline. Never sleeps.
  void Wait(uint64_t deadline_ms, std::vector<InputEvent>& out) override;
  void Present(const Surface& fb, const Rect& damage) override;
  void ShowCursor(const CursorImage* img, bool busy) override;
  void SetTitle(const std::string& title) override { title_ = title; }
  Point PointerPos() override { return pointer_; }

  void Inject(InputEvent e);
  // Called by Wait when nothing is injected. It may inject input and/or move the clock, but not past
  // the deadline. If it does neither, Wait moves the clock to the deadline itself. A wait that nothing
  // can ever end (deadline kNever, nothing injected) throws std::logic_error instead of hanging.
  std::function<void(uint64_t deadline_ms)> OnIdle;
  // Wake (any thread) makes the current or next Wait return without moving the clock, and calls
  // OnWake on the waking thread, so that an OnIdle blocked on its own input can give up.
  void Wake() override;
  std::function<void()> OnWake;

  // What happened, for tests.
  const std::string& title() const { return title_; }
  const CursorImage* shown_cursor() const { return cursor_; }
  bool shown_busy() const { return busy_; }
  int presents() const { return presents_; }
  const Rect& last_damage() const { return last_damage_; }

 private:
  VirtualClock clock_;
  Size screen_;
  std::unique_ptr<HeadlessAudio> audio_;
  std::deque<InputEvent> injected_;
  std::string title_;
  const CursorImage* cursor_ = nullptr;
  bool busy_ = false;
  int presents_ = 0;
  Rect last_damage_;
  Point pointer_{-1, -1};
  std::atomic<bool> woken_{false};
};

}  // namespace plat
