// The parents' page's steppers: every value stays where the game can use it, whatever a file held.
#include <gtest/gtest.h>

#include "app/parents_page.h"

using namespace ozzel;

TEST(ParentsPage, SteppersStayInRangeAndSnapToTheirSteps) {
  ParentsSettings s;
  for (int i = 0; i < 30; ++i) StepParentsRow(s, ParentsRow::Music, +1);
  EXPECT_EQ(s.MusicVolume, 100u);
  s.SpeechVolume = 37;  // set by hand in the file
  StepParentsRow(s, ParentsRow::Speech, -1);
  EXPECT_EQ(s.SpeechVolume, 30u);
  for (int i = 0; i < 30; ++i) StepParentsRow(s, ParentsRow::Speech, -1);
  EXPECT_EQ(s.SpeechVolume, 0u);

  for (int i = 0; i < 30; ++i) StepParentsRow(s, ParentsRow::Dwell, -1);
  EXPECT_EQ(s.DwellMs, 500u);
  for (int i = 0; i < 60; ++i) StepParentsRow(s, ParentsRow::Dwell, +1);
  EXPECT_EQ(s.DwellMs, 10000u);
  s.ScanMs = 250;  // the file's shortest: the page never makes it longer by a step down
  StepParentsRow(s, ParentsRow::Scan, -1);
  EXPECT_EQ(s.ScanMs, 250u);

  StepParentsRow(s, ParentsRow::Session, -1);
  EXPECT_EQ(s.SessionMinutes, 0u);
  s.SessionMinutes = 25;
  StepParentsRow(s, ParentsRow::Session, +1);
  EXPECT_EQ(s.SessionMinutes, 30u);

  StepParentsRow(s, ParentsRow::Access, -1);
  EXPECT_EQ(s.Access, AccessMode::Dwell);
  EXPECT_EQ(ParentsRowValue(s, ParentsRow::Dwell, "en"), "10 s");
  s.DwellMs = 1250;
  EXPECT_EQ(ParentsRowValue(s, ParentsRow::Dwell, "de"), "1,25 s");
  EXPECT_EQ(ParentsRowValue(s, ParentsRow::Session, "cs"), "30 min");
}
