// Modal boxes: timers keep ticking, other input is blocked, OK/Cancel/typing, and what they draw.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/trace.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/form.h"

namespace plat {
namespace {

InputEvent Ev(InputEvent::Kind k) {
  InputEvent e;
  e.kind = k;
  return e;
}

InputEvent Key(unsigned ch) {
  InputEvent e = Ev(InputEvent::Kind::KeyChar);
  e.ch = ch;
  return e;
}

InputEvent Typed(const std::string& s) {
  InputEvent e = Ev(InputEvent::Kind::Text);
  e.text = s;
  return e;
}

struct DialogTest : ::testing::Test {
  HeadlessBackend backend{{800, 600}};
  Application app{backend};
  Form main{app, "main"};
  std::vector<std::string> lines;
  // Input handed to the box one step at a time, each after `gap` ms of virtual time.
  std::vector<InputEvent> script;
  uint64_t gap = 100;
  size_t next = 0;

  DialogTest() {
    main.SetBounds(80, 60, 640, 480);
    main.Show();
    app.SetMainForm(&main);
    app.SetTitle("Ozzel - Bimbalo 4");
    trace::SetSink([this](const std::string& l) { lines.push_back(l); }, &backend.clock());
    backend.OnIdle = [this](uint64_t deadline) {
      uint64_t at = backend.vclock().NowMs() + gap;
      if (deadline < at) return backend.vclock().AdvanceTo(deadline);
      backend.vclock().AdvanceTo(at);
      if (next < script.size()) backend.Inject(script[next++]);
    };
  }
  ~DialogTest() override { trace::SetSink(nullptr, nullptr); }
};

TEST_F(DialogTest, PlainBoxTracesKeepsTimersTickingAndBlocksOtherInput) {
  int ticks = 0;
  Timer t(app, "t", 100, true, [&](Timer&) { ++ticks; });
  bool clicked = false, key = false;
  auto& img = main.Add<Image>("img");
  img.SetBounds(0, 0, 640, 480);
  img.OnClick = [&](Control&) { clicked = true; };
  main.OnKeyPress = [&](char&) { key = true; };
  InputEvent down = Ev(InputEvent::Kind::MouseDown), up = Ev(InputEvent::Kind::MouseUp);
  down.pos = up.pos = {85, 65};  // on the image, outside the box
  script = {down, up, Key('a'), Ev(InputEvent::Kind::DialogOk)};

  MessageBox("Nenalez soubor s hudbou:x");
  EXPECT_EQ(backend.vclock().NowMs(), 400u);
  EXPECT_GE(ticks, 3);
  EXPECT_FALSE(clicked);
  EXPECT_FALSE(key);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "0 msgbox plain Ozzel - Bimbalo 4|Nenalez soubor s hudbou:x");
  EXPECT_EQ(app.ActiveModal(), nullptr);
}

TEST_F(DialogTest, ErrorBoxHasItsOwnCaptionAndClosesWithEnter) {
  script = {Key(13)};
  MessageBox("boom", BoxKind::Error);
  EXPECT_EQ(lines[0], "0 msgbox error Error|boom");
  EXPECT_EQ(backend.vclock().NowMs(), 100u);
}

TEST_F(DialogTest, TheOkButtonClosesTheBoxOnRelease) {
  // The box is centred; its OK button sits at the middle of its bottom edge.
  InputEvent down = Ev(InputEvent::Kind::MouseDown), up = Ev(InputEvent::Kind::MouseUp);
  Rect box;
  script = {Ev(InputEvent::Kind::MouseMove)};  // placeholder, replaced once the box is known
  backend.OnIdle = [&](uint64_t deadline) {
    backend.vclock().Advance(10);
    if (next == 0) {
      box = app.ActiveModal()->ScreenRect();
      down.pos = up.pos = {box.left + box.w / 2, box.bottom() - 20};
      backend.Inject(down);
      next = 1;
    } else if (next == 1) {
      backend.Inject(up);
      next = 2;
    }
  };
  MessageBox("hello");
  EXPECT_EQ(next, 2u);
  EXPECT_EQ(box.left + box.w / 2, 400) << "centred on the screen";
}

TEST_F(DialogTest, InputBoxTypingReplacesTheSelectedProposal) {
  script = {Typed("/media/"), Typed("čd"), Key(8), Typed("cd"), Key(13)};
  std::string r = InputBox("BM4", "Zadej cestu:", "D:\\");
  EXPECT_EQ(r, "/media/\xc4\x8d" "cd") << "backspace takes a whole UTF-8 character";
  EXPECT_EQ(lines[0], "0 input BM4|Zadej cestu:|D:\\");
}

TEST_F(DialogTest, InputBoxCancelReturnsTheProposalUnchanged) {
  script = {Typed("xyz"), Key(27)};
  EXPECT_EQ(InputBox("c", "p", "D:\\"), "D:\\");
  next = 0;
  script = {Typed("xyz"), Ev(InputEvent::Kind::DialogCancel)};
  EXPECT_EQ(InputBox("c", "p", "D:\\"), "D:\\");
}

TEST_F(DialogTest, InputBoxOkWithoutTypingKeepsTheProposalAndBackspaceClearsTheSelection) {
  script = {Ev(InputEvent::Kind::DialogOk)};
  EXPECT_EQ(InputBox("c", "p", "abc"), "abc");
  next = 0;
  script = {Key(8), Ev(InputEvent::Kind::DialogOk)};
  EXPECT_EQ(InputBox("c", "p", "abc"), "");
}

TEST_F(DialogTest, AModalBoxTakesAwayTheMouseCapture) {
  struct Held : Image {
    using Image::Image;
    bool lost = false;
    void CaptureLost() override {
      Image::CaptureLost();
      lost = true;
    }
  };
  auto& held = main.Add<Held>("held");
  held.SetBounds(0, 0, 100, 100);
  InputEvent down = Ev(InputEvent::Kind::MouseDown);
  down.pos = {90, 70};
  backend.Inject(down);
  app.ProcessMessages();
  ASSERT_EQ(app.Capture(), &held);
  script = {Ev(InputEvent::Kind::DialogOk)};
  MessageBox("x");
  EXPECT_TRUE(held.lost);
  EXPECT_EQ(app.Capture(), nullptr);
}

TEST_F(DialogTest, TheBoxIsDrawnOverTheFormsAndGoneAfterwards) {
  main.Color = kWhite;
  Surface during;
  Rect box;
  script = {Ev(InputEvent::Kind::DialogOk)};
  backend.OnIdle = [&](uint64_t) {
    backend.vclock().Advance(10);
    box = app.ActiveModal()->ScreenRect();
    during = app.ComposeAll();
    backend.Inject(script[0]);
  };
  MessageBox("x", BoxKind::Error);
  ASSERT_FALSE(box.empty());
  EXPECT_EQ(during.At(box.right() - 8, box.top + 10), (Rgb{0, 0, 128})) << "title bar";
  EXPECT_EQ(during.At(box.left - 1, box.top + 10), kWhite);
  EXPECT_EQ(app.ComposeAll().At(box.left + 10, box.top + 10), kWhite);
}

TEST_F(DialogTest, LongTextWrapsInsideTheScreen) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "slovo ";
  script = {Ev(InputEvent::Kind::DialogOk)};
  Rect box;
  backend.OnIdle = [&](uint64_t) {
    backend.vclock().Advance(10);
    box = app.ActiveModal()->ScreenRect();
    backend.Inject(script[0]);
  };
  MessageBox(text);
  EXPECT_GT(box.left, 0);
  EXPECT_LE(box.right(), 800);
  EXPECT_GT(box.h, 100) << "several lines";
}

