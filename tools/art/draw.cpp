// Animal drawings from the colour emoji font: rendering, smooth scaling, fitting into a scene box.
#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "tools/art/animals.h"

namespace ozzel::art {

namespace {

constexpr const char* kSystemEmojiFont = "/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf";
// The font carries bitmaps of this one size only.
constexpr int kEmojiSize = 109;

uint32_t DecodeUtf8(const std::string& s) {
  const auto* b = reinterpret_cast<const unsigned char*>(s.data());
  size_t n = s.size();
  if (n == 0) return 0;
  if (b[0] < 0x80) return b[0];
  if ((b[0] & 0xE0) == 0xC0 && n >= 2) return ((b[0] & 0x1Fu) << 6) | (b[1] & 0x3Fu);
  if ((b[0] & 0xF0) == 0xE0 && n >= 3) return ((b[0] & 0x0Fu) << 12) | ((b[1] & 0x3Fu) << 6) | (b[2] & 0x3Fu);
  if ((b[0] & 0xF8) == 0xF0 && n >= 4)
    return ((b[0] & 0x07u) << 18) | ((b[1] & 0x3Fu) << 12) | ((b[2] & 0x3Fu) << 6) | (b[3] & 0x3Fu);
  return 0;
}

// The font stays open for the life of the process: generators render dozens of animals.
TTF_Font* EmojiFont() {
  static TTF_Font* font = [] () -> TTF_Font* {
    if (!TTF_WasInit() && TTF_Init() != 0) return nullptr;
    return TTF_OpenFont(EmojiFontPath().c_str(), kEmojiSize);
  }();
  return font;
}

bool Provided(uint32_t cp) {
  TTF_Font* f = EmojiFont();
  return f && cp && TTF_GlyphIsProvided32(f, cp);
}

RgbaImage Mirror(const RgbaImage& src) {
  RgbaImage out = src;
  for (int y = 0; y < src.h; ++y)
    for (int x = 0; x < src.w; ++x) out.argb[size_t(y) * src.w + x] = src.at(src.w - 1 - x, y);
  return out;
}

// A plain rounded blob in the animal's colour, for a font without any usable glyph.
RgbaImage Blob(int w, int h, plat::Rgb c) {
  RgbaImage img{w, h, std::vector<uint32_t>(size_t(w) * h, 0)};
  double cx = w / 2.0, cy = h / 2.0, rx = w / 2.0, ry = h / 2.0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
      double d = (1.0 - std::sqrt(dx * dx + dy * dy)) * std::min(rx, ry);
      int a = int(std::clamp(d + 0.5, 0.0, 1.0) * 255 + 0.5);
      if (a > 0) img.argb[size_t(y) * w + x] = (uint32_t(a) << 24) | c.packed();
    }
  return img;
}

int SolidCount(const RgbaImage& img) {
  int n = 0;
  for (uint32_t p : img.argb) n += (p >> 24) >= kSolidAlpha;
  return n;
}

void FillRect(RgbaImage& img, int x0, int y0, int x1, int y1, uint32_t argb) {
  for (int y = std::max(0, y0); y < std::min(img.h, y1); ++y)
    for (int x = std::max(0, x0); x < std::min(img.w, x1); ++x) img.argb[size_t(y) * img.w + x] = argb;
}

// Source-over of src onto dst at (ox, oy), both non-premultiplied.
void Over(RgbaImage& dst, const RgbaImage& src, int ox, int oy) {
  for (int y = 0; y < src.h; ++y) {
    int dy = y + oy;
    if (dy < 0 || dy >= dst.h) continue;
    for (int x = 0; x < src.w; ++x) {
      int dx = x + ox;
      if (dx < 0 || dx >= dst.w) continue;
      uint32_t s = src.at(x, y);
      uint32_t sa = s >> 24;
      if (sa == 0) continue;
      uint32_t& d = dst.argb[size_t(dy) * dst.w + dx];
      uint32_t da = d >> 24;
      double as = sa / 255.0, ad = da / 255.0;
      double ao = as + ad * (1 - as);
      auto ch = [&](int shift) {
        double cs = (s >> shift) & 0xFF, cd = (d >> shift) & 0xFF;
        return uint32_t(std::lround((cs * as + cd * ad * (1 - as)) / ao));
      };
      d = (uint32_t(std::lround(ao * 255)) << 24) | (ch(16) << 16) | (ch(8) << 8) | ch(0);
    }
  }
}

// A wooden T-perch under a bird: pole down to the box's bottom, crossbar at the bird's feet, foot plate.
RgbaImage WithPerch(const RgbaImage& bird, int bw, int bh, int bird_x) {
  RgbaImage out{bw, bh, std::vector<uint32_t>(size_t(bw) * bh, 0)};
  const uint32_t wood = 0xFF8B5A2Bu, dark = 0xFF5E3A1Au;
  int bar_y = bird.h - 9;
  int cx = bw / 2;
  FillRect(out, cx - 4, bar_y, cx + 4, bh - 4, wood);
  FillRect(out, cx - 2, bar_y, cx - 1, bh - 4, dark);
  FillRect(out, bw / 8, bar_y, bw - bw / 8, bar_y + 7, wood);
  FillRect(out, bw / 8, bar_y + 5, bw - bw / 8, bar_y + 7, dark);
  FillRect(out, cx - bw / 4, bh - 6, cx + bw / 4, bh, dark);
  Over(out, bird, bird_x, 0);
  return out;
}

}  // namespace

