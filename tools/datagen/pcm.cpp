// Sample synthesis and the WAV writer for the demo medium's speech and sounds.
#include "tools/datagen/pcm.h"
#include "tools/datagen/bytes.h"

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

void Fade(Pcm& p, double in_seconds, double out_seconds) {
  const size_t n = p.size();
  const size_t a = std::min(n, size_t(in_seconds * kRate)), r = std::min(n, size_t(out_seconds * kRate));
  for (size_t i = 0; i < a; ++i) p[i] *= float(double(i) / a);
  for (size_t i = 0; i < r; ++i) p[n - 1 - i] *= float(double(i) / r);
}

void Normalize(Pcm& p, double peak) {
  float m = 0;
  for (float s : p) m = std::max(m, std::fabs(s));
  if (m <= 0) return;
  const float g = float(peak / m);
  for (float& s : p) s *= g;
}

Pcm Resample(const Pcm& p, double ratio) {
  if (p.empty() || ratio <= 0) return {};
  const size_t n = size_t(double(p.size()) / ratio);
  Pcm out(n);
  for (size_t i = 0; i < n; ++i) {
    const double x = double(i) * ratio;
    const size_t j = size_t(x);
    const double f = x - double(j);
    const float a = p[std::min(j, p.size() - 1)], b = p[std::min(j + 1, p.size() - 1)];
    out[i] = float(a + (b - a) * f);
  }
  return out;
}

Pcm Trim(const Pcm& p, double threshold, double margin_seconds) {
  size_t first = p.size(), last = 0;
  for (size_t i = 0; i < p.size(); ++i)
    if (std::fabs(p[i]) > threshold) {
      first = std::min(first, i);
      last = i;
    }
  if (first >= p.size()) return {};
  const size_t margin = size_t(margin_seconds * kRate);
  first = first > margin ? first - margin : 0;
  last = std::min(p.size() - 1, last + margin);
  return Pcm(p.begin() + first, p.begin() + last + 1);
}

std::vector<uint8_t> EncodeWav(const Pcm& p) {
  const uint32_t data_bytes = uint32_t(p.size() * 2);
  std::vector<uint8_t> v;
  v.reserve(44 + data_bytes + 1);
  Tag(v, "RIFF");
  Put32(v, 36 + data_bytes + (data_bytes & 1));
  Tag(v, "WAVE");
  Tag(v, "fmt ");
  Put32(v, 16);
  Put16(v, 1);  // PCM
  Put16(v, 1);  // mono
  Put32(v, kRate);
  Put32(v, kRate * 2);
  Put16(v, 2);
  Put16(v, 16);
  Tag(v, "data");
  Put32(v, data_bytes);
  for (float s : p) {
    const double c = std::clamp(double(s), -1.0, 1.0);
    Put16(v, uint16_t(int16_t(std::lround(c * 32767))));
  }
  return v;
}

}  // namespace datagen
