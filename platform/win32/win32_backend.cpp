// The Windows window: creation and scale, message translation, blocking waits, DIB-section presentation, cursors.
#include "platform/win32/win32_backend.h"

#include <windowsx.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/gdi/canvas.h"
#include "platform/ui/screen.h"
#include "platform/win32/dib.h"
#include "platform/win32/utf.h"
#include "platform/win32/win32_audio.h"

// After audio.h: the system headers define its SND_ names as macros (of the same values).
#include <timeapi.h>

namespace plat {

namespace {

constexpr wchar_t kClass[] = L"OzzelGameWindow";
constexpr UINT kWakeMessage = WM_APP + 1;
constexpr UINT kRaiseMessage = WM_APP + 2;

// Touch input arrives as pointer messages (Windows 8 and later); older headers lack the names.
#ifndef WM_POINTERDOWN
#define WM_POINTERUPDATE 0x0245
#define WM_POINTERDOWN 0x0246
#define WM_POINTERUP 0x0247
#define WM_POINTERCAPTURECHANGED 0x024C
#endif
constexpr DWORD kPointerCanceled = 0x8000;  // POINTER_MESSAGE_FLAG_CANCELED, in the high word of wParam
constexpr DWORD kPointerTypeTouch = 2;  // PT_TOUCH

bool (*g_touch_probe)(uint32_t) = nullptr;

// GetPointerType exists from Windows 8 on; without it no pointer message is a touch.
bool IsTouchPointer(uint32_t id) {
  if (g_touch_probe) return g_touch_probe(id);
  using Fn = BOOL(WINAPI*)(UINT32, DWORD*);
  static const Fn get = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetPointerType")));
  DWORD type = 0;
  return get && get(id, &type) && type == kPointerTypeTouch;
}

std::atomic<HWND> g_window{nullptr};  // the game's window, for a raise or a close asked from another thread
std::atomic<HWND> g_grab_window{nullptr};

bool Down(int vk) { return GetAsyncKeyState(vk) < 0; }

// The kiosk's hook: runs on the UI thread (it pumps messages), swallows what would leave the game.
LRESULT CALLBACK KioskKeys(int code, WPARAM wp, LPARAM lp) {
  HWND w = g_grab_window.load();
  if (code == HC_ACTION && w && GetForegroundWindow() == w) {
    const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
    // Not every system sets the flag (wine does not): the key state says it too.
    const bool alt = (k->flags & LLKHF_ALTDOWN) != 0 || Down(VK_MENU);
    const DWORD vk = k->vkCode;
    if (vk == VK_LWIN || vk == VK_RWIN || vk == VK_APPS || (alt && (vk == VK_TAB || vk == VK_ESCAPE || vk == VK_F4)) ||
        (vk == VK_ESCAPE && Down(VK_CONTROL)))
      return 1;
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

plat::Key NamedKey(WPARAM vk) {
  switch (vk) {
    case VK_ESCAPE: return plat::Key::Esc;
    case VK_RETURN: return plat::Key::Enter;
    case VK_SPACE: return plat::Key::Space;
    case VK_TAB: return plat::Key::Tab;
    case VK_LEFT: return plat::Key::Left;
    case VK_RIGHT: return plat::Key::Right;
    case VK_UP: return plat::Key::Up;
    case VK_DOWN: return plat::Key::Down;
    default: return plat::Key::None;
  }
}

constexpr uint64_t kHookRenewMs = 5000;

// How long a session's end waits for the program to finish: the system's own patience for a window.
constexpr DWORD kSessionEndWaitMs = 20000;

LRESULT CALLBACK SessionProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_QUERYENDSESSION) return TRUE;
  if (msg == WM_ENDSESSION) {
    if (wp) {
      // The close a parent's click on the window's X makes: boxes answered, counters and answers saved.
      if (HWND w = g_window.load()) PostMessageW(w, WM_CLOSE, 0, 0);
      WaitForSingleObject(reinterpret_cast<HANDLE>(GetWindowLongPtrW(h, GWLP_USERDATA)), kSessionEndWaitMs);
    }
    return 0;
  }
  return DefWindowProcW(h, msg, wp, lp);
}

// The watcher's thread: a hidden top-level window (the session's messages go to those only).
void WatchSession(HANDLE finished, HANDLE ready, DWORD* thread_id) {
  *thread_id = GetCurrentThreadId();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = SessionProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"OzzelSessionWatch";
  RegisterClassExW(&wc);
  HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           wc.hInstance, nullptr);
  if (w) SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(finished));
  MSG m;
  PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists before the owner may post
  SetEvent(ready);
  while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
  if (w) DestroyWindow(w);
}

}  // namespace

