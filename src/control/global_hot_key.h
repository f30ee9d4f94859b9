#pragma once

#include <atomic>
#include <pthread.h>

// Xlib's names, declared here so that this header can come before the
// toolkit's headers (which must precede Xlib.h).
typedef struct _XDisplay Display;

namespace quillon {

class WindowControl;

/// Listens for Shift+Escape (Control+Shift+Escape when another program
/// holds that) on the whole X display, in a thread with its own display
/// connection, and toggles the window on the main thread.
class GlobalHotKey
{
public:
  /// The one object of the process; the first call starts the thread.
  static GlobalHotKey* get_instance();

  GlobalHotKey(const GlobalHotKey&) = delete;
  GlobalHotKey& operator=(const GlobalHotKey&) = delete;

  /// The thread's start routine.
  static void* thread_start(void* unused);
  /// Opens the display, grabs the key and forwards key presses until
  /// stopped or disabled.
  void listen();
  /// Ends the listener thread and waits for it.
  void stop();
  /// Set while the listener thread runs, for tests.

  /// The listener's own connection; read by the error handler on any thread.
  std::atomic<Display*> display{ nullptr };
  /// The grab's modifier mask: Shift, or Control and Shift.
  unsigned int modifiers = 0;
  int keycode = 0;
  pthread_t thread{};
  bool start_failed = false;
  /// Read by the main thread when a key press arrives; cleared by the
  /// window when it goes, so that no press reaches a destroyed window.
  std::atomic<WindowControl*> window{ nullptr };

private:
  GlobalHotKey();
  ~GlobalHotKey();

  /// Grabs the key with the current modifiers and waits for the server's
  /// answer; false when the grab failed.
  bool grab();
  void ungrab();
  /// Waits for X events or the stop request; false when stopping.
  bool wait_for_events();

  /// Xlib's last word on a lost connection: it records the loss and
  /// returns, so that Xlib marks the connection dead instead of ending the
  /// process, and the listener ends.
  static void on_connection_lost(Display* display, void* listener);

  int stop_pipe[2] = { -1, -1 };
  bool joined = false;
  /// Set on the listener thread when its connection is lost.
  bool connection_lost = false;

public:
  /// Errors the error handler saw on the listener's connection, and the
  /// text of the last one.
  std::atomic<int> grab_errors{ 0 };
  char last_error[1024] = "";
};

} // namespace quillon
