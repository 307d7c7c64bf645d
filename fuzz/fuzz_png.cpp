// libFuzzer target: PNG loading (and its inflate) refuses or decodes any bytes into a whole bitmap.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plat::Bitmap b;
  try {
    b = plat::Bitmap::LoadPngMemory(data, size);
  } catch (const plat::GdiError&) {
    return 0;
  }
  if (b.empty() || b.width() > 16384 || b.height() > 16384) abort();
  if (b.pixels().size() != size_t(b.width()) * size_t(b.height())) abort();
  if (!b.PixelAt(b.width() - 1, b.height() - 1) || b.PixelAt(b.width(), 0)) abort();
  return 0;
}
