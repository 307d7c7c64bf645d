// WAV and MIDI duration readers: the durations the fake audio plays for, and rejection of bad files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/audio/media_info.h"
#include "tests/platform/test_audio_files.h"

using namespace audiotest;
using plat::MidiDurationMs;
using plat::ParseWav;

namespace {

std::optional<plat::WavInfo> Wav(const std::string& s) { return ParseWav(Bytes(s), s.size()); }
std::optional<uint64_t> Mid(const std::string& s) { return MidiDurationMs(Bytes(s), s.size()); }

TEST(WavInfo, DurationIsDataOverByteRate) {
  const std::string data(88200 * 2 + 44100, '\0');  // 2.5 s of 16-bit stereo at 22050 Hz
  auto info = Wav(Riff(FmtChunk(1, 2, 22050, 16) + DataChunk(data, uint32_t(data.size()))));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->duration_ms, 2500u);
  EXPECT_EQ(info->byte_rate, 88200u);
  EXPECT_EQ(info->data_offset, 44u);
  EXPECT_EQ(info->data_bytes, data.size());
}

TEST(WavInfo, SkipsOtherChunksAndPadding) {
  // An odd-sized chunk is followed by a pad byte; the reader must not lose its step.
  std::string list = "LIST";
  PutLe(list, 3, 4);
  list += "abc";
  list.push_back('\0');
  const std::string data(8000, '\x80');  // 1 s of 8-bit mono at 8 kHz
  auto info = Wav(Riff(list + FmtChunk(1, 1, 8000, 8) + "junk" + std::string("\0\0\0\0", 4) +
                       DataChunk(data, 8000)));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->duration_ms, 1000u);
}

TEST(WavInfo, DataSizeIsClampedToTheFile) {
  const std::string data(16000, '\0');  // 1 s of 16-bit mono at 8 kHz, but the header claims 10 s
  auto info = Wav(Riff(FmtChunk(1, 1, 8000, 16) + DataChunk(data, 160000)));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->data_bytes, 16000u);
  EXPECT_EQ(info->duration_ms, 1000u);
}

TEST(WavInfo, ExtensibleWithPcmOrFloatSubformatIsAccepted) {
  auto ext = [](uint16_t subformat, uint16_t bits) {
    const uint16_t block = uint16_t(2 * bits / 8);
    std::string f = "fmt ";
    PutLe(f, 40, 4);
    PutLe(f, 0xFFFE, 2);
    PutLe(f, 2, 2);
    PutLe(f, 48000, 4);
    PutLe(f, 48000 * block, 4);
    PutLe(f, block, 2);
    PutLe(f, bits, 2);
    PutLe(f, 22, 2);  // cbSize
    PutLe(f, bits, 2);  // valid bits
    PutLe(f, 3, 4);   // channel mask
    PutLe(f, subformat, 2);
    f += std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    return Riff(f + DataChunk(std::string(48000 * block / 2, '\0'), 48000 * block / 2));
  };
  auto pcm = Wav(ext(1, 16));
  ASSERT_TRUE(pcm);
  EXPECT_EQ(pcm->format, 1);
  EXPECT_EQ(pcm->duration_ms, 500u);
  auto flt = Wav(ext(3, 32));
  ASSERT_TRUE(flt);
  EXPECT_EQ(flt->format, 3);
  EXPECT_EQ(flt->duration_ms, 500u);
  EXPECT_FALSE(Wav(ext(3, 16))) << "16-bit float";
  EXPECT_FALSE(Wav(ext(3, 64))) << "64-bit float: the mixer has none";
}

