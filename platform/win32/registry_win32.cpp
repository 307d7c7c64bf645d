// The current user's settings on Windows: the real registry (HKEY_CURRENT_USER), or the .reg text
// file that $OZZEL_REGISTRY names (tests), locked, re-read and replaced atomically like on Linux.
#include "platform/registry/registry.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/start_dir.h"
#include "platform/win32/utf.h"

namespace plat {

namespace {

constexpr size_t kMaxFile = 16u << 20;  // far beyond any settings file; larger is not ours

// ---- the real registry ----

std::optional<RegValue> FromSystem(DWORD type, const std::vector<BYTE>& data) {
  RegValue v;
  auto text = [&] {
    std::wstring w(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    while (!w.empty() && w.back() == L'\0') w.pop_back();
    return win32::Utf8(w);
  };
  switch (type) {
    case REG_SZ:
      v.type = RegType::String;
      v.text = text();
      return v;
    case REG_EXPAND_SZ:
      v.type = RegType::ExpandString;
      v.text = text();
      return v;
    case REG_DWORD:
      if (data.size() < 4) return std::nullopt;
      v.type = RegType::Dword;
      v.dword = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
      return v;
    default: {  // kept as .reg data text, as the file store keeps it
      v.type = RegType::Raw;
      char head[16];
      std::snprintf(head, sizeof head, type == REG_BINARY ? "hex:" : "hex(%lx):", static_cast<unsigned long>(type));
      v.text = head;
      for (size_t i = 0; i < data.size(); ++i) {
        char b[4];
        std::snprintf(b, sizeof b, i ? ",%02x" : "%02x", data[i]);
        v.text += b;
      }
      return v;
    }
  }
}

bool SystemKeyExists(const std::string& key) {
  HKEY h;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, win32::Wide(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

bool SystemCreateKey(const std::string& key) {
  HKEY h;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, win32::Wide(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
      ERROR_SUCCESS)
    return false;
  RegCloseKey(h);
  return true;
}

std::optional<RegValue> SystemRead(const std::string& key, const std::string& name) {
  HKEY h;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, win32::Wide(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
    return std::nullopt;
  const std::wstring wname = win32::Wide(name);
  std::optional<RegValue> out;
  DWORD type = 0, size = 0;
  // The value may grow between the two calls: ask again while it does.
  for (int tries = 0; tries < 4; ++tries) {
    LONG r = RegQueryValueExW(h, wname.c_str(), nullptr, &type, nullptr, &size);
    if (r != ERROR_SUCCESS || size > kMaxFile) break;
    std::vector<BYTE> data(size);
    DWORD got = size;
    r = RegQueryValueExW(h, wname.c_str(), nullptr, &type, data.data(), &got);
    if (r == ERROR_MORE_DATA) continue;
    if (r != ERROR_SUCCESS) break;
    data.resize(got);
    out = FromSystem(type, data);
    break;
  }
  RegCloseKey(h);
  return out;
}

bool SystemWrite(const std::string& key, const std::string& name, const RegValue& v) {
  HKEY h;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, win32::Wide(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const std::wstring wname = win32::Wide(name);
  LONG r = ERROR_INVALID_DATA;
  if (v.type == RegType::Dword) {
    DWORD d = v.dword;
    r = RegSetValueExW(h, wname.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d), sizeof d);
  } else if (v.type == RegType::String || v.type == RegType::ExpandString) {
    std::wstring w = win32::Wide(v.text);
    r = RegSetValueExW(h, wname.c_str(), 0, v.type == RegType::String ? REG_SZ : REG_EXPAND_SZ,
                       reinterpret_cast<const BYTE*>(w.c_str()), DWORD((w.size() + 1) * sizeof(wchar_t)));
  } else {
    // Raw .reg data text ("hex:..", "hex(N):.."): back to its type and bytes.
    unsigned long type = REG_BINARY;
    size_t colon = v.text.find(':');
    if (v.text.compare(0, 4, "hex(") == 0) type = std::strtoul(v.text.c_str() + 4, nullptr, 16);
    std::vector<BYTE> bytes;
    for (size_t i = colon == std::string::npos ? v.text.size() : colon + 1; i < v.text.size();) {
      if (!std::isxdigit(static_cast<unsigned char>(v.text[i]))) {
        ++i;  // commas, line continuations
        continue;
      }
      size_t j = i;
      while (j < v.text.size() && j - i < 2 && std::isxdigit(static_cast<unsigned char>(v.text[j]))) ++j;
      bytes.push_back(BYTE(std::strtoul(v.text.substr(i, j - i).c_str(), nullptr, 16)));
      i = j;
    }
    r = RegSetValueExW(h, wname.c_str(), 0, DWORD(type), bytes.data(), DWORD(bytes.size()));
  }
  RegCloseKey(h);
  return r == ERROR_SUCCESS;
}

// ---- the .reg file ($OZZEL_REGISTRY) ----

enum class ReadState { Ok, Missing, TooBig, Error };

ReadState ReadAll(const std::string& path, std::string& out) {
  HANDLE h = CreateFileW(win32::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD e = GetLastError();
    return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? ReadState::Missing : ReadState::Error;
  }
  out.clear();
  ReadState state = ReadState::Ok;
  for (;;) {
    char buf[65536];
    DWORD got = 0;
    if (!::ReadFile(h, buf, sizeof buf, &got, nullptr)) {
      state = ReadState::Error;
      break;
    }
    if (got == 0) break;
    if (out.size() + got > kMaxFile) {
      state = ReadState::TooBig;
      break;
    }
    out.append(buf, got);
  }
  CloseHandle(h);
  return state;
}

bool WriteNew(const std::string& path, const std::string& text, DWORD disposition) {
  HANDLE h = CreateFileW(win32::Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD done = 0;
  bool ok = text.empty() || (::WriteFile(h, text.data(), DWORD(text.size()), &done, nullptr) && done == text.size());
  ok = FlushFileBuffers(h) && ok;
  ok = CloseHandle(h) && ok;
  if (!ok) DeleteFileW(win32::Wide(path).c_str());
  return ok;
}

std::string Parent(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

bool MakeDirs(const std::string& dir) {
  DWORD a = GetFileAttributesW(win32::Wide(dir).c_str());
  if (a != INVALID_FILE_ATTRIBUTES) return a & FILE_ATTRIBUTE_DIRECTORY;
  std::string parent = Parent(dir);
  if (parent != dir && !MakeDirs(parent)) return false;
  return CreateDirectoryW(win32::Wide(dir).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// Holds an exclusive lock on the sibling lock file for its lifetime.
class FileLock {
 public:
  explicit FileLock(const std::string& path) {
    h_ = CreateFileW(win32::Wide(path + ".lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
    if (h_ == INVALID_HANDLE_VALUE) return;
    OVERLAPPED o{};
    if (!LockFileEx(h_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &o)) {
      CloseHandle(h_);
      h_ = INVALID_HANDLE_VALUE;
    }
  }
  ~FileLock() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);  // closing releases the lock
  }
  bool held() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

std::string CorruptName(const std::string& path, int i) {
  std::string base = path + ".corrupt-" + std::to_string(static_cast<long long>(std::time(nullptr)));
  return i == 1 ? base : base + "-" + std::to_string(i);
}

// The original of a file with damaged lines, kept beside it before a write drops those lines (once
// per process and contents, reusing a copy with the same contents), and said on stderr.
void KeepOriginal(const std::string& path, const std::string& text, const std::vector<int>& skipped) {
  static std::map<std::string, std::string> told;
  auto it = told.find(path);
  if (it != told.end() && it->second == text) return;
  told[path] = text;
  std::string copy;
  WIN32_FIND_DATAW fd;
  const std::string dir = Parent(path);
  HANDLE f = FindFirstFileW(win32::Wide(path + ".corrupt-*").c_str(), &fd);
  if (f != INVALID_HANDLE_VALUE) {
    do {
      std::string name = dir + "\\" + win32::Utf8(fd.cFileName), old;
      if (ReadAll(name, old) == ReadState::Ok && old == text) {
        copy = name;
        break;
      }
    } while (FindNextFileW(f, &fd));
    FindClose(f);
  }
  for (int i = 1; i < 1000 && copy.empty(); ++i) {
    std::string name = CorruptName(path, i);
    if (WriteNew(name, text, CREATE_NEW)) copy = name;
    else if (GetLastError() != ERROR_FILE_EXISTS) break;
  }
  std::string lines;
  for (size_t i = 0; i < skipped.size() && i < 20; ++i) lines += (i ? ", " : "") + std::to_string(skipped[i]);
  if (skipped.size() > 20) lines += " and " + std::to_string(skipped.size() - 20) + " more";
  std::fprintf(stderr, "%s: skipped line%s %s that could not be read; every other value is kept%s\n", path.c_str(),
               skipped.size() == 1 ? "" : "s", lines.c_str(),
               copy.empty() ? " (no copy of the original could be made)" : ("; the original is kept as " + copy).c_str());
}

std::optional<RegData> LoadFile(const std::string& path, bool locked) {
  std::string text;
  RegParse parsed;
  switch (ReadAll(path, text)) {
    case ReadState::Missing:
      return RegData{};
    case ReadState::Error:
      return std::nullopt;
    case ReadState::TooBig:
      break;
    case ReadState::Ok:
      parsed = ParseRegLenient(text);
      if (parsed.skipped.empty()) return std::move(parsed.data);
      break;
  }
  if (!locked) {
    FileLock lock(path);
    if (!lock.held()) return std::nullopt;
    return LoadFile(path, true);
  }
  if (!parsed.skipped.empty()) {
    KeepOriginal(path, text, parsed.skipped);
    return std::move(parsed.data);
  }
  for (int i = 1; i < 1000; ++i)  // too large to be ours: moved aside whole
    if (MoveFileExW(win32::Wide(path).c_str(), win32::Wide(CorruptName(path, i)).c_str(), 0) ||
        GetLastError() != ERROR_ALREADY_EXISTS)
      break;
  return RegData{};
}

bool ReplaceWhole(const std::string& path, const std::string& text) {
  // Writers hold the lock, so one temp name serves them all.
  std::string tmp = path + ".tmp-write";
  if (!WriteNew(tmp, text, CREATE_ALWAYS)) return false;
  if (!MoveFileExW(win32::Wide(tmp).c_str(), win32::Wide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(win32::Wide(tmp).c_str());
    return false;
  }
  return true;
}

bool ReadOnly(const std::string& path) {
  DWORD a = GetFileAttributesW(win32::Wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

}  // namespace

Registry::Registry(std::string host_path) : path_(std::move(host_path)) {}

// Empty: the system's registry itself.
std::string Registry::DefaultPath() {
  if (const char* p = std::getenv("OZZEL_REGISTRY"); p && *p) return FromStartDir(p);
  return {};
}

std::optional<RegData> Registry::Load() { return LoadFile(path_, false); }

bool Registry::Modify(const std::function<void(RegData&)>& change) {
  if (ReadOnly(path_)) return false;
  if (!MakeDirs(Parent(path_))) return false;
  FileLock lock(path_);
  if (!lock.held()) return false;
  std::optional<RegData> d = LoadFile(path_, true);
  if (!d) return false;
  RegData before = *d;
  change(*d);
  if (*d == before && GetFileAttributesW(win32::Wide(path_).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  return ReplaceWhole(path_, FormatReg(*d));
}

bool Registry::KeyExists(const std::string& key) {
  auto k = RegKeyPath(key);
  if (!k) return false;
  if (path_.empty()) return SystemKeyExists(*k);
  auto d = Load();
  return d && RegHasKey(*d, *k);
}

bool Registry::CreateKey(const std::string& key) {
  auto k = RegKeyPath(key);
  if (!k) return false;
  if (path_.empty()) return SystemCreateKey(*k);
  if (auto d = Load(); d && RegHasKey(*d, *k)) return true;
  return Modify([&](RegData& d) {
    if (!RegHasKey(d, *k)) RegEnsureKey(d, *k);
  });
}

std::optional<RegValue> Registry::Read(const std::string& key, const std::string& name) {
  auto k = RegKeyPath(key);
  if (!k || !RegNameStorable(name)) return std::nullopt;
  if (path_.empty()) return SystemRead(*k, name);
  auto d = Load();
  if (!d) return std::nullopt;
  auto kit = d->keys.find(RegFold(*k));
  if (kit == d->keys.end()) return std::nullopt;
  auto vit = kit->second.values.find(RegFold(name));
  if (vit == kit->second.values.end()) return std::nullopt;
  return vit->second.second;
}

bool Registry::Write(const std::string& key, const std::string& name, const RegValue& value) {
  auto k = RegKeyPath(key);
  if (!k || !RegNameStorable(name) || (!path_.empty() && !RegFormattable(value))) {
    std::fprintf(stderr, "%s: refused to write a value: a key or value name with a line break or NUL, or text "
                 "that is not UTF-8 where the file needs UTF-16\n", path_.empty() ? "registry" : path_.c_str());
    return false;
  }
  if (path_.empty()) return SystemWrite(*k, name, value);
  return Modify([&](RegData& d) {
    RegData::Key& rk = RegEnsureKey(d, *k);
    auto [it, fresh] = rk.values.try_emplace(RegFold(name), name, value);
    if (!fresh) it->second.second = value;
  });
}

}  // namespace plat
