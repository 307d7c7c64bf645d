// The message queue, timer scheduling, input dispatch, modal boxes and screen composition.
#include "platform/ui/application.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/os.h"
#include "platform/trace.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/control.h"
#include "platform/ui/form.h"
#include "platform/ui/timer.h"

namespace plat {

namespace {

// OZZEL_REPORT_FIRST_FRAME=1: "first-frame MS cpu CPU_MS" on stderr after the first presentation (the
// waiting screen's or the game's), MS from the process's start; the rest of MS beyond CPU_MS is waiting,
// for the display server among others.
void ReportFirstFrame() {
  static bool done = false;
  if (done) return;
  done = true;
  const char* on = std::getenv("OZZEL_REPORT_FIRST_FRAME");
  if (!on || std::strcmp(on, "1") != 0) return;
  double age = -1, cpu = 0;
  os::ProcessTimes(age, cpu);
  std::fprintf(stderr, "first-frame %.1f cpu %.1f\n", age, cpu);
}

}  // namespace

namespace {
Application* g_app = nullptr;

unsigned ButtonBit(int button) {
  switch (button) {
    case 1: return ssRight;
    case 2: return ssMiddle;
    default: return ssLeft;
  }
}

MouseButton ButtonOf(int button) {
  switch (button) {
    case 1: return MouseButton::Right;
    case 2: return MouseButton::Middle;
    default: return MouseButton::Left;
  }
}
}  // namespace

Application& App() {
  if (!g_app) throw std::logic_error("no application object");
  return *g_app;
}

bool HasApp() { return g_app != nullptr; }

Application::Application(Backend& backend) : backend_(backend), screen_(*this) {
  // OZZEL_WAKE_EVERY_TICK=1: every timer wakes the loop, idle or not (to compare traces and wakes).
  const char* every = std::getenv("OZZEL_WAKE_EVERY_TICK");
  wake_every_tick_ = every && std::strcmp(every, "1") == 0;
  Size s = backend_.ScreenSize();
  framebuffer_.Resize(s.w, s.h);
  g_app = this;
}

Application::~Application() {
  DestroyForms();
  if (g_app == this) g_app = nullptr;
}

void Application::SetTitle(const std::string& t) {
  title_ = t;
  backend_.SetTitle(t);
}

// ---- forms ----

void Application::AddForm(Form* f) {
  if (std::find(forms_.begin(), forms_.end(), f) == forms_.end()) forms_.push_back(f);
}

void Application::RemoveForm(Form* f) {
  auto it = std::find(forms_.begin(), forms_.end(), f);
  if (it == forms_.end()) return;
  forms_.erase(it);
  if (main_form_ == f) main_form_ = nullptr;
  if (capture_ && &capture_->form() == f) capture_ = nullptr;
  if (hover_ && &hover_->form() == f) hover_ = nullptr;
  if (f->Visible()) InvalidateScreen(f->Bounds());
}

Form& Application::Adopt(std::unique_ptr<Form> f) {
  Form& ref = *f;
  owned_.push_back(std::move(f));
  return ref;
}

bool Application::Owns(const Form* f) const {
  return std::any_of(owned_.begin(), owned_.end(), [f](const auto& p) { return p.get() == f; });
}

void Application::DestroyOwned(Form* f) {
  auto it = std::find_if(owned_.begin(), owned_.end(), [f](const auto& p) { return p.get() == f; });
  if (it == owned_.end()) return;
  // Take it out first: its destructor may pump and look at the list.
  std::unique_ptr<Form> doomed = std::move(*it);
  owned_.erase(it);
  doomed.reset();
}

void Application::DestroyForms() {
  while (!owned_.empty()) {
    std::unique_ptr<Form> doomed = std::move(owned_.back());
    owned_.pop_back();
    doomed.reset();
  }
}

// ---- the queue ----

void Application::Post(std::function<void()> fn) { queue_.push_back(std::move(fn)); }

void Application::FetchInput() {
  incoming_.clear();
  backend_.Poll(incoming_);
  for (auto& e : incoming_) queue_.push_back([this, e] { Dispatch(e); });
  incoming_.clear();
}

void Application::RegisterTimer(Timer* t) { timers_.push_back(t); }

void Application::UnregisterTimer(Timer* t) {
  timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end());
}

