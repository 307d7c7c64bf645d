// Surface storage and clipped software drawing: fills, bitmap copies, colour-keyed copies, tiling.
#include "platform/gdi/canvas.h"

#include <algorithm>
#include <cstdint>

namespace plat {

Surface::Surface(int w, int h, Rgb fill) { Resize(w, h, fill); }

void Surface::Resize(int w, int h, Rgb fill) {
  w_ = std::max(0, w);
  h_ = std::max(0, h);
  if (w_ == 0 || h_ == 0) w_ = h_ = 0;
  px_.assign(size_t(w_) * size_t(h_), fill.packed());
}

namespace {

// Rectangles as 64-bit edges, so that huge sizes and offsets cannot overflow while clipping.
struct Box {
  int64_t l = 0, t = 0, r = 0, b = 0;
  bool empty() const { return r <= l || b <= t; }
  Box operator&(const Box& o) const {
    return {std::max(l, o.l), std::max(t, o.t), std::min(r, o.r), std::min(b, o.b)};
  }
};

Box BoxOf(const Rect& r, int64_t dx = 0, int64_t dy = 0) {
  int64_t w = std::max(0, r.w), h = std::max(0, r.h);
  return {r.left + dx, r.top + dy, r.left + dx + w, r.top + dy + h};
}

}  // namespace

Canvas::Canvas(Surface& s) : s_(s), clip_{0, 0, s.width(), s.height()} {}

void Canvas::Enter(const Rect& r) {
  Box b = BoxOf(r, origin_.x, origin_.y);
  Box c = b & BoxOf(clip_);
  // The origin moves even when nothing remains visible; the clip then stays empty.
  origin_ = {int(std::clamp<int64_t>(b.l, INT32_MIN / 2, INT32_MAX / 2)),
             int(std::clamp<int64_t>(b.t, INT32_MIN / 2, INT32_MAX / 2))};
  if (c.empty())
    clip_ = Rect{};
  else
    clip_ = Rect{int(c.l), int(c.t), int(c.r - c.l), int(c.b - c.t)};
}

namespace {

// Visible part of a destination box, in surface coordinates.
Box Visible(const Surface& s, const Rect& clip, const Box& dest) {
  return dest & BoxOf(clip) & Box{0, 0, s.width(), s.height()};
}

// Shared by Draw, DrawKeyed and DrawSurface: copies the part of the source rectangle that lies
// inside the source image, placed so that src.left/top lands on (x, y).
template <typename RowFn, typename PixelFn>
void Blit(Surface& s, Point origin, const Rect& clip, int sw, int sh, RowFn src_row, int x, int y,
          const Rect& src, PixelFn put) {
  Box sb = BoxOf(src) & Box{0, 0, sw, sh};
  if (sb.empty()) return;
  int64_t dx = int64_t(origin.x) + x - src.left;  // dest = source + (dx, dy)
  int64_t dy = int64_t(origin.y) + y - src.top;
  Box dest{sb.l + dx, sb.t + dy, sb.r + dx, sb.b + dy};
  Box v = Visible(s, clip, dest);
  if (v.empty()) return;
  for (int64_t py = v.t; py < v.b; ++py) {
    const uint32_t* in = src_row(int(py - dy)) + (v.l - dx);
    uint32_t* out = s.row(int(py)) + v.l;
    put(out, in, size_t(v.r - v.l));
  }
}

void CopySpan(uint32_t* out, const uint32_t* in, size_t n) { std::copy(in, in + n, out); }

}  // namespace

void Canvas::Fill(const Rect& r, Rgb c) {
  Box v = Visible(s_, clip_, BoxOf(r, origin_.x, origin_.y));
  if (v.empty()) return;
  uint32_t p = c.packed();
  for (int64_t y = v.t; y < v.b; ++y) std::fill(s_.row(int(y)) + v.l, s_.row(int(y)) + v.r, p);
}

void Canvas::Draw(const Bitmap& bmp, int x, int y) {
  Draw(bmp, x, y, Rect{0, 0, bmp.width(), bmp.height()});
}

void Canvas::Draw(const Bitmap& bmp, int x, int y, const Rect& src_rect) {
  if (bmp.empty()) return;
  Blit(s_, origin_, clip_, bmp.width(), bmp.height(), [&](int r) { return bmp.row(r); }, x, y, src_rect,
       CopySpan);
}

void Canvas::DrawKeyed(const Bitmap& bmp, int x, int y, Rgb key) {
  DrawKeyed(bmp, x, y, Rect{0, 0, bmp.width(), bmp.height()}, key);
}

void Canvas::DrawKeyed(const Bitmap& bmp, int x, int y, const Rect& src_rect, Rgb key) {
  if (bmp.empty()) return;
  uint32_t k = key.packed();
  Blit(s_, origin_, clip_, bmp.width(), bmp.height(), [&](int r) { return bmp.row(r); }, x, y, src_rect,
       [k](uint32_t* out, const uint32_t* in, size_t n) {
         for (size_t i = 0; i < n; ++i)
           if ((in[i] & 0xFFFFFFu) != k) out[i] = in[i] & 0xFFFFFFu;
       });
}

void Canvas::DrawSurface(const Surface& src, int x, int y) {
  if (src.width() <= 0 || src.height() <= 0) return;
  Blit(s_, origin_, clip_, src.width(), src.height(), [&](int r) { return src.row(r); }, x, y,
       Rect{0, 0, src.width(), src.height()}, CopySpan);
}

void Canvas::Tile(const Bitmap& bmp, const Rect& r) {
  if (bmp.empty()) return;
  Box dest = BoxOf(r, origin_.x, origin_.y);
  Box v = Visible(s_, clip_, dest);
  if (v.empty()) return;
  const int64_t bw = bmp.width(), bh = bmp.height();
  for (int64_t py = v.t; py < v.b; ++py) {
    const uint32_t* in = bmp.row(int((py - dest.t) % bh));
    uint32_t* out = s_.row(int(py));
    int64_t px = v.l;
    int64_t sx = (px - dest.l) % bw;
    while (px < v.r) {
      int64_t n = std::min(bw - sx, v.r - px);
      std::copy(in + sx, in + sx + n, out + px);
      px += n;
      sx = 0;
    }
  }
}

}  // namespace plat
