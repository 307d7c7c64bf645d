// RIFF AVI reader: walks the chunk tree with bounds checks, then decodes BI_RGB and BI_RLE8 video frames.
#include "platform/animate/avi.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace plat {

namespace {

constexpr uint32_t kMaxSide = 4096;
constexpr uint32_t kMaxFrames = 100000;
constexpr uint64_t kMaxDecodedBytes = 256ull << 20;
constexpr int kMaxDepth = 8;  // LIST nesting we follow; deeper lists are skipped

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1;

uint32_t Fcc(const char* s) {
  return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
         uint32_t(uint8_t(s[3])) << 24;
}

uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
int32_t S32(const uint8_t* p) { return int32_t(U32(p)); }

struct Span {
  const uint8_t* p = nullptr;
  size_t n = 0;
};

struct Chunk {
  uint32_t id = 0;
  Span body;
  uint32_t list_type = 0;  // for RIFF/LIST: the form type; body then starts after it
  bool is_list = false;
};

class Failure {
 public:
  explicit Failure(std::string m) : msg(std::move(m)) {}
  std::string msg;
};

// Iterates over the chunks of a span. A chunk whose declared size runs past the span is a truncation.
class ChunkReader {
 public:
  explicit ChunkReader(Span s) : s_(s) {}
  bool Next(Chunk& c) {
    if (pos_ >= s_.n) return false;
    if (s_.n - pos_ < 8) throw Failure("truncated chunk header");
    const uint8_t* h = s_.p + pos_;
    c.id = U32(h);
    uint32_t size = U32(h + 4);
    if (size > s_.n - pos_ - 8) throw Failure("truncated chunk");
    c.body = {h + 8, size};
    c.is_list = c.id == Fcc("LIST");
    c.list_type = 0;
    if (c.is_list) {
      if (size < 4) throw Failure("LIST chunk too short");
      c.list_type = U32(c.body.p);
      c.body = {c.body.p + 4, size - 4};
    }
    pos_ += 8 + size_t(size) + (size & 1);  // chunks are padded to even sizes
    if (pos_ > s_.n) pos_ = s_.n;           // a missing final pad byte is harmless
    return true;
  }

 private:
  Span s_;
  size_t pos_ = 0;
};

struct Format {
  int32_t width = 0, height = 0;  // height > 0: rows bottom-up
  uint16_t bits = 0;
  uint32_t compression = 0;
  std::array<uint32_t, 256> palette{};
};

struct Parsed {
  bool have_avih = false;
  bool have_video = false;
  uint32_t usec = 0, total = 0, width = 0, height = 0;
  Format fmt;
  std::vector<Span> frames;  // chunk bodies of the video stream, in order (empty body: repeat)
};

void ParseStrf(Span s, Format& f) {
  if (s.n < 40) throw Failure("video format too short");
  uint32_t bi_size = U32(s.p);
  if (bi_size < 40 || bi_size > s.n) throw Failure("bad BITMAPINFOHEADER size");
  f.width = S32(s.p + 4);
  f.height = S32(s.p + 8);
  f.bits = U16(s.p + 14);
  f.compression = U32(s.p + 16);
  uint32_t clr_used = U32(s.p + 32);
  if (f.width <= 0 || f.height == 0 || f.height == INT32_MIN) throw Failure("bad frame size");
  uint32_t aw = uint32_t(f.width), ah = uint32_t(f.height < 0 ? -f.height : f.height);
  if (aw > kMaxSide || ah > kMaxSide) throw Failure("frame too large");
  if (f.compression == kBiRgb) {
    if (f.bits != 8 && f.bits != 24 && f.bits != 32) throw Failure("unsupported bit depth");
  } else if (f.compression == kBiRle8) {
    if (f.bits != 8) throw Failure("RLE8 needs 8 bits per pixel");
  } else {
    throw Failure("unsupported compression");
  }
  if (f.bits == 8) {
    size_t want = clr_used == 0 || clr_used > 256 ? 256 : clr_used;
    size_t have = (s.n - bi_size) / 4;
    size_t n = std::min(want, have);
    const uint8_t* q = s.p + bi_size;
    for (size_t i = 0; i < n; ++i, q += 4) f.palette[i] = uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0];
  }
}

