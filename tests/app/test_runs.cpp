// Two program runs in one process: the second starts from the units' start values, not the first's.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/ozz_main.h"
#include "media/technic2.h"
#include "tests/app/app_harness.h"

using namespace ozzel;
using ozzel::testing::Headless;
using ozzel::testing::TempStore;

TEST(Runs, NothingOfTheSettingsUnitSurvivesIntoTheNextRun) {
  {
    TempStore store;
    store.reg().Write(kKeyOdklon, "kde_je_BM4", plat::RegValue{plat::RegType::String, store.MakeMedium(), 0});
    for (auto [name, v] : {std::pair{"WAV HLASITOST", 100u}, {"MIDI HLASITOST", 50u}, {"KORDO SERIE", 7u}, {"Ozzel_starty", 4u}})
      store.reg().Write(kKeySettings, name, plat::RegValue{plat::RegType::Dword, "", v});
    Headless h;
    ResetSharedState();
    Technic2_Initialize();
    h.Ok();
    PlayEffect(technic2.DataDir + "\\zvuky\\chybi.wav", 0);
    ASSERT_EQ(technic2.StartCount, 5);
    ASSERT_EQ(technic2.WavVolume, 100);
    ASSERT_FALSE(technic2.LastSoundPath.empty());
  }
  // The next run's settings key cannot be opened: the volumes keep their start value 0, the counter
  // counts from 0, and no sound has been asked for yet.
  TempStore store;
  std::filesystem::create_directory(store.path());
  Headless h;
  h.Ok(), h.Ok(), h.Ok();  // no data root: the two error boxes and the prompt
  ResetSharedState();
  Technic2_Initialize();
  EXPECT_EQ(technic2.WavVolume, 0);
  EXPECT_EQ(technic2.MidiVolume, 0);
  EXPECT_EQ(technic2.KordoSerie, 1);
  EXPECT_EQ(technic2.StartCount, 1);
  EXPECT_EQ(technic2.LastSoundPath, "");
}
