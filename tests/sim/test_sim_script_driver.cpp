// The script driver: how `wait` moves virtual time against the program's deadlines, what input each
// command injects, stdin read lazily, and the command line.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/trace.h"
#include "sim/driver.h"
#include "sim/options.h"

namespace ozzel::sim {
namespace {

using IK = plat::InputEvent::Kind;

class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::trace::SetSink([this](const std::string& l) { trace_.push_back(l); }, &clock_);
  }
  void TearDown() override { plat::trace::SetSink(nullptr, nullptr); }

  DriverHooks Hooks() {
    DriverHooks h;
    h.inject = [this](const plat::InputEvent& e) { events_.push_back(e); };
    h.origin = [this] { return origin_; };
    h.animal_point = [](int code) -> std::optional<plat::Point> {
      if (code == 3) return plat::Point{120, 240};
      return std::nullopt;
    };
    h.dump_state = [] { return std::string("SoundOn=1 QuitRequested=0"); };
    h.dump_questions = [] { return std::string("1:D:3 3:D:5:2"); };
    h.shot = [this](const std::string& name) -> std::optional<std::string> {
      shots_.push_back(name);
      return std::nullopt;
    };
    h.flush = [this] { flushed_at_.push_back(trace_.size()); };
    return h;
  }

  std::vector<Command> Commands(const std::string& text) {
    Script s = ParseScript(text);
    EXPECT_FALSE(s.error);
    return s.commands;
  }

  plat::VirtualClock clock_;
  plat::Point origin_{192, 144};
  std::vector<plat::InputEvent> events_;
  std::vector<std::string> trace_;
  std::vector<std::string> shots_;
  std::vector<size_t> flushed_at_;  // trace length at each flush
};

TEST_F(DriverTest, WaitDeliversEveryDeadlineUpToItsTarget) {
  ScriptSource src(Commands("wait 1000\nkey esc\n"));
  Driver d(clock_, src, Hooks());
  // Timers due at 100, 200, ... fall due one by one while the wait runs.
  EXPECT_EQ(d.OnIdle(100), Driver::Status::Running);
  EXPECT_EQ(clock_.NowMs(), 100u);
  EXPECT_EQ(d.wait_target(), std::optional<uint64_t>(1000));
  EXPECT_EQ(d.OnIdle(600), Driver::Status::Running);
  EXPECT_EQ(clock_.NowMs(), 600u);
  EXPECT_TRUE(events_.empty());
  // A deadline exactly at the target still belongs to the wait.
  EXPECT_EQ(d.OnIdle(1000), Driver::Status::Running);
  EXPECT_EQ(clock_.NowMs(), 1000u);
  EXPECT_TRUE(events_.empty());
  // Past the target: the wait is over and the key goes in without time passing, as a keyboard
  // sends it: down, its character, up.
  EXPECT_EQ(d.OnIdle(1100), Driver::Status::Running);
  EXPECT_EQ(clock_.NowMs(), 1000u);
  ASSERT_EQ(events_.size(), 3u);
  EXPECT_EQ(events_[0].kind, IK::KeyDown);
  EXPECT_EQ(events_[1].kind, IK::KeyChar);
  EXPECT_EQ(events_[1].ch, 27u);
  EXPECT_EQ(events_[2].kind, IK::KeyUp);
  EXPECT_EQ(events_[2].key, plat::Key::Esc);
  EXPECT_FALSE(d.wait_target());
  EXPECT_EQ(d.OnIdle(plat::kNever), Driver::Status::Ended);
  EXPECT_EQ(clock_.NowMs(), 1000u);
}

TEST_F(DriverTest, WaitWithNothingDueJumpsToTheTarget) {
  ScriptSource src(Commands("wait 250\nwait 250\nok\n"));
  Driver d(clock_, src, Hooks());
  EXPECT_EQ(d.OnIdle(plat::kNever), Driver::Status::Running);
  EXPECT_EQ(clock_.NowMs(), 500u);  // consecutive waits add up
  ASSERT_EQ(events_.size(), 1u);
  EXPECT_EQ(events_[0].kind, IK::DialogOk);
  EXPECT_EQ(flushed_at_.size(), 3u);  // before each command is read
}

TEST_F(DriverTest, WaitCountsFromWhenItStarts) {
  ScriptSource src(Commands("wait 100\nmove 0 0\nwait 100\ncancel\n"));
  Driver d(clock_, src, Hooks());
  d.OnIdle(plat::kNever);
  EXPECT_EQ(clock_.NowMs(), 100u);
  d.OnIdle(150);  // the program's own timer at 150 interrupts the second wait
  EXPECT_EQ(clock_.NowMs(), 150u);
  d.OnIdle(plat::kNever);
  EXPECT_EQ(clock_.NowMs(), 200u);
  ASSERT_EQ(events_.size(), 2u);
  EXPECT_EQ(events_[1].kind, IK::DialogCancel);
}

