// The artwork generator: it reproduces the committed files, and the animal drawings it shares.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "resources/resources.h"
#include "tools/art/animals.h"
#include "tools/resgen/resgen.h"

namespace {

namespace fs = std::filesystem;
using namespace ozzel;

std::vector<uint8_t> ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Generator, ReproducesTheCommittedFilesByteForByte) {
  const fs::path data = OZZEL_SOURCE_DIR "/resources/data";
  auto files = resgen::GenerateAll();
  for (const auto& [name, bytes] : files) EXPECT_TRUE(ReadAll(data / name) == bytes) << name << " differs";
  for (const auto& entry : fs::directory_iterator(data))
    EXPECT_TRUE(files.count(entry.path().filename().string())) << "stale file " << entry.path();
}

TEST(Art, PlacementTableCoversEverySet) {
  std::map<int, std::vector<int>> codes;
  for (const auto& p : art::AnimalPlacements()) {
    codes[p.set].push_back(p.code);
    EXPECT_EQ(p.colour, art::CodeColour(p.code));
    EXPECT_FALSE(p.box.empty());
    EXPECT_LE(p.box.right(), art::kSceneWidth);
    EXPECT_LE(p.box.bottom(), art::kSceneHeight);
    EXPECT_EQ(art::FindPlacement(p.set, p.code), &p);
  }
  EXPECT_EQ(codes[1], (std::vector<int>{1, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(codes[2], (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(codes[3], (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(codes[4], (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(art::FindPlacement(1, 2), nullptr);
  EXPECT_EQ(art::FindPlacement(5, 1), nullptr);
  // The mouse sits on the cat, so it must be drawn after it.
  auto order = art::PlacementsInDrawingOrder(1);
  auto pos = [&](int code) { return std::find_if(order.begin(), order.end(), [&](auto* p) { return p->code == code; }); };
  EXPECT_LT(pos(5), pos(4));
}

TEST(Art, AnimalDrawingsFillTheirBoxDeterministically) {
  for (const auto& p : art::AnimalPlacements()) {
    SCOPED_TRACE(p.english_name);
    art::RgbaImage a = art::DrawAnimalRGBA(p), b = art::DrawAnimalRGBA(p);
    ASSERT_EQ(a.w, p.box.w);
    ASSERT_EQ(a.h, p.box.h);
    EXPECT_EQ(a.argb, b.argb);
    // Opaque where its silhouette is (animals drawn on top of it hide a little of it in the map).
    int solid = 0;
    for (uint32_t px : a.argb) solid += (px >> 24) >= 128;
    EXPECT_GE(solid, p.pixels * 9 / 10);
    EXPECT_LE(solid, p.pixels * 23 / 20);
  }
}

// The picture of a found animal shows all of it: nothing touches the picture's sides or top.
TEST(Art, LargeAnimalsAreWhole) {
  for (const auto& p : art::AnimalPlacements()) {
    SCOPED_TRACE(p.english_name);
    const art::RgbaImage img = art::DrawAnimalLarge(p, 400, 256);
    ASSERT_EQ(img.w, 400);
    ASSERT_EQ(img.h, 256);
    int edge = 0, shown = 0;
    for (int y = 0; y < img.h; ++y)
      for (int x = 0; x < img.w; ++x) {
        shown += img.alpha(x, y) > 0;
        if (x == 0 || y == 0 || x == img.w - 1) edge += img.alpha(x, y) > 0;
      }
    EXPECT_EQ(edge, 0);
    EXPECT_GT(shown, 400 * 256 / 10);
  }
}

TEST(Art, CompositingKeepsTheBackgroundAroundTheAnimal) {
  const auto* cat = art::FindPlacement(1, 5);
  ASSERT_TRUE(cat);
  art::RgbaImage img = art::DrawAnimalRGBA(*cat);
  plat::Bitmap scene(640, 410, {10, 200, 30});
  art::CompositeOver(scene, img, cat->box.left, cat->box.top);
  EXPECT_EQ(*scene.PixelAt(0, 0), (plat::Rgb{10, 200, 30}));
  int changed = 0;
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      bool opaque = img.alpha(x, y) == 255;
      if (opaque) {
        EXPECT_EQ(scene.PixelAt(cat->box.left + x, cat->box.top + y)->packed(), img.at(x, y) & 0xFFFFFF);
      }
      changed += img.alpha(x, y) > 0;
    }
  EXPECT_GT(changed, cat->pixels / 2);
  // Drawing partly outside the picture is clipped, not a crash.
  art::CompositeOver(scene, img, 600, 380);
  art::CompositeOver(scene, img, -300, -300);
}

TEST(Art, ResampleKeepsFlatColourAndOpacity) {
  art::RgbaImage src{4, 4, std::vector<uint32_t>(16, 0xFF3366CCu)};
  for (auto [w, h] : {std::pair{9, 7}, {2, 2}, {1, 5}}) {
    art::RgbaImage out = art::Resample(src, w, h);
    ASSERT_EQ(out.argb.size(), size_t(w * h));
    for (uint32_t p : out.argb) EXPECT_EQ(p, 0xFF3366CCu);
  }
  // Transparent neighbours lend no colour, only transparency.
  art::RgbaImage half{2, 1, {0xFFFF0000u, 0x0000FF00u}};
  art::RgbaImage out = art::Resample(half, 4, 1);
  for (uint32_t p : out.argb)
    if (p >> 24) {
      EXPECT_EQ(p & 0xFFFFFF, 0xFF0000u);
    }
  EXPECT_TRUE(art::Resample(src, 0, 3).argb.empty());
}

}  // namespace
