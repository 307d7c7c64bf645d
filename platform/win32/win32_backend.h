// The real backend on Windows: one borderless window over the screen, GDI presentation, window-message
// input, waits in MsgWaitForMultipleObjectsEx, our own cursors, and the MCI sound system.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/backend.h"
#include "platform/scale.h"

namespace plat {

class Win32Audio;

class Win32Backend : public Backend {
 public:
  // Opens the window: borderless over the primary monitor, or a plain window of the game in whole blocks when the
  // environment has OZZEL_WINDOWED=1. The logical screen is the window's pixels divided by the scale k
  // (OZZEL_SCALE whole blocks, else filling the height, as on Linux). Throws std::runtime_error when the window cannot be made
  // or OZZEL_SCALE is not a whole number >= 1.
  Win32Backend();
  ~Win32Backend() override;
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;

  Clock& clock() override { return clock_; }
  AudioSystem& audio() override;
  Size ScreenSize() override { return size_; }
  void Poll(std::vector<InputEvent>& out) override;
  // Sleeps in MsgWaitForMultipleObjectsEx until a message (input, an MCI notification) or the deadline.
  void Wait(uint64_t deadline_ms, std::vector<InputEvent>& out) override;
  void Present(const Surface& framebuffer, const Rect& damage) override;
  void ShowCursor(const CursorImage* img, bool busy) override;
  void SetTitle(const std::string& title) override;
  void SetIcon(const CursorImage& icon) override;
  Point PointerPos() override;
  // Posts a message to the window, which ends the wait; any thread.
  void Wake() override;
  void Raise() override;
  // Kiosk: a low-level keyboard hook keeps the Windows key, Alt+Tab, Alt+Esc, Ctrl+Esc and Alt+F4 from the
  // desktop while the game is in front.
  void SetKeyboardGrab(bool on) override;
  ScreenScale Scale() const { return scaler_.scale(); }
  // Which pointers are fingers: the system's answer, unless a test without a touch screen says it.
  static void SetTouchProbe(bool (*is_touch)(uint32_t pointer_id));
  HWND window() const { return hwnd_; }

 private:
  static LRESULT CALLBACK WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void Push(InputEvent::Kind k, Point pos = {}, int button = 0);
  Point Logical(LPARAM lp) const;
  void OnKey(UINT msg, WPARAM wp, LPARAM lp);
  bool OnTouch(UINT msg, WPARAM wp, LPARAM lp);
  void LoseFinger();

  RealClock clock_;
  HWND hwnd_ = nullptr;
  Size size_;           // the logical screen
  Size pixels_;         // the window's client area
  Scaler scaler_;       // logical pixels to physical ones, as on Linux
  HDC mem_dc_ = nullptr;
  HBITMAP dib_ = nullptr;
  HGDIOBJ old_bitmap_ = nullptr;
  uint8_t* bits_ = nullptr;  // the DIB section's pixels: top-down, 32 bits, pixels_.w * 4 a row
  std::vector<InputEvent> pending_;
  std::unique_ptr<Win32Audio> audio_;
  std::map<const CursorImage*, HCURSOR> cursors_;  // made k times larger
  HCURSOR cursor_ = nullptr;                      // shown over the client area
  HICON icon_big_ = nullptr, icon_small_ = nullptr;
  uint16_t high_surrogate_ = 0;
  ParentsGate gate_;
  TouchGate touch_gate_;
  int64_t finger_ = -1;          // the touch pointer that is the pointer (-1: none down)
  HHOOK keyboard_hook_ = nullptr;
  uint64_t hook_installed_ms_ = 0;  // when the kiosk's hook was last put in place
  // A shutdown or log-off: a window of its own thread holds the session's end until the program has
  // ended as a closed window ends it (the system may end the process once every window answered).
  HANDLE finished_ = nullptr;
  std::thread session_watch_;
  DWORD session_thread_ = 0;
};

// A colour cursor (or, with is_icon, an icon) from our ARGB picture; nullptr when it cannot be made.
HICON MakeIcon(const CursorImage& img, bool is_icon);

}  // namespace plat
