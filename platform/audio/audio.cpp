// The process-wide sound system: a silent one until a backend installs its own.
#include "platform/audio/audio.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/trace.h"

namespace plat {

namespace {

class NullDevice : public MediaDevice {
 public:
  bool Open(const std::string&, std::string* error) override {
    if (error) *error = "There is no driver installed on your system.";
    return false;
  }
  void Close() override {}
  bool IsOpen() const override { return false; }
  bool Play() override { return false; }
  void Stop() override {}
  void Seek(uint64_t) override {}
  uint64_t PositionMs() const override { return 0; }
  uint64_t LengthMs() const override { return 0; }
  MciMode Mode() const override { return MciMode::NotReady; }
  uint64_t NextChangeMs() const override { return kNever; }
};

// Stands in before a backend starts (and after it is gone): no device, nothing plays.
class NullAudio : public AudioSystem {
 public:
  std::unique_ptr<MediaDevice> CreateWaveDevice() override { return std::make_unique<NullDevice>(); }
  std::unique_ptr<MediaDevice> CreateMidiDevice() override { return std::make_unique<NullDevice>(); }
  int WaveOutDevices() override { return 0; }
  bool PlaySound(const char*, uint32_t) override { return false; }
  bool EffectPlaying() const override { return false; }
  uint64_t NextChangeMs() const override { return kNever; }
};

NullAudio g_null;
AudioSystem* g_audio = nullptr;

}  // namespace

AudioSystem& Audio() { return g_audio ? *g_audio : g_null; }

void SetAudio(AudioSystem* audio) { g_audio = audio; }

double LevelGain(int percent) {
  if (percent <= 0) return 0;
  return std::pow(10.0, kLevelRangeDb * (std::min(percent, 100) - 100) / 100.0 / 20.0);
}

void SetLevels(int music_percent, int speech_percent) {
  const int music = std::clamp(music_percent, 0, 100), speech = std::clamp(speech_percent, 0, 100);
  trace::Emit("levels", "music " + std::to_string(music) + " speech " + std::to_string(speech));
  Audio().SetLevels(music, speech);
}

}  // namespace plat
