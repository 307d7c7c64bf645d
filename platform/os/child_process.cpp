// The helper program on POSIX: fork, a process group, a non-blocking pipe and waitpid.
#include "platform/os/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace plat {

namespace {

int CodeOf(int st) { return WIFEXITED(st) ? WEXITSTATUS(st) : WIFSIGNALED(st) ? 128 + WTERMSIG(st) : 255; }

void Nap(long ms) {
  timespec t{0, ms * 1000000L};
  while (::nanosleep(&t, &t) != 0 && errno == EINTR) {
  }
}

}  // namespace

bool ChildProcess::Available() { return true; }

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
  if (argv.empty()) throw std::runtime_error("no helper program named");
  // Made before the fork: the child only calls what is safe between fork and exec.
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
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
    // The game's own signal handling is not the helper's.
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) ::signal(sig, SIG_DFL);
    ::dup2(fds[1], 1);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  ::setpgid(pid_, pid_);  // also here, so that the group exists whichever runs first
  ::close(fds[1]);
  fd_ = fds[0];
  ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
}

void ChildProcess::EndGroup() {
  // SIGTERM lets the helper remove what it half made; it gets a few seconds for that before SIGKILL.
  if (::kill(-pid_, SIGTERM) != 0) return;
  for (int i = 0; i < 100; ++i) {
    if (!exited_) {
      int st;
      if (::waitpid(pid_, &st, WNOHANG) == pid_) exited_ = true, exit_code_ = CodeOf(st);
    }
    if (exited_ && ::kill(-pid_, 0) != 0) return;
    Nap(50);
  }
  ::kill(-pid_, SIGKILL);
  if (!exited_) {
    int st;
    while (::waitpid(pid_, &st, 0) < 0 && errno == EINTR) {
    }
    exited_ = true;
  }
}

ChildProcess::~ChildProcess() {
  if (fd_ >= 0) ::close(fd_);
  if (status_ < 0 && pid_ > 0) EndGroup();
}

void ChildProcess::Take(const char* data, size_t n, std::vector<std::string>& lines) {
  while (n > 0) {
    const char* nl = static_cast<const char*>(std::memchr(data, '\n', n));
    const size_t piece = nl ? size_t(nl - data) : n;
    if (!overlong_) {
      if (partial_.size() + piece > kMaxLine) {
        overlong_ = true;
        partial_.clear();
      } else {
        partial_.append(data, piece);
      }
    }
    if (!nl) return;
    if (!overlong_) lines.push_back(std::move(partial_));
    partial_.clear();
    overlong_ = false;
    data = nl + 1;
    n -= piece + 1;
  }
}

bool ChildProcess::Poll(std::vector<std::string>& lines) {
  if (status_ >= 0) return false;
  // Reaped before reading: whatever it wrote before it ended is then in the pipe.
  if (!exited_) {
    int st;
    if (::waitpid(pid_, &st, WNOHANG) == pid_) {
      exited_ = true;
      exit_code_ = CodeOf(st);
      ::kill(-pid_, SIGTERM);  // what it left running in its group goes with it
    }
  }
  bool drained = fd_ < 0;
  char buf[4096];
  for (size_t got = 0; fd_ >= 0 && got < kMaxPerPoll;) {
    const ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n > 0) {
      Take(buf, size_t(n), lines);
      got += size_t(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    drained = true;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    ::close(fd_);  // the end of the output (the helper may still run: it closed it)
    fd_ = -1;
  }
  // A helper ends when it exits, not when its output closes: something it left running may hold the pipe.
  if (!exited_ || !drained) return true;
  if (fd_ >= 0) ::close(fd_), fd_ = -1;
  if (!overlong_ && !partial_.empty()) lines.push_back(std::move(partial_));
  partial_.clear();
  status_ = exit_code_;
  return false;
}

}  // namespace plat
