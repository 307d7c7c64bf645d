// The whole program as one call, for the real executable and the simulator alike.
#pragma once
#include <optional>
#include <string>

#include "platform/backend.h"
#include "platform/geometry.h"

namespace ozzel {

// Runs the program on a backend: start-up in its fixed order, the message loop, finalisation.
// Returns the process's exit code. Installs the backend's audio system as plat::Audio().
int RunProgram(plat::Backend& backend);

// "K=V ..." for every shared variable of the main-window unit and of the settings unit, by their own
// names, booleans as 0/1 (the simulator's `dump`).
std::string DumpState();
// "K:L:A[:S] ..." for Questions[1..QuestionCount] in list order (kind:letter:animal, :sound for kind 3).
std::string DumpQuestions();
// The point nearest the centre of code n's silhouette in the current set's hit map, in main-window
// client coordinates; nullopt when no set is shown or the code is absent.
std::optional<plat::Point> AnimalPoint(int code);

}  // namespace ozzel
