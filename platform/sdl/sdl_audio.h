// The real sound system over SDL2_mixer: a WAV channel, the MIDI channel (songs rendered by FluidSynth) and PlaySound.
#pragma once
#include <memory>
#include <string>

#include "platform/audio/audio.h"

namespace plat {

class SdlAudio : public AudioSystem {
 public:
  // Opens the audio device (22050 Hz, 16-bit stereo). Without one, WaveOutDevices() is 0 and every
  // open and sound fails quietly.
  explicit SdlAudio(const Clock& clock);
  ~SdlAudio() override;
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  std::unique_ptr<MediaDevice> CreateWaveDevice() override;
  std::unique_ptr<MediaDevice> CreateMidiDevice() override;
  int WaveOutDevices() override;
  bool PlaySound(const char* host_path, uint32_t flags) override;
  bool EffectPlaying() const override;
  uint64_t NextChangeMs() const override;
  void SetLevels(int music_percent, int speech_percent) override;
  // SDL's capture of the default input (SDL_AUDIODRIVER=disk reads SDL_DISKAUDIOFILEIN).
  std::unique_ptr<CaptureDevice> OpenMicrophone(std::string* error) override;

  // The General MIDI sound font in use; empty when none was found.
  const std::string& SoundFont() const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

// The General MIDI sound font: $SDL_SOUNDFONTS when it names a file, else the packaged fonts.
std::string FindSoundFont();

}  // namespace plat
