// The helper program on POSIX: fork, a process group, a non-blocking pipe and waitpid.
#include "platform/os/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace plat {

ChildProcess::ChildProcess(const std::string& command) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("cannot create a pipe for the helper");
  std::fflush(nullptr);
  pid_ = ::fork();
  if (pid_ < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    throw std::runtime_error("cannot start the helper");
  }
  if (pid_ == 0) {
    ::setpgid(0, 0);
    ::dup2(fds[1], 1);
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::setpgid(pid_, pid_);  // also here, so that the group exists whichever runs first
  ::close(fds[1]);
  fd_ = fds[0];
  ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
}

ChildProcess::~ChildProcess() {
  if (fd_ >= 0) ::close(fd_);
  if (status_ < 0 && pid_ > 0) {
    ::kill(-pid_, SIGTERM);
    int st;
    while (::waitpid(pid_, &st, 0) < 0 && errno == EINTR) {
    }
  }
}

bool ChildProcess::Poll(std::vector<std::string>& lines) {
  if (status_ >= 0) return false;
  char buf[4096];
  for (;;) {
    const ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n > 0) {
      partial_.append(buf, size_t(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    // The output has ended: the helper is ending too.
    int st = 0;
    while (::waitpid(pid_, &st, 0) < 0 && errno == EINTR) {
    }
    status_ = WIFEXITED(st) ? WEXITSTATUS(st) : WIFSIGNALED(st) ? 128 + WTERMSIG(st) : 255;
    ::close(fd_);
    fd_ = -1;
    break;
  }
  for (size_t nl; (nl = partial_.find('\n')) != std::string::npos;) {
    lines.push_back(partial_.substr(0, nl));
    partial_.erase(0, nl + 1);
  }
  if (status_ >= 0 && !partial_.empty()) lines.push_back(std::move(partial_)), partial_.clear();
  return status_ < 0;
}

}  // namespace plat
