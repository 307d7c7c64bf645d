// The medium's texts of its lines: good lines read, every bad one skipped alone.
#include <gtest/gtest.h>

#include "media/line_texts.h"

namespace ozzel {

TEST(LineTexts, ReadsGoodLinesAndSkipsBadOnes) {
  const std::string file =
      "\xEF\xBB\xBFoz_uvod.wav\tAhoj, já jsem Tibor.\r\n"
      "OZ_L_A1.wav\tKde je kočka?\n"
      "oz_L_a1.wav\tsecond of a name\n"
      "no tab here\n../registry.reg\tescape\noz_x.wav\t\noz_bad.wav\tcut \xC5\n"
      "oz_nul.wav\ta\x01b\noz_long.wav\t" + std::string(kMaxLineTextBytes + 1, 'a') + "\n"
      "oz_kon.wav\tKonec";
  const auto t = ParseLineTexts(reinterpret_cast<const uint8_t*>(file.data()), file.size());
  EXPECT_EQ(t, (std::map<std::string, std::string>{
                   {"oz_uvod.wav", "Ahoj, já jsem Tibor."}, {"oz_l_a1.wav", "Kde je kočka?"}, {"oz_kon.wav", "Konec"}}));
  std::string many;
  for (size_t i = 0; i < kMaxLineTexts + 10; ++i) many += "f" + std::to_string(i) + ".wav\tx\n";
  EXPECT_EQ(ParseLineTexts(reinterpret_cast<const uint8_t*>(many.data()), many.size()).size(), kMaxLineTexts);
  EXPECT_TRUE(ParseLineTexts(nullptr, 0).empty());
}

}  // namespace ozzel
