// Datagen building blocks: SMF and WAV writers, AVI encoding, Czech wording, recipes, registration.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/animate/avi.h"
#include "platform/audio/media_info.h"
#include "game/sets.h"
#include "platform/registry/registry.h"
#include "tools/datagen/avi.h"
#include "tools/datagen/clicks.h"
#include "tools/datagen/error.h"
#include "tools/datagen/loudness.h"
#include "tools/datagen/medium.h"
#include "tools/datagen/midi.h"
#include "tools/datagen/pcm.h"
#include "tools/datagen/pictures.h"
#include "tools/datagen/sounds.h"
#include "tools/datagen/speech.h"
#include "tools/datagen/texts.h"

namespace {

using namespace datagen;

std::optional<uint64_t> Duration(const std::vector<uint8_t>& smf) { return plat::MidiDurationMs(smf.data(), smf.size()); }

TEST(DatagenMidi, NoteLengthFollowsTempo) {
  SmfTrack conductor;
  conductor.Tempo(0, 500000);  // 120 a minute
  SmfTrack t;
  t.Note(0, 960, 0, 60, 100);  // two quarters
  EXPECT_EQ(Duration(EncodeSmf({conductor, t}, 480)), 1000u);
}

TEST(DatagenMidi, LongDeltasUseFourByteLengths) {
  // 2^21 ticks needs a four-byte variable-length delta; a wrong encoding shifts every later event.
  SmfTrack conductor;
  conductor.Tempo(0, 1000000);
  SmfTrack t;
  t.Note(0, 10, 0, 60, 100);
  t.Note(1u << 21, 1000, 0, 62, 100);
  const auto ms = Duration(EncodeSmf({conductor, t}, 1000));
  ASSERT_TRUE(ms);
  EXPECT_EQ(*ms, uint64_t((1u << 21) + 1000));
}

TEST(DatagenMidi, TempoChangeMidwayIsHonoured) {
  SmfTrack conductor;
  conductor.Tempo(0, 500000);
  conductor.Tempo(480, 1000000);
  SmfTrack t;
  t.Note(0, 960, 0, 60, 100);  // one quarter at 0.5 s, one at 1 s
  EXPECT_EQ(Duration(EncodeSmf({conductor, t}, 480)), 1500u);
}

TEST(DatagenMidi, TuneIsFormatOneAndLastsHalfAMinute) {
  const std::vector<uint8_t> tune = MakeTune();
  ASSERT_GE(tune.size(), 14u);
  EXPECT_EQ(std::string(tune.begin(), tune.begin() + 4), "MThd");
  EXPECT_EQ(tune[9], 1);              // format 1
  EXPECT_GE(tune[11], 3);             // conductor, melody and accompaniment at least
  const auto ms = Duration(tune);
  ASSERT_TRUE(ms);
  EXPECT_GE(*ms, 30000u);
  EXPECT_LE(*ms, 180000u);
}

TEST(DatagenWav, HeaderIsMonoSixteenBitPcm) {
  const std::vector<uint8_t> w = EncodeWav(Tone(440, 440, 0.5, 0.5));
  const auto info = plat::ParseWav(w.data(), w.size());
  ASSERT_TRUE(info);
  EXPECT_EQ(info->format, 1);
  EXPECT_EQ(info->channels, 1);
  EXPECT_EQ(info->bits, 16);
  EXPECT_EQ(info->sample_rate, uint32_t(kRate));
  EXPECT_EQ(info->duration_ms, 500u);
}

TEST(DatagenWav, OverloudSamplesAreClippedNotWrapped) {
  const std::vector<uint8_t> w = EncodeWav(Pcm{2.0f, -3.0f, 0.5f});
  const auto info = plat::ParseWav(w.data(), w.size());
  ASSERT_TRUE(info);
  auto sample = [&](int i) { return int16_t(w[info->data_offset + 2 * i] | (w[info->data_offset + 2 * i + 1] << 8)); };
  EXPECT_EQ(sample(0), 32767);
  EXPECT_EQ(sample(1), -32767);
  EXPECT_NEAR(sample(2), 16384, 1);
}

TEST(DatagenWav, TrimKeepsTheSoundAndDropsTheSilence) {
  Pcm p = Silence(1.0);
  Append(p, Tone(300, 300, 0.5, 0.8));
  Append(p, Silence(1.0));
  const Pcm t = Trim(p, 0.01, 0.05);
  EXPECT_GT(t.size(), size_t(0.45 * kRate));
  EXPECT_LT(t.size(), size_t(0.65 * kRate));
}

plat::Bitmap Frame(int w, int h, uint32_t seed) {
  plat::Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, plat::Rgb::FromPacked((x * 40 + y * 7 + seed) % 5 * 0x103050u));
  return b;
}

