// The settings unit: data location with its prompt, volumes and counters, sound availability.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "platform/os.h"
#include "tests/app/app_harness.h"
#include "media/technic2.h"
#include "platform/start_dir.h"

using namespace ozzel;
using ozzel::testing::Headless;
using ozzel::testing::TempStore;

namespace {
void SetRoot(TempStore& s, const std::string& root) {
  s.reg().Write(kKeyOdklon, "kde_je_BM4", plat::RegValue{plat::RegType::String, root, 0});
}
void SetDword(TempStore& s, const char* name, uint32_t v) {
  s.reg().Write(kKeySettings, name, plat::RegValue{plat::RegType::Dword, "", v});
}
std::optional<uint32_t> Dword(TempStore& s, const char* name) {
  auto v = s.reg().Read(kKeySettings, name);
  if (!v || v->type != plat::RegType::Dword) return std::nullopt;
  return v->dword;
}
const char* kNotFound = "msgbox error Error|Chyba umístění programu (nenalezen adresář OBRAZKY) v místě programu ozzel.EXE.";
const char* kAgain =
    "msgbox error Error|Znovu nenalezeno. Program se nyní pokusí pokračovat, ale pravděpodobně nebude fungovat správně...";
}  // namespace

TEST(DataLocation, RootsWithAndWithoutBackslash) {
  struct Case {
    std::string root, data_dir;
  } cases[] = {
      {"D:\\", "D:\\bm4\\_ozzel"},
      {"D:", "D:\\bm4\\_ozzel"},
      {"C:\\DATA\\", "C:\\DATA\\bm4\\_ozzel"},
  };
  for (const Case& c : cases) {
    TempStore store;
    SetRoot(store, c.root);
    Headless h;
    h.Ok();
    h.Cancel();
    h.Ok();
    Technic2_Initialize();
    EXPECT_EQ(technic2.DataDir, c.data_dir) << c.root;
  }
}

TEST(DataLocation, MissingValueGivesTheBareSubdirectoryAndTheTwoBoxes) {
  TempStore store;
  Headless h;
  h.Ok();
  h.Cancel();
  h.Ok();
  Technic2_Initialize();
  EXPECT_EQ(technic2.DataDir, "\\bm4\\_ozzel");
  auto ev = h.Events();
  ASSERT_GE(ev.size(), 3u);
  EXPECT_TRUE(h.Saw(kNotFound));
  EXPECT_TRUE(h.Saw("input Umístění dat programu|Prosím zadej plnou cestu k teto casti (CD-ROM):|\\bm4\\_ozzel"));
  EXPECT_TRUE(h.Saw(kAgain)) << "a cancelled prompt keeps the proposal, which is still wrong";
}

TEST(DataLocation, AFoundMediumAsksNothingAndATypedPathLosesItsBackslash) {
  {
    TempStore store;
    SetRoot(store, store.MakeMedium());
    Headless h;
    Technic2_Initialize();
    EXPECT_EQ(technic2.DataDir, store.MakeMedium() + "\\bm4\\_ozzel");
    for (const auto& e : h.Events()) EXPECT_EQ(e.rfind("msgbox", 0), std::string::npos) << e;
  }
  {
    TempStore store;
    std::string typed = store.MakeMedium() + "/bm4/_ozzel\\";
    Headless h;
    h.Ok();
    h.Type(typed);
    h.Ok();
    Technic2_Initialize();
    EXPECT_EQ(technic2.DataDir, typed.substr(0, typed.size() - 1)) << "nothing appended, backslash gone";
    EXPECT_FALSE(h.Saw(kAgain));
  }
}

// Start-up moves into the data root; relative paths still mean what they meant where the program
// was started: the counters go back into the same settings file, the typed path finds the medium.
TEST(DataLocation, RelativePathsMeanTheStartDirectory) {
  namespace stdfs = std::filesystem;
  TempStore store;
  std::string medium = store.MakeMedium();
  // Deep enough that a path climbing out of the start directory cannot climb out of it too.
  stdfs::path elsewhere = store.dir() / "elsewhere";
  const stdfs::path start(plat::StartDir());
  for (auto it = start.begin(); it != start.end(); ++it) elsewhere /= "d";
  stdfs::create_directories(elsewhere);
  SetRoot(store, elsewhere.string());  // entered at start, but holds no data
  SetDword(store, "Ozzel_starty", 5);
  std::string rel_store = stdfs::relative(store.path(), plat::StartDir()).string();
  std::string rel_data = stdfs::relative(medium, plat::StartDir()).string() + "/bm4/_ozzel";
  if (rel_store.empty()) GTEST_SKIP() << "the temporary folder is on another drive than the start";
  ASSERT_TRUE(plat::IsRelativePath(rel_store) && plat::IsRelativePath(rel_data));
  plat::os::SetEnv("OZZEL_REGISTRY", rel_store);
  Headless h;
  h.Ok();
  h.Type(rel_data);
  h.Ok();
  Technic2_Initialize();
  EXPECT_EQ(stdfs::current_path(), elsewhere);
  EXPECT_EQ(technic2.StartCount, 6);
  EXPECT_EQ(technic2.DataDir, plat::StartDir() + "/" + rel_data);
  EXPECT_FALSE(h.Saw(kAgain));
  Technic2_Finalize();
  EXPECT_EQ(Dword(store, "Ozzel_starty"), 6u);
  for (const auto& e : stdfs::recursive_directory_iterator(store.dir() / "elsewhere"))
    EXPECT_TRUE(e.is_directory()) << e.path() << ": a second settings file";
}

