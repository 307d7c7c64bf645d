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

TEST(Parents, GoodValuesAreReadAndEveryBadOneIsItsDefault) {
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
    Put(store, "DwellMs", D(0));        // would choose at once
    Put(store, "ScanMs", S("1000"));    // a string, not a number
    Put(store, "Kiosk", D(2));
    Put(store, "SessionMinutes", D(0xFFFFFFFF));
    Put(store, "MusicVolume", D(101));
    Put(store, "SpeechVolume", S("loud"));
    // A run before left other values in memory: every start begins from the defaults.
    parents = ParentsSettings{AccessMode::Dwell, 300, 300, true, 5, 1, 1};
    Parents_Initialize();
    EXPECT_EQ(parents, ParentsSettings{});
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
  EXPECT_FALSE(Parents_Save(more));
  EXPECT_FALSE(parents.Kiosk) << "memory says what the file holds";
}