TEST(DatagenAvi, FramesRoundTripThroughTheReader) {
  // Odd width: rows are padded to four bytes in the file.
  const std::vector<plat::Bitmap> frames = {Frame(5, 3, 0), Frame(5, 3, 1), Frame(5, 3, 2)};
  const std::vector<uint8_t> avi = EncodeAvi8(frames, 100000);
  std::string err;
  const auto clip = plat::ParseAvi(avi.data(), avi.size(), &err);
  ASSERT_TRUE(clip) << err;
  EXPECT_EQ(clip->total_frames, 3u);
  EXPECT_EQ(clip->width, 5u);
  EXPECT_EQ(clip->height, 3u);
  EXPECT_EQ(clip->usec_per_frame, 100000u);
  ASSERT_EQ(clip->frames.size(), 3u);
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(clip->frames[i].pixels(), frames[i].pixels()) << "frame " << i;
}

TEST(DatagenAvi, MainHeaderFieldsSitAtTheFixedOffsets) {
  const std::vector<uint8_t> avi = EncodeAvi8({Frame(7, 4, 0), Frame(7, 4, 1)}, 125000);
  auto le32 = [&](size_t o) { return uint32_t(avi[o] | avi[o + 1] << 8 | avi[o + 2] << 16 | uint32_t(avi[o + 3]) << 24); };
  EXPECT_EQ(le32(48), 2u);
  EXPECT_EQ(le32(64), 7u);
  EXPECT_EQ(le32(68), 4u);
}

TEST(DatagenAvi, RejectsWhatOneStreamCannotHold) {
  EXPECT_THROW(EncodeAvi8({}, 1000), Error);
  EXPECT_THROW(EncodeAvi8({Frame(4, 4, 0), Frame(5, 4, 0)}, 1000), Error);
  plat::Bitmap many(20, 20);
  for (int i = 0; i < 400; ++i) many.SetPixel(i % 20, i / 20, plat::Rgb::FromPacked(uint32_t(i)));
  EXPECT_THROW(EncodeAvi8({many}, 1000), Error);
}

TEST(DatagenAvi, ExaminerTalksOnAPlainBackground) {
  const std::vector<plat::Bitmap> f = ExaminerFrames();
  ASSERT_GE(f.size(), 8u);
  const uint32_t key = f[0].row(0)[0];
  int changed = 0;
  for (size_t i = 0; i < f.size(); ++i) {
    EXPECT_LE(f[i].width(), 100);
    EXPECT_LE(f[i].height(), 170);
    // She is whole: nothing of her touches the clip's edges.
    int on_edge = 0;
    for (int y = 0; y < f[i].height(); ++y)
      for (int x = 0; x < f[i].width(); ++x)
        if (x < 2 || y < 2 || x >= f[i].width() - 2 || y >= f[i].height() - 2) on_edge += f[i].row(y)[x] != key;
    EXPECT_EQ(on_edge, 0);
    changed += i > 0 && f[i].pixels() != f[i - 1].pixels();
  }
  EXPECT_GE(changed, int(f.size()) - 2);  // the mouth moves from frame to frame
  EXPECT_EQ(f.front().pixels(), f.back().pixels());  // she starts and ends with her mouth closed
}

