// Reads uncompressed WAV samples inside the header the bounded parser accepted; writes PCM WAVs.
#include "platform/audio/wav_pcm.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/audio/media_info.h"
#include "platform/bytes.h"

namespace plat {

namespace {

// One stored sample as [-1, 1).
float Sample(const uint8_t* s, uint16_t format, uint16_t bits) {
  switch (bits) {
    case 8: return float((int(s[0]) - 128) / 128.0);
    case 16: return float(int16_t(uint16_t(s[0] | s[1] << 8)) / 32768.0);
    case 24: {
      const int32_t v = int32_t(uint32_t(s[0]) << 8 | uint32_t(s[1]) << 16 | uint32_t(s[2]) << 24) >> 8;
      return float(v / 8388608.0);
    }
    default: {
      const uint32_t u = uint32_t(s[0]) | uint32_t(s[1]) << 8 | uint32_t(s[2]) << 16 | uint32_t(s[3]) << 24;
      if (format == 3) {
        float f;
        std::memcpy(&f, &u, 4);
        return std::isfinite(f) ? std::clamp(f, -1.0f, 1.0f) : 0.0f;
      }
      return float(int32_t(u) / 2147483648.0);
    }
  }
}

}  // namespace

std::optional<DecodedWav> DecodeWav(const uint8_t* data, size_t size, uint64_t max_frames) {
  const auto info = ParseWav(data, size);
  if (!info || (info->format != 1 && info->format != 3) || info->frames > max_frames) return std::nullopt;
  DecodedWav d;
  d.rate = info->sample_rate;
  d.format = {info->sample_rate, info->channels, info->bits};
  d.mono.resize(size_t(info->frames));
  const uint8_t* at = data + info->data_offset;
  const size_t step = info->bits / 8;
  for (size_t i = 0; i < d.mono.size(); ++i) {
    double sum = 0;
    for (uint16_t c = 0; c < info->channels; ++c, at += step) sum += Sample(at, info->format, info->bits);
    d.mono[i] = float(sum / info->channels);
  }
  return d;
}

std::optional<WavFormat> PcmFormatOf(const uint8_t* data, size_t size) {
  const auto info = ParseWav(data, size);
  if (!info || info->format != 1 || (info->bits != 8 && info->bits != 16)) return std::nullopt;
  return WavFormat{info->sample_rate, info->channels, info->bits};
}

Pcm ToPcmRate(const Pcm& p, uint32_t rate) {
  if (rate == uint32_t(kPcmRate) || p.empty() || rate == 0) return p;
  const double ratio = double(rate) / kPcmRate;
  if (ratio < 1) return Resample(p, ratio);
  // Coming down: each output sample is the mean of the input it spans, so what lies above the new
  // rate's limit is mostly averaged away instead of folding back as hiss.
  const size_t n = size_t(double(p.size()) / ratio);
  Pcm out(n);
  for (size_t i = 0; i < n; ++i) {
    const size_t from = size_t(double(i) * ratio), to = std::min(p.size(), std::max(from + 1, size_t(double(i + 1) * ratio)));
    double sum = 0;
    for (size_t j = from; j < to; ++j) sum += p[j];
    out[i] = float(sum / double(to - from));
  }
  return out;
}

std::vector<uint8_t> EncodeWavAs(const Pcm& mono, const WavFormat& f) {
  const Pcm& p = mono;
  Pcm resampled;
  const Pcm* src = &p;
  if (f.rate != uint32_t(kPcmRate) && f.rate > 0) {
    resampled = Resample(p, double(kPcmRate) / f.rate);
    src = &resampled;
  }
  const uint32_t bytes_per = f.bits == 8 ? 1 : 2, block = bytes_per * f.channels;
  const uint32_t data_bytes = uint32_t(src->size() * block);
  std::vector<uint8_t> v;
  v.reserve(44 + data_bytes + 1);
  Tag(v, "RIFF");
  Put32(v, 36 + data_bytes + (data_bytes & 1));
  Tag(v, "WAVE");
  Tag(v, "fmt ");
  Put32(v, 16);
  Put16(v, 1);  // PCM
  Put16(v, f.channels);
  Put32(v, f.rate);
  Put32(v, f.rate * block);
  Put16(v, block);
  Put16(v, f.bits);
  Tag(v, "data");
  Put32(v, data_bytes);
  for (float s : *src) {
    const double c = std::clamp(double(s), -1.0, 1.0);
    for (uint16_t ch = 0; ch < f.channels; ++ch) {
      if (f.bits == 8)
        v.push_back(uint8_t(std::clamp<long>(std::lround(c * 127) + 128, 0, 255)));
      else
        Put16(v, uint16_t(int16_t(std::lround(c * 32767))));
    }
  }
  if (data_bytes & 1) v.push_back(0);
  return v;
}

}  // namespace plat
