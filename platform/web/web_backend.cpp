// The browser's backend: html5.h input, the framebuffer put on the page's canvas, asynchronous waits.
#include "platform/web/web_backend.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/gdi/canvas.h"
#include "platform/ui/screen.h"
#include "platform/web/web_audio.h"

// The canvas fills the viewport; its backing store has the device's physical pixels. A later change
// of the viewport (turned, out of full screen) keeps those pixels and the page letterboxes them.
EM_JS(void, ozz_canvas_setup, (int* size), {
  const c = document.getElementById("canvas");
  const ratio = window.devicePixelRatio || 1;
  const w = Math.max(1, Math.round(window.innerWidth * ratio));
  const h = Math.max(1, Math.round(window.innerHeight * ratio));
  c.width = w;
  c.height = h;
  Module.ozzCtx = c.getContext("2d", {alpha: false});
  if (Module.ozzFit) Module.ozzFit();
  HEAP32[size >> 2] = w;
  HEAP32[(size >> 2) + 1] = h;
});

// Canvas pixels per CSS pixel of the canvas as the page shows it now.
EM_JS(double, ozz_canvas_ratio, (), {
  const c = document.getElementById("canvas");
  const r = c.getBoundingClientRect();
  return r.width > 0 ? c.width / r.width : 1;
});

EM_JS(void, ozz_put, (const uint8_t* rgba, int x, int y, int w, int h), {
  const img = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, w * h * 4).slice(), w, h);
  Module.ozzCtx.putImageData(img, x, y);
  if (Module.ozzFirstFrame) Module.ozzFirstFrame();
});

// Resolves after ms, or at once when input arrives (Module.ozzWake). A program the page has stopped
// (another page took the game) sleeps for good.
EM_ASYNC_JS(void, ozz_sleep, (int ms), {
  if (Module.ozzStopped) await new Promise(() => {});
  await new Promise(resolve => {
    const t = setTimeout(resolve, ms);
    Module.ozzWake = () => { clearTimeout(t); resolve(); };
  });
  Module.ozzWake = null;
});

EM_JS(void, ozz_wake, (), {
  if (Module.ozzWake) Module.ozzWake();
});

EM_JS(void, ozz_cursor, (int busy), {
  document.getElementById("canvas").style.cursor = busy ? "wait" : "default";
});

// The program's own cursor (RGBA, already scaled to the screen), kept as a data URL under its number.
EM_JS(void, ozz_cursor_make, (int id, const uint8_t* rgba, int w, int h, int hx, int hy), {
  const c = document.createElement("canvas");
  c.width = w;
  c.height = h;
  c.getContext("2d").putImageData(new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, w * h * 4).slice(), w, h), 0, 0);
  (Module.ozzCursors = Module.ozzCursors || [])[id] = "url(" + c.toDataURL() + ") " + hx + " " + hy + ", default";
});

EM_JS(void, ozz_cursor_use, (int id), {
  document.getElementById("canvas").style.cursor = Module.ozzCursors[id];
});

EM_JS(void, ozz_title, (const char* t), { document.title = UTF8ToString(t); });

EM_JS(void, ozz_store_tick, (), {
  if (Module.ozzStoreTick) Module.ozzStoreTick();
});

