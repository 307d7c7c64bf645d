// Supersampled shading and shape filling, shape tests, the stroke alphabet and a median-cut palette.
#include "tools/art/raster.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace ozzel::art {

plat::Bitmap Render(int w, int h, int ss, const Shader& shade) {
  plat::Bitmap out(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double r = 0, g = 0, b = 0;
      plat::Rgb first = shade(x + 0.5 / ss, y + 0.5 / ss);
      bool same = true;
      for (int j = 0; j < ss; ++j)
        for (int i = 0; i < ss; ++i) {
          plat::Rgb c = (i == 0 && j == 0) ? first : shade(x + (i + 0.5) / ss, y + (j + 0.5) / ss);
          same &= c == first;
          r += c.r, g += c.g, b += c.b;
        }
      double n = ss * ss;
      out.SetPixel(x, y, same ? first
                              : plat::Rgb{uint8_t(std::lround(r / n)), uint8_t(std::lround(g / n)),
                                          uint8_t(std::lround(b / n))});
    }
  return out;
}

plat::Bitmap RenderHard(int w, int h, const Shader& shade) {
  plat::Bitmap out(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out.SetPixel(x, y, shade(x + 0.5, y + 0.5));
  return out;
}

plat::Rgb Mix(plat::Rgb a, plat::Rgb b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto m = [t](uint8_t x, uint8_t y) { return uint8_t(std::lround(x + (y - x) * t)); };
  return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

plat::Rgb Scale(plat::Rgb c, double k) {
  auto s = [k](uint8_t v) { return uint8_t(std::clamp(std::lround(v * k), 0L, 255L)); };
  return {s(c.r), s(c.g), s(c.b)};
}

double Dist(Vec a, Vec b) { return std::hypot(a.x - b.x, a.y - b.y); }

double SegmentDistance(Vec p, Vec a, Vec b) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
  return Dist(p, {a.x + t * dx, a.y + t * dy});
}

bool InPolygon(Vec p, const std::vector<Vec>& poly) {
  bool in = false;
  for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    const Vec& a = poly[i];
    const Vec& b = poly[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
  }
  return in;
}

double PolygonEdgeDistance(Vec p, const std::vector<Vec>& poly) {
  double d = 1e9;
  for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) d = std::min(d, SegmentDistance(p, poly[j], poly[i]));
  return d;
}

bool InEllipse(Vec p, Vec c, double rx, double ry) {
  double dx = (p.x - c.x) / rx, dy = (p.y - c.y) / ry;
  return dx * dx + dy * dy <= 1.0;
}

Canvas::Canvas(int w, int h, plat::Rgb fill) : w_(w), h_(h), px_(size_t(w) * h, fill.packed()) {}

void Canvas::Blend(int x, int y, plat::Rgb c, double a) {
  if (x < 0 || y < 0 || x >= w_ || y >= h_ || a <= 0) return;
  Set(x, y, a >= 1 ? c : Mix(At(x, y), c, a));
}

void Canvas::Fill(double x0, double y0, double x1, double y1, const std::function<bool(double, double)>& inside,
                  plat::Rgb c, double alpha) {
  const int ix0 = std::max(0, int(std::floor(x0))), iy0 = std::max(0, int(std::floor(y0)));
  const int ix1 = std::min(w_ - 1, int(std::ceil(x1))), iy1 = std::min(h_ - 1, int(std::ceil(y1)));
  constexpr int kSs = 4;
  for (int y = iy0; y <= iy1; ++y)
    for (int x = ix0; x <= ix1; ++x) {
      if (!aa_) {
        if (inside(x + 0.5, y + 0.5)) Blend(x, y, c, alpha);
        continue;
      }
      // Pixels wholly inside or outside (corners and centre agree) need no further samples.
      const int probe = inside(x + 0.5, y + 0.5) + inside(x + 0.02, y + 0.02) + inside(x + 0.98, y + 0.02) +
                        inside(x + 0.02, y + 0.98) + inside(x + 0.98, y + 0.98);
      if (probe == 0) continue;
      if (probe == 5) {
        Blend(x, y, c, alpha);
        continue;
      }
      int hits = 0;
      for (int sy = 0; sy < kSs; ++sy)
        for (int sx = 0; sx < kSs; ++sx) hits += inside(x + (sx + 0.5) / kSs, y + (sy + 0.5) / kSs);
      if (hits) Blend(x, y, c, alpha * hits / double(kSs * kSs));
    }
}

void Canvas::Rect(double x, double y, double w, double h, plat::Rgb c, double alpha) {
  Fill(x, y, x + w, y + h, [&](double px, double py) { return px >= x && px < x + w && py >= y && py < y + h; }, c,
       alpha);
}

void Canvas::Ellipse(double cx, double cy, double rx, double ry, plat::Rgb c, double alpha) {
  Ellipse(cx, cy, rx, ry, 0.0, c, alpha);
}

