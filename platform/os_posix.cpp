// The system services of platform/os.h on POSIX.
#include "platform/os.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace plat::os {

bool SetEnv(const std::string& name, const std::string& value) {
  return ::setenv(name.c_str(), value.c_str(), 1) == 0;
}

std::optional<std::string> MakeTempDir(const std::string& prefix) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) return std::nullopt;
  return std::string(buf.data());
}

std::string ExeDir() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

std::string UserLanguage() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* v = std::getenv(name);
    if (!v || !*v) continue;
    std::string code(v, std::strcspn(v, "_.@"));
    for (char& c : code) c = char(std::tolower(static_cast<unsigned char>(c)));
    return code == "c" || code == "posix" ? "" : code;
  }
  return "";
}

void BinaryStdio() {}

}  // namespace plat::os
