// The real sound system on Windows: the WAV and MIDI channels on MCI (waveaudio and sequencer
// devices), effects through PlaySound.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "platform/audio/audio.h"

namespace plat {

class Win32Audio : public AudioSystem {
 public:
  // Makes the message-only window that receives MM_MCINOTIFY; must be built on the UI thread, whose
  // message loop then delivers the ends of playback (and so ends a backend's wait).
  explicit Win32Audio(const Clock& clock);
  ~Win32Audio() override;
  Win32Audio(const Win32Audio&) = delete;
  Win32Audio& operator=(const Win32Audio&) = delete;

  std::unique_ptr<MediaDevice> CreateWaveDevice() override;
  std::unique_ptr<MediaDevice> CreateMidiDevice() override;
  int WaveOutDevices() override;
  bool PlaySound(const char* host_path, uint32_t flags) override;
  bool EffectPlaying() const override;
  uint64_t NextChangeMs() const override;
  // Speech and effects: a gain on the samples MCI and PlaySound are given; music: the MIDI output device's own volume.
  void SetLevels(int music_percent, int speech_percent) override;
  // waveIn of the default input (win32_capture.cpp).
  std::unique_ptr<CaptureDevice> OpenMicrophone(std::string* error) override;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace plat
