// MCI channels (waveaudio, sequencer) whose ends come as MM_MCINOTIFY, and PlaySound for effects.
// Every file passes our own header checks before a system parser sees it; MCI then reads those very
// bytes from memory (its file reader takes only names in the ANSI code page, so a user or folder named
// outside it would silence the game), with the speech level applied to the samples on the way.
#include "platform/win32/win32_audio.h"

#include <mmsystem.h>
#undef PlaySound  // our method, not the system's A/W macro

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

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

// The speech level as a linear gain in 1/65536, applied to the samples of WAV files (PCM and float).
std::atomic<uint32_t> g_speech_gain{65536};

uint32_t GainOf(int percent) { return uint32_t(std::clamp(percent, 0, 100)) * 65536u / 100u; }

// The samples of `data` (bytes [offset, offset + n) of the file) at `gain`, in place.
void ApplyGain(uint8_t* data, size_t n, size_t offset, const WavInfo& w, uint32_t gain) {
  if (gain >= 65536) return;
  const size_t begin = std::max(offset, w.data_offset), end = std::min(offset + n, w.data_offset + w.data_bytes);
  const size_t width = w.bits / 8;
  const bool pcm = w.format == 1 && (w.bits == 8 || w.bits == 16 || w.bits == 24 || w.bits == 32);
  const bool flt = w.format == 3 && w.bits == 32;
  if (begin >= end || !(pcm || flt)) return;  // compressed formats keep their level
  // Whole samples only: a read that splits one leaves it as it was (the readers take whole blocks).
  size_t first = w.data_offset + (begin - w.data_offset + width - 1) / width * width;
  for (size_t at = first; at + width <= end; at += width) {
    uint8_t* p = data + (at - offset);
    if (w.bits == 8) {
      p[0] = uint8_t(128 + ((int(p[0]) - 128) * int64_t(gain) >> 16));
    } else if (flt) {
      float f;
      std::memcpy(&f, p, 4);
      f = float(double(f) * gain / 65536.0);
      std::memcpy(p, &f, 4);
    } else {
      int64_t v = 0;
      for (size_t i = 0; i < width; ++i) v |= int64_t(p[i]) << (8 * i);
      const int shift = int(64 - 8 * width);
      v = (v << shift) >> shift;  // sign-extended
      v = v * int64_t(gain) / 65536;
      for (size_t i = 0; i < width; ++i) p[i] = uint8_t(uint64_t(v) >> (8 * i));
    }
  }
}

// Files that MCI opens through our reader: the name "<id>.OZZM+" stands for the bytes kept here.
struct MemoryFile {
  std::string bytes;
  std::optional<WavInfo> wav;  // a WAV file's samples follow the speech level
};
constexpr FOURCC kMemoryIo = mmioFOURCC('O', 'Z', 'Z', 'M');
std::mutex g_files_mutex;
std::map<uint32_t, std::shared_ptr<const MemoryFile>> g_files;
uint32_t g_next_file = 1;

LRESULT CALLBACK MemoryIo(LPSTR info_ptr, UINT msg, LPARAM p1, LPARAM p2) {
  auto* info = reinterpret_cast<MMIOINFO*>(info_ptr);
  std::shared_ptr<const MemoryFile> file;
  if (msg == MMIOM_OPEN) {
    // The name may come with a folder in front of it.
    const char* name = reinterpret_cast<const char*>(p1);
    if (!name) return MMIOERR_CANNOTOPEN;
    if (const char* slash = std::strrchr(name, '\\')) name = slash + 1;
    const uint32_t id = uint32_t(std::strtoul(name, nullptr, 10));
    std::lock_guard<std::mutex> lock(g_files_mutex);
    if (!g_files.count(id) || (info->dwFlags & (MMIO_WRITE | MMIO_READWRITE))) return MMIOERR_CANNOTOPEN;
    info->adwInfo[0] = id;
    info->lDiskOffset = 0;
    return MMSYSERR_NOERROR;
  }
  {
    std::lock_guard<std::mutex> lock(g_files_mutex);
    auto it = g_files.find(uint32_t(info->adwInfo[0]));
    if (it != g_files.end()) file = it->second;
  }
  switch (msg) {
    case MMIOM_CLOSE:
      return 0;
    case MMIOM_READ: {
      if (!file || p2 < 0) return -1;
      const size_t at = size_t(std::max<LONG>(info->lDiskOffset, 0));
      const size_t n = at < file->bytes.size() ? std::min(size_t(p2), file->bytes.size() - at) : 0;
      auto* out = reinterpret_cast<uint8_t*>(p1);
      std::memcpy(out, file->bytes.data() + at, n);
      if (file->wav) ApplyGain(out, n, at, *file->wav, g_speech_gain.load());
      info->lDiskOffset = LONG(at + n);
      return LRESULT(n);
    }
    case MMIOM_SEEK: {
      if (!file) return -1;
      const int64_t size = int64_t(file->bytes.size());
      int64_t to = p1;
      if (p2 == SEEK_CUR) to += info->lDiskOffset;
      if (p2 == SEEK_END) to += size;
      if (to < 0 || to > size) return -1;
      info->lDiskOffset = LONG(to);
      return LRESULT(to);
    }
    case MMIOM_WRITE:
    case MMIOM_WRITEFLUSH:
      return -1;
    default:
      return 0;
  }
}

