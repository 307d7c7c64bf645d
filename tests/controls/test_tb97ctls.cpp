// Glyph button: event order of hovering and clicking, frame selection and placement, display modes.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "controls/tb97ctls.h"
#include "platform/headless/headless.h"
#include "platform/trace.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"
#include "platform/ui/timer.h"

namespace ozzel {
namespace {

using plat::InputEvent;
using plat::Rgb;

constexpr Rgb kKey = plat::kWindowBlue;

// A 360 × 54 strip like the program's: frame k draws a block in columns 15–60, rows 5–51, each pixel
// (k·50, x, y) so that a shifted or wrong frame shows.
plat::Bitmap Strip() {
  plat::Bitmap b(360, 54, kKey);
  for (int k = 0; k < 5; ++k)
    for (int y = 5; y <= 51; ++y)
      for (int x = 15; x <= 60; ++x) b.SetPixel(72 * k + x, y, Rgb{uint8_t(k * 50 + 1), uint8_t(x), uint8_t(y)});
  return b;
}

Rgb FramePixel(int k, int x, int y) {
  if (x >= 15 && x <= 60 && y >= 5 && y <= 51) return Rgb{uint8_t(k * 50 + 1), uint8_t(x), uint8_t(y)};
  return kKey;
}

struct ButtonTest : ::testing::Test {
  plat::HeadlessBackend backend{{800, 600}};
  plat::Application app{backend};
  plat::Form form{app, "form_ozzel"};
  std::vector<std::string> log, trace;

  ButtonTest() {
    form.SetBounds(0, 0, 640, 480);
    form.Color = kKey;
    form.Show();
    plat::trace::SetSink([this](const std::string& l) { trace.push_back(l); }, &backend.clock());
  }
  ~ButtonTest() override { plat::trace::SetSink(nullptr, nullptr); }

  TToolbarButton97& AddButton(const std::string& name, int x, int y, int w = 60, int h = 60) {
    form.SetLoading(true);
    auto& b = form.Add<TToolbarButton97>(name);
    b.SetBounds(x, y, w, h);
    b.SetColor(kKey);
    b.SetDisplayMode(dmGlyphOnly);
    b.SetNoBorder(true);
    b.SetGlyph(Strip());
    b.SetNumGlyphs(5);
    b.OnMouseEnter = [this](plat::Control& c) { log.push_back("enter " + c.Name()); };
    b.OnMouseExit = [this](plat::Control& c) { log.push_back("exit " + c.Name()); };
    b.OnClick = [this](plat::Control& c) { log.push_back("click " + c.Name()); };
    b.OnMouseDown = [this](plat::Control& c, plat::MouseButton, plat::ShiftState, int, int) {
      log.push_back("down " + c.Name());
    };
    b.OnMouseUp = [this](plat::Control& c, plat::MouseButton, plat::ShiftState, int, int) {
      log.push_back("up " + c.Name());
    };
    form.SetLoading(false);
    b.Loaded();
    return b;
  }

  void Send(InputEvent::Kind k, int x, int y, int button = 0) {
    InputEvent e;
    e.kind = k;
    e.pos = {x, y};
    e.button = button;
    backend.Inject(e);
    app.ProcessMessages();
  }
  void Move(int x, int y) { Send(InputEvent::Kind::MouseMove, x, y); }
  void Down(int x, int y, int b = 0) { Send(InputEvent::Kind::MouseDown, x, y, b); }
  void Up(int x, int y, int b = 0) { Send(InputEvent::Kind::MouseUp, x, y, b); }
  void Click(int x, int y) {
    Down(x, y);
    Up(x, y);
  }
  void Deactivate() { Send(InputEvent::Kind::Deactivate, 0, 0); }
  void Wait(uint64_t ms) { app.RunFor(ms); }

  using Log = std::vector<std::string>;

  // Checks every pixel of the button against frame k placed at (gx, gy) over the fill.
  void ExpectFrame(const TToolbarButton97& b, int k, int gx, int gy) {
    const plat::Surface& fb = app.ComposeAll();
    int bad = 0;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) {
        int fx = x - gx, fy = y - gy;
        Rgb want = (fx >= 0 && fx < 72 && fy >= 0 && fy < 54) ? FramePixel(k, fx, fy) : kKey;
        if (fb.At(b.Left() + x, b.Top() + y) != want && bad++ < 3)
          ADD_FAILURE() << "pixel " << x << "," << y << " of " << b.Name() << " is not frame " << k << " at "
                        << gx << "," << gy;
      }
  }
  void ExpectPlainFill(const TToolbarButton97& b) {
    const plat::Surface& fb = app.ComposeAll();
    int bad = 0;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) bad += fb.At(b.Left() + x, b.Top() + y) != kKey;
    EXPECT_EQ(bad, 0);
  }
};

