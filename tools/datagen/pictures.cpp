// Procedural scenes, the intro picture and the animal pictures; animals come from the shared art library.
#include "tools/datagen/pictures.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <regex>

#include "game/sets.h"
#include "tools/art/animals.h"
#include "tools/datagen/error.h"
#include "tools/datagen/stages.h"
#include "tools/art/raster.h"
#include "tools/datagen/texts.h"

namespace datagen {

using ozzel::art::Canvas;
using ozzel::art::Mix;
using ozzel::art::Pt;

using ozzel::art::RgbaImage;
using plat::Rgb;

namespace {

constexpr double kPi = 3.14159265358979323846;

// Deterministic scatter for flowers and grass.
class Scatter {
 public:
  explicit Scatter(uint32_t seed) : x_(seed * 2654435761u + 12345) {}
  double Next() {
    x_ = x_ * 1664525u + 1013904223u;
    return double(x_ >> 8) / double(1u << 24);
  }
  double In(double a, double b) { return a + (b - a) * Next(); }

 private:
  uint32_t x_;
};

// Light and dark shades of each scene's button colour (red, yellow, green, cyan).
Rgb SetColour(int set) {
  static const std::array<Rgb, 5> c = {Rgb{}, Rgb{230, 50, 50}, Rgb{240, 190, 20}, Rgb{50, 170, 60},
                                       Rgb{20, 180, 210}};
  return c[size_t(set)];
}
Rgb SetDark(int set) { return Mix(SetColour(set), Rgb{0, 0, 0}, 0.45); }
Rgb SetLight(int set) { return Mix(SetColour(set), Rgb{255, 255, 255}, 0.82); }

// ---- text -------------------------------------------------------------------------------------

}  // namespace

std::string BoldFontFile() {
  static const char* paths[] = {"/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
                                "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
                                "/usr/share/fonts/liberation-sans/LiberationSans-Bold.ttf",
                                "/usr/share/fonts/TTF/LiberationSans-Bold.ttf"};
  for (const char* p : paths) {
    struct stat st;
    if (::stat(p, &st) == 0 && S_ISREG(st.st_mode)) return p;
  }
  throw Error("font Liberation Sans Bold not found (package fonts-liberation2)");
}

namespace {

TTF_Font* BoldFont(int pt) {
  // Open for the life of the process; never destroyed, so the fonts stay reachable at exit.
  static auto& fonts = *new std::map<int, TTF_Font*>;
  if (auto it = fonts.find(pt); it != fonts.end()) return it->second;
  if (!TTF_WasInit() && TTF_Init() != 0) throw Error(std::string("SDL2_ttf cannot start: ") + TTF_GetError());
  TTF_Font* f = TTF_OpenFont(BoldFontFile().c_str(), pt);
  if (!f) throw Error(std::string("SDL2_ttf cannot open Liberation Sans Bold: ") + TTF_GetError());
  fonts[pt] = f;
  return f;
}

RgbaImage FromSurface(SDL_Surface* s) {
  if (!s) throw Error(std::string("SDL2_ttf cannot render text: ") + TTF_GetError());
  std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> conv(SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0),
                                                           SDL_FreeSurface);
  SDL_FreeSurface(s);
  if (!conv) throw Error("cannot convert rendered text");
  RgbaImage img{conv->w, conv->h, std::vector<uint32_t>(size_t(conv->w) * conv->h)};
  for (int y = 0; y < conv->h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(conv->pixels) + y * conv->pitch);
    std::copy(row, row + conv->w, img.argb.begin() + size_t(y) * conv->w);
  }
  return img;
}