// Keeps `bytes` for MCI under a name of its own; the name is forgotten when the handle goes.
class MemoryName {
 public:
  MemoryName() = default;
  MemoryName(std::string bytes, std::optional<WavInfo> wav) {
    static std::once_flag installed;
    std::call_once(installed, [] { mmioInstallIOProcA(kMemoryIo, MemoryIo, MMIO_INSTALLPROC | MMIO_GLOBALPROC); });
    auto file = std::make_shared<MemoryFile>();
    file->bytes = std::move(bytes);
    file->wav = wav;
    std::lock_guard<std::mutex> lock(g_files_mutex);
    id_ = g_next_file++;
    g_files[id_] = std::move(file);
  }
  ~MemoryName() { Reset(); }
  MemoryName(const MemoryName&) = delete;
  MemoryName& operator=(MemoryName&& o) noexcept {
    Reset();
    std::swap(id_, o.id_);
    return *this;
  }
  void Reset() {
    if (!id_) return;
    std::lock_guard<std::mutex> lock(g_files_mutex);
    g_files.erase(id_);
    id_ = 0;
  }
  std::wstring Name() const { return std::to_wstring(id_) + L".OZZM+"; }

 private:
  uint32_t id_ = 0;
};

class MciDevice;

}  // namespace

struct Win32Audio::State {
  explicit State(const Clock& c) : clock(c) {}
  const Clock& clock;
  HWND notify = nullptr;
  std::map<MCIDEVICEID, MciDevice*> devices;  // open devices, for their notifications
  // Notifications still to come for each device id: a play's end must not stop a later play, and an
  // id may be given to the next device before a closed one's last notification arrives.
  std::map<MCIDEVICEID, int> owed;
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
    std::optional<WavInfo> wav;
    if (!midi_) wav = ParseWav(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size());
    MemoryName name(std::move(*bytes), wav);
    const std::wstring path = name.Name();
    MCI_OPEN_PARMSW op{};
    op.lpstrDeviceType = midi_ ? L"sequencer" : L"waveaudio";
    op.lpstrElementName = path.c_str();
    if (MCIERROR err = mciSendCommandW(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT,
                                       reinterpret_cast<DWORD_PTR>(&op))) {
      if (error) *error = MciError(err);
      return false;
    }
    id_ = op.wDeviceID;
    name_ = std::move(name);
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
    name_.Reset();
    id_ = 0;
    playing_ = false;
  }

  bool IsOpen() const override { return id_ != 0; }

  bool Play() override {
    if (!id_) return false;
    MCI_PLAY_PARMS pp{};
    pp.dwCallback = reinterpret_cast<DWORD_PTR>(state_->notify);
    if (mciSendCommandW(id_, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&pp)) != 0) return false;
    ++state_->owed[id_];
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

  // The end of the latest play only: earlier plays' notifications (superseded, aborted, or a success
  // that arrives after the next play began) have been counted and pass.
  void Notified(WPARAM how, bool latest) {
    if (latest && how == MCI_NOTIFY_SUCCESSFUL) playing_ = false;
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
  MemoryName name_;  // the bytes MCI reads, while the device is open
  uint64_t length_ = 0;
  bool playing_ = false;
};

LRESULT CALLBACK NotifyProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == MM_MCINOTIFY) {
    auto* state = reinterpret_cast<Win32Audio::State*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (state) {
      const MCIDEVICEID id = MCIDEVICEID(lp);
      bool latest = true;
      if (auto owed = state->owed.find(id); owed != state->owed.end()) {
        latest = --owed->second <= 0;
        if (latest) state->owed.erase(owed);
      }
      auto it = state->devices.find(id);
      if (it != state->devices.end()) it->second->Notified(wp, latest);
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
  if (auto w = ParseWav(reinterpret_cast<const uint8_t*>(next.data()), next.size()))
    ApplyGain(reinterpret_cast<uint8_t*>(next.data()), next.size(), 0, *w, g_speech_gain.load());
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
    const DWORD v = DWORD(LevelGain(percent) * 0xFFFF + 0.5);
    return v | v << 16;
  };
  // The speech level is in the samples we hand over: a device volume does not reach the wave device MCI
  // opens on every system. Since Vista the wave volume is this program's own mixer session, which
  // earlier versions set to the speech level: back to full, or the two would multiply.
  g_speech_gain = GainOf(speech_percent);
  waveOutSetVolume(nullptr, 0xFFFFFFFFu);
  for (UINT id = 0, n = midiOutGetNumDevs(); id < n; ++id)
    midiOutSetVolume(reinterpret_cast<HMIDIOUT>(uintptr_t(id)), volume(music_percent));
}

}  // namespace plat
