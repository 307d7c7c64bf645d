// The five custom cursors, drawn as hard-edged 32 × 32 pixel art with a transparency mask.
#include <cmath>
#include <functional>
#include <stdexcept>

#include "tools/art/raster.h"
#include "tools/resgen/resgen.h"

namespace ozzel::resgen {

using namespace ozzel::art;

namespace {

constexpr int N = 32;
constexpr uint32_t kClear = 0x00000000u;
constexpr uint32_t kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu, kGrey = 0xFF808080u, kSilver = 0xFFC0C0C0u;
constexpr uint32_t kYellow = 0xFFFFFF00u, kRed = 0xFFFF0000u, kDarkRed = 0xFF800000u, kOlive = 0xFF808000u;
constexpr uint32_t kGreen = 0xFF00FF00u, kDarkGreen = 0xFF008000u;

plat::CursorImage Blank(int hx, int hy) {
  plat::CursorImage c;
  c.w = c.h = N;
  c.argb.assign(N * N, kClear);
  c.hotspot = {hx, hy};
  return c;
}

// Sampled at pixel centres.
void Paint(plat::CursorImage& c, const std::function<uint32_t(Vec, uint32_t)>& f) {
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) {
      uint32_t& px = c.argb[y * N + x];
      px = f({x + 0.5, y + 0.5}, px);
    }
}

// Fills a shape in white and gives it a black border `thick` pixels wide, inside its edge.
void OutlinedShape(plat::CursorImage& c, const std::function<bool(Vec)>& inside, int thick) {
  std::vector<uint8_t> m(N * N);
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) m[y * N + x] = inside({x + 0.5, y + 0.5});
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) {
      if (!m[y * N + x]) continue;
      bool edge = false;
      for (int dy = -thick; dy <= thick && !edge; ++dy)
        for (int dx = -thick; dx <= thick && !edge; ++dx) {
          if (dx * dx + dy * dy > thick * thick) continue;
          int nx = x + dx, ny = y + dy;
          edge = nx < 0 || ny < 0 || nx >= N || ny >= N || !m[ny * N + nx];
        }
      c.argb[y * N + x] = edge ? kBlack : kWhite;
    }
}

double Capsule(Vec p, Vec a, Vec b) { return SegmentDistance(p, a, b); }

plat::CursorImage Sipka1() {
  plat::CursorImage c = Blank(2, 2);
  // The outline's first drawn pixel, the tip, lies on the hotspot.
  const std::vector<Vec> arrow{{1.6, 0.6},  {21.4, 20.4}, {15.2, 20.4}, {19.6, 28.6},
                               {12.8, 31.9}, {8.4, 23.6},  {1.6, 28.8}};
  OutlinedShape(c, [&](Vec p) { return InPolygon(p, arrow); }, 3);
  return c;
}

plat::CursorImage Sipka2() {
  plat::CursorImage c = Blank(5, 5);
  const Vec tip{5, 5};
  const double L = std::hypot(20.5, 20.5);
  Paint(c, [&](Vec p, uint32_t old) {
    double u = ((p.x - tip.x) + (p.y - tip.y)) / std::sqrt(2.0);   // along the pointer
    double v = ((p.x - tip.x) - (p.y - tip.y)) / std::sqrt(2.0);   // > 0 towards the upper right
    if (u >= -0.8 && u <= L) {
      double half = std::min(2.6, 0.9 + u * 0.42);
      if (std::abs(v) <= half) {
        if (v >= half - 1.1 || u < 1.2) return kBlack;
        if (v <= -half + 0.9) return kGrey;
        return v > 0.2 ? kWhite : kSilver;
      }
    }
    // The small hook curling back near the lower end.
    if (Capsule(p, {23.0, 24.5}, {19.5, 28.0}) <= 1.1) return kGrey;
    if (Capsule(p, {23.0, 24.5}, {19.5, 28.0}) <= 1.9) return kBlack;
    return old;
  });
  return c;
}

