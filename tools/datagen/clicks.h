// Clicks in synthesised speech (a burst of sample jumps where the voice joins two recorded units), found and mended.
#pragma once
#include <cstddef>
#include <vector>

#include "tools/datagen/pcm.h"

namespace datagen {

// One click: the samples [first, last] are the burst.
struct Click {
  size_t first = 0, last = 0;
};

// Samples whose bend (second difference) stands far above the bend of the speech on both sides of
// them and far above the recording's loud level: speech, even a plosive or a hiss, never turns that
// sharply, a unit join that does not fit does. Nearby ones form one click. Scale-free.
std::vector<Click> FindClicks(const Pcm& p);

// Replaces each click, with a millisecond of margin, by a crossfade from the voice's last pitch
// period before it (repeated) to its first after it, so a vowel goes on instead of dropping out.
// Returns how many clicks it mended.
int RemoveClicks(Pcm& p);

}  // namespace datagen
