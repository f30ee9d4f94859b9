// A rival X client for the hot-key tests: grabs Escape with the given
// modifier sets on the root window, says "ready", and holds the grabs until
// it is killed.
//
//   key_grabber shift [control+shift]

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <cstdio>
#include <cstring>
#include <unistd.h>

int
main(int argc, char** argv)
{
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "key_grabber: no display\n");
    return 1;
  }
  const KeyCode escape = XKeysymToKeycode(display, XK_Escape);
  for (int i = 1; i < argc; ++i) {
    const unsigned int mask =
      std::strcmp(argv[i], "shift") == 0 ? ShiftMask : ControlMask | ShiftMask;
    XGrabKey(display,
             escape,
             mask,
             DefaultRootWindow(display),
             False,
             GrabModeAsync,
             GrabModeAsync);
  }
  XSync(display, False);
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;)
    pause();
}
