// Canvas drawing: clipping at every edge, origins, colour keys, tiling, text, PNG output.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "platform/gdi/canvas.h"
#include "platform/gdi/png.h"

using namespace plat;

namespace {

constexpr Rgb kBg{1, 2, 3};
constexpr Rgb kRed{255, 0, 0};

// Pixels differing from the background, as a bounding box.
Rect Ink(const Surface& s, Rgb bg = kBg) {
  Rect r;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x)
      if (s.At(x, y) != bg) r = r.unite(Rect{x, y, 1, 1});
  return r;
}

// Every pixel has its own colour, so a copied pixel shows where it came from.
Bitmap Numbered(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, Rgb{uint8_t(x), uint8_t(y), 200});
  return b;
}

}  // namespace

TEST(CanvasClip, FillStaysInsideSurfaceAndClip) {
  Surface s(20, 10, kBg);
  Canvas c(s);
  c.Fill({-5, -5, 8, 7}, kRed);
  EXPECT_EQ(Ink(s), (Rect{0, 0, 3, 2}));
  c.Fill({INT_MAX - 2, 0, 100, 100}, kRed);
  c.Fill({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, kRed);
  c.Fill({0, 0, -4, 5}, kRed);
  EXPECT_EQ(Ink(s), (Rect{0, 0, 3, 2}));
  c.Fill({15, 8, INT_MAX, INT_MAX}, kRed);
  EXPECT_EQ(s.At(19, 9), kRed);
  EXPECT_EQ(s.At(14, 9), kBg);
}

TEST(CanvasClip, EnterNarrowsClipAndMovesOrigin) {
  Surface s(50, 50, kBg);
  Canvas c(s);
  c.Enter({10, 10, 20, 20});
  EXPECT_EQ(c.origin(), (Point{10, 10}));
  c.Fill({-5, -5, 100, 100}, kRed);
  EXPECT_EQ(Ink(s), (Rect{10, 10, 20, 20}));

  // Nested: relative to the new origin, and never wider than the outer clip.
  c.Enter({15, 15, 30, 30});
  EXPECT_EQ(c.origin(), (Point{25, 25}));
  EXPECT_EQ(c.clip(), (Rect{25, 25, 5, 5}));
  c.Fill({0, 0, 1, 1}, Rgb{0, 255, 0});
  EXPECT_EQ(s.At(25, 25), (Rgb{0, 255, 0}));

  c.Enter({100, 100, 5, 5});
  EXPECT_TRUE(c.clip().empty());
  c.Fill({-1000, -1000, 5000, 5000}, kBg);
  EXPECT_EQ(s.At(25, 25), (Rgb{0, 255, 0}));
}

TEST(CanvasDraw, CopiesWithSourceRectAndClips) {
  Surface s(10, 10, kBg);
  Canvas c(s);
  Bitmap b = Numbered(4, 4);
  c.Draw(b, -2, -1);
  EXPECT_EQ(s.At(0, 0), (Rgb{2, 1, 200}));
  EXPECT_EQ(Ink(s), (Rect{0, 0, 2, 3}));

  Surface t(10, 10, kBg);
  Canvas d(t);
  d.Draw(b, 5, 5, Rect{2, 2, 10, 10});  // source rect reaching past the bitmap
  EXPECT_EQ(t.At(5, 5), (Rgb{2, 2, 200}));
  EXPECT_EQ(Ink(t), (Rect{5, 5, 2, 2}));
  d.Draw(b, 0, 0, Rect{-2, 0, 3, 1});  // only source column 0 exists, landing at x 2
  EXPECT_EQ(t.At(2, 0), (Rgb{0, 0, 200}));
  EXPECT_EQ(t.At(1, 0), kBg);
  d.Draw(b, INT_MAX, INT_MAX);
  d.Draw(b, INT_MIN, INT_MIN, Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX});
  d.Draw(Bitmap(), 0, 0);
  EXPECT_EQ(Ink(t), (Rect{2, 0, 5, 7}));
}

TEST(CanvasDraw, KeyedDrawLeavesExactlyTheKeyColourOut) {
  Bitmap b(3, 1, kWindowBlue);
  b.SetPixel(1, 0, Rgb{64, 160, 225});  // one off the key: drawn
  Surface s(5, 1, kBg);
  Canvas c(s);
  c.DrawKeyed(b, 1, 0, kWindowBlue);
  EXPECT_EQ(s.At(1, 0), kBg);
  EXPECT_EQ(s.At(2, 0), (Rgb{64, 160, 225}));
  EXPECT_EQ(s.At(3, 0), kBg);
  c.DrawKeyed(b, 3, 0, Rect{1, 0, 5, 1}, kNavy);
  EXPECT_EQ(s.At(3, 0), (Rgb{64, 160, 225}));
  EXPECT_EQ(s.At(4, 0), kWindowBlue);
}

