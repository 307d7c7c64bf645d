// libFuzzer target: the MIDI renderer on any song, a second of it at most, whole or streamed in pieces.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/audio/media_info.h"
#include "platform/sdl/midi_render.h"
#include "platform/sdl/sdl_audio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string font = [] {
    std::string f = plat::FindSoundFont();
    if (f.empty()) abort();  // without a font nothing would be rendered: a fuzzer that tests nothing
    return f;
  }();
  // The channel renders songs the length reader accepts; the renderer must survive the rest too.
  const uint64_t ms = std::min<uint64_t>(plat::MidiDurationMs(data, size).value_or(300), 1000);
  const bool streamed = size % 2;  // a buffer of two blocks, or the whole song
  plat::MidiRender r(std::string(reinterpret_cast<const char*>(data), size), font, ms, {22050, 0x8010, 2},
                     streamed ? 0 : plat::MidiRender::kWholeSongCap);
  if (r.Frames() != ms * 22050 / 1000) abort();
  std::vector<uint8_t> piece(1000 * 4);
  for (uint64_t at = 0; at < r.Frames(); at += 1000) {
    r.Settle();
    const bool ended = r.Read(piece.data(), piece.size());
    if (!r.Failed() && ended != (at + 1000 >= r.Frames())) abort();
  }
  if (r.BufferBytes() > (streamed ? 2048 * 4 : r.Frames() * 4)) abort();
  return 0;
}
