// Finding and mending clicks at the unit joins of synthesised speech.
#include "tools/datagen/clicks.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Neighbourhood for the local levels: 20 ms each side, leaving out 1 ms next to the sample so a
// burst does not raise its own yardstick.
constexpr size_t kReach = kRate / 50, kGap = kRate / 1000;
// How far a click's bend stands above the speech beside it and above the recording's loud level
// (the 99th percentile of its magnitudes). Measured on the seven languages' voices: the joins that
// click bend 30-50 times the speech beside them and 4-6 times the loud level; the sharpest plosive
// bursts, which also bend 20-40 times their quiet surroundings, stay under 1.
constexpr double kOverBend = 20, kOverLevel = 2;
// Samples of the same burst bend at least this share of the seed's threshold.
constexpr double kBurstShare = 0.25;
// Bursts closer than this are one click; none is followed further than kMaxBurst each way.
constexpr size_t kJoin = kRate / 100, kMaxBurst = kRate / 40;
// Pitch periods looked for when mending: 60 to 400 Hz.
constexpr size_t kMinPeriod = kRate / 400, kMaxPeriod = kRate / 60;

double Bend(const Pcm& p, size_t i) {
  return i == 0 || i + 1 >= p.size() ? 0.0 : std::fabs(double(p[i + 1]) - 2.0 * p[i] + p[i - 1]);
}

// The lag that best repeats the samples just before `at` (backward) or from `at` on (forward).
size_t Period(const Pcm& p, size_t at, bool backward) {
  size_t best = 0;
  double best_score = -2;
  for (size_t lag = kMinPeriod; lag <= kMaxPeriod; ++lag) {
    double xy = 0, xx = 0, yy = 0;
    for (size_t k = 0; k < kMaxPeriod; ++k) {
      const size_t i = backward ? at - 1 - k : at + k, j = backward ? i - lag : i + lag;
      xy += double(p[i]) * p[j], xx += double(p[i]) * p[i], yy += double(p[j]) * p[j];
    }
    const double score = xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0;
    if (score > best_score) best_score = score, best = lag;
  }
  return best;
}

double PeakOf(const Pcm& p, size_t from, size_t to) {
  double m = 0;
  for (size_t i = from; i < to && i < p.size(); ++i) m = std::max(m, double(std::fabs(p[i])));
  return m;
}

void Mend(Pcm& p, size_t a, size_t b) {  // replaces [a, b)
  const size_t n = p.size();
  const bool room = a >= 2 * kMaxPeriod && b + 2 * kMaxPeriod + kMaxBurst <= n;
  const size_t before = room ? Period(p, a, true) : 0;
  size_t after = room ? Period(p, b, false) : 0;
  if (room) {
    // A bad join can also leave a period or two far louder than the voice on either side of it.
    const double voice = PeakOf(p, a - before, a);
    const size_t end = b + kMaxBurst;
    while (b + after <= end && PeakOf(p, b, b + after) > 1.5 * voice) b += after;
    after = Period(p, b, false);
  }
  const size_t len = b - a;
  const float from = a > 0 ? p[a - 1] : 0.0f, to = b < n ? p[b] : 0.0f;
  // Voices are not exactly periodic: the repeated periods are shifted to meet the samples they join,
  // the shift fading out over one period.
  const double shift_x = room ? from - p[a - 1 - before] : 0, shift_y = room ? to - p[b + after] : 0;
  for (size_t i = a; i < b; ++i) {
    const double w = 0.5 - 0.5 * std::cos(kPi * double(i - a + 1) / double(len + 1));
    double x, y;
    if (room) {
      x = p[i - before * ((i - a) / before + 1)] + shift_x * std::max(0.0, 1 - double(i - a) / double(before));
      y = p[i + after * ((b - i - 1) / after + 1)] + shift_y * std::max(0.0, 1 - double(b - i) / double(after));
    } else {  // too near an end to find the pitch: a straight line
      x = from, y = to;
    }
    p[i] = float((1 - w) * x + w * y);
  }
}

}  // namespace

std::vector<Click> FindClicks(const Pcm& p) {
  const size_t n = p.size();
  std::vector<Click> out;
  if (n < 3) return out;
  std::vector<double> bend(n + 1, 0.0);  // prefix sums
  for (size_t i = 0; i < n; ++i) bend[i + 1] = bend[i] + Bend(p, i);
  std::vector<float> magnitude(n);
  for (size_t i = 0; i < n; ++i) magnitude[i] = std::fabs(p[i]);
  std::nth_element(magnitude.begin(), magnitude.begin() + n * 99 / 100, magnitude.end());
  const double loud = magnitude[n * 99 / 100];
  auto mean = [](const std::vector<double>& s, size_t from, size_t to) {
    return to > from ? (s[to] - s[from]) / double(to - from) : 0.0;
  };
  for (size_t i = 1; i + 1 < n; ++i) {
    const double b = Bend(p, i);
    const size_t lo = i > kReach ? i - kReach : 0, hi = std::min(n, i + kReach + 1);
    const size_t glo = i > kGap ? i - kGap : 0, ghi = std::min(n, i + kGap + 1);
    const double beside = std::max(mean(bend, lo, glo), mean(bend, ghi, hi));
    if (b <= kOverBend * std::max(beside, 1e-4) || b <= kOverLevel * loud) continue;
    // The burst: the samples around that still bend far more than the speech beside them.
    const double part = kBurstShare * kOverBend * std::max(beside, 1e-4);
    // A join can throw several jumps a few samples apart: a burst goes on over gaps of up to 1 ms.
    size_t first = i, last = i;
    for (size_t j = i; j > 1 && j + kGap >= first && i - j < kMaxBurst; --j)
      if (Bend(p, j - 1) > part) first = j - 1;
    for (size_t j = i + 1; j + 1 < n && j <= last + kGap && j - i < kMaxBurst; ++j)
      if (Bend(p, j) > part) last = j;
    if (!out.empty() && first <= out.back().last + kJoin)
      out.back().last = std::max(out.back().last, last);
    else
      out.push_back({first, last});
    i = last;
  }
  return out;
}

int RemoveClicks(Pcm& p) {
  const size_t margin = kRate / 1000;
  int mended = 0;
  // A mend can bare a jump the burst hid; a few rounds take those too.
  for (int round = 0; round < 3; ++round) {
    const std::vector<Click> clicks = FindClicks(p);
    if (clicks.empty()) break;
    for (const Click& c : clicks)
      Mend(p, c.first > margin ? c.first - margin : 0, std::min(p.size(), c.last + 1 + margin));
    if (round == 0) mended = int(clicks.size());
  }
  return mended;
}

}  // namespace datagen
