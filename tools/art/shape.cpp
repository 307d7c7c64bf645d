// Signed distances of the animal parts, fitting, and anti-aliased colour drawing of a shape.
#include "tools/art/shape.h"

#include <algorithm>
#include <cmath>

#include "tools/art/animals.h"

namespace ozzel::art {

namespace {

double Dot(V2 a, V2 b) { return a.x * b.x + a.y * b.y; }
V2 Sub(V2 a, V2 b) { return {a.x - b.x, a.y - b.y}; }
double Len(V2 a) { return std::sqrt(Dot(a, a)); }

// ca, sa: cosine and sine of the ellipse's turn.
double EllipseDistance(const Part& p, double ca, double sa, V2 q) {
  const V2 d = Sub(q, p.a);
  const double u = std::abs(d.x * ca + d.y * sa), v = std::abs(-d.x * sa + d.y * ca);
  const double rx = p.r0, ry = p.r1;
  if (std::abs(rx - ry) < 1e-9) return std::hypot(u, v) - rx;
  const double k0 = std::hypot(u / rx, v / ry), k1 = std::hypot(u / (rx * rx), v / (ry * ry));
  if (k1 < 1e-12) return -std::min(rx, ry);
  return k0 * (k0 - 1.0) / k1;
}

// A segment with round ends whose radius goes from r0 to r1.
double LimbDistance(const Part& p, V2 q) {
  V2 pb = Sub(p.b, p.a);
  const V2 pq = Sub(q, p.a);
  const double h = Dot(pb, pb);
  const double ra = p.r0, rb = p.r1;
  if (h < 1e-12 || std::abs(ra - rb) * std::abs(ra - rb) >= h) {
    // Degenerate: the bigger end swallows the other.
    return std::min(Len(pq) - ra, Len(Sub(q, p.b)) - rb);
  }
  V2 u{(pq.x * pb.y - pq.y * pb.x) / h, Dot(pq, pb) / h};
  u.x = std::abs(u.x);
  const double b = ra - rb;
  const V2 c{std::sqrt(h - b * b), b};
  const double k = c.x * u.y - c.y * u.x, m = Dot(c, u), n = Dot(u, u);
  if (k < 0) return std::sqrt(h * n) - ra;
  if (k > c.x) return std::sqrt(h * (n + 1.0 - 2.0 * u.y)) - rb;
  return m - ra;
}

double PolygonDistance(const Part& p, V2 q) {
  const auto& v = p.pts;
  const size_t n = v.size();
  if (n < 3) return 1e9;
  double d = Dot(Sub(q, v[0]), Sub(q, v[0]));
  double s = 1.0;
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    const V2 e = Sub(v[j], v[i]), w = Sub(q, v[i]);
    const double t = std::clamp(Dot(w, e) / std::max(1e-12, Dot(e, e)), 0.0, 1.0);
    const V2 bb{w.x - e.x * t, w.y - e.y * t};
    d = std::min(d, Dot(bb, bb));
    const bool c1 = q.y >= v[i].y, c2 = q.y < v[j].y, c3 = e.x * w.y > e.y * w.x;
    if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
  }
  return s * std::sqrt(d);
}


}  // namespace

Part& Shape::Ellipse(V2 c, double rx, double ry, plat::Rgb col, double angle) {
  Part p;
  p.kind = Part::kEllipse;
  p.a = c, p.r0 = rx, p.r1 = ry, p.angle = angle, p.colour = col;
  parts.push_back(p);
  return parts.back();
}

Part& Shape::Limb(V2 a, V2 b, double ra, double rb, plat::Rgb col) {
  Part p;
  p.kind = Part::kLimb;
  p.a = a, p.b = b, p.r0 = ra, p.r1 = rb, p.colour = col;
  parts.push_back(p);
  return parts.back();
}

Part& Shape::Polygon(std::vector<V2> pts, plat::Rgb col) {
  Part p;
  p.kind = Part::kPolygon;
  p.pts = std::move(pts), p.colour = col;
  parts.push_back(p);
  return parts.back();
}

