// Files crafted against readers that trust the sizes they read, made at test time (the clip is 16 MB).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tests/platform/avi_test_writer.h"

namespace crafted {

// A 4 × 1 RLE8 clip whose one frame holds 8,421,510 runs "FF 01": over 2^31 pixels in a row of four,
// enough to carry a column counter past INT_MAX.
inline std::vector<uint8_t> EndlessRowClip() {
  avitest::Spec s;
  s.width = 4;
  s.height = 1;
  s.compression = 1;
  s.palette = {0x000000, 0xFF8000};
  s.index = false;
  avitest::Bytes frame;
  frame.reserve(8421510u * 2);
  for (uint32_t i = 0; i < 8421510u; ++i) {
    frame.push_back(0xFF);
    frame.push_back(0x01);
  }
  s.frames.push_back(std::move(frame));
  return avitest::Build(s);
}

inline std::string Be(uint32_t v, int bytes) {
  std::string s;
  for (int i = bytes - 1; i >= 0; --i) s.push_back(char((v >> (8 * i)) & 0xFF));
  return s;
}

inline std::string MidiFile(uint16_t division, const std::string& events) {
  return "MThd" + Be(6, 4) + Be(0, 2) + Be(1, 2) + Be(division, 2) + "MTrk" + Be(uint32_t(events.size()), 4) + events;
}

// 40 bytes, format 0, one tick a quarter at the slowest tempo (FF FF FF µs), one delta of 0x0FFFFFFF:
// a song of about 143 years.
inline std::string SlowestSong() {
  return MidiFile(1, std::string("\x00\xFF\x51\x03\xFF\xFF\xFF", 7) +         // tempo
                         std::string("\xFF\xFF\xFF\x7F\x90\x3C\x64", 7) +     // the longest delta, a note
                         std::string("\x00\xFF\x2F\x00", 4));                 // end of track
}

// 47 bytes: one note held for 0x0FFFFFFF ticks at 96 a quarter and 120 bpm, about 388 hours.
inline std::string LongNoteSong() {
  return MidiFile(96, std::string("\x00\xFF\x51\x03\x07\xA1\x20", 7) +        // 500000 µs a quarter
                          std::string("\x00\xC0\x00\x00\x90\x3C\x64", 7) +    // piano, note on
                          std::string("\xFF\xFF\xFF\x7F\x80\x3C\x00", 7) +    // note off, 0x0FFFFFFF later
                          std::string("\x00\xFF\x2F\x00", 4));
}

}  // namespace crafted
