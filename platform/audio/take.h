// A family's take made into a line of the medium: DC removed, trimmed, levelled as the medium's speech, its file's format.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audio/pcm.h"
#include "platform/audio/wav_pcm.h"

namespace plat {

// The longest recording a take is made from; anything longer is refused unread.
inline constexpr double kTakeMaxInputSeconds = 300;
// Kept before the first and after the last moment of speech.
inline constexpr double kTakeMarginSeconds = 0.05;

enum class TakeVerdict {
  Kept,        // the take is good
  Unreadable,  // not a WAV the bounded reader takes, or too long
  Silent,      // nothing stands out of the room's noise: "is the microphone on?"
  TooQuiet,    // speech, but too far below the medium's level to lift cleanly
  Clipped,     // the microphone was overdriven: "a little further from the microphone"
};

struct Take {
  TakeVerdict verdict = TakeVerdict::Unreadable;
  std::vector<uint8_t> wav;    // the finished file when kept
  uint32_t input_ms = 0;       // length of what was recorded
  uint32_t trimmed_ms = 0;     // silence cut from both ends together
  uint32_t length_ms = 0;      // of the finished take
  double lufs_before = -70;    // the speech as recorded
  double lufs_after = -70;     // the finished take (at kPcmRate, before the format conversion)
  double peak_after_db = -99;
  double dc_offset = 0;        // what was removed, as a fraction of full scale
};

// From a WAV file's bytes (any uncompressed PCM or float WAV the bounded reader accepts).
Take ShapeTake(const uint8_t* data, size_t size, const WavFormat& like);
// From mono samples at the given rate (the microphone's).
Take ShapeTake(Pcm samples, uint32_t rate, const WavFormat& like);

// Listens to a take as it is recorded: speech found by its level above the room, the take over after
// kEndSilence of quiet following speech, or at kLongest (with or without speech: the shaping then says).
class TakeListener {
 public:
  static constexpr double kEndSilence = 0.8, kLongest = 15.0;
  enum class State { Waiting, Speaking, Over };
  explicit TakeListener(uint32_t rate) : rate_(rate) {}
  State Add(const float* s, size_t n);
  State state() const { return state_; }
  const Pcm& samples() const { return samples_; }
  uint32_t rate() const { return rate_; }
  // Where speech last fell quiet, in ms from the start of the take (0 before any speech).
  uint64_t SpeechEndMs() const { return speech_end_ * 1000 / rate_; }

 private:
  void Block(size_t from, size_t to);
  uint32_t rate_;
  Pcm samples_;
  State state_ = State::Waiting;
  size_t judged_ = 0, speech_end_ = 0;
  double floor_ = 1.0;  // the quietest block so far: the room
  double hp_x_ = 0, hp_y_ = 0;
};

}  // namespace plat
