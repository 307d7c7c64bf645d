// The program's own words in the medium's language: the exit door's word and every fixed message.
#pragma once
#include <string>
#include <string_view>

namespace ozzel::game {

// One language's table. Czech is the program's own; the others follow a medium made in them.
struct Words {
  const char* code;                     // "cs"
  const char* door;                     // drawn under the exit door ("KONEC"), capitals A-Z
  const char* no_pictures_dir;          // the data root lacks the pictures directory
  const char* data_path_caption;        // the box asking for the data's path
  const char* data_path_prompt;
  const char* still_not_found;          // the typed path does not hold the data either
  const char* no_sound;                 // followed by the sound's path
  const char* no_intro_speech;
  const char* no_examiner_clip;
  const char* background_not_released;
  const char* no_music;                 // followed by the music's path
  const char* error_caption;            // the message boxes' own words
  const char* ok;
  const char* cancel;
};

// The table of a language code; nullptr for a language the program has no words for.
const Words* WordsFor(std::string_view code);
// The words in use (Czech until SetLanguage is given another language).
const Words& CurrentWords();
// Switches to the language's words; Czech for an unknown code.
void SetLanguage(std::string_view code);

// The language a data medium's stamp records (a line "language CODE"); "" when it records none the
// program knows. Reads at most what it is given, whatever the bytes.
std::string StampLanguage(std::string_view stamp);

// The picture of the exit button in the current language: "glyph_konec" in Czech, "glyph_konec_de" ...
std::string DoorPicture();

}  // namespace ozzel::game
