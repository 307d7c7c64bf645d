// The first start's POSIX pieces: one game per user (a second claim fails and wakes the first; the lock
// goes with the first game) and the helper process that makes the medium.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/os/child_process.h"
#include "platform/os/single_instance.h"

namespace {

namespace stdfs = std::filesystem;

// Sets variables (nullptr: unset) for its lifetime.
class Env {
 public:
  explicit Env(const std::vector<std::pair<const char*, const char*>>& vars) {
    for (auto [name, value] : vars) {
      const char* old = std::getenv(name);
      saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
      value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
  }
  ~Env() {
    for (auto& [name, value] : saved_) value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

long ResidentKb() {
  std::ifstream f("/proc/self/status");
  for (std::string line; std::getline(f, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

std::string Slurp(const std::string& path) {
  std::ifstream f(path);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// True once the process has ended (a zombie awaiting its new parent counts as ended); waits up to 10 s.
bool Gone(pid_t pid) {
  for (int i = 0; i < 200; ++i) {
    if (::kill(pid, 0) != 0) return true;
    const std::string stat = Slurp("/proc/" + std::to_string(pid) + "/stat");
    const size_t paren = stat.rfind(')');
    if (paren != std::string::npos && paren + 2 < stat.size() && stat[paren + 2] == 'Z') return true;
    ::usleep(50 * 1000);
  }
  return false;
}

TEST(SingleInstance, SecondClaimRaisesTheFirstAndTheLockEndsWithIt) {
  const stdfs::path dir = stdfs::temp_directory_path() / ("ozzel-instance-" + std::to_string(::getpid()));
  stdfs::create_directories(dir);
  std::mutex mu;
  std::condition_variable cv;
  int raised = 0;
  {
    auto first = plat::SingleInstance::Claim(
        [&] {
          std::lock_guard<std::mutex> lock(mu);
          ++raised;
          cv.notify_all();
        },
        dir.string());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(plat::SingleInstance::Claim([] {}, dir.string()), nullptr);
    std::unique_lock<std::mutex> lock(mu);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(20), [&] { return raised == 1; }));
  }
  // The first game has ended: the next one is the first again.
  EXPECT_NE(plat::SingleInstance::Claim([] {}, dir.string()), nullptr);
  stdfs::remove_all(dir);
}

// What a later launch or a hostile folder can do: the lock lives only in a folder private to the user,
// is never opened through a link, one display has one lock, and asking a stopped game ends.
TEST(SingleInstance, OnlyAPrivateFolderOneLockPerDisplayAndNoWaitForAStoppedGame) {
  const stdfs::path dir = stdfs::temp_directory_path() / ("ozzel-guard-" + std::to_string(::getpid()));
  stdfs::remove_all(dir);
  const stdfs::path open_dir = dir / "open", own = dir / "own", victim = dir / "victim";
  stdfs::create_directories(open_dir);
  stdfs::create_directories(own);
  ::chmod(open_dir.c_str(), 0777);
  ::chmod(own.c_str(), 0700);
  const std::string display = ":ozzel" + std::to_string(::getpid());
  const std::string unix_display = "unix" + display;
  Env env({{"DISPLAY", unix_display.c_str()}, {"WAYLAND_DISPLAY", nullptr}, {"XDG_RUNTIME_DIR", open_dir.c_str()}});
  stdfs::create_symlink(victim, open_dir / ("ozzel-" + display + ".lock"));
  {
    // A folder others may write to is passed over (the private one in /tmp serves), its link untouched.
    auto game = plat::SingleInstance::Claim([] {});
    EXPECT_NE(game, nullptr);
    EXPECT_FALSE(stdfs::exists(victim));
  }
  // Given the folder, the link there is not followed either: the game runs unguarded and says so.
  const stdfs::path own_lock = own / ("ozzel-" + display + ".lock");
  stdfs::create_symlink(victim, own_lock);
  ::testing::internal::CaptureStderr();
  EXPECT_NE(plat::SingleInstance::Claim([] {}, own.string()), nullptr);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("second game"), std::string::npos);
  EXPECT_FALSE(stdfs::exists(victim));
  stdfs::remove(own_lock);

  // "unix:N" and ":N" are one display.
  ::setenv("XDG_RUNTIME_DIR", own.c_str(), 1);
  auto first = plat::SingleInstance::Claim([] {});
  ASSERT_NE(first, nullptr);
  ::setenv("DISPLAY", (display + ".0").c_str(), 1);
  EXPECT_EQ(plat::SingleInstance::Claim([] {}), nullptr);
  first.reset();

  // A game that holds the lock but accepts nothing (stopped): a later launch gives up.
  const int lock = ::open((own / ("ozzel-" + display + ".lock")).c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_EQ(::flock(lock, LOCK_EX), 0);
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  std::snprintf(a.sun_path, sizeof a.sun_path, "%s", (own / ("ozzel-" + display + ".socket")).c_str());
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(::listen(listener, 0), 0);
  std::vector<int> waiting;  // the backlog filled, as a stopped game's would be
  for (int i = 0; i < 8; ++i) {
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    waiting.push_back(s);
  }
  auto later = std::async(std::launch::async, [] { return plat::SingleInstance::Claim([] {}) == nullptr; });
  ASSERT_EQ(later.wait_for(std::chrono::seconds(60)), std::future_status::ready) << "the later launch hangs";
  EXPECT_TRUE(later.get());
  for (int s : waiting) ::close(s);
  ::close(listener);
  ::close(lock);
  stdfs::remove_all(dir);
}

// The tests' helpers are shell scripts; the game itself runs datagen without a shell.
std::vector<std::string> Sh(const std::string& script) { return {"/bin/sh", "-c", script}; }

// The first start's helper: its output is read in bounded pieces and lines, it ends when it exits (not
// when its output closes), and what it leaves running goes with it, given time to tidy up.
TEST(ChildProcess, BoundedOutputAnEndAtExitAndNothingLeftRunning) {
  const stdfs::path dir = stdfs::temp_directory_path() / ("ozzel-helper-" + std::to_string(::getpid()));
  stdfs::remove_all(dir);
  stdfs::create_directories(dir);
  auto drain = [](plat::ChildProcess& c, std::vector<std::string>& lines, size_t* count = nullptr) {
    for (int i = 0; i < 200000; ++i) {
      if (count) lines.clear();
      const bool going = c.Poll(lines);
      if (count) *count += lines.size();
      if (!going) return true;
      ::usleep(1000);
    }
    return false;
  };
  std::vector<std::string> lines;
  {
    // The arguments reach the program as they are: no shell reads them. A program that is not there exits 127.
    plat::ChildProcess echo({"/bin/echo", "a  b; $HOME", "*"});
    ASSERT_TRUE(drain(echo, lines));
    EXPECT_EQ(lines, std::vector<std::string>{"a  b; $HOME *"});
    plat::ChildProcess missing({(dir / "no-such-datagen").string(), "--progress"});
    ASSERT_TRUE(drain(missing, lines));
    EXPECT_EQ(missing.ExitStatus(), 127);
    lines.clear();
  }
  {
    // Endless output without a line break: memory stays as it was, and each poll returns.
    plat::ChildProcess zero(Sh("exec cat /dev/zero"));
    const long before = ResidentKb();
    for (int i = 0; i < 400; ++i) ASSERT_TRUE(zero.Poll(lines));  // up to 100 MB through
    EXPECT_TRUE(lines.empty());
    EXPECT_LT(ResidentKb() - before, 8 * 1024) << "kB kept of the helper's output";
  }
  {
    // A line longer than any progress line is dropped whole; the next one counts.
    plat::ChildProcess longer(Sh("head -c 1000000 /dev/zero | tr '\\0' x; echo; echo 'progress 1 2'; printf 'progress 2 2'"));
    ASSERT_TRUE(drain(longer, lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"progress 1 2", "progress 2 2"}));
    EXPECT_EQ(longer.ExitStatus(), 0);
  }
  {
    // 10 MB of line breaks: each a line, read in linear time (the suite's time limit would catch more).
    plat::ChildProcess breaks(Sh("head -c 10485760 /dev/zero | tr '\\0' '\\n'"));
    size_t count = 0;
    ASSERT_TRUE(drain(breaks, lines, &count));
    EXPECT_EQ(count, 10485760u);
  }
  {
    // A daemon left holding the output does not hold the end, and is ended.
    const std::string pid_file = (dir / "daemon.pid").string();
    plat::ChildProcess daemon(Sh("sleep 300 & echo $! >" + pid_file + "; echo 'progress 1 1'"));
    lines.clear();
    ASSERT_TRUE(drain(daemon, lines));
    EXPECT_EQ(lines, std::vector<std::string>{"progress 1 1"});
    const pid_t left = pid_t(std::stol(Slurp(pid_file)));
    EXPECT_TRUE(Gone(left)) << "the helper's daemon still runs";
  }
  {
    // A helper that closes its output and goes on: polls return at once while it runs, and ending it ends it.
    plat::ChildProcess quiet(Sh("exec >&-; sleep 300"));
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(quiet.Poll(lines));
  }
  {
    // Ended while it works, the helper (and its own children) get to tidy up first.
    const stdfs::path half = dir / "half-made";
    {
      plat::ChildProcess work(Sh("trap 'rm -f " + half.string() + "; exit 143' TERM; touch " + half.string() +
                                 "; echo started; while :; do sleep 0.05; done"));
      while (lines.clear(), work.Poll(lines) && lines.empty()) ::usleep(1000);
      ASSERT_TRUE(stdfs::exists(half));
    }
    EXPECT_FALSE(stdfs::exists(half)) << "the helper was not given time to tidy up";
  }
  stdfs::remove_all(dir);
}

}  // namespace
