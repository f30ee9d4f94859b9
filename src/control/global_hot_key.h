#pragma once

#include <X11/Xlib.h>

#include <pthread.h>

namespace quillon {

class LV2PluginList;

/// Listens for Shift+Escape (or Control+Shift+Escape when that is taken) on
/// the whole X display, in a thread of its own, and toggles the window.
class GlobalHotKey
{
public:
  /// The one object of the process; the first call starts the thread.
  static GlobalHotKey* get_instance();

  GlobalHotKey(const GlobalHotKey&) = delete;
  GlobalHotKey& operator=(const GlobalHotKey&) = delete;

  /// The thread's start routine.
  static void* thread_start(void* unused);
  /// Opens the display, grabs the key and forwards key presses.
  void listen();
  /// Cancels and joins the listener thread.
  void stop();
  /// The process-wide Xlib error handler.
  static int on_x_error(Display* display, XErrorEvent* error);

  Display* display = nullptr;
  XEvent event{};
  unsigned int modifiers = ShiftMask;
  int keycode = 0;
  pthread_t thread{};
  bool start_failed = false;
  LV2PluginList* window = nullptr;

private:
  GlobalHotKey();
  ~GlobalHotKey();
};

} // namespace quillon
