// The generated medium: every file the program names exists in its format, scenes match hit maps,
// the build is atomic and reproducible across runs and processes.
#include <gtest/gtest.h>

#include "game/voice_lines.h"
#include "media/line_texts.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include "game/colour_codes.h"
#include "game/names.h"
#include "game/sets.h"
#include "platform/animate/avi.h"
#include "platform/audio/media_info.h"
#include "platform/fs/fs.h"
#include "platform/gdi/bitmap.h"
#include "resources/resources.h"
#include "tools/art/animals.h"
#include "tools/datagen/clicks.h"
#include "tools/datagen/loudness.h"
#include "tools/datagen/medium.h"
#include "tools/datagen/pictures.h"
#include "tools/datagen/texts.h"
#include "tools/levels/mix.h"

namespace {

namespace stdfs = std::filesystem;

std::vector<uint8_t> Bytes(const std::string& host_path) {
  const auto s = plat::fs::ReadFile(host_path);
  return s ? std::vector<uint8_t>(s->begin(), s->end()) : std::vector<uint8_t>{};
}

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Extension(const std::string& rel) { return Lower(rel.substr(rel.rfind('.') + 1)); }

// The medium is built once into the build tree and shared by every test process (the scenario tests
// use the same one, under the same lock); tests that change files work on a copy.
class DatagenMedium : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new std::string(OZZEL_BINARY_DIR "/test-medium");
    const int lock = ::open(OZZEL_BINARY_DIR "/test-medium.lock", O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    if (lock >= 0) ::flock(lock, LOCK_EX);
    if (!datagen::MediumCurrent(*root_)) datagen::GenerateMedium(*root_);
    if (lock >= 0) ::close(lock);
  }
  static void TearDownTestSuite() { delete root_; }
  // DataDir as the program builds it: the root plus "\bm4\_ozzel", no trailing separator.
  static std::string DataDir() { return *root_ + "\\bm4\\_ozzel"; }
  static std::string Host(const std::string& rel) { return plat::fs::HostPath(DataDir() + rel); }
  // A private copy of the medium for a test that changes it.
  static std::string Copy(const std::string& tag) {
    const std::string dst = (stdfs::temp_directory_path() / ("datagen_" + tag + "_" + std::to_string(::getpid()))).string();
    stdfs::remove_all(dst);
    stdfs::create_directories(dst + "/bm4");
    stdfs::copy(*root_ + "/bm4/_ozzel", dst + "/bm4/_ozzel", stdfs::copy_options::recursive);
    return dst;
  }
  static std::string* root_;
};
std::string* DatagenMedium::root_ = nullptr;

TEST_F(DatagenMedium, EveryNamedFileExistsInItsFormat) {
  const std::vector<std::string> files = ozzel::game::AllDataFiles();
  ASSERT_GT(files.size(), 150u);
  for (const std::string& rel : files) {
    SCOPED_TRACE(rel);
    ASSERT_TRUE(plat::fs::FileExists(DataDir() + rel));
    const std::vector<uint8_t> b = Bytes(Host(rel));
    ASSERT_FALSE(b.empty());
    const std::string ext = Extension(rel);
    if (ext == "wav") {
      const auto w = plat::ParseWav(b.data(), b.size());
      ASSERT_TRUE(w);
      EXPECT_EQ(w->format, 1);
      EXPECT_EQ(w->channels, 1);
      EXPECT_EQ(w->bits, 16);
      EXPECT_EQ(w->sample_rate, 22050u);
      EXPECT_GE(w->duration_ms, 250u);
      EXPECT_LE(w->duration_ms, 40000u);
    } else if (ext == "bmp") {
      const plat::Bitmap bmp = plat::Bitmap::LoadBmpMemory(b.data(), b.size());
      const bool intro = rel == ozzel::game::IntroPicture();
      EXPECT_EQ(bmp.width(), intro ? 530 : 640);
      EXPECT_EQ(bmp.height(), intro ? 380 : 410);
    } else if (ext == "mid") {
      const auto ms = plat::MidiDurationMs(b.data(), b.size());
      ASSERT_TRUE(ms);
      EXPECT_GE(*ms, 30000u);
    } else if (ext == "avi") {
      std::string err;
      const auto clip = plat::ParseAvi(b.data(), b.size(), &err);
      ASSERT_TRUE(clip) << err;
      EXPECT_GE(clip->total_frames, 8u);
      EXPECT_EQ(clip->frames.size(), clip->total_frames);
      EXPECT_LE(clip->width, 100u);
      EXPECT_LE(clip->height, 170u);
    } else {
      ADD_FAILURE() << "unexpected kind of file";
    }
  }
}

