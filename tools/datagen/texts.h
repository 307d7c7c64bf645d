// Everything the demo medium says or writes, in Czech for a three-year-old.
#pragma once
#include <string>
#include <vector>

namespace datagen {

struct AnimalWords {
  std::string nominative;  // "kočka": the picture caption and "Kde je …?"
  std::string accusative;  // "kočku": "Ukaž mi …"
};

// Animal n (1..10) of set 1..4; throws Error for an animal the set does not have.
const AnimalWords& Animal(int set, int n);

std::string WhereIs(int set, int n);     // "Kde je kočka?"
std::string ShowMe(int set, int n);      // "Ukaž mi kočku."
std::string NameOf(int set, int n);      // "Kočka!"
std::string ThatIs(int set, int n);      // "To je pes."

std::string IntroSpeech();
std::string SceneName(int set);          // "Domácí zvířátka" …
std::string EndWord();                   // "Konec"
std::string SoundLeadIn(bool first);     // lead-ins before an animal sound
std::string Bravo();
std::string Praise(int i);               // 1..6
std::string Miss(int i);                 // 1..4
std::string ScoreExplanation();

}  // namespace datagen
