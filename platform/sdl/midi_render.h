// A MIDI song rendered by FluidSynth ahead of playback on a thread of its own, in bounded memory.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace plat {

// The mixer's output format the samples are rendered for.
struct PcmFormat {
  int rate = 22050;
  uint16_t sdl_format = 0x8010;  // AUDIO_S16SYS on little-endian machines
  int channels = 2;
  int FrameBytes() const;
};

// Frames of `rate` in `ms` milliseconds, exact while it fits 64 bits and saturating beyond.
uint64_t MsToFrames(uint64_t ms, int rate);

// A song that fits `whole_cap` bytes is rendered whole once, so it loops from memory and an idle
// program synthesises nothing; a longer one streams through a buffer of a few seconds that the render
// thread keeps filled ahead of the read position. Reading never waits for the renderer.
class MidiRender {
 public:
  static constexpr size_t kWholeSongCap = size_t(64) << 20;
  static constexpr uint32_t kAheadMs = 8000;  // what a streamed song keeps rendered ahead

  // Starts rendering `midi` (a Standard MIDI File) with the General MIDI sound font at sound_font,
  // exactly length_ms long (the length the file's tempo map gives), in the format `out`.
  MidiRender(std::string midi, std::string sound_font, uint64_t length_ms, PcmFormat out,
             size_t whole_cap = kWholeSongCap);
  ~MidiRender();  // stops a render that is still running
  MidiRender(const MidiRender&) = delete;
  MidiRender& operator=(const MidiRender&) = delete;

  uint64_t Frames() const { return frames_; }  // the song's length in output frames
  bool Whole() const { return whole_; }        // kept whole in memory
  // The synthesizer refused the font or the song; known once the render has begun.
  bool Failed() const { return failed_; }

  // Moves the read position; a streamed song rendered past it starts its render over.
  void Seek(uint64_t frame);
  uint64_t Position() const;
  // Copies `bytes` of samples from the read position on into `out` and moves the position on by as
  // much, as time does: frames not rendered yet (or past the end) leave `out` as it was. True when
  // this read reached the song's end, or is the first after a failure. Safe on the mixer's thread;
  // waits for nothing but a short copy.
  bool Read(uint8_t* out, size_t bytes);

  // Waits until the renderer has nothing to do for now (the song whole, the buffer full, the end or
  // a failure). For tests and tools: the player never calls it.
  void Settle();
  // Bytes held for samples: the whole song, or the streaming buffer.
  size_t BufferBytes() const;

 private:
  void Run();
  void Render();
  bool HasWork() const;  // with mu_ held
  void Store(uint64_t first, const uint8_t* data, uint64_t n);  // with mu_ held

  std::string midi_, font_;
  PcmFormat out_;
  int frame_bytes_;
  uint64_t frames_;
  bool whole_;
  uint64_t cap_frames_;  // frames the buffer holds: the song, or kAheadMs of it

  mutable std::mutex mu_;
  std::condition_variable work_cv_, settle_cv_;
  std::unique_ptr<uint8_t[]> buf_;  // frame f at (f % cap_frames_)
  size_t buf_bytes_ = 0;
  uint64_t lo_ = 0, hi_ = 0;        // frames held: [lo_, hi_)
  uint64_t cursor_ = 0;             // the read position
  uint64_t made_ = 0;               // the synthesizer's position
  bool restart_ = false;            // the read position went back before what is held
  bool filling_ = false;            // rendering until the buffer is full
  bool ready_ = false;              // set up; HasWork() says what is left
  bool finished_ = false;           // the render thread has ended
  bool cancel_ = false;
  bool failure_told_ = false;
  std::atomic<bool> failed_{false};
  std::thread thread_;
};

}  // namespace plat
