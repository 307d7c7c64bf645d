// The text engine in the browser: the page's canvas draws Liberation Sans ("Arial") and DejaVu Sans
// (the rest), the same faces as on Linux, loaded by the page before the program starts.
#include <emscripten.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/gdi/text.h"

// Under node (the simulator) there is no canvas: widths are estimated and nothing is drawn, as the
// headless program never looks at its pixels for its trace.
EM_JS(int, ozz_text_width, (const char* text, const char* family, int px, int bold), {
  const s = UTF8ToString(text);
  const ctx = Module.ozzTextContext ? Module.ozzTextContext() : null;
  if (!ctx) return Math.round(s.length * px * 0.55);
  ctx.font = (bold ? "bold " : "") + px + "px '" + UTF8ToString(family) + "'";
  return Math.round(ctx.measureText(s).width);
});

// Draws one line white on clear and hands back its coverage (malloc'd, w * h bytes) and size.
EM_JS(int, ozz_text_render, (const char* text, const char* family, int px, int bold, int* size), {
  const ctx = Module.ozzTextContext ? Module.ozzTextContext() : null;
  if (!ctx) return 0;
  const s = UTF8ToString(text);
  const font = (bold ? "bold " : "") + px + "px '" + UTF8ToString(family) + "'";
  ctx.font = font;
  const m = ctx.measureText(s);
  const ascent = Math.ceil(m.fontBoundingBoxAscent || px * 0.905);
  const descent = Math.ceil(m.fontBoundingBoxDescent || px * 0.212);
  const w = Math.max(1, Math.ceil(m.width)), h = Math.max(1, ascent + descent);
  const c = ctx.canvas;
  if (c.width < w) c.width = w;
  if (c.height < h) c.height = h;
  ctx.clearRect(0, 0, w, h);
  ctx.font = font;  // resizing a canvas resets its state
  ctx.fillStyle = "#fff";
  ctx.textBaseline = "alphabetic";
  ctx.fillText(s, 0, ascent);
  const px4 = ctx.getImageData(0, 0, w, h).data;
  const out = _malloc(w * h);
  if (!out) return 0;
  for (let i = 0; i < w * h; ++i) HEAPU8[out + i] = px4[i * 4 + 3];
  HEAP32[size >> 2] = w;
  HEAP32[(size >> 2) + 1] = h;
  return out;
});

namespace plat {

namespace {

const char* Family(const FontSpec& f) {
  std::string face = f.face;
  for (char& c : face) c = char(std::tolower(static_cast<unsigned char>(c)));
  return face == "arial" ? "Liberation Sans" : "DejaVu Sans";
}

class WebTextEngine : public TextEngine {
 public:
  int Width(const std::string& utf8, const FontSpec& font) override {
    if (utf8.empty()) return 0;
    return ozz_text_width(utf8.c_str(), Family(font), std::clamp(font.height_px, 1, 400), font.bold);
  }

  bool Render(const std::string& utf8, const FontSpec& font, TextMask* out) override {
    if (utf8.empty()) return false;
    int size[2] = {0, 0};
    auto* p = reinterpret_cast<uint8_t*>(
        ozz_text_render(utf8.c_str(), Family(font), std::clamp(font.height_px, 1, 400), font.bold, size));
    if (!p) return false;
    out->w = size[0];
    out->h = size[1];
    out->alpha.assign(p, p + size_t(size[0]) * size_t(size[1]));
    std::free(p);
    return true;
  }
};

}  // namespace

TextEngine& SystemTextEngine() {
  static WebTextEngine engine;
  return engine;
}

}  // namespace plat
