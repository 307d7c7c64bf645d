// The real program: the SDL backend. It takes only --version and --help; OZZEL_TRACE=1 prints the trace.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <memory>
#include <stdexcept>

#include "app/command_line.h"
#include "app/program.h"
#include "app/user_language.h"
#include "app/waiting.h"
#include "platform/os/child_process.h"
#include "platform/os/single_instance.h"
#include "platform/quit_request.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/trace.h"

namespace {

// The helper a launcher names in OZZEL_PREPARE (a shell command that makes the data medium and prints
// its progress lines), run under the waiting screen.
class HelperPreparation : public ozzel::Preparation {
 public:
  explicit HelperPreparation(const std::string& command) : child_(command) {}
  bool Poll(std::vector<std::string>& lines) override { return child_.Poll(lines); }
  int Status() const override { return child_.ExitStatus(); }

 private:
  plat::ChildProcess child_;
};

}  // namespace

int main(int argc, char** argv) {
  // The game itself reads no command line; these two are for the parent who installed it.
  constexpr char kAbout[] =
    "A spoken animal quiz for pre-school children. The settings file names the data medium;\n"
    "ozzel-start builds and registers the demo medium first. See ozzel(6).\n";
  if (auto status = ozzel::AnswerCommandLine(argc, argv, kAbout)) return *status;
  ozzel::FollowUserLanguage();
  // From here a kill (SIGTERM, SIGINT, SIGHUP) is a request to end, acted on by whichever loop runs; so a
  // helper of the first start goes with the game, and the counters are written.
  plat::CatchQuitRequests(nullptr);
  // Declared before the instance, so they go after it: its listener may push SDL events until it has
  // been joined, and only while SDL is up (a request before the window exists has nothing to raise).
  std::unique_ptr<plat::SdlBackend> backend;
  std::atomic<bool> sdl_up{false};
  // One game per user: a second launch brings the first (or its waiting screen) to the front and ends
  // before it opens a window, plays a sound or counts a start.
  const auto instance = plat::SingleInstance::Claim([&sdl_up] {
    if (sdl_up) plat::SdlRequestRaise();
  });
  if (!instance) {
    std::fprintf(stderr, "ozzel: the game is already running; it has been brought to the front\n");
    return 0;
  }
  try {
    backend = std::make_unique<plat::SdlBackend>();
    sdl_up = true;
  } catch (const std::exception& e) {
    // Without a display there is nothing to show a message box in: say it where it can be seen.
    std::fprintf(stderr, "ozzel: %s\n", e.what());
    return 1;
  }
  if (const char* t = std::getenv("OZZEL_TRACE"); t && *t == '1')
    plat::trace::SetSink([](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); },
                         &backend->clock());
  // A first start: the launcher hands over the making of the medium, which runs under the waiting screen.
  if (const char* prepare = std::getenv("OZZEL_PREPARE"); prepare && *prepare) {
    const std::string command = prepare;
    ::unsetenv("OZZEL_PREPARE");
    const char* language = std::getenv("OZZEL_LANGUAGE");
    if (plat::QuitRequests() != 0) return 0;
    try {
      HelperPreparation work(command);
      const auto outcome = ozzel::RunWaitingScreen(*backend, work, language ? language : "cs");
      if (outcome == ozzel::WaitOutcome::kClosed && plat::QuitRequests() != 0) return 0;  // as asked
      if (outcome != ozzel::WaitOutcome::kReady) return 1;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "ozzel: %s\n", e.what());
      return 1;
    }
  }
  // Asked to end before the game proper began: nothing of it has started, nothing is counted.
  if (plat::QuitRequests() != 0) return 0;
  return ozzel::RunProgram(*backend);
}