void Shape::Chain(const std::vector<V2>& pts, double ra, double rb, plat::Rgb col) {
  double total = 0;
  for (size_t i = 1; i < pts.size(); ++i) total += Len(Sub(pts[i], pts[i - 1]));
  double run = 0;
  for (size_t i = 1; i < pts.size(); ++i) {
    const double l = Len(Sub(pts[i], pts[i - 1]));
    const double r_a = ra + (rb - ra) * run / std::max(1e-9, total);
    run += l;
    const double r_b = ra + (rb - ra) * run / std::max(1e-9, total);
    Limb(pts[i - 1], pts[i], r_a, r_b, col);
  }
}

void Shape::Eye(V2 c, double r, bool white) {
  const size_t m = Mark();
  if (white) Ellipse(c, r, r, {255, 255, 255});
  Ellipse({c.x + r * 0.15, c.y + r * 0.1}, r * (white ? 0.62 : 1.0), r * (white ? 0.62 : 1.0), {24, 20, 24});
  Ellipse({c.x - r * 0.1, c.y - r * 0.25}, r * 0.22, r * 0.22, {255, 255, 255});
  MarkDecor(m);
}

void Shape::MarkDecor(size_t from) {
  for (size_t i = from; i < parts.size(); ++i) parts[i].decor = true;
}

void Shape::MarkContour(size_t from) {
  for (size_t i = from; i < parts.size(); ++i) parts[i].contour = true;
}

Box2 Bounds(const Shape& s) {
  Box2 b;
  auto add = [&](double x0, double y0, double x1, double y1) {
    b.x0 = std::min(b.x0, x0), b.y0 = std::min(b.y0, y0), b.x1 = std::max(b.x1, x1), b.y1 = std::max(b.y1, y1);
  };
  for (const Part& p : s.parts) {
    if (p.decor) continue;
    switch (p.kind) {
      case Part::kEllipse: {
        const double c = std::cos(p.angle), sn = std::sin(p.angle);
        const double ex = std::sqrt(p.r0 * p.r0 * c * c + p.r1 * p.r1 * sn * sn);
        const double ey = std::sqrt(p.r0 * p.r0 * sn * sn + p.r1 * p.r1 * c * c);
        add(p.a.x - ex, p.a.y - ey, p.a.x + ex, p.a.y + ey);
        break;
      }
      case Part::kLimb:
        add(p.a.x - p.r0, p.a.y - p.r0, p.a.x + p.r0, p.a.y + p.r0);
        add(p.b.x - p.r1, p.b.y - p.r1, p.b.x + p.r1, p.b.y + p.r1);
        break;
      case Part::kPolygon:
        for (V2 v : p.pts) add(v.x, v.y, v.x, v.y);
        break;
    }
  }
  return b;
}

Shape Mapped(const Shape& s, double sx, double sy, double ox, double oy) {
  Shape out = s;
  const double sr = std::sqrt(std::abs(sx * sy));
  auto map = [&](V2 v) { return V2{ox + sx * v.x, oy + sy * v.y}; };
  for (Part& p : out.parts) {
    p.a = map(p.a), p.b = map(p.b);
    for (V2& v : p.pts) v = map(v);
    if (p.kind == Part::kEllipse) {
      const double c = std::cos(p.angle), sn = std::sin(p.angle);
      const double nx = std::hypot(sx * c, sy * sn), ny = std::hypot(sx * sn, sy * c);
      p.r0 *= nx, p.r1 *= ny;
      p.angle = std::atan2(sy * sn, sx * c);
    } else {
      p.r0 *= sr, p.r1 *= sr;
    }
  }
  return out;
}

double PartDistance(const Part& p, V2 q) {
  switch (p.kind) {
    case Part::kEllipse: return EllipseDistance(p, std::cos(p.angle), std::sin(p.angle), q);
    case Part::kLimb: return LimbDistance(p, q);
    case Part::kPolygon: return PolygonDistance(p, q);
  }
  return 1e9;
}

