// The whole program as one call, for the real executable and the simulator alike.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/backend.h"
#include "platform/geometry.h"

namespace ozzel {

struct ProgramOptions {
  // Fixes the random generator's seed instead of seeding it from the clock.
  std::optional<uint32_t> seed;
};

// Runs the program on a backend: start-up in its fixed order, the message loop, finalisation.
// Returns the process's exit code (traced as "exit CODE"). Installs the backend's audio system as
// plat::Audio(). The settings store is plat::Registry::DefaultPath() ($OZZEL_REGISTRY when set).
int RunProgram(plat::Backend& backend, const ProgramOptions& options = {});

// "K=V ..." for every shared variable of the main-window unit and of the settings unit, by their own
// names, booleans as 0/1 (the simulator's `dump`).
std::string DumpState();
// "K:L:A[:S] ..." for Questions[1..QuestionCount] in list order (kind:letter:animal, :sound for kind 3).
std::string DumpQuestions();
// The point nearest the centre of code n's silhouette in the current set's hit map, in main-window
// client coordinates; nullopt when no set is shown or the code is absent.
std::optional<plat::Point> AnimalPoint(int code);

}  // namespace ozzel
