// The start-up every system shares: its main only makes the backend and says where a fatal error is seen.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/backend.h"

namespace ozzel {

struct System {
  // What --help says after the usage line.
  const char* about = "";
  // Opens the window (or canvas); throws std::runtime_error when it cannot.
  std::function<std::unique_ptr<plat::Backend>()> make_backend;
  // Says an error before the game could start where the user sees it (stderr, a system box).
  std::function<void(const std::string&)> fatal;
};

// The command line (--version, --help, --parents), the user's language, the one game per user, the
// backend, the trace (OZZEL_TRACE=1), a first start's medium (first_start.h), then the program. Returns
// the process's exit status.
int RunMain(int argc, char** argv, const System& system);

}  // namespace ozzel
