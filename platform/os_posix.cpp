// The system services of platform/os.h on POSIX.
#include "platform/os.h"

#include <time.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
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

std::string CurrentDir() {
  std::vector<char> buf(4096);
  while (!::getcwd(buf.data(), buf.size())) {
    if (errno != ERANGE || buf.size() > (1u << 20)) return {};
    buf.resize(buf.size() * 2);  // a deep folder has a long name
  }
  return buf.data();
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

void ProcessTimes(double& age_ms, double& cpu_ms) {
  age_ms = -1;
  timespec now;
  if (const char* t0 = std::getenv("OZZEL_START_NS"); t0 && *t0) {
    clock_gettime(CLOCK_REALTIME, &now);
    age_ms = ((now.tv_sec * 1e9 + now.tv_nsec) - std::strtod(t0, nullptr)) / 1e6;
  } else if (FILE* f = std::fopen("/proc/self/stat", "r")) {
    char buf[1024];
    size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    buf[n] = '\0';
    // Field 22 (in the kernel's 10 ms ticks), counted after the command name's closing parenthesis (field 2).
    const char* p = std::strrchr(buf, ')');
    for (int field = 2; p && field < 22; ++field) p = std::strchr(p + 1, ' ');
    if (p) {
      clock_gettime(CLOCK_BOOTTIME, &now);
      double start_s = std::strtod(p + 1, nullptr) / double(sysconf(_SC_CLK_TCK));
      age_ms = (now.tv_sec + now.tv_nsec / 1e9 - start_s) * 1e3;
    }
  }
  timespec cpu;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
  cpu_ms = cpu.tv_sec * 1e3 + cpu.tv_nsec / 1e6;
}

}  // namespace plat::os