plat::CursorImage Ruka1() {
  plat::CursorImage c = Blank(10, 0);
  auto inside = [](Vec p) {
    bool finger = (p.x >= 7.0 && p.x <= 13.5 && p.y >= 3.25 && p.y <= 17) || Dist(p, {10.25, 3.4}) <= 3.3;
    bool palm = p.x >= 7.0 && p.x <= 26.0 && p.y >= 14.5 && p.y <= 27.5 &&
                !(p.x > 23 && p.y > 24.5 && Dist(p, {23, 24.5}) > 3);
    bool knuckles = Dist(p, {16.0, 15.5}) <= 3.2 || Dist(p, {19.8, 16.0}) <= 3.2 || Dist(p, {23.3, 17.0}) <= 3.0;
    bool thumb = Capsule(p, {8.5, 23.0}, {3.2, 15.8}) <= 3.0;
    bool cuff = p.x >= 9.0 && p.x <= 24.5 && p.y >= 26 && p.y <= 32;
    return finger || palm || knuckles || thumb || cuff;
  };
  OutlinedShape(c, inside, 2);
  // Creases between the folded fingers and above the cuff.
  Paint(c, [](Vec p, uint32_t old) {
    if (old == kClear) return old;
    if (std::abs(p.x - 17.9) < 0.6 && p.y > 15.5 && p.y < 20) return kBlack;
    if (std::abs(p.x - 21.6) < 0.6 && p.y > 16 && p.y < 20.5) return kBlack;
    if (std::abs(p.y - 27.0) < 0.6 && p.x > 9 && p.x < 24.5) return kBlack;
    return old;
  });
  return c;
}

plat::CursorImage Hodiny1() {
  plat::CursorImage c = Blank(0, 0);
  const Vec body{15.5, 19.0};
  Paint(c, [&](Vec p, uint32_t old) {
    // Legs first, then the bells, then the body over them.
    if (Capsule(p, {10.0, 27.0}, {7.0, 30.6}) <= 0.9 || Capsule(p, {21.0, 27.0}, {24.0, 30.6}) <= 0.9) return kDarkRed;
    double db = Dist(p, body);
    if (db > 10.3)
      for (Vec bell : {Vec{7.5, 8.0}, Vec{23.5, 8.0}}) {
        double d = Dist(p, bell);
        if (d <= 4.4) {
          if (d > 3.4) return kDarkRed;
          int cx = int(std::floor(p.x)) / 2, cy = int(std::floor(p.y)) / 2;
          return (cx + cy) % 2 ? kDarkRed : kRed;
        }
      }
    if (db > 10.3 && std::abs(p.x - 15.5) < 1.0 && p.y > 6 && p.y < 9.5) return kOlive;
    if (db > 10.3) return old;
    if (db > 9.3) return kDarkRed;
    if (db > 8.3) return kOlive;
    for (double ex : {-3.4, 3.4}) {
      Vec e{body.x + ex, body.y - 3.0};
      if (InEllipse(p, {e.x + (ex < 0 ? 0.8 : -0.8), e.y + 1.0}, 0.9, 1.1)) return kBlack;
      if (InEllipse(p, e, 2.2, 2.8)) return kWhite;
    }
    for (double mx : {-2.6, 2.6})
      if (InEllipse(p, {body.x + mx, body.y + 2.6}, 2.8, 1.25)) return kBlack;
    return kYellow;
  });
  return c;
}

plat::CursorImage Pastelka() {
  plat::CursorImage c = Blank(1, 29);
  const Vec tip{1.5, 29.5};
  Paint(c, [&](Vec p, uint32_t old) {
    double u = ((p.x - tip.x) - (p.y - tip.y)) / std::sqrt(2.0);  // from the tip towards the upper right
    double v = ((p.x - tip.x) + (p.y - tip.y)) / std::sqrt(2.0);  // across the crayon
    const double cone = 9.0, end = 36.5, half = 4.6;
    if (u < -0.7 || u > end) return old;
    double w = u < cone ? 0.7 + (half - 0.7) * u / cone : half;
    if (std::abs(v) > w) return old;
    if (u < 2.4) return kBlack;  // the point
    if (std::abs(v) > w - 1.0 || u > end - 1.0) return kBlack;
    if (u < cone) return kYellow;
    if (u < cone + 1.0) return kBlack;
    if (v < -1.2) return kGreen;
    if (v < 1.2) return kRed;
    return kDarkGreen;
  });
  return c;
}

}  // namespace

plat::CursorImage MakeCursor(const std::string& name) {
  if (name == "SIPKA1") return Sipka1();
  if (name == "SIPKA2") return Sipka2();
  if (name == "RUKA1") return Ruka1();
  if (name == "HODINY1") return Hodiny1();
  if (name == "PASTELKA") return Pastelka();
  throw std::invalid_argument("no such cursor: " + name);
}

}  // namespace ozzel::resgen
