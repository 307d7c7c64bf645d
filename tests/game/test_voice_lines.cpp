// The lines a family may record: every one a file the game plays, speech only, in the order a child meets them.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/names.h"
#include "game/voice_lines.h"

namespace ozzel::game {

TEST(VoiceLines, SpokenFilesOfTheGameInPlayingOrder) {
  const std::vector<VoiceLine> lines = VoiceLines();
  const std::vector<std::string> all = AllDataFiles();
  for (const VoiceLine& l : lines) {
    EXPECT_NE(std::find(all.begin(), all.end(), l.file), all.end()) << l.file;
    EXPECT_TRUE(IsVoiceLineName(l.name()));
  }
  EXPECT_EQ(lines.front().file, IntroSpeech());
  EXPECT_EQ(lines.back().file, GoodbyeSound());
  EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end(), [](auto& a, auto& b) { return a.group < b.group; }));
  // Sounds are not speech; only plain names of lines are takes.
  for (const char* no : {"oz_bad.wav", "oz_snd2.wav", "oz_uvod.bmp", "../oz_uvod.wav", ""}) EXPECT_FALSE(IsVoiceLineName(no)) << no;
  EXPECT_TRUE(IsVoiceLineName("OZ_L_A1.WAV"));
}

}  // namespace ozzel::game
