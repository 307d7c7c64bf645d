// Choosing the scale, logical sizes and positions, and the nearest-neighbour k × k block copy.
#include "platform/sdl/scale.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/ui/screen.h"

namespace plat {

int FittingScale(Size physical) { return std::max(1, std::min(physical.w / 640, physical.h / 480)); }

int ParseScale(const char* text) {
  if (!text || !*text) return 0;
  long k = 0;
  const char* p = text;
  for (; *p >= '0' && *p <= '9'; ++p) k = std::min(k * 10 + (*p - '0'), 1000000L);  // saturates: too big is too big
  if (*p || k < 1)
    throw std::runtime_error(std::string("OZZEL_SCALE must be a whole number of 1 or more (2 doubles every pixel), not \"") +
                             text + "\"");
  return int(k);
}

int ChooseScale(Size physical, int requested, std::string* note) {
  const int fits = FittingScale(physical);
  if (requested <= 0) return fits;
  if (requested > fits) {
    if (note)
      *note = "OZZEL_SCALE=" + std::to_string(requested) + " does not fit the " + std::to_string(physical.w) + "x" +
              std::to_string(physical.h) + " display; using " + std::to_string(fits);
    return fits;
  }
  return requested;
}

Size LogicalSize(Size physical, int k) { return {(physical.w + k - 1) / k, (physical.h + k - 1) / k}; }

namespace {
int FloorDiv(int a, int k) { return a >= 0 ? a / k : -((-a + k - 1) / k); }
}  // namespace

Point ToLogical(Point physical, int k) { return {FloorDiv(physical.x, k), FloorDiv(physical.y, k)}; }

void ScaleBlocks(const uint32_t* src, int src_stride, Rect r, int k, Rect clip, uint8_t* dst, int dst_pitch) {
  const Rect phys = Rect{r.left * k, r.top * k, r.w * k, r.h * k}.intersect(clip);
  if (phys.empty()) return;
  const size_t row_bytes = size_t(phys.w) * 4;
  auto out_row = [&](int py) { return dst + size_t(py - clip.top) * dst_pitch + size_t(phys.left - clip.left) * 4; };
  for (int py = phys.top; py < phys.bottom();) {
    const int ly = py / k;
    // One physical row of this logical row, then copies of it for the rest of its block.
    auto* out = reinterpret_cast<uint32_t*>(out_row(py));
    const uint32_t* in = src + size_t(ly) * src_stride;
    if (k == 1) {
      std::memcpy(out, in + phys.left, row_bytes);
    } else {
      int px = phys.left;
      uint32_t* o = out;
      // A block cut by the clip on the left, whole blocks, then one cut on the right.
      for (; px < phys.right() && px % k; ++px) *o++ = in[px / k];
      for (; px + k <= phys.right(); px += k) {
        const uint32_t v = in[px / k];
        for (int i = 0; i < k; ++i) *o++ = v;
      }
      for (; px < phys.right(); ++px) *o++ = in[px / k];
    }
    const int block_end = std::min(phys.bottom(), (ly + 1) * k);
    for (++py; py < block_end; ++py) std::memcpy(out_row(py), out, row_bytes);
  }
}

CursorImage ScaleCursor(const CursorImage& img, int k) {
  CursorImage out;
  out.w = img.w * k;
  out.h = img.h * k;
  out.argb.resize(size_t(out.w) * out.h);
  ScaleBlocks(img.argb.data(), img.w, {0, 0, img.w, img.h}, k, {0, 0, out.w, out.h},
              reinterpret_cast<uint8_t*>(out.argb.data()), out.w * 4);
  out.hotspot = {img.hotspot.x * k + k / 2, img.hotspot.y * k + k / 2};
  return out;
}

}  // namespace plat
