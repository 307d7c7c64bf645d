// Durations of sound files, read from their headers: WAV (data size / byte rate) and Standard MIDI (tempo map).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

namespace plat {

struct WavInfo {
  uint16_t format = 0;  // 1 = PCM
  uint16_t channels = 0;
  uint32_t sample_rate = 0;
  uint32_t byte_rate = 0;
  uint16_t block_align = 0;
  uint16_t bits = 0;
  size_t data_offset = 0;  // of the sample bytes within the file
  uint32_t data_bytes = 0;  // clamped to what the file holds
  uint64_t duration_ms = 0;
};

// Only uncompressed PCM with sane fields is accepted; nullopt otherwise.
std::optional<WavInfo> ParseWav(const uint8_t* data, size_t size);
// Length of a Standard MIDI File (formats 0 and 1) following its tempo changes; nullopt when malformed.
std::optional<uint64_t> MidiDurationMs(const uint8_t* data, size_t size);

}  // namespace plat
