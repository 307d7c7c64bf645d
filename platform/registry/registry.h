// The current user's registry: typed values, case-insensitive names, kept as a REGEDIT4 .reg text file
// (locked read-modify-write, atomic replacement, damaged lines skipped and the original kept beside).
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plat {

// Raw: any other type found in the file (binary, multi-string...), kept as its .reg data text
// ("hex:..", "hex(7):..") so that it is written back unchanged.
enum class RegType { String, ExpandString, Dword, Raw };

struct RegValue {
  RegType type = RegType::String;
  std::string text;    // String and ExpandString (UTF-8); Raw: the data as written after '='
  uint32_t dword = 0;  // Dword
  bool operator==(const RegValue&) const = default;
};

// Parsed contents: key path (relative to HKEY_CURRENT_USER, as written) → value name → value.
// Keys of other hives keep their full path ("HKEY_LOCAL_MACHINE\..."). The default value ("@") has
// the empty name. Lookups go through the functions below, which compare names without regard to case.
struct RegData {
  struct Key {
    std::string name;  // spelling as first written
    std::map<std::string, std::pair<std::string, RegValue>> values;  // lower-cased name → (spelling, value)
    bool operator==(const Key&) const = default;
  };
  std::map<std::string, Key> keys;  // lower-cased path → key
  bool operator==(const RegData&) const = default;
};

// What a lenient read of a .reg file found: every value that parses, and the lines (1-based) that
// did not and were skipped, as the registry editor's import does.
struct RegParse {
  RegData data;
  std::vector<int> skipped;
};
// Reads REGEDIT4 / "Windows Registry Editor Version 5.00" text (the header in any case), skipping
// damaged lines: a missing header, a bad value, a value outside any key, a broken key header (its
// values with it), hex data whose continuation never comes.
RegParse ParseRegLenient(const std::string& text);
// The same, strict: nullopt when any line had to be skipped.
std::optional<RegData> ParseReg(const std::string& text);
// False for text that the file cannot carry exactly: a string that must go out as UTF-16 hex
// (an expandable one, or one with a line break or NUL) but is not valid UTF-8.
bool RegFormattable(const RegValue& v);
std::string FormatReg(const RegData& data);

// What both stores share. The lower-cased form RegData's maps are keyed by.
std::string RegFold(const std::string& s);
// A key path as callers spell it, without surrounding backslashes or the HKEY_CURRENT_USER prefix;
// nullopt for one no store can hold (a line break or NUL).
std::optional<std::string> RegKeyPath(const std::string& key);
// False for a value name no store can hold.
bool RegNameStorable(const std::string& name);
// The key, made when missing. Parents need no section of their own: a listed sub-key implies them.
RegData::Key& RegEnsureKey(RegData& d, const std::string& key);
bool RegHasKey(const RegData& d, const std::string& key);

class RegStore;

// The settings store: the .reg file at host_path, or for an empty path the system's own registry
// where there is one (Windows). The file is re-read at every call; writes lock it and replace it atomically.
class Registry {
 public:
  explicit Registry(std::string host_path);
  ~Registry();
  // $OZZEL_REGISTRY, else on Windows the system's registry (""), elsewhere
  // $XDG_CONFIG_HOME/bimbalo/registry.reg, else ~/.config/bimbalo/registry.reg.
  static std::string DefaultPath();
  const std::string& path() const { return path_; }

  bool KeyExists(const std::string& key);
  // Creates the key (and writes the file) when missing. False when the store cannot be written.
  bool CreateKey(const std::string& key);
  // An empty name is the key's default value ("@" in the file).
  std::optional<RegValue> Read(const std::string& key, const std::string& name);
  // Sets one value, keeping everything else in the file. False when the store cannot be written.
  bool Write(const std::string& key, const std::string& name, const RegValue& value);

 private:
  std::string path_;
  std::unique_ptr<RegStore> store_;
};

}  // namespace plat
