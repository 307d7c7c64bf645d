// Examiner clip: opening, playing to the end, stopping, the stored stop frame, missing clips, painting
// and the control's own pointer events, in virtual time.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "controls/avi_delp.h"
#include "platform/headless/headless.h"
#include "platform/trace.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"
#include "tests/platform/avi_test_writer.h"

namespace ozzel {
namespace {

namespace stdfs = std::filesystem;
using plat::InputEvent;

struct ClipTest : ::testing::Test {
  plat::HeadlessBackend backend{{800, 600}};
  plat::Application app{backend};
  plat::Form form{app, "form_ozzel"};
  std::vector<std::string> trace, events;
  stdfs::path dir;
  TAVI_orvel1* avi = nullptr;

  ClipTest() {
    static std::atomic<int> n{0};
    dir = stdfs::temp_directory_path() /
          ("ozzel-clip-" + std::to_string(::getpid()) + "-" + std::to_string(n++));
    stdfs::create_directories(dir / "Animace");
    Write("tib_mluv.avi", avitest::NumberedClip(12, 6, 4));
    Write("kratky.avi", avitest::NumberedClip(3, 6, 4));
    form.SetBounds(0, 0, 640, 480);
    form.Show();
    // As the layout builds it: the stored stop frame 8, one repetition.
    form.SetLoading(true);
    avi = &form.Add<TAVI_orvel1>("zkouseni_tibora");
    avi->SetBounds(537, 233, 100, 170);
    avi->AutoSize = false;
    avi->SetRepetitions(1);
    avi->SetStopFrame(8);
    avi->SetColor(plat::kWindowBlue);
    form.SetLoading(false);
    avi->Loaded();
    avi->OnStart = [this](plat::Control&) { events.push_back("start"); };
    avi->OnStop = [this](plat::Control&) { events.push_back("stop"); };
    avi->OnOpen = [this](plat::Control&) { events.push_back("open"); };
    avi->OnClose = [this](plat::Control&) { events.push_back("close"); };
    plat::trace::SetSink([this](const std::string& l) { trace.push_back(l); }, &backend.clock());
  }
  ~ClipTest() override {
    plat::trace::SetSink(nullptr, nullptr);
    std::error_code ec;
    stdfs::remove_all(dir, ec);
  }

