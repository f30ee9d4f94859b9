// Times a program from its start: until it ends, or (with --window NAME)
// until it maps a top-level window of that name, which is then ended.
// Prints the seconds and the peak resident set size in KiB.
//
//   launch_timer [--window NAME] -- PROGRAM ARGS...

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool
has_name(Display* display, Window window, const std::string& wanted)
{
  char* name = nullptr;
  bool match = false;
  if (XFetchName(display, window, &name) && name) {
    match = wanted == name;
    XFree(name);
  }
  return match;
}

int
ignore_errors(Display*, XErrorEvent*)
{
  return 0;
}

} // namespace

int
main(int argc, char** argv)
{
  std::string window_name;
  int first = 1;
  if (argc > 2 && std::strcmp(argv[1], "--window") == 0) {
    window_name = argv[2];
    first = 3;
  }
  if (first < argc && std::strcmp(argv[first], "--") == 0)
    ++first;
  if (first >= argc) {
    std::fprintf(
      stderr, "usage: %s [--window NAME] -- PROGRAM ARGS...\n", argv[0]);
    return 2;
  }

  Display* display = nullptr;
  if (!window_name.empty()) {
    display = XOpenDisplay(nullptr);
    if (!display) {
      std::fprintf(stderr, "launch_timer: no display\n");
      return 2;
    }
    XSetErrorHandler(ignore_errors);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
  }

  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    // The program's output is not the timer's: keep stdout for the figures.
    const int null_fd = open("/dev/null", O_WRONLY);
    if (null_fd >= 0)
      dup2(null_fd, STDOUT_FILENO);
    execvp(argv[first], argv + first);
    _exit(127);
  }

  if (display) {
    for (;;) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify &&
          has_name(display, event.xmap.window, window_name))
        break;
    }
  }
  int status = 0;
  if (display) {
    const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
        .count();
    kill(child, SIGTERM);
    rusage usage{};
    wait4(child, &status, 0, &usage);
    std::printf("%.3f %ld\n", seconds, usage.ru_maxrss);
  } else {
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
        .count();
    std::printf("%.3f %ld\n", seconds, usage.ru_maxrss);
  }
  return 0;
}
