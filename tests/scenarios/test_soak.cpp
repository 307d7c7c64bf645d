// A long game in virtual time: 10,000 answers and 1,000 scene switches on the demo medium. Every
// answer counts once, the speech queue stays short and the simulator's memory stays flat.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "game/sets.h"
#include "tests/scenarios/sim_session.h"

namespace ozzel::scenario {
namespace {

namespace fs = std::filesystem;

constexpr int kAnswers = 10000;
constexpr int kSwitches = 1000;
// Praise, a praise phrase and a name, or a failure, the animal and the question again (three files
// at most), or a question of up to three files: anything longer means the queue is not being drained.
constexpr int kMaxQueue = 6;
// The scene buttons in the bottom bar once a scene is shown.
constexpr std::array<int, 5> kButtonX = {0, 50, 116, 183, 249};

struct Point {
  int x = -1, y = -1;
};

class Soak {
 public:
  explicit Soak(SimSession& s) : s_(s) {}

  void Check(const std::vector<std::string>& lines) {
    if (s_.state().empty()) return;
    int q = s_.Int("PlaylistLength");
    max_queue_ = std::max(max_queue_, q);
    ASSERT_GE(q, 0) << "no PlaylistLength in the dump";
    ASSERT_LE(q, kMaxQueue) << s_.Tail();
    for (const std::string& l : lines) {
      ASSERT_FALSE(SimSession::IsEvent(l, "msgbox")) << s_.Tail();
      ASSERT_FALSE(SimSession::IsEvent(l, "exit")) << s_.Tail();
    }
  }

  void Step(const std::string& cmd) {
    auto lines = s_.Step(cmd);
    ASSERT_FALSE(s_.ended() || s_.timed_out()) << "after '" << cmd << "'\n" << s_.Tail();
    Check(lines);
  }

  // Lets virtual time run until a question waits for its answer.
  void UntilAsked() {
    for (int i = 0; i < 200; ++i) {
      if (s_.Int("AwaitingAnswer") == 1 && s_.Int("ClickBusy") == 0 && s_.Int("SwitchPending") == 0 &&
          s_.Int("AskBusy") == 0 && s_.Int("SwitchBusy") == 0)
        return;
      ASSERT_NO_FATAL_FAILURE(Step("wait 500"));
    }
    FAIL() << "no question asked within 100 s of virtual time\n" << s_.Tail();
  }

  Point AnimalAt(int set, int code) {
    Point& p = points_[set][code];
    if (p.x < 0) {
      auto lines = s_.Step("animal " + std::to_string(code));
      for (const std::string& l : lines) {
        if (!SimSession::IsEvent(l, "animal")) continue;
        std::istringstream in(SimSession::Body(l));
        std::string word;
        int n;
        in >> word >> n >> p.x >> p.y;
      }
      EXPECT_GE(p.x, 0) << "no point for animal " << code << " of set " << set;
    }
    return p;
  }

  int RightAnimal() {
    int cq = s_.Int("CurrentQuestion");
    const auto& qs = s_.questions();
    if (cq < 1 || cq > int(qs.size())) return -1;
    // "kind:letter:animal[:sound]"
    const std::string& e = qs[size_t(cq - 1)];
    size_t a = e.find(':', e.find(':') + 1);
    return std::atoi(e.c_str() + a + 1);
  }

  void Click(Point p) { ASSERT_NO_FATAL_FAILURE(Step("click " + std::to_string(p.x) + " " + std::to_string(p.y))); }

  void SwitchTo(int set) {
    ASSERT_NO_FATAL_FAILURE(Step("click " + std::to_string(kButtonX[size_t(set)]) + " 446"));
    ++switches_;
  }

