// BMP pixels decoded by GDI, for files whose headers our own checks have passed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat::win32 {

// The w × h image of a whole BMP file in memory as packed 0x00RRGGBB rows, top row first; false with a
// reason when GDI cannot decode it.
bool DecodeBmp(const uint8_t* file, size_t size, int w, int h, std::vector<uint32_t>& out, std::string* why);

}  // namespace plat::win32