TEST(Counters, FirstStartOnACleanStoreWritesOnlyTheTwoCounters) {
  TempStore store;
  SetRoot(store, store.MakeMedium());
  Headless h;
  Technic2_Initialize();
  EXPECT_EQ(technic2.StartCount, 1);
  EXPECT_EQ(technic2.WavVolume, 255);
  EXPECT_EQ(technic2.MidiVolume, 60);
  Technic2_Finalize();
  EXPECT_EQ(Dword(store, "Ozzel_starty"), 1u);
  EXPECT_EQ(Dword(store, "KORDO SERIE"), 1u);
  EXPECT_FALSE(Dword(store, "WAV HLASITOST"));
  EXPECT_FALSE(Dword(store, "MIDI HLASITOST"));
  EXPECT_TRUE(h.Saw("registry write Software\\Orvel Team\\BM4\\Nastaveni - obecne|Ozzel_starty|1"));
  EXPECT_TRUE(store.reg().KeyExists(kKeyOdklon));
}

TEST(Counters, OneVolumeMissingResetsAllThree) {
  TempStore store;
  SetRoot(store, store.MakeMedium());
  SetDword(store, "WAV HLASITOST", 100);
  SetDword(store, "KORDO SERIE", 7);
  Headless h;
  Technic2_Initialize();
  EXPECT_EQ(technic2.WavVolume, 255);
  EXPECT_EQ(technic2.KordoSerie, 1);
  Technic2_Finalize();
  EXPECT_EQ(Dword(store, "KORDO SERIE"), 1u);
  EXPECT_EQ(Dword(store, "WAV HLASITOST"), 100u) << "volumes are never written";
}

TEST(Counters, AllThreePresentKeepKordoAndTheLargestCountDoesNotWrap) {
  TempStore store;
  SetRoot(store, store.MakeMedium());
  SetDword(store, "WAV HLASITOST", 100);
  SetDword(store, "MIDI HLASITOST", 50);
  SetDword(store, "KORDO SERIE", 7);
  SetDword(store, "Ozzel_starty", uint32_t(INT32_MAX));
  Headless h;
  Technic2_Initialize();
  EXPECT_EQ(technic2.WavVolume, 100);
  EXPECT_EQ(technic2.MidiVolume, 50);
  EXPECT_EQ(technic2.StartCount, INT32_MAX);
  Technic2_Finalize();
  EXPECT_EQ(Dword(store, "KORDO SERIE"), 7u);
  EXPECT_EQ(Dword(store, "Ozzel_starty"), uint32_t(INT32_MAX));
}

TEST(Counters, AnotherProgramsValuesSurviveOurWrite) {
  TempStore store;
  SetRoot(store, store.MakeMedium());
  store.reg().Write("Software\\Orvel Team\\BM4\\Jiny", "Neco", plat::RegValue{plat::RegType::String, "ahoj", 0});
  SetDword(store, "Jina_starty", 42);
  Headless h;
  Technic2_Initialize();
  Technic2_Finalize();
  EXPECT_EQ(Dword(store, "Jina_starty"), 42u);
  auto v = store.reg().Read("software\\orvel team\\bm4\\jiny", "neco");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->text, "ahoj");
}

TEST(Sound, NoDeviceSwitchesEverythingOffAndEffectsStaySilent) {
  TempStore store;
  SetRoot(store, store.MakeMedium());
  Headless h(/*sound=*/false);
  Technic2_Initialize();
  EXPECT_FALSE(technic2.SoundOn);
  EXPECT_FALSE(technic2.MusicOn);
  EXPECT_FALSE(technic2.EffectsOn);
  PlayEffect(technic2.DataDir + "\\zvuky\\chybi.wav", 17);
  for (const auto& e : h.Events()) {
    EXPECT_EQ(e.rfind("msgbox", 0), std::string::npos) << e;
    EXPECT_EQ(e.rfind("effect", 0), std::string::npos) << e;
  }
}

TEST(Sound, AMissingEffectNamesItsPathEvenWhenLong) {
  TempStore store;
  SetRoot(store, store.MakeMedium());
  Headless h;
  Technic2_Initialize();
  std::string path = technic2.DataDir + "\\zvuky\\" + std::string(300, 'x') + ".wav";
  h.Ok();
  PlayEffect(path, 17);
  EXPECT_TRUE(h.Saw("msgbox error Error|Nenalezen zvuk: " + path));
  EXPECT_EQ(technic2.LastSoundPath, path);
}
