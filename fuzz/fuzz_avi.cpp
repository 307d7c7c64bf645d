// libFuzzer target: the AVI reader must reject or decode any input without faults or huge allocations.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/animate/avi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string err;
  auto clip = plat::ParseAvi(data, size, &err);
  if (clip) {
    for (const auto& f : clip->frames) {
      if (f.empty()) __builtin_trap();
      (void)f.PixelAt(f.width() - 1, f.height() - 1);
    }
  } else if (err.empty()) {
    __builtin_trap();  // a refusal always says why
  }
  return 0;
}
