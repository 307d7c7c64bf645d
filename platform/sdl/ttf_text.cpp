// The text engine on Linux: SDL2_ttf with Liberation Sans for "Arial" and DejaVu Sans for the rest.
#include <SDL_ttf.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <utility>

#include "platform/gdi/text.h"

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

class TtfEngine : public TextEngine {
 public:
  int Width(const std::string& utf8, const FontSpec& font) override {
    if (utf8.empty()) return 0;
    std::lock_guard<std::mutex> lock(mu_);
    TTF_Font* f = Get(font);
    int w = 0, h = 0;
    if (!f || TTF_SizeUTF8(f, utf8.c_str(), &w, &h) != 0) return 0;
    return w;
  }

  bool Render(const std::string& utf8, const FontSpec& font, TextMask* out) override {
    if (utf8.empty()) return false;
    std::lock_guard<std::mutex> lock(mu_);
    TTF_Font* f = Get(font);
    if (!f) return false;
    // Blended output is the colour given with the glyphs' coverage as alpha: white and its alpha is the mask.
    SDL_Surface* img = TTF_RenderUTF8_Blended(f, utf8.c_str(), SDL_Color{255, 255, 255, 255});
    if (!img) return false;
    SDL_Surface* argb = img->format->format == SDL_PIXELFORMAT_ARGB8888
                            ? img
                            : SDL_ConvertSurfaceFormat(img, SDL_PIXELFORMAT_ARGB8888, 0);
    bool ok = argb != nullptr;
    if (ok) {
      out->w = argb->w;
      out->h = argb->h;
      out->alpha.resize(size_t(argb->w) * size_t(argb->h));
      if (SDL_MUSTLOCK(argb)) SDL_LockSurface(argb);
      for (int y = 0; y < argb->h; ++y) {
        const uint32_t* in =
            reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + size_t(y) * argb->pitch);
        uint8_t* row = out->alpha.data() + size_t(y) * size_t(argb->w);
        for (int x = 0; x < argb->w; ++x) row[x] = uint8_t(in[x] >> 24);
      }
      if (SDL_MUSTLOCK(argb)) SDL_UnlockSurface(argb);
      if (argb != img) SDL_FreeSurface(argb);
    }
    SDL_FreeSurface(img);
    return ok;
  }

 private:
  // Open fonts, kept for the life of the process; one per file and pixel height. A failure is
  // remembered too, so it is not retried on every paint.
  TTF_Font* Get(const FontSpec& spec) {
    if (!TTF_WasInit() && TTF_Init() != 0) return nullptr;
    const char* file = FontFile(spec);
    if (!file) return nullptr;
    // The pixel height is the character (em) height, as a negative Windows font height means; at
    // 72 dpi the point size is that pixel count.
    const int px = std::clamp(spec.height_px, 1, 400);
    auto key = std::make_pair(std::string(file), px);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    TTF_Font* f = TTF_OpenFont(file, px);
    fonts_[key] = f;
    return f;
  }

  std::mutex mu_;
  std::map<std::pair<std::string, int>, TTF_Font*> fonts_;
};

}  // namespace

TextEngine& SystemTextEngine() {
  static TtfEngine* engine = new TtfEngine;  // never destroyed: fonts outlive static teardown
  return *engine;
}

}  // namespace plat
