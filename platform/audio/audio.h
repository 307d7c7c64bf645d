// The sound system behind the media channels and PlaySound: devices the backends provide.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace plat {

// Channel modes as the program numbers them (the MCI mode code minus 524).
enum class MciMode { NotReady = 0, Stopped = 1, Playing = 2, Recording = 3, Seeking = 4, Paused = 5, Open = 6 };

// One media channel's device: a file opened for playback with a position.
class MediaDevice {
 public:
  virtual ~MediaDevice() = default;
  // Opens a host file; false with a readable reason when it is missing, unreadable or not playable.
  virtual bool Open(const std::string& host_path, std::string* error) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Starts playback from the current position and returns at once; false when refused.
  virtual bool Play() = 0;
  virtual void Stop() = 0;  // keeps the position
  virtual void Seek(uint64_t ms) = 0;
  virtual uint64_t PositionMs() const = 0;
  virtual uint64_t LengthMs() const = 0;
  // Stopped or Playing while open; the mode reads Playing exactly while the sound is heard.
  virtual MciMode Mode() const = 0;
  // Clock time at which the mode changes by itself next (playback ends); kNever when nothing will.
  virtual uint64_t NextChangeMs() const = 0;
};

// A microphone opened for a take: mono samples at its own rate, gathered while the program runs.
class CaptureDevice {
 public:
  virtual ~CaptureDevice() = default;
  virtual uint32_t Rate() const = 0;
  // Appends what has been heard since the last call; false once the microphone is gone (unplugged).
  virtual bool Read(std::vector<float>& out) = 0;
};

constexpr uint32_t SND_ASYNC = 0x0001;
constexpr uint32_t SND_NOSTOP = 0x0010;

class AudioSystem {
 public:
  virtual ~AudioSystem() = default;
  virtual std::unique_ptr<MediaDevice> CreateWaveDevice() = 0;  // ".wav"
  virtual std::unique_ptr<MediaDevice> CreateMidiDevice() = 0;  // ".mid"
  // The count of wave output devices: 0 when no audio output can be opened.
  virtual int WaveOutDevices() = 0;
  // PlaySound on a host file; nullptr stops the sound that plays. With SND_NOSTOP a new sound is
  // dropped (false) while an earlier one still plays. False also when the file cannot be played.
  virtual bool PlaySound(const char* host_path, uint32_t flags) = 0;
  virtual bool EffectPlaying() const = 0;
  // Earliest time any device or effect changes by itself (for wait loops); kNever when none.
  virtual uint64_t NextChangeMs() const = 0;
  // Output levels in percent, 0 silent, 100 as recorded: the music channel, and the WAV channel
  // with the effects. A system without levels of its own ignores them.
  virtual void SetLevels(int music_percent, int speech_percent) {}
  // The system's default microphone; nullptr with a reason a parent can act on when there is none or
  // it was refused.
  virtual std::unique_ptr<CaptureDevice> OpenMicrophone(std::string* error) {
    if (error) *error = "this system has no microphone input";
    return nullptr;
  }
};

// The music's level of the parents' page as an amplitude factor: 100 % as recorded, each 10 % step 4 dB
// quieter (50 % is -20 dB, 10 % is -36 dB), 0 silent; steps of equal decibels sound equal, where plain
// percent left a parent nothing to hear between steps. The speech level stays a plain factor (50 % is
// -6 dB): the voice must stay clear, and a parent turns it down only a little.
inline constexpr double kLevelRangeDb = 40;
double LevelGain(int percent);

// Sets the process's levels (clamped to 0..100) and traces "levels music N speech N".
void SetLevels(int music_percent, int speech_percent);

// The process's audio system, installed by the backend at start.
AudioSystem& Audio();
void SetAudio(AudioSystem* audio);

}  // namespace plat
