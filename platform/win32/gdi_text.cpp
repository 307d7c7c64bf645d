// Text drawing through GDI: the same faces as on Linux (the bundled Liberation Sans and DejaVu Sans,
// added privately), sizes as character heights, grey-scale antialiased coverage like SDL_ttf's.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/gdi/text.h"
#include "platform/os.h"
#include "platform/win32/dib.h"
#include "platform/win32/utf.h"

namespace plat {

namespace {

// The TTF files beside the program (the installer puts them there, the build beside its test programs).
void AddPrivateFonts() {
  static const char* const files[] = {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "DejaVuSans.ttf",
                                      "DejaVuSans-Bold.ttf"};
  const std::string dir = os::ExeDir() + "\\fonts\\";
  for (const char* f : files) AddFontResourceExW(win32::Wide(dir + f).c_str(), FR_PRIVATE, nullptr);
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

class GdiEngine : public TextEngine {
 public:
  int Width(const std::string& utf8, const FontSpec& font) override {
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

  bool Render(const std::string& utf8, const FontSpec& font, TextMask* out) override {
    if (utf8.empty()) return false;
    FontCache& fc = Fonts();
    std::lock_guard<std::mutex> lock(fc.mu);
    HFONT f = fc.Get(font);
    if (!f) return false;
    HDC dc = fc.dc();
    HGDIOBJ old_font = SelectObject(dc, f);
    const std::wstring w = win32::Wide(utf8);
    SIZE sz{};
    // The extent's height is the cell (ascent + descent), as the engine's contract asks.
    if (!GetTextExtentPoint32W(dc, w.c_str(), int(w.size()), &sz) || sz.cx <= 0 || sz.cy <= 0 || sz.cx > 16384) {
      SelectObject(dc, old_font);
      return false;
    }
    const int tw = sz.cx, th = sz.cy;
    // White on black in a DIB: the grey level of each pixel is the glyph's coverage.
    void* bits = nullptr;
    HBITMAP dib = win32::MakeDib(dc, tw, th, &bits);
    if (!dib) {
      SelectObject(dc, old_font);
      return false;
    }
    HGDIOBJ old_bmp = SelectObject(dc, dib);
    std::fill_n(static_cast<uint32_t*>(bits), size_t(tw) * th, 0u);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutW(dc, 0, 0, w.c_str(), int(w.size()));
    GdiFlush();
    out->w = tw;
    out->h = th;
    out->alpha.resize(size_t(tw) * th);
    const uint32_t* in = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < out->alpha.size(); ++i) {
      const uint32_t s = in[i];
      out->alpha[i] = uint8_t(std::max({(s >> 16) & 0xFF, (s >> 8) & 0xFF, s & 0xFF}));
    }
    SelectObject(dc, old_bmp);
    SelectObject(dc, old_font);
    DeleteObject(dib);
    return true;
  }
};

}  // namespace

TextEngine& SystemTextEngine() {
  static GdiEngine* engine = new GdiEngine;  // never destroyed, like the fonts it draws with
  return *engine;
}

}  // namespace plat
