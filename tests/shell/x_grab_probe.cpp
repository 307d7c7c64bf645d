// Says whether another X client holds the keyboard: tries to grab it and lets go at once.
// Prints "grabbed" (exit 0) when someone else holds it, "free" (exit 1) when not, exit 2 without a display.
#include <X11/Xlib.h>

#include <cstdio>

int main() {
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "x_grab_probe: no display\n");
    return 2;
  }
  int r = XGrabKeyboard(d, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync, CurrentTime);
  if (r == GrabSuccess) XUngrabKeyboard(d, CurrentTime);
  XCloseDisplay(d);
  std::puts(r == AlreadyGrabbed ? "grabbed" : "free");
  return r == AlreadyGrabbed ? 0 : 1;
}
