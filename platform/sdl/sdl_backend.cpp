// SDL2 window, event translation, blocking waits, window-surface presentation and colour cursors.
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/gdi/canvas.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/ui/screen.h"

namespace plat {

namespace {

InputEvent Make(InputEvent::Kind k, Point pos = {}) {
  InputEvent e;
  e.kind = k;
  e.pos = pos;
  return e;
}

int ButtonIndex(Uint8 b) {
  switch (b) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    default: return -1;
  }
}

Key NamedKey(SDL_Keycode sym) {
  switch (sym) {
    case SDLK_ESCAPE: return Key::Esc;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return Key::Enter;
    case SDLK_SPACE: return Key::Space;
    case SDLK_TAB: return Key::Tab;
    case SDLK_LEFT: return Key::Left;
    case SDLK_RIGHT: return Key::Right;
    case SDLK_UP: return Key::Up;
    case SDLK_DOWN: return Key::Down;
    default: return Key::None;
  }
}

}  // namespace

SdlBackend::SdlBackend() {
  const ScaleRequest requested_scale = ParseScale(std::getenv("OZZEL_SCALE"));  // refused before any window shows
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  // SIGTERM and SIGINT are the program's own (plat::CatchQuitRequests): SDL would only see them
  // while something pumps its events.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // Fingers come as finger events, which the runtime turns into clicks itself; SDL's own mouse
  // copies of them would click twice.
  SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
    throw std::runtime_error(std::string("cannot open the display: ") + SDL_GetError());
  // Without a display SDL falls back to drawing nowhere; a game nobody can see must not start
  // unless someone asked for that driver by name.
  if (const char* d = SDL_GetCurrentVideoDriver();
      d && (std::strcmp(d, "offscreen") == 0 || std::strcmp(d, "dummy") == 0) && !std::getenv("SDL_VIDEODRIVER")) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    throw std::runtime_error("cannot open the display: no X11 or Wayland display is available");
  }
  SdlWakeEventType();  // registered on this thread before any sound can push it
  // On X11 the window surface goes straight to the server; probing for a GL texture framebuffer
  // would destroy and recreate the window at its first presentation (a flash, a lost raise).
  if (const char* d = SDL_GetCurrentVideoDriver(); d && std::strcmp(d, "x11") == 0)
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");

  SDL_DisplayMode dm;
  if (SDL_GetDesktopDisplayMode(0, &dm) != 0 || dm.w <= 0 || dm.h <= 0) {
    dm.w = 640;
    dm.h = 480;
  }
  const bool windowed = WindowedMode();
  // High-DPI allowed: where window points and pixels differ, the scale is chosen in pixels.
  if (windowed) {
    window_ = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480, SDL_WINDOW_ALLOW_HIGHDPI);
  } else {
    window_ = SDL_CreateWindow("", 0, 0, dm.w, dm.h, SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALLOW_HIGHDPI);
  }
  if (!window_) {
    std::string err = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    throw std::runtime_error("cannot open the window: " + err);
  }
  SDL_GetWindowSize(window_, &points_.w, &points_.h);
  SDL_GetWindowSizeInPixels(window_, &pixels_.w, &pixels_.h);
  if (points_.w <= 0 || points_.h <= 0 || pixels_.w <= 0 || pixels_.h <= 0) points_ = pixels_ = windowed ? Size{640, 480} : Size{dm.w, dm.h};
  const Size display{int(int64_t(dm.w) * pixels_.w / points_.w), int(int64_t(dm.h) * pixels_.h / points_.h)};
  std::string note;
  ScreenScale scale = ChooseScale(display, requested_scale, &note);
  if (!note.empty()) std::fprintf(stderr, "ozzel: %s\n", note.c_str());
  // A window holds just the game, in whole blocks: one that filled the display's height would hide
  // under the desktop's panels.
  if (windowed && !scale.Whole()) scale = {FittingScale(display), 1};
  if (windowed) {
    size_ = {640, 480};
    const Size want{640 * scale.num, 480 * scale.num};
    points_ = {int(int64_t(want.w) * points_.w / pixels_.w), int(int64_t(want.h) * points_.h / pixels_.h)};
    pixels_ = want;
    SDL_SetWindowSize(window_, points_.w, points_.h);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  } else {
    size_ = LogicalSize(pixels_, scale);
  }
  scaler_ = Scaler(scale, pixels_);
  SDL_RaiseWindow(window_);
  SDL_StartTextInput();
  audio_ = std::make_unique<SdlAudio>(clock_);
}