TEST(DatagenTexts, QuestionsUseTheRightCase) {
  SetLanguage("cs");
  EXPECT_EQ(WhereIs(1, 5), "Kde je kočka?");
  EXPECT_EQ(ShowMe(1, 5), "Ukaž mi kočku.");
  EXPECT_EQ(ShowMe(1, 7), "Ukaž mi psa.");
  EXPECT_EQ(ShowMe(4, 5), "Ukaž mi lva.");
  EXPECT_EQ(ShowMe(2, 1), "Ukaž mi koně.");
  EXPECT_EQ(ThatIs(3, 2), "To je medvěd.");
  EXPECT_EQ(NameOf(1, 8), "Želva!");
  EXPECT_EQ(NameOf(4, 3), "Žirafa!");
  EXPECT_THROW(Animal(1, 2), Error);  // the home scene has no animal 2
  EXPECT_THROW(Animal(3, 10), Error);
  SetLanguage("sk");
  EXPECT_EQ(ShowMe(1, 6), "Ukáž mi papagája.");
  SetLanguage("pl");
  EXPECT_EQ(ShowMe(1, 7), "Pokaż mi psa.");
  EXPECT_EQ(ShowMe(2, 2), "Pokaż mi krowę.");
  EXPECT_EQ(NameOf(1, 8), "Żółw!");
  SetLanguage("de");
  EXPECT_EQ(WhereIs(1, 7), "Wo ist der Hund?");
  EXPECT_EQ(ShowMe(1, 7), "Zeig mir den Hund.");
  EXPECT_EQ(ShowMe(4, 5), "Zeig mir den Löwen.");
  EXPECT_EQ(ShowMe(1, 5), "Zeig mir die Katze.");
  SetLanguage("en");
  EXPECT_EQ(ShowMe(1, 5), "Show me the cat.");
  SetLanguage("fr");
  EXPECT_EQ(WhereIs(3, 2), "Où est l'ours ?");
  EXPECT_EQ(PictureName(4, 1), "Éléphant");
  SetLanguage("es");
  EXPECT_EQ(WhereIs(1, 7), "¿Dónde está el perro?");
  EXPECT_EQ(NameOf(4, 5), "¡León!");
  EXPECT_THROW(SetLanguage("xx"), Error);
  SetLanguage("cs");
}

// Every language names every animal of every scene, every animal's cry, and every phrase.
TEST(DatagenTexts, EveryLanguageHasTheWholeTable) {
  for (const std::string& lang : LanguageCodes()) {
    SCOPED_TRACE(lang);
    SetLanguage(lang);
    for (int set = 1; set <= 4; ++set) {
      EXPECT_FALSE(SceneName(set).empty());
      for (int n : ozzel::game::AnimalsPresent(set)) {
        const AnimalWords w = Animal(set, n);
        EXPECT_FALSE(w.name.empty());
        // The caption is the name with its first letter (one or two bytes) in upper case.
        auto rest = [](const std::string& t) { return t.substr(t[0] & 0x80 ? 2 : 1); };
        EXPECT_EQ(rest(PictureName(set, n)), rest(w.name));
        EXPECT_NE(WhereIs(set, n), ShowMe(set, n));
      }
    }
    for (int sound : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 17}) EXPECT_FALSE(AnimalCall(sound).empty());
    for (int i = 1; i <= 6; ++i) EXPECT_FALSE(Praise(i).empty());
    for (int i = 1; i <= 4; ++i) EXPECT_FALSE(Miss(i).empty());
  }
  SetLanguage("cs");
  EXPECT_EQ(LanguageCodes(), (std::vector<std::string>{"cs", "sk", "en", "de", "pl", "fr", "es"}));
}

TEST(DatagenTexts, TheLocalePicksTheLanguage) {
  EXPECT_EQ(LanguageForLocale(nullptr, nullptr, nullptr, "de_AT.UTF-8"), "de");
  EXPECT_EQ(LanguageForLocale(nullptr, nullptr, nullptr, "sk_SK.UTF-8"), "sk");
  EXPECT_EQ(LanguageForLocale(nullptr, "fr_FR.UTF-8", "en_US.UTF-8", "de_DE.UTF-8"), "fr");  // LC_ALL first
  EXPECT_EQ(LanguageForLocale(nullptr, "", "es_ES@euro", "de_DE.UTF-8"), "es");             // then LC_MESSAGES
  EXPECT_EQ(LanguageForLocale(nullptr, nullptr, nullptr, "pl"), "pl");
  EXPECT_EQ(LanguageForLocale(nullptr, nullptr, nullptr, "it_IT.UTF-8"), "cs");  // any other: Czech
  EXPECT_EQ(LanguageForLocale(nullptr, "C.UTF-8", nullptr, "en_GB.UTF-8"), "cs");  // LC_ALL decides, names none
  EXPECT_EQ(LanguageForLocale(nullptr, nullptr, nullptr, nullptr), "cs");
  EXPECT_EQ(LanguageForLocale("en", "de_DE.UTF-8", nullptr, nullptr), "en");  // the override wins
  std::string warning;
  EXPECT_EQ(LanguageForLocale("klingon", nullptr, nullptr, "de_DE.UTF-8", &warning), "de");
  EXPECT_NE(warning.find("klingon"), std::string::npos);
}

