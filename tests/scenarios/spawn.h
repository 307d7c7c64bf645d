// Starts a program with its stdin, stdout and stderr on pipes, for the tests that run ozzel-sim.
#pragma once
#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace ozzel::scenario {

struct Spawned {
  pid_t pid = -1;         // -1 when the pipes or the fork failed
  int in = -1, out = -1, err = -1;  // our ends: write to in, read from out and err
};

// argv[0] is the program's path; cwd may be empty (stay where we are).
inline Spawned SpawnWithPipes(const std::vector<std::string>& argv, const std::filesystem::path& cwd) {
  Spawned s;
  int in_p[2], out_p[2], err_p[2];
  if (pipe(in_p) || pipe(out_p) || pipe(err_p)) return s;
  s.pid = fork();
  if (s.pid == 0) {
    dup2(in_p[0], 0);
    dup2(out_p[1], 1);
    dup2(err_p[1], 2);
    for (int fd : {in_p[0], in_p[1], out_p[0], out_p[1], err_p[0], err_p[1]}) close(fd);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
    std::vector<char*> a;
    for (const auto& arg : argv) a.push_back(const_cast<char*>(arg.c_str()));
    a.push_back(nullptr);
    execv(a[0], a.data());
    _exit(127);
  }
  close(in_p[0]);
  close(out_p[1]);
  close(err_p[1]);
  s.in = in_p[1];
  s.out = out_p[0];
  s.err = err_p[0];
  return s;
}

}  // namespace ozzel::scenario
