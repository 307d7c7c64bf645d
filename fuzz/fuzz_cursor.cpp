// libFuzzer target: the cursor text reader refuses or decodes any bytes; what it decodes writes back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "resources/cursor_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto img = ozzel::res::ParseCursorText(text);
  if (!img) return 0;
  if (img->w < 1 || img->h < 1 || img->w > ozzel::res::kMaxCursorSide || img->h > ozzel::res::kMaxCursorSide) abort();
  if (img->argb.size() != size_t(img->w) * size_t(img->h)) abort();
  if (img->hotspot.x < 0 || img->hotspot.y < 0 || img->hotspot.x >= img->w || img->hotspot.y >= img->h) abort();
  auto again = ozzel::res::ParseCursorText(ozzel::res::FormatCursorText(*img));
  if (!again || again->argb != img->argb || !(again->hotspot == img->hotspot)) abort();
  return 0;
}
