// Recipes for the recordings: examiner speech, animal sounds made of synthesis and onomatopoeia, all levelled.
#include "tools/datagen/sounds.h"

#include <algorithm>
#include <cctype>
#include <regex>

#include "game/sets.h"
#include "tools/datagen/clicks.h"
#include "tools/datagen/error.h"
#include "tools/datagen/loudness.h"
#include "tools/datagen/speech.h"
#include "tools/datagen/stages.h"
#include "tools/datagen/texts.h"

namespace datagen {

namespace {


int SetOfLetter(const std::string& letter) {
  for (int s = 1; s <= 4; ++s)
    if (ozzel::game::SetLetters[s] == letter) return s;
  throw Error("no set with letter " + letter);
}

// The animal's own cry in the medium's language ("haf! haf!", "woof! woof!"), said by an espeak-ng
// variant that suits the animal ("+m1" a deep male voice, "+f4" a high female one).
Pcm Spoken(int sound, const std::string& variant, int pitch, int rate, int range = 80) {
  const std::string voice = Texts().espeak_voice;
  Pcm p = Say(AnimalCall(sound), Voice{voice.substr(0, voice.find('+')) + "+" + variant, rate, pitch, range});
  Normalize(p, 0.85);
  return p;
}

Pcm Joined(std::initializer_list<Pcm> parts, double gap) {
  Pcm out;
  for (const Pcm& p : parts) {
    if (!out.empty()) Append(out, Silence(gap));
    Append(out, p);
  }
  return out;
}

}  // namespace

Pcm FailureTone() {
  Pcm p = Tone(523.25, 493.88, 0.22, 0.45, 2);
  Append(p, Silence(0.04));
  Append(p, Tone(392.0, 349.23, 0.42, 0.45, 2));
  Fade(p, 0.0, 0.15);
  return p;
}

Pcm AnimalSound(int sound) {
  Pcm p;
  switch (sound) {
    case 1: {  // dog: two short barks, then "haf haf"
      Pcm bark = Voiced(330, 220, 0.16, 0.8, 0.35);
      MixAt(bark, Noise(0.12, 0.25, 0.5, 1), 0.0);
      p = Joined({bark, bark, Spoken(1, "m3", 35, 190)}, 0.12);
      break;
    }
    case 2: {  // cat
      Pcm meow = Voiced(480, 700, 0.25, 0.6, 0.25, 6, 0.02);
      Append(meow, Voiced(700, 420, 0.5, 0.6, 0.2, 6, 0.02));
      p = Joined({meow, Spoken(2, "f4", 95, 130)}, 0.2);
      break;
    }
    case 3:  // cow
      p = Joined({Voiced(125, 100, 1.4, 0.8, 0.06, 4, 0.015), Spoken(3, "m1", 10, 110)}, 0.2);
      break;
    case 4:  // horse: a trembling whinny
      p = Joined({Voiced(950, 480, 0.9, 0.6, 0.3, 13, 0.07), Spoken(4, "m2", 70, 170)}, 0.15);
      break;
    case 5:  // turkey
      p = Spoken(5, "m4", 75, 230, 100);
      break;
    case 6:  // goat
      p = Joined({Voiced(420, 390, 0.9, 0.6, 0.3, 7, 0.07), Spoken(6, "f2", 80, 120)}, 0.15);
      break;
    case 7:  // rooster
      p = Spoken(7, "m3", 90, 170, 100);
      break;
    case 8:  // hen
      p = Spoken(8, "f4", 85, 200, 100);
      break;
    case 9:  // duck
      p = Spoken(9, "m6", 60, 190, 60);
      break;
    case 10: {  // goose: two nasal honks, then "ga ga ga"
      const Pcm honk = Voiced(560, 470, 0.22, 0.7, 0.45, 9, 0.03);
      p = Joined({honk, honk, Spoken(10, "f1", 70, 170, 60)}, 0.1);
      break;
    }
    case 11:  // sheep
      p = Joined({Voiced(300, 280, 0.9, 0.6, 0.22, 8, 0.06), Spoken(11, "f2", 60, 120)}, 0.15);
      break;
    case 12: {  // pig: low grunts, then "chro chro"
      Pcm grunt = Voiced(85, 70, 0.22, 0.7, 0.08, 25, 0.15);
      MixAt(grunt, Noise(0.2, 0.2, 0.85, 2), 0.0);
      p = Joined({grunt, grunt, Spoken(12, "m1", 20, 170)}, 0.1);
      break;
    }
    case 17:  // bear: a growl, then "brum brum"
      p = Joined({Voiced(75, 62, 1.0, 0.8, 0.05, 18, 0.12), Spoken(17, "m1", 5, 120)}, 0.2);
      break;
    default:
      throw Error("no animal sound " + std::to_string(sound));
  }
  Normalize(p, 0.85);
  return p;
}

std::optional<SpokenText> SpokenLine(const std::string& file_name) {
  std::string n = file_name;
  std::transform(n.begin(), n.end(), n.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  std::smatch m;
  if (n == "oz_uvod.wav") return SpokenText{IntroSpeech()};
  if (std::regex_match(n, m, std::regex(R"(oz_iko([1-4])\.wav)"))) return SpokenText{SceneName(std::stoi(m[1]))};
  if (n == "oz_kon.wav") return SpokenText{EndWord()};
  if (n == "oz_brav.wav") return SpokenText{Bravo(), true};
  if (std::regex_match(n, m, std::regex(R"(oz_ok([1-6])\.wav)"))) return SpokenText{Praise(std::stoi(m[1])), true};
  if (std::regex_match(n, m, std::regex(R"(oz_bad([1-4])\.wav)"))) return SpokenText{Miss(std::stoi(m[1]))};
  if (n == "oz_s8.wav") return SpokenText{ScoreExplanation()};
  if (n == "oz_nashl.wav") return SpokenText{Goodbye()};
  if (n == "oz_snd_a.wav") return SpokenText{SoundLeadIn(true)};
  if (n == "oz_snd_b.wav") return SpokenText{SoundLeadIn(false)};
  if (std::regex_match(n, m, std::regex(R"(oz_([dusl])_([abje])([0-9]{1,2})\.wav)"))) {
    const int set = SetOfLetter(std::string(1, char(std::toupper(m[1].str()[0]))));
    const int animal = std::stoi(m[3]);
    switch (m[2].str()[0]) {
      case 'a': return SpokenText{WhereIs(set, animal)};
      case 'b': return SpokenText{ShowMe(set, animal)};
      case 'j': return SpokenText{NameOf(set, animal), true};
      default: return SpokenText{ThatIs(set, animal)};
    }
  }
  return std::nullopt;
}

namespace {

Pcm Unlevelled(const std::string& file_name) {
  std::string n = file_name;
  std::transform(n.begin(), n.end(), n.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  std::smatch m;
  if (n == "oz_bad.wav") return FailureTone();
  if (std::regex_match(n, m, std::regex(R"(oz_snd([0-9]{1,2})\.wav)"))) return AnimalSound(std::stoi(m[1]));
  if (auto line = SpokenLine(file_name)) return Speak(line->text, line->cheerful);
  throw Error("no recording for " + file_name);
}

}  // namespace

Pcm MakeRecording(const std::string& file_name) {
  Pcm p;
  {
    StageTimer t(Stage::kSounds);  // what Speak and Say spend counts as speech
    p = Unlevelled(file_name);
  }
  {
    StageTimer t(Stage::kDeclicking);
    RemoveClicks(p);
  }
  StageTimer t(Stage::kLoudness);
  Level(p);
  return p;
}

}  // namespace datagen
