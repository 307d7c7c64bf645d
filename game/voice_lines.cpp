// The spoken lines, grouped and ordered as the game plays them.
#include "game/voice_lines.h"

#include <cctype>
#include <set>

#include "game/names.h"
#include "game/sets.h"

namespace ozzel::game {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::vector<VoiceLine> VoiceLines() {
  std::vector<VoiceLine> out;
  std::set<std::string> seen;
  auto add = [&](VoiceGroup g, const std::string& f) {
    if (seen.insert(Lower(f)).second) out.push_back({g, f});
  };
  add(VoiceGroup::Start, IntroSpeech());
  for (int id : {1, 2, 3, 4, 8}) add(VoiceGroup::Start, ButtonSound(id));
  for (int set = 1; set <= 4; ++set) {
    const VoiceGroup g = VoiceGroup(set);
    const std::string& letter = SetLetters[size_t(set)];
    bool lead_in_a = true;
    for (const QuestionSpec& q : SetQuestions(set)) {
      totazka e;
      e.kind = q.kind, e.letter = letter, e.animal = q.animal, e.sound = q.sound;
      const std::vector<std::string> files = QuestionFiles(e, lead_in_a);
      // A sound question's lead-in is speech; the call after it is the animal's own.
      add(g, files.front());
      if (q.kind == 3) lead_in_a = !lead_in_a;
    }
    for (int n : AnimalsPresent(set)) {
      add(g, AnimalName(letter, n));
      add(g, WrongAnimalSound(letter, n));
    }
  }
  add(VoiceGroup::Praise, PraiseIntro());
  for (int i = 1; i <= 6; ++i) add(VoiceGroup::Praise, PraiseSound(i));
  for (int i = 1; i <= 4; ++i) add(VoiceGroup::Praise, MissSound(i));
  add(VoiceGroup::End, ScoreSound());
  add(VoiceGroup::End, GoodbyeSound());
  return out;
}

bool IsVoiceLineName(const std::string& file_name) {
  static const std::set<std::string> names = [] {
    std::set<std::string> s;
    for (const VoiceLine& l : VoiceLines()) s.insert(Lower(l.name()));
    return s;
  }();
  return names.count(Lower(file_name)) > 0;
}

}  // namespace ozzel::game
