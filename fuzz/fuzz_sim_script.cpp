// libFuzzer target: the simulator's script parser on arbitrary text (scripts arrive on stdin).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sim/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  ozzel::sim::Script s = ozzel::sim::ParseScript(text);
  // A refused script runs nothing; an accepted one only holds what its lines said.
  if (s.error && !s.commands.empty()) abort();
  for (const auto& c : s.commands) {
    if (c.line < 1 || c.x < -100000 || c.x > 100000 || c.y < -100000 || c.y > 100000) abort();
    if (c.kind == ozzel::sim::Command::Kind::Key && c.ch > 0x10FFFF) abort();
    if (c.text.size() > size || c.control.size() > size) abort();
  }
  return 0;
}
