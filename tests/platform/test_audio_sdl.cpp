// The SDL2_mixer sound system on SDL's disk audio driver: what is played really reaches the output.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/clock.h"
#include "platform/sdl/midi_render.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/audio/media_info.h"
#include "tests/platform/crafted_files.h"
#include "tests/platform/test_audio_files.h"

using namespace audiotest;
using plat::MciMode;

namespace {

class SdlAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    out = (dir.path() / "mixer.raw").string();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    audio = std::make_unique<plat::SdlAudio>(clock);
    if (audio->WaveOutDevices() == 0) GTEST_SKIP() << "no audio device: " << SDL_GetError();
  }
  void TearDown() override {
    audio.reset();
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
  }
  // Real time passes here; nothing is asserted on how much.
  template <class F>
  void WaitWhile(F cond, uint32_t limit_ms = 10000) {
    for (uint32_t waited = 0; cond() && waited < limit_ms; waited += 10) SDL_Delay(10);
  }
  // 16-bit samples in the mixer's output that are not silence.
  size_t LoudSamples() {
    audio.reset();  // closing the device flushes the file
    std::ifstream f(out, std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    size_t loud = 0;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
      const int16_t s = int16_t(uint8_t(raw[i]) | uint8_t(raw[i + 1]) << 8);
      if (s > 1000 || s < -1000) ++loud;
    }
    return loud;
  }

  TempDir dir;
  std::string out;
  plat::RealClock clock;
  std::unique_ptr<plat::SdlAudio> audio;
};

TEST_F(SdlAudioTest, WaveChannelIsHeardUntilItsEnd) {
  const std::string path = dir.Write("hlas.wav", audiotest::Wav(300, 1, 22050));
  auto wav = audio->CreateWaveDevice();
  std::string error;
  ASSERT_TRUE(wav->Open(path, &error)) << error;
  EXPECT_EQ(wav->LengthMs(), 300u);
  EXPECT_EQ(wav->Mode(), MciMode::Stopped);
  ASSERT_TRUE(wav->Play());
  EXPECT_EQ(wav->Mode(), MciMode::Playing) << "from the return of Play";
  WaitWhile([&] { return wav->Mode() == MciMode::Playing; });
  EXPECT_EQ(wav->Mode(), MciMode::Stopped);
  EXPECT_EQ(wav->PositionMs(), wav->LengthMs());
  EXPECT_EQ(wav->NextChangeMs(), plat::kNever);
  // Rewound, it plays again.
  wav->Seek(0);
  ASSERT_TRUE(wav->Play());
  EXPECT_EQ(wav->Mode(), MciMode::Playing);
  wav->Stop();
  EXPECT_EQ(wav->Mode(), MciMode::Stopped);
  EXPECT_LT(wav->PositionMs(), wav->LengthMs());
  wav.reset();
  EXPECT_GT(LoudSamples(), 22050u * 2 * 300 / 1000 / 2) << "the square wave reached the output";
}

TEST_F(SdlAudioTest, LevelsOfZeroSilenceEveryChannel) {
  if (audio->SoundFont().empty()) GTEST_SKIP() << "no General MIDI sound font";
  const std::string path = dir.Write("hlas.wav", audiotest::Wav(300, 1, 22050));
  const std::string song = dir.Write("ozzel.mid", SimpleMidi(2));
  audio->SetLevels(0, 0);
  auto wav = audio->CreateWaveDevice();
  auto midi = audio->CreateMidiDevice();
  std::string error;
  ASSERT_TRUE(wav->Open(path, &error)) << error;
  ASSERT_TRUE(midi->Open(song, &error)) << error;
  ASSERT_TRUE(wav->Play());
  ASSERT_TRUE(midi->Play());
  ASSERT_TRUE(audio->PlaySound(path.c_str(), plat::SND_ASYNC));
  WaitWhile([&] {
    return wav->Mode() == MciMode::Playing || midi->Mode() == MciMode::Playing || audio->EffectPlaying();
  });
  wav.reset();
  midi.reset();
  EXPECT_EQ(LoudSamples(), 0u);
}

