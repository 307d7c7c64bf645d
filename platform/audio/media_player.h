// A media channel with the behaviour of a TMediaPlayer over MCI: FileName, Open, Close, Play, Stop, Mode.
#pragma once
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/audio/audio.h"

namespace plat {

class EMCIDeviceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class MediaPlayer {
 public:
  // trace_name is "wav" or "midi": the word of its trace lines.
  MediaPlayer(std::string name, std::string trace_name, std::unique_ptr<MediaDevice> device);
  ~MediaPlayer();  // closes an open channel

  const std::string& Name() const { return name_; }
  std::string FileName;  // DOS-style path as the program built it

  // Closes first, then opens FileName. Throws EMCIDeviceError (channel stays closed) on failure.
  void Open();
  // Nothing when not open.
  void Close();
  // Throws "No MCI device open" when not open. Played to the end: rewinds first (auto-rewind).
  void Play();
  // Throws "No MCI device open" when not open.
  void Stop();
  // Never throws. A closed channel reads NotReady.
  MciMode Mode() const;
  // The same without tracing an end it sees: for looking without acting.
  MciMode PeekMode() const;
  bool IsOpen() const;
  MediaDevice& device() { return *device_; }

  // Every live channel, for the message loop's wake source: when the next one ends by itself
  // (kNever when none will), and tracing "end" for those that have ended.
  static uint64_t NextChangeAll();
  static void PollAll();

 private:
  // Traces "end" once when playback has run out by itself.
  void ReportEnd() const;

  std::string name_, trace_;
  std::unique_ptr<MediaDevice> device_;
  mutable bool end_reported_ = true;
};

// PlaySound for a DOS-style path (nullptr stops): traces "effect PATH", "effect-drop PATH", "effect stop".
bool PlaySoundDos(const char* dos_path, uint32_t flags);

}  // namespace plat
