// The period medium's conversions: WAV (8-bit, mu-law, IMA and Microsoft ADPCM), palettised RLE
// pictures, format-0 MIDI and the RLE8 clip, each made from the file the demo medium holds.
#include "tools/datagen/period.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <unordered_map>

#include "game/names.h"
#include "platform/animate/avi.h"
#include "platform/audio/media_info.h"
#include "tools/datagen/error.h"
#include "tools/datagen/bytes.h"

namespace datagen {

namespace stdfs = std::filesystem;

namespace {

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// ---- sound ----

// The demo medium's samples (PCM, any channel count, mixed down) and their rate.
std::vector<float> DecodePcm(const std::vector<uint8_t>& wav, int* rate, uint64_t* duration_ms) {
  const auto info = plat::ParseWav(wav.data(), wav.size());
  if (!info || info->format != 1 || (info->bits != 8 && info->bits != 16)) throw Error("not a PCM WAV");
  const uint8_t* d = wav.data() + info->data_offset;
  const size_t bytes = info->bits / 8;
  std::vector<float> out(size_t(info->frames));
  for (size_t f = 0; f < out.size(); ++f) {
    double sum = 0;
    for (int c = 0; c < info->channels; ++c) {
      const uint8_t* s = d + f * info->block_align + size_t(c) * bytes;
      sum += bytes == 1 ? (s[0] - 128) / 128.0 : int16_t(Le16(s)) / 32768.0;
    }
    out[f] = float(sum / info->channels);
  }
  *rate = int(info->sample_rate);
  *duration_ms = info->duration_ms;
  return out;
}

// Box-filtered resampling to `rate`, exactly `frames` long (silence past the source's end).
std::vector<int16_t> Resample(const std::vector<float>& in, int in_rate, int rate, size_t frames) {
  std::vector<int16_t> out(frames);
  const double step = double(in_rate) / rate;
  for (size_t i = 0; i < frames; ++i) {
    const size_t a = size_t(double(i) * step), b = std::max(a + 1, size_t(double(i + 1) * step));
    double sum = 0;
    for (size_t k = a; k < b; ++k) sum += k < in.size() ? in[k] : 0.0f;
    out[i] = int16_t(std::lround(std::clamp(sum / double(b - a), -1.0, 32767.0 / 32768.0) * 32768.0));
  }
  return out;
}

// Sample frames at `rate` that keep a sound exactly duration_ms long, to the millisecond, as the
// program measures it: the smallest count and the largest.
std::pair<uint64_t, uint64_t> FramesFor(uint64_t duration_ms, int rate) {
  return {(duration_ms * uint64_t(rate) + 999) / 1000, ((duration_ms + 1) * uint64_t(rate) - 1) / 1000};
}

constexpr int kImaStep[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int kImaIndex[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

// One IMA ADPCM nibble, updating the decoder state exactly as a decoder will.
uint8_t ImaNibble(int sample, int& predictor, int& index) {
  int step = kImaStep[index];
  int diff = sample - predictor;
  uint8_t nib = 0;
  if (diff < 0) {
    nib = 8;
    diff = -diff;
  }
  int vp = step >> 3;
  if (diff >= step) nib |= 4, diff -= step, vp += step;
  step >>= 1;
  if (diff >= step) nib |= 2, diff -= step, vp += step;
  step >>= 1;
  if (diff >= step) nib |= 1, vp += step;
  predictor = std::clamp(predictor + ((nib & 8) ? -vp : vp), -32768, 32767);
  index = std::clamp(index + kImaIndex[nib], 0, 88);
  return nib;
}

constexpr int kMsCoef[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
constexpr int kMsAdapt[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};

// Encodes samples[from, from + n) after the two header samples with one predictor and starting
// step; returns the squared error, the nibbles into out when given.
uint64_t MsBlock(const int16_t* s, size_t n, int pred, int delta, std::vector<uint8_t>* out) {
  int s1 = s[1], s2 = s[0];
  uint64_t err = 0;
  for (size_t i = 2; i < n; ++i) {
    const int guess = (s1 * kMsCoef[pred][0] + s2 * kMsCoef[pred][1]) / 256;
    int q = int(std::lround(double(s[i] - guess) / delta));
    q = std::clamp(q, -8, 7);
    const int got = std::clamp(guess + q * delta, -32768, 32767);
    err += uint64_t(int64_t(got - s[i]) * (got - s[i]));
    const uint8_t nib = uint8_t(q & 0xF);
    if (out) out->push_back(nib);
    delta = std::max(16, delta * kMsAdapt[nib] / 256);
    s2 = s1;
    s1 = got;
  }
  return err;
}

uint8_t MuLaw(int pcm) {
  const int sign = pcm < 0 ? 0x80 : 0;
  int mag = std::min(pcm < 0 ? -pcm : pcm, 32635) + 0x84;
  int exponent = 7;
  for (int mask = 0x4000; !(mag & mask) && exponent > 0; mask >>= 1) --exponent;
  const int mantissa = (mag >> (exponent + 3)) & 0x0F;
  return uint8_t(~(sign | exponent << 4 | mantissa));
}

std::vector<uint8_t> WavFile(uint16_t format, uint32_t rate, uint16_t block_align, uint16_t bits,
                             const std::vector<uint8_t>& extra, uint32_t frames, uint32_t frames_per_block,
                             const std::vector<uint8_t>& data) {
  std::vector<uint8_t> v;
  Tag(v, "RIFF");
  Put32(v, 0);
  Tag(v, "WAVE");
  Tag(v, "fmt ");
  Put32(v, uint32_t(16 + (format == 1 ? 0 : 2 + extra.size())));
  Put16(v, format);
  Put16(v, 1);
  Put32(v, rate);
  Put32(v, uint32_t(uint64_t(rate) * block_align / frames_per_block));
  Put16(v, block_align);
  Put16(v, bits);
  if (format != 1) {
    Put16(v, uint32_t(extra.size()));
    v.insert(v.end(), extra.begin(), extra.end());
    Tag(v, "fact");  // what the compressed data decodes to
    Put32(v, 4);
    Put32(v, frames);
  }
  Tag(v, "data");
  Put32(v, uint32_t(data.size()));
  v.insert(v.end(), data.begin(), data.end());
  if (data.size() & 1) v.push_back(0);
  Set32(v, 4, uint32_t(v.size() - 8));
  return v;
}

// ---- pictures ----

struct Indexed {
  std::vector<uint32_t> palette;
  std::vector<uint8_t> index;  // one per pixel, top row first
};

// Median cut: the colours as they are when they fit, else boxes split at their weighted median.
Indexed Quantize(const plat::Bitmap& b, size_t max_colours) {
  std::map<uint32_t, uint32_t> counts;
  for (uint32_t p : b.pixels()) ++counts[p & 0xFFFFFF];
  struct C {
    uint32_t rgb, n;
  };
  std::vector<C> hist;
  for (const auto& [rgb, n] : counts) hist.push_back({rgb, n});
  auto chan = [](uint32_t rgb, int c) { return int(rgb >> (16 - 8 * c) & 0xFF); };
  struct Box {
    size_t a, e;
    int c = 0;  // the channel to split along
    uint64_t score = 0;  // 0: cannot be split
  };
  auto measure = [&](size_t a, size_t e) {
    Box b{a, e};
    uint64_t pixels = 0;
    int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    for (size_t k = a; k < e; ++k) {
      pixels += hist[k].n;
      for (int c = 0; c < 3; ++c) lo[c] = std::min(lo[c], chan(hist[k].rgb, c)), hi[c] = std::max(hi[c], chan(hist[k].rgb, c));
    }
    for (int c = 0; c < 3; ++c) {
      const uint64_t score = uint64_t(hi[c] - lo[c]) * uint64_t(hi[c] - lo[c]) * pixels;
      if (e - a >= 2 && score > b.score) b.c = c, b.score = score;
    }
    return b;
  };
  std::vector<Box> boxes{measure(0, hist.size())};
  while (boxes.size() < max_colours) {
    size_t best = 0;
    for (size_t i = 1; i < boxes.size(); ++i)
      if (boxes[i].score > boxes[best].score) best = i;
    if (boxes[best].score == 0) break;
    const size_t a = boxes[best].a, e = boxes[best].e;
    const int best_c = boxes[best].c;
    std::sort(hist.begin() + long(a), hist.begin() + long(e), [&](const C& x, const C& y) {
      const int cx = chan(x.rgb, best_c), cy = chan(y.rgb, best_c);
      return cx != cy ? cx < cy : x.rgb < y.rgb;
    });
    uint64_t total = 0, run = 0;
    for (size_t k = a; k < e; ++k) total += hist[k].n;
    size_t cut = a + 1;
    for (size_t k = a; k + 1 < e; ++k) {
      run += hist[k].n;
      cut = k + 1;
      if (run * 2 >= total) break;
    }
    boxes[best] = measure(a, cut);
    boxes.push_back(measure(cut, e));
  }
  Indexed out;
  std::unordered_map<uint32_t, uint8_t> map;
  for (const Box& box : boxes) {
    uint64_t sum[3] = {}, n = 0;
    for (size_t k = box.a; k < box.e; ++k) {
      for (int c = 0; c < 3; ++c) sum[c] += uint64_t(chan(hist[k].rgb, c)) * hist[k].n;
      n += hist[k].n;
      map[hist[k].rgb] = uint8_t(out.palette.size());
    }
    uint32_t rgb = 0;
    for (int c = 0; c < 3; ++c) rgb |= uint32_t((sum[c] + n / 2) / n) << (16 - 8 * c);
    out.palette.push_back(rgb);
  }
  out.index.reserve(b.pixels().size());
  for (uint32_t p : b.pixels()) out.index.push_back(map.at(p & 0xFFFFFF));
  return out;
}

// One row in RLE8: runs of three or more as encoded runs, the rest as absolute runs (three or more
// pixels, padded to a word) or single-pixel runs. No end-of-line marker.
void Rle8Row(const uint8_t* px, int w, std::vector<uint8_t>& out) {
  int x = 0;
  auto run_at = [&](int i) {
    int n = 1;
    while (i + n < w && n < 255 && px[i + n] == px[i]) ++n;
    return n;
  };
  while (x < w) {
    const int run = run_at(x);
    if (run >= 3) {
      out.push_back(uint8_t(run));
      out.push_back(px[x]);
      x += run;
      continue;
    }
    const int start = x;
    while (x < w && x - start < 255 && run_at(x) < 3) ++x;
    const int n = x - start;
    if (n < 3) {
      for (int i = start; i < x; ++i) out.insert(out.end(), {1, px[i]});
    } else {
      out.insert(out.end(), {0, uint8_t(n)});
      out.insert(out.end(), px + start, px + x);
      if (n & 1) out.push_back(0);
    }
  }
}

// One row in RLE4 (indices below 16): runs of one colour as encoded runs, the rest as absolute runs.
void Rle4Row(const uint8_t* px, int w, std::vector<uint8_t>& out) {
  int x = 0;
  auto run_at = [&](int i) {
    int n = 1;
    while (i + n < w && n < 255 && px[i + n] == px[i]) ++n;
    return n;
  };
  while (x < w) {
    const int run = run_at(x);
    if (run >= 4) {
      out.insert(out.end(), {uint8_t(run), uint8_t(px[x] << 4 | px[x])});
      x += run;
      continue;
    }
    const int start = x;
    while (x < w && x - start < 252 && run_at(x) < 4) ++x;
    const int n = x - start;
    if (n < 3) {
      for (int i = start; i < x; ++i) out.insert(out.end(), {1, uint8_t(px[i] << 4)});
    } else {
      out.insert(out.end(), {0, uint8_t(n)});
      for (int i = start; i < x; i += 2) out.push_back(uint8_t(px[i] << 4 | (i + 1 < x ? px[i + 1] : 0)));
      if (((n + 1) / 2) & 1) out.push_back(0);
    }
  }
}

// ---- MIDI ----

struct Smf {
  const std::vector<uint8_t>& b;
  size_t i = 0, end = 0;
  uint8_t Byte() {
    if (i >= end) throw Error("MIDI: truncated track");
    return b[i++];
  }
  uint32_t Vlq() {
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) {
      const uint8_t c = Byte();
      v = v << 7 | (c & 0x7F);
      if (!(c & 0x80)) return v;
    }
    throw Error("MIDI: bad length");
  }
};

void PutVlq(std::vector<uint8_t>& v, uint32_t x) {
  uint8_t buf[5];
  int n = 0;
  buf[n++] = x & 0x7F;
  while (x >>= 7) buf[n++] = uint8_t(0x80 | (x & 0x7F));
  while (n) v.push_back(buf[--n]);
}

// ---- AVI ----

size_t OpenChunk(std::vector<uint8_t>& v, const char* id, const char* list_type = nullptr) {
  Tag(v, id);
  const size_t at = v.size();
  Put32(v, 0);
  if (list_type) Tag(v, list_type);
  return at;
}
void CloseChunk(std::vector<uint8_t>& v, size_t at) {
  const uint32_t n = uint32_t(v.size() - at - 4);
  Set32(v, at, n);
  if (n & 1) v.push_back(0);
}

std::vector<uint8_t> AviRle8(const std::vector<uint8_t>& modern) {
  std::string why;
  const auto clip = plat::ParseAvi(modern.data(), modern.size(), &why);
  if (!clip) throw Error("AVI: " + why);
  const int w = int(clip->width), h = int(clip->height);
  std::vector<uint32_t> palette;
  std::unordered_map<uint32_t, uint8_t> index;
  std::vector<std::vector<uint8_t>> frames;  // indices, top row first
  for (const plat::Bitmap& f : clip->frames) {
    if (f.width() != w || f.height() != h) throw Error("AVI: frames differ in size");
    std::vector<uint8_t> idx;
    for (uint32_t p : f.pixels()) {
      p &= 0xFFFFFF;
      auto it = index.find(p);
      if (it == index.end()) {
        if (palette.size() == 256) throw Error("AVI: more than 256 colours");
        it = index.emplace(p, uint8_t(palette.size())).first;
        palette.push_back(p);
      }
      idx.push_back(it->second);
    }
    frames.push_back(std::move(idx));
  }
  // The first frame whole; each later one only its changed rows, an unchanged row skipped with an
  // end-of-line, as the RLE codec of the day wrote delta frames.
  std::vector<std::vector<uint8_t>> coded;
  for (size_t k = 0; k < frames.size(); ++k) {
    std::vector<uint8_t> c;
    int pending_eol = 0;
    for (int row = 0; row < h; ++row) {
      const int y = h - 1 - row;
      const uint8_t* px = frames[k].data() + size_t(y) * w;
      if (k > 0 && std::memcmp(px, frames[k - 1].data() + size_t(y) * w, size_t(w)) == 0) {
        ++pending_eol;
        continue;
      }
      for (; pending_eol > 0; --pending_eol) c.insert(c.end(), {0, 0});
      Rle8Row(px, w, c);
      pending_eol = 1;
    }
    c.insert(c.end(), {0, 1});
    coded.push_back(std::move(c));
  }
  size_t largest = 0;
  for (const auto& c : coded) largest = std::max(largest, c.size());

  std::vector<uint8_t> v;
  const size_t riff = OpenChunk(v, "RIFF", "AVI ");
  const size_t hdrl = OpenChunk(v, "LIST", "hdrl");
  const size_t avih = OpenChunk(v, "avih");
  Put32(v, clip->usec_per_frame);
  Put32(v, uint32_t(uint64_t(largest) * 1000000 / std::max(1u, clip->usec_per_frame)));
  Put32(v, 0);
  Put32(v, 0x10);  // AVIF_HASINDEX
  Put32(v, uint32_t(frames.size()));
  Put32(v, 0);
  Put32(v, 1);
  Put32(v, uint32_t(largest));
  Put32(v, uint32_t(w));
  Put32(v, uint32_t(h));
  for (int i = 0; i < 4; ++i) Put32(v, 0);
  CloseChunk(v, avih);
  const size_t strl = OpenChunk(v, "LIST", "strl");
  const size_t strh = OpenChunk(v, "strh");
  Tag(v, "vids");
  Tag(v, "mrle");
  for (int i = 0; i < 3; ++i) Put32(v, 0);  // flags, priority + language, initial frames
  Put32(v, clip->usec_per_frame);
  Put32(v, 1000000);
  Put32(v, 0);
  Put32(v, uint32_t(frames.size()));
  Put32(v, uint32_t(largest));
  Put32(v, 0xFFFFFFFF);
  Put32(v, 0);
  Put16(v, 0);
  Put16(v, 0);
  Put16(v, uint32_t(w));
  Put16(v, uint32_t(h));
  CloseChunk(v, strh);
  const size_t strf = OpenChunk(v, "strf");
  Put32(v, 40);
  Put32(v, uint32_t(w));
  Put32(v, uint32_t(h));
  Put16(v, 1);
  Put16(v, 8);
  Put32(v, 1);  // BI_RLE8
  Put32(v, uint32_t(largest));
  Put32(v, 0);
  Put32(v, 0);
  Put32(v, uint32_t(palette.size()));
  Put32(v, 0);
  for (uint32_t p : palette) v.insert(v.end(), {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16), 0});
  CloseChunk(v, strf);
  CloseChunk(v, strl);
  CloseChunk(v, hdrl);
  const size_t movi = OpenChunk(v, "LIST", "movi");
  std::vector<uint32_t> offsets;
  for (const auto& c : coded) {
    offsets.push_back(uint32_t(v.size() - (movi + 4)));
    const size_t ck = OpenChunk(v, "00dc");
    v.insert(v.end(), c.begin(), c.end());
    CloseChunk(v, ck);
  }
  CloseChunk(v, movi);
  const size_t idx1 = OpenChunk(v, "idx1");
  for (size_t k = 0; k < coded.size(); ++k) {
    Tag(v, "00dc");
    Put32(v, k == 0 ? 0x10 : 0);  // only the first frame stands alone
    Put32(v, offsets[k]);
    Put32(v, uint32_t(coded[k].size()));
  }
  CloseChunk(v, idx1);
  CloseChunk(v, riff);
  return v;
}

}  // namespace

std::vector<uint8_t> EncodePeriodWav(const std::vector<float>& samples, int rate, PeriodFormat f) {
  uint64_t ms = samples.size() * 1000 / uint64_t(rate);
  const int out_rate = (f == PeriodFormat::Pcm8 || f == PeriodFormat::MuLaw) ? 11025 : 22050;
  auto [lo, hi] = FramesFor(ms, out_rate);
  std::vector<uint8_t> data;
  switch (f) {
    case PeriodFormat::Pcm16: {
      const auto s = Resample(samples, rate, out_rate, lo);
      for (int16_t x : s) Put16(data, uint16_t(x));
      return WavFile(1, out_rate, 2, 16, {}, uint32_t(lo), 1, data);
    }
    case PeriodFormat::Pcm8: {
      for (int16_t x : Resample(samples, rate, out_rate, lo)) data.push_back(uint8_t((x >> 8) + 128));
      return WavFile(1, out_rate, 1, 8, {}, uint32_t(lo), 1, data);
    }
    case PeriodFormat::MuLaw: {
      for (int16_t x : Resample(samples, rate, out_rate, lo)) data.push_back(MuLaw(x));
      return WavFile(7, out_rate, 1, 8, {}, uint32_t(lo), 1, data);
    }
    case PeriodFormat::ImaAdpcm:
    case PeriodFormat::MsAdpcm: {
      // Only whole blocks are heard: a block size whose multiple lands on the same millisecond.
      const bool ima = f == PeriodFormat::ImaAdpcm;
      uint32_t align = 0, per_block = 0;
      uint64_t frames = 0;
      for (uint32_t a = ima ? 1028 : 1024; a >= (ima ? 36u : 32u) && !align; a -= ima ? 4 : 1) {
        const uint32_t spb = ima ? (a - 4) * 2 + 1 : (a - 7) * 2 + 2;
        const uint64_t k = std::max<uint64_t>(1, (lo + spb - 1) / spb);
        if (k * spb <= hi) align = a, per_block = spb, frames = k * spb;
      }
      if (!align) throw Error("no ADPCM block size keeps the sound's length");
      const auto s = Resample(samples, rate, out_rate, frames);
      std::vector<uint8_t> extra;
      if (ima) {
        int predictor = 0, index = 0;
        for (size_t b = 0; b < frames; b += per_block) {
          predictor = s[b];
          Put16(data, uint16_t(int16_t(predictor)));
          data.insert(data.end(), {uint8_t(index), 0});
          for (size_t i = b + 1; i < b + per_block; i += 2) {
            const uint8_t lo_nib = ImaNibble(s[i], predictor, index);
            const uint8_t hi_nib = ImaNibble(s[i + 1], predictor, index);
            data.push_back(uint8_t(hi_nib << 4 | lo_nib));
          }
        }
        Put16(extra, per_block);
        return WavFile(0x11, out_rate, uint16_t(align), 4, extra, uint32_t(frames), per_block, data);
      }
      for (size_t b = 0; b < frames; b += per_block) {
        // The predictor and starting step that fit this block best.
        int best_pred = 0, best_delta = 16;
        uint64_t best_err = UINT64_MAX;
        for (int pred = 0; pred < 7; ++pred)
          for (int delta : {16, 48, 128, 384, 1024}) {
            const uint64_t e = MsBlock(s.data() + b, per_block, pred, delta, nullptr);
            if (e < best_err) best_err = e, best_pred = pred, best_delta = delta;
          }
        data.push_back(uint8_t(best_pred));
        Put16(data, uint16_t(best_delta));
        Put16(data, uint16_t(s[b + 1]));  // sample 1 is the later of the two
        Put16(data, uint16_t(s[b]));
        std::vector<uint8_t> nibs;
        MsBlock(s.data() + b, per_block, best_pred, best_delta, &nibs);
        for (size_t i = 0; i < nibs.size(); i += 2) data.push_back(uint8_t(nibs[i] << 4 | nibs[i + 1]));
      }
      Put16(extra, per_block);
      Put16(extra, 7);
      for (const auto& c : kMsCoef) {
        Put16(extra, uint16_t(int16_t(c[0])));
        Put16(extra, uint16_t(int16_t(c[1])));
      }
      return WavFile(2, out_rate, uint16_t(align), 4, extra, uint32_t(frames), per_block, data);
    }
    default:
      throw Error("not a sound format");
  }
}

std::vector<uint8_t> EncodePeriodBmp(const plat::Bitmap& picture, PeriodFormat f) {
  if (picture.empty()) throw Error("BMP: empty picture");
  const bool rle4 = f == PeriodFormat::Rle4;
  if (!rle4 && f != PeriodFormat::Rle8 && f != PeriodFormat::BottomUp && f != PeriodFormat::TopDown)
    throw Error("not a picture format");
  const Indexed q = Quantize(picture, rle4 ? 16 : 256);
  const int w = picture.width(), h = picture.height();
  std::vector<uint8_t> pixels;
  if (f == PeriodFormat::Rle8 || rle4) {
    for (int row = 0; row < h; ++row) {
      const uint8_t* px = q.index.data() + size_t(h - 1 - row) * w;
      rle4 ? Rle4Row(px, w, pixels) : Rle8Row(px, w, pixels);
      pixels.insert(pixels.end(), {0, uint8_t(row + 1 == h ? 1 : 0)});  // end of line / of bitmap
    }
  } else {
    const size_t stride = (size_t(w) + 3) & ~size_t(3);
    for (int row = 0; row < h; ++row) {
      const int y = f == PeriodFormat::TopDown ? row : h - 1 - row;
      const uint8_t* px = q.index.data() + size_t(y) * w;
      pixels.insert(pixels.end(), px, px + w);
      pixels.resize(pixels.size() + stride - size_t(w), 0);
    }
  }
  const uint32_t off = 14 + 40 + uint32_t(q.palette.size()) * 4;
  std::vector<uint8_t> v;
  v.insert(v.end(), {'B', 'M'});
  Put32(v, off + uint32_t(pixels.size()));
  Put32(v, 0);
  Put32(v, off);
  Put32(v, 40);
  Put32(v, uint32_t(w));
  Put32(v, uint32_t(f == PeriodFormat::TopDown ? -h : h));
  Put16(v, 1);
  Put16(v, rle4 ? 4 : 8);
  Put32(v, rle4 ? 2 : f == PeriodFormat::Rle8 ? 1 : 0);
  Put32(v, uint32_t(pixels.size()));
  Put32(v, 3780);
  Put32(v, 3780);
  Put32(v, uint32_t(q.palette.size()));
  Put32(v, 0);
  for (uint32_t p : q.palette) v.insert(v.end(), {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16), 0});
  v.insert(v.end(), pixels.begin(), pixels.end());
  return v;
}

std::vector<uint8_t> ToMidiFormat0(const std::vector<uint8_t>& smf) {
  if (smf.size() < 14 || std::memcmp(smf.data(), "MThd", 4) != 0) throw Error("MIDI: no header");
  const uint32_t hlen = uint32_t(smf[4]) << 24 | smf[5] << 16 | smf[6] << 8 | smf[7];
  if (hlen < 6 || hlen > smf.size() - 8) throw Error("MIDI: bad header");
  const uint16_t division = uint16_t(smf[12] << 8 | smf[13]);
  struct Event {
    uint64_t tick;
    std::vector<uint8_t> bytes;  // status byte included
  };
  std::vector<Event> events;  // tracks one after another, each in its own order
  uint64_t end_tick = 0;
  Smf r{smf};
  size_t pos = 8 + hlen;
  while (smf.size() - pos >= 8) {
    const uint32_t len = uint32_t(smf[pos + 4]) << 24 | smf[pos + 5] << 16 | smf[pos + 6] << 8 | smf[pos + 7];
    if (len > smf.size() - pos - 8) throw Error("MIDI: truncated chunk");
    if (std::memcmp(smf.data() + pos, "MTrk", 4) == 0) {
      r.i = pos + 8;
      r.end = pos + 8 + len;
      uint64_t tick = 0;
      uint8_t running = 0;
      while (r.i < r.end) {
        tick += r.Vlq();
        if (r.i >= r.end) throw Error("MIDI: truncated track");
        uint8_t status = r.b[r.i] & 0x80 ? r.Byte() : running;
        if (!status) throw Error("MIDI: data without status");
        Event e{tick, {status}};
        if (status < 0xF0) {
          running = status;
          const int n = (status & 0xE0) == 0xC0 ? 1 : 2;
          for (int k = 0; k < n; ++k) e.bytes.push_back(r.Byte());
          if ((status & 0xF0) == 0x80) e.bytes = {uint8_t(0x90 | (status & 0x0F)), e.bytes[1], 0};
        } else if (status == 0xFF) {
          const uint8_t type = r.Byte();
          const uint32_t n = r.Vlq();
          e.bytes.push_back(type);
          PutVlq(e.bytes, n);
          for (uint32_t k = 0; k < n; ++k) e.bytes.push_back(r.Byte());
          if (type == 0x2F) {
            end_tick = std::max(end_tick, tick);
            break;
          }
        } else if (status == 0xF0 || status == 0xF7) {
          const uint32_t n = r.Vlq();
          PutVlq(e.bytes, n);
          for (uint32_t k = 0; k < n; ++k) e.bytes.push_back(r.Byte());
        } else {
          throw Error("MIDI: unexpected status");
        }
        end_tick = std::max(end_tick, tick);
        events.push_back(std::move(e));
      }
    }
    pos += 8 + len;
  }
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.tick < b.tick; });
  std::vector<uint8_t> track;
  uint64_t at = 0;
  uint8_t running = 0;
  for (const Event& e : events) {
    PutVlq(track, uint32_t(e.tick - at));
    at = e.tick;
    const uint8_t status = e.bytes[0];
    // Channel messages repeat their status only when it changes; meta and sysex events cancel it.
    const bool omit = status < 0xF0 && status == running;
    running = status < 0xF0 ? status : 0;
    track.insert(track.end(), e.bytes.begin() + (omit ? 1 : 0), e.bytes.end());
  }
  PutVlq(track, uint32_t(end_tick - at));
  track.insert(track.end(), {0xFF, 0x2F, 0x00});
  std::vector<uint8_t> v;
  Tag(v, "MThd");
  v.insert(v.end(), {0, 0, 0, 6, 0, 0, 0, 1, uint8_t(division >> 8), uint8_t(division)});
  Tag(v, "MTrk");
  v.insert(v.end(), {uint8_t(track.size() >> 24), uint8_t(track.size() >> 16), uint8_t(track.size() >> 8),
                     uint8_t(track.size())});
  v.insert(v.end(), track.begin(), track.end());
  return v;
}

