// The waiting screen: the bar follows the reported progress; a failure is said in the user's language
// and stays until it is dismissed.
#include <gtest/gtest.h>
#include <signal.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/first_start.h"
#include "app/waiting.h"
#include "platform/headless/headless.h"
#include "platform/quit_request.h"
#include "platform/trace.h"

namespace {

// Reports a batch of lines per poll, then ends with a status.
class Scripted : public ozzel::Preparation {
 public:
  Scripted(std::deque<std::vector<std::string>> batches, int status) : batches_(std::move(batches)), status_(status) {}
  bool Poll(std::vector<std::string>& lines) override {
    if (batches_.empty()) return false;
    lines.insert(lines.end(), batches_.front().begin(), batches_.front().end());
    batches_.pop_front();
    return true;
  }
  int Status() const override { return status_; }
  void More(std::vector<std::string> batch) { batches_.push_back(std::move(batch)); }

 private:
  std::deque<std::vector<std::string>> batches_;
  int status_;
};

struct Traced {
  std::vector<std::string> lines;
  explicit Traced(plat::HeadlessBackend& b) {
    plat::trace::SetSink([this](const std::string& l) { lines.push_back(l.substr(l.find(' ') + 1)); }, &b.clock());
  }
  ~Traced() { plat::trace::SetSink(nullptr, nullptr); }
  bool Has(const std::string& s) const {
    for (const std::string& l : lines)
      if (l == s) return true;
    return false;
  }
};

TEST(WaitingScreen, TheBarFollowsTheWorkInCzechForAnUnknownLanguage) {
  plat::HeadlessBackend backend({1366, 768});
  Traced trace(backend);
  Scripted work({{"progress 0 4"}, {"progress 1 4", "progress 2 4"}, {}}, 0);
  EXPECT_EQ(ozzel::RunWaitingScreen(backend, work, "xx"), ozzel::WaitOutcome::kReady);
  EXPECT_TRUE(trace.Has("caption nadpis Chystám obrázky a hlasy…"));
  EXPECT_TRUE(trace.Has("bounds ukazatel 120 392 200 26"));  // half of the 400-pixel bar
}

TEST(WaitingScreen, AFullDiskIsSaidInGermanUntilAKey) {
  plat::HeadlessBackend backend({1366, 768});
  Traced trace(backend);
  Scripted work({{"progress 3 10", "error space cannot write x.wav: No space left on device"}}, 1);
  bool asked = false;
  backend.OnIdle = [&](uint64_t deadline) {
    if (deadline != plat::kNever) return;  // the work is still being watched
    // Nothing else will happen: the screen waits for the parent.
    ASSERT_FALSE(asked);
    asked = true;
    plat::InputEvent key;
    key.kind = plat::InputEvent::Kind::KeyChar;
    key.ch = 'a';
    backend.Inject(key);
  };
  EXPECT_EQ(ozzel::RunWaitingScreen(backend, work, "de"), ozzel::WaitOutcome::kFailed);
  EXPECT_TRUE(asked);
  const ozzel::WaitingTexts& de = ozzel::WaitingTextsFor("de");
  EXPECT_TRUE(trace.Has(std::string("caption nadpis ") + de.failed));
  EXPECT_TRUE(trace.Has(std::string("caption radek1 ") + de.no_space));
  EXPECT_TRUE(trace.Has(std::string("caption radek2 ") + de.next_time));
  EXPECT_TRUE(trace.Has("hide ukazatel"));
}

// Counts past any real progress fill the bar, never overflow it; a kill ends the wait as closing the
// window does (the helper then goes with the game).
TEST(WaitingScreen, HugeCountsFillTheBarAndAKillEndsTheWait) {
  plat::HeadlessBackend backend({1366, 768});
  Traced trace(backend);
  Scripted work({{"progress 100000000000000000 100000000000000000", "progress 99999999999999999999 5"}, {}, {}}, 0);
  EXPECT_EQ(ozzel::RunWaitingScreen(backend, work, "en"), ozzel::WaitOutcome::kReady);
  EXPECT_TRUE(trace.Has("bounds ukazatel 120 392 400 26"));

#ifndef _WIN32  // there a console's Ctrl+C is the request, not a signal
  Scripted endless({{"progress 1 4"}}, 0);
  for (int i = 0; i < 100000; ++i) endless.More({});
  bool killed = false;
  backend.OnIdle = [&](uint64_t) {
    if (!killed) killed = true, ::raise(SIGTERM);
  };
  EXPECT_EQ(ozzel::RunWaitingScreen(backend, endless, "en"), ozzel::WaitOutcome::kClosed);
  EXPECT_TRUE(killed);
#endif
}

#ifndef _WIN32  // Windows makes no medium at a first start
// The first start runs datagen itself: the root and language reach it as they are (no shell reads them),
// the root is registered when it succeeds; a datagen that is not there fails at once and the folder made
// for it goes again.
TEST(FirstStart, DatagenGetsItsArgumentsAsTheyAreAndAMissingOneLeavesNothing) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("ozzel-first-start-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string fake = (dir / "datagen").string();
  std::ofstream(fake) << "#!/bin/sh\nprintf '%s\\n' \"$@\" >\"$(dirname \"$0\")/args\"\necho 'progress 1 1'\n";
  fs::permissions(fake, fs::perms::owner_all);
  ::setenv("OZZEL_REGISTRY", (dir / "registry.reg").c_str(), 1);
  auto run = [](ozzel::Preparation& work, std::vector<std::string>& lines) {
    for (int i = 0; i < 100000 && work.Poll(lines); ++i) ::usleep(1000);
  };
  const std::string root = (dir / "my medium; $HOME *").string();
  std::vector<std::string> lines;
  {
    auto work = ozzel::MakeMedium(fake, root, "de");
    run(*work, lines);
    EXPECT_EQ(work->Status(), 0);
  }
  EXPECT_EQ(lines, std::vector<std::string>{"progress 1 1"});
  std::stringstream args, store;
  args << std::ifstream(dir / "args").rdbuf();
  EXPECT_EQ(args.str(), "--progress\n--language\nde\n" + root + "\n");
  store << std::ifstream(dir / "registry.reg").rdbuf();
  EXPECT_NE(store.str().find("\"kde_je_BM4\"=\"" + root), std::string::npos) << store.str();

  lines.clear();
  const fs::path fresh = dir / "fresh" / "medium";
  {
    auto work = ozzel::MakeMedium("", fresh.string(), "en");
    run(*work, lines);
    EXPECT_EQ(work->Status(), 1);
  }
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("error other datagen", 0), 0u) << lines[0];
  EXPECT_FALSE(fs::exists(fresh)) << "the folder made for the medium stayed";
  ::unsetenv("OZZEL_REGISTRY");
  fs::remove_all(dir);
}
#endif

}  // namespace
