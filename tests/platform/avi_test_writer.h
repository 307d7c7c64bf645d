// Builds small AVI files in memory for the tests: one video stream, optional sound stream, index, JUNK.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace avitest {

using Bytes = std::vector<uint8_t>;

inline void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
inline void Put16(Bytes& b, uint16_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
inline void PutFcc(Bytes& b, const char* f) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(f[i]));
}
inline void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

inline Bytes Chunk(const char* id, const Bytes& body) {
  Bytes b;
  PutFcc(b, id);
  Put32(b, uint32_t(body.size()));
  Append(b, body);
  if (body.size() & 1) b.push_back(0);
  return b;
}

inline Bytes List(const char* type, const Bytes& body) {
  Bytes inner;
  PutFcc(inner, type);
  Append(inner, body);
  return Chunk("LIST", inner);
}

struct Spec {
  int32_t width = 4, height = 2;  // negative height: rows stored top-down
  uint16_t bits = 8;
  uint32_t compression = 0;  // 0 BI_RGB, 1 BI_RLE8
  std::vector<uint32_t> palette;  // 0xRRGGBB
  uint32_t usec_per_frame = 100000;
  uint32_t total_frames = UINT32_MAX;  // UINT32_MAX: the number of frame chunks
  std::vector<Bytes> frames;            // chunk bodies
  bool audio = false;
  bool junk = true;
  bool index = true;
};

inline Bytes Build(const Spec& s) {
  uint32_t total = s.total_frames == UINT32_MAX ? uint32_t(s.frames.size()) : s.total_frames;
  uint32_t abs_h = uint32_t(s.height < 0 ? -s.height : s.height);
  Bytes avih;
  Put32(avih, s.usec_per_frame);
  Put32(avih, 0);  // max bytes per second
  Put32(avih, 0);  // padding granularity
  Put32(avih, 0x10);  // has index
  Put32(avih, total);
  Put32(avih, 0);
  Put32(avih, s.audio ? 2 : 1);
  Put32(avih, 0);
  Put32(avih, uint32_t(s.width));
  Put32(avih, abs_h);
  for (int i = 0; i < 4; ++i) Put32(avih, 0);

  Bytes strh;
  PutFcc(strh, "vids");
  PutFcc(strh, s.compression == 1 ? "mrle" : "DIB ");
  Put32(strh, 0);
  Put32(strh, 0);
  Put32(strh, 0);
  Put32(strh, 1);
  Put32(strh, 10);
  Put32(strh, 0);
  Put32(strh, total);
  Put32(strh, 0);
  Put32(strh, 0xFFFFFFFF);
  Put32(strh, 0);
  for (int i = 0; i < 4; ++i) Put16(strh, 0);

  Bytes strf;
  Put32(strf, 40);
  Put32(strf, uint32_t(s.width));
  Put32(strf, uint32_t(s.height));
  Put16(strf, 1);
  Put16(strf, s.bits);
  Put32(strf, s.compression);
  Put32(strf, 0);
  Put32(strf, 0);
  Put32(strf, 0);
  Put32(strf, uint32_t(s.palette.size()));
  Put32(strf, 0);
  for (uint32_t c : s.palette) {
    strf.push_back(uint8_t(c));
    strf.push_back(uint8_t(c >> 8));
    strf.push_back(uint8_t(c >> 16));
    strf.push_back(0);
  }

  Bytes hdrl = Chunk("avih", avih);
  Append(hdrl, List("strl", [&] {
           Bytes b = Chunk("strh", strh);
           Append(b, Chunk("strf", strf));
           return b;
         }()));
  if (s.audio) {
    Bytes ah;
    PutFcc(ah, "auds");
    for (int i = 0; i < 13; ++i) Put32(ah, 0);
    Bytes af(18, 0);
    Bytes b = Chunk("strh", ah);
    Append(b, Chunk("strf", af));
    Append(hdrl, List("strl", b));
  }

  Bytes movi;
  for (const Bytes& f : s.frames) Append(movi, Chunk(s.compression == 1 ? "00dc" : "00db", f));
  if (s.audio) Append(movi, Chunk("01wb", Bytes(10, 0)));

  Bytes body;
  PutFcc(body, "AVI ");
  Append(body, List("hdrl", hdrl));
  if (s.junk) Append(body, Chunk("JUNK", Bytes(7, 0xEE)));  // odd size: padded
  Append(body, List("movi", movi));
  if (s.index) Append(body, Chunk("idx1", Bytes(16 * s.frames.size(), 0)));

  Bytes file;
  PutFcc(file, "RIFF");
  Put32(file, uint32_t(body.size()));
  Append(file, body);
  return file;
}

// Uncompressed 8-bit frame from palette indices given top row first.
inline Bytes Rgb8Frame(const std::vector<uint8_t>& top_first, int w, int h, bool bottom_up = true) {
  int stride = (w + 3) & ~3;
  Bytes b(size_t(stride) * h, 0xCC);  // padding bytes are junk on purpose
  for (int y = 0; y < h; ++y) {
    int row = bottom_up ? h - 1 - y : y;
    for (int x = 0; x < w; ++x) b[size_t(row) * stride + x] = top_first[size_t(y) * w + x];
  }
  return b;
}

// Uncompressed 24-bit frame from 0xRRGGBB pixels given top row first.
inline Bytes Rgb24Frame(const std::vector<uint32_t>& top_first, int w, int h) {
  int stride = (w * 3 + 3) & ~3;
  Bytes b(size_t(stride) * h, 0xCC);
  for (int y = 0; y < h; ++y) {
    int row = h - 1 - y;
    for (int x = 0; x < w; ++x) {
      uint32_t c = top_first[size_t(y) * w + x];
      uint8_t* p = &b[size_t(row) * stride + size_t(x) * 3];
      p[0] = uint8_t(c);
      p[1] = uint8_t(c >> 8);
      p[2] = uint8_t(c >> 16);
    }
  }
  return b;
}

// A clip of n frames, w × h, 8-bit: frame k is filled with palette index k + 1 except its top-left
// pixel, which is index 0 (the background colour, 0x102030).
inline Bytes NumberedClip(int n, int w = 4, int h = 2, uint32_t usec = 100000) {
  Spec s;
  s.width = w;
  s.height = h;
  s.usec_per_frame = usec;
  s.palette.push_back(0x102030);
  for (int k = 0; k < n; ++k) s.palette.push_back(0x010000u * uint32_t(k + 1) + 0x80);
  for (int k = 0; k < n; ++k) {
    std::vector<uint8_t> px(size_t(w) * h, uint8_t(k + 1));
    px[0] = 0;
    s.frames.push_back(Rgb8Frame(px, w, h));
  }
  return Build(s);
}

inline uint32_t NumberedColour(int frame) { return 0x010000u * uint32_t(frame + 1) + 0x80; }

}  // namespace avitest