// Text filled with fill and ringed by outline_px of outline.
RgbaImage TextImage(const std::string& utf8, int pt, Rgb fill, Rgb outline, int outline_px) {
  // One font engine for every thread making pictures.
  static std::mutex mu;
  std::lock_guard<std::mutex> lock(mu);
  TTF_Font* f = BoldFont(pt);
  TTF_SetFontOutline(f, outline_px);
  RgbaImage ring = FromSurface(TTF_RenderUTF8_Blended(f, utf8.c_str(), SDL_Color{outline.r, outline.g, outline.b, 255}));
  TTF_SetFontOutline(f, 0);
  RgbaImage body = FromSurface(TTF_RenderUTF8_Blended(f, utf8.c_str(), SDL_Color{fill.r, fill.g, fill.b, 255}));
  // Body over ring, straight alpha.
  for (int y = 0; y < body.h; ++y)
    for (int x = 0; x < body.w; ++x) {
      const int rx = x + outline_px, ry = y + outline_px;
      if (rx >= ring.w || ry >= ring.h) continue;
      const uint32_t s = body.at(x, y), d = ring.at(rx, ry);
      const double sa = (s >> 24) / 255.0, da = (d >> 24) / 255.0, oa = sa + da * (1 - sa);
      if (oa <= 0) continue;
      auto ch = [&](int sh) {
        const double v = (((s >> sh) & 255) * sa + ((d >> sh) & 255) * da * (1 - sa)) / oa;
        return uint32_t(std::lround(v)) << sh;
      };
      ring.argb[size_t(ry) * ring.w + rx] = (uint32_t(std::lround(oa * 255)) << 24) | ch(16) | ch(8) | ch(0);
    }
  return ring;
}

void DrawImage(Canvas& c, const RgbaImage& img, int x, int y) { c.Composite(img.argb, img.w, img.h, x, y); }

// Text centred on (cx, cy), shrunk until it fits max_w.
void Caption(Canvas& c, const std::string& utf8, int pt, Rgb fill, Rgb outline, int outline_px, int cx, int cy,
             int max_w) {
  RgbaImage t = TextImage(utf8, pt, fill, outline, outline_px);
  while (t.w > max_w && pt > 8) {
    pt = pt * 9 / 10;
    t = TextImage(utf8, pt, fill, outline, std::max(1, outline_px * 9 / 10));
  }
  DrawImage(c, t, cx - t.w / 2, cy - t.h / 2);
}

// ---- images -----------------------------------------------------------------------------------

