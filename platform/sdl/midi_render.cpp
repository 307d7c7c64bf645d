// Offline MIDI rendering with FluidSynth: the player driven by the samples written, not by a clock.
#include "platform/sdl/midi_render.h"

#include <SDL.h>
#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/audio/media_info.h"

namespace plat {

int PcmFormat::FrameBytes() const { return channels * int(SDL_AUDIO_BITSIZE(sdl_format) / 8); }

uint64_t MsToFrames(uint64_t ms, int rate) {
  if (rate <= 0) return 0;
  const unsigned __int128 f = static_cast<unsigned __int128>(ms) * unsigned(rate) / 1000;
  return f > UINT64_MAX ? UINT64_MAX : uint64_t(f);
}

namespace {

// FluidSynth reports a file it cannot read on stderr; the channel reports it instead (it does not play).
void QuietFluidSynth() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, nullptr, nullptr);
  });
}

// SDL_mixer's own FluidSynth music plays at this gain at full music volume; the song keeps its loudness.
constexpr double kGain = 1.2;
constexpr uint64_t kBlockFrames = 1024;

// FluidSynth fills its shared tables the first time a synthesizer is made, unguarded, and its 16-bit
// output adds a dither drawn from rand() at that moment: a song would sound a little different with
// each run and with the timing of threads. Synthesizers are made one at a time here, and the samples
// are taken as floating point and rounded without dither.
std::mutex g_synth_birth;

int16_t ToS16(float x) {
  const float v = x * 32766.0f;  // FluidSynth's own scale for 16 bits
  return v >= 32767.0f ? int16_t(32767) : v <= -32768.0f ? int16_t(-32768) : int16_t(std::lrint(v));
}

struct SettingsFree {
  void operator()(fluid_settings_t* s) const { delete_fluid_settings(s); }
};
struct SynthFree {
  void operator()(fluid_synth_t* s) const { delete_fluid_synth(s); }
};
struct PlayerFree {
  void operator()(fluid_player_t* p) const {
    fluid_player_stop(p);
    delete_fluid_player(p);
  }
};

}  // namespace

MidiRender::MidiRender(std::string midi, std::string sound_font, uint64_t length_ms, PcmFormat out, size_t whole_cap)
    : midi_(std::move(midi)),
      font_(std::move(sound_font)),
      out_(out),
      frame_bytes_(std::max(0, out.FrameBytes())),
      frames_(MsToFrames(length_ms, out.rate)),
      whole_(frame_bytes_ > 0 && frames_ <= whole_cap / size_t(frame_bytes_)),
      cap_frames_(whole_ ? frames_
                         : std::max<uint64_t>(2 * kBlockFrames,
                                              std::min<uint64_t>(MsToFrames(kAheadMs, out.rate),
                                                                 whole_cap / size_t(std::max(1, frame_bytes_))))) {
  QuietFluidSynth();
  thread_ = std::thread([this] { Run(); });
}