void ParseStrl(Span s, Parsed& out) {
  ChunkReader r(s);
  Chunk c;
  uint32_t type = 0;
  bool have_strh = false;
  Span strf;
  bool have_strf = false;
  while (r.Next(c)) {
    if (c.id == Fcc("strh")) {
      if (c.body.n < 4) throw Failure("stream header too short");
      type = U32(c.body.p);
      have_strh = true;
    } else if (c.id == Fcc("strf")) {
      strf = c.body;
      have_strf = true;
    }
  }
  if (!have_strh) throw Failure("stream without header");
  if (type == Fcc("auds")) throw Failure("clip has sound");
  if (type != Fcc("vids")) throw Failure("unsupported stream type");
  if (out.have_video) throw Failure("more than one video stream");
  if (!have_strf) throw Failure("video stream without format");
  ParseStrf(strf, out.fmt);
  out.have_video = true;
}

void ParseHdrl(Span s, Parsed& out) {
  ChunkReader r(s);
  Chunk c;
  while (r.Next(c)) {
    if (c.id == Fcc("avih")) {
      if (c.body.n < 40) throw Failure("main header too short");
      out.usec = U32(c.body.p);
      out.total = U32(c.body.p + 16);
      out.width = U32(c.body.p + 32);
      out.height = U32(c.body.p + 36);
      out.have_avih = true;
    } else if (c.is_list && c.list_type == Fcc("strl")) {
      ParseStrl(c.body, out);  // any stream besides the one video stream is refused there
    }
  }
  if (!out.have_avih) throw Failure("missing main header");
  if (!out.have_video) throw Failure("no video stream");
  if (out.total > kMaxFrames) throw Failure("too many frames");
}

void CollectMovi(Span s, Parsed& out, int depth) {
  ChunkReader r(s);
  Chunk c;
  while (r.Next(c)) {
    if (c.is_list) {
      if (c.list_type == Fcc("rec ") && depth < kMaxDepth) CollectMovi(c.body, out, depth + 1);
      continue;
    }
    if (c.id == Fcc("00db") || c.id == Fcc("00dc")) {
      if (out.frames.size() >= kMaxFrames) throw Failure("too many frames");
      out.frames.push_back(c.body);
    }
    // index chunks (ix00, idx1), palette changes and JUNK are not needed
  }
}

// Decoding works on palette indices for 8-bit clips so that RLE deltas keep earlier pixels.
void DecodeRgb8(Span d, const Format& f, std::vector<uint8_t>& idx) {
  size_t w = size_t(f.width), h = size_t(std::abs(int64_t(f.height)));
  size_t stride = (w + 3) & ~size_t(3);
  if (d.n < stride * (h - 1) + w) throw Failure("frame data truncated");
  for (size_t row = 0; row < h; ++row) {
    size_t src_row = f.height > 0 ? h - 1 - row : row;
    std::memcpy(idx.data() + row * w, d.p + src_row * stride, w);
  }
}

// The column and row saturate at the frame's edge, so a frame of millions of runs cannot carry them
// anywhere else; what lies past the edge is clipped.
void DecodeRle8(Span d, const Format& f, std::vector<uint8_t>& idx) {
  const size_t w = size_t(f.width), h = size_t(std::abs(int64_t(f.height)));
  auto row = [&](size_t y) { return idx.data() + (f.height > 0 ? h - 1 - y : y) * w; };
  size_t x = 0, y = 0;  // x <= w, y < h inside the loop; y counts coded rows: bottom row first for bottom-up frames
  size_t i = 0;
  while (i + 1 < d.n && y < h) {
    uint8_t a = d.p[i], b = d.p[i + 1];
    i += 2;
    if (a > 0) {
      std::memset(row(y) + x, b, std::min<size_t>(a, w - x));
      x = std::min<size_t>(w, x + a);
    } else if (b == 0) {
      x = 0;
      ++y;
    } else if (b == 1) {
      return;
    } else if (b == 2) {
      if (i + 1 >= d.n) return;
      x = std::min<size_t>(w, x + d.p[i]);
      y = std::min<size_t>(h, y + d.p[i + 1]);
      i += 2;
    } else {
      size_t n = b;
      size_t avail = std::min(n, d.n - i);
      std::memcpy(row(y) + x, d.p + i, std::min(avail, w - x));
      x = std::min(w, x + n);
      i += n + (n & 1);  // absolute runs are padded to a word
    }
  }
}

