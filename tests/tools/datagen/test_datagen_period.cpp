// The period medium (datagen --period): every file in its 1990s format under its 8.3 capital name,
// read-only, the same content as the demo medium; and every sound format heard on both backends.
#include <gtest/gtest.h>

#include <SDL.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <set>

#include "game/names.h"
#include "platform/animate/avi.h"
#include "platform/audio/media_info.h"
#include "platform/audio/media_player.h"
#include "platform/clock.h"
#include "platform/fs/fs.h"
#include "platform/gdi/bitmap.h"
#include "platform/headless/headless_audio.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/trace.h"
#include "tests/platform/test_audio_files.h"
#include "tools/datagen/medium.h"
#include "tools/datagen/period.h"

namespace {

namespace stdfs = std::filesystem;
using datagen::PeriodFormat;
using plat::MciMode;

std::vector<uint8_t> Bytes(const std::string& host_path) {
  const auto s = plat::fs::ReadFile(host_path);
  return s ? std::vector<uint8_t>(s->begin(), s->end()) : std::vector<uint8_t>{};
}
uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

// Both media, built once into the build tree under the lock the scenario tests take too.
class PeriodMedium : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const int lock = ::open(OZZEL_BINARY_DIR "/test-medium.lock", O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    if (lock >= 0) ::flock(lock, LOCK_EX);
    if (!datagen::MediumCurrent(Demo())) datagen::GenerateMedium(Demo());
    if (!datagen::MediumCurrent(Period(), true)) datagen::GenerateMedium(Period(), {}, true);
    if (lock >= 0) ::close(lock);
  }
  static std::string Demo() { return OZZEL_BINARY_DIR "/test-medium"; }
  static std::string Period() { return OZZEL_BINARY_DIR "/test-medium-period"; }
  static std::string DemoFile(const std::string& rel) { return plat::fs::HostPath(Demo() + "\\bm4\\_ozzel" + rel); }
  static std::string PeriodFile(const std::string& rel) {
    return Period() + "/BM4/_OZZEL/" + datagen::PeriodPath(rel);
  }
};

