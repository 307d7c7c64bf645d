// Bitmaps: exact pixel access, our own bounds-checked BMP decoder (palettised, RLE, 16/24/32-bit), BMP writing.
#include "platform/gdi/bitmap.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "platform/bytes.h"
#include "platform/fs/fs.h"

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

namespace {

constexpr int64_t kMaxSide = 16384;
constexpr int64_t kMaxPixels = 64ll << 20;
constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

[[noreturn]] void Fail(const std::string& why) { throw GdiError("BMP: " + why); }

// One colour channel of a 16- or 32-bit pixel: where its bits are and how far they reach.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;  // width from the lowest to the highest set bit

  static Channel Of(uint32_t mask) {
    Channel c;
    c.mask = mask;
    if (mask) {
      c.shift = std::countr_zero(mask);
      c.bits = int(std::bit_width(mask >> c.shift));
    }
    return c;
  }
  // Narrow fields repeat their bits downwards (5-bit 0b00011 is 0b00011000 | 0b000), as ImageMagick
  // and SDL widen them, so 31 is 255; wide fields keep their top eight bits.
  uint32_t Get(uint32_t px) const {
    if (!bits) return 0;
    const uint32_t v = (px & mask) >> shift;
    if (bits >= 8) return v >> (bits - 8);
    uint32_t r = 0;
    int filled = 0;
    for (; filled < 8; filled += bits) r = (r << bits) | v;
    return r >> (filled - 8);
  }
};

// Everything the headers say, checked against the file's size before a pixel is read.
struct Header {
  int64_t width = 0, height = 0;  // height positive; top_down says the row order
  bool top_down = false;
  int bpp = 0;
  uint32_t compression = 0;
  int palette_entries = 0;  // entries stored in the file (0 for true colour)
  const uint8_t* palette = nullptr;
  int palette_stride = 4;   // 3 in OS/2 core files
  Channel red, green, blue;  // 16 and 32 bits per pixel
  uint64_t off_bits = 0;
};

Header CheckHeader(const uint8_t* d, size_t n) {
  if (n < 14 + 12) Fail("file too short");
  if (d[0] != 'B' || d[1] != 'M') Fail("not a BMP file");
  const uint64_t off_bits = U32(d + 10);
  const uint32_t info_size = U32(d + 14);
  if (info_size != 12 && info_size != 40 && info_size != 52 && info_size != 56 && info_size != 108 &&
      info_size != 124)
    Fail("unknown header size " + std::to_string(info_size));
  if (14 + uint64_t(info_size) > n) Fail("truncated header");

  Header h;
  int planes;
  const uint8_t* ih = d + 14;
  if (info_size == 12) {  // OS/2 core header: 16-bit sizes, 3-byte palette entries
    h.width = U16(ih + 4);
    h.height = U16(ih + 6);
    planes = U16(ih + 8);
    h.bpp = U16(ih + 10);
    h.palette_stride = 3;
  } else {
    h.width = int32_t(U32(ih + 4));
    h.height = int32_t(U32(ih + 8));
    planes = U16(ih + 12);
    h.bpp = U16(ih + 14);
    h.compression = U32(ih + 16);
  }
  if (h.height < 0) {
    h.top_down = true;
    h.height = -h.height;
  }
  if (planes != 1) Fail("planes must be 1");
  if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 && h.bpp != 32)
    Fail("unsupported bit depth " + std::to_string(h.bpp));
  if (h.width <= 0 || h.height <= 0) Fail("empty image");
  if (h.width > kMaxSide || h.height > kMaxSide || h.width * h.height > kMaxPixels)
    Fail("image too large (" + std::to_string(h.width) + "x" + std::to_string(h.height) + ")");

  uint64_t after_header = 14 + uint64_t(info_size);
  if (h.compression == kBiBitfields) {
    if (h.bpp != 16 && h.bpp != 32) Fail("bit fields only for 16- and 32-bit images");
    // A plain info header is followed by the three masks; the later headers hold them.
    if (info_size == 40) after_header += 12;
    if (after_header > n) Fail("truncated bit fields");
    const uint8_t* m = ih + 40;
    const uint32_t within = h.bpp == 16 ? 0xFFFF : 0xFFFFFFFF;  // bits past the pixel are never set
    h.red = Channel::Of(U32(m) & within);
    h.green = Channel::Of(U32(m + 4) & within);
    h.blue = Channel::Of(U32(m + 8) & within);
  } else if (h.compression == kBiRle8) {
    if (h.bpp != 8 || h.top_down) Fail("bad RLE8 image");
  } else if (h.compression == kBiRle4) {
    if (h.bpp != 4 || h.top_down) Fail("bad RLE4 image");
  } else if (h.compression != kBiRgb) {
    Fail("unsupported compression " + std::to_string(h.compression));
  } else if (h.bpp == 16) {  // 5-5-5, the top bit unused
    h.red = Channel::Of(0x7C00);
    h.green = Channel::Of(0x03E0);
    h.blue = Channel::Of(0x001F);
  } else if (h.bpp == 32) {  // B, G, R, and a byte nobody reads
    h.red = Channel::Of(0xFF0000);
    h.green = Channel::Of(0x00FF00);
    h.blue = Channel::Of(0x0000FF);
  }

  // A true-colour file may carry a palette for palette displays; its pixels never index it.
  if (h.bpp <= 8) {
    uint64_t used = info_size >= 40 ? U32(ih + 32) : 0;
    uint64_t max = uint64_t(1) << h.bpp;
    if (used > max) Fail("palette larger than the bit depth allows");
    h.palette_entries = int(used ? used : max);
    h.palette = d + after_header;
    after_header += uint64_t(h.palette_entries) * uint64_t(h.palette_stride);
  }
  if (after_header > n) Fail("truncated palette");
  if (off_bits < after_header || off_bits > n) Fail("pixel data offset out of range");
  h.off_bits = off_bits;

  const uint64_t avail = n - off_bits;
  if (h.compression == kBiRle8 || h.compression == kBiRle4) {
    if (avail < 2) Fail("truncated pixel data");
  } else {
    const uint64_t stride = ((uint64_t(h.width) * uint64_t(h.bpp) + 31) / 32) * 4;
    if (stride * uint64_t(h.height) > avail) Fail("truncated pixel data");
  }
  return h;
}

