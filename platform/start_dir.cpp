// The start directory, captured by a static initialiser, before anything can change directory.
#include "platform/start_dir.h"

#include <cctype>

#include "platform/os.h"

namespace plat {

namespace {

[[maybe_unused]] const bool g_captured = !StartDir().empty();

}  // namespace

const std::string& StartDir() {
  static const std::string dir = os::CurrentDir();
  return dir;
}

bool IsRelativePath(const std::string& p) {
  if (p.empty() || p[0] == '/' || p[0] == '\\') return false;
  return !(p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':');
}

std::string FromStartDir(const std::string& p) {
  if (!IsRelativePath(p) || StartDir().empty()) return p;
  const char last = StartDir().back();
  return StartDir() + (last == '/' || last == '\\' ? "" : std::string(1, os::kPathSeparator)) + p;
}

}  // namespace plat