TEST_F(PeriodMedium, EveryFileInItsFormatWithTheDemoContent) {
  std::set<PeriodFormat> seen;
  for (const std::string& rel : ozzel::game::AllDataFiles()) {
    SCOPED_TRACE(rel);
    const PeriodFormat f = datagen::PeriodFormatOf(rel);
    seen.insert(f);
    const std::string path = PeriodFile(rel);
    const std::string name = stdfs::path(path).filename().string();
    EXPECT_LE(name.find('.'), 8u);
    EXPECT_EQ(name, datagen::PeriodPath("\\x\\" + name).substr(2)) << "capitals";
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    const std::vector<uint8_t> b = Bytes(path), demo = Bytes(DemoFile(rel));
    ASSERT_FALSE(b.empty());
    switch (f) {
      case PeriodFormat::Midi0: {
        EXPECT_EQ(b[9], 0) << "format 0";
        EXPECT_EQ(b[11], 1) << "one track";
        EXPECT_EQ(plat::MidiDurationMs(b.data(), b.size()), plat::MidiDurationMs(demo.data(), demo.size()));
        break;
      }
      case PeriodFormat::AviRle8: {
        const auto clip = plat::ParseAvi(b.data(), b.size()), want = plat::ParseAvi(demo.data(), demo.size());
        ASSERT_TRUE(clip && want);
        EXPECT_NE(std::search(b.begin(), b.end(), std::begin("00dc"), std::end("00dc") - 1), b.end());
        EXPECT_EQ(clip->usec_per_frame, want->usec_per_frame);
        ASSERT_EQ(clip->frames.size(), want->frames.size());
        for (size_t k = 0; k < clip->frames.size(); ++k) EXPECT_EQ(clip->frames[k].pixels(), want->frames[k].pixels()) << k;
        break;
      }
      case PeriodFormat::Rle8:
      case PeriodFormat::Rle4:
      case PeriodFormat::BottomUp:
      case PeriodFormat::TopDown: {
        const plat::Bitmap got = plat::Bitmap::LoadBmpMemory(b.data(), b.size());
        const plat::Bitmap want = plat::Bitmap::LoadBmpMemory(demo.data(), demo.size());
        EXPECT_EQ(got.source_bits(), f == PeriodFormat::Rle4 ? 4 : 8);
        EXPECT_EQ(U32(b, 30), f == PeriodFormat::Rle4 ? 2u : f == PeriodFormat::Rle8 ? 1u : 0u) << "compression";
        EXPECT_EQ(int32_t(U32(b, 22)) < 0, f == PeriodFormat::TopDown) << "row order";
        ASSERT_EQ(got.width(), want.width());
        ASSERT_EQ(got.height(), want.height());
        // The palette keeps the picture: small colour differences on average, the same picture.
        double diff = 0;
        for (size_t i = 0; i < got.pixels().size(); ++i)
          for (int s = 0; s < 24; s += 8)
            diff += std::abs(int(got.pixels()[i] >> s & 0xFF) - int(want.pixels()[i] >> s & 0xFF));
        // (Measured: 2.5 at most with 256 colours, 1.1 for the 16-colour picture.)
        EXPECT_LT(diff / double(got.pixels().size() * 3), f == PeriodFormat::Rle4 ? 16.0 : 6.0);
        break;
      }
      default: {
        const auto got = plat::ParseWav(b.data(), b.size()), want = plat::ParseWav(demo.data(), demo.size());
        ASSERT_TRUE(got && want);
        static const std::map<PeriodFormat, std::pair<int, uint32_t>> kind = {
            {PeriodFormat::Pcm16, {1, 22050}}, {PeriodFormat::Pcm8, {1, 11025}}, {PeriodFormat::MuLaw, {7, 11025}},
            {PeriodFormat::ImaAdpcm, {0x11, 22050}}, {PeriodFormat::MsAdpcm, {2, 22050}}};
        EXPECT_EQ(got->format, kind.at(f).first);
        EXPECT_EQ(got->sample_rate, kind.at(f).second);
        EXPECT_EQ(got->bits, f == PeriodFormat::Pcm16 ? 16 : f == PeriodFormat::Pcm8 || f == PeriodFormat::MuLaw ? 8 : 4);
        EXPECT_EQ(got->duration_ms, want->duration_ms) << "the program's timing stays as it is";
      }
    }
  }
  EXPECT_EQ(seen.size(), size_t(PeriodFormat::AviRle8) + 1) << "every format on the disc";
  for (const char* dir : {"/BM4", "/BM4/_OZZEL", "/BM4/_OZZEL/ZVUKY", "/BM4/_OZZEL/OBRAZKY"}) {
    struct stat st {};
    ASSERT_EQ(::stat((Period() + dir).c_str(), &st), 0) << dir;
    EXPECT_EQ(st.st_mode & 0777, 0555u) << dir;
  }
  EXPECT_TRUE(datagen::MediumCurrent(Period(), true));
  EXPECT_FALSE(datagen::MediumCurrent(Period())) << "the two kinds are told apart";
}

