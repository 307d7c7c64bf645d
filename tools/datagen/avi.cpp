// RIFF AVI encoding and the procedurally drawn talking girl.
#include "tools/datagen/avi.h"
#include "tools/datagen/bytes.h"

#include <algorithm>
#include <unordered_map>

#include "tools/datagen/error.h"
#include "tools/art/raster.h"

namespace datagen {

using ozzel::art::Canvas;
using ozzel::art::Mix;
using ozzel::art::Pt;

using plat::Rgb;

namespace {


// Writes a chunk header with a placeholder size; Close fills it in and pads to an even length.
size_t Open(std::vector<uint8_t>& v, const char* id, const char* list_type = nullptr) {
  Tag(v, id);
  const size_t at = v.size();
  Put32(v, 0);
  if (list_type) Tag(v, list_type);
  return at;
}
void Close(std::vector<uint8_t>& v, size_t at) {
  const uint32_t n = uint32_t(v.size() - at - 4);
  for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(n >> (8 * i));
  if (n & 1) v.push_back(0);
}

}  // namespace

std::vector<uint8_t> EncodeAvi8(const std::vector<plat::Bitmap>& frames, uint32_t usec_per_frame) {
  if (frames.empty() || frames[0].empty()) throw Error("AVI: no frames");
  const int w = frames[0].width(), h = frames[0].height();
  std::vector<uint32_t> palette;
  std::unordered_map<uint32_t, uint8_t> index;
  for (const plat::Bitmap& f : frames) {
    if (f.width() != w || f.height() != h) throw Error("AVI: frames differ in size");
    for (uint32_t p : f.pixels()) {
      p &= 0xFFFFFF;
      if (index.count(p)) continue;
      if (palette.size() == 256) throw Error("AVI: more than 256 colours");
      index.emplace(p, uint8_t(palette.size()));
      palette.push_back(p);
    }
  }
  const uint32_t stride = (uint32_t(w) + 3) & ~3u;
  const uint32_t frame_bytes = stride * uint32_t(h);
  const uint32_t count = uint32_t(frames.size());

  std::vector<uint8_t> v;
  const size_t riff = Open(v, "RIFF", "AVI ");
  const size_t hdrl = Open(v, "LIST", "hdrl");
  const size_t avih = Open(v, "avih");
  Put32(v, usec_per_frame);
  Put32(v, uint32_t(uint64_t(frame_bytes) * 1000000 / usec_per_frame));
  Put32(v, 0);
  Put32(v, 0x10);  // AVIF_HASINDEX
  Put32(v, count);
  Put32(v, 0);
  Put32(v, 1);
  Put32(v, frame_bytes);
  Put32(v, uint32_t(w));
  Put32(v, uint32_t(h));
  for (int i = 0; i < 4; ++i) Put32(v, 0);
  Close(v, avih);
  const size_t strl = Open(v, "LIST", "strl");
  const size_t strh = Open(v, "strh");
  Tag(v, "vids");
  Tag(v, "DIB ");
  Put32(v, 0);   // flags
  Put16(v, 0);   // priority
  Put16(v, 0);   // language
  Put32(v, 0);   // initial frames
  Put32(v, usec_per_frame);
  Put32(v, 1000000);
  Put32(v, 0);
  Put32(v, count);
  Put32(v, frame_bytes);
  Put32(v, 0xFFFFFFFF);  // default quality
  Put32(v, 0);
  Put16(v, 0);
  Put16(v, 0);
  Put16(v, uint32_t(w));
  Put16(v, uint32_t(h));
  Close(v, strh);
  const size_t strf = Open(v, "strf");
  Put32(v, 40);
  Put32(v, uint32_t(w));
  Put32(v, uint32_t(h));  // bottom-up rows
  Put16(v, 1);
  Put16(v, 8);
  Put32(v, 0);  // BI_RGB
  Put32(v, frame_bytes);
  Put32(v, 0);
  Put32(v, 0);
  Put32(v, uint32_t(palette.size()));
  Put32(v, 0);
  for (uint32_t p : palette) {
    v.push_back(uint8_t(p));
    v.push_back(uint8_t(p >> 8));
    v.push_back(uint8_t(p >> 16));
    v.push_back(0);
  }
  Close(v, strf);
  Close(v, strl);
  Close(v, hdrl);

  const size_t movi = Open(v, "LIST", "movi");
  const size_t movi_type = movi + 4;  // index offsets count from the 'movi' type tag
  std::vector<uint32_t> offsets;
  for (const plat::Bitmap& f : frames) {
    offsets.push_back(uint32_t(v.size() - movi_type));
    const size_t ck = Open(v, "00db");
    for (int y = h - 1; y >= 0; --y) {
      const uint32_t* row = f.row(y);
      for (int x = 0; x < w; ++x) v.push_back(index.at(row[x] & 0xFFFFFF));
      for (uint32_t x = uint32_t(w); x < stride; ++x) v.push_back(0);
    }
    Close(v, ck);
  }
  Close(v, movi);
  const size_t idx = Open(v, "idx1");
  for (uint32_t off : offsets) {
    Tag(v, "00db");
    Put32(v, 0x10);  // key frame
    Put32(v, off);
    Put32(v, frame_bytes);
  }
  Close(v, idx);
  Close(v, riff);
  return v;
}

namespace {

constexpr int kW = 100, kH = 170;
const Rgb kKey{255, 0, 255};
const Rgb kHair{122, 70, 32}, kHairDark{92, 50, 22};
const Rgb kSkin{252, 214, 180}, kCheek{250, 168, 160}, kNose{232, 176, 140};
const Rgb kDress{226, 52, 70}, kDressDark{180, 34, 52}, kCollar{255, 255, 255};
const Rgb kEyeWhite{255, 255, 255}, kIris{70, 110, 60}, kPupil{30, 30, 40};
const Rgb kLip{196, 64, 70}, kMouth{120, 24, 36}, kTongue{236, 110, 120}, kTeeth{255, 255, 255};
const Rgb kBow{255, 210, 40};

const Rgb kShoe{150, 40, 50}, kSock{255, 255, 255};

const Rgb kLine{70, 40, 34};  // her outline, as dark as the animals' contours

// mouth: 0 closed smile, 1 half open, 2 open, 3 round "o". She stands whole in the clip, feet included.
Canvas Drawn(int mouth, bool blink, bool smooth, Rgb ground) {
  Canvas c(kW, kH, ground);
  c.SetAntialias(smooth);
  // The head is drawn in its own units (centre 50, 60) and placed smaller, above the body.
  constexpr double k = 0.72, hx = 50, hy = 44;
  auto P = [&](double x, double y) { return Pt{hx + (x - 50) * k, hy + (y - 60) * k}; };
  auto E = [&](double x, double y, double rx, double ry, Rgb col) {
    const Pt q = P(x, y);
    c.Ellipse(q.x, q.y, rx * k, ry * k, col);
  };
  auto L = [&](Pt a, Pt b, double w, Rgb col) { c.Line(P(a.x, a.y), P(b.x, b.y), w * k, col); };
  auto G = [&](std::vector<Pt> pts, Rgb col) {
    for (Pt& q : pts) q = P(q.x, q.y);
    c.Polygon(pts, col);
  };
  // Hair behind the head, falling to the shoulders.
  E(50, 56, 36, 40, kHair);
  {
    const Pt q = P(14, 56);
    c.RoundRect(q.x, q.y, 72 * k, 50 * k, 14 * k, kHair);
  }
  // Legs with socks and shoes, under the dress.
  for (double x : {43.0, 57.0}) {
    c.Line({x, 120}, {x, 156}, 8, kSkin);
    c.Rect(x - 4, 148, 8, 8, kSock);
    c.Ellipse(x + (x < 50 ? -2 : 2), 160, 8, 5, kShoe);
  }
  // Dress with puffed sleeves, arms at her sides.
  c.Polygon({{36, 76}, {64, 76}, {80, 130}, {20, 130}}, kDress);
  c.Ellipse(31, 82, 10, 8, kDress);
  c.Ellipse(69, 82, 10, 8, kDress);
  c.Line({28, 88}, {22, 118}, 7, kSkin);
  c.Line({72, 88}, {78, 118}, 7, kSkin);
  c.Ellipse(22, 120, 4.5, 4.5, kSkin);
  c.Ellipse(78, 120, 4.5, 4.5, kSkin);
  c.Polygon({{30, 98}, {70, 98}, {71, 103}, {29, 103}}, kDressDark);  // sash
  c.Polygon({{20, 126}, {80, 126}, {80, 130}, {20, 130}}, kDressDark);  // hem
  // Neck and collar.
  c.Rect(45, 62, 10, 14, kSkin);
  c.Polygon({{38, 74}, {50, 81}, {62, 74}, {59, 71}, {50, 77}, {41, 71}}, kCollar);
  // Face.
  E(50, 60, 26, 29, kSkin);
  E(23, 62, 4, 6, kSkin);  // ears
  E(77, 62, 4, 6, kSkin);
  // Fringe.
  G({{24, 50}, {28, 34}, {40, 26}, {60, 26}, {72, 34}, {76, 50}, {66, 40}, {56, 44}, {50, 38}, {42, 44}, {32, 42}},
    kHair);
  L({40, 30}, {34, 46}, 2, kHairDark);
  L({60, 30}, {66, 46}, 2, kHairDark);
  // Bow.
  G({{64, 22}, {78, 14}, {78, 32}}, kBow);
  G({{64, 22}, {52, 12}, {52, 30}}, kBow);
  E(64, 22, 4, 4, kBow);
  // Eyes and brows.
  L({36, 47}, {45, 46}, 2, kHairDark);
  L({55, 46}, {64, 47}, 2, kHairDark);
  for (double ex : {41.0, 59.0}) {
    if (blink) {
      L({ex - 5, 57}, {ex + 5, 57}, 2, kPupil);
      continue;
    }
    E(ex, 56, 5.5, 6.5, kEyeWhite);
    E(ex, 57, 3.5, 4.5, kIris);
    E(ex, 57.5, 2, 2.5, kPupil);
    E(ex - 1.2, 54.8, 1.1, 1.1, kEyeWhite);
  }
  E(34, 70, 5, 3, kCheek);
  E(66, 70, 5, 3, kCheek);
  L({50, 63}, {48, 68}, 2, kNose);
  // Mouth.
  switch (mouth) {
    case 0:
      L({43, 76}, {46, 78}, 2, kLip);
      L({46, 78}, {54, 78}, 2, kLip);
      L({54, 78}, {57, 76}, 2, kLip);
      break;
    case 1:
      E(50, 78, 6, 3, kLip);
      E(50, 78, 4.5, 2, kMouth);
      break;
    case 2:
      E(50, 79, 7, 5.5, kLip);
      E(50, 79, 5.5, 4.3, kMouth);
      E(50, 75.8, 4, 0.9, kTeeth);
      E(50, 82, 3.5, 1.6, kTongue);
      break;
    default:
      E(50, 79, 4.5, 5.5, kLip);
      E(50, 79, 3, 4, kMouth);
      break;
  }
  return c;
}

// Smooth like the scenes: drawn anti-aliased over her outline colour, so her edge pixels shade into
// a dark contour, and cut out along the hard-edged drawing, so the clip's key colour stays exact
// (the player shows it transparent) and no pink fringe shows around her.
Canvas Girl(int mouth, bool blink) {
  const Canvas hard = Drawn(mouth, blink, false, kKey), soft = Drawn(mouth, blink, true, kLine);
  Canvas c(kW, kH, kKey);
  auto inside = [&](int x, int y) { return x >= 0 && y >= 0 && x < kW && y < kH && hard.At(x, y) != kKey; };
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      if (inside(x, y)) {
        c.Set(x, y, soft.At(x, y));
        continue;
      }
      bool edge = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) edge = edge || inside(x + dx, y + dy);
      if (edge) c.Set(x, y, kLine);
    }
  return c;
}

}  // namespace