RgbaImage FromBitmap(const plat::Bitmap& b, int x0, int y0, int w, int h) {
  RgbaImage img{w, h, std::vector<uint32_t>(size_t(w) * h)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.argb[size_t(y) * w + x] = 0xFF000000u | b.row(y0 + y)[x0 + x];
  return img;
}

// ---- scene backgrounds ------------------------------------------------------------------------

void Flowers(Canvas& c, Scatter& r, int count, int y0, int y1) {
  static const Rgb petals[] = {{255, 255, 255}, {255, 120, 160}, {255, 220, 60}, {170, 120, 255}};
  for (int i = 0; i < count; ++i) {
    const double x = r.In(4, 636), y = r.In(y0, y1);
    const Rgb p = petals[i % 4];
    for (int k = 0; k < 5; ++k) {
      const double a = k * 2 * kPi / 5;
      c.Ellipse(x + 3 * std::cos(a), y + 3 * std::sin(a), 2.4, 2.4, p);
    }
    c.Ellipse(x, y, 1.8, 1.8, Rgb{255, 190, 40});
  }
}

void GrassTufts(Canvas& c, Scatter& r, int count, int y0, int y1, Rgb colour) {
  for (int i = 0; i < count; ++i) {
    const double x = r.In(0, 640), y = r.In(y0, y1);
    for (int k = -1; k <= 1; ++k) c.Line({x, y}, {x + k * 4, y - 8 - (k == 0) * 3}, 1.6, colour);
  }
}

void Cloud(Canvas& c, double x, double y, double s) {
  const Rgb w{255, 255, 255};
  c.Ellipse(x, y, 26 * s, 14 * s, w);
  c.Ellipse(x - 20 * s, y + 4 * s, 18 * s, 11 * s, w);
  c.Ellipse(x + 22 * s, y + 4 * s, 18 * s, 10 * s, w);
  c.Ellipse(x + 4 * s, y - 9 * s, 16 * s, 12 * s, w);
}

void Sun(Canvas& c, double x, double y, double r, Rgb body, Rgb rays) {
  for (int k = 0; k < 12; ++k) {
    const double a = k * kPi / 6;
    c.Line({x + std::cos(a) * (r + 5), y + std::sin(a) * (r + 5)}, {x + std::cos(a) * (r + 16), y + std::sin(a) * (r + 16)},
           4, rays);
  }
  c.Ellipse(x, y, r, r, body);
}

void Tree(Canvas& c, double x, double top, double bottom, double crown, Rgb leaves) {
  c.Rect(x - crown * 0.16, top + crown * 0.6, crown * 0.32, bottom - top - crown * 0.6, Rgb{112, 100, 88});
  c.Ellipse(x, top + crown * 0.55, crown, crown * 0.72, Mix(leaves, Rgb{0, 0, 0}, 0.15));
  c.Ellipse(x - crown * 0.35, top + crown * 0.7, crown * 0.65, crown * 0.5, leaves);
  c.Ellipse(x + crown * 0.4, top + crown * 0.45, crown * 0.6, crown * 0.5, Mix(leaves, Rgb{255, 255, 255}, 0.12));
}

void Home(Canvas& c) {
  // Cool wallpaper, so that cream and orange animals stand out against it.
  c.Gradient(0, 240, {206, 232, 250}, {184, 216, 244});
  for (int x = 10; x < 640; x += 40) c.Rect(x, 0, 14, 232, {160, 200, 240}, 0.35);
  c.Gradient(240, 410, {220, 166, 108}, {190, 132, 80});
  for (int y : {268, 302, 342, 388}) c.Rect(0, y, 640, 2, {160, 108, 64});
  for (int i = 0; i < 16; ++i) c.Rect(20 + i * 40 + (i % 2) * 17, 242 + (i % 4) * 36, 2, 26, {170, 116, 70});
  c.Rect(0, 230, 640, 12, {255, 252, 244});
  // Window with curtains, the bird flying in front of it.
  c.RoundRect(66, 20, 136, 116, 6, {255, 255, 255});
  c.Rect(74, 28, 120, 100, {150, 212, 255});
  Cloud(c, 110, 60, 0.7);
  Cloud(c, 170, 100, 0.5);
  c.Rect(132, 28, 4, 100, {255, 255, 255});
  c.Rect(74, 76, 120, 4, {255, 255, 255});
  c.Polygon({{52, 12}, {84, 12}, {72, 80}, {80, 150}, {48, 150}}, {232, 80, 90});
  c.Polygon({{184, 12}, {216, 12}, {220, 150}, {188, 150}, {196, 80}}, {232, 80, 90});
  c.Rect(44, 8, 180, 8, {160, 100, 60});
  // Shelf for the hamster, a picture on the wall, a rug.
  c.Rect(262, 128, 122, 9, {156, 100, 58});
  c.Polygon({{276, 137}, {290, 137}, {276, 152}}, {140, 90, 50});
  c.Polygon({{356, 137}, {370, 137}, {370, 152}}, {140, 90, 50});
  c.RoundRect(404, 40, 84, 66, 4, {190, 130, 70});
  c.Rect(412, 48, 68, 50, {176, 226, 150});
  Sun(c, 446, 68, 9, {255, 220, 60}, {255, 200, 40});
  c.Ellipse(330, 345, 196, 52, {110, 160, 225});
  c.Ellipse(330, 345, 168, 40, {150, 196, 245});
  c.Ellipse(330, 345, 120, 26, {190, 220, 250});
}

void Farm(Canvas& c) {
  Scatter r(2);
  c.Gradient(0, 170, {118, 194, 250}, {206, 238, 255});
  Sun(c, 110, 40, 24, {255, 224, 70}, {255, 200, 40});
  Cloud(c, 330, 34, 0.9);
  Cloud(c, 640 - 40, 150, 0.6);
  c.Ellipse(150, 190, 280, 80, {140, 206, 96});
  c.Ellipse(520, 180, 260, 70, {124, 194, 84});
  // The cow grazes on a hill of its own, so it stands on grass instead of floating in the sky.
  c.Ellipse(540, 206, 140, 86, {132, 202, 90});
  c.Ellipse(532, 124, 62, 4, {112, 178, 74});
  c.Gradient(160, 410, {150, 212, 100}, {108, 180, 70});
  // Red barn.
  c.Rect(196, 70, 140, 90, {200, 50, 40});
  c.Polygon({{186, 74}, {266, 24}, {346, 74}}, {140, 40, 30});
  c.Rect(244, 104, 44, 56, {250, 240, 220});
  c.Line({244, 104}, {288, 160}, 3, {200, 50, 40});
  c.Line({288, 104}, {244, 160}, 3, {200, 50, 40});
  // Fence.
  for (double y : {196.0, 216.0}) c.Line({0, y}, {640, y}, 5, {176, 124, 72});
  for (int x = 10; x < 640; x += 42) c.RoundRect(x, 184, 8, 48, 3, {150, 100, 56});
  // Path and pond.
  c.Polygon({{330, 232}, {370, 232}, {470, 410}, {300, 410}}, {206, 196, 176});
  c.Ellipse(150, 342, 122, 52, {84, 156, 228});
  c.Ellipse(140, 334, 94, 34, {126, 188, 246});
  GrassTufts(c, r, 60, 240, 405, {90, 160, 60});
  Flowers(c, r, 24, 240, 405);
}

void Forest(Canvas& c) {
  Scatter r(3);
  c.Gradient(0, 210, {160, 216, 250}, {216, 240, 255});
  for (int i = 0; i < 12; ++i) {  // far pines
    const double x = 20 + i * 56, h = 90 + (i * 37) % 50;
    c.Polygon({{x, 210 - h}, {x + 30, 210}, {x - 30, 210}}, {74, 140, 86});
  }
  c.Gradient(200, 410, {112, 182, 80}, {70, 140, 50});
  Tree(c, 72, 10, 230, 70, {70, 160, 70});
  Tree(c, 327, 4, 230, 62, {84, 170, 70});
  c.Ellipse(327, 96, 10, 13, {60, 36, 20});  // the owl's hollow
  Tree(c, 520, 2, 250, 72, {64, 150, 64});
  Tree(c, 620, 40, 240, 40, {90, 176, 80});
  for (double x : {200.0, 440.0, 610.0}) {
    c.Ellipse(x, 250, 46, 24, {60, 140, 56});
    c.Ellipse(x + 22, 244, 30, 20, {80, 160, 66});
  }
  for (const auto& [x, y] : std::array<std::pair<double, double>, 3>{{{430, 300}, {280, 310}, {600, 402}}}) {
    c.Rect(x - 3, y - 4, 6, 10, {250, 240, 220});
    c.Ellipse(x, y - 6, 10, 6, {220, 40, 40});
    c.Ellipse(x - 4, y - 8, 1.8, 1.5, {255, 255, 255});
    c.Ellipse(x + 4, y - 7, 1.8, 1.5, {255, 255, 255});
  }
  GrassTufts(c, r, 70, 225, 405, {60, 130, 44});
  Flowers(c, r, 18, 230, 405);
}

void Safari(Canvas& c) {
  Scatter r(4);
  c.Gradient(0, 180, {255, 204, 126}, {255, 242, 204});
  Sun(c, 300, 62, 32, {255, 160, 60}, {255, 190, 90});
  // Green savanna, so that the tawny cats stand out from it.
  c.Ellipse(330, 204, 420, 50, {168, 190, 120});
  c.Gradient(176, 410, {212, 214, 130}, {184, 196, 98});
  // Acacia.
  c.Line({300, 178}, {292, 122}, 8, {112, 80, 50});
  c.Line({294, 140}, {262, 118}, 5, {112, 80, 50});
  c.Line({296, 136}, {330, 116}, 5, {112, 80, 50});
  c.Ellipse(292, 108, 74, 15, {110, 150, 60});
  c.Ellipse(254, 116, 40, 11, {124, 164, 70});
  c.Ellipse(334, 114, 42, 11, {124, 164, 70});
  // The kangaroo's shadow on the ground, well under its feet: it is caught mid-hop.
  c.Ellipse(432, 276, 52, 6, {170, 180, 96});
  c.Ellipse(100, 362, 104, 34, {96, 168, 220});
  c.Ellipse(92, 356, 78, 22, {136, 196, 238});
  GrassTufts(c, r, 90, 190, 405, {150, 150, 60});
}

}  // namespace

