// Fades, trimming, resampling and the WAV writer shared by the medium's generator and the family's takes.
#include "platform/audio/pcm.h"

#include <algorithm>
#include <cmath>

#include "platform/audio/wav_pcm.h"

namespace plat {

void Fade(Pcm& p, double in_seconds, double out_seconds, int rate) {
  const size_t n = p.size();
  const size_t a = std::min(n, size_t(in_seconds * rate)), r = std::min(n, size_t(out_seconds * rate));
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

Pcm Trim(const Pcm& p, double threshold, double margin_seconds, int rate) {
  size_t first = p.size(), last = 0;
  for (size_t i = 0; i < p.size(); ++i)
    if (std::fabs(p[i]) > threshold) {
      first = std::min(first, i);
      last = i;
    }
  if (first >= p.size()) return {};
  const size_t margin = size_t(margin_seconds * rate);
  first = first > margin ? first - margin : 0;
  last = std::min(p.size() - 1, last + margin);
  return Pcm(p.begin() + first, p.begin() + last + 1);
}

std::vector<uint8_t> EncodeWav(const Pcm& p) { return EncodeWavAs(p, WavFormat{}); }

}  // namespace plat
