// The real program on Windows: the Win32 backend. It takes --version and --help, and --parents (the Start
// menu's entry for the parents' page); OZZEL_TRACE=1 prints the trace.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "app/command_line.h"
#include "app/user_language.h"
#include "app/program.h"
#include "platform/os.h"
#include "platform/os/single_instance.h"
#include "platform/trace.h"
#include "platform/win32/utf.h"
#include "platform/win32/win32_backend.h"

int main(int argc, char** argv) {
  // The game itself reads no command line; these two are for the parent who installed it.
  constexpr char kAbout[] =
    "A spoken animal quiz for pre-school children. The registry value kde_je_BM4 names the data\n"
    "medium; the installer registers the demo medium. --parents opens the parents' page first.\n";
  // A shortcut cannot set the environment the Linux launcher's action sets: the same switch, by word.
  if (argc == 2 && std::strcmp(argv[1], "--parents") == 0) {
    plat::os::SetEnv("OZZEL_PARENTS", "1");
    argc = 1;
  }
  if (auto status = ozzel::AnswerCommandLine(argc, argv, kAbout)) return *status;
  ozzel::FollowUserLanguage();
  // One game per user: a second launch brings the first to the front and ends before it opens a window.
  const auto instance = plat::SingleInstance::Claim([] { plat::Win32RequestRaise(); });
  if (!instance) return 0;
  std::unique_ptr<plat::Win32Backend> backend;
  try {
    backend = std::make_unique<plat::Win32Backend>();
  } catch (const std::exception& e) {
    // No window: a window program has no console either, so the system's own box says it.
    MessageBoxW(nullptr, plat::win32::Wide(e.what()).c_str(), L"Ozzel", MB_OK | MB_ICONERROR);
    return 1;
  }
  if (const char* t = std::getenv("OZZEL_TRACE"); t && *t == '1') {
    plat::os::BinaryStdio();  // "\n" as on Linux: the trace is compared with the Linux program's
    plat::trace::SetSink([](const std::string& line) {
      std::fprintf(stderr, "%s\n", line.c_str());
      std::fflush(stderr);
    }, &backend->clock());
  }
  return ozzel::RunProgram(*backend);
}
