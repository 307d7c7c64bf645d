// Minimal PNG encoding (RGB, 8 bits, stored deflate blocks) and the checksums it needs.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/canvas.h"

namespace plat::png {

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0);
uint32_t Adler32(const uint8_t* data, size_t n, uint32_t adler = 1);
std::vector<uint8_t> Encode(const Surface& s);

}  // namespace plat::png
