// The few words the program takes on its command line: --version and --help, for the parent who installed it.
#pragma once
#include <optional>

namespace ozzel {

// The status to end with when the command line asked for something (or was wrong), having printed the
// answer; nullopt when there is nothing on it and the game runs. `about` ends the help text.
std::optional<int> AnswerCommandLine(int argc, char** argv, const char* about);

}  // namespace ozzel