double OutlineDistance(const Shape& s, V2 q) {
  double d = 1e9;
  for (const Part& p : s.parts)
    if (!p.decor) d = std::min(d, PartDistance(p, q));
  return d;
}

namespace {

// A box outside which the part is farther than reach (ellipses: their distance estimate is). Rounding
// is covered by half a pixel more.
Box2 ReachBox(const Part& p, double reach) {
  reach += 0.5;
  constexpr double kAll = 1e300;
  switch (p.kind) {
    case Part::kEllipse: {
      const double rmin = std::min(p.r0, p.r1);
      if (!(rmin > 0)) return {-kAll, -kAll, kAll, kAll};
      // The estimate is at least (k0 - 1)·rmin, k0 ≥ the larger of |u|/rx and |v|/ry.
      const double k = std::abs(p.r0 - p.r1) < 1e-9 ? 1.0 + reach / p.r0 : 1.0 + reach / rmin;
      const double ca = std::abs(std::cos(p.angle)), sa = std::abs(std::sin(p.angle));
      const double ex = (ca * p.r0 + sa * p.r1) * k, ey = (sa * p.r0 + ca * p.r1) * k;
      return {p.a.x - ex, p.a.y - ey, p.a.x + ex, p.a.y + ey};
    }
    case Part::kLimb: {
      const double r = std::max({std::abs(p.r0), std::abs(p.r1)}) + reach;
      return {std::min(p.a.x, p.b.x) - r, std::min(p.a.y, p.b.y) - r, std::max(p.a.x, p.b.x) + r,
              std::max(p.a.y, p.b.y) + r};
    }
    case Part::kPolygon: {
      Box2 b;
      if (p.pts.size() < 3) return b;  // never nearer than 1e9
      for (V2 v : p.pts) b.x0 = std::min(b.x0, v.x), b.y0 = std::min(b.y0, v.y), b.x1 = std::max(b.x1, v.x), b.y1 = std::max(b.y1, v.y);
      return {b.x0 - reach, b.y0 - reach, b.x1 + reach, b.y1 + reach};
    }
  }
  return {-kAll, -kAll, kAll, kAll};
}

constexpr double kCell = 8;

}  // namespace

PartGrid::PartGrid(const Shape& s, double reach, double x0, double y0, double x1, double y1)
    : s_(s), reach_(reach), x0_(x0), y0_(y0) {
  cols_ = std::max(1, int(std::ceil((x1 - x0) / kCell)));
  rows_ = std::max(1, int(std::ceil((y1 - y0) / kCell)));
  cells_.resize(size_t(cols_) * rows_);
  const size_t n = s.parts.size();
  cos_.resize(n), sin_.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const Part& p = s.parts[i];
    all_.push_back(uint32_t(i));
    if (p.kind == Part::kEllipse) cos_[i] = std::cos(p.angle), sin_[i] = std::sin(p.angle);
    const Box2 b = ReachBox(p, reach);
    if (!(b.x0 <= b.x1 && b.y0 <= b.y1)) continue;
    const double fx0 = std::floor((b.x0 - x0) / kCell), fx1 = std::floor((b.x1 - x0) / kCell);
    const double fy0 = std::floor((b.y0 - y0) / kCell), fy1 = std::floor((b.y1 - y0) / kCell);
    if (fx1 < 0 || fy1 < 0 || fx0 >= cols_ || fy0 >= rows_) continue;
    const int cx0 = int(std::max(0.0, fx0)), cx1 = int(std::min(double(cols_ - 1), fx1));
    const int cy0 = int(std::max(0.0, fy0)), cy1 = int(std::min(double(rows_ - 1), fy1));
    for (int cy = cy0; cy <= cy1; ++cy)
      for (int cx = cx0; cx <= cx1; ++cx) cells_[size_t(cy) * cols_ + cx].push_back(uint32_t(i));
  }
}

