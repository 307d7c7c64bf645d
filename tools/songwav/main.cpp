// ozzel-songwav SONG.mid OUT.wav: the song as the desktop program hears it, exactly as long as its tempo map says.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/audio/media_info.h"
#include "platform/fs/fs.h"
#include "platform/sdl/midi_render.h"
#include "platform/sdl/sdl_audio.h"

namespace {

void Put(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: ozzel-songwav SONG.mid OUT.wav\n");
    return 2;
  }
  try {
    const auto midi = plat::fs::ReadFile(argv[1]);
    if (!midi) throw std::runtime_error(std::string("cannot read ") + argv[1]);
    const auto length = plat::MidiDurationMs(reinterpret_cast<const uint8_t*>(midi->data()), midi->size());
    if (!length) throw std::runtime_error(std::string("not a song: ") + argv[1]);
    const std::string font = plat::FindSoundFont();
    if (font.empty()) throw std::runtime_error("no General MIDI sound font (package timgm6mb-soundfont)");
    constexpr int kRate = 44100;
    plat::MidiRender render(*midi, font, *length, plat::PcmFormat{kRate, 0x8010, 2});
    std::vector<uint8_t> pcm(size_t(render.Frames()) * 4);
    for (size_t at = 0; at < pcm.size(); at += 16384) {
      render.Settle();
      render.Read(pcm.data() + at, std::min<size_t>(16384, pcm.size() - at));
    }
    if (render.Failed()) throw std::runtime_error(std::string("cannot render ") + argv[1]);
    std::string wav = "RIFF";
    Put(wav, uint32_t(36 + pcm.size()), 4);
    wav += "WAVEfmt ";
    Put(wav, 16, 4), Put(wav, 1, 2), Put(wav, 2, 2), Put(wav, kRate, 4), Put(wav, kRate * 4, 4), Put(wav, 4, 2),
        Put(wav, 16, 2);
    wav += "data";
    Put(wav, uint32_t(pcm.size()), 4);
    wav.append(reinterpret_cast<const char*>(pcm.data()), pcm.size());
    if (!plat::fs::WriteFileAtomic(argv[2], wav.data(), wav.size(), false)) throw std::runtime_error(std::string("cannot write ") + argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ozzel-songwav: %s\n", e.what());
    return 1;
  }
  return 0;
}