TEST(DatagenTexts, CapitalsOfAccentedLetters) {
  EXPECT_EQ(Capitalised("žirafa"), "Žirafa");
  EXPECT_EQ(Capitalised("ľad"), "Ľad");    // Latin Extended-A's odd run
  EXPECT_EQ(Capitalised("źrebię"), "Źrebię");
  EXPECT_EQ(Capitalised("ščípok"), "Ščípok");
  EXPECT_EQ(Capitalised("écureuil"), "Écureuil");
  EXPECT_EQ(Capitalised("Hund"), "Hund");
  EXPECT_EQ(Capitalised(""), "");
}

TEST(DatagenLoudness, SineIsMeasuredAsTheStandardSays) {
  // A full-scale 997 Hz sine in one channel reads -3.01 LUFS; 20 dB down, -23.01.
  Pcm sine(size_t(5 * kRate));
  for (size_t i = 0; i < sine.size(); ++i) sine[i] = float(std::sin(2 * 3.14159265358979 * 997 * double(i) / kRate));
  EXPECT_NEAR(IntegratedLoudness(sine), -3.01, 0.1);
  for (float& s : sine) s *= 0.1f;
  EXPECT_NEAR(IntegratedLoudness(sine), -23.01, 0.1);
  // Silence around it is gated out (the few blocks that reach over the tone's edges still count).
  Pcm padded = Silence(5.0);
  Append(padded, sine);
  Append(padded, Silence(5.0));
  EXPECT_NEAR(IntegratedLoudness(padded), -23.01, 0.4);
  EXPECT_LE(IntegratedLoudness(Silence(2.0)), -70.0);
}

TEST(DatagenLoudness, LevelBringsQuietAndSpikyRecordingsToTheSameLoudness) {
  Pcm quiet = Tone(300, 300, 1.5, 0.02, 3);
  Pcm spiky = Tone(300, 300, 1.5, 0.3, 3);
  for (size_t i = 1000; i < spiky.size(); i += 3000) spiky[i] = 1.0f;  // clicks far above the rest
  Level(quiet);
  Level(spiky);
  for (const Pcm* p : {&quiet, &spiky}) {
    EXPECT_NEAR(IntegratedLoudness(*p), kTargetLufs, 0.3);
    EXPECT_LE(PeakDb(*p), kPeakCeilingDb);
    EXPECT_EQ(p->front(), 0.0f);
    EXPECT_EQ(p->back(), 0.0f);
  }
}

// A vowel (150 Hz with an overtone) that starts with a jump out of silence, as a plosive does, and has
// a bad join in the middle: a few milliseconds of wild jumps. Only the join is a click; mending it
// leaves the vowel.
TEST(DatagenClicks, AJoinIsFoundAndMendedAndAPlosiveIsLeftAlone) {
  Pcm vowel = Silence(0.2);
  for (size_t i = 0; i < size_t(0.6 * kRate); ++i) {
    const double t = double(i) / kRate;
    vowel.push_back(float(0.3 * std::cos(2 * 3.14159265358979 * 150 * t) + 0.1 * std::cos(2 * 3.14159265358979 * 450 * t)));
  }
  Append(vowel, Silence(0.2));
  ASSERT_TRUE(FindClicks(vowel).empty());
  Pcm joined = vowel;
  const size_t at = size_t(0.5 * kRate);
  for (size_t k = 0; k < 60; ++k) joined[at + k] = (k % 3 == 0 ? 0.7f : -0.6f) + 0.1f * float(k % 7);
  const std::vector<Click> found = FindClicks(joined);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_LE(found[0].first, at + 2);
  EXPECT_GE(found[0].last, at + 55);
  EXPECT_EQ(RemoveClicks(joined), 1);
  EXPECT_TRUE(FindClicks(joined).empty());
  float worst = 0;
  for (size_t i = 0; i < joined.size(); ++i) worst = std::max(worst, std::fabs(joined[i] - vowel[i]));
  EXPECT_LT(worst, 0.1f);  // the mend continues the vowel (peaks 0.4) instead of cutting it
}