// Palette indices of one row, bit-packed most significant first as 1-, 4- and 8-bit files store them.
void UnpackIndices(const uint8_t* in, int bpp, int64_t width, const uint32_t* lut, uint32_t* out) {
  if (bpp == 8) {
    for (int64_t x = 0; x < width; ++x) out[x] = lut[in[x]];
  } else if (bpp == 4) {
    for (int64_t x = 0; x < width; ++x) out[x] = lut[(in[x / 2] >> (x & 1 ? 0 : 4)) & 0x0F];
  } else {
    for (int64_t x = 0; x < width; ++x) out[x] = lut[(in[x / 8] >> (7 - (x & 7))) & 1];
  }
}

// RLE8 and RLE4 streams, bottom row first. Runs and deltas that reach past the picture are clipped:
// the column is kept in 64 bits and bounded by the data read, so nothing can wrap. Pixels a delta or
// an end of line skips keep palette entry 0. The stream must close with its end-of-picture mark.
void DecodeRle(const uint8_t* p, size_t n, bool rle4, const Header& h, const uint32_t* lut, Bitmap& bmp) {
  const int64_t w = h.width;
  int64_t x = 0, y = h.height - 1;  // y counts down from the bottom row
  size_t i = 0;
  auto put = [&](uint8_t index) {
    if (y >= 0 && x < w) bmp.row(int(y))[x] = lut[index];
    ++x;
  };
  while (true) {
    if (n - i < 2) Fail("RLE data ends without its end mark");
    const uint8_t count = p[i], value = p[i + 1];
    i += 2;
    if (count) {  // a run: one index, or two alternating nibbles
      const int64_t fit = std::clamp<int64_t>(w - x, 0, count);
      if (y >= 0) {
        uint32_t* r = bmp.row(int(y));
        for (int64_t k = 0; k < fit; ++k)
          r[x + k] = lut[rle4 ? (k & 1 ? value & 0x0F : value >> 4) : value];
      }
      x += count;
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        --y;
        break;
      case 1:  // end of picture
        return;
      case 2:  // delta: right and up
        if (n - i < 2) Fail("RLE data ends inside a delta");
        x += p[i];
        y -= p[i + 1];
        i += 2;
        break;
      default: {  // absolute run, padded to a whole 16-bit word
        const size_t bytes = rle4 ? (size_t(value) + 1) / 2 : value;
        const size_t padded = bytes + (bytes & 1);
        if (n - i < padded) Fail("RLE data ends inside a run");
        for (int k = 0; k < value; ++k) put(rle4 ? (k & 1 ? p[i + k / 2] & 0x0F : p[i + k / 2] >> 4) : p[i + k]);
        i += padded;
      }
    }
  }
}

}  // namespace

