// The family's own voice in the settings: the folder of the registered medium's language's takes, and the switch.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace ozzel {

inline constexpr const char* kValueOwnVoice = "OwnVoice";        // string: the folder of the takes
inline constexpr const char* kValueOwnVoiceOff = "OwnVoiceOff";  // dword 1: the medium's voice, takes kept

// The folder of the takes for a language: OwnVoice when set, else voice/LANGUAGE beside the settings file
// (on Windows, beside the program's folder in the user's application data).
std::string OwnVoiceFolder(const std::string& language);
// Reads both values and lets the takes of the current language play (or not) wherever a line is played.
void OwnVoice_Initialize();

}  // namespace ozzel

namespace ozzel {

// The language of the medium the settings register (its stamp), else OZZEL_LANGUAGE, else Czech.
std::string RegisteredLanguage();

struct TakesMoved {
  int written = 0, kept = 0, refused = 0;  // kept: already there and not replaced
  std::string error;                       // what stopped it, when something did
};
// Every take of the language's folder into one pack file, written atomically.
TakesMoved ExportTakes(const std::string& language, const std::string& pack_path);
// Names of the takes in a pack that would replace takes already in the folder (nullopt: not a pack
// we take, *error says why).
std::optional<std::vector<std::string>> TakesAPackReplaces(const std::string& pack_path, const std::string& language,
                                                           std::string* error);
// Takes from a pack into the language's folder: only names of the medium's spoken lines, each a WAV the
// bounded reader accepts, each written atomically; one already there only when `replace`.
TakesMoved ImportTakes(const std::string& pack_path, const std::string& language, bool replace);

}  // namespace ozzel
