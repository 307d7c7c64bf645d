// The colour code table: exact matches only; black, near misses and failed reads name no animal.
#include <gtest/gtest.h>

#include "game/colour_codes.h"

using namespace ozzel::game;
using plat::Rgb;

TEST(ColourCodes, ExactColoursNameTheirAnimal) {
  EXPECT_EQ(AnimalCode(Rgb{255, 255, 255}), 1);
  EXPECT_EQ(AnimalCode(Rgb{255, 255, 0}), 2);
  EXPECT_EQ(AnimalCode(Rgb{255, 255, 128}), 8);
  EXPECT_EQ(AnimalCode(Rgb{255, 128, 128}), 9);
  EXPECT_EQ(AnimalCode(Rgb{128, 128, 128}), 10);
  for (int n = 1; n <= 10; ++n) EXPECT_EQ(AnimalCode(CodeColours[n]), n);
}

TEST(ColourCodes, OffByOneBlackAndFailedReadsAreNoAnimal) {
  EXPECT_EQ(AnimalCode(Rgb{254, 255, 255}), 0);
  EXPECT_EQ(AnimalCode(Rgb{255, 255, 127}), 0);
  EXPECT_EQ(AnimalCode(Rgb{127, 128, 128}), 0);
  EXPECT_EQ(AnimalCode(Rgb{0, 0, 0}), 0);
  EXPECT_EQ(AnimalCode(std::nullopt), 0);
  EXPECT_TRUE(IsBackground(Rgb{0, 0, 0}));
  EXPECT_FALSE(IsBackground(Rgb{0, 0, 1}));
  EXPECT_FALSE(IsBackground(std::nullopt)) << "a failed read must show the hand, not the arrow";
}