HICON MakeIcon(const CursorImage& img, bool is_icon) {
  if (img.w <= 0 || img.h <= 0 || img.argb.size() < size_t(img.w) * img.h) return nullptr;
  void* bits = nullptr;
  HBITMAP color = win32::MakeDib(nullptr, img.w, img.h, &bits);
  if (!color) return nullptr;
  std::memcpy(bits, img.argb.data(), size_t(img.w) * img.h * 4);  // BGRA in memory, straight alpha
  // The AND mask: set where the picture is transparent (systems that ignore the alpha channel use it).
  const int stride = ((img.w + 15) / 16) * 2;
  std::vector<uint8_t> mask(size_t(stride) * img.h, 0);
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x)
      if ((img.argb[size_t(y) * img.w + x] >> 24) < 128) mask[size_t(y) * stride + x / 8] |= uint8_t(0x80 >> (x % 8));
  HBITMAP and_mask = CreateBitmap(img.w, img.h, 1, 1, mask.data());
  ICONINFO ii{};
  ii.fIcon = is_icon;
  ii.xHotspot = DWORD(std::clamp(img.hotspot.x, 0, img.w - 1));
  ii.yHotspot = DWORD(std::clamp(img.hotspot.y, 0, img.h - 1));
  ii.hbmMask = and_mask;
  ii.hbmColor = color;
  HICON icon = and_mask ? CreateIconIndirect(&ii) : nullptr;
  if (and_mask) DeleteObject(and_mask);
  DeleteObject(color);
  return icon;
}

Win32Backend::Win32Backend() {
  const ScaleRequest requested_scale = ParseScale(std::getenv("OZZEL_SCALE"));  // refused before any window shows
  SetProcessDPIAware();  // physical pixels: the scale is ours, not the system's blur
  timeBeginPeriod(1);    // timers and waits to the millisecond, as the program's ticks expect

  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = inst;
  wc.hIcon = LoadIconW(inst, MAKEINTRESOURCEW(1));
  wc.hCursor = nullptr;  // WM_SETCURSOR chooses
  wc.lpszClassName = kClass;
  RegisterClassExW(&wc);

  const Size display{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  std::string note;
  ScreenScale scale = ChooseScale(display.w > 0 && display.h > 0 ? display : Size{640, 480}, requested_scale, &note);
  if (!note.empty()) std::fprintf(stderr, "ozzel: %s\n", note.c_str());

  const bool windowed = WindowedMode();
  // A window holds just the game, in whole blocks: one that filled the height would hide under the taskbar.
  if (windowed && !scale.Whole()) scale = {FittingScale(display), 1};
  DWORD style, ex_style;
  RECT rc;
  if (windowed) {
    style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    ex_style = WS_EX_APPWINDOW;
    rc = {0, 0, 640 * scale.num, 480 * scale.num};
    AdjustWindowRectEx(&rc, style, FALSE, ex_style);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    rc.left = std::max(0, (display.w - w) / 2);
    rc.top = std::max(0, (display.h - h) / 2);
    rc.right = rc.left + w;
    rc.bottom = rc.top + h;
    pixels_ = {640 * scale.num, 480 * scale.num};
    size_ = {640, 480};
  } else {
    style = WS_POPUP;
    ex_style = WS_EX_APPWINDOW;
    rc = {0, 0, display.w, display.h};
    pixels_ = {std::max(1, display.w), std::max(1, display.h)};
    size_ = LogicalSize(pixels_, scale);
  }
  scaler_ = Scaler(scale, pixels_);
  hwnd_ = CreateWindowExW(ex_style, kClass, L"", style, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                          nullptr, nullptr, inst, this);
  if (!hwnd_) throw std::runtime_error("cannot open the window (error " + std::to_string(GetLastError()) + ")");

  HDC dc = GetDC(hwnd_);
  mem_dc_ = CreateCompatibleDC(dc);
  ReleaseDC(hwnd_, dc);
  void* bits = nullptr;
  dib_ = win32::MakeDib(mem_dc_, pixels_.w, pixels_.h, &bits);
  if (!mem_dc_ || !dib_) {
    DestroyWindow(hwnd_);
    throw std::runtime_error("cannot make the window's picture (" + std::to_string(pixels_.w) + "x" +
                             std::to_string(pixels_.h) + ")");
  }
  bits_ = static_cast<uint8_t*>(bits);
  std::memset(bits_, 0, size_t(pixels_.w) * pixels_.h * 4);
  old_bitmap_ = SelectObject(mem_dc_, dib_);

  cursor_ = LoadCursorW(nullptr, IDC_ARROW);
  audio_ = std::make_unique<Win32Audio>(clock_);
  g_window = hwnd_;
  finished_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr); finished_ && ready) {
    session_watch_ = std::thread(WatchSession, finished_, ready, &session_thread_);
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
  }
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  UpdateWindow(hwnd_);
}