SdlBackend::~SdlBackend() {
  audio_.reset();
  SDL_SetCursor(SDL_GetDefaultCursor());
  for (auto& [img, cur] : cursors_) SDL_FreeCursor(cur);
  if (arrow_) SDL_FreeCursor(arrow_);
  if (wait_) SDL_FreeCursor(wait_);
  if (window_) SDL_DestroyWindow(window_);
  SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

AudioSystem& SdlBackend::audio() { return *audio_; }

bool SdlBackend::Translate(const SDL_Event& e, std::vector<InputEvent>& out) {
  using K = InputEvent::Kind;
  switch (e.type) {
    case SDL_MOUSEMOTION:
      if (e.motion.which == SDL_TOUCH_MOUSEID) return false;
      out.push_back(Make(K::MouseMove, Logical(e.motion.x, e.motion.y)));
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      int b = ButtonIndex(e.button.button);
      if (b < 0 || e.button.which == SDL_TOUCH_MOUSEID) return false;
      // A double click arrives as a second plain press; the click count is not passed on.
      InputEvent ev = Make(e.type == SDL_MOUSEBUTTONDOWN ? K::MouseDown : K::MouseUp, Logical(e.button.x, e.button.y));
      ev.button = b;
      out.push_back(ev);
      return true;
    }
    case SDL_TEXTINPUT: {
      std::string text = e.text.text;
      if (text.size() == 1 && static_cast<unsigned char>(text[0]) < 0x80) {
        InputEvent k = Make(K::KeyChar);
        k.ch = static_cast<unsigned char>(text[0]);
        out.push_back(k);
      }
      InputEvent t = Make(K::Text);
      t.text = text;
      out.push_back(t);
      return true;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const bool down = e.type == SDL_KEYDOWN;
      Key key = NamedKey(e.key.keysym.sym);
      const Uint16 mod = e.key.keysym.mod;
      key = gate_.Filter(key, e.key.keysym.sym == SDLK_p, down, mod & KMOD_CTRL, mod & KMOD_SHIFT);
      bool any = false;
      if (key != Key::None) {
        InputEvent k = Make(down ? K::KeyDown : K::KeyUp);
        k.key = key;
        k.repeat = e.key.repeat != 0;
        out.push_back(k);
        any = true;
      }
      unsigned ch = 0;
      switch (e.key.keysym.sym) {
        case SDLK_ESCAPE: ch = 27; break;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: ch = 13; break;
        case SDLK_BACKSPACE: ch = 8; break;
        default: break;
      }
      if (down && ch) {
        InputEvent k = Make(K::KeyChar);
        k.ch = ch;
        out.push_back(k);
        any = true;
      }
      return any;
    }
    case SDL_FINGERDOWN:
    case SDL_FINGERMOTION:
    case SDL_FINGERUP: {
      // Positions come as fractions of the window.
      const Point at = Logical(int(e.tfinger.x * points_.w), int(e.tfinger.y * points_.h));
      const int gate = touch_gate_.Touch(long(e.tfinger.fingerId), at, e.type != SDL_FINGERUP, size_);
      if (gate) {
        InputEvent k = Make(gate > 0 ? K::KeyDown : K::KeyUp);
        k.key = Key::Parents;
        out.push_back(k);
      }
      // One finger is the pointer; others touching at the same time are a palm or a second hand.
      if (e.type == SDL_FINGERDOWN && finger_ == kNoFinger) finger_ = e.tfinger.fingerId;
      if (e.tfinger.fingerId != finger_) return gate != 0;
      if (e.type == SDL_FINGERUP) finger_ = kNoFinger;
      out.push_back(Make(e.type == SDL_FINGERDOWN ? K::TouchDown : e.type == SDL_FINGERUP ? K::TouchUp : K::TouchMove, at));
      return true;
    }
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_LOST: out.push_back(Make(K::Deactivate)); return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED: out.push_back(Make(K::Activate)); return true;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESTORED:
          if (last_fb_) Blit(*last_fb_, {0, 0, last_fb_->width(), last_fb_->height()});
          return false;
        // Closing the only window also raises SDL_QUIT, which is the one we pass on.
        default: return false;
      }
    case SDL_QUIT:
      out.push_back(Make(K::Quit));
      return true;
    default:
      if (e.type != SdlWakeEventType()) return false;
      // Another launch of the game asked for this one.
      if (SdlTakeRaise()) {
        SDL_RestoreWindow(window_);
        SDL_RaiseWindow(window_);
      }
      return true;
  }
}

void SdlBackend::Poll(std::vector<InputEvent>& out) {
  SDL_Event e;
  while (SDL_PollEvent(&e)) Translate(e, out);
}

void SdlBackend::Wake() { SdlPushWake(); }

void SdlBackend::Raise() { SdlRequestRaise(); }

