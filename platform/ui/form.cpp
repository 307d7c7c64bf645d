// Top-level forms: registration, visibility, close and release, hit testing and painting.
#include "platform/ui/form.h"

#include "platform/trace.h"
#include "platform/ui/application.h"

namespace plat {

Form::Form(Application& app, std::string name) : app_(app), name_(std::move(name)) { app_.AddForm(this); }

Form::~Form() {
  *alive_ = false;
  if (OnDestroy) OnDestroy();
  if (HasApp() && &App() == &app_) app_.RemoveForm(this);
}

void Form::SetBounds(int left, int top, int w, int h) {
  Rect nb{left, top, w, h};
  if (nb == bounds_) return;
  Rect old = bounds_;
  bounds_ = nb;
  if (visible_ && !released_) {
    app_.InvalidateScreen(old);
    app_.InvalidateScreen(bounds_);
  }
  if (!loading_)
    trace::Emit("bounds", name_ + " " + std::to_string(left) + " " + std::to_string(top) + " " +
                              std::to_string(w) + " " + std::to_string(h));
}

void Form::Show() {
  if (visible_) return;
  visible_ = true;
  if (!released_) app_.InvalidateScreen(bounds_);
  if (!loading_) trace::Emit("show", name_);
  app_.UpdateCursor();
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  if (!released_) app_.InvalidateScreen(bounds_);
  if (!loading_) trace::Emit("hide", name_);
  app_.UpdateCursor();
}

Timer& Form::AddTimer(std::string name, uint32_t interval_ms, bool enabled, std::function<void(Timer&)> on_timer) {
  auto t = std::make_unique<Timer>(app_, std::move(name), interval_ms, enabled, std::move(on_timer));
  t->SetOwner(this);
  Timer& ref = *t;
  timers_.push_back(std::move(t));
  return ref;
}

Control* Form::Find(const std::string& name) const {
  for (auto& c : controls_)
    if (c->Name() == name) return c.get();
  return nullptr;
}

Timer* Form::FindTimer(const std::string& name) const {
  for (auto& t : timers_)
    if (t->Name() == name) return t.get();
  return nullptr;
}

Control* Form::ControlAt(Point p) const {
  for (bool windowed : {true, false})
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
      Control* c = it->get();
      if (c->Windowed() == windowed && c->Visible() && c->Bounds().contains(p)) return c;
    }
  return nullptr;
}

void Form::Close() {
  if (closing_) return;
  bool can_close = true;
  closing_ = true;
  try {
    if (OnCloseQuery) OnCloseQuery(can_close);
  } catch (...) {
    closing_ = false;
    throw;
  }
  closing_ = false;
  if (!can_close) return;
  // The main form stays on screen until it is destroyed; closing it ends the message loop.
  if (app_.MainForm() == this) {
    trace::Emit("close");
    app_.Terminate();
  } else {
    Hide();
  }
}

void Form::Release() {
  std::weak_ptr<bool> alive = alive_;
  app_.Post([this, alive] {
    auto a = alive.lock();
    if (!a || !*a || released_) return;
    Hide();
    released_ = true;
    app_.RemoveForm(this);
    if (OnReleased) OnReleased();
    app_.DestroyOwned(this);  // only if the application owns it
  });
}

void Form::Invalidate(const Rect& r) {
  if (!visible_ || released_) return;
  Rect part = r.intersect({0, 0, bounds_.w, bounds_.h});
  if (!part.empty()) app_.InvalidateScreen(part.offset(bounds_.left, bounds_.top));
}

void Form::Repaint() { app_.PresentNow(); }

void Form::PaintTo(Canvas& c, const Rect& clip) {
  c.Fill(clip, Color);
  Point origin = c.origin();
  Rect cclip = c.clip();
  for (bool windowed : {false, true})
    for (auto& ctl : controls_) {
      if (ctl->Windowed() != windowed || !ctl->Visible()) continue;
      if (ctl->Bounds().intersect(clip).empty()) continue;
      c.Enter(ctl->Bounds());
      ctl->Paint(c);
      c.SetOriginClip(origin, cclip);
    }
}

}  // namespace plat
