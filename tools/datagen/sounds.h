// The contents of every recording under "zvuky", chosen by the file's name.
#pragma once
#include <optional>
#include <string>

#include "tools/datagen/pcm.h"

namespace datagen {

// file_name is the bare name in any case ("oz_D_a5.wav", "oz_iko1.WAV"). Throws Error for a name
// this generator has no recording for.
Pcm MakeRecording(const std::string& file_name);

// What a spoken recording says, and whether it is said cheerfully; nothing for a sound (an animal's
// cry, the failure tone) or a name with no recording.
struct SpokenText {
  std::string text;
  bool cheerful = false;
};
std::optional<SpokenText> SpokenLine(const std::string& file_name);

// The animal sounds by their shared number (1 dog … 12 pig, 17 bear).
Pcm AnimalSound(int sound);
// The failure sound: a gentle falling two-note tone.
Pcm FailureTone();

}  // namespace datagen