void Canvas::Ellipse(double cx, double cy, double rx, double ry, double angle, plat::Rgb c, double alpha) {
  if (rx <= 0 || ry <= 0) return;
  const double ca = std::cos(angle), sa = std::sin(angle), r = std::max(rx, ry);
  Fill(cx - r, cy - r, cx + r, cy + r,
       [&](double x, double y) {
         const double dx = x - cx, dy = y - cy;
         return InEllipse({dx * ca + dy * sa, -dx * sa + dy * ca}, {0, 0}, rx, ry);
       },
       c, alpha);
}

void Canvas::Polygon(const std::vector<Vec>& pts, plat::Rgb c, double alpha) {
  if (pts.size() < 3) return;
  double x0 = pts[0].x, x1 = x0, y0 = pts[0].y, y1 = y0;
  for (const Vec& p : pts) {
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  }
  Fill(x0, y0, x1, y1, [&](double x, double y) { return InPolygon({x, y}, pts); }, c, alpha);
}

void Canvas::Line(Vec a, Vec b, double width, plat::Rgb c, double alpha) {
  const double r = width / 2;
  Fill(std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r, std::max(a.y, b.y) + r,
       [&](double x, double y) { return SegmentDistance({x, y}, a, b) <= r; }, c, alpha);
}

void Canvas::RoundRect(double x, double y, double w, double h, double r, plat::Rgb c, double alpha) {
  Fill(x, y, x + w, y + h,
       [&](double px, double py) {
         if (px < x || py < y || px >= x + w || py >= y + h) return false;
         const double cx = std::clamp(px, x + r, x + w - r), cy = std::clamp(py, y + r, y + h - r);
         return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= r * r;
       },
       c, alpha);
}

void Canvas::Gradient(int y0, int y1, plat::Rgb top, plat::Rgb bottom) {
  y0 = std::max(0, y0), y1 = std::min(h_, y1);
  for (int y = y0; y < y1; ++y) {
    const plat::Rgb c = Mix(top, bottom, y1 - y0 > 1 ? double(y - y0) / (y1 - y0 - 1) : 0.0);
    for (int x = 0; x < w_; ++x) Set(x, y, c);
  }
}

void Canvas::Composite(const std::vector<uint32_t>& rgba, int w, int h, int x, int y) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      const uint32_t p = rgba[size_t(j) * w + i];
      const uint32_t a = p >> 24;
      if (a) Blend(x + i, y + j, plat::Rgb::FromPacked(p & 0xFFFFFF), a / 255.0);
    }
}

plat::Bitmap Canvas::ToBitmap() const {
  plat::Bitmap b(w_, h_);
  for (int y = 0; y < h_; ++y) std::copy(px_.begin() + size_t(y) * w_, px_.begin() + size_t(y + 1) * w_, b.row(y));
  return b;
}

Strokes Glyph(char c) {
  switch (c) {
    case 'K': return {{{0, 0}, {0, 1}}, {{0.95, 0}, {0.05, 0.55}}, {{0.3, 0.4}, {0.95, 1}}};
    case 'O': {
      std::vector<Vec> ring;
      for (int i = 0; i <= 24; ++i) {
        double a = i * 2 * M_PI / 24;
        ring.push_back({0.5 + 0.5 * std::cos(a), 0.5 + 0.5 * std::sin(a)});
      }
      return {ring};
    }
    case 'N': return {{{0, 1}, {0, 0}, {1, 1}, {1, 0}}};
    case 'E': return {{{1, 0}, {0, 0}, {0, 1}, {1, 1}}, {{0, 0.5}, {0.8, 0.5}}};
    case 'C': {
      std::vector<Vec> arc;
      for (int i = 0; i <= 18; ++i) {
        double a = M_PI / 4 + i * (1.5 * M_PI) / 18;
        arc.push_back({0.55 + 0.5 * std::cos(a), 0.5 - 0.5 * std::sin(a)});
      }
      return {arc};
    }
    case 'B':
      return {{{0, 0}, {0, 1}},
              {{0, 0}, {0.6, 0}, {0.85, 0.08}, {0.9, 0.25}, {0.8, 0.42}, {0.55, 0.48}, {0, 0.48}},
              {{0.55, 0.48}, {0.85, 0.55}, {1, 0.75}, {0.9, 0.93}, {0.65, 1}, {0, 1}}};
    case 'M': return {{{0, 1}, {0, 0}, {0.5, 0.6}, {1, 0}, {1, 1}}};
    case 'I': return {{{0.5, 0}, {0.5, 1}}};
    case 'F': return {{{1, 0}, {0, 0}, {0, 1}}, {{0, 0.5}, {0.8, 0.5}}};
    case 'D': {
      std::vector<Vec> bow{{0, 0}};
      for (int i = 0; i <= 12; ++i) {
        double a = -M_PI / 2 + i * M_PI / 12;
        bow.push_back({0.45 + 0.55 * std::cos(a), 0.5 + 0.5 * std::sin(a)});
      }
      bow.push_back({0, 1});
      bow.push_back({0, 0});
      return {bow};
    }
    case '4': return {{{0.7, 1}, {0.7, 0}, {0, 0.68}, {1, 0.68}}};
    default: return {};
  }
}

