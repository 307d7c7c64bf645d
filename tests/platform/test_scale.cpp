// The logical screen: the choice of the scale, positions at block edges, crisp blocks, large cursors.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/sdl/scale.h"
#include "platform/ui/screen.h"

using plat::Point;
using plat::Rect;
using plat::Size;

TEST(Scale, LargestThatFitsTheDisplay) {
  struct Case {
    Size display;
    int k;
  } cases[] = {{{1024, 768}, 1}, {{1366, 768}, 1}, {{1920, 1080}, 2}, {{2560, 1440}, 3}, {{3840, 2160}, 4},
               {{1080, 1920}, 1}, {{1280, 720}, 1}, {{640, 480}, 1},  {{1280, 960}, 2},  {{1279, 960}, 1},
               {{320, 200}, 1},   {{7680, 4320}, 9}};
  for (const auto& c : cases) {
    EXPECT_EQ(plat::ChooseScale(c.display, 0, nullptr), c.k) << c.display.w << "x" << c.display.h;
  }
  EXPECT_EQ(plat::LogicalSize({1920, 1080}, 2), (Size{960, 540}));
  EXPECT_EQ(plat::LogicalSize({2560, 1440}, 3), (Size{854, 480}));  // the last column is cut by the edge
  EXPECT_EQ(plat::LogicalSize({1366, 768}, 1), (Size{1366, 768}));
}

TEST(Scale, RequestedScaleIsReducedToFitAndBadTextRefused) {
  std::string note;
  EXPECT_EQ(plat::ChooseScale({3840, 2160}, 2, &note), 2);
  EXPECT_EQ(note, "");
  EXPECT_EQ(plat::ChooseScale({1920, 1080}, 1, &note), 1);  // smaller than what fits is honoured
  EXPECT_EQ(plat::ChooseScale({1920, 1080}, 3, &note), 2);
  EXPECT_EQ(note, "OZZEL_SCALE=3 does not fit the 1920x1080 display; using 2");

  EXPECT_EQ(plat::ParseScale(nullptr), 0);
  EXPECT_EQ(plat::ParseScale(""), 0);
  EXPECT_EQ(plat::ParseScale("4"), 4);
  EXPECT_EQ(plat::ParseScale("99999999999999999999"), 1000000);  // then reduced like any other
  for (const char* bad : {"0", "-2", "2.5", "two", "2x", " 2", "+2"}) {
    try {
      plat::ParseScale(bad);
      ADD_FAILURE() << "accepted \"" << bad << "\"";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(std::string("\"") + bad + "\""), std::string::npos) << e.what();
    }
  }
}

TEST(Scale, EveryPhysicalPixelOfABlockMapsToItsLogicalPixel) {
  for (int k : {1, 2, 3, 4}) {
    for (int l : {0, 1, 479, 959}) {
      EXPECT_EQ(plat::ToLogical({l * k, l * k}, k), (Point{l, l})) << "k " << k;
      EXPECT_EQ(plat::ToLogical({l * k + k - 1, l * k + k - 1}, k), (Point{l, l})) << "k " << k;
      EXPECT_EQ(plat::ToLogical({l * k + k, l * k}, k), (Point{l + 1, l})) << "k " << k;
    }
  }
  // The last physical column of a 3840-wide display at k = 3 lies in the cut logical column 1279.
  EXPECT_EQ(plat::ToLogical({3839, 2159}, 3), (Point{1279, 719}));
  // Positions left of or above the window (a held button dragged out) stay outside it.
  EXPECT_EQ(plat::ToLogical({-1, -4}, 4), (Point{-1, -1}));
  EXPECT_EQ(plat::ToLogical({-5, 0}, 4), (Point{-2, 0}));
}

TEST(Scale, DamageBecomesUniformBlocksClippedAtTheEdge) {
  // A 5 × 3 logical screen, every pixel different; a 13 × 8 physical plane (k = 3 cuts the last
  // column and row), filled with a marker so that anything written outside the damage shows.
  const int lw = 5, lh = 3, k = 3, pw = 13, ph = 8;
  std::vector<uint32_t> src(lw * lh);
  for (int i = 0; i < lw * lh; ++i) src[i] = 0x100u + i;
  std::vector<uint32_t> dst(pw * ph, 0xDEAD);
  plat::ScaleBlocks(src.data(), lw, {3, 1, 2, 2}, k, {0, 0, pw, ph}, reinterpret_cast<uint8_t*>(dst.data()), pw * 4);
  for (int y = 0; y < ph; ++y)
    for (int x = 0; x < pw; ++x) {
      const bool damaged = x >= 9 && y >= 3;
      EXPECT_EQ(dst[y * pw + x], damaged ? src[(y / k) * lw + x / k] : 0xDEADu) << x << "," << y;
    }

  // Into a buffer that holds only a clip rectangle starting inside a block.
  std::vector<uint32_t> part(4 * 2, 0xDEAD);
  plat::ScaleBlocks(src.data(), lw, {0, 0, lw, lh}, k, {2, 2, 4, 2}, reinterpret_cast<uint8_t*>(part.data()), 4 * 4);
  const uint32_t want[] = {src[0], src[1], src[1], src[1], src[lw], src[lw + 1], src[lw + 1], src[lw + 1]};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(part[i], want[i]) << i;
}

TEST(Scale, CursorPixelsBecomeBlocksAndTheHotspotStaysOnItsPixel) {
  plat::CursorImage c;
  c.w = 3;
  c.h = 2;
  c.argb = {0xFF000000, 0x00000000, 0xFFFFFFFF, 0xFF112233, 0xFF445566, 0x80778899};
  c.hotspot = {2, 1};
  const plat::CursorImage big = plat::ScaleCursor(c, 4);
  ASSERT_EQ(big.w, 12);
  ASSERT_EQ(big.h, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x) EXPECT_EQ(big.argb[y * 12 + x], c.argb[(y / 4) * 3 + x / 4]) << x << "," << y;
  EXPECT_EQ(big.hotspot, (Point{10, 6}));  // inside the block of pixel (2, 1)
  EXPECT_EQ(plat::ScaleCursor(c, 1).hotspot, (Point{2, 1}));
}
