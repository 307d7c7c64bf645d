// What the parents' page says, per language.
#pragma once
#include <string>

namespace ozzel {

struct ParentsTexts {
  const char* code;  // "cs"
  const char* title;
  const char* done;
  const char* access;
  const char* access_modes[5];  // in AccessMode order: mouse, keys, scan1, scan2, dwell
  const char* dwell;
  const char* scan;
  const char* kiosk;
  const char* on;
  const char* off;
  const char* session;
  const char* no_limit;
  const char* music;
  const char* speech;
  const char* animals;      // the grid's heading
  const char* found_first;  // legend: found at the first try
  const char* not_yet;      // asked, not yet found at the first try
  const char* not_asked;
  const char* record_note;  // where the record stays
  char decimal;             // "1,5 s" or "1.5 s"
};

// The texts of a language code ("de"); Czech for a code we have no texts for.
const ParentsTexts& ParentsTextsFor(const std::string& language);

}  // namespace ozzel