TEST(DatagenRecordings, NamesAreMatchedWithoutRegardToCase) {
  EXPECT_EQ(EncodeWav(MakeRecording("OZ_D_A5.WAV")), EncodeWav(MakeRecording("oz_D_a5.wav")));
  EXPECT_NE(EncodeWav(MakeRecording("oz_D_a5.wav")), EncodeWav(MakeRecording("oz_D_b5.wav")));
}

TEST(DatagenRecordings, UnknownNamesFailLoudly) {
  EXPECT_THROW(MakeRecording("oz_X_a1.wav"), Error);
  EXPECT_THROW(MakeRecording("oz_D_a2.wav"), Error);  // no animal 2 at home
  EXPECT_THROW(MakeRecording("oz_snd13.wav"), Error);
  EXPECT_THROW(MakeRecording("oz_ok7.wav"), Error);
  EXPECT_THROW(MakePicture("doma_2.bmp"), Error);
  EXPECT_THROW(MakePicture("zoo_f.bmp"), Error);
  EXPECT_THROW(MakeFile("\\video\\oz.avi"), Error);
  EXPECT_THROW(MakeFile("oz_uvod.bmp"), Error);
}

TEST(DatagenRecordings, SpeechIsAudibleAndReproducible) {
  const Pcm a = MakeRecording("oz_brav.wav");
  EXPECT_NEAR(IntegratedLoudness(a), kTargetLufs, 0.5);
  EXPECT_GT(a.size(), size_t(kRate / 4));
  MakeRecording("oz_uvod.wav");  // whatever was said before must not change the next recording
  EXPECT_EQ(EncodeWav(MakeRecording("oz_brav.wav")), EncodeWav(a));
}

// A Festival's lines must not depend on what it said before: this one says a louder line from its second on.
TEST(DatagenRecordings, EveryFestivalLineIsSpokenByAFreshProcess) {
  const auto dir = std::filesystem::temp_directory_path() / ("datagen_festival_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  auto tone = [](double amplitude) {
    Pcm p(kRate / 2);
    for (size_t i = 0; i < p.size(); ++i) p[i] = float(amplitude * std::sin(i * 0.1));
    return EncodeWav(p);
  };
  for (auto [name, amplitude] : {std::pair{"first.wav", 0.3}, std::pair{"later.wav", 0.6}}) {
    const auto bytes = tone(amplitude);
    std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  const auto fake = dir / "festival";
  std::ofstream(fake) << R"(#!/bin/sh
n=0
while read -r line; do case "$line" in
  *utt.save.wave*) out=${line#*\"}; out=${out%%\"*}
    if [ $n = 0 ]; then cp "$FIRST" "$out"; else cp "$LATER" "$out"; fi; n=$((n + 1));;
  *ozzel-done*) echo ozzel-done >&2;;
esac; done
)";
  std::filesystem::permissions(fake, std::filesystem::perms::owner_all);
  ::setenv("OZZEL_FESTIVAL", fake.c_str(), 1);
  ::setenv("FIRST", (dir / "first.wav").c_str(), 1);
  ::setenv("LATER", (dir / "later.wav").c_str(), 1);
  auto choose_again = [] {  // the examiner is chosen anew when Czech comes back
    SetLanguage("sk");
    ExaminerVoice();
    SetLanguage("cs");
  };
  choose_again();
  const Pcm a = Speak("Kde je jelen?"), b = Speak("Kde je jelen?");
  ::unsetenv("OZZEL_FESTIVAL");
  choose_again();
  std::filesystem::remove_all(dir);
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(a, b);
}

TEST(DatagenRecordings, FailureToneFalls) {
  // The gentle failure sound is two notes, the second lower: its second half crosses zero less often.
  const Pcm p = FailureTone();
  auto crossings = [&](size_t from, size_t to) {
    int n = 0;
    for (size_t i = from + 1; i < to; ++i) n += (p[i - 1] < 0) != (p[i] < 0);
    return double(n) / double(to - from);
  };
  EXPECT_GT(crossings(0, p.size() / 3), crossings(p.size() / 2, p.size()));
}

