// libFuzzer target: the Standard MIDI File duration reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "platform/audio/media_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  volatile auto ms = plat::MidiDurationMs(data, size);
  (void)ms;
  return 0;
}