void DecodeTrue(Span d, const Format& f, Bitmap& out) {
  size_t w = size_t(f.width), h = size_t(std::abs(int64_t(f.height)));
  size_t bpp = f.bits / 8;
  size_t stride = (w * bpp + 3) & ~size_t(3);
  if (d.n < stride * (h - 1) + w * bpp) throw Failure("frame data truncated");
  for (size_t row = 0; row < h; ++row) {
    size_t src_row = f.height > 0 ? h - 1 - row : row;
    const uint8_t* s = d.p + src_row * stride;
    uint32_t* o = out.row(int(row));
    for (size_t x = 0; x < w; ++x, s += bpp) o[x] = uint32_t(s[2]) << 16 | uint32_t(s[1]) << 8 | s[0];
  }
}

}  // namespace

std::optional<AviClip> ParseAvi(const uint8_t* data, size_t size, std::string* error) {
  auto fail = [&](const std::string& m) -> std::optional<AviClip> {
    if (error) *error = m;
    return std::nullopt;
  };
  if (!data || size < 12) return fail("not a RIFF file");
  try {
    if (U32(data) != Fcc("RIFF")) return fail("not a RIFF file");
    if (U32(data + 8) != Fcc("AVI ")) return fail("not an AVI file");
    uint32_t riff_size = U32(data + 4);
    if (riff_size < 4 || riff_size > size - 8) return fail("truncated file");
    Span body{data + 12, riff_size - 4};

    Parsed p;
    bool have_movi = false;
    ChunkReader r(body);
    Chunk c;
    while (r.Next(c)) {
      if (!c.is_list) continue;  // JUNK, idx1 and the like
      if (c.list_type == Fcc("hdrl")) {
        if (p.have_avih) return fail("second header list");
        ParseHdrl(c.body, p);
      } else if (c.list_type == Fcc("movi")) {
        if (!p.have_avih) return fail("frames before the header");
        if (have_movi) continue;
        CollectMovi(c.body, p, 0);
        have_movi = true;
      }
    }
    if (!p.have_avih) return fail("missing header list");
    if (p.frames.empty()) return fail("no frames");

    const Format& f = p.fmt;
    uint64_t w = uint64_t(f.width), h = uint64_t(std::abs(int64_t(f.height)));
    if (uint64_t(p.frames.size()) * w * h * sizeof(uint32_t) > kMaxDecodedBytes)
      return fail("decoded clip too large");

    AviClip clip;
    clip.usec_per_frame = p.usec;
    clip.total_frames = p.total;
    clip.width = p.width;
    clip.height = p.height;
    clip.frames.reserve(p.frames.size());
    std::vector<uint8_t> idx(size_t(w * h), 0);
    for (const Span& d : p.frames) {
      if (d.n == 0) {  // an empty chunk repeats the previous frame
        clip.frames.push_back(clip.frames.empty() ? Bitmap(int(w), int(h), Rgb::FromPacked(f.palette[0]))
                                                  : clip.frames.back());
        continue;
      }
      Bitmap bmp{int(w), int(h)};
      if (f.bits == 8) {
        if (f.compression == kBiRle8)
          DecodeRle8(d, f, idx);
        else
          DecodeRgb8(d, f, idx);
        for (size_t y = 0; y < h; ++y) {
          uint32_t* o = bmp.row(int(y));
          const uint8_t* s = idx.data() + y * w;
          for (size_t x = 0; x < w; ++x) o[x] = f.palette[s[x]];
        }
      } else {
        DecodeTrue(d, f, bmp);
      }
      clip.frames.push_back(std::move(bmp));
    }
    if (error) error->clear();
    return clip;
  } catch (const Failure& e) {
    return fail(e.msg);
  }
}

}  // namespace plat
