// libFuzzer target: a take shaped from arbitrary bytes (the WAV sample reader, trimming, levelling, the writer).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/audio/media_info.h"
#include "platform/audio/take.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const plat::Take t = plat::ShapeTake(data, size, plat::WavFormat{11025, 2, 8});
  if (t.verdict == plat::TakeVerdict::Kept) {
    // What it writes must read back as the format it was asked for.
    const auto info = plat::ParseWav(t.wav.data(), t.wav.size());
    if (!info || info->channels != 2 || info->bits != 8 || info->sample_rate != 11025) abort();
  }
  return 0;
}
