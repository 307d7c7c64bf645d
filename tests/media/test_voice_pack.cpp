// The pack of a family's takes: what is written reads back, and a crafted or cut pack is refused whole.
#include <gtest/gtest.h>

#include "media/voice_pack.h"

namespace ozzel {

TEST(VoicePack, ReadsBackAndRefusesCraftedPacks) {
  const VoicePack pack{"de", {{"oz_uvod.wav", {'R', 'I', 'F', 'F'}}, {"oz_L_a1.wav", {}}}};
  const std::vector<uint8_t> bytes = WritePack(pack);
  std::string error;
  const auto back = ReadPack(bytes.data(), bytes.size(), &error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(back->language, "de");
  ASSERT_EQ(back->takes.size(), 2u);
  EXPECT_EQ(back->takes[0].wav, pack.takes[0].wav);
  EXPECT_FALSE(ReadPack(bytes.data(), bytes.size() - 1, &error));
  for (const char* crafted : {"OZZELVOICE 1\nlanguage cs\ntake ../registry.reg 1\nx\nend\n",
                              "OZZELVOICE 1\nlanguage cs\ntake oz_uvod.wav 99999999999\nend\n",
                              "OZZELVOICE 1\nlanguage cs\ntake oz_uvod.wav 4\nRIF",
                              "OZZELVOICE 1\nlanguage cs\nend\ntrailing"}) {
    const std::string s = crafted;
    EXPECT_FALSE(ReadPack(reinterpret_cast<const uint8_t*>(s.data()), s.size(), &error)) << s;
  }
}

}  // namespace ozzel
