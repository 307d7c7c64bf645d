// The verdict of a click, the turn of the praise and miss recordings, and the intro quarters.
#include <gtest/gtest.h>

#include "game/rules.h"

using namespace ozzel::game;

TEST(Rules, VerdictOfAClick) {
  EXPECT_EQ(Judge(0, 3), Verdict::Miss);
  EXPECT_EQ(Judge(3, 3), Verdict::Right);
  EXPECT_EQ(Judge(4, 3), Verdict::Wrong);
  // An empty question (animal 0) is never answered by a click on the background.
  EXPECT_EQ(Judge(0, 0), Verdict::Miss);
}

TEST(Rules, RecordingsComeInTurnAndWrap) {
  int i = 0, seen[7] = {};
  for (int k = 0; k < 12; ++k) ++seen[i = NextInTurn(i, kPraiseRecordings)];
  for (int n = 1; n <= 6; ++n) EXPECT_EQ(seen[n], 2) << n;
  EXPECT_EQ(NextInTurn(4, kMissRecordings), 1);
  // A value beyond the count (never stored by the program) still lands in range.
  EXPECT_EQ(NextInTurn(9, kMissRecordings), 1);
}

TEST(Rules, QuartersOfTheIntroPicture) {
  const int w = 640, h = 410;  // the scene image's size splits the halves
  EXPECT_EQ(SetOfQuarter(10, 10, w, h), 1);
  EXPECT_EQ(SetOfQuarter(500, 10, w, h), 2);
  EXPECT_EQ(SetOfQuarter(10, 300, w, h), 3);
  EXPECT_EQ(SetOfQuarter(500, 300, w, h), 4);
  // The split lines and 0 belong to the right and the lower half.
  EXPECT_EQ(SetOfQuarter(319, 204, w, h), 1);
  EXPECT_EQ(SetOfQuarter(320, 204, w, h), 2);
  EXPECT_EQ(SetOfQuarter(319, 205, w, h), 3);
  EXPECT_EQ(SetOfQuarter(0, 0, w, h), 4);
  EXPECT_EQ(SetOfQuarter(5, 0, w, h), 3);
  EXPECT_EQ(SetOfQuarter(0, 5, w, h), 2);
}
