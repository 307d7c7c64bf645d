// The first start: the medium a launcher or the page names is made (where this system makes it, under the
// waiting screen) and registered before the game proper starts.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/waiting.h"
#include "platform/backend.h"

namespace ozzel {

// datagen making the medium in `language` at `root` (the folder made first), its progress lines passed on;
// when it succeeds, the root is registered in the settings store. A datagen that cannot be found or a
// folder that cannot be made ends it at once with an "error other" line; on a failure the folder goes
// again if it was made here and is still empty. `datagen`: the program to run (FindDatagen()).
std::unique_ptr<Preparation> MakeMedium(const std::string& datagen, const std::string& root, const std::string& language);

// $OZZEL_DATAGEN when a test names one (a program's path, run without a shell); else datagen beside the game,
// else in the install's library folder (lib/ozzel beside the game's folder). Empty when none is there;
// `looked` then lists where it was sought.
std::string FindDatagen(std::vector<std::string>* looked = nullptr);

// OZZEL_MEDIUM (the root, OZZEL_LANGUAGE its language): made by datagen under the waiting screen on a
// system that starts helpers, else taken as brought already (a browser's page); then registered. The two
// variables are removed, so that nothing the game starts sees them. nullopt: go on to the game; else the
// program's exit status.
std::optional<int> PrepareMedium(plat::Backend& backend);

}  // namespace ozzel
