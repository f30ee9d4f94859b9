#pragma once

#include "control/line_reader.h"

#include <glib.h>
#include <glibmm/iochannel.h>
#include <glibmm/ustring.h>
#include <sigc++/connection.h>
#include <string>

namespace quillon {

class WindowControl;

/// The per-user FIFO that keeps one instance per user and carries the
/// control lines ("show", "hide", "systray action", "quit", "exit" and the
/// "PID: " announcements). Everything here runs on the main thread.
class ControlFifo
{
public:
  /// The one object of the process, created (and the FIFO opened) on
  /// first use.
  static ControlFifo* get_instance();

  ControlFifo(const ControlFifo&) = delete;
  ControlFifo& operator=(const ControlFifo&) = delete;

  /// Creates the FIFO when it is missing, opens it and watches it; 0 when
  /// it is open and watched, -1 otherwise.
  int open_fifo();
  /// Watches the FIFO for input.
  void arm_watch();
  /// Writes `message` and a line feed when `condition` includes IO_OUT.
  void send(Glib::IOCondition condition, Glib::ustring message);
  /// Reads what has arrived and acts on every complete line, in order.
  void read_input();
  /// Acts on one line read from the FIFO.
  void handle_line(const control::LineReader::Line& line);

  int fd = -1;
  Glib::ustring path;
  sigc::connection watch;
  bool is_owner = false;
  Glib::ustring announcement;
  WindowControl* window = nullptr;

private:
  ControlFifo();
  ~ControlFifo();

  /// Puts this process's own announcement back for a running owner.
  void repeat_announcement();
  /// Writes "exit" for a newcomer and leaves the FIFO to it for a moment.
  void answer_newcomer();
  /// Writes a whole line to the FIFO.
  void write_line(const std::string& line);
  /// Accepts only a FIFO that belongs to this user.
  bool is_ours() const;

  control::LineReader reader;
  /// Monotonic time of the announcement sent by `send`; 0 before it.
  gint64 announced_at = 0;
  /// Monotonic time of the last "exit" written to a newcomer; 0 when none.
  gint64 answered_at = 0;
};

/// The FIFO watch: true keeps it.
bool
on_control_input(Glib::IOCondition condition);

} // namespace quillon
