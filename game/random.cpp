// splitmix64 generator: small, fast, and the same sequence everywhere for a given seed.
#include "game/random.h"

namespace ozzel::game {

namespace {
uint64_t g_state = 0x9E3779B97F4A7C15ull;

uint64_t Next() {
  // splitmix64: every seed, including 0, gives a full-period, well-mixed sequence.
  uint64_t z = (g_state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}
}  // namespace

void Randomize(uint32_t seed) { g_state = seed; }

int Random(int n) {
  if (n <= 0) return 0;
  // Multiply-shift keeps the result uniform enough for n far below 2^32.
  return int((Next() >> 32) * uint64_t(n) >> 32);
}

}  // namespace ozzel::game
