// The SDL backend's input as the window system sends it: a finger is a touch at its logical point, SDL's
// mouse copies of fingers are dropped, and named keys come with the characters the program knows.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>

#include "platform/sdl/sdl_backend.h"

namespace {

using K = plat::InputEvent::Kind;

SDL_Event Finger(Uint32 type, SDL_FingerID id, float x, float y) {
  SDL_Event e{};
  e.type = type;
  e.tfinger.fingerId = id;
  e.tfinger.x = x;
  e.tfinger.y = y;
  return e;
}

SDL_Event KeyEvent(Uint32 type, SDL_Keycode sym, Uint16 mod = 0, Uint8 repeat = 0) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.sym = sym;
  e.key.keysym.mod = mod;
  e.key.repeat = repeat;
  return e;
}

}  // namespace

TEST(SdlInput, FingersKeysAndTheParentsGate) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  setenv("OZZEL_WINDOWED", "1", 1);
  unsetenv("OZZEL_SCALE");
  plat::SdlBackend backend;
  std::vector<plat::InputEvent> out;
  backend.Poll(out);
  out.clear();

  SDL_Event mouse_copy{};
  mouse_copy.type = SDL_MOUSEBUTTONDOWN;
  mouse_copy.button.which = SDL_TOUCH_MOUSEID;
  mouse_copy.button.button = SDL_BUTTON_LEFT;
  const SDL_Event events[] = {
      Finger(SDL_FINGERDOWN, 7, 0.25f, 0.5f),
      Finger(SDL_FINGERDOWN, 8, 0.9f, 0.9f),  // a second finger: not the pointer
      mouse_copy,
      Finger(SDL_FINGERMOTION, 7, 0.5f, 0.5f),
      Finger(SDL_FINGERUP, 8, 0.9f, 0.9f),
      Finger(SDL_FINGERUP, 7, 0.5f, 0.25f),
      KeyEvent(SDL_KEYDOWN, SDLK_LEFT),
      KeyEvent(SDL_KEYDOWN, SDLK_LEFT, 0, 1),
      KeyEvent(SDL_KEYUP, SDLK_LEFT),
      KeyEvent(SDL_KEYDOWN, SDLK_RETURN),
      // Two opposite corners held: the gate by touch (the first finger is also the pointer).
      Finger(SDL_FINGERDOWN, 9, 0.98f, 0.02f),
      Finger(SDL_FINGERDOWN, 10, 0.5f, 0.98f),  // a bottom edge is no corner
      Finger(SDL_FINGERMOTION, 10, 0.02f, 0.98f),
      Finger(SDL_FINGERUP, 10, 0.02f, 0.98f),
      Finger(SDL_FINGERUP, 9, 0.98f, 0.02f),
      KeyEvent(SDL_KEYDOWN, SDLK_p),  // a plain P is nothing
      KeyEvent(SDL_KEYDOWN, SDLK_p, KMOD_LCTRL | KMOD_LSHIFT),
      KeyEvent(SDL_KEYUP, SDLK_p),
  };
  for (SDL_Event e : events) ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
  backend.Poll(out);

  std::vector<std::string> got;
  for (const plat::InputEvent& e : out) {
    switch (e.kind) {
      case K::TouchDown: got.push_back("touch down " + std::to_string(e.pos.x) + " " + std::to_string(e.pos.y)); break;
      case K::TouchMove: got.push_back("touch move " + std::to_string(e.pos.x) + " " + std::to_string(e.pos.y)); break;
      case K::TouchUp: got.push_back("touch up " + std::to_string(e.pos.x) + " " + std::to_string(e.pos.y)); break;
      case K::KeyDown:
      case K::KeyUp:
        got.push_back(std::string(e.kind == K::KeyDown ? "down " : "up ") + std::to_string(int(e.key)) +
                      (e.repeat ? " repeat" : ""));
        break;
      case K::KeyChar: got.push_back("char " + std::to_string(e.ch)); break;
      case K::MouseDown:
      case K::MouseUp:
      case K::MouseMove: got.push_back("mouse"); break;
      default: break;
    }
  }
  const int left = int(plat::Key::Left), enter = int(plat::Key::Enter), gate = int(plat::Key::Parents);
  EXPECT_EQ(got, (std::vector<std::string>{
                     "touch down 160 240", "touch move 320 240", "touch up 320 120",
                     "down " + std::to_string(left), "down " + std::to_string(left) + " repeat",
                     "up " + std::to_string(left), "down " + std::to_string(enter), "char 13",
                     "touch down 627 9", "down " + std::to_string(gate), "up " + std::to_string(gate),
                     "touch up 627 9", "down " + std::to_string(gate), "up " + std::to_string(gate)}));
}