// The format-0 tune with running status through the real synthesizer: heard, and heard again from
// the start after a rewind (the music timer's loop).
TEST_F(PeriodMedium, MusicPlaysThroughTheSynthesizer) {
  audiotest::TempDir dir;
  const std::string out = (dir.path() / "mixer.raw").string();
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
  {
    plat::RealClock clock;
    plat::SdlAudio audio(clock);
    if (audio.WaveOutDevices() == 0 || audio.SoundFont().empty()) GTEST_SKIP() << "no audio device or sound font";
    auto midi = audio.CreateMidiDevice();
    std::string error;
    ASSERT_TRUE(midi->Open(PeriodFile(ozzel::game::MusicFile()), &error)) << error;
    const std::vector<uint8_t> demo = Bytes(DemoFile(ozzel::game::MusicFile()));
    EXPECT_EQ(midi->LengthMs(), plat::MidiDurationMs(demo.data(), demo.size()));
    ASSERT_TRUE(midi->Play());
    SDL_Delay(700);
    EXPECT_EQ(midi->Mode(), MciMode::Playing);
    midi->Seek(0);
    EXPECT_EQ(midi->Mode(), MciMode::Stopped);
    ASSERT_TRUE(midi->Play());
    SDL_Delay(700);
    EXPECT_EQ(midi->Mode(), MciMode::Playing);
    EXPECT_LT(midi->PositionMs(), 1500u) << "from the start again";
  }
  unsetenv("SDL_AUDIODRIVER");
  unsetenv("SDL_DISKAUDIOFILE");
  const std::vector<uint8_t> raw = Bytes(out);
  size_t loud = 0;
  // The tune plays quietly, well under the speech: a few hundredths of full scale is loud for it.
  for (size_t i = 0; i + 1 < raw.size(); i += 2) loud += std::abs(int(int16_t(raw[i] | raw[i + 1] << 8))) > 200;
  EXPECT_GT(loud, 5000u) << "the synthesizer was heard";
}

TEST(PeriodMidi, TracksMergeIntoOneWithRunningStatus) {
  using namespace audiotest;
  // Two tracks: tempo and a note on channel 0; two notes on channel 1 ending at tick 192.
  const std::string smf = Midi(1, 96, {Tempo(0, 250000) + Ev(0, {0x90, 60, 100}) + Ev(96, {0x80, 60, 64}) + EndOfTrack(0),
                                       Ev(0, {0x91, 64, 90}) + Ev(48, {0x81, 64, 0}) + Ev(0, {0x91, 67, 90}) +
                                           Ev(144, {0x81, 67, 0}) + EndOfTrack(0)});
  const std::vector<uint8_t> in(smf.begin(), smf.end());
  const std::vector<uint8_t> out = datagen::ToMidiFormat0(in);
  EXPECT_EQ(plat::MidiDurationMs(out.data(), out.size()), plat::MidiDurationMs(in.data(), in.size()));
  EXPECT_EQ(plat::MidiDurationMs(out.data(), out.size()), 500u);
  const std::string track(out.begin() + 22, out.end());
  // Tick 0: tempo (meta), note on ch 0, note on ch 1; tick 48: off as on-with-velocity-0, running;
  // then the next note on, still running; tick 96: ch 0 off; tick 192: ch 1 off, running; end.
  const std::string want = Tempo(0, 250000) + Ev(0, {0x90, 60, 100}) + Ev(0, {0x91, 64, 90}) + Ev(48, {64, 0}) +
                           Ev(0, {67, 90}) + Ev(48, {0x90, 60, 0}) + Ev(96, {0x91, 67, 0}) + EndOfTrack(0);
  EXPECT_EQ(track, want);
  EXPECT_EQ(out[9], 0);
}

// A 440 Hz tone at 22050 Hz, 300 ms, half full scale.
std::vector<float> Tone() {
  std::vector<float> s(22050 * 300 / 1000);
  for (size_t i = 0; i < s.size(); ++i) s[i] = float(0.5 * std::sin(2 * M_PI * 440 * double(i) / 22050));
  return s;
}

constexpr PeriodFormat kSounds[] = {PeriodFormat::Pcm16, PeriodFormat::Pcm8, PeriodFormat::ImaAdpcm,
                                    PeriodFormat::MsAdpcm, PeriodFormat::MuLaw};