TEST_F(SdlAudioTest, BadFilesDoNotOpen) {
  auto wav = audio->CreateWaveDevice();
  std::string error;
  EXPECT_FALSE(wav->Open((dir.path() / "nic.wav").string(), &error));
  EXPECT_FALSE(error.empty());
  const std::string junk = dir.Write("vadny.wav", "RIFF\x10\0\0\0WAVEfmt garbage");
  EXPECT_FALSE(wav->Open(junk, &error));
  EXPECT_FALSE(wav->IsOpen());
  EXPECT_EQ(wav->Mode(), MciMode::NotReady);
  EXPECT_FALSE(audio->PlaySound(junk.c_str(), plat::SND_ASYNC));
}

TEST_F(SdlAudioTest, EffectsDropWithNoStopAndStopOnNull) {
  const std::string a = dir.Write("a.wav", audiotest::Wav(2000, 1, 22050));
  const std::string b = dir.Write("b.wav", audiotest::Wav(200, 1, 22050));
  ASSERT_TRUE(audio->PlaySound(a.c_str(), plat::SND_ASYNC | plat::SND_NOSTOP));
  EXPECT_TRUE(audio->EffectPlaying());
  EXPECT_FALSE(audio->PlaySound(b.c_str(), plat::SND_ASYNC | plat::SND_NOSTOP));
  EXPECT_TRUE(audio->PlaySound(nullptr, 0));
  EXPECT_FALSE(audio->EffectPlaying());
  EXPECT_TRUE(audio->PlaySound(b.c_str(), plat::SND_ASYNC | plat::SND_NOSTOP));
  // The effect has its own channel: the WAV channel plays beside it.
  auto wav = audio->CreateWaveDevice();
  ASSERT_TRUE(wav->Open(a, nullptr));
  ASSERT_TRUE(wav->Play());
  EXPECT_TRUE(audio->EffectPlaying());
  EXPECT_EQ(wav->Mode(), MciMode::Playing);
}

TEST_F(SdlAudioTest, MidiChannelPlaysTheSong) {
  if (audio->SoundFont().empty()) GTEST_SKIP() << "no General MIDI sound font";
  const std::string path = dir.Write("ozzel.mid", SimpleMidi(2));
  auto midi = audio->CreateMidiDevice();
  std::string error;
  ASSERT_TRUE(midi->Open(path, &error)) << error;
  EXPECT_EQ(midi->LengthMs(), 1000u);
  ASSERT_TRUE(midi->Play());
  EXPECT_EQ(midi->Mode(), MciMode::Playing);
  midi->Stop();
  EXPECT_EQ(midi->Mode(), MciMode::Stopped);
  EXPECT_EQ(Mix_Playing(-1), 0) << "silent once stopped";
  ASSERT_TRUE(midi->Play());  // goes on from where it stopped
  WaitWhile([&] { return midi->Mode() == MciMode::Playing; });
  EXPECT_EQ(midi->Mode(), MciMode::Stopped);
  EXPECT_EQ(midi->PositionMs(), midi->LengthMs());
  midi->Seek(0);
  ASSERT_TRUE(midi->Play());
  EXPECT_EQ(midi->Mode(), MciMode::Playing) << "again from the beginning";
  SDL_Delay(300);
  midi->Close();
  EXPECT_EQ(midi->Mode(), MciMode::NotReady);
  midi.reset();
  EXPECT_GT(LoudSamples(), 1000u) << "the synthesizer was heard";
}

TEST_F(SdlAudioTest, MidiChannelWithASongThatCannotBeRenderedOpensButNeverPlays) {
  if (audio->SoundFont().empty()) GTEST_SKIP() << "no General MIDI sound font";
  // Timed in SMPTE frames: the file's length is known, but the synthesizer's player refuses it.
  std::string song = SimpleMidi(8);
  song[12] = char(0xE7);  // -25 frames a second
  song[13] = 40;
  const std::string path = dir.Write("smpte.mid", song);
  auto midi = audio->CreateMidiDevice();
  std::string error;
  ASSERT_TRUE(midi->Open(path, &error)) << error;
  EXPECT_GT(midi->LengthMs(), 0u);
  // Play never waits for the synthesizer's verdict: until it comes, the song may start (silent) and
  // then end where it failed; rewound as the caller does, it is refused.
  WaitWhile([&] {
    midi->Seek(0);
    return midi->Play();
  });
  midi->Seek(0);
  EXPECT_FALSE(midi->Play());
  EXPECT_EQ(midi->Mode(), MciMode::Stopped);
  EXPECT_TRUE(midi->IsOpen());
  EXPECT_EQ(midi->NextChangeMs(), plat::kNever);
}

