// Animals in colour from their fitted shapes, compositing, and smooth scaling of pictures.
#include <algorithm>
#include <cmath>

#include "tools/art/animals.h"

namespace ozzel::art {

namespace {

const SceneAnimal& Placed(const AnimalPlacement& p) {
  for (const SceneAnimal& a : SceneAnimals(p.set))
    if (a.placement == &p) return a;
  return SceneAnimals(p.set).front();  // every placement has its scene animal
}

}  // namespace

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
  const SceneAnimal& a = Placed(p);
  return DrawShape(a.shape, a.grow, p.box.left, p.box.top, p.box.w, p.box.h);
}

RgbaImage DrawAnimalLarge(const AnimalPlacement& p, int w, int h) {
  const SceneAnimal& a = Placed(p);
  const Box2 b = Bounds(a.shape);
  const double bw = b.x1 - b.x0 + 2 * a.grow, bh = b.y1 - b.y0 + 2 * a.grow;
  const double k = std::min((w - 2) / bw, (h - 2) / bh);
  const double ox = (w - bw * k) / 2 - (b.x0 - a.grow) * k, oy = h - 1 - bh * k - (b.y0 - a.grow) * k;
  return DrawShape(Mapped(a.shape, k, k, ox, oy), a.grow * k, 0, 0, w, h);
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