// A settings value may be megabytes long: the boxes lay out one screen of it, and the input box
// still hands back the whole text.
TEST_F(DialogTest, MegabytesOfTextStayWithinOneScreen) {
  const std::string huge = "/" + std::string(2u << 20, 'a');
  std::vector<Rect> boxes;
  backend.OnIdle = [&](uint64_t) {
    backend.vclock().Advance(10);
    boxes.push_back(app.ActiveModal()->ScreenRect());
    app.ComposeAll();  // what painting the box costs
    backend.Inject(Ev(InputEvent::Kind::DialogOk));
  };
  MessageBox("Nenalezen zvuk: " + huge + " " + huge);
  EXPECT_EQ(InputBox("c", "p", huge), huge);
  ASSERT_EQ(boxes.size(), 2u);
  for (const Rect& box : boxes) {
    EXPECT_GE(box.top, 0);
    EXPECT_LE(box.bottom(), 600);
    EXPECT_LE(box.right(), 800);
  }
}

TEST(DialogQuitTest, AQuitDuringStartUpAnswersEveryBoxAndClosesOnceTheLoopRuns) {
  HeadlessBackend backend{{800, 600}};
  Application app{backend};
  backend.OnIdle = [&](uint64_t) {
    backend.vclock().Advance(50);
    backend.Inject(Ev(InputEvent::Kind::Quit));
  };
  // Start-up boxes, before the main form exists: the first is ended by the request, later ones at once.
  MessageBox("first");
  EXPECT_EQ(InputBox("c", "p", "D:\\"), "D:\\");
  EXPECT_EQ(backend.vclock().NowMs(), 50u);
  backend.OnIdle = nullptr;
  Form main(app, "main");
  main.SetBounds(0, 0, 640, 480);
  app.SetMainForm(&main);
  bool asked = false;
  main.OnCloseQuery = [&](bool&) { asked = true; };
  app.Run();
  EXPECT_TRUE(asked);
  EXPECT_EQ(backend.vclock().NowMs(), 50u);
}

