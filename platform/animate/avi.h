// RIFF AVI reader for silent clips: uncompressed 8-bit and 24-bit frames and RLE8-compressed frames.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"

namespace plat {

struct AviClip {
  // Main header fields (at file offsets 48, 64 and 68).
  uint32_t total_frames = 0;
  uint32_t width = 0, height = 0;
  uint32_t usec_per_frame = 0;
  std::vector<Bitmap> frames;  // decoded, top row first
};

// Anything else (audio streams, other codecs, truncation, absurd sizes) gives nullopt and a reason.
// Never allocates more than the limits allow (frame size ≤ 4096 × 4096, decoded total ≤ 256 MiB).
std::optional<AviClip> ParseAvi(const uint8_t* data, size_t size, std::string* error = nullptr);

}  // namespace plat
