// The registry file on disk: locked read-modify-write, atomic replacement, damaged lines skipped.
#include "platform/registry/registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/start_dir.h"

namespace plat {

namespace {

constexpr size_t kMaxFile = 16u << 20;  // far beyond any settings file; larger is not ours

enum class ReadState { Ok, Missing, TooBig, Directory, NotAFile, Error };

// The POSIX calls a Windows build of this file replaces (there the settings live in the real registry).
#ifndef O_NONBLOCK
#define O_NONBLOCK 0
#endif
void SetBlocking(int fd) {
#ifndef _WIN32
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
#endif
}
// Gives a file written in place of another that file's mode, and its owner and group as far as the
// writer may (root may give it back to its user; a user may keep the group).
void TakeOwnerAndMode(int fd, const struct stat& of) {
#ifndef _WIN32
  if (::fchown(fd, of.st_uid, of.st_gid) != 0 && ::fchown(fd, uid_t(-1), of.st_gid) != 0) {
    // Neither is allowed: the file stays the writer's, as any file it makes would be.
  }
  ::fchmod(fd, of.st_mode & 07777);
#endif
}

void KeepOwner(int fd, const struct stat& of) {
#ifndef _WIN32
  if (::fchown(fd, of.st_uid, of.st_gid) != 0) {
    // Not allowed (a user's lock beside another's file): it stays as it is.
  }
#endif
}

// Says once per process what kept a settings file from being read, as damaged lines are said.
void Report(const std::string& path, ReadState state, int error) {
  static std::map<std::string, int> told;  // path → the state last reported
  auto it = told.find(path);
  if (it != told.end() && it->second == int(state)) return;
  told[path] = int(state);
  const char* what = nullptr;
  std::string why;
  switch (state) {
    case ReadState::Directory: what = "is a directory, not a settings file"; break;
    case ReadState::NotAFile: what = "is not a regular file (a pipe, socket or device)"; break;
    case ReadState::Error:
      why = "cannot be read: " + std::string(std::strerror(error));
      what = why.c_str();
      break;
    default: return;
  }
  std::fprintf(stderr, "%s: %s; no settings are read from it or saved to it\n", path.c_str(), what);
}

ReadState ReadAll(const std::string& path, std::string& out, bool report = true, struct stat* seen = nullptr) {
  // Not blocking: a pipe in the file's place would hold the program in open() for good.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0 && errno == ENOENT) return ReadState::Missing;
  const int error = errno;
  struct stat st {};
  ReadState state = fd < 0                        ? ReadState::Error
                    : ::fstat(fd, &st) != 0       ? ReadState::Error
                    : S_ISDIR(st.st_mode)         ? ReadState::Directory
                    : !S_ISREG(st.st_mode)        ? ReadState::NotAFile
                                                  : ReadState::Ok;
  if (state != ReadState::Ok) {
    if (fd >= 0) ::close(fd);
    if (report) Report(path, state, error);
    return state;
  }
  SetBlocking(fd);
  if (seen) *seen = st;
  out.clear();
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int read_error = errno;
      ::close(fd);
      if (report) Report(path, ReadState::Error, read_error);
      return ReadState::Error;
    }
    if (n == 0) break;
    if (out.size() + size_t(n) > kMaxFile) {
      ::close(fd);
      return ReadState::TooBig;
    }
    out.append(buf, size_t(n));
  }
  ::close(fd);
  return ReadState::Ok;
}

std::string Parent(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool MakeDirs(const std::string& dir) {
  struct stat st;
  if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  std::string parent = Parent(dir);
  if (parent != dir && !MakeDirs(parent)) return false;
  return ::mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

// Holds an exclusive flock on the sibling lock file for its lifetime.
class FileLock {
 public:
  explicit FileLock(const std::string& path) {
    fd_ = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd_ < 0) return;
    // Made by root for a user's file, the lock is the user's too, or the user could never write again.
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) KeepOwner(fd_, st);
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(fd_);
        fd_ = -1;
        return;
      }
    }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

void MoveAside(const std::string& path) {
  std::string base = path + ".corrupt-" + std::to_string(static_cast<long long>(std::time(nullptr)));
  std::string target = base;
  struct stat st;
  for (int i = 1; ::lstat(target.c_str(), &st) == 0 && i < 1000; ++i) target = base + "-" + std::to_string(i);
  if (std::rename(path.c_str(), target.c_str()) == 0)
    std::fprintf(stderr, "%s: larger than %zu MB, so not a settings file; set aside as %s, settings start afresh\n",
                 path.c_str(), kMaxFile >> 20, target.c_str());
  else
    std::fprintf(stderr, "%s: larger than %zu MB, so not a settings file, and it cannot be set aside: %s\n",
                 path.c_str(), kMaxFile >> 20, std::strerror(errno));
}

