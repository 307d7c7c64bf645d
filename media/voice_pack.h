// One file holding a language's takes, to carry a family's voice from one computer to another.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ozzel {

// Far more than the spoken lines of any medium, and far more than their takes' bytes.
inline constexpr size_t kPackMaxTakes = 400;
inline constexpr size_t kPackMaxTakeBytes = 32u << 20;
inline constexpr size_t kPackMaxBytes = 512u << 20;

struct PackedTake {
  std::string name;  // "oz_L_a1.wav"
  std::vector<uint8_t> wav;
};

struct VoicePack {
  std::string language;  // "cs"
  std::vector<PackedTake> takes;
};

// "OZZELVOICE 1\n", "language CODE\n", then per take "take NAME BYTES\n" and the bytes, then "end\n".
std::vector<uint8_t> WritePack(const VoicePack& pack);
// Reads a pack within its bounds: nullopt with *error for anything malformed, truncated or too big.
// Names are plain file names (no separators, no dots first); what they may be is the caller's to check.
std::optional<VoicePack> ReadPack(const uint8_t* data, size_t size, std::string* error);

}  // namespace ozzel
