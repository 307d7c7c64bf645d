// The Windows window's input as the system sends it, under wine in a virtual X server: characters and
// surrogate pairs, named keys with their repeat and the parents' gate, mouse buttons in logical pixels,
// a finger that the system takes away (no tap), and a close.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/win32_backend.h"

namespace {

using K = plat::InputEvent::Kind;
constexpr UINT kPointerDown = 0x0246, kPointerUp = 0x0247, kPointerUpdate = 0x0245, kPointerCaptureChanged = 0x024C;

class Win32Input : public ::testing::Test {
 protected:
  void SetUp() override {
    _putenv_s("OZZEL_SCALE", "2");
    _putenv_s("OZZEL_WINDOWED", "");
    plat::Win32Backend::SetTouchProbe([](uint32_t id) { return id >= 5; });  // 5 and up are fingers
    backend_ = std::make_unique<plat::Win32Backend>();
    Events();  // what the window's opening sent
  }
  void TearDown() override { plat::Win32Backend::SetTouchProbe(nullptr); }

  std::vector<plat::InputEvent> Events() {
    std::vector<plat::InputEvent> out;
    backend_->Poll(out);
    return out;
  }
  void Post(UINT msg, WPARAM wp, LPARAM lp) { ASSERT_TRUE(PostMessageW(backend_->window(), msg, wp, lp)); }
  // A pointer message: id and flags in wParam, the screen point in lParam.
  void Pointer(UINT msg, uint16_t id, uint16_t flags, int x, int y) {
    Post(msg, MAKEWPARAM(id, flags), MAKELPARAM(x, y));
  }

  std::unique_ptr<plat::Win32Backend> backend_;
};

std::vector<plat::InputEvent> Only(const std::vector<plat::InputEvent>& all, std::initializer_list<K> kinds) {
  std::vector<plat::InputEvent> out;
  for (const auto& e : all)
    for (K k : kinds)
      if (e.kind == k) out.push_back(e);
  return out;
}

}  // namespace

TEST_F(Win32Input, CharactersAndSurrogatePairs) {
  Post(WM_CHAR, 'a', 0);
  Post(WM_CHAR, 0x159, 0);      // ř: text only
  Post(WM_CHAR, 0xD83D, 0);     // 😀 as two UTF-16 units
  Post(WM_CHAR, 0xDE00, 0);
  Post(WM_CHAR, 0xDE00, 0);     // a low half alone types nothing
  Post(WM_CHAR, 0x01, 0);       // nor does a control character
  Post(WM_CHAR, 27, 0);         // Esc is a key, not text
  auto ev = Only(Events(), {K::KeyChar, K::Text});
  ASSERT_EQ(ev.size(), 5u);
  EXPECT_EQ(ev[0].kind, K::KeyChar);
  EXPECT_EQ(ev[0].ch, unsigned('a'));
  EXPECT_EQ(ev[1].text, "a");
  EXPECT_EQ(ev[2].text, "\xC5\x99");
  EXPECT_EQ(ev[3].text, "\xF0\x9F\x98\x80");
  EXPECT_EQ(ev[4].kind, K::KeyChar);
  EXPECT_EQ(ev[4].ch, 27u);
}

TEST_F(Win32Input, NamedKeysRepeatAndTheParentsGate) {
  Post(WM_KEYDOWN, VK_LEFT, 1);
  Post(WM_KEYDOWN, VK_LEFT, 1 | (1 << 30));  // held: the system repeats it
  Post(WM_KEYUP, VK_LEFT, 1 | (3u << 30));
  Post(WM_KEYDOWN, 'P', 1);  // a plain P is nothing
  auto ev = Only(Events(), {K::KeyDown, K::KeyUp});
  ASSERT_EQ(ev.size(), 3u);
  EXPECT_EQ(ev[0].key, plat::Key::Left);
  EXPECT_FALSE(ev[0].repeat);
  EXPECT_TRUE(ev[1].repeat);
  EXPECT_EQ(ev[2].kind, K::KeyUp);

  BYTE keys[256] = {};
  keys[VK_CONTROL] = keys[VK_SHIFT] = 0x80;
  ASSERT_TRUE(SetKeyboardState(keys));
  Post(WM_KEYDOWN, 'P', 1);
  ev = Only(Events(), {K::KeyDown, K::KeyUp});
  keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  Post(WM_KEYUP, 'P', 1 | (3u << 30));  // let go after Ctrl and Shift: still the gate's release
  auto up = Only(Events(), {K::KeyDown, K::KeyUp});
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].key, plat::Key::Parents);
  ASSERT_EQ(up.size(), 1u);
  EXPECT_EQ(up[0].kind, K::KeyUp);
  EXPECT_EQ(up[0].key, plat::Key::Parents);
}

