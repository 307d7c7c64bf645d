// Little-endian writers for the RIFF and BMP files the program and its generator make.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {

inline void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
inline void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}
// A four-character code, as RIFF writes chunk ids.
inline void Tag(std::vector<uint8_t>& v, const char* t) {
  for (int i = 0; i < 4; ++i) v.push_back(uint8_t(t[i]));
}
// Fills in a size written earlier as a placeholder.
inline void Set32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
}

}  // namespace plat
