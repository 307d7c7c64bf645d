// The logical screen on the display: the choice of the scale, positions, the sharp filter, large cursors.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "platform/scale.h"
#include "platform/ui/screen.h"

using plat::Point;
using plat::Rect;
using plat::ScreenScale;
using plat::Size;

TEST(Scale, FillsTheHeightByDefaultAndWholeBlocksWhenAsked) {
  struct Case {
    Size display;
    ScreenScale fill;
    int k;
  } cases[] = {{{1366, 768}, {8, 5}, 1},   {{1600, 900}, {15, 8}, 1}, {{1920, 1080}, {9, 4}, 2},
               {{3840, 2160}, {9, 2}, 4},  {{1024, 768}, {8, 5}, 1},  {{1280, 960}, {2, 1}, 2},
               {{1080, 1920}, {27, 16}, 1}, {{640, 480}, {1, 1}, 1},  {{320, 200}, {1, 1}, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(plat::ChooseScale(c.display, {}, nullptr), c.fill) << c.display.w << "x" << c.display.h;
    EXPECT_EQ(plat::ChooseScale(c.display, {c.k}, nullptr), (ScreenScale{c.k, 1})) << c.display.w << "x" << c.display.h;
  }
  // The 640 × 480 game fills the height; the logical screen covers the display, its last pixel cut.
  EXPECT_EQ(plat::LogicalSize({1366, 768}, {8, 5}), (Size{854, 480}));
  EXPECT_EQ(plat::LogicalSize({1920, 1080}, {9, 4}), (Size{854, 480}));
  EXPECT_EQ(plat::LogicalSize({2560, 1440}, {3, 1}), (Size{854, 480}));
  EXPECT_EQ(plat::LogicalSize({1080, 1920}, {27, 16}), (Size{640, 1138}));

  std::string note;
  EXPECT_EQ(plat::ChooseScale({1920, 1080}, {3}, &note), (ScreenScale{2, 1}));
  EXPECT_EQ(note, "OZZEL_SCALE=3 does not fit the 1920x1080 display; using 2");
}

TEST(Scale, ParsesFillOrAWholeNumberAndRefusesTheRest) {
  EXPECT_EQ(plat::ParseScale(nullptr).k, 0);
  EXPECT_EQ(plat::ParseScale("").k, 0);
  EXPECT_EQ(plat::ParseScale("fill").k, 0);
  EXPECT_EQ(plat::ParseScale("4").k, 4);
  EXPECT_EQ(plat::ParseScale("99999999999999999999").k, 1000000);  // then reduced like any other
  for (const char* bad : {"0", "-2", "2.5", "two", "2x", " 2", "+2", "Fill", "fill "}) {
    try {
      plat::ParseScale(bad);
      ADD_FAILURE() << "accepted \"" << bad << "\"";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(std::string("\"") + bad + "\""), std::string::npos) << e.what();
    }
  }
}

TEST(Scale, APhysicalPixelMapsToTheLogicalPixelItMostlyCovers) {
  for (int k : {1, 2, 3, 4}) {
    for (int l : {0, 1, 479, 959}) {
      EXPECT_EQ(plat::ToLogical({l * k, l * k}, {k, 1}), (Point{l, l})) << "k " << k;
      EXPECT_EQ(plat::ToLogical({l * k + k - 1, l * k + k - 1}, {k, 1}), (Point{l, l})) << "k " << k;
      EXPECT_EQ(plat::ToLogical({l * k + k, l * k}, {k, 1}), (Point{l + 1, l})) << "k " << k;
    }
  }
  // At 1.6 physical pixels 0..7 span logical [0, .625) [.625, 1.25) [1.25, 1.875) [1.875, 2.5) ...
  const int at_1_6[] = {0, 0, 1, 2, 2, 3, 4, 4, 5};
  for (int p = 0; p < 9; ++p) EXPECT_EQ(plat::ToLogical({p, p}, {8, 5}).x, at_1_6[p]) << p;
  // Every physical pixel of a 4.5 display maps to the logical pixel under at least half of it.
  for (int p = 0; p < 3840; ++p) {
    const int l = plat::ToLogical({p, 0}, {9, 2}).x;
    const double a = p / 4.5, b = (p + 1) / 4.5;
    EXPECT_GE(std::min(b, l + 1.0) - std::max(a, double(l)), (b - a) / 2 - 1e-9) << p;
  }
  // The last physical pixel lies in the cut last logical column; the far side of 0 stays outside.
  EXPECT_EQ(plat::ToLogical({1365, 767}, {8, 5}), (Point{853, 479}));
  EXPECT_EQ(plat::ToLogical({-1, -4}, {4, 1}), (Point{-1, -1}));
  EXPECT_EQ(plat::ToLogical({-1, 0}, {9, 4}), (Point{-1, 0}));
}

