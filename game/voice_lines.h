// Every line the examiner speaks, in the order a child meets them: what a family may record in its own voice.
#pragma once
#include <string>
#include <vector>

namespace ozzel::game {

// Where a line belongs: the start (introduction, scene names, the door), a scene 1..4, praise and misses, the end.
enum class VoiceGroup { Start = 0, Scene1, Scene2, Scene3, Scene4, Praise, End };

struct VoiceLine {
  VoiceGroup group;
  std::string file;  // as the program composes it: "\zvuky\oz_L_a1.wav"
  std::string name() const { return file.substr(file.find_last_of('\\') + 1); }
};

// The spoken lines (the animals' own calls and the failure tone are sounds, not speech), each once.
std::vector<VoiceLine> VoiceLines();
// True when `file_name` ("oz_L_a1.wav", any case) names one of them: the only names a take may have.
bool IsVoiceLineName(const std::string& file_name);

}  // namespace ozzel::game
