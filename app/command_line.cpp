// --version and --help; anything else is refused with the usage line.
#include "app/command_line.h"

#include <cstdio>
#include <cstring>

namespace ozzel {

std::optional<int> AnswerCommandLine(int argc, char** argv, const char* about) {
  if (argc <= 1) return std::nullopt;
  const bool version = std::strcmp(argv[1], "--version") == 0, help = std::strcmp(argv[1], "--help") == 0;
  if (argc == 2 && version) {
    std::printf("ozzel %s\n", OZZEL_VERSION);
    return 0;
  }
  if (argc == 2 && help) {
    std::printf("usage: ozzel [--version | --help]\n%s", about);
    return 0;
  }
  if (version || help)
    std::fprintf(stderr, "ozzel: %s takes nothing after it\n", argv[1]);
  else
    std::fprintf(stderr, "ozzel: unknown %s '%s'\n", argv[1][0] == '-' ? "option" : "argument", argv[1]);
  std::fprintf(stderr, "usage: ozzel [--version | --help]\n");
  return 2;
}

}  // namespace ozzel
