// Clip playback on the application clock: frame stepping by a timer, notifications through the queue.
#include "platform/animate/animate.h"

#include <algorithm>
#include <cstring>

#include "platform/fs/fs.h"
#include "platform/trace.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"

namespace plat {

AnimateControl::AnimateControl(Form& form, std::string name)
    : Control(form, std::move(name)), alive_(std::make_shared<bool>(true)) {}

AnimateControl::~AnimateControl() {
  *alive_ = false;
  timer_.reset();
}

void AnimateControl::Notify(bool start) {
  // Posted, as the system control reports from its own thread; a control destroyed meanwhile is skipped.
  std::weak_ptr<bool> alive = alive_;
  form().app().Post([this, alive, start] {
    auto a = alive.lock();
    if (!a || !*a) return;
    auto& fn = start ? OnStartNotify : OnStopNotify;
    if (fn) fn();
  });
}

void AnimateControl::Halt(const char* why) {
  if (!playing_) return;
  playing_ = false;
  if (timer_) timer_->SetEnabled(false);
  trace::Emit(why);
  Notify(false);
}

bool AnimateControl::OpenClip(const std::string& dos_path) {
  CloseClip();
  if (dos_path.empty()) return false;
  auto bytes = fs::ReadFile(fs::HostPath(dos_path));
  std::optional<AviClip> clip;
  if (bytes) clip = ParseAvi(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size(), &error_);
  else error_ = "cannot read file";
  if (!clip) {
    trace::Emit("anim open-fail", dos_path);
    return false;
  }
  trace::Emit("anim open", dos_path);
  clip_ = std::make_unique<AviClip>(std::move(*clip));
  frame_ = 0;
  Invalidate();
  return true;
}

void AnimateControl::CloseClip() {
  if (!clip_) return;
  Halt("anim stop");
  clip_.reset();
  frame_ = 0;
  Invalidate();
}

uint32_t AnimateControl::FrameIntervalMs() const {
  uint32_t ms = clip_ ? (clip_->usec_per_frame + 500) / 1000 : 0;
  return std::max<uint32_t>(ms, 10);
}

bool AnimateControl::PlayRange(int first, int last, int repeat) {
  if (!clip_) return false;
  int count = int(clip_->frames.size());
  if (first < 0 || last < first || last >= count || repeat == 0 || repeat < -1) return false;
  Halt("anim stop");
  frame_ = first;
  Invalidate();
  if (first == last && repeat == 1) return true;  // a seek: show the frame, no playback
  first_ = first;
  last_ = last;
  repeat_ = repeat;
  if (!timer_) timer_ = std::make_unique<Timer>(form().app(), "", FrameIntervalMs(), false,
                                                [this](Timer& t) { Step(t); });
  timer_->SetInterval(FrameIntervalMs());
  timer_->SetEnabled(true);
  playing_ = true;
  trace::Emit("anim play");
  Notify(true);
  return true;
}

namespace {

// Where two frames differ (frame coordinates); all of `to` when their sizes differ.
Rect ChangedArea(const Bitmap& from, const Bitmap& to) {
  const int w = to.width(), h = to.height();
  if (from.width() != w || from.height() != h) return {0, 0, w, h};
  int left = w, right = -1, top = h, bottom = -1;
  for (int y = 0; y < h; ++y) {
    const uint32_t* a = from.row(y);
    const uint32_t* b = to.row(y);
    if (std::memcmp(a, b, size_t(w) * 4) == 0) continue;
    top = std::min(top, y);
    bottom = y;
    int x = 0;
    while (a[x] == b[x]) ++x;
    left = std::min(left, x);
    x = w - 1;
    while (a[x] == b[x]) --x;
    right = std::max(right, x);
  }
  return bottom < 0 ? Rect{} : Rect{left, top, right - left + 1, bottom - top + 1};
}

}  // namespace

Point AnimateControl::FrameOrigin(const Bitmap& f) const {
  if (!Center) return {0, 0};
  return {(Width() - f.width()) / 2, (Height() - f.height()) / 2};
}

void AnimateControl::Step(Timer&) {
  if (!playing_ || !clip_) return;
  const int shown = frame_;
  if (frame_ < last_) {
    ++frame_;
  } else if (repeat_ == -1 || repeat_ > 1) {
    if (repeat_ > 1) --repeat_;
    frame_ = first_;
  } else {
    Halt("anim end");  // the last frame stays on screen
    return;
  }
  // Only what changed: a talking face moves its lips, and on a scaled screen every pixel is k².
  const auto& frames = clip_->frames;
  const int n = int(frames.size());
  const Bitmap& now = frames[size_t(std::clamp(frame_, 0, n - 1))];
  const Rect changed = ChangedArea(frames[size_t(std::clamp(shown, 0, n - 1))], now);
  const Point at = FrameOrigin(now);
  const Rect part = changed.offset(at.x, at.y).intersect({0, 0, Width(), Height()});
  if (Visible() && !part.empty()) form().Invalidate(part.offset(Left(), Top()));
}

void AnimateControl::Paint(Canvas& c) {
  c.Fill(ClientRect(), Color);
  if (!clip_ || clip_->frames.empty()) return;
  const Bitmap& f = clip_->frames[size_t(std::clamp<int>(frame_, 0, int(clip_->frames.size()) - 1))];
  const Point at = FrameOrigin(f);
  if (TransparentBackground) {
    auto key = clip_->frames[0].PixelAt(0, 0);
    c.DrawKeyed(f, at.x, at.y, key.value_or(Rgb{}));
  } else {
    c.Draw(f, at.x, at.y);
  }
}

}  // namespace plat
