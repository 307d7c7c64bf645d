// A helper program started with an argument vector, its output read line by line without blocking.
#pragma once
#include <cstddef>
#include <string>
#include <sys/types.h>
#include <vector>

namespace plat {

class ChildProcess {
 public:
  // The longest line kept: a longer one is dropped whole (no progress line comes near it).
  static constexpr size_t kMaxLine = 4096;
  // The most output taken in by one Poll, so that endless output neither fills memory nor holds the loop.
  static constexpr size_t kMaxPerPoll = 256 * 1024;

  // Whether this system starts helpers at all: the Windows installer and a web page bring the medium made.
  static bool Available();

  // Starts the program argv[0] (a path: no search, no shell) with the arguments argv in a process group of
  // its own; its standard output comes back here, its standard error goes where ours goes. Throws
  // std::runtime_error when it cannot be started; a program that cannot be run exits with 127.
  explicit ChildProcess(const std::vector<std::string>& argv);
  // Ends the helper and everything in its group when it is still running, and waits a while for them to
  // tidy up.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Appends the whole lines written since the last call; never blocks. False once the helper has exited
  // and its output has been read (ExitStatus then holds); what it left running in its group is ended then.
  bool Poll(std::vector<std::string>& lines);
  // The exit code, 128 + the signal for a helper killed by one.
  int ExitStatus() const { return status_; }

 private:
  void Take(const char* data, size_t n, std::vector<std::string>& lines);
  void EndGroup();

  pid_t pid_ = -1;
  int fd_ = -1;
  std::string partial_;
  bool overlong_ = false;  // the line being read is past kMaxLine: skip to its end
  bool exited_ = false;    // reaped; its output may still be in the pipe
  int exit_code_ = -1;
  int status_ = -1;
};

}  // namespace plat
