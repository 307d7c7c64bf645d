// What the parents' page says, per language.
#pragma once
#include <string>

namespace ozzel {

// Plain words for a parent: a setting's name, and one line under it saying what it does.
struct ParentsTexts {
  const char* code;  // "cs"
  const char* title;
  const char* done;
  const char* access;  // the modes' own words are in their entries (app/access_modes.cpp)
  const char* dwell;
  const char* dwell_help;
  const char* scan;
  const char* scan_help;
  const char* kiosk;
  const char* kiosk_help;  // how to leave a locked game
  const char* on;
  const char* off;
  const char* session;
  const char* session_help;
  const char* no_limit;
  const char* music;
  const char* music_help;
  const char* speech;
  const char* speech_help;
  const char* animals;      // the grid's heading
  const char* found_first;  // legend: found at the first try
  const char* not_yet;      // asked, not yet found at the first try
  const char* not_asked;
  const char* record_note;  // where the record stays
  const char* not_saved;    // a box: followed by the settings that could not be saved
  char decimal;             // "1,5 s" or "1.5 s"
};

// The texts of a language code ("de"); Czech for a code we have no texts for.
const ParentsTexts& ParentsTextsFor(const std::string& language);
// Every language the page speaks, Czech first.
const ParentsTexts* ParentsTextsAll(int& count);

}  // namespace ozzel
