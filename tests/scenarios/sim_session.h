// Drives a built ozzel-sim through its stdin line by line, for tests that decide as they go.
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fs/fs.h"
#include "tests/scenarios/spawn.h"

namespace ozzel::scenario {

// One running simulator. Every Step sends a command followed by `dump`, and reads the trace up to
// the dump's `questions` line, so each step returns exactly the events the command caused.
class SimSession {
 public:
  SimSession(const std::vector<std::string>& args, const std::filesystem::path& cwd, int timeout_s)
      : deadline_(std::chrono::steady_clock::now() + std::chrono::seconds(timeout_s)) {
    signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> argv{std::string(OZZEL_BINARY_DIR) + "/ozzel-sim"};
    argv.insert(argv.end(), args.begin(), args.end());
    Spawned sp = SpawnWithPipes(argv, cwd);
    if (sp.pid < 0) return;
    pid_ = sp.pid;
    in_ = sp.in;
    out_ = sp.out;
    err_ = sp.err;
    fcntl(err_, F_SETFL, O_NONBLOCK);
  }
  ~SimSession() {
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    for (int fd : {in_, out_, err_})
      if (fd >= 0) close(fd);
  }

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  bool ended() const { return eof_; }
  bool timed_out() const { return timed_out_; }
  const std::vector<std::string>& trace() const { return trace_; }
  const std::string& err() const { return err_text_; }

  // Sends `command` and a dump; returns the lines up to and including the dump. Fewer lines (without
  // the dump) when the program ended or the time ran out.
  std::vector<std::string> Step(const std::string& command) {
    std::vector<std::string> got;
    if (eof_ || timed_out_) return got;
    std::string text = command + "\ndump\n";
    if (!WriteAll(text)) return ReadRest(got);
    while (auto line = ReadLine()) {
      got.push_back(*line);
      if (IsEvent(*line, "questions")) {
        ParseState(got);
        return got;
      }
    }
    return got;
  }

  // The last dump's state values.
  const std::map<std::string, std::string>& state() const { return state_; }
  int Int(const std::string& key) const {
    auto it = state_.find(key);
    return it == state_.end() ? -1 : std::atoi(it->second.c_str());
  }
  // The last dump's questions, "K:L:A[:S]" each.
  const std::vector<std::string>& questions() const { return questions_; }

  // Sends `sig` with stdin still open, so that the program has to end by itself, and collects the
  // rest of the trace; returns the exit code (-1 when it did not end in time).
  int Signal(int sig) {
    kill(pid_, sig);
    while (ReadLine()) {
    }
    return Finish();
  }

  // Closes stdin and collects the rest of the trace; returns the exit code (-1 when killed).
  int Finish() {
    if (in_ >= 0) {
      close(in_);
      in_ = -1;
    }
    std::vector<std::string> rest;
    ReadRest(rest);
    if (timed_out_) kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    reaped_ = true;
    DrainErr();
    return !timed_out_ && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // A field of /proc/PID/status in kB ("VmRSS", "VmHWM"); -1 when unreadable.
  long StatusKb(const std::string& field) const {
    std::ifstream in("/proc/" + std::to_string(pid_) + "/status");
    std::string line;
    while (std::getline(in, line)) {
      if (line.compare(0, field.size() + 1, field + ":") == 0) return std::atol(line.c_str() + field.size() + 1);
    }
    return -1;
  }

  // The last `lines` lines of the trace and stderr, for failure messages.
  std::string Tail(size_t lines = 60) {
    DrainErr();
    std::string c = "--- trace tail ---\n";
    for (size_t i = trace_.size() > lines ? trace_.size() - lines : 0; i < trace_.size(); ++i) c += trace_[i] + "\n";
    return c + "--- stderr ---\n" + err_text_.substr(0, 4000);
  }

  // Is `line` ("T EVENT ...") the event `event`?
  static bool IsEvent(const std::string& line, const std::string& event) {
    size_t sp = line.find(' ');
    return sp != std::string::npos && line.compare(sp + 1, event.size(), event) == 0 &&
           (line.size() == sp + 1 + event.size() || line[sp + 1 + event.size()] == ' ');
  }
  // The line without its time stamp.
  static std::string Body(const std::string& line) {
    size_t sp = line.find(' ');
    return sp == std::string::npos ? line : line.substr(sp + 1);
  }

 private:
  bool WriteAll(const std::string& s) {
    size_t done = 0;
    while (done < s.size()) {
      ssize_t w = write(in_, s.data() + done, s.size() - done);
      if (w <= 0) return false;
      done += size_t(w);
    }
    return true;
  }

  std::optional<std::string> ReadLine() {
    for (;;) {
      size_t nl = buf_.find('\n', pos_);
      if (nl != std::string::npos) {
        std::string line = buf_.substr(pos_, nl - pos_);
        pos_ = nl + 1;
        if (pos_ > 65536) buf_.erase(0, pos_), pos_ = 0;
        trace_.push_back(line);
        return line;
      }
      if (eof_) return std::nullopt;
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - std::chrono::steady_clock::now());
      if (left.count() <= 0) {
        timed_out_ = true;
        kill(pid_, SIGKILL);
        return std::nullopt;
      }
      pollfd p{out_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), 1000))) <= 0) continue;
      char tmp[65536];
      ssize_t n = read(out_, tmp, sizeof tmp);
      if (n <= 0) {
        eof_ = true;
        if (pos_ < buf_.size()) buf_ += '\n';  // a last line without its newline
      } else {
        buf_.append(tmp, size_t(n));
      }
      DrainErr();
    }
  }

  std::vector<std::string>& ReadRest(std::vector<std::string>& got) {
    while (auto line = ReadLine()) got.push_back(*line);
    return got;
  }

  void DrainErr() {
    char tmp[4096];
    ssize_t n;
    while (err_ >= 0 && (n = read(err_, tmp, sizeof tmp)) > 0)
      if (err_text_.size() < 65536) err_text_.append(tmp, size_t(n));
  }

  void ParseState(const std::vector<std::string>& got) {
    for (const std::string& l : got) {
      if (IsEvent(l, "state")) {
        state_.clear();
        std::istringstream in(Body(l).substr(5));
        std::string kv;
        while (in >> kv) {
          size_t eq = kv.find('=');
          if (eq != std::string::npos) state_[kv.substr(0, eq)] = kv.substr(eq + 1);
        }
      } else if (IsEvent(l, "questions")) {
        questions_.clear();
        std::istringstream in(Body(l).substr(9));
        std::string q;
        while (in >> q) questions_.push_back(q);
      }
    }
  }

  pid_t pid_ = -1;
  bool reaped_ = false;
  int in_ = -1, out_ = -1, err_ = -1;
  std::chrono::steady_clock::time_point deadline_;
  std::string buf_;
  size_t pos_ = 0;
  bool eof_ = false, timed_out_ = false;
  std::vector<std::string> trace_;
  std::string err_text_;
  std::map<std::string, std::string> state_;
  std::vector<std::string> questions_;
};

