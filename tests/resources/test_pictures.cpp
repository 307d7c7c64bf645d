// The program's own pictures: glyph strip layout and key colour, corner pieces, texture, counter and icon.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include <unistd.h>

#include "platform/os.h"
#include "platform/start_dir.h"
#include "resources/resources.h"

namespace {

using ozzel::res::Picture;
const plat::Rgb kKey{64, 160, 224};

class Pictures : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::os::SetEnv("OZZEL_RESOURCES", OZZEL_SOURCE_DIR "/resources/data");
    ozzel::res::ClearCache();
  }
};

std::set<uint32_t> Colours(const plat::Bitmap& b) { return {b.pixels().begin(), b.pixels().end()}; }

TEST_F(Pictures, EveryPictureIsAPalettisedBmp) {
  for (const auto& name : ozzel::res::PictureNames()) {
    plat::Bitmap b = Picture(name);
    EXPECT_EQ(b.source_bits(), 8) << name;
    EXPECT_LE(b.palette_size(), 256) << name;
  }
}

struct StripCase {
  const char* name;
  int x0, x1, y0, y1;  // where the drawing may lie inside a frame (inclusive)
};

TEST_F(Pictures, GlyphStripsKeepTheirLayoutAndKeyColour) {
  const StripCase strips[] = {{"glyph_obraz1", 15, 60, 5, 51}, {"glyph_obraz2", 15, 60, 5, 51},
                              {"glyph_obraz3", 15, 60, 5, 51}, {"glyph_obraz4", 15, 60, 5, 51},
                              {"glyph_konec", 12, 60, 0, 52}};
  for (const auto& s : strips) {
    SCOPED_TRACE(s.name);
    plat::Bitmap b = Picture(s.name);
    ASSERT_EQ(b.width(), 360);
    ASSERT_EQ(b.height(), 54);
    EXPECT_LE(Colours(b).size(), 255u);
    EXPECT_EQ(*b.PixelAt(0, 53), kKey);
    for (int k = 0; k < 5; ++k) {
      EXPECT_EQ(*b.PixelAt(72 * k, 53), kKey) << "frame " << k;
      int drawn = 0;
      for (int y = 0; y < 54; ++y)
        for (int x = 0; x < 72; ++x) {
          plat::Rgb c = *b.PixelAt(72 * k + x, y);
          bool inside = x >= s.x0 && x <= s.x1 && y >= s.y0 && y <= s.y1;
          if (!inside) {
            EXPECT_EQ(c, kKey) << "frame " << k << " at " << x << "," << y;
          }
          drawn += c != kKey;
        }
      EXPECT_GT(drawn, 600) << "frame " << k << " is nearly empty";
    }
    for (int y = 0; y < 54; ++y)
      for (int x = 0; x < 72; ++x) {
        EXPECT_EQ(*b.PixelAt(144 + x, y), *b.PixelAt(216 + x, y));
        EXPECT_EQ(*b.PixelAt(144 + x, y), *b.PixelAt(288 + x, y));
      }
  }
}

TEST_F(Pictures, GlyphFramesDifferInTheirStates) {
  plat::Bitmap b = Picture("glyph_obraz1");
  int differ01 = 0, differ02 = 0;
  for (int y = 0; y < 54; ++y)
    for (int x = 0; x < 72; ++x) {
      differ01 += *b.PixelAt(x, y) != *b.PixelAt(72 + x, y);
      differ02 += *b.PixelAt(x, y) != *b.PixelAt(144 + x, y);
    }
  EXPECT_GT(differ01, 500);
  EXPECT_GT(differ02, 300);
}

int NonNavyRun(const plat::Bitmap& b, int y, bool from_left) {
  int n = 0;
  for (int i = 0; i < b.width(); ++i) {
    int x = from_left ? i : b.width() - 1 - i;
    if (*b.PixelAt(x, y) == plat::kNavy) break;
    ++n;
  }
  return n;
}

int NonNavyCount(const plat::Bitmap& b) {
  int n = 0;
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) n += *b.PixelAt(x, y) != plat::kNavy;
  return n;
}