namespace plat {

namespace {

using K = InputEvent::Kind;

InputEvent Make(K kind, Point pos = {}) {
  InputEvent e;
  e.kind = kind;
  e.pos = pos;
  return e;
}

Key NamedKey(const char* key) {
  const std::string k = key;
  if (k == "Escape") return Key::Esc;
  if (k == "Enter") return Key::Enter;
  if (k == " ") return Key::Space;
  if (k == "Tab") return Key::Tab;
  if (k == "ArrowLeft") return Key::Left;
  if (k == "ArrowRight") return Key::Right;
  if (k == "ArrowUp") return Key::Up;
  if (k == "ArrowDown") return Key::Down;
  return Key::None;
}

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* e, void* user) {
  auto* b = static_cast<WebBackend*>(user);
  const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
  Key key = NamedKey(e->key);
  key = b->gate.Filter(key, std::strcmp(e->code, "KeyP") == 0, down, e->ctrlKey, e->shiftKey);
  bool used = false;
  if (key != Key::None) {
    InputEvent k = Make(down ? K::KeyDown : K::KeyUp);
    k.key = key;
    k.repeat = e->repeat;
    b->Push(k);
    used = true;
  }
  if (!down) return used;
  unsigned ch = 0;
  const std::string name = e->key;
  if (name == "Escape") ch = 27;
  else if (name == "Enter") ch = 13;
  else if (name == "Backspace") ch = 8;
  if (ch) {
    InputEvent k = Make(K::KeyChar);
    k.ch = ch;
    b->Push(k);
    return true;
  }
  // A printable character: its key name is the character itself (one code point).
  const auto lead = static_cast<unsigned char>(name.empty() ? 0 : name[0]);
  const size_t cp_len = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (!name.empty() && name.size() == cp_len && !e->ctrlKey && !e->altKey && !e->metaKey) {
    if (lead >= 0x20 && lead < 0x80) {
      InputEvent k = Make(K::KeyChar);
      k.ch = lead;
      b->Push(k);
    }
    InputEvent t = Make(K::Text);
    t.text = name;
    b->Push(t);
    return true;
  }
  return used;
}

EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* e, void* user) {
  auto* b = static_cast<WebBackend*>(user);
  const Point at = b->Logical(e->targetX, e->targetY);
  if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) {
    b->Push(Make(K::MouseMove, at));
    return false;
  }
  if (e->button > 2) return false;
  // The browser numbers the middle button 1 and the right 2.
  InputEvent ev = Make(type == EMSCRIPTEN_EVENT_MOUSEDOWN ? K::MouseDown : K::MouseUp, at);
  ev.button = e->button == 1 ? 2 : e->button == 2 ? 1 : 0;
  b->Push(ev);
  return true;
}

EM_BOOL OnTouch(int type, const EmscriptenTouchEvent* e, void* user) {
  auto* b = static_cast<WebBackend*>(user);
  // One finger is the pointer; others touching at the same time are a palm or a second hand.
  for (int i = 0; i < e->numTouches; ++i) {
    const EmscriptenTouchPoint& t = e->touches[i];
    if (!t.isChanged) continue;
    const bool lifted = type == EMSCRIPTEN_EVENT_TOUCHEND || type == EMSCRIPTEN_EVENT_TOUCHCANCEL;
    if (const int gate = b->touch_gate.Touch(t.identifier, b->Logical(t.targetX, t.targetY), !lifted, b->ScreenSize())) {
      InputEvent k = Make(gate > 0 ? K::KeyDown : K::KeyUp);
      k.key = Key::Parents;
      b->Push(k);
    }
    if (type == EMSCRIPTEN_EVENT_TOUCHSTART && b->touch_id < 0) b->touch_id = t.identifier;
    if (t.identifier != b->touch_id) continue;
    const Point at = b->Logical(t.targetX, t.targetY);
    K kind = K::TouchMove;
    if (type == EMSCRIPTEN_EVENT_TOUCHSTART) kind = K::TouchDown;
    if (type == EMSCRIPTEN_EVENT_TOUCHEND || type == EMSCRIPTEN_EVENT_TOUCHCANCEL) kind = K::TouchUp, b->touch_id = -1;
    b->Push(Make(kind, at));
  }
  return true;  // no mouse events made up from the touch: a tap leaves no hover behind
}

EM_BOOL OnFocus(int type, const EmscriptenFocusEvent*, void* user) {
  static_cast<WebBackend*>(user)->Push(Make(type == EMSCRIPTEN_EVENT_FOCUS ? K::Activate : K::Deactivate));
  return false;
}

}  // namespace

