// SDL2_mixer backend: channel 0 carries the WAV channel, channel 1 the PlaySound effects, the music
// hook the MIDI channel's song, rendered ahead from the moment it opens. Lengths come from the file
// headers, positions from the clock.
#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <vector>

#include "platform/audio/media_info.h"
#include "platform/fs/fs.h"
#include "platform/sdl/midi_render.h"
#include "platform/sdl/sdl_wake.h"

namespace plat {

namespace {

constexpr int kWaveChannel = 0;
constexpr int kEffectChannel = 1;
constexpr const char* kNotFound = "The specified file cannot be found. Make sure the path and filename are correct.";
constexpr const char* kBadFile =
    "The file cannot be played on the specified MCI device. The file may be corrupt, or not in the correct format.";
constexpr const char* kNoDriver = "There is no driver installed on your system.";

// Mixer callbacks run on the audio thread: they only wake the UI loop, which then reads the state.
void OnChannelFinished(int) { SdlPushWake(); }

}  // namespace

class SdlDevice : public MediaDevice {
 public:
  virtual void Release() = 0;  // frees mixer objects before the mixer closes
};

struct SdlAudio::State {
  explicit State(const Clock& c) : clock(c) {}
  const Clock& clock;
  bool opened = false;
  int frame_bytes = 4;
  int rate = 22050;
  PcmFormat format;
  std::string sound_font;
  std::vector<SdlDevice*> devices;
  Mix_Chunk* effect = nullptr;
  uint64_t effect_end = 0;
  SdlDevice* music = nullptr;  // the MIDI channel the mixer's music hook feeds from
  // The music's factor in 1/65536 (LevelGain): the mixer leaves a hooked stream as it is, so Feed applies it.
  std::atomic<int> music_gain{65536};
};

namespace {

using StatePtr = std::shared_ptr<SdlAudio::State>;

// Reads and checks a file before the mixer sees it, so a bad file fails to open on every backend alike.
bool ReadChecked(const StatePtr& st, const std::string& host_path, bool midi, std::string* bytes,
                 uint64_t* length, std::string* error) {
  auto set = [&](const char* why) {
    if (error) *error = why;
    return false;
  };
  if (!st->opened) return set(kNoDriver);
  auto data = fs::ReadFile(host_path);
  if (!data) return set(kNotFound);
  const auto* p = reinterpret_cast<const uint8_t*>(data->data());
  std::optional<uint64_t> ms;
  if (midi) {
    ms = MidiDurationMs(p, data->size());
  } else if (auto wav = ParseWav(p, data->size())) {
    ms = wav->duration_ms;
  }
  if (!ms) return set(kBadFile);
  *length = *ms;
  *bytes = std::move(*data);
  return true;
}

class Registered : public SdlDevice {
 public:
  explicit Registered(StatePtr st) : st_(std::move(st)) { st_->devices.push_back(this); }
  ~Registered() override {
    auto& d = st_->devices;
    d.erase(std::remove(d.begin(), d.end(), this), d.end());
  }

 protected:
  uint64_t Now() const { return st_->clock.NowMs(); }
  StatePtr st_;
};

uint64_t AddSat(uint64_t a, uint64_t b) { return UINT64_MAX - a < b ? UINT64_MAX : a + b; }

// The MCI channel rules both devices keep: the position runs with the clock from where playback
// started and is kept on stop; the mode reads Playing exactly while the output is heard; at the end
// the position is the length and the caller rewinds. A device supplies only its output.
class Channel : public Registered {
 public:
  using Registered::Registered;

