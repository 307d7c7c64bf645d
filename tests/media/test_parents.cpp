// The parents' settings: defaults for anything missing or bad, and writes that keep memory and file in step.
#include <gtest/gtest.h>

#include <filesystem>

#include "media/parents.h"
#include "media/registry_keys.h"
#include "tests/app/app_harness.h"

using namespace ozzel;
using ozzel::testing::Headless;
using ozzel::testing::TempStore;

namespace {
void Put(TempStore& s, const char* name, const plat::RegValue& v) { s.reg().Write(kKeyOzzel, name, v); }
plat::RegValue D(uint32_t v) { return {plat::RegType::Dword, "", v}; }
plat::RegValue S(const char* t) { return {plat::RegType::String, t, 0}; }
}  // namespace

TEST(Parents, GoodValuesAreReadAndHandWrittenOnesAreMendedAloud) {
  {
    TempStore store;
    Put(store, "Access", S("Scan2"));
    Put(store, "DwellMs", D(2500));
    Put(store, "ScanMs", D(800));
    Put(store, "Kiosk", D(1));
    Put(store, "SessionMinutes", D(20));
    Put(store, "MusicVolume", D(0));
    Put(store, "SpeechVolume", D(70));
    parents.Kiosk = false;
    Parents_Initialize();
    EXPECT_EQ(parents, (ParentsSettings{AccessMode::Scan2, 2500, 800, true, 20, 0, 70}));
  }
  {
    TempStore store;
    Put(store, "Access", S("joystick"));
    Put(store, "DwellMs", D(0));        // would choose at once: the shortest there is
    Put(store, "ScanMs", S(" 1000"));   // a number written as a string, as a hand does
    Put(store, "Kiosk", S("1"));
    Put(store, "SessionMinutes", D(0xFFFFFFFF));
    Put(store, "MusicVolume", D(150));
    Put(store, "SpeechVolume", S("loud"));
    // A run before left other values in memory: every start begins from the defaults.
    parents = ParentsSettings{AccessMode::Dwell, 300, 300, true, 5, 1, 1};
    ::testing::internal::CaptureStderr();
    Parents_Initialize();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(parents, (ParentsSettings{AccessMode::Mouse, kMinChoiceMs, 1000, true, kMaxSessionMinutes, 100, 100}));
    // Every value that was not taken as written is named, and what was done with it.
    for (const char* what : {"Access", "DwellMs: 0 is outside 250..30000, 250 used", "ScanMs: the text",
                             "Kiosk: the text", "SessionMinutes: 4294967295", "MusicVolume: 150 is outside 0..100, 100 used",
                             "SpeechVolume: not a number"})
      EXPECT_NE(said.find(what), std::string::npos) << what << " in:\n" << said;
  }
}

TEST(Parents, NothingSetMeansDefaultsAndNoWrite) {
  TempStore store;
  Parents_Initialize();
  EXPECT_EQ(parents, ParentsSettings{});
  EXPECT_FALSE(std::filesystem::exists(store.path())) << "reading must not create the settings file";
}

TEST(Parents, SaveWritesOnlyChangesAndAReadOnlyStoreKeepsMemoryTrue) {
  TempStore store;
  Headless h;
  Parents_Initialize();
  ParentsSettings next;
  next.Access = AccessMode::Keys;
  next.SpeechVolume = 40;
  ASSERT_TRUE(Parents_Save(next));
  EXPECT_EQ(h.Events(), (std::vector<std::string>{"registry write Software\\Ozzel|Access|keys",
                                                   "registry write Software\\Ozzel|SpeechVolume|40"}));
  Parents_Initialize();
  EXPECT_EQ(parents, next);

  ParentsSettings bad = next;
  bad.DwellMs = 10;
  EXPECT_FALSE(Parents_Save(bad)) << "a value outside its range is refused, not stored";

  std::filesystem::permissions(store.path(), std::filesystem::perms::owner_read);
  ParentsSettings more = next;
  more.Kiosk = true;
  more.MusicVolume = 20;
  std::vector<std::string> not_saved;
  EXPECT_FALSE(Parents_Save(more, &not_saved));
  EXPECT_FALSE(parents.Kiosk) << "memory says what the file holds";
  EXPECT_EQ(not_saved, (std::vector<std::string>{"Kiosk", "MusicVolume"})) << "every refused value is named";
}
