// Text drawing behind one small interface: the system's font engine renders a line, the canvas blends it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/color.h"

namespace plat {

struct FontSpec {
  std::string face = "Arial";  // "Arial" maps to Liberation Sans, anything else to DejaVu Sans
  int height_px = 13;          // character (em) height in pixels, as a negative font height gives it
  bool bold = false;
  Rgb color{0, 0, 0};
};

// One line as the engine rendered it: coverage 0..255 per pixel, rows top first, as tall as the
// font's cell (ascent + descent), so that centring a line in a box does not depend on its letters.
struct TextMask {
  int w = 0, h = 0;
  std::vector<uint8_t> alpha;  // w * h
};

class TextEngine {
 public:
  virtual ~TextEngine() = default;
  // Width in pixels of one line of UTF-8 text; 0 when the face cannot be had.
  virtual int Width(const std::string& utf8, const FontSpec& font) = 0;
  // The line's coverage; false when nothing can be drawn (no font, empty text).
  virtual bool Render(const std::string& utf8, const FontSpec& font, TextMask* out) = 0;
};

// The system's engine, alive for the whole process: SDL_ttf on Linux (platform/sdl/ttf_text.cpp),
// GDI on Windows. The build links exactly one; safe to call from any thread.
TextEngine& SystemTextEngine();

}  // namespace plat