TEST(Scale, WholeScalesDrawUniformBlocksOnlyInTheDamage) {
  // A 5 × 3 logical screen, every pixel different; a 13 × 8 physical plane (k = 3 cuts the last
  // column and row), filled with a marker so that anything written outside the damage shows.
  const int lw = 5, lh = 3, k = 3, pw = 13, ph = 8;
  std::vector<uint32_t> src(lw * lh);
  for (int i = 0; i < lw * lh; ++i) src[i] = 0x100u + i;
  std::vector<uint32_t> dst(pw * ph, 0xDEAD);
  plat::Scaler scaler({k, 1}, {pw, ph});
  scaler.Draw(src.data(), {lw, lh}, lw, {3, 1, 2, 2}, {0, 0, pw, ph}, reinterpret_cast<uint8_t*>(dst.data()), pw * 4);
  for (int y = 0; y < ph; ++y)
    for (int x = 0; x < pw; ++x) {
      const bool damaged = x >= 9 && y >= 3;
      EXPECT_EQ(dst[y * pw + x], damaged ? src[(y / k) * lw + x / k] : 0xDEADu) << x << "," << y;
    }

  // Into a buffer that holds only a clip rectangle starting inside a block.
  std::vector<uint32_t> part(4 * 2, 0xDEAD);
  scaler.Draw(src.data(), {lw, lh}, lw, {0, 0, lw, lh}, {2, 2, 4, 2}, reinterpret_cast<uint8_t*>(part.data()), 4 * 4);
  const uint32_t want[] = {src[0], src[1], src[1], src[1], src[lw], src[lw + 1], src[lw + 1], src[lw + 1]};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(part[i], want[i]) << i;
}

namespace {

// Nearest neighbour to K = ceil(s) times, then each physical pixel the area average of what it covers.
uint32_t Reference(const std::vector<uint32_t>& src, int lw, int lh, ScreenScale s, int px, int py) {
  const int K = (s.num + s.den - 1) / s.den;
  const double f = K / s.Value();  // one physical pixel in pixels of the K-times picture
  double sum[4] = {}, area = 0;
  for (int uy = int(py * f); uy < int(std::ceil((py + 1) * f)); ++uy)
    for (int ux = int(px * f); ux < int(std::ceil((px + 1) * f)); ++ux) {
      const double wy = std::min(uy + 1.0, (py + 1) * f) - std::max(double(uy), py * f);
      const double wx = std::min(ux + 1.0, (px + 1) * f) - std::max(double(ux), px * f);
      const uint32_t c = src[size_t(std::min(uy / K, lh - 1)) * lw + std::min(ux / K, lw - 1)];
      for (int ch = 0; ch < 4; ++ch) sum[ch] += wx * wy * ((c >> (8 * ch)) & 0xFF);
      area += wx * wy;
    }
  uint32_t out = 0;
  for (int ch = 0; ch < 4; ++ch) out |= uint32_t(std::lround(sum[ch] / area)) << (8 * ch);
  return out;
}

}  // namespace

