// Recording fake of the sound system: a file plays for the duration its header gives, in clock time.
#include "platform/headless/headless_audio.h"

#include <algorithm>
#include <optional>

#include "platform/audio/media_info.h"
#include "platform/audio/wav_pcm.h"
#include "platform/fs/fs.h"

namespace plat {

namespace {

constexpr const char* kNotFound = "The specified file cannot be found. Make sure the path and filename are correct.";
constexpr const char* kBadFile =
    "The file cannot be played on the specified MCI device. The file may be corrupt, or not in the correct format.";
constexpr const char* kNoDriver = "There is no driver installed on your system.";

enum class Kind { Wave, Midi };

// With header_only, a WAV that holds fewer samples than it declares and has a FLAC beside it (the web
// medium's speech: its header and first samples; the page plays the FLAC) lasts as long as its header
// declares, up to 64 MB of samples.
std::optional<uint64_t> DurationOf(Kind kind, const std::string& bytes, bool header_only, const std::string& path) {
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  if (kind == Kind::Midi) return MidiDurationMs(p, bytes.size());
  auto wav = ParseWav(p, bytes.size());
  if (!wav) return std::nullopt;
  if (header_only && bytes.size() - wav->data_offset < wav->declared_bytes && wav->declared_bytes <= (64u << 20) &&
      path.size() > 4 &&
      fs::StampOf(path.substr(0, path.size() - 4) + ".flac"))
    return DeclaredDurationMs(*wav);
  return wav->duration_ms;
}

class FakeDevice : public MediaDevice {
 public:
  FakeDevice(std::shared_ptr<HeadlessAudio::Shared> shared, Kind kind)
      : shared_(std::move(shared)), kind_(kind), word_(kind == Kind::Wave ? "wave" : "midi") {
    shared_->devices.push_back(this);
  }
  ~FakeDevice() override {
    auto& d = shared_->devices;
    d.erase(std::remove(d.begin(), d.end(), this), d.end());
  }

  bool Open(const std::string& host_path, std::string* error) override {
    Close();
    std::string why;
    std::optional<uint64_t> length;
    if (!shared_->device_present) {
      why = kNoDriver;
    } else if (auto bytes = fs::ReadFile(host_path)) {
      length = DurationOf(kind_, *bytes, shared_->header_only_wavs, host_path);
      if (!length) why = kBadFile;
    } else {
      why = kNotFound;
    }
    if (!length) {
      Log("open-fail " + host_path);
      if (error) *error = why;
      return false;
    }
    Log("open " + host_path);
    open_ = true;
    length_ = *length;
    base_ = 0;
    playing_ = false;
    return true;
  }
  void Close() override {
    if (!open_) return;
    Log("close");
    open_ = false;
    playing_ = false;
    base_ = length_ = 0;
  }
  bool IsOpen() const override { return open_; }
  bool Play() override {
    if (!open_) return false;
    Log("play");
    if (!playing_) {
      playing_ = true;
      start_ = Now();
    }
    return true;
  }
  void Stop() override {
    if (!open_) return;
    Log("stop");
    base_ = PositionMs();
    playing_ = false;
  }
  // Seeking stops playback, as an MCI seek does.
  void Seek(uint64_t ms) override {
    if (!open_) return;
    Log("seek " + std::to_string(ms));
    playing_ = false;
    base_ = std::min(ms, length_);
  }
  uint64_t PositionMs() const override {
    if (!playing_) return base_;
    return std::min(length_, base_ + (Now() - start_));
  }
  uint64_t LengthMs() const override { return length_; }
  MciMode Mode() const override {
    if (!open_) return MciMode::NotReady;
    return playing_ && Now() < EndMs() ? MciMode::Playing : MciMode::Stopped;
  }
  uint64_t NextChangeMs() const override { return Mode() == MciMode::Playing ? EndMs() : kNever; }

 private:
  uint64_t Now() const { return shared_->clock.NowMs(); }
  uint64_t EndMs() const { return start_ + (length_ - base_); }
  void Log(const std::string& what) { shared_->log.push_back(word_ + " " + what); }

