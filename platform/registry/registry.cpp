// The settings store of every system: the checks every store shares, and the .reg file (locked
// read-modify-write, atomic replacement, damaged lines skipped, odd files named) over plat::fs.
#include "platform/registry/registry.h"

#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/fs/fs.h"
#include "platform/registry/reg_store.h"

namespace plat {

namespace {

constexpr size_t kMaxFile = 16u << 20;  // far beyond any settings file; larger is not ours

// Says once per process what kept a settings file from being read, as damaged lines are said.
void Report(const std::string& path, fs::ReadState state, const std::string& error) {
  static std::map<std::string, fs::ReadState> told;  // path → the state last reported
  const char* what = nullptr;
  std::string why;
  switch (state) {
    case fs::ReadState::Directory: what = "is a directory, not a settings file"; break;
    case fs::ReadState::NotAFile: what = "is not a regular file (a pipe, socket or device)"; break;
    case fs::ReadState::Error:
      why = "cannot be read: " + error;
      what = why.c_str();
      break;
    default: return;
  }
  auto it = told.find(path);
  if (it != told.end() && it->second == state) return;
  told[path] = state;
  std::fprintf(stderr, "%s: %s; no settings are read from it or saved to it\n", path.c_str(), what);
}

fs::ReadState ReadSettings(const std::string& path, std::string& out, fs::FileStamp* stamp) {
  std::string error;
  fs::ReadState state = fs::ReadRegularFile(path, kMaxFile, out, stamp, &error);
  Report(path, state, error);
  return state;
}

std::string CorruptName(const std::string& path, int i) {
  std::string base = path + ".corrupt-" + std::to_string(static_cast<long long>(std::time(nullptr)));
  return i == 1 ? base : base + "-" + std::to_string(i);
}

// A file too large to be ours, moved aside whole, with the lock held.
void MoveAside(const std::string& path) {
  std::string target, error = "no free name beside it";
  fs::NewName moved = fs::NewName::Taken;
  for (int i = 1; i < 1000 && moved == fs::NewName::Taken; ++i) moved = fs::RenameToNewName(path, target = CorruptName(path, i), &error);
  if (moved == fs::NewName::Made)
    std::fprintf(stderr, "%s: larger than %zu MB, so not a settings file; set aside as %s, settings start afresh\n",
                 path.c_str(), kMaxFile >> 20, target.c_str());
  else
    std::fprintf(stderr, "%s: larger than %zu MB, so not a settings file, and it cannot be set aside: %s\n",
                 path.c_str(), kMaxFile >> 20, error.c_str());
}

// The original of a file with damaged lines, kept beside it before a write drops those lines; said
// once per process and file contents on stderr. A copy with the same contents is reused, so a file
// that is never rewritten (read-only) does not leave a new copy at every start.
void KeepOriginal(const std::string& path, const std::string& text, const std::vector<int>& skipped) {
  static std::map<std::string, std::string> told;  // path → contents already reported
  auto it = told.find(path);
  if (it != told.end() && it->second == text) return;
  told[path] = text;

  std::string copy;
  for (const std::string& name : fs::Siblings(path, ".corrupt-")) {
    std::string old;
    if (fs::ReadRegularFile(name, kMaxFile, old) == fs::ReadState::Ok && old == text) {
      copy = name;
      break;
    }
  }
  for (int i = 1; i < 1000 && copy.empty(); ++i) {
    const std::string name = CorruptName(path, i);
    fs::NewName made = fs::CreateNewFile(name, text);
    if (made == fs::NewName::Made) copy = name;
    if (made != fs::NewName::Taken) break;
  }
  std::string lines;
  for (size_t i = 0; i < skipped.size() && i < 20; ++i) lines += (i ? ", " : "") + std::to_string(skipped[i]);
  if (skipped.size() > 20) lines += " and " + std::to_string(skipped.size() - 20) + " more";
  std::fprintf(stderr, "%s: skipped line%s %s that could not be read; every other value is kept%s\n",
               path.c_str(), skipped.size() == 1 ? "" : "s", lines.c_str(),
               copy.empty() ? " (no copy of the original could be made)"
                            : ("; the original is kept as " + copy).c_str());
}

// The last clean parse of each file, with the stamp of that version of it: a settings file is read
// at every lookup, and a large one would be parsed again each time.
struct Parsed {
  fs::FileStamp stamp;
  std::shared_ptr<const RegData> data;
};
std::mutex g_parsed_mutex;
std::map<std::string, Parsed> g_parsed;

std::shared_ptr<const RegData> Remembered(const std::string& path) {
  std::optional<fs::FileStamp> stamp = fs::StampOf(path);
  if (!stamp) return nullptr;
  std::lock_guard<std::mutex> lock(g_parsed_mutex);
  auto it = g_parsed.find(path);
  return it != g_parsed.end() && it->second.stamp == *stamp ? it->second.data : nullptr;
}

// `stamp`: the file as it was opened for the read that gave `data`.
void Remember(const std::string& path, const fs::FileStamp& stamp, const RegData& data) {
  std::lock_guard<std::mutex> lock(g_parsed_mutex);
  g_parsed.erase(path);
  // File times move in coarse steps: a version younger than a few seconds could be followed by another
  // with the same times (and size, and a reused inode). Only a settled one is remembered.
  if (stamp.modified_ns / 1000000000 >= std::time(nullptr) - 3) return;
  g_parsed[path] = Parsed{stamp, std::make_shared<const RegData>(data)};
}

// Reads and parses, skipping damaged lines. The original of a damaged file is kept beside it with
// the lock held, so that the copy is of what a writer will replace. A file too large to be ours is
// moved aside. nullopt when the file cannot be read at all.
std::optional<RegData> LoadFile(const std::string& path, bool locked) {
  if (auto known = Remembered(path)) return *known;
  std::string text;
  RegParse parsed;
  fs::FileStamp stamp;
  switch (ReadSettings(path, text, &stamp)) {
    case fs::ReadState::Missing:
      return RegData{};
    case fs::ReadState::Error:
    case fs::ReadState::Directory:
    case fs::ReadState::NotAFile:
      return std::nullopt;
    case fs::ReadState::TooBig:
      break;
    case fs::ReadState::Ok:
      parsed = ParseRegLenient(text);
      if (parsed.skipped.empty()) {
        Remember(path, stamp, parsed.data);
        return std::move(parsed.data);
      }
      break;
  }
  if (!locked) {
    fs::FileLock lock(path);
    if (!lock.held()) return std::nullopt;
    return LoadFile(path, true);
  }
  if (!parsed.skipped.empty()) {
    KeepOriginal(path, text, parsed.skipped);
    return std::move(parsed.data);
  }
  MoveAside(path);
  return RegData{};
}

// The parsed file for lookups, without a copy of a large one.
std::shared_ptr<const RegData> View(const std::string& path) {
  if (auto known = Remembered(path)) return known;
  std::optional<RegData> d = LoadFile(path, false);
  if (!d) return nullptr;
  if (auto known = Remembered(path)) return known;
  return std::make_shared<const RegData>(std::move(*d));
}

// The .reg file. Writes go to the file a link names (the link stays a link); a read-only file is
// never replaced (the rename would succeed regardless, and root may write anything).
class FileStore final : public RegStore {
 public:
  explicit FileStore(const std::string& path) : path_(path) {}

