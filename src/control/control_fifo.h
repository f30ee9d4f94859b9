#pragma once

#include "common/posix_io.h"
#include "control/line_reader.h"
#include "control/messages.h"

#include <glib.h>
#include <glibmm/iochannel.h>
#include <glibmm/ustring.h>
#include <sigc++/connection.h>
#include <string>

namespace quillon {

class WindowControl;

/// The per-user FIFO that keeps one instance per user and carries the
/// control lines ("show", "hide", "systray action", "quit", "exit" and the
/// "PID: " announcements). The owner is the process that holds an exclusive
/// lock on the FIFO; only the owner reads it. Everything here runs on the
/// main thread.
class ControlFifo
{
public:
  /// The one object of the process, created (and the FIFO opened) on
  /// first use.
  static ControlFifo* get_instance();

  ControlFifo(const ControlFifo&) = delete;
  ControlFifo& operator=(const ControlFifo&) = delete;

  /// Creates the FIFO when it is missing, opens it and tries to own it: an
  /// owner watches it, a newcomer only writes to it. 0 when it is open, -1
  /// otherwise.
  int open_fifo();
  /// Watches the FIFO for input.
  void arm_watch();
  /// Writes `message` and a line feed when `condition` includes IO_OUT. A
  /// newcomer then waits for the owner to take the line and ends.
  void send(Glib::IOCondition condition, Glib::ustring message);
  /// Reads what has arrived and acts on every complete line, in order.
  void read_input();
  /// Acts on one line read from the FIFO.
  void handle_line(const control::LineReader::Line& line);
  /// The FIFO is open but another instance owns it.
  bool is_newcomer() const { return fd && !is_owner; }

  FileDescriptor fd;
  Glib::ustring path;
  sigc::connection watch;
  bool is_owner = false;
  Glib::ustring announcement;
  WindowControl* window = nullptr;

private:
  ControlFifo();
  ~ControlFifo();

  enum class Lock
  {
    /// This process owns the FIFO now.
    taken,
    /// Another instance owns it.
    held,
    /// The lock was free, but the path no longer names this FIFO: its
    /// owner removed it while ending.
    stale
  };
  /// Tries to take the lock on the open FIFO, without waiting.
  Lock take_lock() const;
  /// Writes "exit" for a newcomer and leaves the FIFO to it for a moment.
  void answer_newcomer();
  /// Writes a whole line to the FIFO.
  void write_line(const std::string& line);
  /// Accepts only a FIFO that belongs to this user.
  bool is_ours() const;
  /// The newcomer's wait: true while the announcement is still unread.
  bool check_taken();
  /// The owner ended while this newcomer waited: takes its place.
  void take_over();

  control::LineReader reader;
  control::OwnerLines lines;
  /// The newcomer's periodic check, and when it began.
  sigc::connection waiting;
  gint64 waiting_since = 0;
};

/// The FIFO watch: true keeps it.
bool
on_control_input(Glib::IOCondition condition);

} // namespace quillon
