// libFuzzer target: the medium's texts of its spoken lines on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "media/line_texts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto texts = ozzel::ParseLineTexts(data, size);
  if (texts.size() > ozzel::kMaxLineTexts) abort();
  for (const auto& [name, text] : texts)
    if (name.empty() || name.find('\t') != std::string::npos || text.empty() || text.size() > ozzel::kMaxLineTextBytes) abort();
  return 0;
}
