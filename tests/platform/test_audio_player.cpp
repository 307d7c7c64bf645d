// Media channels and PlaySound on the headless sound system, in virtual time, with their trace lines.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/audio/audio.h"
#include "platform/audio/media_player.h"
#include "platform/clock.h"
#include "platform/headless/headless_audio.h"
#include "platform/trace.h"
#include "tests/platform/test_audio_files.h"

using namespace audiotest;
using plat::EMCIDeviceError;
using plat::MciMode;
using plat::MediaPlayer;

namespace {

class AudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::trace::SetSink([this](const std::string& l) { lines.push_back(l); }, &clock);
    plat::SetAudio(&audio);
    // DOS-style names as the program builds them: backslashes, any case.
    data = dir.path().string();
    dir.Write("zvuky/hlas.wav", audiotest::Wav(1200));
    dir.Write("zvuky/kratky.wav", audiotest::Wav(300));
    dir.Write("zvuky/vadny.wav", "RIFF....WAVEnot a sound at all");
    dir.Write("hudba/ozzel.mid", SimpleMidi(6));  // 3 s
  }
  void TearDown() override {
    plat::trace::SetSink(nullptr, nullptr);
    plat::SetAudio(nullptr);
  }
  std::string Dos(const std::string& rel) { return data + rel; }
  MediaPlayer Wave() { return MediaPlayer("WavPlayer", "wav", audio.CreateWaveDevice()); }
  // Lets the clock run to t the way the message loop does: wake at each sound change.
  void RunTo(uint64_t t) {
    for (;;) {
      const uint64_t next = MediaPlayer::NextChangeAll();
      if (next > t) break;
      clock.AdvanceTo(next);
      MediaPlayer::PollAll();
    }
    clock.AdvanceTo(t);
  }

  TempDir dir;
  std::string data;
  plat::VirtualClock clock;
  plat::HeadlessAudio audio{clock, true};
  std::vector<std::string> lines;
};

TEST_F(AudioTest, OpenOfMissingFileThrowsAndStaysClosed) {
  MediaPlayer wav = Wave();
  wav.FileName = Dos("\\zvuky\\nic.wav");
  EXPECT_THROW(wav.Open(), EMCIDeviceError);
  EXPECT_FALSE(wav.IsOpen());
  EXPECT_EQ(wav.Mode(), MciMode::NotReady);
  EXPECT_EQ(lines, std::vector<std::string>{"0 wav open-fail " + wav.FileName});
}

TEST_F(AudioTest, OpenFailsForFilesThatCannotPlay) {
  MediaPlayer wav = Wave();
  wav.FileName = Dos("\\zvuky\\vadny.wav");
  EXPECT_THROW(wav.Open(), EMCIDeviceError);
  wav.FileName = Dos("\\zvuky\\hlas.txt");
  dir.Write("zvuky/hlas.txt", audiotest::Wav(100));
  try {
    wav.Open();
    FAIL() << "an unknown extension opened";
  } catch (const EMCIDeviceError& e) {
    EXPECT_NE(std::string(e.what()).find("extension"), std::string::npos) << e.what();
  }
  // A MIDI file is no wave sound.
  wav.FileName = Dos("\\hudba\\ozzel.mid");
  EXPECT_THROW(wav.Open(), EMCIDeviceError);
  EXPECT_FALSE(wav.IsOpen());
}

TEST_F(AudioTest, PlayAndStopNeedAnOpenChannel) {
  MediaPlayer wav = Wave();
  for (auto op : {&MediaPlayer::Play, &MediaPlayer::Stop}) {
    try {
      (wav.*op)();
      FAIL() << "no exception";
    } catch (const EMCIDeviceError& e) {
      EXPECT_STREQ(e.what(), "No MCI device open");
    }
  }
  EXPECT_NO_THROW(wav.Close());
  EXPECT_TRUE(lines.empty());
}

