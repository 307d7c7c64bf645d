// The real program: the SDL backend. It reads no command line; OZZEL_TRACE=1 prints the trace.
#include <cstdio>
#include <cstdlib>

#include "app/program.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/trace.h"

int main() {
  plat::SdlBackend backend;
  if (const char* t = std::getenv("OZZEL_TRACE"); t && *t == '1')
    plat::trace::SetSink([](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); },
                         &backend.clock());
  return ozzel::RunProgram(backend);
}
