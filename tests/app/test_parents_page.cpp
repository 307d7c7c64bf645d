// The parents' page: steppers that keep every value usable, texts that fit, every access mode's words and name.
#include <gtest/gtest.h>

#include <cctype>

#include "app/access_modes.h"
#include "app/parents_page.h"
#include "app/parents_texts.h"
#include "tests/app/app_harness.h"

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

TEST(ParentsPage, AStepNeverMovesTheWrongWay) {
  // Every value the file may hold, inside the page's range and beyond it (levels read in as at most 100).
  for (ParentsRow row : {ParentsRow::Dwell, ParentsRow::Scan, ParentsRow::Session, ParentsRow::Music,
                         ParentsRow::Speech})
    for (uint32_t v = 0; v <= (row >= ParentsRow::Music ? kMaxVolume : 31000); v += v < 400 ? 1 : 37) {
      ParentsSettings s;
      s.DwellMs = s.ScanMs = s.SessionMinutes = s.MusicVolume = s.SpeechVolume = v;
      ParentsSettings up = s, down = s;
      StepParentsRow(up, row, +1);
      StepParentsRow(down, row, -1);
      auto value = [row](const ParentsSettings& x) {
        return row == ParentsRow::Dwell ? x.DwellMs : row == ParentsRow::Scan ? x.ScanMs
             : row == ParentsRow::Session ? x.SessionMinutes : row == ParentsRow::Music ? x.MusicVolume : x.SpeechVolume;
      };
      ASSERT_GE(value(up), v) << "row " << int(row) << " +";
      ASSERT_LE(value(down), v) << "row " << int(row) << " -";
    }
}

TEST(ParentsPage, EveryTextFitsItsBoxInEveryLanguageAndMode) {
  int count = 0;
  const ParentsTexts* all = ParentsTextsAll(count);
  ASSERT_EQ(count, 7);
  for (int l = 0; l < count; ++l)
    for (int mode = 0; mode < 5; ++mode)
      for (bool kiosk : {false, true}) {
        ParentsSettings s;
        s.Access = AccessMode(mode);
        s.Kiosk = kiosk;
        s.SessionMinutes = kiosk ? 180 : 0;
        s.DwellMs = s.ScanMs = kiosk ? 1250 : 10000;
        const auto texts = ParentsPageTexts(all[l].code, s);
        // The timings only where they apply.
        auto shows = [&](const char* label) {
          for (const auto& t : texts)
            if (t.text == label) return true;
          return false;
        };
        EXPECT_EQ(shows(all[l].dwell), s.Access == AccessMode::Dwell) << all[l].code;
        EXPECT_EQ(shows(all[l].scan), s.Access == AccessMode::Scan1) << all[l].code;
        for (const auto& t : texts) {
          EXPECT_LE(plat::Canvas::TextWidth(t.text, t.font), t.box.w) << all[l].code << ": \"" << t.text << "\"";
          EXPECT_LE(t.font.height_px, t.box.h) << all[l].code << ": \"" << t.text << "\"";
          // 12 px or more on a 1024 x 768 screen, where the page is drawn 1.6 times its size.
          EXPECT_GE(t.font.height_px * 16, 12 * 10) << t.text;
          EXPECT_TRUE(t.box.left >= 0 && t.box.top >= 0) << t.text;
          EXPECT_LE(t.box.right(), 640) << t.text;
          EXPECT_LE(t.box.bottom(), 480) << t.text;
        }
      }
}

TEST(ParentsPage, EveryAccessModeHasItsWordsEverywhereAndItsNameSurvivesTheSettingsFile) {
  int count = 0;
  const ParentsTexts* all = ParentsTextsAll(count);
  for (const AccessModeEntry& m : AccessModes()) {
    const std::string name = AccessName(m.mode);
    // Words of its own in each language the page speaks, never the Czech fallback in their place.
    for (int l = 0; l < count; ++l) {
      const AccessModeWords& w = AccessModeWordsIn(m.mode, all[l].code);
      EXPECT_STREQ(w.language, all[l].code) << name;
      EXPECT_TRUE(*w.name && *w.help) << name << " in " << all[l].code;
    }
    // Saved and read back as the same mode, also written in capitals by hand.
    ozzel::testing::TempStore store;
    Parents_Initialize();
    ParentsSettings next = parents;
    next.Access = m.mode;
    ASSERT_TRUE(Parents_Save(next)) << name;
    Parents_Initialize();
    EXPECT_EQ(parents.Access, m.mode) << name;
    std::string upper = name;
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(AccessFromName(upper), m.mode) << name;
  }
}
