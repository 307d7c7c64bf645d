// Shapes a microphone recording as the medium's speech is shaped, refusing what cannot become a clean line.
#include "platform/audio/take.h"

#include <algorithm>
#include <cmath>

#include "platform/audio/loudness.h"

namespace plat {

namespace {

constexpr double kBlockSeconds = 0.01;
// Quieter than this at its loudest, a recording holds no speech.
constexpr double kSilentDb = -60;
// Speech must stand this far above the room's own noise.
constexpr double kAboveNoiseDb = 12;
// Quieter than this, lifting it to the medium's level lifts the room with it.
constexpr double kTooQuietLufs = -50;
// Runs of at least three samples at full scale, this many of them or more: the microphone clipped.
constexpr int kClippedRuns = 8;

double Db(double x) { return x > 0 ? 20 * std::log10(x) : -200; }

// RMS of each 10 ms block.
std::vector<double> BlockRms(const Pcm& p) {
  const size_t block = size_t(kBlockSeconds * kPcmRate);
  std::vector<double> out;
  for (size_t at = 0; at < p.size(); at += block) {
    const size_t end = std::min(p.size(), at + block);
    double sum = 0;
    for (size_t i = at; i < end; ++i) sum += double(p[i]) * p[i];
    out.push_back(std::sqrt(sum / double(end - at)));
  }
  return out;
}

int ClippedRuns(const Pcm& p) {
  int runs = 0, len = 0;
  for (float s : p) {
    if (std::fabs(s) >= 0.99f) {
      if (++len == 3) ++runs;
    } else {
      len = 0;
    }
  }
  return runs;
}

}  // namespace

Take ShapeTake(const uint8_t* data, size_t size, const WavFormat& like) {
  // A rate the reader accepts is at most 384 kHz; the bound is in frames, before anything is decoded.
  auto d = DecodeWav(data, size, uint64_t(kTakeMaxInputSeconds * 384000));
  if (!d || d->rate < 4000 || double(d->mono.size()) / d->rate > kTakeMaxInputSeconds) {
    Take t;
    if (d) t.input_ms = uint32_t(std::min<double>(1e9, 1000.0 * double(d->mono.size()) / std::max<uint32_t>(1, d->rate)));
    return t;
  }
  return ShapeTake(std::move(d->mono), d->rate, like);
}

Take ShapeTake(Pcm samples, uint32_t rate, const WavFormat& like) {
  Take t;
  if (rate < 4000 || double(samples.size()) / rate > kTakeMaxInputSeconds) return t;
  t.input_ms = uint32_t(1000.0 * double(samples.size()) / rate);
  const int clipped_runs = ClippedRuns(samples);
  Pcm p = ToPcmRate(samples, rate);
  samples = Pcm();

  // A microphone's DC offset would spend the headroom and click at the fades.
  double mean = 0;
  for (float s : p) mean += s;
  mean = p.empty() ? 0 : mean / double(p.size());
  t.dc_offset = mean;
  for (float& s : p) s = float(s - mean);

  const std::vector<double> rms = BlockRms(p);
  if (rms.empty()) {
    t.verdict = TakeVerdict::Silent;
    return t;
  }
  std::vector<double> sorted = rms;
  std::sort(sorted.begin(), sorted.end());
  const double floor = sorted[sorted.size() / 10], loudest = sorted.back();
  if (Db(loudest) < kSilentDb || Db(loudest) - Db(floor) < kAboveNoiseDb) {
    t.verdict = TakeVerdict::Silent;
    return t;
  }
  if (clipped_runs >= kClippedRuns) {
    t.verdict = TakeVerdict::Clipped;
    return t;
  }
  // Speech is every block well above the room and not far under the loudest; the cut is by blocks, not
  // by single samples, so a click or a hiss peak in the room does not hold the silence in.
  const double gate = std::max({floor * std::pow(10.0, 10 / 20.0), loudest * std::pow(10.0, -35 / 20.0)});
  size_t first = rms.size(), last = 0;
  for (size_t b = 0; b < rms.size(); ++b)
    if (rms[b] > gate) first = std::min(first, b), last = b;
  const size_t block = size_t(kBlockSeconds * kPcmRate), margin = size_t(kTakeMarginSeconds * kPcmRate);
  const size_t from = first * block > margin ? first * block - margin : 0;
  const size_t to = std::min(p.size(), (last + 1) * block + margin);
  Pcm speech(p.begin() + long(from), p.begin() + long(to));
  t.trimmed_ms = uint32_t(1000.0 * double(p.size() - speech.size()) / kPcmRate);

  t.lufs_before = IntegratedLoudness(speech);
  if (t.lufs_before < kTooQuietLufs) {
    t.verdict = TakeVerdict::TooQuiet;
    return t;
  }
  Level(speech);
  t.lufs_after = IntegratedLoudness(speech);
  t.peak_after_db = PeakDb(speech);
  t.length_ms = uint32_t(1000.0 * double(speech.size()) / kPcmRate);
  t.wav = EncodeWavAs(speech, like);
  t.verdict = TakeVerdict::Kept;
  return t;
}

TakeListener::State TakeListener::Add(const float* s, size_t n) {
  if (state_ == State::Over) return state_;
  samples_.insert(samples_.end(), s, s + n);
  const size_t block = std::max<size_t>(1, size_t(kBlockSeconds * rate_));
  while (state_ != State::Over && samples_.size() - judged_ >= block) {
    Block(judged_, judged_ + block);
    judged_ += block;
  }
  if (double(samples_.size()) >= kLongest * rate_) {
    samples_.resize(size_t(kLongest * rate_));
    state_ = State::Over;
  }
  return state_;
}

void TakeListener::Block(size_t from, size_t to) {
  // Measured through a DC blocker: a microphone's offset must not pass for the room's noise.
  double sum = 0;
  for (size_t i = from; i < to; ++i) {
    hp_y_ = samples_[i] - hp_x_ + 0.995 * hp_y_;
    hp_x_ = samples_[i];
    sum += hp_y_ * hp_y_;
  }
  const double rms = std::sqrt(sum / double(to - from));
  floor_ = std::min(floor_, std::max(rms, 1e-5));
  // Speech: 12 dB over the room and over -50 dBFS, as the shaping will judge it.
  const bool loud = Db(rms) > std::max(Db(floor_) + kAboveNoiseDb, -50.0);
  if (loud) {
    state_ = State::Speaking;
    speech_end_ = to;
  } else if (state_ == State::Speaking && double(to - speech_end_) >= kEndSilence * rate_) {
    state_ = State::Over;
    samples_.resize(to);
  }
}

}  // namespace plat
