// Bitmaps in memory: construction and exact pixel access.
#include "platform/gdi/bitmap.h"

namespace plat {

Bitmap::Bitmap(int w, int h, Rgb fill) {
  if (w > 0 && h > 0) {
    w_ = w;
    h_ = h;
    pixels_.assign(size_t(w) * size_t(h), fill.packed());
  }
}

std::optional<Rgb> Bitmap::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return std::nullopt;
  return Rgb::FromPacked(row(y)[x]);
}

void Bitmap::SetPixel(int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
  row(y)[x] = c.packed();
}

}  // namespace plat
