// resgen: draws the program's own pictures, hit maps and cursors into resources/data.
//
// Regenerate:
//   cmake --build build --target resgen && build/tools/resgen/resgen resources/data
// Look at them:
//   build/tools/resgen/resgen --preview /tmp/ozzel-art
// The output is deterministic; tests/tools/resgen checks that the committed files match it byte for byte.
#include <cstdio>
#include <exception>
#include <string>

#include "tools/resgen/resgen.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--preview") {
    try {
      ozzel::resgen::WritePreviews(argv[2]);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "resgen: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: resgen OUTPUT_DIR | resgen --preview PNG_DIR\n");
    return 2;
  }
  try {
    ozzel::resgen::WriteAll(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "resgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
