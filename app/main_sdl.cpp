// The real program on Linux: the SDL backend; a fatal start-up error goes to stderr (there may be no display).
#include <cstdio>
#include <memory>

#include "app/run_main.h"
#include "platform/sdl/sdl_backend.h"

int main(int argc, char** argv) {
  ozzel::System linux_desktop;
  linux_desktop.about =
    "A spoken animal quiz for pre-school children. The settings file names the data medium;\n"
    "ozzel-start builds and registers the demo medium first. --parents opens the parents' page first.\n"
    "See ozzel(6).\n";
  linux_desktop.make_backend = [] { return std::make_unique<plat::SdlBackend>(); };
  linux_desktop.fatal = [](const std::string& what) { std::fprintf(stderr, "ozzel: %s\n", what.c_str()); };
  return ozzel::RunMain(argc, argv, linux_desktop);
}