PeriodFormat PeriodFormatOf(const std::string& rel) {
  namespace g = ozzel::game;
  const std::string r = Lower(rel);
  auto is = [&](const std::string& name) { return r == Lower(name); };
  const std::string dir = r.substr(0, r.find('\\', 1));
  if (dir == "\\hudba") return PeriodFormat::Midi0;
  if (dir == "\\animace") return PeriodFormat::AviRle8;
  if (dir == "\\obrazky") {
    if (is(g::IntroPicture())) return PeriodFormat::TopDown;
    if (is(g::ScenePicture(1))) return PeriodFormat::BottomUp;
    if (is(g::AnimalPicture(1, g::AnimalsPresent(1).front()))) return PeriodFormat::Rle4;
    return PeriodFormat::Rle8;
  }
  if (is(g::IntroSpeech())) return PeriodFormat::Pcm16;
  if (is(g::PraiseIntro())) return PeriodFormat::MuLaw;
  // The button sounds play as effects: every format but mu-law among them.
  const PeriodFormat rota[4] = {PeriodFormat::Pcm8, PeriodFormat::ImaAdpcm, PeriodFormat::MsAdpcm,
                                PeriodFormat::Pcm16};
  for (int id : {1, 2, 3, 4, 8})
    if (is(g::ButtonSound(id))) return rota[(id - 1) % 4];
  uint32_t h = 2166136261u;
  for (char c : r) h = (h ^ uint8_t(c)) * 16777619u;
  return rota[h % 4];
}