Bitmap Bitmap::LoadBmpMemory(const uint8_t* data, size_t size) {
  if (!data) Fail("no data");
  const Header h = CheckHeader(data, size);

  Bitmap bmp;
  bmp.w_ = int(h.width);
  bmp.h_ = int(h.height);
  bmp.source_bits_ = h.bpp;
  bmp.pixels_.assign(size_t(h.width) * size_t(h.height), 0);
  const uint8_t* bits = data + h.off_bits;
  const size_t avail = size - size_t(h.off_bits);

  // Exact palette entries; an index past the stored palette reads as black.
  uint32_t lut[256] = {};
  bmp.palette_size_ = h.palette_entries;
  for (int i = 0; i < h.palette_entries; ++i) {
    const uint8_t* e = h.palette + size_t(i) * size_t(h.palette_stride);
    lut[i] = Rgb{e[2], e[1], e[0]}.packed();
  }
  if (h.compression == kBiRle8 || h.compression == kBiRle4) {
    std::fill(bmp.pixels_.begin(), bmp.pixels_.end(), lut[0]);
    DecodeRle(bits, avail, h.compression == kBiRle4, h, lut, bmp);
    return bmp;
  }
  const size_t stride = ((size_t(h.width) * size_t(h.bpp) + 31) / 32) * 4;
  for (int64_t r = 0; r < h.height; ++r) {
    const uint8_t* in = bits + size_t(r) * stride;
    uint32_t* out = bmp.row(int(h.top_down ? r : h.height - 1 - r));
    if (h.bpp <= 8) {
      UnpackIndices(in, h.bpp, h.width, lut, out);
    } else if (h.bpp == 24) {
      for (int64_t x = 0; x < h.width; ++x, in += 3) out[x] = uint32_t(in[2]) << 16 | uint32_t(in[1]) << 8 | in[0];
    } else {
      const bool wide = h.bpp == 32;
      for (int64_t x = 0; x < h.width; ++x) {
        const uint32_t px = wide ? U32(in + 4 * x) : U16(in + 2 * x);
        out[x] = h.red.Get(px) << 16 | h.green.Get(px) << 8 | h.blue.Get(px);
      }
    }
  }
  return bmp;
}

Bitmap Bitmap::LoadBmpFile(const std::string& host_path) {
  auto bytes = fs::ReadFile(host_path, size_t(kMaxPixels) * 4 + (1u << 20));
  if (!bytes) throw GdiError("BMP: cannot read " + host_path);
  try {
    return LoadBmpMemory(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size());
  } catch (const GdiError& e) {
    throw GdiError(std::string(e.what()) + " (" + host_path + ")");
  }
}

std::vector<uint8_t> Bitmap::EncodeBmp() const {
  if (empty()) throw GdiError("BMP: cannot encode an empty bitmap");
  // Palette in order of first appearance, reading from the top row: the same picture always
  // gives the same bytes.
  std::vector<uint32_t> palette;
  std::unordered_map<uint32_t, uint8_t> index;
  for (uint32_t p : pixels_) {
    p &= 0xFFFFFFu;
    if (index.count(p)) continue;
    if (palette.size() == 256) {
      palette.clear();
      break;
    }
    index.emplace(p, uint8_t(palette.size()));
    palette.push_back(p);
  }
  const bool indexed = !palette.empty();
  const int bpp = indexed ? 8 : 24;
  const uint32_t stride = ((uint32_t(w_) * bpp + 31) / 32) * 4;
  const uint32_t pal_bytes = indexed ? uint32_t(palette.size()) * 4 : 0;
  const uint32_t off = 14 + 40 + pal_bytes;
  const uint32_t img = stride * uint32_t(h_);

  std::vector<uint8_t> v;
  v.reserve(off + img);
  v.push_back('B');
  v.push_back('M');
  Put32(v, off + img);
  Put32(v, 0);
  Put32(v, off);
  Put32(v, 40);
  Put32(v, uint32_t(w_));
  Put32(v, uint32_t(h_));  // positive: bottom-up rows
  Put16(v, 1);
  Put16(v, uint16_t(bpp));
  Put32(v, kBiRgb);
  Put32(v, img);
  Put32(v, 3780);  // 96 dpi
  Put32(v, 3780);
  Put32(v, indexed ? uint32_t(palette.size()) : 0);
  Put32(v, 0);
  for (uint32_t p : palette) {
    v.push_back(uint8_t(p));
    v.push_back(uint8_t(p >> 8));
    v.push_back(uint8_t(p >> 16));
    v.push_back(0);
  }
  for (int y = h_ - 1; y >= 0; --y) {
    const uint32_t* r = row(y);
    size_t start = v.size();
    for (int x = 0; x < w_; ++x) {
      uint32_t p = r[x] & 0xFFFFFFu;
      if (indexed) {
        v.push_back(index[p]);
      } else {
        v.push_back(uint8_t(p));
        v.push_back(uint8_t(p >> 8));
        v.push_back(uint8_t(p >> 16));
      }
    }
    v.resize(start + stride, 0);
  }
  return v;
}

void Bitmap::SaveBmpFile(const std::string& host_path) const {
  std::vector<uint8_t> bytes = EncodeBmp();
  if (!fs::WriteFileAtomic(host_path, bytes.data(), bytes.size(), true)) throw GdiError("BMP: cannot save " + host_path);
}

}  // namespace plat
