// DOS paths on Windows are the system's own: no mapping, wide calls for the names' UTF-8.
#include "platform/fs/fs.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/utf.h"

namespace plat::fs {

namespace {
DWORD Attributes(const std::string& path) {
  return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(win32::Wide(path).c_str());
}
}  // namespace

// The file system already ignores case and takes either separator.
std::string HostPath(const std::string& dos_path) { return dos_path; }

bool DirectoryExists(const std::string& dos_path) {
  DWORD a = Attributes(dos_path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& dos_path) {
  DWORD a = Attributes(dos_path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool SetCurrentDir(const std::string& dos_path) {
  return !dos_path.empty() && SetCurrentDirectoryW(win32::Wide(dos_path).c_str());
}

std::optional<std::string> ReadFile(const std::string& host_path, size_t max_bytes) {
  if (host_path.empty()) return std::nullopt;
  HANDLE h = CreateFileW(win32::Wide(host_path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::string> result;
  LARGE_INTEGER size;
  if (GetFileType(h) == FILE_TYPE_DISK && GetFileSizeEx(h, &size) && uint64_t(size.QuadPart) <= max_bytes) {
    std::string data;
    // The file may change size under us: read until its end, never past the cap.
    for (;;) {
      char buf[65536];
      DWORD got = 0;
      if (!::ReadFile(h, buf, sizeof buf, &got, nullptr)) break;
      if (got == 0) {
        result = std::move(data);
        break;
      }
      if (data.size() + got > max_bytes) break;
      data.append(buf, got);
    }
  }
  CloseHandle(h);
  return result;
}

bool WriteFileAtomic(const std::string& host_path, const void* data, size_t size, bool sync) {
  if (host_path.empty()) return false;
  const std::wstring tmp = win32::Wide(host_path + ".tmp-" + std::to_string(GetCurrentProcessId()));
  HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const char* p = static_cast<const char*>(data);
  bool ok = true;
  for (size_t done = 0; ok && done < size;) {
    DWORD n = 0;
    ok = ::WriteFile(h, p + done, DWORD(std::min<size_t>(size - done, 1u << 30)), &n, nullptr) && n > 0;
    done += n;
  }
  if (sync) ok = FlushFileBuffers(h) && ok;
  ok = CloseHandle(h) && ok;
  if (!ok || !MoveFileExW(tmp.c_str(), win32::Wide(host_path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(tmp.c_str());
    return false;
  }
  return true;
}

}  // namespace plat::fs
