// Input dispatch: z-order hit testing, capture, hover, key preview, disabled forms, cursors, trace lines.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/trace.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "platform/ui/screen.h"

namespace plat {
namespace {

InputEvent Mouse(InputEvent::Kind k, int x, int y, int button = 0) {
  InputEvent e;
  e.kind = k;
  e.pos = {x, y};
  e.button = button;
  return e;
}

struct InputTest : ::testing::Test {
  HeadlessBackend backend{{800, 600}};
  Application app{backend};
  Form bg{app, "bg"};
  Form main{app, "main"};
  std::vector<std::string> log;

  InputTest() {
    bg.SetBounds(0, 0, 800, 600);
    bg.Show();
    bg.SetEnabled(false);
    main.SetBounds(100, 50, 640, 480);
    main.Show();
    app.SetMainForm(&main);
  }

  Image& AddImage(Form& f, const std::string& name, Rect r) {
    auto& img = f.Add<Image>(name);
    img.SetBounds(r.left, r.top, r.w, r.h);
    img.OnMouseDown = [this](Control& c, MouseButton, ShiftState, int x, int y) {
      log.push_back("down " + c.Name() + " " + std::to_string(x) + "," + std::to_string(y));
    };
    img.OnClick = [this](Control& c) { log.push_back("click " + c.Name()); };
    return img;
  }

