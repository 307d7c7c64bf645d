// Durations of sound files, read from their headers: WAV (sample frames / rate) and Standard MIDI (tempo map).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace plat {

struct WavInfo {
  uint16_t format = 0;  // 1 PCM, 2 Microsoft ADPCM, 3 IEEE float, 6 A-law, 7 mu-law, 0x11 IMA ADPCM
  uint16_t channels = 0;
  uint32_t sample_rate = 0;
  uint32_t byte_rate = 0;
  uint16_t block_align = 0;
  uint16_t bits = 0;
  size_t data_offset = 0;  // of the sample bytes within the file
  uint32_t data_bytes = 0;  // clamped to what the file holds, whole blocks only
  uint32_t declared_bytes = 0;  // as the data chunk's header gives it, however much the file holds
  uint32_t frames_per_block = 0;  // 1 unless ADPCM
  uint64_t frames = 0;  // sample frames the data decodes to
  uint64_t duration_ms = 0;
};

// PCM, 32-bit float, A-law, mu-law and IMA / Microsoft ADPCM with sane fields are accepted (plain or
// extensible); nullopt otherwise.
std::optional<WavInfo> ParseWav(const uint8_t* data, size_t size);
// The duration the data chunk's header declares (whole blocks), for a file that travelled as its header.
uint64_t DeclaredDurationMs(const WavInfo& w);
// Length of a Standard MIDI File (formats 0 and 1) following its tempo changes; nullopt when malformed.
std::optional<uint64_t> MidiDurationMs(const uint8_t* data, size_t size);
// The same song written the way every synthesiser reads it: running status spelled out, system-common,
// real-time and escape (F7) events left out with their time kept, every track closed by its end event.
// Same length as the original; nullopt when MidiDurationMs refuses the file.
std::optional<std::vector<uint8_t>> PlayableMidi(const uint8_t* data, size_t size);

}  // namespace plat