TEST_F(DatagenMedium, FileNamesKeepTheProgramsSpelling) {
  // The program asks for "oz_iko1.WAV" and "oz_D_a5.wav": on a case-sensitive disk the files are
  // spelled exactly so, and the directories as the data directory test expects them.
  for (const std::string& rel : ozzel::game::AllDataFiles()) {
    std::string p = rel;
    std::replace(p.begin(), p.end(), '\\', '/');
    EXPECT_TRUE(stdfs::is_regular_file(*root_ + "/bm4/_ozzel" + p)) << rel;
  }
  EXPECT_TRUE(plat::fs::DirectoryExists(DataDir() + "\\OBRAZKY"));
}

TEST_F(DatagenMedium, CarriesTheWordsOfEverySpokenLine) {
  // What the family's studio shows: every line the game speaks, read back by the program's reader.
  const auto texts = ozzel::ReadLineTexts(DataDir());
  for (const ozzel::game::VoiceLine& l : ozzel::game::VoiceLines()) {
    if (!plat::fs::FileExists(DataDir() + l.file)) continue;
    std::string name = l.name();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    EXPECT_TRUE(texts.count(name)) << name;
  }
  EXPECT_EQ(texts.at("oz_iko1.wav"), "Domácí zvířátka");
}

TEST_F(DatagenMedium, StampMarksAMediumAsCurrent) {
  const std::string root = Copy("stamp");
  EXPECT_TRUE(datagen::MediumCurrent(root));
  const std::string stamp = root + "/bm4/_ozzel/.datagen-stamp";
  const auto text = plat::fs::ReadFile(stamp);
  ASSERT_TRUE(text);
  std::ofstream(stamp, std::ios::trunc) << "version 0000\n";
  EXPECT_FALSE(datagen::MediumCurrent(root));
  std::ofstream(stamp, std::ios::trunc | std::ios::binary) << *text;
  EXPECT_TRUE(datagen::MediumCurrent(root));
  EXPECT_FALSE(datagen::MediumCurrent(root + "/nowhere"));
  // Built in Czech: a medium asked for in another language is not current.
  datagen::SetLanguage("de");
  EXPECT_FALSE(datagen::MediumCurrent(root));
  datagen::SetLanguage("cs");
  EXPECT_TRUE(datagen::MediumCurrent(root));
  stdfs::remove_all(root);
}

TEST_F(DatagenMedium, AMissingFileMakesTheMediumIncomplete) {
  const std::string root = Copy("missing");
  const std::string one = root + "/bm4/_ozzel/zvuky/oz_L_J9.wav";
  const auto keep = plat::fs::ReadFile(one);
  ASSERT_TRUE(keep);
  stdfs::remove(one);
  EXPECT_FALSE(datagen::MediumCurrent(root));
  std::ofstream(one, std::ios::binary) << *keep;
  EXPECT_TRUE(datagen::MediumCurrent(root));
  stdfs::remove_all(root);
}

TEST_F(DatagenMedium, FilesAreMadeTheSameEveryTime) {
  for (const std::string& rel : {ozzel::game::MusicFile(), ozzel::game::ExaminerClip(), ozzel::game::IntroSpeech(),
                                 ozzel::game::AnimalSound(17), ozzel::game::ScenePicture(3),
                                 ozzel::game::AnimalPicture(2, 10), ozzel::game::WrongSound()})
    EXPECT_EQ(datagen::MakeFile(rel), Bytes(Host(rel))) << rel;
}

