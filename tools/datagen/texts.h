// Everything the demo medium says or writes, in the language it is built in (Czech unless chosen).
#pragma once
#include <string>
#include <vector>

namespace datagen {

// One animal's words. Forms left empty fall back: subject to name, object to subject.
struct AnimalRow {
  int set, n;           // set 1..4, animal 1..10
  const char* name;     // bare word for the picture caption and the called name: "kočka", "Katze"
  const char* subject;  // as the subject of a question, with its article: "the cat", "die Katze"
  const char* object;   // as the object of "show me": "kočku", "den Hund"
};

// A language's whole table. Patterns put a word where "{}" stands.
struct TextTable {
  const char* code;            // "cs"
  const char* festival_voice;  // Festival voice name ("czech_dita"), or "" for espeak-ng only
  const char* festival_charset;  // what that voice's front end reads ("ISO-8859-2")
  const char* espeak_voice;    // the examiner when espeak-ng speaks ("cs+f3")
  const char* where_is;        // "Kde je {}?"             subject form
  const char* show_me;         // "Ukaž mi {}."            object form
  const char* that_is;         // "To je {}."              subject form, said of a wrong click
  const char* call;            // "{}!"                    the name alone, capitalised
  std::vector<AnimalRow> animals;
  const char* scenes[4];       // home, farm, forest, safari: captions and spoken button words
  const char* end_word;        // the exit button
  const char* intro;
  const char* sound_first;     // before the first animal sound
  const char* sound_next;      // before the others
  const char* bravo;
  const char* praise[6];
  const char* miss[4];         // a click on no animal
  const char* score;           // what the score board shows
  const char* goodbye;         // the end of a session a parent limited in time
  // What the animals say after their own cry, by sound number (1 dog … 12 pig, 17 bear).
  std::vector<std::pair<int, const char*>> calls;
};

// The languages a medium can be built in, by code: cs sk en de pl fr es.
const std::vector<std::string>& LanguageCodes();
// Switches every text (and the voice) to a language; throws Error for a code not in LanguageCodes().
void SetLanguage(const std::string& code);
const TextTable& Texts();  // the current language's table (Czech until set)

// The language a user's environment asks for: $OZZEL_LANGUAGE when it names one, else the language
// of the first set of LC_ALL, LC_MESSAGES and LANG ("de_AT.UTF-8" → "de"), else Czech. Arguments
// are the variables' values, null when unset. *warning is set when the override names no language.
std::string LanguageForLocale(const char* override_code, const char* lc_all, const char* lc_messages,
                              const char* lang, std::string* warning = nullptr);

struct AnimalWords {
  std::string name, subject, object;
};
// Animal n (1..10) of set 1..4; throws Error for an animal the set does not have.
AnimalWords Animal(int set, int n);

std::string WhereIs(int set, int n);     // "Kde je kočka?"
std::string ShowMe(int set, int n);      // "Ukaž mi kočku."
std::string NameOf(int set, int n);      // "Kočka!"
std::string ThatIs(int set, int n);      // "To je pes."
std::string PictureName(int set, int n); // "Kočka": the name on the animal's picture

std::string IntroSpeech();
std::string SceneName(int set);          // "Domácí zvířátka" …
std::string EndWord();                   // "Konec."
std::string SoundLeadIn(bool first);     // lead-ins before an animal sound
std::string Bravo();
std::string Praise(int i);               // 1..6
std::string Miss(int i);                 // 1..4
std::string ScoreExplanation();
std::string Goodbye();
std::string AnimalCall(int sound);       // "haf! haf!"

// The first letter in upper case (Latin letters with and without accents, as these languages use).
std::string Capitalised(const std::string& utf8);

}  // namespace datagen