TEST_F(Pictures, CornerPiecesHaveTheirCurvedEdges) {
  const int lh[19] = {12, 10, 8, 6, 5, 4, 3, 3, 2, 1, 1, 1};
  const int ph[18] = {12, 9, 8, 6, 5, 4, 3, 3, 2, 2, 1, 1};
  plat::Bitmap LH = Picture("roh_LH"), PH = Picture("roh_PH"), LD = Picture("roh_LD"), PD = Picture("roh_PD");
  ASSERT_EQ(LH.width(), 18);
  ASSERT_EQ(LH.height(), 19);
  ASSERT_EQ(PH.width(), 19);
  ASSERT_EQ(PH.height(), 18);
  ASSERT_EQ(LD.width(), 19);
  ASSERT_EQ(LD.height(), 18);
  ASSERT_EQ(PD.width(), 18);
  ASSERT_EQ(PD.height(), 19);
  for (int y = 0; y < 19; ++y) EXPECT_EQ(NonNavyRun(LH, y, true), lh[y]) << "roh_LH row " << y;
  for (int y = 0; y < 18; ++y) EXPECT_EQ(NonNavyRun(PH, y, false), ph[y]) << "roh_PH row " << y;
  EXPECT_EQ(NonNavyCount(LH), 56);
  EXPECT_EQ(NonNavyCount(PH), 56);
  for (int y = 0; y < 18; ++y)
    for (int x = 0; x < 19; ++x) EXPECT_EQ(*LD.PixelAt(x, y), *PH.PixelAt(18 - x, 17 - y));
  for (int y = 0; y < 19; ++y)
    for (int x = 0; x < 18; ++x) EXPECT_EQ(*PD.PixelAt(x, y), *LH.PixelAt(17 - x, 18 - y));
  // Its transparent colour cannot be taken from its bottom-left pixel.
  EXPECT_NE(*LD.PixelAt(0, 17), plat::kNavy);
  std::set<uint32_t> shades;
  for (const plat::Bitmap* b : {&LH, &PH})
    for (uint32_t p : b->pixels())
      if (p != plat::kNavy.packed()) shades.insert(p);
  EXPECT_LE(shades.size(), 7u);
  EXPECT_TRUE(shades.count(plat::Rgb{42, 127, 255}.packed()));
  EXPECT_TRUE(shades.count(plat::Rgb{42, 127, 170}.packed()));
}

TEST_F(Pictures, TextureIsSeamlessBlueNoise) {
  plat::Bitmap t = Picture("pozadi");
  ASSERT_EQ(t.width(), 35);
  ASSERT_EQ(t.height(), 35);
  for (int y = 0; y < 35; ++y)
    for (int x = 0; x < 35; ++x) {
      plat::Rgb c = *t.PixelAt(x, y);
      EXPECT_EQ(c.b, 224);
      EXPECT_GE(c.r, 14);
      EXPECT_LE(c.r, 77);
      EXPECT_GE(c.g, 117);
      EXPECT_LE(c.g, 149);
    }
  auto shades = Colours(t);
  EXPECT_LE(shades.size(), 20u);
  EXPECT_GE(shades.size(), 12u);
  // Across the wrap-around seam neighbours differ no more than neighbours inside the tile do.
  auto diff = [&](int x0, int y0, int x1, int y1) { return std::abs(t.PixelAt(x0, y0)->r - t.PixelAt(x1, y1)->r); };
  double inner = 0, seam = 0;
  for (int i = 0; i < 35; ++i) {
    for (int x = 0; x < 34; ++x) inner += diff(x, i, x + 1, i) + diff(i, x, i, x + 1);
    seam += diff(34, i, 0, i) + diff(i, 34, i, 0);
  }
  EXPECT_LE(seam / 70, 2.0 * inner / (2 * 34 * 35) + 2);

  // Tiled over the screen, any patch lighter or darker than the rest repeats every 35 pixels and
  // shows as a grid: the mean shade of every 7 × 7 window (wrapping) stays near the tile's mean.
  auto shade = [&](int x, int y) { return (t.PixelAt((x + 35) % 35, (y + 35) % 35)->r - 14) * 19.0 / 63; };
  double mean = 0;
  for (int y = 0; y < 35; ++y)
    for (int x = 0; x < 35; ++x) mean += shade(x, y) / (35 * 35);
  double worst = 0;
  for (int y = 0; y < 35; ++y)
    for (int x = 0; x < 35; ++x) {
      double m = 0;
      for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) m += shade(x + dx, y + dy) / 49;
      worst = std::max(worst, std::abs(m - mean));
    }
  EXPECT_LE(worst, 1.5) << "shades of twenty (the grid-showing texture had 4.9)";
}

