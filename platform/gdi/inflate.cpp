// Deflate decoding after RFC 1951 in the plain canonical-Huffman way: small, and fast enough for a picture.
#include "platform/gdi/inflate.h"

#include "platform/gdi/png.h"

namespace plat::inflate {

namespace {

struct Bad {};

struct Huffman {
  uint16_t count[16] = {};
  uint16_t symbol[288] = {};
};

// Canonical code from code lengths; an over-subscribed set is malformed, an incomplete one is allowed
// (a single distance code is legal) and fails only if an unused code is met.
void Build(Huffman& h, const uint8_t* lengths, int n) {
  for (int i = 0; i < n; ++i) ++h.count[lengths[i]];
  int left = 1;
  for (int len = 1; len < 16; ++len) {
    left = left * 2 - h.count[len];
    if (left < 0) throw Bad{};
  }
  uint16_t offs[16] = {};
  for (int len = 1; len < 15; ++len) offs[len + 1] = uint16_t(offs[len] + h.count[len]);
  for (int i = 0; i < n; ++i)
    if (lengths[i]) h.symbol[offs[lengths[i]]++] = uint16_t(i);
}

struct Reader {
  const uint8_t* in;
  size_t n, pos = 0;
  uint32_t buf = 0;
  int have = 0;
  std::vector<uint8_t>& out;
  size_t max_out;

  uint32_t Bits(int need) {
    while (have < need) {
      if (pos >= n) throw Bad{};
      buf |= uint32_t(in[pos++]) << have;
      have += 8;
    }
    const uint32_t v = buf & ((1u << need) - 1);
    buf >>= need;
    have -= need;
    return v;
  }

  int Decode(const Huffman& h) {
    int code = 0, first = 0, index = 0;
    for (int len = 1; len < 16; ++len) {
      code |= int(Bits(1));
      const int count = h.count[len];
      if (code - count < first) return h.symbol[index + (code - first)];
      index += count;
      first = (first + count) << 1;
      code <<= 1;
    }
    throw Bad{};
  }

  void Put(uint8_t b) {
    if (out.size() >= max_out) throw Bad{};
    out.push_back(b);
  }

  void Stored() {
    buf = 0, have = 0;
    if (n - pos < 4) throw Bad{};
    const size_t len = in[pos] | in[pos + 1] << 8;
    if (size_t(in[pos + 2] | in[pos + 3] << 8) != (~len & 0xFFFF)) throw Bad{};
    pos += 4;
    if (n - pos < len || max_out - out.size() < len) throw Bad{};
    out.insert(out.end(), in + pos, in + pos + len);
    pos += len;
  }

  void Codes(const Huffman& lit, const Huffman& dist) {
    static const uint16_t kLenBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                          31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const uint8_t kLenExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                          2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static const uint16_t kDistBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                           33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                           1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    static const uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                           6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
    for (;;) {
      int sym = Decode(lit);
      if (sym < 256) {
        Put(uint8_t(sym));
        continue;
      }
      if (sym == 256) return;
      sym -= 257;
      if (sym >= 29) throw Bad{};
      const size_t len = kLenBase[sym] + Bits(kLenExtra[sym]);
      const int dsym = Decode(dist);
      if (dsym >= 30) throw Bad{};
      const size_t d = kDistBase[dsym] + Bits(kDistExtra[dsym]);
      if (d > out.size() || max_out - out.size() < len) throw Bad{};
      for (size_t k = 0; k < len; ++k) out.push_back(out[out.size() - d]);
    }
  }

  void Fixed() {
    static const auto tables = [] {
      std::pair<Huffman, Huffman> t;
      uint8_t l[288];
      for (int i = 0; i < 288; ++i) l[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
      Build(t.first, l, 288);
      for (int i = 0; i < 30; ++i) l[i] = 5;
      Build(t.second, l, 30);
      return t;
    }();
    Codes(tables.first, tables.second);
  }

  void Dynamic() {
    const int nlen = int(Bits(5)) + 257, ndist = int(Bits(5)) + 1, ncode = int(Bits(4)) + 4;
    if (nlen > 286 || ndist > 30) throw Bad{};
    static const uint8_t kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    uint8_t lengths[320] = {};
    for (int i = 0; i < ncode; ++i) lengths[kOrder[i]] = uint8_t(Bits(3));
    Huffman lencode;
    Build(lencode, lengths, 19);
    int i = 0;
    while (i < nlen + ndist) {
      int sym = Decode(lencode);
      if (sym < 16) {
        lengths[i++] = uint8_t(sym);
        continue;
      }
      uint8_t value = 0;
      int repeat;
      if (sym == 16) {
        if (i == 0) throw Bad{};
        value = lengths[i - 1];
        repeat = 3 + int(Bits(2));
      } else if (sym == 17) {
        repeat = 3 + int(Bits(3));
      } else {
        repeat = 11 + int(Bits(7));
      }
      if (i + repeat > nlen + ndist) throw Bad{};
      while (repeat--) lengths[i++] = value;
    }
    if (lengths[256] == 0) throw Bad{};  // no end-of-block code
    Huffman lit, dist;
    Build(lit, lengths, nlen);
    Build(dist, lengths + nlen, ndist);
    Codes(lit, dist);
  }
};

}  // namespace

bool Zlib(const uint8_t* in, size_t n, size_t max_out, std::vector<uint8_t>& out) {
  out.clear();
  if (!in || n < 6) return false;
  if ((in[0] & 0x0F) != 8 || (in[0] >> 4) > 7 || (in[1] & 0x20) || ((in[0] << 8) | in[1]) % 31) return false;
  Reader r{in, n - 4, 2, 0, 0, out, max_out};
  try {
    int last;
    do {
      last = int(r.Bits(1));
      switch (r.Bits(2)) {
        case 0: r.Stored(); break;
        case 1: r.Fixed(); break;
        case 2: r.Dynamic(); break;
        default: throw Bad{};
      }
    } while (!last);
  } catch (const Bad&) {
    return false;
  }
  const uint8_t* a = in + n - 4;
  const uint32_t adler = uint32_t(a[0]) << 24 | uint32_t(a[1]) << 16 | uint32_t(a[2]) << 8 | a[3];
  return png::Adler32(out.data(), out.size()) == adler;
}

}  // namespace plat::inflate
