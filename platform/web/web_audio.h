// Sound in the browser: the channels keep the headless rules (length, position, end in clock time),
// and Web Audio plays what they say. Music plays the song rendered beside its .mid at build time.
#pragma once
#include <memory>

#include "platform/audio/audio.h"
#include "platform/headless/headless_audio.h"

namespace plat {

class WebAudio : public AudioSystem {
 public:
  explicit WebAudio(const Clock& clock);
  std::unique_ptr<MediaDevice> CreateWaveDevice() override;
  std::unique_ptr<MediaDevice> CreateMidiDevice() override;
  int WaveOutDevices() override { return 1; }
  bool PlaySound(const char* host_path, uint32_t flags) override;
  bool EffectPlaying() const override { return rules_.EffectPlaying(); }
  uint64_t NextChangeMs() const override {
    rules_.ClearLog();
    return rules_.NextChangeMs();
  }
  void SetLevels(int music_percent, int speech_percent) override;
  // getUserMedia through the site's AudioWorklet (web_capture.cpp).
  std::unique_ptr<CaptureDevice> OpenMicrophone(std::string* error) override;

 private:
  mutable HeadlessAudio rules_;  // its log of what happened is dropped as it grows
};

}  // namespace plat