TEST_F(AudioTest, PlayingExactlyUntilTheEnd) {
  MediaPlayer wav = Wave();
  wav.FileName = Dos("\\ZVUKY\\Hlas.WAV");  // the file on disk is lower case
  wav.Open();
  EXPECT_EQ(wav.Mode(), MciMode::Stopped);
  clock.Advance(100);
  wav.Play();
  EXPECT_EQ(wav.Mode(), MciMode::Playing) << "from the return of Play";
  EXPECT_EQ(MediaPlayer::NextChangeAll(), 1300u);
  clock.AdvanceTo(1299);
  EXPECT_EQ(wav.Mode(), MciMode::Playing);
  clock.AdvanceTo(1300);
  EXPECT_EQ(wav.Mode(), MciMode::Stopped);
  EXPECT_EQ(wav.device().PositionMs(), wav.device().LengthMs());
}

// The web medium's speech: a WAV cut after its first samples, its sound in a FLAC beside it. Only there, and only
// on the web's sound system, does the header's length count; elsewhere a cut file is as short as it is.
TEST_F(AudioTest, HeaderOnlyWavsLastAsTheirHeadersSayBesideAFlac) {
  const std::string whole = audiotest::Wav(1200);
  const std::string head = whole.substr(0, whole.size() - 1000 * 8 * 2);  // its first 0.2 s
  dir.Write("zvuky/rec.wav", head);
  dir.Write("zvuky/rec.flac", "fLaC");
  dir.Write("zvuky/sam.wav", head);
  MediaPlayer wav = Wave();
  wav.FileName = Dos("\\zvuky\\rec.wav");
  wav.Open();
  EXPECT_EQ(wav.device().LengthMs(), 200u) << "elsewhere the file is as long as it holds";
  audio.SetHeaderOnlyWavs(true);
  wav.Open();
  EXPECT_EQ(wav.device().LengthMs(), 1200u);
  EXPECT_TRUE(audio.PlaySound((dir.path() / "zvuky/rec.wav").string().c_str(), plat::SND_ASYNC));
  EXPECT_EQ(audio.NextChangeMs(), 1200u);
  wav.FileName = Dos("\\zvuky\\sam.wav");
  wav.Open();
  EXPECT_EQ(wav.device().LengthMs(), 200u) << "no FLAC beside it";
}

TEST_F(AudioTest, PlayAfterTheEndStartsAgainFromTheBeginning) {
  MediaPlayer wav = Wave();
  wav.FileName = Dos("\\zvuky\\hlas.wav");
  wav.Open();
  wav.Play();
  clock.AdvanceTo(5000);
  ASSERT_EQ(wav.Mode(), MciMode::Stopped);
  wav.Play();
  EXPECT_EQ(wav.device().PositionMs(), 0u);
  clock.AdvanceTo(5000 + 1199);
  EXPECT_EQ(wav.Mode(), MciMode::Playing) << "the whole file again";
  clock.AdvanceTo(5000 + 1200);
  EXPECT_EQ(wav.Mode(), MciMode::Stopped);
}

TEST_F(AudioTest, StopKeepsThePositionAndPlayGoesOn) {
  MediaPlayer wav = Wave();
  wav.FileName = Dos("\\zvuky\\hlas.wav");
  wav.Open();
  wav.Play();
  clock.AdvanceTo(500);
  wav.Stop();
  EXPECT_EQ(wav.Mode(), MciMode::Stopped);
  clock.AdvanceTo(2000);
  EXPECT_EQ(wav.device().PositionMs(), 500u);
  wav.Play();
  clock.AdvanceTo(2699);
  EXPECT_EQ(wav.Mode(), MciMode::Playing);
  clock.AdvanceTo(2700);
  EXPECT_EQ(wav.Mode(), MciMode::Stopped);
}

TEST_F(AudioTest, CloseEndsPlaybackAtOnce) {
  MediaPlayer wav = Wave();
  wav.FileName = Dos("\\zvuky\\hlas.wav");
  wav.Open();
  wav.Play();
  clock.AdvanceTo(200);
  wav.Close();
  EXPECT_EQ(wav.Mode(), MciMode::NotReady);
  EXPECT_EQ(MediaPlayer::NextChangeAll(), plat::kNever);
  EXPECT_EQ(audio.NextChangeMs(), plat::kNever);
  RunTo(3000);
  EXPECT_EQ(lines.back(), "200 wav close") << "no end after a close";
}

