// MCI channels (waveaudio, sequencer) whose ends come as MM_MCINOTIFY, and PlaySound for effects.
// Every file passes our own header checks before a system parser sees it.
#include "platform/win32/win32_audio.h"

#include <mmsystem.h>
#undef PlaySound  // our method, not the system's A/W macro

#include <algorithm>
#include <map>

#include "platform/audio/media_info.h"
#include "platform/fs/fs.h"
#include "platform/win32/utf.h"

namespace plat {

namespace {

constexpr size_t kMaxSoundFile = 256u << 20;
constexpr wchar_t kNotifyClass[] = L"OzzelMciNotify";

std::string MciError(MCIERROR err) {
  wchar_t buf[256] = {};
  if (!mciGetErrorStringW(err, buf, 256)) return "MCI error " + std::to_string(err);
  return win32::Utf8(buf);
}

// The length our own reader finds; nullopt when the file is missing or not a sound of its kind.
std::optional<uint64_t> CheckedLength(const std::string& bytes, bool midi) {
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  if (midi) return MidiDurationMs(p, bytes.size());
  if (auto w = ParseWav(p, bytes.size())) return w->duration_ms;
  return std::nullopt;
}

class MciDevice;

}  // namespace

struct Win32Audio::State {
  explicit State(const Clock& c) : clock(c) {}
  const Clock& clock;
  HWND notify = nullptr;
  std::map<MCIDEVICEID, MciDevice*> devices;  // open devices, for their notifications
  std::string effect;                         // the sound PlaySound plays from memory
  uint64_t effect_end = 0;                    // clock time it ends
};

namespace {

class MciDevice : public MediaDevice {
 public:
  MciDevice(std::shared_ptr<Win32Audio::State> state, bool midi) : state_(std::move(state)), midi_(midi) {}
  ~MciDevice() override { Close(); }

  bool Open(const std::string& host_path, std::string* error) override {
    Close();
    auto bytes = fs::ReadFile(host_path, kMaxSoundFile);
    if (!bytes) {
      if (error) *error = "The specified file cannot be found. Make sure the path and filename are correct.";
      return false;
    }
    if (!CheckedLength(*bytes, midi_)) {
      if (error) *error = "The file cannot be played on the specified MCI device. The file may be corrupt, or not in the correct format.";
      return false;
    }
    // Without an output device the system may still open a sequencer that sounds nowhere: refused
    // here, so a machine without MIDI takes the program's "no music" path.
    if (midi_ ? midiOutGetNumDevs() == 0 : waveOutGetNumDevs() == 0) {
      if (error) *error = MciError(midi_ ? MCIERR_SEQ_NOMIDIPRESENT : MCIERR_WAVE_OUTPUTSUNSUITABLE);
      return false;
    }
    const std::wstring path = win32::Wide(host_path);
    MCI_OPEN_PARMSW op{};
    op.lpstrDeviceType = midi_ ? L"sequencer" : L"waveaudio";
    op.lpstrElementName = path.c_str();
    if (MCIERROR err = mciSendCommandW(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT,
                                       reinterpret_cast<DWORD_PTR>(&op))) {
      if (error) *error = MciError(err);
      return false;
    }
    id_ = op.wDeviceID;
    MCI_SET_PARMS sp{};
    sp.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
    mciSendCommandW(id_, MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&sp));
    length_ = Status(MCI_STATUS_LENGTH);
    playing_ = false;
    state_->devices[id_] = this;
    return true;
  }

  void Close() override {
    if (!id_) return;
    state_->devices.erase(id_);
    mciSendCommandW(id_, MCI_CLOSE, MCI_WAIT, 0);
    id_ = 0;
    playing_ = false;
  }

  bool IsOpen() const override { return id_ != 0; }

  bool Play() override {
    if (!id_) return false;
    MCI_PLAY_PARMS pp{};
    pp.dwCallback = reinterpret_cast<DWORD_PTR>(state_->notify);
    if (mciSendCommandW(id_, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&pp)) != 0) return false;
    playing_ = true;
    return true;
  }

  void Stop() override {
    if (!id_) return;
    playing_ = false;  // the aborted play's notification changes nothing
    mciSendCommandW(id_, MCI_STOP, MCI_WAIT, 0);
  }