TEST_F(Pictures, CounterBackgroundIsPlainBlueBetweenTheSuns) {
  plat::Bitmap b = Picture("pocitadlo");
  ASSERT_EQ(b.width(), 231);
  ASSERT_EQ(b.height(), 60);
  for (int y = 0; y < 60; ++y)
    for (int x = 90; x < 140; ++x) EXPECT_EQ(*b.PixelAt(x, y), kKey) << x << "," << y;
  auto yellowish = [&](int x0, int x1) {
    int n = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = x0; x <= x1; ++x) {
        plat::Rgb c = *b.PixelAt(x, y);
        n += c.r > 200 && c.g > 120 && c.b < 100;
      }
    return n;
  };
  EXPECT_GT(yellowish(0, 65), 600);
  EXPECT_GT(yellowish(166, 230), 600);
  EXPECT_EQ(yellowish(70, 160), 0);
}

TEST_F(Pictures, IconHasColoursAndATransparencyMask) {
  plat::Bitmap b = Picture("icon");
  EXPECT_EQ(b.width(), 32);
  EXPECT_EQ(b.height(), 32);
  auto icon = ozzel::res::Icon();
  ASSERT_TRUE(icon);
  ASSERT_EQ(icon->w, 32);
  ASSERT_EQ(icon->h, 32);
  ASSERT_EQ(icon->argb.size(), 32u * 32u);
  EXPECT_EQ(icon->argb[0] >> 24, 0u);
  EXPECT_EQ(icon->argb[16 * 32 + 16] >> 24, 255u);
  EXPECT_EQ(icon->argb[16 * 32 + 16] & 0xFFFFFF, b.PixelAt(16, 16)->packed());
  int white = 0;
  for (uint32_t p : b.pixels()) white += p == 0xFFFFFFu;
  EXPECT_GT(white, 60);  // the letters
}

TEST_F(Pictures, PicturesAreCachedAndUnknownNamesThrow) {
  plat::Bitmap a = Picture("roh_LH");
  plat::Bitmap b = Picture("roh_LH");
  EXPECT_EQ(a.pixels(), b.pixels());
  EXPECT_THROW(Picture("no_such_picture"), plat::GdiError);
  EXPECT_THROW(Picture("../roh_LH"), plat::GdiError);
}

TEST_F(Pictures, MissingOrDamagedFilesFailCleanly) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("ozzel-res-test-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  {
    std::ofstream(dir / "roh_PH.bmp") << "BM this is not a bitmap";
    std::ofstream(dir / "ruka1.cur") << "OZZCUR 1\n32 32\nhotspot 10 0\ncolors 1\n. 00000000\n....\n";
  }
  plat::os::SetEnv("OZZEL_RESOURCES", dir.string());
  ozzel::res::ClearCache();
  EXPECT_EQ(ozzel::res::ResourceDir(), dir.string());
  EXPECT_THROW(Picture("roh_LH"), plat::GdiError);
  EXPECT_THROW(Picture("roh_PH"), plat::GdiError);
  EXPECT_EQ(ozzel::res::Cursor("ruka1"), nullptr);
  EXPECT_EQ(ozzel::res::Cursor("sipka1"), nullptr);
  EXPECT_EQ(ozzel::res::Icon(), nullptr);
  fs::remove_all(dir);
  plat::os::SetEnv("OZZEL_RESOURCES", OZZEL_SOURCE_DIR "/resources/data");
  ozzel::res::ClearCache();
}

// The program moves into its data root at start: a relative resource directory still means the one
// under the directory it was started in.
TEST_F(Pictures, ARelativeDirectoryMeansTheStartDirectory) {
  namespace fs = std::filesystem;
  std::string rel = fs::relative(OZZEL_SOURCE_DIR "/resources/data", plat::StartDir()).string();
  ASSERT_TRUE(plat::IsRelativePath(rel));
  plat::os::SetEnv("OZZEL_RESOURCES", rel);
  ozzel::res::ClearCache();
  fs::path before = fs::current_path();
  fs::current_path(fs::temp_directory_path());
  EXPECT_NO_THROW(Picture("roh_LH"));
  EXPECT_NE(ozzel::res::Cursor("sipka1"), nullptr);
  fs::current_path(before);
  plat::os::SetEnv("OZZEL_RESOURCES", OZZEL_SOURCE_DIR "/resources/data");
  ozzel::res::ClearCache();
}

}  // namespace
