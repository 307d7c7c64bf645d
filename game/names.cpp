// File-name composition for pictures, speech, sounds, music and the clip.
#include "game/names.h"

#include <set>

namespace ozzel::game {

using std::to_string;

std::string IntroPicture() { return "\\obrazky\\oz_uvod.bmp"; }
std::string IntroSpeech() { return "\\zvuky\\oz_uvod.wav"; }
std::string ExaminerClip() { return "\\animace\\tib_mluv.avi"; }
std::string MusicFile() { return "\\hudba\\ozzel.mid"; }
std::string ScenePicture(int set) { return "\\obrazky\\" + SetNames.at(set) + "_f.bmp"; }
std::string AnimalPicture(int set, int n) { return "\\obrazky\\" + SetNames.at(set) + "_" + to_string(n) + ".bmp"; }

std::string ButtonSound(int id) {
  if (id >= 1 && id <= 4) return "\\zvuky\\oz_iko" + to_string(id) + ".WAV";
  if (id == 8) return "\\zvuky\\oz_kon.WAV";
  return "";
}

std::string MissSound(int i) { return "\\zvuky\\oz_bad" + to_string(i) + ".wav"; }
std::string WrongSound() { return "\\zvuky\\oz_bad.wav"; }
std::string WrongAnimalSound(const std::string& letter, int n) { return "\\zvuky\\oz_" + letter + "_E" + to_string(n) + ".wav"; }
std::string PraiseIntro() { return "\\zvuky\\oz_brav.wav"; }
std::string PraiseSound(int i) { return "\\zvuky\\oz_ok" + to_string(i) + ".wav"; }
std::string AnimalName(const std::string& letter, int n) { return "\\zvuky\\oz_" + letter + "_J" + to_string(n) + ".wav"; }
std::string ScoreSound() { return "\\zvuky\\oz_s8.wav"; }
std::string GoodbyeSound() { return "\\zvuky\\oz_nashl.wav"; }
std::string SoundLeadIn(bool first) { return first ? "\\zvuky\\oz_snd_a.wav" : "\\zvuky\\oz_snd_b.wav"; }
std::string AnimalSound(int sound) { return "\\zvuky\\oz_snd" + to_string(sound) + ".wav"; }

std::vector<std::string> QuestionFiles(const totazka& e, bool lead_in_a) {
  switch (e.kind) {
    case 1: return {"\\zvuky\\oz_" + e.letter + "_a" + to_string(e.animal) + ".wav"};
    case 2: return {"\\zvuky\\oz_" + e.letter + "_b" + to_string(e.animal) + ".wav"};
    case 3: return {SoundLeadIn(lead_in_a), AnimalSound(e.sound)};
    default: return {};
  }
}

std::vector<std::string> AllDataFiles() {
  std::vector<std::string> out;
  std::set<std::string> seen;
  auto add = [&](const std::string& s) {
    if (seen.insert(s).second) out.push_back(s);
  };
  add(IntroPicture());
  add(IntroSpeech());
  add(ExaminerClip());
  add(MusicFile());
  for (int id : {1, 2, 3, 4, 8}) add(ButtonSound(id));
  for (int set = 1; set <= 4; ++set) {
    add(ScenePicture(set));
    const std::string& letter = SetLetters[set];
    for (int n : AnimalsPresent(set)) {
      add(AnimalPicture(set, n));
      add(AnimalName(letter, n));
      add(WrongAnimalSound(letter, n));
    }
    for (const QuestionSpec& s : SetQuestions(set)) {
      totazka e{s.kind, letter, s.animal, s.sound};
      for (bool a : {true, false})
        for (const std::string& f : QuestionFiles(e, a)) add(f);
    }
  }
  add(PraiseIntro());
  for (int i = 1; i <= 6; ++i) add(PraiseSound(i));
  add(WrongSound());
  for (int i = 1; i <= 4; ++i) add(MissSound(i));
  add(ScoreSound());
  add(GoodbyeSound());
  return out;
}

}  // namespace ozzel::game
