// The family's own voice in the settings: the folder of the registered medium's language's takes, and the switch.
#pragma once
#include <string>

namespace ozzel {

inline constexpr const char* kValueOwnVoice = "OwnVoice";        // string: the folder of the takes
inline constexpr const char* kValueOwnVoiceOff = "OwnVoiceOff";  // dword 1: the medium's voice, takes kept

// The folder of the takes for a language: OwnVoice when set, else voice/LANGUAGE beside the settings file
// (on Windows, beside the program's folder in the user's application data).
std::string OwnVoiceFolder(const std::string& language);
// Reads both values and lets the takes of the current language play (or not) wherever a line is played.
void OwnVoice_Initialize();

}  // namespace ozzel