// The media the suite runs against: the demo medium as datagen makes it, and the same content as a
// late-1990s disc holds it (datagen --period: capital 8.3 names, the formats of the day, read-only).
enum class Medium { Demo, Period };

inline const char* MediumName(Medium m) { return m == Medium::Demo ? "Demo" : "Period"; }

// The medium built by tools/datagen in the build tree, shared between test processes under a lock
// (datagen itself skips the work when the medium is current, so it is made once per change). Czech
// unless a language is given; every other language has a root and a lock of its own.
// OZZEL_TEST_MEDIUM / OZZEL_TEST_PERIOD_MEDIUM name a ready Czech one instead. nullopt with a reason otherwise.
inline std::optional<std::string> BuiltMedium(Medium m, std::string& why, const std::string& language = "cs") {
  namespace fs = std::filesystem;
  const bool period = m == Medium::Period;
  if (const char* env = std::getenv(period ? "OZZEL_TEST_PERIOD_MEDIUM" : "OZZEL_TEST_MEDIUM");
      env && *env && language == "cs")
    return std::string(env);
  fs::path bin = OZZEL_BINARY_DIR;
  const std::string own = language == "cs" ? "" : "-" + language;
  fs::path root = bin / ((period ? "test-medium-period" : "test-medium") + own);
  fs::path datagen = bin / "tools" / "datagen" / "datagen";
  std::error_code ec;
  if (!fs::exists(datagen, ec)) {
    why = "no demo medium: " + datagen.string() + " is not built";
    return std::nullopt;
  }
  int lock = open((bin / ("test-medium" + own + ".lock")).c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
  if (lock >= 0) flock(lock, LOCK_EX);
  std::string cmd = "'" + datagen.string() + "' --quiet " + (period ? "--period " : "") + "--language " + language +
                    " '" + root.string() + "' >/dev/null 2>&1";
  int rc = std::system(cmd.c_str());
  if (lock >= 0) close(lock);
  if (rc != 0 || !fs::is_directory(root / (period ? "BM4/_OZZEL" : "bm4/_ozzel"), ec)) {
    why = "datagen --language " + language + " failed (status " + std::to_string(rc) + ")";
    return std::nullopt;
  }
  return root.string();
}

inline std::optional<std::string> BuiltDemoMedium(std::string& why, const std::string& language = "cs") {
  return BuiltMedium(Medium::Demo, why, language);
}

// A path into a medium as the program finds it: every component without regard to case.
inline std::string OnMedium(const std::string& host_path) { return plat::fs::HostPath(host_path); }

// Copies a file or tree of a medium; the copy is writable, as a copy off a disc is made to be.
inline void CopyFromMedium(const std::string& from, const std::string& to, std::error_code& ec) {
  namespace fs = std::filesystem;
  fs::create_directories(fs::path(to).parent_path(), ec);
  fs::copy(OnMedium(from), to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
  if (ec) return;
  auto open_up = [](const fs::path& p) {
    std::error_code e;
    fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write | (fs::is_directory(p, e) ? fs::perms::owner_exec : fs::perms::none),
                    fs::perm_options::add, e);
  };
  open_up(to);
  if (fs::is_directory(to, ec))
    for (auto it = fs::recursive_directory_iterator(to, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
      open_up(it->path());
}

// Every entry of a medium with its size, modification time and mode: equal before and after a run
// when the program wrote nothing into it.
inline std::string MediumSnapshot(const std::string& root) {
  namespace fs = std::filesystem;
  std::vector<std::string> lines;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    struct stat st {};
    if (::lstat(it->path().c_str(), &st) != 0) continue;
    lines.push_back(it->path().string() + " " + std::to_string(st.st_size) + " " + std::to_string(st.st_mtim.tv_sec) + "." +
                    std::to_string(st.st_mtim.tv_nsec) + " " + std::to_string(st.st_mode));
  }
  std::sort(lines.begin(), lines.end());
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

}  // namespace ozzel::scenario
