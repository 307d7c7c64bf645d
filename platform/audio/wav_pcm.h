// A WAV file's samples as mono float and back: the bounded reader behind takes and the medium's writer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/audio/pcm.h"

namespace plat {

// The shape of a PCM WAV: what a take is converted to so it stands in for the medium's own file.
struct WavFormat {
  uint32_t rate = kPcmRate;
  uint16_t channels = 1;
  uint16_t bits = 16;  // 8 or 16
  bool operator==(const WavFormat&) const = default;
};

struct DecodedWav {
  Pcm mono;          // the channels averaged, at `rate`
  uint32_t rate = 0;
  WavFormat format;  // as the file has it (bits as stored: 8, 16, 24 or 32)
};

// Samples of an uncompressed WAV (8/16/24/32-bit PCM or 32-bit float, up to 8 channels) read within
// the header ParseWav accepted; nullopt for anything else, or for more than max_frames frames.
std::optional<DecodedWav> DecodeWav(const uint8_t* data, size_t size, uint64_t max_frames);
// The format of a WAV as a take would copy it: nullopt unless it is 8- or 16-bit PCM.
std::optional<WavFormat> PcmFormatOf(const uint8_t* data, size_t size);

// Mono samples at kPcmRate written as a PCM WAV of the given format (resampled, the channel repeated);
// samples are clipped to [-1, 1].
std::vector<uint8_t> EncodeWavAs(const Pcm& p, const WavFormat& f);
// Mono samples at any rate brought to kPcmRate (averaged over each output step when coming down).
Pcm ToPcmRate(const Pcm& p, uint32_t rate);

}  // namespace plat
