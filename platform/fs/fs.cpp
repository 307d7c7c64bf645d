// DOS-style paths resolved on the host: separators, drive letters, case-insensitive components.
#include "platform/fs/fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace plat::fs {

namespace {

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

bool Exists(const std::string& p) {
  struct stat st;
  return ::lstat(p.c_str(), &st) == 0;
}

// The entry of dir whose name equals name without regard to case; the smallest such name when
// several differ only in case, so the answer does not depend on directory order.
std::optional<std::string> FindNoCase(const std::string& dir, const std::string& name) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return std::nullopt;
  std::optional<std::string> best;
  while (dirent* e = ::readdir(d)) {
    std::string n = e->d_name;
    if (EqualNoCase(n, name) && (!best || n < *best)) best = n;
  }
  ::closedir(d);
  return best;
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

bool WriteAll(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  for (size_t done = 0; done < size;) {
    ssize_t n = ::write(fd, p + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

FileStamp Stamp(const struct stat& st) {
  return {uint64_t(st.st_dev), uint64_t(st.st_ino), uint64_t(st.st_size),
          int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
          int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

void Say(std::string* error, int code) {
  if (error) *error = std::strerror(code);
}

}  // namespace

std::string HostPath(const std::string& dos_path) {
  std::string s = dos_path;
  std::replace(s.begin(), s.end(), '\\', '/');
  // "D:", "D:\x" and "D:x" all name the root of the one drive we have.
  if (s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':') {
    s.erase(0, 2);
    if (s.empty() || s[0] != '/') s.insert(0, "/");
  }
  if (s.empty()) return s;

  const bool absolute = s[0] == '/';
  const bool trailing = s.size() > 1 && s.back() == '/';
  std::vector<std::string> parts;
  for (size_t i = 0; i < s.size();) {
    size_t j = s.find('/', i);
    if (j == std::string::npos) j = s.size();
    if (j > i) parts.push_back(s.substr(i, j - i));
    i = j + 1;
  }

  std::string out = absolute ? "/" : "";
  bool resolving = true;  // stops at the first component that does not exist
  for (size_t k = 0; k < parts.size(); ++k) {
    const std::string& part = parts[k];
    std::string base = out;
    std::string name = part;
    if (resolving && part != "." && part != "..") {
      std::string exact = base + part;
      if (!Exists(exact)) {
        if (auto m = FindNoCase(base, part))
          name = *m;
        else
          resolving = false;
      }
    }
    out += name;
    if (k + 1 < parts.size()) out += '/';
  }
  if (trailing && !parts.empty()) out += '/';
  return out;
}

bool DirectoryExists(const std::string& dos_path) {
  std::string p = HostPath(dos_path);
  struct stat st;
  return !p.empty() && ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const std::string& dos_path) {
  std::string p = HostPath(dos_path);
  struct stat st;
  return !p.empty() && ::stat(p.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool SetCurrentDir(const std::string& dos_path) {
  std::string p = HostPath(dos_path);
  return !p.empty() && ::chdir(p.c_str()) == 0;
}

int OpenRegularFile(const std::string& host_path, int* error) {
  // Not blocking: a pipe or a device in a file's place would otherwise hold the program in open()
  // for good. Only a regular file is read at all.
  int fd = ::open(host_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat st {};
  if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
  }
  int why = fd < 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  if (fd >= 0) ::close(fd);
  if (error) *error = why;
  return -1;
}

std::optional<FileStamp> StampOf(const std::string& host_path) {
  struct stat st;
  if (::stat(host_path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return Stamp(st);
}

ReadState ReadRegularFile(const std::string& host_path, size_t max_bytes, std::string& out, FileStamp* stamp,
                          std::string* error) {
  int why = 0;
  int fd = OpenRegularFile(host_path, &why);
  if (fd < 0) {
    if (why == ENOENT) return ReadState::Missing;
    if (why == EISDIR) return ReadState::Directory;
    if (why == EINVAL) return ReadState::NotAFile;
    Say(error, why);
    return ReadState::Error;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    Say(error, errno);
    ::close(fd);
    return ReadState::Error;
  }
  if (uint64_t(st.st_size) > max_bytes) {
    ::close(fd);
    return ReadState::TooBig;
  }
  if (stamp) *stamp = Stamp(st);
  out.assign(size_t(st.st_size), '\0');
  size_t got = 0;
  // The file may change size under us: read until EOF, never past the cap.
  for (;;) {
    if (got == out.size()) {
      if (out.size() >= max_bytes) {
        char probe;
        ssize_t n = ::read(fd, &probe, 1);
        if (n > 0) {
          ::close(fd);
          return ReadState::TooBig;
        }
        break;
      }
      out.resize(std::min(max_bytes, std::max<size_t>(out.size() * 2, 4096)));
    }
    ssize_t n = ::read(fd, out.data() + got, out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      Say(error, errno);
      ::close(fd);
      return ReadState::Error;
    }
    if (n == 0) break;
    got += size_t(n);
  }
  ::close(fd);
  out.resize(got);
  return ReadState::Ok;
}

bool WriteFileAtomic(const std::string& host_path, const void* data, size_t size, const AtomicWrite& how) {
  // A temp name of the writer's own, whatever stands there removed first: O_EXCL then cannot meet a
  // pipe or follow a link.
  const std::string tmp = host_path + (how.locked ? ".tmp-write" : ".tmp-" + std::to_string(::getpid()));
  ::unlink(tmp.c_str());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  struct stat st;
  if (how.keep_attributes && ::stat(host_path.c_str(), &st) == 0) {
    // Its mode, and its owner and group as far as the writer may (root may give it back to its user; a
    // user may keep the group); else the file stays the writer's, as any file it makes would be.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0 && ::fchown(fd, uid_t(-1), st.st_gid) != 0) {
      // Neither is allowed.
    }
    ::fchmod(fd, st.st_mode & 07777);
  }
  bool ok = WriteAll(fd, data, size);
  if (how.sync) ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (!ok || std::rename(tmp.c_str(), host_path.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  if (how.sync) {  // the rename itself must reach the disk too
    int dfd = ::open(Parent(host_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
      ::fsync(dfd);
      ::close(dfd);
    }
  }
  return true;
}

FileLock::FileLock(const std::string& host_path) {
  if (!MakeDirs(Parent(host_path))) return;
  int fd = ::open((host_path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0600);
  if (fd < 0) return;
  // Made by root for a user's file, the lock is the user's too, or the user could never write again.
  struct stat st;
  if (::stat(host_path.c_str(), &st) == 0 && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
    // Not allowed (a user's lock beside another's file): it stays as it is.
  }
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      ::close(fd);
      return;
    }
  }
  handle_ = fd;
}

FileLock::~FileLock() {
  if (handle_ != -1) ::close(int(handle_));  // closing releases the lock
}

NewName CreateNewFile(const std::string& host_path, const std::string& bytes, std::string* error) {
  int fd = ::open(host_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0 && errno == EEXIST) return NewName::Taken;
  if (fd < 0) {
    Say(error, errno);
    return NewName::Failed;
  }
  bool ok = WriteAll(fd, bytes.data(), bytes.size());
  const int why = errno;
  if (::close(fd) == 0 && ok) return NewName::Made;
  Say(error, ok ? errno : why);
  ::unlink(host_path.c_str());
  return NewName::Failed;
}

NewName RenameToNewName(const std::string& from, const std::string& to, std::string* error) {
  struct stat st;
  if (::lstat(to.c_str(), &st) == 0) return NewName::Taken;
  if (std::rename(from.c_str(), to.c_str()) == 0) return NewName::Made;
  Say(error, errno);
  return NewName::Failed;
}

std::vector<std::string> Siblings(const std::string& host_path, const std::string& suffix) {
  std::vector<std::string> found;
  const std::string dir = Parent(host_path), prefix = host_path.substr(host_path.rfind('/') + 1) + suffix;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d))
      if (std::string n = e->d_name; n.compare(0, prefix.size(), prefix) == 0) found.push_back(dir + "/" + n);
    ::closedir(d);
  }
  return found;
}

std::string ResolveLinks(const std::string& host_path) {
  std::string path = host_path;
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

bool IsReadOnly(const std::string& host_path) {
  struct stat st;
  return ::stat(host_path.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace plat::fs