TEST_F(DatagenMedium, RebuildReplacesTheOldMediumWithIdenticalContent) {
  const std::string root2 = (stdfs::temp_directory_path() / ("datagen_again_" + std::to_string(::getpid()))).string();
  stdfs::remove_all(root2);
  stdfs::create_directories(root2 + "/bm4/_ozzel/obrazky");
  std::ofstream(root2 + "/bm4/_ozzel/obrazky/stale.bmp") << "old";
  stdfs::create_directories(root2 + "/bm4/_ozzel.tmp-999999999");  // an interrupted earlier run
  stdfs::create_directories(root2 + "/bm4/_ozzel.tmp-1");          // a run still going (init never ends)
  datagen::GenerateMedium(root2);
  EXPECT_FALSE(stdfs::exists(root2 + "/bm4/_ozzel/obrazky/stale.bmp"));
  EXPECT_FALSE(stdfs::exists(root2 + "/bm4/_ozzel.tmp-999999999"));
  EXPECT_TRUE(stdfs::exists(root2 + "/bm4/_ozzel.tmp-1"));
  stdfs::remove_all(root2 + "/bm4/_ozzel.tmp-1");
  std::vector<std::string> names;
  for (const auto& e : stdfs::directory_iterator(root2 + "/bm4")) names.push_back(e.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"_ozzel"});  // no temp or old directory is left
  size_t count = 0;
  for (const auto& e : stdfs::recursive_directory_iterator(root2 + "/bm4/_ozzel")) count += e.is_regular_file();
  EXPECT_EQ(count, ozzel::game::AllDataFiles().size() + 2);  // and the stamp and the texts
  EXPECT_TRUE(datagen::MediumCurrent(root2));
  EXPECT_EQ(*plat::fs::ReadFile(root2 + "/bm4/_ozzel/.datagen-stamp"),
            *plat::fs::ReadFile(*root_ + "/bm4/_ozzel/.datagen-stamp"));
  stdfs::remove_all(root2);
}

TEST_F(DatagenMedium, AFailedBuildLeavesNoMedium) {
  // A root that is a plain file cannot hold a medium: the build fails and claims nothing.
  const std::string file_root = (stdfs::temp_directory_path() / ("datagen_file_" + std::to_string(::getpid()))).string();
  std::ofstream(file_root) << "x";
  EXPECT_ANY_THROW(datagen::GenerateMedium(file_root));
  EXPECT_FALSE(datagen::MediumCurrent(file_root));
  stdfs::remove(file_root);
}

// Each animal in a scene picture covers the pixels its hit-map silhouette has, and nothing of an
// animal is drawn where the map has plain background.
TEST_F(DatagenMedium, SceneAnimalsLieOnTheirHitMapSilhouettes) {
  for (int set = 1; set <= 4; ++set) {
    SCOPED_TRACE(ozzel::game::SetNames[set]);
    const plat::Bitmap scene = plat::Bitmap::LoadBmpFile(Host(ozzel::game::ScenePicture(set)));
    const plat::Bitmap bare = datagen::SceneBackground(set);
    const plat::Bitmap map = ozzel::res::Picture(ozzel::art::HitMapName(set));
    ASSERT_EQ(map.width(), scene.width());
    ASSERT_EQ(map.height(), scene.height());
    std::map<int, int> code_px, covered;
    int drawn_on_black = 0, all_code_px = 0;
    for (int y = 0; y < scene.height(); ++y)
      for (int x = 0; x < scene.width(); ++x) {
        const plat::Rgb m = *map.PixelAt(x, y);
        const plat::Rgb a = *scene.PixelAt(x, y), b = *bare.PixelAt(x, y);
        // A faint halo around an animal does not count as drawing.
        const bool drawn = std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 48;
        const int code = ozzel::game::AnimalCode(m);
        if (code > 0) {
          ++code_px[code];
          ++all_code_px;
          covered[code] += drawn;
        } else if (m == plat::kBlack) {
          drawn_on_black += drawn;
        }
      }
    for (int n : ozzel::game::AnimalsPresent(set)) {
      ASSERT_GT(code_px[n], 500) << "animal " << n;
      EXPECT_GE(double(covered[n]) / code_px[n], 0.95) << "animal " << n;
    }
    EXPECT_LE(drawn_on_black, all_code_px / 50);
  }
}

