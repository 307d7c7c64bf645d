// Coverage-sampled shape filling over a packed RGB buffer.
#include "tools/datagen/raster.h"

#include <algorithm>
#include <cmath>

namespace datagen {

using plat::Rgb;

Rgb Mix(Rgb a, Rgb b, double t) {
  auto m = [t](uint8_t x, uint8_t y) { return uint8_t(std::lround(x + (double(y) - x) * t)); };
  return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

Canvas::Canvas(int w, int h, Rgb fill) : w_(w), h_(h), px_(size_t(w) * h, fill.packed()) {}

void Canvas::Blend(int x, int y, Rgb c, double a) {
  if (x < 0 || y < 0 || x >= w_ || y >= h_ || a <= 0) return;
  if (a >= 1) {
    Set(x, y, c);
    return;
  }
  Set(x, y, Mix(At(x, y), c, a));
}

void Canvas::Fill(double x0, double y0, double x1, double y1, const std::function<bool(double, double)>& inside,
                  Rgb c, double alpha) {
  const int ix0 = std::max(0, int(std::floor(x0))), iy0 = std::max(0, int(std::floor(y0)));
  const int ix1 = std::min(w_ - 1, int(std::ceil(x1))), iy1 = std::min(h_ - 1, int(std::ceil(y1)));
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
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) hits += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
      if (hits) Blend(x, y, c, alpha * hits / 16.0);
    }
}

void Canvas::Rect(double x, double y, double w, double h, Rgb c, double alpha) {
  Fill(x, y, x + w, y + h, [&](double px, double py) { return px >= x && px < x + w && py >= y && py < y + h; }, c,
       alpha);
}

void Canvas::Ellipse(double cx, double cy, double rx, double ry, Rgb c, double alpha) {
  Ellipse(cx, cy, rx, ry, 0.0, c, alpha);
}

void Canvas::Ellipse(double cx, double cy, double rx, double ry, double angle, Rgb c, double alpha) {
  if (rx <= 0 || ry <= 0) return;
  const double ca = std::cos(angle), sa = std::sin(angle), r = std::max(rx, ry);
  Fill(cx - r, cy - r, cx + r, cy + r,
       [&](double x, double y) {
         const double dx = x - cx, dy = y - cy;
         const double u = (dx * ca + dy * sa) / rx, v = (-dx * sa + dy * ca) / ry;
         return u * u + v * v <= 1.0;
       },
       c, alpha);
}

void Canvas::Polygon(const std::vector<Pt>& pts, Rgb c, double alpha) {
  if (pts.size() < 3) return;
  double x0 = pts[0].x, x1 = x0, y0 = pts[0].y, y1 = y0;
  for (const Pt& p : pts) {
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  }
  Fill(x0, y0, x1, y1,
       [&](double x, double y) {
         bool in = false;  // even-odd rule
         for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
           const Pt &a = pts[i], &b = pts[j];
           if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
         }
         return in;
       },
       c, alpha);
}

void Canvas::Line(Pt a, Pt b, double width, Rgb c, double alpha) {
  const double r = width / 2, dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
  Fill(std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r, std::max(a.y, b.y) + r,
       [&](double x, double y) {
         double t = len2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / len2 : 0;
         t = std::clamp(t, 0.0, 1.0);
         const double ex = a.x + t * dx - x, ey = a.y + t * dy - y;
         return ex * ex + ey * ey <= r * r;
       },
       c, alpha);
}

void Canvas::RoundRect(double x, double y, double w, double h, double r, Rgb c, double alpha) {
  Fill(x, y, x + w, y + h,
       [&](double px, double py) {
         if (px < x || py < y || px >= x + w || py >= y + h) return false;
         const double cx = std::clamp(px, x + r, x + w - r), cy = std::clamp(py, y + r, y + h - r);
         return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= r * r;
       },
       c, alpha);
}

void Canvas::Gradient(int y0, int y1, Rgb top, Rgb bottom) {
  y0 = std::max(0, y0), y1 = std::min(h_, y1);
  for (int y = y0; y < y1; ++y) {
    const Rgb c = Mix(top, bottom, y1 - y0 > 1 ? double(y - y0) / (y1 - y0 - 1) : 0.0);
    for (int x = 0; x < w_; ++x) Set(x, y, c);
  }
}

void Canvas::Composite(const std::vector<uint32_t>& rgba, int w, int h, int x, int y) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      const uint32_t p = rgba[size_t(j) * w + i];
      const uint32_t a = p >> 24;
      if (a) Blend(x + i, y + j, Rgb::FromPacked(p & 0xFFFFFF), a / 255.0);
    }
}

plat::Bitmap Canvas::ToBitmap() const {
  plat::Bitmap b(w_, h_);
  for (int y = 0; y < h_; ++y) std::copy(px_.begin() + size_t(y) * w_, px_.begin() + size_t(y + 1) * w_, b.row(y));
  return b;
}

}  // namespace datagen
