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

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::string Parent(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

bool MakeDirs(const std::string& dir) {
  DWORD a = Attributes(dir);
  if (a != INVALID_FILE_ATTRIBUTES) return a & FILE_ATTRIBUTE_DIRECTORY;
  std::string parent = Parent(dir);
  if (parent != dir && !MakeDirs(parent)) return false;
  return CreateDirectoryW(win32::Wide(dir).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool WriteAll(HANDLE h, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  for (size_t done = 0; done < size;) {
    DWORD n = 0;
    if (!::WriteFile(h, p + done, DWORD(std::min<size_t>(size - done, 1u << 30)), &n, nullptr) || n == 0) return false;
    done += n;
  }
  return true;
}

// The system's words for an error, as strerror gives them on POSIX.
void Say(std::string* error, DWORD code) {
  if (!error) return;
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring w = n && text ? std::wstring(text, n) : L"error " + std::to_wstring(code);
  if (text) LocalFree(text);
  while (!w.empty() && (w.back() == L'\n' || w.back() == L'\r' || w.back() == L' ' || w.back() == L'.')) w.pop_back();
  *error = win32::Utf8(w);
}

int64_t UnixNs(int64_t filetime) { return (filetime - 116444736000000000LL) * 100; }

FileStamp Stamp(const BY_HANDLE_FILE_INFORMATION& i, HANDLE h) {
  auto join = [](DWORD high, DWORD low) { return uint64_t(high) << 32 | low; };
  FileStamp s{i.dwVolumeSerialNumber, join(i.nFileIndexHigh, i.nFileIndexLow), join(i.nFileSizeHigh, i.nFileSizeLow),
              UnixNs(int64_t(join(i.ftLastWriteTime.dwHighDateTime, i.ftLastWriteTime.dwLowDateTime))), 0};
  FILE_BASIC_INFO basic;
  if (GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic)) s.changed_ns = UnixNs(basic.ChangeTime.QuadPart);
  return s;
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

std::optional<FileStamp> StampOf(const std::string& host_path) {
  if (host_path.empty()) return std::nullopt;
  HANDLE h = CreateFileW(win32::Wide(host_path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<FileStamp> s;
  BY_HANDLE_FILE_INFORMATION i;
  if (GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &i) && !(i.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    s = Stamp(i, h);
  CloseHandle(h);
  return s;
}

ReadState ReadRegularFile(const std::string& host_path, size_t max_bytes, std::string& out, FileStamp* stamp,
                          std::string* error) {
  if (host_path.empty()) return ReadState::Missing;
  DWORD a = Attributes(host_path);
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) return ReadState::Directory;
  HANDLE h = CreateFileW(win32::Wide(host_path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD e = GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return ReadState::Missing;
    Say(error, e);
    return ReadState::Error;
  }
  BY_HANDLE_FILE_INFORMATION i;
  ReadState state = ReadState::Ok;
  if (GetFileType(h) != FILE_TYPE_DISK) {
    state = ReadState::NotAFile;
  } else if (!GetFileInformationByHandle(h, &i)) {
    Say(error, GetLastError());
    state = ReadState::Error;
  } else if ((uint64_t(i.nFileSizeHigh) << 32 | i.nFileSizeLow) > max_bytes) {
    state = ReadState::TooBig;
  } else {
    if (stamp) *stamp = Stamp(i, h);
    out.clear();
    out.reserve(i.nFileSizeLow);
    // The file may change size under us: read until its end, never past the cap.
    for (;;) {
      char buf[65536];
      DWORD got = 0;
      if (!::ReadFile(h, buf, sizeof buf, &got, nullptr)) {
        Say(error, GetLastError());
        state = ReadState::Error;
        break;
      }
      if (got == 0) break;
      if (out.size() + got > max_bytes) {
        state = ReadState::TooBig;
        break;
      }
      out.append(buf, got);
    }
  }
  CloseHandle(h);
  return state;
}

bool WriteFileAtomic(const std::string& host_path, const void* data, size_t size, const AtomicWrite& how) {
  if (host_path.empty()) return false;
  const std::wstring tmp =
      win32::Wide(host_path + (how.locked ? ".tmp-write" : ".tmp-" + std::to_string(GetCurrentProcessId())));
  HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(h, data, size);
  if (how.sync) ok = FlushFileBuffers(h) && ok;
  ok = CloseHandle(h) && ok;
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | (how.sync ? MOVEFILE_WRITE_THROUGH : 0);
  if (!ok || !MoveFileExW(tmp.c_str(), win32::Wide(host_path).c_str(), flags)) {
    DeleteFileW(tmp.c_str());
    return false;
  }
  return true;
}

FileLock::FileLock(const std::string& host_path) {
  if (host_path.empty() || !MakeDirs(Parent(host_path))) return;
  HANDLE h = CreateFileW(win32::Wide(host_path + ".lock").c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  OVERLAPPED o{};
  if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &o)) {
    CloseHandle(h);
    return;
  }
  handle_ = reinterpret_cast<intptr_t>(h);
}

FileLock::~FileLock() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));  // closing releases the lock
}

NewName CreateNewFile(const std::string& host_path, const std::string& bytes, std::string* error) {
  const std::wstring path = win32::Wide(host_path);
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD e = GetLastError();
    if (e == ERROR_FILE_EXISTS || e == ERROR_ALREADY_EXISTS) return NewName::Taken;
    Say(error, e);
    return NewName::Failed;
  }
  bool ok = WriteAll(h, bytes.data(), bytes.size());
  DWORD e = GetLastError();
  if (CloseHandle(h) && ok) return NewName::Made;
  Say(error, ok ? GetLastError() : e);
  DeleteFileW(path.c_str());
  return NewName::Failed;
}

NewName RenameToNewName(const std::string& from, const std::string& to, std::string* error) {
  if (MoveFileExW(win32::Wide(from).c_str(), win32::Wide(to).c_str(), 0)) return NewName::Made;
  DWORD e = GetLastError();
  if (e == ERROR_FILE_EXISTS || e == ERROR_ALREADY_EXISTS) return NewName::Taken;
  Say(error, e);
  return NewName::Failed;
}

std::vector<std::string> Siblings(const std::string& host_path, const std::string& suffix) {
  std::vector<std::string> found;
  const std::string dir = host_path.substr(0, host_path.find_last_of("\\/") + 1);  // with its separator
  WIN32_FIND_DATAW fd;
  HANDLE f = FindFirstFileW(win32::Wide(host_path + suffix + "*").c_str(), &fd);
  if (f == INVALID_HANDLE_VALUE) return found;
  do found.push_back(dir + win32::Utf8(fd.cFileName));
  while (FindNextFileW(f, &fd));
  FindClose(f);
  return found;
}

// Links stay the system's business: the file is replaced where its name is.
std::string ResolveLinks(const std::string& host_path) { return host_path; }

bool IsReadOnly(const std::string& host_path) {
  DWORD a = Attributes(host_path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

}  // namespace plat::fs
