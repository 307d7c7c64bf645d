// libFuzzer target: the .reg parser on any text; whatever it keeps must write back as a whole file
// that parses strictly to the same data, and write the same way again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/registry/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  plat::RegParse parsed = plat::ParseRegLenient(text);
  for (int line : parsed.skipped)
    if (line < 1) abort();
  if (auto strict = plat::ParseReg(text); strict.has_value() != parsed.skipped.empty()) abort();
  std::string written = plat::FormatReg(parsed.data);
  auto again = plat::ParseReg(written);
  if (!again || !(*again == parsed.data)) abort();
  if (plat::FormatReg(*again) != written) abort();
  return 0;
}
