// The settings unit: registry settings, the data directory, sound availability and the effect sounds.
#pragma once
#include <cstdint>
#include <string>

#include "media/registry_keys.h"

namespace ozzel {

// The settings unit's variables: set by Technic2_Initialize, read by everyone afterwards.
struct Technic2State {
  std::string DataDir;  // the medium's Ozzel folder, "<root>\bm4\_ozzel" (DOS-style, no trailing '\')
  bool SoundOn = false, MusicOn = false, EffectsOn = false;  // all off without a sound device
  int32_t WavVolume = 0, MidiVolume = 0;  // as stored; the program does not apply them
  int32_t KordoSerie = 0;  // a suite-wide value kept and written back
  int32_t StartCount = 0;  // how often Ozzel has started, this start included
  std::string LastSoundPath;  // the last effect sound asked for

  // Every field by name, for the simulator's `dump`.
  template <class F>
  void ForEach(F&& f) const {
    f("DataDir", DataDir), f("SoundOn", SoundOn), f("MusicOn", MusicOn), f("EffectsOn", EffectsOn);
    f("WavVolume", WavVolume), f("MidiVolume", MidiVolume), f("KordoSerie", KordoSerie);
    f("StartCount", StartCount), f("LastSoundPath", LastSoundPath);
  }
};
extern Technic2State technic2;

void Technic2_Initialize();
void Technic2_Finalize();

// Plays a WAV file through PlaySound; an existing file only, otherwise an error box names it.
void PlayEffect(const std::string& path, uint32_t flags);
// Ends whatever PlaySound is playing.
void StopEffect();

}  // namespace ozzel
