// The base of every control on a form: bounds, visibility, cursor, tag, and mouse events.
#pragma once
#include <functional>
#include <string>

#include "platform/geometry.h"
#include "platform/gdi/canvas.h"

namespace plat {

class Form;
class Application;

enum class MouseButton { Left, Right, Middle };

// Shift state bits, as the program's mouse events receive them.
enum : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using ShiftState = unsigned;

// Cursor slots of the screen's cursor table.
enum : int { crDefault = 0, crArrow = -2, crHourGlass = -11, crHand = 7 };

using NotifyEvent = std::function<void(class Control& sender)>;
using MouseEvent = std::function<void(Control& sender, MouseButton, ShiftState, int x, int y)>;
using MouseMoveEvent = std::function<void(Control& sender, ShiftState, int x, int y)>;

class Control {
 public:
  Control(Form& form, std::string name);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  Form& form() const { return form_; }

  // Windowed controls lie above every graphic control of their form.
  virtual bool Windowed() const { return false; }

  Rect Bounds() const { return bounds_; }
  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.w; }
  int Height() const { return bounds_.h; }
  void SetBounds(int left, int top, int w, int h);  // traces "bounds NAME X Y W H"
  void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
  void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
  void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
  void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
  Rect ClientRect() const { return {0, 0, bounds_.w, bounds_.h}; }

  bool Visible() const { return visible_; }
  void SetVisible(bool v);  // traces "show NAME" / "hide NAME"
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }

  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool v);

  int Cursor() const { return cursor_; }
  void SetCursor(int slot);  // traces "cursor NAME SLOT"

  int Tag = 0;

  // Repaints the control's rectangle at the next presentation.
  void Invalidate();
  // Control coordinates → screen coordinates.
  Point ClientToScreen(Point p) const;
  Point ScreenToClient(Point p) const;

  NotifyEvent OnClick;
  MouseEvent OnMouseDown, OnMouseUp;
  MouseMoveEvent OnMouseMove;

  // Input, called by the form's dispatcher with control coordinates. The defaults fire the events
  // above; a left release inside after a left press on the control fires Click().
  virtual void MouseDown(MouseButton b, ShiftState s, int x, int y);
  virtual void MouseUp(MouseButton b, ShiftState s, int x, int y);
  virtual void MouseMove(ShiftState s, int x, int y);
  virtual void Click();
  // The topmost control under the pointer is no longer this one.
  virtual void MouseLeave() {}
  // The mouse capture was taken away (for example by a modal box) while a button was held.
  virtual void CaptureLost() { pressed_left_ = false; }
  // Draws the control; the canvas origin is the control's top-left corner, clipped to its bounds.
  virtual void Paint(Canvas& c) {}
  // True when the control covers its whole rectangle (nothing under it needs drawing).
  virtual bool Opaque() const { return false; }

  // While a form is being built from its layout, property changes are not traced.
  bool Loading() const;

 protected:
  bool pressed_left_ = false;  // left press on this control not yet released

 private:
  Form& form_;
  std::string name_;
  Rect bounds_;
  bool visible_ = true;
  bool enabled_ = true;
  int cursor_ = crDefault;
};

}  // namespace plat