Timer* Application::DueTimer(const std::vector<Timer*>& skip) const {
  uint64_t now = backend_.clock().NowMs();
  Timer* best = nullptr;
  for (Timer* t : timers_) {
    if (!t->Enabled() || t->Interval() == 0 || t->due() > now) continue;
    if (std::find(skip.begin(), skip.end(), t) != skip.end()) continue;
    if (!best || t->due() < best->due() || (t->due() == best->due() && t->serial() < best->serial()))
      best = t;
  }
  return best;
}

// Every handler is dispatched through here. An exception that escapes one is shown in the standard
// error box and the loop goes on; it never unwinds through the wait loop that happened to pump.
template <class Fn>
void Application::Barrier(Fn&& fn) {
  std::string what;
  try {
    fn();
    return;
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
    what = "Unknown exception";
  }
  MessageBox(what, BoxKind::Exception);
}

void Application::ProcessMessages() {
  FetchInput();
  // Each timer ticks at most once per call, so a slow handler under the real clock cannot keep
  // this loop going; a nested call is a new round and may tick it again.
  std::vector<Timer*> fired;
  for (;;) {
    if (!queue_.empty()) {
      auto fn = std::move(queue_.front());
      queue_.pop_front();
      Barrier(fn);
      continue;
    }
    Timer* t = DueTimer(fired);
    if (!t) break;
    fired.push_back(t);
    Barrier([t] { t->Fire(); });
  }
}

void Application::AddWakeSource(std::function<uint64_t()> next_change, std::function<void()> on_wake) {
  wake_.push_back({std::move(next_change), std::move(on_wake)});
}

void Application::WaitForNext(uint64_t cap) {
  PresentNow();
  UpdateCursor();
  // A timer idle now stays idle until something runs, and everything that runs wakes this loop
  // (input, a sound ending, another timer): its ticks until then change nothing and need no wake.
  std::vector<Timer*> idle;
  uint64_t deadline = cap;
  for (Timer* t : timers_) {
    if (!t->Enabled() || t->Interval() == 0) continue;
    if (!wake_every_tick_ && t->Idle && t->Idle(*t))
      idle.push_back(t);
    else
      deadline = std::min(deadline, t->due());
  }
  for (auto& w : wake_)
    if (w.next) deadline = std::min(deadline, w.next());
  incoming_.clear();
  backend_.Wait(deadline, incoming_);
  // Input comes after the ticks due at its moment (a script's input arrives once the wait is over);
  // ticks due at the moment of any other wake fire now, in order with the rest.
  const uint64_t now = Now();
  const bool input = !incoming_.empty();
  for (Timer* t : idle)
    if (std::find(timers_.begin(), timers_.end(), t) != timers_.end()) t->PassTicks(now, input);
  for (auto& e : incoming_) queue_.push_back([this, e] { Dispatch(e); });
  incoming_.clear();
  // Copy: an on_wake handler may add sources.
  auto sources = wake_;
  for (auto& w : sources)
    if (w.on_wake) Barrier(w.on_wake);
}

void Application::PumpLoop(const std::function<bool()>& cond, uint64_t cap) {
  for (;;) {
    ProcessMessages();
    if (!cond()) break;
    WaitForNext(cap);
  }
}

void Application::PumpWhile(const std::function<bool()>& cond) { PumpLoop(cond, kNever); }

