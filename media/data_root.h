// Registering the data medium's root as the suite's installer does: the one value the program reads it from.
#pragma once
#include <string>

namespace ozzel {

// Stores `root` in kde_je_BM4 of the settings store at `store_path` (unless it is there already); false
// when the store refuses the write.
bool RegisterDataRoot(const std::string& store_path, const std::string& root);

}  // namespace ozzel
