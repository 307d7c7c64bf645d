// Web Audio under the channels' rules: each device plays its decoded file from the channel's position.
#include "platform/web/web_audio.h"

#include <emscripten.h>

#include <algorithm>
#include <string>

// Module.ozzAudio (the page's sound.js) decodes files from the program's file system and plays them
// on three voices: 0 speech, 1 music, 2 effects.
EM_JS(void, ozz_audio_play, (int voice, const char* path, double from_ms), {
  if (Module.ozzAudio) Module.ozzAudio.play(voice, UTF8ToString(path), from_ms);
});
EM_JS(void, ozz_audio_stop, (int voice), {
  if (Module.ozzAudio) Module.ozzAudio.stop(voice);
});
// Amplitude factors: the music's on the desktop's decibel scale, the voice's in plain percent.
EM_JS(void, ozz_audio_levels, (double music, double speech), {
  if (Module.ozzAudio) Module.ozzAudio.levels(music, speech);
});

namespace plat {

namespace {

class WebDevice : public MediaDevice {
 public:
  WebDevice(std::unique_ptr<MediaDevice> rules, int voice) : rules_(std::move(rules)), voice_(voice) {}
  ~WebDevice() override { ozz_audio_stop(voice_); }

  bool Open(const std::string& host_path, std::string* error) override {
    ozz_audio_stop(voice_);
    if (!rules_->Open(host_path, error)) return false;
    path_ = host_path;
    // Music is heard from the song rendered at build time (MP3: every tablet browser decodes it),
    // beside the .mid with the same length.
    if (voice_ == 1) {
      const size_t dot = path_.rfind('.');
      path_ = (dot == std::string::npos ? path_ : path_.substr(0, dot)) + ".mp3";
    }
    return true;
  }
  void Close() override {
    ozz_audio_stop(voice_);
    rules_->Close();
  }
  bool IsOpen() const override { return rules_->IsOpen(); }
  bool Play() override {
    if (!rules_->Play()) return false;
    ozz_audio_play(voice_, path_.c_str(), double(rules_->PositionMs()));
    return true;
  }
  void Stop() override {
    ozz_audio_stop(voice_);
    rules_->Stop();
  }
  void Seek(uint64_t ms) override {
    const bool playing = rules_->Mode() == MciMode::Playing;
    rules_->Seek(ms);
    if (playing && rules_->Mode() == MciMode::Playing) ozz_audio_play(voice_, path_.c_str(), double(rules_->PositionMs()));
    else ozz_audio_stop(voice_);
  }
  uint64_t PositionMs() const override { return rules_->PositionMs(); }
  uint64_t LengthMs() const override { return rules_->LengthMs(); }
  MciMode Mode() const override { return rules_->Mode(); }
  uint64_t NextChangeMs() const override { return rules_->NextChangeMs(); }

 private:
  std::unique_ptr<MediaDevice> rules_;
  int voice_;
  std::string path_;
};

}  // namespace

WebAudio::WebAudio(const Clock& clock) : rules_(clock, true) { rules_.SetHeaderOnlyWavs(true); }

std::unique_ptr<MediaDevice> WebAudio::CreateWaveDevice() {
  return std::make_unique<WebDevice>(rules_.CreateWaveDevice(), 0);
}

std::unique_ptr<MediaDevice> WebAudio::CreateMidiDevice() {
  return std::make_unique<WebDevice>(rules_.CreateMidiDevice(), 1);
}

bool WebAudio::PlaySound(const char* host_path, uint32_t flags) {
  const bool ok = rules_.PlaySound(host_path, flags);
  if (!host_path) ozz_audio_stop(2);
  else if (ok) ozz_audio_play(2, host_path, 0);
  return ok;
}

void WebAudio::SetLevels(int music_percent, int speech_percent) {
  rules_.SetLevels(music_percent, speech_percent);
  ozz_audio_levels(LevelGain(music_percent), std::clamp(speech_percent, 0, 100) / 100.0);
}

}  // namespace plat