TEST_F(AudioTest, OpenClosesAnOpenChannelFirst) {
  MediaPlayer wav = Wave();
  wav.FileName = Dos("\\zvuky\\hlas.wav");
  wav.Open();
  wav.Play();
  wav.FileName = Dos("\\zvuky\\kratky.wav");
  wav.Open();
  EXPECT_EQ(wav.Mode(), MciMode::Stopped);
  EXPECT_EQ(wav.device().LengthMs(), 300u);
  wav.FileName = Dos("\\zvuky\\nic.wav");
  EXPECT_THROW(wav.Open(), EMCIDeviceError);
  EXPECT_EQ(wav.Mode(), MciMode::NotReady) << "a failed open leaves the channel closed";
}

TEST_F(AudioTest, TraceOfASpeechItem) {
  MediaPlayer wav = Wave();
  wav.FileName = Dos("\\zvuky\\kratky.wav");
  wav.Open();
  clock.AdvanceTo(50);
  wav.Play();
  RunTo(1000);
  wav.Play();  // played to the end: again from the start
  RunTo(1100);
  wav.Stop();
  wav.Stop();  // nothing plays: nothing to report
  wav.Close();
  const std::string p = wav.FileName;
  EXPECT_EQ(lines, (std::vector<std::string>{"0 wav open " + p, "50 wav play", "350 wav end", "1000 wav play",
                                             "1100 wav stop", "1100 wav close"}));
}

TEST_F(AudioTest, EndIsReportedOnceWhoeverSeesItFirst) {
  MediaPlayer wav = Wave();
  wav.FileName = Dos("\\zvuky\\kratky.wav");
  wav.Open();
  wav.Play();
  clock.AdvanceTo(400);  // the loop has not woken yet; a handler reads the mode first
  EXPECT_EQ(wav.Mode(), MciMode::Stopped);
  MediaPlayer::PollAll();
  wav.Close();
  EXPECT_EQ(lines, (std::vector<std::string>{"0 wav open " + wav.FileName, "0 wav play", "400 wav end",
                                             "400 wav close"}));
}

TEST_F(AudioTest, MusicLoopsThroughAutoRewind) {
  MediaPlayer midi("MIDIPlayer", "midi", audio.CreateMidiDevice());
  midi.FileName = Dos("\\HUDBA\\OZZEL.MID");
  midi.Open();
  EXPECT_EQ(midi.device().LengthMs(), 3000u);
  midi.Play();
  RunTo(4000);
  ASSERT_EQ(midi.Mode(), MciMode::Stopped);
  midi.Play();
  RunTo(6999);
  EXPECT_EQ(midi.Mode(), MciMode::Playing);
  RunTo(7000);
  EXPECT_EQ(midi.Mode(), MciMode::Stopped);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "3000 midi end"), 1);
  EXPECT_EQ(lines.back(), "7000 midi end");
#ifdef _WIN32
  const std::string host = Dos("\\HUDBA\\OZZEL.MID");  // the system's own paths: case and '\\' as written
#else
  const std::string host = dir.path().string() + "/hudba/ozzel.mid";
#endif
  EXPECT_EQ(audio.log(), (std::vector<std::string>{"midi open " + host, "midi play", "midi seek 0", "midi play"}));
}

TEST_F(AudioTest, TwoChannelsPlayIndependently) {
  MediaPlayer wav = Wave();
  MediaPlayer midi("MIDIPlayer", "midi", audio.CreateMidiDevice());
  wav.FileName = Dos("\\zvuky\\hlas.wav");
  midi.FileName = Dos("\\hudba\\ozzel.mid");
  wav.Open();
  midi.Open();
  midi.Play();
  wav.Play();
  EXPECT_EQ(MediaPlayer::NextChangeAll(), 1200u);
  RunTo(1500);
  EXPECT_EQ(wav.Mode(), MciMode::Stopped);
  EXPECT_EQ(midi.Mode(), MciMode::Playing);
  EXPECT_EQ(MediaPlayer::NextChangeAll(), 3000u);
}