  void Send(InputEvent e) {
    backend.Inject(std::move(e));
    app.ProcessMessages();
  }
  // Main-form client coordinates.
  void Click(int x, int y) {
    Send(Mouse(InputEvent::Kind::MouseDown, x + 100, y + 50));
    Send(Mouse(InputEvent::Kind::MouseUp, x + 100, y + 50));
  }
};

TEST_F(InputTest, LaterGraphicControlsAndAllWindowedOnesLieOnTop) {
  AddImage(main, "under", {0, 0, 200, 200});
  AddImage(main, "over", {50, 50, 100, 100});
  auto& panel = main.Add<Panel>("panel");
  panel.SetBounds(120, 120, 50, 50);
  AddImage(main, "late", {100, 100, 100, 100});  // added after the panel, but graphic
  auto& hidden = AddImage(main, "hidden", {0, 0, 640, 480});
  hidden.Hide();

  EXPECT_EQ(main.ControlAt({10, 10})->Name(), "under");
  EXPECT_EQ(main.ControlAt({60, 60})->Name(), "over");
  EXPECT_EQ(main.ControlAt({110, 110})->Name(), "late");
  EXPECT_EQ(main.ControlAt({130, 130})->Name(), "panel");
  EXPECT_EQ(main.ControlAt({300, 300}), nullptr);

  Click(60, 70);
  EXPECT_EQ(log, (std::vector<std::string>{"down over 10,20", "click over"}));
}

TEST_F(InputTest, DisabledControlsStillCoverWhatLiesBelow) {
  AddImage(main, "under", {0, 0, 100, 100});
  auto& cover = AddImage(main, "cover", {0, 0, 50, 50});
  cover.SetEnabled(false);
  EXPECT_EQ(main.ControlAt({10, 10}), &cover);
  Click(10, 10);
  EXPECT_TRUE(log.empty());
}

TEST_F(InputTest, ThePressedControlKeepsTheMouseUntilRelease) {
  auto& a = AddImage(main, "a", {0, 0, 100, 100});
  AddImage(main, "b", {200, 0, 100, 100});
  std::vector<std::string> moves;
  a.OnMouseMove = [&](Control&, ShiftState s, int x, int y) {
    moves.push_back(std::to_string(x) + "," + std::to_string(y) + ((s & ssLeft) ? " L" : ""));
  };
  Send(Mouse(InputEvent::Kind::MouseDown, 110, 60));
  Send(Mouse(InputEvent::Kind::MouseMove, 350, 60));  // over b
  EXPECT_EQ(app.Capture(), &a);
  Send(Mouse(InputEvent::Kind::MouseUp, 350, 60));
  EXPECT_EQ(app.Capture(), nullptr);
  // The press came with the move that brought the pointer there.
  EXPECT_EQ(moves, (std::vector<std::string>{"10,10", "250,10 L"}));
  // Released outside: a press but no click, and b saw nothing.
  EXPECT_EQ(log, (std::vector<std::string>{"down a 10,10"}));
}

TEST_F(InputTest, ADoubleClickIsTwoPlainPresses) {
  AddImage(main, "a", {0, 0, 100, 100});
  Click(5, 5);
  Click(5, 5);
  EXPECT_EQ(log, (std::vector<std::string>{"down a 5,5", "click a", "down a 5,5", "click a"}));
}

TEST_F(InputTest, ClicksOnTheDisabledBackgroundAreDropped) {
  AddImage(bg, "tile", {0, 0, 800, 600});
  Send(Mouse(InputEvent::Kind::MouseDown, 5, 5));
  Send(Mouse(InputEvent::Kind::MouseUp, 5, 5));
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(app.ControlAtScreen({5, 5})->Name(), "tile") << "it still lies there";
}

TEST_F(InputTest, KeysReachTheFocusedFormsKeyHandler) {
  std::string keys;
  main.KeyPreview = true;
  main.OnKeyPress = [&](char& k) { keys += k; };
  bg.OnKeyPress = [&](char&) { keys += "!"; };
  for (unsigned ch : {27u, unsigned('x')}) {
    InputEvent e;
    e.kind = InputEvent::Kind::KeyChar;
    e.ch = ch;
    Send(e);
  }
  EXPECT_EQ(keys, "\x1bx");
}

TEST_F(InputTest, LeavingAControlIsReportedWhenTheTopmostControlChanges) {
  struct Tracker : Image {
    using Image::Image;
    std::vector<std::string>* out = nullptr;
    void MouseLeave() override { out->push_back("leave " + Name()); }
  };
  auto& a = main.Add<Tracker>("a");
  a.SetBounds(0, 0, 100, 100);
  a.out = &log;
  auto& b = main.Add<Tracker>("b");
  b.SetBounds(50, 0, 100, 100);
  b.out = &log;
  Send(Mouse(InputEvent::Kind::MouseMove, 110, 60));   // a
  Send(Mouse(InputEvent::Kind::MouseMove, 120, 60));   // still a
  Send(Mouse(InputEvent::Kind::MouseMove, 160, 60));   // b covers a here
  Send(Mouse(InputEvent::Kind::MouseMove, 600, 400));  // nothing
  EXPECT_EQ(log, (std::vector<std::string>{"leave a", "leave b"}));
}

TEST_F(InputTest, MoveHooksSeeEveryMoveAndDeactivationIsAnnounced) {
  std::vector<Point> seen;
  int deactivated = 0;
  int id = app.AddMouseMoveHook([&](Point p) { seen.push_back(p); });
  app.AddDeactivateHook([&] { ++deactivated; });
  Send(Mouse(InputEvent::Kind::MouseMove, 3, 4));  // over the disabled background too
  Send(Mouse(InputEvent::Kind::MouseMove, 300, 200));
  app.RemoveHook(id);
  Send(Mouse(InputEvent::Kind::MouseMove, 1, 1));
  InputEvent e;
  e.kind = InputEvent::Kind::Deactivate;
  Send(e);
  EXPECT_EQ(seen, (std::vector<Point>{{3, 4}, {300, 200}}));
  EXPECT_EQ(deactivated, 1);
  EXPECT_FALSE(app.Active());
  e.kind = InputEvent::Kind::Activate;
  Send(e);
  EXPECT_TRUE(app.Active());
}

TEST_F(InputTest, AQuitRequestClosesTheMainForm) {
  bool asked = false;
  main.OnCloseQuery = [&](bool&) { asked = true; };
  InputEvent e;
  e.kind = InputEvent::Kind::Quit;
  Send(e);
  EXPECT_TRUE(asked);
  EXPECT_TRUE(app.Terminated());
}

struct CursorTest : InputTest {
  std::shared_ptr<CursorImage> arrow = std::make_shared<CursorImage>();
  std::shared_ptr<CursorImage> hand = std::make_shared<CursorImage>();
  std::shared_ptr<CursorImage> clock = std::make_shared<CursorImage>();
  CursorTest() {
    app.screen().SetCursorImage(crArrow, arrow);
    app.screen().SetCursorImage(crHand, hand);
  }
  void MoveTo(int x, int y) { Send(Mouse(InputEvent::Kind::MouseMove, x, y)); }
};

TEST_F(CursorTest, ScreenOverrideBeatsControlBeatsForm) {
  auto& img = AddImage(main, "img", {0, 0, 100, 100});
  img.SetCursor(crHand);
  AddImage(main, "plain", {200, 0, 100, 100});
  bg.Cursor = crHourGlass;

  MoveTo(150, 60);  // on img
  EXPECT_EQ(backend.shown_cursor(), hand.get());
  MoveTo(350, 60);  // a control with the default cursor shows the form's: arrow
  EXPECT_EQ(backend.shown_cursor(), arrow.get());
  MoveTo(5, 5);  // the background form's own busy cursor, with no picture of ours yet
  EXPECT_EQ(backend.shown_cursor(), nullptr);
  EXPECT_TRUE(backend.shown_busy());

  app.screen().SetCursorImage(crHourGlass, clock);
  EXPECT_EQ(backend.shown_cursor(), clock.get());

  MoveTo(150, 60);
  app.screen().SetCursor(crHourGlass);
  EXPECT_EQ(backend.shown_cursor(), clock.get());
  app.screen().SetCursor(crDefault);
  EXPECT_EQ(backend.shown_cursor(), hand.get());
  EXPECT_FALSE(backend.shown_busy());
}

TEST_F(CursorTest, ChangingTheControlUnderThePointerUpdatesAtOnce) {
  auto& img = AddImage(main, "img", {0, 0, 100, 100});
  MoveTo(150, 60);
  EXPECT_EQ(backend.shown_cursor(), arrow.get());
  img.SetCursor(crHand);
  EXPECT_EQ(backend.shown_cursor(), hand.get());
  img.Hide();
  EXPECT_EQ(backend.shown_cursor(), arrow.get());
}

struct TraceTest : InputTest {
  std::vector<std::string> lines;
  TraceTest() {
    trace::SetSink([this](const std::string& l) { lines.push_back(l); }, &backend.clock());
  }
  ~TraceTest() override { trace::SetSink(nullptr, nullptr); }
};

TEST_F(TraceTest, PropertyChangesAreTracedOnceAndNotWhileLoading) {
  main.SetLoading(true);
  auto& lbl = main.Add<Label>("lbl_dobre");
  lbl.SetCaption("0");
  lbl.SetBounds(368, 434, 50, 22);
  lbl.Hide();
  main.SetLoading(false);
  backend.vclock().Advance(25);
  lbl.Show();
  lbl.Show();
  lbl.SetCaption("1");
  lbl.SetCaption("1");
  lbl.SetBounds(368, 434, 50, 22);
  lbl.SetTop(0);
  lbl.SetCursor(7);
  app.screen().SetCursor(-11);
  main.Hide();
  EXPECT_EQ(lines, (std::vector<std::string>{"25 show lbl_dobre", "25 caption lbl_dobre 1",
                                             "25 bounds lbl_dobre 368 0 50 22", "25 cursor lbl_dobre 7",
                                             "25 cursor -11", "25 hide main"}));
}

TEST_F(TraceTest, PictureLoadsAreTracedWithTheProgramsPath) {
  auto& img = main.Add<Image>("divadlo");
  EXPECT_THROW(img.LoadFromFile("\\nowhere\\obrazky\\x.bmp"), GdiError);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "0 picture-fail divadlo \\nowhere\\obrazky\\x.bmp");
}

}  // namespace
}  // namespace plat