  bool KeyExists(const std::string& key) override {
    auto d = View(fs::ResolveLinks(path_));
    return d && RegHasKey(*d, key);
  }
  bool CreateKey(const std::string& key) override {
    return KeyExists(key) || Modify([&](RegData& d) {
             if (!RegHasKey(d, key)) RegEnsureKey(d, key);
           });
  }
  std::optional<RegValue> Read(const std::string& key, const std::string& name) override {
    auto d = View(fs::ResolveLinks(path_));
    if (!d) return std::nullopt;
    auto kit = d->keys.find(RegFold(key));
    if (kit == d->keys.end()) return std::nullopt;
    auto vit = kit->second.values.find(RegFold(name));
    if (vit == kit->second.values.end()) return std::nullopt;
    return vit->second.second;
  }
  bool Write(const std::string& key, const std::string& name, const RegValue& value) override {
    return Modify([&](RegData& d) {
      RegData::Key& rk = RegEnsureKey(d, key);
      auto [it, fresh] = rk.values.try_emplace(RegFold(name), name, value);
      if (!fresh) it->second.second = value;  // the name keeps its first spelling
    });
  }
  bool Holds(const RegValue& value) const override { return RegFormattable(value); }

 private:
  bool Modify(const std::function<void(RegData&)>& change) {
    const std::string path = fs::ResolveLinks(path_);
    if (fs::IsReadOnly(path)) return false;
    fs::FileLock lock(path);
    if (!lock.held()) return false;
    std::optional<RegData> d = LoadFile(path, true);
    if (!d) return false;
    RegData before = *d;
    change(*d);
    if (*d == before && fs::StampOf(path)) return true;  // nothing to change on disk
    const std::string text = FormatReg(*d);
    // Never a file the reader would refuse (and set aside with everything in it): the old one stays.
    if (text.size() > kMaxFile) {
      std::fprintf(stderr, "%s: the settings would grow past %zu MB; not saved, the file stays as it was\n",
                   path.c_str(), kMaxFile >> 20);
      return false;
    }
    return fs::WriteFileAtomic(path, text.data(), text.size(), {.sync = true, .keep_attributes = true, .locked = true});
  }

  std::string path_;
};

}  // namespace

std::unique_ptr<RegStore> MakeFileStore(const std::string& host_path) { return std::make_unique<FileStore>(host_path); }

Registry::Registry(std::string host_path) : path_(std::move(host_path)) {
  if (path_.empty()) store_ = MakeSystemStore();
  if (!store_) store_ = MakeFileStore(path_);
}

Registry::~Registry() = default;

bool Registry::KeyExists(const std::string& key) {
  auto k = RegKeyPath(key);
  return k && store_->KeyExists(*k);
}

bool Registry::CreateKey(const std::string& key) {
  auto k = RegKeyPath(key);
  return k && store_->CreateKey(*k);
}

std::optional<RegValue> Registry::Read(const std::string& key, const std::string& name) {
  auto k = RegKeyPath(key);
  if (!k || !RegNameStorable(name)) return std::nullopt;
  return store_->Read(*k, name);
}

bool Registry::Write(const std::string& key, const std::string& name, const RegValue& value) {
  auto k = RegKeyPath(key);
  if (!k || !RegNameStorable(name) || !store_->Holds(value)) {
    std::string shown = name;
    for (char& c : shown)
      if (c == '\n' || c == '\r' || c == '\0') c = '?';
    std::fprintf(stderr, "%s: refused to write \"%s\": a key or value name with a line break or NUL, or text "
                 "that is not UTF-8 where the file needs UTF-16\n", path_.empty() ? "registry" : path_.c_str(), shown.c_str());
    return false;
  }
  return store_->Write(*k, name, value);
}

}  // namespace plat
