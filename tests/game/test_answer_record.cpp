// The answers record: its text survives a round trip, and a hand-edited or damaged line never hurts.
#include <gtest/gtest.h>

#include "game/answer_record.h"

using ozzel::game::AnimalTally;
using ozzel::game::AnswerRecord;

TEST(AnswerRecord, CountsRoundTripAndDamageIsDropped) {
  AnswerRecord r = AnswerRecord::Parse("D5=3/2 X9=1/1 D2=1/0 L7=2/5 S4=99999999/1 U3=a/b D5 U10=4/4");
  // D2: the home set has no animal 2; L7: more first tries than answers; U3, D5: not numbers. A count
  // past any child's, however long, is capped rather than dropped.
  EXPECT_EQ(r.Format(), "D5=3/2 S4=1000000/1 U10=4/4");
  EXPECT_EQ(AnswerRecord::Parse("D5=4294967296/1 U10=000000000000000000007/3").Format(), "D5=1000000/1 U10=7/3");
  EXPECT_FALSE(r.Changed());
  r.Note("D", 5, false);
  r.Note("L", 7, true);
  EXPECT_TRUE(r.Changed());
  EXPECT_EQ(r.Of("D", 5), (AnimalTally{4, 2}));
  EXPECT_EQ(AnswerRecord::Parse(r.Format()).Format(), "D5=4/2 L7=1/1 S4=1000000/1 U10=4/4");
}