  SimSession& s_;
  std::array<std::array<Point, 11>, 5> points_{};
  int answers_ = 0, switches_ = 0, max_queue_ = 0;
};

TEST(Soak, TenThousandAnswersAndAThousandSwitches) {
  std::string why;
  auto medium = BuiltDemoMedium(why);
  if (!medium) GTEST_SKIP() << why;
  char tmpl[] = "/tmp/ozzel-soak-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  fs::path tmp = tmpl;
  auto started = std::chrono::steady_clock::now();

  SimSession s({"--data", *medium, "--registry", (tmp / "registry.reg").string(), "--seed", "11"}, tmp, 600);
  ASSERT_TRUE(s.started());
  Soak k(s);
  ASSERT_NO_FATAL_FAILURE(k.Step("wait 600"));
  ASSERT_NO_FATAL_FAILURE(k.Step("key esc"));
  ASSERT_NO_FATAL_FAILURE(k.Step("wait 300"));
  ASSERT_NO_FATAL_FAILURE(k.Step("click 72 446"));  // the home animals, from the menu
  int set = 1;
  // RSS dips for a moment whenever a large buffer goes back to the system, so each end of the run is
  // measured by its highest reading: the plateau after warming up, and the plateau at the end.
  long rss_early = -1, rss_late = -1;

  for (int question = 0; k.answers_ < kAnswers || k.switches_ < kSwitches; ++question) {
    ASSERT_NO_FATAL_FAILURE(k.UntilAsked());
    ASSERT_EQ(s.Int("CurrentSet"), set) << s.Tail();
    int right = k.RightAnimal();
    ASSERT_GE(right, 1) << s.Tail();
    const std::vector<int>& present = game::AnimalsPresent(set);

    // Up to three wrong animals, each counted at once.
    for (int w = 0; w < question % 4; ++w) {
      int wrong = present[size_t(question + w) % present.size()];
      if (wrong == right) continue;
      int bad = s.Int("BadCount");
      ASSERT_NO_FATAL_FAILURE(k.Click(k.AnimalAt(set, wrong)));
      ASSERT_EQ(s.Int("BadCount"), bad + 1) << "wrong answer " << wrong << " not counted\n" << s.Tail();
      ++k.answers_;
    }
    if (question % 5 == 0) {
      int miss = s.Int("MissIndex"), good = s.Int("GoodCount"), bad = s.Int("BadCount");
      ASSERT_NO_FATAL_FAILURE(k.Step("click 600 20"));  // the sky in every scene
      ASSERT_EQ(s.Int("MissIndex"), miss % 4 + 1) << s.Tail();
      ASSERT_EQ(s.Int("GoodCount") + s.Int("BadCount"), good + bad) << s.Tail();
    }
    int good = s.Int("GoodCount");
    ASSERT_NO_FATAL_FAILURE(k.Click(k.AnimalAt(set, right)));
    ASSERT_NO_FATAL_FAILURE(k.Step("wait 1000"));  // the preview shows after a short delay
    ASSERT_EQ(s.Int("GoodCount"), good + 1) << "right answer " << right << " not counted\n" << s.Tail();
    ++k.answers_;

    if (k.answers_ >= 1000 && k.answers_ < 2000) rss_early = std::max(rss_early, s.StatusKb("VmRSS"));
    if (k.answers_ >= kAnswers - 1000) rss_late = std::max(rss_late, s.StatusKb("VmRSS"));
    // A switch every third question: during the praise, or once the next question waits.
    if (question % 3 == 2 && k.switches_ < kSwitches) {
      if (question % 2) {
        ASSERT_NO_FATAL_FAILURE(k.UntilAsked());
      }
      set = set % 4 + 1;
      ASSERT_NO_FATAL_FAILURE(k.SwitchTo(set));
      ASSERT_NO_FATAL_FAILURE(k.UntilAsked());
      ASSERT_EQ(s.Int("CurrentSet"), set) << s.Tail();
      ASSERT_EQ(s.Int("GoodCount"), 0);
      ASSERT_EQ(s.Int("BadCount"), 0);
    }
  }
  const long hwm = s.StatusKb("VmHWM");
  ASSERT_NO_FATAL_FAILURE(k.Step("click 587 448"));
  s.Step("wait 3000");
  int code = s.Finish();
  EXPECT_EQ(code, 0) << s.Tail();

  auto secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::cout << "soak: " << k.answers_ << " answers, " << k.switches_ << " switches, " << s.trace().size()
            << " trace lines, longest queue " << k.max_queue_ << ", RSS " << rss_early << " kB over answers 1,000 to 2,000, "
            << rss_late << " kB over the last 1,000, peak " << hwm << " kB, " << secs << " s\n";
  // Flat memory: a little slack for allocator noise, nothing that scales with the answers. Under
  // AddressSanitizer freed memory sits in its quarantine, so RSS says nothing there; LeakSanitizer
  // checks that build instead.
#if !defined(__SANITIZE_ADDRESS__)
  ASSERT_GT(rss_early, 0);
  ASSERT_GT(rss_late, 0);
  EXPECT_LE(rss_late - rss_early, 2048) << "the simulator grew by " << rss_late - rss_early << " kB";
#endif
  std::error_code ec;
  if (!HasFailure()) fs::remove_all(tmp, ec);
}

}  // namespace
}  // namespace ozzel::scenario