// ---- clicks and pointer tracking ----

TEST_F(ButtonTest, OrdinaryClickFiresExitBeforeClickAndEntersAgain) {
  auto& b = AddButton("btn_obraz1", 42, 416);
  Move(60, 430);
  Click(60, 430);
  EXPECT_EQ(log, (Log{"enter btn_obraz1", "down btn_obraz1", "up btn_obraz1", "exit btn_obraz1",
                      "click btn_obraz1", "enter btn_obraz1"}));
  EXPECT_EQ(b.State(), bsMouseIn);
  EXPECT_EQ(TToolbarButton97::HoverButton(), &b);
  // Still tracked after the click: leaving in one jump is noticed.
  log.clear();
  Move(300, 100);
  EXPECT_EQ(log, (Log{"exit btn_obraz1"}));
  EXPECT_EQ(b.State(), bsUp);
}

TEST_F(ButtonTest, ClickHandlerThatHidesTheButtonEndsWithAnExit) {
  auto& b = AddButton("btn_obraz1", 42, 416);
  b.OnClick = [&](plat::Control& c) {
    log.push_back("click");
    c.Hide();
  };
  Move(60, 430);
  Click(60, 430);
  EXPECT_EQ(log, (Log{"enter btn_obraz1", "down btn_obraz1", "up btn_obraz1", "exit btn_obraz1", "click",
                      "exit btn_obraz1"}));
  EXPECT_EQ(b.State(), bsUp);
  EXPECT_EQ(TToolbarButton97::HoverButton(), nullptr);
}

TEST_F(ButtonTest, DoubleClickIsTwoClicks) {
  AddButton("b", 10, 10);
  Move(20, 20);
  Click(20, 20);
  Click(20, 20);
  int clicks = 0;
  for (auto& l : log) clicks += l == "click b";
  EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonTest, MovingStraightOntoTheNextButtonExitsTheFirstBeforeEntering) {
  AddButton("a", 10, 10);
  AddButton("b", 70, 10);   // adjacent
  AddButton("c", 100, 40);  // overlapping b, above it
  Move(20, 20);
  Move(80, 20);
  Move(110, 50);
  EXPECT_EQ(log, (Log{"enter a", "exit a", "enter b", "exit b", "enter c"}));
}

TEST_F(ButtonTest, HidingTheHoveredButtonFiresItsExitWithin125Ms) {
  auto& b = AddButton("b", 10, 10);
  Move(20, 20);
  Wait(50);
  b.Hide();
  Wait(74);
  EXPECT_EQ(log, (Log{"enter b"}));
  Wait(1);
  EXPECT_EQ(log, (Log{"enter b", "exit b"}));
  EXPECT_FALSE(TToolbarButton97::HoverTimer()->Enabled()) << "the timer runs only while a button is hovered";
}

TEST_F(ButtonTest, HiddenButtonExitsAtTheNextMoveIfThatComesFirst) {
  auto& b = AddButton("b", 10, 10);
  Move(20, 20);
  b.Hide();
  Move(21, 20);
  EXPECT_EQ(log, (Log{"enter b", "exit b"}));
}

TEST_F(ButtonTest, ButtonShownUnderARestingPointerEntersOnlyWhenThePointerMoves) {
  auto& b = AddButton("b", 10, 10);
  b.Hide();
  Move(20, 20);
  b.Show();
  Wait(500);
  EXPECT_TRUE(log.empty());
  Move(21, 20);
  EXPECT_EQ(log, (Log{"enter b"}));
}

TEST_F(ButtonTest, DragOutAndReleaseGivesNoClick) {
  auto& b = AddButton("b", 10, 10);
  Move(20, 20);
  Down(20, 20);
  Move(300, 300);
  EXPECT_EQ(b.State(), bsUp) << "the held button looks up while the pointer is outside";
  Wait(500);
  Up(300, 300);
  EXPECT_EQ(log, (Log{"enter b", "down b", "up b", "exit b"}));
}