Win32Backend::~Win32Backend() {
  // The program has ended (its counters are written): a session's end may go on.
  if (finished_) SetEvent(finished_);
  if (session_watch_.joinable()) {
    PostThreadMessageW(session_thread_, WM_QUIT, 0, 0);
    session_watch_.join();
  }
  if (finished_) CloseHandle(finished_);
  SetKeyboardGrab(false);
  g_window = nullptr;
  audio_.reset();
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  for (auto& [img, cur] : cursors_) DestroyCursor(cur);
  if (icon_big_) DestroyIcon(icon_big_);
  if (icon_small_) DestroyIcon(icon_small_);
  if (mem_dc_) {
    SelectObject(mem_dc_, old_bitmap_);
    DeleteDC(mem_dc_);
  }
  if (dib_) DeleteObject(dib_);
  timeEndPeriod(1);
}

AudioSystem& Win32Backend::audio() { return *audio_; }

LRESULT CALLBACK Win32Backend::WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Backend*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (!self || self->hwnd_ != h) return DefWindowProcW(h, msg, wp, lp);
  return self->Handle(msg, wp, lp);
}

void Win32Backend::Push(InputEvent::Kind k, Point pos, int button) {
  InputEvent e;
  e.kind = k;
  e.pos = pos;
  e.button = button;
  pending_.push_back(std::move(e));
}

// Named keys as KeyDown/KeyUp; characters still come from WM_CHAR, and the system sees every key too.
void Win32Backend::OnKey(UINT msg, WPARAM wp, LPARAM lp) {
  const bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
  plat::Key key = NamedKey(wp);
  key = gate_.Filter(key, wp == 'P', down, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0);
  if (key == plat::Key::None) return;
  InputEvent e;
  e.kind = down ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
  e.key = key;
  e.repeat = down && (lp & (1 << 30)) != 0;  // the key was already down: the system repeats it
  pending_.push_back(e);
}

// One finger is the pointer; others touching at the same time are a palm or a second hand. True when the
// message was a touch (and so must not also come as a mouse press).
bool Win32Backend::OnTouch(UINT msg, WPARAM wp, LPARAM lp) {
  const uint32_t id = LOWORD(wp);
  // A lost contact has no type any more: only the finger we follow matters.
  if (msg == WM_POINTERCAPTURECHANGED) {
    if (finger_ >= 0 && id == finger_) LoseFinger();
    return false;
  }
  if (!IsTouchPointer(id)) return false;
  using K = InputEvent::Kind;
  POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};  // screen pixels
  ScreenToClient(hwnd_, &p);
  const Point at = ToLogical({p.x, p.y}, scaler_.scale());
  const bool lifted = msg == WM_POINTERUP || (HIWORD(wp) & kPointerCanceled);
  if (const int gate = touch_gate_.Touch(id, at, !lifted, size_)) {
    InputEvent k;
    k.kind = gate > 0 ? K::KeyDown : K::KeyUp;
    k.key = Key::Parents;
    pending_.push_back(k);
  }
  if (msg == WM_POINTERDOWN && finger_ < 0) finger_ = id;
  if (id != finger_) return true;
  if (HIWORD(wp) & kPointerCanceled) {  // the system took the contact (a gesture, a palm): no tap
    LoseFinger();
    return true;
  }
  if (msg == WM_POINTERUP) finger_ = -1;
  Push(msg == WM_POINTERDOWN ? K::TouchDown : msg == WM_POINTERUP ? K::TouchUp : K::TouchMove, at);
  return true;
}

