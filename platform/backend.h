// What a backend gives the runtime: input, waiting, presentation, cursors, the clock and the sound system.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/geometry.h"

namespace plat {

class Surface;
struct CursorImage;
class AudioSystem;

// Keys with a meaning of their own: the access modes move and choose with them, a kiosk's way out is a
// held Esc, and Parents is the parents' gate (the combination each backend maps to it). Characters
// still come as KeyChar.
enum class Key : uint8_t { None, Esc, Enter, Space, Tab, Left, Right, Up, Down, Parents };

struct InputEvent {
  enum class Kind {
    MouseMove,   // pos
    MouseDown,   // pos, button (0 left, 1 right, 2 middle)
    MouseUp,     // pos, button
    KeyChar,     // ch: a character as the program's key handler receives it (27 Esc, 13 Enter)
    Text,        // text: UTF-8 typed into the focused edit field
    DialogOk,    // confirm the open modal box
    DialogCancel,
    Activate,    // the application became active / inactive
    Deactivate,
    Quit,        // the window system asks the program to end (window closed)
    KeyDown,     // key went down (repeat: held down, the system repeating it)
    KeyUp,       // key was let go
    TouchDown,   // pos: a finger touched the screen
    TouchMove,   // pos: the finger moved
    TouchUp,     // pos: the finger left the screen
  };
  Kind kind = Kind::MouseMove;
  Point pos;  // screen coordinates
  int button = 0;
  unsigned ch = 0;
  std::string text;
  Key key = Key::None;
  bool repeat = false;
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual Clock& clock() = 0;
  virtual AudioSystem& audio() = 0;
  virtual Size ScreenSize() = 0;
  // Appends input that is waiting, without blocking.
  virtual void Poll(std::vector<InputEvent>& out) = 0;
  // Blocks until input arrives or the clock reaches deadline_ms (kNever: until input), then appends
  // the input. The headless backend moves its virtual clock instead of sleeping.
  virtual void Wait(uint64_t deadline_ms, std::vector<InputEvent>& out) = 0;
  // Shows the framebuffer; only `damage` (screen coordinates) has changed since the last call.
  virtual void Present(const Surface& framebuffer, const Rect& damage) = 0;
  // The cursor to show now; nullptr: the system's arrow (or the system's busy cursor when busy).
  virtual void ShowCursor(const CursorImage* img, bool busy) = 0;
  virtual void SetTitle(const std::string& title) = 0;
  // The window's icon (taskbar, window list); a backend without windows ignores it.
  virtual void SetIcon(const CursorImage& icon) {}
  // The pointer's position in screen coordinates.
  virtual Point PointerPos() = 0;
  // Ends a Wait in progress (or the next one) early; callable from any thread.
  virtual void Wake() {}
  // Kiosk: keys the desktop would take (Alt+Tab, Super, Alt+F4) come to the program instead while it
  // has the focus, where the window system allows it. A backend without a desktop ignores it.
  virtual void SetKeyboardGrab(bool on) {}
  // Brings the window to the front and restores it (a later launch of the game asked); any thread.
  virtual void Raise() {}
  // Where OZZEL_TRACE=1 sends the trace: stderr, unless the system's console is elsewhere.
  virtual void WriteTrace(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
  }
};

// The parents' gate: Ctrl+Shift+P, a combination a small child does not hold by chance. Its P going down
// with both held is Key::Parents, and so is the release of that P whatever is still held.
// The same gate where a touch screen is the only input: a finger held in each of two opposite corners of
// the screen, which one small hand does not span. Both down is Key::Parents going down, either lifted
// its release; the game then asks for the same 3 s hold as for the keys.
class TouchGate {
 public:
  // A finger's change at its logical point; returns +1 for the gate's press, -1 for its release, else 0.
  int Touch(long finger, Point at, bool down, Size screen) {
    const int side = std::min(screen.w, screen.h) / 5;
    const bool left = at.x < side, right = at.x >= screen.w - side, top = at.y < side, bottom = at.y >= screen.h - side;
    const int corner = top && left ? 1 : top && right ? 2 : bottom && right ? 4 : bottom && left ? 8 : 0;
    corners_.erase(finger);
    if (down && corner) corners_[finger] = corner;
    int held = 0;
    for (const auto& [f, c] : corners_) held |= c;
    const bool open = (held & 5) == 5 || (held & 10) == 10;
    if (open == open_) return 0;
    open_ = open;
    return open ? 1 : -1;
  }

 private:
  std::map<long, int> corners_;  // finger -> the corner it is in (1 top left, 2 top right, 4, 8 clockwise)
  bool open_ = false;
};

class ParentsGate {
 public:
  // `key` as the backend named it; the P key's press or release with the modifiers then held.
  Key Filter(Key key, bool is_p, bool down, bool ctrl, bool shift) {
    if (!is_p) return key;
    if (down && ctrl && shift) return held_ = true, Key::Parents;
    if (!down && held_) return held_ = false, Key::Parents;
    return key;
  }

 private:
  bool held_ = false;
};

}  // namespace plat