TEST(CanvasDraw, SurfaceOntoSurface) {
  Surface src(3, 3, kRed);
  Surface dst(4, 4, kBg);
  Canvas c(dst);
  c.Enter({1, 1, 2, 2});
  c.DrawSurface(src, -1, 0);
  EXPECT_EQ(Ink(dst), (Rect{1, 1, 2, 2}));
}

TEST(CanvasTile, CoversTheRectFromItsCornerWithCutTiles) {
  Bitmap t = Numbered(35, 35);
  Surface s(1024, 768, kBg);
  Canvas c(s);
  c.Tile(t, {0, 0, 1024, 768});
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x) ASSERT_EQ(s.At(x, y), *t.PixelAt(x % 35, y % 35)) << x << "," << y;
  // 30 × 22 tiles, the last column and row cut: 1024 = 29·35 + 9, 768 = 21·35 + 33.
  EXPECT_EQ(s.At(29 * 35, 21 * 35), *t.PixelAt(0, 0));
  EXPECT_EQ(s.At(1023, 767), *t.PixelAt(8, 32));

  // An exact multiple ends with a whole tile; anchored at the rect, not the surface.
  Surface u(80, 80, kBg);
  Canvas d(u);
  d.Tile(t, {5, 7, 70, 70});
  EXPECT_EQ(Ink(u), (Rect{5, 7, 70, 70}));
  EXPECT_EQ(u.At(5, 7), *t.PixelAt(0, 0));
  EXPECT_EQ(u.At(74, 76), *t.PixelAt(34, 34));
  EXPECT_EQ(u.At(40, 42), *t.PixelAt(0, 0));

  // A rect starting off the surface keeps its anchor.
  Surface v(10, 10, kBg);
  Canvas e(v);
  e.Tile(t, {-40, -3, 60, 60});
  EXPECT_EQ(v.At(0, 0), *t.PixelAt(5, 3));
  e.Tile(Bitmap(), {0, 0, 10, 10});
  e.Tile(t, {INT_MIN, INT_MIN, INT_MAX, INT_MAX});
}

TEST(CanvasText, CzechTextDrawsInsideItsRectAndAligns) {
  FontSpec f;
  f.height_px = 21;
  f.bold = true;
  f.color = kNavy;
  const std::string text = "Žluťoučký kůň";
  int w = Canvas::TextWidth(text, f);
  ASSERT_GT(w, 60);
  EXPECT_EQ(Canvas::TextWidth("", f), 0);
  EXPECT_LT(Canvas::TextWidth("kůň", f), w);

  Surface s(300, 60, kBg);
  Canvas c(s);
  Rect box{10, 10, 280, 40};
  c.Text(text, box, f, TextAlign::Left);
  Rect ink = Ink(s);
  ASSERT_FALSE(ink.empty());
  EXPECT_EQ(ink.intersect(box), ink);
  EXPECT_LE(ink.left, 12);
  EXPECT_NEAR(ink.w, w, 4);
  // Vertically centred: equal margins within a couple of pixels of glyph bearing.
  EXPECT_NEAR(ink.top - box.top, box.bottom() - ink.bottom(), 8);

  Surface r(300, 60, kBg);
  Canvas cr(r);
  cr.Text(text, box, f, TextAlign::Right);
  EXPECT_GE(Ink(r).right(), box.right() - 3);
  Surface m(300, 60, kBg);
  Canvas cm(m);
  cm.Text(text, box, f, TextAlign::Center);
  EXPECT_NEAR(Ink(m).left - box.left, box.right() - Ink(m).right(), 4);

  // Háček and čárka change the picture above the base letter.
  Surface a(60, 40, kBg), b(60, 40, kBg);
  Canvas ca(a), cb(b);
  ca.Text("C", {0, 0, 60, 40}, f, TextAlign::Left);
  cb.Text("Č", {0, 0, 60, 40}, f, TextAlign::Left);
  EXPECT_LT(Ink(b).top, Ink(a).top);
}

TEST(CanvasText, ClippedToRectAndCanvas) {
  FontSpec f;
  f.face = "System";
  f.height_px = 13;
  Surface s(40, 20, kBg);
  Canvas c(s);
  c.Enter({5, 0, 20, 20});
  c.Text("Velmi dlouhý text, který se nevejde", {-10, 0, 100, 20}, f, TextAlign::Left);
  Rect ink = Ink(s);
  ASSERT_FALSE(ink.empty());
  EXPECT_GE(ink.left, 5);
  EXPECT_LE(ink.right(), 25);
}

