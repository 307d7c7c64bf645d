// A whole round of the home animals won in each access mode, driving the simulator as the child would:
// keys, one switch with no pointer, two switches, and a resting pointer with no button.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/scenarios/sim_session.h"

namespace ozzel::scenario {
namespace {

namespace fs = std::filesystem;

class Child {
 public:
  Child(SimSession& s, std::string mode) : s_(s), mode_(std::move(mode)) {}

  void Step(const std::string& cmd) {
    auto lines = s_.Step(cmd);
    ASSERT_FALSE(s_.ended() || s_.timed_out()) << "after '" << cmd << "'\n" << s_.Tail();
    for (const std::string& l : lines) {
      ASSERT_FALSE(SimSession::IsEvent(l, "msgbox")) << s_.Tail();
      std::string body = SimSession::Body(l);
      // The highlight gives way to the praise's card and comes back to the same thing: no move.
      bool moved = false;
      if (SimSession::IsEvent(l, "highlight")) {
        std::string now = body.substr(10);
        moved = now != "none" && now != highlighted_ && now != before_card_;
        if (now == "none") before_card_ = highlighted_;
        else before_card_.clear();
        highlighted_ = now;
      }
      if (SimSession::IsEvent(l, "dwell")) dwelled_ = body.substr(6);
      // Nothing moves by itself while the examiner speaks.
      if (SimSession::IsEvent(l, "wav play")) speaking_ = true;
      if (SimSession::IsEvent(l, "wav end") || SimSession::IsEvent(l, "wav stop") || SimSession::IsEvent(l, "wav close"))
        speaking_ = false;
      if (mode_ == "scan1" && moved && speaking_ && cmd.rfind("wait", 0) == 0)
        ADD_FAILURE() << "the scan moved while speech played: " << l << "\n" << s_.Tail();
    }
  }

  // Chooses `name` as the mode lets the child: moving the highlight there, or resting the pointer on it.
  void Choose(const std::string& name, const std::string& at) {
    if (mode_ == "dwell") {
      if (name == last_) {
        ASSERT_NO_FATAL_FAILURE(Step("move 600 10"));  // leave it first
      }
      dwelled_.clear();
      ASSERT_NO_FATAL_FAILURE(Step("move " + at));
      for (int i = 0; i < 100 && dwelled_.empty(); ++i) ASSERT_NO_FATAL_FAILURE(Step("wait 100"));
      ASSERT_EQ(dwelled_, name) << s_.Tail();
    } else {
      const std::string move = mode_ == "keys" ? "key tab" : mode_ == "scan2" ? "key space" : "wait 100";
      for (int i = 0; i < 600 && highlighted_ != name; ++i) ASSERT_NO_FATAL_FAILURE(Step(move));
      ASSERT_EQ(highlighted_, name) << s_.Tail();
      ASSERT_NO_FATAL_FAILURE(Step(mode_ == "scan2" ? "key enter" : "key space"));
    }
    last_ = name;
  }

  // Until the question has been asked to its end: a press while it is spoken chooses nothing.
  void UntilAsked() {
    for (int i = 0; i < 400; ++i) {
      if (!speaking_ && s_.Int("PlaylistLength") == 0 && s_.Int("AwaitingAnswer") == 1 && s_.Int("ClickBusy") == 0 &&
          s_.Int("AskBusy") == 0 &&
          s_.Int("SwitchBusy") == 0 && s_.Int("SwitchPending") == 0)
        return;
      ASSERT_NO_FATAL_FAILURE(Step("wait 100"));
    }
    FAIL() << "no question asked\n" << s_.Tail();
  }

  int AskedAnimal() {
    int cq = s_.Int("CurrentQuestion");
    const auto& qs = s_.questions();
    if (cq < 1 || cq > int(qs.size())) return -1;
    const std::string& e = qs[size_t(cq - 1)];  // kind:letter:animal[:sound]
    return std::atoi(e.c_str() + e.find(':', e.find(':') + 1) + 1);
  }

  std::string AnimalPoint(int code) {
    for (const std::string& l : s_.Step("animal " + std::to_string(code)))
      if (SimSession::IsEvent(l, "animal")) return SimSession::Body(l).substr(7 + std::to_string(code).size() + 1);
    return "";
  }

 private:
  SimSession& s_;
  std::string mode_;
  std::string highlighted_, dwelled_, last_, before_card_;
  bool speaking_ = false;
};

class AccessRound : public ::testing::TestWithParam<const char*> {};

TEST_P(AccessRound, WinsTheHomeAnimals) {
  const std::string mode = GetParam();
  std::string why;
  auto medium = BuiltDemoMedium(why);
  if (!medium) GTEST_SKIP() << why;
  char tmpl[] = "/tmp/ozzel-access-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  fs::path tmp = tmpl;
  std::ofstream(tmp / "registry.reg") << "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Ozzel]\n\"Access\"=\"" << mode
                                      << "\"\n\"DwellMs\"=dword:000003e8\n";

  SimSession s({"--data", *medium, "--registry", (tmp / "registry.reg").string(), "--seed", "3"}, tmp, 300);
  ASSERT_TRUE(s.started());
  Child c(s, mode);
  // The whole introduction, untouched: no Esc, no pointer.
  ASSERT_NO_FATAL_FAILURE(c.Step("wait 30000"));
  ASSERT_NO_FATAL_FAILURE(c.Choose("btn_obraz1", "72 446"));
  ASSERT_NO_FATAL_FAILURE(c.UntilAsked());
  ASSERT_EQ(s.Int("CurrentSet"), 1) << s.Tail();
  const int count = s.Int("QuestionCount");
  ASSERT_GT(count, 0);
  for (int q = 1; q <= count; ++q) {
    ASSERT_NO_FATAL_FAILURE(c.UntilAsked());
    ASSERT_EQ(s.Int("CurrentQuestion"), q) << s.Tail();
    int animal = c.AskedAnimal();
    ASSERT_NO_FATAL_FAILURE(c.Choose("animal " + std::to_string(animal), c.AnimalPoint(animal)));
    ASSERT_NO_FATAL_FAILURE(c.Step("wait 1000"));
    ASSERT_EQ(s.Int("GoodCount"), q) << "question " << q << " (animal " << animal << ")\n" << s.Tail();
  }
  EXPECT_EQ(s.Int("BadCount"), 0) << s.Tail();
  ASSERT_NO_FATAL_FAILURE(c.UntilAsked());
  EXPECT_EQ(s.Int("GoodCount"), count) << "a choice counted twice\n" << s.Tail();
  s.Finish();
  fs::remove_all(tmp);
}

INSTANTIATE_TEST_SUITE_P(Modes, AccessRound, ::testing::Values("keys", "scan1", "scan2", "dwell"));

}  // namespace
}  // namespace ozzel::scenario