WebBackend::WebBackend() {
  int size[2] = {640, 480};
  ozz_canvas_setup(size);
  pixels_ = {size[0], size[1]};
  std::string note;
  const ScreenScale scale = ChooseScale(pixels_, ScaleRequest{}, &note);
  size_ = LogicalSize(pixels_, scale);
  scaler_ = Scaler(scale, pixels_);
  audio_ = std::make_unique<WebAudio>(clock_);
  const char* canvas = "#canvas";
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, OnKey);
  emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, OnKey);
  emscripten_set_mousedown_callback(canvas, this, true, OnMouse);
  emscripten_set_mouseup_callback(canvas, this, true, OnMouse);
  emscripten_set_mousemove_callback(canvas, this, true, OnMouse);
  emscripten_set_touchstart_callback(canvas, this, true, OnTouch);
  emscripten_set_touchmove_callback(canvas, this, true, OnTouch);
  emscripten_set_touchend_callback(canvas, this, true, OnTouch);
  emscripten_set_touchcancel_callback(canvas, this, true, OnTouch);
  emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, OnFocus);
  emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, OnFocus);
}

// The page outlives the program: its input must not reach a backend that is gone.
WebBackend::~WebBackend() { emscripten_html5_remove_all_event_listeners(); }

AudioSystem& WebBackend::audio() { return *audio_; }

Point WebBackend::Logical(double css_x, double css_y) const {
  const double ratio = ozz_canvas_ratio();
  return ToLogical({int(css_x * ratio), int(css_y * ratio)}, scaler_.scale());
}

void WebBackend::Push(InputEvent e) {
  if (e.kind == K::MouseMove || e.kind == K::MouseDown || e.kind == K::MouseUp || e.kind == K::TouchDown ||
      e.kind == K::TouchMove)
    pointer_ = e.pos;
  queue_.push_back(std::move(e));
  ozz_wake();
}

void WebBackend::Poll(std::vector<InputEvent>& out) {
  while (!queue_.empty()) {
    out.push_back(std::move(queue_.front()));
    queue_.pop_front();
  }
}

void WebBackend::Wake() { ozz_wake(); }

void WebBackend::Wait(uint64_t deadline_ms, std::vector<InputEvent>& out) {
  ozz_store_tick();
  const uint64_t now = clock_.NowMs();
  if (queue_.empty() && deadline_ms > now) ozz_sleep(int(std::min<uint64_t>(deadline_ms - now, 1000)));
  Poll(out);
}

void WebBackend::Blit(const Surface& fb, const Rect& damage) {
  const Rect r = damage.intersect({0, 0, fb.width(), fb.height()});
  const Rect phys = ToPhysical(r, scaler_.scale()).intersect({0, 0, pixels_.w, pixels_.h});
  if (phys.empty()) return;
  plane_.resize(size_t(phys.w) * phys.h);
  scaler_.Draw(fb.row(0), {fb.width(), fb.height()}, fb.width(), r, phys, reinterpret_cast<uint8_t*>(plane_.data()),
               phys.w * 4);
  // 0x00RRGGBB to the canvas's R, G, B, A bytes.
  for (uint32_t& p : plane_) p = 0xFF000000u | ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
  ozz_put(reinterpret_cast<const uint8_t*>(plane_.data()), phys.left, phys.top, phys.w, phys.h);
}

void WebBackend::Present(const Surface& fb, const Rect& damage) {
  Blit(fb, damage);
}

void WebBackend::ShowCursor(const CursorImage* img, bool busy) {
  if (!img || img->w <= 0 || img->h <= 0 || img->argb.size() < size_t(img->w) * img->h) {
    ozz_cursor(busy);
    return;
  }
  auto it = cursors_.find(img);
  if (it == cursors_.end()) {
    const CursorImage big = ScaleCursor(*img, scaler_.scale());
    std::vector<uint32_t> rgba(big.argb.size());
    // 0xAARRGGBB to R, G, B, A bytes.
    for (size_t i = 0; i < rgba.size(); ++i) {
      const uint32_t p = big.argb[i];
      rgba[i] = (p & 0xFF000000u) | ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
    }
    const int id = int(cursors_.size());
    ozz_cursor_make(id, reinterpret_cast<const uint8_t*>(rgba.data()), big.w, big.h, big.hotspot.x, big.hotspot.y);
    it = cursors_.emplace(img, id).first;
  }
  ozz_cursor_use(it->second);
}

void WebBackend::SetTitle(const std::string& title) { ozz_title(title.c_str()); }

}  // namespace plat