TEST(Png, ChecksumsMatchKnownVectors) {
  const char* s = "123456789";
  EXPECT_EQ(png::Crc32(reinterpret_cast<const uint8_t*>(s), 9), 0xCBF43926u);
  const char* w = "Wikipedia";
  EXPECT_EQ(png::Adler32(reinterpret_cast<const uint8_t*>(w), 9), 0x11E60398u);
  EXPECT_EQ(png::Adler32(nullptr, 0), 1u);
  // Long runs must not overflow the sums.
  std::vector<uint8_t> ff(100000, 0xFF);
  uint32_t a = 1, b = 0;
  for (uint8_t x : ff) a = (a + x) % 65521, b = (b + a) % 65521;
  EXPECT_EQ(png::Adler32(ff.data(), ff.size()), (b << 16) | a);
}

TEST(Png, ChunksAndStoredBlocksHoldThePixels) {
  Surface s(150, 200, kBg);  // 90 200 bytes of scanlines: two stored blocks
  s.row(0)[0] = 0x123456;
  s.row(199)[149] = 0xABCDEF;
  std::vector<uint8_t> f = png::Encode(s);
  ASSERT_GT(f.size(), 8u);
  EXPECT_EQ(0, std::memcmp(f.data(), "\x89PNG\r\n\x1a\n", 8));

  auto be32 = [&](size_t i) { return uint32_t(f[i]) << 24 | uint32_t(f[i + 1]) << 16 | uint32_t(f[i + 2]) << 8 | f[i + 3]; };
  std::vector<std::string> types;
  std::vector<uint8_t> zlib;
  size_t i = 8;
  while (i + 12 <= f.size()) {
    uint32_t len = be32(i);
    ASSERT_LE(i + 12 + len, f.size());
    std::string type(f.begin() + long(i) + 4, f.begin() + long(i) + 8);
    EXPECT_EQ(be32(i + 8 + len), png::Crc32(&f[i + 4], len + 4)) << type;
    if (type == "IHDR") {
      EXPECT_EQ(be32(i + 8), 150u);
      EXPECT_EQ(be32(i + 12), 200u);
      EXPECT_EQ(f[i + 16], 8);  // bit depth
      EXPECT_EQ(f[i + 17], 2);  // RGB
    }
    if (type == "IDAT") zlib.insert(zlib.end(), f.begin() + long(i) + 8, f.begin() + long(i) + 8 + len);
    types.push_back(type);
    i += 12 + len;
  }
  EXPECT_EQ(i, f.size());
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));

  // Undo the stored blocks by hand.
  ASSERT_GE(zlib.size(), 6u);
  EXPECT_EQ((zlib[0] << 8 | zlib[1]) % 31, 0);
  std::vector<uint8_t> raw;
  size_t p = 2;
  bool last = false;
  int blocks = 0;
  while (!last) {
    ASSERT_LE(p + 5, zlib.size());
    last = zlib[p] & 1;
    EXPECT_EQ(zlib[p] & 6, 0);
    uint16_t len = uint16_t(zlib[p + 1] | zlib[p + 2] << 8), nlen = uint16_t(zlib[p + 3] | zlib[p + 4] << 8);
    EXPECT_EQ(uint16_t(~len), nlen);
    ASSERT_LE(p + 5 + len, zlib.size());
    raw.insert(raw.end(), zlib.begin() + long(p) + 5, zlib.begin() + long(p) + 5 + len);
    p += 5 + len;
    ++blocks;
  }
  EXPECT_EQ(blocks, 2);
  ASSERT_EQ(p + 4, zlib.size());
  uint32_t adler = uint32_t(zlib[p]) << 24 | uint32_t(zlib[p + 1]) << 16 | uint32_t(zlib[p + 2]) << 8 | zlib[p + 3];
  EXPECT_EQ(adler, png::Adler32(raw.data(), raw.size()));
  ASSERT_EQ(raw.size(), 200u * (1 + 150 * 3));
  EXPECT_EQ(raw[0], 0);
  EXPECT_EQ(raw[1], 0x12);
  EXPECT_EQ(raw[3], 0x56);
  EXPECT_EQ(raw[4], 1);  // next pixel: the background
  EXPECT_EQ(raw[raw.size() - 3], 0xAB);
  EXPECT_EQ(raw[raw.size() - 1], 0xEF);

  EXPECT_THROW(SavePng(s, "/nonexistent-dir/x.png"), GdiError);
}