TEST_F(ButtonTest, DragOutAndBackInGivesOneClick) {
  auto& b = AddButton("b", 10, 10);
  Move(20, 20);
  Down(20, 20);
  Move(300, 300);
  Move(25, 25);
  EXPECT_EQ(b.State(), bsDown);
  Up(25, 25);
  EXPECT_EQ(log, (Log{"enter b", "down b", "up b", "exit b", "click b", "enter b"}));
}

TEST_F(ButtonTest, InactiveApplicationHoversSilentlyButAPressStillEntersAndClicks) {
  auto& b = AddButton("b", 10, 10);
  Deactivate();
  Move(20, 20);
  Move(22, 22);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(b.State(), bsUp);
  ExpectFrame(b, 0, -5, 3);
  Click(22, 22);
  EXPECT_EQ(log, (Log{"enter b", "down b", "up b", "exit b", "click b", "enter b"}));
}

TEST_F(ButtonTest, DeactivationEndsTheHover) {
  auto& b = AddButton("b", 10, 10);
  Move(20, 20);
  Deactivate();
  EXPECT_EQ(log, (Log{"enter b", "exit b"}));
  EXPECT_EQ(b.State(), bsUp);
}

TEST_F(ButtonTest, LosingTheCaptureWhileHeldReleasesTheButton) {
  auto& b = AddButton("b", 10, 10);
  Move(20, 20);
  Down(20, 20);
  b.CaptureLost();  // what a modal box opening does
  EXPECT_EQ(log, (Log{"enter b", "down b", "exit b"}));
  EXPECT_EQ(b.State(), bsUp);
  EXPECT_FALSE(b.MouseIsDown());
}

TEST_F(ButtonTest, RightButtonDoesNotClick) {
  auto& b = AddButton("b", 10, 10);
  Move(20, 20);
  Down(20, 20, 1);
  Up(20, 20, 1);
  EXPECT_EQ(log, (Log{"enter b", "down b", "exit b", "up b"}));
  EXPECT_EQ(b.State(), bsUp);
}

TEST_F(ButtonTest, ClickHandlerErrorStillResetsTheButton) {
  auto& b = AddButton("b", 10, 10);
  b.OnClick = [](plat::Control&) { throw std::runtime_error("handler"); };
  Move(20, 20);
  b.MouseDown(plat::MouseButton::Left, plat::ssLeft, 10, 10);
  EXPECT_THROW(b.MouseUp(plat::MouseButton::Left, 0, 10, 10), std::runtime_error);
  EXPECT_EQ(b.State(), bsMouseIn);
  EXPECT_EQ(log.back(), "enter b");
}

TEST_F(ButtonTest, DisablingStopsTrackingAndShowsTheDisabledFrame) {
  auto& b = AddButton("b", 10, 10);
  Move(20, 20);
  b.SetEnabled(false);
  EXPECT_EQ(b.State(), bsDisabled);
  EXPECT_EQ(TToolbarButton97::HoverButton(), nullptr);
  ExpectFrame(b, 1, -5, 3);
  Click(20, 20);
  EXPECT_EQ(log, (Log{"enter b"}));
  b.SetEnabled(true);
  EXPECT_EQ(b.State(), bsUp);
}

TEST_F(ButtonTest, OnlyOneHoverTimerAndItOutlivesNoButton) {
  ASSERT_EQ(TToolbarButton97::HoverTimer(), nullptr);
  {
    plat::Form f2(app, "f2");
    auto& a = f2.Add<TToolbarButton97>("a");
    plat::Timer* t = TToolbarButton97::HoverTimer();
    ASSERT_NE(t, nullptr);
    f2.Add<TToolbarButton97>("b");
    EXPECT_EQ(TToolbarButton97::HoverTimer(), t);
    EXPECT_EQ(t->Interval(), 125u);
    EXPECT_EQ(a.Width(), 22);
    EXPECT_EQ(a.Height(), 23);
  }
  EXPECT_EQ(TToolbarButton97::HoverTimer(), nullptr);
  EXPECT_EQ(TToolbarButton97::PreparedImageCount(), 0);
  for (auto& l : trace) EXPECT_EQ(l.find("timer"), std::string::npos) << l;
}

// ---- frames and painting ----

