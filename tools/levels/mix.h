// Speech over the background music as the program's mixer plays them: both levels and the mix's peak.
#pragma once
#include <string>

namespace levels {

struct MixLevels {
  double speech_lufs = 0;      // the recording alone, as the mixer plays it (both channels)
  double music_lufs = 0;       // the music alone over the whole tune, integrated
  double music_loudest = 0;    // its loudest 3 seconds
  double mix_peak_db = 0;      // the music with the recording repeated over all of it
  double seconds = 0;          // how much music was rendered
};

// Plays both through SDL2_mixer as the program does (22050 Hz, 16-bit stereo, full channel volumes;
// the song rendered by the program's own FluidSynth renderer with the font it finds, on a channel of
// its own), on SDL's disk driver without its real-time pacing. Throws std::runtime_error when the
// mixer or a file cannot be opened.
MixLevels MeasureMix(const std::string& midi_path, const std::string& wav_path);

}  // namespace levels
