// One start-up for every system, in its fixed order.
#include "app/run_main.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "app/command_line.h"
#include "app/first_start.h"
#include "app/program.h"
#include "app/user_language.h"
#include "platform/os.h"
#include "platform/os/single_instance.h"
#include "platform/quit_request.h"
#include "platform/trace.h"

namespace ozzel {

int RunMain(int argc, char** argv, const System& system) {
  // A shortcut cannot set the environment a launcher's action sets: the same switch, by word.
  if (argc == 2 && std::strcmp(argv[1], "--parents") == 0) {
    plat::os::SetEnv("OZZEL_PARENTS", "1");
    argc = 1;
  }
  if (auto status = AnswerCommandLine(argc, argv, system.about)) return *status;
  FollowUserLanguage();
  // From here a kill (SIGTERM, SIGINT, SIGHUP) is a request to end, acted on by whichever loop runs; so a
  // helper of the first start goes with the game, and the counters are written.
  plat::CatchQuitRequests(nullptr);
  // Declared before the instance, so they go after it: its listener may ask the backend to raise its
  // window until it has been joined, and only once the backend is up.
  std::unique_ptr<plat::Backend> backend;
  std::atomic<plat::Backend*> raise{nullptr};
  // One game per user: a second launch brings the first (or its waiting screen) to the front and ends
  // before it opens a window, plays a sound or counts a start.
  const auto instance = plat::SingleInstance::Claim([&raise] {
    if (plat::Backend* b = raise.load()) b->Raise();
  });
  if (!instance) {
    std::fprintf(stderr, "ozzel: the game is already running; it has been brought to the front\n");
    return 0;
  }
  try {
    backend = system.make_backend();
  } catch (const std::exception& e) {
    system.fatal(e.what());
    return 1;
  }
  raise = backend.get();
  if (const char* t = std::getenv("OZZEL_TRACE"); t && *t == '1') {
    plat::os::BinaryStdio();  // "\n" as on Linux: traces are compared across systems
    plat::Backend* b = backend.get();
    plat::trace::SetSink([b](const std::string& line) { b->WriteTrace(line); }, &backend->clock());
  }
  try {
    if (auto status = PrepareMedium(*backend)) return *status;
  } catch (const std::exception& e) {
    system.fatal(e.what());
    return 1;
  }
  // Asked to end before the game proper began: nothing of it has started, nothing is counted.
  if (plat::QuitRequests() != 0) return 0;
  return RunProgram(*backend);
}

}  // namespace ozzel
