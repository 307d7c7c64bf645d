// The application object: one UI thread, one message queue (input, posted messages, timers), the
// forms composited into the screen, modal boxes, and the one pump-while-waiting helper.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/gdi/canvas.h"
#include "platform/ui/screen.h"

namespace plat {

class Form;
class Control;
class Timer;

// A modal box: while one is open, input reaches only it; timers keep ticking.
class Modal {
 public:
  virtual ~Modal() = default;
  virtual Rect ScreenRect() const = 0;
  virtual void Paint(Canvas& c) = 0;  // origin: the box's top-left corner
  virtual void HandleInput(const InputEvent& e) = 0;  // positions in screen coordinates
  virtual bool Done() const = 0;
  // What can be pressed in it, by name, in screen coordinates: a highlight or a switch chooses these
  // as a pointer would.
  struct Button {
    std::string name;
    Rect box;
  };
  virtual std::vector<Button> Buttons() const { return {}; }
};

class Application {
 public:
  explicit Application(Backend& backend);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  Backend& backend() { return backend_; }
  Clock& clock() { return backend_.clock(); }
  uint64_t Now() { return backend_.clock().NowMs(); }
  Screen& screen() { return screen_; }

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& t);

  // Forms in z-order, first = bottom. Forms register themselves when constructed.
  void AddForm(Form* f);
  void RemoveForm(Form* f);
  const std::vector<Form*>& Forms() const { return forms_; }
  Form* MainForm() const { return main_form_; }
  // The application owns the form from now on: it is destroyed on release or with the application
  // (DestroyForms), whichever comes first.
  Form& Adopt(std::unique_ptr<Form> f);
  template <class F, class... Args>
  F& CreateForm(Args&&... args) {
    return static_cast<F&>(Adopt(std::make_unique<F>(*this, std::forward<Args>(args)...)));
  }
  bool Owns(const Form* f) const;
  void DestroyOwned(Form* f);
  // Destroys the owned forms, last adopted first (the application's destructor does it too).
  void DestroyForms();
  void SetMainForm(Form* f) { main_form_ = f; }

  // Posted messages run in order with input, before timers.
  void Post(std::function<void()> fn);
  // Handles everything pending now (input, posted messages, then due timers) and returns; never blocks.
  void ProcessMessages();
  // The message loop: shows the main form centred, then pumps and waits until Terminate().
  void Run();
  // The pump-while-waiting helper: while cond() holds, handle pending messages, then sleep until the
  // next input, timer or sound change (under the virtual clock, time jumps there).
  void PumpWhile(const std::function<bool()>& cond);
  // Runs the loop for ms of clock time (tests, benchmarks).
  void RunFor(uint64_t ms);
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  // The user asked to end the program (the window closed, a kill); it ends once no box is open.
  bool QuitPending() const { return quit_pending_ || terminated_; }

  // Timers (used by Timer).
  void RegisterTimer(Timer* t);
  void UnregisterTimer(Timer* t);

  // Something besides timers and input that changes by itself (sound ends): when it changes next,
  // and what to run when the loop wakes.
  void AddWakeSource(std::function<uint64_t()> next_change, std::function<void()> on_wake);

  // Input.
  void Dispatch(const InputEvent& e);
  Point CursorPos() const { return pointer_; }
  // Topmost visible control of any form at a screen point (disabled controls and forms included).
  Control* ControlAtScreen(Point p) const;
  Control* Capture() const { return capture_; }
  void SetCapture(Control* c);
  void ReleaseCapture();
  bool Active() const { return active_; }
  // Application-wide notifications.
  int AddMouseMoveHook(std::function<void(Point screen)> fn);
  int AddDeactivateHook(std::function<void()> fn);
  // Sees every key going down or up, before the input filter and only while no box is open; it
  // observes and cannot take the key (the parents' gate).
  int AddKeyHook(std::function<void(const InputEvent&)> fn);
  void RemoveHook(int id);
  // A control or form is going away: forget pointers to it.
  void ForgetControl(Control* c);
  // Sees every input event before the forms and boxes do (ActiveModal tells whether a box is open);
  // true takes the event away from them. Touch arrives here already as the mouse events it stands for.
  void SetInputFilter(std::function<bool(const InputEvent&)> filter) { filter_ = std::move(filter); }
  // Drawn over the forms and the boxes (screen coordinates, clipped to the area being composed);
  // whoever changes what it draws invalidates that area.
  void SetOverlay(std::function<void(Canvas&)> paint) { overlay_ = std::move(paint); }

  // Modal boxes.
  void RunModal(Modal& m);
  Modal* ActiveModal() const { return modal_.empty() ? nullptr : modal_.back(); }

  // Painting: composes damaged screen regions and presents them.
  void InvalidateScreen(const Rect& r);
  void PresentNow();
  const Surface& Framebuffer() const { return framebuffer_; }
  // Composes the whole screen afresh (screenshots).
  const Surface& ComposeAll();
  void UpdateCursor();

 private:
  void Compose(const Rect& r);
  template <class Fn>
  void Barrier(Fn&& fn);
  void PumpLoop(const std::function<bool()>& cond, uint64_t cap);
  void WaitForNext(uint64_t cap);
  Timer* DueTimer(const std::vector<Timer*>& skip) const;
  void FetchInput();
  void DispatchMouse(const InputEvent& e);
  void TrackHover(Point p);
  // A finger left the screen: no pointer rests anywhere now.
  void PointerGone();
  Form* FormAt(Point screen) const;
  Form* FocusForm() const;

  Backend& backend_;
  Screen screen_;
  std::string title_;
  std::vector<Form*> forms_;
  std::vector<std::unique_ptr<Form>> owned_;
  Form* main_form_ = nullptr;
  std::vector<InputEvent> incoming_;
  unsigned buttons_ = 0;  // ssLeft | ssRight | ssMiddle held
  bool quit_pending_ = false;
  std::deque<std::function<void()>> queue_;
  std::vector<Timer*> timers_;
  struct WakeSource {
    std::function<uint64_t()> next;
    std::function<void()> on_wake;
  };
  std::vector<WakeSource> wake_;
  std::vector<std::pair<int, std::function<void(Point)>>> move_hooks_;
  std::vector<std::pair<int, std::function<void()>>> deactivate_hooks_;
  std::vector<std::pair<int, std::function<void(const InputEvent&)>>> key_hooks_;
  std::function<bool(const InputEvent&)> filter_;
  std::function<void(Canvas&)> overlay_;
  int next_hook_ = 1;
  Point pointer_{-1, -1};
  Control* capture_ = nullptr;
  Control* hover_ = nullptr;  // topmost control under the pointer, for MouseLeave
  bool active_ = true;
  bool terminated_ = false;
  bool wake_every_tick_ = false;
  std::vector<Modal*> modal_;
  Surface framebuffer_;
  // Damaged screen areas, apart while they do not overlap: the four blinking scene buttons cost
  // their own pixels, not the strip between them (which a scaled screen pays k² times for).
  std::vector<Rect> damage_;
  const CursorImage* shown_cursor_ = nullptr;
  bool shown_busy_ = false;
  bool cursor_known_ = false;
};

// The process's application object (VCL's global Application), set by the constructor.
Application& App();
bool HasApp();

}  // namespace plat