  bool IsOpen() const final { return Loaded(); }
  bool Play() final {
    if (!Loaded()) return false;
    if (Mode() == MciMode::Playing) return true;
    base_ = PositionMs();
    playing_ = false;
    if (base_ >= length_) return true;  // at the end: the caller rewinds
    switch (StartOutput(base_)) {
      case Start::Refused:
        return false;
      case Start::NothingLeft:
        base_ = length_;
        return true;
      case Start::Started:
        break;
    }
    playing_ = true;
    start_ = Now();
    return true;
  }
  void Stop() final {
    if (!Loaded()) return;
    base_ = PositionMs();
    playing_ = false;
    HaltOutput();
  }
  void Seek(uint64_t ms) final {
    if (!Loaded()) return;
    HaltOutput();
    playing_ = false;
    base_ = std::min(ms, length_);
  }
  uint64_t PositionMs() const final {
    if (!playing_) return base_;
    if (!OutputHeard()) return length_;  // played out by itself
    return std::min(length_, AddSat(base_, Now() - start_));
  }
  uint64_t LengthMs() const final { return length_; }
  MciMode Mode() const final {
    if (!Loaded()) return MciMode::NotReady;
    return playing_ && OutputHeard() ? MciMode::Playing : MciMode::Stopped;
  }
  // The clock's estimate; past it, the output's own end wakes the loop.
  uint64_t NextChangeMs() const final {
    if (Mode() != MciMode::Playing) return kNever;
    const uint64_t end = AddSat(start_, length_ - base_);
    return end > Now() ? end : kNever;
  }

 protected:
  enum class Start { Started, Refused, NothingLeft };
  virtual bool Loaded() const = 0;
  virtual Start StartOutput(uint64_t from_ms) = 0;
  virtual void HaltOutput() = 0;
  virtual bool OutputHeard() const = 0;

  void Opened(uint64_t length) {
    length_ = length;
    base_ = 0;
    playing_ = false;
  }
  void Closed() {
    playing_ = false;
    base_ = length_ = 0;
  }

 private:
  bool playing_ = false;
  uint64_t length_ = 0, base_ = 0, start_ = 0;
};

class WaveDevice : public Channel {
 public:
  using Channel::Channel;
  ~WaveDevice() override { Release(); }

  bool Open(const std::string& host_path, std::string* error) override {
    Close();
    std::string bytes;
    uint64_t length = 0;
    if (!ReadChecked(st_, host_path, false, &bytes, &length, error)) return false;
    chunk_ = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1);
    if (!chunk_) {
      if (error) *error = kBadFile;
      return false;
    }
    Opened(length);
    return true;
  }
  void Close() override { Release(); }
  void Release() override {
    if (!chunk_) return;
    Mix_HaltChannel(kWaveChannel);
    Mix_FreeChunk(chunk_);
    chunk_ = nullptr;
    Closed();
  }

 private:
  bool Loaded() const override { return chunk_ != nullptr; }
  // A view of the converted samples from the position's frame on.
  Start StartOutput(uint64_t from_ms) override {
    const uint64_t frames = MsToFrames(from_ms, st_->rate);
    const uint64_t offset = frames > chunk_->alen / uint64_t(st_->frame_bytes) ? chunk_->alen : frames * uint64_t(st_->frame_bytes);
    part_ = *chunk_;
    part_.allocated = 0;
    part_.abuf = chunk_->abuf + offset;
    part_.alen = Uint32(chunk_->alen - offset);
    if (part_.alen == 0) return Start::NothingLeft;
    return Mix_PlayChannel(kWaveChannel, &part_, 0) < 0 ? Start::Refused : Start::Started;
  }
  void HaltOutput() override {
    if (OutputHeard()) Mix_HaltChannel(kWaveChannel);
  }
  bool OutputHeard() const override { return Mix_Playing(kWaveChannel) && Mix_GetChunk(kWaveChannel) == &part_; }

  Mix_Chunk* chunk_ = nullptr;
  Mix_Chunk part_{};
};

// The song is rendered on a thread of its own from the moment the file opens and fed to the mixer's
// music hook from there: nothing on this thread waits for the render, and a song too long to keep
// whole streams through a bounded buffer.
class MidiDevice : public Channel {
 public:
  using Channel::Channel;
  ~MidiDevice() override { Release(); }

  bool Open(const std::string& host_path, std::string* error) override {
    Close();
    std::string bytes;
    uint64_t length = 0;
    if (!ReadChecked(st_, host_path, true, &bytes, &length, error)) return false;
    if (st_->sound_font.empty()) {  // nothing to sound the notes with
      if (error) *error = kBadFile;
      return false;
    }
    render_ = std::make_unique<MidiRender>(std::move(bytes), st_->sound_font, length, st_->format);
    Opened(length);
    return true;
  }
  void Close() override { Release(); }
  void Release() override {
    if (!render_) return;
    HaltOutput();
    render_.reset();
    Closed();
  }

