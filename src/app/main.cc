// Process entry: translation, toolkit, the main window, the options.

#include "app/display_loss.h"
#include "app/message_catalogues.h"
#include "app/plugin_list.h"
#include "app/session_end.h"
#include "common/number_text.h"
#include "control/control_fifo.h"

#include <X11/Xlib.h>
#include <cstdio>
#include <glib.h>
#include <glibmm/optioncontext.h>
#include <gtkmm/main.h>
#include <libintl.h>
#include <memory>
#include <string>
#include <unistd.h>

namespace quillon {

/// Swallows the toolkit's warnings.
void
null_log_handler(const gchar* /*domain*/,
                 GLogLevelFlags /*level*/,
                 const gchar* /*message*/,
                 gpointer /*data*/)
{
}

} // namespace quillon

int
main(int argc, char* argv[])
{
  // The hot-key listener uses Xlib from a thread of its own.
  XInitThreads();

  // Run from the build tree, the build's own catalogues; installed, the
  // installed ones.
  const std::string catalogues =
    quillon::message_catalogue_dir("/proc/self/exe",
                                   QUILLON_BUILD_BINARY,
                                   QUILLON_BUILD_LOCALEDIR,
                                   QUILLON_LOCALEDIR);
  bindtextdomain("quillon", catalogues.c_str());
  bind_textdomain_codeset("quillon", "UTF-8");
  textdomain("quillon");

  auto toolkit = std::make_unique<Gtk::Main>(argc, argv, true);
  auto window = std::make_unique<quillon::LV2PluginList>();
  g_log_set_handler(
    "Gtk", G_LOG_LEVEL_WARNING, quillon::null_log_handler, nullptr);

  window->apply_command_line(argc, argv);

  // Announce this process when another instance owns the FIFO: that one
  // brings its window forward, and this process ends once its line has
  // been read. Its own window, mapped by the constructor but not yet drawn,
  // goes at once so that it does not flash on the screen.
  quillon::ControlFifo* control_fifo = quillon::ControlFifo::get_instance();
  control_fifo->announcement = "PID: " + quillon::number_text(getpid());
  if (control_fifo->is_newcomer()) {
    window->close_window();
    control_fifo->send(Glib::IO_OUT, control_fifo->announcement);
  }

  // The session may end without Quit: a signal, or the display going away.
  // Either saves the changed marks as Quit does; the FIFO's "quit" and
  // "exit" still end the loop without saving.
  int caught_signal = 0;
  {
    quillon::SessionEnd session_end(
      [&window] { return window->changed_mark_lists(); },
      [] { Gtk::Main::quit(); });
    quillon::DisplayLossSave display_loss(session_end);
    Gtk::Main::run();
    caught_signal = session_end.caught_signal();
  }

  window.reset();
  toolkit.reset();
  // Ended by a signal: the status a shell gives a process that the signal
  // ended, 128 plus its number, while the teardown still runs in full (the
  // static destruction after main removes the FIFO, which dying by the
  // signal itself would leave behind).
  return caught_signal != 0 ? 128 + caught_signal : 0;
}
