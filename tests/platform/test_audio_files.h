// Builders of small WAV and Standard MIDI files for the audio tests, and a scratch directory.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

namespace audiotest {

inline void PutLe(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
}
inline void PutBe(std::string& s, uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

inline std::string FmtChunk(uint16_t format, uint16_t channels, uint32_t rate, uint16_t bits) {
  std::string s = "fmt ";
  PutLe(s, 16, 4);
  PutLe(s, format, 2);
  PutLe(s, channels, 2);
  PutLe(s, rate, 4);
  PutLe(s, rate * channels * (bits / 8), 4);
  PutLe(s, channels * (bits / 8), 2);
  PutLe(s, bits, 2);
  return s;
}

// A square wave, loud enough to be found in mixer output.
inline std::string Samples16(uint32_t frames, uint16_t channels) {
  std::string s;
  for (uint32_t f = 0; f < frames; ++f)
    for (uint16_t c = 0; c < channels; ++c) PutLe(s, (f / 25) % 2 ? 0x3000 : 0xD000, 2);
  return s;
}

// RIFF/WAVE from chunk bodies already laid out; the RIFF size is computed.
inline std::string Riff(const std::string& chunks) {
  std::string s = "RIFF";
  PutLe(s, uint32_t(4 + chunks.size()), 4);
  return s + "WAVE" + chunks;
}

inline std::string DataChunk(const std::string& bytes, uint32_t declared) {
  std::string s = "data";
  PutLe(s, declared, 4);
  return s + bytes;
}

// PCM WAV of the given duration (16-bit samples unless told).
inline std::string Wav(uint32_t ms, uint16_t channels = 1, uint32_t rate = 8000, uint16_t bits = 16) {
  const uint32_t frames = uint32_t(uint64_t(rate) * ms / 1000);
  std::string data = bits == 16 ? Samples16(frames, channels) : std::string(size_t(frames) * channels * (bits / 8), '\x40');
  return Riff(FmtChunk(1, channels, rate, bits) + DataChunk(data, uint32_t(data.size())));
}

// MIDI building: one track's events as raw bytes (delta VLQ + event).
inline std::string Vlq(uint32_t v) {
  std::string s;
  s.push_back(char(v & 0x7F));
  while (v >>= 7) s.insert(s.begin(), char(0x80 | (v & 0x7F)));
  return s;
}
inline std::string Ev(uint32_t delta, std::initializer_list<int> bytes) {
  std::string s = Vlq(delta);
  for (int b : bytes) s.push_back(char(b));
  return s;
}
inline std::string Tempo(uint32_t delta, uint32_t us) {
  return Ev(delta, {0xFF, 0x51, 0x03, int(us >> 16) & 0xFF, int(us >> 8) & 0xFF, int(us) & 0xFF});
}
inline std::string EndOfTrack(uint32_t delta) { return Ev(delta, {0xFF, 0x2F, 0x00}); }
inline std::string Track(const std::string& events) {
  std::string s = "MTrk";
  PutBe(s, uint32_t(events.size()), 4);
  return s + events;
}
inline std::string Midi(uint16_t format, uint16_t division, std::initializer_list<std::string> tracks) {
  std::string s = "MThd";
  PutBe(s, 6, 4);
  PutBe(s, format, 2);
  PutBe(s, uint32_t(tracks.size()), 2);
  PutBe(s, division, 2);
  for (const auto& t : tracks) s += Track(t);
  return s;
}
// A one-track song of quarter notes at the default tempo (120 bpm): 500 ms a quarter.
inline std::string SimpleMidi(uint32_t quarters) {
  std::string ev = Ev(0, {0xC0, 0});
  for (uint32_t q = 0; q < quarters; ++q) ev += Ev(0, {0x90, 60, 100}) + Ev(96, {0x80, 60, 0});
  return Midi(0, 96, {ev + EndOfTrack(0)});
}

inline const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("ozzel-audio-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::string Write(const std::string& rel, const std::string& bytes) const {
    const auto p = path_ / rel;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
  }

 private:
  std::filesystem::path path_;
};

}  // namespace audiotest
