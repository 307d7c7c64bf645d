// A helper program run through the shell, its output read line by line without blocking.
#pragma once
#include <string>
#include <sys/types.h>
#include <vector>

namespace plat {

class ChildProcess {
 public:
  // Starts `/bin/sh -c command` in a process group of its own; its standard output comes back here, its
  // standard error goes where ours goes. Throws std::runtime_error when it cannot be started.
  explicit ChildProcess(const std::string& command);
  // Ends the helper (and what it started) when it is still running.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Appends the whole lines written since the last call; false once the output has ended and the helper
  // has exited (ExitStatus then holds).
  bool Poll(std::vector<std::string>& lines);
  // The exit code, 128 + the signal for a helper killed by one.
  int ExitStatus() const { return status_; }

 private:
  pid_t pid_ = -1;
  int fd_ = -1;
  std::string partial_;
  int status_ = -1;
};

}  // namespace plat