// 32-bit float files as sox writes them (format 3 with a fact chunk, whatever the channels).
TEST(WavInfo, FloatFilesFromSox) {
#ifdef _WIN32
  GTEST_SKIP() << "makes its files with the build machine's sox";
#endif
  audiotest::TempDir dir;
  struct Case {
    const char* args;
    uint64_t ms;
  } cases[] = {{"-r 22050 -c 1 -b 32", 1500}, {"-r 44100 -c 2 -b 32", 750}, {"-r 48000 -c 6 -b 32", 500},
               {"-r 8000 -c 1 -b 64", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const std::string out = (dir.path() / "f.wav").string();
    const std::string cmd = std::string("sox -n -e floating-point ") + c.args + " " + out + " synth " +
                            std::to_string(c.ms ? c.ms / 1000.0 : 0.5) + " sine 440";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::ifstream in(out, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    auto info = Wav(bytes);
    if (!c.ms) {
      EXPECT_FALSE(info) << "64-bit float: the mixer has none";
      continue;
    }
    ASSERT_TRUE(info);
    EXPECT_EQ(info->format, 3);
    EXPECT_EQ(info->duration_ms, c.ms);
  }
}

TEST(WavInfo, RejectsWhatCannotBePlayed) {
  const std::string data(1600, '\0');
  EXPECT_FALSE(Wav(Riff(FmtChunk(3, 1, 8000, 64) + DataChunk(data, 1600)))) << "64-bit float";
  EXPECT_FALSE(Wav(Riff(FmtChunk(2, 1, 8000, 16) + DataChunk(data, 1600)))) << "ADPCM";
  EXPECT_FALSE(Wav(Riff(FmtChunk(1, 0, 8000, 16) + DataChunk(data, 1600)))) << "no channels";
  EXPECT_FALSE(Wav(Riff(FmtChunk(1, 9, 8000, 16) + DataChunk(data, 1600)))) << "9 channels";
  EXPECT_FALSE(Wav(Riff(FmtChunk(1, 1, 0, 16) + DataChunk(data, 1600)))) << "rate 0";
  EXPECT_FALSE(Wav(Riff(FmtChunk(1, 1, 8000, 12) + DataChunk(data, 1600)))) << "12 bits";
  EXPECT_FALSE(Wav(Riff(FmtChunk(1, 1, 8000, 16)))) << "no data chunk";
  EXPECT_FALSE(Wav(Riff(DataChunk(data, 1600)))) << "no fmt chunk";
  std::string bad_rate = FmtChunk(1, 1, 8000, 16);
  bad_rate[16] = 1;  // byte rate no longer rate x block align
  EXPECT_FALSE(Wav(Riff(bad_rate + DataChunk(data, 1600)))) << "inconsistent byte rate";
  std::string rifx = Riff(FmtChunk(1, 1, 8000, 16) + DataChunk(data, 1600));
  rifx[3] = 'X';
  EXPECT_FALSE(Wav(rifx));
  EXPECT_FALSE(ParseWav(nullptr, 0));
}

TEST(WavInfo, EveryTruncationIsSafe) {
  const std::string full = audiotest::Wav(100);
  // Cut inside the header: rejected. Cut inside the samples: shorter sound.
  for (size_t n = 0; n < full.size(); ++n) {
    auto info = ParseWav(Bytes(full), n);
    if (n < 44) {
      EXPECT_FALSE(info) << n;
    } else {
      ASSERT_TRUE(info) << n;
      EXPECT_EQ(info->data_bytes, (n - 44) & ~size_t(1));
    }
  }
}

TEST(MidiInfo, DefaultTempoIsHalfASecondAQuarter) { EXPECT_EQ(Mid(SimpleMidi(4)), 2000u); }

TEST(MidiInfo, TempoChangeMidSong) {
  // Two quarters at 120 bpm (1000 ms), then two at 240 bpm (500 ms).
  std::string ev = Tempo(0, 500000) + Ev(0, {0x90, 60, 100}) + Ev(960, {0x80, 60, 0}) + Tempo(0, 250000) +
                   Ev(0, {0x90, 62, 100}) + Ev(960, {0x80, 62, 0}) + EndOfTrack(0);
  EXPECT_EQ(Mid(Midi(0, 480, {ev})), 1500u);
}

TEST(MidiInfo, TwoTracksShareOneTempoMap) {
  // The conductor track ends early; its tempo change governs the longer note track.
  std::string conductor = Tempo(0, 500000) + Tempo(480, 1000000) + EndOfTrack(0);
  // Running status: the note-offs repeat no status byte.
  std::string notes = Ev(0, {0x91, 60, 90}) + Ev(0, {64, 90}) + Ev(2400, {0x81, 60, 0}) + Ev(0, {64, 0}) + EndOfTrack(0);
  // 480 ticks at 500 ms a quarter, then 1920 ticks at 1 s a quarter.
  EXPECT_EQ(Mid(Midi(1, 480, {conductor, notes})), 500u + 4000u);
  // The latest end wins whichever track carries it.
  EXPECT_EQ(Mid(Midi(1, 480, {notes, conductor})), 4500u);
}

TEST(MidiInfo, SysexAndMetaEventsAreSkipped) {
  std::string ev = Ev(0, {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}) + Ev(0, {0xFF, 0x03, 0x04, 'S', 'o', 'n', 'g'}) +
                   Ev(0, {0xB0, 7, 100}) + Ev(0, {0xF7, 0x02, 0x01, 0x02}) + Ev(0, {0xC0, 5}) + EndOfTrack(192);
  EXPECT_EQ(Mid(Midi(0, 96, {ev})), 1000u);
  // An unknown chunk between tracks is skipped.
  std::string odd = Midi(0, 96, {ev});
  odd.insert(14, std::string("XTRA\0\0\0\x02zz", 10));
  EXPECT_EQ(Mid(odd), 1000u);
}

// Real files carry system-common and real-time bytes inside tracks, and resume running status after a
// meta or system-exclusive event. They are read with their length, and the synthesiser gets them
// rewritten the way it reads them, the same length again.
TEST(MidiInfo, SystemBytesAndRunningStatusAfterMetaAndSysex) {
  std::string ev = Ev(0, {0x90, 60, 100}) + Ev(10, {0xF8}) + Ev(10, {0xF1, 0x10}) + Ev(0, {0xF2, 1, 2}) +
                   Ev(0, {0xF3, 1}) + Ev(0, {0xF6});
  for (int rt = 0xF9; rt <= 0xFE; ++rt) ev += Ev(0, {rt});
  ev += Ev(0, {0xFF, 0x01, 0x01, 'x'}) + Ev(76, {60, 0}) +  // running status after a meta event
        Ev(0, {0xF0, 0x01, 0xF7}) + Ev(96, {62, 100}) +      // and after system exclusive
        Ev(0, {0xF7, 0x01, 0x7F}) + EndOfTrack(96);
  const std::string song = Midi(0, 96, {ev});
  EXPECT_EQ(Mid(song), 1500u);  // 288 ticks, three quarters

  auto playable = plat::PlayableMidi(Bytes(song), song.size());
  ASSERT_TRUE(playable);
  EXPECT_EQ(MidiDurationMs(playable->data(), playable->size()), 1500u);
  const std::string expect = Midi(0, 96, {Ev(0, {0x90, 60, 100}) + Ev(20, {0xFF, 0x01, 0x01, 'x'}) +
                                          Ev(76, {0x90, 60, 0}) + Ev(0, {0xF0, 0x01, 0xF7}) +
                                          Ev(96, {0x90, 62, 100}) + EndOfTrack(96)});
  EXPECT_EQ(std::string(playable->begin(), playable->end()), expect);
  // A file already in that form comes back byte for byte.
  const std::string plain = SimpleMidi(3);
  auto same = plat::PlayableMidi(Bytes(plain), plain.size());
  ASSERT_TRUE(same);
  EXPECT_EQ(std::string(same->begin(), same->end()), plain);
  // Time left out with dropped bytes beyond what one delta holds, and a track with no end event.
  const std::string long_gap = Midi(0, 96, {Ev(0x0FFFFFFF, {0xF8}) + Ev(0x0FFFFFFF, {0xFE}) + Ev(5, {0xC0, 1})});
  auto gap = plat::PlayableMidi(Bytes(long_gap), long_gap.size());
  ASSERT_TRUE(gap);
  EXPECT_EQ(MidiDurationMs(gap->data(), gap->size()), Mid(long_gap));
  EXPECT_FALSE(plat::PlayableMidi(Bytes(song), 20));
}

TEST(MidiInfo, SmpteDivision) {
  // 25 frames of 40 ticks: 1000 ticks a second; tempo events do not apply.
  const uint16_t division = uint16_t((uint8_t(-25) << 8) | 40);
  EXPECT_EQ(Mid(Midi(0, division, {Tempo(0, 250000) + EndOfTrack(2500)})), 2500u);
}

TEST(MidiInfo, RejectsMalformedFiles) {
  const std::string good = SimpleMidi(2);
  EXPECT_FALSE(Mid(good.substr(0, good.size() - 1))) << "track cut short";
  EXPECT_FALSE(Mid(good.substr(0, 14))) << "no track";
  EXPECT_FALSE(Mid(Midi(2, 96, {EndOfTrack(0)}))) << "format 2";
  EXPECT_FALSE(Mid(Midi(0, 0, {EndOfTrack(0)}))) << "division 0";
  EXPECT_FALSE(Mid(Midi(0, 96, {Ev(0, {60, 100}) + EndOfTrack(0)}))) << "running status without status";
  EXPECT_FALSE(Mid(Midi(0, 96, {std::string("\x81\x81\x81\x81\x01", 5) + EndOfTrack(0)}))) << "5-byte VLQ";
  EXPECT_FALSE(Mid(Midi(0, 96, {Ev(0, {0xFF, 0x01, 0x7F, 'x'})}))) << "meta longer than track";
  EXPECT_FALSE(Mid(Midi(0, 96, {Ev(0, {0xF4}) + EndOfTrack(0)}))) << "undefined system common";
  EXPECT_FALSE(Mid(Midi(0, 96, {Ev(0, {0xF2, 1, 0x90}) + EndOfTrack(0)}))) << "status inside song position";
  std::string riff = good;
  riff[0] = 'R';
  EXPECT_FALSE(Mid(riff));
}

TEST(MidiInfo, LongestVlqAndTempoDoNotOverflow) {
  // Many maximal deltas at the slowest tempo stay exact.
  std::string ev = Tempo(0, 0xFFFFFF);
  for (int i = 0; i < 100; ++i) ev += Ev(0, {0xFF, 0x01, 0x00}).replace(0, 1, Vlq(0x0FFFFFFF));
  ev += EndOfTrack(0);
  const uint64_t ticks = 100ull * 0x0FFFFFFF;
  EXPECT_EQ(Mid(Midi(0, 1, {ev})), ticks * 0xFFFFFFull / 1000);
}

}  // namespace
