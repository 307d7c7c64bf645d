// libFuzzer target: the pack of a family's takes on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "media/voice_pack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string error;
  if (auto pack = ozzel::ReadPack(data, size, &error)) {
    // What it read must write back to the same bytes.
    if (ozzel::WritePack(*pack) != std::vector<uint8_t>(data, data + size)) abort();
  }
  return 0;
}
