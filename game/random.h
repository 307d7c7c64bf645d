// The one pseudo-random generator behind every random choice; seeded once at start-up.
#pragma once
#include <cstdint>

namespace ozzel::game {

void Randomize(uint32_t seed);
// A uniformly distributed r with 0 <= r < n; 0 when n <= 0.
int Random(int n);

}  // namespace ozzel::game
