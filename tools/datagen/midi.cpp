// SMF encoding (variable-length deltas, format 1) and an original tune in C major.
#include "tools/datagen/midi.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace datagen {

namespace {

void PutVlq(std::vector<uint8_t>& v, uint32_t x) {
  uint8_t tmp[5];
  int n = 0;
  do {
    tmp[n++] = uint8_t(x & 0x7F);
    x >>= 7;
  } while (x && n < 5);
  while (n > 1) v.push_back(uint8_t(tmp[--n] | 0x80));
  v.push_back(tmp[0]);
}

void PutBe32(std::vector<uint8_t>& v, uint32_t x) {
  for (int s = 24; s >= 0; s -= 8) v.push_back(uint8_t(x >> s));
}
void PutBe16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(uint8_t(x >> 8));
  v.push_back(uint8_t(x));
}

}  // namespace

void SmfTrack::Add(uint32_t tick, int order, std::vector<uint8_t> bytes) {
  events_.push_back({tick, order, events_.size(), std::move(bytes)});
}

void SmfTrack::Meta(uint32_t tick, uint8_t type, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> b = {0xFF, type};
  PutVlq(b, uint32_t(data.size()));
  b.insert(b.end(), data.begin(), data.end());
  Add(tick, 0, std::move(b));
}

void SmfTrack::Tempo(uint32_t tick, uint32_t us) {
  Meta(tick, 0x51, {uint8_t(us >> 16), uint8_t(us >> 8), uint8_t(us)});
}

void SmfTrack::Program(uint32_t tick, uint8_t ch, uint8_t program) {
  Add(tick, 1, {uint8_t(0xC0 | (ch & 15)), uint8_t(program & 0x7F)});
}

void SmfTrack::Control(uint32_t tick, uint8_t ch, uint8_t controller, uint8_t value) {
  Add(tick, 1, {uint8_t(0xB0 | (ch & 15)), uint8_t(controller & 0x7F), uint8_t(value & 0x7F)});
}

void SmfTrack::Note(uint32_t tick, uint32_t length, uint8_t ch, uint8_t key, uint8_t velocity) {
  Add(tick, 2, {uint8_t(0x90 | (ch & 15)), uint8_t(key & 0x7F), uint8_t(std::clamp<int>(velocity, 1, 127))});
  Add(tick + length, 0, {uint8_t(0x80 | (ch & 15)), uint8_t(key & 0x7F), 0x40});
}

std::vector<uint8_t> SmfTrack::Encode() const {
  std::vector<Event> ev = events_;
  std::stable_sort(ev.begin(), ev.end(), [](const Event& a, const Event& b) {
    if (a.tick != b.tick) return a.tick < b.tick;
    if (a.order != b.order) return a.order < b.order;
    return a.seq < b.seq;
  });
  std::vector<uint8_t> body;
  uint32_t now = 0;
  for (const Event& e : ev) {
    PutVlq(body, e.tick - now);
    now = e.tick;
    body.insert(body.end(), e.bytes.begin(), e.bytes.end());
  }
  PutVlq(body, 0);
  body.insert(body.end(), {0xFF, 0x2F, 0x00});
  std::vector<uint8_t> chunk = {'M', 'T', 'r', 'k'};
  PutBe32(chunk, uint32_t(body.size()));
  chunk.insert(chunk.end(), body.begin(), body.end());
  return chunk;
}

std::vector<uint8_t> EncodeSmf(const std::vector<SmfTrack>& tracks, uint16_t tpq) {
  std::vector<uint8_t> v = {'M', 'T', 'h', 'd'};
  PutBe32(v, 6);
  PutBe16(v, 1);
  PutBe16(v, uint16_t(tracks.size()));
  PutBe16(v, tpq);
  for (const SmfTrack& t : tracks) {
    std::vector<uint8_t> c = t.Encode();
    v.insert(v.end(), c.begin(), c.end());
  }
  return v;
}

namespace {

constexpr uint32_t kTpq = 480;
constexpr uint32_t kEighth = kTpq / 2;
constexpr uint32_t kBar = kTpq * 4;

// "E5:2" = E in octave 5 for two eighths; "R:2" a rest. Middle C is C4 = 60.
struct Step {
  int key;  // -1 rest
  int eighths;
};

int KeyOf(const std::string& name) {
  static const std::array<int, 7> semis = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (name == "R") return -1;
  int k = semis[size_t(name[0] - 'A')];
  size_t i = 1;
  if (name[i] == '#') ++k, ++i;
  if (name[i] == 'b') --k, ++i;
  return 12 * (std::stoi(name.substr(i)) + 1) + k;
}

std::vector<Step> Parse(const char* text) {
  std::vector<Step> out;
  std::string s(text);
  size_t pos = 0;
  while (pos < s.size()) {
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == '|')) ++pos;
    if (pos >= s.size()) break;
    size_t end = s.find_first_of(" |", pos);
    if (end == std::string::npos) end = s.size();
    const std::string tok = s.substr(pos, end - pos);
    const size_t colon = tok.find(':');
    out.push_back({KeyOf(tok.substr(0, colon)), std::stoi(tok.substr(colon + 1))});
    pos = end;
  }
  return out;
}

