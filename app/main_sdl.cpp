// The real program: the SDL backend. It reads no command line; OZZEL_TRACE=1 prints the trace.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "app/program.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/trace.h"

int main() {
  std::unique_ptr<plat::SdlBackend> backend;
  try {
    backend = std::make_unique<plat::SdlBackend>();
  } catch (const std::exception& e) {
    // Without a display there is nothing to show a message box in: say it where it can be seen.
    std::fprintf(stderr, "ozzel: %s\n", e.what());
    return 1;
  }
  if (const char* t = std::getenv("OZZEL_TRACE"); t && *t == '1')
    plat::trace::SetSink([](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); },
                         &backend->clock());
  return ozzel::RunProgram(*backend);
}
