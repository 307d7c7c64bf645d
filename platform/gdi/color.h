// 24-bit colours and the packed 0x00RRGGBB form our surfaces store.
#pragma once
#include <cstdint>

namespace plat {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
  uint32_t packed() const { return (uint32_t(r) << 16) | (uint32_t(g) << 8) | b; }
  static Rgb FromPacked(uint32_t p) { return {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)}; }
};

// Colours the program names.
constexpr Rgb kWindowBlue{64, 160, 224};  // #40A0E0
constexpr Rgb kNavy{0, 0, 128};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

}  // namespace plat
