// A top-level window: borderless, with its controls in layout order, timers and form events.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/canvas.h"
#include "platform/ui/control.h"
#include "platform/ui/timer.h"

namespace plat {

class Application;

class Form {
 public:
  Form(Application& app, std::string name);
  virtual ~Form();  // runs OnDestroy
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  Application& app() const { return app_; }
  const std::string& Name() const { return name_; }

  std::string Caption;
  Rgb Color = kWindowBlue;
  bool KeyPreview = false;
  int Cursor = crDefault;  // crDefault shows the arrow
  FontSpec Font;

  // Screen position and client size.
  Rect Bounds() const { return bounds_; }
  void SetBounds(int left, int top, int w, int h);  // traces "bounds NAME ..." for the form
  int ClientWidth() const { return bounds_.w; }
  int ClientHeight() const { return bounds_.h; }

  bool Visible() const { return visible_; }
  void Show();  // traces "show NAME"
  void Hide();
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool e) { enabled_ = e; }

  // Controls, in layout order (first = bottom). The form owns them.
  template <class T, class... Args>
  T& Add(std::string name, Args&&... args) {
    auto c = std::make_unique<T>(*this, std::move(name), std::forward<Args>(args)...);
    T& ref = *c;
    controls_.push_back(std::move(c));
    return ref;
  }
  Timer& AddTimer(std::string name, uint32_t interval_ms, bool enabled, std::function<void(Timer&)> on_timer);
  Control* Find(const std::string& name) const;
  Timer* FindTimer(const std::string& name) const;
  const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }
  const std::vector<std::unique_ptr<Timer>>& Timers() const { return timers_; }

  // Topmost visible control at a client point: windowed controls first (last added on top), then
  // graphic controls (last added on top). Disabled controls count.
  Control* ControlAt(Point client) const;

  // Events.
  std::function<void()> OnCreate;
  std::function<void(bool& can_close)> OnCloseQuery;
  std::function<void()> OnDestroy;
  std::function<void(char& key)> OnKeyPress;

  // Asks the close query; when allowed, hides the form, and the main form's close ends the message loop.
  // A Close reached again from inside the close query (it pumps messages) does nothing.
  void Close();
  // Takes the form off the screen once the messages pending now have been handled: a posted message
  // hides it, unregisters it from the application and runs OnReleased; a form the application owns
  // (Application::Adopt) is then destroyed, any other stays alive for its owner to delete.
  void Release();
  bool Released() const { return released_; }
  std::function<void()> OnReleased;
  bool Loading() const { return loading_; }
  void SetLoading(bool l) { loading_ = l; }

  // Painting: marks a client rectangle for repaint; Repaint presents at once.
  void Invalidate(const Rect& client_rect);
  void Invalidate() { Invalidate({0, 0, bounds_.w, bounds_.h}); }
  void Repaint();
  // Draws the form's colour and its visible controls (graphic, then windowed) into c, limited to
  // client_clip. The canvas origin is the form's client origin.
  void PaintTo(Canvas& c, const Rect& client_clip);

 private:
  Application& app_;
  std::string name_;
  Rect bounds_;
  bool visible_ = false;
  bool enabled_ = true;
  bool loading_ = false;
  bool released_ = false;
  bool closing_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // lets posted messages see a deleted form
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<std::unique_ptr<Timer>> timers_;
};

}  // namespace plat