  std::shared_ptr<HeadlessAudio::Shared> shared_;
  Kind kind_;
  std::string word_;
  bool open_ = false, playing_ = false;
  uint64_t length_ = 0, base_ = 0, start_ = 0;
};

}  // namespace

HeadlessAudio::HeadlessAudio(const Clock& clock, bool device_present)
    : shared_(std::make_shared<Shared>(clock, device_present)), device_present_(device_present) {}

HeadlessAudio::~HeadlessAudio() = default;

std::unique_ptr<MediaDevice> HeadlessAudio::CreateWaveDevice() { return std::make_unique<FakeDevice>(shared_, Kind::Wave); }

std::unique_ptr<MediaDevice> HeadlessAudio::CreateMidiDevice() { return std::make_unique<FakeDevice>(shared_, Kind::Midi); }

bool HeadlessAudio::PlaySound(const char* host_path, uint32_t flags) {
  if (!device_present_) return false;
  if (!host_path) {
    shared_->log.push_back("effect stop");
    effect_path_.clear();
    effect_end_ = 0;
    return true;
  }
  const std::string path = host_path;
  if ((flags & SND_NOSTOP) && EffectPlaying()) {
    shared_->log.push_back("effect-drop " + path);
    return false;
  }
  std::optional<uint64_t> length;
  if (auto bytes = fs::ReadFile(path)) length = DurationOf(Kind::Wave, *bytes, shared_->header_only_wavs, path);
  if (!length) {
    shared_->log.push_back("effect-fail " + path);
    return false;
  }
  shared_->log.push_back("effect " + path);
  effect_path_ = path;
  effect_end_ = shared_->clock.NowMs() + *length;
  return true;
}

bool HeadlessAudio::EffectPlaying() const { return shared_->clock.NowMs() < effect_end_; }

std::string HeadlessAudio::EffectPath() const { return EffectPlaying() ? effect_path_ : std::string(); }

uint64_t HeadlessAudio::NextChangeMs() const {
  uint64_t next = EffectPlaying() ? effect_end_ : kNever;
  for (const MediaDevice* d : shared_->devices) next = std::min(next, d->NextChangeMs());
  return next;
}

void HeadlessAudio::SetLevels(int music_percent, int speech_percent) {
  shared_->log.push_back("levels " + std::to_string(music_percent) + " " + std::to_string(speech_percent));
}

namespace {

// A file heard in virtual time: what falls due since opening, then silence.
class FileMicrophone : public CaptureDevice {
 public:
  FileMicrophone(const Clock& clock, DecodedWav wav) : clock_(clock), wav_(std::move(wav)), opened_(clock.NowMs()) {}
  uint32_t Rate() const override { return wav_.rate; }
  bool Read(std::vector<float>& out) override {
    const uint64_t due = (clock_.NowMs() - opened_) * wav_.rate / 1000;
    for (; given_ < due; ++given_) out.push_back(given_ < wav_.mono.size() ? wav_.mono[size_t(given_)] : 0.0f);
    return true;
  }

 private:
  const Clock& clock_;
  DecodedWav wav_;
  uint64_t opened_, given_ = 0;
};

}  // namespace

std::unique_ptr<CaptureDevice> HeadlessAudio::OpenMicrophone(std::string* error) {
  auto refuse = [error](const char* why) -> std::unique_ptr<CaptureDevice> {
    if (error) *error = why;
    return nullptr;
  };
  if (microphone_.empty()) return refuse("no microphone");
  std::string bytes;
  if (fs::ReadRegularFile(microphone_, 64u << 20, bytes) != fs::ReadState::Ok) return refuse("the microphone cannot be opened");
  auto wav = DecodeWav(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 10u * 60 * 192000);
  if (!wav || wav->rate == 0) return refuse("the microphone cannot be opened");
  return std::make_unique<FileMicrophone>(shared_->clock, std::move(*wav));
}

}  // namespace plat
