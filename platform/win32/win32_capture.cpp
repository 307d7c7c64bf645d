// The microphone on Windows: waveIn through the wave mapper, 16-bit mono, its buffers polled on the UI thread.
#include "platform/win32/win32_audio.h"

// After the program's own SND_ names, which mmsystem.h would take as macros.
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace plat {

namespace {

constexpr uint32_t kRate = 22050;
constexpr size_t kBlock = kRate / 10;  // 100 ms a buffer, 800 ms queued: a slow frame loses nothing

// What a parent can act on, from waveInOpen's answer. Windows 10/11 answer a microphone their privacy
// settings keep from desktop programs as if it could not be opened, or give silence (the studio then
// says it heard nothing): either way the settings page is named.
std::string WaveInError(MMRESULT r) {
  const char* privacy = " (or Windows keeps the microphone from programs: Settings > Privacy > Microphone)";
  switch (r) {
    case MMSYSERR_BADDEVICEID:
    case MMSYSERR_NODRIVER: return "no microphone is connected";
    case MMSYSERR_ALLOCATED: return std::string("the microphone is in use by another program") + privacy;
    case WAVERR_BADFORMAT: return "the microphone cannot record 16-bit mono sound";
    case MMSYSERR_NOMEM: return "not enough memory for the microphone";
    default: return "Windows refused the microphone (waveInOpen error " + std::to_string(r) + ")" + privacy;
  }
}

class WaveInMicrophone : public CaptureDevice {
 public:
  explicit WaveInMicrophone(HWAVEIN in) : in_(in) {
    for (size_t i = 0; i < heads_.size(); ++i) {
      blocks_[i].resize(kBlock);
      heads_[i] = WAVEHDR{};
      heads_[i].lpData = reinterpret_cast<LPSTR>(blocks_[i].data());
      heads_[i].dwBufferLength = DWORD(kBlock * sizeof(int16_t));
      if (waveInPrepareHeader(in_, &heads_[i], sizeof(WAVEHDR)) != MMSYSERR_NOERROR ||
          waveInAddBuffer(in_, &heads_[i], sizeof(WAVEHDR)) != MMSYSERR_NOERROR)
        gone_ = true;
    }
    if (!gone_ && waveInStart(in_) != MMSYSERR_NOERROR) gone_ = true;
  }
  ~WaveInMicrophone() override {
    waveInReset(in_);  // returns every buffer
    for (WAVEHDR& h : heads_)
      if (h.dwFlags & WHDR_PREPARED) waveInUnprepareHeader(in_, &h, sizeof(WAVEHDR));
    waveInClose(in_);
  }
  uint32_t Rate() const override { return kRate; }
  bool Read(std::vector<float>& out) override {
    // Buffers come back in the order they were queued.
    while (!gone_ && (heads_[next_].dwFlags & WHDR_DONE)) {
      WAVEHDR& h = heads_[next_];
      const size_t n = std::min<size_t>(h.dwBytesRecorded / sizeof(int16_t), kBlock);
      for (size_t i = 0; i < n; ++i) out.push_back(blocks_[next_][i] / 32768.0f);
      h.dwFlags &= ~DWORD(WHDR_DONE);
      h.dwBytesRecorded = 0;
      // Unplugged: the driver refuses the buffer back.
      if (waveInAddBuffer(in_, &h, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) gone_ = true;
      next_ = (next_ + 1) % heads_.size();
    }
    return !gone_;
  }

 private:
  HWAVEIN in_;
  std::array<WAVEHDR, 8> heads_;
  std::array<std::vector<int16_t>, 8> blocks_;
  size_t next_ = 0;
  bool gone_ = false;
};

}  // namespace

std::unique_ptr<CaptureDevice> Win32Audio::OpenMicrophone(std::string* error) {
  if (waveInGetNumDevs() == 0) {
    if (error) *error = WaveInError(MMSYSERR_NODRIVER);
    return nullptr;
  }
  WAVEFORMATEX f{};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = 1;
  f.nSamplesPerSec = kRate;
  f.wBitsPerSample = 16;
  f.nBlockAlign = 2;
  f.nAvgBytesPerSec = kRate * 2;
  HWAVEIN in = nullptr;
  const MMRESULT r = waveInOpen(&in, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL);
  if (r != MMSYSERR_NOERROR) {
    if (error) *error = WaveInError(r);
    return nullptr;
  }
  auto mic = std::make_unique<WaveInMicrophone>(in);
  std::vector<float> none;
  if (!mic->Read(none)) {
    if (error) *error = "the microphone could not start";
    return nullptr;
  }
  return mic;
}

}  // namespace plat