bool WriteAll(int fd, const std::string& s) {
  size_t done = 0;
  while (done < s.size()) {
    ssize_t n = ::write(fd, s.data() + done, s.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
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
  const std::string dir = Parent(path), prefix = path.substr(path.rfind('/') + 1) + ".corrupt-";
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d)) {
      std::string n = e->d_name, old;
      if (n.compare(0, prefix.size(), prefix) != 0) continue;
      if (ReadAll(dir + "/" + n, old, false) == ReadState::Ok && old == text) {
        copy = dir + "/" + n;
        break;
      }
    }
    ::closedir(d);
  }
  if (copy.empty()) {
    std::string base = path + ".corrupt-" + std::to_string(static_cast<long long>(std::time(nullptr)));
    for (int i = 1; i < 1000 && copy.empty(); ++i) {
      std::string name = i == 1 ? base : base + "-" + std::to_string(i);
      int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      if (fd < 0 && errno == EEXIST) continue;
      if (fd < 0) break;
      bool ok = WriteAll(fd, text);
      ok = ::close(fd) == 0 && ok;
      if (ok)
        copy = name;
      else
        ::unlink(name.c_str());
      break;
    }
  }
  std::string lines;
  for (size_t i = 0; i < skipped.size() && i < 20; ++i) lines += (i ? ", " : "") + std::to_string(skipped[i]);
  if (skipped.size() > 20) lines += " and " + std::to_string(skipped.size() - 20) + " more";
  std::fprintf(stderr, "%s: skipped line%s %s that could not be read; every other value is kept%s\n",
               path.c_str(), skipped.size() == 1 ? "" : "s", lines.c_str(),
               copy.empty() ? " (no copy of the original could be made)"
                            : ("; the original is kept as " + copy).c_str());
}

// The last clean parse of each file, with what identifies that version of it: a settings file is read
// at every lookup, and a large one would be parsed again each time.
struct Parsed {
  dev_t dev;
  ino_t ino;
  off_t size;
  struct timespec mtime, ctime;
  std::shared_ptr<const RegData> data;
};
std::mutex g_parsed_mutex;
std::map<std::string, Parsed> g_parsed;