TEST(DatagenIntroPicture, QuartersMeetAtTheSplitLines) {
  const plat::Bitmap b = IntroPicture();
  ASSERT_EQ(b.width(), kIntroW);
  ASSERT_EQ(b.height(), kIntroH);
  // The outermost frame colour of each quarter lies right against the split lines.
  const auto left = *b.PixelAt(kIntroSplitX - 1, 100), right = *b.PixelAt(kIntroSplitX, 100);
  const auto upper = *b.PixelAt(100, kIntroSplitY - 1), lower = *b.PixelAt(100, kIntroSplitY);
  EXPECT_NE(left, right);
  EXPECT_NE(upper, lower);
  EXPECT_EQ(left, upper);                                     // both the home quarter's frame
  EXPECT_EQ(right, *b.PixelAt(kIntroSplitX, 10));             // farm
  EXPECT_EQ(lower, *b.PixelAt(0, kIntroSplitY + 50));         // forest
  EXPECT_NE(*b.PixelAt(kIntroSplitX, kIntroSplitY), right);   // safari differs from farm
}

// Animals and captions stay inside their quarter's frame: nothing is cut off at a quarter's edge.
TEST(DatagenIntroPicture, NothingCrossesAQuartersFrame) {
  const plat::Bitmap b = IntroPicture();
  const int xs[3] = {0, kIntroSplitX, kIntroW}, ys[3] = {0, kIntroSplitY, kIntroH};
  for (int qx = 0; qx < 2; ++qx)
    for (int qy = 0; qy < 2; ++qy) {
      const int x0 = xs[qx], x1 = xs[qx + 1] - 1, y0 = ys[qy], y1 = ys[qy + 1] - 1;
      SCOPED_TRACE("quarter at " + std::to_string(x0) + "," + std::to_string(y0));
      const plat::Rgb light = *b.PixelAt(x0 + 3, y0 + 3);
      int other = 0;
      for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
          const int d = std::min({x - x0, x1 - x, y - y0, y1 - y});
          if (d >= 2 && d <= 5) other += *b.PixelAt(x, y) != light;
        }
      EXPECT_EQ(other, 0);
    }
}

class DatagenRegister : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("datagen_reg_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "registry.reg").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
  std::string path_;
};

TEST_F(DatagenRegister, WritesTheRootAndKeepsEverythingElse) {
  {
    std::ofstream f(path_);
    f << "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Odklon]\n\"kde_je_BM4\"=\"/media/cdrom\"\n"
         "\"jine\"=\"x\"\n\n[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Nastaveni - obecne]\n"
         "\"Ozzel_starty\"=dword:00000003\n";
  }
  RegisterRoot(path_, "/home/dite/.local/share/ozzel/medium");
  plat::Registry reg(path_);
  const auto root = reg.Read("Software\\Orvel Team\\BM4\\Odklon", "kde_je_BM4");
  ASSERT_TRUE(root);
  EXPECT_EQ(root->type, plat::RegType::String);
  EXPECT_EQ(root->text, "/home/dite/.local/share/ozzel/medium");
  EXPECT_EQ(reg.Read("Software\\Orvel Team\\BM4\\Odklon", "jine")->text, "x");
  const auto starts = reg.Read("Software\\Orvel Team\\BM4\\Nastaveni - obecne", "Ozzel_starty");
  ASSERT_TRUE(starts);
  EXPECT_EQ(starts->dword, 3u);
}

TEST_F(DatagenRegister, CreatesTheStoreWhenThereIsNone) {
  RegisterRoot(path_, "/media/demo");
  EXPECT_EQ(plat::Registry(path_).Read("software\\orvel team\\bm4\\odklon", "KDE_JE_BM4")->text, "/media/demo");
}

TEST_F(DatagenRegister, UnwritableStoreFailsLoudly) {
  // A directory where the store file should be cannot be replaced by a file.
  std::filesystem::create_directories(dir_ / "store.reg");
  std::ofstream(dir_ / "store.reg" / "keep") << "x";
  EXPECT_THROW(RegisterRoot((dir_ / "store.reg").string(), "/x"), Error);
}

}  // namespace
