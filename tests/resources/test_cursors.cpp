// The five custom cursors and the text format they are stored in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "platform/os.h"
#include "resources/cursor_file.h"
#include "resources/resources.h"

namespace {

using ozzel::res::Cursor;
using ozzel::res::ParseCursorText;

class Cursors : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::os::SetEnv("OZZEL_RESOURCES", OZZEL_SOURCE_DIR "/resources/data");
    ozzel::res::ClearCache();
  }
};

bool Opaque(const plat::CursorImage& c, int x, int y) {
  return x >= 0 && y >= 0 && x < c.w && y < c.h && (c.argb[size_t(y) * c.w + x] >> 24) == 255;
}

TEST_F(Cursors, EachHasItsSizeAndHotspotOnThePicture) {
  struct Want {
    const char* name;
    int hx, hy;
  };
  for (Want w : {Want{"SIPKA1", 2, 2}, Want{"SIPKA2", 5, 5}, Want{"RUKA1", 10, 0}, Want{"HODINY1", 0, 0},
                 Want{"PASTELKA", 1, 29}}) {
    SCOPED_TRACE(w.name);
    auto c = Cursor(w.name);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->w, 32);
    EXPECT_EQ(c->h, 32);
    EXPECT_EQ(c->hotspot, (plat::Point{w.hx, w.hy}));
    for (uint32_t p : c->argb) EXPECT_TRUE((p >> 24) == 0 || (p >> 24) == 255) << "the mask is one bit";
    if (w.hx == 0 && w.hy == 0) continue;  // the busy cursor's hotspot does not point
    EXPECT_TRUE(Opaque(*c, w.hx, w.hy)) << "the hotspot is a drawn pixel";
    if (std::string(w.name) == "SIPKA1") {
      // The arrow's tip: nothing is drawn above it, nor left of it on its row.
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
          if (y < w.hy || (y == w.hy && x < w.hx)) {
            EXPECT_FALSE(Opaque(*c, x, y)) << x << "," << y;
          }
    }
  }
}

TEST_F(Cursors, NamesMatchWithoutRegardToCase) {
  auto a = Cursor("sipka1"), b = Cursor("SIPKA1"), c = Cursor("Sipka1");
  ASSERT_TRUE(a);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, c);
  EXPECT_EQ(Cursor("sipka3"), nullptr);
  EXPECT_EQ(Cursor(""), nullptr);
  EXPECT_EQ(Cursor("../sipka1"), nullptr);
}

TEST_F(Cursors, ArrowAndHandAreBlackAndWhite) {
  for (const char* name : {"SIPKA1", "RUKA1"}) {
    auto c = Cursor(name);
    ASSERT_TRUE(c);
    std::set<uint32_t> colours;
    for (uint32_t p : c->argb)
      if (p >> 24) colours.insert(p & 0xFFFFFF);
    EXPECT_EQ(colours, (std::set<uint32_t>{0x000000, 0xFFFFFF})) << name;
  }
}

TEST_F(Cursors, ArrowIsAboutNineteenWideAndFullHeight) {
  auto c = Cursor("SIPKA1");
  ASSERT_TRUE(c);
  int x1 = -1, y0 = 99, y1 = -1;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (Opaque(*c, x, y)) x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
  EXPECT_NEAR(x1 + 1, 20, 2);
  EXPECT_GE(y1 - y0 + 1, 30);
}

TEST_F(Cursors, ClockStaysInsideItsArea) {
  auto c = Cursor("HODINY1");
  ASSERT_TRUE(c);
  std::set<uint32_t> colours;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (Opaque(*c, x, y)) {
        EXPECT_TRUE(x >= 2 && x <= 28 && y >= 3 && y <= 31) << x << "," << y;
        colours.insert(c->argb[size_t(y) * 32 + x] & 0xFFFFFF);
      }
  EXPECT_LE(colours.size(), 16u);
  EXPECT_TRUE(colours.count(0xFFFF00));  // the yellow body
}

plat::CursorImage Small() {
  plat::CursorImage c;
  c.w = 3;
  c.h = 2;
  c.hotspot = {2, 1};
  c.argb = {0x00000000u, 0xFF000000u, 0xFFFFFFFFu, 0xFF123456u, 0x00000000u, 0xFF000000u};
  return c;
}

TEST(CursorText, RoundTrips) {
  std::string text = ozzel::res::FormatCursorText(Small());
  auto back = ParseCursorText(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->w, 3);
  EXPECT_EQ(back->h, 2);
  EXPECT_EQ(back->hotspot, (plat::Point{2, 1}));
  EXPECT_EQ(back->argb, Small().argb);
  // Windows line ends and a trailing blank line are fine.
  std::string crlf;
  for (char ch : text) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  EXPECT_TRUE(ParseCursorText(crlf + "\r\n"));
}

TEST(CursorText, RejectsDamagedFiles) {
  const std::string good = ozzel::res::FormatCursorText(Small());
  ASSERT_TRUE(ParseCursorText(good));
  for (size_t cut = 0; cut + 1 < good.size(); ++cut)
    EXPECT_FALSE(ParseCursorText(good.substr(0, cut))) << "cut at " << cut;
  const char* bad[] = {
      "OZZCUR 2\n1 1\nhotspot 0 0\ncolors 1\n. 00000000\n.\n",
      "OZZCUR 1\n0 1\nhotspot 0 0\ncolors 1\n. 00000000\n\n",
      "OZZCUR 1\n9999 9999\nhotspot 0 0\ncolors 1\n. 00000000\n.\n",
      "OZZCUR 1\n1 1\nhotspot 1 0\ncolors 1\n. 00000000\n.\n",
      "OZZCUR 1\n1 1\nhotspot -1 0\ncolors 1\n. 00000000\n.\n",
      "OZZCUR 1\n1 1\nhotspot 0 0\ncolors 1\n. 0000000G\n.\n",
      "OZZCUR 1\n1 1\nhotspot 0 0\ncolors 2\n. 00000000\n. FFFFFFFF\n.\n",
      "OZZCUR 1\n1 1\nhotspot 0 0\ncolors 1\n. 00000000\n#\n",
      "OZZCUR 1\n2 1\nhotspot 0 0\ncolors 1\n. 00000000\n.\n",
      "OZZCUR 1\n1 1\nhotspot 0 0\ncolors 1\n. 00000000\n.\n.\n",
      "OZZCUR 1\n1 1\nhotspot  0 0\ncolors 1\n. 00000000\n.\n",
      "OZZCUR 1\n1 1\nhotspot 0 0\ncolors 0\n.\n",
  };
  for (const char* b : bad) EXPECT_FALSE(ParseCursorText(b)) << b;
}

TEST(CursorText, WriterRefusesWhatItCannotStore) {
  plat::CursorImage c = Small();
  c.hotspot = {3, 0};
  EXPECT_EQ(ozzel::res::FormatCursorText(c), "");
  c = Small();
  c.argb.pop_back();
  EXPECT_EQ(ozzel::res::FormatCursorText(c), "");
  plat::CursorImage many;
  many.w = 200;
  many.h = 1;
  for (uint32_t i = 0; i < 200; ++i) many.argb.push_back(0xFF000000u | i);
  EXPECT_EQ(ozzel::res::FormatCursorText(many), "");
}

}  // namespace
