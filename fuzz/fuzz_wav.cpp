// libFuzzer target: the WAV header reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/audio/media_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto info = plat::ParseWav(data, size);
  if (info) {
    // What it reports must lie inside the input and agree with itself.
    if (info->data_offset > size || info->data_bytes > size - info->data_offset) abort();
    if (info->block_align == 0 || info->data_bytes % info->block_align != 0) abort();
    if (info->frames != uint64_t(info->data_bytes / info->block_align) * info->frames_per_block) abort();
    if (info->sample_rate == 0 || info->duration_ms != info->frames * 1000 / info->sample_rate) abort();
  }
  return 0;
}
