// Inflating a zlib stream (the deflate of PNG pictures) into memory, bounds-checked throughout.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat::inflate {

// The whole stream's bytes, or nullopt-like false when the stream is malformed, truncated, fails its
// checksum or would grow past max_out bytes.
bool Zlib(const uint8_t* in, size_t n, size_t max_out, std::vector<uint8_t>& out);

}  // namespace plat::inflate
