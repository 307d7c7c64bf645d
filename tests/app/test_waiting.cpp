// The waiting screen: the bar follows the reported progress; a failure is said in the user's language
// and stays until it is dismissed.
#include <gtest/gtest.h>
#include <signal.h>

#include <deque>
#include <string>
#include <vector>

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

}  // namespace
