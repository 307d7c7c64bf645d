// The four colour hit maps: exact code colours, and every silhouette's box, size, shape, strays and soft edge.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "platform/os.h"
#include "resources/resources.h"

namespace {

const plat::Rgb kCode[11] = {{0, 0, 0},       {255, 255, 255}, {255, 255, 0},   {255, 0, 0},
                             {0, 255, 255},   {0, 0, 255},     {255, 0, 255},   {0, 255, 0},
                             {255, 255, 128}, {255, 128, 128}, {128, 128, 128}};

int CodeOf(plat::Rgb c) {
  for (int i = 1; i <= 10; ++i)
    if (kCode[i] == c) return i;
  return 0;
}

struct Animal {
  int code, pixels, x0, x1, y0, y1;
  int strays = 0;           // single exact pixels apart from the silhouette, counted in `pixels`
  bool strays_away = false;  // they lie outside the box (on another animal's edge)
};

struct MapCase {
  const char* name;
  std::vector<Animal> animals;
};

// The scenes on the data medium were drawn around these silhouettes: pixel counts and boxes of the
// original maps, and the stray edge pixels they hold.
const std::vector<MapCase>& Maps() {
  static const std::vector<MapCase> maps = {
      {"RGB_doma",
       {{1, 2327, 95, 168, 46, 102}, {3, 2930, 285, 357, 70, 129}, {4, 2034, 90, 163, 229, 273},
        {5, 21106, 37, 284, 184, 399}, {6, 8706, 502, 583, 46, 250}, {7, 21697, 404, 565, 150, 402},
        {8, 2716, 311, 407, 205, 251}}},
      {"RGB_uzitecna",
       {{1, 14410, 340, 547, 73, 256}, {2, 9584, 447, 618, 14, 125}, {3, 4474, 181, 284, 59, 153},
        {4, 8048, 18, 158, 71, 226}, {5, 2941, 552, 627, 184, 267, 1}, {6, 1835, 497, 556, 309, 381},
        {7, 6440, 342, 438, 275, 378, 1}, {8, 6386, 167, 310, 229, 311, 1}, {9, 2203, 136, 222, 299, 385},
        {10, 1274, 64, 122, 221, 293, 9, true}}},
      {"RGB_lesni",
       {{1, 22171, 153, 408, 39, 317, 1}, {2, 23641, 418, 629, 122, 289}, {3, 2822, 305, 349, 29, 110},
        {4, 2182, 492, 550, 28, 90}, {5, 10647, 21, 192, 107, 312}, {6, 3045, 13, 118, 307, 369},
        {7, 5452, 124, 267, 302, 395}, {8, 7229, 265, 427, 322, 396}, {9, 11063, 435, 621, 283, 396, 1}}},
      {"RGB_safari",
       {{1, 27170, 382, 635, 32, 220}, {2, 4996, 204, 350, 147, 218}, {3, 13168, 15, 186, 5, 273, 6},
        {4, 4952, 350, 509, 154, 259}, {5, 6238, 391, 540, 301, 398}, {6, 12070, 184, 380, 213, 353},
        {7, 11139, 458, 634, 246, 351}, {8, 3176, 265, 350, 327, 400}, {9, 6852, 25, 169, 307, 386}}},
  };
  return maps;
}

// Labels of the 4-connected regions of the pixels equal to c (0 elsewhere), and each region's size.
std::vector<int> Regions(const plat::Bitmap& b, plat::Rgb c, std::vector<int>& sizes) {
  const int w = b.width(), h = b.height();
  std::vector<int> label(size_t(w) * h, 0);
  sizes.assign(1, 0);
  std::vector<int> stack;
  for (int i = 0; i < w * h; ++i) {
    if (label[size_t(i)] || b.pixels()[size_t(i)] != c.packed()) continue;
    const int id = int(sizes.size());
    sizes.push_back(0);
    label[size_t(i)] = id;
    stack.push_back(i);
    while (!stack.empty()) {
      int j = stack.back();
      stack.pop_back();
      ++sizes[size_t(id)];
      int x = j % w, y = j / w;
      for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        int nx = x + dx, ny = y + dy;
        if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
        int k = ny * w + nx;
        if (!label[size_t(k)] && b.pixels()[size_t(k)] == c.packed()) label[size_t(k)] = id, stack.push_back(k);
      }
    }
  }
  return label;
}

class HitMaps : public ::testing::TestWithParam<size_t> {
 protected:
  void SetUp() override {
    plat::os::SetEnv("OZZEL_RESOURCES", OZZEL_SOURCE_DIR "/resources/data");
    ozzel::res::ClearCache();
  }
};

