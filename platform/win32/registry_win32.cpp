// The current user's settings on Windows: the real registry (HKEY_CURRENT_USER); the .reg file that
// $OZZEL_REGISTRY names (tests) is the store every system shares.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/registry/reg_store.h"
#include "platform/start_dir.h"
#include "platform/win32/utf.h"

namespace plat {

namespace {

constexpr size_t kMaxValue = 16u << 20;  // far beyond any setting; larger is not ours

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

// HKEY_CURRENT_USER itself.
class SystemStore final : public RegStore {
 public:
  bool KeyExists(const std::string& key) override;
  bool CreateKey(const std::string& key) override;
  std::optional<RegValue> Read(const std::string& key, const std::string& name) override;
  bool Write(const std::string& key, const std::string& name, const RegValue& value) override;
  bool Holds(const RegValue&) const override { return true; }
};

bool SystemStore::KeyExists(const std::string& key) {
  HKEY h;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, win32::Wide(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

bool SystemStore::CreateKey(const std::string& key) {
  HKEY h;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, win32::Wide(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
      ERROR_SUCCESS)
    return false;
  RegCloseKey(h);
  return true;
}

std::optional<RegValue> SystemStore::Read(const std::string& key, const std::string& name) {
  HKEY h;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, win32::Wide(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
    return std::nullopt;
  const std::wstring wname = win32::Wide(name);
  std::optional<RegValue> out;
  DWORD type = 0, size = 0;
  // The value may grow between the two calls: ask again while it does.
  for (int tries = 0; tries < 4; ++tries) {
    LONG r = RegQueryValueExW(h, wname.c_str(), nullptr, &type, nullptr, &size);
    if (r != ERROR_SUCCESS || size > kMaxValue) break;
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

bool SystemStore::Write(const std::string& key, const std::string& name, const RegValue& v) {
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

}  // namespace

// Empty: the system's registry itself.
std::string Registry::DefaultPath() {
  if (const char* p = std::getenv("OZZEL_REGISTRY"); p && *p) return FromStartDir(p);
  return {};
}

std::unique_ptr<RegStore> MakeSystemStore() { return std::make_unique<SystemStore>(); }

}  // namespace plat
