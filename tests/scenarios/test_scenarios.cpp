// Runs every tests/scenarios/*.scn through the built ozzel-sim and checks its trace.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "tests/scenarios/scenario_file.h"
#include "tests/scenarios/sim_session.h"
#include "tests/scenarios/spawn.h"

namespace ozzel::scenario {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

struct RunResult {
  int exit_code = -1;  // -1: killed (timeout) or signalled
  std::string out, err;
  bool timed_out = false;
};

// Runs argv with `input` on stdin, collecting stdout and stderr, killing it after timeout_s.
RunResult RunProcess(const std::vector<std::string>& argv, const std::string& input, const fs::path& cwd,
                     int timeout_s) {
  RunResult r;
  Spawned sp = SpawnWithPipes(argv, cwd);
  if (sp.pid < 0) {
    r.err = "pipe failed";
    return r;
  }
  pid_t pid = sp.pid;
  signal(SIGPIPE, SIG_IGN);
  int in_fd = sp.in, out_fd = sp.out, err_fd = sp.err;
  size_t written = 0;
  if (input.empty()) {
    close(in_fd);
    in_fd = -1;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_s);
  while (out_fd >= 0 || err_fd >= 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      kill(pid, SIGKILL);
      r.timed_out = true;
      break;
    }
    pollfd fds[3];
    int n = 0;
    if (out_fd >= 0) fds[n++] = {out_fd, POLLIN, 0};
    if (err_fd >= 0) fds[n++] = {err_fd, POLLIN, 0};
    if (in_fd >= 0) fds[n++] = {in_fd, POLLOUT, 0};
    if (poll(fds, n, static_cast<int>(std::min<long long>(left.count(), 1000))) < 0) continue;
    for (int i = 0; i < n; ++i) {
      if (!fds[i].revents) continue;
      if (fds[i].fd == in_fd) {
        ssize_t w = write(in_fd, input.data() + written, input.size() - written);
        if (w > 0) written += static_cast<size_t>(w);
        if (w < 0 || written == input.size()) {
          close(in_fd);
          in_fd = -1;
        }
        continue;
      }
      char buf[65536];
      ssize_t got = read(fds[i].fd, buf, sizeof buf);
      int& fd = fds[i].fd == out_fd ? out_fd : err_fd;
      if (got <= 0) {
        close(fd);
        fd = -1;
      } else {
        (&fd == &out_fd ? r.out : r.err).append(buf, static_cast<size_t>(got));
      }
    }
  }
  for (int fd : {in_fd, out_fd, err_fd}) {
    if (fd >= 0) close(fd);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!r.timed_out && WIFEXITED(status)) r.exit_code = WEXITSTATUS(status);
  return r;
}

std::vector<std::string> Lines(const std::string& s) {
  std::vector<std::string> out;
  std::istringstream in(s);
  std::string l;
  while (std::getline(in, l)) out.push_back(l);
  return out;
}

struct Case {
  fs::path file;
  Medium medium;
};

// Every scenario on the demo medium; those that use a medium once more on the period medium.
std::vector<Case> ScenarioFiles(Medium medium) {
  std::vector<Case> cases;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(fs::path(OZZEL_SOURCE_DIR) / "tests" / "scenarios", ec)) {
    if (e.path().extension() != ".scn") continue;
    if (medium == Medium::Period && ReadFile(e.path()).find("$MEDIUM") == std::string::npos) continue;
    cases.push_back({e.path(), medium});
  }
  std::sort(cases.begin(), cases.end(), [](const Case& a, const Case& b) { return a.file < b.file; });
  return cases;
}

class Scenarios : public ::testing::TestWithParam<Case> {};

