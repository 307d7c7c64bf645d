// Headless backend: input comes from Inject or the OnIdle hook, and waiting moves the virtual clock.
#include "platform/headless/headless.h"

#include <stdexcept>

#include "platform/headless/headless_audio.h"

namespace plat {

HeadlessBackend::HeadlessBackend(Size screen, bool sound_device)
    : screen_(screen), audio_(std::make_unique<HeadlessAudio>(clock_, sound_device)) {}

HeadlessBackend::~HeadlessBackend() = default;

AudioSystem& HeadlessBackend::audio() { return *audio_; }

void HeadlessBackend::Inject(InputEvent e) { injected_.push_back(std::move(e)); }

void HeadlessBackend::Poll(std::vector<InputEvent>& out) {
  while (!injected_.empty()) {
    InputEvent& e = injected_.front();
    if (e.kind == InputEvent::Kind::MouseMove || e.kind == InputEvent::Kind::MouseDown ||
        e.kind == InputEvent::Kind::MouseUp)
      pointer_ = e.pos;
    out.push_back(std::move(e));
    injected_.pop_front();
  }
}

void HeadlessBackend::Wait(uint64_t deadline_ms, std::vector<InputEvent>& out) {
  if (injected_.empty() && clock_.NowMs() < deadline_ms) {
    uint64_t before = clock_.NowMs();
    if (OnIdle) OnIdle(deadline_ms);
    if (injected_.empty() && clock_.NowMs() == before && !woken_.exchange(false)) {
      if (deadline_ms == kNever) throw std::logic_error("headless wait with nothing that could end it");
      clock_.AdvanceTo(deadline_ms);
    }
  }
  Poll(out);
}

void HeadlessBackend::Wake() {
  woken_ = true;
  if (OnWake) OnWake();
}

void HeadlessBackend::Present(const Surface&, const Rect& damage) {
  ++presents_;
  last_damage_ = damage;
}

void HeadlessBackend::ShowCursor(const CursorImage* img, bool busy) {
  cursor_ = img;
  busy_ = busy;
}

}  // namespace plat
