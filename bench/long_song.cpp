// Writes a long General MIDI song for the music benchmark: eight voices and drums, the instruments
// changing every two minutes, as dense as a real arrangement. Usage: long_song OUT.mid [MINUTES]
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

void Be(std::string& s, uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

void Vlq(std::string& s, uint32_t v) {
  std::string t(1, char(v & 0x7F));
  while (v >>= 7) t.insert(t.begin(), char(0x80 | (v & 0x7F)));
  s += t;
}

struct Track {
  std::string ev;
  uint32_t last = 0;
  void At(uint32_t tick, std::initializer_list<int> bytes) {
    Vlq(ev, tick - last);
    last = tick;
    for (int b : bytes) ev.push_back(char(b));
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: long_song OUT.mid [MINUTES]\n");
    return 2;
  }
  const int minutes = argc > 2 ? std::atoi(argv[2]) : 58;
  if (minutes <= 0) return 2;
  constexpr uint32_t kDivision = 96, kBpm = 120;
  const uint32_t beats = uint32_t(minutes) * kBpm;
  const uint32_t end = beats * kDivision;
  std::vector<Track> tracks(10);
  tracks[0].At(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});  // 120 bpm
  uint32_t seed = 12345;
  auto rnd = [&](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  static const int scale[] = {0, 2, 4, 5, 7, 9, 11};
  for (int v = 0; v < 8; ++v) {
    Track& t = tracks[size_t(v) + 1];
    const int ch = v;
    const uint32_t step = kDivision / uint32_t(1 + v % 4);  // quarters to sixteenths
    const int base = 36 + 6 * v;
    for (uint32_t tick = 0; tick + step <= end; tick += step) {
      if (tick % (kDivision * kBpm * 2) == 0) {  // new instruments every two minutes
        t.At(tick, {0xC0 | ch, int((uint32_t(v) * 16 + tick / (kDivision * kBpm * 2) * 7) % 128)});
        t.At(tick, {0xB0 | ch, 7, 90});
      }
      const int note = base + scale[rnd(7)] + 12 * int(rnd(2));
      t.At(tick, {0x90 | ch, note, 60 + int(rnd(40))});
      t.At(tick + step - 4, {0x80 | ch, note, 0});
    }
  }
  Track& drums = tracks[9];
  for (uint32_t tick = 0; tick + kDivision / 2 <= end; tick += kDivision / 2) {
    const int kit = (tick / kDivision) % 2 ? 38 : 36;
    drums.At(tick, {0x99, kit, 100});
    drums.At(tick, {0x99, 42, 70});
    drums.At(tick + kDivision / 4, {0x89, kit, 0});
    drums.At(tick + kDivision / 4, {0x89, 42, 0});
  }
  std::string out = "MThd";
  Be(out, 6, 4);
  Be(out, 1, 2);
  Be(out, uint32_t(tracks.size()), 2);
  Be(out, kDivision, 2);
  for (Track& t : tracks) {
    t.At(std::max(t.last, end), {0xFF, 0x2F, 0x00});
    out += "MTrk";
    Be(out, uint32_t(t.ev.size()), 4);
    out += t.ev;
  }
  std::ofstream f(argv[1], std::ios::binary);
  f << out;
  if (!f.flush()) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(stderr, "%s: %d minutes, %zu bytes\n", argv[1], minutes, out.size());
  return 0;
}