TEST(Scale, OtherScalesAreSharpAreaFiltersOfTheNextWholeMultiple) {
  const int lw = 11, lh = 7;
  std::vector<uint32_t> src(lw * lh);
  uint32_t seed = 7;
  for (auto& c : src) c = (seed = seed * 1103515245u + 12345u) >> 4 | 0xFF000000u;
  for (ScreenScale s : {ScreenScale{8, 5}, ScreenScale{9, 4}, ScreenScale{9, 2}, ScreenScale{15, 8}}) {
    const Size phys{lw * s.num / s.den, lh * s.num / s.den};
    std::vector<uint32_t> dst(size_t(phys.w) * phys.h, 0xDEAD);
    plat::Scaler scaler(s, phys);
    scaler.Draw(src.data(), {lw, lh}, lw, {0, 0, lw, lh}, {0, 0, phys.w, phys.h}, reinterpret_cast<uint8_t*>(dst.data()),
                phys.w * 4);
    int mixed_columns = 0;
    for (int y = 0; y < phys.h; ++y)
      for (int x = 0; x < phys.w; ++x) {
        const uint32_t want = Reference(src, lw, lh, s, x, y), got = dst[size_t(y) * phys.w + x];
        for (int ch = 0; ch < 4; ++ch)
          ASSERT_LE(std::abs(int((got >> (8 * ch)) & 0xFF) - int((want >> (8 * ch)) & 0xFF)), 1)
              << s.num << "/" << s.den << " at " << x << "," << y << std::hex << " got " << got << " want " << want;
        // A pixel inside one logical pixel is that pixel's colour exactly.
        const Point l = plat::ToLogical({x, y}, s);
        const bool inside_x = (x * s.den) / s.num == ((x + 1) * s.den - 1) / s.num;
        const bool inside_y = (y * s.den) / s.num == ((y + 1) * s.den - 1) / s.num;
        if (inside_x && inside_y) {
          ASSERT_EQ(got, src[size_t(l.y) * lw + l.x]) << x << "," << y;
        }
        if (y == 0 && !inside_x) ++mixed_columns;
      }
    // Each logical edge blends into one physical column at most.
    EXPECT_LE(mixed_columns, lw - 1) << s.num << "/" << s.den;

    // A damaged logical pixel repaints just the physical pixels it reaches, into a buffer holding only the clip.
    const Rect r{4, 3, 1, 1}, reach = plat::ToPhysical(r, s), clip{1, 1, phys.w - 2, phys.h - 2};
    std::vector<uint32_t> part(size_t(clip.w) * clip.h, 0xDEAD);
    scaler.Draw(src.data(), {lw, lh}, lw, r, clip, reinterpret_cast<uint8_t*>(part.data()), clip.w * 4);
    for (int y = clip.top; y < clip.bottom(); ++y)
      for (int x = clip.left; x < clip.right(); ++x)
        ASSERT_EQ(part[size_t(y - clip.top) * clip.w + x - clip.left],
                  reach.contains({x, y}) ? dst[size_t(y) * phys.w + x] : 0xDEADu)
            << x << "," << y;
  }
}

TEST(Scale, CursorsGrowWithTheScaleAndTheHotspotStaysOnItsPixel) {
  plat::CursorImage c;
  c.w = 3;
  c.h = 2;
  c.argb = {0xFF000000, 0x00000000, 0xFFFFFFFF, 0xFF112233, 0xFF445566, 0x80778899};
  c.hotspot = {2, 1};
  const plat::CursorImage big = plat::ScaleCursor(c, {4, 1});
  ASSERT_EQ(big.w, 12);
  ASSERT_EQ(big.h, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x) EXPECT_EQ(big.argb[y * 12 + x], c.argb[(y / 4) * 3 + x / 4]) << x << "," << y;
  EXPECT_EQ(big.hotspot, (Point{10, 6}));  // inside the block of pixel (2, 1)
  EXPECT_EQ(plat::ScaleCursor(c, {1, 1}).hotspot, (Point{2, 1}));

  // At 2.25 a white pixel next to a transparent one fades out at the edge but stays white.
  plat::CursorImage w;
  w.w = 2;
  w.h = 1;
  w.argb = {0xFFFFFFFF, 0x00000000};
  w.hotspot = {1, 0};
  const plat::CursorImage wide = plat::ScaleCursor(w, {9, 4});
  ASSERT_EQ(wide.w, 5);
  ASSERT_EQ(wide.h, 3);
  EXPECT_EQ(wide.argb[0], 0xFFFFFFFFu);
  EXPECT_EQ(wide.argb[2] & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_GT(wide.argb[2] >> 24, 0u);
  EXPECT_LT(wide.argb[2] >> 24, 255u);
  EXPECT_EQ(wide.argb[4], 0u);
  EXPECT_EQ(wide.hotspot, (Point{3, 1}));  // (1.5 × 2.25, 0.5 × 2.25)
}