std::vector<plat::Bitmap> ExaminerFrames() {
  static const int mouths[] = {0, 1, 2, 1, 3, 1, 2, 3, 1, 2, 1, 0};
  std::vector<plat::Bitmap> frames;
  std::vector<Canvas> drawn;
  for (int i = 0; i < int(std::size(mouths)); ++i) drawn.push_back(Girl(mouths[i], i == 5));
  // The clip has one palette of 256 colours: the smooth edges' shades are rounded, more coarsely
  // until they fit (the key colour is never touched).
  for (int step = 1;; step *= 2) {
    std::unordered_map<uint32_t, int> seen;
    auto snap = [step](uint8_t v) { return uint8_t(std::min(255, (v + step / 2) / step * step)); };
    for (Canvas& c : drawn)
      for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
          if (const Rgb p = c.At(x, y); p != kKey) c.Set(x, y, Rgb{snap(p.r), snap(p.g), snap(p.b)});
    for (const Canvas& c : drawn)
      for (uint32_t p : c.pixels()) seen.emplace(p, 0);
    if (seen.size() <= 256) break;
  }
  for (const Canvas& c : drawn) frames.push_back(c.ToBitmap());
  return frames;
}

std::vector<uint8_t> MakeExaminerClip() { return EncodeAvi8(ExaminerFrames(), 125000); }

}  // namespace datagen