// Sixteen bars, A A' B A''.
const char* kMelody =
    "E5:2 G5:2 G5:1 A5:1 G5:2 | F5:2 A5:2 A5:1 G5:1 F5:2 | D5:2 G5:2 F5:1 E5:1 D5:2 | C5:2 E5:2 C5:4 |"
    "E5:2 G5:2 C6:2 G5:2 | A5:2 F5:2 A5:1 G5:1 F5:2 | G5:1 F5:1 E5:1 D5:1 G5:2 B4:2 | C5:4 R:4 |"
    "A5:2 A5:1 B5:1 C6:2 A5:2 | G5:2 G5:1 A5:1 G5:2 E5:2 | F5:2 F5:1 G5:1 F5:2 D5:2 | E5:2 G5:2 C5:4 |"
    "E5:2 G5:2 C6:2 G5:2 | A5:2 F5:2 A5:1 G5:1 F5:2 | E5:2 D5:2 G5:2 B4:2 | C5:6 R:2";

// Root of each bar's chord (C, F or G major).
const char kChords[] = "CFGCCFGCFCGCCFGC";

// The tune plays under the examiner's voice, and the program sets no volumes of its own: channel
// volumes and velocities are scaled down here so that speech stands well above the music in the
// program's mix (ozzel-levels measures both). The synthesiser attenuates both roughly as
// 40 log10(value / 127) dB.
constexpr double kVolumeScale = 0.45, kVelocityScale = 0.8;
uint8_t Volume(int v) { return uint8_t(std::clamp<long>(std::lround(v * kVolumeScale), 1, 127)); }
uint8_t Velocity(int v) { return uint8_t(std::clamp<long>(std::lround(v * kVelocityScale), 1, 127)); }

std::array<int, 3> Triad(char root) {
  switch (root) {
    case 'F': return {65, 69, 72};  // F A C
    case 'G': return {67, 71, 74};  // G B D
    default: return {60, 64, 67};   // C E G
  }
}

}  // namespace

std::vector<uint8_t> MakeTune() {
  constexpr uint8_t kMelodyCh = 0, kChordCh = 1, kBassCh = 2, kDrumCh = 9;
  constexpr int kPasses = 2;
  const std::vector<Step> melody = Parse(kMelody);
  const uint32_t piece = 16 * kBar;

  SmfTrack conductor;
  conductor.Meta(0, 0x03, {'O', 'z', 'z', 'e', 'l'});
  conductor.Meta(0, 0x58, {4, 2, 24, 8});  // 4/4
  conductor.Tempo(0, 500000);              // 120 beats a minute

  SmfTrack lead, chords, bass, drums;
  lead.Control(0, kMelodyCh, 7, Volume(100));
  chords.Program(0, kChordCh, 24);  // nylon guitar
  chords.Control(0, kChordCh, 7, Volume(70));
  bass.Program(0, kBassCh, 32);  // acoustic bass
  bass.Control(0, kBassCh, 7, Volume(90));
  drums.Control(0, kDrumCh, 7, Volume(60));

  for (int pass = 0; pass < kPasses; ++pass) {
    const uint32_t base = pass * piece;
    // Glockenspiel the first time round, flute the second.
    lead.Program(base, kMelodyCh, pass == 0 ? 9 : 73);
    uint32_t t = base;
    for (const Step& s : melody) {
      const uint32_t len = uint32_t(s.eighths) * kEighth;
      if (s.key >= 0) lead.Note(t, len - 20, kMelodyCh, uint8_t(s.key), Velocity((t - base) % kBar == 0 ? 100 : 88));
      t += len;
    }
    for (int bar = 0; bar < 16; ++bar) {
      const uint32_t b = base + uint32_t(bar) * kBar;
      const auto tri = Triad(kChords[bar]);
      const bool last = pass == kPasses - 1 && bar == 15;
      // Oom-pah: bass on beats 1 and 3 (root, then fifth), chord on beats 2 and 4.
      bass.Note(b, kTpq - 40, kBassCh, uint8_t(tri[0] - 24), Velocity(96));
      if (!last) bass.Note(b + 2 * kTpq, kTpq - 40, kBassCh, uint8_t(tri[2] - 24), Velocity(84));
      for (int beat : {1, 3}) {
        if (last && beat == 3) break;
        for (int k : tri) chords.Note(b + uint32_t(beat) * kTpq, kTpq - 60, kChordCh, uint8_t(k), Velocity(58));
      }
      for (int beat = 0; beat < 4; ++beat) {
        if (last && beat > 0) break;
        const uint32_t at = b + uint32_t(beat) * kTpq;
        drums.Note(at, kEighth, kDrumCh, beat % 2 == 0 ? 36 : 38, Velocity(beat % 2 == 0 ? 70 : 45));  // kick, snare
        drums.Note(at, kEighth / 2, kDrumCh, 42, Velocity(40));                                       // closed hat
        drums.Note(at + kEighth, kEighth / 2, kDrumCh, 42, Velocity(28));
      }
    }
  }
  return EncodeSmf({conductor, lead, chords, bass, drums}, uint16_t(kTpq));
}

}  // namespace datagen