 private:
  bool Loaded() const override { return render_ != nullptr; }
  // A song the synthesizer refused is refused here; the channel stays open and never plays.
  Start StartOutput(uint64_t from_ms) override {
    if (render_->Failed()) return Start::Refused;
    const uint64_t frame = MsToFrames(from_ms, st_->rate);
    if (frame >= render_->Frames()) return Start::NothingLeft;
    render_->Seek(frame);
    Mix_HookMusic(&MidiDevice::Feed, this);  // takes the mixer's lock: the hook changes between two calls
    st_->music = this;
    return Start::Started;
  }
  void HaltOutput() override {
    if (st_->music != this) return;
    Mix_HookMusic(nullptr, nullptr);  // once it returns, the mixer no longer reads this device
    st_->music = nullptr;
  }
  bool OutputHeard() const override {
    return st_->music == this && !render_->Failed() && render_->Position() < render_->Frames();
  }
  // On the mixer's thread, the stream already silent: only copies and wakes the loop at the end.
  static void SDLCALL Feed(void* self, Uint8* stream, int len) {
    MidiDevice& d = *static_cast<MidiDevice*>(self);
    MidiRender& r = *d.render_;
    if (len > 0 && (r.Read(stream, size_t(len)) || r.Failed())) SdlPushWake();
    const int64_t gain = d.st_->music_gain.load(std::memory_order_relaxed);
    if (gain == 65536 || d.st_->format.sdl_format != AUDIO_S16SYS) return;
    auto* samples = reinterpret_cast<int16_t*>(stream);
    for (int i = 0; i < len / 2; ++i)
      samples[i] = int16_t(std::clamp<int64_t>(samples[i] * gain / 65536, INT16_MIN, INT16_MAX));
  }

  std::unique_ptr<MidiRender> render_;
};

}  // namespace