// Every recording: speech at one loudness, the animals' sounds and the failure tone near it, no
// peak above -3 dBFS, silence at both ends (a file that starts or stops mid-wave clicks) and no click
// inside (a bad join of the voice's units).
TEST_F(DatagenMedium, EveryRecordingKeepsTheLoudnessRules) {
  std::vector<double> speech;
  std::map<std::string, double> sounds;
  for (const std::string& rel : ozzel::game::AllDataFiles()) {
    if (Extension(rel) != "wav") continue;
    SCOPED_TRACE(rel);
    const std::vector<uint8_t> b = Bytes(Host(rel));
    const auto w = plat::ParseWav(b.data(), b.size());
    ASSERT_TRUE(w);
    datagen::Pcm p(w->data_bytes / 2);
    for (size_t i = 0; i < p.size(); ++i)
      p[i] = float(int16_t(b[w->data_offset + 2 * i] | b[w->data_offset + 2 * i + 1] << 8) / 32768.0);
    ASSERT_GT(p.size(), 1000u);
    EXPECT_LE(datagen::PeakDb(p), -3.0);
    for (size_t i : {size_t(0), p.size() - 1}) EXPECT_LE(std::abs(p[i]), 2.0f / 32768) << "sample " << i;
    // The first and last 2 ms rise from and fall to silence.
    for (size_t i = 0; i < size_t(0.002 * datagen::kRate); ++i)
      EXPECT_LE(std::max(std::abs(p[i]), std::abs(p[p.size() - 1 - i])), 0.5f) << "sample " << i;
    for (const datagen::Click& c : datagen::FindClicks(p)) ADD_FAILURE() << "click at " << double(c.first) / datagen::kRate << " s";
    const std::string name = Lower(rel.substr(rel.rfind('\\') + 1));
    const double lufs = datagen::IntegratedLoudness(p);
    if ((name.rfind("oz_snd", 0) == 0 && std::isdigit(static_cast<unsigned char>(name[6]))) || name == "oz_bad.wav")
      sounds[name] = lufs;
    else
      speech.push_back(lufs);
  }
  ASSERT_GT(speech.size(), 140u);
  ASSERT_EQ(sounds.size(), 14u);
  double mean = 0;
  for (double l : speech) mean += l / double(speech.size());
  for (double l : speech) EXPECT_NEAR(l, mean, 1.0);
  for (const auto& [name, lufs] : sounds) EXPECT_NEAR(lufs, mean, 2.0) << name;
}

// The program plays the music under the speech at the volumes the files have: in its mixer a question
// stands at least 15 dB above the tune, and the intro (the longest speech) over all of it never clips.
TEST_F(DatagenMedium, SpeechStandsWellAboveTheMusicInTheProgramsMix) {
  const std::string music = Host(ozzel::game::MusicFile());
  const levels::MixLevels q = levels::MeasureMix(music, Host(ozzel::game::QuestionFiles({1, "D", 5, 0}, true)[0]));
  EXPECT_GE(q.speech_lufs - q.music_lufs, 15.0) << "speech " << q.speech_lufs << ", music " << q.music_lufs;
  EXPECT_GT(q.music_lufs, q.speech_lufs - 30) << "the music is barely audible";
  EXPECT_LT(q.mix_peak_db, -1.0);
  const levels::MixLevels intro = levels::MeasureMix(music, Host(ozzel::game::IntroSpeech()));
  EXPECT_LT(intro.mix_peak_db, -1.0);
}

TEST_F(DatagenMedium, AnimalPicturesDifferFromEachOther) {
  std::map<std::vector<uint8_t>, std::string> seen;
  for (int set = 1; set <= 4; ++set)
    for (int n : ozzel::game::AnimalsPresent(set)) {
      const std::string rel = ozzel::game::AnimalPicture(set, n);
      EXPECT_TRUE(seen.emplace(Bytes(Host(rel)), rel).second) << rel << " repeats " << seen[Bytes(Host(rel))];
    }
}

}  // namespace