void Application::Run() {
  // The pointer may rest over the window before it ever moves.
  if (pointer_ == Point{-1, -1}) pointer_ = backend_.PointerPos();
  if (main_form_) {
    Rect b = main_form_->Bounds();
    main_form_->SetBounds((screen_.Width() - b.w) / 2, (screen_.Height() - b.h) / 2, b.w, b.h);
    main_form_->Show();
    if (quit_pending_) Post([this] {
        if (main_form_ && !terminated_) main_form_->Close();
      });
  }
  PumpWhile([this] { return !terminated_; });
}

void Application::RunFor(uint64_t ms) {
  uint64_t end = Now() + ms;
  PumpLoop([this, end] { return !terminated_ && Now() < end; }, end);
  PresentNow();
}

// ---- input ----

Form* Application::FormAt(Point p) const {
  for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
    if ((*it)->Visible() && (*it)->Bounds().contains(p)) return *it;
  return nullptr;
}

Form* Application::FocusForm() const {
  for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
    if ((*it)->Visible() && (*it)->Enabled()) return *it;
  return nullptr;
}

Control* Application::ControlAtScreen(Point p) const {
  Form* f = FormAt(p);
  if (!f) return nullptr;
  return f->ControlAt({p.x - f->Bounds().left, p.y - f->Bounds().top});
}

void Application::SetCapture(Control* c) { capture_ = c; }
void Application::ReleaseCapture() { capture_ = nullptr; }

int Application::AddMouseMoveHook(std::function<void(Point)> fn) {
  move_hooks_.emplace_back(next_hook_, std::move(fn));
  return next_hook_++;
}

int Application::AddDeactivateHook(std::function<void()> fn) {
  deactivate_hooks_.emplace_back(next_hook_, std::move(fn));
  return next_hook_++;
}

int Application::AddKeyHook(std::function<void(const InputEvent&)> fn) {
  key_hooks_.emplace_back(next_hook_, std::move(fn));
  return next_hook_++;
}

void Application::RemoveHook(int id) {
  std::erase_if(key_hooks_, [id](const auto& h) { return h.first == id; });
  std::erase_if(move_hooks_, [id](const auto& h) { return h.first == id; });
  std::erase_if(deactivate_hooks_, [id](const auto& h) { return h.first == id; });
}

void Application::ForgetControl(Control* c) {
  if (capture_ == c) capture_ = nullptr;
  if (hover_ == c) hover_ = nullptr;
}

void Application::TrackHover(Point p) {
  Form* f = FormAt(p);
  Control* now = nullptr;
  if (f && f->Enabled() && !ActiveModal()) now = f->ControlAt({p.x - f->Bounds().left, p.y - f->Bounds().top});
  if (now == hover_) return;
  Control* old = hover_;
  hover_ = now;
  if (old) old->MouseLeave();
}

void Application::PointerGone() {
  pointer_ = {-1, -1};
  TrackHover(pointer_);
  auto hooks = move_hooks_;
  for (auto& h : hooks) h.second(pointer_);
  UpdateCursor();
}

void Application::DispatchMouse(const InputEvent& e) {
  using K = InputEvent::Kind;
  // A press or release somewhere else than the pointer is implies the move that got it there.
  if (e.kind != K::MouseMove && e.pos != pointer_) {
    InputEvent move = e;
    move.kind = K::MouseMove;
    DispatchMouse(move);
  }
  if (e.kind == K::MouseMove) pointer_ = e.pos;

  if (Modal* m = ActiveModal()) {
    m->HandleInput(e);
    if (e.kind == K::MouseMove) UpdateCursor();
    return;
  }

  unsigned bit = ButtonBit(e.button);
  if (e.kind == K::MouseDown) buttons_ |= bit;

  Control* target = capture_;
  if (!target) {
    Form* f = FormAt(e.pos);
    if (f && f->Enabled()) target = f->ControlAt({e.pos.x - f->Bounds().left, e.pos.y - f->Bounds().top});
  }
  if (target && !target->Enabled()) target = nullptr;

  if (e.kind == K::MouseUp) {
    buttons_ &= ~bit;
    if (capture_ && buttons_ == 0) capture_ = nullptr;
  } else if (e.kind == K::MouseDown && target) {
    capture_ = target;
  }

  if (target) {
    Point c = target->ScreenToClient(e.pos);
    ShiftState s = buttons_;
    switch (e.kind) {
      case K::MouseMove: target->MouseMove(s, c.x, c.y); break;
      case K::MouseDown: target->MouseDown(ButtonOf(e.button), s, c.x, c.y); break;
      case K::MouseUp: target->MouseUp(ButtonOf(e.button), s, c.x, c.y); break;
      default: break;
    }
  }

  if (e.kind == K::MouseMove) {
    TrackHover(pointer_);
    auto hooks = move_hooks_;
    for (auto& h : hooks) h.second(pointer_);
    UpdateCursor();
  }
}