TEST_P(Scenarios, TraceMatches) {
  const fs::path& file = GetParam().file;
  std::string text = ReadFile(file);
  ParsedScenario parsed = ParseScenario(text);
  ASSERT_TRUE(parsed.error.empty()) << file.string() << ": " << parsed.error;

  std::vector<std::pair<std::string, std::string>> vars;
  std::string medium_before;  // the period medium is a read-only disc: the run must leave it as it was
  std::optional<std::string> medium;
  if (parsed.scenario.uses_medium) {
    std::string why;
    medium = BuiltMedium(GetParam().medium, why);
    if (!medium) GTEST_SKIP() << why;
    vars.push_back({"MEDIUM", *medium});
    if (GetParam().medium == Medium::Period) medium_before = MediumSnapshot(*medium);
  }
  char tmpl[] = "/tmp/ozzel-scn-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  fs::path tmp = tmpl;
  vars.push_back({"TMP", tmp.string()});
  // Variables work in script lines and expectations too (a typed path, a traced path).
  text = Expand(text, vars);
  parsed = ParseScenario(text);
  ASSERT_TRUE(parsed.error.empty()) << file.string() << ": " << parsed.error;
  const Scenario& s = parsed.scenario;
  fs::path script = tmp / "script.scn";
  std::ofstream(script, std::ios::binary) << text;

  for (const SetupStep& step : s.setup) {
    std::error_code ec;
    const std::vector<std::string>& a = step.args;
    switch (step.kind) {
      case SetupStep::Kind::Mkdir:
        fs::create_directories(a[0], ec);
        break;
      case SetupStep::Kind::Copy:
        CopyFromMedium(a[0], a[1], ec);
        break;
      case SetupStep::Kind::Write:
        fs::create_directories(fs::path(a[0]).parent_path(), ec);
        std::ofstream(a[0], std::ios::binary) << a[1];
        break;
    }
    ASSERT_FALSE(ec) << "set-up step failed: " << ec.message();
  }

  // With a Windows build to compare (OZZEL_WINDOWS_SIM: a command that runs its ozzel-sim.exe) or a
  // web build (OZZEL_WEB_SIM: its ozzel-sim under node), every program starts from the same files, so
  // a copy of the set-up is kept for the later runs.
  struct OtherSim {
    const char* system;
    const char* command;
    int slower;  // wine and node start slower
  };
  std::vector<OtherSim> others;
  for (OtherSim o : {OtherSim{"Windows", std::getenv("OZZEL_WINDOWS_SIM"), 3},
                     OtherSim{"web", std::getenv("OZZEL_WEB_SIM"), 3}})
    if (o.command && *o.command) others.push_back(o);
  const fs::path setup_copy = tmp.string() + "-setup";
  if (!others.empty()) {
    std::error_code ec;
    fs::copy(tmp, setup_copy, fs::copy_options::recursive, ec);
    ASSERT_FALSE(ec) << "cannot copy the set-up: " << ec.message();
  }

  std::vector<std::string> argv{std::string(OZZEL_BINARY_DIR) + "/ozzel-sim"};
  ASSERT_TRUE(fs::exists(argv[0])) << argv[0] << " is not built";
  for (const auto& a : s.args) argv.push_back(a);
  std::string input;
  if (s.use_stdin) {
    input = text;
  } else {
    argv.push_back("--script");
    argv.push_back(script.string());
  }
  RunResult r = RunProcess(argv, input, tmp, s.timeout_s);
  std::vector<std::string> lines = Lines(r.out);

  auto context = [&] {
    std::string c = "--- trace (" + std::to_string(lines.size()) + " lines) ---\n";
    size_t from = lines.size() > 400 ? lines.size() - 400 : 0;
    if (from) c += "... (" + std::to_string(from) + " lines omitted)\n";
    for (size_t i = from; i < lines.size(); ++i) c += lines[i] + "\n";
    c += "--- stderr ---\n" + r.err.substr(0, 4000);
    return c;
  };
  EXPECT_FALSE(r.timed_out) << "killed after " << s.timeout_s << " s\n" << context();
  EXPECT_EQ(r.exit_code, s.exit_code) << context();
  std::string problems = CheckTrace(s, lines);
  EXPECT_TRUE(problems.empty()) << problems << context();
  for (const std::string& f : s.produces) {
    std::error_code ec;
    EXPECT_TRUE(fs::is_regular_file(f, ec) && fs::file_size(f, ec) > 0) << f << " was not written\n" << context();
  }
  if (!medium_before.empty()) {
    EXPECT_EQ(MediumSnapshot(*medium), medium_before) << "the run changed the medium";
  }
  for (const OtherSim& o : others) {
    // The other system's program, same arguments and files: its trace must be the very same, line for line.
    std::error_code ec;
    fs::remove_all(tmp, ec);
    fs::copy(setup_copy, tmp, fs::copy_options::recursive, ec);
    ASSERT_FALSE(ec) << "cannot restore the set-up: " << ec.message();
    std::vector<std::string> wargv = argv;
    wargv[0] = o.command;
    RunResult w = RunProcess(wargv, input, tmp, s.timeout_s * o.slower);
    std::vector<std::string> wlines = Lines(w.out);
    size_t diff = 0;
    while (diff < lines.size() && diff < wlines.size() && lines[diff] == wlines[diff]) ++diff;
    EXPECT_FALSE(w.timed_out) << o.system << " run killed after " << s.timeout_s * o.slower << " s";
    EXPECT_EQ(w.exit_code, r.exit_code) << o.system << " stderr:\n" << w.err.substr(0, 4000);
    EXPECT_TRUE(lines == wlines) << "the traces part at line " << diff + 1 << ":\n  Linux:   "
                                 << (diff < lines.size() ? lines[diff] : "(end)") << "\n  " << o.system << ": "
                                 << (diff < wlines.size() ? wlines[diff] : "(end)") << "\n" << o.system
                                 << " stderr:\n" << w.err.substr(0, 4000);
  }
  if (!others.empty()) {
    std::error_code ec;
    fs::remove_all(setup_copy, ec);
  }
  if (!HasFailure()) {
    std::error_code ec;
    fs::remove_all(tmp, ec);
  } else {
    std::cerr << "scenario files kept in " << tmp << "\n";
  }
}

std::string TestName(const ::testing::TestParamInfo<Case>& info) {
  std::string n = info.param.file.stem().string();
  for (char& c : n) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return n;
}

INSTANTIATE_TEST_SUITE_P(Scn, Scenarios, ::testing::ValuesIn(ScenarioFiles(Medium::Demo)), TestName);
INSTANTIATE_TEST_SUITE_P(Period, Scenarios, ::testing::ValuesIn(ScenarioFiles(Medium::Period)), TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Scenarios);

}  // namespace
}  // namespace ozzel::scenario