TEST_F(Win32Input, MouseButtonsInLogicalPixels) {
  Post(WM_MOUSEMOVE, 0, MAKELPARAM(201, 101));
  Post(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(200, 100));
  Post(WM_RBUTTONUP, 0, MAKELPARAM(41, 61));
  const auto all = Events();
  // The X server's own pointer may move the mouse too: ours is among the moves.
  bool moved = false;
  for (const auto& e : Only(all, {K::MouseMove})) moved |= e.pos == plat::Point{100, 50};
  EXPECT_TRUE(moved);
  auto ev = Only(all, {K::MouseDown, K::MouseUp});
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].kind, K::MouseDown);
  EXPECT_EQ(ev[0].button, 1);
  EXPECT_EQ(ev[0].pos, (plat::Point{100, 50}));
  EXPECT_EQ(ev[1].kind, K::MouseUp);
  EXPECT_EQ(ev[1].pos, (plat::Point{20, 30}));
}

TEST_F(Win32Input, AFingerTheSystemTakesAwayTapsNothing) {
  constexpr uint16_t kCanceled = 0x8000;
  Pointer(kPointerDown, 7, 0, 100, 60);
  Pointer(kPointerDown, 8, 0, 300, 300);       // a second finger is not the pointer
  Pointer(kPointerDown, 2, 0, 10, 10);         // a pen or mouse pointer is not a touch
  Pointer(kPointerUp, 7, kCanceled, 100, 60);  // a gesture took the contact
  Pointer(kPointerDown, 9, 0, 40, 40);         // the next touch is the pointer again
  Pointer(kPointerUpdate, 9, 0, 50, 40);
  Post(kPointerCaptureChanged, 9, 0);          // the window lost the contact
  Pointer(kPointerDown, 6, 0, 20, 20);
  Pointer(kPointerUp, 6, 0, 22, 20);
  auto ev = Only(Events(), {K::TouchDown, K::TouchMove, K::TouchUp});
  const std::vector<std::pair<K, plat::Point>> want = {
      {K::TouchDown, {50, 30}}, {K::TouchUp, {-1, -1}},  {K::TouchDown, {20, 20}}, {K::TouchMove, {25, 20}},
      {K::TouchUp, {-1, -1}},   {K::TouchDown, {10, 10}}, {K::TouchUp, {11, 10}}};
  ASSERT_EQ(ev.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(ev[i].kind, want[i].first) << i;
    EXPECT_EQ(ev[i].pos, want[i].second) << i;
  }
}

TEST_F(Win32Input, CloseIsAQuitAndTheWindowStays) {
  Post(WM_CLOSE, 0, 0);
  auto ev = Only(Events(), {K::Quit});
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_TRUE(IsWindow(backend_->window()));
}

TEST_F(Win32Input, TwoOppositeCornersHeldAreTheParentsGate) {
  const plat::Size s = backend_->ScreenSize();  // logical pixels, two screen pixels each
  Pointer(kPointerDown, 7, 0, s.w * 2 - 3, 2);
  Pointer(kPointerDown, 8, 0, s.w, s.h * 2 - 3);  // the middle of the bottom edge is no corner
  Pointer(kPointerUpdate, 8, 0, 2, s.h * 2 - 3);
  Pointer(kPointerUp, 8, 0, 2, s.h * 2 - 3);
  Pointer(kPointerUp, 7, 0, s.w * 2 - 3, 2);
  auto ev = Only(Events(), {K::KeyDown, K::KeyUp});
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].kind, K::KeyDown);
  EXPECT_EQ(ev[0].key, plat::Key::Parents);
  EXPECT_EQ(ev[1].kind, K::KeyUp);
  EXPECT_EQ(ev[1].key, plat::Key::Parents);
}
