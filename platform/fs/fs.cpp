// DOS-style paths resolved on the host: separators, drive letters, case-insensitive components.
#include "platform/fs/fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <string>
#include <vector>

#ifndef O_NONBLOCK
#define O_NONBLOCK 0  // Windows: opening a file never waits for a writer
#endif

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
#ifndef _WIN32
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
#endif
    return fd;
  }
  int why = fd < 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  if (fd >= 0) ::close(fd);
  if (error) *error = why;
  return -1;
}

std::optional<std::string> ReadFile(const std::string& host_path, size_t max_bytes) {
  int fd = OpenRegularFile(host_path);
  if (fd < 0) return std::nullopt;
  struct stat st;
  if (::fstat(fd, &st) != 0 || uint64_t(st.st_size) > max_bytes) {
    ::close(fd);
    return std::nullopt;
  }
  std::string data;
  data.resize(size_t(st.st_size));
  size_t got = 0;
  // The file may change size under us: read until EOF, never past the cap.
  for (;;) {
    if (got == data.size()) {
      if (data.size() >= max_bytes) {
        char probe;
        ssize_t n = ::read(fd, &probe, 1);
        if (n > 0) {
          ::close(fd);
          return std::nullopt;
        }
        break;
      }
      data.resize(std::min(max_bytes, std::max<size_t>(data.size() * 2, 4096)));
    }
    ssize_t n = ::read(fd, data.data() + got, data.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    got += size_t(n);
  }
  ::close(fd);
  data.resize(got);
  return data;
}

bool WriteFileAtomic(const std::string& host_path, const void* data, size_t size, bool sync) {
  std::string tmp = host_path + ".tmp-" + std::to_string(::getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const char* p = static_cast<const char*>(data);
  size_t done = 0;
  bool ok = true;
  while (ok && done < size) {
    ssize_t n = ::write(fd, p + done, size - done);
    if (n <= 0) ok = false;
    else done += size_t(n);
  }
  if (sync) ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (!ok || std::rename(tmp.c_str(), host_path.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  return true;
}

}  // namespace plat::fs