std::string FindSoundFont() {
  namespace fsys = std::filesystem;
  std::error_code ec;
  auto usable = [&](const fsys::path& p) { return fsys::is_regular_file(p, ec); };
  if (const char* env = std::getenv("SDL_SOUNDFONTS")) {
    std::stringstream list(env);
    for (std::string item; std::getline(list, item, ':');)
      if (!item.empty() && usable(item)) return item;
  }
  for (const char* p : {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
                        "/usr/share/soundfonts/default.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                        "/usr/share/soundfonts/FluidR3_GM.sf2"})
    if (usable(p)) return p;
  // Any font the distribution put in its usual places.
  for (const char* dir : {"/usr/share/sounds/sf2", "/usr/share/soundfonts"}) {
    for (const auto& e : fsys::directory_iterator(dir, ec)) {
      std::string ext = e.path().extension().string();
      for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
      if (ext == ".sf2" && usable(e.path())) return e.path().string();
    }
  }
  return {};
}

SdlAudio::SdlAudio(const Clock& clock) : state_(std::make_shared<State>(clock)) {
  SdlWakeEventType();  // registered here, on the UI thread, before any callback can need it
  state_->sound_font = FindSoundFont();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
  // The speech is recorded at 22050 Hz; mixing at that rate halves what the song's render costs and
  // what each converted recording takes in memory.
  if (Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }
  int freq = 22050, channels = 2;
  Uint16 format = AUDIO_S16SYS;
  Mix_QuerySpec(&freq, &format, &channels);
  state_->rate = freq;
  state_->frame_bytes = channels * int(SDL_AUDIO_BITSIZE(format) / 8);
  state_->format = {freq, format, channels};
  Mix_AllocateChannels(2);
  Mix_ReserveChannels(2);  // 0 and 1 are never handed out to anyone else
  Mix_ChannelFinished(OnChannelFinished);
  state_->opened = true;
}

SdlAudio::~SdlAudio() {
  if (!state_->opened) return;
  // Devices may outlive the system: free their mixer objects now and let them fail from here on.
  for (SdlDevice* d : std::vector<SdlDevice*>(state_->devices)) d->Release();
  Mix_HaltChannel(-1);
  Mix_ChannelFinished(nullptr);
  if (state_->effect) Mix_FreeChunk(state_->effect);
  state_->effect = nullptr;
  state_->opened = false;
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::unique_ptr<MediaDevice> SdlAudio::CreateWaveDevice() { return std::make_unique<WaveDevice>(state_); }

std::unique_ptr<MediaDevice> SdlAudio::CreateMidiDevice() { return std::make_unique<MidiDevice>(state_); }

int SdlAudio::WaveOutDevices() { return state_->opened ? 1 : 0; }

const std::string& SdlAudio::SoundFont() const { return state_->sound_font; }

bool SdlAudio::PlaySound(const char* host_path, uint32_t flags) {
  State& st = *state_;
  if (!st.opened) return false;
  if (!host_path) {
    Mix_HaltChannel(kEffectChannel);
    st.effect_end = 0;
    return true;
  }
  if ((flags & SND_NOSTOP) && EffectPlaying()) return false;
  std::string bytes;
  uint64_t length = 0;
  if (!ReadChecked(state_, host_path, false, &bytes, &length, nullptr)) return false;
  Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1);
  if (!chunk) return false;
  Mix_HaltChannel(kEffectChannel);
  if (st.effect) Mix_FreeChunk(st.effect);
  st.effect = chunk;
  if (Mix_PlayChannel(kEffectChannel, chunk, 0) < 0) return false;
  st.effect_end = st.clock.NowMs() + length;
  return true;
}

bool SdlAudio::EffectPlaying() const { return state_->opened && Mix_Playing(kEffectChannel); }

uint64_t SdlAudio::NextChangeMs() const {
  const uint64_t now = state_->clock.NowMs();
  uint64_t next = EffectPlaying() && state_->effect_end > now ? state_->effect_end : kNever;
  for (const SdlDevice* d : state_->devices) next = std::min(next, d->NextChangeMs());
  return next;
}

void SdlAudio::SetLevels(int music_percent, int speech_percent) {
  if (!state_->opened) return;
  const int speech = (std::clamp(speech_percent, 0, 100) * MIX_MAX_VOLUME + 50) / 100;
  state_->music_gain = int(LevelGain(music_percent) * 65536 + 0.5);
  Mix_Volume(kWaveChannel, speech);
  Mix_Volume(kEffectChannel, speech);
}

namespace {

// Mono float samples SDL queues for us; read without a callback, on the UI thread.
class SdlMicrophone : public CaptureDevice {
 public:
  SdlMicrophone(SDL_AudioDeviceID id, uint32_t rate) : id_(id), rate_(rate) { SDL_PauseAudioDevice(id_, 0); }
  ~SdlMicrophone() override { SDL_CloseAudioDevice(id_); }
  uint32_t Rate() const override { return rate_; }
  bool Read(std::vector<float>& out) override {
    if (SDL_GetAudioDeviceStatus(id_) == SDL_AUDIO_STOPPED) return false;  // unplugged
    float buf[4096];
    for (;;) {
      const Uint32 got = SDL_DequeueAudio(id_, buf, sizeof buf);
      out.insert(out.end(), buf, buf + got / sizeof(float));
      if (got < sizeof buf) return true;
    }
  }

 private:
  SDL_AudioDeviceID id_;
  uint32_t rate_;
};

}  // namespace

std::unique_ptr<CaptureDevice> SdlAudio::OpenMicrophone(std::string* error) {
  if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    if (error) *error = SDL_GetError();
    return nullptr;
  }
  SDL_AudioSpec want{}, have{};
  want.freq = 22050;
  want.format = AUDIO_F32SYS;
  want.channels = 1;
  want.samples = 1024;
  const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 1, &want, &have, 0);
  if (id == 0) {
    if (error) *error = SDL_GetError();
    return nullptr;
  }
  return std::make_unique<SdlMicrophone>(id, uint32_t(have.freq));
}

}  // namespace plat
