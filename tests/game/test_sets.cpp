// The question lists, the shuffle's index arithmetic and the neighbour passes.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "game/names.h"
#include "game/random.h"
#include "game/sets.h"

using namespace ozzel::game;

namespace {
int Count(const QuestionList& q, int n, int kind, int animal) {
  int c = 0;
  for (int i = 1; i <= n; ++i)
    if (q[i].kind == kind && q[i].animal == animal) ++c;
  return c;
}
}  // namespace

TEST(QuestionLists, SizesAndHomeSetPeculiarities) {
  QuestionList q;
  EXPECT_EQ(BuildList(q, 1), 15);
  EXPECT_EQ(BuildList(q, 2), 30);
  EXPECT_EQ(BuildList(q, 3), 19);
  EXPECT_EQ(BuildList(q, 4), 18);

  uint8_t n = BuildList(q, 1);
  for (int i = 1; i <= n; ++i) {
    EXPECT_NE(q[i].animal, 2) << "the home set has no animal 2";
    EXPECT_EQ(q[i].letter, "D");
  }
  EXPECT_EQ(Count(q, n, 1, 3), 0);
  EXPECT_EQ(Count(q, n, 2, 3), 1);
  // Sound questions: the cat makes sound 2, the dog sound 1.
  std::map<int, int> sounds;
  for (int i = 1; i <= n; ++i)
    if (q[i].kind == 3) sounds[q[i].animal] = q[i].sound;
  EXPECT_EQ(sounds, (std::map<int, int>{{5, 2}, {7, 1}}));
  // Kinds come in order 1, 2, 3.
  EXPECT_TRUE(std::is_sorted(q.begin() + 1, q.begin() + 1 + n,
                             [](const totazka& a, const totazka& b) { return a.kind < b.kind; }));
}

TEST(QuestionLists, ASmallerSetLeavesTheTailOfALargerOne) {
  QuestionList q;
  BuildList(q, 2);
  totazka farm16 = q[16];
  BuildList(q, 1);
  EXPECT_EQ(q[16], farm16);
}

TEST(Shuffle, IndicesStayWithinTheList) {
  // A recording generator that returns the extremes of its range catches an off-by-one either way.
  for (int count : {1, 2, 15, 30, 100}) {
    QuestionList q;
    for (int i = 1; i <= 100; ++i) q[i].animal = uint8_t(i);
    int calls = 0;
    auto extremes = [&](int n) {
      ++calls;
      EXPECT_GT(n, 0);
      return calls % 2 ? n - 1 : 0;
    };
    Shuffle(q, count, extremes);
    EXPECT_EQ(calls, 400);
    // Nothing beyond the list was touched, and the list holds the same entries.
    for (int i = count + 1; i <= 100; ++i) EXPECT_EQ(q[i].animal, i);
    std::vector<int> seen;
    for (int i = 1; i <= count; ++i) seen.push_back(q[i].animal);
    std::sort(seen.begin(), seen.end());
    for (int i = 0; i < count; ++i) EXPECT_EQ(seen[i], i + 1);
  }
}

TEST(Shuffle, SameSeedSameOrderAndRandomStaysInRange) {
  auto order = [](uint32_t seed) {
    Randomize(seed);
    QuestionList q;
    uint8_t n = BuildList(q, 2);
    Shuffle(q, n, Random);
    std::vector<int> v;
    for (int i = 1; i <= n; ++i) v.push_back(q[i].animal * 10 + q[i].kind);
    return v;
  };
  EXPECT_EQ(order(7), order(7));
  EXPECT_NE(order(7), order(8));
  Randomize(1);
  for (int i = 0; i < 10000; ++i) {
    int r = Random(3);
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 3);
  }
  EXPECT_EQ(Random(0), 0);
}

TEST(NeighbourPasses, ForwardAndBackwardSwaps) {
  QuestionList q;
  auto set = [&](std::vector<int> animals) {
    for (size_t i = 0; i < animals.size(); ++i) q[i + 1].animal = uint8_t(animals[i]);
  };
  auto get = [&](int n) {
    std::vector<int> v;
    for (int i = 1; i <= n; ++i) v.push_back(q[i].animal);
    return v;
  };
  // Forward: i = 3 finds 3 == 3 and swaps entries 4 and 1.
  set({1, 2, 3, 3, 5, 6});
  SeparateNeighbours(q, 6);
  EXPECT_EQ(get(6), (std::vector<int>{3, 2, 3, 1, 5, 6}));
  // Entries 1 and 2 are only reached by the backward pass, which swaps 2 and 3.
  set({7, 7, 1, 2, 3, 4});
  SeparateNeighbours(q, 6);
  EXPECT_EQ(get(6), (std::vector<int>{7, 1, 7, 2, 3, 4}));
  // The last pair is reached by the forward pass: its second entry moves three places back.
  set({1, 2, 3, 4, 9, 9});
  SeparateNeighbours(q, 6);
  EXPECT_EQ(get(6), (std::vector<int>{1, 2, 9, 4, 9, 3}));
  // Pairs may remain: two passes are all there is.
  set({5, 5, 5, 5});
  SeparateNeighbours(q, 4);
  EXPECT_EQ(get(4), (std::vector<int>{5, 5, 5, 5}));
}

TEST(FileNames, AsTheProgramComposesThem) {
  EXPECT_EQ(ScenePicture(1), "\\obrazky\\doma_f.bmp");
  EXPECT_EQ(AnimalPicture(3, 7), "\\obrazky\\les_7.bmp");
  EXPECT_EQ(AnimalName("L", 7), "\\zvuky\\oz_L_J7.wav");
  EXPECT_EQ(WrongAnimalSound("D", 3), "\\zvuky\\oz_D_E3.wav");
  EXPECT_EQ(QuestionFiles({1, "D", 5, 0}, true), std::vector<std::string>{"\\zvuky\\oz_D_a5.wav"});
  EXPECT_EQ(QuestionFiles({2, "D", 3, 0}, true), std::vector<std::string>{"\\zvuky\\oz_D_b3.wav"});
  EXPECT_EQ(QuestionFiles({3, "D", 5, 2}, false),
            (std::vector<std::string>{"\\zvuky\\oz_snd_b.wav", "\\zvuky\\oz_snd2.wav"}));
  EXPECT_TRUE(QuestionFiles({0, "D", 5, 2}, false).empty());
  EXPECT_EQ(ButtonSound(2), "\\zvuky\\oz_iko2.WAV");
  EXPECT_EQ(ButtonSound(8), "\\zvuky\\oz_kon.WAV");
  EXPECT_EQ(ButtonSound(5), "");
  auto all = AllDataFiles();
  // Every sound number used by the sets, and no duplicates.
  for (int s : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 17})
    EXPECT_NE(std::find(all.begin(), all.end(), AnimalSound(s)), all.end()) << s;
  std::vector<std::string> sorted = all;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
}