TEST_P(HitMaps, HoldExactlyTheListedCodes) {
  const MapCase& m = Maps()[GetParam()];
  plat::Bitmap b = ozzel::res::Picture(m.name);
  ASSERT_EQ(b.width(), 640);
  ASSERT_EQ(b.height(), 410);
  EXPECT_EQ(b.source_bits(), 8) << "the colours must survive exactly";
  std::set<int> want, got;
  for (const Animal& a : m.animals) want.insert(a.code);
  for (uint32_t p : b.pixels())
    if (int c = CodeOf(plat::Rgb::FromPacked(p))) got.insert(c);
  EXPECT_EQ(got, want);
}

// A click anywhere on the animal of a scene picture must find it: the silhouette fills exactly the
// box the scene was drawn around, with the original's pixel count (within 1 %), in one piece.
TEST_P(HitMaps, EachSilhouetteFillsItsBoxWithItsPixelCount) {
  const MapCase& m = Maps()[GetParam()];
  plat::Bitmap b = ozzel::res::Picture(m.name);
  for (const Animal& a : m.animals) {
    SCOPED_TRACE(std::string(m.name) + " code " + std::to_string(a.code));
    std::vector<int> sizes;
    const auto label = Regions(b, kCode[a.code], sizes);
    ASSERT_GT(sizes.size(), 1u);
    const int main = int(std::max_element(sizes.begin() + 1, sizes.end()) - sizes.begin());
    int n = 0, x0 = 640, x1 = -1, y0 = 410, y1 = -1;
    std::vector<std::pair<int, int>> strays;
    for (int y = 0; y < 410; ++y)
      for (int x = 0; x < 640; ++x) {
        const int l = label[size_t(y) * 640 + x];
        if (!l) continue;
        ++n;
        if (l != main) {
          strays.push_back({x, y});
          continue;
        }
        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
      }
    EXPECT_EQ((std::array{x0, x1, y0, y1}), (std::array{a.x0, a.x1, a.y0, a.y1}));
    EXPECT_LE(std::abs(n - a.pixels) * 100, a.pixels) << n << " pixels";
    ASSERT_EQ(int(strays.size()), a.strays);
    for (auto [x, y] : strays) {
      SCOPED_TRACE("stray at " + std::to_string(x) + "," + std::to_string(y));
      EXPECT_EQ(sizes[size_t(label[size_t(y) * 640 + x])], 1);
      const bool in_box = x >= a.x0 && x <= a.x1 && y >= a.y0 && y <= a.y1;
      EXPECT_NE(in_box, a.strays_away);
      // A single blended edge pixel: its neighbours are edge colours, none of its own code.
      int blended = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          if (!dx && !dy) continue;
          const plat::Rgb c = *b.PixelAt(x + dx, y + dy);
          EXPECT_NE(c, kCode[a.code]);
          blended += c != kCode[0] && !CodeOf(c);
        }
      EXPECT_GT(blended, 0);
    }
  }
}

TEST_P(HitMaps, EverythingElseIsBlackOrASoftEdge) {
  const MapCase& m = Maps()[GetParam()];
  plat::Bitmap b = ozzel::res::Picture(m.name);
  int edge = 0;
  for (int y = 0; y < 410; ++y)
    for (int x = 0; x < 640; ++x) {
      plat::Rgb c = *b.PixelAt(x, y);
      if (c == kCode[0] || CodeOf(c)) continue;
      ++edge;
      // A blended pixel lies on a silhouette's border.
      bool near = false;
      for (int dy = -2; dy <= 2 && !near; ++dy)
        for (int dx = -2; dx <= 2 && !near; ++dx)
          if (auto n = b.PixelAt(x + dx, y + dy)) near = CodeOf(*n) != 0;
      EXPECT_TRUE(near) << "stray blended pixel at " << x << "," << y;
    }
  EXPECT_GT(edge, 200) << "silhouettes have soft edges";
  // The soft edge runs all round: no animal's pixel touches the background or another animal directly.
  int hard = 0;
  for (int y = 0; y + 1 < 410; ++y)
    for (int x = 0; x + 1 < 640; ++x) {
      const plat::Rgb c = *b.PixelAt(x, y);
      for (const plat::Rgb n : {*b.PixelAt(x + 1, y), *b.PixelAt(x, y + 1)})
        hard += c != n && (CodeOf(c) || CodeOf(n)) && (CodeOf(c) || c == kCode[0]) && (CodeOf(n) || n == kCode[0]);
    }
  EXPECT_EQ(hard, 0);
  // Nothing is drawn where no animal stands: the top-left corner is always background.
  EXPECT_EQ(*b.PixelAt(0, 0), kCode[0]);
  EXPECT_FALSE(b.PixelAt(640, 0).has_value());
  EXPECT_FALSE(b.PixelAt(0, 410).has_value());
}

INSTANTIATE_TEST_SUITE_P(AllScenes, HitMaps, ::testing::Values(0, 1, 2, 3),
                         [](const auto& info) { return std::string(Maps()[info.param].name); });

}  // namespace
