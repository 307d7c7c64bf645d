// Text drawing with SDL2_ttf: font files by face, sizes matched to pixel cell heights, blended glyphs.
#include <SDL_ttf.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <mutex>
#include <utility>

#include "platform/gdi/canvas.h"

namespace plat {

namespace {

bool IsFile(const char* p) {
  struct stat st;
  return ::stat(p, &st) == 0 && S_ISREG(st.st_mode);
}

const char* FirstExisting(std::initializer_list<const char*> paths) {
  for (const char* p : paths)
    if (IsFile(p)) return p;
  return nullptr;
}

const char* DejaVu(bool bold) {
  return bold ? FirstExisting({"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
                               "/usr/share/fonts/TTF/DejaVuSans-Bold.ttf",
                               "/usr/share/fonts/dejavu/DejaVuSans-Bold.ttf",
                               "/usr/share/fonts/dejavu-sans-fonts/DejaVuSans-Bold.ttf"})
              : FirstExisting({"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                               "/usr/share/fonts/TTF/DejaVuSans.ttf",
                               "/usr/share/fonts/dejavu/DejaVuSans.ttf",
                               "/usr/share/fonts/dejavu-sans-fonts/DejaVuSans.ttf"});
}

const char* Liberation(bool bold) {
  return bold ? FirstExisting({"/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
                               "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
                               "/usr/share/fonts/liberation-sans/LiberationSans-Bold.ttf",
                               "/usr/share/fonts/liberation/LiberationSans-Bold.ttf",
                               "/usr/share/fonts/TTF/LiberationSans-Bold.ttf"})
              : FirstExisting({"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
                               "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
                               "/usr/share/fonts/liberation-sans/LiberationSans-Regular.ttf",
                               "/usr/share/fonts/liberation/LiberationSans-Regular.ttf",
                               "/usr/share/fonts/TTF/LiberationSans-Regular.ttf"});
}

const char* FontFile(const FontSpec& f) {
  std::string face = f.face;
  for (char& c : face) c = char(std::tolower(static_cast<unsigned char>(c)));
  if (face == "arial")
    if (const char* p = Liberation(f.bold)) return p;
  return DejaVu(f.bold);
}

// Open fonts, kept for the life of the process; one per file and pixel height.
class FontCache {
 public:
  TTF_Font* Get(const FontSpec& spec) {
    std::lock_guard<std::mutex> lock(mu_);
    if (!TTF_WasInit() && TTF_Init() != 0) return nullptr;
    const char* file = FontFile(spec);
    if (!file) return nullptr;
    int px = std::clamp(spec.height_px, 1, 400);
    auto key = std::make_pair(std::string(file), px);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    TTF_Font* f = Open(file, px);
    fonts_[key] = f;  // a failure is remembered too, so it is not retried on every paint
    return f;
  }

 private:
  // A font height given in pixels is the character (em) height, as a negative Windows font height
  // means; at 72 dpi the point size is that pixel count.
  static TTF_Font* Open(const char* file, int px) { return TTF_OpenFont(file, px); }

  std::mutex mu_;
  std::map<std::pair<std::string, int>, TTF_Font*> fonts_;
};

FontCache& Fonts() {
  static FontCache* cache = new FontCache;  // never destroyed: fonts outlive static teardown
  return *cache;
}

}  // namespace

int Canvas::TextWidth(const std::string& utf8, const FontSpec& font) {
  if (utf8.empty()) return 0;
  TTF_Font* f = Fonts().Get(font);
  int w = 0, h = 0;
  if (!f || TTF_SizeUTF8(f, utf8.c_str(), &w, &h) != 0) return 0;
  return w;
}

void Canvas::Text(const std::string& utf8, const Rect& r, const FontSpec& font, TextAlign align) {
  if (utf8.empty() || r.empty()) return;
  TTF_Font* f = Fonts().Get(font);
  if (!f) return;
  SDL_Color col{font.color.r, font.color.g, font.color.b, 255};
  SDL_Surface* img = TTF_RenderUTF8_Blended(f, utf8.c_str(), col);
  if (!img) return;
  SDL_Surface* argb = img->format->format == SDL_PIXELFORMAT_ARGB8888
                          ? img
                          : SDL_ConvertSurfaceFormat(img, SDL_PIXELFORMAT_ARGB8888, 0);
  if (argb) {
    const int tw = argb->w, th = argb->h;
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
    if (SDL_MUSTLOCK(argb)) SDL_LockSurface(argb);
    for (int64_t py = t; py < b; ++py) {
      const uint32_t* in = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                             size_t(py - oy - y) * argb->pitch);
      uint32_t* out = s_.row(int(py));
      for (int64_t px = l; px < rr; ++px) {
        uint32_t s = in[px - ox - x];
        uint32_t a = s >> 24;
        if (a == 0) continue;
        uint32_t d = out[px];
        auto mix = [a](uint32_t sc, uint32_t dc) { return (sc * a + dc * (255 - a) + 127) / 255; };
        uint32_t rch = mix((s >> 16) & 0xFF, (d >> 16) & 0xFF);
        uint32_t gch = mix((s >> 8) & 0xFF, (d >> 8) & 0xFF);
        uint32_t bch = mix(s & 0xFF, d & 0xFF);
        out[px] = (rch << 16) | (gch << 8) | bch;
      }
    }
    if (SDL_MUSTLOCK(argb)) SDL_UnlockSurface(argb);
    if (argb != img) SDL_FreeSurface(argb);
  }
  SDL_FreeSurface(img);
}

}  // namespace plat