// Songs whose length is absurd but true (143 years, 388 hours): the channel plays them from the
// return of Play, in bounded memory, and keeps position and length.
TEST_F(SdlAudioTest, MidiChannelPlaysEndlessSongsInBoundedMemory) {
  if (audio->SoundFont().empty()) GTEST_SKIP() << "no General MIDI sound font";
  for (const std::string& song : {crafted::SlowestSong(), crafted::LongNoteSong()}) {
    const std::string path = dir.Write("ozzel.mid", song);
    auto midi = audio->CreateMidiDevice();
    std::string error;
    ASSERT_TRUE(midi->Open(path, &error)) << error;
    EXPECT_GT(midi->LengthMs(), 1000ull * 3600 * 388);
    ASSERT_TRUE(midi->Play());
    EXPECT_EQ(midi->Mode(), MciMode::Playing);
    EXPECT_GT(midi->NextChangeMs(), clock.NowMs() + 1000ull * 3600 * 387);
    SDL_Delay(200);
    midi->Stop();
    const uint64_t at = midi->PositionMs();
    EXPECT_GT(at, 0u);
    EXPECT_LT(at, 60000u);
    EXPECT_EQ(midi->Mode(), MciMode::Stopped);
    ASSERT_TRUE(midi->Play());
    EXPECT_GE(midi->PositionMs(), at);
    midi->Close();
  }
}

namespace {

// The whole song, read at once after the render has finished.
std::vector<uint8_t> ReadWhole(plat::MidiRender& r, size_t frame_bytes) {
  r.Settle();
  std::vector<uint8_t> pcm(size_t(r.Frames()) * frame_bytes);
  r.Seek(0);
  r.Read(pcm.data(), pcm.size());
  return pcm;
}

const std::string kTwoSecondSong = audiotest::Midi(
    0, 96, {audiotest::Ev(0, {0xC0, 0}) + audiotest::Ev(0, {0x90, 60, 100}) + audiotest::Ev(192, {0x80, 60, 0}) +
                audiotest::EndOfTrack(192)});

}  // namespace

TEST(MidiRender, TheSongIsRenderedToItsExactLengthAndHeard) {
  const std::string font = plat::FindSoundFont();
  if (font.empty()) GTEST_SKIP() << "no General MIDI sound font";
  // Two quarters of notes, then a rest to the end of the track: 2 s.
  plat::MidiRender render(kTwoSecondSong, font, 2000, {22050, AUDIO_S16SYS, 2});
  EXPECT_TRUE(render.Whole());
  const std::vector<uint8_t> pcm = ReadWhole(render, 4);
  ASSERT_FALSE(render.Failed());
  ASSERT_EQ(pcm.size(), 22050u * 2 * 4) << "2 s of 16-bit stereo frames";
  auto loud = [&](size_t from_ms, size_t to_ms) {
    size_t n = 0;
    for (size_t f = from_ms * 22050 / 1000; f < to_ms * 22050 / 1000; ++f) {
      const auto* s = reinterpret_cast<const int16_t*>(pcm.data()) + f * 2;
      n += std::abs(s[0]) > 1000;
    }
    return n;
  };
  EXPECT_GT(loud(0, 900), 2000u) << "the note";
  EXPECT_EQ(loud(1800, 2000), 0u) << "the rest after its release";
  // For a mixer that runs mono: the same length in its frames.
  plat::MidiRender mono(kTwoSecondSong, font, 2000, {22050, AUDIO_S16SYS, 1});
  EXPECT_EQ(ReadWhole(mono, 2).size(), 22050u * 2 * 2);
  EXPECT_FALSE(mono.Failed());
}

