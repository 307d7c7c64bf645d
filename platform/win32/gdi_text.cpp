// Text drawing through GDI: the same faces as on Linux (the bundled Liberation Sans and DejaVu Sans,
// added privately), sizes as character heights, grey-scale antialiased glyphs blended like SDL_ttf's.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/gdi/canvas.h"
#include "platform/os.h"
#include "platform/win32/utf.h"

namespace plat {

namespace {

// The TTF files: beside the program (installed) or where Debian keeps them (tests under wine).
void AddPrivateFonts() {
  static const char* const files[] = {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "DejaVuSans.ttf",
                                      "DejaVuSans-Bold.ttf"};
  const std::string dirs[] = {os::ExeDir() + "\\fonts\\", "/usr/share/fonts/truetype/liberation2/",
                              "/usr/share/fonts/truetype/dejavu/"};
  for (const char* f : files)
    for (const std::string& d : dirs)
      if (AddFontResourceExW(win32::Wide(d + f).c_str(), FR_PRIVATE, nullptr) > 0) break;
}

class FontCache {
 public:
  FontCache() {
    AddPrivateFonts();
    dc_ = CreateCompatibleDC(nullptr);
  }
  HDC dc() const { return dc_; }
  HFONT Get(const FontSpec& spec) {
    std::string face = spec.face;
    for (char& c : face) c = char(std::tolower(static_cast<unsigned char>(c)));
    // "Arial" is Liberation Sans (same metrics); anything else DejaVu Sans, as on Linux.
    const wchar_t* family = face == "arial" ? L"Liberation Sans" : L"DejaVu Sans";
    const int px = std::clamp(spec.height_px, 1, 400);
    auto key = std::make_tuple(std::wstring(family), spec.bold, px);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    // A negative height asks for the character (em) height in pixels.
    HFONT f = CreateFontW(-px, 0, 0, 0, spec.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, family);
    fonts_[key] = f;
    return f;
  }
  std::mutex mu;

 private:
  HDC dc_ = nullptr;
  std::map<std::tuple<std::wstring, bool, int>, HFONT> fonts_;
};

FontCache& Fonts() {
  static FontCache* cache = new FontCache;  // never destroyed: fonts outlive static teardown
  return *cache;
}

}  // namespace

int Canvas::TextWidth(const std::string& utf8, const FontSpec& font) {
  if (utf8.empty()) return 0;
  FontCache& fc = Fonts();
  std::lock_guard<std::mutex> lock(fc.mu);
  HFONT f = fc.Get(font);
  if (!f) return 0;
  HGDIOBJ old = SelectObject(fc.dc(), f);
  const std::wstring w = win32::Wide(utf8);
  SIZE sz{};
  BOOL ok = GetTextExtentPoint32W(fc.dc(), w.c_str(), int(w.size()), &sz);
  SelectObject(fc.dc(), old);
  return ok ? int(sz.cx) : 0;
}

void Canvas::Text(const std::string& utf8, const Rect& r, const FontSpec& font, TextAlign align) {
  if (utf8.empty() || r.empty()) return;
  FontCache& fc = Fonts();
  std::lock_guard<std::mutex> lock(fc.mu);
  HFONT f = fc.Get(font);
  if (!f) return;
  HDC dc = fc.dc();
  HGDIOBJ old_font = SelectObject(dc, f);
  const std::wstring w = win32::Wide(utf8);
  SIZE sz{};
  if (!GetTextExtentPoint32W(dc, w.c_str(), int(w.size()), &sz) || sz.cx <= 0 || sz.cy <= 0 || sz.cx > 16384) {
    SelectObject(dc, old_font);
    return;
  }
  const int tw = sz.cx, th = sz.cy;
  // White on black in a DIB: the grey level of each pixel is the glyph's coverage.
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = tw;
  bi.bmiHeader.biHeight = -th;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib) {
    SelectObject(dc, old_font);
    return;
  }
  HGDIOBJ old_bmp = SelectObject(dc, dib);
  std::fill_n(static_cast<uint32_t*>(bits), size_t(tw) * th, 0u);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  TextOutW(dc, 0, 0, w.c_str(), int(w.size()));
  GdiFlush();

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
  const uint32_t cr = font.color.r, cg = font.color.g, cb = font.color.b;
  for (int64_t py = t; py < b; ++py) {
    const uint32_t* in = static_cast<const uint32_t*>(bits) + size_t(py - oy - y) * tw;
    uint32_t* out = s_.row(int(py));
    for (int64_t px = l; px < rr; ++px) {
      const uint32_t s = in[px - ox - x];
      const uint32_t a = std::max({(s >> 16) & 0xFF, (s >> 8) & 0xFF, s & 0xFF});
      if (a == 0) continue;
      const uint32_t d = out[px];
      auto mix = [a](uint32_t sc, uint32_t dc) { return (sc * a + dc * (255 - a) + 127) / 255; };
      out[px] = (mix(cr, (d >> 16) & 0xFF) << 16) | (mix(cg, (d >> 8) & 0xFF) << 8) | mix(cb, d & 0xFF);
    }
  }
  SelectObject(dc, old_bmp);
  SelectObject(dc, old_font);
  DeleteObject(dib);
}

}  // namespace plat
