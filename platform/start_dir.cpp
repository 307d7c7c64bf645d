// The start directory, captured by a static initialiser, before anything can change directory.
#include "platform/start_dir.h"

#include <unistd.h>

#include <cctype>
#include <climits>

namespace plat {

namespace {
std::string Cwd() {
  char buf[PATH_MAX];
  return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}
[[maybe_unused]] const bool g_captured = !StartDir().empty();
}  // namespace

const std::string& StartDir() {
  static const std::string dir = Cwd();
  return dir;
}

bool IsRelativePath(const std::string& p) {
  if (p.empty() || p[0] == '/' || p[0] == '\\') return false;
  return !(p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':');
}

std::string FromStartDir(const std::string& p) {
  if (!IsRelativePath(p) || StartDir().empty()) return p;
  return StartDir() == "/" ? "/" + p : StartDir() + "/" + p;
}

}  // namespace plat
