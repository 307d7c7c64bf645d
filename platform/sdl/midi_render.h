// A MIDI song rendered to samples once, on a thread of its own, so that playing it costs no synthesis.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace plat {

// The mixer's output format the samples are rendered for.
struct PcmFormat {
  int rate = 22050;
  uint16_t sdl_format = 0x8010;  // AUDIO_S16SYS on little-endian machines
  int channels = 2;
  int FrameBytes() const;
};

class MidiRender {
 public:
  // Starts rendering `midi` (a Standard MIDI File) with the General MIDI sound font at sound_font,
  // exactly length_ms long (the length the file's tempo map gives), in the format `out`.
  MidiRender(std::string midi, std::string sound_font, uint64_t length_ms, PcmFormat out);
  ~MidiRender();  // stops a render that is still running
  MidiRender(const MidiRender&) = delete;
  MidiRender& operator=(const MidiRender&) = delete;

  // Waits for the render to finish; the samples, or nullptr when the song could not be rendered.
  const std::vector<uint8_t>* Wait();

 private:
  void Run();

  std::string midi_, font_;
  uint64_t length_ms_;
  PcmFormat out_;
  std::vector<uint8_t> pcm_;
  bool ok_ = false;
  std::atomic<bool> cancel_{false};
  std::thread thread_;
};

}  // namespace plat