TEST_F(AudioTest, WithoutASoundDeviceNothingOpens) {
  plat::HeadlessAudio none(clock, false);
  EXPECT_EQ(none.WaveOutDevices(), 0);
  EXPECT_EQ(audio.WaveOutDevices(), 1);
  MediaPlayer wav("WavPlayer", "wav", none.CreateWaveDevice());
  wav.FileName = Dos("\\zvuky\\hlas.wav");
  EXPECT_THROW(wav.Open(), EMCIDeviceError);
  EXPECT_FALSE(none.PlaySound((dir.path() / "zvuky/hlas.wav").string().c_str(), plat::SND_ASYNC));
}

TEST_F(AudioTest, EffectWithNoStopIsDroppedWhileAnotherPlays) {
  const uint32_t flags = plat::SND_ASYNC | plat::SND_NOSTOP;
  const std::string a = Dos("\\zvuky\\hlas.wav"), b = Dos("\\zvuky\\kratky.wav");
  EXPECT_TRUE(plat::PlaySoundDos(a.c_str(), flags));
  clock.AdvanceTo(1199);
  EXPECT_FALSE(plat::PlaySoundDos(b.c_str(), flags));
#ifdef _WIN32
  EXPECT_EQ(audio.EffectPath(), a) << "the first sound goes on";
#else
  EXPECT_EQ(audio.EffectPath(), dir.path().string() + "/zvuky/hlas.wav") << "the first sound goes on";
#endif
  EXPECT_EQ(audio.NextChangeMs(), 1200u);
  clock.AdvanceTo(1200);
  EXPECT_FALSE(audio.EffectPlaying());
  EXPECT_TRUE(plat::PlaySoundDos(b.c_str(), flags));
  clock.AdvanceTo(1300);
  EXPECT_TRUE(plat::PlaySoundDos(a.c_str(), plat::SND_ASYNC)) << "without NOSTOP it replaces the sound";
  EXPECT_TRUE(plat::PlaySoundDos(nullptr, 0));
  EXPECT_FALSE(audio.EffectPlaying());
  EXPECT_EQ(lines, (std::vector<std::string>{"0 effect " + a, "1199 effect-drop " + b, "1200 effect " + b,
                                             "1300 effect " + a, "1300 effect stop"}));
}

TEST_F(AudioTest, EffectThatCannotPlayIsNotStarted) {
  const std::string bad = Dos("\\zvuky\\vadny.wav");
  EXPECT_FALSE(plat::PlaySoundDos(bad.c_str(), plat::SND_ASYNC | plat::SND_NOSTOP));
  EXPECT_FALSE(audio.EffectPlaying());
  EXPECT_TRUE(lines.empty());
  // It does not block a later sound either.
  EXPECT_TRUE(plat::PlaySoundDos(Dos("\\zvuky\\kratky.wav").c_str(), plat::SND_ASYNC | plat::SND_NOSTOP));
}

TEST_F(AudioTest, EffectWithAVeryLongPath) {
  std::string rel;
  for (int i = 0; i < 14; ++i) rel += "adresar_se_zvuky_" + std::to_string(i) + "/";
  dir.Write(rel + "oz_iko1.wav", audiotest::Wav(250));
  std::string dos = data;
  for (int i = 0; i < 14; ++i) dos += "\\ADRESAR_SE_ZVUKY_" + std::to_string(i);
  dos += "\\oz_iko1.WAV";
  ASSERT_GT(dos.size(), 300u);
  EXPECT_TRUE(plat::PlaySoundDos(dos.c_str(), plat::SND_ASYNC | plat::SND_NOSTOP));
  EXPECT_TRUE(audio.EffectPlaying());
  EXPECT_EQ(lines, std::vector<std::string>{"0 effect " + dos});
  clock.AdvanceTo(250);
  EXPECT_FALSE(audio.EffectPlaying());
}

}  // namespace

TEST(Levels, EveryStepIsTheSameNumberOfDecibels) {
  auto db = [](int percent) { return 20 * std::log10(plat::LevelGain(percent)); };
  EXPECT_DOUBLE_EQ(plat::LevelGain(100), 1.0);
  EXPECT_EQ(plat::LevelGain(0), 0.0);
  EXPECT_NEAR(db(50), -20, 1e-9);
  for (int p = 20; p <= 100; p += 10) EXPECT_NEAR(db(p) - db(p - 10), 4, 1e-9) << p;
}
