// libFuzzer target: the .reg parser on any text; what it accepts must write back and parse to the same data.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/registry/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  auto parsed = plat::ParseReg(text);
  if (!parsed) return 0;
  std::string written = plat::FormatReg(*parsed);
  auto again = plat::ParseReg(written);
  if (!again || !(*again == *parsed)) abort();
  if (plat::FormatReg(*again) != written) abort();
  return 0;
}