// The finger is gone without a lift of its own: it lets go off the screen, where it clicks nothing.
void Win32Backend::LoseFinger() {
  finger_ = -1;
  Push(InputEvent::Kind::TouchUp, {-1, -1});
}

Point Win32Backend::Logical(LPARAM lp) const { return ToLogical({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, scaler_.scale()); }

LRESULT Win32Backend::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  using K = InputEvent::Kind;
  switch (msg) {
    case WM_MOUSEMOVE:
      Push(K::MouseMove, Logical(lp));
      return 0;
    // Without CS_DBLCLKS a double click arrives as a second plain press, as the program expects.
    // Taps on a touch screen reach us as these same mouse messages.
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      SetCapture(hwnd_);  // the release is ours even outside the window
      Push(K::MouseDown, Logical(lp), msg == WM_LBUTTONDOWN ? 0 : msg == WM_RBUTTONDOWN ? 1 : 2);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if (!(wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ReleaseCapture();
      Push(K::MouseUp, Logical(lp), msg == WM_LBUTTONUP ? 0 : msg == WM_RBUTTONUP ? 1 : 2);
      return 0;
    case WM_CHAR: {
      const uint32_t unit = uint32_t(wp);
      if (unit == 27 || unit == 13 || unit == 8) {  // Esc, Enter, Backspace: keys, not text
        InputEvent e;
        e.kind = K::KeyChar;
        e.ch = unit;
        pending_.push_back(e);
        return 0;
      }
      uint32_t cp = unit;
      if (unit >= 0xD800 && unit < 0xDC00) {
        high_surrogate_ = uint16_t(unit);
        return 0;
      }
      if (unit >= 0xDC00 && unit < 0xE000) {
        if (!high_surrogate_) return 0;
        cp = 0x10000 + ((uint32_t(high_surrogate_) - 0xD800) << 10) + (unit - 0xDC00);
      }
      high_surrogate_ = 0;
      if (cp < 0x20 || cp == 0x7F) return 0;  // other control characters type nothing
      std::wstring w;
      if (cp >= 0x10000) {
        w += wchar_t(0xD800 + ((cp - 0x10000) >> 10));
        w += wchar_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
      } else {
        w += wchar_t(cp);
      }
      if (cp < 0x80) {
        InputEvent k;
        k.kind = K::KeyChar;
        k.ch = cp;
        pending_.push_back(k);
      }
      InputEvent t;
      t.kind = K::Text;
      t.text = win32::Utf8(w);
      pending_.push_back(std::move(t));
      return 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      OnKey(msg, wp, lp);
      break;  // on to the system: Alt+F4 closes, as the window's close does
    case WM_POINTERDOWN:
    case WM_POINTERUPDATE:
    case WM_POINTERUP:
    case WM_POINTERCAPTURECHANGED:
      if (OnTouch(msg, wp, lp)) return 0;  // handled: no mouse message is made from it
      break;
    case kWakeMessage:
      return 0;  // its arrival ended the wait
    case kRaiseMessage:
      if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
      SetForegroundWindow(hwnd_);
      return 0;
    case WM_ACTIVATEAPP:
      Push(wp ? K::Activate : K::Deactivate);
      return 0;
    case WM_CLOSE:  // the program decides; the window goes when the backend does
      Push(K::Quit);
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT) {
        SetCursor(cursor_);
        return TRUE;
      }
      break;
    case WM_ERASEBKGND:
      return 1;  // the picture covers everything: no flash of background
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      const RECT& r = ps.rcPaint;
      BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, mem_dc_, r.left, r.top, SRCCOPY);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void Win32Backend::Poll(std::vector<InputEvent>& out) {
  // The system drops a low-level hook without a word when this thread once answered it too late (a
  // long load, a slow disk): the kiosk puts it in place again every few seconds, new before old.
  if (keyboard_hook_ && clock_.NowMs() - hook_installed_ms_ >= kHookRenewMs) {
    if (HHOOK fresh = SetWindowsHookExW(WH_KEYBOARD_LL, KioskKeys, GetModuleHandleW(nullptr), 0)) {
      UnhookWindowsHookEx(keyboard_hook_);
      keyboard_hook_ = fresh;
    }
    hook_installed_ms_ = clock_.NowMs();
  }
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      Push(InputEvent::Kind::Quit);
      continue;
    }
    TranslateMessage(&m);  // WM_KEYDOWN → WM_CHAR
    DispatchMessageW(&m);
  }
  for (auto& e : pending_) out.push_back(std::move(e));
  pending_.clear();
}

void Win32Backend::Wait(uint64_t deadline_ms, std::vector<InputEvent>& out) {
  const uint64_t now = clock_.NowMs();
  if (pending_.empty() && deadline_ms > now) {
    const DWORD wait = DWORD(std::min<uint64_t>(deadline_ms - now, 1000));
    // MWMO_INPUTAVAILABLE: messages already queued end the wait too, not only new ones.
    MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  Poll(out);
}

void Win32Backend::Present(const Surface& fb, const Rect& damage) {
  const Rect r = damage.intersect({0, 0, fb.width(), fb.height()});
  const Rect whole{0, 0, pixels_.w, pixels_.h};
  const Rect phys = ToPhysical(r, scaler_.scale()).intersect(whole);
  if (phys.empty()) return;
  GdiFlush();  // GDI's queued work on the DIB is done before we write its pixels
  scaler_.Draw(fb.row(0), {fb.width(), fb.height()}, fb.width(), r, whole, bits_, pixels_.w * 4);
  HDC dc = GetDC(hwnd_);
  BitBlt(dc, phys.left, phys.top, phys.w, phys.h, mem_dc_, phys.left, phys.top, SRCCOPY);
  ReleaseDC(hwnd_, dc);
}

void Win32Backend::ShowCursor(const CursorImage* img, bool busy) {
  HCURSOR cur = nullptr;
  if (img) {
    auto it = cursors_.find(img);
    if (it != cursors_.end()) {
      cur = it->second;
    } else {
      cur = MakeIcon(ScaleCursor(*img, scaler_.scale()), false);
      if (cur) cursors_[img] = cur;
    }
  }
  if (!cur) cur = LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW);
  cursor_ = cur;
  POINT p;
  if (GetCursorPos(&p) && WindowFromPoint(p) == hwnd_) SetCursor(cur);
}

void Win32Backend::SetTitle(const std::string& title) { SetWindowTextW(hwnd_, win32::Wide(title).c_str()); }

void Win32Backend::SetIcon(const CursorImage& icon) {
  HICON big = MakeIcon(icon, true);
  if (!big) return;
  HICON small = CopyIcon(big);
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  if (icon_big_) DestroyIcon(icon_big_);
  if (icon_small_) DestroyIcon(icon_small_);
  icon_big_ = big;
  icon_small_ = small;
}

Point Win32Backend::PointerPos() {
  POINT p;
  if (!GetCursorPos(&p) || !ScreenToClient(hwnd_, &p)) return {-1, -1};
  return ToLogical({p.x, p.y}, scaler_.scale());
}

void Win32Backend::Wake() { PostMessageW(hwnd_, kWakeMessage, 0, 0); }

void Win32Backend::SetKeyboardGrab(bool on) {
  if (on && !keyboard_hook_) {
    g_grab_window = hwnd_;
    keyboard_hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, KioskKeys, GetModuleHandleW(nullptr), 0);
    hook_installed_ms_ = clock_.NowMs();
  } else if (!on && keyboard_hook_) {
    UnhookWindowsHookEx(keyboard_hook_);
    keyboard_hook_ = nullptr;
    g_grab_window = nullptr;
  }
}

void Win32Backend::SetTouchProbe(bool (*is_touch)(uint32_t)) { g_touch_probe = is_touch; }

void Win32Backend::Raise() { PostMessageW(hwnd_, kRaiseMessage, 0, 0); }

}  // namespace plat