TEST_F(ButtonTest, RestingShowsFrameFourUnshiftedAndPressingFrameTwoShifted) {
  auto& b = AddButton("btn_obraz1", 42, 416);
  ExpectFrame(b, 0, -5, 3);
  Move(60, 430);
  ExpectFrame(b, 4, -5, 3);
  Down(60, 430);
  ExpectFrame(b, 2, -4, 4);
  Up(60, 430);
  ExpectFrame(b, 4, -5, 3);
}

TEST_F(ButtonTest, GlyphPositionCentresWithTruncation) {
  auto& scene = AddButton("scene", 42, 416, 60, 60);
  auto& door = AddButton("door", 555, 418, 64, 60);
  EXPECT_EQ(scene.GlyphPos(), (plat::Point{-5, 3}));
  EXPECT_EQ(door.GlyphPos(), (plat::Point{-3, 3}));
  ExpectFrame(door, 0, -3, 3);
  ExpectFrame(scene, 0, -5, 3);  // (60 - 72 + 1) div 2 truncates to -5, not -6
}

TEST_F(ButtonTest, TextOnlyShowsThePlainFillAndKeepsTracking) {
  auto& b = AddButton("btn_obraz2", 178, 416);
  b.SetDisplayMode(dmTextOnly);
  ExpectPlainFill(b);
  Move(190, 430);
  EXPECT_EQ(log, (Log{"enter btn_obraz2"}));
  ExpectPlainFill(b);
  b.SetDisplayMode(dmGlyphOnly);
  ExpectFrame(b, 4, -5, 3);
  b.SetDisplayMode(dmGlyphOnly);
  std::vector<std::string> display;
  for (auto& l : trace)
    if (l.find(" display ") != std::string::npos) display.push_back(l.substr(l.find("display")));
  EXPECT_EQ(display, (Log{"display btn_obraz2 text", "display btn_obraz2 glyph"}));
}

TEST_F(ButtonTest, EmptyGlyphShowsOnlyTheFill) {
  auto& b = AddButton("b", 10, 10);
  b.SetGlyph(plat::Bitmap());
  ExpectPlainFill(b);
}

TEST_F(ButtonTest, NumGlyphsFollowsTheStripUnlessSetExplicitly) {
  auto& b = AddButton("b", 10, 10);
  b.SetGlyph(plat::Bitmap(360, 54));
  EXPECT_EQ(b.NumGlyphs(), 1) << "360 is not a multiple of 54";
  b.SetGlyph(plat::Bitmap(100, 20));
  EXPECT_EQ(b.NumGlyphs(), 5);
  b.SetGlyph(plat::Bitmap(40, 20));
  EXPECT_EQ(b.NumGlyphs(), 2);
  b.SetGlyph(plat::Bitmap(120, 20));
  EXPECT_EQ(b.NumGlyphs(), 1) << "six frames is more than a button has";
  b.SetNumGlyphs(0);
  EXPECT_EQ(b.NumGlyphs(), 1);
  b.SetNumGlyphs(9);
  EXPECT_EQ(b.NumGlyphs(), 5);
}

TEST_F(ButtonTest, FewerFramesThanStatesFallBackToFrameZero) {
  auto& b = AddButton("b", 10, 10);
  b.SetNumGlyphs(3);  // frames of 120 × 54: frame 0 holds the first block, drawn at (-29, 3)
  Move(20, 20);
  EXPECT_EQ(b.State(), bsMouseIn);
  const plat::Surface& fb = app.ComposeAll();
  // Frame 0 of the 120-wide split: column 44 of the button is strip column 44 + 29 = 73 (key);
  // column 0 of the button is strip column 29, inside the first block.
  EXPECT_EQ(fb.At(10 + 0, 10 + 10), FramePixel(0, 29, 7));
}

TEST_F(ButtonTest, PreparedFramesAreReleasedWhenTheGlyphChanges) {
  auto& b = AddButton("b", 10, 10);
  int base = TToolbarButton97::PreparedImageCount();
  EXPECT_GE(base, 1) << "loading prepares the up frame";
  Move(20, 20);
  app.ComposeAll();
  EXPECT_EQ(TToolbarButton97::PreparedImageCount(), base + 1);
  app.ComposeAll();
  EXPECT_EQ(TToolbarButton97::PreparedImageCount(), base + 1) << "prepared once, then reused";
  b.SetGlyph(Strip());
  EXPECT_EQ(TToolbarButton97::PreparedImageCount(), 0);
}

}  // namespace
}  // namespace ozzel