void Application::Dispatch(const InputEvent& e) {
  using K = InputEvent::Kind;
  if (e.kind == K::TouchDown || e.kind == K::TouchMove || e.kind == K::TouchUp) {
    // A tap is a click where the finger is; when the finger lifts nothing stays hovered, since no
    // pointer is left resting there.
    InputEvent m = e;
    m.button = 0;
    m.kind = K::MouseMove;
    if (e.kind != K::TouchUp) Dispatch(m);
    if (e.kind == K::TouchMove) return;
    m.kind = e.kind == K::TouchDown ? K::MouseDown : K::MouseUp;
    Dispatch(m);
    if (e.kind == K::TouchUp && !terminated_) PointerGone();
    return;
  }
  if ((e.kind == K::KeyDown || e.kind == K::KeyUp) && !ActiveModal()) {
    auto hooks = key_hooks_;
    for (auto& h : hooks) h.second(e);
  }
  if (filter_ && filter_(e)) return;
  switch (e.kind) {
    case K::MouseMove:
    case K::MouseDown:
    case K::MouseUp:
      DispatchMouse(e);
      break;
    case K::KeyChar:
    case K::Text:
    case K::DialogOk:
    case K::DialogCancel:
      if (Modal* m = ActiveModal()) {
        m->HandleInput(e);
      } else if (e.kind == K::KeyChar) {
        // No control of ours takes the keyboard focus, so the focused form's key handler sees every key.
        Form* f = FocusForm();
        if (f && f->OnKeyPress) {
          char ch = char(e.ch);
          f->OnKeyPress(ch);
        }
      }
      break;
    case K::KeyDown:
    case K::KeyUp:
    case K::TouchDown:
    case K::TouchMove:
    case K::TouchUp:
      break;  // only the input filter has a use for them
    case K::Activate:
      active_ = true;
      break;
    case K::Deactivate: {
      active_ = false;
      auto hooks = deactivate_hooks_;
      for (auto& h : hooks) h.second();
      break;
    }
    case K::Quit:
      if (terminated_) break;
      // From now on every box is answered at once (RunModal); the main form closes when no box is
      // open, or as soon as the message loop starts when the request comes during start-up.
      quit_pending_ = true;
      if (!modal_.empty()) {
        // Every open box, also one under a box that a timer opened meanwhile: the lower one's
        // loop would otherwise wait for an answer nobody is asked for any more.
        InputEvent cancel;
        cancel.kind = K::DialogCancel;
        auto open = modal_;
        for (Modal* m : open) m->HandleInput(cancel);
      } else if (main_form_) {
        main_form_->Close();
      }
      break;
  }
}

// ---- modal boxes ----