std::string EmojiFontPath() {
  const char* env = std::getenv("OZZEL_EMOJI_FONT");
  return (env && *env) ? env : kSystemEmojiFont;
}

bool EmojiFontAvailable() { return EmojiFont() != nullptr; }

RgbaImage RenderEmoji(const std::string& utf8) {
  TTF_Font* f = EmojiFont();
  if (!f) throw ArtError("cannot open the emoji font " + EmojiFontPath());
  uint32_t cp = DecodeUtf8(utf8);
  if (!Provided(cp)) throw ArtError("the emoji font has no glyph for " + utf8);
  SDL_Surface* s = TTF_RenderGlyph32_Blended(f, cp, SDL_Color{255, 255, 255, 255});
  if (!s) throw ArtError(std::string("cannot render ") + utf8 + ": " + TTF_GetError());
  std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> conv(SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0),
                                                           SDL_FreeSurface);
  SDL_FreeSurface(s);
  if (!conv) throw ArtError(std::string("cannot convert ") + utf8);
  int x0 = conv->w, y0 = conv->h, x1 = -1, y1 = -1;
  auto px = [&](int x, int y) {
    return reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(conv->pixels) + y * conv->pitch)[x];
  };
  for (int y = 0; y < conv->h; ++y)
    for (int x = 0; x < conv->w; ++x)
      if (px(x, y) >> 24) {
        x0 = std::min(x0, x), x1 = std::max(x1, x);
        y0 = std::min(y0, y), y1 = std::max(y1, y);
      }
  if (x1 < 0) throw ArtError("empty glyph for " + utf8);
  RgbaImage img{x1 - x0 + 1, y1 - y0 + 1, {}};
  img.argb.resize(size_t(img.w) * img.h);
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      uint32_t p = px(x + x0, y + y0);
      img.argb[size_t(y) * img.w + x] = (p >> 24) ? p : 0;
    }
  return img;
}

RgbaImage Resample(const RgbaImage& src, int w, int h) {
  RgbaImage out{w, h, std::vector<uint32_t>(size_t(std::max(0, w)) * std::max(0, h), 0)};
  if (w <= 0 || h <= 0 || src.w <= 0 || src.h <= 0) return out;
  // Premultiplied floats, so transparent pixels lend no colour to the edges.
  std::vector<float> pre(size_t(src.w) * src.h * 4);
  for (size_t i = 0; i < src.argb.size(); ++i) {
    uint32_t p = src.argb[i];
    float a = float(p >> 24) / 255.f;
    pre[i * 4 + 0] = a;
    pre[i * 4 + 1] = float((p >> 16) & 0xFF) * a;
    pre[i * 4 + 2] = float((p >> 8) & 0xFF) * a;
    pre[i * 4 + 3] = float(p & 0xFF) * a;
  }
  struct Tap { int i; float w; };
  auto taps = [](int sn, int dn) {
    std::vector<std::vector<Tap>> all(dn);
    double scale = double(dn) / sn;
    double radius = scale < 1 ? 1.0 / scale : 1.0;
    for (int d = 0; d < dn; ++d) {
      double c = (d + 0.5) / scale - 0.5;
      int lo = int(std::floor(c - radius)), hi = int(std::ceil(c + radius));
      double sum = 0;
      for (int s = lo; s <= hi; ++s) {
        double wt = 1.0 - std::abs(s - c) / radius;
        if (wt <= 0) continue;
        int si = std::clamp(s, 0, sn - 1);
        all[d].push_back({si, float(wt)});
        sum += wt;
      }
      for (auto& t : all[d]) t.w = float(t.w / sum);
    }
    return all;
  };
  auto tx = taps(src.w, w), ty = taps(src.h, h);
  std::vector<float> mid(size_t(w) * src.h * 4, 0.f);
  for (int y = 0; y < src.h; ++y)
    for (int x = 0; x < w; ++x)
      for (const Tap& t : tx[x])
        for (int c = 0; c < 4; ++c) mid[(size_t(y) * w + x) * 4 + c] += pre[(size_t(y) * src.w + t.i) * 4 + c] * t.w;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float acc[4] = {0, 0, 0, 0};
      for (const Tap& t : ty[y])
        for (int c = 0; c < 4; ++c) acc[c] += mid[(size_t(t.i) * w + x) * 4 + c] * t.w;
      int a = std::clamp(int(std::lround(acc[0] * 255.f)), 0, 255);
      if (a == 0) continue;
      auto ch = [&](float v) { return uint32_t(std::clamp(int(std::lround(v / acc[0])), 0, 255)); };
      out.argb[size_t(y) * w + x] = (uint32_t(a) << 24) | (ch(acc[1]) << 16) | (ch(acc[2]) << 8) | ch(acc[3]);
    }
  return out;
}

