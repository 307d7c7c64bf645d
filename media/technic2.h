// The settings unit: registry settings, the data directory, sound availability and the effect sounds.
#pragma once
#include <cstdint>
#include <string>

#include "media/registry_keys.h"

namespace ozzel {

// Set by Technic2_Initialize, read by everyone afterwards.
extern std::string DataDir;
extern bool SoundOn, MusicOn, EffectsOn;
extern int32_t WavVolume, MidiVolume, KordoSerie, StartCount;
extern std::string LastSoundPath;

void Technic2_Initialize();
void Technic2_Finalize();

// Plays a WAV file through PlaySound; an existing file only, otherwise an error box names it.
void PlayEffect(const std::string& path, uint32_t flags);
// Ends whatever PlaySound is playing.
void StopEffect();

}  // namespace ozzel