void SdlBackend::Wait(uint64_t deadline_ms, std::vector<InputEvent>& out) {
  uint64_t now = clock_.NowMs();
  if (deadline_ms > now) {
    uint64_t wait = std::min<uint64_t>(deadline_ms - now, 1000);
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, int(wait))) Translate(e, out);
  }
  Poll(out);
}

Point SdlBackend::Logical(int x, int y) const {
  return ToLogical({int(int64_t(x) * pixels_.w / points_.w), int(int64_t(y) * pixels_.h / points_.h)}, scaler_.scale());
}

void SdlBackend::Blit(const Surface& fb, const Rect& damage) {
  SDL_Surface* ws = SDL_GetWindowSurface(window_);
  if (!ws) return;
  const Rect r = damage.intersect({0, 0, fb.width(), fb.height()});
  const Rect whole{0, 0, ws->w, ws->h};
  const Rect phys = ToPhysical(r, scaler_.scale()).intersect(whole);
  if (phys.empty()) return;
  // The window surface can differ from the size the tables were made for (a window manager's resize).
  if (!(scaler_.physical() == Size{ws->w, ws->h})) scaler_ = Scaler(scaler_.scale(), {ws->w, ws->h});
  if (SDL_MUSTLOCK(ws)) SDL_LockSurface(ws);
  // Our pixels are 0x00RRGGBB, which is SDL's RGB888: the usual X11 window surface takes them as they are.
  if (ws->format->format == SDL_PIXELFORMAT_RGB888) {
    scaler_.Draw(fb.row(0), {fb.width(), fb.height()}, fb.width(), r, whole, static_cast<uint8_t*>(ws->pixels), ws->pitch);
  } else {
    scratch_.resize(size_t(phys.w) * phys.h);
    scaler_.Draw(fb.row(0), {fb.width(), fb.height()}, fb.width(), r, phys, reinterpret_cast<uint8_t*>(scratch_.data()),
                 phys.w * 4);
    uint8_t* dst = static_cast<uint8_t*>(ws->pixels) + size_t(phys.top) * ws->pitch + size_t(phys.left) * ws->format->BytesPerPixel;
    SDL_ConvertPixels(phys.w, phys.h, SDL_PIXELFORMAT_RGB888, scratch_.data(), phys.w * 4, ws->format->format, dst, ws->pitch);
  }
  if (SDL_MUSTLOCK(ws)) SDL_UnlockSurface(ws);
  SDL_Rect sr{phys.left, phys.top, phys.w, phys.h};
  SDL_UpdateWindowSurfaceRects(window_, &sr, 1);
}

void SdlBackend::Present(const Surface& fb, const Rect& damage) {
  last_fb_ = &fb;
  Blit(fb, damage);
}

void SdlBackend::ShowCursor(const CursorImage* img, bool busy) {
  SDL_Cursor* cur = nullptr;
  if (img && img->w > 0 && img->h > 0 && img->argb.size() >= size_t(img->w) * img->h) {
    auto it = cursors_.find(img);
    if (it != cursors_.end()) {
      cur = it->second;
    } else {
      const CursorImage big = ScaleCursor(*img, scaler_.scale());
      SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(big.argb.data()), big.w, big.h, 32,
                                                          big.w * 4, SDL_PIXELFORMAT_ARGB8888);
      if (s) {
        cur = SDL_CreateColorCursor(s, big.hotspot.x, big.hotspot.y);
        SDL_FreeSurface(s);
      }
      if (cur) cursors_[img] = cur;
    }
  }
  if (!cur && busy) {
    if (!wait_) wait_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
    cur = wait_;
  }
  if (!cur) {
    if (!arrow_) arrow_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    cur = arrow_;
  }
  if (cur) SDL_SetCursor(cur);
}

void SdlBackend::SetKeyboardGrab(bool on) {
  // Alt+Tab passes a grab by default on some systems; a kiosk keeps it.
  SDL_SetHint(SDL_HINT_ALLOW_ALT_TAB_WHILE_GRABBED, on ? "0" : "1");
  SDL_SetWindowKeyboardGrab(window_, on ? SDL_TRUE : SDL_FALSE);
}

void SdlBackend::SetTitle(const std::string& title) { SDL_SetWindowTitle(window_, title.c_str()); }

void SdlBackend::SetIcon(const CursorImage& icon) {
  if (icon.w <= 0 || icon.h <= 0 || icon.argb.size() < size_t(icon.w) * icon.h) return;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(icon.argb.data()), icon.w, icon.h, 32,
                                                      icon.w * 4, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return;
  SDL_SetWindowIcon(window_, s);
  SDL_FreeSurface(s);
}

Point SdlBackend::PointerPos() {
  int x = 0, y = 0;
  SDL_GetMouseState(&x, &y);
  return Logical(x, y);
}

}  // namespace plat
