// A small Standard MIDI File writer and the medium's background tune.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace datagen {

// One track of timed events; Encode sorts them (stable, so equal times keep insertion order).
class SmfTrack {
 public:
  void Meta(uint32_t tick, uint8_t type, const std::vector<uint8_t>& data);
  void Tempo(uint32_t tick, uint32_t us_per_quarter);
  void Program(uint32_t tick, uint8_t channel, uint8_t program);
  void Control(uint32_t tick, uint8_t channel, uint8_t controller, uint8_t value);
  // Note on at tick, note off at tick + length.
  void Note(uint32_t tick, uint32_t length, uint8_t channel, uint8_t key, uint8_t velocity);
  // The MTrk chunk, ending with end-of-track at the last event's tick.
  std::vector<uint8_t> Encode() const;

 private:
  struct Event {
    uint32_t tick;
    int order;  // note-offs sort before note-ons at the same tick
    size_t seq;
    std::vector<uint8_t> bytes;
  };
  void Add(uint32_t tick, int order, std::vector<uint8_t> bytes);
  std::vector<Event> events_;
};

// Format 1 file: header chunk plus the tracks, ticks per quarter note as given.
std::vector<uint8_t> EncodeSmf(const std::vector<SmfTrack>& tracks, uint16_t ticks_per_quarter);

// The cheerful looping tune (about a minute): melody, chords, bass and light percussion.
std::vector<uint8_t> MakeTune();

}  // namespace datagen