MidiRender::~MidiRender() {
  {
    std::lock_guard<std::mutex> lk(mu_);
    cancel_ = true;
  }
  work_cv_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void MidiRender::Seek(uint64_t frame) {
  {
    std::lock_guard<std::mutex> lk(mu_);
    cursor_ = frame;
    if (!whole_) {
      if (frame < lo_)
        restart_ = true;  // what came before is gone: the synthesizer starts over
      else
        lo_ = std::min(frame, hi_);
    }
  }
  work_cv_.notify_one();
}

uint64_t MidiRender::Position() const {
  std::lock_guard<std::mutex> lk(mu_);
  return cursor_;
}

bool MidiRender::Read(uint8_t* out, size_t bytes) {
  bool wake = false, ended = false;
  {
    std::lock_guard<std::mutex> lk(mu_);
    const uint64_t n = frame_bytes_ > 0 ? bytes / size_t(frame_bytes_) : 0;
    const uint64_t c = cursor_;
    const uint64_t end = UINT64_MAX - c < n ? UINT64_MAX : c + n;
    // Held frames in [c, end), copied where the ring stores them (it may wrap once).
    for (uint64_t f = std::max(c, lo_), to = std::min(end, hi_); f < to;) {
      const uint64_t slot = f % cap_frames_;
      const uint64_t run = std::min(to - f, cap_frames_ - slot);
      std::memcpy(out + size_t(f - c) * size_t(frame_bytes_), buf_.get() + size_t(slot) * size_t(frame_bytes_),
                  size_t(run) * size_t(frame_bytes_));
      f += run;
    }
    cursor_ = end;
    ended = c < frames_ && end >= frames_;
    if (failed_ && !failure_told_) ended = failure_told_ = true;  // the song ends where it failed
    if (!whole_) {
      lo_ = std::max(lo_, std::min(end, hi_));
      wake = !filling_ && HasWork();
    }
  }
  if (wake) work_cv_.notify_one();
  return ended;
}

void MidiRender::Settle() {
  std::unique_lock<std::mutex> lk(mu_);
  settle_cv_.wait(lk, [&] { return finished_ || (ready_ && !HasWork()); });
}

size_t MidiRender::BufferBytes() const {
  std::lock_guard<std::mutex> lk(mu_);
  return buf_bytes_;
}

bool MidiRender::HasWork() const {
  if (cancel_ || restart_) return true;
  if (made_ >= frames_) return false;
  if (whole_ || made_ < cursor_) return true;  // whole songs render to their end; a late reader is caught up
  const uint64_t room = cap_frames_ - (hi_ - lo_);
  // Once the buffer is full the thread sleeps until a quarter of it has been played.
  return room >= (filling_ ? kBlockFrames : std::max(kBlockFrames, cap_frames_ / 4));
}

void MidiRender::Store(uint64_t first, const uint8_t* data, uint64_t n) {
  if (whole_) {
    std::memcpy(buf_.get() + size_t(first) * size_t(frame_bytes_), data, size_t(n) * size_t(frame_bytes_));
    hi_ = first + n;
    return;
  }
  if (restart_ || first + n <= cursor_) return;  // stale, or already behind the reader
  const uint64_t from = std::max(first, cursor_);
  if (from != hi_) lo_ = hi_ = from;  // after a gap, what is held starts here
  for (uint64_t f = from; f < first + n;) {
    const uint64_t slot = f % cap_frames_;
    const uint64_t run = std::min(first + n - f, cap_frames_ - slot);
    std::memcpy(buf_.get() + size_t(slot) * size_t(frame_bytes_), data + size_t(f - first) * size_t(frame_bytes_),
                size_t(run) * size_t(frame_bytes_));
    f += run;
  }
  hi_ = first + n;
}

void MidiRender::Run() {
  try {
    Render();
  } catch (...) {  // out of memory above all: the song is then refused, the program goes on
    failed_ = true;
  }
  {
    std::lock_guard<std::mutex> lk(mu_);
    finished_ = true;
    if (failed_) {
      buf_.reset();
      buf_bytes_ = 0;
      lo_ = hi_ = 0;
    }
  }
  settle_cv_.notify_all();
}

void MidiRender::Render() {
  if (font_.empty() || out_.rate <= 0 || frame_bytes_ == 0) {
    failed_ = true;
    return;
  }
  if (frames_ > 0) {
    const size_t bytes = size_t(cap_frames_) * size_t(frame_bytes_);
    auto buf = std::unique_ptr<uint8_t[]>(new uint8_t[bytes]);  // not cleared: pages are touched as frames arrive
    std::lock_guard<std::mutex> lk(mu_);
    buf_ = std::move(buf);
    buf_bytes_ = bytes;
  }

  // The synthesizer renders 16-bit stereo; a mixer that runs otherwise gets each block converted.
  SDL_AudioCVT cvt{};
  const bool convert = out_.sdl_format != AUDIO_S16SYS || out_.channels != 2;
  if (convert &&
      SDL_BuildAudioCVT(&cvt, AUDIO_S16SYS, 2, out_.rate, out_.sdl_format, Uint8(out_.channels), out_.rate) < 0) {
    failed_ = true;
    return;
  }
  std::vector<int16_t> s16(kBlockFrames * 2);
  std::vector<float> left(kBlockFrames), right(kBlockFrames);
  std::vector<uint8_t> conv(convert ? kBlockFrames * 4 * size_t(std::max(1, cvt.len_mult)) : 0);

  // FluidSynth refuses a song with system bytes in a track or running status resumed after a meta
  // event: it gets the song rewritten the way it reads it, the same length.
  if (auto playable = PlayableMidi(reinterpret_cast<const uint8_t*>(midi_.data()), midi_.size()))
    midi_.assign(playable->begin(), playable->end());

  std::unique_ptr<fluid_settings_t, SettingsFree> settings(new_fluid_settings());
  if (!settings) {
    failed_ = true;
    return;
  }
  fluid_settings_setnum(settings.get(), "synth.sample-rate", out_.rate);
  fluid_settings_setnum(settings.get(), "synth.gain", kGain);
  fluid_settings_setstr(settings.get(), "player.timing-source", "sample");  // as fast as we can write
  fluid_settings_setint(settings.get(), "synth.lock-memory", 0);
  // Only the instruments the song uses are read from the font, not all of its megabytes.
  fluid_settings_setint(settings.get(), "synth.dynamic-sample-loading", 1);
  std::unique_ptr<fluid_synth_t, SynthFree> synth;
  std::unique_ptr<fluid_player_t, PlayerFree> player;
  // A fresh synthesizer for every start, so a song started over sounds exactly as the first time.
  auto start = [&] {
    player.reset();
    {
      std::lock_guard<std::mutex> birth(g_synth_birth);
      synth.reset(new_fluid_synth(settings.get()));
    }
    if (!synth || fluid_synth_sfload(synth.get(), font_.c_str(), 1) == FLUID_FAILED) return false;
    player.reset(new_fluid_player(synth.get()));
    return player && fluid_player_add_mem(player.get(), midi_.data(), midi_.size()) == FLUID_OK &&
           fluid_player_play(player.get()) == FLUID_OK;
  };
  if (!start()) {
    failed_ = true;
    return;
  }
  {
    std::lock_guard<std::mutex> lk(mu_);
    ready_ = true;
  }

  const uint64_t fade = std::min<uint64_t>(frames_, uint64_t(out_.rate) / 200);
  bool fresh = true;  // the first block after a start
  for (;;) {
    uint64_t at = 0;
    {
      std::unique_lock<std::mutex> lk(mu_);
      if (!HasWork()) {
        filling_ = false;
        if (whole_ && made_ >= frames_) break;  // done: the synthesizer and its font are freed
        settle_cv_.notify_all();
        work_cv_.wait(lk, [&] { return HasWork(); });
      }
      filling_ = true;
      if (cancel_) return;
      if (restart_) {
        restart_ = false;
        lo_ = hi_ = cursor_;
        made_ = 0;
        lk.unlock();
        if (!start()) {
          failed_ = true;
          return;
        }
        fresh = true;
        continue;
      }
      at = made_;
    }
    const uint64_t n = std::min(kBlockFrames, frames_ - at);
    int16_t* p = s16.data();
    if (fluid_synth_write_float(synth.get(), int(n), left.data(), 0, 1, right.data(), 0, 1) != FLUID_OK) {
      failed_ = true;
      return;
    }
    for (uint64_t f = 0; f < n; ++f) p[2 * f] = ToS16(left[f]), p[2 * f + 1] = ToS16(right[f]);
    // The player reads the file as it goes: a broken one stops it before the first note.
    if (fresh && frames_ > 4 * kBlockFrames && fluid_player_get_status(player.get()) == FLUID_PLAYER_DONE) {
      failed_ = true;
      return;
    }
    fresh = false;
    // A short fade at the cut: notes still sounding at the song's end stop without a click.
    for (uint64_t f = std::max(at, frames_ - fade); f < at + n; ++f)
      for (int c = 0; c < 2; ++c) {
        int16_t& s = p[(f - at) * 2 + uint64_t(c)];
        s = int16_t(s * int64_t(frames_ - f) / int64_t(fade));
      }
    const uint8_t* data = reinterpret_cast<const uint8_t*>(p);
    if (convert) {
      std::memcpy(conv.data(), p, size_t(n) * 4);
      cvt.buf = conv.data();
      cvt.len = int(n * 4);
      if (SDL_ConvertAudio(&cvt) != 0 || uint64_t(cvt.len_cvt) != n * uint64_t(frame_bytes_)) {
        failed_ = true;
        return;
      }
      data = conv.data();
    }
    std::lock_guard<std::mutex> lk(mu_);
    Store(at, data, n);
    made_ = at + n;
  }
}

}  // namespace plat
