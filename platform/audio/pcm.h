// Mono sample buffers at the medium's speech rate: fades, trimming, resampling and the 16-bit PCM WAV writer.
#pragma once
#include <cstdint>
#include <vector>

namespace plat {

// Every spoken line of the medium is mono at this rate.
constexpr int kPcmRate = 22050;

// Samples in [-1, 1].
using Pcm = std::vector<float>;

// Multiplies by a linear fade in and fade out of the given lengths.
void Fade(Pcm& p, double in_seconds, double out_seconds, int rate = kPcmRate);
// Scales so that the loudest sample reaches peak.
void Normalize(Pcm& p, double peak);
// Plays the buffer faster (ratio > 1: higher and shorter) by linear interpolation.
Pcm Resample(const Pcm& p, double ratio);
// Removes leading and trailing near-silence, keeping a short margin.
Pcm Trim(const Pcm& p, double threshold = 0.01, double margin_seconds = 0.05, int rate = kPcmRate);

// RIFF WAVE, PCM 16-bit mono at kPcmRate; samples are clipped to [-1, 1].
std::vector<uint8_t> EncodeWav(const Pcm& p);

}  // namespace plat
