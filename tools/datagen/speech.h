// The examiner's voice: Festival where Debian has a good voice for the language, espeak-ng otherwise.
#pragma once
#include <string>

#include "tools/datagen/pcm.h"

namespace datagen {

// An espeak-ng voice with its delivery.
struct Voice {
  std::string name = "cs+f3";  // language, then a variant: "+f3" a young woman
  int rate = 140;              // words per minute; slow enough for a three-year-old
  int pitch = 70;              // 0..100
  int range = 70;              // 0..100, how much the pitch moves
};

// Text to samples at kRate through libespeak-ng. Throws Error naming libespeak-ng or its data
// when unusable. The same text and voice always give the same samples.
Pcm Say(const std::string& utf8, const Voice& v);

// The examiner says a line of the current language (texts.h): through Festival when the language
// has a Festival voice and it is installed and starts, else through espeak-ng (cheerful lines a
// little higher and livelier there). Same text, same samples.
Pcm Speak(const std::string& utf8, bool cheerful = false);

// Which voice Speak uses for the current language, and why not Festival when it does not:
// "Festival czech_dita", "espeak-ng cs+f3 (Festival not found; packages festival festival-czech
// festvox-czech-dita)". Decided the first time it is needed per language (Festival is started then).
std::string ExaminerVoice();
// The same decision taken from the installed files only, without starting anything: what the
// generator's version follows, so a medium spoken by the fallback is remade once Festival is there.
std::string PlannedExaminerVoice();
// True when Festival was meant to speak (PlannedExaminerVoice) but failed, so espeak-ng speaks instead.
bool ExaminerFellBack();

}  // namespace datagen
