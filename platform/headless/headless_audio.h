// Recording fake of the sound system in virtual time: files "play" for their real duration.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/audio.h"

namespace plat {

class HeadlessAudio : public AudioSystem {
 public:
  // Without a device every open and every sound fails quietly, as on a machine without a sound card.
  HeadlessAudio(const Clock& clock, bool device_present);
  ~HeadlessAudio() override;
  // WAVs that travelled cut short after their first samples, their sound in a FLAC beside: lengths from the headers.
  void SetHeaderOnlyWavs(bool on) { shared_->header_only_wavs = on; }

  std::unique_ptr<MediaDevice> CreateWaveDevice() override;
  std::unique_ptr<MediaDevice> CreateMidiDevice() override;
  int WaveOutDevices() override { return device_present_ ? 1 : 0; }
  bool PlaySound(const char* host_path, uint32_t flags) override;
  bool EffectPlaying() const override;
  uint64_t NextChangeMs() const override;
  void SetLevels(int music_percent, int speech_percent) override;
  // The microphone hears the WAV file set here (a host path; "" for no microphone), in virtual time
  // from the moment it is opened, and a silent room once the file is over.
  std::unique_ptr<CaptureDevice> OpenMicrophone(std::string* error) override;
  void SetMicrophoneFile(const std::string& host_path) { microphone_ = host_path; }

  // What happened, in order, for tests: "wave open PATH", "wave open-fail PATH", "wave play",
  // "wave stop", "wave seek MS", "wave close" (same words for "midi"), "effect PATH",
  // "effect-drop PATH", "effect-fail PATH", "effect stop", "levels MUSIC SPEECH". Paths are host paths.
  const std::vector<std::string>& log() const { return shared_->log; }
  void ClearLog() { shared_->log.clear(); }
  // The effect that plays now (host path), empty when none.
  std::string EffectPath() const;
  const Clock& clock() const { return shared_->clock; }

  // State the devices share with the system; they may outlive it.
  struct Shared {
    Shared(const Clock& c, bool present) : clock(c), device_present(present) {}
    const Clock& clock;
    bool device_present;
    bool header_only_wavs = false;
    std::vector<std::string> log;
    std::vector<MediaDevice*> devices;  // live devices, for NextChangeMs
  };

 private:
  std::shared_ptr<Shared> shared_;
  bool device_present_;
  std::string effect_path_;
  std::string microphone_;
  uint64_t effect_end_ = 0;
};

}  // namespace plat
