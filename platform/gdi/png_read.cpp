// Reading PNG pictures into exact bitmaps: the web site's medium carries its pictures as PNG under their BMP names.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/fs/fs.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/inflate.h"
#include "platform/gdi/png.h"

namespace plat {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr int64_t kMaxSide = 16384;
constexpr int64_t kMaxPixels = 64ll << 20;

uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

[[noreturn]] void Fail(const std::string& why) { throw GdiError("PNG: " + why); }

int Paeth(int a, int b, int c) {
  const int p = a + b - c, pa = p > a ? p - a : a - p, pb = p > b ? p - b : b - p, pc = p > c ? p - c : c - p;
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

}  // namespace

bool Bitmap::IsPng(const uint8_t* data, size_t size) {
  return data && size >= 8 && std::memcmp(data, kSignature, 8) == 0;
}

Bitmap Bitmap::LoadPngMemory(const uint8_t* data, size_t size) {
  if (!IsPng(data, size)) Fail("not a PNG file");
  size_t at = 8;
  int64_t w = 0, h = 0;
  int depth = 0, type = -1;
  uint32_t lut[256] = {};
  int palette = 0;
  std::vector<uint8_t> idat;
  bool ended = false;
  while (!ended) {
    if (size - at < 12) Fail("truncated");
    const uint32_t len = Be32(data + at);
    if (len > size - at - 12) Fail("truncated chunk");
    const uint8_t* tag = data + at + 4;
    const uint8_t* body = tag + 4;
    if (png::Crc32(tag, len + 4) != Be32(body + len)) Fail("bad checksum");
    const bool first = at == 8;
    at += 12 + size_t(len);
    if (first != (std::memcmp(tag, "IHDR", 4) == 0)) Fail("IHDR must come first");
    if (first) {
      if (len != 13) Fail("bad IHDR");
      w = Be32(body), h = Be32(body + 4), depth = body[8], type = body[9];
      if (w <= 0 || h <= 0) Fail("empty image");
      if (w > kMaxSide || h > kMaxSide || w * h > kMaxPixels) Fail("image too large");
      const bool ok = (type == 0 && (depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16)) ||
                      (type == 3 && (depth == 1 || depth == 2 || depth == 4 || depth == 8)) ||
                      ((type == 2 || type == 4 || type == 6) && (depth == 8 || depth == 16));
      if (!ok) Fail("unsupported colour type or depth");
      if (body[10] != 0 || body[11] != 0) Fail("unknown compression or filter method");
      if (body[12] != 0) Fail("interlaced pictures are not read");
    } else if (!std::memcmp(tag, "PLTE", 4)) {
      if (len % 3 || len > 768) Fail("bad palette");
      palette = int(len / 3);
      for (int i = 0; i < palette; ++i) lut[i] = Rgb{body[3 * i], body[3 * i + 1], body[3 * i + 2]}.packed();
    } else if (!std::memcmp(tag, "IDAT", 4)) {
      idat.insert(idat.end(), body, body + len);
    } else if (!std::memcmp(tag, "IEND", 4)) {
      ended = true;
    } else if (!(tag[0] & 0x20)) {
      Fail("unknown critical chunk");
    }
  }
  if (type == 3 && palette == 0) Fail("palette missing");
  const int channels = type == 2 ? 3 : type == 4 ? 2 : type == 6 ? 4 : 1;
  const size_t pixel_bytes = std::max(1, channels * depth / 8);
  const size_t row_bytes = (size_t(w) * size_t(channels * depth) + 7) / 8;
  const size_t expected = size_t(h) * (row_bytes + 1);
  std::vector<uint8_t> raw;
  raw.reserve(std::min(expected, idat.size() * 1032 + 64));
  if (!inflate::Zlib(idat.data(), idat.size(), expected, raw) || raw.size() != expected) Fail("bad image data");

  Bitmap bmp{int(w), int(h)};
  bmp.source_bits_ = type == 3 ? depth : channels * depth;
  bmp.palette_size_ = palette;
  std::vector<uint8_t> prev(row_bytes, 0);
  for (int64_t y = 0; y < h; ++y) {
    uint8_t* r = raw.data() + size_t(y) * (row_bytes + 1);
    const int filter = r[0];
    uint8_t* cur = r + 1;
    for (size_t i = 0; i < row_bytes; ++i) {
      const int a = i >= pixel_bytes ? cur[i - pixel_bytes] : 0, b = prev[i],
                c = i >= pixel_bytes ? prev[i - pixel_bytes] : 0;
      switch (filter) {
        case 0: break;
        case 1: cur[i] = uint8_t(cur[i] + a); break;
        case 2: cur[i] = uint8_t(cur[i] + b); break;
        case 3: cur[i] = uint8_t(cur[i] + (a + b) / 2); break;
        case 4: cur[i] = uint8_t(cur[i] + Paeth(a, b, c)); break;
        default: Fail("unknown row filter");
      }
    }
    uint32_t* out = bmp.row(int(y));
    const int step = depth / 8;  // bytes per sample at depth 8 and 16
    // A 16-bit sample to 8 bits as ImageMagick reads it (257 × v reads back v).
    auto at = [&](const uint8_t* s) { return step == 1 ? s[0] : uint8_t((s[0] << 8 | s[1]) / 257); };
    for (int64_t x = 0; x < w; ++x) {
      if (depth < 8) {
        const size_t bit = size_t(x) * size_t(depth);
        const int v = (cur[bit / 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1);
        if (type == 3) {
          out[x] = v < palette ? lut[v] : 0;
        } else {
          const uint8_t g = uint8_t(v * 255 / ((1 << depth) - 1));
          out[x] = Rgb{g, g, g}.packed();
        }
        continue;
      }
      const uint8_t* p = cur + size_t(x) * size_t(channels) * size_t(step);
      if (type == 3) {
        out[x] = p[0] < palette ? lut[p[0]] : 0;
      } else if (channels >= 3) {
        out[x] = Rgb{at(p), at(p + step), at(p + 2 * step)}.packed();
      } else {
        out[x] = Rgb{at(p), at(p), at(p)}.packed();
      }
    }
    std::memcpy(prev.data(), cur, row_bytes);
  }
  return bmp;
}

Bitmap Bitmap::LoadPictureFile(const std::string& host_path) {
  auto bytes = fs::ReadFile(host_path, size_t(kMaxPixels) * 4 + (1u << 20));
  if (!bytes) throw GdiError("picture: cannot read " + host_path);
  const auto* d = reinterpret_cast<const uint8_t*>(bytes->data());
  try {
    return IsPng(d, bytes->size()) ? LoadPngMemory(d, bytes->size()) : LoadBmpMemory(d, bytes->size());
  } catch (const GdiError& e) {
    throw GdiError(std::string(e.what()) + " (" + host_path + ")");
  }
}

}  // namespace plat