RgbaImage DrawAnimalRGBA(const AnimalPlacement& p) {
  const int bw = p.box.w, bh = p.box.h;
  RgbaImage glyph;
  if (Provided(DecodeUtf8(p.emoji)))
    glyph = RenderEmoji(p.emoji);
  else if (p.fallback && Provided(DecodeUtf8(p.fallback)))
    glyph = RenderEmoji(p.fallback);
  else if (EmojiFont())
    glyph = Blob(std::max(8, bw), std::max(8, bh), p.colour);
  else
    throw ArtError("cannot open the emoji font " + EmojiFontPath());
  if (p.mirror) glyph = Mirror(glyph);

  // A perched bird leaves the lower part of its box to the perch.
  const int area_h = p.extra == Extra::kPerch ? bh * 3 / 4 : bh;
  // Fit keeping the glyph's proportions, then let the slack side stretch a little.
  double su = std::min(double(bw) / glyph.w, double(area_h) / glyph.h);
  double fw = std::min<double>(bw, glyph.w * su * p.max_stretch);
  double fh = std::min<double>(area_h, glyph.h * su * p.max_stretch);
  fw = std::max(fw, glyph.w * su);
  fh = std::max(fh, glyph.h * su);

  auto compose = [&](double k) {
    int tw = std::clamp(int(std::lround(fw * k)), 1, bw);
    int th = std::clamp(int(std::lround(fh * k)), 1, area_h);
    RgbaImage animal = Resample(glyph, tw, th);
    int x = (bw - tw) / 2;
    if (p.extra == Extra::kPerch) return WithPerch(animal, bw, bh, x);
    int y = p.anchor == Anchor::kBottom ? bh - th : p.anchor == Anchor::kCenter ? (bh - th) / 2 : 0;
    RgbaImage out{bw, bh, std::vector<uint32_t>(size_t(bw) * bh, 0)};
    Over(out, animal, x, y);
    return out;
  };
  // Shrink an animal that would come out much larger than the scene was designed around.
  double k = 1.0;
  RgbaImage img = compose(k);
  for (int i = 0; i < 3 && p.pixels > 0; ++i) {
    int n = SolidCount(img);
    if (n <= p.pixels * 1.08) break;
    k *= std::sqrt(double(p.pixels) / n);
    img = compose(k);
  }
  return img;
}

void CompositeOver(plat::Bitmap& dst, const RgbaImage& img, int ox, int oy) {
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      uint32_t s = img.at(x, y);
      uint32_t a = s >> 24;
      if (a == 0) continue;
      auto d = dst.PixelAt(x + ox, y + oy);
      if (!d) continue;
      auto mix = [&](uint32_t sc, uint8_t dc) { return uint8_t((sc * a + dc * (255 - a) + 127) / 255); };
      dst.SetPixel(x + ox, y + oy, {mix((s >> 16) & 0xFF, d->r), mix((s >> 8) & 0xFF, d->g), mix(s & 0xFF, d->b)});
    }
}

}  // namespace ozzel::art
