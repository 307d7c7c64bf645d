// The word tables and the medium's language as its stamp records it.
#include <gtest/gtest.h>

#include <string>

#include "game/words.h"

using namespace ozzel::game;

TEST(Words, TheStampsLanguageLineNamesAKnownLanguage) {
  EXPECT_EQ(StampLanguage("version 1a2b\nfiles 312\ncontent ff\nlanguage de\nvoice de\n"), "de");
  EXPECT_EQ(StampLanguage("language en\r\n"), "en");
  EXPECT_EQ(StampLanguage("language pl"), "pl");  // the last line without its end
  for (const char* none : {"", "version 1\n", "language \n", "language xx\n", "language de-AT\n", " language de\n",
                           "languages de\n", "language"})
    EXPECT_EQ(StampLanguage(none), "") << none;
}

TEST(Words, EveryLanguageHasEveryWordAndCzechIsTheDefault) {
  for (const char* code : {"cs", "sk", "en", "de", "pl", "fr", "es"}) {
    const Words* w = WordsFor(code);
    ASSERT_NE(w, nullptr) << code;
    for (const char* text : {w->door, w->no_pictures_dir, w->data_path_caption, w->data_path_prompt, w->still_not_found,
                             w->no_sound, w->no_intro_speech, w->no_examiner_clip, w->background_not_released,
                             w->no_music, w->error_caption, w->ok, w->cancel})
      EXPECT_TRUE(text && *text) << code;
    for (const char* c = w->door; *c; ++c) EXPECT_TRUE(*c >= 'A' && *c <= 'Z') << code;
  }
  SetLanguage("de");
  EXPECT_EQ(DoorPicture(), "glyph_konec_de");
  SetLanguage("xx");
  EXPECT_STREQ(CurrentWords().code, "cs");
  EXPECT_EQ(DoorPicture(), "glyph_konec");
}
