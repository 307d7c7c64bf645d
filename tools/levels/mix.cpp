// The program's mixer run faster than real time: the post-mix hook collects every frame the device gets.
#include "tools/levels/mix.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "platform/audio/media_info.h"
#include "platform/fs/fs.h"
#include "platform/sdl/midi_render.h"
#include "platform/sdl/sdl_audio.h"
#include "tools/datagen/loudness.h"

namespace levels {

namespace {

constexpr int kRate = 22050;

struct Capture {
  std::mutex m;
  std::vector<int16_t> frames;  // interleaved stereo
  size_t wanted = 0;
};

void Collect(void* user, Uint8* stream, int len) {
  auto* c = static_cast<Capture*>(user);
  std::lock_guard<std::mutex> lock(c->m);
  if (c->frames.size() >= c->wanted * 2) return;
  const auto* s = reinterpret_cast<const int16_t*>(stream);
  // The device runs ahead while files load and start: its silence before the first sound is not kept.
  if (c->frames.empty() && std::all_of(s, s + len / 2, [](int16_t v) { return v == 0; })) return;
  c->frames.insert(c->frames.end(), s, s + len / 2);
}

struct Mixer {
  Mixer() {
    // The disk driver writes as fast as the mixer can fill its buffers when told not to wait.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    SDL_LogSetPriority(SDL_LOG_CATEGORY_AUDIO, SDL_NUM_LOG_PRIORITIES);  // its warning about the disk driver
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) throw std::runtime_error(SDL_GetError());
    if (Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, 1024) != 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      throw std::runtime_error(std::string("cannot open the mixer: ") + Mix_GetError());
    }
    Mix_AllocateChannels(4);
  }
  ~Mixer() {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
};

double Seconds(const std::string& path, bool midi) {
  const auto bytes = plat::fs::ReadFile(path);
  if (!bytes) throw std::runtime_error("cannot read " + path);
  const auto* d = reinterpret_cast<const uint8_t*>(bytes->data());
  if (midi) {
    const auto ms = plat::MidiDurationMs(d, bytes->size());
    if (!ms) throw std::runtime_error("not a MIDI file: " + path);
    return double(*ms) / 1000;
  }
  const auto w = plat::ParseWav(d, bytes->size());
  if (!w) throw std::runtime_error("not a PCM WAV file: " + path);
  return double(w->duration_ms) / 1000;
}

// Plays the music from its start and/or the recording (repeated when loop) and returns seconds of
// the device's stereo output split into channels, as floats.
std::vector<datagen::Pcm> Render(const std::string& midi, const std::string& wav, bool loop, double seconds) {
  Capture cap;
  cap.wanted = size_t(seconds * kRate);
  // The song as the program sounds it: rendered by its own renderer, then played on a channel.
  std::unique_ptr<plat::MidiRender> render;
  std::vector<uint8_t> pcm;
  Mix_Chunk song{};
  if (!midi.empty()) {
    const std::string font = plat::FindSoundFont();
    if (font.empty()) throw std::runtime_error("no General MIDI sound font (package timgm6mb-soundfont)");
    const auto bytes = plat::fs::ReadFile(midi);
    if (!bytes) throw std::runtime_error("cannot read " + midi);
    render = std::make_unique<plat::MidiRender>(*bytes, font, uint64_t(Seconds(midi, true) * 1000),
                                                plat::PcmFormat{kRate, AUDIO_S16SYS, 2});
    // As much of it as is listened to, read in pieces the render keeps ahead of.
    pcm.assign(size_t(std::min<uint64_t>(render->Frames(), cap.wanted)) * 4, 0);
    for (size_t at = 0; at < pcm.size(); at += 4096 * 4) {
      render->Settle();
      render->Read(pcm.data() + at, std::min<size_t>(4096 * 4, pcm.size() - at));
    }
    if (render->Failed()) throw std::runtime_error("cannot render " + midi);
    song.abuf = pcm.data();
    song.alen = Uint32(pcm.size());
    song.volume = MIX_MAX_VOLUME;
  }
  Mix_Chunk* chunk = wav.empty() ? nullptr : Mix_LoadWAV(wav.c_str());
  if (!wav.empty() && !chunk) throw std::runtime_error("cannot load " + wav + ": " + Mix_GetError());
  // Both start within a buffer or two of each other: loading, the slow part, is done.
  Mix_SetPostMix(Collect, &cap);
  if (render && Mix_PlayChannel(1, &song, 0) < 0) throw std::runtime_error("cannot play " + midi + ": " + Mix_GetError());
  if (chunk && Mix_PlayChannel(0, chunk, loop ? -1 : 0) < 0)
    throw std::runtime_error("cannot play " + wav + ": " + Mix_GetError());
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(cap.m);
      if (cap.frames.size() >= cap.wanted * 2) break;
    }
    SDL_Delay(5);
  }
  Mix_SetPostMix(nullptr, nullptr);
  Mix_HaltChannel(-1);
  if (chunk) Mix_FreeChunk(chunk);
  if (const char* dump = std::getenv("OZZEL_LEVELS_DUMP")) {
    std::FILE* f = std::fopen((std::string(dump) + "-" + std::to_string(cap.frames.size()) + ".raw").c_str(), "wb");
    if (f) std::fwrite(cap.frames.data(), 2, cap.frames.size(), f), std::fclose(f);
  }
  std::vector<datagen::Pcm> out(2, datagen::Pcm(cap.wanted));
  for (size_t i = 0; i < cap.wanted; ++i)
    for (int c = 0; c < 2; ++c) out[c][i] = float(cap.frames[2 * i + c] / 32768.0);
  return out;
}

}  // namespace

MixLevels MeasureMix(const std::string& midi_path, const std::string& wav_path) {
  // One mixer for all three takes: SDL2_mixer does not come back cleanly from Mix_Quit.
  const Mixer mixer;
  MixLevels r;
  r.seconds = Seconds(midi_path, true);
  const double speech_s = Seconds(wav_path, false);
  const auto music = Render(midi_path, "", false, r.seconds);
  r.music_lufs = datagen::IntegratedLoudness(music, kRate);
  r.music_loudest = datagen::MaxShortTermLoudness(music, kRate);
  r.speech_lufs = datagen::IntegratedLoudness(Render("", wav_path, false, speech_s + 0.2), kRate);
  const auto both = Render(midi_path, wav_path, true, r.seconds);
  r.mix_peak_db = std::max(datagen::PeakDb(both[0]), datagen::PeakDb(both[1]));
  return r;
}

}  // namespace levels
