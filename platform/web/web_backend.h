// The browser's backend: the page's canvas, its pointer, touch and keys, Web Audio, in real time.
#pragma once
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "platform/backend.h"
#include "platform/scale.h"

namespace plat {

class WebAudio;

class WebBackend : public Backend {
 public:
  // Fills the page's viewport (CSS pixels times the device's pixel ratio) by the desktop's scale rule.
  WebBackend();
  ~WebBackend() override;

  Clock& clock() override { return clock_; }
  AudioSystem& audio() override;
  Size ScreenSize() override { return size_; }
  void Poll(std::vector<InputEvent>& out) override;
  // Sleeps (the page keeps running: this is an asynchronous pause) until input or the deadline.
  void Wait(uint64_t deadline_ms, std::vector<InputEvent>& out) override;
  void Present(const Surface& framebuffer, const Rect& damage) override;
  void ShowCursor(const CursorImage* img, bool busy) override;
  void SetTitle(const std::string& title) override;
  Point PointerPos() override { return pointer_; }
  void Wake() override;
  // The page's console log.
  void WriteTrace(const std::string& line) override { std::printf("%s\n", line.c_str()); }

  // For the page's callbacks: input in physical canvas pixels.
  void Push(InputEvent e);
  Point Logical(double css_x, double css_y) const;
  ParentsGate gate;
  TouchGate touch_gate;
  long touch_id = -1;

 private:
  void Blit(const Surface& fb, const Rect& damage);

  RealClock clock_;
  std::unique_ptr<WebAudio> audio_;
  Size pixels_;       // the canvas
  Size size_;         // the logical screen
  Scaler scaler_;
  std::vector<uint32_t> plane_;  // the canvas's pixels, RGBA bytes
  std::deque<InputEvent> queue_;
  std::map<const CursorImage*, int> cursors_;  // the program's cursors, as the page knows them
  Point pointer_{-1, -1};
};

}  // namespace plat
