// Choosing the scale, logical sizes and positions, and drawing logical pixels sharply onto physical ones.
#include "platform/scale.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <stdexcept>

#include "platform/ui/screen.h"

namespace plat {

int FittingScale(Size physical) { return std::max(1, std::min(physical.w / 640, physical.h / 480)); }

namespace {

ScreenScale Reduced(int64_t num, int64_t den) {
  if (num < den) return {};  // smaller than the game: shown at 1 and cut by the edge, never shrunk
  const int64_t g = std::gcd(num, den);
  return {int(num / g), int(den / g)};
}

// floor(a / b) for b > 0, also for negative a.
int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// a with weight w (of 256) and b with the rest, each of the four bytes apart; exact at w = 0 and 256.
inline uint32_t Mix(uint32_t a, uint32_t b, uint32_t w) {
  const uint32_t v = 256 - w;
  const uint32_t rb = (((a & 0x00FF00FFu) * w + (b & 0x00FF00FFu) * v + 0x00800080u) >> 8) & 0x00FF00FFu;
  const uint32_t ag = (((a >> 8) & 0x00FF00FFu) * w + ((b >> 8) & 0x00FF00FFu) * v + 0x00800080u) & 0xFF00FF00u;
  return rb | ag;
}

}  // namespace

ScreenScale FillScale(Size physical) {
  // W / 640 against H / 480, compared without division.
  if (int64_t(physical.w) * 480 < int64_t(physical.h) * 640) return Reduced(physical.w, 640);
  return Reduced(physical.h, 480);
}

bool WindowedMode() {
  const char* v = std::getenv("OZZEL_WINDOWED");
  return v && std::strcmp(v, "1") == 0;
}

ScaleRequest ParseScale(const char* text) {
  if (!text || !*text || std::strcmp(text, "fill") == 0) return {};
  long k = 0;
  const char* p = text;
  for (; *p >= '0' && *p <= '9'; ++p) k = std::min(k * 10 + (*p - '0'), 1000000L);  // saturates: too big is too big
  if (*p || k < 1)
    throw std::runtime_error(
        std::string("OZZEL_SCALE must be \"fill\" or a whole number of 1 or more (2 doubles every pixel), not \"") + text +
        "\"");
  return {int(k)};
}

ScreenScale ChooseScale(Size physical, ScaleRequest requested, std::string* note) {
  if (requested.k <= 0) return FillScale(physical);
  const int fits = FittingScale(physical);
  if (requested.k > fits) {
    if (note)
      *note = "OZZEL_SCALE=" + std::to_string(requested.k) + " does not fit the " + std::to_string(physical.w) + "x" +
              std::to_string(physical.h) + " display; using " + std::to_string(fits);
    return {fits, 1};
  }
  return {requested.k, 1};
}

Size LogicalSize(Size physical, ScreenScale s) {
  return {int(CeilDiv(int64_t(physical.w) * s.den, s.num)), int(CeilDiv(int64_t(physical.h) * s.den, s.num))};
}

Point ToLogical(Point physical, ScreenScale s) {
  // The centre of physical pixel p lies at (p + 1/2) / s logical pixels.
  return {int(FloorDiv((2 * int64_t(physical.x) + 1) * s.den, 2 * int64_t(s.num))),
          int(FloorDiv((2 * int64_t(physical.y) + 1) * s.den, 2 * int64_t(s.num)))};
}

Rect ToPhysical(Rect r, ScreenScale s) {
  const int64_t l = FloorDiv(int64_t(r.left) * s.num, s.den), t = FloorDiv(int64_t(r.top) * s.num, s.den);
  const int64_t rr = CeilDiv(int64_t(r.right()) * s.num, s.den), b = CeilDiv(int64_t(r.bottom()) * s.num, s.den);
  return {int(l), int(t), int(rr - l), int(b - t)};
}

Scaler::Scaler(ScreenScale s, Size physical) : s_(s), phys_(physical) {
  // Physical pixel p spans [p den, (p + 1) den) in units of 1/num logical pixel: at most two logical
  // pixels, as a scale is never below 1.
  auto taps = [&](int n) {
    std::vector<Tap> t(size_t(std::max(n, 0)));
    for (int p = 0; p < n; ++p) {
      const int64_t a = int64_t(p) * s.den, b = a + s.den;
      const int64_t first = a / s.num, edge = (first + 1) * s.num;
      const uint32_t w = b <= edge ? 256u : uint32_t(((edge - a) * 256 + s.den / 2) / s.den);
      t[size_t(p)] = {int(first), w};
    }
    return t;
  };
  if (!s.Whole()) {
    xs_ = taps(physical.w);
    ys_ = taps(physical.h);
  }
}

void Scaler::Row(const uint32_t* in, int src_w, int x0, int x1, uint32_t* out) const {
  for (int x = x0; x < x1; ++x) {
    const Tap t = xs_[size_t(x)];
    const uint32_t a = in[std::min(t.first, src_w - 1)];
    *out++ = t.w == 256 ? a : Mix(a, in[std::min(t.first + 1, src_w - 1)], t.w);
  }
}

void Scaler::Draw(const uint32_t* src, Size src_size, int src_stride, Rect r, Rect clip, uint8_t* dst, int dst_pitch) {
  r = r.intersect({0, 0, src_size.w, src_size.h});
  const Rect phys = ToPhysical(r, s_).intersect(clip).intersect({0, 0, phys_.w, phys_.h});
  if (phys.empty()) return;
  const size_t row_bytes = size_t(phys.w) * 4;
  auto out_row = [&](int py) {
    return reinterpret_cast<uint32_t*>(dst + size_t(py - clip.top) * dst_pitch + size_t(phys.left - clip.left) * 4);
  };

  if (s_.Whole()) {
    const int k = s_.num;
    for (int py = phys.top; py < phys.bottom();) {
      const int ly = std::min(py / k, src_size.h - 1);
      // One physical row of this logical row, then copies of it for the rest of its block.
      uint32_t* out = out_row(py);
      const uint32_t* in = src + size_t(ly) * src_stride;
      if (k == 1) {
        std::memcpy(out, in + phys.left, row_bytes);
      } else {
        // A block cut by the clip on the left, whole blocks, then one cut on the right (the source's
        // last column repeats where the display reaches past it).
        const int last = src_size.w - 1;
        int px = phys.left;
        for (; px < phys.right() && px % k; ++px) *out++ = in[std::min(px / k, last)];
        for (; px + k <= phys.right(); px += k) {
          const uint32_t v = in[std::min(px / k, last)];
          for (int i = 0; i < k; ++i) *out++ = v;
        }
        for (; px < phys.right(); ++px) *out++ = in[std::min(px / k, last)];
      }
      const int block_end = std::min(phys.bottom(), (ly + 1) * k);
      for (const uint32_t* first = out_row(py++); py < block_end; ++py) std::memcpy(out_row(py), first, row_bytes);
    }
    return;
  }

  // Each logical row is filtered across once; physical rows inside it are copies, rows on an edge a mix of two.
  for (auto& row : rows_) row.resize(size_t(phys.w));
  rows_y_[0] = rows_y_[1] = -1;
  auto filtered = [&](int ly) -> const uint32_t* {
    ly = std::min(ly, src_size.h - 1);
    for (int i = 0; i < 2; ++i)
      if (rows_y_[i] == ly) return rows_[i].data();
    // Rows are asked for top to bottom, so the lower-numbered one is never needed again.
    const int i = rows_y_[0] < rows_y_[1] ? 0 : 1;
    Row(src + size_t(ly) * src_stride, src_size.w, phys.left, phys.right(), rows_[i].data());
    rows_y_[i] = ly;
    return rows_[i].data();
  };
  for (int py = phys.top; py < phys.bottom(); ++py) {
    const Tap t = ys_[size_t(py)];
    uint32_t* out = out_row(py);
    const uint32_t* a = filtered(t.first);
    if (t.w == 256) {
      std::memcpy(out, a, row_bytes);
    } else {
      const uint32_t* b = filtered(t.first + 1);  // evicts a row above a, never a itself
      for (int x = 0; x < phys.w; ++x) out[x] = Mix(a[x], b[x], t.w);
    }
  }
}

CursorImage ScaleCursor(const CursorImage& img, ScreenScale s) {
  CursorImage out;
  const Rect phys = ToPhysical({0, 0, img.w, img.h}, s);
  out.w = phys.w;
  out.h = phys.h;
  out.argb.resize(size_t(out.w) * out.h);
  out.hotspot = {int((int64_t(img.hotspot.x) * 2 + 1) * s.num / (2 * s.den)),
                 int((int64_t(img.hotspot.y) * 2 + 1) * s.num / (2 * s.den))};
  Scaler scaler(s, {out.w, out.h});
  if (s.Whole()) {
    scaler.Draw(img.argb.data(), {img.w, img.h}, img.w, {0, 0, img.w, img.h}, {0, 0, out.w, out.h},
                reinterpret_cast<uint8_t*>(out.argb.data()), out.w * 4);
    return out;
  }
  // Transparent pixels must not darken their neighbours: filter with colours weighted by alpha.
  std::vector<uint32_t> pre(img.argb.size());
  for (size_t i = 0; i < pre.size(); ++i) {
    const uint32_t c = img.argb[i], a = c >> 24;
    auto ch = [&](int shift) { return (((c >> shift) & 0xFF) * a + 127) / 255 << shift; };
    pre[i] = a << 24 | ch(16) | ch(8) | ch(0);
  }
  scaler.Draw(pre.data(), {img.w, img.h}, img.w, {0, 0, img.w, img.h}, {0, 0, out.w, out.h},
              reinterpret_cast<uint8_t*>(out.argb.data()), out.w * 4);
  for (uint32_t& c : out.argb) {
    const uint32_t a = c >> 24;
    if (a == 0) {
      c = 0;
      continue;
    }
    auto ch = [&](int shift) { return std::min(255u, (((c >> shift) & 0xFF) * 255 + a / 2) / a) << shift; };
    c = a << 24 | ch(16) | ch(8) | ch(0);
  }
  return out;
}

}  // namespace plat
