// Control base: property changes with their trace lines, coordinates and default mouse handling.
#include "platform/ui/control.h"

#include "platform/trace.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"

namespace plat {

Control::Control(Form& form, std::string name) : form_(form), name_(std::move(name)) {}

Control::~Control() {
  if (HasApp() && &App() == &form_.app()) form_.app().ForgetControl(this);
}

bool Control::Loading() const { return form_.Loading(); }

void Control::SetBounds(int left, int top, int w, int h) {
  Rect nb{left, top, w, h};
  if (nb == bounds_) return;
  if (visible_) form_.Invalidate(bounds_);
  bounds_ = nb;
  if (visible_) form_.Invalidate(bounds_);
  if (!Loading())
    trace::Emit("bounds", name_ + " " + std::to_string(left) + " " + std::to_string(top) + " " +
                              std::to_string(w) + " " + std::to_string(h));
}

void Control::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  form_.Invalidate(bounds_);
  if (!Loading()) trace::Emit(v ? "show" : "hide", name_);
  form_.app().UpdateCursor();
}

void Control::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Invalidate();
}

void Control::SetCursor(int slot) {
  if (slot == cursor_) return;
  cursor_ = slot;
  if (!Loading()) trace::Emit("cursor", name_ + " " + std::to_string(slot));
  form_.app().UpdateCursor();
}

void Control::Invalidate() {
  if (visible_) form_.Invalidate(bounds_);
}

Point Control::ClientToScreen(Point p) const {
  Rect f = form_.Bounds();
  return {p.x + f.left + bounds_.left, p.y + f.top + bounds_.top};
}

Point Control::ScreenToClient(Point p) const {
  Rect f = form_.Bounds();
  return {p.x - f.left - bounds_.left, p.y - f.top - bounds_.top};
}

void Control::MouseDown(MouseButton b, ShiftState s, int x, int y) {
  if (b == MouseButton::Left) pressed_left_ = true;
  if (OnMouseDown) OnMouseDown(*this, b, s, x, y);
}

void Control::MouseUp(MouseButton b, ShiftState s, int x, int y) {
  if (b == MouseButton::Left && pressed_left_) {
    pressed_left_ = false;
    if (ClientRect().contains({x, y})) Click();
  }
  if (OnMouseUp) OnMouseUp(*this, b, s, x, y);
}

void Control::MouseMove(ShiftState s, int x, int y) {
  if (OnMouseMove) OnMouseMove(*this, s, x, y);
}

void Control::Click() {
  if (OnClick) OnClick(*this);
}

}  // namespace plat
