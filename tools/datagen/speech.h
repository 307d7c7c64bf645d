// Czech speech through libespeak-ng, synthesised synchronously into a sample buffer.
#pragma once
#include <string>

#include "tools/datagen/pcm.h"

namespace datagen {

struct Voice {
  std::string name = "cs+f3";  // the examiner: a young woman's voice
  int rate = 140;              // words per minute; slow enough for a three-year-old
  int pitch = 70;              // 0..100
  int range = 70;              // 0..100, how much the pitch moves
};

// Text to samples at kRate. Throws Error naming libespeak-ng or its Czech data when unusable.
// The same text and voice always give the same samples.
Pcm Say(const std::string& utf8, const Voice& v = {});

}  // namespace datagen