plat::Bitmap SceneBackground(int set) {
  Canvas c(kSceneW, kSceneH, Rgb{255, 255, 255});
  switch (set) {
    case 1: Home(c); break;
    case 2: Farm(c); break;
    case 3: Forest(c); break;
    case 4: Safari(c); break;
    default: throw Error("no scene " + std::to_string(set));
  }
  return c.ToBitmap();
}

plat::Bitmap ScenePicture(int set) {
  static std::mutex mu;
  static std::map<int, plat::Bitmap> cache;  // the intro reuses the scenes
  {
    std::lock_guard<std::mutex> lock(mu);
    if (auto it = cache.find(set); it != cache.end()) return it->second;
  }
  {
    StageTimer t(Stage::kHitMaps);  // the animals are fitted to the scene's hit map before they are drawn
    ozzel::art::SceneAnimals(set);
  }
  plat::Bitmap b = SceneBackground(set);
  for (const ozzel::art::AnimalPlacement* p : ozzel::art::PlacementsInDrawingOrder(set))
    ozzel::art::CompositeOver(b, ozzel::art::DrawAnimalRGBA(*p), p->box.left, p->box.top);
  std::lock_guard<std::mutex> lock(mu);
  cache[set] = b;
  return b;
}

plat::Bitmap IntroPicture() {
  Canvas c(kIntroW, kIntroH, Rgb{255, 255, 255});
  const std::array<std::array<int, 4>, 5> quarters = {{{},
                                                       {0, 0, kIntroSplitX, kIntroSplitY},
                                                       {kIntroSplitX, 0, kIntroW - kIntroSplitX, kIntroSplitY},
                                                       {0, kIntroSplitY, kIntroSplitX, kIntroH - kIntroSplitY},
                                                       {kIntroSplitX, kIntroSplitY, kIntroW - kIntroSplitX,
                                                        kIntroH - kIntroSplitY}}};
  // A few animals of each scene, whole, standing in front of the scene's landscape; wide quarters hold four.
  const std::array<std::vector<int>, 5> wide = {{{}, {5, 3, 7, 6}, {1, 2, 8, 5}, {1, 2, 7, 3}, {3, 1, 6, 2}}};
  const std::array<std::vector<int>, 5> narrow = {{{}, {5, 7, 6}, {2, 8, 5}, {2, 1, 7}, {3, 1, 6}}};
  constexpr int kFrame = 6, kCaption = 30, kR = 10;
  for (int set = 1; set <= 4; ++set) {
    StageTimer t(Stage::kHitMaps);
    ozzel::art::SceneAnimals(set);
  }
  for (int set = 1; set <= 4; ++set) {
    const auto [qx, qy, qw, qh] = quarters[size_t(set)];
    c.Rect(qx, qy, qw, qh, SetColour(set));
    c.Rect(qx + 2, qy + 2, qw - 4, qh - 4, SetLight(set));
    // The landscape cut to the picture's shape around its middle, then scaled into the frame.
    const int iw = qw - 2 * kFrame, ih = qh - 2 * kFrame - kCaption;
    const plat::Bitmap scene = SceneBackground(set);
    int cw = kSceneW, ch = int(std::lround(double(kSceneW) * ih / iw));
    if (ch > kSceneH) ch = kSceneH, cw = int(std::lround(double(kSceneH) * iw / ih));
    RgbaImage mini = ozzel::art::Resample(FromBitmap(scene, (kSceneW - cw) / 2, (kSceneH - ch) / 2, cw, ch), iw, ih);
    const std::vector<int>& animals = qw > 260 ? wide[size_t(set)] : narrow[size_t(set)];
    // One scale for all of them, so that they keep their sizes in the scene; equal gaps between them.
    int sum_w = 0, max_h = 0;
    for (int n : animals) {
      const plat::Rect box = ozzel::art::FindPlacement(set, n)->box;
      sum_w += box.w, max_h = std::max(max_h, box.h);
    }
    const int gaps = int(animals.size()) + 1;
    const double k = std::min(double(iw - 4 * gaps) / sum_w, double(ih - 8) / max_h);
    int used = 0;
    for (int n : animals) used += int(ozzel::art::FindPlacement(set, n)->box.w * k);
    const int gap = (iw - used) / gaps;
    int left = gap;
    for (int n : animals) {
      const plat::Rect box = ozzel::art::FindPlacement(set, n)->box;
      const int w = int(box.w * k), h = int(box.h * k);
      const RgbaImage a = ozzel::art::DrawAnimalLarge(*ozzel::art::FindPlacement(set, n), w, h);
      for (int y = 0; y < a.h; ++y)
        for (int x = 0; x < a.w; ++x) {
          const uint32_t p = a.at(x, y);
          if (!(p >> 24)) continue;
          uint32_t& d = mini.argb[size_t(ih - 4 - h + y) * iw + (left + x)];
          const Rgb m = Mix(Rgb::FromPacked(d & 0xFFFFFF), Rgb::FromPacked(p & 0xFFFFFF), (p >> 24) / 255.0);
          d = 0xFF000000u | m.packed();
        }
      left += w + gap;
    }
    for (int y = 0; y < ih; ++y)
      for (int x = 0; x < iw; ++x) {
        const int dx = std::max({0, kR - x, x - (iw - 1 - kR)}), dy = std::max({0, kR - y, y - (ih - 1 - kR)});
        if (dx * dx + dy * dy > kR * kR) mini.argb[size_t(y) * iw + x] = 0;
      }
    DrawImage(c, mini, qx + kFrame, qy + kFrame);
    // The caption in its own band under the picture, clear of the frame.
    Caption(c, SceneName(set), 19, Rgb{255, 255, 255}, SetDark(set), 3, qx + qw / 2, qy + qh - kFrame - kCaption / 2,
            qw - 4 * kFrame);
  }
  return c.ToBitmap();
}

