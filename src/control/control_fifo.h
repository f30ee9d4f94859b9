#pragma once


#include <glibmm/iochannel.h>
#include <glibmm/ustring.h>
#include <sigc++/connection.h>

namespace quillon {

class LV2PluginList;

/// The per-user FIFO that keeps one instance per user and carries the
/// control lines ("show", "hide", "systray action", "quit", "exit", "PID: ").
class ControlFifo
{
public:
  /// The one object of the process, created on first use.
  static ControlFifo* get_instance();

  ControlFifo(const ControlFifo&) = delete;
  ControlFifo& operator=(const ControlFifo&) = delete;

  /// Creates (when missing) and opens the FIFO and watches it; 0 when it is
  /// open and watched, -1 otherwise.
  int open_fifo();
  /// Watches the FIFO for input.
  void arm_watch();
  /// Writes `message` and a line feed when `condition` includes IO_OUT.
  void send(Glib::IOCondition condition, Glib::ustring message);
  /// Acts on one complete line read from the FIFO.
  void handle_line(const std::string& line);

  int fd = -1;
  Glib::ustring path;
  Glib::RefPtr<Glib::IOChannel> channel;
  sigc::connection watch;
  bool is_owner = false;
  Glib::ustring announcement;
  LV2PluginList* window = nullptr;

private:
  ControlFifo();
  ~ControlFifo();
};

/// The FIFO watch: reads what has arrived and handles every complete line.
bool on_control_input(Glib::IOCondition condition);

} // namespace quillon