void Application::RunModal(Modal& m) {
  if (capture_) {
    Control* c = capture_;
    capture_ = nullptr;
    c->CaptureLost();
  }
  buttons_ = 0;
  if (hover_) {
    Control* old = hover_;
    hover_ = nullptr;
    old->MouseLeave();
  }
  modal_.push_back(&m);
  Rect r = m.ScreenRect();
  InvalidateScreen(r);
  UpdateCursor();
  struct Pop {
    Application* a;
    Modal* m;
    Rect r;
    ~Pop() {
      auto it = std::find(a->modal_.begin(), a->modal_.end(), m);
      if (it != a->modal_.end()) a->modal_.erase(it);
      a->InvalidateScreen(r);
    }
  } pop{this, &m, r};
  if (quit_pending_) {
    // The user already asked to end the program: a box that opens now is answered at once.
    InputEvent cancel;
    cancel.kind = InputEvent::Kind::DialogCancel;
    m.HandleInput(cancel);
  }
  PumpWhile([&m] { return !m.Done(); });
  if (modal_.size() == 1 && quit_pending_) {
    Post([this] {
      if (!ActiveModal() && !terminated_ && main_form_) main_form_->Close();
    });
  }
}

// ---- painting ----

void Application::InvalidateScreen(const Rect& r) {
  Rect s = r.intersect({0, 0, framebuffer_.width(), framebuffer_.height()});
  if (s.empty()) return;
  // Overlapping areas become one, until nothing the grown area overlaps is left.
  for (size_t i = 0; i < damage_.size();) {
    if (!damage_[i].intersect(s).empty()) {
      s = s.unite(damage_[i]);
      damage_.erase(damage_.begin() + long(i));
      i = 0;
    } else {
      ++i;
    }
  }
  damage_.push_back(s);
  constexpr size_t kMaxAreas = 8;  // beyond that, one covering area is cheaper than many
  if (damage_.size() > kMaxAreas) {
    Rect all;
    for (const Rect& d : damage_) all = all.unite(d);
    damage_.assign(1, all);
  }
}

void Application::Compose(const Rect& r) {
  Canvas c(framebuffer_);
  c.SetOriginClip({0, 0}, r);
  c.Fill(r, kBlack);
  for (Form* f : forms_) {
    if (!f->Visible()) continue;
    Rect b = f->Bounds();
    Rect part = b.intersect(r);
    if (part.empty()) continue;
    c.SetOriginClip({b.left, b.top}, part);
    f->PaintTo(c, part.offset(-b.left, -b.top));
  }
  for (Modal* m : modal_) {
    Rect b = m->ScreenRect();
    Rect part = b.intersect(r);
    if (part.empty()) continue;
    c.SetOriginClip({b.left, b.top}, part);
    m->Paint(c);
  }
  if (overlay_) {
    c.SetOriginClip({0, 0}, r);
    overlay_(c);
  }
}

void Application::PresentNow() {
  if (damage_.empty()) return;
  std::vector<Rect> areas;
  areas.swap(damage_);
  for (const Rect& d : areas) {
    Compose(d);
    backend_.Present(framebuffer_, d);
  }
  ReportFirstFrame();
}

const Surface& Application::ComposeAll() {
  damage_.clear();
  Rect all{0, 0, framebuffer_.width(), framebuffer_.height()};
  Compose(all);
  backend_.Present(framebuffer_, all);
  ReportFirstFrame();
  return framebuffer_;
}

void Application::UpdateCursor() {
  int slot = screen_.Cursor();
  if (slot == crDefault) {
    if (ActiveModal()) {
      slot = crArrow;
    } else {
      Control* c = capture_ ? capture_ : ControlAtScreen(pointer_);
      if (c && c->Cursor() != crDefault) {
        slot = c->Cursor();
      } else {
        Form* f = c ? &c->form() : FormAt(pointer_);
        slot = f ? f->Cursor : crDefault;
      }
    }
  }
  if (slot == crDefault) slot = crArrow;
  const CursorImage* img = screen_.CursorImageOf(slot);
  bool busy = slot == crHourGlass;
  if (cursor_known_ && img == shown_cursor_ && busy == shown_busy_) return;
  cursor_known_ = true;
  shown_cursor_ = img;
  shown_busy_ = busy;
  backend_.ShowCursor(img, busy);
}

}  // namespace plat
