// The suite's settings in the registry: key and value names, shared by the program, the simulator
// and the demo-medium generator. Keys are relative to HKEY_CURRENT_USER.
#pragma once

namespace ozzel {

inline constexpr const char* kKeyBM4 = "Software\\Orvel Team\\BM4";
// "Odklon" (the diversion): where the suite's installer says the data medium is.
inline constexpr const char* kKeyOdklon = "Software\\Orvel Team\\BM4\\Odklon";
inline constexpr const char* kValueDataRoot = "kde_je_BM4";  // "where BM4 is": the medium's root
// "Nastaveni - obecne": the suite's general settings.
inline constexpr const char* kKeySettings = "Software\\Orvel Team\\BM4\\Nastaveni - obecne";
inline constexpr const char* kValueWavVolume = "WAV HLASITOST";    // speech volume
inline constexpr const char* kValueMidiVolume = "MIDI HLASITOST";  // music volume
inline constexpr const char* kValueKordoSerie = "KORDO SERIE";
inline constexpr const char* kValueStartCount = "Ozzel_starty";    // how often Ozzel has started

// Our own key, not the suite's: what a parent has set (media/parents.h).
inline constexpr const char* kKeyOzzel = "Software\\Ozzel";

}  // namespace ozzel