TEST_F(DriverTest, MouseCommandsUseScreenCoordinates) {
  ScriptSource src(Commands("click 555 418\nclick 10 20 right\nmove 1 2\ndown 3 4\nup 3 4 right\ndblclick 7 8\n"));
  Driver d(clock_, src, Hooks());
  d.OnIdle(plat::kNever);
  ASSERT_EQ(events_.size(), 3u);
  EXPECT_EQ(events_[0].kind, IK::MouseMove);
  EXPECT_EQ(events_[1].kind, IK::MouseDown);
  EXPECT_EQ(events_[2].kind, IK::MouseUp);
  for (const auto& e : events_) {
    EXPECT_EQ(e.pos, (plat::Point{192 + 555, 144 + 418}));
    EXPECT_EQ(e.button, 0);
  }
  events_.clear();
  origin_ = {0, 0};  // the main window moved: the next command follows it
  d.OnIdle(plat::kNever);
  ASSERT_EQ(events_.size(), 3u);
  EXPECT_EQ(events_[1].pos, (plat::Point{10, 20}));
  EXPECT_EQ(events_[1].button, 1);
  EXPECT_EQ(events_[2].button, 1);
  events_.clear();
  d.OnIdle(plat::kNever);
  ASSERT_EQ(events_.size(), 1u);
  EXPECT_EQ(events_[0].kind, IK::MouseMove);
  events_.clear();
  d.OnIdle(plat::kNever);
  ASSERT_EQ(events_.size(), 2u);
  EXPECT_EQ(events_[1].kind, IK::MouseDown);
  EXPECT_EQ(events_[1].pos, (plat::Point{3, 4}));
  events_.clear();
  d.OnIdle(plat::kNever);
  ASSERT_EQ(events_.size(), 2u);
  EXPECT_EQ(events_[1].kind, IK::MouseUp);
  EXPECT_EQ(events_[1].button, 1);
  events_.clear();
  d.OnIdle(plat::kNever);
  std::vector<IK> kinds;
  for (const auto& e : events_) kinds.push_back(e.kind);
  EXPECT_EQ(kinds, (std::vector<IK>{IK::MouseMove, IK::MouseDown, IK::MouseUp, IK::MouseMove, IK::MouseDown,
                                    IK::MouseUp}));
  EXPECT_EQ(clock_.NowMs(), 0u);  // input takes no time
}

TEST_F(DriverTest, InspectionRunsAtOnceAndTraces) {
  ScriptSource src(Commands("wait 40\nanimal 3\nanimal 9\ndump\nshot first\ntype Ahoj světe\n"));
  Driver d(clock_, src, Hooks());
  d.OnIdle(plat::kNever);
  EXPECT_EQ(trace_, (std::vector<std::string>{"40 animal 3 120 240", "40 animal 9 none",
                                              "40 state SoundOn=1 QuitRequested=0", "40 questions 1:D:3 3:D:5:2"}));
  EXPECT_EQ(shots_, std::vector<std::string>{"first"});
  // Each line was flushed before the next command was read.
  EXPECT_EQ(flushed_at_, (std::vector<size_t>{0, 0, 1, 2, 4, 4}));
  ASSERT_EQ(events_.size(), 1u);
  EXPECT_EQ(events_[0].kind, IK::Text);
  EXPECT_EQ(events_[0].text, "Ahoj světe");
}

TEST_F(DriverTest, StdinIsReadOnlyWhenNeeded) {
  std::istringstream in("click 1 1\nwait 100\n\n# idle\nbad line here\nok\n");
  StreamSource src(in);
  Driver d(clock_, src, Hooks());
  EXPECT_EQ(d.OnIdle(plat::kNever), Driver::Status::Running);
  // Only the first line has been consumed.
  std::string rest;
  std::getline(in, rest);
  EXPECT_EQ(rest, "wait 100");
  in.seekg(0);
  in.clear();
  StreamSource src2(in);
  Driver d2(clock_, src2, Hooks());
  d2.OnIdle(plat::kNever);
  EXPECT_EQ(d2.OnIdle(plat::kNever), Driver::Status::Failed);
  EXPECT_EQ(d2.error(), "script line 5: unknown command 'bad'");
  // Once stopped, it stays stopped.
  EXPECT_EQ(d2.OnIdle(plat::kNever), Driver::Status::Failed);
}

TEST(SimOptions, DefaultsAndEveryOption) {
  auto r = ParseArgs({});
  ASSERT_TRUE(std::holds_alternative<SimOptions>(r));
  SimOptions o = std::get<SimOptions>(r);
  EXPECT_EQ(o.screen, (plat::Size{1024, 768}));
  EXPECT_TRUE(o.sound_device);
  EXPECT_FALSE(o.seed || o.data || o.registry || o.script || o.shots);

  r = ParseArgs({"--data", "/media/cd", "--registry", "r.reg", "--screen", "800x600", "--seed", "4294967295",
                 "--no-sound-device", "--shots", "out", "--script", "s.txt"});
  ASSERT_TRUE(std::holds_alternative<SimOptions>(r)) << std::get<std::string>(r);
  o = std::get<SimOptions>(r);
  EXPECT_EQ(o.data, "/media/cd");
  EXPECT_EQ(o.registry, "r.reg");
  EXPECT_EQ(o.screen, (plat::Size{800, 600}));
  EXPECT_EQ(o.seed, 4294967295u);
  EXPECT_FALSE(o.sound_device);
  EXPECT_EQ(o.shots, "out");
  EXPECT_EQ(o.script, "s.txt");
  // An empty data root is a legitimate (wrong) setting the program must cope with.
  EXPECT_TRUE(std::holds_alternative<SimOptions>(ParseArgs({"--data", ""})));
}

TEST(SimOptions, RejectsBadCommandLines) {
  for (const std::vector<std::string>& a : std::vector<std::vector<std::string>>{
           {"--seed"}, {"--seed", "-1"}, {"--seed", "4294967296"}, {"--seed", "x"}, {"--screen", "1024"},
           {"--screen", "0x768"}, {"--screen", "1024x"}, {"--screen", "axb"}, {"--data"}, {"--script", ""},
           {"--bogus"}, {"script.txt"}}) {
    EXPECT_TRUE(std::holds_alternative<std::string>(ParseArgs(a))) << a[0];
  }
}

}  // namespace
}  // namespace ozzel::sim