  void Write(const std::string& name, const avitest::Bytes& b) {
    std::ofstream(dir / "Animace" / name, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                                  std::streamsize(b.size()));
  }
  // DOS-style, as the program builds it (the directory's case differs on purpose).
  std::string Dos(const std::string& name) { return dir.string() + "\\animace\\" + name; }
  void Wait(uint64_t ms) { app.RunFor(ms); }
  void Send(InputEvent::Kind k, int x, int y) {
    InputEvent e;
    e.kind = k;
    e.pos = {x, y};
    backend.Inject(e);
    app.ProcessMessages();
  }
  // Trace events without their time stamps.
  std::vector<std::string> Events(const std::string& prefix = "anim") {
    std::vector<std::string> out;
    for (auto& l : trace) {
      std::string e = l.substr(l.find(' ') + 1);
      if (e.rfind(prefix, 0) == 0) out.push_back(e);
    }
    return out;
  }
  plat::Rgb ScreenPixel(int x, int y) { return app.ComposeAll().At(x, y); }
  using Log = std::vector<std::string>;
};

TEST_F(ClipTest, NewFileShowsItsFirstFrameWithoutPlaying) {
  avi->SetFileName(Dos("tib_mluv.avi"));
  EXPECT_TRUE(avi->Open());
  EXPECT_FALSE(avi->Active());
  EXPECT_FALSE(avi->Playing());
  EXPECT_EQ(avi->CurrentFrame(), 0);
  EXPECT_EQ(avi->FrameCount(), 12);
  EXPECT_EQ(avi->FrameWidth(), 6);
  EXPECT_EQ(avi->FrameHeight(), 4);
  EXPECT_EQ(Events(), (Log{"anim open " + Dos("tib_mluv.avi")}));
  Wait(1000);
  EXPECT_EQ(avi->CurrentFrame(), 0);
  EXPECT_EQ(events, (Log{"open"}));
}

TEST_F(ClipTest, SameNameInAnotherCaseDoesNothing) {
  avi->SetFileName(Dos("tib_mluv.avi"));
  avi->SetActive(true);
  Wait(250);
  avi->SetFileName(dir.string() + "\\ANIMACE\\TIB_MLUV.AVI");
  EXPECT_TRUE(avi->Active());
  EXPECT_TRUE(avi->Playing());
  EXPECT_EQ(avi->CurrentFrame(), 2);
  EXPECT_EQ(avi->FileName(), Dos("tib_mluv.avi"));
  EXPECT_EQ(Events(), (Log{"anim open " + Dos("tib_mluv.avi"), "anim play"}));
}

TEST_F(ClipTest, StoredStopFrameIsReplacedByTheClipsFrameCount) {
  EXPECT_EQ(avi->StopFrame(), 8);
  avi->SetFileName(Dos("tib_mluv.avi"));
  EXPECT_EQ(avi->StartFrame(), 1);
  EXPECT_EQ(avi->StopFrame(), 12);
  avi->SetActive(true);
  Wait(1100);
  EXPECT_EQ(avi->CurrentFrame(), 11) << "plays past the stored frame 8 to the clip's end";
}

TEST_F(ClipTest, OneRepetitionEndsOnTheLastFrameAndReportsNotActive) {
  avi->SetFileName(Dos("tib_mluv.avi"));
  avi->SetActive(true);
  app.ProcessMessages();
  EXPECT_EQ(events, (Log{"open", "start"}));
  Wait(1199);  // 12 frames of 100 ms
  EXPECT_TRUE(avi->Active());
  EXPECT_EQ(avi->CurrentFrame(), 11);
  Wait(1);
  EXPECT_FALSE(avi->Active());
  EXPECT_EQ(avi->CurrentFrame(), 11);
  EXPECT_EQ(events, (Log{"open", "start", "stop"}));
  EXPECT_EQ(Events(), (Log{"anim open " + Dos("tib_mluv.avi"), "anim play", "anim end"}));
  // Deactivating the ended clip changes nothing: it keeps its last frame.
  avi->SetActive(false);
  EXPECT_EQ(avi->CurrentFrame(), 11);
  Wait(500);
  EXPECT_EQ(events.size(), 3u);
  // Activating again plays from frame 1.
  avi->SetActive(true);
  EXPECT_EQ(avi->CurrentFrame(), 0);
  EXPECT_TRUE(avi->Active());
}

TEST_F(ClipTest, DeactivatingARunningClipShowsTheStartFrameAndStopsOnce) {
  avi->SetFileName(Dos("tib_mluv.avi"));
  avi->SetActive(true);
  Wait(450);
  EXPECT_EQ(avi->CurrentFrame(), 4);
  avi->SetActive(false);
  EXPECT_FALSE(avi->Active());
  EXPECT_EQ(avi->CurrentFrame(), 0);
  Wait(2000);
  EXPECT_EQ(avi->CurrentFrame(), 0);
  EXPECT_EQ(avi->PendingStops(), 0) << "the control's own stop notification was consumed";
  EXPECT_EQ(events, (Log{"open", "start", "stop"}));
  EXPECT_EQ(Events(), (Log{"anim open " + Dos("tib_mluv.avi"), "anim play", "anim stop"}));
  // Nothing left over to swallow the end of the next playback.
  avi->SetActive(true);
  Wait(1200);
  EXPECT_FALSE(avi->Active());
}

TEST_F(ClipTest, ChangingRangeWhileIdleDoesNotSwallowTheNextEnd) {
  avi->SetFileName(Dos("kratky.avi"));
  avi->SetRepetitions(2);
  avi->SetStartFrame(2);
  EXPECT_EQ(avi->CurrentFrame(), 1) << "a new start frame is shown at once";
  avi->SetActive(true);
  Wait(399);  // frames 2..3, twice
  EXPECT_TRUE(avi->Active());
  Wait(1);
  EXPECT_FALSE(avi->Active());
  EXPECT_EQ(avi->CurrentFrame(), 2);
}

TEST_F(ClipTest, EndlessRepetitionsKeepPlaying) {
  avi->SetFileName(Dos("kratky.avi"));
  avi->SetRepetitions(0);
  avi->SetActive(true);
  Wait(10000);
  EXPECT_TRUE(avi->Active());
  EXPECT_TRUE(avi->Playing());
  EXPECT_EQ(avi->CurrentFrame(), 1);  // 100 frames of 100 ms went by
  Wait(100);
  EXPECT_EQ(avi->CurrentFrame(), 2);
}

TEST_F(ClipTest, NewFileWhilePlayingClosesTheOldClip) {
  avi->SetFileName(Dos("tib_mluv.avi"));
  avi->SetActive(true);
  Wait(300);
  avi->SetFileName(Dos("kratky.avi"));
  EXPECT_FALSE(avi->Active());
  EXPECT_FALSE(avi->Playing());
  EXPECT_EQ(avi->FrameCount(), 3);
  EXPECT_EQ(avi->CurrentFrame(), 0);
  Wait(100);
  EXPECT_EQ(events, (Log{"open", "start", "stop", "close", "open"}));
}

TEST_F(ClipTest, MissingClipFailsHarmlesslyEveryTime) {
  EXPECT_THROW(
      {
        try {
          avi->SetFileName(Dos("chybi.avi"));
        } catch (const EAnimateError& e) {
          EXPECT_STREQ(e.what(), "Cannot open AVI");
          throw;
        }
      },
      EAnimateError);
  EXPECT_EQ(avi->FileName(), "") << "the previous name is restored";
  for (int i = 0; i < 3; ++i) {
    EXPECT_THROW(avi->SetActive(true), EAnimateError);
    EXPECT_FALSE(avi->Active());
    Wait(100);
  }
  EXPECT_EQ(Events(), (Log{"anim open-fail " + Dos("chybi.avi")}));
}

TEST_F(ClipTest, FailedNewFileKeepsThePreviousNameForLaterOpening) {
  avi->SetFileName(Dos("kratky.avi"));
  EXPECT_THROW(avi->SetFileName(Dos("chybi.avi")), EAnimateError);
  EXPECT_EQ(avi->FileName(), Dos("kratky.avi"));
  EXPECT_FALSE(avi->Open());
  avi->SetActive(true);  // opens the restored clip on demand
  EXPECT_TRUE(avi->Active());
  EXPECT_EQ(avi->FrameCount(), 3);
}

TEST_F(ClipTest, ActivationWhileLoadingWaitsForTheEndOfLoading) {
  form.SetLoading(true);
  auto& other = form.Add<TAVI_orvel1>("druhy");
  EXPECT_EQ(other.Width(), 100);
  EXPECT_EQ(other.Height(), 100);
  other.SetFileName(Dos("kratky.avi"));
  other.SetActive(true);
  EXPECT_FALSE(other.Active());
  EXPECT_FALSE(other.Open());
  form.SetLoading(false);
  other.Loaded();
  EXPECT_TRUE(other.Open());
  EXPECT_TRUE(other.Active());
  EXPECT_TRUE(other.Playing());
}

TEST_F(ClipTest, PaintCentresTheFrameOnTheControlsColour) {
  avi->SetFileName(Dos("tib_mluv.avi"));
  // 6 × 4 frame centred in 100 × 170: at (47, 83) of the control.
  int fx = 537 + 47, fy = 233 + 83;
  EXPECT_EQ(ScreenPixel(fx, fy), plat::kWindowBlue) << "the clip's background shows the control's colour";
  EXPECT_EQ(ScreenPixel(fx + 1, fy), plat::Rgb::FromPacked(avitest::NumberedColour(0)));
  EXPECT_EQ(ScreenPixel(fx + 5, fy + 3), plat::Rgb::FromPacked(avitest::NumberedColour(0)));
  EXPECT_EQ(ScreenPixel(fx + 6, fy + 3), plat::kWindowBlue);
  EXPECT_EQ(ScreenPixel(537, 233), plat::kWindowBlue);
  avi->SetTransparent(false);
  EXPECT_EQ(ScreenPixel(fx, fy), plat::Rgb::FromPacked(0x102030));
  avi->SetCenter(false);
  EXPECT_EQ(ScreenPixel(537, 233), plat::Rgb::FromPacked(0x102030));
  EXPECT_EQ(ScreenPixel(537 + 1, 233), plat::Rgb::FromPacked(avitest::NumberedColour(0)));
}

TEST_F(ClipTest, ClicksAndPointerEvents) {
  avi->OnClick = [this](plat::Control&) { events.push_back("click"); };
  avi->OnMouseEnter = [this](plat::Control&) { events.push_back("enter"); };
  avi->OnMouseExit = [this](plat::Control&) { events.push_back("exit"); };
  Send(InputEvent::Kind::MouseMove, 550, 250);
  Send(InputEvent::Kind::MouseMove, 551, 250);
  EXPECT_EQ(events, (Log{"enter", "enter"})) << "every move over the clip enters again";
  Send(InputEvent::Kind::MouseDown, 551, 250);
  Send(InputEvent::Kind::MouseUp, 551, 250);
  Send(InputEvent::Kind::MouseDown, 551, 250);  // second press of a double click
  Send(InputEvent::Kind::MouseUp, 551, 250);
  EXPECT_EQ(std::count(events.begin(), events.end(), "click"), 2);
  events.clear();
  Send(InputEvent::Kind::MouseDown, 551, 250);
  Send(InputEvent::Kind::MouseUp, 100, 100);  // released outside
  EXPECT_EQ(std::count(events.begin(), events.end(), "click"), 0);
  Send(InputEvent::Kind::MouseMove, 560, 260);
  events.clear();
  Send(InputEvent::Kind::MouseMove, 100, 100);
  EXPECT_EQ(events, (Log{"exit"}));
  for (auto& l : trace) EXPECT_EQ(l.find("timer"), std::string::npos) << l;
}

TEST_F(ClipTest, FrameTimerFollowsTheClipRateWithAFloor) {
  Write("rychly.avi", avitest::NumberedClip(4, 2, 2, 1000));
  avi->SetFileName(Dos("rychly.avi"));
  EXPECT_EQ(avi->FrameIntervalMs(), 10u);
  avi->SetActive(true);
  Wait(25);
  EXPECT_EQ(avi->CurrentFrame(), 2);
}

}  // namespace
}  // namespace ozzel