double TextDistance(Vec p, const std::string& text, double x, double y, double cell_w, double cell_h, double gap) {
  double d = 1e9;
  for (size_t i = 0; i < text.size(); ++i) {
    double ox = x + i * (cell_w + gap);
    for (const auto& line : Glyph(text[i]))
      for (size_t k = 1; k < line.size(); ++k)
        d = std::min(d, SegmentDistance(p, {ox + line[k - 1].x * cell_w, y + line[k - 1].y * cell_h},
                                        {ox + line[k].x * cell_w, y + line[k].y * cell_h}));
  }
  return d;
}

int CountColours(const plat::Bitmap& b) {
  std::set<uint32_t> s(b.pixels().begin(), b.pixels().end());
  return int(s.size());
}

namespace {

struct Entry {
  uint32_t colour;
  uint64_t count;
  int ch(int c) const { return int((colour >> (16 - 8 * c)) & 0xFF); }
};

struct BoxRange {
  size_t lo, hi;  // entries [lo, hi)
};

}  // namespace

plat::Bitmap Palettise(const plat::Bitmap& src, int max_colours, const std::vector<plat::Rgb>& reserved) {
  std::set<uint32_t> keep;
  for (plat::Rgb r : reserved) keep.insert(r.packed());
  std::map<uint32_t, uint64_t> counts;
  std::set<uint32_t> reserved_used;
  for (uint32_t p : src.pixels()) {
    if (keep.count(p))
      reserved_used.insert(p);
    else
      ++counts[p];
  }
  int budget = std::max(1, max_colours - int(reserved_used.size()));
  if (int(counts.size()) <= budget) return src;

  std::vector<Entry> e;
  for (auto [c, n] : counts) e.push_back({c, n});
  std::vector<BoxRange> boxes{{0, e.size()}};
  auto spread = [&](const BoxRange& b, int& channel) {
    int best = -1;
    for (int c = 0; c < 3; ++c) {
      int lo = 255, hi = 0;
      for (size_t i = b.lo; i < b.hi; ++i) lo = std::min(lo, e[i].ch(c)), hi = std::max(hi, e[i].ch(c));
      if (hi - lo > best) best = hi - lo, channel = c;
    }
    return best;
  };
  while (int(boxes.size()) < budget) {
    // Split the box whose colours spread widest, weighted by how many pixels it holds.
    int pick = -1, channel = 0;
    double score = -1;
    for (int i = 0; i < int(boxes.size()); ++i) {
      if (boxes[i].hi - boxes[i].lo < 2) continue;
      int ch = 0;
      uint64_t n = 0;
      for (size_t k = boxes[i].lo; k < boxes[i].hi; ++k) n += e[k].count;
      double s = spread(boxes[i], ch) * std::sqrt(double(n));
      if (s > score) score = s, pick = i, channel = ch;
    }
    if (pick < 0) break;
    BoxRange b = boxes[pick];
    std::stable_sort(e.begin() + b.lo, e.begin() + b.hi, [channel](const Entry& x, const Entry& y) {
      return x.ch(channel) != y.ch(channel) ? x.ch(channel) < y.ch(channel) : x.colour < y.colour;
    });
    uint64_t total = 0, acc = 0;
    for (size_t k = b.lo; k < b.hi; ++k) total += e[k].count;
    size_t cut = b.lo + 1;
    for (size_t k = b.lo; k < b.hi - 1; ++k) {
      acc += e[k].count;
      cut = k + 1;
      if (acc * 2 >= total) break;
    }
    boxes[pick] = {b.lo, cut};
    boxes.push_back({cut, b.hi});
  }
  std::map<uint32_t, uint32_t> map;
  for (const BoxRange& b : boxes) {
    double r = 0, g = 0, bl = 0, n = 0;
    for (size_t k = b.lo; k < b.hi; ++k) {
      double w = double(e[k].count);
      r += e[k].ch(0) * w, g += e[k].ch(1) * w, bl += e[k].ch(2) * w, n += w;
    }
    plat::Rgb rep{uint8_t(std::lround(r / n)), uint8_t(std::lround(g / n)), uint8_t(std::lround(bl / n))};
    while (keep.count(rep.packed())) rep.r = rep.r > 0 ? uint8_t(rep.r - 1) : uint8_t(rep.r + 1);
    for (size_t k = b.lo; k < b.hi; ++k) map[e[k].colour] = rep.packed();
  }
  plat::Bitmap out = src;
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) {
      uint32_t& p = out.row(y)[x];
      if (!keep.count(p)) p = map[p];
    }
  return out;
}

double PeriodicNoise(double x, double y, int period, int cells, unsigned seed) {
  auto hash = [seed](int i, int j) {
    uint32_t h = uint32_t(i) * 374761393u + uint32_t(j) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
  };
  double fx = x / period * cells, fy = y / period * cells;
  int ix = int(std::floor(fx)), iy = int(std::floor(fy));
  double tx = fx - ix, ty = fy - iy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  auto at = [&](int i, int j) { return hash(((i % cells) + cells) % cells, ((j % cells) + cells) % cells); };
  double a = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * tx;
  double b = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * tx;
  return a + (b - a) * ty;
}

}  // namespace ozzel::art
