// Offline MIDI rendering with FluidSynth: the player driven by the samples written, not by a clock.
#include "platform/sdl/midi_render.h"

#include <SDL.h>
#include <fluidsynth.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace plat {

int PcmFormat::FrameBytes() const { return channels * int(SDL_AUDIO_BITSIZE(sdl_format) / 8); }

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
constexpr int kBlockFrames = 1024;

}  // namespace

MidiRender::MidiRender(std::string midi, std::string sound_font, uint64_t length_ms, PcmFormat out)
    : midi_(std::move(midi)), font_(std::move(sound_font)), length_ms_(length_ms), out_(out) {
  QuietFluidSynth();
  thread_ = std::thread([this] { Run(); });
}

MidiRender::~MidiRender() {
  cancel_ = true;
  if (thread_.joinable()) thread_.join();
}

const std::vector<uint8_t>* MidiRender::Wait() {
  if (thread_.joinable()) thread_.join();
  return ok_ ? &pcm_ : nullptr;
}

void MidiRender::Run() {
  if (font_.empty() || out_.rate <= 0) return;
  fluid_settings_t* settings = new_fluid_settings();
  if (!settings) return;
  fluid_settings_setnum(settings, "synth.sample-rate", out_.rate);
  fluid_settings_setnum(settings, "synth.gain", kGain);
  fluid_settings_setstr(settings, "player.timing-source", "sample");  // as fast as we can write
  fluid_settings_setint(settings, "synth.lock-memory", 0);
  // Only the instruments the song uses are read from the font, not all of its megabytes.
  fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
  fluid_synth_t* synth = new_fluid_synth(settings);
  fluid_player_t* player = synth ? new_fluid_player(synth) : nullptr;
  const uint64_t frames = length_ms_ * uint64_t(out_.rate) / 1000;
  // Rendered straight into the channel's buffer: a song is megabytes, and one copy is enough.
  std::vector<uint8_t>& out = pcm_;
  bool ok = player && fluid_synth_sfload(synth, font_.c_str(), 1) != FLUID_FAILED &&
            fluid_player_add_mem(player, midi_.data(), midi_.size()) == FLUID_OK &&
            fluid_player_play(player) == FLUID_OK;
  if (ok) {
    out.resize(size_t(frames) * 2 * sizeof(int16_t));
    auto* s16 = reinterpret_cast<int16_t*>(out.data());
    for (uint64_t at = 0; at < frames && ok; at += kBlockFrames) {
      if (cancel_) ok = false;
      const int n = int(std::min<uint64_t>(kBlockFrames, frames - at));
      int16_t* p = s16 + at * 2;
      if (ok && fluid_synth_write_s16(synth, n, p, 0, 2, p, 1, 2) != FLUID_OK) ok = false;
      // The player reads the file as it goes: a broken one stops it before the first note.
      if (ok && at == 0 && frames > 4 * uint64_t(kBlockFrames) && fluid_player_get_status(player) == FLUID_PLAYER_DONE)
        ok = false;
    }
  }
  if (player) {
    fluid_player_stop(player);
    delete_fluid_player(player);
  }
  if (synth) delete_fluid_synth(synth);
  delete_fluid_settings(settings);
  if (!ok) {
    std::vector<uint8_t>().swap(out);
    return;
  }

  // A short fade at the cut: notes still sounding at the song's end stop without a click.
  const uint64_t fade = std::min<uint64_t>(frames, uint64_t(out_.rate) / 200);
  for (uint64_t i = 0; i < fade; ++i) {
    const uint64_t f = frames - fade + i;
    auto* s16 = reinterpret_cast<int16_t*>(out.data());
    for (int c = 0; c < 2; ++c) s16[f * 2 + c] = int16_t(s16[f * 2 + c] * int64_t(fade - i) / int64_t(fade));
  }

  if (out_.sdl_format != AUDIO_S16SYS || out_.channels != 2) {
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, AUDIO_S16SYS, 2, out_.rate, out_.sdl_format, Uint8(out_.channels), out_.rate) < 0) return;
    const size_t bytes = out.size();
    out.resize(bytes * size_t(std::max(1, cvt.len_mult)));
    cvt.buf = out.data();
    cvt.len = int(bytes);
    if (SDL_ConvertAudio(&cvt) != 0) return;
    out.resize(size_t(cvt.len_cvt));
    out.shrink_to_fit();
  }
  ok_ = true;
}

}  // namespace plat