// A song over the cap streams through a buffer of two blocks: read as the mixer reads, in pieces that
// do not match the blocks, it is the same samples as the whole song, also when started over.
TEST(MidiRender, AStreamedSongIsTheSameSamplesAsTheWholeSong) {
  const std::string font = plat::FindSoundFont();
  if (font.empty()) GTEST_SKIP() << "no General MIDI sound font";
  plat::MidiRender whole(kTwoSecondSong, font, 2000, {22050, AUDIO_S16SYS, 2});
  const std::vector<uint8_t> expected = ReadWhole(whole, 4);
  plat::MidiRender stream(kTwoSecondSong, font, 2000, {22050, AUDIO_S16SYS, 2}, 4096);
  EXPECT_FALSE(stream.Whole());
  auto read_from = [&](size_t start, size_t bytes) {
    stream.Seek(start / 4);
    std::vector<uint8_t> got(bytes);
    for (size_t off = 0; off < bytes; off += 4000) {
      stream.Settle();
      EXPECT_EQ(stream.Read(got.data() + off, std::min<size_t>(4000, bytes - off)), start + off + 4000 >= expected.size());
    }
    return got;
  };
  EXPECT_TRUE(read_from(0, expected.size()) == expected);
  EXPECT_EQ(stream.BufferBytes(), 2048u * 4);
  EXPECT_TRUE(read_from(0, 40000) == std::vector<uint8_t>(expected.begin(), expected.begin() + 40000)) << "started over";
  // A jump ahead is caught up with.
  EXPECT_TRUE(read_from(120000, 40000) == std::vector<uint8_t>(expected.begin() + 120000, expected.begin() + 160000));
  EXPECT_FALSE(stream.Failed());
}

// The crafted songs (a lone bad_alloc on the render thread once ended the program): bounded memory,
// exact frame counts for lengths up to any 64-bit value, and the long note heard from the start.
TEST(MidiRender, EndlessSongsStreamInBoundedMemory) {
  const std::string font = plat::FindSoundFont();
  if (font.empty()) GTEST_SKIP() << "no General MIDI sound font";
  const plat::PcmFormat fmt{22050, AUDIO_S16SYS, 2};
  const size_t ahead = plat::MidiRender::kAheadMs * 22050u / 1000 * 4;
  for (const std::string& song : {crafted::SlowestSong(), crafted::LongNoteSong()}) {
    auto ms = plat::MidiDurationMs(audiotest::Bytes(song), song.size());
    ASSERT_TRUE(ms);
    plat::MidiRender r(song, font, *ms, fmt);
    EXPECT_EQ(r.Frames(), uint64_t(static_cast<unsigned __int128>(*ms) * 22050 / 1000));
    EXPECT_FALSE(r.Whole());
    r.Settle();
    EXPECT_FALSE(r.Failed());
    EXPECT_EQ(r.BufferBytes(), ahead);
    std::vector<uint8_t> second(22050 * 4);
    EXPECT_FALSE(r.Read(second.data(), second.size()));
    size_t loud = 0;
    for (size_t i = 0; i + 1 < second.size(); i += 2) loud += std::abs(int16_t(second[i] | second[i + 1] << 8)) > 1000;
    if (song == crafted::LongNoteSong()) {
      EXPECT_GT(loud, 5000u) << "the note sounds";
    }
  }
  plat::MidiRender absurd(crafted::LongNoteSong(), font, UINT64_MAX, fmt);
  EXPECT_EQ(absurd.Frames(), UINT64_MAX) << "saturated, not wrapped";
  absurd.Settle();
  EXPECT_EQ(absurd.BufferBytes(), ahead);
  const uint64_t ms = UINT64_MAX / 22050 * 10;  // ms * rate does not fit 64 bits, the frames do
  EXPECT_NEAR(double(plat::MsToFrames(ms, 22050)), double(ms) * 22.05, double(ms) * 1e-9);
}

TEST(MidiRender, NoSoundFontOrAnUnreadableSongRendersNothing) {
  plat::MidiRender none(audiotest::SimpleMidi(2), "", 1000, {});
  none.Settle();
  EXPECT_TRUE(none.Failed());
  const std::string font = plat::FindSoundFont();
  if (font.empty()) GTEST_SKIP() << "no General MIDI sound font";
  plat::MidiRender garbage("MThd garbage", font, 1000, {});
  garbage.Settle();
  EXPECT_TRUE(garbage.Failed());
  EXPECT_EQ(garbage.BufferBytes(), 0u);
  // Destroyed while it still renders a long song: it stops and nothing leaks or hangs.
  plat::MidiRender(audiotest::SimpleMidi(2), font, 600000, {});
}

