// The start directory, captured by a static initialiser, before anything can change directory.
#include "platform/start_dir.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/utf.h"
#else
#include <unistd.h>

#include <climits>
#endif

#include <cctype>

namespace plat {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
std::string Cwd() {
  DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return {};
  std::wstring buf(n, L'\0');
  DWORD got = GetCurrentDirectoryW(n, buf.data());
  if (got == 0 || got >= n) return {};
  buf.resize(got);
  return win32::Utf8(buf);
}
#else
constexpr char kSeparator = '/';
std::string Cwd() {
  char buf[PATH_MAX];
  return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}
#endif

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
  const char last = StartDir().back();
  return StartDir() + (last == '/' || last == '\\' ? "" : std::string(1, kSeparator)) + p;
}

}  // namespace plat