bool SameTimes(const struct timespec& a, const struct timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

std::shared_ptr<const RegData> Remembered(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  std::lock_guard<std::mutex> lock(g_parsed_mutex);
  auto it = g_parsed.find(path);
  if (it == g_parsed.end()) return nullptr;
  const Parsed& p = it->second;
  if (p.dev == st.st_dev && p.ino == st.st_ino && p.size == st.st_size && SameTimes(p.mtime, st.st_mtim) &&
      SameTimes(p.ctime, st.st_ctim))
    return p.data;
  return nullptr;
}

// `st`: the file as it was opened for the read that gave `data`.
void Remember(const std::string& path, const struct stat& st, const RegData& data) {
  std::lock_guard<std::mutex> lock(g_parsed_mutex);
  g_parsed.erase(path);
  // File times move in coarse steps: a version younger than a few seconds could be followed by another
  // with the same times (and size, and a reused inode). Only a settled one is remembered.
  if (st.st_mtim.tv_sec >= std::time(nullptr) - 3) return;
  g_parsed[path] = Parsed{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim, std::make_shared<const RegData>(data)};
}

// Reads and parses, skipping damaged lines. The original of a damaged file is kept beside it with
// the lock held, so that the copy is of what a writer will replace. A file too large to be ours is
// moved aside. nullopt when the file cannot be read at all.
std::optional<RegData> LoadFile(const std::string& path, bool locked) {
  if (auto known = Remembered(path)) return *known;
  std::string text;
  RegParse parsed;
  struct stat st {};
  switch (ReadAll(path, text, true, &st)) {
    case ReadState::Missing:
      return RegData{};
    case ReadState::Error:
    case ReadState::Directory:
    case ReadState::NotAFile:
      return std::nullopt;
    case ReadState::TooBig:
      break;
    case ReadState::Ok:
      parsed = ParseRegLenient(text);
      if (parsed.skipped.empty()) {
        Remember(path, st, parsed.data);
        return std::move(parsed.data);
      }
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

// `existing`: the file replaced, whose mode and owner the new one keeps; a new file gets the usual
// mode (the umask's).
bool ReplaceFile(const std::string& path, const std::string& text, const struct stat* existing) {
  // Writers hold the lock, so one temp name serves them all, and a writer killed half-way leaves
  // at most this one file, which the next write removes (whatever it is: O_EXCL then cannot meet a
  // pipe or follow a link).
  std::string tmp = path + ".tmp-write";
  ::unlink(tmp.c_str());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  if (existing) TakeOwnerAndMode(fd, *existing);
  bool ok = WriteAll(fd, text);
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  // The rename itself must reach the disk too.
  int dfd = ::open(Parent(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

// The file a path names, through any symbolic links (also one whose target does not exist yet):
// the settings are replaced there, and the link stays a link.
std::string ResolveLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::vector<char> buf(size_t(st.st_size > 0 ? st.st_size : 255) + 1);
    ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
    if (n <= 0 || size_t(n) >= buf.size()) return path;
    std::string target(buf.data(), size_t(n));
    path = target[0] == '/' ? target : Parent(path) + "/" + target;
  }
  return path;
}

// A file without any write permission is the user's "read-only": it is never replaced (the rename
// would succeed regardless, and root may write anything).
bool ReadOnly(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

Registry::Registry(std::string host_path) : path_(std::move(host_path)) {}

std::string Registry::DefaultPath() {
  // Relative settings are taken from where the program was started, not from the data root it moves to.
  if (const char* p = std::getenv("OZZEL_REGISTRY"); p && *p) return FromStartDir(p);
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return FromStartDir(x) + "/bimbalo/registry.reg";
  std::string home;
  if (const char* h = std::getenv("HOME"); h && *h)
    home = h;
  else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
    home = pw->pw_dir;
  else
    home = FromStartDir(".");
  return home + "/.config/bimbalo/registry.reg";
}

std::optional<RegData> Registry::Load() { return LoadFile(ResolveLinks(path_), false); }

bool Registry::Modify(const std::function<void(RegData&)>& change) {
  const std::string path = ResolveLinks(path_);
  if (ReadOnly(path)) return false;
  if (!MakeDirs(Parent(path))) return false;
  FileLock lock(path);
  if (!lock.held()) return false;
  std::optional<RegData> d = LoadFile(path, true);
  if (!d) return false;
  RegData before = *d;
  change(*d);
  struct stat st;
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (*d == before && exists) return true;  // nothing to change on disk
  const std::string text = FormatReg(*d);
  // Never a file the reader would refuse (and set aside with everything in it): the old one stays.
  if (text.size() > kMaxFile) {
    std::fprintf(stderr, "%s: the settings would grow past %zu MB; not saved, the file stays as it was\n",
                 path.c_str(), kMaxFile >> 20);
    return false;
  }
  return ReplaceFile(path, text, exists ? &st : nullptr);
}

bool Registry::KeyExists(const std::string& key) {
  auto k = RegKeyPath(key);
  if (!k) return false;
  auto d = View(ResolveLinks(path_));
  return d && RegHasKey(*d, *k);
}

bool Registry::CreateKey(const std::string& key) {
  auto k = RegKeyPath(key);
  if (!k) return false;
  if (auto d = View(ResolveLinks(path_)); d && RegHasKey(*d, *k)) return true;
  return Modify([&](RegData& d) {
    if (!RegHasKey(d, *k)) RegEnsureKey(d, *k);
  });
}

std::optional<RegValue> Registry::Read(const std::string& key, const std::string& name) {
  auto k = RegKeyPath(key);
  if (!k || !RegNameStorable(name)) return std::nullopt;
  auto d = View(ResolveLinks(path_));
  if (!d) return std::nullopt;
  auto kit = d->keys.find(RegFold(*k));
  if (kit == d->keys.end()) return std::nullopt;
  auto vit = kit->second.values.find(RegFold(name));
  if (vit == kit->second.values.end()) return std::nullopt;
  return vit->second.second;
}

bool Registry::Write(const std::string& key, const std::string& name, const RegValue& value) {
  auto k = RegKeyPath(key);
  if (!k || !RegNameStorable(name) || !RegFormattable(value)) {
    std::string shown = name;
    for (char& c : shown)
      if (c == '\n' || c == '\r' || c == '\0') c = '?';
    std::fprintf(stderr, "%s: refused to write \"%s\": a key or value name with a line break or NUL, or text "
                 "that is not UTF-8 where the file needs UTF-16\n", path_.c_str(), shown.c_str());
    return false;
  }
  return Modify([&](RegData& d) {
    RegData::Key& rk = RegEnsureKey(d, *k);
    auto [it, fresh] = rk.values.try_emplace(RegFold(name), name, value);
    if (!fresh) it->second.second = value;  // the name keeps its first spelling
  });
}

}  // namespace plat