// The fake sound system plays each format for its length and tells the end, on the WAV channel and
// as an effect.
TEST(PeriodSounds, EveryFormatPlaysForItsLengthOnTheFakeBackend) {
  audiotest::TempDir dir;
  for (PeriodFormat f : kSounds) {
    const std::vector<uint8_t> bytes = datagen::EncodePeriodWav(Tone(), 22050, f);
    SCOPED_TRACE(int(f));
    const std::string path = dir.Write("ZVUKY/TON.WAV", std::string(bytes.begin(), bytes.end()));
    plat::VirtualClock clock;
    plat::HeadlessAudio audio{clock, true};
    std::vector<std::string> lines;
    plat::trace::SetSink([&](const std::string& l) { lines.push_back(l); }, &clock);
    plat::SetAudio(&audio);
    {
      plat::MediaPlayer wav("WavPlayer", "wav", audio.CreateWaveDevice());
      wav.FileName = dir.path().string() + "\\zvuky\\ton.wav";
      wav.Open();
      EXPECT_EQ(wav.device().LengthMs(), 300u);
      wav.Play();
      ASSERT_TRUE(audio.PlaySound(path.c_str(), plat::SND_ASYNC));
      clock.AdvanceTo(299);
      plat::MediaPlayer::PollAll();
      EXPECT_EQ(wav.Mode(), MciMode::Playing);
      EXPECT_TRUE(audio.EffectPlaying());
      EXPECT_EQ(plat::MediaPlayer::NextChangeAll(), 300u);
      clock.AdvanceTo(300);
      plat::MediaPlayer::PollAll();
      EXPECT_EQ(wav.Mode(), MciMode::Stopped);
      EXPECT_FALSE(audio.EffectPlaying());
    }
    plat::SetAudio(nullptr);
    plat::trace::SetSink(nullptr, nullptr);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "300 wav end"), lines.end()) << ::testing::PrintToString(lines);
  }
}

// SDL2_mixer decodes each format itself: what reaches the disk driver's output is the tone, at its
// pitch and for its length, from the WAV channel and from the effect channel in turn.
TEST(PeriodSounds, EveryFormatIsHeardThroughTheMixer) {
  audiotest::TempDir dir;
  for (PeriodFormat f : kSounds) {
    SCOPED_TRACE(int(f));
    const std::vector<uint8_t> bytes = datagen::EncodePeriodWav(Tone(), 22050, f);
    const std::string path = dir.Write("ton.wav", std::string(bytes.begin(), bytes.end()));
    const std::string out = (dir.path() / "mixer.raw").string();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    {
      plat::RealClock clock;
      plat::SdlAudio audio(clock);
      if (audio.WaveOutDevices() == 0) GTEST_SKIP() << "no audio device: " << SDL_GetError();
      auto wav = audio.CreateWaveDevice();
      std::string error;
      ASSERT_TRUE(wav->Open(path, &error)) << error;
      EXPECT_EQ(wav->LengthMs(), 300u);
      ASSERT_TRUE(wav->Play());
      for (int i = 0; i < 500 && wav->Mode() == MciMode::Playing; ++i) SDL_Delay(10);
      EXPECT_EQ(wav->Mode(), MciMode::Stopped) << "the end is seen";
      EXPECT_EQ(wav->PositionMs(), 300u);
      SDL_Delay(100);
      ASSERT_TRUE(audio.PlaySound(path.c_str(), plat::SND_ASYNC));
      for (int i = 0; i < 500 && audio.EffectPlaying(); ++i) SDL_Delay(10);
      EXPECT_FALSE(audio.EffectPlaying());
      SDL_Delay(100);
    }
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    // Left channel of the 16-bit stereo output: loud samples and the upward zero crossings among them.
    const std::vector<uint8_t> raw = Bytes(out);
    size_t loud = 0, crossings = 0;
    int prev = 0;
    for (size_t i = 0; i + 3 < raw.size(); i += 4) {
      const int s = int16_t(raw[i] | raw[i + 1] << 8);
      if (std::abs(s) > 2000) ++loud;
      if (prev < -2000 && s >= 0) ++crossings;
      if (s < -2000 || s >= 0) prev = s;
    }
    // Two plays of 300 ms: 13230 frames, of which a sine at half scale is loud 92 % of the time.
    EXPECT_GT(loud, 11000u);
    EXPECT_LT(loud, 14000u);
    EXPECT_NEAR(double(crossings), 2 * 0.3 * 440, 15) << "the pitch survives the coding";
  }
}

}  // namespace
