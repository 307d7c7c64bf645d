// BS.1770 loudness (K-weighting, gated blocks) and the levelling of the medium's lines and the family's takes.
#include "platform/audio/loudness.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>

namespace plat {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Biquad {
  double b0, b1, b2, a1, a2;
  double z1 = 0, z2 = 0;
  double Step(double x) {
    const double y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
  }
};

// The two K-weighting stages, designed for any rate from their analogue prototypes (the standard's
// coefficients are given for 48 kHz only).
std::vector<double> KWeighted(const Pcm& p, int rate) {
  double k = std::tan(kPi * 1681.974450955533 / rate);
  const double q = 0.7071752369554196, vh = std::pow(10.0, 3.999843853973347 / 20), vb = std::pow(vh, 0.4996667741545416);
  double a0 = 1 + k / q + k * k;
  Biquad shelf{(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
               2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
  k = std::tan(kPi * 38.13547087602444 / rate);
  const double qh = 0.5003270373238773;
  a0 = 1 + k / qh + k * k;
  Biquad high{1, -2, 1, 2 * (k * k - 1) / a0, (1 - k / qh + k * k) / a0};
  std::vector<double> out(p.size());
  for (size_t i = 0; i < p.size(); ++i) out[i] = high.Step(shelf.Step(p[i]));
  return out;
}

// Mean square of each block (summed over channels) of the given length and hop.
std::vector<double> BlockPowers(const std::vector<Pcm>& channels, int rate, double block_s, double hop_s) {
  if (channels.empty()) return {};
  std::vector<std::vector<double>> w;
  for (const Pcm& c : channels) w.push_back(KWeighted(c, rate));
  const size_t n = w[0].size();
  const size_t block = size_t(block_s * rate), hop = std::max<size_t>(1, size_t(hop_s * rate));
  std::vector<double> powers;
  auto power = [&](size_t from, size_t len) {
    double sum = 0;
    for (const auto& c : w)
      for (size_t i = from; i < from + len; ++i) sum += c[i] * c[i];
    return len ? sum / double(len) : 0.0;
  };
  if (n < block) {
    powers.push_back(power(0, n));
    return powers;
  }
  for (size_t at = 0; at + block <= n; at += hop) powers.push_back(power(at, block));
  return powers;
}

double Lufs(double power) { return power > 0 ? -0.691 + 10 * std::log10(power) : -std::numeric_limits<double>::infinity(); }

double Gated(const std::vector<double>& powers) {
  auto mean_above = [&](double gate) {
    double sum = 0;
    size_t n = 0;
    for (double p : powers)
      if (Lufs(p) > gate) sum += p, ++n;
    return n ? sum / double(n) : 0.0;
  };
  const double absolute = mean_above(-70.0);
  if (absolute <= 0) return -70.0;
  return Lufs(mean_above(Lufs(absolute) - 10.0));
}

// Gain per sample that keeps every sample at or under ceiling: the needed gain, held over a
// window either side, then averaged over the same window, so the gain glides instead of jumping
// and still never exceeds what any sample it touches needs.
void Limit(Pcm& p, double ceiling, int rate) {
  const size_t n = p.size(), r = size_t(0.01 * rate);
  std::vector<double> need(n, 1.0);
  bool any = false;
  for (size_t i = 0; i < n; ++i) {
    const double a = std::fabs(p[i]);
    if (a > ceiling) need[i] = ceiling / a, any = true;
  }
  if (!any) return;
  // Sliding minimum over [i - r, i + r] (a deque of candidate indices).
  std::vector<double> held(n);
  std::deque<size_t> q;
  size_t next = 0;
  for (size_t i = 0; i < n; ++i) {
    for (; next < n && next <= i + r; ++next) {
      while (!q.empty() && need[q.back()] >= need[next]) q.pop_back();
      q.push_back(next);
    }
    while (q.front() + r < i) q.pop_front();
    held[i] = need[q.front()];
  }
  std::vector<double> sum(n + 1, 0.0);
  for (size_t i = 0; i < n; ++i) sum[i + 1] = sum[i] + held[i];
  for (size_t i = 0; i < n; ++i) {
    const size_t from = i > r ? i - r : 0, to = std::min(n - 1, i + r);
    const double g = (sum[to + 1] - sum[from]) / double(to - from + 1);
    p[i] = float(p[i] * std::min(g, need[i]));
  }
}

}  // namespace

double IntegratedLoudness(const std::vector<Pcm>& channels, int rate) {
  return Gated(BlockPowers(channels, rate, 0.4, 0.1));
}

double IntegratedLoudness(const Pcm& p, int rate) { return IntegratedLoudness(std::vector<Pcm>{p}, rate); }

double MaxShortTermLoudness(const std::vector<Pcm>& channels, int rate) {
  double best = -std::numeric_limits<double>::infinity();
  for (double p : BlockPowers(channels, rate, 3.0, 0.1)) best = std::max(best, Lufs(p));
  return best;
}

double PeakDb(const Pcm& p) {
  float m = 0;
  for (float s : p) m = std::max(m, std::fabs(s));
  return m > 0 ? 20 * std::log10(double(m)) : -std::numeric_limits<double>::infinity();
}

void Level(Pcm& p, int rate) {
  if (p.empty()) return;
  // A hair under the ceiling, so rounding to 16 bits cannot lift a peak over it.
  const double ceiling = std::pow(10.0, (kPeakCeilingDb - 0.05) / 20);
  // Limiting lowers the loudness a little; a few rounds settle both.
  for (int round = 0; round < 4; ++round) {
    const double now = IntegratedLoudness(p, rate);
    if (!std::isfinite(now) || now <= -70.0) break;
    const double gain = std::pow(10.0, (kTargetLufs - now) / 20);
    if (round > 0 && std::fabs(kTargetLufs - now) < 0.05) break;
    for (float& s : p) s = float(s * gain);
    Limit(p, ceiling, rate);
  }
  Fade(p, kEdgeFadeSeconds, kEdgeFadeSeconds, rate);
}

}  // namespace plat
