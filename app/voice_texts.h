// What the studio of the family's own voice says, per language.
#pragma once
#include <string>

namespace ozzel {

struct VoiceTexts {
  const char* code;          // "cs"
  const char* studio;        // the studio's name, also its button on the parents' page
  const char* of;            // "23 of 61": the word between
  const char* record;        // starts a take (or Enter)
  const char* listening;     // while a take is being recorded
  const char* again;         // throws the take away and records the line anew
  const char* next;          // keeps the take and goes on
  const char* like_this;     // plays the medium's own recording of the line
  const char* heard_nothing;
  const char* further;       // the take clipped
  const char* closer;        // the take was too quiet
  const char* unreadable;    // a file that is not a WAV we can read
  const char* no_microphone; // none found, or the system refused it
  const char* not_saved;     // the take could not be written (a full disk, a read-only folder)
  const char* use_own;       // the setting: play the family's takes
  const char* intro;         // the groups of lines
  const char* scene;
  const char* praise;
  const char* end;
  const char* exported;      // followed by the file's path
  const char* imported;      // followed by how many takes
  const char* replace;       // asks before replacing takes, followed by how many
  const char* bad_file;      // an export file that cannot be taken
};

// The texts of a language code; Czech for a code we have no texts for.
const VoiceTexts& VoiceTextsFor(const std::string& language);

}  // namespace ozzel
