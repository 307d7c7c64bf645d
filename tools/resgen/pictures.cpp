// The window artwork: ball and door glyph strips, score-counter background, corners, texture and icon.
#include <algorithm>
#include <cmath>

#include "tools/art/raster.h"
#include "tools/resgen/resgen.h"

namespace ozzel::resgen {

using namespace ozzel::art;

namespace {

constexpr int kSS = 4;  // samples per pixel side
const plat::Rgb kKey = plat::kWindowBlue;
const plat::Rgb kOutline{0, 0, 0};

double Luma(plat::Rgb c) { return 0.3 * c.r + 0.59 * c.g + 0.11 * c.b; }

// The disabled look: pale, greyish, as if half see-through over the window blue.
plat::Rgb Faded(plat::Rgb c) {
  if (c == kKey) return c;
  uint8_t l = uint8_t(std::lround(Luma(c)));
  plat::Rgb grey{l, l, l};
  return Mix(Mix(c, grey, 0.65), plat::Rgb{226, 230, 234}, 0.5);
}

// Copies frame 0 into the strip's other frames: 1 faded, 2..4 the pressed frame.
plat::Bitmap Strip(const plat::Bitmap& normal, const plat::Bitmap& pressed) {
  plat::Bitmap s(kFrameW * kFrames, kFrameH, kKey);
  for (int y = 0; y < kFrameH; ++y)
    for (int x = 0; x < kFrameW; ++x) {
      plat::Rgb n = *normal.PixelAt(x, y), p = *pressed.PixelAt(x, y);
      s.SetPixel(x, y, n);
      s.SetPixel(kFrameW + x, y, Faded(n));
      for (int k = 2; k < kFrames; ++k) s.SetPixel(kFrameW * k + x, y, p);
    }
  return s;
}

struct BallColours {
  plat::Rgb base;
};

BallColours ColoursOf(Ball b) {
  switch (b) {
    case Ball::kRed: return {{226, 28, 28}};
    case Ball::kYellow: return {{246, 190, 10}};
    case Ball::kGreen: return {{40, 196, 40}};
    case Ball::kCyan: return {{20, 200, 230}};
  }
  return {{128, 128, 128}};
}

// A shaded sphere of radius r at c: light from the upper left, white gloss spot.
plat::Rgb Sphere(Vec p, Vec c, double r, plat::Rgb base) {
  Vec light{c.x - r * 0.38, c.y - r * 0.42};
  double t = Dist(p, light) / (r * 1.45);
  plat::Rgb col = t < 0.5 ? Mix(Mix(base, plat::kWhite, 0.45), base, t * 2) : Mix(base, Scale(base, 0.55), (t - 0.5) * 2);
  if (InEllipse(p, {c.x - r * 0.36, c.y - r * 0.42}, r * 0.26, r * 0.17)) col = plat::kWhite;
  else if (InEllipse(p, {c.x - r * 0.36, c.y - r * 0.42}, r * 0.36, r * 0.26)) col = Mix(col, plat::kWhite, 0.55);
  return col;
}

constexpr Vec kBallCentre{38.0, 28.5};
constexpr double kBallR = 22.5;
constexpr double kOutlineW = 3.0;
constexpr double kRimW = 2.6;

plat::Rgb RaisedBall(Vec p, plat::Rgb base) {
  double d = Dist(p, kBallCentre);
  if (d > kBallR) return kKey;
  if (d > kBallR - kOutlineW) return kOutline;
  double inner = kBallR - kOutlineW - kRimW;
  if (d > inner) return Mix(Mix(base, plat::kWhite, 0.5), base, (p.y - kBallCentre.y + kBallR) / (2 * kBallR) * 0.7);
  return Sphere(p, kBallCentre, inner, base);
}

plat::Rgb SunkBall(Vec p, plat::Rgb base) {
  double d = Dist(p, kBallCentre);
  if (d > kBallR) return kKey;
  if (d > kBallR - kOutlineW) return kOutline;
  double inner = kBallR - kOutlineW - kRimW;
  if (d > inner) return Mix(Mix(base, plat::kWhite, 0.35), Scale(base, 0.8), (p.y - kBallCentre.y + kBallR) / (2 * kBallR));
  Vec c{kBallCentre.x + 2.2, kBallCentre.y + 2.2};
  double r = inner - 2.4;
  if (Dist(p, c) <= r) return Sphere(p, c, r, Scale(base, 0.9));
  return kOutline;  // the socket shows as a black crescent above and left of the ball
}

plat::Bitmap Frame(const Shader& s) { return Render(kFrameW, kFrameH, kSS, s); }

// Door and its word.
constexpr double kDoorL = 22, kDoorR = 51, kDoorT = 0.5, kDoorB = 36;
constexpr double kLetterW = 6.5, kLetterH = 11, kLetterGap = 2.2, kLetterTop = 39.5;

plat::Rgb Word(Vec p, const std::string& word, plat::Rgb under) {
  // Five letters fill the width under the door; longer words get narrower letters, shorter ones stay centred.
  const double n = double(word.size()), shrink = std::min(1.0, 5.0 / n);
  const double w = kLetterW * shrink, gap = kLetterGap * shrink;
  const double x0 = 12 + (49 - (n * w + (n - 1) * gap)) / 2;
  double d = TextDistance(p, word, x0, kLetterTop, w, kLetterH, gap);
  if (d <= 1.35) return plat::Rgb{255, 226, 0};
  if (d <= 2.55) return plat::Rgb{70, 30, 0};
  return under;
}

plat::Rgb Wood(Vec p, double left, double width) {
  const plat::Rgb wood{170, 102, 44};
  double u = (p.x - left) / width;
  int plank = int(std::floor(u * 4));
  double in_plank = u * 4 - plank;
  plat::Rgb c = Scale(wood, 0.92 + 0.06 * std::sin(plank * 2.1 + p.y * 0.35));
  if (in_plank < 0.09) c = Scale(wood, 0.62);
  return c;
}

plat::Rgb ClosedDoor(Vec p, const std::string& word) {
  if (p.y >= kDoorB + 1.5) return Word(p, word, kKey);
  if (p.x < kDoorL || p.x > kDoorR || p.y < kDoorT) return kKey;
  if (p.x < kDoorL + 1.4 || p.x > kDoorR - 1.4 || p.y < kDoorT + 1.4 || p.y > kDoorB - 1.4) return kOutline;
  if (p.x < kDoorL + 3 || p.x > kDoorR - 3 || p.y < kDoorT + 3) return plat::Rgb{110, 58, 20};  // the frame
  Vec knob{kDoorR - 7.5, 20};
  double dk = Dist(p, knob);
  if (dk <= 2.3) return dk <= 1.2 ? plat::Rgb{255, 250, 160} : plat::Rgb{255, 210, 0};
  if (dk <= 3.2) return plat::Rgb{90, 50, 0};
  return Wood(p, kDoorL + 3, kDoorR - kDoorL - 6);
}

plat::Rgb OpenDoor(Vec p, const std::string& word) {
  if (p.y >= kDoorB + 1.5) return Word(p, word, kKey);
  // The leaf swung outwards to the left: a narrow slanted panel hinged on the frame's left edge.
  std::vector<Vec> leaf{{kDoorL + 1, kDoorT + 2}, {13.5, kDoorT - 0.4}, {13.5, kDoorB + 1.3}, {kDoorL + 1, kDoorB - 0.6}};
  bool in_frame = p.x >= kDoorL && p.x <= kDoorR && p.y >= kDoorT && p.y <= kDoorB;
  if (p.y >= 0 && InPolygon(p, leaf)) {
    if (PolygonEdgeDistance(p, leaf) < 1.3) return kOutline;
    if (Dist(p, {16.5, 19}) <= 1.8) return plat::Rgb{255, 210, 0};
    return Scale(Wood(p, 13.5, 8), 0.8);
  }
  if (!in_frame) return kKey;
  if (p.x < kDoorL + 1.4 || p.x > kDoorR - 1.4 || p.y < kDoorT + 1.4 || p.y > kDoorB - 1.4) return kOutline;
  if (p.x < kDoorL + 3 || p.x > kDoorR - 3 || p.y < kDoorT + 3) return plat::Rgb{110, 58, 20};
  // Rainbow through the opening.
  static const plat::Rgb bands[] = {{235, 30, 30}, {255, 140, 0}, {255, 230, 0}, {40, 190, 40}, {30, 110, 240}, {140, 50, 200}};
  double t = (p.y - (kDoorT + 3)) / (kDoorB - 1.4 - (kDoorT + 3));
  int band = std::clamp(int(t * 6), 0, 5);
  return bands[band];
}

}  // namespace

plat::Bitmap BallStrip(Ball b) {
  plat::Rgb base = ColoursOf(b).base;
  plat::Bitmap normal = Frame([&](double x, double y) { return RaisedBall({x, y}, base); });
  plat::Bitmap pressed = Frame([&](double x, double y) { return SunkBall({x, y}, base); });
  return Palettise(Strip(normal, pressed), 255, {kKey, kOutline, plat::kWhite});
}

plat::Bitmap DoorStrip(const std::string& word) {
  plat::Bitmap normal = Frame([&](double x, double y) { return ClosedDoor({x, y}, word); });
  plat::Bitmap pressed = Frame([&](double x, double y) { return OpenDoor({x, y}, word); });
  return Palettise(Strip(normal, pressed), 255, {kKey, kOutline});
}

namespace {

// A sun with pointed rays; `happy` chooses the laughing face, else the angry one.
plat::Rgb Sun(Vec p, Vec c, bool happy, plat::Rgb bg) {
  const double disc = 16.5, ray_in = 15, ray_out = 28.5;
  const plat::Rgb yellow{255, 222, 0}, rim{240, 140, 0};
  const plat::Rgb face = happy ? plat::Rgb{255, 168, 30} : plat::Rgb{255, 196, 20};
  const plat::Rgb ink = happy ? plat::Rgb{150, 60, 0} : plat::Rgb{120, 30, 0};
  double d = Dist(p, c);
  if (d > ray_out) return bg;
  if (d > disc) {
    double a = std::atan2(p.y - c.y, p.x - c.x) + (happy ? 0 : M_PI / 12);
    double step = M_PI / 6;
    double off = std::abs(std::remainder(a, step));
    double half = (step * 0.42) * (1 - (d - ray_in) / (ray_out - ray_in));
    if (off <= half) return off >= half - 0.09 ? rim : yellow;
    return bg;
  }
  if (d > disc - 1.5) return rim;
  Vec q{p.x - c.x, p.y - c.y};
  if (happy) {
    // Closed laughing eyes, rosy cheeks, a wide open mouth with a tongue.
    for (double ex : {-5.5, 5.5})
      if (std::abs(Dist(q, {ex, -2.5}) - 2.6) < 0.75 && q.y < -2.3) return ink;
    if (q.y >= 1.5 && Dist(q, {0, 1.5}) <= 8) return Dist(q, {0, 7.0}) <= 3.4 ? plat::Rgb{255, 90, 90} : plat::Rgb{160, 30, 10};
    for (double cx : {-9.5, 9.5})
      if (Dist(q, {cx, 2.5}) <= 2.4) return plat::Rgb{255, 120, 60};
    return Mix(face, yellow, d / disc * 0.8);
  }
  // Angry: brows pulled down to the middle, small eyes, a frown.
  if (SegmentDistance(q, {-8.5, -7.5}, {-2.5, -4.5}) < 1.0 || SegmentDistance(q, {8.5, -7.5}, {2.5, -4.5}) < 1.0) return ink;
  for (double ex : {-5.0, 5.0})
    if (Dist(q, {ex, -1.5}) <= 1.7) return ink;
  if (std::abs(Dist(q, {0, 12.5}) - 7.5) < 0.9 && q.y < 7) return ink;
  return Mix(face, yellow, d / disc * 0.6);
}

}  // namespace

plat::Bitmap CounterBackground() {
  const Vec left{33, 30}, right{198, 30};
  plat::Bitmap b = Render(231, 60, kSS, [&](double x, double y) {
    Vec p{x, y};
    // The window blue darkens gently around each sun.
    double near = std::max(0.0, 1.0 - (std::min(Dist(p, left), Dist(p, right)) - 22) / 16);
    plat::Rgb bg = near > 0 ? Mix(kKey, plat::Rgb{44, 128, 196}, near * 0.55) : kKey;
    if (x < 66) return Sun(p, left, true, bg);
    if (x >= 166) return Sun(p, right, false, bg);
    return bg;
  });
  return Palettise(b, 255, {kKey});
}

namespace {

constexpr int kLH[12] = {12, 10, 8, 6, 5, 4, 3, 3, 2, 1, 1, 1};
constexpr int kPH[12] = {12, 9, 8, 6, 5, 4, 3, 3, 2, 2, 1, 1};

// Seven blues that read as the tiled background behind a rounded window corner.
plat::Rgb CornerShade(int x, int y) {
  static const plat::Rgb shades[7] = {{42, 127, 255}, {42, 127, 170}, {42, 127, 212}, {21, 106, 191},
                                      {63, 148, 255}, {42, 106, 170}, {84, 148, 234}};
  static const int pick[16] = {0, 1, 0, 0, 1, 2, 0, 1, 3, 0, 1, 4, 0, 5, 1, 6};
  return shades[pick[(x * 7 + y * 5 + x * y) % 16]];
}

plat::Bitmap Rotate180(const plat::Bitmap& b) {
  plat::Bitmap r(b.width(), b.height());
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) r.SetPixel(b.width() - 1 - x, b.height() - 1 - y, *b.PixelAt(x, y));
  return r;
}

}  // namespace

