// What a parent has set for this computer: the access mode and its timing, kiosk, session length, levels.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ozzel {

// How the child chooses: the mouse (as the game always was), the keyboard, one or two switches
// scanning the choices, or resting a pointer (eye tracker, head mouse) on one. Each is stored by its
// name below (installed games have these in their settings files); everything else about a mode is
// its entry in the program's table of modes, which has one per name, in this order.
enum class AccessMode : uint8_t { Mouse, Keys, Scan1, Scan2, Dwell };
inline constexpr std::array<const char*, 5> kAccessNames = {"mouse", "keys", "scan1", "scan2", "dwell"};

// Every value lives under kKeyOzzel. A value that is missing or unreadable reads as the default
// below, so nothing changes until a parent sets something.
struct ParentsSettings {
  AccessMode Access = AccessMode::Mouse;  // "Access", a string: mouse, keys, scan1, scan2, dwell
  uint32_t DwellMs = 1500;                // "DwellMs": how long a pointer rests to choose
  uint32_t ScanMs = 1500;                 // "ScanMs": how long the highlight stays in one-switch scanning
  bool Kiosk = false;                     // "Kiosk", 0/1: keyboard grabbed, leaving only by a held door
  uint32_t SessionMinutes = 0;            // "SessionMinutes": 0 for no limit
  uint32_t MusicVolume = 100;             // "MusicVolume", percent (0 off)
  uint32_t SpeechVolume = 100;            // "SpeechVolume", percent: speech and effects
  bool operator==(const ParentsSettings&) const = default;
};
extern ParentsSettings parents;

inline constexpr const char* kValueAccess = "Access";
inline constexpr const char* kValueDwellMs = "DwellMs";
inline constexpr const char* kValueScanMs = "ScanMs";
inline constexpr const char* kValueKiosk = "Kiosk";
inline constexpr const char* kValueSessionMinutes = "SessionMinutes";
inline constexpr const char* kValueMusicVolume = "MusicVolume";
inline constexpr const char* kValueSpeechVolume = "SpeechVolume";

// The accepted ranges. Shorter times than these cannot be meant (a choice before the child could
// see the highlight); longer ones would look like a hung game.
inline constexpr uint32_t kMinChoiceMs = 250, kMaxChoiceMs = 30000;
inline constexpr uint32_t kMaxSessionMinutes = 24 * 60;
inline constexpr uint32_t kMaxVolume = 100;

const char* AccessName(AccessMode m);
// Case-insensitive; nullopt for anything but the names above.
std::optional<AccessMode> AccessFromName(std::string_view name);

// Reads every value from the settings file into `parents`, starting from the defaults. A number
// written as a string is read as the number, one outside its range is brought into it, and what was
// done is said on stderr.
void Parents_Initialize();
// Writes each value of `next` that differs from `parents` and takes it into `parents` once written.
// Values outside their ranges are not written. False when the settings file refused a write; the
// values not written keep their old state, every other one is written all the same, and the names of
// the refused ones go to `not_saved`.
bool Parents_Save(const ParentsSettings& next, std::vector<std::string>* not_saved = nullptr);

}  // namespace ozzel