// Files today's tools make, through the real mixer and synthesiser. A 32-bit float recording from sox
// plays for its length; a song with system bytes in its track and running status resumed after a
// meta event sounds exactly as the same song written plainly.
TEST_F(SdlAudioTest, FloatRecordingIsHeardForItsLength) {
  const std::string path = (dir.path() / "float.wav").string();
  const std::string cmd = "sox -n -r 22050 -c 1 -e floating-point -b 32 " + path + " synth 0.3 square 440 vol 0.5";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  auto wav = audio->CreateWaveDevice();
  std::string error;
  ASSERT_TRUE(wav->Open(path, &error)) << error;
  EXPECT_EQ(wav->LengthMs(), 300u);
  ASSERT_TRUE(wav->Play());
  WaitWhile([&] { return wav->Mode() == MciMode::Playing; });
  EXPECT_EQ(wav->PositionMs(), 300u);
  wav.reset();
  EXPECT_GT(LoudSamples(), 22050u * 2 * 300 / 1000 / 2) << "the square wave reached the output";
}

TEST(MidiRender, ASongWithSystemBytesAndResumedRunningStatusSoundsAsWrittenPlainly) {
  const std::string font = plat::FindSoundFont();
  if (font.empty()) GTEST_SKIP() << "no General MIDI sound font";
  using audiotest::Ev;
  const std::string odd = audiotest::Midi(
      0, 96, {Ev(0, {0xC0, 0}) + Ev(0, {0x90, 60, 100}) + Ev(0, {0xF8}) + Ev(96, {0xFF, 0x01, 0x01, 'x'}) +
                  Ev(0, {0xF1, 0x10}) + Ev(96, {60, 0}) + Ev(0, {0xFE}) + audiotest::EndOfTrack(192)});
  const auto* p = reinterpret_cast<const uint8_t*>(odd.data());
  ASSERT_EQ(plat::MidiDurationMs(p, odd.size()), 2000u);
  plat::MidiRender render(odd, font, 2000, {22050, AUDIO_S16SYS, 2});
  plat::MidiRender plain(kTwoSecondSong, font, 2000, {22050, AUDIO_S16SYS, 2});
  const std::vector<uint8_t> pcm = ReadWhole(render, 4);
  ASSERT_FALSE(render.Failed());
  EXPECT_EQ(pcm, ReadWhole(plain, 4));
}

// The synthesizer's first use in a process draws on rand(): a song must not sound different with
// whatever else the process has drawn (the game seeds it from the clock), nor with the threads' timing.
TEST(MidiRender, TheSameSongHasTheSameSamplesInEveryProcess) {
  const std::string font = plat::FindSoundFont();
  if (font.empty()) GTEST_SKIP() << "no General MIDI sound font";
  auto render_after = [&](unsigned seed) {
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {  // a fresh process for the synthesizer's first use
      ::close(fds[0]);
      std::srand(seed);
      plat::MidiRender render(kTwoSecondSong, font, 2000, {22050, AUDIO_S16SYS, 2});
      const std::vector<uint8_t> pcm = ReadWhole(render, 4);
      for (size_t done = 0; done < pcm.size();) {
        const ssize_t n = ::write(fds[1], pcm.data() + done, pcm.size() - done);
        if (n <= 0) std::_Exit(1);
        done += size_t(n);
      }
      std::_Exit(0);
    }
    ::close(fds[1]);
    std::vector<uint8_t> pcm;
    uint8_t buf[65536];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) pcm.insert(pcm.end(), buf, buf + n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return pcm;
  };
  const std::vector<uint8_t> first = render_after(1);
  EXPECT_EQ(first.size(), 22050u * 2 * 4);
  EXPECT_TRUE(first == render_after(2)) << "the samples differ with the process's random state";
}

TEST(SdlAudioNoDevice, EverythingFailsQuietly) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  plat::RealClock clock;
  plat::SdlAudio audio(clock);
  unsetenv("SDL_AUDIODRIVER");
  EXPECT_EQ(audio.WaveOutDevices(), 0);
  TempDir dir;
  const std::string path = dir.Write("a.wav", audiotest::Wav(100));
  auto wav = audio.CreateWaveDevice();
  std::string error;
  EXPECT_FALSE(wav->Open(path, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(wav->Play());
  EXPECT_EQ(wav->Mode(), MciMode::NotReady);
  EXPECT_FALSE(audio.PlaySound(path.c_str(), plat::SND_ASYNC));
  EXPECT_FALSE(audio.EffectPlaying());
  EXPECT_EQ(audio.NextChangeMs(), plat::kNever);
}

}  // namespace