plat::Bitmap Corner(const std::string& which) {
  if (which == "LH" || which == "PD") {
    plat::Bitmap b(18, 19, plat::kNavy);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < kLH[y]; ++x) b.SetPixel(x, y, CornerShade(x, y));
    return which == "LH" ? b : Rotate180(b);
  }
  plat::Bitmap b(19, 18, plat::kNavy);
  for (int y = 0; y < 12; ++y)
    for (int i = 0; i < kPH[y]; ++i) b.SetPixel(18 - i, y, CornerShade(i, y));
  return which == "LD" ? Rotate180(b) : b;
}

plat::Bitmap Texture() {
  constexpr int N = 35;
  // Grain only. Tiled, any lighter or darker patch of the tile repeats every 35 pixels and the
  // screen shows a grid, so the low frequencies of the noise are taken out: each pass subtracts
  // the wrapped 5 × 5 mean around a pixel.
  std::vector<double> v(N * N);
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) {
      uint32_t h = uint32_t(x * 73856093u) ^ uint32_t(y * 19349663u) ^ 0x5bd1e995u;
      h = (h ^ (h >> 15)) * 2246822519u;
      h ^= h >> 13;
      v[y * N + x] = double((h >> 8) & 0xFFFF) / 65535.0;
    }
  for (int pass = 0; pass < 3; ++pass) {
    std::vector<double> mean(N * N);
    for (int y = 0; y < N; ++y)
      for (int x = 0; x < N; ++x) {
        double m = 0;
        for (int dy = -2; dy <= 2; ++dy)
          for (int dx = -2; dx <= 2; ++dx) m += v[((y + dy + N) % N) * N + (x + dx + N) % N];
        mean[y * N + x] = m / 25;
      }
    for (int i = 0; i < N * N; ++i) v[i] -= mean[i];
  }
  auto [lo, hi] = std::minmax_element(v.begin(), v.end());
  double mn = *lo, mx = *hi;
  plat::Bitmap b(N, N);
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) {
      int i = int(std::lround((v[y * N + x] - mn) / (mx - mn) * 19));
      b.SetPixel(x, y, {uint8_t(14 + std::lround(63.0 * i / 19)), uint8_t(117 + std::lround(32.0 * i / 19)), 224});
    }
  return b;
}

