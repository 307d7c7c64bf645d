// libFuzzer target: a data medium's stamp on any bytes; a language it finds is one the program has words for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "game/words.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string code = ozzel::game::StampLanguage(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!code.empty() && !ozzel::game::WordsFor(code)) abort();
  return 0;
}
