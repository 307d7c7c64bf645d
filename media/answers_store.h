// The answers record on this computer: read at start, kept in memory while the child plays, written
// back at the end with the counters. Never sent anywhere.
#pragma once
#include "game/answer_record.h"

namespace ozzel {

inline constexpr const char* kValueAnswers = "Answers";  // under kKeyOzzel, one line (AnswerRecord)

extern game::AnswerRecord answers;

void Answers_Initialize();
// Writes the record when an answer changed it; a file that refuses the write loses this run's answers only.
void Answers_Finalize();

}  // namespace ozzel
