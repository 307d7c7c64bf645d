// Mono sample buffers at 22050 Hz: synthesis helpers, mixing and the 16-bit PCM WAV writer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

constexpr int kRate = 22050;

// Samples in [-1, 1] at kRate.
using Pcm = std::vector<float>;

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
// Multiplies by a linear fade in and fade out of the given lengths.
void Fade(Pcm& p, double in_seconds, double out_seconds);
// Scales so that the loudest sample reaches peak.
void Normalize(Pcm& p, double peak);
// Plays the buffer faster (ratio > 1: higher and shorter) by linear interpolation.
Pcm Resample(const Pcm& p, double ratio);
// Removes leading and trailing near-silence, keeping a short margin.
Pcm Trim(const Pcm& p, double threshold = 0.01, double margin_seconds = 0.05);

// RIFF WAVE, PCM 16-bit mono at kRate; samples are clipped to [-1, 1].
std::vector<uint8_t> EncodeWav(const Pcm& p);

}  // namespace datagen
