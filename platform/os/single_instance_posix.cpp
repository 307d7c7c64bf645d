// The single game on POSIX: flock on a file of the runtime directory, and a local socket the first game
// listens on; a later launch connects, the first one raises its window.
#include "platform/os/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace plat {

namespace {

// A folder fit for the lock: a real directory (no link), the user's own, writable by no one else.
bool Private(const std::string& dir) {
  struct stat st;
  return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
         (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// $XDG_RUNTIME_DIR when it is private to the user, else a private folder of our own in /tmp; empty when
// neither is (someone else's folder is not ours to trust: no lock then, rather than a shared one).
std::string RuntimeDir() {
  if (const char* d = std::getenv("XDG_RUNTIME_DIR"); d && *d == '/' && Private(d)) return d;
  const std::string dir = "/tmp/ozzel-" + std::to_string(::getuid());
  ::mkdir(dir.c_str(), 0700);
  return Private(dir) ? dir : "";
}

// One game per user and display: the display's name in the file names ("-:0", "-wayland-0"), so that
// games on separate displays (virtual ones in tests) leave each other alone. One X display has one name:
// "unix:0" and ":0.0" are ":0".
std::string DisplaySuffix() {
  const char* w = std::getenv("WAYLAND_DISPLAY");
  const char* x = std::getenv("DISPLAY");
  std::string d = w && *w ? w : x && *x ? x : "";
  if (!(w && *w)) {
    const size_t colon = d.rfind(':'), dot = d.rfind('.');
    if (colon != std::string::npos && dot != std::string::npos && dot > colon) d.erase(dot);
    if (d.rfind("unix:", 0) == 0) d.erase(0, 4);
  }
  for (char& c : d)
    if (c == '/') c = '_';
  return d.empty() ? "" : "-" + d;
}

bool Address(const std::string& path, sockaddr_un* a) {
  std::memset(a, 0, sizeof *a);
  a->sun_family = AF_UNIX;
  if (path.size() >= sizeof a->sun_path) return false;
  std::memcpy(a->sun_path, path.c_str(), path.size());
  return true;
}

class PosixInstance : public SingleInstance {
 public:
  PosixInstance(int lock_fd, int listen_fd, std::string socket_path, std::function<void()> on_raise)
      : lock_fd_(lock_fd), listen_fd_(listen_fd), socket_path_(std::move(socket_path)) {
    if (listen_fd_ < 0 || ::pipe2(stop_, O_CLOEXEC) != 0) return;
    listener_ = std::thread([this, on_raise] { Listen(on_raise); });
  }
  ~PosixInstance() override {
    if (listener_.joinable()) {
      const char c = 0;
      (void)!::write(stop_[1], &c, 1);
      listener_.join();
    }
    for (int fd : stop_)
      if (fd >= 0) ::close(fd);
    if (listen_fd_ >= 0) {
      ::unlink(socket_path_.c_str());
      ::close(listen_fd_);
    }
    if (lock_fd_ >= 0) ::close(lock_fd_);  // the lock goes with it
  }

 private:
  void Listen(const std::function<void()>& on_raise) {
    for (;;) {
      pollfd p[2] = {{listen_fd_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
      if (::poll(p, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (p[1].revents) return;
      if (!(p[0].revents & POLLIN)) continue;
      const int c = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (c < 0) continue;
      // Whatever the caller says, it asks for the game: one request per connection.
      ::close(c);
      on_raise();
    }
  }

  int lock_fd_, listen_fd_;
  int stop_[2] = {-1, -1};
  std::string socket_path_;
  std::thread listener_;
};

// Asks the running game to come forward; it may be between taking the lock and listening. Bounded: a
// game that is stopped or too busy to accept is not waited for.
void AskFirst(const std::string& socket_path) {
  sockaddr_un a;
  if (!Address(socket_path, &a)) return;
  for (int attempt = 0; attempt < 40; ++attempt) {
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s < 0) return;
    // A local connect never waits once it is non-blocking: it is made, or refused (EAGAIN: the backlog is full).
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    if (ok) (void)!::send(s, "raise\n", 6, MSG_NOSIGNAL | MSG_DONTWAIT);  // it may have hung up already
    ::close(s);
    if (ok) return;
    ::usleep(50 * 1000);
  }
}

}  // namespace

std::unique_ptr<SingleInstance> SingleInstance::Claim(std::function<void()> on_raise, const std::string& dir_in) {
  const std::string dir = dir_in.empty() ? RuntimeDir() : dir_in;
  // Without a private place for the lock the game still starts: two games beat none.
  auto unguarded = [&](const std::string& why) {
    std::fprintf(stderr, "ozzel: %s; a second game is not kept from starting\n", why.c_str());
    return std::unique_ptr<SingleInstance>(new PosixInstance(-1, -1, "", on_raise));
  };
  if (dir.empty()) return unguarded("no private folder for the game's lock");
  const std::string base = dir + "/ozzel" + DisplaySuffix();
  const std::string lock_path = base + ".lock", socket_path = base + ".socket";
  // Never through a link: whoever placed it would choose the file we create.
  const int lock_fd = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (lock_fd < 0) return unguarded(lock_path + ": " + std::strerror(errno));
  if (::flock(lock_fd, LOCK_EX | LOCK_NB) != 0) {
    const int why = errno;
    ::close(lock_fd);
    if (why != EWOULDBLOCK) return unguarded(lock_path + ": " + std::strerror(why));
    AskFirst(socket_path);
    return nullptr;
  }
  // Ours now: a socket left by a game that ended without tidying up is replaced.
  ::unlink(socket_path.c_str());
  int listen_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un a;
  if (listen_fd >= 0 && (!Address(socket_path, &a) || ::bind(listen_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
                         ::listen(listen_fd, 4) != 0)) {
    ::close(listen_fd);
    listen_fd = -1;
  }
  return std::unique_ptr<SingleInstance>(new PosixInstance(lock_fd, listen_fd, socket_path, std::move(on_raise)));
}

}  // namespace plat