namespace {

bool IconCorner(int x, int y) {
  auto cut = [](int a, int b) { return (a == 0 && b <= 1) || (a == 1 && b == 0); };
  return cut(x, y) || cut(31 - x, y) || cut(x, 31 - y) || cut(31 - x, 31 - y);
}

}  // namespace

plat::Rgb IconShade(double x, double y) {
  Vec p{x, y};
  double n = PeriodicNoise(x, y, 32, 6, 5);
  plat::Rgb bg = Mix(plat::Rgb{30, 100, 200}, plat::Rgb{60, 150, 230}, n * 0.8 + y / 32 * 0.2);
  if (TextDistance(p, "BM", 1.8, 1.8, 5.2, 7.5, 1.6) <= 0.85) return plat::kWhite;
  if (TextDistance(p, "4", 2.4, 12.5, 10, 16, 0) <= 1.5) return plat::kWhite;
  const plat::Rgb hair{126, 64, 22}, skin{255, 214, 178};
  Vec head{23.5, 16.5};
  bool in_face = InEllipse(p, {head.x, head.y + 1.5}, 5.6, 6.6);
  // Hair behind the face, falling to the shoulders, with a fringe.
  bool in_hair = InEllipse(p, {head.x, head.y - 0.5}, 7.6, 8.4) ||
                 (p.y > head.y && p.y < 28 && std::abs(p.x - head.x) > 4.2 && std::abs(p.x - head.x) < 8.2);
  if (in_face && !(p.y < head.y - 2.2 && InEllipse(p, {head.x + 0.5, head.y - 5.5}, 7, 4.2))) {
    for (double ex : {-2.3, 2.3})
      if (InEllipse(p, {head.x + ex, head.y + 1.0}, 1.0, 1.3)) return plat::Rgb{40, 40, 90};
    if (std::abs(Dist(p, {head.x, head.y + 2.8}) - 2.4) < 0.6 && p.y > head.y + 4.3) return plat::Rgb{210, 40, 60};
    for (double cx : {-3.6, 3.6})
      if (Dist(p, {head.x + cx, head.y + 3.6}) <= 1.1) return plat::Rgb{255, 160, 150};
    return skin;
  }
  if (in_hair) return hair;
  if (p.y > 27 && std::abs(p.x - head.x) < 6 && p.y < 32) return plat::Rgb{230, 40, 80};  // her dress
  return bg;
}

plat::Bitmap IconPicture() {
  plat::Bitmap b = Render(32, 32, kSS, IconShade);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (IconCorner(x, y)) b.SetPixel(x, y, plat::kBlack);
  return Palettise(b, 256, {plat::kWhite, plat::kBlack});
}

plat::Bitmap IconMask() {
  plat::Bitmap m(32, 32, plat::kWhite);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (IconCorner(x, y)) m.SetPixel(x, y, plat::kBlack);
  return m;
}

}  // namespace ozzel::resgen
