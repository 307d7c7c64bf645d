// libFuzzer target: the Standard MIDI File reader and its rewrite for the synthesiser on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/audio/media_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto ms = plat::MidiDurationMs(data, size);
  const auto playable = plat::PlayableMidi(data, size);
  // Both accept the same files; the rewrite keeps the length and is already in its own form.
  if (ms.has_value() != playable.has_value()) abort();
  if (!playable) return 0;
  if (plat::MidiDurationMs(playable->data(), playable->size()) != ms) abort();
  const auto again = plat::PlayableMidi(playable->data(), playable->size());
  if (!again || *again != *playable) abort();
  return 0;
}
