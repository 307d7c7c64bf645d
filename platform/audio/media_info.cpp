// WAV header and Standard MIDI File readers: every read is bounds-checked, data files are untrusted.
#include "platform/audio/media_info.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace plat {

namespace {

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t Be16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]); }

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatMsAdpcm = 2;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatALaw = 6;
constexpr uint16_t kFormatMuLaw = 7;
constexpr uint16_t kFormatImaAdpcm = 0x11;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// The tail of KSDATAFORMAT_SUBTYPE_PCM and _IEEE_FLOAT after their leading format code.
constexpr uint8_t kPcmGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                      0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Sample frames per ADPCM block, from the block size and the header's own count (0 when it has
// none); 0 when the two cannot both hold.
uint32_t AdpcmFramesPerBlock(const WavInfo& w, const uint8_t* ext, size_t ext_len) {
  if (w.bits != 4 || w.channels < 1 || w.channels > 2) return 0;
  const uint32_t header = (w.format == kFormatImaAdpcm ? 4u : 7u) * w.channels;  // holds 1 or 2 frames
  const uint32_t fixed = w.format == kFormatImaAdpcm ? 1 : 2;
  if (w.block_align <= header) return 0;
  // IMA packs each channel's samples in runs of 8 (4 bytes); MS ADPCM packs frames nibble by nibble.
  if (w.format == kFormatImaAdpcm && (w.block_align - header) % (4 * w.channels) != 0) return 0;
  const uint32_t most = fixed + (w.block_align - header) * 2 / w.channels;
  const uint32_t declared = ext_len >= 2 ? Le16(ext) : 0;
  if (w.format == kFormatMsAdpcm) {
    // Microsoft ADPCM states its frames per block and its predictor coefficients, seven at least.
    if (ext_len < 4 || declared < 2 || declared > most) return 0;
    const uint32_t coefs = Le16(ext + 2);
    if (coefs < 7 || coefs > 256 || ext_len < 4 + 4 * size_t(coefs)) return 0;
    return declared;
  }
  if (declared > most) return 0;
  return declared ? declared : most;
}

}  // namespace