plat::Bitmap AnimalPicture(int set, int n) {
  const ozzel::art::AnimalPlacement* p = ozzel::art::FindPlacement(set, n);
  if (!p) throw Error("no animal " + std::to_string(n) + " in set " + std::to_string(set));
  {
    StageTimer t(Stage::kHitMaps);
    ozzel::art::SceneAnimals(set);
  }
  Canvas c(kSceneW, kSceneH, SetLight(set));
  // Soft rays from behind the animal, then a frame in the scene's colour. Every picture has the same
  // rays: they are worked out once.
  static const std::vector<bool> rays = [] {
    std::vector<bool> r(size_t(kSceneW) * kSceneH);
    for (int y = 0; y < kSceneH; ++y)
      for (int x = 0; x < kSceneW; ++x)
        r[size_t(y) * kSceneW + x] = int(std::floor((std::atan2(y - 150.0, x - 320.0) + kPi) * 8 / kPi)) % 2 == 0;
    return r;
  }();
  for (int y = 0; y < kSceneH; ++y)
    for (int x = 0; x < kSceneW; ++x)
      if (rays[size_t(y) * kSceneW + x]) c.Blend(x, y, Rgb{255, 255, 255}, 0.35);
  c.Ellipse(320, 152, 190, 132, Rgb{255, 255, 255}, 0.55);
  const RgbaImage animal = ozzel::art::DrawAnimalLarge(*p, 400, 256);
  c.Ellipse(320, 40 + 252, 150, 10, Rgb{0, 0, 0}, 0.18);
  DrawImage(c, animal, 320 - animal.w / 2, 40 + 256 - animal.h);
  Caption(c, PictureName(set, n), 64, Rgb{255, 255, 255}, SetDark(set), 5, 320, 346,
          600);
  // Frame last, so nothing covers it.
  Canvas framed = c;
  for (int y = 0; y < kSceneH; ++y)
    for (int x = 0; x < kSceneW; ++x) {
      const int d = std::min({x, y, kSceneW - 1 - x, kSceneH - 1 - y});
      if (d < 8) framed.Set(x, y, d < 2 ? SetDark(set) : SetColour(set));
    }
  return framed.ToBitmap();
}

plat::Bitmap MakePicture(const std::string& file_name) {
  StageTimer t(Stage::kPictures);
  std::string n = file_name;
  std::transform(n.begin(), n.end(), n.begin(), [](unsigned char ch) { return char(std::tolower(ch)); });
  if (n == "oz_uvod.bmp") return IntroPicture();
  std::smatch m;
  if (std::regex_match(n, m, std::regex(R"(([a-z]+)_(f|[0-9]{1,2})\.bmp)")))
    for (int set = 1; set <= 4; ++set) {
      if (ozzel::game::SetNames[set] != m[1].str()) continue;
      if (m[2] == "f") return ScenePicture(set);
      return AnimalPicture(set, std::stoi(m[2]));
    }
  throw Error("no picture for " + file_name);
}

}  // namespace datagen
