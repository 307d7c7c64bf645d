// PNG screenshots without a compression library: stored deflate blocks are lossless and tiny to write.
#include "platform/gdi/png.h"


#include <array>
#include <cstdio>
#include <string>

#include "platform/fs/fs.h"
#include "platform/gdi/bitmap.h"

namespace plat {
namespace png {

namespace {

const std::array<uint32_t, 256>& CrcTable() {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

void Put32(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x >> 24));
  v.push_back(uint8_t(x >> 16));
  v.push_back(uint8_t(x >> 8));
  v.push_back(uint8_t(x));
}

void Chunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& body) {
  Put32(out, uint32_t(body.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  Put32(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc) {
  const auto& t = CrcTable();
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) crc = t[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

uint32_t Adler32(const uint8_t* data, size_t n, uint32_t adler) {
  uint32_t a = adler & 0xFFFF, b = adler >> 16;
  while (n > 0) {
    size_t run = std::min<size_t>(n, 5552);  // largest run before the sums can overflow
    n -= run;
    for (size_t i = 0; i < run; ++i) {
      a += *data++;
      b += a;
    }
    a %= 65521;
    b %= 65521;
  }
  return (b << 16) | a;
}

std::vector<uint8_t> Encode(const Surface& s) {
  const uint32_t w = uint32_t(std::max(0, s.width())), h = uint32_t(std::max(0, s.height()));
  if (w == 0 || h == 0) throw GdiError("PNG: empty surface");

  // Raw scanlines, each led by filter type 0.
  std::vector<uint8_t> raw;
  raw.reserve(size_t(h) * (1 + size_t(w) * 3));
  for (uint32_t y = 0; y < h; ++y) {
    raw.push_back(0);
    const uint32_t* r = s.row(int(y));
    for (uint32_t x = 0; x < w; ++x) {
      raw.push_back(uint8_t(r[x] >> 16));
      raw.push_back(uint8_t(r[x] >> 8));
      raw.push_back(uint8_t(r[x]));
    }
  }

  std::vector<uint8_t> z;
  z.reserve(raw.size() + raw.size() / 65535 * 5 + 16);
  z.push_back(0x78);  // deflate, 32 KiB window
  z.push_back(0x01);  // no preset dictionary, fastest; 0x7801 is a multiple of 31
  size_t pos = 0;
  do {
    size_t len = std::min<size_t>(raw.size() - pos, 65535);
    bool last = pos + len == raw.size();
    z.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
    z.push_back(uint8_t(len));
    z.push_back(uint8_t(len >> 8));
    z.push_back(uint8_t(~len));
    z.push_back(uint8_t(~len >> 8));
    z.insert(z.end(), raw.begin() + long(pos), raw.begin() + long(pos + len));
    pos += len;
  } while (pos < raw.size());
  Put32(z, Adler32(raw.data(), raw.size()));

  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> ihdr;
  Put32(ihdr, w);
  Put32(ihdr, h);
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, adaptive filters, no interlace
  Chunk(out, "IHDR", ihdr);
  Chunk(out, "IDAT", z);
  Chunk(out, "IEND", {});
  return out;
}

}  // namespace png

void SavePng(const Surface& s, const std::string& host_path) {
  std::vector<uint8_t> bytes = png::Encode(s);
  if (!fs::WriteFileAtomic(host_path, bytes.data(), bytes.size(), false)) throw GdiError("PNG: cannot write " + host_path);
}

}  // namespace plat