// A box that a timer opens over another (timers tick under boxes): a quit answers both.
TEST(DialogQuitTest, AQuitAnswersABoxUnderAnotherToo) {
  HeadlessBackend backend{{800, 600}};
  Application app{backend};
  std::vector<std::string> order;
  Timer t(app, "t", 100, true, [&](Timer& self) {
    self.SetEnabled(false);
    MessageBox("upper");
    order.push_back("upper returned");
  });
  bool sent = false;  // one request, as one kill is
  backend.OnIdle = [&](uint64_t deadline) {
    if (app.ActiveModal() && !t.Enabled() && !sent) return backend.Inject(Ev(InputEvent::Kind::Quit)), void(sent = true);
    // A box left open with nothing due: the backend throws rather than wait for ever.
    if (deadline != kNever) backend.vclock().AdvanceTo(deadline);
  };
  MessageBox("lower");
  order.push_back("lower returned");
  EXPECT_EQ(order, (std::vector<std::string>{"upper returned", "lower returned"}));
}

TEST(DialogQuitTest, AQuitWhileTheLoopRunsClosesTheMainFormAfterTheBox) {
  HeadlessBackend backend{{800, 600}};
  Application app{backend};
  Form main(app, "main");
  main.SetBounds(0, 0, 640, 480);
  app.SetMainForm(&main);
  std::vector<std::string> order;
  main.OnCloseQuery = [&](bool&) { order.push_back("close query"); };
  Timer t(app, "t", 100, true, [&](Timer& self) {
    self.SetEnabled(false);
    MessageBox("x");
    order.push_back("box returned");
  });
  backend.OnIdle = [&](uint64_t deadline) {
    if (app.ActiveModal()) return backend.Inject(Ev(InputEvent::Kind::Quit));
    backend.vclock().AdvanceTo(deadline);
  };
  app.Run();
  EXPECT_EQ(order, (std::vector<std::string>{"box returned", "close query"}));
}

}  // namespace
}  // namespace plat