  void Seek(uint64_t ms) override {
    if (!id_) return;
    playing_ = false;  // seeking stops playback on every MCI device
    MCI_SEEK_PARMS sp{};
    sp.dwTo = DWORD(std::min<uint64_t>(ms, length_));
    mciSendCommandW(id_, MCI_SEEK, (ms == 0 ? MCI_SEEK_TO_START : MCI_TO) | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&sp));
  }

  uint64_t PositionMs() const override { return id_ ? std::min<uint64_t>(Status(MCI_STATUS_POSITION), length_) : 0; }
  uint64_t LengthMs() const override { return length_; }

  MciMode Mode() const override {
    if (!id_) return MciMode::NotReady;
    // Playing from our play command until its notification, while the device itself says so.
    return playing_ && Status(MCI_STATUS_MODE) == MCI_MODE_PLAY ? MciMode::Playing : MciMode::Stopped;
  }

  // The end comes as a message, which ends any wait; this deadline only guards against a device
  // that never sends it.
  uint64_t NextChangeMs() const override {
    if (Mode() != MciMode::Playing) return kNever;
    const uint64_t pos = PositionMs();
    return state_->clock.NowMs() + (length_ > pos ? length_ - pos : 0) + 50;
  }

  void Notified(WPARAM how) {
    if (how == MCI_NOTIFY_SUCCESSFUL) playing_ = false;
  }

 private:
  uint64_t Status(DWORD item) const {
    MCI_STATUS_PARMS st{};
    st.dwItem = item;
    if (mciSendCommandW(id_, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&st)) != 0) return 0;
    return st.dwReturn;
  }

  std::shared_ptr<Win32Audio::State> state_;
  bool midi_;
  MCIDEVICEID id_ = 0;
  uint64_t length_ = 0;
  bool playing_ = false;
};

LRESULT CALLBACK NotifyProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == MM_MCINOTIFY) {
    auto* state = reinterpret_cast<Win32Audio::State*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (state) {
      auto it = state->devices.find(MCIDEVICEID(lp));
      if (it != state->devices.end()) it->second->Notified(wp);
    }
    return 0;
  }
  return DefWindowProcW(h, msg, wp, lp);
}

}  // namespace

Win32Audio::Win32Audio(const Clock& clock) : state_(std::make_shared<State>(clock)) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = NotifyProc;
  wc.hInstance = inst;
  wc.lpszClassName = kNotifyClass;
  RegisterClassExW(&wc);
  state_->notify = CreateWindowExW(0, kNotifyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr);
  if (state_->notify) SetWindowLongPtrW(state_->notify, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state_.get()));
}

Win32Audio::~Win32Audio() {
  ::PlaySoundW(nullptr, nullptr, 0);
  if (state_->notify) DestroyWindow(state_->notify);
}

std::unique_ptr<MediaDevice> Win32Audio::CreateWaveDevice() { return std::make_unique<MciDevice>(state_, false); }
std::unique_ptr<MediaDevice> Win32Audio::CreateMidiDevice() { return std::make_unique<MciDevice>(state_, true); }

int Win32Audio::WaveOutDevices() { return int(waveOutGetNumDevs()); }

bool Win32Audio::PlaySound(const char* host_path, uint32_t flags) {
  if (!host_path) {
    ::PlaySoundW(nullptr, nullptr, 0);
    state_->effect_end = 0;
    return true;
  }
  auto bytes = fs::ReadFile(host_path, kMaxSoundFile);
  if (!bytes) return false;
  auto length = CheckedLength(*bytes, false);
  if (!length) return false;
  // Played from the very bytes we checked; the buffer must live while the sound plays.
  DWORD f = SND_MEMORY | SND_NODEFAULT | ((flags & SND_ASYNC) ? SND_ASYNC : SND_SYNC);
  if (flags & SND_NOSTOP) f |= SND_NOSTOP;
  auto next = std::move(*bytes);
  if ((flags & SND_NOSTOP) && EffectPlaying()) return false;
  ::PlaySoundW(nullptr, nullptr, 0);  // the old buffer is released only once nothing plays it
  state_->effect = std::move(next);
  if (!::PlaySoundW(reinterpret_cast<LPCWSTR>(state_->effect.data()), nullptr, f)) {
    state_->effect_end = 0;
    return false;
  }
  state_->effect_end = state_->clock.NowMs() + *length;
  return true;
}

bool Win32Audio::EffectPlaying() const { return state_->effect_end > state_->clock.NowMs(); }

uint64_t Win32Audio::NextChangeMs() const {
  uint64_t next = EffectPlaying() ? state_->effect_end : kNever;
  for (const auto& [id, dev] : state_->devices) next = std::min(next, dev->NextChangeMs());
  return next;
}

void Win32Audio::SetLevels(int music_percent, int speech_percent) {
  // Both channels of a device volume (low word left, high word right) at the same level.
  auto volume = [](int percent) {
    const DWORD v = DWORD(std::clamp(percent, 0, 100)) * 0xFFFFu / 100u;
    return v | v << 16;
  };
  // Since Vista the wave volume is this program's own (its mixer session), not the machine's. A MIDI
  // synthesizer that plays through that session is scaled by the speech level too: the system has no
  // separate level for it.
  waveOutSetVolume(nullptr, volume(speech_percent));
  for (UINT id = 0, n = midiOutGetNumDevs(); id < n; ++id)
    midiOutSetVolume(reinterpret_cast<HMIDIOUT>(uintptr_t(id)), volume(music_percent));
}

}  // namespace plat
