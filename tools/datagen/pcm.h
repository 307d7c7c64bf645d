// Mono sample buffers at 22050 Hz: synthesis helpers and mixing (the rest is shared in platform/audio/pcm.h).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio/pcm.h"

namespace datagen {

constexpr int kRate = plat::kPcmRate;
using plat::Pcm;

Pcm Silence(double seconds);
// A sine-based tone gliding from f0 to f1 Hz with a soft attack and release; harmonics adds
// upper partials (0 = pure sine) for a warmer, reedier sound.
Pcm Tone(double f0, double f1, double seconds, double amp, int harmonics = 0);
// Low-pass filtered noise burst (deterministic: the seed picks the noise).
Pcm Noise(double seconds, double amp, double smoothing, uint32_t seed);
// Sawtooth glide through a crude vowel filter: a lowing, bleating or growling voice.
Pcm Voiced(double f0, double f1, double seconds, double amp, double brightness, double vibrato_hz = 0,
           double vibrato_depth = 0);

void Append(Pcm& dst, const Pcm& src);
// Adds src into dst starting at the given second, growing dst when needed.
void MixAt(Pcm& dst, const Pcm& src, double at_seconds, double gain = 1.0);
using plat::EncodeWav;  // RIFF WAVE, PCM 16-bit mono at kRate
using plat::Fade;
using plat::Normalize;
using plat::Resample;
using plat::Trim;

}  // namespace datagen
