// The system services of platform/os.h on Windows.
#include "platform/os.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

#include "platform/win32/utf.h"

namespace plat::os {

bool SetEnv(const std::string& name, const std::string& value) {
  // Both the C runtime's copy (getenv) and the process block (child processes) must see it.
  return _wputenv_s(win32::Wide(name).c_str(), win32::Wide(value).c_str()) == 0 &&
         SetEnvironmentVariableW(win32::Wide(name).c_str(), win32::Wide(value).c_str());
}

std::optional<std::string> MakeTempDir(const std::string& prefix) {
  wchar_t tmp[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, tmp);
  if (n == 0 || n > MAX_PATH) return std::nullopt;
  std::wstring base = std::wstring(tmp, n) + win32::Wide(prefix);
  for (unsigned i = 0; i < 1000; ++i) {
    std::wstring dir = base + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount() + i);
    if (CreateDirectoryW(dir.c_str(), nullptr)) return win32::Utf8(dir);
    if (GetLastError() != ERROR_ALREADY_EXISTS) return std::nullopt;
  }
  return std::nullopt;
}

std::string CurrentDir() {
  DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return {};
  std::wstring buf(n, L'\0');
  DWORD got = GetCurrentDirectoryW(n, buf.data());
  if (got == 0 || got >= n) return {};
  buf.resize(got);
  return win32::Utf8(buf);
}

std::string ExeDir() {
  std::wstring buf(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, buf.data(), DWORD(buf.size()));
  if (n == 0 || n >= buf.size()) return {};
  buf.resize(n);
  size_t slash = buf.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::string() : win32::Utf8(buf.substr(0, slash));
}

std::string UserLanguage() {
  wchar_t code[9] = {};
  if (!GetLocaleInfoW(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), LOCALE_SISO639LANGNAME, code, 9)) return "";
  std::string s = win32::Utf8(code);
  for (char& c : s) c = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return s;
}

void BinaryStdio() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

void ProcessTimes(double& age_ms, double& cpu_ms) {
  age_ms = -1, cpu_ms = 0;
  FILETIME created, exited, kernel, user, now;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return;
  GetSystemTimeAsFileTime(&now);
  auto ms = [](const FILETIME& t) { return double(uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e4; };  // 100 ns
  age_ms = ms(now) - ms(created);
  cpu_ms = ms(kernel) + ms(user);
}

}  // namespace plat::os
