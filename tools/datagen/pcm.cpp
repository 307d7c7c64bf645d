// Sample synthesis and mixing for the demo medium's speech and sounds.
#include "tools/datagen/pcm.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Short raised-cosine edges keep tones free of clicks.
double Envelope(size_t i, size_t n, double attack, double release) {
  const double t = double(i) / kRate, total = double(n) / kRate;
  double e = 1.0;
  if (t < attack) e = 0.5 - 0.5 * std::cos(kPi * t / attack);
  if (total - t < release) e *= 0.5 - 0.5 * std::cos(kPi * std::max(0.0, total - t) / release);
  return e;
}


}  // namespace

Pcm Silence(double seconds) { return Pcm(size_t(std::max(0.0, seconds) * kRate), 0.0f); }

Pcm Tone(double f0, double f1, double seconds, double amp, int harmonics) {
  const size_t n = size_t(seconds * kRate);
  Pcm p(n);
  double phase = 0;
  for (size_t i = 0; i < n; ++i) {
    const double f = f0 + (f1 - f0) * double(i) / std::max<size_t>(1, n);
    phase += 2 * kPi * f / kRate;
    double s = std::sin(phase);
    for (int h = 2; h <= harmonics + 1; ++h) s += std::sin(phase * h) / (h * h);
    p[i] = float(amp * s * Envelope(i, n, 0.01, std::min(0.08, seconds / 3)));
  }
  return p;
}

Pcm Noise(double seconds, double amp, double smoothing, uint32_t seed) {
  const size_t n = size_t(seconds * kRate);
  Pcm p(n);
  uint32_t x = seed * 2654435761u + 1;
  double y = 0;
  for (size_t i = 0; i < n; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    const double r = double(x) / 4294967296.0 * 2 - 1;
    y += (r - y) * (1 - smoothing);
    p[i] = float(amp * y * Envelope(i, n, 0.005, std::min(0.05, seconds / 3)));
  }
  return p;
}

Pcm Voiced(double f0, double f1, double seconds, double amp, double brightness, double vibrato_hz,
           double vibrato_depth) {
  const size_t n = size_t(seconds * kRate);
  Pcm p(n);
  double phase = 0, lp1 = 0, lp2 = 0;
  const double k = std::clamp(brightness, 0.02, 1.0);
  for (size_t i = 0; i < n; ++i) {
    const double t = double(i) / kRate;
    double f = f0 + (f1 - f0) * double(i) / std::max<size_t>(1, n);
    if (vibrato_hz > 0) f *= 1 + vibrato_depth * std::sin(2 * kPi * vibrato_hz * t);
    phase += f / kRate;
    phase -= std::floor(phase);
    const double saw = 2 * phase - 1;
    // Two one-pole low-passes: brightness sets how much of the buzz gets through.
    lp1 += (saw - lp1) * k;
    lp2 += (lp1 - lp2) * k;
    p[i] = float(amp * lp2 * Envelope(i, n, 0.04, std::min(0.12, seconds / 3)));
  }
  Normalize(p, amp);
  return p;
}

void Append(Pcm& dst, const Pcm& src) { dst.insert(dst.end(), src.begin(), src.end()); }

void MixAt(Pcm& dst, const Pcm& src, double at_seconds, double gain) {
  const size_t off = size_t(std::max(0.0, at_seconds) * kRate);
  if (dst.size() < off + src.size()) dst.resize(off + src.size(), 0.0f);
  for (size_t i = 0; i < src.size(); ++i) dst[off + i] += float(src[i] * gain);
}

}  // namespace datagen
