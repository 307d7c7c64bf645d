// Canvas text: the system's text engine renders the line, blended here in the font's colour and clipped.
#include <algorithm>

#include "platform/gdi/canvas.h"
#include "platform/gdi/text.h"

namespace plat {

int Canvas::TextWidth(const std::string& utf8, const FontSpec& font) {
  if (utf8.empty()) return 0;
  return SystemTextEngine().Width(utf8, font);
}

void Canvas::Text(const std::string& utf8, const Rect& r, const FontSpec& font, TextAlign align) {
  if (utf8.empty() || r.empty()) return;
  TextMask m;
  if (!SystemTextEngine().Render(utf8, font, &m) || m.w <= 0 || m.h <= 0 ||
      m.alpha.size() != size_t(m.w) * size_t(m.h))
    return;
  const int tw = m.w, th = m.h;
  int64_t x = r.left;
  if (align == TextAlign::Center) x = r.left + (int64_t(r.w) - tw) / 2;
  if (align == TextAlign::Right) x = int64_t(r.left) + r.w - tw;
  int64_t y = r.top + (int64_t(r.h) - th) / 2;
  // Visible part: the text box, r, the clip and the surface, in surface coordinates.
  int64_t ox = origin_.x, oy = origin_.y;
  int64_t l = std::max({x, int64_t(r.left)}) + ox, t = std::max({y, int64_t(r.top)}) + oy;
  int64_t rr = std::min(x + tw, int64_t(r.left) + r.w) + ox, b = std::min(y + th, int64_t(r.top) + r.h) + oy;
  l = std::max({l, int64_t(clip_.left), int64_t(0)});
  t = std::max({t, int64_t(clip_.top), int64_t(0)});
  rr = std::min({rr, int64_t(clip_.left) + clip_.w, int64_t(s_.width())});
  b = std::min({b, int64_t(clip_.top) + clip_.h, int64_t(s_.height())});
  const uint32_t sr = font.color.r, sg = font.color.g, sb = font.color.b;
  for (int64_t py = t; py < b; ++py) {
    const uint8_t* in = m.alpha.data() + size_t(py - oy - y) * size_t(tw);
    uint32_t* out = s_.row(int(py));
    for (int64_t px = l; px < rr; ++px) {
      const uint32_t a = in[px - ox - x];
      if (a == 0) continue;
      const uint32_t d = out[px];
      auto mix = [a](uint32_t sc, uint32_t dc) { return (sc * a + dc * (255 - a) + 127) / 255; };
      out[px] = mix(sr, (d >> 16) & 0xFF) << 16 | mix(sg, (d >> 8) & 0xFF) << 8 | mix(sb, d & 0xFF);
    }
  }
}

}  // namespace plat