std::string PeriodPath(const std::string& rel) {
  std::string p = rel;
  if (!p.empty() && p[0] == '\\') p.erase(0, 1);
  for (char& c : p) c = c == '\\' ? '/' : char(std::toupper(static_cast<unsigned char>(c)));
  const std::string name = p.substr(p.rfind('/') + 1);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot > 8 || name.size() - dot - 1 > 3)
    throw Error("not an 8.3 name: " + rel);
  return p;
}

std::vector<uint8_t> PeriodFile(const std::string& rel, const std::vector<uint8_t>& modern) {
  const PeriodFormat f = PeriodFormatOf(rel);
  switch (f) {
    case PeriodFormat::Midi0:
      return ToMidiFormat0(modern);
    case PeriodFormat::AviRle8:
      return AviRle8(modern);
    case PeriodFormat::Rle8:
    case PeriodFormat::Rle4:
    case PeriodFormat::BottomUp:
    case PeriodFormat::TopDown:
      return EncodePeriodBmp(plat::Bitmap::LoadBmpMemory(modern.data(), modern.size()), f);
    default: {
      int rate = 0;
      uint64_t ms = 0;
      const std::vector<float> s = DecodePcm(modern, &rate, &ms);
      std::vector<uint8_t> out = EncodePeriodWav(s, rate, f);
      const auto check = plat::ParseWav(out.data(), out.size());
      if (!check || check->duration_ms != ms) throw Error("period sound changed its length: " + rel);
      return out;
    }
  }
}

void SetTreeReadOnly(const std::string& path, bool read_only) {
  std::error_code ec;
  auto set = [&](const stdfs::path& p) {
    const bool dir = stdfs::is_directory(stdfs::symlink_status(p, ec));
    const stdfs::perms mode = read_only ? (dir ? stdfs::perms(0555) : stdfs::perms(0444))
                                        : (dir ? stdfs::perms(0755) : stdfs::perms(0644));
    stdfs::permissions(p, mode, ec);
  };
  if (!stdfs::exists(path, ec)) return;
  if (!read_only) set(path);  // a folder is opened up before its contents are walked
  if (stdfs::is_directory(path, ec))
    for (auto it = stdfs::recursive_directory_iterator(path, ec); !ec && it != stdfs::recursive_directory_iterator();
         it.increment(ec))
      set(it->path());
  if (read_only) set(path);
}

}  // namespace datagen
