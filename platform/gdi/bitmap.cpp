// Bitmaps: exact pixel access, BMP loading through SDL behind our own header checks, BMP writing.
#include "platform/gdi/bitmap.h"

#ifdef _WIN32
#include "platform/win32/bmp_decode.h"
#else
#include <SDL.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>

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

// What our own look at the headers established; SDL only ever sees files that pass it.
struct Header {
  int64_t width = 0, height = 0;  // height positive; top_down says the row order
  bool top_down = false;
  int bpp = 0;
  uint32_t compression = 0;
  int palette_entries = 0;  // entries stored in the file (0 for true colour)
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
  if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 24 && h.bpp != 32)
    Fail("unsupported bit depth " + std::to_string(h.bpp));
  if (h.width <= 0 || h.height <= 0) Fail("empty image");
  if (h.width > kMaxSide || h.height > kMaxSide || h.width * h.height > kMaxPixels)
    Fail("image too large (" + std::to_string(h.width) + "x" + std::to_string(h.height) + ")");

  if (h.compression == kBiBitfields) {
    if (h.bpp != 32) Fail("bit fields only for 32-bit images");
  } else if (h.compression == kBiRle8) {
    if (h.bpp != 8 || h.top_down) Fail("bad RLE8 image");
  } else if (h.compression == kBiRle4) {
    if (h.bpp != 4 || h.top_down) Fail("bad RLE4 image");
  } else if (h.compression != kBiRgb) {
    Fail("unsupported compression " + std::to_string(h.compression));
  }

  uint64_t after_header = 14 + uint64_t(info_size);
  if (info_size == 40 && h.compression == kBiBitfields) after_header += 12;  // masks follow
  if (h.bpp <= 8) {
    uint64_t used = info_size >= 40 ? U32(ih + 32) : 0;
    uint64_t max = uint64_t(1) << h.bpp;
    if (used > max) Fail("palette larger than the bit depth allows");
    h.palette_entries = int(used ? used : max);
    after_header += uint64_t(h.palette_entries) * (info_size == 12 ? 3 : 4);
  }
  if (after_header > n) Fail("truncated palette");
  if (off_bits < after_header || off_bits > n) Fail("pixel data offset out of range");

  const uint64_t avail = n - off_bits;
  if (h.compression == kBiRle8 || h.compression == kBiRle4) {
    if (avail < 2) Fail("truncated pixel data");
  } else {
    const uint64_t stride = ((uint64_t(h.width) * h.bpp + 31) / 32) * 4;
    if (stride * uint64_t(h.height) > avail) Fail("truncated pixel data");
  }
  return h;
}

#ifndef _WIN32
struct SurfaceFree {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;
#endif

}  // namespace

Bitmap Bitmap::LoadBmpMemory(const uint8_t* data, size_t size) {
  if (!data) Fail("no data");
  const Header h = CheckHeader(data, size);

#ifdef _WIN32
  Bitmap out;
  out.w_ = int(h.width);
  out.h_ = int(h.height);
  out.source_bits_ = h.bpp;
  out.palette_size_ = h.bpp <= 8 ? h.palette_entries : 0;
  std::string why;
  if (!win32::DecodeBmp(data, size, out.w_, out.h_, out.pixels_, &why)) Fail("unreadable: " + why);
  return out;
#else
  SDL_RWops* rw = SDL_RWFromConstMem(data, int(std::min<size_t>(size, INT32_MAX)));
  if (!rw) Fail(SDL_GetError());
  SurfacePtr s(SDL_LoadBMP_RW(rw, 1));
  if (!s) Fail(std::string("unreadable: ") + SDL_GetError());
  if (s->w != h.width || s->h != h.height) Fail("decoder disagrees about the size");

  Bitmap bmp;
  bmp.w_ = int(h.width);
  bmp.h_ = int(h.height);
  bmp.source_bits_ = h.bpp;
  bmp.pixels_.resize(size_t(h.width) * size_t(h.height));

  if (s->format->BitsPerPixel == 8 && s->format->palette) {
    // Exact palette entries; an index past the stored palette reads as black.
    const SDL_Palette* pal = s->format->palette;
    bmp.palette_size_ = std::min(pal->ncolors, h.palette_entries);
    uint32_t lut[256] = {};
    for (int i = 0; i < bmp.palette_size_ && i < 256; ++i)
      lut[i] = Rgb{pal->colors[i].r, pal->colors[i].g, pal->colors[i].b}.packed();
    if (SDL_MUSTLOCK(s.get())) SDL_LockSurface(s.get());
    for (int y = 0; y < bmp.h_; ++y) {
      const uint8_t* in = static_cast<const uint8_t*>(s->pixels) + size_t(y) * s->pitch;
      uint32_t* out = bmp.row(y);
      for (int x = 0; x < bmp.w_; ++x) out[x] = lut[in[x]];
    }
    if (SDL_MUSTLOCK(s.get())) SDL_UnlockSurface(s.get());
  } else {
    SurfacePtr c(SDL_ConvertSurfaceFormat(s.get(), SDL_PIXELFORMAT_RGB888, 0));
    if (!c) Fail(std::string("cannot convert: ") + SDL_GetError());
    if (SDL_MUSTLOCK(c.get())) SDL_LockSurface(c.get());
    for (int y = 0; y < bmp.h_; ++y) {
      const uint32_t* in =
          reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(c->pixels) + size_t(y) * c->pitch);
      uint32_t* out = bmp.row(y);
      for (int x = 0; x < bmp.w_; ++x) out[x] = in[x] & 0xFFFFFFu;
    }
    if (SDL_MUSTLOCK(c.get())) SDL_UnlockSurface(c.get());
  }
  return bmp;
#endif
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

namespace {

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

}  // namespace

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
