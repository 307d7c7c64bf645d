// The animation control under the examiner: play requests, notifications through the queue, trace.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/animate/animate.h"
#include "platform/headless/headless.h"
#include "platform/trace.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"
#include "tests/platform/avi_test_writer.h"

namespace plat {
namespace {

namespace stdfs = std::filesystem;

struct AnimateTest : ::testing::Test {
  HeadlessBackend backend{{800, 600}};
  Application app{backend};
  Form form{app, "f"};
  std::vector<std::string> log;
  std::string path;

  AnimateTest() {
    path = (stdfs::temp_directory_path() / ("ozzel-anim-" + std::to_string(::getpid()) + ".avi")).string();
    auto b = avitest::NumberedClip(5, 4, 4);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    form.SetBounds(0, 0, 200, 200);
    form.Show();
    trace::SetSink([this](const std::string& l) { log.push_back(l.substr(l.find(' ') + 1)); }, &backend.clock());
  }
  ~AnimateTest() override {
    trace::SetSink(nullptr, nullptr);
    std::remove(path.c_str());
  }
  AnimateControl& Add() {
    auto& a = form.Add<AnimateControl>("anim");
    a.OnStartNotify = [this] { log.push_back("notify start"); };
    a.OnStopNotify = [this] { log.push_back("notify stop"); };
    return a;
  }
  using Log = std::vector<std::string>;
};

TEST_F(AnimateTest, NotificationsArriveThroughTheQueueInOrder) {
  auto& a = Add();
  ASSERT_TRUE(a.OpenClip(path));
  log.clear();
  ASSERT_TRUE(a.PlayRange(0, 4, -1));
  EXPECT_EQ(log, (Log{"anim play"})) << "the notification waits for the queue";
  app.RunFor(250);
  EXPECT_EQ(a.CurrentFrame(), 2);
  ASSERT_TRUE(a.PlayRange(1, 3, 1));  // a new request halts the running playback first
  app.ProcessMessages();
  EXPECT_EQ(log, (Log{"anim play", "notify start", "anim stop", "anim play", "notify stop", "notify start"}));
  log.clear();
  app.RunFor(300);
  EXPECT_EQ(log, (Log{"anim end", "notify stop"}));
  EXPECT_EQ(a.CurrentFrame(), 3);
}

TEST_F(AnimateTest, SingleFrameRequestShowsItAndHaltsWithoutStarting) {
  auto& a = Add();
  ASSERT_TRUE(a.OpenClip(path));
  log.clear();
  ASSERT_TRUE(a.PlayRange(3, 3, 1));
  app.RunFor(500);
  EXPECT_TRUE(log.empty()) << "nothing was playing, so nothing stops";
  EXPECT_EQ(a.CurrentFrame(), 3);
  a.PlayRange(0, 4, 1);
  app.RunFor(150);
  log.clear();
  a.PlayRange(0, 0, 1);
  app.ProcessMessages();
  EXPECT_EQ(log, (Log{"anim stop", "notify stop"}));
  EXPECT_FALSE(a.Playing());
  EXPECT_EQ(a.CurrentFrame(), 0);
}

TEST_F(AnimateTest, RefusesBadRangesAndClosedClips) {
  auto& a = Add();
  EXPECT_FALSE(a.PlayRange(0, 0, 1));
  ASSERT_TRUE(a.OpenClip(path));
  EXPECT_FALSE(a.PlayRange(0, 5, 1));
  EXPECT_FALSE(a.PlayRange(3, 2, 1));
  EXPECT_FALSE(a.PlayRange(-1, 2, 1));
  EXPECT_FALSE(a.PlayRange(0, 2, 0));
  EXPECT_FALSE(a.Playing());
}

TEST_F(AnimateTest, FailedOpenTracesAndExplains) {
  auto& a = Add();
  EXPECT_FALSE(a.OpenClip(path + ".missing"));
  EXPECT_EQ(log, (Log{"anim open-fail " + path + ".missing"}));
  EXPECT_FALSE(a.LastError().empty());
  EXPECT_FALSE(a.ClipOpen());
}

TEST_F(AnimateTest, ClosingWhilePlayingStopsAndDestroyingDropsPendingNotifications) {
  {
    auto a = std::make_unique<AnimateControl>(form, "loose");
    bool notified = false;
    a->OnStopNotify = [&] { notified = true; };
    ASSERT_TRUE(a->OpenClip(path));
    ASSERT_TRUE(a->PlayRange(0, 4, -1));
    a->CloseClip();
    a.reset();
    app.ProcessMessages();  // must not reach the destroyed control
    EXPECT_FALSE(notified);
  }
  EXPECT_EQ(log, (Log{"anim open " + path, "anim play", "anim stop"}));
}

TEST_F(AnimateTest, AStepRepaintsOnlyWhatChangedBetweenFrames) {
  // 8 × 6 frames: the second differs from the first in three pixels of row 3, the third equals the second.
  avitest::Spec spec;
  spec.width = 8;
  spec.height = 6;
  spec.usec_per_frame = 100000;
  spec.palette = {0x102030, 0xFF0000};
  std::vector<uint8_t> px(48, 0);
  spec.frames.push_back(avitest::Rgb8Frame(px, 8, 6));
  px[3 * 8 + 2] = px[3 * 8 + 3] = px[3 * 8 + 4] = 1;
  spec.frames.push_back(avitest::Rgb8Frame(px, 8, 6));
  spec.frames.push_back(avitest::Rgb8Frame(px, 8, 6));
  const auto bytes = avitest::Build(spec);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));

  auto& a = Add();
  a.SetBounds(10, 20, 20, 10);  // centred: the frame at (6, 2) in the control
  ASSERT_TRUE(a.OpenClip(path));
  ASSERT_TRUE(a.PlayRange(0, 2, 1));
  app.PresentNow();
  const int presents = backend.presents();
  app.RunFor(110);
  ASSERT_EQ(a.CurrentFrame(), 1);
  EXPECT_EQ(backend.presents(), presents + 1);
  EXPECT_EQ(backend.last_damage(), (Rect{10 + 6 + 2, 20 + 2 + 3, 3, 1}));
  app.RunFor(100);
  ASSERT_EQ(a.CurrentFrame(), 2);
  EXPECT_EQ(backend.presents(), presents + 1) << "an unchanged frame costs nothing";
}

}  // namespace
}  // namespace plat