const std::vector<uint32_t>& PartGrid::Near(V2 q) const {
  const double fx = std::floor((q.x - x0_) / kCell), fy = std::floor((q.y - y0_) / kCell);
  if (!(fx >= 0 && fy >= 0 && fx < cols_ && fy < rows_)) return all_;
  return cells_[size_t(fy) * cols_ + size_t(fx)];
}

double PartGrid::Distance(size_t i, V2 q) const {
  const Part& p = s_.parts[i];
  return p.kind == Part::kEllipse ? EllipseDistance(p, cos_[i], sin_[i], q) : PartDistance(p, q);
}

double PartGrid::Outline(V2 q) const {
  double d = 1e9;
  for (uint32_t i : Near(q))
    if (!s_.parts[i].decor) d = std::min(d, Distance(i, q));
  return d;
}

RgbaImage DrawShape(const Shape& s, double grow, int x0, int y0, int w, int h) {
  RgbaImage img{w, h, std::vector<uint32_t>(size_t(std::max(0, w)) * std::max(0, h), 0)};
  const size_t n = s.parts.size();
  // Scale of the drawing, for the width of its contour.
  const Box2 b = Bounds(s);
  const double line = std::clamp(std::max(b.x1 - b.x0, b.y1 - b.y0) / 160.0, 1.1, 3.0);
  // A part more than a pixel away (after growing) changes no decision below, so only the near ones count.
  const PartGrid grid(s, 1.0 + std::max(0.0, grow), x0, y0, double(x0) + w, double(y0) + h);
  const std::vector<uint32_t>* near = nullptr;
  std::vector<double> dist(n);
  auto distances = [&](V2 q) {
    double sil = 1e9;
    for (uint32_t i : *near) {
      dist[i] = grid.Distance(i, q) - (s.parts[i].decor ? 0.0 : grow);
      if (!s.parts[i].decor) sil = std::min(sil, dist[i]);
    }
    return sil;
  };
  // Colour of one sample inside the outline.
  auto colour = [&](double sil) {
    int top = -1;
    for (size_t k = near->size(); k-- > 0;)
      if (dist[(*near)[k]] < 0) {
        top = int((*near)[k]);
        break;
      }
    const Part& p = s.parts[size_t(top)];
    plat::Rgb c = p.colour;
    if (!p.decor) c = Scale(c, 0.84 + 0.16 * std::clamp(-sil / (4 * line), 0.0, 1.0));
    if (sil > -line) return Scale(p.colour, 0.42);
    if (p.contour && dist[size_t(top)] > -line * 0.8)
      for (uint32_t i : *near)
        if (int(i) < top && !s.parts[i].decor && dist[i] < 0) return Scale(p.colour, 0.5);
    return c;
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const V2 centre{x0 + x + 0.5, y0 + y + 0.5};
      near = &grid.Near(centre);  // its cell holds the whole pixel
      const double sil = distances(centre);
      if (sil > 1.0) continue;
      // A pixel far from every edge takes one sample.
      bool flat = sil < -line - 1.0;
      for (size_t k = 0; k < near->size() && flat; ++k) {
        const double d = dist[(*near)[k]];
        flat = std::abs(d) > 1.0 && std::abs(d + line * 0.8) > 1.0;
      }
      if (flat) {
        img.argb[size_t(y) * w + x] = 0xFF000000u | colour(sil).packed();
        continue;
      }
      double r = 0, g = 0, bl = 0;
      int hits = 0;
      for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) {
          const double sl = distances({x0 + x + (i + 0.5) / 4, y0 + y + (j + 0.5) / 4});
          if (sl >= 0) continue;
          const plat::Rgb c = colour(sl);
          r += c.r, g += c.g, bl += c.b;
          ++hits;
        }
      if (!hits) continue;
      const uint32_t a = uint32_t(std::lround(hits * 255.0 / 16));
      img.argb[size_t(y) * w + x] = (a << 24) | (uint32_t(std::lround(r / hits)) << 16) |
                                    (uint32_t(std::lround(g / hits)) << 8) | uint32_t(std::lround(bl / hits));
    }
  return img;
}

}  // namespace ozzel::art
