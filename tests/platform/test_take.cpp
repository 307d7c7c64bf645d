// A take shaped as the medium's speech: the format copied, the level met, and the refusals a parent hears.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/audio/loudness.h"
#include "platform/audio/take.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Half a second of room, a second of voice-like sound (a buzz with syllables), half a second of room.
plat::Pcm Speech(uint32_t rate, double amp, double dc, double room) {
  plat::Pcm p(size_t(2.0 * rate));
  uint32_t x = 12345;
  for (size_t i = 0; i < p.size(); ++i) {
    const double t = double(i) / rate;
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    double s = room * (double(x) / 4294967296.0 * 2 - 1) + dc;
    if (t >= 0.5 && t < 1.5) s += amp * std::sin(2 * kPi * 4 * t) * std::sin(2 * kPi * 4 * t) *
                                 (std::sin(2 * kPi * 180 * t) + 0.5 * std::sin(2 * kPi * 360 * t));
    p[i] = float(std::clamp(s, -1.0, 1.0));
  }
  return p;
}

TEST(Take, ShapedLikeTheMediumLine) {
  const plat::WavFormat like{11025, 2, 8};
  for (double amp : {0.02, 0.3, 0.6}) {
    const plat::Take t = plat::ShapeTake(Speech(44100, amp, 0.1, 0.001), 44100, like);
    ASSERT_EQ(t.verdict, plat::TakeVerdict::Kept) << amp;
    EXPECT_NEAR(t.lufs_after, -20, 0.5);
    EXPECT_LE(t.peak_after_db, -3.0);
    EXPECT_NEAR(t.length_ms, 1100, 30);  // the second of voice and 50 ms either side
    EXPECT_NEAR(t.dc_offset, 0.1, 0.01);
    const auto back = plat::DecodeWav(t.wav.data(), t.wav.size(), 1 << 20);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->format, like);
    EXPECT_NEAR(plat::IntegratedLoudness(plat::ToPcmRate(back->mono, back->rate)), -20, 1.0);
  }
}

TEST(Take, RefusesWhatCannotBecomeALine) {
  const plat::WavFormat like;
  EXPECT_EQ(plat::ShapeTake(Speech(22050, 0, 0, 0), 22050, like).verdict, plat::TakeVerdict::Silent);
  EXPECT_EQ(plat::ShapeTake(Speech(22050, 0, 0, 0.05), 22050, like).verdict, plat::TakeVerdict::Silent);
  EXPECT_EQ(plat::ShapeTake(Speech(22050, 0.002, 0, 0.00001), 22050, like).verdict, plat::TakeVerdict::TooQuiet);
  EXPECT_EQ(plat::ShapeTake(Speech(22050, 3.0, 0, 0.001), 22050, like).verdict, plat::TakeVerdict::Clipped);
  const uint8_t junk[64] = {'R', 'I', 'F', 'F'};
  EXPECT_EQ(plat::ShapeTake(junk, sizeof junk, like).verdict, plat::TakeVerdict::Unreadable);
  // Six minutes: refused before a sample is read.
  const std::vector<uint8_t> header = plat::EncodeWavAs(plat::Pcm(22050 * 360), like);
  EXPECT_EQ(plat::ShapeTake(header.data(), header.size(), like).verdict, plat::TakeVerdict::Unreadable);
}

}  // namespace

namespace {

TEST(TakeListener, EndsAfterSpeechFallsQuietOrAtTheLongest) {
  // Speech from 0.5 s to 1.5 s in a quiet room, fed in 50 ms pieces as a microphone delivers it; the
  // microphone's DC offset (0.1) does not hide the speech.
  for (double dc : {0.0, 0.1}) {
    const plat::Pcm p = Speech(22050, 0.3, dc, 0.001);
    plat::TakeListener l(22050);
    size_t at = 0;
    for (; at < p.size() && l.state() != plat::TakeListener::State::Over; at += 1102) l.Add(&p[at], std::min<size_t>(1102, p.size() - at));
    plat::Pcm quiet(22050 * 2, float(dc));
    for (size_t k = 0; k < quiet.size() && l.state() != plat::TakeListener::State::Over; k += 1102) l.Add(&quiet[k], 1102);
    EXPECT_EQ(l.state(), plat::TakeListener::State::Over) << dc;
    EXPECT_NEAR(double(l.SpeechEndMs()), 1500, 80) << dc;
    EXPECT_NEAR(double(l.samples().size()) / 22050, 1.5 + plat::TakeListener::kEndSilence, 0.1) << dc;
  }
  // A room where nobody speaks: over at 15 s, and the shaping hears nothing.
  plat::TakeListener room(8000);
  const plat::Pcm hush(8000 * 20, 0.0001f);
  room.Add(hush.data(), hush.size());
  EXPECT_EQ(room.state(), plat::TakeListener::State::Over);
  EXPECT_EQ(room.samples().size(), size_t(8000 * 15));
  EXPECT_EQ(plat::ShapeTake(room.samples(), 8000, {}).verdict, plat::TakeVerdict::Silent);
}

}  // namespace