std::optional<WavInfo> ParseWav(const uint8_t* data, size_t size) {
  if (!data || size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
    return std::nullopt;
  WavInfo info;
  bool have_fmt = false, have_data = false;
  const uint8_t* ext = nullptr;  // what follows cbSize in a fmt chunk that has one
  size_t ext_len = 0;
  size_t pos = 12;
  while (size - pos >= 8 && !(have_fmt && have_data)) {
    const uint8_t* id = data + pos;
    const uint64_t len = Le32(data + pos + 4);
    const size_t body = pos + 8;
    const size_t avail = size - body;
    if (std::memcmp(id, "fmt ", 4) == 0 && !have_fmt) {
      if (len < 16 || avail < 16) return std::nullopt;
      info.format = Le16(data + body);
      info.channels = Le16(data + body + 2);
      info.sample_rate = Le32(data + body + 4);
      info.byte_rate = Le32(data + body + 8);
      info.block_align = Le16(data + body + 12);
      info.bits = Le16(data + body + 14);
      if (len >= 18 && avail >= 18) {
        const size_t in_chunk = size_t(std::min<uint64_t>(len, avail)) - 18;
        ext = data + body + 18;
        ext_len = std::min<size_t>(Le16(data + body + 16), in_chunk);
      }
      if (info.format == kFormatExtensible) {
        if (len < 40 || avail < 40) return std::nullopt;
        const uint8_t* guid = data + body + 24;
        const uint16_t sub = Le16(guid);
        if ((sub != kFormatPcm && sub != kFormatFloat) || std::memcmp(guid + 2, kPcmGuidTail, sizeof kPcmGuidTail) != 0)
          return std::nullopt;
        info.format = sub;
      }
      have_fmt = true;
    } else if (std::memcmp(id, "data", 4) == 0 && !have_data) {
      info.data_offset = body;
      info.data_bytes = uint32_t(std::min<uint64_t>(len, avail));
      info.declared_bytes = uint32_t(len);
      have_data = true;
    }
    const uint64_t next = uint64_t(body) + len + (len & 1);
    if (next > size) break;
    pos = size_t(next);
  }
  if (!have_fmt || !have_data) return std::nullopt;
  if (info.sample_rate < 1 || info.sample_rate > 384000) return std::nullopt;
  switch (info.format) {
    case kFormatPcm:
      if (info.channels < 1 || info.channels > 8) return std::nullopt;
      if (info.bits != 8 && info.bits != 16 && info.bits != 24 && info.bits != 32) return std::nullopt;
      if (info.block_align != info.channels * (info.bits / 8)) return std::nullopt;
      if (uint64_t(info.byte_rate) != uint64_t(info.sample_rate) * info.block_align) return std::nullopt;
      info.frames_per_block = 1;
      break;
    case kFormatFloat:  // 32-bit only: the mixer has no 64-bit floats
      if (info.channels < 1 || info.channels > 8 || info.bits != 32) return std::nullopt;
      if (info.block_align != info.channels * 4) return std::nullopt;
      if (uint64_t(info.byte_rate) != uint64_t(info.sample_rate) * info.block_align) return std::nullopt;
      info.frames_per_block = 1;
      break;
    case kFormatALaw:
    case kFormatMuLaw:
      if (info.channels < 1 || info.channels > 8 || info.bits != 8) return std::nullopt;
      if (info.block_align != info.channels) return std::nullopt;
      if (uint64_t(info.byte_rate) != uint64_t(info.sample_rate) * info.block_align) return std::nullopt;
      info.frames_per_block = 1;
      break;
    case kFormatImaAdpcm:
    case kFormatMsAdpcm:
      // The byte rate of a compressed file is only advice; the blocks say how long it is.
      info.frames_per_block = AdpcmFramesPerBlock(info, ext, ext_len);
      if (info.frames_per_block == 0) return std::nullopt;
      break;
    default:
      return std::nullopt;
  }
  // Only whole blocks are heard: a partial last frame or ADPCM block is dropped, as the mixer drops it.
  const uint32_t blocks = info.data_bytes / info.block_align;
  info.data_bytes = blocks * info.block_align;
  info.frames = uint64_t(blocks) * info.frames_per_block;
  info.duration_ms = info.frames * 1000 / info.sample_rate;
  return info;
}

uint64_t DeclaredDurationMs(const WavInfo& w) {
  return uint64_t(w.declared_bytes / w.block_align) * w.frames_per_block * 1000 / w.sample_rate;
}

namespace {

struct TempoChange {
  uint64_t tick;
  uint32_t us_per_quarter;
};

class Reader {
 public:
  Reader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
  bool AtEnd() const { return i_ >= n_; }
  bool Byte(uint8_t* b) {
    if (i_ >= n_) return false;
    *b = p_[i_++];
    return true;
  }
  bool Peek(uint8_t* b) const {
    if (i_ >= n_) return false;
    *b = p_[i_];
    return true;
  }
  bool Skip(uint64_t k) {
    if (k > n_ - i_) return false;
    i_ += size_t(k);
    return true;
  }
  // A variable-length quantity of at most four bytes (28 bits).
  bool Vlq(uint32_t* v) {
    uint32_t r = 0;
    for (int k = 0; k < 4; ++k) {
      uint8_t b;
      if (!Byte(&b)) return false;
      r = (r << 7) | (b & 0x7F);
      if (!(b & 0x80)) {
        *v = r;
        return true;
      }
    }
    return false;
  }
  const uint8_t* Here() const { return p_ + i_; }

 private:
  const uint8_t* p_;
  size_t n_;
  size_t i_ = 0;
};

enum class EventKind {
  Channel,  // note, controller, program, pressure, pitch bend
  Meta,     // FF type length body
  SysEx,    // F0 length body
  Escape,   // F7 length bytes: raw bytes for the device
  System,   // system common (F1 F2 F3 F6) and real-time (F8 to FE): no meaning in a file, some writers leave them
};

struct TrackEvent {
  uint32_t delta = 0;
  EventKind kind = EventKind::Channel;
  uint8_t status = 0;  // running status spelled out
  uint8_t type = 0;    // of a meta event
  const uint8_t* body = nullptr;  // data bytes of a channel message, body of the others
  uint32_t len = 0;
};

// Calls visit(event) for each event of one track, up to its end-of-track event or the end of the
// chunk; false when the track is malformed. Running status survives meta, system-exclusive and system
// events, as real files rely on; only a channel message sets it.
template <class Visit>
bool WalkTrack(const uint8_t* p, size_t n, Visit&& visit) {
  Reader r(p, n);
  uint8_t running = 0;
  while (!r.AtEnd()) {
    TrackEvent e;
    if (!r.Vlq(&e.delta)) return false;
    uint8_t b;
    if (!r.Peek(&b)) return false;
    if (b & 0x80) {
      e.status = b;
      r.Skip(1);
    } else {
      if (!running) return false;
      e.status = running;
    }
    if (e.status < 0xF0) {
      running = e.status;
      const uint8_t kind = e.status & 0xF0;
      e.len = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
      e.body = r.Here();
      for (uint32_t k = 0; k < e.len; ++k) {
        uint8_t d;
        if (!r.Byte(&d) || (d & 0x80)) return false;
      }
    } else if (e.status == 0xFF) {
      e.kind = EventKind::Meta;
      if (!r.Byte(&e.type) || !r.Vlq(&e.len)) return false;
      e.body = r.Here();
      if (!r.Skip(e.len)) return false;
    } else if (e.status == 0xF0 || e.status == 0xF7) {
      e.kind = e.status == 0xF0 ? EventKind::SysEx : EventKind::Escape;
      if (!r.Vlq(&e.len)) return false;
      e.body = r.Here();
      if (!r.Skip(e.len)) return false;
    } else if (e.status == 0xF4 || e.status == 0xF5) {
      return false;  // undefined: how many data bytes follow is unknown
    } else {
      e.kind = EventKind::System;
      e.len = e.status == 0xF2 ? 2 : (e.status == 0xF1 || e.status == 0xF3) ? 1 : 0;
      e.body = r.Here();
      for (uint32_t k = 0; k < e.len; ++k) {
        uint8_t d;
        if (!r.Byte(&d) || (d & 0x80)) return false;
      }
    }
    visit(e);
    if (e.kind == EventKind::Meta && e.type == 0x2F) return true;
  }
  return true;
}

// The chunks of a Standard MIDI File: the header's fields and each MTrk body; false when malformed.
struct MidiHeader {
  uint16_t format = 0, division = 0;
};

template <class Track>
bool WalkChunks(const uint8_t* data, size_t size, MidiHeader* h, Track&& track) {
  if (!data || size < 14 || std::memcmp(data, "MThd", 4) != 0) return false;
  const uint32_t hlen = Be32(data + 4);
  if (hlen < 6 || hlen > size - 8) return false;
  h->format = Be16(data + 8);
  h->division = Be16(data + 12);
  if (h->format > 1 || h->division == 0) return false;
  int tracks = 0;
  size_t pos = 8 + size_t(hlen);
  while (size - pos >= 8) {
    const uint32_t len = Be32(data + pos + 4);
    const size_t body = pos + 8;
    if (len > size - body) return false;  // truncated chunk
    if (std::memcmp(data + pos, "MTrk", 4) == 0) {
      if (!track(data + body, size_t(len))) return false;
      ++tracks;
    }
    pos = body + len;  // chunks of other types are skipped
  }
  return tracks > 0;
}

}  // namespace

std::optional<uint64_t> MidiDurationMs(const uint8_t* data, size_t size) {
  std::vector<TempoChange> tempi;
  uint64_t end = 0;
  MidiHeader h;
  const bool ok = WalkChunks(data, size, &h, [&](const uint8_t* p, size_t n) {
    // A track ends at its end-of-track event, or at its last event when the chunk simply ends.
    uint64_t tick = 0;
    if (!WalkTrack(p, n, [&](const TrackEvent& e) {
          tick += e.delta;
          if (e.kind == EventKind::Meta && e.type == 0x51 && e.len >= 3)
            tempi.push_back({tick, uint32_t(e.body[0]) << 16 | uint32_t(e.body[1]) << 8 | e.body[2]});
        }))
      return false;
    end = std::max(end, tick);
    return true;
  });
  if (!ok) return std::nullopt;
  const uint16_t division = h.division;

  using u128 = unsigned __int128;
  u128 us;
  if (division & 0x8000) {
    // SMPTE time: frames per second and ticks per frame; tempo changes do not apply.
    const int fps = -int8_t(division >> 8);
    const uint32_t per_frame = division & 0xFF;
    if (per_frame == 0 || (fps != 24 && fps != 25 && fps != 29 && fps != 30)) return std::nullopt;
    // 29 stands for drop-frame 29.97 frames per second.
    const u128 num = u128(end) * 1000000u * (fps == 29 ? 1001u : 1000u);
    const u128 den = u128(per_frame) * (fps == 29 ? 30000u : uint32_t(fps) * 1000u);
    us = num / den;
  } else {
    std::stable_sort(tempi.begin(), tempi.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    u128 sum = 0;  // ticks x microseconds per quarter
    uint64_t at = 0;
    uint32_t tempo = 500000;
    for (const TempoChange& t : tempi) {
      if (t.tick >= end) break;
      sum += u128(t.tick - at) * tempo;
      at = t.tick;
      tempo = t.us_per_quarter;
    }
    sum += u128(end - at) * tempo;
    us = sum / division;
  }
  const u128 ms = us / 1000;
  return ms > UINT64_MAX ? UINT64_MAX : uint64_t(ms);
}

namespace {

void PutVlq(std::vector<uint8_t>& v, uint32_t x) {
  uint8_t b[4];
  int n = 0;
  do {
    b[n++] = uint8_t(x & 0x7F);
    x >>= 7;
  } while (x && n < 4);
  while (n > 1) v.push_back(uint8_t(b[--n] | 0x80));
  v.push_back(b[0]);
}

void PutBe(std::vector<uint8_t>& v, size_t at, uint32_t x, int bytes) {
  for (int k = 0; k < bytes; ++k) v[at + size_t(k)] = uint8_t(x >> (8 * (bytes - 1 - k)));
}

}  // namespace

std::optional<std::vector<uint8_t>> PlayableMidi(const uint8_t* data, size_t size) {
  constexpr uint32_t kMaxDelta = 0x0FFFFFFF;  // what four VLQ bytes hold
  if (!MidiDurationMs(data, size)) return std::nullopt;  // one verdict on every file, timing included
  std::vector<uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 0, 0, 0};
  std::vector<uint8_t> trk;
  uint32_t tracks = 0;
  MidiHeader h;
  const bool ok = WalkChunks(data, size, &h, [&](const uint8_t* p, size_t n) {
    trk.clear();
    uint64_t pending = 0;  // time of the events left out, carried to the next one kept
    bool ended = false;
    auto time = [&](uint32_t delta) {
      pending += delta;
      for (; pending > kMaxDelta; pending -= kMaxDelta) {  // an empty text event holds what one delta cannot
        PutVlq(trk, kMaxDelta);
        trk.insert(trk.end(), {0xFF, 0x01, 0x00});
      }
      PutVlq(trk, uint32_t(pending));
      pending = 0;
    };
    const bool walked = WalkTrack(p, n, [&](const TrackEvent& e) {
      if (e.kind == EventKind::Escape || e.kind == EventKind::System) {
        pending += e.delta;
        return;
      }
      time(e.delta);
      if (e.kind == EventKind::Channel) {
        trk.push_back(e.status);
      } else {
        trk.push_back(e.status);
        if (e.kind == EventKind::Meta) trk.push_back(e.type);
        PutVlq(trk, e.len);
        ended = e.kind == EventKind::Meta && e.type == 0x2F;
      }
      trk.insert(trk.end(), e.body, e.body + e.len);
    });
    if (!walked) return false;
    if (!ended) {
      time(0);
      trk.insert(trk.end(), {0xFF, 0x2F, 0x00});
    }
    if (trk.size() > UINT32_MAX || tracks == 0xFFFF) return false;
    const size_t at = out.size();
    out.insert(out.end(), {'M', 'T', 'r', 'k', 0, 0, 0, 0});
    PutBe(out, at + 4, uint32_t(trk.size()), 4);
    out.insert(out.end(), trk.begin(), trk.end());
    ++tracks;
    return true;
  });
  if (!ok) return std::nullopt;
  PutBe(out, 8, h.format, 2);
  PutBe(out, 10, tracks, 2);
  PutBe(out, 12, h.division, 2);
  return out;
}

}  // namespace plat
