// BMP decoding of a scene-sized picture: 8-bit palettised, 24-bit and 16-bit 5-6-5.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/gdi/bitmap.h"

namespace {

using plat::Bitmap;
using plat::Rgb;

constexpr int kW = 640, kH = 410;  // a scene picture

Bitmap Picture(int colours) {
  Bitmap b(kW, kH);
  uint32_t s = 12345;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      s = s * 1103515245u + 12345u;
      const uint32_t c = (s >> 8) % uint32_t(colours);
      b.SetPixel(x, y, Rgb{uint8_t(c * 37), uint8_t(c >> 3), uint8_t(c * 11)});
    }
  return b;
}

void Decode(benchmark::State& state, const std::vector<uint8_t>& file) {
  for (auto _ : state) {
    Bitmap b = Bitmap::LoadBmpMemory(file.data(), file.size());
    benchmark::DoNotOptimize(b.pixels().data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}

void BM_Decode8Bit(benchmark::State& state) { Decode(state, Picture(200).EncodeBmp()); }
void BM_Decode24Bit(benchmark::State& state) { Decode(state, Picture(100000).EncodeBmp()); }

void BM_Decode16Bit565(benchmark::State& state) {
  std::vector<uint8_t> f = {'B', 'M'};
  auto put = [&f](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) f.push_back(uint8_t(v >> (8 * i)));
  };
  const uint32_t off = 14 + 40 + 12, img = kW * 2 * kH;
  put(off + img, 4), put(0, 4), put(off, 4);
  put(40, 4), put(kW, 4), put(kH, 4), put(1, 2), put(16, 2), put(3, 4), put(img, 4), put(0, 16);
  put(0xF800, 4), put(0x07E0, 4), put(0x001F, 4);
  for (uint32_t i = 0; i < uint32_t(kW * kH); ++i) put(i * 2654435761u >> 16, 2);
  Decode(state, f);
}

}  // namespace

BENCHMARK(BM_Decode8Bit);
BENCHMARK(BM_Decode24Bit);
BENCHMARK(BM_Decode16Bit565);
