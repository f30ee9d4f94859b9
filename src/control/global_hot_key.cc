#include "control/global_hot_key.h"

#include "app/window_control.h"
#include "common/diagnostics.h"
#include "common/posix_io.h"

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <glib.h>
#include <glib/gi18n.h>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace quillon {

namespace {

/// Runs on the main thread, queued by the listener for each key press. The
/// window is looked up only now: a window that has gone is not touched.
gboolean
toggle_window(gpointer /*unused*/)
{
  if (WindowControl* window = GlobalHotKey::get_instance()->window.load())
    window->systray_action();
  return G_SOURCE_REMOVE;
}

/// The handler that was installed before ours (the toolkit's): errors of
/// its connection go to it.
std::atomic<XErrorHandler> previous_handler{ nullptr };

/// The process-wide Xlib error handler. Errors of the listener's
/// connection are only recorded: the listener thread acts on them once Xlib
/// returns, so the connection is never used after it is closed and the
/// thread never waits for itself.
int
on_x_error(Display* display, XErrorEvent* error)
{
  GlobalHotKey* listener = GlobalHotKey::get_instance();
  if (display != listener->display) {
    // An error of the toolkit's connection: the toolkit's own handler deals
    // with it, as it would without the hot-key.
    const XErrorHandler previous = previous_handler.load();
    return previous ? previous(display, error) : 0;
  }
  XGetErrorText(display,
                error->error_code,
                listener->last_error,
                sizeof listener->last_error);
  ++listener->grab_errors;
  return 0;
}

} // namespace

GlobalHotKey*
GlobalHotKey::get_instance()
{
  static GlobalHotKey instance;
  return &instance;
}

GlobalHotKey::GlobalHotKey()
{
  if (pipe2(stop_pipe, O_CLOEXEC) != 0) {
    start_failed = true;
    return;
  }
  // Installed here, on the main thread, and not by the listener: the
  // toolkit briefly swaps in handlers of its own on the main thread (while
  // it reads its X settings) and puts back what it found, so a handler set
  // from another thread at that moment would be lost, and the listener's
  // errors would reach the toolkit's handler, which ends the process.
  previous_handler.store(XSetErrorHandler(&on_x_error));
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_JOINABLE);
  pthread_attr_setschedpolicy(&attributes, SCHED_OTHER);
  pthread_attr_setscope(&attributes, PTHREAD_SCOPE_SYSTEM);
  pthread_setcancelstate(PTHREAD_CANCEL_ENABLE, nullptr);
  if (pthread_create(&thread, &attributes, &thread_start, nullptr) != 0)
    start_failed = true;
  pthread_attr_destroy(&attributes);
}

GlobalHotKey::~GlobalHotKey()
{
  stop();
  for (int end : stop_pipe)
    if (end >= 0)
      close(end);
}

void*
GlobalHotKey::thread_start(void* /*unused*/)
{
  // Waits here until the object's construction has finished.
  get_instance()->listen();
  return nullptr;
}

bool
GlobalHotKey::grab()
{
  // Asked as a checked request on the connection's XCB side: the server's
  // refusal comes back to this call instead of going to the process-wide
  // error handler, which the toolkit briefly replaces on the main thread
  // (while it reads its X settings) and which would then lose it.
  xcb_connection_t* const connection = XGetXCBConnection(display);
  const xcb_void_cookie_t cookie = xcb_grab_key_checked(
    connection,
    0,
    static_cast<xcb_window_t>(DefaultRootWindow(display.load())),
    static_cast<std::uint16_t>(modifiers),
    static_cast<xcb_keycode_t>(keycode),
    XCB_GRAB_MODE_ASYNC,
    XCB_GRAB_MODE_ASYNC);
  xcb_generic_error_t* const error = xcb_request_check(connection, cookie);
  if (!error)
    return true;
  XGetErrorText(display, error->error_code, last_error, sizeof last_error);
  std::free(error);
  ++grab_errors;
  return false;
}

void
GlobalHotKey::ungrab()
{
  XUngrabKey(display, keycode, modifiers, DefaultRootWindow(display.load()));
}

bool
GlobalHotKey::wait_for_events()
{
  pollfd watched[2] = { { ConnectionNumber(display.load()), POLLIN, 0 },
                        { stop_pipe[0], POLLIN, 0 } };
  while (poll(watched, 2, -1) < 0)
    if (errno != EINTR)
      return false;
  return (watched[1].revents & POLLIN) == 0;
}

void
GlobalHotKey::listen()
{
  display = XOpenDisplay(nullptr);
  if (!display)
    return; // no display: the program runs without the hot-key
  XSetIOErrorExitHandler(display, &on_connection_lost, this);
  keycode = XKeysymToKeycode(display, XK_Escape);

  modifiers = ShiftMask;
  bool grabbed = grab();
  if (!grabbed) {
    diagnostic(_("X Error: try ControlMask | ShiftMask now \n"));
    ungrab();
    modifiers = ControlMask | ShiftMask;
    grabbed = grab();
  }
  if (grabbed) {
    XSelectInput(display, DefaultRootWindow(display.load()), KeyPressMask);
    const int errors_when_grabbed = grab_errors.load();
    bool stopping = false;
    while (!stopping) {
      while (!connection_lost && XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == KeyPress)
          g_idle_add_full(
            G_PRIORITY_DEFAULT_IDLE, &toggle_window, nullptr, nullptr);
      }
      // The server went, or only this connection: the hot-key ends
      // quietly, and the window's connection tells the rest.
      if (connection_lost)
        break;
      // Any later error on this connection gives the hot-key up.
      if (grab_errors.load() != errors_when_grabbed) {
        grabbed = false;
        break;
      }
      stopping = !wait_for_events();
    }
  }
  if (!grabbed && !connection_lost) {
    diagnostic(_("X Error:  %s\n Global HotKey disabled\n"), last_error);
    ungrab();
    XFlush(display);
  }
  // Only this thread ever used the connection, and it is done with it.
  XCloseDisplay(display);
  display = nullptr;
}

void
GlobalHotKey::on_connection_lost(Display* /*display*/, void* listener)
{
  static_cast<GlobalHotKey*>(listener)->connection_lost = true;
}

void
GlobalHotKey::stop()
{
  if (start_failed || joined)
    return;
  const char wake = 'x';
  (void)write_all(stop_pipe[1], &wake, 1);
  pthread_join(thread, nullptr);
  joined = true;
}

} // namespace quillon
